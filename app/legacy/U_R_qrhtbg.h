#pragma once
// The list "需要确认的合同变更": the contract changes still "未确认" (T_htBG) over the data module's Qry_count1;
// its "编辑变更" button has no action.
// Shown modally; it is refreshed, printed, exported and keeps its columns.
#include "forms/TFrm_R_qrhtbg.h"
#include "gui/Forms.h"

struct TUnconfirmedList;

class TFrm_R_qrhtbg : public TFrm_R_qrhtbgLayout<TForm> {
  KELM_CLASS(TFrm_R_qrhtbg, TFrm_R_qrhtbgLayout<TForm>)
public:
  explicit TFrm_R_qrhtbg(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const Statement;  // "select * from T_HTbg where QRzt='未确认'"

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void Btn_PrintClick(TObject* Sender);
  void BitBtn5Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void N3Click(TObject* Sender);

private:
  TUnconfirmedList List();
};
