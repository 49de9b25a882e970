#pragma once
// The report settings dialog: printer (with the default entry first), copies and collation,
// engine options, password, and the description tab (name, description, picture, author,
// version; the dates shown only). OK checks the copy count before anything is written: a bad
// number shows the conversion error, focuses its field and keeps the dialog open.
#include "forms/TfrxReportEditorForm.h"
#include "gui/Forms.h"

class TfrxCustomDesigner;
class TfrxReport;

class TfrxReportEditorForm : public TfrxReportEditorFormLayout<TForm> {
  KELM_CLASS(TfrxReportEditorForm, TfrxReportEditorFormLayout<TForm>)
public:
  explicit TfrxReportEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // The text the printer list shows for an entry: the port follows a printer that has one.
  String PrinterEntryText(int Index) const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void PrintersLBDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void PictureBClick(TObject* Sender);
  void OkBClick(TObject* Sender);

private:
  TfrxReport* FReport = nullptr;
  int FCopies = 1;  // checked by OK
};

// The report settings command: true when OK wrote the settings into the designer's report.
bool EditReportSettings(TfrxCustomDesigner* Designer);
