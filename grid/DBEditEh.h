#pragma once
// The library's data-aware edits: the field link every editor talks through
// (TFieldDataLinkEh), the single-line edit with buttons, image, recently-used list and tool
// tips (TCustomDBEditEh, TDBEditEh), and the combo box with its pick list (TCustomDBComboBoxEh,
// TDBComboBoxEh, TDropDownBoxEh).
//
// The edit talks only to its link. Bound (a data source or a field name set), the link
// follows the field; unbound, it keeps the value itself (UnboundValue), so the same control
// works as a plain edit. The link calls the edit back through four hooks: data change (show
// the value), editing change (the read-only rule), update data (post the text) and active
// change.
//
// A host control (a grid's filter row) drives an edit in place by setting InplaceEditHolder
// to a control that implements IInplaceEditHolderEh: it sees the edit's messages and keys
// first and decides whether the edit may change the value.
#include "grid/CellTextEh.h"
#include "grid/InplaceEditHolderEh.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/MaskEdit.h"

#include <functional>
#include <memory>
#include <vector>

class TCustomDBEditEh;
class TShape;

// The character height of a font and the width of one line of text in it, on the screen.
int FontTextHeightEh(TFont* Font);
int FontTextWidthEh(TFont* Font, const String& S);

// ================================================================ the field link

// A data link to one field of a data source, or (neither source nor field name set) an
// unbound holder of the editor's value.
class TFieldDataLinkEh : public TDataLink {
public:
  TFieldDataLinkEh();

  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  void SetDataSource(TDataSource* Value);
  // The resolved field, nullptr while none.
  TField* Field() const { return FFields.empty() ? nullptr : FFields.front(); }
  bool Unbound() const { return FUnbound; }
  const Variant& UnboundValue() const { return FUnboundValue; }
  void SetUnboundValue(const Variant& Value) { FUnboundValue = Value; }

  bool Editing() const { return FEditing; }
  bool Modified() const { return FModified; }
  void SetModified() { FModified = true; }
  // Unbound: editing starts unless the link is read-only. Bound: the dataset is put into
  // edit state when the field can be modified. The editing state afterwards.
  bool Edit();
  bool Active() const { return FUnbound || (TDataLink::Active() && Field()); }
  bool CanModify() const { return FUnbound || (Field() && !ReadOnly() && Field()->CanModify()); }
  // The editor shows the value again, dropping its edits.
  void Reset() { RecordChanged(nullptr); }
  // Unbound: the kept value becomes S (a string). Bound: a memo's string value, any other
  // field's text (the field's own conversion applies).
  void WriteText(const String& S);
  void WriteValue(const Variant& V);

  // The editor's hooks, called with the link as sender.
  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

  void DataEvent(TDataEvent Event, NativeInt Info) override;

protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** AField) override;
  void LayoutChanged() override;
  void RecordChanged(TField* AField) override;
  void UpdateData() override;

private:
  void UpdateUnbound();
  void ResolveField();
  void UpdateEditing();
  TComponent* FControl = nullptr;
  String FFieldName;
  std::vector<TField*> FFields;  // at most one
  bool FEditing = false;
  bool FModified = false;
  bool FUnbound = true;
  Variant FUnboundValue = Null();
};

// ================================================================ the edit's parts

// The image at the edit's left.
class TEditImageEh : public TPersistent {
  KELM_CLASS(TEditImageEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("ImageIndex", &TEditImageEh::ImageIndex, &TEditImageEh::SetImageIndex).Default(-1);
    b.Prop("Images", &TEditImageEh::Images, &TEditImageEh::SetImages);
    b.Prop("UseImageHeight", &TEditImageEh::UseImageHeight, &TEditImageEh::SetUseImageHeight).Default(true);
    b.Prop("Visible", &TEditImageEh::Visible, &TEditImageEh::SetVisible).Default(false);
    b.Prop("Width", &TEditImageEh::Width, &TEditImageEh::SetWidth).Default(0);
  }
public:
  explicit TEditImageEh(TWinControl* Edit = nullptr) : FEdit(Edit) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FEdit; }

  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool UseImageHeight() const { return FUseImageHeight; }
  void SetUseImageHeight(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);

private:
  void Changed();
  TWinControl* FEdit;
  int FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  bool FUseImageHeight = true;
  bool FVisible = false;
  int FWidth = 0;
};

// How a host sets up an edit it creates.
class IHostedEditEh {
public:
  virtual ~IHostedEditEh() = default;
  virtual TFont* HostedFont() const = 0;
  virtual void SetInplaceEditHolder(TWinControl* Value) = 0;
  virtual void SetHostedBorderStyle(TBorderStyle Value) = 0;
  virtual void SetHostedFont(TFont* Value) = 0;
  virtual void SetHostedColor(TColor Value) = 0;
  virtual void SetHostedOnKeyPress(const TKeyPressEvent& Value) = 0;
  virtual void SetHostedOnExit(const TNotifyEvent& Value) = 0;
};

KELM_EVENT(TOnCheckDrawRequiredStateEventEh, void(TObject* Sender, bool& DrawState));
KELM_EVENT(TGetImageIndexEventEh, void(TObject* Sender, int& ImageIndex));
KELM_EVENT(TUpdateDataEventEh, void(TObject* Sender, bool& Handled));

// ================================================================ the edit

class TCustomDBEditEh : public TCustomMaskEdit, public IDropDownOwnerEh, public IHostedEditEh {
  KELM_CLASS(TCustomDBEditEh, TCustomMaskEdit)
public:
  explicit TCustomDBEditEh(TComponent* AOwner);
  ~TCustomDBEditEh() override;
  // Call once the object is complete: descendants' own link and buttons are made by their
  // factory operations.
  void Loaded() override;

  // ---- properties
  TAlignment Alignment() const { return FAlignmentAssigned ? TCustomEdit::Alignment() : FieldAlignment(); }
  void SetAlignment(TAlignment Value);
  bool AlignmentStored() const { return FAlignmentAssigned; }
  bool AlwaysShowBorder() const { return FAlwaysShowBorder; }
  void SetAlwaysShowBorder(bool Value);
  String DataField() const { return FDataLink->FieldName(); }
  virtual void SetDataField(const String& Value);
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  virtual void SetDataSource(TDataSource* Value);
  TFieldDataLinkEh* DataLink() const { return FDataLink.get(); }
  TField* Field() const { return FDataLink->Field(); }
  TEditButtonEh* EditButton() const { return FEditButton.get(); }
  void SetEditButton(TEditButtonEh* Value) { FEditButton->Assign(Value); }
  TEditButtonsEh* EditButtons() const { return FEditButtons.get(); }
  void SetEditButtons(TEditButtonsEh* Value) { FEditButtons->Assign(Value); }
  String EditMaskEh() const { return EditMask(); }
  void SetEditMaskEh(const String& Value);
  bool EditMaskStored() const { return FEditMaskAssigned; }
  TEditImageEh* EditImageObject() const { return FEditImage.get(); }
  void SetEditImageObject(TEditImageEh* Value) { FEditImage->Assign(Value); }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool HighlightRequired() const { return FHighlightRequired; }
  void SetHighlightRequired(bool Value);
  TMRUListEh* MRUList() const { return FMRUList.get(); }
  void SetMRUList(TMRUListEh* Value) { FMRUList->Assign(Value); }
  bool ReadOnlyEh() const { return FDataLink->ReadOnly(); }
  void SetReadOnlyEh(bool Value);
  bool Tooltips() const { return FTooltips; }
  void SetTooltips(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // The text; := puts it in and posts it to the link (a failure shows the field again and
  // propagates).
  String EditText() const { return Text(); }
  void SetEditTextEh(const String& Value);
  bool TextStored() const { return IsUnbound() && !Text().empty(); }
  Variant Value() const { return CurrentEditValue(); }
  virtual void SetValue(const Variant& Value);
  TWinControl* InplaceEditHolder() const { return FHolderControl; }
  void SetInplaceEditHolder(TWinControl* Value) override;
  bool InplaceMode() const { return FHolder != nullptr; }
  // In place: shows the edit over Loc (its parent's client coordinates) and takes the focus
  // when the holder has it; an empty rectangle hides it. Hiding gives the focus to the holder.
  void MoveInplace(const TRect& Loc, bool Redraw);
  void HideInplace();
  bool ShownInplace() const { return HandleAllocated() && IsWindowVisible(Handle()); }
  bool FocusedEh() const { return FFocused; }
  bool DroppedDown() const { return FDroppedDown; }
  bool ActiveBorderShown() const { return FActiveBorderShown; }
  int ButtonWidth() const { return FButtonWidth; }
  int ButtonHeight() const { return FButtonHeight; }
  int ImageAreaWidth() const { return FImageAreaWidth; }
  // Button control of entry Index (0: the main button) and its separator.
  int ButtonControlCount() const { return static_cast<int>(FButtons.size()); }
  TEditButtonControlEh* ButtonControl(int Index) const { return FButtons[static_cast<std::size_t>(Index)].Button; }
  TShape* ButtonSeparator(int Index) const { return FButtons[static_cast<std::size_t>(Index)].Separator; }
  TMRUListboxEh* MRUListBox() const { return FMRUListBox; }

  TButtonClickEventEh OnButtonClick;
  TButtonDownEventEh OnButtonDown;
  TOnCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TGetImageIndexEventEh OnGetImageIndex;
  TUpdateDataEventEh OnUpdateData;

  // ---- operations
  virtual bool IsUnbound() const { return FDataLink->Unbound(); }
  // Shows the field's (or the kept) value: the link's data-change hook.
  virtual void ShowFieldValue();
  // Posts the text to the link: the link's update-data hook.
  virtual void PostToLink();
  virtual void WriteToLink();
  virtual void ClearFieldMaxLength();
  virtual void OpenDropDown();
  void CloseDropDown(bool Accept) override;
  void LayoutButtons();
  void RefreshButtonStates();
  void RefreshReadOnly();
  // The height that fits the font (and the image) with the border.
  virtual void FitHeightToFont();
  virtual TRect TextAreaRect() const;
  // The text painted when the edit draws itself.
  virtual String PaintCopyText() const;
  // Whether the red required mark would be drawn now.
  bool RequiredMarkState();
  void OpenMRUList();
  void CloseMRUList(bool Accept);
  // Whether the clipped text would show as a tool tip (Tooltips set, text wider than the area).
  bool TextClipped();

  // ---- IHostedEditEh
  TFont* HostedFont() const override { return Font(); }
  void SetHostedBorderStyle(TBorderStyle Value) override { SetBorderStyle(Value); }
  void SetHostedFont(TFont* Value) override { Font()->Assign(Value); }
  void SetHostedColor(TColor Value) override { SetColor(Value); }
  void SetHostedOnKeyPress(const TKeyPressEvent& Value) override { OnKeyPress = Value; }
  void SetHostedOnExit(const TNotifyEvent& Value) override { OnExit = Value; }

  void Dispatch(TMessage& Message) override;

protected:
  // Factories (descendants give their own link, main button, button control, list box).
  virtual TEditButtonEh* MakeMainButton();
  // A descendant's own main button, made in its constructor.
  void ReplaceMainButton(TEditButtonEh* Button);
  virtual TEditButtonControlEh* MakeButtonControl();
  virtual bool ButtonsUsable() const;
  virtual TAlignment FieldAlignment() const;
  virtual String FieldEditMask() const;
  virtual int ImageIndexDefault() const { return -1; }
  virtual Variant CurrentEditValue() const { return Variant(Text()); }
  virtual bool AcceptsChar(Char Key) const;
  virtual void LinkActivated();
  virtual void MainButtonPressed(bool IsDown);
  virtual void ButtonClicked(TObject* Sender);
  virtual void ButtonPressed(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled);
  virtual void ButtonMouseReleased(TObject* Sender, int X, int Y);
  virtual void ButtonMouseMoved(TObject* Sender, TShiftState Shift, int X, int Y) {}
  virtual bool AcceptMRUItem(const String& Item);
  virtual void PutText(const String& S);
  virtual void PutValue(const Variant& V);
  virtual void SetFocusedState(bool F);
  virtual void RefreshReadOnlyState();
  virtual void RefreshImageIndex();
  virtual void TextEditedByUser();
  virtual void PaintRequiredMark(HDC DC);
  // Resets the link after a failed post, so the field's value shows again.
  void ResetAfterFailure() { FDataLink->Reset(); }
  // Runs Post, resetting the link when it raises (the exception goes on).
  void PostGuarded(const std::function<void()>& Put);

  void Change() override;
  void CreateWnd() override;
  void DoEnter() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Resize() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  // Keys of the open MRU list; true when used up.
  bool MRUListKeys(TMessage& Message);
  bool IsOwnPopup(HWND Window) const;
  void ApplyTextArea();
  TEditButtonEh* ButtonDescription(int Entry) const;
  bool PostingToField() const { return FPostingToField; }
  String BlankText() const;

  std::unique_ptr<TFieldDataLinkEh> FDataLink;
  bool FDroppedDown = false;
  bool FSuppressClickCloseUp = false;

private:
  void DataChangeHook(TObject*);
  void EditingChangeHook(TObject*);
  void UpdateDataHook(TObject*);
  void ActiveChangeHook(TObject*);
  void ButtonsChanged(TObject*);
  void HandleExit(TMessage& Message);
  void PaintSelf(TMessage& Message);
  void PaintFlatBorder(HDC DC);
  void PaintImage(HDC DC);
  bool InplaceMessage(TMessage& Message);
  void ShowClippedTip(TMessage& Message);
  void NudgeCaret();
  void UpdateActiveBorder();
  void MRUListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y);
  struct TButtonEntry {
    TShape* Separator = nullptr;
    TEditButtonControlEh* Button = nullptr;
  };
  std::unique_ptr<TEditButtonEh> FEditButton;
  std::unique_ptr<TEditButtonsEh> FEditButtons;
  std::unique_ptr<TEditImageEh> FEditImage;
  std::unique_ptr<TMRUListEh> FMRUList;
  std::vector<TButtonEntry> FButtons;
  TMRUListboxEh* FMRUListBox = nullptr;
  TWinControl* FHolderControl = nullptr;
  IInplaceEditHolderEh* FHolder = nullptr;
  bool FAlignmentAssigned = false;
  bool FEditMaskAssigned = false;
  bool FAlwaysShowBorder = false;
  bool FFlat = false;
  bool FHighlightRequired = false;
  bool FTooltips = false;
  bool FWordWrap = false;
  bool FFocused = false;
  bool FPostingToField = false;
  bool FShowingValue = false;
  bool FActiveBorderShown = false;
  bool FMouseAbove = false;
  int FButtonWidth = 0;
  int FButtonHeight = 0;
  int FImageAreaWidth = 0;
};

// The edit with its properties published.
class TDBEditEh : public TCustomDBEditEh {
  KELM_CLASS(TDBEditEh, TCustomDBEditEh)
  template <class B> static void Published(B& b);
public:
  explicit TDBEditEh(TComponent* AOwner) : TCustomDBEditEh(AOwner) {}
};

// ================================================================ the combo box

// The combo's drop-down settings.
class TDropDownBoxEh : public TPersistent {
  KELM_CLASS(TDropDownBoxEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Align", &TDropDownBoxEh::Align, &TDropDownBoxEh::SetAlign).Default(daLeft);
    b.Prop("AutoDrop", &TDropDownBoxEh::AutoDrop, &TDropDownBoxEh::SetAutoDrop).Default(false);
    b.Prop("Rows", &TDropDownBoxEh::Rows, &TDropDownBoxEh::SetRows).Default(7);
    b.Prop("Sizable", &TDropDownBoxEh::Sizable, &TDropDownBoxEh::SetSizable).Default(false);
    b.Prop("Width", &TDropDownBoxEh::Width, &TDropDownBoxEh::SetWidth).Default(0);
  }
public:
  TDropDownBoxEh() = default;
  void Assign(TPersistent* Source) override;
  TDropDownAlign Align() const { return FAlign; }
  void SetAlign(TDropDownAlign Value) { FAlign = Value; }
  bool AutoDrop() const { return FAutoDrop; }
  void SetAutoDrop(bool Value) { FAutoDrop = Value; }
  int Rows() const { return FRows; }
  void SetRows(int Value) { FRows = Value; }
  bool Sizable() const { return FSizable; }
  void SetSizable(bool Value) { FSizable = Value; }
  // 0: the combo's width; -1: the widest item.
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }

private:
  TDropDownAlign FAlign = daLeft;
  bool FAutoDrop = false;
  int FRows = 7;
  bool FSizable = false;
  int FWidth = 0;
};

KELM_EVENT(TCloseUpEventEh, void(TObject* Sender, bool Accept));
KELM_EVENT(TBeforeCloseUpEventEh, void(TObject* Sender, bool& Accept));
// Asked for items while Items is empty: fills them and gives their count.
KELM_EVENT(TNeedItemsEventEh, int(TObject* Sender));

// A free-text combo (Items only: the value is the text, the list offers completions) or a
// key-based one (KeyItems too: each item stands for the key at its index; typing searches).
class TCustomDBComboBoxEh : public TCustomDBEditEh {
  KELM_CLASS(TCustomDBComboBoxEh, TCustomDBEditEh)
public:
  explicit TCustomDBComboBoxEh(TComponent* AOwner);
  ~TCustomDBComboBoxEh() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  TStrings* KeyItems() const { return FKeyItems.get(); }
  void SetKeyItems(TStrings* Value) { FKeyItems->Assign(Value); }
  bool KeyItemsMode() const { return FKeyItemsMode; }
  int UsableItemCount() const { return FUsableItemCount; }
  int ItemIndex() const { return FItemIndex; }
  // Selects and posts (a failure shows the field again and propagates).
  void SetItemIndex(int Value);
  TDropDownBoxEh* DropDownBox() const { return FDropDownBox.get(); }
  void SetDropDownBox(TDropDownBoxEh* Value) { FDropDownBox->Assign(Value); }
  TCustomImageList* Images() const { return EditImageObject()->Images(); }
  void SetImages(TCustomImageList* Value);
  TPopupListboxEh* PopupList() const { return FPopupList; }
  bool ListVisible() const { return FListShown; }

  TNotifyEvent OnDropDown;
  TCloseUpEventEh OnCloseUp;
  TNotInListEventEh OnNotInList;
  TListGetImageIndexEventEh OnGetItemImageIndex;
  TBeforeCloseUpEventEh OnBeforeCloseUp;
  TNeedItemsEventEh OnNeedItems;

  virtual bool FindItemText(const String& S, bool Partial);
  virtual void SearchTyped(const String& Typed);
  virtual int EnsureItems();
  virtual void PutItemIndex(int Index);
  void SelectNext(bool Prior);
  void ClearValue();

  void ShowFieldValue() override;
  void PostToLink() override;
  void WriteToLink() override;
  void ClearFieldMaxLength() override;
  void OpenDropDown() override;
  void CloseDropDown(bool Accept) override;
  String PaintCopyText() const override;
  void Dispatch(TMessage& Message) override;

protected:
  TEditButtonEh* MakeMainButton() override;
  TAlignment FieldAlignment() const override;
  Variant CurrentEditValue() const override;
  bool AcceptsChar(Char Key) const override { return true; }
  void MainButtonPressed(bool IsDown) override;
  void PutText(const String& S) override;
  void PutValue(const Variant& V) override;
  void RefreshReadOnlyState() override;
  void RefreshImageIndex() override;
  int ImageIndexDefault() const override { return FItemImageIndex; }
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void ButtonMouseMoved(TObject* Sender, TShiftState Shift, int X, int Y) override;

private:
  // A press-drag from the main button or the combo into the open list selects there.
  bool DragIntoList(TControl* From, int X, int Y);
  void ItemsChanged(TObject*);
  void KeyItemsChanged(TObject*);
  void ListRefresh(bool KeysChanged);
  int IndexOfItem(const String& S) const;
  void FollowList();
  void ListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y);
  bool ListKeys(TMessage& Message);
  void FreeTextCharTyped(Char Key);
  void WheelStep(bool Down, bool& Handled);
  std::unique_ptr<TStringList> FItems;
  std::unique_ptr<TStringList> FKeyItems;
  std::unique_ptr<TDropDownBoxEh> FDropDownBox;
  TPopupListboxEh* FPopupList = nullptr;
  bool FKeyItemsMode = false;
  int FUsableItemCount = 0;
  int FItemIndex = -1;
  Variant FKeyValue;
  int FItemImageIndex = -1;
  bool FListShown = false;
};

class TDBComboBoxEh : public TCustomDBComboBoxEh {
  KELM_CLASS(TDBComboBoxEh, TCustomDBComboBoxEh)
  template <class B> static void Published(B& b);
public:
  explicit TDBComboBoxEh(TComponent* AOwner) : TCustomDBComboBoxEh(AOwner) {}
};
