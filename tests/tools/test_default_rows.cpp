// The rows the default database is delivered with: the first user, the settings row, the
// drop-down lists, the data-initialisation steps and the grid columns of every list.
#include "DefaultDatabase.h"
#include "core/StrUtils.h"

#include <map>
#include <set>

namespace {

// The rights in the order the rights window writes them.
const std::vector<String> kRights = {
    "Pact_Add", "Pact_Edit",  "Pact_Del",  "Pact_Print", "Pact_M",  "Pact_Doc",  "Pact_FP",    "Pact_ZJ",   "Pact_JH",
    "Prj_Add",  "Prj_Edit",   "Prj_Del",   "Prj_Print",  "Prj_M",   "Prj_Doc",   "Cust_Add",   "Cust_Edit", "Cust_Del",
    "Cust_Print", "Cust_M",   "Cust_Exp",  "Emp_Add",    "Emp_Edit", "Emp_Del",  "Emp_Print",  "Emp_M",     "MoneyIn",
    "MoneyOut", "UserQX",     "BackUp",    "Resume",     "Set_Option", "PactChart"};

TEST(DefaultRows, AdminLogsInWithAnEmptyPasswordAndHoldsEveryRight) {
  TDefaultDatabase db;
  // the login list: the second column of every user
  TADOQuery& users = db.Open("select * from tUser");
  ASSERT_EQ(users.RecordCount(), 1);
  EXPECT_EQ(users.Fields()->Fields(1)->AsString(), "Admin");
  // the login check, typed in lower case
  TADOQuery& q = db.Open("select * from tUser where username='admin'");
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("password")->AsString(), "");
  String list = q.FieldByName("qxlist")->AsString();
  String expected;
  for (const String& r : kRights) expected += r + ",";
  EXPECT_EQ(list, expected);
  for (const String& r : kRights) EXPECT_NE(Pos(r, list), 0) << r;
}

TEST(DefaultRows, SettingsRowNamesTheProgramAndItsDecimals) {
  TDefaultDatabase db;
  TADOQuery& q = db.Open("select * from T_Softinfo");
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("SoftName")->AsString(), "沃岚工程合同管理软件");
  EXPECT_FALSE(Trim(q.FieldByName("Version")->AsString()).empty());
  for (const char* f : {"DotNumber", "DotPrice", "DotMoney"}) EXPECT_EQ(q.FieldByName(f)->AsInteger(), 2) << f;
  // read as text and put into the reminder statement: it must be a whole number
  String txday = q.FieldByName("txday")->AsString();
  int days = -1;
  ASSERT_TRUE(TryStrToInt(txday, days)) << txday;
  EXPECT_GE(days, 0);
  for (const char* f : {"lines", "last"}) EXPECT_FALSE(q.FieldByName(f)->IsNull()) << f;
}

TEST(DefaultRows, DropDownListsHoldTheirEntriesInOrder) {
  TDefaultDatabase db;
  const std::map<String, size_t> minimum = {{"员工身份", 2}, {"附件类型", 2}, {"合同文件", 2}, {"资金性质", 2},
                                            {"资金结算", 2}, {"发票类型", 2}, {"发票状态", 2}};
  for (const auto& [list, least] : minimum) {
    SCOPED_TRACE(list);
    std::vector<String> byShowId = db.Column("select * from dict_combo where tablename='" + list + "' order by ShowID", "name");
    EXPECT_GE(byShowId.size(), least);
    EXPECT_EQ(std::set<String>(byShowId.begin(), byShowId.end()).size(), byShowId.size()) << "duplicate entry";
    for (const String& e : byShowId) EXPECT_FALSE(Trim(e).empty());
    // the employee dialog reads its list in id order: the same order
    EXPECT_EQ(db.Column("select * from dict_combo where tablename='" + list + "' order by id", "name"), byShowId);
  }
  // the schedules select exactly these two words
  EXPECT_EQ(db.Column("select * from dict_combo where tablename='资金性质' order by ShowID", "name"),
            (std::vector<String>{"收款", "付款"}));
  EXPECT_EQ(db.Count("select * from dict_combo"), db.Count("select * from dict_combo where tablename in "
                                                           "('员工身份','附件类型','合同文件','资金性质','资金结算','发票类型','发票状态')"));
}

TEST(DefaultRows, TheCompanyWindowStartsFromNoRow) {
  TDefaultDatabase db;
  EXPECT_EQ(db.Count("select * from T_Company"), 0);
  EXPECT_EQ(db.Count("select * from dict_cate"), 0);
  EXPECT_EQ(db.Count("select * from Category_Cust"), 0);
}

// The offered steps, all ticked and run in one transaction as the initialisation window runs
// them, empty the user's records and leave users, settings, lists and columns alone.
TEST(DefaultRows, DataInitialisationEmptiesTheRecordsAndKeepsTheSettings) {
  TDefaultDatabase db;
  db.ExecAll({"insert into t_pact (PactCode, PactName) values ('HT1', '合同一')",
              "insert into t_pact_zj (PactCode, money) values ('HT1', 1)",
              "insert into t_pact_jh (PactCode, GoodsName) values ('HT1', '钢材')",
              "insert into t_pact_doc (PactCode, DocName) values ('HT1', 'a.doc')",
              "insert into t_pact_fp (PactCode, fpcode) values ('HT1', 'FP1')",
              "insert into dict_prj (PrjCode, PrjName) values ('P1', '项目一')",
              "insert into dict_prj_detail (PrjCode, DocName) values ('P1', 'b.doc')",
              "insert into t_custom (CustCode, CustName) values ('C1', '甲')",
              "insert into t_cust_contact (CustCode, ContactName) values ('C1', '李四')",
              "insert into dict_emp (EmpName) values ('张三')",
              "insert into T_ht (HTCode, HTName) values ('HT-1', '旧合同')"});
  std::unique_ptr<TADOQuery> offered = db.OpenNew("select * from Dict_ClearData where F_Flag =TRUE");
  std::vector<String> actions;
  for (offered->First(); !offered->Eof(); offered->Next()) actions.push_back(offered->FieldByName("Action")->AsString());
  EXPECT_EQ(std::set<String>(actions.begin(), actions.end()).size(), actions.size()) << "an action text repeats";

  std::unique_ptr<TADOQuery> all = db.OpenNew("select * from Dict_ClearData");
  db.Connection().BeginTrans();
  for (const String& action : actions) {
    ASSERT_TRUE(all->Locate("Action", Variant(action), {}));
    db.Exec(all->FieldByName("SQL")->AsString());
  }
  db.Connection().CommitTrans();

  for (const char* t : {"t_pact", "t_pact_zj", "t_pact_jh", "t_pact_doc", "t_pact_fp", "dict_prj", "dict_prj_detail",
                        "t_custom", "t_cust_contact", "dict_emp"})
    EXPECT_EQ(db.Count(String("select * from ") + t), 0) << t;
  // not offered: the older records stay
  EXPECT_EQ(db.Count("select * from T_ht"), 1);
  EXPECT_EQ(db.Count("select * from tUser"), 1);
  EXPECT_EQ(db.Count("select * from T_SoftInfo"), 1);
  EXPECT_GT(db.Count("select * from T_FieldShow"), 0);
  EXPECT_GT(db.Count("select * from dict_combo"), 0);
}

TEST(DefaultRows, EveryDataInitialisationStatementRuns) {
  TDefaultDatabase db;
  std::unique_ptr<TADOQuery> all = db.OpenNew("select * from Dict_ClearData");
  ASSERT_GT(all->RecordCount(), 0);
  for (all->First(); !all->Eof(); all->Next()) {
    String sql = all->FieldByName("SQL")->AsString();
    SCOPED_TRACE(sql);
    EXPECT_FALSE(Trim(all->FieldByName("Action")->AsString()).empty());
    EXPECT_FALSE(all->FieldByName("F_Flag")->IsNull());
    EXPECT_NO_THROW(db.Exec(sql));
  }
}

// ----------------------------------------------------------------------------- grid columns

struct TListCase {
  const char* List;        // as the windows write it
  const char* Statement;   // what the window opens the list's grid on
  const char* FirstSearch; // the first searchable row's field: searched at opening with an empty key
  const char* SumField;    // the amount with a footer sum, '' when the list has none
};

const char* const kToday = "2024-03-08";

const std::vector<TListCase> kLists = {
    {"pact", "select * from t_pact order by PactDate desc", "PactCode", "PactMoney"},
    {"Pact", "Select * from t_pact where PactCode like '%%'", "PactCode", "PactMoney"},
    {"pact_doc", "select * from t_pact_doc where pactcode='HT1'", "", ""},
    {"pact_zj", "select * from t_pact_zj where pactcode='HT1'", "", "money"},
    {"pact_jh", "select * from t_pact_jh where pactcode='HT1'", "", "Money"},
    {"pact_fp", "select * from t_pact_fp where pactcode='HT1'", "", "fpmoney"},
    {"pact_doc_add", "select * from t_pact_doc where PactCode=''", "", ""},
    {"pact_zj_add", "select * from t_pact_zj where PactCode=''", "", "money"},
    {"pact_jh_add", "select * from t_pact_jh where PactCode=''", "", "Money"},
    {"dict_prj", "select * from dict_prj", "PrjCode", ""},
    {"dict_prj_detail", "select * from dict_prj_detail where prjcode='P1'", "", ""},
    {"dict_prj_detail_add", "select * from dict_prj_detail where PrjCode=''", "", ""},
    {"dict_emp", "select * from Dict_Emp", "EmpName", ""},
    {"Custom", "select * from T_Custom order by CustID", "CustCode", ""},
    {"CustContact", "select * from t_cust_contact where custcode='C1'", "", ""},
    {"CustContactAdd", "select * from t_cust_contact where CustCode=''", "", ""},
    {"moneyin",
     "select *, jhdate-cdate('2024-03-08') as xcday from s_pactzj where zjtype='收款'  order by jhdate desc", "",
     "money"},
    {"moneyout",
     "select * from (select *, jhdate-cdate('2024-03-08') as xcday from s_pactzj) where zjtype='付款'  and "
     "xcday<=7 and f_check='未完成' order by jhdate desc",
     "", "money"},
    {"UserQX", "select * from tUser", "", ""},
    {"combo", "select * from dict_combo where tablename='员工身份'", "", ""},
    {"custselect", "select * from t_custom", "CustName", ""},
    {"prjselect", "select * from dict_prj", "PrjName", ""},
    {"empselect", "select * from dict_emp", "EmpName", ""},
    {"SelectProject", "select * from T_Project", "", ""},
    {"Project", "select * from [T_Project] where (ProjectCode like '%1%')", "", "GCInvest"},
    {"SelectCust", "select * from T_Custom", "", ""},
    {"emploee", "select * from Dict_Employee order by ID", "", ""},
    {"Dict", "select * from Dict_DepotName", "", ""},
    {"AllBill", "select * from T_Bill order by BillCode", "", ""},
    {"import", "Select * from T_import where tablename='Custom' order by importid", "", ""},
    {"qrhtbg", "select * from T_htbg where QRzt='未确认'", "", "BGmoney"},
    {"qrhtsp", "select * from T_htsp where qrzt='未确认'", "", "SPmoney"},
};

bool IsNumeric(TFieldType t) {
  return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint || t == ftFloat ||
         t == ftCurrency || t == ftBCD || t == ftFMTBcd;
}
bool IsDate(TFieldType t) { return t == ftDateTime || t == ftDate || t == ftTime; }

struct TFieldShowRow {
  String Field, Name, DictCombo, FieldType;
  int ShowID = 0, SumField = 0, ShowButton = 0, DotSize = 0, Width = 0;
  bool Show = false, TypeIsNull = false;
};

std::vector<TFieldShowRow> ReadList(TDefaultDatabase& db, const String& list) {
  TADOQuery& q = db.Open("select * from T_FieldShow where TableName='" + list + "'");
  std::vector<TFieldShowRow> rows;
  for (q.First(); !q.Eof(); q.Next()) {
    TFieldShowRow r;
    r.Field = q.FieldByName("Field")->AsString();
    r.Name = q.FieldByName("Name")->AsString();
    r.DictCombo = q.FieldByName("Dict_Combo")->AsString();
    r.FieldType = q.FieldByName("fieldtype")->AsString();
    r.TypeIsNull = q.FieldByName("fieldtype")->IsNull();
    r.ShowID = q.FieldByName("ShowID")->AsInteger();
    r.SumField = q.FieldByName("SumField")->AsInteger();
    r.ShowButton = q.FieldByName("ShowButton")->AsInteger();
    r.DotSize = q.FieldByName("DotSize")->AsInteger();
    r.Width = q.FieldByName("Width")->AsInteger();
    r.Show = q.FieldByName("show")->AsBoolean();
    rows.push_back(r);
  }
  return rows;
}

// Rows of every kind, so the lists' statements run over real values.
void AddSampleRows(TDefaultDatabase& db) {
  db.ExecAll({"insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, PactDate) values "
              "('HT1', '合同一', '施工合同', '01', 1000, #2024-03-01#)",
              "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT1', '付款', 10, #2024-03-09#)",
              "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT1', '收款', 20, #2024-03-10#)",
              "insert into t_pact_jh (PactCode, GoodsName, Number, Price, Money) values ('HT1', '钢材', 2, 3, 6)",
              "insert into t_pact_doc (PactCode, DocName, DocDate) values ('HT1', 'a.doc', #2024-03-02#)",
              "insert into t_pact_fp (PactCode, fpcode, fpmoney) values ('HT1', 'FP1', 300)",
              "insert into dict_prj (PrjCode, PrjName) values ('P1', '项目一')",
              "insert into dict_prj_detail (PrjCode, DocName) values ('P1', 'b.doc')",
              "insert into t_custom (CustCode, CustName) values ('C1', '甲')",
              "insert into t_cust_contact (CustCode, ContactName) values ('C1', '李四')",
              "insert into dict_emp (EmpName) values ('张三')"});
}

// Every list name the windows build grids from: its rows name fields of the list's own
// statement (a missing one stops the column build), carry a kind that matches the field,
// put sums and decimals only on numbers and drop-down lists only where lists exist.
TEST(DefaultRows, GridColumnsOfEveryListFitTheirStatement) {
  TDefaultDatabase db;
  AddSampleRows(db);
  const String recognisedLists = "附件类型,资金性质,资金结算,合同文件,发票类型,发票状态";
  for (const TListCase& c : kLists) {
    SCOPED_TRACE(c.List);
    std::vector<TFieldShowRow> rows = ReadList(db, c.List);
    ASSERT_FALSE(rows.empty());
    std::unique_ptr<TADOQuery> data = db.OpenNew(c.Statement);
    int shown = 0;
    std::set<String> names, fields;
    std::set<int> order;
    for (const TFieldShowRow& r : rows) {
      SCOPED_TRACE(r.Field);
      TField* f = data->FindField(r.Field);
      ASSERT_NE(f, nullptr) << "not a field of the list's statement";
      EXPECT_FALSE(r.TypeIsNull);
      EXPECT_EQ(r.FieldType == "date", IsDate(f->DataType()));
      EXPECT_EQ(r.FieldType == "number", IsNumeric(f->DataType()));
      EXPECT_TRUE(r.FieldType == "text" || r.FieldType == "memo" || r.FieldType == "number" || r.FieldType == "date");
      EXPECT_FALSE(Trim(r.Name).empty());
      EXPECT_GT(r.Width, 0);
      EXPECT_TRUE(r.SumField == 0 || (r.SumField == 1 && IsNumeric(f->DataType())));
      EXPECT_TRUE(r.DotSize == 0 || (r.DotSize >= 1 && r.DotSize <= 3 && IsNumeric(f->DataType())));
      EXPECT_EQ(r.ShowButton, 0) << "no window answers an ellipsis button";
      if (!r.DictCombo.empty()) {
        EXPECT_NE(Pos(r.DictCombo, recognisedLists), 0) << r.DictCombo << " would get no drop-down";
        EXPECT_GT(db.Count("select * from dict_combo where tablename='" + r.DictCombo + "'"), 0) << r.DictCombo;
      }
      if (r.Show) ++shown;
      names.insert(UpperCase(r.Name));
      fields.insert(UpperCase(r.Field));
      order.insert(r.ShowID);
    }
    EXPECT_GT(shown, 0);
    EXPECT_LE(shown, 51);
    // the chooser finds rows by title and saving finds them by field: both are keys
    EXPECT_EQ(names.size(), rows.size()) << "a title repeats";
    EXPECT_EQ(fields.size(), rows.size()) << "a field repeats";
    EXPECT_EQ(order.size(), rows.size()) << "two rows share an order";
    bool hasSum = false;
    for (const TFieldShowRow& r : rows) hasSum |= r.SumField == 1 && SameText(r.Field, c.SumField);
    EXPECT_EQ(hasSum, String(c.SumField) != "") << c.SumField;
  }
}

// The search panels list every row that is not a date in database order and search the
// first one at opening with an empty key, which finds only rows where it is filled; the
// customer list preselects the second one.
TEST(DefaultRows, SearchFieldsStartOnAColumnEveryRecordHas) {
  TDefaultDatabase db;
  for (const TListCase& c : kLists) {
    if (String(c.FirstSearch).empty()) continue;
    SCOPED_TRACE(c.List);
    TADOQuery& q = db.Open(String("select * from t_FieldShow where tablename='") + c.List + "' and fieldtype<>'date'");
    ASSERT_FALSE(q.IsEmpty());
    q.First();
    EXPECT_TRUE(SameText(q.FieldByName("Field")->AsString(), c.FirstSearch));
    int all = db.Count(String("select * from T_FieldShow where tablename='") + c.List + "'");
    int dates = db.Count(String("select * from T_FieldShow where tablename='") + c.List + "' and fieldtype='date'");
    EXPECT_EQ(db.Count(String("select * from t_FieldShow where tablename='") + c.List + "' and fieldtype<>'date'"),
              all - dates);
  }
  TADOQuery& custom = db.Open("select * from T_Fieldshow where tablename='custom' and fieldtype<>'date'");
  ASSERT_GE(custom.RecordCount(), 2);
  custom.First();
  custom.Next();
  EXPECT_EQ(custom.FieldByName("Field")->AsString(), "CustName");
}

// The contract list reads "pact" but saves under "Pact", and its detail grids save under
// "Pact_ZJ" and the like: every spelling must reach the same rows.
TEST(DefaultRows, ListNamesInAnySpellingReachTheSameRows) {
  TDefaultDatabase db;
  struct {
    const char* Read;
    const char* Saved;
  } cases[] = {{"pact", "Pact"}, {"pact_doc", "Pact_Doc"}, {"pact_zj", "Pact_ZJ"}, {"pact_jh", "Pact_JH"},
               {"pact_fp", "Pact_FP"}, {"Custom", "custom"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Saved);
    std::vector<String> fields =
        db.Column(String("select * from T_FieldShow where show=true and TableName='") + c.Read + "' order by ShowID", "Field");
    ASSERT_GE(fields.size(), 2u);
    // save the second column first, as the user dragged it to the front
    EXPECT_EQ(db.Exec(String("update T_FieldShow set showid=0,width=123 where tablename='") + c.Saved +
                      "' and field='" + fields[1] + "'"),
              1);
    std::vector<String> after =
        db.Column(String("select * from T_FieldShow where show=true and TableName='") + c.Read + "' order by ShowID", "Field");
    EXPECT_EQ(after.front(), fields[1]);
  }
}

}  // namespace

// The import maps spreadsheet columns onto every column of its target table: one row per
// column (the goods' counter excepted, the database assigns it), none mapped at first.
TEST(DefaultRows, ImportMappingHasOneUnmappedRowPerTargetColumn) {
  TDefaultDatabase db;
  struct {
    const char* Kind;
    const char* Table;
    const char* Skipped;
  } cases[] = {{"Custom", "T_ht", ""}, {"Goods", "T_Goods", "GoodsID"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Kind);
    std::unique_ptr<TADOQuery> table = db.OpenNew(String("select * from ") + c.Table);
    std::set<String> columns;
    for (int i = 0; i < table->Fields()->Count(); ++i)
      if (!SameText(table->Fields()->Fields(i)->FieldName(), c.Skipped))
        columns.insert(UpperCase(table->Fields()->Fields(i)->FieldName()));
    TADOQuery& q = db.Open(String("select * from T_Import where tablename='") + c.Kind + "' order by ImportID");
    std::set<String> mapped;
    for (q.First(); !q.Eof(); q.Next()) {
      EXPECT_TRUE(mapped.insert(UpperCase(q.FieldByName("S_Field")->AsString())).second) << "a column repeats";
      EXPECT_FALSE(Trim(q.FieldByName("FieldName")->AsString()).empty());
      EXPECT_EQ(q.FieldByName("F_Field")->AsString(), " ");
    }
    EXPECT_EQ(mapped, columns);
  }
}
