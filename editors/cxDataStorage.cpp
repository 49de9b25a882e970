// The value types and their registry.
#include "editors/cxDataStorage.h"

#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Variant.h"
#include "editors/cxVariants.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

template <class T> T Get(const void* Buffer) {
  T v;
  std::memcpy(&v, Buffer, sizeof(T));
  return v;
}
template <class T> void Put(void* Buffer, T Value) { std::memcpy(Buffer, &Value, sizeof(T)); }

template <class T> int Order(const T& a, const T& b) { return a < b ? -1 : b < a ? 1 : 0; }

template <class T> T* StoredPointer(const void* Buffer) { return Get<T*>(Buffer); }

// The heap object a pointer kind's buffer holds, made when the buffer holds none.
template <class T> T& Allocated(void* Buffer) {
  T* p = Get<T*>(Buffer);
  if (!p) {
    p = new T();
    Put<T*>(Buffer, p);
  }
  return *p;
}

template <class T> void Dispose(void* Buffer) {
  delete Get<T*>(Buffer);
  Put<T*>(Buffer, nullptr);
}

// Nil pointers first, then the values.
template <class T> int ComparePointed(const void* Value1, const void* Value2) {
  if (!Value1 || !Value2) return Order(Value1 != nullptr, Value2 != nullptr);
  return Order(*static_cast<const T*>(Value1), *static_cast<const T*>(Value2));
}

}  // namespace

// ---------------------------------------------------------------- TcxValueType

const TcxValueType* TcxValueType::Instance() {
  static const TcxValueType instance;
  return &instance;
}

int TcxValueType::CompareStored(const void* Buffer1, const void* Buffer2) const { return CompareRaw(Buffer1, Buffer2); }

void TcxValueType::ReleaseText(String*& Text) const {
  delete Text;
  Text = nullptr;
}

void TcxValueType::ValueToVariant(const void*, Variant& V) const { V = Null(); }

String TcxValueType::DefaultText(const void* Buffer) const {
  Variant v;
  ValueToVariant(Buffer, v);
  try {
    return VarToStr(v);
  } catch (const EVariantError&) {
    return String();
  }
}

void TcxValueType::LoadValue(void* Buffer, TStream* Stream) const { VariantToValue(Buffer, LoadVariant(Stream)); }

void TcxValueType::LoadText(String*& Text, TStream* Stream) const { StoreText(Text, LoadAnsiText(Stream)); }

void TcxValueType::StoreText(String*& Text, const String& S) const {
  if (!Text) Text = new String;
  *Text = S;
}

void TcxValueType::SaveValue(const void* Buffer, TStream* Stream) const {
  Variant v;
  ValueToVariant(Buffer, v);
  SaveVariant(Stream, v);
}

void TcxValueType::SaveText(const String* Text, TStream* Stream) const { SaveAnsiText(Stream, StoredText(Text)); }

String TcxValueType::TypeCaption() const {
  String name = ClassName();
  if (StartsStr("Tcx", name)) name.erase(0, 3);
  const std::size_t at = name.find("ValueType");
  if (at != String::npos) name.erase(at, 9);
  return name;
}

int TcxValueType::CompareRaw(const void* Value1, const void* Value2) const {
  Variant v1, v2;
  ValueToVariant(Value1, v1);
  ValueToVariant(Value2, v2);
  return CompareVariants(v1, v2);
}

Word TcxValueType::VariantType() const { return varVariant; }

bool TcxValueType::CoerceVariant(Variant& V) const {
  if (VarIsNull(V) || VariantType() == varVariant) return true;
  try {
    V = VarAsType(V, VariantType());
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

// ---------------------------------------------------------------- strings

const TcxStringValueType* TcxStringValueType::Instance() {
  static const TcxStringValueType instance;
  return &instance;
}

int TcxStringValueType::CompareStored(const void* Buffer1, const void* Buffer2) const {
  return CompareRaw(Get<const void*>(Buffer1), Get<const void*>(Buffer2));
}

void TcxStringValueType::ReleaseValue(void* Buffer) const { Dispose<String>(Buffer); }

void TcxStringValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  PointerValueToVariant(Get<const void*>(Buffer), V);
}

void TcxStringValueType::PointerValueToVariant(const void* Pointer, Variant& V) const {
  V = Pointer ? Variant(*static_cast<const String*>(Pointer)) : Null();
}

void TcxStringValueType::LoadValue(void* Buffer, TStream* Stream) const { Allocated<String>(Buffer) = LoadAnsiText(Stream); }

void TcxStringValueType::VariantToValue(void* Buffer, const Variant& V) const {
  if (VarIsNull(V))
    ReleaseValue(Buffer);  // a nil pointer is Null
  else
    Allocated<String>(Buffer) = V.AsString();
}

void TcxStringValueType::SaveValue(const void* Buffer, TStream* Stream) const {
  const String* s = StoredPointer<String>(Buffer);
  SaveAnsiText(Stream, s ? *s : String());
}

int TcxStringValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return ComparePointed<String>(Value1, Value2);
}

Word TcxStringValueType::VariantType() const { return varString; }

void TcxStringValueType::DerefBuffer(const void*& Buffer) const { Buffer = Get<const void*>(Buffer); }

const TcxWideStringValueType* TcxWideStringValueType::Instance() {
  static const TcxWideStringValueType instance;
  return &instance;
}

void TcxWideStringValueType::ReleaseValue(void* Buffer) const { Dispose<WideString>(Buffer); }

void TcxWideStringValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  PointerValueToVariant(Get<const void*>(Buffer), V);
}

void TcxWideStringValueType::PointerValueToVariant(const void* Pointer, Variant& V) const {
  V = Pointer ? Variant::FromOleStr(Utf16ToUtf8(*static_cast<const WideString*>(Pointer))) : Null();
}

void TcxWideStringValueType::LoadValue(void* Buffer, TStream* Stream) const {
  Allocated<WideString>(Buffer) = LoadWideText(Stream);
}

void TcxWideStringValueType::VariantToValue(void* Buffer, const Variant& V) const {
  if (VarIsNull(V))
    ReleaseValue(Buffer);
  else
    Allocated<WideString>(Buffer) = Utf8ToUtf16(V.AsString());
}

void TcxWideStringValueType::SaveValue(const void* Buffer, TStream* Stream) const {
  // The UTF-16 goes out as it is: no detour through 8-bit text that would lose characters.
  const WideString* w = StoredPointer<WideString>(Buffer);
  SaveWideText(Stream, w ? *w : WideString());
}

int TcxWideStringValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return ComparePointed<WideString>(Value1, Value2);
}

Word TcxWideStringValueType::VariantType() const { return varOleStr; }

// ---------------------------------------------------------------- integers

const TcxSmallintValueType* TcxSmallintValueType::Instance() {
  static const TcxSmallintValueType instance;
  return &instance;
}
void TcxSmallintValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant(short(Get<SmallInt>(Buffer))); }
void TcxSmallintValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant(short(LoadInt16(Stream))));
}
void TcxSmallintValueType::VariantToValue(void* Buffer, const Variant& V) const {
  Put<SmallInt>(Buffer, SmallInt(V.AsInteger() & 0xFFFF));
}
void TcxSmallintValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveInt16(Stream, Get<SmallInt>(Buffer)); }
int TcxSmallintValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return int(Get<SmallInt>(Value1)) - int(Get<SmallInt>(Value2));
}
Word TcxSmallintValueType::VariantType() const { return varSmallint; }

const TcxIntegerValueType* TcxIntegerValueType::Instance() {
  static const TcxIntegerValueType instance;
  return &instance;
}
void TcxIntegerValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant(int(Get<Integer>(Buffer))); }
void TcxIntegerValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant(int(LoadInt32(Stream))));
}
void TcxIntegerValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<Integer>(Buffer, V.AsInteger()); }
void TcxIntegerValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveInt32(Stream, Get<Integer>(Buffer)); }
int TcxIntegerValueType::CompareRaw(const void* Value1, const void* Value2) const {
  // Compared, not subtracted: the difference of two integers can overflow.
  return Order(Get<Integer>(Value1), Get<Integer>(Value2));
}
Word TcxIntegerValueType::VariantType() const { return varInteger; }

const TcxWordValueType* TcxWordValueType::Instance() {
  static const TcxWordValueType instance;
  return &instance;
}
void TcxWordValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant((unsigned short)Get<Word>(Buffer)); }
void TcxWordValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant((unsigned short)LoadUInt16(Stream)));
}
void TcxWordValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<Word>(Buffer, Word(V.AsInteger() & 0xFFFF)); }
void TcxWordValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveUInt16(Stream, Get<Word>(Buffer)); }
int TcxWordValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return int(Get<Word>(Value1)) - int(Get<Word>(Value2));
}
Word TcxWordValueType::VariantType() const { return varWord; }

const TcxLargeIntValueType* TcxLargeIntValueType::Instance() {
  static const TcxLargeIntValueType instance;
  return &instance;
}
void TcxLargeIntValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant((long long)Get<Int64>(Buffer)); }
void TcxLargeIntValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant((long long)LoadInt64(Stream)));
}
void TcxLargeIntValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<Int64>(Buffer, V.AsInt64()); }
void TcxLargeIntValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveInt64(Stream, Get<Int64>(Buffer)); }
int TcxLargeIntValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return Order(Get<Int64>(Value1), Get<Int64>(Value2));
}
Word TcxLargeIntValueType::VariantType() const { return varInt64; }

// ---------------------------------------------------------------- Boolean, float, currency, date

const TcxBooleanValueType* TcxBooleanValueType::Instance() {
  static const TcxBooleanValueType instance;
  return &instance;
}
void TcxBooleanValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant(Get<Byte>(Buffer) != 0); }
String TcxBooleanValueType::DefaultText(const void* Buffer) const { return BoolToStr(Get<Byte>(Buffer) != 0, true); }
void TcxBooleanValueType::LoadValue(void* Buffer, TStream* Stream) const { VariantToValue(Buffer, Variant(LoadBool(Stream))); }
void TcxBooleanValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<Byte>(Buffer, V.AsBoolean() ? 1 : 0); }
void TcxBooleanValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveBool(Stream, Get<Byte>(Buffer) != 0); }
int TcxBooleanValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return int(Get<Byte>(Value1)) - int(Get<Byte>(Value2));
}
Word TcxBooleanValueType::VariantType() const { return varBoolean; }

const TcxFloatValueType* TcxFloatValueType::Instance() {
  static const TcxFloatValueType instance;
  return &instance;
}
void TcxFloatValueType::ValueToVariant(const void* Buffer, Variant& V) const { V = Variant(Get<double>(Buffer)); }
void TcxFloatValueType::LoadValue(void* Buffer, TStream* Stream) const {
  Put<double>(Buffer, static_cast<double>(LoadExtended(Stream)));
}
void TcxFloatValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<double>(Buffer, V.AsDouble()); }
void TcxFloatValueType::SaveValue(const void* Buffer, TStream* Stream) const { SaveExtended(Stream, Get<double>(Buffer)); }
int TcxFloatValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return Order(Get<double>(Value1), Get<double>(Value2));
}
Word TcxFloatValueType::VariantType() const { return varDouble; }

const TcxCurrencyValueType* TcxCurrencyValueType::Instance() {
  static const TcxCurrencyValueType instance;
  return &instance;
}
void TcxCurrencyValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  V = Variant(Currency::FromRaw(Get<Int64>(Buffer)));
}
void TcxCurrencyValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant(LoadCurrencyValue(Stream)));
}
void TcxCurrencyValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<Int64>(Buffer, V.AsCurrency().Value); }
void TcxCurrencyValueType::SaveValue(const void* Buffer, TStream* Stream) const {
  SaveCurrencyValue(Stream, Currency::FromRaw(Get<Int64>(Buffer)));
}
int TcxCurrencyValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return Order(Get<Int64>(Value1), Get<Int64>(Value2));
}
Word TcxCurrencyValueType::VariantType() const { return varCurrency; }

const TcxDateTimeValueType* TcxDateTimeValueType::Instance() {
  static const TcxDateTimeValueType instance;
  return &instance;
}
void TcxDateTimeValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  V = Variant::FromDate(Get<double>(Buffer));
}
String TcxDateTimeValueType::DefaultText(const void* Buffer) const {
  try {
    return VarToStr(Variant::FromDate(Get<double>(Buffer)));
  } catch (const EVariantError&) {
    return DateTimeToStr(Get<double>(Buffer));
  }
}
void TcxDateTimeValueType::LoadValue(void* Buffer, TStream* Stream) const {
  VariantToValue(Buffer, Variant::FromDate(LoadDateTimeValue(Stream)));
}
void TcxDateTimeValueType::VariantToValue(void* Buffer, const Variant& V) const { Put<double>(Buffer, V.AsDateTime()); }
void TcxDateTimeValueType::SaveValue(const void* Buffer, TStream* Stream) const {
  SaveDateTimeValue(Stream, Get<double>(Buffer));
}
int TcxDateTimeValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return Order(Get<double>(Value1), Get<double>(Value2));
}
Word TcxDateTimeValueType::VariantType() const { return varDate; }

// ---------------------------------------------------------------- variants and objects

const TcxVariantValueType* TcxVariantValueType::Instance() {
  static const TcxVariantValueType instance;
  return &instance;
}
int TcxVariantValueType::CompareStored(const void* Buffer1, const void* Buffer2) const {
  return CompareRaw(Get<const void*>(Buffer1), Get<const void*>(Buffer2));
}
void TcxVariantValueType::ReleaseValue(void* Buffer) const { Dispose<Variant>(Buffer); }
void TcxVariantValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  PointerValueToVariant(Get<const void*>(Buffer), V);
}
void TcxVariantValueType::PointerValueToVariant(const void* Pointer, Variant& V) const {
  V = Pointer ? *static_cast<const Variant*>(Pointer) : Null();
}
void TcxVariantValueType::VariantToValue(void* Buffer, const Variant& V) const { Allocated<Variant>(Buffer) = V; }
int TcxVariantValueType::CompareRaw(const void* Value1, const void* Value2) const {
  if (!Value1 || !Value2) return Order(Value1 != nullptr, Value2 != nullptr);
  return CompareVariants(*static_cast<const Variant*>(Value1), *static_cast<const Variant*>(Value2));
}
void TcxVariantValueType::DerefBuffer(const void*& Buffer) const { Buffer = Get<const void*>(Buffer); }

const TcxObjectValueType* TcxObjectValueType::Instance() {
  static const TcxObjectValueType instance;
  return &instance;
}
void TcxObjectValueType::ReleaseValue(void* Buffer) const { Dispose<TObject>(Buffer); }
void TcxObjectValueType::ValueToVariant(const void* Buffer, Variant& V) const {
  V = Variant((long long)reinterpret_cast<std::intptr_t>(Get<TObject*>(Buffer)));
}
void TcxObjectValueType::VariantToValue(void* Buffer, const Variant& V) const {
  Put<TObject*>(Buffer, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(V.AsInt64())));
}
int TcxObjectValueType::CompareRaw(const void* Value1, const void* Value2) const {
  return Order(reinterpret_cast<std::uintptr_t>(Get<TObject*>(Value1)), reinterpret_cast<std::uintptr_t>(Get<TObject*>(Value2)));
}
Word TcxObjectValueType::VariantType() const { return varInt64; }

// ---------------------------------------------------------------- registry

void TcxValueTypeClassList::RegisterType(TcxValueTypeClass AValueTypeClass) {
  if (std::find(FItems.begin(), FItems.end(), AValueTypeClass) == FItems.end()) FItems.push_back(AValueTypeClass);
}

void TcxValueTypeClassList::UnregisterType(TcxValueTypeClass AValueTypeClass) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), AValueTypeClass), FItems.end());
}

namespace {

std::unique_ptr<TcxValueTypeClassList>& Registry() {
  static std::unique_ptr<TcxValueTypeClassList> registry;
  return registry;
}

// The library's value types, in the order they are registered.
std::vector<TcxValueTypeClass> LibraryValueTypes() {
  return {TcxStringValueType::Instance(),   TcxWideStringValueType::Instance(), TcxSmallintValueType::Instance(),
          TcxIntegerValueType::Instance(),  TcxWordValueType::Instance(),       TcxBooleanValueType::Instance(),
          TcxFloatValueType::Instance(),    TcxCurrencyValueType::Instance(),   TcxDateTimeValueType::Instance(),
          TcxLargeIntValueType::Instance(), TcxVariantValueType::Instance(),    TcxObjectValueType::Instance()};
}

struct TValueTypesRegistration {
  TValueTypesRegistration() {
    for (TcxValueTypeClass t : LibraryValueTypes()) ValueTypeRegistry().RegisterType(t);
  }
  ~TValueTypesRegistration() {
    const std::vector<TcxValueTypeClass> types = LibraryValueTypes();
    for (auto it = types.rbegin(); it != types.rend(); ++it) ValueTypeRegistry().UnregisterType(*it);
    Registry().reset();
  }
} gRegistration;

}  // namespace

TcxValueTypeClassList& ValueTypeRegistry() {
  if (!Registry()) Registry() = std::make_unique<TcxValueTypeClassList>();
  return *Registry();
}
