#pragma once
// Writing a grid's records (all of them or the selected part) as tab-separated text, CSV, a
// spreadsheet file, rich text or the library's own typed interchange format ("VCLDBIF"), and
// reading text and the interchange format back; on top of these the grid's copy, cut, paste
// and delete of its selection through the clipboard.
//
// One exporter object is made per export. It walks the dataset by the selection kind and
// calls the format's operations for what comes before the table, the title row, each record,
// each footer row and what comes after. Texts in files are GBK, as the program's 8-bit code
// page was; the clipboard carries text and CSV as UTF-8.
#include "grid/DBGridEh.h"
#include "grid/GridConstsEh.h"
#include "core/Classes.h"
#include "core/Currency.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TStringList;
class TMemoryStreamEh;

// One Currency total per footer row and exported column: row r, column c at c + r * columns.
using TFooterValues = std::vector<Currency>;

// How text in a stream is encoded: GBK in files, UTF-8 on the clipboard.
enum TTextEncodingEh { teGbk, teUtf8 };

// ================================================================ walks

// Holds the dataset's controls disabled and the current record for the scope's lifetime: both
// come back when it ends, also when it is left by an exception. Without RestorePosition only
// the controls come back.
class TGridWalkScopeEh : public TWalkScope {
public:
  TGridWalkScopeEh(TCustomDBGridEh* Grid, bool RestorePosition);
};

// ================================================================ exporters

class TDBGridEhExport : public TObject {
public:
  TDBGridEhExport();
  ~TDBGridEhExport() override;

  TCustomDBGridEh* DBGrid() const { return FDBGrid; }
  void SetDBGrid(TCustomDBGridEh* Value) { FDBGrid = Value; }
  TStream* Stream() const { return FStream; }
  TColumnsEhList* ExportedColumns() const { return FColumns.get(); }
  const TFooterValues& FooterTotals() const { return FFooterValues; }
  TTextEncodingEh Encoding() const { return FEncoding; }
  void SetEncoding(TTextEncodingEh Value) { FEncoding = Value; }

  // The walk; AllRecords exports every record whatever is selected.
  virtual void ExportGridToStream(TStream* AStream, bool AllRecords);
  // The walk into a file that only takes the new content when the walk succeeds.
  virtual void ExportGridToFile(const String& FileName, bool AllRecords);

  // The footer total of footer row Row and exported column position Col as text.
  String FooterTotalText(int Row, int Col) const;

protected:
  // ---- the format's operations, in the walk's order
  virtual void EmitPrefix() {}
  virtual void EmitSuffix() {}
  virtual void EmitTitle(TColumnsEhList* Columns) {}
  virtual void EmitRecord(TColumnsEhList* Columns);
  virtual void EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) {}
  virtual void EmitFooter(TColumnsEhList* Columns, int FooterNo);
  virtual void EmitFooterCell(int DataCol, int Row, const String& Text, TAlignment Alignment, TColor Background,
                              TFont* Font, TColumnEh* Column) {}

  // ---- shared by the formats
  void Put(const String& Bytes) { FStream->WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size())); }
  void PutByte(Byte B) { FStream->WriteBuffer(&B, 1); }
  // A text in the stream's encoding.
  String Encoded(const String& Text) const;
  // The field whose value a footer on row Row of Column sums ('' field name: the column's).
  TField* FooterField(TColumnEh* Column, int Row) const;
  // The footer of Column on row Row and the text it exports.
  String FooterText(TColumnEh* Column, int Row, int Col);
  void SetStream(TStream* Value) { FStream = Value; }
  // Whether the format writes the column's cell text (else its raw value only).
  virtual bool CellTextNeeded(TColumnEh* Column) const { return true; }
  // Whether the format writes a cell's style (font, colour, alignment, check box, picture).
  virtual bool CellStyleNeeded() const { return true; }

private:
  void WalkRecords(TDBGridEhSelectionType Kind);
  void WalkBookmarks();
  void WalkRectangle();
  void WalkToEnd();
  void EmitTitleAndPrefix();
  void EmitFooters();
  void AddToTotals();
  void FillCellParams(TColumnEh* Column);

  TCustomDBGridEh* FDBGrid = nullptr;
  TStream* FStream = nullptr;
  std::unique_ptr<TColumnsEhList> FColumns;
  TFooterValues FFooterValues;
  std::unique_ptr<TColCellParamsEh> FColCellParams;
  std::unique_ptr<TFont> FCellFont;  // the private copy of a column's font each cell gets
  TTextEncodingEh FEncoding = teGbk;
};

using TDBGridEhExportClass = TDBGridEhExport* (*)();

class TDBGridEhExportAsText : public TDBGridEhExport {
public:
  void ExportGridToStream(TStream* AStream, bool AllRecords) override;

protected:
  void EmitTitle(TColumnsEhList* Columns) override;
  void EmitRecord(TColumnsEhList* Columns) override;
  void EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void EmitFooter(TColumnsEhList* Columns, int FooterNo) override;
  void EmitFooterCell(int DataCol, int Row, const String& Text, TAlignment Alignment, TColor Background, TFont* Font,
                      TColumnEh* Column) override;
  bool CellStyleNeeded() const override { return false; }
  virtual void SeparateRow();
  virtual void SeparateCell();
  // A value as the format carries it.
  virtual String CellValue(const String& Text) const;
  bool FirstCellPending() const { return FFirstCell; }
  void ClearFirstCell() { FFirstCell = false; }
  // The next cell is the first of its row.
  void StartRow() { FFirstCell = true; }

private:
  bool FFirstRow = true;
  bool FFirstCell = true;
};

// The CSV separator every new CSV exporter takes.
extern char CsvSeparatorChar;

class TDBGridEhExportAsCSV : public TDBGridEhExportAsText {
public:
  TDBGridEhExportAsCSV() : FSeparator(CsvSeparatorChar) {}
  char Separator() const { return FSeparator; }

protected:
  void EmitTitle(TColumnsEhList* Columns) override;
  void SeparateCell() override;
  String CellValue(const String& Text) const override;

private:
  char FSeparator;
};

class TDBGridEhExportAsXLS : public TDBGridEhExport {
public:
  // A worksheet of this record generation holds no more rows.
  static constexpr int MaxRows = 65536;
  void ExportGridToStream(TStream* AStream, bool AllRecords) override;

protected:
  void EmitPrefix() override;
  void EmitSuffix() override;
  void EmitTitle(TColumnsEhList* Columns) override;
  void EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void EmitFooterCell(int DataCol, int Row, const String& Text, TAlignment Alignment, TColor Background, TFont* Font,
                      TColumnEh* Column) override;
  bool CellTextNeeded(TColumnEh* Column) const override;

private:
  void WriteBlankCell();
  void WriteIntegerCell(Int64 Value);
  void WriteFloatCell(double Value);
  void WriteStringCell(const String& Text);
  // The record header with the current cell, then the next cell becomes current.
  void CellHeader(Word RecordType, Word Length, Word FormatIndex);

  int FRow = 0;
  int FCol = 0;
};

class TDBGridEhExportAsVCLDBIF : public TDBGridEhExport {
protected:
  void EmitPrefix() override;
  void EmitSuffix() override;
  void EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
};

class TDBGridEhExportAsRTF : public TDBGridEhExport {
public:
  TDBGridEhExportAsRTF();
  ~TDBGridEhExportAsRTF() override;
  void ExportGridToStream(TStream* AStream, bool AllRecords) override;

  // One entry of the title matrix: the title node a column shows on one level.
  struct TTitleCell {
    int Node = -1;  // -1: cleared
    String Text;
    int RowSpan = 1, ColSpan = 1;
  };

protected:
  void EmitSuffix() override;
  void EmitTitle(TColumnsEhList* Columns) override;
  void EmitRecord(TColumnsEhList* Columns) override;
  void EmitDataCell(TColumnEh* Column, TColCellParamsEh* Params) override;
  void EmitFooter(TColumnsEhList* Columns, int FooterNo) override;
  void EmitFooterCell(int DataCol, int Row, const String& Text, TAlignment Alignment, TColor Background, TFont* Font,
                      TColumnEh* Column) override;

  // ---- writing primitives
  void PutRtf(const String& Text) { Put(Text); }
  void PutRtfLine(const String& Text) { Put(Text + "\r\n"); }
  void PutStyledText(TFont* Font, const String& Text, TColor Background);
  static String AlignmentWord(TAlignment Alignment);
  int ColorIndex(TColor Color);
  int FontIndex(const String& Name);
  void EmitCellBorders(bool Left, bool Top, bool Right, bool Bottom);

private:
  struct TBorderMarks;
  int PixelsPerInch() const;
  // Cumulative right edges of the exported columns in twips.
  std::vector<int> CellEdges(TColumnsEhList* Columns) const;
  void BeginRow(TColumnsEhList* Columns, const std::vector<int>& Shading,
                const std::vector<std::array<bool, 4>>& Borders);
  void EndRow();
  void EmitSingleTitle(TColumnsEhList* Columns);
  void EmitMultiTitle(TColumnsEhList* Columns);
  // The spacing words' value of data rows.
  String Spacing() const { return DBGrid()->Flat() ? "12" : "24"; }

  std::unique_ptr<TMemoryStreamEh> FCache;
  std::unique_ptr<TStringList> FColors;
  std::unique_ptr<TStringList> FFonts;
  std::vector<COLORREF> FRgb;  // the colours of the colour table's keys
};

// An escaped RTF text: '\', '{' and '}' escaped, line breaks as \line, other characters
// beyond ASCII as \uN? (N signed 16 bits).
String RtfEscaped(const String& Text);

template <class T> TDBGridEhExport* NewExporter() { return new T(); }

void ExportDBGridEhToStream(TDBGridEhExportClass ExportClass, TCustomDBGridEh* DBGridEh, TStream* Stream,
                            bool AllRecords);
void ExportDBGridEhToFile(TDBGridEhExportClass ExportClass, TCustomDBGridEh* DBGridEh, const String& FileName,
                          bool AllRecords);

// ================================================================ importers

class TDBGridEhImport : public TObject {
public:
  TDBGridEhImport();
  ~TDBGridEhImport() override;

  TCustomDBGridEh* DBGrid() const { return FDBGrid; }
  void SetDBGrid(TCustomDBGridEh* Value) { FDBGrid = Value; }
  TStream* Stream() const { return FStream; }
  TColumnsEhList* ImportedColumns() const { return FColumns.get(); }
  TTextEncodingEh Encoding() const { return FEncoding; }
  void SetEncoding(TTextEncodingEh Value) { FEncoding = Value; }

  virtual void ImportGridFromStream(TStream* AStream, bool AllRecords);
  virtual void ImportGridFromFile(const String& FileName, bool AllRecords);

protected:
  virtual void ReadPrefix() {}
  virtual void ParseSuffix() {}
  virtual void ParseRecord(TColumnsEhList* Columns);
  virtual void ParseDataCell(TColumnEh* Column) {}

  bool Eof() const { return FEof; }
  void SetEof(bool Value) { FEof = Value; }
  // Writes a value into the column's field (the key field of a lookup column) by Assign,
  // asking the user about a failure unless all errors are ignored.
  void WriteColumnValue(TColumnEh* Column, const std::function<void(TField* Target)>& Assign);
  bool IgnoreAll() const { return FIgnoreAll; }
  void SetIgnoreAll(bool Value) { FIgnoreAll = Value; }

private:
  void ImportRecords(TDBGridEhSelectionType Kind);
  void InsertRecords(bool Append);
  void ParseInRecord(TColumnsEhList* Columns);
  void ParseToEnd(bool AppendAllowed);

  TCustomDBGridEh* FDBGrid = nullptr;
  TStream* FStream = nullptr;
  std::unique_ptr<TColumnsEhList> FColumns;
  bool FEof = false;
  bool FIgnoreAll = false;
  TTextEncodingEh FEncoding = teGbk;
};

using TDBGridEhImportClass = TDBGridEhImport* (*)();

class TDBGridEhImportAsText : public TDBGridEhImport {
public:
  void ImportGridFromStream(TStream* AStream, bool AllRecords) override;

protected:
  void ReadPrefix() override;
  void ParseRecord(TColumnsEhList* Columns) override;
  void ParseDataCell(TColumnEh* Column) override;

private:
  // 0 a value character, 1 TAB, 2 CR LF, 3 end of data.
  int CheckState();
  bool ReadChar(char& C);
  // The value starting at the last character read; leaves the state after it.
  String CollectValue();
  String CollectQuoted();
  void WriteText(TColumnEh* Column, const String& Text);

  char FLastChar = 0;
  int FLastState = 3;
  String FLastValue;
  Int64 FEnd = 0;  // the data's end: the stream's, less a terminating zero byte
};

class TDBGridEhImportAsVCLDBIF : public TDBGridEhImport {
public:
  TDBGridEhImportAsVCLDBIF();
  ~TDBGridEhImportAsVCLDBIF() override;
  void ImportGridFromStream(TStream* AStream, bool AllRecords) override;

protected:
  void ReadPrefix() override;
  void ParseRecord(TColumnsEhList* Columns) override;
  void ParseDataCell(TColumnEh* Column) override;

private:
  void FetchValue();
  [[noreturn]] void FormatError() const;
  void ReadExact(void* Buffer, Int64 Count);

  int FColumnCount = 0;
  std::unique_ptr<TStringList> FNames;
  bool FUseFieldNames = false;
  Variant FValue;
  bool FBinary = false;  // the value came as bytes
};

void ImportDBGridEhFromStream(TDBGridEhImportClass ImportClass, TCustomDBGridEh* DBGridEh, TStream* Stream,
                              bool AllRecords);
void ImportDBGridEhFromFile(TDBGridEhImportClass ImportClass, TCustomDBGridEh* DBGridEh, const String& FileName,
                            bool AllRecords);

template <class T> TDBGridEhImport* NewImporter() { return new T(); }

// ================================================================ clipboard and edit actions

// The clipboard formats of the grid, registered on first use.
UINT VcldbifClipboardFormat();
UINT CsvClipboardFormat();
UINT RtfClipboardFormat();

void CopyGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid);
void CutGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid);
void PasteIntoGrid(TCustomDBGridEh* DBGridEh, bool ForWholeGrid);
void DeleteGridSelection(TCustomDBGridEh* DBGridEh, bool ForWholeGrid);

// Runs an edit action of the grid (cut, copy, paste, delete, select all) when it is in the
// grid's EditActions; false when it is not. The keys and the grid's own permission test come
// before this.
bool ExecuteGridEditAction(TCustomDBGridEh* DBGridEh, TDBGridEhEditAction Action);

// The confirmations of the delete action.
extern const char* const SDeleteRecordQuestion;           // "Delete record?"
extern const char* const SDeleteMultipleRecordsQuestion;  // "Delete all selected records?"
