#pragma once
// The data grid's selection: whole rows, a rectangle of cells or whole columns
// (TDBGridEhSelection over TDBGridEhSelectionCols and TDBGridEhSelectionRect).
#include "grid/DBGridEhLink.h"

// ================================================================ selection objects

KELM_ENUM(TDBGridEhSelectionType, gstNon, gstRecordBookmarks, gstRectangle, gstColumns, gstAll)
using TDBGridEhAllowedSelections = TSet<TDBGridEhSelectionType>;

// A cell of a block selection: an index into the grid's Columns and a record's bookmark.
struct TDBCell {
  int Col = -1;
  String Row;
};

// The selected columns, kept in the order of the grid's Columns.
class TDBGridEhSelectionCols : public TColumnsEhList {
public:
  explicit TDBGridEhSelectionCols(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Clear() override;
  void AddInOrder(TColumnEh* Column);
  void SelectColumn(TColumnEh* Column, bool AddSel);
  void ToggleColumn(TColumnEh* Column);
  void ExtendToColumn(TColumnEh* Column);
  void DropVanishedColumns();
  // Forgets a column that is being freed.
  void ColumnGone(TColumnEh* Column);
  TGridRect BoundsInGrid() const;
  TColumnEh* AnchorColumn() const { return FAnchor; }
  TColumnEh* LastShiftColumn() const { return FShiftCol; }
  TColumnsEhList* ShiftAddedColumns() { return &FShiftAdded; }

private:
  int ColumnIndex(TColumnEh* Column) const;
  void InvalidateColumnArea(TColumnEh* Column);
  void WalkColumns(int From, int To, int Step, bool Add, int Cross);
  TCustomDBGridEh* FGrid;
  TColumnEh* FAnchor = nullptr;
  TColumnEh* FShiftCol = nullptr;
  TColumnsEhList FShiftAdded;
};

// A block of cells between two corners.
class TDBGridEhSelectionRect : public TObject {
public:
  explicit TDBGridEhSelectionRect(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  bool IsUsable() const;
  const TDBCell& AnchorCell() const { return FAnchor; }
  const TDBCell& ExtentCell() const { return FExtent; }
  String TopRowBookmark() const;
  String BottomRowBookmark() const;
  int LeftColumnIndex() const;
  int RightColumnIndex() const;
  bool ContainsDataCell(int ColIndex, const String& Bookmark) const;
  void Reset();
  void ExtendTo(int Col, const String& Bookmark, bool KeepAnchor);
  // The client pixels of the block as far as the grid shows it.
  TRect CellRangeBox(int Col1, int Col2, String Row1, String Row2);
  TGridRect BoundsInGrid();

private:
  void CheckUsable(const char* Message) const;
  TCustomDBGridEh* FGrid;
  TDBCell FAnchor, FExtent;
};

class TDBGridEhSelection : public TObject {
public:
  explicit TDBGridEhSelection(TCustomDBGridEh* AGrid);
  ~TDBGridEhSelection() override;
  TDBGridEhSelectionType SelectionKind() const { return FKind; }
  TDBGridEhSelectionCols* ColumnSet() const { return FColumns.get(); }
  TDBGridEhSelectionRect* CellRange() const { return FRect.get(); }
  TBookmarkListEh* RowBookmarks() const;
  bool ContainsDataCell(int ColIndex, const String& Bookmark) const;
  void Reset();
  void SelectWholeGrid();
  void ChangeKind(TDBGridEhSelectionType Kind);
  void SyncWithContent();
  void DataLinkSwitched(bool Active);
  TGridRect BoundsInGrid();
  virtual void NotifyChanged();

private:
  TCustomDBGridEh* FGrid;
  TDBGridEhSelectionType FKind = gstNon;
  std::unique_ptr<TDBGridEhSelectionCols> FColumns;
  std::unique_ptr<TDBGridEhSelectionRect> FRect;
};
