#pragma once
// The older records' tests: the program logged in with its main window shown, the clock held
// on one day, and a small set of older records put in by SQL:
// - contract categories, project categories and customer categories 01, 0101 and 02;
// - projects in 01, 0101 and 02, one named with a quote ("O'Neil");
// - internal units, customers (one with a quote) and two contracts, HT1 (amount 1000) and
//   HT2 (amount 500), each with one row in every record table, dated relative to today.
#include "PeopleFixture.h"

#include "app/legacy/LegacyRecords.h"
#include "app/legacy/LegacyRules.h"
#include "core/DateUtils.h"

#include <map>

class LegacyTest : public PeopleTest {
protected:
  // Friday 2026-03-13: the day every dated code and "today" of these tests is on.
  static TDateTime Today() { return EncodeDate(2026, 3, 13); }
  static String TodayText() { return "2026-03-13"; }

  void SetUp() override {
    PeopleTest::SetUp();
    for (const char* table : {"Category_HT", "Category_Project", "Category_Cust"}) {
      Exec(String("delete from ") + table);
      Category(table, "01", "一类");
      Category(table, "0101", "一类甲");
      Category(table, "02", "二类");
    }
    Project("P01", "滨江大道", "01", "滨江工程", "张工");
    Project("P0101", "O'Neil", "0101", "城北工程", "李工");
    Project("P02", "南湖公园", "02", "南湖工程", "王工");
    Unit("一公司", "U01");
    Unit("二公司", "U02");
    Customer("C01", "华建公司");
    Customer("C02", "O'Neil Ltd");
    Contract("HT1", "一号合同", 1000);
    Contract("HT2", "二号合同", 500);
    for (const char* code : {"HT1", "HT2"}) AllRecordsOf(code);
  }

  void Category(const String& table, const String& code, const String& name) {
    Exec("insert into " + table + " (code, name) values (" + SqlStr(code) + ", " + SqlStr(name) + ")");
  }
  void Project(const String& code, const String& name, const String& type, const String& works = "",
               const String& leader = "") {
    Exec("insert into T_Project (ProjectCode, ProjectName, ProjectType, GCName, Leader, GCInvest, BeginDate) values (" +
         SqlStr(code) + ", " + SqlStr(name) + ", " + SqlStr(type) + ", " + SqlStr(works) + ", " + SqlStr(leader) +
         ", 100, " + SqlDate(Today() - 30) + ")");
  }
  void Unit(const String& name, const String& code) {
    Exec("insert into Dict_Employee (Name, Mobile, sex, Email) values (" + SqlStr(name) + ", " + SqlStr(code) +
         ", '赵经理', 'unit@example.com')");
  }
  void Contract(const String& code, const String& name, double money) {
    Exec("insert into T_ht (HTType, HTCode, HTName, HTjf, HTyf, HTmoney, HTpoject, QDdate, SPZT) values ('01', " +
         SqlStr(code) + ", " + SqlStr(name) + ", '一公司', '华建公司', " + SqlFloat(money) + ", '滨江大道', " +
         SqlDate(Today() - 10) + ", '未审批')");
  }
  // One row in each of the nine record tables for the contract Code.
  void AllRecordsOf(const String& code) {
    const String c = SqlStr(code), d = SqlDate(Today() - 5);
    Exec("insert into T_htBG (HTCode, BGname, BGcode, BGmoney, QRzt, BGDate) values (" + c + ", '变更', 'BG-x', 10, '未确认', " + d + ")");
    Exec("insert into T_htBl (HTCode, blname, blcode, blmoney, blDate) values (" + c + ", '报量', 'BL-x', 20, " + d + ")");
    Exec("insert into T_htsp (HTCode, SPname, SPcode, SPmoney, qrzt, SPDate) values (" + c + ", '索赔', 'SP-x', 30, '未确认', " + d + ")");
    Exec("insert into T_htJS (HTCode, JSname, JScode, JSmoney, jsDate) values (" + c + ", '结算', 'JS-x', 40, " + d + ")");
    Exec("insert into T_HTfk (HTCode, jhname, Wczt, jhmoney, ZXDate) values (" + c + ", '付款计划', '未完成 ', 50, " + d + ")");
    Exec("insert into T_HTfk1 (HTCode, fkname, fkcode, fkmoney, fkDate) values (" + c + ", '付款', 'FK-x', 60, " + d + ")");
    Exec("insert into T_HTwd (HTCode, wdname, wdcode, wdtype, bzDate) values (" + c + ", '文档', 'WD-x', '01', " + d + ")");
    Exec("insert into T_htsk (HTCode, jhname, Wczt, money, ZXDate) values (" + c + ", '收款计划', '未完成 ', 70, " + d + ")");
    Exec("insert into T_htsk1 (HTCode, Skname, skcode, skmoney, skDate) values (" + c + ", '收款', 'SK-x', 80, " + d + ")");
  }

  // Rows of contract Code in each of the ten tables (the contract's own first).
  std::vector<int> RowsOf(const String& code) {
    std::vector<int> rows{Count("select count(*) from T_ht where HTCode=" + SqlStr(code))};
    for (const String& t : LegacyRecordTables())
      rows.push_back(Count("select count(*) from " + t + " where HTCode=" + SqlStr(code)));
    return rows;
  }
  int Count(const String& sql) { return StrToInt(Scalar(sql)); }

  // Opens the contract query and the record queries as the contract list does, the contract
  // query on contract Code.
  void OpenLegacyQueries(const String& code) {
    Frm_Data->OpenQuery(Frm_Data->Qry_HT, "select * from T_ht");
    ASSERT_TRUE(Frm_Data->Qry_HT->Locate("HTCode", Variant(code), {}));
    for (const TLegacyRecordKind& k : LegacyRecordKinds())
      Frm_Data->OpenQuery(LegacyQuery(k), String("select * from ") + k.Table);
  }

  // Values of a dialog's table: those named by control in Given, the rest empty texts, empty
  // dates and amounts "0" (a calculator edit's first text).
  struct TGiven {
    std::map<String, String> Texts;
    std::map<String, TDateTime> Dates;
  };
  static TLegacyValues ValuesOf(const TLegacyRecordKind& kind, const TGiven& given) {
    TLegacyValues values;
    for (const TLegacyField& f : kind.Fields) {
      TLegacyValue v;
      v.Field = &f;
      if (f.Kind == TLegacyValueKind::Amount) v.Text = "0";
      if (auto t = given.Texts.find(f.Control); t != given.Texts.end()) v.Text = t->second;
      if (auto d = given.Dates.find(f.Control); d != given.Dates.end()) v.Date = d->second;
      values.push_back(v);
    }
    return values;
  }
  // A contract whose six required fields are filled, with Code and Name.
  static TGiven FilledContract(const String& code, const String& name) {
    return {{{"Edit_project", "滨江大道"},
             {"Edit_htcode", code},
             {"Edit_HTName", name},
             {"Edit_HTJF", "一公司"},
             {"Edit_HTYF", "华建公司"},
             {"Edit_TYPE", "一类"},
             {"TypeCode", "01"},
             {"Combo_SP", "未审批"},
             {"Edit_HTmoney", "1200.5"}},
            {{"QDDate", Today()}}};
  }

  TClockOverride Clock{Today() + 0.5};
};
