// The standard, flat and ultra-flat painters: system colours only; raised and sunken 3-D
// edges, one-pixel 3-D edges, and one-pixel solid frames that turn to the highlight colour.
#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"

namespace {

void Fill(TcxCanvas* C, const TRect& R, TColor Colour) {
  C->UseBrushColor(Colour);
  C->FillArea(R);
}

TRect Inflated(TRect R, int D) {
  InflateRect(R, -D, -D);
  return R;
}

void Ring(TcxCanvas* C, const TRect& R, TColor LeftTop, TColor RightBottom, int Sides = nAll) {
  C->DrawShadedFrame(R, LeftTop, RightBottom, BordersFromBits(Sides), 1);
}

void Strips(TcxCanvas* C, const TRect& R, TColor Colour, int Sides = nAll) {
  C->DrawBorderStrips(R, Colour, 1, BordersFromBits(Sides));
}

TcxPainterArrowDirection AreaDirection(bool Horizontal, TcxScrollBarArea Area) {
  return TcxPainterArrowDirection(2 * (Horizontal ? 1 : 0) + (Area == sbaEndArrow ? 1 : 0));
}

// What the three classic painters share: nothing for an empty rectangle, a disabled thumb
// or no area; pages filled with the checker. True when the area is handled.
bool PaintCommonScrollArea(TcxCanvas* C, const TRect& R, TcxScrollBarArea Area, TcxPainterButtonState State) {
  if (IsRectEmpty(R) || Area == sbaNone) return true;
  if (Area == sbaThumb && State == pbsDisabled) return true;
  if (Area == sbaStartPage || Area == sbaEndPage) {
    C->FillArea(R, ScrollBarPageBitmap(State == pbsPressed));
    C->Brush()->SetStyle(bsSolid);
    return true;
  }
  return false;
}

// Lines across a splitter, then the rest filled from the view parameters.
void PaintSplitterLines(TcxCanvas* C, TRect R, const TcxViewParams& Params, bool Horizontal,
                        std::initializer_list<std::pair<TColor, TColor>> Pairs) {
  for (const auto& [first, second] : Pairs) {
    if (Horizontal) {
      Fill(C, {R.Left, R.Top, R.Right, R.Top + 1}, first);
      Fill(C, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, second);
      InflateRect(R, 1, -1);
    } else {
      Fill(C, {R.Left, R.Top, R.Left + 1, R.Bottom}, first);
      Fill(C, {R.Right - 1, R.Top, R.Right, R.Bottom}, second);
      InflateRect(R, -1, 1);
    }
  }
  C->FillAreaWithBorders(R, Params, {}, clDefault, 0);
}

}  // namespace

const TcxStandardLookAndFeelPainter* TcxStandardLookAndFeelPainter::Instance() {
  static const TcxStandardLookAndFeelPainter p;
  return &p;
}
const TcxFlatLookAndFeelPainter* TcxFlatLookAndFeelPainter::Instance() {
  static const TcxFlatLookAndFeelPainter p;
  return &p;
}
const TcxUltraFlatLookAndFeelPainter* TcxUltraFlatLookAndFeelPainter::Instance() {
  static const TcxUltraFlatLookAndFeelPainter p;
  return &p;
}

// ---------------------------------------------------------------- standard
TColor TcxStandardLookAndFeelPainter::DefaultColor(int Index) const {
  return Index == 29 ? clWindow : TcxCustomLookAndFeelPainter::DefaultColor(Index);
}

void TcxStandardLookAndFeelPainter::PaintBorder(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnShadow, clBtnHighlight);
  Ring(C, Inflated(R, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::PaintButtonFrame(TcxCanvas* C, const TRect& R,
                                                     TcxPainterButtonState State) const {
  TRect r = R;
  if (State == pbsPressed) {
    Strips(C, r, clBlack);
    Ring(C, Inflated(r, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (State == pbsDefault) {
    Strips(C, r, clBlack);
    r = Inflated(r, 1);
  }
  Ring(C, r, clBtnHighlight, cl3DDkShadow);
  Ring(C, Inflated(r, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::PaintScrollArrowFrame(TcxCanvas* C, const TRect& R, bool Pressed) {
  if (Pressed) {
    Ring(C, R, clBtnShadow, clBtnShadow);
    Ring(C, Inflated(R, 1), clBtnFace, clBtnFace);
  } else {
    Ring(C, R, clBtnFace, cl3DDkShadow);
    Ring(C, Inflated(R, 1), clBtnHighlight, clBtnShadow);
  }
}

void TcxStandardLookAndFeelPainter::PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R,
                                                       TcxScrollBarArea Area, TcxPainterButtonState State) const {
  if (State == pbsHot) State = pbsNormal;
  if (PaintCommonScrollArea(C, R, Area, State)) return;
  if (Area == sbaThumb) {
    PaintScrollArrowFrame(C, R, false);
    Fill(C, Inflated(R, ButtonFrameWidth(pbsNormal)), clBtnFace);
    return;
  }
  static const UINT kKinds[4] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
  const bool pressed = State == pbsPressed;
  TRect r = R;
  if (pressed) OffsetRect(r, 1, 1);
  UINT flags = kKinds[AreaDirection(Horizontal, Area)];
  if (State == pbsDisabled) flags |= DFCS_INACTIVE;
  if (pressed) flags |= DFCS_FLAT;
  DrawFrameControl(C->Handle(), r, DFC_SCROLL, flags);
  PaintScrollArrowFrame(C, R, pressed);
}

void TcxStandardLookAndFeelPainter::PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                      TColor FaceColour) const {
  Fill(C, {R.Left, R.Top, R.Right, R.Top + 1}, clBtnHighlight);
  Fill(C, {R.Left, R.Top, R.Left + 1, R.Bottom}, clBtnHighlight);
  Fill(C, {R.Right - 1, R.Top, R.Right, R.Bottom}, cl3DDkShadow);
  Fill(C, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, cl3DDkShadow);
  Fill(C, {R.Right - 2, R.Top + 1, R.Right - 1, R.Bottom - 1}, clBtnShadow);
  Fill(C, {R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1}, clBtnShadow);
  Fill(C, {R.Left + 1, R.Top + 1, R.Right - 2, R.Bottom - 2}, FaceColour == clcxDefault ? clBtnFace : FaceColour);
  PaintExpandCross(C, Inflated(R, 1), clBtnText, Expanded);
  C->ExcludeClipArea(R);
}

void TcxStandardLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                           TcxPainterButtonState State) const {
  // The base drawing with the flat painter's frames.
  static_cast<const TcxCustomLookAndFeelPainter*>(TcxFlatLookAndFeelPainter::Instance())
      ->TcxCustomLookAndFeelPainter::PaintGroupExpandButton(C, R, Expanded, State);
}

void TcxStandardLookAndFeelPainter::PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState) const {
  Ring(C, R, cl3DDkShadow, cl3DLight);
  Ring(C, Inflated(R, 1), clBtnShadow, clBtnHighlight);
}

void TcxStandardLookAndFeelPainter::PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const {
  PaintSortTriangle(C, R, clBtnShadow, clBtnHighlight, Ascending);
}

namespace {

void ClassicHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours, int Sides) {
  Ring(C, R, clBtnHighlight, clBtnShadow, Sides);
  if (Neighbours & nLeft) {
    C->SetPixel(R.Left, R.Top + 1, clBtnFace);
    C->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
  }
  if (Neighbours & nRight) {
    C->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
    C->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
    C->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void ClassicTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides) {
  const bool light = TabSide == nLeft || TabSide == nTop;
  TRect r = R;
  // The strip reaches one pixel further where the tab has a neighbouring side.
  if (TabSide == nLeft || TabSide == nRight) {
    if (Sides & nTop) ++r.Top;
    if (Sides & nBottom) --r.Bottom;
  } else {
    if (Sides & nLeft) ++r.Left;
    if (Sides & nRight) --r.Right;
  }
  Fill(C, r, light ? clBtnHighlight : clBtnShadow);
  if (TabSide == nTop) {
    C->SetPixel(R.Left, R.Bottom - 1, clBtnHighlight);
    C->SetPixel(R.Right - 1, R.Bottom - 1, clBtnHighlight);
  }
}

void ClassicFilterDropDown(const TcxCustomLookAndFeelPainter* P, TcxCanvas* C, const TRect& R,
                           TcxPainterButtonState State, bool Active) {
  if (State == pbsPressed)
    Ring(C, R, clBtnShadow, clBtnHighlight);
  else
    Ring(C, R, clBtnHighlight, clBtnShadow);
  const TRect r = Inflated(R, 1);
  Fill(C, r, clBtnFace);
  P->DrawArrowGlyph(C, r, Active ? clBlue : clBtnText);
}

}  // namespace

void TcxStandardLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours,
                                                     int Sides) const {
  ClassicHeaderFrame(C, R, Neighbours, Sides);
}

void TcxStandardLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides,
                                                            TcxPainterButtonState State) const {
  if (State == pbsPressed) {
    Ring(C, R, clBtnShadow, clBtnShadow, Sides);
    return;
  }
  Ring(C, R, clBtnHighlight, cl3DDkShadow, Sides);
  Ring(C, Inflated(R, 1), cl3DLight, clBtnShadow, Sides);
}

void TcxStandardLookAndFeelPainter::PaintFooterFrame(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnHighlight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnShadow, clBtnHighlight);
}

void TcxStandardLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* C, const TRect& R,
                                                              TcxPainterButtonState State, bool Active) const {
  ClassicFilterDropDown(this, C, R, State, Active);
}

void TcxStandardLookAndFeelPainter::PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides,
                                                  bool) const {
  ClassicTabFrame(C, R, TabSide, Sides);
}

void TcxStandardLookAndFeelPainter::PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool) const {
  Ring(C, R, clBtnHighlight, clBtnShadow, Sides);
}

void TcxStandardLookAndFeelPainter::PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text,
                                                     TcxNeighbours Neighbours, const TcxViewParams& Params,
                                                     int Arrows, int ArrowOffset,
                                                     const TcxDrawBackgroundEvent& CustomDraw) const {
  int sides = nAll;
  if (Neighbours & nRight) sides &= ~nRight;
  if (Neighbours & nLeft) sides &= ~nLeft;
  Strips(C, R, clBlack, sides);
  const TRect inner = HeaderTextBounds(R, sides);
  PaintHeader(C, inner, inner, Neighbours, nAll, pbsNormal, taCenter, vaCenter, false, false, Text, Params.Font,
              Params.TextColor, Params.Color, CustomDraw, false);
  PaintNavigationArrows(C, R, Arrows, ArrowOffset, clWindowText);
}

void TcxStandardLookAndFeelPainter::PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params,
                                                  bool Horizontal) const {
  PaintSplitterLines(C, R, Params, Horizontal, {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}});
}

// ---------------------------------------------------------------- flat
void TcxFlatLookAndFeelPainter::PaintBorder(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnShadow, clBtnHighlight);
}

void TcxFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const {
  if (State == pbsPressed) {
    Ring(C, R, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect r = R;
  if (State == pbsDefault) {
    Strips(C, r, clBlack);
    r = Inflated(r, 1);
  }
  Ring(C, r, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R,
                                                   TcxScrollBarArea Area, TcxPainterButtonState State) const {
  if (State == pbsHot) State = pbsNormal;
  if (PaintCommonScrollArea(C, R, Area, State)) return;
  PaintButton(C, R, String(), State, true);
  if (Area != sbaThumb)
    PaintButtonArrow(C, Inflated(R, ButtonFrameWidth(pbsNormal)), State, AreaDirection(Horizontal, Area));
}

void TcxFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                  TColor FaceColour) const {
  PaintButton(C, R, String(), pbsNormal, true, FaceColour, clcxDefault);
  PaintExpandCross(C, Inflated(R, 1), clBtnText, Expanded);
  C->ExcludeClipArea(R);
}

void TcxFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* C, const TRect& R, TcxPainterButtonState State) const {
  Ring(C, R, clBtnShadow, clBtnHighlight);
  Strips(C, Inflated(R, 1), CheckBoxFaceColor(State));
}

void TcxFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const {
  PaintSortTriangle(C, R, clBtnShadow, clBtnHighlight, Ascending);
}

void TcxFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours,
                                                 int Sides) const {
  ClassicHeaderFrame(C, R, Neighbours, Sides);
}

void TcxFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides,
                                                        TcxPainterButtonState State) const {
  if (State == pbsPressed)
    Ring(C, R, clBtnShadow, clBtnHighlight, Sides);
  else
    Ring(C, R, clBtnHighlight, clBtnShadow, Sides);
}

void TcxFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const {
  Ring(C, R, clBtnShadow, clBtnHighlight);
}

void TcxFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                          bool Active) const {
  ClassicFilterDropDown(this, C, R, State, Active);
}

void TcxFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int Sides, bool) const {
  ClassicTabFrame(C, R, TabSide, Sides);
}

void TcxFlatLookAndFeelPainter::PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool) const {
  Ring(C, R, clBtnHighlight, clBtnShadow, Sides);
}

void TcxFlatLookAndFeelPainter::PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params,
                                              bool Horizontal) const {
  PaintSplitterLines(C, R, Params, Horizontal, {{clBtnHighlight, clBtnShadow}});
}

// ---------------------------------------------------------------- ultra-flat
TColor TcxUltraFlatLookAndFeelPainter::DefaultColor(int Index) const {
  return Index == 27 ? clBtnShadow : TcxCustomLookAndFeelPainter::DefaultColor(Index);
}

void TcxUltraFlatLookAndFeelPainter::PaintBorder(TcxCanvas* C, const TRect& R) const { Strips(C, R, clBtnShadow); }

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxPainterButtonState State) const {
  if (State == pbsHot) return HotTrackBlendColor();
  if (State == pbsPressed) return PressedBlendColor();
  return clBtnFace;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonGlyphColor(TcxPainterButtonState State, TColor Colour) const {
  if (State == pbsPressed) return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonGlyphColor(State, Colour);
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusBounds(TcxCanvas*, const TRect& R) const {
  const TRect r = Inflated(R, 3);
  return IsRectEmpty(r) ? R : r;
}

TRect TcxUltraFlatLookAndFeelPainter::GroupButtonFrameWidths(int Count, int Index) const {
  TRect w{1, 2, 1, 2};
  if (Index == 0)
    w.Left = 2;
  else if (Index == Count - 1)
    w.Right = 2;
  return w;
}

void TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* C, const TRect& R,
                                                      TcxPainterButtonState State) const {
  switch (State) {
    case pbsDefault:
      Strips(C, R, clWindowFrame);
      Strips(C, Inflated(R, 1), clWindowFrame);
      break;
    case pbsNormal: Strips(C, R, clBtnText); break;
    case pbsDisabled: Strips(C, R, clBtnShadow); break;
    default: Strips(C, R, clHighlight); break;
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintGroupButton(TcxCanvas* C, const TRect& R, TcxPainterButtonState State,
                                                      int Count, int Index, TColor FrameColour) const {
  TRect r = R;
  ++r.Top;
  --r.Bottom;
  const bool first = Index == 0, last = Index == Count - 1;
  if (first) ++r.Left;
  if (last) --r.Right;
  if (State == pbsNormal || State == pbsDisabled) {
    Strips(C, r, FrameColour);
    r = Inflated(r, 1);
  } else {
    if (!first) {
      Fill(C, {r.Left, r.Top, r.Left + 1, r.Bottom}, HighlightFrameColor());
      ++r.Left;
    }
    if (!last) {
      Fill(C, {r.Right - 1, r.Top, r.Right, r.Bottom}, HighlightFrameColor());
      --r.Right;
    }
  }
  Fill(C, r, ButtonFaceColor(State));
}

void TcxUltraFlatLookAndFeelPainter::PaintHighlightFrame(TcxCanvas* C, const TRect& R, bool Selected,
                                                         bool Hot) const {
  Strips(C, R, Selected ? clBtnText : Hot ? HighlightFrameColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R,
                                                        TcxScrollBarArea Area, TcxPainterButtonState State) const {
  if (PaintCommonScrollArea(C, R, Area, State)) return;
  PaintButton(C, R, String(), State, true);
  if (Area != sbaThumb) PaintButtonArrow(C, R, State, AreaDirection(Horizontal, Area));
}

void TcxUltraFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded,
                                                       TColor FaceColour) const {
  Strips(C, R, clBtnShadow);
  const TRect r = Inflated(R, 1);
  Fill(C, r, FaceColour == clcxDefault ? clBtnFace : FaceColour);
  PaintExpandCross(C, r, clBtnText, Expanded);
  C->ExcludeClipArea(R);
}

void TcxUltraFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* C, const TRect& R,
                                                     TcxPainterButtonState State) const {
  Strips(C, R, clBtnText);
  Strips(C, Inflated(R, 1), CheckBoxFaceColor(State));
}

void TcxUltraFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const {
  PaintSortTriangle(C, R, clBtnShadow, clBtnShadow, Ascending);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours,
                                                      int Sides) const {
  if (Sides & nLeft) Fill(C, {R.Left, R.Top, R.Left + 1, R.Bottom}, clBtnText);
  if (Sides & nTop) Fill(C, {R.Left, R.Top, R.Right, R.Top + 1}, clBtnText);
  Fill(C, {R.Right - 1, R.Top, R.Right, R.Bottom}, clBtnText);
  Fill(C, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, clBtnText);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderPlain(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                      TcxNeighbours Neighbours, int Sides,
                                                      TcxPainterButtonState State, TAlignment HAlign,
                                                      TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                                                      const String& Text, TFont* Font, TColor TextColour,
                                                      TColor Background,
                                                      const TcxDrawBackgroundEvent& CustomDraw) const {
  PaintContent(C, R, Inflated(TextRect, 1), State, HAlign, VAlign, MultiLine, EndEllipsis, Text, Font, TextColour,
               Background, CustomDraw, false);
  PaintHeaderFrame(C, Inflated(R, 1), Neighbours, Sides);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* C, const TRect& R, int Sides,
                                                             TcxPainterButtonState State) const {
  const TColor c = State == pbsDisabled ? clBtnShadow : clBlack;
  Ring(C, R, c, c, Sides);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                               TcxPainterButtonState State, TAlignment HAlign,
                                                               TcxAlignmentVert VAlign, bool MultiLine,
                                                               bool EndEllipsis, const String& Text, TFont* Font,
                                                               TColor TextColour, TColor Background) const {
  const TColor back = State == pbsHot || State == pbsPressed ? ButtonFaceColor(State) : Background;
  TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(C, R, TextRect, State, HAlign, VAlign, MultiLine,
                                                         EndEllipsis, Text, Font, TextColour, back);
}

int TcxUltraFlatLookAndFeelPainter::HeaderFrameSides(TcxNeighbours Neighbours) const {
  int sides = nAll;
  if (Neighbours & nLeft) sides &= ~nLeft;
  if (Neighbours & nTop) sides &= ~nTop;
  return sides;
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* C, const TRect& R) const {
  Fill(C, {R.Right - 1, R.Top, R.Right, R.Bottom}, FooterLineColor());
  Fill(C, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, FooterLineColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* C, const TRect& R) const {
  Strips(C, R, FooterLineColor());
}

TColor TcxUltraFlatLookAndFeelPainter::FilterButtonFrameColor(TcxPainterButtonState State) const {
  return State == pbsNormal ? clBtnShadow : clHighlight;
}

void TcxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* C, const TRect& R,
                                                               TcxPainterButtonState State, bool Active) const {
  Strips(C, R, FilterButtonFrameColor(State));
  const TRect r = Inflated(R, 1);
  Fill(C, r, ButtonFaceColor(State));
  DrawArrowGlyph(C, r, Active ? clBlue : ButtonGlyphColor(State));
}

void TcxUltraFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* C, const TRect& R, int TabSide, int,
                                                   bool Vertical) const {
  const bool facesContent = Vertical ? TabSide == nRight : TabSide == nBottom;
  TRect r = R;
  if (facesContent && !Vertical) r.Right -= TabFrameWidth(Vertical);
  Fill(C, r, facesContent ? SelectedTabFrameColor() : TabFrameColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintTabsRoot(TcxCanvas* C, const TRect& R, int Sides, bool Vertical) const {
  C->DrawShadedFrame(R, TabFrameColor(), TabFrameColor(), BordersFromBits(Sides), TabFrameWidth(Vertical));
}

void TcxUltraFlatLookAndFeelPainter::PaintCalendarButton(TcxCanvas* C, const TRect& R,
                                                         TcxPainterButtonState State) const {
  PaintButton(C, R, String(), State, State == pbsHot || State == pbsPressed);
}

void TcxUltraFlatLookAndFeelPainter::PaintSplitter(TcxCanvas* C, const TRect& R, const TcxViewParams& Params,
                                                   bool Horizontal) const {
  const TColor c = DefaultColor(27);
  PaintSplitterLines(C, R, Params, Horizontal, {{c, c}});
}
