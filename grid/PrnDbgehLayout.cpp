// One print run of the grid printer: the printed columns and rows, their widths and heights,
// the horizontal page groups, the band and page loop, the cells, the footer totals and the
// page's grid lines drawn in one poly-polyline.
#include "grid/PrnDbgehRun.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"
#include "gui/Application.h"
#include "gui/Screen.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr const char* NoRowsAreaMessage = "The page margins, header and titles leave no room for the grid's rows";

String StringsText(TStrings* S) {
  String t = S->Text();
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  return t;
}

UINT AlignFlags(TAlignment A) {
  switch (A) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

bool IsIntegerField(TField* F) {
  TFieldType t = F->DataType();
  return t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc || t == ftLargeint;
}

// A footer sum formatted as the footer, else the field, shows numbers.
String FormatSum(Currency Value, TField* Field, const String& FooterFormat) {
  Extended v = Value.ToExtended();
  if (!FooterFormat.empty()) return FormatFloat(FooterFormat, v);
  if (auto* n = dynamic_cast<TNumericField*>(Field); n && !n->DisplayFormat().empty())
    return FormatFloat(n->DisplayFormat(), v);
  if (IsIntegerField(Field)) return IntToStr(Round(v));
  if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    if (f->Currency()) return FloatToStrF(v, ffCurrency, 18, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, ffGeneral, f->Precision(), 0);
  }
  if (auto* b = dynamic_cast<TBCDField*>(Field); b && b->Currency())
    return CurrToStrF(Value, ffCurrency, FormatSettings().CurrencyDecimals);
  return CurrToStr(Value);
}

}  // namespace

TPrintRun::TPrintRun(TPrintDBGridEh* Owner, TVirtualPrinter* Printer)
    : FOwner(Owner), FPrinter(Printer), FGrid(Owner->DBGridEh()), FDataSet(FGrid->DataSet()),
      FCellFont(std::make_unique<TFont>()), FParams(std::make_unique<TColCellParamsEh>()) {}

TPrintRun::~TPrintRun() = default;

// ================================================================ the run

void TPrintRun::Execute() {
  CollectColumns();
  FPrinter->SetTitle("表格信息");
  FPrinter->StartDocument();
  FStarted = true;
  try {
    Prepare();
    LayOut();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void TPrintRun::Prepare() {
  FCanvas = FPrinter->GetCanvas();
  FBookmark = FDataSet->GetBookmark();
  FDataSet->FreeNotification(FOwner);
  if (FOwner->OnBeforePrint) FOwner->OnBeforePrint(FOwner);
  FDataSet->DisableControls();
  FControlsDisabled = true;
  // The grid takes no input while its rows are printed.
  FGridWasEnabled = FGrid->Enabled();
  FGrid->SetEnabled(false);
  CollectRows();
  FTotals.assign(FColumns.size() * std::max(0, FGrid->FooterRowCount()), Currency());
  FGeo = FOwner->Geometry(FPrinter);
  ComputeWidths();
  PrepareCanvas();
  MeasureFrame();
  TakeMacroValues();
  CountPages();
}

void TPrintRun::Finish() {
  FScratchCanvas.reset();
  FScratch.reset();
  if (Screen) Screen->SetCursor(crDefault);
  if (!FOwnerGone && !FGridGone && FOwner->OnAfterPrint) FOwner->OnAfterPrint(FOwner);
  if (!FDataSetGone) {
    if (FDataSet->Active() && !FBookmark.empty() && FDataSet->BookmarkValid(FBookmark))
      FDataSet->GotoBookmark(FBookmark);
    if (FControlsDisabled) FDataSet->EnableControls();
    if (!FOwnerGone) FDataSet->RemoveFreeNotification(FOwner);
  }
  if (!FGridGone) FGrid->SetEnabled(FGridWasEnabled);
  if (FStarted) FPrinter->FinishDocument();
}

void TPrintRun::ComponentGone(TComponent* Component) {
  if (Component == FDataSet) FDataSetGone = true;
}

void TPrintRun::CheckAlive() {
  if (FGridGone || FOwnerGone || FDataSetGone || !FDataSet->Active()) Abort();
}

void TPrintRun::CollectColumns() {
  TDBGridEhSelection* sel = FGrid->Selection();
  TColumnsEhList* visible = FGrid->VisibleColumns();
  switch (sel->SelectionKind()) {
    case gstRectangle: {
      int l = sel->CellRange()->LeftColumnIndex(), r = sel->CellRange()->RightColumnIndex();
      for (int i = std::max(0, l); i <= r && i < visible->Count(); ++i) FColumns.push_back(visible->Items(i));
      break;
    }
    case gstColumns:
      for (int i = 0; i < sel->ColumnSet()->Count(); ++i) FColumns.push_back(sel->ColumnSet()->Items(i));
      break;
    default:
      for (int i = 0; i < visible->Count(); ++i) FColumns.push_back(visible->Items(i));
  }
}

void TPrintRun::CollectRows() {
  TDBGridEhSelection* sel = FGrid->Selection();
  FDataSet->First();
  if (!FDataSet->IsEmpty()) {
    if (sel->SelectionKind() == gstRecordBookmarks) {
      // Every selected row in the selection's order.
      TBookmarkListEh* list = sel->RowBookmarks();
      for (int i = 0; i < list->Count(); ++i)
        if (FDataSet->BookmarkValid(list->Items(i))) FRows.push_back({list->Items(i)});
    } else if (sel->SelectionKind() == gstRectangle) {
      String bottom = sel->CellRange()->BottomRowBookmark();
      FDataSet->GotoBookmark(sel->CellRange()->TopRowBookmark());
      for (; !FDataSet->Eof() && FDataSet->CompareBookmarks(FDataSet->GetBookmark(), bottom) <= 0; FDataSet->Next())
        FRows.push_back({FDataSet->GetBookmark()});
    } else {
      for (; !FDataSet->Eof(); FDataSet->Next()) FRows.push_back({FDataSet->GetBookmark()});
    }
  }
  for (int f = 0; f < FGrid->FooterRowCount(); ++f) FRows.push_back({String(), f});
  FDataSet->First();
}

void TPrintRun::ComputeWidths() {
  for (TColumnEh* c : FColumns) FWidths.push_back(int(Round((c->Width() + 1) * FGeo.Sx)));
  TPrintDBGridEhOptions o = FOwner->Options();
  if (o.Contains(pghOptimalColWidths)) OptimalWidths();
  if (!o.Contains(pghFitGridToPageWidth)) return;
  if (o.Contains(pghFitingByColWidths)) FitWidthsToPage(FWidths, FGeo.Right - FGeo.Left - FGeo.LineWidth);
  long long total = FGeo.LineWidth;
  for (int w : FWidths) total += w;
  int page = FGeo.Right - FGeo.Left;
  if (page >= total) return;
  FMapped = true;
  FMapTotal = int(total);
  FMapPage = page;
  double k = double(total) / page;
  FGeo.Left = int(Round(FGeo.Left * k));
  FGeo.Right = int(Round(FGeo.Right * k));
  FGeo.Top = int(Round(FGeo.Top * k));
  FGeo.Bottom = int(Round(FGeo.Bottom * k));
}

// Widths from the content: the title, every printed row's cell and the footers.
void TPrintRun::OptimalWidths() {
  if (Screen) Screen->SetCursor(crHourGlass);
  int extra = 2 * FGeo.PadX;
  auto widthOf = [this](TFont* Font, const String& Text) {
    SelectFont(Font);
    return FCanvas->TextWidth(Text);
  };
  for (std::size_t i = 0; i < FColumns.size(); ++i) {
    String caption = FColumns[i]->Title()->Caption();
    if (FGrid->UseMultiTitle()) caption = caption.substr(caption.rfind('|') == String::npos ? 0 : caption.rfind('|') + 1);
    FWidths[i] = std::max(10, widthOf(FColumns[i]->Title()->Font(), caption) + extra);
  }
  for (const TRowRef& row : FRows) {
    GotoRow(row);
    if (row.Footer < 0) AddTotals();
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
      TColumnEh* c = FColumns[i];
      int w = row.Footer >= 0 ? widthOf(c->FooterAt(row.Footer)->Font(), FooterValue(int(i), row.Footer))
              : c->Checkboxes() ? int(Round(13 * FGeo.Sx))
                                : widthOf(c->Font(), c->CellText());
      FWidths[i] = std::max(FWidths[i], w + extra);
    }
  }
  std::fill(FTotals.begin(), FTotals.end(), Currency());
  FPrintedRows = 0;
  FDataSet->First();
  if (Screen) Screen->SetCursor(crDefault);
}

void TPrintRun::ApplyFitMapping() {
  if (!FMapped) return;
  HDC dc = FCanvas->Handle();
  int ratio = FGeo.DpiX == FGeo.DpiY;
  double yx = double(FGeo.DpiX) / FGeo.DpiY;
  if (!SetMapMode(dc, ratio ? MM_ISOTROPIC : MM_ANISOTROPIC))
    throw Exception(" function SetMapMode(Handle, MM_ISOTROPIC) has returned 0 ");
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, FMapTotal, int(Round(FMapTotal * yx)), nullptr);
  SetViewportExtEx(dc, FMapPage, int(Round(FMapPage * yx)), nullptr);
}

void TPrintRun::PrepareCanvas() {
  FCanvas->Pen()->SetWidth(FGeo.LineWidth);
  FCanvas->Pen()->SetColor(clBlack);
  FCanvas->Brush()->SetStyle(bsClear);
  FCanvas->Brush()->SetColor(clWhite);
  SelectFont(FGrid->Font());
  ApplyFitMapping();
  FGroups = PrintPageGroups(FWidths, FGeo.Left, FGeo.Right, FGeo.LineWidth);
}

void TPrintRun::SelectFont(TFont* Font) {
  FCanvas->Font()->Assign(Font);
  if (!FOwner->PrintFontName().empty()) FCanvas->Font()->SetName(FOwner->PrintFontName());
}

void TPrintRun::TakeMacroValues() {
  TDateTime now = Now();
  const TFormatSettings& fs = FormatSettings();
  FMacros.ShortDate = FormatDateTime(fs.ShortDateFormat, now);
  FMacros.LongDate = FormatDateTime(fs.LongDateFormat, now);
  FMacros.Time = FormatDateTime(fs.LongTimeFormat, now);
}

// ================================================================ heights

int TPrintRun::TextHeight(TFont* Font, const String& Text, int Width, bool Wrap) {
  SelectFont(Font);
  TRect r{0, 0, std::max(1, Width), 0};
  HDC dc = FCanvas->Handle();
  DrawText(dc, Text.empty() ? String(" ") : Text, -1, &r,
           DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (Wrap ? DT_WORDBREAK : 0));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  return r.Height() + tm.tmExternalLeading;
}

void TPrintRun::MeasureFrame() {
  int headerH = ColontitleHeight(FOwner->PageHeader()), footerH = ColontitleHeight(FOwner->PageFooter());
  FAreaTop = FGeo.Top + headerH;
  FAreaBottom = FGeo.Bottom - footerH;
  // Default row height.
  SelectFont(FGrid->Font());
  TEXTMETRIC tm;
  GetTextMetrics(FCanvas->Handle(), &tm);
  int line = tm.tmHeight + tm.tmExternalLeading;
  if (FGrid->RowHeight() != 0 || FGrid->RowLines() != 0)
    FRowHeight = FGrid->RowLines() * line + int(Round(FGrid->RowHeight() * FGeo.Sy));
  else
    FRowHeight = FCanvas->TextHeight("Wg") + 2 * FGeo.PadY;
  FWrapRows = FRowHeight > line + 2 * FGeo.PadY || FOwner->Options().Contains(pghRowAutoStretch);
  // The title row, one level.
  int tallest = 0, tallestLine = 0;
  for (TColumnEh* c : FColumns) {
    SelectFont(c->Title()->Font());
    GetTextMetrics(FCanvas->Handle(), &tm);
    tallest = std::max(tallest, FCanvas->TextHeight("Wg"));
    tallestLine = std::max(tallestLine, tm.tmHeight + tm.tmExternalLeading);
  }
  if (FColumns.empty()) {
    SelectFont(FGrid->TitleFont());
    GetTextMetrics(FCanvas->Handle(), &tm);
    tallest = FCanvas->TextHeight("Wg");
    tallestLine = tm.tmHeight + tm.tmExternalLeading;
  }
  if (FGrid->TitleHeight() != 0 || FGrid->TitleLines() != 0)
    FTitleHeight = FGeo.PadY + FGrid->TitleLines() * tallestLine + int(Round(FGrid->TitleHeight() * FGeo.Sy)) +
                   (FGrid->Options().Contains(dgRowLines) ? FGeo.LineExtra : 0);
  else
    FTitleHeight = tallest + 2 * FGeo.PadY;
  if (FGrid->UseMultiTitle())
    for (std::size_t i = 0; i < FColumns.size(); ++i)
      FTitleHeight = std::max(FTitleHeight, TextHeight(FColumns[i]->Title()->Font(), TitleCaption(FColumns[i]),
                                                       FWidths[i] - 2 * FGeo.PadX, true) + 2 * FGeo.PadY);
  if (!FGrid->Options().Contains(dgTitles)) FTitleHeight = 0;
  // The print title, centred over all columns.
  String title = StringsText(FOwner->Title());
  int all = 0;
  for (int w : FWidths) all += std::min(w, FGeo.Right - FGeo.Left);
  FPrintTitleHeight = title.empty() ? 0 : TextHeight(FGrid->TitleFont(), title, all - 2 * FGeo.PadX, true) + 2 * FGeo.PadY;
  SelectFont(FGrid->Font());
}

int TPrintRun::ColontitleHeight(TPageColontitle* Part) {
  int h = 0;
  for (TStrings* s : {Part->LeftText(), Part->CenterText(), Part->RightText()}) {
    String t = StringsText(s);
    if (!t.empty()) h = std::max(h, TextHeight(Part->Font(), t, FGeo.Right - FGeo.Left, false));
  }
  if (h > 0) h += int(Round(FGeo.DpiY / 20.0));
  if (Part->LineType() != pcltNon) h += int(Round(FGeo.DpiY / 20.0));
  if (Part->LineType() == pcltDoubleLine) h += int(Round(FGeo.DpiY / 30.0));
  return h;
}

void TPrintRun::DrawColontitle(TPageColontitle* Part, bool Header) {
  int h = ColontitleHeight(Part);
  if (h == 0) return;
  TRect box{FGeo.Left, Header ? FGeo.Top : FGeo.Bottom - h, FGeo.Right, Header ? FGeo.Top + h : FGeo.Bottom};
  FMacros.Page = FCounting ? 0 : FPrinter->GetPageNumber();
  const std::pair<TStrings*, UINT> texts[] = {
      {Part->LeftText(), DT_LEFT}, {Part->CenterText(), DT_CENTER}, {Part->RightText(), DT_RIGHT}};
  for (auto [strings, align] : texts) {
    String t = ReplacePrintMacros(StringsText(strings), FMacros);
    if (t.empty()) continue;
    int th = TextHeight(Part->Font(), t, box.Width(), false);
    TRect r = box;
    if (Header) r.Bottom = r.Top + th;
    else r.Top = r.Bottom - th;
    if (!FCounting) DrawText(FCanvas->Handle(), t, -1, &r, align | DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP);
  }
  if (Part->LineType() == pcltNon || FCounting) return;
  int gap = int(Round(FGeo.DpiY / 20.0)), second = int(Round(FGeo.DpiY / 30.0));
  int y = Header ? box.Bottom - gap : box.Top + gap;
  FCanvas->MoveTo(FGeo.Left, y);
  FCanvas->LineTo(FGeo.Right, y);
  if (Part->LineType() == pcltDoubleLine) {
    y += Header ? -second : second;
    FCanvas->MoveTo(FGeo.Left, y);
    FCanvas->LineTo(FGeo.Right, y);
  }
}

int TPrintRun::MeasureRow(const TRowRef& Row) {
  int h = FRowHeight;
  GotoRow(Row);
  for (std::size_t i = 0; i < FColumns.size(); ++i) {
    TColumnEh* c = FColumns[i];
    int w = std::min(FWidths[i], FGeo.Right - FGeo.Left) - 2 * FGeo.PadX;
    bool wrap = FOwner->Options().Contains(pghRowAutoStretch);
    if (Row.Footer >= 0) {
      h = std::max(h, TextHeight(c->FooterAt(Row.Footer)->Font(), FooterValue(int(i), Row.Footer), w, wrap) +
                          2 * FGeo.PadY);
    } else if (!c->Checkboxes()) {
      h = std::max(h, TextHeight(c->Font(), c->CellText(), w, wrap) + 2 * FGeo.PadY);
    }
  }
  return h;
}

void TPrintRun::GotoRow(const TRowRef& Row) {
  if (Row.Footer >= 0) return;
  if (FDataSet->GetBookmark() != Row.Bookmark) FDataSet->GotoBookmark(Row.Bookmark);
}

void TPrintRun::AddTotals() {
  ++FPrintedRows;
  int n = int(FColumns.size());
  for (int r = 0; r < FGrid->FooterRowCount(); ++r)
    for (int i = 0; i < n; ++i) {
      TColumnFooterEh* f = FColumns[i]->FooterAt(r);
      if (f->ValueType() != fvtSum) continue;
      TField* field = FDataSet->FindField(f->FieldName().empty() ? FColumns[i]->FieldName() : f->FieldName());
      if (field && !field->IsNull()) FTotals[i + r * n] += field->AsCurrency();
    }
}

String TPrintRun::FooterValue(int Col, int FooterRow) {
  TColumnEh* c = FColumns[Col];
  TColumnFooterEh* f = c->FooterAt(FooterRow);
  switch (f->ValueType()) {
    case fvtSum: {
      TField* field = FDataSet->FindField(f->FieldName().empty() ? c->FieldName() : f->FieldName());
      return field ? FormatSum(FTotals[Col + FooterRow * int(FColumns.size())], field, f->DisplayFormat()) : "0";
    }
    case fvtCount:
      return f->DisplayFormat().empty() ? IntToStr(FPrintedRows) : FormatFloat(f->DisplayFormat(), FPrintedRows);
    default: return FGrid->GetFooterText(FooterRow, c);
  }
}

// ================================================================ pages and bands

void TPrintRun::CountPages() {
  bool needed = false;
  for (TPageColontitle* p : {FOwner->PageHeader(), FOwner->PageFooter()})
    for (TStrings* s : {p->LeftText(), p->CenterText(), p->RightText()}) needed = needed || NeedsPageCount(s->Text());
  FMacros.Pages = 1;
  if (!needed) return;
  if (Screen) Screen->SetCursor(crHourGlass);
  TCanvas* real = FCanvas;
  FScratch = std::make_unique<TMetafile>();
  FScratchCanvas = std::make_unique<TMetafileCanvas>(FScratch.get(), real->Handle());
  FCanvas = FScratchCanvas.get();
  PrepareCanvas();
  FCounting = true;
  FMacros.Pages = 1;
  LayOut();
  int pages = FMacros.Pages;
  FCounting = false;
  FCanvas = real;
  FScratchCanvas.reset();
  FScratch.reset();
  if (Screen) Screen->SetCursor(crDefault);
  TakeMacroValues();
  FMacros.Pages = pages;
  std::fill(FTotals.begin(), FTotals.end(), Currency());
  FPrintedRows = 0;
  FFirstPage = true;
  FDataSet->First();
}

void TPrintRun::NewPage() {
  if (FCounting) {
    ++FMacros.Pages;
  } else {
    FPrinter->StartNewPage();
    FCanvas = FPrinter->GetCanvas();
  }
  PrepareCanvas();
  if (!FCounting) {
    DrawColontitle(FOwner->PageHeader(), true);
    DrawColontitle(FOwner->PageFooter(), false);
    SelectFont(FGrid->Font());
  }
}

void TPrintRun::LayOut() {
  if (!FCounting) {
    DrawColontitle(FOwner->PageHeader(), true);
    DrawColontitle(FOwner->PageFooter(), false);
  }
  int rowsTop = FAreaTop + FPrintTitleHeight + FTitleHeight;
  int avail = FAreaBottom - rowsTop;
  if (avail <= FGeo.LineWidth) throw Exception(NoRowsAreaMessage);
  std::size_t next = 0;
  do {
    std::vector<int> heights;
    std::size_t first = next;
    int sum = 0;
    while (next < FRows.size()) {
      CheckAlive();
      int h = MeasureRow(FRows[next]);
      if (sum + h > avail && !heights.empty()) break;
      // A row taller than the rows area prints clipped on a page of its own.
      h = std::min(h, avail);
      heights.push_back(h);
      sum += h;
      if (FRows[next].Footer < 0) AddTotals();
      ++next;
    }
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
      if (!FCounting && FPrinter->GetAborted()) Abort();
      CheckAlive();
      if (!FFirstPage) NewPage();
      FFirstPage = false;
      DrawBand(heights, first, int(g));
    }
  } while (next < FRows.size());
}

void TPrintRun::DrawBand(const std::vector<int>& Heights, std::size_t First, int Group) {
  if (FCounting) return;
  int firstCol = Group == 0 ? 0 : FGroups[Group - 1] + 1, lastCol = FGroups[Group];
  int top = FAreaTop;
  if (FPrintTitleHeight > 0) DrawPrintTitle(firstCol, lastCol, top);
  top += FPrintTitleHeight;
  if (FTitleHeight > 0) DrawTitleRow(firstCol, lastCol, top);
  top += FTitleHeight;
  FLastTexts.assign(FColumns.size(), String());
  int lw = FGeo.LineWidth;
  for (std::size_t r = 0; r < Heights.size(); ++r) {
    const TRowRef& row = FRows[First + r];
    GotoRow(row);
    int x = FGeo.Left + lw;
    for (int c = firstCol; c <= lastCol; ++c) {
      CheckAlive();
      int w = std::min(FWidths[c], FGeo.Right - FGeo.Left);
      TRect cell{x, top, x + w, top + Heights[r]};
      if (row.Footer >= 0) DrawFooterCell(c, row.Footer, cell);
      else DrawDataCell(c, cell, r == 0);
      AddLine(cell.Left, cell.Bottom - lw / 2 - 1, cell.Right, cell.Bottom - lw / 2 - 1);
      AddLine(cell.Right - lw / 2 - 1, cell.Top, cell.Right - lw / 2 - 1, cell.Bottom);
      if (c == firstCol) AddLine(FGeo.Left + lw / 2, cell.Top, FGeo.Left + lw / 2, cell.Bottom);
      x += w;
      // A cell's events may have closed the dataset: stop before the grid repaints over it.
      CheckAlive();
      if (Application) Application->ProcessMessages();
    }
    top += Heights[r];
  }
  FlushLines();
}

void TPrintRun::DrawPrintTitle(int FirstCol, int LastCol, int Top) {
  int before = 0, inside = 0, after = 0;
  for (int c = 0; c < int(FWidths.size()); ++c) {
    int w = std::min(FWidths[c], FGeo.Right - FGeo.Left);
    (c < FirstCol ? before : c > LastCol ? after : inside) += w;
  }
  int lw = FGeo.LineWidth;
  TRect box{FGeo.Left + lw, Top, FGeo.Left + lw + inside, Top + FPrintTitleHeight};
  if (FOwner->Options().Contains(pghColored)) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(FGrid->FixedColor());
    FCanvas->FillRect(box);
    FCanvas->Brush()->SetStyle(bsClear);
  }
  // Laid out as if the box spanned every column, so each page shows its part of one title.
  TRect text{box.Left - before + FGeo.PadX, box.Top + FGeo.PadY, box.Right + after - FGeo.PadX, box.Bottom};
  SelectFont(FGrid->TitleFont());
  HDC dc = FCanvas->Handle();
  SaveDC(dc);
  IntersectClipRect(dc, box.Left, box.Top, box.Right, box.Bottom);
  DrawText(dc, StringsText(FOwner->Title()), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  RestoreDC(dc, -1);
  AddLine(FGeo.Left + lw / 2, box.Bottom, FGeo.Left + lw / 2, box.Top + lw / 2);
  AddLine(FGeo.Left + lw / 2, box.Top + lw / 2, box.Right - lw / 2 - 1, box.Top + lw / 2);
  AddLine(box.Right - lw / 2 - 1, box.Top + lw / 2, box.Right - lw / 2 - 1, box.Bottom);
}

// Under multi-level titles each level of the caption takes a line of its own, top to leaf.
String TPrintRun::TitleCaption(TColumnEh* Column) const {
  String caption = Column->Title()->Caption();
  if (FGrid->UseMultiTitle()) std::replace(caption.begin(), caption.end(), '|', '\n');
  return caption;
}

void TPrintRun::DrawTitleRow(int FirstCol, int LastCol, int Top) {
  int lw = FGeo.LineWidth, x = FGeo.Left + lw;
  for (int c = FirstCol; c <= LastCol; ++c) {
    TColumnTitleEh* t = FColumns[c]->Title();
    int w = std::min(FWidths[c], FGeo.Right - FGeo.Left);
    TRect cell{x, Top, x + w, Top + FTitleHeight};
    SelectFont(t->Font());
    bool multi = FGrid->UseMultiTitle();
    DrawCellText(TitleCaption(FColumns[c]), cell, multi ? taCenter : t->Alignment(), tlTop, t->EndEllipsis(), multi,
                 FOwner->Options().Contains(pghColored) ? FGrid->FixedColor() : clWhite);
    AddLine(cell.Left, cell.Bottom - lw / 2 - 1, cell.Right, cell.Bottom - lw / 2 - 1);
    AddLine(cell.Right - lw / 2 - 1, cell.Top, cell.Right - lw / 2 - 1, cell.Bottom);
    x += w;
  }
  AddLine(FGeo.Left + lw / 2, Top + lw / 2, x, Top + lw / 2);
  AddLine(FGeo.Left + lw / 2, Top, FGeo.Left + lw / 2, Top + FTitleHeight);
}

void TPrintRun::DrawDataCell(int Col, const TRect& R, bool FirstOnPage) {
  TColumnEh* c = FColumns[Col];
  TColCellParamsEh* p = FParams.get();
  c->FillCellParams(p);
  FCellFont->Assign(c->Font());
  if (!FOwner->PrintFontName().empty()) FCellFont->SetName(FOwner->PrintFontName());
  p->SetFont(FCellFont.get());
  TColor bg = FOwner->Options().Contains(pghColored) ? c->Color() : clWhite;
  FGrid->FireGetCellParams(c, FCellFont.get(), bg, TGridDrawState());
  p->SetBackground(bg);
  c->FireGetCellParams(false, p);
  String text = p->Text();
  if (c->HideDuplicates() && !FirstOnPage && text == FLastTexts[Col]) p->SetText(String());
  FLastTexts[Col] = text;
  FCanvas->Font()->Assign(p->Font());
  if (c->Checkboxes()) {
    if (p->Background() != clWhite) {
      FCanvas->Brush()->SetStyle(bsSolid);
      FCanvas->Brush()->SetColor(p->Background());
      FCanvas->FillRect(R);
      FCanvas->Brush()->SetStyle(bsClear);
    }
    int gw = int(Round(13 * FGeo.Sx)), gh = int(Round(13 * FGeo.Sy));
    TRect box{(R.Left + R.Right - gw) / 2, (R.Top + R.Bottom - gh) / 2, 0, 0};
    box.Right = std::min(box.Left + gw, R.Right - FGeo.PadX);
    box.Bottom = std::min(box.Top + gh, R.Bottom - FGeo.PadY);
    UINT state = DFCS_BUTTONCHECK;
    if (p->CheckboxState() == cbChecked) state |= DFCS_CHECKED;
    if (p->CheckboxState() == cbGrayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    DrawFrameControl(FCanvas->Handle(), &box, DFC_BUTTON, state);
    return;
  }
  if (c->ImageList() && !c->ShowImageAndText()) {
    DrawCellText(String(), R, p->Alignment(), c->Layout(), false, false, p->Background());
    DrawCellImage(c->ImageList(), p->ImageIndex(), R);
    return;
  }
  DrawCellText(p->Text(), R, p->Alignment(), c->Layout(), c->EndEllipsis(), FWrapRows, p->Background());
}

// The image scaled to the printer, centred in the cell and clipped to it; nothing for an index
// outside the list.
void TPrintRun::DrawCellImage(TCustomImageList* Images, int Index, const TRect& R) {
  if (Index < 0 || Index >= Images->Count()) return;
  TBitmap bmp;
  if (!Images->GetBitmap(Index, &bmp)) return;
  int w = int(Round(Images->Width() * FGeo.Sx)), h = int(Round(Images->Height() * FGeo.Sy));
  TRect box{(R.Left + R.Right - w) / 2, (R.Top + R.Bottom - h) / 2, 0, 0};
  box.Right = box.Left + w;
  box.Bottom = box.Top + h;
  HDC dc = FCanvas->Handle();
  SaveDC(dc);
  IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
  FCanvas->StretchDraw(box, &bmp);
  RestoreDC(dc, -1);
}

void TPrintRun::DrawFooterCell(int Col, int FooterRow, const TRect& R) {
  TColumnEh* c = FColumns[Col];
  TColumnFooterEh* f = c->FooterAt(FooterRow);
  FCellFont->Assign(f->Font());
  if (!FOwner->PrintFontName().empty()) FCellFont->SetName(FOwner->PrintFontName());
  TColor bg = FOwner->Options().Contains(pghColored) ? f->Color() : clWhite;
  TAlignment align = f->Alignment();
  String text = FooterValue(Col, FooterRow);
  FGrid->FireGetFooterParams(c->Index(), FooterRow, c, FCellFont.get(), bg, align, TGridDrawState(), text);
  FCanvas->Font()->Assign(FCellFont.get());
  DrawCellText(text, R, align, c->Layout(), f->EndEllipsis(), FWrapRows, bg);
}

void TPrintRun::DrawCellText(const String& Text, const TRect& Cell, TAlignment Align, TTextLayout Layout,
                             bool Ellipsis, bool Wrap, TColor Background) {
  if (Background != clWhite) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(Background);
    FCanvas->FillRect(Cell);
    FCanvas->Brush()->SetStyle(bsClear);
  }
  if (Text.empty()) return;
  TRect r{Cell.Left + FGeo.PadX, Cell.Top + FGeo.PadY, Cell.Right - FGeo.PadX, Cell.Bottom - FGeo.PadY};
  UINT flags = AlignFlags(Align) | DT_NOPREFIX | DT_EXPANDTABS | (Wrap ? DT_WORDBREAK : 0) |
               (Ellipsis ? DT_END_ELLIPSIS : 0);
  HDC dc = FCanvas->Handle();
  if (Layout != tlTop) {
    TRect m = r;
    DrawText(dc, Text, -1, &m, flags | DT_CALCRECT);
    int space = r.Height() - m.Height();
    if (space > 0) r.Top += Layout == tlCenter ? space / 2 : space;
  }
  DrawText(dc, Text, -1, &r, flags);
}

void TPrintRun::AddLine(int X1, int Y1, int X2, int Y2) {
  FPoints.push_back({X1, Y1});
  FPoints.push_back({X2, Y2});
  FCounts.push_back(2);
}

void TPrintRun::FlushLines() {
  if (!FCounts.empty()) FCanvas->PolyPolyline(FPoints, FCounts);
  FPoints.clear();
  FCounts.clear();
}
