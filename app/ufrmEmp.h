#pragma once
// The employee list "员工管理": the employees of dict_emp in the grid dgEmp over the data
// module's qryEmp, searched by one field. Its tool bar and popup run the main window's
// employee commands.
#include "forms/TfrmEmp.h"
#include "gui/Forms.h"

class TfrmEmp : public TfrmEmpLayout<TForm> {
  KELM_CLASS(TfrmEmp, TfrmEmpLayout<TForm>)
public:
  explicit TfrmEmp(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmEmp() override;

  // The statement the list opens with: every employee.
  static const char* const AllEmployeesSQL;

  // Shows the list as a search shows it, after any change to its rows (an add, an edit, a
  // delete, a restore): the columns and titles from T_FieldShow and the count; the current row
  // stays. A query closed by a restore opens again on the employee noted before.
  void RefreshView();
  // Notes the current employee, for RefreshView after the query was closed.
  void NoteCurrentRow();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void TB_ExitClick(TObject* Sender);
  void Btn_SearchClick(TObject* Sender);
  void dgEmpDblClick(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);

private:
  String FNotedId;
};

extern TfrmEmp* frmEmp;
