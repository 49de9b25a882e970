#include "app/ufrmOutMoney.h"

#include "core/ClassBuilder.h"

TfrmOutMoney* frmOutMoney = nullptr;

KELM_PUBLISH(TfrmOutMoney) { b.Method("dgOutMoneyDrawColumnCell", &TfrmOutMoney::dgOutMoneyDrawColumnCell); }

TfrmOutMoney::~TfrmOutMoney() {
  if (frmOutMoney == this) frmOutMoney = nullptr;
}

void TfrmOutMoney::Loaded() {
  inherited::Loaded();
  BindControls({tvPactType, dtBeginDate, dtEndDate, cmbWCType, edtPactName, edtPrjName, edtPrjMan, edtCustName,
                cmbMethod, dgOutMoney, StatusBar1});
}

void TfrmOutMoney::dgOutMoneyDrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumnEh* Column,
                                          TGridDrawState State) {
  DrawSettledCell(Rect, DataCol, Column, State);
}
