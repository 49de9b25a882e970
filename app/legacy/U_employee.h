#pragma once
// The internal-unit list "内部单位": every unit of Dict_Employee in a grid with a search by one
// column, printing, export and the column layer; opened by a dialog as a picker (caller mode
// 1 the project dialog's responsible unit, 2 the contract dialog's party A), "选择" hands the
// current unit's name back. Opened from the menu (mode 0) it is a plain list.
#include "forms/TFrm_employee.h"
#include "gui/Forms.h"

class TFrm_employee : public TFrm_employeeLayout<TForm> {
  KELM_CLASS(TFrm_employee, TFrm_employeeLayout<TForm>)
public:
  explicit TFrm_employee(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_employee() override;

  // ---- set by the opener
  int CallerMode = 0;

  static const char* const AllUnitsSQL;   // "select * from Dict_Employee order by ID"
  static const char* const NoFieldText;   // "请选择一种查询条件进行查询！"

  // Writes the current unit's name into the opener of CallerMode; nothing for other modes.
  void ReturnSelection();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_SearchClick(TObject* Sender);
  void DBGridEh1DblClick(TObject* Sender);
  void ToolButton1Click(TObject* Sender);
  void TB_PrintClick(TObject* Sender);
  void ExcelClick(TObject* Sender);
  void TB_ExitClick(TObject* Sender);
  void N2Click(TObject* Sender);
  void N3Click(TObject* Sender);
};

extern TFrm_employee* Frm_employee;
