#pragma once
// TCanvas: drawing through a device context (WinGDI.h) that it creates on demand and into
// which it selects its pen, brush and font only when they changed, so calls on
// Canvas->Handle() and on the canvas can be mixed as the platform allows; and Frame3D.
#include "core/Events.h"
#include "core/Persistent.h"
#include "core/Types.h"
#include "gui/GraphicsObjects.h"
#include "gui/WinGDI.h"

#include <memory>
#include <mutex>
#include <vector>

KELM_ENUM(TCanvasStateItem, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = TSet<TCanvasStateItem>;
KELM_ENUM(TFillStyle, fsSurface, fsBorder)

using TCopyMode = Integer;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                    cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT,
                    cmWhiteness = WHITENESS;

class TGraphic;

class TCanvas : public TPersistent {
  KELM_CLASS(TCanvas, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Brush", &TCanvas::Brush, &TCanvas::SetBrush);
    b.Prop("CopyMode", &TCanvas::CopyMode, &TCanvas::SetCopyMode).Type("TCopyMode").Default(cmSrcCopy);
    b.Prop("Font", &TCanvas::Font, &TCanvas::SetFont);
    b.Prop("Pen", &TCanvas::Pen, &TCanvas::SetPen);
  }
public:
  // A canvas without a device: descendants make one in CreateHandle, or one is given through
  // SetHandle.
  TCanvas();
  // A canvas on a device context it takes over and frees (the layer makes contexts on images
  // and painters of its own).
  explicit TCanvas(HDC OwnedDC);
  ~TCanvas() override;

  // ---- drawing
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  void Draw(int X, int Y, TGraphic* Graphic);
  void DrawFocusRect(const TRect& Rect);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void FillRect(const TRect& Rect);
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);
  void FrameRect(const TRect& Rect);
  void LineTo(int X, int Y);
  void MoveTo(int X, int Y);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);
  // Counts[i] points of Points for the i-th polyline; drawn as one drawing.
  void PolyPolyline(const std::vector<TPoint>& Points, const std::vector<DWORD>& Counts);
  void PolyBezier(const std::vector<TPoint>& Points);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Text by the top-left of its cell; a solid brush paints the text background first.
  void TextOut(int X, int Y, const String& Text);
  void TextRect(const TRect& Rect, int X, int Y, const String& Text);
  TSize TextExtent(const String& Text);
  int TextWidth(const String& Text) { return TextExtent(Text).cx; }
  int TextHeight(const String& Text) { return TextExtent(Text).cy; }
  void Refresh();

  // ---- properties
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* v) { FPen->Assign(v); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* v) { FBrush->Assign(v); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode v) { FCopyMode = v; }
  TPoint PenPos();
  void SetPenPos(TPoint v) { MoveTo(v.X, v.Y); }
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Color);
  TRect ClipRect();
  // ExtTextOut options added to every text call (ETO_RTLREADING, ...).
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int v) { FTextFlags = v; }

  HDC Handle();
  // Gives the canvas a device context it does not own (nullptr detaches it).
  void SetHandle(HDC v);
  bool HandleAllocated() const { return FHandle != nullptr; }
  TCanvasState State() const { return FState; }
  // Makes the device context current in the given respects (selects font, pen, brush).
  void RequiredState(TCanvasState ReqState);

  // Serialises drawing from several threads on one canvas.
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TNotifyEvent& v) { FOnChanging = v; }

protected:
  virtual void CreateHandle() {}
  virtual void Changed();
  virtual void Changing();
  // Puts the stock objects back into the context; font, pen and brush are selected again
  // before the next drawing.
  void DeselectHandles();
  // Takes a device context the canvas owns and frees in FreeHandle or its destructor.
  void OwnHandle(HDC v);
  void FreeHandle();

private:
  void FontChanged(TObject*);
  void PenChanged(TObject*);
  void BrushChanged(TObject*);
  void CreateFont();
  void CreatePen();
  void CreateBrush();

  HDC FHandle = nullptr;
  bool FOwnsHandle = false;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextFlags = 0;
  std::recursive_mutex FLock;
  int FLockCount = 0;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

// Draws a 3-D frame of Width rings (top and left lines in TopColor, bottom and right ones in
// BottomColor) and returns Rect shrunk by the frame.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
