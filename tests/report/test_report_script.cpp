// The report's script binding: names and expressions through LookupValue and the cache of
// compiled expressions, the report's own functions, script events, and the report classes,
// constants and functions scripts see.
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Timers.h"
#include "report/frxBands.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxExpressionCache.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "gui/Pictures.h"
#include "report/frxVariables.h"
#include "script/fs_iinterpreter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// ---------------------------------------------------------------- a recording engine

struct TRecord {
  std::vector<String> Calls;
};

class TRecordingOutline : public TfrxCustomOutline {
public:
  TRecordingOutline(TfrxCustomPreviewPages* Pages, TRecord& R) : TfrxCustomOutline(Pages), Rec(R) {}
  void AddItem(const String& Text, int Top) override { Rec.Calls.push_back("AddItem " + Text + " " + IntToStr(Top)); }
  void LevelRoot() override { Rec.Calls.push_back("LevelRoot"); }
  void LevelUp() override { Rec.Calls.push_back("LevelUp"); }
  TRecord& Rec;
};

class TRecordingPages : public TfrxCustomPreviewPages {
public:
  TRecordingPages(TfrxReport* R, TRecord& Rec) : TfrxCustomPreviewPages(R), Rec(Rec) {
    SetOutline(std::make_unique<TRecordingOutline>(this, Rec));
  }
  int Cur = 0, First = 0;
  int CurPage() const override { return Cur; }
  int FirstPage() const override { return First; }
  void AddAnchor(const String& Text) override { Rec.Calls.push_back("AddAnchor " + Text); }
  int GetAnchorPage(const String& Text) override { return Text == "here" ? 7 : 0; }
  TRecord& Rec;
};

class TRecordingEngine : public TfrxCustomEngine {
public:
  TRecordingEngine(TfrxReport* R, TRecord& Rec) : TfrxCustomEngine(R), Rec(Rec) {}
  void FinishPage() override { Rec.Calls.push_back("FinishPage"); }
  void NewColumn() override { Rec.Calls.push_back("NewColumn"); }
  void NewPage() override { Rec.Calls.push_back("NewPage"); }
  void ShowBand(TfrxBand* Band) override { Rec.Calls.push_back("ShowBand " + (Band ? Band->Name() : String("nil"))); }
  void ShowBandOfClass(TClass) override {}
  Extended FootersHeight() override { return 0; }
  Extended FreeSpace() override { return 123.5; }
  Variant AggregateValue(const String& Name, const String& Expression, TfrxBand* Band, int Flags) override {
    Rec.Calls.push_back("Aggregate " + Name + " " + Expression + " " + (Band ? Band->Name() : String("nil")) + " " +
                        IntToStr(Flags));
    return Variant(42);
  }
  bool BuildReport() override { return true; }
  TRecord& Rec;
};

// The fixture: a report over a user data set "Customers" (Name, Amount) with one Null row,
// a page with a master band and two memos, and the recording engine and store.
class TCustomers : public TfrxUserDataSet {
public:
  using TfrxUserDataSet::TfrxUserDataSet;
  TfrxFieldType GetFieldType(const String& Field) override { return SameText(Field, "Name") ? fftString : fftNumeric; }
};

class ReportScript : public ::testing::Test {
protected:
  TRecord Rec;
  TfrxReport Report{nullptr};
  TCustomers Customers{nullptr};
  TRecordingEngine* Engine = nullptr;
  TRecordingPages* Pages = nullptr;
  TfrxMasterData* Band = nullptr;
  TfrxMemoView *Memo1 = nullptr, *Memo2 = nullptr;
  int Marks = 0;

  void SetUp() override {
    Customers.SetUserName("Customers");
    Customers.Fields()->SetText("Name\nAmount");
    Customers.SetRangeEnd(reCount);
    Customers.SetRangeEndCount(3);
    Customers.OnGetValue = TfrxGetValueEvent::Lambda([this](const String& f, Variant& v) {
      static const char* const names[] = {"张三", "Li", nullptr};
      static const int amounts[] = {10, 20, 0};
      int row = Customers.RecNo();
      if (row == 2) return;  // the Null row
      v = SameText(f, "Name") ? Variant(String(names[row])) : Variant(amounts[row]);
    });
    Report.DataSets()->AddDataSet(&Customers);
    auto engine = std::make_unique<TRecordingEngine>(&Report, Rec);
    auto pages = std::make_unique<TRecordingPages>(&Report, Rec);
    Engine = engine.get();
    Pages = pages.get();
    Report.SetEngine(std::move(engine));
    Report.SetPreviewPages(std::move(pages));
    auto* page = new TfrxReportPage(&Report);
    page->SetName("Page1");
    Band = new TfrxMasterData(page);
    Band->SetName("MasterData1");
    Memo1 = new TfrxMemoView(Band);
    Memo1->SetName("Memo1");
    Memo2 = new TfrxMemoView(Band);
    Memo2->SetName("Memo2");
  }

  // Compiles Text as the report's script in Language; fails the test when it does not.
  void Compile(const String& Text, const String& Language = "PascalScript") {
    Report.SetScriptLanguage(Language);
    Report.ScriptText()->SetText(Text);
    ASSERT_TRUE(Report.CompileReportScript()) << Report.Errors()->Text();
  }
  // Compiles and runs the main block.
  void Run(const String& Text) {
    Compile(Text);
    Report.Script()->RunProgram();
  }
  void RegisterMark() {
    Report.Script()->RegisterFunction("function Mark(n: Integer): Integer",
                                      [this](TObject*, TClass, const String&, TfsMethodHelper* C) {
                                        Marks += C->ParamValue(0).AsInteger();
                                        return C->ParamValue(0);
                                      });
  }
  int Cached() const { return Report.ExpressionCache()->Count(); }
};

// ---------------------------------------------------------------- compiling

TEST_F(ReportScript, CompilingRegistersTheObjectsForTheRunAndDropsTheNamesOfAnEarlierCompile) {
  Memo1->SetIsDesigning(true);
  auto* picture = new TfrxPictureView(Band);
  picture->SetName("Picture1");
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  picture->Picture()->Assign(&bitmap);
  ASSERT_TRUE(picture->PictureChanged());
  auto* extra = new TfrxMemoView(Band);
  extra->SetName("Extra");
  Compile("begin end.");
  EXPECT_FALSE(Memo1->IsDesigning());
  EXPECT_FALSE(picture->PictureChanged());
  struct {
    const char* Name;
    const TObject* Object;
  } const names[] = {{"Memo1", Memo1},  {"masterdata1", Band}, {"Page1", Report.PageAt(0)}, {"Report", &Report},
                     {"Engine", Engine}, {"Outline", Pages->Outline()}};
  for (const auto& n : names) {
    SCOPED_TRACE(n.Name);
    EXPECT_EQ(Report.Calc(n.Name).AsInteger(), HandleOf(n.Object));
  }
  EXPECT_TRUE(VarIsNull(Report.Calc("Value")));
  EXPECT_EQ(Report.Script()->LookupLocalName("Extra")->TypeName(), "TfrxMemoView");
  delete extra;
  Compile("begin end.");
  EXPECT_EQ(Report.Script()->LookupLocalName("Extra"), nullptr);
  EXPECT_THROW(Report.Calc("Extra.Text"), Exception);
}

// ---------------------------------------------------------------- names

TEST_F(ReportScript, FieldsAndSystemVariablesAnswerWithoutCompiling) {
  Compile("begin end.");
  EXPECT_EQ(Report.Calc("Customers.\"Name\"").AsString(), "张三");
  EXPECT_EQ(Report.Calc("customers.\"Amount\"").AsInteger(), 10);
  Customers.Next();
  Customers.Next();  // the Null row
  EXPECT_EQ(Report.Calc("Customers.\"Name\"").AsString(), "");
  EXPECT_TRUE(VarIsStr(Report.Calc("Customers.\"Name\"")));
  EXPECT_EQ(Report.Calc("Customers.\"Amount\"").AsInteger(), 0);
  Report.EngineOptions()->SetConvertNulls(false);
  EXPECT_TRUE(VarIsNull(Report.Calc("Customers.\"Name\"")));

  Pages->First = 2;
  Pages->Cur = 4;
  Engine->SetTotalPages(9);
  Engine->SetCurRow(3);
  Engine->SetCurRowThrough(11);
  struct {
    const char* Name;
    int Value;
  } const cases[] = {{"page", 3}, {"Page#", 5}, {"TotalPages", 7}, {"TotalPages#", 9}, {"Line", 3}, {"LINE#", 11}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Report.Calc(c.Name).AsInteger(), c.Value);
  }
  Engine->SetStartDate(EncodeDate(2024, 5, 6));
  EXPECT_DOUBLE_EQ(Report.Calc("Date").AsDouble(), EncodeDate(2024, 5, 6));
  EXPECT_EQ(Cached(), 0);
}

TEST_F(ReportScript, VariablesProgramValuesAndScriptVariables) {
  Report.Variables()->SetVariables("Rate", "2*3");
  Report.Variables()->SetVariables("Address", "line one\r\nline two");
  Report.Variables()->SetVariables("Count", 17);
  Compile("var Local: Integer; begin Local := 8; end.");
  Report.Script()->RunProgram();
  EXPECT_EQ(Report.Calc("Rate").AsInteger(), 6);
  EXPECT_EQ(Report.Calc("Address").AsString(), "line one\r\nline two");
  EXPECT_EQ(Report.Calc("count").AsInteger(), 17);
  EXPECT_EQ(Report.Calc("Local").AsInteger(), 8);  // a script variable, no compile
  EXPECT_EQ(Cached(), 1);                          // only "2*3"

  // OnGetValue answers before variables; an Empty answer passes the name on.
  Report.OnGetValue = TfrxGetValueEvent::Lambda([](const String& n, Variant& v) {
    if (n == "Count") v = Variant(99);
  });
  EXPECT_EQ(Report.Calc("Count").AsInteger(), 99);
  EXPECT_EQ(Report.Calc("Rate").AsInteger(), 6);
  Variant v;
  EXPECT_FALSE(Report.LookupValue("Nobody", v));
  EXPECT_TRUE(VarIsNull(v));
}

// ---------------------------------------------------------------- the cache

TEST_F(ReportScript, EachDistinctTextCompilesOnceIgnoringCase) {
  Compile("begin end.");
  Report.Script()->RegisterVariable("A", "Integer", Variant(4));
  EXPECT_EQ(Report.Calc("1+2").AsInteger(), 3);
  EXPECT_EQ(Report.Calc("1+2").AsInteger(), 3);
  EXPECT_EQ(Cached(), 1);
  EXPECT_EQ(Report.ExpressionCache()->FunctionNameOf("1+2"), "fr3f0");
  EXPECT_EQ(Report.Calc("2+3").AsInteger(), 5);
  EXPECT_EQ(Report.ExpressionCache()->FunctionNameOf("2+3"), "fr3f1");
  EXPECT_EQ(Report.Calc("A+1").AsInteger(), 5);
  EXPECT_EQ(Report.Calc("a+1").AsInteger(), 5);
  EXPECT_EQ(Cached(), 3);
  // An earlier function still runs after later ones compiled; a new compile forgets them.
  EXPECT_EQ(Report.Calc("1+2").AsInteger(), 3);
  Compile("begin end.");
  EXPECT_EQ(Cached(), 0);
}

TEST_F(ReportScript, AnExpressionErrorNamesTheObjectOnceAndIsNotCached) {
  Compile("begin end.");
  Report.SetCurrentObjectName("Memo1");
  for (int i = 0; i < 2; ++i) {
    try {
      Report.Calc("1+");
      FAIL() << "no error";
    } catch (const Exception& E) {
      EXPECT_TRUE(StartsStr("Memo1: 运算式错误 '1+': ", E.Message())) << E.Message();
    }
  }
  EXPECT_EQ(Report.Errors()->Count(), 1);
  EXPECT_EQ(Cached(), 0);
  // A run-time failure is an expression error too, without the compile prefix.
  Report.SetCurrentObjectName("");
  EXPECT_THROW(Report.Calc("1 div 0"), Exception);
  EXPECT_EQ(Report.Errors()->Count(), 2);
}

TEST_F(ReportScript, EveryLanguageCompilesItsOwnWrapper) {
  struct {
    const char* Language;
    const char* Program;
  } const languages[] = {{"PascalScript", "begin end."}, {"C++Script", "{}"}, {"BasicScript", ""}, {"JScript", ""}};
  for (const auto& [language, program] : languages) {
    SCOPED_TRACE(language);
    Report.SetScriptLanguage(language);
    Report.ScriptText()->SetText(program);
    ASSERT_TRUE(Report.CompileReportScript()) << Report.Errors()->Text();
    EXPECT_EQ(Report.Calc("1+2").AsInteger(), 3);
    EXPECT_EQ(Report.Calc("<Customers.\"Amount\"> * 2").AsInteger(), 20);
  }
  // A JScript variable is a name the report knows: nothing compiles.
  Compile("var a = 7;", "JScript");
  Report.Script()->RunProgram();
  EXPECT_EQ(Report.Calc("a").AsInteger(), 7);
  EXPECT_EQ(Cached(), 0);
  // A language nobody registered is an expression error, not a crash of the run.
  Report.ExpressionCache()->SetScriptLanguage("Cobol");
  String error;
  Variant value;
  Report.ExpressionCache()->Calc("1", error, value, Report.Script());
  EXPECT_TRUE(StartsStr("运算式错误 '1': ", error)) << error;
  EXPECT_TRUE(VarIsNull(value));
}

TEST_F(ReportScript, ASyntaxErrorReportsItsPosition) {
  Report.ScriptText()->SetText("begin\n  x := ;\nend.");
  EXPECT_FALSE(Report.CompileReportScript());
  ASSERT_EQ(Report.Errors()->Count(), 1);
  String line = (*Report.Errors())[0];
  EXPECT_TRUE(StartsStr("Script 错误在 2:", line)) << line;
}

// ---------------------------------------------------------------- the report's functions

TEST_F(ReportScript, GetSetAndAggregates) {
  Compile("begin end.");
  EXPECT_TRUE(VarIsNull(Report.Calc("Get('Missing')")));
  EXPECT_TRUE(VarIsNull(Report.Calc("Get('Missing')")));
  ASSERT_EQ(Report.Errors()->Count(), 1);
  EXPECT_EQ((*Report.Errors())[0], "未知的变量或数据库字段: Missing");
  EXPECT_EQ(Report.Calc("Get('Customers.\"Name\"')").AsString(), "张三");

  EXPECT_EQ(Report.Calc("Get('SUM(<Customers.\"Amount\">)')").AsInteger(), 42);
  EXPECT_EQ(Report.Calc("COUNT(MasterData1, 1 + 2)").AsInteger(), 42);
  EXPECT_EQ(Report.Calc("<Customers.\"Amount\"> + 1").AsInteger(), 11);
  const std::vector<String> expected = {"Aggregate SUM <Customers.\"Amount\"> nil 0",
                                        "Aggregate COUNT  MasterData1 3"};
  EXPECT_EQ(Rec.Calls, expected);

  Report.Calc("Set('Total', 5 * 2)");
  EXPECT_EQ(Report.Variables()->GetVariables("Total").AsInteger(), 10);
}

TEST_F(ReportScript, IifEvaluatesOnlyTheChosenBranchInTheRunningProcedure) {
  Compile(
      "function Pick(x: Integer): String;\n"
      "var Local: Integer;\n"
      "begin\n"
      "  Local := x * 2;\n"
      "  Result := IIF(Local > 5, 'big ' + IntToStr(Local), 'small');\n"
      "end;\n"
      "begin end.");
  RegisterMark();
  EXPECT_EQ(Report.Calc("IIF(True, Mark(1), Mark(100))").AsInteger(), 1);
  EXPECT_EQ(Marks, 1);
  EXPECT_EQ(Report.Calc("IIF(1 > 2, Mark(1), Mark(100))").AsInteger(), 100);
  EXPECT_EQ(Marks, 101);
  EXPECT_EQ(Report.Script()->InvokeFunction("Pick", VarArrayOf({Variant(4)})).AsString(), "big 8");
  EXPECT_EQ(Report.Script()->InvokeFunction("Pick", VarArrayOf({Variant(1)})).AsString(), "small");
}

// ---------------------------------------------------------------- events

TEST_F(ReportScript, ScriptEventsFireOnlyDuringARunUnlessForced) {
  Compile(
      "procedure Memo1OnBeforePrint(Sender: TfrxComponent);\n"
      "begin\n"
      "  Memo1.Text := 'printed by ' + TfrxComponent(Sender).Name;\n"
      "end;\n"
      "procedure Click(Sender: TfrxView; Button, Shift: Integer; var Modified: Boolean);\n"
      "begin\n"
      "  Modified := Button + Shift = 3;\n"
      "end;\n"
      "begin end.");
  Memo1->SetOnBeforePrint("Memo1OnBeforePrint");
  std::vector<String> order;
  Report.OnBeforePrint = TfrxBeforePrintEvent::Lambda([&](TfrxReportComponent* c) {
    order.push_back("native " + c->Name() + " [" + Memo1->Text() + "]");
  });
  Report.FireBeforePrint(Memo1);
  EXPECT_EQ(Memo1->Text(), "");  // no run: only the program's event
  Engine->SetRunning(true);
  Report.FireBeforePrint(Memo1);
  EXPECT_EQ(Memo1->Text(), "printed by Memo1");
  const std::vector<String> expected = {"native Memo1 []", "native Memo1 []"};
  EXPECT_EQ(order, expected);
  Engine->SetRunning(false);
  Report.RunScriptEvent(Memo2, "Memo1OnBeforePrint", true);
  EXPECT_EQ(Memo1->Text(), "printed by Memo2");
  Report.RunScriptEvent(Memo2, "", true);  // nothing

  Memo1->SetOnPreviewClick("Click");
  bool modified = false, native = false;
  Report.OnClickObject = TfrxClickObjectEvent::Lambda([&](TfrxView*, int, int, bool& m) { native = m; });
  Report.FirePreviewClick(Memo1, 1, 2, modified);
  EXPECT_TRUE(modified);
  EXPECT_TRUE(native);
  Report.FirePreviewClick(Memo1, 1, 1, modified);
  EXPECT_FALSE(modified);

  Report.SetCurrentValue(Variant(12));
  EXPECT_EQ(Report.Calc("Value + 1").AsInteger(), 13);
}

TEST_F(ReportScript, TerminatedStopsTheRunningScript) {
  Run(
      "var i: Integer;\n"
      "begin\n"
      "  i := 0;\n"
      "  while True do begin\n"
      "    i := i + 1;\n"
      "    if i = 5 then Report.Terminated := True;\n"
      "  end;\n"
      "end.");
  EXPECT_TRUE(Report.Terminated());
  EXPECT_EQ(Report.Calc("i").AsInteger(), 5);
  Run("begin Report.Terminated := False; Engine.StopReport; end.");
  EXPECT_TRUE(Report.Terminated());
}

// ---------------------------------------------------------------- report classes for scripts

TEST_F(ReportScript, ScriptsReachObjectsDataSetsEngineAndOutline) {
  Engine->SetCurY(12.5);
  Run(
      "var Space: Extended; Anchor: Integer; Names: String; i: Integer;\n"
      "begin\n"
      "  Engine.NewPage;\n"
      "  Engine.ShowBand(MasterData1);\n"
      "  Space := Engine.FreeSpace;\n"
      "  Engine.AddAnchor('top');\n"
      "  Anchor := Engine.GetAnchorPage('here');\n"
      "  Outline.AddItem('x');\n"
      "  Outline.LevelUp;\n"
      "  Memo2.Text := Report.GetDataset('Customers').Value['Name'] + ' ' +\n"
      "    IntToStr(Report.GetDataset('Customers').FieldType['Name']);\n"
      "  for i := 0 to MasterData1.Objects.Count - 1 do\n"
      "    Names := Names + TfrxComponent(MasterData1.Objects[i]).Name + ';';\n"
      "  Memo1.TagStr := Names + IntToStr(Page1.AllObjects.Count);\n"
      "end.");
  const std::vector<String> expected = {"NewPage", "ShowBand MasterData1", "AddAnchor top", "AddItem x 12", "LevelUp"};
  EXPECT_EQ(Rec.Calls, expected);
  EXPECT_DOUBLE_EQ(Report.Calc("Space").AsDouble(), 123.5);
  EXPECT_EQ(Report.Calc("Anchor").AsInteger(), 7);
  EXPECT_EQ(Memo2->Text(), "张三 1");
  EXPECT_EQ(Memo1->TagStr(), "Memo1;Memo2;3");

  // A data set walked by the script.
  Run(
      "var ds: TfrxDataSet; n: Integer; s: String;\n"
      "begin\n"
      "  ds := Report.GetDataset('Customers');\n"
      "  ds.First;\n"
      "  while not ds.Eof do begin\n"
      "    s := s + IntToStr(ds.RecNo) + ':' + VarToStr(ds.Value['Amount']) + ';';\n"
      "    ds.Next;\n"
      "  end;\n"
      "  if ds.HasField('Name') and not ds.HasField('Nobody') then s := s + 'fields';\n"
      "  Memo1.TagStr := s + IntToStr(ds.RecordCount);\n"
      "end.");
  EXPECT_EQ(Memo1->TagStr(), "0:10;1:20;2:;fields3");

  // Parent moves the object; AllObjects is read afresh.
  Run("begin Memo2.Parent := Page1; Memo1.TagStr := IntToStr(MasterData1.AllObjects.Count); end.");
  EXPECT_EQ(Memo2->Parent(), Report.PageAt(0));
  EXPECT_EQ(Memo1->TagStr(), "1");
}

TEST_F(ReportScript, EveryLanguageReachesTheReportsObjectsByName) {
  struct {
    const char* Language;
    const char* Program;
  } const programs[] = {
      {"PascalScript",
       "begin Memo1.Text := Report.GetDataset('Customers').Value['Name'] + IntToStr(Page1.Objects.Count);"
       " Engine.NewPage; Outline.LevelRoot; end."},
      {"C++Script",
       "{ Memo1.Text = Report.GetDataset(\"Customers\").Value[\"Name\"] + IntToStr(Page1.Objects.Count);"
       " Engine.NewPage; Outline.LevelRoot; }"},
      {"BasicScript",
       "Memo1.Text = Report.GetDataset(\"Customers\").Value(\"Name\") + IntToStr(Page1.Objects.Count)\n"
       "Engine.NewPage\nOutline.LevelRoot"},
      {"JScript",
       "Memo1.Text = Report.GetDataset(\"Customers\").Value[\"Name\"] + IntToStr(Page1.Objects.Count);"
       " Engine.NewPage(); Outline.LevelRoot();"},
  };
  for (const auto& [language, program] : programs) {
    SCOPED_TRACE(language);
    Memo1->SetText("");
    Rec.Calls.clear();
    Compile(program, language);
    Report.Script()->RunProgram();
    EXPECT_EQ(Memo1->Text(), "张三1");
    const std::vector<String> expected = {"NewPage", "LevelRoot"};
    EXPECT_EQ(Rec.Calls, expected);
  }
}

TEST_F(ReportScript, LinesAreCopiedVariablesCreatedAndMissingFilesClearTheReport) {
  Memo2->SetText("one\ntwo");
  Run(
      "begin\n"
      "  Memo1.Lines := Memo2.Lines;\n"
      "  Memo2.Lines.Add('three');\n"
      "  Report.Variables['Total'] := 5;\n"
      "  Memo1.TagStr := VarToStr(Report.Variables['Missing']) + '|' + IntToStr(Memo1.Lines.Count) + '|' +\n"
      "    Memo1.Lines[1] + '|' + Report.Calc('Memo2.Lines.Text');\n"
      "end.");
  EXPECT_EQ(Memo1->Memo()->Count(), 2);
  EXPECT_EQ(Memo2->Memo()->Count(), 3);
  EXPECT_EQ(Memo1->TagStr(), "|2|two|one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(Report.Variables()->GetVariables("Total").AsInteger(), 5);

  Report.ScriptText()->SetText("var Loaded: Boolean; begin end.");
  ASSERT_TRUE(Report.CompileReportScript());
  TfsCustomVariable* report = Report.Script()->LookupLocalName("Report");
  ASSERT_NE(report, nullptr);
  // Called from the outside: the call clears the report the script belongs to.
  Variant loaded = Report.Script()->EvaluateExpression("Report.LoadFromFile('none.fr3')");
  EXPECT_FALSE(loaded.AsBoolean());
  EXPECT_EQ(Report.CountPages(), 0);
}

// A plain script that belongs to no report: the module's constants, sets and functions.
TEST(ReportScriptModule, ConstantsEnumerationsAndFunctions) {
  TfsScript s(nullptr);
  s.InstallModules();
  auto value = [&](const String& e) {
    String error;
    Variant v = s.EvaluateExpression(e, error);
    EXPECT_EQ(error, "") << e;
    return v;
  };
  EXPECT_NEAR(value("fr1cm").AsDouble(), 10 * value("fr01cm").AsDouble(), 1e-9);
  struct {
    const char* Expr;
    int Value;
  } const cases[] = {
      {"fr1in", 96},     {"crZoom", 151},     {"skDiagonal1", 5},  {"skDiamond", 4},      {"fsDouble", 5},
      {"ftLeft + ftTop", 5}, {"haBlock", 3},  {"vaCenter", 2},     {"reCount", 2},        {"fsxWide", 64},
      {"pbTools", 256},  {"pbNoClose", 4096}, {"baClient", 6},     {"fkBoolean", 3},      {"fr1CharY", 17},
      {"DayOf(EncodeDate(2004, 2, 29))", 29}, {"MonthOf(EncodeDate(2004, 2, 29))", 2},
      {"YearOf(EncodeDate(2004, 2, 29))", 2004}, {"IIF(True, 1, 2)", 0}, {"SUM(1)", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expr);
    EXPECT_EQ(value(c.Expr).AsInteger(), c.Value);
  }
  EXPECT_EQ(value("clTransparent").AsInteger(), value("clNone").AsInteger());
  for (const char* name : {"TfrxReport", "TfrxMemoView", "TfrxMasterData", "TfrxDialogPage", "TWideStrings",
                           "TfrxCustomEngine", "TfrxCustomOutline", "TfrxVariables", "TfrxUserDataSet"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(s.LookupClass(name), nullptr);
  }
}

}  // namespace

// ---------------------------------------------------------------- dialog pages

namespace {

// A report with a dialog page whose events run script procedures.
struct TDialogReport {
  TfrxReport Report{nullptr};
  TfrxDialogPage* Page = nullptr;
  TDialogReport() {
    Page = new TfrxDialogPage(&Report);
    Page->SetName("Dialog1");
    Page->SetBounds(100, 100, 240, 120);
    Report.ScriptText()->SetText(
        "var Tries, Shown: Integer; Keys: String;\n"
        "procedure DialogShow(Sender: TfrxComponent); begin Shown := Shown + 1; end;\n"
        "procedure DialogCloseQuery(Sender: TfrxComponent; var CanClose: Boolean);\n"
        "begin Tries := Tries + 1; CanClose := Tries >= 2; end;\n"
        "procedure DialogKeyDown(Sender: TfrxComponent; var Key: Word; Shift: Integer);\n"
        "begin Keys := Keys + IntToStr(Key) + '/' + IntToStr(Shift) + ';'; if Key = 13 then Key := 0; end;\n"
        "procedure DialogKeyPress(Sender: TfrxComponent; var Key: Char);\n"
        "begin if Key = 'a' then Key := 'B' else Key := ''; end;\n"
        "begin end.");
  }
  int Int(const char* Name) { return Report.Calc(Name).AsInteger(); }
};

}  // namespace

TEST(ReportDialogPages, TheFormsEventsRunThePagesScriptProcedures) {
  TDialogReport d;
  d.Page->SetOnCloseQuery("DialogCloseQuery");
  d.Page->SetOnKeyDown("DialogKeyDown");
  d.Page->SetOnKeyPress("DialogKeyPress");
  ASSERT_TRUE(d.Report.CompileReportScript()) << d.Report.Errors()->Text();
  d.Page->SetupForm();
  TfrxDialogForm* form = d.Page->Form();

  bool canClose = true;
  form->OnCloseQuery(form, canClose);
  EXPECT_FALSE(canClose);
  form->OnCloseQuery(form, canClose);
  EXPECT_TRUE(canClose);

  struct {
    Word Key;
    TShiftState Shift;
    Word After;
  } const keys[] = {{13, {}, 0}, {65, {ssShift}, 65}};
  for (const auto& k : keys) {
    Word key = k.Key;
    form->OnKeyDown(form, key, k.Shift);
    EXPECT_EQ(key, k.After);
  }
  EXPECT_EQ(d.Report.Calc("Keys").AsString(), "13/0;65/" + IntToStr(static_cast<int>(TShiftState{ssShift}.Bits())) + ";");

  Char typed = U'a';
  form->OnKeyPress(form, typed);
  EXPECT_EQ(typed, U'B');
  typed = U'z';
  form->OnKeyPress(form, typed);
  EXPECT_EQ(typed, Char(0));
}

TEST(ReportDialogPages, ShowModalRunsTheDialogUntilItsScriptLetsItClose) {
  TDialogReport d;
  d.Page->SetOnShow("DialogShow");
  d.Page->SetOnCloseQuery("DialogCloseQuery");
  ASSERT_TRUE(d.Report.CompileReportScript()) << d.Report.Errors()->Text();
  // Each tick asks the dialog to close with OK; the script refuses the first time.
  TTimer close(nullptr);
  close.SetInterval(20);
  int ticks = 0;
  close.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    ++ticks;
    d.Page->SetModalResult(mrOk);
  }));
  EXPECT_EQ(d.Page->ShowModal(), mrOk);
  close.SetEnabled(false);
  EXPECT_GE(ticks, 2);
  EXPECT_EQ(d.Int("Shown"), 1);
  EXPECT_EQ(d.Int("Tries"), 2);
  EXPECT_FALSE(d.Page->Form()->Visible());
}

// ---------------------------------------------------------------- a definition on disk

TEST(ReportFixtures, ADefinitionFileLoadsAndSavesBackTheSame) {
  const String path = String(KELM_REPORT_FIXTURES_DIR) + "/Bands.fr3";
  TFileStream file(path, fmOpenRead);
  String original(static_cast<std::size_t>(file.Size()), '\0');
  file.ReadBuffer(original.data(), file.Size());

  TfrxReport r(nullptr);
  ASSERT_TRUE(r.LoadFromFile(path));
  EXPECT_EQ(r.Errors()->Count(), 0) << r.Errors()->Text();
  ASSERT_EQ(r.CountPages(), 1);
  auto* page = dynamic_cast<TfrxReportPage*>(r.PageAt(0));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->PaperWidth(), 210);
  EXPECT_EQ(page->PaperHeight(), 120);
  EXPECT_EQ(page->PaperSize(), 256);
  int bands = 0;
  for (TfrxComponent* c : page->AllObjects()) bands += dynamic_cast<TfrxBand*>(c) != nullptr;
  EXPECT_EQ(bands, 5);
  auto* amount = dynamic_cast<TfrxMemoView*>(r.FindObject("Amount"));
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->Text(), "[<Pacts.\"Amount\">]");

  TMemoryStream saved;
  r.SaveToStream(&saved, true, false);
  EXPECT_EQ(String(static_cast<const char*>(saved.Memory()), static_cast<std::size_t>(saved.Size())), original);
}
