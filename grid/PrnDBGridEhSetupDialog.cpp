#include "grid/PrnDBGridEhSetupDialog.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "print/Printers.h"
#include "gui/Application.h"

KELM_PUBLISH(TfPrnDBGridEhSetupDialog) {
  b.Method("fPrnDBGridEHSetupDialogShow", &TfPrnDBGridEhSetupDialog::fPrnDBGridEHSetupDialogShow);
  b.Method("FormCloseQuery", &TfPrnDBGridEhSetupDialog::FormCloseQuery);
  b.Method("cbFitWidthToPageClick", &TfPrnDBGridEhSetupDialog::cbFitWidthToPageClick);
  b.Method("seMarginExit", &TfPrnDBGridEhSetupDialog::seMarginExit);
  b.Method("bPrintFontClick", &TfPrnDBGridEhSetupDialog::bPrintFontClick);
  b.Method("bPrinterSetupDialogClick", &TfPrnDBGridEhSetupDialog::bPrinterSetupDialogClick);
}

namespace {

TfPrnDBGridEhSetupDialog* GSetupDialog = nullptr;

// A margin as its edit shows it: the value with the general float format (2, 0.7874).
String MarginText(Currency Value) { return FloatToStr(Value.ToExtended()); }

// The edit's text as a margin, rounded to ten-thousandths (half to even).
Currency MarginValue(const String& Text) {
  return Currency::FromDouble(StrToFloat(Text));
}

}  // namespace

TfPrnDBGridEhSetupDialog::~TfPrnDBGridEhSetupDialog() {
  if (GSetupDialog == this) GSetupDialog = nullptr;
}

void TfPrnDBGridEhSetupDialog::Fill(const TPrnDBGridEhSetupValues& v) {
  seUpMargin->SetText(MarginText(v.TopMargin));
  seLowMargin->SetText(MarginText(v.BottomMargin));
  seLeftMargin->SetText(MarginText(v.LeftMargin));
  seRightMargin->SetText(MarginText(v.RightMargin));
  cbFitWidthToPage->SetChecked(v.FitGridToPageWidth);
  ePrintFont->SetText(v.PrintFontName);
  cbAutoStretch->SetChecked(v.RowAutoStretch);
  cbColored->SetChecked(v.Colored);
  rgFitingType->SetItemIndex(v.FitingByColWidths ? 1 : 0);
  cbOptimalColWidths->SetChecked(v.OptimalColWidths);
  // The group follows the box from the start, not only after a click on it.
  rgFitingType->SetEnabled(cbFitWidthToPage->Checked());
}

std::array<Currency, 4> TfPrnDBGridEhSetupDialog::ParseMargins() const {
  return {MarginValue(seUpMargin->Text()), MarginValue(seLowMargin->Text()), MarginValue(seLeftMargin->Text()),
          MarginValue(seRightMargin->Text())};
}

void TfPrnDBGridEhSetupDialog::Read(TPrnDBGridEhSetupValues& v) const {
  // All four first: a bad one changes nothing.
  std::array<Currency, 4> m = ParseMargins();
  v.TopMargin = m[0];
  v.BottomMargin = m[1];
  v.LeftMargin = m[2];
  v.RightMargin = m[3];
  v.FitGridToPageWidth = cbFitWidthToPage->Checked();
  v.PrintFontName = ePrintFont->Text();
  v.RowAutoStretch = cbAutoStretch->Checked();
  v.Colored = cbColored->Checked();
  v.FitingByColWidths = rgFitingType->ItemIndex() == 1;
  v.OptimalColWidths = cbOptimalColWidths->Checked();
}

bool TfPrnDBGridEhSetupDialog::Execute(TPrnDBGridEhSetupValues& Values) {
  Fill(Values);
  if (ShowModal() != mrOk) return false;
  Read(Values);
  return true;
}

void TfPrnDBGridEhSetupDialog::fPrnDBGridEHSetupDialogShow(TObject*) {
  bPrinterSetupDialog->SetEnabled(Printer()->Printers()->Count() > 0);
}

// OK with a margin that is no number keeps the dialog open: the error is shown, nothing stored.
void TfPrnDBGridEhSetupDialog::FormCloseQuery(TObject*, bool&) {
  if (ModalResult() == mrOk) ParseMargins();
}

void TfPrnDBGridEhSetupDialog::cbFitWidthToPageClick(TObject*) {
  rgFitingType->SetEnabled(cbFitWidthToPage->Checked());
}

void TfPrnDBGridEhSetupDialog::seMarginExit(TObject* Sender) {
  if (auto* edit = dynamic_cast<TEdit*>(Sender)) MarginValue(edit->Text());
}

void TfPrnDBGridEhSetupDialog::bPrintFontClick(TObject*) {
  FontDialog1->Font()->SetName(ePrintFont->Text());
  if (FontDialog1->Execute()) ePrintFont->SetText(FontDialog1->Font()->Name());
}

void TfPrnDBGridEhSetupDialog::bPrinterSetupDialogClick(TObject*) { PrinterSetupDialog1->Execute(); }

TfPrnDBGridEhSetupDialog* PrnDBGridEhSetupDialog() {
  if (!GSetupDialog) CreateForm<TfPrnDBGridEhSetupDialog>(Application, &GSetupDialog);
  return GSetupDialog;
}
