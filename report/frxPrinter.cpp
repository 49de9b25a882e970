#include "report/frxPrinter.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/StringList.h"
#include "report/frxRes.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "print/PrintDialogs.h"
#include "print/RawJob.h"
#include "print/SheetRecorder.h"
#include "core/Scope.h"

#include <cmath>
#include <cstdint>
#include <utility>

const std::vector<TfrxPaperInfo>& ReportPaperTable() {
  static const std::vector<TfrxPaperInfo> table = {
      {1, "", 2159, 2794},  {2, "", 2159, 2794},  {3, "", 2794, 4318},  {4, "", 4318, 2794},  {5, "", 2159, 3556},
      {6, "", 1397, 2159},  {7, "", 1842, 2667},  {8, "", 2970, 4200},  {9, "", 2100, 2970},  {10, "", 2100, 2970},
      {11, "", 1480, 2100}, {12, "", 2500, 3540}, {13, "", 1820, 2570}, {14, "", 2159, 3302}, {15, "", 2150, 2750},
      {16, "", 2540, 3556}, {17, "", 2794, 4318}, {18, "", 2159, 2794}, {19, "", 984, 2254},  {20, "", 1048, 2413},
      {21, "", 1143, 2635}, {22, "", 1207, 2794}, {23, "", 1270, 2921}, {24, "", 4318, 5588}, {25, "", 5588, 8636},
      {26, "", 8636, 11176}, {27, "", 1100, 2200}, {28, "", 1620, 2290}, {29, "", 3240, 4580}, {30, "", 2290, 3240},
      {31, "", 1140, 1620}, {32, "", 1140, 2290}, {33, "", 2500, 3530}, {34, "", 1760, 2500}, {35, "", 1760, 1250},
      {36, "", 1100, 2300}, {37, "", 984, 1905},  {38, "", 920, 1651},  {39, "", 3778, 2794}, {40, "", 2159, 3048},
      {41, "", 2159, 3302}, {42, "", 2500, 3530}, {43, "", 1000, 1480}, {44, "", 2286, 2794}, {45, "", 2540, 2794},
      {46, "", 3810, 2794}, {47, "", 2200, 2200}, {50, "", 2355, 3048}, {51, "", 2355, 3810}, {52, "", 2969, 4572},
      {53, "", 2354, 3223}, {54, "", 2101, 2794}, {55, "", 2100, 2970}, {56, "", 2355, 3048}, {57, "", 2270, 3560},
      {58, "", 3050, 4870}, {59, "", 2159, 3223}, {60, "", 2100, 3300}, {61, "", 1480, 2100}, {62, "", 1820, 2570},
      {63, "", 3220, 4450}, {64, "", 1740, 2350}, {65, "", 2010, 2760}, {66, "", 4200, 5940}, {67, "", 2970, 4200},
      {68, "", 3220, 4450},
  };
  return table;
}

bool LookupPaperSize(int Number, Extended& Width, Extended& Height) {
  for (const TfrxPaperInfo& p : ReportPaperTable())
    if (p.Number == Number) {
      Width = p.Width / 10.0L;
      Height = p.Height / 10.0L;
      return true;
    }
  return false;
}

// ---------------------------------------------------------------- canvas

void TfrxPrinterCanvas::Changing() {
  TCanvas::Changing();
  SyncFontResolution();
}

void TfrxPrinterCanvas::SyncFontResolution() {
  int dpi = FPrinter->Resolution.Y;
  if (dpi <= 0 || Font()->PixelsPerInch() == dpi) return;
  int size = Font()->Size();
  Font()->SetPixelsPerInch(dpi);
  Font()->SetSize(size);
}

// ---------------------------------------------------------------- one printer

TfrxCustomPrinter::TfrxCustomPrinter(const String& AName, const String& APort)
    : FBinList(std::make_unique<TStringList>()),
      FPaperList(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TfrxPrinterCanvas>(this)),
      FDeviceName(AName),
      FPortName(APort) {
  AddEntry(FBinList.get(), ReportResources()->TextOf("prDefault"), 7);
  AddEntry(FPaperList.get(), ReportResources()->TextOf("prCustom"), 256);
}

TfrxCustomPrinter::~TfrxCustomPrinter() = default;

void TfrxCustomPrinter::AddEntry(TStringList* List, const String& Name, int Number) {
  List->AddObject(Name, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Number)));
}

int TfrxCustomPrinter::NumberAt(TStringList* List, int Index) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(List->Objects(Index)));
}

int TfrxCustomPrinter::BinIndexOf(int Number) const {
  for (int i = 0; i < FBinList->Count(); ++i)
    if (NumberAt(FBinList.get(), i) == Number) return i;
  return -1;
}

int TfrxCustomPrinter::PaperIndexOf(int Number) const {
  for (int i = 0; i < FPaperList->Count(); ++i)
    if (NumberAt(FPaperList.get(), i) == Number) return i;
  return -1;
}

int TfrxCustomPrinter::BinNumberOf(const String& Name) const {
  int i = FBinList->IndexOf(Name);
  return NumberAt(FBinList.get(), i < 0 ? 0 : i);
}

int TfrxCustomPrinter::PaperNumberOf(const String& Name) const {
  int i = FPaperList->IndexOf(Name);
  return NumberAt(FPaperList.get(), i < 0 ? 0 : i);
}

// ---------------------------------------------------------------- the virtual printer

void TfrxVirtualPrinter::LoadDeviceInfo() {
  if (DeviceInfoLoaded) return;
  Resolution = TPoint{600, 600};
  DefaultPaperSize = 9;
  DefaultOrientation = poPortrait;
  DefaultPaperWidth = 210;
  DefaultPaperHeight = 297;
  for (const TfrxPaperInfo& p : ReportPaperTable()) AddEntry(PaperList(), p.Name, p.Number);
  BinOverride = -1;
  DeviceInfoLoaded = true;
}

void TfrxVirtualPrinter::ApplyViewSettings(int Paper, TPrinterOrientation Orientation, Extended Width,
                                           Extended Height) {
  Extended w, h;
  if (Paper != 256 && LookupPaperSize(Paper, w, h)) {
    ActivePaper = Paper;
    ActivePaperWidth = Orientation == poLandscape ? h : w;
    ActivePaperHeight = Orientation == poLandscape ? w : h;
  } else {
    ActivePaper = 256;
    ActivePaperWidth = Width;
    ActivePaperHeight = Height;
  }
  ActiveOrientation = Orientation;
  UnprintableLeft = UnprintableTop = UnprintableRight = UnprintableBottom = 5;
}

void TfrxVirtualPrinter::ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width,
                                            Extended Height, int Bin, int, int) {
  ApplyViewSettings(Paper, Orientation, Width, Height);
  BinOverride = Bin;
}

// ---------------------------------------------------------------- a printer of the platform

TfrxPrinter::TfrxPrinter(const String& AName, const String& APort, std::unique_ptr<TPrintDevice> ADevice)
    : TfrxCustomPrinter(AName, APort), FDevice(std::move(ADevice)) {}

TfrxPrinter::~TfrxPrinter() {
  if (JobRunning) {
    try {
      CancelJob();
    } catch (...) {
    }
  }
  Canvas()->SetHandle(nullptr);
}

void TfrxPrinter::LoadDeviceInfo() {
  if (DeviceInfoLoaded) return;
  if (!FHasMode) {
    FMode = FDevice->DefaultMode();
    FHasMode = true;
  }
  RecreateContext();
  ReadDeviceMetrics();
  DefaultPaperSize = ActivePaper = FMode.dmPaperSize;
  DefaultPaperWidth = ActivePaperWidth;
  DefaultPaperHeight = ActivePaperHeight;
  DefaultOrientation = FMode.dmOrientation == DMORIENT_PORTRAIT ? poPortrait : poLandscape;
  ActiveOrientation = DefaultOrientation;
  ReadPaperList();
  ReadBinList();
  BinOverride = -1;
  DeviceInfoLoaded = true;
}

// Lists keep their first entry; a device's own custom paper or automatic bin is not repeated.
void TfrxPrinter::ReadPaperList() {
  while (PaperList()->Count() > 1) PaperList()->Delete(1);
  for (short n : FDevice->Papers()) {
    if (n == DMPAPER_USER) continue;
    const TPaperInfo* info = FindPaper(n);
    AddEntry(PaperList(), info ? String(info->Name) : String(), n);
  }
}

void TfrxPrinter::ReadBinList() {
  while (BinList()->Count() > 1) BinList()->Delete(1);
  for (const TPrintBin& b : FDevice->Bins())
    if (b.Number != DMBIN_AUTO) AddEntry(BinList(), b.Name, b.Number);
}

// The context measures with the device's metrics for the current mode; the canvas draws on it.
void TfrxPrinter::RecreateContext() {
  Canvas()->SetHandle(nullptr);
  FContext = std::make_unique<TSheetRecorder>(FDevice->Caps(FMode));
  Canvas()->SetHandle(FContext->DC());
  Canvas()->Refresh();
  Canvas()->SyncFontResolution();
}

void TfrxPrinter::ReadDeviceMetrics() {
  HDC dc = FContext->DC();
  int dx = GetDeviceCaps(dc, LOGPIXELSX), dy = GetDeviceCaps(dc, LOGPIXELSY);
  if (dx == 0 || dy == 0) throw EPrinter("Printer selected is not valid");
  Resolution = TPoint{dx, dy};
  ActivePaperHeight = GetDeviceCaps(dc, PHYSICALHEIGHT) * 25.4L / dy;
  ActivePaperWidth = GetDeviceCaps(dc, PHYSICALWIDTH) * 25.4L / dx;
  UnprintableLeft = GetDeviceCaps(dc, PHYSICALOFFSETX) * 25.4L / dx;
  UnprintableTop = GetDeviceCaps(dc, PHYSICALOFFSETY) * 25.4L / dy;
  UnprintableRight = ActivePaperWidth - GetDeviceCaps(dc, HORZRES) * 25.4L / dx - UnprintableLeft;
  UnprintableBottom = ActivePaperHeight - GetDeviceCaps(dc, VERTRES) * 25.4L / dy - UnprintableTop;
}

namespace {

// A paper the platform may not know by number still reaches it with its size.
void SetModePaper(DEVMODE& Mode, int Paper, Extended Width, Extended Height) {
  Mode.dmPaperSize = short(Paper);
  Extended w = Width, h = Height;
  if (Paper != DMPAPER_USER && !LookupPaperSize(Paper, w, h)) return;
  Mode.dmPaperWidth = short(std::lround(w * 10));
  Mode.dmPaperLength = short(std::lround(h * 10));
}

short OrientationOf(TPrinterOrientation Orientation) {
  return Orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

}  // namespace

void TfrxPrinter::ApplyViewSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height) {
  if (Paper == DMPAPER_USER) {
    ApplyViewSettings(DMPAPER_A4, Orientation, 0, 0);
    ActivePaperWidth = Width;
    ActivePaperHeight = Height;
  } else {
    DEVMODE mode = FMode;
    SetModePaper(mode, Paper, 0, 0);
    mode.dmOrientation = OrientationOf(Orientation);
    FMode = mode;
    RecreateContext();
    ReadDeviceMetrics();
  }
  ActivePaper = Paper;
  ActiveOrientation = Orientation;
}

void TfrxPrinter::ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height,
                                     int Bin, int Duplex, int Copies) {
  DEVMODE mode = FMode;
  SetModePaper(mode, Paper, Width, Height);
  mode.dmOrientation = OrientationOf(Orientation);
  mode.dmCopies = short(Copies);
  if (BinOverride != -1) Bin = BinOverride;
  if (Bin != DMBIN_AUTO) mode.dmDefaultSource = short(Bin);
  if (Duplex == 4) mode.dmDuplex = DMDUP_SIMPLEX;
  else if (Duplex != 1) mode.dmDuplex = short(Duplex);
  FMode = mode;
  // The open sheet keeps being recorded; the next one is measured for the new mode.
  if (!FContext || !FContext->SheetOpen()) RecreateContext();
  ReadDeviceMetrics();
  ActivePaper = Paper;
  ActiveOrientation = Orientation;
}

void TfrxPrinter::StartJob() {
  FJobError.clear();
  FJobDevice = FDevice.get();
  if (!OutputFileName.empty()) {
    FFileDevice = CreatePdfPrintDevice();
    FJobDevice = FFileDevice.get();
  }
  FJobDevice->BeginJob(TPrintJob{DocumentTitle, FMode, OutputFileName, FDevice->Caps(FMode)});
  JobRunning = true;
  RecreateContext();
}

void TfrxPrinter::StartSheet() {
  RecreateContext();
  FContext->BeginSheet();
  Canvas()->Refresh();
}

void TfrxPrinter::FinishSheet() {
  Canvas()->Refresh();
  std::unique_ptr<TMetafile> sheet = FContext->EndSheet();
  if (sheet && FJobDevice) FJobDevice->AddSheet(*sheet, FMode);
}

void TfrxPrinter::EndDeviceJob(bool Abort) {
  TPrintDevice* device = std::exchange(FJobDevice, nullptr);
  JobRunning = false;
  BinOverride = -1;
  TScopeExit done([this] {
    FFileDevice.reset();
    RecreateContext();
  });
  if (!device) return;
  if (Abort) device->AbortJob();
  else device->EndJob();
}

void TfrxPrinter::FinishJob() {
  try {
    EndDeviceJob(false);
  } catch (const Exception& e) {
    FJobError = e.Message();
  }
}

void TfrxPrinter::CancelJob() {
  if (FJobDevice) EndDeviceJob(true);
  FinishJob();
}

void TfrxPrinter::StartRawJob() {
  if (FDevice->WritesFile() && OutputFileName.empty())
    throw EPrinter(Format("The printer \"%s\" takes no raw data", {DeviceName()}));
  RecreateContext();
  FRawData.clear();
  FRawRunning = true;
}

void TfrxPrinter::SendRawData(const String& Data) {
  if (FRawRunning) FRawData += Data;
}

void TfrxPrinter::FinishRawJob() {
  if (!FRawRunning) return;
  FRawRunning = false;
  SendRawJob(DeviceName(), DocumentTitle, std::exchange(FRawData, std::string()), OutputFileName);
}

void TfrxPrinter::ShowDeviceSetup() {
  DEVMODE mode = FMode;
  if (!EditDeviceMode(DeviceName(), *FDevice, mode)) return;
  FMode = mode;
  BinOverride = FMode.dmDefaultSource;
  RecreateContext();
}

// ---------------------------------------------------------------- the list

TfrxPrinters::TfrxPrinters() : FPrinterNames(std::make_unique<TStringList>()) {
  FillPrinters();
  if (Count() > 0) {
    FHasSystemPrinters = true;
    SelectPrinter(-1);
  } else {
    AddPrinter(new TfrxVirtualPrinter(ReportResources()->TextOf("prVirtual"), String()));
    FHasSystemPrinters = false;
    SelectPrinter(0);
  }
}

TfrxPrinters::~TfrxPrinters() = default;

TfrxCustomPrinter* TfrxPrinters::PrinterAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FPrinters[static_cast<std::size_t>(Index)].get();
}

TfrxCustomPrinter* TfrxPrinters::CurrentPrinter() const {
  return FSelectedIndex >= 0 && FSelectedIndex < Count() ? FPrinters[static_cast<std::size_t>(FSelectedIndex)].get()
                                                         : nullptr;
}

void TfrxPrinters::SelectPrinter(int Index) {
  // Without a default the first printer serves: the calls that follow need a printer.
  if (Index == -1) Index = std::max(0, IndexOfName(DefaultPrinterName()));
  FSelectedIndex = Index;
  if (TfrxCustomPrinter* p = CurrentPrinter()) p->LoadDeviceInfo();
}

int TfrxPrinters::IndexOfName(const String& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(FPrinters[static_cast<std::size_t>(i)]->DeviceName(), Name)) return i;
  return -1;
}

void TfrxPrinters::Clear() {
  FPrinters.clear();
  FPrinterNames->Clear();
  FSelectedIndex = -1;
}

void TfrxPrinters::FillPrinters() {
  Clear();
  FDefaultName.clear();
  TPrinterSource& source = CurrentPrinterSource();
  std::vector<std::unique_ptr<TPrintDevice>> devices = source.Devices();
  int def = source.DefaultIndex();
  if (def >= 0 && def < int(devices.size())) FDefaultName = devices[std::size_t(def)]->Name();
  for (auto& d : devices) {
    String name = d->Name();
    AddPrinter(new TfrxPrinter(name, String(), std::move(d)));
  }
}

void TfrxPrinters::AddPrinter(TfrxCustomPrinter* Printer) {
  FPrinters.emplace_back(Printer);
  FPrinterNames->Add(Printer->DeviceName());
}

namespace {
std::unique_ptr<TfrxPrinters>& PrintersSlot() {
  static std::unique_ptr<TfrxPrinters> printers;
  return printers;
}
}  // namespace

TfrxPrinters* ReportPrinters() {
  auto& slot = PrintersSlot();
  if (!slot) slot = std::make_unique<TfrxPrinters>();
  return slot.get();
}

void ResetReportPrinters() { PrintersSlot().reset(); }
