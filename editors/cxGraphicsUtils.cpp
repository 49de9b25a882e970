// Rectangle, text-flag and colour helpers of the editor library.
#include "editors/cxGraphicsUtils.h"

#include "core/SysUtils.h"
#include "gui/Window.h"
#include "gui/WinGDI.h"

#include <algorithm>

void DeflateRectBy(TRect& R, const TRect& Margins) {
  R.Left += Margins.Left;
  R.Top += Margins.Top;
  R.Right -= Margins.Right;
  R.Bottom -= Margins.Bottom;
}

UINT TextFlagsToDrawTextFlags(TcxTextFlags Flags) {
  static const struct {
    TcxTextFlags Flag;
    UINT Format;
  } kAdds[] = {
      {txAlignRight, DT_RIGHT},     {txAlignHCenter, DT_CENTER},         {txAlignBottom, DT_BOTTOM},
      {txAlignVCenter, DT_VCENTER}, {txSingleLine, DT_SINGLELINE},       {txNoClip, DT_NOCLIP},
      {txExpandTabs, DT_EXPANDTABS}, {txEndEllipsis, DT_END_ELLIPSIS},   {txCalcRect, DT_CALCRECT},
      {txPathEllipsis, DT_PATH_ELLIPSIS},
  };
  UINT format = DT_NOPREFIX;
  for (const auto& a : kAdds)
    if (Flags & a.Flag) format |= a.Format;
  if (Flags & txShowPrefix) format &= ~UINT(DT_NOPREFIX);
  if (Flags & txWordBreak) {
    format |= DT_WORDBREAK;
    if (!(Flags & txNoCharBreak)) format |= DT_EDITCONTROL;
  }
  return format;
}

TColor ScreenNearestColor(TColor Color) {
  HDC dc = GetDC(0);
  COLORREF c = GetNearestColor(dc, ColorToRGB(Color));
  ReleaseDC(0, dc);
  return TColor(c);
}

TColor BlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent) {
  const COLORREF face = ColorToRGB(clBtnFace), highlight = ColorToRGB(clHighlight), window = ColorToRGB(clWindow);
  if (face == 0 || face == 0xFFFFFF) return TColor(highlight);
  auto channel = [&](int shift) {
    auto part = [shift](COLORREF c, int percent) { return MulDiv(int((c >> shift) & 0xFF), percent, 100); };
    int v = part(face, FacePercent) + part(highlight, HighlightPercent) + part(window, WindowPercent);
    return COLORREF(std::clamp(v, 0, 255)) << shift;
  };
  return TColor(channel(0) | channel(8) | channel(16));
}

TColor PressedBlendColor() { return ScreenNearestColor(BlendSystemColors(14, 44, 40)); }

TColor HotTrackBlendColor() { return ScreenNearestColor(BlendSystemColors(-2, 30, 72)); }

bool IsMirroredTextCharset(int Charset, const String& Text) {
  // The program's default font charset is the Chinese one.
  if (Charset == DEFAULT_CHARSET) Charset = GB2312_CHARSET;
  if (!Text.empty() && static_cast<unsigned char>(Text[0]) < 0x80) return false;
  return Charset == 177 || Charset == 178;
}
