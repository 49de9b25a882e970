// Pictures: the graphic base, bitmaps (BMP files, pixel rows, transparent drawing), icons,
// foreign metafiles kept as bytes, and TPicture choosing the class by extension or content.
#include "gui/Pictures.h"

#include "core/ClassBuilder.h"
#include "gui/Graphics_p.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "gui/QtBridge_p.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include <QBuffer>
#include <cstring>

// ================================================================ helpers

void DrawQImage(HDC DC, const TRect& Dest, const QImage& Image, bool Smooth) {
  if (!DC || Image.isNull()) return;
  QPainter* p = DC->P();
  if (!p) return;
  DC->ApplyClip();
  QRect d = DC->ToDevice(Dest);
  if (d.isEmpty()) return;
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->setRenderHint(QPainter::SmoothPixmapTransform, Smooth);
  if (d.size() == Image.size()) p->drawImage(d.topLeft(), Image);
  else p->drawImage(d, Image);
  p->setRenderHint(QPainter::SmoothPixmapTransform, false);
}

namespace {

TBytes ReadRest(TStream* s) {
  Int64 n = s->Size() - s->Position();
  TBytes data(std::size_t(std::max<Int64>(0, n)));
  if (n > 0) s->ReadBuffer(data.data(), n);
  return data;
}

std::uint16_t U16(const Byte* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const Byte* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24); }
void Put16(TBytes& b, std::size_t at, std::uint32_t v) { b[at] = Byte(v); b[at + 1] = Byte(v >> 8); }
void Put32(TBytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = Byte(v >> (8 * i));
}

QImage NewImage(int w, int h) {
  QImage img(std::max(0, w), std::max(0, h), QImage::Format_RGB32);
  img.setDotsPerMeterX(3780);  // 96 DPI
  img.setDotsPerMeterY(3780);
  img.fill(0xFFFFFFFF);
  return img;
}

void ToMono(QImage& img) {
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x) row[x] = qGray(row[x]) >= 128 ? 0xFFFFFFFF : 0xFF000000;
  }
}

}  // namespace

// ================================================================ TGraphic

KELM_PUBLISH(TGraphic) {}

void TGraphic::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  Changed(this);
}

void TGraphic::SetModified(bool v) {
  if (v) Changed(this);
  else FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  FOnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&s);
}

void TGraphic::SaveToFile(const String& FileName) {
  TFileStream s(FileName, fmCreate);
  SaveToStream(&s);
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }

void TGraphic::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, !Empty());
}
void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

// ================================================================ TBitmap

// The bitmap's own canvas: a memory context holding the bitmap, made when first drawn on.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* b) : FBitmap(b) {}
  ~TBitmapCanvas() override { FreeHandle(); }
  void FreeContext() { FreeHandle(); }

protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, FBitmap->FHandle);
    OwnHandle(dc);
  }

private:
  TBitmap* FBitmap;
};

KELM_PUBLISH(TBitmap) {}

namespace {
TGdiBitmap* Pixels(HBITMAP h) { return static_cast<TGdiBitmap*>(h); }
}  // namespace

TBitmap::TBitmap() : FHandle(CreateCompatibleBitmap(nullptr, 0, 0)) {}

TBitmap::~TBitmap() {
  FCanvas.reset();
  DeleteObject(FHandle);
}

void TBitmap::BeforeImageAccess() const {
  if (HDC dc = Pixels(FHandle)->SelectedIn) dc->EndPainter();
}

struct TBitmapAccess {
  static QImage& Image(const TBitmap& B) {
    B.BeforeImageAccess();
    return Pixels(B.FHandle)->Image;
  }
  static QImage& Image(TIcon& I) { return *I.FImage; }
};

QImage& ImageOf(TBitmap& Bitmap) { return TBitmapAccess::Image(Bitmap); }
const QImage& ImageOf(const TBitmap& Bitmap) { return TBitmapAccess::Image(Bitmap); }
QImage& ImageOf(TIcon& Icon) { return TBitmapAccess::Image(Icon); }

void TBitmap::ImageChanged() { Changed(this); }

int TBitmap::Width() const {
  const TGdiBitmap* b = Pixels(FHandle);
  return b->Image.isNull() ? b->EmptyWidth : b->Image.width();
}
int TBitmap::Height() const {
  const TGdiBitmap* b = Pixels(FHandle);
  return b->Image.isNull() ? b->EmptyHeight : b->Image.height();
}
bool TBitmap::Empty() const { return Width() == 0 || Height() == 0; }
void TBitmap::SetWidth(int v) { SetSize(v, Height()); }
void TBitmap::SetHeight(int v) { SetSize(Width(), v); }

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  if (AWidth == Width() && AHeight == Height()) return;
  QImage& img = ImageOf(*this);
  QImage sized = NewImage(AWidth, AHeight);
  int w = std::min(AWidth, img.width()), h = std::min(AHeight, img.height());
  if (w > 0)  // an empty image has no rows to copy into
    for (int y = 0; y < h; ++y) std::memcpy(sized.scanLine(y), img.constScanLine(y), std::size_t(w) * 4);
  img = sized;
  Pixels(FHandle)->EmptyWidth = sized.isNull() ? AWidth : 0;
  Pixels(FHandle)->EmptyHeight = sized.isNull() ? AHeight : 0;
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat v) {
  if (v == FPixelFormat) return;
  FPixelFormat = v;
  Pixels(FHandle)->Mono = v == pf1bit;
  if (v == pf1bit) ToMono(ImageOf(*this));
  Changed(this);
}

void TBitmap::SetMonochrome(bool v) {
  if (v != Monochrome()) SetPixelFormat(v ? pf1bit : pfDevice);
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return TColor(FromQRgb(ImageOf(*this).pixel(0, Height() - 1)));
}

void TBitmap::SetTransparentColor(TColor v) {
  if (v == FTransparentColor) return;
  FTransparentColor = v;
  FTransparentMode = v == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode v) {
  if (v == FTransparentMode) return;
  if (v == tmAuto) SetTransparentColor(clDefault);
  else SetTransparentColor(TransparentColor());
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->SetOnChange(TNotifyEvent(this, &TBitmap::Changed));
  }
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() {
  // The pixels leave the canvas's context, so another context may select them.
  if (FCanvas) FCanvas->FreeContext();
  return FHandle;
}

Byte* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return ImageOf(*this).scanLine(Row);
}

const Byte* TBitmap::ScanLine(int Row) const {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
  return ImageOf(*this).constScanLine(Row);
}

void TBitmap::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    QImage copy = ImageOf(*b).copy();
    ImageOf(*this) = copy;
    Pixels(FHandle)->EmptyWidth = Pixels(b->FHandle)->EmptyWidth;
    Pixels(FHandle)->EmptyHeight = Pixels(b->FHandle)->EmptyHeight;
    FPixelFormat = b->FPixelFormat;
    Pixels(FHandle)->Mono = b->Monochrome();
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    TGraphic::SetTransparent(b->TGraphic::Transparent());
    Changed(this);
    return;
  }
  if (!Source) {
    SetSize(0, 0);
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (Empty() || !Canvas) return;
  HDC dst = Canvas->Handle();
  HDC src = this->Canvas()->Handle();
  if (Transparent()) {
    TransparentBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, Width(), Height(),
                   ColorToRGB(TransparentColor()));
    return;
  }
  Canvas->RequiredState({csHandleValid, csBrushValid});
  COLORREF text = 0, bk = 0;
  if (Monochrome()) {
    // A monochrome bitmap shows black and white whatever the canvas's colours.
    text = SetTextColor(dst, 0);
    bk = SetBkColor(dst, 0xFFFFFF);
  }
  StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, Width(), Height(),
             DWORD(Canvas->CopyMode()));
  if (Monochrome()) {
    SetTextColor(dst, text);
    SetBkColor(dst, bk);
  }
}

// ---------------------------------------------------------------- BMP files

void TBitmap::LoadFromStream(TStream* Stream) {
  Byte head[14];
  if (Stream->Read(head, 14) != 14 || head[0] != 'B' || head[1] != 'M')
    throw EInvalidGraphic("Bitmap image is not valid");
  std::uint32_t fileSize = U32(head + 2);
  TBytes data(head, head + 14);
  Int64 rest = fileSize > 14 ? Int64(fileSize) - 14 : Stream->Size() - Stream->Position();
  rest = std::min(rest, Stream->Size() - Stream->Position());
  data.resize(14 + std::size_t(std::max<Int64>(0, rest)));
  if (rest > 0) Stream->ReadBuffer(data.data() + 14, rest);
  if (data.size() < 30) throw EInvalidGraphic("Bitmap image is not valid");
  std::uint32_t headerSize = U32(data.data() + 14);
  int bits = headerSize == 12 ? U16(data.data() + 24) : U16(data.data() + 28);
  std::uint32_t compression = headerSize >= 40 && data.size() >= 34 ? U32(data.data() + 30) : 0;
  QImage img;
  if (!img.loadFromData(data.data(), int(data.size()), "BMP")) throw EInvalidGraphic("Bitmap image is not valid");
  // A 1-bit file is monochrome when its two colours are black and white.
  bool blackAndWhite = false;
  std::size_t palette = 14 + headerSize;
  if (bits == 1 && headerSize >= 40 && data.size() >= palette + 8)
    blackAndWhite = (U32(data.data() + palette) & 0xFFFFFF) == 0 && (U32(data.data() + palette + 4) & 0xFFFFFF) == 0xFFFFFF;
  QImage converted = img.convertToFormat(QImage::Format_RGB32);
  converted.setDotsPerMeterX(3780);
  converted.setDotsPerMeterY(3780);
  ImageOf(*this) = converted;
  Pixels(FHandle)->EmptyWidth = Pixels(FHandle)->EmptyHeight = 0;
  switch (bits) {
    case 1: FPixelFormat = blackAndWhite ? pf1bit : pf4bit; break;
    case 4: FPixelFormat = pf4bit; break;
    case 8: FPixelFormat = pf8bit; break;
    case 16: FPixelFormat = compression == 3 ? pf16bit : pf15bit; break;
    case 24: FPixelFormat = pf24bit; break;
    case 32: FPixelFormat = pf32bit; break;
    default: FPixelFormat = pfDevice; break;
  }
  Pixels(FHandle)->Mono = FPixelFormat == pf1bit;
  Changed(this);
}

void TBitmap::SaveToStream(TStream* Stream) {
  const QImage& img = ImageOf(*this);
  int w = img.width(), h = img.height();
  int bits = FPixelFormat == pf1bit ? 1 : FPixelFormat == pf32bit ? 32 : 24;
  std::size_t stride = ((std::size_t(w) * std::size_t(bits) + 31) / 32) * 4;
  std::size_t palette = bits == 1 ? 8 : 0;
  std::size_t offset = 14 + 40 + palette;
  TBytes out(offset + stride * std::size_t(h), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, std::uint32_t(out.size()));
  Put32(out, 10, std::uint32_t(offset));
  Put32(out, 14, 40);
  Put32(out, 18, std::uint32_t(w));
  Put32(out, 22, std::uint32_t(h));
  Put16(out, 26, 1);
  Put16(out, 28, std::uint32_t(bits));
  Put32(out, 34, std::uint32_t(stride * std::size_t(h)));
  Put32(out, 38, 3780);
  Put32(out, 42, 3780);
  if (bits == 1) {
    Put32(out, 46, 2);
    Put32(out, 58, 0x00FFFFFF);  // entry 0 black, entry 1 white
  }
  for (int y = 0; y < h; ++y) {
    Byte* row = out.data() + offset + std::size_t(h - 1 - y) * stride;  // bottom row first
    const auto* px = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      QRgb p = px[x];
      if (bits == 1) {
        if (p & 0xFFFFFF) row[x / 8] |= Byte(0x80 >> (x % 8));
      } else {
        Byte* d = row + std::size_t(x) * std::size_t(bits / 8);
        d[0] = Byte(qBlue(p));
        d[1] = Byte(qGreen(p));
        d[2] = Byte(qRed(p));
        if (bits == 32) d[3] = Byte(qAlpha(p));
      }
    }
  }
  Stream->WriteBuffer(out.data(), Int64(out.size()));
}

void TBitmap::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, 4);
  Int64 end = Stream->Position() + size;
  LoadFromStream(Stream);
  Stream->SetPosition(end);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream m;
  SaveToStream(&m);
  Integer size = Integer(m.Size());
  Stream->WriteBuffer(&size, 4);
  Stream->WriteBuffer(m.Memory(), m.Size());
}

void TBitmap::LoadFromResourceName(const String& Name) {
  const TResourceView* found = FindResourceData(Name);
  if (!found) found = FindResourceData(Name + ".bmp");
  if (!found)
    for (const String& n : ResourceNames())
      if (SameText(ChangeFileExt(ExtractFileName(n), ""), Name) && SameText(ExtractFileExt(n), ".bmp")) {
        found = FindResourceData(n);
        break;
      }
  if (!found) throw EResNotFound("Resource " + Name + " not found");
  TResourceStream s(found->Name);
  LoadFromStream(&s);
}

void TBitmap::SaveToPngFile(const String& FileName) {
  if (!ImageOf(*this).save(ToQString(FileName), "PNG"))
    throw EFCreateError("Cannot create file \"" + FileName + "\".");
}

// ================================================================ TIcon

KELM_PUBLISH(TIcon) {}

TIcon::TIcon() : FImage(std::make_unique<TIconImage>()) {}
TIcon::~TIcon() = default;

int TIcon::Width() const { return FImage->width(); }
int TIcon::Height() const { return FImage->height(); }
bool TIcon::Empty() const { return FImage->isNull(); }

namespace {
// An icon's new size: a transparent square at first, the picture scaled afterwards.
QImage ResizedIcon(const QImage& img, int w, int h) {
  if (w <= 0 || h <= 0) return QImage();
  if (!img.isNull()) return img.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QImage blank(w, h, QImage::Format_ARGB32);
  blank.fill(0);
  return blank;
}
}  // namespace

void TIcon::SetWidth(int v) {
  if (v == Width()) return;
  *FImage = ResizedIcon(*FImage, v, FImage->isNull() ? v : Height());
  Changed(this);
}

void TIcon::SetHeight(int v) {
  if (v == Height()) return;
  *FImage = ResizedIcon(*FImage, FImage->isNull() ? v : Width(), v);
  Changed(this);
}

void TIcon::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    *FImage = i->FImage->copy();
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    *FImage = ImageOf(*b).convertToFormat(QImage::Format_ARGB32);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (!Canvas || Empty()) return;
  DrawQImage(Canvas->Handle(), Rect, *FImage, true);
}

namespace {

// One image of an icon file: PNG data, or a DIB whose height counts the colour rows and
// the 1-bit transparency mask below them.
QImage DecodeIconImage(const Byte* p, std::size_t n) {
  if (n >= 8 && std::memcmp(p, "\x89PNG", 4) == 0) return QImage::fromData(p, int(n), "PNG");
  if (n < 40) return QImage();
  int w = int(U32(p + 4)), h = int(U32(p + 8)) / 2, bits = U16(p + 14);
  std::uint32_t headerSize = U32(p);
  std::uint32_t used = U32(p + 32);
  if (w <= 0 || h <= 0 || w > 1024 || h > 1024) return QImage();
  int colours = bits <= 8 ? (used ? int(used) : 1 << bits) : 0;
  const Byte* table = p + headerSize;
  const Byte* xorBits = table + colours * 4;
  std::size_t xorStride = ((std::size_t(w) * std::size_t(bits) + 31) / 32) * 4;
  const Byte* andBits = xorBits + xorStride * std::size_t(h);
  std::size_t andStride = ((std::size_t(w) + 31) / 32) * 4;
  if (andBits + andStride * std::size_t(h) > p + n && bits != 32) return QImage();
  if (xorBits + xorStride * std::size_t(h) > p + n) return QImage();
  QImage img(w, h, QImage::Format_ARGB32);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y) {
    const Byte* row = xorBits + std::size_t(h - 1 - y) * xorStride;
    for (int x = 0; x < w; ++x) {
      QRgb c;
      if (bits == 32) {
        c = qRgba(row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]);
        anyAlpha = anyAlpha || row[x * 4 + 3];
      } else if (bits == 24) {
        c = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
      } else {
        int index = bits == 8 ? row[x] : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15 : (row[x / 8] >> (7 - x % 8)) & 1;
        const Byte* e = table + std::min(index, std::max(0, colours - 1)) * 4;
        c = qRgb(e[2], e[1], e[0]);
      }
      img.setPixel(x, y, c);
    }
  }
  if (!anyAlpha && andBits + andStride * std::size_t(h) <= p + n)
    for (int y = 0; y < h; ++y) {
      const Byte* row = andBits + std::size_t(h - 1 - y) * andStride;
      for (int x = 0; x < w; ++x) {
        bool clear = (row[x / 8] >> (7 - x % 8)) & 1;
        QRgb c = img.pixel(x, y);
        img.setPixel(x, y, clear ? 0 : (c | 0xFF000000u));
      }
    }
  return img;
}

}  // namespace

void TIcon::LoadFromStream(TStream* Stream) {
  TBytes data = ReadRest(Stream);
  const Byte* p = data.data();
  if (data.size() < 6 || U16(p) != 0 || (U16(p + 2) != 1 && U16(p + 2) != 2)) {
    QImage any;
    if (!any.loadFromData(data.data(), int(data.size()))) throw EInvalidGraphic("Icon image is not valid");
    *FImage = any.convertToFormat(QImage::Format_ARGB32);
    Changed(this);
    return;
  }
  int count = U16(p + 4), best = -1;
  long bestScore = -1;
  for (int i = 0; i < count && 6 + std::size_t(i + 1) * 16 <= data.size(); ++i) {
    const Byte* e = p + 6 + i * 16;
    long score = long(e[0] ? e[0] : 256) * long(e[1] ? e[1] : 256) * 64 + U16(e + 6);
    if (score > bestScore) bestScore = score, best = i;
  }
  if (best < 0) throw EInvalidGraphic("Icon image is not valid");
  const Byte* e = p + 6 + best * 16;
  std::uint32_t size = U32(e + 8), offset = U32(e + 12);
  if (std::size_t(offset) + size > data.size()) throw EInvalidGraphic("Icon image is not valid");
  QImage img = DecodeIconImage(p + offset, size);
  if (img.isNull()) throw EInvalidGraphic("Icon image is not valid");
  *FImage = img.convertToFormat(QImage::Format_ARGB32);
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
  const QImage& img = *FImage;
  int w = img.width(), h = img.height();
  std::size_t andStride = ((std::size_t(w) + 31) / 32) * 4;
  std::size_t dib = 40 + std::size_t(w) * std::size_t(h) * 4 + andStride * std::size_t(h);
  TBytes out(6 + 16 + dib, 0);
  Put16(out, 2, 1);
  Put16(out, 4, 1);
  out[6] = Byte(w >= 256 ? 0 : w);
  out[7] = Byte(h >= 256 ? 0 : h);
  Put16(out, 10, 1);
  Put16(out, 12, 32);
  Put32(out, 14, std::uint32_t(dib));
  Put32(out, 18, 22);
  Put32(out, 22, 40);
  Put32(out, 26, std::uint32_t(w));
  Put32(out, 30, std::uint32_t(h * 2));
  Put16(out, 34, 1);
  Put16(out, 36, 32);
  Byte* pixels = out.data() + 22 + 40;
  Byte* mask = pixels + std::size_t(w) * std::size_t(h) * 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      QRgb c = img.pixel(x, y);
      Byte* d = pixels + (std::size_t(h - 1 - y) * std::size_t(w) + std::size_t(x)) * 4;
      d[0] = Byte(qBlue(c));
      d[1] = Byte(qGreen(c));
      d[2] = Byte(qRed(c));
      d[3] = Byte(qAlpha(c));
      if (qAlpha(c) == 0) mask[std::size_t(h - 1 - y) * andStride + std::size_t(x / 8)] |= Byte(0x80 >> (x % 8));
    }
  Stream->WriteBuffer(out.data(), Int64(out.size()));
}

// ================================================================ foreign metafiles

KELM_PUBLISH(TForeignMetafile) {}

void TForeignMetafile::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TForeignMetafile*>(Source)) {
    FData = m->FData;
    FEnhanced = m->FEnhanced;
    FWidth = m->FWidth;
    FHeight = m->FHeight;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TForeignMetafile::LoadFromStream(TStream* Stream) {
  TBytes data = ReadRest(Stream);
  const Byte* p = data.data();
  FEnhanced = data.size() >= 44 && std::memcmp(p + 40, " EMF", 4) == 0;
  FWidth = FHeight = 0;
  if (FEnhanced && data.size() >= 40) {
    // The frame in hundredths of a millimetre.
    auto frame = [&](int i) { return int(std::int32_t(U32(p + 24 + 4 * i))); };
    FWidth = MulDiv(frame(2) - frame(0), 96, 2540);
    FHeight = MulDiv(frame(3) - frame(1), 96, 2540);
  } else if (data.size() >= 22 && U32(p) == 0x9AC6CDD7u) {
    // A placeable header: the bounding box and the units per inch.
    auto v = [&](int at) { return int(std::int16_t(U16(p + at))); };
    int inch = U16(p + 14);
    if (inch > 0) {
      FWidth = MulDiv(v(10) - v(6), 96, inch);
      FHeight = MulDiv(v(12) - v(8), 96, inch);
    }
  } else if (data.size() < 18 || (U32(p) != 0x00090001u && U32(p) != 0x00090002u)) {
    throw EInvalidGraphic("Metafile is not valid");
  }
  FData = std::move(data);
  Changed(this);
}

void TForeignMetafile::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void TForeignMetafile::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (!Canvas || IsRectEmpty(Rect)) return;
  // A placeholder: the picture's frame crossed from corner to corner.
  HDC dc = Canvas->Handle();
  int saved = SaveDC(dc);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  SelectObject(dc, pen);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetROP2(dc, R2_COPYPEN);
  ::Rectangle(dc, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  MoveToEx(dc, Rect.Left, Rect.Top, nullptr);
  ::LineTo(dc, Rect.Right - 1, Rect.Bottom - 1);
  MoveToEx(dc, Rect.Right - 1, Rect.Top, nullptr);
  ::LineTo(dc, Rect.Left, Rect.Bottom - 1);
  RestoreDC(dc, saved);
  DeleteObject(pen);
}

// ================================================================ TPicture

KELM_PUBLISH(TPicture) {}

namespace {

struct TFileFormat {
  String Extension, Description;
  TClass GraphicClass;
  TGraphicFactory Create;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = {
      {"bmp", "Bitmaps", TBitmap::StaticClass(), [] { return new TBitmap; }},
      {"jpg", "JPEG Image File", TJPEGImage::StaticClass(), [] { return new TJPEGImage; }},
      {"jpeg", "JPEG Image File", TJPEGImage::StaticClass(), [] { return new TJPEGImage; }},
      {"jpe", "JPEG Image File", TJPEGImage::StaticClass(), [] { return new TJPEGImage; }},
      {"ico", "Icons", TIcon::StaticClass(), [] { return new TIcon; }},
      {"wmf", "Metafiles", TForeignMetafile::StaticClass(), [] { return new TForeignMetafile; }},
      {"emf", "Enhanced Metafiles", TForeignMetafile::StaticClass(), [] { return new TForeignMetafile; }},
  };
  return formats;
}

const TFileFormat* FindFormat(const String& ext) {
  auto& formats = FileFormats();
  for (auto it = formats.rbegin(); it != formats.rend(); ++it)
    if (SameText(it->Extension, ext)) return &*it;
  return nullptr;
}

TGraphic* CreateGraphic(TClass cls) {
  for (auto it = FileFormats().rbegin(); it != FileFormats().rend(); ++it)
    if (it->GraphicClass == cls) return it->Create();
  return dynamic_cast<TGraphic*>(cls->Create(nullptr));
}

}  // namespace

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TClass GraphicClass,
                                  const TGraphicFactory& Create) {
  FileFormats().push_back({Extension, Description, GraphicClass, Create});
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) { FOnChange(this); }

void TPicture::TakeGraphic(TGraphic* g) {
  FGraphic.reset(g);
  if (g) g->SetOnChange(TNotifyEvent(this, &TPicture::Changed));
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* v) {
  if (v == FGraphic.get()) return;
  if (!v) {
    TakeGraphic(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(CreateGraphic(v->ClassType()));
  copy->Assign(v);
  TakeGraphic(copy.release());
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) SetGraphic(nullptr);
  else if (auto* p = dynamic_cast<TPicture*>(Source)) SetGraphic(p->Graphic());
  else if (auto* g = dynamic_cast<TGraphic*>(Source)) SetGraphic(g);
  else TPersistent::Assign(Source);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) TakeGraphic(new TBitmap);
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(FGraphic.get())) TakeGraphic(new TIcon);
  return static_cast<TIcon*>(FGraphic.get());
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const String& FileName) {
  String ext = ExtractFileExt(FileName);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  const TFileFormat* f = FindFormat(ext);
  if (!f) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  std::unique_ptr<TGraphic> g(f->Create());
  g->LoadFromFile(FileName);
  TakeGraphic(g.release());
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream) {
  Byte head[44] = {};
  Int64 start = Stream->Position();
  Int64 got = Stream->Read(head, sizeof head);
  Stream->SetPosition(start);
  TGraphic* g = nullptr;
  if (got >= 2 && head[0] == 'B' && head[1] == 'M') g = new TBitmap;
  else if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8) g = new TJPEGImage;
  else if (got >= 4 && U32(head) == 0x9AC6CDD7u) g = new TForeignMetafile;
  else if (got >= 4 && (U32(head) == 0x00090001u || U32(head) == 0x00090002u)) g = new TForeignMetafile;
  else if (got >= 44 && std::memcmp(head + 40, " EMF", 4) == 0) g = new TForeignMetafile;
  else if (got >= 4 && U32(head) == 0x00010000u) g = new TIcon;
  if (!g) throw EInvalidGraphic("Unknown picture format");
  std::unique_ptr<TGraphic> owned(g);
  g->LoadFromStream(Stream);
  TakeGraphic(owned.release());
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::ReadData(TStream* Stream) {
  Byte len = 0;
  Stream->ReadBuffer(&len, 1);
  String name(len, '\0');
  if (len) Stream->ReadBuffer(name.data(), len);
  TClass cls = GetClass(name);
  if (!cls || !cls->InheritsFrom(TGraphic::StaticClass())) throw EInvalidGraphic("Unknown picture format");
  std::unique_ptr<TGraphic> g(CreateGraphic(cls));
  g->ReadData(Stream);
  TakeGraphic(g.release());
}

void TPicture::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, FGraphic != nullptr);
}

void TPicture::WriteData(TStream* Stream) {
  String name = FGraphic ? FGraphic->ClassName() : String();
  Byte len = Byte(std::min<std::size_t>(name.size(), 255));
  Stream->WriteBuffer(&len, 1);
  if (len) Stream->WriteBuffer(name.data(), len);
  if (FGraphic) FGraphic->WriteData(Stream);
}
