#pragma once
// State put back when a scope ends, however it ends: the "finally" of a routine that changes a
// flag, a counter or a position for the length of a call and must restore it also when an
// exception leaves. Use these instead of a hand-written catch (...) { restore; throw; }.
//
//   TRestore keep(FUpdating, true);          // FUpdating is true inside, its old value after
//   TScopeExit done([&] { EndUpdate(); });   // any action, run once on leaving the scope
//
// A scope object may be dismissed (Dismiss) when the routine decides the change should stay.
//
// A closing step that may itself raise (ending an update that runs a layout pass, releasing
// held notifications) cannot live in a destructor: TryFinally runs it after the body on every
// way out, and an exception it raises reaches the caller.
//
//   TryFinally([&] { Rebuild(); }, [&] { EndLayout(); });
#include <type_traits>
#include <utility>

// Holds a variable's value and writes it back when the scope ends.
template <class T>
class TRestore {
public:
  explicit TRestore(T& Var) : FVar(&Var), FSaved(Var) {}
  TRestore(T& Var, T NewValue) : FVar(&Var), FSaved(Var) { Var = std::move(NewValue); }
  ~TRestore() {
    if (FVar) *FVar = std::move(FSaved);
  }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

  const T& Saved() const { return FSaved; }
  void Dismiss() { FVar = nullptr; }

private:
  T* FVar;
  T FSaved;
};

// Runs an action once when the scope ends. The action must not throw: it runs during
// unwinding too.
template <class F>
class TScopeExit {
public:
  explicit TScopeExit(F Action) : FAction(std::move(Action)) {}
  ~TScopeExit() {
    if (FArmed) FAction();
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

  void Dismiss() { FArmed = false; }

private:
  F FAction;
  bool FArmed = true;
};

// Runs Body, then Cleanup however Body ends, and gives Body's result. When Body raises, Cleanup
// runs before the exception goes on (an exception from Cleanup then takes its place, as in any
// handler); on the normal path Cleanup's own exception reaches the caller.
template <class B, class C>
decltype(auto) TryFinally(B&& Body, C&& Cleanup) {
  if constexpr (std::is_void_v<std::invoke_result_t<B&>>) {
    try {
      Body();
    } catch (...) {
      Cleanup();
      throw;
    }
    Cleanup();
  } else {
    std::invoke_result_t<B&> result = [&]() -> std::invoke_result_t<B&> {
      try {
        return Body();
      } catch (...) {
        Cleanup();
        throw;
      }
    }();
    Cleanup();
    return result;
  }
}
