#pragma once
// Text on device contexts: output placed by the top-left of the text cell, DrawText's
// layout, extents and metrics; the font families a device offers (TFontFamilyEntry).
#include "gui/GdiTypes.h"

#include <vector>

// ---------------------------------------------------------------- text
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
// Tabbed text: with no tab positions given (TabCount 0) the stops lie every 8 average
// character widths from TabOrigin (from the text's start for the extent); one position gives
// the pitch. GetTabbedTextExtent answers the width in the low and the height in the high word;
// TabbedTextOut draws at (X, Y) and answers the same packed size.
DWORD GetTabbedTextExtent(HDC DC, const String& Text, int Count, int TabCount, const int* TabPositions);
int TabbedTextOut(HDC DC, int X, int Y, const String& Text, int Count, int TabCount, const int* TabPositions,
                   int TabOrigin);
int GetTextFace(HDC DC, int Count, String* Face);  // the face name as selected

// ---------------------------------------------------------------- font families
constexpr DWORD RASTER_FONTTYPE = 0x0001, DEVICE_FONTTYPE = 0x0002, TRUETYPE_FONTTYPE = 0x0004;
struct TFontFamilyEntry {
  String FaceName;
  DWORD FontType = 0;  // TRUETYPE_FONTTYPE for scalable outline faces, RASTER_FONTTYPE otherwise
};
// The font families a device can draw with, each once, in the font system's order. Screen and
// printers draw with the same installed fonts here, so every device lists the same families.
std::vector<TFontFamilyEntry> EnumFontFamilies(HDC DC);
