#pragma once
// The value family of the script engine: everything a script can name or evaluate is a
// TfsCustomVariable, read with FetchValue and written with StoreValue over Variants, so that
// expressions, designators and statements use an item without knowing its kind. For
// procedures, methods and helpers fetching is calling and storing calls the setter.
//
// Objects travel inside values as their handles (core/ObjectHandles.h), nil as 0.
//
// This header holds the base and the plain items: variables and constants, string variables,
// type names and parameters. Procedures are in fs_iprocvariable.h, class members in
// fs_ihelpers.h, classes in fs_iclassvariable.h; fs_iinterpreter.h includes them all.
// Declares TfsTypeCode, TfsItemList, TfsCustomVariable, TfsVariable, TfsStringVariable,
// TfsTypeVariable and TfsParamItem.
#include "core/Variant.h"

#include <cassert>
#include <cstdint>
#include <vector>

class TfsParamItem;
class TfsScript;

// Type codes: one byte on every item.
enum TfsTypeCode : Byte {
  tcInteger,      // 0 "Integer"
  tcBoolean,      // 1 "Boolean"
  tcFloat,        // 2 "Extended"
  tcChar,         // 3 "Char"
  tcString,       // 4 "String"
  tcClass,        // 5 the type name is the class name
  tcArray,        // 6 "Array"
  tcVariant,      // 7 "Variant"
  tcEnum,         // 8 enumeration or set; the type name is the enumeration's name
  tcConstructor,  // 9 result of a class's constructor method; shown as "Variant"
};

// A tag stamped on items when they enter a script's item list (TfsScript::OwnerTag).
using TfsOwnerTag = std::intptr_t;

// An ordered list of owned children.
class TfsItemList : public TObject {
public:
  TfsItemList() = default;
  ~TfsItemList() override;

  // Frees and removes every child.
  virtual void FreeItems();
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TObject* Item(int Index) const { return FItems[Index]; }
  void Add(TObject* Item) { FItems.push_back(Item); }
  // Takes the child out without freeing it.
  void Remove(TObject* Item);

protected:
  std::vector<TObject*> FItems;
};

// Null, ready to copy.
extern const Variant fsNullValue;

// What a variable is, as bits: the builder and designators ask for every item they link, and
// a checked cast costs far more than a virtual call. A class answers its own bit with its
// parent's, so descendants answer for every class they derive from.
enum TfsVariableKind : unsigned {
  fsvkVariable = 1u << 0,      // TfsVariable
  fsvkString = 1u << 1,        // TfsStringVariable
  fsvkParam = 1u << 2,         // TfsParamItem
  fsvkDesignator = 1u << 3,    // TfsDesignator
  fsvkProc = 1u << 4,          // TfsProcVariable
  fsvkHelper = 1u << 5,        // TfsCustomHelper
  fsvkArrayHelper = 1u << 6,   // TfsArrayHelper
  fsvkOperandNode = 1u << 7,   // TfsOperandNode
  fsvkDesignatorNode = 1u << 8,  // TfsDesignatorNode
  fsvkSetNode = 1u << 9,       // TfsSetNode
  fsvkOperatorNode = 1u << 10,  // TfsOperatorNode
};

class TfsCustomVariable : public TfsItemList {
public:
  TfsCustomVariable(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName);

  // The TfsVariableKind bits of the object's class.
  virtual unsigned VariableKinds() const { return 0; }
  bool IsKind(unsigned Kind) const { return (VariableKinds() & Kind) != 0; }

  // ---- the value protocol
  // Copies the value in, ignored silently when ReadOnly.
  virtual void StoreValue(const Variant& AValue);
  virtual Variant FetchValue();

  // ---- the 32-bit path: the same protocol without a Variant where the value is a plain
  // Integer (varInteger). Only the slot writers below set the slot's Integer, so a class that
  // fetches in its own way is asked through EvaluateInt; TfsVariable and TfsParamItem store
  // Integers straight into the slot, so a descendant of theirs that overrides StoreValue
  // overrides StoreInt too.
  // Evaluates once: true with the value in I when it is a plain Integer, else false with the
  // value in V. A value held in the slot is answered without a virtual call.
  bool FetchInt(Integer& I, Variant& V) {
    if (FIntHeld) {
      I = FInt;
      return true;
    }
    return EvaluateInt(I, V);
  }
  // As StoreValue(Variant(I)).
  virtual void StoreInt(Integer I) { StoreValue(Variant(I)); }
  // As FetchValue().AsBoolean().
  virtual bool FetchBool() { return FetchValue().AsBoolean(); }
  // As FetchValue().AsInteger().
  Integer FetchAsInteger() { return FIntHeld ? FInt : EvaluateAsInteger(); }

  // ---- what the item is
  const String& Name() const { return FName; }
  // The name upper-cased by the user's locale; call-backs receive it.
  const String& UpperName() const { return FUpperName; }
  void SetName(const String& Value);
  TfsTypeCode TypeCode() const { return FTypeCode; }
  void SetTypeCode(TfsTypeCode Value) { FTypeCode = Value; }
  const String& TypeName() const { return FTypeName; }
  void SetTypeName(const String& Value) { FTypeName = Value; }
  // The stored value itself, not fetched: helpers index the array a variable holds in place.
  Variant& RawValue() {
    Unpack();
    return FValue;
  }
  const Variant& RawValue() const {
    Unpack();
    return FValue;
  }
  // Sets the stored value, ReadOnly or not.
  void SetRawValue(const Variant& AValue);
  // Sets the stored value to a plain Integer, ReadOnly or not (loop counters).
  void SetRawInt(Integer I) {
    if (!FIntHeld) {
      FValue = Variant();
      FIntHeld = true;
    }
    FInt = I;
  }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // A function whose arguments arrive as their source text.
  bool Macro() const { return FMacro; }
  void SetMacro(bool Value) { FMacro = Value; }
  TfsOwnerTag OwnerTag() const { return FOwnerTag; }
  void SetOwnerTag(TfsOwnerTag Value) { FOwnerTag = Value; }
  // Set by the designator before each use.
  bool ResultWanted() const { return FResultWanted; }
  void SetResultWanted(bool Value) { FResultWanted = Value; }
  // Where a declared script variable stands ("line:column") and in which unit.
  const String& SourcePos() const { return FSourcePos; }
  void SetSourcePos(const String& Value) { FSourcePos = Value; }
  const String& UnitName() const { return FUnitName; }
  void SetUnitName(const String& Value) { FUnitName = Value; }
  // Another item this one stands for: an array variable's helper, a function's Result.
  TfsCustomVariable* Linked() const { return FLinked; }
  void SetLinked(TfsCustomVariable* Value) { FLinked = Value; }

  // ---- a recursive call of a procedure keeps its caller's locals aside
  struct TSaved {
    Variant Value;
    Integer Int = 0;
    bool IntHeld = false;
  };
  virtual void SaveValue(TSaved& Into) const { SaveSlot(Into); }
  // Puts a saved value back, ReadOnly or not.
  virtual void RestoreValue(const TSaved& From) { RestoreSlot(From); }
  // The two above for an item that keeps its value in the slot (no override).
  void SaveSlot(TSaved& Into) const {
    Into.IntHeld = FIntHeld;
    if (FIntHeld) Into.Int = FInt;
    else Into.Value = FValue;
  }
  void RestoreSlot(const TSaved& From) {
    if (From.IntHeld) SetRawInt(From.Int);
    else SetRawValue(From.Value);
  }
  // What the slot holds, for copies that need no Variant for a plain Integer or Null.
  enum TSlotKind : Byte { skInt, skNull, skOther };
  TSlotKind SlotKind() const { return FIntHeld ? skInt : FValue.VType() == varNull ? skNull : skOther; }
  Integer SlotInt() const { return FInt; }
  // The slot's Variant; valid unless the slot holds a plain Integer.
  const Variant& SlotValue() const { return FValue; }
  // Sets the stored value to Null, ReadOnly or not.
  void SetRawNull() {
    if (FIntHeld || FValue.VType() != varNull) {
      FValue = fsNullValue;
      FIntHeld = false;
    }
  }

  // ---- parameters: the children, in declaration order
  int ParamCount() const { return ItemCount(); }
  inline TfsParamItem* Params(int Index) const;
  void AddParam(TfsParamItem* Param);

protected:
  // FetchInt for a value not held in the slot: FetchValue into V.
  virtual bool EvaluateInt(Integer& I, Variant& V);
  // FetchAsInteger for a value not held in the slot.
  virtual Integer EvaluateAsInteger();
  // Moves a plain Integer held in FInt into FValue.
  void Unpack() const {
    if (FIntHeld) {
      FValue = Variant(FInt);
      FIntHeld = false;
    }
  }

  String FName;
  String FUpperName;
  TfsTypeCode FTypeCode;
  String FTypeName;
  // The stored value: a plain Integer lives in FInt (FIntHeld set, FValue then Empty), so the
  // 32-bit path reads and writes it without building Variants; anything else in FValue.
  mutable Variant FValue = Null();
  mutable Integer FInt = 0;
  mutable bool FIntHeld = false;
  bool FReadOnly = false;
  bool FMacro = false;
  TfsOwnerTag FOwnerTag = 0;
  bool FResultWanted = true;
  String FSourcePos;
  String FUnitName;
  TfsCustomVariable* FLinked = nullptr;
};

// A variable or constant. A script variable starts every call of its procedure at its initial
// value, which the program builder sets together with the value.
class TfsVariable : public TfsCustomVariable {
public:
  using TfsCustomVariable::TfsCustomVariable;
  unsigned VariableKinds() const override { return fsvkVariable; }

  void StoreInt(Integer I) override {
    if (!FReadOnly) SetRawInt(I);
  }

  const Variant& InitialValue() const { return FInitialValue; }
  // Sets the value and remembers it as the initial one.
  void SetInitialValue(const Variant& Value);
  // Back to the initial value (Null unless set).
  virtual void Reset() { ResetSlot(); }
  // Reset for a variable that keeps its value in the slot (no override).
  void ResetSlot() {
    if (FInitialInt) SetRawInt(FInitialIntValue);
    else if (FInitialNull) SetRawNull();
    else SetRawValue(FInitialValue);
  }

protected:
  Variant FInitialValue = Null();
  // The initial value when it is a plain Integer: every call of a procedure resets to it.
  bool FInitialInt = false;
  Integer FInitialIntValue = 0;
  bool FInitialNull = true;
};

// A script variable of type char or string: it keeps a string of its own; a store converts any
// value to text and is never refused.
class TfsStringVariable : public TfsVariable {
public:
  using TfsVariable::TfsVariable;
  unsigned VariableKinds() const override { return TfsVariable::VariableKinds() | fsvkString; }

  void StoreValue(const Variant& AValue) override;
  Variant FetchValue() override;
  void StoreInt(Integer I) override { StoreValue(Variant(I)); }
  bool EvaluateInt(Integer& I, Variant& V) override;
  void SaveValue(TSaved& Into) const override;
  void RestoreValue(const TSaved& From) override;
  void Reset() override;
  const String& Str() const { return FStr; }

private:
  String FStr;
};

// A type name with its type code.
class TfsTypeVariable : public TfsCustomVariable {
public:
  using TfsCustomVariable::TfsCustomVariable;
};

// One parameter of a procedure, function, method or helper; its value carries the argument
// of the current call.
class TfsParamItem : public TfsCustomVariable {
public:
  TfsParamItem(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName, bool AOptional,
               bool AVarParam);
  unsigned VariableKinds() const override { return fsvkParam; }

  void StoreInt(Integer I) override {
    if (!FReadOnly) SetRawInt(I);
  }

  const Variant& DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const Variant& Value) { FDefaultValue = Value; }
  bool Optional() const { return FOptional; }
  void SetOptional(bool Value) { FOptional = Value; }
  bool VarParam() const { return FVarParam; }

private:
  Variant FDefaultValue = Null();
  bool FOptional;
  bool FVarParam;
};

TfsParamItem* TfsCustomVariable::Params(int Index) const {
  assert(Index >= 0 && Index < ItemCount());
  return static_cast<TfsParamItem*>(FItems[Index]);
}
