#pragma once
// TfsStatement: a block of statements and the base of every statement. A block performs its
// children in order and stops when the script is asked to stop, or when a child asks to break,
// continue or exit. A block reports no line of its own; statements report theirs through
// ReportRunLine before they act.
// Declares TfsStatement.
#include "script/fs_ivariables.h"

#include <atomic>

class TfsStatement : public TfsItemList {
public:
  // Script: the script the statement belongs to (the main script, or a procedure's local
  // program). SourcePos: "line:column". UnitName: '' for the main text.
  TfsStatement(TfsScript* AScript, const String& ASourcePos, const String& AUnitName);

  virtual void Perform();
  // Perform for a block known to be a plain TfsStatement: a single child runs without the
  // loop.
  void PerformBlock() {
    if (FItems.size() != 1) TfsStatement::Perform();
    else if (!*FStopFlag) static_cast<TfsStatement*>(FItems[0])->Perform();
  }

  TfsScript* Script() const { return FScript; }
  const String& SourcePos() const { return FSourcePos; }
  const String& UnitName() const { return FUnitName; }
  int StatementCount() const { return ItemCount(); }
  TfsStatement* Statements(int Index) const { return static_cast<TfsStatement*>(Item(Index)); }
  void AddStatement(TfsStatement* Statement) { Add(Statement); }

  // Scripts that have an OnRunLine handler, in every thread; while there are none,
  // statements skip the walk up the parents.
  static std::atomic<int>& RunLineHooks() { return sRunLineHooks; }

protected:
  // The run-line hook of the statement's script (TfsScript::NotifyRunLine).
  void ReportRunLine() {
    if (sRunLineHooks.load(std::memory_order_relaxed) > 0) NotifyRunLine();
  }

private:
  void NotifyRunLine();
  static std::atomic<int> sRunLineHooks;

  TfsScript* FScript;
  // The script's stop request, read without a call.
  const bool* FStopFlag;
  String FSourcePos;
  String FUnitName;
};
