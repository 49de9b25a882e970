// TADOQuery writing back: by rowid (also on tables without a key), read-only results, inserts
// re-read, batch mode, parameters bound instead of spliced, and rollbacks reaching the rows held.
#include "AdoTestDb.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"

using Rows = std::vector<String>;

class AdoWrites : public AdoFixture {
protected:
  void SetUp() override {
    AdoFixture::SetUp();
    // No key, and two rows that are equal in every column.
    Conn->Execute("create table kl (name TEXT(20), n LONG)");
    for (const char* v : {"('a', 1)", "('a', 1)", "('b', 2)"}) Conn->Execute(String("insert into kl values ") + v);
  }
  Rows Table() { return Select("select name, n from kl order by name, n"); }
};

TEST_F(AdoWrites, EditAndDeleteOnAKeylessTableTouchExactlyOneRow) {
  auto q = Query("select * from kl");
  q->Open();
  EXPECT_EQ(q->UpdateTable(), "kl");
  q->Next();  // the second of the two equal rows
  q->Edit();
  q->FieldByName("n")->SetAsInteger(5);
  q->Post();
  EXPECT_EQ(Table(), (Rows{"a|1", "a|5", "b|2"}));
  q->First();
  q->Delete();
  EXPECT_EQ(Table(), (Rows{"a|5", "b|2"}));
  EXPECT_EQ(RowsOf(*q), (Rows{"a|5", "b|2"}));
}

// An edit reads the row until a field is assigned; the post writes the assigned columns (each
// set of columns through its own statement) and keeps the others, whether the row's block is
// patched (numbers) or built anew (text); a rollback puts back every row held.
TEST_F(AdoWrites, EditsWriteTheAssignedColumnsKeepTheOthersAndRollBackWhole) {
  auto q = Query("select * from kl");
  q->Open();
  TField* name = q->FieldByName("name");
  TField* n = q->FieldByName("n");
  struct Step {
    int Row;
    const char* Name;  // nullptr: not assigned
    const char* N;     // nullptr: not assigned, "": Null
  };
  const Step steps[] = {{1, nullptr, "7"}, {2, "a longer name", nullptr}, {3, "c", "9"},
                        {1, "x", nullptr}, {2, nullptr, ""},              {1, nullptr, "8"}};
  Conn->BeginTrans();
  for (const Step& s : steps) {
    SCOPED_TRACE(IntToStr(s.Row));
    q->SetRecNo(s.Row);
    String oldName = name->AsString(), oldN = n->AsString();
    q->Edit();
    EXPECT_EQ(name->AsString(), oldName);
    EXPECT_EQ(n->AsString(), oldN);
    if (s.N) {
      if (*s.N) n->SetAsInteger(StrToInt(s.N));
      else n->Clear();
    }
    EXPECT_EQ(name->AsString(), oldName) << "an unassigned field still reads the row";
    if (s.Name) name->SetAsString(s.Name);
    EXPECT_EQ(n->AsString(), s.N ? String(s.N) : oldN);
    q->Post();
  }
  EXPECT_EQ(RowsOf(*q), (Rows{"x|8", "a longer name|", "c|9"}));
  EXPECT_EQ(Select("select name, n from kl"), (Rows{"x|8", "a longer name|", "c|9"}));
  Conn->RollbackTrans();
  EXPECT_EQ(RowsOf(*q), (Rows{"a|1", "a|1", "b|2"}));
  EXPECT_EQ(Select("select name, n from kl"), (Rows{"a|1", "a|1", "b|2"}));
}

TEST_F(AdoWrites, TheRowIdIsNoFieldAndPostWithoutChangesWritesNothing) {
  auto users = Query("select * from tUser");
  users->Open();
  ASSERT_EQ(users->FieldCount(), 4);
  EXPECT_EQ(users->Fields()->Fields(1)->FieldName(), "UserName");
  EXPECT_EQ(users->Fields()->Fields(1)->AsString(), "Admin");
  Conn->Execute("update tUser set UserName='renamed elsewhere' where userid=1");
  users->Edit();
  users->Post();  // nothing changed: no write over the other change
  EXPECT_EQ(Scalar("select UserName from tUser where userid=1"), "renamed elsewhere");
}

TEST_F(AdoWrites, InsertsComeBackWithAutonumbersAndDefaults) {
  TClockOverride clock(EncodeDate(2024, 3, 8));
  auto zj = Query("select * from t_pact_zj where PactCode='HT001'");
  zj->Open();
  zj->Append();
  zj->FieldByName("PactCode")->SetAsString("HT001");
  zj->FieldByName("money")->SetAsString("12.34565");
  zj->FieldByName("jhdate")->SetAsDateTime(Date());
  zj->Post();
  EXPECT_EQ(zj->FieldByName("pactmoneyid")->AsInteger(), 6);
  EXPECT_EQ(zj->FieldByName("f_check")->AsString(), "未完成");
  EXPECT_EQ(zj->RecordCount(), 4);
  // Stored as REAL at four decimals, half to even; the date as its day count.
  EXPECT_EQ(Scalar("select money & '|' & jhdate & '|' & typeof(jhdate) from t_pact_zj where pactmoneyid=6"),
            "12.3456|45359|real");
  // The new row can be edited and deleted by its rowid at once.
  zj->Edit();
  zj->FieldByName("Method")->SetAsString("现金");
  zj->Post();
  EXPECT_EQ(Scalar("select Method from t_pact_zj where pactmoneyid=6"), "现金");
  zj->Delete();
  EXPECT_EQ(Scalar("select count(*) from t_pact_zj"), "5");
}

TEST_F(AdoWrites, BooleansAreStoredAsOneAndZero) {
  auto q = Query("select * from T_FieldShow where Field='PactDate'");
  q->Open();
  EXPECT_FALSE(q->FieldByName("show")->AsBoolean());
  q->Edit();
  q->FieldByName("show")->SetAsBoolean(true);
  q->Post();
  EXPECT_EQ(Scalar("select show + 0 from T_FieldShow where Field='PactDate'"), "1");
  EXPECT_EQ(Select("select Field from T_FieldShow where show=true order by ShowID"),
            (Rows{"PactCode", "PactDate", "PactMoney"}));
}

TEST_F(AdoWrites, ViewsJoinsGroupsAndReadOnlyLocksRefuseEdits) {
  const char* const readOnly[] = {
      "select * from s_pactzj",
      "select z.*, p.PactName from t_pact_zj z inner join t_pact p on z.PactCode = p.PactCode",
      "select PactType, sum(PactMoney) from t_pact group by PactType",
      "select distinct PactType from t_pact",
  };
  for (const char* sql : readOnly) {
    SCOPED_TRACE(sql);
    auto q = Query(sql);
    q->Open();
    EXPECT_FALSE(q->CanModify());
    EXPECT_THROW(q->Edit(), EDatabaseError);
  }
  // Columns of equal names in a join are told apart by their table.
  auto joined = Query("select * from t_pact_zj z inner join t_pact p on z.PactCode = p.PactCode where z.pactmoneyid=1");
  joined->Open();
  EXPECT_EQ(joined->FieldByName("PactCode")->AsString(), "HT001");
  EXPECT_EQ(joined->FieldByName("f_check")->AsString(), "未完成");
  EXPECT_EQ(joined->FieldByName("t_pact.f_check")->AsString(), "执行中");
  auto locked = Query("select * from t_pact");
  locked->SetLockType(ltReadOnly);
  locked->Open();
  EXPECT_FALSE(locked->CanModify());
  EXPECT_THROW(locked->Delete(), EDatabaseError);
  EXPECT_EQ(Scalar("select count(*) from t_pact"), "4");
  // An expression column of an updatable select is shown but never written.
  auto mixed = Query("select *, PactMoney * 2 as twice from t_pact where PactCode='HT004'");
  mixed->Open();
  EXPECT_TRUE(mixed->CanModify());
  EXPECT_TRUE(mixed->FieldByName("twice")->ReadOnly());
  mixed->Edit();
  mixed->FieldByName("PactMoney")->SetAsFloat(11);
  mixed->Post();
  EXPECT_EQ(Scalar("select PactMoney from t_pact where PactCode='HT004'"), "11");
}

TEST_F(AdoWrites, BatchModeWritesNothingUntilUpdateBatchAndNothingAfterCancelBatch) {
  auto q = Query("select * from kl order by name, n");
  q->SetLockType(ltBatchOptimistic);
  q->Open();
  q->Edit();
  q->FieldByName("n")->SetAsInteger(10);
  q->Post();
  q->Last();
  q->Delete();
  q->Append();
  q->FieldByName("name")->SetAsString("c");
  q->FieldByName("n")->SetAsInteger(3);
  q->Post();
  EXPECT_EQ(q->PendingChanges(), 3);
  EXPECT_EQ(Table(), (Rows{"a|1", "a|1", "b|2"}));
  EXPECT_EQ(RowsOf(*q), (Rows{"a|10", "a|1", "c|3"}));

  q->UpdateBatch();
  EXPECT_EQ(q->PendingChanges(), 0);
  EXPECT_EQ(Table(), (Rows{"a|1", "a|10", "c|3"}));

  q->First();
  q->Delete();
  q->Edit();
  q->FieldByName("name")->SetAsString("zz");
  q->Post();
  q->CancelBatch();
  EXPECT_EQ(Table(), (Rows{"a|1", "a|10", "c|3"}));
  EXPECT_EQ(RowsOf(*q), (Rows{"a|10", "a|1", "c|3"}));
  // After the cancel the rows still write back to the right places.
  q->Last();
  q->Edit();
  q->FieldByName("n")->SetAsInteger(30);
  q->Post();
  q->UpdateBatch();
  EXPECT_EQ(Table(), (Rows{"a|1", "a|10", "c|30"}));
}

TEST_F(AdoWrites, ABatchAppliedInARolledBackTransactionIsHeldAgain) {
  // The contract save: the master row posts, the detail batch applies, one failure undoes both.
  auto pact = Query("select * from t_pact where PactCode='HT002'");
  auto detail = Query("select * from t_pact_zj where PactCode='HT002'");
  detail->SetLockType(ltBatchOptimistic);
  pact->Open();
  detail->Open();
  detail->Append();
  detail->FieldByName("PactCode")->SetAsString("HT002");
  detail->FieldByName("money")->SetAsInteger(7);
  detail->Post();

  Conn->BeginTrans();
  try {
    pact->Edit();
    pact->FieldByName("PactName")->SetAsString("Road 2");
    pact->Post();
    detail->UpdateBatch();
    Conn->Execute("insert into t_pact (PactName) values ('no code')");  // NOT NULL fails
    Conn->CommitTrans();
  } catch (const EADOError&) {
    Conn->RollbackTrans();
  }
  EXPECT_EQ(Scalar("select count(*) from t_pact_zj where money=7"), "0");
  EXPECT_EQ(pact->FieldByName("PactName")->AsString(), "Road");
  EXPECT_EQ(detail->PendingChanges(), 1);
  // Applying again outside a failing transaction stores the row once.
  detail->UpdateBatch();
  EXPECT_EQ(Scalar("select count(*) from t_pact_zj where money=7"), "1");
}

TEST_F(AdoWrites, RowsReadInsideARolledBackTransactionAreReadAgain) {
  auto zj = Query("select count(*) from t_pact_zj");
  Conn->BeginTrans();
  Conn->Execute("delete from t_pact_zj");
  zj->Open();
  EXPECT_EQ(zj->Fields()->Fields(0)->AsInteger(), 0);
  Conn->RollbackTrans();
  EXPECT_EQ(zj->Fields()->Fields(0)->AsInteger(), 5);
}

TEST_F(AdoWrites, ARowChangedElsewhereIsReported) {
  auto q = Query("select * from kl where name='b'");
  q->Open();
  Conn->Execute("delete from kl where name='b'");
  q->Edit();
  q->FieldByName("n")->SetAsInteger(9);
  EXPECT_THROW(q->Post(), EADOError);
  EXPECT_EQ(q->State(), dsEdit);
  q->Cancel();
}

TEST_F(AdoWrites, ParametersAreBoundNeverSpliced) {
  auto q = Query("select UserName from tUser where UserName = :name or password = :pw");
  ASSERT_EQ(q->Parameters()->Count(), 2);
  q->Parameters()->ParamByName("NAME")->SetValue(Variant("x' or '1'='1"));
  q->Parameters()->ParamByName("pw")->SetValue(Null());
  q->Open();
  EXPECT_TRUE(q->IsEmpty());
  q->Close();
  q->Parameters()->ParamByName("name")->SetValue(Variant("ADMIN"));
  q->Open();
  EXPECT_EQ(RowsOf(*q), Rows{"Admin"});

  auto upd = Query("update t_pact_zj set sjdate = :d where pactmoneyid = :id");
  upd->Parameters()->ParamByName("d")->SetValue(Variant::FromDate(EncodeDate(2024, 3, 8)));
  upd->Parameters()->ParamByName("id")->SetValue(Variant(2));
  EXPECT_EQ(upd->ExecSQL(), 1);
  EXPECT_EQ(Scalar("select sjdate from t_pact_zj where pactmoneyid=2"), "2024-03-08");
  EXPECT_THROW(upd->Parameters()->ParamByName("nosuch"), EADOError);
  // Changing the SQL keeps the values of the names that stay.
  upd->SQL()->SetText("delete from t_pact_zj where pactmoneyid = :id");
  ASSERT_EQ(upd->Parameters()->Count(), 1);
  EXPECT_EQ(upd->Parameters()->Items(0)->Value().AsInteger(), 2);
  EXPECT_EQ(upd->ExecSQL(), 1);
  EXPECT_EQ(upd->RowsAffected(), 1);
}

// SQLite compares and collates text only up to a NUL ('a\0x' = 'a\0y' without regard to case),
// so text holding one is refused wherever it would be bound, naming where, and nothing is written.
TEST_F(AdoWrites, TextHoldingANulIsRefusedClearlyWhereverItWouldBeBound) {
  const String withNul("合\0同x", 8);
  auto expectRefused = [](auto write, const char* what) {
    try {
      write();
      ADD_FAILURE() << "written: " << what;
    } catch (const EADOError& e) {
      EXPECT_NE(e.Message().find(what), String::npos) << e.Message();
    }
  };
  auto ins = Query("insert into tUser (UserName, qxlist) values (:name, :list)");
  ins->Parameters()->ParamByName("name")->SetValue(Variant(String("nul")));
  ins->Parameters()->ParamByName("list")->SetValue(Variant(withNul));
  expectRefused([&] { ins->ExecSQL(); }, "The text for parameter 'list' holds a NUL character");
  auto q = Query("select * from tUser where UserName = 'guest'");
  q->Open();
  q->Edit();
  q->FieldByName("password")->SetAsString(withNul);
  expectRefused([&] { q->Post(); }, "The text for column 'password' holds a NUL character");
  q->Cancel();
  // Within the statement's own text SQLite would read no further than the NUL.
  expectRefused([&] { Conn->Execute(String("delete from tUser where UserName = 'x'\0 or 1=1", 46)); },
                "A NUL character in the statement");
  EXPECT_EQ(Select("select UserName, password from tUser order by userid"), (Rows{"Admin|", "guest|x"}));
}

TEST_F(AdoWrites, ChangingTheSqlClosesAndRequerySeesNewRows) {
  auto q = Query("select UserName from tUser order by userid");
  q->Open();
  Conn->Execute("insert into tUser (UserName) values ('third')");
  EXPECT_EQ(q->RecordCount(), 2);
  q->Last();
  q->Requery();
  EXPECT_EQ(q->RecordCount(), 3);
  EXPECT_EQ(q->RecNo(), 1);
  q->SQL()->SetText("select * from t_pact");
  EXPECT_FALSE(q->Active());
  // A statement without rows is refused by Open and runs through ExecSQL.
  q->SQL()->SetText("delete from tUser where UserName='third'");
  EXPECT_THROW(q->Open(), EADOError);
  EXPECT_EQ(q->ExecSQL(), 1);
}

TEST_F(AdoWrites, DdlThroughExecSqlIsSeenByLaterStatements) {
  auto q = Query("alter table kl add column d DATETIME");
  q->ExecSQL();
  Conn->Execute("update kl set d='2024-03-08' where name='b'");
  EXPECT_EQ(Select("select name from kl where d = #2024-03-08#"), Rows{"b"});
  EXPECT_EQ(Select("select d from kl where name='b'"), Rows{"2024-03-08"});
}

TEST_F(AdoWrites, AQueryWithItsOwnConnectionStringWorksBesideTheShared) {
  TADOQuery own(nullptr);
  own.SetConnectionString(Conn->ConnectionString());
  EXPECT_EQ(own.Connection(), nullptr);
  own.SQL()->SetText("select * from tUser where UserName='admin'");
  own.Open();
  own.Edit();
  own.FieldByName("password")->SetAsString("secret");
  own.Post();
  EXPECT_EQ(Scalar("select password from tUser where userid=1"), "secret");
  // Closing the shared connection leaves the query's own one alone.
  Conn->Close();
  EXPECT_TRUE(own.Active());
}

TEST_F(AdoWrites, AMasterSourceFillsParametersOfTheSameNames) {
  auto master = Query("select PactCode from t_pact order by PactCode");
  TDataSource ds(nullptr);
  ds.SetDataSet(master.get());
  master->Open();
  auto plain = Query("select count(*) from t_pact_zj");
  plain->SetDataSource(&ds);  // no parameters: nothing follows
  plain->Open();
  auto detail = Query("select pactmoneyid from t_pact_zj where PactCode = :PactCode order by pactmoneyid");
  detail->SetDataSource(&ds);
  detail->Open();
  EXPECT_EQ(RowsOf(*detail), (Rows{"1", "2", "3"}));
  master->Next();
  EXPECT_EQ(RowsOf(*detail), (Rows{"4", "5"}));
  EXPECT_EQ(plain->Fields()->Fields(0)->AsInteger(), 5);
}

// Statements from data under the delete-only rule: deleting rows of the database's own tables
// runs, with whatever reading its condition needs; every other kind of statement is refused
// before it runs, naming itself, and changes nothing, not even a file beside the database.
TEST_F(AdoWrites, UnderTheDeleteOnlyRuleOnlyDeletesOfTheOwnTablesRun) {
  String copy = Folder / "copy.db";
  struct Case {
    String Sql;
    bool Runs;
  } cases[] = {
      {"delete from kl where n = 2", true},
      {"delete * from t_pact where PactCode in (select PactCode from t_pact_zj where money > 250)", true},
      {"DELETE FROM dict_cate WHERE TableName = 'depart' AND ucase(name) <> ''", true},
      {"VACUUM INTO '" + copy + "'", false},
      {"PRAGMA writable_schema=ON", false},
      {"insert into kl values ('c', 3)", false},
      {"update kl set n = 9", false},
      {"create table x (a TEXT(5))", false},
      {"drop table kl", false},
      {"ATTACH DATABASE '" + copy + "' AS other", false},
      {"delete from sqlite_sequence", false},
      {"select count(*) from kl", false},
      {"COMMIT", false},
      {"ROLLBACK", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sql);
    Rows before = Table();
    String pacts = Scalar("select count(*) from t_pact");
    {
      TDeleteOnlyScope scope(*Conn);
      auto q = Query(c.Sql);
      if (c.Runs) {
        EXPECT_NO_THROW(q->ExecSQL());
      } else {
        try {
          q->ExecSQL();
          ADD_FAILURE() << "ran";
        } catch (const EStatementRefused& e) {
          EXPECT_EQ(e.Statement(), c.Sql);
        }
        EXPECT_THROW(Conn->Execute(c.Sql), EStatementRefused);
        EXPECT_EQ(Table(), before) << "a query of the program's own still reads";
        EXPECT_EQ(Scalar("select count(*) from t_pact"), pacts);
      }
    }
    EXPECT_FALSE(FileExists(copy));
  }
  EXPECT_EQ(Table(), (Rows{"a|1", "a|1"}));
  EXPECT_EQ(Scalar("select count(*) from t_pact"), "3");
  // Outside the scope every statement runs again.
  EXPECT_EQ(Conn->Execute("insert into kl values ('c', 3)"), 1);
  auto q = Query("update kl set n = 9");
  EXPECT_EQ(q->ExecSQL(), 3);
}

// SQLite keeps a value of another kind where it cannot convert it (text in a number column).
// Reads that take the stored value in place convert exactly as reads through a variant did.
TEST_F(AdoWrites, FieldReadsConvertWhateverKindTheStoreHolds) {
  Conn->Execute("create table mixed (t TEXT(20), d DOUBLE, l LONG, dt DATETIME, m CURRENCY)");
  for (const char* v : {"('a', 1.5, 3, 45000.25, 12.3456)", "('', 2, 4000000000, 45001, 7)",
                        "(null, null, null, null, null)", "('12', 'abc', 'zz', '2024-03-08', 'y')"})
    Conn->Execute(String("insert into mixed values ") + v);
  auto q = Query("select * from mixed");
  q->Open();
  TField *t = q->FieldByName("t"), *d = q->FieldByName("d"), *l = q->FieldByName("l"), *dt = q->FieldByName("dt"),
         *m = q->FieldByName("m");
  const struct {
    const char* T;
    bool Null;
    double D, Dt;
    Int64 L;
    double M;
  } rows[] = {{"a", false, 1.5, 45000.25, 3, 12.3456},
              {"", false, 2, 45001, 4000000000LL, 7},
              {"", true, 0, 0, 0, 0},
              {"12", false, 0, EncodeDate(2024, 3, 8), 0, 0}};
  int row = 0;
  for (q->First(); !q->Eof(); q->Next(), ++row) {
    SCOPED_TRACE(row);
    const auto& r = rows[row];
    EXPECT_EQ(t->AsString(), r.T);
    for (TField* f : {d, l, dt, m}) EXPECT_EQ(f->IsNull(), r.Null) << f->FieldName();
    EXPECT_DOUBLE_EQ(dt->AsDateTime(), r.Dt);
    if (row < 3) {
      EXPECT_DOUBLE_EQ(d->AsFloat(), r.D);
      EXPECT_EQ(l->AsLargeInt(), r.L);
      EXPECT_DOUBLE_EQ(m->AsCurrency().ToDouble(), r.M);
      EXPECT_EQ(d->AsString(), r.Null ? String() : FloatToStr(r.D));
    } else {
      // Text that is no number is refused as the conversions refuse it.
      EXPECT_THROW(d->AsFloat(), EConvertError);
      EXPECT_THROW(l->AsLargeInt(), EConvertError);
      EXPECT_THROW(m->AsCurrency(), EConvertError);
    }
  }
  EXPECT_EQ(row, 4);
}
