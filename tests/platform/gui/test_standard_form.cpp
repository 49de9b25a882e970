// A window built from a layout the way the program's windows are: a tool bar and a menu bound
// to an action list, a page control with a hidden page, a tree view, a list box, combo boxes
// and a status bar; and a sample window with every standard control, for a person to look at.
#include "MenuTestUtil.h"

#include "gui/Buttons.h"
#include "gui/Chart.h"
#include "core/ClassBuilder.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/ComboBox.h"
#include "gui/DBCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/FileCtrl.h"
#include "gui/ListCtrls.h"
#include "gui/ListView.h"
#include "gui/MaskEdit.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "data/MemDataSet.h"
#include "core/Resources.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace guitest;
using namespace mnutest;

class TStdForm : public TForm {
  KELM_CLASS(TStdForm, TForm)
public:
  using TForm::TForm;
  TActionList* ActionList1 = nullptr;
  TAction* PactAdd = nullptr;
  TAction* PactDel = nullptr;
  TAction* ViewTree = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* MnuPact = nullptr;
  TMenuItem* MnuAdd = nullptr;
  TMenuItem* MnuDel = nullptr;
  TToolBar* ToolBar1 = nullptr;
  TToolButton* BtnAdd = nullptr;
  TToolButton* BtnDel = nullptr;
  TToolButton* BtnView = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabList = nullptr;
  TTabSheet* TabHidden = nullptr;
  TTabSheet* TabSearch = nullptr;
  TTreeView* Tree1 = nullptr;
  TListBox* List1 = nullptr;
  TComboBox* CmbField = nullptr;
  TComboBox* CmbKey = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  std::vector<std::string> Log;
  void PactAddExecute(TObject*) { Log.push_back("add"); }
  void PactDelExecute(TObject*) { Log.push_back("delete"); }
  void ViewTreeExecute(TObject*) { Log.push_back("view"); }
  void FormCreate(TObject*) { StatusBar1->Panels()->Items(0)->SetText("操作员: 管理员"); }
};

KELM_PUBLISH(TStdForm) {
  b.Method("PactAddExecute", &TStdForm::PactAddExecute);
  b.Method("PactDelExecute", &TStdForm::PactDelExecute);
  b.Method("ViewTreeExecute", &TStdForm::ViewTreeExecute);
  b.Method("FormCreate", &TStdForm::FormCreate);
  b.Field("ActionList1", &TStdForm::ActionList1);
  b.Field("PactAdd", &TStdForm::PactAdd);
  b.Field("PactDel", &TStdForm::PactDel);
  b.Field("ViewTree", &TStdForm::ViewTree);
  b.Field("MainMenu1", &TStdForm::MainMenu1);
  b.Field("MnuPact", &TStdForm::MnuPact);
  b.Field("MnuAdd", &TStdForm::MnuAdd);
  b.Field("MnuDel", &TStdForm::MnuDel);
  b.Field("ToolBar1", &TStdForm::ToolBar1);
  b.Field("BtnAdd", &TStdForm::BtnAdd);
  b.Field("BtnDel", &TStdForm::BtnDel);
  b.Field("BtnView", &TStdForm::BtnView);
  b.Field("PageControl1", &TStdForm::PageControl1);
  b.Field("TabList", &TStdForm::TabList);
  b.Field("TabHidden", &TStdForm::TabHidden);
  b.Field("TabSearch", &TStdForm::TabSearch);
  b.Field("Tree1", &TStdForm::Tree1);
  b.Field("List1", &TStdForm::List1);
  b.Field("CmbField", &TStdForm::CmbField);
  b.Field("CmbKey", &TStdForm::CmbKey);
  b.Field("StatusBar1", &TStdForm::StatusBar1);
}

namespace {

const char* const kStdForm = R"(object StdForm: TStdForm
  Left = 60
  Top = 40
  BorderStyle = bsSingle
  Caption = '合同管理'
  ClientHeight = 400
  ClientWidth = 640
  Menu = MainMenu1
  OnCreate = FormCreate
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 640
    Height = 40
    ButtonHeight = 36
    ButtonWidth = 55
    Caption = 'ToolBar1'
    Flat = True
    ShowCaptions = True
    object BtnAdd: TToolButton
      Left = 0
      Top = 0
      Action = PactAdd
    end
    object BtnDel: TToolButton
      Left = 55
      Top = 0
      Action = PactDel
    end
    object BtnSep: TToolButton
      Left = 110
      Top = 0
      Width = 8
      Style = tbsSeparator
    end
    object BtnView: TToolButton
      Left = 118
      Top = 0
      Action = ViewTree
      Style = tbsCheck
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 380
    Width = 640
    Height = 20
    Panels = <
      item
        Width = 160
      end
      item
        Width = 350
      end
      item
        Width = 50
      end>
  end
  object PageControl1: TPageControl
    Left = 0
    Top = 40
    Width = 640
    Height = 340
    ActivePage = TabList
    Align = alClient
    TabOrder = 1
    object TabList: TTabSheet
      Caption = '合同列表'
      object Tree1: TTreeView
        Left = 0
        Top = 0
        Width = 220
        Height = 300
        Align = alLeft
        TabOrder = 0
      end
      object List1: TListBox
        Left = 220
        Top = 0
        Width = 400
        Height = 300
        Align = alClient
        Items.Strings = (
          '施工合同'
          '采购合同'
          '设计合同')
        TabOrder = 1
      end
    end
    object TabHidden: TTabSheet
      Caption = '隐藏页'
      TabVisible = False
    end
    object TabSearch: TTabSheet
      Caption = '查询'
      object CmbField: TComboBox
        Left = 8
        Top = 8
        Width = 160
        Height = 20
        Style = csDropDownList
        Items.Strings = (
          '合同编号'
          '合同名称')
        TabOrder = 0
      end
      object CmbKey: TComboBox
        Left = 8
        Top = 40
        Width = 160
        Height = 20
        Text = '2024'
        TabOrder = 1
      end
    end
  end
  object ActionList1: TActionList
    object PactAdd: TAction
      Category = 'pact'
      Caption = '添加'
      ShortCut = 16462
      OnExecute = PactAddExecute
    end
    object PactDel: TAction
      Category = 'pact'
      Caption = '删除'
      OnExecute = PactDelExecute
    end
    object ViewTree: TAction
      AutoCheck = True
      Caption = '树形'
      OnExecute = ViewTreeExecute
    end
  end
  object MainMenu1: TMainMenu
    object MnuPact: TMenuItem
      Caption = '合同管理(&C)'
      object MnuAdd: TMenuItem
        Action = PactAdd
      end
      object MnuDel: TMenuItem
        Action = PactDel
        Caption = '删除合同'
      end
    end
  end
end
)";

struct StdFormFixture : ::testing::Test {
  TStdForm* Form = nullptr;
  void SetUp() override {
    RegisterResource("forms/TStdForm.txt", std::string_view(kStdForm));
    Form = CreateForm<TStdForm>(Application);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    UnregisterResource("forms/TStdForm.txt");
    Application->ProcessMessages();
  }
  TPoint Centre(TControl* c) { return {c->Width() / 2, c->Height() / 2}; }
};

}  // namespace

TEST_F(StdFormFixture, DisablingAnActionDisablesItsMenuItemAndToolButton) {
  ASSERT_NE(Form->BtnDel, nullptr);
  EXPECT_EQ(Form->BtnDel->Caption(), "删除") << "the button shows the action's caption";
  EXPECT_EQ(Form->MnuDel->Caption(), "删除合同") << "the item its own";
  EXPECT_EQ(Form->MnuAdd->ShortCut(), ShortCut('N', {ssCtrl}));

  Form->PactDel->SetEnabled(false);
  EXPECT_FALSE(Form->MnuDel->Enabled());
  EXPECT_FALSE(Form->BtnDel->Enabled());
  EXPECT_TRUE(Form->BtnAdd->Enabled()) << "the other action's clients stay";
  QMenu* pact = OpenSubMenu(FindEntry(Form->MainMenu1->MenuBar(), "合同管理(&C)"));
  ASSERT_NE(pact, nullptr);
  EXPECT_FALSE(FindEntry(pact, "删除合同")->isEnabled());
  EXPECT_TRUE(FindEntry(pact, "添加")->isEnabled());
  pact->hide();

  Click(Form->BtnDel, Centre(Form->BtnDel));
  Click(Form->BtnAdd, Centre(Form->BtnAdd));
  Application->ProcessMessages();
  EXPECT_EQ(Form->Log, std::vector<std::string>{"add"}) << "a disabled button runs nothing";

  Form->PactDel->SetEnabled(true);
  EXPECT_TRUE(Form->MnuDel->Enabled());
  EXPECT_TRUE(Form->BtnDel->Enabled());
  Click(Form->BtnDel, Centre(Form->BtnDel));
  Form->MnuAdd->Click();
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"add", "delete", "add"}));

  // A check action: its button is down while it is checked.
  Click(Form->BtnView, Centre(Form->BtnView));
  EXPECT_TRUE(Form->ViewTree->Checked());
  EXPECT_TRUE(Form->BtnView->Down());
  Form->ViewTree->SetChecked(false);
  EXPECT_FALSE(Form->BtnView->Down());

  // The action's shortcut works from any control of the form.
  Form->List1->SetFocus();
  Form->Log.clear();
  TypeKey(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Form->Log, std::vector<std::string>{"add"});
}

TEST_F(StdFormFixture, AHiddenTabStaysHidden) {
  TPageControl* pc = Form->PageControl1;
  ASSERT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->ActivePage(), Form->TabList);
  EXPECT_FALSE(Form->TabHidden->TabVisible());
  EXPECT_EQ(Form->TabHidden->TabIndex(), -1);
  EXPECT_EQ(Form->TabSearch->TabIndex(), 1) << "the visible tabs close up";
  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), Form->TabSearch) << "the hidden page is skipped";
  pc->SelectNextPage(false);
  EXPECT_EQ(pc->ActivePage(), Form->TabList);

  Form->TabHidden->SetCaption("数据恢复");
  Form->TabSearch->SetCaption("查询条件");
  EXPECT_FALSE(Form->TabHidden->TabVisible()) << "a new caption does not show the tab";
  EXPECT_EQ(Form->TabHidden->TabIndex(), -1);
  // Clicking the second tab shows the search page, never the hidden one.
  TRect second = pc->TabRect(1);
  Click(pc, {(second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2});
  EXPECT_EQ(pc->ActivePage(), Form->TabSearch);
  // The hidden page can still be shown by code; its tab stays hidden.
  pc->SetActivePage(Form->TabHidden);
  EXPECT_EQ(pc->ActivePage(), Form->TabHidden);
  EXPECT_TRUE(Form->TabHidden->Visible());
  EXPECT_EQ(Form->TabHidden->TabIndex(), -1);
  EXPECT_EQ(pc->IndexOfTabAt((second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2), 1);
}

TEST_F(StdFormFixture, TreeNodesGoUnderTheirParentsAndLeaveWithTheirChildren) {
  TTreeNodes* nodes = Form->Tree1->Items();
  TTreeNode* root = nodes->Add(nullptr, "全部合同");
  TTreeNode* build = nodes->AddChild(root, "01 施工");
  TTreeNode* buy = nodes->AddChild(root, "02 采购");
  TTreeNode* road = nodes->AddChild(build, "0101 道路");
  nodes->AddChild(road, "010101 市政道路");
  nodes->AddChild(build, "0102 桥梁");
  TTreeNode* other = nodes->Add(root, "其他");
  EXPECT_EQ(nodes->Count(), 7);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(build->Count(), 2);
  EXPECT_EQ(road->Parent(), build);
  EXPECT_EQ(road->Item(0)->Level(), 3);
  EXPECT_EQ(other->Parent(), nullptr);
  EXPECT_EQ(other->Level(), 0);
  EXPECT_EQ(buy->Index(), 1);

  std::vector<String> deleted;
  Form->Tree1->OnDeletion = TTVExpandedEvent::Lambda([&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); });
  build->Delete();
  EXPECT_EQ(nodes->Count(), 3) << "the node and its three descendants";
  EXPECT_EQ(deleted.size(), 4u);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(root->Item(0), buy);
  EXPECT_EQ(buy->Index(), 0);
  root->Expand(true);
  Form->Tree1->SetSelected(buy);
  EXPECT_EQ(Form->Tree1->Selected(), buy);
}

TEST_F(StdFormFixture, ListsCombosAndStatusPanelsComeFromTheLayout) {
  EXPECT_EQ(Form->List1->Items()->Count(), 3);
  EXPECT_EQ(Form->List1->Items()->Strings(1), "采购合同");
  Form->List1->SetItemIndex(2);
  EXPECT_EQ(Form->List1->ItemIndex(), 2);
  EXPECT_EQ(Form->CmbField->Items()->Count(), 2);
  EXPECT_EQ(Form->CmbField->ItemIndex(), -1);
  Form->CmbField->SetItemIndex(1);
  EXPECT_EQ(Form->CmbField->Text(), "合同名称");
  EXPECT_EQ(Form->CmbKey->Text(), "2024");
  TStatusPanels* panels = Form->StatusBar1->Panels();
  ASSERT_EQ(panels->Count(), 3);
  EXPECT_EQ(panels->Items(0)->Width(), 160);
  EXPECT_EQ(panels->Items(1)->Width(), 350);
  EXPECT_EQ(panels->Items(0)->Text(), "操作员: 管理员") << "set by OnCreate";
  panels->Items(1)->SetText("数据库路径: DataBase/kelm.mdb");
  Application->ProcessMessages();
  QDir().mkpath("screenshots");
  EXPECT_TRUE(GrabToPng(Form, "screenshots/standard_form.png"));
}

// ================================================================ the sample window

namespace {

struct SampleFormFixture : ::testing::Test {
  TForm* Form = nullptr;
  std::vector<TControl*> Made;

  template <class T> T* Put(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(Form);
    static_cast<TControl*>(c)->SetParent(parent);
    c->SetBounds(l, t, w, h);
    Made.push_back(c);
    return c;
  }
  template <class T> T* Caption(T* c, const char* text) {
    c->SetCaption(text);
    return c;
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
};

TBitmap* Swatch(TColor colour) {
  auto* b = new TBitmap;
  b->SetSize(16, 16);
  b->Canvas()->Brush()->SetColor(clFuchsia);
  b->Canvas()->FillRect(Rect(0, 0, 16, 16));
  b->Canvas()->Brush()->SetColor(colour);
  b->Canvas()->Ellipse(2, 2, 14, 14);
  return b;
}

}  // namespace

TEST_F(SampleFormFixture, EveryStandardControlOnOneWindowInChinese) {
  Form = new TForm(Application);
  Form->SetCaption("标准控件示例 - 合同管理");
  Form->SetBounds(20, 20, 900, 640);

  auto* images = new TImageList(Form);
  for (TColor c : {clGreen, clBlue, clRed, clOlive}) {
    std::unique_ptr<TBitmap> b(Swatch(c));
    images->AddMasked(b.get(), clFuchsia);
  }
  auto* actions = new TActionList(Form);
  actions->SetImages(images);
  auto action = [&](const char* caption, int image) {
    auto* a = new TAction(Form);
    a->SetActionList(actions);
    a->SetCaption(caption);
    a->SetImageIndex(image);
    a->OnExecute = TNotifyEvent::Lambda([](TObject*) {});
    return a;
  };
  TAction* add = action("添加", 0);
  TAction* edit = action("编辑", 1);
  TAction* del = action("删除", 2);
  del->SetEnabled(false);

  auto* menu = new TMainMenu(Form);
  menu->SetImages(images);
  auto* file = NewSubMenu("文件(&F)", 0, "", {NewItem("新建合同", ShortCut('N', {ssCtrl}), false, true, nullptr, 0, ""),
                                              NewItem("打开...", ShortCut('O', {ssCtrl}), false, true, nullptr, 0, ""),
                                              NewLine(), NewItem("退出程序", ShortCut('Q', {ssCtrl}), false, true, nullptr, 0, "")});
  menu->Items()->Add(file);
  menu->Items()->Add(NewSubMenu("编辑(&E)", 0, "", {NewItem("复制", 0, false, true, nullptr, 0, "")}));
  menu->Items()->Add(NewSubMenu("帮助(&H)", 0, "", {NewItem("关于", 0, false, true, nullptr, 0, "")}));
  Form->SetMenuComponent(menu);
  menu->UpdateForm();
  auto* popup = new TPopupMenu(Form);
  popup->Items()->Add(NewItem("导出Excel", 0, false, true, nullptr, 0, ""));

  // Tool bar and status bar.
  auto* bar = Put<TToolBar>(Form, 0, 0, 900, 40);
  bar->SetAlign(alTop);
  bar->SetImages(images);
  bar->SetButtonWidth(55);
  bar->SetButtonHeight(36);
  bar->SetShowCaptions(true);
  bar->SetFlat(true);
  int x = 0;
  for (TAction* a : {add, edit, del}) {
    auto* b = Put<TToolButton>(bar, x, 0, 55, 36);
    b->SetAction(a);
    x += 55;
  }
  auto* drop = Put<TToolButton>(bar, x, 0, 69, 36);
  drop->SetStyle(tbsDropDown);
  drop->SetCaption("导出");
  drop->SetImageIndex(3);
  drop->SetDropdownMenu(popup);
  auto* status = Put<TStatusBar>(Form, 0, 600, 900, 20);
  status->SetAlign(alBottom);
  for (auto [w, text] : std::vector<std::pair<int, const char*>>{
           {160, "操作员: 管理员"}, {350, "数据库路径: DataBase/kelm.mdb"}, {50, "就绪"}}) {
    TStatusPanel* p = status->Panels()->Add();
    p->SetWidth(w);
    p->SetText(text);
  }

  // Tree, splitter, pages.
  auto* tree = Put<TTreeView>(Form, 0, 40, 170, 560);
  tree->SetAlign(alLeft);
  TTreeNode* all = tree->Items()->Add(nullptr, "全部合同");
  TTreeNode* build = tree->Items()->AddChild(all, "01 施工合同");
  tree->Items()->AddChild(build, "0101 道路工程");
  tree->Items()->AddChild(build, "0102 桥梁工程");
  tree->Items()->AddChild(all, "02 采购合同");
  tree->Items()->AddChild(all, "03 设计合同");
  tree->FullExpand();
  tree->SetSelected(build);
  auto* split = Put<TSplitter>(Form, 170, 40, 4, 560);
  split->SetAlign(alLeft);
  auto* pages = Put<TPageControl>(Form, 174, 40, 726, 560);
  pages->SetAlign(alClient);
  auto page = [&](const char* caption) {
    auto* p = new TTabSheet(Form);
    p->SetPageControl(pages);
    p->SetCaption(caption);
    return p;
  };
  TTabSheet* basic = page("基本控件");
  TTabSheet* lists = page("列表与日历");
  TTabSheet* data = page("数据与文件");
  page("隐藏页")->SetTabVisible(false);
  pages->SetActivePage(basic);

  // ---- the basic page
  Caption(Put<TLabel>(basic, 10, 12, 70, 16), "合同编号：");
  Put<TEdit>(basic, 84, 8, 140, 22)->SetText("HT-2024-001");
  Caption(Put<TLabel>(basic, 10, 42, 70, 16), "签订日期：");
  auto* mask = Put<TMaskEdit>(basic, 84, 38, 140, 22);
  mask->SetEditMask("!9999-99-99;1;_");
  mask->SetText("2024-03-08");
  Caption(Put<TLabel>(basic, 10, 72, 70, 16), "合同类别：");
  auto* combo = Put<TComboBox>(basic, 84, 68, 140, 22);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"施工合同", "采购合同", "设计合同"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  auto* memo = Put<TMemo>(basic, 240, 8, 220, 82);
  memo->Lines()->Add("备注：");
  memo->Lines()->Add("本合同一式两份，甲乙双方各执一份。");
  Caption(Put<TButton>(basic, 480, 8, 90, 26), "确定(&O)");
  auto* bit = Put<TBitBtn>(basic, 480, 40, 90, 26);
  bit->SetKind(bkCancel);
  bit->SetCaption("取消");
  auto* speed = Put<TSpeedButton>(basic, 580, 8, 90, 26);
  speed->SetCaption("刷新");
  speed->SetFlat(true);
  auto* check = Put<TCheckBox>(basic, 480, 72, 100, 20);
  check->SetCaption("已审核");
  check->SetChecked(true);
  auto* group = Put<TGroupBox>(basic, 10, 100, 220, 90);
  group->SetCaption("合同金额");
  Caption(Put<TLabel>(group, 10, 26, 50, 16), "金额：");
  Put<TEdit>(group, 60, 22, 140, 22)->SetText("¥1,234,567.00");
  auto* r1 = Put<TRadioButton>(group, 10, 56, 80, 20);
  r1->SetCaption("人民币");
  r1->SetChecked(true);
  Caption(Put<TRadioButton>(group, 100, 56, 80, 20), "美元");
  auto* radios = Put<TRadioGroup>(basic, 240, 100, 220, 90);
  radios->SetCaption("合同状态");
  for (const char* s : {"全部", "执行中", "已终止", "已结束"}) radios->Items()->Add(s);
  radios->SetColumns(2);
  radios->SetItemIndex(1);
  auto* panel = Put<TPanel>(basic, 480, 100, 200, 90);
  panel->SetCaption("面板");
  auto* shape = Put<TShape>(panel, 10, 10, 40, 40);
  shape->SetShape(stCircle);
  shape->Brush()->SetColor(clRed);
  auto* bevel = Put<TBevel>(panel, 60, 10, 60, 40);
  bevel->SetShape(bsFrame);
  auto* img = Put<TImage>(panel, 130, 10, 40, 40);
  {
    std::unique_ptr<TBitmap> b(Swatch(clNavy));
    img->Picture()->SetBitmap(b.get());
    img->SetStretch(true);
  }
  auto* list = Put<TListBox>(basic, 10, 200, 220, 110);
  for (const char* s : {"项目甲：道路改造", "项目乙：桥梁维修", "项目丙：办公楼"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  auto* checks = Put<TCheckListBox>(basic, 240, 200, 220, 110);
  for (const char* s : {"添加合同", "编辑合同", "删除合同", "打印"}) checks->Items()->Add(s);
  checks->SetChecked(0, true);
  checks->SetChecked(3, true);
  Caption(Put<TLabel>(basic, 480, 204, 60, 16), "份数：");
  auto* copies = Put<TEdit>(basic, 540, 200, 60, 22);
  copies->SetText("2");
  auto* updown = Put<TUpDown>(basic, 600, 200, 16, 22);
  updown->SetAssociate(copies);
  updown->SetPosition(2);
  auto* progress = Put<TProgressBar>(basic, 480, 232, 200, 18);
  progress->SetPosition(60);
  auto* scroll = Put<TScrollBar>(basic, 480, 260, 200, 17);
  scroll->SetPosition(30);
  auto* picker = Put<TDateTimePicker>(basic, 480, 286, 200, 22);
  picker->SetDate(EncodeDate(2024, 3, 8));
  auto* box = Put<TScrollBox>(basic, 10, 320, 450, 180);
  for (int i = 0; i < 6; ++i)
    Caption(Put<TLabel>(box, 8, 8 + i * 34, 300, 16), ("滚动区域中的第 " + std::to_string(i + 1) + " 行").c_str());

  // ---- the lists page
  auto* view = Put<TListView>(lists, 8, 8, 460, 180);
  view->SetViewStyle(vsReport);
  for (auto [caption, width] : std::vector<std::pair<const char*, int>>{{"合同编号", 110}, {"合同名称", 200}, {"金额", 100}}) {
    TListColumn* c = view->Columns()->Add();
    c->SetCaption(caption);
    c->SetWidth(width);
  }
  for (auto row : std::vector<std::vector<const char*>>{{"HT-001", "道路改造工程", "1,200,000"},
                                                        {"HT-002", "桥梁维修", "560,000"}}) {
    TListItem* it = view->Items()->Add();
    it->SetCaption(row[0]);
    it->SubItems()->Add(row[1]);
    it->SubItems()->Add(row[2]);
  }
  auto* tabs = Put<TTabControl>(lists, 8, 196, 460, 110);
  for (const char* s : {"收款提醒", "付款提醒"}) tabs->Tabs()->Add(s);
  Put<TMonthCalendar>(lists, 480, 8, 230, 170)->SetDate(EncodeDate(2024, 3, 8));
  auto* chart = Put<TChart>(lists, 8, 314, 700, 190);
  chart->Title()->Text()->Add("合同金额（按类别）");
  chart->Legend()->SetVisible(false);
  auto* bars = new TBarSeries(Form);
  bars->SetParentChart(chart);
  bars->SetSeriesColor(clRed);
  bars->Marks()->SetArrowLength(10);
  bars->Add(1200000, "施工合同");
  bars->Add(560000, "采购合同");
  bars->Add(310000, "设计合同");

  Form->Show();
  Application->ProcessMessages();
  QDir().mkpath("screenshots");
  ASSERT_TRUE(GrabToPng(Form, "screenshots/sample_form.png"));
  QImage shot("screenshots/sample_form.png");
  EXPECT_EQ(shot.size(), WidgetOf(Form)->size());

  // Every control made is shown, inside its parent.
  auto inside = [&](TWinControl* parent) {
    int n = 0;
    for (TControl* c : Made) {
      if (c->Parent() != parent) continue;
      SCOPED_TRACE(c->ClassName());
      ++n;
      EXPECT_TRUE(c->Visible());
      TRect pc = parent->ClientRect();
      EXPECT_TRUE(c->Left() >= 0 && c->Top() >= 0 && c->Left() + c->Width() <= pc.Right + 1 &&
                  c->Top() + c->Height() <= pc.Bottom + 1)
          << c->Left() << "," << c->Top() << " in " << pc.Right << "x" << pc.Bottom;
    }
    return n;
  };
  EXPECT_EQ(inside(basic), 23);
  EXPECT_EQ(inside(group), 4);
  EXPECT_EQ(inside(panel), 3);
  // The Chinese caption of the first label is drawn: dark pixels on the page colour.
  QImage basicShot = WidgetOf(basic)->grab().toImage();
  int ink = 0;
  for (int yy = 12; yy < 28; ++yy)
    for (int xx = 10; xx < 80; ++xx) ink += qGray(basicShot.pixel(xx, yy)) < 100;
  EXPECT_GT(ink, 40);
  EXPECT_FALSE(del->Enabled());

  // The second page: the list view, the tab control, the calendar and a chart.
  pages->SetActivePage(lists);
  Application->ProcessMessages();
  EXPECT_EQ(inside(lists), 4);
  EXPECT_TRUE(GrabToPng(Form, "screenshots/sample_form_lists.png"));

  // The third page: data-aware controls, the folder and file lists, a painted box.
  auto* table = new TMemDataSet(Form);
  table->FieldDefs()->Add("PactCode", ftWideString, 20);
  table->FieldDefs()->Add("PactName", ftWideString, 40);
  table->AddRow({Variant("HT-001"), Variant("道路改造工程")});
  table->AddRow({Variant("HT-002"), Variant("桥梁维修")});
  table->Open();
  auto* source = new TDataSource(Form);
  source->SetDataSet(table);
  Caption(Put<TLabel>(data, 10, 12, 70, 16), "合同编号：");
  auto* code = Put<TDBEdit>(data, 84, 8, 140, 22);
  code->SetDataSource(source);
  code->SetDataField("PactCode");
  Caption(Put<TLabel>(data, 10, 42, 70, 16), "合同名称：");
  auto* name = Put<TDBEdit>(data, 84, 38, 200, 22);
  name->SetDataSource(source);
  name->SetDataField("PactName");
  Put<TDBNavigator>(data, 300, 8, 240, 25)->SetDataSource(source);
  table->Next();
  QTemporaryDir dir;
  for (const char* f : {"合同.mdb", "备份2024.MDB", "说明.txt"})
    std::ofstream(dir.filePath(QString::fromUtf8(f)).toStdString()) << "x";
  auto* drives = Put<TDriveComboBox>(data, 10, 76, 200, 22);
  auto* folders = Put<TDirectoryListBox>(data, 10, 104, 200, 180);
  auto* files = Put<TFileListBox>(data, 220, 76, 200, 208);
  drives->SetDirList(folders);
  folders->SetFileList(files);
  files->SetMask("*.MDB");
  folders->SetDirectory(dir.path().toStdString());
  auto* paint = Put<TPaintBox>(data, 440, 76, 200, 208);
  paint->OnPaint = TNotifyEvent::Lambda([paint](TObject*) {
    TCanvas* c = paint->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(paint->ClientRect());
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(clSkyBlue);
    c->RoundRect(10, 10, 190, 90, 16, 16);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(30, 40, "自绘区域（画布）");
  });
  pages->SetActivePage(data);
  Application->ProcessMessages();
  EXPECT_EQ(inside(data), 9);
  EXPECT_EQ(code->Text(), "HT-002") << "the data-aware edit shows the current row";
  EXPECT_EQ(files->Items()->Count(), 2) << "the mask matches both cases";
  EXPECT_TRUE(GrabToPng(Form, "screenshots/sample_form_data.png"));
}
