// Reading text and the interchange format back into the grid's dataset.
#include "grid/DBGridEhImpExp.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"

#include <cassert>
#include <cstring>


namespace {

bool Editing(TDataSet* DS) { return DS->State() == dsEdit || DS->State() == dsInsert; }

// Cancels the record being written when the import leaves it by an exception, so no record
// is left half written; the exception goes on.
template <class F> void WithinRecord(TDataSet* DS, F&& Body) {
  try {
    Body();
  } catch (...) {
    if (Editing(DS)) DS->Cancel();
    throw;
  }
}

void PostRecord(TDataSet* DS) {
  if (Editing(DS)) DS->Post();
}

}  // namespace

// ================================================================ the import walk

TDBGridEhImport::TDBGridEhImport() : FColumns(std::make_unique<TColumnsEhList>()) {}
TDBGridEhImport::~TDBGridEhImport() = default;

void TDBGridEhImport::ImportGridFromFile(const String& FileName, bool AllRecords) {
  TFileStream file(FileName, fmOpenRead);
  ImportGridFromStream(&file, AllRecords);
}

void TDBGridEhImport::ImportGridFromStream(TStream* AStream, bool AllRecords) {
  assert(FDBGrid);
  FStream = AStream;
  FEof = false;
  TDataSet* ds = FDBGrid->DataSet();
  if (!ds || !ds->Active()) return;
  if (AllRecords) {
    FDBGrid->Selection()->Reset();
    ds->First();
    if (FDBGrid->VisibleColumns()->Count() > 0) FDBGrid->SetSelectedIndex(FDBGrid->VisibleColumns()->Items(0)->Index());
  }
  bool insertMode = ds->State() == dsInsert;
  {
    TGridWalkScopeEh scope(FDBGrid, !insertMode);
    ImportRecords(FDBGrid->Selection()->SelectionKind());
  }
  ParseSuffix();
}

void TDBGridEhImport::ImportRecords(TDBGridEhSelectionType Kind) {
  TDataSet* ds = FDBGrid->DataSet();
  bool insertMode = ds->State() == dsInsert, appendMode = ds->Eof();
  TColumnsEhList* visible = FDBGrid->VisibleColumns();
  FColumns->Clear();
  auto takeVisible = [&](int From, int To) {
    for (int i = From; i <= To && i < visible->Count(); ++i) FColumns->Add(visible->Items(i));
  };
  switch (Kind) {
    case gstNon: {
      int from = visible->IndexOf(FDBGrid->CurrentColumn());
      takeVisible(from < 0 ? 0 : from, visible->Count() - 1);
      ReadPrefix();
      if (insertMode) return InsertRecords(appendMode);
      return ParseToEnd(FDBGrid->AllowedOperations().Contains(alopAppendEh));
    }
    case gstRecordBookmarks: {
      takeVisible(0, visible->Count() - 1);
      ReadPrefix();
      if (insertMode) return InsertRecords(appendMode);
      TBookmarkListEh* rows = FDBGrid->SelectedRows();
      for (int i = 0; i < rows->Count() && !FEof; ++i) {
        if (!ds->BookmarkValid(rows->Items(i))) continue;
        ds->GotoBookmark(rows->Items(i));
        ParseInRecord(FColumns.get());
      }
      return;
    }
    case gstRectangle: {
      TDBGridEhSelectionRect* rect = FDBGrid->Selection()->CellRange();
      String top = rect->TopRowBookmark(), bottom = rect->BottomRowBookmark();
      // A block whose corner record is gone has no place to paste into.
      if (!ds->BookmarkValid(top) || !ds->BookmarkValid(bottom)) return;
      for (int i = rect->LeftColumnIndex(); i <= rect->RightColumnIndex(); ++i)
        if (FDBGrid->Columns()->Items(i)->Visible()) FColumns->Add(FDBGrid->Columns()->Items(i));
      ReadPrefix();
      if (insertMode) return InsertRecords(appendMode);
      ds->GotoBookmark(top);
      while (!ds->Eof() && !FEof) {
        ParseInRecord(FColumns.get());
        if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
        ds->Next();
      }
      return;
    }
    case gstColumns:
    case gstAll: {
      if (Kind == gstColumns) {
        TDBGridEhSelectionCols* cols = FDBGrid->Selection()->ColumnSet();
        for (int i = 0; i < cols->Count(); ++i) FColumns->Add(cols->Items(i));
      } else {
        takeVisible(0, visible->Count() - 1);
      }
      ReadPrefix();
      if (insertMode) return InsertRecords(appendMode);
      ds->First();
      ParseToEnd(false);
      return;
    }
  }
}

// One record from the data; false, and the end of the data, when it read nothing: a record
// that describes nothing ends the import, where repeating it would never end.
bool TDBGridEhImport::ParseOneRecord(TColumnsEhList* Columns) {
  Int64 before = FStream->Position();
  ParseRecord(Columns);
  if (FEof || FStream->Position() != before) return true;
  FEof = true;
  return false;
}

void TDBGridEhImport::ParseInRecord(TColumnsEhList* Columns) {
  TDataSet* ds = FDBGrid->DataSet();
  WithinRecord(ds, [&] {
    if (ParseOneRecord(Columns)) PostRecord(ds);
    else if (Editing(ds)) ds->Cancel();
  });
}

void TDBGridEhImport::ParseToEnd(bool AppendAllowed) {
  TDataSet* ds = FDBGrid->DataSet();
  while (!ds->Eof() && !FEof) {
    ParseInRecord(FColumns.get());
    ds->Next();
  }
  if (!FEof && AppendAllowed) InsertRecords(true);
}

void TDBGridEhImport::InsertRecords(bool Append) {
  TDataSet* ds = FDBGrid->DataSet();
  while (!FEof) {
    if (Append) ds->Append();
    else ds->Insert();
    bool parsed = false;
    WithinRecord(ds, [&] {
      parsed = ParseOneRecord(FColumns.get());
      if (parsed) PostRecord(ds);
      else ds->Cancel();
    });
    if (parsed && !Append) ds->Next();
  }
}

void TDBGridEhImport::ParseRecord(TColumnsEhList* Columns) {
  for (int i = 0; i < Columns->Count(); ++i) ParseDataCell(Columns->Items(i));
}

void TDBGridEhImport::WriteColumnValue(TColumnEh* Column, const std::function<void(TField* Target)>& Assign) {
  if (!Column || !Column->IsEditable(false)) return;
  TField* f = Column->Field();
  if (f && f->Lookup()) f = f->DataSet() ? f->DataSet()->FindField(f->KeyFields()) : nullptr;
  if (!f || !f->DataSet()) return;
  TDataSet* ds = f->DataSet();
  try {
    if (!ds->CanModify()) return;
    if (!Editing(ds)) ds->Edit();
    if (Editing(ds)) Assign(f);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    if (FIgnoreAll) return;
    String msg = String(SErrorDuringInsertValueEh) + "\n" + e.Message() + "\n\n" + SIgnoreErrorsEh;
    int answer = MessageDlg(msg, mtError, TMsgDlgButtons{mbYes, mbNo, mbAll}, 0);
    if (answer == mrAll) FIgnoreAll = true;
    else if (answer != mrYes) Abort();
  }
}

// ================================================================ text

void TDBGridEhImportAsText::ImportGridFromStream(TStream* AStream, bool AllRecords) {
  SetIgnoreAll(false);
  // Read to the last byte; only a terminating zero (as clipboard text may carry) is left out.
  FEnd = AStream->Size();
  if (FEnd > AStream->Position()) {
    Int64 pos = AStream->Position();
    char last = 0;
    AStream->Seek(FEnd - 1, soBeginning);
    AStream->ReadBuffer(&last, 1);
    AStream->Seek(pos, soBeginning);
    if (last == '\0') --FEnd;
  }
  TDBGridEhImport::ImportGridFromStream(AStream, AllRecords);
}

bool TDBGridEhImportAsText::ReadChar(char& C) {
  if (Stream()->Position() >= FEnd) return false;
  Stream()->ReadBuffer(&C, 1);
  return true;
}

int TDBGridEhImportAsText::CheckState() {
  if (!ReadChar(FLastChar)) {
    SetEof(true);
    return FLastState = 3;
  }
  if (FLastChar == '\t') return FLastState = 1;
  if (FLastChar == '\r') {
    char next = 0;
    if (!ReadChar(next) || next != '\n')
      throw Exception(String("TDBGridEhImportAsText.CheckState: ") + SInvalidTextFormatEh);
    return FLastState = 2;
  }
  return FLastState = 0;
}

void TDBGridEhImportAsText::ReadPrefix() { CheckState(); }

String TDBGridEhImportAsText::CollectQuoted() {
  // Opened by a quote: quotes inside are doubled, TAB and line breaks belong to the value.
  String v;
  char c = 0;
  while (ReadChar(c)) {
    if (c != '"') {
      v.push_back(c);
      continue;
    }
    if (!ReadChar(c)) {
      CheckState();  // the end
      return v;
    }
    if (c == '"') {
      v.push_back('"');
      continue;
    }
    Stream()->Seek(-1, soCurrent);
    break;
  }
  // What follows the closing quote up to the cell's end still belongs to it.
  while (CheckState() == 0) v.push_back(FLastChar);
  return v;
}

String TDBGridEhImportAsText::CollectValue() {
  String v;
  if (FLastChar == '"') {
    v = CollectQuoted();
  } else {
    v.push_back(FLastChar);
    while (CheckState() == 0) v.push_back(FLastChar);
  }
  if (FLastState == 1) CheckState();
  return Encoding() == teGbk ? GbkToUtf8(v) : v;
}

void TDBGridEhImportAsText::ParseRecord(TColumnsEhList* Columns) {
  if (FLastState == 3) return;
  int next = 0;
  auto put = [&](const String& Value) {
    FLastValue = Value;
    if (next < Columns->Count()) ParseDataCell(Columns->Items(next));
    ++next;  // surplus values are read and dropped
  };
  if (FLastState == 0) put(CollectValue());
  while (FLastState != 2 && FLastState != 3) {
    if (FLastState == 1) {
      CheckState();
      put(String());
    } else {
      put(CollectValue());
    }
  }
  if (FLastState == 2) CheckState();
}

void TDBGridEhImportAsText::ParseDataCell(TColumnEh* Column) { WriteText(Column, FLastValue); }

void TDBGridEhImportAsText::WriteText(TColumnEh* Column, const String& Text) {
  TField* f = Column->Field();
  if (f && f->Lookup()) {
    if (f->KeyFields().empty()) return;
    TDataSet* list = f->LookupDataSet();
    WriteColumnValue(Column, [&](TField* Key) {
      // The whole text first, so "ab" is not taken for "abc" listed before it.
      bool found = list && list->Active() &&
                   (list->Locate(f->LookupResultField(), Variant(Text), TLocateOptions{loCaseInsensitive}) ||
                    list->Locate(f->LookupResultField(), Variant(Text), TLocateOptions{loCaseInsensitive, loPartialKey}));
      if (!found) throw Exception(Format("'%s' is not a value of the list", {Text}));
      Key->SetAsVariant(list->FieldValues(f->LookupKeyFields()));
    });
    return;
  }
  if (Column->ColumnKind() == ckKeyList) {
    WriteColumnValue(Column, [&](TField* Target) {
      int pos = Column->PickList()->IndexOf(Text);
      if (pos < 0 || pos >= Column->KeyList()->Count())
        throw Exception(Format("'%s' is not a value of the list", {Text}));
      Target->SetAsString(Column->KeyList()->Strings(pos));
    });
    return;
  }
  WriteColumnValue(Column, [&](TField* Target) { Target->SetText(Text); });
}

// ================================================================ interchange format

TDBGridEhImportAsVCLDBIF::TDBGridEhImportAsVCLDBIF() = default;
TDBGridEhImportAsVCLDBIF::~TDBGridEhImportAsVCLDBIF() = default;

void TDBGridEhImportAsVCLDBIF::ImportGridFromStream(TStream* AStream, bool AllRecords) {
  SetIgnoreAll(false);
  FUseFieldNames = false;
  FNames = std::make_unique<TStringList>();
  struct TFree {
    std::unique_ptr<TStringList>& Names;
    ~TFree() { Names.reset(); }
  } freeNames{FNames};
  TDBGridEhImport::ImportGridFromStream(AStream, AllRecords);
}

void TDBGridEhImportAsVCLDBIF::FormatError() const {
  throw Exception(String("TDBGridEhImportAsVCLDBIF.ReadPrefix: ") + SInvalidVCLDBIFFormatEh);
}

void TDBGridEhImportAsVCLDBIF::ReadExact(void* Buffer, Int64 Count) {
  // A count beyond what is left is found before anything is read or allocated.
  if (Count < 0 || Count > Stream()->Size() - Stream()->Position()) FormatError();
  if (Stream()->Read(Buffer, Count) != Count) FormatError();
}

void TDBGridEhImportAsVCLDBIF::ReadPrefix() {
  char head[12];
  ReadExact(head, 12);
  if (std::memcmp(head, "VCLDBIF", 7) != 0) FormatError();
  int32_t count;
  std::memcpy(&count, head + 8, 4);
  // Each column takes at least two bytes.
  if (count < 0 || Int64(count) * 2 > Stream()->Size() - Stream()->Position()) FormatError();
  FColumnCount = count;
  if (count == 0) {
    // No column holds a value: only an empty table (nothing, or the end tag) is one.
    Byte tag = 0;
    if (Stream()->Position() < Stream()->Size()) ReadExact(&tag, 1);
    if (tag != 0) FormatError();
    SetEof(true);
    return;
  }
  for (int i = 0; i < count; ++i) {
    char visible, c;
    ReadExact(&visible, 1);
    String name;
    for (ReadExact(&c, 1); c != '\0'; ReadExact(&c, 1)) name.push_back(c);
    if (!name.empty()) FUseFieldNames = true;
    FNames->AddObject(name, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(visible)));
  }
  FetchValue();
}

void TDBGridEhImportAsVCLDBIF::FetchValue() {
  if (Eof()) return;
  Byte tag;
  ReadExact(&tag, 1);
  FValue = Unassigned();
  FBinary = false;
  switch (tag) {
    case 0: SetEof(true); break;
    case 1: break;
    case 2: FValue = Null(); break;
    case 3: {
      int32_t v;
      ReadExact(&v, 4);
      FValue = Variant(static_cast<int>(v));
      break;
    }
    case 4: {
      double v;
      ReadExact(&v, 8);
      FValue = Variant(v);
      break;
    }
    case 5:
    case 6: {
      int32_t len;
      ReadExact(&len, 4);
      if (len < 0 || len > Stream()->Size() - Stream()->Position()) FormatError();
      String bytes(static_cast<std::size_t>(len), '\0');
      ReadExact(bytes.data(), len);
      // Text comes in the file's code page; binary bytes stay as they are until the target
      // field shows whether they are text.
      FValue = Variant(tag == 5 ? GbkToUtf8(bytes) : bytes);
      FBinary = tag == 6;
      break;
    }
    default: break;
  }
}

void TDBGridEhImportAsVCLDBIF::ParseRecord(TColumnsEhList* Columns) {
  for (int i = 0; i < FColumnCount; ++i) ParseDataCell(i < Columns->Count() ? Columns->Items(i) : nullptr);
}

void TDBGridEhImportAsVCLDBIF::ParseDataCell(TColumnEh* Column) {
  if (!VarIsEmpty(FValue) && Column)
    WriteColumnValue(Column, [&](TField* Target) {
      bool text = FBinary && !Target->IsBlob() && Target->DataType() != ftBytes && Target->DataType() != ftVarBytes;
      Target->SetAsVariant(text ? Variant(GbkToUtf8(FValue.AsString())) : FValue);
    });
  FetchValue();
}

// ================================================================ the functions

void ImportDBGridEhFromStream(TDBGridEhImportClass ImportClass, TCustomDBGridEh* DBGridEh, TStream* Stream,
                              bool AllRecords) {
  std::unique_ptr<TDBGridEhImport> i(ImportClass());
  i->SetDBGrid(DBGridEh);
  i->ImportGridFromStream(Stream, AllRecords);
}

void ImportDBGridEhFromFile(TDBGridEhImportClass ImportClass, TCustomDBGridEh* DBGridEh, const String& FileName,
                            bool AllRecords) {
  std::unique_ptr<TDBGridEhImport> i(ImportClass());
  i->SetDBGrid(DBGridEh);
  i->ImportGridFromFile(FileName, AllRecords);
}
