// The report designer's design surface and its units: conversions shown to the user, the
// zoom and grid guards, and the workspace driven by real mouse presses and keys: selecting,
// dragging on the grid, resizing by handles, scaling groups, stretching and stacking bands,
// and the arrow keys.
#include "GuiTestUtil.h"
#include "gui/Forms.h"
#include "report/designer/frxDesgnUnits.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"

#include <QtCore/QDir>
#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace guitest;

// ---------------------------------------------------------------- units

TEST(DesignerUnits, MillimetresConvertToEachUnitAndBack) {
  struct TCase {
    TfrxRulerUnits Units;
    bool Horizontal;
    double MM, Expected;
  };
  for (const TCase& c : {TCase{ruCM, true, 25.4, 2.54}, TCase{ruInches, true, 25.4, 1}, TCase{ruPixels, false, 25.4, 96},
                         TCase{ruChars, true, 25.4, 10}, TCase{ruChars, false, 25.4, 6}}) {
    EXPECT_NEAR(MMToUnits(c.Units, c.Horizontal, c.MM), c.Expected, 1e-9) << c.Units << " " << c.Horizontal;
  }
  struct TBack {
    TfrxRulerUnits Units;
    bool Horizontal;
    double Value, MM;
  };
  for (const TBack& c : {TBack{ruCM, true, 2.54, 25.4}, TBack{ruInches, false, 1, 25.4}, TBack{ruPixels, true, 96, 25.4},
                         TBack{ruChars, false, 6, 6 * 17 / 3.77953},  // 26.99 mm
                         TBack{ruChars, true, 5.4, 5 * 9.6 / 3.77953}}) {  // whole cells first
    EXPECT_NEAR(UnitsToMM(c.Units, c.Horizontal, c.Value), c.MM, 1e-9) << c.Units << " " << c.Value;
  }
  EXPECT_NEAR(UnitsToMM(ruChars, false, 6), 26.99, 0.005);
}

TEST(DesignerUnits, DefaultSizesZoomAndGridGuards) {
  TfrxObjectSize cm = DefaultObjectSize(ruCM);
  EXPECT_NEAR(cm.Width, 2.5 * 37.7953, 1e-9);
  EXPECT_NEAR(cm.Height, 0.5 * 37.7953, 1e-9);
  EXPECT_EQ(DefaultObjectSize(ruPixels).Width, 80);
  EXPECT_NEAR(DefaultObjectSize(ruChars).Width, 96, 1e-9);
  EXPECT_DOUBLE_EQ(DefaultObjectSize(ruInches).Height, 0.2 * 96);

  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct TScale {
    double In, Out;
  };
  for (const TScale& s : {TScale{0, 1}, TScale{25, 20}, TScale{-0.5, 1}, TScale{nan, 1}, TScale{0.5, 0.5}})
    EXPECT_EQ(SaneScale(s.In), s.Out) << s.In;
  for (double bad : {0.0, -3.0, nan, std::numeric_limits<double>::infinity()})
    EXPECT_EQ(SaneGridSize(bad, 4), 4) << bad;
  EXPECT_EQ(SaneGridSize(7.5, 4), 7.5);

  // The status bar: pixels shown in the chosen units, two decimals, "x; y".
  TfrxPositionTexts t = PositionTexts(ruCM, 96, 192, 48, 0, true);
  EXPECT_EQ(t.Position, "2.54; 5.08");
  EXPECT_EQ(t.Size, "1.27; 0.00");
  EXPECT_EQ(PositionTexts(ruChars, 96, 34, 0, 0, false).Position, "10.00; 2.00");
  EXPECT_EQ(PositionTexts(ruChars, 96, 34, 0, 0, false).Size, "");
  EXPECT_EQ(ScaleText(1.5, 0.25), "%150.00; %25.00");
  // The units panel cycles cm, inches, pixels, cm; characters go back to cm.
  EXPECT_EQ(NextUnits(ruCM), ruInches);
  EXPECT_EQ(NextUnits(ruInches), ruPixels);
  EXPECT_EQ(NextUnits(ruPixels), ruCM);
  EXPECT_EQ(NextUnits(ruChars), ruCM);
  EXPECT_NEAR(Round8(1.123456789012), 1.12345679, 1e-15);
  EXPECT_EQ(Round8(-2.5), -2.5);
}

// ---------------------------------------------------------------- workspace

namespace {

constexpr double G = 3.77953;  // the 1 mm grid step of the cm grid

class SurfaceTest : public ::testing::Test {
protected:
  TfrxReport Report{nullptr};
  TfrxReportPage* Page = nullptr;
  TForm* Form = nullptr;
  TfrxDesignerWorkspace* Ws = nullptr;
  TfrxDesignerWorkspace::TObjectList Objects, Selected;
  int Modified = 0;

  void SetUp() override {
    Page = new TfrxReportPage(&Report);
    Form = new TForm(nullptr);
    Form->SetBounds(20, 20, 700, 600);
    Ws = new TfrxDesignerWorkspace(Form);
    Ws->SetParent(Form);
    Ws->SetBounds(0, 0, 680, 580);
    Ws->SetLists(&Objects, &Selected);
    Ws->SetPage(Page);
    Ws->SetShowBandCaptions(false);
    Ws->SetFreeBands(true);
    Ws->OnModified = TNotifyEvent::Lambda([this](TObject*) { ++Modified; });
    Selected.push_back(Page);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  template <class T> T* Add(TfrxComponent* parent, double l, double t, double w, double h) {
    auto* c = new T(parent);
    c->SetBounds(l, t, w, h);
    Objects.push_back(c);
    return c;
  }
  static TPoint At(double x, double y) { return {int(std::lround(x)), int(std::lround(y))}; }
  void Drag(TPoint from, TPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Move(Ws, from);
    SendMouse(Ws, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, mods, 1000);
    SendMouse(Ws, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, mods, 5);
    SendMouse(Ws, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  }
  void ShiftClick(TPoint p) {
    SendMouse(Ws, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier, 1000);
    SendMouse(Ws, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier, 5);
  }
};

}  // namespace

TEST_F(SurfaceTest, PressesSelectTheObjectTheCursorIsOnOrThePage) {
  auto* band = Add<TfrxMasterData>(Page, 0, 100, 600, 100);
  auto* a = Add<TfrxMemoView>(band, 40, 10, 80, 20);
  auto* b = Add<TfrxMemoView>(band, 160, 10, 80, 20);
  auto* c = Add<TfrxMemoView>(band, 280, 10, 80, 20);

  Click(Ws, {500, 20});  // empty space above the band
  EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{Page}));
  EXPECT_EQ(Ws->SelectedCount(), 0);

  Click(Ws, {60, 120});
  EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{a}));
  ShiftClick({60, 120});  // the only selected one: the page takes its place
  EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{Page}));

  // Three selected; pressing one of them keeps all three and drags them together by two steps.
  Click(Ws, {60, 120});
  ShiftClick({180, 120});
  ShiftClick({300, 120});
  ASSERT_EQ(Ws->SelectedCount(), 3);
  Modified = 0;
  Drag({200, 120}, {208, 120});  // 8 px: two whole 1 mm steps
  EXPECT_EQ(Ws->SelectedCount(), 3);
  EXPECT_NEAR(a->Left(), 40 + 2 * G, 1e-6);
  EXPECT_NEAR(b->Left(), 160 + 2 * G, 1e-6);
  EXPECT_NEAR(c->Left(), 280 + 2 * G, 1e-6);
  EXPECT_EQ(a->Top(), 10);
  EXPECT_EQ(Modified, 1) << "one modification per release";
  // Bounds written by a release keep 8 decimals.
  EXPECT_EQ(a->Left(), Round8(a->Left()));
}

TEST_F(SurfaceTest, DragsBelowOneGridStepAreDroppedUnlessAltFreesThem) {
  auto* m = Add<TfrxMemoView>(Page, 40, 40, 80, 20);
  Click(Ws, {60, 50});
  ASSERT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{m}));
  Modified = 0;
  Drag({60, 50}, {62, 52});
  EXPECT_EQ(m->Left(), 40);
  EXPECT_EQ(m->Top(), 40);
  EXPECT_EQ(Modified, 0);
  Drag({60, 50}, {62, 53}, Qt::AltModifier);
  EXPECT_EQ(m->Left(), 42);
  EXPECT_EQ(m->Top(), 43);
  EXPECT_EQ(Modified, 1);
  // With the grid off, Alt makes the drag snap instead.
  Ws->SetGridAlign(false);
  Drag({62, 53}, {64, 55}, Qt::AltModifier);
  EXPECT_EQ(m->Left(), 42);
}

TEST_F(SurfaceTest, HandlesFlipPastTheOppositeCornerButADiagonalLineKeepsItsExtent) {
  auto* m = Add<TfrxMemoView>(Page, 100, 100, 40, 20);
  Click(Ws, {120, 110});
  Drag({100, 100}, {180, 160});  // handle 1 dragged past handle 2
  double dx = std::trunc(80 / G) * G, dy = std::trunc(60 / G) * G;
  EXPECT_NEAR(m->Left(), 140, 1e-6) << "the old right edge";
  EXPECT_NEAR(m->Top(), 120, 1e-6);
  EXPECT_NEAR(m->Width(), dx - 40, 1e-6);
  EXPECT_NEAR(m->Height(), dy - 20, 1e-6);

  auto* line = Add<TfrxLineView>(Page, 300, 300, 40, 40);
  line->SetDiagonal(true);
  Click(Ws, {320, 320});
  ASSERT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{line}));
  Move(Ws, {340, 340});
  EXPECT_EQ(Ws->Handle_(), 10) << "a diagonal line's end point";
  Drag({340, 340}, {280, 280});
  EXPECT_LT(line->Width(), 0);
  EXPECT_LT(line->Height(), 0);
  EXPECT_EQ(line->Left(), 300);
}

TEST_F(SurfaceTest, ScalingAGroupOfVerticalLinesAtOneXLeavesThatAxisAlone) {
  TfrxLineView* lines[3];
  for (int i = 0; i < 3; ++i) lines[i] = Add<TfrxLineView>(Page, 200, 50 + 60 * i, 0, 40);
  Click(Ws, {200, 60});
  ShiftClick({200, 120});
  ShiftClick({200, 180});
  ASSERT_EQ(Ws->SelectedCount(), 3);
  ASSERT_EQ(Ws->GetAnchorObject(), lines[2]);
  Move(Ws, {200, 210});  // the anchor's bottom-right point
  ASSERT_EQ(Ws->Mode(), wmScale);
  Drag({200, 210}, {220, 250});
  for (TfrxLineView* l : lines) {
    EXPECT_TRUE(std::isfinite(l->Left()));
    EXPECT_EQ(l->Left(), 200);
    EXPECT_EQ(l->Width(), 0);
  }
  double ky = (160 + std::trunc(40 / G) * G) / 160;
  EXPECT_NEAR(lines[2]->Top(), 50 + 120 * ky, 1e-6);
  EXPECT_NEAR(lines[2]->Height(), 40 * ky, 1e-6);
}

TEST_F(SurfaceTest, BandsStopAtTheirContentAndTakeTheViewsDroppedIntoThem) {
  auto* b1 = Add<TfrxMasterData>(Page, 0, 40, 600, 100);
  auto* b2 = Add<TfrxMasterData>(Page, 0, 200, 600, 100);
  auto* m = Add<TfrxMemoView>(b1, 40, 10, 80, 30);
  // The band's bottom edge dragged far up stops at the memo's bottom.
  Move(Ws, {300, 140});
  ASSERT_EQ(Ws->Mode(), wmSizeBand);
  Drag({300, 140}, {300, 60});
  EXPECT_NEAR(b1->Height(), 40, 1e-6);
  // The memo dragged down into the second band becomes its child, its Top relative to it.
  Click(Ws, {60, 60});
  ASSERT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{m}));
  Drag({60, 60}, {60, 240});
  double moved = std::trunc(180 / G) * G;
  EXPECT_EQ(m->Parent(), b2);
  EXPECT_NEAR(m->Top(), Round8(40 + 10 + moved - 200), 1e-6);
  EXPECT_NEAR(m->AbsTop(), 50 + moved, 1e-6);
}

// A view belongs to the band its top lies in; where two bands' ranges overlap, to the later
// band of the list; lying in none, a band's view goes back to the page. Free bands keep the
// places given here.
TEST_F(SurfaceTest, ViewsJoinTheBandTheirTopLiesInTheLaterOneWhereBandsOverlap) {
  struct TCase {
    const char* What;
    double SecondTop;  // the second band's top; the first spans 40 .. 100
    double ViewTop;    // absolute
    int Expected;      // 0 the page, 1 the first band, 2 the second
  };
  const TCase cases[] = {
      {"apart, in the first", 200, 60, 1},
      {"apart, in the second", 200, 210, 2},
      {"apart, between them", 200, 150, 0},
      {"overlapping, in both", 80, 90, 2},
      {"overlapping, in the first only", 80, 50, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Objects.clear();
    auto* b1 = Add<TfrxMasterData>(Page, 0, 40, 600, 60);
    auto* b2 = Add<TfrxMasterData>(Page, 0, c.SecondTop, 600, 60);
    auto* v = Add<TfrxMemoView>(Page, 10, c.ViewTop, 50, 10);
    Ws->ArrangeBands();
    TfrxComponent* expected = c.Expected == 0 ? static_cast<TfrxComponent*>(Page) : c.Expected == 1 ? b1 : b2;
    EXPECT_EQ(v->Parent(), expected);
    EXPECT_NEAR(static_cast<double>(v->AbsTop()), c.ViewTop, 1e-9);
    // Moved out of every band again, it returns to the page.
    v->SetTop(v->Top() + 1000);
    Ws->ArrangeBands();
    EXPECT_EQ(v->Parent(), Page);
    EXPECT_NEAR(static_cast<double>(v->AbsTop()), c.ViewTop + 1000, 1e-9);
    delete v;
    delete b2;
    delete b1;
  }
  Objects.clear();
}

TEST_F(SurfaceTest, StackedBandsFollowTheTitleBeforeHeaderOrder) {
  Ws->SetFreeBands(false);
  auto* title = Add<TfrxReportTitle>(Page, 0, 0, 600, 20);
  auto* header = Add<TfrxPageHeader>(Page, 0, 100, 600, 20);
  for (bool titleFirst : {false, true}) {
    SCOPED_TRACE(titleFirst);
    Page->SetTitleBeforeHeader(titleFirst);
    Ws->ArrangeBands();
    TfrxBand* first = titleFirst ? static_cast<TfrxBand*>(title) : header;
    TfrxBand* second = titleFirst ? static_cast<TfrxBand*>(header) : title;
    EXPECT_EQ(first->Top(), 0);
    EXPECT_NEAR(second->Top(), std::round(20 / G) * G, 1e-6) << "stacked on the grid, no gap between headers";
  }
}

TEST_F(SurfaceTest, ArrowKeysResizeMoveSnapAndSelect) {
  auto* b1 = Add<TfrxMasterData>(Page, 0, 40, 600, 100);
  auto* b2 = Add<TfrxMasterData>(Page, 0, 200, 600, 100);
  auto* upper = Add<TfrxMemoView>(b1, 100, 20, 80, 30);
  auto* lower = Add<TfrxMemoView>(b2, 120, 30, 2, 20);
  Click(Ws, {121, 240});
  ASSERT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{lower}));
  Ws->SetFocus();
  ASSERT_TRUE(Ws->Focused());
  Modified = 0;
  TypeKey(Qt::Key_Left, Qt::ShiftModifier);  // 2 px wide: a 1 mm step would go negative
  EXPECT_EQ(lower->Width(), 2);
  TypeKey(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_NEAR(lower->Height(), 20 + G, 1e-9);
  TypeKey(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_NEAR(lower->Left(), 120 + G, 1e-9);
  EXPECT_EQ(Modified, 3) << "each key release reports the step, even one undone";
  // Alt+Up against a memo of another band: right below it on the page.
  Ws->SnapToNeighbour(0, -1);
  EXPECT_NEAR(lower->AbsTop(), upper->AbsTop() + upper->Height(), 1e-9);
  EXPECT_EQ(lower->Parent(), b2);
  // A plain arrow selects the nearest object in that direction.
  TypeKey(Qt::Key_Up);
  EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{upper}));
  // Delete removes the selection; the page is selected again.
  TfrxComponent* gone = upper;
  TypeKey(Qt::Key_Delete);
  EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{Page}));
  EXPECT_EQ(std::count(Objects.begin(), Objects.end(), gone), 0);
  // The bands are arranged again: the memo now lies in the first band's range and joins it.
  EXPECT_EQ(lower->Parent(), b1);
  EXPECT_NEAR(lower->Top(), 90 - 40, 1e-9);
}

// The page as the window draws it, saved for a person under screens/: the cm grid, a data
// band's caption strip, a memo with its text and the selection marks.
TEST_F(SurfaceTest, PaintingDrawsGridBandStripsObjectsAndSelectionMarks) {
  Ws->SetShowBandCaptions(true);
  auto* band = Add<TfrxMasterData>(Page, 0, 80, 600, 60);
  band->SetName("MasterData1");
  auto* m = Add<TfrxMemoView>(band, 40, 10, 160, 24);
  m->SetText("中文 memo");
  auto* line = Add<TfrxLineView>(band, 240, 30, 200, 0);
  line->SetName("Line1");
  Ws->ArrangeBands();
  Click(Ws, {60, int(m->AbsTop()) + 10});
  ASSERT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{m}));
  Ws->Repaint();
  Application->ProcessMessages();
  QImage img = WidgetOf(Ws)->grab().toImage();
  QDir().mkpath("screens");
  img.save("screens/designer_surface.png");

  auto rgb = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
  // The data band's strip above the band, in the data-band colour ($BBGGRR 0xEEBB00).
  int stripY = int(std::lround((band->Top() - Ws->CaptionHeight() / 2)));
  EXPECT_EQ(rgb(500, stripY), 0x00BBEEu);
  // The cm grid: every tenth 1 mm line in the base colour, fifth lines lighter, none between.
  int cm = int(std::lround(10 * G));
  EXPECT_EQ(rgb(cm, 30), 0xE8E8E8u);
  EXPECT_EQ(rgb(int(std::lround(5 * G)), 30), 0xF8F8F8u);
  EXPECT_EQ(rgb(int(std::lround(3 * G)), 30), 0xFFFFFFu);
  // A selection mark over the memo's bottom-right corner, drawn by XOR on the white page.
  int r = int(std::lround(m->AbsLeft() + m->Width())), b = int(std::lround(m->AbsTop() + m->Height()));
  bool marked = false;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) marked = marked || rgb(r + dx, b + dy) != 0xFFFFFFu;
  EXPECT_TRUE(marked);
  // Locked: the background and grid only; the band strip is gone.
  Ws->LockUpdates();
  Ws->Repaint();
  Application->ProcessMessages();
  QImage locked = WidgetOf(Ws)->grab().toImage();
  EXPECT_EQ(locked.pixel(500, stripY) & 0xFFFFFF, 0xFFFFFFu);
  Ws->UnlockUpdates();
}

TEST_F(SurfaceTest, AClickWithAnArmedMemoInsertsTheDefaultSizeAtThePressPoint) {
  TfrxObjectSize size = DefaultObjectSize(ruCM);
  Ws->StartInsertion(TfrxMemoView::StaticClass(), 0, size.Width, size.Height);
  ASSERT_EQ(Ws->Mode(), wmInsertRect);
  TfrxInsertion got;
  int requests = 0;
  Ws->OnInsertRequest = TNotifyEvent::Lambda([&](TObject*) {
    ++requests;
    got = Ws->Insertion();
  });
  Move(Ws, {100, 60});
  Click(Ws, {100, 60});
  ASSERT_EQ(requests, 1);
  // The press point, snapped to the 1 mm lattice the parked point lies on.
  EXPECT_NEAR(got.Left, std::trunc(100 / G) * G, 1e-6);
  EXPECT_NEAR(got.Top, std::trunc(60 / G) * G, 1e-6);
  EXPECT_NEAR(got.Width, 2.5 * 37.7953, 1e-6);
  EXPECT_NEAR(got.Height, 0.5 * 37.7953, 1e-6);
  EXPECT_EQ(Ws->Mode(), wmInsertRect) << "armed until the designer disarms it";
  // A drawn rectangle, dragged up and left, is normalised.
  Move(Ws, {200, 200});
  Drag({200, 200}, {120, 150});
  EXPECT_EQ(requests, 2);
  EXPECT_GT(got.Width, 4);
  EXPECT_GT(got.Height, 4);
  EXPECT_LT(got.Left, 200);
  Ws->StartInsertion(nullptr, 0, 0, 0);
  EXPECT_EQ(Ws->Mode(), wmNone);
  EXPECT_FALSE(Ws->Inserting());
}

TEST_F(SurfaceTest, AltClickEditsATextInPlaceAndEscLeavesItUnchanged) {
  auto* a = Add<TfrxMemoView>(Page, 40, 40, 120, 24);
  a->SetText("old");
  auto* b = Add<TfrxMemoView>(Page, 40, 120, 120, 24);
  b->SetText("keep");
  struct TCase {
    TfrxMemoView* Memo;
    bool Escape;
    const char* Expected;
  };
  for (const TCase& c : {TCase{a, false, "中文"}, TCase{b, true, "keep"}}) {
    SCOPED_TRACE(c.Expected);
    Modified = 0;
    TPoint p = At(c.Memo->AbsLeft() + 10, c.Memo->AbsTop() + 10);
    SendMouse(Ws, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton, Qt::AltModifier, 5);
    ASSERT_EQ(Ws->Mode(), wmTextEdit);
    SendMouse(Ws, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, Qt::AltModifier, 1000);
    SendMouse(Ws, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, Qt::AltModifier, 5);
    Application->ProcessMessages();
    TInplaceMemo* ed = Ws->InplaceMemo();
    ASSERT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Object(), c.Memo);
    EXPECT_EQ(Selected, (TfrxDesignerWorkspace::TObjectList{c.Memo}));
    TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("中"));
    TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("文"));
    if (c.Escape) TypeKey(Qt::Key_Escape);
    else Click(Ws, {600, 500});  // a press elsewhere ends the edit
    EXPECT_FALSE(ed->Visible());
    EXPECT_EQ(c.Memo->Text(), c.Expected);
    EXPECT_EQ(Modified, c.Escape ? 0 : 1);
  }
}
