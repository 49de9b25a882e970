// The editor library's canvas wrapper.
#include "editors/cxCanvas.h"

#include "core/Scope.h"
#include "gui/Pictures.h"
#include "gui/Window.h"
#include "gui/WinGDI.h"

#include <cassert>

namespace {

// Floor division, so tiles anchored at the origin also cover negative coordinates.
int FloorDiv(int A, int B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0)) ? 1 : 0); }

// Where the pixel of row r, column c goes, for a bitmap W wide and H high.
struct TTurnTarget {
  int Row, Col;
};
TTurnTarget TurnTarget(TcxBitmapTurn Turn, bool Flip, int r, int c, int W, int H) {
  switch (Turn) {
    case btNone: return {H - 1 - r, c};  // only with Flip
    case btLeft90: return Flip ? TTurnTarget{c, r} : TTurnTarget{W - 1 - c, r};
    case btRight90: return Flip ? TTurnTarget{W - 1 - c, H - 1 - r} : TTurnTarget{c, H - 1 - r};
    case btHalf: return Flip ? TTurnTarget{r, W - 1 - c} : TTurnTarget{H - 1 - r, W - 1 - c};
  }
  return {r, c};
}

}  // namespace

TPoint TcxCanvas::DeviceOrigin() const {
  TPoint viewport, window;
  GetViewportOrgEx(Handle(), &viewport);
  GetWindowOrgEx(Handle(), &window);
  return TPoint{viewport.X - window.X, viewport.Y - window.Y};
}

void TcxCanvas::UseBrushColor(TColor Color) {
  if (Brush()->Color() != Color) Brush()->SetColor(Color);
}

// ---------------------------------------------------------------- fills and frames

void TcxCanvas::FillArea(const TRect& R, TBitmap* Bitmap, bool Exclude) {
  if (IsRectEmpty(R)) return;
  if (!Bitmap || Bitmap->Empty()) {
    FCanvas->FillRect(R);
  } else if (FCanvas->CopyMode() == cmSrcCopy && !Bitmap->Monochrome()) {
    TilePattern(R, Bitmap);
  } else {
    const int W = Bitmap->Width(), H = Bitmap->Height();
    TCanvas* source = Bitmap->Canvas();
    const int lastCol = FloorDiv(R.Right - 1, W), lastRow = FloorDiv(R.Bottom - 1, H);
    for (int row = FloorDiv(R.Top, H); row <= lastRow; ++row)
      for (int col = FloorDiv(R.Left, W); col <= lastCol; ++col) {
        const TRect cell{col * W, row * H, col * W + W, row * H + H};
        TRect dest;
        if (!IntersectRect(dest, cell, R)) continue;
        TRect src = dest;
        OffsetRect(src, -cell.Left, -cell.Top);
        FCanvas->CopyRect(dest, source, src);
      }
  }
  if (Exclude) ApplyClipRegion(new TcxRegion(R), rcmDifference, true, true);
}

void TcxCanvas::TilePattern(const TRect& R, TBitmap* Bitmap) {
  // The same picture as copying cell by cell, in one fill: a pattern brush of the bitmap
  // whose origin is the canvas origin.
  FCanvas->RequiredState({csHandleValid});
  const TPoint origin = DeviceOrigin();
  TPoint oldOrigin;
  SetBrushOrgEx(Handle(), origin.X, origin.Y, &oldOrigin);
  HBRUSH pattern = CreatePatternBrush(Bitmap->Handle());
  ::FillRect(Handle(), R, pattern);
  DeleteObject(pattern);
  SetBrushOrgEx(Handle(), oldOrigin.X, oldOrigin.Y, nullptr);
}

void TcxCanvas::DrawBorderStrips(const TRect& R, TColor Color, int Width, TcxBorders Borders, bool Exclude) {
  if (IsRectEmpty(R)) return;
  if (Color != clDefault) Brush()->SetColor(Color);
  if (Borders.Contains(bLeft)) FillArea({R.Left, R.Top, std::min(R.Left + Width, R.Right), R.Bottom}, nullptr, Exclude);
  if (Borders.Contains(bRight)) FillArea({std::max(R.Right - Width, R.Left), R.Top, R.Right, R.Bottom}, nullptr, Exclude);
  if (Borders.Contains(bTop)) FillArea({R.Left, R.Top, R.Right, std::min(R.Top + Width, R.Bottom)}, nullptr, Exclude);
  if (Borders.Contains(bBottom)) FillArea({R.Left, std::max(R.Bottom - Width, R.Top), R.Right, R.Bottom}, nullptr, Exclude);
}

void TcxCanvas::FillAreaWithBorders(const TRect& R, const TcxViewParams& Params, TcxBorders Borders,
                                    TColor FrameColor, int Width, bool Exclude) {
  DrawBorderStrips(R, FrameColor, Width, Borders, Exclude);
  TRect inner = R;
  if (Borders.Contains(bLeft)) inner.Left += Width;
  if (Borders.Contains(bTop)) inner.Top += Width;
  if (Borders.Contains(bRight)) inner.Right -= Width;
  if (Borders.Contains(bBottom)) inner.Bottom -= Width;
  UseBrushColor(Params.Color);
  FillArea(inner, Params.Bitmap, Exclude);
}

void TcxCanvas::DrawShadedFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor, TcxBorders Borders,
                                int Width) {
  if (Borders.Contains(bLeft)) {
    UseBrushColor(LeftTopColor);
    FillArea({R.Left, R.Top, R.Left + Width, R.Bottom});
  }
  if (Borders.Contains(bTop)) {
    UseBrushColor(LeftTopColor);
    FillArea({R.Left, R.Top, R.Right, R.Top + Width});
  }
  if (Borders.Contains(bRight)) {
    UseBrushColor(RightBottomColor);
    FillArea({R.Right - Width, R.Top, R.Right, R.Bottom});
  }
  if (Borders.Contains(bBottom)) {
    UseBrushColor(RightBottomColor);
    FillArea({R.Left, R.Bottom - Width, R.Right, R.Bottom});
  }
}

void TcxCanvas::DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TcxBorders Borders) {
  // [Sunken][Outer]: left/top and right/bottom colours of the ring.
  static const TColor kColors[2][2][2] = {
      {{clBtnHighlight, clBtnShadow}, {cl3DLight, cl3DDkShadow}},
      {{cl3DDkShadow, cl3DLight}, {clBtnShadow, clBtnHighlight}},
  };
  const TColor* c = kColors[Sunken][Outer];
  DrawShadedFrame(R, c[0], c[1], Borders, 1);
}

void TcxCanvas::DrawFocusMarker(const TRect& R) {
  Brush()->SetColor(TColor(0xFFFFFF));
  Font()->SetColor(clBlack);
  FCanvas->RequiredState({csHandleValid, csFontValid});
  FCanvas->DrawFocusRect(R);
}

void TcxCanvas::InvertArea(const TRect& R) {
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(cmSrcCopy);
}

// ---------------------------------------------------------------- text

void TcxCanvas::DrawTextOnce(const String& Text, TRect R, TcxTextFlags Flags, bool ByDrawText) {
  FCanvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (ByDrawText)
    DrawText(Handle(), Text, -1, &R, TextFlagsToDrawTextFlags(Flags));
  else
    ExtTextOut(Handle(), R.Left, R.Top, (Flags & txNoClip) ? 0u : UINT(ETO_CLIPPED), &R, Text);
}

void TcxCanvas::OutputText(const String& Text, const TRect& R, TcxTextFlags Flags, bool Enabled) {
  if (Text.empty()) return;
  TRect r = R;
  const bool byDrawText =
      !(Flags & txSingleLine) || (Flags & (txShowPrefix | txEndEllipsis | txPathEllipsis)) != 0;
  const TSize size = MeasureText(Text);
  if (r.Width() >= size.cx && r.Height() >= size.cy) Flags |= txNoClip;
  if (byDrawText) {
    if (!(Flags & txSingleLine) && (Flags & (txAlignBottom | txAlignVCenter)))
      PlaceTextVertically(r, Text, (Flags & txAlignBottom) ? vpBottom : vpCenter, Flags & txWordBreak,
                          Flags & txShowPrefix, Enabled, Flags & txNoCharBreak);
  } else {
    const int k = Enabled ? 0 : 1;
    if (size.cx < r.Width()) {
      if (Flags & txAlignRight)
        r.Left = r.Right - size.cx - k;
      else if (Flags & txAlignHCenter)
        r.Left = (r.Left + r.Right - size.cx) / 2;
    }
    if (size.cy < r.Height()) {
      if (Flags & txAlignBottom)
        r.Top = r.Bottom - size.cy - k;
      else if (Flags & txAlignVCenter)
        r.Top = (r.Top + r.Bottom - size.cy) / 2;
    }
  }
  const TBrushStyle brushStyle = Brush()->Style();
  const TColor fontColor = Font()->Color();
  TScopeExit restore([&] {
    if (Brush()->Style() != brushStyle) Brush()->SetStyle(brushStyle);
    Font()->SetColor(fontColor);
  });
  if (!Enabled) {
    ++r.Left;
    ++r.Top;
    Brush()->SetStyle(bsClear);
    Font()->SetColor(clBtnHighlight);
    DrawTextOnce(Text, r, Flags, byDrawText);
    OffsetRect(r, -1, -1);
    Font()->SetColor(clBtnShadow);
  }
  DrawTextOnce(Text, r, Flags, byDrawText);
}

void TcxCanvas::PlaceTextVertically(TRect& R, const String& Text, TVerticalPlacement Placement, bool WordBreak,
                                    bool Prefix, bool Enabled, bool NoCharBreak) {
  if (Placement == vpNone) return;
  const int k = Enabled ? 0 : 1;
  TRect measure{0, 0, R.Right - R.Left - k, 0};
  TcxTextFlags flags = txAlignLeft | txAlignTop;
  if (WordBreak) flags |= txWordBreak;
  if (Prefix) flags |= txShowPrefix;
  if (NoCharBreak) flags |= txNoCharBreak;
  MeasureTextRect(Text, measure, flags);
  const int h = measure.Height();
  if (Placement == vpBottom)
    R.Top = R.Bottom - (h + k);
  else
    R.Top = (R.Top + R.Bottom - h) / 2;
}

TSize TcxCanvas::MeasureText(const String& Text) {
  FCanvas->RequiredState({csHandleValid, csFontValid});
  TSize size{0, 0};
  GetTextExtentPoint32(Handle(), Text, -1, &size);
  return size;
}

int TcxCanvas::FontLineHeight(TFont* AFont) {
  SetFont(AFont);
  return TextHeightOf("Qq");
}

void TcxCanvas::MeasureTextRect(const String& Text, TRect& R, TcxTextFlags Flags) {
  const int width = R.Width(), height = R.Height();
  const UINT format = TextFlagsToDrawTextFlags(Flags);
  if (width <= 0 && !Text.empty()) R.Right = R.Left + 1;
  FCanvas->RequiredState({csHandleValid, csFontValid});
  DrawText(Handle(), Text, -1, &R, (format & ~UINT(DT_VCENTER)) | DT_CALCRECT);
  const int dw = width - R.Width(), dh = height - R.Height();
  int dx = 0, dy = 0;
  if (format & DT_CENTER)
    dx = dw / 2;
  else if (format & DT_RIGHT)
    dx = dw;
  if (format & DT_VCENTER)
    dy = dh / 2;
  else if (format & DT_BOTTOM)
    dy = dh;
  OffsetRect(R, dx, dy);
}

// ---------------------------------------------------------------- clipping

void TcxCanvas::ExcludeClipArea(const TRect& R) { ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }

void TcxCanvas::IntersectClipArea(const TRect& R) { IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }

TcxRegion* TcxCanvas::ReadClipRegion(bool ConsiderOrigin) {
  auto* region = new TcxRegion;
  if (GetClipRgn(Handle(), region->Handle()) != 1) SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  if (ConsiderOrigin) {
    const TPoint origin = DeviceOrigin();
    region->MoveBy(-origin.X, -origin.Y);
  }
  return region;
}

void TcxCanvas::ApplyClipRegion(TcxRegion* ARegion, TcxRegionCombineMode Mode, bool DestroyRegion,
                                bool ConsiderOrigin) {
  if (Mode != rcmReplace) {
    TcxRegion* clip = ReadClipRegion(ConsiderOrigin);
    clip->CombineWith(ARegion, Mode, DestroyRegion);
    ApplyClipRegion(clip, rcmReplace, true, ConsiderOrigin);
    return;
  }
  TPoint origin{0, 0};
  if (ConsiderOrigin) {
    origin = DeviceOrigin();
    ARegion->MoveBy(origin.X, origin.Y);
  }
  SelectClipRgn(Handle(), ARegion->Handle());
  if (DestroyRegion)
    delete ARegion;
  else if (ConsiderOrigin)
    ARegion->MoveBy(-origin.X, -origin.Y);
}

// ---------------------------------------------------------------- bitmaps

void TcxCanvas::TurnBitmap(TBitmap* Bitmap, TcxBitmapTurn Turn, bool Flip) {
  if (Turn == btNone && !Flip) return;
  const int W = Bitmap->Width(), H = Bitmap->Height();
  BITMAPINFO info;
  info.bmiHeader.biWidth = W;
  info.bmiHeader.biHeight = -H;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> source(std::size_t(W) * std::size_t(H)), turned(source.size());
  GetDIBits(Handle(), Bitmap->Handle(), 0, UINT(H), source.data(), &info, DIB_RGB_COLORS);
  const bool quarter = Turn == btLeft90 || Turn == btRight90;
  const int newWidth = quarter ? H : W;
  for (int r = 0; r < H; ++r)
    for (int c = 0; c < W; ++c) {
      const TTurnTarget t = TurnTarget(Turn, Flip, r, c, W, H);
      turned[std::size_t(t.Row) * std::size_t(newWidth) + std::size_t(t.Col)] = source[std::size_t(r) * std::size_t(W) + std::size_t(c)];
    }
  if (quarter) {
    Bitmap->SetSize(H, W);
    info.bmiHeader.biWidth = H;
    info.bmiHeader.biHeight = -W;
  }
  SetDIBits(Handle(), Bitmap->Handle(), 0, UINT(Bitmap->Height()), turned.data(), &info, DIB_RGB_COLORS);
}

// ---------------------------------------------------------------- screen canvases

void TScreenCanvas::CreateHandle() {
  FDC = GetDC(0);
  SetHandle(FDC);
}

TScreenCanvas::~TScreenCanvas() {
  if (FDC) {
    SetHandle(nullptr);
    ReleaseDC(0, FDC);
  }
}

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(new TScreenCanvas) {}

TcxScreenCanvas::~TcxScreenCanvas() { delete Canvas(); }
