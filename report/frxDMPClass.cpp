#include "report/frxDMPClass.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "report/frxDsgnIntf.h"
#include "report/frxRes.h"
#include "report/frxXML.h"
#include "report/frxKind.h"

#include <cmath>

KELM_PUBLISH(TfrxDMPMemoView) { Published(b); }
KELM_PUBLISH(TfrxDMPLineView) { Published(b); }
KELM_PUBLISH(TfrxDMPCommand) { Published(b); }
KELM_PUBLISH(TfrxDMPPage) { Published(b); }

namespace {

// Halves go to the even cell, as the grid's rounding has always done.
Extended RoundCells(Extended Value, Extended Cell) { return std::nearbyint(Value / Cell) * Cell; }
Extended TruncCells(Extended Value, Extended Cell) { return std::trunc(Value / Cell) * Cell; }

String TypeName(const char* Key, const char* Fallback) {
  String t = ReportResources()->TextOf(Key);
  return t == Key ? String(Fallback) : t;
}

// The object's page, when it is a dot-matrix page.
TfrxDMPPage* DMPPageOf(const TfrxComponent* Object) { return dynamic_cast<TfrxDMPPage*>(Object->Page()); }

}  // namespace

void ApplyDMPFont(TFont* Font, TfrxDMPFontStyles Styles) {
  // The change notification would make the object stop inheriting its font.
  TNotifyEvent saved = Font->OnChange();
  Font->SetOnChange(TNotifyEvent());
  TScopeExit back([&] { Font->SetOnChange(saved); });
  Font->SetName("Courier New");
  Font->SetSize(12);
  TFontStyles style;
  if (Styles.Contains(fsxBold)) style += fsBold;
  if (Styles.Contains(fsxItalic)) style += fsItalic;
  if (Styles.Contains(fsxUnderline)) style += fsUnderline;
  Font->SetStyle(style);
}

String FontStyleAttributeText(TfrxDMPFontStyles Styles) {
  return " FontStyle=\"" + IntToStr(Int64(Styles.Bits())) + "\"";
}

// ================================================================ text

TfrxDMPMemoView::TfrxDMPMemoView(TComponent* AOwner) : TfrxCustomMemoView(AOwner) { ApplyFixedFont(); }

void TfrxDMPMemoView::ApplyFixedFont() {
  ApplyDMPFont(Font(), FFontStyle);
  SetCharSpacing(0);
  SetLineSpacing(1);
  SetGapX(0);
  SetGapY(0);
}

void TfrxDMPMemoView::SetFontStyle(TfrxDMPFontStyles Value) {
  FFontStyle = Value;
  TfrxComponent::SetParentFont(false);
  ApplyFixedFont();
}

void TfrxDMPMemoView::SetLeft(Extended Value) {
  TfrxCustomMemoView::SetLeft(Align() == baRight ? TruncCells(Value, fr1CharX) : RoundCells(Value, fr1CharX));
}
void TfrxDMPMemoView::SetTop(Extended Value) { TfrxCustomMemoView::SetTop(RoundCells(Value, fr1CharY)); }
void TfrxDMPMemoView::SetWidth(Extended Value) { TfrxCustomMemoView::SetWidth(RoundCells(Value, fr1CharX)); }
void TfrxDMPMemoView::SetHeight(Extended Value) { TfrxCustomMemoView::SetHeight(RoundCells(Value, fr1CharY)); }

void TfrxDMPMemoView::SetParentFont(bool Value) {
  TfrxCustomMemoView::SetParentFont(Value);
  if (!Value) return;
  if (TfrxDMPPage* page = DMPPageOf(this)) FFontStyle = page->FontStyle();
  ApplyFixedFont();
}

String TfrxDMPMemoView::DisplayTypeName() const { return TypeName("obDMPText", "Dot-matrix text object"); }

void TfrxDMPMemoView::PaintFrame() {
  const int x = PixelLeft(), y = PixelTop(), x1 = PixelRight(), y1 = PixelBottom();
  TScopeExit back([&] { SetPixelBounds(x, y, x1, y1); });
  auto px = [](Extended v) { return int(std::lround(double(v))); };
  SetPixelBounds(px((AbsLeft() - fr1CharX / 2) * DrawScaleX() + DrawOffsetX()),
                 px((AbsTop() - fr1CharY / 2) * DrawScaleY() + DrawOffsetY()),
                 px((AbsLeft() + Width() + fr1CharX / 2) * DrawScaleX() + DrawOffsetX()),
                 px((AbsTop() + Height() + fr1CharY / 2) * DrawScaleY() + DrawOffsetY()));
  TfrxCustomMemoView::PaintFrame();
}

Extended TfrxDMPMemoView::CalcHeight() { return RoundCells(TfrxCustomMemoView::CalcHeight(), fr1CharY); }
Extended TfrxDMPMemoView::CalcWidth() { return RoundCells(TfrxCustomMemoView::CalcWidth(), fr1CharX); }

String TfrxDMPMemoView::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxCustomMemoView::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxDMPMemoView>(Reference);
  if (ref && ref->FFontStyle != FFontStyle) r += FontStyleAttributeText(FFontStyle);
  return r;
}

// ================================================================ lines

void TfrxDMPLineView::SetFontStyle(TfrxDMPFontStyles Value) {
  FFontStyle = Value;
  TfrxComponent::SetParentFont(false);
}

void TfrxDMPLineView::SetLeft(Extended Value) {
  Extended x;
  if (Value < 0) x = TruncCells(Value, fr1CharX) - fr1CharX / 2;
  else if (Align() == baRight) x = RoundCells(Value, fr1CharX) - fr1CharX / 2;
  else x = TruncCells(Value, fr1CharX) + fr1CharX / 2;
  TfrxCustomLineView::SetLeft(x);
}

void TfrxDMPLineView::SetTop(Extended Value) {
  TfrxCustomLineView::SetTop(TruncCells(Value, fr1CharY) + fr1CharY / 2);
}

void TfrxDMPLineView::SetWidth(Extended Value) {
  TfrxCustomLineView::SetWidth(Align() == baWidth ? TruncCells(Value, fr1CharX) : RoundCells(Value, fr1CharX));
}

void TfrxDMPLineView::SetParentFont(bool Value) {
  TfrxCustomLineView::SetParentFont(Value);
  if (!Value) return;
  if (TfrxDMPPage* page = DMPPageOf(this)) FFontStyle = page->FontStyle();
}

String TfrxDMPLineView::DisplayTypeName() const { return TypeName("obDMPLine", "Dot-matrix line object"); }

String TfrxDMPLineView::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxView::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxDMPLineView>(Reference);
  if (ref && ref->FFontStyle != FFontStyle) r += FontStyleAttributeText(FFontStyle);
  return r;
}

// ================================================================ commands

void TfrxDMPCommand::SetLeft(Extended Value) { TfrxView::SetLeft(RoundCells(Value, fr1CharX)); }
void TfrxDMPCommand::SetTop(Extended Value) { TfrxView::SetTop(RoundCells(Value, fr1CharY)); }

String TfrxDMPCommand::DisplayTypeName() const { return TypeName("obDMPCmd", "Dot-matrix command object"); }

String TfrxDMPCommand::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxView::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxDMPCommand>(Reference);
  if (ref && ref->FCommand != FCommand) r += " Command=\"" + XMLEscapeText(FCommand) + "\"";
  return r;
}

// ================================================================ the page

TfrxDMPPage::TfrxDMPPage(TComponent* AOwner) : TfrxReportPage(AOwner) { ApplyFixedFont(); }

void TfrxDMPPage::ApplyFixedFont() { ApplyDMPFont(Font(), FFontStyle); }

void TfrxDMPPage::SetFontStyle(TfrxDMPFontStyles Value) {
  FFontStyle = Value;
  ApplyFixedFont();
  for (TfrxComponent* c : AllObjects())
    if (c->ParentFont()) c->SetParentFont(true);
}

void TfrxDMPPage::SetPaperWidth(Extended Value) {
  TfrxReportPage::SetPaperWidth(Value);
  AssignPaper(PaperSize(), RoundCells(PaperWidth() * fr01cm, fr1CharX) / fr01cm, PaperHeight());
}

void TfrxDMPPage::SetPaperHeight(Extended Value) {
  TfrxReportPage::SetPaperHeight(Value);
  AssignPaper(PaperSize(), PaperWidth(), RoundCells(PaperHeight() * fr01cm, fr1CharY) / fr01cm);
}

void TfrxDMPPage::SetPaperSize(int Value) {
  TfrxReportPage::SetPaperSize(Value);
  AssignPaper(PaperSize(), RoundCells(PaperWidth() * fr01cm, fr1CharX) / fr01cm,
              RoundCells(PaperHeight() * fr01cm, fr1CharY) / fr01cm);
}

void TfrxDMPPage::TakePrinterDefaults() {
  TfrxReportPage::TakePrinterDefaults();
  SetLeftMargin(fr1CharX / fr01cm);
  SetRightMargin(fr1CharX / fr01cm);
  SetTopMargin(fr1CharY / fr01cm);
  SetBottomMargin(fr1CharY / fr01cm);
  // Whole cells, cut down: the paper must hold every cell.
  AssignPaper(PaperSize(), TruncCells(PaperWidth() * fr01cm, fr1CharX) / fr01cm,
              TruncCells(PaperHeight() * fr01cm, fr1CharY) / fr01cm);
}

// ================================================================ start-up

namespace {

const bool kDMPRegistered = [] {
  RegisterClass(TfrxDMPPage::StaticClass());
  ObjectRegistry().RegisterPaletteObject(TfrxDMPMemoView::StaticClass(), nullptr, "", "", 0, 2);
  ObjectRegistry().RegisterPaletteObject(TfrxDMPLineView::StaticClass(), nullptr, "", "", 0, 5);
  ObjectRegistry().RegisterPaletteObject(TfrxDMPCommand::StaticClass(), nullptr, "", "", 0, 53);
  return true;
}();

}  // namespace
