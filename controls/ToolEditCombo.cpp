#include "controls/ToolEditCombo.h"

#include "controls/RXConst.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "gui/Caret.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/SysResources.h"
#include "gui/Window.h"

#include <algorithm>

namespace {
constexpr bool kNewStyleControls = true;

int FontTextHeight(HFONT Font) {
  HDC dc = GetDC(0);
  HGDIOBJ old = Font ? SelectObject(dc, Font) : nullptr;
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(0, dc);
  return tm.tmHeight;
}
}  // namespace

// ================================================================ TEditButton

KELM_PUBLISH(TEditButton) {}

TEditButton::TEditButton(TComponent* AOwner) : TRxSpeedButton(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetParentShowHint(true);
}

TCustomComboEdit* TEditButton::Edit() const {
  return Parent() ? dynamic_cast<TCustomComboEdit*>(Parent()->Parent()) : nullptr;
}

void TEditButton::Paint() {
  TRxSpeedButton::Paint();
  if (State() == rsDown || State() == rsExclusive) return;
  TCanvas* c = Canvas();
  c->Pen()->SetColor(kNewStyleControls ? clBtnFace : clBtnShadow);
  c->MoveTo(0, 0);
  c->LineTo(0, Height() - 1);
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(1, 1);
  c->LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    TCustomComboEdit* edit = Edit();
    FSkipNextClick = edit && edit->Popup() && edit->PopupVisible();
    if (FSkipNextClick) {
      edit->ClosePopup(true);
    } else if (edit && edit->TabStop() && edit->CanFocus() && GetFocus() != edit->Handle()) {
      edit->SetFocus();
    }
  }
  TRxSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TEditButton::Click() {
  // The press that closed the drop-down must not open it again.
  if (FSkipNextClick) {
    FSkipNextClick = false;
    return;
  }
  TRxSpeedButton::Click();
}

// ================================================================ TCustomComboEdit

KELM_PUBLISH(TCustomComboEdit) {}

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  InstallRxCursors();
  SetControlStyle(ControlStyle() + csCaptureMouse);
  SetAutoSize(false);
  FBtnControl = new TWinControl(this);
  FBtnControl->SetControlStyle(FBtnControl->ControlStyle() + csReplicatable);
  FBtnControl->SetBounds(0, 0, 21, 17);
  FBtnControl->SetVisible(true);
  FBtnControl->SetParent(this);
  FButton = new TEditButton(this);
  FButton->SetBounds(0, 0, FBtnControl->Width(), FBtnControl->Height());
  FButton->SetVisible(true);
  FButton->SetParent(FBtnControl);
  FButton->OnClick = TNotifyEvent(this, &TCustomComboEdit::EditButtonPressed);
  SetHeight(21);
  FCreating = false;
  LayOutButton();
}

TCustomComboEdit::~TCustomComboEdit() { FButton->OnClick = TNotifyEvent(); }

void TCustomComboEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  ApplyEditRect();
}

// ---- layout

int TCustomComboEdit::EditTextHeight() const {
  const int screen = FontTextHeight(nullptr);
  const int own = FontTextHeight(Font()->Handle());
  return std::min(screen, own);
}

int TCustomComboEdit::MinEditHeight() const { return EditTextHeight() + 4 * GetSystemMetrics(SM_CYBORDER) + 1; }

void TCustomComboEdit::ApplyEditRect() {
  if (!HandleAllocated()) return;
  TRect r = Rect(0, 0, ClientWidth() - FBtnControl->Width() - 2, ClientHeight() + 1);
  Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomComboEdit::LayOutButton() {
  if (!FBtnControl) return;
  const int w = FButton->Width();
  TRect r;
  if (!kNewStyleControls) r = Bounds(Width() - w, 0, w, Height());
  else if (Ctl3D() && BorderStyle() == bsSingle) r = Bounds(Width() - w - 4, 0, w, Height() - 4);
  else if (BorderStyle() == bsSingle) r = Bounds(Width() - w - 2, 2, w, Height() - 4);
  else r = Bounds(Width() - w, 0, w, Height());
  FBtnControl->SetBoundsRect(r);
  FButton->SetHeight(FBtnControl->Height());
  ApplyEditRect();
}

int TCustomComboEdit::DefaultButtonWidth() const {
  switch (FGlyphKind) {
    case gkDefault: {
      const int images = std::max(1, FButton->NumGlyphs());
      return std::max(FButton->Glyph()->Width() / images + 6, 21);
    }
    case gkDropDown:
      return GetSystemMetrics(SM_CXVSCROLL);
    default:
      return 21;
  }
}

void TCustomComboEdit::SetButtonWidth(int Value) {
  if (Value == ButtonWidth()) return;
  FBtnControl->SetVisible(Value > 1);
  if (FCreating || ComponentState().Contains(csLoading)) {
    FBtnControl->SetWidth(Value);
    FButton->SetWidth(Value);
  } else if (Value < ClientWidth()) {
    FButton->SetWidth(Value);
    LayOutButton();
  } else {
    return;
  }
  FButton->SetControlStyle(FButton->ControlStyle() - csFixedWidth);
  RebuildGlyph();
}

// ---- glyphs

void TCustomComboEdit::RebuildGlyph() {
  switch (FGlyphKind) {
    case gkDefault: {
      bool mustFree = false;
      TBitmap* glyph = GetDefaultGlyph(mustFree);
      if (glyph) {
        FButton->SetGlyph(glyph);
        if (mustFree) delete glyph;
      }
      FButton->SetNumGlyphs(FDefaultNumGlyphs);
      break;
    }
    case gkDropDown: {
      TBitmap arrow;
      LoadSystemBitmap(OBM_COMBO, &arrow);
      FButton->SetGlyph(&arrow);
      FButton->SetNumGlyphs(1);
      break;
    }
    case gkEllipsis: {
      TBitmap dots;
      dots.SetMonochrome(true);
      const int w = std::max(1, FButton->Width() - 6);
      dots.SetSize(w, 4);
      dots.Canvas()->Brush()->SetColor(clWhite);
      dots.Canvas()->FillRect(Rect(0, 0, w, 4));
      const int gap = std::clamp((w - 6) / 2, 1, 3);
      const int x = (w - 6 - 2 * gap) / 2;
      dots.Canvas()->Brush()->SetColor(clBlack);
      for (int left : {x, x + gap + 2, x + 2 * gap + 4}) dots.Canvas()->FillRect(Rect(left, 1, left + 2, 3));
      FButton->SetGlyph(&dots);
      FButton->SetNumGlyphs(1);
      break;
    }
    case gkCustom:
      break;
  }
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value) {
  if (Value == FGlyphKind) return;
  FGlyphKind = Value;
  if (Value == gkCustom && ComponentState().Contains(csReading)) {
    TBitmap empty;
    FButton->SetGlyph(&empty);
  }
  RebuildGlyph();
  if (Value == gkDefault) {
    const int images = std::max(1, FButton->NumGlyphs());
    SetButtonWidth(std::max(FButton->Glyph()->Width() / images + 6, FButton->Width()));
  } else if (Value == gkDropDown) {
    SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
    FButton->SetControlStyle(FButton->ControlStyle() + csFixedWidth);
  }
}

void TCustomComboEdit::SetGlyph(TBitmap* Value) {
  FButton->SetGlyph(Value);
  FGlyphKind = gkCustom;
}

void TCustomComboEdit::SetNumGlyphs(TRxNumGlyphs Value) {
  if (FGlyphKind == gkDropDown || FGlyphKind == gkEllipsis) FButton->SetNumGlyphs(1);
  else if (FGlyphKind == gkDefault) FButton->SetNumGlyphs(FDefaultNumGlyphs);
  else FButton->SetNumGlyphs(Value);
}

// ---- read-only states

void TCustomComboEdit::SetDirectInput(bool Value) {
  FDirectInput = Value;
  if (!FEditDisabled) TCustomMaskEdit::SetReadOnly(!Value || FReadOnly);
}

void TCustomComboEdit::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (!FEditDisabled) TCustomMaskEdit::SetReadOnly(Value || !FDirectInput);
}

void TCustomComboEdit::SelectAllIfDirect() {
  if (FDirectInput) SelectAll();
}

void TCustomComboEdit::SyncPopupVisible() { FPopupVisible = FPopup && FPopup->Visible(); }

// ---- the drop-down

void TCustomComboEdit::ShowDropDown(bool DisableEdit) {
  if (!FPopup || ReadOnly() || FPopupVisible) return;
  const TPoint origin = Parent() ? Parent()->ClientToScreen({Left(), Top()}) : ClientToScreen({0, 0});
  const TRect editRect = Bounds(origin.X, origin.Y, Width(), Height());
  // The work area of the edit's own monitor, not the primary screen's size.
  TRect work = Screen ? Screen->MonitorFromRect(editRect, mdNearest)->WorkareaRect()
                      : Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const int w = FPopup->Width(), h = FPopup->Height();
  int y = origin.Y + Height();
  if (y + h > work.Bottom) y = origin.Y - h;
  int x;
  if (FPopupAlign == epaRight) {
    x = origin.X - (w - Width());
    if (x < work.Left) x = origin.X;
  } else {
    x = origin.X;
    if (x + w > work.Right) x -= w - Width();
  }
  if (x + w > work.Right) x = work.Right - w;
  if (x < work.Left) x = work.Left;
  LoadPopupValue(Text().empty() ? Null() : Variant(Text()));
  if (CanFocus()) SetFocus();
  ShowPopup({x, y});
  FPopupVisible = true;
  if (DisableEdit) {
    FEditDisabled = true;
    TCustomMaskEdit::SetReadOnly(true);
    if (HandleAllocated()) HideCaret(Handle());
  }
}

void TCustomComboEdit::ShowPopup(TPoint Origin) { FPopup->ShowAt(Origin); }

void TCustomComboEdit::HidePopup() { FPopup->HideWindow(); }

void TCustomComboEdit::HandlePopupClose(TObject*, bool Accept) {
  if (!FPopup || !FPopupVisible) return;
  TScopeExit done([this] { FPopupVisible = false; });
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  Variant value = ReadPopupValue();
  HidePopup();
  try {
    if (CanFocus()) SetFocus();
    if (Focused()) MakeEditCaret();
  } catch (const Exception&) {
    // Focusing the edit cannot fail the close.
  }
  FEditDisabled = false;
  SetDirectInput(FDirectInput);
  Invalidate();
  if (Accept && ApprovePopupValue(value) && !FReadOnly) {
    TakePopupValue(value);
    if (Focused()) SelectAll();
  }
}

Variant TCustomComboEdit::ReadPopupValue() { return FPopup ? FPopup->GetPopupValue() : Variant(String()); }

void TCustomComboEdit::LoadPopupValue(const Variant& Value) {
  if (FPopup) FPopup->SetPopupValue(Value);
}

void TCustomComboEdit::TakePopupValue(const Variant& Value) {
  const String text = VarToStr(Value);
  if (Text() == text) return;
  SetText(text);
  SetModified(true);
  SyncPopupVisible();
  EmitChange();
}

void TCustomComboEdit::EditButtonPressed(TObject*) {
  if (!FReadOnly) RunButtonAction();
}

void TCustomComboEdit::RunButtonAction() {
  OnButtonClick(this);
  if (!FPopup) return;
  if (FPopupVisible) ClosePopup(true);
  else ShowDropDown(true);
}

void TCustomComboEdit::Change() {
  if (FPopupVisible) PopupValueChanged();
  else EmitChange();
}

void TCustomComboEdit::MakeEditCaret() {
  if (!HandleAllocated()) return;
  CreateCaret(Handle(), Font()->Style().Contains(fsBold) ? 2 : 1, EditTextHeight());
  Perform(EM_SCROLLCARET, 0, 0);
  ShowCaret(Handle());
}

bool TCustomComboEdit::InsideDropDown(TControl* Control) const {
  for (TControl* c = Control; c; c = c->Parent())
    if (c == FPopup) return true;
  return false;
}

// ---- input

void TCustomComboEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (Key != 0 && ShortCut(Key, Shift) == FClickKey && ButtonWidth() > 0) {
    EditButtonPressed(this);
    Key = 0;
  }
}

void TCustomComboEdit::KeyPress(Char& Key) {
  if (Key == Char(VK_RETURN) || Key == Char(VK_ESCAPE)) {
    if (FPopup && FPopupVisible) {
      ClosePopup(Key == Char(VK_RETURN));
      Key = 0;
      return;
    }
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, WPARAM(Key), 0);
    if (Key == Char(VK_RETURN)) {
      TCustomMaskEdit::KeyPress(Key);
      Key = 0;
      return;
    }
  }
  TCustomMaskEdit::KeyPress(Key);
}

void TCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPopup) {
    if (CanFocus() && !Focused()) SetFocus();
    if (!Focused()) return;
    if (FPopupVisible) ClosePopup(false);
  }
  TCustomMaskEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomComboEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SIZE:
      TCustomMaskEdit::Dispatch(M);
      if (ComponentState().Contains(csLoading)) return;
      if (Height() < MinEditHeight()) {
        SetHeight(MinEditHeight());
        return;
      }
      LayOutButton();
      return;
    case CM_CTL3DCHANGED:
      TCustomMaskEdit::Dispatch(M);
      LayOutButton();
      return;
    case CM_FONTCHANGED:
      TCustomMaskEdit::Dispatch(M);
      ApplyEditRect();
      return;
    case WM_SETFOCUS:
      TCustomMaskEdit::Dispatch(M);
      FFocused = true;
      MakeEditCaret();
      return;
    case WM_KILLFOCUS:
      TCustomMaskEdit::Dispatch(M);
      FFocused = false;
      ClosePopup(false);
      return;
    case CM_ENTER:
      if (AutoSelect() && !(GetKeyState(VK_LBUTTON) < 0)) SelectAllIfDirect();
      TCustomMaskEdit::Dispatch(M);
      return;
    case WM_CUT:
    case WM_PASTE:
      if (FDirectInput && !FReadOnly) TCustomMaskEdit::Dispatch(M);
      return;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(M.LParam);
      if (sender != this && sender != FPopup && sender != FButton && !InsideDropDown(sender)) ClosePopup(false);
      TCustomMaskEdit::Dispatch(M);
      return;
    }
    case CM_ENABLEDCHANGED:
      TCustomMaskEdit::Dispatch(M);
      FButton->SetEnabled(Enabled());
      return;
    case CM_BIDIMODECHANGED:
      TCustomMaskEdit::Dispatch(M);
      if (FPopup) FPopup->SetBiDiMode(BiDiMode());
      return;
    default:
      TCustomMaskEdit::Dispatch(M);
  }
}
