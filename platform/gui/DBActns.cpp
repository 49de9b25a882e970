// Dataset actions: a data source as the target, the navigator's commands on its dataset.
#include "gui/DBActns.h"

#include "core/ClassBuilder.h"

KELM_PUBLISH(TDataSetAction) { Published(b); }
KELM_PUBLISH(TDataSetFirst) {}
KELM_PUBLISH(TDataSetPrior) {}
KELM_PUBLISH(TDataSetNext) {}
KELM_PUBLISH(TDataSetLast) {}
KELM_PUBLISH(TDataSetInsert) {}
KELM_PUBLISH(TDataSetDelete) {}
KELM_PUBLISH(TDataSetEdit) {}
KELM_PUBLISH(TDataSetPost) {}
KELM_PUBLISH(TDataSetCancel) {}
KELM_PUBLISH(TDataSetRefresh) {}

TDataSetAction::~TDataSetAction() { SetDataSource(nullptr); }

void TDataSetAction::SetDataSource(TDataSource* Value) { AssignReference(this, FDataSource, Value); }

void TDataSetAction::Notification(TComponent* AComponent, TOperation Operation) {
  TAction::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSource) FDataSource = nullptr;
}

bool TDataSetAction::HandlesTarget(TObject* Target) {
  auto* source = dynamic_cast<TDataSource*>(Target);
  return source && source->DataSet() && (!FDataSource || source == FDataSource);
}

TDataSet* TDataSetAction::GetDataSet(TObject* Target) const {
  auto* source = dynamic_cast<TDataSource*>(Target);
  return source ? source->DataSet() : nullptr;
}

void TDataSetAction::ExecuteTarget(TObject* Target) { RunDataSetCommand(FCommand, GetDataSet(Target)); }

void TDataSetAction::UpdateTarget(TObject* Target) {
  SetEnabled(DataSetCommandAllowed(FCommand, GetDataSet(Target)));
}
