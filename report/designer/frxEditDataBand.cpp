#include "report/designer/frxEditDataBand.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/Format.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/Pictures.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxDataBandEditorForm) {
  b.Method("FormCreate", &TfrxDataBandEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxDataBandEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxDataBandEditorForm::FormShow);
  b.Method("FormHide", &TfrxDataBandEditorForm::FormHide);
  b.Method("DatasetsLBClick", &TfrxDataBandEditorForm::DatasetsLBClick);
  b.Method("DatasetsLBDblClick", &TfrxDataBandEditorForm::DatasetsLBDblClick);
  b.Method("DatasetsLBDrawItem", &TfrxDataBandEditorForm::DatasetsLBDrawItem);
  b.Method("OkBClick", &TfrxDataBandEditorForm::OkBClick);
}

void TfrxDataBandEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(3100));
  RecordsL->SetCaption(ResourceText(3101));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

void TfrxDataBandEditorForm::FormShow(TObject*) {
  TStrings* items = DatasetsLB->Items();
  items->Clear();
  if (TfrxReport* report = DataBand ? DataBand->FindParentReport() : nullptr) {
    TStringList names;
    report->ListDataSets(&names);
    names.SetSorted(true);
    for (int i = 0; i < names.Count(); ++i) items->AddObject(names.Strings(i), names.Objects(i));
  }
  items->InsertObject(0, ReportResources()->TextOf("dbNotAssigned"), nullptr);
  int selected = DataBand ? items->IndexOfObject(DataBand->DataSet()) : -1;
  DatasetsLB->SetItemIndex(DataBand && DataBand->DataSet() && selected > 0 ? selected : 0);
  const int rows = DataBand ? DataBand->RowCount() : 0;
  if (rows <= RecordsUD->Max()) RecordsUD->SetPosition(static_cast<SmallInt>(rows));
  RecordsE->SetText(IntToStr(rows));
}

void TfrxDataBandEditorForm::DatasetsLBClick(TObject*) {
  if (DatasetsLB->ItemIndex() > 0) {
    RecordsUD->SetPosition(0);
    RecordsE->SetText("0");
  }
}

void TfrxDataBandEditorForm::DatasetsLBDblClick(TObject* Sender) { OkBClick(Sender); }

void TfrxDataBandEditorForm::DatasetsLBDrawItem(TWinControl*, int Index, const TRect& ARect, TOwnerDrawState) {
  TCanvas* c = DatasetsLB->Canvas();
  c->FillRect(ARect);
  if (Index > 0 && Image1->Picture()->Graphic()) {
    TBitmap* icon = Image1->Picture()->Bitmap();
    icon->SetTransparent(true);
    c->Draw(ARect.Left + 2, ARect.Top, icon);
  }
  c->TextOut(ARect.Left + 20, ARect.Top + 1, DatasetsLB->Items()->Strings(Index));
}

void TfrxDataBandEditorForm::OkBClick(TObject*) {
  int rows = 0;
  const String text = Trim(RecordsE->Text());
  if (!TryStrToInt(text, rows) || rows < 0) {
    if (RecordsE->CanFocus()) RecordsE->SetFocus();
    throw EConvertError(Format(SInvalidInteger, {text}));
  }
  FRecords = rows;
  SetModalResult(mrOk);
}

void TfrxDataBandEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !DataBand) return;
  int index = DatasetsLB->ItemIndex();
  DataBand->SetDataSet(index > 0 ? static_cast<TfrxDataSet*>(DatasetsLB->Items()->Objects(index)) : nullptr);
  DataBand->SetRowCount(FRecords);
}

void TfrxDataBandEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
