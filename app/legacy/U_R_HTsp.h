#pragma once
// The list "需要确认的合同索赔": the contract claims still "未确认" (T_htsp) over its own Qry_Count;
// "编辑索赔" edits the claim selected here.
// Shown modally; it is refreshed, printed, exported and keeps its columns.
#include "forms/TFrm_R_HTsp.h"
#include "gui/Forms.h"

struct TUnconfirmedList;

class TFrm_R_HTsp : public TFrm_R_HTspLayout<TForm> {
  KELM_CLASS(TFrm_R_HTsp, TFrm_R_HTspLayout<TForm>)
public:
  explicit TFrm_R_HTsp(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const Statement;  // "select * from T_htsp where qrzt='未确认'"

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void Btn_PrintClick(TObject* Sender);
  void BitBtn5Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void N3Click(TObject* Sender);

private:
  TUnconfirmedList List();
};
