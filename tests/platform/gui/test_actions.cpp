// Actions and action lists: state reaching menu items and controls, clients with captions of
// their own, execution and updates through the list, groups, shortcuts, freeing, layouts.
#include "MenuTestUtil.h"

#include "gui/Buttons.h"
#include "core/ClassBuilder.h"
#include "gui/ToolBar.h"
#include "core/Filer.h"
#include "core/Resources.h"

#include <gtest/gtest.h>

using namespace guitest;
using namespace mnutest;

namespace {

// Hears when the components it watches are freed.
class TMnuSpy : public TComponent {
public:
  TMnuSpy() : TComponent(nullptr) {}
  std::vector<String> Freed;
  void Watch(TComponent* c) { c->FreeNotification(this); }

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) Freed.push_back(c->Name());
  }
};

struct ActionFixture : ::testing::Test {
  TForm* Form = nullptr;
  TActionList* List = nullptr;
  TAction* Act = nullptr;
  TPopupMenu* Menu = nullptr;
  TMenuItem* Item = nullptr;
  TMnuBox* Box = nullptr;
  int Runs = 0;

  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(60, 60, 300, 160);
    List = new TActionList(Form);
    Act = new TAction(Form);
    Act->SetName("PactAdd");
    Act->SetActionList(List);
    Act->SetCaption("添加");
    Act->OnExecute = TNotifyEvent::Lambda([this](TObject*) { ++Runs; });
    Menu = new TPopupMenu(Form);
    Item = new TMenuItem(Form);
    Menu->Items()->Add(Item);
    Box = new TMnuBox(Form);
    Box->SetParent(Form);
    Item->SetAction(Act);
    Box->SetAction(Act);
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
};

}  // namespace

TEST_F(ActionFixture, EveryStateOfTheActionReachesItsMenuItemAndControl) {
  EXPECT_EQ(Item->Caption(), "添加") << "taken when bound";
  EXPECT_EQ(Box->Caption(), "添加");
  struct Case {
    const char* Name;
    std::function<void()> Change;
    std::function<bool()> ItemShows;
    std::function<bool()> BoxShows;  // nullptr: controls do not show it
  };
  const Case cases[] = {
      {"Enabled", [&] { Act->SetEnabled(false); }, [&] { return !Item->Enabled(); }, [&] { return !Box->Enabled(); }},
      {"Visible", [&] { Act->SetVisible(false); }, [&] { return !Item->Visible(); }, [&] { return !Box->Visible(); }},
      {"Caption", [&] { Act->SetCaption("新增&A"); }, [&] { return Item->Caption() == "新增&A"; },
       [&] { return Box->Caption() == "新增&A"; }},
      {"Hint", [&] { Act->SetHint("添加合同|添加一个新的合同"); }, [&] { return Item->Hint() == "添加合同|添加一个新的合同"; },
       [&] { return Box->Hint() == "添加合同|添加一个新的合同"; }},
      {"Checked", [&] { Act->SetChecked(true); }, [&] { return Item->Checked(); }, nullptr},
      {"ImageIndex", [&] { Act->SetImageIndex(4); }, [&] { return Item->ImageIndex() == 4; }, nullptr},
      {"ShortCut", [&] { Act->SetShortCut(TextToShortCut("Ctrl+N")); },
       [&] { return Item->ShortCut() == TextToShortCut("Ctrl+N"); }, nullptr},
  };
  int changes = 0;
  Act->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_FALSE(c.ItemShows());
    c.Change();
    EXPECT_TRUE(c.ItemShows());
    if (c.BoxShows) {
      EXPECT_TRUE(c.BoxShows());
    }
  }
  EXPECT_EQ(changes, static_cast<int>(std::size(cases)));
  Act->SetEnabled(true);
  Act->SetVisible(true);
  EXPECT_TRUE(Item->Enabled() && Item->Visible() && Box->Enabled() && Box->Visible());
}

TEST_F(ActionFixture, AClientsOwnCaptionShowsUntilTheActionsCaptionChanges) {
  Item->SetCaption("重新登录");
  Box->SetCaption("更换");
  Act->SetEnabled(false);
  Act->SetHint("提示");
  Act->SetEnabled(true);
  EXPECT_EQ(Item->Caption(), "重新登录") << "other changes leave it";
  EXPECT_EQ(Box->Caption(), "更换");
  Act->SetCaption("更换用户");
  EXPECT_EQ(Item->Caption(), "更换用户");
  EXPECT_EQ(Box->Caption(), "更换用户");
  // A hint set on the client stays when the action's hint changes.
  Item->SetHint("自己的");
  Act->SetHint("别的");
  EXPECT_EQ(Item->Hint(), "自己的");
}

TEST_F(ActionFixture, ExecuteRunsOnlyEnabledActionsAndTheListMayHandleThemFirst) {
  EXPECT_TRUE(Act->Execute());
  EXPECT_EQ(Runs, 1);
  Act->SetEnabled(false);
  EXPECT_FALSE(Act->Execute());
  EXPECT_EQ(Runs, 1);
  Act->SetEnabled(true);

  // The list's OnExecute sees the action first; Handled stops it there.
  std::vector<String> seen;
  List->OnExecute = TActionEvent::Lambda([&](TBasicAction* a, bool& handled) {
    seen.push_back(a->Name());
    handled = a->Tag() == 1;
  });
  EXPECT_TRUE(Act->Execute());
  EXPECT_EQ(Runs, 2);
  Act->SetTag(1);
  EXPECT_TRUE(Act->Execute());
  EXPECT_EQ(Runs, 2);
  EXPECT_EQ(seen, (std::vector<String>{"PactAdd", "PactAdd"}));

  // A suspended list runs nothing.
  List->SetState(asSuspended);
  Act->SetTag(0);
  EXPECT_FALSE(Act->Execute());
  EXPECT_EQ(Runs, 2);
  List->SetState(asNormal);
}

TEST_F(ActionFixture, ClickingTheItemOrTheControlRunsTheActionWithItAsActionComponent) {
  std::vector<TComponent*> by;
  Act->OnExecute = TNotifyEvent::Lambda([&](TObject* s) {
    EXPECT_EQ(s, Act);
    by.push_back(Act->ActionComponent());
  });
  // Bound again, the clients take the new handler.
  Item->SetAction(nullptr);
  Item->SetAction(Act);
  Box->SetAction(nullptr);
  Box->SetAction(Act);
  Item->Click();
  Form->Show();
  Application->ProcessMessages();
  Click(Box, {5, 5});
  EXPECT_EQ(by, (std::vector<TComponent*>{Item, Box}));
  EXPECT_EQ(Act->ActionComponent(), nullptr) << "only while running";
  Act->SetEnabled(false);
  Item->Click();
  Click(Box, {5, 5});
  EXPECT_EQ(by.size(), 2u) << "disabled clients do nothing";
}

TEST_F(ActionFixture, AutoCheckTogglesAndAGroupKeepsOneCheckedAction) {
  auto* a2 = new TAction(Form);
  a2->SetActionList(List);
  auto* a3 = new TAction(Form);
  a3->SetActionList(List);
  for (TAction* a : {Act, a2, a3}) {
    a->SetAutoCheck(true);
    a->OnExecute = TNotifyEvent::Lambda([](TObject*) {});
  }
  Act->Execute();
  EXPECT_TRUE(Act->Checked());
  EXPECT_TRUE(Item->Checked()) << "the item follows";
  Act->Execute();
  EXPECT_FALSE(Act->Checked()) << "without a group it toggles";

  for (TAction* a : {Act, a2, a3}) a->SetGroupIndex(5);
  a3->SetGroupIndex(6);
  Act->Execute();
  a2->Execute();
  a3->Execute();
  EXPECT_FALSE(Act->Checked()) << "a2 took the group over";
  EXPECT_TRUE(a2->Checked());
  EXPECT_TRUE(a3->Checked()) << "another group";
  a2->Execute();
  EXPECT_TRUE(a2->Checked()) << "a checked member of a group stays checked";
  EXPECT_FALSE(Item->Checked());
}

TEST_F(ActionFixture, UpdatesRunBeforeAMenuShowsAndNoHandlerDisablesButNeverEnables) {
  int updates = 0;
  Act->OnUpdate = TNotifyEvent::Lambda([&](TObject*) {
    ++updates;
    Act->SetEnabled(false);
  });
  QStringList shownEnabled;
  WhilePopupOpen([&](QMenu* m) {
    for (QAction* a : m->actions()) shownEnabled << (a->isEnabled() ? "on" : "off");
  });
  Menu->Popup(80, 80);
  EXPECT_GE(updates, 1);
  EXPECT_EQ(shownEnabled, QStringList{"off"}) << "the menu shows the updated state";

  // The list's OnUpdate may take over; Handled keeps the action's own from running.
  updates = 0;
  List->OnUpdate = TActionEvent::Lambda([&](TBasicAction*, bool& handled) { handled = true; });
  Act->Update();
  EXPECT_EQ(updates, 0);
  List->OnUpdate = nullptr;

  auto* bare = new TAction(Form);
  bare->SetActionList(List);
  bare->Update();
  EXPECT_FALSE(bare->Enabled()) << "no OnExecute: nothing to run";
  bare->OnExecute = TNotifyEvent::Lambda([](TObject*) {});
  bare->Update();
  EXPECT_FALSE(bare->Enabled()) << "an update never enables";
  auto* kept = new TAction(Form);
  kept->SetActionList(List);
  kept->SetDisableIfNoHandler(false);
  kept->Update();
  EXPECT_TRUE(kept->Enabled());
}

TEST_F(ActionFixture, TheFormsIdleUpdateAsksTheActionsOfItsVisibleControls) {
  bool allowed = false;
  int updates = 0;
  Act->OnUpdate = TNotifyEvent::Lambda([&](TObject*) {
    ++updates;
    Act->SetEnabled(allowed);
  });
  Form->Show();
  Application->ProcessMessages();
  Form->UpdateActions();
  EXPECT_GE(updates, 1);
  EXPECT_FALSE(Box->Enabled());
  EXPECT_FALSE(Item->Enabled()) << "every client follows, the menu item too";
  allowed = true;
  Form->UpdateActions();
  EXPECT_TRUE(Box->Enabled());
  Box->Hide();
  updates = 0;
  Form->UpdateActions();
  EXPECT_EQ(updates, 0) << "a hidden control asks nothing";
}

TEST_F(ActionFixture, TheListAnswersShortCutsOnlyForActionsThatRun) {
  Box->SetAction(nullptr);  // the focused control stays enabled when the action is not
  Act->SetShortCut(TextToShortCut("Ctrl+N"));
  Act->SecondaryShortCuts()->Add("Ctrl+Alt+N");
  int keyDowns = 0;
  Box->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word&, TShiftState) { ++keyDowns; });
  Form->Show();
  Box->SetFocus();
  Application->ProcessMessages();
  TypeKey(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Runs, 1);
  EXPECT_EQ(keyDowns, 0) << "a shortcut that ran is consumed";
  TypeKey(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Runs, 2);
  Act->SetEnabled(false);
  TypeKey(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Runs, 2);
  EXPECT_GE(keyDowns, 1) << "a disabled action leaves the key to the control";
}

TEST_F(ActionFixture, FreeingAnActionUnbindsItsClientsAndFreeingTheListFreesItsActions) {
  TMnuSpy spy;
  delete Act;
  Act = nullptr;
  EXPECT_EQ(Item->Action(), nullptr);
  EXPECT_EQ(Box->Action(), nullptr);
  EXPECT_EQ(Item->Caption(), "添加") << "the item keeps what it showed";
  Item->Click();  // nothing to run, nothing to crash
  EXPECT_EQ(List->ActionCount(), 0);

  auto* a = new TAction(Form);
  a->SetName("Other");
  a->SetActionList(List);
  spy.Watch(a);
  delete List;
  List = nullptr;
  EXPECT_EQ(spy.Freed, std::vector<String>{"Other"});
}

// ================================================================ an action changed as a whole

namespace {

// An action whose state lives elsewhere (a setting, a record): it takes new values without
// passing each one on and then tells its clients that it changed as a whole.
class TWholeAction : public TBasicAction {
  KELM_CLASS(TWholeAction, TBasicAction)
public:
  using TBasicAction::TBasicAction;
  const String& Caption() const { return FCaption; }
  bool Checked() const { return FChecked; }
  bool Enabled() const { return FEnabled; }
  int ImageIndex() const { return FImageIndex; }
  void Reload(const String& Caption, bool Checked, bool Enabled, int ImageIndex) {
    FCaption = Caption;
    FChecked = Checked;
    FEnabled = Enabled;
    FImageIndex = ImageIndex;
    Change();
  }

private:
  String FCaption = "初始";
  bool FChecked = false, FEnabled = true;
  int FImageIndex = -1;
};

}  // namespace

KELM_PUBLISH(TWholeAction) {
  b.Prop("Caption", &TWholeAction::Caption, nullptr);
  b.Prop("Checked", &TWholeAction::Checked, nullptr).Default(false);
  b.Prop("Enabled", &TWholeAction::Enabled, nullptr).Default(true);
  b.Prop("ImageIndex", &TWholeAction::ImageIndex, nullptr).Default(-1);
}

TEST_F(ActionFixture, AnActionChangedAsAWholeReachesEveryKindOfClient) {
  auto* act = new TWholeAction(Form);
  int runs = 0;
  act->OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  auto* button = new TButton(Form);
  auto* check = new TCheckBox(Form);
  auto* speed = new TSpeedButton(Form);
  auto* bar = new TToolBar(Form);
  auto* tool = new TToolButton(Form);
  for (TControl* c : std::initializer_list<TControl*>{button, check, speed, bar}) c->SetParent(Form);
  tool->SetParent(bar);
  speed->SetGroupIndex(7);  // only a button of a group can be down
  speed->SetAllowAllUp(true);
  struct Client {
    const char* Name;
    std::function<void()> Bind;
    std::function<String()> Caption;
    std::function<bool()> Enabled;
    std::function<int()> Checked;     // -1: the client shows no check state
    std::function<int()> ImageIndex;  // -2: the client shows no image
  };
  const Client clients[] = {
      {"menu item", [&] { Item->SetAction(act); }, [&] { return Item->Caption(); }, [&] { return Item->Enabled(); },
       [&] { return int(Item->Checked()); }, [&] { return Item->ImageIndex(); }},
      {"custom control", [&] { Box->SetAction(act); }, [&] { return Box->Caption(); }, [&] { return Box->Enabled(); },
       [] { return -1; }, [] { return -2; }},
      {"button", [&] { button->SetAction(act); }, [&] { return button->Caption(); },
       [&] { return button->Enabled(); }, [] { return -1; }, [] { return -2; }},
      {"check box", [&] { check->SetAction(act); }, [&] { return check->Caption(); },
       [&] { return check->Enabled(); }, [&] { return int(check->Checked()); }, [] { return -2; }},
      {"speed button", [&] { speed->SetAction(act); }, [&] { return speed->Caption(); },
       [&] { return speed->Enabled(); }, [&] { return int(speed->Down()); }, [] { return -2; }},
      {"tool button", [&] { tool->SetAction(act); }, [&] { return tool->Caption(); }, [&] { return tool->Enabled(); },
       [&] { return int(tool->Down()); }, [&] { return tool->ImageIndex(); }},
  };
  for (const Client& c : clients) {
    SCOPED_TRACE(c.Name);
    c.Bind();
    EXPECT_EQ(c.Caption(), "初始") << "bound, it shows the action";
  }
  act->Reload("图标统计", true, false, 3);
  for (const Client& c : clients) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Caption(), "图标统计");
    EXPECT_FALSE(c.Enabled());
    if (c.Checked() != -1) {
      EXPECT_EQ(c.Checked(), 1);
    }
    if (c.ImageIndex() != -2) {
      EXPECT_EQ(c.ImageIndex(), 3);
    }
  }
  act->Reload("图标统计", false, true, 1);
  for (const Client& c : clients) {
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(c.Enabled());
    if (c.Checked() != -1) {
      EXPECT_EQ(c.Checked(), 0);
    }
    if (c.ImageIndex() != -2) {
      EXPECT_EQ(c.ImageIndex(), 1);
    }
  }
  EXPECT_EQ(runs, 0) << "showing a check state clicks nothing, so the action does not run";
}

TEST_F(ActionFixture, AToolButtonFollowsTheActionsCheckAndImageUntilGivenAnImageOfItsOwn) {
  auto* bar = new TToolBar(Form);
  bar->SetParent(Form);
  auto* tool = new TToolButton(Form);
  tool->SetParent(bar);
  tool->SetStyle(tbsCheck);
  Act->SetImageIndex(2);
  tool->SetAction(Act);
  EXPECT_EQ(tool->ImageIndex(), 2);
  Act->SetChecked(true);
  Act->SetImageIndex(5);
  EXPECT_TRUE(tool->Down());
  EXPECT_EQ(tool->ImageIndex(), 5);
  Act->SetChecked(false);
  EXPECT_FALSE(tool->Down());
  // An image of the button's own stays when the action's changes.
  tool->SetImageIndex(8);
  Act->SetImageIndex(6);
  EXPECT_EQ(tool->ImageIndex(), 8);
  EXPECT_EQ(Item->ImageIndex(), 6) << "the menu item still follows";
}

// ================================================================ layouts

class TActForm : public TForm {
  KELM_CLASS(TActForm, TForm)
public:
  using TForm::TForm;
  TActionList* ActionList1 = nullptr;
  TAction* Logout = nullptr;
  TAction* PactAdd = nullptr;
  TMenuItem* MnuLogout = nullptr;
  TMnuBox* BtnAdd = nullptr;
  std::vector<std::string> Log;
  void LogoutExecute(TObject*) { Log.push_back("logout"); }
  void PactAddExecute(TObject*) { Log.push_back("add"); }
};

KELM_PUBLISH(TActForm) {
  b.Method("LogoutExecute", &TActForm::LogoutExecute);
  b.Method("PactAddExecute", &TActForm::PactAddExecute);
  b.Field("ActionList1", &TActForm::ActionList1);
  b.Field("Logout", &TActForm::Logout);
  b.Field("PactAdd", &TActForm::PactAdd);
  b.Field("MnuLogout", &TActForm::MnuLogout);
  b.Field("BtnAdd", &TActForm::BtnAdd);
}

TEST(ActionLayouts, ActionsLiveInTheirListAndClientsKeepCaptionsOfTheirOwn) {
  const char* text =
      "object ActForm: TActForm\n"
      "  Caption = '主窗口'\n"
      "  object BtnAdd: TMnuBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Action = PactAdd\n"
      "  end\n"
      "  object ActionList1: TActionList\n"
      "    object PactAdd: TAction\n"
      "      Category = 'pact'\n"
      "      Caption = '添加'\n"
      "      ShortCut = 16462\n"
      "      OnExecute = PactAddExecute\n"
      "    end\n"
      "    object Logout: TAction\n"
      "      Category = 'other'\n"
      "      Caption = '更换用户'\n"
      "      OnExecute = LogoutExecute\n"
      "    end\n"
      "  end\n"
      "  object MainMenu1: TMainMenu\n"
      "    object MnuSys: TMenuItem\n"
      "      Caption = '系统管理(&S)'\n"
      "      object MnuLogout: TMenuItem\n"
      "        Action = Logout\n"
      "        Caption = '重新登录'\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto check = [](TActForm* f) {
    ASSERT_NE(f->ActionList1, nullptr);
    ASSERT_EQ(f->ActionList1->ActionCount(), 2);
    EXPECT_EQ(f->ActionList1->Actions(0), f->PactAdd);
    EXPECT_EQ(f->ActionList1->Actions(1), f->Logout);
    EXPECT_EQ(f->Logout->Index(), 1);
    EXPECT_EQ(f->PactAdd->Category(), "pact");
    EXPECT_EQ(f->PactAdd->Owner(), f) << "the form owns the actions";
    EXPECT_EQ(f->PactAdd->ShortCut(), ShortCut('N', {ssCtrl}));
    EXPECT_EQ(f->MnuLogout->Action(), f->Logout);
    EXPECT_EQ(f->MnuLogout->Caption(), "重新登录") << "a caption of its own";
    EXPECT_EQ(f->BtnAdd->Caption(), "添加") << "none of its own: the action's";
    f->MnuLogout->Click();
    f->BtnAdd->Click();
    EXPECT_EQ(f->Log, (std::vector<std::string>{"logout", "add"}));
    f->Logout->SetEnabled(false);
    EXPECT_FALSE(f->MnuLogout->Enabled());
    EXPECT_EQ(f->MnuLogout->Caption(), "重新登录");
  };
  auto* form = new TActForm(Application);
  ReadComponentFromText(form, text);
  check(form);
  delete form;
}

TEST(ActionLayouts, ActionsAreWrittenInsideTheirListAndClientsWithTheirOwnCaptions) {
  const char* text =
      "object Holder: TMnuLogForm\n"
      "  object ActionList1: TActionList\n"
      "    object PactAdd: TAction\n"
      "      Category = 'pact'\n"
      "      Caption = '添加'\n"
      "      OnExecute = ItemClick\n"
      "    end\n"
      "    object Logout: TAction\n"
      "      Caption = '更换用户'\n"
      "      Enabled = False\n"
      "      OnExecute = ItemClick\n"
      "    end\n"
      "  end\n"
      "  object MainMenu1: TMainMenu\n"
      "    object MnuSys: TMenuItem\n"
      "      Caption = '系统管理(&S)'\n"
      "      object MnuLogout: TMenuItem\n"
      "        Action = Logout\n"
      "        Caption = '重新登录'\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* first = new TMnuLogForm(Application);
  ReadComponentFromText(first, text);
  String written = WriteComponentToText(first);
  delete first;
  auto list = written.find("object ActionList1: TActionList");
  auto act = written.find("object Logout: TAction");
  auto menu = written.find("object MainMenu1: TMainMenu");
  EXPECT_TRUE(list < act && act < menu) << written;
  auto* again = new TMnuLogForm(Application);
  ReadComponentFromText(again, written);
  auto* actions = dynamic_cast<TActionList*>(again->FindComponent("ActionList1"));
  auto* item = dynamic_cast<TMenuItem*>(again->FindComponent("MnuLogout"));
  ASSERT_NE(actions, nullptr);
  ASSERT_NE(item, nullptr);
  ASSERT_EQ(actions->ActionCount(), 2);
  EXPECT_EQ(actions->Actions(0)->Name(), "PactAdd");
  EXPECT_EQ(actions->Actions(0)->Category(), "pact");
  EXPECT_EQ(item->Action(), actions->FindAction("LOGOUT"));
  EXPECT_EQ(item->Caption(), "重新登录");
  EXPECT_FALSE(item->Enabled()) << "the disabled action disables its item from the start";
  static_cast<TAction*>(actions->Actions(1))->SetEnabled(true);
  item->Click();
  EXPECT_EQ(again->Log, std::vector<std::string>{"click Logout"}) << "the action runs with itself as sender";
  delete again;
}
