#include "app/U_Main.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "gui/Graphics.h"
#include "gui/Application.h"
#include "gui/Shell.h"
#include "app/SqlText.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "app/U_Backup.h"
#include "app/U_ChangePass.h"
#include "app/U_ClearData.h"
#include "app/U_Company.h"
#include "app/U_Data.h"
#include "app/U_Option.h"
#include "app/U_login.h"
#include "app/U_tree.h"
#include "app/ufrmUserQX.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPact.h"
#include "app/ufrmPactAdd.h"
#include "data/DatabaseFiles.h"
#include "core/Scope.h"

#include <memory>
#include <vector>

TFrm_Main* Frm_Main = nullptr;

KELM_PUBLISH(TFrm_Main) {
  b.Method("FormCreate", &TFrm_Main::FormCreate);
  b.Method("PrintGoodsExecute", &TFrm_Main::PrintGoodsExecute);
  b.Method("PrintProjectExecute", &TFrm_Main::PrintProjectExecute);
  b.Method("PrintcustExecute", &TFrm_Main::PrintcustExecute);
  b.Method("N18Click", &TFrm_Main::N18Click);
  b.Method("N13Click", &TFrm_Main::N13Click);
  b.Method("FormShow", &TFrm_Main::FormShow);
  b.Method("FormCloseQuery", &TFrm_Main::FormCloseQuery);
  b.Method("ttTXTimer", &TFrm_Main::ttTXTimer);
  b.Method("N34Click", &TFrm_Main::N34Click);
  b.Method("LogoutExecute", &TFrm_Main::LogoutExecute);
  b.Method("N36Click", &TFrm_Main::N36Click);
  b.Method("N33Click", &TFrm_Main::N33Click);
  b.Method("A_HomepageExecute", &TFrm_Main::A_HomepageExecute);
  b.Method("TB_Click", &TFrm_Main::TB_Click);
  b.Method("HelpExecute", &TFrm_Main::HelpExecute);
  b.Method("M_BackupExecute", &TFrm_Main::M_BackupExecute);
  b.Method("M_RestoreExecute", &TFrm_Main::M_RestoreExecute);
  b.Method("Sys_CompactClick", &TFrm_Main::Sys_CompactClick);
  b.Method("M_OptionExecute", &TFrm_Main::M_OptionExecute);
  b.Method("M_CompanyExecute", &TFrm_Main::M_CompanyExecute);
  b.Method("cleardataClick", &TFrm_Main::cleardataClick);
  b.Method("N20Click", &TFrm_Main::N20Click);
  PublishPeopleCommands(b);
  PublishProjectCommands(b);
  PublishLegacyCommands(b);
  b.Method("UserQX1Execute", &TFrm_Main::UserQX1Execute);
  b.Method("Category_custExecute", &TFrm_Main::Category_custExecute);
  b.Method("Category_wdExecute", &TFrm_Main::Category_wdExecute);
  b.Method("N22Click", &TFrm_Main::N22Click);
  b.Method("MoneyInExecute", &TFrm_Main::MoneyInExecute);
  b.Method("MoneyOutExecute", &TFrm_Main::MoneyOutExecute);
  b.Method("ToolButton8Click", &TFrm_Main::ToolButton8Click);
  b.Method("Pact_MExecute", &TFrm_Main::Pact_MExecute);
  b.Method("PactAddExecute", &TFrm_Main::PactAddExecute);
  b.Method("PactEditExecute", &TFrm_Main::PactEditExecute);
}

const char* const TFrm_Main::CompactDoneText = "压缩数据库成功!";
const char* const TFrm_Main::CompactFailedText = "压缩数据库失败!";

const TFrm_Main::TRightAction TFrm_Main::RightActions[28] = {
    {"Pact_Add", &TFrm_Main::PactAdd},     {"Pact_Edit", &TFrm_Main::PactEdit},
    {"Pact_Del", &TFrm_Main::PactDel},     {"Pact_Print", &TFrm_Main::PactPrint},
    {"Pact_M", &TFrm_Main::Pact_M},        {"Prj_Add", &TFrm_Main::PrjAdd},
    {"Prj_Edit", &TFrm_Main::PrjEdit},     {"Prj_Del", &TFrm_Main::PrjDel},
    {"Prj_Print", &TFrm_Main::PrjPrint},   {"Prj_M", &TFrm_Main::Prj_M},
    {"Cust_Add", &TFrm_Main::AddCust},     {"Cust_Edit", &TFrm_Main::EditCust},
    {"Cust_Del", &TFrm_Main::DelCust},     {"Cust_Print", &TFrm_Main::CustPrint},
    {"Cust_Exp", &TFrm_Main::CustExp},     {"Cust_M", &TFrm_Main::Cust_M},
    {"Emp_Add", &TFrm_Main::EmpAdd},       {"Emp_Edit", &TFrm_Main::EmpEdit},
    {"Emp_Del", &TFrm_Main::EmpDel},       {"Emp_Print", &TFrm_Main::EmpPrint},
    {"Emp_M", &TFrm_Main::Emp_M},          {"MoneyIn", &TFrm_Main::MoneyIn},
    {"MoneyOut", &TFrm_Main::MoneyOut},    {"UserQX", &TFrm_Main::UserQX1},
    {"BackUp", &TFrm_Main::M_Backup},      {"Resume", &TFrm_Main::M_Restore},
    {"Set_Option", &TFrm_Main::M_Option},  {"PactChart", &TFrm_Main::PactChart},
};

const char* const TFrm_Main::SupportMailUrl = "mailto:support@kelm.example?subject=改进意见";
const char* const TFrm_Main::HomepageUrl = "https://kelm.example/";

namespace {

// The pictures of the image lists, by image index: resources "images/<size>/<name>.png" at
// the list's size. The tool bar's list (32 pixels) and the actions' list (16) begin with the
// same pictures, so an action's ImageIndex shows the same on the tool bar and on a list
// window's tool bar.
struct TPictureList {
  TImageList* TFrm_MainComponents::*List;
  std::vector<const char*> Pictures;
};
const TPictureList kPictureLists[] = {
    {&TFrm_MainComponents::ImageList1,
     {"contracts", "payments", "receipts", "projects", "customers", "employees", "reminders", "web"}},
    {&TFrm_MainComponents::Image_Tool,
     {"contracts", "payments", "receipts", "projects", "customers", "employees", "reminders", "web", "add", "edit",
      "delete", "print", "export"}},
    {&TFrm_MainComponents::Image_NavSmall, {"first", "previous", "next", "last"}},
    {&TFrm_MainComponents::ilBasic, {"add", "edit", "delete", "save", "refresh"}},
    // A closed node, an open node, a leaf.
    {&TFrm_MainComponents::ilTree, {"folder", "folder-open", "document"}},
};

}  // namespace

void LoadImageListPictures(TCustomImageList* List, const std::vector<const char*>& Pictures) {
  List->BeginUpdate();
  List->Clear();
  for (const char* name : Pictures) {
    TIcon picture;
    TResourceStream data("images/" + std::to_string(List->Width()) + "/" + name + ".png");
    picture.LoadFromStream(&data);
    List->AddIcon(&picture);
  }
  List->EndUpdate();
}

TFrm_Main::TFrm_Main(TComponent* AOwner) : inherited(AOwner) { MakeListPrinter(); }

TFrm_Main::~TFrm_Main() {
  if (Frm_Main == this) Frm_Main = nullptr;
}

void TFrm_Main::Loaded() {
  inherited::Loaded();
  // The pictures belong to the window's design, as the rest of its layout does.
  for (const TPictureList& l : kPictureLists) LoadImageListPictures(this->*l.List, l.Pictures);
}

void TFrm_Main::FormCreate(TObject*) {
  dlgDoc->SetFilter(
      "文本文件(*.txt)|*.txt|doc文件(*.doc)|*.doc|jpg文件(*.jpg)|*.jpg|gif文件(*.gif)|*.gif|png文件(*.png)|*.png|"
      "rar文件(*.rar)|*.rar|zip文件(*.zip)|*.zip|docx文件(*.docx)|*.docx|xls文件(*.xls)|*.xls|"
      "xlsx文件(*.xlsx)|*.xlsx");
}

void TFrm_Main::FormShow(TObject*) {
  // A failure here is reported like any other, and the steps after it do not run; it must
  // not leave the window half shown by escaping the show itself.
  try {
    TADOQuery* info = Frm_Data->Qry_APPInfo;
    Frm_Data->OpenQuery(info, "select * from T_Softinfo");
    SoftName = info->FieldByName("SoftName")->AsString();
    Version = info->FieldByName("Version")->AsString();
    DotNumber = info->FieldByName("DotNumber")->AsInteger();
    DotPrice = info->FieldByName("DotPrice")->AsInteger();
    DotMoney = info->FieldByName("DotMoney")->AsInteger();
    SetCaption(SoftName + Version);
    Application->SetTitle(SoftName);
    OpenMDIChild(frmPact, this);
    StatusBar1->Panels()->Items(1)->SetText("数据库路径: " + ProgramFolder() + "DataBase" + PathDelim + "kelm.mdb");
    ttTX->SetEnabled(true);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TFrm_Main::FormCloseQuery(TObject*, bool& CanClose) {
  // The children have agreed before this runs; the database goes only when the close does.
  if (!CanClose) return;
  if (Frm_Data) Frm_Data->ADOConnection1->Close();
  CloseMDIChildren();
}

void TFrm_Main::CloseMDIChildren() {
  // A child's close handler may close others too; the count is read again each time.
  for (int i = MDIChildCount() - 1; i >= 0; --i)
    if (i < MDIChildCount()) MDIChildren(i)->Close();
}

void TFrm_Main::ApplyUserRights() {
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select * from tUser where UserName=" + SqlStr(CurrentUser));
  String rights = q->IsEmpty() ? String() : q->FieldByName("qxlist")->AsString();
  for (const TRightAction& r : RightActions) (this->*r.Action)->SetEnabled(HoldsRight(rights, r.Right));
}

void TFrm_Main::N34Click(TObject*) {
  std::unique_ptr<TFrm_ChangePass> dialog(CreateForm<TFrm_ChangePass>(this));
  dialog->ShowModal();
}

void TFrm_Main::LogoutExecute(TObject*) {
  CloseMDIChildren();
  // A login window of its own: the one made at start stays as it is.
  std::unique_ptr<TFrm_Login> login(CreateForm<TFrm_Login>(Application));
  login->ShowModal();
}

void TFrm_Main::N36Click(TObject*) { Close(); }

void TFrm_Main::N33Click(TObject*) { ShellExecute(Handle(), "open", SupportMailUrl, "", "", SW_SHOWNORMAL); }

void TFrm_Main::A_HomepageExecute(TObject*) { ShellExecute(Handle(), "open", HomepageUrl, "", "", SW_SHOWNORMAL); }

void TFrm_Main::TB_Click(TObject*) { ShellExecute(Handle(), "open", HomepageUrl, "", "", SW_SHOWNORMAL); }

void TFrm_Main::HelpExecute(TObject*) {
  ShellExecute(Handle(), "open", ProgramFolder() + "Help.CHM", "", "", SW_SHOWNORMAL);
}

void ShowExistingMDIChild(TForm* Child) {
  if (Child->WindowState() == wsMinimized) Child->SetWindowState(wsNormal);
  if (!Child->Visible()) Child->Show();
  Child->BringToFront();
  if (Child->CanFocus()) Child->SetFocus();
}

void TFrm_Main::LZCopyFile(const String& Source, const String& Target) {
  if (!CopyFile(Source, Target, false)) throw EInOutError("Error using LZCopy");
}

void TFrm_Main::ShowBackupWindow(int Mode) {
  std::unique_ptr<TFrm_Backup> dialog(CreateForm<TFrm_Backup>(this));
  dialog->Mode = Mode;
  dialog->ShowModal();
}

void TFrm_Main::M_BackupExecute(TObject*) { ShowBackupWindow(1); }

void TFrm_Main::M_RestoreExecute(TObject*) { ShowBackupWindow(2); }

bool CompactJetDatabase(const String& FileName, const String&) {
  try {
    CompactDatabaseFile(FileName);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void TFrm_Main::Sys_CompactClick(TObject*) {
  CloseMDIChildren();
  TADOConnection* conn = Frm_Data->ADOConnection1;
  conn->Close();
  // The file the connection opened, whatever its name. Opening again may raise, so it is no
  // destructor's work.
  TryFinally(
      [&] {
        bool done = CompactJetDatabase(conn->FileName(), "8306472QKW");
        Application->MessageBox(done ? CompactDoneText : CompactFailedText, Application->Title(),
                                MB_OK | MB_ICONINFORMATION);
      },
      [&] { conn->Open(); });
}

void TFrm_Main::M_OptionExecute(TObject*) {
  std::unique_ptr<TFrm_Option> dialog(CreateForm<TFrm_Option>(this));
  dialog->ShowModal();
}

void TFrm_Main::M_CompanyExecute(TObject*) {
  std::unique_ptr<TFrm_Company> dialog(CreateForm<TFrm_Company>(this));
  dialog->ShowModal();
}

void TFrm_Main::cleardataClick(TObject*) {
  std::unique_ptr<TFrm_ClearData> dialog(CreateForm<TFrm_ClearData>(Application));
  dialog->ShowModal();
}

void TFrm_Main::N20Click(TObject*) {
  std::unique_ptr<TfrmBasic> window(CreateForm<TfrmBasic>(this));
  window->ShowModal();
}

void TFrm_Main::UserQX1Execute(TObject*) {
  std::unique_ptr<TfrmUserQX> window(CreateForm<TfrmUserQX>(nullptr));
  window->ShowModal();
}

void TFrm_Main::ShowCodeTree(const String& Table, const String& Caption) {
  std::unique_ptr<TFrm_Tree> window(CreateForm<TFrm_Tree>(this));
  window->TableName = Table;
  window->TreeCaption = Caption;
  window->ShowModal();
}

void TFrm_Main::Category_custExecute(TObject*) { ShowCodeTree("Category_Cust", "往来单位类别"); }

// The document categories share the customer categories' table.
void TFrm_Main::Category_wdExecute(TObject*) { ShowCodeTree("Category_Cust", "文档类别"); }

void TFrm_Main::Pact_MExecute(TObject*) { OpenMDIChild(frmPact, this); }

namespace {
void ShowPactDialog(Byte Mode) {
  std::unique_ptr<TfrmPactAdd> dialog(CreateForm<TfrmPactAdd>(nullptr));
  dialog->AddMode = Mode;
  dialog->ShowModal();
}
}  // namespace

void TFrm_Main::PactAddExecute(TObject*) { ShowPactDialog(1); }

void TFrm_Main::PactEditExecute(TObject*) {
  if (frmPact && HasCurrentRow(Frm_Data->qryPact)) ShowPactDialog(0);
}
