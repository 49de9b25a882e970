#pragma once
// The customer dialog "客户管理维护": adds customers (several in one showing) or edits the
// current one of the customer list, with the customer's contacts in a grid held in the cache
// until the save, which writes the customer and its contacts in one transaction.
#include "forms/TFrm_AddCust.h"
#include "gui/Forms.h"

class TFrm_AddCust : public TFrm_AddCustLayout<TForm> {
  KELM_CLASS(TFrm_AddCust, TFrm_AddCustLayout<TForm>)
public:
  explicit TFrm_AddCust(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_AddCust() override;

  // ---- set by the opener
  Byte AddMode = 1;  // 1 add, 0 edit
  // The code of the customer being edited; empty in add mode.
  String OldCode;

  // A column of t_custom and the edit that holds it; required ones carry a red "*".
  struct TColumnEdit {
    const char* Field;
    TEdit* TFrm_AddCustComponents::*Edit;
    bool Required;
  };
  static const TColumnEdit Columns[18];

  static const char* const DuplicateCodeText;  // "客户编号重复，请您重新录入！"
  static const char* const RequiredText;       // "红色显示的字段不能为空，请您重新录入！"
  static const char* const NotSubmitted;       // "未提交"

  // Empties every plain edit, selects "供应商", registered capital "0", no remark.
  void ClearFields();
  // The current customer of the list into the controls.
  void LoadFields();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void btnPostClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
  void btnAddClick(TObject* Sender);
  void btnDeleteClick(TObject* Sender);

private:
  // The dialog's contacts: those of the code, in the cache.
  void OpenContacts(const String& Code);
  // The refusal of the input, '' when it can be saved; Focus the edit to go to.
  String Refusal(TEdit*& Focus);
  // The customer and its contacts written, all or nothing.
  void Save();
};

extern TFrm_AddCust* Frm_AddCust;
