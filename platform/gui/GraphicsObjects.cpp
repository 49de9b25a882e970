// Fonts, pens and brushes: published state, change notification, and the drawing objects
// made from them on demand.
#include "gui/GraphicsObjects.h"

#include "gui/GdiDC.h"
#include "gui/Pictures.h"
#include "core/ClassBuilder.h"
#include "core/SysUtils.h"

KELM_PUBLISH(TGraphicsObject) {}

void TGraphicsObject::Changed() { FOnChange(this); }

// ================================================================ TFont

KELM_PUBLISH(TFont) { Published(b); }

TFont::TFont() = default;

TFont::~TFont() { ReleaseHandle(); }

void TFont::ReleaseHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TFont::FontChanged() {
  ReleaseHandle();
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    // The height in pixels is what carries over between devices of different resolutions.
    int height = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight : -MulDiv(f->Size(), FPixelsPerInch, 72);
    // Painters assign a cell's font to the canvas for every cell: a font object that draws
    // the same (the colour is not part of it) is kept rather than made again.
    bool sameObject = !FAdopted && FCharset == f->FCharset && FHeight == height && FOrientation == f->FOrientation &&
                      FPitch == f->FPitch && FStyle == f->FStyle && FName == f->FName;
    FCharset = f->FCharset;
    FColor = f->FColor;
    FHeight = height;
    FName = f->FName;
    FOrientation = f->FOrientation;
    FPitch = f->FPitch;
    FStyle = f->FStyle;
    if (!sameObject) ReleaseHandle();
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TFont::SetCharset(TFontCharset v) {
  if (v == FCharset) return;
  FCharset = v;
  FontChanged();
}

void TFont::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  Changed();  // the colour is the canvas's text colour, not part of the font object
}

void TFont::SetHeight(int v) {
  // Setting the height again also drops a font object adopted through SetHandle, so callers
  // that borrowed the font for a rotated one get the plain font back.
  if (v == FHeight && !FAdopted) return;
  FHeight = v;
  FontChanged();
}

void TFont::SetName(const TFontName& v) {
  if (v == FName || v.empty()) return;
  FName = v;
  FontChanged();
}

void TFont::SetOrientation(int v) {
  if (v == FOrientation) return;
  FOrientation = v;
  FontChanged();
}

void TFont::SetPitch(TFontPitch v) {
  if (v == FPitch) return;
  FPitch = v;
  FontChanged();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles v) {
  if (v == FStyle) return;
  FStyle = v;
  FontChanged();
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONT lf;
    lf.lfHeight = FHeight;
    lf.lfEscapement = lf.lfOrientation = FOrientation;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic);
    lf.lfUnderline = FStyle.Contains(fsUnderline);
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
    lf.lfCharSet = FCharset;
    lf.lfPitchAndFamily = Byte(FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH);
    lf.lfFaceName = FName;
    FHandle = CreateFontIndirect(lf);
    FAdopted = false;
  }
  return FHandle;
}

void TFont::SetHandle(HFONT v) {
  LOGFONT lf;
  if (!v || !GetObject(v, &lf)) return;
  ReleaseHandle();
  FHandle = v;
  FAdopted = true;
  // The font takes the object's description, except its rotation, which stays with the object.
  FHeight = lf.lfHeight;
  FName = lf.lfFaceName;
  FCharset = lf.lfCharSet;
  FPitch = (lf.lfPitchAndFamily & 3) == FIXED_PITCH ? fpFixed : (lf.lfPitchAndFamily & 3) == VARIABLE_PITCH ? fpVariable : fpDefault;
  FStyle = {};
  if (lf.lfWeight >= FW_SEMIBOLD) FStyle += fsBold;
  if (lf.lfItalic) FStyle += fsItalic;
  if (lf.lfUnderline) FStyle += fsUnderline;
  if (lf.lfStrikeOut) FStyle += fsStrikeOut;
  Changed();
}

// ================================================================ TPen

KELM_PUBLISH(TPen) { Published(b); }

TPen::~TPen() {
  if (FHandle) DeleteObject(FHandle);
}

void TPen::PenChanged() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FColor = p->FColor;
    FMode = p->FMode;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    PenChanged();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor v) {
  if (v == FColor) return;
  FColor = v;
  PenChanged();
}

void TPen::SetMode(TPenMode v) {
  if (v == FMode) return;
  FMode = v;
  Changed();  // the mix mode belongs to the canvas, not to the pen object
}

void TPen::SetStyle(TPenStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  PenChanged();
}

void TPen::SetWidth(int v) {
  if (v == FWidth || v < 0) return;
  FWidth = v;
  PenChanged();
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
  }
  return FHandle;
}

void TPen::SetHandle(HPEN v) {
  LOGPEN lp;
  if (!v || !GetObject(v, &lp)) return;
  if (FHandle) DeleteObject(FHandle);
  FHandle = v;
  FColor = TColor(lp.lopnColor);
  FWidth = lp.lopnWidth.X;
  FStyle = lp.lopnStyle <= PS_INSIDEFRAME ? TPenStyle(lp.lopnStyle) : psSolid;
  Changed();
}

// ================================================================ TBrush

KELM_PUBLISH(TBrush) { Published(b); }

TBrush::~TBrush() {
  if (FHandle) DeleteObject(FHandle);
}

void TBrush::BrushChanged() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    if (b->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(b->FBitmap.get());
    } else {
      FBitmap.reset();
    }
    BrushChanged();
    return;
  }
  TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor v) {
  if (v == FColor && FStyle != bsClear) return;
  FColor = v;
  // Giving a clear brush a colour makes it solid again.
  if (FStyle == bsClear) FStyle = bsSolid;
  BrushChanged();
}

void TBrush::SetStyle(TBrushStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  BrushChanged();
}

void TBrush::SetBitmap(TBitmap* v) {
  if (v && !v->Empty()) {
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(v);
  } else {
    FBitmap.reset();
  }
  BrushChanged();
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap) FHandle = CreatePatternBrush(FBitmap->Handle());
    else if (FStyle == bsSolid) FHandle = CreateSolidBrush(ColorToRGB(FColor));
    else if (FStyle == bsClear) FHandle = CreateBrushIndirect(LOGBRUSH{BS_NULL, 0, 0});
    else FHandle = CreateHatchBrush(int(FStyle) - 2, ColorToRGB(FColor));
  }
  return FHandle;
}

void TBrush::SetHandle(HBRUSH v) {
  LOGBRUSH lb;
  if (!v || !GetObject(v, &lb)) return;
  if (FHandle) DeleteObject(FHandle);
  FHandle = v;
  FBitmap.reset();
  FColor = TColor(lb.lbColor);
  FStyle = lb.lbStyle == BS_NULL ? bsClear : lb.lbStyle == BS_HATCHED ? TBrushStyle(lb.lbHatch + 2) : bsSolid;
  Changed();
}
