#pragma once
// The report library's printer layer: every printer seen through TfrxCustomPrinter (paper
// and bin lists, metrics in millimetres, twelve operations for measuring and jobs), the
// report's own table of 66 paper sizes, the virtual printer (no device, 600 dpi, the table's
// papers) and the process-wide list of printers, ReportPrinters.
//
// System printers join the list with the report output; until then the list holds the
// virtual printer alone, named by the text of "prVirtual", and HasSystemPrinters is false.
#include "gui/Canvas.h"
#include "print/Printers.h"

#include <memory>
#include <vector>

class TStringList;
class TfrxCustomPrinter;

// One row of the paper table: sizes in tenths of a millimetre, portrait.
struct TfrxPaperInfo {
  int Number;
  const char* Name;
  int Width;
  int Height;
};
// The 66 rows, in the table's order.
const std::vector<TfrxPaperInfo>& ReportPaperTable();
// Width and height in millimetres (portrait) of a paper of the table; false (outputs left as
// they are) for a number it lacks.
bool LookupPaperSize(int Number, Extended& Width, Extended& Height);

// A canvas on a printer's device: fonts are sized for the printer's resolution.
class TfrxPrinterCanvas : public TCanvas {
public:
  explicit TfrxPrinterCanvas(TfrxCustomPrinter* APrinter) : FPrinter(APrinter) {}
  TfrxCustomPrinter* Printer() const { return FPrinter; }
  void Changing() override;
  // A font whose pixels per inch differ from the printer's vertical resolution keeps its
  // point size at the printer's resolution.
  void SyncFontResolution();

private:
  TfrxCustomPrinter* FPrinter;
};

class TfrxCustomPrinter {
public:
  TfrxCustomPrinter(const String& AName, const String& APort);
  virtual ~TfrxCustomPrinter();
  TfrxCustomPrinter(const TfrxCustomPrinter&) = delete;
  TfrxCustomPrinter& operator=(const TfrxCustomPrinter&) = delete;

  // ---- the twelve operations
  virtual void LoadDeviceInfo() = 0;
  virtual void CancelJob() = 0;
  virtual void StartJob() = 0;
  virtual void StartSheet() = 0;
  virtual void StartRawJob() = 0;
  virtual void FinishJob() = 0;
  virtual void FinishSheet() = 0;
  virtual void FinishRawJob() = 0;
  virtual void SendRawData(const String& Data) = 0;
  virtual void ApplyViewSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height) = 0;
  virtual void ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height,
                                  int Bin, int Duplex, int Copies) = 0;
  virtual void ShowDeviceSetup() = 0;

  // ---- lookups: entries carry their number in the list's object slot
  int BinIndexOf(int Number) const;
  int PaperIndexOf(int Number) const;
  // The number of the entry of that name; an unknown name gives entry 0's (7, 256).
  int BinNumberOf(const String& Name) const;
  int PaperNumberOf(const String& Name) const;
  // The number an entry carries.
  static int NumberAt(TStringList* List, int Index);

  // ---- state
  int BinOverride = -1;
  TStringList* BinList() const { return FBinList.get(); }
  TStringList* PaperList() const { return FPaperList.get(); }
  TfrxPrinterCanvas* Canvas() const { return FCanvas.get(); }
  TPrinterOrientation DefaultOrientation = poPortrait;
  int DefaultPaperSize = 0;
  Extended DefaultPaperHeight = 0, DefaultPaperWidth = 0;
  TPoint Resolution{0, 0};
  String OutputFileName;
  bool DeviceInfoLoaded = false;
  const String& DeviceName() const { return FDeviceName; }
  const String& PortName() const { return FPortName; }
  int ActivePaper = 0;
  Extended ActivePaperHeight = 0, ActivePaperWidth = 0;
  Extended UnprintableLeft = 0, UnprintableTop = 0, UnprintableRight = 0, UnprintableBottom = 0;
  TPrinterOrientation ActiveOrientation = poPortrait;
  bool JobRunning = false;
  String DocumentTitle;

protected:
  // Appends (name, number) to a list.
  static void AddEntry(TStringList* List, const String& Name, int Number);

private:
  std::unique_ptr<TStringList> FBinList, FPaperList;
  std::unique_ptr<TfrxPrinterCanvas> FCanvas;
  String FDeviceName, FPortName;
};

// A printer without a device: 600 dpi, A4 portrait by default, the papers of the table.
class TfrxVirtualPrinter : public TfrxCustomPrinter {
public:
  using TfrxCustomPrinter::TfrxCustomPrinter;
  void LoadDeviceInfo() override;
  void CancelJob() override {}
  void StartJob() override {}
  void StartSheet() override {}
  void StartRawJob() override {}
  void FinishJob() override {}
  void FinishSheet() override {}
  void FinishRawJob() override {}
  void SendRawData(const String&) override {}
  // A paper of the table takes its size (exchanged for landscape); 256 or a number the table
  // lacks takes Width and Height and becomes 256. Margins are 5 mm.
  void ApplyViewSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height) override;
  void ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height, int Bin,
                          int Duplex, int Copies) override;
  void ShowDeviceSetup() override {}
};

// The printers of the process and the selected one.
class TfrxPrinters {
public:
  TfrxPrinters();
  ~TfrxPrinters();
  TfrxPrinters(const TfrxPrinters&) = delete;
  TfrxPrinters& operator=(const TfrxPrinters&) = delete;

  int Count() const { return static_cast<int>(FPrinters.size()); }
  TfrxCustomPrinter* PrinterAt(int Index) const;
  // The selected printer; nullptr when none is.
  TfrxCustomPrinter* CurrentPrinter() const;
  TStringList* PrinterNames() const { return FPrinterNames.get(); }
  int SelectedIndex() const { return FSelectedIndex; }
  bool HasSystemPrinters() const { return FHasSystemPrinters; }

  // -1 selects the system's default printer; the printer selected loads its device data.
  void SelectPrinter(int Index);
  // Case ignored; -1 when none.
  int IndexOfName(const String& Name) const;
  void Clear();
  // The system's printers; none until system printers are part of the report output.
  void FillPrinters();
  void AddPrinter(TfrxCustomPrinter* Printer);
  // The name of the system's default printer; '' when there is none.
  static String DefaultPrinterName();

private:
  std::vector<std::unique_ptr<TfrxCustomPrinter>> FPrinters;
  std::unique_ptr<TStringList> FPrinterNames;
  int FSelectedIndex = -1;
  bool FHasSystemPrinters = false;
};

// The process-wide list, made on first use.
TfrxPrinters* ReportPrinters();
