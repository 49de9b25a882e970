// The Office 2003 painter: the ultra-flat shapes in the colours of the Office 2003 scheme,
// gradient headers and bitmap expand buttons.
#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "gui/Graphics.h"

namespace {

void Fill(TcxCanvas* C, const TRect& R, TColor Colour) {
  C->UseBrushColor(Colour);
  C->FillArea(R);
}

void Strips(TcxCanvas* C, const TRect& R, TColor Colour) { C->DrawBorderStrips(R, Colour, 1, cxBordersAll); }

TRect Inflated(TRect R, int D) {
  InflateRect(R, -D, -D);
  return R;
}

}  // namespace

const TcxOffice11LookAndFeelPainter* TcxOffice11LookAndFeelPainter::Instance() {
  static const TcxOffice11LookAndFeelPainter p;
  return &p;
}

TColor TcxOffice11LookAndFeelPainter::DefaultColor(int Index) const {
  switch (Index) {
    case 3: return Office11Color16;
    case 4: return Office11HighlightColor;
    case 6: return Office11Color02;
    case 7: return DefaultColor(14);
    case 9: return Office11Color32;
    case 11: return Office11BlendedShadowColor;
    case 12: return Office11Color00;
    case 13: return Office11HeaderMidColor();
    case 15: return DefaultColor(11);
    case 22: return Office11Color02;
    case 23: return Office11Color33;
    case 24: return clWindowText;
    case 27: return Office11Color35;
    case 28: return Office11Color34;
    case 34: return Office11Color03;
    case 36: return DefaultColor(34);
    case 39: return Office11Color02;
    case 41: return DefaultColor(28);
    default: return TcxCustomLookAndFeelPainter::DefaultColor(Index);
  }
}

TColor TcxOffice11LookAndFeelPainter::Office11HeaderDarkColor() const { return Office11Color01; }
TColor TcxOffice11LookAndFeelPainter::Office11HeaderLineColor() const { return Office11Color14; }
TColor TcxOffice11LookAndFeelPainter::Office11HeaderLightColor() const { return Office11Color15; }
TColor TcxOffice11LookAndFeelPainter::Office11HeaderMidColor() const {
  return BlendColors(Office11Color00, Office11Color01, 50);
}

void TcxOffice11LookAndFeelPainter::ButtonGradient(TcxPainterButtonState State, TColor& From, TColor& To) {
  switch (State) {
    case pbsHot: From = Office11Color22, To = Office11Color23; break;
    case pbsPressed: From = Office11Color24, To = Office11Color25; break;
    default: From = Office11Color00, To = Office11Color01; break;
  }
}

TColor TcxOffice11LookAndFeelPainter::HighlightFrameColor() const { return Office11Color21; }

TColor TcxOffice11LookAndFeelPainter::FilterButtonFrameColor(TcxPainterButtonState State) const {
  return State == pbsNormal ? Office11HeaderLineColor() : Office11Color21;
}

void TcxOffice11LookAndFeelPainter::PaintBorder(TcxCanvas* C, const TRect& R) const { Strips(C, R, Office11Color18); }

TColor TcxOffice11LookAndFeelPainter::ButtonFaceColor(TcxPainterButtonState State) const {
  switch (State) {
    case pbsHot: return Office11Color22;
    case pbsPressed: return Office11Color24;
    case pbsDisabled: return clBtnFace;
    default: return Office11Color02;
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonGlyphColor(TcxPainterButtonState State, TColor) const {
  if (State == pbsPressed && !Office11SchemeFromTheme()) return clHighlightText;
  if (State == pbsDisabled) return Office11Color31;
  return Office11Color30;
}

void TcxOffice11LookAndFeelPainter::PaintButtonFrame(TcxCanvas* C, const TRect& R,
                                                     TcxPainterButtonState State) const {
  switch (State) {
    case pbsDefault: TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(C, R, State); break;
    case pbsNormal: Strips(C, R, clBtnText); break;
    case pbsDisabled: Strips(C, R, Office11Color31); break;
    default: Strips(C, R, Office11Color21); break;
  }
}

TColor TcxOffice11LookAndFeelPainter::CheckBoxFaceColor(TcxPainterButtonState State) const {
  return State == pbsHot || State == pbsPressed || State == pbsDisabled ? ButtonFaceColor(State) : clWindow;
}

void TcxOffice11LookAndFeelPainter::PaintExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor) const {
  TBitmap* bitmap = Office11ExpandButtonBitmap(Expanded);
  if (!bitmap) return;
  // The corners take on the background, so the rounded button sits on any colour; the shared
  // bitmap keeps the last blend.
  TCanvas* bc = bitmap->Canvas();
  bc->SetPixels(0, 0, BlendColors(Office11ExpandButtonColor1, C->Canvas()->Pixels(R.Left, R.Top), 25));
  const TColor corner = BlendColors(Office11ExpandButtonColor2, C->Canvas()->Pixels(R.Right - 1, R.Bottom - 1), 25);
  bc->SetPixels(10, 10, corner);
  bc->SetPixels(0, 10, corner);
  bc->SetPixels(10, 0, corner);
  C->Draw(R.Left, R.Top, bitmap);
}

void TcxOffice11LookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* C, const TRect& R, bool Expanded, TColor,
                                                           TColor FaceColour) const {
  PaintExpandButton(C, R, Expanded, FaceColour);
}

void TcxOffice11LookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* C, const TRect& R,
                                                              TcxPainterButtonState State, bool Active) const {
  Strips(C, R, FilterButtonFrameColor(State));
  const TRect r = Inflated(R, 1);
  Fill(C, r, ButtonFaceColor(State));
  DrawArrowGlyph(C, r, Active ? clBlue : ButtonGlyphColor(State));
}

void TcxOffice11LookAndFeelPainter::PaintContent(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                 TcxPainterButtonState State, TAlignment HAlign,
                                                 TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                                                 const String& Text, TFont* Font, TColor TextColour, TColor,
                                                 const TcxDrawBackgroundEvent& CustomDraw, bool Solid) const {
  if (!CustomDraw || !CustomDraw(C, R)) {
    const bool hot = State == pbsHot;
    const TColor start = hot ? Office11Color00 : Office11HeaderMidColor();
    const TColor end = hot ? Office11Color00 : Office11HeaderDarkColor();
    if (Solid) {
      FillColorRect(C->Handle(), R, start);
    } else {
      FillColorRect(C->Handle(), {R.Left, R.Top, R.Right, R.Bottom - 3}, start);
      FillGradientRect(C->Handle(), {R.Left, R.Bottom - 4, R.Right, R.Bottom}, start, end, false);
    }
  }
  // The text as the base painter draws it, over the background just painted.
  TcxCustomLookAndFeelPainter::PaintContent(C, R, TextRect, State, HAlign, VAlign, MultiLine, EndEllipsis, Text,
                                            Font, TextColour, clNone,
                                            TcxDrawBackgroundEvent::Lambda([](TcxCanvas*, const TRect&) {
                                              return true;
                                            }),
                                            Solid);
  if (State == pbsHot)
    FillGradientRect(C->Handle(), {R.Left - 1, R.Bottom - 2, R.Right, R.Bottom + 1}, Office11Color22,
                     Office11Color23, false);
}

void TcxOffice11LookAndFeelPainter::PaintHeader(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                TcxNeighbours Neighbours, int Sides, TcxPainterButtonState State,
                                                TAlignment HAlign, TcxAlignmentVert VAlign, bool MultiLine,
                                                bool EndEllipsis, const String& Text, TFont* Font,
                                                TColor TextColour, TColor Background,
                                                const TcxDrawBackgroundEvent&, bool IsLast) const {
  TcxUltraFlatLookAndFeelPainter::PaintHeader(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine,
                                              EndEllipsis, Text, Font, TextColour, Background, nullptr, IsLast);
}

void TcxOffice11LookAndFeelPainter::PaintHeaderFrame(TcxCanvas* C, const TRect& R, TcxNeighbours Neighbours,
                                                     int Sides) const {
  const TColor mid = Office11HeaderMidColor(), dark = Office11HeaderDarkColor(), line = Office11HeaderLineColor(),
               light = Office11HeaderLightColor();
  const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
  if (Sides & nTop) Fill(C, {L, T, Rt, T + 1}, mid);
  if (Sides & nBottom) Fill(C, {L, B - 1, Rt, B}, line);
  if (Sides & nLeft) {
    C->SetPixel(L, T + 1, mid);
    if (Neighbours & nLeft) {
      C->SetPixel(L, T + 2, mid);
      Fill(C, {L, T + 2, L + 1, B - 3}, light);
      C->SetPixel(L, B - 3, BlendColors(mid, dark, 25));
      C->SetPixel(L, B - 2, dark);
    } else {
      Fill(C, {L, T + 1, L + 1, B - 2}, light);
      C->SetPixel(L, B - 2, dark);
    }
  }
  if (Sides & nRight) {
    if (Neighbours & nRight) {
      C->SetPixel(Rt - 1, T + 1, mid);
      C->SetPixel(Rt - 1, T + 2, mid);
      Fill(C, {Rt - 1, T + 2, Rt, B - 3}, line);
      C->SetPixel(Rt - 1, B - 3, BlendColors(mid, dark, 25));
      C->SetPixel(Rt - 1, B - 2, dark);
    } else {
      C->SetPixel(Rt - 1, T, BlendColors(mid, line, 50));
      Fill(C, {Rt - 1, T + 1, Rt, B - 2}, line);
      C->SetPixel(Rt - 1, B - 2, BlendColors(dark, line, 50));
    }
  }
}

void TcxOffice11LookAndFeelPainter::PaintHeaderSection(TcxCanvas* C, const TRect& R, const TRect& TextRect,
                                                       TcxNeighbours Neighbours, int Sides,
                                                       TcxPainterButtonState State, TAlignment HAlign,
                                                       TcxAlignmentVert VAlign, bool MultiLine, bool EndEllipsis,
                                                       const String& Text, TFont* Font, TColor TextColour,
                                                       TColor Background) const {
  PaintHeader(C, R, TextRect, Neighbours, Sides, State, HAlign, VAlign, MultiLine, EndEllipsis, Text, Font,
              TextColour, Background, nullptr, false);
  if (State == pbsPressed) InvertHeaderArea(C, R);
}

void TcxOffice11LookAndFeelPainter::PaintSortMark(TcxCanvas* C, const TRect& R, bool Ascending) const {
  PaintSortTriangle(C, R, Office11HeaderLineColor(), Office11HeaderLightColor(), Ascending);
}

void TcxOffice11LookAndFeelPainter::PaintScrollBarArea(TcxCanvas* C, bool Horizontal, const TRect& R,
                                                       TcxScrollBarArea Area, TcxPainterButtonState State) const {
  if (VisualStylesActive({tcScrollBar}))
    TcxWinXPLookAndFeelPainter::Instance()->PaintScrollBarArea(C, Horizontal, R, Area, State);
  else
    TcxStandardLookAndFeelPainter::Instance()->PaintScrollBarArea(C, Horizontal, R, Area, State);
}

void TcxOffice11LookAndFeelPainter::PaintMonthHeader(TcxCanvas* C, const TRect& R, const String& Text,
                                                     TcxNeighbours, const TcxViewParams& Params, int Arrows,
                                                     int ArrowOffset,
                                                     const TcxDrawBackgroundEvent& CustomDraw) const {
  const TRect r = Inflated(R, 1);
  if (!CustomDraw || !CustomDraw(C, r)) C->FillAreaWithBorders(r, Params, {}, clDefault, 0);
  if (!Text.empty()) {
    C->Brush()->SetStyle(bsClear);
    if (Params.Font) C->SetFont(Params.Font);
    C->Font()->SetColor(Params.TextColor);
    C->OutputText(Text, r, txAlignHCenter | txAlignVCenter | txSingleLine);
    C->Brush()->SetStyle(bsSolid);
  }
  PaintNavigationArrows(C, R, Arrows, ArrowOffset, clWindowText);
}

void TcxOffice11LookAndFeelPainter::PaintCalendarFrame(TcxCanvas* C, const TRect& R) const {
  Strips(C, R, DefaultColor(27));
}

void TcxOffice11LookAndFeelPainter::PaintCalendarButton(TcxCanvas* C, const TRect& R,
                                                        TcxPainterButtonState State) const {
  TcxWinXPLookAndFeelPainter::Instance()->PaintCalendarButton(C, R, State);
}
