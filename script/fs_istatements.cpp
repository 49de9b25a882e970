// The statements' Perform and the run-time limit.
#include "script/fs_istatements.h"

#include "script/fs_idesignator.h"
#include "script/fs_iexpression.h"
#include "script/fs_iscript.h"
#include "core/Scope.h"

#include <chrono>
#include <climits>
#include <exception>

// ---------------------------------------------------------------- run-time limit

namespace {

// Milliseconds on the steady clock; 0 = no deadline.
thread_local long long tRunDeadline = 0;

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Loops look at the clock once every this many rounds.
constexpr unsigned kClockRounds = 4096;

inline void CountRound(unsigned& Rounds) {
  if (++Rounds % kClockRounds == 0) CheckRunTimeLimit();
}

}  // namespace

void CheckRunTimeLimit() {
  if (tRunDeadline != 0 && NowMs() >= tRunDeadline) throw Exception("Script run time limit exceeded");
}

TfsRunTimeScope::TfsRunTimeScope(int Milliseconds) : FSaved(tRunDeadline) {
  if (Milliseconds <= 0) return;
  long long mine = NowMs() + Milliseconds;
  if (tRunDeadline == 0 || mine < tRunDeadline) tRunDeadline = mine;
}

TfsRunTimeScope::~TfsRunTimeScope() { tRunDeadline = FSaved; }

// ---------------------------------------------------------------- assignments

TfsAssignmentStmt::~TfsAssignmentStmt() = default;

void TfsAssignmentStmt::SetDesignator(TfsDesignator* Value) { FDesignator.reset(Value); }
void TfsAssignmentStmt::SetExpression(TfsExpression* Value) { FExpression.reset(Value); }

void TfsAssignmentStmt::Prepare() {
  FTarget = FDesignator->DesignatorKind() == dkVariable ? FDesignator->Linked() : FDesignator.get();
  FSource = FExpression->SingleOperandTarget();
  if (!FSource) FSource = FExpression.get();
}

void TfsAssignmentStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  FTarget->StoreValue(FSource->FetchValue());
}

void TfsAssignPlusStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  Variant t = FTarget->FetchValue();
  FTarget->StoreValue(t + FSource->FetchValue());
}

void TfsAssignMinusStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  Variant t = FTarget->FetchValue();
  FTarget->StoreValue(t - FSource->FetchValue());
}

void TfsAssignMulStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  Variant t = FTarget->FetchValue();
  FTarget->StoreValue(t * FSource->FetchValue());
}

void TfsAssignDivStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  Variant t = FTarget->FetchValue();
  FTarget->StoreValue(t / FSource->FetchValue());
}

// ---------------------------------------------------------------- call

TfsCallStmt::~TfsCallStmt() = default;
void TfsCallStmt::SetDesignator(TfsDesignator* Value) { FDesignator.reset(Value); }

void TfsCallStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  if (FModificator.empty()) {
    FDesignator->SetResultWanted(false);
    FDesignator->FetchValue();
  } else if (FModificator == "+") {
    FDesignator->StoreValue(FDesignator->FetchValue() + Variant(1));
  } else {
    FDesignator->StoreValue(FDesignator->FetchValue() - Variant(1));
  }
}

// ---------------------------------------------------------------- if, case

TfsIfStmt::TfsIfStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : TfsStatement(AScript, ASourcePos, AUnitName),
      FElseStmt(std::make_unique<TfsStatement>(AScript, ASourcePos, AUnitName)) {}
TfsIfStmt::~TfsIfStmt() = default;
void TfsIfStmt::SetCondition(TfsExpression* Value) { FCondition.reset(Value); }

void TfsIfStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  if (FCondition->FetchValue().AsBoolean()) TfsStatement::Perform();
  else FElseStmt->Perform();
}

TfsCaseSelector::~TfsCaseSelector() = default;
void TfsCaseSelector::SetSetExpression(TfsSetExpression* Value) { FSetExpression.reset(Value); }
bool TfsCaseSelector::Contains(const Variant& Value) const { return SetContains(FSetExpression.get(), Value); }

TfsCaseStmt::TfsCaseStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : TfsStatement(AScript, ASourcePos, AUnitName),
      FElseStmt(std::make_unique<TfsStatement>(AScript, ASourcePos, AUnitName)) {}
TfsCaseStmt::~TfsCaseStmt() = default;
void TfsCaseStmt::SetCondition(TfsExpression* Value) { FCondition.reset(Value); }

void TfsCaseStmt::Perform() {
  Variant value = FCondition->FetchValue();
  ReportRunLine();
  if (Script()->StopRequested()) return;
  for (int i = 0; i < StatementCount(); ++i) {
    auto* s = static_cast<TfsCaseSelector*>(Statements(i));
    if (s->Contains(value)) {
      s->Perform();
      return;
    }
  }
  FElseStmt->Perform();
}

// ---------------------------------------------------------------- loops

TfsRepeatStmt::~TfsRepeatStmt() = default;
void TfsRepeatStmt::SetCondition(TfsExpression* Value) { FCondition.reset(Value); }

void TfsRepeatStmt::Perform() {
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  unsigned rounds = 0;
  for (;;) {
    TfsStatement::Perform();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    if (FCondition->FetchValue().AsBoolean() == !InverseCondition) break;
    CountRound(rounds);
  }
  s->SetBreakRequested(false);
}

TfsWhileStmt::~TfsWhileStmt() = default;
void TfsWhileStmt::SetCondition(TfsExpression* Value) { FCondition.reset(Value); }

void TfsWhileStmt::Perform() {
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  unsigned rounds = 0;
  while (FCondition->FetchValue().AsBoolean()) {
    TfsStatement::Perform();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    CountRound(rounds);
  }
  s->SetBreakRequested(false);
}

TfsForStmt::~TfsForStmt() = default;
void TfsForStmt::SetBeginValue(TfsExpression* Value) { FBeginValue.reset(Value); }
void TfsForStmt::SetEndValue(TfsExpression* Value) { FEndValue.reset(Value); }

void TfsForStmt::Perform() {
  const Integer first = FBeginValue->FetchValue().AsInteger();
  const Integer last = FEndValue->FetchValue().AsInteger();
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  unsigned rounds = 0;
  // Counted in 64 bits: a loop ending at the edge of the Integer range stops there.
  const long long step = Down ? -1 : 1;
  for (long long i = first; Down ? i >= last : i <= last; i += step) {
    FVariable->RawValue() = Variant(static_cast<Integer>(i));
    TfsStatement::Perform();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    CountRound(rounds);
  }
  s->SetBreakRequested(false);
}

TfsVbForStmt::~TfsVbForStmt() = default;
void TfsVbForStmt::SetBeginValue(TfsExpression* Value) { FBeginValue.reset(Value); }
void TfsVbForStmt::SetEndValue(TfsExpression* Value) { FEndValue.reset(Value); }
void TfsVbForStmt::SetStep(TfsExpression* Value) { FStep.reset(Value); }

void TfsVbForStmt::Perform() {
  Variant i = FBeginValue->FetchValue();
  const Variant last = FEndValue->FetchValue();
  const Variant step = FStep ? FStep->FetchValue() : Variant(1);
  const bool down = step < Variant(0);
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  unsigned rounds = 0;
  if (VarType(i) == varInteger && VarType(last) == varInteger && VarType(step) == varInteger) {
    // Integers count as the Variant rules would (passing the Integer range widens, as their sum
    // does) without a Variant sum and comparison each round.
    const long long to = last.AsInteger(), by = step.AsInteger();
    for (long long n = i.AsInteger(); down ? n >= to : n <= to; n += by) {
      if (n >= -2147483647LL - 1 && n <= 2147483647LL) FVariable->RawValue() = Variant(static_cast<int>(n));
      else FVariable->RawValue() = Variant(n);
      TfsStatement::Perform();
      if (s->BreakRequested() || s->ExitRequested()) break;
      s->SetContinueRequested(false);
      CountRound(rounds);
    }
    s->SetBreakRequested(false);
    return;
  }
  while (down ? !(i < last) : !(i > last)) {
    FVariable->RawValue() = i;
    TfsStatement::Perform();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    i = i + step;
    CountRound(rounds);
  }
  s->SetBreakRequested(false);
}

TfsCppForStmt::TfsCppForStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : TfsStatement(AScript, ASourcePos, AUnitName),
      FFirstStmt(std::make_unique<TfsStatement>(AScript, ASourcePos, AUnitName)),
      FSecondStmt(std::make_unique<TfsStatement>(AScript, ASourcePos, AUnitName)) {}
TfsCppForStmt::~TfsCppForStmt() = default;
void TfsCppForStmt::SetCondition(TfsExpression* Value) { FCondition.reset(Value); }

void TfsCppForStmt::Perform() {
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  FFirstStmt->Perform();
  if (s->StopRequested()) return;
  unsigned rounds = 0;
  while (FCondition->FetchValue().AsBoolean()) {
    TfsStatement::Perform();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    FSecondStmt->Perform();
    CountRound(rounds);
  }
  s->SetBreakRequested(false);
}

// ---------------------------------------------------------------- try

TfsTryStmt::TfsTryStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName)
    : TfsStatement(AScript, ASourcePos, AUnitName),
      FExceptStmt(std::make_unique<TfsStatement>(AScript, ASourcePos, AUnitName)) {}
TfsTryStmt::~TfsTryStmt() = default;

void TfsTryStmt::Perform() {
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  if (IsExcept) {
    bool failed = false;
    try {
      TfsStatement::Perform();
    } catch (...) {
      // Every error, a foreign one included (memory, for instance), runs the handler.
      failed = true;
    }
    if (failed) FExceptStmt->Perform();
    return;
  }
  // The handler runs whatever happened in the block; an error then goes on outward.
  std::exception_ptr error;
  try {
    TfsStatement::Perform();
  } catch (...) {
    error = std::current_exception();
  }
  const bool exiting = s->ExitRequested();
  s->SetExitRequested(false);
  FExceptStmt->Perform();
  s->SetExitRequested(exiting);
  if (error) std::rethrow_exception(error);
}

// ---------------------------------------------------------------- flags and with

void TfsBreakStmt::Perform() { Script()->SetBreakRequested(true); }
void TfsContinueStmt::Perform() { Script()->SetContinueRequested(true); }
void TfsExitStmt::Perform() { Script()->SetExitRequested(true); }

TfsWithStmt::~TfsWithStmt() = default;
void TfsWithStmt::SetDesignator(TfsDesignator* Value) { FDesignator.reset(Value); }

void TfsWithStmt::Perform() {
  TfsStatement::Perform();
  FVariable->StoreValue(FDesignator->FetchValue());
}
