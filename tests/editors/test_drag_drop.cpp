// The base control's own drag and drop, its drag-start detector and its platform drag
// hooks, driven with real mouse and keys.
#include "BaseControlFixture.h"

#include "editors/cxCanvas.h"

#include <QtCore/QCoreApplication>

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

struct DragDrop : TBaseControlForm {
  void SetUp() override {
    TBaseControlForm::SetUp();
    Ctl->DragAndDropWanted = true;
  }
};

void PostMouse(TControl* c, QEvent::Type type, TPoint client, Qt::MouseButton button, Qt::MouseButtons held) {
  TPoint s = c->ClientToScreen(client);
  QWidget* w = InputWidget(c);
  QPointF global(s.X, s.Y);
  auto* e = new QMouseEvent(type, w->mapFromGlobal(global), global, button, held, Qt::NoModifier);
  Clock() += 5;
  e->setTimestamp(Clock());
  QCoreApplication::postEvent(w, e);
}

void PostKey(TWinControl* c, int key) {
  QCoreApplication::postEvent(WidgetOf(c), new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  QCoreApplication::postEvent(WidgetOf(c), new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

}  // namespace

TEST_F(DragDrop, ItStartsOnlyBeyondTheThresholdAndEndsAcceptedOnButtonUp) {
  // A click: armed, never started, the object freed on button up.
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  EXPECT_EQ(Ctl->DragDropPhase(), ddpPending);
  Release(Ctl, {50, 50});
  EXPECT_EQ(Ctl->DragDropPhase(), ddpIdle);
  EXPECT_EQ(Ctl->Log, std::vector<std::string>{"freed"});
  EXPECT_FALSE(Ctl->HasDragDropObject());

  Ctl->Log.clear();
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  Move(Ctl, {54, 46}, Qt::LeftButton);
  EXPECT_EQ(Ctl->DragDropPhase(), ddpPending) << "4 pixels stay within the threshold";
  Move(Ctl, {56, 50}, Qt::LeftButton);
  EXPECT_EQ(Ctl->DragDropPhase(), ddpActive);
  EXPECT_EQ(GetCapture(), Ctl->Handle());
  Move(Ctl, {70, 60}, Qt::LeftButton);
  EXPECT_EQ(Screen->Cursor(), crDrag) << "the object's cursor for an accepted place";
  Release(Ctl, {70, 60});
  EXPECT_EQ(Ctl->Log, (std::vector<std::string>{"start", "move 56,50", "move 70,60", "finish accepted", "freed"}));
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(DragDrop, EscCancelsAndOtherKeysAreSwallowedWhileItRuns) {
  std::vector<Word> keys;
  Ctl->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& k, TShiftState) { keys.push_back(k); });
  Ctl->SetFocus();
  Screen->SetCursor(crHourGlass);
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  Move(Ctl, {70, 50}, Qt::LeftButton);
  ASSERT_EQ(Ctl->DragDropPhase(), ddpActive);
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  TypeKey(Qt::Key_Tab);
  EXPECT_TRUE(keys.empty()) << "keys are swallowed during a drag and drop";
  EXPECT_EQ(Ctl->DragDropPhase(), ddpActive);
  TypeKey(Qt::Key_Escape);
  EXPECT_EQ(Ctl->DragDropPhase(), ddpIdle);
  EXPECT_EQ(Ctl->Log, (std::vector<std::string>{"start", "move 70,50", "finish refused", "freed"}));
  EXPECT_EQ(Screen->Cursor(), crHourGlass) << "the cursor from before";
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_EQ(keys, std::vector<Word>{VK_ESCAPE});
  Release(Ctl, {70, 50});
  Screen->SetCursor(crDefault);

  // Another press that is no drag and a cancelled mode end it too.
  for (auto end : std::vector<std::function<void()>>{[&] { Ctl->Perform(WM_CANCELMODE); },
                                                    [&] { Press(Ctl, {70, 50}, Qt::RightButton); }}) {
    Ctl->Log.clear();
    Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
    Move(Ctl, {70, 50}, Qt::LeftButton);
    end();
    EXPECT_EQ(Ctl->DragDropPhase(), ddpIdle);
    EXPECT_EQ(Ctl->Log.back(), "freed");
    Release(Ctl, {70, 50});
  }
}

TEST_F(DragDrop, AnObjectThatStartsImmediatelyAndOneWhoseEndRaises) {
  Ctl->StartsAtOnce = true;
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  EXPECT_EQ(Ctl->DragDropPhase(), ddpActive);
  Ctl->ThrowOnFinish = true;
  TBoxRecorder boxes;
  Release(Ctl, {50, 50});
  Application->ProcessMessages();
  EXPECT_EQ(Ctl->Log, (std::vector<std::string>{"start", "finish accepted", "freed"})) << "freed although the end raised";
  EXPECT_EQ(Ctl->DragDropPhase(), ddpIdle);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "the drop failed.");
  // The finishing guard was reset: the next one runs to its end.
  Ctl->ThrowOnFinish = false;
  Ctl->Log.clear();
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  Release(Ctl, {50, 50});
  EXPECT_EQ(Ctl->Log, (std::vector<std::string>{"start", "finish accepted", "freed"}));
}

TEST_F(DragDrop, DetectDragStartAnswersFromTheQueuedInput) {
  struct Case {
    const char* name;
    std::function<void()> queue;
    int result;
  };
  const Case cases[] = {
      {"button up", [&] { PostMouse(Ctl, QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton); }, 0},
      {"right button up", [&] { PostMouse(Ctl, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton); }, 0},
      {"Esc", [&] { PostKey(Ctl, Qt::Key_Escape); }, 2},
      {"4 px, then up",
       [&] {
         PostMouse(Ctl, QEvent::MouseMove, {54, 54}, Qt::NoButton, Qt::LeftButton);
         PostMouse(Ctl, QEvent::MouseButtonRelease, {54, 54}, Qt::LeftButton, Qt::NoButton);
       },
       0},
      {"6 px", [&] { PostMouse(Ctl, QEvent::MouseMove, {56, 50}, Qt::NoButton, Qt::LeftButton); }, 1},
      {"6 px up", [&] { PostMouse(Ctl, QEvent::MouseMove, {50, 44}, Qt::NoButton, Qt::LeftButton); }, 1},
  };
  Ctl->DragAndDropWanted = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mouse->SetCursorPos(Ctl->ClientToScreen({50, 50}));
    c.queue();
    EXPECT_EQ(DetectDragStart(Ctl->Handle()), c.result);
    EXPECT_EQ(GetCapture(), 0u);
    Application->ProcessMessages();
  }
}

TEST_F(DragDrop, AutomaticDraggingStartsThePlatformDragOnlyOnceTheMouseLeavesTheThreshold) {
  Ctl->DragAndDropWanted = false;
  Ctl->SetDragMode(dmAutomatic);
  std::vector<std::string> events;
  Ctl->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("down"); });
  Ctl->OnStartDrag = TStartDragEvent::Lambda([&](TObject*, TDragObject*&) { events.push_back("start drag"); });
  Ctl->OnEndDrag = TEndDragEvent::Lambda([&](TObject*, TObject* t, int, int) {
    events.push_back(t == Other ? "end on Other" : "end");
  });
  Other->OnDragOver = TDragOverEvent::Lambda([](TObject*, TObject*, int, int, TDragState, bool& a) { a = true; });

  // A click: OnMouseDown, no drag.
  PostMouse(Ctl, QEvent::MouseButtonRelease, {50, 50}, Qt::LeftButton, Qt::NoButton);
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  Application->ProcessMessages();
  EXPECT_EQ(events, std::vector<std::string>{"down"});
  EXPECT_FALSE(Ctl->Dragging());

  // Past the threshold: the platform drag starts with the control's own drag object, which
  // shows the copy cursor over an accepting target while Ctrl is held.
  events.clear();
  PostMouse(Ctl, QEvent::MouseMove, {60, 50}, Qt::NoButton, Qt::LeftButton);
  Press(Ctl, {50, 50}, Qt::LeftButton, 1000);
  EXPECT_EQ(events, (std::vector<std::string>{"down", "start drag"}));
  ASSERT_TRUE(Ctl->Dragging());
  auto* object = dynamic_cast<TcxDragControlObject*>(::CurrentDragObject());
  ASSERT_NE(object, nullptr);
  SetKeyDownState(VK_CONTROL, true);
  EXPECT_EQ(object->GetDragCursor(true, 0, 0), crcxDragCopy);
  EXPECT_EQ(object->GetDragCursor(false, 0, 0), crNoDrop);
  SetKeyDownState(VK_CONTROL, false);
  EXPECT_EQ(object->GetDragCursor(true, 0, 0), crDrag);
  Move(Form, Other->ClientToParent({20, 10}, Form), Qt::LeftButton);
  Release(Form, Other->ClientToParent({20, 10}, Form));
  EXPECT_FALSE(Ctl->Dragging());
  EXPECT_EQ(events.back(), "end on Other") << "the object freed itself after the drop (ASan)";
}

TEST_F(DragDrop, ARefusedDragObjectCancelsThePlatformDrag) {
  struct TRefusing : TTestControl {
    using TTestControl::TTestControl;
    bool AcceptDragObject(TDragObject*) override { return false; }
  };
  auto* c = Add<TRefusing>(Rect(220, 10, 320, 110));
  int ends = 0;
  c->OnEndDrag = TEndDragEvent::Lambda([&](TObject*, TObject* t, int, int) { ends += t == nullptr; });
  c->BeginDrag(true);
  EXPECT_FALSE(c->Dragging());
  EXPECT_EQ(::CurrentDragObject(), nullptr);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(DragDrop, AControlThatProvidesDragImagesShowsItsPaintingAtTheCursor) {
  struct TImaging : TTestControl {
    using TTestControl::TTestControl;
    bool ProvidesDragImages() override { return true; }
    TPoint DragImageSize() override { return {24, 16}; }
    void PaintDragImage(TcxCanvas* C, const TRect& R) override {
      C->Brush()->SetColor(clBlue);
      C->Canvas()->FillRect(R);
    }
  };
  auto* c = Add<TImaging>(Rect(220, 10, 320, 110));
  c->BeginDrag(true);
  ASSERT_TRUE(c->Dragging());
  auto* images = dynamic_cast<TcxDragImageList*>(c->GetDragImages());
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 1);
  EXPECT_EQ(images->Width(), 24);
  EXPECT_TRUE(images->Dragging());
  EXPECT_TRUE(images->ImageShown());
  c->EndDrag(false);
  EXPECT_FALSE(c->Dragging());
}
