#pragma once
// The employee dialog "员工资料维护": adds employees (several in one showing) or edits the
// current one of the employee list. The department is picked in the category window, which
// writes it and its code into this dialog's edits while the dialog is open.
#include "forms/TfrmEmpAdd.h"
#include "gui/Forms.h"

class TfrmEmpAdd : public TfrmEmpAddLayout<TForm> {
  KELM_CLASS(TfrmEmpAdd, TfrmEmpAddLayout<TForm>)
public:
  explicit TfrmEmpAdd(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmEmpAdd() override;

  // ---- set by the opener
  Byte AddMode = 1;  // 1 add, 0 edit

  static const char* const RequiredText;  // "红色显示的字段不能为空，请您重新录入！"

  // Every edit empty (the department and its code too), the first sex and position, today.
  void ClearFields();
  // The current employee of the list into the controls.
  void LoadFields();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void btnPostClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void edtAgeKeyPress(TObject* Sender, Char& Key);
  void edtAgeChange(TObject* Sender);
  void edtDepartButtonClick(TObject* Sender);

private:
  void Save();
};

extern TfrmEmpAdd* frmEmpAdd;

// Text with only its digits "0" to "9".
String DigitsOnly(const String& Text);
