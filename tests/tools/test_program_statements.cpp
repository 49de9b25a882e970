// The statements the program's windows run, as they build them, on a default database with
// a few known records: each must run and find exactly the rows the window expects.
#include "DefaultDatabase.h"
#include "core/StrUtils.h"

namespace {

// "Today" for every statement below, in the short-date format the windows write.
const String kToday = "2024-03-08";

// Contracts HT1 (施工, not yet started), HT2 (采购, a sub-type, running) and HT3 (施工, no
// plan rows); fund-plan rows around today; a project, customers, employees, categories and
// a few older records.
void AddSampleRows(TDefaultDatabase& db) {
  db.ExecAll({
      "insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactDate, "
      "BeginDate, EndDate) values ('HT1', '办公楼施工合同', '施工合同', '01', 100000, '华建公司', '滨江项目', '张三', "
      "#2024-03-05#, #2024-03-06#, #2024-12-31#)",
      "insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactDate, "
      "f_check) values ('HT2', '钢材采购合同', '钢材采购', '0201', 50000.5, '宏达钢铁厂', '滨江项目', '李四', "
      "#2024-02-20#, '执行中')",
      "insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactDate) "
      "values ('HT3', '宿舍楼施工合同', '施工合同', '01', 20000, '华建公司', '城北项目', '张三', #2024-03-07#)",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate, Method) values ('HT1', '收款', 30000, #2024-03-10#, '银行转账')",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate, sjdate, f_check, Method) values "
      "('HT1', '收款', 20000, #2024-03-01#, #2024-03-01#, '已完成', '现金')",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate, Method) values ('HT1', '付款', 10000, #2024-03-11#, '支票')",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT1', '付款', 5000, #2024-03-12#)",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT2', '付款', 8000, #2024-02-25#)",
      "insert into t_pact_zj (PactCode, zjtype, money, jhdate) values ('HT2', '收款', 1000, #2024-04-30#)",
      "insert into t_pact_jh (PactCode, GoodsName, Number, Price, Money, jhdate) values "
      "('HT2', '螺纹钢', 10, 4000, 40000, #2024-03-20#)",
      "insert into t_pact_doc (PactCode, DocName, DocPath, DocDate) values "
      "('HT1', '合同正本.doc', 'C:\\kelm\\PactDoc\\合同正本.doc', #2024-03-05#)",
      "insert into t_pact_fp (PactCode, fpcode, fptype, fpmoney, fpdate) values "
      "('HT1', 'FP001', '增值税专用发票', 20000, #2024-03-01#)",
      "insert into dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate) values "
      "('P01', '滨江项目', '住宅', '华建公司', '张三', #2024-03-02#)",
      "insert into dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, f_check) values "
      "('P02', '城北项目', '厂房', '华建公司', '李四', #2024-01-15#, '已结束')",
      "insert into dict_prj_detail (PrjCode, DocName, DocPath, DocDate) values "
      "('P01', '总图.dwg', 'C:\\kelm\\PrjDoc\\总图.dwg', #2024-03-02#)",
      "insert into t_custom (CustCode, CustName, CustType, ZContact, Maker, f_check) values "
      "('C01', '华建公司', '客户', '王五', 'Admin', '未提交')",
      "insert into t_custom (CustCode, CustName, CustType, Maker, f_check) values "
      "('C02', '宏达钢铁厂', '供应商', 'Admin', '未提交')",
      "insert into t_cust_contact (CustCode, ContactName, Mobile) values ('C01', '赵六', '13800000000')",
      "insert into dict_emp (EmpName, EmpSex, age, Depart, Place, InDate, typecode) values "
      "('张三', '男', '35', '工程部', '项目经理', #2020-05-01#, '02')",
      "insert into dict_emp (EmpName, EmpSex, age, Depart, Place, InDate, typecode) values "
      "('李四', '女', '29', '财务部', '职员', #2021-07-01#, '03')",
      "insert into dict_cate (code, name, TableName) values ('01', '施工合同', 'pacttype')",
      "insert into dict_cate (code, name, TableName) values ('02', '采购合同', 'pacttype')",
      "insert into dict_cate (code, name, TableName) values ('0201', '钢材采购', 'pacttype')",
      "insert into dict_cate (code, name, TableName) values ('0202', '设备采购', 'pacttype')",
      "insert into dict_cate (code, name, TableName) values ('01', '办公室', 'depart')",
      "insert into Category_Cust (code, name) values ('01', '客户')",
      "insert into Category_Cust (code, name) values ('0101', '长期客户')",
      "insert into T_Bill (BillCode, AddDate, BillType, DepotName, CustName) values "
      "('B001', #2024-03-04#, '入库单', '一号仓库', '宏达钢铁厂')",
      "insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, Price, Discount, Money) values "
      "('B001', 'G01', '螺纹钢', 3, 2.5, 0.9, 6.75)",
      "insert into T_Bill (BillCode, AddDate, BillType) values ('B002', #2024-02-10#, '出库单')",
      "insert into Dict_Bill (Name, F_Flag) values ('入库单', true)",
      "insert into Dict_Bill (Name, F_Flag) values ('作废单', false)",
      "insert into T_htBG (HTCode, BGname, QRzt) values ('HT-20240301-0001', '增加工程量', '未确认')",
      "update T_Import set F_Field='编号' where tablename='Custom' and S_Field='HTCode'",
  });
}

struct TStatementCase {
  String Sql;
  int Rows;                   // rows it finds
  const char* Field = "";     // a field of the first row to check, '' for none
  const char* Value = "";     // its text
};

// Statements in the form the windows write them (key between % signs, #dates# in the short
// date format, iif(isnull(...)) sums, cdate differences, list names in either case).
const std::vector<TStatementCase> kStatements = {
    // contract list: opening, search fields, searches with every condition
    {"select * from t_pact order by PactDate desc", 3, "PactCode", "HT3"},
    {"select * from t_FieldShow where tablename='pact' and fieldtype<>'date'", 11, "Field", "PactCode"},
    {"select * from T_FieldShow where tablename='pact' and Name='合同名称'", 1, "Field", "PactName"},
    {"Select * from t_pact where PactCode like '%%' and PactDate>=#2024-03-01# and PactDate<=#" + kToday + "#", 2},
    {"Select * from t_pact where PactName like '%施工%' and typecode like '01%' and PactDate>=#2024-02-01# and "
     "PactDate<=#" + kToday + "#", 2},
    {"Select * from t_pact where PactCode like '%%' and typecode like '02%' and PactDate>=#2024-02-01# and "
     "PactDate<=#" + kToday + "#", 1, "PactName", "钢材采购合同"},
    {"Select * from t_pact where PactCode like '%%' and PactDate>=#2024-02-01# and PactDate<=#" + kToday +
         "# and f_check='未执行'", 2},
    {"Select * from t_pact where PactCode like '%%' and PactDate>=#2024-02-01# and PactDate<=#" + kToday +
         "# and custname like '%华建%' and prjname like '%滨江%'", 1, "PactCode", "HT1"},
    {"Select * from t_pact where PactMoney like '%50000.5%' and PactDate>=#2024-02-01# and PactDate<=#" + kToday + "#",
     1, "PactCode", "HT2"},
    {"Select * from t_pact where PactCode like '%ht%' and PactDate>=#2024-03-06# and PactDate<=#2024-03-07#", 1},
    // the chart of the last search: one row per type with the summed amount
    {"select sum(pactmoney) as ttmoney, pacttype from (Select * from t_pact where PactCode like '%%' and "
     "PactDate>=#2024-03-01# and PactDate<=#" + kToday + "#) group by pacttype", 1, "ttmoney", "120000"},
    // details of the current contract and its totals
    {"select * from t_pact_doc where pactcode='HT1'", 1, "DocName", "合同正本.doc"},
    {"select * from t_pact_zj where pactcode='HT1'", 4},
    {"select * from t_pact_jh where pactcode='HT2'", 1, "f_check", "未完成"},
    {"select * from t_pact_fp where pactcode='HT1'", 1, "fpcode", "FP001"},
    {"select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode='HT1' and zjtype='收款'", 1, "", ""},
    {"select * from t_custom where custname='华建公司'", 1, "CustCode", "C01"},
    {"select * from dict_prj where prjname='滨江项目'", 1, "PrjCode", "P01"},
    // receipt and payment schedules: type node (receipts that type only, payments with
    // sub-types), state, date range, name conditions
    {"select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj where zjtype='收款'  and jhdate>=#2024-03-01# "
     "and jhdate<=#2024-03-31# order by jhdate desc", 2, "jhdate", "2024-03-10"},
    {"select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj where zjtype='收款'  and typecode like '01' and "
     "f_check='已完成' and jhdate>=#2024-03-01# and jhdate<=#2024-03-31# and pactname like '%办公楼%' and PrjName like "
     "'%滨江%' and PrjMan like '%张%' and CustName like '%华建%' and Method like '%现金%' order by jhdate desc", 1,
     "money", "20000"},
    {"select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj where zjtype='付款'  and typecode like '02%' and "
     "jhdate>=#2024-02-01# and jhdate<=#2024-03-31# order by jhdate desc", 1, "xcday", "-12"},
    {"select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj where zjtype='付款'  and typecode like '0' and "
     "jhdate>=#2024-02-01# and jhdate<=#2024-03-31# order by jhdate desc", 0},
    // the reminder: every direction, and each of the reminder window's two lists
    {"select * from (select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj) where xcday<=3 and "
     "f_check='未完成' order by jhdate desc", 3, "jhdate", "2024-03-11"},
    {"select * from (select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj) where zjtype='收款'  and "
     "xcday<=3 and f_check='未完成' order by jhdate desc", 1, "money", "30000"},
    {"select * from (select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj) where zjtype='付款'  and "
     "xcday<=0 and f_check='未完成' order by jhdate desc", 1, "PactCode", "HT2"},
    // projects
    {"select * from dict_prj", 2},
    {"Select * from dict_prj where PrjCode like '%%' and PrjDate>=#2024-03-01# and PrjDate<=#" + kToday + "#", 1},
    {"Select * from dict_prj where PrjName like '%项目%' and PrjDate>=#2024-01-01# and PrjDate<=#" + kToday +
         "# and f_check='执行中'", 1, "PrjCode", "P01"},
    {"Select * from dict_prj where PrjDate like '%2024-01%' and PrjDate>=#2024-01-01# and PrjDate<=#" + kToday + "#",
     1, "PrjCode", "P02"},
    {"select * from dict_prj_detail where prjcode='P01'", 1, "DocName", "总图.dwg"},
    {"select * from t_pact where prjname='滨江项目'", 2},
    // customers and their contacts
    {"select * from T_Custom order by CustID", 2, "CustCode", "C01"},
    {"select * from T_Fieldshow where tablename='custom' and fieldtype<>'date'", 23},
    {"Select * from T_custom where CustName like '%钢铁%'", 1, "CustType", "供应商"},
    {"select * from t_cust_contact where custcode='c01'", 1, "ContactName", "赵六"},
    {"select * from t_pact where custname='华建公司'", 2},
    // employees and the employee dialog's positions
    {"select * from Dict_Emp", 2},
    {"Select * from dict_emp where EmpName like '%张%'", 1, "Depart", "工程部"},
    {"Select * from dict_emp where InDate like '%2021%'", 1, "EmpName", "李四"},
    {"select * from dict_combo where tablename='员工身份' order by id", 5},
    {"select * from t_pact where prjman='张三'", 2},
    // the record picker
    {"select * from t_FieldShow where tablename='custselect'", 6, "Field", "CustName"},
    {"Select * from t_custom where CustName like '%%'", 2},
    {"Select * from dict_prj where PrjName like '%滨江%'", 1},
    {"Select * from dict_emp where Place like '%经理%'", 1, "EmpName", "张三"},
    // grid columns, the column chooser and the drop-down lists
    {"select * from T_FieldShow where show=true and TableName='Pact' order by ShowID", 11, "Field", "PactCode"},
    {"select * from T_FieldShow where show=false and TableName='Pact'", 3},
    {"select * from dict_combo where tablename='资金结算' order by ShowID", 5, "name", "现金"},
    {"select * from dict_combo where tablename='合同文件'", 5},
    // users and rights
    {"select * from tUser where username='ADMIN'", 1, "UserName", "Admin"},
    {"select * from tUser where UserName='Admin' and qxlist like '%Set_Option,%'", 1},
    // settings
    {"select * from t_softinfo", 1, "SoftName", "沃岚工程合同管理软件"},
    {"select * from T_Company", 0},
    {"select * from Dict_ClearData where F_Flag =TRUE", 10},
    // category trees and the next proposed code
    {"select * from dict_cate where tablename='pacttype' order by code", 4, "code", "01"},
    {"select Max(Code) from dict_cate where TableName='pacttype' and code like '02%' and len(code)=4", 1},
    {"select Max(Code) from dict_cate where TableName='depart' and code like '%' and len(code)=2", 1},
    {"select * from Category_Cust order by code", 2},
    {"select * from Category_Cust where len(code)=2 order by code", 1},
    {"select * from Category_Cust where len(code)=4 and code like'01%' order by code", 1, "name", "长期客户"},
    // the older records
    {"select * from [S_BillDetail] where (BillType='入库单')AND(CustName like'%钢铁%')AND([Adddate]>=#2024-03-01#)"
     "AND([Adddate]<=#2024-03-31#)", 1, "GoodsCode", "G01"},
    {"select * from [S_BillDetail] where ([Adddate]>=#2024-02-01#)AND([Adddate]<=#2024-02-29#)", 1, "BillCode", "B002"},
    {"select * from T_Bill where BillCode in('B001','B002')", 2},
    {"select * from Dict_Bill where F_Flag=true", 1, "Name", "入库单"},
    {"select * from T_HTbg where QRzt='未确认'", 1},
    // one row per column of the older contracts, and of goods but their counter
    {"select * from T_Import where tablename='Custom' order by ImportID", 21, "S_Field", "HTType"},
    {"select * from T_Import where tablename='Goods' order by ImportID", 20, "S_Field", "GoodsType"},
    {"select * from T_Import where tablename='Goods' and S_Field='GoodsID'", 0},
    {"select * from T_Import where F_Field<>' ' and tablename='Custom'", 1, "S_Field", "HTCode"},
    {"select * from  T_Project", 0},
    {"select * from T_Goods where GoodsCode='G01'", 0},
};

TEST(ProgramStatements, RunAndFindTheExpectedRows) {
  TDefaultDatabase db;
  AddSampleRows(db);
  for (const TStatementCase& c : kStatements) {
    SCOPED_TRACE(c.Sql);
    TADOQuery* q = nullptr;
    try {
      q = &db.Open(c.Sql);
    } catch (const Exception& e) {
      ADD_FAILURE() << e.Message();
      continue;
    }
    EXPECT_EQ(q->RecordCount(), c.Rows);
    if (String(c.Field).empty() || q->IsEmpty()) continue;
    q->First();
    TField* f = q->FindField(c.Field);
    ASSERT_NE(f, nullptr) << c.Field;
    EXPECT_EQ(f->AsString(), c.Value);
  }
}

// The contract list's totals: planned and settled receipts and payments of the current
// contract; a contract without plan rows shows 0.
TEST(ProgramStatements, ContractTotalsSumWithZeroForNone) {
  TDefaultDatabase db;
  AddSampleRows(db);
  const String head = "select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode='";
  struct {
    const char* Code;
    const char* Tail;
    double Total;
  } cases[] = {
      {"HT1", "' and zjtype='收款'", 50000},
      {"HT1", "' and zjtype='收款' and f_check='已完成'", 20000},
      {"HT1", "' and zjtype='付款'", 15000},
      {"HT1", "' and zjtype='付款' and f_check='已完成'", 0},
      {"HT3", "' and zjtype='收款'", 0},
      {"ht2", "' and zjtype='付款'", 8000},
  };
  for (const auto& c : cases) {
    String sql = head + c.Code + c.Tail;
    SCOPED_TRACE(sql);
    TADOQuery& q = db.Open(sql);
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_FALSE(q.Fields()->Fields(0)->IsNull());
    EXPECT_DOUBLE_EQ(q.Fields()->Fields(0)->AsFloat(), c.Total);
  }
}

// Marking a planned item settled, as the schedules do: state and date written by the
// update, the item drops out of the reminder and shows as settled in the schedule.
TEST(ProgramStatements, MarkingSettledWritesStateAndDate) {
  TDefaultDatabase db;
  AddSampleRows(db);
  const String reminder = "select * from (select *, jhdate-cdate('" + kToday +
                          "') as xcday from s_pactzj) where xcday<=3 and f_check='未完成' order by jhdate desc";
  ASSERT_EQ(db.Count(reminder), 3);
  String id = db.Scalar("select pactmoneyid from t_pact_zj where PactCode='HT1' and jhdate=#2024-03-10#");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(db.Exec("update t_pact_zj set f_check='已完成', sjdate='" + kToday + "' where pactmoneyid=" + id), 1);
  EXPECT_EQ(db.Count(reminder), 2);
  TADOQuery& q = db.Open("select * from s_pactzj where pactmoneyid=" + id);
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("f_check")->AsString(), "已完成");
  // stored as a date, so it sorts and compares as one
  EXPECT_EQ(q.FieldByName("sjdate")->AsString(), kToday);
  EXPECT_EQ(db.Count("select * from t_pact_zj where sjdate>=#2024-03-08# and sjdate<=#2024-03-08#"), 1);
}

// The reminder window in days: 0 keeps only what is due today or overdue; a settled item
// is never reminded however late.
TEST(ProgramStatements, ReminderWindowCountsDaysFromToday) {
  TDefaultDatabase db;
  AddSampleRows(db);
  struct {
    int Days;
    int Rows;
  } cases[] = {{0, 1}, {2, 2}, {3, 3}, {4, 4}, {60, 5}};
  for (const auto& c : cases) {
    db.Exec("update T_SoftInfo set txday=" + IntToStr(c.Days));
    String txday = db.Scalar("select txday from t_softinfo");
    String sql = "select * from (select *, jhdate-cdate('" + kToday + "') as xcday from s_pactzj) where xcday<=" +
                 txday + " and f_check='未完成' order by jhdate desc";
    SCOPED_TRACE(sql);
    EXPECT_EQ(db.Count(sql), c.Rows);
  }
}

// Deleting a contract with its details, as the list command does, in one transaction.
TEST(ProgramStatements, ContractDeleteRemovesEveryDetail) {
  TDefaultDatabase db;
  AddSampleRows(db);
  db.Connection().BeginTrans();
  for (const char* t : {"t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"})
    db.Exec(String("delete from ") + t + " where pactcode='HT1'");
  db.Exec("delete from t_pact where PactCode='HT1'");
  db.Connection().CommitTrans();
  for (const char* t : {"t_pact", "t_pact_fp", "t_pact_doc", "t_pact_zj", "t_pact_jh"})
    EXPECT_EQ(db.Count(String("select * from ") + t + " where pactcode='HT1'"), 0) << t;
  EXPECT_EQ(db.Count("select * from s_pactzj"), 2);
  EXPECT_EQ(db.Count("select * from t_pact"), 2);
}

// Category window: insert, rename and delete a node with its descendants; the next code.
TEST(ProgramStatements, CategoryStatementsKeepCodesAsText) {
  TDefaultDatabase db;
  AddSampleRows(db);
  EXPECT_EQ(db.Scalar("select Max(Code) from dict_cate where TableName='pacttype' and code like '02%' and len(code)=4"),
            "0202");
  db.Exec("insert into dict_cate(name,code,tableName) values('电缆采购','0203','pacttype')");
  db.Exec("insert into dict_cate(name,code,tableName) values('铜缆','020301','pacttype')");
  EXPECT_EQ(db.Exec("update dict_cate set name='线缆采购' where TableName='pacttype' and code='0203'"), 1);
  EXPECT_EQ(db.Column("select * from dict_cate where tablename='pacttype' order by code", "code"),
            (std::vector<String>{"01", "02", "0201", "0202", "0203", "020301"}));
  EXPECT_EQ(db.Exec("Delete from dict_cate where TableName='pacttype' and code like '02%'"), 5);
  EXPECT_EQ(db.Column("select * from dict_cate where tablename='pacttype' order by code", "code"),
            (std::vector<String>{"01"}));
  // the department with the same code is another kind and stays
  EXPECT_EQ(db.Count("select * from dict_cate where tablename='depart'"), 1);
}

// The column chooser shows and hides rows by title within one list only.
TEST(ProgramStatements, ColumnChooserTouchesOneListOnly) {
  TDefaultDatabase db;
  int pactShown = db.Count("select * from T_FieldShow where show=true and TableName='pact'");
  int addShown = db.Count("select * from T_FieldShow where show=true and TableName='pact_zj_add'");
  EXPECT_EQ(db.Exec("update T_FieldShow set show=true where name='合同说明' and TableName='Pact'"), 1);
  EXPECT_EQ(db.Exec("update T_FieldShow set show=false where name='金额' and TableName='pact_zj'"), 1);
  EXPECT_EQ(db.Count("select * from T_FieldShow where show=true and TableName='pact'"), pactShown + 1);
  EXPECT_EQ(db.Count("select * from T_FieldShow where show=true and TableName='pact_zj_add'"), addShown);
}

}  // namespace
