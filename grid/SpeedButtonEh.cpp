#include "SpeedButtonEh.h"

#include "ClassBuilder.h"

#include <algorithm>

KELM_PUBLISH(TSpeedButtonBaseEh) {}

TSpeedButtonBaseEh::TSpeedButtonBaseEh(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->SetOnChange(TNotifyEvent(this, &TSpeedButtonBaseEh::GlyphChanged));
  SetControlStyle({csCaptureMouse, csDoubleClicks});
  SetBounds(Left(), Top(), 23, 22);
}

TSpeedButtonBaseEh::~TSpeedButtonBaseEh() = default;

void TSpeedButtonBaseEh::SetState(TButtonStateEh Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
}

void TSpeedButtonBaseEh::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FState == bsUpEh) Invalidate();
    FState = bsExclusiveEh;
  } else {
    FState = bsUpEh;
    Invalidate();
  }
  if (Value) UpdateExclusive();
}

void TSpeedButtonBaseEh::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButtonBaseEh::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TSpeedButtonBaseEh::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TSpeedButtonBaseEh::SetNumGlyphs(int Value) {
  Value = std::clamp(Value, 1, 4);
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TSpeedButtonBaseEh::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Invalidate();
}

void TSpeedButtonBaseEh::GlyphChanged(TObject*) { Invalidate(); }

// The other buttons of the group on the same parent pop up.
void TSpeedButtonBaseEh::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage msg{CM_SPEEDBUTTONGROUP, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(msg);
}

void TSpeedButtonBaseEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_SPEEDBUTTONGROUP: {
      auto* sender = reinterpret_cast<TSpeedButtonBaseEh*>(Message.LParam);
      if (int(Message.WParam) == FGroupIndex && sender != this) {
        if (sender->Down() && FDown) {
          FDown = false;
          FState = bsUpEh;
          Invalidate();
        }
        FAllowAllUp = sender->AllowAllUp();
      }
      return;
    }
    case CM_MOUSEENTER:
      TGraphicControl::Dispatch(Message);
      FMouseInControl = true;
      if (FFlat && Enabled()) Invalidate();
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(Message);
      FMouseInControl = false;
      if (FFlat && Enabled()) Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(Message);
      Invalidate();
      return;
  }
  TGraphicControl::Dispatch(Message);
}

void TSpeedButtonBaseEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    if (!FDown) {
      FState = bsDownEh;
      Invalidate();
    }
    FDragging = true;
  }
}

void TSpeedButtonBaseEh::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TButtonStateEh state = FDown ? bsExclusiveEh : bsUpEh;
  if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight()) state = FDown ? bsExclusiveEh : bsDownEh;
  if (state != FState) {
    FState = state;
    Invalidate();
  }
}

void TSpeedButtonBaseEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  bool doClick = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
  if (FGroupIndex == 0) {
    // Up again without waiting for the mouse to leave.
    FState = bsUpEh;
    FMouseInControl = false;
    Invalidate();
  } else if (doClick) {
    SetDown(!FDown);
    if (FDown) Repaint();
  } else {
    if (FDown) FState = bsExclusiveEh;
    Repaint();
  }
  if (doClick) Click();
}

void TSpeedButtonBaseEh::Click() { TGraphicControl::Click(); }

void TSpeedButtonBaseEh::PaintGlyph(const TRect& Rect) {
  if (FGlyph->Empty()) return;
  int count = std::max(1, std::min(FNumGlyphs, FGlyph->Width()));
  int w = FGlyph->Width() / count, h = FGlyph->Height();
  // Images in the glyph: up, disabled, clicked, down.
  int index = 0;
  if (!Enabled()) index = 1;
  else if (FState == bsDownEh) index = 2;
  else if (FState == bsExclusiveEh) index = 3;
  if (index >= count) index = 0;
  int x = Rect.Left + (Rect.Width() - w) / 2, y = Rect.Top + (Rect.Height() - h) / 2;
  if (FState == bsDownEh || FState == bsExclusiveEh) {
    ++x;
    ++y;
  }
  HDC dc = Canvas()->Handle();
  HDC src = FGlyph->Canvas()->Handle();
  if (FGlyph->Transparent())
    TransparentBlt(dc, x, y, w, h, src, index * w, 0, w, h, ColorToRGB(FGlyph->TransparentColor()));
  else
    BitBlt(dc, x, y, w, h, src, index * w, 0, SRCCOPY);
}

void TSpeedButtonBaseEh::Paint() {
  TRect r = ClientRect();
  HDC dc = Canvas()->Handle();
  bool pressed = FState == bsDownEh || FState == bsExclusiveEh;
  if (!FFlat) {
    TRect face = r;
    DrawFrameControl(dc, face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? UINT(DFCS_PUSHED) : 0u));
  } else {
    if (!FTransparent) {
      Canvas()->Brush()->SetColor(clBtnFace);
      Canvas()->Brush()->SetStyle(bsSolid);
      Canvas()->FillRect(r);
    }
    if (pressed) DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT);
    else if (FMouseInControl && Enabled()) DrawEdge(dc, r, BDR_RAISEDINNER, BF_RECT);
  }
  PaintGlyph(r);
}
