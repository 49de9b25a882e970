// The control tree: alignment, anchors, property-change messages, focus, capture, painting
// of windowless children, the non-client frame, popups, hints and dragging.
#include "GuiTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"

#include <QtCore/QDir>
#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <map>

using namespace guitest;

namespace {

// A container that records the change messages it and its children are sent.
class TRecorder : public TCustomControl {
public:
  TRecorder(TComponent* owner, std::vector<std::string>* log, std::string name)
      : TCustomControl(owner), Log(log), Tag(std::move(name)) {}
  void Dispatch(TMessage& M) override {
    static const std::map<UINT, const char*> names = {
        {CM_ENABLEDCHANGED, "CM_ENABLEDCHANGED"}, {CM_VISIBLECHANGED, "CM_VISIBLECHANGED"},
        {CM_FONTCHANGED, "CM_FONTCHANGED"},       {CM_COLORCHANGED, "CM_COLORCHANGED"},
        {CM_PARENTFONTCHANGED, "CM_PARENTFONTCHANGED"}, {CM_PARENTCOLORCHANGED, "CM_PARENTCOLORCHANGED"},
        {CM_TEXTCHANGED, "CM_TEXTCHANGED"},       {CM_ENTER, "CM_ENTER"},
        {CM_EXIT, "CM_EXIT"},                     {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},           {CM_CURSORCHANGED, "CM_CURSORCHANGED"},
        {WM_CANCELMODE, "WM_CANCELMODE"},         {CM_SHOWINGCHANGED, "CM_SHOWINGCHANGED"},
        {CM_BIDIMODECHANGED, "CM_BIDIMODECHANGED"}, {CM_PARENTBIDIMODECHANGED, "CM_PARENTBIDIMODECHANGED"}};
    if (Log) {
      auto it = names.find(M.Msg);
      if (it != names.end()) Log->push_back(Tag + ":" + it->second);
    }
    TCustomControl::Dispatch(M);
  }
  std::vector<std::string>* Log;
  std::string Tag;
};

struct TreeFixture : ::testing::Test {
  TForm* Form = nullptr;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 400, 300);
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  template <class T = TRecorder> T* Add(TWinControl* parent, TRect r, std::vector<std::string>* log = nullptr,
                                         const char* name = "") {
    auto* c = new T(Form, log, name);
    c->SetBoundsRect(r);
    c->SetParent(parent);
    return c;
  }
};

}  // namespace

// ---------------------------------------------------------------- alignment

TEST_F(TreeFixture, AlignedChildrenShareTheClientAreaInTheirOrder) {
  ASSERT_EQ(Form->ClientRect(), Rect(0, 0, 400, 300));
  struct Case {
    TAlign align;
    TRect start;
    TRect expected;
  };
  // Two top panels in the order of their tops, two bottom ones with the lowest last, then
  // left, right and the client filling the rest.
  const Case cases[] = {
      {alTop, Bounds(0, 50, 10, 30), Bounds(0, 20, 400, 30)},
      {alTop, Bounds(0, 5, 10, 20), Bounds(0, 0, 400, 20)},
      {alBottom, Bounds(0, 290, 10, 10), Bounds(0, 290, 400, 10)},
      {alBottom, Bounds(0, 200, 10, 15), Bounds(0, 275, 400, 15)},
      {alLeft, Bounds(0, 0, 40, 10), Bounds(0, 50, 40, 225)},
      {alRight, Bounds(0, 0, 60, 10), Bounds(340, 50, 60, 225)},
      {alClient, Bounds(0, 0, 1, 1), Bounds(40, 50, 300, 225)},
  };
  std::vector<TControl*> made;
  Form->DisableAlign();
  for (const Case& c : cases) {
    TControl* p = Add(Form, c.start);
    p->SetAlign(c.align);
    made.push_back(p);
  }
  Form->EnableAlign();
  for (std::size_t i = 0; i < made.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(made[i]->BoundsRect(), cases[i].expected);
  }
  EXPECT_EQ(Form->AlignedRemainder(), Rect(40, 50, 340, 275));
  // Growing the form gives the extra room to the client child.
  Form->SetBounds(20, 20, 500, 300);
  EXPECT_EQ(made[6]->BoundsRect(), Bounds(40, 50, 400, 225));
  EXPECT_EQ(made[5]->BoundsRect(), Bounds(440, 50, 60, 225));
}

TEST_F(TreeFixture, HiddenChildrenTakeNoRoomAndConstraintsHold) {
  auto* top = Add(Form, Bounds(0, 0, 10, 40));
  top->SetAlign(alTop);
  auto* client = Add(Form, Bounds(0, 0, 10, 10));
  client->SetAlign(alClient);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 400, 300));
  top->Hide();
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 400, 300));
  top->Show();
  client->Constraints()->SetMaxHeight(100);
  Form->Realign();
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 400, 140));
  top->Constraints()->SetMinHeight(60);
  EXPECT_EQ(top->Height(), 60);
}

TEST_F(TreeFixture, AnchorsKeepDistancesWhenTheParentResizes) {
  struct Case {
    TAnchors anchors;
    TRect afterGrow;  // the form grows by 100 x 50
  };
  const Case cases[] = {
      {{akLeft, akTop}, Bounds(100, 100, 50, 20)},
      {{akRight, akTop}, Bounds(200, 100, 50, 20)},
      {{akLeft, akRight, akTop}, Bounds(100, 100, 150, 20)},
      {{akLeft, akTop, akBottom}, Bounds(100, 100, 50, 70)},
      {{akRight, akBottom}, Bounds(200, 150, 50, 20)},
      {{akTop}, Bounds(131, 100, 50, 20)},  // the centre keeps its proportion: 125 * 500 / 400 - 25
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(SetToString(EnumInfo<TAnchorKind>(), c.anchors.Bits()));
    Form->SetBounds(20, 20, 400, 300);
    auto* ctl = Add(Form, Bounds(100, 100, 50, 20));
    ctl->SetAnchors(c.anchors);
    Form->SetBounds(20, 20, 500, 350);
    EXPECT_EQ(ctl->BoundsRect(), c.afterGrow);
    Form->SetBounds(20, 20, 400, 300);
    EXPECT_EQ(ctl->BoundsRect(), Bounds(100, 100, 50, 20)) << "no drift when the parent goes back";
    delete ctl;
  }
}

// ---------------------------------------------------------------- change messages

TEST_F(TreeFixture, PropertyChangesSendTheirMessagesAndReachChildren) {
  std::vector<std::string> log;
  auto* parent = Add(Form, Bounds(0, 0, 200, 200), &log, "P");
  auto* child = Add(parent, Bounds(5, 5, 50, 50), &log, "C");
  auto* own = Add(parent, Bounds(60, 5, 50, 50), &log, "O");
  own->Font()->SetName("Arial");  // its own font from now on
  own->SetColor(clYellow);
  own->SetBiDiMode(bdLeftToRight);  // its own reading order
  log.clear();
  struct Case {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"font", [&] { parent->Font()->SetSize(14); },
       {"P:CM_FONTCHANGED", "C:CM_PARENTFONTCHANGED", "C:CM_FONTCHANGED", "O:CM_PARENTFONTCHANGED"}},
      {"colour", [&] { parent->SetColor(clRed); },
       {"P:CM_COLORCHANGED", "C:CM_PARENTCOLORCHANGED", "C:CM_COLORCHANGED", "O:CM_PARENTCOLORCHANGED"}},
      {"same colour", [&] { parent->SetColor(clRed); }, {}},
      {"enabled", [&] { child->SetEnabled(false); }, {"C:CM_ENABLEDCHANGED"}},
      {"text", [&] { child->SetText("编号"); }, {"C:CM_TEXTCHANGED"}},
      {"same text", [&] { child->SetText("编号"); }, {}},
      {"cursor", [&] { child->SetCursor(crHandPoint); }, {"C:CM_CURSORCHANGED"}},
      {"visible", [&] { child->SetVisible(false); }, {"C:CM_VISIBLECHANGED"}},
      {"reading order", [&] { parent->SetBiDiMode(bdRightToLeft); },
       {"P:CM_BIDIMODECHANGED", "C:CM_PARENTBIDIMODECHANGED", "C:CM_BIDIMODECHANGED", "O:CM_PARENTBIDIMODECHANGED"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    log.clear();
    c.change();
    EXPECT_EQ(log, c.expected);
  }
  EXPECT_EQ(child->Font()->Size(), 14);
  EXPECT_TRUE(child->ParentFont());
  EXPECT_EQ(child->Color(), clRed);
  EXPECT_TRUE(child->ParentColor());
  EXPECT_EQ(own->Font()->Name(), "Arial");
  EXPECT_NE(own->Font()->Size(), 14);
  EXPECT_EQ(own->Color(), clYellow);
  EXPECT_FALSE(own->ParentColor());
  EXPECT_EQ(child->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(child->ParentBiDiMode());
  EXPECT_EQ(own->BiDiMode(), bdLeftToRight);
  EXPECT_FALSE(own->ParentBiDiMode());
  own->SetParentBiDiMode(true);
  EXPECT_EQ(own->BiDiMode(), bdRightToLeft) << "following the parent again takes its order";
}

// ---------------------------------------------------------------- focus

TEST_F(TreeFixture, FocusMovesSendExitUpTheOldChainAndEnterDownTheNew) {
  std::vector<std::string> log;
  auto* p1 = Add(Form, Bounds(0, 0, 190, 100), &log, "P1");
  auto* e1 = Add(p1, Bounds(5, 5, 50, 20), &log, "E1");
  auto* p2 = Add(Form, Bounds(200, 0, 190, 100), &log, "P2");
  auto* inner = Add(p2, Bounds(5, 5, 150, 80), &log, "I");
  auto* e2 = Add(inner, Bounds(5, 5, 50, 20), &log, "E2");
  for (TWinControl* c : std::initializer_list<TWinControl*>{e1, e2}) c->SetTabStop(true);
  Form->Show();
  e1->SetFocus();
  log.clear();
  e2->SetFocus();
  std::vector<std::string> expected = {"E1:WM_KILLFOCUS", "E2:WM_SETFOCUS", "E1:CM_EXIT", "P1:CM_EXIT",
                                       "P2:CM_ENTER",     "I:CM_ENTER",     "E2:CM_ENTER"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(e2->Focused());
  EXPECT_EQ(Form->ActiveControl(), e2);
  EXPECT_EQ(Screen->ActiveControl(), e2);
  // Within the same parent only the two controls change.
  auto* e3 = Add(inner, Bounds(60, 5, 50, 20), &log, "E3");
  e3->SetTabStop(true);
  log.clear();
  e3->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"E2:WM_KILLFOCUS", "E3:WM_SETFOCUS", "E2:CM_EXIT", "E3:CM_ENTER"}));
}

TEST_F(TreeFixture, AFailingExitHandlerIsShownAndTheFocusComesBack) {
  TBoxRecorder boxes;
  auto* a = Add(Form, Bounds(0, 0, 50, 20));
  auto* b = Add(Form, Bounds(0, 30, 50, 20));
  a->SetTabStop(true);
  b->SetTabStop(true);
  int exits = 0;
  a->OnExit = TNotifyEvent::Lambda([&](TObject*) {
    if (++exits == 1) throw Exception("Invalid input value");
  });
  Form->Show();
  a->SetFocus();
  b->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Invalid input value.");
  EXPECT_TRUE(a->Focused()) << "the refocus was posted and handled";
}

TEST_F(TreeFixture, TabOrderDecidesTheNextControl) {
  std::vector<TRecorder*> c;
  for (int i = 0; i < 4; ++i) {
    c.push_back(Add(Form, Bounds(0, i * 30, 50, 20)));
    c.back()->SetTabStop(true);
  }
  c[3]->SetTabOrder(0);  // order now: 3, 0, 1, 2
  c[1]->SetTabStop(false);
  c[2]->SetEnabled(false);
  struct Case {
    int from;
    bool forward;
    int expected;
  };
  const Case cases[] = {{3, true, 0}, {0, true, 3}, {0, false, 3}, {3, false, 0}};
  Form->Show();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.from);
    EXPECT_EQ(Form->FindNextControl(c[k.from], k.forward, true, false), c[k.expected]);
  }
  EXPECT_EQ(c[3]->TabOrder(), 0);
  EXPECT_EQ(c[0]->TabOrder(), 1);
  c[0]->SetFocus();
  Form->SelectNext(c[0], true, true);
  EXPECT_TRUE(c[3]->Focused());
}

TEST_F(TreeFixture, FocusingAHiddenOrDisabledControlRaises) {
  auto* a = Add(Form, Bounds(0, 0, 50, 20));
  Form->Show();
  a->SetEnabled(false);
  try {
    a->SetFocus();
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
  }
}

// ---------------------------------------------------------------- capture

TEST_F(TreeFixture, CaptureOutlivesTheReleaseAndIsCancelledWhenTakenAway) {
  std::vector<std::string> log;
  auto* holder = Add(Form, Bounds(0, 0, 100, 100), &log, "H");
  auto* other = Add(Form, Bounds(200, 0, 100, 100), &log, "O");
  std::vector<TPoint> moves;
  holder->OnMouseMove = TMouseMoveEvent::Lambda([&](TObject*, TShiftState, int x, int y) { moves.push_back({x, y}); });
  holder->OnMouseUp = TMouseEvent::Lambda([&](TObject* s, TMouseButton, TShiftState, int, int) {
    static_cast<TControl*>(s)->SetMouseCapture(true);  // keeps it after the button came up
  });
  Form->Show();
  Click(holder, {10, 10});
  EXPECT_EQ(GetCapture(), holder->Handle());
  // A move over another control still goes to the holder, in its coordinates.
  Move(other, {5, 5});
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), (TPoint{205, 5}));
  log.clear();
  gui_glue::CancelCapture();  // what a modal loop or a lost activation does
  EXPECT_EQ(log, std::vector<std::string>{"H:WM_CANCELMODE"});
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(TreeFixture, CaptureMouseControlsHoldTheMouseWhileTheButtonIsDown) {
  auto* a = Add(Form, Bounds(0, 0, 100, 100));
  auto* b = Add(Form, Bounds(200, 0, 100, 100));
  int bMoves = 0;
  b->OnMouseMove = TMouseMoveEvent::Lambda([&](TObject*, TShiftState, int, int) { ++bMoves; });
  Form->Show();
  Press(a, {5, 5});
  EXPECT_EQ(GetCaptureControl(), a);
  SendMouse(b, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(bMoves, 0);
  Release(a, {5, 5});
  EXPECT_EQ(GetCapture(), 0u);
  Move(b, {6, 6});
  EXPECT_EQ(bMoves, 1);
}

// ---------------------------------------------------------------- painting

namespace {

// A windowless control that fills itself with one colour.
class TSwatch : public TGraphicControl {
public:
  TSwatch(TComponent* owner, std::vector<std::string>* log, const char* name)
      : TGraphicControl(owner), Log(log), Tag(name) {}
  TColor Fill = clRed;
  std::vector<std::string>* Log;
  std::string Tag;
  std::vector<TPoint> Downs;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    Downs.push_back({x, y});
    TGraphicControl::MouseDown(b, s, x, y);
  }
};

// A custom control with a sunken client edge: a 2-pixel frame outside its client area.
class TFramed : public TCustomControl {
public:
  TFramed(TComponent* owner, std::vector<std::string>*, const char*) : TCustomControl(owner) { SetColor(clWhite); }

protected:
  void CreateParams(TCreateParams& P) override {
    TCustomControl::CreateParams(P);
    P.ExStyle |= WS_EX_CLIENTEDGE;
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clLime);
    Canvas()->FillRect(Rect(0, 0, 10, 10));
  }
};

QColor PixelAt(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }
QImage Grab(TWinControl* c) { return WidgetOf(c)->grab().toImage(); }

}  // namespace

TEST_F(TreeFixture, WindowlessChildrenPaintOnTheParentInZOrder) {
  Form->SetColor(clWhite);
  auto* red = Add<TSwatch>(Form, Bounds(10, 10, 40, 40));
  auto* blue = Add<TSwatch>(Form, Bounds(30, 30, 40, 40));
  blue->Fill = clBlue;
  Form->Show();
  QImage img = Grab(Form);
  EXPECT_EQ(PixelAt(img, 15, 15), QColor(255, 0, 0));
  EXPECT_EQ(PixelAt(img, 40, 40), QColor(0, 0, 255)) << "the later child is on top";
  EXPECT_EQ(PixelAt(img, 100, 100), QColor(255, 255, 255));
  red->BringToFront();
  img = Grab(Form);
  EXPECT_EQ(PixelAt(img, 40, 40), QColor(255, 0, 0));
  // A click on the overlap reaches the top-most child, in its own coordinates.
  Click(red, {35, 35});
  ASSERT_EQ(red->Downs.size(), 1u);
  EXPECT_EQ(red->Downs[0], (TPoint{35, 35}));
  EXPECT_TRUE(blue->Downs.empty());
}

TEST_F(TreeFixture, NonClientFrameComesFromTheStylesAndIsPaintedFirst) {
  Form->SetColor(clWhite);
  auto* f = Add<TFramed>(Form, Bounds(50, 50, 100, 60));
  Form->Show();
  EXPECT_EQ(f->NonClientMargins(), Rect(2, 2, 2, 2));
  EXPECT_EQ(f->ClientRect(), Rect(0, 0, 96, 56));
  EXPECT_EQ(f->ClientToScreen({0, 0}), Form->ClientToScreen({52, 52}));
  QImage img = Grab(Form);
  // Sunken edge: shadow, then dark shadow at the top-left; highlight at the bottom-right.
  EXPECT_EQ(PixelAt(img, 50, 50), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(PixelAt(img, 51, 51), QColor(0x40, 0x40, 0x40));
  EXPECT_EQ(PixelAt(img, 149, 109), QColor(255, 255, 255));
  EXPECT_EQ(PixelAt(img, 52, 52), QColor(0, 255, 0)) << "client painting starts inside the frame";
  EXPECT_EQ(PixelAt(img, 70, 70), QColor(255, 255, 255));
  f->SetBorderWidth(3);
  EXPECT_EQ(f->ClientRect(), Rect(0, 0, 90, 50));
}

TEST_F(TreeFixture, PaintToDrawsTheControlAndItsChildrenIntoABitmap) {
  Form->SetColor(clWhite);
  auto* panel = Add(Form, Bounds(10, 10, 100, 80));
  panel->SetColor(clYellow);
  Add<TSwatch>(panel, Bounds(20, 20, 10, 10));
  TBitmap bmp;
  bmp.SetSize(120, 100);
  bmp.Canvas()->Brush()->SetColor(clBlack);
  bmp.Canvas()->FillRect(Rect(0, 0, 120, 100));
  panel->PaintTo(bmp.Canvas(), 5, 5);
  EXPECT_EQ(bmp.Canvas()->Pixels(6, 6), clYellow);
  EXPECT_EQ(bmp.Canvas()->Pixels(27, 27), clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(110, 95), clBlack) << "nothing outside the control";
}

TEST_F(TreeFixture, AFailingPaintIsReportedOnceNotInALoop) {
  TBoxRecorder boxes;
  class TBroken : public TCustomControl {
  public:
    TBroken(TComponent* o, std::vector<std::string>*, const char*) : TCustomControl(o) {}
    int Paints = 0;

  protected:
    void Paint() override {
      ++Paints;
      throw Exception("paint failed");
    }
  };
  auto* b = Add<TBroken>(Form, Bounds(0, 0, 50, 50));
  Form->Show();
  Grab(Form);
  Grab(Form);
  Application->ProcessMessages();
  EXPECT_EQ(b->Paints, 1);
  EXPECT_EQ(boxes.Calls.size(), 1u);
  b->Invalidate();
  Grab(Form);
  EXPECT_EQ(b->Paints, 2) << "an invalidation tries again";
}

TEST_F(TreeFixture, GrabToPngWritesTheControlsPicture) {
  Form->SetColor(clWhite);
  auto* s = Add<TSwatch>(Form, Bounds(10, 10, 30, 20));
  s->Fill = clGreen;
  Form->Show();
  String dir = QDir::tempPath().toStdString();
  String formFile = dir + "/kelm_grab_form.png", childFile = dir + "/kelm_grab_child.png";
  ASSERT_TRUE(GrabToPng(Form, formFile));
  ASSERT_TRUE(GrabToPng(s, childFile));
  QImage f(QString::fromStdString(formFile)), c(QString::fromStdString(childFile));
  EXPECT_EQ(f.size(), QSize(400, 300));
  EXPECT_EQ(c.size(), QSize(30, 20));
  EXPECT_EQ(QColor(c.pixel(5, 5)), QColor(0, 0x80, 0));
  EXPECT_FALSE(GrabToPng(Form, "/nonexistent-dir/x.png"));
}

// ---------------------------------------------------------------- cursors

TEST_F(TreeFixture, ScreenCursorOverridesEveryControlsCursor) {
  auto* a = Add(Form, Bounds(0, 0, 100, 100));
  a->SetCursor(crHandPoint);
  Form->Show();
  Move(a, {5, 5});
  EXPECT_EQ(WidgetOf(a)->cursor().shape(), Qt::PointingHandCursor);
  Screen->SetCursor(crHourGlass);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(CursorToString(crHandPoint), "crHandPoint");
  EXPECT_EQ(StringToCursor("crIBeam"), crIBeam);
  EXPECT_EQ(StringToCursor("17"), 17);
}

// ---------------------------------------------------------------- popups

TEST(Popups, PlacedBelowOrAboveWithinTheWorkArea) {
  TRect work = Screen->MonitorFromPoint({10, 10})->WorkareaRect();
  struct Case {
    const char* what;
    TRect anchor;
    TSize size;
    bool right;
    TPoint expected;
  };
  const Case cases[] = {
      {"below, left-aligned", Bounds(100, 100, 80, 20), {150, 100}, false, {100, 120}},
      {"right-aligned", Bounds(300, 100, 80, 20), {150, 100}, true, {230, 120}},
      {"no room below: above", Bounds(100, work.Bottom - 30, 80, 20), {150, 100}, false, {100, work.Bottom - 130}},
      {"pushed left at the right edge", Bounds(work.Right - 50, 100, 40, 20), {150, 100}, false,
       {work.Right - 150, 120}},
      {"pushed right at the left edge", Bounds(work.Left + 10, 100, 40, 20), {150, 100}, true, {work.Left, 120}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PlacePopup(c.anchor, c.size, c.right), c.expected);
  }
}

TEST(Popups, ShownWithoutFocusAndClosedByAPressOutside) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  auto* edit = new TRecorder(&form, nullptr, "");
  edit->SetBounds(10, 10, 100, 20);
  edit->SetParent(&form);
  edit->SetTabStop(true);
  auto* other = new TRecorder(&form, nullptr, "");
  other->SetBounds(10, 100, 100, 20);
  other->SetParent(&form);
  form.Show();
  edit->SetFocus();
  TRecorder popup(nullptr, nullptr, "");
  popup.SetBounds(0, 0, 120, 80);
  int closed = 0;
  ShowPopupBelow(&popup, edit, edit->ClientRect(), false, [&] {
    ++closed;
    HidePopup(&popup);
  });
  EXPECT_TRUE(popup.Visible());
  EXPECT_EQ(popup.ClientToScreen({0, 0}), edit->ClientToScreen({0, 20}));
  EXPECT_TRUE(edit->Focused()) << "the popup does not take the focus";
  EXPECT_TRUE(WidgetOf(&popup)->testAttribute(Qt::WA_ShowWithoutActivating));
  // A press inside keeps it; one outside closes it and still reaches its target.
  Click(&popup, {5, 5});
  EXPECT_EQ(closed, 0);
  int otherDowns = 0;
  other->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++otherDowns; });
  Click(other, {5, 5});
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(otherDowns, 1);
  EXPECT_FALSE(popup.Visible());
  EXPECT_TRUE(OpenPopups().empty());
}

TEST(Popups, HidingTheOwnersFormClosesItsPopups) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  auto* owner = new TRecorder(&form, nullptr, "");
  owner->SetBounds(10, 10, 100, 20);
  owner->SetParent(&form);
  form.Show();
  TRecorder popup(nullptr, nullptr, "");
  popup.SetBounds(0, 0, 50, 50);
  ShowPopupAt(&popup, 30, 30, owner);
  ASSERT_EQ(OpenPopups().size(), 1u);
  form.Hide();
  EXPECT_TRUE(OpenPopups().empty());
  EXPECT_FALSE(popup.Visible());
}

TEST(Popups, WindowRegionsMaskTheWidget) {
  TRecorder popup(nullptr, nullptr, "");
  popup.SetBounds(0, 0, 40, 40);
  popup.HandleNeeded();
  HRGN r = CreateEllipticRgn(0, 0, 40, 40);
  SetWindowRgn(popup.Handle(), r, true);
  QRegion mask = WidgetOf(&popup)->mask();
  EXPECT_TRUE(mask.contains(QPoint(20, 20)));
  EXPECT_FALSE(mask.contains(QPoint(1, 1)));
  SetWindowRgn(popup.Handle(), nullptr, true);
  EXPECT_TRUE(WidgetOf(&popup)->mask().isEmpty());
}

// ---------------------------------------------------------------- hints

TEST_F(TreeFixture, HintShowsAfterThePauseUnlessTheControlDeclines) {
  auto* a = Add(Form, Bounds(0, 0, 100, 100));
  a->SetHint("保存|把合同保存到数据库");
  a->SetShowHint(true);
  int shows = 0;
  String shown;
  class THinted : public TRecorder {
  public:
    using TRecorder::TRecorder;
    bool Decline = false;
    int* Shows = nullptr;
    void Dispatch(TMessage& M) override {
      if (M.Msg == CM_HINTSHOW) {
        ++*Shows;
        if (Decline) M.Result = 1;
        return;
      }
      TRecorder::Dispatch(M);
    }
  };
  auto* h = Add<THinted>(Form, Bounds(150, 0, 100, 100));
  h->Shows = &shows;
  h->SetHint("提示");
  h->SetShowHint(true);
  int hints = 0;
  Application->OnHint = TNotifyEvent::Lambda([&](TObject*) {
    ++hints;
    shown = Application->Hint();
  });
  Application->SetHintPause(10);
  Form->Show();
  Move(a, {5, 5});
  EXPECT_EQ(shown, "把合同保存到数据库") << "the long part goes to Application.Hint";
  ASSERT_TRUE(WaitFor([] { return Application->HintWindow() && Application->HintWindow()->Visible(); }));
  EXPECT_EQ(Application->HintWindow()->Caption(), "保存");
  Move(h, {5, 5});
  EXPECT_FALSE(Application->HintWindow()->Visible());
  ASSERT_TRUE(WaitFor([&] { return shows == 1; }));
  h->Decline = true;
  Move(a, {6, 6});
  Move(h, {6, 6});
  ASSERT_TRUE(WaitFor([&] { return shows == 2; }));
  Application->ProcessMessages();
  EXPECT_FALSE(Application->HintWindow()->Visible()) << "a non-zero answer to CM_HINTSHOW means no hint";
  Application->OnHint = nullptr;
  Application->SetHintPause(500);
  EXPECT_GE(hints, 2);
}

namespace {
// A hint window of its own kind, as a grid asks for for its tool tips.
class TOwnHintWindow : public THintWindow {
  KELM_CLASS(TOwnHintWindow, THintWindow)
public:
  explicit TOwnHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}
};
KELM_PUBLISH(TOwnHintWindow) {}

// Gives a hint per 50-pixel cell without a Hint of its own, in the window class it names,
// after the pause it names.
class TCellHinted : public TCustomControl {
public:
  explicit TCellHinted(TComponent* AOwner) : TCustomControl(AOwner) {}
  std::vector<TRect> Asked;
  int Pause = 10;
  void Dispatch(TMessage& M) override {
    if (M.Msg == CM_HINTSHOWPAUSE) {
      *reinterpret_cast<int*>(M.LParam) = Pause;
      return;
    }
    if (M.Msg == CM_HINTSHOW) {
      auto* info = reinterpret_cast<THintInfo*>(M.LParam);
      int cell = info->CursorPos.X / 50;
      info->CursorRect = Rect(cell * 50, 0, cell * 50 + 50, Height());
      info->HintStr = cell == 1 ? String() : "格" + IntToStr(cell);
      info->HintWindowClass = TOwnHintWindow::StaticClass();
      Asked.push_back(info->CursorRect);
      return;
    }
    TCustomControl::Dispatch(M);
  }
};
}  // namespace

// A control without a Hint of its own answers CM_HINTSHOW per cursor rectangle: moving within
// it keeps the answer, leaving it asks again (an empty answer included); the hint window is of
// the class the control names, and CM_HINTSHOWPAUSE sets the pause.
TEST_F(TreeFixture, HintsFollowTheCursorRectangleInTheWindowClassTheControlNames) {
  auto* c = new TCellHinted(Form);
  c->SetParent(Form);
  c->SetBounds(0, 0, 200, 40);
  c->SetShowHint(true);
  c->Pause = 1;
  Application->SetHintPause(5000);  // the control's own pause stands
  Form->Show();
  Move(c, {10, 10});
  ASSERT_TRUE(WaitFor([] { return Application->HintWindow() && Application->HintWindow()->Visible(); }, 2000));
  EXPECT_EQ(Application->HintWindow()->Caption(), "格0");
  EXPECT_EQ(Application->HintWindow()->ClassType(), TOwnHintWindow::StaticClass());
  ASSERT_EQ(c->Asked.size(), 1u);
  Move(c, {30, 20});
  Application->ProcessMessages();
  EXPECT_EQ(c->Asked.size(), 1u) << "still in the cursor rectangle";
  Move(c, {60, 20});  // the empty cell
  ASSERT_TRUE(WaitFor([&] { return c->Asked.size() == 2; }, 2000));
  EXPECT_FALSE(Application->HintWindow()->Visible());
  Move(c, {70, 20});
  Application->ProcessMessages();
  EXPECT_EQ(c->Asked.size(), 2u) << "an empty answer also stands for its rectangle";
  Move(c, {120, 20});
  ASSERT_TRUE(WaitFor([] { return Application->HintWindow()->Visible(); }, 2000));
  EXPECT_EQ(Application->HintWindow()->Caption(), "格2");
  Application->CancelHint();
  Application->SetHintPause(500);
}

// ---------------------------------------------------------------- dragging

TEST_F(TreeFixture, DragAndDropWithTheControlAsSource) {
  auto* source = Add(Form, Bounds(0, 0, 100, 100));
  auto* target = Add(Form, Bounds(200, 0, 100, 100));
  std::vector<std::string> seen;
  TObject* dropped = nullptr;
  target->OnDragOver = TDragOverEvent::Lambda([&](TObject*, TObject* src, int x, int y, TDragState st, bool& accept) {
    seen.push_back(std::to_string(st) + "@" + std::to_string(x) + "," + std::to_string(y));
    accept = src == source;
  });
  target->OnDragDrop = TDragDropEvent::Lambda([&](TObject*, TObject* src, int, int) { dropped = src; });
  TObject* endTarget = reinterpret_cast<TObject*>(1);
  source->OnEndDrag = TEndDragEvent::Lambda([&](TObject*, TObject* t, int, int) { endTarget = t; });
  source->SetDragMode(dmAutomatic);
  Form->Show();
  Press(source, {10, 10});
  Move(source, {12, 11}, Qt::LeftButton);  // within the threshold: nothing yet
  EXPECT_FALSE(source->Dragging());
  SendMouse(target, QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::LeftButton);
  SendMouse(target, QEvent::MouseMove, {30, 25}, Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(source->Dragging());
  SendMouse(target, QEvent::MouseButtonRelease, {30, 25}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(seen, (std::vector<std::string>{"0@20,20", "2@30,25"}));
  EXPECT_EQ(dropped, source);
  EXPECT_EQ(endTarget, target);
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(GetCapture(), 0u);
}

// ---------------------------------------------------------------- actions

namespace {
class TTestAction : public TBasicAction {
  KELM_CLASS(TTestAction, TBasicAction)
public:
  using TBasicAction::TBasicAction;
  String Caption() const { return FCaption; }
  void SetCaption(const String& v) {
    for (auto* l : std::vector<TBasicActionLink*>(Clients())) l->SetCaption(v);
    FCaption = v;
  }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) {
    for (auto* l : std::vector<TBasicActionLink*>(Clients())) l->SetEnabled(v);
    FEnabled = v;
  }

private:
  String FCaption;
  bool FEnabled = true;
};
}  // namespace

KELM_PUBLISH(TTestAction) {
  b.Prop("Caption", &TTestAction::Caption, &TTestAction::SetCaption);
  b.Prop("Enabled", &TTestAction::Enabled, &TTestAction::SetEnabled).Default(true);
}

TEST_F(TreeFixture, ActionsDriveTheirControlsUntilTheControlShowsItsOwnCaption) {
  TTestAction act(nullptr);
  act.SetCaption("添加");
  int runs = 0;
  act.OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  int updates = 0;
  act.OnUpdate = TNotifyEvent::Lambda([&](TObject*) { ++updates; });
  auto* btn = Add(Form, Bounds(0, 0, 80, 25));
  btn->SetAction(&act);
  EXPECT_EQ(btn->Caption(), "添加");
  act.SetEnabled(false);
  EXPECT_FALSE(btn->Enabled());
  act.SetEnabled(true);
  act.SetCaption("新增");
  EXPECT_EQ(btn->Caption(), "新增");
  btn->SetCaption("自定义");
  act.SetCaption("再改");
  EXPECT_EQ(btn->Caption(), "自定义") << "a caption of the control's own stays";
  Form->Show();
  Click(btn, {5, 5});
  EXPECT_EQ(runs, 1);
  Form->UpdateActions();
  EXPECT_EQ(updates, 1);
}

// ---------------------------------------------------------------- the window

TEST_F(TreeFixture, DrawingOutsidePaintShowsUntilTheNextPaint) {
  Form->SetColor(clWhite);
  auto* c = Add(Form, Bounds(10, 10, 50, 50));
  c->SetColor(clWhite);
  Form->Show();
  c->Repaint();
  c->Canvas()->Brush()->SetColor(clRed);
  c->Canvas()->FillRect(Rect(0, 0, 10, 10));
  QImage img = Grab(Form);
  EXPECT_EQ(PixelAt(img, 12, 12), QColor(255, 0, 0));
  EXPECT_EQ(PixelAt(img, 30, 30), QColor(255, 255, 255));
  c->Invalidate();
  img = Grab(Form);
  EXPECT_EQ(PixelAt(img, 12, 12), QColor(255, 255, 255)) << "painting draws the control again";
  HDC dc = GetDC(c->Handle());
  ASSERT_NE(dc, nullptr);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  TRect r = Rect(20, 20, 30, 30);
  FillRect(dc, r, blue);
  DeleteObject(blue);
  EXPECT_EQ(ReleaseDC(c->Handle(), dc), 1);
  img = Grab(Form);
  EXPECT_EQ(PixelAt(img, 35, 35), QColor(0, 0, 255));
}

// A dotted line drawn in XOR mode on a window's device context, outside painting, inverts the
// pixels under it; drawing it again on a new context gives the window its pixels back.
TEST_F(TreeFixture, XorLinesDrawnTwiceThroughGetDCRestoreThePixels) {
  Form->SetColor(clWhite);
  auto* c = Add(Form, Bounds(10, 10, 80, 60));
  c->SetColor(clYellow);
  Form->Show();
  c->Repaint();
  QImage before = Grab(Form);
  auto drawLine = [&] {
    HDC dc = GetDC(c->Handle());
    ASSERT_NE(dc, nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Pen()->SetStyle(psDot);
    canvas.Pen()->SetWidth(5);
    canvas.Pen()->SetMode(pmXor);
    canvas.Pen()->SetColor(clWhite);
    canvas.MoveTo(0, 30);
    canvas.LineTo(80, 30);
    canvas.SetHandle(nullptr);
    ReleaseDC(c->Handle(), dc);
  };
  drawLine();
  QImage marked = Grab(Form);
  EXPECT_EQ(PixelAt(marked, 12, 40), QColor(0, 0, 255)) << "yellow xor white";
  EXPECT_EQ(PixelAt(marked, 12, 30), QColor(255, 255, 0)) << "above the band";
  drawLine();
  QImage after = Grab(Form);
  for (int y = 20; y < 50; ++y)
    for (int x = 10; x < 90; ++x) ASSERT_EQ(PixelAt(after, x, y), PixelAt(before, x, y)) << x << "," << y;
}

namespace {
class TRecreated : public TCustomControl {
public:
  TRecreated(TComponent* o, std::vector<std::string>*, const char*) : TCustomControl(o) {}
  int Creates = 0;
  bool Bordered = false;

protected:
  void CreateParams(TCreateParams& P) override {
    TCustomControl::CreateParams(P);
    if (Bordered) P.Style |= WS_BORDER;
  }
  void CreateWnd() override {
    TCustomControl::CreateWnd();
    ++Creates;
  }
};
}  // namespace

TEST_F(TreeFixture, RecreateWndTakesNewStylesAndRunsCreateWndAgain) {
  auto* c = Add<TRecreated>(Form, Bounds(0, 0, 40, 40));
  EXPECT_EQ(c->Creates, 0) << "the window is made when it is first needed";
  HWND h = c->Handle();
  EXPECT_EQ(c->Creates, 1);
  EXPECT_EQ(c->ClientRect(), Rect(0, 0, 40, 40));
  c->Bordered = true;
  c->RecreateWnd();
  EXPECT_EQ(c->Creates, 2);
  EXPECT_EQ(c->Handle(), h) << "the handle stays valid across the re-creation";
  EXPECT_EQ(c->ClientRect(), Rect(0, 0, 38, 38));
  EXPECT_NE(GetWindowLong(h, GWL_STYLE) & static_cast<long>(WS_BORDER), 0);
}

TEST_F(TreeFixture, ScrollByMovesEveryChild) {
  auto* a = Add(Form, Bounds(10, 10, 20, 20));
  auto* g = Add<TSwatch>(Form, Bounds(50, 10, 20, 20));
  Form->ScrollBy(-5, 7);
  EXPECT_EQ(a->BoundsRect(), Bounds(5, 17, 20, 20));
  EXPECT_EQ(g->BoundsRect(), Bounds(45, 17, 20, 20));
  EXPECT_EQ(a->ClientToParent({1, 1}), (TPoint{6, 18}));
  EXPECT_EQ(a->ParentToClient({6, 18}), (TPoint{1, 1}));
}

TEST_F(TreeFixture, AWindowAnsweringCaptionIsMovedByTheMouse) {
  class TGrip : public TCustomControl {
  public:
    TGrip(TComponent* o, std::vector<std::string>*, const char*) : TCustomControl(o) {}
    int Downs = 0;
    void Dispatch(TMessage& M) override {
      if (M.Msg == WM_NCHITTEST) {
        M.Result = HTCAPTION;
        return;
      }
      if (M.Msg == WM_LBUTTONDOWN) ++Downs;
      TCustomControl::Dispatch(M);
    }
  };
  auto* grip = Add<TGrip>(Form, Bounds(0, 0, 400, 20));
  Form->Show();
  TPoint start = grip->ClientToScreen({5, 5});
  Press(grip, {5, 5});
  SendMouse(grip, QEvent::MouseMove, {35, 25}, Qt::NoButton, Qt::LeftButton);
  SendMouse(grip, QEvent::MouseButtonRelease, {35, 25}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ((TPoint{Form->Left(), Form->Top()}), (TPoint{20 + 30, 20 + 20}));
  EXPECT_EQ(grip->ClientToScreen({5, 5}), (TPoint{start.X + 30, start.Y + 20}));
  EXPECT_EQ(grip->Downs, 0) << "a caption press is not a client press";
}

// ---------------------------------------------------------------- published properties

// A class that declares its own default for a base property keeps the property where the
// group put it (layouts write in that order) and takes the new default.
TEST(PublishedProperties, AClassDefaultReplacesTheBaseOneInPlace) {
  struct Case {
    TClass Class;
    const char* Name;
    const char* Before;  // the property published just before it
    Int64 Default;
  } cases[] = {
      {TButton::StaticClass(), "TabStop", "TabOrder", 1},
      {TRadioButton::StaticClass(), "TabStop", "TabOrder", 0},
      {TPanel::StaticClass(), "ParentColor", "Color", 0},
      {TLabel::StaticClass(), "ParentColor", "Color", 1},
      {TListBox::StaticClass(), "ParentColor", "PopupMenu", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Class->Name() + "." + c.Name);
    const TPropInfo* p = c.Class->FindProperty(c.Name);
    ASSERT_NE(p, nullptr);
    ASSERT_GT(p->Index, 0);
    EXPECT_EQ(c.Class->Properties()[p->Index - 1]->Name, c.Before);
    EXPECT_TRUE(p->HasDefault);
    EXPECT_EQ(p->OrdDefault, c.Default);
    // Published once: the replacement leaves no second entry behind.
    int count = 0;
    for (const TPropInfo* q : c.Class->Properties()) count += SameText(q->Name, c.Name);
    EXPECT_EQ(count, 1);
  }
}

// Colour, font and hint taken from the parent are not the control's own and are not stored.
TEST_F(TreeFixture, ValuesTakenFromTheParentAreNotStored) {
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  const TPropInfo* font = TEdit::StaticClass()->FindProperty("Font");
  const TPropInfo* hint = TEdit::StaticClass()->FindProperty("ShowHint");
  const TPropInfo* ctl3d = TEdit::StaticClass()->FindProperty("Ctl3D");
  ASSERT_TRUE(font && hint && ctl3d);
  EXPECT_FALSE(font->IsStored(edit));
  EXPECT_FALSE(hint->IsStored(edit));
  EXPECT_FALSE(ctl3d->IsStored(edit));
  edit->Font()->SetSize(14);
  edit->SetShowHint(true);
  edit->SetCtl3D(false);
  EXPECT_TRUE(font->IsStored(edit));
  EXPECT_TRUE(hint->IsStored(edit));
  EXPECT_TRUE(ctl3d->IsStored(edit));

  auto* panel = new TPanel(Form);
  panel->SetParent(Form);
  const TPropInfo* color = TPanel::StaticClass()->FindProperty("Color");
  panel->SetParentColor(true);
  EXPECT_FALSE(color->IsStored(panel));
  panel->SetColor(clRed);
  EXPECT_FALSE(panel->ParentColor());
  EXPECT_TRUE(color->IsStored(panel));
}
