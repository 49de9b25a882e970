// The main window: its menus, actions, tool bar and status bar as the layout builds them,
// what showing it reads and shows, the one-shot reminder, opening list windows as MDI
// children, closing, the operator's rights and the links it opens.
#include "AppInput.h"
#include "AppWindows.h"
#include "LegacyFixture.h"
#include "TempFolder.h"
#include "../platform/print/PrintTestUtil.h"

#include "app/StoredReports.h"
#include "app/U_tree.h"
#include "app/legacy/LegacyProjects.h"
#include "app/legacy/U_AddGoods.h"
#include "app/legacy/U_AllBill.h"
#include "app/legacy/U_BatchEdit.h"
#include "app/legacy/U_Addemployee.h"
#include "app/legacy/U_Import.h"
#include "app/legacy/U_R_HTsp.h"
#include "app/legacy/U_employee.h"
#include "core/Scope.h"
#include "core/TypInfo.h"
#include "grid/DBGridEh.h"
#include "gui/Buttons.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/TreeView.h"
#include "app/ufrmPact.h"
#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Format.h"
#include "gui/Shell.h"
#include "gui/Timers.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreview.h"
#include "report/frxPreviewForm.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrinter.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>

namespace {

// Runs the message loop until the condition holds or about three seconds have passed.
bool WaitUntil(const std::function<bool()>& cond) {
  for (int i = 0; i < 600 && !cond(); ++i) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return cond();
}

// Lets the loop run for a while whatever happens.
void RunLoopFor(int ms) {
  for (int i = 0; i < ms / 5; ++i) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

TMenuItem* MenuAt(TMenuItem* root, const std::vector<String>& path) {
  TMenuItem* item = root;
  for (const String& caption : path) {
    TMenuItem* next = nullptr;
    for (int i = 0; i < item->Count() && !next; ++i)
      if (item->Items(i)->Caption() == caption) next = item->Items(i);
    if (!next) return nullptr;
    item = next;
  }
  return item;
}

std::vector<String> SubCaptions(TMenuItem* item) {
  std::vector<String> r;
  for (int i = 0; i < item->Count(); ++i) r.push_back(item->Items(i)->Caption());
  return r;
}

TAction* ActionNamed(const String& name) {
  return dynamic_cast<TAction*>(Frm_Main->ActionList1->FindAction(name));
}

String PercentDecoded(const String& s) {
  String r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      r += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      r += s[i];
    }
  }
  return r;
}

}  // namespace

// ---------------------------------------------------------------- list windows for the tests

// A list window as the program's lists are: an MDI child of the main window, freed when
// closed, reached through a global reference.
class TMainListProbe : public TForm {
  KELM_CLASS(TMainListProbe, TForm)
public:
  explicit TMainListProbe(TComponent* AOwner) : TForm(AOwner) {
    SetFormStyle(fsMDIChild);
    SetBounds(0, 0, 300, 200);
  }
  bool SawItselfInGlobal = false;
  bool Refuse = false;
  // Each close, in order: the window's name and whether the database was connected then.
  static std::vector<std::pair<String, bool>>& Closed() {
    static std::vector<std::pair<String, bool>> log;
    return log;
  }
  bool CloseQuery() override { return !Refuse && TForm::CloseQuery(); }

protected:
  void DoCreate() override;
  void DoClose(TCloseAction& Action) override {
    Closed().push_back({Name(), Frm_Data->ADOConnection1->Connected()});
    Action = caFree;
  }
};
TMainListProbe* ListProbe = nullptr;
void TMainListProbe::DoCreate() {
  SawItselfInGlobal = ListProbe == this;
  TForm::DoCreate();
}

class TOtherMainListProbe : public TMainListProbe {
  KELM_CLASS(TOtherMainListProbe, TMainListProbe)
public:
  using TMainListProbe::TMainListProbe;
};
TOtherMainListProbe* OtherListProbe = nullptr;

KELM_PUBLISH(TMainListProbe) {}
KELM_PUBLISH(TOtherMainListProbe) {}

namespace {

using MainWindowTest = AppWindowsTest;

// ---------------------------------------------------------------- the layout

TEST_F(MainWindowTest, MenusHoldTheirItemsInOrderWithTheHiddenOnesHidden) {
  struct MenuCase {
    std::vector<String> Path;
    bool Visible;
    std::vector<String> Items;
  };
  const MenuCase menus[] = {
      {{"系统管理(&S)"},
       true,
       {"操作员及权限管理", "修改登录密码", "重新登录", "数据初始化", "报表设计", "导入数据", "选项设置", "数据备份",
        "数据库恢复", "压缩与修复数据库", "退出程序"}},
      {{"系统管理(&S)", "报表设计"}, false, {"工程项目报表设计", "往来单位资料报表设计"}},
      {{"系统管理(&S)", "导入数据"}, false, {"从Excel导入合同数据"}},
      {{"基础数据(&B)"},
       true,
       {"项目类别管理", "合同分类管理", "文档类别管理", "项目管理", "内部单位", "往来单位", "部门管理", "计量单位",
        "支付方式", "类别管理", "下拉管理", "公司信息"}},
      {{"合同管理(&C)"}, false, {"新增", "编辑", "删除"}},
      {{"统计分析"}, false, {"合同变更统计分析 ", "合同报量统计分析", "合同索赔统计分析", "合同结算统计分析"}},
      {{"系统帮助(&H)"}, true, {"E-Mail支持", "沃岚主页"}},
  };
  TMenuItem* root = Frm_Main->MainMenu1->Items();
  EXPECT_EQ(SubCaptions(root),
            (std::vector<String>{"系统管理(&S)", "基础数据(&B)", "合同管理(&C)", "统计分析", "系统帮助(&H)"}));
  for (const MenuCase& m : menus) {
    SCOPED_TRACE(m.Path.back());
    TMenuItem* item = MenuAt(root, m.Path);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Visible(), m.Visible);
    EXPECT_EQ(SubCaptions(item), m.Items);
  }
  // The hidden items of the basic data menu are hidden themselves, the others shown.
  TMenuItem* basic = MenuAt(root, {"基础数据(&B)"});
  for (int i = 0; i < basic->Count(); ++i) EXPECT_EQ(basic->Items(i)->Visible(), i >= 9) << i;
}

TEST_F(MainWindowTest, MenuItemsRunTheirActionsAndHandlersAndOnlyQuitHasAShortcut) {
  struct ItemCase {
    std::vector<String> Path;
    const char* Action;  // '' for an item without one
  };
  const ItemCase items[] = {
      {{"系统管理(&S)", "操作员及权限管理"}, "UserQX1"},
      {{"系统管理(&S)", "重新登录"}, "Logout"},
      {{"系统管理(&S)", "导入数据", "从Excel导入合同数据"}, "ImportCustData"},
      {{"系统管理(&S)", "选项设置"}, "M_Option"},
      {{"系统管理(&S)", "数据备份"}, "M_Backup"},
      {{"系统管理(&S)", "数据库恢复"}, "M_Restore"},
      {{"基础数据(&B)", "项目类别管理"}, "Category_Project"},
      {{"基础数据(&B)", "合同分类管理"}, "Category_HT"},
      {{"基础数据(&B)", "文档类别管理"}, "Category_wd"},
      {{"基础数据(&B)", "项目管理"}, "M_Project"},
      {{"基础数据(&B)", "内部单位"}, "M_Employee"},
      {{"基础数据(&B)", "公司信息"}, "M_Company"},
      {{"合同管理(&C)", "新增"}, "AddHT"},
      {{"合同管理(&C)", "编辑"}, "editht"},
      {{"合同管理(&C)", "删除"}, "delht"},
      {{"系统帮助(&H)", "沃岚主页"}, "A_Homepage"},
      {{"系统管理(&S)", "修改登录密码"}, ""},
      {{"系统管理(&S)", "退出程序"}, ""},
      {{"系统帮助(&H)", "E-Mail支持"}, ""},
  };
  TMenuItem* root = Frm_Main->MainMenu1->Items();
  for (const ItemCase& c : items) {
    SCOPED_TRACE(c.Path.back());
    TMenuItem* item = MenuAt(root, c.Path);
    ASSERT_NE(item, nullptr);
    TBasicAction* expected = *c.Action ? ActionNamed(c.Action) : nullptr;
    EXPECT_EQ(item->Action(), expected);
  }
  // A caption of their own, shown instead of the action's.
  EXPECT_EQ(Frm_Main->Logout->Caption(), "更换用户");
  EXPECT_EQ(ActionNamed("M_Company")->Caption(), "单位信息");
  EXPECT_EQ(ActionNamed("A_Homepage")->Caption(), "沃岚主页");

  EXPECT_EQ(Frm_Main->N34->OnClick, TNotifyEvent(Frm_Main, &TFrm_Main::N34Click));
  EXPECT_EQ(Frm_Main->N36->OnClick, TNotifyEvent(Frm_Main, &TFrm_Main::N36Click));
  EXPECT_EQ(MenuAt(root, {"系统帮助(&H)", "E-Mail支持"})->OnClick, TNotifyEvent(Frm_Main, &TFrm_Main::N33Click));

  std::function<void(TMenuItem*)> walk = [&](TMenuItem* item) {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* sub = item->Items(i);
      if (sub == Frm_Main->N36) EXPECT_EQ(sub->ShortCut(), ShortCut('Q', {ssCtrl}));
      else EXPECT_EQ(sub->ShortCut(), 0) << sub->Caption();
      walk(sub);
    }
  };
  walk(root);
  EXPECT_EQ(Frm_Main->MainMenu1->FindShortCut(ShortCut('Q', {ssCtrl})), Frm_Main->N36);
}

TEST_F(MainWindowTest, ActionsCarryTheirCategoriesAndCaptionsAndStayEnabledAtIdle) {
  struct ActionCase {
    const char* Name;
    const char* Category;
    const char* Caption;
  };
  const ActionCase actions[] = {
      {"PactAdd", "pact", "添加"},        {"PactEdit", "pact", "编辑"},        {"PactDel", "pact", "删除"},
      {"PactPrint", "pact", "打印"},      {"PactExp", "pact", "E&xcel"},       {"Pact_M", "pact", "合同管理"},
      {"PactChart", "pact", "图标统计"},  {"PrjAdd", "prj", "添加"},           {"PrjEdit", "prj", "编辑"},
      {"PrjDel", "prj", "删除"},          {"PrjPrint", "prj", "打印"},         {"PrjExp", "prj", "E&xcel"},
      {"Prj_M", "prj", "项目管理"},       {"M_AllBill", "prj", "单据查询"},    {"EmpAdd", "emp", "添加"},
      {"EmpEdit", "emp", "编辑"},         {"EmpDel", "emp", "删除"},           {"EmpPrint", "emp", "打印"},
      {"EmpExp", "emp", "E&xcel"},        {"Emp_M", "emp", "员工管理"},        {"AddCust", "cust", "新增&A"},
      {"EditCust", "cust", "编辑&E"},     {"DelCust", "cust", "删除&D"},       {"CustPrint", "cust", "打印"},
      {"CustExp", "cust", "E&xcel"},      {"Cust_M", "cust", "客户管理"},      {"MoneyIn", "money", "收款查询"},
      {"MoneyOut", "money", "付款查询"},  {"UserQX1", "other", "操作员及权限管理"},
      {"Logout", "", "更换用户"},         {"M_Option", "", "选项设置"},        {"M_Company", "", "单位信息"},
      {"M_Backup", "", "数据备份"},       {"M_Restore", "", "数据库恢复"},     {"Help", "", "帮助文件"},
      {"AddHT", "Basic", "新增"},         {"editht", "Basic", "编辑"},         {"delht", "Basic", "删除"},
      {"ImportCustData", "Basic", "从Excel导入合同数据"},
      {"ImportGoodsCust", "Basic", "从Excel导入货品资料"},
      {"Category_wd", "Basic", "文档类别管理"},
      {"Category_cust", "Basic", "往来单位类别管理"},
      {"Category_Project", "Basic", "项目类别管理"},
      {"Category_HT", "Basic", "合同分类管理"},
      {"M_DepotName", "Basic", "仓库名称管理"},
      {"M_Employee", "Basic", "内部单位"},
      {"S_Project", "Basic", "查询"},
      {"batchedit_goods", "Basic", "批量修改货品类别"},
      {"BatchEdit_cust", "Basic", "批量修改往来单位类别"},
  };
  for (const ActionCase& c : actions) {
    SCOPED_TRACE(c.Name);
    TAction* a = ActionNamed(c.Name);
    ASSERT_NE(a, nullptr);
    if (*c.Category) {
      EXPECT_EQ(a->Category(), c.Category);
    }
    EXPECT_EQ(a->Caption(), c.Caption);
  }
  // The entry points the older record windows bind to are all there.
  for (const char* name :
       {"AddHTbg", "Action2", "edithtbg", "delehtbg", "AddHTbL", "edithtbl", "delehtbl", "AddHTsp", "edithtsp",
        "delehtsp", "AddHTjs", "edithtjs", "delehtjs", "AddHTjh", "edithtjh", "delehtjh", "AddHTfk", "edithtfk",
        "delehtfk", "AddHTWD", "edithtwd", "delehtwd", "AddHTskjh", "edithtskjh", "delehtskjh", "AddHTsk", "edithtsk",
        "delehtsk", "AddGoods", "EditGoods", "DelGoods", "PrintGoods", "PrintProject", "Printcust", "DelOther",
        "AddOther", "CancelOther", "Addemployee", "editemployee", "delemployee", "AddProject", "EditProject",
        "DelProject", "M_Project", "M_Custom", "M_Depart", "M_Units", "M_ZHIFU"})
    EXPECT_NE(ActionNamed(name), nullptr) << name;

  // Every action starts enabled and without a shortcut, and the idle update leaves those
  // whose windows have no handler yet enabled.
  LoginAsAdminAndShow();
  Frm_Main->ActionList1->UpdateActions();
  Application->ProcessMessages();
  for (int i = 0; i < Frm_Main->ActionList1->ActionCount(); ++i) {
    auto* a = dynamic_cast<TCustomAction*>(Frm_Main->ActionList1->Actions(i));
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->Enabled()) << a->Name();
    EXPECT_EQ(a->ShortCut(), 0) << a->Name();
  }
  EXPECT_EQ(Frm_Main->ActionList1->Images(), Frm_Main->Image_Tool);
}

TEST_F(MainWindowTest, ToolBarShowsItsButtonsInOrderInItsBandAndTheStatusBarItsPanels) {
  struct ButtonCase {
    const char* Caption;
    const char* Action;  // '' for none; a separator has neither
    bool Separator;
  };
  const ButtonCase buttons[] = {
      {"合同管理", "Pact_M", false}, {"付款查询", "MoneyOut", false}, {"收款查询", "MoneyIn", false},
      {"", "", true},                {"项目管理", "Prj_M", false},    {"客户管理", "Cust_M", false},
      {"员工管理", "Emp_M", false},  {"事务提醒", "", false},         {"", "", true},
      {"网上沃岚", "", false},       {"", "", true},
  };
  TToolBar* bar = Frm_Main->ToolBar1;
  ASSERT_EQ(bar->ButtonCount(), static_cast<int>(std::size(buttons)));
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    SCOPED_TRACE(i);
    TToolButton* b = bar->Buttons(i);
    EXPECT_EQ(b->IsSeparator(), buttons[i].Separator);
    if (buttons[i].Separator) continue;
    EXPECT_EQ(b->Caption(), buttons[i].Caption);
    EXPECT_EQ(b->Action(), *buttons[i].Action ? ActionNamed(buttons[i].Action) : nullptr);
  }
  EXPECT_EQ(bar->Buttons(9)->OnClick, TNotifyEvent(Frm_Main, &TFrm_Main::TB_Click));
  EXPECT_TRUE(bar->Flat());
  EXPECT_TRUE(bar->ShowCaptions());
  EXPECT_EQ(bar->ButtonWidth(), 55);
  EXPECT_EQ(bar->ButtonHeight(), 51);
  EXPECT_EQ(bar->Images(), Frm_Main->ImageList1);
  ASSERT_EQ(Frm_Main->CoolBar1->Bands()->Count(), 1);
  EXPECT_EQ(Frm_Main->CoolBar1->Bands()->Items(0)->Control(), bar);

  TStatusPanels* panels = Frm_Main->StatusBar1->Panels();
  ASSERT_EQ(panels->Count(), 3);
  EXPECT_EQ(panels->Items(0)->Width(), 160);
  EXPECT_EQ(panels->Items(1)->Width(), 350);
  EXPECT_EQ(panels->Items(2)->Width(), 50);

  EXPECT_EQ(Frm_Main->FormStyle(), fsMDIForm);
  EXPECT_EQ(Frm_Main->WindowState(), wsMaximized);
  EXPECT_FALSE(Frm_Main->ttTX->Enabled());
  EXPECT_EQ(Frm_Main->ttTX->Interval(), 1000u);
  EXPECT_EQ(Frm_Main->OpenDialog1->Filter(), "Access数据库|*.MDB");
  EXPECT_EQ(Frm_Main->OpenDialog2->Filter(), "Excel文件|*.xls|所有文件|*.*");
  EXPECT_EQ(TOpenDialog::ParseFilter(Frm_Main->dlgDoc->Filter()).size(), 10u);
}

// ---------------------------------------------------------------- pictures

// Pixels of the rectangle that differ from Background.
int PixelsOtherThan(TBitmap* Picture, const TRect& R, TColor Background) {
  int n = 0;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) n += Picture->Canvas()->Pixels(x, y) != Background;
  return n;
}

TEST_F(MainWindowTest, ImageListsHoldTheirPicturesAtTheirSizes) {
  struct TCase {
    TImageList* List;
    int Size, Count;
  } cases[] = {
      {Frm_Main->ImageList1, 32, 8}, {Frm_Main->Image_Tool, 16, 13}, {Frm_Main->Image_NavSmall, 16, 4},
      {Frm_Main->ilBasic, 16, 5},    {Frm_Main->ilTree, 16, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.List->Name());
    EXPECT_EQ(c.List->Width(), c.Size);
    EXPECT_EQ(c.List->Height(), c.Size);
    ASSERT_EQ(c.List->Count(), c.Count);
    // Each a picture of its own: not blank, not a copy of another.
    std::vector<std::vector<TColor>> seen;
    for (int i = 0; i < c.List->Count(); ++i) {
      TBitmap b;
      ASSERT_TRUE(c.List->GetBitmap(i, &b));
      EXPECT_GT(PixelsOtherThan(&b, Rect(0, 0, c.Size, c.Size), clWhite), c.Size * c.Size / 5) << i;
      std::vector<TColor> pixels;
      for (int y = 0; y < c.Size; ++y)
        for (int x = 0; x < c.Size; ++x) pixels.push_back(b.Canvas()->Pixels(x, y));
      EXPECT_EQ(std::find(seen.begin(), seen.end(), pixels), seen.end()) << i;
      seen.push_back(pixels);
    }
  }
  // An action's picture index means the same picture on the tool bar and in the lists.
  EXPECT_EQ(Frm_Main->Pact_M->ImageIndex(), 0);
  EXPECT_EQ(Frm_Main->Emp_M->ImageIndex(), 5);
  EXPECT_EQ(Frm_Main->PactAdd->ImageIndex(), 8);
  EXPECT_EQ(Frm_Main->CustExp->ImageIndex(), 12);
}

TEST_F(MainWindowTest, ToolBarButtonsShowTheirPictureAboveTheirCaption) {
  LoginAsAdminAndShow();
  TToolBar* bar = Frm_Main->ToolBar1;
  auto paint = [&] {
    auto shot = std::make_unique<TBitmap>();
    shot->SetSize(bar->Width(), bar->Height());
    bar->PaintTo(shot->Canvas(), 0, 0);
    return shot;
  };
  // The upper third of a button: only its picture reaches there, a caption stays below.
  auto top = [](TToolButton* b) { return Rect(b->Left() + 2, b->Top() + 2, b->Left() + b->Width() - 2, b->Top() + b->Height() / 3); };
  TColor face = TColor(ColorToRGB(bar->Color()));
  std::unique_ptr<TBitmap> shot = paint();
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    TToolButton* b = bar->Buttons(i);
    if (b->IsSeparator()) continue;
    SCOPED_TRACE(b->Caption());
    EXPECT_GE(b->ImageIndex(), 0);
    EXPECT_GT(PixelsOtherThan(shot.get(), top(b), face), 60);
  }
  // The same button with its caption only leaves that part plain.
  TToolButton* reminder = Frm_Main->ToolButton8;
  reminder->SetImageIndex(-1);
  shot = paint();
  EXPECT_EQ(PixelsOtherThan(shot.get(), top(reminder), face), 0);
  ForceDirectories("screenshots");
  shot->SaveToPngFile("screenshots/main_toolbar.png");
}

// ---------------------------------------------------------------- showing

// Offscreen there is no window manager: the window must lie on the work area by itself.
TEST_F(MainWindowTest, OpensMaximisedOnTheScreensWorkArea) {
  LoginAsAdminAndShow();
  EXPECT_EQ(Frm_Main->BoundsRect(), Screen->WorkAreaRect());
  EXPECT_EQ(Frm_Main->WindowState(), wsMaximized);
  // Restored, it takes the size it was designed with.
  Frm_Main->SetWindowState(wsNormal);
  EXPECT_EQ(Frm_Main->Width(), 800);
  EXPECT_EQ(Frm_Main->Height(), 600);
}

TEST_F(MainWindowTest, ShowingReadsTheProgramNameVersionAndDecimalsAndShowsTheDatabasePath) {
  Exec("update T_SoftInfo set SoftName='测试合同软件', Version='V2.5', DotNumber=1, DotPrice=3, DotMoney=4");
  LoginAsAdminAndShow();
  EXPECT_EQ(Frm_Main->Caption(), "测试合同软件V2.5");
  EXPECT_EQ(Application->Title(), "测试合同软件");
  EXPECT_EQ(Frm_Main->SoftName, "测试合同软件");
  EXPECT_EQ(Frm_Main->Version, "V2.5");
  EXPECT_EQ(Frm_Main->DotNumber, 1);
  EXPECT_EQ(Frm_Main->DotPrice, 3);
  EXPECT_EQ(Frm_Main->DotMoney, 4);
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(0)->Text(), " 当前操作员: Admin");
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(1)->Text(), "数据库路径: " + Folder.Path() + "DataBase/kelm.mdb");
  EXPECT_TRUE(Frm_Main->ttTX->Enabled());
  EXPECT_TRUE(Folder.Messages.empty());
  EXPECT_TRUE(Frm_Main->ExportFileName.empty());
}

TEST_F(MainWindowTest, WithoutTheProgramInformationTheErrorIsShownAndNothingAfterItRuns) {
  Exec("drop table T_SoftInfo");
  LoginAsAdminAndShow();
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_NE(Folder.Messages[0].Text.find("T_Softinfo"), String::npos) << Folder.Messages[0].Text;
  EXPECT_TRUE(Frm_Main->Visible());
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(1)->Text(), "");
  EXPECT_FALSE(Frm_Main->ttTX->Enabled());
}

// ---------------------------------------------------------------- the reminder

TEST_F(MainWindowTest, TheReminderShowsItsWindowOnceWhenRowsFallDueAndNotWithoutThem) {
  const TDateTime today = EncodeDate(2026, 3, 10);
  TClockOverride clock(today + 0.4);
  struct Row {
    const char* Code;
    const char* Kind;
    int Days;  // from today
    const char* State;
  };
  const Row rows[] = {{"OVERDUE", "付款", -5, "未完成"}, {"SOON", "收款", 3, "未完成"}, {"LATER", "收款", 30, "未完成"},
                      {"DONE", "收款", 1, "已完成"}};
  for (const Row& r : rows)
    Exec("insert into t_pact_zj (PactCode, zjtype, money, jhdate, f_check) values (" + SqlStr(r.Code) + ", " +
         SqlStr(r.Kind) + ", 100, " + SqlDate(today + r.Days) + ", " + SqlStr(r.State) + ")");
  struct WindowCase {
    const char* TxDay;
    bool Shown;
  };
  // Overdue rows are always due; with them settled, 20 days ahead find none.
  const WindowCase windows[] = {{"7", true}, {"0", true}, {"20", false}};
  LoginAsAdminAndShow();
  TTimer* timer = Frm_Main->ttTX;
  for (const WindowCase& w : windows) {
    SCOPED_TRACE(w.TxDay);
    Exec(String("update T_SoftInfo set txday=") + w.TxDay);
    if (!w.Shown) Exec("update t_pact_zj set f_check='已完成' where PactCode='OVERDUE' or PactCode='SOON'");
    int met = 0;
    TModalSteps person({[&](TCustomForm* f) {
      ++met;
      EXPECT_EQ(f->ClassName(), String("TfrmMoneyTX"));
      f->Close();
    }});
    // Each case is a start of its own, with the timer made quick.
    timer->SetInterval(10);
    timer->SetEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return !timer->Enabled(); }));
    // Once only: the timer stays off and no second window comes.
    RunLoopFor(150);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_EQ(met, w.Shown ? 1 : 0);
    EXPECT_FALSE(person.Overran());
  }
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(MainWindowTest, AReminderWindowThatIsNoNumberIsReportedOnceAndTheTimerStops) {
  for (const char* value : {"null", "'一周'"}) {
    SCOPED_TRACE(value);
    Folder.Messages.clear();
    Exec(String("update T_SoftInfo set txday=") + value);
    if (!Frm_Main->Visible()) LoginAsAdminAndShow();
    Frm_Main->ttTX->SetInterval(10);
    Frm_Main->ttTX->SetEnabled(true);
    RunLoopFor(300);
    EXPECT_FALSE(Frm_Main->ttTX->Enabled());
    ASSERT_EQ(Folder.Messages.size(), 1u);
    EXPECT_NE(Folder.Messages[0].Text.find("不是有效的整数值"), String::npos) << Folder.Messages[0].Text;
    EXPECT_EQ(Folder.Messages[0].Flags & MB_ICONMASK, MB_ICONERROR);
  }
}

// ---------------------------------------------------------------- list windows

// The contract list the main window opens as it shows; closed, so the lists of a test are
// its own.
void CloseTheContractList() {
  ASSERT_NE(frmPact, nullptr);
  frmPact->Close();
  Application->ProcessMessages();
  ASSERT_EQ(frmPact, nullptr);
}

TEST_F(MainWindowTest, OpeningAListThatIsOpenRestoresItInsteadOfMakingASecond) {
  LoginAsAdminAndShow();
  ASSERT_EQ(Frm_Main->MDIChildCount(), 1);
  CloseTheContractList();
  EXPECT_EQ(Frm_Main->MDIChildCount(), 0);
  ListProbe = nullptr;
  TMainListProbe* list = OpenMDIChild(ListProbe, Frm_Main);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListProbe, list);
  EXPECT_TRUE(list->SawItselfInGlobal) << "the global names the window while it is made";
  EXPECT_EQ(list->Owner(), Frm_Main);
  EXPECT_TRUE(list->Visible());
  EXPECT_EQ(Frm_Main->MDIChildCount(), 1);

  // A window of a derived class is another list.
  OtherListProbe = nullptr;
  TOtherMainListProbe* other = OpenMDIChild(OtherListProbe, Frm_Main);
  EXPECT_NE(static_cast<TMainListProbe*>(other), list);
  EXPECT_EQ(Frm_Main->MDIChildCount(), 2);
  EXPECT_EQ(Frm_Main->ActiveMDIChild(), other);

  list->SetWindowState(wsMinimized);
  ListProbe = nullptr;
  EXPECT_EQ(OpenMDIChild(ListProbe, Frm_Main), list);
  EXPECT_EQ(ListProbe, list);
  EXPECT_EQ(Frm_Main->MDIChildCount(), 2);
  EXPECT_EQ(list->WindowState(), wsNormal);
  EXPECT_EQ(Frm_Main->ActiveMDIChild(), list);
  EXPECT_EQ(Frm_Main->MDIChildren(0), list);

  // A hidden one is shown again.
  other->Hide();
  EXPECT_EQ(OpenMDIChild(OtherListProbe, Frm_Main), other);
  EXPECT_TRUE(other->Visible());
  EXPECT_EQ(Frm_Main->MDIChildCount(), 2);
}

// ---------------------------------------------------------------- closing

TEST_F(MainWindowTest, ClosingDisconnectsFirstThenClosesTheListsFromTheLastToTheFirst) {
  LoginAsAdminAndShow();
  CloseTheContractList();
  for (const char* name : {"ListA", "ListB", "ListC"}) {
    auto* list = new TMainListProbe(Frm_Main);
    static_cast<TComponent*>(list)->SetName(name);
    list->Show();
  }
  std::vector<String> lastToFirst;
  for (int i = Frm_Main->MDIChildCount() - 1; i >= 0; --i) lastToFirst.push_back(Frm_Main->MDIChildren(i)->Name());
  TMainListProbe::Closed().clear();
  Frm_Main->N36->Click();  // "退出程序"
  Application->ProcessMessages();
  std::vector<String> order;
  for (auto& [name, connected] : TMainListProbe::Closed()) {
    order.push_back(name);
    EXPECT_FALSE(connected) << name << " closed while the database was still connected";
  }
  EXPECT_EQ(order, lastToFirst);
  EXPECT_FALSE(Frm_Data->ADOConnection1->Connected());
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(MainWindowTest, AListThatRefusesToCloseKeepsTheProgramAndItsDatabase) {
  LoginAsAdminAndShow();
  auto* keeps = new TMainListProbe(Frm_Main);
  static_cast<TComponent*>(keeps)->SetName("Keeps");
  keeps->Refuse = true;
  keeps->Show();
  TMainListProbe::Closed().clear();
  Frm_Main->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(Frm_Data->ADOConnection1->Connected());
  EXPECT_FALSE(Application->Terminated());
  EXPECT_TRUE(TMainListProbe::Closed().empty());
  // The contract list opened at start stays with it.
  EXPECT_EQ(Frm_Main->MDIChildCount(), 2);
  EXPECT_NE(frmPact, nullptr);
  keeps->Refuse = false;
}

// ---------------------------------------------------------------- rights

TEST_F(MainWindowTest, RightsEnableExactlyTheActionsTheUserHolds) {
  const String all = Scalar("select qxlist from tUser where UserName='Admin'");
  struct RightsCase {
    const char* Rights;
    std::set<String> Enabled;  // of the governed actions; empty with "all" below
    bool All;
  };
  // In this order, so each case starts from what the one before left.
  const RightsCase cases[] = {
      {"Pact_Add,Pact_Edit,", {"PactAdd", "PactEdit"}, false},
      {"", {}, false},
      {"", {}, true},
      {"MoneyIn,UserQX,Resume,", {"MoneyIn", "UserQX1", "M_Restore"}, false},
  };
  LoginAsAdminAndShow();
  int n = 0;
  for (const RightsCase& c : cases) {
    String user = "user" + IntToStr(++n);
    AddUser(user, "", c.All ? all : String(c.Rights));
    SCOPED_TRACE(user);
    Frm_Main->CurrentUser = user;
    Frm_Main->ApplyUserRights();
    for (const TFrm_Main::TRightAction& r : TFrm_Main::RightActions) {
      TAction* a = Frm_Main->*r.Action;
      EXPECT_EQ(a->Enabled(), c.All || c.Enabled.count(a->Name()) > 0) << a->Name();
    }
    // Exports and the rest are not governed.
    for (const char* free : {"PactExp", "PrjExp", "EmpExp", "Logout", "M_Company", "AddHT"})
      EXPECT_TRUE(ActionNamed(free)->Enabled()) << free;
  }
  // A user whose row is gone holds nothing.
  Frm_Main->CurrentUser = "nobody";
  Frm_Main->ApplyUserRights();
  EXPECT_FALSE(Frm_Main->UserQX1->Enabled());
  EXPECT_FALSE(Frm_Main->Pact_M->Enabled());
}

TEST_F(MainWindowTest, AChangeOfUserClosesTheListsAndGivesTheNewUserHisRights) {
  LoginAsAdminAndShow();
  AddUser("clerk", "secret", "Pact_Add,Pact_M,");
  (new TMainListProbe(Frm_Main))->Show();
  auto loginAs = [](const String& user, const String& password) {
    TModalSteps steps({[=](TCustomForm* f) {
      auto* login = dynamic_cast<TFrm_Login*>(f);
      ASSERT_NE(login, nullptr);
      ASSERT_NE(login, Frm_Login) << "a window of its own";
      login->Combo_User->SetText(user);
      login->Edit_Pass->SetText(password);
      login->Btn_ok->Click();
    }});
    Frm_Main->Logout->Execute();
    EXPECT_FALSE(steps.Overran());
    EXPECT_EQ(steps.Met().size(), 1u);
  };
  loginAs("clerk", "secret");
  Application->ProcessMessages();
  EXPECT_EQ(Frm_Main->MDIChildCount(), 0);
  EXPECT_EQ(Frm_Main->CurrentUser, "clerk");
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(0)->Text(), " 当前操作员: clerk");
  EXPECT_TRUE(Frm_Main->PactAdd->Enabled());
  EXPECT_TRUE(Frm_Main->Pact_M->Enabled());
  EXPECT_FALSE(Frm_Main->PactEdit->Enabled());
  EXPECT_FALSE(Frm_Main->UserQX1->Enabled());

  // Back to the user with every right: what the clerk lacked is usable again.
  loginAs("Admin", "");
  EXPECT_EQ(Frm_Main->CurrentUser, "Admin");
  for (const TFrm_Main::TRightAction& r : TFrm_Main::RightActions)
    EXPECT_TRUE((Frm_Main->*r.Action)->Enabled()) << r.Right;
  // The start's login window was left alone.
  EXPECT_NE(Frm_Login, nullptr);
  EXPECT_EQ(Frm_Login->LoginOK, 1);
}

TEST_F(MainWindowTest, ACancelledChangeOfUserKeepsTheUserButNotTheLists) {
  LoginAsAdminAndShow();
  AddUser("clerk", "secret", "Pact_Add,");
  Frm_Main->CurrentUser = "clerk";
  Frm_Main->ApplyUserRights();
  Frm_Main->StatusBar1->Panels()->Items(0)->SetText(" 当前操作员: clerk");
  (new TMainListProbe(Frm_Main))->Show();
  TModalSteps steps({[](TCustomForm* f) { dynamic_cast<TFrm_Login*>(f)->Btn_Exit->Click(); }});
  Frm_Main->Logout->Execute();
  Application->ProcessMessages();
  EXPECT_FALSE(steps.Overran());
  EXPECT_EQ(Frm_Main->MDIChildCount(), 0);
  EXPECT_EQ(Frm_Main->CurrentUser, "clerk");
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(0)->Text(), " 当前操作员: clerk");
  EXPECT_TRUE(Frm_Main->PactAdd->Enabled());
  EXPECT_FALSE(Frm_Main->PactEdit->Enabled());
  EXPECT_FALSE(Application->Terminated());
}

// ---------------------------------------------------------------- links and pending commands

TEST_F(MainWindowTest, HelpMenuAndToolBarOpenTheSupportMailAndTheHomepage) {
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  LoginAsAdminAndShow();
  MenuAt(Frm_Main->MainMenu1->Items(), {"系统帮助(&H)", "E-Mail支持"})->Click();
  MenuAt(Frm_Main->MainMenu1->Items(), {"系统帮助(&H)", "沃岚主页"})->Click();
  Frm_Main->ToolBar1->Buttons(9)->Click();  // "网上沃岚"
  Application->ProcessMessages();
  SetShellHandler(previous);
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].rfind("mailto:", 0), 0u) << opened[0];
  EXPECT_NE(PercentDecoded(opened[0]).find("subject=改进意见"), String::npos) << opened[0];
  EXPECT_EQ(opened[1].rfind("https://", 0), 0u) << opened[1];
  EXPECT_EQ(opened[2], opened[1]);
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(MainWindowTest, CommandsWhoseWindowsAreNotThereYetDoNothingVisible) {
  LoginAsAdminAndShow();
  int forms = Screen->FormCount();
  std::set<String> run;
  for (int i = 0; i < Frm_Main->ActionList1->ActionCount(); ++i) {
    auto* a = dynamic_cast<TCustomAction*>(Frm_Main->ActionList1->Actions(i));
    if (a->OnExecute) continue;
    SCOPED_TRACE(a->Name());
    EXPECT_NO_THROW(a->Execute());
    run.insert(a->Name());
  }
  std::function<void(TMenuItem*)> clickPlain = [&](TMenuItem* item) {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* sub = item->Items(i);
      if (sub->Count() > 0) clickPlain(sub);
      else if (!sub->Action() && !sub->OnClick) {
        EXPECT_NO_THROW(sub->Click()) << sub->Caption();
      }
    }
  };
  clickPlain(Frm_Main->MainMenu1->Items());
  Application->ProcessMessages();
  // The actions no entry point gives a handler: the older windows' own tool buttons and the
  // basic-data lists the visible menu reaches otherwise.
  EXPECT_EQ(run, (std::set<String>{"AddOther", "CancelOther", "M_Custom", "M_Depart", "M_Units", "M_ZHIFU"}));
  EXPECT_EQ(Screen->FormCount(), forms);
  // Only the contract list the window opened as it showed.
  ASSERT_EQ(Frm_Main->MDIChildCount(), 1);
  EXPECT_EQ(Frm_Main->MDIChildren(0), frmPact);
  EXPECT_TRUE(Folder.Messages.empty());
  EXPECT_FALSE(Application->Terminated());
}

// ---------------------------------------------------------------- the picture

TEST_F(MainWindowTest, ScreenshotAfterLogin) {
  ForceDirectories("screenshots");
  Frm_Login->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(GrabToPng(Frm_Login, "screenshots/login_window.png"));
  Frm_Login->Hide();
  LoginAsAdminAndShow();
  Frm_Main->SetWindowState(wsNormal);
  Frm_Main->SetBounds(0, 0, 800, 560);
  Application->ProcessMessages();
  ASSERT_TRUE(GrabToPng(Frm_Main, "screenshots/main_window.png"));
  EXPECT_GT(FileSize("screenshots/main_window.png"), 1000);
}

}  // namespace

// ---------------------------------------------------------------- report commands

namespace {

// A designer that notes what it saw and closes at once.
class TNoteDesigner : public TfrxCustomDesigner {
public:
  using TfrxCustomDesigner::TfrxCustomDesigner;
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

}  // namespace

// The goods list as the build lays it out in the program folder, over seeded goods: every row
// once, in order, on pages numbered "第 n 页，共 N 页".
TEST_F(MainWindowTest, PrintGoodsShowsTheLaidOutGoodsListWithEveryRowAndThePageNumbers) {
  ASSERT_EQ(WriteStoredReports(Folder.Path()).size(), 3u);
  // As the module reads it at the program's start (the module was made before the file was).
  ASSERT_TRUE(Frm_Data->frx_goods->LoadFromFile(Folder.Path() + "Reports\\frx_goods.fr3", true));
  const int rows = 130;
  for (int i = 0; i < rows; ++i)
    Exec("insert into T_Goods (GoodsCode, GoodsName, GoodsUnit, Units, InPrice, OutPrice) values ('" +
         Format("G%.3d", {i}) + "', '货品" + IntToStr(i) + "', 'M" + IntToStr(i % 7) + "', '个', " + IntToStr(i) +
         ", " + IntToStr(i * 2) + ")");
  LoginAsAdminAndShow();
  TfrxReport* goods = Frm_Data->frx_goods;
  goods->PreviewOptions()->SetModal(false);
  goods->PreviewOptions()->SetMaximized(false);
  ActionNamed("PrintGoods")->Execute();
  ASSERT_TRUE(WaitUntil([&] {
    auto* w = dynamic_cast<TfrxPreviewForm*>(goods->PreviewForm());
    return w && !w->Preview()->Preparing() && !goods->Timer()->Enabled();
  })) << goods->Errors()->Text();
  EXPECT_EQ(goods->Errors()->Count(), 0) << goods->Errors()->Text();
  auto* window = dynamic_cast<TfrxPreviewForm*>(goods->PreviewForm());
  auto* pages = dynamic_cast<TfrxPreviewPages*>(goods->PreviewPages());
  ASSERT_NE(pages, nullptr);
  const int count = pages->Count();
  ASSERT_GE(count, 3);  // 130 rows of 5 mm do not fit on two A4 pages
  EXPECT_EQ(window->Preview()->PageCount(), count);
  std::vector<String> codes;
  for (int p = 0; p < count; ++p) {
    SCOPED_TRACE(p);
    std::vector<String> texts;
    for (TfrxComponent* c : pages->GetPage(p)->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c)) texts.push_back(m->Text());
    // The total is filled in as the page is drawn.
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "第 " + IntToStr(p + 1) + " 页，共 [TotalPages#] 页"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), String("货品列表")), p == 0 ? 1 : 0);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), String("货品编码")), 1);  // the header on each page
    for (const String& t : texts)
      if (t.size() == 4 && t[0] == 'G') codes.push_back(t);
  }
  ASSERT_EQ(codes.size(), static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) EXPECT_EQ(codes[i], Format("G%.3d", {i}));

  // Printed from the preview to the PDF printer, each sheet says which of how many it is.
  TempFolder dir;
  goods->PrintOptions()->SetShowDialog(false);
  const int printerBefore = ReportPrinters()->SelectedIndex();
  ReportPrinters()->SelectPrinter(ReportPrinters()->IndexOfName("PDF"));
  ReportPrinters()->CurrentPrinter()->OutputFileName = dir / "goods.pdf";
  window->PrintBClick(nullptr);
  ReportPrinters()->CurrentPrinter()->OutputFileName = "";
  ReportPrinters()->SelectPrinter(printerBefore);
  std::vector<std::string> sheets = printtest::PdfPages(std::string(dir / "goods.pdf"));
  ASSERT_EQ(static_cast<int>(sheets.size()), count);
  for (int p = 0; p < count; ++p) {
    SCOPED_TRACE(p);
    const std::string footer = "第 " + std::to_string(p + 1) + " 页，共 " + std::to_string(count) + " 页";
    EXPECT_NE(sheets[p].find(footer), std::string::npos) << sheets[p];
    EXPECT_EQ(sheets[p].find("TotalPages"), std::string::npos);
  }
  EXPECT_NE(sheets[0].find("货品列表"), std::string::npos);
  EXPECT_NE(sheets[0].find("G000"), std::string::npos);
  EXPECT_NE(sheets[count - 1].find(Format("G%.3d", {rows - 1})), std::string::npos);
  window->Close();
  Application->ProcessMessages();
}

TEST_F(MainWindowTest, ReportActionsShowTheModulesReportsAndDesignItemsOpenTheDesigner) {
  LoginAsAdminAndShow();
  TfrxReport* project = Frm_Data->frx_project;
  project->PreviewOptions()->SetModal(false);
  project->PreviewOptions()->SetMaximized(false);
  project->EngineOptions()->SetNewSilentMode(simSilent);
  project->EngineOptions()->SetDoublePass(true);

  // Without a definition the preview opens empty and says nothing.
  ActionNamed("PrintProject")->Execute();
  ASSERT_TRUE(WaitUntil([&] { return project->PreviewForm() && !project->Timer()->Enabled(); }));
  auto* window = dynamic_cast<TfrxPreviewForm*>(project->PreviewForm());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Preview()->PageCount(), 0);
  window->Close();
  Application->ProcessMessages();

  // With a page the preview shows it as it is prepared.
  auto* page = new TfrxReportPage(project);
  page->SetName("Page1");
  page->SetPaperSize(9);
  auto* title = new TfrxReportTitle(page);
  title->SetName("ReportTitle1");
  title->SetHeight(40);
  auto* memo = new TfrxMemoView(title);
  memo->SetName("Memo1");
  memo->SetText("工程项目 [Page] / [TotalPages]");
  memo->SetBounds(0, 0, 300, 20);
  ActionNamed("PrintProject")->Execute();
  ASSERT_TRUE(WaitUntil([&] {
    auto* w = dynamic_cast<TfrxPreviewForm*>(project->PreviewForm());
    return w && !w->Preview()->Preparing() && w->Preview()->PageCount() == 1;
  })) << project->Errors()->Text();
  window = dynamic_cast<TfrxPreviewForm*>(project->PreviewForm());
  auto* pages = dynamic_cast<TfrxPreviewPages*>(project->PreviewPages());
  ASSERT_NE(pages, nullptr);
  String text;
  for (TfrxComponent* c : pages->GetPage(0)->AllObjects())
    if (auto* m = dynamic_cast<TfrxMemoView*>(c)) text += m->Text();
  EXPECT_EQ(text, "工程项目 1 / 1");
  window->Close();
  Application->ProcessMessages();

  // The design item does nothing without a designer; with one, the main window waits for it.
  TfrxDesignerClass old = DesignerClass;
  DesignerClass = nullptr;
  Frm_Main->N18->Click();
  EXPECT_EQ(project->Designer(), nullptr);
  bool mainDisabled = false, shown = false;
  DesignerClass = [](TComponent* Owner, TfrxReport* R, bool P) -> TfrxCustomDesigner* {
    return new TNoteDesigner(Owner, R, P);
  };
  TForm* active = nullptr;
  TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    auto* d = dynamic_cast<TNoteDesigner*>(project->Designer());
    if (!d) return;
    shown = d->Visible();
    mainDisabled = active && !active->Enabled();
    d->SetClosed(true);
  }));
  Frm_Main->SetFocus();
  // The active form (the main window or its active list) waits, disabled, for the designer.
  active = Screen->ActiveForm();
  ASSERT_NE(active, nullptr);
  Frm_Main->N18->Click();
  DesignerClass = old;
  EXPECT_TRUE(shown);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(active->Enabled());
  EXPECT_EQ(project->Designer(), nullptr);
}

// ---------------------------------------------------------------- the older records' entry points

namespace {

// The main window over the older records' fixture. The dialogs not yet in the program open
// through the main window's hook, which notes each opening with the row it would show: the
// current contract for an add, the current row of the dialog's own query for an edit.
class MainLegacyTest : public LegacyTest {
protected:
  struct TOpening {
    String Window;
    int Mode;
    String Row;  // HTCode, or ProjectCode for the project dialog; '' without a row
    bool operator==(const TOpening&) const = default;
  };
  friend std::ostream& operator<<(std::ostream& os, const TOpening& o) {
    return os << o.Window << " mode " << o.Mode << " on '" << o.Row << "'";
  }
  std::vector<TOpening> Opened;

  void SetUp() override {
    LegacyTest::SetUp();
    Frm_Main->OpenPendingLegacyDialog = [this](const String& window, int mode) {
      String row;
      if (const TLegacyRecordKind* kind = FindLegacyKind(window)) {
        TDataSet* q = mode == 1 ? Frm_Data->Qry_HT : LegacyQuery(*kind);
        if (TFrm_Main::HasCurrentRow(q)) row = q->FieldByName("HTCode")->AsString();
      } else if (window == LegacyProjectKind().Window && TFrm_Main::HasCurrentRow(Frm_Data->Qry_Project)) {
        row = Frm_Data->Qry_Project->FieldByName("ProjectCode")->AsString();
      }
      Opened.push_back({window, mode, row});
    };
  }

  static void Run(const String& action) {
    TAction* a = ActionNamed(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->OnExecute) << action;
    a->Execute();
  }
  std::vector<TOpening> TakeOpened() { return std::exchange(Opened, {}); }
  int RowsIn(const String& table, const String& where) {
    return Count("select count(*) from " + table + " where " + where);
  }
};

// The actions of the nine record families, in the order of LegacyRecordKinds().
struct TFamilyCase {
  const char* Add;
  const char* Edit;
  const char* Delete;
};
const TFamilyCase kFamilyActions[] = {
    {"AddHTbg", "edithtbg", "delehtbg"}, {"AddHTbL", "edithtbl", "delehtbl"},
    {"AddHTsp", "edithtsp", "delehtsp"}, {"AddHTjs", "edithtjs", "delehtjs"},
    {"AddHTjh", "edithtjh", "delehtjh"}, {"AddHTfk", "edithtfk", "delehtfk"},
    {"AddHTWD", "edithtwd", "delehtwd"}, {"AddHTskjh", "edithtskjh", "delehtskjh"},
    {"AddHTsk", "edithtsk", "delehtsk"},
};

TEST_F(MainLegacyTest, RecordFamiliesOpenTheirDialogsOnlyWithRowsAndDeleteTheCurrentRecordAfterAYes) {
  ASSERT_EQ(std::size(kFamilyActions), LegacyRecordKinds().size());
  const std::vector<int> all(10, 1);

  // Closed queries have no rows: nothing opens, nothing is asked, nothing goes.
  Frm_Data->Qry_HT->Close();
  for (const TLegacyRecordKind& k : LegacyRecordKinds()) LegacyQuery(k)->Close();
  for (const TFamilyCase& f : kFamilyActions)
    for (const char* action : {f.Add, f.Edit, f.Delete}) Run(action);
  Run("Action2");
  EXPECT_TRUE(TakeOpened().empty());
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(RowsOf("HT1"), all);

  // The contract current is HT2; each family's own query is put on HT1's record.
  OpenLegacyQueries("HT2");
  for (std::size_t i = 0; i < std::size(kFamilyActions); ++i) {
    const TFamilyCase& f = kFamilyActions[i];
    const TLegacyRecordKind& kind = LegacyRecordKinds()[i];
    SCOPED_TRACE(kind.Window);
    TADOQuery* q = LegacyQuery(kind);
    ASSERT_TRUE(q->Locate("HTCode", Variant("HT1"), {}));
    Run(f.Add);
    Run(f.Edit);
    EXPECT_EQ(TakeOpened(), (std::vector<TOpening>{{kind.Window, 1, "HT2"}, {kind.Window, 0, "HT1"}}));

    Answers = {IDNO};
    Run(f.Delete);
    EXPECT_EQ(TakeMessages(), std::vector<String>{kind.DeleteQuestion});
    EXPECT_EQ(RowsIn(kind.Table, "HTCode='HT1'"), 1);
    Answers = {IDYES};
    Run(f.Delete);
    EXPECT_EQ(TakeMessages(), std::vector<String>{kind.DeleteQuestion});
    EXPECT_EQ(RowsIn(kind.Table, "HTCode='HT1'"), 0);
    EXPECT_EQ(RowsIn(kind.Table, "HTCode='HT2'"), 1);
  }
  // The change's second add action is the first one.
  Run("Action2");
  EXPECT_EQ(TakeOpened(), (std::vector<TOpening>{{"TFrm_htbg", 1, "HT2"}}));
  EXPECT_EQ(RowsOf("HT2"), all);
}

TEST_F(MainLegacyTest, ContractEntryPointsEditTheCurrentContractAndDeleteItWithAllItsRecordsOrNothing) {
  const std::vector<int> all(10, 1), none(10, 0);
  Frm_Data->Qry_HT->Close();
  Run("AddHT");
  Run("editht");
  Run("delht");
  EXPECT_EQ(TakeOpened(), (std::vector<TOpening>{{"TFrm_Addht", 1, ""}})) << "an add needs no contract";
  EXPECT_TRUE(TakeMessages().empty());

  OpenLegacyQueries("HT1");
  Run("editht");
  EXPECT_EQ(TakeOpened(), (std::vector<TOpening>{{"TFrm_Addht", 0, "HT1"}}));

  struct DeleteCase {
    const char* Contract;
    int Answer;
    const char* RefusedTable;  // a trigger refuses deletes there; '' for none
    std::vector<String> Messages;
    std::vector<int> Left;
  };
  const String question = TFrm_Main::DeleteContractQuestion;
  const DeleteCase cases[] = {
      {"HT1", IDNO, "", {question}, all},
      {"HT1", IDYES, "T_htsk1", {question, "删除记录失败!"}, all},
      {"HT1", IDYES, "", {question}, none},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(String(c.RefusedTable) + (c.Answer == IDYES ? " yes" : " no"));
    if (*c.RefusedTable) Refuse("DELETE", c.RefusedTable);
    ASSERT_TRUE(Frm_Data->Qry_HT->Locate("HTCode", Variant(c.Contract), {}));
    Answers = {c.Answer};
    Run("delht");
    if (*c.RefusedTable) RawSql(String("DROP TRIGGER refuse_") + c.RefusedTable);
    EXPECT_EQ(TakeMessages(), c.Messages);
    EXPECT_EQ(RowsOf(c.Contract), c.Left);
    EXPECT_EQ(RowsOf("HT2"), all);
  }
  // The list no longer shows the deleted contract.
  EXPECT_FALSE(Frm_Data->Qry_HT->Locate("HTCode", Variant("HT1"), {}));
  EXPECT_EQ(Frm_Data->Qry_HT->RecordCount(), 1);
}

TEST_F(MainLegacyTest, TheContractDeleteAsksInAWarningBox) {
  OpenLegacyQueries("HT2");
  Answers = {IDNO};
  Run("delht");
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_EQ(Folder.Messages[0].Caption, "警告");
  EXPECT_EQ(Folder.Messages[0].Flags, MB_YESNO | MB_ICONINFORMATION);
}

TEST_F(MainLegacyTest, RowDeletesOfDepotsUnitsProjectsAndGoodsAskFirstAndNeedARow) {
  Exec("insert into Dict_DepotName (Name) values ('一号库')");
  Exec("insert into Dict_DepotName (Name) values ('二号库')");
  Exec("insert into T_Goods (GoodsType, GoodsCode, GoodsName) values ('01', 'G1', '螺栓')");
  Exec("insert into T_Goods (GoodsType, GoodsCode, GoodsName) values ('01', 'G2', '螺母')");
  Exec("insert into T_BillDetail (BillCode, GoodsCode, GoodsName) values ('B1', 'G1', '螺栓')");
  Exec("insert into T_BillDetail (BillCode, GoodsCode, GoodsName) values ('B1', 'G2', '螺母')");
  struct RowCase {
    const char* Action;
    TADOQuery* Query;
    const char* Table;
    const char* Column;
    const char* Value;
    const char* Question;
    const char* AlsoGone;  // rows that go with it ('' none) and those that stay
    const char* Kept;
  };
  const RowCase cases[] = {
      {"DelOther", Frm_Data->Qry_Other, "Dict_DepotName", "Name", "二号库", TFrm_Main::DeleteRowQuestion, "",
       "select count(*) from Dict_DepotName where Name='一号库'"},
      {"delemployee", Frm_Data->Qry_emloyee, "Dict_Employee", "Name", "二公司", TFrm_Main::DeleteRowQuestion, "",
       "select count(*) from Dict_Employee where Name='一公司'"},
      {"DelProject", Frm_Data->Qry_Project, "T_Project", "ProjectCode", "P02", TFrm_Main::DeleteRowQuestion, "",
       "select count(*) from T_Project where ProjectCode='P01'"},
      {"DelGoods", Frm_Data->Qry_Goods, "T_Goods", "GoodsCode", "G1", DeleteGoodsQuestion,
       "select count(*) from T_BillDetail where GoodsCode='G1'",
       "select count(*) from T_BillDetail where GoodsCode='G2'"},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.Action);
    const String row = String("select count(*) from ") + c.Table + " where " + c.Column + "=" + SqlStr(c.Value);
    c.Query->Close();
    Run(c.Action);
    EXPECT_TRUE(TakeMessages().empty()) << "a closed query has no row to delete";

    Frm_Data->OpenQuery(c.Query, String("select * from ") + c.Table);
    ASSERT_TRUE(c.Query->Locate(c.Column, Variant(String(c.Value)), {}));
    Answers = {IDNO};
    Run(c.Action);
    EXPECT_EQ(TakeMessages(), std::vector<String>{c.Question});
    EXPECT_EQ(Count(row), 1);
    Answers = {IDYES};
    Run(c.Action);
    EXPECT_EQ(TakeMessages(), std::vector<String>{c.Question});
    EXPECT_EQ(Count(row), 0);
    if (*c.AlsoGone) {
      EXPECT_EQ(Count(c.AlsoGone), 0);
    }
    EXPECT_EQ(Count(c.Kept), 1);
  }
}

TEST_F(MainLegacyTest, EntryPointsOfDialogsNotInTheProgramOpenNothingWithoutTheHook) {
  Frm_Main->OpenPendingLegacyDialog = nullptr;
  OpenLegacyQueries("HT1");
  Frm_Data->OpenQuery(Frm_Data->Qry_Project, "select * from T_Project");
  const int forms = Screen->FormCount();
  std::vector<String> actions = {"AddHT", "editht", "Action2", "AddProject", "EditProject"};
  for (const TFamilyCase& f : kFamilyActions) actions.insert(actions.end(), {f.Add, f.Edit});
  for (const String& a : actions) {
    SCOPED_TRACE(a);
    EXPECT_NO_THROW(Run(a));
    EXPECT_EQ(Screen->FormCount(), forms);
  }
  EXPECT_TRUE(TakeMessages().empty());
  EXPECT_EQ(RowsOf("HT1"), std::vector<int>(10, 1));
}

TEST_F(MainLegacyTest, ProjectDialogOpensToAddAndToEditTheCurrentProject) {
  Frm_Data->Qry_Project->Close();
  Run("AddProject");
  Run("EditProject");
  Frm_Data->OpenQuery(Frm_Data->Qry_Project, "select * from T_Project");
  ASSERT_TRUE(Frm_Data->Qry_Project->Locate("ProjectCode", Variant("P02"), {}));
  Run("EditProject");
  EXPECT_EQ(TakeOpened(), (std::vector<TOpening>{{"TFrm_AddProject", 1, ""}, {"TFrm_AddProject", 0, "P02"}}));
}

// Each window an entry point opens, as a person finds it: its class, what it was given, and
// its owner; it is closed at once and is gone afterwards.
TEST_F(MainLegacyTest, EntryPointsOpenTheirWindowsModallyWithTheirModesAndFreeThem) {
  Exec("insert into T_Goods (GoodsType, GoodsCode, GoodsName) values ('01', 'G1', '螺栓')");
  Frm_Data->OpenQuery(Frm_Data->Qry_Goods, "select * from T_Goods");
  Frm_Data->OpenQuery(Frm_Data->Qry_emloyee, "select * from Dict_Employee");

  using TCheck = std::function<void(TCustomForm*)>;
  auto tree = [](const char* table, const char* caption) -> TCheck {
    return [=](TCustomForm* f) {
      auto* t = dynamic_cast<TFrm_Tree*>(f);
      ASSERT_NE(t, nullptr);
      EXPECT_EQ(t->TableName, table);
      EXPECT_EQ(t->Caption(), caption);
      ASSERT_GT(t->TreeView1->Items()->Count(), 0);
      EXPECT_EQ(t->TreeView1->Items()->Item(0)->Text(), caption);
    };
  };
  struct OpenCase {
    const char* Entry;     // an action's name, or a published handler's
    const char* Class;
    TComponent* Owner;
    TCheck Check;
    std::function<void()> Prepare = nullptr;  // puts the row an edit shows
  };
  const OpenCase cases[] = {
      {"AddGoods", "TFrm_AddGoods", Frm_Main,
       [](TCustomForm* f) {
         auto* d = dynamic_cast<TFrm_AddGoods*>(f);
         EXPECT_EQ(d->AddMode, 1);
         EXPECT_EQ(Frm_AddGoods, d);
         EXPECT_EQ(d->Edit_GoodsName->Text(), "");
       }},
      {"EditGoods", "TFrm_AddGoods", Frm_Main,
       [](TCustomForm* f) {
         auto* d = dynamic_cast<TFrm_AddGoods*>(f);
         EXPECT_EQ(d->AddMode, 0);
         EXPECT_EQ(d->Edit_GoodsName->Text(), "螺栓");
       }},
      {"M_DepotName", "TFrm_DepotName", Frm_Main, nullptr},
      {"M_Employee", "TFrm_employee", Frm_Main,
       [](TCustomForm* f) { EXPECT_EQ(dynamic_cast<TFrm_employee*>(f)->CallerMode, 0); }},
      {"Addemployee", "TFrm_addemloyee", Frm_Main,
       [](TCustomForm* f) { EXPECT_EQ(dynamic_cast<TFrm_addemloyee*>(f)->AddMode, 1); }},
      {"editemployee", "TFrm_addemloyee", Frm_Main,
       [](TCustomForm* f) {
         auto* d = dynamic_cast<TFrm_addemloyee*>(f);
         EXPECT_EQ(d->AddMode, 0);
         EXPECT_EQ(d->Edit_Name->Text(), "二公司");
       },
       [] { ASSERT_TRUE(Frm_Data->Qry_emloyee->Locate("Name", Variant("二公司"), {})); }},
      {"S_Project", "TFrm_S_Project", Frm_Main, nullptr},
      {"batchedit_goods", "TFrm_BatchEdit", Application,
       [](TCustomForm* f) { EXPECT_EQ(dynamic_cast<TFrm_BatchEdit*>(f)->Mode, 1); }},
      {"BatchEdit_cust", "TFrm_BatchEdit", Application,
       [](TCustomForm* f) {
         EXPECT_EQ(dynamic_cast<TFrm_BatchEdit*>(f)->Mode, 2);
         EXPECT_EQ(Frm_BatchEdit, f);
       }},
      {"Category_HT", "TFrm_Tree", Frm_Main, tree("Category_HT", "合同类别")},
      {"Category_Project", "TFrm_Tree", Frm_Main, tree("Category_Project", "项目类别")},
      {"N24Click", "TFrm_R_qrhtbg", Frm_Main,
       [](TCustomForm*) { EXPECT_EQ(Frm_Data->Qry_count1->RecordCount(), 2) << "HT1's and HT2's changes"; }},
      {"N26Click", "TFrm_R_HTsp", Frm_Main,
       [](TCustomForm* f) { EXPECT_EQ(dynamic_cast<TFrm_R_HTsp*>(f)->Qry_Count->RecordCount(), 2); }},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.Entry);
    if (c.Prepare) c.Prepare();
    const int forms = Screen->FormCount();
    TModalSteps person({[&](TCustomForm* f) {
      EXPECT_EQ(f->Owner(), c.Owner);
      if (c.Check) c.Check(f);
      f->Close();
    }});
    if (TAction* a = ActionNamed(c.Entry)) {
      ASSERT_TRUE(a->OnExecute);
      a->Execute();
    } else {
      // No menu item carries these: they are reached by their published names.
      TNotifyEvent handler;
      handler.Assign(MethodAddress(Frm_Main, c.Entry));
      ASSERT_TRUE(handler);
      handler(Frm_Main);
    }
    EXPECT_EQ(person.Met(), std::vector<String>{c.Class});
    EXPECT_FALSE(person.Overran());
    EXPECT_EQ(Screen->FormCount(), forms);
  }
  EXPECT_EQ(Frm_AddGoods, nullptr);
  EXPECT_EQ(Frm_BatchEdit, nullptr);
  EXPECT_TRUE(Opened.empty());

  // Without a current row there is nothing to edit.
  Frm_Data->Qry_Goods->Close();
  Frm_Data->Qry_emloyee->Close();
  TModalSteps nobody({});
  Run("EditGoods");
  Run("editemployee");
  EXPECT_TRUE(nobody.Met().empty());
}

TEST_F(MainLegacyTest, TheBillSearchIsOneMDIChildHoweverOftenItIsOpened) {
  Run("M_AllBill");
  Run("M_AllBill");
  int bills = 0;
  for (int i = 0; i < Frm_Main->MDIChildCount(); ++i)
    if (Frm_Main->MDIChildren(i)->ClassName() == "TFrm_AllBill") ++bills;
  EXPECT_EQ(bills, 1);
  ASSERT_NE(Frm_AllBill, nullptr);
  EXPECT_TRUE(Frm_AllBill->Visible());
  EXPECT_EQ(Frm_AllBill->Owner(), Frm_Main);
}

TEST_F(MainLegacyTest, TheClaimListsEditOpensTheClaimDialogOnTheClaimChosenInTheList) {
  String seen;
  Frm_Main->OpenPendingLegacyDialog = [&](const String& window, int mode) {
    EXPECT_EQ(window, "TFrm_htsp");
    EXPECT_EQ(mode, 0);
    seen = Frm_Data->Qry_htsp->FieldByName("SPID")->AsString();
  };
  Frm_Data->Qry_htsp->Close();
  String chosen;
  TModalSteps person({[&](TCustomForm* f) {
    auto* list = dynamic_cast<TFrm_R_HTsp*>(f);
    ASSERT_NE(list, nullptr);
    appinput::ClickCell(list->DBGridEh1, 0, 1);
    chosen = list->Qry_Count->FieldByName("SPID")->AsString();
    EXPECT_EQ(list->Qry_Count->RecNo(), 2);
    appinput::ClickOn(list->SpeedButton2);
    f->Close();
  }});
  Frm_Main->N26Click(nullptr);
  EXPECT_FALSE(person.Overran());
  EXPECT_FALSE(chosen.empty());
  EXPECT_EQ(seen, chosen);
}

// A workbook as the grid's export writes it: the record stream of three titles over one row.
String TitlesWorkbook() {
  auto le16 = [](String& s, int v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
  };
  String s;
  for (int w : {0x0809, 8, 0, 0x10, 0, 0, 0x0042, 2, 936}) le16(s, w);
  const char* cells[2][3] = {{"TitleA", "TitleB", "TitleC"}, {"a", "b", "c"}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      const String text = cells[r][c];
      for (int w : {0x0204, int(text.size()) + 8, r, c, 0, int(text.size())}) le16(s, w);
      s += text;
    }
  for (int w : {0x000A, 0}) le16(s, w);
  return s;
}

TEST_F(MainLegacyTest, BothImportsOpenTheChosenWorkbookForTheirKindAndACancelledChoiceEndsThem) {
  TempFolder dir;
  dir.Write("book.xls", TitlesWorkbook());
  String title;
  bool choose = false;
  SetDialogHook([&](TDialogRequest& r) {
    if (r.Kind != dkOpenFile) return false;
    title = r.Dialog ? static_cast<TOpenDialog*>(r.Dialog)->Title() : String();
    r.Value = dir / "book.xls";
    r.Result = choose ? 1 : 0;
    return true;
  });
  TScopeExit unhook([] { SetDialogHook(nullptr); });
  struct ImportCase {
    const char* Action;
    const char* Kind;
  };
  for (const ImportCase& c : {ImportCase{"ImportCustData", "Custom"}, ImportCase{"ImportGoodsCust", "Goods"}}) {
    SCOPED_TRACE(c.Action);
    Exec(String("update T_Import set F_Field=' ' where tablename=") + SqlStr(c.Kind));
    choose = false;
    TModalSteps nobody({});
    Run(c.Action);
    EXPECT_EQ(title, "Excel文件导入到数据库");
    EXPECT_TRUE(nobody.Met().empty());

    choose = true;
    String kind;
    TModalSteps person({[&](TCustomForm* f) {
      auto* w = dynamic_cast<TFrm_Import*>(f);
      ASSERT_NE(w, nullptr);
      kind = w->TableName;
      f->Close();
    }});
    Run(c.Action);
    EXPECT_EQ(kind, c.Kind);
    EXPECT_EQ(Frm_Main->ImportFileName, "book.xls");
    // The kind's first mapping rows took the titles from the second column on.
    TADOQuery* q = Frm_Data->Qry_Temp;
    Frm_Data->OpenQuery(q, String("select F_Field from T_Import where tablename=") + SqlStr(c.Kind) +
                               " order by ImportID");
    std::vector<String> firstTwo;
    for (; !q->Eof() && firstTwo.size() < 2; q->Next()) firstTwo.push_back(q->FieldByName("F_Field")->AsString());
    EXPECT_EQ(firstTwo, (std::vector<String>{"TitleB", "TitleC"}));
    EXPECT_TRUE(VarIsEmpty(Frm_Main->ExcelApp)) << "closing the mapping closes the workbook";
  }
}

}  // namespace
