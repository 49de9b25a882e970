// The themed painter: draws with the platform's visual styles; every operation whose theme
// class does not open does what the standard painter does.
#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"

#include <memory>

namespace {

using TStd = TcxStandardLookAndFeelPainter;

// Theme states by button state (default, normal, hot, pressed, disabled).
constexpr int kPushState[5] = {5, 1, 2, 3, 4};
constexpr int kCheckState[2][5] = {{1, 1, 2, 3, 4}, {5, 5, 6, 7, 8}};
constexpr int kArrowState[5] = {1, 1, 2, 3, 4};
constexpr int kThumbState[5] = {1, 1, 2, 3, 4};
constexpr int kItemState[5] = {1, 1, 2, 3, 4};  // combo drop-down, window close button, tab item
constexpr int kHeaderState[5] = {1, 1, 2, 3, 1};
// The explorer bar maps only normal, hot and pressed; default and disabled take normal.
constexpr int kExplorerBarState[5] = {1, 1, 2, 3, 1};
constexpr int kToolBarState[5] = {2, 2, 5, 3, 4};

HTHEME Theme(TdxThemeClass AClass) { return AcquireThemeHandle(AClass); }

TRect Inflated(TRect R, int D) {
  InflateRect(R, -D, -D);
  return R;
}

// The content margin of a part measured on (0, 0, 100, 100): left, top, 100 - right, 100 - bottom.
bool ContentMargins(HTHEME T, int Part, int State, TRect& Margins) {
  TRect content;
  if (GetThemeBackgroundContentRect(T, 0, Part, State, TRect{0, 0, 100, 100}, content) != S_OK) return false;
  Margins = {content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
  return true;
}

TSize PartSize(HTHEME T, int Part, int State) {
  TSize size{0, 0};
  GetThemePartSize(T, 0, Part, State, nullptr, TS_TRUE, size);
  return size;
}

TColor ThemeColorOr(HTHEME T, int Part, int State, int Prop, TColor Fallback) {
  COLORREF c = 0;
  if (!T || GetThemeColor(T, Part, State, Prop, c) != S_OK) return Fallback;
  return TColor(c);
}

}  // namespace

const TcxWinXPLookAndFeelPainter* TcxWinXPLookAndFeelPainter::Instance() {
  static const TcxWinXPLookAndFeelPainter p;
  return &p;
}

TColor TcxWinXPLookAndFeelPainter::DefaultColor(int Index) const {
  if (Index == 27) return ThemeColorOr(Theme(tcComboBox), 1, 1, 3801, clBtnShadow);
  if (Index == 29) return TColor(RGB(255, 255, 213));
  return TcxStandardLookAndFeelPainter::DefaultColor(Index);
}

void TcxWinXPLookAndFeelPainter::DrawArrowButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                 TcxPainterArrowDirection Direction, bool WithFrame) const {
  const HTHEME t = Theme(tcScrollBar);
  if (!t) return TStd::DrawArrowButton(C, R, State, Direction, WithFrame);
  DrawThemeBackground(t, C->Handle(), 1, 4 * Direction + kArrowState[State], R, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintArrowButtonFrame(TcxCanvas* C, const TRect& R,
                                                       TcxPainterButtonState State) const {
  const HTHEME t = Theme(tcButton);
  if (!t) return TStd::PaintArrowButtonFrame(C, R, State);
  DrawThemeBackground(t, C->Handle(), 1, kPushState[State], R, nullptr);
}

int TcxWinXPLookAndFeelPainter::BorderWidth() const { return Theme(tcListView) ? 1 : 2; }

void TcxWinXPLookAndFeelPainter::PaintBorder(TcxCanvas* C, const TRect& R) const {
  const HTHEME t = Theme(tcListView);
  if (!t) return TStd::PaintBorder(C, R);
  const int saved = SaveDC(C->Handle());
  const TRect inner = Inflated(R, 1);
  ExcludeClipRect(C->Handle(), inner.Left, inner.Top, inner.Right, inner.Bottom);
  DrawThemeBackground(t, C->Handle(), 5, 0, R, nullptr);
  RestoreDC(C->Handle(), saved);
}

TRect TcxWinXPLookAndFeelPainter::GroupButtonDisplayBounds(const TRect& R, int Count, int Index) const {
  const HTHEME t = Theme(tcButton);
  if (!t) return TStd::GroupButtonDisplayBounds(R, Count, Index);
  TRect r = R;
  if (IsThemeBackgroundPartiallyTransparent(t, 1, 1)) InflateRect(r, 1, 1);
  return r;
}

int TcxWinXPLookAndFeelPainter::ButtonFrameWidth(TcxPainterButtonState State) const {
  TRect m;
  const HTHEME t = Theme(tcButton);
  if (!t || !ContentMargins(t, 1, kPushState[State], m)) return TStd::ButtonFrameWidth(pbsNormal);
  return m.Left;
}

// Under a theme the button face is the platform's button face too: no themed drawing of this
// painter reads it.
TColor TcxWinXPLookAndFeelPainter::ButtonFaceColor(TcxPainterButtonState State) const {
  return TStd::ButtonFaceColor(State);
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* C, const TRect& R) const {
  const HTHEME t = Theme(tcButton);
  TRect content;
  if (!t || GetThemeBackgroundContentRect(t, C->Handle(), 1, 1, R, content) != S_OK)
    return TStd::ButtonFocusBounds(C, R);
  return content;
}

TRect TcxWinXPLookAndFeelPainter::GroupButtonFrameWidths(int Count, int Index) const {
  TRect m;
  const HTHEME t = Theme(tcButton);
  if (!t || !ContentMargins(t, 1, 1, m)) return TStd::GroupButtonFrameWidths(Count, Index);
  if (IsThemeBackgroundPartiallyTransparent(t, 1, 1)) InflateRect(m, 1, 1);
  return m;
}

TColor TcxWinXPLookAndFeelPainter::ButtonGlyphColor(TcxPainterButtonState State, TColor Colour) const {
  const HTHEME t = Theme(tcButton);
  if (!t) return TStd::ButtonGlyphColor(State, Colour);
  return ThemeColorOr(t, 1, kPushState[State], 3803, TStd::ButtonGlyphColor(State, Colour));
}

void TcxWinXPLookAndFeelPainter::PaintButton(TcxCanvas* C, const TRect& R, const String& Caption,
                                             TcxPainterButtonState State, bool WithFrame, TColor FaceColour,
                                             TColor TextColour) const {
  const HTHEME t = Theme(tcButton);
  if (!t) return TStd::PaintButton(C, R, Caption, State, WithFrame, FaceColour, TextColour);
  DrawThemeBackground(t, C->Handle(), 1, kPushState[State], R, nullptr);
  if (Caption.empty()) return;
  // Themed text never paints a background of its own.
  C->Brush()->SetStyle(bsClear);
  DrawThemeText(t, C->Handle(), 1, kPushState[State], Caption, -1, 37, 0, R);
  C->Brush()->SetStyle(bsSolid);
}

void TcxWinXPLookAndFeelPainter::PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                   TColor FaceColour) const {
  const HTHEME t = Theme(tcTreeView);
  if (!t) return TStd::PaintExpandButton(C, R, Expanded, FaceColour);
  DrawThemeBackground(t, C->Handle(), 2, Expanded ? 2 : 1, R, nullptr);
  C->ExcludeClipArea(R);
}

void TcxWinXPLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                        TcxPainterButtonState State) const {
  const HTHEME t = Theme(tcExplorerBar);
  if (!t) return TStd::PaintGroupExpandButton(C, R, Expanded, State);
  DrawThemeBackground(t, C->Handle(), Expanded ? 6 : 7, kExplorerBarState[State], R, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                        TColor FrameColour, TColor FaceColour) const {
  if (Theme(tcTreeView)) return PaintExpandButton(C, R, Expanded, clcxDefault);
  TcxCustomLookAndFeelPainter::PaintSmallExpandButton(C, R, Expanded, FrameColour, FaceColour);
}

int TcxWinXPLookAndFeelPainter::ExpandButtonExtent() const {
  const HTHEME t = Theme(tcTreeView);
  return t ? PartSize(t, 2, 2).cx : TStd::ExpandButtonExtent();
}

int TcxWinXPLookAndFeelPainter::GroupExpandButtonExtent() const {
  const HTHEME t = Theme(tcExplorerBar);
  return t ? PartSize(t, 7, 1).cx : TStd::GroupExpandButtonExtent();
}

int TcxWinXPLookAndFeelPainter::SmallExpandButtonExtent() const {
  return Theme(tcTreeView) ? ExpandButtonExtent() : 9;
}

bool TcxWinXPLookAndFeelPainter::HitsGroupExpandButton(const TRect& R, const TPoint& P) const {
  const HTHEME t = Theme(tcExplorerBar);
  HRGN region = 0;
  if (!t || GetThemeBackgroundRegion(t, 0, 7, 1, R, region) != S_OK) return TStd::HitsGroupExpandButton(R, P);
  const bool inside = PtInRegion(region, P.X, P.Y) != 0;
  DeleteObject(region);
  return inside;
}

int TcxWinXPLookAndFeelPainter::CheckFrameWidth() const { return Theme(tcButton) ? 0 : 2; }

TSize TcxWinXPLookAndFeelPainter::CheckBoxExtent() const {
  const HTHEME t = Theme(tcButton);
  return t ? PartSize(t, 3, 5) : TStd::CheckBoxExtent();
}

void TcxWinXPLookAndFeelPainter::PaintCheckMark(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                bool Checked, TColor MarkColour) const {
  const HTHEME t = Theme(tcButton);
  if (!t) return TStd::PaintCheckMark(C, R, State, Checked, MarkColour);
  DrawThemeBackground(t, C->Handle(), 3, kCheckState[Checked][State], R, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const {
  if (!Theme(tcButton)) TStd::PaintCheckFrame(C, R, State);
}

void TcxWinXPLookAndFeelPainter::PaintRadioButton(TcxCanvas* C, int X, int Y, TcxPainterButtonState State,
                                                  bool Checked, bool AlwaysHighlight, TColor Background,
                                                  bool HighlightWhenEnabled) const {
  const HTHEME t = Theme(tcButton);
  if (!t)
    return TStd::PaintRadioButton(C, X, Y, State, Checked, AlwaysHighlight, Background, HighlightWhenEnabled);
  const TSize size = RadioButtonExtent();
  DrawThemeBackground(t, C->Handle(), 2, kCheckState[Checked][State], TRect{X, Y, X + size.cx, Y + size.cy},
                      nullptr);
}

TSize TcxWinXPLookAndFeelPainter::RadioButtonExtent() const {
  const HTHEME t = Theme(tcButton);
  return t ? PartSize(t, 2, 1) : TStd::RadioButtonExtent();
}

void TcxWinXPLookAndFeelPainter::PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                             TcxNeighbours Neighbours, int Sides, TcxPainterButtonState State,
                                             TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                             bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour,
                                             TColor Background, const TcxDrawBackgroundEvent& CustomDraw,
                                             bool IsLast) const {
  const HTHEME t = Theme(tcHeader);
  if (!t)
    return TStd::PaintHeader(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine, EndEllipsis, Text,
                             Font, TextColour, Background, CustomDraw, IsLast);
  const int state = kHeaderState[State];
  const int scheme = Office11SchemeNumber();
  const int part = IsLast && state == 1 && (scheme == 1 || scheme == 2) ? 3 : 1;
  DrawThemeBackground(t, C->Handle(), part, state, R, nullptr);
  TRect text = TextRect;
  if (State == pbsPressed) OffsetRect(text, 1, 1);
  PaintThemedText(C, t, part, state, R, text, HAlign, VAlign, MultiLine, EndEllipsis, false, Text, Font, TextColour,
                  Background);
}

void TcxWinXPLookAndFeelPainter::InvertHeaderArea(TcxCanvas* C, const TRect& R) const {
  if (!Theme(tcHeader)) TStd::InvertHeaderArea(C, R);
}

void TcxWinXPLookAndFeelPainter::PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                    TcxNeighbours Neighbours, int Sides,
                                                    TcxPainterButtonState State, TAlignment HAlign,
                                                    TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                                                    const String& Text, TFont* Font, TColor TextColour,
                                                    TColor Background) const {
  if (!Theme(tcHeader))
    return TStd::PaintHeaderSection(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine,
                                    EndEllipsis, Text, Font, TextColour, Background);
  C->UseBrushColor(clBtnFace);
  C->FillArea(R);
  PaintHeader(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine, EndEllipsis, Text, Font,
              TextColour, Background, nullptr, false);
}

void TcxWinXPLookAndFeelPainter::PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const {
  PaintSortTriangle(C, R, clBtnShadow, clBtnShadow, Ascending);
}

int TcxWinXPLookAndFeelPainter::HeaderFrameWidth() const {
  TRect m;
  const HTHEME t = Theme(tcHeader);
  if (!t || !ContentMargins(t, 1, 1, m)) return 1;
  return (m.Left + m.Top) / 2;
}

TRect TcxWinXPLookAndFeelPainter::HeaderSectionContentBounds(const TRect& R, TcxPainterButtonState State) const {
  if (Theme(tcHeader)) return Inflated(R, HeaderFrameWidth());
  return TStd::HeaderSectionContentBounds(R, State);
}

void TcxWinXPLookAndFeelPainter::PaintFooterFrame(TcxCanvas* C, const TRect& R) const {
  const HTHEME t = Theme(tcEdit);
  if (!t) return TStd::PaintFooterFrame(C, R);
  DrawThemeEdge(t, C->Handle(), 0, 0, R, BDR_RAISEDINNER, BF_RECT, nullptr);
}

int TcxWinXPLookAndFeelPainter::FooterFrameWidth() const {
  return Theme(tcEdit) ? 1 : TStd::FooterFrameWidth();
}

void TcxWinXPLookAndFeelPainter::PaintFooterCell(TcxCanvas* C, const TRect& R, TAlignment HAlign,
                                                 TcxAlignmentVert VAlign, bool MultiLine, const String& Text,
                                                 TFont* Font, TColor TextColour, TColor Background,
                                                 const TcxDrawBackgroundEvent& CustomDraw) const {
  const HTHEME t = Theme(tcTrackBar);
  if (!t)
    return TStd::PaintFooterCell(C, R, HAlign, VAlign, MultiLine, Text, Font, TextColour, Background, CustomDraw);
  DrawThemeBackground(t, C->Handle(), 1, 1, R, nullptr);
  PaintThemedText(C, t, 1, 1, R, FooterCellTextBounds(R), HAlign, VAlign, MultiLine, false, false, Text, Font,
                  TextColour, Background);
}

int TcxWinXPLookAndFeelPainter::FooterCellFrameWidth() const {
  TRect m;
  const HTHEME t = Theme(tcTrackBar);
  if (!t || !ContentMargins(t, 1, 1, m)) return TStd::FooterCellFrameWidth();
  return m.Left;
}

int TcxWinXPLookAndFeelPainter::FooterCellSpacing() const {
  return Theme(tcTrackBar) ? 1 : TStd::FooterCellSpacing();
}

void TcxWinXPLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* C, const TRect& R,
                                                        TcxPainterButtonState State) const {
  const HTHEME t = Theme(tcWindow);
  if (!t) return TStd::PaintFilterCloseButton(C, R, State);
  DrawThemeBackground(t, C->Handle(), 19, kItemState[State], R, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* C, const TRect& R,
                                                           TcxPainterButtonState State, bool Active) const {
  const HTHEME t = Theme(tcComboBox);
  if (!t) return TStd::PaintFilterDropDownButton(C, R, State, Active);
  DrawThemeBackground(t, C->Handle(), 1, kItemState[State], R, nullptr);
}

TSize TcxWinXPLookAndFeelPainter::FilterActivateButtonExtent() const {
  const HTHEME t = Theme(tcButton);
  return t ? PartSize(t, 3, 5) : TStd::FilterActivateButtonExtent();
}

TSize TcxWinXPLookAndFeelPainter::FilterCloseButtonExtent() const {
  const HTHEME t = Theme(tcWindow);
  if (!t) return TStd::FilterCloseButtonExtent();
  const TSize s = PartSize(t, 19, 1);
  return TSize{s.cx + 4, s.cy + 4};
}

void TcxWinXPLookAndFeelPainter::PaintTab(TcxCanvas* C, const TRect& R, int Sides, const String& Text,
                                          TcxPainterButtonState State, bool Vertical, TFont* Font,
                                          TColor TextColour, TColor Background, bool ShowPrefix) const {
  const HTHEME t = Theme(tcTab);
  if (!t) return TStd::PaintTab(C, R, Sides, Text, State, Vertical, Font, TextColour, Background, ShowPrefix);
  const int state = kItemState[State];
  const bool selected = State == pbsPressed;
  // The image reaches 2 pixels past each end of the tab row whose edge is not drawn.
  TRect draw = R;
  if (!Vertical) {
    if (!(Sides & nLeft)) draw.Left -= 2;
    if (!(Sides & nRight)) draw.Right += 2;
  } else {
    if (!(Sides & nTop)) draw.Top -= 2;
    if (!(Sides & nBottom)) draw.Bottom += 2;
  }
  TRect clip = R;
  if (selected)
    ++draw.Bottom;
  else
    --clip.Bottom;
  const int saved = SaveDC(C->Handle());
  IntersectClipRect(C->Handle(), clip.Left, clip.Top, clip.Right, clip.Bottom);
  if (!Vertical) {
    DrawThemeBackground(t, C->Handle(), 1, state, draw, nullptr);
  } else {
    // A vertical tab is the horizontal image turned a quarter to the left and flipped.
    const int w = draw.Bottom - draw.Top, h = draw.Right - draw.Left;
    TBitmap bitmap;
    bitmap.SetSize(w, h);
    DrawThemeBackground(t, bitmap.Canvas()->Handle(), 1, state, TRect{0, 0, w, h}, nullptr);
    C->TurnBitmap(&bitmap, btLeft90, true);
    C->Draw(draw.Left, draw.Top, &bitmap);
  }
  RestoreDC(C->Handle(), saved);
  TRect text = draw;
  if (selected) {
    if (Vertical)
      text.Right -= 2;
    else
      text.Bottom -= 2;
  }
  PaintThemedText(C, t, 1, state, R, text, taCenter, vaCenter, false, false, ShowPrefix, Text, Font, TextColour,
                  Background);
}

void TcxWinXPLookAndFeelPainter::PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides,
                                               bool Vertical) const {
  if (!Theme(tcTab)) TStd::PaintTabFrame(C, R, TabSide, Sides, Vertical);
}

void TcxWinXPLookAndFeelPainter::PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const {
  const HTHEME t = Theme(tcTab);
  if (!t) return TStd::PaintTabsRoot(C, R, Sides, Vertical);
  TRect draw = R;
  if (Vertical)
    InflateRect(draw, 0, 10);
  else
    InflateRect(draw, 10, 0);
  DrawThemeBackground(t, C->Handle(), 9, 0, draw, &R);
}

int TcxWinXPLookAndFeelPainter::TabContentOffset(bool Vertical) const {
  return Theme(tcTab) ? 1 : TStd::TabContentOffset(Vertical);
}
int TcxWinXPLookAndFeelPainter::TabContentOverlap(bool Vertical) const {
  return Theme(tcTab) ? 1 : TStd::TabContentOverlap(Vertical);
}
int TcxWinXPLookAndFeelPainter::TabFrameWidth(bool Vertical) const {
  return Theme(tcTab) ? 1 : TStd::TabFrameWidth(Vertical);
}

void TcxWinXPLookAndFeelPainter::PaintIndicatorCell(TcxCanvas* C, const TRect& R, int Kind, TColor Background,
                                                    const TcxDrawBackgroundEvent& CustomDraw) const {
  static_cast<const TcxCustomLookAndFeelPainter*>(TcxFlatLookAndFeelPainter::Instance())
      ->TcxCustomLookAndFeelPainter::PaintIndicatorCell(C, R, Kind, Background, CustomDraw);
}

void TcxWinXPLookAndFeelPainter::PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R,
                                                    TcxScrollBarArea Area, TcxPainterButtonState State) const {
  if (IsRectEmpty(R)) return;
  const HTHEME t = Theme(tcScrollBar);
  if (!t || Area == sbaNone) return TStd::PaintScrollBarArea(C, Horizontal, R, Area, State);
  switch (Area) {
    case sbaStartArrow:
    case sbaEndArrow:
      DrawArrowButton(C, R, State, TcxPainterArrowDirection(2 * (Horizontal ? 1 : 0) + (Area == sbaEndArrow)), true);
      break;
    case sbaThumb:
      DrawThemeBackground(t, C->Handle(), Horizontal ? 2 : 3, kThumbState[State], R, nullptr);
      DrawThemeBackground(t, C->Handle(), Horizontal ? 8 : 9, 0, R, nullptr);
      break;
    default: {
      const int part = Horizontal ? (Area == sbaStartPage ? 4 : 5) : (Area == sbaStartPage ? 6 : 7);
      DrawThemeBackground(t, C->Handle(), part, kThumbState[State], R, nullptr);
    }
  }
}

void TcxWinXPLookAndFeelPainter::PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text,
                                                  TcxNeighbours Neighbours, const TcxViewParams& Params,
                                                  int Arrows, int ArrowOffset,
                                                  const TcxDrawBackgroundEvent& CustomDraw) const {
  if (!Theme(tcHeader))
    return TStd::PaintMonthHeader(C, R, Text, Neighbours, Params, Arrows, ArrowOffset, CustomDraw);
  PaintHeader(C, R, R, Neighbours, nAll, pbsNormal, taCenter, vaCenter, false, false, Text, Params.Font,
              Params.TextColor, Params.Color, CustomDraw, !(Neighbours & nRight));
  PaintNavigationArrows(C, R, Arrows, ArrowOffset, clWindowText);
}

void TcxWinXPLookAndFeelPainter::PaintCalendarButton(TcxCanvas* C, const TRect& R,
                                                     TcxPainterButtonState State) const {
  const HTHEME t = Theme(tcToolBar);
  if (!t) return TStd::PaintCalendarButton(C, R, State);
  DrawThemeBackground(t, C->Handle(), 1, kToolBarState[State], R, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params,
                                               bool Horizontal) const {
  const HTHEME combo = Theme(tcComboBox);
  if (!combo || !Theme(tcListView)) return TStd::PaintSplitter(C, R, Params, Horizontal);
  const TColor c = ThemeColorOr(combo, 1, 1, 3801, clBtnShadow);
  TRect r = R;
  C->UseBrushColor(c);
  if (Horizontal) {
    C->FillArea({r.Left, r.Top, r.Right, r.Top + 1});
    C->FillArea({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    InflateRect(r, 1, -1);
  } else {
    C->FillArea({r.Left, r.Top, r.Left + 1, r.Bottom});
    C->FillArea({r.Right - 1, r.Top, r.Right, r.Bottom});
    InflateRect(r, -1, 1);
  }
  C->FillAreaWithBorders(r, Params, {}, clDefault, 0);
}

void TcxWinXPLookAndFeelPainter::PaintThemedText(TcxCanvas* C, HTHEME Theme, int Part, int State, const TRect&,
                                                 const TRect& TextRect, TAlignment HAlign, TcxAlignmentVert VAlign,
                                                 bool MultiLine, bool EndEllipsis, bool ShowPrefix,
                                                 const String& Text, TFont* Font, TColor TextColour,
                                                 TColor) const {
  if (Text.empty()) return;
  if (Font) C->SetFont(Font);
  C->Font()->SetColor(TextColour);
  TRect r = TextRect;
  if (MultiLine) {
    static const TcxCanvas::TVerticalPlacement kPlace[3] = {TcxCanvas::vpNone, TcxCanvas::vpBottom,
                                                            TcxCanvas::vpCenter};
    C->PlaceTextVertically(r, Text, kPlace[VAlign], true, ShowPrefix, true, false);
  }
  static const DWORD kH[3] = {0, DT_RIGHT, DT_CENTER};
  static const DWORD kV[3] = {0, DT_BOTTOM, DT_VCENTER};
  DWORD flags = DT_EDITCONTROL | kH[HAlign] | kV[VAlign] | (MultiLine ? DT_WORDBREAK : DT_SINGLELINE);
  if (EndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!ShowPrefix) flags |= DT_NOPREFIX;
  C->Brush()->SetStyle(bsClear);
  DrawThemeText(Theme, C->Handle(), Part, State, Text, -1, flags, 0, r);
  C->Brush()->SetStyle(bsSolid);
}
