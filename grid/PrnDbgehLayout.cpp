// One print run of the grid printer: the printed columns and rows, their widths and heights,
// the horizontal page groups, the band and page loop, the cells, the footer totals and the
// page's grid lines drawn in one poly-polyline.
#include "grid/PrnDbgehRun.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "grid/CellTextEh.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "core/Scope.h"

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

bool IsIntegerField(TField* F) { return IsIntegerFieldType(F->DataType()); }

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
  // Finishing ends the document, which may raise: no destructor.
  TryFinally(
      [this] {
        Prepare();
        LayOut();
      },
      [this] { Finish(); });
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
    TColumnTitleEh* t = FColumns[i]->Title();
    String caption = t->Caption();
    if (FGrid->UseMultiTitle()) caption = caption.substr(caption.rfind('|') == String::npos ? 0 : caption.rfind('|') + 1);
    int w = TitleImageShown(t) ? int(Round(FGrid->TitleImages()->Width() * FGeo.Sx)) : widthOf(t->Font(), caption);
    FWidths[i] = std::max(10, w + extra);
  }
  for (const TRowRef& row : FRows) {
    GotoRow(row);
    if (row.Footer < 0) AddTotals();
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
      TColumnEh* c = FColumns[i];
      TCustomImageList* images = c->ImageList();
      int w = 0;
      if (row.Footer >= 0) w = widthOf(c->FooterAt(row.Footer)->Font(), FooterValue(int(i), row.Footer));
      else if (images && !c->ShowImageAndText()) w = int(Round(images->Width() * FGeo.Sx));
      else if (c->Checkboxes()) w = int(Round(CheckBoxGlyphSize * FGeo.Sx));
      else {
        TColCellParamsEh* p = CellParams(int(i));
        w = widthOf(p->Font(), p->Text());
        if (images) w += int(Round(FGeo.Sx + FGeo.Sx * images->Width() + 4 * FGeo.Sx));
      }
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
  // Colour first: colouring a clear brush makes it solid again, and text would then be
  // printed on opaque white boxes.
  FCanvas->Brush()->SetColor(clWhite);
  FCanvas->Brush()->SetStyle(bsClear);
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
           DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (Wrap ? UINT(DT_WORDBREAK) : 0u));
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
  if (FGrid->UseMultiTitle()) {
    BuildTitleTree();
    FTitleHeight = THeadTreeNode::CalcTitleBandHeights(FTitleTree.get(),
                                                       [this](THeadTreeNode* n) { return MeasureTitleNode(n); });
  }
  if (!FGrid->Options().Contains(dgTitles)) FTitleHeight = 0;
  // The print title, centred over all columns.
  String title = StringsText(FOwner->Title());
  int all = 0;
  for (int c = 0; c < int(FWidths.size()); ++c) all += DrawWidth(c);
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
  bool wrap = FOwner->Options().Contains(pghRowAutoStretch);
  for (std::size_t i = 0; i < FColumns.size(); ++i) {
    TColumnEh* c = FColumns[i];
    int w = DrawWidth(int(i)) - 2 * FGeo.PadX;
    if (Row.Footer >= 0) {
      h = std::max(h, TextHeight(c->FooterAt(Row.Footer)->Font(), FooterValue(int(i), Row.Footer), w, wrap) +
                          2 * FGeo.PadY);
      continue;
    }
    if (c->Checkboxes() || (c->ImageList() && !c->ShowImageAndText())) continue;
    TColCellParamsEh* p = CellParams(int(i));
    if (c->ImageList()) {
      w -= ImageBoxWidth(c->ImageList()) + int(Round(FGeo.Sy));
      h = std::max(h, int(Round(c->ImageList()->Height() * FGeo.Sy + 4 * FGeo.Sy)));
    }
    h = std::max(h, TextHeight(p->Font(), p->Text(), w, wrap) + 2 * FGeo.PadY);
  }
  return h;
}

int TPrintRun::RowHeight(std::size_t Index) {
  // Each row is measured once: the count pass leaves its heights to the real one.
  if (FRowHeights.size() != FRows.size()) FRowHeights.assign(FRows.size(), -1);
  if (FRowHeights[Index] < 0) FRowHeights[Index] = MeasureRow(FRows[Index]);
  return FRowHeights[Index];
}

int TPrintRun::ImageBoxWidth(TCustomImageList* Images) const {
  return int(Round(Images->Width() * FGeo.Sy + 4 * FGeo.Sy));
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
  FOffset = 0;
  PrintRichText(FOwner->FBeforeGridText.get());
  if (FOffset >= avail) BreakPage();
  std::size_t next = 0;
  int bottom = FAreaTop;
  do {
    std::vector<int> heights;
    std::size_t first = next;
    int room = avail - FOffset, sum = 0;
    while (next < FRows.size()) {
      CheckAlive();
      int h = RowHeight(next);
      // A row that does not fit goes on; only on a page of its own it prints clipped.
      if (sum + h > room && (!heights.empty() || FOffset > 0)) break;
      h = std::min(h, room);
      heights.push_back(h);
      sum += h;
      if (FRows[next].Footer < 0) {
        GotoRow(FRows[next]);
        AddTotals();
      }
      ++next;
    }
    if (heights.empty() && next < FRows.size()) {
      // The rich text above left no room for the first row.
      BreakPage();
      continue;
    }
    int top = FAreaTop + FOffset;
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
      if (!FCounting && FPrinter->GetAborted()) Abort();
      CheckAlive();
      if (!FFirstPage) NewPage();
      FFirstPage = false;
      DrawBand(heights, first, int(g), top);
    }
    bottom = top + FPrintTitleHeight + FTitleHeight + sum;
    FOffset = 0;
  } while (next < FRows.size());
  FOffset = bottom - FAreaTop + FGeo.LineWidth;
  PrintRichText(FOwner->FAfterGridText.get());
}

void TPrintRun::BreakPage() {
  NewPage();
  FOffset = 0;
}

void TPrintRun::PrintRichText(TRichEditStrings* Text) {
  if (!Text || Text->IsEmpty()) return;
  TCustomRichEdit* edit = Text->RichEdit();
  int length = int(Utf8ToUtf32(edit->Text()).size());
  for (int first = 0;;) {
    if (!FCounting && FPrinter->GetAborted()) Abort();
    CheckAlive();
    TRect area{FGeo.Left, FAreaTop + FOffset, FGeo.Right, FAreaBottom};
    int bottom = area.Top;
    int next = edit->FormatRange(FCanvas->Handle(), area, first, FCounting, &bottom);
    if (next == first && FOffset == 0) next = PrintClippedLine(edit, area, first, bottom);
    if (next > first) FOffset = bottom - FAreaTop;
    if (next >= length) return;
    BreakPage();
    first = next;
  }
}

// A line taller than the whole area between header and footer: laid out in an area just tall
// enough for it alone and clipped to the real one, so the text goes on on the next page.
int TPrintRun::PrintClippedLine(TCustomRichEdit* Edit, const TRect& Area, int First, int& Bottom) {
  HDC dc = FCanvas->Handle();
  int step = std::max(1, Area.Height());
  for (int h = Area.Height() + step; h > 0; h += step) {
    TRect tall{Area.Left, Area.Top, Area.Right, Area.Top + h};
    int b = 0;
    int next = Edit->FormatRange(dc, tall, First, true, &b);
    if (next == First) continue;
    if (!FCounting) {
      SaveDC(dc);
      IntersectClipRect(dc, Area.Left, Area.Top, Area.Right, Area.Bottom);
      Edit->FormatRange(dc, tall, First, false, &b);
      RestoreDC(dc, -1);
    }
    Bottom = Area.Bottom;
    return next;
  }
  return First;
}
void TPrintRun::DrawBand(const std::vector<int>& Heights, std::size_t First, int Group, int Top) {
  if (FCounting) return;
  int firstCol = Group == 0 ? 0 : FGroups[Group - 1] + 1, lastCol = FGroups[Group];
  int top = Top;
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
      int w = DrawWidth(c);
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
  for (int c = 0; c < int(FWidths.size()); ++c) (c < FirstCol ? before : c > LastCol ? after : inside) += DrawWidth(c);
  int lw = FGeo.LineWidth;
  TRect box{FGeo.Left + lw, Top, FGeo.Left + lw + inside, Top + FPrintTitleHeight};
  if (FOwner->Options().Contains(pghColored)) FillCell(box, FGrid->FixedColor());
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
bool TPrintRun::TitleImageShown(TColumnTitleEh* Title) const {
  return FGrid->TitleImages() && Title->ImageIndex() != -1;
}

int TPrintRun::DrawWidth(int Col) const { return std::min(FWidths[Col], FGeo.Right - FGeo.Left); }
void TPrintRun::DrawTitleRow(int FirstCol, int LastCol, int Top) {
  if (FGrid->UseMultiTitle()) return DrawMultiTitle(FirstCol, LastCol, Top);
  int lw = FGeo.LineWidth, x = FGeo.Left + lw;
  TColor bg = FOwner->Options().Contains(pghColored) ? FGrid->FixedColor() : clWhite;
  for (int c = FirstCol; c <= LastCol; ++c) {
    TColumnTitleEh* t = FColumns[c]->Title();
    TRect cell{x, Top, x + DrawWidth(c), Top + FTitleHeight};
    SelectFont(t->Font());
    bool image = TitleImageShown(t);
    String caption = image ? String() : t->Caption();
    if (t->Orientation() == tohVertical) {
      FillCell(cell, bg);
      DrawCellTextRotated(FCanvas, cell, false, FGeo.PadX, FGeo.PadY, caption, t->Alignment(), tlBottom, false, false);
    } else {
      DrawCellText(caption, cell, t->Alignment(), tlTop, t->EndEllipsis(), false, bg);
    }
    if (image) DrawCellImage(FGrid->TitleImages(), t->ImageIndex(), cell, t->Alignment());
    AddLine(cell.Left, cell.Bottom - lw / 2 - 1, cell.Right, cell.Bottom - lw / 2 - 1);
    AddLine(cell.Right - lw / 2 - 1, cell.Top, cell.Right - lw / 2 - 1, cell.Bottom);
    x += cell.Width();
  }
  AddLine(FGeo.Left + lw / 2, Top + lw / 2, x, Top + lw / 2);
  AddLine(FGeo.Left + lw / 2, Top, FGeo.Left + lw / 2, Top + FTitleHeight);
}

// ---------------------------------------------------------------- multi-level titles

// The grid's title tree over its columns, each leaf as wide as its printed column (0 for a
// column not printed), each group as wide as its children.
void TPrintRun::BuildTitleTree() {
  FTitleTree = std::make_unique<THeadTreeNode>();
  FTitleTree->BuildFromColumns(FGrid, FLeaves);
  FNodeColumns.clear();
  for (THeadTreeNode* leaf : FLeaves) leaf->NodeWidth = 0;
  for (int i = 0; i < int(FColumns.size()); ++i) {
    THeadTreeNode* leaf = FLeaves[FColumns[i]->Index()];
    leaf->NodeWidth = FWidths[i];
    for (THeadTreeNode* n = leaf; n && n != FTitleTree.get(); n = n->ParentNode) {
      auto [at, fresh] = FNodeColumns.try_emplace(n, i, i);
      at->second.first = std::min(at->second.first, i);
      at->second.second = std::max(at->second.second, i);
    }
  }
  std::function<int(THeadTreeNode*)> width = [&width](THeadTreeNode* n) {
    if (!n->FirstChild) return n->NodeWidth;
    int w = 0;
    for (THeadTreeNode* k : n->Children()) w += width(k);
    return n->NodeWidth = w;
  };
  width(FTitleTree.get());
}

// A caption's own height: word-wrapped in the node's width, a vertical one its length.
int TPrintRun::MeasureTitleNode(THeadTreeNode* Node) {
  TColumnTitleEh* t = Node->LeafColumn ? Node->LeafColumn->Title() : nullptr;
  TFont* font = t ? t->Font() : FGrid->TitleFont();
  String text = t && TitleImageShown(t) ? String() : Node->NodeText;
  if (t && t->Orientation() == tohVertical) {
    SelectFont(font);
    return DrawCellTextRotated(FCanvas, TRect(), false, 0, 0, text, taLeftJustify, tlBottom, false, true) +
           int(Round(4 * FGeo.Sy));
  }
  int w = Node->NodeWidth - int(Round(4 * FGeo.Sx));
  return TextHeight(font, text, w, true) + int(Round(FGrid->VTitleMargin() * FGeo.Sy));
}

// Each leaf of the page's columns, and each group once per page above its first column there
// (or above the page's first column), over its whole span clipped to the page.
void TPrintRun::DrawMultiTitle(int FirstCol, int LastCol, int Top) {
  for (int c = FirstCol; c <= LastCol; ++c) {
    THeadTreeNode* leaf = FLeaves[FColumns[c]->Index()];
    DrawTitleNode(leaf, FirstCol, LastCol, Top);
    for (THeadTreeNode* n = leaf->ParentNode; n && n != FTitleTree.get(); n = n->ParentNode)
      if (c == FirstCol || FNodeColumns[n].first == c) DrawTitleNode(n, FirstCol, LastCol, Top);
  }
  int lw = FGeo.LineWidth, right = FGeo.Left + lw;
  for (int c = FirstCol; c <= LastCol; ++c) right += DrawWidth(c);
  AddLine(FGeo.Left + lw / 2, Top + lw / 2, right, Top + lw / 2);
  AddLine(right - lw / 2 - 1, Top, right - lw / 2 - 1, Top + FTitleHeight);
}

void TPrintRun::DrawTitleNode(THeadTreeNode* Node, int FirstCol, int LastCol, int Top) {
  auto [lo, hi] = FNodeColumns[Node];
  int lw = FGeo.LineWidth, pageLeft = FGeo.Left + lw;
  // Page positions of the node's columns, those on earlier pages to the left of the page.
  auto xOf = [&](int Col) {
    int x = pageLeft;
    for (int c = Col; c < FirstCol; ++c) x -= DrawWidth(c);
    for (int c = FirstCol; c < Col; ++c) x += DrawWidth(c);
    return x;
  };
  int spanLeft = xOf(lo), spanRight = xOf(hi) + DrawWidth(hi), pageRight = xOf(LastCol) + DrawWidth(LastCol);
  int top = Top;
  for (THeadTreeNode* p = Node->ParentNode; p && p != FTitleTree.get(); p = p->ParentNode) top += p->NodeHeight;
  int bottom = Node->FirstChild ? top + Node->NodeHeight : Top + FTitleHeight;
  TRect cell{std::max(spanLeft, pageLeft), top, std::min(spanRight, pageRight), bottom};
  TColumnTitleEh* t = Node->LeafColumn ? Node->LeafColumn->Title() : nullptr;
  bool image = t && TitleImageShown(t);
  String caption = image ? String() : Node->NodeText;
  FillCell(cell, FOwner->Options().Contains(pghColored) ? FGrid->FixedColor() : clWhite);
  SelectFont(t ? t->Font() : FGrid->TitleFont());
  HDC dc = FCanvas->Handle();
  SaveDC(dc);
  // A caption cut by the page's edge is clipped there.
  if (spanLeft < pageLeft || spanRight > pageRight) IntersectClipRect(dc, cell.Left, cell.Top, cell.Right, cell.Bottom);
  if (t && t->Orientation() == tohVertical) {
    DrawCellTextRotated(FCanvas, cell, false, FGeo.PadX, FGeo.LineExtra, caption, taCenter, tlBottom, false, false);
  } else if (!caption.empty()) {
    // Laid out over the whole span, so the caption stays centred over it on every page.
    TRect text{spanLeft + FGeo.PadX, top + FGeo.LineExtra, spanRight - FGeo.PadX, bottom - FGeo.LineExtra};
    UINT flags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    TRect calc = text;
    DrawText(dc, caption, -1, &calc, flags | DT_CALCRECT);
    text.Top += std::max(0, (text.Height() - calc.Height()) / 2);
    DrawText(dc, caption, -1, &text, flags);
  }
  RestoreDC(dc, -1);
  if (image) DrawCellImage(FGrid->TitleImages(), t->ImageIndex(), cell, t->Alignment());
  AddLine(cell.Left + lw / 2, cell.Top, cell.Left + lw / 2, cell.Bottom);
  AddLine(cell.Left, cell.Bottom - lw / 2 - 1, cell.Right, cell.Bottom - lw / 2 - 1);
}
// The cell's parameters as the grid's painting asks for them: the column's, then the grid's
// event and the column's own.
TColCellParamsEh* TPrintRun::CellParams(int Col) {
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
  return p;
}

void TPrintRun::DrawDataCell(int Col, const TRect& R, bool FirstOnPage) {
  TColumnEh* c = FColumns[Col];
  TColCellParamsEh* p = CellParams(Col);
  String text = p->Text();
  if (c->HideDuplicates() && !FirstOnPage && text == FLastTexts[Col]) {
    p->SetText(String());
    p->SetImageIndex(-1);
  }
  FLastTexts[Col] = text;
  FCanvas->Font()->Assign(p->Font());
  FillCell(R, p->Background());
  TCustomImageList* images = c->ImageList();
  if (c->Checkboxes()) {
    int gw = int(Round(CheckBoxGlyphSize * FGeo.Sx)), gh = int(Round(CheckBoxGlyphSize * FGeo.Sy));
    TRect box{(R.Left + R.Right - gw) / 2, (R.Top + R.Bottom - gh) / 2, 0, 0};
    box.Right = std::min(box.Left + gw, R.Right - FGeo.PadX);
    box.Bottom = std::min(box.Top + gh, R.Bottom - FGeo.PadY);
    UINT state = DFCS_BUTTONCHECK;
    if (p->CheckboxState() == cbChecked) state |= DFCS_CHECKED;
    if (p->CheckboxState() == cbGrayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    DrawFrameControl(FCanvas->Handle(), &box, DFC_BUTTON, state);
    return;
  }
  if (images && !c->ShowImageAndText()) return DrawCellImage(images, p->ImageIndex(), R);
  TRect textCell = R;
  if (images) {
    // The image in a box of its own at the left; the text begins a little right of it.
    TRect box{R.Left, R.Top, R.Left + ImageBoxWidth(images), R.Bottom};
    DrawCellImage(images, p->ImageIndex(), box);
    textCell.Left = box.Right + int(Round(FGeo.Sy));
  }
  DrawCellText(p->Text(), textCell, p->Alignment(), c->Layout(), c->EndEllipsis(), FWrapRows, clWhite);
}

// The image scaled to the printer, aligned in R (centred vertically) and clipped to it;
// nothing for an index outside the list.
void TPrintRun::DrawCellImage(TCustomImageList* Images, int Index, const TRect& R, TAlignment Align) {
  if (Index < 0 || Index >= Images->Count()) return;
  TBitmap bmp;
  if (!Images->GetBitmap(Index, &bmp)) return;
  int w = int(Round(Images->Width() * FGeo.Sx)), h = int(Round(Images->Height() * FGeo.Sy));
  int left = Align == taCenter ? (R.Left + R.Right - w) / 2
             : Align == taRightJustify ? R.Right - FGeo.PadX - w
                                       : R.Left + FGeo.PadX;
  TRect box{left, (R.Top + R.Bottom - h) / 2, left + w, (R.Top + R.Bottom - h) / 2 + h};
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

void TPrintRun::FillCell(const TRect& Cell, TColor Background) {
  // White is the paper's own: nothing to paint (and nothing in the count pass).
  if (ColorToRGB(Background) == ColorToRGB(clWhite) || FCounting) return;
  FCanvas->Brush()->SetColor(Background);
  FCanvas->Brush()->SetStyle(bsSolid);
  FCanvas->FillRect(Cell);
  FCanvas->Brush()->SetStyle(bsClear);
}

void TPrintRun::DrawCellText(const String& Text, const TRect& Cell, TAlignment Align, TTextLayout Layout,
                             bool Ellipsis, bool Wrap, TColor Background) {
  FillCell(Cell, Background);
  if (Text.empty()) return;
  TRect r{Cell.Left + FGeo.PadX, Cell.Top + FGeo.PadY, Cell.Right - FGeo.PadX, Cell.Bottom - FGeo.PadY};
  UINT flags = AlignFlags(Align) | DT_NOPREFIX | DT_EXPANDTABS | (Wrap ? UINT(DT_WORDBREAK) : 0u) |
               (Ellipsis ? UINT(DT_END_ELLIPSIS) : 0u);
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
