#pragma once
// TcxCustomDropDownEdit: the masked text editor with a drop-down button and a popup window
// (cxEditPopupWindow.h) that opens below or above it. It owns the whole open and close life
// of the popup: the keys and clicks that open and close it, the close reasons, the events in
// their fixed order (init once per cycle, popup, popup done, close-popup, close-up, then the
// deferred post), the hand-over of the chosen value, and the settings that shape the window.
// Opening is deferred through the window's message queue (DM_OPENPOPUP); a second request
// meanwhile is absorbed. Concrete editors fill the popup: cxComboBox.h and cxPopupEdit.h.
// Declares TcxCustomDropDownEditProperties, TcxCustomDropDownEditViewData,
// TcxCustomDropDownEditData, TcxEditPopupControlLookAndFeel, TcxCustomDropDownInnerEdit and
// TcxCustomDropDownEdit.
#include "editors/cxEditPopupWindow.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxTextEditViewInfo.h"

class TBitmap;
class TcxCustomDropDownEdit;

using TcxPopupWindowClass = TcxCustomEditPopupWindow* (*)(TControl* AOwnerControl);

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
  KELM_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)
public:
  explicit TcxCustomDropDownEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;

  int ArrowButtonIndex = 0;
  bool ImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool V) { FImmediateDropDown = V; }
  bool ImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool V) { FImmediatePopup = V; }
  bool HoldArrowPressed() const { return FHoldArrowPressed; }
  void SetHoldArrowPressed(bool V);
  bool PopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool V) { FPopupAutoSize = V; }
  bool PopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(bool V);
  TcxPopupDirection OpenDirection = podUpDown;
  TcxPopupPlacement OpenHorzAlign = ppStart;
  TcxPopupPlacement OpenVertAlign = ppEnd;
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int V);
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int V);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int V);
  bool PopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(bool V);
  bool PopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(bool V);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int V);
  bool PostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(bool V) { FPostPopupValueOnTab = V; }
  TBitmap* ButtonGlyph() const;
  void SetButtonGlyph(TBitmap* Value);
  TAlignment PopupAlignment() const;
  void SetPopupAlignment(TAlignment Value);

  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp, OnPopupDone, OnInitPopup, OnPopup;
  void SetOnCloseQuery(const TCloseQueryEvent& V) { OnCloseQuery = V; }
  void SetOnCloseUp(const TNotifyEvent& V) { OnCloseUp = V; }
  void SetOnInitPopup(const TNotifyEvent& V) { OnInitPopup = V; }
  void SetOnPopup(const TNotifyEvent& V) { OnPopup = V; }

  // ---- new virtual operations, in their order
  virtual int GetArrowButtonIndex() { return 0; }
  virtual bool OpensOnTextClick() { return false; }
  virtual bool PostsAfterClose() { return false; }
  virtual TcxPopupWindowClass GetPopupFormClass();
  virtual bool ClipsPopupToScreen() { return true; }
  virtual bool PopupTakesFocus() { return false; }

  // ---- overrides
  TcxCustomEditViewDataClass GetViewDataClass() override;
  TClass GetEditorClass() override;
  bool PopupShowsLookupList() override { return true; }
  void SignalPropertiesChanged() override;

protected:
  // Construction defaults stored without the setters.
  void StorePopupSize(int W, int H, int MinW, int MinH) {
    FPopupWidth = W, FPopupHeight = H, FPopupMinWidth = MinW, FPopupMinHeight = MinH;
  }
  void StorePopupSizeable(bool V) { FPopupSizeable = V; }

private:
  void SyncArrowButton();
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  bool FSyncingArrowButton = false;
  bool FHoldArrowPressed = false;
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  int FPopupHeight = 0, FPopupMinHeight = 0, FPopupMinWidth = 0, FPopupWidth = 0;
  bool FPopupSizeable = false, FPopupSysPanelStyle = false, FPostPopupValueOnTab = false;
};

class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  bool PopupOpen = false;
  bool HotWhileOpen = false;
};

class TcxCustomDropDownEditData : public TcxCustomEditData {
public:
  using TcxCustomEditData::TcxCustomEditData;
  bool SizeChanged = false;
  int SavedWidth = 0, SavedHeight = 0;
};

// The look handed to the controls inside a popup: derived from the editor's first button.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
  KELM_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)
public:
  explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit);
  TcxLookAndFeelKind GetEffectiveKind() override;
  bool GetEffectiveNativeStyle() override;
  // Compares the derived values with the last ones and tells what changed.
  void Refresh();

private:
  TcxCustomDropDownEdit* FEdit;
};

class TcxCustomDropDownInnerEdit : public TcxCustomInnerTextEdit {
  KELM_CLASS(TcxCustomDropDownInnerEdit, TcxCustomInnerTextEdit)
public:
  using TcxCustomInnerTextEdit::TcxCustomInnerTextEdit;
  void Dispatch(TMessage& Message) override;
};

class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
  KELM_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)
public:
  explicit TcxCustomDropDownEdit(TComponent* AOwner);
  TcxCustomDropDownEdit(TComponent* AOwner, bool AInPlace);
  TcxCustomDropDownEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D);
  ~TcxCustomDropDownEdit() override;

  TcxCustomDropDownEditProperties* DropDownProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(ActiveProperties());
  }
  TcxCustomEditPopupWindow* PopupForm() const { return FPopupForm.get(); }
  TcxEditPopupControlLookAndFeel* PopupControlsFeel() const { return FPopupControlsFeel.get(); }
  TcxCustomDropDownEditData* DropDownEditData() const { return dynamic_cast<TcxCustomDropDownEditData*>(EditData()); }

  bool MouseActivation = false;
  bool HotWhileOpen = false;
  bool PopupPrepared = false;
  bool PopupMouseLock = false;
  bool PopupResized = false;
  bool PopupResizedByUser = false;
  bool ChildStyleSync = false;
  TcxPopupCloseReason LastCloseReason = pcrUnknown;

  void SetPopupOpen(bool Open);
  bool IsPopupOpen() override;
  bool DroppedDown() { return IsPopupOpen(); }
  void FlushPendingOpen();
  bool OpenPending();
  void FireCloseQuery(bool& CanClose);
  TRect GetPopupOwnerRect();
  void UpdateHotWhileOpen();
  // The lookup list lives in the popup (combo boxes).
  bool ListLivesInPopup();
  // The list's size adjustment while the user resizes the popup; false refuses.
  virtual bool AdjustListSize(TSize& Size, int HeightLimit) { return true; }
  void SyncLookupWithText();

  // ---- new virtual operations, in their order
  virtual bool HasPopupContent() { return false; }
  virtual void ClosePopup(TcxPopupCloseReason Reason);
  virtual void MakePopupForm();
  virtual void NotifyCloseUp();
  virtual void FinishPopup();
  virtual void PreparePopup();
  virtual void NotifyPopup();
  virtual void OpenPopup();
  virtual void SpareDropDownHook() {}
  virtual TWinControl* GetPopupFocusTarget();
  virtual void GetPopupContentSize(TSize& Size) = 0;
  virtual void AttachLookupToPopup();
  virtual void ApplyPopupSettings();
  virtual void PopupControlsFeelChanged(TObject* Sender) {}
  virtual void PlacePopupContent(const TRect& ClientRect);
  virtual void LayoutPopup();
  virtual bool SpareDropDownFlag() { return true; }

  // ---- handlers bound to the popup window
  virtual void HandlePopupClosed(TObject* Sender);
  virtual void HandlePopupCloseQuery(TObject* Sender, bool& CanClose);
  virtual void HandlePopupClosing(TObject* Sender) {}
  virtual void HandlePopupShowing(TObject* Sender) {}
  virtual void HandlePopupShown(TObject* Sender);

  // ---- overrides
  TClass GetPropertiesClass() override;
  TcxCustomInnerEditClass InnerEditClass() override;
  TcxCustomEditDataClass EditDataClass() override;
  void InitializeEdit() override;
  void ResetEditData() override;
  TcxCustomEditViewData* MakeViewData() override;
  void ProcessKeyDown(Word& Key, TShiftState Shift) override;
  void ProcessKeyPress(Char& Key) override;
  void ProcessTabKey(TShiftState Shift) override;
  void StartInPlaceEditing(TcxCustomEditData*& AEditData) override;
  void StartInPlaceEditingByKey(Char Key, TcxCustomEditData*& AEditData) override;
  void StartInPlaceEditingByMouse(TShiftState Shift, int X, int Y, TcxCustomEditData*& AEditData) override;
  bool CanSendActivationChar(Char C) override;
  bool ValidateAndShow() override;
  bool IsDefaultButtonKey(Word Key, TShiftState Shift) override;
  void ButtonPressed(int Index) override;
  bool UpdateAppearanceAt(TPoint P, TcxMouseButtonCode Button, TShiftState Shift, bool Recalculate) override;
  void ApplyPropertiesChange(TObject* Sender) override;
  void StyleChanged(TObject* Sender) override;
  void ClipboardPaste() override;
  void Dispatch(TMessage& Message) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoExit() override;
  void HandleFocusChange() override;
  void DestroyWnd() override;
  void CreateWnd() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  void FeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues Values) { PopupControlsFeelChanged(Sender); }
  bool FClosedByPressOnEditor = false;
  std::unique_ptr<TcxCustomEditPopupWindow> FPopupForm;
  std::unique_ptr<TcxEditPopupControlLookAndFeel> FPopupControlsFeel;
};
