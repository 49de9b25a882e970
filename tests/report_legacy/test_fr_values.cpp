// What names and functions mean in the older engine's expressions: inline formats and the
// printed forms of values, dictionary variables, fields, special variables, object
// properties, constants, script arrays, the standard and database functions, the report's
// control functions and the interpreter's assignments.
#include "FrTestSupport.h"

#include "report_legacy/FR_DBSet.h"

#include "core/DateUtils.h"
#include "core/StringList.h"
#include "data/Fields.h"
#include "data/MemDataSet.h"
#include "gui/Dialogs.h"

namespace {

using frtest::TEngineTest;

class FrValues : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Owner = std::make_unique<TComponent>(nullptr);
    Report = new TfrReport(Owner.get());
    Page = Report->Pages()->Add();
    frState().CurrentReport = Report;
    frState().CurrentPage = Page;
    M = new TfrMemoView;
    M->Name = "Memo1";
    M->SetViewBounds(10, 20, 100, 20);
    Page->AddObject(M);
    frState().CurrentView = M;
  }

  String Text(const String& expression) {
    String t;
    Report->GetValueText(expression, t);
    return t;
  }
  Variant Eval(const String& e) { return Globals->Parser->Evaluate(e); }
  void SetVar(const String& name, const Variant& v) { Globals->ScriptVariables->SetVariable(name, v); }

  std::unique_ptr<TComponent> Owner;
  TfrReport* Report = nullptr;
  TfrPage* Page = nullptr;
  TfrMemoView* M = nullptr;
};

TEST_F(FrValues, InlineFormatsAndFormatCodesGiveThePrintedText) {
  SetVar("X", Variant(1234.5));
  SetVar("Zero", Variant(0));
  SetVar("Blank", Variant("  "));
  SetVar("D", Variant::FromDate(EncodeDate(2024, 3, 8)));
  SetVar("One", Variant(1));
  struct Case {
    const char* Expression;
    int FormatCode;
    Word Flags;
    const char* Text;
  };
  const Case cases[] = {
      {"X #N1.2", 0, 0, "1234.50"},
      {"X #2,2", 0, 0, "1234,50"},              // a digit first means N; "," is the separator
      {"X #N#,##0.00", 0, 0, "1,234.50"},       // a pattern: its last "." separates decimals
      {"D #Dyyyy-mm-dd", 0, 0, "2024-03-08"},
      {"One #B不;对", 0, 0, "对"},
      {"One", 0x04010000, 0, "是"},             // the second Boolean format, "否;是"
      {"Zero", 0x04010000, 0, "否"},
      {"X", 0x01010000 + '.' + 1 * 256, 0, "1234.5"},
      {"X", 0x01020000 + '.' + 2 * 256, 0, "1,234.5"},
      {"Zero", 0, frmemo::HideZeros, ""},
      {"Zero", 0, 0, "0"},
      {"Blank", 0, 0, ""},
      {"'abc'", 0, 0, "abc"},
      {"1+1", 0, 0, "2"},
  };
  for (const Case& c : cases) {
    M->FormatCode = c.FormatCode;
    M->Flags = Word(3 | c.Flags);
    EXPECT_EQ(Text(c.Expression), c.Text) << c.Expression;
  }
  String t;
  Report->FormatValue(Variant::FromDate(EncodeDate(2024, 3, 8)), 0x02030000, t, "");
  EXPECT_EQ(t, "2024年3月8日");
  Report->FormatValue(Null(), 0x01010000, t, "");
  EXPECT_EQ(t, "");
  // A value that cannot take the format prints as it is.
  Report->FormatValue(Variant("n/a"), 0x01010000 + '.' + 2 * 256, t, "");
  EXPECT_EQ(t, "n/a");
}

TEST_F(FrValues, NamesResolveThroughTheDictionaryFieldsSpecialsPropertiesAndConstants) {
  auto* data = new TMemDataSet(Owner.get());
  data->SetName("Qry");
  data->FieldDefs()->Add("Amount", ftInteger);
  data->AddRow({Variant(42)});
  data->Open();
  auto* ds = new TfrDBDataSet(Owner.get());
  ds->SetName("frQry");
  ds->SetDataSet(data);
  Report->Dictionary()->Variables->SetVariable(" Total", Variant("2+3"));
  Report->Dictionary()->Variables->SetVariable(" Amount", Variant("Qry.\"Amount\""));
  frState().PageIndex = 4;
  frState().PageTotal = 9;
  Page->CrossColumnNo = 3;
  Report->InfoAuthor = "王工";
  struct Case {
    const char* Name;
    const char* Text;
  };
  const Case cases[] = {
      {"Total", "5"},          {"Amount", "42"},  {"Qry.\"Amount\"", "42"}, {"PAGE#", "5"},
      {"TOTALPAGES", "9"},     {"COLUMN#", "3"},  {"Memo1.Left", "10"},     {"Left", "10"},
      {"clRed", "255"},        {"REPORTAUTOR", "王工"}, {"Total * 2", "10"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.Name), c.Text) << c.Name;
  // The report's own event answers first.
  Report->SetOnGetValue(TDetailEvent::Lambda([](const String& name, Variant& v) {
    if (name == "Total") v = Variant(7);
  }));
  EXPECT_EQ(Text("Total"), "7");
  Report->SetOnGetValue(TDetailEvent());
  // A name that leads only back to itself.
  try {
    Text("X");
    FAIL() << "no error";
  } catch (const EfrParserError& e) {
    EXPECT_EQ(e.Message(), "符号没定义 \"X\"");
  }
  // While aggregate calls are collected nothing is raised.
  frState().CollectingAggregates = true;
  EXPECT_NO_THROW(Text("X"));
  frState().CollectingAggregates = false;
}

TEST_F(FrValues, ArraysAndControlFunctionsWorkThroughScriptVariablesAndObjects) {
  Eval("SETARRAY(A, 1, 5)");
  EXPECT_EQ(Eval("GETARRAY(A, 1)").AsInteger(), 5);
  EXPECT_EQ(Eval("A[1]").AsInteger(), 5);
  EXPECT_EQ(Globals->ScriptVariables->Variable("Arr_A_1").AsInteger(), 5);
  // Object list properties through their index methods.
  M->Memo.SetText("a\r\nb");
  Eval("SETARRAY(Memo1.Memo, 1, 'z')");
  EXPECT_EQ(M->Memo.Strings(1), "z");
  EXPECT_EQ(VarToStr(Eval("GETARRAY(Memo1.Memo, 0)")), "a");
  // INC and DEC assign through the interpreter.
  SetVar("N", Variant(4));
  Eval("INC(N)");
  Eval("INC(N)");
  Eval("DEC(N)");
  EXPECT_EQ(Globals->ScriptVariables->Variable("N").AsInteger(), 5);
  Eval("STOPREPORT()");
  EXPECT_TRUE(Report->Terminated);
  // Methods of objects.
  Eval("Memo1.Hide()");
  EXPECT_FALSE(M->IsVisible());
}

TEST_F(FrValues, StandardAndDatabaseFunctions) {
  TDialogScript dialogs;
  dialogs.Button(IDYES).Text("typed");
  struct Case {
    const char* Expression;
    const char* Result;
  };
  const Case cases[] = {
      {"UPPERCASE('abc')", "ABC"},
      {"LOWERCASE('ÄBC')", "äbc"},
      {"NAMECASE('hELLO')", "Hello"},
      {"LENGTH('合同管理')", "4"},
      {"POS('管理', '合同管理')", "3"},
      {"TRIM('  a b  ')", "a b"},
      {"MAXNUM(3, 7)", "7"},
      {"MINNUM(3, 7)", "3"},
      {"FORMATFLOAT('0.00', 2.5)", "2.50"},
      {"FORMATDATETIME('yyyy.mm', STRTODATE('2024-03-08'))", "2024.03"},
      {"DAYOF(STRTODATE('2024-03-08'))", "8"},
      {"MONTHOF(STRTODATE('2024-03-08'))", "3"},
      {"YEAROF(STRTODATE('2024-03-08'))", "2024"},
      {"FORMATTEXT('000-000', '123456')", "123-456"},
      {"MESSAGEBOX('text', 'caption', 4)", "6"},
      {"INPUT('prompt', 'default')", "typed"},
      {"NOSUCHFUNCTION(1)", "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(Eval(c.Expression)), c.Result) << c.Expression;
  ASSERT_EQ(dialogs.Asked().size(), 2u);
  EXPECT_EQ(dialogs.Asked()[0].Text, "text");
  EXPECT_EQ(dialogs.Unanswered(), 0);
  // An unknown function may be answered by the report's own event.
  Report->SetOnUserFunction(TFunctionEvent::Lambda([](const String& n, Variant, Variant, Variant, Variant& v) {
    if (n == "NOSUCHFUNCTION") v = Variant("mine");
  }));
  EXPECT_EQ(VarToStr(Eval("NOSUCHFUNCTION(1)")), "mine");
  // The designer lists only the functions with a category text.
  bool fieldIsNull = false, upperCase = false;
  for (const TfrFunctionDesc& d : Globals->FunctionDescriptions) {
    fieldIsNull = fieldIsNull || d.FunctionName == "FIELDISNULL";
    upperCase = upperCase || d.FunctionName == "UPPERCASE";
  }
  EXPECT_TRUE(fieldIsNull);
  EXPECT_FALSE(upperCase);
}

TEST_F(FrValues, FieldIsNullReadsTheFieldItIsGiven) {
  auto* data = new TMemDataSet(Owner.get());
  data->SetName("Qry");
  data->FieldDefs()->Add("Note", ftString, 10);
  data->AddRow({Null()});
  data->AddRow({Variant("x")});
  data->Open();
  EXPECT_TRUE(Eval("FIELDISNULL('Qry.\"Note\"')").AsBoolean());
  data->Next();
  EXPECT_FALSE(Eval("FIELDISNULL('Qry.\"Note\"')").AsBoolean());
}

TEST_F(FrValues, ScriptAssignmentsGoToVariablesPropertiesAndThePage) {
  TStringList script;
  script.SetText("begin\r\n  Memo1.Left := 33;\r\n  Count := 2;\r\n  CURY := 120\r\nend");
  Report->Dictionary()->Variables->SetVariable(" Count", Variant("0"));
  Globals->Interpretator->RunSource(&script);
  EXPECT_EQ(M->Left, 33);
  EXPECT_EQ(Report->Dictionary()->Variables->Variable(" Count").AsInteger(), 2);
  EXPECT_EQ(Page->PosY, 120);
  script.SetText("Fresh := 'new';");
  Globals->Interpretator->RunSource(&script);
  EXPECT_EQ(VarToStr(Globals->ScriptVariables->Variable("Fresh")), "new");
}

}  // namespace

namespace {

TEST_F(FrValues, LineCountersAliasesAndTheWidthATextNeeds) {
  TfrBand first(btMasterData, Page), second(btMasterData, Page);
  first.LocalLine = 4;
  first.GlobalLine = 40;
  second.PrevOfKind = &first;
  frState().CurrentBand = &second;  // no data set of its own: the first of its kind counts
  EXPECT_EQ(Text("LINE#"), "4");
  EXPECT_EQ(Text("LINETHROUGH#"), "40");
  frState().CurrentBand = nullptr;
  // A field under the name the designer shows for it.
  auto* data = new TMemDataSet(Owner.get());
  data->SetName("Qry");
  data->FieldDefs()->Add("Amount", ftInteger);
  data->AddRow({Variant(42)});
  data->Open();
  Report->Dictionary()->FieldAliases->SetVariable("Qry", Variant("Orders"));  // real name → shown name
  EXPECT_EQ(Text("Orders.\"Amount\""), "42");
  EXPECT_EQ(Report->Dictionary()->Cache.size(), 1u);
  // CALCWIDTH: the width the active text object's expanded text needs.
  M->Memo.SetText("[1+1]");
  const int width = StrToInt(Text("CALCWIDTH"));
  TfrMemoView probe;
  probe.Memo.SetText("2");
  EXPECT_EQ(width, probe.CalcTextWidth());
  EXPECT_EQ(M->Memo.Strings(0), "[1+1]");
}

TEST_F(FrValues, ABoundTextFieldIsLoadedBeforeTheObjectPrints) {
  auto* data = new TMemDataSet(Owner.get());
  data->SetName("Notes");
  data->FieldDefs()->Add("Body", ftMemo);
  data->AddRow({Variant("from the field")});
  data->Open();
  M->BoundDataSet = data;
  M->BoundFieldName = "Body";
  M->Memo.SetText("[1+1]");
  M->CalcHeight();
  ASSERT_GE(M->ExpandedMemo.Count(), 1);
  EXPECT_EQ(M->ExpandedMemo.Strings(0), "from the field\x01");
}

}  // namespace
