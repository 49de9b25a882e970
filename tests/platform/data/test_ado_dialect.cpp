// The statements the program runs, in its own dialect, against a real database file: each gives
// the rows it gave the program.
#include "AdoTestDb.h"

using Rows = std::vector<String>;

class AdoDialect : public AdoFixture {};

TEST_F(AdoDialect, StatementsGiveTheRowsTheProgramExpects) {
  struct Case {
    const char* Sql;
    const char* Fields;  // shown fields, all when empty
    Rows Expected;
  };
  const Case cases[] = {
      // date literal ranges (contract search)
      {"Select * from t_pact where PactCode like '%%' and PactDate>=#2024-03-01# and PactDate<=#2024-03-31#",
       "PactCode", {"HT002", "HT003"}},
      {"select PactCode from t_pact where PactDate < #3/15/2024# order by PactCode", "", {"HT001"}},
      {"select PactCode from t_pact where PactDate between #2024-03-15# and #2024-04-01# order by PactCode", "",
       {"HT002", "HT003", "HT004"}},
      // totals of a contract without rows, and with rows
      {"select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode='NONE' and zjtype='收款'", "", {"0"}},
      {"select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode='HT001' and zjtype='收款'", "",
       {"300.25"}},
      // Booleans, and list names that differ only in case
      {"select Field from T_FieldShow where show=true and TableName='pact' order by ShowID", "",
       {"PactCode", "PactMoney"}},
      {"select * from T_FieldShow where show=false and TableName='Pact'", "Field", {"PactDate"}},
      // the next category code
      {"select Max(Code) from dict_cate where TableName='pacttype' and code like '01%' and len(code)=4", "", {"0102"}},
      // days until a planned date
      {"select pactmoneyid, jhdate-cdate('2024-01-05') as xcday from t_pact_zj order by pactmoneyid", "",
       {"1|5", "2|27", "3|15", "4|75", "5|-6"}},
      // the reminder: a derived table without alias over the stored query
      {"select * from (select *, jhdate-cdate('2024-01-05') as xcday from s_pactzj) where zjtype='收款'  and xcday<=30 "
       "and f_check='未完成' order by jhdate desc",
       "PactCode,pactname,xcday", {"HT001|办公楼|5", "HT002|Road|-6"}},
      // a date column matched by its short-date text
      {"select PactCode from t_pact where PactDate like '%2024-03%' order by PactCode", "", {"HT002", "HT003"}},
      {"select PactCode from t_pact where PactDate not like '%-03-%' order by PactCode", "", {"HT001", "HT004"}},
      // text compared without regard to case
      {"select UserName from tUser where UserName='admin'", "", {"Admin"}},
      {"select count(*) from tUser where 'admin' = 'Admin'", "", {"2"}},
      {"select PactCode from t_pact where custname like '%BETA%' order by PactCode", "", {"HT002", "HT003"}},
      {"select PactCode from t_pact where PactCode in ('ht001', 'HT004') order by PactCode", "", {"HT001", "HT004"}},
      // the stored query used like a table; its join ignores case ('ht002' finds HT002)
      {"select pactname, CustName from s_pactzj where pactmoneyid=4", "", {"Road|beta"}},
      {"select * from s_pactzj where zjtype='付款'", "pactmoneyid,PactCode,pactname", {"3|HT001|办公楼"}},
      // top N
      {"select top 3 PactCode from t_pact order by PactMoney desc", "", {"HT001", "HT002", "HT003"}},
      // numbers matched by their text
      {"select PactCode from t_pact where PactMoney like '250%'", "", {"HT002"}},
      {"select PactCode from t_pact where PactMoney like '%.5'", "", {"HT002"}},
      // type code prefixes, the chart's grouping over a derived table
      {"Select * from t_pact where typecode like '01%' order by PactCode", "PactCode", {"HT001", "HT002", "HT003"}},
      {"select sum(pactmoney) as ttmoney, pacttype from (Select * from t_pact where PactCode like '%%' and "
       "PactDate>=#2024-01-01# and PactDate<=#2024-12-31#) group by pacttype order by pacttype",
       "", {"1010|工程", "349.5|设备"}},
      // the legacy windows' "(a)AND(b)" with bracketed names
      {"select PactCode from [t_pact] where (CustName like'%a%')AND([PactDate]>=#2024-01-01#) order by PactCode", "",
       {"HT001", "HT002", "HT003", "HT004"}},
      // concatenation, and date text compared with a date column
      {"select PactCode & '-' & PactName from t_pact where PactCode='HT002'", "", {"HT002-Road"}},
      {"select PactCode from t_pact where PactDate = '2024-03-15'", "", {"HT002"}},
      {"select PactCode from t_pact where PactDate in ('2024-03-15', '2024-04-01') order by PactCode", "",
       {"HT002", "HT004"}},
      {"select x.PactCode from (select * from t_pact) x where x.PactDate >= '2024-03-31' order by x.PactCode", "",
       {"HT003", "HT004"}},
      // numbers compared with quoted numbers, as Jet converted them
      {"select PactCode from t_pact_zj where pactmoneyid = '2'", "", {"HT001"}},
      {"select PactDate, year(PactDate), format(PactDate, 'yyyy-mm') from t_pact where PactCode='HT004'", "",
       {"2024-04-01|2024|2024-04"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sql);
    EXPECT_EQ(Select(c.Sql, c.Fields), c.Expected);
  }
}

TEST_F(AdoDialect, DateTextWrittenIntoDateColumnsIsStoredAsADayCount) {
  // The schedule window marks an item done this way.
  EXPECT_EQ(Conn->Execute("update t_pact_zj set f_check='已完成', sjdate='2024-03-08' where pactmoneyid=1"), 1);
  EXPECT_EQ(Scalar("select typeof(sjdate) from t_pact_zj where pactmoneyid=1"), "real");
  EXPECT_EQ(Select("select sjdate from t_pact_zj where sjdate >= #2024-03-01#"), Rows{"2024-03-08"});
  Conn->Execute("insert into t_pact_zj (PactCode, jhdate) values ('HT009', '2024-05-06 12:00')");
  EXPECT_EQ(Scalar("select jhdate from t_pact_zj where PactCode='HT009'"), "2024-05-06 12:00:00");
  // Text that names no date is refused, not stored as text.
  EXPECT_THROW(Conn->Execute("update t_pact_zj set sjdate='soon' where pactmoneyid=1"), EADOError);
}

TEST_F(AdoDialect, FieldClassesFollowDeclaredTypesAndExpressionValues) {
  struct Case { const char* Sql; std::vector<TFieldType> Types; };
  const Case cases[] = {
      {"select pactmoneyid, PactCode, money, jhdate from t_pact_zj", {ftAutoInc, ftWideString, ftBCD, ftDateTime}},
      {"select show, Width, TableName from T_FieldShow", {ftBoolean, ftInteger, ftWideString}},
      {"select PactNote, PactMoney from t_pact", {ftMemo, ftFloat}},
      // through the stored query and a derived table, declared types still count
      {"select jhdate, money from s_pactzj", {ftDateTime, ftBCD}},
      {"select * from (select PactDate from t_pact)", {ftDateTime}},
      // expressions take the type of their values
      {"select 1 as a, 1.5 as b, 'x' as c, 3000000000 as d, count(*) as e from t_pact", {ftInteger, ftFloat, ftWideString, ftLargeint, ftInteger}},
      {"select jhdate - cdate('2024-01-05') from t_pact_zj", {ftFloat}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sql);
    auto q = Query(c.Sql);
    q->Open();
    ASSERT_EQ(q->FieldCount(), static_cast<int>(c.Types.size()));
    for (int i = 0; i < q->FieldCount(); ++i) EXPECT_EQ(q->Fields()->Fields(i)->DataType(), c.Types[i]) << i;
  }
  auto text = Query("select PactCode from t_pact");
  text->Open();
  EXPECT_EQ(text->Fields()->Fields(0)->Size(), 50);
  // Without BCD an amount is a float field shown as currency.
  auto money = Query("select money from t_pact_zj where pactmoneyid=2");
  money->SetEnableBCD(false);
  money->Open();
  EXPECT_EQ(money->Fields()->Fields(0)->DataType(), ftCurrency);
  EXPECT_DOUBLE_EQ(money->Fields()->Fields(0)->AsFloat(), 200.25);
}

TEST_F(AdoDialect, RefusedStatementsRaiseTheDataLayerErrorQuotingThem) {
  const char* const statements[] = {
      "select * from t_pact where PactDate >= #2024-02-30#",
      "select top 5 percent * from t_pact",
      "select isnull(PactNote, '') from t_pact",
      "select * into t_copy from t_pact",
      // A bracketed name that is no column is refused, not compared as text: 'NoSuchCol'
      // contains 'Such', and would have found every row.
      "select * from t_pact where [NoSuchCol] like '%Such%'",
      "select [NoSuchCol] from t_pact",
  };
  for (const char* sql : statements) {
    SCOPED_TRACE(sql);
    auto q = Query(sql);
    try {
      q->Open();
      ADD_FAILURE() << "opened";
    } catch (const EADOError& e) {
      EXPECT_EQ(e.Statement(), sql);
      EXPECT_NE(e.Message().find(sql), String::npos) << e.Message();
    }
    EXPECT_FALSE(q->Active());
  }
}

// Date text meets a date column in many shapes; each either finds the rows Jet found or is
// refused naming what could not be converted, never answered as a text comparison (false).
TEST_F(AdoDialect, DateTextComparedWithADateColumnIsConvertedWhereverTheColumnIsAnOperand) {
  struct Case {
    const char* Sql;
    const char* Param;  // text for ":d", none when null
    Rows Expected;
    const char* Error;  // part of the refusal's message, none when null
  };
  const Case cases[] = {
      {"select PactCode from t_pact where (PactDate)>='2024-03-01' order by PactCode", nullptr,
       {"HT002", "HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where '2024-03-31' <= ((PactDate)) order by PactCode", nullptr,
       {"HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where PactDate = iif(1=1,'2024-01-05',null)", nullptr, {"HT001"}, nullptr},
      {"select PactCode from t_pact where PactDate between '2024-01-01' and '2024-01-31'", nullptr, {"HT001"}, nullptr},
      {"select PactCode from t_pact where PactDate not between '2024-01-01' and '2024-03-20' order by PactCode",
       nullptr, {"HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where '2024-03-20' between PactDate and #2024-12-31# order by PactCode", nullptr,
       {"HT001", "HT002"}, nullptr},
      {"select PactCode from t_pact where PactDate in ('2024-03-15', iif(1=0, null, '2024-04-01')) order by PactCode",
       nullptr, {"HT002", "HT004"}, nullptr},
      {"select PactCode from t_pact where (PactDate) not in ('2024-03-15') order by PactCode", nullptr,
       {"HT001", "HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where PactDate >= case when 1=1 then '2024-03-31' else '2024-01-01' end "
       "order by PactCode", nullptr, {"HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where nz(PactDate, '2024-12-31') < '2024-03-01'", nullptr, {"HT001"}, nullptr},
      {"select pactmoneyid from t_pact_zj where iif(sjdate is null, jhdate, sjdate) >= '2024-02-01' order by "
       "pactmoneyid", nullptr, {"2", "4"}, nullptr},
      {"select PactCode from t_pact where (select max(jhdate) from t_pact_zj) > '2024-03-19' and PactCode='HT001'",
       nullptr, {"HT001"}, nullptr},
      {"select PactCode from t_pact where PactDate >= cdate('2024-03-31') order by PactCode", nullptr,
       {"HT003", "HT004"}, nullptr},
      // a whole day is stored as a REAL day count, so it divides as Jet's dates do
      {"select typeof(PactDate), PactDate/5 from t_pact where PactCode='HT001'", nullptr, {"real|9059.2"}, nullptr},
      // text parameters where a date goes are bound as the day count they name
      {"select PactCode from t_pact where PactDate = :d", "2024-01-05", {"HT001"}, nullptr},
      {"select PactCode from t_pact where :d <= PactDate order by PactCode", "2024-03-31", {"HT003", "HT004"}, nullptr},
      {"select PactCode from t_pact where PactDate = iif(:d is null, PactDate, :d)", "2024-03-15", {"HT002"}, nullptr},
      {"select PactCode from t_pact where PactCode = :d", "ht004", {"HT004"}, nullptr},
      {"select PactCode from t_pact where PactDate = :d", "soon", {}, "'soon' is not a valid date for parameter 'd'"},
      // what cannot be converted is refused, naming it
      {"select PactCode from t_pact where PactDate = 'soon'", nullptr, {}, "Text 'soon' is not a date for 'PactDate'"},
      {"select PactCode from t_pact where PactDate = '2024-01' & '-05'", nullptr, {},
       "The text expression '2024-01' & '-05' cannot be compared with the date 'PactDate'"},
      {"select PactCode from t_pact where PactDate >= format(#2024-01-01#, 'yyyy-mm-dd')", nullptr, {},
       "Text from format(…) cannot be compared with the date 'PactDate'"},
      {"select PactCode from t_pact where PactDate + 1 = '2024-01-06'", nullptr, {},
       "Text compared with the date expression PactDate + 1 cannot be converted"},
      {"select PactCode from t_pact where (PactDate) between '2024-01-01' and 'later'", nullptr, {},
       "Text 'later' is not a date for 'PactDate'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sql);
    auto q = Query(c.Sql);
    if (c.Param) q->Parameters()->ParamByName("d")->SetValue(Variant(String(c.Param)));
    try {
      q->Open();
      EXPECT_EQ(c.Error, nullptr) << "opened";
      EXPECT_EQ(RowsOf(*q), c.Expected);
    } catch (const EADOError& e) {
      ASSERT_NE(c.Error, nullptr) << e.Message();
      EXPECT_NE(e.Message().find(c.Error), String::npos) << e.Message();
    }
  }
}

TEST_F(AdoDialect, WholeDaysWrittenAnyWayAreStoredAsRealDayCounts) {
  auto ins = Query("insert into t_pact (PactCode, PactDate) values (:code, :d)");
  ins->Parameters()->ParamByName("code")->SetValue(Variant(String("HT010")));
  ins->Parameters()->ParamByName("d")->SetValue(Variant(String("2024-05-06")));
  EXPECT_EQ(ins->ExecSQL(), 1);
  Conn->Execute("insert into t_pact (PactCode, PactDate) values ('HT011', iif(1=1, '2024-05-07', null))");
  auto upd = Query("update t_pact set PactDate = :d where PactCode = 'HT001'");
  upd->Parameters()->ParamByName("d")->SetValue(Variant(String("2024-05-08")));
  EXPECT_EQ(upd->ExecSQL(), 1);
  EXPECT_EQ(Select("select PactCode, typeof(PactDate), PactDate, PactDate/7 from t_pact where PactDate >= "
                   "#2024-05-01# order by PactCode"),
            (Rows{"HT001|real|2024-05-08|6488.57142857143", "HT010|real|2024-05-06|6488.28571428571",
                  "HT011|real|2024-05-07|6488.42857142857"}));
}
