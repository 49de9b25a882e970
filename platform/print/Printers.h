#pragma once
// Printers: the process-wide TPrinter, the printers it can choose from and their device
// modes. A job's pages are recorded as metafiles and handed to the printer's device page by
// page, so the same pages reach a real printer, the PDF printer or a test's recording
// printer. The PDF printer ("PDF", A4 at 600 dpi, no unprintable margins) is always in the
// list the system gives; tests replace the whole list with a printer source of their own.
// Declares TPaperInfo, TPrinterCaps, TPrintJob, TPrintBin, TPrintDevice, TPrinterSource and
// TPrinter.
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "gui/Graphics.h"
#include "print/Metafile.h"

#include <memory>
#include <vector>

// ================================================================ device mode

enum : short { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : short {
  DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_EXECUTIVE = 7, DMPAPER_A3 = 8, DMPAPER_A4 = 9, DMPAPER_A5 = 11,
  DMPAPER_B4 = 12, DMPAPER_B5 = 13, DMPAPER_ENV_10 = 20, DMPAPER_ENV_DL = 27, DMPAPER_ENV_C5 = 28,
  DMPAPER_ENV_B5 = 34, DMPAPER_ENV_MONARCH = 37, DMPAPER_A6 = 70, DMPAPER_USER = 256
};
enum : short {
  DMBIN_UPPER = 1, DMBIN_LOWER = 2, DMBIN_MIDDLE = 3, DMBIN_MANUAL = 4, DMBIN_ENVELOPE = 5, DMBIN_AUTO = 7,
  DMBIN_TRACTOR = 8, DMBIN_LARGECAPACITY = 11, DMBIN_USER = 256
};
enum : short { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };
enum : short { DMCOLLATE_FALSE = 0, DMCOLLATE_TRUE = 1 };

// The settings of a printer that a job uses. Paper sizes are in tenths of a millimetre, for
// the paper number (DMPAPER_USER: any size).
struct DEVMODE {
  String dmDeviceName;
  short dmOrientation = DMORIENT_PORTRAIT;
  short dmPaperSize = DMPAPER_A4;
  short dmPaperLength = 2970;
  short dmPaperWidth = 2100;
  short dmCopies = 1;
  short dmDefaultSource = DMBIN_AUTO;
  short dmDuplex = DMDUP_SIMPLEX;
  short dmCollate = DMCOLLATE_FALSE;
};

// ================================================================ paper table

struct TPaperInfo {
  short Number;
  const char* Name;
  short Width, Length;  // tenths of a millimetre, portrait
};
// The papers the layer knows, by number.
const std::vector<TPaperInfo>& PaperTable();
// nullptr for unknown numbers.
const TPaperInfo* FindPaper(short Number);
// The paper whose size is within a millimetre of the given one, else nullptr.
const TPaperInfo* FindPaperBySize(short Width, short Length);

// ================================================================ devices

// What a printer offers with a device mode, in device pixels.
struct TPrinterCaps {
  int DpiX = 600, DpiY = 600;
  TSize Paper;         // the whole sheet
  TRect Printable;     // where it prints, on the sheet
};

struct TPrintJob {
  String Title;
  DEVMODE Mode;
  String FileName;  // the PDF printer's output file
  TPrinterCaps Caps;
};

struct TPrintBin {
  short Number;
  String Name;
};

// One printer of the list. A job begins, receives its pages one by one and ends or is
// aborted; a failure to start raises EPrinter.
class TPrintDevice {
public:
  virtual ~TPrintDevice() = default;
  virtual String Name() const = 0;
  // The PDF printer writes to a file (chosen in the print dialog or set on the printer).
  virtual bool WritesFile() const { return false; }
  virtual TPrinterCaps Caps(const DEVMODE& Mode) const = 0;
  virtual DEVMODE DefaultMode() const;
  // Paper numbers and bins the printer offers.
  virtual std::vector<short> Papers() const;
  virtual std::vector<TPrintBin> Bins() const;
  virtual void BeginJob(const TPrintJob& Job) = 0;
  virtual void AddPage(const TMetafile& Page) = 0;
  // A page with a device mode of its own: paper and orientation may change from sheet to
  // sheet within one job (bin, duplex and copies stay the job's). Devices that cannot change
  // them print the page as AddPage does.
  virtual void AddSheet(const TMetafile& Page, const DEVMODE& Mode);
  virtual void EndJob() = 0;
  virtual void AbortJob() = 0;
};

// The printers to choose from.
class TPrinterSource {
public:
  virtual ~TPrinterSource() = default;
  virtual std::vector<std::unique_ptr<TPrintDevice>> Devices() = 0;
  // The index of the system's default printer in Devices().
  virtual int DefaultIndex() { return 0; }
};

// The system's printers and the PDF printer after them.
std::unique_ptr<TPrinterSource> CreateSystemPrinterSource();
// The source printers come from now (the system's unless a test replaced it).
TPrinterSource& CurrentPrinterSource();
// The PDF printer.
std::unique_ptr<TPrintDevice> CreatePdfPrintDevice();
// Replaces the source the printers come from (nullptr: the system's again); the printer of
// Printer() reads its list again. Returns the previous source.
std::unique_ptr<TPrinterSource> SetPrinterSource(std::unique_ptr<TPrinterSource> Source);

// ================================================================ TPrinter

KELM_ENUM(TPrinterOrientation, poPortrait, poLandscape)

class TPrinterCanvas;

class TPrinter : public TObject {
public:
  TPrinter();
  ~TPrinter() override;

  // ---- the job
  // EPrinter "Printing in progress" during a job, "There is no default printer currently
  // selected" without printers; the device's error when it cannot start.
  void BeginDoc();
  // EPrinter "Printer is not currently printing" outside a job.
  void NewPage();
  void EndDoc();
  // Ends the job without printing the rest; a file being written is removed.
  void Abort();
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  int PageNumber() const { return FPageNumber; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& v) { FTitle = v; }
  // Origin at the printable top-left, device pixels, the printer's resolution.
  TCanvas* Canvas();
  // The page's device context during a job, else one for measuring.
  HDC Handle();

  // ---- settings of the selected printer (EPrinter without printers)
  int Copies();
  void SetCopies(int v);
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation v);
  int PageWidth();   // printable, device pixels
  int PageHeight();
  // The PDF printer's output file.
  const String& FileName() const { return FFileName; }
  void SetFileName(const String& v) { FFileName = v; }
  bool WritesFile();

  // ---- the printers
  TStrings* Printers();
  // -1 selects the default printer.
  int PrinterIndex();
  void SetPrinterIndex(int v);
  // Reads the list again from the printer source (the selection is kept by name).
  void Refresh();
  // Device, driver and port names (driver and port are empty) and the device mode of the
  // selected printer; the mode stays the printer's, changes to it are used by the next job.
  void GetPrinter(String& Device, String& Driver, String& Port, DEVMODE*& Mode);
  // Selects a printer by name (EPrinter for an unknown one) and, when given, a device mode.
  void SetPrinter(const String& Device, const String& Driver, const String& Port, const DEVMODE* Mode);
  DEVMODE* DeviceMode();
  std::vector<short> PaperNumbers();
  std::vector<TPrintBin> Bins();
  TPrinterCaps Caps();

private:
  TPrintDevice& Current();
  void CheckPrinting(bool Value) const;
  void LoadDevices();
  void StartPage(bool Keep);
  void FinishPage();
  void EndJob();
  void ModeChanged();

  std::vector<std::unique_ptr<TPrintDevice>> FDevices;
  std::vector<DEVMODE> FModes;
  std::unique_ptr<TStringList> FPrinters;
  int FIndex = -1;
  int FDefault = -1;
  bool FLoaded = false;
  String FTitle, FFileName;
  String FReselect;  // the printer to select again after a refresh
  bool FPrinting = false, FAborted = false;
  int FPageNumber = 0;
  std::unique_ptr<TPrinterCanvas> FCanvas;
  std::unique_ptr<TMetafile> FPage;
  std::unique_ptr<TMetaRecorder> FRecorder;  // the job's pages, or the measuring context
  TPrintDevice* FJobDevice = nullptr;
  TPrinterCaps FCaps;  // of the selected printer and mode, while FCapsValid
  bool FCapsValid = false;
};

// The process-wide printer, made on first use.
TPrinter* Printer();
// Makes NewPrinter the process-wide printer and returns the previous one, which the caller
// then owns (nullptr: a fresh printer is made on next use).
TPrinter* SetPrinter(TPrinter* NewPrinter);
