#pragma once
// A small database shaped like the program's: contracts, fund plans, the stored query joining
// them, grid-column rows, users and category codes; made with the program's own dialect.
#include "data/ADODB.h"
#include "TempFolder.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>

inline const char* SampleScript() {
  return R"(
CREATE TABLE t_pact (PactCode TEXT(50) NOT NULL, PactName TEXT(100), PactType TEXT(50), typecode TEXT(30),
  PactMoney DOUBLE, CustName TEXT(50), PrjName TEXT(50), PrjMan TEXT(50), PactDate DATETIME, PactNote MEMO,
  f_check TEXT(20) DEFAULT '未执行');
CREATE TABLE t_pact_zj (pactmoneyid COUNTER, PactCode TEXT(50), zjtype TEXT(10), money CURRENCY,
  jhdate DATETIME, sjdate DATETIME, f_check TEXT(10) DEFAULT '未完成', Method TEXT(50));
CREATE VIEW s_pactzj AS SELECT z.*, p.pactname, p.PrjName, p.PrjMan, p.CustName, p.typecode
  FROM t_pact_zj z LEFT JOIN t_pact p ON z.PactCode = p.PactCode;
CREATE TABLE T_FieldShow (TableName TEXT(50), Field TEXT(50), Name TEXT(50), Width INTEGER, ShowID INTEGER,
  show YESNO, SumField INTEGER, fieldtype TEXT(10));
CREATE TABLE tUser (userid COUNTER, UserName TEXT(50), password TEXT(50), qxlist MEMO);
CREATE TABLE dict_cate (code TEXT(30), name TEXT(50), TableName TEXT(20));

INSERT INTO t_pact VALUES ('HT001', '办公楼', '工程', '01', 1000, 'Admin公司', '项目A', '张三', #2024-01-05#, 'n1', '执行中');
INSERT INTO t_pact VALUES ('HT002', 'Road', '设备', '0101', 250.5, 'beta', '项目B', '李四', #2024-03-15#, null, '未执行');
INSERT INTO t_pact VALUES ('HT003', 'Bridge', '设备', '0102', 99, 'Beta', '项目A', '张三', #2024-03-31#, null, '已结束');
INSERT INTO t_pact VALUES ('HT004', 'Tunnel', '工程', '02', 10, 'gamma', '项目C', '王五', #2024-04-01#, null, '执行中');
INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, f_check, Method) VALUES ('HT001', '收款', 100, #2024-01-10#, '未完成', '现金');
INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, sjdate, f_check, Method) VALUES ('HT001', '收款', 200.25, #2024-02-01#, #2024-02-02#, '已完成', '转账');
INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, f_check, Method) VALUES ('HT001', '付款', 50, #2024-01-20#, '未完成', '现金');
INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, f_check, Method) VALUES ('ht002', '收款', 300, #2024-03-20#, '未完成', '转账');
INSERT INTO t_pact_zj (PactCode, zjtype, money, jhdate, f_check, Method) VALUES ('HT002', '收款', 40, #2023-12-30#, '未完成', '现金');
INSERT INTO T_FieldShow VALUES ('Pact', 'PactCode', '合同编号', 80, 1, true, 0, '');
INSERT INTO T_FieldShow VALUES ('pact', 'PactDate', '签订日期', 80, 2, false, 0, 'date');
INSERT INTO T_FieldShow VALUES ('PACT', 'PactMoney', '金额', 80, 3, true, 1, '');
INSERT INTO tUser (UserName, password, qxlist) VALUES ('Admin', '', 'a,b,');
INSERT INTO tUser (UserName, password, qxlist) VALUES ('guest', 'x', '');
INSERT INTO dict_cate VALUES ('01', '工程', 'pacttype');
INSERT INTO dict_cate VALUES ('0101', '设备', 'pacttype');
INSERT INTO dict_cate VALUES ('0102', '材料', 'pacttype');
INSERT INTO dict_cate VALUES ('010203', '钢材', 'pacttype');
INSERT INTO dict_cate VALUES ('02', '其他', 'pacttype');
INSERT INTO dict_cate VALUES ('0201', '部门', 'depart');
)";
}

// The connection string the program builds, pointing at a file.
inline String ConnectionStringFor(const String& file) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=" + file +
         ";Persist Security Info=False;Jet OLEDB:Database Password=8306472QKW";
}

// Every row of an open dataset as "v1|v2|…" (the fields' AsString), in order; `fields` names
// the fields to show ("A,B"), all when empty.
inline std::vector<String> RowsOf(TDataSet& ds, const String& fields = String()) {
  std::vector<TField*> shown;
  if (fields.empty()) {
    for (int i = 0; i < ds.FieldCount(); ++i) shown.push_back(ds.Fields()->Fields(i));
  } else {
    TStringList names;
    names.SetCommaText(fields);
    for (int i = 0; i < names.Count(); ++i) shown.push_back(ds.FieldByName(names[i]));
  }
  std::vector<String> rows;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    String row;
    for (std::size_t i = 0; i < shown.size(); ++i) row += (i ? "|" : "") + shown[i]->AsString();
    rows.push_back(row);
  }
  return rows;
}

// A fresh sample database and a connection to it, as the program opens it.
class AdoFixture : public ::testing::Test {
protected:
  void SetUp() override {
    File = Folder / "kelm.db";
    CreateDatabaseFromScript(File, SampleScript());
    Conn = std::make_unique<TADOConnection>(nullptr);
    Conn->SetConnectionString(ConnectionStringFor(File));
    Conn->SetCommandTimeout(1);
    Conn->Open();
  }
  void TearDown() override {
    Conn.reset();
    ResetFormatSettings();
  }

  std::unique_ptr<TADOQuery> Query(const String& sql) {
    auto q = std::make_unique<TADOQuery>(nullptr);
    q->SetConnection(Conn.get());
    q->SQL()->SetText(sql);
    return q;
  }
  std::vector<String> Select(const String& sql, const String& fields = String()) {
    auto q = Query(sql);
    q->Open();
    return RowsOf(*q, fields);
  }
  String Scalar(const String& sql) {
    auto q = Query(sql);
    q->Open();
    return q->IsEmpty() ? String("<none>") : q->Fields()->Fields(0)->AsString();
  }

  TempFolder Folder;
  String File;
  std::unique_ptr<TADOConnection> Conn;
};
