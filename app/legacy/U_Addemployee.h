#pragma once
// The internal-unit dialog ("内部单位"): adds units (several in one showing) or edits the
// current unit of the data module's Qry_emloyee, stepping through them with its navigator.
#include "forms/TFrm_addemloyee.h"
#include "gui/Forms.h"

class TFrm_addemloyee : public TFrm_addemloyeeLayout<TForm> {
  KELM_CLASS(TFrm_addemloyee, TFrm_addemloyeeLayout<TForm>)
public:
  explicit TFrm_addemloyee(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_addemloyee() override;

  // ---- set by the opener
  int AddMode = 1;  // 1 add, any other value edit

  static const char* const NameRequiredText;  // "员工名称不能为空!"
  static const char* const DuplicateText;     // "员工名称有重复!"
  static const char* const EditFailedText;    // "数据出错,数据不能保存!"

  // Every edit and the memo emptied.
  void ClearFields();
  // The current unit of Qry_emloyee into the controls.
  void LoadFields();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormKeyPress(TObject* Sender, Char& Key);
  void Bit_OKClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);
  void DBNavigator1Click(TObject* Sender, TNavigateBtn Button);
  void Edit_EmailDblClick(TObject* Sender);

private:
  void Focus(TWinControl* Control);
  void WriteFields();
};

extern TFrm_addemloyee* Frm_addemloyee;
