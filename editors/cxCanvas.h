#pragma once
// TcxCanvas: the one drawing object of the editor library's painters and controls. It wraps
// a platform canvas it does not own and adds tiled and bordered fills, shaded and 3-D
// frames, aligned text with an embossed disabled look, text measuring, clip-region
// arithmetic and bitmap turns. TcxScreenCanvas wraps a canvas on the screen.
// Declares TcxCanvas, TScreenCanvas and TcxScreenCanvas.
#include "editors/cxRegion.h"
#include "gui/Canvas.h"

#include <vector>

class TGraphic;

class TcxCanvas : public TObject {
public:
  explicit TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

  TCanvas* Canvas() const { return FCanvas; }
  TBrush* Brush() const { return FCanvas->Brush(); }
  TPen* Pen() const { return FCanvas->Pen(); }
  TFont* Font() const { return FCanvas->Font(); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  HDC Handle() const { return FCanvas->Handle(); }

  // The viewport origin less the window origin: logical to device coordinates.
  TPoint DeviceOrigin() const;
  void SetPixel(int X, int Y, TColor Color) { FCanvas->SetPixels(X, Y, Color); }
  void CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source) { FCanvas->CopyRect(Dest, ACanvas, Source); }
  void Draw(int X, int Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }
  void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
  void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
  void Polygon(const std::vector<TPoint>& Points) { FCanvas->Polygon(Points); }
  void Polyline(const std::vector<TPoint>& Points) { FCanvas->Polyline(Points); }
  // Sets the brush colour only when it differs (a change re-selects the brush).
  void UseBrushColor(TColor Color);

  // ---- fills and frames
  // Fills R with the brush, or tiles Bitmap over it on a grid anchored at the canvas origin;
  // with Exclude, R is then taken out of the clip region.
  void FillArea(const TRect& R, TBitmap* Bitmap = nullptr, bool Exclude = false);
  // Strips of Width along the chosen sides, never beyond R; clDefault keeps the brush colour.
  void DrawBorderStrips(const TRect& R, TColor Color, int Width, TcxBorders Borders, bool Exclude = false);
  void FillAreaWithBorders(const TRect& R, const TcxViewParams& Params, TcxBorders Borders, TColor FrameColor,
                           int Width, bool Exclude = false);
  // Left and top sides in one colour, right and bottom in the other, Width wide without
  // clamping to R; the later side wins the corners.
  void DrawShadedFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor, TcxBorders Borders, int Width);
  void DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TcxBorders Borders = cxBordersAll);
  void DrawFocusMarker(const TRect& R);
  void InvertArea(const TRect& R);

  // ---- text
  // Aligned text; a disabled text is embossed (clBtnHighlight one pixel right and down, then
  // clBtnShadow). Font colour and brush style are as before afterwards.
  void OutputText(const String& Text, const TRect& R, TcxTextFlags Flags, bool Enabled = true);
  enum TVerticalPlacement { vpNone, vpBottom, vpCenter };
  // Moves the top of R so that the text, broken as given, sits at the bottom or the centre.
  void PlaceTextVertically(TRect& R, const String& Text, TVerticalPlacement Placement, bool WordBreak, bool Prefix,
                           bool Enabled, bool NoCharBreak);
  TSize MeasureText(const String& Text);
  int TextHeightOf(const String& Text) { return MeasureText(Text).cy; }
  int TextWidthOf(const String& Text) { return MeasureText(Text).cx; }
  // The height of a line in the font (which the canvas takes).
  int FontLineHeight(TFont* AFont);
  // Fits R to the text laid out by the flags, keeping its alignment point.
  void MeasureTextRect(const String& Text, TRect& R, TcxTextFlags Flags);

  // ---- clipping
  void ExcludeClipArea(const TRect& R);
  void IntersectClipArea(const TRect& R);
  // The clip region as a new region the caller owns; no clip region reads as the rectangle
  // (0, 0, 30000, 30000). ConsiderOrigin: in logical coordinates.
  TcxRegion* ReadClipRegion(bool ConsiderOrigin = true);
  // Replaces the clip region, or combines the current one with ARegion by Mode.
  void ApplyClipRegion(TcxRegion* ARegion, TcxRegionCombineMode Mode = rcmReplace, bool DestroyRegion = true,
                       bool ConsiderOrigin = true);

  // ---- bitmaps
  // Turns the bitmap's pixels (resizing it for quarter turns); Flip turns it upside down after.
  void TurnBitmap(TBitmap* Bitmap, TcxBitmapTurn Turn, bool Flip = false);

private:
  void DrawTextOnce(const String& Text, TRect R, TcxTextFlags Flags, bool ByDrawText);
  void TilePattern(const TRect& R, TBitmap* Bitmap);
  TCanvas* FCanvas;
};

// A canvas on the screen's device context.
class TScreenCanvas : public TCanvas {
public:
  TScreenCanvas() = default;
  ~TScreenCanvas() override;

protected:
  void CreateHandle() override;

private:
  HDC FDC = nullptr;
};

// A TcxCanvas over its own screen canvas.
class TcxScreenCanvas : public TcxCanvas {
public:
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
};
