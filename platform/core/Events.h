#pragma once
// Events are comparable delegates: a target object, the identity of the method bound to it,
// and a typed invoker. Two events are equal when target and method are equal; an unassigned
// event equals only another unassigned one. A window class publishes its handler methods by
// name (see TypInfo.h), so layouts and report files can bind and store handlers by name.
// Declares TMethodCode, TMethod and TEventBase.
#include "core/System.h"
#include <cstring>
#include <functional>
#include <memory>
#include <typeinfo>
#include <utility>

using TGenericFn = void (*)();

// The identity of a bound method: the bytes of a pointer to member, or of a closure address.
struct TMethodCode {
  alignas(8) unsigned char Bytes[16] = {};
  bool operator==(const TMethodCode& o) const { return std::memcmp(Bytes, o.Bytes, sizeof Bytes) == 0; }
};

// The untyped form of any event value, as reflection and streaming see it.
struct TMethod {
  TObject* Data = nullptr;
  TMethodCode Code;
  TGenericFn Thunk = nullptr;            // typed invoker, cast back by TEvent
  const std::type_info* Sig = nullptr;   // signature the invoker expects
  std::shared_ptr<void> Closure;         // the callable, for events made from one
  bool Assigned() const { return Thunk != nullptr; }
  bool operator==(const TMethod& o) const {
    if (!Assigned() || !o.Assigned()) return Assigned() == o.Assigned();
    return Data == o.Data && Code == o.Code && *Sig == *o.Sig;
  }
};

struct TEventBase {};

template <class Sig> class TEvent;

template <class R, class... A> class TEvent<R(A...)> : public TEventBase {
public:
  using Signature = R(A...);
  using Invoker = R (*)(const TMethod&, A...);

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  // Binds a method of an object: TNotifyEvent(this, &TFrm_Main::FormShow).
  template <class C, class M> TEvent(C* target, R (M::*method)(A...)) { Bind(static_cast<M*>(target), method); }
  // Wraps a callable; each wrapping is a distinct handler.
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<R, F&, A...> &&
                                              !std::is_base_of_v<TEventBase, std::decay_t<F>>>>
  static TEvent Lambda(F&& fn) {
    TEvent e;
    auto closure = std::make_shared<std::function<R(A...)>>(std::forward<F>(fn));
    void* raw = closure.get();
    std::memcpy(e.FMethod.Code.Bytes, &raw, sizeof raw);
    e.FMethod.Closure = closure;
    e.FMethod.Thunk = reinterpret_cast<TGenericFn>(&LambdaThunk);
    e.FMethod.Sig = &typeid(Signature);
    return e;
  }
  // Adopts an untyped method; one of another signature is refused (returns false).
  bool Assign(const TMethod& m) {
    if (m.Assigned() && *m.Sig != typeid(Signature)) return false;
    FMethod = m;
    return true;
  }

  R operator()(A... args) const {
    if (!FMethod.Thunk) {
      if constexpr (std::is_void_v<R>) return;
      else return R();
    }
    return reinterpret_cast<Invoker>(FMethod.Thunk)(FMethod, std::forward<A>(args)...);
  }
  bool Assigned() const { return FMethod.Assigned(); }
  explicit operator bool() const { return Assigned(); }
  const TMethod& Method() const { return FMethod; }
  TObject* Target() const { return FMethod.Data; }
  bool operator==(const TEvent& o) const { return FMethod == o.FMethod; }
  bool operator==(std::nullptr_t) const { return !Assigned(); }

  // Invoker of a bound member; used by the class registry to publish handlers by name.
  template <class M> static R MemberThunk(const TMethod& m, A... args) {
    R (M::*method)(A...);
    std::memcpy(&method, m.Code.Bytes, sizeof method);
    return (static_cast<M*>(m.Data)->*method)(std::forward<A>(args)...);
  }
  template <class M> static TMethod MakeMethod(M* target, R (M::*method)(A...)) {
    static_assert(sizeof method <= sizeof(TMethodCode::Bytes));
    TMethod m;
    m.Data = target;
    std::memcpy(m.Code.Bytes, &method, sizeof method);
    m.Thunk = reinterpret_cast<TGenericFn>(&MemberThunk<M>);
    m.Sig = &typeid(Signature);
    return m;
  }

private:
  template <class M> void Bind(M* target, R (M::*method)(A...)) { FMethod = MakeMethod<M>(target, method); }
  static R LambdaThunk(const TMethod& m, A... args) {
    return (*static_cast<std::function<R(A...)>*>(m.Closure.get()))(std::forward<A>(args)...);
  }
  TMethod FMethod;
};

// A named event type: distinct name for reflection, same signature as any other of its shape.
#define KELM_EVENT(Name, ...)                                                   \
  struct Name : TEvent<__VA_ARGS__> {                                         \
    using TEvent<__VA_ARGS__>::TEvent;                                        \
    Name() = default;                                                         \
    Name(const TEvent<__VA_ARGS__>& e) : TEvent<__VA_ARGS__>(e) {}            \
    static const char* TypeName() { return #Name; }                           \
  }

// Binds a method without naming the event type: SetOnClick(MakeEvent(this, &TFrm::BtnClick)).
template <class C, class M, class R, class... A> TEvent<R(A...)> MakeEvent(C* target, R (M::*method)(A...)) {
  return TEvent<R(A...)>(static_cast<M*>(target), method);
}

KELM_EVENT(TNotifyEvent, void(TObject* Sender));
