// Services the editor library's base control asks of the layer: drag images at the cursor,
// cancelling a drag, the automatic-drag hook and the drag object's end, WM_ACTIVATEAPP to
// the forms, Shift+F10 as a context-menu request, the double-click time, the parent test,
// the notifying send and the scroll-bar sizes a test may change.
#include "StdTestUtil.h"

#include "gui/DragImages.h"
#include "gui/Edit.h"
#include "gui/SysColors.h"
#include "gui/SystemBroadcast.h"
#include "gui/WinUser.h"

namespace {

using stdtest::FormFixture;
using namespace guitest;

// A control that shows a 16 x 12 picture while it is dragged and records the drag hooks.
class TDragSource : public TCustomControl {
public:
  explicit TDragSource(TComponent* AOwner) : TCustomControl(AOwner) {
    SetControlStyle(ControlStyle() + csDisplayDragImage);
    Images.SetWidth(16);
    Images.SetHeight(12);
    TBitmap b;
    b.SetSize(16, 12);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(Rect(0, 0, 16, 12));
    Images.Add(&b, nullptr);
    Images.SetDragImage(0, 4, 3);
  }
  TDragImageList Images{nullptr};
  std::vector<std::string> Log;
  TDragImageList* GetDragImages() override { return &Images; }

protected:
  void BeginAutoDrag() override {
    Log.push_back("auto drag");
    TCustomControl::BeginAutoDrag();
  }
  void DragCanceled() override { Log.push_back("canceled"); }
};

// Records how it ended, then frees itself as a control's own drag object may.
class TSelfFreeingObject : public TDragControlObject {
public:
  TSelfFreeingObject(TControl* C, std::vector<std::string>& L) : TDragControlObject(C), FLog(L) {}
  void Finished(TObject* Target, int, int, bool Accepted) override {
    FLog.push_back(std::string("finished ") + (Target ? "on target" : "nowhere") + (Accepted ? " accepted" : "") +
                   (Cancelling() ? " cancelling" : ""));
    delete this;
  }

private:
  std::vector<std::string>& FLog;
};

TEST_F(FormFixture, TheDragImageFollowsTheCursorAndHidesWhileAWindowRepaints) {
  auto* source = Add<TDragSource>(Rect(10, 10, 60, 40));
  auto* target = Add<TEdit>(Rect(100, 10, 200, 31));
  target->OnDragOver = TDragOverEvent::Lambda([](TObject*, TObject*, int, int, TDragState, bool& a) { a = true; });
  source->SetDragMode(dmAutomatic);
  Press(source, {5, 5}, Qt::LeftButton, 1000);
  EXPECT_EQ(source->Log, std::vector<std::string>{"auto drag"});
  EXPECT_FALSE(source->Images.Dragging()) << "nothing shows within the threshold";
  Move(source, {20, 5}, Qt::LeftButton);
  ASSERT_TRUE(source->Images.Dragging());
  EXPECT_TRUE(source->Images.ImageShown());
  TPoint at = Form->ClientToScreen(target->ClientToParent({10, 5}, Form));
  Move(Form, target->ClientToParent({10, 5}, Form), Qt::LeftButton);
  EXPECT_EQ(source->Images.ImagePos(), (TPoint{at.X - 4, at.Y - 3})) << "the hot spot lies under the cursor";
  ::CurrentDragObject()->HideDragImage();
  EXPECT_FALSE(source->Images.ImageShown());
  ::CurrentDragObject()->ShowDragImage();
  EXPECT_TRUE(source->Images.ImageShown());
  Release(Form, target->ClientToParent({10, 5}, Form));
  EXPECT_FALSE(source->Images.Dragging());
  EXPECT_FALSE(source->Images.ImageShown());
}

TEST_F(FormFixture, CancelDragTellsTheSourceAndTheObjectEndsNowhere) {
  auto* source = Add<TDragSource>(Rect(10, 10, 60, 40));
  std::vector<std::string> ends;
  source->OnStartDrag = TStartDragEvent::Lambda([&](TObject*, TDragObject*& o) { o = new TSelfFreeingObject(source, ends); });
  source->OnEndDrag = TEndDragEvent::Lambda([&](TObject*, TObject* t, int, int) { ends.push_back(t ? "end on target" : "end"); });
  source->BeginDrag(true);
  ASSERT_TRUE(source->Dragging());
  CancelDrag();
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(source->Log, std::vector<std::string>{"canceled"});
  EXPECT_EQ(ends, (std::vector<std::string>{"end", "finished nowhere cancelling"})) << "the object freed itself (ASan)";
  EXPECT_EQ(GetCapture(), 0u);
  CancelDrag();  // none running: nothing happens
  EXPECT_EQ(source->Log.size(), 1u);

  // A source that cancels while its drag starts leaves no drag behind.
  source->OnStartDrag = TStartDragEvent::Lambda([&](TObject*, TDragObject*&) { CancelDrag(); });
  source->BeginDrag(true);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(::CurrentDragObject(), nullptr);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(FormFixture, AnActivationChangeOfTheApplicationReachesEveryTopLevelForm) {
  auto* hidden = new TForm(Application);
  std::vector<std::string> seen;
  for (TForm* f : {Form, hidden}) {
    TWndMethod old = f->WindowProc;
    f->WindowProc = [&seen, f, old, this](TMessage& M) {
      if (M.Msg == WM_ACTIVATEAPP) seen.push_back(std::string(f == Form ? "shown " : "hidden ") + std::to_string(M.WParam));
      old(M);
    };
  }
  gui_glue::TAccess::SetApplicationActive(false);
  gui_glue::TAccess::SetApplicationActive(true);
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"hidden 0", "hidden 1", "shown 0", "shown 1"}));
  delete hidden;
}

TEST_F(FormFixture, ShiftF10AsksForTheContextMenuFromTheKeyboard) {
  auto* edit = Add<TEdit>(Rect(10, 10, 130, 31));
  std::vector<LPARAM> requests;
  TWndMethod old = edit->WindowProc;
  edit->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_CONTEXTMENU) requests.push_back(M.LParam);
    old(M);
  };
  edit->SetFocus();
  TypeKey(Qt::Key_F10);
  EXPECT_TRUE(requests.empty());
  TypeKey(Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_EQ(requests, std::vector<LPARAM>{MakeLParam(-1, -1)});
  edit->WindowProc = old;
}

TEST_F(FormFixture, ParentsDoubleClickTimeAndTheNotifyingSend) {
  auto* panel = Add<TCustomControl>(Rect(10, 10, 100, 100));
  auto* inner = Add<TCustomControl>(panel, Rect(5, 5, 20, 20));
  struct Case {
    HWND parent, child;
    BOOL is;
  };
  const Case cases[] = {{Form->Handle(), inner->Handle(), true}, {panel->Handle(), inner->Handle(), true},
                        {inner->Handle(), panel->Handle(), false}, {inner->Handle(), inner->Handle(), false},
                        {0, inner->Handle(), false}};
  for (const Case& c : cases) EXPECT_EQ(IsChild(c.parent, c.child), c.is);
  EXPECT_EQ(GetDoubleClickTime(), 500u);

  int got = 0;
  HWND w = AllocateHWnd([&](TMessage& M) { got += M.Msg == WM_USER + 3; });
  EXPECT_TRUE(SendNotifyMessage(w, WM_USER + 3, 0, 0));
  EXPECT_EQ(got, 1) << "delivered at once on the one thread";
  DeallocateHWnd(w);
  EXPECT_FALSE(SendNotifyMessage(w, WM_USER + 3, 0, 0));
}

TEST(ScrollBarMetrics, ATestMayChangeTheSizesAndAnnounceThem) {
  std::vector<WPARAM> announced;
  HWND w = AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_SETTINGCHANGE) announced.push_back(M.WParam);
  });
  SetScrollBarMetricsForTest(20);
  SendSystemBroadcast(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  for (int m : {SM_CXVSCROLL, SM_CYHSCROLL, SM_CYVSCROLL, SM_CXHSCROLL, SM_CXHTHUMB, SM_CYVTHUMB})
    EXPECT_EQ(GetSystemMetrics(m), 20) << m;
  EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2) << "other metrics stay";
  SetScrollBarMetricsForTest(0);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
  EXPECT_EQ(announced, std::vector<WPARAM>{SPI_SETNONCLIENTMETRICS});
  DeallocateHWnd(w);
}

}  // namespace
