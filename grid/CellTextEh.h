#pragma once
// How grid cells draw their text: DrawCellText places one line or word-wrapped text in a
// rectangle with alignment, vertical layout, end ellipsis, margins and right-to-left reading,
// the rotated variant writes vertical titles, and small routines measure text, shorten it
// with an ellipsis, draw images clipped to a cell and serve the grid's rows and messages.
// Grid cells and printed grid cells all draw their text through DrawCellText.
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "data/DB.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/StdCtrls.h"
#include "core/SysUtils.h"

// ================================================================ the shared off-screen bitmap

// One off-screen bitmap shared by every grid: each grid acquires it when created and
// releases it when destroyed; it is freed when the last user leaves. It only grows.
void AcquireSharedBitmap();
void ReleaseSharedBitmap();
// The bitmap while it has users, else nullptr.
TBitmap* SharedDrawBitmap();
int SharedBitmapUserCount();

// ================================================================ text

void DrawCellText(TCanvas* Canvas, const TRect& ARect, bool FillRect, int DX, int DY, const String& Text,
                  TAlignment Alignment, TTextLayout Layout, bool MultiLine, bool EndEllipsis, int LeftMarg,
                  int RightMarg, bool RightToLeftReading);
// Writes Text upwards (rotated by 90 degrees); returns its length along the baseline. With
// CalcOnly nothing is drawn. EndEllipsis has no effect.
int DrawCellTextRotated(TCanvas* Canvas, const TRect& ARect, bool FillRect, int DX, int DY, const String& Text,
                        TAlignment Alignment, TTextLayout Layout, bool EndEllipsis, bool CalcOnly);
// A font object like Font, turned by 90 degrees counter-clockwise; the caller deletes it.
HFONT CreateRotatedFont(TFont* Font);
// Text, or its start followed by "..." so that it fits MaxWidth ("..." alone at the least).
String ShortenWithEllipsis(const String& Text, TCanvas* Canvas, int MaxWidth);
// The width the platform's text layout gives the text on one line.
int MeasureTextWidth(TCanvas* Canvas, const String& Text);
// Whether the text, laid out as the cell would lay it out, is wider or higher than the cell.
bool TextExceedsRect(TCanvas* Canvas, const TRect& Rect, const String& Text, bool WordWrap, int RightIndent,
                     int ExtraHeight, UINT ExtraFlags, int& TextWidth, int& TextHeight);
// The left edge of a one-line text of width TextWidth as DrawCellText places it.
int CellTextLeft(const TRect& Rect, int DX, int TextWidth, TAlignment Alignment);
// Width and height change places; Left and Top stay.
void SwapRectExtent(TRect& Rect);

// ================================================================ images

// Draws an image of the list (or the graphic when no list is given) in Rect, aligned
// horizontally, shifted by Offset, centred vertically, and clipped to Rect when it does not
// fit.
void DrawImageInRect(TCustomImageList* Images, TCanvas* Canvas, const TRect& Rect, int ImageIndex, int Offset,
                     TAlignment Alignment);
void DrawImageInRect(TGraphic* Graphic, TCanvas* Canvas, const TRect& Rect, int Offset, TAlignment Alignment);

// ================================================================ grid helpers

// Whether the cell lies in a grid rectangle (any type with Left, Top, Right, Bottom), bounds
// included.
template <class TGridRectType> bool PointInGridRect(int Col, int Row, const TGridRectType& Rect) {
  return Col >= Rect.Left && Col <= Rect.Right && Row >= Rect.Top && Row <= Rect.Bottom;
}
// Removes one pending message of that kind for the window; a quit message met there is
// posted again.
void DiscardPendingMessage(HWND Window, UINT Message);

constexpr int IntIf(bool Condition, int IfTrue, int IfFalse) { return Condition ? IfTrue : IfFalse; }

// ================================================================ tool tips

// The hint window of grid cells, titles and footers: it sizes the tip in the font handed
// over as the hint data (a TFont*).
class TToolTipsWindow : public THintWindow {
  KELM_CLASS(TToolTipsWindow, THintWindow)
public:
  explicit TToolTipsWindow(TComponent* AOwner) : THintWindow(AOwner) {}
  TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;
};
