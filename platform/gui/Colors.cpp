// Colours by name and number, the classic system colour scheme and the 96-DPI metrics.
#include "gui/QtBridge_p.h"
#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace {

// The classic scheme as RRGGBB, by system colour index.
constexpr std::array<std::uint32_t, 31> kClassicScheme = {
    0xD4D0C8, 0x3A6EA5, 0x0A246A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,  // 0-7
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,  // 8-15
    0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,  // 16-23
    0xFFFFE1, 0x000000, 0x000080, 0xA6CAF0, 0xC0C0C0, 0x0A246A, 0xD4D0C8,            // 24-30
};

struct TColorName {
  TColor Value;
  const char* Name;
};
// In list order: the script and the colour pickers show them so.
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

QSize ScreenSize() {
  if (QGuiApplication::instance())
    if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
  return QSize(1024, 768);
}

}  // namespace

// Layouts write colour properties by name where the colour has one and read either form.
[[maybe_unused]] static const bool kColorIdentsRegistered = [] {
  RegisterIntegerConsts(
      "TColor",
      [](const String& ident, Int64& value) {
        TColor c;
        if (!IdentToColor(ident, c)) return false;
        value = c;
        return true;
      },
      [](Int64 value, String& ident) { return ColorToIdent(TColor(value), ident); });
  return true;
}();

COLORREF GetSysColor(int Index) {
  if (Index < 0 || Index >= int(kClassicScheme.size())) return 0;
  std::uint32_t rgb = kClassicScheme[std::size_t(Index)];
  return RGB(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

COLORREF GetNearestColor(HDC, COLORREF Color) { return Color; }

HBRUSH GetSysColorBrush(int Index) {
  static std::array<TGdiBrush*, 31> brushes{};
  if (Index < 0 || Index >= int(brushes.size())) return nullptr;
  TGdiBrush*& b = brushes[std::size_t(Index)];
  if (!b) {
    b = new TGdiBrush;
    b->GdiStock = true;
    b->Color = GetSysColor(Index);
    b->SysColor = Index;
  }
  return b;
}

int GetSystemMetrics(int Index) {
  switch (Index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXFULLSCREEN: return ScreenSize().width();
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return ScreenSize().height();
    case SM_CYFULLSCREEN: return ScreenSize().height() - 19;
    case SM_CXMAXIMIZED: return ScreenSize().width() + 8;
    case SM_CYMAXIMIZED: return ScreenSize().height() + 8;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: case SM_CYMENU: return 19;
    case SM_CXBORDER: case SM_CYBORDER: case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CMONITORS:
      return QGuiApplication::instance() ? int(QGuiApplication::screens().size()) : 1;
    default: return 0;
  }
}

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return COLORREF(Color);
}

bool ColorToIdent(TColor Color, String& Ident) {
  for (const auto& c : kColorNames)
    if (c.Value == Color) {
      Ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const String& Ident, TColor& Color) {
  for (const auto& c : kColorNames)
    if (SameText(Ident, c.Name)) {
      Color = c.Value;
      return true;
    }
  return false;
}

String ColorToString(TColor Color) {
  String s;
  if (ColorToIdent(Color, s)) return s;
  return "$" + IntToHex(Color, 8);
}

TColor StringToColor(const String& S) {
  TColor c;
  if (IdentToColor(S, c)) return c;
  Int64 v;
  if (!TryStrToInt64(S, v) || v < INT32_MIN || v > Int64(UINT32_MAX))
    throw EConvertError("'" + S + "' is not a valid integer value");
  return TColor(std::uint32_t(v));
}

void GetColorValues(const std::function<void(const String& Name)>& Proc) {
  for (const auto& c : kColorNames) Proc(c.Name);
}
