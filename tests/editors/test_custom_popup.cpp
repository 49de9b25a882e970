// The editors' popup window on a shown form: the hooks close it on clicks elsewhere, on the
// owner hiding and on the application losing the activation; Alt keys are filtered; a
// focus-taking popup runs its modal loop; the work area clamps it.
#include "BaseControlFixture.h"

#include "editors/cxCustomPopupWindow.h"
#include "gui/WinUser.h"

#include <gtest/gtest.h>

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
