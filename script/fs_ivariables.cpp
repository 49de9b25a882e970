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

void TfsCustomVariable::StoreValue(const Variant& AValue) {
  if (!FReadOnly) FValue = AValue;
}

Variant TfsCustomVariable::FetchValue() { return FValue; }

TfsParamItem* TfsCustomVariable::Params(int Index) const {
  assert(Index >= 0 && Index < ItemCount());
  return static_cast<TfsParamItem*>(FItems[Index]);
}

void TfsCustomVariable::AddParam(TfsParamItem* Param) { Add(Param); }

// ---------------------------------------------------------------- variables

void TfsVariable::SetInitialValue(const Variant& Value) {
  FInitialValue = Value;
  Reset();
}

void TfsStringVariable::StoreValue(const Variant& AValue) { FStr = VarToStr(AValue); }

Variant TfsStringVariable::FetchValue() { return Variant(FStr); }

void TfsStringVariable::Reset() { FStr = VarToStr(FInitialValue); }

// ---------------------------------------------------------------- TfsParamItem

TfsParamItem::TfsParamItem(const String& AName, TfsTypeCode ATypeCode, const String& ATypeName,
                           bool AOptional, bool AVarParam)
    : TfsCustomVariable(AName, ATypeCode, ATypeName), FOptional(AOptional), FVarParam(AVarParam) {}
