// The drop-down editor: its settings, the open and close life of its popup, keys, mouse,
// focus and in-place use.
#include "editors/cxDropDownEdit.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxEditButtons.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditStyles.h"
#include "editors/cxTextEditLookupData.h"
#include "gui/Pictures.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

KELM_PUBLISH(TcxCustomDropDownEditProperties) {}
KELM_PUBLISH(TcxEditPopupControlLookAndFeel) {}
KELM_PUBLISH(TcxCustomDropDownInnerEdit) {}
KELM_PUBLISH(TcxCustomDropDownEdit) {}

// ================================================================ properties

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner) {
  FImmediateDropDown = true;
  Buttons()->Clear();
  Buttons()->Add()->SetKind(bkDown);
  ArrowButtonIndex = GetArrowButtonIndex();
  OpenDirection = podUpDown;
  OpenHorzAlign = ppStart;
  OpenVertAlign = ppEnd;
  FPopupAutoSize = true;
}

TcxPopupWindowClass TcxCustomDropDownEditProperties::GetPopupFormClass() {
  return [](TControl* O) { return new TcxCustomEditPopupWindow(O); };
}

TcxCustomEditViewDataClass TcxCustomDropDownEditProperties::GetViewDataClass() {
  return [](TcxCustomEditProperties* P, TcxCustomEditStyle* S, bool InPlace) -> TcxCustomEditViewData* {
    return new TcxCustomDropDownEditViewData(P, S, InPlace);
  };
}

TClass TcxCustomDropDownEditProperties::GetEditorClass() { return TcxCustomDropDownEdit::StaticClass(); }

void TcxCustomDropDownEditProperties::SyncArrowButton() {
  const int i = GetArrowButtonIndex();
  if (i >= Buttons()->Count()) return;
  TcxEditButton* b = Buttons()->Items(i);
  const bool glyph = b->HasGlyph() && !b->Glyph()->Empty();
  if (glyph) b->SetKind(bkGlyph);
  else if (b->Kind() == bkGlyph) b->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::SignalPropertiesChanged() {
  if (!FSyncingArrowButton) {
    TRestore<bool> guard(FSyncingArrowButton, true);
    SyncArrowButton();
  }
  TcxCustomMaskEditProperties::SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomDropDownEditProperties*>(Source);
  if (!s) return TcxCustomMaskEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomMaskEditProperties::Assign(Source);
  SetButtonGlyph(s->ButtonGlyph());
  FImmediateDropDown = s->FImmediateDropDown;
  FImmediatePopup = s->FImmediatePopup;
  SetHoldArrowPressed(s->FHoldArrowPressed);
  FPopupAutoSize = s->FPopupAutoSize;
  FPopupClientEdge = s->FPopupClientEdge;
  OpenDirection = s->OpenDirection;
  FPopupHeight = s->FPopupHeight;
  OpenHorzAlign = s->OpenHorzAlign;
  FPopupMinHeight = s->FPopupMinHeight;
  FPopupMinWidth = s->FPopupMinWidth;
  FPopupSizeable = s->FPopupSizeable;
  FPopupSysPanelStyle = s->FPopupSysPanelStyle;
  OpenVertAlign = s->OpenVertAlign;
  FPopupWidth = s->FPopupWidth;
  FPostPopupValueOnTab = s->FPostPopupValueOnTab;
  OnCloseQuery = s->OnCloseQuery;
  OnCloseUp = s->OnCloseUp;
  OnPopupDone = s->OnPopupDone;
  OnInitPopup = s->OnInitPopup;
  OnPopup = s->OnPopup;
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() const {
  const int i = ArrowButtonIndex;
  return i < Buttons()->Count() ? Buttons()->Items(i)->Glyph() : nullptr;
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value) {
  const int i = ArrowButtonIndex;
  if (i >= Buttons()->Count()) return;
  TcxEditButton* b = Buttons()->Items(i);
  b->SetGlyph(Value);
  if (Value && !Value->Empty()) b->SetKind(bkGlyph);
  else if (b->Kind() == bkGlyph) b->SetKind(bkDown);
}

TAlignment TcxCustomDropDownEditProperties::PopupAlignment() const {
  switch (OpenHorzAlign) {
    case ppCenter: return taCenter;
    case ppEnd: return taRightJustify;
    default: return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value) {
  if (Value == PopupAlignment()) return;
  OpenHorzAlign = Value == taLeftJustify ? ppStart : Value == taRightJustify ? ppEnd : ppCenter;
  SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetHoldArrowPressed(bool V) {
  if (V == FHoldArrowPressed) return;
  FHoldArrowPressed = V;
  SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(bool V) {
  if (V == FPopupClientEdge) return;
  FPopupClientEdge = V;
  SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(bool V) {
  if (V == FPopupSizeable) return;
  FPopupSizeable = V;
  SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(bool V) {
  if (V == FPopupSysPanelStyle) return;
  FPopupSysPanelStyle = V;
  SignalPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupHeight(int V) {
  V = std::max(V, FPopupMinHeight);
  FPopupHeight = V;
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(int V) {
  FPopupMinHeight = std::max(V, 0);
  SetPopupHeight(FPopupHeight);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(int V) {
  FPopupMinWidth = std::max(V, 0);
  SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(int V) {
  if (V < 0) V = 0;
  else if (V > 0 && V < FPopupMinWidth) V = FPopupMinWidth;
  FPopupWidth = V;
}

// ================================================================ popup look-and-feel

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit)
    : TcxLookAndFeel(nullptr), FEdit(AEdit) {}

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::GetEffectiveKind() {
  if (!FEdit) return lfStandard;
  TcxEditStyle* style = FEdit->ActiveEditStyle();
  if (FEdit->InPlace() && style) return style->LookAndFeel()->Kind();
  if (FEdit->ActiveProperties()->Buttons()->Count() == 0 || !style) return lfStandard;
  static const TcxLookAndFeelKind kByButton[] = {lfStandard, lfStandard, lfFlat, lfFlat, lfFlat, lfUltraFlat, lfOffice11};
  return kByButton[style->ButtonStyle()];
}

bool TcxEditPopupControlLookAndFeel::GetEffectiveNativeStyle() {
  return FEdit && FEdit->ViewInfo() && FEdit->ViewInfo()->UsesTheme;
}

void TcxEditPopupControlLookAndFeel::Refresh() {
  SaveState();
  NotifyIfChanged();
}

// ================================================================ inner edit

void TcxCustomDropDownInnerEdit::Dispatch(TMessage& M) {
  if (M.Msg == CM_HINTSHOW) {
    auto* e = dynamic_cast<TcxCustomDropDownEdit*>(Container());
    M.Result = e && e->IsPopupOpen() ? 1 : 0;
    return;
  }
  TcxCustomInnerTextEdit::Dispatch(M);
}

// ================================================================ editor

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner) : TcxCustomDropDownEdit(AOwner, false) {}

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner, bool AInPlace)
    : TcxCustomMaskEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomMaskEdit(AOwner, AInPlace, D) {}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  FlushPendingOpen();
  FPopupForm.reset();
  FPopupControlsFeel.reset();
}

TClass TcxCustomDropDownEdit::GetPropertiesClass() { return TcxCustomDropDownEditProperties::StaticClass(); }

TcxCustomInnerEditClass TcxCustomDropDownEdit::InnerEditClass() {
  return [](TcxCustomEdit* E) -> IcxCustomInnerEdit* { return (new TcxCustomDropDownInnerEdit(E))->Companion(); };
}

TcxCustomEditDataClass TcxCustomDropDownEdit::EditDataClass() {
  return [](TcxCustomEdit* E) -> TcxCustomEditData* { return new TcxCustomDropDownEditData(E); };
}

void TcxCustomDropDownEdit::InitializeEdit() {
  TcxCustomMaskEdit::InitializeEdit();
  if (!ComponentState().Contains(csDesigning)) MakePopupForm();
  ChildStyleSync = true;
  FPopupControlsFeel = std::make_unique<TcxEditPopupControlLookAndFeel>(this);
  FPopupControlsFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxCustomDropDownEdit::FeelChanged));
}

void TcxCustomDropDownEdit::MakePopupForm() {
  FPopupForm.reset(DropDownProperties()->GetPopupFormClass()(this));
  FPopupForm->SetTakesFocus(DropDownProperties()->PopupTakesFocus());
  FPopupForm->SetTopmostWithOwner(!InPlace());
  FPopupForm->SetBiDiMode(BiDiMode());
  FPopupForm->OnCloseQuery = TCloseQueryEvent(this, &TcxCustomDropDownEdit::HandlePopupCloseQuery);
  FPopupForm->OnAfterCloseUp = TNotifyEvent(this, &TcxCustomDropDownEdit::HandlePopupClosed);
  FPopupForm->OnBeforeCloseUp = TNotifyEvent(this, &TcxCustomDropDownEdit::HandlePopupClosing);
  FPopupForm->OnAfterPopup = TNotifyEvent(this, &TcxCustomDropDownEdit::HandlePopupShown);
  FPopupForm->OnBeforePopup = TNotifyEvent(this, &TcxCustomDropDownEdit::HandlePopupShowing);
}

void TcxCustomDropDownEdit::ResetEditData() {
  if (TcxCustomDropDownEditData* d = DropDownEditData()) {
    d->SizeChanged = false;
    d->SavedWidth = DropDownProperties()->PopupWidth();
    d->SavedHeight = DropDownProperties()->PopupHeight();
  }
}

TcxCustomEditViewData* TcxCustomDropDownEdit::MakeViewData() {
  TcxCustomEditViewData* d = TcxCustomMaskEdit::MakeViewData();
  if (auto* v = dynamic_cast<TcxCustomDropDownEditViewData*>(d)) {
    v->PopupOpen = IsPopupOpen();
    v->HotWhileOpen = HotWhileOpen;
  }
  return d;
}

bool TcxCustomDropDownEdit::IsPopupOpen() { return FPopupForm && FPopupForm->IsOpen(); }

bool TcxCustomDropDownEdit::OpenPending() {
  if (!FPopupForm || !FPopupForm->HandleAllocated()) return false;
  TMsg m;
  return PeekMessage(m, FPopupForm->Handle(), DM_OPENPOPUP, DM_OPENPOPUP, PM_NOREMOVE);
}

void TcxCustomDropDownEdit::SetPopupOpen(bool Open) {
  if (Open == IsPopupOpen()) return;
  if (!Open) return ClosePopup(pcrUnknown);
  if (OpenPending()) return;
  OpenPopup();
}

void TcxCustomDropDownEdit::FlushPendingOpen() {
  if (!FPopupForm || !FPopupForm->HandleAllocated()) return;
  if (DiscardQueuedMessages(FPopupForm->Handle(), DM_OPENPOPUP, DM_OPENPOPUP, true)) HandlePopupClosed(FPopupForm.get());
}

void TcxCustomDropDownEdit::FireCloseQuery(bool& CanClose) {
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(Properties());
  if (own->OnCloseQuery) own->OnCloseQuery(this, CanClose);
  if (RepositoryItem())
    if (auto* r = dynamic_cast<TcxCustomDropDownEditProperties*>(ActiveProperties()); r && r != own && r->OnCloseQuery)
      r->OnCloseQuery(this, CanClose);
}

namespace {
// Own properties first, then the repository item's.
void FireBoth(TcxCustomDropDownEdit* E, TNotifyEvent TcxCustomDropDownEditProperties::*Event) {
  auto* own = static_cast<TcxCustomDropDownEditProperties*>(E->Properties());
  if (own->*Event) (own->*Event)(E);
  if (!E->RepositoryItem()) return;
  auto* r = dynamic_cast<TcxCustomDropDownEditProperties*>(E->ActiveProperties());
  if (r && r != own && r->*Event) (r->*Event)(E);
}
}  // namespace

TRect TcxCustomDropDownEdit::GetPopupOwnerRect() {
  TRect r;
  if (InPlace() && !IsRectEmpty(BoundsRect())) r = TRect{0, 0, Width(), Height()};
  else GetHotZone(r);
  if (ViewInfo() && ViewInfo()->ShadowVisible) r.Right += 3;
  OffsetRect(r, Left(), Top());
  return r;
}

void TcxCustomDropDownEdit::UpdateHotWhileOpen() {
  HotWhileOpen = IsPopupOpen() && ViewInfo() && ViewInfo()->Condition.Contains(ccHot);
}

bool TcxCustomDropDownEdit::ListLivesInPopup() {
  return TextProperties()->HasLookupData() && TextProperties()->PopupShowsLookupList() && LookupDataObject();
}

void TcxCustomDropDownEdit::PreparePopup() {
  if (!PopupPrepared) {
    PopupPrepared = true;
    bool ok = false;
    TScopeExit reset([&] {
      if (!ok) PopupPrepared = false;
    });
    FireBoth(this, &TcxCustomDropDownEditProperties::OnInitPopup);
    ok = true;
  }
  if (TextProperties()->HasLookupData() && LookupData()) LookupData()->HandleDroppedDown(Text());
}

void TcxCustomDropDownEdit::OpenPopup() {
  if (!FPopupForm || !HandleAllocated() || !Showing()) return;
  PreparePopup();
  if (!HasPopupContent()) return FinishPopup();
  LayoutPopup();
  FPopupForm->HandleNeeded();
  FPopupForm->FocusTarget = GetPopupFocusTarget();
  PostMessage(FPopupForm->Handle(), DM_OPENPOPUP, 0, 0);
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusTarget() {
  if (ListLivesInPopup() && DropDownProperties()->PopupTakesFocus())
    if (auto* w = dynamic_cast<TWinControl*>(LookupData()->GetListControl())) return w;
  return InnerTextEditControl();
}

void TcxCustomDropDownEdit::AttachLookupToPopup() {
  if (!FPopupForm || ComponentState().Contains(csDesigning) || !ListLivesInPopup()) return;
  LookupData()->CreateListIn(FPopupForm.get());
}

void TcxCustomDropDownEdit::ApplyPopupSettings() {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  TcxCustomEditPopupWindow* w = FPopupForm.get();
  w->OpenDirection = p->OpenDirection;
  w->HorzPlacement = p->OpenHorzAlign;
  w->VertPlacement = p->OpenVertAlign;
  w->AutoFit = p->PopupAutoSize();
  w->MinHeight = p->PopupMinHeight();
  w->MinWidth = p->PopupMinWidth();
  w->SetClientEdgeOn(p->PopupClientEdge());
  w->SetResizable(p->PopupSizeable());
  w->SetPanelOn(p->PopupSysPanelStyle());
  TcxCustomDropDownEditData* d = DropDownEditData();
  if (InPlace() && p->PopupSizeable() && d) {
    w->PreferredWidth = d->SavedWidth;
    w->PreferredHeight = d->SavedHeight;
  } else {
    w->PreferredWidth = p->PopupWidth();
    w->PreferredHeight = p->PopupHeight();
  }
  // The edit styles carry no close-button setting of their own: always on.
  w->SetCloseButtonOn(true);
  if (TcxCustomEditViewInfo* v = ViewInfo()) {
    w->SetBorderKind(v->PopupBorderStyle);
    w->SetNativeLook(v->UsesTheme);
    w->SetShadowOn(v->ShadowVisible);
  }
}

void TcxCustomDropDownEdit::PlacePopupContent(const TRect& ClientRect) {
  if (ListLivesInPopup()) LookupData()->PlaceList(ClientRect);
}

void TcxCustomDropDownEdit::LayoutPopup() {
  TcxCustomEditPopupWindow* w = FPopupForm.get();
  w->SetTakesFocus(DropDownProperties()->PopupTakesFocus());
  w->HandleNeeded();  // the region below needs the window
  AttachLookupToPopup();
  ApplyPopupSettings();
  w->FitSizeToChildren();
  TPoint p = w->ComputePosition();
  w->ClampToWorkArea(p);
  w->SetBounds(p.X, p.Y, w->Width(), w->Height());
  w->Relayout();
  w->ApplyWindowRegion();
  if (TCustomForm* form = GetParentForm(this)) {
    w->SetAlphaBlend(form->AlphaBlend());
    w->SetAlphaBlendValue(form->AlphaBlendValue());
    w->SetTransparentColor(form->TransparentColor());
    w->SetTransparentColorValue(form->TransparentColorValue());
  }
}

void TcxCustomDropDownEdit::ClosePopup(TcxPopupCloseReason Reason) {
  if (!IsPopupOpen()) return;
  {
    LockChangeEvents(true);
    TScopeExit unlock([this] { LockChangeEvents(false); });
    if (Reason == pcrTab || Reason == pcrToggle || Reason == pcrAccept) {
      if (TextProperties()->HasLookupData() && LookupDataObject()) {
        const int key0 = LookupDataObject()->ActiveKey();
        {
          LockClick(true);
          TScopeExit unlockClick([this] { LockClick(false); });
          LookupData()->ApplyListSelection();
        }
        if (ChangedSinceEnter() && LookupDataObject()->ActiveKey() != key0) MarkChangedAndClick();
      }
      if (!DropDownProperties()->PostsAfterClose() && ActiveProperties()->ImmediatePost() && PostAllowed())
        CommitEditValue(true);
    }
  }
  LastCloseReason = Reason;
  FPopupForm->DismissPopup();
}

void TcxCustomDropDownEdit::HandlePopupCloseQuery(TObject*, bool& CanClose) { FireCloseQuery(CanClose); }

void TcxCustomDropDownEdit::FinishPopup() {
  if (!PopupPrepared) return;
  PopupPrepared = false;
  if (TextProperties()->HasLookupData() && LookupData()) LookupData()->HandleCloseUp();
  FireBoth(this, &TcxCustomDropDownEditProperties::OnPopupDone);
}

void TcxCustomDropDownEdit::NotifyCloseUp() {
  FirePopupClosed(LastCloseReason);
  FireBoth(this, &TcxCustomDropDownEditProperties::OnCloseUp);
}

void TcxCustomDropDownEdit::HandlePopupClosed(TObject*) {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  if (FPopupForm && FPopupForm->ExternalCloseUp && HandleAllocated()) {
    TPoint c;
    GetCursorPos(&c);
    const TPoint a = ClientToScreen(TPoint{0, 0});
    FClosedByPressOnEditor = PtInRect(TRect{a.X, a.Y, a.X + Width(), a.Y + Height()}, c);
  }
  if (p->PopupSizeable() && PopupResizedByUser && FPopupForm) {
    if (InPlace() && DropDownEditData()) {
      DropDownEditData()->SizeChanged = true;
      DropDownEditData()->SavedWidth = FPopupForm->Width();
      DropDownEditData()->SavedHeight = FPopupForm->Height();
    } else {
      p->SetPopupWidth(FPopupForm->Width());
      p->SetPopupHeight(FPopupForm->Height());
    }
  }
  FinishPopup();
  if (TextProperties()->GetEditingStyle() == tesFixedList) UpdateViewAtCursor();
  NotifyCloseUp();
  {
    LockChangeEvents(true);
    TScopeExit unlock([this] { LockChangeEvents(false); });
    if (p->PostsAfterClose() && ActiveProperties()->ImmediatePost() && PostAllowed() && VerifyEditValue(true))
      CommitEditValue(false);
  }
  UpdateViewAtCursor();
}

void TcxCustomDropDownEdit::NotifyPopup() {
  LastCloseReason = pcrUnknown;
  FireBoth(this, &TcxCustomDropDownEditProperties::OnPopup);
}

void TcxCustomDropDownEdit::HandlePopupShown(TObject*) {
  UpdateViewAtCursor();
  FPopupForm->RecalcViewInfo();
  PlacePopupContent(FPopupForm->ViewInfo()->ClientRect);
  NotifyPopup();
  Invalidate();
  if (TextProperties()->HasLookupData() && LookupData() && CompletionShown() &&
      DropDownProperties()->ImmediateDropDown() && DropDownProperties()->PopupTakesFocus())
    LookupData()->TextChanged();
  PopupResizedByUser = false;
}

void TcxCustomDropDownEdit::SyncLookupWithText() {
  if (!IsPopupOpen() || !LookupDataObject()) return;
  const int key0 = LookupDataObject()->ActiveKey();
  {
    LockClick(true);
    TScopeExit unlock([this] { LockClick(false); });
    LookupData()->TextChanged();
  }
  if (LookupDataObject()->ActiveKey() != key0) MarkChangedAndClick();
  const TcxTextEditingStyle s = TextProperties()->GetEditingStyle();
  if (s == tesEdit) {
    String text = Text(), tail;
    SetCompletionShown(SelStart() == int(text.size()) && LookupData()->FindItemByPrefix(text, tail, false));
  } else if (s == tesFixedList) {
    SetCompletionShown(true);
  }
}

// ---------------------------------------------------------------- keys

void TcxCustomDropDownEdit::ProcessKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (IsPopupOpen()) ClosePopup(pcrToggle);
    else SetPopupOpen(true);
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && IsPopupOpen()) {
    PopupClosedByKey = true;
    if (Key == VK_RETURN) ClosePopup(RequestEditing() ? pcrAccept : pcrCancel);
    else ClosePopup(pcrCancel);
    if (!IsPopupOpen()) {
      if (Key == VK_ESCAPE) SetCaptureControl(nullptr);
      Key = 0;
      return;
    }
  }
  TcxCustomMaskEdit::ProcessKeyDown(Key, Shift);
}

void TcxCustomDropDownEdit::ProcessKeyPress(Char& Key) {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  if (Key >= 32 && p->ImmediateDropDown() && !IsPopupOpen()) {
    SetPopupOpen(true);
    if (p->PopupTakesFocus() && Key != 13 && HasPopupContent() && GetPopupFocusTarget() && FPopupForm->HandleAllocated()) {
      PostMessage(FPopupForm->Handle(), DM_FORWARDCHAR, Key, 0);
      Key = 0;
      return;
    }
  }
  TcxCustomMaskEdit::ProcessKeyPress(Key);
}

void TcxCustomDropDownEdit::ProcessTabKey(TShiftState Shift) {
  if (DropDownProperties()->PostPopupValueOnTab() && IsPopupOpen()) ClosePopup(pcrTab);
  TcxCustomMaskEdit::ProcessTabKey(Shift);
}

bool TcxCustomDropDownEdit::IsDefaultButtonKey(Word Key, TShiftState Shift) {
  if (TcxCustomMaskEdit::IsDefaultButtonKey(Key, Shift)) return true;
  if (InPlace() && IsPopupOpen() && (Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) || Key < 32 || Key > 255))
    return false;
  return false;
}

// ---------------------------------------------------------------- in place

void TcxCustomDropDownEdit::StartInPlaceEditing(TcxCustomEditData*& AEditData) {
  TcxCustomMaskEdit::StartInPlaceEditing(AEditData);
  auto* d = dynamic_cast<TcxCustomDropDownEditData*>(AEditData);
  PopupResized = d && d->SizeChanged && DropDownProperties()->PopupSizeable();
  if (DropDownProperties()->ImmediatePopup()) SetPopupOpen(true);
}

bool TcxCustomDropDownEdit::CanSendActivationChar(Char C) {
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  return !(p->ImmediateDropDown() && p->PopupTakesFocus() && C != 13);
}

void TcxCustomDropDownEdit::StartInPlaceEditingByKey(Char Key, TcxCustomEditData*& AEditData) {
  TcxCustomMaskEdit::StartInPlaceEditingByKey(Key, AEditData);
  TcxCustomDropDownEditProperties* p = DropDownProperties();
  const bool accepted = CanSendActivationChar(Key);
  if (Key >= 32 && p->ImmediateDropDown() && !p->ImmediatePopup() && !accepted) SetPopupOpen(true);
  if (!accepted && HasPopupContent() && GetPopupFocusTarget() && FPopupForm && FPopupForm->HandleAllocated())
    PostMessage(FPopupForm->Handle(), DM_FORWARDCHAR, Key, 0);
}

void TcxCustomDropDownEdit::StartInPlaceEditingByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData) {
  TRestore<bool> activation(MouseActivation, true);
  TcxCustomMaskEdit::StartInPlaceEditingByMouse(Shift, X, Y, AEditData);
}

bool TcxCustomDropDownEdit::ValidateAndShow() {
  if (IsPopupOpen()) ClosePopup(pcrUnknown);
  if (TcxCustomDropDownEditData* d = DropDownEditData()) d->SizeChanged = PopupResized;
  const bool result = TcxCustomMaskEdit::ValidateAndShow();
  FlushPendingOpen();
  return result;
}

// ---------------------------------------------------------------- mouse

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TScopeExit clear([this] { FClosedByPressOnEditor = false; });
  TcxCustomMaskEdit::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !ViewInfo()) return;
  if (PtInRect(ViewInfo()->ContentRect, TPoint{X, Y}) && DropDownProperties()->OpensOnTextClick() &&
      !IsPopupOpen() && !HotWhileOpen && !MouseActivation && !FClosedByPressOnEditor)
    SetPopupOpen(true);
}

void TcxCustomDropDownEdit::ButtonPressed(int Index) {
  TcxCustomMaskEdit::ButtonPressed(Index);
  // A press on the editor that just closed the popup does not open it again.
  if (FClosedByPressOnEditor) return;
  if (Index == DropDownProperties()->GetArrowButtonIndex()) SetPopupOpen(true);
}

bool TcxCustomDropDownEdit::UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) {
  const bool result = TcxCustomMaskEdit::UpdateAppearanceAt(P, Button, Shift, Recalculate);
  if (!Shift.Contains(ssLeft)) UpdateHotWhileOpen();
  if (FPopupControlsFeel) FPopupControlsFeel->Refresh();
  return result;
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TcxCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!IsPopupOpen() || !CanBrowseLookupItems(true) || !LookupData() || LookupData()->HasNoItems()) return false;
  if (TWinControl* list = LookupData()->GetListControl()) {
    list->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<Word>(WheelDelta)) << 16, 0);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- focus and window life

void TcxCustomDropDownEdit::HandleFocusChange() {
  // Only a focus that left the editor closes: the inner edit taking it as the popup opens does not.
  if (!DropDownProperties()->PopupTakesFocus() && !IsFocusWithin()) ClosePopup(pcrUnknown);
  TcxCustomMaskEdit::HandleFocusChange();
}

void TcxCustomDropDownEdit::DoExit() {
  ClosePopup(pcrUnknown);
  TcxCustomMaskEdit::DoExit();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  if (FPopupForm) {
    ClosePopup(pcrUnknown);
    FinishPopup();
    FlushPendingOpen();
  }
  TcxCustomMaskEdit::DestroyWnd();
}

void TcxCustomDropDownEdit::CreateWnd() {
  TcxCustomMaskEdit::CreateWnd();
  AttachLookupToPopup();
}

void TcxCustomDropDownEdit::StyleChanged(TObject* Sender) {
  if (FPopupControlsFeel && HandleAllocated()) FPopupControlsFeel->Refresh();
  TcxCustomMaskEdit::StyleChanged(Sender);
}

void TcxCustomDropDownEdit::ApplyPropertiesChange(TObject* Sender) {
  if (!DropDownProperties()->PopupSizeable()) PopupResized = false;
  if (IsPopupOpen()) LayoutPopup();
  TcxCustomMaskEdit::ApplyPropertiesChange(Sender);
}

void TcxCustomDropDownEdit::ClipboardPaste() {
  const String before = Text();
  TcxCustomMaskEdit::ClipboardPaste();
  if (Text() == before || !DropDownProperties()->ImmediateDropDown() || IsPopupOpen()) return;
  SetPopupOpen(true);
  if (TextProperties()->HasLookupData() && HandleAllocated()) PostMessage(Handle(), DM_SYNCLOOKUP, 0, 0);
}

void TcxCustomDropDownEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case DM_SYNCLOOKUP: return SyncLookupWithText();
    case CM_HINTSHOW: M.Result = IsPopupOpen() ? 1 : 0; return;
    case CM_BIDIMODECHANGED:
      TcxCustomMaskEdit::Dispatch(M);
      if (FPopupForm) FPopupForm->SetBiDiMode(BiDiMode());
      return;
    default: TcxCustomMaskEdit::Dispatch(M);
  }
}
