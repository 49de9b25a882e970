// Values in SQL text: quotes inside values, dates whatever the short-date format, numbers
// whatever the decimal separator; and the database taking them as the values they are.
#include "DefaultDatabase.h"
#include "app/SqlText.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

// Restores the process's format settings after a test changed them.
struct FormatGuard {
  ~FormatGuard() { ResetFormatSettings(); }
};

void UseShortDate(const char* format, char separator, char decimal = '.') {
  FormatSettings().ShortDateFormat = format;
  FormatSettings().DateSeparator = separator;
  FormatSettings().DecimalSeparator = decimal;
}

TEST(SqlText, TextLiteralsDoubleEveryQuote) {
  struct Case {
    const char* Value;
    const char* Sql;
  };
  const Case cases[] = {
      {"abc", "'abc'"},     {"O'Brien", "'O''Brien'"}, {"''", "''''''"},
      {"", "''"},           {"中文'引号'", "'中文''引号'''"}, {"a'; drop table t_pact; --", "'a''; drop table t_pact; --'"},
  };
  for (const Case& c : cases) EXPECT_EQ(SqlStr(c.Value), c.Sql) << c.Value;
  EXPECT_EQ(SqlContains("a'b"), "'%a''b%'");
  EXPECT_EQ(SqlContains(""), "'%%'");
}

TEST(SqlText, NamesAreBracketedAndANameThatCouldEndTheBracketIsRefused) {
  EXPECT_EQ(SqlName("dict_combo"), "[dict_combo]");
  EXPECT_EQ(SqlName("合同 表"), "[合同 表]");
  for (const char* bad : {"", "t]; drop table t_pact; --", "]"}) EXPECT_THROW(SqlName(bad), EConvertError) << bad;
}

TEST(SqlText, DatesAreWrittenTheSameWhateverTheShortDateFormat) {
  FormatGuard guard;
  const TDateTime afternoon = EncodeDate(2024, 3, 5) + 0.75;
  struct Format {
    const char* Pattern;
    char Separator;
  };
  for (const Format& f : {Format{"yyyy-mm-dd", '-'}, Format{"dd/mm/yyyy", '/'}, Format{"m/d/yyyy", '/'},
                          Format{"yyyy.m.d", '.'}, Format{"d-mmm-yy", '-'}}) {
    UseShortDate(f.Pattern, f.Separator);
    EXPECT_EQ(SqlDate(afternoon), "#2024-03-05#") << f.Pattern;
  }
  EXPECT_EQ(SqlDate(EncodeDate(1999, 12, 31)), "#1999-12-31#");
}

TEST(SqlText, NumbersUseAPointWhateverTheDecimalSeparator) {
  FormatGuard guard;
  UseShortDate("dd.mm.yyyy", '.', ',');
  EXPECT_EQ(SqlFloat(2.5), "2.5");
  EXPECT_EQ(SqlFloat(-0.125), "-0.125");
  EXPECT_EQ(SqlInt(-12), "-12");
  struct Case {
    Int64 Raw;
    const char* Sql;
  };
  const Case money[] = {{67500, "6.75"},   {-10001, "-1.0001"}, {0, "0"},
                        {50000, "5"},      {INT64_MAX, "922337203685477.5807"},
                        {INT64_MIN, "-922337203685477.5808"}};
  for (const Case& c : money) EXPECT_EQ(SqlCurrency(Currency::FromRaw(c.Raw)), c.Sql) << c.Raw;
  EXPECT_THROW(SqlFloat(std::nan("")), EConvertError);
}

TEST(SqlText, AQuotedNameIsStoredAndFoundNeverBreakingTheStatement) {
  TDefaultDatabase db;
  const String name = "O'Brien's 工程'; delete from t_custom; --";
  db.Exec("insert into t_custom (CustCode, CustName) values (" + SqlStr("Q'1") + ", " + SqlStr(name) + ")");
  EXPECT_EQ(db.Count("select * from t_custom where CustName = " + SqlStr(name)), 1);
  EXPECT_EQ(db.Count("select * from t_custom where CustName like " + SqlContains("Brien's 工")), 1);
  EXPECT_EQ(db.Scalar("select CustCode from t_custom where CustName = " + SqlStr(name)), "Q'1");
  EXPECT_EQ(db.Exec("update t_custom set Phone = " + SqlStr("1'2") + " where CustCode = " + SqlStr("Q'1")), 1);
  EXPECT_EQ(db.Scalar("select Phone from t_custom where CustCode = " + SqlStr("Q'1")), "1'2");
}

TEST(SqlText, DatesWrittenUnderOneFormatAreReadUnderAnother) {
  FormatGuard guard;
  TDefaultDatabase db;
  UseShortDate("dd/mm/yyyy", '/');
  db.Exec("insert into t_pact (PactCode, PactName, PactDate) values ('P1', 'one', " + SqlDate(EncodeDate(2024, 3, 5)) +
          ")");
  db.Exec("insert into t_pact (PactCode, PactName, PactDate) values ('P2', 'two', " + SqlDate(EncodeDate(2024, 5, 3)) +
          ")");
  UseShortDate("m/d/yyyy", '/');
  TADOQuery& q = db.Open("select PactCode, PactDate from t_pact where PactDate >= " + SqlDate(EncodeDate(2024, 4, 1)));
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.FieldByName("PactCode")->AsString(), "P2");
  EXPECT_EQ(q.FieldByName("PactDate")->AsDateTime(), EncodeDate(2024, 5, 3));
  EXPECT_EQ(db.Count("select * from t_pact where PactDate = " + SqlDate(EncodeDate(2024, 3, 5) + 0.5)), 1);
}

}  // namespace
