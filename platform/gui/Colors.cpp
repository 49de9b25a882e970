// Colours by name and number, and system colours resolved to their values.
#include "gui/Colors.h"

#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/Format.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

namespace {

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
    throw EConvertError(Format(SInvalidInteger, {S}));
  return TColor(std::uint32_t(v));
}

void GetColorValues(const std::function<void(const String& Name)>& Proc) {
  for (const auto& c : kColorNames) Proc(c.Name);
}
