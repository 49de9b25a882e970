#pragma once
// Private to platform/gui: what stands behind the drawing handles, and the conversions
// between the layer's values and Qt's. Only .cpp files of platform/gui include it.
#include "gui/Graphics.h"
#include "gui/WinGDI.h"
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QString>
#include <map>
#include <memory>

// ---------------------------------------------------------------- conversions
// System colours (0xFF0000nn) are resolved; anything else keeps its low 24 bits.
inline QRgb ToQRgb(COLORREF c) {
  if ((c & 0xFF000000u) == 0xFF000000u) c = GetSysColor(int(c & 0xFF));
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline QColor ToQColor(COLORREF c) { return QColor::fromRgb(ToQRgb(c)); }
inline COLORREF FromQRgb(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QString ToQString(const String& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
inline String FromQString(const QString& s) { return s.toStdString(); }

// ---------------------------------------------------------------- object references
// Keeps a drawing object alive while a device context (or its saved state) holds it.
template <class T> class TGdiRef {
public:
  TGdiRef() = default;
  TGdiRef(T* p) : P(p) { if (P) ++P->GdiRefs; }
  TGdiRef(const TGdiRef& o) : TGdiRef(o.P) {}
  TGdiRef& operator=(const TGdiRef& o) { TGdiRef t(o); std::swap(P, t.P); return *this; }
  ~TGdiRef() { Release(); }
  T* get() const { return P; }
  T* operator->() const { return P; }
  explicit operator bool() const { return P != nullptr; }

private:
  void Release() {
    if (P && --P->GdiRefs == 0 && P->GdiDeleted) delete P;
    P = nullptr;
  }
  T* P = nullptr;
};

// ---------------------------------------------------------------- drawing objects
struct TGdiPen : HPEN__ {
  int Style = PS_SOLID;  // PS_SOLID ... PS_INSIDEFRAME
  int Width = 1;
  COLORREF Color = 0;
  bool Geometric = false;  // made by ExtCreatePen: keeps its dashes when wide
};

struct TGdiBrush : HBRUSH__ {
  int Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  int SysColor = -1;       // a system colour brush follows the scheme
  QImage Pattern;          // BS_PATTERN: the tile
  bool MonoPattern = false;
};

// A font realised at one device pixel height.
struct TFontFace {
  std::uint64_t Id;  // unique for the process's life, unlike the face's address
  QFont Font;
  QFontMetrics Metrics;
  TEXTMETRIC Tm;
  explicit TFontFace(const QFont& f);
};

struct TGdiFont : HFONT__ {
  LOGFONT Lf;
  // devicePixels: the character height in device pixels (the logical height, mapped).
  // Unhinted faces keep the outlines' own advances, as high-resolution devices measure.
  const TFontFace& Face(int devicePixels, bool unhinted = false);
  int EmPixels(double scale);  // character height in device pixels for a logical-to-device scale

private:
  std::map<int, std::shared_ptr<const TFontFace>> FFaces;
  int FCellToEm100 = 0;  // for positive heights: em size per 100 pixels of cell height
};

struct TGdiBitmap : HBITMAP__ {
  QImage Image;           // Format_RGB32, top row first
  bool Mono = false;      // pixels are black or white only
  HDC SelectedIn = nullptr;
  // The size a bitmap was given while one side is 0. An image cannot be 10 by 0, yet a bitmap
  // whose width is set before its height must keep that width; 0 whenever Image has pixels.
  int EmptyWidth = 0;
  int EmptyHeight = 0;
};

struct TGdiRegion : HRGN__ {
  QRegion Rgn;
};

// The family list for a face name: the one place where the platform's face names become the
// fonts installed here (Chinese-capable faces stand in for the Latin and Chinese UI faces,
// metric-compatible faces for the report faces).
QStringList SubstituteFontFamilies(const String& FaceName, bool FixedPitch);
QFont MakeQFont(const LOGFONT& Lf, int EmPixels, bool Unhinted = false);

// ---------------------------------------------------------------- device context
struct TDCState {
  TGdiRef<TGdiPen> Pen;
  TGdiRef<TGdiBrush> Brush;
  TGdiRef<TGdiFont> Font;
  COLORREF TextColor = 0;
  COLORREF BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  UINT TextAlign = TA_LEFT | TA_TOP;
  int CharExtra = 0, JustExtra = 0, JustBreaks = 0;
  int Rop2 = R2_COPYPEN;
  int PolyFill = ALTERNATE;
  int StretchMode = BLACKONWHITE;
  TPoint BrushOrg, Pos;
  int MapMode = MM_TEXT;
  TPoint WinOrg, VpOrg;
  TSize WinExt{1, 1}, VpExt{1, 1};
  bool HasClip = false;
  QRegion Clip;  // device coordinates
};

struct HDC__ {
  enum TKind { dkImage, dkPainter, dkMemory, dkScreen };
  TKind Kind = dkImage;
  QImage* Image = nullptr;  // the pixels, when the surface is raster
  QPainter* Painter = nullptr;
  std::unique_ptr<QPainter> OwnPainter;
  QTransform Base;           // a given painter's transform when it arrived
  TGdiRef<TGdiBitmap> Bitmap;  // memory context: the selected bitmap
  int Dpi = 96;  // above 96 (printers) text is measured unhinted
  // A page being recorded for printing or replay at other sizes: lines are drawn as lines
  // (a one-pixel pen stays one pixel wide at any zoom) instead of being plotted pixel by pixel.
  bool Vector = false;
  // A recording that keeps a text drawn with explicit advances as runs carrying them; while
  // such a text is drawn, its advances in device pixels, one per UTF-16 unit (0 for the
  // second unit of a pair).
  bool KeepsRuns = false;
  std::vector<qreal> RunAdvances;
  unsigned RunSerial = 0;  // counts the texts drawn so
  // A printer's paper in device pixels and the printable area's offset on it (the surface is
  // the printable area); an empty size means the surface is the whole paper.
  QSize Physical;
  QPoint PhysicalOffset;
  TDCState S;
  std::vector<TDCState> Saved;
  bool ClipApplied = false;  // the painter holds S's clip
  // The face the painter was last given (the context assumes nobody else sets its font).
  std::uint64_t PainterFont = 0;  // a TFontFace::Id
  // Mapping, kept ready for the common case of a mere offset.
  bool Scaled = false;
  double Sx = 1, Sy = 1;

  // The painter to draw with, begun on demand; nullptr when there is nothing to draw on.
  QPainter* P();
  // Ends a painter of our own, so the pixels may be changed directly.
  void EndPainter();
  QRect DeviceBounds() const;
  void UpdateMapping();
  QPoint ToDevice(int x, int y) const;
  QPoint ToDevice(TPoint p) const { return ToDevice(p.X, p.Y); }
  TPoint ToLogical(QPoint p) const;
  // A logical rectangle in device pixels, normalised where the mapping mirrors it; a
  // rectangle that is inverted already (right before left) covers nothing.
  QRect ToDevice(const TRect& r) const;
  // The same for shapes and blits, which take their corners in any order.
  QRect ToDeviceNormalized(const TRect& r) const {
    return ToDevice(TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                          std::max(r.Top, r.Bottom)});
  }
  TRect ToLogical(const QRect& r) const;
  int ScaleX(int w) const;  // a logical width in device pixels
  // Puts the clip region (or none) into the painter when it changed.
  void ApplyClip();
  void ClipChanged() { ClipApplied = false; }
};

// Device contexts over Qt surfaces, not owning them.
HDC CreateImageDC(QImage* Image);
HDC CreatePainterDC(QPainter* Painter);
// Points a context at another image (nullptr: nothing to draw on), keeping its state.
void SetDCImage(HDC DC, QImage* Image);
// Points a painter context at another active painter (the next page of a job), keeping its
// state; the painter's font and clip are set again before the next drawing.
void SetDCPainter(HDC DC, QPainter* Painter);

// Painter settings for the current pen, brush and mix mode.
QPen MakeQPen(HDC DC);
QBrush MakeQBrush(HDC DC, TGdiBrush* Brush);
QPainter::CompositionMode Rop2Composition(int Rop2);
// A brush for the handle FillRect and friends accept (system colour index + 1 too).
TGdiBrush* ResolveBrush(HBRUSH Brush);
// Paints a region of device pixels with a brush and a ternary raster operation.
void PatBltDevice(HDC DC, const QRegion& Area, TGdiBrush* Brush, DWORD Rop);
// Draws an image (alpha blended) into a logical rectangle of a context, clip respected.
void DrawQImage(HDC DC, const TRect& Dest, const QImage& Image, bool Smooth = false);
// The selected font, realised for this context's mapping.
const TFontFace& CurrentFace(HDC DC);
// Whether opaque text cells drawn again are copied from kept pictures (on by default); either
// way the kept pictures are forgotten. Tests compare the two.
void KeepTextCells(bool Enabled);
