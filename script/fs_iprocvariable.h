#pragma once
// A script procedure or function. It owns a local program, a TfsScript whose parent is the
// declaring script and which holds the parameters, the local variables, the Result variable
// of a function and the body. Fetching runs it.
//
// Every call starts with Result and the local variables at their initial values; the
// parameters carry the call's arguments, stored by the caller. While it runs, the run root
// (the first script up the parent chain that runs a program) names the local program as its
// ActiveLocalProgram, so that an expression evaluated meanwhile sees the locals; the previous
// value is put back however the call ends.
// Declares TfsProcVariable.
#include "script/fs_iscript.h"

#include <memory>

class TfsProcVariable : public TfsCustomVariable {
public:
  TfsProcVariable(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName, TfsScript* AParent,
                  bool AIsFunction);
  unsigned VariableKinds() const override { return fsvkProc; }
  ~TfsProcVariable() override;

  Variant FetchValue() override;
  bool EvaluateInt(Integer& I, Variant& V) override;

  bool IsFunction() const { return FIsFunction; }
  TfsScript* LocalProgram() const { return FLocalProgram.get(); }
  // True from the start to the end of each call, nested calls included.
  bool Executing() const { return FExecuting; }
  // A function's Result variable (also its Linked item); nullptr for a procedure.
  TfsVariable* ResultVariable() const;
  // Enters a parameter into the procedure and its local program.
  void AddProcParam(TfsParamItem* Param);
  // The variables and parameters of the local program (Result included), in item order.
  const std::vector<TfsCustomVariable*>& LocalItems() {
    if (FLocalItemsCount != FLocalProgram->ItemCount()) RefreshLocalItems();
    return FLocalItems;
  }
  // Every local item keeps its value in its slot (plain variables and parameters): saving,
  // restoring and resetting them needs no virtual call. Valid after LocalItems.
  bool PlainLocals() const { return FPlainLocals; }

private:
  void ResetLocals();
  void RefreshLocalItems();
  // One call: the body performed with the locals reset.
  void Run();

  std::vector<TfsCustomVariable*> FLocalItems;
  std::vector<TfsVariable*> FResetItems;
  int FLocalItemsCount = -1;  // the local program's item count the lists were made for
  bool FPlainLocals = false;

  bool FIsFunction;
  std::unique_ptr<TfsScript> FLocalProgram;
  bool FExecuting = false;
};
