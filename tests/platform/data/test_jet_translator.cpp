// The Jet dialect translator on its own and with the functions it registers: what it refuses,
// what it must leave alone, how expressions evaluate, the DDL it writes and which selects it
// reports as updatable.
#include "TempFolder.h"
#include "data/JetSql.h"
#include "data/SqliteDb_p.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace {

class TFakeSchema : public TJetSchema {
public:
  std::map<String, std::vector<TJetColumn>> Tables;
  std::set<String> Views;
  const std::vector<TJetColumn>* Columns(const String& t) override {
    for (auto& [name, cols] : Tables)
      if (SameText(name, t)) return &cols;
    return nullptr;
  }
  bool IsView(const String& n) override { return Views.count(UpperCase(n)) > 0; }
};

// A scratch database file whose statements go through the translator.
class JetDb : public ::testing::Test {
protected:
  void SetUp() override { Db = TSqliteDb::Create(Folder / "jet.db"); }
  void TearDown() override { ResetFormatSettings(); }

  void Exec(const String& jet) { Db->Execute(jet); }

  // The first column of the first row as text; "<null>" for NULL, "<none>" without rows.
  String Scalar(const String& jet) {
    std::shared_ptr<const TJetTranslation> t = Db->Translate(jet);
    TSqliteStatement s = Db->Prepare(t->Sql, jet);
    if (!Db->Step(s.Get(), jet)) return "<none>";
    if (sqlite3_column_type(s.Get(), 0) == SQLITE_NULL) return "<null>";
    return reinterpret_cast<const char*>(sqlite3_column_text(s.Get(), 0));
  }

  std::vector<String> Column(const String& jet) {
    std::shared_ptr<const TJetTranslation> t = Db->Translate(jet);
    TSqliteStatement s = Db->Prepare(t->Sql, jet);
    std::vector<String> out;
    while (Db->Step(s.Get(), jet)) {
      const unsigned char* v = sqlite3_column_text(s.Get(), 0);
      out.push_back(v ? reinterpret_cast<const char*>(v) : "<null>");
    }
    return out;
  }

  TempFolder Folder;
  std::unique_ptr<TSqliteDb> Db;
};

String Repeat(const String& s, int times) {
  String out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

}  // namespace

TEST(JetTranslator, RefusesWhatItCannotTranslateFaithfullyQuotingTheStatement) {
  const String statements[] = {
      "select * from t where a='open",
      "select * from [t where a=1",
      "select * from t where d=#2024-03-01",
      "select * from t where d=#2024-13-45#",
      "select top 10 percent * from t",
      "select top n * from t",
      "select top 3 a from t union select b from u",
      "select a \\ 2 from t",
      "select 2 ^ 3 from t",
      "select * into t2 from t",
      "transform sum(a) select b from t group by b pivot c",
      "select isnull(a, 0) from t",
      "select date(d) from t",
      "select now(1) from t",
      "select 'x' & from t",
      "select (a from t",
      "select a) from t",
      "select 1; select 2",
      "create table t (a FOOTYPE)",
      "create table t (a counter, b counter)",
      "alter table t add column id counter",
      "alter table t alter column a text(10)",
      "select distinctrow a from t",
      "",
      // deeper than SQLite's limit, far deeper than a stack would take
      "select " + String(1001, '(') + "1" + String(1001, ')'),
      "select * from t where " + String(30000, '(') + "a=1" + String(30000, ')'),
      "select * from t where d = " + Repeat("case when 1=1 then ", 30000) + "1" + Repeat(" end", 30000),
      "select " + Repeat("(case when 1=1 then ", 501) + "1" + Repeat(" end)", 501),
      // SQLite would stop reading at the NUL and run the rest of the statement unseen
      String("update t set a='x'\0, b=1", 25),
      String("select 'a\0b'", 12),
  };
  for (const String& sql : statements) {
    SCOPED_TRACE(sql.substr(0, 80));
    try {
      TranslateJetSql(sql, nullptr);
      ADD_FAILURE() << "translated";
    } catch (const EJetSqlError& e) {
      String shown = StringReplace(sql, String(1, '\0'), "\\0", {rfReplaceAll});
      EXPECT_NE(e.Message().find("SQL statement: " + shown), String::npos) << e.Message().substr(0, 200);
    }
  }
  // SQLite's own limit of nesting still translates, and the refusal says why.
  String deepest = "select " + String(1000, '(') + "1" + String(1000, ')');
  EXPECT_EQ(TranslateJetSql(deepest, nullptr).Sql, deepest);
  String deepestCase = "select " + Repeat("case when 1=1 then ", 1000) + "1" + Repeat(" end", 1000);
  EXPECT_EQ(TranslateJetSql(deepestCase, nullptr).Sql, deepestCase);
  try {
    TranslateJetSql("select " + String(1001, '(') + "1" + String(1001, ')'), nullptr);
  } catch (const EJetSqlError& e) {
    EXPECT_EQ(e.Message().find("Parentheses and CASE nested deeper than 1000 levels"), 0u) << e.Message().substr(0, 200);
  }
}

TEST(JetTranslator, ReportsTheSingleTableOfAnUpdatableSelect) {
  TFakeSchema schema;
  schema.Tables["T_Custom"] = {{"CustID", "INTEGER"}, {"CustName", "TEXT(50)"}};
  schema.Tables["t_pact_zj"] = {{"PactCode", "TEXT(50)"}, {"jhdate", "DATETIME"}};
  schema.Tables["s_pactzj"] = {{"PactCode", "TEXT(50)"}, {"jhdate", "DATETIME"}};
  schema.Views.insert("S_PACTZJ");
  struct Case { const char* Sql; const char* Table; };
  const Case cases[] = {
      {"select * from T_Custom", "T_Custom"},
      {"select * from  [T_Custom] where CustName like '%a%' order by CustID", "T_Custom"},
      {"Select * from t_custom c where c.CustID=1", "t_custom"},
      {"select top 3 * from t_pact_zj order by jhdate desc", "t_pact_zj"},
      {"select *, jhdate-cdate('2024-01-05') as xcday from t_pact_zj", "t_pact_zj"},
      {"select * from s_pactzj", ""},
      {"select * from t_pact_zj z, T_Custom c", ""},
      {"select * from t_pact_zj z inner join T_Custom c on z.PactCode=c.CustName", ""},
      {"select count(*) from T_Custom", ""},
      {"select sum(pactmoney) as ttmoney, pacttype from (select * from T_Custom) group by pacttype", ""},
      {"select distinct CustName from T_Custom", ""},
      {"select * from no_such_table", ""},
      {"select * from T_Custom order by CustName, CustID", "T_Custom"},
      {"select * from T_Custom c where c.CustID in (1, 2) order by c.CustName desc, 2", "T_Custom"},
      {"select * from T_Custom where CustID=1 union select * from T_Custom", ""},
      {"update T_Custom set CustName='x'", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sql);
    EXPECT_EQ(TranslateJetSql(c.Sql, &schema).UpdatableTable, c.Table);
  }
}

TEST(JetTranslator, ListsParametersAndSplitsScriptsOutsideLiterals) {
  TJetTranslation t = TranslateJetSql("select * from t where a=:code and b > :Since and c=':not'", nullptr);
  EXPECT_EQ(t.ParamNames, (std::vector<String>{"code", "Since"}));

  std::vector<String> parts = SplitJetScript(
      "create table a (x text(5));\r\n insert into a values ('x;y');  ;\n"
      "insert into a values (\"p;q\");\nselect [a;b] from a");
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[1], "insert into a values ('x;y')");
  EXPECT_EQ(parts[2], "insert into a values (\"p;q\")");
  EXPECT_EQ(parts[3], "select [a;b] from a");
}

TEST(JetTranslator, ScriptCommentsEndAtTheLineAndNeverReachIntoLiterals) {
  struct Case { const char* Script; std::vector<String> Statements; };
  const Case cases[] = {
      {"-- a note\ncreate table a (x TEXT(5));", {"create table a (x TEXT(5))"}},
      {"create table a (x TEXT(5)); -- trailing note; with a ';'", {"create table a (x TEXT(5))"}},
      {"insert into a values ('x -- y');", {"insert into a values ('x -- y')"}},
      {"insert into a values ('it''s -- kept') -- it's gone", {"insert into a values ('it''s -- kept')"}},
      {"select [a--b] from t -- note", {"select [a--b] from t"}},
      {"select \"a--b\" from t", {"select \"a--b\" from t"}},
      {"-- don't break on this quote\nselect 1", {"select 1"}},
      {"select 1 - -1", {"select 1 - -1"}},
      {"a -- one\n-- two\nb; c", {"a  \n \nb", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Script);
    EXPECT_EQ(SplitJetScript(c.Script), c.Statements);
  }
}

TEST(JetTranslator, ReadsDateTextInTheShortFormatAndTheFixedForms) {
  struct Case { const char* Text; bool Ok; double Value; };
  const Case cases[] = {
      {"2024-03-08", true, 45359},        {"2024-03-08 18:00", true, 45359.75}, {"3/8/2024", true, 45359},
      {"2024/3/8", true, 45359},          {"12:00", true, 0.5},                 {"2024-02-30", false, 0},
      {"x", false, 0},                    {"", false, 0},                       {"3/8/24x", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    TDateTime v = -1;
    EXPECT_EQ(JetTryParseDate(c.Text, v), c.Ok);
    if (c.Ok) {
      EXPECT_DOUBLE_EQ(v, c.Value);
    }
  }
  // The user's own short-date format comes first.
  FormatSettings().ShortDateFormat = "dd/mm/yyyy";
  FormatSettings().DateSeparator = '/';
  TDateTime v = 0;
  EXPECT_TRUE(JetTryParseDate("08/03/2024", v));
  EXPECT_DOUBLE_EQ(v, 45359);
  EXPECT_TRUE(JetTryParseDate("2024-03-08", v));
  EXPECT_DOUBLE_EQ(v, 45359);
  ResetFormatSettings();
  EXPECT_EQ(JetRealLiteral(45359), "45359.0");
  EXPECT_EQ(JetRealLiteral(45359.4375), "45359.4375");
}

TEST_F(JetDb, LeavesTheInsideOfLiteralsAlone) {
  const String tricky = "#2024-01-01# & true [x] top 3 isnull(a) len(b) it's -- /* now() \"q\"";
  EXPECT_EQ(Scalar("select " + QuotedStr(tricky)), tricky);
  EXPECT_EQ(Scalar("select \"double \"\"quoted\"\" 'text'\""), "double \"quoted\" 'text'");
  // A minus before a negative number stays arithmetic, never a comment.
  EXPECT_EQ(Scalar("select 5--3"), "8");
}

TEST_F(JetDb, ExpressionsEvaluateAsJetDid) {
  struct Case { const char* Expr; const char* Value; };
  const Case cases[] = {
      {"#2024-03-01#", "45352.0"},
      {"#3/1/2024#", "45352.0"},
      {"#2024-03-01 12:00#", "45352.5"},
      {"#2024-01-10# - cdate('2024-01-05')", "5.0"},
      {"true", "1"},
      {"false", "0"},
      {"'a' & null & 1.5 & 1234.0", "a1.51234"},
      {"null & null", "<null>"},
      {"1 + 2 & 'x'", "3x"},
      {"'x' & 1 + 2", "x3"},
      {"'(' & ('a' & 'b') & ')'", "(ab)"},
      {"iif(isnull(null), 'y', 'n')", "y"},
      {"iif(isnull(0), 'y', 'n')", "n"},
      {"len('合同abc')", "5"},
      {"len(12.5)", "4"},
      {"left('合同abc', 1)", "合"},
      {"right('abc', 2)", "bc"},
      {"mid('abcdef', 2, 3)", "bcd"},
      {"mid('abcdef', 3)", "cdef"},
      {"ucase('abc合')", "ABC合"},
      {"lcase('ABC')", "abc"},
      {"trim('  a  ')", "a"},
      {"'admin' = 'Admin'", "1"},
      {"'admin' <> 'ADMIN'", "0"},
      {"'A' in ('a', 'b')", "1"},
      {"'b' between 'A' and 'C'", "1"},
      {"7 mod 3", "1"},
      {"year(#2024-03-08#)", "2024"},
      {"month(#2024-03-08#)", "3"},
      {"day(#2024-03-08#)", "8"},
      {"cdate('2024-01-05')", "45296.0"},
      {"format(#2024-03-08#, 'yyyy-mm')", "2024-03"},
      {"format(1234.5, '0.00')", "1234.50"},
      {"1234.0 like '1234'", "1"},
      {"12.5 like '%.5'", "1"},
      {"'ABC' like 'a%'", "1"},
      {"'abc' like 'a_c'", "1"},
      {"'abc' like 'a_'", "0"},
      {"'合同甲' like '合%'", "1"},
      {"'Ä' like 'ä'", "0"},
      {"null like '%'", "<null>"},
      {"'x' not like null", "<null>"},
      {"'50%' like '50\\%' escape '\\'", "1"},
      {"'505' like '50\\%' escape '\\'", "0"},
      {"nz(null, 5)", "5"},
      {"cstr(2.5)", "2.5"},
      {"clng(2.5)", "2"},
      {"clng(3.5)", "4"},
      {"int(-2.5)", "-3.0"},
      {"val('12.5 kg')", "12.5"},
      {"instr(3, 'abcabc', 'b')", "5"},
      {"instr('abcabc', 'c')", "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Expr);
    EXPECT_EQ(Scalar(String("select ") + c.Expr), c.Value);
  }
}

TEST_F(JetDb, ClockFunctionsFollowTheSystemClock) {
  TClockOverride clock(EncodeDateTime(2024, 3, 8, 18, 0, 0, 0));
  EXPECT_EQ(Scalar("select now()"), "45359.75");
  EXPECT_EQ(Scalar("select date()"), "45359.0");
  EXPECT_EQ(Scalar("select time()"), "0.75");
}

TEST_F(JetDb, FunctionErrorsReachTheCaller) {
  const char* const bad[] = {"select cdate('no date')", "select cdate(null)", "select mid('abc', 0)",
                             "select left('abc', -1)", "select cdbl('x')"};
  for (const char* sql : bad) {
    SCOPED_TRACE(sql);
    EXPECT_THROW(Scalar(sql), EADOError);
  }
}

TEST_F(JetDb, DdlMapsJetTypesKeepingTextAffinityAndDeclaredTypes) {
  Exec("CREATE TABLE T_Goods (GoodsID COUNTER, GoodsCode TEXT(4) NOT NULL, Remark MEMO, Num LONG, "
       "Small SHORT, B BYTE, Price DOUBLE, Money CURRENCY, AddDate DATETIME DEFAULT Date(), Flag YESNO DEFAULT TRUE, "
       "Pic LONGBINARY, Ratio SINGLE, Big BIGINT, Code TEXT, CONSTRAINT pk PRIMARY KEY (GoodsCode))");
  struct Case { const char* Column; const char* Decl; TJetColumnKind Kind; int Size; };
  const Case cases[] = {
      {"GoodsID", "INTEGER", TJetColumnKind::Integer, 0},   {"GoodsCode", "TEXT(4)", TJetColumnKind::Text, 4},
      {"Remark", "LONGTEXT", TJetColumnKind::Memo, 0},      {"Num", "INTEGER", TJetColumnKind::Integer, 0},
      {"Small", "SMALLINT", TJetColumnKind::SmallInt, 0},   {"B", "TINYINT", TJetColumnKind::Byte, 0},
      {"Price", "DOUBLE", TJetColumnKind::Float, 0},        {"Money", "CURRENCY", TJetColumnKind::Currency, 0},
      {"AddDate", "DATETIME REAL", TJetColumnKind::DateTime, 0}, {"Flag", "BIT", TJetColumnKind::Boolean, 0},
      {"Pic", "BLOB", TJetColumnKind::Blob, 0},             {"Ratio", "REAL", TJetColumnKind::Float, 0},
      {"Big", "BIGINT", TJetColumnKind::LargeInt, 0},       {"Code", "TEXT(255)", TJetColumnKind::Text, 255},
  };
  const std::vector<TJetColumn>* cols = Db->Columns("t_goods");
  ASSERT_NE(cols, nullptr);
  ASSERT_EQ(cols->size(), std::size(cases));
  for (std::size_t i = 0; i < cols->size(); ++i) {
    SCOPED_TRACE(cases[i].Column);
    EXPECT_EQ((*cols)[i].Name, cases[i].Column);
    EXPECT_EQ((*cols)[i].DeclType, cases[i].Decl);
    TJetColumnType t = ClassifyDeclaredType((*cols)[i].DeclType);
    EXPECT_EQ(t.Kind, cases[i].Kind);
    EXPECT_EQ(t.Size, cases[i].Size);
  }

  TClockOverride clock(EncodeDate(2024, 3, 8));
  Exec("insert into T_Goods (GoodsCode, Remark) values ('0012', '0101')");
  Exec("insert into T_Goods (GoodsCode, Remark) values ('b', 'x')");
  Exec("insert into T_Goods (GoodsCode, Remark) values ('C', 'y')");
  // Codes stay text; the counter counts; defaults apply; text sorts without regard to case.
  EXPECT_EQ(Scalar("select typeof(GoodsCode) & '/' & typeof(Remark) & '/' & Remark from T_Goods where GoodsID=1"),
            "text/text/0101");
  EXPECT_EQ(Column("select GoodsCode from T_Goods order by GoodsCode"), (std::vector<String>{"0012", "b", "C"}));
  EXPECT_EQ(Scalar("select AddDate from T_Goods where GoodsCode='0012'"), "45359.0");
  EXPECT_EQ(Scalar("select Flag from T_Goods where GoodsCode='0012'"), "1");
  Exec("delete from T_Goods where GoodsID=3");
  Exec("insert into T_Goods (GoodsCode) values ('d')");
  EXPECT_EQ(Scalar("select max(GoodsID) from T_Goods"), "4");  // never reused
  // The key other than the counter stays unique, without regard to case.
  EXPECT_THROW(Exec("insert into T_Goods (GoodsCode) values ('B')"), EADOError);
  EXPECT_THROW(Exec("insert into T_Goods (Remark) values ('no code')"), EADOError);
}

TEST_F(JetDb, AlterAndDropKeepTheSchemaCurrent) {
  Exec("create table t (a text(10))");
  Exec("alter table t add column d datetime");
  Exec("insert into t (a, d) values ('x', '2024-03-08')");
  EXPECT_EQ(Scalar("select d from t where d = '2024-03-08'"), "45359.0");
  Exec("alter table t add e memo");
  EXPECT_EQ(Db->Columns("t")->back().DeclType, "LONGTEXT");
  Exec("create index ix on t (a) with ignore null");
  Exec("drop index ix on t");
  Exec("drop table t");
  EXPECT_EQ(Db->Columns("t"), nullptr);
}

// Translations are kept by their text; each case runs the same statement before and after a
// change that alters what it must mean, and the second run follows the change.
TEST_F(JetDb, AKeptTranslationFollowsSchemaAndDateFormatChanges) {
  const String day = "select d from t where d = '01/03/2024'";
  auto datesTable = [&] {
    Exec("create table t (d datetime)");
    Exec("insert into t (d) values (#2024-03-01#)");
    Exec("insert into t (d) values (#2024-01-03#)");
  };
  auto textTable = [&] {
    Exec("create table t (d text(20))");
    Exec("insert into t (d) values ('01/03/2024')");
  };
  auto dayFirst = [] {
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    FormatSettings().DateSeparator = '/';
  };
  struct Case {
    const char* Name;
    std::function<void()> Before, Change;
    String Query, First, Second;
  };
  const Case cases[] = {
      // Compared as text, then, the column now a date, as the day the text names.
      {"the column's type changed by this connection", textTable,
       [&] {
         Exec("drop table t");
         datesTable();
       },
       day, "01/03/2024", "45294.0"},
      {"a transaction that changed it rolled back",
       [&] {
         datesTable();
         dayFirst();
       },
       [&] {
         Db->Begin();
         Exec("drop table t");
         textTable();
         EXPECT_EQ(Scalar(day), "01/03/2024") << "inside the transaction the column holds text";
         Db->Rollback();
       },
       day, "45352.0", "45352.0"},
      {"the table made by another connection", [] {},
       [&] {
         std::unique_ptr<TSqliteDb> other = TSqliteDb::Open(Folder / "jet.db", 1000);
         other->Execute("create table u (d datetime)");
         other->Execute("insert into u (d) values (#2024-03-01#)");
       },
       "select d from u where d = '2024-03-01'", "<refused>", "45352.0"},
      {"the short-date format changed",
       [&] {
         datesTable();
         dayFirst();
       },
       [] { FormatSettings().ShortDateFormat = "mm/dd/yyyy"; }, day, "45352.0", "45294.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ResetFormatSettings();
    Db->ExecRaw("drop table if exists t");
    Db->ExecRaw("drop table if exists u");
    Db->InvalidateSchema();
    c.Before();
    String first;
    try {
      first = Scalar(c.Query);
    } catch (const EADOError&) {
      first = "<refused>";
    }
    EXPECT_EQ(first, c.First);
    c.Change();
    EXPECT_EQ(Scalar(c.Query), c.Second);
  }
}
