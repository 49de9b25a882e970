#pragma once
// Value types: how one kind of value is held in a record buffer, turned into a variant and
// back, compared, shown as text, and written to and read from a stream in the library's
// value format (cxVariantStreams.h). A value type is used as a class: each has one instance
// (Instance()), no state, and the registry lists them.
//
// A buffer holds ValueSize() bytes. Strings, wide strings and variants live on the heap and
// the buffer holds a pointer to them (8 bytes); a nil pointer is Null. A display text, when
// stored, is a heap string pointer as well.
// Declares TcxValueType, its twelve kinds and TcxValueTypeClassList.
#include "core/System.h"

#include <vector>

class TStream;
class Variant;

class TcxValueType {
public:
  virtual ~TcxValueType() = default;
  // The class name: "TcxStringValueType", ...
  virtual const char* ClassName() const { return "TcxValueType"; }

  virtual int CompareStored(const void* Buffer1, const void* Buffer2) const;
  virtual void ReleaseValue(void* Buffer) const {}
  void ReleaseText(String*& Text) const;
  virtual int ValueSize() const { return 0; }
  virtual void ValueToVariant(const void* Buffer, Variant& V) const;
  virtual String DefaultText(const void* Buffer) const;
  String StoredText(const String* Text) const { return Text ? *Text : String(); }
  virtual void LoadValue(void* Buffer, TStream* Stream) const;
  void LoadText(String*& Text, TStream* Stream) const;
  virtual void VariantToValue(void* Buffer, const Variant& V) const {}
  void StoreText(String*& Text, const String& S) const;
  virtual void SaveValue(const void* Buffer, TStream* Stream) const;
  void SaveText(const String* Text, TStream* Stream) const;
  // The class name less "Tcx" and "ValueType": "String", "Integer", ...
  String TypeCaption() const;
  // Compares two values where they are (for the pointer kinds: the heap objects, or nil).
  virtual int CompareRaw(const void* Value1, const void* Value2) const;
  // The value at a storage pointer (for the pointer kinds: the heap object itself).
  virtual void PointerValueToVariant(const void* Pointer, Variant& V) const { ValueToVariant(Pointer, V); }
  virtual Word VariantType() const;
  // Converts V in place to the type's variant type; false when it cannot be.
  bool CoerceVariant(Variant& V) const;
  virtual bool HoldsText() const { return false; }
  // For the pointer kinds: Buffer becomes the stored pointer.
  virtual void DerefBuffer(const void*& Buffer) const {}

  static const TcxValueType* Instance();
};

using TcxValueTypeClass = const TcxValueType*;

#define KELM_VALUE_TYPE(Cls, Parent)                              \
  class Cls : public Parent {                                     \
  public:                                                         \
    const char* ClassName() const override { return #Cls; }       \
    static const Cls* Instance();

KELM_VALUE_TYPE(TcxStringValueType, TcxValueType)
  int CompareStored(const void* Buffer1, const void* Buffer2) const override;
  void ReleaseValue(void* Buffer) const override;
  int ValueSize() const override { return sizeof(void*); }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  void PointerValueToVariant(const void* Pointer, Variant& V) const override;
  Word VariantType() const override;
  bool HoldsText() const override { return true; }
  void DerefBuffer(const void*& Buffer) const override;
};

KELM_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  void ReleaseValue(void* Buffer) const override;
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  void PointerValueToVariant(const void* Pointer, Variant& V) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
  int ValueSize() const override { return 2; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
  int ValueSize() const override { return 4; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxWordValueType, TcxValueType)
  int ValueSize() const override { return 2; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
  int ValueSize() const override { return 1; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  String DefaultText(const void* Buffer) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxFloatValueType, TcxValueType)
  int ValueSize() const override { return 8; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
  int ValueSize() const override { return 8; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
  int ValueSize() const override { return 8; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  String DefaultText(const void* Buffer) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
  int ValueSize() const override { return 8; }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

KELM_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  int CompareStored(const void* Buffer1, const void* Buffer2) const override;
  void ReleaseValue(void* Buffer) const override;
  int ValueSize() const override { return sizeof(void*); }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void VariantToValue(void* Buffer, const Variant& V) const override;
  int CompareRaw(const void* Value1, const void* Value2) const override;
  void PointerValueToVariant(const void* Pointer, Variant& V) const override;
  void DerefBuffer(const void*& Buffer) const override;
};

// An object reference held as a number; freeing the value frees the object. Nothing of it
// is streamed.
KELM_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  void ReleaseValue(void* Buffer) const override;
  int ValueSize() const override { return sizeof(void*); }
  void ValueToVariant(const void* Buffer, Variant& V) const override;
  void LoadValue(void* Buffer, TStream* Stream) const override {}
  void VariantToValue(void* Buffer, const Variant& V) const override;
  void SaveValue(const void* Buffer, TStream* Stream) const override {}
  int CompareRaw(const void* Value1, const void* Value2) const override;
  Word VariantType() const override;
};

#undef KELM_VALUE_TYPE

// The registered value types, in registration order.
class TcxValueTypeClassList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxValueTypeClass Items(int Index) const { return FItems.at(std::size_t(Index)); }
  void RegisterType(TcxValueTypeClass AValueTypeClass);  // once
  void UnregisterType(TcxValueTypeClass AValueTypeClass);

private:
  std::vector<TcxValueTypeClass> FItems;
};

// The process-wide list; the library registers its value types when it starts and takes
// them out, last first, when it ends.
TcxValueTypeClassList& ValueTypeRegistry();
