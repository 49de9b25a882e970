#pragma once
// Pictures: TGraphic, the base of every picture class, TBitmap (32-bit pixel rows), TIcon,
// TForeignMetafile (a metafile from outside kept as bytes) and TPicture, which holds a
// graphic of whatever class its file or stream turns out to be (JPEG pictures: Jpeg.h).
#include "core/Classes.h"
#include "core/Events.h"
#include "core/Persistent.h"
#include "gui/Canvas.h"

#include <functional>
#include <memory>

class TFiler;
class TIconImage;  // private to platform/gui

class TGraphic : public TPersistent {
  KELM_CLASS(TGraphic, TPersistent)
public:
  TGraphic() = default;
  virtual int Width() const = 0;
  virtual void SetWidth(int v) = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int v) = 0;
  virtual bool Empty() const = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool v);
  bool Modified() const { return FModified; }
  void SetModified(bool v);

  virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  virtual void LoadFromFile(const String& FileName);
  virtual void SaveToFile(const String& FileName);
  // Streamed picture data (the platform's binary property layout of each graphic class),
  // written as the binary property "Data" when the graphic is not empty.
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);
  void DefineProperties(TFiler* Filer) override;

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

protected:
  virtual void Changed(TObject* Sender);

private:
  bool FTransparent = false;
  bool FModified = false;
  TNotifyEvent FOnChange;
};

KELM_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
KELM_ENUM(TTransparentMode, tmAuto, tmFixed)

class TBitmapCanvas;

// Pixels live as 32-bit rows, top row first, each pixel B, G, R, A in memory whatever the
// PixelFormat; the format decides how the bitmap is saved and whether it is monochrome.
class TBitmap : public TGraphic {
  KELM_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  int Width() const override;
  void SetWidth(int v) override;
  int Height() const override;
  void SetHeight(int v) override;
  // Keeps the pixels of the overlap; new pixels are white.
  void SetSize(int AWidth, int AHeight);
  bool Empty() const override;
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat v);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool v);
  // The lower-left pixel in tmAuto mode; setting a colour switches to tmFixed.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor v);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode v);

  TCanvas* Canvas();
  HBITMAP Handle();
  // Row Row of the pixels (B, G, R, A per pixel); valid until the size changes.
  Byte* ScanLine(int Row);
  const Byte* ScanLine(int Row) const;

  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // BMP files and streams: 1, 4, 8, 16, 24 and 32 bits read; 1, 24 or 32 bits written as the
  // pixel format asks.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A bitmap among the resources by its name: a resource of that name, or a .bmp file of
  // that name in any folder of the resources ("DEDITBMP" finds "bitmaps/DEDITBMP.bmp").
  // EResNotFound when there is none.
  void LoadFromResourceName(const String& Name);
  void SaveToPngFile(const String& FileName);
  void ReadData(TStream* Stream) override;   // Integer size, then a BMP file
  void WriteData(TStream* Stream) override;
  void Dormant() {}
  void FreeImage() {}

  // Tells the bitmap its pixels were changed behind its back.
  void ImageChanged();

private:
  friend class TBitmapCanvas;
  friend struct TBitmapAccess;  // the pixels, for platform/gui (Graphics_p.h)
  void BeforeImageAccess() const;
  HBITMAP FHandle;  // owns the pixels
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TPixelFormat FPixelFormat = pfDevice;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
};

// An image with an alpha channel, drawn blended (loaded from .ico files, or from any
// picture the toolkit reads).
class TIcon : public TGraphic {
  KELM_CLASS(TIcon, TGraphic)
public:
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* Source) override;
  int Width() const override;
  void SetWidth(int v) override;
  int Height() const override;
  void SetHeight(int v) override;
  bool Empty() const override;
  bool Transparent() const override { return true; }
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;  // an .ico file with one 32-bit image

private:
  friend struct TBitmapAccess;
  std::unique_ptr<TIconImage> FImage;
};

// drawn as a framed placeholder of its size.
class TForeignMetafile : public TGraphic {
  KELM_CLASS(TForeignMetafile, TGraphic)
public:
  TForeignMetafile() = default;
  void Assign(TPersistent* Source) override;
  int Width() const override { return FWidth; }
  void SetWidth(int v) override { FWidth = v; }
  int Height() const override { return FHeight; }
  void SetHeight(int v) override { FHeight = v; }
  bool Empty() const override { return FData.empty(); }
  bool Enhanced() const { return FEnhanced; }
  const TBytes& Data() const { return FData; }
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

private:
  TBytes FData;
  bool FEnhanced = false;
  int FWidth = 0, FHeight = 0;
};

using TGraphicFactory = std::function<TGraphic*()>;

// Holds one graphic of whatever class its file or stream turns out to be.
class TPicture : public TPersistent {
  KELM_CLASS(TPicture, TPersistent)
public:
  TPicture();
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(TGraphic* v);  // copies it
  // The picture as a bitmap; a picture of another kind is replaced by an empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* v) { SetGraphic(v); }
  TIcon* Icon();
  int Width() const;
  int Height() const;

  // By extension (.bmp, .jpg, .jpeg, .ico, .wmf, .emf and the registered ones);
  // EInvalidGraphic "Unknown picture file extension (.xyz)" for others.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // By the data's first bytes: BM, FF D8, D7 CD C6 9A (placeable WMF), 01 00 09 00 / 02 00 09 00
  // (WMF), " EMF" at byte 40, 00 00 01 00 (icon).
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  // Streamed form: the graphic's class name (a length byte and the name), then its data;
  // the binary property "Data" when there is a graphic.
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  void DefineProperties(TFiler* Filer) override;

  // Registers a graphic class for an extension (without the dot); a later registration wins.
  static void RegisterFileFormat(const String& Extension, const String& Description, TClass GraphicClass,
                                 const TGraphicFactory& Create);

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

private:
  void Changed(TObject* Sender);
  void TakeGraphic(TGraphic* g);
  std::unique_ptr<TGraphic> FGraphic;
  TNotifyEvent FOnChange;
};
