#pragma once
// The data grid's columns (TColumnEh, TDBGridColumnEh in TDBGridColumnsEh) that show one field
// each, and lists of them (TColumnsEhList); the rules that turn a field value into a cell's
// text, check state or image and an edit back into a field value are the column's.
//
// Most visual settings of a column have no value of their own until they are assigned: they
// read them from the field, the grid or the grid's ColumnDefValues, and a set of
// assigned-value flags remembers what was assigned. Streaming writes only assigned values.
#include "grid/DBGridEhColumnParts.h"

// ================================================================ the column

// What a column's drop-down box reaches of the column's drop-down lookup grid.
class IColumnDropDownHost {
public:
  virtual ~IColumnDropDownHost() = default;
  virtual void FreeNotifyFor(TComponent* AComponent) = 0;
  virtual TPopupDataGridEh* DropDownList() = 0;
  virtual TDBLookupGridEhOptions DropDownOptions() const = 0;
  virtual void SetDropDownOptions(TDBLookupGridEhOptions Value) = 0;
};

class TColumnEh : public TCollectionItem, public IColumnDropDownHost {
  KELM_CLASS(TColumnEh, TCollectionItem)
public:
  explicit TColumnEh(TCollection* Collection);
  ~TColumnEh() override;
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;
  void SetIndex(int Value) override;

  // ---- properties (published by TDBGridColumnEh)
  TAlignment Alignment() const;
  virtual void SetAlignment(TAlignment Value);
  bool AlwaysShowEditButton() const;
  void SetAlwaysShowEditButton(bool Value);
  bool AutoDropDown() const;
  void SetAutoDropDown(bool Value);
  bool AutoFitColWidth() const { return FAutoFitColWidth; }
  virtual void SetAutoFitColWidth(bool Value);
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode Value);
  TColumnButtonStyleEh ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TColumnButtonStyleEh Value);
  bool Checkboxes() const;
  void SetCheckboxes(bool Value);
  TColor Color() const;
  void SetColor(TColor Value);
  bool DblClickNextVal() const;
  void SetDblClickNextVal(bool Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  Cardinal DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(Cardinal Value) { FDropDownRows = Value; }
  bool DropDownShowTitles() const;
  void SetDropDownShowTitles(bool Value);
  bool DropDownSizing() const;
  void SetDropDownSizing(bool Value);
  // 0 or less: the editor's width; -1: the drop-down's own optimal width.
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value);
  TEditButtonsEh* EditButtons() const { return FEditButtons.get(); }
  void SetEditButtons(TEditButtonsEh* Value) { FEditButtons->Assign(Value); }
  TSpecRowEh* DropDownSpecRow() const { return FDropDownSpecRow.get(); }
  // ---- the drop-down lookup grid "DataList", made on first use and freed with the column
  TPopupDataGridEh* DropDownList() override;
  bool HasDropDownList() const { return FDropDownList != nullptr; }
  void FreeNotifyFor(TComponent* AComponent) override;
  // The grid's options; before it exists, those it is made with.
  TDBLookupGridEhOptions DropDownOptions() const override;
  void SetDropDownOptions(TDBLookupGridEhOptions Value) override;
  // The drop-down grid's own events: reading one of a grid not yet made reads an unset event.
  TCheckTitleEhBtnEvent OnDropDownBoxCheckButton() const;
  void SetOnDropDownBoxCheckButton(const TCheckTitleEhBtnEvent& Value);
  TDrawColumnEhCellEvent OnDropDownBoxDrawColumnCell() const;
  void SetOnDropDownBoxDrawColumnCell(const TDrawColumnEhCellEvent& Value);
  TGetCellEhParamsEvent OnDropDownBoxGetCellParams() const;
  void SetOnDropDownBoxGetCellParams(const TGetCellEhParamsEvent& Value);
  TNotifyEvent OnDropDownBoxSortMarkingChanged() const;
  void SetOnDropDownBoxSortMarkingChanged(const TNotifyEvent& Value);
  TTitleEhClickEvent OnDropDownBoxTitleBtnClick() const;
  void SetOnDropDownBoxTitleBtnClick(const TTitleEhClickEvent& Value);
  void SetDropDownSpecRow(TSpecRowEh* Value) { FDropDownSpecRow->Assign(Value); }
  TMRUListEh* MRUList() const { return FMRUList.get(); }
  void SetMRUList(TMRUListEh* Value) { FMRUList->Assign(Value); }
  // The lookup grid's settings and the filter row's condition of the column.
  TColumnDropDownBoxEh* DropDownBox() const { return FDropDownBox.get(); }
  void SetDropDownBox(TColumnDropDownBoxEh* Value);
  TSTColumnFilterEh* STFilter() const { return FSTFilter.get(); }
  void SetSTFilter(TSTColumnFilterEh* Value);
  // The values the filter row's drop-down offers for the column, obtained once by the grid
  // (nullptr until then, and again after the grid's data link changed).
  IMemTableDataFieldValueListEh* FilterValueList() const { return FFilterValueList; }
  void SetFilterValueList(IMemTableDataFieldValueListEh* Value) { FFilterValueList = Value; }
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TColumnFooterEh* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterEh* Value) { FFooter->Assign(Value); }
  TColumnFootersEh* Footers() const { return FFooters.get(); }
  void SetFooters(TColumnFootersEh* Value) { FFooters->Assign(Value); }
  bool HideDuplicates() const { return FHideDuplicates; }
  virtual void SetHideDuplicates(bool Value);
  bool HighlightRequired() const;
  virtual void SetHighlightRequired(bool Value);
  TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  TImeMode ImeMode() const;
  virtual void SetImeMode(TImeMode Value);
  String ImeName() const;
  virtual void SetImeName(const String& Value);
  Extended Increment() const { return FIncrement; }
  void SetIncrement(Extended Value) { FIncrement = Value; }
  // Stored values matching PickList texts position for position; created on first read.
  TStrings* KeyList() const;
  void SetKeyList(TStrings* Value);
  TTextLayout Layout() const;
  void SetLayout(TTextLayout Value);
  String LookupDisplayFields() const;
  virtual void SetLookupDisplayFields(const String& Value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  int NotInKeyListIndex() const { return FNotInKeyListIndex; }
  void SetNotInKeyListIndex(int Value);
  // Texts shown (and offered) for the cell; created on first read.
  TStrings* PickList() const;
  void SetPickList(TStrings* Value);
  // The popup menu (a TPopupMenu of the menus module, or nullptr).
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  void SetPopupMenuComponent(TComponent* Value);
  bool ReadOnly() const;
  virtual void SetReadOnly(bool Value);
  bool ShowImageAndText() const { return FShowImageAndText; }
  void SetShowImageAndText(bool Value);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }
  TColumnTitleEh* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleEh* Value) { FTitle->Assign(Value); }
  bool ToolTips() const;
  void SetToolTips(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const;
  virtual void SetWidth(int Value);
  bool WordWrap() const;
  virtual void SetWordWrap(bool Value);

  TOnColumnCheckDrawRequiredStateEventEh OnCheckDrawRequiredState;
  TButtonClickEventEh OnEditButtonClick;
  TButtonDownEventEh OnEditButtonDown;
  const TGetColCellParamsEventEh& OnGetCellParams() const { return FOnGetCellParams; }
  void SetOnGetCellParams(const TGetColCellParamsEventEh& Value);
  TNotInListEventEh OnNotInList;
  TColCellUpdateDataEventEh OnUpdateData;

  // ---- model
  // The grid holding the column; nullptr when its collection belongs to no grid.
  TCustomDBGridEh* Grid() const;
  // The field shown; bound late, whenever it is asked for, once the grid's dataset has it.
  TField* Field() const;
  virtual void SetField(TField* Value);
  TColumnEhValues AssignedValues() const { return FAssignedValues; }
  // Made by the grid's layout pass from the dataset's fields (not persistent).
  virtual bool IsTransient() const { return !FPersistent; }
  bool Persistent() const { return FPersistent; }
  void SetPersistent(bool Value) { FPersistent = Value; }
  // The width auto-fitting distributes from.
  int InitialWidth() const { return FInitialWidth; }
  void SetInitialWidth(int Value) { FInitialWidth = Value; }
  int ClampWidth(int W) const;
  int DefaultWidth() const;
  TFont* DefaultFont() const;
  // Footers[Index] when there is one, else Footer.
  TColumnFooterEh* FooterAt(int Index) const;
  // Re-binds every footer's aggregate item to the column's current settings.
  void RebindFooterSums();
  // The list of a lookup drop-down: the field's lookup dataset.
  TDataSet* ListDataSet() const;
  bool IsRightToLeft() const;
  bool UseRightToLeftReading() const;
  // Fits the width to the content through the grid.
  virtual void OptimizeWidth();
  virtual void ResetToDefaults();

  // ---- values and editing
  TColumnEhKind ColumnKind() const;
  // The current record's cell text.
  String CellText() const;
  TCheckBoxState CellCheckState() const;
  void SetCellCheckState(TCheckBoxState Value);
  int CellImageIndex() const;
  void FillCellParams(TColCellParamsEh* Params) const;
  virtual void FireGetCellParams(bool EditMode, TColCellParamsEh* Params);
  // Whether the current record's cell may be edited now; with TryEdit the dataset is put
  // into edit state on the way.
  bool IsEditable(bool TryEdit);
  void WriteValue(const String& Text, const Variant& Value, bool UseText);
  // Moves the value one step forward (Step = 1) or backward: the next key, pick text, list
  // record or check state, or the number plus Step.
  void StepValue(Extended Step);

protected:
  friend class TColumnTitleEh;
  friend class TSTColumnFilterEh;
  friend class TColumnFooterEh;
  friend class TColumnFootersEh;
  friend class TCustomDBGridEh;
  virtual TEditButtonsEh* NewEditButtons();
  virtual TColumnFooterEh* NewFooter();
  virtual TColumnFootersEh* NewFooters();
  virtual TSTColumnFilterEh* NewSTFilter();
  virtual TColumnTitleEh* NewTitle();
  void FontChanged(TObject* Sender);
  void EditButtonsChanged(TObject* Sender);
  void ImageListChanged(TObject* Sender);
  void Flag(TColumnEhValue V) { FAssignedValues.Include(V); }
  bool Flagged(TColumnEhValue V) const { return FAssignedValues.Contains(V); }
  // Assigns a setting that follows its default until assigned: stores Value and flags V;
  // false when it was assigned with that value already, so nothing needs to be signalled.
  template <class T, class TValue> bool AssignFlagged(TColumnEhValue V, T& Field, const TValue& Value) {
    if (Flagged(V) && Field == Value) return false;
    Field = Value;
    Flag(V);
    return true;
  }
  void SetAssignedValues(TColumnEhValues Value) { FAssignedValues = Value; }
  // Forgets a field that is being freed, keeping the name to bind again.
  void FieldGone() { FField = nullptr; }

  // Followed values.
  TAlignment DefaultAlignment() const;
  bool DefaultAlwaysShowEditButton() const;
  bool DefaultAutoDropDown() const;
  TBiDiMode DefaultBiDiMode() const;
  bool DefaultCheckboxes() const;
  TColor DefaultColor() const;
  bool DefaultDblClickNextVal() const;
  bool DefaultDropDownShowTitles() const;
  bool DefaultDropDownSizing() const;
  bool DefaultEndEllipsis() const;
  bool DefaultHighlightRequired() const;
  TImeMode DefaultImeMode() const;
  String DefaultImeName() const;
  TTextLayout DefaultLayout() const;
  String DefaultLookupDisplayFields() const;
  bool DefaultReadOnly() const;
  bool DefaultToolTips() const;
  bool DefaultWordWrap() const;

private:
  void RefreshDefaultFont() const;
  bool LinkActive() const;
  TColumnDefValuesEh* DefValues() const;
  bool InColumnsUpdate() const;
  // The key fields of a lookup field, the edit field first; none when it has no key fields.
  std::vector<TField*> LookupKeyFieldList() const;
  void WriteCheckState(TCheckBoxState Value);
  bool IsEditableForStep();

protected:
  // stored-ness for streaming
  bool IsAlignmentStored() const;
  bool IsAlwaysShowEditButtonStored() const;
  bool IsAutoDropDownStored() const;
  bool IsBiDiModeStored() const { return Flagged(evBiDiMode); }
  bool IsCheckboxesStored() const { return Flagged(evCheckboxes); }
  bool IsColorStored() const;
  bool IsDblClickNextValStored() const;
  bool IsDropDownShowTitlesStored() const;
  bool IsDropDownSizingStored() const;
  bool IsEndEllipsisStored() const;
  bool IsFontStored() const { return Flagged(evFont); }
  bool IsHighlightRequiredStored() const;
  bool IsImeModeStored() const;
  bool IsImeNameStored() const;
  bool IsKeyListStored() const { return FKeyList && FKeyList->Count() > 0; }
  bool IsLayoutStored() const;
  bool IsLookupDisplayFieldsStored() const;
  bool IsPickListStored() const { return FPickList && FPickList->Count() > 0; }
  bool IsReadOnlyStored() const;
  bool IsToolTipsStored() const;
  bool IsWidthStored() const;
  bool IsWordWrapStored() const;
  bool IsFootersStored() const { return FFooters->Count() > 0; }
  bool IsEditButtonsStored() const { return FEditButtons->Count() > 0; }

private:
  TAlignment FAlignment = taLeftJustify;
  TColumnEhValues FAssignedValues;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TColumnButtonStyleEh FButtonStyle = cbsAuto;
  bool FCheckboxes = false;
  TColor FColor = clWindow;
  bool FDblClickNextVal = false;
  String FDisplayFormat;
  Cardinal FDropDownRows = 7;
  bool FDropDownShowTitles = false;
  bool FDropDownSizing = false;
  int FDropDownWidth = 0;
  std::unique_ptr<TEditButtonsEh> FEditButtons;
  std::unique_ptr<TSpecRowEh> FDropDownSpecRow;
  TPopupDataGridEh* FDropDownList = nullptr;
  std::unique_ptr<TMRUListEh> FMRUList;
  std::unique_ptr<TColumnDropDownBoxEh> FDropDownBox;
  std::unique_ptr<TSTColumnFilterEh> FSTFilter;
  IMemTableDataFieldValueListEh* FFilterValueList = nullptr;
  String FEditMask;
  mutable TField* FField = nullptr;
  mutable String FFieldName;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TColumnFooterEh> FFooter;
  std::unique_ptr<TColumnFootersEh> FFooters;
  bool FHideDuplicates = false;
  bool FHighlightRequired = false;
  TCustomImageList* FImageList = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  TImeMode FImeMode = imDontCare;
  String FImeName;
  Extended FIncrement = 1;
  TTextLayout FLayout = tlTop;
  mutable std::unique_ptr<TStringList> FKeyList;
  int FMaxWidth = 0;
  int FMinWidth = 0;
  int FNotInKeyListIndex = -1;
  TGetColCellParamsEventEh FOnGetCellParams;
  mutable std::unique_ptr<TStringList> FPickList;
  TComponent* FPopupMenu = nullptr;
  bool FReadOnly = false;
  bool FPersistent = true;
  bool FShowImageAndText = false;
  int FTag = 0;
  std::unique_ptr<TColumnTitleEh> FTitle;
  bool FToolTips = false;
  bool FVisible = true;
  int FWidth = 0;
  bool FAlwaysShowEditButton = false;
  bool FAutoDropDown = false;
  bool FAutoFitColWidth = true;
  bool FEndEllipsis = false;
  int FInitialWidth = 0;
  String FLookupDisplayFields;
  bool FWordWrap = false;
};

// The item class of every grid's Columns: the column with its properties published.
class TDBGridColumnEh : public TColumnEh {
  KELM_CLASS(TDBGridColumnEh, TColumnEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridColumnEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton)
        .NoDefault()
        .Stored(&C::IsAlwaysShowEditButtonStored);
    b.Prop("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).NoDefault().Stored(&C::IsAutoDropDownStored);
    b.Prop("AutoFitColWidth", &C::AutoFitColWidth, &C::SetAutoFitColWidth).Default(true);
    b.Prop("BiDiMode", &C::BiDiMode, &C::SetBiDiMode).NoDefault().Stored(&C::IsBiDiModeStored);
    b.Prop("ButtonStyle", &C::ButtonStyle, &C::SetButtonStyle).Default(cbsAuto);
    b.Prop("Checkboxes", &C::Checkboxes, &C::SetCheckboxes).NoDefault().Stored(&C::IsCheckboxesStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal)
        .NoDefault()
        .Stored(&C::IsDblClickNextValStored);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("DropDownBox", &C::DropDownBox, &C::SetDropDownBox);
    b.Prop("DropDownRows", &C::DropDownRows, &C::SetDropDownRows).Default(7);
    b.Prop("DropDownShowTitles", &C::DropDownShowTitles, &C::SetDropDownShowTitles)
        .NoDefault()
        .Stored(&C::IsDropDownShowTitlesStored);
    b.Prop("DropDownSizing", &C::DropDownSizing, &C::SetDropDownSizing).NoDefault().Stored(&C::IsDropDownSizingStored);
    b.Prop("DropDownSpecRow", &C::DropDownSpecRow, &C::SetDropDownSpecRow);
    b.Prop("OnDropDownBoxCheckButton", &C::OnDropDownBoxCheckButton, &C::SetOnDropDownBoxCheckButton);
    b.Prop("OnDropDownBoxDrawColumnCell", &C::OnDropDownBoxDrawColumnCell, &C::SetOnDropDownBoxDrawColumnCell);
    b.Prop("OnDropDownBoxGetCellParams", &C::OnDropDownBoxGetCellParams, &C::SetOnDropDownBoxGetCellParams);
    b.Prop("OnDropDownBoxSortMarkingChanged", &C::OnDropDownBoxSortMarkingChanged,
           &C::SetOnDropDownBoxSortMarkingChanged);
    b.Prop("OnDropDownBoxTitleBtnClick", &C::OnDropDownBoxTitleBtnClick, &C::SetOnDropDownBoxTitleBtnClick);
    b.Prop("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    b.Prop("EditButtons", &C::EditButtons, &C::SetEditButtons).Stored(&C::IsEditButtonsStored);
    b.Prop("EditMask", &C::EditMask, &C::SetEditMask);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).NoDefault().Stored(&C::IsEndEllipsisStored);
    b.Prop("FieldName", &C::FieldName, &C::SetFieldName);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("Footer", &C::Footer, &C::SetFooter);
    b.Prop("Footers", &C::Footers, &C::SetFooters).Stored(&C::IsFootersStored);
    b.Prop("HideDuplicates", &C::HideDuplicates, &C::SetHideDuplicates).Default(false);
    b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired)
        .NoDefault()
        .Stored(&C::IsHighlightRequiredStored);
    b.Prop("ImageList", &C::ImageList, &C::SetImageList);
    b.Prop("ImeMode", &C::ImeMode, &C::SetImeMode).NoDefault().Stored(&C::IsImeModeStored);
    b.Prop("ImeName", &C::ImeName, &C::SetImeName).Type("TImeName").Stored(&C::IsImeNameStored);
    b.Prop("Increment", &C::Increment, &C::SetIncrement).Default(1.0L);
    b.Prop("KeyList", &C::KeyList, &C::SetKeyList).Stored(&C::IsKeyListStored);
    b.Prop("Layout", &C::Layout, &C::SetLayout).NoDefault().Stored(&C::IsLayoutStored);
    b.Prop("LookupDisplayFields", &C::LookupDisplayFields, &C::SetLookupDisplayFields)
        .Stored(&C::IsLookupDisplayFieldsStored);
    b.Prop("MaxWidth", &C::MaxWidth, &C::SetMaxWidth).Default(0);
    b.Prop("MinWidth", &C::MinWidth, &C::SetMinWidth).Default(0);
    b.Prop("MRUList", &C::MRUList, &C::SetMRUList);
    b.Prop("NotInKeyListIndex", &C::NotInKeyListIndex, &C::SetNotInKeyListIndex).Default(-1);
    b.Prop("PickList", &C::PickList, &C::SetPickList).Stored(&C::IsPickListStored);
    b.Prop("PopupMenu", &C::PopupMenuComponent, &C::SetPopupMenuComponent).Type("TPopupMenu");
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).NoDefault().Stored(&C::IsReadOnlyStored);
    b.Prop("ShowImageAndText", &C::ShowImageAndText, &C::SetShowImageAndText).Default(false);
    b.Prop("STFilter", &C::STFilter, &C::SetSTFilter);
    b.Prop("Tag", &C::Tag, &C::SetTag).Default(0);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
    b.Prop("Width", &C::Width, &C::SetWidth).NoDefault().Stored(&C::IsWidthStored);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).NoDefault().Stored(&C::IsWordWrapStored);
    b.Prop("OnCheckDrawRequiredState", &C::OnCheckDrawRequiredState, &C::OnCheckDrawRequiredState);
    b.Prop("OnEditButtonClick", &C::OnEditButtonClick, &C::OnEditButtonClick);
    b.Prop("OnEditButtonDown", &C::OnEditButtonDown, &C::OnEditButtonDown);
    b.Prop("OnGetCellParams", &C::OnGetCellParams, &C::SetOnGetCellParams);
    b.Prop("OnNotInList", &C::OnNotInList, &C::OnNotInList);
    b.Prop("OnUpdateData", &C::OnUpdateData, &C::OnUpdateData);
  }
public:
  explicit TDBGridColumnEh(TCollection* Collection) : TColumnEh(Collection) {}
};

class TDBGridColumnsEh : public TCollection {
  KELM_CLASS(TDBGridColumnsEh, TCollection)
public:
  TDBGridColumnsEh(TCustomDBGridEh* Grid, TClass ColumnClass);
  TColumnEh* Items(int Index) const { return static_cast<TColumnEh*>(TCollection::Items(Index)); }
  TColumnEh* operator[](int Index) const { return Items(Index); }
  TColumnEh* GetItem(int Index) const { return Items(Index); }
  TPersistent* GetOwner() const override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // A persistent column appended at the end.
  TColumnEh* AddColumn() { return static_cast<TColumnEh*>(TCollection::Add()); }
  // A column of the grid's own making (the layout pass only).
  TColumnEh* AddTransientColumn();
  // The grid keeps its own columns instead of generating them from the fields.
  bool IsCustomized() const;
  int UpdateLockCount() const { return UpdateCount(); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomDBGridEh* FGrid;
};

// ================================================================ column lists

// An ordered list of columns it does not own.
class TColumnsEhList : public TObjectList {
public:
  TColumnsEhList() : TObjectList(false) {}
  int Add(TColumnEh* Column) { return TObjectList::Add(Column); }
  void Insert(int Index, TColumnEh* Column) { TObjectList::Insert(Index, Column); }
  int Remove(TColumnEh* Column) { return TObjectList::Remove(Column); }
  int IndexOf(TColumnEh* Column) const { return TObjectList::IndexOf(Column); }
  TColumnEh* Items(int Index) const { return static_cast<TColumnEh*>(TObjectList::Items(Index)); }
  void SetItems(int Index, TColumnEh* Column) { TObjectList::SetItems(Index, Column); }
  TColumnEh* operator[](int Index) const { return Items(Index); }
};
