#pragma once
// The data grid's engine (TCustomDBGridEh): a grid over a data link that shows a dataset's
// records as rows and its fields as columns, with multi-level titles, footers, selection,
// in-place editors and a filter row; and the scope objects that hold its layout lock and read
// a row's record. Its private state is in DBGridEhImpl.h, for the grid's own files.
#include "grid/DBGridEhSettings.h"
#include "grid/InplaceEditHolderEh.h"

class TInplaceFilterEditEh;

// ================================================================ grid options and events

KELM_ENUM(TDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
          dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect)
using TDBGridOptions = TSet<TDBGridOption>;
KELM_ENUM(TDBGridEhEditAction, geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh)
using TDBGridEhEditActions = TSet<TDBGridEhEditAction>;

KELM_EVENT(TDBGridEhClickEvent, void(TColumnEh* Column));
KELM_EVENT(TDrawDataCellEvent, void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State));
KELM_EVENT(TDrawFooterCellEvent, void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, const TRect& Rect,
                                      TGridDrawState State));
KELM_EVENT(TGetBtnEhParamsEvent, void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background,
                                      TSortMarkerEh& SortMarker, bool IsDown));
KELM_EVENT(TGridMoveRecordsEventEh, bool(TObject* Sender, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                         int& TreeLevel, bool CheckOnly));

// ================================================================ the grid

// The data grid engine on the platform's scrolling grid: data source and link, columns and
// their defaults, options, selection, the edit hooks the base grid calls with the write-back
// into the record, layout locks and the deferred layout pass, loading and removal handling.
// Painting, the layout pass proper, keyboard and mouse behaviour come with their own parts.
class TCustomDBGridEh : public TCustomGrid, public IInplaceEditHolderEh {
  KELM_CLASS(TCustomDBGridEh, TCustomGrid)
public:
  explicit TCustomDBGridEh(TComponent* AOwner);
  ~TCustomDBGridEh() override;
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;

  // ---- data
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return DataSource() ? DataSource()->DataSet() : nullptr; }
  TGridDataLinkEh* DataLink() const { return FDataLink.get(); }
  TDBGridColumnsEh* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumnsEh* Value);
  TColumnDefValuesEh* ColumnDefValues() const;
  void SetColumnDefValues(TColumnDefValuesEh* Value);
  TDBGridEhSumList* SumList() const { return FSumList.get(); }
  void SetSumList(TDBGridEhSumList* Value);
  // The sort-marked columns in sort order: entry k has SortIndex k + 1.
  TColumnsEhList* SortMarkedColumns() const { return FSortMarkedColumns.get(); }
  // Rebuilds the sort-marked list from the titles' sort indices.
  void RebuildSortMarkedColumns();
  TColumnsEhList* VisibleColumns() const { return FVisibleColumns.get(); }
  TBookmarkListEh* SelectedRows() const { return FBookmarks.get(); }
  TDBGridEhSelection* Selection() const { return FSelection.get(); }
  // The dataset's memory-table interface, nullptr without one; asked of the current dataset
  // each time, so a dataset switched behind the link is never answered for.
  IMemTableEh* MemTableSupport() const;

  // ---- the record-position view (DBGridEhTree.cpp): with a dataset offering IMemTableEh
  // and no footer rows the grid has one row per record of the whole dataset and scrolls its
  // view without moving the current record; with the dataset's tree view active it draws
  // the tree in the first visible column.
  bool ViewMode() const;
  bool TreeMode() const;
  // Every per-row read goes through this pair: the record of a data row is the one fields
  // read until the matching end.
  void ReadRowRecordBegin(int DataRow);
  void ReadRowRecordEnd();
  bool RowShowsCurrentRecord(int DataRow) const;
  // The data row of the current record, and how many data rows have records.
  int CurrentDataRow() const;
  int RowRecordCount() const;
  // Sets the top row, kept within the fixed rows, the last row and the last full page.
  void ClampedSetTopRow(int ARow);
  // The pixels of one tree level.
  static constexpr int TreeLevelWidth = 18;
  // Draws the indent of a first-column cell of a tree and returns its width (0 outside trees).
  int PaintTreeIndent(TColumnEh* Column, int DataRow, const TRect& Rect, TGridDrawState State);
  // A press in a node's indent: its box opens or closes the node, elsewhere in the indent the
  // record becomes current. True when the point lies in an indent.
  bool TreeNodeMouseDown(int X, int Y, bool TestOnly);

  // ---- published settings
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  TDBGridEhOptions OptionsEh() const { return FOptionsEh; }
  void SetOptionsEh(TDBGridEhOptions Value);
  TDBGridEhAllowedOperations AllowedOperations() const;
  void SetAllowedOperations(TDBGridEhAllowedOperations Value);
  TDBGridEhAllowedSelections AllowedSelections() const;
  void SetAllowedSelections(TDBGridEhAllowedSelections Value);
  bool AutoFitColWidths() const;
  void SetAutoFitColWidths(bool Value);
  // The base grid's; a change lays the grid out again.
  void SetDefaultColWidth(int Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  bool DrawMemoText() const;
  void SetDrawMemoText(bool Value);
  TDBGridEhEditActions EditActions() const;
  void SetEditActions(TDBGridEhEditActions Value);
  // The grid Color until assigned.
  TColor EvenRowColor() const;
  void SetEvenRowColor(TColor Value);
  TColor OddRowColor() const;
  void SetOddRowColor(TColor Value);
  bool EvenRowColorAssigned() const;
  bool OddRowColorAssigned() const;
  bool Flat() const;
  void SetFlat(bool Value);
  TColor FooterColor() const;
  void SetFooterColor(TColor Value);
  TFont* FooterFont() const;
  void SetFooterFont(TFont* Value);
  int FooterRowCount() const { return FFooterRowCount; }
  void SetFooterRowCount(int Value);
  int FrozenCols() const;
  void SetFrozenCols(int Value);
  TDBGridEhScrollBar* HorzScrollBar() const;
  void SetHorzScrollBar(TDBGridEhScrollBar* Value);
  TDBGridEhScrollBar* VertScrollBar() const;
  void SetVertScrollBar(TDBGridEhScrollBar* Value);
  int MinAutoFitWidth() const;
  void SetMinAutoFitWidth(int Value);
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  int RowHeight() const;
  void SetRowHeight(int Value);
  int RowLines() const;
  void SetRowLines(int Value);
  bool RowSizingAllowed() const;
  void SetRowSizingAllowed(bool Value);
  bool SortLocal() const;
  void SetSortLocal(bool Value);
  TSTDBGridEhFilter* STFilter() const { return FSTFilter.get(); }
  void SetSTFilter(TSTDBGridEhFilter* Value);
  TFont* TitleFont() const;
  void SetTitleFont(TFont* Value);
  int TitleHeight() const;
  void SetTitleHeight(int Value);
  TCustomImageList* TitleImages() const;
  void SetTitleImages(TCustomImageList* Value);
  int TitleLines() const;
  void SetTitleLines(int Value);
  bool UseMultiTitle() const;
  void SetUseMultiTitle(bool Value);
  int VTitleMargin() const;
  void SetVTitleMargin(int Value);
  // The font sort indices are written in (and measured with).
  static TFont* SortIndexFont();

  // ---- events
  TNotifyEvent OnApplyFilter;
  TDBGridEhClickEvent OnCellClick;
  TCheckTitleEhBtnEvent OnCheckButton;
  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TNotifyEvent OnColWidthsChanged;
  TDrawColumnEhCellEvent OnDrawColumnCell;
  TDrawDataCellEvent OnDrawDataCell;
  TDrawFooterCellEvent OnDrawFooterCell;
  TNotifyEvent OnEditButtonClick;
  TGetBtnEhParamsEvent OnGetBtnParams;
  TGetCellEhParamsEvent OnGetCellParams;
  TGetFooterParamsEvent OnGetFooterParams;
  TGridMoveRecordsEventEh OnMoveRecords;
  TNotifyEvent OnSelectionChanged;
  TNotifyEvent OnSortMarkingChanged;
  TNotifyEvent OnSumListRecalcAll;
  TNotifyEvent OnSumListAfterRecalcAll;
  TTitleEhClickEvent OnTitleBtnClick;
  TDBGridEhClickEvent OnTitleClick;

  // ---- coordinates
  int IndicatorOffset() const { return FOptions.Contains(dgIndicator) ? 1 : 0; }
  virtual int TitleRowCount() const { return FOptions.Contains(dgTitles) ? 1 : 0; }
  virtual int FilterRowCount() const { return FSTFilter->Visible() ? 1 : 0; }
  int TopDataOffset() const { return TitleRowCount() + FilterRowCount(); }
  int DataToRawColumn(int DataCol) const { return DataCol + IndicatorOffset(); }
  int RawToDataColumn(int RawCol) const { return RawCol - IndicatorOffset(); }
  // The column at the current grid column; nullptr on the indicator or without columns.
  TColumnEh* CurrentColumn() const;
  int SelectedIndex() const { return RawToDataColumn(Col()); }
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  // Makes the columns showing Field current in turn.
  void SelectField(TField* Field);

  // ---- footers
  // The text of footer row Row of a column.
  virtual String GetFooterText(int Row, TColumnEh* Column);
  void FireGetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                           TAlignment& Alignment, TGridDrawState State, String& Text);
  virtual void InvalidateFooterRows();

  // ---- editing
  // Whether the grid lets the current record be edited: link active, updates allowed (or an
  // insert going on), and inserting allowed when the dataset is empty.
  bool OperationsAllowEdit() const;
  // The in-cell editor, as the column model sees it.
  virtual bool InplaceEditorVisible() const;
  virtual String InplaceEditorText() const;
  // The text last put into or read from the editor, and the value behind it.
  const String& EditText() const;
  const Variant& EditValue() const;
  // Writes the edit text into the record by column kind (the data link's update request).
  virtual void UpdateData();
  // The editor's read-only state set from outside: unset, read-only or writable.
  enum TEditorReadOnly { erNotSet, erReadOnly, erWritable };
  void SetEditorReadOnly(TEditorReadOnly Value);
  bool IncSearchActive() const;
  const String& IncSearchText() const;

  // ---- keys, mouse and search (DBGridEhKeys.cpp, DBGridEhMouse.cpp)
  // Appends Text to the search and looks for a record whose current-column text starts with
  // it: Direction 0 from the current record (then the first), 1 forward, 2 backward. A
  // TimeOut of 0 or more (ms) ends the search after that long without keys.
  void IncSearch(const String& Text, int TimeOut, int Direction);
  void StopIncSearch();
  // Moves the dataset by Distance records (to the end in its direction with ToTheEnd),
  // extending the row or rectangle selection when asked.
  void MoveByRows(bool Extend, int Distance, bool RowMode, bool ToTheEnd);
  // Makes data column DataCol current; Direction (-1, 1) skips zero-width columns that way.
  void MoveToDataColumn(int DataCol, int Direction, bool Extend);
  bool SelectionKindAllowed(TDBGridEhSelectionType Kind) const;
  // Reports a change of the sort markers: OnSortMarkingChanged, else the default sorting.
  void SortMarkingChanged();
  virtual void ApplySortingDefault();
  // Puts the current column's value of the record above into the current record.
  void CopyFromRecordAbove();
  // Opens the find dialog for a grid (set by the find dialog's unit; none: nothing opens).
  // Text is what the dialog starts with (the editor's selected text, else empty).
  static inline void (*OpenFindDialogHook)(TCustomDBGridEh* Grid, bool Modal, const String& Text) = nullptr;
  // The data column whose title is held down by the mouse, -1 for none.
  int PressedTitleColumn() const;
  // The title of DataCol is held down with the mouse over it (drawn pressed).
  bool TitlePressed(int DataCol) const;

  // ---- virtual operations
  virtual bool AcquireFocus();
  virtual bool HasInputFocus() const;
  virtual bool ShouldShowEditor() const;
  virtual bool FindDialogModal() const { return true; }
  virtual void OpenEditor();
  virtual void SyncCurrentRow();
  virtual void RefreshLayout();
  virtual void BuildFieldMap();
  virtual void UpdateTabStops();
  // Row count from the record buffer, filler and footer rows; the vertical bar from the
  // dataset's record numbers.
  virtual void RecalcRowCount();
  virtual void RefreshVertScrollBar();
  void UpdateExtHorzScrollBar();

  // ---- layout
  // Runs the layout pass now, or when the outermost layout lock ends.
  virtual void RebuildLayout();
  void BeginLayout();
  // Ending the outermost lock runs the pass, unless told not to (the caller defers it).
  void EndLayout(bool RunPass = true);
  int LayoutLockCount() const;
  int InternalUpdateCount() const;
  // Queues one deferred layout pass (WM_DEFERREDLAYOUT) unless one is queued already.
  void DeferLayout();
  // True while the data link is reporting a layout change of the dataset.
  bool InDataLinkLayoutChange() const;
  // Fits the listed columns' widths to their content.
  virtual void OptimizeColumnWidths(TColumnsEhList* ColumnsList);
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  // Scales fonts and column widths by M/D (column widths by running sums, so the total keeps).
  void ChangeScale(int M, int D) override;
  // Edit-button size taken at window creation.
  int EditButtonWidth() const;
  int EditButtonHeight() const;

  // ---- geometry
  // One axis's pixels: lines, the fixed (and frozen) cells, what is fully visible, footers.
  struct TAxisDrawInfoEh {
    int LineWidth = 0;
    int FirstGridCell = 0;     // the first scrolling cell shown
    int FixedBoundary = 0;     // pixels of the fixed cells with their lines
    int FixedCellCount = 0;
    int FooterExtent = 0;      // vertical axis: the footer rows' pixels
    int FrozenExtent = 0;      // horizontal axis: the frozen columns' pixels
    int FullVisBoundary = 0;   // after the last fully visible cell
    int GridBoundary = 0;      // where the drawn cells end
    int GridCellCount = 0;
    int GridExtent = 0;        // the client width or height
    int LastFullVisibleCell = 0;
  };
  struct TGridAxesInfoEh {
    TAxisDrawInfoEh Horz, Vert;
  };
  void ComputeDrawInfo(TGridAxesInfoEh& Info) const;
  void ComputeDrawInfo(TGridAxesInfoEh& Info, int Width, int Height) const;
  // (areas of GetCellType: the low byte the column area, the high byte the row's)
  enum TColAreaEh { caIndicator = 0, caData = 1 };
  enum TRowAreaEh { raTitle = 0, raFilter = 1, raData = 2, raFiller = 3, raFooter = 4 };
  static int CellArea(int ColArea, int RowArea) { return ColArea | (RowArea << 8); }
  // The area of a grid cell; DataCol and DataRow receive its data coordinates.
  int GetCellType(int ACol, int ARow, int& DataCol, int& DataRow) const;
  // The data cells in grid coordinates.
  TGridRect DataCellBox() const;
  int DataRowCount() const;
  int VisibleDataRowCount() const;
  bool CellDrawn3D(int ACol, int ARow, TGridDrawState State) const;
  // Makes a column current, a frozen one too.
  void MoveToColumn(int ACol);
  void InvalidateCellRange(const TGridRect& Range);
  // Pixels of the frozen columns alone.
  int FrozenExtent() const;
  // The title tree (UseMultiTitle) and the leaf of each column after the layout pass.
  THeadTreeNode* HeadTree() const;
  THeadTreeNode* LeafOf(int DataCol) const;
  // Rows are tall enough for word-wrapped text.
  bool WordWrapPossible() const;
  // Pixels a title or row adds to a text height: 2 in a flat grid, else 4.
  int TextMargin() const;
  bool LayingOut() const;
  // The record count behind the vertical bar, or -1 without record numbers.
  int ScrollBarRecordCount() const;
  // Adds every field of the dataset, in field order (nothing without one).
  virtual void CollectDataSetFields(std::vector<TField*>& List) const;
  // After a change of the column layout: rows, the bar and the filter row, or the whole
  // pass under auto-fit.
  void ApplyColumnLayout();
  virtual void TitleButtonClicked(int ACol, TColumnEh* Column);
  // Whether a title button may be pressed: false outside the columns, else OnCheckButton's say.
  virtual void CheckTitleButton(int DataCol, bool& Enabled);
  void FireGetCellParams(TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State);
  // ---- painting
  TDBGridEhStyle* Style() const;
  void SetStyle(TDBGridEhStyle* Value);
  // Standard drawing of a data cell of the record being drawn, with the canvas as set.
  void DrawColumnCellDefault(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State);
  bool GetFixedCellColors(int ACol, int ARow, TFont* AFont, TColor& Background, bool Highlighted, int CellType);
  virtual bool IsDataCellHighlighted(int DataCol, int DataRow, TFont* AFont, TColor& Background,
                                     TGridDrawState& State);
  virtual bool CanDrawRowFocus() const;
  // The 3-D frame of a cell in the canvas's brush colour: raised, sunken when highlighted or
  // pressed; the flags say which of the left and right sides it closes.
  void DrawCellFrame(const TRect& R, bool RightFlag, bool LeftFlag, bool Highlighted, bool Pressed);

  // ---- selection by the mouse, automatic scrolling and record dragging (DBGridEhTracking.cpp)
  // What a held mouse button is doing; the numbers are fixed.
  enum TMouseModeEh {
    mmNone = 0, mmRowSelecting = 1, mmColSelecting = 2, mmRectSelecting = 3, mmColSizing = 5, mmFrozenColSizing = 6,
    mmRecordDragging = 7
  };
  TMouseModeEh MouseMode() const;
  // Whether a data cell (grid coordinates, its record's bookmark, its data column) is drawn
  // selected.
  bool IsCellSelected(int ACol, int ARow, const String& Bookmark, int DataCol) const;
  // Repaints what the selection covers and the current row; notes the focus state.
  void InvalidateSelection();
  // Repaints the selection when the grid (its editor included) gained or lost the input focus
  // since it was last painted.
  void RefreshFocusHighlight();
  // Ctrl+F: starts the incremental search, or (during one, when the find dialog is allowed, or
  // with the dialog alone) opens the find dialog with Text. False when the grid offers neither.
  bool StartFind(const String& Text);
  // The data cells' pixels: right of the indicator, below the titles and the filter row,
  // above the footers.
  TRect DataAreaRect() const;
  // Timer 1 of a selection drag: (re)started with a new interval, stopped.
  void StartScrollTimer(int Interval);
  void StopScrollTimer();
  // One tick of timer 1 while a selection is being dragged beyond the data area.
  virtual void TimerScroll();
  // Ends any mouse tracking without accepting it (cancel mode, Esc).
  void CancelMouseTracking();
  // Record dragging under dghRecordMoving, from the indicator of a (selected) row.
  virtual bool BeginRowsDrag(int X, int Y, bool TestOnly);
  virtual bool CanBeginRowsDrag(int StartRow, int EndRow, TPoint P) { return true; }
  // The x where the drop marker starts; Level receives the target tree level (-1 without).
  virtual int CalcDragTargetLevel(int ARow, TPoint P, int& Level);
  virtual void TrackRowsDrag(int Y, int ARow, TPoint P, bool FromTracking);
  virtual void EndRowsDrag(int X, int Y, bool Accept);
  virtual bool MoveDraggedRecords(int ToDataRow, int TreeLevel, bool CheckOnly);
  virtual bool MoveRecordsTo(TBookmarkListEh* BookmarkList, int ToDataRow, int TreeLevel, bool CheckOnly);
  virtual bool MoveRecordsDefault(TBookmarkListEh* BookmarkList, int ToRecNo, int TreeLevel, bool CheckOnly);
  // The record number shown in a data row (0 with an inactive link).
  int RecordNumberOfRow(int DataRow);
  // The grid row the drop marker stands at, -1 while no record is dragged.
  int DragTargetRow() const;

  // ---- messages, hints, scrolling and edit operations (DBGridEhMessages.cpp)
  bool CanCopySelection() const;
  bool CanDeleteSelection() const;
  bool CanCutSelection() const;
  bool CanPasteSelection() const;
  bool CanSelectAll() const;
  // An action offered to the grid goes to its data link, where a dataset action takes the
  // grid's data source as its target; otherwise the grid answers as any control.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // The grid is its form's active control (or, without a form, holds the focus).
  bool GridIsActiveControl() const;
  bool CellEditorShown() const { return InplaceEditorVisible(); }
  // Hands filtering to the data service; ApplyingFilter is set meanwhile.
  virtual void ApplyFilterDefault();
  bool ApplyingFilter() const;
  // The filter row: a column's filter cell is shown while the column is visible and its
  // filter is; the cell shows the column's condition when the column names a field.
  bool FilterCellShown(int DataCol) const;
  String FilterRowText(int DataCol) const;
  // Filters through OnApplyFilter, otherwise the data service; the left column, the sums and
  // the picture are brought up to date afterwards, also when filtering fails.
  void ApplyFilter();
  // Leaves the filter row and empties every column's condition; filtering is left to
  // ApplyFilter.
  void ClearAllFilters();

  // ---- the filter row's editor (DBGridEhFilterRow.cpp). One editor, made on first use,
  // edits the filter cell of the filter edit column while the grid is "in the filter row".
  TInplaceFilterEditEh* FilterEditor() const;
  int FilterEditColumn() const;
  bool InFilterRow() const;
  bool FilterEditorShown() const;
  // On: the editor opens on the current column; off: the grid leaves the filter row.
  void SetFilterRowActive(bool Value);
  void OpenFilterEditor(int DataCol);
  // Puts the editor over the filter edit column's cell; Initial prepares it for the column.
  void PlaceFilterEditor(bool Initial);
  // Hides the editor, storing its text as the column's condition.
  void HideFilterEditor();
  // Hides the editor, ends the filter row and gives the in-cell editor back.
  void LeaveFilterRow();
  // The editor may show: in the filter row and without a selection.
  virtual bool EditorAllowedNow() const;
  virtual void PrepareFilterRowEditor(int DataCol);
  // The editor's text becomes the column's condition (columns with a field name).
  virtual void StoreFilterRowText(int DataCol);
  // Fills the editor's drop-down: the column's values, then the special choices; the count.
  int FillFilterList();
  // The special choice an item of the editor's list stands for (the codes below), 0 for a value.
  enum TFilterChoiceEh {
    fcValueEh = 0, fcEmptyEh = 1, fcNotEmptyEh = 2, fcAllEh = 3, fcClearFilterEh = 4, fcSeparatorEh = 5,
    fcSortAscendingEh = 6, fcSortDescendingEh = 7
  };
  TFilterChoiceEh FilterListItemCode(int Index) const;
  // The row just above the data rows while the filter row shows.
  bool IsFilterRow(int ARow) const { return FilterRowCount() > 0 && ARow == TopDataOffset() - 1; }
  // A column's condition changed: an editor showing it shows it anew.
  void FilterExpressionChanged(TColumnEh* Column);

  // ---- IInplaceEditHolderEh: the grid holds the filter row's editor
  bool InplaceEditWndProc(TControl* Edit, TMessage& Message) override { return false; }
  void InplaceEditKeyDown(TControl* Edit, Word& Key, TShiftState Shift) override;
  void InplaceEditKeyPress(TControl* Edit, Char& Key) override {}
  void InplaceEditKeyUp(TControl* Edit, Word& Key, TShiftState Shift) override {}
  bool InplaceEditCanModify(TControl* Edit) override { return true; }
  bool InplaceEditWantsTab(TControl* Edit) override;
  void GetMouseDownInfo(TPoint& Pos, DWORD& Time) override;
  // Whether painting goes through an off-screen bitmap; once on it stays on.
  virtual bool WantsDoubleBuffer() const;
  bool DoubleBuffering() const;
  // The flat border's inset (1 or 0), fixed when the window is made.
  int FlatBorderInset() const;

  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  // The grid's state, and the gate its helpers (data link, columns, in-place editor) reach
  // its hooks through: grid/DBGridEhImpl.h, included by the grid's own files only, so a
  // change to the state rebuilds those files and not every user of the grid.
  struct TImpl;

protected:
  virtual TInplaceFilterEditEh* NewFilterRowEditor();
  virtual TColumnDefValuesEh* CreateColumnDefValues();
  virtual TDBGridColumnsEh* CreateColumns();
  // A descendant with its own column class calls this from its constructor, where the
  // factories above answer for it: the (still empty) column objects are made again.
  void RecreateColumnObjects();
  virtual TDBGridEhScrollBar* CreateScrollBar(int Kind);
  // The link became active or inactive.
  virtual void LinkActiveChanged(bool Active);
  virtual void DataSetScrolled(int Distance);
  virtual void EditingChanged();
  virtual void RecordChanged(TField* Field);
  // The layout pass: the grid's columns, rows and widths are laid out again.
  virtual void LayoutChanged();
  // A change of one column (nullptr: of the whole collection).
  virtual void ColumnsChanged(TColumnEh* Column);
  // Repaints the cells of one column.
  virtual void InvalidateColumn(TColumnEh* Column);
  void InvalidateCurrentRow();
  // Moves the data rows' pixels by Distance records (all of them repainted when more move
  // than show).
  void ScrollDataRows(int Distance);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateWnd() override;
  void CreateParams(TCreateParams& Params) override;
  // ---- base grid hooks
  TInplaceEdit* CreateEditor() override;
  bool CanEditAcceptKey(Char Key) override;
  bool CanEditModify() override;
  bool CanEditShow() override;
  int GetEditLimit() override;
  String GetEditMask(int ACol, int ARow) override;
  String GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void ColWidthsChanged() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  bool SelectCell(int ACol, int ARow) override;
  void CurrentChanged(int OldCol, int OldRow) override;
  void DoExit() override;
  void Paint() override;
  // The grid sets its vertical bar from the dataset, whatever the horizontal one does.
  bool OwnsVertScrollBar() const override { return true; }
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void RowHeightsChanged() override;
  // A new client size: rows (and fitted widths) follow it.
  void Resize() override;
  // The external horizontal bar follows the left column.
  void TopLeftChanged() override;
  void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
  // ---- notification hooks
  virtual void ColEnter();
  virtual void ColExit();
  virtual void CheckMemTable();

private:
  // ---- layout pass steps
  void RemoveTransientColumns();
  void GenerateDefaultColumns();
  void RebuildVisibleColumns();
  void LayoutRowHeight();
  void LayoutTitleHeight();
  void LayoutHorzScrollBar();
  void AutoFitWidths();
  int MeasureTitleCaption(THeadTreeNode* Node);
  int OptimalTitleWidth(TColumnEh* Column);
  int OptimalCellWidth(TColumnEh* Column);
  void SizeAutoFitColumn(int Index, int Old, int New);
  // ---- filter row steps
  TInplaceFilterEditEh* EnsureFilterEditor();
  enum TFilterCellStepEh { fsPriorEh, fsNextEh, fsFirstEh, fsLastEh };
  void MoveToFilterCell(TFilterCellStepEh Step);
  bool FilterRowPress(TMessage& Message);
  bool EnterFilterRowByKey(Word& Key, TShiftState Shift);
  void InvalidateFilterCell(int DataCol);
  void FilterEditKeyPress(TObject* Sender, Char& Key);
  void FilterListClosingUp(TObject* Sender, bool& Accept);
  void FilterListCloseUp(TObject* Sender, bool Accept);
  int FilterListNeedItems(TObject* Sender);
  // ---- painting steps (the cell kinds return whether they drew highlighted)
  void PaintLines(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows);
  void PaintCells(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows, const TRect& Clip);
  bool DrawIndicatorCell(int ARow, int DataRow, TRect R, int CellType);
  bool DrawTitleCell(int DataCol, TRect R, TGridDrawState State, bool Is3D);
  void DrawDataCell(int ACol, int DataCol, int DataRow, TRect R, TGridDrawState State, bool Is3D);
  bool DrawFooterCell(int DataCol, int FooterRow, TRect R, TGridDrawState State, bool Is3D);
  // The column's condition in blue on a background lighter than the fixed cells.
  bool DrawFilterRowCell(int ACol, int ARow, int DataCol, const TRect& R, int CellType);
  void DrawTitleBands(THeadTreeNode* Leaf, const TRect& CellRect, bool Highlighted);
  void DrawRequiredMark(TColumnEh* Column, int DataRow, const TRect& R);
  // The cell text the parameter events give for a record of the buffer.
  String CellParamsText(TColumnEh* Column, int DataRow, TGridDrawState State);
  // The typed search text over the start of the current cell's text.
  void DrawIncSearchOverlay(TColumnEh* Column, const TRect& R, TGridDrawState State, int Inset);
  // The buttons a column always shows in its cells, left to right.
  struct TCellButton {
    TButtonFaceStyle Face;
    int Width;
    TEditButtonEh* Glyph = nullptr;  // a glyph-style button: its picture instead of a face
  };
  std::vector<TCellButton> CellButtons(TColumnEh* Column) const;
  void DrawCellButtons(const std::vector<TCellButton>& Buttons, const TRect& Area, const TRect& Cell, TColor Back,
                       bool Is3D);
  // One always-shown button in R, clipped to the cell.
  void PaintCellButton(const TCellButton& Button, TRect R, const TRect& Cell, TColor Back);
  // Text in a cell as the column writes it; a right-to-left column in a mirrored paint is
  // written unmirrored, its alignment and margins swapped, so its glyphs read right.
  void WriteCellText(TColumnEh* Column, const TRect& R, bool Fill, int DX, int DY, const String& Text,
                     TAlignment Alignment, TTextLayout Layout, bool MultiLine, bool EndEllipsis, int LeftMarg,
                     int RightMarg);
  // Mirroring paused for one cell of a mirrored paint: the cell's device rectangle.
  struct TUnmirroredCell {
    TCustomDBGridEh* Grid;
    TRect Device;
    TUnmirroredCell(TCustomDBGridEh* G, const TRect& Logical);
    ~TUnmirroredCell();
  };
  bool TitleInSelection(int DataCol) const;
  int TextInset(bool Is3D) const;
  TColor RowColor(TColumnEh* Column) const;
  void SumListChangedHandler(TObject* Sender);
  void SumListRecalcAllHandler(TObject* Sender);
  void SumListAfterRecalcAllHandler(TObject* Sender);
  void FooterFontChanged(TObject* Sender);
  void TitleFontChanged(TObject* Sender);
  void TitleImagesChanged(TObject* Sender);
  void ApplyBaseOptions();
  void ScaleFontsAndWidths(int M, int D);
  void ReadColumns(TReader* Reader);
  void WriteColumns(TWriter* Writer);
  void ColumnWidthChanged(TColumnEh* Column);
  void UnbindField(TComponent* Field);
  bool CanModifyField(TColumnEh* Column, TField* Field) const;
  void WriteKeyList(TColumnEh* Column, const String& Text);
  void WriteLookup(TColumnEh* Column, TField* Field, const String& Text);
  String FieldEditText(TColumnEh* Column, TField* Field) const;
  // The current record's text for the editor in a grid column, before the cell-parameter
  // handlers; sets the edit value.
  String CellEditText(int ACol);
  // ---- keys and search steps
  bool SearchKey(Word& Key, TShiftState Shift);
  void CtrlKey(Word& Key, TShiftState Shift);
  void PlainKey(Word& Key, TShiftState Shift);
  void VerticalKey(Word Key, TShiftState Shift);
  void StepColumn(bool Forward);
  void ConfirmDelete();
  bool IncSearchAllowed() const;
  bool CellTextMatches(const String& Upper);
  bool SearchWalk(const String& Upper, int Direction);
  struct TViewPosition {
    String Bookmark;
    int Distance = 0;
  };
  TViewPosition SaveViewPosition();
  void RestoreViewPosition(const TViewPosition& P);
  bool ExtendRowStep(int Dir, bool Keep, bool& Away);
  // ---- mouse steps
  bool PressTitle(TMouseButton Button, TShiftState Shift, int X, int Y);
  void PressDataRow(TMouseButton Button, TShiftState Shift, TGridCoord Cell);
  void ReleaseTitle(TShiftState Shift, int X, int Y);
  bool ChangesByMouse() const;
  bool PressSizing(TMouseButton Button, TShiftState Shift, int X, int Y);
  bool PressColumnSelect(TShiftState Shift, int X, int Y);
  void PressEditButtons(TGridCoord Cell, int X, int Y);
  void TrackMouse(TShiftState Shift, int X, int Y);
  void OptimizeWidthsAt(int RawCol);
  // The data column whose title's column-select band holds the point, -1 for none.
  int ColumnSelectZone(int X, int Y) const;
  // The frozen column whose sizing band holds the point, -1 for none.
  int FrozenSizingColumn(int X, int Y) const;
  void DrawSizingLine(int X);
  void DrawDragMarker();
  void MoveByTimer(int Distance, int Direction);
  void TimerScrollColumns();
  // ---- record-position view steps
  void RecalcViewRowCount();
  void RefreshViewScrollBar();
  void ViewDataChanged();
  void FetchRecordsInView();
  void WMVScrollView(TMessage& Message);
  bool ViewWheel(bool Down, TShiftState Shift);
  void TrackViewRowsDrag(int Y, int ARow, int Level, int MarkerX);
  // ---- message steps
  void WMVScroll(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void CMHintShowPause(TMessage& Message);
  // The tool tip of a cell whose text does not show whole: what each kind of cell would
  // show (TCellTip, DBGridEhMessages.cpp), then where the tip goes.
  struct TCellTip;
  bool CellToolTip(int ACol, int ARow, THintInfo& Info);
  void TitleTip(TColumnEh* Column, int DataCol, TCellTip& Tip);
  void FooterTip(TColumnEh* Column, int Row, TCellTip& Tip);
  bool DataTip(TColumnEh* Column, int DataRow, TGridCoord Cell, int CursorX, TCellTip& Tip);
  bool PlaceToolTip(const TCellTip& Tip, TGridCoord Cell, THintInfo& Info);
  void FocusChanged(TMessage& Message);
  void ApplyColumnImeMode();

  // The parts and settings every per-record and per-cell loop reads (in this library and its
  // users) stay here, beside the state, so their accessors above are inline.
  std::unique_ptr<TGridDataLinkEh> FDataLink;
  std::unique_ptr<TDBGridColumnsEh> FColumns;
  std::unique_ptr<TColumnsEhList> FVisibleColumns;
  std::unique_ptr<TColumnsEhList> FSortMarkedColumns;
  std::unique_ptr<TBookmarkListEh> FBookmarks;
  std::unique_ptr<TDBGridEhSumList> FSumList;
  std::unique_ptr<TDBGridEhSelection> FSelection;
  std::unique_ptr<TSTDBGridEhFilter> FSTFilter;
  TDBGridOptions FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                             dgConfirmDelete, dgCancelOnExit};
  TDBGridEhOptions FOptionsEh = {dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind};
  int FFooterRowCount = 0;
  bool FDefaultDrawing = true;
  std::unique_ptr<TImpl> FImpl;
};

// Holds the grid's layout lock for the scope's lifetime (no grid: nothing), so the layout
// pass runs once at the end, also when the scope is left by an exception.
class TDBGridEhLayoutLock {
public:
  explicit TDBGridEhLayoutLock(TCustomDBGridEh* Grid) : FGrid(Grid) {
    if (FGrid) FGrid->BeginLayout();
  }
  ~TDBGridEhLayoutLock() {
    if (FGrid) FGrid->EndLayout();
  }
  TDBGridEhLayoutLock(const TDBGridEhLayoutLock&) = delete;
  TDBGridEhLayoutLock& operator=(const TDBGridEhLayoutLock&) = delete;

private:
  TCustomDBGridEh* FGrid;
};

// Reads the record of a data row for the scope's lifetime (ReadRowRecordBegin/End).
class TRowRecordScopeEh {
public:
  TRowRecordScopeEh(TCustomDBGridEh* Grid, int DataRow) : FGrid(Grid) { FGrid->ReadRowRecordBegin(DataRow); }
  ~TRowRecordScopeEh() { FGrid->ReadRowRecordEnd(); }
  TRowRecordScopeEh(const TRowRecordScopeEh&) = delete;
  TRowRecordScopeEh& operator=(const TRowRecordScopeEh&) = delete;

private:
  TCustomDBGridEh* FGrid;
};
