// The filter row: what its cells show, the one editor the grid places over the cell being
// edited (with its keys, its drop-down of values and special choices), applying the typed
// conditions and clearing them.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhColumn.h"
#include "grid/DBGridEhFilterEdit.h"
#include "grid/DBGridEhLink.h"
#include "grid/CellTextEh.h"
#include "grid/GridConstsEh.h"
#include "grid/GridUtilsEh.h"
#include "grid/DBGridEhStyle.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "gui/Forms.h"

#include <algorithm>

namespace {

bool Plain(TShiftState Shift) { return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt); }

// A drop-down over a value list starts this wide and this many rows high until the user sizes it.
constexpr int kFilterListWidth = 100;
constexpr int kFilterListRows = 17;

}  // namespace

// ================================================================ cells

bool TCustomDBGridEh::FilterCellShown(int DataCol) const {
  if (DataCol < 0 || DataCol >= Columns()->Count()) return false;
  TColumnEh* column = Columns()->Items(DataCol);
  return column->Visible() && column->STFilter()->Visible();
}

String TCustomDBGridEh::FilterRowText(int DataCol) const {
  if (DataCol < 0 || DataCol >= Columns()->Count()) return String();
  TColumnEh* column = Columns()->Items(DataCol);
  if (column->FieldName().empty()) return String();
  return column->STFilter()->ExpressionText();
}

void TCustomDBGridEh::InvalidateFilterCell(int DataCol) {
  if (FilterRowCount() == 0 || DataCol < 0 || DataCol >= Columns()->Count()) return;
  InvalidateCell(DataToRawColumn(DataCol), TopDataOffset() - 1);
}

bool TCustomDBGridEh::DrawFilterRowCell(int ACol, int ARow, int DataCol, const TRect& R, int CellType) {
  TCanvas* c = Canvas();
  TColumnEh* column = Columns()->Items(DataCol);
  c->Font()->Assign(Font());
  c->Font()->SetColor(clBlue);
  TColor back = LightenedColor(FixedColor());
  bool highlighted = GetFixedCellColors(ACol, ARow, c->Font(), back, TitleInSelection(DataCol), CellType);
  c->Brush()->SetColor(back);
  TRect text = R;
  // A column whose values drop down shows the button at the cell's right, as its editor does.
  const int button = column->STFilter()->ShowsDropDownButton() ? FImpl->FEditButtonWidth + (FImpl->FFlat ? 1 : 0) : 0;
  if (button > 0) text.Right = std::max(text.Left, text.Right - button);
  DrawCellText(c, text, true, 1, 1, FilterRowText(DataCol), taLeftJustify, column->Layout(), false, false, 0, 0, false);
  if (button > 0) DrawCellButtons({{bfsDropDown, button}}, TRect{text.Right, R.Top, R.Right, R.Bottom}, R, back, false);
  return highlighted;
}

// ================================================================ applying and clearing

void TCustomDBGridEh::ApplyFilter() {
  if (FilterEditorShown()) StoreFilterRowText(FImpl->FFilterCol);
  const int left = LeftCol();
  // A handler that fails still leaves the grid scrolled as it was, the editor where it was
  // and the footers summing what the dataset now shows.
  FImpl->FSumsCurrent = false;
  TryFinally(
      [&] {
        if (OnApplyFilter)
          OnApplyFilter(this);
        else
          ApplyFilterDefault();
      },
      [&] {
        if (left >= FixedCols() && left < ColCount()) SetLeftCol(left);
        if (FImpl->FInFilterRow) PlaceFilterEditor(true);
        // A handler that reopened the dataset had the sums walked already; a second walk over
        // the same records would only repeat them.
        const bool current = FImpl->FSumsCurrent && FImpl->FSumsCurrentAt == FDataLink->ChangeCount();
        if (FSumList->Active() && !current) FSumList->Recalculate();
        Invalidate();
      });
}

void TCustomDBGridEh::ClearAllFilters() {
  LeaveFilterRow();
  for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->STFilter()->ResetFilter();
  Invalidate();
}

void TCustomDBGridEh::FilterExpressionChanged(TColumnEh* Column) {
  InvalidateCol(DataToRawColumn(Column->Index()));
  if (FilterEditorShown() && FImpl->FFilterCol == Column->Index()) PlaceFilterEditor(true);
}

// ================================================================ the editor

TInplaceFilterEditEh* TCustomDBGridEh::NewFilterRowEditor() { return new TInplaceFilterEditEh(this); }

bool TCustomDBGridEh::FilterEditorShown() const { return FImpl->FFilterEdit && FImpl->FFilterEdit->ShownInplace(); }

TInplaceFilterEditEh* TCustomDBGridEh::EnsureFilterEditor() {
  if (FImpl->FFilterEdit) return FImpl->FFilterEdit;
  TInplaceFilterEditEh* e = NewFilterRowEditor();
  FImpl->FFilterEdit = e;
  e->SetVisible(false);
  e->SetParent(this);
  e->SetInplaceEditHolder(this);
  e->SetAutoSize(false);  // the filter cell gives the height
  e->SetBorderStyle(bsNone);
  e->Font()->Assign(Font());
  e->Font()->SetColor(clBlue);
  e->SetColor(LightenedColor(FixedColor()));
  e->OnKeyPress = TKeyPressEvent(this, &TCustomDBGridEh::FilterEditKeyPress);
  e->OnExit = TNotifyEvent::Lambda([](TObject*) {});
  e->SetFlat(FImpl->FFlat);
  return e;
}

void TCustomDBGridEh::SetFilterRowActive(bool Value) {
  if (Value)
    OpenFilterEditor(SelectedIndex());
  else
    LeaveFilterRow();
}

void TCustomDBGridEh::OpenFilterEditor(int DataCol) {
  if (!FSTFilter->Visible() || !FilterCellShown(DataCol)) return;
  if (FDataLink->Active() && DataSet()) DataSet()->CheckBrowseMode();
  EnsureFilterEditor();
  if (DataCol != FImpl->FFilterCol && FilterEditorShown()) {
    const int old = FImpl->FFilterCol;
    TScopeExit repaint([&] { InvalidateFilterCell(old); });
    HideFilterEditor();
  }
  FImpl->FFilterCol = DataCol;
  FImpl->FInFilterRow = true;
  HideEditor();
  {
    TRestore lock(FImpl->FUpdateLock, FImpl->FUpdateLock + 1);
    const int raw = DataToRawColumn(DataCol);
    if (FOptions.Contains(dgRowSelect)) {
      // Row selection has no current column: the left column moves until the cell shows.
      if (raw >= FixedCols() && raw < LeftCol()) SetLeftCol(raw);
      while (raw >= FixedCols() && raw >= LeftCol() + VisibleColCount() && LeftCol() < raw) SetLeftCol(LeftCol() + 1);
    } else {
      MoveToColumn(raw);
    }
    InvalidateFilterCell(DataCol);
  }
  PlaceFilterEditor(true);
}

bool TCustomDBGridEh::EditorAllowedNow() const {
  return FImpl->FInFilterRow && FSelection->SelectionKind() == gstNon;
}

void TCustomDBGridEh::PlaceFilterEditor(bool Initial) {
  if (FSTFilter->UpdateDepth() > 0) return;
  if (!FSTFilter->Visible() || !FilterCellShown(FImpl->FFilterCol) || !FImpl->FInFilterRow) {
    LeaveFilterRow();
    return;
  }
  TInplaceFilterEditEh* e = EnsureFilterEditor();
  if (!EditorAllowedNow()) {
    HideFilterEditor();
    return;
  }
  if (Initial) {
    e->HideInplace();
    PrepareFilterRowEditor(FImpl->FFilterCol);
  }
  TRect r = CellRect(DataToRawColumn(FImpl->FFilterCol), TopDataOffset() - 1);
  if (!IsRectEmpty(r)) r.Left += 1;
  e->MoveInplace(r, Initial);
  if (!e->ShownInplace()) return;  // the cell is scrolled out of view
  if (!e->Focused() && e->CanFocus()) e->SetFocus();
  if (Initial) e->SelectAll();
  SendMessage(e->Handle(), EM_SCROLLCARET, 0, 0);
}

void TCustomDBGridEh::PrepareFilterRowEditor(int DataCol) {
  TInplaceFilterEditEh* e = EnsureFilterEditor();
  TColumnEh* column = Columns()->Items(DataCol);
  TSTColumnFilterEh* filter = column->STFilter();
  e->Items()->Clear();
  FImpl->FFilterItemCodes.clear();
  if (filter->ListSource() || MemTableSupport()) {
    e->OnCloseUp = TCloseUpEventEh(this, &TCustomDBGridEh::FilterListCloseUp);
    e->OnBeforeCloseUp = TBeforeCloseUpEventEh(this, &TCustomDBGridEh::FilterListClosingUp);
    e->OnNeedItems = TNeedItemsEventEh(this, &TCustomDBGridEh::FilterListNeedItems);
    e->OnButtonClick = nullptr;
    e->EditButton()->SetVisible(true);
    e->DropDownBox()->SetSizable(true);
    e->DropDownBox()->SetWidth(filter->DropDownWidth() > 0 ? filter->DropDownWidth() : kFilterListWidth);
    e->DropDownBox()->SetRows(filter->DropDownRows() > 0 ? filter->DropDownRows() : kFilterListRows);
    // Over looked-up keys the editor shows the condition's display text for them.
    e->ShowKeyValueText(VarIsNull(filter->KeyValues()) ? Null() : filter->KeyValues(), FilterRowText(DataCol));
  } else {
    e->OnCloseUp = nullptr;
    e->OnBeforeCloseUp = nullptr;
    e->OnNeedItems = nullptr;
    e->EditButton()->SetVisible(false);
    e->ShowKeyValueText(Null(), FilterRowText(DataCol));
  }
}

void TCustomDBGridEh::StoreFilterRowText(int DataCol) {
  if (!FImpl->FFilterEdit || DataCol < 0 || DataCol >= Columns()->Count()) return;
  TColumnEh* column = Columns()->Items(DataCol);
  if (column->FieldName().empty()) return;
  column->STFilter()->SetExpressionText(FImpl->FFilterEdit->Text());
}

void TCustomDBGridEh::HideFilterEditor() {
  if (!FilterEditorShown()) return;
  if (FImpl->FFilterEdit->Focused() && Visible() && CanFocus()) SetFocus();
  FImpl->FFilterEdit->HideInplace();
  const int col = FImpl->FFilterCol;
  // A condition that does not parse is reported; its cell shows the typed text all the same.
  TScopeExit repaint([&] { InvalidateFilterCell(col); });
  StoreFilterRowText(col);
}

void TCustomDBGridEh::LeaveFilterRow() {
  if (FSTFilter->UpdateDepth() > 0) return;
  const bool wasIn = FImpl->FInFilterRow;
  TryFinally([&] { HideFilterEditor(); },
             [&] {
               FImpl->FInFilterRow = false;
               if (!wasIn) return;
               if (FOptions.Contains(dgAlwaysShowEditor))
                 OpenEditor();
               else
                 HideEditor();
             });
}

// ================================================================ the drop-down

TCustomDBGridEh::TFilterChoiceEh TCustomDBGridEh::FilterListItemCode(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FImpl->FFilterItemCodes.size())) return fcValueEh;
  return FImpl->FFilterItemCodes[static_cast<std::size_t>(Index)];
}

int TCustomDBGridEh::FillFilterList() {
  if (!FImpl->FFilterEdit || FImpl->FFilterCol < 0 || FImpl->FFilterCol >= Columns()->Count()) return 0;
  TColumnEh* column = Columns()->Items(FImpl->FFilterCol);
  TSTColumnFilterEh* filter = column->STFilter();
  IMemTableDataFieldValueListEh* values = column->FilterValueList();
  if (!values) {
    if (filter->ListSource())
      values = filter->ValueList().get();  // the filter keeps the list alive
    else if (IMemTableEh* table = MemTableSupport())
      values = table->DistinctValueList(column->FieldName());
    column->SetFilterValueList(values);
  }
  TStrings* items = FImpl->FFilterEdit->Items();
  FImpl->FFilterItemCodes.clear();
  items->BeginUpdate();
  TScopeExit end([&] { items->EndUpdate(); });
  items->Clear();
  if (TStrings* list = values ? values->ValueList() : nullptr) items->Assign(list);
  FImpl->FFilterItemCodes.assign(static_cast<std::size_t>(items->Count()), fcValueEh);
  auto add = [&](const char* Text, TFilterChoiceEh Code) {
    items->Add(Text);
    FImpl->FFilterItemCodes.push_back(Code);
  };
  add(SEmptyValueEh, fcEmptyEh);
  add(SNotEmptyValueEh, fcNotEmptyEh);
  add(SAllValuesEh, fcAllEh);
  add(SClearFilterEh, fcClearFilterEh);
  if (FOptionsEh.Contains(dghAutoSortMarking) && column->Title()->TitleButton()) {
    add("-", fcSeparatorEh);
    add(SSortAscendingEh, fcSortAscendingEh);
    add(SSortDescendingEh, fcSortDescendingEh);
  }
  return items->Count();
}

int TCustomDBGridEh::FilterListNeedItems(TObject*) { return FillFilterList(); }

void TCustomDBGridEh::FilterListClosingUp(TObject*, bool& Accept) {
  FImpl->FFilterChoice = fcValueEh;
  TPopupListboxEh* list = FImpl->FFilterEdit ? FImpl->FFilterEdit->PopupList() : nullptr;
  if (!list || FImpl->FFilterCol < 0 || FImpl->FFilterCol >= Columns()->Count()) return;
  TSTColumnFilterEh* filter = Columns()->Items(FImpl->FFilterCol)->STFilter();
  filter->SetDropDownWidth(list->Width());
  filter->SetDropDownRows(list->VisibleRows());
  if (!Accept) return;
  FImpl->FFilterChoice = FilterListItemCode(list->ItemIndex());
  if (FImpl->FFilterChoice != fcValueEh) Accept = false;  // a special choice never becomes the text
}

void TCustomDBGridEh::FilterListCloseUp(TObject*, bool Accept) {
  const TFilterChoiceEh choice = FImpl->FFilterChoice;
  FImpl->FFilterChoice = fcValueEh;
  const bool onCloseUp = FImpl->FStyle && FImpl->FStyle->ApplyFilterOnCloseUp();
  if (choice == fcValueEh) {
    if (Accept && onCloseUp) ApplyFilter();
    return;
  }
  TColumnEh* column =
      FImpl->FFilterCol >= 0 && FImpl->FFilterCol < Columns()->Count() ? Columns()->Items(FImpl->FFilterCol) : nullptr;
  if (choice > fcSeparatorEh) {
    for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->Title()->SetSortMarker(smNoneEh);
    SortMarkedColumns()->Clear();
  }
  switch (choice) {
    case fcEmptyEh: FImpl->FFilterEdit->ShowKeyValueText(Null(), "=Null"); break;
    case fcNotEmptyEh: FImpl->FFilterEdit->ShowKeyValueText(Null(), "<>Null"); break;
    case fcAllEh: FImpl->FFilterEdit->ShowKeyValueText(Null(), String()); break;
    case fcClearFilterEh: ClearAllFilters(); break;
    case fcSortAscendingEh:
      if (column) column->Title()->SetSortMarker(smDownEh);
      break;
    case fcSortDescendingEh:
      if (column) column->Title()->SetSortMarker(smUpEh);
      break;
    default: break;
  }
  if (choice == fcClearFilterEh || (choice <= fcAllEh && onCloseUp)) ApplyFilter();
  if (choice > fcSeparatorEh) SortMarkingChanged();
}

// ================================================================ keys and presses

void TCustomDBGridEh::FilterEditKeyPress(TObject*, Char& Key) {
  if (Key != 13) return;
  Key = 0;
  ApplyFilter();
}

bool TCustomDBGridEh::InplaceEditWantsTab(TControl*) { return FOptions.Contains(dgTabs); }

void TCustomDBGridEh::GetMouseDownInfo(TPoint& Pos, DWORD& Time) {
  if (!FImpl->FMouseDownKept) {
    Pos = {-1, -1};
    Time = 0;
    return;
  }
  // Each press is given once: a later press is not a double click with it.
  Pos = ClientToScreen(FImpl->FMouseDownPos);
  Time = FImpl->FMouseDownTime;
  FImpl->FMouseDownKept = false;
}

void TCustomDBGridEh::InplaceEditKeyDown(TControl* Edit, Word& Key, TShiftState Shift) {
  if (!FImpl->FFilterEdit || Edit != FImpl->FFilterEdit || FImpl->FFilterEdit->ListVisible()) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  const int caret = FImpl->FFilterEdit->CaretPos();
  const bool atStart = caret <= 0;
  const bool atEnd = caret >= Length(FImpl->FFilterEdit->Text());
  switch (Key) {
    case VK_LEFT:
      if (ctrl || atStart) MoveToFilterCell(ctrl ? fsFirstEh : fsPriorEh);
      break;
    case VK_RIGHT:
      if (ctrl || atEnd) MoveToFilterCell(ctrl ? fsLastEh : fsNextEh);
      break;
    case VK_HOME:
      if (ctrl || atStart) MoveToFilterCell(fsFirstEh);
      break;
    case VK_END:
      if (ctrl || atEnd) MoveToFilterCell(fsLastEh);
      break;
    case VK_TAB:
      if (!FOptions.Contains(dgTabs)) break;
      MoveToFilterCell(Shift.Contains(ssShift) ? fsPriorEh : fsNextEh);
      Key = 0;
      break;
    case VK_UP:
      if (Plain(Shift)) Key = 0;
      break;
    case VK_DOWN:
      if (!(Plain(Shift) || Shift == TShiftState{ssCtrl}) || !FDataLink->Active() || !DataSet()) break;
      if (!FOptions.Contains(dgRowSelect)) MoveToColumn(DataToRawColumn(FImpl->FFilterCol));
      if (Plain(Shift)) DataSet()->MoveBy(-FDataLink->ActiveRecord());  // to the first record shown
      LeaveFilterRow();
      Key = 0;
      break;
    case VK_F2:
      FImpl->FFilterEdit->SetSelStart(Length(FImpl->FFilterEdit->Text()));
      FImpl->FFilterEdit->SetSelLength(0);
      Key = 0;
      break;
    default: break;
  }
}

void TCustomDBGridEh::MoveToFilterCell(TFilterCellStepEh Step) {
  const int count = Columns()->Count();
  if (count == 0) return;
  int dir = 1, c = 0;
  switch (Step) {
    case fsNextEh:
    case fsPriorEh:
      dir = Step == fsNextEh ? 1 : -1;
      c = FImpl->FFilterCol + dir;
      // One wrap around the ends, then a plain walk.
      if (c >= count) c = 0;
      else if (c < 0) c = count - 1;
      if (c == FImpl->FFilterCol) return;
      break;
    case fsFirstEh: dir = 1, c = 0; break;
    case fsLastEh: dir = -1, c = count - 1; break;
  }
  while (c >= 0 && c < count && !FilterCellShown(c)) c += dir;
  if (c < 0 || c >= count) return;
  OpenFilterEditor(c);
}

bool TCustomDBGridEh::EnterFilterRowByKey(Word& Key, TShiftState Shift) {
  if (Key != VK_UP || !FSTFilter->Visible() || !FDataLink->Active() || !DataSet()) return false;
  const bool ctrl = Shift == TShiftState{ssCtrl};
  if (!Plain(Shift) && !ctrl) return false;
  TDataSet* ds = DataSet();
  if (!ctrl && !(ds->Bof() || ds->RecNo() == 1)) return false;
  int col = SelectedIndex();
  if (FOptions.Contains(dgRowSelect)) {
    // From the last filter column on; from the first column shown when that one is out of view.
    int from = std::max(0, FImpl->FFilterCol);
    int raw = DataToRawColumn(from);
    if (raw >= FixedCols() && (raw < LeftCol() || raw >= LeftCol() + VisibleColCount()))
      from = RawToDataColumn(LeftCol());
    col = from;
    while (col < Columns()->Count() && !FilterCellShown(col)) ++col;
  }
  OpenFilterEditor(col);
  if (!FImpl->FInFilterRow) return false;
  Key = 0;
  return true;
}

bool TCustomDBGridEh::FilterRowPress(TMessage& M) {
  if (Designing() || FilterRowCount() == 0) return false;
  TPoint p = PointFromLParam(M.LParam);
  TGridCoord cell = MouseCoord(p.X, p.Y);
  if (cell.X < 0 || cell.Y < 0) return false;
  int dataCol = 0, dataRow = 0;
  int type = GetCellType(cell.X, cell.Y, dataCol, dataRow);
  if ((type >> 8) != raFilter || (type & 0xFF) != caData || !FilterCellShown(dataCol)) return false;
  if (FOptionsEh.Contains(dghClearSelection)) FSelection->Reset();
  OpenFilterEditor(dataCol);
  if (M.Msg == WM_LBUTTONDOWN && FilterEditorShown()) {
    TPoint q = FImpl->FFilterEdit->ScreenToClient(ClientToScreen(p));
    FImpl->FFilterEdit->Perform(WM_LBUTTONDOWN, M.WParam, MakeLParam(q.X, q.Y));
  }
  // Kept after the editor had the press, so that only a second press completes a double click.
  FImpl->FMouseDownPos = p;
  FImpl->FMouseDownTime = GetMessageTime();
  FImpl->FMouseDownKept = true;
  return true;
}
