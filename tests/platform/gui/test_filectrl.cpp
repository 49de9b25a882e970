// Drive, folder, file and filter lists over a folder made for the test: masks compared
// without regard to case, the selected file's full name, the folder path with its subfolders,
// the links between the lists, and the backup window's way of restoring them.
#include "ListsTestUtil.h"

#include "gui/FileCtrl.h"
#include "core/FileUtils.h"
#include "gui/StdCtrls.h"

#include <QtCore/QTemporaryDir>

#include <fstream>

using namespace guitest;
using namespace stdtest;

namespace {

struct FileCtrlFixture : FormFixture {
  QTemporaryDir Tmp;
  String Root;
  TDriveComboBox* Drives = nullptr;
  TDirectoryListBox* Dirs = nullptr;
  TFileListBox* Files = nullptr;
  TLabel* DirLabel = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Root = Tmp.path().toStdString();
    for (const char* d : {"备份", "Archive"}) CreateDir(Root + "/" + d);
    for (const char* f : {"kelm.mdb", "Data.MDB", "notes.txt", ".hidden.mdb", "备份/old_bak2024-03-08.mdb"})
      std::ofstream(Root + "/" + f) << "x";
    SetDriveSource([this] { return std::vector<String>{"/", Root}; });
    Drives = Add<TDriveComboBox>(Rect(8, 8, 200, 29));
    Dirs = Add<TDirectoryListBox>(Rect(8, 36, 200, 200));
    Files = Add<TFileListBox>(Rect(208, 36, 350, 200));
    DirLabel = Add<TLabel>(Rect(208, 8, 350, 24));
    Files->SetMask("*.MDB");
    Drives->SetDirList(Dirs);
    Dirs->SetFileList(Files);
    Dirs->SetDirLabel(DirLabel);
  }
  void TearDown() override {
    FormFixture::TearDown();
    SetDriveSource(nullptr);
  }
  std::vector<String> Names(TCustomListBox* l) {
    std::vector<String> v;
    for (int i = 0; i < l->Count(); ++i) v.push_back(l->Items()->Strings(i));
    return v;
  }
};

}  // namespace

TEST_F(FileCtrlFixture, TheFileListShowsWhatTheMaskMatchesWithoutRegardToCase) {
  Files->SetDirectory(Root);
  EXPECT_EQ(Names(Files), (std::vector<String>{"Data.MDB", "kelm.mdb"})) << "hidden files and other names stay out";
  EXPECT_EQ(Files->FileName(), "") << "nothing is chosen yet";
  Files->SetItemIndex(1);
  EXPECT_EQ(Files->FileName(), Root + "/kelm.mdb");
  // Several masks, and folders when asked for.
  Files->SetMask("*.txt;*.MDB");
  EXPECT_EQ(Names(Files).size(), 3u);
  Files->SetFileType({ftNormal, ftDirectory});
  EXPECT_EQ(Names(Files).back(), "[备份]");
  // A file made meanwhile comes in with Update, and the chosen one stays chosen.
  Files->SetFileType({ftNormal});
  Files->SetMask("*.mdb");
  Files->SetItemIndex(Files->Items()->IndexOf("kelm.mdb"));
  std::ofstream(Root + "/Added.Mdb") << "x";
  Files->Update();
  EXPECT_EQ(Names(Files), (std::vector<String>{"Added.Mdb", "Data.MDB", "kelm.mdb"}));
  EXPECT_EQ(Files->FileName(), Root + "/kelm.mdb");
  // FileName opens a file's folder and chooses it.
  Files->SetFileName(Root + "/备份/old_bak2024-03-08.mdb");
  EXPECT_EQ(Files->Directory(), Root + "/备份");
  EXPECT_EQ(Files->ItemIndex(), 0);
}

TEST_F(FileCtrlFixture, TheFolderListShowsThePathAndItsSubfoldersAndLeadsTheOthers) {
  int changes = 0;
  Dirs->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  Dirs->SetDirectory(Root);
  EXPECT_EQ(changes, 1);
  std::vector<String> names = Names(Dirs);
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names.front(), "/");
  EXPECT_EQ(names[static_cast<std::size_t>(Dirs->ItemIndex())], ExtractFileName(Root)) << "the current folder is selected";
  EXPECT_EQ(names[names.size() - 2], "Archive");
  EXPECT_EQ(names.back(), "备份") << "its folders follow in name order";
  EXPECT_EQ(Dirs->GetItemPath(static_cast<int>(names.size()) - 1), Root + "/备份");
  EXPECT_EQ(Files->Directory(), Root) << "the linked file list follows";
  EXPECT_EQ(DirLabel->Caption(), Root);
  // A double click opens the folder under it.
  int sub = static_cast<int>(names.size()) - 1;
  TRect r = Dirs->ItemRect(sub);
  TPoint p{r.Left + 30, (r.Top + r.Bottom) / 2};
  Press(Dirs, p, Qt::LeftButton, 1000);
  Release(Dirs, p);
  SendMouse(Dirs, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  Release(Dirs, p);
  Application->ProcessMessages();
  EXPECT_EQ(Dirs->Directory(), Root + "/备份");
  EXPECT_EQ(Files->Directory(), Root + "/备份");
  EXPECT_EQ(Names(Files), std::vector<String>{"old_bak2024-03-08.mdb"});
  EXPECT_EQ(changes, 2);
  // A single click only selects.
  Click(Dirs, {Dirs->ItemRect(0).Left + 30, Dirs->ItemRect(0).Top + 5});
  Application->ProcessMessages();
  EXPECT_EQ(Dirs->Directory(), Root + "/备份");
}

TEST_F(FileCtrlFixture, AMissingFolderIsAnErrorAndAnEmptyOneNoChange) {
  Dirs->SetDirectory(Root);
  EXPECT_THROW(Dirs->SetDirectory(Root + "/nowhere"), EInOutError);
  EXPECT_EQ(Dirs->Directory(), Root);
  Dirs->SetDirectory("");
  EXPECT_EQ(Dirs->Directory(), Root) << "a folder never stored leaves the list where it is";
  // Names are found without regard to case, and '\' separates too.
  Dirs->SetDirectory(Root + "\\ARCHIVE");
  EXPECT_EQ(Dirs->Directory(), Root + "/Archive");
}

TEST_F(FileCtrlFixture, TheDriveListMovesTheFolderListToItsDrive) {
  EXPECT_EQ(Drives->Items()->Count(), 2);
  Dirs->SetDirectory(Root + "/Archive");
  EXPECT_EQ(Dirs->Drive(), Root) << "the folder lies on the test's drive";
  // Restoring a stored position selects the drive without moving the folder list; the stored
  // folder is set on its own, as the backup window does.
  Drives->SetItemIndex(0);
  EXPECT_EQ(Dirs->Directory(), Root + "/Archive");
  // Choosing a drive, as a user does, moves the folder list to it.
  int changes = 0;
  Drives->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  Drives->SetItemIndex(1);
  Drives->SetFocus();
  Key(Qt::Key_Up);
  EXPECT_EQ(Drives->Drive(), "/");
  EXPECT_EQ(Dirs->Directory(), "/");
  EXPECT_GE(changes, 1);
  Drives->SetDrive(Root);
  EXPECT_EQ(Dirs->Directory(), Root);
  EXPECT_EQ(Drives->ItemIndex(), 1);
}

TEST_F(FileCtrlFixture, TheFilterListGivesTheFileListItsMask) {
  auto* filter = Add<TFilterComboBox>(Rect(8, 210, 200, 231));
  filter->SetFilter("Access数据库|*.MDB|所有文件|*.*");
  filter->SetFileList(Files);
  Files->SetDirectory(Root);
  EXPECT_EQ(filter->Items()->CommaText(), "Access数据库,所有文件");
  EXPECT_EQ(filter->Mask(), "*.MDB");
  EXPECT_EQ(Files->Count(), 2);
  filter->SetFocus();
  Key(Qt::Key_Down);
  EXPECT_EQ(filter->Mask(), "*.*");
  EXPECT_EQ(Files->Mask(), "*.*");
  EXPECT_EQ(Files->Count(), 3);
}
