// TJPEGImage over libjpeg: the compressed bytes are kept as read, decoded into a bitmap when
// drawn, and a bitmap assigned to it is compressed with the quality when the bytes are needed.
#include "gui/Jpeg.h"

#include "core/ClassBuilder.h"
#include "gui/Graphics_p.h"
#include "gui/QtBridge_p.h"
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the call that set up the handler. No C++ object with a destructor lives between the jump
// and its target in the functions below.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr info) {
  auto* e = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, e->Message);
  std::longjmp(e->Jump, 1);
}

extern "C" void JpegSilent(j_common_ptr) {}

struct TJpegPixels {
  int Width = 0, Height = 0, Components = 0;
  bool Cmyk = false;
  std::vector<unsigned char> Rows;
};

// Reads the header (and the pixels unless headerOnly); false with a message on failure.
bool DecodeJpeg(const unsigned char* data, std::size_t size, int scaleDenom, bool grayscale, bool headerOnly,
                TJpegPixels* out, char* message) {
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = JpegSilent;
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    std::strcpy(message, error.Message);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  out->Width = int(info.image_width);
  out->Height = int(info.image_height);
  if (headerOnly) {
    jpeg_destroy_decompress(&info);
    return true;
  }
  info.scale_num = 1;
  info.scale_denom = unsigned(scaleDenom);
  out->Cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = out->Cmyk ? JCS_CMYK : grayscale ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&info);
  out->Width = int(info.output_width);
  out->Height = int(info.output_height);
  out->Components = info.output_components;
  std::size_t stride = std::size_t(out->Width) * std::size_t(out->Components);
  out->Rows.resize(stride * std::size_t(out->Height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out->Rows.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// The compressed bytes land in a buffer libjpeg allocates; the caller frees it, also after
// a failure.
bool EncodeJpeg(const unsigned char* rows, int width, int height, int components, int quality, bool progressive,
                unsigned char** buffer, unsigned long* length, char* message) {
  jpeg_compress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = JpegSilent;
  if (setjmp(error.Jump)) {
    jpeg_destroy_compress(&info);
    std::strcpy(message, error.Message);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, length);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::size_t stride = std::size_t(width) * std::size_t(components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(rows) + stride * info.next_scanline;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

KELM_PUBLISH(TJPEGImage) {}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const { return FBitmap ? FBitmap->Width() : FWidth; }
int TJPEGImage::Height() const { return FBitmap ? FBitmap->Height() : FHeight; }
bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }

void TJPEGImage::SetCompressionQuality(int v) {
  v = std::clamp(v, 1, 100);
  if (v == FQuality) return;
  FQuality = v;
}

void TJPEGImage::SetGrayscale(bool v) {
  if (v == FGrayscale) return;
  FGrayscale = v;
  if (!FData.empty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SetScale(TJPEGScale v) {
  if (v == FScale) return;
  FScale = v;
  if (!FData.empty()) FBitmap.reset();
  Changed(this);
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    if (j == this) return;
    FData = j->FData;
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FQuality = j->FQuality;
    FGrayscale = j->FGrayscale;
    FScale = j->FScale;
    FBitmap.reset();
    if (j->FBitmap && j->FData.empty()) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(j->FBitmap.get());
    }
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    FData.clear();
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(b);
    FBitmap->SetTransparent(false);
    FWidth = b->Width();
    FHeight = b->Height();
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    b->Assign(Bitmap());
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  Int64 n = Stream->Size() - Stream->Position();
  TBytes data(std::size_t(std::max<Int64>(0, n)));
  if (n > 0) Stream->ReadBuffer(data.data(), n);
  TJpegPixels header;
  char message[JMSG_LENGTH_MAX] = {};
  if (data.empty() || !DecodeJpeg(data.data(), data.size(), 1, false, true, &header, message))
    throw EInvalidGraphic(String("JPEG error: ") + (message[0] ? message : "no data"));
  FData = std::move(data);
  FWidth = header.Width;
  FHeight = header.Height;
  FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), Int64(FData.size()));
}

void TJPEGImage::ReadData(TStream* Stream) {
  Integer size = 0;
  Stream->ReadBuffer(&size, 4);
  TMemoryStream part;
  if (size > 0) part.CopyFrom(Stream, size);
  part.SetPosition(0);
  LoadFromStream(&part);
}

void TJPEGImage::WriteData(TStream* Stream) {
  JPEGNeeded();
  Integer size = Integer(FData.size());
  Stream->WriteBuffer(&size, 4);
  if (size) Stream->WriteBuffer(FData.data(), size);
}

void TJPEGImage::Compress() {
  if (!FBitmap || FBitmap->Empty()) return;
  const QImage& img = ImageOf(*FBitmap);
  int w = img.width(), h = img.height(), comps = FGrayscale ? 1 : 3;
  std::vector<unsigned char> rows(std::size_t(w) * std::size_t(h) * std::size_t(comps));
  unsigned char* d = rows.data();
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      if (comps == 1) {
        *d++ = static_cast<unsigned char>(qGray(src[x]));
      } else {
        *d++ = static_cast<unsigned char>(qRed(src[x]));
        *d++ = static_cast<unsigned char>(qGreen(src[x]));
        *d++ = static_cast<unsigned char>(qBlue(src[x]));
      }
    }
  }
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  char message[JMSG_LENGTH_MAX] = {};
  bool ok = EncodeJpeg(rows.data(), w, h, comps, FQuality, FProgressive, &buffer, &length, message);
  if (ok) FData.assign(buffer, buffer + length);
  std::free(buffer);
  if (!ok) throw EInvalidGraphicOperation(String("JPEG error: ") + message);
  FWidth = w;
  FHeight = h;
}

void TJPEGImage::JPEGNeeded() {
  if (FData.empty()) Compress();
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  TJpegPixels px;
  char message[JMSG_LENGTH_MAX] = {};
  int denom = 1 << int(FScale);
  if (!DecodeJpeg(FData.data(), FData.size(), denom, FGrayscale, false, &px, message))
    throw EInvalidGraphic(String("JPEG error: ") + message);
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(FPixelFormat == jf8Bit ? pf8bit : pf24bit);
  bmp->SetSize(px.Width, px.Height);
  QImage& img = ImageOf(*bmp);
  for (int y = 0; y < px.Height; ++y) {
    const unsigned char* s = px.Rows.data() + std::size_t(y) * std::size_t(px.Width) * std::size_t(px.Components);
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < px.Width; ++x, s += px.Components) {
      if (px.Cmyk) {
        // Adobe writes CMYK inverted: each ink value is already 255 - ink.
        int k = s[3];
        row[x] = qRgb(s[0] * k / 255, s[1] * k / 255, s[2] * k / 255);
      } else if (px.Components == 1) {
        row[x] = qRgb(s[0], s[0], s[0]);
      } else {
        row[x] = qRgb(s[0], s[1], s[2]);
      }
    }
  }
  FBitmap = std::move(bmp);
}

TBitmap* TJPEGImage::Bitmap() {
  DIBNeeded();
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TJPEGImage::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (Empty() || !Canvas) return;
  Canvas->StretchDraw(Rect, Bitmap());
}
