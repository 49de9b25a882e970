// Menus: shortcut texts, the item tree, radio groups, menus read from and written to layouts,
// the menu bar of a form, choices run from the message loop, shortcut keys and popup menus.
#include "MenuTestUtil.h"

#include "core/ClassBuilder.h"
#include "gui/Dialogs.h"
#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"

#include <QtCore/QDir>

#include <gtest/gtest.h>

#include <memory>

using namespace guitest;
using namespace mnutest;

KELM_PUBLISH(TMnuLogForm) { b.Method("ItemClick", &TMnuLogForm::ItemClick); }

KELM_PUBLISH(TMnuBox) {
  PublishAction(b);
  PublishCaption(b);
  PublishEnabled(b);
  PublishPopupMenu(b);
  PublishTabOrder(b);
  PublishTabStop(b).Default(true);
  PublishVisible(b);
  PublishOnClick(b);
}

// ================================================================ shortcuts

TEST(MenuShortCuts, TextFormsRoundTripAndIgnoreCaseWhenRead) {
  struct Case {
    TShortCut Value;
    const char* Text;
  };
  const Case cases[] = {
      {ShortCut('Q', {ssCtrl}), "Ctrl+Q"},
      {VK_F4, "F4"},
      {ShortCut(VK_DELETE, {ssShift}), "Shift+Del"},
      {ShortCut(VK_RETURN, {ssCtrl, ssAlt}), "Ctrl+Alt+Enter"},
      {ShortCut('1', {ssShift, ssAlt}), "Shift+Alt+1"},
      {ShortCut(VK_NUMPAD5, {}), "Num 5"},
      {ShortCut(VK_ADD, {ssCtrl}), "Ctrl+Num +"},
      {ShortCut(VK_OEM_MINUS, {ssCtrl}), "Ctrl+-"},
      {ShortCut(VK_F12, {ssShift, ssCtrl}), "Shift+Ctrl+F12"},
  };
  EXPECT_EQ(ShortCut('Q', {ssCtrl}), 16465) << "the value layouts store for Ctrl+Q";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ShortCutToText(c.Value), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
    EXPECT_EQ(TextToShortCut(AnsiLowerCase(c.Text)), c.Value);
    Word key;
    TShiftState shift;
    ShortCutToKey(c.Value, key, shift);
    EXPECT_EQ(ShortCut(key, shift), c.Value);
  }
  for (const char* bad : {"", "Ctrl+", "Ctrl+Ctrl", "Foo", "Ctrl+Q+R", "Hyper+Q"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(TextToShortCut(bad), 0);
  }
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCut(0x1234, {ssCtrl}), 0) << "a key beyond one byte has no shortcut";
}

// ================================================================ the item tree

namespace {

class TMnuCountedItem : public TMenuItem {
public:
  TMnuCountedItem(int* Freed, const String& Caption) : TMenuItem(nullptr), FFreed(Freed) { SetCaption(Caption); }
  ~TMnuCountedItem() override { ++*FFreed; }

private:
  int* FFreed;
};

std::vector<String> Captions(TMenuItem* parent) {
  std::vector<String> r;
  for (int i = 0; i < parent->Count(); ++i) r.push_back(parent->Items(i)->Caption());
  return r;
}

}  // namespace

TEST(MenuItems, InsertMoveDeleteAndFindKeepTheTreeInOrder) {
  TPopupMenu menu(nullptr);
  TMenuItem* root = menu.Items();
  auto* open = NewItem("打开(&O)", 0, false, true, nullptr, 0, "ItemOpen");
  auto* save = NewItem("&Save", 0, false, true, nullptr, 0, "ItemSave");
  auto* line = NewLine();
  root->Add(open);
  root->Add(save);
  root->Insert(1, line);
  EXPECT_EQ(Captions(root), (std::vector<String>{"打开(&O)", "-", "&Save"}));
  EXPECT_TRUE(line->IsLine());
  EXPECT_EQ(save->MenuIndex(), 2);
  EXPECT_EQ(save->Parent(), root);
  EXPECT_EQ(save->GetParentMenu(), &menu);
  EXPECT_EQ(root->Find("save"), save) << "accelerators and case do not matter";
  EXPECT_EQ(root->Find("打开(O)"), open);
  EXPECT_EQ(root->Find("Close"), nullptr);

  save->SetMenuIndex(0);
  EXPECT_EQ(Captions(root), (std::vector<String>{"&Save", "打开(&O)", "-"}));
  root->Delete(1);
  EXPECT_EQ(open->Parent(), nullptr) << "deleted, not freed";
  EXPECT_EQ(open->GetParentMenu(), nullptr);
  EXPECT_EQ(root->IndexOf(open), -1);
  root->Insert(0, open);
  EXPECT_EQ(root->IndexOf(open), 0);

  EXPECT_THROW(root->Add(open), EMenuError) << "an item has one parent";
  EXPECT_THROW(root->Items(3), EMenuError);
  std::unique_ptr<TMenuItem> stray(NewLine());  // refused, so still ours to free
  EXPECT_THROW(root->Insert(9, stray.get()), EMenuError);
  auto* sub = NewSubMenu("更多", 0, "ItemMore", {NewItem("一", 0, false, true, nullptr, 0, "")});
  root->Add(sub);
  EXPECT_THROW(sub->Items(0)->Add(sub), EMenuError) << "an item cannot go below itself";
  EXPECT_EQ(menu.FindItem(sub->Items(0)->Command()), sub->Items(0));
}

TEST(MenuItems, FreeingAnItemFreesItsSubItemsAndLeavesItsParent) {
  int freed = 0;
  TPopupMenu menu(nullptr);
  auto* top = new TMnuCountedItem(&freed, "top");
  auto* mid = new TMnuCountedItem(&freed, "mid");
  mid->Add(new TMnuCountedItem(&freed, "leaf 1"));
  mid->Add(new TMnuCountedItem(&freed, "leaf 2"));
  top->Add(mid);
  top->Add(new TMnuCountedItem(&freed, "other"));
  menu.Items()->Add(top);
  UINT leafCommand = mid->Items(0)->Command();
  delete mid;
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(Captions(top), std::vector<String>{"other"});
  EXPECT_EQ(menu.FindItem(leafCommand), nullptr) << "a freed item's command is gone";
  menu.Items()->Clear();
  EXPECT_EQ(freed, 5);
  EXPECT_EQ(menu.Items()->Count(), 0);
}

TEST(MenuItems, RadioItemsOfAGroupExcludeEachOtherAndAutoCheckToggles) {
  TPopupMenu menu(nullptr);
  auto add = [&](const char* caption, Byte group, bool radio) {
    auto* it = NewItem(caption, 0, false, true, nullptr, 0, "");
    it->SetGroupIndex(group);
    it->SetRadioItem(radio);
    menu.Items()->Add(it);
    return it;
  };
  TMenuItem* a = add("a", 1, true);
  TMenuItem* b = add("b", 1, true);
  TMenuItem* c = add("c", 2, true);
  TMenuItem* d = add("d", 1, false);
  for (TMenuItem* it : {a, c, d}) it->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked()) << "same group";
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked()) << "another group";
  EXPECT_TRUE(d->Checked()) << "not a radio item";

  int clicks = 0;
  for (TMenuItem* it : {b, d}) {
    it->SetAutoCheck(true);
    it->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  }
  b->Click();
  EXPECT_TRUE(b->Checked()) << "a checked radio item stays checked";
  d->Click();
  EXPECT_FALSE(d->Checked());
  d->Click();
  EXPECT_TRUE(d->Checked());
  EXPECT_EQ(clicks, 3);
  d->SetEnabled(false);
  d->Click();
  EXPECT_EQ(clicks, 3) << "a disabled item does nothing";
  EXPECT_TRUE(d->Checked());
}

// ================================================================ menus on a form

class TMnuForm : public TForm {
  KELM_CLASS(TMnuForm, TForm)
public:
  using TForm::TForm;
  TMainMenu* MainMenu1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* MnuSys = nullptr;
  TMenuItem* MnuPwd = nullptr;
  TMenuItem* MnuQuit = nullptr;
  TMenuItem* MnuReports = nullptr;
  TMenuItem* MnuStats = nullptr;
  TMnuBox* Box1 = nullptr;
  std::vector<std::string> Log;
  void ItemClick(TObject* s) { Log.push_back("click " + static_cast<TComponent*>(s)->Name()); }
  void PopupMenu1Popup(TObject*) { Log.push_back("popup"); }
};

KELM_PUBLISH(TMnuForm) {
  b.Method("ItemClick", &TMnuForm::ItemClick);
  b.Method("PopupMenu1Popup", &TMnuForm::PopupMenu1Popup);
  b.Field("MainMenu1", &TMnuForm::MainMenu1);
  b.Field("PopupMenu1", &TMnuForm::PopupMenu1);
  b.Field("MnuSys", &TMnuForm::MnuSys);
  b.Field("MnuPwd", &TMnuForm::MnuPwd);
  b.Field("MnuQuit", &TMnuForm::MnuQuit);
  b.Field("MnuReports", &TMnuForm::MnuReports);
  b.Field("MnuStats", &TMnuForm::MnuStats);
  b.Field("Box1", &TMnuForm::Box1);
}

namespace {

const char* const kMenuForm =
    "object MnuForm: TMnuForm\n"
    "  Left = 100\n"
    "  Top = 80\n"
    "  BorderStyle = bsSingle\n"
    "  Caption = '合同管理'\n"
    "  ClientHeight = 200\n"
    "  ClientWidth = 420\n"
    "  Menu = MainMenu1\n"
    "  TextHeight = 12\n"
    "  object Box1: TMnuBox\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 80\n"
    "    Height = 24\n"
    "    Caption = '框'\n"
    "    PopupMenu = PopupMenu1\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object MainMenu1: TMainMenu\n"
    "    object MnuSys: TMenuItem\n"
    "      Caption = '系统管理(&S)'\n"
    "      object MnuPwd: TMenuItem\n"
    "        Caption = '修改登录密码'\n"
    "        OnClick = ItemClick\n"
    "      end\n"
    "      object MnuLine: TMenuItem\n"
    "        Caption = '-'\n"
    "      end\n"
    "      object MnuReports: TMenuItem\n"
    "        Caption = '报表设计'\n"
    "        Visible = False\n"
    "        object MnuReportPrj: TMenuItem\n"
    "          Caption = '工程项目报表设计'\n"
    "          ShortCut = 16466\n"
    "          OnClick = ItemClick\n"
    "        end\n"
    "      end\n"
    "      object MnuQuit: TMenuItem\n"
    "        Caption = '退出程序'\n"
    "        ShortCut = 16465\n"
    "        OnClick = ItemClick\n"
    "      end\n"
    "    end\n"
    "    object MnuBasic: TMenuItem\n"
    "      Caption = '基础数据(&B)'\n"
    "      object MnuViewList: TMenuItem\n"
    "        Caption = '列表'\n"
    "        Checked = True\n"
    "        GroupIndex = 3\n"
    "        RadioItem = True\n"
    "      end\n"
    "      object MnuViewIcons: TMenuItem\n"
    "        Caption = '图标'\n"
    "        GroupIndex = 3\n"
    "        RadioItem = True\n"
    "      end\n"
    "    end\n"
    "    object MnuStats: TMenuItem\n"
    "      Caption = '统计分析'\n"
    "      Visible = False\n"
    "      object MnuStat1: TMenuItem\n"
    "        Caption = '合同变更统计分析 '\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu\n"
    "    OnPopup = PopupMenu1Popup\n"
    "    object PopSave: TMenuItem\n"
    "      Caption = '保存列属性'\n"
    "      OnClick = ItemClick\n"
    "    end\n"
    "  end\n"
    "end\n";

struct MenuFormFixture : ::testing::Test {
  TMnuForm* Form = nullptr;
  void SetUp() override {
    RegisterResource("forms/TMnuForm.txt", std::string_view(kMenuForm));
    Form = CreateForm<TMnuForm>(Application);
  }
  void TearDown() override {
    delete Form;
    UnregisterResource("forms/TMnuForm.txt");
    Application->ProcessMessages();
  }
  void ShowWithFocus() {
    Form->Show();
    Form->Box1->SetFocus();
    Application->ProcessMessages();
  }
};

// A readable picture of a tree: "caption[hidden]{shortcut}<handler>(children)".
std::string Describe(TMenuItem* it) {
  std::string s = it->Caption();
  if (!it->Visible()) s += "[hidden]";
  if (it->ShortCut()) s += "{" + ShortCutToText(it->ShortCut()) + "}";
  if (it->Checked()) s += "[x]";
  if (it->RadioItem()) s += "[radio " + std::to_string(it->GroupIndex()) + "]";
  if (it->OnClick) s += "<" + MethodName(it->OnClick.Method()) + ">";
  if (it->Count()) {
    s += "(";
    for (int i = 0; i < it->Count(); ++i) s += (i ? ", " : "") + Describe(it->Items(i));
    s += ")";
  }
  return s;
}

}  // namespace

TEST_F(MenuFormFixture, LayoutsBuildTheMenuTreeAndWriteItBackInside) {
  ASSERT_NE(Form->MainMenu1, nullptr);
  EXPECT_EQ(Form->Menu(), Form->MainMenu1);
  const std::string expected =
      "(系统管理(&S)(修改登录密码<ItemClick>, -, 报表设计[hidden](工程项目报表设计{Ctrl+R}<ItemClick>), "
      "退出程序{Ctrl+Q}<ItemClick>), 基础数据(&B)(列表[x][radio 3], 图标[radio 3]), "
      "统计分析[hidden](合同变更统计分析 ))";
  EXPECT_EQ(Describe(Form->MainMenu1->Items()), expected);
  EXPECT_EQ(Form->MnuQuit->Owner(), Form) << "items belong to the form";
  EXPECT_EQ(Form->MnuQuit->GetParentComponent(), Form->MnuSys);
  EXPECT_EQ(Form->MnuSys->GetParentComponent(), Form->MainMenu1);
  EXPECT_EQ(Describe(Form->PopupMenu1->Items()), "(保存列属性<ItemClick>)");
}

TEST_F(MenuFormFixture, MenusAreWrittenWithTheirItemsInsideAndReadBackTheSame) {
  // The form writes its menus (components without a parent) before its controls.
  String text = WriteComponentToText(Form);
  auto sys = text.find("object MnuSys: TMenuItem"), prj = text.find("object MnuReportPrj: TMenuItem"),
       quit = text.find("object MnuQuit: TMenuItem"), pop = text.find("object PopupMenu1: TPopupMenu"),
       box = text.find("object Box1: TMnuBox");
  EXPECT_TRUE(sys < prj && prj < quit && quit < pop && pop < box) << text;
  EXPECT_NE(text.find("ShortCut = 16465"), String::npos);

  auto* copy = new TMnuForm(Application);
  ReadComponentFromText(copy, text);
  auto* main2 = dynamic_cast<TMainMenu*>(copy->FindComponent("MainMenu1"));
  auto* popup2 = dynamic_cast<TPopupMenu*>(copy->FindComponent("PopupMenu1"));
  ASSERT_NE(main2, nullptr);
  ASSERT_NE(popup2, nullptr);
  EXPECT_EQ(copy->Menu(), main2);
  EXPECT_EQ(Describe(main2->Items()), Describe(Form->MainMenu1->Items()));
  EXPECT_EQ(Describe(popup2->Items()), "(保存列属性<ItemClick>)");
  popup2->Items()->Items(0)->Click();
  EXPECT_EQ(copy->Log, std::vector<std::string>{"click PopSave"});
  delete copy;
}

TEST_F(MenuFormFixture, TheClientSizeReadIsTheAreaBelowTheBarAndReadsBackToTheSameWindow) {
  ASSERT_NE(Form->MainMenu1->MenuBar(), nullptr);
  int bar = Form->MainMenu1->MenuBar()->sizeHint().height();
  ASSERT_GT(bar, 0);
  EXPECT_EQ(Form->ClientHeight(), 200) << "the layout's client height lies below the bar";
  EXPECT_EQ(Form->ClientWidth(), 420);

  // A layout that gives the outer size, as older layouts do, keeps it; the client size it
  // writes then reads back to the same outer size, menu and all.
  String outer = kMenuForm;
  outer.replace(outer.find("  ClientHeight = 200\n"), 20, "  Height = 300\n");
  outer.replace(outer.find("  ClientWidth = 420\n"), 19, "  Width = 440\n");
  auto first = std::make_unique<TMnuForm>(nullptr);
  ReadComponentFromText(first.get(), outer);
  EXPECT_EQ(first->Height(), 300);
  EXPECT_EQ(first->Width(), 440);
  String text = WriteComponentToText(first.get());
  int firstClient = first->ClientHeight();
  first.reset();  // the copy takes its name
  auto again = std::make_unique<TMnuForm>(nullptr);
  ReadComponentFromText(again.get(), text);
  EXPECT_EQ(again->Height(), 300) << text;
  EXPECT_EQ(again->ClientHeight(), firstClient);
  EXPECT_EQ(again->Width(), 440);
}

TEST_F(MenuFormFixture, TheFormShowsItsVisibleTopItemsOnABarThatFollowsChanges) {
  ShowWithFocus();
  QMenuBar* bar = Form->MainMenu1->MenuBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(Form->MainMenu1->Form(), Form);
  EXPECT_EQ(bar->parentWidget(), WidgetOf(Form));
  EXPECT_EQ(EntryTexts(bar), (QStringList{"系统管理(&S)", "基础数据(&B)"}));
  EXPECT_GE(bar->width(), 420) << "as wide as the form";
  // The client area lies below the bar.
  QPoint formTop = WidgetOf(Form)->mapToGlobal(QPoint(0, 0));
  EXPECT_GE(Form->ClientOrigin().Y - formTop.y(), bar->height());
  EXPECT_GT(bar->height(), 10);

  Form->MnuStats->SetVisible(true);
  EXPECT_EQ(EntryTexts(bar), (QStringList{"系统管理(&S)", "基础数据(&B)", "统计分析"}));
  auto* help = NewSubMenu("系统帮助(&H)", 0, "MnuHelp", {NewItem("E-Mail支持", 0, false, true, nullptr, 0, "")});
  Form->MainMenu1->Items()->Insert(1, help);
  EXPECT_EQ(EntryTexts(bar), (QStringList{"系统管理(&S)", "系统帮助(&H)", "基础数据(&B)", "统计分析"}));
  Form->MnuSys->SetEnabled(false);
  EXPECT_FALSE(FindEntry(bar, "系统管理(&S)")->isEnabled());
  Form->MnuSys->SetEnabled(true);
  Form->MnuSys->SetCaption("系统(&S)");
  EXPECT_NE(FindEntry(bar, "系统(&S)"), nullptr);
  Application->ProcessMessages();
  QDir().mkpath("screenshots");
  EXPECT_TRUE(GrabToPng(Form, "screenshots/menu_bar.png"));
}

TEST_F(MenuFormFixture, AChoiceRunsTheClickFromTheMessageLoopAndItsErrorsAreShown) {
  ShowWithFocus();
  QMenuBar* bar = Form->MainMenu1->MenuBar();
  QMenu* sys = OpenSubMenu(FindEntry(bar, "系统管理(&S)"));
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(EntryTexts(sys), (QStringList{"修改登录密码", "-", "退出程序\tCtrl+Q"}));
  FindEntry(sys, "修改登录密码")->trigger();
  EXPECT_TRUE(Form->Log.empty()) << "the click waits for the loop";
  Application->ProcessMessages();
  EXPECT_EQ(Form->Log, std::vector<std::string>{"click MnuPwd"});

  // Checked radio items show as such.
  QMenu* basic = OpenSubMenu(FindEntry(bar, "基础数据(&B)"));
  ASSERT_NE(basic, nullptr);
  QAction* list = FindEntry(basic, "列表");
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isChecked());
  ASSERT_NE(list->actionGroup(), nullptr);
  EXPECT_EQ(list->actionGroup(), FindEntry(basic, "图标")->actionGroup());

  // An exception in the handler is shown by the application, in a box.
  TDialogScript script;
  script.Button(IDOK);
  Form->MnuPwd->OnClick = TNotifyEvent::Lambda([](TObject*) { throw Exception("密码文件丢失"); });
  sys = OpenSubMenu(FindEntry(bar, "系统管理(&S)"));
  FindEntry(sys, "修改登录密码")->trigger();
  Application->ProcessMessages();
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Kind, dkMessageBox);
  EXPECT_EQ(script.Asked()[0].Text, "密码文件丢失");
  EXPECT_EQ(script.Asked()[0].Flags & MB_ICONMASK, MB_ICONERROR);
}

TEST_F(MenuFormFixture, ShortCutKeysClickOnlyReachableEnabledItems) {
  ShowWithFocus();
  ASSERT_TRUE(Form->Box1->Focused());
  TypeKey(Qt::Key_Q, Qt::ControlModifier);
  Application->ProcessMessages();
  EXPECT_EQ(Form->Log, std::vector<std::string>{"click MnuQuit"});

  Form->Log.clear();
  TypeKey(Qt::Key_R, Qt::ControlModifier);
  Application->ProcessMessages();
  EXPECT_TRUE(Form->Log.empty()) << "an item under a hidden item cannot be reached";

  Form->MnuQuit->SetEnabled(false);
  TypeKey(Qt::Key_Q, Qt::ControlModifier);
  Application->ProcessMessages();
  EXPECT_TRUE(Form->Log.empty()) << "nor a disabled one";
  Form->MnuQuit->SetEnabled(true);
  TypeKey(Qt::Key_Q, Qt::NoModifier, "q");
  Application->ProcessMessages();
  EXPECT_TRUE(Form->Log.empty()) << "Q alone is no shortcut";
}

TEST_F(MenuFormFixture, PopupShowsAtThePointAfterOnPopupAndTheChoiceFollows) {
  ShowWithFocus();
  struct Case {
    TPopupAlignment Align;
    int X;
  };
  for (const Case& c : {Case{paLeft, 150}, Case{paRight, 400}}) {
    SCOPED_TRACE(c.Align);
    Form->Log.clear();
    Form->PopupMenu1->SetAlignment(c.Align);
    QRect shown;
    QStringList entries;
    WhilePopupOpen([&](QMenu* m) {
      Form->Log.push_back("open");
      shown = m->geometry();
      entries = EntryTexts(m);
      FindEntry(m, "保存列属性")->trigger();
    });
    Form->PopupMenu1->Popup(c.X, 120);
    EXPECT_EQ(entries, QStringList{"保存列属性"});
    EXPECT_EQ(Form->PopupMenu1->PopupPoint(), (TPoint{c.X, 120}));
    EXPECT_EQ(shown.top(), 120);
    if (c.Align == paLeft) EXPECT_EQ(shown.left(), c.X);
    else EXPECT_EQ(shown.left() + shown.width(), c.X);
    Application->ProcessMessages();
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"popup", "open", "click PopSave"}));
    EXPECT_EQ(Form->PopupMenu1->ShownMenu(), nullptr);
  }
}

TEST_F(MenuFormFixture, ARightClickPopsUpTheControlsMenuForThatControl) {
  ShowWithFocus();
  bool opened = false;
  WhilePopupOpen([&](QMenu*) { opened = true; });
  Click(Form->Box1, {5, 5}, Qt::RightButton);
  EXPECT_TRUE(opened);
  EXPECT_EQ(Form->PopupMenu1->PopupComponent(), Form->Box1);
  EXPECT_EQ(Form->Log, std::vector<std::string>{"popup"}) << "closed without a choice";

  // Without AutoPopup a right click shows nothing.
  Form->PopupMenu1->SetAutoPopup(false);
  Form->Log.clear();
  bool reopened = false;
  QPointer<QTimer> guard = WhilePopupOpen([&](QMenu*) { reopened = true; });
  Click(Form->Box1, {5, 5}, Qt::RightButton);
  Application->ProcessMessages();
  delete guard.data();
  EXPECT_FALSE(reopened);
  EXPECT_TRUE(Form->Log.empty());
}

TEST_F(MenuFormFixture, ItemsShowTheirImageFromTheMenusOrTheirParentsImageList) {
  auto strip = [](TColor first, TColor second) {
    auto* list = new TImageList(nullptr);
    TBitmap b;
    b.SetSize(32, 16);
    b.Canvas()->Brush()->SetColor(first);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    b.Canvas()->Brush()->SetColor(second);
    b.Canvas()->FillRect(Rect(16, 0, 32, 16));
    list->Add(&b, nullptr);
    return list;
  };
  std::unique_ptr<TImageList> menuImages(strip(clRed, clBlue)), subImages(strip(clLime, clYellow));
  Form->MainMenu1->SetImages(menuImages.get());
  Form->MnuQuit->SetImageIndex(1);
  Form->MnuPwd->SetImageIndex(0);
  ShowWithFocus();
  auto centre = [](QAction* a) {
    QImage img = a->icon().pixmap(16, 16).toImage();
    return img.isNull() ? QColor() : QColor(img.pixel(8, 8));
  };
  QMenu* sys = OpenSubMenu(FindEntry(Form->MainMenu1->MenuBar(), "系统管理(&S)"));
  ASSERT_NE(sys, nullptr);
  EXPECT_EQ(centre(FindEntry(sys, "退出程序")), QColor(0, 0, 255));
  EXPECT_EQ(centre(FindEntry(sys, "修改登录密码")), QColor(255, 0, 0));
  // The parent's SubMenuImages win over the menu's; a changed index shows at once.
  Form->MnuSys->SetSubMenuImages(subImages.get());
  sys = OpenSubMenu(FindEntry(Form->MainMenu1->MenuBar(), "系统管理(&S)"));
  EXPECT_EQ(centre(FindEntry(sys, "退出程序")), QColor(255, 255, 0));
  Form->MnuQuit->SetImageIndex(0);
  EXPECT_EQ(centre(FindEntry(sys, "退出程序")), QColor(0, 255, 0));
  Form->MnuQuit->SetImageIndex(-1);
  EXPECT_TRUE(FindEntry(sys, "退出程序")->icon().isNull());
  Form->MnuSys->SetSubMenuImages(nullptr);
  Form->MainMenu1->SetImages(nullptr);
}

TEST(MainMenus, AMenuGivenToAFormAtRunTimeReplacesTheBarItHad) {
  auto* form = new TForm(Application);
  form->SetBounds(50, 50, 300, 200);
  auto* first = new TMainMenu(form);
  first->Items()->Add(NewItem("文件(&F)", 0, false, true, nullptr, 0, ""));
  auto* second = new TMainMenu(form);
  second->Items()->Add(NewItem("编辑(&E)", 0, false, true, nullptr, 0, ""));
  second->Items()->Add(NewItem("帮助(&H)", 0, false, true, nullptr, 0, ""));
  EXPECT_EQ(first->Form(), nullptr) << "no form names it yet";
  form->SetMenuComponent(first);
  first->UpdateForm();
  form->Show();
  Application->ProcessMessages();
  ASSERT_NE(first->MenuBar(), nullptr);
  EXPECT_EQ(EntryTexts(first->MenuBar()), QStringList{"文件(&F)"});
  int clientTop = form->ClientOrigin().Y;

  form->SetMenuComponent(second);
  first->UpdateForm();
  second->UpdateForm();
  EXPECT_EQ(first->MenuBar(), nullptr) << "the old bar is gone";
  EXPECT_EQ(first->Form(), nullptr);
  ASSERT_NE(second->MenuBar(), nullptr);
  EXPECT_EQ(EntryTexts(second->MenuBar()), (QStringList{"编辑(&E)", "帮助(&H)"}));
  EXPECT_EQ(WidgetOf(form)->findChildren<QMenuBar*>().size(), 1);

  form->SetMenuComponent(nullptr);
  second->UpdateForm();
  EXPECT_EQ(second->MenuBar(), nullptr);
  EXPECT_LT(form->ClientOrigin().Y, clientTop) << "without a bar the client area moves up";
  delete form;
}
