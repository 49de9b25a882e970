// The statements' Perform and the run-time limit.
#include "script/fs_istatements.h"

#include "script/fs_idesignator.h"
#include "script/fs_iexpression.h"
#include "script/fs_iscript.h"
#include "core/Scope.h"

#include <chrono>
#include <climits>
#include <cstdint>
#include <exception>
#include <typeinfo>

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
  // The tree's root rather than the expression: one call less per assignment.
  FSource = FExpression->SingleOperandTarget();
  if (!FSource) FSource = FExpression->Root();
  FIntegerPath = FDesignator->TypeCode() == tcInteger && FExpression->TypeCode() == tcInteger;
}

void TfsAssignmentStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  Integer i;
  Variant v;
  if (FSource->FetchInt(i, v)) FTarget->StoreInt(i);
  else FTarget->StoreValue(v);
}

namespace {

// `x op= e`: on Integers the 32-bit operation that `x := x op e` performs (it wraps), else
// the platform's Variant operation.
// Target op Source as Variants (target fetched first); two plain Integers are combined in
// place, with the platform's result.
template <class VarOp>
void StoreVariantOp(TfsCustomVariable* Target, TfsCustomVariable* Source, TfsOpCode Op, VarOp Var) {
  Integer a, b, r;
  Variant t, v;
  const bool ta = Target->FetchInt(a, t);
  const bool sb = Source->FetchInt(b, v);
  if (ta && sb) {
    if (VariantIntArith(Op, a, b, r, v)) Target->StoreInt(r);
    else Target->StoreValue(v);
    return;
  }
  if (ta) t = Variant(a);
  if (sb) v = Variant(b);
  Target->StoreValue(Var(t, v));
}

template <class IntOp, class VarOp>
void PerformCompound(TfsCustomVariable* Target, TfsCustomVariable* Source, bool IntegerPath, TfsOpCode Op,
                     IntOp Int, VarOp Var) {
  if (IntegerPath) {
    const Integer t = Target->FetchAsInteger();
    Target->StoreInt(static_cast<Integer>(Int(static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(Source->FetchAsInteger()))));
    return;
  }
  StoreVariantOp(Target, Source, Op, Var);
}

// x++ and x--: the Variant sum with 1.
void StoreStep(TfsCustomVariable* Target, TfsOpCode Op) {
  Integer a, r;
  Variant v;
  if (Target->FetchInt(a, v)) {
    if (VariantIntArith(Op, a, 1, r, v)) Target->StoreInt(r);
    else Target->StoreValue(v);
    return;
  }
  Target->StoreValue(Op == opPlus ? v + Variant(1) : v - Variant(1));
}

}  // namespace

void TfsAssignPlusStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  PerformCompound(FTarget, FSource, FIntegerPath, opPlus, [](std::uint32_t a, std::uint32_t b) { return a + b; },
                  [](const Variant& a, const Variant& b) { return a + b; });
}

void TfsAssignMinusStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  PerformCompound(FTarget, FSource, FIntegerPath, opMinus, [](std::uint32_t a, std::uint32_t b) { return a - b; },
                  [](const Variant& a, const Variant& b) { return a - b; });
}

void TfsAssignMulStmt::Perform() {
  ReportRunLine();
  if (Script()->StopRequested()) return;
  PerformCompound(FTarget, FSource, FIntegerPath, opMul, [](std::uint32_t a, std::uint32_t b) { return a * b; },
                  [](const Variant& a, const Variant& b) { return a * b; });
}

// Division gives a float: always the Variant operation.
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
  } else {
    StoreStep(FDesignator.get(), FStep > 0 ? opPlus : opMinus);
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
  if (FCondition->Root()->FetchBool()) PerformBlock();
  else FElseStmt->PerformBlock();
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
    PerformBlock();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    if (FCondition->Root()->FetchBool() == !InverseCondition) break;
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
  while (FCondition->Root()->FetchBool()) {
    PerformBlock();
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
    FVariable->SetRawInt(static_cast<Integer>(i));
    PerformBlock();
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
      if (n >= -2147483647LL - 1 && n <= 2147483647LL) FVariable->SetRawInt(static_cast<int>(n));
      else FVariable->RawValue() = Variant(n);
      PerformBlock();
      if (s->BreakRequested() || s->ExitRequested()) break;
      s->SetContinueRequested(false);
      CountRound(rounds);
    }
    s->SetBreakRequested(false);
    return;
  }
  while (down ? !(i < last) : !(i > last)) {
    FVariable->RawValue() = i;
    PerformBlock();
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

namespace {

// A plain variable read without effects: the designator of a variable, resolved.
TfsCustomVariable* PlainVariable(TfsDesignator* D) {
  if (!D || D->DesignatorKind() != dkVariable || D->Pending() || D->LateTail()) return nullptr;
  return D->Linked();
}

// An operand read without effects: a constant or a plain variable.
TfsCustomVariable* PlainOperand(TfsExpressionNode* Node) {
  if (auto* d = dynamic_cast<TfsDesignatorNode*>(Node)) return PlainVariable(d->Designator());
  if (dynamic_cast<TfsSetNode*>(Node) || !dynamic_cast<TfsOperandNode*>(Node)) return nullptr;
  return Node;
}

bool CompareInt(TfsOpCode Op, Integer A, Integer B) {
  switch (Op) {
    case opLess: return A < B;
    case opLessEq: return A <= B;
    case opGreat: return A > B;
    case opGreatEq: return A >= B;
    case opEq: return A == B;
    default: return A != B;
  }
}

bool IsComparison(TfsOpCode Op) {
  return Op == opLess || Op == opLessEq || Op == opGreat || Op == opGreatEq || Op == opEq || Op == opNonEq;
}

}  // namespace

TfsCppForStmt::TCounting TfsCppForStmt::Counting() const {
  TCounting c;
  if (auto* cmp = dynamic_cast<TfsOperatorNode*>(FCondition->Root()); cmp && IsComparison(cmp->OpCode)) {
    TfsCustomVariable* left = cmp->Left ? PlainOperand(cmp->Left) : nullptr;
    TfsCustomVariable* right = cmp->Right ? PlainOperand(cmp->Right) : nullptr;
    if (left && right) {
      c.Left = left;
      c.Right = right;
      c.Compare = cmp->OpCode;
    }
  }
  if (FSecondStmt->StatementCount() == 1)
    if (auto* call = dynamic_cast<TfsCallStmt*>(FSecondStmt->Statements(0)); call && call->Step() != 0)
      if (TfsCustomVariable* v = PlainVariable(call->Designator())) {
        c.Stepped = v;
        c.StepStmt = call;
        c.Step = call->Step();
      }
  return c;
}

void TfsCppForStmt::Perform() {
  ReportRunLine();
  TfsScript* s = Script();
  if (s->StopRequested()) return;
  FFirstStmt->Perform();
  if (s->StopRequested()) return;
  const TCounting c = Counting();
  // The step's Integer sum stays within the range; at its edge the Variant sum widens.
  const Integer edge = c.Step > 0 ? INT_MAX : INT_MIN;
  // A script variable stores an Integer straight into its slot.
  TfsCustomVariable* const raw =
      c.Stepped && typeid(*c.Stepped) == typeid(TfsVariable) && !c.Stepped->ReadOnly() ? c.Stepped : nullptr;
  const std::atomic<int>& hooks = TfsStatement::RunLineHooks();
  unsigned rounds = 0;
  Variant v;
  for (;;) {
    Integer a, b;
    const bool go = c.Left && c.Left->FetchInt(a, v) && c.Right->FetchInt(b, v) ? CompareInt(c.Compare, a, b)
                                                                                : FCondition->Root()->FetchBool();
    if (!go) break;
    PerformBlock();
    if (s->BreakRequested() || s->ExitRequested()) break;
    s->SetContinueRequested(false);
    // What the step statement does when no run-line hook watches it and no stop is asked for.
    if (c.Stepped && hooks.load(std::memory_order_relaxed) == 0 && !c.StepStmt->Script()->StopRequested() &&
        c.Stepped->FetchInt(a, v) && a != edge) {
      if (raw) raw->SetRawInt(a + c.Step);
      else c.Stepped->StoreInt(a + c.Step);
    } else {
      FSecondStmt->PerformBlock();
    }
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
