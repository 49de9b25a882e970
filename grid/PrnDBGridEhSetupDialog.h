#pragma once
// The grid printer's setup dialog: margins, fitting, colour, row stretching, optimal column
// widths and the print font, and the platform's printer setup. It works on a plain record of
// those settings, which the grid printer fills from its own and takes back on OK. One dialog
// is made on first use (owned by the application) and reused.
#include "core/Currency.h"
#include "print/PrintDialogs.h"

#include <array>
#include "forms/TfPrnDBGridEhSetupDialog.h"
#include "gui/Forms.h"

// What the dialog shows and changes. Margins are in the printer component's units.
struct TPrnDBGridEhSetupValues {
  Currency TopMargin, BottomMargin, LeftMargin, RightMargin;
  bool FitGridToPageWidth = false;
  bool FitingByColWidths = false;
  bool OptimalColWidths = false;
  bool RowAutoStretch = false;
  bool Colored = false;
  String PrintFontName;
};

class TfPrnDBGridEhSetupDialog : public TfPrnDBGridEhSetupDialogLayout<TForm> {
  KELM_CLASS(TfPrnDBGridEhSetupDialog, TfPrnDBGridEhSetupDialogLayout<TForm>)
public:
  explicit TfPrnDBGridEhSetupDialog(TComponent* AOwner) : inherited(AOwner) {}
  ~TfPrnDBGridEhSetupDialog() override;

  // Fills the controls from Values.
  void Fill(const TPrnDBGridEhSetupValues& Values);
  // Reads the controls into Values; EConvertError for a margin that is no number, and then
  // Values is left as it was.
  void Read(TPrnDBGridEhSetupValues& Values) const;
  // Fills, shows modally and, on OK, reads; true when the user confirmed.
  bool Execute(TPrnDBGridEhSetupValues& Values);

  // ---- handlers named by the layout
  void fPrnDBGridEHSetupDialogShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void cbFitWidthToPageClick(TObject* Sender);
  void seMarginExit(TObject* Sender);
  void bPrintFontClick(TObject* Sender);
  void bPrinterSetupDialogClick(TObject* Sender);

private:
  // The four margins, top, bottom, left, right, parsed; the first bad one raises.
  std::array<Currency, 4> ParseMargins() const;
};

// The shared dialog, made on first use.
TfPrnDBGridEhSetupDialog* PrnDBGridEhSetupDialog();
