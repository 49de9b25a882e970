// The base painter: operations, default colours and the drawing routines shared by all
// painters; the painters' process-wide bitmaps.
#include "editors/cxLookAndFeelPainters.h"

#include "core/SysUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxClasses.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"
#include "gui/SysResources.h"

#include "editors/dxOffice11.h"

#include <cstring>
#include <memory>

TcxBorders BordersFromBits(int Bits) {
  TcxBorders b;
  if (Bits & nLeft) b.Include(bLeft);
  if (Bits & nTop) b.Include(bTop);
  if (Bits & nRight) b.Include(bRight);
  if (Bits & nBottom) b.Include(bBottom);
  return b;
}

TcxLookAndFeelKind StyleToKind(TcxPainterStyle Style) {
  switch (Style) {
    case pstFlat: return lfFlat;
    case pstUltraFlat: return lfUltraFlat;
    case pstOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TcxLookAndFeelPainterClass PainterForKind(TcxLookAndFeelKind Kind) {
  switch (Kind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Instance();
    case lfStandard: return TcxStandardLookAndFeelPainter::Instance();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::Instance();
    default: return TcxUltraFlatLookAndFeelPainter::Instance();
  }
}

// ---------------------------------------------------------------- process-wide bitmaps
namespace {

std::unique_ptr<TBitmap> gCheckers[2];

void PaintChecker(TBitmap* B, TColor Same, TColor Other) {
  B->SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) B->Canvas()->SetPixels(x, y, (x % 2) == (y % 2) ? Same : Other);
}

TColor Rgb(TColor c) { return TColor(ColorToRGB(c)); }

}  // namespace

void RefreshScrollBarBitmaps() {
  for (auto& b : gCheckers)
    if (!b) b = std::make_unique<TBitmap>();
  PaintChecker(gCheckers[0].get(), Rgb(clBtnFace), Rgb(clBtnHighlight));
  PaintChecker(gCheckers[1].get(), TColor(0), Rgb(cl3DDkShadow));
}

TBitmap* ScrollBarPageBitmap(bool Pressed) {
  if (!gCheckers[0]) RefreshScrollBarBitmaps();
  return gCheckers[Pressed ? 1 : 0].get();
}

// ---------------------------------------------------------------- instances
const TcxCustomLookAndFeelPainter* TcxCustomLookAndFeelPainter::Instance() {
  static const TcxCustomLookAndFeelPainter p;
  return &p;
}

// ---------------------------------------------------------------- default colours
namespace {

// Colours 1..51 of the base painter; 0 marks "colour 08" (entry 21).
const TColor kBaseColors[51] = {
    clWindow,     clWindowText, clBtnShadow,     clBtnHighlight, clBtnText,   clBtnFace,   clBtnText,
    clBtnShadow,  clBtnFace,    clBtnText,       clBtnShadow,    clBtnFace,   clBtnFace,   clBtnText,
    clBtnShadow,  clBtnFace,    clBlue,          clBtnFace,      clBtnText,   clBlue,      clBtnShadow,
    clBtnFace,    clHighlight,  clHighlightText, clWindow,       clWindowText, clRed,      clBtnFace,
    TColor(RGB(255, 255, 213)), clWindowText, clHighlight, clHighlightText, clBtnFace, clBtnFace, clBtnText,
    clBtnFace,    clWhite,      clBlack,         clBtnFace,      clBtnText,   clWhite,     clBlack,
    clBlack,      clBlack,      TColor(RGB(207, 207, 207)), clWhite, clBtnShadow, TColor(RGB(166, 202, 240)),
    TColor(RGB(0, 0, 128)), clBtnShadow, clBtnShadow,
};

}  // namespace

TColor TcxCustomLookAndFeelPainter::DefaultColor(int Index) const {
  if (Index < 1 || Index > 51) return clNone;
  if (Index == 21) return DefaultColor(8);
  return kBaseColors[Index - 1];
}

// ---------------------------------------------------------------- geometry helpers
std::vector<TPoint> TcxCustomLookAndFeelPainter::ArrowPoints(TRect R, TcxPainterArrowDirection Direction,
                                                              bool Proportional) {
  if (Proportional) {
    const int d = (R.Right - R.Left) - (R.Bottom - R.Top);
    if (d <= 0)
      InflateRect(R, 0, d / 2);
    else
      InflateRect(R, (-d) / 2, 0);
  }
  int X, Y;
  if (Direction == padUp || Direction == padDown) {
    X = (R.Right - R.Left - 1) / 2;
    if (X % 2 == 0) ++X;
    Y = X / 2 + 1;
  } else {
    Y = (R.Bottom - R.Top - 1) / 2;
    if (Y % 2 == 0) ++Y;
    X = Y / 2 + 1;
  }
  const int cx = (R.Left + R.Right - 1) / 2, cy = (R.Top + R.Bottom) / 2;
  const int x0 = (R.Left + R.Right - X) / 2, y0 = MulDiv(R.Top + R.Bottom - Y, 1, 2);
  switch (Direction) {
    case padUp: return {{cx, y0}, {x0, y0 + Y - 1}, {x0 + X - 1, y0 + Y - 1}};
    case padDown: return {{x0, y0}, {x0 + X - 1, y0}, {cx, y0 + Y - 1}};
    case padLeft: return {{x0, cy}, {x0 + X - 1, y0}, {x0 + X - 1, y0 + Y - 1}};
    default: return {{x0, y0}, {x0 + X - 1, cy}, {x0, y0 + Y - 1}};
  }
}

namespace {

void SolidPolygon(TcxCanvas* C, const std::vector<TPoint>& Points, TColor Colour) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Colour);
  C->Pen()->SetColor(Colour);
  C->Polygon(Points);
}

void Fill(TcxCanvas* C, const TRect& R, TColor Colour) {
  C->UseBrushColor(Colour);
  C->FillArea(R);
}

TRect Moved(TRect R, int DX, int DY) {
  OffsetRect(R, DX, DY);
  return R;
}

TRect Inflated(TRect R, int D) {
  InflateRect(R, -D, -D);
  return R;
}

TcxTextFlags ContentFlags(TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis) {
  static const TcxTextFlags kH[] = {txAlignLeft, txAlignRight, txAlignHCenter};
  static const TcxTextFlags kV[] = {txAlignTop, txAlignBottom, txAlignVCenter};
  return TcxTextFlags(kH[HAlign] | kV[VAlign] | (MultiLine ? txWordBreak : txSingleLine) |
                      (EndEllipsis ? txEndEllipsis : 0));
}

}  // namespace

void TcxCustomLookAndFeelPainter::PaintExpandCross(TcxCanvas* C, const TRect& R, TColor Colour, bool Expanded) {
  const int cx = MidCoordinate(R.Left, R.Right), cy = MidCoordinate(R.Top, R.Bottom);
  const int half = (R.Right - R.Left - 4) / 2;
  Fill(C, {cx - half, cy, cx + half + 1, cy + 1}, Colour);
  if (!Expanded) Fill(C, {cx, cy - half, cx + 1, cy + half + 1}, Colour);
}

void TcxCustomLookAndFeelPainter::PaintGroupExpandMark(TcxCanvas* C, const TRect& R, bool Expanded,
                                                       TcxPainterButtonState State) const {
  C->Pen()->SetColor(ButtonGlyphColor(State));
  const int x0 = (R.Left + R.Right - 7) / 2, y0 = (R.Top + R.Bottom - 8) / 2;
  const int d = Expanded ? 1 : -1;
  const int rows[4] = {y0, y0 + 1, y0 + 4, y0 + 5};
  for (int i = 0; i < 4; ++i) {
    const int j = i % 2;
    const int Y = Expanded ? rows[i] + 3 : rows[i];
    const int f = Expanded ? j : 1 - j;
    C->Polyline({{x0 + f, Y - f * d}, {x0 + 3, Y - 3 * d}, {x0 + 7 - f, Y + (1 - f) * d}});
  }
}

void TcxCustomLookAndFeelPainter::PaintCrossMark(TcxCanvas* C, const TRect& R, TColor Colour,
                                                 TcxPainterButtonState State) const {
  int s = FilterCloseButtonExtent().cx / 2;
  if (s % 2 == 0) --s;
  C->Pen()->SetColor(Colour);
  for (int a = 0; a <= 1; ++a) {
    int x = a + (R.Left + R.Right - s) / 2, y = (R.Top + R.Bottom - s) / 2;
    if (State == pbsPressed) {
      ++x;
      ++y;
    }
    C->MoveTo(x, y);
    C->LineTo(x + s, y + s);
    C->MoveTo(x, y + s - 1);
    C->LineTo(x + s, y - 1);
  }
}

void TcxCustomLookAndFeelPainter::PaintNavigationArrows(TcxCanvas* C, const TRect& R, int Which, int Offset,
                                                        TColor Colour) const {
  TRect r = R;
  r.Top += BorderWidth();
  ++r.Top;
  --r.Bottom;
  for (int side = 0; side < 2; ++side) {
    const bool left = side == 0;
    if (left && !(Which == 1 || Which == 3)) continue;
    if (!left && !(Which == 2 || Which == 3)) continue;
    int c = (r.Bottom - r.Top) / 2;
    if (c % 2 == 0) ++c;
    const int y1 = (r.Top + r.Bottom - c) / 2 - 1;
    const int x1 = left ? r.Left + Offset - 1 : r.Right - Offset + 1;
    const int tip = left ? x1 - (c / 2 + 1) : x1 + (c / 2 + 1);
    C->UseBrushColor(Colour);
    C->Pen()->SetColor(Colour);
    C->Polygon({{x1, y1}, {x1, y1 + c + 1}, {tip, y1 + c / 2 + 1}});
  }
}

void TcxCustomLookAndFeelPainter::PaintSortTriangle(TcxCanvas* C, const TRect& R, TColor Dark, TColor Light,
                                                    bool Ascending) const {
  const TSize size = SortMarkSize();
  const int w = size.cx, h = size.cy, dir = Ascending ? 1 : -1;
  int cx = (R.Left + R.Right) / 2;
  if (w % 2 == 0) --cx;
  const int y0 = Ascending ? (R.Top + R.Bottom - h) / 2 : (R.Top + R.Bottom + h) / 2 - 1;
  const int a = w / 2, b = w % 2 == 0 ? a - 1 : a;
  C->Pen()->SetColor(Light);
  C->MoveTo(cx + a, y0 + (h - 2) * dir);
  C->LineTo(cx + a - b, y0);
  C->LineTo(cx + a, y0 + (h - 1) * dir);
  if (!Ascending) C->Pen()->SetColor(Dark);
  C->LineTo(cx - b, y0 + (h - 1) * dir);
  if (Ascending) C->Pen()->SetColor(Dark);
  C->LineTo(cx, y0);
  C->LineTo(cx - b, y0 + (h - (w % 2)) * dir);
}

// The indicator images, kinds 1 to 6: current row, editing, inserting, selected, current and
// selected, filter row. Drawn here as pixel pictures, all of one size: '#' is black, the
// rest is transparent.
namespace {

constexpr int kIndicatorWidth = 12, kIndicatorHeight = 11;
const char* const kIndicatorImages[6][kIndicatorHeight] = {
    {"............", "....#.......", "....##......", "....###.....", "....####....", "....#####...",
     "....####....", "....###.....", "....##......", "....#.......", "............"},
    {"............", "...##.##....", ".....#......", ".....#......", ".....#......", ".....#......",
     ".....#......", ".....#......", ".....#......", "...##.##....", "............"},
    {"............", ".....#......", "..#..#..#...", "...#.#.#....", "....###.....", "..#######...",
     "....###.....", "...#.#.#....", "..#..#..#...", ".....#......", "............"},
    {"............", "............", "............", "....###.....", "...#####....", "...#####....",
     "...#####....", "....###.....", "............", "............", "............"},
    {"............", "#...........", "##..........", "###.........", "####..###...", "#####.###...",
     "####..###...", "###.........", "##..........", "#...........", "............"},
    {"............", ".#########..", "..#######...", "...#####....", "....###.....", "....###.....",
     "....###.....", "....###.....", "....###.....", "....##......", "............"},
};

}  // namespace

void TcxCustomLookAndFeelPainter::PaintIndicatorImage(TcxCanvas* C, const TRect& R, int Kind) {
  if (Kind < 1 || Kind > 6) return;
  const int left = (R.Left + R.Right - kIndicatorWidth) / 2, top = (R.Top + R.Bottom - kIndicatorHeight) / 2;
  for (int y = 0; y < kIndicatorHeight; ++y)
    for (int x = 0; x < kIndicatorWidth; ++x)
      if (kIndicatorImages[Kind - 1][y][x] == '#') C->SetPixel(left + x, top + y, clBlack);
}

// ---------------------------------------------------------------- base operations
void TcxCustomLookAndFeelPainter::DrawArrowGlyph(TcxCanvas* C, const TRect& R, TColor Colour) const {
  int X = (R.Right - R.Left) / 2;
  if (X % 2 == 0) ++X;
  const int Y = X / 2 + 1;
  const int x0 = (R.Left + R.Right - X) / 2, y0 = MulDiv(R.Top + R.Bottom - Y, 1, 2);
  SolidPolygon(C, {{x0, y0}, {x0 + X - 1, y0}, {x0 + X / 2, y0 + Y - 1}}, Colour);
}

void TcxCustomLookAndFeelPainter::PaintContent(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                               TcxPainterButtonState, TAlignment HAlign, TcxAlignmentVert VAlign,
                                               bool MultiLine, bool EndEllipsis, const String& Text, TFont* Font,
                                               TColor TextColour, TColor Background,
                                               const TcxDrawBackgroundEvent& CustomDraw, bool) const {
  if (!CustomDraw || !CustomDraw(C, R)) Fill(C, R, Background);
  if (Text.empty()) return;
  C->Brush()->SetStyle(bsClear);
  if (Font) C->SetFont(Font);
  C->Font()->SetColor(TextColour);
  C->OutputText(Text, TextRect, ContentFlags(HAlign, VAlign, MultiLine, EndEllipsis));
  C->Brush()->SetStyle(bsSolid);
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& R) const {
  return Inflated(R, FooterCellFrameWidth());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextBounds(const TRect& R) const {
  return Inflated(FooterCellContentBounds(R), 2);
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* C, const TRect& R, TcxPainterArrowDirection Direction,
                                            TColor Colour) const {
  SolidPolygon(C, ArrowPoints(R, Direction, true), Colour);
}

void TcxCustomLookAndFeelPainter::DrawArrowButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                  TcxPainterArrowDirection Direction, bool WithFrame) const {
  const std::vector<TPoint> points = ArrowPoints(R, Direction, false);
  if (WithFrame)
    PaintArrowButtonFrame(C, R, State);
  else
    Fill(C, R, ButtonFaceColor(State));
  SolidPolygon(C, points, ButtonGlyphColor(State));
}

void TcxCustomLookAndFeelPainter::PaintArrowButtonFrame(TcxCanvas* C, const TRect& R,
                                                        TcxPainterButtonState State) const {
  Fill(C, R, ButtonFaceColor(State));
  PaintButtonFrame(C, R, State);
}

void TcxCustomLookAndFeelPainter::PaintButtonArrow(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                   TcxPainterArrowDirection Direction) const {
  TRect r = R;
  if (State == pbsPressed) OffsetRect(r, PressedTextShift(), PressedTextShift());
  std::vector<TPoint> points = ArrowPoints(r, Direction, true);
  C->Brush()->SetStyle(bsSolid);
  if (State == pbsDisabled) {
    std::vector<TPoint> shifted = points;
    for (TPoint& p : shifted) {
      ++p.X;
      ++p.Y;
    }
    SolidPolygon(C, shifted, clBtnHighlight);
    SolidPolygon(C, points, clBtnShadow);
  } else {
    SolidPolygon(C, points, ButtonGlyphColor(State));
  }
}

TRect TcxCustomLookAndFeelPainter::ButtonFocusBounds(TcxCanvas*, const TRect& R) const {
  const TRect r = Inflated(R, 4);
  return IsRectEmpty(r) ? R : r;
}

TRect TcxCustomLookAndFeelPainter::GroupButtonFrameWidths(int, int) const {
  const int w = ButtonFrameWidth(pbsNormal);
  return {w, w, w, w};
}

TColor TcxCustomLookAndFeelPainter::ButtonGlyphColor(TcxPainterButtonState State, TColor Colour) const {
  if (State == pbsDisabled) return clBtnShadow;
  return Colour == clcxDefault ? clBtnText : Colour;
}

void TcxCustomLookAndFeelPainter::PaintButton(TcxCanvas* C, const TRect& R, const String& Caption,
                                              TcxPainterButtonState State, bool WithFrame, TColor FaceColour,
                                              TColor TextColour) const {
  TRect r = R;
  if (WithFrame) {
    PaintButtonFrame(C, r, State);
    r = Inflated(r, ButtonFrameWidth(State));
  }
  Fill(C, r, FaceColour == clcxDefault ? ButtonFaceColor(State) : FaceColour);
  C->Font()->SetColor(TextColour == clcxDefault ? ButtonGlyphColor(State) : TextColour);
  C->Brush()->SetStyle(bsClear);
  if ((r.Bottom - r.Top) % 2 != 0) --r.Bottom;
  if (r.Bottom - r.Top < 18) --r.Top;
  if (State == pbsPressed) OffsetRect(r, PressedTextShift(), PressedTextShift());
  if (!Caption.empty())
    C->OutputText(Caption, r, txAlignHCenter | txAlignVCenter | txSingleLine | txShowPrefix, State != pbsDisabled);
  C->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintGroupButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, int,
                                                   int, TColor) const {
  PaintButton(C, R, String(), State, true);
}

void TcxCustomLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                         TcxPainterButtonState State) const {
  PaintButton(C, R, String(), State, true);
  PaintGroupExpandMark(C, R, Expanded, State);
}

void TcxCustomLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                         TColor FrameColour, TColor FaceColour) const {
  C->Brush()->SetColor(FrameColour);
  C->DrawBorderStrips(R, clDefault, 1, cxBordersAll);
  if (FaceColour != clcxDefault) Fill(C, Inflated(R, 1), FaceColour);
  PaintExpandCross(C, R, clBtnText, Expanded);
}

bool TcxCustomLookAndFeelPainter::HitsGroupExpandButton(const TRect& R, const TPoint& P) const {
  return PtInRect(R, P);
}

TColor TcxCustomLookAndFeelPainter::CheckBoxFaceColor(TcxPainterButtonState State) const {
  return State == pbsPressed || State == pbsDisabled ? clBtnFace : clWindow;
}

TSize TcxCustomLookAndFeelPainter::CheckBoxExtent() const {
  // The platform's check-box sheet holds four columns and three rows of 13 x 13 boxes.
  static const TSize size = [] {
    TBitmap sheet;
    if (!LoadSystemBitmap(OBM_CHECKBOXES, &sheet)) return TSize{13, 13};
    return TSize{sheet.Width() / 4, sheet.Height() / 3};
  }();
  return size;
}

void TcxCustomLookAndFeelPainter::PaintCheckMark(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                 bool Checked, TColor MarkColour) const {
  Fill(C, R, CheckBoxFaceColor(State));
  if (!Checked) return;
  const int w = R.Right - R.Left - 2, h = R.Bottom - R.Top - 4;
  const int mid = (R.Left + R.Right) / 2 - 1;
  const int y = (R.Top + R.Bottom + h) / 2 - 2;
  C->Pen()->SetColor(MarkColour);
  for (int i = 0; i < 3; ++i)
    C->Polyline({{mid + 1 - w / 2, y + i - h / 2}, {mid, y + i}, {mid + w / 2 + 2, y + i - h}});
}

void TcxCustomLookAndFeelPainter::PaintCheckBox(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                bool Checked) const {
  PaintCheckFrame(C, R, State);
  PaintCheckMark(C, Inflated(R, CheckFrameWidth()), State, Checked,
                 State == pbsDisabled ? clGrayText : clBtnText);
}


void TcxCustomLookAndFeelPainter::PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                              TcxNeighbours Neighbours, int Sides, TcxPainterButtonState State,
                                              TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                              bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour,
                                              TColor Background, const TcxDrawBackgroundEvent& CustomDraw,
                                              bool) const {
  PaintHeaderFrame(C, R, Neighbours, Sides);
  PaintContent(C, HeaderTextBounds(R, Sides), TextRect, State, HAlign, VAlign, MultiLine, EndEllipsis, Text, Font,
               TextColour, Background, CustomDraw, false);
}

void TcxCustomLookAndFeelPainter::PaintHeaderPlain(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                   TcxNeighbours Neighbours, int Sides, TcxPainterButtonState State,
                                                   TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                                   bool EndEllipsis, const String& Text, TFont* Font,
                                                   TColor TextColour, TColor Background,
                                                   const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintHeader(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine, EndEllipsis, Text, Font,
              TextColour, Background, CustomDraw, false);
}

void TcxCustomLookAndFeelPainter::InvertHeaderArea(TcxCanvas* C, const TRect& R) const { C->InvertArea(R); }

void TcxCustomLookAndFeelPainter::PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                     TcxNeighbours, int Sides, TcxPainterButtonState State,
                                                     TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                                     bool EndEllipsis, const String& Text, TFont* Font,
                                                     TColor TextColour, TColor Background) const {
  PaintHeaderSectionFrame(C, R, Sides, State);
  PaintHeaderSectionContent(C, HeaderSectionContentBounds(R, State), TextRect, State, HAlign, VAlign, MultiLine,
                            EndEllipsis, Text, Font, TextColour, Background);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                            TcxPainterButtonState State, TAlignment HAlign,
                                                            TcxAlignmentVert VAlign, bool MultiLine,
                                                            bool EndEllipsis, const String& Text, TFont* Font,
                                                            TColor TextColour, TColor Background) const {
  Fill(C, R, Background);
  PaintHeaderText(C, HeaderSectionTextBounds(TextRect, State), State, HAlign, VAlign, MultiLine, EndEllipsis, Text,
                  Font, TextColour);
}

void TcxCustomLookAndFeelPainter::PaintHeaderText(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                  TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                                  bool EndEllipsis, const String& Text, TFont* Font,
                                                  TColor TextColour) const {
  if (Text.empty()) return;
  C->Brush()->SetStyle(bsClear);
  if (Font) C->SetFont(Font);
  const TcxTextFlags flags = ContentFlags(HAlign, VAlign, MultiLine, EndEllipsis);
  if (State == pbsDisabled) {
    C->Font()->SetColor(clBtnHighlight);
    C->OutputText(Text, Moved(R, 1, 1), flags);
    C->Font()->SetColor(clBtnShadow);
    C->OutputText(Text, R, flags);
  } else {
    C->Font()->SetColor(TextColour);
    C->OutputText(Text, R, flags);
  }
  C->Brush()->SetStyle(bsSolid);
}

TRect TcxCustomLookAndFeelPainter::HeaderContentBounds(const TRect& R, TcxNeighbours Neighbours, int Sides) const {
  TRect r = R;
  const int w = HeaderFrameWidth();
  const int left = Sides & ~HeaderFrameSides(Neighbours);
  if (left & nLeft) r.Left -= w;
  if (left & nTop) r.Top -= w;
  if (left & nRight) r.Right += w;
  if (left & nBottom) r.Bottom += w;
  return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderTextBounds(const TRect& R, int Sides) const {
  TRect r = R;
  const int w = HeaderFrameWidth();
  if (Sides & nLeft) r.Left += w;
  if (Sides & nTop) r.Top += w;
  if (Sides & nRight) r.Right -= w;
  if (Sides & nBottom) r.Bottom -= w;
  return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionTextBounds(const TRect& R, TcxPainterButtonState State) const {
  return State == pbsPressed ? Moved(R, 1, 1) : R;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionContentBounds(const TRect& R, TcxPainterButtonState State) const {
  return Inflated(R, HeaderSectionFrameWidth(State));
}

int TcxCustomLookAndFeelPainter::HeaderTextWidth(TcxCanvas* C, int Sides, const String& Text, TFont* Font) const {
  if (Font) C->SetFont(Font);
  int w = C->TextWidthOf(Text) + 4;
  if (Sides & nLeft) w += HeaderFrameWidth();
  if (Sides & nRight) w -= HeaderFrameWidth();
  return w;
}

void TcxCustomLookAndFeelPainter::PaintFooterCell(TcxCanvas* C, const TRect& R, TAlignment HAlign,
                                                  TcxAlignmentVert VAlign, bool MultiLine, const String& Text,
                                                  TFont* Font, TColor TextColour, TColor Background,
                                                  const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintFooterCellFrame(C, R);
  PaintContent(C, FooterCellContentBounds(R), FooterCellTextBounds(R), pbsDefault, HAlign, VAlign, MultiLine, false,
               Text, Font, TextColour, Background, CustomDraw, true);
}

void TcxCustomLookAndFeelPainter::PaintFooterLine(TcxCanvas* C, const TRect& R) const {
  Fill(C, R, FooterLineColor());
}

void TcxCustomLookAndFeelPainter::PaintFilterActivateButton(TcxCanvas* C, const TRect& R,
                                                            TcxPainterButtonState State, bool Checked) const {
  PaintCheckBox(C, R, State, Checked);
}

void TcxCustomLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* C, const TRect& R,
                                                         TcxPainterButtonState State) const {
  PaintButtonFrame(C, R, State);
  const TRect r = Inflated(R, ButtonFrameWidth(pbsNormal));
  Fill(C, r, ButtonFaceColor(State));
  PaintCrossMark(C, r, ButtonGlyphColor(State), ButtonGlyphState(State));
}

void TcxCustomLookAndFeelPainter::PaintIndicatorCell(TcxCanvas* C, const TRect& R, int Kind, TColor Background,
                                                     const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintHeader(C, R, R, 0, HeaderFrameSides(nTop | nBottom), pbsNormal, taLeftJustify, vaTop, false, false, String(),
              nullptr, clNone, Background, CustomDraw, false);
  PaintIndicatorImage(C, R, Kind);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorCellPlain(TcxCanvas* C, const TRect& R, int Kind,
                                                          TColor Background,
                                                          const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintHeaderPlain(C, R, R, 0, nAll, pbsNormal, taLeftJustify, vaTop, false, false, String(), nullptr, clNone,
                   Background, CustomDraw);
  PaintIndicatorImage(C, R, Kind);
}

void TcxCustomLookAndFeelPainter::PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text,
                                                   TcxNeighbours Neighbours, const TcxViewParams& Params,
                                                   int Arrows, int ArrowOffset,
                                                   const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintHeader(C, R, R, Neighbours, HeaderFrameSides(Neighbours), pbsNormal, taCenter, vaCenter, false, false, Text,
              Params.Font, Params.TextColor, Params.Color, CustomDraw, false);
  PaintNavigationArrows(C, R, Arrows, ArrowOffset, clWindowText);
}

void TcxCustomLookAndFeelPainter::PaintCalendarButton(TcxCanvas* C, const TRect& R,
                                                      TcxPainterButtonState State) const {
  PaintButton(C, R, String(), State, true);
}

// ---------------------------------------------------------------- radio-button images
namespace {

// Pixel codes of the radio pattern: 0 outside, 1 and 2 the outline above and below the
// rising diagonal, 3 and 4 the inner ring above and below it, 5 the body, 6 the dot.
class TRadioImages {
public:
  TRadioImages() {
    FNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
    FNotifier->SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([this] { Build(); }));
    Build();
  }
  // State pbsNormal .. pbsDisabled.
  const TBitmap* Image(TcxLookAndFeelKind Kind, TcxPainterButtonState State, bool Checked, bool HighlightWhenEnabled,
                       bool AlwaysHighlight) const {
    const int index = State + 8 * Kind + 32 * HighlightWhenEnabled + 64 * AlwaysHighlight + 4 * Checked - 1;
    return FImages[FIndex[index]].get();
  }
  TSize Size() const { return FSize; }
  int Code(int X, int Y) const { return FCodes[Y * FSize.cx + X]; }

private:
  void Measure();
  void BuildPattern();
  TColor CodeColor(int Code, TcxLookAndFeelKind Kind, TcxPainterButtonState State, bool Checked, bool HWE,
                   bool AH) const;
  void Build();

  std::unique_ptr<TcxSystemPaletteChangedNotifier> FNotifier;
  TSize FSize{13, 13};
  TRect FMask, FDot;
  std::vector<int> FCodes;
  std::vector<std::unique_ptr<TBitmap>> FImages;
  int FIndex[128] = {};
};

// Made at the first use, so that it goes before the window services its notifier relies on.
TRadioImages& RadioImages() {
  static TRadioImages images;
  return images;
}

void TRadioImages::Measure() {
  FSize = TcxCustomLookAndFeelPainter::Instance()->CheckBoxExtent();
  TBitmap b;
  b.SetSize(FSize.cx, FSize.cy);
  TCanvas* c = b.Canvas();
  const TRect all{0, 0, FSize.cx, FSize.cy};
  c->Brush()->SetColor(clBlack);
  c->FillRect(all);
  TRect r = all;
  DrawFrameControl(c->Handle(), r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  FMask = {FSize.cx, FSize.cy, -1, -1};
  for (int y = 0; y < FSize.cy; ++y)
    for (int x = 0; x < FSize.cx; ++x)
      if (ColorToRGB(c->Pixels(x, y)) == 0) {
        FMask.Left = std::min(FMask.Left, x);
        FMask.Top = std::min(FMask.Top, y);
        FMask.Right = std::max(FMask.Right, x + 1);
        FMask.Bottom = std::max(FMask.Bottom, y + 1);
      }
  if (FMask.Right < 0) FMask = all;
  c->FillRect(all);
  r = all;
  DrawFrameControl(c->Handle(), r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | DFCS_CHECKED);
  const COLORREF ink = ColorToRGB(clWindowText);
  const int cx = (FMask.Left + FMask.Right) / 2, cy = (FMask.Top + FMask.Bottom) / 2;
  auto is = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < FSize.cx && y < FSize.cy && ColorToRGB(c->Pixels(x, y)) == ink;
  };
  int l = cx, t = cy, rr = cx, bb = cy;
  while (is(l - 1, cy)) --l;
  while (is(rr + 1, cy)) ++rr;
  while (is(cx, t - 1)) --t;
  while (is(cx, bb + 1)) ++bb;
  FDot = {l, t, rr + 1, bb + 1};
}

void TRadioImages::BuildPattern() {
  const int w = FSize.cx, h = FSize.cy;
  FCodes.assign(std::size_t(w * h), 0);
  auto code = [&](int x, int y) -> int& { return FCodes[std::size_t(y * w + x)]; };
  auto below = [&](int x, int y) { return (h - 1) * (w - x - 1) < y * (w - 1); };
  auto onDiagonal = [&](int x, int y) { return (h - 1) * (w - x - 1) == y * (w - 1); };
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect{0, 0, w, h});
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  const int mw = FMask.Right - FMask.Left, mh = FMask.Bottom - FMask.Top;
  c->RoundRect(FMask.Left, FMask.Top, FMask.Right, FMask.Bottom, mw - 1, mh - 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (ColorToRGB(c->Pixels(x, y)) == 0) code(x, y) = below(x, y) ? 2 : 1;
  // The body: each row between outline pixels, from the centre outwards.
  const int cx = (FMask.Left + FMask.Right) / 2;
  for (int y = FMask.Top + 1; y < FMask.Bottom - 1; ++y) {
    if (code(cx, y) != 0) continue;
    for (int x = cx; x >= 0 && code(x, y) == 0; --x) code(x, y) = 5;
    for (int x = cx + 1; x < w && code(x, y) == 0; ++x) code(x, y) = 5;
  }
  // The inner ring: body pixels that end a row or column run, and the whole first and last
  // body rows and columns.
  std::vector<int> ring(FCodes.size(), 0);
  int firstRow = h, lastRow = -1, firstCol = w, lastCol = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (code(x, y) == 5) {
        firstRow = std::min(firstRow, y);
        lastRow = std::max(lastRow, y);
        firstCol = std::min(firstCol, x);
        lastCol = std::max(lastCol, x);
        const bool endsRun = x == 0 || code(x - 1, y) != 5 || x == w - 1 || code(x + 1, y) != 5 || y == 0 ||
                             code(x, y - 1) != 5 || y == h - 1 || code(x, y + 1) != 5;
        if (endsRun) ring[std::size_t(y * w + x)] = 1;
      }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (code(x, y) == 5 && (ring[std::size_t(y * w + x)] || y == firstRow || y == lastRow || x == firstCol ||
                              x == lastCol))
        code(x, y) = onDiagonal(x, y) ? (x > cx ? 4 : 3) : below(x, y) ? 4 : 3;
  // The dot, drawn the same way at its measured place.
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(TRect{0, 0, w, h});
  c->Brush()->SetColor(clBlack);
  c->RoundRect(FDot.Left, FDot.Top, FDot.Right, FDot.Bottom, FDot.Right - FDot.Left - 1, FDot.Bottom - FDot.Top - 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (ColorToRGB(c->Pixels(x, y)) == 0 && code(x, y) != 0) code(x, y) = 6;
}

TColor TRadioImages::CodeColor(int Code, TcxLookAndFeelKind Kind, TcxPainterButtonState State, bool Checked,
                               bool HWE, bool AH) const {
  TColor body;
  if (Kind == lfOffice11)
    body = State == pbsNormal ? clWindow : TcxOffice11LookAndFeelPainter::Instance()->ButtonFaceColor(State);
  else if (State == pbsDisabled)
    body = clBtnFace;
  else if (Kind == lfUltraFlat)
    body = State == pbsHot ? HotTrackBlendColor() : State == pbsPressed ? PressedBlendColor() : clWindow;
  else
    body = State == pbsPressed ? clBtnFace : clWindow;
  switch (Code) {
    case 5: return body;
    case 6:
      if (Checked && State == pbsDisabled) return Kind == lfOffice11 ? Office11Color31 : clBtnShadow;
      return Checked ? clWindowText : body;
    default: break;
  }
  const bool hotOrPressed = State == pbsHot || State == pbsPressed;
  switch (Kind) {
    case lfFlat: {
      static const TColor k[4] = {clBtnShadow, clBtnHighlight, cl3DLight, cl3DLight};
      return k[Code - 1];
    }
    case lfStandard: {
      static const TColor k[4] = {clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight};
      return k[Code - 1];
    }
    case lfUltraFlat:
      if (Code >= 3) return body;
      return AH || hotOrPressed || (HWE && State != pbsDisabled) ? clHighlight : clBtnShadow;
    default:
      if (Code >= 3) return body;
      if (State == pbsDisabled) return Office11Color31;
      return AH || HWE || hotOrPressed ? Office11Color21 : clBtnText;
  }
}

void TRadioImages::Build() {
  Measure();
  BuildPattern();
  FImages.clear();
  for (int ah = 0; ah <= 1; ++ah)
    for (int hwe = 0; hwe <= 1; ++hwe)
      for (int kind = 0; kind <= 3; ++kind)
        for (int checked = 0; checked <= 1; ++checked)
          for (int state = pbsNormal; state <= pbsDisabled; ++state) {
            auto image = std::make_unique<TBitmap>();
            image->SetSize(FSize.cx, FSize.cy);
            for (int y = 0; y < FSize.cy; ++y) {
              Byte* row = image->ScanLine(y);
              for (int x = 0; x < FSize.cx; ++x) {
                const int code = Code(x, y);
                // Outside the shape the alpha byte stays 0: the drawing skips those pixels.
                if (code == 0) {
                  std::memset(row + x * 4, 0, 4);
                  continue;
                }
                const COLORREF c = ColorToRGB(CodeColor(code, TcxLookAndFeelKind(kind), TcxPainterButtonState(state),
                                                        checked, hwe, ah));
                row[x * 4] = GetBValue(c);
                row[x * 4 + 1] = GetGValue(c);
                row[x * 4 + 2] = GetRValue(c);
                row[x * 4 + 3] = 0xFF;
              }
            }
            FIndex[state + 8 * kind + 32 * hwe + 64 * ah + 4 * checked - 1] = int(FImages.size());
            FImages.push_back(std::move(image));
          }
}

}  // namespace

int RadioPatternCode(int X, int Y) { return RadioImages().Code(X, Y); }

void TcxCustomLookAndFeelPainter::PaintRadioButton(TcxCanvas* C, int X, int Y, TcxPainterButtonState State,
                                                   bool Checked, bool AlwaysHighlight, TColor Background,
                                                   bool HighlightWhenEnabled) const {
  // The default button state has no image of its own: it looks like the normal one.
  if (State == pbsDefault) State = pbsNormal;
  const TRadioImages& images = RadioImages();
  const TBitmap* image =
      images.Image(StyleToKind(PainterStyle()), State, Checked, HighlightWhenEnabled, AlwaysHighlight);
  const TSize size = images.Size();
  if (Background != clcxDefault) {
    C->UseBrushColor(Background);
    C->FillArea(TRect{X, Y, X + size.cx, Y + size.cy});
  }
  TBitmap* source = const_cast<TBitmap*>(image);
  for (int y = 0; y < size.cy; ++y) {
    const Byte* row = source->ScanLine(y);
    for (int x = 0; x < size.cx; ++x)
      if (row[x * 4 + 3]) C->SetPixel(X + x, Y + y, TColor(RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4])));
  }
}

TSize TcxCustomLookAndFeelPainter::RadioButtonExtent() const { return RadioImages().Size(); }
