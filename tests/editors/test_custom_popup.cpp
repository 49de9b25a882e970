// The editors' popup window on a shown form: the hooks close it on clicks elsewhere, on the
// owner hiding and on the application losing the activation; Alt keys are filtered; a
// focus-taking popup runs its modal loop; the work area clamps it.
#include "BaseControlFixture.h"

#include "editors/cxCustomPopupWindow.h"
#include "gui/WinUser.h"
#include "gui/QtGlue_p.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace basetest;
using namespace guitest;

namespace {

class TTestPopup : public TcxCustomPopupWindow {
public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  bool KeepInside = false;
  bool KeepsInsideWorkArea() override { return KeepInside; }
};

struct Popups : TBaseControlForm {
  TcxContainer* Owner = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    TBaseControlForm::SetUp();
    Owner = Add<TcxContainer>(Rect(220, 10, 320, 31));
    for (TControl* c : std::initializer_list<TControl*>{Owner, Other, Ctl})
      c->OnMouseDown = TMouseEvent::Lambda([this, c](TObject*, TMouseButton, TShiftState, int, int) {
        Log.push_back(c == Owner ? "owner down" : c == Other ? "other down" : "ctl down");
      });
    Application->ProcessMessages();
  }
  void TearDown() override {
    for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(OpenPopupWindows())) p->DismissPopup();
    TBaseControlForm::TearDown();
  }
  TTestPopup* Make(TControl* AOwner, const char* name, bool takesFocus = false) {
    auto* p = new TTestPopup(AOwner);
    p->SetTakesFocus(takesFocus);
    auto* inside = new TTestControl(p);
    inside->SetParent(p);
    inside->SetBounds(0, 0, 80, 60);
    p->AnchorParent = AOwner;
    p->AnchorBounds = Rect(0, 0, AOwner->Width(), AOwner->Height());
    p->OnBeforeCloseUp = TNotifyEvent::Lambda([this, name](TObject*) { Log.push_back(std::string("close ") + name); });
    return p;
  }
};

}  // namespace

TEST_F(Popups, AClickElsewhereOnTheOwnersFormClosesItAndStillArrives) {
  TTestPopup* p = Make(Owner, "p");
  p->Popup(nullptr);
  ASSERT_TRUE(p->IsOpen());
  EXPECT_EQ(p->BoundsRect().TopLeft(), Owner->ClientToScreen({0, 21})) << "below the owner";
  EXPECT_NE(Screen->ActiveCustomForm(), p) << "never activated";
  Click(Other, {5, 5});
  EXPECT_FALSE(p->IsOpen());
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(Log, (std::vector<std::string>{"close p", "other down"}));

  // A click inside the popup closes nothing.
  Log.clear();
  p->Popup(nullptr);
  Click(p->Controls(0), {5, 5});
  EXPECT_TRUE(p->IsOpen());
  delete p;
  EXPECT_TRUE(OpenPopupWindows().empty());
}

TEST_F(Popups, AClickOnTheOwnerInTheAnchorClosesItAndReachesTheOwnerUnlessTheOwnerHid) {
  TTestPopup* p = Make(Owner, "p");
  p->Popup(nullptr);
  Click(Owner, {10, 10});
  EXPECT_FALSE(p->IsOpen());
  EXPECT_EQ(Log, (std::vector<std::string>{"close p", "owner down"}));

  Log.clear();
  p->Popup(nullptr);
  p->OnAfterCloseUp = TNotifyEvent::Lambda([this](TObject*) { Owner->Hide(); });
  Click(Owner, {10, 10});
  EXPECT_FALSE(p->IsOpen());
  EXPECT_EQ(Log, (std::vector<std::string>{"close p"})) << "the click on a hidden owner is discarded";
  Owner->Show();
  delete p;
}

TEST_F(Popups, HidingTheOwnerClosesItsPopupAndTheLaterOnesMostRecentFirst) {
  TTestPopup* first = Make(Owner, "first");
  first->Popup(nullptr);
  TTestPopup* second = Make(first->Controls(0), "second");
  second->Popup(nullptr);
  ASSERT_TRUE(second->IsOpen());
  Click(second->Controls(0), {5, 5});
  EXPECT_TRUE(first->IsOpen()) << "a click in a popup opened from it closes nothing";
  Owner->Hide();
  EXPECT_EQ(Log, (std::vector<std::string>{"close second", "close first"}));
  Owner->Show();
  delete second;
  delete first;
}

TEST_F(Popups, LosingTheApplicationsActivationClosesPopupsThatTakeNoFocus) {
  TTestPopup* p = Make(Owner, "p");
  p->Popup(nullptr);
  gui_glue::TAccess::SetApplicationActive(false);
  EXPECT_FALSE(p->IsOpen());
  gui_glue::TAccess::SetApplicationActive(true);
  delete p;
}

TEST_F(Popups, AltKeysThePopupDoesNotAcceptAreSwallowed) {
  std::vector<Word> keys;
  Other->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& k, TShiftState s) {
    if (s.Contains(ssAlt)) keys.push_back(k);
  });
  Other->SetFocus();
  TTestPopup* p = Make(Owner, "p");
  p->Popup(nullptr);
  TypeKey(Qt::Key_Down, Qt::AltModifier);
  TypeKey(Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(keys, (std::vector<Word>{VK_DOWN}));
  // Alt+F4 passes too (typed here it would close the test's form).
  EXPECT_TRUE(p->AcceptsSysKey(VK_F4));
  EXPECT_FALSE(p->AcceptsSysKey('X'));
  p->DismissPopup();
  keys.clear();
  TypeKey(Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(keys, std::vector<Word>{'X'}) << "no popup open: nothing is filtered";
  delete p;
}

TEST_F(Popups, EscUnderCaptureOnlyReleasesIt) {
  TTestPopup* p = Make(Owner, "p");
  p->Popup(nullptr);
  SetCapture(p->Handle());
  Word key = VK_ESCAPE;
  p->Perform(WM_KEYDOWN, key, 0);
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_TRUE(p->IsOpen());
  delete p;
}

TEST_F(Popups, AFocusTakingPopupRunsItsLoopUntilAModalResultClosesIt) {
  TTestPopup* p = Make(Owner, "modal", true);
  HWND poster = AllocateHWnd([p](TMessage& M) {
    if (M.Msg == WM_USER + 9) p->SetModalResult(mrOk);
  });
  bool inLoop = false;
  p->OnAfterPopup = TNotifyEvent::Lambda([&](TObject*) {
    inLoop = true;
    PostMessage(poster, WM_USER + 9, 0, 0);
  });
  p->Popup(nullptr);  // returns once the popup closed
  EXPECT_TRUE(inLoop);
  EXPECT_FALSE(p->IsOpen());
  EXPECT_FALSE(p->Visible());
  EXPECT_EQ(Log, std::vector<std::string>{"close modal"});
  DeallocateHWnd(poster);
  delete p;
}

TEST_F(Popups, ClampingShrinksItToTheWorkArea) {
  TTestPopup* p = Make(Owner, "p");
  p->KeepInside = true;
  p->SetBounds(0, 0, 300, 200);
  const TRect a = Screen->MonitorFromPoint({10, 10})->WorkareaRect();
  TPoint at{a.Left - 20, a.Bottom - 50};
  p->ClampToWorkArea(at);
  EXPECT_EQ(at, (TPoint{a.Left, a.Bottom - 50}));
  EXPECT_EQ(p->Width(), 280);
  EXPECT_EQ(p->Height(), 50);
  delete p;
}

namespace {

// The owner's form keeps its active caption while a focus-taking popup it owns is the active
// window; the application losing the activation takes it back.
TEST_F(Popups, TheOwnersFormKeepsItsActiveCaptionWhileItsPopupIsActive) {
  Form->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(Form->CaptionActive());
  std::vector<WPARAM> reached;  // the caption states the form was told of
  TWndMethod own = Form->WindowProc;
  Form->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_NCACTIVATE) reached.push_back(M.WParam);
    own(M);
  };
  TTestPopup* p = Make(Owner, "p", true);
  p->ModalLoop = false;
  p->Popup(nullptr);
  Application->ProcessMessages();
  ASSERT_EQ(Screen->ActiveCustomForm(), p) << "the popup took the activation";
  EXPECT_TRUE(Form->CaptionActive());
  EXPECT_FALSE(Form->Active());
  EXPECT_EQ(std::count(reached.begin(), reached.end(), 0u), 0) << "never drawn inactive, not even briefly";
  Form->WindowProc = own;

  // Closed, the form is active again; a later deactivation reaches the form as always.
  p->DismissPopup();
  Application->ProcessMessages();
  EXPECT_TRUE(Form->CaptionActive());
  auto* other = new TForm(Application);
  other->SetBorderStyle(bsNone);
  other->SetBounds(500, 300, 60, 60);
  other->Show();
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(Form->CaptionActive()) << "no popup open: nothing is kept";
  delete other;

  // A popup that never takes the activation leaves the caption alone; when the application
  // loses the activation, the owner's form is drawn inactive.
  Form->SetFocus();
  Application->ProcessMessages();
  TTestPopup* q = Make(Owner, "q");
  q->Popup(nullptr);
  EXPECT_TRUE(Form->CaptionActive());
  gui_glue::TAccess::SetApplicationActive(false);
  Application->ProcessMessages();
  EXPECT_FALSE(q->IsOpen());
  EXPECT_FALSE(Form->CaptionActive());
  gui_glue::TAccess::SetApplicationActive(true);
  delete q;
  delete p;
}

TEST_F(Popups, ALockedWindowSwallowsExactlyItsNextMessage) {
  std::vector<UINT> seen;
  TWndMethod own = Other->WindowProc;
  Other->WindowProc = [&](TMessage& M) {
    if (M.Msg >= WM_USER) seen.push_back(M.Msg);
    own(M);
  };
  LockNextMessage(Other->Handle());
  LockNextMessage(Other->Handle());  // locked already: still one message
  EXPECT_EQ(SendMessage(Other->Handle(), WM_USER + 1, 0, 0), 1);
  SendMessage(Other->Handle(), WM_USER + 2, 0, 0);
  SendMessage(Other->Handle(), WM_USER + 3, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
  LockNextMessage(0);  // no window: nothing
  Other->WindowProc = own;
}

// Popups of an editor on an MDI child close on clicks in the rest of the MDI family: the
// MDI form and its other children.
TEST(PopupsMdi, AClickOnTheMdiFormOrAnotherChildClosesThePopupAndArrives) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 600, 400);
  main->SetFormStyle(fsMDIForm);
  TForm* saved = Application->MainForm();
  Application->SetMainForm(main);
  auto* bar = new TTestControl(main);
  bar->SetParent(main);
  bar->SetAlign(alTop);
  bar->SetHeight(30);
  main->Show();
  auto makeChild = [main](int x) {
    auto* f = new TForm(main);
    f->SetFormStyle(fsMDIChild);
    f->SetBounds(x, 0, 250, 200);
    f->Show();
    return f;
  };
  TForm* a = makeChild(0);
  TForm* b = makeChild(260);
  auto* owner = new TcxContainer(a);
  owner->SetParent(a);
  owner->SetBounds(10, 10, 100, 21);
  auto* onB = new TTestControl(b);
  onB->SetParent(b);
  onB->SetBounds(10, 10, 100, 50);
  a->BringToFront();
  Application->ProcessMessages();
  std::vector<std::string> log;
  for (TControl* c : std::initializer_list<TControl*>{bar, onB})
    c->OnMouseDown = TMouseEvent::Lambda([&log, bar, c](TObject*, TMouseButton, TShiftState, int, int) {
      log.push_back(c == bar ? "bar down" : "b down");
    });
  auto popup = std::make_unique<TTestPopup>(owner);
  popup->SetTakesFocus(false);
  popup->AnchorParent = owner;
  popup->AnchorBounds = Rect(0, 0, owner->Width(), owner->Height());
  popup->SetBounds(0, 0, 80, 60);
  popup->OnBeforeCloseUp = TNotifyEvent::Lambda([&](TObject*) { log.push_back("close"); });

  const struct {
    TControl* target;
    const char* arrives;
  } cases[] = {{onB, "b down"}, {bar, "bar down"}};
  for (const auto& c : cases) {
    log.clear();
    a->BringToFront();
    Application->ProcessMessages();
    popup->Popup(nullptr);
    ASSERT_TRUE(popup->IsOpen()) << c.arrives;
    Click(c.target, {5, 5});
    EXPECT_FALSE(popup->IsOpen()) << c.arrives;
    EXPECT_EQ(log, (std::vector<std::string>{"close", c.arrives}));
  }
  popup.reset();
  Application->SetMainForm(saved);
  delete main;
}

}  // namespace
