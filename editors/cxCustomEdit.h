#pragma once
// TcxCustomEdit: the base of every editor. It owns the value (EditValue, a variant), its
// settings (Properties, or a repository item's when one is set: ActiveProperties), a data
// binding, the four edit styles and the view info its view data computes. It runs the value
// flow of all editors: how a value is set and stored, how what the user typed is validated,
// turned into the value and posted, in which order the change events fire, how Enter,
// Escape, Tab, the clear key and the default-button key act, how buttons are pressed and
// clicked, and how an editor works stand-alone on a window or in place inside a host.
//
// Message contract: WM_COPY, WM_CUT and WM_PASTE reach the clipboard hooks (cut and paste
// only while the value may change); CM_DIALOGCHAR clicks the button whose caption has the
// character as accelerator; CM_SHOWINGCHANGED re-sizes a showing editor; WM_NCCALCSIZE is
// answered with 0 while the editor re-lays out its inner control.
//
// Descendants fill the hooks; the base bodies are empty or constant. A descendant whose
// constructor must run before the editor is built (its properties class, its inner editor)
// constructs the base with TDeferInitialize and calls InitializeEdit itself at its end.
// Declares IcxCustomInnerEdit, TcxCustomEditData, TcxEditChangeEventsCatcher and TcxCustomEdit
// (its failures are in cxEditError.h).
#include "core/Exceptions.h"
#include "core/Variant.h"
#include "editors/cxEditError.h"
#include "editors/cxContainer.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"

#include <memory>
#include <utility>
#include <vector>

class TcxCanvas;
class TcxTimer;
class TcxCustomEdit;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditDataBinding;

// The inner platform edit an editor hosts (the text editor supplies one).
class IcxCustomInnerEdit : public IcxContainerInnerControl {
public:
  virtual LRESULT CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) = 0;
  virtual Variant GetEditValue() = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  virtual void LockBounds(bool Lock) = 0;
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& Value) = 0;
  virtual void SetParent(TWinControl* Value) = 0;
  virtual void SetOnChange(const TNotifyEvent& Value) = 0;
  virtual void SetReadOnly(bool Value) = 0;
};

// Per-host state an in-place editor keeps between activations.
class TcxCustomEditData : public TObject {
public:
  explicit TcxCustomEditData(TcxCustomEdit* AEdit);
  ~TcxCustomEditData() override;
  void RequestReset();
  bool ResetPending = false;
  TcxCustomEdit* Edit;

private:
  std::unique_ptr<TcxFreeNotificator> FNotificator;
};

using TcxCustomEditDataClass = TcxCustomEditData* (*)(TcxCustomEdit* AEdit);

// Holds an editor's change events while locked: at most one OnChange and one
// OnEditValueChanged wait, however many changes happened.
class TcxEditChangeEventsCatcher : public TObject {
public:
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  void Lock(bool ALock, bool Fire = true);
  bool IsLocked() const { return FLockCount > 0; }
  bool ChangePending = false;
  bool EditValueChangedPending = false;

private:
  TcxCustomEdit* FEdit;
  int FLockCount = 0;
};

using TcxEditEditingEvent = TEvent<void(TObject* Sender, bool& CanEdit)>;
using TcxEditHostKeyEvent = TEvent<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TcxEditDataBindingClass = TcxEditDataBinding* (*)(TcxCustomEdit* AEdit);
using TcxCustomInnerEditClass = IcxCustomInnerEdit* (*)(TcxCustomEdit* AOwner);

class TcxCustomEdit : public TcxContainer, public IcxEditRepositoryItemListener {
  KELM_CLASS(TcxCustomEdit, TcxContainer)
  template <class B> static void Published(B& b) {
    b.Prop("Height", &TcxCustomEdit::Height, &TcxCustomEdit::SetHeight).Stored(false);
    b.Prop("Width", &TcxCustomEdit::Width, &TcxCustomEdit::SetWidth).Stored(false);
    b.Prop("PropertiesEvents", &TcxCustomEdit::PropertiesEvents, &TcxCustomEdit::SetPropertiesEvents);
    b.Prop("RepositoryItem", &TcxCustomEdit::RepositoryItem, &TcxCustomEdit::SetRepositoryItem);
    b.Prop("OnFocusChanged", &TcxCustomEdit::OnFocusChanged, &TcxCustomEdit::SetOnFocusChanged);
  }

public:
  // What descendants publish, with these accessors.
  template <class B> static void PublishedEditing(B& b) {
    using E = typename B::Class;
    b.Prop("AutoSize", &E::AutoSize, &E::SetAutoSize).Default(true);
    b.Prop("EditValue", &E::EditValue, &E::SetEditValue).Stored(&E::EditValueNeedsStoring);
    b.Prop("Style", &E::Style, &E::SetStyle);
    b.Prop("StyleDisabled", &E::StyleDisabled, &E::SetStyleDisabled);
    b.Prop("StyleFocused", &E::StyleFocused, &E::SetStyleFocused);
    b.Prop("StyleHot", &E::StyleHot, &E::SetStyleHot);
    b.Prop("OnEditing", &E::OnEditing, &E::SetOnEditing);
  }

  struct TDeferInitialize {};
  explicit TcxCustomEdit(TComponent* AOwner);
  // CreateInPlace: an in-place editor when InPlace.
  TcxCustomEdit(TComponent* AOwner, bool AInPlace);
  TcxCustomEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize);
  ~TcxCustomEdit() override;

  // ---- published
  int Height() const;
  void SetHeight(int Value) { TcxContainer::SetHeight(Value); }
  int Width() const { return TcxContainer::Width(); }
  void SetWidth(int Value) { TcxContainer::SetWidth(Value); }
  TNotifyEvent PropertiesEvents;
  void SetPropertiesEvents(const TNotifyEvent& Value) { PropertiesEvents = Value; }
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  void SetOnFocusChanged(const TNotifyEvent& Value) { OnFocusChanged = Value; }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  Variant EditValue() const;
  virtual void SetEditValue(const Variant& Value);
  TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(TcxContainer::Style()); }
  void SetStyle(TcxEditStyle* Value) { StyleSet()->SetStyle(Value); }
  TcxEditStyle* StyleDisabled() const { return static_cast<TcxEditStyle*>(TcxContainer::StyleDisabled()); }
  void SetStyleDisabled(TcxEditStyle* Value) { StyleSet()->SetStyleDisabled(Value); }
  TcxEditStyle* StyleFocused() const { return static_cast<TcxEditStyle*>(TcxContainer::StyleFocused()); }
  void SetStyleFocused(TcxEditStyle* Value) { StyleSet()->SetStyleFocused(Value); }
  TcxEditStyle* StyleHot() const { return static_cast<TcxEditStyle*>(TcxContainer::StyleHot()); }
  void SetStyleHot(TcxEditStyle* Value) { StyleSet()->SetStyleHot(Value); }
  TcxEditEditingEvent OnEditing;
  void SetOnEditing(const TcxEditEditingEvent& Value) { OnEditing = Value; }
  TcxEditHostKeyEvent OnHostKey;
  TNotifyEvent OnInplacePost;

  // ---- settings, state and parts
  TcxCustomEditProperties* Properties() const { return FProperties.get(); }
  TcxCustomEditProperties* ActiveProperties() const;
  TcxEditStyle* ActiveEditStyle() { return static_cast<TcxEditStyle*>(ActiveStyle()); }
  TcxCustomEditViewInfo* ViewInfo() const;
  TcxEditDataBinding* DataBinding() const { return FDataBinding.get(); }
  IcxCustomInnerEdit* InnerEdit() const { return FInnerEdit; }
  TcxCustomEditData* EditData() const { return FEditData; }
  bool InPlace() const { return FInPlace; }
  bool ChangedSinceEnter() const { return FChangedSinceEnter; }
  bool ValueModified() const { return FValueModified; }
  bool ValueValidated() const { return FValueValidated; }
  bool Posting() const { return FPosting; }
  bool UserChangeMode() const { return FUserChangeMode; }
  void SetUserChangeMode(bool Value) { FUserChangeMode = Value; }
  // Sets the value field alone: no display, no signal (a descendant adopting its own text).
  void SetEditValueField(const Variant& Value) { FEditValue = Value; }
  // RequestEditing is running.
  bool InEditingRequest() const { return FInEditingRequest; }
  // The last Escape was taken by the editor (it reverted the value).
  bool EscapeHandled() const { return FEscapeHandled; }
  int CapturedButton() const { return FCapturedButton; }
  TcxTimer* DoubleClickTimer() const { return FDoubleClickTimer.get(); }
  const TcxEditContentParameters& CachedContentParameters() const { return FContentParameters; }

  // ---- the value flow
  bool RequestEditing();
  bool VerifyEditValue(bool RaiseOnError);
  void CommitEditValue(bool Validate);
  bool PostAllowed();
  void SignalChange();
  void SignalEditValueChanged();
  void MarkChangedAndClick();
  void LockChangeEvents(bool Lock, bool FireOnUnlock = true);
  void LockClick(bool Lock);
  void LockEditValueAssignment(bool Lock);
  void PushModifiedFlags();
  void PopModifiedFlags();
  void SetValueModified(bool Value);
  void SetChangedSinceEnter(bool Value);
  int FindDefaultButton();
  int ButtonAtPoint(TPoint P);
  bool ClickAcceleratedButton(Char Key);
  bool UpdateViewAtCursor(bool Recalculate = false);
  void CalculateViewInfoAt(TPoint P, TcxMouseButtonCode Button, bool Recalculate, TShiftState Shift);
  void CreateHandleIfParented();
  void CalculateAutoSize(int& AWidth, int& AHeight);
  void CacheContentParameters();
  bool HasInnerEdit() const { return FInnerEdit != nullptr; }
  bool InnerEditMissing();
  bool IsStorageBound();
  bool IsPaintingCopy();
  bool HasChangeHandlers();
  bool HasEditValueChangedHandlers();
  bool HasValidateHandlers();
  bool IsClearOrClickKey(Word Key, TShiftState Shift);
  bool CanUseMouseWheel(TShiftState Shift);
  bool IsEditFocusedForDisplay();
  void FirePopupClosed(TcxPopupCloseReason Reason);
  void FireValidate(Variant& DisplayValue, String& ErrorText, bool& Error);
  // OnValidate of both properties objects; a display value a handler left as it was while
  // setting Error becomes what the editor shows.
  void FireValidateEvents(Variant& DisplayValue, String& ErrorText, bool& Error);
  void SetTransparentMode(bool Value);
  void UpdateInnerReadOnly();
  void CheckEditDataReset(TcxCustomEditData* Data);
  void MarkReplicatable();
  bool ErasesItsBackground() const { return !ControlStyle().Contains(csOpaque); }
  TRect InnerEditBounds();

  // ---- new virtual operations, in their order
  virtual void PlaceInnerEdit();
  virtual void EndPosting() { FPosting = false; }
  virtual void BeginPosting() { FPosting = true; }
  virtual bool AutoSizeEnabled() { return !FInPlace && FAutoSize; }
  virtual bool AutoWidthEnabled();
  virtual bool IsValueChangingKey(Word Key, TShiftState Shift) { return false; }
  virtual bool IsValueChangingChar(Char C) { return false; }
  virtual bool ValueModifiable();
  virtual void InnerEditChanged(TObject* Sender);
  virtual IcxCustomInnerEdit* QueryInnerEdit();
  virtual TcxCustomEditViewData* MakeViewData();
  virtual void TriggerDefaultButton();
  virtual void ButtonClicked(int Index);
  virtual void ButtonPressed(int Index) {}
  virtual void ButtonReleased(int Index) {}
  virtual void ProcessKeyDown(Word& Key, TShiftState Shift);
  virtual void ProcessKeyPress(Char& Key) { CheckKeyChar(Key); }
  virtual void ProcessKeyUp(Word& Key, TShiftState Shift) {}
  virtual void ProcessTabKey(TShiftState Shift) {}
  virtual void FireChange();
  virtual void FireEditValueChanged();
  virtual void SpareHook() {}
  virtual TcxEditSizeParameters GetAutoSizeParameters();
  virtual TcxEditDataBindingClass GetDataBindingClass();
  virtual void ReadDisplayText(String& Text) { Text.clear(); }
  virtual TcxCustomEditDataClass EditDataClass() { return nullptr; }
  virtual void GetCurrentEditValue(Variant& Value);
  virtual TcxCustomInnerEditClass InnerEditClass() { return nullptr; }
  virtual void ReportValidationError(const String& ErrorText);
  virtual void InitializeEdit();
  virtual void ResetEditData() {}
  virtual void SetUpInnerEdit();
  virtual void FillViewData(TcxCustomEditViewData* AViewData);
  virtual bool EditingAllowed() { return true; }
  virtual void GetEditingValue(Variant& Value) { Value = FEditValue; }
  virtual void ApplyDisplayValue(const Variant& DisplayValue) {}
  virtual void StoreEditValue(const Variant& Value);
  virtual void ApplyDisplayValueKeepingFlags(const Variant& DisplayValue);
  virtual bool IsActiveControl();
  virtual bool HandlesButtonPainting(HDC DC) { return false; }
  virtual bool AcceptsClickWhileLoading() { return false; }
  virtual bool IsDefaultButtonKey(Word Key, TShiftState Shift);
  virtual bool EditValueNeedsStoring() const;
  virtual bool IsAlwaysTransparent() { return false; }
  virtual bool IsTransparentMode() { return !FInPlace && FTransparentMode; }
  virtual bool AcceptsCharacter(Char C);
  virtual void PaintBoundValue();
  virtual void PrepareValueForEditing(const Variant& Value, Variant& EditingValue, bool Focused);
  virtual void SyncButtonStates(TcxCustomEditViewInfo* Old, bool Recalculate);
  virtual void ApplyPropertiesChange(TObject* Sender);
  virtual bool IsReadOnlyOrNoData();
  virtual void RepositoryItemChanged() {}
  virtual void RepositoryItemChanging() {}
  virtual void RevertEditValue();
  virtual bool CanSendActivationChar(Char C) { return true; }
  virtual bool TrySetDisplayText(const String& Text) { return false; }
  virtual void ChangeEditValue(const Variant& Value);
  virtual void PutDisplayValue(const Variant& DisplayValue) {}
  virtual void ShowEditValue() {}
  virtual void AdoptDisplayText() {}
  virtual bool BindingRefreshesOnFocus() { return true; }
  virtual void DisplayUpdated() {}
  virtual bool CanProcessKey(Word Key, TShiftState Shift);
  virtual bool CheckKeyChar(Char& Key);
  virtual bool HandlesNavigationKeys() { return false; }
  virtual void InnerEditWindowProc(TMessage& Message);
  virtual void HookInnerEditWindowProc();
  virtual void UnhookInnerEditWindowProc();
  virtual void StartInPlaceEditing(TcxCustomEditData*& AEditData);
  virtual void StartInPlaceEditingByKey(Char Key, TcxCustomEditData*& AEditData);
  virtual void StartInPlaceEditingByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData);
  virtual void ClearValue();
  virtual void ClipboardCopy() {}
  virtual void ClipboardCut() {}
  virtual bool ValidateAndShow();
  virtual TClass GetPropertiesClass();
  virtual bool OwnsWindow(HWND Window);
  virtual bool IsInnerEditShown() { return false; }
  virtual bool CanAcceptRepositoryItem(TcxEditRepositoryItem* Item);
  virtual void ClipboardPaste() {}
  virtual void ConvertDisplayToEditValue(const Variant& DisplayValue, Variant& EditValue, bool Focused) {}
  virtual void SelectWholeText() {}

  // ---- repository item listener
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void ItemPropertiesChanged(TcxEditRepositoryItem* Sender) override;

  // ---- container and platform overrides
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void SetName(const String& Value) override;
  void SetParent(TWinControl* AParent) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  bool CanResize(int& NewWidth, int& NewHeight) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void Click() override;
  void DblClick() override;
  void GetBorderExtent(TRect& E) override;
  void GetShapeBounds(TRect& R) override;
  TcxContainerStyleClass GetStyleClass() override;
  TcxContainerViewInfo* CreateViewInfo() override;
  TcxContainerStyleValues GetUnstoredStyleValues() override;
  bool IsTransparentBackground() override { return IsAlwaysTransparent() || IsTransparentMode(); }
  bool UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) override;
  void AdjustHostedBounds() override;
  bool HandlesTabKey() override { return true; }
  bool IsThemed() override;
  void FocusHostedControl() override;
  bool RunsInPlace() override { return FInPlace; }
  bool IsDefaultParentColor() override { return false; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void Paint() override;
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void HandleFocusChange() override;

private:
  friend class TcxEditChangeEventsCatcher;
  void Construct();
  bool WindowClosingTest(bool LostFocus);
  void ExitProcessing();
  void DoubleClickTimerTick(TObject* Sender);
  void CopyMessage(TMessage& M);
  void CutMessage(TMessage& M);
  void PasteMessage(TMessage& M);
  void DialogCharMessage(TMessage& M);
  void ShowingChangedMessage(TMessage& M);
  void DetachPropertiesHandler() { FProperties->ChangedHandler = nullptr; }
  void AttachPropertiesHandler();

  bool FAutoSize = true;
  int FCapturedButton = -1;
  std::unique_ptr<TcxEditChangeEventsCatcher> FChangeEventsCatcher;
  int FClickLock = 0;
  std::unique_ptr<TcxTimer> FDoubleClickTimer;
  TcxCustomEditData* FEditData = nullptr;
  bool FInEditingRequest = false;
  int FEditValueAssignmentLock = 0;
  bool FFocusedState = false;
  bool FHandleRequestGuard = false;
  IcxCustomInnerEdit* FInnerEdit = nullptr;
  TWndMethod FSavedInnerWndProc;
  bool FInnerWndProcHooked = false;
  bool FContentParametersCached = false;
  bool FValueValidated = false;
  bool FEscapeHandled = false;
  bool FFirstParentPending = false;
  bool FInPlace = false;
  bool FPosting = false;
  bool FUserChangeMode = false;
  int FValidationLock = 0;
  bool FValueModified = false;
  bool FChangedSinceEnter = false;
  Variant FValueOnEnter;
  std::vector<std::pair<bool, bool>> FModifiedStack;
  bool FViewUpdateGuard = false;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  bool FTransparentMode = false;
  bool FErrorFocusGuard = false;
  std::unique_ptr<TcxEditDataBinding> FDataBinding;
  Variant FEditValue;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  bool FInternalBoundsUpdate = false;
  TcxEditContentParameters FContentParameters;
};

// Cursor 4101: the editors' wheel cursor.
constexpr TCursor crcxEditMouseWheel = 4101;
