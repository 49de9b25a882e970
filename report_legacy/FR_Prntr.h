#pragma once
// The older engine's view of the printer: the selected printer, its papers and sources, the
// current paper, and the page geometry reports are laid out on. Besides the system's printers
// it offers a virtual printer with a built-in paper table, so reports can be designed and
// previewed without a printer.
#include "core/System.h"

#include <memory>
#include <vector>

class TPrinter;
class TStringList;
struct TPrnPageInfo;

// One entry of the built-in paper table: code, name, width and height in 0.1 mm.
struct TfrPaperInfo {
  int Code;
  String Name;
  int Width, Height;
};
// The 67 papers of the virtual printer, names from the locale.
constexpr int frPaperCount = 67;
constexpr int frCustomPaper = 256;

class TfrPrinter : public TObject {
public:
  TfrPrinter();
  ~TfrPrinter() override;

  void LoadPaperNames();
  // Attaches a platform printer: its printers, then the virtual one last.
  void SetSystemPrinter(TPrinter* Value);
  TPrinter* SystemPrinter() const { return FPrinter; }
  int PrinterNumber() const { return FPrinterNumber; }
  void SetPrinterNumber(int Value);
  bool IsVirtual() const { return FPrinterNumber == FVirtualPrinterNumber; }

  void ReadDeviceSettings();
  void ApplyDeviceSettings();
  // The printer's own settings dialog; confirmed settings are read again.
  void ShowProperties();
  void RefreshSettings() { ReadDeviceSettings(); }
  bool SameSettings(int ASize, int AWidth, int AHeight, int ABin, int AOrientation) const;
  void SetPaper(int ASize, int AWidth, int AHeight, int ABin, int AOrientation, bool Always = false);
  void GetPageInfo(TPrnPageInfo& Info) const;

  const std::vector<TfrPaperInfo>& Papers() const { return FPapers; }
  // Index of a paper code among PaperCodes, -1 when absent.
  int PaperIndex(int Code) const;

  String DeviceName, DriverName, PortName;
  std::unique_ptr<TStringList> PaperNameList, SourceNames, PrinterNames;
  int VirtualPrinterNumber() const { return FVirtualPrinterNumber; }
  int Orientation = 0;
  int PaperSize = 9;
  int PaperWidth = 0, PaperHeight = 0;
  int Bin = -1;
  std::vector<int> PaperCodes;
  std::vector<int> SourceCodes;

private:
  void UseVirtualPrinter();

  TPrinter* FPrinter = nullptr;
  int FPrinterNumber = 0;
  int FVirtualPrinterNumber = 0;
  std::vector<TfrPaperInfo> FPapers;
  int FSystemCount = 0;
};

// The one printer object, its first paper code for new pages, and the flag that report
// loading waits for; made ready on first use.
TfrPrinter* GlobalPrinter();
int DefaultPaperSize();
bool PrinterReady();
// Frees the printer object (a test that changes the platform's printers starts again).
void FreeGlobalPrinter();
