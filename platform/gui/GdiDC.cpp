// Device contexts: their state, saving and restoring it, drawing objects, mapping modes,
// regions and clipping.
#include "gui/GdiDC.h"

#include "gui/QtBridge_p.h"
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainterPath>
#include <QScreen>
#include <array>
#include <cassert>
#include <cmath>

// ================================================================ the context itself

QPainter* HDC__::P() {
  if (Painter) return Painter;
  if (!Image || Image->isNull()) return nullptr;
  if (!OwnPainter) OwnPainter = std::make_unique<QPainter>();
  if (!OwnPainter->begin(Image)) return nullptr;
  Painter = OwnPainter.get();
  Painter->setRenderHint(QPainter::TextAntialiasing, true);
  ClipApplied = false;
  PainterFont = 0;
  return Painter;
}

void HDC__::EndPainter() {
  if (Kind == dkPainter) return;
  if (OwnPainter && OwnPainter->isActive()) OwnPainter->end();
  Painter = nullptr;
  ClipApplied = false;
  PainterFont = 0;
}

QRect HDC__::DeviceBounds() const {
  if (Image) return Image->rect();
  if (Painter && Painter->device()) return QRect(0, 0, Painter->device()->width(), Painter->device()->height());
  if (Kind == dkScreen) return QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return QRect();
}

void HDC__::UpdateMapping() {
  Scaled = S.WinExt != S.VpExt;
  Sx = double(S.VpExt.cx) / S.WinExt.cx;
  Sy = double(S.VpExt.cy) / S.WinExt.cy;
}

QPoint HDC__::ToDevice(int x, int y) const {
  if (!Scaled) return QPoint(x - S.WinOrg.X + S.VpOrg.X, y - S.WinOrg.Y + S.VpOrg.Y);
  return QPoint(int(std::lround((x - S.WinOrg.X) * Sx)) + S.VpOrg.X,
                int(std::lround((y - S.WinOrg.Y) * Sy)) + S.VpOrg.Y);
}

TPoint HDC__::ToLogical(QPoint p) const {
  if (!Scaled) return {p.x() - S.VpOrg.X + S.WinOrg.X, p.y() - S.VpOrg.Y + S.WinOrg.Y};
  return {int(std::lround((p.x() - S.VpOrg.X) / Sx)) + S.WinOrg.X,
          int(std::lround((p.y() - S.VpOrg.Y) / Sy)) + S.WinOrg.Y};
}

QRect HDC__::ToDevice(const TRect& r) const {
  QPoint a = ToDevice(r.Left, r.Top), b = ToDevice(r.Right, r.Bottom);
  if (r.Right < r.Left || r.Bottom < r.Top) return QRect(a, QSize(0, 0));
  int l = std::min(a.x(), b.x()), rt = std::max(a.x(), b.x());
  int t = std::min(a.y(), b.y()), bt = std::max(a.y(), b.y());
  return QRect(l, t, rt - l, bt - t);
}

TRect HDC__::ToLogical(const QRect& r) const {
  TPoint a = ToLogical(r.topLeft()), b = ToLogical(QPoint(r.left() + r.width(), r.top() + r.height()));
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

int HDC__::ScaleX(int w) const { return Scaled ? int(std::lround(std::abs(w * Sx))) : w; }

void HDC__::ApplyClip() {
  if (ClipApplied || !Painter) return;
  if (S.HasClip) Painter->setClipRegion(S.Clip);
  else Painter->setClipping(false);
  ClipApplied = true;
}

namespace {

TGdiPen* StockPen(int i);
TGdiBrush* StockBrush(int i);
TGdiFont* StockFont(int i);

TGdiBitmap* StockBitmap() {
  static TGdiBitmap* b = [] {
    auto* s = new TGdiBitmap;
    s->GdiStock = true;
    s->Mono = true;
    s->Image = QImage(1, 1, QImage::Format_RGB32);
    s->Image.fill(0xFFFFFFFF);
    return s;
  }();
  return b;
}

HDC NewDC(HDC__::TKind kind) {
  auto* dc = new HDC__;
  dc->Kind = kind;
  dc->S.Pen = StockPen(BLACK_PEN);
  dc->S.Brush = StockBrush(WHITE_BRUSH);
  dc->S.Font = StockFont(SYSTEM_FONT);
  return dc;
}

int RegionType(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TGdiRegion* AsRegion(HRGN r) { return static_cast<TGdiRegion*>(r); }

QRegion Combine(const QRegion& a, const QRegion& b, int mode) {
  switch (mode) {
    case RGN_AND: return a.intersected(b);
    case RGN_OR: return a.united(b);
    case RGN_XOR: return a.xored(b);
    case RGN_DIFF: return a.subtracted(b);
    default: return a;
  }
}

// The clip region as it stands, or the whole surface when there is none.
QRegion CurrentClip(HDC dc) { return dc->S.HasClip ? dc->S.Clip : QRegion(dc->DeviceBounds()); }

int SetClip(HDC dc, const QRegion& r) {
  dc->S.HasClip = true;
  dc->S.Clip = r;
  dc->ClipChanged();
  return RegionType(r);
}

}  // namespace

HDC CreateImageDC(QImage* Image) {
  HDC dc = NewDC(HDC__::dkImage);
  dc->Image = Image;
  return dc;
}

HDC CreatePainterDC(QPainter* Painter) {
  HDC dc = NewDC(HDC__::dkPainter);
  dc->Painter = Painter;
  dc->Base = Painter->transform();
  // Pixels are read back only when painter and image share their coordinates.
  if (Painter->device() && Painter->device()->devType() == QInternal::Image && dc->Base.isIdentity())
    dc->Image = static_cast<QImage*>(Painter->device());
  return dc;
}

void SetDCImage(HDC DC, QImage* Image) {
  if (!DC) return;
  DC->EndPainter();
  DC->Image = Image;
}

void SetDCPainter(HDC DC, QPainter* Painter) {
  if (!DC) return;
  assert(DC->Kind == HDC__::dkPainter);
  DC->Painter = Painter;
  DC->Base = Painter ? Painter->transform() : QTransform();
  DC->Image = nullptr;
  DC->ClipApplied = false;
  DC->PainterFont = 0;
}

HDC GetScreenDC() {
  static HDC dc = NewDC(HDC__::dkScreen);
  return dc;
}

// The measuring context of gui/MeasuringDC.h: a screen-like context at another resolution.
HDC NewMeasuringContext(int Dpi) {
  HDC dc = NewDC(HDC__::dkScreen);
  dc->Dpi = Dpi;
  return dc;
}

HDC CreateCompatibleDC(HDC DC) {
  HDC dc = NewDC(HDC__::dkMemory);
  if (DC) dc->Dpi = DC->Dpi;
  dc->Bitmap = StockBitmap();
  dc->Image = &StockBitmap()->Image;
  return dc;
}

BOOL DeleteDC(HDC DC) {
  if (!DC || DC == GetScreenDC()) return 0;
  DC->EndPainter();
  if (DC->Bitmap && DC->Bitmap->SelectedIn == DC) DC->Bitmap->SelectedIn = nullptr;
  delete DC;
  return 1;
}

int SaveDC(HDC DC) {
  if (!DC) return 0;
  DC->Saved.push_back(DC->S);
  return int(DC->Saved.size());
}

BOOL RestoreDC(HDC DC, int SavedDC) {
  if (!DC || SavedDC == 0) return 0;
  int n = int(DC->Saved.size());
  int index = SavedDC < 0 ? n + SavedDC : SavedDC - 1;
  if (index < 0 || index >= n) return 0;
  DC->S = DC->Saved[std::size_t(index)];
  DC->Saved.resize(std::size_t(index));
  DC->UpdateMapping();
  DC->ClipChanged();
  return 1;
}

int GetDeviceCaps(HDC DC, int Index) {
  if (!DC) return 0;
  QRect b = DC->DeviceBounds();
  switch (Index) {
    case LOGPIXELSX: case LOGPIXELSY: return DC->Dpi;
    case HORZRES: return b.width();
    case VERTRES: return b.height();
    case PHYSICALWIDTH: return DC->Physical.isEmpty() ? b.width() : DC->Physical.width();
    case PHYSICALHEIGHT: return DC->Physical.isEmpty() ? b.height() : DC->Physical.height();
    case PHYSICALOFFSETX: return DC->PhysicalOffset.x();
    case PHYSICALOFFSETY: return DC->PhysicalOffset.y();
    case HORZSIZE: return int(std::lround(b.width() * 25.4 / DC->Dpi));
    case VERTSIZE: return int(std::lround(b.height() * 25.4 / DC->Dpi));
    case BITSPIXEL: return DC->Bitmap && DC->Bitmap->Mono ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return 0x0001 | 0x0008 | 0x0080 | 0x0800;  // blits, big bitmaps, DIBs, stretching
    default: return 0;
  }
}

// ================================================================ drawing objects

namespace {

TGdiPen* StockPen(int i) {
  static std::array<TGdiPen*, 3> pens = [] {
    std::array<TGdiPen*, 3> a{};
    const COLORREF colours[] = {0xFFFFFF, 0, 0};
    for (int k = 0; k < 3; ++k) {
      a[std::size_t(k)] = new TGdiPen;
      a[std::size_t(k)]->GdiStock = true;
      a[std::size_t(k)]->Color = colours[k];
      a[std::size_t(k)]->Style = k == 2 ? PS_NULL : PS_SOLID;
    }
    return a;
  }();
  return pens[std::size_t(i - WHITE_PEN)];
}

TGdiBrush* StockBrush(int i) {
  static std::array<TGdiBrush*, 6> brushes = [] {
    std::array<TGdiBrush*, 6> a{};
    const COLORREF colours[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0, 0};
    for (int k = 0; k < 6; ++k) {
      a[std::size_t(k)] = new TGdiBrush;
      a[std::size_t(k)]->GdiStock = true;
      a[std::size_t(k)]->Color = colours[k];
      a[std::size_t(k)]->Style = k == NULL_BRUSH ? BS_NULL : BS_SOLID;
    }
    return a;
  }();
  return brushes[std::size_t(i)];
}

TGdiFont* StockFont(int i) {
  // The fixed fonts share one object, the proportional ones another: the message font.
  static TGdiFont* proportional = [] {
    auto* f = new TGdiFont;
    f->GdiStock = true;
    f->Lf.lfHeight = -12;
    f->Lf.lfCharSet = GB2312_CHARSET;
    f->Lf.lfFaceName = "宋体";
    return f;
  }();
  static TGdiFont* fixed = [] {
    auto* f = new TGdiFont;
    f->GdiStock = true;
    f->Lf.lfHeight = -13;
    f->Lf.lfPitchAndFamily = FIXED_PITCH;
    f->Lf.lfFaceName = "Courier New";
    return f;
  }();
  return i == OEM_FIXED_FONT || i == ANSI_FIXED_FONT || i == SYSTEM_FIXED_FONT ? fixed : proportional;
}

template <class T> T* As(HGDIOBJ o) { return dynamic_cast<T*>(o); }

// Puts an object into a slot of the context and returns the one it held, or nullptr when
// that one was deleted meanwhile and goes away now (so no freed object is handed out).
template <class T> HGDIOBJ Swap(TGdiRef<T>& slot, T* object) {
  T* old = slot.get();
  bool dies = old && old->GdiDeleted && old->GdiRefs == 1 && old != object;
  slot = object;
  return dies ? nullptr : old;
}

}  // namespace

HGDIOBJ GetStockObject(int Object) {
  switch (Object) {
    case WHITE_BRUSH: case LTGRAY_BRUSH: case GRAY_BRUSH: case DKGRAY_BRUSH: case BLACK_BRUSH: case NULL_BRUSH:
      return StockBrush(Object);
    case WHITE_PEN: case BLACK_PEN: case NULL_PEN: return StockPen(Object);
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case ANSI_VAR_FONT: case SYSTEM_FONT: case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT: case DEFAULT_GUI_FONT:
      return StockFont(Object);
    default: return nullptr;
  }
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
  if (!DC || !Object) return nullptr;
  if (auto* p = As<TGdiPen>(Object)) return Swap(DC->S.Pen, p);
  if (auto* b = As<TGdiBrush>(Object)) return Swap(DC->S.Brush, b);
  if (auto* f = As<TGdiFont>(Object)) return Swap(DC->S.Font, f);
  if (auto* bmp = As<TGdiBitmap>(Object)) {
    // Only memory contexts take bitmaps, and a bitmap sits in one context at a time.
    if (DC->Kind != HDC__::dkMemory) return nullptr;
    if (bmp->SelectedIn && bmp->SelectedIn != DC && !bmp->GdiStock) return nullptr;
    DC->EndPainter();
    if (DC->Bitmap && DC->Bitmap->SelectedIn == DC) DC->Bitmap->SelectedIn = nullptr;
    HGDIOBJ old = Swap(DC->Bitmap, bmp);
    if (!bmp->GdiStock) bmp->SelectedIn = DC;
    DC->Image = &bmp->Image;
    return old;
  }
  if (auto* r = As<TGdiRegion>(Object)) return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(DC, r)));
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC DC, UINT Type) {
  if (!DC) return nullptr;
  switch (Type) {
    case OBJ_PEN: return DC->S.Pen.get();
    case OBJ_BRUSH: return DC->S.Brush.get();
    case OBJ_FONT: return DC->S.Font.get();
    case OBJ_BITMAP: return DC->Bitmap.get();
    default: return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ Object) {
  if (!Object || Object->GdiDeleted) return 0;
  if (Object->GdiStock) return 1;
  if (auto* bmp = As<TGdiBitmap>(Object); bmp && bmp->SelectedIn) bmp->SelectedIn->EndPainter();
  if (Object->GdiRefs > 0) Object->GdiDeleted = true;
  else delete Object;
  return 1;
}

UINT GetObjectType(HGDIOBJ Object) {
  if (As<TGdiPen>(Object)) return OBJ_PEN;
  if (As<TGdiBrush>(Object)) return OBJ_BRUSH;
  if (As<TGdiFont>(Object)) return OBJ_FONT;
  if (As<TGdiBitmap>(Object)) return OBJ_BITMAP;
  if (As<TGdiRegion>(Object)) return OBJ_REGION;
  return 0;
}

int GetObject(HFONT Font, LOGFONT* Out) {
  auto* f = static_cast<TGdiFont*>(Font);
  if (!f) return 0;
  if (Out) *Out = f->Lf;
  return int(sizeof(LOGFONT));
}

int GetObject(HPEN Pen, LOGPEN* Out) {
  auto* p = static_cast<TGdiPen*>(Pen);
  if (!p) return 0;
  if (Out) *Out = {UINT(p->Style), {p->Width, 0}, p->Color};
  return int(sizeof(LOGPEN));
}

int GetObject(HBRUSH Brush, LOGBRUSH* Out) {
  TGdiBrush* b = ResolveBrush(Brush);
  if (!b) return 0;
  if (Out) *Out = {UINT(b->Style), b->Color, b->Hatch};
  return int(sizeof(LOGBRUSH));
}

int GetObject(HBITMAP Bitmap, BITMAP* Out) {
  auto* b = static_cast<TGdiBitmap*>(Bitmap);
  if (!b) return 0;
  if (Out) {
    Out->bmWidth = b->Image.width();
    Out->bmHeight = b->Image.height();
    Out->bmBitsPixel = b->Mono ? 1 : 32;
    Out->bmWidthBytes = b->Mono ? ((b->Image.width() + 15) / 16) * 2 : b->Image.width() * 4;
    Out->bmPlanes = 1;
    Out->bmBits = nullptr;
  }
  return int(sizeof(BITMAP));
}

HPEN CreatePen(int Style, int Width, COLORREF Color) {
  auto* p = new TGdiPen;
  p->Style = Style & PS_STYLE_MASK;
  if (p->Style > PS_INSIDEFRAME) p->Style = PS_SOLID;
  p->Width = std::max(0, Width);
  p->Color = Color;
  return p;
}

HPEN CreatePenIndirect(const LOGPEN& Pen) { return CreatePen(int(Pen.lopnStyle), Pen.lopnWidth.X, Pen.lopnColor); }

HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH& Brush) {
  auto* p = static_cast<TGdiPen*>(CreatePen(int(Style), int(Width), Brush.lbColor));
  p->Geometric = (Style & PS_GEOMETRIC) != 0;
  return p;
}

HBRUSH CreateSolidBrush(COLORREF Color) {
  auto* b = new TGdiBrush;
  b->Color = Color;
  return b;
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
  auto* b = new TGdiBrush;
  b->Style = BS_HATCHED;
  b->Hatch = std::clamp(Hatch, 0, int(HS_DIAGCROSS));
  b->Color = Color;
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
  auto* src = static_cast<TGdiBitmap*>(Bitmap);
  if (!src || src->Image.isNull()) return nullptr;
  auto* b = new TGdiBrush;
  b->Style = BS_PATTERN;
  b->Pattern = src->Image.copy();
  b->MonoPattern = src->Mono;
  return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush) {
  switch (Brush.lbStyle) {
    case BS_NULL: {
      auto* b = new TGdiBrush;
      b->Style = BS_NULL;
      return b;
    }
    case BS_HATCHED: return CreateHatchBrush(int(Brush.lbHatch), Brush.lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush.lbHatch));
    default: return CreateSolidBrush(Brush.lbColor);
  }
}

HFONT CreateFontIndirect(const LOGFONT& Font) {
  auto* f = new TGdiFont;
  f->Lf = Font;
  return f;
}

HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                 DWORD Quality, DWORD PitchAndFamily, const String& FaceName) {
  LOGFONT lf;
  lf.lfHeight = Height;
  lf.lfWidth = Width;
  lf.lfEscapement = Escapement;
  lf.lfOrientation = Orientation;
  lf.lfWeight = Weight;
  lf.lfItalic = Byte(Italic != 0);
  lf.lfUnderline = Byte(Underline != 0);
  lf.lfStrikeOut = Byte(StrikeOut != 0);
  lf.lfCharSet = Byte(CharSet);
  lf.lfOutPrecision = Byte(OutPrecision);
  lf.lfClipPrecision = Byte(ClipPrecision);
  lf.lfQuality = Byte(Quality);
  lf.lfPitchAndFamily = Byte(PitchAndFamily);
  lf.lfFaceName = FaceName;
  return CreateFontIndirect(lf);
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height) {
  auto* b = new TGdiBitmap;
  b->Image = QImage(std::max(0, Width), std::max(0, Height), QImage::Format_RGB32);
  b->Image.fill(0xFFFFFFFF);
  b->Mono = DC && DC->Bitmap && DC->Bitmap->Mono && DC->Kind == HDC__::dkMemory;
  return b;
}

HBITMAP CreateBitmap(int Width, int Height, UINT, UINT BitsPerPixel, const void* Bits) {
  auto* b = new TGdiBitmap;
  Width = std::max(0, Width);
  Height = std::max(0, Height);
  b->Image = QImage(Width, Height, QImage::Format_RGB32);
  b->Image.fill(BitsPerPixel == 1 ? 0xFF000000 : 0xFFFFFFFF);
  b->Mono = BitsPerPixel == 1;
  if (Bits) {
    auto* src = static_cast<const Byte*>(Bits);
    if (b->Mono) {
      int stride = ((Width + 15) / 16) * 2;
      for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(b->Image.scanLine(y));
        for (int x = 0; x < Width; ++x)
          row[x] = (src[y * stride + x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFFF : 0xFF000000;
      }
    } else {
      for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(b->Image.scanLine(y));
        const auto* s = reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * std::size_t(Width) * 4);
        for (int x = 0; x < Width; ++x) row[x] = 0xFF000000u | s[x];
      }
    }
  }
  return b;
}

// ================================================================ attributes

COLORREF SetTextColor(HDC DC, COLORREF Color) {
  if (!DC) return CLR_INVALID;
  return std::exchange(DC->S.TextColor, Color);
}
COLORREF GetTextColor(HDC DC) { return DC ? DC->S.TextColor : CLR_INVALID; }
COLORREF SetBkColor(HDC DC, COLORREF Color) {
  if (!DC) return CLR_INVALID;
  return std::exchange(DC->S.BkColor, Color);
}
COLORREF GetBkColor(HDC DC) { return DC ? DC->S.BkColor : CLR_INVALID; }
int SetBkMode(HDC DC, int Mode) {
  if (!DC || (Mode != OPAQUE && Mode != TRANSPARENT)) return 0;
  return std::exchange(DC->S.BkMode, Mode);
}
int GetBkMode(HDC DC) { return DC ? DC->S.BkMode : 0; }
UINT SetTextAlign(HDC DC, UINT Align) {
  if (!DC) return 0xFFFFFFFF;
  return std::exchange(DC->S.TextAlign, Align);
}
UINT GetTextAlign(HDC DC) { return DC ? DC->S.TextAlign : 0xFFFFFFFF; }
int SetTextCharacterExtra(HDC DC, int Extra) {
  if (!DC) return int(0x80000000);
  return std::exchange(DC->S.CharExtra, Extra);
}
int GetTextCharacterExtra(HDC DC) { return DC ? DC->S.CharExtra : int(0x80000000); }
BOOL SetTextJustification(HDC DC, int Extra, int Breaks) {
  if (!DC) return 0;
  DC->S.JustExtra = Breaks > 0 ? Extra : 0;
  DC->S.JustBreaks = Breaks > 0 ? Breaks : 0;
  return 1;
}
int SetROP2(HDC DC, int Mode) {
  if (!DC || Mode < R2_BLACK || Mode > R2_WHITE) return 0;
  return std::exchange(DC->S.Rop2, Mode);
}
int GetROP2(HDC DC) { return DC ? DC->S.Rop2 : 0; }
int SetPolyFillMode(HDC DC, int Mode) {
  if (!DC || (Mode != ALTERNATE && Mode != WINDING)) return 0;
  return std::exchange(DC->S.PolyFill, Mode);
}
int GetPolyFillMode(HDC DC) { return DC ? DC->S.PolyFill : 0; }
int SetStretchBltMode(HDC DC, int Mode) {
  if (!DC || Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
  return std::exchange(DC->S.StretchMode, Mode);
}
int GetStretchBltMode(HDC DC) { return DC ? DC->S.StretchMode : 0; }
BOOL SetBrushOrgEx(HDC DC, int X, int Y, TPoint* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.BrushOrg;
  DC->S.BrushOrg = {X, Y};
  return 1;
}
BOOL GetBrushOrgEx(HDC DC, TPoint* Org) {
  if (!DC || !Org) return 0;
  *Org = DC->S.BrushOrg;
  return 1;
}

// ================================================================ mapping

namespace {

bool FreeExtents(HDC dc) { return dc->S.MapMode == MM_ISOTROPIC || dc->S.MapMode == MM_ANISOTROPIC; }

// Isotropic mapping keeps logical units square: the viewport extent is cut down to the
// smaller scale, each axis keeping its sign.
void AdjustIsotropic(HDC dc) {
  if (dc->S.MapMode != MM_ISOTROPIC) return;
  TSize& vp = dc->S.VpExt;
  const TSize& w = dc->S.WinExt;
  double xs = std::abs(double(vp.cx) / w.cx), ys = std::abs(double(vp.cy) / w.cy);
  if (xs > ys) vp.cx = (vp.cx < 0 ? -1 : 1) * int(std::lround(std::abs(w.cx) * ys));
  else if (ys > xs) vp.cy = (vp.cy < 0 ? -1 : 1) * int(std::lround(std::abs(w.cy) * xs));
}

}  // namespace

int SetMapMode(HDC DC, int Mode) {
  if (!DC || Mode < MM_TEXT || Mode > MM_ANISOTROPIC) return 0;
  int old = std::exchange(DC->S.MapMode, Mode);
  int unitsPerInch = 0;
  switch (Mode) {
    case MM_TEXT: DC->S.WinExt = DC->S.VpExt = {1, 1}; break;
    case MM_LOMETRIC: unitsPerInch = 254; break;
    case MM_HIMETRIC: unitsPerInch = 2540; break;
    case MM_LOENGLISH: unitsPerInch = 100; break;
    case MM_HIENGLISH: unitsPerInch = 1000; break;
    case MM_TWIPS: unitsPerInch = 1440; break;
    case MM_ISOTROPIC: AdjustIsotropic(DC); break;
    default: break;
  }
  if (unitsPerInch) {
    // Fixed metric and English modes: y grows upwards.
    DC->S.WinExt = {unitsPerInch, unitsPerInch};
    DC->S.VpExt = {DC->Dpi, -DC->Dpi};
  }
  DC->UpdateMapping();
  return old;
}

int GetMapMode(HDC DC) { return DC ? DC->S.MapMode : 0; }

BOOL SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.WinOrg;
  DC->S.WinOrg = {X, Y};
  return 1;
}
BOOL GetWindowOrgEx(HDC DC, TPoint* Org) {
  if (!DC || !Org) return 0;
  *Org = DC->S.WinOrg;
  return 1;
}
BOOL OffsetWindowOrgEx(HDC DC, int DX, int DY, TPoint* Old) {
  if (!DC) return 0;
  return SetWindowOrgEx(DC, DC->S.WinOrg.X + DX, DC->S.WinOrg.Y + DY, Old);
}
BOOL SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.VpOrg;
  DC->S.VpOrg = {X, Y};
  return 1;
}
BOOL GetViewportOrgEx(HDC DC, TPoint* Org) {
  if (!DC || !Org) return 0;
  *Org = DC->S.VpOrg;
  return 1;
}
BOOL OffsetViewportOrgEx(HDC DC, int DX, int DY, TPoint* Old) {
  if (!DC) return 0;
  return SetViewportOrgEx(DC, DC->S.VpOrg.X + DX, DC->S.VpOrg.Y + DY, Old);
}

BOOL SetWindowExtEx(HDC DC, int X, int Y, TSize* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.WinExt;
  if (!FreeExtents(DC)) return 1;
  if (X == 0 || Y == 0) return 0;
  DC->S.WinExt = {X, Y};
  AdjustIsotropic(DC);
  DC->UpdateMapping();
  return 1;
}
BOOL GetWindowExtEx(HDC DC, TSize* Ext) {
  if (!DC || !Ext) return 0;
  *Ext = DC->S.WinExt;
  return 1;
}
BOOL SetViewportExtEx(HDC DC, int X, int Y, TSize* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.VpExt;
  if (!FreeExtents(DC)) return 1;
  if (X == 0 || Y == 0) return 0;
  DC->S.VpExt = {X, Y};
  AdjustIsotropic(DC);
  DC->UpdateMapping();
  return 1;
}
BOOL GetViewportExtEx(HDC DC, TSize* Ext) {
  if (!DC || !Ext) return 0;
  *Ext = DC->S.VpExt;
  return 1;
}

BOOL LPtoDP(HDC DC, TPoint* Points, int Count) {
  if (!DC || (!Points && Count > 0)) return 0;
  for (int i = 0; i < Count; ++i) {
    QPoint d = DC->ToDevice(Points[i]);
    Points[i] = {d.x(), d.y()};
  }
  return 1;
}

BOOL DPtoLP(HDC DC, TPoint* Points, int Count) {
  if (!DC || (!Points && Count > 0)) return 0;
  for (int i = 0; i < Count; ++i) Points[i] = DC->ToLogical(QPoint(Points[i].X, Points[i].Y));
  return 1;
}

// ================================================================ regions

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
  auto* r = new TGdiRegion;
  SetRectRgn(r, Left, Top, Right, Bottom);
  return r;
}

HRGN CreateRectRgnIndirect(const TRect& Rect) { return CreateRectRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
  auto* r = new TGdiRegion;
  QRect box = QRect(QPoint(std::min(Left, Right), std::min(Top, Bottom)),
                    QPoint(std::max(Left, Right) - 1, std::max(Top, Bottom) - 1));
  if (box.isValid()) r->Rgn = QRegion(box, QRegion::Ellipse);
  return r;
}

HRGN CreateEllipticRgnIndirect(const TRect& Rect) {
  return CreateEllipticRgn(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height) {
  auto* r = new TGdiRegion;
  QRectF box(std::min(Left, Right), std::min(Top, Bottom), std::abs(Right - Left), std::abs(Bottom - Top));
  if (!box.isEmpty()) {
    QPainterPath path;
    path.addRoundedRect(box, Width / 2.0, Height / 2.0);
    r->Rgn = QRegion(path.toFillPolygon().toPolygon());
  }
  return r;
}

HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode) {
  auto* r = new TGdiRegion;
  if (Points && Count > 2) {
    QPolygon poly;
    for (int i = 0; i < Count; ++i) poly << QPoint(Points[i].X, Points[i].Y);
    r->Rgn = QRegion(poly, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  }
  return r;
}

BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom) {
  if (!Rgn) return 0;
  int l = std::min(Left, Right), r = std::max(Left, Right), t = std::min(Top, Bottom), b = std::max(Top, Bottom);
  AsRegion(Rgn)->Rgn = (r > l && b > t) ? QRegion(l, t, r - l, b - t) : QRegion();
  return 1;
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
  if (!Dest || !Src1 || Mode < RGN_AND || Mode > RGN_COPY || (Mode != RGN_COPY && !Src2)) return ERROR;
  QRegion r = Mode == RGN_COPY ? AsRegion(Src1)->Rgn : Combine(AsRegion(Src1)->Rgn, AsRegion(Src2)->Rgn, Mode);
  AsRegion(Dest)->Rgn = r;
  return RegionType(r);
}

int OffsetRgn(HRGN Rgn, int DX, int DY) {
  if (!Rgn) return ERROR;
  AsRegion(Rgn)->Rgn.translate(DX, DY);
  return RegionType(AsRegion(Rgn)->Rgn);
}

BOOL EqualRgn(HRGN A, HRGN B) { return A && B && AsRegion(A)->Rgn == AsRegion(B)->Rgn; }
BOOL PtInRegion(HRGN Rgn, int X, int Y) { return Rgn && AsRegion(Rgn)->Rgn.contains(QPoint(X, Y)); }
BOOL RectInRegion(HRGN Rgn, const TRect* Rect) {
  return Rgn && Rect && !IsRectEmpty(*Rect) && AsRegion(Rgn)->Rgn.intersects(ToQRect(*Rect));
}

int GetRgnBox(HRGN Rgn, TRect* Box) {
  if (!Rgn || !Box) return ERROR;
  const QRegion& r = AsRegion(Rgn)->Rgn;
  *Box = r.isEmpty() ? TRect{} : FromQRect(r.boundingRect());
  return RegionType(r);
}

// ================================================================ clipping

int SelectClipRgn(HDC DC, HRGN Rgn) { return ExtSelectClipRgn(DC, Rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC DC, HRGN Rgn, int Mode) {
  if (!DC || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
  if (!Rgn) {
    if (Mode != RGN_COPY) return ERROR;
    DC->S.HasClip = false;
    DC->S.Clip = QRegion();
    DC->ClipChanged();
    return SIMPLEREGION;
  }
  if (Mode == RGN_COPY) return SetClip(DC, AsRegion(Rgn)->Rgn);
  return SetClip(DC, Combine(CurrentClip(DC), AsRegion(Rgn)->Rgn, Mode));
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  if (!DC) return ERROR;
  return SetClip(DC, CurrentClip(DC).intersected(DC->ToDevice(TRect{Left, Top, Right, Bottom})));
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  if (!DC) return ERROR;
  return SetClip(DC, CurrentClip(DC).subtracted(DC->ToDevice(TRect{Left, Top, Right, Bottom})));
}

int OffsetClipRgn(HDC DC, int DX, int DY) {
  if (!DC) return ERROR;
  if (!DC->S.HasClip) return SIMPLEREGION;
  QPoint d = DC->ToDevice(DX, DY) - DC->ToDevice(0, 0);
  DC->S.Clip.translate(d);
  DC->ClipChanged();
  return RegionType(DC->S.Clip);
}

int GetClipRgn(HDC DC, HRGN Rgn) {
  if (!DC || !Rgn) return -1;
  if (!DC->S.HasClip) return 0;
  AsRegion(Rgn)->Rgn = DC->S.Clip;
  return 1;
}

int GetClipBox(HDC DC, TRect* Rect) {
  if (!DC || !Rect) return ERROR;
  QRegion visible = DC->S.HasClip ? DC->S.Clip.intersected(DC->DeviceBounds()) : QRegion(DC->DeviceBounds());
  if (DC->Kind == HDC__::dkPainter && !DC->Image && DC->S.HasClip) visible = DC->S.Clip;
  *Rect = visible.isEmpty() ? TRect{} : DC->ToLogical(visible.boundingRect());
  return RegionType(visible);
}

BOOL RectVisible(HDC DC, const TRect* Rect) {
  if (!DC || !Rect) return 0;
  QRect r = DC->ToDevice(*Rect);
  if (r.isEmpty()) return 0;
  return DC->S.HasClip ? DC->S.Clip.intersects(r) : DC->DeviceBounds().intersects(r);
}

BOOL PtVisible(HDC DC, int X, int Y) {
  if (!DC) return 0;
  QPoint p = DC->ToDevice(X, Y);
  return DC->S.HasClip ? DC->S.Clip.contains(p) : DC->DeviceBounds().contains(p);
}
