#pragma once
// The project picker "选择项目": the older projects in a grid beside their category tree,
// narrowed as the user types into any of its three edits; "选择" or a double click hands the
// chosen project back to the window that opened it (caller modes 1, 2 and 4).
#include "forms/TFrm_SelectProject.h"
#include "gui/Forms.h"

class TFrm_SelectProject : public TFrm_SelectProjectLayout<TForm> {
  KELM_CLASS(TFrm_SelectProject, TFrm_SelectProjectLayout<TForm>)
public:
  explicit TFrm_SelectProject(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_SelectProject() override;

  // ---- set by the opener
  int CallerMode = 0;

  static const char* const ColumnSet;  // "SelectProject"
  static const char* const TreeRoot;   // "项目分类"

  // The projects matching the three edits (a part of the text anywhere), every project when
  // they are empty; the grid and the count follow.
  void Search();
  // The current project's code (mode 1) or name (modes 2, 4) into the opener, then closes;
  // other modes return nothing.
  void ReturnSelection();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_FindClick(TObject* Sender);
  void Btn_AddClick(TObject* Sender);
  void Btn_SelectClick(TObject* Sender);
  void Btn_CloseClick(TObject* Sender);
  void DBGridEh1DblClick(TObject* Sender);
  void TreeView1DblClick(TObject* Sender);
  void Edit_ProjectCodeKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void Edit_ProjectNameKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void Edit_GCNameKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void N1Click(TObject* Sender);

private:
  void ShowRows(const String& SQL);
};

extern TFrm_SelectProject* Frm_SelectProject;
