// The popup edit: moving the chosen control into the popup and back.
#include "editors/cxPopupEdit.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "editors/cxClasses.h"
#include "editors/cxComponent.h"
#include "editors/cxEditError.h"
#include "gui/Window.h"

template <class B> void TcxPopupEditProperties::Published(B& b) {
  using P = TcxPopupEditProperties;
  b.Prop("Alignment", &P::Alignment, &P::SetAlignmentValue).Stored(&P::AlignmentStored);
  b.Prop("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
  b.Prop("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(false);
  b.Prop("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph);
  b.Prop("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
  b.Prop("ClearKey", &P::ClearKey, &P::SetClearKey).Type("TShortCut").Default(0);
  b.Prop("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
  b.Prop("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &P::ImeName, &P::SetImeName);
  b.Prop("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePopup", &P::ImmediatePopup, &P::SetImmediatePopup).Default(true);
  b.Prop("IncrementalSearch", &P::IncrementalSearch, &P::SetIncrementalSearch).Default(true);
  b.Prop("LookupItems", &P::LookupItems, &P::SetLookupItems);
  b.Prop("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
  b.Prop("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::MaxLengthStored);
  b.Prop("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &P::EditMask, &P::SetEditMask).Type("TcxEditMask").Stored(&P::EditMaskStored);
  b.Prop("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
  b.Prop(
       "PasswordChar", [](const P* p) { return static_cast<char16_t>(p->PasswordChar()); },
       [](P* p, char16_t c) { p->SetPasswordChar(c); })
      .Default(0);
  b.Prop("PopupAlignment", &P::PopupAlignment, &P::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PopupAutoSize", &P::PopupAutoSize, &P::SetPopupAutoSize).Default(true);
  b.Prop("PopupClientEdge", &P::PopupClientEdge, &P::SetPopupClientEdge).Default(false);
  b.Prop("PopupControl", &P::PopupControl, &P::SetPopupControl);
  b.Prop("PopupHeight", &P::PopupHeight, &P::SetPopupHeight).Default(200);
  b.Prop("PopupMinHeight", &P::PopupMinHeight, &P::SetPopupMinHeight).Default(100);
  b.Prop("PopupMinWidth", &P::PopupMinWidth, &P::SetPopupMinWidth).Default(100);
  b.Prop("PopupSizeable", &P::PopupSizeable, &P::SetPopupSizeable).Default(true);
  b.Prop("PopupSysPanelStyle", &P::PopupSysPanelStyle, &P::SetPopupSysPanelStyle).Default(false);
  b.Prop("PopupWidth", &P::PopupWidth, &P::SetPopupWidth).Default(250);
  b.Prop("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::ReadOnlyStored);
  b.Prop("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
      .Stored(&P::UseLeftAlignmentOnEditingStored);
  b.Prop("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &P::OnChange, &P::SetOnChange);
  b.Prop("OnCloseQuery", &P::OnCloseQuery, &P::SetOnCloseQuery);
  b.Prop("OnCloseUp", &P::OnCloseUp, &P::SetOnCloseUp);
  b.Prop("OnEditValueChanged", &P::OnEditValueChanged, &P::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &P::OnInitPopup, &P::SetOnInitPopup);
  b.Prop("OnPopup", &P::OnPopup, &P::SetOnPopup);
  b.Prop("OnValidate", &P::OnValidate, &P::SetOnValidate);
}

template <class B> void TcxPopupEdit::Published(B& b) {
  using E = TcxPopupEdit;
  PublishedEditing(b);
  b.Prop("BeepOnEnter", &E::BeepOnEnterValue, &E::SetBeepOnEnter).Default(true);
  b.Prop("Properties", &E::Properties, &E::SetProperties);
  b.Prop("Text", &TControl::Text, &TControl::SetText);
}

KELM_PUBLISH(TcxCustomPopupEditProperties) {}
KELM_PUBLISH(TcxPopupEditProperties) { Published(b); }
KELM_PUBLISH(TcxPopupEditPopupWindow) {}
KELM_PUBLISH(TcxCustomPopupEdit) {}
KELM_PUBLISH(TcxPopupEdit) { Published(b); }

namespace {
const bool gClassesRegistered = (RegisterClasses({TcxPopupEdit::StaticClass()}), true);
}  // namespace

// ================================================================ properties

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner) {
  SetPopupAutoSize(true);
  StorePopupSize(250, 200, 100, 100);
  StorePopupSizeable(true);
}

TClass TcxCustomPopupEditProperties::GetEditorClass() { return TcxPopupEdit::StaticClass(); }

TcxPopupWindowClass TcxCustomPopupEditProperties::GetPopupFormClass() {
  return [](TControl* O) -> TcxCustomEditPopupWindow* { return new TcxPopupEditPopupWindow(O); };
}

void TcxCustomPopupEditProperties::SetPopupControl(TControl* Value) {
  if (Value == FPopupControl) return;
  // The former control is no longer watched: its later destruction must not clear this one.
  if (FPopupControl) Watcher()->Unwatch(FPopupControl);
  FPopupControl = Value;
  if (Value) Watcher()->Watch(Value);
}

void TcxCustomPopupEditProperties::WatchedComponentRemoved(TComponent* AComponent) {
  TcxCustomDropDownEditProperties::WatchedComponentRemoved(AComponent);
  if (AComponent == FPopupControl) FPopupControl = nullptr;
}

void TcxCustomPopupEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomPopupEditProperties*>(Source);
  if (!s) return TcxCustomDropDownEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomDropDownEditProperties::Assign(Source);
  SetPopupControl(s->PopupControl());
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner) {
  SetImmediateDropDown(true);
  SetImmediatePopup(true);
}

// ================================================================ window

void TcxPopupEditPopupWindowViewInfo::PaintBorder(TcxCanvas* C, TRect& R) {
  if (NativeLook || BorderKind != epbsFrame3D) return TcxCustomEditPopupWindowViewInfo::PaintBorder(C, R);
  // Four pixels whatever the client edge says.
  C->DrawShadedFrame(R, cl3DLight, cl3DDkShadow, cxBordersAll, 1);
  InflateRect(R, -1, -1);
  C->DrawShadedFrame(R, clBtnHighlight, clBtnShadow, cxBordersAll, 1);
  InflateRect(R, -1, -1);
  C->DrawBorderStrips(R, clInactiveBorder, 1, cxBordersAll);
  InflateRect(R, -1, -1);
  C->DrawBorderStrips(R, clBtnFace, 1, cxBordersAll);
  InflateRect(R, -1, -1);
}

TcxPopupEditPopupWindow::TcxPopupEditPopupWindow(TControl* AOwnerControl) : TcxCustomEditPopupWindow(AOwnerControl) {
  ResetPaintInfo(new TcxPopupEditPopupWindowViewInfo);
}

// ================================================================ editor

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner) : TcxCustomPopupEdit(AOwner, false) {}

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner, bool AInPlace)
    : TcxCustomDropDownEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomDropDownEdit(AOwner, AInPlace, D) {}

TcxCustomPopupEdit::~TcxCustomPopupEdit() {
  if (IsPopupOpen()) RestorePopupControl();
}

TClass TcxCustomPopupEdit::GetPropertiesClass() { return TcxCustomPopupEditProperties::StaticClass(); }
TClass TcxPopupEdit::GetPropertiesClass() { return TcxPopupEditProperties::StaticClass(); }

void TcxCustomPopupEdit::ClosePopupLater(TObject*, TcxPopupCloseReason Reason) {
  LastCloseReason = Reason;
  if (PopupForm() && PopupForm()->HandleAllocated()) PostMessage(PopupForm()->Handle(), DM_CLOSEPOPUP, 0, 0);
}

void TcxCustomPopupEdit::CheckPopupControlCycle() {
  TControl* c = PopupProperties()->PopupControl();
  if (!c) return;
  bool cycle = c == PopupForm() || c == this;
  for (TWinControl* p = Parent(); p && !cycle; p = p->Parent()) cycle = c == p;
  if (cycle) throw EcxEditError(TranslateLibraryString("不允许循环引用"));
}

void TcxCustomPopupEdit::PreparePopup() {
  CheckPopupControlCycle();
  TcxCustomDropDownEdit::PreparePopup();
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusTarget() {
  return dynamic_cast<TWinControl*>(PopupProperties()->PopupControl());
}

void TcxCustomPopupEdit::GetPopupContentSize(TSize& Size) {
  TControl* c = PopupProperties()->PopupControl();
  Size = c ? TSize{c->Width(), c->Height()} : TSize{0, 0};
}

void TcxCustomPopupEdit::PlacePopupContent(const TRect& R) {
  if (TControl* c = PopupProperties()->PopupControl()) c->SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

void TcxCustomPopupEdit::SavePopupControlState() {
  TControl* c = PopupProperties()->PopupControl();
  if (!c) return;
  FSavedControlState.Align = c->Align();
  if (auto* f = dynamic_cast<TCustomForm*>(c)) {
    FSavedControlState.BorderStyle = f->BorderStyle();
    f->SetBorderStyle(bsNone);
  }
  FSavedControlState.Bounds = c->BoundsRect();
  FSavedControlState.Parent = c->Parent();
  FSavedControlState.Visible = c->Visible();
  FControlSaved = true;
}

void TcxCustomPopupEdit::RestorePopupControl() {
  TControl* c = PopupProperties()->PopupControl();
  if (!c || !FControlSaved) return;
  FControlSaved = false;
  const TcxPopupControlState& s = FSavedControlState;
  c->SetVisible(false);
  c->SetParent(s.Parent);
  c->SetAlign(s.Align);
  c->SetBoundsRect(s.Bounds);
  if (auto* f = dynamic_cast<TCustomForm*>(c)) f->SetBorderStyle(s.BorderStyle);
  c->SetVisible(s.Visible);
}

void TcxCustomPopupEdit::LayoutPopup() {
  TControl* c = PopupProperties()->PopupControl();
  if (!FControlSaved) SavePopupControlState();
  c->SetParent(PopupForm());
  c->SetVisible(true);
  TcxCustomDropDownEdit::LayoutPopup();
  c->SetAlign(alClient);
}

void TcxCustomPopupEdit::HandlePopupClosed(TObject* Sender) {
  RestorePopupControl();
  TcxCustomDropDownEdit::HandlePopupClosed(Sender);
}

void RegisterPopupEditProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  EditPropertiesRegistry()->RegisterEntry(
      TcxPopupEditProperties::StaticClass(),
      TranslateLibraryString("PopupEdit|Represents an edit control with a dropdown list"));
}

namespace {
const bool gRegistered = (RegisterPopupEditProperties(), true);
}  // namespace
