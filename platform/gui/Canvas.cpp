// TCanvas: the drawing object over a device context. It selects its font, pen and brush into
// the context only when they changed since the last drawing, as the platform's canvas does,
// so settings made on the context directly (SetBkMode, SetTextColor) last until then.
#include "gui/Canvas.h"

#include "core/ClassBuilder.h"
#include "gui/QtBridge_p.h"

KELM_PUBLISH(TCanvas) { Published(b); }

TCanvas::TCanvas() : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->SetOnChange(TNotifyEvent(this, &TCanvas::FontChanged));
  FPen->SetOnChange(TNotifyEvent(this, &TCanvas::PenChanged));
  FBrush->SetOnChange(TNotifyEvent(this, &TCanvas::BrushChanged));
}

TCanvas::TCanvas(HDC OwnedDC) : TCanvas() { OwnHandle(OwnedDC); }


TCanvas::~TCanvas() { FreeHandle(); }

// ---------------------------------------------------------------- the device context

// Code that draws on the context directly (DrawText on Canvas->Handle()) expects the canvas's
// font, text colour, pen and brush to be in it, as the platform's canvas selects them here.
HDC TCanvas::Handle() {
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC v) {
  if (v == FHandle) return;
  FreeHandle();
  FHandle = v;
  FOwnsHandle = false;
  FState = v ? TCanvasState{csHandleValid} : TCanvasState{};
  if (v) MoveToEx(v, FPenPos.X, FPenPos.Y, nullptr);
}

void TCanvas::OwnHandle(HDC v) {
  SetHandle(v);
  FOwnsHandle = v != nullptr;
}

void TCanvas::FreeHandle() {
  if (!FHandle) return;
  DeselectHandles();
  GetCurrentPositionEx(FHandle, &FPenPos);
  HDC dc = FHandle;
  bool owned = FOwnsHandle;
  FHandle = nullptr;
  FOwnsHandle = false;
  FState = {};
  if (owned) DeleteDC(dc);
}

// The stock objects go back into the context, so that it holds none of the canvas's own
// objects any more (they may be freed, and a context that outlives the canvas stays valid).
void TCanvas::DeselectHandles() {
  if (FHandle && !(FState * TCanvasState{csFontValid, csPenValid, csBrushValid}).Empty()) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
    FState += csHandleValid;
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  FState += needed;
}

void TCanvas::CreateFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::CreatePen() {
  static const int modes[] = {R2_BLACK,      R2_WHITE,     R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, modes[FPen->Mode()]);
}

void TCanvas::CreateBrush() {
  SelectObject(FHandle, FBrush->Handle());
  COLORREF rgb = ColorToRGB(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, rgb);
    SetBkMode(FHandle, OPAQUE);
  } else {
    SetBkColor(FHandle, ~rgb & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::FontChanged(TObject*) { FState -= csFontValid; }
void TCanvas::PenChanged(TObject*) { FState -= csPenValid; }
void TCanvas::BrushChanged(TObject*) { FState -= csBrushValid; }

void TCanvas::Changed() { FOnChange(this); }
void TCanvas::Changing() { FOnChanging(this); }

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

// ---------------------------------------------------------------- drawing

namespace {
constexpr TCanvasState kShapeState{csHandleValid, csPenValid, csBrushValid};
constexpr TCanvasState kTextState{csHandleValid, csFontValid, csBrushValid};
}  // namespace

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(kShapeState);
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(kShapeState);
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(kShapeState);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(kShapeState);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState(kShapeState);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(kShapeState);
  ::Polygon(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(kShapeState);
  ::Polyline(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::PolyPolyline(const std::vector<TPoint>& Points, const std::vector<DWORD>& Counts) {
  std::size_t total = 0;
  for (DWORD c : Counts) total += c;
  if (total > Points.size()) throw EInvalidOperation("PolyPolyline: the counts exceed the points");
  Changing();
  RequiredState(kShapeState);
  ::PolyPolyline(FHandle, Points.data(), Counts.data(), int(Counts.size()));
  Changed();
}

void TCanvas::PolyBezier(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(kShapeState);
  ::PolyBezier(FHandle, Points.data(), int(Points.size()));
  Changed();
}

void TCanvas::MoveTo(int X, int Y) {
  FPenPos = {X, Y};
  RequiredState({csHandleValid});
  ::MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState(kShapeState);
  ::LineTo(FHandle, X, Y);
  FPenPos = {X, Y};
  Changed();
}

TPoint TCanvas::PenPos() {
  if (FHandle) GetCurrentPositionEx(FHandle, &FPenPos);
  return FPenPos;
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, Rect, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, Rect, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, Rect);
  Changed();
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::ExtFloodFill(FHandle, X, Y, ColorToRGB(Color), FillStyle == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
  Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return TColor(::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Color) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::SetPixel(FHandle, X, Y, ColorToRGB(Color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}

void TCanvas::TextOut(int X, int Y, const String& Text) {
  Changing();
  RequiredState(kTextState);
  ::ExtTextOut(FHandle, X, Y, UINT(FTextFlags), nullptr, Text);
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text) {
  Changing();
  RequiredState(kTextState);
  UINT options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ::ExtTextOut(FHandle, X, Y, options, &Rect, Text);
  Changed();
}

TSize TCanvas::TextExtent(const String& Text) {
  RequiredState({csHandleValid, csFontValid});
  TSize size;
  GetTextExtentPoint32(FHandle, Text, -1, &size);
  return size;
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), DWORD(FCopyMode));
  Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  // The bitmap's pixels of the given colour show the brush instead.
  ::FillRect(FHandle, Dest, FBrush->Handle());
  TransparentBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Bitmap->Canvas()->Handle(), Source.Left,
                 Source.Top, Source.Width(), Source.Height(), ColorToRGB(Color));
  Changed();
}

// ---------------------------------------------------------------- Frame3D

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  --Rect.Bottom;
  --Rect.Right;
  for (; Width > 0; --Width) {
    // Top and left from the bottom-left corner; bottom and right from the top-right corner,
    // ending one past the left edge so the bottom-left pixel is the bottom colour.
    Canvas->Pen()->SetColor(TopColor);
    Canvas->Polyline({{Rect.Left, Rect.Bottom}, {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}});
    Canvas->Pen()->SetColor(BottomColor);
    Canvas->Polyline({{Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left - 1, Rect.Bottom}});
    InflateRect(Rect, -1, -1);
  }
  ++Rect.Bottom;
  ++Rect.Right;
}
