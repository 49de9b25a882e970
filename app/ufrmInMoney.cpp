#include "app/ufrmInMoney.h"

#include "core/ClassBuilder.h"

TfrmInMoney* frmInMoney = nullptr;

KELM_PUBLISH(TfrmInMoney) { b.Method("dgInMoneyDrawColumnCell", &TfrmInMoney::dgInMoneyDrawColumnCell); }

TfrmInMoney::~TfrmInMoney() {
  if (frmInMoney == this) frmInMoney = nullptr;
}

void TfrmInMoney::Loaded() {
  inherited::Loaded();
  BindControls({tvPactType, dtBeginDate, dtEndDate, cmbWCType, edtPactName, edtPrjName, edtPrjMan, edtCustName,
                cmbMethod, dgInMoney, StatusBar1});
}

void TfrmInMoney::dgInMoneyDrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumnEh* Column,
                                          TGridDrawState State) {
  DrawSettledCell(Rect, DataCol, Column, State);
}
