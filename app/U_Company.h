#pragma once
// The user's own company: one row of T_Company, made when the table has none.
#include "forms/TFrm_Company.h"
#include "gui/Forms.h"

class TFrm_Company : public TFrm_CompanyLayout<TForm> {
  KELM_CLASS(TFrm_Company, TFrm_CompanyLayout<TForm>)
public:
  explicit TFrm_Company(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const SavedText;  // "您的公司信息已保存！"

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_OkClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);

private:
  struct TColumnEdit {
    const char* Field;
    TEdit* TFrm_CompanyComponents::*Edit;
  };
  static const TColumnEdit Columns[7];
};
