// The workbook reader: the format is told by the first bytes, each format fills one cell map.
#include "core/Spreadsheet.h"

#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <freexl.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <unordered_map>
#include <vector>

namespace {

enum class TCellKind : std::uint8_t { Number, Text, Boolean, Date, Error };

struct TCell {
  TCellKind Kind = TCellKind::Text;
  double Number = 0;  // numbers, dates (day count) and Booleans (0/1)
  String Text;        // texts and error codes
};

// A part of a zipped workbook larger than this, or packed tighter, is refused: a few bytes
// must not unpack into gigabytes.
constexpr std::uint64_t kMaxPartSize = std::uint64_t(256) << 20;
constexpr std::uint64_t kMaxPackRatio = 200;
// Parts smaller than this may pack as tightly as they like.
constexpr std::uint64_t kRatioFloor = std::uint64_t(1) << 20;

// Numbers in the file's XML are written with a point whatever the user's settings.
const TFormatSettings kInvariant;

std::uint64_t CellKey(int Row, int Col) { return (std::uint64_t(Row) << 16) | std::uint64_t(Col); }

}  // namespace

struct TSpreadsheet::TImpl {
  String FileName;
  std::unordered_map<std::uint64_t, TCell> Cells;
  int Rows = 0, Cols = 0;

  [[noreturn]] void Fail(const String& Reason) const {
    throw ESpreadsheetError("无法读取电子表格文件 \"" + FileName + "\": " + Reason);
  }
  void Put(int Row, int Col, TCell Cell) {
    if (Row < 1 || Col < 1 || Row > MaxRows || Col > MaxColumns) Fail("单元格超出工作表范围");
    if (Cell.Kind == TCellKind::Text && Cell.Text.empty()) return;  // an empty text is no value
    if (Row > Rows) Rows = Row;
    if (Col > Cols) Cols = Col;
    Cells[CellKey(Row, Col)] = std::move(Cell);
  }

  void ReadCompound();
  void ReadRecords(const String& Bytes);
  void ReadZipped();
};

// ---------------------------------------------------------------- compound document (.xls)

namespace {

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS" as a day count.
bool ParseStamp(const char* Text, int Type, double& Value) {
  int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
  bool ok = false;
  if (Type == FREEXL_CELL_DATE) ok = std::sscanf(Text, "%d-%d-%d", &y, &mo, &d) == 3;
  else if (Type == FREEXL_CELL_DATETIME) ok = std::sscanf(Text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) == 6;
  else ok = std::sscanf(Text, "%d:%d:%d", &h, &mi, &s) == 3;
  TDateTime date = 0, time = 0;
  if (!ok || !TryEncodeDate(Word(y), Word(mo), Word(d), date) || !TryEncodeTime(Word(h), Word(mi), Word(s), 0, time))
    return false;
  Value = date + time;
  return true;
}

}  // namespace

void TSpreadsheet::TImpl::ReadCompound() {
  const void* handle = nullptr;
  if (freexl_open(FileName.c_str(), &handle) != FREEXL_OK) {
    if (handle) freexl_close(handle);
    Fail("工作簿不完整或已损坏");
  }
  struct TClose {
    const void* H;
    ~TClose() { freexl_close(H); }
  } close{handle};
  unsigned int password = 0;
  if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED) Fail("工作簿有密码保护");
  if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK) Fail("工作簿中没有工作表");
  unsigned int rows = 0;
  unsigned short cols = 0;
  if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) Fail("工作簿不完整或已损坏");
  if (rows > unsigned(MaxRows) || cols > unsigned(MaxColumns)) Fail("单元格超出工作表范围");
  for (unsigned int r = 0; r < rows; ++r)
    for (unsigned short c = 0; c < cols; ++c) {
      FreeXL_CellValue v;
      if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) Fail("工作簿不完整或已损坏");
      TCell cell;
      switch (v.type) {
        case FREEXL_CELL_INT:
          cell.Kind = TCellKind::Number;
          cell.Number = v.value.int_value;
          break;
        case FREEXL_CELL_DOUBLE:
          cell.Kind = TCellKind::Number;
          cell.Number = v.value.double_value;
          break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
          cell.Text = v.value.text_value ? v.value.text_value : "";
          break;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
          cell.Kind = TCellKind::Date;
          if (!ParseStamp(v.value.text_value, v.type, cell.Number)) Fail("日期无效");
          break;
        default:
          continue;
      }
      Put(int(r) + 1, int(c) + 1, std::move(cell));
    }
}

// ---------------------------------------------------------------- the grid export's record stream

namespace {

Word LE16(const unsigned char* p) { return Word(p[0] | (p[1] << 8)); }
std::uint32_t LE32(const unsigned char* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

double DecodeRK(std::uint32_t RK) {
  double v;
  if (RK & 2) {
    v = double(std::int32_t(RK) >> 2);
  } else {
    std::uint64_t bits = std::uint64_t(RK & 0xFFFFFFFCu) << 32;
    std::memcpy(&v, &bits, 8);
  }
  return (RK & 1) ? v / 100 : v;
}

String CodePageText(std::string_view Bytes, Word CodePage) {
  if (CodePage == 936) return GbkToUtf8(Bytes);
  if (CodePage == 65001) return String(Bytes);
  String name = CodePage == 1200 ? String("UTF-16LE") : "CP" + IntToStr(CodePage);
  try {
    return ConvertEncoding(Bytes, name.c_str(), "UTF-8");
  } catch (const Exception&) {
    return GbkToUtf8(Bytes);
  }
}

}  // namespace

void TSpreadsheet::TImpl::ReadRecords(const String& Bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(Bytes.data());
  const std::size_t size = Bytes.size();
  Word codePage = 1252;
  bool ended = false;
  for (std::size_t at = 0; at < size && !ended;) {
    if (size - at < 4) Fail("工作簿不完整");
    const Word type = LE16(p + at), length = LE16(p + at + 2);
    if (size - at - 4 < length) Fail("工作簿不完整");
    const unsigned char* body = p + at + 4;
    at += 4 + std::size_t(length);
    auto cellAt = [&](TCell cell) { Put(LE16(body) + 1, LE16(body + 2) + 1, std::move(cell)); };
    switch (type) {
      case 0x0042:  // CODEPAGE
        if (length >= 2) codePage = LE16(body);
        break;
      case 0x0204: {  // LABEL
        if (length < 8 || std::size_t(LE16(body + 6)) + 8 > length) Fail("工作簿不完整");
        TCell cell;
        cell.Text = CodePageText(std::string_view(reinterpret_cast<const char*>(body + 8), LE16(body + 6)), codePage);
        cellAt(std::move(cell));
        break;
      }
      case 0x0203: {  // NUMBER
        if (length < 14) Fail("工作簿不完整");
        TCell cell;
        cell.Kind = TCellKind::Number;
        std::memcpy(&cell.Number, body + 6, 8);
        cellAt(std::move(cell));
        break;
      }
      case 0x027E: {  // RK
        if (length < 10) Fail("工作簿不完整");
        TCell cell;
        cell.Kind = TCellKind::Number;
        cell.Number = DecodeRK(LE32(body + 6));
        cellAt(std::move(cell));
        break;
      }
      case 0x000A:  // EOF
        ended = true;
        break;
      default:  // BOF, BLANK and whatever else carries no value
        break;
    }
  }
  if (!ended) Fail("工作簿不完整");
}

// ---------------------------------------------------------------- zipped XML workbook (.xlsx)

namespace {

struct TZipCloser {
  zip_t* Z;
  ~TZipCloser() { zip_discard(Z); }
};

// Number formats that show a date and whether they show a time of day.
struct TDateStyle {
  bool Date = false;
  bool Time = false;
};

TDateStyle BuiltinStyle(int Id) {
  if ((Id >= 14 && Id <= 17) || (Id >= 27 && Id <= 36) || (Id >= 50 && Id <= 58)) return {true, false};
  if (Id == 22) return {true, true};
  if ((Id >= 18 && Id <= 21) || (Id >= 45 && Id <= 47)) return {true, true};
  return {};
}

// A format code shows a date when a date or time letter stands outside quotes, escapes and
// bracketed parts ("[Red]", "[$-804]"); "[h]" durations count as time.
TDateStyle CodeStyle(const String& Code) {
  TDateStyle s;
  bool quoted = false;
  for (std::size_t i = 0; i < Code.size(); ++i) {
    char c = Code[i];
    if (quoted) {
      quoted = c != '"';
      continue;
    }
    if (c == '"') quoted = true;
    else if (c == '\\' || c == '_' || c == '*') ++i;
    else if (c == '[') {
      std::size_t end = Code.find(']', i);
      String inside = LowerCase(Code.substr(i + 1, end == String::npos ? String::npos : end - i - 1));
      if (inside == "h" || inside == "hh" || inside == "m" || inside == "mm" || inside == "s" || inside == "ss")
        s.Date = s.Time = true;
      if (end == String::npos) break;
      i = end;
    } else {
      char l = char(std::tolower(static_cast<unsigned char>(c)));
      if (l == 'y' || l == 'd') s.Date = true;
      else if (l == 'h' || l == 's') s.Date = s.Time = true;
    }
  }
  return s;
}

String AttributeText(const QXmlStreamReader& X, const char* Name) {
  return X.attributes().value(QLatin1String(Name)).toString().toStdString();
}

// "B12" → row 12, column 2; false when it is no cell reference.
bool ParseReference(const String& Ref, int& Row, int& Col) {
  std::size_t i = 0;
  std::int64_t col = 0, row = 0;
  for (; i < Ref.size() && std::isalpha(static_cast<unsigned char>(Ref[i])); ++i) {
    col = col * 26 + (std::toupper(static_cast<unsigned char>(Ref[i])) - 'A' + 1);
    if (col > TSpreadsheet::MaxColumns) return Col = TSpreadsheet::MaxColumns + 1, Row = 1, true;
  }
  if (i == 0 || i == Ref.size()) return false;
  for (; i < Ref.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(Ref[i]))) return false;
    row = row * 10 + (Ref[i] - '0');
    if (row > TSpreadsheet::MaxRows) return Row = TSpreadsheet::MaxRows + 1, Col = 1, true;
  }
  Row = int(row);
  Col = int(col);
  return true;
}

// The text of the element the reader stands on, its runs joined; phonetic guides left out.
String RunsText(QXmlStreamReader& X) {
  const QString end = X.name().toString();
  String text;
  int skip = 0;
  while (!X.atEnd()) {
    X.readNext();
    if (X.isStartElement()) {
      if (X.name() == QLatin1String("rPh")) ++skip;
      else if (X.name() == QLatin1String("t") && !skip) text += X.readElementText().toStdString();
    } else if (X.isEndElement()) {
      if (X.name() == QLatin1String("rPh")) --skip;
      else if (X.name() == end) break;
    }
  }
  return text;
}

}  // namespace

void TSpreadsheet::TImpl::ReadZipped() {
  int error = 0;
  zip_t* z = zip_open(FileName.c_str(), ZIP_RDONLY, &error);
  if (!z) Fail("工作簿不完整或已损坏");
  TZipCloser closer{z};

  auto part = [&](const String& Name, bool Required) -> QByteArray {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(z, Name.c_str(), ZIP_FL_NOCASE, &st) != 0) {
      if (Required) Fail("缺少部件 " + Name);
      return QByteArray();
    }
    if (!(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPartSize) Fail("部件 " + Name + " 过大");
    if ((st.valid & ZIP_STAT_COMP_SIZE) && st.size > kRatioFloor && st.size / std::max<zip_uint64_t>(st.comp_size, 1) > kMaxPackRatio)
      Fail("部件 " + Name + " 的压缩比异常");
    zip_file_t* f = zip_fopen(z, Name.c_str(), ZIP_FL_NOCASE);
    if (!f) Fail("部件 " + Name + " 无法读取");
    QByteArray data;
    data.resize(qsizetype(st.size));
    zip_int64_t got = st.size ? zip_fread(f, data.data(), st.size) : 0;
    zip_fclose(f);
    if (got < 0 || zip_uint64_t(got) != st.size) Fail("部件 " + Name + " 不完整");
    return data;
  };
  auto checked = [&](QXmlStreamReader& X, const String& Name) {
    if (X.hasError()) Fail("部件 " + Name + " 无效: " + X.errorString().toStdString());
  };

  // The first sheet: the workbook names it, its relations give its part.
  String sheetId;
  {
    QXmlStreamReader x(part("xl/workbook.xml", true));
    while (!x.atEnd() && sheetId.empty())
      if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
        for (const QXmlStreamAttribute& a : x.attributes())
          if (a.name() == QLatin1String("id")) sheetId = a.value().toString().toStdString();
    checked(x, "xl/workbook.xml");
  }
  if (sheetId.empty()) Fail("工作簿中没有工作表");
  String sheetPart, stringsPart = "xl/sharedStrings.xml", stylesPart = "xl/styles.xml";
  {
    QXmlStreamReader x(part("xl/_rels/workbook.xml.rels", true));
    while (!x.atEnd()) {
      if (x.readNext() != QXmlStreamReader::StartElement || x.name() != QLatin1String("Relationship")) continue;
      String target = AttributeText(x, "Target"), type = AttributeText(x, "Type");
      target = target.rfind('/', 0) == 0 ? target.substr(1) : "xl/" + target;
      if (AttributeText(x, "Id") == sheetId) sheetPart = target;
      else if (EndsStr("/sharedStrings", type)) stringsPart = target;
      else if (EndsStr("/styles", type)) stylesPart = target;
    }
    checked(x, "xl/_rels/workbook.xml.rels");
  }
  if (sheetPart.empty()) Fail("工作簿中没有工作表");

  std::vector<String> strings;
  {
    QXmlStreamReader x(part(stringsPart, false));
    while (!x.atEnd())
      if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("si")) strings.push_back(RunsText(x));
    if (x.error() != QXmlStreamReader::PrematureEndOfDocumentError) checked(x, stringsPart);
  }

  // The date style of each cell format (the style index of a cell).
  std::vector<TDateStyle> styles;
  {
    std::map<int, String> codes;
    QXmlStreamReader x(part(stylesPart, false));
    bool inXfs = false;
    while (!x.atEnd()) {
      auto t = x.readNext();
      if (t == QXmlStreamReader::StartElement) {
        if (x.name() == QLatin1String("numFmt"))
          codes[StrToIntDef(AttributeText(x, "numFmtId"), -1)] = AttributeText(x, "formatCode");
        else if (x.name() == QLatin1String("cellXfs")) inXfs = true;
        else if (inXfs && x.name() == QLatin1String("xf")) {
          int id = StrToIntDef(AttributeText(x, "numFmtId"), 0);
          auto code = codes.find(id);
          styles.push_back(code != codes.end() ? CodeStyle(code->second) : BuiltinStyle(id));
        }
      } else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("cellXfs")) {
        inXfs = false;
      }
    }
  }

  QXmlStreamReader x(part(sheetPart, true));
  int row = 0, col = 0;
  while (!x.atEnd()) {
    if (x.readNext() != QXmlStreamReader::StartElement) continue;
    if (x.name() == QLatin1String("row")) {
      int r = StrToIntDef(AttributeText(x, "r"), row + 1);
      if (r < 1 || r > MaxRows) Fail("单元格超出工作表范围");
      row = r;
      col = 0;
      continue;
    }
    if (x.name() != QLatin1String("c")) continue;
    String ref = AttributeText(x, "r"), type = AttributeText(x, "t");
    int r = row ? row : 1, c = col + 1;
    if (!ref.empty() && !ParseReference(ref, r, c)) Fail("单元格位置 " + ref + " 无效");
    if (r > MaxRows || c > MaxColumns) Fail("单元格超出工作表范围");
    col = c;
    const int style = StrToIntDef(AttributeText(x, "s"), 0);
    String value;
    bool hasValue = false;
    while (!x.atEnd()) {
      auto t = x.readNext();
      if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("v")) {
        value = x.readElementText().toStdString();
        hasValue = true;
      } else if (t == QXmlStreamReader::StartElement && x.name() == QLatin1String("is")) {
        value = RunsText(x);
        hasValue = true;
      } else if (t == QXmlStreamReader::EndElement && x.name() == QLatin1String("c")) {
        break;
      }
    }
    if (!hasValue) continue;
    TCell cell;
    if (type == "s") {
      int i = StrToIntDef(value, -1);
      if (i < 0 || std::size_t(i) >= strings.size()) Fail("共享文本 " + value + " 不存在");
      cell.Text = strings[std::size_t(i)];
    } else if (type == "str" || type == "inlineStr") {
      cell.Text = value;
    } else if (type == "b") {
      cell.Kind = TCellKind::Boolean;
      cell.Number = value == "1" ? 1 : 0;
    } else if (type == "e") {
      cell.Kind = TCellKind::Error;
      cell.Text = value;
    } else {
      Extended v = 0;
      if (!TryStrToFloat(value, v, kInvariant)) Fail("数值 " + value + " 无效");
      bool date = style >= 0 && std::size_t(style) < styles.size() && styles[std::size_t(style)].Date;
      cell.Kind = date ? TCellKind::Date : TCellKind::Number;
      cell.Number = static_cast<double>(v);
    }
    Put(r, c, std::move(cell));
  }
  checked(x, sheetPart);
}

// ---------------------------------------------------------------- the sheet

TSpreadsheet::TSpreadsheet(const String& FileName) : FImpl(std::make_unique<TImpl>()) {
  FImpl->FileName = FileName;
  std::ifstream in(FileName, std::ios::binary);
  if (!in) FImpl->Fail("文件不存在或无法打开");
  char head[8] = {};
  in.read(head, sizeof head);
  const std::streamsize got = in.gcount();
  static const unsigned char kCompound[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (got == 8 && std::memcmp(head, kCompound, 8) == 0) {
    in.close();
    FImpl->ReadCompound();
  } else if (got >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0) {
    in.close();
    FImpl->ReadZipped();
  } else if (got >= 4 && static_cast<unsigned char>(head[0]) == 0x09 &&
             (head[1] == 0x08 || head[1] == 0x02 || head[1] == 0x04 || head[1] == 0x00)) {
    in.seekg(0);
    String bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FImpl->ReadRecords(bytes);
  } else {
    FImpl->Fail("不是可识别的工作簿");
  }
}

TSpreadsheet::~TSpreadsheet() = default;

const String& TSpreadsheet::FileName() const { return FImpl->FileName; }
int TSpreadsheet::RowCount() const { return FImpl->Rows; }
int TSpreadsheet::ColCount() const { return FImpl->Cols; }
int TSpreadsheet::CellCount() const { return static_cast<int>(FImpl->Cells.size()); }

Variant TSpreadsheet::Value(int Row, int Col) const {
  auto it = FImpl->Cells.find(CellKey(Row, Col));
  if (Row < 1 || Col < 1 || it == FImpl->Cells.end()) return Variant();
  const TCell& c = it->second;
  switch (c.Kind) {
    case TCellKind::Number: return Variant(c.Number);
    case TCellKind::Boolean: return Variant(c.Number != 0);
    case TCellKind::Date: return Variant::FromDate(c.Number);
    case TCellKind::Error: return Variant(c.Text);
    case TCellKind::Text: break;
  }
  return Variant(c.Text);
}

String TSpreadsheet::Text(int Row, int Col) const {
  auto it = FImpl->Cells.find(CellKey(Row, Col));
  if (Row < 1 || Col < 1 || it == FImpl->Cells.end()) return String();
  const TCell& c = it->second;
  switch (c.Kind) {
    case TCellKind::Number: return FloatToStr(c.Number);
    case TCellKind::Boolean: return c.Number != 0 ? "TRUE" : "FALSE";
    case TCellKind::Date: {
      String text = FormatDateTime(FormatSettings().ShortDateFormat, c.Number);
      if (c.Number != std::floor(c.Number)) text += FormatDateTime(" hh:nn:ss", c.Number);
      return text;
    }
    case TCellKind::Error:
    case TCellKind::Text: break;
  }
  return c.Text;
}
