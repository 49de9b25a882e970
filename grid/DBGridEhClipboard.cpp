// The grid's copy, cut, paste and delete of its selection.
#include "grid/DBGridEhImpExp.h"
#include "grid/GridUtilsEh.h"
#include "gui/Clipbrd.h"
#include "gui/Dialogs.h"

const char* const SDeleteRecordQuestion = "Delete record?";
const char* const SDeleteMultipleRecordsQuestion = "Delete all selected records?";

UINT VcldbifClipboardFormat() {
  static const UINT f = RegisterClipboardFormat("VCLDBIF");
  return f;
}

UINT CsvClipboardFormat() {
  static const UINT f = RegisterClipboardFormat("Csv");
  return f;
}

UINT RtfClipboardFormat() {
  static const UINT f = RegisterClipboardFormat("Rich Text Format");
  return f;
}

namespace {

// Closes the clipboard when the scope ends, also on failure.
struct TClipboardOpen {
  TClipboardOpen() { Clipboard()->Open(); }
  ~TClipboardOpen() { Clipboard()->Close(); }
};

// One export into Stream, emptied first.
void ExportInto(TDBGridEhExport* Exporter, TCustomDBGridEh* Grid, TMemoryStreamEh& Stream, bool AllRecords) {
  Stream.Clear();
  std::unique_ptr<TDBGridEhExport> e(Exporter);
  e->SetDBGrid(Grid);
  e->SetEncoding(teUtf8);
  e->ExportGridToStream(&Stream, AllRecords);
}

String Bytes(TMemoryStreamEh& Stream) {
  return String(static_cast<const char*>(Stream.Memory()), static_cast<std::size_t>(Stream.Size()));
}

bool ActiveDataSet(TCustomDBGridEh* Grid) { return Grid->DataSet() && Grid->DataSet()->Active(); }

}  // namespace

void CopyGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid) {
  if (!ActiveDataSet(DBGridEh)) return;
  TClipboardOpen open;
  TGridWalkScopeEh controls(DBGridEh, false);
  TMemoryStreamEh ms;
  ms.SetHalfMemoryDelta(32768);  // 64 KiB steps
  ExportInto(new TDBGridEhExportAsText(), DBGridEh, ms, ForWholeGrid);
  Clipboard()->SetAsText(Bytes(ms));
  ExportInto(new TDBGridEhExportAsCSV(), DBGridEh, ms, ForWholeGrid);
  Clipboard()->SetAsBytes(CsvClipboardFormat(), ms.Memory(), static_cast<std::size_t>(ms.Size()));
  ExportInto(new TDBGridEhExportAsRTF(), DBGridEh, ms, ForWholeGrid);
  Clipboard()->SetAsBytes(RtfClipboardFormat(), ms.Memory(), static_cast<std::size_t>(ms.Size()));
  ExportInto(new TDBGridEhExportAsVCLDBIF(), DBGridEh, ms, ForWholeGrid);
  Clipboard()->SetAsBytes(VcldbifClipboardFormat(), ms.Memory(), static_cast<std::size_t>(ms.Size()));
}

void CutGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid) {
  CopyGridSelection(DBGridEh, ForWholeGrid);
  DeleteGridSelection(DBGridEh, ForWholeGrid);
}

void PasteIntoGrid(TCustomDBGridEh* DBGridEh, bool ForWholeGrid) {
  if (!ActiveDataSet(DBGridEh)) return;
  TClipboardOpen open;
  TClipboard* cb = Clipboard();
  std::unique_ptr<TDBGridEhImport> importer;
  TMemoryStream ms;
  if (cb->HasFormat(VcldbifClipboardFormat())) {
    TBytes data = cb->GetAsBytes(VcldbifClipboardFormat());
    ms.WriteBuffer(data.data(), static_cast<Int64>(data.size()));
    importer = std::make_unique<TDBGridEhImportAsVCLDBIF>();
  } else if (cb->HasFormat(CF_TEXT)) {
    String text = cb->AsText();
    ms.WriteBuffer(text.data(), static_cast<Int64>(text.size()));
    importer = std::make_unique<TDBGridEhImportAsText>();
    importer->SetEncoding(teUtf8);
  } else {
    return;
  }
  ms.SetPosition(0);
  importer->SetDBGrid(DBGridEh);
  importer->ImportGridFromStream(&ms, ForWholeGrid);
}

// ================================================================ delete

namespace {

// Clears what the column shows in the current record, when it may be edited.
void ClearColumnField(TColumnEh* Column) {
  if (!Column->IsEditable(false)) return;
  TField* f = Column->Field();
  if (!f || !f->DataSet()) return;
  TDataSet* ds = f->DataSet();
  std::vector<TField*> targets{f};
  if (f->Lookup()) {
    targets.clear();
    ds->GetFieldList(targets, f->KeyFields());
  }
  if (!ds->CanModify()) return;
  if (ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
  if (ds->State() == dsEdit || ds->State() == dsInsert)
    for (TField* t : targets) t->Clear();
}

// Clears the columns in the current record and posts it; a failure cancels the record.
void ClearRecord(TDataSet* DS, const std::vector<TColumnEh*>& Columns) {
  try {
    for (TColumnEh* c : Columns) ClearColumnField(c);
    if (DS->State() == dsEdit || DS->State() == dsInsert) DS->Post();
  } catch (...) {
    if (DS->State() == dsEdit || DS->State() == dsInsert) DS->Cancel();
    throw;
  }
}

String DeleteQuestion(TCustomDBGridEh* Grid, TDBGridEhSelectionType Kind) {
  switch (Kind) {
    case gstRecordBookmarks:
      return Grid->SelectedRows()->Count() < 2 ? SDeleteRecordQuestion : SDeleteMultipleRecordsQuestion;
    case gstRectangle:
    case gstColumns: return SClearSelectedCellsEh;
    default: return SDeleteMultipleRecordsQuestion;
  }
}

void DeleteRecords(TCustomDBGridEh* Grid) {
  TDataSet* ds = Grid->DataSet();
  std::vector<String> marks;
  for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) marks.push_back(Grid->SelectedRows()->Items(i));
  for (const String& b : marks) {
    if (!ds->BookmarkValid(b)) continue;
    ds->GotoBookmark(b);
    ds->Delete();
  }
  Grid->Selection()->Reset();
}

void ClearRectangle(TCustomDBGridEh* Grid) {
  TDataSet* ds = Grid->DataSet();
  TDBGridEhSelectionRect* rect = Grid->Selection()->CellRange();
  std::vector<TColumnEh*> cols;
  for (int i = rect->LeftColumnIndex(); i <= rect->RightColumnIndex(); ++i)
    if (Grid->Columns()->Items(i)->Visible()) cols.push_back(Grid->Columns()->Items(i));
  String bottom = rect->BottomRowBookmark();
  ds->GotoBookmark(rect->TopRowBookmark());
  while (!ds->Eof()) {
    ClearRecord(ds, cols);
    if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
    ds->Next();
  }
}

void ClearColumns(TCustomDBGridEh* Grid) {
  TDataSet* ds = Grid->DataSet();
  std::vector<TColumnEh*> cols;
  TDBGridEhSelectionCols* set = Grid->Selection()->ColumnSet();
  for (int i = 0; i < set->Count(); ++i) cols.push_back(set->Items(i));
  for (ds->First(); !ds->Eof(); ds->Next()) ClearRecord(ds, cols);
}

}  // namespace

void DeleteGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid) {
  if (!ActiveDataSet(DBGridEh)) return;
  TDataSet* ds = DBGridEh->DataSet();
  TDBGridEhSelectionType kind = ForWholeGrid ? gstAll : DBGridEh->Selection()->SelectionKind();
  if (kind == gstNon) return;
  if (kind == gstRectangle) {
    // A block whose corner record is gone is not cleared down to some other end.
    TDBGridEhSelectionRect* rect = DBGridEh->Selection()->CellRange();
    if (!ds->BookmarkValid(rect->TopRowBookmark()) || !ds->BookmarkValid(rect->BottomRowBookmark())) return;
  }
  if (DBGridEh->Options().Contains(dgConfirmDelete) &&
      MessageDlg(DeleteQuestion(DBGridEh, kind), mtConfirmation, mbOKCancel, 0) != mrOk)
    return;
  bool keepPosition = kind == gstRectangle || kind == gstColumns;
  TGridWalkScopeEh scope(DBGridEh, keepPosition);
  switch (kind) {
    case gstRecordBookmarks: DeleteRecords(DBGridEh); break;
    case gstRectangle: ClearRectangle(DBGridEh); break;
    case gstColumns: ClearColumns(DBGridEh); break;
    case gstAll:
      for (ds->First(); !ds->IsEmpty();) ds->Delete();
      break;
    case gstNon: break;
  }
}

bool ExecuteGridEditAction(TCustomDBGridEh* DBGridEh, TDBGridEhEditAction Action) {
  if (!DBGridEh->EditActions().Contains(Action)) return false;
  switch (Action) {
    case geaCutEh: CutGridSelection(DBGridEh, false); break;
    case geaCopyEh: CopyGridSelection(DBGridEh, false); break;
    case geaPasteEh: PasteIntoGrid(DBGridEh, false); break;
    case geaDeleteEh: DeleteGridSelection(DBGridEh, false); break;
    case geaSelectAllEh: DBGridEh->Selection()->SelectWholeGrid(); break;
  }
  return true;
}
