#include "TestViews.h"

#include "core/ClassBuilder.h"
#include "report/frxVariables.h"

KELM_PUBLISH(TTestView) { Published(b); }

TTestView::TTestView(TComponent* AOwner)
    : TfrxReportComponent(AOwner), FFrame(std::make_unique<TfrxFrame>()), FLines(std::make_unique<TStringList>()) {}

TTestView::~TTestView() = default;

void TTestView::SetDataSet(TfrxDataSet* Value) {
  AssignReference<TfrxDataSet>(this, FDataSet, Value);
  FDataSetName = Value ? Value->UserName() : String();
}

String TTestView::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TTestView::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    SetDataSet(nullptr);
    return;
  }
  if (TfrxDataSet* ds = TfrxDataSet::FindByUserName(nullptr, Value, FindParentReport())) SetDataSet(ds);
}

void TTestView::SetStyle(const String& Value) {
  FStyle = Value;
  TfrxReport* r = FindParentReport();
  if (TfrxStyleItem* s = r && !Value.empty() ? r->Styles()->FindByName(Value) : nullptr) FColor = s->Color();
}

void TTestView::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxReportComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) FDataSet = nullptr;
}
