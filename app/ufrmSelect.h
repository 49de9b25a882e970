#pragma once
// The record picker: the rows of one table in a grid, narrowed by a search field and a key;
// a double click hands one column of the row to the dialogs open at that moment that take a
// value of that table (customer, project or manager names: records are linked by name).
//
// Its components are those of the layout forms/TfrmSelect.txt.
#include "forms/TfrmSelect.h"
#include "gui/Forms.h"

class TCustomEdit;

class TfrmSelect : public TfrmSelectLayout<TForm> {
  KELM_CLASS(TfrmSelect, TfrmSelectLayout<TForm>)
public:
  explicit TfrmSelect(TComponent* AOwner) : inherited(AOwner) {}

  // ---- set by the opener, with the caption
  String SourceTable;  // "t_custom", "dict_emp" or "dict_prj"
  String ListName;     // the T_FieldShow list of the columns and search fields
  String ResultField;  // the column handed back

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_SearchClick(TObject* Sender);
  void dgSelectDblClick(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void btnCLoseClick(TObject* Sender);
};

// Where a pick goes: the dialogs open at the moment that take a value of a table, each with
// the edit it lands in. A dialog registers itself while it is open (the contract dialog its
// customer, project and manager edits; the project dialog its own); a freed dialog drops out.
void RegisterRecordPickTarget(const String& Table, TComponent* Dialog, TCustomEdit* Edit);
void UnregisterRecordPickTargets(TComponent* Dialog);
// Writes Value into the edit of every dialog registered for Table; how many were reached.
int DeliverRecordPick(const String& Table, const String& Value);
