// Drawing helpers of the editors: background and border, button frames and faces, button
// widths and small geometry helpers.
#include "editors/cxEditUtils.h"

#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "editors/cxContainer.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditViewInfo.h"
#include "editors/dxOffice11.h"
#include "editors/dxThemeManager.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/ImgList.h"
#include "gui/Pictures.h"
#include "gui/SysColors.h"

#include <memory>

namespace {
constexpr TcxTextFlags kButtonCaptionFlags = txAlignHCenter | txAlignVCenter | txSingleLine | txShowPrefix | txEndEllipsis;

HTHEME ButtonTheme(const TcxEditButtonViewInfo* K) { return AcquireThemeHandle(K->ComboStyle ? tcComboBox : tcButton); }

// The left plus right (or top plus bottom) content margins of a theme class, part 1, state 1.
TRect ThemeMargins(HTHEME Theme, HDC DC) {
  TRect c;
  const TRect probe = Rect(0, 0, 100, 100);
  if (GetThemeBackgroundContentRect(Theme, DC, 1, 1, probe, c) != S_OK) return TRect();
  return Rect(c.Left, c.Top, 100 - c.Right, 100 - c.Bottom);
}

void Frame(TcxCanvas* C, TRect& R, TColor Colour) {
  C->DrawBorderStrips(R, Colour, 1, cxBordersAll);
  InflateRect(R, -1, -1);
}

void Shade(TcxCanvas* C, TRect& R, TColor A, TColor B) {
  C->DrawShadedFrame(R, A, B, cxBordersAll, 1);
  InflateRect(R, -1, -1);
}
}  // namespace

// ================================================================ small helpers

TPoint PlaceCentred(const TRect& R, int W, int H, bool Pressed) {
  TPoint p{R.Left + (R.Width() - W) / 2, R.Top + (R.Height() - H) / 2};
  if (Pressed) {
    if (p.X + W < R.Right) ++p.X;
    if (p.Y + H < R.Bottom) ++p.Y;
  }
  return p;
}

void FillRingBetween(TcxCanvas* ACanvas, const TRect& O, const TRect& I, HBRUSH Brush) {
  if (IsRectEmpty(O) || O == I) return;
  HDC dc = ACanvas->Handle();
  if (IsRectEmpty(I)) {
    FillRect(dc, O, Brush);
    return;
  }
  FillRect(dc, Rect(O.Left, O.Top, I.Left, O.Bottom), Brush);
  FillRect(dc, Rect(I.Left, O.Top, I.Right, I.Top), Brush);
  FillRect(dc, Rect(I.Right, O.Top, O.Right, O.Bottom), Brush);
  FillRect(dc, Rect(I.Left, I.Bottom, I.Right, O.Bottom), Brush);
}

int InnerEditHeightCorrection(TcxCustomEditProperties* AProperties, bool InPlace) {
  return InPlace && AProperties->Buttons()->Count() > 0 ? 1 : 0;
}

TColor HighlightBorderColor(bool Office11) { return Office11 ? Office11Color21 : clHighlight; }

TColor HighlightedButtonFaceColor(bool Pressed, bool Office11) {
  const TcxPainterButtonState s = Pressed ? pbsPressed : pbsHot;
  if (Office11) return TcxOffice11LookAndFeelPainter::Instance()->ButtonFaceColor(s);
  return TcxUltraFlatLookAndFeelPainter::Instance()->ButtonFaceColor(s);
}

bool EditShowsShadow(TcxCustomEditViewData* D) {
  return D->Style->Shadow() && !TcxCustomEditViewData::UsesNativeEditTheme(D->Style->LookAndFeel());
}

TcxLookAndFeelPainterClass ButtonPainterClass(bool NativeStyle, TcxLookAndFeelKind Kind) {
  if (NativeStyle && VisualStylesActive()) return TcxWinXPLookAndFeelPainter::Instance();
  switch (Kind) {
    case lfFlat: return TcxFlatLookAndFeelPainter::Instance();
    case lfUltraFlat: return TcxUltraFlatLookAndFeelPainter::Instance();
    case lfOffice11: return TcxOffice11LookAndFeelPainter::Instance();
    default: return TcxStandardLookAndFeelPainter::Instance();
  }
}

bool HasUsableGlyph(TBitmap* B) { return B && !B->Empty() && B->Width() >= 1 && B->Height() >= 1; }

// ================================================================ lines

void DrawPixelLines(TcxCanvas* C, const std::vector<TPoint>& P, TColor Colour, bool UseBrush) {
  if (P.empty()) return;
  if (!UseBrush) {
    C->Pen()->SetColor(Colour);
    C->Polyline(P);
    C->SetPixel(P.back().X, P.back().Y, Colour);
    return;
  }
  HBRUSH b = GetSolidBrush(Colour);
  HDC dc = C->Handle();
  for (size_t i = 0; i + 1 < P.size(); ++i) {
    TPoint a = P[i], z = P[i + 1];
    if (a.X == z.X) {
      if (a.Y > z.Y) ++a.Y, ++z.Y;
      FillRect(dc, Rect(a.X, std::min(a.Y, z.Y), a.X + 1, std::max(a.Y, z.Y)), b);
    } else {
      if (a.X > z.X) ++a.X, ++z.X;
      FillRect(dc, Rect(std::min(a.X, z.X), a.Y, std::max(a.X, z.X), a.Y + 1), b);
    }
  }
  FillRect(dc, Rect(P.back().X, P.back().Y, P.back().X + 1, P.back().Y + 1), b);
}

void DrawEdgeLines(TcxCanvas* C, TRect& R, TcxBorders Sides, TColor Colour) {
  const TRect E = Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1);
  C->Pen()->SetColor(Colour);
  if (Sides.Contains(bLeft)) {
    DrawPixelLines(C, {{E.Left, E.Top}, {E.Left, E.Bottom}}, Colour, false);
    ++R.Left;
  }
  if (Sides.Contains(bRight)) {
    DrawPixelLines(C, {{E.Right, E.Top}, {E.Right, E.Bottom}}, Colour, false);
    --R.Right;
  }
  if (Sides.Contains(bTop)) {
    DrawPixelLines(C, {{E.Left, E.Top}, {E.Right, E.Top}}, Colour, false);
    ++R.Top;
  }
  if (Sides.Contains(bBottom)) {
    DrawPixelLines(C, {{E.Left, E.Bottom}, {E.Right, E.Bottom}}, Colour, false);
    --R.Bottom;
  }
}

// ================================================================ glyphs

void DrawGlyph(TCanvas* C, int X, int Y, TBitmap* Back, TColor BackColour, bool Enabled, TBitmap* Glyph) {
  const int w = Glyph->Width(), h = Glyph->Height();
  const TRect size = Rect(0, 0, w, h);
  if (Enabled) {
    TBrush* brush = Back ? Back->Canvas()->Brush() : C->Brush();
    const TBrushStyle saved = brush->Style();
    if (Back || BackColour == clNone) brush->SetStyle(bsClear);
    else brush->SetColor(BackColour);
    if (Back) {
      Back->Canvas()->BrushCopy(size, Glyph, size, Glyph->TransparentColor());
      C->Draw(X, Y, Back);
    } else {
      C->BrushCopy(Rect(X, Y, X + w, Y + h), Glyph, size, Glyph->TransparentColor());
    }
    brush->SetStyle(saved);
    return;
  }
  std::unique_ptr<TCustomImageList> images(TCustomImageList::CreateSize(w, h));
  images->AddMasked(Glyph, Glyph->TransparentColor());
  if (!Back && BackColour != clNone) {
    TBitmap tmp;
    tmp.SetSize(w, h);
    FillRect(tmp.Canvas()->Handle(), size, GetSolidBrush(BackColour));
    images->Draw(tmp.Canvas(), 0, 0, 0, false);
    C->Draw(X, Y, &tmp);
  } else if (Back) {
    images->Draw(Back->Canvas(), 0, 0, 0, false);
    C->Draw(X, Y, Back);
  } else {
    images->Draw(C, X, Y, 0, false);
  }
}

void DrawGlyph(TcxCanvas* C, int X, int Y, TBitmap* Back, TColor BackColour, bool Enabled, TBitmap* Glyph) {
  DrawGlyph(C->Canvas(), X, Y, Back, BackColour, Enabled, Glyph);
}

// ================================================================ background

namespace {
void DrawPlainBackground(TcxCanvas* C, TcxCustomEditViewInfo* V, bool FillContent, HBRUSH B) {
  TRect F = V->InsideBorderRect;
  const int w = ContainerBorderWidth(TcxContainerBorderStyle(V->EditBorderStyle));
  F.Left -= w;
  F.Top -= w;
  if (V->ShownEdges.Contains(bRight)) F.Right += w;
  if (V->ShownEdges.Contains(bBottom)) F.Bottom += w;
  if (V->ShadowVisible) DrawContainerShadow(C, F);
  if (!V->ShownEdges.Contains(bRight)) F.Right += w;
  if (!V->ShownEdges.Contains(bBottom)) F.Bottom += w;
  switch (V->EditBorderStyle) {
    case ebsSingle:
    case ebsThick: C->DrawBorderStrips(F, V->ShownBorderColor, w, cxBordersAll); break;
    case ebsFlat:
      C->DrawEdge3D(F, true, true, V->ShownEdges);
      InflateRect(F, -1, -1);
      C->DrawBorderStrips(F, clBtnFace, 1, cxBordersAll);
      break;
    case ebs3D:
      C->DrawEdge3D(F, true, true, V->ShownEdges);
      InflateRect(F, -1, -1);
      C->DrawShadedFrame(F, cl3DDkShadow, cl3DLight, V->ShownEdges, 1);
      break;
    default: break;  // none; ultra-flat and Office 2003 are shown as single by the view data
  }
  HDC dc = C->Handle();
  const TRect& O = V->OuterBounds;
  const TRect& I = V->InsideBorderRect;
  if (V->InPlace) {
    if (FillContent) {
      FillRect(dc, O, B);
    } else if (V->InPlaceBorderSet) {
      FillRect(dc, Rect(O.Left, O.Top, I.Left, O.Bottom), B);
      FillRect(dc, Rect(I.Left, O.Top, I.Right, I.Top), B);
      FillRect(dc, Rect(I.Left, I.Bottom, I.Right, O.Bottom), B);
      FillRect(dc, Rect(I.Right, O.Top, O.Right, O.Bottom), B);
    }
  } else if (FillContent) {
    FillRect(dc, I, B);
  }
}

void DrawThemedBackground(TcxCanvas* C, TcxCustomEditViewInfo* V, bool FillContent, int FrameMode, HBRUSH B) {
  HDC dc = C->Handle();
  if (V->InPlace || V->EditBorderStyle == ebsNone) {
    FillRect(dc, V->OuterBounds, B);
    return;
  }
  HTHEME theme = AcquireThemeHandle(tcEdit);
  TRect c = V->OuterBounds;
  {
    const int saved = SaveDC(dc);
    if (FrameMode == 0) {
      GetThemeBackgroundContentRect(theme, dc, 1, V->ThemeState, V->OuterBounds, c);
    } else if (FrameMode == 1) {
      InflateRect(c, -3, -3);
      c.Right = V->ContentRect.Right - 1;
    } else {
      c = V->ContentRect;
    }
    ExcludeClipRect(dc, c.Left, c.Top, c.Right, c.Bottom);
    DrawThemeBackground(theme, dc, 1, V->ThemeState, V->OuterBounds, nullptr);
    RestoreDC(dc, saved);
  }
  if (!FillContent && FrameMode != 2) FillRingBetween(C, c, V->InsideBorderRect, B);
  else if (FillContent) FillRect(dc, c, B);
}
}  // namespace

void DrawEditBackground(TcxCanvas* C, TcxCustomEditViewInfo* V, bool FillContent, int FrameMode) {
  HBRUSH B = GetSolidBrush(V->FillColor);
  HDC dc = C->Handle();
  int saved = 0;
  if (!V->Buttons.empty() && !V->Buttons[0]->PartlyTransparentTheme) {
    saved = SaveDC(dc);
    for (TcxEditButtonViewInfo* b : V->Buttons) {
      const TRect& r = b->VisibleBounds;
      ExcludeClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
    }
  }
  bool done = false;
  if (V->InPlace && V->OnCustomDrawEditor) V->OnCustomDrawEditor(V, C, done);
  if (!done) {
    if (V->UsesTheme) DrawThemedBackground(C, V, FillContent, FrameMode, B);
    else DrawPlainBackground(C, V, FillContent, B);
  }
  if (saved) RestoreDC(dc, saved);
  V->PaintButtons(C);
}

// ================================================================ button frames

namespace {
void UltraFlatFrame(TcxCanvas* C, TcxCustomEditViewInfo* V, TcxEditButtonViewInfo* K, int Index, TRect R,
                    bool Office) {
  TColor F;
  if (K->Transparent) F = K->BackgroundColor;
  else if (K->State == ebsDisabled) F = clBtnFace;
  else if (K->State == ebsNormal) F = Office ? Office11Color02 : clBtnFace;
  else F = HighlightedButtonFaceColor(K->State == ebsPressed, Office);
  const TColor H = HighlightBorderColor(Office);
  const bool quiet = K->State == ebsDisabled || K->State == ebsNormal;
  if (quiet || (K->InPlace && !(V->PaintOptions & 4))) {
    Frame(C, R, quiet ? K->BackgroundColor : H);
    TRect content = R;
    ++content.Left;
    --content.Right;
    V->PaintButtonFace(C, Index, F, clBtnText, content, R);
    return;
  }
  TRect G = R;
  if (K->LeftAligned) {
    if (K->IsLeftmost) {
      ++R.Left;
    } else {
      DrawEdgeLines(C, R, {bLeft}, H);
      ++G.Left;
    }
    if (R.Right != V->InsideBorderRect.Right) {
      DrawEdgeLines(C, R, {bRight}, H);
      --G.Right;
    } else {
      --R.Right;
    }
  } else {
    if (K->IsRightmost) {
      --R.Right;
    } else {
      DrawEdgeLines(C, R, {bRight}, H);
      --G.Right;
    }
    if (R.Left == V->InsideBorderRect.Left) {
      ++R.Left;
    } else {
      DrawEdgeLines(C, R, {bLeft}, H);
      ++G.Left;
    }
  }
  InflateRect(R, -1, -1);
  V->PaintButtonFace(C, Index, F, clBtnText, R, G);
}

void HotFlatFrame(TcxCanvas* C, TcxCustomEditViewInfo* V, TcxEditButtonViewInfo* K, int Index, TRect R) {
  static const TColor kFace[] = {clBtnFace, clBtnFace, clBtnText, clBtnShadow};
  const TColor F = K->Transparent ? K->BackgroundColor : kFace[K->State & 3];
  const bool alone = K->LeftAligned ? K->IsRightmost : K->IsLeftmost;
  if (alone) {
    Frame(C, R, clBtnShadow);
  } else {
    TcxBorders outer{bTop, bBottom};
    outer += K->LeftAligned ? bLeft : bRight;
    DrawEdgeLines(C, R, outer, clBtnShadow);
    DrawEdgeLines(C, R, {K->LeftAligned ? bRight : bLeft}, F);
  }
  DrawEdgeLines(C, R, {bLeft, bRight}, F);
  TColor content = clBtnText;
  if (K->State == ebsHot) content = K->Transparent ? clBtnShadow : clWindow;
  else if (K->State == ebsPressed) content = clWindow;
  V->PaintButtonFace(C, Index, F, content, R, R);
}
}  // namespace

void DrawEditButtonFrame(TcxCanvas* C, TcxCustomEditViewInfo* V, int Index, const TRect& Bounds,
                         TcxEditButtonStyle Style) {
  TcxEditButtonViewInfo* K = V->Buttons[Index];
  HDC dc = C->Handle();
  if (K->ThemeState != 0) {
    if (K->ComboStyle) {
      DrawThemeBackground(AcquireThemeHandle(tcComboBox), dc, 1, K->ThemeState, K->Bounds, nullptr);
      return;
    }
    HTHEME theme = AcquireThemeHandle(tcButton);
    DrawThemeBackground(theme, dc, 1, K->ThemeState, K->Bounds, nullptr);
    TRect c = K->Bounds;
    GetThemeBackgroundContentRect(theme, dc, 1, K->ThemeState, K->Bounds, c);
    V->PaintButtonFace(C, Index, TColor(0), clBtnText, c, c);
    return;
  }
  TRect R = Bounds;
  const TColor F = K->Transparent ? K->BackgroundColor : clBtnFace;
  const bool pressed = K->State == ebsPressed;
  switch (Style) {
    case btsDefault: return;
    case bts3D:
      if (pressed) {
        Frame(C, R, clBtnShadow);
        Frame(C, R, F);
      } else {
        Shade(C, R, cl3DLight, cl3DDkShadow);
        Shade(C, R, clBtnHighlight, clBtnShadow);
      }
      break;
    case btsFlat:
      DrawEdgeLines(C, R, {bLeft}, F);
      if (pressed) Shade(C, R, clBtnShadow, clBtnHighlight);
      else Shade(C, R, clBtnHighlight, clBtnShadow);
      DrawEdgeLines(C, R, {bRight}, F);
      break;
    case btsSimple:
      Frame(C, R, K->BackgroundColor);
      DrawEdgeLines(C, R, {bLeft, bRight}, F);
      break;
    case btsHotFlat: return HotFlatFrame(C, V, K, Index, R);
    case btsUltraFlat:
    case btsOffice11: return UltraFlatFrame(C, V, K, Index, R, Style == btsOffice11);
  }
  V->PaintButtonFace(C, Index, F, clBtnText, R, R);
}

// ================================================================ button faces

namespace {
void DrawEllipsis(TcxCanvas* C, TcxEditButtonViewInfo* K, TColor Colour, const TRect& R) {
  const int d = R.Width() > 11 ? 2 : 1;
  const TPoint p = PlaceCentred(R, 3 * d + 4, d, K->State == ebsPressed);
  auto dots = [&](int dx, int dy, TColor c) {
    HBRUSH b = GetSolidBrush(c);
    for (int x : {p.X, p.X + d + 2, p.X + 2 * d + 4})
      FillRect(C->Handle(), Rect(x + dx, p.Y + dy, x + dx + d, p.Y + dy + d), b);
  };
  if (K->State == ebsDisabled) {
    dots(1, 1, clBtnHighlight);
    dots(0, 0, clBtnShadow);
  } else {
    dots(0, 0, Colour);
  }
}

// Widens the content rectangle to the button's extent along one axis (odd leftovers on the
// far side when pressed, the near side otherwise).
void Widen(int& Lo, int& Hi, int Extent, bool Pressed) {
  const int D = Extent - (Hi - Lo), h = D / 2;
  if (D % 2 == 0) {
    Lo -= h;
    Hi += h;
  } else if (Pressed) {
    Lo -= h;
    Hi += D - h;
  } else {
    Hi += h;
    Lo += h - D;
  }
}

void DrawDownArrow(TcxCanvas* C, TcxCustomEditViewInfo* V, TcxEditButtonViewInfo* K, TColor Colour, const TRect& R) {
  const bool pressed = K->State == ebsPressed;
  TRect A = R;
  Widen(A.Left, A.Right, K->Bounds.Width(), pressed);
  if ((K->Bounds.Width() - R.Width()) % 2 == 0 && pressed) OffsetRect(A, 1, 0);
  if (pressed) OffsetRect(A, 0, 1);
  if (V->InPlace) Widen(A.Top, A.Bottom, K->Bounds.Height(), pressed);
  const auto* painter = TcxStandardLookAndFeelPainter::Instance();
  if (K->State == ebsDisabled) {
    TRect shifted = A;
    OffsetRect(shifted, 1, 1);
    painter->DrawArrow(C, shifted, padDown, clBtnHighlight);
    painter->DrawArrow(C, A, padDown, clBtnShadow);
  } else {
    painter->DrawArrow(C, A, padDown, Colour);
  }
}

void DrawCaption(TcxCanvas* C, TcxCustomEditViewInfo* V, TcxEditButtonViewInfo* K, TColor Colour, const TRect& R) {
  C->Brush()->SetStyle(bsClear);
  if (V->Font) C->Canvas()->Font()->Assign(V->Font);
  const bool disabled = K->State == ebsDisabled;
  if (!disabled) {
    TColor c;
    if (K->Style == btsHotFlat && (K->State == ebsPressed || K->State == ebsHot)) c = Colour;
    else if (K->TextColor == clDefault) c = V->TextColor;
    else c = K->TextColor;
    C->Canvas()->Font()->SetColor(c);
  }
  TRect T = R;
  ++T.Left;
  --T.Right;
  if (!V->InPlace) {
    ++T.Top;
    --T.Bottom;
  }
  if (disabled) {
    TRect s = T;
    OffsetRect(s, 1, 1);
    C->Canvas()->Font()->SetColor(clBtnHighlight);
    C->OutputText(K->Caption, s, kButtonCaptionFlags, true);
    C->Canvas()->Font()->SetColor(clBtnShadow);
    C->OutputText(K->Caption, T, kButtonCaptionFlags, true);
  } else {
    if (K->State == ebsPressed) OffsetRect(T, 1, 1);
    C->OutputText(K->Caption, T, kButtonCaptionFlags, true);
  }
  C->Brush()->SetStyle(bsSolid);
}

void DrawGlyphFace(TcxCanvas* C, TcxCustomEditViewInfo* V, TcxEditButtonViewInfo* K, int Index, TColor BackColour,
                   const TRect& Cr, const TRect& G) {
  TBitmap* glyph = K->Glyph;
  if (!HasUsableGlyph(glyph)) return;
  const int sw = std::min(glyph->Width(), Cr.Width()), sh = std::min(glyph->Height(), Cr.Height());
  const TPoint p = PlaceCentred(Cr, sw, sh, K->State == ebsPressed);
  const int x2 = std::min(p.X + glyph->Width(), Cr.Right), y2 = std::min(p.Y + glyph->Height(), Cr.Bottom);
  const bool enabled = K->State != ebsDisabled;
  TBitmap tmp;
  if (K->ThemeState != 0) {
    tmp.SetSize(x2 - p.X, y2 - p.Y);
    TRect b = K->Bounds;
    OffsetRect(b, -p.X, -p.Y);
    const TRect clip = Rect(0, 0, x2 - p.X, y2 - p.Y);
    DrawThemeBackground(AcquireThemeHandle(tcButton), tmp.Canvas()->Handle(), 1, K->ThemeState, b, &clip);
    DrawGlyph(C, p.X, p.Y, &tmp, clNone, enabled, glyph);
    return;
  }
  tmp.SetSize(G.Width(), G.Height());
  TcxCanvas wrapper(tmp.Canvas());
  TPoint old;
  SetWindowOrgEx(tmp.Canvas()->Handle(), G.Left, G.Top, &old);
  V->PaintButtonBackground(&wrapper, Index, BackColour, G);
  SetWindowOrgEx(tmp.Canvas()->Handle(), old.X, old.Y, nullptr);
  DrawGlyph(tmp.Canvas(), p.X - G.Left, p.Y - G.Top, nullptr, clNone, enabled, glyph);
  C->Draw(G.Left, G.Top, &tmp);
}
}  // namespace

void DrawEditButtonFace(TcxCanvas* C, TcxCustomEditViewInfo* V, int Index, TColor BackColour, TColor ContentColour,
                        const TRect& Cr, const TRect& G) {
  if (IsRectEmpty(G)) return;
  TcxEditButtonViewInfo* K = V->Buttons[Index];
  if (!K->Themed && !(K->Kind == bkGlyph && HasUsableGlyph(K->Glyph))) V->PaintButtonBackground(C, Index, BackColour, G);
  switch (K->Kind) {
    case bkEllipsis: DrawEllipsis(C, K, ContentColour, Cr); break;
    case bkDown: DrawDownArrow(C, V, K, ContentColour, Cr); break;
    case bkGlyph: DrawGlyphFace(C, V, K, Index, BackColour, Cr, G); break;
    case bkText: DrawCaption(C, V, K, ContentColour, Cr); break;
  }
}

// ================================================================ theme data and sizes

void CalculateButtonThemeData(TcxEditButtonViewInfo* K) {
  HTHEME theme = K->Themed ? ButtonTheme(K) : 0;
  K->ThemePart = theme ? 1 : 0;
  if (K->ThemePart == 0) {
    K->PartlyTransparentTheme = false;
    K->ThemeState = 0;
    return;
  }
  K->PartlyTransparentTheme = IsThemeBackgroundPartiallyTransparent(theme, K->ThemePart, K->ThemeState);
  static const int kThemeStates[] = {4, 1, 3, 2};
  K->ThemeState = kThemeStates[K->State & 3];
}

int EditButtonWidth(TcxCanvas* C, TcxEditButtonViewInfo* K) {
  if (K->Themed) K->Themed = IsThemeAvailable(true, K->ComboStyle ? 2 : 0);
  int A = 4;
  if (K->Themed) {
    const TRect m = ThemeMargins(ButtonTheme(K), C->Handle());
    A = m.Left + m.Right;
  }
  if (K->Width >= 1) return std::max(K->Width, A);
  if (K->Kind == bkGlyph && HasUsableGlyph(K->Glyph)) return K->Glyph->Width() + A;
  if (K->Kind == bkText) return std::max(A + C->TextWidthOf(K->VisibleCaption) + 3, GetSystemMetrics(SM_CYHSCROLL));
  return GetSystemMetrics(SM_CYHSCROLL);
}

int ButtonFrameHeightAllowance(TcxCanvas* C, TcxCustomEditViewInfo* V) {
  if (V->UsesTheme) {
    const TRect m = ThemeMargins(AcquireThemeHandle(tcButton), C->Handle());
    return m.Top + m.Bottom;
  }
  if (V->Buttons.empty()) return 0;
  switch (V->Buttons[0]->Style) {
    case btsDefault: return 0;
    case bts3D: return 4;
    default: return 2;
  }
}
