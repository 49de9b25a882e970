#pragma once
// The report data sets dialog: which data sets the report uses (those offered for it, or every
// named data set of the program), or, for a standalone designer, which one named connection
// it uses (at most one checked).
#include "forms/TfrxReportDataForm.h"
#include "gui/Forms.h"

class TfrxReport;

class TfrxReportDataForm : public TfrxReportDataFormLayout<TForm> {
  KELM_CLASS(TfrxReportDataForm, TfrxReportDataFormLayout<TForm>)
public:
  explicit TfrxReportDataForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener.
  TfrxReport* Report = nullptr;
  // Decided at creation: a standalone designer picks a named connection instead.
  bool ConnectionsMode() const { return FConnectionsMode; }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void DatasetsLBClickCheck(TObject* Sender);

private:
  bool FConnectionsMode = false;
};

// The report data command: true when OK changed the report's data sets or connection.
bool EditReportData(TComponent* Owner, TfrxReport* Report);
