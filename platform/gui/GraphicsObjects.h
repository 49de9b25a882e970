#pragma once
// The drawing objects of a canvas: TGraphicsObject, their base, and TFont, TPen and TBrush,
// each made into a device-context object on demand.
#include "core/Events.h"
#include "core/Persistent.h"
#include "gui/Colors.h"
#include "gui/GdiTypes.h"

#include <memory>

class TBitmap;

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
