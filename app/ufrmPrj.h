#pragma once
// The project list "项目信息": the projects of dict_prj found by one search field, the date
// they were set up and their state, and the documents and note of the current one. It owns
// no queries; it works on the data module's qryPrj and qryPrjDoc, and follows the current
// project through the hidden edit edtPrjCode.
//
// Its components are those of the layout forms/TfrmPrj.txt; the tool bar and the project
// grid's popup run the main window's project actions.
#include "forms/TfrmPrj.h"
#include "gui/Forms.h"

struct TListSearch;

class TfrmPrj : public TfrmPrjLayout<TForm> {
  KELM_CLASS(TfrmPrj, TfrmPrjLayout<TForm>)
public:
  explicit TfrmPrj(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmPrj() override;

  // The state picked with the radio buttons; empty means every state.
  String StateFilter;

  // The search the panel and the radio buttons describe now.
  TListSearch CurrentSearch() const;
  // Loads what follows the current project: its documents and its note. The project dialog
  // calls it after a save.
  void LoadCurrentProject();
  // Shows the list as a search shows it, after any change to its rows (an add, an edit, a
  // delete, a state change, a restore): the columns and titles from T_FieldShow, the count, and
  // the current project's documents and note; the current row stays. A query closed by a
  // restore opens again on the project noted before.
  void RefreshView();
  // Notes the current project, for RefreshView after the query was closed.
  void NoteCurrentRow();

  static const char* const WindowCaption;   // "项目信息"
  static const char* const AllProjectsSQL;  // "select * from dict_prj"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void TB_ExitClick(TObject* Sender);
  void Btn_SearchClick(TObject* Sender);
  void RadioButton1Click(TObject* Sender);
  void edtPrjCodeChange(TObject* Sender);
  void dgPrjDblClick(TObject* Sender);
  void N13Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N16Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N4Click(TObject* Sender);

private:
  // Writes State into the current project; nothing when the list is empty.
  void SetCurrentState(const String& State);

  String FNotedCode;
};

extern TfrmPrj* frmPrj;
