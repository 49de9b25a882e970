// Backup, restore and compaction from the main window, the options, the company details and
// the data initialisation: real windows driven offscreen, message boxes answered by a script.
#include "AppWindows.h"

#include "app/U_Backup.h"
#include "app/U_ClearData.h"
#include "app/U_Company.h"
#include "app/U_Option.h"
#include "app/U_Other.h"
#include "ReadOnlyFolder.h"
#include "grid/DBGridEh.h"
#include "gui/ToolBar.h"
#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "core/StrUtils.h"
#include "data/DatabaseFiles.h"
#include "gui/Dialogs.h"

#include <filesystem>

// A list window the compaction must close before it disconnects.
class TCompactListProbe : public TForm {
  KELM_CLASS(TCompactListProbe, TForm)
public:
  explicit TCompactListProbe(TComponent* AOwner) : TForm(AOwner) {
    SetFormStyle(fsMDIChild);
    SetBounds(0, 0, 300, 200);
  }
  static std::vector<bool>& ConnectedAtClose() {
    static std::vector<bool> log;
    return log;
  }

protected:
  void DoClose(TCloseAction& Action) override {
    ConnectedAtClose().push_back(Frm_Data->ADOConnection1->Connected());
    Action = caFree;
  }
};
KELM_PUBLISH(TCompactListProbe) {}

namespace {

class BackupSettingsTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    ForceDirectories(Folder / "Save");
  }
  // Config.ini as the backup window finds it.
  void Config(const String& lines) { Folder.Write("Config.ini", "[Config]\r\n" + lines); }
  // Opens the window through the action and plays the steps on it.
  void Through(TBasicAction* action, std::vector<TModalSteps::TStep> steps) {
    TModalSteps person(std::move(steps));
    action->Execute();
    EXPECT_FALSE(person.Overran());
  }
  static TModalSteps::TStep CloseIt() {
    return [](TCustomForm* f) { f->Close(); };
  }
  String Today() const { return FormatDateTime("yyyy-mm-dd", Date()); }
  std::vector<String> Texts(const TDialogScript& script) const {
    std::vector<String> t;
    for (const TDialogRequest& r : script.Asked()) t.push_back(r.Text);
    return t;
  }
  // The company name stored, as a marker of which content the database holds.
  String Marker() { return Scalar("select Company from T_Company"); }
  void SetMarker(const String& v) {
    Exec("delete from T_Company");
    Exec("insert into T_Company (Company) values (" + SqlStr(v) + ")");
  }
};

// ---------------------------------------------------------------- backup

TEST_F(BackupSettingsTest, BackupWritesTheDatedCopyIntoTheChosenFolderAndKeepsTheFolder) {
  Config("DBName=kelm\r\nDirectoryList=" + Folder / "Save" + "\r\n");
  SetMarker("first");
  TDialogScript script;
  script.Button(IDOK).Button(IDOK);
  TFrm_Backup* shown = nullptr;
  Through(Frm_Main->M_Backup, {[&](TCustomForm* f) {
                                 shown = static_cast<TFrm_Backup*>(f);
                                 EXPECT_EQ(f->Caption(), "数据库备份");
                                 EXPECT_FALSE(shown->lb_Notice->Visible());
                                 EXPECT_FALSE(shown->TabSheet1->TabVisible());
                                 EXPECT_FALSE(shown->TabSheet2->TabVisible());
                                 EXPECT_EQ(shown->PageControl1->ActivePage(), shown->TabSheet1);
                                 shown->Btn_Back->Click();
                               },
                               [&](TCustomForm*) {
                                 // A second copy the same day replaces the first.
                                 SetMarker("second");
                                 shown->Btn_Back->Click();
                                 EXPECT_GE(shown->FileListBox1->Items()->IndexOf("kelm_bak" + Today() + ".mdb"), 0);
                               },
                               CloseIt()});
  String copy = Folder / "Save/kelm_bak" + Today() + ".mdb";
  ASSERT_EQ(script.Asked().size(), 2u);
  EXPECT_EQ(script.Asked()[0].Text, "备份成功,文件备份在:" + copy);
  EXPECT_EQ(script.Asked()[0].Caption, "成功");
  EXPECT_EQ(script.Asked()[0].Flags, MB_OK | MB_ICONINFORMATION);
  EXPECT_EQ(CheckDatabaseFile(copy, *Frm_Data->ADOConnection1), "");
  std::vector<String> names;
  for (const auto& e : std::filesystem::directory_iterator(Folder / "Save")) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<String>{"kelm_bak" + Today() + ".mdb"});
  // The copy holds the second state; the folder is remembered for the next time.
  {
    TADOConnection c(nullptr);
    c.SetConnectionString("Data Source=" + copy);
    TADOQuery q(nullptr);
    q.SetConnection(&c);
    q.SQL()->SetText("select Company from T_Company");
    q.Open();
    EXPECT_EQ(q.Fields()->Fields(0)->AsString(), "second");
  }
  TIniFile ini(Folder / "Config.ini");
  EXPECT_EQ(ExcludeTrailingPathDelimiter(ini.ReadString("Config", "DirectoryList", "")),
            ExcludeTrailingPathDelimiter(Folder / "Save"));
}

// A killed backup's working copies, of any day, go with the next backup into that folder;
// files of other names stay.
TEST_F(BackupSettingsTest, BackupRemovesTheWorkingCopiesKilledBackupsLeft) {
  Config("DBName=kelm\r\nDirectoryList=" + Folder / "Save" + "\r\n");
  const String gone = "999999999";  // no process has this number
  const std::vector<String> leftovers = {".kelm_bak2024-03-01.mdb.tmp" + gone + "_0",
                                         ".kelm_bak2024-03-01.mdb.tmp" + gone + "_0-journal",
                                         ".kelm_bak" + Today() + ".mdb.tmp" + gone + "_4"};
  const std::vector<String> others = {".other_bak2024-03-01.mdb.tmp" + gone + "_0", "kelm_bak2024-03-01.mdb", "说明.txt"};
  for (const String& n : leftovers) Folder.Write("Save/" + n, "x");
  for (const String& n : others) Folder.Write("Save/" + n, "x");
  TDialogScript script;
  script.Button(IDOK);
  Through(Frm_Main->M_Backup, {[](TCustomForm* f) { static_cast<TFrm_Backup*>(f)->Btn_Back->Click(); }, CloseIt()});
  std::vector<String> names;
  for (const auto& e : std::filesystem::directory_iterator(Folder / "Save")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  std::vector<String> want = others;
  want.push_back("kelm_bak" + Today() + ".mdb");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(names, want);
}

TEST_F(BackupSettingsTest, BackupWithoutADatabaseNameFailsAndWritesNothing) {
  Config("DirectoryList=" + Folder / "Save" + "\r\n");
  TDialogScript script;
  script.Button(IDOK);
  Through(Frm_Main->M_Backup, {[](TCustomForm* f) { static_cast<TFrm_Backup*>(f)->Btn_Back->Click(); }, CloseIt()});
  EXPECT_EQ(Texts(script), std::vector<String>{"备份失败!"});
  EXPECT_EQ(script.Asked()[0].Caption, "警告");
  EXPECT_TRUE(std::filesystem::is_empty(Folder / "Save"));
  EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
}

TEST_F(BackupSettingsTest, BackupIntoAFolderThatCannotBeWrittenFails) {
  ForceDirectories(Folder / "Gone");
  Config("DBName=kelm\r\nDirectoryList=" + Folder / "Gone" + "\r\n");
  TDialogScript script;
  script.Button(IDOK);
  Through(Frm_Main->M_Backup, {[&](TCustomForm* f) {
                                 std::filesystem::remove(Folder / "Gone");
                                 static_cast<TFrm_Backup*>(f)->Btn_Back->Click();
                               },
                               CloseIt()});
  EXPECT_EQ(Texts(script), std::vector<String>{"备份失败!"});
  EXPECT_FALSE(DirectoryExists(Folder / "Gone"));
}

TEST_F(BackupSettingsTest, BackupIntoAReadOnlyFolderFailsAndLeavesNothingThere) {
  TReadOnlyFolder locked(Folder / "Locked");
  ASSERT_FALSE(locked.Writable()) << "this machine cannot make a folder read-only";
  Config("DBName=kelm\r\nDirectoryList=" + locked.Path() + "\r\n");
  TDialogScript script;
  script.Button(IDOK);
  Through(Frm_Main->M_Backup, {[](TCustomForm* f) { static_cast<TFrm_Backup*>(f)->Btn_Back->Click(); }, CloseIt()});
  EXPECT_EQ(Texts(script), std::vector<String>{"备份失败!"});
  EXPECT_TRUE(std::filesystem::is_empty(locked.Path()));
  EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
}

TEST_F(BackupSettingsTest, TheWindowShowsTheStoredDriveAndFolderAndStoresThemOnClosing) {
  ForceDirectories(Folder / "Other");
  SetDriveSource([this] { return std::vector<String>{"/", Folder.Path()}; });
  Config("DBName=kelm\r\nDrive=1\r\nDirectoryList=" + Folder / "Save" + "\r\n");
  Through(Frm_Main->M_Backup, {[](TCustomForm* f) {
                                 auto* w = static_cast<TFrm_Backup*>(f);
                                 EXPECT_EQ(w->DriveComboBox1->ItemIndex(), 1);
                                 EXPECT_EQ(w->DBName, "kelm");
                                 w->DriveComboBox1->SetItemIndex(0);
                                 w->DirectoryListBox1->SetDirectory(ExcludeTrailingPathDelimiter(w->DirectoryListBox1->Directory()) + "/../Other");
                               },
                               CloseIt()});
  SetDriveSource(nullptr);
  TIniFile ini(Folder / "Config.ini");
  EXPECT_EQ(ini.ReadInteger("Config", "Drive", -1), 0);
  EXPECT_EQ(ExcludeTrailingPathDelimiter(ini.ReadString("Config", "DirectoryList", "")),
            ExcludeTrailingPathDelimiter(Folder / "Other"));
  // A remembered folder that is gone leaves the list where it starts.
  Config("DBName=kelm\r\nDirectoryList=" + Folder / "Gone" + "\r\n");
  Through(Frm_Main->M_Backup, {CloseIt()});
}

// ---------------------------------------------------------------- restore

class RestoreTest : public BackupSettingsTest {
protected:
  void SetUp() override {
    BackupSettingsTest::SetUp();
    Config("DBName=kelm\r\nDirectoryList=" + Folder / "Save" + "\r\n");
    SetMarker("saved");
    BackupDatabase(*Frm_Data->ADOConnection1, Folder / "Save/good.mdb");
    SetMarker("current");
  }
  // The restore window with a file selected ('' for none) and "数据恢复" pressed.
  void RestoreThrough(const String& file) {
    Through(Frm_Main->M_Restore, {[&](TCustomForm* f) {
                                    auto* w = static_cast<TFrm_Backup*>(f);
                                    EXPECT_EQ(f->Caption(), "数据恢复");
                                    EXPECT_TRUE(w->lb_Notice->Visible());
                                    EXPECT_EQ(w->PageControl1->ActivePage(), w->TabSheet2);
                                    w->FileListBox1->Update();
                                    if (!file.empty()) w->FileListBox1->SetFileName(Folder / "Save/" + file);
                                    w->Btn_Store->Click();
                                  },
                                  CloseIt()});
    EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
  }
};

TEST_F(RestoreTest, AGoodBackupComesBackAfterTheWarning) {
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  RestoreThrough("good.mdb");
  EXPECT_EQ(Texts(script), (std::vector<String>{TFrm_Backup::RestoreQuestion, "数据恢复成功!"}));
  EXPECT_EQ(script.Asked()[0].Flags, MB_YESNO | MB_ICONINFORMATION);
  EXPECT_EQ(script.Asked()[1].Caption, "警告");
  EXPECT_EQ(Marker(), "saved");
}

TEST_F(RestoreTest, NoAnswerOrNoFileChangesNothingAndStaysConnected) {
  {
    TDialogScript script;
    script.Button(IDNO);
    RestoreThrough("good.mdb");
    EXPECT_EQ(Texts(script), std::vector<String>{TFrm_Backup::RestoreQuestion});
  }
  {
    TDialogScript script;
    script.Button(IDOK);
    RestoreThrough("");
    EXPECT_EQ(Texts(script), std::vector<String>{"请选择一个恢复的数据库"});
  }
  EXPECT_EQ(Marker(), "current");
}

TEST_F(RestoreTest, AFileThatIsNoSoundCopyOfThisDatabaseIsRefused) {
  String good;
  ASSERT_TRUE(ReadFileToString(Folder / "Save/good.mdb", good));
  Folder.Write("Save/text.mdb", "a text file renamed\r\n");
  Folder.Write("Save/half.mdb", good.substr(0, good.size() / 2));
  CreateDatabaseFromScript(Folder / "Save/other.mdb", "CREATE TABLE T_Company (Company TEXT(100))");
  for (const char* file : {"text.mdb", "half.mdb", "other.mdb"}) {
    SCOPED_TRACE(file);
    TDialogScript script;
    script.Button(IDYES).Button(IDOK);
    RestoreThrough(file);
    EXPECT_EQ(Texts(script), (std::vector<String>{TFrm_Backup::RestoreQuestion, "数据恢复失败!"}));
    EXPECT_EQ(Marker(), "current");
  }
}

// ---------------------------------------------------------------- compaction

TEST_F(BackupSettingsTest, CompactionClosesTheListsShrinksTheFileAndReconnects) {
  String file = Folder / "DataBase/kelm.mdb";
  Exec("insert into T_Company (Company) values ('kept')");
  for (int i = 0; i < 3000; ++i)
    Exec("insert into dict_combo (tablename, name) values ('bulk', " + SqlStr(String(300, 'x') + IntToStr(i)) + ")");
  Exec("delete from dict_combo where tablename = 'bulk'");
  Frm_Data->ADOConnection1->Close();  // the log folded in: the size is the file's
  Frm_Data->ADOConnection1->Open();
  Int64 before = FileSize(file);
  TCompactListProbe::ConnectedAtClose().clear();
  (new TCompactListProbe(Frm_Main))->Show();
  (new TCompactListProbe(Frm_Main))->Show();

  TDialogScript script;
  script.Button(IDOK);
  Frm_Main->Sys_Compact->Click();
  Application->ProcessMessages();
  EXPECT_EQ(Texts(script), std::vector<String>{"压缩数据库成功!"});
  EXPECT_EQ(TCompactListProbe::ConnectedAtClose(), (std::vector<bool>{true, true}));
  EXPECT_EQ(Frm_Main->MDIChildCount(), 0);
  EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
  EXPECT_LT(FileSize(file), before / 2);
  EXPECT_EQ(Scalar("select Company from T_Company where Company = 'kept'"), "kept");
  for (const auto& e : std::filesystem::directory_iterator(Folder / "DataBase"))
    EXPECT_FALSE(StartsText("~CP", e.path().filename().string())) << e.path();
}

TEST_F(BackupSettingsTest, CompactionOfAFileInUseFailsAndReconnects) {
  TADOConnection other(nullptr);
  other.SetConnectionString(Frm_Data->ConnectionString());
  other.Open();
  TDialogScript script;
  script.Button(IDOK);
  Frm_Main->Sys_Compact->Click();
  EXPECT_EQ(Texts(script), std::vector<String>{"压缩数据库失败!"});
  EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
  EXPECT_EQ(Scalar("select count(*) from T_SoftInfo"), "1");
}

TEST_F(BackupSettingsTest, LZCopyFileCopiesOrRaises) {
  Folder.Write("Save/a.txt", "content");
  TFrm_Main::LZCopyFile(Folder / "Save/a.txt", Folder / "Save/b.txt");
  EXPECT_EQ(Folder.Read("Save/b.txt"), "content");
  try {
    TFrm_Main::LZCopyFile(Folder / "Save/none.txt", Folder / "Save/c.txt");
    ADD_FAILURE() << "copied";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Error using LZCopy");
  }
  EXPECT_FALSE(FileExists(Folder / "Save/c.txt"));
}

// ---------------------------------------------------------------- options and company

TEST_F(BackupSettingsTest, OptionsStoreTheNameAndTheReminderDays) {
  TDialogScript script;
  script.Button(IDOK);
  Through(Frm_Main->M_Option, {[](TCustomForm* f) {
                                 auto* w = static_cast<TFrm_Option*>(f);
                                 EXPECT_EQ(f->Caption(), "选项设置");
                                 EXPECT_EQ(w->Edit_Name->Text(), "沃岚工程合同管理软件");
                                 EXPECT_EQ(w->edttxday->Text(), "7");
                                 w->Edit_Name->SetText("合同管家");
                                 w->edttxday->SetText("12");
                                 w->Btn_Ok->Click();
                               }});
  EXPECT_EQ(Texts(script), std::vector<String>{"修改成功!"});
  EXPECT_EQ(Scalar("select SoftName from T_SoftInfo"), "合同管家");
  EXPECT_EQ(Scalar("select txday from T_SoftInfo"), "12");
}

TEST_F(BackupSettingsTest, OptionsRefuseDaysThatAreNoNumberAndStoreNothing) {
  for (const char* days : {"abc", "", "  ", "1.5"}) {
    SCOPED_TRACE(String("'") + days + "'");
    std::unique_ptr<TFrm_Option> w(CreateForm<TFrm_Option>(Frm_Main));
    w->Show();
    w->Edit_Name->SetText("changed");
    w->edttxday->SetText(days);
    EXPECT_THROW(w->Btn_Ok->Click(), Exception);
    EXPECT_EQ(Scalar("select txday from T_SoftInfo"), "7");
    EXPECT_EQ(Scalar("select SoftName from T_SoftInfo"), "沃岚工程合同管理软件");
    EXPECT_NE(Frm_Data->Qry_Str->State(), dsEdit);
  }
}

TEST_F(BackupSettingsTest, CompanyDetailsMakeTheFirstRowTrimmedThenEditIt) {
  Exec("delete from T_Company");
  auto fill = [](TFrm_Company* w, const String& company) {
    w->Edit_Company->SetText("  " + company + " ");
    w->Edit_Contact->SetText("张三 ");
    w->Edit_Address->SetText(" O'Brien 路 1 号");
    w->Edit_Tel->SetText("010-1");
    w->Edit_Fax->SetText("");
    w->Edit_Email->SetText("a@b.c");
    EXPECT_EQ(w->Edit_Zip->MaxLength(), 6);
    w->Edit_Zip->SetText(" 100080");
    w->Btn_Ok->Click();
  };
  for (const char* company : {"甲公司", "乙公司"}) {
    TDialogScript script;
    script.Button(IDOK);
    Through(Frm_Main->M_Company, {[&](TCustomForm* f) {
                                    auto* w = static_cast<TFrm_Company*>(f);
                                    EXPECT_EQ(f->Caption(), "公司信息");
                                    EXPECT_EQ(w->Btn_Ok->Caption(), "确定(&S)");
                                    EXPECT_EQ(w->Btn_Exit->Caption(), "取消(&Q)");
                                    fill(w, company);
                                  }});
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "您的公司信息已保存！");
    EXPECT_EQ(script.Asked()[0].Caption, "警告");
  }
  EXPECT_EQ(Scalar("select count(*) from T_Company"), "1");
  const std::pair<const char*, const char*> stored[] = {
      {"Company", "乙公司"}, {"Contact", "张三"}, {"Address", "O'Brien 路 1 号"}, {"Zip", "100080"}, {"Fax", ""}};
  for (const auto& [column, value] : stored) EXPECT_EQ(Scalar(String("select ") + column + " from T_Company"), value) << column;
  // Shown again, the edits hold the row.
  Through(Frm_Main->M_Company, {[](TCustomForm* f) {
                                  EXPECT_EQ(static_cast<TFrm_Company*>(f)->Edit_Email->Text(), "a@b.c");
                                  static_cast<TFrm_Company*>(f)->Btn_Exit->Click();
                                }});
}

// ---------------------------------------------------------------- drop-down lists

TEST_F(BackupSettingsTest, DropDownListsAreEditedByTabAndReachTheColumnsThatOfferThem) {
  Exec("insert into dict_prj_detail (PrjCode, DocName, DocType) values ('P1', 'a.jpg', '照片')");
  auto names = [](TDataSet* q) {
    std::vector<String> n;
    for (q->First(); !q->Eof(); q->Next()) n.push_back(q->FieldByName("name")->AsString());
    return n;
  };
  TModalSteps person({[&](TCustomForm* f) {
    auto* w = static_cast<TFrm_Other*>(f);
    TADOQuery* q = Frm_Data->qryCombo;
    EXPECT_EQ(w->Caption(), "下拉框设置");
    EXPECT_EQ(w->ClientWidth(), 387);
    EXPECT_EQ(w->ClientHeight(), 329);
    std::vector<String> buttons;
    for (int i = 0; i < w->ToolBar1->ButtonCount(); ++i)
      buttons.push_back(w->ToolBar1->Buttons(i)->IsSeparator() ? "|" : w->ToolBar1->Buttons(i)->Caption());
    EXPECT_EQ(buttons, (std::vector<String>{"新增&A", "删除&D", "|", "保存&S", "|", "关闭&Q"}));
    EXPECT_EQ(w->PageControl1->ActivePage(), w->TabSheet1);
    EXPECT_EQ(names(q), (std::vector<String>{"总经理", "部门经理", "项目经理", "工程师", "职员"}));
    EXPECT_EQ(w->dgCombo->Columns()->Items(0)->Title()->Caption(), "下拉内容");
    ForceDirectories("screenshots");
    EXPECT_TRUE(GrabToPng(w, "screenshots/dropdown_lists_window.png"));
    // The second tab shows its own list.
    w->PageControl1->SetActivePageIndex(1);
    w->PageControl1Change(w->PageControl1);
    EXPECT_EQ(w->ListName(), "附件类型");
    EXPECT_EQ(names(q), (std::vector<String>{"图纸", "技术资料", "会议纪要", "照片", "其他"}));
    // A new entry posted by the grid alone belongs to the list at once.
    w->ToolButton3->Click();
    EXPECT_EQ(q->State(), dsInsert);
    q->FieldByName("name")->SetAsString("测试类型");
    q->Post();
    EXPECT_EQ(Scalar("select tablename from dict_combo where name='测试类型'"), "附件类型");
    // Deleting an entry leaves the rows that hold its text.
    ASSERT_TRUE(q->Locate("name", Variant(String("照片")), TLocateOptions()));
    w->ToolButton5->Click();
    EXPECT_EQ(Scalar("select count(*) from dict_combo where name='照片'"), "0");
    EXPECT_EQ(Scalar("select DocType from dict_prj_detail where PrjCode='P1'"), "照片");
    // Save stores a pending change and gives every row the list's name.
    ASSERT_TRUE(q->Locate("name", Variant(String("其他")), TLocateOptions()));
    q->Edit();
    q->FieldByName("name")->SetAsString("其它");
    w->ToolButton7->Click();
    EXPECT_EQ(Scalar("select count(*) from dict_combo where tablename='附件类型'"), "5");
    EXPECT_EQ(Scalar("select count(*) from dict_combo where name='其它' and tablename='附件类型'"), "1");
    w->TB_Exit->Click();
  }});
  Frm_Main->N22->Click();
  EXPECT_EQ(person.Met(), std::vector<String>{"TFrm_Other"});
  EXPECT_FALSE(person.Overran());
  EXPECT_FALSE(Frm_Data->qryCombo->OnNewRecord()) << "the window freed, the query no longer calls it";
  // A column whose Dict_Combo names the list offers the new entry and no longer the deleted one.
  std::unique_ptr<TForm> host(new TForm(Application));
  auto* grid = new TDBGridEh(host.get());
  grid->SetParent(host.get());
  auto* docs = new TADOQuery(host.get());
  docs->SetConnection(Frm_Data->ADOConnection1);
  Frm_Data->OpenQuery(docs, "select * from dict_prj_detail");
  auto* source = new TDataSource(host.get());
  source->SetDataSet(docs);
  grid->SetDataSource(source);
  Frm_Main->BuildGridColumns(grid, docs, "dict_prj_detail");
  TColumnEh* type = nullptr;
  for (int i = 0; i < grid->Columns()->Count(); ++i)
    if (grid->Columns()->Items(i)->FieldName() == "DocType") type = grid->Columns()->Items(i);
  ASSERT_NE(type, nullptr);
  EXPECT_GE(type->PickList()->IndexOf("测试类型"), 0);
  EXPECT_EQ(type->PickList()->IndexOf("照片"), -1);
}

// ---------------------------------------------------------------- data initialisation

class ClearDataTest : public BackupSettingsTest {
protected:
  void SetUp() override {
    BackupSettingsTest::SetUp();
    Exec("delete from Dict_ClearData");
    const char* rows[][3] = {
        {"员工身份", "delete from dict_combo where tablename='员工身份'", "true"},
        {"公司", "delete from T_Company", "false"},
        {"附件", "delete from dict_combo where tablename='附件类型'", "true"},
        {"员工身份", "delete from dict_combo", "true"},
        {"坏的", "delete from no_such_table", "true"},
    };
    for (auto& r : rows)
      Exec(String("insert into Dict_ClearData (Action, SQL, F_Flag) values (") + SqlStr(r[0]) + ", " + SqlStr(r[1]) +
           ", " + r[2] + ")");
    SetMarker("company");
    Window.reset(CreateForm<TFrm_ClearData>(Application));
    Window->Show();
  }
  void TearDown() override {
    Window.reset();
    BackupSettingsTest::TearDown();
  }
  std::vector<String> Offered() {
    std::vector<String> items;
    for (int i = 0; i < Window->CLB_Data->Items()->Count(); ++i)
      items.push_back(Window->CLB_Data->Items()->Strings(i) + (Window->CLB_Data->Checked(i) ? "+" : "-"));
    return items;
  }
  void TickOnly(std::initializer_list<int> ticked) {
    for (int i = 0; i < Window->CLB_Data->Items()->Count(); ++i) Window->CLB_Data->SetChecked(i, false);
    for (int i : ticked) Window->CLB_Data->SetChecked(i, true);
  }
  String Count(const String& list) {
    return Scalar("select count(*) from dict_combo where tablename = " + SqlStr(list));
  }
  std::unique_ptr<TFrm_ClearData> Window;
};

TEST_F(ClearDataTest, OfferedStepsAreListedTicked) {
  EXPECT_EQ(Window->Caption(), "数据初始化");
  EXPECT_EQ(Offered(), (std::vector<String>{"员工身份+", "附件+", "员工身份+", "坏的+"}));
}

TEST_F(ClearDataTest, NoneTickedRunsNothingAndSucceeds) {
  String before = Count("员工身份");
  TickOnly({});
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  Window->Btn_OK->Click();
  EXPECT_EQ(Texts(script), (std::vector<String>{TFrm_ClearData::Question, "数据初始化成功!"}));
  EXPECT_EQ(script.Asked()[0].DlgType, mtConfirmation);
  EXPECT_EQ(Count("员工身份"), before);
  EXPECT_EQ(Marker(), "company");
}

TEST_F(ClearDataTest, TheFirstRowOfATextRunsForEachTickedEntryAndOpenListsReadAgain) {
  TADOQuery* list = Frm_Data->qrySelect;
  Frm_Data->OpenQuery(list, "select * from dict_combo");
  int rows = list->RecordCount();
  int staff = StrToInt(Count("员工身份"));
  ASSERT_GT(staff, 0);
  ASSERT_NE(Count("附件类型"), "0");
  TickOnly({0, 2});  // both "员工身份" entries; the second row's wider statement never runs
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  Window->Btn_OK->Click();
  EXPECT_EQ(Texts(script), (std::vector<String>{TFrm_ClearData::Question, "数据初始化成功!"}));
  EXPECT_EQ(Count("员工身份"), "0");
  EXPECT_NE(Count("附件类型"), "0");
  EXPECT_EQ(Marker(), "company");  // not offered, never run
  EXPECT_TRUE(list->Active());
  EXPECT_EQ(list->RecordCount(), rows - staff);
}

TEST_F(ClearDataTest, AFailingStepUndoesTheWholeRun) {
  String staff = Count("员工身份"), files = Count("附件类型");
  TDialogScript script;
  script.Button(IDYES).Button(IDOK);
  Window->Btn_OK->Click();  // all ticked, the last one fails
  EXPECT_EQ(Texts(script), (std::vector<String>{TFrm_ClearData::Question, "数据初始化失败!"}));
  EXPECT_EQ(Count("员工身份"), staff);
  EXPECT_EQ(Count("附件类型"), files);
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
}

TEST_F(ClearDataTest, AnythingButYesRunsNothing) {
  String files = Count("附件类型");
  TDialogScript script;
  script.Button(IDNO);
  Window->Btn_OK->Click();
  EXPECT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(Count("附件类型"), files);
}

TEST_F(ClearDataTest, TheMenuOpensTheWindow) {
  Window.reset();
  TModalSteps person({[&](TCustomForm* f) {
    EXPECT_EQ(f->ClassName(), String("TFrm_ClearData"));
    EXPECT_EQ(static_cast<TFrm_ClearData*>(f)->CLB_Data->Items()->Count(), 4);
    static_cast<TFrm_ClearData*>(f)->Btn_Exit->Click();
  }});
  Frm_Main->cleardata->Click();
  EXPECT_FALSE(person.Overran());
}

}  // namespace

namespace {

TEST_F(BackupSettingsTest, ScreenshotsOfTheRestoreAndInitialisationWindows) {
  ForceDirectories("screenshots");
  Config("DBName=kelm\r\nDirectoryList=" + Folder / "Save" + "\r\n");
  Through(Frm_Main->M_Restore, {[](TCustomForm* f) {
                                  Application->ProcessMessages();
                                  EXPECT_TRUE(GrabToPng(f, "screenshots/restore_window.png"));
                                  f->Close();
                                }});
  std::unique_ptr<TFrm_ClearData> w(CreateForm<TFrm_ClearData>(Application));
  w->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(GrabToPng(w.get(), "screenshots/cleardata_window.png"));
  EXPECT_GT(FileSize("screenshots/cleardata_window.png"), 1000);
}

}  // namespace
