// The data-aware check box: the field's state, toggling, posting and painting.
#include "grid/DBCheckBoxEh.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>

KELM_PUBLISH(TCustomDBCheckBoxEh) {}

TCustomDBCheckBoxEh::TCustomDBCheckBoxEh(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
  TControlStyle style = ControlStyle();
  style -= TControlStyle{csDoubleClicks};
  style += TControlStyle{csReplicatable};
  SetControlStyle(style);
  // An input method has nothing to compose into a check box.
  if (SysLocale().FarEast) SetImeMode(imDisable);
  FDataLink = std::make_unique<TFieldDataLinkEh>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TCustomDBCheckBoxEh::ShowState);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TCustomDBCheckBoxEh::UpdateDataHook);
  FDataLink->SetUnboundValue(Variant(false));
}

TCustomDBCheckBoxEh::~TCustomDBCheckBoxEh() {
  Destroying();
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink.reset();
}

// ---------------------------------------------------------------- properties

void TCustomDBCheckBoxEh::SetAlignment(TLeftRight Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

void TCustomDBCheckBoxEh::SetAlwaysShowBorder(bool Value) {
  if (FAlwaysShowBorder == Value) return;
  FAlwaysShowBorder = Value;
  Invalidate();
}

void TCustomDBCheckBoxEh::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

void TCustomDBCheckBoxEh::SetValueChecked(const String& Value) {
  FValueChecked = Value;
  ShowState();
}

void TCustomDBCheckBoxEh::SetValueUnchecked(const String& Value) {
  FValueUnchecked = Value;
  ShowState();
}

void TCustomDBCheckBoxEh::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TCustomDBCheckBoxEh::Notification(TComponent* AComponent, TOperation Operation) {
  TButtonControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

// ---------------------------------------------------------------- state

bool TCustomDBCheckBoxEh::TextInList(const String& Text, const String& List) {
  std::size_t start = 0;
  while (start <= List.size()) {
    std::size_t end = List.find(';', start);
    if (end == String::npos) end = List.size();
    if (AnsiCompareText(Trim(List.substr(start, end - start)), Text) == 0) return true;
    start = end + 1;
  }
  return false;
}

namespace {

String FirstItem(const String& List) { return Trim(List.substr(0, List.find(';'))); }

}  // namespace

TCheckBoxState TCustomDBCheckBoxEh::FieldState() const {
  if (IsUnbound()) {
    const Variant& v = FDataLink->UnboundValue();
    if (VarType(v) == varBoolean) return v.AsBoolean() ? cbChecked : cbUnchecked;
    return cbGrayed;
  }
  TField* f = Field();
  if (!f) return cbUnchecked;
  if (f->IsNull()) return cbGrayed;
  if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
  String text = f->Text();
  if (TextInList(text, FValueChecked)) return cbChecked;
  if (TextInList(text, FValueUnchecked)) return cbUnchecked;
  return cbGrayed;
}

void TCustomDBCheckBoxEh::ShowState(TObject*) {
  PutState(FieldState());
  FModified = false;
}

void TCustomDBCheckBoxEh::PutState(TCheckBoxState S) {
  if (S == FState) return;
  FState = S;
  if (!FClickEventsSuppressed) TControl::Click();
  Invalidate();
  FModified = true;
}

void TCustomDBCheckBoxEh::SetState(TCheckBoxState Value) {
  if (ComponentState().Contains(csDesigning) && !IsUnbound()) return;
  try {
    if (!IsUnbound()) FDataLink->Edit();
    PutState(Value);
    if (!FPostingToField) PostToLink();
  } catch (...) {
    FDataLink->Reset();
    throw;
  }
}

void TCustomDBCheckBoxEh::ToggleState() {
  if (!FDataLink->Edit()) return;
  switch (FState) {
    case cbUnchecked: PutState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: PutState(cbUnchecked); break;
    case cbGrayed: PutState(cbChecked); break;
  }
  FDataLink->SetModified();
  Invalidate();
}

void TCustomDBCheckBoxEh::UpdateDataHook(TObject*) { PostToLink(); }

void TCustomDBCheckBoxEh::PostToLink() {
  TRestore posting(FPostingToField, true);
  bool handled = false;
  if (OnUpdateData) OnUpdateData(this, handled);
  if (!handled) WriteToLink();
}

void TCustomDBCheckBoxEh::WriteToLink() {
  if (IsUnbound()) {
    FDataLink->WriteValue(FState == cbGrayed ? Null() : Variant(FState == cbChecked));
    return;
  }
  TField* f = Field();
  if (!f) return;
  if (FState == cbGrayed) FDataLink->WriteValue(Null());
  else if (f->DataType() == ftBoolean) FDataLink->WriteValue(Variant(FState == cbChecked));
  else FDataLink->WriteText(FirstItem(FState == cbChecked ? FValueChecked : FValueUnchecked));
}

void TCustomDBCheckBoxEh::Click() {
  ToggleState();
  Changed();
}

// ---------------------------------------------------------------- keys, mouse, focus

void TCustomDBCheckBoxEh::KeyPress(Char& Key) {
  TButtonControl::KeyPress(Key);
  if (Key == 8 || Key == ' ') {
    FDataLink->Edit();
  } else if (Key == 27) {
    FDataLink->Reset();
    Key = 0;
  }
}

void TCustomDBCheckBoxEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!ComponentState().Contains(csDesigning) && !Focused()) {
        // Focusing may post another control's value and fail: the press then does nothing.
        {
          TRestore noClicks(FClickEventsSuppressed, true);
          bool was = ClicksDisabled();
          SetClicksDisabled(true);
          TScopeExit back([this, was] { SetClicksDisabled(was); });
          if (CanFocus()) SetFocus();
        }
        if (!Focused()) return;
      }
      FLeftDown = true;
      break;
    case WM_LBUTTONUP:
      FLeftDown = false;
      break;
    case CM_WANTSPECIALKEY:
      if (M.WParam == VK_ESCAPE && FModified) {
        M.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (FocusByAccel(M)) return;
      break;
    case CM_EXIT:
      try {
        FDataLink->UpdateRecord();
      } catch (...) {
        if (CanFocus()) SetFocus();
        throw;
      }
      DoExit();
      Invalidate();
      return;
    case CM_ENTER:
      TButtonControl::Dispatch(M);
      Invalidate();
      return;
    case CM_MOUSEENTER:
      FMouseAbove = true;
      Invalidate();
      break;
    case CM_MOUSELEAVE:
      FMouseAbove = false;
      Invalidate();
      break;
    case WM_CANCELMODE:
      if (MouseCapture()) {
        bool left = FLeftDown;
        SetMouseCapture(false);
        if (left) Perform(WM_LBUTTONUP, 0, 0);
      }
      break;
    case CM_GETDATALINK:
      M.Result = reinterpret_cast<LRESULT>(FDataLink.get());
      return;
    default: break;
  }
  TButtonControl::Dispatch(M);
}

// ---------------------------------------------------------------- painting

void TCustomDBCheckBoxEh::PaintButton(HDC DC) {
  if (ControlState().Contains(csPaintCopy)) {
    PaintState(DC, FieldState(), false, false, false);
    return;
  }
  PaintState(DC, FState, Focused(), Pressed(), FMouseAbove);
}

void TCustomDBCheckBoxEh::PaintState(HDC DC, TCheckBoxState S, bool AFocused, bool Pressed, bool Hot) {
  TRect client = ClientRect();
  bool rtl = UseRightToLeftAlignment();
  bool boxRight = (!rtl && FAlignment == taLeftJustify) || (rtl && FAlignment == taRightJustify);
  TRect box = PlaceCheckBoxInCell(client, boxRight ? taRightJustify : taLeftJustify);
  TRect area = boxRight ? Rect(0, 0, box.Left - 5, client.Bottom) : Rect(box.Right + 5, 0, client.Right, client.Bottom);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(DC, client, brush);
  DeleteObject(brush);
  PaintCaption(DC, area, AFocused);
  PaintCheckGlyph(DC, box, S, Pressed, Hot, AFocused);
}

void TCustomDBCheckBoxEh::PaintCaption(HDC DC, const TRect& Area, bool AFocused) {
  TCanvas c;
  c.SetHandle(DC);
  c.Font()->Assign(Font());
  c.Brush()->SetStyle(bsClear);
  String caption = Caption();
  TRect r = Area;
  DrawText(c.Handle(), caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
  int h = r.Height();
  OffsetRect(r, 0, Area.Height() / 2 - h / 2 - r.Top);
  if (Enabled() || ComponentState().Contains(csDesigning)) {
    DrawText(c.Handle(), caption, -1, &r, DT_SINGLELINE);
  } else {
    TRect shadow = r;
    OffsetRect(shadow, 1, 1);
    c.Font()->SetColor(clHighlightText);
    DrawText(c.Handle(), caption, -1, &shadow, DT_SINGLELINE);
    c.Font()->SetColor(clGrayText);
    DrawText(c.Handle(), caption, -1, &r, DT_SINGLELINE);
  }
  if (AFocused) {
    TRect f = Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 2);
    IntersectRect(f, f, ClientRect());
    c.Brush()->SetStyle(bsSolid);
    c.DrawFocusRect(f);
  }
  c.SetHandle(nullptr);
}

void TCustomDBCheckBoxEh::PaintCheckGlyph(HDC DC, const TRect& Box, TCheckBoxState S, bool Pressed, bool Hot,
                                          bool AFocused) {
  int check = S == cbChecked ? 1 : S == cbGrayed ? 2 : 0;
  bool enabled = Enabled() || ComponentState().Contains(csDesigning);
  PaintEditButtonFace(DC, Box, Color(), bfsCheckBox, Pressed ? 1 : 0, FFlat, Hot || AFocused || FAlwaysShowBorder,
                      enabled, check);
}

// ================================================================ TDBCheckBoxEh

template <class B> void TDBCheckBoxEh::Published(B& b) {
  using C = TDBCheckBoxEh;
  PublishAction(b);
  b.Prop("Alignment", &C::Alignment, &C::SetAlignment).Default(taRightJustify);
  b.Prop("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).Default(false);
  b.Prop("AlwaysShowBorder", &C::AlwaysShowBorder, &C::SetAlwaysShowBorder).Default(false);
  PublishAnchors(b);
  PublishBiDiMode(b);
  PublishCaption(b);
  b.Prop("Checked", &C::Checked, &C::SetCheckedEh).Default(false);
  PublishColor(b);
  PublishConstraints(b);
  PublishCtl3D(b);
  b.Prop("DataField", &C::DataField, &C::SetDataField);
  b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
  PublishDragCursor(b);
  PublishDragKind(b);
  PublishDragMode(b);
  PublishEnabled(b);
  b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
  PublishFont(b);
  PublishParentBiDiMode(b);
  PublishParentColor(b).Default(true);
  PublishParentCtl3D(b);
  PublishParentFont(b);
  PublishParentShowHint(b);
  PublishPopupMenu(b);
  b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  PublishShowHint(b);
  b.Prop("State", &C::State, &C::SetState).Default(cbUnchecked).Stored(&C::StateStored);
  PublishTabOrder(b);
  PublishTabStop(b).Default(true);
  b.Prop("ValueChecked", &C::ValueChecked, &C::SetValueChecked).Default(String("True"));
  b.Prop("ValueUnchecked", &C::ValueUnchecked, &C::SetValueUnchecked).Default(String("False"));
  PublishVisible(b);
  PublishOnClick(b);
  PublishOnContextPopup(b);
  PublishOnDragDrop(b);
  PublishOnDragOver(b);
  PublishOnEndDock(b);
  PublishOnEndDrag(b);
  PublishOnEnter(b);
  PublishOnExit(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
  PublishOnMouseDown(b);
  PublishOnMouseMove(b);
  PublishOnMouseUp(b);
  PublishOnStartDock(b);
  PublishOnStartDrag(b);
}

KELM_PUBLISH(TDBCheckBoxEh) { Published(b); }
