#pragma once
// Colours, fonts, pens, brushes, the canvas and the pictures it draws. A canvas draws
// through a device context (WinGDI.h) that it creates on demand and into which it selects
// its pen, brush and font only when they changed, so calls on Canvas->Handle() and on the
// canvas can be mixed as the platform allows.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Events.h"
#include "core/Types.h"
#include "gui/WinGDI.h"
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TIconImage;  // private to platform/gui

// ================================================================ colours

// 0x00BBGGRR, or 0xFF000000 | system colour index.
using TColor = Integer;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = clSilver, clDkGray = clGray, clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6,
                 clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clSystemColor = Integer(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR, clBackground = clSystemColor | COLOR_BACKGROUND,
                 clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION,
                 clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION, clMenu = clSystemColor | COLOR_MENU,
                 clWindow = clSystemColor | COLOR_WINDOW, clWindowFrame = clSystemColor | COLOR_WINDOWFRAME,
                 clMenuText = clSystemColor | COLOR_MENUTEXT, clWindowText = clSystemColor | COLOR_WINDOWTEXT,
                 clCaptionText = clSystemColor | COLOR_CAPTIONTEXT,
                 clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER,
                 clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER,
                 clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE, clHighlight = clSystemColor | COLOR_HIGHLIGHT,
                 clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT, clBtnFace = clSystemColor | COLOR_BTNFACE,
                 clBtnShadow = clSystemColor | COLOR_BTNSHADOW, clGrayText = clSystemColor | COLOR_GRAYTEXT,
                 clBtnText = clSystemColor | COLOR_BTNTEXT,
                 clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT,
                 clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT, cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW,
                 cl3DLight = clSystemColor | COLOR_3DLIGHT, clInfoText = clSystemColor | COLOR_INFOTEXT,
                 clInfoBk = clSystemColor | COLOR_INFOBK, clHotLight = clSystemColor | COLOR_HOTLIGHT,
                 clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION,
                 clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION,
                 clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT, clMenuBar = clSystemColor | COLOR_MENUBAR;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour resolved to its RGB value; any other value (clNone and clDefault too) is
// returned as it is, so callers can still test for those two afterwards.
COLORREF ColorToRGB(TColor Color);
// The colour's name (clBtnFace), else "$" and eight hex digits.
String ColorToString(TColor Color);
// A name (any case) or a number ($hex or decimal); EConvertError for anything else.
TColor StringToColor(const String& S);
bool ColorToIdent(TColor Color, String& Ident);
bool IdentToColor(const String& Ident, TColor& Color);
// Every named colour, in list order (the 16 classic colours, four extras, the system colours
// alphabetically with clDefault and clNone among them).
void GetColorValues(const std::function<void(const String& Name)>& Proc);

// ================================================================ fonts, pens, brushes

KELM_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
KELM_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = Byte;
using TFontName = String;

KELM_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
KELM_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
          pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
KELM_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
          bsDiagCross)

// The base of fonts, pens and brushes: OnChange after every change.
class TGraphicsObject : public TPersistent {
  KELM_CLASS(TGraphicsObject, TPersistent)
public:
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

protected:
  virtual void Changed();

private:
  TNotifyEvent FOnChange;
};

// Character heights: Height < 0 is the character height in pixels, Height > 0 the cell
// height; Size is points at PixelsPerInch (96 on the screen, the device's on a printer).
class TFont : public TGraphicsObject {
  KELM_CLASS(TFont, TGraphicsObject)
  template <class B> static void Published(B& b) {
    b.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Type("TFontCharset");
    b.Prop("Color", &TFont::Color, &TFont::SetColor).Type("TColor");
    b.Prop("Height", &TFont::Height, &TFont::SetHeight);
    b.Prop("Name", &TFont::Name, &TFont::SetName).Type("TFontName");
    b.Prop("Orientation", &TFont::Orientation, &TFont::SetOrientation).Default(0);
    b.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    b.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    b.Prop("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
  }
public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  int Height() const { return FHeight; }
  void SetHeight(int v);
  const TFontName& Name() const { return FName; }
  void SetName(const TFontName& v);
  // Tenths of a degree, counter-clockwise about the text's reference point.
  int Orientation() const { return FOrientation; }
  void SetOrientation(int v);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch v);
  int Size() const;
  void SetSize(int v);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles v);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int v) { FPixelsPerInch = v; }

  // The font object of the layer, made on first use after a change.
  HFONT Handle();
  // Takes name, height, style, charset, pitch and orientation from a font object.
  void SetHandle(HFONT v);

private:
  void FontChanged();
  void ReleaseHandle();
  TFontCharset FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  int FHeight = -11;
  TFontName FName = "MS Sans Serif";
  int FOrientation = 0;
  TFontPitch FPitch = fpDefault;
  TFontStyles FStyle;
  int FPixelsPerInch = 96;
  HFONT FHandle = nullptr;
  bool FAdopted = false;  // FHandle came through SetHandle
};

class TPen : public TGraphicsObject {
  KELM_CLASS(TPen, TGraphicsObject)
  template <class B> static void Published(B& b) {
    b.Prop("Color", &TPen::Color, &TPen::SetColor).Type("TColor").Default(clBlack);
    b.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    b.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    b.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
  }
public:
  TPen() = default;
  ~TPen() override;
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode v);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle v);
  int Width() const { return FWidth; }
  void SetWidth(int v);

  HPEN Handle();
  void SetHandle(HPEN v);

private:
  void PenChanged();
  TColor FColor = clBlack;
  TPenMode FMode = pmCopy;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
  HPEN FHandle = nullptr;
};

class TBitmap;

class TBrush : public TGraphicsObject {
  KELM_CLASS(TBrush, TGraphicsObject)
  template <class B> static void Published(B& b) {
    b.Prop("Color", &TBrush::Color, &TBrush::SetColor).Type("TColor").Default(clWhite);
    b.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
  }
public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle v);
  // A pattern tiled from the canvas origin; the brush keeps its own copy.
  TBitmap* Bitmap() const { return FBitmap.get(); }
  void SetBitmap(TBitmap* v);

  HBRUSH Handle();
  void SetHandle(HBRUSH v);

private:
  void BrushChanged();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  std::unique_ptr<TBitmap> FBitmap;
  HBRUSH FHandle = nullptr;
};

// ================================================================ canvas

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

// ================================================================ pictures

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
