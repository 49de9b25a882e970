// The plain items of the value family.
#include "script/fs_ivariables.h"

#include "core/StrUtils.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------- TfsItemList

TfsItemList::~TfsItemList() { TfsItemList::FreeItems(); }

void TfsItemList::FreeItems() {
  std::vector<TObject*> items;
  items.swap(FItems);
  for (TObject* item : items) delete item;
}

void TfsItemList::Remove(TObject* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
}

// ---------------------------------------------------------------- TfsCustomVariable

TfsCustomVariable::TfsCustomVariable(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName)
    : FName(AName), FUpperName(AnsiUpperCase(AName)), FTypeCode(ATypeCode), FTypeName(ATypeName) {}

void TfsCustomVariable::SetName(const String& Value) {
  FName = Value;
  FUpperName = AnsiUpperCase(Value);
}

void TfsCustomVariable::SetRawValue(const Variant& AValue) {
  if (AValue.VType() == varInteger) {
    SetRawInt(AValue.AsInteger());
  } else {
    FValue = AValue;
    FIntHeld = false;
  }
}

void TfsCustomVariable::StoreValue(const Variant& AValue) {
  if (!FReadOnly) SetRawValue(AValue);
}

Variant TfsCustomVariable::FetchValue() { return FIntHeld ? Variant(FInt) : FValue; }

// FIntHeld is only ever set through the stores above, so a class that fetches in its own way
// (and stores in its own way, or never) comes here with it clear.
const Variant fsNullValue = Null();

bool TfsCustomVariable::EvaluateInt(Integer&, Variant& V) {
  V = FetchValue();
  return false;
}

Integer TfsCustomVariable::EvaluateAsInteger() {
  Integer i;
  Variant v;
  return EvaluateInt(i, v) ? i : v.AsInteger();
}



void TfsCustomVariable::AddParam(TfsParamItem* Param) { Add(Param); }

// ---------------------------------------------------------------- variables

void TfsVariable::SetInitialValue(const Variant& Value) {
  FInitialValue = Value;
  FInitialInt = Value.VType() == varInteger;
  FInitialIntValue = FInitialInt ? Value.AsInteger() : 0;
  FInitialNull = Value.VType() == varNull;
  Reset();
}

void TfsStringVariable::StoreValue(const Variant& AValue) { FStr = VarToStr(AValue); }

Variant TfsStringVariable::FetchValue() { return Variant(FStr); }

bool TfsStringVariable::EvaluateInt(Integer&, Variant& V) {
  V = Variant(FStr);
  return false;
}

void TfsStringVariable::SaveValue(TSaved& Into) const {
  Into.IntHeld = false;
  Into.Value = Variant(FStr);
}

// A saved text is put back as it was, ReadOnly or not.
void TfsStringVariable::RestoreValue(const TSaved& From) { FStr = VarToStr(From.Value); }

void TfsStringVariable::Reset() { FStr = VarToStr(FInitialValue); }

// ---------------------------------------------------------------- TfsParamItem

TfsParamItem::TfsParamItem(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName,
                           bool AOptional, bool AVarParam)
    : TfsCustomVariable(AName, ATypeCode, ATypeName), FOptional(AOptional), FVarParam(AVarParam) {}
