#pragma once
// The receipt schedule "收款查询": receipts of the selected contract type alone.
#include "app/ufrmMoney.h"
#include "forms/TfrmInMoney.h"

class TfrmInMoney : public TfrmInMoneyLayout<TMoneySchedule> {
  KELM_CLASS(TfrmInMoney, TfrmInMoneyLayout<TMoneySchedule>)
public:
  explicit TfrmInMoney(TComponent* AOwner) : inherited(AOwner, ReceiptKind) {}
  ~TfrmInMoney() override;

  void Loaded() override;

  // ---- handlers named by the layout
  void dgInMoneyDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column,
                               TGridDrawState State);
};

extern TfrmInMoney* frmInMoney;
