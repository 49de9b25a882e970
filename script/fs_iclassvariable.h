#pragma once
// A class made visible to scripts: its published properties (imported when it is made) and
// the constructors, methods, properties, index properties and events a module registers.
//
// Members are found by name ignoring ASCII case, in registration order, then up the ancestors
// (by AncestorName in the owning script). Published properties come first, so they win over a
// registered member of the same name; a descendant's member wins over its ancestor's.
//
// As a value the class answers nil and allocates nothing: a constructor call is the class
// followed by its constructor method, whose call-back creates the object through the class's
// factory. Applied to one argument (a typecast) the class answers that argument unchanged.
// Declares TfsClassVariable.
#include "script/fs_ihelpers.h"

class TfsClassVariable : public TfsCustomVariable {
public:
  TfsClassVariable(TClass AClassRef, const String& AAncestorName, TfsScript* AScript);
  ~TfsClassVariable() override;

  // The typecast argument when one was given, else nil (0); the argument is reset either way.
  Variant FetchValue() override;
  // Kept aside, never answered: the class's value is its typecast argument.
  void StoreValue(const Variant& AValue) override {
    if (!FReadOnly) FValue = AValue;
  }
  void StoreInt(Integer I) override { StoreValue(Variant(I)); }

  TClass ClassRef() const { return FClassRef; }
  const String& AncestorName() const { return FAncestorName; }
  TfsScript* Script() const { return FScript; }
  // The hidden optional parameter that receives a typecast's argument.
  TfsParamItem* CastParam() const { return Params(0); }

  // ---- members
  int MembersCount() const {
    ImportPublished();
    return static_cast<int>(FMembers.size());
  }
  TfsCustomHelper* Members(int Index) const {
    ImportPublished();
    return FMembers[Index];
  }
  TfsCustomHelper* DefaultProperty() const { return FDefaultProperty; }
  void SetDefaultProperty(TfsCustomHelper* Value) { FDefaultProperty = Value; }
  // nullptr when neither this class nor an ancestor has the member.
  TfsCustomHelper* FindMember(const String& AName) const;

  // ---- registration
  // "constructor Create(AOwner: TComponent)" is registered as
  // "function Create(AOwner: TComponent): Constructor".
  TfsMethodHelper* RegisterConstructor(const String& Signature, TfsCallMethod CallBack);
  TfsMethodHelper* RegisterMethod(const String& Signature, TfsCallMethod CallBack);
  // Read-only when no setter is given.
  TfsPropertyHelper* RegisterProperty(const String& AName, const String& ATypeName, TfsGetValue Getter,
                                      TfsSetValue Setter = nullptr);
  // A method "function Name(p0: T0; p1: T1): Result" from comma-separated parameter types;
  // reading calls it with ".GET", writing with ".SET".
  TfsMethodHelper* RegisterIndexProperty(const String& AName, const String& ParamTypes,
                                         const String& ResultType, TfsCallMethod CallBack,
                                         bool AReadOnly = false);
  // As RegisterIndexProperty, and the member becomes DefaultProperty.
  TfsMethodHelper* RegisterDefaultProperty(const String& AName, const String& ParamTypes,
                                           const String& ResultType, TfsCallMethod CallBack,
                                           bool AReadOnly = false);
  TfsEventHelper* RegisterEvent(const String& AName, TClass AEventClass);

private:
  void AddMember(TfsCustomHelper* Member);
  // One published helper per published property that is no event, in name order, put before
  // the registered members. Done when the members are first needed: a script installs some
  // forty classes with thousands of published properties, and most programs use few of them.
  void ImportPublished() const {
    if (!FImported) const_cast<TfsClassVariable*>(this)->ImportPublishedProps();
  }
  void ImportPublishedProps();

  TClass FClassRef;
  String FAncestorName;
  std::vector<TfsCustomHelper*> FMembers;  // owned
  bool FImported = false;
  TfsCustomHelper* FDefaultProperty = nullptr;
  TfsScript* FScript;
};
