#pragma once
// The data grid's private state. Only the grid's own .cpp files include this header: the
// public one keeps a pointer to it, so a change here rebuilds the grid and not its users.
//
// The grid's helpers need a few of its hooks and fields: the data link reports the dataset's
// changes, the column collection its own, the in-place editor reads and writes the cell
// through the edit hooks and keeps the edit value. They go through the static gate at the
// end of TImpl, so that list says what they may do, rather than each being the grid's friend.
#include "grid/DBGridEh.h"

#include <memory>
#include <vector>

struct TCustomDBGridEh::TImpl {
  std::unique_ptr<TColumnDefValuesEh> FColumnDefValues;
  std::unique_ptr<TFont> FTitleFont;
  std::unique_ptr<TDBGridEhScrollBar> FHorzScrollBar;
  std::unique_ptr<TDBGridEhScrollBar> FVertScrollBar;
  std::unique_ptr<TColCellParamsEh> FCellParams;
  std::unique_ptr<TFont> FFooterFont;
  std::unique_ptr<TChangeLink> FTitleImageChangeLink;
  TCustomImageList* FTitleImages = nullptr;
  IMemTableEh* FMemTable = nullptr;
  std::vector<int> FReadRowStack;  // active records to go back to (outside the view)
  bool FFetching = false;
  struct TViewBar {
    int Max = -1, Page = -1, Pos = -1, Mode = -1;
  } FViewBar;
  TDBGridEhAllowedOperations FAllowedOperations = {alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
  TDBGridEhAllowedSelections FAllowedSelections = {gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
  TDBGridEhEditActions FEditActions;
  bool FAutoFitColWidths = false;
  bool FDrawMemoText = false;
  TColor FEvenRowColor = clWindow, FOddRowColor = clWindow;
  bool FEvenRowColorAssigned = false, FOddRowColorAssigned = false;
  bool FFlat = false;
  TColor FFooterColor = clWindow;
  int FFrozenCols = 0;
  int FMinAutoFitWidth = 0;
  bool FReadOnly = false;
  int FRowHeight = 0, FRowLines = 0;
  bool FRowSizingAllowed = false;
  bool FSortLocal = false;
  int FTitleHeight = 0, FTitleLines = 0;
  bool FUseMultiTitle = false;
  int FVTitleMargin = 10;
  int FLayoutLock = 0;
  int FUpdateLock = 0;
  bool FDataLinkLayoutChanging = false;
  bool FLayoutPending = false;  // a WM_DEFERREDLAYOUT is queued
  bool FRefreshing = false;
  bool FSettingTitleFont = false;
  String FEditText;
  Variant FEditValue;
  TEditorReadOnly FEditorReadOnly = erNotSet;
  bool FIncSearchActive = false;
  String FIncSearchText;
  int FIncSearchTimeOut = -1;
  bool FKeepSelection = false;
  String FRowAnchor;          // the first row of a row extension
  bool FRowAnchorSelected = false;
  bool FRowRepaintHeld = false;  // a long row extension repaints once at its end
  int FPressedTitle = -1;     // data column of a held title button
  bool FPressedTitleIn = false;
  TPoint FPressPoint;
  bool FRowTracking = false;
  bool FSortMarkedWithCtrl = false;
  TMouseModeEh FMouseMode = mmNone;
  bool FTracking = false;       // cell tracking by the held button
  TShiftState FPressShift;      // the keys held at the press
  TPoint FLastMouse;            // client point of the last mouse event
  int FScrollTimerInterval = -1;  // -1: timer 1 stopped
  int FSizingCol = -1, FSizingOffset = 0, FSizingLineX = -1;  // traced and frozen sizing
  bool FDragPrepared = false;   // a drag starts when the mouse moves
  bool FInClickWithDragMode = false;
  bool FRightAsLeft = false;    // the right button moves a column as the left would
  int FDragStartRow = -1, FDragEndRow = -1, FDragStartLevel = -1, FDragTargetLevel = -1, FDragMarkerX = 0;
  bool FDragMarkerShown = false;
  String FDragBookmark;
  bool FHadInputFocus = false;
  bool FIgnoreThumbPosition = false;
  bool FApplyingFilter = false;
  // The sums were walked at this count of the link's change notices (ApplyFilter skips a
  // second walk of a dataset its handler reopened).
  bool FSumsCurrent = false;
  unsigned FSumsCurrentAt = 0;
  TInplaceFilterEditEh* FFilterEdit = nullptr;  // owned as a component
  int FFilterCol = -1;
  bool FInFilterRow = false;
  TPoint FMouseDownPos;         // client point and time of the last press, for the filter editor
  DWORD FMouseDownTime = 0;
  bool FMouseDownKept = false;
  std::vector<TFilterChoiceEh> FFilterItemCodes;  // per item of the filter editor's list
  TFilterChoiceEh FFilterChoice = fcValueEh;      // the special choice being closed up
  bool FDoubleBuffering = false;
  int FFlatInset = 0;
  std::unique_ptr<TFont> FToolTipFont;
  bool FSearching = false;    // the search itself moves the dataset
  TGridCoord FCheckCell{-1, -1};  // a check-box or image cell pressed, toggled at release
  int FEditButtonWidth = 0, FEditButtonHeight = 0;
  std::unique_ptr<THeadTreeNode> FHeadTree;
  std::vector<THeadTreeNode*> FLeaves;
  std::vector<bool> FOutOfRange;  // auto-fit: per column, limited during this fit
  bool FWordWrapPossible = false;
  bool FLayingOut = false;
  TDBGridEhStyle* FStyle = nullptr;
  TImeMode FOriginalImeMode = imDontCare;
  String FOriginalImeName;

  // ---- the gate for the grid's helpers
  static TImpl& Of(TCustomDBGridEh* G) { return *G->FImpl; }
  // the data link
  static void LinkActiveChanged(TCustomDBGridEh* G, bool Active) { G->LinkActiveChanged(Active); }
  static void DataSetScrolled(TCustomDBGridEh* G, int Distance) { G->DataSetScrolled(Distance); }
  static void EditingChanged(TCustomDBGridEh* G) { G->EditingChanged(); }
  static void RecordChanged(TCustomDBGridEh* G, TField* Field) { G->RecordChanged(Field); }
  static void InvalidateCurrentRow(TCustomDBGridEh* G) { G->InvalidateCurrentRow(); }
  // the columns (a column's drop-down list is a grid too, named for its layouts)
  static void ColumnsChanged(TCustomDBGridEh* G, TColumnEh* Column) { G->ColumnsChanged(Column); }
  static void SetName(TCustomDBGridEh* G, const String& Name) { G->SetName(Name); }
  // the in-place editor
  static bool CanEditModify(TCustomDBGridEh* G) { return G->CanEditModify(); }
  static int GetEditLimit(TCustomDBGridEh* G) { return G->GetEditLimit(); }
  static String GetEditMask(TCustomDBGridEh* G, int ACol, int ARow) { return G->GetEditMask(ACol, ARow); }
  static String GetEditText(TCustomDBGridEh* G, int ACol, int ARow) { return G->GetEditText(ACol, ARow); }
  static void SetEditText(TCustomDBGridEh* G, int ACol, int ARow, const String& Value) {
    G->SetEditText(ACol, ARow, Value);
  }
  static void KeyDown(TCustomDBGridEh* G, Word& Key, TShiftState Shift) { G->KeyDown(Key, Shift); }
  static String CellEditText(TCustomDBGridEh* G, int ACol) { return G->CellEditText(ACol); }
};

// The gate under a short name for the helpers' files.
using TGridImpl = TCustomDBGridEh::TImpl;
