// The export walk and the text, CSV, spreadsheet and interchange formats.
#include "grid/DBGridEhImpExp.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

char CsvSeparatorChar = ';';

// ================================================================ walk scope

TGridWalkScopeEh::TGridWalkScopeEh(TCustomDBGridEh* Grid, bool RestorePosition)
    : TWalkScope(Grid->DataSet(), RestorePosition) {}

// ================================================================ the export walk

TDBGridEhExport::TDBGridEhExport()
    : FColumns(std::make_unique<TColumnsEhList>()), FColCellParams(std::make_unique<TColCellParamsEh>()),
      FCellFont(std::make_unique<TFont>()) {}

TDBGridEhExport::~TDBGridEhExport() = default;

String TDBGridEhExport::Encoded(const String& Text) const { return FEncoding == teGbk ? Utf8ToGbk(Text) : Text; }

void TDBGridEhExport::ExportGridToFile(const String& FileName, bool AllRecords) {
  TBufferedFileStream file(FileName);
  ExportGridToStream(&file, AllRecords);
  file.Commit();
}

void TDBGridEhExport::ExportGridToStream(TStream* AStream, bool AllRecords) {
  assert(FDBGrid);
  FStream = AStream;
  TDBGridEhSelectionType kind = AllRecords ? gstAll : FDBGrid->Selection()->SelectionKind();
  TDataSet* ds = FDBGrid->DataSet();
  if (kind == gstNon || !ds || !ds->Active()) return;
  {
    TGridWalkScopeEh scope(FDBGrid, true);
    WalkRecords(kind);
  }
  EmitSuffix();
}

void TDBGridEhExport::WalkRecords(TDBGridEhSelectionType Kind) {
  FColumns->Clear();
  TColumnsEhList* visible = FDBGrid->VisibleColumns();
  switch (Kind) {
    case gstRecordBookmarks:
      for (int i = 0; i < visible->Count(); ++i) FColumns->Add(visible->Items(i));
      EmitTitleAndPrefix();
      WalkBookmarks();
      break;
    case gstRectangle: {
      TDBGridEhSelectionRect* rect = FDBGrid->Selection()->CellRange();
      for (int i = rect->LeftColumnIndex(); i <= rect->RightColumnIndex(); ++i)
        if (FDBGrid->Columns()->Items(i)->Visible()) FColumns->Add(FDBGrid->Columns()->Items(i));
      EmitTitleAndPrefix();
      WalkRectangle();
      break;
    }
    case gstColumns: {
      TDBGridEhSelectionCols* cols = FDBGrid->Selection()->ColumnSet();
      for (int i = 0; i < cols->Count(); ++i) FColumns->Add(cols->Items(i));
      EmitTitleAndPrefix();
      WalkToEnd();
      break;
    }
    case gstAll:
      for (int i = 0; i < visible->Count(); ++i) FColumns->Add(visible->Items(i));
      EmitTitleAndPrefix();
      WalkToEnd();
      break;
    case gstNon:
      return;
  }
  EmitFooters();
}

void TDBGridEhExport::EmitTitleAndPrefix() {
  FFooterValues.assign(static_cast<std::size_t>(FDBGrid->FooterRowCount() * FColumns->Count()), Currency());
  EmitPrefix();
  if (FDBGrid->Options().Contains(dgTitles)) EmitTitle(FColumns.get());
}

void TDBGridEhExport::WalkBookmarks() {
  TDataSet* ds = FDBGrid->DataSet();
  TBookmarkListEh* rows = FDBGrid->SelectedRows();
  for (int i = 0; i < rows->Count(); ++i) {
    // A record deleted since it was selected is left out.
    if (!ds->BookmarkValid(rows->Items(i))) continue;
    ds->GotoBookmark(rows->Items(i));
    AddToTotals();
    EmitRecord(FColumns.get());
  }
}

void TDBGridEhExport::WalkRectangle() {
  TDataSet* ds = FDBGrid->DataSet();
  TDBGridEhSelectionRect* rect = FDBGrid->Selection()->CellRange();
  String top = rect->TopRowBookmark(), bottom = rect->BottomRowBookmark();
  if (!ds->BookmarkValid(top)) return;
  ds->GotoBookmark(top);
  // A bottom record deleted since the selection was made lets the block run to the end.
  while (!ds->Eof()) {
    EmitRecord(FColumns.get());
    AddToTotals();
    if (ds->CompareBookmarks(ds->Bookmark(), bottom) == 0) break;
    ds->Next();
  }
}

void TDBGridEhExport::WalkToEnd() {
  TDataSet* ds = FDBGrid->DataSet();
  ds->First();
  while (!ds->Eof()) {
    EmitRecord(FColumns.get());
    AddToTotals();
    ds->Next();
  }
}

void TDBGridEhExport::EmitFooters() {
  for (int r = 0; r < FDBGrid->FooterRowCount(); ++r) EmitFooter(FColumns.get(), r);
}

// ================================================================ footer totals

TField* TDBGridEhExport::FooterField(TColumnEh* Column, int Row) const {
  TColumnFooterEh* footer = Column->FooterAt(Row);
  TDataSet* ds = FDBGrid->DataSet();
  if (!footer || !ds) return nullptr;
  const String& name = footer->FieldName().empty() ? Column->FieldName() : footer->FieldName();
  return name.empty() ? nullptr : ds->FindField(name);
}

void TDBGridEhExport::AddToTotals() {
  int n = FColumns->Count();
  for (int r = 0; r < FDBGrid->FooterRowCount(); ++r)
    for (int c = 0; c < n; ++c) {
      TColumnEh* col = FColumns->Items(c);
      TField* f = FooterField(col, r);
      if (!f) continue;
      Currency& total = FFooterValues[static_cast<std::size_t>(c + r * n)];
      switch (col->FooterAt(r)->ValueType()) {
        case fvtSum:
          if (!f->IsNull()) total = total + Currency::FromDouble(f->AsFloat());
          break;
        case fvtCount: total = total + Currency(1); break;
        default: break;
      }
    }
}

namespace {

String DisplayFormatOf(TField* Field) {
  if (auto* n = dynamic_cast<TNumericField*>(Field)) return n->DisplayFormat();
  return String();
}

// General float text with the field's precision, or currency text when it shows money.
String FloatTotalText(TField* Field, Currency Total) {
  double v = Total.ToDouble();
  bool money = false;
  int precision = 15;
  if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    money = f->Currency();
    precision = f->Precision();
  } else if (auto* b = dynamic_cast<TBCDField*>(Field)) {
    money = b->Currency();
    precision = b->Precision() > 0 ? b->Precision() : 15;
  }
  if (money) return CurrToStrF(Total, ffCurrency, FormatSettings().CurrencyDecimals);
  return FloatToStrF(v, ffGeneral, precision, 0);
}

}  // namespace

String TDBGridEhExport::FooterTotalText(int Row, int Col) const {
  TColumnEh* col = FColumns->Items(Col);
  Currency total = FFooterValues[static_cast<std::size_t>(Col + Row * FColumns->Count())];
  double v = total.ToDouble();
  TFooterValueType type = col->FooterAt(Row)->ValueType();
  if (type == fvtCount) return FloatToStr(v);
  TField* f = FooterField(col, Row);
  if (type != fvtSum || !f) return String();
  String fmt = DisplayFormatOf(f);
  switch (FieldTypeGroup(f->DataType())) {
    case TFieldTypeGroup::Integer:
      return fmt.empty() ? IntToStr(static_cast<Int64>(std::llround(v))) : FormatFloat(fmt, v);
    case TFieldTypeGroup::Float:
      return fmt.empty() ? FloatTotalText(f, total) : FormatFloat(fmt, v);
    default:
      return String();
  }
}

String TDBGridEhExport::FooterText(TColumnEh* Column, int Row, int Col) {
  TFooterValueType type = Column->FooterAt(Row)->ValueType();
  if (type == fvtSum || type == fvtCount) return FooterTotalText(Row, Col);
  return FDBGrid->GetFooterText(Row, Column);
}

// ================================================================ records and footers

void TDBGridEhExport::FillCellParams(TColumnEh* Column) {
  TColCellParamsEh* p = FColCellParams.get();
  // A handler may read the text; without one a format that writes the raw value skips it.
  p->SetText(Column->OnGetCellParams() || CellTextNeeded(Column) ? Column->CellText() : String());
  // A format that writes no style needs none worked out unless a handler is there to see it.
  if (!CellStyleNeeded() && !Column->OnGetCellParams() && !FDBGrid->OnGetCellParams) return;
  p->SetRow(-1);
  p->SetCol(-1);
  p->SetState(TGridDrawState());
  FCellFont->Assign(Column->Font());
  p->SetFont(FCellFont.get());
  p->SetBackground(Column->Color());
  p->SetAlignment(Column->Alignment());
  p->SetReadOnly(Column->ReadOnly());
  // Check state and picture belong to the columns that show them; working them out for every
  // cell would read each value twice more.
  TColumnEhKind kind = Column->ColumnKind();
  p->SetCheckboxState(kind == ckCheckbox ? Column->CellCheckState() : cbUnchecked);
  p->SetImageIndex(kind == ckImage ? Column->CellImageIndex() : -1);
  TColor bg = p->Background();
  if (FDBGrid->OnGetCellParams) FDBGrid->OnGetCellParams(FDBGrid, Column, FCellFont.get(), bg, p->State());
  p->SetBackground(bg);
  Column->FireGetCellParams(false, p);
}

void TDBGridEhExport::EmitRecord(TColumnsEhList* Columns) {
  for (int i = 0; i < Columns->Count(); ++i) {
    FillCellParams(Columns->Items(i));
    EmitDataCell(Columns->Items(i), FColCellParams.get());
  }
}

void TDBGridEhExport::EmitFooter(TColumnsEhList* Columns, int FooterNo) {
  for (int c = 0; c < Columns->Count(); ++c) {
    TColumnEh* col = Columns->Items(c);
    TColumnFooterEh* footer = col->FooterAt(FooterNo);
    FCellFont->Assign(footer->Font());
    TColor bg = footer->Color();
    TAlignment align = footer->Alignment();
    String text = FooterText(col, FooterNo, c);
    FDBGrid->FireGetFooterParams(col->Index(), FooterNo, col, FCellFont.get(), bg, align, TGridDrawState(), text);
    EmitFooterCell(c, FooterNo, text, align, bg, FCellFont.get(), col);
  }
}

// ================================================================ text

void TDBGridEhExportAsText::ExportGridToStream(TStream* AStream, bool AllRecords) {
  FFirstRow = true;
  TDBGridEhExport::ExportGridToStream(AStream, AllRecords);
}

void TDBGridEhExportAsText::SeparateRow() {
  if (!FFirstRow) Put("\r\n");
  FFirstRow = false;
}

void TDBGridEhExportAsText::SeparateCell() {
  if (!FFirstCell) Put("\t");
  FFirstCell = false;
}

String TDBGridEhExportAsText::CellValue(const String& Text) const {
  // A value holding the format's own separators is quoted, so it reads back whole.
  if (Text.find_first_of("\t\r\n") == String::npos && (Text.empty() || Text[0] != '"')) return Text;
  return AnsiQuotedStr(Text, '"');
}

void TDBGridEhExportAsText::EmitTitle(TColumnsEhList* Columns) {
  SeparateRow();
  StartRow();
  for (int i = 0; i < Columns->Count(); ++i) {
    SeparateCell();
    Put(Encoded(Columns->Items(i)->Title()->Caption()));
  }
}

void TDBGridEhExportAsText::EmitRecord(TColumnsEhList* Columns) {
  SeparateRow();
  StartRow();
  TDBGridEhExport::EmitRecord(Columns);
}

void TDBGridEhExportAsText::EmitDataCell(TColumnEh*, TColCellParamsEh* Params) {
  SeparateCell();
  Put(Encoded(CellValue(Params->Text())));
}

void TDBGridEhExportAsText::EmitFooter(TColumnsEhList* Columns, int FooterNo) {
  SeparateRow();
  StartRow();
  TDBGridEhExport::EmitFooter(Columns, FooterNo);
}

void TDBGridEhExportAsText::EmitFooterCell(int, int, const String& Text, TAlignment, TColor, TFont*, TColumnEh*) {
  SeparateCell();
  Put(Encoded(CellValue(Text)));
}

// ================================================================ CSV

void TDBGridEhExportAsCSV::SeparateCell() {
  if (!FirstCellPending()) Put(String(1, FSeparator));
  ClearFirstCell();
}

String TDBGridEhExportAsCSV::CellValue(const String& Text) const { return AnsiQuotedStr(Text, '"'); }

void TDBGridEhExportAsCSV::EmitTitle(TColumnsEhList* Columns) {
  SeparateRow();
  StartRow();
  for (int i = 0; i < Columns->Count(); ++i) {
    SeparateCell();
    Put(Encoded(CellValue(Columns->Items(i)->Title()->Caption())));
  }
}

// ================================================================ spreadsheet

namespace {

constexpr Word XlsBOF = 0x0809, XlsCodePage = 0x0042, XlsLabel = 0x0204, XlsNumber = 0x0203, XlsRK = 0x027E,
               XlsBlank = 0x0201, XlsEOF = 0x000A;
constexpr Word XlsBlankFormat = 0x0017;
constexpr Word GbkCodePage = 936;
// A label holds at most this many bytes in this record generation.
constexpr std::size_t XlsMaxLabel = 255;
// An integer RK keeps 30 bits.
constexpr Int64 RKMin = -(Int64(1) << 29), RKMax = (Int64(1) << 29) - 1;

template <class T> void PutLE(String& S, T V) {
  for (std::size_t i = 0; i < sizeof(T); ++i) S.push_back(static_cast<char>((static_cast<uint64_t>(V) >> (8 * i)) & 0xFF));
}

// The GBK bytes of Text, cut after the last whole character that fits in Max bytes.
String GbkCut(const String& Text, std::size_t Max) {
  String all = Utf8ToGbk(Text);
  if (all.size() <= Max) return all;
  String r;
  for (std::size_t i = 0; i < Text.size();) {
    std::size_t len = 1;
    unsigned char c = static_cast<unsigned char>(Text[i]);
    if (c >= 0xF0) len = 4;
    else if (c >= 0xE0) len = 3;
    else if (c >= 0xC0) len = 2;
    String g = Utf8ToGbk(Text.substr(i, len));
    if (r.size() + g.size() > Max) break;
    r += g;
    i += len;
  }
  return r;
}

// A 64-bit integer goes as text: the sheet's numbers are doubles, which round it past 2^53.
bool IsIntegerType(TFieldType T) { return IsIntegerFieldType(T) && T != ftLargeint; }
bool IsFloatType(TFieldType T) { return IsFloatFieldType(T); }

}  // namespace

void TDBGridEhExportAsXLS::ExportGridToStream(TStream* AStream, bool AllRecords) {
  FRow = 0;
  FCol = 0;
  TDBGridEhExport::ExportGridToStream(AStream, AllRecords);
}

void TDBGridEhExportAsXLS::EmitPrefix() {
  String s;
  PutLE<Word>(s, XlsBOF);
  PutLE<Word>(s, 8);
  for (Word w : {Word(0x0000), Word(0x0010), Word(0x0000), Word(0x0000)}) PutLE<Word>(s, w);
  // Without the code page a reader takes the labels' GBK bytes for Latin letters.
  PutLE<Word>(s, XlsCodePage);
  PutLE<Word>(s, 2);
  PutLE<Word>(s, GbkCodePage);
  Put(s);
}

void TDBGridEhExportAsXLS::EmitSuffix() {
  String s;
  PutLE<Word>(s, XlsEOF);
  PutLE<Word>(s, 0);
  Put(s);
}

void TDBGridEhExportAsXLS::CellHeader(Word RecordType, Word Length, Word FormatIndex) {
  // Row numbers are 16 bits: a longer table would wrap onto the first rows.
  if (FRow >= MaxRows)
    throw Exception(Format("Too many rows for a worksheet: it holds at most %d", {MaxRows}));
  char h[10];
  const Word words[] = {RecordType, Length, static_cast<Word>(FRow), static_cast<Word>(FCol), FormatIndex};
  for (int i = 0; i < 5; ++i) {
    h[2 * i] = static_cast<char>(words[i] & 0xFF);
    h[2 * i + 1] = static_cast<char>(words[i] >> 8);
  }
  Stream()->WriteBuffer(h, sizeof h);
  if (FCol + 1 >= ExportedColumns()->Count()) {
    ++FRow;
    FCol = 0;
  } else {
    ++FCol;
  }
}

void TDBGridEhExportAsXLS::WriteBlankCell() { CellHeader(XlsBlank, 6, XlsBlankFormat); }

void TDBGridEhExportAsXLS::WriteIntegerCell(Int64 Value) {
  // Outside the RK range the value goes as a float, which holds it exactly.
  if (Value < RKMin || Value > RKMax) return WriteFloatCell(static_cast<double>(Value));
  CellHeader(XlsRK, 10, 0);
  uint32_t rk = static_cast<uint32_t>(static_cast<int32_t>(Value * 4 + 2));
  const char b[4] = {char(rk & 0xFF), char((rk >> 8) & 0xFF), char((rk >> 16) & 0xFF), char(rk >> 24)};
  Stream()->WriteBuffer(b, 4);
}

void TDBGridEhExportAsXLS::WriteFloatCell(double Value) {
  static_assert(std::endian::native == std::endian::little, "the file's doubles are little-endian");
  CellHeader(XlsNumber, 14, 0);
  Stream()->WriteBuffer(&Value, 8);
}

void TDBGridEhExportAsXLS::WriteStringCell(const String& Text) {
  String bytes = GbkCut(Text, XlsMaxLabel);
  CellHeader(XlsLabel, static_cast<Word>(bytes.size() + 8), 0);
  const char len[2] = {char(bytes.size() & 0xFF), char(bytes.size() >> 8)};
  Stream()->WriteBuffer(len, 2);
  Put(bytes);
}

bool TDBGridEhExportAsXLS::CellTextNeeded(TColumnEh* Column) const {
  TField* f = Column->Field();
  return !f || Column->ColumnKind() == ckKeyList || !(IsIntegerType(f->DataType()) || IsFloatType(f->DataType()));
}

void TDBGridEhExportAsXLS::EmitTitle(TColumnsEhList* Columns) {
  for (int i = 0; i < Columns->Count(); ++i) WriteStringCell(Columns->Items(i)->Title()->Caption());
}

void TDBGridEhExportAsXLS::EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) {
  TField* f = Column->Field();
  if (!f) return WriteBlankCell();
  if (Column->ColumnKind() == ckKeyList) return WriteStringCell(Params->Text());
  if (f->IsNull()) return WriteBlankCell();
  if (IsIntegerType(f->DataType())) return WriteIntegerCell(f->AsLargeInt());
  if (IsFloatType(f->DataType())) return WriteFloatCell(f->AsFloat());
  WriteStringCell(Params->Text());
}

void TDBGridEhExportAsXLS::EmitFooterCell(int DataCol, int Row, const String& Text, TAlignment, TColor, TFont*,
                                          TColumnEh* Column) {
  TFooterValueType type = Column->FooterAt(Row)->ValueType();
  if (type != fvtSum && type != fvtCount) return WriteStringCell(Text);
  Currency total = FooterTotals()[static_cast<std::size_t>(DataCol + Row * ExportedColumns()->Count())];
  WriteFloatCell(total.ToDouble());
}

// ================================================================ interchange format

namespace {

enum : Byte { tagEnd = 0, tagUnassigned = 1, tagNull = 2, tagInteger = 3, tagFloat = 4, tagString = 5, tagBinary = 6 };

// The tag a field type is carried with.
Byte VcldbifTag(TFieldType T) {
  switch (T) {
    case ftString: case ftBoolean: case ftMemo: case ftFixedChar: case ftLargeint: case ftOraClob: case ftGuid:
      return tagString;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc:
      return tagInteger;
    case ftFloat: case ftCurrency: case ftBCD: case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
    case ftFMTBcd:
      return tagFloat;
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftFmtMemo: case ftParadoxOle:
    case ftDBaseOle: case ftTypedBinary: case ftWideString: case ftOraBlob:
      return tagBinary;
    default:
      return tagUnassigned;
  }
}

}  // namespace

void TDBGridEhExportAsVCLDBIF::EmitPrefix() {
  String s = "VCLDBIF";
  s.push_back('\x01');
  PutLE<int32_t>(s, ExportedColumns()->Count());
  for (int i = 0; i < ExportedColumns()->Count(); ++i) {
    s.push_back(ExportedColumns()->Items(i)->Visible() ? '\x01' : '\x00');
    s.push_back('\0');  // no field name
  }
  Put(s);
}

void TDBGridEhExportAsVCLDBIF::EmitSuffix() { PutByte(tagEnd); }

void TDBGridEhExportAsVCLDBIF::EmitDataCell(TColumnEh* Column, TColCellParamsEh*) {
  TField* f = Column->Field();
  // A lookup column carries its key.
  if (f && f->Lookup()) f = f->DataSet() ? f->DataSet()->FindField(f->KeyFields()) : nullptr;
  Byte tag = f ? VcldbifTag(f->DataType()) : Byte(tagUnassigned);
  if (tag != tagUnassigned && f->IsNull()) tag = tagNull;
  String s(1, static_cast<char>(tag));
  switch (tag) {
    case tagInteger: PutLE<int32_t>(s, f->AsInteger()); break;
    case tagFloat: {
      double v = f->AsFloat();
      char b[8];
      std::memcpy(b, &v, 8);
      s.append(b, 8);
      break;
    }
    case tagString:
    case tagBinary: {
      // Text (wide text too) goes in the file's code page; binary bytes as they are.
      bool text = tag == tagString || f->DataType() == ftWideString;
      String bytes = text ? Utf8ToGbk(f->AsString()) : f->AsString();
      PutLE<int32_t>(s, static_cast<int32_t>(bytes.size()));
      s += bytes;
      break;
    }
    default: break;
  }
  Put(s);
}

// ================================================================ the functions

void ExportDBGridEhToStream(TDBGridEhExportClass ExportClass, TCustomDBGridEh* DBGridEh, TStream* Stream,
                            bool AllRecords) {
  std::unique_ptr<TDBGridEhExport> e(ExportClass());
  e->SetDBGrid(DBGridEh);
  e->ExportGridToStream(Stream, AllRecords);
}

void ExportDBGridEhToFile(TDBGridEhExportClass ExportClass, TCustomDBGridEh* DBGridEh, const String& FileName,
                          bool AllRecords) {
  std::unique_ptr<TDBGridEhExport> e(ExportClass());
  e->SetDBGrid(DBGridEh);
  e->ExportGridToFile(FileName, AllRecords);
}
