#pragma once
// Colours: TColor (an RGB value or a system colour), the named colours and the system
// colours, and colours to and from their names.
#include "core/System.h"
#include "gui/SysColors.h"

#include <functional>

// 0x00BBGGRR, or 0xFF000000 | system colour index.
using TColor = Integer;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = clSilver, clDkGray = clGray, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clSystemColor = Integer(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR, clBackground = clSystemColor | COLOR_BACKGROUND,
                 clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION,
                 clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION, clMenu = clSystemColor | COLOR_MENU,
                 clWindow = clSystemColor | COLOR_WINDOW, clWindowFrame = clSystemColor | COLOR_WINDOWFRAME,
                 clMenuText = clSystemColor | COLOR_MENUTEXT, clWindowText = clSystemColor | COLOR_WINDOWTEXT,
                 clCaptionText = clSystemColor | COLOR_CAPTIONTEXT,
                 clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER,
                 clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER,
                 clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE, clHighlight = clSystemColor | COLOR_HIGHLIGHT,
                 clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT, clBtnFace = clSystemColor | COLOR_BTNFACE,
                 clBtnShadow = clSystemColor | COLOR_BTNSHADOW, clGrayText = clSystemColor | COLOR_GRAYTEXT,
                 clBtnText = clSystemColor | COLOR_BTNTEXT,
                 clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT,
                 clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT, cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW,
                 cl3DLight = clSystemColor | COLOR_3DLIGHT, clInfoText = clSystemColor | COLOR_INFOTEXT,
                 clInfoBk = clSystemColor | COLOR_INFOBK, clHotLight = clSystemColor | COLOR_HOTLIGHT,
                 clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION,
                 clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION,
                 clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT, clMenuBar = clSystemColor | COLOR_MENUBAR;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour resolved to its RGB value; any other value (clNone and clDefault too) is
// returned as it is, so callers can still test for those two afterwards.
COLORREF ColorToRGB(TColor Color);
// The colour's name (clBtnFace), else "$" and eight hex digits.
String ColorToString(TColor Color);
// A name (any case) or a number ($hex or decimal); EConvertError for anything else.
TColor StringToColor(const String& S);
bool ColorToIdent(TColor Color, String& Ident);
bool IdentToColor(const String& Ident, TColor& Color);
// Every named colour, in list order (the 16 classic colours, four extras, the system colours
// alphabetically with clDefault and clNone among them).
void GetColorValues(const std::function<void(const String& Name)>& Proc);
