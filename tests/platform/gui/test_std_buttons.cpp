// Push buttons, check boxes, radio buttons, group boxes, labels and scroll bars: clicks by
// mouse, keys and accelerators, dialog keys, modal results and the published properties.
#include "StdTestUtil.h"
#include "gui/WinScroll.h"

#include "gui/ActnList.h"
#include "gui/Buttons.h"
#include "core/ClassBuilder.h"
#include "gui/ExtCtrls.h"
#include "core/Filer.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"

#include <algorithm>
#include <functional>

using namespace guitest;
using namespace stdtest;

namespace {

struct ButtonFixture : FormFixture {
  std::vector<String> Clicks;
  TNotifyEvent Recorder() {
    return TNotifyEvent::Lambda([this](TObject* s) { Clicks.push_back(static_cast<TComponent*>(s)->Name()); });
  }
  template <class T> T* Named(const char* name, TRect r, TWinControl* parent = nullptr) {
    T* c = Add<T>(parent ? parent : Form, r);
    static_cast<TComponent*>(c)->SetName(name);
    c->OnClick = Recorder();
    return c;
  }
};

}  // namespace

TEST_F(ButtonFixture, AButtonClicksWhenReleasedOverIt) {
  auto* b = Named<TButton>("Btn_ok", Rect(10, 10, 85, 35));
  b->SetCaption("确定(&Y)");
  Click(b, {20, 10});
  EXPECT_EQ(Clicks, (std::vector<String>{"Btn_ok"}));
  EXPECT_TRUE(b->Focused()) << "a click focuses the button";
  // Pressed, dragged off and released outside: no click.
  Press(b, {20, 10}, Qt::LeftButton, 1000);
  Move(b, {200, 100}, Qt::LeftButton);
  Release(b, {200, 100});
  EXPECT_EQ(Clicks.size(), 1u);
  // Space presses it from the keyboard.
  Key(Qt::Key_Space);
  EXPECT_EQ(Clicks.size(), 2u);
  // BM_CLICK clicks it from code.
  b->Perform(BM_CLICK);
  EXPECT_EQ(Clicks.size(), 3u);
  b->SetEnabled(false);
  Click(b, {20, 10});
  EXPECT_EQ(Clicks.size(), 3u) << "a disabled button takes no clicks";
}

TEST_F(ButtonFixture, DialogKeysPressTheDefaultTheFocusedAndTheCancelButton) {
  auto* edit = Add<TEdit>(Rect(10, 50, 150, 71));
  auto* ok = Named<TButton>("ok", Rect(10, 10, 85, 35));
  auto* cancel = Named<TButton>("cancel", Rect(100, 10, 175, 35));
  auto* other = Named<TButton>("other", Rect(190, 10, 265, 35));
  ok->SetDefault(true);
  cancel->SetCancel(true);
  edit->SetFocus();
  EXPECT_TRUE(ok->Active());
  Key(Qt::Key_Return);
  Key(Qt::Key_Escape);
  EXPECT_EQ(Clicks, (std::vector<String>{"ok", "cancel"}));
  // A focused button takes Enter over the default one.
  other->SetFocus();
  EXPECT_TRUE(other->Active());
  EXPECT_FALSE(ok->Active());
  Key(Qt::Key_Return);
  EXPECT_EQ(Clicks.back(), "other");
  edit->SetFocus();
  EXPECT_TRUE(ok->Active()) << "with the focus off the buttons the default one is active again";
  EXPECT_EQ(ok->Perform(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
}

TEST_F(ButtonFixture, AcceleratorsClickButtonsAndFocusThroughLabels) {
  auto* edit = Add<TEdit>(Rect(10, 50, 150, 71));
  auto* yes = Named<TButton>("Btn_ok", Rect(10, 10, 85, 35));
  yes->SetCaption("确定(&Y)");
  auto* target = Add<TEdit>(Rect(10, 80, 150, 101));
  auto* label = Add<TLabel>(Rect(160, 80, 230, 95));
  label->SetCaption("关键字(&K)：");
  label->SetFocusControl(target);
  auto* box = Named<TCheckBox>("chk", Rect(10, 110, 150, 127));
  box->SetCaption("全部(&A)");
  edit->SetFocus();
  // Alt+letter works from inside an edit; the form finds the owner of the accelerator.
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'y', 0), 0);
  EXPECT_EQ(Clicks, (std::vector<String>{"Btn_ok"}));
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'K', 0), 0);
  EXPECT_TRUE(target->Focused());
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'a', 0), 0);
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'q', 0), 0) << "no control has Q";
  // Typed on a button (which takes no characters) the letter is its accelerator too.
  yes->SetFocus();
  Type("y");
  EXPECT_EQ(Clicks.back(), "Btn_ok");
}

TEST_F(ButtonFixture, AltAndALetterTypedInAnEditPressesTheButtonWithThatAccelerator) {
  // The login window: the password edit has the focus, Alt+Y presses "确定(&Y)".
  auto* password = Add<TEdit>(Rect(10, 50, 150, 71));
  password->SetPasswordChar('*');
  auto* yes = Named<TButton>("Btn_ok", Rect(10, 10, 85, 35));
  yes->SetCaption("确定(&Y)");
  password->SetFocus();
  Application->ProcessMessages();
  guitest::TypeKey(Qt::Key_Y, Qt::AltModifier, "y");
  EXPECT_EQ(Clicks, (std::vector<String>{"Btn_ok"}));
  EXPECT_EQ(password->Text(), "") << "the accelerator is no character of the edit";
  // A plain letter is the edit's: it is typed, nothing is pressed.
  password->SetFocus();
  Application->ProcessMessages();
  guitest::TypeKey(Qt::Key_Y, Qt::NoModifier, "y");
  EXPECT_EQ(password->Text(), "y");
  EXPECT_EQ(Clicks.size(), 1u);
  // Alt with a letter no control has leaves the edit as it was.
  guitest::TypeKey(Qt::Key_Q, Qt::AltModifier, "q");
  EXPECT_EQ(password->Text(), "y");
  EXPECT_EQ(Clicks.size(), 1u);
}

TEST_F(ButtonFixture, AButtonWithAModalResultClosesAModalForm) {
  auto* dlg = new TForm(Application);
  dlg->SetBounds(100, 100, 200, 120);
  auto* ok = new TButton(dlg);
  ok->SetParent(dlg);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  // The Enter key is queued to reach the dialog once its loop runs.
  QTimer::singleShot(0, [] { Key(Qt::Key_Return); });
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  delete dlg;
}

TEST_F(ButtonFixture, CheckBoxesCycleTheirStatesAndClickOnEveryChange) {
  auto* box = Named<TCheckBox>("Pact_Add", Rect(10, 10, 120, 27));
  Click(box, {5, 8});
  EXPECT_TRUE(box->Checked());
  Click(box, {5, 8});
  EXPECT_FALSE(box->Checked());
  box->SetAllowGrayed(true);
  struct Step {
    TCheckBoxState after;
  };
  const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
  for (TCheckBoxState want : cycle) {
    Key(Qt::Key_Space);
    EXPECT_EQ(box->State(), want);
  }
  std::size_t before = Clicks.size();
  box->SetChecked(true);
  EXPECT_EQ(Clicks.size(), before + 1) << "setting the state from code clicks as well";
  box->SetChecked(true);
  EXPECT_EQ(Clicks.size(), before + 1) << "an unchanged state does not";
  EXPECT_EQ(box->Perform(BM_GETCHECK), BST_CHECKED);
}

TEST_F(ButtonFixture, RightsAreTickedByWalkingTheCheckBoxesByName) {
  // The rights window ticks each box whose name occurs in the user's list.
  auto* group = Add<TGroupBox>(Rect(8, 8, 300, 120));
  group->SetCaption("合同管理");
  const char* names[] = {"Pact_Add", "Pact_Edit", "Pact_Del", "Pact_Print"};
  int y = 20;
  for (const char* n : names) {
    auto* c = Named<TCheckBox>(n, Rect(10, y, 150, y + 17), group);
    c->SetCaption(n);
    y += 20;
  }
  String rights = "Pact_Add,Pact_Print,";
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TCheckBox*>(Form->Components(i))) c->SetChecked(Pos(c->Name(), rights) > 0);
  String built;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TCheckBox*>(Form->Components(i)); c && c->Checked()) built += c->Name() + ",";
  EXPECT_EQ(built, rights);
}

TEST_F(ButtonFixture, RadioButtonsOfOneParentExcludeEachOther) {
  auto* panelA = Add<TPanel>(Rect(8, 8, 170, 100));
  auto* panelB = Add<TPanel>(Rect(180, 8, 340, 100));
  const char* captions[] = {"全部", "执行中", "已终止"};
  std::vector<TRadioButton*> a;
  for (int i = 0; i < 3; ++i) {
    a.push_back(Named<TRadioButton>(("a" + std::to_string(i)).c_str(), Rect(8, 8 + 20 * i, 150, 25 + 20 * i), panelA));
    a.back()->SetCaption(captions[i]);
  }
  auto* b0 = Named<TRadioButton>("b0", Rect(8, 8, 150, 25), panelB);
  a[0]->SetChecked(true);
  b0->SetChecked(true);
  EXPECT_TRUE(a[0]->Checked()) << "another parent's button does not clear it";
  Clicks.clear();
  Click(a[2], {5, 8});
  EXPECT_TRUE(a[2]->Checked());
  EXPECT_FALSE(a[0]->Checked());
  EXPECT_TRUE(b0->Checked());
  EXPECT_EQ(Clicks, (std::vector<String>{"a2"}));
  Click(a[2], {5, 8});
  EXPECT_EQ(Clicks.size(), 1u) << "clicking the checked button again is no new click";
  EXPECT_TRUE(a[2]->TabStop());
  EXPECT_FALSE(a[0]->TabStop()) << "only the checked button of a group is a tab stop";
  // An arrow key moves to the next button of the group and checks it.
  a[2]->SetFocus();
  Key(Qt::Key_Up);
  EXPECT_TRUE(a[1]->Focused());
  EXPECT_TRUE(a[1]->Checked());
  EXPECT_FALSE(a[2]->Checked());
}

TEST_F(ButtonFixture, AGroupBoxLaysItsChildrenOutBelowItsCaption) {
  auto* group = Add<TGroupBox>(Rect(8, 8, 208, 108));
  group->SetCaption("搜索条件(&S)");
  auto* inner = Add<TPanel>(group, Rect(0, 0, 10, 10));
  inner->SetAlign(alClient);
  EXPECT_GT(inner->Top(), 8) << "the caption's height stays free";
  EXPECT_EQ(inner->Left(), 2);
  EXPECT_EQ(inner->Width(), 200 - 4);
  auto* edit = Add<TEdit>(group, Rect(10, 30, 100, 51));
  inner->SetVisible(false);
  EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 's', 0), 0);
  EXPECT_TRUE(edit->Focused()) << "the group's accelerator focuses its first control";
}

TEST_F(ButtonFixture, LabelsSizeThemselvesToTheirCaption) {
  auto* label = Add<TLabel>(Rect(100, 10, 101, 11));
  label->SetCaption("用户名称：");
  int w1 = label->Width();
  EXPECT_GT(w1, 40);
  EXPECT_GT(label->Height(), 10);
  label->SetCaption("用户名称和密码：");
  EXPECT_GT(label->Width(), w1);
  // A right-aligned label keeps its right edge.
  label->SetAlignment(taRightJustify);
  int right = label->Left() + label->Width();
  label->SetCaption("名称：");
  EXPECT_EQ(label->Left() + label->Width(), right);
  // "&&" shows one ampersand; without accelerators both show.
  label->SetCaption("A&&B");
  int withPrefix = label->Width();
  label->SetShowAccelChar(false);
  EXPECT_GT(label->Width(), withPrefix);
}

TEST_F(ButtonFixture, ScrollBarsStepTheirPositionAndReportEachScroll) {
  auto* bar = Add<TScrollBar>(Rect(10, 10, 210, 27));
  bar->SetParams(50, 0, 100);
  std::vector<std::pair<TScrollCode, int>> scrolls;
  int changes = 0;
  bar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode c, int& p) { scrolls.push_back({c, p}); });
  bar->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  bar->SetSmallChange(5);
  bar->SetLargeChange(20);
  Click(bar, {195, 8});  // the right arrow
  EXPECT_EQ(bar->Position(), 55);
  Click(bar, {5, 8});  // the left arrow
  EXPECT_EQ(bar->Position(), 50);
  Click(bar, {25, 8});  // the track left of the thumb
  EXPECT_EQ(bar->Position(), 30);
  // Each press scrolls and then ends its scroll.
  using S = std::pair<TScrollCode, int>;
  EXPECT_EQ(scrolls, (std::vector<S>{{scLineDown, 55}, {scEndScroll, 55}, {scLineUp, 50}, {scEndScroll, 50},
                                     {scPageUp, 30}, {scEndScroll, 30}}));
  EXPECT_EQ(changes, 3);
  bar->SetFocus();
  Key(Qt::Key_End);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetParams(500, 0, 10);
  EXPECT_EQ(bar->Position(), 10) << "positions outside the range are clamped";
  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
}

// A procedure put in front of a bar's own sees its scroll notifications and passes them on;
// giving the old procedure back makes the bar's own procedure the only one again.
TEST_F(ButtonFixture, AScrollBarsWindowProcIsReplaceableAndRestorable) {
  auto* bar = Add<TScrollBar>(Rect(10, 10, 210, 27));
  bar->SetParams(50, 0, 100);
  EXPECT_TRUE(bar->WindowProcIsOwn());
  std::vector<UINT> seen;
  TWndMethod old = bar->WindowProc;
  bar->WindowProc = [&seen, old](TMessage& M) {
    if (M.Msg == CN_HSCROLL || M.Msg == CN_VSCROLL) seen.push_back(LoWord(M.WParam));
    old(M);
  };
  EXPECT_FALSE(bar->WindowProcIsOwn());
  Click(bar, {195, 8});  // the right arrow
  EXPECT_EQ(bar->Position(), 51) << "the bar's own procedure still runs";
  EXPECT_EQ(seen, (std::vector<UINT>{SB_LINEDOWN, SB_ENDSCROLL}));
  bar->WindowProc = old;
  EXPECT_TRUE(bar->WindowProcIsOwn()) << "the saved procedure is the bar's own";
  seen.clear();
  Click(bar, {195, 8});
  EXPECT_EQ(bar->Position(), 52);
  EXPECT_TRUE(seen.empty());
  auto* other = Add<TScrollBar>(Rect(10, 40, 210, 57));
  bar->WindowProc = other->WindowProc;
  EXPECT_FALSE(bar->WindowProcIsOwn()) << "another control's own procedure is not this one's";
  bar->RestoreWindowProc();
  EXPECT_TRUE(bar->WindowProcIsOwn());
  // The bar answers the platform's scroll information as a bar control.
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(bar->Handle(), SB_CTL, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 100);
  EXPECT_EQ(si.nPos, 52);
  si.fMask = SIF_POS | SIF_RANGE | SIF_PAGE;
  si.nMin = 10, si.nMax = 40, si.nPage = 5, si.nPos = 20;
  SetScrollInfo(bar->Handle(), SB_CTL, &si, true);
  EXPECT_EQ(bar->Position(), 20);
  EXPECT_EQ(bar->Max(), 40);
  EXPECT_EQ(bar->PageSize(), 5);
}

TEST_F(ButtonFixture, SpeedButtonsOfAGroupStayDownOneAtATime) {
  auto* s1 = Named<TSpeedButton>("s1", Rect(10, 10, 33, 32));
  auto* s2 = Named<TSpeedButton>("s2", Rect(40, 10, 63, 32));
  auto* free = Named<TSpeedButton>("free", Rect(70, 10, 93, 32));
  s1->SetGroupIndex(1);
  s2->SetGroupIndex(1);
  Click(s1, {5, 5});
  EXPECT_TRUE(s1->Down());
  Click(s2, {5, 5});
  EXPECT_TRUE(s2->Down());
  EXPECT_FALSE(s1->Down());
  Click(s2, {5, 5});
  EXPECT_TRUE(s2->Down()) << "the last one down stays down without AllowAllUp";
  s2->SetAllowAllUp(true);
  Click(s2, {5, 5});
  EXPECT_FALSE(s2->Down());
  Click(free, {5, 5});
  EXPECT_FALSE(free->Down()) << "a button of no group springs back";
  EXPECT_EQ(Clicks, (std::vector<String>{"s1", "s2", "s2", "s2", "free"}));
}

TEST_F(ButtonFixture, BitButtonKindsGiveCaptionResultAndDefaults) {
  auto* b = Add<TBitBtn>(Rect(10, 10, 85, 35));
  struct Case {
    TBitBtnKind kind;
    const char* caption;
    TModalResult result;
    bool def, cancel, glyph;
  };
  const Case cases[] = {
      {bkOK, "OK", mrOk, true, false, true},      {bkCancel, "Cancel", mrCancel, false, true, true},
      {bkYes, "&Yes", mrYes, true, false, true},  {bkNo, "&No", mrNo, false, true, true},
      {bkRetry, "&Retry", mrRetry, false, false, false},
  };
  for (const Case& c : cases) {
    b->SetKind(c.kind);
    EXPECT_EQ(b->Caption(), c.caption);
    EXPECT_EQ(b->ModalResult(), c.result);
    EXPECT_EQ(b->Default(), c.def);
    EXPECT_EQ(b->Cancel(), c.cancel);
    EXPECT_EQ(!b->Glyph()->Empty(), c.glyph) << c.caption;
    EXPECT_EQ(b->Kind(), c.kind);
  }
  b->SetCaption("确定");
  EXPECT_EQ(b->Kind(), bkCustom) << "a caption of its own makes it custom";
}

TEST_F(ButtonFixture, ButtonsFollowTheirActionAndRunItOnce) {
  auto* list = new TActionList(Form);
  auto* act = new TAction(Form);
  act->SetActionList(list);
  act->SetCaption("图标统计");
  act->SetChecked(true);
  int runs = 0;
  act->OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  auto* btn = Add<TButton>(Rect(10, 10, 85, 35));
  auto* box = Add<TCheckBox>(Rect(10, 50, 150, 67));
  auto* speed = Add<TSpeedButton>(Rect(160, 10, 183, 32));
  act->SetGroupIndex(3);
  btn->SetAction(act);
  box->SetAction(act);
  speed->SetAction(act);
  speed->SetAllowAllUp(true);  // else the last button down of its group stays down
  EXPECT_EQ(speed->GroupIndex(), 3) << "the speed button joins the action's group";
  EXPECT_EQ(btn->Caption(), "图标统计");
  EXPECT_TRUE(box->Checked()) << "the action's Checked shows";
  EXPECT_TRUE(speed->Down());
  EXPECT_EQ(runs, 0) << "binding shows the state without running the action";
  act->SetChecked(false);
  EXPECT_FALSE(box->Checked());
  EXPECT_FALSE(speed->Down());
  EXPECT_EQ(runs, 0);
  act->SetEnabled(false);
  EXPECT_FALSE(btn->Enabled());
  EXPECT_FALSE(box->Enabled());
  Click(btn, {10, 10});
  EXPECT_EQ(runs, 0);
  act->SetEnabled(true);
  Click(btn, {10, 10});
  EXPECT_EQ(runs, 1) << "a click runs the action once";
  Click(box, {5, 8});
  EXPECT_EQ(runs, 2);
}

TEST(ButtonsLayout, ButtonsAndBoxesAreReadFromALayout) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object F: TForm\n"
                        "  object GroupBox1: TGroupBox\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 200\n"
                        "    Height = 100\n"
                        "    Caption = '其它管理'\n"
                        "    object MoneyIn: TCheckBox\n"
                        "      Left = 8\n"
                        "      Top = 20\n"
                        "      Width = 97\n"
                        "      Height = 17\n"
                        "      Caption = '收款查询'\n"
                        "      Checked = True\n"
                        "      State = cbChecked\n"
                        "    end\n"
                        "    object rbAll: TRadioButton\n"
                        "      Left = 8\n"
                        "      Top = 40\n"
                        "      Caption = '全部'\n"
                        "      Checked = True\n"
                        "      TabStop = True\n"
                        "    end\n"
                        "  end\n"
                        "  object Btn_Exit: TButton\n"
                        "    Left = 120\n"
                        "    Top = 120\n"
                        "    Caption = '取消(&C)'\n"
                        "    Cancel = True\n"
                        "    ModalResult = 2\n"
                        "  end\n"
                        "end\n");
  auto* box = dynamic_cast<TCheckBox*>(f->FindComponent("MoneyIn"));
  auto* rb = dynamic_cast<TRadioButton*>(f->FindComponent("rbAll"));
  auto* btn = dynamic_cast<TButton*>(f->FindComponent("Btn_Exit"));
  ASSERT_TRUE(box && rb && btn);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(box->Parent()->Name(), "GroupBox1");
  EXPECT_TRUE(rb->Checked());
  EXPECT_TRUE(btn->Cancel());
  EXPECT_EQ(btn->ModalResult(), mrCancel);
  EXPECT_EQ(btn->Caption(), "取消(&C)");
  delete f;
}

// A form's designer sees the input of the form's controls first; what it takes never reaches
// the control, so a button being designed is not clicked and an edit takes no typing.
namespace {
struct TRecordingDesigner : IDesignerHook {
  bool Take = true;
  std::vector<std::pair<String, Cardinal>> Seen;
  bool IsDesignMsg(TControl* Sender, TMessage& Message) override {
    Seen.emplace_back(Sender->Name(), Message.Msg);
    return Take;
  }
  bool Saw(const String& name, Cardinal msg) const {
    return std::find(Seen.begin(), Seen.end(), std::make_pair(name, msg)) != Seen.end();
  }
};
}  // namespace

TEST_F(ButtonFixture, AFormsDesignerTakesTheMouseAndKeysOfItsControls) {
  auto* b = Named<TButton>("Btn", Rect(10, 10, 85, 35));
  auto* edit = Add<TEdit>(Rect(10, 50, 150, 71));
  static_cast<TComponent*>(edit)->SetName("Ed");
  edit->SetText("");
  auto* label = Named<TLabel>("Lbl", Rect(160, 80, 230, 95));
  label->SetCaption("标签");
  TRecordingDesigner d;
  Form->SetDesigner(&d);
  struct TCase {
    const char* what;
    bool take;
    std::function<void()> act;
    const char* sender;
    Cardinal msg;
    size_t clicks;
  };
  const std::vector<TCase> cases = {
      {"button press taken", true, [&] { Click(b, {20, 10}); }, "Btn", WM_LBUTTONDOWN, 0},
      {"windowless label press goes to the designer as the label", true, [&] { Click(label, {5, 5}); }, "Lbl",
       WM_LBUTTONUP, 0},
      {"declined: the button clicks", false, [&] { Click(b, {20, 10}); }, "Btn", WM_LBUTTONUP, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    Clicks.clear();
    d.Seen.clear();
    d.Take = c.take;
    c.act();
    Application->ProcessMessages();
    EXPECT_TRUE(d.Saw(c.sender, c.msg));
    EXPECT_EQ(Clicks.size(), c.clicks);
  }
  // Keys typed into a focused edit: taken, the edit stays empty; declined, they type.
  edit->SetFocus();
  d.Take = true;
  d.Seen.clear();
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_TRUE(d.Saw("Ed", WM_KEYDOWN));
  EXPECT_EQ(edit->Text(), "");
  d.Take = false;
  TypeKey(Qt::Key_B, Qt::NoModifier, "b");
  EXPECT_EQ(edit->Text(), "b");
  // Without a designer nothing is asked.
  Form->SetDesigner(nullptr);
  d.Seen.clear();
  Clicks.clear();
  Click(b, {20, 10});
  EXPECT_TRUE(d.Seen.empty());
  EXPECT_EQ(Clicks, (std::vector<String>{"Btn"}));
}
