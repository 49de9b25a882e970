#pragma once
// TJPEGImage: a JPEG picture, its compressed bytes kept as read and decoded into a bitmap
// when drawn.
#include "gui/Pictures.h"

KELM_ENUM(TJPEGPerformance, jpBestQuality, jpBestSpeed)
KELM_ENUM(TJPEGScale, jsFullSize, jsHalf, jsQuarter, jsEighth)
KELM_ENUM(TJPEGPixelFormat, jf24Bit, jf8Bit)

// A JPEG picture: the compressed bytes and, once drawn or assigned, the decoded bitmap.
class TJPEGImage : public TGraphic {
  KELM_CLASS(TJPEGImage, TGraphic)
public:
  TJPEGImage();
  ~TJPEGImage() override;
  void Assign(TPersistent* Source) override;  // a TBitmap is compressed on demand
  int Width() const override;
  void SetWidth(int) override {}
  int Height() const override;
  void SetHeight(int) override {}
  bool Empty() const override;
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // EInvalidGraphic for data libjpeg cannot read.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void ReadData(TStream* Stream) override;  // Integer size, then the JPEG bytes
  void WriteData(TStream* Stream) override;

  int CompressionQuality() const { return FQuality; }  // 1..100
  void SetCompressionQuality(int v);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool v);
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool v) { FProgressive = v; }
  TJPEGPerformance Performance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance v) { FPerformance = v; }
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale v);
  TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat v) { FPixelFormat = v; }

  void Compress();    // bitmap -> bytes with the quality
  void DIBNeeded();   // bytes -> bitmap
  void JPEGNeeded();  // compresses when only the bitmap exists
  TBitmap* Bitmap();  // the decoded picture (decoding when needed)

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  TBytes FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0, FHeight = 0;
  int FQuality = 90;
  bool FGrayscale = false, FProgressive = false;
  TJPEGPerformance FPerformance = jpBestQuality;
  TJPEGScale FScale = jsFullSize;
  TJPEGPixelFormat FPixelFormat = jf24Bit;
};

// A metafile from outside (WMF or EMF) kept byte for byte: it is saved back unchanged and
