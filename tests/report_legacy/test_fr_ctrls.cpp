// The engine's tool controls: glyph strips and their shared lists, the gray of inactive glyphs,
// flat buttons lighting under the mouse, groups and where a release clicks, tool-bar alignment
// and the window placement kept in the registry.
#include "FrGuiSupport.h"

#include "report_legacy/FR_Ctrls.h"

#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"
#include "core/ClassBuilder.h"

using namespace guitest;
using frtest::Rgb;
using frtest::RgbOf;

namespace {

// A strip W x H of one colour, with olive (the transparent colour) in its lower-left pixel.
std::unique_ptr<TBitmap> Strip(int W, int H, TColor Color) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W, H);
  b->Canvas()->Brush()->SetColor(Color);
  b->Canvas()->FillRect(Rect(0, 0, W, H));
  b->Canvas()->SetPixels(0, H - 1, clOlive);
  return b;
}

struct FrButtons : frtest::TFrFormFixture {
  int Clicks = 0;
  TfrSpeedButton* Button(TRect Bounds, TBitmap* Glyph = nullptr) {
    auto* b = Add<TfrSpeedButton>(Bounds);
    if (Glyph) b->SetGlyph(Glyph);
    b->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    return b;
  }
  unsigned At(TControl* c, int x, int y) {
    c->Repaint();
    Application->ProcessMessages();
    return Rgb(Pixel(c, x, y));
  }
};

TEST_F(FrButtons, GlyphWidthGivesTheImageCountUpToFour) {
  struct TCase {
    int Width;
    int Expected;
  };
  auto* b = Button(Bounds(10, 10, 80, 30));
  // Two images first, so that a width that is no multiple shows it keeps the count.
  auto two = Strip(32, 16, clRed);
  b->SetGlyph(two.get());
  ASSERT_EQ(b->NumGlyphs(), 2);
  for (TCase c : {TCase{64, 4}, TCase{80, 1}, TCase{50, 1}, TCase{48, 3}, TCase{50, 3}, TCase{16, 1}}) {
    auto g = Strip(c.Width, 16, clRed);
    b->SetGlyph(g.get());
    EXPECT_EQ(b->NumGlyphs(), c.Expected) << c.Width << " x 16";
  }
  b->SetNumGlyphs(9);
  EXPECT_EQ(b->NumGlyphs(), 4) << "more than four is taken as four";
}

TEST_F(FrButtons, GrayKeepsTransparentAndFaceAndWeighsTheChannels) {
  const COLORREF olive = RGB(128, 128, 0), face = ColorToRGB(clBtnFace);
  struct TCase {
    COLORREF In, Out;
  } cases[] = {
      {RGB(255, 0, 0), RGB(76, 76, 76)},       {RGB(0, 255, 0), RGB(149, 149, 149)},
      {RGB(0, 0, 255), RGB(28, 28, 28)},       {RGB(255, 255, 255), RGB(255, 255, 255)},
      {olive, olive},                          {face, face},
      {RGB(10, 20, 30), RGB((77 * 10 + 150 * 20 + 29 * 30) / 256, (77 * 10 + 150 * 20 + 29 * 30) / 256,
                            (77 * 10 + 150 * 20 + 29 * 30) / 256)},
  };
  for (const TCase& c : cases) EXPECT_EQ(GrayColor(c.In, olive), c.Out) << std::hex << c.In;
}

TEST_F(FrButtons, FlatButtonIsGrayAwayFromTheMouseAndFramedUnderIt) {
  auto red = Strip(16, 16, clRed);
  auto* b = Button(Bounds(20, 20, 30, 30), red.get());
  b->SetFlat(true);
  Move(Form, {300, 200});
  const int cx = 15, cy = 15;
  EXPECT_EQ(At(b, cx, cy), 0x4C4C4Cu) << "red through the gray mapping is level 76";
  EXPECT_EQ(b->PaintedState(), fbsGrayed);
  EXPECT_EQ(At(b, 0, 0), RgbOf(clBtnFace)) << "no frame away from the mouse";
  int entered = 0;
  b->OnMouseEnter = TNotifyEvent::Lambda([&](TObject*) { ++entered; });
  Move(b, {cx, cy});
  Application->ProcessMessages();
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(At(b, cx, cy), 0xFF0000u) << "in colour under the mouse";
  EXPECT_EQ(At(b, 0, 0), RgbOf(clBtnHighlight)) << "a raised frame";
  EXPECT_EQ(At(b, 29, 29), RgbOf(clBtnShadow));

  b->SetGrayedInactive(false);
  Move(Form, {300, 200});
  Application->ProcessMessages();
  EXPECT_EQ(At(b, cx, cy), 0xFF0000u) << "without GrayedInactive the glyph keeps its colour";
}

TEST_F(FrButtons, DisabledButtonEmbossesItsGlyph) {
  auto g = std::make_unique<TBitmap>();
  g->SetSize(16, 16);
  g->Canvas()->Brush()->SetColor(clOlive);
  g->Canvas()->FillRect(Rect(0, 0, 16, 16));
  g->Canvas()->Brush()->SetColor(clBlack);
  g->Canvas()->FillRect(Rect(4, 4, 12, 12));
  auto* b = Button(Bounds(20, 20, 30, 30), g.get());
  b->SetEnabled(false);
  // The glyph alone in the button: centred, (30 - 16 + 1) / 2 = 7 in both directions.
  const int gx = 7, gy = 7;
  EXPECT_EQ(At(b, gx + 6, gy + 6), RgbOf(clBtnShadow));
  EXPECT_EQ(At(b, gx + 12, gy + 12), RgbOf(clBtnHighlight)) << "highlight one pixel right and down";
  EXPECT_EQ(At(b, gx + 2, gy + 2), RgbOf(clBtnFace));
  EXPECT_EQ(b->PaintedState(), fbsDisabled);
}

TEST_F(FrButtons, GroupLatchesOneButtonAndReleaseOutsideDoesNotClick) {
  auto* first = Button(Bounds(10, 10, 30, 30));
  auto* second = Button(Bounds(50, 10, 30, 30));
  for (auto* b : {first, second}) b->SetGroupIndex(1);
  Click(first, {5, 5});
  EXPECT_TRUE(first->Down());
  Click(second, {5, 5});
  EXPECT_TRUE(second->Down());
  EXPECT_FALSE(first->Down()) << "pressing the second releases the first";
  Click(second, {5, 5});
  EXPECT_TRUE(second->Down()) << "without AllowAllUp the last one stays down";
  EXPECT_EQ(second->State(), fbsDown);
  EXPECT_EQ(Clicks, 3);

  // A press released outside: no click, the button back up.
  auto* plain = Button(Bounds(90, 10, 30, 30));
  Press(plain, {5, 5}, Qt::LeftButton, 1000);
  EXPECT_EQ(plain->State(), fbsPressed);
  Move(plain, {60, 60}, Qt::LeftButton);
  EXPECT_EQ(plain->State(), fbsUp) << "up while dragged outside";
  Release(plain, {60, 60});
  EXPECT_EQ(Clicks, 3);
  EXPECT_EQ(plain->State(), fbsUp);

  // With AllowAllUp (taken by the whole group from the sender) the latched one comes up.
  first->SetAllowAllUp(true);
  first->SetDown(true);
  EXPECT_TRUE(second->AllowAllUp());
  Click(first, {5, 5});
  EXPECT_FALSE(first->Down());
  EXPECT_FALSE(second->Down());
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down()) << "a button without a group never latches";
}

TEST_F(FrButtons, GlyphsOfOneSizeShareAListThatGoesWithTheLastButton) {
  ASSERT_EQ(frctrls::GlyphCache() ? frctrls::GlyphCache()->Empty() : true, true);
  auto red = Strip(16, 16, clRed);
  auto wide = Strip(20, 20, clBlue);
  auto* a = Button(Bounds(10, 10, 30, 30), red.get());
  auto* b = Button(Bounds(50, 10, 30, 30), red.get());
  auto* c = Button(Bounds(90, 10, 30, 30), wide.get());
  Application->ProcessMessages();
  for (auto* x : {a, b, c}) x->Repaint();
  ASSERT_NE(a->ButtonGlyph()->GlyphList(), nullptr);
  EXPECT_EQ(a->ButtonGlyph()->GlyphList(), b->ButtonGlyph()->GlyphList());
  EXPECT_NE(a->ButtonGlyph()->GlyphList(), c->ButtonGlyph()->GlyphList());
  delete a;
  delete c;
  ASSERT_NE(frctrls::GlyphCache(), nullptr);
  EXPECT_FALSE(frctrls::GlyphCache()->Empty());
  delete b;
  EXPECT_EQ(frctrls::GlyphCache(), nullptr) << "the cache goes once it holds no list";
}

TEST_F(FrButtons, AcceleratorClicksOnlyAnEnabledButton) {
  auto* b = Button(Bounds(10, 10, 60, 24));
  b->SetCaption("&Go");
  TMessage m{CM_DIALOGCHAR, WPARAM('g'), 0, 0};
  b->Dispatch(m);
  EXPECT_EQ(Clicks, 1);
  b->SetEnabled(false);
  b->Dispatch(m);
  EXPECT_EQ(Clicks, 1) << "a disabled button ignores its accelerator";
}

TEST_F(FrButtons, ToolbarPiecesStackOnAVerticalBarAndRunAlongAHorizontalOne) {
  auto* side = Add<TPanel>(Bounds(0, 0, 40, 200));
  side->SetAlign(alLeft);
  auto* vertical = Add<TPanel>(side, Bounds(0, 0, 40, 200));
  auto* top = Add<TPanel>(Bounds(0, 0, 300, 30));
  top->SetAlign(alTop);
  auto* horizontal = Add<TPanel>(top, Bounds(0, 0, 300, 30));
  EXPECT_EQ(ToolbarAlignFor(vertical), alTop);
  EXPECT_EQ(ToolbarAlignFor(horizontal), alLeft);
  auto* button = new TfrTBButton(Form);
  button->SetParent(vertical);
  auto* sep = new TfrTBSeparator(Form);
  sep->SetParent(vertical);
  EXPECT_EQ(button->Align(), alTop);
  EXPECT_EQ(sep->Align(), alTop);
  EXPECT_TRUE(button->Flat());
  auto* sep2 = new TfrTBSeparator(Form);
  sep2->SetParent(horizontal);
  EXPECT_EQ(sep2->Align(), alLeft);
  EXPECT_EQ(sep2->Width(), 8);
  // The etched line runs down the middle: shadow at width / 2 - 1, highlight right of it.
  Application->ProcessMessages();
  EXPECT_EQ(At(sep2, 3, sep2->Height() / 2), RgbOf(clBtnShadow));
  EXPECT_EQ(At(sep2, 4, sep2->Height() / 2), RgbOf(clBtnHighlight));
  EXPECT_EQ(At(sep2, 3, 0), RgbOf(clBtnFace)) << "two pixels in from the ends";
}

// A window class of its own, so that its placement has a section of its own.
class TPlacedForm : public TForm {
  KELM_CLASS(TPlacedForm, TForm)
public:
  explicit TPlacedForm(TComponent* AOwner) : TForm(AOwner) {}
};
KELM_PUBLISH(TPlacedForm) {}

TEST_F(FrButtons, PlacementIsKeptPerWindowClass) {
  TPlacedForm w(nullptr);
  w.SetBounds(30, 40, 300, 200);
  w.SetWindowState(wsMaximized);
  RestoreFormPlacement(&w);
  EXPECT_EQ(w.WindowState(), wsMaximized) << "no entry: a maximized window stays maximized";
  w.SetWindowState(wsNormal);
  EXPECT_EQ(w.BoundsRect(), Bounds(30, 40, 300, 200)) << "no entry: the bounds stay";

  SaveFormPlacement(&w);
  {
    TRegistryIniFile ini("Software\\Vizerav Report");
    EXPECT_EQ(ini.ReadInteger("Form\\TPlacedForm", "Width", -1), 300);
    EXPECT_EQ(ini.ReadInteger("Form\\TPlacedForm", "XPosition", -1), 30);
    EXPECT_FALSE(ini.ReadBool("Form\\TPlacedForm", "Maximized", true));
  }
  w.SetBounds(5, 6, 100, 90);
  w.SetWindowState(wsMaximized);
  RestoreFormPlacement(&w);
  EXPECT_EQ(w.WindowState(), wsNormal) << "saved as not maximized";
  EXPECT_EQ(w.BoundsRect(), Bounds(30, 40, 300, 200));
}

}  // namespace
