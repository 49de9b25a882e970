// Bitmap buttons and speed buttons.
#include "gui/Buttons.h"

#include "gui/Forms.h"
#include "gui/CtrlUtils_p.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"

#include <algorithm>

// ================================================================ TButtonGlyph

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}
TButtonGlyph::~TButtonGlyph() = default;

bool TButtonGlyph::Empty() const { return FGlyph->Empty() || FGlyph->Width() == 0 || FGlyph->Height() == 0; }

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  if (Value) FGlyph->Assign(Value);
  else FGlyph = std::make_unique<TBitmap>();
  if (Value && Value->Height() > 0 && Value->Width() % Value->Height() == 0) {
    int n = Value->Width() / Value->Height();
    FNumGlyphs = n >= 1 && n <= 4 ? n : 1;
  }
  OnChange(nullptr);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, 1, 4);
  if (Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  OnChange(nullptr);
}

TSize TButtonGlyph::GlyphSize() const {
  if (Empty()) return {0, 0};
  return {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::DrawGlyph(HDC DC, TPoint P, TButtonState State) const {
  TSize sz = GlyphSize();
  if (sz.cx == 0) return;
  int index = 0;
  switch (State) {
    case bsDisabled: index = FNumGlyphs > 1 ? 1 : -1; break;
    case bsDown: index = FNumGlyphs > 2 ? 2 : 0; break;
    case bsExclusive: index = FNumGlyphs > 3 ? 3 : 0; break;
    default: break;
  }
  HDC src = FGlyph->Canvas()->Handle();
  COLORREF transparent = ColorToRGB(FGlyph->TransparentColor()) & 0xFFFFFF;
  if (index >= 0) {
    TransparentBlt(DC, P.X, P.Y, sz.cx, sz.cy, src, index * sz.cx, 0, sz.cx, sz.cy, transparent);
    return;
  }
  // No disabled image: the shape of the first one, embossed in the 3-D colours.
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  for (int pass = 0; pass < 2; ++pass)
    for (int y = 0; y < sz.cy; ++y)
      for (int x = 0; x < sz.cx; ++x) {
        COLORREF c = GetPixel(src, x, y) & 0xFFFFFF;
        if (c == transparent) continue;
        // Light pixels of the picture stay out of the embossed shape.
        int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
        if (lum > 192) continue;
        if (pass == 0) SetPixel(DC, P.X + x + 1, P.Y + y + 1, light);
        else SetPixel(DC, P.X + x, P.Y + y, shadow);
      }
}

void TButtonGlyph::CalcLayout(HDC DC, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout,
                              int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds) const {
  TPoint clientSize{Client.Width(), Client.Height()};
  TSize gs = GlyphSize();
  TPoint glyphSize{gs.cx, gs.cy};
  TPoint textSize{0, 0};
  TextBounds = Rect(0, 0, 0, 0);
  if (!Caption.empty()) {
    TextBounds = Rect(0, 0, clientSize.X, 0);
    DrawText(DC, Caption, -1, &TextBounds, DT_CALCRECT | DT_SINGLELINE);
    textSize = {TextBounds.Width(), TextBounds.Height()};
  }
  bool horz = Layout == blGlyphLeft || Layout == blGlyphRight;
  TPoint textPos{0, 0};
  GlyphPos = {0, 0};
  if (horz) {
    GlyphPos.Y = (clientSize.Y - glyphSize.Y + 1) / 2;
    textPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
  } else {
    GlyphPos.X = (clientSize.X - glyphSize.X + 1) / 2;
    textPos.X = (clientSize.X - textSize.X + 1) / 2;
  }
  // Without a caption or a glyph the spacing means nothing.
  if (textSize.X == 0 || glyphSize.X == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) {
      TPoint total{glyphSize.X + textSize.X, glyphSize.Y + textSize.Y};
      Margin = horz ? (clientSize.X - total.X) / 3 : (clientSize.Y - total.Y) / 3;
      Spacing = Margin;
    } else {
      TPoint total{glyphSize.X + Spacing + textSize.X, glyphSize.Y + Spacing + textSize.Y};
      Margin = horz ? (clientSize.X - total.X + 1) / 2 : (clientSize.Y - total.Y + 1) / 2;
    }
  } else if (Spacing == -1) {
    TPoint total{clientSize.X - (Margin + glyphSize.X), clientSize.Y - (Margin + glyphSize.Y)};
    Spacing = horz ? (total.X - textSize.X) / 2 : (total.Y - textSize.Y) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      textPos.X = GlyphPos.X + glyphSize.X + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = clientSize.X - Margin - glyphSize.X;
      textPos.X = GlyphPos.X - Spacing - textSize.X;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      textPos.Y = GlyphPos.Y + glyphSize.Y + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = clientSize.Y - Margin - glyphSize.Y;
      textPos.Y = GlyphPos.Y - Spacing - textSize.Y;
      break;
  }
  GlyphPos.X += Client.Left + Offset.X;
  GlyphPos.Y += Client.Top + Offset.Y;
  TextBounds = Bounds(textPos.X + Client.Left + Offset.X, textPos.Y + Client.Top + Offset.Y, textSize.X, textSize.Y);
}

TRect TButtonGlyph::Draw(HDC DC, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout,
                         int Margin, int Spacing, TButtonState State, bool, bool) {
  TPoint gp;
  TRect tb;
  CalcLayout(DC, Client, Offset, Caption, Layout, Margin, Spacing, gp, tb);
  DrawGlyph(DC, gp, State);
  if (!Caption.empty()) {
    SetBkMode(DC, TRANSPARENT);
    if (State == bsDisabled) {
      TRect r = tb;
      OffsetRect(r, 1, 1);
      SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawText(DC, Caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawText(DC, Caption, -1, &tb, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  return tb;
}

// ================================================================ TBitBtn

namespace {

struct TKindInfo {
  const char* Caption;
  TModalResult Result;
  bool Default, Cancel;
};
// The standard kinds, by TBitBtnKind.
const TKindInfo kKinds[] = {
    {"", mrNone, false, false},       {"OK", mrOk, true, false},          {"Cancel", mrCancel, false, true},
    {"&Help", mrNone, false, false},  {"&Yes", mrYes, true, false},       {"&No", mrNo, false, true},
    {"&Close", mrNone, false, false}, {"Abort", mrAbort, false, true},    {"&Retry", mrRetry, false, false},
    {"&Ignore", mrIgnore, false, false}, {"&All", mrAll, false, false},
};

// The kinds' pictures: a tick for the accepting kinds, a cross for the refusing ones, on a
// teal background; the lower-left pixel stays teal, the colour the glyph leaves out.
void MakeKindGlyph(TBitBtnKind Kind, TBitmap* Out) {
  bool tick = Kind == bkOK || Kind == bkYes || Kind == bkAll;
  bool cross = Kind == bkCancel || Kind == bkNo || Kind == bkAbort;
  if (!tick && !cross) return;
  Out->SetSize(16, 16);
  TCanvas* c = Out->Canvas();
  c->Brush()->SetColor(clTeal);
  c->FillRect(Rect(0, 0, 16, 16));
  c->Pen()->SetWidth(2);
  if (tick) {
    c->Pen()->SetColor(clGreen);
    c->Polyline({{3, 8}, {6, 11}, {12, 4}});
  } else {
    c->Pen()->SetColor(clRed);
    c->MoveTo(4, 4);
    c->LineTo(12, 12);
    c->MoveTo(12, 4);
    c->LineTo(4, 12);
  }
  c->Pen()->SetWidth(1);
}

}  // namespace

KELM_PUBLISH(TBitBtn) { Published(b); }

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
  FGlyph->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = TNotifyEvent(); }

void TBitBtn::GlyphChanged(TObject*) {
  if (!FSettingKind) FKind = bkCustom;
  Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* v) { FGlyph->SetGlyph(v); }

TBitBtnKind TBitBtn::Kind() const {
  // A caption changed after the kind was chosen makes the button custom.
  if (FKind != bkCustom && Caption() != kKinds[FKind].Caption) return bkCustom;
  return FKind;
}

void TBitBtn::SetKind(TBitBtnKind v) {
  if (v == FKind) return;
  FKind = v;
  if (v == bkCustom) {
    Invalidate();
    return;
  }
  FSettingKind = true;
  const TKindInfo& k = kKinds[v];
  SetCaption(k.Caption);
  SetModalResult(k.Result);
  SetDefault(k.Default);
  SetCancel(k.Cancel);
  TBitmap g;
  MakeKindGlyph(v, &g);
  FGlyph->SetGlyph(g.Empty() ? nullptr : &g);
  FSettingKind = false;
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TBitBtn::SetMargin(int v) {
  if (v < -1) v = -1;
  if (v == FMargin) return;
  FMargin = v;
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs v) { FGlyph->SetNumGlyphs(v); }

void TBitBtn::SetSpacing(int v) {
  if (v == FSpacing) return;
  FSpacing = v;
  Invalidate();
}

void TBitBtn::Click() {
  // The close kind closes its form.
  if (Kind() == bkClose) {
    if (TCustomForm* f = GetParentForm(this)) {
      f->Close();
      TButtonControl::Click();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::PaintButton(HDC DC) {
  TRect r = PaintFace(DC);
  TRect client = r;
  InflateRect(client, -2, -2);
  TPoint offset = Pressed() ? TPoint{1, 1} : TPoint{0, 0};
  SetTextColor(DC, ColorToRGB(Font()->Color()));
  TButtonState st = !Enabled() ? bsDisabled : Pressed() ? bsDown : bsUp;
  FGlyph->Draw(DC, client, offset, Caption(), FLayout, FMargin, FSpacing, st, true);
  PaintFocus(DC, r);
}

// ================================================================ TSpeedButton

KELM_PUBLISH(TSpeedButton) { Published(b); }

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
  FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = TNotifyEvent(); }

bool TSpeedButton::ActionClientValue(TActionLinkProp Prop, Variant& Value) const {
  if (Prop != alpChecked) return TGraphicControl::ActionClientValue(Prop, Value);
  Value = FDown;
  return true;
}

void TSpeedButton::SetActionClientValue(TActionLinkProp Prop, const Variant& Value) {
  if (Prop == alpChecked) SetDown(Value.AsBoolean());
  else TGraphicControl::SetActionClientValue(Prop, Value);
}

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  // The group first: only a button of a group can be down.
  auto* a = dynamic_cast<TBasicAction*>(Sender);
  if (a && a == Action() && IsPublishedProp(a, "GroupIndex") && (!CheckDefaults || FGroupIndex == 0))
    SetGroupIndex(static_cast<int>(GetOrdProp(a, "GroupIndex")));
  TGraphicControl::ActionChange(Sender, CheckDefaults);
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == FAllowAllUp) return;
  FAllowAllUp = v;
  UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (v == FGroupIndex) return;
  FGroupIndex = v;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (FGroupIndex == 0) v = false;
  if (v == FDown) return;
  // The one button down in a group stays down unless all may be up.
  if (FDown && !FAllowAllUp) return;
  FDown = v;
  if (v) {
    FState = bsExclusive;
    UpdateExclusive();
  } else {
    FState = bsUp;
  }
  Invalidate();
}

void TSpeedButton::SetFlat(bool v) {
  if (v == FFlat) return;
  FFlat = v;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout v) {
  if (v == FLayout) return;
  FLayout = v;
  Invalidate();
}

void TSpeedButton::SetMargin(int v) {
  if (v < -1) v = -1;
  if (v == FMargin) return;
  FMargin = v;
  Invalidate();
}

void TSpeedButton::SetSpacing(int v) {
  if (v == FSpacing) return;
  FSpacing = v;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  SetControlStyle(v ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m;
  m.Msg = CM_BUTTONPRESSED;
  m.WParam = static_cast<WPARAM>(FGroupIndex);
  m.LParam = reinterpret_cast<LPARAM>(this);
  Parent()->Broadcast(m);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TButtonState s = FDown ? bsExclusive : bsUp;
  if (PtInRect(ClientRect(), {X, Y})) s = FDown ? bsExclusive : bsDown;
  if (s != FState) {
    FState = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  bool doClick = PtInRect(ClientRect(), {X, Y});
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!FDown);
    Invalidate();
  } else {
    if (FDown) FState = bsExclusive;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = reinterpret_cast<TSpeedButton*>(M.LParam);
      if (static_cast<int>(M.WParam) == FGroupIndex && sender != this && sender) {
        if (sender->Down() && FDown) {
          FDown = false;
          FState = bsUp;
          Invalidate();
        }
        FAllowAllUp = sender->AllowAllUp();
      }
      return;
    }
    case CM_MOUSEENTER:
      if (M.LParam == 0 && Enabled()) {
        FMouseInControl = true;
        if (FFlat) Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (M.LParam == 0) {
        FMouseInControl = false;
        if (FFlat) Invalidate();
      }
      break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(M);
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Char>(M.WParam), Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
        Click();
        M.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(M);
}

void TSpeedButton::Paint() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }
  HDC dc = Canvas()->Handle();
  int saved = SaveDC(dc);
  SelectObject(dc, Font()->Handle());
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  TRect r = ClientRect();
  bool down = FState == bsDown || FState == bsExclusive;
  if (!FFlat) {
    DrawFrameControl(dc, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0u));
  } else {
    if (down || (FMouseInControl && FState != bsDisabled)) {
      TRect e = r;
      DrawEdge(dc, e, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (FTransparent ? 0u : UINT(BF_MIDDLE)));
    } else if (!FTransparent) {
      ctrl_utils::Fill(dc, r, ColorToRGB(Color()));
    }
    InflateRect(r, -1, -1);
  }
  if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
    // A button that stays down shows the dithered face.
    TBitmap pat;
    pat.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pat.Canvas()->SetPixels(x, y, ((x + y) & 1) ? clBtnHighlight : clBtnFace);
    HBRUSH br = CreatePatternBrush(pat.Handle());
    FillRect(dc, r, br);
    DeleteObject(br);
  }
  TPoint offset = down ? TPoint{1, 1} : TPoint{0, 0};
  FGlyph->Draw(dc, r, offset, Caption(), FLayout, FMargin, FSpacing, FState, FTransparent);
  RestoreDC(dc, saved);
}
