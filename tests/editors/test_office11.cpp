// The Office 2003 scheme from a test theme or from the system colours, its expand buttons,
// colour blends and gradient fills probed by pixel.
#include "CanvasProbe.h"
#include "ThemeFixture.h"

#include "editors/cxGraphicsUtils.h"
#include "editors/dxOffice11.h"

namespace {

COLORREF Rgb(TColor c) { return ColorToRGB(c); }

using Office11Scheme = ThemeFixture;

TEST_F(Office11Scheme, LunaColourNamesPickTheTableRow) {
  const struct {
    const char* File;
    const char* Colour;
    int Scheme;
    COLORREF Color02;
  } cases[] = {
      {"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", "NormalColor", 1, RGB(158, 190, 245)},
      {"luna.MSSTYLES", "homestead", 2, RGB(217, 217, 167)},
      {"D:\\x\\LUNA.MSSTYLES", "Metallic", 3, RGB(215, 215, 229)},
      {"C:\\Themes\\Royale.msstyles", "NormalColor", 0, GetSysColor(COLOR_BTNFACE)},
      {"C:\\Themes\\Luna.msstyles", "Royale", 0, GetSysColor(COLOR_BTNFACE)},
  };
  for (const auto& c : cases) {
    Theme.FileName = c.File;
    Theme.ColorName = c.Colour;
    ComputeOffice11Colors();
    EXPECT_EQ(Office11SchemeNumber(), c.Scheme) << c.File << " " << c.Colour;
    EXPECT_EQ(Office11SchemeFromTheme(), c.Scheme != 0) << c.File << " " << c.Colour;
    EXPECT_EQ(Rgb(Office11Color02), c.Color02) << c.File << " " << c.Colour;
  }
  Theme.FileName = "Luna.msstyles";
  Theme.ColorName = "NormalColor";
  ComputeOffice11Colors();
  EXPECT_EQ(Rgb(Office11Color21), RGB(0, 0, 128));
  EXPECT_EQ(Rgb(Office11Color22), RGB(255, 244, 204));
  EXPECT_EQ(Rgb(Office11HighlightColor), RGB(255, 255, 255));
  // Color04 (0, 53, 145) and Color11 (123, 164, 224) half and half.
  EXPECT_EQ(Rgb(Office11BlendedShadowColor), RGB(62, 109, 185));
  Theme.NameFails = true;
  EXPECT_EQ(DetectOffice11Scheme(), 0);
}

TEST_F(Office11Scheme, WithoutAThemeTheSystemColoursApplyAndFollowChanges) {
  Theme.Active = false;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  ComputeOffice11Colors();
  EXPECT_EQ(Office11SchemeNumber(), 0);
  EXPECT_FALSE(Office11SchemeFromTheme());
  // Classic colours: face D4D0C8, highlight 0A246A, window white, shadow 808080.
  EXPECT_EQ(Rgb(Office11Color02), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Rgb(Office11Color21), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Rgb(Office11Color00), RGB(246, 245, 243));   // face 22 %, window the rest
  EXPECT_EQ(Rgb(Office11Color22), RGB(183, 191, 212));   // the hot colour
  EXPECT_EQ(Rgb(Office11Color24), RGB(136, 147, 177));   // the pressed colour
  EXPECT_EQ(Rgb(Office11Color33), RGB(210, 211, 216));   // the selected colour
  EXPECT_EQ(Rgb(Office11Color15), RGB(255, 255, 255));
  EXPECT_EQ(Rgb(Office11HighlightColor), GetSysColor(COLOR_BTNHIGHLIGHT));

  // A new button face reaches the scheme at the next refresh.
  const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
  const int face = COLOR_BTNFACE;
  const COLORREF green = RGB(0, 128, 0);
  SetSysColors(1, &face, &green);
  EXPECT_EQ(Rgb(Office11Color02), oldFace);
  RefreshOffice11Scheme();
  EXPECT_EQ(Rgb(Office11Color02), green);
  EXPECT_EQ(Rgb(Office11Color11), green);
  SetSysColors(1, &face, &oldFace);
  RefreshOffice11Scheme();
  EXPECT_EQ(Rgb(Office11Color02), oldFace);
}

TEST(Office11Bitmaps, LoadedFromTheFirstAcquisitionToTheLastRelease) {
  ASSERT_EQ(Office11ExpandButtonBitmap(false), nullptr);
  RefreshOffice11Scheme();  // nobody holds the scheme: no bitmaps
  EXPECT_EQ(Office11ExpandButtonBitmap(false), nullptr);
  AcquireOffice11Scheme();
  AcquireOffice11Scheme();
  TBitmap* plus = Office11ExpandButtonBitmap(false);
  TBitmap* minus = Office11ExpandButtonBitmap(true);
  ASSERT_NE(plus, nullptr);
  ASSERT_NE(minus, nullptr);
  EXPECT_EQ(plus->Width(), 11);
  EXPECT_EQ(plus->Height(), 11);
  auto px = [](TBitmap* b, int x, int y) { return COLORREF(b->Canvas()->Pixels(x, y)); };
  EXPECT_EQ(px(plus, 0, 0), Rgb(Office11ExpandButtonColor1));
  EXPECT_EQ(px(plus, 5, 0), Rgb(Office11ExpandButtonColor2));
  EXPECT_EQ(px(plus, 5, 3), RGB(0, 0, 0));   // the plus has a vertical bar
  EXPECT_NE(px(minus, 5, 3), RGB(0, 0, 0));  // the minus has not
  EXPECT_EQ(px(minus, 3, 5), RGB(0, 0, 0));
  ReleaseOffice11Scheme();
  EXPECT_NE(Office11ExpandButtonBitmap(false), nullptr);
  ReleaseOffice11Scheme();
  EXPECT_EQ(Office11ExpandButtonBitmap(false), nullptr);
  ReleaseOffice11Scheme();  // one release too many changes nothing
  AcquireOffice11Scheme();
  EXPECT_NE(Office11ExpandButtonBitmap(true), nullptr);
  ReleaseOffice11Scheme();
}

class Office11Fills : public CanvasProbe {};

TEST_F(Office11Fills, GradientBandsAndBlends) {
  // 300 pixels: 256 bands of one or two pixels from the first colour to the second.
  Bmp.SetSize(320, 80);
  Fill(Rect(0, 0, 320, 80), clWhite);
  FillGradientRect(DC(), Rect(10, 5, 310, 15), TColor(RGB(0, 0, 0)), TColor(RGB(255, 0, 0)), true);
  std::vector<COLORREF> bands;
  int widest = 0, run = 0;
  for (int x = 10; x < 310; ++x) {
    if (bands.empty() || Px(x, 8) != bands.back()) {
      bands.push_back(Px(x, 8));
      run = 0;
    }
    widest = std::max(widest, ++run);
    EXPECT_EQ(Px(x, 5), Px(x, 14));
  }
  EXPECT_EQ(bands.size(), 256u);
  EXPECT_EQ(widest, 2);
  EXPECT_EQ(bands.front(), RGB(0, 0, 0));
  EXPECT_EQ(bands.back(), RGB(255, 0, 0));
  EXPECT_EQ(Px(9, 8), 0xFFFFFFu);
  EXPECT_EQ(Px(310, 8), 0xFFFFFFu);
  EXPECT_EQ(Px(20, 4), 0xFFFFFFu);
  EXPECT_EQ(Px(20, 15), 0xFFFFFFu);

  // One pixel wide: one band in the first colour. Vertical: rows change, columns do not.
  FillGradientRect(DC(), Rect(0, 20, 1, 30), clBlue, clRed, true);
  EXPECT_EQ(Px(0, 25), RGB(0, 0, 255));
  FillGradientRect(DC(), Rect(0, 40, 20, 44), TColor(RGB(0, 0, 0)), TColor(RGB(0, 90, 0)), false);
  EXPECT_EQ(Px(5, 40), RGB(0, 0, 0));
  EXPECT_EQ(Px(5, 41), RGB(0, 30, 0));
  EXPECT_EQ(Px(5, 43), RGB(0, 90, 0));
  EXPECT_EQ(Px(19, 43), RGB(0, 90, 0));
  // Equal colours fill at once; an empty rectangle draws nothing.
  FillGradientRect(DC(), Rect(30, 40, 60, 70), clYellow, TColor(RGB(255, 255, 0)), true);
  EXPECT_EQ(Ink(Rect(30, 40, 60, 70)).Count, 30 * 30);
  EXPECT_EQ(Px(45, 55), RGB(255, 255, 0));
  FillGradientRect(DC(), Rect(70, 40, 70, 70), clBlack, clRed, true);
  EXPECT_EQ(Ink(Rect(60, 40, 80, 70)).Count, 0);

  FillColorRect(DC(), Rect(100, 40, 105, 45), clBtnShadow);
  EXPECT_EQ(Px(102, 42), GetSysColor(COLOR_BTNSHADOW));
}

TEST(Office11Blend, WeightsTheFirstColour) {
  EXPECT_EQ(Rgb(BlendColors(clWhite, clBlack, 25)), RGB(64, 64, 64));
  EXPECT_EQ(Rgb(BlendColors(clWhite, clBlack, 100)), RGB(255, 255, 255));
  EXPECT_EQ(Rgb(BlendColors(clWhite, clBlack, 0)), RGB(0, 0, 0));
  EXPECT_EQ(Rgb(BlendColors(clWhite, clWhite, 150)), RGB(255, 255, 255));  // limited to 255
  EXPECT_EQ(Rgb(BlendColors(clBtnFace, clWindow, 22)), RGB(246, 245, 243));
}

}  // namespace
