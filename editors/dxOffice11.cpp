// The Office 2003 colour scheme and its gradient fills.
#include "editors/dxOffice11.h"

#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxGraphicsUtils.h"
#include "editors/dxThemeManager.h"
#include "gui/Pictures.h"
#include "gui/WinGDI.h"

#include <algorithm>
#include <memory>

TColor Office11Color00, Office11Color01, Office11Color02, Office11Color03, Office11Color04, Office11Color11,
    Office11Color14, Office11Color15, Office11Color16, Office11Color18, Office11Color21, Office11Color22,
    Office11Color23, Office11Color24, Office11Color25, Office11Color30, Office11Color31, Office11Color32,
    Office11Color33, Office11Color34, Office11Color35;
TColor Office11HighlightColor, Office11BlendedShadowColor;

namespace {

int gSchemeNumber = 0;
bool gFromTheme = false;
int gUsage = 0;
std::unique_ptr<TBitmap> gPlus, gMinus;

// What a colour is without a theme scheme.
enum TFallbackKind { fkColor, fkBlend, fkHot, fkPressed, fkSelected };
struct TFallback {
  TFallbackKind Kind;
  TColor A = clNone, B = clNone;
  int Percent = 0;
};
TFallback Plain(TColor c) { return {fkColor, c}; }
TFallback Blend(TColor a, TColor b, int percent) { return {fkBlend, a, b, percent}; }

// One row per colour: its variable, the blue, olive and silver scheme entries (the warm
// highlight colours are the same in all three), and the colour without a theme scheme.
struct TSchemeEntry {
  TColor* Target;
  COLORREF Scheme[3];
  TFallback Fallback;
};

const TSchemeEntry kScheme[] = {
    {&Office11Color00, {RGB(221, 236, 254), RGB(244, 247, 222), RGB(243, 244, 250)}, Blend(clBtnFace, clWindow, 22)},
    {&Office11Color01, {RGB(129, 169, 226), RGB(183, 198, 145), RGB(153, 151, 181)}, Blend(clBtnFace, clWindow, 96)},
    {&Office11Color02, {RGB(158, 190, 245), RGB(217, 217, 167), RGB(215, 215, 229)}, Plain(clBtnFace)},
    {&Office11Color03, {RGB(195, 218, 249), RGB(242, 240, 228), RGB(243, 243, 247)}, Blend(clBtnFace, clWindow, 20)},
    {&Office11Color04, {RGB(0, 53, 145), RGB(96, 119, 107), RGB(118, 116, 146)}, Plain(clBtnShadow)},
    {&Office11Color11, {RGB(123, 164, 224), RGB(181, 196, 143), RGB(147, 145, 176)}, Plain(clBtnFace)},
    {&Office11Color14, {RGB(106, 140, 203), RGB(96, 128, 88), RGB(110, 109, 143)}, Blend(clBtnShadow, clWindow, 70)},
    {&Office11Color15, {RGB(241, 249, 255), RGB(244, 247, 222), RGB(255, 255, 255)}, Plain(clWhite)},
    {&Office11Color16, {RGB(42, 102, 201), RGB(116, 134, 94), RGB(122, 121, 153)}, Plain(clBtnShadow)},
    {&Office11Color18, {RGB(0, 45, 150), RGB(117, 141, 94), RGB(124, 124, 148)}, Plain(clBtnShadow)},
    {&Office11Color21, {RGB(0, 0, 128), RGB(63, 93, 56), RGB(75, 75, 111)}, Plain(clHighlight)},
    {&Office11Color22, {RGB(255, 244, 204), RGB(255, 244, 204), RGB(255, 244, 204)}, {fkHot}},
    {&Office11Color23, {RGB(255, 208, 145), RGB(255, 208, 145), RGB(255, 208, 145)}, {fkHot}},
    {&Office11Color24, {RGB(255, 211, 142), RGB(255, 211, 142), RGB(255, 211, 142)}, {fkPressed}},
    {&Office11Color25, {RGB(254, 145, 78), RGB(254, 145, 78), RGB(254, 145, 78)}, {fkPressed}},
    {&Office11Color30, {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)}, Plain(clBtnText)},
    {&Office11Color31, {RGB(141, 141, 141), RGB(141, 141, 141), RGB(141, 141, 141)}, Plain(clGrayText)},
    {&Office11Color32, {RGB(190, 218, 251), RGB(175, 186, 145), RGB(229, 229, 235)}, Plain(clBtnFace)},
    {&Office11Color33, {RGB(251, 230, 148), RGB(251, 230, 148), RGB(251, 230, 148)}, {fkSelected}},
    {&Office11Color34, {RGB(196, 218, 250), RGB(242, 241, 228), RGB(243, 243, 247)}, Plain(clBtnFace)},
    {&Office11Color35, {RGB(0, 45, 150), RGB(96, 128, 88), RGB(124, 124, 148)}, Plain(clBtnShadow)},
};

TColor FallbackColor(const TFallback& f) {
  switch (f.Kind) {
    case fkColor: return TColor(ColorToRGB(f.A));  // system colours as their current value
    case fkBlend: return BlendColors(f.A, f.B, f.Percent);
    case fkHot: return ScreenNearestColor(BlendSystemColors(-2, 30, 72));
    case fkPressed: return ScreenNearestColor(BlendSystemColors(14, 44, 40));
    case fkSelected: return BlendSystemColors(41, 11, 48);
  }
  return clNone;
}

void LoadBitmaps() {
  gPlus = std::make_unique<TBitmap>();
  gPlus->LoadFromResourceName("DXEXPANDBUTTON_PLUS");
  gMinus = std::make_unique<TBitmap>();
  gMinus->LoadFromResourceName("DXEXPANDBUTTON_MINUS");
}

void FreeBitmaps() {
  gPlus.reset();
  gMinus.reset();
}

}  // namespace

int DetectOffice11Scheme() {
  if (!VisualStylesActive()) return 0;
  String file, colour, size;
  if (GetCurrentThemeName(file, colour, size) != S_OK) return 0;
  if (UpperCase(ExtractFileName(file)) != "LUNA.MSSTYLES") return 0;
  static const struct {
    const char* Name;
    int Scheme;
  } kColourNames[] = {{"NORMALCOLOR", 1}, {"HOMESTEAD", 2}, {"METALLIC", 3}};
  const String name = UpperCase(colour);
  for (const auto& c : kColourNames)
    if (name == c.Name) return c.Scheme;
  return 0;
}

void ComputeOffice11Colors() {
  gSchemeNumber = DetectOffice11Scheme();
  gFromTheme = VisualStylesActive() && gSchemeNumber != 0;
  for (const TSchemeEntry& e : kScheme)
    *e.Target = gFromTheme ? TColor(e.Scheme[gSchemeNumber - 1]) : FallbackColor(e.Fallback);
  Office11HighlightColor = gFromTheme ? clWhite : TColor(ColorToRGB(clBtnHighlight));
  Office11BlendedShadowColor = BlendColors(Office11Color04, Office11Color11, 50);
}

void AcquireOffice11Scheme() {
  if (gUsage == 0) {
    ComputeOffice11Colors();
    LoadBitmaps();
  }
  ++gUsage;
}

void RefreshOffice11Scheme() {
  ComputeOffice11Colors();
  if (gUsage != 0) {
    FreeBitmaps();
    LoadBitmaps();
  }
}

void ReleaseOffice11Scheme() {
  if (gUsage == 0) return;
  if (--gUsage == 0) FreeBitmaps();
}

int Office11SchemeNumber() { return gSchemeNumber; }
bool Office11SchemeFromTheme() { return gFromTheme; }
TBitmap* Office11ExpandButtonBitmap(bool Expanded) { return Expanded ? gMinus.get() : gPlus.get(); }

TColor BlendColors(TColor Colour1, TColor Colour2, int Percent) {
  const COLORREF c1 = ColorToRGB(Colour1), c2 = ColorToRGB(Colour2);
  auto channel = [&](int shift) {
    const int v = MulDiv(int((c2 >> shift) & 0xFF), 100 - Percent, 100) + MulDiv(int((c1 >> shift) & 0xFF), Percent, 100);
    return COLORREF(std::min(v, 255)) << shift;
  };
  return ScreenNearestColor(TColor(channel(0) | channel(8) | channel(16)));
}

void FillColorRect(HDC DC, const TRect& R, TColor Colour) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Colour));
  FillRect(DC, R, brush);
  DeleteObject(brush);
}

void FillGradientRect(HDC DC, const TRect& R, TColor Colour1, TColor Colour2, bool Horizontal) {
  const COLORREF c1 = ColorToRGB(Colour1), c2 = ColorToRGB(Colour2);
  if (c1 == c2) {
    FillColorRect(DC, R, Colour1);
    return;
  }
  const int extent = Horizontal ? R.Width() : R.Height();
  if (extent <= 0) return;
  const int steps = std::min(extent, 256);
  const int start = Horizontal ? R.Left : R.Top, end = Horizontal ? R.Right : R.Bottom;
  auto mix = [&](int i, int shift) {
    const int a = int((c1 >> shift) & 0xFF), b = int((c2 >> shift) & 0xFF);
    return COLORREF(a + MulDiv(i, b - a, steps - 1)) << shift;
  };
  int from = start;
  for (int i = 0; i < steps; ++i) {
    const int to = start + MulDiv(i + 1, extent, steps);
    const COLORREF colour = steps == 1 ? c1 : mix(i, 0) | mix(i, 8) | mix(i, 16);
    if (to > from) {
      const TRect band = Horizontal ? TRect{from, R.Top, to, R.Bottom} : TRect{R.Left, from, R.Right, to};
      FillColorRect(DC, band, TColor(colour));
    }
    from = to;
    if (to >= end) break;
  }
}
