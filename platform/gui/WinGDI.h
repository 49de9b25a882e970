#pragma once
// The drawing functions the system calls by their platform names, with the platform's
// semantics: a device context (HDC) holds the selected pen, brush and font, colours, modes,
// mapping and clip region; rectangles exclude their right and bottom edges, lines their end
// point; text is placed by the top-left of its cell. Handles are the layer's own objects:
// opaque to callers, made and freed only through these functions.
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
// The classic scheme; unknown indexes give 0.
COLORREF GetSysColor(int Index);
// A stock brush of a system colour (never deleted).
HBRUSH GetSysColorBrush(int Index);
// The display has true colour: every colour is its own nearest.
COLORREF GetNearestColor(HDC DC, COLORREF Color);

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
int GetSystemMetrics(int Index);
// Visual styles are off: every caller takes its classic drawing path.
inline BOOL IsThemeActive() { return 0; }
inline BOOL IsAppThemed() { return 0; }

// ---------------------------------------------------------------- device contexts
// A device context on nothing: it measures text in the screen's terms and draws nowhere.
// It stands behind GetDC(0); callers must not delete it.
HDC GetScreenDC();
// A memory context holding a 1 x 1 monochrome bitmap until another one is selected.
HDC CreateCompatibleDC(HDC DC);
BOOL DeleteDC(HDC DC);
int SaveDC(HDC DC);                 // the saved level, counted from 1; 0 on failure
BOOL RestoreDC(HDC DC, int SavedDC);  // negative: that many levels back

enum : int {
  HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
  NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
  PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113
};
int GetDeviceCaps(HDC DC, int Index);

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

HGDIOBJ GetStockObject(int Object);
// Selects a pen, brush, font or bitmap; returns the one it replaces. A region becomes the
// clip region (the result is then the region type).
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT Type);
enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8 };
BOOL DeleteObject(HGDIOBJ Object);
UINT GetObjectType(HGDIOBJ Object);
int GetObject(HFONT Font, LOGFONT* Out);
int GetObject(HPEN Pen, LOGPEN* Out);
int GetObject(HBRUSH Brush, LOGBRUSH* Out);
int GetObject(HBITMAP Bitmap, BITMAP* Out);

// A pen wider than 1 made here is cosmetic and draws solid whatever its style.
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN& Pen);
// A geometric pen keeps its dashes at any width.
HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH& Brush);
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
// An 8 x 8 (or larger) tile from the canvas origin; a monochrome pattern draws its 0 bits in
// the text colour and its 1 bits in the background colour.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush);
HFONT CreateFontIndirect(const LOGFONT& Font);
HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                 DWORD Quality, DWORD PitchAndFamily, const String& FaceName);
// Device-compatible colour bitmap (32 bits per pixel, white).
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
// BitsPerPixel 1 gives a monochrome bitmap; Bits, when given, are rows of WORD-aligned
// pixels in that depth (1 or 32), top row first.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);

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

COLORREF SetTextColor(HDC DC, COLORREF Color);  // the previous colour
COLORREF GetTextColor(HDC DC);
COLORREF SetBkColor(HDC DC, COLORREF Color);
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
int GetTextCharacterExtra(HDC DC);
// Spreads Extra pixels over the next text's Breaks break characters (blanks).
BOOL SetTextJustification(HDC DC, int Extra, int Breaks);
int SetROP2(HDC DC, int Mode);
int GetROP2(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
int GetPolyFillMode(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);
int GetStretchBltMode(HDC DC);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetBrushOrgEx(HDC DC, TPoint* Org);

// ---------------------------------------------------------------- mapping
enum : int {
  MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5,
  MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8
};
int SetMapMode(HDC DC, int Mode);
int GetMapMode(HDC DC);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetWindowOrgEx(HDC DC, TPoint* Org);
BOOL OffsetWindowOrgEx(HDC DC, int DX, int DY, TPoint* Old);
BOOL SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetViewportOrgEx(HDC DC, TPoint* Org);
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, TPoint* Old);
// Extents matter in MM_ISOTROPIC and MM_ANISOTROPIC only; a negative extent mirrors that axis.
BOOL SetWindowExtEx(HDC DC, int X, int Y, TSize* Old);
BOOL GetWindowExtEx(HDC DC, TSize* Ext);
BOOL SetViewportExtEx(HDC DC, int X, int Y, TSize* Old);
BOOL GetViewportExtEx(HDC DC, TSize* Ext);
BOOL LPtoDP(HDC DC, TPoint* Points, int Count);
BOOL DPtoLP(HDC DC, TPoint* Points, int Count);

// ---------------------------------------------------------------- lines and shapes
BOOL MoveToEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetCurrentPositionEx(HDC DC, TPoint* Pos);
BOOL LineTo(HDC DC, int X, int Y);  // the end point is not drawn
BOOL Polyline(HDC DC, const TPoint* Points, int Count);
BOOL PolylineTo(HDC DC, const TPoint* Points, int Count);
// Several polylines at once: Counts[i] points (at least 2) for the i-th one.
BOOL PolyPolyline(HDC DC, const TPoint* Points, const DWORD* Counts, int Polylines);
BOOL PolyBezier(HDC DC, const TPoint* Points, int Count);
BOOL Polygon(HDC DC, const TPoint* Points, int Count);
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
// Counter-clockwise from the radial through (X3, Y3) to the one through (X4, Y4).
BOOL Arc(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4);
BOOL Pie(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4);
BOOL Chord(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4);
COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
COLORREF GetPixel(HDC DC, int X, int Y);  // CLR_INVALID outside the surface or the clip
enum : UINT { FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1 };
BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type);

// Fills with the brush, ignoring the pen and the mix mode. Brush may be a system colour
// index + 1 written as a handle, as the platform allows.
int FillRect(HDC DC, const TRect& Rect, HBRUSH Brush);
int FrameRect(HDC DC, const TRect& Rect, HBRUSH Brush);
BOOL InvertRect(HDC DC, const TRect& Rect);
// The dotted focus frame, drawn by XOR: drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC DC, const TRect& Rect);

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
// Rect is shrunk by the borders drawn when Flags has BF_ADJUST.
BOOL DrawEdge(HDC DC, TRect* Rect, UINT Edge, UINT Flags);
BOOL DrawEdge(HDC DC, TRect& Rect, UINT Edge, UINT Flags);

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
BOOL DrawFrameControl(HDC DC, TRect* Rect, UINT Type, UINT State);
BOOL DrawFrameControl(HDC DC, TRect& Rect, UINT Type, UINT State);

// ---------------------------------------------------------------- raster operations
enum : DWORD {
  SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
  MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09,
  PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};
// Any ternary operation works: its index byte (bits 16..23) gives the result for each
// combination of pattern, source and destination bits. Monochrome sources are expanded with
// 0 bits in the destination's text colour and 1 bits in its background colour.
BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, DWORD Rop);
// Negative widths or heights mirror; HALFTONE stretches smoothly.
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                int SrcHeight, DWORD Rop);
// Copies all but the pixels of the transparent colour.
BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY,
                    int SrcWidth, int SrcHeight, COLORREF Transparent);

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
// Lines read or written; with Bits null only the header is filled in.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage);

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

// Counts are in characters; -1 means the whole text. The per-character advance arrays have
// one entry per character.
// The height drawn (with DT_VCENTER or DT_BOTTOM: from Rect.Top to the bottom of the text);
// DT_CALCRECT draws nothing and fits Rect to the text.
int DrawText(HDC DC, const String& Text, int Count, TRect* Rect, UINT Format);
int DrawTextEx(HDC DC, const String& Text, int Count, TRect* Rect, UINT Format, DRAWTEXTPARAMS* Params);
BOOL TextOut(HDC DC, int X, int Y, const String& Text);
BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const TRect* Rect, const String& Text, const int* Dx = nullptr);
BOOL GetTextExtentPoint32(HDC DC, const String& Text, int Count, TSize* Size);
BOOL GetTextExtentPoint(HDC DC, const String& Text, int Count, TSize* Size);
// Extents[i] is the width of the first i + 1 characters; Fit the count within MaxExtent
// (when Fit is given).
BOOL GetTextExtentExPoint(HDC DC, const String& Text, int Count, int MaxExtent, int* Fit, int* Extents,
                          TSize* Size);
BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metrics);
int GetTextFace(HDC DC, int Count, String* Face);  // the face name as selected

// ---------------------------------------------------------------- regions
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = ERROR };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const TRect& Rect);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const TRect& Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height);
HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode);
BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom);
// Dest := Src1 op Src2 (Src2 unused with RGN_COPY); the result type.
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
int OffsetRgn(HRGN Rgn, int DX, int DY);
BOOL EqualRgn(HRGN A, HRGN B);
BOOL PtInRegion(HRGN Rgn, int X, int Y);
BOOL RectInRegion(HRGN Rgn, const TRect* Rect);
int GetRgnBox(HRGN Rgn, TRect* Box);
BOOL FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush);
BOOL FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, int Width, int Height);
BOOL PaintRgn(HDC DC, HRGN Rgn);
BOOL InvertRgn(HDC DC, HRGN Rgn);

// Clip regions are in device coordinates; the rectangle functions take logical ones.
int SelectClipRgn(HDC DC, HRGN Rgn);  // null removes the clip region
int ExtSelectClipRgn(HDC DC, HRGN Rgn, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int DX, int DY);
// 1 and a copy in Rgn when the context has a clip region, 0 ("none") when it has none.
int GetClipRgn(HDC DC, HRGN Rgn);
int GetClipBox(HDC DC, TRect* Rect);  // logical coordinates
BOOL RectVisible(HDC DC, const TRect* Rect);
BOOL PtVisible(HDC DC, int X, int Y);
