#pragma once
// The customer and employee lists' tests: the program logged in as Admin with its main window
// shown, rows put in by SQL, and statements the program's dialect cannot state (triggers)
// run on the database file directly.
#include "AppWindows.h"

#include "data/ADODB.h"

#include <sqlite3.h>

#include <deque>
#include <functional>

class PeopleTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    LoginAsAdminAndShow();
    // Boxes are recorded as the program folder records them, and answered from Answers
    // (IDOK once it is empty).
    SetMessageBoxHook([this](const String& text, const String& caption, int flags) {
      Folder.Messages.push_back({text, caption, flags});
      if (Answers.empty()) return IDOK;
      int answer = Answers.front();
      Answers.pop_front();
      return answer;
    });
  }

  std::deque<int> Answers;

  void Customer(const String& code, const String& name, const String& type = "客户") {
    Exec("insert into t_custom (CustCode, CustName, CustType, Phone, CustMan, ZZMoney, ZContact, ZPlace, Maker) "
         "values (" + SqlStr(code) + ", " + SqlStr(name) + ", " + SqlStr(type) + ", '010-1', '法人', 100, '联系人', "
         "'经理', 'someone')");
  }
  void Contact(const String& code, const String& name) {
    Exec("insert into t_cust_contact (CustCode, ContactName) values (" + SqlStr(code) + ", " + SqlStr(name) + ")");
  }
  void Employee(const String& name, const String& depart = "工程部", const String& typecode = "01") {
    Exec("insert into dict_emp (EmpName, EmpSex, age, Depart, Place, typecode, InDate) values (" + SqlStr(name) +
         ", '男', '30', " + SqlStr(depart) + ", '工程师', " + SqlStr(typecode) + ", #2024-03-05#)");
  }
  void Pact(const String& code, const String& type, double money, const String& cust = "", const String& man = "") {
    Exec("insert into t_pact (PactCode, PactName, PactType, PactMoney, CustName, PrjMan, PactDate) values (" +
         SqlStr(code) + ", " + SqlStr("合同" + code) + ", " + SqlStr(type) + ", " + SqlFloat(money) + ", " +
         SqlStr(cust) + ", " + SqlStr(man) + ", #2024-05-06#)");
  }
  int Count(const String& sql) { return StrToInt(Scalar(sql)); }

  // Runs SQL on the database file with SQLite itself, beside the program's connection.
  void RawSql(const String& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    String text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
  }
  // A trigger that refuses every row of a statement on a table.
  void Refuse(const String& event, const String& table) {
    RawSql("CREATE TRIGGER refuse_" + table + " BEFORE " + event + " ON " + table +
           " BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
  }

  // The texts of the message boxes shown since the last call.
  std::vector<String> TakeMessages() {
    std::vector<String> texts;
    for (const TShownMessage& m : Folder.Messages) texts.push_back(m.Text);
    Folder.Messages.clear();
    return texts;
  }

  // A delete of a row in use, answered No at the first question, then Yes and No, then Yes
  // twice: each answer shows the questions in order, and only the last deletes (Rows counts
  // what is left of the row and what goes with it).
  void ExpectTwoQuestions(TAction* Delete, const String& InUseText, const std::function<int()>& Rows, int Before) {
    struct TCase {
      std::vector<int> Answers;
      std::size_t Asked;
      bool Deleted;
    } cases[] = {{{IDNO}, 1, false}, {{IDYES, IDNO}, 2, false}, {{IDYES, IDYES}, 2, true}};
    for (const TCase& c : cases) {
      Answers.assign(c.Answers.begin(), c.Answers.end());
      Delete->Execute();
      std::vector<String> asked = TakeMessages();
      ASSERT_EQ(asked.size(), c.Asked);
      EXPECT_EQ(asked[0], InUseText);
      if (c.Asked == 2) { EXPECT_EQ(asked[1], "点击确定继续操作！"); }
      EXPECT_EQ(Rows(), c.Deleted ? 0 : Before);
    }
  }

  // The values of a column of a dataset, in its current order.
  static std::vector<String> Column(TDataSet* d, const String& field) {
    std::vector<String> values;
    TDataSet::TBookmark mark = d->GetBookmark();
    for (d->First(); !d->Eof(); d->Next()) values.push_back(d->FieldByName(field)->AsString());
    if (!mark.empty()) d->GotoBookmark(mark);
    return values;
  }
};
