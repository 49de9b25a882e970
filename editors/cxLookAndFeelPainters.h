#pragma once
// Painters: the drawing of every standard element of the editor library (arrows, borders,
// buttons, expand buttons, check and radio marks, headers, sort marks, footers, filter
// buttons, tabs, scroll-bar parts, month headers, splitters) and the matching size and colour
// queries, in five styles. A painter keeps no state: each painter class is one object whose
// virtual operations are the class-level ones, reached through Instance(); a look-and-feel
// hands out the one to draw with.
// Declares TcxCustomLookAndFeelPainter and the standard, flat, ultra-flat, Office 2003 and
// themed painters.
#include "core/Classes.h"
#include "core/Events.h"
#include "editors/cxGraphicsUtils.h"
#include "editors/cxLookAndFeels.h"

class TcxCanvas;
class TFont;
class TBitmap;

KELM_ENUM(TcxPainterStyle, pstFlat, pstStandard, pstUltraFlat, pstNative, pstOffice11)
KELM_ENUM(TcxPainterButtonState, pbsDefault, pbsNormal, pbsHot, pbsPressed, pbsDisabled)
KELM_ENUM(TcxPainterArrowDirection, padUp, padDown, padLeft, padRight)
KELM_ENUM(TcxAlignmentVert, vaTop, vaBottom, vaCenter)
// The scroll-bar parts a painter draws (the owner-drawn scroll bar names them the same).
KELM_ENUM(TcxScrollBarArea, sbaNone, sbaStartArrow, sbaEndArrow, sbaThumb, sbaStartPage, sbaEndPage)

// Header neighbours and sides as 4-bit sets: 1 left, 2 top, 4 right, 8 bottom.
using TcxNeighbours = int;
constexpr int nLeft = 1, nTop = 2, nRight = 4, nBottom = 8, nAll = 15;
TcxBorders BordersFromBits(int Bits);

// The default-colour marker: the painter substitutes its own colour.
constexpr TColor clcxDefault = TColor(0x20000000);

// A custom drawing of a background: true when it drew.
using TcxDrawBackgroundEvent = TEvent<bool(TcxCanvas* ACanvas, const TRect& R)>;

TcxLookAndFeelKind StyleToKind(TcxPainterStyle Style);
TcxLookAndFeelPainterClass PainterForKind(TcxLookAndFeelKind Kind);

class TcxCustomLookAndFeelPainter {
public:
  virtual ~TcxCustomLookAndFeelPainter() = default;
  static const TcxCustomLookAndFeelPainter* Instance();

  virtual void DrawArrowGlyph(TcxCanvas* C, const TRect& R, TColor Colour) const;
  virtual void PaintContent(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxPainterButtonState State,
                            TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                            const String& Text, TFont* Font, TColor TextColour, TColor Background,
                            const TcxDrawBackgroundEvent& CustomDraw, bool Solid) const;
  virtual TRect FooterCellContentBounds(const TRect& R) const;
  virtual TRect FooterCellTextBounds(const TRect& R) const;
  virtual TcxPainterStyle PainterStyle() const { return pstStandard; }
  // Default colours 1 to 51 in one table per painter.
  virtual TColor DefaultColor(int Index) const;
  virtual void DrawArrow(TcxCanvas* C, const TRect& R, TcxPainterArrowDirection Direction, TColor Colour) const;
  virtual void DrawArrowButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                               TcxPainterArrowDirection Direction, bool WithFrame) const;
  virtual void PaintArrowButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const;
  virtual void PaintButtonArrow(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                TcxPainterArrowDirection Direction) const;
  virtual int BorderWidth() const { return 0; }
  virtual void PaintBorder(TcxCanvas*, const TRect&) const {}
  virtual TRect GroupButtonDisplayBounds(const TRect& R, int, int) const { return R; }
  virtual int ButtonFrameWidth(TcxPainterButtonState) const { return 0; }
  virtual TColor ButtonFaceColor(TcxPainterButtonState) const { return clBtnFace; }
  virtual TRect ButtonFocusBounds(TcxCanvas* C, const TRect& R) const;
  virtual TRect GroupButtonFrameWidths(int Count, int Index) const;
  virtual int ButtonTextMargin() const { return 0; }
  virtual int PressedTextShift() const { return 0; }
  virtual TColor ButtonGlyphColor(TcxPainterButtonState State, TColor Colour = clcxDefault) const;
  virtual TcxPainterButtonState ButtonGlyphState(TcxPainterButtonState State) const { return State; }
  virtual void PaintButton(TcxCanvas* C, const TRect& R, const String& Caption, TcxPainterButtonState State,
                           bool WithFrame = true, TColor FaceColour = clcxDefault,
                           TColor TextColour = clcxDefault) const;
  virtual void PaintGroupButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, int Count, int Index,
                                TColor FrameColour) const;
  virtual void PaintButtonFrame(TcxCanvas*, const TRect&, TcxPainterButtonState) const {}
  virtual void PaintHighlightFrame(TcxCanvas*, const TRect&, bool, bool) const {}
  virtual void PaintExpandButton(TcxCanvas*, const TRect&, bool, TColor = clcxDefault) const {}
  virtual bool ExpandButtonDrawnFirst() const { return true; }
  virtual void PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                      TcxPainterButtonState State) const;
  virtual void PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FrameColour,
                                      TColor FaceColour = clcxDefault) const;
  virtual int ExpandButtonExtent() const { return 0; }
  virtual int GroupExpandButtonExtent() const { return 15; }
  virtual bool HotTracksButtons() const { return false; }
  virtual bool HitsGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual int SmallExpandButtonExtent() const { return 9; }
  virtual int CheckFrameWidth() const { return 2; }
  virtual TColor CheckBoxFaceColor(TcxPainterButtonState State) const;
  virtual TSize CheckBoxExtent() const;
  virtual void PaintCheckMark(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, bool Checked,
                              TColor MarkColour) const;
  virtual void PaintCheckFrame(TcxCanvas*, const TRect&, TcxPainterButtonState) const {}
  virtual void PaintCheckBox(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, bool Checked) const;
  virtual void PaintRadioButton(TcxCanvas* C, int X, int Y, TcxPainterButtonState State, bool Checked,
                                bool AlwaysHighlight, TColor Background, bool HighlightWhenEnabled = false) const;
  virtual TSize RadioButtonExtent() const;
  virtual void PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours,
                           int Sides, TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign,
                           bool MultiLine, bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour,
                           TColor Background, const TcxDrawBackgroundEvent& CustomDraw, bool IsLast = false) const;
  virtual void PaintHeaderPlain(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours,
                                int Sides, TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign,
                                bool MultiLine, bool EndEllipsis, const String& Text, TFont* Font,
                                TColor TextColour, TColor Background, const TcxDrawBackgroundEvent& CustomDraw) const;
  virtual void PaintHeaderFrame(TcxCanvas*, const TRect&, TcxNeighbours, int) const {}
  virtual void InvertHeaderArea(TcxCanvas* C, const TRect& R) const;
  virtual void PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours,
                                  int Sides, TcxPainterButtonState State, TAlignment HAlign,
                                  TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis, const String& Text,
                                  TFont* Font, TColor TextColour, TColor Background) const;
  virtual void PaintHeaderSectionFrame(TcxCanvas*, const TRect&, int, TcxPainterButtonState) const {}
  virtual void PaintHeaderSectionContent(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                         TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign,
                                         bool MultiLine, bool EndEllipsis, const String& Text, TFont* Font,
                                         TColor TextColour, TColor Background) const;
  virtual void PaintHeaderText(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, TAlignment HAlign,
                               TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis, const String& Text,
                               TFont* Font, TColor TextColour) const;
  virtual void PaintSortMark(TcxCanvas*, const TRect&, bool) const {}
  virtual int HeaderFrameSides(TcxNeighbours) const { return nAll; }
  virtual int HeaderFrameWidth() const { return 0; }
  virtual TRect HeaderContentBounds(const TRect& R, TcxNeighbours Neighbours, int Sides) const;
  virtual TRect HeaderTextBounds(const TRect& R, int Sides) const;
  virtual bool HeaderPressedInverts() const { return true; }
  virtual int HeaderWidthFor(int TextWidth) const { return TextWidth + 2 * HeaderFrameWidth() + 4; }
  virtual int HeaderSectionFrameWidth(TcxPainterButtonState) const { return 1; }
  virtual TRect HeaderSectionTextBounds(const TRect& R, TcxPainterButtonState State) const;
  virtual TRect HeaderSectionContentBounds(const TRect& R, TcxPainterButtonState State) const;
  virtual int HeaderTextWidth(TcxCanvas* C, int Sides, const String& Text, TFont* Font) const;
  virtual bool HotTracksHeaders() const { return false; }
  virtual TSize SortMarkAreaSize() const { return TSize{16, SortMarkSize().cy}; }
  virtual TSize SortMarkSize() const { return TSize{0, 0}; }
  virtual void PaintFooterCell(TcxCanvas* C, const TRect& R, TAlignment HAlign, TcxAlignmentVert VAlign,
                               bool MultiLine, const String& Text, TFont* Font, TColor TextColour,
                               TColor Background, const TcxDrawBackgroundEvent& CustomDraw) const;
  virtual int FooterCellSides() const { return nAll; }
  virtual int FooterFrameWidth() const { return 0; }
  virtual int FooterCellFrameWidth() const { return 0; }
  virtual int FooterCellSpacing() const { return 0; }
  virtual bool FooterCellsRaised() const { return true; }
  virtual TColor FooterLineColor() const { return clBtnShadow; }
  virtual int FooterLineWidth() const { return 1; }
  virtual void PaintFooterFrame(TcxCanvas*, const TRect&) const {}
  virtual void PaintFooterCellFrame(TcxCanvas*, const TRect&) const {}
  virtual void PaintFooterLine(TcxCanvas* C, const TRect& R) const;
  virtual void PaintFilterActivateButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                         bool Checked) const;
  virtual void PaintFilterCloseButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const;
  virtual void PaintFilterDropDownButton(TcxCanvas*, const TRect&, TcxPainterButtonState, bool) const {}
  virtual TSize FilterActivateButtonExtent() const { return TSize{13, 13}; }
  virtual TSize FilterCloseButtonExtent() const { return TSize{16, 14}; }
  virtual TSize FilterDropDownButtonExtent() const { return TSize{15, 0}; }
  virtual bool FilterPanelFramed() const { return true; }
  virtual void PaintTab(TcxCanvas*, const TRect&, int, const String&, TcxPainterButtonState, bool, TFont*, TColor,
                        TColor, bool) const {}
  virtual void PaintTabFrame(TcxCanvas*, const TRect&, int, int, bool) const {}
  virtual void PaintTabsRoot(TcxCanvas*, const TRect&, int, bool) const {}
  virtual int TabContentOffset(bool) const { return 0; }
  virtual int TabContentOverlap(bool) const { return 0; }
  virtual int TabFrameWidth(bool) const { return 0; }
  virtual void PaintIndicatorCell(TcxCanvas* C, const TRect& R, int Kind, TColor Background,
                                  const TcxDrawBackgroundEvent& CustomDraw) const;
  virtual void PaintIndicatorCellPlain(TcxCanvas* C, const TRect& R, int Kind, TColor Background,
                                       const TcxDrawBackgroundEvent& CustomDraw) const;
  virtual bool IndicatorCellsFramed() const { return true; }
  virtual void PaintScrollBarArea(TcxCanvas*, bool, const TRect&, TcxScrollBarArea, TcxPainterButtonState) const {}
  virtual void PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text, TcxNeighbours Neighbours,
                                const TcxViewParams& Params, int Arrows, int ArrowOffset,
                                const TcxDrawBackgroundEvent& CustomDraw) const;
  virtual void PaintCalendarFrame(TcxCanvas* C, const TRect& R) const { PaintBorder(C, R); }
  virtual void PaintCalendarButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const;
  virtual void PaintSplitter(TcxCanvas*, const TRect&, const TcxViewParams&, bool) const {}
  virtual int SplitterFrameWidth() const { return 1; }

  // Helpers the painters share.
  static std::vector<TPoint> ArrowPoints(TRect R, TcxPainterArrowDirection Direction, bool Proportional);
  static void PaintExpandCross(TcxCanvas* C, const TRect& R, TColor Colour, bool Expanded);
  void PaintGroupExpandMark(TcxCanvas* C, const TRect& R, bool Expanded, TcxPainterButtonState State) const;
  void PaintCrossMark(TcxCanvas* C, const TRect& R, TColor Colour, TcxPainterButtonState State) const;
  void PaintNavigationArrows(TcxCanvas* C, const TRect& R, int Which, int Offset, TColor Colour) const;
  void PaintSortTriangle(TcxCanvas* C, const TRect& R, TColor Dark, TColor Light, bool Ascending) const;
  static void PaintIndicatorImage(TcxCanvas* C, const TRect& R, int Kind);

protected:
  TcxCustomLookAndFeelPainter() = default;
};

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxStandardLookAndFeelPainter* Instance();
  TcxPainterStyle PainterStyle() const override { return pstStandard; }
  TColor DefaultColor(int Index) const override;
  int BorderWidth() const override { return 2; }
  void PaintBorder(TcxCanvas* C, const TRect& R) const override;
  int ButtonFrameWidth(TcxPainterButtonState State) const override { return State == pbsDefault ? 3 : 2; }
  int ButtonTextMargin() const override { return 1; }
  int PressedTextShift() const override { return 1; }
  void PaintButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R, TcxScrollBarArea Area,
                          TcxPainterButtonState State) const override;
  void PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FaceColour) const override;
  void PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                              TcxPainterButtonState State) const override;
  int ExpandButtonExtent() const override { return 12; }
  void PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const override;
  TSize SortMarkSize() const override { return TSize{8, 7}; }
  void PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours, int Sides) const override;
  int HeaderFrameWidth() const override { return 1; }
  void PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides, TcxPainterButtonState State) const override;
  int HeaderSectionFrameWidth(TcxPainterButtonState State) const override { return State == pbsPressed ? 1 : 2; }
  int FooterFrameWidth() const override { return 1; }
  int FooterCellFrameWidth() const override { return 1; }
  int FooterCellSpacing() const override { return 1; }
  void PaintFooterFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                 bool Active) const override;
  void PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides, bool Vertical) const override;
  void PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const override;
  int TabFrameWidth(bool) const override { return 1; }
  void PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text, TcxNeighbours Neighbours,
                        const TcxViewParams& Params, int Arrows, int ArrowOffset,
                        const TcxDrawBackgroundEvent& CustomDraw) const override;
  void PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params, bool Horizontal) const override;

protected:
  TcxStandardLookAndFeelPainter() = default;
  // The frame of a standard scroll-bar arrow (and thumb).
  static void PaintScrollArrowFrame(TcxCanvas* C, const TRect& R, bool Pressed);
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxFlatLookAndFeelPainter* Instance();
  TcxPainterStyle PainterStyle() const override { return pstFlat; }
  int BorderWidth() const override { return 1; }
  void PaintBorder(TcxCanvas* C, const TRect& R) const override;
  int ButtonFrameWidth(TcxPainterButtonState State) const override { return State == pbsDefault ? 2 : 1; }
  int ButtonTextMargin() const override { return 1; }
  int PressedTextShift() const override { return 1; }
  void PaintButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R, TcxScrollBarArea Area,
                          TcxPainterButtonState State) const override;
  void PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FaceColour) const override;
  int ExpandButtonExtent() const override { return 11; }
  void PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const override;
  TSize SortMarkSize() const override { return TSize{8, 7}; }
  void PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours, int Sides) const override;
  int HeaderFrameWidth() const override { return 1; }
  void PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides, TcxPainterButtonState State) const override;
  int FooterFrameWidth() const override { return 1; }
  int FooterCellFrameWidth() const override { return 1; }
  int FooterCellSpacing() const override { return 1; }
  void PaintFooterFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                 bool Active) const override;
  void PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides, bool Vertical) const override;
  void PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const override;
  int TabFrameWidth(bool) const override { return 1; }
  void PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params, bool Horizontal) const override;

protected:
  TcxFlatLookAndFeelPainter() = default;
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxUltraFlatLookAndFeelPainter* Instance();
  TcxPainterStyle PainterStyle() const override { return pstUltraFlat; }
  TColor DefaultColor(int Index) const override;
  int BorderWidth() const override { return 1; }
  void PaintBorder(TcxCanvas* C, const TRect& R) const override;
  int ButtonFrameWidth(TcxPainterButtonState State) const override { return State == pbsDefault ? 2 : 1; }
  int ButtonTextMargin() const override { return 2; }
  TColor ButtonFaceColor(TcxPainterButtonState State) const override;
  TColor ButtonGlyphColor(TcxPainterButtonState State, TColor Colour = clcxDefault) const override;
  TcxPainterButtonState ButtonGlyphState(TcxPainterButtonState) const override { return pbsNormal; }
  TRect ButtonFocusBounds(TcxCanvas* C, const TRect& R) const override;
  TRect GroupButtonFrameWidths(int Count, int Index) const override;
  bool HotTracksButtons() const override { return true; }
  void PaintButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintGroupButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, int Count, int Index,
                        TColor FrameColour) const override;
  void PaintHighlightFrame(TcxCanvas* C, const TRect& R, bool Selected, bool Hot) const override;
  void PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R, TcxScrollBarArea Area,
                          TcxPainterButtonState State) const override;
  void PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FaceColour) const override;
  int ExpandButtonExtent() const override { return 11; }
  void PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const override;
  TSize SortMarkSize() const override { return TSize{7, 8}; }
  void PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours, int Sides) const override;
  void PaintHeaderPlain(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours, int Sides,
                        TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                        bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour, TColor Background,
                        const TcxDrawBackgroundEvent& CustomDraw) const override;
  void PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides, TcxPainterButtonState State) const override;
  void PaintHeaderSectionContent(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxPainterButtonState State,
                                 TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                                 const String& Text, TFont* Font, TColor TextColour,
                                 TColor Background) const override;
  int HeaderFrameSides(TcxNeighbours Neighbours) const override;
  int HeaderFrameWidth() const override { return 1; }
  int FooterFrameWidth() const override { return 1; }
  int FooterCellFrameWidth() const override { return 1; }
  int FooterCellSpacing() const override { return 2; }
  int FooterCellSides() const override { return nRight | nBottom; }
  void PaintFooterFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const override;
  TSize FilterCloseButtonExtent() const override { return TSize{16, 15}; }
  void PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                 bool Active) const override;
  void PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides, bool Vertical) const override;
  void PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const override;
  int TabFrameWidth(bool) const override { return 1; }
  void PaintCalendarButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params, bool Horizontal) const override;

  // Added by this painter.
  virtual TColor FilterButtonFrameColor(TcxPainterButtonState State) const;
  virtual TColor TabFrameColor() const { return clBtnShadow; }
  virtual TColor SelectedTabFrameColor() const { return clBtnText; }
  virtual TColor HighlightFrameColor() const { return clHighlight; }

protected:
  TcxUltraFlatLookAndFeelPainter() = default;
};

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  static const TcxOffice11LookAndFeelPainter* Instance();
  TcxPainterStyle PainterStyle() const override { return pstOffice11; }
  TColor DefaultColor(int Index) const override;
  TColor HighlightFrameColor() const override;
  TColor FilterButtonFrameColor(TcxPainterButtonState State) const override;
  TColor TabFrameColor() const override { return Office11HeaderLineColor(); }
  TColor SelectedTabFrameColor() const override { return clBtnText; }
  TColor FooterLineColor() const override { return Office11HeaderLineColor(); }
  void PaintBorder(TcxCanvas* C, const TRect& R) const override;
  TColor ButtonFaceColor(TcxPainterButtonState State) const override;
  TColor ButtonGlyphColor(TcxPainterButtonState State, TColor Colour = clcxDefault) const override;
  void PaintButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  TColor CheckBoxFaceColor(TcxPainterButtonState State) const override;
  void PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FaceColour) const override;
  void PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FrameColour,
                              TColor FaceColour) const override;
  bool ExpandButtonDrawnFirst() const override { return false; }
  int ExpandButtonExtent() const override { return 11; }
  int SmallExpandButtonExtent() const override { return 11; }
  void PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                 bool Active) const override;
  void PaintContent(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxPainterButtonState State,
                    TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis, const String& Text,
                    TFont* Font, TColor TextColour, TColor Background, const TcxDrawBackgroundEvent& CustomDraw,
                    bool Solid) const override;
  void PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours, int Sides,
                   TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                   bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour, TColor Background,
                   const TcxDrawBackgroundEvent& CustomDraw, bool IsLast) const override;
  void PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours, int Sides) const override;
  void PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours, int Sides,
                          TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                          bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour,
                          TColor Background) const override;
  void PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const override;
  int HeaderFrameSides(TcxNeighbours) const override { return nAll; }
  bool HotTracksHeaders() const override { return true; }
  void PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R, TcxScrollBarArea Area,
                          TcxPainterButtonState State) const override;
  void PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text, TcxNeighbours Neighbours,
                        const TcxViewParams& Params, int Arrows, int ArrowOffset,
                        const TcxDrawBackgroundEvent& CustomDraw) const override;
  void PaintCalendarFrame(TcxCanvas* C, const TRect& R) const override;
  void PaintCalendarButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;

  // The vertical gradient of an editor button face in this style: normal, hot and pressed
  // pairs of the scheme (other states take the normal pair).
  static void ButtonGradient(TcxPainterButtonState State, TColor& From, TColor& To);

  // Added by this painter.
  virtual TColor Office11HeaderDarkColor() const;
  virtual TColor Office11HeaderLineColor() const;
  virtual TColor Office11HeaderLightColor() const;
  virtual TColor Office11HeaderMidColor() const;

protected:
  TcxOffice11LookAndFeelPainter() = default;
};

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  static const TcxWinXPLookAndFeelPainter* Instance();
  TcxPainterStyle PainterStyle() const override { return pstNative; }
  TColor DefaultColor(int Index) const override;
  void DrawArrowButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, TcxPainterArrowDirection Direction,
                       bool WithFrame) const override;
  void PaintArrowButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  int BorderWidth() const override;
  void PaintBorder(TcxCanvas* C, const TRect& R) const override;
  TRect GroupButtonDisplayBounds(const TRect& R, int Count, int Index) const override;
  int ButtonFrameWidth(TcxPainterButtonState State) const override;
  TColor ButtonFaceColor(TcxPainterButtonState State) const override;
  TRect ButtonFocusBounds(TcxCanvas* C, const TRect& R) const override;
  TRect GroupButtonFrameWidths(int Count, int Index) const override;
  TColor ButtonGlyphColor(TcxPainterButtonState State, TColor Colour = clcxDefault) const override;
  int ButtonTextMargin() const override { return 2; }
  int PressedTextShift() const override { return 0; }
  void PaintButton(TcxCanvas* C, const TRect& R, const String& Caption, TcxPainterButtonState State, bool WithFrame,
                   TColor FaceColour, TColor TextColour) const override;
  void PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FaceColour) const override;
  bool ExpandButtonDrawnFirst() const override { return false; }
  void PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                              TcxPainterButtonState State) const override;
  void PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor FrameColour,
                              TColor FaceColour) const override;
  int ExpandButtonExtent() const override;
  int GroupExpandButtonExtent() const override;
  int SmallExpandButtonExtent() const override;
  bool HotTracksButtons() const override { return true; }
  bool HitsGroupExpandButton(const TRect& R, const TPoint& P) const override;
  int CheckFrameWidth() const override;
  TSize CheckBoxExtent() const override;
  void PaintCheckMark(TcxCanvas* C, const TRect& R, TcxPainterButtonState State, bool Checked,
                      TColor MarkColour) const override;
  void PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintRadioButton(TcxCanvas* C, int X, int Y, TcxPainterButtonState State, bool Checked, bool AlwaysHighlight,
                        TColor Background, bool HighlightWhenEnabled) const override;
  TSize RadioButtonExtent() const override;
  void PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours, int Sides,
                   TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                   bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour, TColor Background,
                   const TcxDrawBackgroundEvent& CustomDraw, bool IsLast) const override;
  void InvertHeaderArea(TcxCanvas* C, const TRect& R) const override;
  void PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect, TcxNeighbours Neighbours, int Sides,
                          TcxPainterButtonState State, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                          bool EndEllipsis, const String& Text, TFont* Font, TColor TextColour,
                          TColor Background) const override;
  void PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const override;
  TSize SortMarkSize() const override { return TSize{7, 8}; }
  int HeaderFrameWidth() const override;
  int HeaderSectionFrameWidth(TcxPainterButtonState) const override { return HeaderFrameWidth(); }
  TRect HeaderSectionContentBounds(const TRect& R, TcxPainterButtonState State) const override;
  bool HeaderPressedInverts() const override { return false; }
  bool HotTracksHeaders() const override { return true; }
  void PaintFooterFrame(TcxCanvas* C, const TRect& R) const override;
  int FooterFrameWidth() const override;
  void PaintFooterCell(TcxCanvas* C, const TRect& R, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                       const String& Text, TFont* Font, TColor TextColour, TColor Background,
                       const TcxDrawBackgroundEvent& CustomDraw) const override;
  int FooterCellFrameWidth() const override;
  int FooterCellSpacing() const override;
  bool FooterCellsRaised() const override { return false; }
  void PaintFilterCloseButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                 bool Active) const override;
  TSize FilterActivateButtonExtent() const override;
  TSize FilterCloseButtonExtent() const override;
  void PaintTab(TcxCanvas* C, const TRect& R, int Sides, const String& Text, TcxPainterButtonState State,
                bool Vertical, TFont* Font, TColor TextColour, TColor Background, bool ShowPrefix) const override;
  void PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides, bool Vertical) const override;
  void PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const override;
  int TabContentOffset(bool Vertical) const override;
  int TabContentOverlap(bool Vertical) const override;
  int TabFrameWidth(bool Vertical) const override;
  void PaintIndicatorCell(TcxCanvas* C, const TRect& R, int Kind, TColor Background,
                          const TcxDrawBackgroundEvent& CustomDraw) const override;
  void PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R, TcxScrollBarArea Area,
                          TcxPainterButtonState State) const override;
  void PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text, TcxNeighbours Neighbours,
                        const TcxViewParams& Params, int Arrows, int ArrowOffset,
                        const TcxDrawBackgroundEvent& CustomDraw) const override;
  void PaintCalendarButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const override;
  void PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params, bool Horizontal) const override;

  // Added by this painter: text in a themed part; R and Background take no part.
  virtual void PaintThemedText(TcxCanvas* C, HTHEME Theme, int Part, int State, const TRect& R,
                               const TRect& TextRect, TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                               bool EndEllipsis, bool ShowPrefix, const String& Text, TFont* Font,
                               TColor TextColour, TColor Background) const;

protected:
  TcxWinXPLookAndFeelPainter() = default;
};

// Process-wide resources of the painters.
// The two 8 x 8 checker bitmaps of scroll-bar pages, repainted from the system colours.
void RefreshScrollBarBitmaps();
TBitmap* ScrollBarPageBitmap(bool Pressed);
// The code of a pixel of the radio-button pattern: 0 outside, 1 and 2 the outline above and
// below the rising diagonal, 3 and 4 the inner ring likewise, 5 the body, 6 the dot.
int RadioPatternCode(int X, int Y);
