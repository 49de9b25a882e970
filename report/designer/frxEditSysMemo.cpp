#include "report/designer/frxEditSysMemo.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/StringList.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxSysMemoEditorForm) {
  b.Method("FormCreate", &TfrxSysMemoEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxSysMemoEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxSysMemoEditorForm::FormShow);
  b.Method("FormHide", &TfrxSysMemoEditorForm::FormHide);
  b.Method("SampleChange", &TfrxSysMemoEditorForm::SampleChange);
  b.Method("DataBandCBClick", &TfrxSysMemoEditorForm::DataBandCBClick);
  b.Method("DataSetCBClick", &TfrxSysMemoEditorForm::DataSetCBClick);
  b.Method("DataFieldCBClick", &TfrxSysMemoEditorForm::DataFieldCBClick);
  b.Method("ExpressionBClick", &TfrxSysMemoEditorForm::ExpressionBClick);
}

namespace {

TfrxCustomDesigner* DesignerOf(TComponent* Form) { return dynamic_cast<TfrxCustomDesigner*>(Form->Owner()); }

}  // namespace

void TfrxSysMemoEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(3300));
  DataBandL->SetCaption(ResourceText(3301));
  DataSetL->SetCaption(ResourceText(3302));
  DataFieldL->SetCaption(ResourceText(3303));
  FunctionL->SetCaption(ResourceText(3304));
  ExpressionL->SetCaption(ResourceText(3305));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  AggregateRB->SetCaption(ResourceText(3306));
  SysVariableRB->SetCaption(ResourceText(3307));
  CountInvisibleCB->SetCaption(ResourceText(3308));
  TextRB->SetCaption(ResourceText(3309));
  RunningTotalCB->SetCaption(ResourceText(3310));
  SysVariableCB->Items()->Clear();
  for (int i = 1; i <= 6; ++i) SysVariableCB->Items()->Add(ReportResources()->TextOf("vt" + IntToStr(i)));
  FunctionCB->SetItemIndex(0);
}

void TfrxSysMemoEditorForm::FormShow(TObject*) {
  TfrxCustomDesigner* designer = DesignerOf(this);
  FReport = designer ? designer->Report() : nullptr;
  DataBandCB->Items()->Clear();
  if (designer)
    for (TObject* o : designer->Objects())
      if (auto* band = dynamic_cast<TfrxDataBand*>(o)) DataBandCB->Items()->Add(band->Name());
  DataSetCB->Items()->Clear();
  if (FReport) FReport->ListDataSets(DataSetCB->Items());

  // An object's text ends with the line break of its last line.
  String text = Text;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  if (AggregateOnly) {
    SetCaption(ReportResources()->TextOf("agAggregate"));
    AggregateRB->SetChecked(true);
    for (TControl* c : std::initializer_list<TControl*>{SysVariableRB, AggregateRB, TextRB, SysVariableCB, TextE,
                                                         GroupBox1, GroupBox2})
      c->SetVisible(false);
    AggregatePanel->SetTop(4);
    OKB->SetTop(AggregatePanel->Height() + 18);
    CancelB->SetTop(OKB->Top());
    SetClientHeight(CancelB->Top() + 33);
  } else if (!text.empty() && SysVariableCB->Items()->IndexOf(text) < 0) {
    TextRB->SetChecked(true);
    TextE->SetText(text);
    if (TextE->CanFocus()) TextE->SetFocus();
  } else {
    SysVariableRB->SetChecked(true);
    SysVariableCB->SetText(text);
  }
  SampleChange(nullptr);
}

String TfrxSysMemoEditorForm::AggregateText() const {
  int flags = 0;
  if (CountInvisibleCB->Checked()) flags += 1;
  if (RunningTotalCB->Checked()) flags += 2;
  const String function = FunctionCB->Text();
  const String band = DataBandCB->Text();
  if (function == "COUNT") return function + "(" + band + (flags ? "," + IntToStr(flags) : String()) + ")";
  String r = function + "(";
  r += !ExpressionE->Text().empty() ? ExpressionE->Text()
                                    : "<" + DataSetCB->Text() + ".\"" + DataFieldCB->Text() + "\">";
  if (!band.empty()) {
    r += "," + band;
    if (flags) r += "," + IntToStr(flags);
  }
  return r + ")";
}

void TfrxSysMemoEditorForm::SampleChange(TObject*) {
  SampleL->SetCaption(AggregateRB->Checked() ? AggregateText() : String());
}

void TfrxSysMemoEditorForm::DataBandCBClick(TObject*) {
  TfrxCustomDesigner* designer = DesignerOf(this);
  TfrxComponent* found = designer && designer->Page() ? designer->Page()->FindObject(DataBandCB->Text()) : nullptr;
  auto* band = dynamic_cast<TfrxDataBand*>(found);
  if (band && band->DataSet() && !dynamic_cast<TfrxUserDataSet*>(band->DataSet()) && FReport) {
    DataSetCB->SetItemIndex(DataSetCB->Items()->IndexOf(FReport->AliasOfDataSet(band->DataSet())));
    DataSetCBClick(nullptr);
  }
  SampleChange(nullptr);
}

void TfrxSysMemoEditorForm::DataSetCBClick(TObject*) {
  DataFieldCB->Items()->Clear();
  TfrxDataSet* ds = FReport ? FReport->GetDataset(DataSetCB->Text()) : nullptr;
  if (ds) ds->GetFieldList(DataFieldCB->Items());
  ExpressionE->SetText("");
  SampleChange(nullptr);
}

void TfrxSysMemoEditorForm::DataFieldCBClick(TObject*) {
  ExpressionE->SetText("");
  SampleChange(nullptr);
}

void TfrxSysMemoEditorForm::ExpressionBClick(TObject*) {
  TfrxCustomDesigner* designer = DesignerOf(this);
  if (!designer) return;
  String expression = ExpressionE->Text();
  if (designer->AskExpression(expression) && !expression.empty()) ExpressionE->SetText(expression);
}

void TfrxSysMemoEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk) return;
  if (SysVariableRB->Checked()) Text = SysVariableCB->Text();
  else if (AggregateRB->Checked()) Text = "[" + AggregateText() + "]";
  else Text = TextE->Text();
}

void TfrxSysMemoEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
