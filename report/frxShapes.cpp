#include "report/frxShapes.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/Scope.h"
#include "core/Streams.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "gui/Jpeg.h"
#include "gui/Pictures.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"
#include "report/frxKind.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int RoundPx(Extended v) { return static_cast<int>(std::lround(static_cast<double>(v))); }

// The type name by key, with the built-in English name when the texts lack the key.
String TypeName(const char* Key, const char* Fallback) {
  String t = ReportResources()->TextOf(Key);
  return t == Key ? String(Fallback) : t;
}

}  // namespace

// ================================================================ lines

KELM_PUBLISH(TfrxCustomLineView) { Published(b); }
KELM_PUBLISH(TfrxLineView) {}

TfrxCustomLineView::TfrxCustomLineView(TComponent* AOwner) : TfrxStretcheable(AOwner) {
  SetStoreFullAttributes(false);
}

TfrxCustomLineView* TfrxCustomLineView::CreateForDesign(TClass Class, TComponent* AOwner, int Flags) {
  auto* line = static_cast<TfrxCustomLineView*>(TfrxComponent::CreateForDesign(Class, AOwner, Flags));
  line->SetDiagonal(Flags != 0);
  return line;
}

String TfrxCustomLineView::DisplayTypeName() const { return TypeName("obLine", "Line object"); }

void TfrxCustomLineView::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                      Extended OffsetY) {
  if (!FDiagonal) {
    if (Width() <= Height()) {
      SetWidth(0);
      Frame()->SetTyp(TfrxFrameTypes{ftLeft});
    } else {
      SetHeight(0);
      Frame()->SetTyp(TfrxFrameTypes{ftTop});
    }
  }
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  if (!FDiagonal) {
    PaintFrame();
    return;
  }
  if (!Canvas || Frame()->Color() == clNone || Frame()->Width() == 0) return;
  if (Color() == clNone) {
    Canvas->Brush()->SetStyle(bsClear);
  } else {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color());
  }
  Canvas->Pen()->SetColor(Frame()->Color());
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(Frame()->Style() == fsDouble ? psSolid : static_cast<TPenStyle>(Frame()->Style()));
  DrawWideLine(PixelLeft(), PixelTop(), PixelRight(), PixelBottom(), PixelFrameWidth());
}

// ================================================================ shapes

KELM_PUBLISH(TfrxShapeView) { Published(b); }

TfrxShapeView::TfrxShapeView(TComponent* AOwner) : TfrxView(AOwner) { SetStoreFullAttributes(false); }

TfrxShapeView* TfrxShapeView::CreateForDesign(TClass Class, TComponent* AOwner, int Flags) {
  auto* shape = static_cast<TfrxShapeView*>(TfrxComponent::CreateForDesign(Class, AOwner, Flags));
  if (Flags >= skRectangle && Flags <= skDiagonal2) shape->SetShape(static_cast<TfrxShapeKind>(Flags));
  return shape;
}

String TfrxShapeView::DisplayTypeName() const { return TypeName("obShape", "Shape object"); }

String TfrxShapeView::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxView::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxShapeView>(Reference);
  if (ref && FShape != ref->FShape) r += " Shape=\"" + IntToStr(FShape) + "\"";
  return r;
}

void TfrxShapeView::DrawShape() {
  TCanvas* c = DrawCanvas();
  int l = PixelLeft(), t = PixelTop(), r = PixelRight(), b = PixelBottom();
  int w = PixelWidth(), h = PixelHeight();
  int m = std::min(w, h);
  switch (FShape) {
    case skRectangle: c->Rectangle(l, t, r + 1, b + 1); break;
    case skRoundRectangle: {
      int radius = FCurve != 0 ? RoundPx(FCurve * DrawScaleX() * 10) : m / 4;
      c->RoundRect(l, t, r + 1, b + 1, radius, radius);
      break;
    }
    case skEllipse: c->Ellipse(l, t, r + 1, b + 1); break;
    case skTriangle: c->Polygon({{r, b}, {l, b}, {l + w / 2, t}}); break;
    case skDiamond: c->Polygon({{l + w / 2, t}, {r, t + h / 2}, {l + w / 2, b}, {l, t + h / 2}}); break;
    case skDiagonal1: DrawWideLine(l, b, r, t, PixelFrameWidth()); break;
    case skDiagonal2: DrawWideLine(l, t, r, b, PixelFrameWidth()); break;
  }
}

void TfrxShapeView::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                 Extended OffsetY) {
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  if (!Canvas) return;
  // The frame style as a pen style: solid, dash, dot, dash-dot, dash-dot-dot, none (a double
  // frame draws no outline).
  Canvas->Pen()->SetColor(Frame()->Color());
  Canvas->Pen()->SetWidth(PixelFrameWidth());
  Canvas->Pen()->SetStyle(Frame()->Style() == fsDouble ? psClear : static_cast<TPenStyle>(Frame()->Style()));
  Canvas->Brush()->SetStyle(bsSolid);
  SetBkMode(Canvas->Handle(), OPAQUE);
  if (BrushStyle() != bsSolid) {
    if (Color() != clNone) {
      Canvas->Brush()->SetColor(Color());
      DrawShape();
    }
    Canvas->Brush()->SetStyle(BrushStyle());
    Canvas->Brush()->SetColor(Frame()->Color());
    DrawShape();
  } else {
    if (Color() == clNone) Canvas->Brush()->SetStyle(bsClear);
    else Canvas->Brush()->SetColor(Color());
    DrawShape();
  }
}

// ================================================================ pictures

KELM_PUBLISH(TfrxPictureView) { Published(b); }

TfrxPictureView::TfrxPictureView(TComponent* AOwner) : TfrxView(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetStoreFullAttributes(false);
  SetColor(clWhite);
  FPicture->SetOnChange(MakeEvent(this, &TfrxPictureView::PictureChangedEvent));
}

TfrxPictureView::~TfrxPictureView() { FPicture->SetOnChange(TNotifyEvent()); }

void TfrxPictureView::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

void TfrxPictureView::SetAutoSize(bool Value) {
  FAutoSize = Value;
  ApplyAutoSize();
}

void TfrxPictureView::ApplyAutoSize() {
  TGraphic* g = FPicture->Graphic();
  if (!FAutoSize || !g || g->Empty()) return;
  SetWidth(g->Width());
  SetHeight(g->Height());
}

void TfrxPictureView::PictureChangedEvent(TObject*) {
  FPictureChanged = true;
  ApplyAutoSize();
}

String TfrxPictureView::DisplayTypeName() const { return TypeName("obPicture", "Picture object"); }

namespace {

// Little-endian values at a position of a byte buffer.
std::uint32_t U16(const Byte* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const Byte* p) { return U16(p) | (U16(p + 2) << 16); }

}  // namespace

int TfrxPictureView::LoadPictureFromStream(TStream* Stream) {
  Int64 start = Stream->Position();
  Int64 size = Stream->Size() - start;
  Byte head[8];
  if (size >= 8) {
    Stream->ReadBuffer(head, 8);
    // A graphic field's header: 1, 256 and the length of what follows.
    if (!(U16(head) == 1 && U16(head + 2) == 256 && U32(head + 4) == static_cast<std::uint32_t>(size - 8)))
      Stream->SetPosition(start);
  }
  Int64 at = Stream->Position();
  Int64 left = Stream->Size() - at;
  Byte probe[100] = {};
  Int64 n = std::min<Int64>(left, 100);
  Stream->ReadBuffer(probe, n);
  Stream->SetPosition(at);
  std::unique_ptr<TGraphic> graphic;
  if (left >= 14 && U16(probe) == 19778) graphic = std::make_unique<TBitmap>();
  else if (left >= 2 && probe[0] == 255 && probe[1] == 216) graphic = std::make_unique<TJPEGImage>();
  else if (left >= 22 && U32(probe) == 0x9AC6CDD7u) graphic = std::make_unique<TForeignMetafile>();
  else if (left >= 100 && U32(probe + 40) == 0x464D4520u) graphic = std::make_unique<TForeignMetafile>();
  // Only a real icon header (reserved 0, type 1, at least one image) is taken for an icon.
  else if (left >= 6 && U16(probe) == 0 && U16(probe + 2) == 1 && U16(probe + 4) >= 1) graphic = std::make_unique<TIcon>();
  if (!graphic) {
    FPicture->Assign(nullptr);
    return frxInvalidArgument;
  }
  try {
    graphic->LoadFromStream(Stream);
  } catch (const Exception& e) {
    // A blob its class cannot read leaves no picture; the run goes on and says so.
    FPicture->Assign(nullptr);
    if (TfrxReport* r = FindParentReport()) r->Errors()->Add(Name() + ": " + e.Message());
    return frxInvalidArgument;
  }
  FPicture->SetGraphic(graphic.get());
  return 0;
}

void TfrxPictureView::LoadFromFile(const String& FileName) { FPicture->LoadFromFile(FileName); }

void TfrxPictureView::FetchData() {
  TfrxView::FetchData();
  if (!HasDataBinding() || !DataSet()->IsBlobField(DataField())) return;
  TMemoryStream blob;
  DataSet()->CopyBlobTo(DataField(), &blob);
  LoadPictureFromStream(&blob);
}

String TfrxPictureView::DiffAttributes(TfrxComponent* Reference) {
  if (!FPictureChanged) return " " + TfrxView::DiffAttributes(Reference);
  TMemoryStream data;
  {
    TWriter writer(&data);
    FPicture->DefineProperties(&writer);
  }
  String r;
  if (data.Size() > 0) r = "Picture.PropData=\"" + StreamToHex(&data) + "\"";
  return r + " " + TfrxView::DiffAttributes(Reference);
}

void TfrxPictureView::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                   Extended OffsetY) {
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  if (!Canvas) return;
  PaintBackground();
  TRect r{PixelLeft(), PixelTop(), PixelRight(), PixelBottom()};
  TGraphic* g = FPicture->Graphic();
  bool has = g && !g->Empty() && g->Width() > 0 && g->Height() > 0;
  if (has && FStretched) {
    if (FKeepAspectRatio) {
      Extended kx = PixelWidth() / static_cast<Extended>(g->Width());
      Extended ky = PixelHeight() / static_cast<Extended>(g->Height());
      if (ky > kx) r.Bottom = r.Top + RoundPx(g->Height() * kx);
      else r.Right = r.Left + RoundPx(g->Width() * ky);
      if (FCenter) {
        int dx = (PixelRight() - r.Right) / 2, dy = (PixelBottom() - r.Bottom) / 2;
        r = TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
      }
    }
    DrawGraphicStretched(Canvas, r, g);
  } else if (has) {
    HDC dc = Canvas->Handle();
    int saved = SaveDC(dc);
    TScopeExit restore([&] { RestoreDC(dc, saved); });
    IntersectClipRect(dc, PixelLeft(), PixelTop(), PixelRight(), PixelBottom());
    int w = RoundPx(ScaleX * g->Width());
    int h = RoundPx(ScaleY * g->Height());
    if (FCenter) {
      r.Left += (PixelWidth() - w) / 2;
      r.Top += (PixelHeight() - h) / 2;
    }
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    DrawGraphicStretched(Canvas, r, g);
  } else if (IsDesigning()) {
    Canvas->Font()->SetName("Tahoma");
    Canvas->Font()->SetSize(8);
    Canvas->Font()->SetStyle(TFontStyles{});
    Canvas->Font()->SetColor(clBlack);
    Canvas->Font()->SetCharset(DefaultCharset);
    TRect clip = r;
    Canvas->TextRect(clip, PixelLeft() + 20, PixelTop() + 3, DisplayTypeName());
    TBitmap empty;
    empty.LoadFromResourceName("frxEMPTY");
    Canvas->Draw(PixelLeft() + 1, PixelTop() + 2, &empty);
  }
  PaintFrame();
}
