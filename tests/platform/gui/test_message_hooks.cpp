// Hooks on the GUI thread's messages: observers of sent messages (with the window's own
// WM_SHOWWINDOW, WM_WINDOWPOSCHANGED and WM_DESTROY), filters of queued messages and of
// left-button clicks, driven by real input.
#include "StdTestUtil.h"

#include "gui/Edit.h"
#include "gui/MessageHooks.h"
#include "gui/WinUser.h"
#include "gui/QtGlue_p.h"

namespace {

using stdtest::FormFixture;
using namespace guitest;

TEST_F(FormFixture, SentMessageObserversHearShowMoveAndDestroy) {
  auto* edit = Add<TEdit>(Rect(10, 10, 110, 31));
  const HWND h = edit->Handle();
  std::vector<std::string> seen;
  int id = AddSentMessageHook([&](HWND W, UINT Msg, WPARAM WParam, LPARAM) {
    if (W != h) return;
    if (Msg == WM_SHOWWINDOW) seen.push_back("show " + std::to_string(WParam));
    if (Msg == WM_WINDOWPOSCHANGED) seen.push_back("moved");
    if (Msg == WM_DESTROY) seen.push_back("destroy");
    if (Msg == WM_USER + 4) seen.push_back("sent");
  });
  edit->Hide();
  edit->Show();
  edit->SetBounds(20, 10, 100, 21);
  SendMessage(h, WM_USER + 4, 0, 0);
  PostMessage(h, WM_USER + 4, 0, 0);
  Application->ProcessMessages();  // a posted message is not a sent one
  delete edit;
  RemoveSentMessageHook(id);
  EXPECT_EQ(seen, (std::vector<std::string>{"show 0", "show 1", "moved", "sent", "destroy"}));
}

TEST_F(FormFixture, QueueFiltersMayDropAMessageAndClickFiltersAClick) {
  auto* edit = Add<TEdit>(Rect(10, 10, 110, 31));
  std::vector<Word> keys;
  int clicks = 0;
  edit->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& k, TShiftState) { keys.push_back(k); });
  edit->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; });
  edit->SetFocus();
  int q = AddQueuedMessageHook([](TMsg& M) {
    if (M.message == WM_KEYDOWN && M.wParam == 'Q') M.message = WM_NULL;
  });
  bool discard = true;
  int c = AddMouseClickHook([&](HWND, UINT Msg, TPoint) { return !(discard && Msg == WM_LBUTTONDOWN); });
  TypeKey(Qt::Key_Q, Qt::NoModifier, "q");
  TypeKey(Qt::Key_W, Qt::NoModifier, "w");
  Click(edit, {5, 5});
  EXPECT_EQ(clicks, 0) << "the click filter discarded it";
  discard = false;
  Click(edit, {5, 5});
  EXPECT_EQ(clicks, 1);
  RemoveQueuedMessageHook(q);
  RemoveMouseClickHook(c);
  TypeKey(Qt::Key_Q, Qt::NoModifier, "q");
  EXPECT_EQ(keys, (std::vector<Word>{'W', 'Q'}));
}

TEST_F(FormFixture, AFormThatNeverActivatesShowsWithoutTakingTheActivation) {
  struct TInactiveForm : TForm {
    using TForm::TForm;
    void CreateParams(TCreateParams& P) override {
      TForm::CreateParams(P);
      P.Style = WS_POPUP;
      P.ExStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
    }
  };
  Form->SetFocus();
  auto* popup = new TInactiveForm(Application);
  popup->SetBorderStyle(bsNone);
  popup->SetBounds(100, 100, 50, 50);
  popup->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(popup->Visible());
  EXPECT_EQ(Screen->ActiveCustomForm(), Form);
  delete popup;
}

// Activation reaches the caption through WM_NCACTIVATE, sent so that observers hear it
// before the form; a procedure that swallows the message keeps the caption as it was.
TEST_F(FormFixture, TheCaptionFollowsTheActivationThroughASentMessageThatMayBeSwallowed) {
  Form->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(Screen->ActiveCustomForm(), Form);
  EXPECT_TRUE(Form->CaptionActive());
  auto* other = new TForm(Application);
  other->SetBorderStyle(bsNone);
  other->SetBounds(420, 40, 100, 100);
  std::vector<std::string> seen;
  int id = AddSentMessageHook([&](HWND W, UINT Msg, WPARAM WParam, LPARAM) {
    if (Msg != WM_NCACTIVATE) return;
    seen.push_back((W == Form->Handle() ? "form " : W == other->Handle() ? "other " : "? ") + std::to_string(WParam));
  });
  other->Show();
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(Screen->ActiveCustomForm(), other);
  EXPECT_EQ(seen, (std::vector<std::string>{"form 0", "other 1"}));
  EXPECT_FALSE(Form->CaptionActive());
  EXPECT_TRUE(other->CaptionActive());

  // The form swallows its next deactivation: its caption stays active.
  Form->SetFocus();
  Application->ProcessMessages();
  TWndMethod own = Form->WindowProc;
  Form->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_NCACTIVATE && M.WParam == 0) M.Result = 1;
    else own(M);
  };
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(Form->CaptionActive());
  EXPECT_TRUE(other->CaptionActive());
  Form->WindowProc = own;

  // Losing the application's activation makes the active form's caption inactive.
  seen.clear();
  gui_glue::TAccess::SetApplicationActive(false);
  EXPECT_FALSE(other->CaptionActive());
  gui_glue::TAccess::SetApplicationActive(true);
  EXPECT_TRUE(other->CaptionActive());
  EXPECT_EQ(seen, (std::vector<std::string>{"other 0", "other 1"}));
  RemoveSentMessageHook(id);
  delete other;
}

}  // namespace
