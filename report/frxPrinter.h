#pragma once
// The report library's printer layer: every printer seen through TfrxCustomPrinter (paper
// and bin lists, metrics in millimetres, twelve operations for measuring and jobs), the
// report's own table of 66 paper sizes, the virtual printer (no device, 600 dpi, the table's
// papers) and the process-wide list of printers, ReportPrinters.
//
// The list holds one TfrxPrinter per printer of the platform's printer source (the PDF
// printer included); only when the source has none does the virtual printer, named by the
// text of "prVirtual", stand in, and HasSystemPrinters is false.
#include "gui/Canvas.h"
#include "print/Printers.h"

#include <memory>
#include <string>
#include <vector>

class TStringList;
class TfrxCustomPrinter;
class TSheetRecorder;

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

// A printer of the platform over one of its devices. The device mode is the printer's own:
// view settings change it for measuring, print settings for the sheets that follow. Outside
// a job the canvas measures on a context with the device's metrics; in a job each sheet is
// recorded at the device's resolution and handed to the device with the mode it was drawn
// for. A job into OutputFileName writes PDF whatever the file's extension.
class TfrxPrinter : public TfrxCustomPrinter {
public:
  TfrxPrinter(const String& AName, const String& APort, std::unique_ptr<TPrintDevice> ADevice);
  ~TfrxPrinter() override;

  void LoadDeviceInfo() override;
  void CancelJob() override;
  void StartJob() override;
  void StartSheet() override;
  // Raw jobs collect their bytes and hand them over whole when they finish: to OutputFileName
  // when set, else to the spooler. The PDF printer takes no raw job (EPrinter).
  void StartRawJob() override;
  void FinishJob() override;
  void FinishSheet() override;
  void FinishRawJob() override;
  void SendRawData(const String& Data) override;
  void ApplyViewSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height) override;
  void ApplyPrintSettings(int Paper, TPrinterOrientation Orientation, Extended Width, Extended Height, int Bin,
                          int Duplex, int Copies) override;
  // The platform's printer setup dialog on this printer's mode; a confirmed dialog's paper
  // source becomes BinOverride.
  void ShowDeviceSetup() override;

  TPrintDevice* Device() const { return FDevice.get(); }
  const DEVMODE& DeviceMode() const { return FMode; }
  // The device's message when the last job failed to end (FinishJob swallows it); '' when
  // it ended well.
  const String& JobError() const { return FJobError; }

private:
  void RecreateContext();
  void ReadDeviceMetrics();
  void ReadPaperList();
  void ReadBinList();
  void EndDeviceJob(bool Abort);

  std::unique_ptr<TPrintDevice> FDevice;
  TPrintDevice* FJobDevice = nullptr;          // the device of the open job
  std::unique_ptr<TPrintDevice> FFileDevice;   // the PDF writer of a job into a file
  std::unique_ptr<TSheetRecorder> FContext;
  DEVMODE FMode;
  bool FHasMode = false;
  String FJobError;
  bool FRawRunning = false;
  std::string FRawData;
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
  // One printer per printer of the platform's printer source, in its order.
  void FillPrinters();
  void AddPrinter(TfrxCustomPrinter* Printer);
  // The name of the source's default printer when the list was filled; '' when none.
  String DefaultPrinterName() const { return FDefaultName; }

private:
  std::vector<std::unique_ptr<TfrxCustomPrinter>> FPrinters;
  std::unique_ptr<TStringList> FPrinterNames;
  int FSelectedIndex = -1;
  bool FHasSystemPrinters = false;
  String FDefaultName;
};

// The process-wide list, made on first use.
TfrxPrinters* ReportPrinters();
// Drops the process-wide list; the next ReportPrinters() reads the printer source again.
void ResetReportPrinters();
