#pragma once
// The project dialog: adds projects (several in one showing) or edits the current project of
// the data module's Qry_Project, stepping through them with its navigator.
#include "forms/TFrm_AddProject.h"
#include "gui/Forms.h"

class TFrm_AddProject : public TFrm_AddProjectLayout<TForm> {
  KELM_CLASS(TFrm_AddProject, TFrm_AddProjectLayout<TForm>)
public:
  explicit TFrm_AddProject(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_AddProject() override;

  // ---- set by the opener
  int AddMode = 1;  // 1 add, any other value edit

  // The project category, from the row or the category tree.
  String TypeCode;
  // The project code as loaded in edit mode.
  String OldCode;

  // The texts and the memo emptied, the investment "0"; the category and the drop-down kept.
  void ClearFields();
  // The current project of Qry_Project into the controls, its category by name.
  void LoadFields();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_OKClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void Edit_TypeButtonClick(TObject* Sender);
  void Edit_custButtonClick(TObject* Sender);
  void DBNavigator1Click(TObject* Sender, TNavigateBtn Button);

private:
  void Focus(const String& Control);
};

extern TFrm_AddProject* Frm_AddProject;

