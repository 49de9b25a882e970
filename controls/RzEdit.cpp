#include "controls/RzEdit.h"

#include "core/ClassBuilder.h"
#include "gui/OSVersion.h"
#include "core/Scope.h"

KELM_PUBLISH(TRzCustomEdit) {}

KELM_PUBLISH(TRzEdit) { Published(b); }

TRzCustomEdit::TRzCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  SetControlStyle(ControlStyle() + csCaptureMouse - csSetCaption);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TRzCustomEdit::~TRzCustomEdit() {
  if (FFrameController) FFrameController->UnregisterControl(this);
  FCanvas.reset();
}

// ---------------------------------------------------------------- window

void TRzCustomEdit::CreateParams(TCreateParams& P) {
  TCustomMaskEdit::CreateParams(P);
  P.Style |= WS_CLIPCHILDREN;
  P.Style &= ~(ES_MULTILINE | ES_RIGHT | ES_CENTER);
  if (FAlignment == taRightJustify) P.Style |= ES_RIGHT;
}

bool TRzCustomEdit::UsingXPThemes() const { return FFramingPreference == fpXPThemes && RzThemesEnabled(); }

void TRzCustomEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  UpdateColors();
  UpdateFrame(false, false);
}

void TRzCustomEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomMaskEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TRzCustomEdit::DefineProperties(TFiler* Filer) {
  TCustomMaskEdit::DefineProperties(Filer);
  DefineOldFrameProperties(Filer, {&FFrameHotTrack, &FFrameStyle, &FFrameHotStyle});
}

void TRzCustomEdit::ValidateError() {
  if (OnMaskError) {
    String message;
    OnMaskError(this, message);
    if (!message.empty()) {
      MessageBeep(0);
      throw EDBEditError(message);
    }
  }
  TCustomMaskEdit::ValidateError();
}

// ---------------------------------------------------------------- colours by state

void TRzCustomEdit::UpdateColors() {
  if (Loading()) return;
  TRestore updating(FUpdatingColor, true);
  if (!Enabled()) SetColor(FDisabledColor);
  else if (Focused()) SetColor(FFocusColor);
  else SetColor(FNormalColor);
}

void TRzCustomEdit::SetColor(TColor Value) {
  if (Value == Color()) return;
  TControl::SetColor(Value);
  if (!FUpdatingColor) {
    if (FFocusColor == FNormalColor) FFocusColor = Value;
    FNormalColor = Value;
  }
  if (FFrameVisible && !UsingXPThemes()) RepaintFrame();
}

void TRzCustomEdit::SetDisabledColor(TColor Value) {
  FDisabledColor = Value;
  if (!Enabled()) UpdateColors();
}

void TRzCustomEdit::SetFocusColor(TColor Value) {
  FFocusColor = Value;
  if (Focused()) UpdateColors();
}

// ---------------------------------------------------------------- frame settings

void TRzCustomEdit::SetFrameController(TRzFrameController* Value) {
  if (Value == FFrameController) return;
  if (FFrameController) {
    FFrameController->UnregisterControl(this);
    FFrameController->RemoveFreeNotification(this);
  }
  FFrameController = Value;
  if (Value) {
    Value->RegisterControl(this);
    Value->FreeNotification(this);
  }
}

void TRzCustomEdit::SetFrameColor(TColor Value) {
  if (Value == FFrameColor) return;
  FFrameColor = Value;
  RedrawFrame();
}

void TRzCustomEdit::SetFrameHotColor(TColor Value) {
  if (Value == FFrameHotColor) return;
  FFrameHotColor = Value;
  RedrawFrame();
}

void TRzCustomEdit::SetFrameHotStyle(TFrameStyle Value) {
  if (Value == FFrameHotStyle || Value < fsNone || Value > LastFrameStyle) return;
  FFrameHotStyle = Value;
  RedrawFrame();
}

void TRzCustomEdit::SetFrameSides(TSides Value) {
  if (Value == FFrameSides) return;
  FFrameSides = Value;
  RedrawFrame();
}

void TRzCustomEdit::SetFrameStyle(TFrameStyle Value) {
  if (Value == FFrameStyle || Value < fsNone || Value > LastFrameStyle) return;
  FFrameStyle = Value;
  RedrawFrame();
}

void TRzCustomEdit::SetFrameVisible(bool Value) {
  if (Value == FFrameVisible) return;
  FFrameVisible = Value;
  if (Value) SetCtl3D(true);
  if (HandleAllocated()) RecreateWnd();
}

void TRzCustomEdit::SetFrameHotTrack(bool Value) {
  if (Value == FFrameHotTrack) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!Loading()) FFrameSides = sdAllSides;
  }
  RedrawFrame();
  Invalidate();
}

void TRzCustomEdit::SetFramingPreference(TFramingPreference Value) {
  if (Value == FFramingPreference) return;
  FFramingPreference = Value;
  if (Value == fpCustomFraming) RedrawFrame();
}

void TRzCustomEdit::SetFlatButtons(bool Value) {
  if (Value == FFlatButtons) return;
  FFlatButtons = Value;
  RepaintFrame();
}

void TRzCustomEdit::SetAlignment(TLeftRight Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  // The platform edit keeps the alignment its window is made with.
  TCustomEdit::SetAlignment(Value);
}

// ---------------------------------------------------------------- painting the frame

void TRzCustomEdit::RedrawFrame() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_INVALIDATE);
}

void TRzCustomEdit::RepaintFrame() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TRzCustomEdit::WMNCPaint(TMessage& M) {
  TCustomMaskEdit::Dispatch(M);
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  if (!dc) return;
  FCanvas->SetHandle(dc);
  TScopeExit release([this] { FCanvas->SetHandle(nullptr); });
  if (FFrameVisible && !UsingXPThemes()) {
    bool lit = FrameLit();
    PaintControlFrame(FCanvas.get(), Width(), Height(), lit ? FFrameHotStyle : FFrameStyle, Color(),
                      lit ? FFrameHotColor : FFrameColor, FFrameSides, false);
    M.Result = 0;
  }
  if (FDropButtonVisible) {
    TRect r = DropButtonRect();
    PaintDropButton(r);
    M.Result = 0;
  }
}

TRect TRzCustomEdit::DropButtonRect() const {
  if (!FDropButtonVisible) return {};
  TRect r = Rect(0, 0, Width(), Height());
  if (BorderStyle() == bsSingle) {
    int inset = RzThemesEnabled() ? 1 : 2;
    InflateRect(r, -inset, -inset);
  }
  int w = GetSystemMetrics(SM_CXVSCROLL);
  if (RightToLeft()) r.Right = r.Left + w;
  else r.Left = r.Right - w;
  return r;
}

void TRzCustomEdit::PaintDropButton(const TRect& Rect) {
  TCanvas* c = FCanvas.get();
  const bool hot = FInControl || FOverControl, down = FButtonState == bsDown;
  if (RzThemesEnabled()) {
    // The flat unlit strip is the edit's own; the other themed states would be theme
    // elements, and with none to draw they take the classic strip below.
    if (FFlatButtons && !hot) {
      c->Brush()->SetColor(Color());
      c->FillRect(Rect);
      PaintDropDownGlyph(c, Rect, true, false, Enabled());
      return;
    }
  }
  if (!FFlatButtons) {
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (down) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled()) state |= DFCS_INACTIVE;
    c->Brush()->SetColor(clBtnFace);
    TRect r = Rect;
    DrawFrameControl(c->Handle(), r, DFC_SCROLL, state);
    return;
  }
  if (!hot) {
    c->Brush()->SetColor(Focused() ? FFocusColor : FNormalColor);
    c->FillRect(Rect);
    PaintDropDownGlyph(c, Rect, false, false, Enabled());
    return;
  }
  c->Brush()->SetColor(FFlatButtonColor);
  TRect inner;
  if (FFlatButtonColor == clBtnFace)
    inner = down ? PaintBevelRings(c, Rect, clBtnShadow, clBtnHighlight, 1, sdAllSides)
                 : PaintBevelRings(c, Rect, clBtnHighlight, clBtnShadow, 1, sdAllSides);
  else
    inner = PaintTintedBorder(c, Rect, FFlatButtonColor, down ? fsStatus : fsPopup);
  c->FillRect(inner);
  PaintDropDownGlyph(c, inner, false, down, Enabled());
}

// ---------------------------------------------------------------- the drop-button strip

void TRzCustomEdit::WMNCCalcSize(TMessage& M) {
  if (FDropButtonVisible)
    if (auto* r = reinterpret_cast<TRect*>(M.LParam)) {
      int w = GetSystemMetrics(SM_CXVSCROLL) - (RzThemesEnabled() ? 1 : 0);
      if (RightToLeft()) r->Left += w;
      else r->Right -= w;
    }
  TCustomMaskEdit::Dispatch(M);
}

void TRzCustomEdit::WMNCHitTest(TMessage& M) {
  TCustomMaskEdit::Dispatch(M);
  // The layer answers the frame as border: the strip is part of the frame here.
  TPoint p = ScreenToClient(PointFromLParam(M.LParam));
  FMouseOverButton = M.Result == HTNOWHERE || OverDropButton(p);
  if (FMouseOverButton) M.Result = HTCLIENT;
}

bool TRzCustomEdit::OverDropButton(TPoint Client) const {
  if (!FDropButtonVisible) return false;
  TRect nc = NonClientMargins();
  return PtInRect(DropButtonRect(), {Client.X + nc.Left, Client.Y + nc.Top});
}

void TRzCustomEdit::SetButtonState(TButtonState Value) {
  if (Value == FButtonState || !FDropButtonVisible) return;
  FButtonState = Value;
  RepaintFrame();
}

void TRzCustomEdit::SetDropButtonVisible(bool Value) {
  if (Value == FDropButtonVisible) return;
  FDropButtonVisible = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TRzCustomEdit::PressDropButton(bool FocusFirst) {
  if (FocusFirst && !Focused() && CanFocus()) SetFocus();
  TRestore dropped(FDroppedDown, true);
  SetMouseCapture(true);
  SetButtonState(bsDown);
  DoDropButtonDown();
  DoDropButtonUp();
  SetButtonState(bsUp);
}

void TRzCustomEdit::ReleaseDropButton() {
  if (!FDroppedDown) SetButtonState(bsUp);
  if (MouseCapture()) SetMouseCapture(false);
}

// True when the message was the drop button's.
bool TRzCustomEdit::DropButtonMouse(TMessage& M) {
  if (!FDropButtonVisible) return false;
  bool over = OverDropButton(PointFromLParam(M.LParam));
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!over) {
        if (M.Msg == WM_LBUTTONDOWN) {
          TCustomMaskEdit::Dispatch(M);
          if (!Focused()) ReleaseDropButton();
          return true;
        }
        return false;
      }
      PressDropButton(true);
      M.Result = 0;
      return true;
    case WM_LBUTTONUP:
      TCustomMaskEdit::Dispatch(M);
      ReleaseDropButton();
      return true;
    case WM_RBUTTONDOWN:
      return over;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- hot state

TRect TRzCustomEdit::StripRedrawRect() const {
  TRect r = ClientRect();
  int w = GetSystemMetrics(SM_CXVSCROLL) + 2;
  if (RightToLeft()) r.Right = r.Left + w;
  else r.Left = r.Right - w;
  return r;
}

void TRzCustomEdit::UpdateFrame(bool IsMouse, bool Value) {
  if (IsMouse) FOverControl = Value;
  else FInControl = Value;
  if (FDropButtonVisible) {
    if ((FFlatButtons || FFrameHotTrack || RzThemesEnabled()) && FButtonState != bsDown && HandleAllocated()) {
      TRect r = FFrameHotTrack ? ClientRect() : StripRedrawRect();
      RedrawWindow(Handle(), &r, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_NOERASE | RDW_INVALIDATE);
    }
  } else if (FFrameHotTrack) {
    RedrawFrame();
  }
  UpdateColors();
}

// ---------------------------------------------------------------- keys

void TRzCustomEdit::KeyPress(Char& Key) {
  if (FTabOnEnter && Key == 13) {
    Key = 0;
    PostMessage(Handle(), WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  // The version 4.0 edit beeps on Enter when right-aligned.
  if (Key == 13 && FAlignment == taRightJustify && PlatformVersion().Is(4, 0)) {
    Key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(Key);
}

void TRzCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (FDropButtonVisible && Key == VK_DOWN && Shift == TShiftState{ssAlt}) {
    PressDropButton(false);
    Key = 0;
  }
}

// ---------------------------------------------------------------- messages

void TRzCustomEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCPAINT:
      WMNCPaint(M);
      return;
    case WM_NCCALCSIZE:
      WMNCCalcSize(M);
      return;
    case WM_NCHITTEST:
      WMNCHitTest(M);
      return;
    case WM_SETCURSOR:
      // The ordinary arrow over the strip.
      if (FMouseOverButton) M.LParam = MakeLParam(0, HiWord(static_cast<WPARAM>(M.LParam)));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
      if (DropButtonMouse(M)) return;
      break;
    case WM_KILLFOCUS:
      TCustomMaskEdit::Dispatch(M);
      if (FDropButtonVisible) ReleaseDropButton();
      return;
    case CM_ENTER:
      if (PlatformVersion().Is(4, 0) && AutoSelect() && !ControlState().Contains(csLButtonDown)) SelectAll();
      UpdateFrame(false, true);
      TCustomMaskEdit::Dispatch(M);
      return;
    case CM_EXIT:
      TCustomMaskEdit::Dispatch(M);
      UpdateFrame(false, false);
      return;
    case CM_MOUSEENTER:
      TCustomMaskEdit::Dispatch(M);
      if (!ComponentState().Contains(csDesigning)) {
        UpdateFrame(true, true);
        DoMouseEnter();
      }
      return;
    case CM_MOUSELEAVE:
      TCustomMaskEdit::Dispatch(M);
      UpdateFrame(true, false);
      DoMouseLeave();
      return;
    case CM_ENABLEDCHANGED:
      TCustomMaskEdit::Dispatch(M);
      RepaintFrame();
      UpdateColors();
      return;
    case CM_PARENTCOLORCHANGED:
    case WM_SIZE:
      TCustomMaskEdit::Dispatch(M);
      if (FFrameVisible && !UsingXPThemes()) RedrawFrame();
      return;
    default:
      break;
  }
  TCustomMaskEdit::Dispatch(M);
}
