#pragma once
// The connections dialog: the machine-wide list of named connection strings that reports
// name in ReportOptions.ConnectionName. A row is edited in place (name and string); "..." hands
// the string to the report's OnConnectionStringEdit. OK rewrites the whole list while its key
// stays open, so the store is replaced in one write or not at all; Cancel writes nothing.
#include "forms/TfrxConnEditorForm.h"
#include "gui/Forms.h"

class TListItem;
class TfrxReport;

class TfrxConnEditorForm : public TfrxConnEditorFormLayout<TForm> {
  KELM_CLASS(TfrxConnEditorForm, TfrxConnEditorFormLayout<TForm>)
public:
  explicit TfrxConnEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener.
  TfrxReport* Report = nullptr;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ConnLVSelectItem(TObject* Sender, TListItem* Item, bool Selected);
  void NewBClick(TObject* Sender);
  void DeleteBClick(TObject* Sender);
  void ExpressionBClick(TObject* Sender);
  void OKBClick(TObject* Sender);

private:
  // Writes the in-place edits back into the row being edited and hides them.
  void CommitRow();
  TListItem* FEdited = nullptr;
};

// The connections command: the dialog for the report; true when OK stored the list.
bool EditConnections(TComponent* Owner, TfrxReport* Report);
