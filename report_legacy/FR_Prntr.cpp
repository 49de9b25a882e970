#include "report_legacy/FR_Prntr.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Utils.h"

#include "core/StringList.h"
#include "print/PrintDialogs.h"
#include "print/Printers.h"

#include <cmath>
#include <cstdlib>

namespace {

// Codes and sizes (0.1 mm, width first) of the virtual printer's papers.
const int kPaperTable[frPaperCount][3] = {
    {1, 2159, 2794},  {2, 2159, 2794},  {3, 2794, 4318},  {4, 4318, 2794},  {5, 2159, 3556},   {6, 1397, 2159},
    {7, 1842, 2667},  {8, 2970, 4200},  {9, 2100, 2970},  {10, 2100, 2970}, {11, 1480, 2100},  {12, 2500, 3540},
    {13, 1820, 2570}, {14, 2159, 3302}, {15, 2150, 2750}, {16, 2540, 3556}, {17, 2794, 4318},  {18, 2159, 2794},
    {19, 984, 2254},  {20, 1048, 2413}, {21, 1143, 2635}, {22, 1207, 2794}, {23, 1270, 2921},  {24, 4318, 5588},
    {25, 5588, 8636}, {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290}, {29, 3240, 4580}, {30, 2290, 3240},
    {31, 1140, 1620}, {32, 1140, 2290}, {33, 2500, 3530}, {34, 1760, 2500}, {35, 1760, 1250},  {36, 1100, 2300},
    {37, 984, 1905},  {38, 920, 1651},  {39, 3778, 2794}, {40, 2159, 3048}, {41, 2159, 3302},  {42, 2500, 3530},
    {43, 1000, 1480}, {44, 2286, 2794}, {45, 2540, 2794}, {46, 3810, 2794}, {47, 2200, 2200},  {50, 2355, 3048},
    {51, 2355, 3810}, {52, 2969, 4572}, {53, 2354, 3223}, {54, 2101, 2794}, {55, 2100, 2970},  {56, 2355, 3048},
    {57, 2270, 3560}, {58, 3050, 4870}, {59, 2159, 3223}, {60, 2100, 3300}, {61, 1480, 2100},  {62, 1820, 2570},
    {63, 3220, 4450}, {64, 1740, 2350}, {65, 2010, 2760}, {66, 4200, 5940}, {67, 2970, 4200},  {68, 3220, 4450},
    {256, 0, 0},
};

// Report units per inch.
constexpr double kUnitsPerInch = 18600.0 / 203.0;

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

TfrPrinter::TfrPrinter()
    : PaperNameList(std::make_unique<TStringList>()), SourceNames(std::make_unique<TStringList>()),
      PrinterNames(std::make_unique<TStringList>()) {
  FPapers.reserve(frPaperCount);
  for (const auto& p : kPaperTable) FPapers.push_back({p[0], String(), p[1], p[2]});
  LoadPaperNames();
}

TfrPrinter::~TfrPrinter() = default;

void TfrPrinter::LoadPaperNames() {
  for (int i = 0; i < frPaperCount; ++i) FPapers[static_cast<std::size_t>(i)].Name = LocaleText(55008 + i);
  if (PrinterNames->Count() > 0) PrinterNames->SetStrings(PrinterNames->Count() - 1, LocaleText(55007));
}

void TfrPrinter::SetSystemPrinter(TPrinter* Value) {
  PrinterNames->Clear();
  FPrinterNumber = 0;
  FPrinter = Value;
  FSystemCount = 0;
  if (FPrinter && FPrinter->Printers()->Count() > 0) {
    PrinterNames->Assign(FPrinter->Printers());
    FSystemCount = PrinterNames->Count();
    FPrinterNumber = std::max(0, FPrinter->PrinterIndex());
  }
  PrinterNames->Add(LocaleText(55007));
  FVirtualPrinterNumber = PrinterNames->Count() - 1;
  if (FSystemCount == 0) ApplyDeviceSettings();
  else ReadDeviceSettings();
}

void TfrPrinter::SetPrinterNumber(int Value) {
  if (Value == FPrinterNumber) return;
  FPrinterNumber = Value;
  if (IsVirtual()) {
    ApplyDeviceSettings();
  } else if (FPrinter && FSystemCount > 0) {
    FPrinter->SetPrinterIndex(Value);
    ReadDeviceSettings();
  }
}

void TfrPrinter::UseVirtualPrinter() {
  FPrinterNumber = FVirtualPrinterNumber;
  ApplyDeviceSettings();
}

void TfrPrinter::ReadDeviceSettings() {
  if (!FPrinter || IsVirtual()) return UseVirtualPrinter();
  try {
    String device, driver, port;
    DEVMODE* mode = nullptr;
    FPrinter->GetPrinter(device, driver, port, mode);
    if (!mode) return UseVirtualPrinter();
    DeviceName = device;
    DriverName = driver;
    PortName = port;
    PaperSize = mode->dmPaperSize;
    TPrinterCaps caps = FPrinter->Caps();
    PaperWidth = RoundHalfEven(double(caps.Paper.cx) / caps.DpiX * 254);
    PaperHeight = RoundHalfEven(double(caps.Paper.cy) / caps.DpiY * 254);
    PaperCodes.clear();
    PaperNameList->Clear();
    for (short code : FPrinter->PaperNumbers()) {
      PaperCodes.push_back(code);
      const TPaperInfo* info = FindPaper(code);
      PaperNameList->Add(info ? String(info->Name) : IntToStr(code));
    }
    Bin = mode->dmDefaultSource;
    SourceCodes.assign(1, -1);
    SourceNames->Clear();
    SourceNames->Add(LocaleText(55435));
    for (const TPrintBin& b : FPrinter->Bins()) {
      SourceCodes.push_back(b.Number);
      SourceNames->Add(b.Name);
    }
    Orientation = mode->dmOrientation == DMORIENT_PORTRAIT ? 0 : 1;
  } catch (const Exception&) {
    UseVirtualPrinter();
  }
}

void TfrPrinter::ApplyDeviceSettings() {
  if (IsVirtual() || !FPrinter) {
    PaperNameList->Clear();
    PaperCodes.clear();
    for (const TfrPaperInfo& p : FPapers) {
      PaperNameList->Add(p.Name);
      PaperCodes.push_back(p.Code);
    }
    if (PaperSize != frCustomPaper) {
      for (const TfrPaperInfo& p : FPapers)
        if (p.Code == PaperSize) {
          PaperWidth = Orientation == 0 ? p.Width : p.Height;
          PaperHeight = Orientation == 0 ? p.Height : p.Width;
          break;
        }
    }
    return;
  }
  String device, driver, port;
  DEVMODE* mode = nullptr;
  FPrinter->GetPrinter(device, driver, port, mode);
  if (mode) {
    DEVMODE m = *mode;
    m.dmPaperSize = static_cast<short>(PaperSize);
    if (PaperSize == frCustomPaper) {
      m.dmPaperLength = static_cast<short>(PaperHeight);
      m.dmPaperWidth = static_cast<short>(PaperWidth);
    }
    m.dmOrientation = Orientation == 0 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    m.dmCopies = 1;
    if (Bin != -1) m.dmDefaultSource = static_cast<short>(Bin);
    FPrinter->SetPrinter(device, driver, port, &m);
  }
  ReadDeviceSettings();
}

void TfrPrinter::ShowProperties() {
  if (!FPrinter || IsVirtual()) return;
  TPrinterSetupDialog dialog(nullptr);
  if (dialog.Execute()) ReadDeviceSettings();
}

bool TfrPrinter::SameSettings(int ASize, int AWidth, int AHeight, int ABin, int AOrientation) const {
  if (ASize == frCustomPaper && PaperSize == frCustomPaper)
    return std::abs(PaperWidth - AWidth) <= 1 && std::abs(PaperHeight - AHeight) <= 1 && Orientation == AOrientation;
  // 0xFFFF, as a page stores it, is the default bin as -1 is.
  auto bin = [](int b) { return (b & 0xFFFF) == 0xFFFF ? -1 : b; };
  return PaperSize == ASize && Orientation == AOrientation && (bin(Bin) == bin(ABin) || bin(ABin) == -1);
}

void TfrPrinter::SetPaper(int ASize, int AWidth, int AHeight, int ABin, int AOrientation, bool Always) {
  if (FPrinter && FPrinter->Printing()) return;
  if (!Always && SameSettings(ASize, AWidth, AHeight, ABin, AOrientation)) return;
  PaperSize = ASize;
  PaperWidth = AWidth;
  PaperHeight = AHeight;
  Bin = ABin;
  Orientation = AOrientation;
  ApplyDeviceSettings();
}

void TfrPrinter::GetPageInfo(TPrnPageInfo& Info) const {
  const double k = kUnitsPerInch;
  if (IsVirtual() || !FPrinter) {
    Info.PageWidth = RoundHalfEven(PaperWidth * k / 254);
    Info.PageHeight = RoundHalfEven(PaperHeight * k / 254);
    Info.OffsetX = Info.OffsetY = RoundHalfEven(50 * k / 254);
    Info.PrintableWidth = Info.PageWidth - 2 * Info.OffsetX;
    Info.PrintableHeight = Info.PageHeight - 2 * Info.OffsetY;
    return;
  }
  TPrinterCaps caps = FPrinter->Caps();
  Info.PhysWidth = caps.Paper.cx;
  Info.PhysHeight = caps.Paper.cy;
  Info.PhysOffsetX = caps.Printable.Left;
  Info.PhysOffsetY = caps.Printable.Top;
  Info.PrnWidth = caps.Printable.Right - caps.Printable.Left;
  Info.PrnHeight = caps.Printable.Bottom - caps.Printable.Top;
  Info.PageWidth = RoundHalfEven(Info.PhysWidth * k / caps.DpiX);
  Info.PageHeight = RoundHalfEven(Info.PhysHeight * k / caps.DpiY);
  Info.OffsetX = RoundHalfEven(Info.PhysOffsetX * k / caps.DpiX);
  Info.OffsetY = RoundHalfEven(Info.PhysOffsetY * k / caps.DpiY);
  Info.PrintableWidth = RoundHalfEven(Info.PrnWidth * k / caps.DpiX);
  Info.PrintableHeight = RoundHalfEven(Info.PrnHeight * k / caps.DpiY);
}

int TfrPrinter::PaperIndex(int Code) const {
  for (std::size_t i = 0; i < PaperCodes.size(); ++i)
    if (PaperCodes[i] == Code) return static_cast<int>(i);
  return -1;
}

// ================================================================ the global printer

namespace {
struct TPrinterGlobals {
  std::unique_ptr<TfrPrinter> Printer;
  int DefaultPaperSize = 9;
  bool Ready = false;
};
TPrinterGlobals& PrinterGlobals() {
  static TPrinterGlobals g;
  return g;
}
}  // namespace

TfrPrinter* GlobalPrinter() {
  TPrinterGlobals& g = PrinterGlobals();
  if (!g.Printer) {
    g.Printer = std::make_unique<TfrPrinter>();
    try {
      // Without a system printer the virtual one keeps A4: a paper code of -1 here would give
      // every new page a size of nothing.
      g.Printer->SetSystemPrinter(Printer());
    } catch (const Exception&) {
    }
    g.DefaultPaperSize = g.Printer->PaperSize;
    g.Ready = true;  // also after a failure, so loading never waits for ever
  }
  return g.Printer.get();
}

int DefaultPaperSize() {
  GlobalPrinter();
  return PrinterGlobals().DefaultPaperSize;
}

bool PrinterReady() {
  GlobalPrinter();
  return PrinterGlobals().Ready;
}

void FreeGlobalPrinter() {
  PrinterGlobals().Printer.reset();
  PrinterGlobals().Ready = false;
}
