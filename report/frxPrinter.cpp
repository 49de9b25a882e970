#include "report/frxPrinter.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/StringList.h"
#include "report/frxRes.h"

#include <cstdint>

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

// ---------------------------------------------------------------- the list

TfrxPrinters::TfrxPrinters() : FPrinterNames(std::make_unique<TStringList>()) {
  FillPrinters();
  if (Count() > 0) {
    FHasSystemPrinters = true;
    SelectPrinter(IndexOfName(DefaultPrinterName()));
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
  if (Index == -1) Index = IndexOfName(DefaultPrinterName());
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

void TfrxPrinters::FillPrinters() { Clear(); }

void TfrxPrinters::AddPrinter(TfrxCustomPrinter* Printer) {
  FPrinters.emplace_back(Printer);
  FPrinterNames->Add(Printer->DeviceName());
}

String TfrxPrinters::DefaultPrinterName() { return String(); }

TfrxPrinters* ReportPrinters() {
  static TfrxPrinters printers;
  return &printers;
}
