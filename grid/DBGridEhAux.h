#pragma once
// The grid's small settings objects and its unit-wide services: a column's drop-down box and
// simple-text filter, the data service through which grids sort, filter and move records
// when the program leaves it to them, the property interceptors that read a stored column
// layout back, and the cursors, keys and switches every grid shares.
#include "grid/DBGridEh.h"
#include "grid/GridUtilsEh.h"

#include <memory>

class TDatasetFieldValueListEh;

// ================================================================ filter expressions

// The operators of a simple-text filter condition; the ordinals are fixed.
enum TSTFilterOperatorEh {
  foNon = 0, foEqual, foNotEqual, foGreaterThan, foLessThan, foGreaterOrEqual, foLessOrEqual, foLike, foNotLike,
  foIn, foNotIn, foNull, foNotNull, foAND, foOR, foValue
};
// What a condition compares: 0 other, 1 text, 2 number, 3 date and time, 4 boolean.
enum TSTFilterExpressionTypeEh { fetOther = 0, fetText, fetNumber, fetDateTime, fetBoolean };

// One or two conditions joined by AND or OR.
struct TSTFilterExpressionEh {
  TSTFilterExpressionTypeEh ExpressionType = fetOther;
  TSTFilterOperatorEh Operator1 = foNon;
  Variant Operand1 = Null();
  TSTFilterOperatorEh Relation = foNon;  // foNon, foAND or foOR
  TSTFilterOperatorEh Operator2 = foNon;
  Variant Operand2 = Null();
  void Clear() { *this = TSTFilterExpressionEh(); }
};

// The operator texts the filter row writes a condition back with.
String STFilterOperatorText(TSTFilterOperatorEh Operator);
// The expression type a field of that type is compared as.
TSTFilterExpressionTypeEh STFilterExpressionTypeOf(TFieldType Type);

// ================================================================ dataset features

// What a kind of dataset can do for the grid's default sorting, filtering and record moving.
class TDatasetFeaturesEh : public TObject {
public:
  virtual void ApplySorting(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen) {}
  virtual void ApplyFilter(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen) {}
  virtual bool MoveRecords(TCustomDBGridEh* Grid, TBookmarkListEh* BookmarkList, int& ToRecNo, int& TreeLevel,
                           bool CheckOnly) {
    return false;
  }
};

// Registers Features (owned from then on, freed at unit end) for a dataset class and its
// descendants; a second registration of a class name raises EStringListError (and frees the
// features offered).
void RegisterDatasetFeaturesEh(TClass DataSetClass, TDatasetFeaturesEh* Features);
void UnregisterDatasetFeaturesEh(TClass DataSetClass);
// The parent steps from a class up to the class named AncestorName (without regard to case);
// INT_MAX when it is no ancestor.
int DatasetClassDistanceEh(TClass DataSetClass, const String& AncestorName);
// The features registered for the class or its nearest ancestor (the first registered on a
// tie); nullptr for none.
TDatasetFeaturesEh* DatasetFeaturesForClass(TClass DataSetClass);
TDatasetFeaturesEh* DatasetFeaturesFor(TDataSet* DataSet);

// ================================================================ the data service

KELM_EVENT(TDBGridEhDataServiceRequestEvent, void(TCustomDBGridEh* Grid));

// The one dispatcher grids sort, filter and move records through when the program does not.
class TDBGridEhDataService : public TPersistent {
  KELM_CLASS(TDBGridEhDataService, TPersistent)
public:
  TDBGridEhDataServiceRequestEvent OnFilterRequest;
  TDBGridEhDataServiceRequestEvent OnSortingRequest;

  virtual bool RequestMoveRecords(TCustomDBGridEh* Grid, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                  int& TreeLevel, bool CheckOnly);
  virtual bool DefaultMoveRecords(TCustomDBGridEh* Grid, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                  int& TreeLevel, bool CheckOnly);
  virtual void RequestFilter(TCustomDBGridEh* Grid);
  virtual void RequestSorting(TCustomDBGridEh* Grid);
  virtual void DefaultFilter(TCustomDBGridEh* Grid);
  virtual void DefaultSorting(TCustomDBGridEh* Grid);
};

// The service of every grid, made once and freed at unit end.
TDBGridEhDataService* GridDataService();

// ================================================================ a column's drop-down box


// The settings of the lookup grid that drops down under a column's editor. Its columns, their
// defaults and options belong to that grid, which the column makes; until it exists they
// read as none and an empty set.
class TColumnDropDownBoxEh : public TPersistent {
  KELM_CLASS(TColumnDropDownBoxEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TColumnDropDownBoxEh;
    b.Prop("AutoFitColWidths", &C::AutoFitColWidths, &C::SetAutoFitColWidths).Default(true);
    // Kept by the lookup grid the column makes: nothing of them is stored before it exists.
    b.Prop("ColumnDefValues", &C::ColumnDefValues, &C::SetColumnDefValues).Stored(&C::ColumnsStored);
    b.Prop("Columns", &C::Columns, &C::SetColumns).Stored(&C::ColumnsStored);
    b.Prop("ListSource", &C::ListSource, &C::SetListSource);
    b.Prop("Options", &C::Options, &C::SetOptions).Default(TDBLookupGridEhOptions{dlgColLinesEh});
    b.Prop("UseMultiTitle", &C::UseMultiTitle, &C::SetUseMultiTitle).Default(false);
  }
public:
  explicit TColumnDropDownBoxEh(TColumnEh* AColumn);
  ~TColumnDropDownBoxEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  bool AutoFitColWidths() const { return FAutoFitColWidths; }
  void SetAutoFitColWidths(bool Value) { FAutoFitColWidths = Value; }
  // The drop-down grid's (made when first asked for); none without a column.
  TColumnDefValuesEh* ColumnDefValues() const;
  void SetColumnDefValues(TColumnDefValuesEh* Value);
  TDBGridColumnsEh* Columns() const;
  void SetColumns(TDBGridColumnsEh* Value);
  // Only a drop-down grid that exists with columns of its own stores them.
  bool ColumnsStored() const;
  TDataSource* ListSource() const { return FListSource; }
  void SetListSource(TDataSource* Value);
  TDBLookupGridEhOptions Options() const;
  void SetOptions(TDBLookupGridEhOptions Value);
  bool UseMultiTitle() const { return FUseMultiTitle; }
  void SetUseMultiTitle(bool Value) { FUseMultiTitle = Value; }

  // ---- plain settings
  TDropDownAlign Align() const { return FAlign; }
  void SetAlign(TDropDownAlign Value) { FAlign = Value; }
  bool AutoDrop() const { return FAutoDrop; }
  void SetAutoDrop(bool Value) { FAutoDrop = Value; }
  int Rows() const { return FRows; }
  void SetRows(int Value) { FRows = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  bool Sizable() const { return FSizable; }
  void SetSizable(bool Value) { FSizable = Value; }
  bool ShowTitles() const { return FShowTitles; }
  void SetShowTitles(bool Value) { FShowTitles = Value; }
  TSpecRowEh* SpecRow() const { return FSpecRow.get(); }
  // The list source is being freed.
  void ListSourceGone() { FListSource = nullptr; }

private:
  TColumnEh* FColumn;
  std::unique_ptr<TSpecRowEh> FSpecRow;
  bool FAutoFitColWidths = true;
  TDropDownAlign FAlign = daLeft;
  bool FAutoDrop = false;
  int FRows = 7;
  int FWidth = 0;
  bool FSizable = false;
  bool FShowTitles = false;
  bool FUseMultiTitle = false;
  TDataSource* FListSource = nullptr;
};

// ================================================================ a column's filter

// The condition typed into a column's cell of the filter row. Over a lookup column the typed
// text is looked up in the list and the condition holds the keys found.
class TSTColumnFilterEh : public TPersistent {
  KELM_CLASS(TSTColumnFilterEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TSTColumnFilterEh;
    b.Prop("DataField", &C::DataField, &C::SetDataField);
    b.Prop("KeyField", &C::KeyField, &C::SetKeyField);
    b.Prop("ListField", &C::ListField, &C::SetListField);
    b.Prop("ListSource", &C::ListSource, &C::SetListSource);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
  }
public:
  explicit TSTColumnFilterEh(TColumnEh* AColumn);
  ~TSTColumnFilterEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  const String& DataField() const { return FDataField; }
  void SetDataField(const String& Value) { FDataField = Value; }
  const String& KeyField() const { return FKeyField; }
  void SetKeyField(const String& Value) { FKeyField = Value; }
  const String& ListField() const { return FListField; }
  void SetListField(const String& Value) { FListField = Value; }
  TDataSource* ListSource() const;
  void SetListSource(TDataSource* Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // ---- the condition
  const TSTFilterExpressionEh& Expression() const { return FExpression; }
  const String& TypedText() const { return FTypedText; }
  const Variant& KeyValues() const { return FKeyValues; }
  void ResetFilter();
  // Applies typed text; repaints the column's filter cell.
  void SetExpressionText(const String& Text);
  // The condition written back as text; the typed text while no parser gave a condition.
  virtual String ExpressionText() const;
  virtual bool ShowsDropDownButton() const;
  virtual String TargetFieldName() const;
  virtual Variant FirstOperand() const;
  virtual Variant SecondOperand() const;
  String KeyFieldName() const;
  String ListFieldName() const;
  TDataSet* ListDataSet() const;
  // The distinct values of the list field, for the filter row's drop-down; none without an
  // open list or an active grid.
  std::shared_ptr<TDatasetFieldValueListEh> ValueList();
  // The width and rows of the filter row's drop-down, 0 until it stores them.
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = Value; }

private:
  void ApplyText(const String& Text);
  void ParseInto(const String& Text, TSTFilterExpressionEh& Expression) const;
  TField* LookupField() const;
  bool GridLinkActive() const;

  TColumnEh* FColumn;
  TSTFilterExpressionEh FExpression;
  String FTypedText;
  std::unique_ptr<TFieldDataLink> FListLink;
  Variant FKeyValues = Null();
  String FDataField, FKeyField, FListField;
  bool FVisible = true;
  int FDropDownWidth = 0, FDropDownRows = 0;
  std::shared_ptr<TDatasetFieldValueListEh> FValueList;
};

// ================================================================ property interceptors

// Reads a stored column width back: under auto-fit it becomes the width auto-fit starts from.
class TColumnEhPropertyInterceptor : public TStoragePropertyInterceptor {
  KELM_CLASS(TColumnEhPropertyInterceptor, TStoragePropertyInterceptor)
  template <class B> static void Published(B& b) {
    b.Prop("Width", &TColumnEhPropertyInterceptor::Width, &TColumnEhPropertyInterceptor::SetWidth).Stored(false);
  }
public:
  explicit TColumnEhPropertyInterceptor(TPersistent* ATarget) : TStoragePropertyInterceptor(ATarget) {}
  TColumnEh* Column() const { return dynamic_cast<TColumnEh*>(Target()); }
  // Written only; reading gives the column's width as it stands.
  int Width() const;
  void SetWidth(int Value);
};

// Reads a stored column order back: the field names in order, each quoted, comma-separated.
class TColumnsEhPropertyInterceptor : public TStoragePropertyInterceptor {
  KELM_CLASS(TColumnsEhPropertyInterceptor, TStoragePropertyInterceptor)
  template <class B> static void Published(B& b) {
    b.Prop("ColumnsIndex", &TColumnsEhPropertyInterceptor::ColumnsIndex,
           &TColumnsEhPropertyInterceptor::SetColumnsIndex);
  }
public:
  explicit TColumnsEhPropertyInterceptor(TPersistent* ATarget) : TStoragePropertyInterceptor(ATarget) {}
  TDBGridColumnsEh* Columns() const { return dynamic_cast<TDBGridColumnsEh*>(Target()); }
  String ColumnsIndex() const;
  // Each named column moves to its name's place; unknown names (case counts) are skipped.
  void SetColumnsIndex(const String& Value);
  void Readed() override {}
};

// ================================================================ shared by every grid

// The keys and the time-out of every grid.
constexpr TShortCut kIncSearchShortCutEh = scCtrl | 'F';
constexpr TShortCut kFindDialogShortCutEh = scCtrl | 'F';
constexpr TShortCut kSearchNextShortCutEh = scCtrl | VK_RETURN;
constexpr TShortCut kSearchPriorShortCutEh = scCtrl | scShift | VK_RETURN;
constexpr TShortCut kCopyFromAboveShortCutEh = scCtrl | 222;  // Ctrl+' (the quote key)
constexpr int kIncSearchTimeOutEh = 1500;
// The switch that would keep grids from painting through an off-screen bitmap; off here.
inline bool DirectPaintEh = false;

// The column-select, row-select and mirrored row-select cursors, registered at the first free
// ids when the first grid is made: "Cannot load cursor resource" when one is missing.
TCursor GridColumnSelectCursor();
TCursor GridRowSelectCursor();
TCursor GridRowSelectCursorRtl();
// Registers the three cursors and the interceptors (once); grids call it when they are made.
void InitDBGridEhUnit();
