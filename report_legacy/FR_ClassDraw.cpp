// How views draw themselves: geometry scaled to the output, background and frames, band
// alignment, pictures, lines, and how bands, sub-reports and dialog controls look in the
// designer. Text layout is in FR_ClassText.cpp.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Utils.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "gui/WinControl.h"

#include <algorithm>
#include <cmath>

int frNear(double X) { return static_cast<int>(std::nearbyint(X)); }

namespace {

constexpr Word kRight = 1, kBottom = 2, kLeft = 4, kTop = 8;

bool Designing() { return frState().EngineMode == 0; }

}  // namespace

// ================================================================ geometry

void TfrView::StoreGeometry() {
  SavedGeometry = {Left, Top, Width, Height, GapX, GapY, FrameWidth};
  if (Designing()) {
    OutputScaleX = OutputScaleY = 1;
    OutputOffsetX = OutputOffsetY = 0;
  }
  const double sx = OutputScaleX, sy = OutputScaleY;
  Left = frNear(Left * sx) + OutputOffsetX;
  Top = frNear(Top * sy) + OutputOffsetY;
  Width = frNear(Width * sx);
  Height = frNear(Height * sy);
  const double w = SavedGeometry.FrameWidth;
  const int h1 = frNear(sx * w / 2), e1 = frNear((sx * w - 1) / 2);
  const int h2 = frNear(sy * w / 2), e2 = frNear((sy * w - 1) / 2);
  FrameWidth = static_cast<float>(w * sx);
  GapX = frNear(sx * GapX) + h1;
  GapY = frNear(sy * GapY) + h2 / 2;
  const int r = ScaledRight(), b = ScaledBottom();
  PaintRect = {FrameTyp & kLeft ? Left + e1 : Left, FrameTyp & kTop ? Top + e2 : Top, r + 1, b + 1};
}

int TfrView::ScaledRight() const {
  const TfrSavedGeometry& g = SavedGeometry;
  int r = frNear((g.Left + g.Width) * OutputScaleX + OutputOffsetX);
  if (FrameTyp & kRight) r -= frNear(OutputScaleX * g.FrameWidth / 2);
  return r;
}

int TfrView::ScaledBottom() const {
  const TfrSavedGeometry& g = SavedGeometry;
  int b = frNear((g.Top + g.Height) * OutputScaleY + OutputOffsetY);
  if (FrameTyp & kBottom) b -= frNear(OutputScaleY * g.FrameWidth / 2);
  return b;
}

void TfrView::RestoreGeometry() {
  Left = SavedGeometry.Left;
  Top = SavedGeometry.Top;
  Width = SavedGeometry.Width;
  Height = SavedGeometry.Height;
  GapX = SavedGeometry.GapX;
  GapY = SavedGeometry.GapY;
  FrameWidth = SavedGeometry.FrameWidth;
}

// ================================================================ background and frame

void TfrView::PaintBackground() {
  if (frState().SuppressDrawing || !DrawCanvas) return;
  TCanvas* c = DrawCanvas;
  if (!Designing() && FillColor == clNone) return;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FillColor == clNone ? clWhite : FillColor);
  SetBkMode(c->Handle(), OPAQUE);
  c->FillRect(Designing() ? PaintRect : TRect{Left, Top, ScaledRight(), ScaledBottom()});
}

void TfrView::FrameLine(int X1, int Y1, int X2, int Y2) {
  TCanvas* c = DrawCanvas;
  TPen* pen = c->Pen();
  const int w = frNear(FrameWidth);
  const bool vertical = X1 == X2;
  if (FrameStyle >= 1 && FrameStyle <= 4) {
    // A wide dashed pen draws solid, so a dashed frame is as many one-pixel dashed lines as
    // it is wide; the gaps show the fill.
    const int saved = pen->Width();
    pen->SetWidth(1);
    if (FillColor != clNone) {
      SetBkMode(c->Handle(), OPAQUE);
      SetBkColor(c->Handle(), ColorToRGB(FillColor));
    }
    for (int k = -(w / 2); k < w - w / 2; ++k) {
      if (vertical) {
        c->MoveTo(X1 + k, Y1);
        c->LineTo(X2 + k, Y2);
      } else {
        c->MoveTo(X1, Y1 + k);
        c->LineTo(X2, Y2 + k);
      }
    }
    pen->SetWidth(saved);
  } else if (FrameStyle == 5) {
    for (int side : {-1, 1}) {
      const int d = side * w;
      c->MoveTo(vertical ? X1 + d : X1, vertical ? Y1 : Y1 + d);
      c->LineTo(vertical ? X2 + d : X2, vertical ? Y2 : Y2 + d);
    }
    if (FillColor != clNone) {
      const TColor saved = pen->Color();
      pen->SetColor(FillColor);
      c->MoveTo(X1, Y1);
      c->LineTo(X2, Y2);
      pen->SetColor(saved);
    }
  } else {
    c->MoveTo(X1, Y1);
    c->LineTo(X2, Y2);
  }
}

void TfrView::PaintFrame() {
  if (frState().SuppressDrawing || !DrawCanvas) return;
  if (!Designing() && (FrameTyp & 15) == 0) return;
  TCanvas* c = DrawCanvas;
  c->Brush()->SetStyle(bsSolid);
  c->Pen()->SetStyle(psSolid);
  if (Designing() && Width > 0 && Height > 0) {
    // Corner marks: 3 or 4 pixels along both edges from each corner.
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(1);
    const int l = Left, t = Top, r = Left + Width, b = Top + Height;
    auto stroke = [c](int x1, int y1, int x2, int y2) {
      c->MoveTo(x1, y1);
      c->LineTo(x2, y2);
    };
    stroke(l, t, l, t + 3);
    stroke(l, t, l + 4, t);
    stroke(l, b, l, b - 3);
    stroke(l, b, l + 4, b);
    stroke(r, t, r - 3, t);
    stroke(r, t, r, t + 4);
    stroke(r, b, r - 3, b);
    stroke(r, b, r, b - 4);
  }
  c->Pen()->SetColor(FrameColor);
  c->Pen()->SetWidth(std::max(1, frNear(FrameWidth)));
  if (FrameStyle != 5 && FrameStyle <= 4) c->Pen()->SetStyle(static_cast<TPenStyle>(FrameStyle));
  const int r = ScaledRight(), b = ScaledBottom();
  if (FrameTyp & kRight) FrameLine(r, Top, r, b);
  if (FrameTyp & kLeft) FrameLine(Left, Top, Left, b);
  if (FrameTyp & kBottom) FrameLine(Left, b, r, b);
  if (FrameTyp & kTop) FrameLine(Left, Top, r, Top);
  c->Pen()->SetStyle(psSolid);
}

HRGN TfrView::CreateClipRegion(bool Widened) {
  const double w = FrameWidth;
  int a, b;
  if (FrameStyle == 5) {
    b = frNear(1.5 * w);
    a = frNear(w + (w - 1) / 2);
  } else {
    b = frNear(w / 2);
    a = frNear((w - 1) / 2);
  }
  TRect r{FrameTyp & kLeft ? Left - b : Left, FrameTyp & kTop ? Top - b : Top,
          Left + Width + 1 + (FrameTyp & kRight ? a : 0), Top + Height + 1 + (FrameTyp & kBottom ? a : 0)};
  if (Widened) r = {r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10};
  return CreateRectRgnIndirect(r);
}

HRGN TfrLineView::CreateClipRegion(bool Widened) {
  const double w = FrameWidth;
  int a, b;
  if (FrameStyle == 5) {
    b = static_cast<int>(w * 1.5);
    a = static_cast<int>(static_cast<int>((w - 1) / 2) + w);
  } else {
    b = static_cast<int>(w * 0.5);
    a = static_cast<int>((w - 1) / 2);
  }
  TRect r = FrameTyp == 4 ? TRect{Left - b, Top, Left + Width + 1 + a, Top + Height + 1}
                          : TRect{Left, Top - b, Left + Width + 1, Top + Height + 1 + a};
  if (Widened) r = {r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10};
  return CreateRectRgnIndirect(r);
}

// ================================================================ band alignment

namespace {

bool IsCrossBand(int t) { return t >= btCrossHeader && t <= btCrossFooter; }

// Left written with four digits: the order the neighbours are compared in.
String LeftKey(int Left) { return Format("%.4d", {Left}); }

// The band view of the page whose rectangle holds the point (the last in page order).
TfrBandView* BandUnder(TfrPage* Page, int X, int Y) {
  TfrBandView* found = nullptr;
  for (const auto& o : Page->Objects)
    if (auto* b = dynamic_cast<TfrBandView*>(o.get()))
      if (X >= b->Left && X < b->Left + b->Width + 1 && Y >= b->Top && Y < b->Top + b->Height + 1) found = b;
  return found;
}

}  // namespace

void TfrView::ApplyBandAlign() {
  TfrPage* page = frState().CurrentPage;
  if (!page || BandAlign == 0) return;
  const int lm = page->LeftMarginPx(), rm = page->RightMarginPx();
  TfrBand* printing = Designing() ? nullptr : page->PrintingBand;
  // Objects on this object's row: at run time an object of another band than the printing
  // one is compared with the Top this object has inside its band.
  auto onRow = [&](TfrView* o) {
    if (!printing || o->OwnerBand == printing) return o->Top == Top;
    if (o->Top == Top - printing->BandTop) return true;
    return (printing->BandFlags & 1) && o->Top == Top;
  };
  TfrView *leftN = nullptr, *rightN = nullptr;
  const String own = LeftKey(Left);
  for (const auto& po : page->Objects) {
    TfrView* o = po.get();
    if (o == this || dynamic_cast<TfrBandView*>(o) || !onRow(o)) continue;
    const String key = LeftKey(o->Left);
    if (o->BandAlign == 1 && key < own && (!leftN || key > LeftKey(leftN->Left))) leftN = o;
    if (o->BandAlign == 2 && key > own && (!rightN || key < LeftKey(rightN->Left))) rightN = o;
  }
  switch (BandAlign) {
    case 1: Left = leftN ? leftN->Left + leftN->Width : lm; break;
    case 2: Left = rightN ? rightN->Left - Width - 1 : rm - Width; break;
    case 3: Left = lm + (rm - lm - Width) / 2; break;
    case 4:
      if (Designing()) {
        TfrBandView* band = BandUnder(page, Left, Top);
        if (band && IsCrossBand(band->BandType())) {
          Left = band->Left;
          Width = band->Width;
        } else {
          Left = lm;
          Width = std::max(0, rm - lm);
        }
      } else if (!page->PrintingBand) {
        Left = lm;
        Width = std::max(0, rm - lm - 1);
      }
      break;
    case 5:
    case 6:
      if (Designing())
        if (TfrBandView* band = BandUnder(page, Left, Top))
          Top = BandAlign == 5 ? band->Top + band->Height - Height : band->Top;
      break;
    case 7:
      Left = leftN ? leftN->Left + leftN->Width : lm;
      // A neighbour past the margin would give a negative width: the object then has none.
      Width = std::max(0, rightN ? rightN->Left - Left : rm - Left);
      break;
    default: break;
  }
}

void TfrView::BeginDraw(TCanvas* Canvas) {
  DrawCanvas = Canvas;
  frState().CurrentView = this;
  ApplyBandAlign();
}

void TfrView::DrawOnCanvas(TCanvas* Canvas) {
  BeginDraw(Canvas);
  StoreGeometry();
  PaintBackground();
  PaintFrame();
  RestoreGeometry();
}

// ================================================================ pictures

namespace {

bool IsIcon(TGraphic* g) { return dynamic_cast<TIcon*>(g) != nullptr; }

// Printers get bitmaps and JPEG pictures as 24-bit copies; metafiles are drawn as they are.
void DrawPicture(TCanvas* c, const TRect& r, TGraphic* g, bool toPrinter) {
  if (!toPrinter) {
    c->StretchDraw(r, g);
    return;
  }
  if (IsIcon(g)) return;
  if (dynamic_cast<TBitmap*>(g) || dynamic_cast<TJPEGImage*>(g)) {
    TBitmap copy;
    copy.SetPixelFormat(pf24bit);
    copy.SetSize(g->Width(), g->Height());
    copy.Canvas()->Draw(0, 0, g);
    c->StretchDraw(r, &copy);
    return;
  }
  c->StretchDraw(r, g);
}

}  // namespace

void TfrPictureView::DrawOnCanvas(TCanvas* Canvas) {
  BeginDraw(Canvas);
  StoreGeometry();
  PaintBackground();
  TGraphic* g = Picture->Graphic();
  const bool stretched = Flags & 1, center = Flags & 2, keepAspect = Flags & 4;
  if (g && !g->Empty() && g->Width() > 0 && g->Height() > 0) {
    TRect r = PaintRect;
    const int pw = g->Width(), ph = g->Height();
    if (stretched) {
      if (keepAspect) {
        const double kx = double(Width) / pw, ky = double(Height) / ph;
        const int w = r.Right - r.Left, h = r.Bottom - r.Top;
        if (kx >= ky) r.Right = r.Left + frNear(pw * ky);
        else r.Bottom = r.Top + frNear(ph * kx);
        if (center) {
          const int dx = (w - (r.Right - r.Left)) / 2, dy = (h - (r.Bottom - r.Top)) / 2;
          r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
        }
      }
    } else {
      const int w = frNear(pw * OutputScaleX), h = frNear(ph * OutputScaleY);
      if (center) {
        r.Top += (PaintRect.Bottom - PaintRect.Top - h) / 2;
        r.Left += (PaintRect.Right - PaintRect.Left - w) / 2;
      }
      r.Right = r.Left + w;
      r.Bottom = r.Top + h;
    }
    DrawPicture(Canvas, r, g, ToPrinter);
  } else if (Designing() && !frState().SuppressDrawing) {
    Canvas->Font()->SetName("Arial");
    Canvas->Font()->SetSize(8);
    Canvas->Font()->SetStyle({});
    Canvas->Font()->SetColor(clBlack);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextRect(PaintRect, Left + 20, Top + 3, LocaleText(55228));
    if (std::unique_ptr<TBitmap> empty{LocaleInstance()->LoadBitmap("FR_EMPTY")}) Canvas->Draw(Left + 1, Top + 2, empty.get());
    Canvas->Brush()->SetStyle(bsSolid);
  }
  PaintFrame();
  RestoreGeometry();
}

// ================================================================ lines

void TfrLineView::DrawOnCanvas(TCanvas* Canvas) {
  BeginDraw(Canvas);
  // A line dragged wider than tall is horizontal, whatever its frame said.
  if (Height < Width) {
    Height = 0;
    FrameTyp = kTop;
  } else {
    Width = 0;
    FrameTyp = kLeft;
  }
  StoreGeometry();
  PaintFrame();
  RestoreGeometry();
}

// ================================================================ designer looks of bands and sub-reports

namespace {

void CaptionFont(TCanvas* c) {
  c->Font()->SetName("Arial");
  c->Font()->SetSize(8);
  c->Font()->SetStyle({});
  c->Font()->SetColor(clBlack);
  c->Font()->SetCharset(static_cast<TFontCharset>(frState().DefaultCharset));
}

String BandCaption(int Type) {
  const auto& names = TfrGlobals::Instance()->BandKindNames;
  return Type >= 0 && Type < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(Type)] : String();
}

}  // namespace

int TfrBandView::BandLabelWidth() {
  TCanvas* c = TfrGlobals::Instance()->WorkCanvas();
  CaptionFont(c);
  return std::max(100, c->TextWidth(BandCaption(BandType())) + 8);
}

HRGN TfrBandView::CreateClipRegion(bool Widened) {
  TRect r{Left, Top, Left + Width + 1, Top + Height + 1};
  if (Widened) r = {r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10};
  HRGN rgn = CreateRectRgnIndirect(r);
  const int tab = BandLabelWidth();
  const TRect t = IsCrossBand(BandType()) ? TRect{Left - 18, Top, Left, Top + tab} : TRect{Left, Top - 18, Left + tab, Top};
  HRGN tabRgn = CreateRectRgnIndirect(t);
  CombineRgn(rgn, rgn, tabRgn, RGN_OR);
  DeleteObject(tabRgn);
  return rgn;
}

void TfrBandView::DrawOnCanvas(TCanvas* Canvas) {
  FrameWidth = 1;
  TfrPage* page = OwnerPage ? OwnerPage : frState().CurrentPage;
  const bool cross = IsCrossBand(BandType());
  if (page) {
    if (cross) {
      Top = 0;
      Height = page->PrinterInfo.PageHeight;
    } else {
      Left = 0;
      Width = page->PrinterInfo.PageWidth;
    }
  }
  BeginDraw(Canvas);
  StoreGeometry();
  if (!frState().SuppressDrawing) {
    TCanvas* c = Canvas;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetBitmap(TfrGlobals::Instance()->CheckerBitmap.get());
    c->FillRect(PaintRect);
    c->Brush()->SetBitmap(nullptr);
    CaptionFont(c);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clBtnFace);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(Left, Top, Left + Width + 1, Top + Height + 1);
    if (Columns > 1 && page) {
      c->Pen()->SetColor(clBlack);
      c->Pen()->SetStyle(psDot);
      for (int k = 0; k < Columns; ++k) {
        const int x = page->LeftMarginPx() + k * (ColumnWidth + ColumnGap);
        c->Rectangle(x, Top, x + ColumnWidth, Top + Height + 1);
      }
      c->Pen()->SetStyle(psSolid);
    }
    const String caption = BandCaption(BandType());
    const int tab = BandLabelWidth();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    if (cross) {
      c->FillRect({Left - 18, Top, Left, Top + tab});
      c->Pen()->SetColor(clBtnHighlight);
      c->MoveTo(Left - 18, Top);
      c->LineTo(Left - 18, Top + tab);
      c->Pen()->SetColor(clBtnShadow);
      c->MoveTo(Left - 18, Top + tab - 2);
      c->LineTo(Left, Top + tab - 2);
      c->Pen()->SetColor(clBlack);
      c->MoveTo(Left - 18, Top + tab - 1);
      c->LineTo(Left, Top + tab - 1);
      c->Brush()->SetStyle(bsClear);
      c->Font()->SetOrientation(900);
      c->TextOut(Left - 15, Top + c->TextWidth(caption) + 4, caption);
      c->Font()->SetOrientation(0);
    } else {
      c->FillRect({Left, Top - 18, Left + tab, Top});
      c->Pen()->SetColor(clBtnShadow);
      c->MoveTo(Left + tab - 2, Top - 18);
      c->LineTo(Left + tab - 2, Top);
      c->Pen()->SetColor(clBlack);
      c->MoveTo(Left + tab - 1, Top - 18);
      c->LineTo(Left + tab - 1, Top);
      c->Brush()->SetStyle(bsClear);
      c->TextOut(Left + 4, Top - 17, caption);
    }
    c->Brush()->SetStyle(bsSolid);
  }
  RestoreGeometry();
}

void TfrSubReportView::DrawOnCanvas(TCanvas* Canvas) {
  FrameWidth = 1;
  BeginDraw(Canvas);
  StoreGeometry();
  if (!frState().SuppressDrawing) {
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Pen()->SetWidth(1);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Rectangle(Left, Top, Left + Width + 1, Top + Height + 1);
    CaptionFont(Canvas);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->TextRect(PaintRect, Left + 2, Top + 2, Name);
    Canvas->Brush()->SetStyle(bsSolid);
  }
  RestoreGeometry();
}

// ================================================================ dialog controls

void TfrControl::DrawOnCanvas(TCanvas* Canvas) {
  BeginDraw(Canvas);
  if (HostedControl) HostedControl->SetBounds(HostedControl->Left(), HostedControl->Top(), Width, Height);
  StoreGeometry();
  PaintControl();
  RestoreGeometry();
}

void TfrControl::PaintControl() {
  if (!DrawCanvas || !HostedControl || frState().SuppressDrawing) return;
  TBitmap bmp;
  bmp.SetSize(Width + 1, Height + 1);
  bmp.Canvas()->Brush()->SetColor(clBtnFace);
  bmp.Canvas()->FillRect({0, 0, Width + 1, Height + 1});
  TForm* form = TfrGlobals::Instance()->DialogForm();
  if (HostedControl->Parent() != form && !HostedControl->Parent()) HostedControl->SetParent(form);
  HostedControl->SetBounds(0, 0, Width, Height);
  if (auto* w = dynamic_cast<TWinControl*>(HostedControl)) {
    w->PaintTo(bmp.Canvas(), 0, 0);
  } else {
    HDC dc = bmp.Canvas()->Handle();
    HostedControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    HostedControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  DrawCanvas->Draw(Left, Top, &bmp);
}

void TfrControl::PlaceOnForm(TWinControl* Form) {
  if (!HostedControl) return;
  HostedControl->SetParent(Form);
  HostedControl->SetBounds(Left, Top, Width, Height);
}

// ================================================================ page margins

int TfrPage::LeftMarginPx() const {
  if (!MarginsOn) return 0;
  return LeftMargin ? LeftMargin : PrinterInfo.OffsetX;
}

int TfrPage::TopMarginPx() const {
  if (!MarginsOn) return 0;
  return TopMargin ? TopMargin : PrinterInfo.OffsetY;
}

int TfrPage::RightMarginPx() const {
  const int w = PrinterInfo.PageWidth;
  if (!MarginsOn) return w;
  return RightMargin ? w - RightMargin : PrinterInfo.OffsetX + PrinterInfo.PrintableWidth;
}

int TfrPage::BottomMarginPx() const {
  const int h = PrinterInfo.PageHeight;
  int b = !MarginsOn ? h : BottomMargin ? h - BottomMargin : PrinterInfo.OffsetY + PrinterInfo.PrintableHeight;
  // While the page runs, its page footer takes the bottom.
  if (frState().EngineMode == 1 && Prepared && !BandTable.empty() && BandTable[btPageFooter]->Exists())
    b -= BandTable[btPageFooter]->BandHeight;
  return b;
}
