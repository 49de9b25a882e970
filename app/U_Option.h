#pragma once
// The options: the program's name and how many days ahead the reminder looks, one row of
// T_SoftInfo edited through the data module's Qry_Str.
#include "forms/TFrm_Option.h"
#include "gui/Forms.h"

class TFrm_Option : public TFrm_OptionLayout<TForm> {
  KELM_CLASS(TFrm_Option, TFrm_OptionLayout<TForm>)
public:
  explicit TFrm_Option(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const DoneText;  // "修改成功!"

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_OkClick(TObject* Sender);
  void Btn_CloseClick(TObject* Sender);
};
