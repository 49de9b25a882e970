// Script procedures and functions.
#include "script/fs_iprocvariable.h"

#include "script/fs_iscript.h"
#include "script/fs_istatement.h"
#include "core/Scope.h"
#include "core/StackSpace.h"

#include <cstdint>
#include <typeinfo>

namespace {

// Stack a call leaves for the host after the deepest script call.
constexpr std::uintptr_t kStackReserve = 256 * 1024;

}  // namespace

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

// Made once per shape of the local program, so a call looks at no item's class.
void TfsProcVariable::RefreshLocalItems() {
  TfsScript* local = FLocalProgram.get();
  {
    FLocalItems.clear();
    FResetItems.clear();
    FPlainLocals = true;
    for (int i = 0; i < local->ItemCount(); ++i) {
      TObject* item = local->ItemAt(i);
      if (auto* v = dynamic_cast<TfsVariable*>(item)) {
        FLocalItems.push_back(v);
        FResetItems.push_back(v);
        if (typeid(*v) != typeid(TfsVariable)) FPlainLocals = false;
      } else if (auto* p = dynamic_cast<TfsParamItem*>(item)) {
        FLocalItems.push_back(p);
        if (typeid(*p) != typeid(TfsParamItem)) FPlainLocals = false;
      }
    }
    FLocalItemsCount = local->ItemCount();
  }
}

void TfsProcVariable::ResetLocals() {
  LocalItems();
  if (FPlainLocals)
    for (TfsVariable* v : FResetItems) v->ResetSlot();
  else
    for (TfsVariable* v : FResetItems) v->Reset();
}

void TfsProcVariable::Run() {
  // Runaway recursion ends as an error at the call that goes too deep, not as a crash.
  // The outermost script counts the depth; the first running one up the chain names the
  // procedure running now.
  TfsScript* local = FLocalProgram.get();
  TfsScript* top = local;
  TfsScript* root = local->RunRoot() ? local : nullptr;
  while (TfsScript* parent = top->ParentScript()) {
    top = parent;
    if (!root && parent->RunRoot()) root = parent;
  }
  TRestore<int> depth(top->CallDepth(), top->CallDepth() + 1);
  if (top->CallDepth() > top->MaxCallDepth()) throw EStackOverflow("Stack overflow");
  // The stack's floor is found once per outermost call; every call compares against it.
  char here = 0;
  const auto pos = reinterpret_cast<std::uintptr_t>(&here);
  if (top->CallDepth() == 1) {
    const std::size_t left = StackSpaceLeft();
    top->SetStackFloor(left == static_cast<std::size_t>(-1) ? 0 : pos - left + kStackReserve);
  }
  if (pos < top->StackFloor()) throw EStackOverflow("Stack overflow");
  TRestore<bool> executing(FExecuting, true);
  // Put back on every way out, so a debugger's watch never sees a finished call's locals.
  TScopeExit restoreActive([root, saved = root ? root->ActiveLocalProgram() : nullptr] {
    if (root) root->SetActiveLocalProgram(saved);
  });
  if (root) root->SetActiveLocalProgram(local);

  ResetLocals();
  local->SetExitRequested(false);
  local->SetStopRequested(false);
  local->SetRunning(true);
  TScopeExit done([local] {
    local->SetExitRequested(false);
    local->SetStopRequested(false);
    local->SetRunning(false);
  });
  local->MainStatement()->PerformBlock();
}

Variant TfsProcVariable::FetchValue() {
  Run();
  return FIsFunction ? FLinked->FetchValue() : Null();
}

bool TfsProcVariable::EvaluateInt(Integer& I, Variant& V) {
  Run();
  if (FIsFunction) return FLinked->FetchInt(I, V);
  V = Null();
  return false;
}
