// The shell: files, folders and links handed to the desktop's handler, and failures that tell
// what could not be opened.
#include "MenuTestUtil.h"

#include "gui/Dialogs.h"
#include "core/FileUtils.h"
#include "gui/Forms.h"
#include "gui/Shell.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Replaces the desktop while alive: records what it is asked to open.
struct ShellFixture : ::testing::Test {
  std::vector<String> Opened;
  bool Succeeds = true;
  TShellHandler Previous;
  QTemporaryDir Dir;
  void SetUp() override {
    Previous = SetShellHandler([this](const String& url) {
      Opened.push_back(url);
      return Succeeds;
    });
  }
  void TearDown() override { SetShellHandler(Previous); }
  String Make(const char* name) {
    String p = Dir.filePath(QString::fromUtf8(name)).toStdString();
    std::ofstream(p) << "x";
    return p;
  }
  static String LocalFile(const String& url) { return QUrl(QString::fromStdString(url)).toLocalFile().toStdString(); }
};

}  // namespace

TEST_F(ShellFixture, AnExistingFileOrFolderOpensAsAFileUrl) {
  String file = Make("合同 附件.doc");
  ShellOpen(file);
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0].rfind("file://", 0), 0u) << Opened[0];
  EXPECT_EQ(LocalFile(Opened[0]), file) << "blanks and Chinese survive the encoding";

  // Backslashes and another case find the same file.
  String folder = Dir.path().toStdString();
  String windowsName = folder + "\\合同 附件.DOC";
  ShellOpen(windowsName);
  EXPECT_EQ(LocalFile(Opened[1]), file);
  ShellOpen(folder);
  EXPECT_EQ(LocalFile(Opened[2]), folder);
  ShellShowInFolder(file);
  EXPECT_EQ(LocalFile(Opened[3]), folder) << "the file manager opens on its folder";
}

// A name from data opens only the file of exactly that name in its folder, as a local file:
// never a link, a file of another spelling or one outside the folder.
TEST_F(ShellFixture, AFolderFileOpensOnlyAsThatFileOfThatFolder) {
  Make("doc.txt");
  Make("Other.txt");
  Make("outside.txt");
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Docs"));
  std::ofstream(Dir.filePath("Docs/a.txt").toStdString()) << "x";
  const String docs = Dir.filePath("Docs").toStdString();
  ShellOpenFolderFile(docs, "a.txt");
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(LocalFile(Opened[0]), Dir.filePath("Docs/a.txt").toStdString());
  for (const char* name : {"../outside.txt", "..\\outside.txt", "smb://host/share/x.desktop", "http://example.com/a",
                           "A.txt", "a.txt ", "", "..", "."}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(ShellOpenFolderFile(docs, name), EShellError);
  }
  EXPECT_THROW(ShellOpenFolderFile(docs, Dir.filePath("outside.txt").toStdString()), EShellError);
  EXPECT_EQ(Opened.size(), 1u);
}

TEST_F(ShellFixture, LinksKeepTheirSchemeAndAMailSubjectSurvives) {
  ShellOpen("mailto:support@example.com?subject=改进意见");
  ShellOpen("https://www.example.com/产品");
  ASSERT_EQ(Opened.size(), 2u);
  QUrl mail(QString::fromStdString(Opened[0]));
  EXPECT_EQ(mail.scheme(), "mailto");
  EXPECT_EQ(QUrlQuery(mail).queryItemValue("subject", QUrl::FullyDecoded), QString::fromUtf8("改进意见"));
  EXPECT_EQ(QUrl(QString::fromStdString(Opened[1])).path(), QString::fromUtf8("/产品"));

  struct Case {
    const char* Url;
    bool Safe;
  };
  const Case cases[] = {{"http://a.b", true},         {"HTTPS://a.b/x", true},  {"mailto:x@y", true},
                        {"file:///etc/passwd", false}, {"javascript:alert(1)", false}, {"C:\\x.doc", false},
                        {"", false}};
  for (const Case& c : cases) EXPECT_EQ(IsSafeLinkUrl(c.Url), c.Safe) << c.Url;
}

TEST_F(ShellFixture, FailuresNameTheTargetAndNeverPassSilently) {
  String missing = Dir.filePath("没有的文件.xls").toStdString();
  try {
    ShellOpen(missing);
    FAIL() << "a missing file must not open";
  } catch (const EShellError& e) {
    EXPECT_NE(e.Message().find("没有的文件.xls"), String::npos) << e.Message();
    EXPECT_NE(e.Message().find("does not exist"), String::npos) << e.Message();
  }
  EXPECT_TRUE(Opened.empty()) << "the handler was not asked";
  EXPECT_THROW(ShellOpen("  "), EShellError);

  String file = Make("report.xls");
  Succeeds = false;
  try {
    ShellOpen(file);
    FAIL() << "a handler that fails must be reported";
  } catch (const EShellError& e) {
    EXPECT_EQ(e.Message(), "No program could open \"" + file + "\".");
  }
}

TEST_F(ShellFixture, ShellExecuteReturnsTheCodeAndTellsTheUserWhy) {
  mnutest::TTitleScope title("合同管理");
  String file = Make("导出.xls");
  struct Case {
    const char* Operation;
    String File;
    bool HandlerWorks;
    bool Ok;
  };
  const Case cases[] = {
      {"open", file, true, true},
      {"", "导出.xls", true, true},  // relative to the directory given
      {"explore", file, true, true},
      {"open", Dir.filePath("nope.xls").toStdString(), true, false},
      {"open", file, false, false},
      {"print", file, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Operation) + " " + c.File);
    Succeeds = c.HandlerWorks;
    TDialogScript script;
    script.Button(IDOK);
    HINSTANCE r = ShellExecute(0, c.Operation, c.File, "", Dir.path().toStdString(), SW_SHOWNORMAL);
    EXPECT_EQ(r > 32, c.Ok);
    if (c.Ok) {
      EXPECT_TRUE(script.Asked().empty());
    } else {
      ASSERT_EQ(script.Asked().size(), 1u) << "the user is told";
      EXPECT_EQ(script.Asked()[0].Caption, "合同管理");
      EXPECT_EQ(script.Asked()[0].Flags & MB_ICONMASK, MB_ICONERROR);
      EXPECT_NE(script.Asked()[0].Text.find(ExtractFileName(c.File)), String::npos) << script.Asked()[0].Text;
    }
  }
  TDialogScript script;
  EXPECT_EQ(ShellExecute(0, "open", Dir.filePath("nope.xls").toStdString(), "", "", 1), SE_ERR_FNF);
  EXPECT_EQ(script.Unanswered(), 1) << "the box came, unanswered here";
}
