// Designators: kinds, the general chain, the three special shapes and late binding.
#include "script/fs_idesignator.h"

#include "script/fs_iconst.h"
#include "script/fs_iexpression.h"
#include "script/fs_ihelpers.h"
#include "script/fs_iprocvariable.h"
#include "script/fs_iscript.h"
#include "script/fs_xml.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"

#include <cassert>
#include <new>
#include <typeinfo>

namespace {

// Arguments of a plain call held on the stack.
constexpr int kMaxPlainArgs = 8;

// A call of a script procedure whose parameters are plain (TfsDesignatorItem::PlainCall).
bool CallPlain(TfsProcVariable* Proc, TfsDesignatorItem* Item, bool WantResult, Variant& Value, Integer* Int);

}  // namespace

void TfsDesignatorItem::AddArg(TfsExpression* Expression) { Add(Expression); }

TfsExpression* TfsDesignatorItem::Arg(int Index) const { return static_cast<TfsExpression*>(Item(Index)); }

TfsDesignator::TfsDesignator(TfsScript* AScript) : TfsCustomVariable(String(), tcVariant, String()), FScript(AScript) {}

TfsDesignator::~TfsDesignator() {
  for (TfsDesignatorItem* i : FSteps) delete i;
}

void TfsDesignator::DropLastItem() {
  assert(!FSteps.empty());
  delete FSteps.back();
  FSteps.pop_back();
}

void TfsDesignator::Finish() {
  FKind = dkGeneral;
  FSingleCall = false;
  FLinked = nullptr;
  FIndex = nullptr;
  FHelper = nullptr;
  FIndexItem = nullptr;
  for (TfsDesignatorItem* item : FSteps) {
    TfsCustomVariable* ref = item->Ref();
    const unsigned kinds = ref ? ref->VariableKinds() : 0;
    item->RefDesignator = kinds & fsvkDesignator ? static_cast<TfsDesignator*>(ref) : nullptr;
    item->RefProc = kinds & fsvkProc ? static_cast<TfsProcVariable*>(ref) : nullptr;
    item->RefHelper = kinds & fsvkHelper ? static_cast<TfsCustomHelper*>(ref) : nullptr;
    item->HasVarParams = false;
    bool plainParams = true;
    for (int k = 0; ref && k < ref->ParamCount(); ++k) {
      if (ref->Params(k)->VarParam()) item->HasVarParams = true;
      if (typeid(*ref->Params(k)) != typeid(TfsParamItem)) plainParams = false;
    }
    item->PlainCall = item->RefProc && plainParams && !item->HasVarParams && !ref->Macro() &&
                      item->ArgCount() <= kMaxPlainArgs;
  }
  TfsDesignatorItem* last = LastItem();
  if (!last) return;
  TfsCustomVariable* ref = last->Ref();
  FTypeCode = ref->TypeCode();
  FTypeName = ref->TypeName();
  FReadOnly = ref->ReadOnly();
  if (FTypeCode == tcConstructor && Count() >= 2) {
    FTypeCode = tcClass;
    FTypeName = FSteps[Count() - 2]->Ref()->Name();
  }
  if (FLateTail) {
    FTypeCode = tcVariant;
    FTypeName = "Variant";
    FReadOnly = false;
  }
  if (FPendingXML || FLateTail) return;
  FSingleCall = Count() == 1 && FSteps[0]->PlainCall;
  TfsCustomVariable* first = FSteps[0]->Ref();
  // A procedure's parameter reads and writes like a variable.
  const unsigned kinds = first ? first->VariableKinds() : 0;
  if (Count() == 1 && (kinds & fsvkVariable || (kinds & fsvkParam && FSteps[0]->ArgCount() == 0))) {
    FKind = dkVariable;
    FLinked = first;
  } else if (Count() == 2 && kinds & fsvkString && FSteps[1]->ArgCount() > 0) {
    FKind = dkString;
    FLinked = first;
    FIndex = FSteps[1]->Arg(0);
  } else if (Count() == 2 && kinds & fsvkVariable && first->TypeCode() == tcArray && first->Linked() &&
             first->Linked()->IsKind(fsvkArrayHelper)) {
    FKind = dkArray;
    FLinked = first;
    FHelper = static_cast<TfsArrayHelper*>(first->Linked());
    FIndexItem = FSteps[1];
  }
}

void TfsDesignator::TakeOver(TfsDesignator* Other) {
  std::swap(FSteps, Other->FSteps);
  FKind = Other->FKind;
  FLinked = Other->FLinked;
  FIndex = Other->FIndex;
  FHelper = Other->FHelper;
  FIndexItem = Other->FIndexItem;
  FSingleCall = Other->FSingleCall;
  FTypeCode = Other->FTypeCode;
  FTypeName = Other->FTypeName;
  FReadOnly = Other->FReadOnly;
  std::swap(FLateTail, Other->FLateTail);
  FLateHolder = Other->FLateHolder;
}

void TfsDesignator::SetLateTail(TfsDesignator* Tail, TfsCustomVariable* Holder) {
  FLateTail.reset(Tail);
  FLateHolder = Holder;
  Finish();
}

void TfsDesignator::FillLateHolder() {
  // The steps before the tail always deliver their value, whatever the whole chain is for.
  TRestore<bool> wanted(FResultWanted, true);
  Variant v;
  Evaluate(false, Variant(), v, nullptr);
  FLateHolder->StoreValue(v);
}

void TfsDesignator::SetPending(const TfsXMLItem* Xml, TfsCustomVariable* LateItem) {
  FPendingXML = std::make_unique<TfsXMLItem>();
  FPendingXML->CopyFrom(Xml);
  FLateItem = LateItem;
  FLateBuilt = false;
}

namespace {

Variant CurrentValue(TfsCustomVariable* Item) {
  if (dynamic_cast<TfsVariable*>(Item)) return Item->FetchValue();
  return Item->RawValue();
}

}  // namespace

void TfsDesignator::ResolvePending() {
  Variant v = CurrentValue(FLateItem);
  TVarType type = VarType(v);
  const void* cls = nullptr;
  if (VarIsOrdinal(v))
    if (TObject* obj = ObjectOf(v.AsInteger())) cls = obj->ClassType();
  if (FLateBuilt && type == FLateType && cls == FLateClass) return;
  // Each shape is built afresh from the kept XML; a failed build raises at every evaluation.
  FLateBuilt = false;
  std::unique_ptr<TfsDesignator> built(BuildLateDesignator(FScript, FPendingXML.get()));
  if (built->Pending()) throw Exception(fsMessage(fsClassRequired));
  TakeOver(built.get());
  FLateBuilt = true;
  FLateType = type;
  FLateClass = cls;
}

Variant TfsDesignator::FetchValue() {
  if (FPendingXML) ResolvePending();
  if (FLateTail) {
    FillLateHolder();
    FLateTail->SetResultWanted(FResultWanted);
    return FLateTail->FetchValue();
  }
  switch (FKind) {
    case dkVariable: return FLinked->FetchValue();
    case dkString: return FetchString();
    case dkArray: return AccessArray(false, Variant());
    default: {
      Variant v;
      Evaluate(false, Variant(), v, nullptr);
      return v;
    }
  }
}

bool TfsDesignator::EvaluateInt(Integer& I, Variant& V) {
  if (FSingleCall) return CallPlain(FSteps[0]->RefProc, FSteps[0], FResultWanted, V, &I);
  if (FPendingXML) ResolvePending();
  if (FLateTail) {
    V = FetchValue();
    return false;
  }
  switch (FKind) {
    case dkVariable: return FLinked->FetchInt(I, V);
    case dkString: V = FetchString(); return false;
    case dkArray: V = AccessArray(false, Variant()); return false;
    default: return Evaluate(false, Variant(), V, &I);
  }
}

void TfsDesignator::StoreValue(const Variant& AValue) {
  if (FPendingXML) ResolvePending();
  if (FLateTail) {
    FillLateHolder();
    FLateTail->StoreValue(AValue);
    return;
  }
  switch (FKind) {
    case dkVariable: FLinked->StoreValue(AValue); break;
    case dkString: StoreString(AValue); break;
    case dkArray: AccessArray(true, AValue); break;
    default: {
      Variant v;
      Evaluate(true, AValue, v, nullptr);
    }
  }
}

void TfsDesignator::StoreInt(Integer I) {
  if (FPendingXML) ResolvePending();
  if (FKind == dkVariable && !FLateTail) FLinked->StoreInt(I);
  else StoreValue(Variant(I));
}

namespace {

// The 0-based index of character I (1-based) of S; ERangeError outside the text.
std::size_t CharIndex(const String& S, const Variant& I) {
  Integer i = I.AsInteger();
  if (i < 1 || static_cast<std::size_t>(i) > S.size()) throw ERangeError("Range check error");
  return static_cast<std::size_t>(i - 1);
}

}  // namespace

Variant TfsDesignator::FetchString() {
  Variant index = FIndex->FetchValue();
  const String& s = static_cast<TfsStringVariable*>(FLinked)->Str();
  return Variant(String(1, s[CharIndex(s, index)]));
}

void TfsDesignator::StoreString(const Variant& AValue) {
  Variant index = FIndex->FetchValue();
  String s = static_cast<TfsStringVariable*>(FLinked)->Str();
  std::size_t i = CharIndex(s, index);
  String text = VarToStr(AValue);
  if (text.empty()) return;
  s[i] = text[0];
  FLinked->StoreValue(Variant(s));
}

Variant TfsDesignator::AccessArray(bool Write, const Variant& AValue) {
  int n = FIndexItem->ArgCount();
  Variant indexes[3];
  assert(n <= 3);
  // All indexes first: an index may itself use the same helper.
  for (int k = 0; k < n && k < 3; ++k) indexes[k] = FIndexItem->Arg(k)->FetchValue();
  for (int k = 0; k < n && k < 3 && k < FHelper->ParamCount(); ++k) FHelper->Params(k)->StoreValue(indexes[k]);
  FHelper->SetPrecedingItem(FLinked);
  FHelper->SetCallerScript(FScript);
  if (Write) {
    FHelper->StoreValue(AValue);
    return Variant();
  }
  return FHelper->FetchValue();
}

namespace {

constexpr int kInline = 8;

// The value before a chain's first step.
const Variant kNullValue = Null();

// Values kept on the stack for up to kInline entries, on the heap beyond; only the entries in
// use are constructed.
class TValueList {
public:
  using TSaved = TfsCustomVariable::TSaved;
  explicit TValueList(int Count) : FValues(reinterpret_cast<TSaved*>(FRoom)) {
    if (Count > kInline) Grow(Count);
  }
  ~TValueList() {
    if (!FMore)
      for (int k = 0; k < FMade; ++k) FValues[k].~TSaved();
  }
  TValueList(const TValueList&) = delete;
  TValueList& operator=(const TValueList&) = delete;
  // The next entry, empty.
  TSaved& Add() {
    TSaved* v = FMore ? &FValues[FMade] : new (&FValues[FMade]) TSaved();
    ++FMade;
    return *v;
  }
  int Count() const { return FMade; }
  TSaved& operator[](int Index) { return FValues[Index]; }

private:
  void Grow(int Count) {
    FMore = std::make_unique<TSaved[]>(Count);
    FValues = FMore.get();
  }

  alignas(TSaved) unsigned char FRoom[kInline * sizeof(TSaved)];
  TSaved* FValues;
  std::unique_ptr<TSaved[]> FMore;
  int FMade = 0;
};

// The values of a recursing procedure's locals, put back however the inner call ends.
class TSavedLocals {
public:
  explicit TSavedLocals(TfsProcVariable* Proc)
      : FItems(Proc->LocalItems()),
        FPlain(Proc->PlainLocals()),
        FKinds(FPlain ? static_cast<int>(FItems.size()) : 0),
        FValues(FPlain ? CountOthers(FItems) : static_cast<int>(FItems.size())) {
    const int n = static_cast<int>(FItems.size());
    if (!FPlain) {
      for (int i = 0; i < n; ++i) FItems[i]->SaveValue(FValues.Add());
      return;
    }
    for (int i = 0; i < n; ++i) {
      TfsCustomVariable* v = FItems[i];
      TEntry& e = FKinds[i];
      e.Kind = v->SlotKind();
      if (e.Kind == TfsCustomVariable::skInt) e.Int = v->SlotInt();
      else if (e.Kind == TfsCustomVariable::skOther) v->SaveSlot(FValues.Add());
    }
  }
  ~TSavedLocals() {
    // Constants too: they are reset at every call and put back here.
    const int n = static_cast<int>(FItems.size());
    if (!FPlain) {
      for (int i = 0; i < FValues.Count(); ++i) FItems[i]->RestoreValue(FValues[i]);
      return;
    }
    int other = 0;
    for (int i = 0; i < n; ++i) {
      TfsCustomVariable* v = FItems[i];
      const TEntry& e = FKinds[i];
      if (e.Kind == TfsCustomVariable::skInt) v->SetRawInt(e.Int);
      else if (e.Kind == TfsCustomVariable::skNull) v->SetRawNull();
      else v->RestoreSlot(FValues[other++]);
    }
  }

private:
  struct TEntry {
    Integer Int;
    TfsCustomVariable::TSlotKind Kind;
  };
  // Entries kept on the stack for up to kInline locals.
  class TEntries {
  public:
    explicit TEntries(int Count) : FEntries(FRoom) {
      if (Count > kInline) {
        FMore = std::make_unique<TEntry[]>(Count);
        FEntries = FMore.get();
      }
    }
    TEntry& operator[](int Index) { return FEntries[Index]; }

  private:
    TEntry FRoom[kInline];
    TEntry* FEntries;
    std::unique_ptr<TEntry[]> FMore;
  };

  static int CountOthers(const std::vector<TfsCustomVariable*>& Items) {
    int n = 0;
    for (TfsCustomVariable* v : Items) n += v->SlotKind() == TfsCustomVariable::skOther;
    return n;
  }

  // The procedure's list: a running program's locals do not change shape.
  const std::vector<TfsCustomVariable*>& FItems;
  const bool FPlain;
  TEntries FKinds;
  TValueList FValues;
};

}  // namespace

namespace {

// Var parameters' values after a call, for writing back through the arguments.
void TakeVarParams(TfsDesignatorItem* Item, int Args, TValueList& Out) {
  TfsCustomVariable* t = Item->Ref();
  for (int k = 0; k < Args; ++k) {
    TfsCustomVariable::TSaved& a = Out.Add();
    if (t->Params(k)->VarParam()) a.Value = t->Params(k)->FetchValue();
  }
}

void WriteBackVarParams(TfsDesignatorItem* Item, TValueList& Values) {
  TfsCustomVariable* t = Item->Ref();
  for (int k = 0; k < Values.Count(); ++k)
    if (t->Params(k)->VarParam()) Item->Arg(k)->StoreValue(Values[k].Value);
}

// One step of a chain: the arguments evaluated, then stored, then the target fetched or
// stored (Write); var parameters' values go to VarOut when given.
bool EvaluateStep(TfsScript* Script, bool ResultWanted, TfsDesignatorItem* Item, bool Last, bool Write,
                  const Variant& AValue, TfsCustomVariable* Preceding, Variant& Value, Integer* Int,
                  TValueList* VarOut) {
  TfsCustomVariable* t = Item->Ref();
  const int args = std::min(t->ParamCount(), Item->ArgCount());
  if (args > 0) {
    // Every argument is evaluated before any is stored: an argument may call the target.
    TValueList list(args);
    const bool macro = t->Macro();
    for (int k = 0; k < args; ++k) {
      TfsCustomVariable::TSaved& a = list.Add();
      if (macro) a.Value = Variant(Item->Arg(k)->Source());
      else a.IntHeld = Item->Arg(k)->Root()->FetchInt(a.Int, a.Value);
    }
    for (int k = 0; k < args; ++k) {
      TfsParamItem* p = t->Params(k);
      if (list[k].IntHeld) p->StoreInt(list[k].Int);
      else p->StoreValue(list[k].Value);
    }
  }
  if (TfsCustomHelper* h = Item->RefHelper) {
    h->SetPrecedingItem(Preceding);
    h->SetPrecedingValue(Value);
    h->SetCallerScript(Script);
  }
  bool intValue = false;
  if (Write && Last) {
    t->StoreValue(AValue);
  } else {
    t->SetResultWanted(!(Last && !ResultWanted));
    if (Int) intValue = t->FetchInt(*Int, Value);
    else Value = t->FetchValue();
  }
  if (VarOut) TakeVarParams(Item, args, *VarOut);
  return intValue;
}

}  // namespace

namespace {

// A value held without building a Variant when it is a plain Integer.
struct THeldValue {
  Integer Int;
  bool HasVariant;
  bool IsNull;
  alignas(Variant) unsigned char Room[sizeof(Variant)];
  Variant& Value() { return *reinterpret_cast<Variant*>(Room); }
};

// Up to N held values; the Variants built are destroyed however the call ends.
template <int N> class THeldValues {
public:
  THeldValue& operator[](int Index) { return FValues[Index]; }
  void Hold(int Index, Variant&& V) {
    new (FValues[Index].Room) Variant(std::move(V));
    FValues[Index].HasVariant = true;
  }
  void Reserve(int Count) {
    for (int k = FCount; k < Count; ++k) FValues[k].HasVariant = false;
    FCount = Count;
  }
  ~THeldValues() {
    for (int k = 0; k < FCount; ++k)
      if (FValues[k].HasVariant) FValues[k].Value().~Variant();
  }

private:
  THeldValue FValues[N];
  int FCount = 0;
};

// The caller's locals of a recursive call whose locals all keep their values in their slots,
// put back however the inner call ends.
class TSavedSlots {
public:
  explicit TSavedSlots(const std::vector<TfsCustomVariable*>& Items)
      : FItems(Items.data()), FCount(static_cast<int>(Items.size())) {
    if (FCount > kInline) {
      FMore = std::make_unique<THeldValue[]>(FCount);
      FSlots = FMore.get();
    }
    THeldValue* slots = FSlots;
    TfsCustomVariable* const* items = FItems;
    for (int i = 0; i < FCount; ++i) {
      TfsCustomVariable* v = items[i];
      THeldValue& s = slots[i];
      const TfsCustomVariable::TSlotKind kind = v->SlotKind();
      s.IsNull = kind == TfsCustomVariable::skNull;
      s.HasVariant = kind == TfsCustomVariable::skOther;
      if (kind == TfsCustomVariable::skInt) s.Int = v->SlotInt();
      else if (s.HasVariant) new (s.Room) Variant(v->SlotValue());
    }
  }
  ~TSavedSlots() {
    THeldValue* slots = FSlots;
    TfsCustomVariable* const* items = FItems;
    for (int i = 0; i < FCount; ++i) {
      THeldValue& s = slots[i];
      TfsCustomVariable* v = items[i];
      if (s.IsNull) {
        v->SetRawNull();
      } else if (!s.HasVariant) {
        v->SetRawInt(s.Int);
      } else {
        v->SetRawValue(s.Value());
        s.Value().~Variant();
      }
    }
  }
  TSavedSlots(const TSavedSlots&) = delete;
  TSavedSlots& operator=(const TSavedSlots&) = delete;

private:
  // The procedure's list: a running program's locals do not change shape.
  TfsCustomVariable* const* FItems;
  const int FCount;
  THeldValue FRoom[kInline];
  THeldValue* FSlots = FRoom;
  std::unique_ptr<THeldValue[]> FMore;
};

// Stores the held arguments into the procedure's parameters, then calls it.
bool CallWithArgs(TfsProcVariable* Proc, TfsDesignatorItem* Item, THeldValues<kMaxPlainArgs>& Args, int Count,
                  Variant& Value, Integer* Int) {
  for (int k = 0; k < Count; ++k) {
    // Plain parameters: the store needs no virtual call.
    TfsParamItem* p = Proc->Params(k);
    if (!Args[k].HasVariant) p->TfsParamItem::StoreInt(Args[k].Int);
    else p->TfsCustomVariable::StoreValue(Args[k].Value());
  }
  if (Int) return Proc->FetchInt(*Int, Value);
  Value = Proc->FetchValue();
  return false;
}

bool CallPlain(TfsProcVariable* Proc, TfsDesignatorItem* Item, bool WantResult, Variant& Value, Integer* Int) {
  const int count = std::min(Proc->ParamCount(), Item->ArgCount());
  THeldValues<kMaxPlainArgs> args;
  args.Reserve(count);
  // Every argument is evaluated before any is stored: an argument may call the procedure.
  Variant v;
  for (int k = 0; k < count; ++k)
    if (!Item->Arg(k)->Root()->FetchInt(args[k].Int, v)) args.Hold(k, std::move(v));
  Proc->SetResultWanted(WantResult);
  if (Proc->Executing()) {
    const std::vector<TfsCustomVariable*>& locals = Proc->LocalItems();
    if (Proc->PlainLocals()) {
      TSavedSlots saved(locals);
      return CallWithArgs(Proc, Item, args, count, Value, Int);
    }
    TSavedLocals saved(Proc);
    return CallWithArgs(Proc, Item, args, count, Value, Int);
  }
  return CallWithArgs(Proc, Item, args, count, Value, Int);
}

}  // namespace

bool TfsDesignator::Evaluate(bool Write, const Variant& AValue, Variant& Value, Integer* Int) {
  Value = kNullValue;
  bool intValue = false;
  TfsCustomVariable* preceding = nullptr;
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    TfsDesignatorItem* item = FSteps[i];
    const bool last = i == count - 1;
    Integer* want = last ? Int : nullptr;
    if (TfsDesignator* d = item->RefDesignator) {
      if (want) intValue = d->FetchInt(*want, Value);
      else Value = d->FetchValue();
      preceding = d;
      continue;
    }
    TfsProcVariable* proc = item->RefProc;
    if (item->PlainCall && !(Write && last)) {
      intValue = CallPlain(proc, item, !(last && !FResultWanted), Value, want);
      preceding = proc;
      continue;
    }
    const bool recursive = proc && proc->Executing();
    if (item->HasVarParams) {
      TValueList varOut(item->ArgCount());
      if (recursive) {
        // The caller's locals are back before var parameters write into them.
        TSavedLocals saved(proc);
        intValue = EvaluateStep(FScript, FResultWanted, item, last, Write, AValue, preceding, Value, want, &varOut);
      } else {
        intValue = EvaluateStep(FScript, FResultWanted, item, last, Write, AValue, preceding, Value, want, &varOut);
      }
      WriteBackVarParams(item, varOut);
    } else if (recursive) {
      TSavedLocals saved(proc);
      intValue = EvaluateStep(FScript, FResultWanted, item, last, Write, AValue, preceding, Value, want, nullptr);
    } else {
      intValue = EvaluateStep(FScript, FResultWanted, item, last, Write, AValue, preceding, Value, want, nullptr);
    }
    preceding = item->Ref();
  }
  return intValue;
}
