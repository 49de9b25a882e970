#pragma once
// Shorthands the script tests share: a script with the test module installed, a statement that
// runs a C++ action, and the message of an error.
#include "ScriptTestModule.h"
#include "script/fs_iinterpreter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A statement that reports its line, then (unless the script was stopped) runs an action.
class TTestStmt : public TfsStatement {
public:
  TTestStmt(TfsScript* AScript, const String& APos, std::function<void()> AAction)
      : TfsStatement(AScript, APos, String()), FAction(std::move(AAction)) {}
  void Perform() override {
    ReportRunLine();
    if (Script()->StopRequested()) return;
    FAction();
  }

private:
  std::function<void()> FAction;
};

// A script with the test module installed.
inline std::unique_ptr<TfsScript> NewTestScript() {
  RegisterScriptTestModule();
  auto s = std::make_unique<TfsScript>(nullptr);
  s->InstallModules();
  return s;
}

// "<message>" of what f raises; "no error" when it raises nothing.
template <class F> String ErrorText(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}
