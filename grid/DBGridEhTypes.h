#pragma once
// The data grid's shared vocabulary: the enumerations of columns, titles, footers and grid
// options, the cell parameters a column hands its handlers (TColCellParamsEh), and the event
// types of columns and footers. Declares TColCellParamsEh.
#include "grid/CellTextEh.h"
#include "core/Classes.h"
#include "core/Component.h"
#include "gui/Controls.h"
#include "gui/Grids.h"
#include "data/DB.h"
#include "grid/DBSumLst.h"
#include "grid/DBGridEhHeadTree.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/StdCtrls.h"
#include "grid/ToolCtrlsEh.h"
#include "core/Variant.h"

#include <deque>
#include <memory>

class TCustomDBGridEh;
class TColumnEh;
class TDBGridEhStyle;
struct TCellSpan;
class TColumnFooterEh;
class TColumnsEhList;
class TDBGridColumnsEh;
class TColumnDropDownBoxEh;
class TSTColumnFilterEh;
class TPopupDataGridEh;

// Grid events a column's drop-down grid keeps for the column.
KELM_EVENT(TCheckTitleEhBtnEvent, void(TObject* Sender, int ACol, TColumnEh* Column, bool& Enabled));
KELM_EVENT(TDrawColumnEhCellEvent, void(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column,
                                        TGridDrawState State));
KELM_EVENT(TGetCellEhParamsEvent, void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background,
                                       TGridDrawState State));
KELM_EVENT(TTitleEhClickEvent, void(TObject* Sender, int ACol, TColumnEh* Column));

// ================================================================ enumerations

// The options of a lookup drop-down grid, as a column's drop-down box sets them.
KELM_ENUM(TDBLookupGridEhOption, dlgColumnResizeEh, dlgColLinesEh, dlgRowLinesEh, dlgAutoSortMarkingEh,
          dlgMultiSortMarkingEh)
using TDBLookupGridEhOptions = TSet<TDBLookupGridEhOption>;

// Which of a column's (and its title's) settings were assigned; the element order is fixed.
KELM_ENUM(TColumnEhValue, evColor, evWidth, evFont, evAlignment, evReadOnly, evTitleColor, evTitleCaption,
          evTitleAlignment, evTitleFont, evTitleButton, evTitleEndEllipsis, evTitleToolTips, evTitleOrientation,
          evImeMode, evImeName, evWordWrap, evLookupDisplayFields, evCheckboxes, evAlwaysShowEditButton,
          evEndEllipsis, evAutoDropDown, evDblClickNextVal, evToolTips, evDropDownSizing, evDropDownShowTitles,
          evLayout, evHighlightRequired, evBiDiMode)
using TColumnEhValues = TSet<TColumnEhValue>;

KELM_ENUM(TColumnButtonStyleEh, cbsAuto, cbsEllipsis, cbsNone, cbsUpDown, cbsDropDown)
// What a cell of the column shows; the ordinals are fixed.
KELM_ENUM(TColumnEhKind, ckText, ckPickList, ckLookup, ckKeyList, ckImage, ckCheckbox)
KELM_ENUM(TSortMarkerEh, smNoneEh, smDownEh, smUpEh)
KELM_ENUM(TTextOrientationEh, tohHorizontal, tohVertical)
KELM_ENUM(TFooterValueType, fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText)

KELM_ENUM(TDBGridEhOption, dghFixed3D, dghFrozen3D, dghFooter3D, dghData3D, dghResizeWholeRightPart,
          dghHighlightFocus, dghClearSelection, dghFitRowHeightToText, dghAutoSortMarking, dghMultiSortMarking,
          dghEnterAsTab, dghTraceColSizing, dghIncSearch, dghPreferIncSearch, dghRowHighlight,
          dghDblClickOptimizeColWidth, dghDialogFind, dghRecordMoving)
using TDBGridEhOptions = TSet<TDBGridEhOption>;
KELM_ENUM(TDBGridEhAllowedOperation, alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh)
using TDBGridEhAllowedOperations = TSet<TDBGridEhAllowedOperation>;

// ================================================================ cell parameters

// What the grid draws in one cell; filled by the column and changed by OnGetCellParams.
class TColCellParamsEh : public TObject {
public:
  TColor Background() const { return FBackground; }
  void SetBackground(TColor Value) { FBackground = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  TCheckBoxState CheckboxState() const { return FCheckboxState; }
  void SetCheckboxState(TCheckBoxState Value) { FCheckboxState = Value; }
  int Col() const { return FCol; }
  void SetCol(int Value) { FCol = Value; }
  int Row() const { return FRow; }
  void SetRow(int Value) { FRow = Value; }
  // The font the cell is drawn with (not owned).
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TGridDrawState State() const { return FState; }
  void SetState(TGridDrawState Value) { FState = Value; }
  const String& Text() const { return FText; }
  void SetText(const String& Value) { FText = Value; }

private:
  TColor FBackground = clWindow;
  TAlignment FAlignment = taLeftJustify;
  TCheckBoxState FCheckboxState = cbUnchecked;
  int FCol = -1, FRow = -1;
  TFont* FFont = nullptr;
  int FImageIndex = -1;
  bool FReadOnly = false;
  TGridDrawState FState;
  String FText;
};

// ================================================================ events

KELM_EVENT(TGetColCellParamsEventEh, void(TObject* Sender, bool EditMode, TColCellParamsEh* Params));
KELM_EVENT(TColCellUpdateDataEventEh, void(TObject* Sender, String& Text, Variant& Value, bool& UseText, bool& Handled));
KELM_EVENT(TOnColumnCheckDrawRequiredStateEventEh, void(TObject* Sender, const String& Text, bool& DrawState));
KELM_EVENT(TGetFooterParamsEvent, void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                       TColor& Background, TAlignment& Alignment, TGridDrawState State, String& Text));
