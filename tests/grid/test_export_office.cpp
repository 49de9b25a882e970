// An office suite reads what the exporters write: the spreadsheet's cells with their Chinese
// text, and the rich text in a word processor. Each group starts the suite once, with a
// profile of its own in the test's folder.
#include "ExportFixture.h"
#include "OfficeConvert.h"
#include "core/FileUtils.h"

using namespace exporttest;


TEST_F(ExportFixture, TheOfficeSuiteReadsTheSpreadsheetCellsWithTheirChineseText) {
  String file = Dir / "合同列表.xls";
  ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsXLS>, Grid, file, true);
  String csv = ConvertWithOffice(Dir, file, "csv:Text - txt - csv (StarCalc):44,34,76", ".csv");
  auto lines = Split(csv, "\n");
  ASSERT_GE(lines.size(), 5u) << csv;
  EXPECT_EQ(lines[0], "编号,金额|数值,金额|货币,签订日期,合同名称,完成,状态");
  EXPECT_EQ(lines[1], "42,1.5,10.25,2024-01-02,合同名称,True,启用");
  EXPECT_EQ(lines[2], ",,0,,\"a\"\"b\",False,停用");
  EXPECT_EQ(lines[3], "1073741824,2.25,5,2024-03-04,项目{A}\\x,False,启用");
  EXPECT_EQ(lines[4], ",3.75,,,3,,");
}

TEST_F(ExportFixture, TheWordProcessorReadsTheRichTextTable) {
  Grid->SetUseMultiTitle(true);
  String file = Dir / "list.rtf";
  ExportDBGridEhToFile(NewExporter<TDBGridEhExportAsRTF>, Grid, file, true);
  String text = ConvertWithOffice(Dir, file, "txt:Text (encoded):UTF8", ".txt");
  ASSERT_FALSE(text.empty());
  for (const char* cell : {"项目{A}\\x", "合同名称", "金额", "数值", "货币", "启用", "a\"b", "3.75"})
    EXPECT_NE(text.find(cell), String::npos) << cell << " in\n" << text;
  EXPECT_EQ(text.find("\\u"), String::npos) << "no escape shows as text";
}
