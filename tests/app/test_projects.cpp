// The project list and the project dialog over a few projects of the test's own, driven
// offscreen by clicks and keys: the list at opening and after searches by key, date and
// state, the documents and note following the current project, the state commands, the
// document and column commands; the dialog's checks in their order, saves in both modes with
// their documents, the all-or-nothing save, the attachments and the pickers; the main
// window's project actions.
//
//   code   name          type  customer  manager  set up             state   documents
//   XM01   滨江大桥      桥梁  华建集团  张工     the month's 1st    执行中  施工图.txt, 扫描件.txt
//   XM'02  O'Neil 广场   商业  绿源科技  李工     today              已终止  O'Neil 方案.txt
//   XM03   旧厂改造      厂房  华建集团  张工     the day before 1st 执行中
//   XM04   地铁站        -     绿源科技  李工     today              已结束
//   XM05   未来园区      园区  华建集团  张工     tomorrow           执行中
#include "AppInput.h"
#include "AppWindows.h"

#include "app/AttachmentFiles.h"
#include "app/U_FieldShow.h"
#include "app/ufrmPrj.h"
#include "app/ufrmPrjAdd.h"
#include "app/ufrmSelect.h"
#include "core/DateUtils.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/Shell.h"

#include <sqlite3.h>

#include <memory>
#include <set>

namespace {

using namespace appinput;
using TCodes = std::set<String>;

struct TProjectRow {
  const char* Code;
  const char* Name;
  const char* Type;  // nullptr: none
  const char* Cust;
  const char* Man;
  int SetUp;  // 0 the month's first day, 1 today, -1 the day before the first, 2 tomorrow
  const char* State;
};
const TProjectRow kProjects[] = {
    {"XM01", "滨江大桥", "桥梁", "华建集团", "张工", 0, "执行中"},
    {"XM'02", "O'Neil 广场", "商业", "绿源科技", "李工", 1, "已终止"},
    {"XM03", "旧厂改造", "厂房", "华建集团", "张工", -1, "执行中"},
    {"XM04", "地铁站", nullptr, "绿源科技", "李工", 1, "已结束"},
    {"XM05", "未来园区", "园区", "华建集团", "张工", 2, "执行中"},
};
const TCodes kAll = {"XM01", "XM'02", "XM03", "XM04", "XM05"};
const TCodes kThisMonth = {"XM01", "XM'02", "XM04"};

class ProjectsTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Today = Date();
    // Noon of today all through the test: no midnight comes between the rows and the window.
    Clock = std::make_unique<TClockOverride>(Today + 0.5);
    First = StartOfTheMonth(Today);
    Install();
    LoginAsAdminAndShow();
  }
  void TearDown() override {
    Dlg.reset();
    Clock.reset();
    AppWindowsTest::TearDown();
  }

  TDateTime SetUpDay(int Which) const {
    switch (Which) {
      case 0: return First;
      case 1: return Today;
      case -1: return First - 1;
      default: return Today + 1;
    }
  }
  void Install() {
    for (const TProjectRow& p : kProjects)
      Exec("insert into dict_prj (PrjCode, PrjName, PrjType, CustName, PrjMan, PrjDate, BeginDate, EndDate, PrjNote, "
           "f_check) values (" + SqlStr(p.Code) + ", " + SqlStr(p.Name) + ", " +
           (p.Type ? SqlStr(p.Type) : String("null")) + ", " + SqlStr(p.Cust) + ", " + SqlStr(p.Man) + ", " +
           SqlDate(SetUpDay(p.SetUp)) + ", " + SqlDate(Today) + ", " + SqlDate(Today + 300) + ", " +
           SqlStr(String(p.Name) + "的说明") + ", " + SqlStr(p.State) + ")");
    for (auto [code, name] : {std::pair{"XM01", "施工图.txt"}, {"XM01", "扫描件.txt"}, {"XM'02", "O'Neil 方案.txt"}})
      AddStoredDocument(code, name);
    Exec("insert into t_custom (CustCode, CustName, CustType) values ('KH01', '华建集团', '客户')");
    Exec("insert into t_custom (CustCode, CustName, CustType) values ('KH02', '绿源科技', '供应商')");
    Exec("insert into dict_emp (EmpName, EmpSex) values ('张工', '男')");
    Exec("insert into dict_emp (EmpName, EmpSex) values ('李工', '女')");
  }
  void AddStoredDocument(const String& Code, const String& Name) {
    ForceDirectories(Folder / "PrjDoc");
    Folder.Write("PrjDoc/" + Name, "文件 " + Name);
    Exec("insert into dict_prj_detail (PrjCode, DocName, DocPath, DocDate) values (" + SqlStr(Code) + ", " +
         SqlStr(Name) + ", " + SqlStr(StoredPath(Name)) + ", " + SqlDate(Today - 1) + ")");
  }
  // The path a document row holds, as the program writes it.
  String StoredPath(const String& Name) const { return Folder.Path() + "PrjDoc\\" + Name; }

  // ---- the list

  void OpenList() {
    ClickOn(Frm_Main->ToolButton5);  // "项目管理"
    W = frmPrj;
    ASSERT_NE(W, nullptr);
  }
  TADOQuery* Prj() const { return Frm_Data->qryPrj; }
  TADOQuery* Docs() const { return Frm_Data->qryPrjDoc; }
  // The values of Field over the rows of Data, in its order; its current row stays.
  static std::vector<String> Column(TDataSet* Data, const char* Field) {
    std::vector<String> values;
    if (!Data->Active()) return values;
    String back = Data->Bookmark();
    Data->DisableControls();
    for (Data->First(); !Data->Eof(); Data->Next()) values.push_back(Data->FieldByName(Field)->AsString());
    if (!back.empty() && Data->BookmarkValid(back)) Data->GotoBookmark(back);
    Data->EnableControls();
    return values;
  }
  TCodes Listed() const {
    std::vector<String> v = Column(Prj(), "PrjCode");
    return TCodes(v.begin(), v.end());
  }
  TCodes DocNames(TDataSet* Data) const {
    std::vector<String> v = Column(Data, "DocName");
    return TCodes(v.begin(), v.end());
  }
  // The middle of the first column's cell of the row whose Field is Value.
  static TPoint RowPoint(TDBGridEh* Grid, TDataSet* Data, const char* Field, const String& Value) {
    std::vector<String> v = Column(Data, Field);
    auto it = std::find(v.begin(), v.end(), Value);
    EXPECT_NE(it, v.end()) << Value;
    TRect r = Grid->CellRect(Grid->DataToRawColumn(0), Grid->TopDataOffset() + static_cast<int>(it - v.begin()));
    return Middle(r);
  }
  void ClickProject(const String& Code) {
    guitest::Click(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", Code));
    Application->ProcessMessages();
    ASSERT_EQ(Prj()->FieldByName("PrjCode")->AsString(), Code);
  }
  void ChooseSearchField(TComboBox* Combo, const String& Title) {
    Combo->SetFocus();
    Key(Qt::Key_Home);
    for (int i = 0; i < Combo->Items()->Count() && Combo->Text() != Title; ++i) Key(Qt::Key_Down);
    ASSERT_EQ(Combo->Text(), Title);
  }
  void Search(const String& Title, const String& KeyText) {
    ChooseSearchField(W->cmbField, Title);
    ClickOn(W->edtKey);
    TypeOver(KeyText);
    ClickOn(W->Btn_Search);
  }
  String Db(const String& Sql) { return Scalar(Sql); }
  String StateOf(const String& Code) { return Db("select f_check from dict_prj where PrjCode=" + SqlStr(Code)); }

  // ---- the dialog

  // The dialog as the actions make it, shown without a loop of its own so a test can drive it.
  void OpenDialog(Byte Mode) {
    Dlg.reset(CreateForm<TfrmPrjAdd>(nullptr));
    Dlg->AddMode = Mode;
    Dlg->Show();
    Application->ProcessMessages();
  }
  void OpenToEdit(const String& Code) {
    ASSERT_TRUE(Prj()->Locate("PrjCode", Code, {}));
    Application->ProcessMessages();
    OpenDialog(0);
  }
  TADOQuery* DlgDocs() const { return Frm_Data->qryPrjDocAdd; }
  // The five required fields: the typed ones by keys, the picked ones as the picker leaves them.
  void Fill(const String& Code, const String& Name, const String& Type = "桥梁") {
    TypeIntoEdit(Dlg->edtPrjName, Name);
    TypeIntoEdit(Dlg->edtPrjType, Type);
    TypeIntoEdit(Dlg->edtPrjCode, Code);
    DeliverRecordPick("t_custom", "华建集团");
    DeliverRecordPick("dict_emp", "张工");
  }
  void ShowDocumentsPage() {
    Dlg->pcDetail->SetActivePage(Dlg->tsPrjDoc);
    Application->ProcessMessages();
  }
  // Attaches a file through the open dialog; the boxes after it are answered OK.
  void Attach(const String& Path) {
    ShowDocumentsPage();
    Script.File(Path);
    ClickOn(Dlg->btnAdd);
  }
  void Save() { ClickOn(Dlg->btnPost); }
  String MakeFile(const String& Name, const String& Content) {
    Outside.Write(Name, Content);
    return Outside / Name;
  }
  // The documents stored for a project: name and path.
  std::vector<String> StoredDocuments(const String& Code) {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, "select DocName, DocPath from dict_prj_detail where PrjCode=" + SqlStr(Code) +
                               " order by DocName");
    std::vector<String> rows;
    for (q->First(); !q->Eof(); q->Next()) rows.push_back(q->Fields()->Fields(0)->AsString() + "|" +
                                                          q->Fields()->Fields(1)->AsString());
    return rows;
  }
  void RefuseDocuments(bool On) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
    const char* sql = On ? "create trigger refuse_documents before insert on dict_prj_detail "
                           "begin select raise(abort, '附件被拒绝'); end"
                         : "drop trigger refuse_documents";
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  // The texts of the boxes asked since the last call.
  std::vector<String> NewBoxes() {
    std::vector<String> texts;
    for (; FSeen < Script.Asked().size(); ++FSeen)
      if (Script.Asked()[FSeen].Kind == dkMessageBox || Script.Asked()[FSeen].Kind == dkMessageDlg)
        texts.push_back(Script.Asked()[FSeen].Text);
    return texts;
  }

  TDateTime Today = 0;
  TDateTime First = 0;
  std::unique_ptr<TClockOverride> Clock;
  TfrmPrj* W = nullptr;
  std::unique_ptr<TfrmPrjAdd> Dlg;
  TempFolder Outside;  // files a user attaches from elsewhere
  // Answers every dialog of the test; boxes nobody queued an answer for are closed as their
  // Cancel (or OK) and recorded.
  TDialogScript Script;

private:
  std::size_t FSeen = 0;
};

// ---------------------------------------------------------------- the list

TEST_F(ProjectsTest, TheListOpensWithEveryProjectAndTheFirstSearchKeepsThoseSetUpThisMonth) {
  OpenList();
  EXPECT_EQ(W->Caption(), "项目信息");
  EXPECT_EQ(Listed(), kAll) << "the list starts unfiltered";
  std::vector<String> fields;
  for (int i = 0; i < W->cmbField->Items()->Count(); ++i) fields.push_back(W->cmbField->Items()->Strings(i));
  EXPECT_EQ(fields, (std::vector<String>{"项目编号", "项目名称", "项目类型", "客户名称", "项目经理", "建立日期", "起始日期",
                                         "终止日期", "项目状态", "项目说明"}));
  EXPECT_EQ(W->cmbField->Text(), "项目编号");
  EXPECT_EQ(W->edtKey->Text(), "");
  EXPECT_EQ(W->dtBeginDate->Date(), First);
  EXPECT_EQ(Trunc(W->dtEndDate->Date()), Trunc(Today));

  ClickOn(W->Btn_Search);
  EXPECT_EQ(Listed(), kThisMonth);
  EXPECT_EQ(W->StatusBar1->Panels()->Items(0)->Text(), "当前共有 3 条记录");
  ClickOn(W->RadioButton3);  // "已终止"
  EXPECT_EQ(W->StateFilter, "已终止");
  EXPECT_EQ(Listed(), TCodes{"XM'02"});
  EXPECT_EQ(W->StatusBar1->Panels()->Items(0)->Text(), "当前共有 1 条记录");
  ClickOn(W->RadioButton4);  // "已结束"
  EXPECT_EQ(Listed(), TCodes{"XM04"});
  ClickOn(W->RadioButton1);  // "全部"
  EXPECT_EQ(W->StateFilter, "");
  EXPECT_EQ(Listed(), kThisMonth);

  // The hidden menu's action finds the same window.
  int children = Frm_Main->MDIChildCount();
  Frm_Main->M_Project->Execute();
  EXPECT_EQ(frmPrj, W);
  EXPECT_EQ(Frm_Main->MDIChildCount(), children);
  EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(ProjectsTest, AKeyIsFoundAsTypedAndAnEmptyKeyKeepsRowsWithoutTheColumn) {
  OpenList();
  struct TCase {
    const char* Field;
    String Key;
    TCodes Found;
  };
  const TCase cases[] = {
      {"项目名称", "O'Neil", {"XM'02"}},
      {"项目编号", "M'0", {"XM'02"}},
      {"项目经理", "张", {"XM01"}},
      {"项目类型", "", kThisMonth},  // XM04 has no type
      {"建立日期", FormatDateTime("yyyy-mm-dd", Today), {"XM'02", "XM04"}},
      {"项目名称", "无此项目", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.Field) + " " + c.Key);
    Search(c.Field, c.Key);
    EXPECT_EQ(Listed(), c.Found);
    EXPECT_EQ(W->StatusBar1->Panels()->Items(0)->Text(), TFrm_Main::RecordCountText(static_cast<int>(c.Found.size())));
  }
  EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(ProjectsTest, DocumentsAndNoteFollowTheCurrentProjectAndGoWithIt) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  EXPECT_EQ(DocNames(Docs()), (TCodes{"施工图.txt", "扫描件.txt"}));
  EXPECT_EQ(W->mmPrjNote->Text(), "滨江大桥的说明");
  EXPECT_GT(W->dgPrjDoc->Columns()->Count(), 0);
  ClickProject("XM'02");
  EXPECT_EQ(DocNames(Docs()), TCodes{"O'Neil 方案.txt"});
  EXPECT_EQ(W->mmPrjNote->Text(), "O'Neil 广场的说明");
  ClickProject("XM04");
  EXPECT_TRUE(DocNames(Docs()).empty());
  // A search that finds nothing leaves no project's documents or note on show.
  ClickProject("XM01");
  Search("项目名称", "无此项目");
  EXPECT_TRUE(Listed().empty());
  EXPECT_TRUE(DocNames(Docs()).empty());
  EXPECT_EQ(W->mmPrjNote->Text(), "");
}

TEST_F(ProjectsTest, AStateCommandChangesTheCurrentProjectOnly) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  struct TCase {
    const char* Entry;
    const char* State;
  };
  for (const TCase& c : {TCase{"项目已终止", "已终止"}, TCase{"项目已结束", "已结束"}, TCase{"项目执行中", "执行中"}}) {
    SCOPED_TRACE(c.Entry);
    EXPECT_TRUE(ChooseFromPopup(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", "XM01"), c.Entry));
    EXPECT_EQ(StateOf("XM01"), c.State);
    EXPECT_EQ(Prj()->FieldByName("f_check")->AsString(), c.State);
    for (const TProjectRow& p : kProjects)
      if (String(p.Code) != "XM01") { EXPECT_EQ(StateOf(p.Code), p.State) << p.Code; }
  }
  // On an empty list the commands do nothing.
  Search("项目名称", "无此项目");
  W->N15Click(W->N15);
  for (const TProjectRow& p : kProjects)
    if (String(p.Code) != "XM01") { EXPECT_EQ(StateOf(p.Code), p.State) << p.Code; }
  EXPECT_EQ(Prj()->State(), dsBrowse);
  EXPECT_TRUE(NewBoxes().empty());
}

// The file a document opens is the one its name names in PrjDoc/, whatever its path says: a
// link or a path elsewhere never reaches the desktop, and a name that is no file name opens
// nothing.
TEST_F(ProjectsTest, DocumentsOpenOnlyTheFileTheirNameNamesInPrjDoc) {
  Exec("update dict_prj_detail set DocPath='smb://host/share/x.desktop' where DocName='施工图.txt'");
  Exec("update dict_prj_detail set DocName='../Config.ini', DocPath='/etc/passwd' where DocName='扫描件.txt'");
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  TPoint p = RowPoint(W->dgPrjDoc, Docs(), "DocName", "施工图.txt");
  guitest::Click(W->dgPrjDoc, p);
  Application->ProcessMessages();
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件"));
  EXPECT_EQ(opened, std::vector<String>{ShellTargetUrl(Folder / "PrjDoc/施工图.txt")});
  EXPECT_TRUE(NewBoxes().empty());

  p = RowPoint(W->dgPrjDoc, Docs(), "DocName", "../Config.ini");
  guitest::Click(W->dgPrjDoc, p);
  Application->ProcessMessages();
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件"));
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件夹"));
  EXPECT_EQ(opened.size(), 1u) << opened.back();
  EXPECT_EQ(NewBoxes(), (std::vector<String>{DocumentNameText + String("../Config.ini"),
                                             DocumentNameText + String("../Config.ini")}));
  SetShellHandler(previous);
}

TEST_F(ProjectsTest, DocumentsOpenThroughTheShellAndAMissingFileIsTold) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  TPoint p = RowPoint(W->dgPrjDoc, Docs(), "DocName", "施工图.txt");
  guitest::Click(W->dgPrjDoc, p);
  Application->ProcessMessages();
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件"));
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件夹"));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], ShellTargetUrl(StoredPath("施工图.txt")));
  EXPECT_EQ(opened[1], ShellTargetUrl(Folder / "PrjDoc")) << "the folder";
  EXPECT_TRUE(NewBoxes().empty());

  DeleteFile(Folder / "PrjDoc/施工图.txt");
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, p, "打开文件夹"));
  EXPECT_EQ(opened.size(), 2u);
  std::vector<String> boxes = NewBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "文件不存在：" + StoredPath("施工图.txt"));
  // A project without documents: both do nothing.
  ClickProject("XM04");
  W->N1Click(W->N1);
  W->N2Click(W->N2);
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_TRUE(NewBoxes().empty());
  SetShellHandler(previous);
}

TEST_F(ProjectsTest, ColumnsAreSavedAndChosenFromThePopups) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  W->dgPrj->Columns()->Items(1)->SetWidth(211);
  EXPECT_TRUE(ChooseFromPopup(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", "XM01"), "保存列属性"));
  EXPECT_EQ(Db("select width from T_FieldShow where tablename='dict_prj' and field='PrjName'"), "211");
  W->dgPrjDoc->Columns()->Items(0)->SetWidth(123);
  EXPECT_TRUE(ChooseFromPopup(W->dgPrjDoc, RowPoint(W->dgPrjDoc, Docs(), "DocName", "施工图.txt"), "保存列属性"));
  EXPECT_EQ(Db("select width from T_FieldShow where tablename='dict_prj_detail' and field='DocName'"), "123");
  EXPECT_EQ(NewBoxes(), (std::vector<String>{TFrm_Main::ColumnsSavedText, TFrm_Main::ColumnsSavedText}));

  String chosen;
  TModalSteps steps({[&](TCustomForm* m) {
    auto* chooser = dynamic_cast<TFrm_FieldShow*>(m);
    ASSERT_NE(chooser, nullptr);
    chosen = chooser->TableName;
    chooser->Btn_exit->Click();
  }});
  EXPECT_TRUE(ChooseFromPopup(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", "XM01"), "设置列显示"));
  EXPECT_EQ(chosen, "dict_prj");
  EXPECT_FALSE(steps.Overran());

  // The dialog's documents grid keeps its columns under a list of its own.
  OpenToEdit("XM01");
  ShowDocumentsPage();
  Dlg->dgPrjDocAdd->Columns()->Items(0)->SetWidth(147);
  EXPECT_TRUE(ChooseFromPopup(Dlg->dgPrjDocAdd, RowPoint(Dlg->dgPrjDocAdd, DlgDocs(), "DocName", "施工图.txt"),
                              "保存列属性"));
  EXPECT_EQ(Db("select width from T_FieldShow where tablename='dict_prj_detail_add' and field='DocName'"), "147");
  EXPECT_EQ(Db("select width from T_FieldShow where tablename='dict_prj_detail' and field='DocName'"), "123");
  EXPECT_EQ(NewBoxes(), std::vector<String>{TFrm_Main::ColumnsSavedText});
}

TEST_F(ProjectsTest, ADoubleClickEditsTheProjectOnlyWhileEditingIsAllowed) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM'02");
  String code, name;
  Byte mode = 9;
  {
    TModalSteps steps({[&](TCustomForm* m) {
      auto* d = dynamic_cast<TfrmPrjAdd*>(m);
      ASSERT_NE(d, nullptr);
      mode = d->AddMode;
      code = d->edtPrjCode->Text();
      name = d->edtPrjName->Text();
      d->btnClose->Click();
    }});
    DoubleClickAt(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", "XM'02"));
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ(steps.Met().size(), 1u);
  }
  EXPECT_EQ(mode, 0);
  EXPECT_EQ(code, "XM'02");
  EXPECT_EQ(name, "O'Neil 广场");
  Frm_Main->PrjEdit->SetEnabled(false);
  {
    TModalSteps steps({[](TCustomForm* m) { m->SetModalResult(mrCancel); }});
    DoubleClickAt(W->dgPrj, RowPoint(W->dgPrj, Prj(), "PrjCode", "XM'02"));
    EXPECT_TRUE(steps.Met().empty()) << "no dialog without the right to edit";
  }
}

// ---------------------------------------------------------------- the dialog

TEST_F(ProjectsTest, TheDialogShowsItsFieldsAndPagesAsDesignedAndLoadsTheProjectToEdit) {
  OpenList();
  ClickOn(W->Btn_Search);
  OpenDialog(1);
  EXPECT_EQ(Dlg->Caption(), "项目信息维护");
  EXPECT_EQ(frmPrjAdd, Dlg.get());
  EXPECT_EQ(Dlg->btnSelectCust->Caption(), "选择客户");
  EXPECT_EQ(Dlg->btnSelectEmp->Caption(), "选择项目经理");
  EXPECT_TRUE(Dlg->edtCustName->ReadOnly());
  EXPECT_TRUE(Dlg->edtPrjMan->ReadOnly());
  EXPECT_EQ(Dlg->tsPrjNote->Caption(), "项目说明");
  EXPECT_EQ(Dlg->tsPrjDoc->Caption(), "项目附件");
  for (TDateTimePicker* d : {Dlg->dtPrjDate, Dlg->dtBeginDate, Dlg->dtEndDate}) EXPECT_EQ(Trunc(d->Date()), Trunc(Today));
  EXPECT_EQ(Dlg->OldCode, "");
  EXPECT_TRUE(DocNames(DlgDocs()).empty());
  EXPECT_GT(Dlg->dgPrjDocAdd->Columns()->Count(), 0);
  Dlg.reset();
  EXPECT_EQ(frmPrjAdd, nullptr);

  OpenToEdit("XM01");
  EXPECT_EQ(Dlg->OldCode, "XM01");
  struct TField_ {
    TEdit* Edit;
    const char* Text;
  };
  for (const TField_& f : {TField_{Dlg->edtPrjName, "滨江大桥"}, TField_{Dlg->edtPrjType, "桥梁"},
                           TField_{Dlg->edtPrjCode, "XM01"}, TField_{Dlg->edtCustName, "华建集团"},
                           TField_{Dlg->edtPrjMan, "张工"}})
    EXPECT_EQ(f.Edit->Text(), f.Text);
  EXPECT_EQ(Dlg->dtPrjDate->Date(), First);
  EXPECT_EQ(Trunc(Dlg->dtEndDate->Date()), Trunc(Today + 300));
  EXPECT_EQ(Dlg->mmPrjNote->Text(), "滨江大桥的说明");
  EXPECT_EQ(DocNames(DlgDocs()), (TCodes{"施工图.txt", "扫描件.txt"}));
}

TEST_F(ProjectsTest, TwoProjectsSavedInOneShowingKeepEachItsOwnDocuments) {
  OpenList();
  ClickOn(W->Btn_Search);
  OpenDialog(1);
  Fill("XM10", "湖畔新区");
  TypeIntoEdit(Dlg->mmPrjNote, "第一个");
  Attach(MakeFile("方案甲.txt", "甲"));
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(StoredDocuments("XM10"), std::vector<String>{"方案甲.txt|" + StoredPath("方案甲.txt")});
  EXPECT_EQ(Folder.Read("PrjDoc/方案甲.txt"), "甲");
  EXPECT_EQ(Db("select PrjName & '|' & PrjType & '|' & CustName & '|' & PrjMan & '|' & PrjNote & '|' & f_check "
                "from dict_prj where PrjCode='XM10'"),
            "湖畔新区|桥梁|华建集团|张工|第一个|执行中");
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM10' and PrjDate=" + SqlDate(Today)), "1")
      << "whole days";
  // The dialog stays for the next project, empty, without documents.
  EXPECT_EQ(Dlg->edtPrjCode->Text(), "");
  EXPECT_EQ(Dlg->edtCustName->Text(), "");
  EXPECT_EQ(Dlg->mmPrjNote->Text(), "");
  EXPECT_TRUE(DocNames(DlgDocs()).empty());
  // The list shows the new project at once, with its documents and note.
  EXPECT_TRUE(Listed().count("XM10"));
  EXPECT_EQ(DocNames(Docs()), TCodes{"方案甲.txt"});
  EXPECT_EQ(W->mmPrjNote->Text(), "第一个");

  Fill("XM11", "山顶公园", "园林");
  Attach(MakeFile("方案乙.txt", "乙"));
  Attach(MakeFile("方案丙.txt", "丙"));
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(StoredDocuments("XM10"), std::vector<String>{"方案甲.txt|" + StoredPath("方案甲.txt")});
  EXPECT_EQ(StoredDocuments("XM11"), (std::vector<String>{"方案丙.txt|" + StoredPath("方案丙.txt"),
                                                          "方案乙.txt|" + StoredPath("方案乙.txt")}));
  EXPECT_EQ(Folder.Read("PrjDoc/方案乙.txt"), "乙");
  EXPECT_FALSE(DirectoryExists(Folder / "PrjDoc/~staging")) << "nothing waits once saved";
  EXPECT_TRUE(Listed().count("XM10") && Listed().count("XM11"));
  EXPECT_EQ(DocNames(Docs()), (TCodes{"方案乙.txt", "方案丙.txt"}));
}

TEST_F(ProjectsTest, TheChecksRefuseInTheirOrderBeforeAnythingIsWritten) {
  OpenList();
  ClickOn(W->Btn_Search);
  String before = Db("select count(*) from dict_prj");
  struct TCase {
    Byte Mode;
    const char* Edit;  // the project edited; '' to add
    const char *Code, *Name, *Type;
    bool Picked;
    const char* Box;
    TEdit* TfrmPrjAddComponents::*Focus;
  };
  const TCase cases[] = {
      {1, "", "XM01", "滨江大桥", "", false, "项目编号重复，请您重新录入！", &TfrmPrjAddComponents::edtPrjCode},
      {1, "", "XM20", "滨江大桥", "", false, "项目名称重复，请您重新录入！", &TfrmPrjAddComponents::edtPrjName},
      {1, "", "XM20", "新项目", "", true, "红色显示的字段不能为空，请您重新录入！", nullptr},
      {1, "", "XM20", "新项目", "桥梁", false, "红色显示的字段不能为空，请您重新录入！", nullptr},
      // Editing, another project's code or name is refused with the same boxes.
      {0, "XM04", "XM'02", "地铁站", "站房", true, "项目编号重复，请您重新录入！", &TfrmPrjAddComponents::edtPrjCode},
      {0, "XM04", "XM04", "O'Neil 广场", "站房", true, "项目名称重复，请您重新录入！", &TfrmPrjAddComponents::edtPrjName},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Box + String(" ") + c.Code + " " + c.Name);
    if (c.Mode == 1) OpenDialog(1);
    else OpenToEdit(c.Edit);
    TypeIntoEdit(Dlg->edtPrjCode, c.Code);
    TypeIntoEdit(Dlg->edtPrjName, c.Name);
    TypeIntoEdit(Dlg->edtPrjType, c.Type);
    if (c.Mode == 1 && c.Picked) {
      DeliverRecordPick("t_custom", "华建集团");
      DeliverRecordPick("dict_emp", "张工");
    }
    Save();
    std::vector<String> boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], c.Box);
    const TDialogRequest& box = Script.Asked().back();
    EXPECT_EQ(box.Caption, "提示");
    EXPECT_EQ(box.Flags, MB_OK | MB_ICONWARNING);
    if (c.Focus) { EXPECT_EQ(Screen->ActiveControl(), Dlg.get()->*c.Focus); }
    EXPECT_TRUE(Dlg->Visible());
    EXPECT_EQ(Db("select count(*) from dict_prj"), before);
    EXPECT_EQ(Db("select PrjName & '|' & PrjType from dict_prj where PrjCode='XM04'"), "地铁站|");
  }
  // Its own code and name are no duplicate of the project edited.
  OpenToEdit("XM04");
  TypeIntoEdit(Dlg->edtPrjType, "站房");
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(Db("select PrjName & '|' & PrjType from dict_prj where PrjCode='XM04'"), "地铁站|站房");
  EXPECT_EQ(Dlg->ModalResult(), mrOk);
}

TEST_F(ProjectsTest, AnEditedCodeIsWrittenIntoEveryDocumentShownAndTheListFollows) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  OpenToEdit("XM01");
  TypeIntoEdit(Dlg->edtPrjCode, "XM01-A");
  TypeIntoEdit(Dlg->mmPrjNote, "改过的说明");
  // A document added in the same edit goes under the new code too.
  Attach(MakeFile("变更单.txt", "变更"));
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(Dlg->ModalResult(), mrOk);
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM01'"), "0");
  EXPECT_EQ(Db("select PrjName from dict_prj where PrjCode='XM01-A'"), "滨江大桥");
  EXPECT_EQ(StoredDocuments("XM01-A"), (std::vector<String>{"变更单.txt|" + StoredPath("变更单.txt"),
                                                            "扫描件.txt|" + StoredPath("扫描件.txt"),
                                                            "施工图.txt|" + StoredPath("施工图.txt")}));
  EXPECT_TRUE(StoredDocuments("XM01").empty());
  EXPECT_EQ(StoredDocuments("XM'02").size(), 1u);
  EXPECT_EQ(W->mmPrjNote->Text(), "改过的说明");
  EXPECT_EQ(DocNames(Docs()), (TCodes{"变更单.txt", "扫描件.txt", "施工图.txt"}));
  EXPECT_EQ(Prj()->FieldByName("PrjCode")->AsString(), "XM01-A");
}

TEST_F(ProjectsTest, AFailingDocumentSaveStoresNothingAndKeepsTheInputForAnotherTry) {
  OpenList();
  ClickOn(W->Btn_Search);
  RefuseDocuments(true);
  OpenDialog(1);
  Fill("XM30", "码头扩建");
  TypeIntoEdit(Dlg->mmPrjNote, "码头");
  Attach(MakeFile("码头图.txt", "码头"));
  Save();
  std::vector<String> boxes = NewBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("附件被拒绝"), String::npos) << boxes[0];
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM30'"), "0");
  EXPECT_TRUE(StoredDocuments("XM30").empty());
  EXPECT_FALSE(Listed().count("XM30")) << "the list keeps no failed row";
  EXPECT_EQ(Listed(), kThisMonth);
  EXPECT_EQ(Prj()->State(), dsBrowse);
  EXPECT_FALSE(FileExists(Folder / "PrjDoc/码头图.txt")) << "no file without its row";
  // The input and the document row stay.
  EXPECT_EQ(Dlg->edtPrjCode->Text(), "XM30");
  EXPECT_EQ(Dlg->edtPrjName->Text(), "码头扩建");
  EXPECT_EQ(Dlg->edtCustName->Text(), "华建集团");
  EXPECT_EQ(Dlg->mmPrjNote->Text(), "码头");
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{"码头图.txt"});

  RefuseDocuments(false);
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(StoredDocuments("XM30"), std::vector<String>{"码头图.txt|" + StoredPath("码头图.txt")});
  EXPECT_EQ(Folder.Read("PrjDoc/码头图.txt"), "码头");
  EXPECT_EQ(Db("select count(*) from dict_prj where PrjCode='XM30'"), "1");
}

TEST_F(ProjectsTest, AnAttachmentIsRefusedForATakenNameOrAFailedCopy) {
  OpenList();
  OpenDialog(1);
  // A name stored for another project, and one attached in this showing but not saved.
  Attach(MakeFile("施工图.txt", "另一个"));
  Attach(MakeFile("新图.txt", "新"));
  Attach(MakeFile("sub/新图.txt", "同名"));
  EXPECT_EQ(NewBoxes(), (std::vector<String>{"文件名重复，请您重新更改此文件的文件名！",
                                             "文件名重复，请您重新更改此文件的文件名！"}));
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{"新图.txt"});
  EXPECT_EQ(Folder.Read("PrjDoc/施工图.txt"), "文件 施工图.txt") << "the stored file is untouched";
  // A file that cannot be copied gives no row.
  String missing = Outside / "不存在.txt";
  Attach(missing);
  EXPECT_EQ(NewBoxes(), std::vector<String>{"文件复制失败，未能上传：" + missing});
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{"新图.txt"});
}

TEST_F(ProjectsTest, TheNameFollowsTheLastSlashAndPrjDocIsMadeWhenMissing) {
  OpenList();
  // A project folder without PrjDoc.
  for (const char* n : {"施工图.txt", "扫描件.txt", "O'Neil 方案.txt"}) DeleteFile(Folder / (String("PrjDoc/") + n));
  ASSERT_TRUE(RemoveDir(Folder / "PrjDoc"));
  OpenDialog(1);
  Fill("XM40", "西站");
  MakeFile("图纸/站房.txt", "站房");
  // On this system '\' is a character of a file's name: the file "图纸\站房.txt" is neither
  // 图纸/站房.txt nor a name a document may have.
  MakeFile("图纸\\站房.txt", "另一个文件");
  Attach(Outside.Path() + "图纸\\站房.txt");
  EXPECT_EQ(NewBoxes(), std::vector<String>{DocumentNameText + String("图纸\\站房.txt")});
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{});
  Attach(Outside.Path() + "图纸/站房.txt");
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{"站房.txt"});
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(StoredDocuments("XM40"), std::vector<String>{"站房.txt|" + StoredPath("站房.txt")});
  EXPECT_EQ(Folder.Read("PrjDoc/站房.txt"), "站房");
}

TEST_F(ProjectsTest, ADeletedDocumentsFileGoesOnlyWithTheSave) {
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM01");
  OpenToEdit("XM01");
  ShowDocumentsPage();
  ASSERT_TRUE(DlgDocs()->Locate("DocName", "施工图.txt", {}));
  ClickOn(Dlg->btnDelete);
  EXPECT_EQ(DocNames(DlgDocs()), TCodes{"扫描件.txt"});
  EXPECT_TRUE(FileExists(Folder / "PrjDoc/施工图.txt")) << "the file stays until the save";
  // Closing without a save keeps the document and its file.
  ClickOn(Dlg->btnClose);
  Dlg.reset();
  EXPECT_EQ(StoredDocuments("XM01").size(), 2u);
  EXPECT_TRUE(FileExists(Folder / "PrjDoc/施工图.txt"));

  OpenToEdit("XM01");
  ShowDocumentsPage();
  ASSERT_TRUE(DlgDocs()->Locate("DocName", "施工图.txt", {}));
  ClickOn(Dlg->btnDelete);
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(StoredDocuments("XM01"), std::vector<String>{"扫描件.txt|" + StoredPath("扫描件.txt")});
  EXPECT_FALSE(FileExists(Folder / "PrjDoc/施工图.txt"));
  EXPECT_TRUE(FileExists(Folder / "PrjDoc/扫描件.txt"));
  EXPECT_EQ(DocNames(Docs()), TCodes{"扫描件.txt"});
  // With no document left the button does nothing.
  OpenDialog(1);
  ShowDocumentsPage();
  ClickOn(Dlg->btnDelete);
  EXPECT_TRUE(NewBoxes().empty());
}

TEST_F(ProjectsTest, ThePickersHandTheCustomerAndTheManagerBack) {
  OpenList();
  OpenDialog(1);
  struct TCase {
    TButton* TfrmPrjAddComponents::*Button;
    const char *Caption, *Table, *List, *Result, *Picked;
    TEdit* TfrmPrjAddComponents::*Edit;
  };
  const TCase cases[] = {
      {&TfrmPrjAddComponents::btnSelectCust, "客户名称选择", "t_custom", "custselect", "custname", "绿源科技",
       &TfrmPrjAddComponents::edtCustName},
      {&TfrmPrjAddComponents::btnSelectEmp, "项目经理选择", "dict_emp", "empselect", "empname", "李工",
       &TfrmPrjAddComponents::edtPrjMan},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption);
    TModalSteps steps({[&](TCustomForm* m) {
      auto* p = dynamic_cast<TfrmSelect*>(m);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->Caption(), c.Caption);
      EXPECT_EQ(p->SourceTable, c.Table);
      EXPECT_EQ(p->ListName, c.List);
      EXPECT_EQ(p->ResultField, c.Result);
      TADOQuery* rows = Frm_Data->qrySelect;
      ASSERT_TRUE(rows->Locate(c.Result, String(c.Picked), {}));
      Application->ProcessMessages();
      int record = 0;
      for (const String& v : Column(rows, c.Result)) {
        if (v == c.Picked) break;
        ++record;
      }
      TRect r = p->dgSelect->CellRect(p->dgSelect->DataToRawColumn(0), p->dgSelect->TopDataOffset() + record);
      DoubleClickAt(p->dgSelect, Middle(r));
    }});
    ClickOn(Dlg.get()->*c.Button);
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ((Dlg.get()->*c.Edit)->Text(), c.Picked);
  }
  // A closed dialog takes no more picks.
  Dlg.reset();
  EXPECT_EQ(DeliverRecordPick("t_custom", "华建集团"), 0);
}

// ---------------------------------------------------------------- the main window's actions

TEST_F(ProjectsTest, TheActionsOpenTheDialogInItsModeAndEditOnlyAListedProject) {
  std::vector<Byte> modes;
  std::vector<String> codes;
  auto record = [&](TCustomForm* m) {
    auto* d = dynamic_cast<TfrmPrjAdd*>(m);
    ASSERT_NE(d, nullptr);
    modes.push_back(d->AddMode);
    codes.push_back(d->edtPrjCode->Text());
    d->btnClose->Click();
  };
  // The list closed: add works, edit does nothing.
  {
    TModalSteps steps({record});
    Frm_Main->PrjAdd->Execute();
    EXPECT_FALSE(steps.Overran());
  }
  {
    TModalSteps steps({record});
    Frm_Main->PrjEdit->Execute();
  }
  EXPECT_EQ(modes, std::vector<Byte>{1});
  OpenList();
  ClickOn(W->Btn_Search);
  ClickProject("XM04");
  {
    TModalSteps steps({record});
    ClickOn(W->ToolButton2);  // "编辑"
    EXPECT_FALSE(steps.Overran());
  }
  {
    TModalSteps steps({record});
    ClickOn(W->ToolButton1);  // "添加"
    EXPECT_FALSE(steps.Overran());
  }
  EXPECT_EQ(modes, (std::vector<Byte>{1, 0, 1}));
  EXPECT_EQ(codes, (std::vector<String>{"", "XM04", ""}));
  // Without a current project, edit does nothing.
  Search("项目名称", "无此项目");
  {
    TModalSteps steps({record});
    ClickOn(W->ToolButton2);
  }
  EXPECT_EQ(modes.size(), 3u);
}

TEST_F(ProjectsTest, AProjectAddedWithTheListClosedIsStored) {
  OpenDialog(1);
  Fill("XM50", "东湖");
  Save();
  EXPECT_TRUE(NewBoxes().empty());
  EXPECT_EQ(Db("select PrjName from dict_prj where PrjCode='XM50'"), "东湖");
}

}  // namespace
