// The block statement.
#include "script/fs_istatement.h"

#include "script/fs_iscript.h"

TfsStatement::TfsStatement(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : FScript(AScript), FStopFlag(&AScript->StopRequestedFlag()), FSourcePos(ASourcePos), FUnitName(AUnitName) {}

std::atomic<int> TfsStatement::sRunLineHooks{0};

void TfsStatement::NotifyRunLine() { FScript->NotifyRunLine(FUnitName, FSourcePos); }

void TfsStatement::Perform() {
  TfsScript* s = FScript;
  if (s->StopRequested()) return;
  // A stop asked for by a child ends the block as the others do.
  for (TObject* child : FItems) {
    static_cast<TfsStatement*>(child)->Perform();
    if (s->FlowInterrupted()) break;
  }
}
