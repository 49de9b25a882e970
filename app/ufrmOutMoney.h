#pragma once
// The payment schedule "付款查询": payments of the selected contract type and its sub-types.
#include "app/ufrmMoney.h"
#include "forms/TfrmOutMoney.h"

class TfrmOutMoney : public TfrmOutMoneyLayout<TMoneySchedule> {
  KELM_CLASS(TfrmOutMoney, TfrmOutMoneyLayout<TMoneySchedule>)
public:
  explicit TfrmOutMoney(TComponent* AOwner) : inherited(AOwner, PaymentKind) {}
  ~TfrmOutMoney() override;

  void Loaded() override;

  // ---- handlers named by the layout
  void dgOutMoneyDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column,
                               TGridDrawState State);
};

extern TfrmOutMoney* frmOutMoney;
