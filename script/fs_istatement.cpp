// The block statement.
#include "script/fs_istatement.h"

#include "script/fs_iscript.h"

TfsStatement::TfsStatement(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : FScript(AScript), FSourcePos(ASourcePos), FUnitName(AUnitName) {}

std::atomic<int> TfsStatement::sRunLineHooks{0};

void TfsStatement::NotifyRunLine() { FScript->NotifyRunLine(FUnitName, FSourcePos); }

void TfsStatement::Perform() {
  for (int i = 0; i < StatementCount(); ++i) {
    if (FScript->StopRequested()) break;
    Statements(i)->Perform();
    if (FScript->BreakRequested() || FScript->ContinueRequested() || FScript->ExitRequested()) break;
  }
}
