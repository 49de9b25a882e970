#pragma once
// Dataset actions: the navigator's ten commands as actions. Bound to a tool button or a menu
// item, such an action acts on the dataset of the focused data-aware control (a grid, an
// edit): the control's data link offers it its data source as the target. Given a DataSource
// of its own, the action acts only on that source, through a control linked to it.
// Declares TDataSetAction and its commands TDataSetFirst, TDataSetPrior, TDataSetNext,
// TDataSetLast, TDataSetInsert, TDataSetDelete, TDataSetEdit, TDataSetPost, TDataSetCancel
// and TDataSetRefresh.
//
//   object DataSetNext1: TDataSetNext
//     Caption = '下一条'
//   end
#include "gui/ActnList.h"
#include "gui/DBCtrls.h"

class TDataSetAction : public TAction {
  KELM_CLASS(TDataSetAction, TAction)
  template <class B> static void Published(B& b) {
    b.Prop("DataSource", &TDataSetAction::DataSource, &TDataSetAction::SetDataSource);
  }
public:
  ~TDataSetAction() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TNavigateBtn Command() const { return FCommand; }

  // A data source with a dataset: any, or the action's own DataSource when it has one.
  bool HandlesTarget(TObject* Target) override;
  bool SeeksTarget() const override { return true; }
  // Runs the command on the target's dataset.
  void ExecuteTarget(TObject* Target) override;
  // Enabled while the command can run on the target's dataset.
  void UpdateTarget(TObject* Target) override;
  // The dataset of a target data source.
  TDataSet* GetDataSet(TObject* Target) const;

protected:
  TDataSetAction(TComponent* AOwner, TNavigateBtn Command) : TAction(AOwner), FCommand(Command) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TDataSource* FDataSource = nullptr;
  TNavigateBtn FCommand;
};

#define KELM_DATASET_ACTION(Cls, Command)                                       \
  class Cls : public TDataSetAction {                                           \
    KELM_CLASS(Cls, TDataSetAction)                                             \
  public:                                                                       \
    explicit Cls(TComponent* AOwner) : TDataSetAction(AOwner, Command) {}       \
  };

KELM_DATASET_ACTION(TDataSetFirst, nbFirst)
KELM_DATASET_ACTION(TDataSetPrior, nbPrior)
KELM_DATASET_ACTION(TDataSetNext, nbNext)
KELM_DATASET_ACTION(TDataSetLast, nbLast)
KELM_DATASET_ACTION(TDataSetInsert, nbInsert)
KELM_DATASET_ACTION(TDataSetDelete, nbDelete)
KELM_DATASET_ACTION(TDataSetEdit, nbEdit)
KELM_DATASET_ACTION(TDataSetPost, nbPost)
KELM_DATASET_ACTION(TDataSetCancel, nbCancel)
KELM_DATASET_ACTION(TDataSetRefresh, nbRefresh)

#undef KELM_DATASET_ACTION
