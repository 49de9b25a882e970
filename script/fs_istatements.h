#pragma once
// The statements a program is made of. Each reports its line (ReportRunLine) before it acts,
// except break, continue, exit and with; "unless stopped" means that a statement whose
// script was asked to stop does nothing after reporting.
//
// Break and continue travel up through blocks to the nearest loop, which clears them; exit
// leaves every block and loop of the procedure (a finally handler still runs to its end);
// a stop request ends every block before its next child.
//
// Loops read a clock every few thousand rounds, so a run with a time limit
// (TfsScript::RunTimeLimit) ends with an error instead of hanging.
// Declares TfsAssignmentStmt and its four compound forms, TfsCallStmt, TfsIfStmt,
// TfsCaseSelector, TfsCaseStmt, TfsRepeatStmt, TfsWhileStmt, TfsForStmt, TfsVbForStmt,
// TfsCppForStmt, TfsTryStmt, TfsBreakStmt, TfsContinueStmt, TfsExitStmt and TfsWithStmt.
#include "script/fs_istatement.h"

#include <memory>

class TfsDesignator;
class TfsExpression;
class TfsSetExpression;
enum TfsOpCode : Byte;

class TfsAssignmentStmt : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsAssignmentStmt() override;
  void Perform() override;

  void SetDesignator(TfsDesignator* Value);
  void SetExpression(TfsExpression* Value);
  TfsDesignator* Designator() const { return FDesignator.get(); }
  TfsExpression* Expression() const { return FExpression.get(); }
  // Picks the direct target (the plain variable or the designator) and the direct source
  // (the single operand or the expression).
  void Prepare();

protected:
  std::unique_ptr<TfsDesignator> FDesignator;
  std::unique_ptr<TfsExpression> FExpression;
  TfsCustomVariable* FTarget = nullptr;
  TfsCustomVariable* FSource = nullptr;
  // Target and expression are Integer-typed: compound forms use the 32-bit operations.
  bool FIntegerPath = false;
};

class TfsAssignPlusStmt final : public TfsAssignmentStmt {
public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Perform() override;
};
class TfsAssignMinusStmt final : public TfsAssignmentStmt {
public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Perform() override;
};
class TfsAssignMulStmt final : public TfsAssignmentStmt {
public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Perform() override;
};
class TfsAssignDivStmt final : public TfsAssignmentStmt {
public:
  using TfsAssignmentStmt::TfsAssignmentStmt;
  void Perform() override;
};

class TfsCallStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsCallStmt() override;
  void Perform() override;
  void SetDesignator(TfsDesignator* Value);
  TfsDesignator* Designator() const { return FDesignator.get(); }
  // '', "+" or "-" (x++ and x--).
  const String& Modificator() const { return FModificator; }
  void SetModificator(const String& Value) {
    FModificator = Value;
    FStep = Value.empty() ? 0 : Value == "+" ? 1 : -1;
  }
  // +1 for x++, -1 for x--, 0 for a call.
  int Step() const { return FStep; }

private:
  std::unique_ptr<TfsDesignator> FDesignator;
  String FModificator;
  int FStep = 0;
};

// The then branch is the statement's own block.
class TfsIfStmt final : public TfsStatement {
public:
  TfsIfStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName);
  ~TfsIfStmt() override;
  void Perform() override;
  void SetCondition(TfsExpression* Value);
  TfsStatement* ElseStmt() const { return FElseStmt.get(); }

private:
  std::unique_ptr<TfsExpression> FCondition;
  std::unique_ptr<TfsStatement> FElseStmt;
};

// A case label set with its branch (the selector's own block).
class TfsCaseSelector final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsCaseSelector() override;
  void SetSetExpression(TfsSetExpression* Value);
  bool Contains(const Variant& Value) const;

private:
  std::unique_ptr<TfsSetExpression> FSetExpression;
};

class TfsCaseStmt final : public TfsStatement {
public:
  TfsCaseStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName);
  ~TfsCaseStmt() override;
  void Perform() override;
  void SetCondition(TfsExpression* Value);
  TfsStatement* ElseStmt() const { return FElseStmt.get(); }

private:
  std::unique_ptr<TfsExpression> FCondition;
  std::unique_ptr<TfsStatement> FElseStmt;
};

class TfsRepeatStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsRepeatStmt() override;
  void Perform() override;
  void SetCondition(TfsExpression* Value);
  // Loops while the condition holds (do ... while) instead of until it holds.
  bool InverseCondition = false;

private:
  std::unique_ptr<TfsExpression> FCondition;
};

class TfsWhileStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsWhileStmt() override;
  void Perform() override;
  void SetCondition(TfsExpression* Value);

private:
  std::unique_ptr<TfsExpression> FCondition;
};

class TfsForStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsForStmt() override;
  void Perform() override;
  void SetVariable(TfsCustomVariable* Value) { FVariable = Value; }
  void SetBeginValue(TfsExpression* Value);
  void SetEndValue(TfsExpression* Value);
  bool Down = false;

private:
  TfsCustomVariable* FVariable = nullptr;
  std::unique_ptr<TfsExpression> FBeginValue;
  std::unique_ptr<TfsExpression> FEndValue;
};

class TfsVbForStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsVbForStmt() override;
  void Perform() override;
  void SetVariable(TfsCustomVariable* Value) { FVariable = Value; }
  void SetBeginValue(TfsExpression* Value);
  void SetEndValue(TfsExpression* Value);
  void SetStep(TfsExpression* Value);

private:
  TfsCustomVariable* FVariable = nullptr;
  std::unique_ptr<TfsExpression> FBeginValue;
  std::unique_ptr<TfsExpression> FEndValue;
  std::unique_ptr<TfsExpression> FStep;
};

class TfsCppForStmt final : public TfsStatement {
public:
  TfsCppForStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName);
  ~TfsCppForStmt() override;
  void Perform() override;
  void SetCondition(TfsExpression* Value);
  TfsStatement* FirstStmt() const { return FFirstStmt.get(); }
  TfsStatement* SecondStmt() const { return FSecondStmt.get(); }

private:
  // A counting loop, `for (...; i < n; i++)`: the condition compares a plain variable with a
  // constant or another plain variable, the step is `i++` or `i--` on a plain variable. While
  // the values are plain Integers, each round compares and steps them as Integers, as the
  // Variant operations would; anything else takes the statements' own way.
  struct TCounting {
    TfsCustomVariable* Left = nullptr;  // the compared variable; nullptr: no such condition
    TfsCustomVariable* Right = nullptr;
    TfsOpCode Compare{};
    TfsCustomVariable* Stepped = nullptr;  // the stepped variable; nullptr: no such step
    TfsStatement* StepStmt = nullptr;
    int Step = 0;
  };
  TCounting Counting() const;

  std::unique_ptr<TfsStatement> FFirstStmt;
  std::unique_ptr<TfsExpression> FCondition;
  std::unique_ptr<TfsStatement> FSecondStmt;
};

// The protected block is the statement's own; the handler is ExceptStmt.
class TfsTryStmt final : public TfsStatement {
public:
  TfsTryStmt(TfsScript* AScript, const String& ASourcePos, const String& AUnitName);
  ~TfsTryStmt() override;
  void Perform() override;
  TfsStatement* ExceptStmt() const { return FExceptStmt.get(); }
  // try/except when set, try/finally when clear.
  bool IsExcept = false;

private:
  std::unique_ptr<TfsStatement> FExceptStmt;
};

class TfsBreakStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  void Perform() override;
};
class TfsContinueStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  void Perform() override;
};
class TfsExitStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  void Perform() override;
};

// Fills its hidden variable with the designator's value; the body's designators start from it.
class TfsWithStmt final : public TfsStatement {
public:
  using TfsStatement::TfsStatement;
  ~TfsWithStmt() override;
  void Perform() override;
  void SetDesignator(TfsDesignator* Value);
  void SetVariable(TfsCustomVariable* Value) { FVariable = Value; }
  TfsCustomVariable* Variable() const { return FVariable; }

private:
  std::unique_ptr<TfsDesignator> FDesignator;
  TfsCustomVariable* FVariable = nullptr;
};

// ---- run limits
// The deadline of the run going on in this thread; loops check it.
void CheckRunTimeLimit();

// A run of at most Milliseconds from now (0: no limit of its own); a limit already running in
// this thread still holds when it ends sooner.
class TfsRunTimeScope {
public:
  explicit TfsRunTimeScope(int Milliseconds);
  ~TfsRunTimeScope();
  TfsRunTimeScope(const TfsRunTimeScope&) = delete;
  TfsRunTimeScope& operator=(const TfsRunTimeScope&) = delete;

private:
  long long FSaved;
};
