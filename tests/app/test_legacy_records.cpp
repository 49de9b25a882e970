// The older contracts and their records without their windows: dated codes, the record and
// contract saves the dialogs drive, and the rules that span the ten tables.
#include "LegacyFixture.h"

#include "app/legacy/LegacyProjects.h"

namespace {

const TLegacyRecordKind& Kind(const char* window) {
  const TLegacyRecordKind* k = FindLegacyKind(window);
  EXPECT_NE(k, nullptr) << window;
  return *k;
}

}  // namespace

TEST(LegacyCodes, PadSerialFillsToFourDigitsAndKeepsLongerSerials) {
  struct {
    const char* In;
    const char* Out;
  } cases[] = {{"1", "0001"}, {"12", "0012"}, {"123", "0123"}, {"1234", "1234"}, {"10000", "10000"}};
  for (const auto& c : cases) EXPECT_EQ(PadSerial(c.In), c.Out) << c.In;
}

TEST(LegacyCodes, SerialOfCodeReadsOnlyAllDigitSerialsOfItsDay) {
  struct {
    const char* Code;
    Int64 Serial;
  } cases[] = {{"HT-2026-03-13-0009", 9},    {"ht-2026-03-13-0010", 10}, {"HT-2026-03-13-10000", 10000},
               {"HT-2026-03-12-0099", -1},   {"HT-2026-03-13-00a1", -1}, {"HT-2026-03-13-", -1},
               {"HT-2026-03-130001", -1},    {"BG-2026-03-13-0001", -1}};
  for (const auto& c : cases) EXPECT_EQ(SerialOfCode(c.Code, "HT-2026-03-13"), c.Serial) << c.Code;
}

// Every kind proposes its prefix, today and the next serial of its own table.
TEST_F(LegacyTest, NewCodeTakesTheLargestNumericSerialOfTheDay) {
  struct TCase {
    const char* Name;
    std::vector<String> Existing;  // serials stored with today's stem, or whole codes
    const char* Expected;
  } cases[] = {
      {"none today", {}, "0001"},
      {"last 0009", {"-0001", "-0009"}, "0010"},
      {"0999", {"-0999"}, "1000"},
      {"yesterday's only", {"HT-2026-03-12-0005"}, "0001"},
      {"9999", {"-9998", "-9999"}, "10000"},
      // text order would take 9999 as the last
      {"past 9999", {"-9999", "-10000"}, "10001"},
      // a code typed by hand does not stop the count
      {"typed serial", {"-0003", "-00x9", "-zzzzzzzzzzzzzzzz"}, "0004"},
  };
  for (const TLegacyRecordKind* kind : {&LegacyContractKind(), &Kind("TFrm_htbg"), &Kind("TFrm_htsk")}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(String(kind->Window) + ": " + c.Name);
      Exec(String("delete from ") + kind->Table);
      String stem = String(kind->Prefix) + TodayText();
      for (String code : c.Existing) {
        if (code[0] == '-') code = stem + code;
        else code = kind->Prefix + code.substr(3);
        bool contract = kind == &LegacyContractKind();
        Exec(String("insert into ") + kind->Table + (contract ? " (HTCode) values (" : " (HTCode, " +
             String(kind->CodeColumn) + ") values ('HT1', ") + SqlStr(code) + ")");
      }
      EXPECT_EQ(NextLegacyCode(*kind, Today()), stem + "-" + c.Expected);
    }
  }
}

TEST_F(LegacyTest, EveryRecordKindNamesItsQueryTableAndColumns) {
  std::vector<const TLegacyRecordKind*> kinds{&LegacyContractKind(), &LegacyProjectKind()};
  for (const TLegacyRecordKind& k : LegacyRecordKinds()) kinds.push_back(&k);
  ASSERT_EQ(kinds.size(), 11u);
  for (const TLegacyRecordKind* k : kinds) {
    SCOPED_TRACE(k->Window);
    TADOQuery* q = LegacyQuery(*k);
    Frm_Data->OpenQuery(q, String("select * from ") + k->Table);
    for (const TLegacyField& f : k->Fields) EXPECT_NE(q->FindField(f.Column), nullptr) << f.Column;
    if (String(k->CodeColumn) != "") EXPECT_NE(q->FindField(k->CodeColumn), nullptr);
    EXPECT_NE(String(k->NameMessage), "");
    if (k != &LegacyContractKind() && k != &LegacyProjectKind()) EXPECT_NE(String(k->DeleteQuestion), "");
  }
}

// ---------------------------------------------------------------- the record save

TEST_F(LegacyTest, AddedRecordsJoinTheCurrentContractWithTheirValuesAndQuote) {
  OpenLegacyQueries("HT2");
  const TLegacyRecordKind& change = Kind("TFrm_htbg");
  String code = NextLegacyCode(change, Today());
  SaveLegacyRecord(change, 1,
                   ValuesOf(change, {{{"Edit_bgName", "O'Neil 变更 "},
                                      {"Edit_bgcode", code},
                                      {"Edit_bgmoney", "12.5"},
                                      {"Combo_qr", "已确认"},
                                      {"Combo_bgtype", "乙方变更"},
                                      {"Memo_yy", "原因"}},
                                     {{"DE_bgDate", Today() - 1}}}));
  // a second add in the same opening gets the next code
  EXPECT_EQ(NextLegacyCode(change, Today()), "BG-" + TodayText() + "-0002");
  Frm_Data->OpenQuery(Frm_Data->Qry_Str, "select * from T_htBG where BGcode=" + SqlStr(code));
  TADOQuery* row = Frm_Data->Qry_Str;
  ASSERT_EQ(row->RecordCount(), 1);
  EXPECT_EQ(row->FieldByName("HTCode")->AsString(), "HT2");
  EXPECT_EQ(row->FieldByName("BGname")->AsString(), "O'Neil 变更 ");  // untrimmed
  EXPECT_DOUBLE_EQ(row->FieldByName("BGmoney")->AsFloat(), 12.5);
  EXPECT_EQ(row->FieldByName("BGtype")->AsString(), "乙方变更");
  EXPECT_EQ(row->FieldByName("BGyy")->AsString(), "原因");
  EXPECT_DOUBLE_EQ(row->FieldByName("BGDate")->AsDateTime(), Today() - 1);
  // found again by a look-up of the typed name
  EXPECT_EQ(Count("select count(*) from T_htBG where BGname=" + SqlStr("O'Neil 变更 ")), 1);
}

TEST_F(LegacyTest, AnEditedRecordKeepsItsContractWhileAnotherIsCurrent) {
  OpenLegacyQueries("HT1");
  const TLegacyRecordKind& claim = Kind("TFrm_htsp");
  TADOQuery* q = LegacyQuery(claim);
  ASSERT_TRUE(q->Locate("HTCode", Variant("HT2"), {}));
  TLegacyValues values = ReadLegacyRow(claim.Fields, q);
  for (TLegacyValue& v : values)
    if (SameText(v.Field->Column, "SPname")) v.Text = "改过的索赔";
  SaveLegacyRecord(claim, 0, values);
  EXPECT_EQ(Count("select count(*) from T_htsp where HTCode='HT2' and SPname='改过的索赔'"), 1);
  EXPECT_EQ(Count("select count(*) from T_htsp where HTCode='HT1'"), 1);
}

TEST_F(LegacyTest, AnAmountThatIsNoNumberWritesNothingAndNamesItsEdit) {
  OpenLegacyQueries("HT1");
  const TLegacyRecordKind& payment = Kind("TFrm_htfk");
  TADOQuery* q = LegacyQuery(payment);
  int before = q->RecordCount();
  struct {
    const char* Control;
    int AddMode;
  } cases[] = {{"Edit_fkmoney", 1}, {"Edit_js", 1}, {"Edit_js", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Control) + (c.AddMode == 1 ? " add" : " edit"));
    try {
      SaveLegacyRecord(payment, c.AddMode, ValuesOf(payment, {{{"Edit_fkName", "付款"}, {c.Control, "12a"}}, {}}));
      ADD_FAILURE() << "saved";
    } catch (const ELegacyAmount& e) {
      EXPECT_EQ(e.Control(), c.Control);
      EXPECT_NE(e.Message(), "");
    }
    EXPECT_EQ(q->State(), dsBrowse);
    EXPECT_EQ(q->RecordCount(), before);
  }
  EXPECT_EQ(Count("select count(*) from T_HTfk1"), 2);
  EXPECT_EQ(Count("select count(*) from T_HTfk1 where fkname='付款' and fkmoney=60"), 2);
}

TEST_F(LegacyTest, PaymentStoresTheContractAmountLessThatPaymentAndPlansKeepTheirBlank) {
  OpenLegacyQueries("HT1");
  const TLegacyRecordKind& payment = Kind("TFrm_htfk");
  SaveLegacyRecord(payment, 1,
                   ValuesOf(payment, {{{"Edit_fkName", "首付"}, {"Edit_fkcode", "FK-1"}, {"Edit_fkmoney", "300"}}, {}}));
  EXPECT_EQ(Scalar("select wfmoney from T_HTfk1 where fkcode='FK-1'"), "700");
  // an edit while HT2 (500) is current: the payment's own contract counts
  Frm_Data->OpenQuery(LegacyQuery(payment), "select * from T_HTfk1 where fkcode='FK-1'");
  ASSERT_TRUE(Frm_Data->Qry_HT->Locate("HTCode", Variant("HT2"), {}));
  SaveLegacyRecord(payment, 0,
                   ValuesOf(payment, {{{"Edit_fkName", "首付"}, {"Edit_fkcode", "FK-1"}, {"Edit_fkmoney", "250"}}, {}}));
  EXPECT_EQ(Scalar("select wfmoney from T_HTfk1 where fkcode='FK-1'"), "750");
  EXPECT_EQ(Scalar("select HTCode from T_HTfk1 where fkcode='FK-1'"), "HT1");

  for (const char* window : {"TFrm_htjh", "TFrm_htskjh"}) {
    const TLegacyRecordKind& plan = Kind(window);
    SaveLegacyRecord(plan, 1, ValuesOf(plan, {{{"Edit_jhName", "计划A"}, {"Combo_zt", "未完成 "}}, {}}));
    EXPECT_EQ(Scalar(String("select Wczt from ") + plan.Table + " where jhname='计划A'"), "未完成 ") << window;
  }
}

TEST_F(LegacyTest, AnEmptyDateIsStoredAsNullAndReadBackEmpty) {
  OpenLegacyQueries("HT1");
  const TLegacyRecordKind& receipt = Kind("TFrm_htsk");
  SaveLegacyRecord(receipt, 1, ValuesOf(receipt, {{{"Edit_skName", "无日期"}, {"Edit_skcode", "SK-9"}}, {}}));
  EXPECT_EQ(Count("select count(*) from T_htsk1 where skcode='SK-9' and skDate is null"), 1);
  TADOQuery* q = LegacyQuery(receipt);
  ASSERT_TRUE(q->Locate("skcode", Variant("SK-9"), {}));
  const TLegacyValue* date = FindLegacyValue(ReadLegacyRow(receipt.Fields, q), "skDate");
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->Date, 0);
}

// ---------------------------------------------------------------- the contract

TEST_F(LegacyTest, ContractChecksTrimAndStopAtTheFirstEmptyFieldInOrder) {
  std::map<String, String> texts = {{"Edit_project", " "}, {"Edit_htcode", "  "}, {"Edit_HTName", "\t"},
                                    {"Edit_HTJF", " "},    {"Edit_HTYF", " "},   {"Edit_TYPE", "   "}};
  struct {
    const char* Control;
    const char* Message;
  } order[] = {{"Edit_project", "所属项目不能为空!"}, {"Edit_htcode", "合同编号不能为空!"},
               {"Edit_HTName", "合同名称不能为空!"},  {"Edit_HTJF", "合同甲方不能为空!"},
               {"Edit_HTYF", "合同乙方不能为空!"},    {"Edit_TYPE", "合同类别不能为空!"}};
  auto textOf = [&](const String& control) { return texts[control]; };
  for (const auto& o : order) {
    try {
      CheckLegacyContract(textOf);
      ADD_FAILURE() << "passed with " << o.Control << " blank";
    } catch (const ELegacyCheck& e) {
      EXPECT_EQ(e.Control(), o.Control);
      EXPECT_EQ(e.Message(), o.Message);
    }
    texts[o.Control] = "x";
  }
  EXPECT_NO_THROW(CheckLegacyContract(textOf));
}

TEST_F(LegacyTest, ContractAddRefusesATakenNameOrCodeAndStoresTrimmedTexts) {
  OpenLegacyQueries("HT1");
  SaveLegacyContract(1, ValuesOf(LegacyContractKind(), FilledContract(" HT3 ", " O'Neil ")));
  EXPECT_EQ(Count("select count(*) from T_ht where HTCode='HT3' and HTName='O''Neil' and HTType='01'"), 1);
  EXPECT_EQ(Scalar("select HTmoney from T_ht where HTCode='HT3'"), "1200.5");
  struct {
    const char* Code;
    const char* Name;
    const char* Control;
    const char* Message;
  } cases[] = {{"HT4", "O'Neil", "Edit_HTName", "合同名称有重复!"}, {"HT1", "新名称", "Edit_htcode", "合同编号有重复!"}};
  for (const auto& c : cases) {
    try {
      SaveLegacyContract(1, ValuesOf(LegacyContractKind(), FilledContract(c.Code, c.Name)));
      ADD_FAILURE() << "saved " << c.Code;
    } catch (const ELegacyCheck& e) {
      EXPECT_EQ(e.Control(), c.Control);
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(Count("select count(*) from T_ht"), 3);
}

TEST_F(LegacyTest, ContractEditCarriesAChangedCodeToTheNineTablesInOneTransaction) {
  OpenLegacyQueries("HT1");
  // another contract's code is refused, the own one is not
  try {
    SaveLegacyContract(0, ValuesOf(LegacyContractKind(), FilledContract("HT2", "一号合同")));
    ADD_FAILURE() << "took HT2's code";
  } catch (const ELegacyCheck& e) {
    EXPECT_EQ(e.Message(), "合同编号有重复!");
  }
  SaveLegacyContract(0, ValuesOf(LegacyContractKind(), FilledContract("HT1", "一号合同")));
  EXPECT_EQ(Scalar("select HTmoney from T_ht where HTCode='HT1'"), "1200.5");

  SaveLegacyContract(0, ValuesOf(LegacyContractKind(), FilledContract("HT9", "一号合同")));
  EXPECT_EQ(RowsOf("HT9"), std::vector<int>(10, 1));
  EXPECT_EQ(RowsOf("HT1"), std::vector<int>(10, 0));
  EXPECT_EQ(RowsOf("HT2"), std::vector<int>(10, 1));
  // the open record queries show the moved records
  EXPECT_TRUE(LegacyQuery(Kind("TFrm_htbg"))->Locate("HTCode", Variant("HT9"), {}));
}

TEST_F(LegacyTest, AContractEditRefusedByOneRecordTableChangesNothing) {
  OpenLegacyQueries("HT1");
  Refuse("UPDATE", "T_HTwd");
  EXPECT_THROW(SaveLegacyContract(0, ValuesOf(LegacyContractKind(), FilledContract("HT9", "新名字"))), Exception);
  EXPECT_EQ(RowsOf("HT1"), std::vector<int>(10, 1));
  EXPECT_EQ(RowsOf("HT9"), std::vector<int>(10, 0));
  EXPECT_EQ(Scalar("select HTName from T_ht where HTCode='HT1'"), "一号合同");
  EXPECT_EQ(Frm_Data->Qry_HT->State(), dsBrowse);
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
}

// ---------------------------------------------------------------- deletes

TEST_F(LegacyTest, DeletingAContractLeavesNoRowOfItInTheTenTables) {
  OpenLegacyQueries("HT1");
  DeleteLegacyContract("HT1");
  EXPECT_EQ(RowsOf("HT1"), std::vector<int>(10, 0));
  EXPECT_EQ(RowsOf("HT2"), std::vector<int>(10, 1));
  // the open queries no longer show it
  EXPECT_FALSE(Frm_Data->Qry_HT->Locate("HTCode", Variant("HT1"), {}));
  for (const TLegacyRecordKind& k : LegacyRecordKinds())
    EXPECT_FALSE(LegacyQuery(k)->Locate("HTCode", Variant("HT1"), {})) << k.Window;
}

TEST_F(LegacyTest, AContractDeleteRefusedByOneTableKeepsEverything) {
  for (const char* table : {"T_htsk1", "T_ht"}) {
    SCOPED_TRACE(table);
    Refuse("DELETE", table);
    EXPECT_THROW(DeleteLegacyContract("HT1"), Exception);
    EXPECT_EQ(RowsOf("HT1"), std::vector<int>(10, 1));
    EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
    RawSql(String("DROP TRIGGER refuse_") + table);
  }
}

TEST_F(LegacyTest, DeletingOneRecordAsksItsKindsQuestionAndDeletesOnlyOnYes) {
  OpenLegacyQueries("HT1");
  for (const TLegacyRecordKind& k : LegacyRecordKinds()) {
    SCOPED_TRACE(k.Window);
    TADOQuery* q = LegacyQuery(k);
    ASSERT_TRUE(q->Locate("HTCode", Variant("HT1"), {}));
    Answers = {IDNO};
    EXPECT_FALSE(DeleteLegacyRecord(k));
    Answers = {IDYES};
    ASSERT_TRUE(q->Locate("HTCode", Variant("HT1"), {}));
    EXPECT_TRUE(DeleteLegacyRecord(k));
    EXPECT_EQ(TakeMessages(), (std::vector<String>{k.DeleteQuestion, k.DeleteQuestion}));
    EXPECT_EQ(Count(String("select count(*) from ") + k.Table + " where HTCode='HT1'"), 0);
    EXPECT_EQ(Count(String("select count(*) from ") + k.Table + " where HTCode='HT2'"), 1);
  }
  EXPECT_EQ(Count("select count(*) from T_ht"), 2);
}

// Two adds in one opening of a record dialog: the save, the clear, the next code.
TEST_F(LegacyTest, TwoAddsInOneOpeningGetConsecutiveCodesAndStartFromClearedFields) {
  OpenLegacyQueries("HT1");
  const TLegacyRecordKind& change = Kind("TFrm_htbg");
  TLegacyValues values = ValuesOf(change, {{{"Edit_bgName", "第一次"},
                                           {"Edit_bgcode", NextLegacyCode(change, Today())},
                                           {"Edit_jsr", "张三"},
                                           {"Memo1", "备注"},
                                           {"Combo_qr", "未确认"},
                                           {"Edit_bgmoney", "5"}},
                                          {{"DE_bgDate", Today() - 3}}});
  SaveLegacyRecord(change, 1, values);
  ClearLegacyValues(values, Date());
  for (const TLegacyValue& v : values) {
    SCOPED_TRACE(v.Field->Control);
    switch (v.Field->Kind) {
      case TLegacyValueKind::Text: EXPECT_EQ(v.Text, ""); break;
      case TLegacyValueKind::Date: EXPECT_EQ(v.Date, Today()); break;
      default: break;
    }
  }
  EXPECT_EQ(FindLegacyValue(values, "QRzt")->Text, "未确认");
  EXPECT_EQ(FindLegacyValue(values, "BGmoney")->Text, "5");
  for (TLegacyValue& v : values)
    if (v.Field->Kind == TLegacyValueKind::Code) v.Text = NextLegacyCode(change, Today());
    else if (SameText(v.Field->Column, "BGname")) v.Text = "第二次";
  SaveLegacyRecord(change, 1, values);
  EXPECT_EQ(PeopleTest::Column(LegacyQuery(change), "BGcode"),
            (std::vector<String>{"BG-x", "BG-x", "BG-" + TodayText() + "-0001", "BG-" + TodayText() + "-0002"}));
  EXPECT_EQ(Scalar("select BGDate from T_htBG where BGname='第二次'"), TodayText());
}

// ---------------------------------------------------------------- projects


TEST_F(LegacyTest, ProjectDatesAreStoredOnlyAfterTheFloorBothOfThem) {
  Frm_Data->OpenQuery(Frm_Data->Qry_Project, "select * from  T_Project");
  struct {
    const char* Code;
    TDateTime Date;  // given to both date edits
    bool Stored;
  } cases[] = {{"D1", EncodeDate(1905, 3, 1), true},  {"D2", EncodeDate(1905, 2, 10), true},
               {"D3", EncodeDate(1905, 2, 9), false}, {"D4", 0, false},
               {"D5", EncodeDate(1899, 12, 31), false}, {"D6", Today(), true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Code);
    SaveLegacyProject(1, ValuesOf(LegacyProjectKind(), {{{"Edit_ProjectCode", c.Code}, {"Edit_GCInvest", "12.5"}},
                                                        {{"DE_BeginDate", c.Date}, {"DE_EndDate", c.Date}}}));
    String where = " from T_Project where ProjectCode=" + SqlStr(c.Code);
    EXPECT_EQ(Count("select count(*)" + where + " and BeginDate is null"), c.Stored ? 0 : 1);
    EXPECT_EQ(Count("select count(*)" + where + " and EndDate is null"), c.Stored ? 0 : 1);
    EXPECT_EQ(Scalar("select GCInvest" + where), "12.5");
  }
}

TEST_F(LegacyTest, ProjectCodesMustBeFilledAndFreeAlsoWhenChangedInAnEdit) {
  TADOQuery* q = Frm_Data->Qry_Project;
  Frm_Data->OpenQuery(q, "select * from  T_Project");
  ASSERT_TRUE(q->Locate("ProjectCode", Variant("P01"), {}));
  struct {
    int AddMode;
    const char* Code;
    const char* Message;  // "" when it saves
  } cases[] = {{1, "  ", "项目编码不能为空!"}, {1, "P02", "项目编码有重复!"},  {0, "P02", "项目编码有重复!"},
               {0, "P01", ""},                 {1, " O'Neil1 ", ""},          {1, "O'Neil1", "项目编码有重复!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Code) + (c.AddMode == 1 ? " add" : " edit"));
    TLegacyValues values = ValuesOf(LegacyProjectKind(), {{{"Edit_ProjectCode", c.Code}, {"Edit_ProjectName", "名 "}}, {}});
    try {
      SaveLegacyProject(c.AddMode, values);
      EXPECT_EQ(String(c.Message), "");
    } catch (const ELegacyCheck& e) {
      EXPECT_EQ(e.Message(), c.Message);
      EXPECT_EQ(e.Control(), "Edit_ProjectCode");
    }
    if (c.AddMode != 1) ASSERT_TRUE(q->Locate("ProjectCode", Variant("P01"), {}));
  }
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='O''Neil1' and ProjectName='名'"), 1);
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='P01' and ProjectName='名'"), 1);
  EXPECT_EQ(Count("select count(*) from T_Project"), 4);
}

TEST_F(LegacyTest, AProjectCodeChangeRefusedByTheDatabaseChangesNothing) {
  TADOQuery* q = Frm_Data->Qry_Project;
  Frm_Data->OpenQuery(q, "select * from  T_Project");
  ASSERT_TRUE(q->Locate("ProjectCode", Variant("P02"), {}));
  Refuse("UPDATE", "T_Project");
  EXPECT_THROW(SaveLegacyProject(0, ValuesOf(LegacyProjectKind(), {{{"Edit_ProjectCode", "P03"}}, {}})), Exception);
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='P02' and ProjectName='南湖公园'"), 1);
}
