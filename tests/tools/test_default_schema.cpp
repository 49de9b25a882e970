// The tables, columns, column types and stored queries of the default database, as the
// program's windows read and write them.
#include "DefaultDatabase.h"
#include "core/StrUtils.h"

#include <algorithm>

namespace {

struct TTableColumns {
  const char* Table;
  std::vector<const char*> Columns;
};

// Every table and stored query with the columns the program names for it.
const std::vector<TTableColumns> kTables = {
    {"t_pact", {"PactCode", "PactName", "PactType", "typecode", "PactMoney", "CustName", "PrjName", "PrjMan",
                "PactDate", "BeginDate", "EndDate", "PactNote", "PactCNote", "f_check"}},
    {"t_pact_zj", {"pactmoneyid", "PactCode", "zjtype", "money", "jhdate", "sjdate", "f_check", "Method"}},
    {"t_pact_jh", {"PactCode", "f_check"}},
    {"t_pact_doc", {"PactCode", "DocName", "DocPath", "DocDate"}},
    {"t_pact_fp", {"PactCode"}},
    {"s_pactzj", {"pactmoneyid", "PactCode", "zjtype", "money", "jhdate", "sjdate", "f_check", "Method",
                  "pactname", "PrjName", "PrjMan", "CustName", "typecode"}},
    {"dict_prj", {"PrjCode", "PrjName", "PrjType", "CustName", "PrjMan", "PrjDate", "BeginDate", "EndDate",
                  "PrjNote", "f_check"}},
    {"dict_prj_detail", {"PrjCode", "DocName", "DocPath", "DocDate"}},
    {"dict_emp", {"empid", "EmpName", "EmpSex", "age", "Phone", "Email", "InDate", "Depart", "Place", "Remark",
                  "typecode"}},
    {"t_custom", {"CustID", "CustCode", "CustName", "CustType", "Country", "CustArea", "Address", "Zip", "Phone",
                  "WebSite", "CustMan", "ZZMoney", "Bank", "BankID", "ZContact", "ZMobile", "ZPhone", "ZFax",
                  "ZPlace", "ZEmail", "Remark", "Maker", "f_check", "Contact"}},
    {"t_cust_contact", {"CustCode"}},
    {"tUser", {"userid", "UserName", "password", "qxlist"}},
    {"admin", {"username"}},
    {"dict_cate", {"code", "name", "TableName"}},
    {"Category_Cust", {"code", "name"}},
    {"dict_combo", {"id", "tablename", "name", "ShowID"}},
    {"T_FieldShow", {"TableName", "Field", "Name", "Width", "ShowID", "show", "SumField", "ShowButton", "DotSize",
                     "Color", "Dict_Combo", "fieldtype"}},
    {"T_SoftInfo", {"SoftName", "Version", "DotNumber", "DotPrice", "DotMoney", "lines", "last", "txday"}},
    {"T_Company", {"Company", "Contact", "Address", "Zip", "Tel", "Fax", "Email"}},
    {"Dict_ClearData", {"Action", "SQL", "F_Flag"}},
    // the older records
    {"T_ht", {"HTType", "HTCode", "HTName", "HTjf", "HTyf", "HTmoney", "HTyfk", "Remark", "BZBL", "BZJ", "HTprice",
              "HTnumber", "JKXZ", "ZFFS", "QDdate", "Begindate", "Enddate", "HTpoject", "HTDFQY", "HTWFQY", "SPZT"}},
    {"T_htBG", {"bDID", "HTCode", "BGname", "BGcode", "BGmoney", "QRzt", "BGtype", "JSr", "BGDate", "BGyy", "memo"}},
    {"T_htBl", {"BLID", "HTCode", "blname", "blcode", "blmoney", "JSr", "blDate", "memo"}},
    {"T_htsp", {"SPID", "HTCode", "SPname", "SPcode", "SPmoney", "SPtype", "JSr", "SPDate", "memo", "qrzt"}},
    {"T_htJS", {"JSID", "HTCode", "JSname", "JScode", "JSmoney", "JSr", "jsDate", "memo"}},
    {"T_HTfk", {"fkID", "HTCode", "jhname", "Wczt", "jhmoney", "ZXDate", "memo"}},
    {"T_HTfk1", {"HTCode", "fkname", "fkcode", "fkDate", "fkmoney", "jsmoney", "wfmoney", "memo", "jsr"}},
    {"T_HTwd", {"WDID", "HTCode", "wdname", "wdcode", "wddx", "bzcust", "bzDate", "memo", "wdtype", "wdlj"}},
    {"T_htsk", {"skID", "HTCode", "jhname", "Wczt", "money", "ZXDate", "memo"}},
    {"T_htsk1", {"skID", "HTCode", "Skname", "skcode", "skmoney", "skDate", "memo", "jsr"}},
    {"T_Goods", {"GoodsID", "GoodsType", "GoodsCode", "GoodsName", "GoodsUnit", "Units", "OutPrice", "InPrice",
                 "BarCode", "DepotUp", "DepotDown", "Remark1", "Remark2", "EnName", "Price1", "Price2", "Price3",
                 "Price4", "Remark3", "Remark4", "Remark5"}},
    {"T_Bill", {"BillCode", "AddDate", "BillType", "OldBill", "InOrOut", "Memo", "Maker", "UserName", "DepotName",
                "ProjectCode", "ProjectName", "CustName", "Department", "BillDate", "OutDate", "User"}},
    {"T_BillDetail", {"BillDetailID", "BillCode", "GoodsCode", "GoodsName", "GoodsUnit", "Units", "Number", "Price",
                      "Discount", "Money", "DetailNote", "Note2", "Note3", "Note4", "Num1", "Num2", "Num3", "Num4",
                      "CustName"}},
    {"S_BillDetail", {"BillCode", "GoodsCode", "GoodsName", "GoodsUnit", "OldBill", "DepotName", "BillType",
                      "UserName", "CustName", "ProjectCode", "ProjectName", "Adddate"}},
    {"Dict_DepotName", {"id", "Name"}},
    {"Dict_Bill", {"Name", "F_Flag"}},
    {"Dict_Units", {"id", "Name"}},
    {"Dict_Depart", {"id", "Name"}},
    {"T_Project", {"ProjectType", "ProjectCode", "GCName", "ProjectName", "Leader", "GCInvest", "BeginDate",
                   "EndDate", "GCProperty", "GCNote", "ProjectID", "cust", "place", "danwei"}},
    {"Dict_Employee", {"ID", "Name", "Mobile", "sex", "Tel", "Email", "Address", "Zip", "Memo"}},
    {"Category_Goods", {"code", "name"}},
    {"Category_HT", {"code", "name"}},
    {"Category_Project", {"code", "name"}},
    {"Dict_htfl", {"ID", "Name", "Note", "fx"}},
    {"T_Import", {"ImportID", "tablename", "S_Field", "FieldName", "F_Field"}},
};

bool IsDateType(TFieldType t) { return t == ftDateTime || t == ftDate || t == ftTime; }
bool IsTextType(TFieldType t) {
  return t == ftString || t == ftWideString || t == ftFixedChar || t == ftMemo || t == ftFmtMemo;
}
bool IsNumberType(TFieldType t) {
  return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint || t == ftFloat ||
         t == ftCurrency || t == ftBCD || t == ftFMTBcd;
}

TEST(DefaultSchema, EveryTableAndStoredQueryHasTheColumnsTheProgramNames) {
  TDefaultDatabase db;
  for (const TTableColumns& t : kTables) {
    SCOPED_TRACE(t.Table);
    TADOQuery* q = nullptr;
    ASSERT_NO_THROW(q = &db.Open(String("select * from ") + t.Table));
    // the import's column mapping is configuration too: one row per column it can fill
    static const std::vector<String> kConfiguration = {"tUser", "dict_combo", "T_FieldShow", "T_SoftInfo",
                                                       "Dict_ClearData", "T_Import"};
    bool configuration = std::find(kConfiguration.begin(), kConfiguration.end(), t.Table) != kConfiguration.end();
    EXPECT_EQ(q->IsEmpty(), !configuration) << "only configuration tables come with rows";
    for (const char* c : t.Columns) EXPECT_NE(q->FindField(c), nullptr) << c;
  }
}

// The login list shows a user's second column; the drop-down filler reads a short list's
// second column in id order.
TEST(DefaultSchema, ColumnsReadByPositionAreInTheirPlace) {
  TDefaultDatabase db;
  struct {
    const char* Table;
    int Index;
    const char* Field;
  } cases[] = {{"tUser", 0, "userid"},         {"tUser", 1, "UserName"},      {"Dict_DepotName", 1, "Name"},
               {"Dict_Units", 1, "Name"},       {"Dict_Depart", 1, "Name"},    {"Dict_Bill", 0, "id"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Table) + "." + c.Field);
    TADOQuery& q = db.Open(String("select * from ") + c.Table);
    ASSERT_GT(q.FieldCount(), c.Index);
    EXPECT_TRUE(SameText(q.Fields()->Fields(c.Index)->FieldName(), c.Field));
  }
}

TEST(DefaultSchema, ColumnTypesFollowHowTheProgramUsesThem) {
  TDefaultDatabase db;
  enum Kind { Text, Number, Date, Flag };
  struct {
    const char* Table;
    const char* Field;
    Kind Expected;
  } cases[] = {
      {"t_pact", "PactCode", Text},      {"t_pact", "typecode", Text},      {"t_pact", "PactMoney", Number},
      {"t_pact", "PactDate", Date},      {"t_pact", "BeginDate", Date},     {"t_pact", "EndDate", Date},
      {"t_pact", "PactNote", Text},      {"t_pact", "f_check", Text},       {"t_pact_zj", "pactmoneyid", Number},
      {"t_pact_zj", "money", Number},    {"t_pact_zj", "jhdate", Date},     {"t_pact_zj", "sjdate", Date},
      {"t_pact_doc", "DocDate", Date},   {"dict_prj", "PrjDate", Date},     {"dict_emp", "age", Text},
      {"dict_emp", "InDate", Date},      {"dict_emp", "typecode", Text},    {"t_custom", "CustID", Number},
      {"t_custom", "CustCode", Text},    {"t_custom", "ZZMoney", Number},   {"tUser", "password", Text},
      {"tUser", "qxlist", Text},         {"dict_cate", "code", Text},       {"Category_Cust", "code", Text},
      {"T_FieldShow", "show", Flag},     {"T_FieldShow", "Width", Number},  {"T_FieldShow", "DotSize", Number},
      {"T_SoftInfo", "txday", Number},   {"T_SoftInfo", "DotMoney", Number}, {"Dict_ClearData", "F_Flag", Flag},
      {"Dict_ClearData", "SQL", Text},   {"T_ht", "HTmoney", Number},       {"T_ht", "QDdate", Date},
      {"T_BillDetail", "Money", Number}, {"T_Project", "GCInvest", Number}, {"T_Bill", "AddDate", Date},
      {"Dict_Bill", "F_Flag", Flag},     {"s_pactzj", "jhdate", Date},      {"s_pactzj", "typecode", Text},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(String(c.Table) + "." + c.Field);
    TADOQuery& q = db.Open(String("select * from ") + c.Table);
    TField* f = q.FindField(c.Field);
    ASSERT_NE(f, nullptr);
    TFieldType t = f->DataType();
    switch (c.Expected) {
      case Text: EXPECT_TRUE(IsTextType(t)) << static_cast<int>(t); break;
      case Number: EXPECT_TRUE(IsNumberType(t)) << static_cast<int>(t); break;
      case Date: EXPECT_TRUE(IsDateType(t)) << static_cast<int>(t); break;
      case Flag: EXPECT_EQ(t, ftBoolean); break;
    }
  }
}

// Codes are two digits a level: stored as numbers they would lose their leading zero and
// every prefix search on them would fail.
TEST(DefaultSchema, CodesKeepTheirLeadingZeros) {
  TDefaultDatabase db;
  db.ExecAll({"insert into dict_cate (code, name, TableName) values ('0101', '土建', 'pacttype')",
              "insert into Category_Cust (code, name) values ('01', '客户')",
              "insert into t_custom (CustCode, CustName) values ('007', '华建公司')",
              "insert into t_pact (PactCode, PactName, typecode) values ('0012', '合同一', '010203')"});
  EXPECT_EQ(db.Scalar("select code from dict_cate where name='土建'"), "0101");
  EXPECT_EQ(db.Scalar("select code from Category_Cust"), "01");
  EXPECT_EQ(db.Scalar("select CustCode from t_custom"), "007");
  EXPECT_EQ(db.Scalar("select typecode from t_pact where PactCode='0012'"), "010203");
  EXPECT_EQ(db.Count("select * from t_pact where typecode like '0102%'"), 1);
  EXPECT_EQ(db.Count("select * from dict_cate where len(code)=4"), 1);
}

TEST(DefaultSchema, NewRowsStartInTheirStateWord) {
  TDefaultDatabase db;
  db.ExecAll({"insert into t_pact (PactCode, PactName) values ('HT1', '合同一')",
              "insert into t_pact_zj (PactCode, zjtype, money) values ('HT1', '收款', 100)",
              "insert into t_pact_jh (PactCode, GoodsName) values ('HT1', '钢材')",
              "insert into dict_prj (PrjCode, PrjName) values ('P1', '项目一')",
              "insert into tUser (UserName) values ('张三')"});
  EXPECT_EQ(db.Scalar("select f_check from t_pact"), "未执行");
  EXPECT_EQ(db.Scalar("select f_check from t_pact_zj"), "未完成");
  EXPECT_EQ(db.Scalar("select f_check from t_pact_jh"), "未完成");
  EXPECT_EQ(db.Scalar("select f_check from dict_prj"), "执行中");
  // a new user logs in with an empty password box, not with a missing one
  EXPECT_EQ(db.Count("select * from tUser where UserName='张三' and password=''"), 1);
}

TEST(DefaultSchema, RowNumbersAreAssignedByTheDatabase) {
  TDefaultDatabase db;
  db.ExecAll({"insert into t_pact_zj (PactCode, money) values ('HT1', 1)",
              "insert into t_pact_zj (PactCode, money) values ('HT1', 2)",
              "insert into t_custom (CustCode, CustName) values ('C1', '甲')",
              "insert into t_custom (CustCode, CustName) values ('C2', '乙')"});
  std::vector<String> ids = db.Column("select * from t_pact_zj order by money", "pactmoneyid");
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_LT(StrToInt(ids[0]), StrToInt(ids[1]));
  EXPECT_EQ(db.Column("select * from T_Custom order by CustID", "CustName"), (std::vector<String>{"甲", "乙"}));
}

// The fund-plan view hands the fund-plan row's own state to the schedules and the reminder,
// never the contract's, and keeps a row whose contract is gone.
TEST(DefaultSchema, FundPlanViewExposesTheFundPlanState) {
  TDefaultDatabase db;
  db.ExecAll({"insert into t_pact (PactCode, PactName, PrjName, PrjMan, CustName, typecode, f_check) values "
              "('HT1', '办公楼合同', '滨江项目', '张三', '华建公司', '0101', '执行中')",
              "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT1', '收款', 100, #2024-03-10#)",
              "insert into t_pact_zj (PactCode, zjtype, money, jhdate, f_check) values "
              "('HT1', '付款', 50, #2024-03-12#, '已完成')",
              "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT9', '付款', 70, #2024-03-15#)"});
  TADOQuery& q = db.Open("select * from s_pactzj order by money");
  ASSERT_EQ(q.RecordCount(), 3);
  q.First();  // 50: settled, of a contract that is running
  EXPECT_EQ(q.FieldByName("f_check")->AsString(), "已完成");
  EXPECT_EQ(q.FieldByName("pactname")->AsString(), "办公楼合同");
  q.Next();  // 70: its contract is gone
  EXPECT_EQ(q.FieldByName("PactCode")->AsString(), "HT9");
  EXPECT_EQ(q.FieldByName("f_check")->AsString(), "未完成");
  EXPECT_TRUE(q.FieldByName("pactname")->IsNull());
  q.Next();  // 100: not yet settled
  EXPECT_EQ(q.FieldByName("f_check")->AsString(), "未完成");
  EXPECT_EQ(q.FieldByName("zjtype")->AsString(), "收款");
  EXPECT_EQ(q.FieldByName("PrjName")->AsString(), "滨江项目");
  EXPECT_EQ(q.FieldByName("PrjMan")->AsString(), "张三");
  EXPECT_EQ(q.FieldByName("CustName")->AsString(), "华建公司");
  EXPECT_EQ(q.FieldByName("typecode")->AsString(), "0101");
  EXPECT_EQ(db.Count("select * from s_pactzj where f_check='未完成'"), 2);
}

TEST(DefaultSchema, LinkingCodesCompareWithoutRegardToCase) {
  TDefaultDatabase db;
  db.ExecAll({"insert into t_pact (PactCode, PactName, CustName) values ('ht-a', '合同一', '华建公司')",
              "insert into t_pact_zj (PactCode, money) values ('HT-A', 5)"});
  EXPECT_EQ(db.Scalar("select CustName from s_pactzj"), "华建公司");
  EXPECT_EQ(db.Count("select * from t_pact where pactcode='HT-A'"), 1);
}

// Contract, project and customer keys are unique: the windows check them only when
// adding, the database also refuses a duplicate made by editing.
TEST(DefaultSchema, DuplicateKeysAreRefused) {
  struct {
    const char* First;
    const char* Duplicate;
  } cases[] = {
      {"insert into t_pact (PactCode, PactName) values ('HT1', '合同一')",
       "insert into t_pact (PactCode, PactName) values ('ht1', '合同二')"},
      {"insert into t_pact (PactCode, PactName) values ('HT1', '合同一')",
       "insert into t_pact (PactCode, PactName) values ('HT2', '合同一')"},
      {"insert into dict_prj (PrjCode, PrjName) values ('P1', '项目一')",
       "insert into dict_prj (PrjCode, PrjName) values ('p1', '项目二')"},
      {"insert into dict_prj (PrjCode, PrjName) values ('P1', '项目一')",
       "insert into dict_prj (PrjCode, PrjName) values ('P2', '项目一')"},
      {"insert into t_custom (CustCode, CustName) values ('C1', '甲')",
       "insert into t_custom (CustCode, CustName) values ('c1', '乙')"},
      {"insert into dict_cate (code, name, TableName) values ('01', '土建', 'pacttype')",
       "insert into dict_cate (code, name, TableName) values ('01', '安装', 'pacttype')"},
      {"insert into Category_Cust (code, name) values ('01', '客户')",
       "insert into Category_Cust (code, name) values ('01', '供应商')"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Duplicate);
    TDefaultDatabase db;
    db.Exec(c.First);
    EXPECT_THROW(db.Exec(c.Duplicate), EADOError);
  }
}

// What the program deliberately allows stays allowed: people and users may share a name,
// a department code may equal a contract-type code, two customers may share a name.
TEST(DefaultSchema, NamesTheProgramLeavesFreeMayRepeat) {
  TDefaultDatabase db;
  EXPECT_NO_THROW(db.ExecAll({"insert into dict_emp (EmpName) values ('张三')",
                              "insert into dict_emp (EmpName) values ('张三')",
                              "insert into tUser (UserName) values ('Admin')",
                              "insert into t_custom (CustCode, CustName) values ('C1', '华建公司')",
                              "insert into t_custom (CustCode, CustName) values ('C2', '华建公司')",
                              "insert into dict_cate (code, name, TableName) values ('01', '办公室', 'depart')",
                              "insert into dict_cate (code, name, TableName) values ('01', '土建', 'pacttype')"}));
  EXPECT_EQ(db.Count("select * from dict_emp where EmpName='张三'"), 2);
  EXPECT_EQ(db.Count("select * from tUser where UserName='admin'"), 2);
}

}  // namespace
