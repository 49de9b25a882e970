// Lines, shapes, fills and raster operations on device contexts, with the platform's pixel
// rules: right and bottom edges and line end points are not drawn, a null pen shrinks filled
// shapes by one pixel, mix modes and ternary raster operations combine bits.
#include "gui/GdiDraw.h"

#include "gui/QtBridge_p.h"
#include "gui/GdiDC.h"
#include "gui/ScreenFrames.h"
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

// ---------------------------------------------------------------- raster operation helpers

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

// Result bit for every combination of pattern (4), source (2) and destination (1) bits.
std::uint32_t Rop3(Byte code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (code) {
    case 0x00: return 0;
    case 0xFF: return kRgbMask;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0x55: return ~d;
    case 0x5A: return p ^ d;
    case 0x66: return s ^ d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x33: return ~s;
    case 0xE2: return d ^ (s & (p ^ d));
    default: break;
  }
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (code & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r;
}

// Whether the operation's result depends on the input with this bit (4 P, 2 S, 1 D).
bool RopUses(Byte code, int bit) {
  for (int i = 0; i < 8; ++i)
    if (!(i & bit) && (((code >> i) ^ (code >> (i | bit))) & 1)) return true;
  return false;
}

Byte RopCode(DWORD rop) { return Byte((rop >> 16) & 0xFF); }

// One hatch tile: bit set where the hatch line runs.
bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    default: return x == y || x + y == 7;
  }
}

// The brush as a tile of device pixels (hatch background only when the mode is opaque;
// monochrome patterns in the text and background colours).
QImage BrushTile(HDC dc, const TGdiBrush* b) {
  if (b->Style == BS_HATCHED) {
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    QRgb fg = ToQRgb(b->Color), bg = dc->S.BkMode == OPAQUE ? ToQRgb(dc->S.BkColor) : 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) tile.setPixel(x, y, HatchBit(b->Hatch, x, y) ? fg : bg);
    return tile;
  }
  if (b->MonoPattern) {
    QImage tile(b->Pattern.size(), QImage::Format_RGB32);
    QRgb fg = ToQRgb(dc->S.TextColor), bg = ToQRgb(dc->S.BkColor);
    for (int y = 0; y < tile.height(); ++y)
      for (int x = 0; x < tile.width(); ++x) tile.setPixel(x, y, (b->Pattern.pixel(x, y) & kRgbMask) ? bg : fg);
    return tile;
  }
  return b->Pattern;
}

QRgb BrushSolid(const TGdiBrush* b) { return ToQRgb(b->SysColor >= 0 ? GetSysColor(b->SysColor) : b->Color); }

// The brush's pixel at a device point, for pixel-level operations.
struct TPatternSampler {
  bool Solid = true;
  QRgb Colour = 0;
  QImage Tile;
  TPoint Org;
  TPatternSampler(HDC dc, const TGdiBrush* b) : Org(dc->S.BrushOrg) {
    if (!b || b->Style == BS_NULL) return;
    if (b->Style == BS_SOLID) {
      Colour = BrushSolid(b);
      return;
    }
    Solid = false;
    Tile = BrushTile(dc, b);
  }
  QRgb At(int x, int y) const {
    if (Solid || Tile.isNull()) return Colour;
    int w = Tile.width(), h = Tile.height();
    int tx = ((x - Org.X) % w + w) % w, ty = ((y - Org.Y) % h + h) % h;
    return Tile.pixel(tx, ty);
  }
};

QPainter* Begin(HDC dc) {
  if (!dc) return nullptr;
  QPainter* p = dc->P();
  if (p) dc->ApplyClip();
  return p;
}

// Draws an image of device pixels at a point, replacing what is there (clip respected).
void PutPixels(HDC dc, const QPoint& at, const QImage& img) {
  QPainter* p = Begin(dc);
  if (!p) return;
  p->setCompositionMode(QPainter::CompositionMode_Source);
  p->drawImage(at, img);
}

// The device pixels an operation may touch: the area within the surface and the clip.
QRegion Reachable(HDC dc, const QRegion& area) {
  QRegion r = area.intersected(dc->DeviceBounds());
  if (dc->S.HasClip) r = r.intersected(dc->S.Clip);
  return r;
}

// Applies a ternary operation over a rectangle of device pixels; Source (when given) holds
// the source pixels of that rectangle, already in the destination's colours.
void RopPixels(HDC dc, const QRect& area, const QImage* source, const TGdiBrush* brush, Byte code) {
  if (!dc->Image) return;
  QRect r = area.intersected(dc->Image->rect());
  if (r.isEmpty()) return;
  TPatternSampler pattern(dc, brush);
  bool mono = dc->Bitmap && dc->Bitmap->Mono;
  QImage out(r.size(), QImage::Format_RGB32);
  const QImage& dst = *dc->Image;
  for (int y = 0; y < r.height(); ++y) {
    const auto* drow = reinterpret_cast<const QRgb*>(dst.constScanLine(r.top() + y)) + r.left();
    const QRgb* srow = source ? reinterpret_cast<const QRgb*>(source->constScanLine(r.top() - area.top() + y)) +
                                    (r.left() - area.left())
                              : nullptr;
    auto* orow = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < r.width(); ++x) {
      std::uint32_t v = Rop3(code, pattern.At(r.left() + x, r.top() + y), srow ? srow[x] : 0, drow[x]) & kRgbMask;
      if (mono) v = v == kRgbMask ? kRgbMask : 0;
      orow[x] = 0xFF000000u | v;
    }
  }
  PutPixels(dc, r.topLeft(), out);
}

void FillDevice(HDC dc, const QRect& r, const QBrush& brush, QPainter::CompositionMode mode) {
  QPainter* p = Begin(dc);
  if (!p || r.isEmpty()) return;
  p->setCompositionMode(mode);
  p->setBrushOrigin(dc->S.BrushOrg.X, dc->S.BrushOrg.Y);
  p->fillRect(r, brush);
}

void FillSolid(HDC dc, const QRect& r, QRgb colour) {
  FillDevice(dc, r, QBrush(QColor::fromRgb(colour)), QPainter::CompositionMode_Source);
}

// Four non-overlapping bands of a frame of width w inside r.
QRegion FrameBands(const QRect& r, int w, int h) {
  if (r.isEmpty()) return QRegion();
  w = std::min(w, r.width());
  h = std::min(h, r.height());
  QRegion bands(r);
  QRect inner = r.adjusted(w, h, -w, -h);
  if (inner.isValid() && !inner.isEmpty()) bands -= inner;
  return bands;
}

bool IsMonoSurface(HDC dc) { return dc->Bitmap && dc->Bitmap->Mono; }

// A source rectangle brought into the destination's terms: scaled, mirrored and with
// monochrome-to-colour (0 = text colour, 1 = background) or colour-to-monochrome (the source
// background colour becomes 1) conversion.
QImage SourcePixels(HDC dst, HDC src, QRect srcRect, QSize size, bool mirrorX, bool mirrorY) {
  QImage part(srcRect.size(), QImage::Format_RGB32);
  part.fill(0xFF000000);
  QRect inside = srcRect.intersected(src->Image->rect());
  if (!inside.isEmpty()) {
    QPainter p(&part);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(inside.topLeft() - srcRect.topLeft(), *src->Image, inside);
  }
  if (IsMonoSurface(src) && !IsMonoSurface(dst)) {
    QRgb fg = ToQRgb(dst->S.TextColor), bg = ToQRgb(dst->S.BkColor);
    for (int y = 0; y < part.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
      for (int x = 0; x < part.width(); ++x) row[x] = (row[x] & kRgbMask) ? bg : fg;
    }
  } else if (!IsMonoSurface(src) && IsMonoSurface(dst)) {
    QRgb key = ToQRgb(src->S.BkColor);
    for (int y = 0; y < part.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
      for (int x = 0; x < part.width(); ++x) row[x] = (row[x] | 0xFF000000u) == key ? 0xFFFFFFFF : 0xFF000000;
    }
  }
  if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
  if (part.size() != size) {
    Qt::TransformationMode mode = dst->S.StretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation;
    part = part.scaled(size, Qt::IgnoreAspectRatio, mode).convertToFormat(QImage::Format_RGB32);
  }
  return part;
}

struct TBltGeometry {
  QRect Dest, Src;
  bool MirrorX = false, MirrorY = false;
};

TBltGeometry BltGeometry(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh) {
  TBltGeometry g;
  QPoint d0 = dst->ToDevice(x, y), d1 = dst->ToDevice(x + w, y + h);
  g.Dest = dst->ToDeviceNormalized(TRect{x, y, x + w, y + h});
  if (src) {
    QPoint s0 = src->ToDevice(sx, sy), s1 = src->ToDevice(sx + sw, sy + sh);
    g.Src = src->ToDeviceNormalized(TRect{sx, sy, sx + sw, sy + sh});
    g.MirrorX = (d1.x() < d0.x()) != (s1.x() < s0.x());
    g.MirrorY = (d1.y() < d0.y()) != (s1.y() < s0.y());
  }
  return g;
}

}  // namespace

// ================================================================ pens, brushes, mix modes

QPainter::CompositionMode Rop2Composition(int Rop2) {
  switch (Rop2) {
    case R2_BLACK: return QPainter::RasterOp_ClearDestination;
    case R2_WHITE: return QPainter::RasterOp_SetDestination;
    case R2_NOT: return QPainter::RasterOp_NotDestination;
    case R2_NOTCOPYPEN: return QPainter::RasterOp_NotSource;
    case R2_MERGEPENNOT: return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MASKPENNOT: return QPainter::RasterOp_SourceAndNotDestination;
    case R2_MERGENOTPEN: return QPainter::RasterOp_NotSourceOrDestination;
    case R2_MASKNOTPEN: return QPainter::RasterOp_NotSourceAndDestination;
    case R2_MERGEPEN: return QPainter::RasterOp_SourceOrDestination;
    case R2_NOTMERGEPEN: return QPainter::RasterOp_NotSourceAndNotDestination;
    case R2_MASKPEN: return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTMASKPEN: return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_XORPEN: return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTXORPEN: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

QPen MakeQPen(HDC DC) {
  const TGdiPen* pen = DC->S.Pen.get();
  if (!pen || pen->Style == PS_NULL) return QPen(Qt::NoPen);
  int width = pen->Width <= 1 ? 1 : std::max(1, DC->ScaleX(pen->Width));
  QPen qp(ToQColor(pen->Color), width);
  if (width == 1) {
    // Cosmetic one-pixel lines: the flat cap leaves the end point out, as the platform does.
    qp.setCosmetic(true);
    qp.setCapStyle(Qt::FlatCap);
    switch (pen->Style) {
      case PS_DASH: qp.setDashPattern({18, 6}); break;
      case PS_DOT: qp.setDashPattern({3, 3}); break;
      case PS_DASHDOT: qp.setDashPattern({9, 6, 3, 6}); break;
      case PS_DASHDOTDOT: qp.setDashPattern({9, 3, 3, 3, 3, 3}); break;
      default: break;
    }
  } else {
    qp.setCapStyle(Qt::RoundCap);
    qp.setJoinStyle(Qt::RoundJoin);
    // Wide pens made by CreatePen draw solid; geometric ones keep their dashes.
    if (pen->Geometric) {
      switch (pen->Style) {
        case PS_DASH: qp.setStyle(Qt::DashLine); break;
        case PS_DOT: qp.setStyle(Qt::DotLine); break;
        case PS_DASHDOT: qp.setStyle(Qt::DashDotLine); break;
        case PS_DASHDOTDOT: qp.setStyle(Qt::DashDotDotLine); break;
        default: break;
      }
    }
  }
  return qp;
}

TGdiBrush* ResolveBrush(HBRUSH Brush) {
  auto raw = reinterpret_cast<std::uintptr_t>(Brush);
  if (raw >= 1 && raw <= 31) return static_cast<TGdiBrush*>(GetSysColorBrush(int(raw - 1)));
  return static_cast<TGdiBrush*>(Brush);
}

QBrush MakeQBrush(HDC DC, TGdiBrush* Brush) {
  if (!Brush || Brush->Style == BS_NULL) return QBrush(Qt::NoBrush);
  if (Brush->Style == BS_SOLID) return QBrush(QColor::fromRgb(BrushSolid(Brush)));
  return QBrush(BrushTile(DC, Brush));
}

void PatBltDevice(HDC DC, const QRegion& Area, TGdiBrush* Brush, DWORD Rop) {
  Byte code = RopCode(Rop);
  QRegion area = Area.intersected(DC->DeviceBounds().isEmpty() ? Area.boundingRect() : DC->DeviceBounds());
  if (area.isEmpty()) return;
  QPainter::CompositionMode mode;
  QBrush qb;
  switch (code) {
    case 0xF0: mode = QPainter::CompositionMode_SourceOver; qb = MakeQBrush(DC, Brush); break;
    case 0x5A: mode = QPainter::RasterOp_SourceXorDestination; qb = MakeQBrush(DC, Brush); break;
    case 0x55: mode = QPainter::RasterOp_NotDestination; qb = QBrush(Qt::white); break;
    case 0x00: mode = QPainter::CompositionMode_Source; qb = QBrush(Qt::black); break;
    case 0xFF: mode = QPainter::CompositionMode_Source; qb = QBrush(Qt::white); break;
    default:
      for (const QRect& r : area) RopPixels(DC, r, nullptr, Brush, code);
      return;
  }
  if (qb.style() == Qt::NoBrush) return;
  for (const QRect& r : area) FillDevice(DC, r, qb, mode);
}

// ================================================================ lines

namespace {

struct TLineSetup {
  QPainter* P = nullptr;
  QPen Pen;
};

TLineSetup PrepareLines(HDC dc) {
  TLineSetup s;
  if (!dc || dc->S.Rop2 == R2_NOP) return s;
  s.Pen = MakeQPen(dc);
  if (s.Pen.style() == Qt::NoPen) return s;
  s.P = Begin(dc);
  if (!s.P) return s;
  s.P->setCompositionMode(Rop2Composition(dc->S.Rop2));
  s.P->setBrush(Qt::NoBrush);
  return s;
}

// One-pixel lines are plotted here rather than by the toolkit, so that each segment covers
// its start and not its end point whichever way it runs, and every pixel of a polyline is
// touched once (which keeps XOR drawing reversible). The dash pattern runs on from segment
// to segment; with an opaque background the gaps take the background colour.
class TCosmeticPlotter {
public:
  TCosmeticPlotter(HDC dc, QPainter* p, const QPen& pen) : P(p), On(pen.color()) {
    if (pen.style() == Qt::CustomDashLine)
      for (qreal d : pen.dashPattern()) Pattern.push_back(std::max(1, int(d)));
    for (int d : Pattern) Period += d;
    if (!Pattern.empty() && dc->S.BkMode == OPAQUE) Off = ToQColor(dc->S.BkColor);
  }

  void Segment(QPoint a, QPoint b) {
    int dx = b.x() - a.x(), dy = b.y() - a.y();
    int n = std::max(std::abs(dx), std::abs(dy));
    if (n == 0) return;
    bool xMajor = std::abs(dx) >= std::abs(dy);
    if (Pattern.empty() && (dx == 0 || dy == 0)) {
      // A solid horizontal or vertical line is one rectangle; the rectangles of a polyline
      // (a grid's lines come as a few hundred of them) are filled together at the end.
      Flush();
      Solid.push_back(dx ? QRect(std::min(a.x(), b.x() + 1), a.y(), n, 1)
                         : QRect(a.x(), std::min(a.y(), b.y() + 1), 1, n));
      return;
    }
    for (int i = 0; i < n; ++i) {
      // The nearest pixel to the ideal line, halves rounded away from the start.
      int x = a.x() + RoundedStep(i, dx, n), y = a.y() + RoundedStep(i, dy, n);
      bool on = IsOn();
      ++Position;
      // A run grows while pixels stay on one row (or column) in the same dash state.
      if (RunLength > 0 && on == RunOn && RunXMajor == xMajor &&
          (xMajor ? (y == RunY && std::abs(x - RunEnd) == 1) : (x == RunX && std::abs(y - RunEnd) == 1))) {
        RunEnd = xMajor ? x : y;
        ++RunLength;
        continue;
      }
      Flush();
      RunOn = on;
      RunXMajor = xMajor;
      RunX = x;
      RunY = y;
      RunStart = RunEnd = xMajor ? x : y;
      RunLength = 1;
    }
  }

  ~TCosmeticPlotter() {
    Flush();
    FillSolid();
  }

  // The next segment starts another polyline: the dash pattern starts again.
  void NewLine() {
    Flush();
    Position = 0;
  }

private:
  static int RoundedStep(int i, int d, int n) {
    int twice = 2 * i * std::abs(d) + n;
    return (d < 0 ? -1 : 1) * (twice / (2 * n));
  }

  bool IsOn() const {
    if (Pattern.empty()) return true;
    int at = Position % Period;
    for (std::size_t k = 0; k < Pattern.size(); ++k) {
      if (at < Pattern[k]) return k % 2 == 0;
      at -= Pattern[k];
    }
    return true;
  }

  // Each rectangle is filled on its own, as one fill each would (overlaps included, which XOR
  // drawing relies on); the painter's pen and brush are given back.
  void FillSolid() {
    if (Solid.empty()) return;
    if (Solid.size() == 1) {
      P->fillRect(Solid[0], On);
      return;
    }
    QPen pen = P->pen();
    QBrush brush = P->brush();
    bool smooth = P->testRenderHint(QPainter::Antialiasing);
    P->setPen(Qt::NoPen);
    P->setBrush(On);
    if (smooth) P->setRenderHint(QPainter::Antialiasing, false);
    P->drawRects(Solid.data(), int(Solid.size()));
    if (smooth) P->setRenderHint(QPainter::Antialiasing, true);
    P->setPen(pen);
    P->setBrush(brush);
  }

  void Flush() {
    if (RunLength == 0) return;
    const QColor* colour = RunOn ? &On : (Off.isValid() ? &Off : nullptr);
    if (colour) {
      int lo = std::min(RunStart, RunEnd), len = std::abs(RunEnd - RunStart) + 1;
      P->fillRect(RunXMajor ? QRect(lo, RunY, len, 1) : QRect(RunX, lo, 1, len), *colour);
    }
    RunLength = 0;
  }

  QPainter* P;
  QColor On, Off;
  std::vector<QRect> Solid;
  std::vector<int> Pattern;
  int Period = 0, Position = 0;
  bool RunOn = true, RunXMajor = true;
  int RunX = 0, RunY = 0, RunStart = 0, RunEnd = 0, RunLength = 0;
};

// One polyline with the pen and painter PrepareLines set up.
void DrawSegments(HDC dc, const TLineSetup& s, const std::vector<QPoint>& pts) {
  if (pts.size() < 2 || !s.P) return;
  if (s.Pen.isCosmetic() && !dc->Vector) {
    TCosmeticPlotter plot(dc, s.P, s.Pen);
    for (std::size_t i = 1; i < pts.size(); ++i) plot.Segment(pts[i - 1], pts[i]);
    return;
  }
  s.P->setPen(s.Pen);
  s.P->drawPolyline(pts.data(), int(pts.size()));
}

void DrawSegments(HDC dc, const std::vector<QPoint>& pts) {
  if (pts.size() < 2) return;
  DrawSegments(dc, PrepareLines(dc), pts);
}

std::vector<QPoint> DevicePoints(HDC dc, const TPoint* pts, int count) {
  std::vector<QPoint> out;
  out.reserve(std::size_t(std::max(0, count)));
  for (int i = 0; i < count; ++i) out.push_back(dc->ToDevice(pts[i]));
  return out;
}

}  // namespace

BOOL MoveToEx(HDC DC, int X, int Y, TPoint* Old) {
  if (!DC) return 0;
  if (Old) *Old = DC->S.Pos;
  DC->S.Pos = {X, Y};
  return 1;
}

BOOL GetCurrentPositionEx(HDC DC, TPoint* Pos) {
  if (!DC || !Pos) return 0;
  *Pos = DC->S.Pos;
  return 1;
}

BOOL LineTo(HDC DC, int X, int Y) {
  if (!DC) return 0;
  DrawSegments(DC, {DC->ToDevice(DC->S.Pos), DC->ToDevice(X, Y)});
  DC->S.Pos = {X, Y};
  return 1;
}

BOOL Polyline(HDC DC, const TPoint* Points, int Count) {
  if (!DC || Count < 2 || !Points) return 0;
  DrawSegments(DC, DevicePoints(DC, Points, Count));
  return 1;
}

BOOL PolyPolyline(HDC DC, const TPoint* Points, const DWORD* Counts, int Polylines) {
  if (!DC || !Points || !Counts || Polylines < 1) return 0;
  for (int i = 0; i < Polylines; ++i)
    if (Counts[i] < 2) return 0;
  if (!DC->Vector) {
    // A grid's lines come as hundreds of short polylines: the pen is set up once and one-pixel
    // lines are plotted together.
    TLineSetup s = PrepareLines(DC);
    if (!s.P) return 1;
    if (s.Pen.isCosmetic()) {
      TCosmeticPlotter plot(DC, s.P, s.Pen);
      for (int i = 0; i < Polylines; Points += Counts[i], ++i) {
        plot.NewLine();
        QPoint last = DC->ToDevice(Points[0]);
        for (DWORD k = 1; k < Counts[i]; ++k) {
          QPoint next = DC->ToDevice(Points[k]);
          plot.Segment(last, next);
          last = next;
        }
      }
      return 1;
    }
    std::vector<QPoint> pts;
    for (int i = 0; i < Polylines; Points += Counts[i], ++i) {
      pts.clear();
      for (DWORD k = 0; k < Counts[i]; ++k) pts.push_back(DC->ToDevice(Points[k]));
      DrawSegments(DC, s, pts);
    }
    return 1;
  }
  // On a recorded page all the lines are one drawing, however many there are.
  TLineSetup s = PrepareLines(DC);
  if (!s.P) return 1;
  std::vector<QLine> lines;
  for (int i = 0; i < Polylines; Points += Counts[i], ++i)
    for (DWORD k = 1; k < Counts[i]; ++k) lines.emplace_back(DC->ToDevice(Points[k - 1]), DC->ToDevice(Points[k]));
  s.P->setPen(s.Pen);
  s.P->drawLines(lines.data(), int(lines.size()));
  return 1;
}

BOOL PolylineTo(HDC DC, const TPoint* Points, int Count) {
  if (!DC || Count < 1 || !Points) return 0;
  std::vector<QPoint> pts{DC->ToDevice(DC->S.Pos)};
  for (int i = 0; i < Count; ++i) pts.push_back(DC->ToDevice(Points[i]));
  DrawSegments(DC, pts);
  DC->S.Pos = Points[Count - 1];
  return 1;
}

BOOL PolyBezier(HDC DC, const TPoint* Points, int Count) {
  if (!DC || !Points || Count < 4 || (Count - 1) % 3 != 0) return 0;
  TLineSetup s = PrepareLines(DC);
  if (!s.P) return 1;
  QPainterPath path(DC->ToDevice(Points[0]));
  for (int i = 1; i + 2 < Count; i += 3)
    path.cubicTo(DC->ToDevice(Points[i]), DC->ToDevice(Points[i + 1]), DC->ToDevice(Points[i + 2]));
  s.P->setPen(s.Pen);
  s.P->drawPath(path);
  return 1;
}

// ================================================================ filled shapes

namespace {

// Pen and brush ready for a filled shape; false when nothing is to be drawn.
bool PrepareShape(HDC dc, QPainter*& p) {
  if (!dc || dc->S.Rop2 == R2_NOP) return false;
  p = Begin(dc);
  if (!p) return false;
  p->setCompositionMode(Rop2Composition(dc->S.Rop2));
  p->setPen(MakeQPen(dc));
  p->setBrush(MakeQBrush(dc, dc->S.Brush.get()));
  p->setBrushOrigin(dc->S.BrushOrg.X, dc->S.BrushOrg.Y);
  return true;
}

// The box a shape's outline passes through: one pixel in from the right and bottom.
QRect OutlineBox(HDC dc, int l, int t, int r, int b) {
  QRect d = dc->ToDeviceNormalized(TRect{l, t, r, b});
  return QRect(d.left(), d.top(), d.width() - 1, d.height() - 1);
}

double RadialAngle(QPointF c, QPointF p) {
  return std::atan2(-(p.y() - c.y()), p.x() - c.x()) * 180.0 / std::numbers::pi;
}

enum TArcKind { akArc, akPie, akChord };

BOOL ArcShape(HDC dc, TArcKind kind, int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
  if (!dc) return 0;
  QPainter* p = nullptr;
  if (kind == akArc) {
    TLineSetup s = PrepareLines(dc);
    if (!s.P) return 1;
    p = s.P;
    p->setPen(s.Pen);
  } else if (!PrepareShape(dc, p)) {
    return 1;
  }
  QRectF box = OutlineBox(dc, l, t, r, b);
  QPointF c = box.center();
  double start = RadialAngle(c, dc->ToDevice(x3, y3)), end = RadialAngle(c, dc->ToDevice(x4, y4));
  double span = end - start;
  if (span <= 0) span += 360;
  int a = int(std::lround(start * 16)), sp = int(std::lround(span * 16));
  if (kind == akArc) p->drawArc(box, a, sp);
  else if (kind == akPie) p->drawPie(box, a, sp);
  else p->drawChord(box, a, sp);
  return 1;
}

}  // namespace

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom) {
  QPainter* p = nullptr;
  if (!PrepareShape(DC, p)) return DC ? 1 : 0;
  QRect r = DC->ToDeviceNormalized(TRect{Left, Top, Right, Bottom});
  const TGdiPen* pen = DC->S.Pen.get();
  QPen qpen = p->pen();
  if (qpen.style() == Qt::NoPen) {
    // A null pen leaves the right and bottom pixel rows out.
    p->fillRect(r.adjusted(0, 0, -1, -1), p->brush());
    return 1;
  }
  if (qpen.isCosmetic() && DC->Vector) {
    // A recorded page keeps the outline a line, so that it shows at any zoom.
    QRect inner = r.adjusted(1, 1, -1, -1);
    if (!inner.isEmpty()) p->fillRect(inner, p->brush());
    int x2 = r.left() + r.width() - 1, y2 = r.top() + r.height() - 1;
    const QPoint outline[] = {r.topLeft(), {x2, r.top()}, {x2, y2}, {r.left(), y2}, r.topLeft()};
    p->setBrush(Qt::NoBrush);
    p->drawPolyline(outline, 5);
    return 1;
  }
  if (qpen.isCosmetic() && qpen.style() != Qt::SolidLine) {
    QRect inner = r.adjusted(1, 1, -1, -1);
    if (!inner.isEmpty()) p->fillRect(inner, p->brush());
    QPoint a(r.left(), r.top()), b(r.left() + r.width() - 1, r.top()), c(b.x(), r.top() + r.height() - 1),
        d(r.left(), c.y());
    TCosmeticPlotter plot(DC, p, qpen);
    plot.Segment(a, b);
    plot.Segment(b, c);
    plot.Segment(c, d);
    plot.Segment(d, a);
    return 1;
  }
  int w = qpen.isCosmetic() ? 1 : qpen.width();
  QRect outer = pen->Style == PS_INSIDEFRAME ? r : r.adjusted(-(w - 1) / 2, -(w - 1) / 2, (w - 1) / 2, (w - 1) / 2);
  QRect inner = outer.adjusted(w, w, -w, -w);
  if (inner.isValid() && !inner.isEmpty()) p->fillRect(inner, p->brush());
  QBrush band(qpen.color());
  for (const QRect& b : FrameBands(outer, w, w)) p->fillRect(b, band);
  return 1;
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom) {
  QPainter* p = nullptr;
  if (!PrepareShape(DC, p)) return DC ? 1 : 0;
  p->drawEllipse(OutlineBox(DC, Left, Top, Right, Bottom));
  return 1;
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height) {
  QPainter* p = nullptr;
  if (!PrepareShape(DC, p)) return DC ? 1 : 0;
  p->drawRoundedRect(OutlineBox(DC, Left, Top, Right, Bottom), DC->ScaleX(Width) / 2.0,
                     std::abs(DC->Scaled ? Height * DC->Sy : Height) / 2.0);
  return 1;
}

BOOL Polygon(HDC DC, const TPoint* Points, int Count) {
  if (!DC || !Points || Count < 2) return 0;
  QPainter* p = nullptr;
  if (!PrepareShape(DC, p)) return 1;
  std::vector<QPoint> pts = DevicePoints(DC, Points, Count);
  p->drawPolygon(pts.data(), int(pts.size()), DC->S.PolyFill == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  return 1;
}

BOOL Arc(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4) {
  return ArcShape(DC, akArc, L, T, R, B, X3, Y3, X4, Y4);
}
BOOL Pie(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4) {
  return ArcShape(DC, akPie, L, T, R, B, X3, Y3, X4, Y4);
}
BOOL Chord(HDC DC, int L, int T, int R, int B, int X3, int Y3, int X4, int Y4) {
  return ArcShape(DC, akChord, L, T, R, B, X3, Y3, X4, Y4);
}

// ================================================================ pixels and fills

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color) {
  if (!DC) return CLR_INVALID;
  QPoint d = DC->ToDevice(X, Y);
  FillSolid(DC, QRect(d, QSize(1, 1)), ToQRgb(Color));
  return Color;
}

COLORREF GetPixel(HDC DC, int X, int Y) {
  if (!DC || !DC->Image) return CLR_INVALID;
  QPoint d = DC->ToDevice(X, Y);
  if (!DC->Image->rect().contains(d) || (DC->S.HasClip && !DC->S.Clip.contains(d))) return CLR_INVALID;
  return FromQRgb(DC->Image->pixel(d));
}

BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type) {
  if (!DC || !DC->Image) return 0;
  QPoint start = DC->ToDevice(X, Y);
  const QImage& img = *DC->Image;
  if (!img.rect().contains(start)) return 0;
  QRgb key = ToQRgb(Color);
  auto inside = [&](int x, int y) {
    bool same = (img.pixel(x, y) | 0xFF000000u) == key;
    return Type == FLOODFILLSURFACE ? same : !same;
  };
  if (!inside(start.x(), start.y())) return 0;
  QImage mask(img.size(), QImage::Format_Mono);
  mask.fill(0);
  std::vector<QPoint> todo{start};
  mask.setPixel(start, 1);
  while (!todo.empty()) {
    QPoint q = todo.back();
    todo.pop_back();
    const QPoint next[] = {{q.x() + 1, q.y()}, {q.x() - 1, q.y()}, {q.x(), q.y() + 1}, {q.x(), q.y() - 1}};
    for (const QPoint& n : next)
      if (img.rect().contains(n) && !mask.pixelIndex(n) && inside(n.x(), n.y())) {
        mask.setPixel(n, 1);
        todo.push_back(n);
      }
  }
  // The filled pixels as runs along each row, top to bottom: the banded order regions use.
  std::vector<QRect> runs;
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width();) {
      if (!mask.pixelIndex(x, y)) {
        ++x;
        continue;
      }
      int from = x;
      while (x < mask.width() && mask.pixelIndex(x, y)) ++x;
      runs.emplace_back(from, y, x - from, 1);
    }
  QRegion area;
  area.setRects(runs.data(), int(runs.size()));
  PatBltDevice(DC, Reachable(DC, area), DC->S.Brush.get(), PATCOPY);
  return 1;
}

int FillRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
  TGdiBrush* b = ResolveBrush(Brush);
  if (!DC || !b) return 0;
  if (b->Style == BS_NULL) return 1;
  FillDevice(DC, DC->ToDevice(Rect), MakeQBrush(DC, b), QPainter::CompositionMode_SourceOver);
  return 1;
}

int FrameRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
  TGdiBrush* b = ResolveBrush(Brush);
  if (!DC || !b) return 0;
  QRect r = DC->ToDevice(Rect);
  int w = std::max(1, DC->ScaleX(1));
  int h = std::max(1, DC->Scaled ? int(std::lround(std::abs(DC->Sy))) : 1);
  QBrush qb = MakeQBrush(DC, b);
  for (const QRect& band : FrameBands(r, w, h)) FillDevice(DC, band, qb, QPainter::CompositionMode_SourceOver);
  return 1;
}

BOOL InvertRect(HDC DC, const TRect& Rect) {
  if (!DC) return 0;
  PatBltDevice(DC, QRegion(DC->ToDevice(Rect)), nullptr, DSTINVERT);
  return 1;
}

BOOL DrawFocusRect(HDC DC, const TRect& Rect) {
  if (!DC) return 0;
  QRect r = DC->ToDevice(Rect);
  if (r.isEmpty()) return 1;
  if (DC == GetScreenDC()) {
    // The screen context draws nowhere; its focus frames go to the screen overlay.
    ToggleScreenFocusRect(TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    return 1;
  }
  // A checkerboard XORed onto one-pixel bands that never overlap, so a second call undoes
  // the first; its dots take the text colour (0 bits) and the background colour (1 bits).
  static TGdiBrush* checker = [] {
    auto* b = new TGdiBrush;
    b->GdiStock = true;
    b->Style = BS_PATTERN;
    b->MonoPattern = true;
    b->Pattern = QImage(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) b->Pattern.setPixel(x, y, (x + y) % 2 ? 0xFF000000 : 0xFFFFFFFF);
    return b;
  }();
  TPoint org = std::exchange(DC->S.BrushOrg, TPoint{0, 0});
  PatBltDevice(DC, FrameBands(r, 1, 1), checker, PATINVERT);
  DC->S.BrushOrg = org;
  return 1;
}

BOOL FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush) {
  TGdiBrush* b = ResolveBrush(Brush);
  if (!DC || !Rgn || !b) return 0;
  QRegion area = static_cast<TGdiRegion*>(Rgn)->Rgn;
  for (const QRect& r : area) FillDevice(DC, r, MakeQBrush(DC, b), QPainter::CompositionMode_SourceOver);
  return 1;
}

BOOL PaintRgn(HDC DC, HRGN Rgn) { return DC ? FillRgn(DC, Rgn, DC->S.Brush.get()) : 0; }

BOOL FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, int Width, int Height) {
  TGdiBrush* b = ResolveBrush(Brush);
  if (!DC || !Rgn || !b) return 0;
  const QRegion& area = static_cast<TGdiRegion*>(Rgn)->Rgn;
  // The frame is the region less the region shrunk by the width and height.
  QRegion shrunk = area;
  for (int dx = -Width; dx <= Width; dx += std::max(1, Width))
    for (int dy = -Height; dy <= Height; dy += std::max(1, Height)) shrunk &= area.translated(dx, dy);
  QRegion frame = area - shrunk;
  for (const QRect& r : frame) FillDevice(DC, r, MakeQBrush(DC, b), QPainter::CompositionMode_SourceOver);
  return 1;
}

BOOL InvertRgn(HDC DC, HRGN Rgn) {
  if (!DC || !Rgn) return 0;
  PatBltDevice(DC, static_cast<TGdiRegion*>(Rgn)->Rgn, nullptr, DSTINVERT);
  return 1;
}

// ================================================================ blits

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop) {
  if (!DC) return 0;
  PatBltDevice(DC, QRegion(DC->ToDeviceNormalized(TRect{X, Y, X + Width, Y + Height})), DC->S.Brush.get(), Rop);
  return 1;
}

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, DWORD Rop) {
  return StretchBlt(Dest, X, Y, Width, Height, Src, SrcX, SrcY, Width, Height, Rop);
}

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                int SrcHeight, DWORD Rop) {
  if (!Dest) return 0;
  Byte code = RopCode(Rop);
  if (!RopUses(code, 2)) return PatBlt(Dest, X, Y, Width, Height, Rop);
  if (!Src || !Src->Image || Src->Image->isNull()) return 0;
  TBltGeometry g = BltGeometry(Dest, X, Y, Width, Height, Src, SrcX, SrcY, SrcWidth, SrcHeight);
  if (g.Dest.isEmpty() || g.Src.isEmpty()) return 1;
  QImage source = SourcePixels(Dest, Src, g.Src, g.Dest.size(), g.MirrorX, g.MirrorY);
  QPainter::CompositionMode mode;
  switch (code) {
    case 0xCC: mode = QPainter::CompositionMode_Source; break;
    case 0x66: mode = QPainter::RasterOp_SourceXorDestination; break;
    case 0x88: mode = QPainter::RasterOp_SourceAndDestination; break;
    case 0xEE: mode = QPainter::RasterOp_SourceOrDestination; break;
    case 0x33: mode = QPainter::RasterOp_NotSource; break;
    default:
      RopPixels(Dest, g.Dest, &source, Dest->S.Brush.get(), code);
      return 1;
  }
  if (IsMonoSurface(Dest) && code != 0xCC) {
    RopPixels(Dest, g.Dest, &source, Dest->S.Brush.get(), code);
    return 1;
  }
  QPainter* p = Begin(Dest);
  if (!p) return 1;
  p->setCompositionMode(mode);
  p->drawImage(g.Dest.topLeft(), source);
  return 1;
}

BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                    int SrcHeight, COLORREF Transparent) {
  if (!Dest || !Src || !Src->Image) return 0;
  TBltGeometry g = BltGeometry(Dest, X, Y, Width, Height, Src, SrcX, SrcY, SrcWidth, SrcHeight);
  if (g.Dest.isEmpty() || g.Src.isEmpty()) return 1;
  QImage part = SourcePixels(Dest, Src, g.Src, g.Src.size(), g.MirrorX, g.MirrorY);
  QImage keyed = part.convertToFormat(QImage::Format_ARGB32);
  QRgb key = ToQRgb(Transparent);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x)
      if ((row[x] | 0xFF000000u) == key) row[x] = 0;
  }
  if (keyed.size() != g.Dest.size())
    keyed = keyed.scaled(g.Dest.size(), Qt::IgnoreAspectRatio,
                         Dest->S.StretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation);
  QPainter* p = Begin(Dest);
  if (!p) return 1;
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->drawImage(g.Dest.topLeft(), keyed);
  return 1;
}

namespace {

struct TDibLayout {
  int Width = 0, Height = 0, Stride = 0, Bpp = 0;
  bool TopDown = false;
};

bool DibLayout(const BITMAPINFO* info, TDibLayout& l) {
  if (!info || (info->bmiHeader.biBitCount != 32 && info->bmiHeader.biBitCount != 24)) return false;
  l.Width = info->bmiHeader.biWidth;
  l.Height = std::abs(info->bmiHeader.biHeight);
  l.TopDown = info->bmiHeader.biHeight < 0;
  l.Bpp = info->bmiHeader.biBitCount;
  l.Stride = ((l.Width * l.Bpp / 8) + 3) & ~3;
  return l.Width > 0;
}

}  // namespace

int GetDIBits(HDC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT) {
  auto* bmp = static_cast<TGdiBitmap*>(Bitmap);
  if (!bmp || !Info) return 0;
  const QImage& img = bmp->Image;
  if (!Bits) {
    Info->bmiHeader.biWidth = img.width();
    Info->bmiHeader.biHeight = img.height();
    Info->bmiHeader.biPlanes = 1;
    if (Info->bmiHeader.biBitCount == 0) Info->bmiHeader.biBitCount = 32;
    Info->bmiHeader.biSizeImage = DWORD(((img.width() * Info->bmiHeader.biBitCount / 8 + 3) & ~3) * img.height());
    return img.height();
  }
  TDibLayout l;
  if (!DibLayout(Info, l)) return 0;
  auto* out = static_cast<Byte*>(Bits);
  int done = 0;
  for (UINT i = 0; i < Lines; ++i) {
    int dibRow = int(StartScan + i);
    int row = l.TopDown ? dibRow : l.Height - 1 - dibRow;
    if (row < 0 || row >= img.height() || dibRow >= l.Height) break;
    Byte* dst = out + std::size_t(i) * std::size_t(l.Stride);
    const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(row));
    for (int x = 0; x < l.Width; ++x) {
      QRgb p = x < img.width() ? src[x] : 0;
      Byte* d = dst + x * (l.Bpp / 8);
      d[0] = Byte(qBlue(p));
      d[1] = Byte(qGreen(p));
      d[2] = Byte(qRed(p));
      if (l.Bpp == 32) d[3] = 0;
    }
    ++done;
  }
  return done;
}

int SetDIBits(HDC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT) {
  auto* bmp = static_cast<TGdiBitmap*>(Bitmap);
  TDibLayout l;
  if (!bmp || !Bits || !DibLayout(Info, l)) return 0;
  if (bmp->SelectedIn) bmp->SelectedIn->EndPainter();
  QImage& img = bmp->Image;
  const auto* in = static_cast<const Byte*>(Bits);
  int done = 0;
  for (UINT i = 0; i < Lines; ++i) {
    int dibRow = int(StartScan + i);
    int row = l.TopDown ? dibRow : l.Height - 1 - dibRow;
    if (row < 0 || row >= img.height() || dibRow >= l.Height) break;
    const Byte* src = in + std::size_t(i) * std::size_t(l.Stride);
    auto* dst = reinterpret_cast<QRgb*>(img.scanLine(row));
    for (int x = 0; x < std::min(l.Width, img.width()); ++x) {
      const Byte* s = src + x * (l.Bpp / 8);
      dst[x] = qRgb(s[2], s[1], s[0]);
    }
    ++done;
  }
  return done;
}

// ================================================================ 3-D edges

namespace {

struct TRing {
  int TopLeft, BottomRight;  // system colour indexes
};

// One ring of an edge: the top-left colour owns the top and left lines except the corners
// at the far ends, which belong to the bottom and right lines.
void DrawRing(HDC dc, QRect& r, const TRing& ring, UINT sides) {
  if (r.isEmpty()) return;
  QRgb tl = ToQRgb(GetSysColor(ring.TopLeft)), br = ToQRgb(GetSysColor(ring.BottomRight));
  int l = r.left(), t = r.top(), rt = r.left() + r.width(), b = r.top() + r.height();
  if (sides & BF_TOP) FillSolid(dc, QRect(l, t, (sides & BF_RIGHT ? rt - 1 : rt) - l, 1), tl);
  if (sides & BF_LEFT) FillSolid(dc, QRect(l, t, 1, (sides & BF_BOTTOM ? b - 1 : b) - t), tl);
  if (sides & BF_RIGHT) FillSolid(dc, QRect(rt - 1, t, 1, b - t), br);
  if (sides & BF_BOTTOM) FillSolid(dc, QRect(l, b - 1, rt - l, 1), br);
  r.adjust(sides & BF_LEFT ? 1 : 0, sides & BF_TOP ? 1 : 0, sides & BF_RIGHT ? -1 : 0, sides & BF_BOTTOM ? -1 : 0);
}

}  // namespace

BOOL DrawEdge(HDC DC, TRect* Rect, UINT Edge, UINT Flags) {
  if (!DC || !Rect) return 0;
  QRect r = DC->ToDevice(*Rect);
  UINT outer = Edge & BDR_OUTER, inner = Edge & BDR_INNER;
  TRing outerRing{}, innerRing{};
  if (Flags & BF_MONO) {
    outerRing = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    innerRing = {COLOR_WINDOW, COLOR_WINDOW};
  } else if (Flags & BF_FLAT) {
    outerRing = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    innerRing = {COLOR_BTNFACE, COLOR_BTNFACE};
  } else {
    outerRing = (outer & BDR_RAISEDOUTER) ? TRing{COLOR_3DLIGHT, COLOR_3DDKSHADOW} : TRing{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    innerRing = (inner & BDR_RAISEDINNER) ? TRing{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW} : TRing{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    // Soft edges put the lighter (raised) or darker (sunken) colour outermost at the top-left.
    if ((Flags & BF_SOFT) && outer && inner) std::swap(outerRing.TopLeft, innerRing.TopLeft);
  }
  UINT sides = Flags & BF_RECT;
  if (outer) DrawRing(DC, r, outerRing, sides);
  if (inner) DrawRing(DC, r, innerRing, sides);
  if ((Flags & BF_MIDDLE) && !r.isEmpty())
    FillSolid(DC, r, ToQRgb(GetSysColor(Flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE)));
  if (Flags & BF_ADJUST) *Rect = DC->ToLogical(r);
  return 1;
}

BOOL DrawEdge(HDC DC, TRect& Rect, UINT Edge, UINT Flags) { return DrawEdge(DC, &Rect, Edge, Flags); }

// ================================================================ frame controls

namespace {

// The check mark of a 13 x 13 box, 7 x 7 pixels inside its 9 x 9 interior.
constexpr const char* kCheckMark[7] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

// Radio glyph roles for a square of n pixels: outer ring, inner ring, interior, dot.
enum TRadioRole { rrOutside, rrOuter, rrInner, rrInside, rrDot };
TRadioRole RadioRole(int n, int x, int y, bool& topLeft) {
  double c = (n - 1) / 2.0, r = n / 2.0;
  double d = std::hypot(x - c, y - c);
  topLeft = x + y < n - 1;
  if (d > r) return rrOutside;
  if (d > r - 1) return rrOuter;
  if (d > r - 2) return rrInner;
  if (d <= r / 3.5) return rrDot;
  return rrInside;
}

QRect Square(const QRect& r) {
  int n = std::min(r.width(), r.height());
  return QRect(r.left() + (r.width() - n) / 2, r.top() + (r.height() - n) / 2, n, n);
}

void DrawCheckMark(HDC dc, const QRect& mark, QRgb colour) {
  if (mark.width() < 1 || mark.height() < 1) return;
  for (int y = 0; y < mark.height(); ++y)
    for (int x = 0; x < mark.width(); ++x)
      if (kCheckMark[y * 7 / mark.height()][x * 7 / mark.width()] == '#')
        FillSolid(dc, QRect(mark.left() + x, mark.top() + y, 1, 1), colour);
}

void DrawCheckBox(HDC dc, const QRect& area, UINT state) {
  QRect box = Square(area);
  if (box.width() < 4) return;
  bool flat = state & (DFCS_FLAT | DFCS_MONO);
  bool threeState = (state & 0xFF) == DFCS_BUTTON3STATE;
  bool grayBack = (state & (DFCS_INACTIVE | DFCS_PUSHED)) || (threeState && (state & DFCS_CHECKED));
  QRect inner = box;
  if (flat) {
    for (const QRect& b : FrameBands(box, 1, 1))
      FillSolid(dc, b, ToQRgb(GetSysColor(state & DFCS_MONO ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW)));
    inner = box.adjusted(1, 1, -1, -1);
  } else {
    TRect lr = dc->ToLogical(box);
    DrawEdge(dc, &lr, EDGE_SUNKEN, BF_RECT);
    inner = box.adjusted(2, 2, -2, -2);
  }
  FillSolid(dc, inner, ToQRgb(GetSysColor(grayBack ? COLOR_BTNFACE : COLOR_WINDOW)));
  if (!(state & DFCS_CHECKED)) return;
  int colour = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : threeState ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
  DrawCheckMark(dc, inner.adjusted(1, 1, -1, -1), ToQRgb(GetSysColor(colour)));
}

void DrawRadio(HDC dc, const QRect& area, UINT state) {
  QRect box = Square(area);
  int n = box.width();
  UINT kind = state & 0xFF;
  bool flat = state & (DFCS_FLAT | DFCS_MONO);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      bool tl = false;
      TRadioRole role = RadioRole(n, x, y, tl);
      int colour = -1;
      QRgb rgb = 0;
      if (kind == DFCS_BUTTONRADIOMASK) {
        rgb = role == rrOutside ? 0xFFFFFFFF : 0xFF000000;  // the shape in black on white
      } else {
        switch (role) {
          case rrOutside: continue;
          case rrOuter:
            colour = flat ? (state & DFCS_MONO ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW)
                          : (tl ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            break;
          case rrInner:
            colour = flat ? COLOR_WINDOW : (tl ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
            if (flat && (state & (DFCS_INACTIVE | DFCS_PUSHED))) colour = COLOR_BTNFACE;
            break;
          case rrDot:
            if (state & DFCS_CHECKED) {
              colour = state & DFCS_INACTIVE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
              break;
            }
            [[fallthrough]];
          case rrInside: colour = state & (DFCS_INACTIVE | DFCS_PUSHED) ? COLOR_BTNFACE : COLOR_WINDOW; break;
        }
        rgb = ToQRgb(GetSysColor(colour));
      }
      FillSolid(dc, QRect(box.left() + x, box.top() + y, 1, 1), rgb);
    }
}

// A solid triangle pointing in a direction, centred in r; its base is about half the
// button (7 pixels on a 17-pixel scroll button).
void DrawArrow(HDC dc, const QRect& r, UINT dir, QRgb colour) {
  int base = std::max(3, ((std::min(r.width(), r.height()) - 3) / 2) | 1);
  int len = (base + 1) / 2;
  bool vertical = dir == DFCS_SCROLLUP || dir == DFCS_SCROLLDOWN || dir == DFCS_SCROLLCOMBOBOX;
  int w = vertical ? base : len, h = vertical ? len : base;
  int x0 = r.left() + (r.width() - w) / 2, y0 = r.top() + (r.height() - h) / 2;
  for (int i = 0; i < len; ++i) {
    int extent = 2 * i + 1, off = len - 1 - i;
    switch (dir) {
      case DFCS_SCROLLUP: FillSolid(dc, QRect(x0 + off, y0 + i, extent, 1), colour); break;
      case DFCS_SCROLLLEFT: FillSolid(dc, QRect(x0 + i, y0 + off, 1, extent), colour); break;
      case DFCS_SCROLLRIGHT: FillSolid(dc, QRect(x0 + len - 1 - i, y0 + off, 1, extent), colour); break;
      default: FillSolid(dc, QRect(x0 + off, y0 + len - 1 - i, extent, 1), colour); break;
    }
  }
}

void DrawSizeGrip(HDC dc, const QRect& r, UINT state) {
  if (!(state & DFCS_TRANSPARENT)) FillSolid(dc, r, ToQRgb(GetSysColor(COLOR_BTNFACE)));
  int n = std::min(r.width(), r.height());
  // The "right" variant is the mirrored grip of a right-to-left window, in the lower-left.
  bool right = (state & 0xFF) != DFCS_SCROLLSIZEGRIPRIGHT;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      // Diagonal lines run from the bottom corner upwards: highlight, shadow, shadow, gap.
      int s = (n - 1 - x) + (n - 1 - y);
      if (!right) s = x + (n - 1 - y);
      if (s < 1 || s >= n - 1) continue;
      int phase = (s - 1) % 4;
      if (phase == 3) continue;
      QPoint at = right ? QPoint(r.left() + r.width() - n + x, r.top() + r.height() - n + y)
                        : QPoint(r.left() + x, r.top() + r.height() - n + y);
      FillSolid(dc, QRect(at, QSize(1, 1)), ToQRgb(GetSysColor(phase == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW)));
    }
}

void DrawScrollButton(HDC dc, QRect r, UINT state) {
  UINT kind = state & 0xFF;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    DrawSizeGrip(dc, r, state);
    return;
  }
  TRect lr = dc->ToLogical(r);
  if (state & DFCS_FLAT) DrawEdge(dc, &lr, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT);
  else if (state & DFCS_PUSHED) DrawEdge(dc, &lr, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT);
  else DrawEdge(dc, &lr, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  QRect glyph = r;
  if (state & DFCS_PUSHED) glyph.translate(1, 1);
  if (state & DFCS_INACTIVE) {
    DrawArrow(dc, glyph.translated(1, 1), kind, ToQRgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    DrawArrow(dc, glyph, kind, ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
  } else {
    DrawArrow(dc, glyph, kind, ToQRgb(GetSysColor(COLOR_BTNTEXT)));
  }
}

void DrawPushButton(HDC dc, TRect& rect, UINT state) {
  UINT flags = BF_RECT | BF_MIDDLE | (state & DFCS_FLAT ? UINT(BF_FLAT) : 0u) | (state & DFCS_MONO ? UINT(BF_MONO) : 0u);
  TRect r = rect;
  if (state & (DFCS_PUSHED | DFCS_CHECKED)) DrawEdge(dc, &r, EDGE_SUNKEN, flags | BF_ADJUST);
  else DrawEdge(dc, &r, EDGE_RAISED, flags | BF_SOFT | BF_ADJUST);
  if (state & DFCS_ADJUSTRECT) rect = r;
}

void DrawCaptionButton(HDC dc, const QRect& r, UINT state) {
  TRect lr = dc->ToLogical(r);
  DrawPushButton(dc, lr, state & ~DFCS_ADJUSTRECT);
  QRgb c = ToQRgb(GetSysColor(state & DFCS_INACTIVE ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  QRect g = r.adjusted(r.width() / 4, r.height() / 4, -r.width() / 4, -r.height() / 4);
  if (state & DFCS_PUSHED) g.translate(1, 1);
  switch (state & 0xFF) {
    case DFCS_CAPTIONCLOSE:
      for (int i = 0; i < std::min(g.width(), g.height()); ++i) {
        FillSolid(dc, QRect(g.left() + i, g.top() + i, 2, 1), c);
        FillSolid(dc, QRect(g.left() + g.width() - 2 - i, g.top() + i, 2, 1), c);
      }
      break;
    case DFCS_CAPTIONMIN: FillSolid(dc, QRect(g.left(), g.bottom() - 1, g.width(), 2), c); break;
    default:
      for (const QRect& b : FrameBands(g, 1, 2)) FillSolid(dc, b, c);
      break;
  }
}

}  // namespace

BOOL DrawFrameControl(HDC DC, TRect* Rect, UINT Type, UINT State) {
  if (!DC || !Rect) return 0;
  QRect r = DC->ToDevice(*Rect);
  if (r.isEmpty()) return 1;
  switch (Type) {
    case DFC_BUTTON:
      switch (State & 0xFF) {
        case DFCS_BUTTONPUSH: DrawPushButton(DC, *Rect, State); return 1;
        case DFCS_BUTTONRADIO: case DFCS_BUTTONRADIOIMAGE: case DFCS_BUTTONRADIOMASK: DrawRadio(DC, r, State); return 1;
        default: DrawCheckBox(DC, r, State); return 1;
      }
    case DFC_SCROLL: DrawScrollButton(DC, r, State); return 1;
    case DFC_CAPTION: DrawCaptionButton(DC, r, State); return 1;
    case DFC_MENU: {
      QRgb c = ToQRgb(GetSysColor(COLOR_MENUTEXT));
      if ((State & 0xFF) == DFCS_MENUARROW) DrawArrow(DC, r, DFCS_SCROLLRIGHT, c);
      else if ((State & 0xFF) == DFCS_MENUBULLET) FillSolid(DC, r.adjusted(r.width() / 3, r.height() / 3, -r.width() / 3, -r.height() / 3), c);
      else DrawCheckMark(DC, Square(r).adjusted(1, 1, -1, -1), c);
      return 1;
    }
    default: return 0;
  }
}

BOOL DrawFrameControl(HDC DC, TRect& Rect, UINT Type, UINT State) { return DrawFrameControl(DC, &Rect, Type, State); }
