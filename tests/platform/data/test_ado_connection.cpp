// TADOConnection: the connection string, opening without creating, errors, transactions, two
// connections on one file, and making a database from a script.
#include "AdoTestDb.h"
#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"

#include <sqlite3.h>

#include <chrono>

using Rows = std::vector<String>;

TEST(AdoConnectionString, KeysIgnoreCaseAndValuesMayBeQuoted) {
  struct Case { const char* Text; const char* Key; const char* Value; };
  const Case cases[] = {
      {"Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=C:\\kelm\\DataBase\\kelm.mdb;Persist Security Info=False",
       "Data Source", "C:\\kelm\\DataBase\\kelm.mdb"},
      {"provider=x; DATA SOURCE = /tmp/a b.db ;", "data source", "/tmp/a b.db"},
      {"Data Source=\"/tmp/a;b.db\";Mode=Share Deny None", "Data Source", "/tmp/a;b.db"},
      {"Data Source='it''s.db'", "Data Source", "it's.db"},
      {"User ID=admin;Jet OLEDB:Database Password=8306472QKW", "Jet OLEDB:Database Password", "8306472QKW"},
      {"User ID=admin", "Data Source", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ConnectionStringValue(c.Text, c.Key), c.Value);
  }
}

TEST(AdoConnection, AMissingFileFailsToOpenAndIsNotCreated) {
  TempFolder folder;
  String file = folder / "DataBase/kelm.mdb";
  TADOConnection conn(nullptr);
  conn.SetConnectionString(ConnectionStringFor(file));
  try {
    conn.Open();
    ADD_FAILURE() << "opened";
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find(file), String::npos) << e.Message();
  }
  EXPECT_FALSE(conn.Connected());
  EXPECT_FALSE(FileExists(file));
  // A file that is no database fails as well.
  String junk = folder / "junk.mdb";
  WriteFileAtomic(junk, String(4096, 'x'));
  conn.SetConnectionString(ConnectionStringFor(junk));
  EXPECT_THROW(conn.Open(), EADOError);
  EXPECT_FALSE(conn.Connected());
}

TEST(AdoConnection, PublishedPropertiesKeepTheirDefaultsForLayouts) {
  TADOConnection conn(nullptr);
  SetPropValue(&conn, "CommandTimeout", 8);
  SetPropValue(&conn, "ConnectionTimeout", 8);
  SetEnumProp(&conn, "Mode", "cmShareDenyNone");
  SetPropValue(&conn, "KeepConnection", false);
  SetPropValue(&conn, "LoginPrompt", false);
  SetStrProp(&conn, "ConnectionString", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb");
  EXPECT_EQ(conn.CommandTimeout(), 8);
  EXPECT_EQ(conn.Mode(), cmShareDenyNone);
  EXPECT_FALSE(conn.KeepConnection());
  EXPECT_EQ(conn.Provider(), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(conn.FileName(), "x.mdb");
  EXPECT_TRUE(GetPropInfo(&conn, "IsolationLevel")->IsDefault(&conn));
  EXPECT_TRUE(GetPropInfo(&conn, "CursorLocation")->IsDefault(&conn));
  EXPECT_FALSE(GetPropInfo(&conn, "Mode")->IsDefault(&conn));
}

class AdoConnectionTest : public AdoFixture {};

TEST_F(AdoConnectionTest, AMalformedStatementRaisesSqlitesMessage) {
  const String sql = "select * frm t_pact";
  try {
    Conn->Execute(sql);
    ADD_FAILURE() << "ran";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.DatabaseMessage(), "near \"frm\": syntax error");
    EXPECT_EQ(e.ErrorCode(), SQLITE_ERROR);
    EXPECT_EQ(e.Statement(), sql);
    EXPECT_NE(e.Message().find("syntax error"), String::npos);
    EXPECT_NE(e.Message().find(sql), String::npos);
  }
  // The same through a query, and a constraint failure carries its own code.
  auto q = Query("select nosuchcolumn from t_pact");
  try {
    q->Open();
    ADD_FAILURE() << "opened";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.DatabaseMessage(), "no such column: nosuchcolumn");
  }
  Conn->Execute("create table u (code TEXT(10) NOT NULL, constraint pk primary key (code))");
  Conn->Execute("insert into u values ('a')");
  try {
    Conn->Execute("insert into u values ('A')");
    ADD_FAILURE() << "duplicate accepted";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.ErrorCode() & 0xff, SQLITE_CONSTRAINT);
  }
}

TEST_F(AdoConnectionTest, ExecuteAnswersTheRowsChanged) {
  EXPECT_EQ(Conn->Execute("update t_pact set f_check='已终止' where CustName like '%beta%'"), 2);
  EXPECT_EQ(Conn->Execute("delete from t_pact_zj where PactCode='HT001'"), 3);
  EXPECT_EQ(Conn->Execute("delete from t_pact_zj where PactCode='nothing'"), 0);
  int n = -1;
  Conn->Execute("insert into tUser (UserName) values ('x')", n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(Conn->Execute("create table z (a TEXT(5))"), 0);
}

TEST_F(AdoConnectionTest, AValueWithQuotesRoundTripsThroughQuotedStr) {
  const String values[] = {"O'Brien", "it''s", "'", "say \"hi\"", "合同'甲'", "50% off_", "a;b"};
  for (const String& v : values) {
    SCOPED_TRACE(v);
    Conn->Execute("delete from tUser where userid > 2");
    Conn->Execute("insert into tUser (UserName) values (" + QuotedStr(v) + ")");
    EXPECT_EQ(Select("select UserName from tUser where UserName=" + QuotedStr(v)), Rows{v});
  }
}

TEST_F(AdoConnectionTest, TransactionsDoNotNestAndNeedBegin) {
  EXPECT_THROW(Conn->CommitTrans(), EADOError);
  EXPECT_THROW(Conn->RollbackTrans(), EADOError);
  EXPECT_EQ(Conn->BeginTrans(), 1);
  EXPECT_TRUE(Conn->InTransaction());
  EXPECT_THROW(Conn->BeginTrans(), EADOError);
  Conn->Execute("delete from tUser");
  Conn->CommitTrans();
  EXPECT_FALSE(Conn->InTransaction());
  EXPECT_EQ(Scalar("select count(*) from tUser"), "0");
}

TEST_F(AdoConnectionTest, AFailedStepInsideATransactionRolledBackLeavesTheFileAsBefore) {
  Conn->Close();
  const String before = Folder.Read("kelm.db");
  Conn->Open();
  auto pacts = Query("select * from t_pact order by PactCode");
  pacts->Open();
  Conn->BeginTrans();
  try {
    Conn->Execute("delete from t_pact_zj where pactcode='HT001'");
    pacts->Edit();
    pacts->FieldByName("PactName")->SetAsString("changed");
    pacts->Post();
    pacts->Append();
    pacts->FieldByName("PactCode")->SetAsString("HT100");
    pacts->Post();
    Conn->Execute("insert into t_pact (PactName) values ('without a code')");  // NOT NULL: fails
    Conn->CommitTrans();
    ADD_FAILURE() << "committed";
  } catch (const EADOError&) {
    Conn->RollbackTrans();
  }
  // The dataset shows what the file holds again.
  EXPECT_EQ(RowsOf(*pacts, "PactCode,PactName"), (Rows{"HT001|办公楼", "HT002|Road", "HT003|Bridge", "HT004|Tunnel"}));
  EXPECT_EQ(Scalar("select count(*) from t_pact_zj"), "5");
  Conn->Close();
  EXPECT_FALSE(pacts->Active());
  EXPECT_EQ(Folder.Read("kelm.db"), before);
}

TEST_F(AdoConnectionTest, CloseFoldsTheLogIntoTheFileSoACopyIsComplete) {
  Conn->Execute("insert into tUser (UserName) values ('late')");
  auto users = Query("select * from tUser");
  users->Open();
  ASSERT_EQ(Conn->DataSetCount(), 1);
  EXPECT_EQ(Conn->DataSets(0), users.get());
  Conn->Close();
  EXPECT_FALSE(users->Active());
  EXPECT_LE(FileSize(File + "-wal"), 0);
  String copy = Folder / "copy.db";
  ASSERT_TRUE(CopyFile(File, copy, true));
  TADOConnection other(nullptr);
  other.SetConnectionString(ConnectionStringFor(copy));
  other.Open();
  TADOQuery q(nullptr);
  q.SetConnection(&other);
  q.SQL()->SetText("select UserName from tUser order by userid");
  q.Open();
  EXPECT_EQ(RowsOf(q), (Rows{"Admin", "guest", "late"}));
}

TEST_F(AdoConnectionTest, TwoConnectionsShareTheFile) {
  TADOConnection second(nullptr);
  second.SetConnectionString(ConnectionStringFor(File));
  second.SetCommandTimeout(1);
  second.Open();
  TADOQuery seen(nullptr);
  seen.SetConnection(&second);
  seen.SQL()->SetText("select count(*) from tUser");

  Conn->BeginTrans();
  Conn->Execute("insert into tUser (UserName) values ('new')");
  // The second connection reads the last committed state while the first writes...
  seen.Open();
  EXPECT_EQ(seen.Fields()->Fields(0)->AsInteger(), 2);
  seen.Close();
  // ...and its own write waits for the lock, then fails instead of hanging.
  auto start = std::chrono::steady_clock::now();
  try {
    second.Execute("insert into tUser (UserName) values ('blocked')");
    ADD_FAILURE() << "wrote during the other's transaction";
  } catch (const EADOError& e) {
    EXPECT_EQ(e.ErrorCode() & 0xff, SQLITE_BUSY);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  Conn->CommitTrans();
  seen.Open();
  EXPECT_EQ(seen.Fields()->Fields(0)->AsInteger(), 3);
  EXPECT_EQ(second.Execute("insert into tUser (UserName) values ('after')"), 1);
  EXPECT_EQ(Scalar("select count(*) from tUser"), "4");
}

TEST_F(AdoConnectionTest, ScriptsMakeNewFilesOnlyAndLeaveNothingOnFailure) {
  EXPECT_THROW(CreateDatabaseFromScript(File, "create table x (a text(1))"), EADOError);
  String bad = Folder / "bad.db";
  try {
    CreateDatabaseFromScript(bad, "create table a (x TEXT(5));\ninsert into a values ('ok');\ninsert into nosuch values (1)");
    ADD_FAILURE() << "made";
  } catch (const EADOError& e) {
    EXPECT_NE(e.Message().find("nosuch"), String::npos);
  }
  EXPECT_FALSE(FileExists(bad));
  EXPECT_FALSE(FileExists(bad + "-wal"));
}

TEST_F(AdoConnectionTest, ConnectionEventsAndReconnect) {
  std::vector<String> log;
  Conn->SetBeforeDisconnect(TNotifyEvent::Lambda([&](TObject*) { log.push_back("before-disconnect"); }));
  Conn->SetAfterConnect(TNotifyEvent::Lambda([&](TObject*) { log.push_back("after-connect"); }));
  Conn->SetConnected(false);
  Conn->SetConnected(true);
  EXPECT_EQ(log, (Rows{"before-disconnect", "after-connect"}));
  Conn->SetBeforeDisconnect(nullptr);
  Conn->SetAfterConnect(nullptr);
  // A query on a closed connection connects it.
  Conn->Close();
  EXPECT_EQ(Select("select count(*) from t_pact"), Rows{"4"});
  EXPECT_TRUE(Conn->Connected());
}
