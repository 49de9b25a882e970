#include "grid/PrViewEh.h"

#include <cassert>
#include <cmath>

// ================================================================ TVirtualPrinter

bool TVirtualPrinter::GetAborted() { return Target()->Aborted(); }
TCanvas* TVirtualPrinter::GetCanvas() { return Target()->Canvas(); }
TPrinterCapabilities TVirtualPrinter::GetCapabilities() { return {pcCopies, pcOrientation, pcCollation}; }
// The printers draw with the fonts the screen has.
TStrings* TVirtualPrinter::GetFonts() { return Screen->Fonts(); }
HDC TVirtualPrinter::GetHandle() { return Target()->Handle(); }
int TVirtualPrinter::GetCopies() { return Target()->Copies(); }
TPrinterOrientation TVirtualPrinter::GetOrientation() { return Target()->Orientation(); }
int TVirtualPrinter::GetPageHeight() { return Target()->PageHeight(); }
int TVirtualPrinter::GetPageWidth() { return Target()->PageWidth(); }
int TVirtualPrinter::GetPageNumber() { return Target()->PageNumber(); }
bool TVirtualPrinter::GetPrinting() { return Target()->Printing(); }
String TVirtualPrinter::GetTitle() { return Target()->Title(); }
int TVirtualPrinter::GetFullPageWidth() { return GetPageWidth() + 2 * GetPhysicalOffsetX(); }
int TVirtualPrinter::GetFullPageHeight() { return GetPageHeight() + 2 * GetPhysicalOffsetY(); }
int TVirtualPrinter::GetPrinterIndex() { return Target()->PrinterIndex(); }
TStrings* TVirtualPrinter::GetPrinters() { return Target()->Printers(); }
int TVirtualPrinter::GetPixelsPerInchX() { return Target()->Caps().DpiX; }
int TVirtualPrinter::GetPixelsPerInchY() { return Target()->Caps().DpiY; }
void TVirtualPrinter::SetPrinterIndex(int Value) { Target()->SetPrinterIndex(Value); }
void TVirtualPrinter::SetCopies(int Value) { Target()->SetCopies(Value); }
void TVirtualPrinter::SetOrientation(TPrinterOrientation Value) { Target()->SetOrientation(Value); }
void TVirtualPrinter::SetTitle(const String& Value) { Target()->SetTitle(Value); }
void TVirtualPrinter::AbortDocument() { Target()->Abort(); }
void TVirtualPrinter::StartDocument() { Target()->BeginDoc(); }
void TVirtualPrinter::FinishDocument() { Target()->EndDoc(); }
void TVirtualPrinter::StartNewPage() { Target()->NewPage(); }

void TVirtualPrinter::GetPrinterDevice(String& Device, String& Driver, String& Port, DEVMODE*& Mode) {
  Target()->GetPrinter(Device, Driver, Port, Mode);
}

void TVirtualPrinter::SetPrinterDevice(const String& Device, const String& Driver, const String& Port,
                                       const DEVMODE* Mode) {
  Target()->SetPrinter(Device, Driver, Port, Mode);
}

namespace {
int PixelsToMM(int Pixels, int Dpi) { return int(std::lround(Pixels * 25.4 / Dpi)); }
}  // namespace

int TVirtualPrinter::GetPhysicalWidthMM() { return PixelsToMM(GetPageWidth(), GetPixelsPerInchX()); }
int TVirtualPrinter::GetPhysicalHeightMM() { return PixelsToMM(GetPageHeight(), GetPixelsPerInchY()); }
int TVirtualPrinter::GetPhysicalOffsetX() { return Target()->Caps().Printable.Left; }
int TVirtualPrinter::GetPhysicalOffsetY() { return Target()->Caps().Printable.Top; }

TVirtualPrinter* VirtualPrinter() {
  static TVirtualPrinter instance;
  return &instance;
}

// ================================================================ TPrinterPreview

TPrinterPreview::TPrinterPreview(TPreviewBox* Box) : FPrinter(std::make_unique<TPrinter>()), FBox(Box) {
  assert(Box);
}

TPrinterPreview::~TPrinterPreview() {
  FCanvas.reset();
  FPages.clear();
}

bool TPrinterPreview::HasPrinters() { return FPrinter->Printers()->Count() > 0; }

// The values of the page that stands in when there is no printer at all.
int TPrinterPreview::GetPageWidth() { return HasPrinters() ? TVirtualPrinter::GetPageWidth() : NoPrinterWidth; }
int TPrinterPreview::GetPageHeight() { return HasPrinters() ? TVirtualPrinter::GetPageHeight() : NoPrinterHeight; }
int TPrinterPreview::GetFullPageWidth() {
  return HasPrinters() ? TVirtualPrinter::GetFullPageWidth() : NoPrinterWidth + 2 * NoPrinterOffsetX;
}
int TPrinterPreview::GetFullPageHeight() {
  return HasPrinters() ? TVirtualPrinter::GetFullPageHeight() : NoPrinterHeight + 2 * NoPrinterOffsetY;
}
int TPrinterPreview::GetPixelsPerInchX() { return HasPrinters() ? TVirtualPrinter::GetPixelsPerInchX() : NoPrinterDpi; }
int TPrinterPreview::GetPixelsPerInchY() { return HasPrinters() ? TVirtualPrinter::GetPixelsPerInchY() : NoPrinterDpi; }
int TPrinterPreview::GetPhysicalWidthMM() {
  return HasPrinters() ? TVirtualPrinter::GetPhysicalWidthMM() : NoPrinterWidthMM;
}
int TPrinterPreview::GetPhysicalHeightMM() {
  return HasPrinters() ? TVirtualPrinter::GetPhysicalHeightMM() : NoPrinterHeightMM;
}
int TPrinterPreview::GetPhysicalOffsetX() { return HasPrinters() ? TVirtualPrinter::GetPhysicalOffsetX() : NoPrinterOffsetX; }
int TPrinterPreview::GetPhysicalOffsetY() { return HasPrinters() ? TVirtualPrinter::GetPhysicalOffsetY() : NoPrinterOffsetY; }

int TPrinterPreview::MinDpi() { return std::min(GetPixelsPerInchX(), GetPixelsPerInchY()); }

TCanvas* TPrinterPreview::GetCanvas() {
  if (!FCanvas) throw EPrinter("Printer is not currently printing");
  return FCanvas.get();
}

TMetafile* TPrinterPreview::Page(int Index) const {
  if (Index < 1 || Index > PageCount()) return nullptr;
  // The page being drawn is no page to show yet.
  if (FCanvas && Index == PageCount()) return nullptr;
  return FPages[std::size_t(Index - 1)].get();
}

void TPrinterPreview::DrawPage(int N, TCanvas* Canvas) {
  if (TMetafile* page = Page(N)) page->Draw(Canvas, Rect(0, 0, page->Width(), page->Height()));
}

// A canvas on the last page, measuring like the printer (no device without printers).
void TPrinterPreview::OpenCanvas() {
  TMetafile* page = FPages.back().get();
  page->SetWidth(GetPageWidth());
  page->SetHeight(GetPageHeight());
  FCanvas = std::make_unique<TMetafileCanvas>(page, HasPrinters() ? FPrinter->Handle() : nullptr);
  TFont* font = FCanvas->Font();
  int size = font->Size();
  font->SetPixelsPerInch(MinDpi());
  font->SetSize(size);
}

// Ends the recording, which completes the page's metafile.
void TPrinterPreview::CloseCanvas() { FCanvas.reset(); }

void TPrinterPreview::StartDocument() {
  if (FPrinting) throw EPrinter("Printing in progress");
  FPages.clear();
  FPages.push_back(std::make_unique<TMetafile>());
  OpenCanvas();
  FPageNumber = 1;
  FAborted = false;
  FPrinting = true;
  FBox->SetPageCount(1);
  FBox->SetPageIndex(1);
  FBox->PreviewChanged();
}

void TPrinterPreview::StartNewPage() {
  if (!FPrinting) throw EPrinter("Printer is not currently printing");
  FPages.push_back(std::make_unique<TMetafile>());
  CloseCanvas();
  if (FPages.size() == 2) FBox->UpdateLayout();
  OpenCanvas();
  ++FPageNumber;
  FBox->SetPageCount(PageCount() - 1);
  FBox->OpenPreviewer();
  FBox->PreviewChanged();
}

void TPrinterPreview::FinishDocument() {
  if (!FPrinting) throw EPrinter("Printer is not currently printing");
  CloseCanvas();
  FBox->SetPageCount(PageCount());
  if (PageCount() == 1) FBox->UpdateLayout();
  FPageNumber = -1;
  FPrinting = false;
  FBox->SetSetupHandler(FSetupHandler);
  FBox->SetSetupChangedHandler(FSetupChangedHandler);
  FBox->SetPrintSource(FPrintSource);
  FSetupHandler = {};
  FSetupChangedHandler = {};
  FPrintSource = nullptr;
  FBox->OpenPreviewer();
  FBox->PreviewChanged();
}
