// Footer sums of a grid over a real database file: the query the application opens, edits
// that reach the file, a delete the database refuses, and a filter change.
#include "FileQuery.h"
#include "data/ADODB.h"
#include "TestGrid.h"

#include <sqlite3.h>

using namespace gridtest;

namespace {

const char* const kScript = R"(
CREATE TABLE t_pay (payid COUNTER, code TEXT(10), amount DOUBLE, qty INTEGER, money CURRENCY);
INSERT INTO t_pay (code, amount, qty, money) VALUES ('A', 1, 10, 100.25);
INSERT INTO t_pay (code, amount, qty, money) VALUES ('B', null, 20, 0.0001);
INSERT INTO t_pay (code, amount, qty, money) VALUES ('C', 2, null, 99.7499);
)";

class SqliteSumTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TempFolder Dir;
  TADOConnection* Conn = nullptr;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
  TTestGrid* Grid = nullptr;
  TColumnEh *Amount = nullptr, *Money = nullptr;

  void SetUp() override {
    String file = Dir / "pay.db";
    CreateDatabaseFromScript(file, kScript);
    // A rule the program's own dialect cannot state: record B may not be deleted.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER keep_b BEFORE DELETE ON t_pay WHEN old.code = 'B' "
                           "BEGIN SELECT RAISE(ABORT, 'B is referenced'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    Query = FileQuery(&Owner, file, "select * from t_pay");
    Conn = Query->Connection();
    Conn->Open();
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Query);
    Grid = new TTestGrid(&Owner);
    Grid->SetDataSource(Source);
    Grid->SetFooterRowCount(3);
    // One column per field: footer row 0 the sum, 1 the average, 2 the record count.
    for (const char* name : {"amount", "money"}) {
      TColumnEh* c = Grid->Columns()->AddColumn();
      c->SetFieldName(name);
      c->Footer()->SetValueType(fvtSum);
      c->Footers()->Add()->SetValueType(fvtSum);
      c->Footers()->Add()->SetValueType(fvtAvg);
      TColumnFooterEh* count = c->Footers()->Add();
      count->SetValueType(fvtCount);
    }
    Amount = Grid->Columns()->Items(0);
    Money = Grid->Columns()->Items(1);
    Grid->SumList()->SetActive(true);
    Query->Open();
  }
  String Text(TColumnEh* Column, int Row) { return Grid->GetFooterText(Row, Column); }
  TDBSum* Avg(const char* Field) { return Grid->SumList()->SumCollection()->FindSum(goAvg, Field); }
  bool Locate(const char* Code) { return Query->Locate("code", Variant(Code), TLocateOptions()); }
  void SetAmount(const char* Code, const Variant& Value) {
    ASSERT_TRUE(Locate(Code));
    Query->Edit();
    Query->FieldByName("amount")->SetValue(Value);
    Query->Post();
  }
  // The same figures read back from the file by a fresh query.
  String Stored(const String& Sql) {
    TADOQuery q(nullptr);
    q.SetConnection(Conn);
    q.SQL()->SetText(Sql);
    q.Open();
    return q.Fields()->Fields(0)->AsString();
  }
};

TEST_F(SqliteSumTest, OpeningTheQueryWalksItOnce) {
  EXPECT_EQ(Text(Amount, 0), "3");
  EXPECT_EQ(Text(Amount, 1), "1.5");  // 1, null, 2: two values count
  EXPECT_EQ(Avg("amount")->NonNullCount(), 2);
  EXPECT_EQ(Text(Amount, 2), "3");
  EXPECT_EQ(Text(Money, 0), "200");
  EXPECT_EQ(Grid->SumList()->SumCollection()->FindSum(goSum, "money")->ResultValue(), C("200"));
  EXPECT_EQ(Text(Money, 1), "66.6667");
}

TEST_F(SqliteSumTest, EditingNullToAValueAndBackMovesTheAverageCount) {
  SetAmount("B", Variant(5.0));
  EXPECT_EQ(Avg("amount")->NonNullCount(), 3);
  EXPECT_EQ(Text(Amount, 0), "8");
  EXPECT_EQ(Text(Amount, 1), "2.6667");
  EXPECT_EQ(Stored("select sum(amount) from t_pay"), "8");
  SetAmount("B", Null());
  EXPECT_EQ(Avg("amount")->NonNullCount(), 2);
  EXPECT_EQ(Text(Amount, 0), "3");
  EXPECT_EQ(Text(Amount, 1), "1.5");
}

TEST_F(SqliteSumTest, AnInsertCountsOnlyOncePosted) {
  Query->Insert();
  Query->FieldByName("code")->SetAsString("D");
  Query->FieldByName("amount")->SetAsFloat(4);
  Query->Cancel();
  EXPECT_EQ(Text(Amount, 0), "3");
  EXPECT_EQ(Text(Amount, 2), "3");
  Query->Append();
  Query->FieldByName("code")->SetAsString("D");
  Query->FieldByName("amount")->SetAsFloat(4);
  Query->FieldByName("money")->SetAsCurrency(C("0.0003"));
  Query->Post();
  EXPECT_EQ(Text(Amount, 0), "7");
  EXPECT_EQ(Text(Amount, 2), "4");
  EXPECT_EQ(Text(Money, 0), "200.0003");
  EXPECT_EQ(Stored("select count(*) from t_pay"), "4");
  // A fresh walk over the reopened query finds the same figures.
  Query->Close();
  Query->Open();
  EXPECT_EQ(Text(Amount, 0), "7");
  EXPECT_EQ(Text(Money, 0), "200.0003");
}

TEST_F(SqliteSumTest, ADeleteTheDatabaseRefusesLeavesTheSums) {
  ASSERT_TRUE(Locate("B"));
  EXPECT_ANY_THROW(Query->Delete());
  EXPECT_EQ(Text(Money, 0), "200");
  EXPECT_EQ(Text(Amount, 2), "3");
  EXPECT_EQ(Stored("select count(*) from t_pay"), "3");
  ASSERT_TRUE(Locate("C"));
  Query->Delete();
  EXPECT_EQ(Text(Money, 0), "100.2501");
  EXPECT_EQ(Text(Amount, 0), "1");
  EXPECT_EQ(Text(Amount, 2), "2");
  EXPECT_EQ(Stored("select count(*) from t_pay"), "2");
}

TEST_F(SqliteSumTest, AFilterChangeRecalculatesAtTheNextScroll) {
  int walks = 0;
  Grid->OnSumListRecalcAll = TNotifyEvent::Lambda([&](TObject*) { ++walks; });
  Query->SetOnFilterRecord(TFilterRecordEvent::Lambda(
      [](TDataSet* d, bool& accept) { accept = !d->FieldByName("amount")->IsNull(); }));
  Query->SetFilter("amount is not null");
  Query->Next();
  EXPECT_EQ(walks, 0);  // the filter is not on yet
  Query->SetFiltered(true);
  EXPECT_EQ(walks, 1);
  EXPECT_EQ(Text(Amount, 2), "2");
  EXPECT_EQ(Text(Money, 0), "199.9999");
  Query->First();
  Query->Next();
  EXPECT_EQ(walks, 1);
  Query->SetFiltered(false);
  EXPECT_EQ(walks, 2);
  EXPECT_EQ(Text(Money, 0), "200");
}

}  // namespace
