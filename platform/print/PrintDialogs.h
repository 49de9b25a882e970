#pragma once
// The print dialog (printer, pages, copies; the PDF printer's output file) and the printer
// setup dialog (printer, paper, orientation). Both go through the dialog service, so a test's
// TDialogScript answers them; what they choose is set on Printer().
// Declares TPrintDialog, TPrinterSetupDialog and TPageSetupDialog.
#include "gui/Dialogs.h"
#include "print/Printers.h"

KELM_ENUM(TPrintRange, prAllPages, prSelection, prPageNums)
KELM_ENUM(TPrintDialogOption, poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile)
using TPrintDialogOptions = TSet<TPrintDialogOption>;

class TPrintDialog : public TCommonDialog {
  KELM_CLASS(TPrintDialog, TCommonDialog)
  template <class B> static void Published(B& b) {
    b.Prop("Collate", &TPrintDialog::Collate, &TPrintDialog::SetCollate).Default(false);
    b.Prop("Copies", &TPrintDialog::Copies, &TPrintDialog::SetCopies).Default(1);
    b.Prop("FromPage", &TPrintDialog::FromPage, &TPrintDialog::SetFromPage).Default(0);
    b.Prop("MinPage", &TPrintDialog::MinPage, &TPrintDialog::SetMinPage).Default(0);
    b.Prop("MaxPage", &TPrintDialog::MaxPage, &TPrintDialog::SetMaxPage).Default(0);
    b.Prop("Options", &TPrintDialog::Options, &TPrintDialog::SetOptions);
    b.Prop("PrintToFile", &TPrintDialog::PrintToFile, &TPrintDialog::SetPrintToFile).Default(false);
    b.Prop("PrintRange", &TPrintDialog::PrintRange, &TPrintDialog::SetPrintRange).Default(prAllPages);
    b.Prop("ToPage", &TPrintDialog::ToPage, &TPrintDialog::SetToPage).Default(0);
  }
public:
  explicit TPrintDialog(TComponent* AOwner);
  bool Execute() override;

  int Copies() const { return FCopies; }
  void SetCopies(int v) { FCopies = std::max(1, v); }
  bool Collate() const { return FCollate; }
  void SetCollate(bool v) { FCollate = v; }
  int FromPage() const { return FFromPage; }
  void SetFromPage(int v) { FFromPage = v; }
  int ToPage() const { return FToPage; }
  void SetToPage(int v) { FToPage = v; }
  int MinPage() const { return FMinPage; }
  void SetMinPage(int v) { FMinPage = v; }
  int MaxPage() const { return FMaxPage; }
  void SetMaxPage(int v) { FMaxPage = v; }
  TPrintDialogOptions Options() const { return FOptions; }
  void SetOptions(TPrintDialogOptions v) { FOptions = v; }
  TPrintRange PrintRange() const { return FPrintRange; }
  void SetPrintRange(TPrintRange v) { FPrintRange = v; }
  bool PrintToFile() const { return FPrintToFile; }
  void SetPrintToFile(bool v) { FPrintToFile = v; }

private:
  void TakeChoice(const TDialogRequest& r);
  // Takes the pages chosen, kept within MinPage..MaxPage; false when they leave no page.
  bool TakePages(int From, int To);
  int FCopies = 1;
  bool FCollate = false;
  int FFromPage = 0, FToPage = 0, FMinPage = 0, FMaxPage = 0;
  TPrintDialogOptions FOptions;
  TPrintRange FPrintRange = prAllPages;
  bool FPrintToFile = false;
};

class TPrinterSetupDialog : public TCommonDialog {
  KELM_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
  explicit TPrinterSetupDialog(TComponent* AOwner);
  bool Execute() override;
};

// The page setup dialog: paper, orientation and margins. The device mode goes in and comes back
// with the paper and orientation chosen; the margins are the distances from the paper's edges
// in hundredths of a millimetre (psdInHundredthsOfMillimeters) or thousandths of an inch.
// A test's dialog hook sees it as a dkPageSetup request whose Dialog is this object and answers
// by changing DeviceMode and Margins.
KELM_ENUM(TPageSetupOption, psdMargins, psdInHundredthsOfMillimeters, psdInThousandthsOfInches, psdDisableMargins,
          psdDisableOrientation, psdDisablePaper)
using TPageSetupOptions = TSet<TPageSetupOption>;

class TPageSetupDialog : public TCommonDialog {
  KELM_CLASS(TPageSetupDialog, TCommonDialog)
public:
  explicit TPageSetupDialog(TComponent* AOwner);
  bool Execute() override;

  TPageSetupOptions Options() const { return FOptions; }
  void SetOptions(TPageSetupOptions v) { FOptions = v; }
  DEVMODE& DeviceMode() { return FMode; }
  void SetDeviceMode(const DEVMODE& v) { FMode = v; }
  // Left, top, right and bottom margin.
  TRect Margins() const { return FMargins; }
  void SetMargins(const TRect& v) { FMargins = v; }

private:
  TPageSetupOptions FOptions{psdMargins, psdInHundredthsOfMillimeters};
  DEVMODE FMode;
  TRect FMargins{};
};

// The driver's settings of one printer (paper, orientation, paper source) edited in place; a
// test's dialog hook answers it as a printer setup dialog whose Value names the paper source
// chosen ('' keeps the mode's). False when cancelled (Mode unchanged).
class TPrintDevice;
struct DEVMODE;
bool EditDeviceMode(const String& PrinterName, const TPrintDevice& Device, DEVMODE& Mode);
