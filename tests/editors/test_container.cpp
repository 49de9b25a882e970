// The container control on a shown form: its geometry and window shape by style, border
// colours, hot tracking with real mouse moves, a hosted edit kept in step (bounds, clip,
// keys, Tab) and colours mirrored into the normal style.
#include "BaseControlFixture.h"

#include "editors/cxContainer.h"
#include "editors/cxControlScrollBars.h"
#include "gui/ListCtrls.h"
#include "gui/WinScroll.h"
#include "editors/dxOffice11.h"
#include "gui/GdiDC.h"
#include "gui/WinUser.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace basetest;
using namespace guitest;

namespace {

struct Container : stdtest::FormFixture {
  TcxContainer* Box = nullptr;
  TEdit* After = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    // Earlier tests leave the cursor where they clicked: over the new container it would make
    // it hot, and the hot look changes its border.
    SetCursorPos(-1000, -1000);
    Box = Add<TcxContainer>(Rect(10, 10, 130, 40));
    After = Add<TEdit>(Rect(10, 100, 110, 121));
    Application->ProcessMessages();
    AcquireOffice11Scheme();
  }
  void TearDown() override {
    ReleaseOffice11Scheme();
    FormFixture::TearDown();
  }
  TRect RegionBox() {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    TRect box;
    if (GetWindowRgn(Box->Handle(), r) == ERROR) box = TRect();
    else GetRgnBox(r, &box);
    DeleteObject(r);
    return box;
  }
};

}  // namespace

TEST_F(Container, GeometryAndWindowShapeFollowTheStyle) {
  struct Case {
    const char* name;
    bool transparent, shadow;
    TcxBorders edges;
    TRect inside, region;
  };
  const Case cases[] = {
      {"single, opaque border", false, false, cxBordersAll, Rect(1, 1, 119, 29), Rect(0, 0, 120, 30)},
      {"single, left and top only", false, false, {bLeft, bTop}, Rect(1, 1, 120, 30), Rect(0, 0, 120, 30)},
      {"single, transparent border", true, false, cxBordersAll, Rect(2, 2, 118, 28), Rect(1, 1, 119, 29)},
      {"shadow", false, true, cxBordersAll, Rect(1, 1, 116, 26), Rect(0, 0, 120, 30)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Box->Style()->SetBorderStyle(cbsSingle);
    Box->Style()->SetTransparentBorder(c.transparent);
    Box->Style()->SetShadow(c.shadow);
    Box->Style()->SetEdges(c.edges);
    EXPECT_EQ(Box->PaintInfo()->InsideBorderRect, c.inside);
    EXPECT_EQ(Box->PaintInfo()->ShadowVisible, c.shadow);
    EXPECT_EQ(RegionBox(), c.region) << "the outer band of a transparent border is cut away";
  }
  // The shadow: a band of clBtnShadow 3 pixels wide, offset by 3.
  Box->Repaint();
  Application->ProcessMessages();
  EXPECT_EQ(Rgb(Pixel(Box, 118, 10)), 0x808080u);
  EXPECT_EQ(Rgb(Pixel(Box, 60, 28)), 0x808080u);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(Box->Handle(), r);
  EXPECT_TRUE(PtInRegion(r, 118, 10)) << "the shadow is in the window's region";
  EXPECT_FALSE(PtInRegion(r, 118, 1)) << "the corner above it is not";
  DeleteObject(r);
}

TEST_F(Container, BordersTakeTheirColoursFromTheConditionAndLookAndFeel) {
  struct Case {
    TcxLookAndFeelKind kind;
    bool focused;
    TcxContainerBorderStyle shown;
    TColor color;
  };
  const Case cases[] = {{lfUltraFlat, false, cbsSingle, clBtnShadow},
                        {lfUltraFlat, true, cbsSingle, clHighlight},
                        {lfOffice11, true, cbsSingle, Office11Color21},
                        {lfStandard, false, cbs3D, clWindowFrame}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    Box->Style()->LookAndFeel()->SetKind(c.kind);
    if (c.focused) Box->SetFocus();
    else After->SetFocus();
    Box->RefreshAtCursor(false);
    EXPECT_EQ(Box->PaintInfo()->ShownBorderStyle, c.shown);
    EXPECT_EQ(Box->PaintInfo()->ShownBorderColor, c.color);
  }
}

TEST_F(Container, MovingIntoTheHotZoneSelectsTheHotStyleUnlessAButtonIsHeld) {
  Box->StyleHot()->SetColor(clYellow);
  Move(Box, {60, 15});
  EXPECT_TRUE(Box->PaintInfo()->Condition.Contains(ccHot));
  EXPECT_EQ(Box->ActiveStyle(), Box->StyleHot());
  EXPECT_EQ(Box->PaintInfo()->FillColor, clYellow);
  EXPECT_TRUE(IsTrackingMouseLeave(Box));
  Move(Box, {60, 15}, Qt::LeftButton);
  EXPECT_FALSE(Box->PaintInfo()->Condition.Contains(ccHot)) << "a held button";
  // Leaving: the tracker sees the cursor outside and ends.
  Move(Box, {60, 15});
  Mouse->SetCursorPos(Form->ClientToScreen({300, 200}));
  TMouseTrackingTimer* t = TrackerOf(Box);
  ASSERT_NE(t, nullptr);
  SendMessage(TcxTimer::TimerWindowHandle(), WM_TIMER, t->TimerId(), 0);
  EXPECT_FALSE(IsTrackingMouseLeave(Box));
  EXPECT_FALSE(Box->PaintInfo()->Condition.Contains(ccHot));
}

TEST_F(Container, AHostedEditFollowsTheContentAndTakesKeysAndTab) {
  auto* edit = new TEdit(Form);
  edit->SetAutoSize(false);
  edit->SetParent(Box);
  Box->SetHostedControl(edit);
  EXPECT_EQ(edit->BoundsRect(), Box->PaintInfo()->ContentRect);
  Box->SetBounds(10, 10, 160, 40);
  EXPECT_EQ(edit->BoundsRect(), Box->PaintInfo()->ContentRect);
  EXPECT_EQ(edit->Color(), Box->PaintInfo()->FillColor);

  // Focus passes to the hosted edit; Tab from it goes to the next control of the form.
  Box->SetFocus();
  EXPECT_TRUE(edit->Focused());
  EXPECT_TRUE(Box->Focused());
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_EQ(edit->Text(), "a");
  Box->Perform(WM_CHAR, 'b', 0);  // keys sent to the container reach it
  EXPECT_EQ(edit->Text(), "ab");
  TypeKey(Qt::Key_Tab);
  EXPECT_TRUE(After->Focused());

  // Oversize: clipped to the content; fitting again: no region.
  Box->LockAlignControls(false);
  edit->SetBounds(-5, 2, 200, 20);
  TRect r = Box->PaintInfo()->ContentRect;
  Box->AlignControls(edit, r);
  EXPECT_FALSE(Box->HostedControlClip().Empty);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(edit->Handle(), rgn), ERROR);
  edit->SetBoundsRect(Box->PaintInfo()->ContentRect);
  Box->AlignControls(edit, r);
  EXPECT_TRUE(Box->HostedControlClip().Empty);
  EXPECT_EQ(GetWindowRgn(edit->Handle(), rgn), ERROR);
  DeleteObject(rgn);
}

TEST_F(Container, ColourWrittenByCodeIsAssignedToTheStyleButNotOneFromTheParent) {
  Box->SetColor(clLime);
  EXPECT_TRUE(Box->Style()->AssignedValues().Contains(csvColor));
  EXPECT_EQ(Box->Style()->Color(), clLime);
  EXPECT_EQ(Box->PaintInfo()->FillColor, clLime);

  auto* follower = Add<TcxContainer>(Rect(150, 10, 250, 40));
  follower->SetParentColor(true);
  Form->SetColor(clAqua);
  EXPECT_EQ(follower->Color(), clAqua);
  EXPECT_FALSE(follower->Style()->AssignedValues().Contains(csvColor));
}

namespace {
// A container that mirrors its hosted control's native bars with its own.
class TBarsContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  bool WantsScrollBars() override { return true; }
};
}  // namespace

TEST_F(Container, AContainerWantingBarsLaysItsOwnOverTheHostedControlsNativeOnes) {
  auto* box = Add<TBarsContainer>(Rect(150, 10, 300, 130));
  auto* list = new TListBox(Form);
  list->SetParent(box);
  for (int i = 0; i < 100; ++i) list->Items()->Add("line " + std::to_string(i));
  box->SetHostedControl(list);
  list->SetTopIndex(30);
  box->Perform(DM_UPDATESCROLLBARS);
  TcxControlScrollBar* v = box->VScrollBar();
  ASSERT_TRUE(v->Visible());
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &info));
  const TPoint at = box->ScreenToClient(info.rcScrollBar.TopLeft());
  EXPECT_EQ(v->BoundsRect(), Bounds(at.X, at.Y, info.rcScrollBar.Width(), info.rcScrollBar.Height()));
  EXPECT_EQ(v->Max(), 99);
  EXPECT_EQ(v->Position(), 30);
  EXPECT_FALSE(box->HScrollBar()->Visible()) << "no native horizontal bar";
  list->Items()->Clear();
  box->Perform(DM_UPDATESCROLLBARS);
  EXPECT_FALSE(v->Visible());
}

namespace {

// The container stands for its hosted control in the tab order: Tab and Shift+Tab from the
// hosted edit reach the controls around the container, even when the edit is a tab stop.
TEST_F(Container, TabAndShiftTabFromTheHostedControlLeaveTheContainer) {
  auto* before = Add<TEdit>(Rect(10, 60, 110, 81));
  before->SetTabOrder(0);
  auto* edit = new TEdit(Form);
  edit->SetAutoSize(false);
  edit->SetParent(Box);
  edit->SetTabStop(true);
  Box->SetHostedControl(edit);
  const struct {
    Qt::KeyboardModifiers mods;
    TEdit* lands;
  } cases[] = {{Qt::NoModifier, After}, {Qt::ShiftModifier, before}};
  for (const auto& c : cases) {
    Box->SetFocus();
    ASSERT_TRUE(edit->Focused());
    TypeKey(Qt::Key_Tab, c.mods);
    EXPECT_TRUE(c.lands->Focused()) << (c.mods == Qt::NoModifier ? "Tab" : "Shift+Tab");
  }
  // From the outside the container is one stop: Tab from the edit before lands in it.
  before->SetFocus();
  TypeKey(Qt::Key_Tab);
  EXPECT_TRUE(edit->Focused());
  std::vector<TWinControl*> order;
  Form->GetTabOrderList(order);
  EXPECT_EQ(std::count(order.begin(), order.end(), edit), 1) << "once, in the container's place";
  EXPECT_EQ(std::count(order.begin(), order.end(), Box), 0);
}

// Scaling: the control's size and its style's own font follow; a font the style takes from
// a controller or from the parent stays.
TEST_F(Container, ScalingScalesTheStylesOwnFontOnly) {
  TcxStyleController controller(nullptr);
  controller.Style()->Font()->SetSize(12);
  const struct {
    const char* name;
    int ownSize;      // 0: the style has no font of its own
    bool controlled;  // the style names the controller
  } cases[] = {{"own font", 10, false}, {"controller's font", 0, true}, {"parent's font", 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* box = Add<TcxContainer>(Rect(150, 10, 250, 31));
    if (c.controlled) box->Style()->SetStyleController(&controller);
    if (c.ownSize) box->Style()->Font()->SetSize(c.ownSize);
    const int before = box->Style()->Font()->Size();
    box->ScaleBy(3, 2);
    EXPECT_EQ(box->BoundsRect(), Rect(150, 10, 300, 42)) << "its size scaled, its place kept";
    EXPECT_EQ(box->Style()->Font()->Size(), c.ownSize ? 15 : before);
    if (c.ownSize) EXPECT_EQ(box->Font()->Size(), 15) << "the control shows its style's font";
    EXPECT_EQ(box->Style()->AssignedValues().Contains(csvFont), c.ownSize != 0) << "nothing newly assigned";
    EXPECT_EQ(controller.Style()->Font()->Size(), 12) << "a controller scales only while loading";
    delete box;
  }
}

// A move that keeps the condition changes nothing of the picture, but a hosted control moved
// or recoloured by code in the meantime is put back in step by the next move.
TEST_F(Container, AMoveKeepsTheHostedControlInStepWhateverCodeDidToIt) {
  auto* edit = new TEdit(Form);
  edit->SetAutoSize(false);
  edit->SetParent(Box);
  Box->SetHostedControl(edit);
  Move(Box, {60, 15});
  const TRect content = Box->PaintInfo()->ContentRect;
  const TColor fill = Box->PaintInfo()->FillColor;
  const struct {
    const char* name;
    std::function<void()> meddle;
  } cases[] = {{"moved", [&] { edit->SetBounds(3, 3, 20, 10); }}, {"recoloured", [&] { edit->SetColor(clRed); }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.meddle();
    Move(Box, {61, 15});
    EXPECT_EQ(edit->BoundsRect(), content);
    EXPECT_EQ(edit->Color(), fill);
  }
}

// While loading, a style without a font of its own has its controller scale the controller's
// font: once, however many containers name it, and only when the font is to be scaled.
TEST_F(Container, ScalingWhileLoadingScalesAControllersFontOnce) {
  const struct {
    const char* name;
    TScalingFlags flags;
    int size;
  } cases[] = {{"font scaled", {sfLeft, sfTop, sfWidth, sfHeight, sfFont}, 18},
               {"font not among the flags", {sfLeft, sfTop, sfWidth, sfHeight}, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TcxStyleController controller(nullptr);
    controller.Style()->Font()->SetSize(12);
    std::vector<TcxContainer*> boxes;
    for (int k = 0; k < 2; ++k) {
      auto* box = Add<TcxContainer>(Rect(150, 10 + 30 * k, 250, 31 + 30 * k));
      box->Style()->SetStyleController(&controller);
      box->SetLoading(true);
      box->SetScalingFlags(c.flags);
      box->ScaleBy(3, 2);
      boxes.push_back(box);
    }
    EXPECT_EQ(controller.Style()->Font()->Size(), c.size);
    for (TcxContainer* box : boxes) {
      EXPECT_FALSE(box->Style()->AssignedValues().Contains(csvFont));
      box->SetLoading(false);
      delete box;
    }
  }
}

}  // namespace
