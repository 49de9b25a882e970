// The print and printer setup dialogs: the dialog service answers them in tests, the
// toolkit's print dialogs otherwise; the choice is applied to Printer().
#include "print/PrintDialogs.h"
#include "print/Printers.h"
#include "core/ClassBuilder.h"
#include "gui/QtBridge_p.h"
#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <optional>

KELM_PUBLISH(TPrintDialog) { Published(b); }

KELM_PUBLISH(TPrinterSetupDialog) {}

namespace {

String SelectedPrinterName() {
  TPrinter* p = Printer();
  return p->Printers()->Count() > 0 ? p->Printers()->Strings(p->PrinterIndex()) : String();
}

// A toolkit printer set up as the selected printer is (the PDF printer: PDF output to its file).
void SetUpQPrinter(QPrinter& qp) {
  TPrinter* p = Printer();
  if (p->Printers()->Count() == 0) return;
  if (p->WritesFile()) {
    qp.setOutputFormat(QPrinter::PdfFormat);
    qp.setOutputFileName(ToQString(p->FileName()));
  } else {
    qp.setPrinterName(ToQString(SelectedPrinterName()));
  }
  const DEVMODE* m = p->DeviceMode();
  qp.setPageOrientation(m->dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
  qp.setCopyCount(m->dmCopies);
}

// The printer a toolkit dialog left chosen: PDF output is the PDF printer.
String ChosenPrinter(const QPrinter& qp, String& File) {
  if (qp.outputFormat() == QPrinter::PdfFormat) {
    File = FromQString(qp.outputFileName());
    return "PDF";
  }
  return FromQString(qp.printerName());
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

void SelectPrinter(const String& Name) {
  if (Name.empty()) return;
  Printer()->SetPrinter(Name, "", "", nullptr);
}

}  // namespace

// ================================================================ TPrintDialog

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::TakePages(int From, int To) {
  if (From > To) std::swap(From, To);
  if (FMaxPage > 0) {
    From = std::max(From, std::max(1, FMinPage));
    To = std::min(To, FMaxPage);
  }
  if (From > To) return false;
  FFromPage = From;
  FToPage = To;
  return true;
}

namespace {

// The toolkit's print dialog in place of the hook: its choice goes into the request.
bool ShowPrintDialog(const TPrintDialog& d, TDialogRequest& r) {
  ReleaseCapture();
  QPrinter qp(QPrinter::HighResolution);
  SetUpQPrinter(qp);
  QPrintDialog dlg(&qp, DialogParent());
  dlg.setMinMax(std::max(1, d.MinPage()), std::max(d.MinPage(), d.MaxPage()));
  if (d.PrintRange() == prPageNums) dlg.setFromTo(d.FromPage(), d.ToPage());
  QAbstractPrintDialog::PrintDialogOptions o = QAbstractPrintDialog::PrintShowPageSize;
  if (d.Options().Contains(poPageNums)) o |= QAbstractPrintDialog::PrintPageRange;
  if (d.Options().Contains(poSelection)) o |= QAbstractPrintDialog::PrintSelection;
  if (!d.Options().Contains(poDisablePrintToFile)) o |= QAbstractPrintDialog::PrintToFile;
  dlg.setOptions(o);
  bool ok = dlg.exec() == QDialog::Accepted;
  r.Printer = ChosenPrinter(qp, r.Value);
  bool pages = qp.printRange() == QPrinter::PageRange;
  r.FromPage = pages ? qp.fromPage() : 0;
  r.ToPage = pages ? qp.toPage() : 0;
  r.Copies = qp.copyCount();
  return ok;
}

}  // namespace

bool TPrintDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkPrint;
  r.Dialog = this;
  r.Printer = SelectedPrinterName();
  if (FPrintRange == prPageNums) {
    r.FromPage = FFromPage;
    r.ToPage = FToPage;
  }
  r.Copies = FCopies;
  r.Value = Printer()->FileName();
  bool ok = AskDialogHook(r) ? r.Result != 0 : ShowPrintDialog(*this, r);
  DoClose();
  if (ok) TakeChoice(r);
  return ok;
}

void TPrintDialog::TakeChoice(const TDialogRequest& r) {
  SelectPrinter(r.Printer);
  FCopies = std::max(1, r.Copies);
  if (Printer()->Printers()->Count() > 0) {
    if (Printer()->WritesFile() && !r.Value.empty()) Printer()->SetFileName(r.Value);
    Printer()->SetCopies(FCopies);
  }
  if (r.FromPage > 0 || r.ToPage > 0) {
    // An open end of the range runs to the document's first or last page.
    int from = r.FromPage > 0 ? r.FromPage : std::max(1, FMinPage);
    int to = r.ToPage > 0 ? r.ToPage : (FMaxPage > 0 ? FMaxPage : from);
    FPrintRange = TakePages(from, to) ? prPageNums : prAllPages;
  } else if (FPrintRange == prPageNums) {
    FPrintRange = prAllPages;
  }
}

// ================================================================ TPrinterSetupDialog

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

namespace {

// The toolkit's page setup dialog in place of the hook: the printer goes into the request,
// paper and orientation into Mode.
bool ShowPageSetup(TDialogRequest& r, std::optional<DEVMODE>& Mode) {
  ReleaseCapture();
  QPrinter qp(QPrinter::HighResolution);
  SetUpQPrinter(qp);
  QPageSetupDialog dlg(&qp, DialogParent());
  bool ok = dlg.exec() == QDialog::Accepted;
  String file;
  r.Printer = ChosenPrinter(qp, file);
  if (!ok || Printer()->Printers()->Count() == 0) return ok;
  DEVMODE m = *Printer()->DeviceMode();
  QPageLayout l = qp.pageLayout();
  m.dmOrientation = l.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  QSizeF mm = l.pageSize().size(QPageSize::Millimeter);
  m.dmPaperWidth = short(std::lround(mm.width() * 10));
  m.dmPaperLength = short(std::lround(mm.height() * 10));
  const TPaperInfo* paper = FindPaperBySize(m.dmPaperWidth, m.dmPaperLength);
  m.dmPaperSize = paper ? paper->Number : short(DMPAPER_USER);
  Mode = m;
  return true;
}

}  // namespace

bool TPrinterSetupDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkPrinterSetup;
  r.Dialog = this;
  r.Printer = SelectedPrinterName();
  std::optional<DEVMODE> mode;
  bool ok = AskDialogHook(r) ? r.Result != 0 : ShowPageSetup(r, mode);
  DoClose();
  if (!ok) return false;
  SelectPrinter(r.Printer);
  if (mode) Printer()->SetPrinter(r.Printer, "", "", &*mode);
  return true;
}

// ================================================================ page setup

KELM_PUBLISH(TPageSetupDialog) {}

TPageSetupDialog::TPageSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

namespace {
// Margin units of the dialog per millimetre.
double MarginUnitsPerMm(TPageSetupOptions Options) {
  return Options.Contains(psdInThousandthsOfInches) ? 1000.0 / 25.4 : 100.0;
}
}  // namespace

bool TPageSetupDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkPageSetup;
  r.Dialog = this;
  r.Printer = SelectedPrinterName();
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    ReleaseCapture();
    QPrinter qp(QPrinter::HighResolution);
    SetUpQPrinter(qp);
    qp.setPageOrientation(FMode.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
    qp.setPageSize(QPageSize(QSizeF(FMode.dmPaperWidth / 10.0, FMode.dmPaperLength / 10.0), QPageSize::Millimeter));
    const double unit = MarginUnitsPerMm(FOptions);
    if (FOptions.Contains(psdMargins))
      qp.setPageMargins(QMarginsF(FMargins.Left / unit, FMargins.Top / unit, FMargins.Right / unit, FMargins.Bottom / unit),
                        QPageLayout::Millimeter);
    QPageSetupDialog dlg(&qp, DialogParent());
    ok = dlg.exec() == QDialog::Accepted;
    if (ok) {
      QPageLayout l = qp.pageLayout();
      FMode.dmOrientation = l.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      QSizeF mm = l.pageSize().size(QPageSize::Millimeter);
      FMode.dmPaperWidth = short(std::lround(mm.width() * 10));
      FMode.dmPaperLength = short(std::lround(mm.height() * 10));
      const TPaperInfo* paper = FindPaperBySize(FMode.dmPaperWidth, FMode.dmPaperLength);
      FMode.dmPaperSize = paper ? paper->Number : short(DMPAPER_USER);
      const QMarginsF m = l.margins(QPageLayout::Millimeter);
      FMargins = {int(std::lround(m.left() * unit)), int(std::lround(m.top() * unit)), int(std::lround(m.right() * unit)),
                  int(std::lround(m.bottom() * unit))};
    }
  }
  DoClose();
  return ok;
}

// ================================================================ one printer's settings

bool EditDeviceMode(const String& PrinterName, const TPrintDevice& Device, DEVMODE& Mode) {
  TDialogRequest r;
  r.Kind = dkPrinterSetup;
  r.Printer = PrinterName;
  std::vector<TPrintBin> bins = Device.Bins();
  for (const TPrintBin& b : bins)
    if (b.Number == Mode.dmDefaultSource) r.Value = b.Name;
  if (AskDialogHook(r)) {
    if (r.Result == 0) return false;
    for (const TPrintBin& b : bins)
      if (b.Name == r.Value) Mode.dmDefaultSource = b.Number;
    return true;
  }
  ReleaseCapture();
  QPrinter qp(QPrinter::HighResolution);
  if (Device.WritesFile()) qp.setOutputFormat(QPrinter::PdfFormat);
  else qp.setPrinterName(ToQString(PrinterName));
  qp.setPageOrientation(Mode.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPageSetupDialog dlg(&qp, DialogParent());
  if (dlg.exec() != QDialog::Accepted) return false;
  QPageLayout l = qp.pageLayout();
  Mode.dmOrientation = l.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  QSizeF mm = l.pageSize().size(QPageSize::Millimeter);
  Mode.dmPaperWidth = short(std::lround(mm.width() * 10));
  Mode.dmPaperLength = short(std::lround(mm.height() * 10));
  const TPaperInfo* paper = FindPaperBySize(Mode.dmPaperWidth, Mode.dmPaperLength);
  Mode.dmPaperSize = paper ? paper->Number : short(DMPAPER_USER);
  Mode.dmDefaultSource = short(qp.paperSource() + 1);
  return true;
}
