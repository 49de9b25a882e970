// The report library's shared functions: pieces, hexadecimal streams, numbers, bracketed
// expressions, page ranges, component paths and error reporting by silent mode.
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "data/MemDataSet.h"
#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "gui/MessageBox.h"
#include "gui/Messages.h"
#include "TempFolder.h"
#include "report/frxClass.h"
#include "report/frxFormUtils.h"
#include "report/frxUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportUtils, PiecesBetweenSeparators) {
  struct Case { String text; String pieces; };
  const Case cases[] = {{"a;;b", "[a][][b]"}, {";a", "[][a]"}, {"a;", "[a]"}, {"", ""}, {"一;二", "[一][二]"}};
  for (const Case& c : cases) {
    TStringList l;
    l.Add("old");
    SplitToStrings(c.text, &l, ';');
    String got;
    for (int i = 0; i < l.Count(); ++i) got += "[" + l[i] + "]";
    EXPECT_EQ(got, c.pieces) << c.text;
  }
}

TEST(ReportUtils, HexadecimalStreams) {
  TMemoryStream m;
  m.WriteBuffer("\x00\x7F\xAB", 3);
  EXPECT_EQ(StreamToHex(&m), "007FAB");
  TMemoryStream out;
  out.WriteBuffer("zzzzz", 5);
  HexToStream("41bCxx42", &out);  // stops at the first pair that is not hexadecimal
  EXPECT_EQ(out.Size(), 5);
  EXPECT_EQ(String(static_cast<const char*>(out.Memory()), 5), "A\xBCzzz");
}

TEST(ReportUtils, NumbersWithAnySeparator) {
  TFormatSettings saved = FormatSettings();
  TScopeExit restore([&] { FormatSettings() = saved; });
  for (char sep : {'.', ','}) {
    FormatSettings().DecimalSeparator = sep;
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloatAnySep("1,5")), 1.5) << sep;
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloatAnySep("1.5")), 1.5) << sep;
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloatAnySep("1 0.5")), 10.5) << sep;
  }
  EXPECT_THROW(StrToFloatAnySep("x"), EConvertError);
  FormatSettings() = saved;
  EXPECT_EQ(FloatToTextTwoDecimals(2), "2");
  EXPECT_EQ(FloatToTextTwoDecimals(2.5), "2.50");
  EXPECT_EQ(FloatToTextTwoDecimals(1.0L / 3), "0.33");
  EXPECT_EQ(FloatToTextTwoDecimals(-40), "-40");
}

TEST(ReportUtils, BracketedExpressions) {
  struct Case { String text; int start; String expr; int start2, end; };
  const Case cases[] = {
      {"x[a \"]\" b]y", 2, "a \"]\" b", 2, 10},
      {"[a[b]c]", 1, "a[b]c", 1, 7},
      {"[a ']' b]", 1, "a ']' b", 1, 9},
      {"[abc", 1, "abc", 1, 4},               // unclosed: to the end, end within the text
      {"中[文]字", 2, "文", 2, 4},             // positions in characters
      {"a[b]", 1, "", 1, 1},                  // not at an opening tag
      {"", 1, "", 1, 1},
  };
  for (const Case& c : cases) {
    int start = c.start, end = -1;
    String expr = "old";
    ScanBracketedExpression(c.text, "[", "]", start, end, expr);
    EXPECT_EQ(expr, c.expr) << c.text;
    EXPECT_EQ(start, c.start2) << c.text;
    EXPECT_EQ(end, c.end) << c.text;
  }
  int start = 1, end = 0;
  String expr;
  ScanBracketedExpression("<%a%>b", "<%", "%>", start, end, expr);
  EXPECT_EQ(expr, "a");
  EXPECT_EQ(end, 5);
  start = 1;
  WideString wexpr;
  ScanBracketedExpressionW(u"[x[y]]", u"[", u"]", start, end, wexpr);
  EXPECT_EQ(wexpr, u"x[y]");
  EXPECT_EQ(end, 6);
}

TEST(ReportUtils, PageRanges) {
  struct Case { String text; String pages; };
  const Case cases[] = {
      {"1,3,5-7", "1,3,5,6"}, {"4-", "4,5,6"}, {"0,7", ""}, {" 2 , 2 ", "2,2"}, {"5-3", ""}, {"", ""},
  };
  for (const Case& c : cases) {
    TStringList l;
    ParsePageRanges(c.text, &l, 6);
    EXPECT_EQ(l.CommaText(), c.pages) << c.text;
  }
  TStringList l;
  EXPECT_THROW(ParsePageRanges("x", &l, 6), EConvertError);
}

TEST(ReportUtils, TemporaryFilesInAFolder) {
  TempFolder dir;
  String name = TempFileNameIn(dir.Path());
  EXPECT_EQ(ExtractFilePath(name), dir.Path());
  EXPECT_EQ(ExtractFileName(name).substr(0, 2), "fr");
  EXPECT_TRUE(FileExists(name));
  EXPECT_EQ(ModuleFileName(), ParamStr(0));
}

// ---------------------------------------------------------------- components

struct ReportComponentPaths : ::testing::Test {
  // A data module "Data" with a dataset "qry", and a report owned by another holder.
  std::unique_ptr<TDataModule> Data = std::make_unique<TDataModule>(nullptr);
  TMemDataSet* Query;
  std::unique_ptr<TComponent> Holder = std::make_unique<TComponent>(nullptr);
  TfrxReport* Report;
  TComponent* Beside;
  ReportComponentPaths() {
    Data->SetName("Data");
    Query = new TMemDataSet(Data.get());
    Query->SetName("qry");
    Report = new TfrxReport(Holder.get());
    Report->SetName("rep");
    Beside = new TComponent(Holder.get());
    Beside->SetName("beside");
  }
};

TEST_F(ReportComponentPaths, NamesAndPathsAcrossDataModules) {
  EXPECT_EQ(QualifiedComponentName(Report, Query), "Data.qry");
  EXPECT_EQ(QualifiedComponentName(Report, Beside), "beside");
  EXPECT_EQ(QualifiedComponentName(Report, nullptr), "");
  EXPECT_EQ(FindComponentByPath(Report, "Data.qry"), Query);
  EXPECT_EQ(FindComponentByPath(Report, "beside"), Beside);  // through the report's owner
  EXPECT_EQ(FindComponentByPath(Report, "Data.none"), nullptr);
  EXPECT_EQ(FindComponentByPath(Report, "Nowhere.qry"), nullptr);
  EXPECT_EQ(FindComponentByPath(nullptr, "beside"), nullptr);

  TStringList found;
  CollectComponentsOfClass(Report, TMemDataSet::StaticClass(), &found, nullptr);
  EXPECT_EQ(found.CommaText(), "Data.qry");
  EXPECT_EQ(found.Objects(0), Query);
  CollectComponentsOfClass(Report, TMemDataSet::StaticClass(), &found, Query);
  EXPECT_EQ(found.Count(), 0);
}

TEST_F(ReportComponentPaths, ErrorsByTheReportsSilentMode) {
  std::vector<String> boxes;
  SetMessageBoxHook([&](const String& Text, const String& Caption, int Flags) {
    boxes.push_back(Caption + ":" + Text + (Flags & MB_ICONERROR ? ":error" : ""));
    return IDOK;
  });
  TScopeExit unhook([] { SetMessageBoxHook(nullptr); });
  Report->EngineOptions()->SetNewSilentMode(simMessageBoxes);
  ReportErrorByMode(Report, "m1");
  Report->EngineOptions()->SetNewSilentMode(simSilent);
  ReportErrorByMode(Report, "m2");
  Report->EngineOptions()->SetNewSilentMode(simReThrow);
  try {
    ReportErrorByMode(Report, "m3");
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "m3");
  }
  EXPECT_EQ(boxes, std::vector<String>{"错误:m1:error"});
  EXPECT_EQ(AskConfirmation("sure?", MB_YESNO), IDOK);
  EXPECT_EQ(boxes.back(), "确认:sure?");
}

}  // namespace
