#pragma once
// Device contexts and their state: saving and restoring it, drawing objects (pens, brushes,
// fonts, bitmaps) and their selection, text and background attributes, mapping modes,
// regions and clipping.
#include "gui/GdiTypes.h"

// ---------------------------------------------------------------- device contexts
// A device context on nothing: it measures text in the screen's terms and draws nowhere.
// It stands behind GetDC(0); callers must not delete it.
HDC GetScreenDC();
// A memory context holding a 1 x 1 monochrome bitmap until another one is selected.
HDC CreateCompatibleDC(HDC DC);
BOOL DeleteDC(HDC DC);
int SaveDC(HDC DC);                 // the saved level, counted from 1; 0 on failure
BOOL RestoreDC(HDC DC, int SavedDC);  // negative: that many levels back
int GetDeviceCaps(HDC DC, int Index);

// ---------------------------------------------------------------- drawing objects
HGDIOBJ GetStockObject(int Object);
// Selects a pen, brush, font or bitmap; returns the one it replaces. A region becomes the
// clip region (the result is then the region type).
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT Type);
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

// ---------------------------------------------------------------- regions
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
