#pragma once
// Designators: the run-time form of a name chain (a variable, a call with arguments, a member
// of an object, an index, a character of a string, an element of an array, a typecast, a
// constructor call). The builder resolves the chain into items, one per step; three simple
// shapes get classes of their own that bypass the general chain.
//
// A general chain evaluates its items in order: arguments are all evaluated before any is
// stored into the target's parameters and before the target is called; a member helper gets
// the chain's value so far as its PrecedingValue; var parameters are written back through
// their argument expressions after the call; a recursive call of a script procedure keeps the
// caller's locals.
//
// Late binding: a chain whose shape depends on a Variant's value at run time keeps its
// intermediate XML and is (re)built whenever the Variant's kind or class differs from the
// one it was last built for.
// Declares TfsDesignatorKind, TfsDesignatorItem, TfsDesignator, TfsVariableDesignator,
// TfsStringDesignator and TfsArrayDesignator.
#include "script/fs_ivariables.h"

#include <memory>

class TfsArrayHelper;
class TfsDesignator;
class TfsCustomHelper;
class TfsProcVariable;
class TfsExpression;
class TfsXMLItem;

enum TfsDesignatorKind : Byte { dkGeneral, dkVariable, dkString, dkArray };

// One step: its target and its argument (or index) expressions, owned, in order.
class TfsDesignatorItem : public TfsItemList {
public:
  TfsDesignatorItem(TfsCustomVariable* ARef, const String& ASourcePos) : FRef(ARef), FSourcePos(ASourcePos) {}

  TfsCustomVariable* Ref() const { return FRef; }
  void SetRef(TfsCustomVariable* Value) { FRef = Value; }
  const String& SourcePos() const { return FSourcePos; }
  int ArgCount() const { return ItemCount(); }
  TfsExpression* Arg(int Index) const;
  void AddArg(TfsExpression* Expression);
  // An index property step that already took its `[`.
  bool Indexed = false;
  // What the target is, found once by TfsDesignator::Finish so that evaluating casts nothing.
  TfsDesignator* RefDesignator = nullptr;
  TfsProcVariable* RefProc = nullptr;
  TfsCustomHelper* RefHelper = nullptr;
  bool HasVarParams = false;
  // A script procedure with plain parameters, no var ones, at most a few arguments: called
  // without building Variants for plain Integers.
  bool PlainCall = false;

private:
  TfsCustomVariable* FRef;
  String FSourcePos;
};

class TfsDesignator : public TfsCustomVariable {
public:
  explicit TfsDesignator(TfsScript* AScript);
  ~TfsDesignator() override;
  unsigned VariableKinds() const override { return fsvkDesignator; }

  Variant FetchValue() override;
  void StoreValue(const Variant& AValue) override;
  bool EvaluateInt(Integer& I, Variant& V) override;
  void StoreInt(Integer I) override;

  TfsScript* Script() const { return FScript; }
  int Count() const { return static_cast<int>(FSteps.size()); }
  TfsDesignatorItem* Items(int Index) const { return FSteps[Index]; }
  TfsDesignatorItem* LastItem() const { return FSteps.empty() ? nullptr : FSteps.back(); }
  void AddItem(TfsDesignatorItem* Item) { FSteps.push_back(Item); }
  // Takes the last item out and frees it.
  void DropLastItem();
  TfsDesignatorKind DesignatorKind() const { return FKind; }

  // Type, read-only flag and kind from the items.
  void Finish();
  // Exchanges the item lists with Other and takes its kind, links, type and flags.
  void TakeOver(TfsDesignator* Other);

  // ---- late binding
  // Keeps the chain's XML; LateItem's value decides the shape at each evaluation.
  void SetPending(const TfsXMLItem* Xml, TfsCustomVariable* LateItem);
  bool Pending() const { return FPendingXML != nullptr; }
  // Builds the chain from the kept XML when the late item's value changed its shape.
  void ResolvePending();
  // The rest of the chain after a step whose value decides its shape: each evaluation runs
  // this chain, stores its value into Holder and goes on through Tail (late bound on Holder).
  void SetLateTail(TfsDesignator* Tail, TfsCustomVariable* Holder);
  TfsDesignator* LateTail() const { return FLateTail.get(); }

protected:
  // Walks the chain; Write: the last step stores AValue. Otherwise the last step's value lands
  // in Value, or in *Int (answering true) when Int is given and the value is a plain Integer.
  bool Evaluate(bool Write, const Variant& AValue, Variant& Value, Integer* Int);
  Variant FetchString();
  void StoreString(const Variant& AValue);
  Variant AccessArray(bool Write, const Variant& AValue);

  TfsScript* FScript;
  std::vector<TfsDesignatorItem*> FSteps;
  TfsDesignatorKind FKind = dkGeneral;
  // One step, a plain call (TfsDesignatorItem::PlainCall): no chain to walk.
  bool FSingleCall = false;
  TfsExpression* FIndex = nullptr;           // kind 2; the second item's first argument
  TfsArrayHelper* FHelper = nullptr;         // kind 3
  TfsDesignatorItem* FIndexItem = nullptr;   // kind 3: the item holding the indexes
  // Runs the chain as far as the late tail and hands its value to the tail's holder.
  void FillLateHolder();

  std::unique_ptr<TfsXMLItem> FPendingXML;
  std::unique_ptr<TfsDesignator> FLateTail;
  TfsCustomVariable* FLateHolder = nullptr;
  TfsCustomVariable* FLateItem = nullptr;
  // The shape the chain was last built for: the Variant kind and, for an object, its class.
  bool FLateBuilt = false;
  TVarType FLateType = varEmpty;
  const void* FLateClass = nullptr;
};

class TfsVariableDesignator final : public TfsDesignator {
public:
  using TfsDesignator::TfsDesignator;
  Variant FetchValue() override { return FLinked->FetchValue(); }
  void StoreValue(const Variant& AValue) override { FLinked->StoreValue(AValue); }
  bool EvaluateInt(Integer& I, Variant& V) override { return FLinked->FetchInt(I, V); }
  void StoreInt(Integer I) override { FLinked->StoreInt(I); }
  bool FetchBool() override { return FLinked->FetchBool(); }
};

class TfsStringDesignator final : public TfsDesignator {
public:
  using TfsDesignator::TfsDesignator;
  Variant FetchValue() override { return FetchString(); }
  void StoreValue(const Variant& AValue) override { StoreString(AValue); }
  bool EvaluateInt(Integer&, Variant& V) override {
    V = FetchString();
    return false;
  }
};

class TfsArrayDesignator final : public TfsDesignator {
public:
  using TfsDesignator::TfsDesignator;
  Variant FetchValue() override { return AccessArray(false, Variant()); }
  void StoreValue(const Variant& AValue) override { AccessArray(true, AValue); }
  bool EvaluateInt(Integer&, Variant& V) override {
    V = AccessArray(false, Variant());
    return false;
  }
};

// Builds a chain from its intermediate XML against the script (late binding); defined by the
// program builder.
TfsDesignator* BuildLateDesignator(TfsScript* Script, const TfsXMLItem* Xml);
