#pragma once
// Laying a text out into rows inside a rectangle and drawing the rows: word and character
// wrapping, hard line breaks, tabs, horizontal and vertical alignment (justified and
// distributed too), an end ellipsis, clipping and a highlighted selection drawn over the text.
// Text is UTF-8; lengths and offsets count characters. Rows point into the caller's text.
#include "gui/GdiTypes.h"
#include "gui/Colors.h"

#include <vector>

class TCanvas;

using TcxTextOutFlags = DWORD;
enum : DWORD {
  tofLeft = 0, tofCenterHorz = 1, tofRight = 2, tofJustify = 3, tofDistribute = 4,
  tofTop = 0x00, tofCenterVert = 0x10, tofBottom = 0x20, tofDistributeVert = 0x30,
  tofPreventLeftExceed = 0x40, tofPreventTopExceed = 0x80,
  tofWordBreak = 0x100, tofSingleLine = 0x200, tofExpandTabs = 0x400, tofEndEllipsis = 0x800,
  tofExternalLeading = 0x2000, tofWholeRows = 0x4000, tofNoClip = 0x8000,
  tofCharBreak = 0x20000, tofMeasureOnly = 0x100000,
};

struct TcxTextRow {
  const char* Text = nullptr;  // first byte of the row inside the caller's text (not a copy)
  int Length = 0;              // characters, line-break characters excluded
  int Width = 0;
  int Height = 0;
  int BreakCount = 0;          // break characters and tabs; justification spreads over them
  int X = 0;
  int Y = 0;
  int StartOffset = 0;         // characters from the start of the whole text
};
using TcxTextRows = std::vector<TcxTextRow>;

struct TcxTextParams {
  int Height = 0;
  int ExternalLeading = 0;
  int RowHeight = 0;
  int EllipsisWidth = 0;
  char32_t BreakChar = ' ';
  Byte HorzAlign = 0;
  Byte VertAlign = 0;
  bool WordBreak = false, SingleLine = false, ExpandTabs = false, EndEllipsis = false;
  bool UseExternalLeading = false, WholeRows = false, NoClip = false;
  bool PreventLeftExceed = false, PreventTopExceed = false;
  bool CharBreak = false;
  bool MeasureOnly = false;
  Byte CharSet = 0;
};

struct TcxTextOutData {
  bool TextCut = false;
  bool Prepared = false;
  int RowCount = 0;
  int SelStart = 0;
  int SelLength = 0;
  TColor SelBackgroundColor = 0;
  TColor SelTextColor = 0;
  TcxTextParams Params;
  TRect TextRect;
  TcxTextRows Rows;
};

// What the layout needs of a font: its metrics and the widths of text. The device-context
// measurer is the one drawing uses; layout alone also runs on any other (tests use a fixed-pitch
// one).
class TcxTextMeasurer {
public:
  virtual ~TcxTextMeasurer() = default;
  virtual TEXTMETRIC Metrics() = 0;
  // The first Count characters of Text; with ExpandTabs tabs stop every 8 average widths.
  virtual TSize Extent(const char* Text, int Count, bool ExpandTabs) = 0;
  // One character's width (the character at Text).
  virtual int CharWidth(const char* Text) = 0;
};

// Measures on a device context with the font it has when made; the metrics and single
// characters' widths are kept for the measurer's life (make a new one after changing the font).
class TcxDCTextMeasurer : public TcxTextMeasurer {
public:
  explicit TcxDCTextMeasurer(HDC DC);
  ~TcxDCTextMeasurer() override;
  TEXTMETRIC Metrics() override;
  TSize Extent(const char* Text, int Count, bool ExpandTabs) override;
  int CharWidth(const char* Text) override;

private:
  struct TCache;
  HDC FDC;
  TCache* FCache;
};

TSize MeasureTextExtent(HDC DC, const char* Text, int Count, bool ExpandTabs);
void MeasureRow(HDC DC, TcxTextRow& Row, const TcxTextParams& Params);
void MeasureRow(TcxTextMeasurer& M, TcxTextRow& Row, const TcxTextParams& Params);

// A region holding the current clip (null when there is none); the clip is then intersected
// with Rect. RestoreClip selects the saved region back, deletes it and clears the variable.
HRGN SaveAndIntersectClip(HDC DC, const TRect& Rect);
void RestoreClip(HDC DC, HRGN& Region);

void InitTextParams(TcxTextMeasurer& M, TcxTextOutFlags Flags, TcxTextParams& Params);
void InitTextParams(HDC DC, TcxTextOutFlags Flags, TcxTextParams& Params);
void InitTextParams(TCanvas* Canvas, TcxTextOutFlags Flags, TcxTextParams& Params);

// False only when wrapping stopped at MaxRowCount with characters left (and neither
// tofSingleLine nor tofMeasureOnly is set). Text may be null.
bool LayOutTextRows(TcxTextMeasurer& M, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params);
bool LayOutTextRows(HDC DC, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params);
bool LayOutTextRows(TCanvas* Canvas, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params);

// Whether the row just counted is the last one laid out.
bool IsLastTextRow(const TcxTextParams& Params, int MaxRowCount, int RowCount, int TotalHeight, int AvailHeight);
// Takes the next row from TextPos (advanced past it and the breaks that follow); Remaining counts
// the characters left.
void BreakNextRow(TcxTextMeasurer& M, const char*& TextPos, int& Remaining, TcxTextRow& Row,
                  const TcxTextParams& Params, bool IsLastRow, int AvailWidth);

void PlaceTextRows(const TRect& Rect, TcxTextParams& Params, int RowCount, TcxTextRows& Rows);
void PlaceTextRows(HDC DC, const TRect& Rect, TcxTextParams& Params, int RowCount, TcxTextRows& Rows);

void DrawTextRows(HDC DC, const TRect& Rect, TcxTextParams& Params, bool TextCut, TColor SelTextColor,
                  TColor SelBackgroundColor, int SelLength, int SelStart, int RowCount, TcxTextRows& Rows);

int MaxRowWidth(const TcxTextRows& Rows, int Count);
TRect IndentRect(const TRect& Rect, int LeftIndent, int RightIndent);

void PrepareTextOutData(TcxTextMeasurer& M, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                        TcxTextOutFlags Flags, int SelStart = 0, int SelLength = 0,
                        TColor SelBackgroundColor = 0, TColor SelTextColor = 0, int MaxLineCount = 0,
                        int LeftIndent = 0, int RightIndent = 0);
void PrepareTextOutData(TCanvas* Canvas, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                        TcxTextOutFlags Flags, int SelStart = 0, int SelLength = 0,
                        TColor SelBackgroundColor = 0, TColor SelTextColor = 0, int MaxLineCount = 0,
                        int LeftIndent = 0, int RightIndent = 0);
// Prepares Data when it is not Prepared and draws its rows. The text must be the one prepared.
void DrawTextOutData(TCanvas* Canvas, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                     TcxTextOutFlags Flags, int SelStart = 0, int SelLength = 0, TColor SelBackgroundColor = 0,
                     TColor SelTextColor = 0, int MaxLineCount = 0, int LeftIndent = 0, int RightIndent = 0);
