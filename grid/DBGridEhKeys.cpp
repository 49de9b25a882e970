// The grid's keyboard: record and column navigation with selection extension, deleting with
// confirmation, appending at the end, and the incremental search with its keys and time-out.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhImpExp.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/Application.h"
#include "core/Scope.h"

#include <cassert>
#include <cstdlib>
#include <optional>

namespace {

constexpr UINT_PTR kIncSearchTimer = 2;
constexpr Word kCopyFromAboveKey = kCopyFromAboveShortCutEh & 0xFF;

bool Plain(TShiftState Shift) { return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt); }

bool UntouchedInsert(TDataSet* ds, TGridDataLinkEh* link) {
  return ds->State() == dsInsert && !ds->Modified() && !link->Modified();
}

struct TSearchingScope {
  bool& Flag;
  explicit TSearchingScope(bool& AFlag) : Flag(AFlag) { Flag = true; }
  ~TSearchingScope() { Flag = false; }
};

}  // namespace

bool TCustomDBGridEh::SelectionKindAllowed(TDBGridEhSelectionType Kind) const {
  if (!FOptions.Contains(dgMultiSelect) || !FImpl->FAllowedSelections.Contains(Kind)) return false;
  if (Kind == gstRectangle || Kind == gstColumns) return !FOptions.Contains(dgRowSelect);
  return true;
}

// ---------------------------------------------------------------- key down

void TCustomDBGridEh::KeyDown(Word& Key, TShiftState Shift) {
  FImpl->FKeepSelection = Shift.Contains(ssCtrl) || !FOptionsEh.Contains(dghClearSelection);
  TCustomControl::KeyDown(Key, Shift);  // OnKeyDown may take the key
  if (!Key) return;
  if (EnterFilterRowByKey(Key, Shift)) return;
  if (BiDiMode() == bdRightToLeft) {
    if (Key == VK_LEFT) Key = VK_RIGHT;
    else if (Key == VK_RIGHT) Key = VK_LEFT;
  }
  // The base grid's own key handling is not used: without a link the keys do nothing.
  if (!FDataLink->Active() || !DataSet()) return;
  if (SearchKey(Key, Shift)) return;
  if (Shift.Contains(ssCtrl)) CtrlKey(Key, Shift);
  else PlainKey(Key, Shift);
  if (Key == VK_DELETE && !Shift.Contains(ssCtrl) && !FOptions.Contains(dgRowSelect)) {
    TColumnEh* c = CurrentColumn();
    if (c && (c->ColumnKind() == ckImage || c->ColumnKind() == ckCheckbox) && c->Field() && !c->Field()->Required() &&
        c->IsEditable(true))
      c->Field()->Clear();
  }
}

bool TCustomDBGridEh::StartFind(const String& Text) {
  bool dialog = FOptionsEh.Contains(dghDialogFind);
  if (FOptionsEh.Contains(dghIncSearch) && !(FImpl->FIncSearchActive && dialog)) {
    StopIncSearch();
    IncSearch(String(), -1, 0);
    return true;
  }
  if (!dialog) return false;
  StopIncSearch();
  if (OpenFindDialogHook) OpenFindDialogHook(this, FindDialogModal(), Text);
  return true;
}

// Ctrl+', Ctrl+F and the keys of a running search; true when the key was taken.
bool TCustomDBGridEh::SearchKey(Word& Key, TShiftState Shift) {
  bool ctrl = Shift.Contains(ssCtrl);
  if (ctrl && Key == 'F') {
    StartFind(String());
    Key = 0;
    return true;
  }
  if (!FImpl->FIncSearchActive) return false;
  if (Plain(Shift) && (Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_F2)) {
    StopIncSearch();
    return false;
  }
  if (Plain(Shift) && Key == VK_BACK) {
    // One character, however many bytes it takes.
    FImpl->FIncSearchText = Copy(FImpl->FIncSearchText, 1, std::max(0, Length(FImpl->FIncSearchText) - 1));
    InvalidateCurrentRow();
    if (FImpl->FIncSearchTimeOut >= 0 && HandleAllocated())
      SetTimer(Handle(), kIncSearchTimer, FImpl->FIncSearchTimeOut);
    Key = 0;
    return true;
  }
  if (ctrl && Key == VK_RETURN) {
    IncSearch(String(), FImpl->FIncSearchTimeOut, Shift.Contains(ssShift) ? 2 : 1);
    Key = 0;
    return true;
  }
  if ((ctrl && Key == 'V') || (Shift.Contains(ssShift) && !ctrl && Key == VK_INSERT)) {
    IncSearch(Clipboard()->AsText(), FImpl->FIncSearchTimeOut, 0);
    Key = 0;
    return true;
  }
  return false;
}

void TCustomDBGridEh::CtrlKey(Word& Key, TShiftState Shift) {
  TDataSet* ds = DataSet();
  bool shift = Shift.Contains(ssShift);
  bool extend = shift && FOptions.Contains(dgMultiSelect);
  bool vertical = Key == VK_HOME || Key == VK_END || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
  if (vertical && !shift && FOptionsEh.Contains(dghClearSelection)) FSelection->Reset();
  bool rows = FOptions.Contains(dgRowSelect);
  int firstShown = -FDataLink->ActiveRecord();
  int lastShown = FDataLink->RecordCount() - 1 - FDataLink->ActiveRecord();
  switch (Key) {
    case VK_UP:
    case VK_PRIOR: MoveByRows(extend, firstShown, rows, false); break;
    case VK_DOWN:
    case VK_NEXT: MoveByRows(extend, lastShown, rows, false); break;
    case VK_HOME:
      if (extend) MoveByRows(true, -1, rows, true);
      else ds->First();
      break;
    case VK_END:
      if (extend) MoveByRows(true, 1, rows, true);
      else ds->Last();
      break;
    case VK_LEFT: MoveToDataColumn(0, 1, false); break;
    case VK_RIGHT: MoveToDataColumn(FColumns->Count() - 1, -1, false); break;
    case VK_DELETE:
      if (!(FImpl->FEditActions.Contains(geaDeleteEh) && CanDeleteSelection() &&
            ExecuteGridEditAction(this, geaDeleteEh)))
        ConfirmDelete();
      break;
    case 'C':
    case VK_INSERT:
      if (!CanCopySelection()) return;
      ExecuteGridEditAction(this, geaCopyEh);
      break;
    case 'X':
      if (!CanCutSelection()) return;
      ExecuteGridEditAction(this, geaCutEh);
      break;
    case 'V':
      if (!CanPasteSelection()) return;
      ExecuteGridEditAction(this, geaPasteEh);
      break;
    case 'A':
      if (CanSelectAll() && SelectionKindAllowed(gstAll) && FImpl->FEditActions.Contains(geaSelectAllEh))
        FSelection->SelectWholeGrid();
      break;
    case kCopyFromAboveKey: CopyFromRecordAbove(); break;
    default: return;
  }
  Key = 0;
}

void TCustomDBGridEh::PlainKey(Word& Key, TShiftState Shift) {
  bool shift = Shift.Contains(ssShift);
  bool extend = shift && FOptions.Contains(dgMultiSelect);
  bool rows = FOptions.Contains(dgRowSelect);
  switch (Key) {
    case VK_TAB:
      if (Shift.Contains(ssAlt) || !FOptions.Contains(dgTabs)) return;
      StepColumn(!shift);
      break;
    case VK_RETURN:
      if (!FOptionsEh.Contains(dghEnterAsTab)) return;
      StepColumn(!shift);
      break;
    case VK_ESCAPE:
      FDataLink->ResetRecord();
      FSelection->Reset();
      if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
      // A running sizing, moving, selecting or record drag ends unaccepted.
      if (FImpl->FMouseMode != mmNone || FImpl->FTracking || FImpl->FRowTracking || FImpl->FPressedTitle >= 0 ||
          GridState() != gsNormal)
        Perform(WM_CANCELMODE);
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      int page = std::max(1, VisibleDataRowCount());
      if (!extend) FSelection->Reset();
      MoveByRows(extend, Key == VK_PRIOR ? -page : page, !SelectionKindAllowed(gstRectangle), false);
      break;
    }
    case VK_HOME:
    case VK_END: {
      bool toLast = Key == VK_END;
      if (FVisibleColumns->Count() > 1 && !rows) {
        MoveToDataColumn(toLast ? FColumns->Count() - 1 : 0, toLast ? -1 : 1, extend);
      } else {
        if (!extend) FSelection->Reset();
        MoveByRows(extend, toLast ? 1 : -1, rows, true);
      }
      break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
      bool right = Key == VK_RIGHT;
      if (rows) {
        int first = std::max(FixedCols(), IndicatorOffset());
        if (!right && LeftCol() > first) SetLeftCol(LeftCol() - 1);
        if (right && LeftCol() + VisibleColCount() < ColCount()) SetLeftCol(LeftCol() + 1);
      } else {
        if (!extend) FSelection->Reset();
        MoveToDataColumn(SelectedIndex() + (right ? 1 : -1), right ? 1 : -1, extend);
      }
      break;
    }
    case VK_UP:
    case VK_DOWN: VerticalKey(Key, Shift); break;
    case VK_INSERT: {
      TDataSet* ds = DataSet();
      if (shift) {  // Shift+Insert pastes (incremental search took it already when active)
        if (!CanPasteSelection()) return;
        ExecuteGridEditAction(this, geaPasteEh);
        break;
      }
      if ( !ds->CanModify() || FImpl->FReadOnly || !FOptions.Contains(dgEditing)) return;
      FSelection->Reset();
      if (FImpl->FAllowedOperations.Contains(alopInsertEh)) ds->Insert();
      else if (FImpl->FAllowedOperations.Contains(alopAppendEh)) ds->Append();
      break;
    }
    case VK_F2: SetEditorMode(true); break;
    default: return;
  }
  Key = 0;
}

void TCustomDBGridEh::VerticalKey(Word Key, TShiftState Shift) {
  TDataSet* ds = DataSet();
  bool extend = Shift.Contains(ssShift) && FOptions.Contains(dgMultiSelect);
  bool rows = FOptions.Contains(dgRowSelect) || !SelectionKindAllowed(gstRectangle);
  bool atEnd = FDataLink->ActiveRecord() >= FDataLink->RecordCount() - 1;
  if (UntouchedInsert(ds, FDataLink.get())) {
    // A new record nobody typed into goes away instead of being posted empty.
    if (Key == VK_UP ? atEnd : !atEnd) ds->Cancel();
    if (Key == VK_DOWN || atEnd) return;
  }
  MoveByRows(extend, Key == VK_UP ? -1 : 1, rows, false);
  if (Key == VK_DOWN && ds->Eof() && ds->CanModify() && !FImpl->FReadOnly && FOptions.Contains(dgEditing) &&
      FImpl->FAllowedOperations.Contains(alopAppendEh))
    ds->Append();
}

void TCustomDBGridEh::ConfirmDelete() {
  TDataSet* ds = DataSet();
  if (FImpl->FReadOnly || ds->IsEmpty() || !ds->CanModify() || !FImpl->FAllowedOperations.Contains(alopDeleteEh))
    return;
  TBookmarkListEh* rows = SelectedRows();
  const char* question = rows->Count() < 2 ? "Delete record?" : "Delete all selected records?";
  if (FOptions.Contains(dgConfirmDelete) &&
      Application->MessageBox(question, "Confirm", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
    return;
  if (rows->Count() > 0) rows->DeleteSelected();
  else ds->Delete();
}

void TCustomDBGridEh::CopyFromRecordAbove() {
  TColumnEh* c = CurrentColumn();
  TField* f = c ? c->Field() : nullptr;
  if (!f || FDataLink->ActiveRecord() == 0 || !c->IsEditable(true)) return;
  Variant value;
  {
    TActiveRecordScopeEh scope(FDataLink.get(), FDataLink->ActiveRecord() - 1);
    value = f->FieldKind() == fkLookup ? DataSet()->FieldValues(f->KeyFields()) : f->Value();
  }
  FDataLink->Edit();
  if (f->FieldKind() == fkLookup) DataSet()->SetFieldValues(f->KeyFields(), value);
  else f->SetValue(value);
  FSelection->Reset();
  SetEditorMode(true);
  if (InplaceEditor()) InplaceEditor()->SelectAll();
}

// ---------------------------------------------------------------- moving

void TCustomDBGridEh::StepColumn(bool Forward) {
  FSelection->Reset();
  int count = FColumns->Count();
  if (count == 0) return;
  int start = std::clamp(SelectedIndex(), 0, count - 1), i = start, records = 0;
  do {
    i += Forward ? 1 : -1;
    if (i >= count || i < 0) {
      i = Forward ? 0 : count - 1;
      ++records;
    }
    if (i == start) break;
  } while (!TabStops(DataToRawColumn(i)));
  if (i == start) return;
  if (records > 0) {
    VerticalKey(Forward ? VK_DOWN : VK_UP, TShiftState());
  }
  MoveToDataColumn(i, 0, false);
}

void TCustomDBGridEh::MoveToDataColumn(int DataCol, int Direction, bool Extend) {
  int count = FColumns->Count();
  if (count == 0) return;
  if (Extend && SelectionKindAllowed(gstRectangle) && FSelection->SelectionKind() != gstRectangle)
    FSelection->CellRange()->ExtendTo(SelectedIndex(), DataSet()->Bookmark(), false);
  FDataLink->UpdateRecord();
  DataCol = std::clamp(DataCol, 0, count - 1);
  if (Direction != 0)
    while (DataCol >= 0 && DataCol < count &&
           (!FColumns->Items(DataCol)->Visible() || ColWidths(DataToRawColumn(DataCol)) <= 0))
      DataCol += Direction;
  if (DataCol < 0 || DataCol >= count) return;
  if (DataCol != SelectedIndex()) {
    if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
    MoveToColumn(DataToRawColumn(DataCol));
  }
  if (Extend && SelectionKindAllowed(gstRectangle))
    FSelection->CellRange()->ExtendTo(SelectedIndex(), DataSet()->Bookmark(), true);
  StopIncSearch();
}

void TCustomDBGridEh::MoveByRows(bool Extend, int Distance, bool RowMode, bool ToTheEnd) {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds || (Distance == 0 && !ToTheEnd)) return;
  int dir = Distance < 0 ? -1 : 1;
  if (RowMode || FOptions.Contains(dgRowSelect)) {
    bool extend = Extend && SelectionKindAllowed(gstRecordBookmarks);
    if (FOptions.Contains(dgMultiSelect) && !extend) {
      FSelection->Reset();
      FImpl->FRowAnchor.clear();
    }
    int left = std::abs(Distance);
    // Long extensions walk without repainting the grid at every record.
    std::optional<TControlsHold> off;
    if (ToTheEnd || left > 1) off.emplace(ds);
    bool away = false;  // once moving away from the anchor, every later step does too
    {
      // While the controls are held the grid still stands on the row it showed, and releasing
      // them repaints it whole: invalidating that one row at every record walked is no use.
      TRestore held(FImpl->FRowRepaintHeld, off.has_value());
      while (ToTheEnd || left > 0) {
        bool moved = extend ? ExtendRowStep(dir, FImpl->FKeepSelection, away) : ds->MoveBy(dir) != 0;
        if (!moved) break;
        if (!ToTheEnd) --left;
      }
    }
  } else if (Extend && SelectionKindAllowed(gstRectangle)) {
    if (FSelection->SelectionKind() != gstRectangle)
      FSelection->CellRange()->ExtendTo(SelectedIndex(), ds->Bookmark(), false);
    if (ToTheEnd) dir > 0 ? ds->Last() : ds->First();
    else ds->MoveBy(Distance);
    FSelection->CellRange()->ExtendTo(SelectedIndex(), ds->Bookmark(), true);
  } else {
    if (ToTheEnd) dir > 0 ? ds->Last() : ds->First();
    else ds->MoveBy(Distance);
  }
  if (FImpl->FUpdateLock == 0) Update();
}

// One record of a row extension; false when the dataset could not move further.
bool TCustomDBGridEh::ExtendRowStep(int Dir, bool Keep, bool& Away) {
  TDataSet* ds = DataSet();
  TBookmarkListEh* rows = SelectedRows();
  if (FImpl->FRowAnchor.empty() || FSelection->SelectionKind() != gstRecordBookmarks) {
    FImpl->FRowAnchor = ds->Bookmark();
    FImpl->FRowAnchorSelected = rows->CurrentRowSelected();
    rows->SetCurrentRowSelected(true);
    Away = true;
  } else if (!Away) {
    int cmp = ds->CompareBookmarks(ds->Bookmark(), FImpl->FRowAnchor);
    // A row left on the way back toward the anchor leaves the selection.
    if ((Dir > 0 && cmp < 0) || (Dir < 0 && cmp > 0)) rows->SetCurrentRowSelected(Keep && FImpl->FRowAnchorSelected);
    else Away = true;
  }
  if (ds->MoveBy(Dir) == 0) return false;
  rows->SetCurrentRowSelected(Keep ? !FImpl->FRowAnchorSelected : true);
  return true;
}

// ---------------------------------------------------------------- key press and up

bool TCustomDBGridEh::IncSearchAllowed() const {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || !ds || ds->State() == dsEdit || ds->State() == dsInsert || ds->State() == dsSetKey)
    return false;
  if (FImpl->FIncSearchActive) return true;
  TColumnEh* c = CurrentColumn();
  bool columnEditable = c && c->IsEditable(false) && FOptions.Contains(dgEditing);
  if (FOptionsEh.Contains(dghIncSearch) && !columnEditable) return true;
  return FOptionsEh.Contains(dghPreferIncSearch) && !FOptions.Contains(dgAlwaysShowEditor) &&
         !EditorMode();
}

void TCustomDBGridEh::KeyPress(Char& Key) {
  TColumnEh* c = CurrentColumn();
  bool stepped =
      c && (c->ColumnKind() == ckImage || c->ColumnKind() == ckCheckbox) && !FOptions.Contains(dgRowSelect);
  if (Key == ' ' && stepped && FDataLink->Active()) {
    // Space toggles a check box and steps an image column (back with Shift).
    TCustomControl::KeyPress(Key);
    if (Key) c->StepValue(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    Key = 0;
    return;
  }
  if (FOptionsEh.Contains(dghEnterAsTab) && Key == 13) Key = 9;
  if (Key == 13 && !FOptions.Contains(dgAlwaysShowEditor)) FDataLink->UpdateRecord();
  TCustomControl::KeyPress(Key);
  if (Key < 32 || !IncSearchAllowed()) {
    if (Key) TCustomGrid::KeyPress(Key);
    return;
  }
  String typed;
  AppendUtf8(typed, Key);
  IncSearch(typed, FImpl->FIncSearchActive ? FImpl->FIncSearchTimeOut : kIncSearchTimeOutEh, 0);
  Key = 0;
}

void TCustomDBGridEh::KeyUp(Word& Key, TShiftState Shift) {
  TCustomGrid::KeyUp(Key, Shift);
  if (Key == VK_CONTROL && FImpl->FSortMarkedWithCtrl) {
    FImpl->FSortMarkedWithCtrl = false;
    SortMarkingChanged();
  }
}

// ---------------------------------------------------------------- incremental search

bool TCustomDBGridEh::CellTextMatches(const String& Upper) {
  TColumnEh* c = CurrentColumn();
  if (!c) return false;
  String text = AnsiUpperCase(c->CellText());
  return text.compare(0, Upper.size(), Upper) == 0;
}

// Walks the dataset for a match; the position comes back when nothing matched or the walk
// raised (a field that cannot be read leaves the grid where it was).
bool TCustomDBGridEh::SearchWalk(const String& Upper, int Direction) {
  TDataSet* ds = DataSet();
  TControlsHold off(ds);
  TViewPosition saved = SaveViewPosition();
  bool found = false;
  TryFinally(
      [&] {
        if (Direction == 0) ds->First();
        else ds->MoveBy(Direction == 1 ? 1 : -1);
        bool moved = Direction == 0 || !(Direction == 1 ? ds->Eof() : ds->Bof());
        while (moved && !found) {
          found = CellTextMatches(Upper);
          if (found) break;
          if (Direction == 2) {
            ds->Prior();
            moved = !ds->Bof();
          } else {
            ds->Next();
            moved = !ds->Eof();
          }
        }
      },
      [&] {
        if (!found) RestoreViewPosition(saved);
      });
  return found;
}

// The record near the middle of the rows shown and the current record's distance from it:
// going back to it and moving by the distance shows the current record where it was.
TCustomDBGridEh::TViewPosition TCustomDBGridEh::SaveViewPosition() {
  TViewPosition p;
  int middle = std::max(0, FDataLink->RecordCount() / 2);
  p.Distance = FDataLink->ActiveRecord() - middle;
  TActiveRecordScopeEh scope(FDataLink.get(), middle);
  p.Bookmark = DataSet()->Bookmark();
  return p;
}

void TCustomDBGridEh::RestoreViewPosition(const TViewPosition& P) {
  TDataSet* ds = DataSet();
  if (P.Bookmark.empty() || !ds->BookmarkValid(P.Bookmark)) return;
  ds->GotoBookmark(P.Bookmark);
  if (P.Distance != 0) ds->MoveBy(P.Distance);
}

void TCustomDBGridEh::IncSearch(const String& Text, int TimeOut, int Direction) {
  if (!FDataLink->Active() || !DataSet()) return;
  String candidate = FImpl->FIncSearchText + Text;
  if (!candidate.empty()) {
    TSearchingScope searching(FImpl->FSearching);
    String upper = AnsiUpperCase(candidate);
    bool found = Direction == 0 && CellTextMatches(upper);
    if (!found) found = SearchWalk(upper, Direction);
    if (found) FImpl->FIncSearchText = Copy(CurrentColumn()->CellText(), 1, Length(candidate));
  }
  HideEditor();
  FImpl->FIncSearchActive = true;
  InvalidateCurrentRow();
  FImpl->FIncSearchTimeOut = TimeOut;
  if (TimeOut >= 0 && HandleAllocated()) SetTimer(Handle(), kIncSearchTimer, TimeOut);
}

void TCustomDBGridEh::StopIncSearch() {
  if (!FImpl->FIncSearchActive) return;
  FImpl->FIncSearchActive = false;
  if (HandleAllocated()) KillTimer(Handle(), kIncSearchTimer);
  FImpl->FIncSearchText.clear();
  InvalidateCurrentRow();
  if (FOptions.Contains(dgAlwaysShowEditor) && ShouldShowEditor()) OpenEditor();
}
