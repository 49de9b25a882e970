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

KELM_PUBLISH(TPrintDialog) {
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
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    ReleaseCapture();
    QPrinter qp(QPrinter::HighResolution);
    SetUpQPrinter(qp);
    QPrintDialog dlg(&qp, DialogParent());
    dlg.setMinMax(std::max(1, FMinPage), std::max(FMinPage, FMaxPage));
    if (FPrintRange == prPageNums) dlg.setFromTo(FFromPage, FToPage);
    QAbstractPrintDialog::PrintDialogOptions o = QAbstractPrintDialog::PrintShowPageSize;
    if (FOptions.Contains(poPageNums)) o |= QAbstractPrintDialog::PrintPageRange;
    if (FOptions.Contains(poSelection)) o |= QAbstractPrintDialog::PrintSelection;
    if (!FOptions.Contains(poDisablePrintToFile)) o |= QAbstractPrintDialog::PrintToFile;
    dlg.setOptions(o);
    ok = dlg.exec() == QDialog::Accepted;
    r.Printer = ChosenPrinter(qp, r.Value);
    bool pages = qp.printRange() == QPrinter::PageRange;
    r.FromPage = pages ? qp.fromPage() : 0;
    r.ToPage = pages ? qp.toPage() : 0;
    r.Copies = qp.copyCount();
  }
  DoClose();
  if (!ok) return false;
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
  return true;
}

// ================================================================ TPrinterSetupDialog

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrinterSetupDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkPrinterSetup;
  r.Dialog = this;
  r.Printer = SelectedPrinterName();
  bool ok;
  DEVMODE chosen;
  bool haveMode = false;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    ReleaseCapture();
    QPrinter qp(QPrinter::HighResolution);
    SetUpQPrinter(qp);
    QPageSetupDialog dlg(&qp, DialogParent());
    ok = dlg.exec() == QDialog::Accepted;
    String file;
    r.Printer = ChosenPrinter(qp, file);
    if (ok && Printer()->Printers()->Count() > 0) {
      chosen = *Printer()->DeviceMode();
      QPageLayout l = qp.pageLayout();
      chosen.dmOrientation = l.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      QSizeF mm = l.pageSize().size(QPageSize::Millimeter);
      chosen.dmPaperWidth = short(mm.width() * 10);
      chosen.dmPaperLength = short(mm.height() * 10);
      const TPaperInfo* paper = FindPaperBySize(chosen.dmPaperWidth, chosen.dmPaperLength);
      chosen.dmPaperSize = paper ? paper->Number : short(DMPAPER_USER);
      haveMode = true;
    }
  }
  DoClose();
  if (!ok) return false;
  SelectPrinter(r.Printer);
  if (haveMode) Printer()->SetPrinter(r.Printer, "", "", &chosen);
  return true;
}
