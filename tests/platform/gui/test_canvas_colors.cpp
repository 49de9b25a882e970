// Colour values, names, the classic system colours and the 96-DPI metrics.
#include "core/Exceptions.h"
#include "gui/Graphics.h"
#include <gtest/gtest.h>

TEST(Colors, SystemColoursAreTheClassicScheme) {
  struct Row {
    int Index;
    COLORREF Rgb;
  };
  const Row rows[] = {
      {COLOR_SCROLLBAR, RGB(0xD4, 0xD0, 0xC8)},  {COLOR_BACKGROUND, RGB(0x3A, 0x6E, 0xA5)},
      {COLOR_ACTIVECAPTION, RGB(0x0A, 0x24, 0x6A)}, {COLOR_INACTIVECAPTION, RGB(0x80, 0x80, 0x80)},
      {COLOR_WINDOW, RGB(0xFF, 0xFF, 0xFF)},      {COLOR_WINDOWFRAME, 0},
      {COLOR_WINDOWTEXT, 0},                      {COLOR_CAPTIONTEXT, RGB(0xFF, 0xFF, 0xFF)},
      {COLOR_HIGHLIGHT, RGB(0x0A, 0x24, 0x6A)},   {COLOR_HIGHLIGHTTEXT, RGB(0xFF, 0xFF, 0xFF)},
      {COLOR_BTNFACE, RGB(0xD4, 0xD0, 0xC8)},     {COLOR_BTNSHADOW, RGB(0x80, 0x80, 0x80)},
      {COLOR_GRAYTEXT, RGB(0x80, 0x80, 0x80)},    {COLOR_BTNTEXT, 0},
      {COLOR_INACTIVECAPTIONTEXT, RGB(0xD4, 0xD0, 0xC8)}, {COLOR_BTNHIGHLIGHT, RGB(0xFF, 0xFF, 0xFF)},
      {COLOR_3DDKSHADOW, RGB(0x40, 0x40, 0x40)},  {COLOR_3DLIGHT, RGB(0xD4, 0xD0, 0xC8)},
      {COLOR_INFOTEXT, 0},                        {COLOR_INFOBK, RGB(0xFF, 0xFF, 0xE1)},
      {COLOR_HOTLIGHT, RGB(0x00, 0x00, 0x80)},    {COLOR_GRADIENTACTIVECAPTION, RGB(0xA6, 0xCA, 0xF0)},
      {COLOR_GRADIENTINACTIVECAPTION, RGB(0xC0, 0xC0, 0xC0)}, {COLOR_MENUHILIGHT, RGB(0x0A, 0x24, 0x6A)},
      {COLOR_MENUBAR, RGB(0xD4, 0xD0, 0xC8)},     {25, 0}, {31, 0}, {-1, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Index);
    EXPECT_EQ(GetSysColor(r.Index), r.Rgb);
  }
}

TEST(Colors, ColorToRgbResolvesSystemColoursOnly) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(0xD4, 0xD0, 0xC8));
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(0x0A, 0x24, 0x6A));
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(clNavy), RGB(0, 0, 0x80));
  EXPECT_EQ(ColorToRGB(clNone), COLORREF(clNone));
  EXPECT_EQ(ColorToRGB(clDefault), COLORREF(clDefault));
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
  EXPECT_EQ(clBtnFace, TColor(0xFF00000F));
  EXPECT_EQ(clWindow, TColor(0xFF000005));
  EXPECT_EQ(clWindowText, TColor(0xFF000008));
}

TEST(Colors, NamesAndNumbersRoundTrip) {
  struct Row {
    TColor Value;
    const char* Text;
  };
  const Row rows[] = {
      {clBlack, "clBlack"},         {clRed, "clRed"},           {clMoneyGreen, "clMoneyGreen"},
      {clBtnFace, "clBtnFace"},     {cl3DDkShadow, "cl3DDkShadow"}, {clNone, "clNone"},
      {clDefault, "clDefault"},     {clSilver, "clSilver"},     {0x123456, "$00123456"},
      {TColor(0xFF00001D), "clMenuHighlight"}, {TColor(0xFF000019), "$FF000019"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Text);
    EXPECT_EQ(ColorToString(r.Value), r.Text);
    EXPECT_EQ(StringToColor(r.Text), r.Value);
  }
  EXPECT_EQ(StringToColor("CLBTNFACE"), clBtnFace);
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("$FF0000"), clBlue);
  EXPECT_THROW(StringToColor("clBlurple"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
  TColor c = 0;
  EXPECT_FALSE(IdentToColor("Red", c));
  String name;
  EXPECT_FALSE(ColorToIdent(0x010203, name));
}

TEST(Colors, NamedColoursInListOrder) {
  std::vector<String> names;
  GetColorValues([&](const String& n) { names.push_back(n); });
  ASSERT_EQ(names.size(), 52u);
  EXPECT_EQ(names[0], "clBlack");
  EXPECT_EQ(names[15], "clWhite");
  EXPECT_EQ(names[16], "clMoneyGreen");
  EXPECT_EQ(names[19], "clMedGray");
  EXPECT_EQ(names[20], "clActiveBorder");
  EXPECT_EQ(names[29], "clDefault");
  EXPECT_EQ(names[45], "clNone");
  EXPECT_EQ(names[51], "clWindowText");
}

TEST(Colors, MetricsAt96Dpi) {
  struct Row {
    int Index, Value;
  };
  const Row rows[] = {
      {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CYVTHUMB, 17}, {SM_CXBORDER, 1}, {SM_CYBORDER, 1},
      {SM_CXEDGE, 2},     {SM_CYEDGE, 2},     {SM_CXDOUBLECLK, 4}, {SM_CXMENUCHECK, 13}, {SM_CXSMICON, 16},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Index);
    EXPECT_EQ(GetSystemMetrics(r.Index), r.Value);
  }
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(GetDeviceCaps(GetScreenDC(), LOGPIXELSY), 96);
}
