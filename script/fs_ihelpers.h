#pragma once
// Class members and indexing helpers: what a designator reaches after a dot or an index.
// The designator sets PrecedingItem, PrecedingValue and CallerScript just before it uses one.
//
// Members reach the host through call-backs, commonly one per module serving many members by
// their upper-case names (an index property's name arrives with ".GET" or ".SET" appended):
//
//   method style   Variant(Instance, ClassType, MethodName, Caller)  arguments: Caller->ParamValue(i)
//   array style    Variant(Instance, ClassType, MethodName, Params)  arguments: a Variant array
//   getter         Variant(Instance, ClassType, PropName)
//   setter         void(Instance, ClassType, PropName, Value)
//
// Instance is the object the member is used on (nullptr for a global function), ClassType the
// member's class (nullptr for a global function). A class member on a nil or freed instance
// raises EInvalidPointer "Invalid pointer operation" before its call-back, except:
// constructors, whose call-back gets Instance nullptr and the class to create (the class the
// script named) and answers the new object's handle; Free of nil, which does nothing (Free of
// an object already freed raises as any other use does); and published property reads, which
// answer Null.
//
// Helpers are made once at registration and reused: a call carries its arguments in the
// helper's parameter items and its one parameter array, so it allocates nothing for them.
// Declares the call-back types, TfsCustomHelper, TfsMethodHelper, TfsPropertyHelper,
// TfsEventHelper, TfsStringHelper, TfsArrayHelper and TfsOLEHelper.
#include "script/fs_ivariables.h"
#include "core/ComObj.h"

#include <functional>
#include <memory>

class TPropInfo;
class TfsMethodHelper;

using TfsCallMethod =
    std::function<Variant(TObject* Instance, TClass ClassType, const String& MethodName, TfsMethodHelper* Caller)>;
using TfsCallMethodArray =
    std::function<Variant(TObject* Instance, TClass ClassType, const String& MethodName, Variant& Params)>;
using TfsGetValue = std::function<Variant(TObject* Instance, TClass ClassType, const String& PropName)>;
using TfsSetValue =
    std::function<void(TObject* Instance, TClass ClassType, const String& PropName, const Variant& Value)>;

class TfsCustomHelper : public TfsCustomVariable {
public:
  using TfsCustomVariable::TfsCustomVariable;
  unsigned VariableKinds() const override { return fsvkHelper; }

  // The item before this one in the designator's chain.
  TfsCustomVariable* PrecedingItem() const { return FPrecedingItem; }
  void SetPrecedingItem(TfsCustomVariable* Value) { FPrecedingItem = Value; }
  // The value of the chain so far: an object handle, a string, a Variant array.
  const Variant& PrecedingValue() const { return FPrecedingValue; }
  void SetPrecedingValue(const Variant& Value) { FPrecedingValue = Value; }
  TfsScript* CallerScript() const { return FCallerScript; }
  void SetCallerScript(TfsScript* Value) { FCallerScript = Value; }

protected:
  // The object PrecedingValue holds; nullptr for Null, Empty, 0 and freed objects.
  TObject* PrecedingInstance() const;

  TfsCustomVariable* FPrecedingItem = nullptr;
  Variant FPrecedingValue = Null();
  TfsScript* FCallerScript = nullptr;
};

// A method of a class or a global function, made from its signature text.
class TfsMethodHelper : public TfsCustomHelper {
public:
  // Parses Signature in Script (types are looked up there); the helper is read-only.
  TfsMethodHelper(const String& Signature, TfsScript* Script);

  Variant FetchValue() override;
  // Assigning to an index property: only when IndexMethod is set.
  void StoreValue(const Variant& AValue) override;

  // ---- for call-backs
  // Parameter Index's value; Index = ParamCount answers the value being assigned in ".SET".
  Variant ParamValue(int Index) const;
  // Writes a parameter, so that a var parameter carries it back to the script.
  void SetParamValue(int Index, const Variant& Value);

  // ---- registration data
  const String& Signature() const { return FSignature; }
  const String& Category() const { return FCategory; }
  void SetCategory(const String& Value) { FCategory = Value; }
  const String& Description() const { return FDescription; }
  void SetDescription(const String& Value) { FDescription = Value; }
  TClass ClassRef() const { return FClassRef; }
  void SetClassRef(TClass Value) { FClassRef = Value; }
  bool IndexMethod() const { return FIndexMethod; }
  void SetIndexMethod(bool Value) { FIndexMethod = Value; }
  const Variant& AssignedValue() const { return FAssignedValue; }
  void SetOnCall(TfsCallMethod Value) { FOnCall = std::move(Value); }
  void SetOnCallArray(TfsCallMethodArray Value) { FOnCallArray = std::move(Value); }
  bool HasCallBack() const { return FOnCall || FOnCallArray; }

private:
  // The instance of a call and whether the call-back runs at all (Free on nil does not).
  bool ResolveInstance(TObject*& Instance, TClass& ClassType) const;
  const String& CallName(bool Set) const;

  String FSignature;
  String FCategory;
  String FDescription;
  TClass FClassRef = nullptr;
  bool FIndexMethod = false;
  Variant FAssignedValue = Null();
  Variant FParamArray;   // one element per parameter
  Variant FStoreArray;   // the parameters and the assigned value
  String FGetName;       // UpperName + ".GET"
  String FSetName;       // UpperName + ".SET"
  TfsCallMethod FOnCall;
  TfsCallMethodArray FOnCallArray;
};

// A property: published ones are read and written through the class information by their
// kind; the others through a getter and a setter.
class TfsPropertyHelper : public TfsCustomHelper {
public:
  TfsPropertyHelper(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName, TClass AClassRef);

  Variant FetchValue() override;
  void StoreValue(const Variant& AValue) override;

  TClass ClassRef() const { return FClassRef; }
  // The published property behind the helper; nullptr for a registered one.
  const TPropInfo* PropInfo() const { return FPropInfo; }
  bool Published() const { return FPropInfo != nullptr; }
  void SetPropInfo(const TPropInfo* Value) { FPropInfo = Value; }
  void SetOnGetValue(TfsGetValue Value) { FOnGetValue = std::move(Value); }
  void SetOnSetValue(TfsSetValue Value) { FOnSetValue = std::move(Value); }

private:
  Variant ReadPublished(TObject* Instance) const;
  void WritePublished(TObject* Instance, const Variant& AValue) const;

  TClass FClassRef;
  const TPropInfo* FPropInfo = nullptr;
  TfsGetValue FOnGetValue;
  TfsSetValue FOnSetValue;
};

// An event property. Assigning a script procedure's name installs a bridge of EventClass
// (fs_ievents.h) as the object's handler; nil (text "0") clears the handler; any other name
// raises "Event handler must be a procedure". Reading answers the empty text.
class TfsEventHelper : public TfsCustomHelper {
public:
  TfsEventHelper(const String& AName, TClass AClassRef, TClass AEventClass)
      : TfsCustomHelper(AName, tcString, String()), FClassRef(AClassRef), FEventClass(AEventClass) {}

  Variant FetchValue() override { return Variant(String()); }
  void StoreValue(const Variant& AValue) override;

  TClass ClassRef() const { return FClassRef; }
  // The bridge class that connects the event to a script procedure.
  TClass EventClass() const { return FEventClass; }

private:
  TClass FClassRef;
  TClass FEventClass;
};

// Character access of a string not held in a script string variable: one required integer
// parameter, the 1-based character index. Outside the text: ERangeError "Range check error".
class TfsStringHelper : public TfsCustomHelper {
public:
  explicit TfsStringHelper(const String& AName = "__StringHelper");

  Variant FetchValue() override;
  // Replaces the character and stores the whole new text into PrecedingItem.
  void StoreValue(const Variant& AValue) override;
};

// Element access of Variant arrays of one to three dimensions, indexed in the array the
// preceding item holds (its raw value). The general helper takes three indexes of which the
// first is required; a declared array's helper takes one required index per dimension.
class TfsArrayHelper : public TfsCustomHelper {
public:
  TfsArrayHelper(const String& AName, int IndexCount, int RequiredCount, TfsTypeCode ATypeCode,
                 const String& ATypeName);
  unsigned VariableKinds() const override { return TfsCustomHelper::VariableKinds() | fsvkArrayHelper; }

  // Null unless the array has one to three dimensions; an index outside the bounds raises
  // EVariantBadIndexError.
  Variant FetchValue() override;
  void StoreValue(const Variant& AValue) override;

private:
  bool Indexes(int& Dims, int (&Index)[3]) const;
};

// A member of a late-bound automation object, resolved by name at the call; its parameters are
// the arguments written after the name, all Variants. PrecedingValue holds the object.
class TfsOLEHelper : public TfsCustomHelper {
public:
  explicit TfsOLEHelper(const String& AName) : TfsCustomHelper(AName, tcVariant, String()) {}

  // A method call or property read (DISPATCH_METHOD, plus DISPATCH_PROPERTYGET when the value
  // is wanted).
  Variant FetchValue() override;
  // A property write: the arguments as its indexes, the value last (DISPATCH_PROPERTYPUT).
  void StoreValue(const Variant& AValue) override;
  // The one call of the member: Args in written order; Result nullptr when no value is wanted.
  // An unknown member, more than 64 arguments or a failing call raise EOleError
  // "OLE error XXXXXXXX: <member>: <system text>", with the server's source, description and
  // help file on lines of their own.
  void DispatchCall(const std::vector<Variant>& Args, Variant* Result, Word Flags);

private:
  // Reused by every call, so a call allocates nothing once they have grown.
  std::vector<Variant> FArgs;
  TDispParams FParams;
  // The object whose identifier of this name is remembered.
  std::weak_ptr<IDispatchObject> FLastServer;
  int FLastDispId = 0;
};
