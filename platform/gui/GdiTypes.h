#pragma once
// The types the drawing functions share: handles (the layer's own objects, opaque to callers,
// made and freed only through the functions), colours, the structures and the flags and codes
// with their platform numbers.
// Declares TEXTMETRIC.
#include "core/System.h"
#include "core/Types.h"

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

// ---------------------------------------------------------------- handles
// Every drawing object derives from HGDIOBJ__, so any handle converts to HGDIOBJ as the
// platform's handles do. The counters belong to the layer: an object selected into a device
// context or kept by SaveDC lives until it is deselected, even when deleted meanwhile.
struct HGDIOBJ__ {
  virtual ~HGDIOBJ__() = default;
  HGDIOBJ__(const HGDIOBJ__&) = delete;
  HGDIOBJ__& operator=(const HGDIOBJ__&) = delete;
  int GdiRefs = 0;
  bool GdiDeleted = false;
  bool GdiStock = false;

protected:
  HGDIOBJ__() = default;
};
struct HPEN__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HDC__;

using HGDIOBJ = HGDIOBJ__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HRGN = HRGN__*;
using HBITMAP = HBITMAP__*;
using HDC = HDC__*;

// ---------------------------------------------------------------- colours
constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr Byte GetRValue(COLORREF c) { return Byte(c & 0xFF); }
constexpr Byte GetGValue(COLORREF c) { return Byte((c >> 8) & 0xFF); }
constexpr Byte GetBValue(COLORREF c) { return Byte((c >> 16) & 0xFF); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// System colour indexes.
enum : int {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
  COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30,
  COLOR_DESKTOP = COLOR_BACKGROUND, COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW,
  COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT, COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT, COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT
};

// ---------------------------------------------------------------- metrics (96 DPI)
enum : int {
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
  SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
  SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
  SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
  SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31,
  SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXMINTRACK = 34, SM_CYMINTRACK = 35,
  SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38, SM_CYICONSPACING = 39,
  SM_CXFIXEDFRAME = SM_CXDLGFRAME, SM_CYFIXEDFRAME = SM_CYDLGFRAME,
  SM_CXSIZEFRAME = SM_CXFRAME, SM_CYSIZEFRAME = SM_CYFRAME,
  SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51,
  SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_CXDRAG = 68, SM_CYDRAG = 69,
  SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
  SM_CMONITORS = 80, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84
};
// Whether the visual-styles backend reports an active theme (UxTheme.h); the program runs
// classic, so every caller takes its classic drawing path.
BOOL IsThemeActive();
inline BOOL IsAppThemed() { return 0; }

// ---------------------------------------------------------------- device contexts

enum : int {
  HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
  NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
  PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113
};

// ---------------------------------------------------------------- drawing objects
enum : int {
  PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
  PS_INSIDEFRAME = 6, PS_STYLE_MASK = 0xF, PS_GEOMETRIC = 0x10000, PS_COSMETIC = 0
};
enum : int { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : int { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
enum : int {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
  NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
  OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14, SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17
};
enum : int {
  FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
  FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900
};
enum : int {
  ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
  HANGEUL_CHARSET = 129, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, OEM_CHARSET = 255
};
enum : int { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };

struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  TPoint lopnWidth;  // X is the width
  COLORREF lopnColor = 0;
};
struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  std::intptr_t lbHatch = 0;  // hatch style, or the pattern's HBITMAP
};
struct LOGFONT {
  int lfHeight = 0;        // < 0: character height; > 0: cell height; 0: default
  int lfWidth = 0;
  int lfEscapement = 0;    // tenths of a degree, counter-clockwise
  int lfOrientation = 0;
  int lfWeight = FW_NORMAL;
  Byte lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0;
  Byte lfCharSet = DEFAULT_CHARSET;
  Byte lfOutPrecision = 0, lfClipPrecision = 0, lfQuality = 0;
  Byte lfPitchAndFamily = DEFAULT_PITCH;
  String lfFaceName;
};
struct BITMAP {
  int bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
  Word bmPlanes = 1, bmBitsPixel = 32;
  void* bmBits = nullptr;
};

enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8 };

// ---------------------------------------------------------------- attributes
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
  R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
  R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
  R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
enum : UINT {
  TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
  TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256
};
enum : int { ALTERNATE = 1, WINDING = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4, STRETCH_HALFTONE = HALFTONE };

// ---------------------------------------------------------------- mapping
enum : int {
  MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
  MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8
};

// ---------------------------------------------------------------- lines and shapes
enum : UINT { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };

// ---------------------------------------------------------------- edges and frame controls
enum : UINT {
  BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
  BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
  EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
  EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};
enum : UINT {
  BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
  BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT, BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
  BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT, BF_RECT = 0xF, BF_DIAGONAL = 0x10,
  BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000
};

enum : UINT { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum : UINT {
  DFCS_CAPTIONCLOSE = 0, DFCS_CAPTIONMIN = 1, DFCS_CAPTIONMAX = 2, DFCS_CAPTIONRESTORE = 3,
  DFCS_CAPTIONHELP = 4,
  DFCS_MENUARROW = 0, DFCS_MENUCHECK = 1, DFCS_MENUBULLET = 2,
  DFCS_SCROLLUP = 0, DFCS_SCROLLDOWN = 1, DFCS_SCROLLLEFT = 2, DFCS_SCROLLRIGHT = 3,
  DFCS_SCROLLCOMBOBOX = 5, DFCS_SCROLLSIZEGRIP = 8, DFCS_SCROLLSIZEGRIPRIGHT = 0x10,
  DFCS_BUTTONCHECK = 0, DFCS_BUTTONRADIOIMAGE = 1, DFCS_BUTTONRADIOMASK = 2, DFCS_BUTTONRADIO = 4,
  DFCS_BUTTON3STATE = 8, DFCS_BUTTONPUSH = 0x10,
  DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
  DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000
};

// ---------------------------------------------------------------- raster operations
enum : DWORD {
  SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
  MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09,
  PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};

// Device-independent pixel access: 32-bit (B, G, R, unused) or 24-bit rows; a negative
// height means top-down rows.
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  int biWidth = 0, biHeight = 0;
  Word biPlanes = 1, biBitCount = 32;
  DWORD biCompression = 0, biSizeImage = 0;
  int biXPelsPerMeter = 0, biYPelsPerMeter = 0;
  DWORD biClrUsed = 0, biClrImportant = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
};
enum : UINT { DIB_RGB_COLORS = 0, BI_RGB = 0 };

// ---------------------------------------------------------------- text
enum : UINT {
  DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
  DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
  DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
  DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000,
  DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000
};
struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;    // in average character widths; 0 means 8
  int iLeftMargin = 0;   // logical units
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;  // characters processed, filled in
};
enum : UINT {
  ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_RTLREADING = 0x80, ETO_IGNORELANGUAGE = 0x1000
};
struct TEXTMETRIC {
  int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
  int tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0;
  int tmDigitizedAspectX = 96, tmDigitizedAspectY = 96;
  char32_t tmFirstChar = 32, tmLastChar = 0xFFFF, tmDefaultChar = '?', tmBreakChar = ' ';
  Byte tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 0;
};

// ---------------------------------------------------------------- regions
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = ERROR };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
