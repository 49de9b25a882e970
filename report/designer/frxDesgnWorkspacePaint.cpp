// Painting of the design surface: background and grid, the objects with their band frames,
// caption strips, corner and event marks, and the selection marks.
#include "report/designer/frxDesgnWorkspace.h"

#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "report/frxView.h"

#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"

#include <algorithm>
#include <memory>
#include <cmath>

namespace {
int R(Extended v) { return static_cast<int>(Round(v)); }

// The marker before a data band's data set, drawn on the strip's colour.
TBitmap* BandMarker() {
  static std::unique_ptr<TBitmap> marker = [] {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromResourceName("frxBAND");
    b->SetTransparent(true);
    return b;
  }();
  return marker.get();
}

bool HasScriptEvent(TfrxReportComponent* C) {
  if (!C->OnBeforePrint().empty() || !C->OnAfterPrint().empty() || !C->OnAfterData().empty() ||
      !C->OnPreviewClick().empty())
    return true;
  auto* b = dynamic_cast<TfrxBand*>(C);
  return b && !b->OnAfterCalcHeight().empty();
}
}  // namespace

void TfrxDesignerWorkspace::Paint() {
  // Through an off-screen bitmap of the damaged area, so nothing flickers.
  TRect clip = Canvas()->ClipRect();
  if (clip.Right <= clip.Left || clip.Bottom <= clip.Top) clip = ClientRect();
  TBitmap bmp;
  bmp.SetSize(clip.Right - clip.Left, clip.Bottom - clip.Top);
  TCanvas* c = bmp.Canvas();
  SetWindowOrgEx(c->Handle(), clip.Left, clip.Top, nullptr);
  PaintTo(c, clip);
  SetWindowOrgEx(c->Handle(), 0, 0, nullptr);
  Canvas()->Draw(clip.Left, clip.Top, &bmp);
}

void TfrxDesignerWorkspace::PaintTo(TCanvas* C, const TRect& Area) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(FPageColor);
  C->FillRect(ClientRect());
  if (FShowGrid) DrawGrid(C, Area);
  if (FLocked) return;
  if (auto* rp = dynamic_cast<TfrxReportPage*>(FPage))
    rp->PaintBackPicture(C, FScale, FScale, -FMargins.Left * FScale, -FMargins.Top * FScale);
  DrawObjects(C);
}

void TfrxDesignerWorkspace::DrawGrid(TCanvas* C, const TRect& Area) {
  int w = Width(), h = Height();
  if (FGridType == gkCm || FGridType == gkInch) {
    TColor base = FGridLCD ? 0xE2E2E2 : 0xE8E8E8;
    Extended step = (FGridType == gkCm ? frx_units::PixPerMM : 9.6) * FScale;
    int far = std::max(w, h);
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    for (int k = 0; k * step < far; ++k) {
      if (FGridType == gkCm && k % 5 != 0) continue;
      C->Pen()->SetColor(k % 10 == 0 ? base : base + 0x101010);
      int at = R(k * step);
      C->MoveTo(at, 0);
      C->LineTo(at, h);
      C->MoveTo(0, at);
      C->LineTo(w, at);
    }
    return;
  }
  Extended sx = FGridX * FScale, sy = FGridY * FScale;
  if (sx <= 2 || sy <= 2) return;
  // One prepared strip per grid row instead of a pixel per dot.
  TBitmap strip;
  strip.SetSize(w, 1);
  TCanvas* s = strip.Canvas();
  s->Brush()->SetColor(FPageColor);
  s->FillRect(TRect{0, 0, w, 1});
  TColor dot = FGridType == gkDialog ? clBlack : TColor(0x808080);
  for (int k = 0; k * sx < w; ++k) s->SetPixels(R(k * sx), 0, dot);
  for (int k = 0; k * sy < h; ++k) {
    int y = R(k * sy);
    if (y < Area.Top || y >= Area.Bottom) continue;
    C->Draw(0, y, &strip);
  }
}

void TfrxDesignerWorkspace::DrawObjects(TCanvas* C) {
  if (FPage && !FPage->IsDialogPage()) FPage->ArrangeAlignedChildren();
  for (TfrxComponent* o : *FObjects) {
    auto* rc = dynamic_cast<TfrxReportComponent*>(o);
    if (!rc) continue;
    rc->SetIsDesigning(true);
    rc->DrawOnCanvas(C, FScale, FScale, 0, 0);
    if (auto* b = dynamic_cast<TfrxBand*>(rc)) {
      DrawBand(C, b);
    } else if (auto* v = dynamic_cast<TfrxView*>(rc); v && FShowEdges && !dynamic_cast<TfrxCustomLineView*>(v)) {
      TfrxFrameTypes all{ftLeft, ftRight, ftTop, ftBottom};
      if (v->Frame()->Typ() != all) {
        // Corner marks, 3 and 4 document pixels long.
        int l = R(v->AbsLeft() * FScale), t = R(v->AbsTop() * FScale);
        int r = R((v->AbsLeft() + v->Width()) * FScale), btm = R((v->AbsTop() + v->Height()) * FScale);
        int a = R(3 * FScale), b4 = R(4 * FScale);
        C->Pen()->SetColor(clBlack);
        C->Pen()->SetStyle(psSolid);
        const int marks[4][6] = {{l, t + b4, l, t, l + b4, t}, {r - a, t, r, t, r, t + b4},
                                 {l, btm - a, l, btm, l + b4, btm}, {r - a, btm, r, btm, r, btm - a}};
        for (const auto& m : marks) {
          C->MoveTo(m[0], m[1]);
          C->LineTo(m[2], m[3]);
          C->LineTo(m[4], m[5]);
        }
      }
    }
    if (HasScriptEvent(rc)) {
      int x = R(rc->AbsLeft() * FScale) + 2, y = R(rc->AbsTop() * FScale) + 1;
      if (auto* b = dynamic_cast<TfrxBand*>(rc); b && !b->Vertical()) y = R((b->Top() - FCaptionHeight) * FScale) + 1;
      C->Pen()->SetColor(clRed);
      for (int i = 0; i < 4; ++i) {
        C->MoveTo(x + i, y + i);
        C->LineTo(x + i, y + 7 - i);
      }
    }
  }
  if (!FMouseDown) DrawSelection(C);
}

void TfrxDesignerWorkspace::DrawBand(TCanvas* C, TfrxBand* B) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetColor(0x808080);
  C->Brush()->SetStyle(bsClear);
  if (!B->Vertical()) {
    B->SetLeft(0);
    int top = R((B->Top() - FCaptionHeight) * FScale), right = R(B->Width() * FScale) + 1;
    C->Rectangle(0, top, right, R((B->Top() + B->Height()) * FScale) + 1);
    if (FShowBandCaptions) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(dynamic_cast<TfrxDataBand*>(B) ? TColor(0xEEBB00) : clBtnFace);
      C->FillRect(TRect{1, top + 1, right - 1, R(B->Top() * FScale)});
      C->Brush()->SetStyle(bsClear);
      C->Font()->SetName("Tahoma");
      C->Font()->SetSize(std::max(1, R(8 * FScale)));
      C->Font()->SetColor(clBlack);
      C->Font()->SetStyle({fsBold});
      String kind = B->KindName();
      C->TextOut(6, top + 2, kind);
      int x = 6 + C->TextWidth(kind);
      C->Font()->SetStyle({});
      C->TextOut(x, top + 2, ": " + B->Name());
      DrawBandExtras(C, B, top, right);
    }
    if (auto* d = dynamic_cast<TfrxDataBand*>(B); d && d->Columns() > 1) {
      // Each column's place, dotted.
      C->Pen()->SetColor(clBlack);
      C->Pen()->SetStyle(psDot);
      C->Brush()->SetStyle(bsClear);
      for (int i = 0; i < d->Columns(); ++i) {
        Extended l = i * (d->ColumnWidth() + d->ColumnGap());
        C->Rectangle(R(l * FScale), R(B->Top() * FScale), R((l + d->ColumnWidth()) * FScale) + 1,
                     R((B->Top() + B->Height()) * FScale) + 1);
      }
      C->Pen()->SetStyle(psSolid);
    }
  } else {
    B->SetTop(0);
    int left = R((B->Left() - FCaptionHeight) * FScale);
    C->Rectangle(left, 0, R((B->Left() + B->Width()) * FScale) + 1, R(B->Height() * FScale) + 1);
    if (FShowBandCaptions) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(dynamic_cast<TfrxDataBand*>(B) ? TColor(0xEEBB00) : clBtnFace);
      C->FillRect(TRect{left + 1, 1, R(B->Left() * FScale), R(B->Height() * FScale)});
      // Read upward: the text runs from the bottom to 4 pixels below the top.
      C->Brush()->SetStyle(bsClear);
      C->Font()->SetName("Tahoma");
      C->Font()->SetSize(std::max(1, R(8 * FScale)));
      C->Font()->SetColor(clBlack);
      C->Font()->SetStyle({fsBold});
      String kind = B->KindName() + ": ";
      int kindWidth = C->TextWidth(kind);
      C->Font()->SetStyle({});
      int nameWidth = C->TextWidth(B->Name());
      int y = 4 + kindWidth + nameWidth;
      C->Font()->SetOrientation(900);
      C->Font()->SetStyle({fsBold});
      C->TextOut(left + 2, y, kind);
      C->Font()->SetStyle({});
      C->TextOut(left + 2, y - kindWidth, B->Name());
      C->Font()->SetOrientation(0);
    }
  }
  C->Brush()->SetStyle(bsSolid);
}

// Right-aligned in a horizontal band's strip: a data band's data set (after the marker) or row
// count, a group header's condition.
void TfrxDesignerWorkspace::DrawBandExtras(TCanvas* C, TfrxBand* B, int Top, int Right) {
  String text;
  bool marker = false;
  if (auto* d = dynamic_cast<TfrxDataBand*>(B)) {
    TfrxReport* report = B->FindParentReport();
    if (d->DataSet() && report) {
      text = report->AliasOfDataSet(d->DataSet());
      marker = FScale > 0.7;
    } else if (d->RowCount() != 0) {
      text = IntToStr(d->RowCount());
    }
  } else if (auto* g = dynamic_cast<TfrxGroupHeader*>(B)) {
    text = g->Condition();
  }
  if (text.empty()) return;
  int x = Right - 4 - C->TextWidth(text);
  C->TextOut(x, Top + 2, text);
  if (marker) C->Draw(x - BandMarker()->Width() - 2, Top + 2, BandMarker());
}

void TfrxDesignerWorkspace::DrawSelection(TCanvas* C) {
  int n = SelectedCount();
  if (n == 0) return;
  int size = FScale < 0.7 ? 3 : FScale <= 1.7 ? 5 : 7;
  int half = size / 2;
  TfrxComponent* anchor = n > 1 ? GetAnchorObject() : nullptr;
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetColor(clWhite);
  C->Pen()->SetMode(pmXor);
  C->Brush()->SetStyle(bsClear);
  auto mark = [&](Extended x, Extended y, TColor color) {
    int cx = R(x * FScale), cy = R(y * FScale);
    C->Pen()->SetColor(color);
    C->Rectangle(cx - half, cy - half, cx - half + size, cy - half + size);
  };
  for (int i = 0; i < n; ++i) {
    TfrxComponent* o = (*FSelected)[static_cast<size_t>(i)];
    Extended l = o->AbsLeft(), t = o->AbsTop(), w = o->Width(), h = o->Height();
    bool line = dynamic_cast<TfrxCustomLineView*>(o) != nullptr;
    mark(l, t, clWhite);
    mark(l + w, t + h, o == anchor ? TColor(0x808000) : clWhite);
    if (!line) {
      mark(l + w, t, clWhite);
      mark(l, t + h, clWhite);
      if (n == 1) {
        mark(l + w / 2, t, clWhite);
        mark(l + w / 2, t + h, clWhite);
        mark(l, t + h / 2, clWhite);
        mark(l + w, t + h / 2, clWhite);
      }
    }
  }
  C->Pen()->SetMode(pmCopy);
  C->Brush()->SetStyle(bsSolid);
}

// The paper: its edge, a shadow line along the bottom and right, and the printable area
// dotted in silver.
void TMarginsPanel::Paint() {
  TCanvas* c = Canvas();
  int w = Width(), h = Height();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(TRect{0, 0, w, h});
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetColor(0x505050);
  c->Rectangle(0, 0, w - 1, h - 1);
  c->MoveTo(1, h - 1);
  c->LineTo(w - 1, h - 1);
  c->LineTo(w - 1, 0);
  c->SetPixels(0, h - 1, 0x808080);
  c->SetPixels(w - 1, 0, 0x808080);
  const TRect& m = FWorkspace->Margins();
  Extended s = FWorkspace->Scale();
  c->Pen()->SetColor(0xC0C0C0);
  c->Pen()->SetStyle(psDot);
  c->Rectangle(R(m.Left * s) - 1, R(m.Top * s) - 1, w - R(m.Right * s) + 1, h - R(m.Bottom * s) + 1);
  c->Pen()->SetStyle(psSolid);
  c->Brush()->SetStyle(bsSolid);
}
