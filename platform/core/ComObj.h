#pragma once
// The automation stand-in: Linux has no automation servers, so the program keeps its own
// registry of program identifiers. A host registers a factory under an identifier
// ("JRO.JetEngine", ...); CreateOleObject makes the object and hands it out as a varDispatch
// Variant, which owns it: the object goes with the last Variant holding it.
//
// Objects that scripts call late-bound derive from TAutomationObject: a member name is looked
// up once (GetIDsOfNames) and called by its identifier (Invoke) with the dispatch flags, the
// arguments in reverse order (position 0 holds the last) and, for a property write, one named
// argument DISPID_PROPERTYPUT naming position 0, the value. Both answer an error code, 0 for
// success; a server's own failure answers DISP_E_EXCEPTION with the exception record filled in.
// Declares EOleSysError, TAutomationFactory, TDispParams, TExcepInfo and TAutomationObject.
#include "core/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

KELM_EXCEPTION(EOleSysError, EOleError);

using HRESULT = std::int32_t;

constexpr Word DISPATCH_METHOD = 1;
constexpr Word DISPATCH_PROPERTYGET = 2;
constexpr Word DISPATCH_PROPERTYPUT = 4;
constexpr int DISPID_UNKNOWN = -1;
constexpr int DISPID_PROPERTYPUT = -3;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006u);
constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000Eu);

// The arguments of one call.
struct TDispParams {
  std::vector<Variant> Args;   // reversed: Args[0] is the last argument
  std::vector<int> NamedArgs;  // the dispatch identifiers of positions 0, 1, ...
};

// What a server says about its own failure.
struct TExcepInfo {
  String Source;
  String Description;
  String HelpFile;
};

class TAutomationObject : public IDispatchObject {
public:
  // The identifier of a member name (compared as the server likes; usually ignoring case);
  // DISP_E_UNKNOWNNAME when there is none.
  virtual HRESULT GetIDsOfNames(const String& Name, int& DispId) = 0;
  // Result is nullptr when the caller wants no value.
  virtual HRESULT Invoke(int DispId, Word Flags, const TDispParams& Params, Variant* Result,
                         TExcepInfo& ExcepInfo) = 0;
};

// The system's text of an error code: "Unknown name.", "Member not found.", ...
String OleSysErrorMessage(HRESULT Code);

using TAutomationFactory = std::function<std::shared_ptr<IDispatchObject>()>;

// Registers (or replaces) the factory of a program identifier; identifiers compare ignoring
// ASCII case. An empty factory removes the identifier.
void RegisterAutomationClass(const String& ProgId, TAutomationFactory Factory);
// The object of that identifier as a varDispatch Variant. An unknown identifier, a factory
// that fails or one that answers no object raise EOleSysError "Invalid class string".
Variant CreateOleObject(const String& ProgId);

// Late-bound calls made by the program itself on an object Variant: the member Name looked up
// and invoked with Args in their written order. A failure raises EOleError: a server's own
// failure with its description, an unknown name "<Name>: Unknown name.", ...
Variant OleGet(const Variant& Object, const String& Name, const std::vector<Variant>& Args = {});
void OleSet(const Variant& Object, const String& Name, const Variant& Value);
Variant OleCall(const Variant& Object, const String& Name, const std::vector<Variant>& Args = {});
