#pragma once
// The lookup drop-down grid: a data grid over a list dataset that keeps one key value, the
// key of the chosen record (TDBLookupGridEh), optionally written into the fields of a data
// dataset or taken over from a lookup field; with a special row above the records and
// incremental search in the list field. TPopupDataGridEh is the same grid as a borderless
// pop-up with a size grip: what a lookup column's in-cell editor drops down.
//
// The grid's own data source is the list source; DataSource and DataField name the data side.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhAux.h"

class TDBLookupGridEh;

// The link to the data dataset whose fields receive the chosen key.
class TLookupGridDataLinkEh : public TDataLink {
public:
  explicit TLookupGridDataLinkEh(TDBLookupGridEh* Grid) : FGrid(Grid) {}

protected:
  void ActiveChanged() override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void FocusControl(TField** Field) override;

private:
  TDBLookupGridEh* FGrid;
};

class TDBLookupGridColumnEh;

// A lookup column's cell in the special row: its own text, colour and font once written,
// else the grid's special row's.
class TGridColumnSpecCellEh : public TPersistent {
  KELM_CLASS(TGridColumnSpecCellEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TGridColumnSpecCellEh;
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::ColorAssigned);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::FontAssigned);
    b.Prop("Text", &C::Text, &C::SetText).Stored(&C::TextAssigned);
  }
public:
  explicit TGridColumnSpecCellEh(TDBLookupGridColumnEh* Column = nullptr);
  ~TGridColumnSpecCellEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  String Text() const;
  void SetText(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool TextAssigned() const { return FTextAssigned; }
  bool ColorAssigned() const { return FColorAssigned; }
  bool FontAssigned() const { return FFontAssigned; }

private:
  void FontChanged(TObject*);
  TSpecRowEh* GridSpecRow() const;
  TDBLookupGridColumnEh* FColumn;
  String FText;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FFont;
  bool FTextAssigned = false, FColorAssigned = false, FFontAssigned = false, FSettingFont = false;
};

// A column of a lookup grid, with its special-row cell.
class TDBLookupGridColumnEh : public TColumnEh {
  KELM_CLASS(TDBLookupGridColumnEh, TColumnEh)
  template <class B> static void Published(B& b);
public:
  explicit TDBLookupGridColumnEh(TCollection* Collection);
  ~TDBLookupGridColumnEh() override;
  void Assign(TPersistent* Source) override;
  TGridColumnSpecCellEh* SpecCell() const { return FSpecCell.get(); }
  void SetSpecCell(TGridColumnSpecCellEh* Value) { FSpecCell->Assign(Value); }
  TDBLookupGridEh* LookupGrid() const;

private:
  std::unique_ptr<TGridColumnSpecCellEh> FSpecCell;
};

// The column defaults of a lookup grid.
class TDBLookupGridColumnDefValuesEh : public TColumnDefValuesEh {
  KELM_CLASS(TDBLookupGridColumnDefValuesEh, TColumnDefValuesEh)
  template <class B> static void Published(B& b) {
    using C = TDBLookupGridColumnDefValuesEh;
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).Default(false);
  }
public:
  explicit TDBLookupGridColumnDefValuesEh(TCustomDBGridEh* AGrid) : TColumnDefValuesEh(AGrid) {}
};

KELM_EVENT(TListCloseUpEventEh, void(TObject* Sender, bool Accept));

class TDBLookupGridEh : public TCustomDBGridEh {
  KELM_CLASS(TDBLookupGridEh, TCustomDBGridEh)
  template <class B> static void Published(B& b);
public:
  explicit TDBLookupGridEh(TComponent* AOwner);
  ~TDBLookupGridEh() override;
  void Loaded() override;

  // ---- the list side
  TDataSource* ListSource() const { return TCustomDBGridEh::DataSource(); }
  void SetListSource(TDataSource* Value);
  TDataSet* ListDataSet() const { return TCustomDBGridEh::DataSet(); }
  const String& KeyField() const { return FKeyFieldName; }
  void SetKeyField(const String& Value);
  const String& ListField() const { return FListFieldName; }
  void SetListField(const String& Value);
  int ListFieldPosition() const { return FListFieldIndex; }
  void SetListFieldPosition(int Value);
  TField* ListFieldObject() const { return FListField; }
  const std::vector<TField*>& ListFields() const { return FListFields; }
  const std::vector<TField*>& KeyFields() const { return FKeyFields; }
  bool ListActive() const { return FListActive; }

  // ---- the data side
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  const String& DataField() const { return FDataFieldName; }
  void SetDataField(const String& Value);
  const String& MasterFieldNames() const { return FMasterFieldNames; }
  bool LookupMode() const { return FLookupMode; }
  TLookupGridDataLinkEh* DataSideLink() const { return FDataLink.get(); }

  // ---- the key
  const Variant& ChosenKey() const { return FChosenKey; }
  void SetChosenKey(const Variant& Value);
  const String& ChosenText() const { return FChosenText; }
  const String& TypedPrefix() const { return FTypedPrefix; }
  bool KeyRowVisible() const { return FKeySelected; }
  bool SpecRowSelected() const { return FSpecRowSelected; }

  // ---- settings
  TSpecRowEh* SpecRow() const { return FSpecRow.get(); }
  void SetSpecRow(TSpecRowEh* Value) { FSpecRow->Assign(Value); }
  int ListRows() const { return FListRows; }
  void SetListRows(int Value);
  bool TitlesShown() const { return Options().Contains(dgTitles); }
  void SetTitlesShown(bool Value);
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TDBLookupGridEhOptions LookupOptions() const;
  void SetLookupOptions(TDBLookupGridEhOptions Value);
  bool AutoFitListColWidths() const { return FAutoFitList; }
  void SetAutoFitListColWidths(bool Value);
  void SetUseMultiTitleEh(bool Value);
  // The width the visible columns take (initial widths under auto-fit), with their lines.
  int ColumnsTotalWidth() const;
  // Fired after a column move (the in-cell editor remembers it).
  TNotifyEvent OnColumnMovedEh;

  // ---- operations
  virtual bool ListChangeAllowed() const;
  virtual bool KeyShapeMatches(const Variant& Value) const;
  virtual int FrameHeight() const;
  virtual int ExtraRowHeight() const;
  virtual int ListRowHeight() const;
  virtual void AfterKeyChange();
  virtual void RefreshListWindow();
  // Incremental search of a typed character (Backspace and Esc clear the search).
  virtual void IncrementalSearchKey(Char Key);
  virtual void ChooseKey(const Variant& Value);
  virtual void RefitColumns();
  virtual void DataSideActivated();
  virtual void ResolveListFields();
  virtual bool FindKeyRecord();
  void DataSideRecordChanged(TField* Field);
  // The key of the current list record.
  Variant CurrentListKey() const;
  // The special row's grid row, -1 while it is hidden.
  int SpecRowGridRow() const { return FSpecRow->Visible() ? TitleRowCount() : -1; }
  // Chooses the current list record (its key), or the special row.
  void SelectCurrent();
  void SelectSpecRow();
  // The 2000 ms pause that starts a new search is one for all lookup grids.
  static DWORD& LastSearchTick();

  int FilterRowCount() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  bool CanDrawRowFocus() const override;
  bool IsDataCellHighlighted(int DataCol, int DataRow, TFont* AFont, TColor& Background,
                             TGridDrawState& State) override;
  void CollectDataSetFields(std::vector<TField*>& List) const override;
  void Dispatch(TMessage& Message) override;

protected:
  friend class TLookupGridDataLinkEh;
  TDBGridColumnsEh* CreateColumns() override;
  TColumnDefValuesEh* CreateColumnDefValues() override;
  void CreateWnd() override;
  void LinkActiveChanged(bool Active) override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;
  void BuildFieldMap() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void TimerScroll() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The user's key or mouse moved the choice (the pop-up reports it).
  virtual void UserChoiceMade() {}
  bool MouseSelecting() const { return FMouseSelecting; }
  // Moves the list by Distance records from the key row and chooses where it lands.
  void MoveChoice(int Distance);
  void SetHeightForRows();

private:
  void SpecRowChanged(TObject*);
  void CheckNotCircular();
  void SelectAtPoint(int Y);
  bool PointOnSpecRow(int Y) const;
  std::unique_ptr<TLookupGridDataLinkEh> FDataLink;
  std::unique_ptr<TDataSource> FInternalSource;
  std::unique_ptr<TSpecRowEh> FSpecRow;
  String FKeyFieldName, FListFieldName, FDataFieldName, FMasterFieldNames;
  int FListFieldIndex = 0;
  std::vector<TField*> FKeyFields, FListFields, FDataFields, FMasterFields;
  TField* FListField = nullptr;
  bool FListActive = false;
  bool FLookupMode = false;
  Variant FChosenKey = Null();
  String FChosenText;
  String FTypedPrefix;
  bool FKeySelected = false;
  bool FSpecRowSelected = false;
  bool FLockPosition = false;
  int FListRows = 7;
  bool FAutoFitList = false;
  bool FSettingHeight = false;
  bool FMouseSelecting = false;
  int FMouseOutside = 0;  // pixels above (-) or below (+) the list while selecting
};

// The lookup grid as a drop-down: never activated, a size grip, hot tracking, and the two
// events its owner listens to.
class TPopupDataGridEh : public TDBLookupGridEh {
  KELM_CLASS(TPopupDataGridEh, TDBLookupGridEh)
public:
  explicit TPopupDataGridEh(TComponent* AOwner);
  TSizeGripEh* SizeGrip() const { return FSizeGrip; }
  bool WasResized() const { return FWasResized; }
  void SetWasResized(bool Value) { FWasResized = Value; }
  bool CanFocus() const override { return false; }
  void Dispatch(TMessage& Message) override;

  // The user's key or mouse moved the choice.
  TNotifyEvent OnUserKeyChoice;
  TListCloseUpEventEh OnListCloseUp;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Resize() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void UserChoiceMade() override;

private:
  TSizeGripEh* FSizeGrip = nullptr;
  bool FWasResized = false;
  bool FPressedOnData = false;
};
