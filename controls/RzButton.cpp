#include "controls/RzButton.h"

#include "controls/RzGrafx.h"
#include "core/ClassBuilder.h"

#include <algorithm>
#include <cassert>

KELM_PUBLISH(TRzControlButton) { Published(b); }

TRzControlButton::TRzControlButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle({csCaptureMouse});
  SetBounds(Left(), Top(), 17, 21);
  SetColor(clBtnFace);
  SetDragMode(dmManual);
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->SetOnChange(TNotifyEvent(this, &TRzControlButton::GlyphChanged));
}

TRzControlButton::~TRzControlButton() {
  FGlyph->SetOnChange(TNotifyEvent());
  delete FRepeatTimer;
}

// ---------------------------------------------------------------- properties

void TRzControlButton::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  Repaint();
}

void TRzControlButton::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TRzControlButton::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TRzControlButton::SetStyle(TRzControlButtonStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Invalidate();
}

void TRzControlButton::GlyphChanged(TObject*) {
  const int w = FGlyph->Width(), h = FGlyph->Height();
  // A bitmap of equal squares side by side holds that many images; a width of 0 is no glyph
  // and keeps the count.
  if (h != 0 && w > 0 && w % h == 0) {
    int n = w / h;
    FNumGlyphs = n <= 4 ? n : 1;
  }
  Invalidate();
}

TPoint TRzControlButton::GlyphSize() const {
  if (!FGlyph || FGlyph->Width() == 0) return {0, 0};
  assert(FNumGlyphs >= 1);
  return {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

// ---------------------------------------------------------------- painting

bool TRzControlButton::Lit() const {
  return FDown || (FMouseOver && Enabled()) || ComponentState().Contains(csDesigning);
}

void TRzControlButton::Paint() {
  TRect r = ClientRect();
  switch (FStyle) {
    case TRzControlButtonStyle::cbsNone: {
      PaintFace(r);
      TPoint size = GlyphSize();
      if (FGlyph->Empty() || size.X == 0 || size.Y == 0) return;
      InflateRect(r, -1, -1);
      TRect g = RectCenteredIn(r, size.X, size.Y);
      if (FDown) OffsetRect(g, 1, RzThemesEnabled() ? 0 : 1);
      PaintGlyph(g);
      return;
    }
    case TRzControlButtonStyle::cbsDropDown:
      PaintDropDownButton(r);
      return;
    default:
      PaintArrowButton(r);
      return;
  }
}

// The classic border and fill of every face.
void TRzControlButton::PaintClassicFace(TRect& R) {
  TCanvas* c = Canvas();
  if (FFlat) {
    if (Lit()) R = PaintSystemBorder(c, R, FDown ? fsStatus : fsPopup);
    c->Brush()->SetColor(Color());
  } else {
    R = FDown ? PaintBevelRings(c, R, clBtnShadow, clBtnShadow, 1, sdAllSides) : PaintSystemBorder(c, R, fsButtonUp);
    c->Brush()->SetColor(clBtnFace);
  }
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(R);
}

void TRzControlButton::PaintFace(TRect& R) {
  // Visual styles would draw the flat unlit face in the button's colour and every other face
  // as a theme element; there are none here, so the classic face stands in for the element.
  if (RzThemesEnabled() && FFlat && !Lit()) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    InflateRect(R, -2, -2);
    return;
  }
  PaintClassicFace(R);
}

void TRzControlButton::PaintArrowButton(TRect& R) {
  static constexpr TRzArrowDirection directions[] = {adUp, adLeft, adUp, adRight, adDown, adUp};
  const TRzArrowDirection dir = directions[FStyle];
  if (RzThemesEnabled() && FFlat && !Lit()) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    PaintArrowGlyph(Canvas(), R, true, dir, FDown, Enabled());
    InflateRect(R, -2, -2);
    return;
  }
  PaintClassicFace(R);
  PaintArrowGlyph(Canvas(), R, false, dir, FDown, Enabled());
}

void TRzControlButton::PaintDropDownButton(TRect& R) {
  if (RzThemesEnabled() && FFlat && !Lit()) {
    InflateRect(R, 1, 1);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    PaintDropDownGlyph(Canvas(), R, true, FDown, Enabled());
    InflateRect(R, -2, -2);
    return;
  }
  PaintClassicFace(R);
  PaintDropDownGlyph(Canvas(), R, false, FDown, Enabled());
}

void TRzControlButton::PaintGlyph(const TRect& R) {
  const int w = R.Width(), h = R.Height();
  if (w <= 0 || h <= 0) return;
  TRect source = FNumGlyphs < 2 || Enabled() ? Rect(0, 0, w, h) : Rect(w, 0, 2 * w, h);
  TColor transparent = FGlyph->Canvas()->Pixels(0, h - 1);
  auto image = std::make_unique<TBitmap>();
  image->SetSize(w, h);
  BitBlt(image->Canvas()->Handle(), 0, 0, w, h, Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
  StretchTransparentBitmap(image->Canvas(), FGlyph.get(), Rect(0, 0, w, h), source, transparent);
  Canvas()->Draw(R.Left, R.Top, image.get());
}

// ---------------------------------------------------------------- mouse

void TRzControlButton::Click() { TGraphicControl::Click(); }

void TRzControlButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    if (!FDown) {
      FDown = true;
      Invalidate();
    }
    FDragging = true;
  }
  if (FRepeatClicks) {
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(nullptr);
      FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TRzControlButton::RepeatTimerExpired));
    }
    FRepeatTimer->SetInterval(FInitialDelay);
    FRepeatTimer->SetEnabled(true);
  }
}

void TRzControlButton::RepeatTimerExpired(TObject*) {
  FRepeatTimer->SetInterval(FDelay);
  if (!FDown || !MouseCapture()) return;
  // A failing click stops the repeat; a good one repeats.
  try {
    Click();
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TRzControlButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FDragging) {
    FDragging = false;
    FDown = false;
    FMouseOver = false;
    Repaint();
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight()) Click();
    // The pointer may have left while the button held the mouse.
    if ((FFlat || RzThemesEnabled()) && Enabled()) {
      TPoint p;
      GetCursorPos(&p);
      Perform(FindDragTarget(p, true) == this ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
    }
  }
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TRzControlButton::MouseEntered() {
  FMouseOver = true;
  if (FFlat || RzThemesEnabled()) Repaint();
}

void TRzControlButton::MouseLeft() {
  FMouseOver = false;
  if (FFlat || RzThemesEnabled()) Repaint();
}

void TRzControlButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_MOUSEENTER:
      // The platform's handling fires OnMouseEnter.
      TGraphicControl::Dispatch(M);
      if (M.LParam == 0 && !ComponentState().Contains(csDesigning)) MouseEntered();
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(M);
      if (M.LParam == 0) MouseLeft();
      return;
    default:
      TGraphicControl::Dispatch(M);
      return;
  }
}
