// The workbook reader and the spreadsheet automation stand-ins: workbooks made by the office
// suite from one flat sheet read the same whatever their format; the grid export's record
// stream reads back; unreadable and hostile files are refused with a message naming them.
#include "OfficeConvert.h"
#include "TempFolder.h"

#include "core/ComObj.h"
#include "core/DateUtils.h"
#include "core/Spreadsheet.h"
#include "core/SpreadsheetServer.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>

namespace {

// One row of titles and one row of values of each kind the reader tells apart; C2 is empty.
const char* const kFlatSheet = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:date-style style:name="N1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
  <style:style style:name="ce1" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="N1"/>
 </office:automatic-styles>
 <office:body><office:spreadsheet><table:table table:name="S1">
  <table:table-row>
   <table:table-cell office:value-type="string"><text:p>名称</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>数量</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>金额</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>日期</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>合同</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>O'Hara</text:p></table:table-cell>
   <table:table-cell office:value-type="string"><text:p>真假</text:p></table:table-cell>
  </table:table-row>
  <table:table-row>
   <table:table-cell office:value-type="string"><text:p>螺栓</text:p></table:table-cell>
   <table:table-cell office:value-type="float" office:value="12"><text:p>12</text:p></table:table-cell>
   <table:table-cell office:value-type="float" office:value="1234.5"><text:p>1234.5</text:p></table:table-cell>
   <table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="2024-03-08"><text:p>2024-03-08</text:p></table:table-cell>
   <table:table-cell/>
   <table:table-cell office:value-type="string"><text:p>O'Hara</text:p></table:table-cell>
   <table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>TRUE</text:p></table:table-cell>
  </table:table-row>
 </table:table></office:spreadsheet></office:body>
</office:document>
)";

struct TExpectedCell {
  int Row, Col;
  const char* Text;
  TVarType Type;
};
const TExpectedCell kExpected[] = {
    {1, 1, "名称", varString},   {1, 5, "合同", varString},   {1, 6, "O'Hara", varString},
    {2, 1, "螺栓", varString},   {2, 2, "12", varDouble},     {2, 3, "1234.5", varDouble},
    {2, 4, "2024-03-08", varDate}, {2, 5, "", varEmpty},       {2, 6, "O'Hara", varString},
    // The office suite writes a Boolean of a flat sheet as the number 1 in both formats (a
    // workbook's own Boolean cells are read in the zipped test below).
    {2, 7, "1", varDouble},
};

class SpreadsheetTest : public ::testing::Test {
protected:
  TempFolder Dir;

  // The flat sheet converted by the office suite with Filter, as a file named Name.
  String Converted(const String& Filter, const String& Ext) {
    Dir.Write("sheet.fods", kFlatSheet);
    String bytes = ConvertWithOffice(Dir, Dir / "sheet.fods", Filter, Ext);
    EXPECT_FALSE(bytes.empty()) << Filter;
    Dir.Write("sheet" + Ext, bytes);
    return Dir / ("sheet" + Ext);
  }

  // The message of the refusal of File; '' when it was read.
  static String Refusal(const String& File) {
    try {
      TSpreadsheet sheet(File);
    } catch (const ESpreadsheetError& e) {
      return e.Message();
    }
    return "";
  }

  // A zipped workbook whose sheet part is Sheet (shared strings none).
  String Zipped(const String& Name, const String& Sheet) {
    const String workbook =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const String rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
    const String path = Dir / Name;
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(z, nullptr);
    std::vector<String> keep{workbook, rels, Sheet};
    const char* names[] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml"};
    for (int i = 0; i < 3; ++i) {
      zip_source_t* s = zip_source_buffer(z, keep[i].data(), keep[i].size(), 0);
      zip_int64_t at = zip_file_add(z, names[i], s, ZIP_FL_OVERWRITE);
      zip_set_file_compression(z, zip_uint64_t(at), ZIP_CM_STORE, 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
  }
  static String SheetXml(const String& Cells, const String& Dimension = "") {
    return R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
           (Dimension.empty() ? String() : "<dimension ref=\"" + Dimension + "\"/>") + "<sheetData>" + Cells +
           "</sheetData></worksheet>";
  }
};

TEST_F(SpreadsheetTest, OneSheetReadsTheSameAsXlsAndXlsx) {
  for (const auto& [filter, ext] : {std::pair<String, String>{"xls:MS Excel 97", ".xls"},
                                    std::pair<String, String>{"xlsx:Calc MS Excel 2007 XML", ".xlsx"}}) {
    String file = Converted(filter, ext);
    TSpreadsheet sheet(file);
    EXPECT_EQ(sheet.RowCount(), 2) << ext;
    EXPECT_EQ(sheet.ColCount(), 7) << ext;
    EXPECT_EQ(sheet.CellCount(), 13) << ext;
    for (const TExpectedCell& c : kExpected) {
      EXPECT_EQ(sheet.Text(c.Row, c.Col), c.Text) << ext << " " << c.Row << "," << c.Col;
      EXPECT_EQ(VarType(sheet.Value(c.Row, c.Col)), c.Type) << ext << " " << c.Row << "," << c.Col;
    }
    EXPECT_EQ(sheet.Value(2, 2).AsDouble(), 12.0) << ext;
    EXPECT_EQ(sheet.Value(2, 4).AsDouble(), EncodeDate(2024, 3, 8)) << ext;
    EXPECT_EQ(sheet.Text(3, 1), "") << "outside the used range";
  }
}

TEST_F(SpreadsheetTest, ZippedCellsKeepTheirKindsAndTheDeclaredRangeIsNotTrusted) {
  const String cells =
      R"(<row r="1"><c r="A1" t="inlineStr"><is><r><t>富</t></r><r><t>文本</t></r><rPh><t>ふ</t></rPh></is></c>)"
      R"(<c r="B1" t="b"><v>1</v></c></row>)"
      R"(<row r="3"><c r="A3" t="e"><v>#DIV/0!</v></c><c r="B3" t="str"><v>x</v></c></row>)";
  TSpreadsheet sheet(Zipped("kinds.xlsx", SheetXml(cells, "A1:XFD1048576")));
  EXPECT_EQ(sheet.RowCount(), 3);
  EXPECT_EQ(sheet.ColCount(), 2);
  EXPECT_EQ(sheet.Text(1, 1), "富文本");
  EXPECT_EQ(sheet.Text(1, 2), "TRUE");
  EXPECT_EQ(VarType(sheet.Value(1, 2)), varBoolean);
  EXPECT_EQ(sheet.Text(3, 1), "#DIV/0!");
  EXPECT_EQ(sheet.Text(3, 2), "x");

  TSpreadsheet two(Zipped("two.xlsx", SheetXml(R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2.5</v></c></row>)",
                                               "A1:XFD1048576")));
  EXPECT_EQ(two.RowCount(), 1);
  EXPECT_EQ(two.ColCount(), 2);
  EXPECT_EQ(two.CellCount(), 2);
  EXPECT_EQ(two.Text(1, 2), "2.5");
}

TEST_F(SpreadsheetTest, TheGridExportsRecordStreamReadsBack) {
  // BOF, CODEPAGE 936, a GBK label, an integer RK, a NUMBER and EOF, as the grid writes them.
  auto le16 = [](String& s, int v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
  };
  String s;
  for (int w : {0x0809, 8, 0, 0x10, 0, 0, 0x0042, 2, 936}) le16(s, w);
  const String label = Utf8ToGbk("货品名称");
  for (int w : {0x0204, int(label.size()) + 8, 0, 0, 0, int(label.size())}) le16(s, w);
  s += label;
  for (int w : {0x027E, 10, 1, 0, 0}) le16(s, w);
  for (int b : {0x2A, 0, 0, 0}) s.push_back(char(b));  // 10 as an integer RK
  for (int w : {0x0203, 14, 1, 1, 0}) le16(s, w);
  double half = 2.5;
  s.append(reinterpret_cast<const char*>(&half), 8);
  for (int w : {0x000A, 0}) le16(s, w);
  Dir.Write("grid.xls", s);
  TSpreadsheet sheet(Dir / "grid.xls");
  EXPECT_EQ(sheet.RowCount(), 2);
  EXPECT_EQ(sheet.ColCount(), 2);
  EXPECT_EQ(sheet.Text(1, 1), "货品名称");
  EXPECT_EQ(sheet.Text(2, 1), "10");
  EXPECT_EQ(sheet.Text(2, 2), "2.5");

  Dir.Write("cut.xls", s.substr(0, s.size() - 10));
  EXPECT_NE(Refusal(Dir / "cut.xls").find("cut.xls"), String::npos);
}

TEST_F(SpreadsheetTest, UnreadableAndHostileFilesAreRefusedNamingTheFile) {
  Dir.Write("text.xls", "名称,数量\n螺栓,12\n");
  String xls = Converted("xls:MS Excel 97", ".xls");
  String bytes = Dir.Read("sheet.xls");
  Dir.Write("truncated.xls", bytes.substr(0, bytes.size() / 3));

  // A sheet part that says it unpacks to 2 GiB: its sizes are changed in both headers.
  String big = Zipped("big.xlsx", SheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
  String zipped = Dir.Read("big.xlsx");
  const std::uint32_t huge = 0x80000000u;
  for (std::size_t at = 0; (at = zipped.find("xl/worksheets/sheet1.xml", at)) != String::npos; ++at) {
    bool central = at >= 46 && zipped.compare(at - 46, 4, "PK\x01\x02") == 0;
    bool local = at >= 30 && zipped.compare(at - 30, 4, "PK\x03\x04") == 0;
    if (central) std::memcpy(&zipped[at - 46 + 24], &huge, 4);
    if (local) std::memcpy(&zipped[at - 30 + 22], &huge, 4);
  }
  Dir.Write("big.xlsx", zipped);

  String far = Zipped("far.xlsx", SheetXml(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"));
  String deep = Zipped("deep.xlsx", SheetXml(R"(<row r="1048577"><c><v>1</v></c></row>)"));

  for (const String& name : {String("text.xls"), String("truncated.xls"), String("big.xlsx"), String("far.xlsx"),
                             String("deep.xlsx"), String("missing.xlsx")}) {
    String message = Refusal(Dir / name);
    EXPECT_NE(message.find(Dir / name), String::npos) << name << ": " << message;
  }
}

TEST_F(SpreadsheetTest, TheStandInsOpenAWorkbookAndAnswerTheCallsOfAnImport) {
  RegisterSpreadsheetAutomation();
  String file = Converted("xlsx:Calc MS Excel 2007 XML", ".xlsx");
  Variant app = CreateOleObject("Excel.Application");
  Variant book = CreateOleObject("Excel.Sheet");
  book = OleCall(OleGet(app, "WorkBooks"), "add");
  OleCall(OleGet(app, "workBooks"), "open", {Variant(file)});
  OleSet(app, "visible", Variant(false));
  EXPECT_FALSE(OleGet(app, "Visible").AsBoolean());
  Variant used = OleGet(OleGet(app, "ActiveSheet"), "UsedRange");
  EXPECT_EQ(OleGet(OleGet(used, "Columns"), "Count").AsInteger(), 7);
  EXPECT_EQ(OleGet(OleGet(used, "rows"), "count").AsInteger(), 2);
  Variant cells = OleGet(OleGet(app, "ActiveSheet"), "Cells");
  EXPECT_EQ(OleGet(OleCall(cells, "item", {Variant(1), Variant(4)}), "value").AsString(), "日期");
  EXPECT_EQ(OleGet(OleCall(cells, "Item", {Variant(2), Variant(4)}), "Text").AsString(), "2024-03-08");

  try {
    OleGet(app, "Charts");
    ADD_FAILURE() << "an unknown member was answered";
  } catch (const EOleError& e) {
    EXPECT_NE(e.Message().find("Unknown name."), String::npos);
  }
  try {
    OleCall(OleGet(app, "Workbooks"), "Open", {Variant(Dir / "none.xls")});
    ADD_FAILURE() << "a missing workbook opened";
  } catch (const EOleError& e) {
    EXPECT_NE(e.Message().find(Dir / "none.xls"), String::npos);
  }
  OleCall(book, "Close");
  OleCall(app, "Quit");
}

}  // namespace
