// Making database files: comments in scripts, refusing to overwrite, leaving nothing behind
// on failure; the kelm-mkdb program and the layout of the program folder.
#include "data/ADODB.h"
#include "core/FileUtils.h"
#include "core/IniFiles.h"
#include "tools/MakeDatabase.h"
#include "core/Resources.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace {

std::vector<String> FolderEntries(const String& folder) {
  std::vector<String> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

int CountRows(const String& file, const String& sql) {
  TADOConnection c(nullptr);
  c.SetConnectionString("Data Source=" + file);
  c.Open();
  TADOQuery q(nullptr);
  q.SetConnection(&c);
  q.SQL()->SetText(sql);
  q.Open();
  return q.RecordCount();
}

struct TRun {
  int ExitCode = -1;
  String Output;  // standard output and error together
};

TRun RunCommand(const String& commandLine) {
  TRun r;
  FILE* p = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) r.Output += buf;
  int status = ::pclose(p);
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

String Quoted(const String& s) { return "'" + s + "'"; }

TEST(MakeDatabaseFile, MakesTheFileAndNothingElse) {
  TempFolder dir;
  String file = dir / "sub/folder/made.mdb";
  MakeDatabaseFile(file,
                   "-- a table with a note\n"
                   "create table a (x TEXT(10), n LONG); -- it's a table; really\n"
                   "insert into a (x, n) values ('-- not a comment', 1);\n");
  ASSERT_TRUE(FileExists(file));
  EXPECT_EQ(FolderEntries(dir / "sub/folder"), std::vector<String>{"made.mdb"});
  EXPECT_EQ(CountRows(file, "select * from a where x='-- not a comment'"), 1);
}

TEST(MakeDatabaseFile, NeverOverwritesAnExistingFile) {
  struct {
    const char* Existing;
    const char* Asked;
  } cases[] = {{"kelm.mdb", "kelm.mdb"}, {"KELM.MDB", "kelm.mdb"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Existing);
    TempFolder dir;
    dir.Write(c.Existing, "the user's data");
    EXPECT_THROW(MakeDatabaseFile(dir / c.Asked, "create table a (x TEXT(10));"), EMakeDatabaseError);
    EXPECT_EQ(dir.Read(c.Existing), "the user's data");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<String>{c.Existing});
  }
}

TEST(MakeDatabaseFile, FailingScriptLeavesNothingBehind) {
  const char* scripts[] = {
      "create table a (x TEXT(10));\ninsert into nosuch values (1);",
      "create table a (x TEXT(10));\ncreate table b (y NOSUCHTYPE);",
      "create table a (x TEXT(10));\ninsert into a values ('unterminated);",
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    TempFolder dir;
    EXPECT_THROW(MakeDatabaseFile(dir / "kelm.mdb", script), Exception);
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
  }
}

TEST(MakeDatabaseFile, DefaultScriptMakesTheProgramsDatabase) {
  TempFolder dir;
  String file = dir / "DataBase/kelm.mdb";
  MakeDatabaseFile(file, LoadResourceString(DefaultSchemaResource));
  EXPECT_EQ(CountRows(file, "select * from tUser where UserName='Admin'"), 1);
  // the file alone is the database: no log beside it
  EXPECT_EQ(FolderEntries(dir / "DataBase"), std::vector<String>{"kelm.mdb"});
}

TEST(MkdbProgram, ExitCodesAndMessages) {
  TempFolder dir;
  const String mkdb = Quoted(KELM_MKDB_PATH);
  String file = dir / "DataBase/kelm.mdb";

  TRun made = RunCommand(mkdb + " " + Quoted(file));
  EXPECT_EQ(made.ExitCode, 0) << made.Output;
  ASSERT_TRUE(FileExists(file));
  EXPECT_EQ(CountRows(file, "select * from T_SoftInfo"), 1);

  TRun again = RunCommand(mkdb + " " + Quoted(file));
  EXPECT_NE(again.ExitCode, 0);
  EXPECT_NE(again.Output.find("exists"), String::npos) << again.Output;
  EXPECT_EQ(CountRows(file, "select * from T_SoftInfo"), 1);

  dir.Write("bad.sql", "create table a (x TEXT(10));\ninsert into nosuch values (1);\n");
  TRun bad = RunCommand(mkdb + " " + Quoted(dir / "bad.mdb") + " " + Quoted(dir / "bad.sql"));
  EXPECT_NE(bad.ExitCode, 0);
  EXPECT_NE(bad.Output.find("nosuch"), String::npos) << bad.Output;
  EXPECT_FALSE(dir.Exists("bad.mdb"));

  TRun missing = RunCommand(mkdb + " " + Quoted(dir / "other.mdb") + " " + Quoted(dir / "missing.sql"));
  EXPECT_NE(missing.ExitCode, 0);
  EXPECT_FALSE(dir.Exists("other.mdb"));

  EXPECT_EQ(RunCommand(mkdb).ExitCode, 2);
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<String>{"DataBase", "bad.sql"}));
}

// The build lays out the program folder; running it again keeps what is there. The tool,
// cmake and the layout script are those of this build (see this folder's CMakeLists.txt).
TEST(ProgramFolderLayout, MadeOnceAndNeverReplaced) {
  TempFolder bin;
  const String layout = Quoted(KELM_CMAKE_COMMAND) + " -DBIN=" + Quoted(bin.Path() + "bin") +
                        " -DMKDB=" + Quoted(KELM_MKDB_PATH) + " -P " + Quoted(KELM_BIN_LAYOUT_SCRIPT);
  TRun first = RunCommand(layout);
  ASSERT_EQ(first.ExitCode, 0) << first.Output;
  EXPECT_EQ(CountRows(bin / "bin/DataBase/kelm.mdb", "select * from tUser"), 1);
  {
    TIniFile ini(bin / "bin/Config.ini");
    EXPECT_EQ(ini.ReadString("Config", "DBName", ""), "kelm");
  }
  EXPECT_TRUE(DirectoryExists(bin / "bin/Reports"));
  EXPECT_TRUE(FolderEntries(bin / "bin/Reports").empty());

  // the user's database and settings survive the next build
  std::filesystem::remove(bin / "bin/DataBase/kelm.mdb");
  bin.Write("bin/DataBase/kelm.mdb", "the user's database");
  bin.Write("bin/Config.ini", "[Config]\r\nDBName=kelm\r\n[login]\r\nusername=0\r\n");
  TRun second = RunCommand(layout);
  ASSERT_EQ(second.ExitCode, 0) << second.Output;
  EXPECT_EQ(bin.Read("bin/DataBase/kelm.mdb"), "the user's database");
  EXPECT_EQ(bin.Read("bin/Config.ini"), "[Config]\r\nDBName=kelm\r\n[login]\r\nusername=0\r\n");
  EXPECT_EQ(FolderEntries(bin / "bin/DataBase"), std::vector<String>{"kelm.mdb"});
}

}  // namespace
