// The base control driven through a shown form with real mouse and keys: focus on click,
// context menus, dialog codes, the wheel, painting through the painter, and a control freed
// by its own handler.
#include "BaseControlFixture.h"

#include "editors/cxCanvas.h"
#include "gui/Menus.h"
#include "gui/SysColors.h"

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

// A popup menu that records where it was asked to show instead of showing.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  std::vector<TPoint> Shown;
  void Popup(int X, int Y) override { Shown.push_back({X, Y}); }
};

// Any component may be a popup menu when it provides the interface.
class TMenuProvider : public TComponent, public IcxPopupMenuProvider {
public:
  using TComponent::TComponent;
  std::vector<TPoint> Shown;
  int ShortCutAsked = 0;
  void Popup(int X, int Y) override { Shown.push_back({X, Y}); }
  bool IsShortCut(TMessage&) override { return ++ShortCutAsked, false; }
};

struct BaseControl : TBaseControlForm {
  std::vector<std::string> Downs;  // "<button> focused|unfocused [double]"
  void SetUp() override {
    TBaseControlForm::SetUp();
    Ctl->OnMouseDown = TMouseEvent::Lambda([this](TObject*, TMouseButton b, TShiftState s, int, int) {
      Downs.push_back(std::string(b == mbLeft ? "left" : b == mbRight ? "right" : "middle") +
                      (Ctl->Focused() ? " focused" : " unfocused") + (s.Contains(ssDouble) ? " double" : ""));
    });
  }
};

}  // namespace

TEST_F(BaseControl, AClickFocusesBeforeOnMouseDownUnlessTheFocusIsRefused) {
  struct Case {
    const char* name;
    std::function<void(BaseControl&)> setup;
    std::function<void(BaseControl&)> act;
    std::vector<std::string> downs;
    bool focusedAfter;
  };
  auto click = [](BaseControl& f) { Click(f.Ctl, {20, 20}); };
  auto takeFocusBack = [](BaseControl& f) {
    f.Ctl->OnEnter = TNotifyEvent::Lambda([&f](TObject*) { f.Other->SetFocus(); });
  };
  const Case cases[] = {
      {"click", nullptr, click, {"left focused"}, true},
      {"right click", nullptr, [](BaseControl& f) { Click(f.Ctl, {20, 20}, Qt::RightButton); }, {"right focused"}, true},
      {"double click", nullptr,
       [](BaseControl& f) {
         Click(f.Ctl, {20, 20});
         f.Other->SetFocus();
         f.Downs.clear();
         Press(f.Ctl, {20, 20}, Qt::LeftButton, 60);  // the second press of a double click
         Release(f.Ctl, {20, 20});
       },
       {"left unfocused double"}, false},
      {"focus refused", takeFocusBack, click, {}, false},
      {"focus refused, unfocused presses allowed",
       [&](BaseControl& f) {
         takeFocusBack(f);
         f.Ctl->UnfocusedMouseDown = true;
       },
       click, {"left unfocused"}, false},
      {"click focus off", [](BaseControl& f) { f.Ctl->SetClickFocus(false); }, click, {"left unfocused"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Other->SetFocus();
    Downs.clear();
    Ctl->OnEnter = nullptr;
    Ctl->UnfocusedMouseDown = false;
    Ctl->SetClickFocus(true);
    if (c.setup) c.setup(*this);
    c.act(*this);
    EXPECT_EQ(Downs, c.downs);
    EXPECT_EQ(Ctl->Focused(), c.focusedAfter);
    EXPECT_EQ(GetCapture(), 0u) << "no capture is left behind";
  }
}

TEST_F(BaseControl, FocusChangesReachTheHandlerAndOnFocusChanged) {
  int fired = 0;
  Ctl->OnFocusChanged = TNotifyEvent::Lambda([&](TObject* s) { fired += s == Ctl; });
  Ctl->SetFocus();
  Other->SetFocus();
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(Ctl->FocusChanges, 2);
}

TEST_F(BaseControl, AControlFreedByItsOwnMouseDownIsNotTouchedAfterwards) {
  bool freed = false;
  Ctl->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) {
    delete Ctl;
    Ctl = nullptr;
    freed = true;
  });
  Press(Ctl, {20, 20});
  Release(Form, {30, 30});
  Application->ProcessMessages();
  EXPECT_TRUE(freed);
}

TEST_F(BaseControl, ContextMenusShowAtTheClickOrTheClientOriginFromTheKeyboard) {
  auto* menu = new TRecordingMenu(Form);
  auto* provider = new TMenuProvider(Form);
  auto* button = new TButton(Form);
  struct Case {
    const char* name;
    TComponent* popup;
    std::function<void()> act;
    std::vector<TPoint> menuShown, providerShown;
  };
  const TPoint origin = Ctl->ClientToScreen({0, 0});
  const TPoint at = Ctl->ClientToScreen({30, 40});
  auto rightClick = [&] { Click(Ctl, {30, 40}, Qt::RightButton); };
  auto shiftF10 = [&] {
    Ctl->SetFocus();
    TypeKey(Qt::Key_F10, Qt::ShiftModifier);
  };
  const Case cases[] = {
      {"right click, popup menu", menu, rightClick, {at}, {}},
      {"Shift+F10, popup menu", menu, shiftF10, {origin}, {}},
      {"right click, provider", provider, rightClick, {}, {at}},
      {"Shift+F10, provider", provider, shiftF10, {}, {origin}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    menu->Shown.clear();
    provider->Shown.clear();
    Ctl->SetPopupMenu(c.popup);
    ASSERT_EQ(Ctl->PopupMenu(), c.popup);
    c.act();
    EXPECT_EQ(menu->Shown, c.menuShown);
    EXPECT_EQ(provider->Shown, c.providerShown);
  }
  EXPECT_EQ(menu->PopupComponent(), Ctl) << "the menu knows whom it showed for";

  // A component that is neither reads back as nil; a handled OnContextPopup shows nothing;
  // a menu without AutoPopup is not shown by the control.
  Ctl->SetPopupMenu(button);
  EXPECT_EQ(Ctl->PopupMenu(), nullptr);
  Ctl->SetPopupMenu(menu);
  menu->Shown.clear();
  Ctl->OnContextPopup = TContextPopupEvent::Lambda([](TObject*, TPoint, bool& h) { h = true; });
  rightClick();
  EXPECT_TRUE(menu->Shown.empty());
  Ctl->OnContextPopup = nullptr;
  menu->SetAutoPopup(false);
  rightClick();
  EXPECT_TRUE(menu->Shown.empty());

  // The menu freed: the control forgets it.
  delete menu;
  EXPECT_EQ(Ctl->PopupMenu(), nullptr);
}

TEST_F(BaseControl, ShortCutsAreAskedOfEveryPopupMenuUpTheParents) {
  auto* outer = Add<TTestControl>(Rect(220, 10, 340, 110));
  auto* inner = new TTestControl(Form);
  inner->SetParent(outer);
  inner->SetBounds(5, 5, 50, 50);
  auto* provider = new TMenuProvider(Form);
  outer->SetPopupMenu(provider);
  inner->SetFocus();
  TypeKey(Qt::Key_K, Qt::ControlModifier);
  EXPECT_GE(provider->ShortCutAsked, 1) << "the parent's menu was asked about the inner control's key";
}

TEST_F(BaseControl, DialogCodeFollowsTheWantedKeysAndCtrlTakesTabBack) {
  struct Case {
    TcxWantedKeys keys;
    bool ctrl;
    LRESULT code;
  };
  const Case cases[] = {
      {{}, false, 0},
      {{wkArrows}, false, 0x01},
      {{wkTab}, false, 0x02},
      {{wkTab}, true, 0x00},
      {{wkAll}, false, 0x04},
      {{wkChars}, false, 0x80},
      {{wkAll, wkArrows, wkChars, wkTab}, false, 0x87},
      {{wkAll, wkArrows, wkChars, wkTab}, true, 0x85},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.keys.Bits()) + (c.ctrl ? " with Ctrl" : ""));
    Ctl->SetWantedKeys(c.keys);
    SetKeyDownState(VK_CONTROL, c.ctrl);
    EXPECT_EQ(Ctl->Perform(WM_GETDLGCODE), c.code);
  }
  SetKeyDownState(VK_CONTROL, false);

  // Through the keyboard: Tab stays in the control that wants it, and leaves it with Ctrl.
  Ctl->SetWantedKeys({wkTab});
  int tabs = 0;
  Ctl->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& k, TShiftState) { tabs += k == VK_TAB; });
  Ctl->SetFocus();
  TypeKey(Qt::Key_Tab);
  EXPECT_EQ(tabs, 1);
  EXPECT_TRUE(Ctl->Focused());
}

TEST_F(BaseControl, TheWheelScrollsThroughAVisibleVerticalBarElseGoesToTheParent) {
  std::vector<int> formWheel;
  Form->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int d, TPoint, bool& h) {
    formWheel.push_back(d);
    h = true;
  });
  auto wheel = [&](int delta) {
    TPoint s = Ctl->ClientToScreen({20, 20});
    QWheelEvent e(QPointF(20, 20), QPointF(s.X, s.Y), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(Ctl), &e);
  };
  Ctl->SetFocus();
  wheel(-120);
  EXPECT_EQ(formWheel, std::vector<int>{-120}) << "no bar: the parent gets the wheel";
  EXPECT_TRUE(Ctl->Scrolls.empty());

  formWheel.clear();
  Ctl->FillStates = [](TTestControl* c) { c->SetScrollBarState(sbVertical, 0, 100, 1, 10, 0, true, true); };
  Ctl->RefreshScrollBars();
  ASSERT_TRUE(Ctl->VertScrollBarVisible());
  wheel(-120);
  wheel(120);
  EXPECT_TRUE(formWheel.empty());
  using S = std::pair<TScrollBarKind, TScrollCode>;
  EXPECT_EQ(Ctl->Scrolls, (std::vector<S>{{sbVertical, scLineDown}, {sbVertical, scLineDown}, {sbVertical, scLineDown},
                                          {sbVertical, scLineUp}, {sbVertical, scLineUp}, {sbVertical, scLineUp}}));
}

TEST_F(BaseControl, MouseEnterAndLeaveFireOnceEachAndErasingIsLeftToPaint) {
  int enters = 0, leaves = 0;
  Ctl->OnMouseEnter = TNotifyEvent::Lambda([&](TObject*) { ++enters; });
  Ctl->OnMouseLeave = TNotifyEvent::Lambda([&](TObject*) { ++leaves; });
  Ctl->Perform(CM_MOUSEENTER, 0, 0);
  Ctl->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(Ctl->Perform(WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(BaseControl, APainterFrameIsDrawnAndTheContentClippedInsideIt) {
  Ctl->LookAndFeel()->SetKind(lfStandard);
  Ctl->SetFrameStyle(cfsPainter);
  Ctl->FillRed = true;
  const TRect content = Ctl->ContentBounds();
  EXPECT_EQ(content, Rect(2, 2, 198, 98)) << "the standard painter's border is 2 pixels";
  Ctl->Repaint();
  Application->ProcessMessages();
  EXPECT_EQ(Rgb(Pixel(Ctl, 5, 5)), 0xFF0000u);
  EXPECT_NE(Rgb(Pixel(Ctl, 0, 0)), 0xFF0000u) << "the border stays";
  EXPECT_NE(Rgb(Pixel(Ctl, 199, 99)), 0xFF0000u);
}
