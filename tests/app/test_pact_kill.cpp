// A contract save cut short by the death of its process, at each step from staging the
// files to settling them: after the program starts again and its recovery pass runs, the
// database and PactDoc/ hold all of the contract or none of it.
#include "PactTest.h"

#include "app/AttachmentFiles.h"
#include "core/FileUtils.h"

#include <csignal>
#include <filesystem>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

class PactKillTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    pactfixture::Install(Frm_Data->ADOConnection1, Folder.Path(), Date());
    Outside.Write("断电附件.txt", String(200000, 'k'));
    Outside.Write("第二'附件.txt", "second");
    // The driver is the only program on the file while it runs.
    Frm_Data->ADOConnection1->Close();
  }

  // Runs the driver; the signal that ended it, or 0 when it exited (its code in Code).
  int RunDriver(const char* Scenario, const String& KillAt, int& Code) {
    std::vector<String> env;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "KELM_KILL_AT=", 13) != 0) env.push_back(*e);
    if (!KillAt.empty()) env.push_back("KELM_KILL_AT=" + KillAt);
    std::vector<char*> envp;
    for (String& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    String exe = KELM_PACT_SAVE_DRIVER, folder = Folder.Path(), a = Outside / "断电附件.txt", b = Outside / "第二'附件.txt";
    String scenario = Scenario;
    char* argv[] = {exe.data(), folder.data(), scenario.data(), a.data(), b.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
      ADD_FAILURE() << "cannot start " << exe;
      return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }

  // The next start: the database opened again and the attachments recovered.
  void Restart() {
    Frm_Data->ADOConnection1->Open();
    RecoverAllAttachments();
  }

  String Db(const String& sql) { return Scalar(sql); }
  int Count(const char* Table, const String& Code) {
    return StrToInt(Db(String("select count(*) from ") + Table + " where PactCode=" + SqlStr(Code)));
  }
  TFolderContent PactDoc() const { return FolderContent(Folder / "PactDoc"); }

  TempFolder Outside;
};

struct TKillCase {
  const char* Step;  // "" runs the save to its end
  bool Stored;       // the save counts as done at this step
};
const TKillCase kKillCases[] = {
    {"staged", false}, {"contract-posted", false}, {"batch-applied", false},
    {"committed", true}, {"file-settled", true}, {"", true},
};

TEST_F(PactKillTest, AnAddKilledAtAnyStepLeavesAllOfTheContractOrNone) {
  TFolderContent before = PactDoc();
  for (const TKillCase& k : kKillCases) {
    SCOPED_TRACE(*k.Step ? k.Step : "not killed");
    int code = 0;
    int signal = RunDriver("add", k.Step, code);
    if (*k.Step) ASSERT_EQ(signal, SIGKILL) << "the save never reached the step";
    else ASSERT_EQ(code, 0);
    Restart();
    TFolderContent files = PactDoc();
    if (k.Stored) {
      EXPECT_EQ(Count("t_pact", "HT-K"), 1);
      EXPECT_EQ(Count("t_pact_zj", "HT-K"), 2);
      EXPECT_EQ(Count("t_pact_jh", "HT-K"), 1);
      EXPECT_EQ(Count("t_pact_doc", "HT-K"), 2);
      TFolderContent expected = before;
      expected["断电附件.txt"] = String(200000, 'k');
      expected["第二'附件.txt"] = "second";
      EXPECT_EQ(files, expected);
      // The next try starts from a clean slate.
      Exec("delete from t_pact where PactCode='HT-K'");
      for (const char* t : {"t_pact_zj", "t_pact_jh", "t_pact_doc"})
        Exec(String("delete from ") + t + " where PactCode='HT-K'");
      DeleteFile(Folder / "PactDoc/断电附件.txt");
      DeleteFile(Folder / "PactDoc/第二'附件.txt");
    } else {
      for (const char* t : {"t_pact", "t_pact_zj", "t_pact_jh", "t_pact_doc"}) EXPECT_EQ(Count(t, "HT-K"), 0) << t;
      EXPECT_EQ(Db("select count(*) from t_pact_zj where PactCode is null or PactCode=''"), "0");
      EXPECT_EQ(files, before);
    }
    Frm_Data->ADOConnection1->Close();
  }
}

TEST_F(PactKillTest, AnEditKilledAtAnyStepLeavesAllOfTheChangeOrNone) {
  TFolderContent before = PactDoc();
  for (const TKillCase& k : kKillCases) {
    SCOPED_TRACE(*k.Step ? k.Step : "not killed");
    int code = 0;
    int signal = RunDriver("edit", k.Step, code);
    if (*k.Step) ASSERT_EQ(signal, SIGKILL) << "the save never reached the step";
    else ASSERT_EQ(code, 0);
    Restart();
    TFolderContent files = PactDoc();
    bool done = k.Stored;
    EXPECT_EQ(Db("select PactMoney from t_pact where PactCode='HT01'"), done ? "510000" : "500000");
    EXPECT_EQ(Count("t_pact_zj", "HT01"), done ? 4 : 3);
    EXPECT_EQ(Db("select count(*) from t_pact_doc where DocName='施工图.txt'"), done ? "0" : "1");
    EXPECT_EQ(Count("t_pact_doc", "HT01"), done ? 3 : 2);
    TFolderContent expected = before;
    if (done) {
      expected.erase("施工图.txt");
      expected["断电附件.txt"] = String(200000, 'k');
      expected["第二'附件.txt"] = "second";
    }
    EXPECT_EQ(files, expected);
    if (done) {
      // HT01 as the fixture made it, for the next step.
      Exec("update t_pact set PactMoney=500000 where PactCode='HT01'");
      Exec("delete from t_pact_zj where PactCode='HT01' and money=777");
      Exec("delete from t_pact_doc where DocName in ('断电附件.txt', '第二''附件.txt')");
      Exec("insert into t_pact_doc (PactCode, DocName, DocType, DocPath) values ('HT01', '施工图.txt', '合同正本', " +
           SqlStr(pactfixture::DocumentPath(Folder.Path(), "施工图.txt")) + ")");
      DeleteFile(Folder / "PactDoc/断电附件.txt");
      DeleteFile(Folder / "PactDoc/第二'附件.txt");
      Folder.Write("PactDoc/施工图.txt", "文件 施工图.txt");
    }
    Frm_Data->ADOConnection1->Close();
  }
}

}  // namespace
