// Script procedures and functions.
#include "script/fs_iprocvariable.h"

#include "script/fs_iscript.h"
#include "script/fs_istatement.h"
#include "core/Scope.h"
#include "core/StackSpace.h"

TfsProcVariable::TfsProcVariable(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName,
                                 TfsScript* AParent, bool AIsFunction)
    : TfsCustomVariable(AName, ATypeCode, ATypeName),
      FIsFunction(AIsFunction),
      FLocalProgram(std::make_unique<TfsScript>(nullptr)) {
  FReadOnly = true;
  FLocalProgram->SetParentScript(AParent);
  if (FIsFunction) {
    TfsVariable* result = ATypeCode == tcString || ATypeCode == tcChar
                              ? new TfsStringVariable("Result", ATypeCode, ATypeName)
                              : new TfsVariable("Result", ATypeCode, ATypeName);
    FLocalProgram->PutItem("Result", result);
    FLinked = result;
  }
}

TfsProcVariable::~TfsProcVariable() {
  // The parameters are the procedure's: out of the local program before it goes.
  for (int i = 0; i < ParamCount(); ++i) FLocalProgram->RemoveItem(Params(i));
  FLocalProgram.reset();
  FreeItems();
}

TfsVariable* TfsProcVariable::ResultVariable() const { return static_cast<TfsVariable*>(FLinked); }

void TfsProcVariable::AddProcParam(TfsParamItem* Param) {
  AddParam(Param);
  FLocalProgram->PutItem(Param->Name(), Param);
}

const std::vector<TfsCustomVariable*>& TfsProcVariable::LocalItems() {
  TfsScript* local = FLocalProgram.get();
  // Made once per shape of the local program, so a call looks at no item's class.
  if (FLocalItemsCount != local->ItemCount()) {
    FLocalItems.clear();
    FResetItems.clear();
    for (int i = 0; i < local->ItemCount(); ++i) {
      TObject* item = local->ItemAt(i);
      if (auto* v = dynamic_cast<TfsVariable*>(item)) {
        FLocalItems.push_back(v);
        FResetItems.push_back(v);
      } else if (auto* p = dynamic_cast<TfsParamItem*>(item)) {
        FLocalItems.push_back(p);
      }
    }
    FLocalItemsCount = local->ItemCount();
  }
  return FLocalItems;
}

void TfsProcVariable::ResetLocals() {
  LocalItems();
  for (TfsVariable* v : FResetItems) v->Reset();
}

Variant TfsProcVariable::FetchValue() {
  // Runaway recursion ends as an error at the call that goes too deep, not as a crash.
  TfsScript* top = FLocalProgram.get();
  while (top->ParentScript()) top = top->ParentScript();
  TRestore<int> depth(top->CallDepth(), top->CallDepth() + 1);
  if (top->CallDepth() > top->MaxCallDepth()) throw EStackOverflow("Stack overflow");
  CheckStackSpace(256 * 1024);
  TRestore<bool> executing(FExecuting, true);
  TfsScript* local = FLocalProgram.get();
  TfsScript* root = local;
  while (root && !root->RunRoot()) root = root->ParentScript();
  // Put back on every way out, so a debugger's watch never sees a finished call's locals.
  TScopeExit restoreActive([root, saved = root ? root->ActiveLocalProgram() : nullptr] {
    if (root) root->SetActiveLocalProgram(saved);
  });
  if (root) root->SetActiveLocalProgram(local);

  ResetLocals();
  local->SetExitRequested(false);
  local->SetStopRequested(false);
  local->SetRunning(true);
  {
    TScopeExit done([local] {
      local->SetExitRequested(false);
      local->SetStopRequested(false);
      local->SetRunning(false);
    });
    local->MainStatement()->Perform();
  }
  return FIsFunction ? FLinked->FetchValue() : Null();
}
