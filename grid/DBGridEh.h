#pragma once
// The data grid unit (TCustomDBGridEh, TDBGridEh): this header includes the headers of its
// parts, so an include of it gives the whole unit, and adds the published grid, the shared
// pictures and the cell-value helpers.
//
// The parts: DBGridEhTypes.h (enumerations, cell parameters, events), DBGridEhColumnParts.h
// (defaults, titles, footers), DBGridEhColumn.h (columns and their lists), DBGridEhLink.h
// (sum list, data link, selected rows), DBGridEhSelection.h (the selection),
// DBGridEhSettings.h (scroll bars, filter row) and DBGridEhEngine.h (the grid's engine).
#include "grid/DBGridEhEngine.h"

// The published grid: every list window of the application shows its rows in one.
class TDBGridEh : public TCustomDBGridEh {
  KELM_CLASS(TDBGridEh, TCustomDBGridEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridEh;
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bsSingle);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragKind(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    PublishParentBiDiMode(b);
    PublishParentColor(b).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    PublishVisible(b);
    b.Prop("AllowedOperations", &C::AllowedOperations, &C::SetAllowedOperations)
        .Default(TDBGridEhAllowedOperations{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    b.Prop("AllowedSelections", &C::AllowedSelections, &C::SetAllowedSelections)
        .Default(TDBGridEhAllowedSelections{gstRecordBookmarks, gstRectangle, gstColumns, gstAll});
    b.Prop("AutoFitColWidths", &C::AutoFitColWidths, &C::SetAutoFitColWidths).Default(false);
    b.Prop("ColumnDefValues", &C::ColumnDefValues, &C::SetColumnDefValues);
    b.Prop("DataSource", &C::DataSource, &C::SetDataSource);
    b.Prop("DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing).Default(true);
    b.Prop("DrawMemoText", &C::DrawMemoText, &C::SetDrawMemoText).Default(false);
    b.Prop("EditActions", &C::EditActions, &C::SetEditActions).Default(TDBGridEhEditActions());
    b.Prop("EvenRowColor", &C::EvenRowColor, &C::SetEvenRowColor).Type("TColor").NoDefault().Stored(&C::EvenRowColorAssigned);
    b.Prop("FixedColor", &C::FixedColor, &C::SetFixedColor).Type("TColor").Default(clBtnFace);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    b.Prop("FooterColor", &C::FooterColor, &C::SetFooterColor).Type("TColor").Default(clWindow);
    b.Prop("FooterFont", &C::FooterFont, &C::SetFooterFont);
    b.Prop("FooterRowCount", &C::FooterRowCount, &C::SetFooterRowCount).Default(0);
    b.Prop("FrozenCols", &C::FrozenCols, &C::SetFrozenCols).Default(0);
    b.Prop("HorzScrollBar", &C::HorzScrollBar, &C::SetHorzScrollBar);
    b.Prop("MinAutoFitWidth", &C::MinAutoFitWidth, &C::SetMinAutoFitWidth).Default(0);
    b.Prop("OddRowColor", &C::OddRowColor, &C::SetOddRowColor).Type("TColor").NoDefault().Stored(&C::OddRowColorAssigned);
    b.Prop("Options", &C::Options, &C::SetOptions)
        .Default(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                                dgConfirmDelete, dgCancelOnExit});
    b.Prop("OptionsEh", &C::OptionsEh, &C::SetOptionsEh)
        .Default(TDBGridEhOptions{dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind});
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    b.Prop("RowHeight", &C::RowHeight, &C::SetRowHeight).Default(0);
    b.Prop("RowLines", &C::RowLines, &C::SetRowLines).Default(0);
    b.Prop("RowSizingAllowed", &C::RowSizingAllowed, &C::SetRowSizingAllowed).Default(false);
    b.Prop("SortLocal", &C::SortLocal, &C::SetSortLocal).Default(false);
    b.Prop("STFilter", &C::STFilter, &C::SetSTFilter);
    b.Prop("SumList", &C::SumList, &C::SetSumList);
    b.Prop("TitleFont", &C::TitleFont, &C::SetTitleFont);
    b.Prop("TitleHeight", &C::TitleHeight, &C::SetTitleHeight).Default(0);
    b.Prop("TitleImages", &C::TitleImages, &C::SetTitleImages);
    b.Prop("TitleLines", &C::TitleLines, &C::SetTitleLines).Default(0);
    b.Prop("UseMultiTitle", &C::UseMultiTitle, &C::SetUseMultiTitle).Default(false);
    b.Prop("VertScrollBar", &C::VertScrollBar, &C::SetVertScrollBar);
    b.Prop("VTitleMargin", &C::VTitleMargin, &C::SetVTitleMargin).Default(10);
    b.Prop("OnApplyFilter", &C::OnApplyFilter, &C::OnApplyFilter);
    b.Prop("OnCellClick", &C::OnCellClick, &C::OnCellClick);
    b.Prop("OnCheckButton", &C::OnCheckButton, &C::OnCheckButton);
    b.Prop("OnColEnter", &C::OnColEnter, &C::OnColEnter);
    b.Prop("OnColExit", &C::OnColExit, &C::OnColExit);
    b.Prop("OnColumnMoved", &C::OnColumnMoved, &C::OnColumnMoved);
    b.Prop("OnColWidthsChanged", &C::OnColWidthsChanged, &C::OnColWidthsChanged);
    b.Prop("OnDrawColumnCell", &C::OnDrawColumnCell, &C::OnDrawColumnCell);
    b.Prop("OnDrawDataCell", &C::OnDrawDataCell, &C::OnDrawDataCell);
    b.Prop("OnDrawFooterCell", &C::OnDrawFooterCell, &C::OnDrawFooterCell);
    b.Prop("OnEditButtonClick", &C::OnEditButtonClick, &C::OnEditButtonClick);
    b.Prop("OnGetBtnParams", &C::OnGetBtnParams, &C::OnGetBtnParams);
    b.Prop("OnGetCellParams", &C::OnGetCellParams, &C::OnGetCellParams);
    b.Prop("OnGetFooterParams", &C::OnGetFooterParams, &C::OnGetFooterParams);
    b.Prop("OnMoveRecords", &C::OnMoveRecords, &C::OnMoveRecords);
    b.Prop("OnSelectionChanged", &C::OnSelectionChanged, &C::OnSelectionChanged);
    b.Prop("OnSortMarkingChanged", &C::OnSortMarkingChanged, &C::OnSortMarkingChanged);
    b.Prop("OnSumListRecalcAll", &C::OnSumListRecalcAll, &C::OnSumListRecalcAll);
    b.Prop("OnSumListAfterRecalcAll", &C::OnSumListAfterRecalcAll, &C::OnSumListAfterRecalcAll);
    b.Prop("OnTitleBtnClick", &C::OnTitleBtnClick, &C::OnTitleBtnClick);
    b.Prop("OnTitleClick", &C::OnTitleClick, &C::OnTitleClick);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDock(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDock(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDBGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {}
};

// The indicator pictures (current, edited, inserted, multi-dot, multi-arrow, current and
// selected, current during incremental search) and the sort markers (down, up) all grids share.
TImageList* GridIndicatorImages();
TImageList* GridSortMarkerImages();

// ================================================================ cell values

// The field's text through a display format: numbers by FormatFloat, dates by
// FormatDateTime, the display text when the format is empty, '' for Null and other types.
String FormatFieldValue(TField* Field, const String& Format);
// The field's lookup dataset is open and the field has a value.
bool LookupValueFound(TField* Field);
// Whether one of the ";"-separated parts of List equals Value, ignoring case.
bool ValueInList(const String& List, const String& Value);
// Every field can be modified (true for none).
bool AllFieldsModifiable(const std::vector<TField*>& Fields);
