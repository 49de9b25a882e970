#pragma once
// The contracts fixture: a small, complete set of contracts written by SQL into the program
// folder's database (a copy of the default one) and files into its PactDoc/ folder, so the
// windows that show contracts, their plans and their customers have something real to show.
// Dates are relative to the day it is installed for, so the contract list shows the
// contracts of "today" and leaves out the one of a year ago.
//
//   type tree (dict_cate 'pacttype'): 01 工程合同, 0101 施工合同, 0102 设计合同, 02 采购合同
//   customers: 华建集团 (KH01), 绿源科技 (KH02), O'Hara 建设 (KH'03)
//   projects:  滨江大桥 (XM01), O'Hara 广场 (XM'02)
//
//   code   type (code)       amount     customer     project      manager  state   date
//   HT01   施工合同 (0101)  500000     华建集团     滨江大桥     张工     执行中  today
//   HT02   设计合同 (0102)  120000.5   绿源科技     滨江大桥     李工     未执行  today
//   HT'03  工程合同 (01)    80000      O'Hara 建设  O'Hara 广场  王工     执行中  today
//   HT04   采购合同 (02)    300000     华建集团     (none)       张工     已终止  today
//   HT05   采购合同 (02)    45000      绿源科技     滨江大桥     李工     已结束  today
//   HT06   施工合同 (0101)  260000     O'Hara 建设  O'Hara 广场  (none)   执行中  today
//   HT07   设计合同 (0102)  95000      绿源科技     O'Hara 广场  王工     未执行  today
//   HT00   施工合同 (0101)  150000     华建集团     滨江大桥     张工     已结束  a year ago
//
//   HT01: 2 documents, 3 fund-plan rows (receipts 1000 settled 20 days ago and 0.10 open,
//         so 1000.10 planned against 1000 settled; a payment of 250 settled), 1 delivery
//         row, no invoice.
//   HT02: 1 open receipt of 60000, 2 invoices.   HT'03: 1 document, 1 open payment, 1
//   delivery row, 1 invoice.   HT04: nothing at all.   HT05: 1 settled receipt, 1 delivery
//   row done.   HT06: 1 open receipt, 1 open payment.   HT07 and HT00: nothing.
#include "app/SqlText.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"

#include <vector>

namespace pactfixture {

struct TContract {
  const char* Code;
  const char* Name;
  const char* Type;
  const char* TypeCode;
  const char* Money;  // as SQL writes it
  const char* Cust;
  const char* Prj;  // nullptr: no project
  const char* Man;  // nullptr: no manager
  const char* State;
  int DaysAgo;
};

inline const std::vector<TContract>& Contracts() {
  static const std::vector<TContract> c = {
      {"HT01", "办公楼施工合同", "施工合同", "0101", "500000", "华建集团", "滨江大桥", "张工", "执行中", 0},
      {"HT02", "桥梁设计合同", "设计合同", "0102", "120000.5", "绿源科技", "滨江大桥", "李工", "未执行", 0},
      {"HT'03", "外墙工程合同", "工程合同", "01", "80000", "O'Hara 建设", "O'Hara 广场", "王工", "执行中", 0},
      {"HT04", "钢材采购合同", "采购合同", "02", "300000", "华建集团", nullptr, "张工", "已终止", 0},
      {"HT05", "水泥采购合同", "采购合同", "02", "45000", "绿源科技", "滨江大桥", "李工", "已结束", 0},
      {"HT06", "装修施工合同", "施工合同", "0101", "260000", "O'Hara 建设", "O'Hara 广场", nullptr, "执行中", 0},
      {"HT07", "景观设计合同", "设计合同", "0102", "95000", "绿源科技", "O'Hara 广场", "王工", "未执行", 0},
      {"HT00", "旧仓库改造合同", "施工合同", "0101", "150000", "华建集团", "滨江大桥", "张工", "已结束", 365},
  };
  return c;
}

// The contracts dated today, which the list shows when it opens, and the sum of their amounts.
constexpr int kTodayCount = 7;
inline const char* const kTodaySum = "1400000.5";

// Documents of a contract: file names in PactDoc/.
struct TDocument {
  const char* Code;
  const char* Name;
  const char* Type;
};
inline const std::vector<TDocument>& Documents() {
  static const std::vector<TDocument> d = {
      {"HT01", "施工图.txt", "合同正本"}, {"HT01", "补充协议.txt", "补充协议"}, {"HT'03", "O'Hara 合同.txt", "合同正本"}};
  return d;
}

// The full path a document row holds, as the program writes it: the program folder followed
// by "PactDoc\" and the file's name.
inline String DocumentPath(const String& ProgramFolder, const String& Name) {
  return ProgramFolder + "PactDoc\\" + Name;
}

inline String Opt(const char* Value) { return Value ? SqlStr(Value) : String("null"); }

// Writes every row of the fixture and the document files, the dates counted from Today.
inline void Install(TADOConnection* C, const String& ProgramFolder, TDateTime Today) {
  auto exec = [C](const String& sql) { C->Execute(sql); };
  auto day = [Today](int Offset) { return SqlDate(Today + Offset); };

  for (auto [code, name] : {std::pair{"01", "工程合同"}, {"0101", "施工合同"}, {"0102", "设计合同"}, {"02", "采购合同"}})
    exec("insert into dict_cate (code, name, TableName) values (" + SqlStr(code) + ", " + SqlStr(name) + ", 'pacttype')");

  struct TCust {
    const char *Code, *Name, *Type, *Maker, *Contact, *Phone, *Mobile, *Email;
  };
  const TCust custs[] = {
      {"KH01", "华建集团", "客户", "Admin", "赵明", "010-62001001", "13800000001", "zhao@huajian.example"},
      {"KH02", "绿源科技", "供应商", "Admin", "钱力", "021-55001002", "13900000002", "qian@lvyuan.example"},
      {"KH'03", "O'Hara 建设", "客户", "Admin", "Sean O'Hara", "0755-8800103", "13700000003", "sean@ohara.example"},
  };
  for (const TCust& c : custs)
    exec("insert into t_custom (CustCode, CustName, CustType, Maker, ZContact, ZPhone, ZMobile, ZEmail) values (" +
         SqlStr(c.Code) + ", " + SqlStr(c.Name) + ", " + SqlStr(c.Type) + ", " + SqlStr(c.Maker) + ", " +
         SqlStr(c.Contact) + ", " + SqlStr(c.Phone) + ", " + SqlStr(c.Mobile) + ", " + SqlStr(c.Email) + ")");

  exec("insert into dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, BeginDate, EndDate, f_check) values "
       "('XM01', '滨江大桥', '桥梁', '华建集团', '张工', " + day(-60) + ", " + day(-30) + ", " + day(300) + ", '执行中')");
  exec("insert into dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, BeginDate, EndDate, f_check) values "
       "('XM''02', 'O''Hara 广场', '商业', 'O''Hara 建设', '王工', " + day(-40) + ", " + day(-10) + ", " + day(500) +
       ", '执行中')");

  for (const TContract& p : Contracts())
    exec("insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, CustName, PrjName, PrjMan, PactDate, "
         "BeginDate, EndDate, PactNote, PactCNote, f_check) values (" + SqlStr(p.Code) + ", " + SqlStr(p.Name) + ", " +
         SqlStr(p.Type) + ", " + SqlStr(p.TypeCode) + ", " + p.Money + ", " + SqlStr(p.Cust) + ", " + Opt(p.Prj) + ", " +
         Opt(p.Man) + ", " + day(-p.DaysAgo) + ", " + day(-p.DaysAgo) + ", " + day(365 - p.DaysAgo) + ", " +
         SqlStr(String(p.Name) + "的说明") + ", " + SqlStr(String(p.Name) + "的变更") + ", " + SqlStr(p.State) + ")");

  struct TFund {
    const char *Code, *Kind, *Money, *State;
    int PlannedIn;   // days from today
    int SettledAgo;  // days before today; -1 for none
  };
  const TFund funds[] = {
      {"HT01", "收款", "1000", "已完成", -25, 20}, {"HT01", "收款", "0.10", "未完成", 10, -1},
      {"HT01", "付款", "250", "已完成", -6, 5},    {"HT02", "收款", "60000", "未完成", 30, -1},
      {"HT'03", "付款", "20000", "未完成", 15, -1}, {"HT05", "收款", "45000", "已完成", -3, 2},
      {"HT06", "收款", "100000", "未完成", 20, -1}, {"HT06", "付款", "30000", "未完成", 40, -1},
  };
  for (const TFund& f : funds)
    exec("insert into t_pact_zj (PactCode, zjtype, money, jhdate, sjdate, Method, f_check) values (" + SqlStr(f.Code) +
         ", " + SqlStr(f.Kind) + ", " + f.Money + ", " + day(f.PlannedIn) + ", " +
         (f.SettledAgo < 0 ? String("null") : day(-f.SettledAgo)) + ", '银行转账', " + SqlStr(f.State) + ")");

  struct TDelivery {
    const char *Code, *Goods, *State;
  };
  const TDelivery deliveries[] = {{"HT01", "钢筋", "未完成"}, {"HT'03", "外墙涂料", "未完成"}, {"HT05", "水泥", "已完成"}};
  for (const TDelivery& d : deliveries)
    exec("insert into t_pact_jh (PactCode, GoodsName, Units, Number, Price, Money, jhdate, f_check) values (" +
         SqlStr(d.Code) + ", " + SqlStr(d.Goods) + ", '吨', 10, 100, 1000, " + day(7) + ", " + SqlStr(d.State) + ")");

  ForceDirectories(ProgramFolder + "PactDoc");
  for (const TDocument& d : Documents()) {
    String path = DocumentPath(ProgramFolder, d.Name);
    WriteFileAtomic(path, String("文件 ") + d.Name);
    exec("insert into t_pact_doc (PactCode, DocName, DocType, DocPath, DocDate) values (" + SqlStr(d.Code) + ", " +
         SqlStr(d.Name) + ", " + SqlStr(d.Type) + ", " + SqlStr(path) + ", " + day(-1) + ")");
  }

  struct TInvoice {
    const char *Code, *Number, *Money;
  };
  const TInvoice invoices[] = {{"HT02", "FP0001", "30000"}, {"HT02", "FP0002", "20000"}, {"HT'03", "FP'0003", "8000"}};
  for (const TInvoice& i : invoices)
    exec("insert into t_pact_fp (PactCode, fpcode, fptype, zjtype, fpmoney, fpdate, fpstate) values (" +
         SqlStr(i.Code) + ", " + SqlStr(i.Number) + ", '增值税专用发票', '收款', " + i.Money + ", " + day(-2) +
         ", '已开票')");
}

}  // namespace pactfixture
