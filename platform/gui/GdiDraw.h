#pragma once
// Drawing on device contexts with the platform's pixel rules: lines (their end point not
// drawn), shapes and fills (right and bottom edges excluded), edges and frame controls,
// raster operations and pixel access.
#include "gui/GdiTypes.h"

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
BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type);
// Fills with the brush, ignoring the pen and the mix mode. Brush may be a system colour
// index + 1 written as a handle, as the platform allows.
int FillRect(HDC DC, const TRect& Rect, HBRUSH Brush);
int FrameRect(HDC DC, const TRect& Rect, HBRUSH Brush);
BOOL InvertRect(HDC DC, const TRect& Rect);
// The dotted focus frame, drawn by XOR: drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC DC, const TRect& Rect);

// ---------------------------------------------------------------- edges and frame controls
// Rect is shrunk by the borders drawn when Flags has BF_ADJUST.
BOOL DrawEdge(HDC DC, TRect* Rect, UINT Edge, UINT Flags);
BOOL DrawEdge(HDC DC, TRect& Rect, UINT Edge, UINT Flags);
BOOL DrawFrameControl(HDC DC, TRect* Rect, UINT Type, UINT State);
BOOL DrawFrameControl(HDC DC, TRect& Rect, UINT Type, UINT State);

// ---------------------------------------------------------------- raster operations
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
// Lines read or written; with Bits null only the header is filled in.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage);

// ---------------------------------------------------------------- regions
BOOL FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush);
BOOL FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, int Width, int Height);
BOOL PaintRgn(HDC DC, HRGN Rgn);
BOOL InvertRgn(HDC DC, HRGN Rgn);
