#pragma once
// TWriter: writes components and their published properties as the binary component stream.
#include "core/FilerBase.h"

class TWriter : public TFiler {
public:
  explicit TWriter(TStream* Stream) : TFiler(Stream) {}

  void DefineProperty(const String& Name, const std::function<void(TReader*)>& ReadData,
                      const std::function<void(TWriter*)>& WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>& ReadData,
                            const std::function<void(TStream*)>& WriteData, bool HasData) override;

  // Non-ASCII strings go out as GBK bytes in vaString/vaLString instead of vaUTF8String, for
  // files whose format is fixed to the ANSI code page.
  bool GbkStrings() const { return FGbkStrings; }
  void SetGbkStrings(bool Value) { FGbkStrings = Value; }

  void Write(const void* Buffer, Int64 Count);
  void WriteValue(TValueType Value);
  void WriteStr(const String& Value);  // length byte + bytes (names), at most 255 bytes
  void WriteInteger(Int64 Value);      // the smallest of int8, int16, int32, int64
  void WriteFloat(Extended Value);
  void WriteSingle(float Value);
  void WriteCurrency(Currency Value);
  void WriteDate(TDateTime Value);
  void WriteString(const String& Value);  // vaString / vaLString for ASCII, else vaUTF8String
  void WriteUTF8Str(const String& Value);
  void WriteWideString(const WideString& Value);
  void WriteWideString(const String& Value);
  void WriteIdent(const String& Ident);  // False, True, nil and Null get their own value types
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteWideChar(WideChar Value);
  void WriteListBegin();
  void WriteListEnd();
  void WriteSet(const TEnumInfo& Info, Int64 Bits);
  void WriteCollection(TCollection* Value);  // vaCollection, items, end
  void WriteBinary(const std::function<void(TStream*)>& WriteData);
  void WriteBinary(const void* Data, Int64 Count);
  void WriteVariant(const Variant& Value);
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, int ChildPos);
  // The name with the dotted path of the sub-object being written (Font.Name).
  void WritePropName(const String& Name);

  // Published properties that are stored and differ from their defaults, base class first,
  // then the object's defined properties.
  void WriteProperties(TPersistent* Instance);
  void WriteProperty(TPersistent* Instance, const TPropInfo* Prop);
  // One component record: prefix, class, name, properties, end, children, end. Names are
  // relative to the lookup root, else the root, else the component itself.
  void WriteComponent(TComponent* Component);
  // The signature and the root's record; names are written relative to the root.
  void WriteRootComponent(TComponent* Root);
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  // Properties and children of a component, each list closed by its end marker.
  void WriteData(TComponent* Instance);
  Int64 Position() const { return FStream->Position(); }

private:
  // WriteProperty by the property's kind: a value left out when it is its default, a
  // reference by name, a collection or sub-object in place, a handler of the root by name.
  void WriteOrdinalProperty(TPersistent* Instance, const TPropInfo* Prop);
  void WriteFloatProperty(TPersistent* Instance, const TPropInfo* Prop);
  void WriteTextProperty(TPersistent* Instance, const TPropInfo* Prop);
  void WriteObjectProperty(TPersistent* Instance, const TPropInfo* Prop);
  void WriteMethodProperty(TPersistent* Instance, const TPropInfo* Prop);
  String ReferenceName(TComponent* Target) const;
  void WriteAnsiBytes(const String& Bytes);
  // A value-type byte and Size bytes of Bits, little-endian: fixed-size values and the
  // length heads of long ones.
  void WriteTagged(TValueType Tag, std::uint64_t Bits, int Size);

  String FPropPath;
  int FDepth = 0;
  bool FGbkStrings = false;
};
