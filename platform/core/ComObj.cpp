// The registry of automation program identifiers.
#include "core/ComObj.h"

#include "core/StrUtils.h"

#include <map>
#include <mutex>

namespace {

struct TFoldLess {
  bool operator()(const String& a, const String& b) const { return CompareText(a, b) < 0; }
};

struct TAutomationRegistry {
  std::mutex Lock;
  std::map<String, TAutomationFactory, TFoldLess> Factories;
};

TAutomationRegistry& Registry() {
  static TAutomationRegistry r;
  return r;
}

[[noreturn]] void InvalidClassString() { throw EOleSysError("Invalid class string"); }

struct TErrorText {
  HRESULT Code;
  const char* Text;
};

constexpr TErrorText kErrorTexts[] = {
    {HRESULT(0x80004001u), "Not implemented"},
    {HRESULT(0x80004005u), "Unspecified error"},
    {HRESULT(0x80070057u), "The parameter is incorrect."},
    {DISP_E_MEMBERNOTFOUND, "Member not found."},
    {HRESULT(0x80020004u), "Parameter not found."},
    {DISP_E_TYPEMISMATCH, "Type mismatch."},
    {DISP_E_UNKNOWNNAME, "Unknown name."},
    {DISP_E_EXCEPTION, "Exception occurred."},
    {HRESULT(0x8002000Au), "Out of present range."},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    {HRESULT(0x8002000Fu), "Parameter not optional."},
};

}  // namespace

String OleSysErrorMessage(HRESULT Code) {
  for (const TErrorText& t : kErrorTexts)
    if (t.Code == Code) return t.Text;
  return String();
}

void RegisterAutomationClass(const String& ProgId, TAutomationFactory Factory) {
  TAutomationRegistry& r = Registry();
  std::lock_guard<std::mutex> hold(r.Lock);
  if (Factory) r.Factories[ProgId] = std::move(Factory);
  else r.Factories.erase(ProgId);
}

Variant CreateOleObject(const String& ProgId) {
  TAutomationFactory factory;
  {
    TAutomationRegistry& r = Registry();
    std::lock_guard<std::mutex> hold(r.Lock);
    auto it = r.Factories.find(ProgId);
    if (it == r.Factories.end()) InvalidClassString();
    factory = it->second;
  }
  // The factory runs outside the lock: it may register or create other objects itself.
  std::shared_ptr<IDispatchObject> obj;
  try {
    obj = factory();
  } catch (const std::exception&) {
    InvalidClassString();
  }
  if (!obj) InvalidClassString();
  return Variant::FromDispatch(std::move(obj));
}

namespace {

Variant DispatchCall(const Variant& Object, const String& Name, std::vector<Variant> Args, Word Flags, bool Wanted) {
  auto server = std::dynamic_pointer_cast<TAutomationObject>(Object.AsDispatch());
  if (!server) throw EOleError(Name + ": " + OleSysErrorMessage(DISP_E_TYPEMISMATCH));
  int id = DISPID_UNKNOWN;
  if (HRESULT hr = server->GetIDsOfNames(Name, id); hr != 0) throw EOleError(Name + ": " + OleSysErrorMessage(hr));
  TDispParams params;
  params.Args.assign(Args.rbegin(), Args.rend());
  if (Flags == DISPATCH_PROPERTYPUT) params.NamedArgs.push_back(DISPID_PROPERTYPUT);
  Variant result;
  TExcepInfo info;
  HRESULT hr = server->Invoke(id, Flags, params, Wanted ? &result : nullptr, info);
  if (hr == DISP_E_EXCEPTION && !info.Description.empty()) throw EOleError(info.Description);
  if (hr != 0) throw EOleError(Name + ": " + OleSysErrorMessage(hr));
  return result;
}

}  // namespace

Variant OleGet(const Variant& Object, const String& Name, const std::vector<Variant>& Args) {
  return DispatchCall(Object, Name, Args, DISPATCH_PROPERTYGET, true);
}

void OleSet(const Variant& Object, const String& Name, const Variant& Value) {
  DispatchCall(Object, Name, {Value}, DISPATCH_PROPERTYPUT, false);
}

Variant OleCall(const Variant& Object, const String& Name, const std::vector<Variant>& Args) {
  return DispatchCall(Object, Name, Args, DISPATCH_METHOD | DISPATCH_PROPERTYGET, true);
}
