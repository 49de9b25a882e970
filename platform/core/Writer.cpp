// TWriter: values, properties and component records of the binary stream.
#include "core/Writer.h"

#include "core/Filer.h"
#include "core/Filer_p.h"
#include "core/StrUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace filer_impl;

void TWriter::DefineProperty(const String& Name, const std::function<void(TReader*)>&,
                             const std::function<void(TWriter*)>& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>&,
                                   const std::function<void(TStream*)>& WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteBinary(WriteData);
}

void TWriter::Write(const void* Buffer, Int64 Count) { FStream->WriteBuffer(Buffer, Count); }

void TWriter::WriteValue(TValueType Value) {
  Byte b = static_cast<Byte>(Value);
  Write(&b, 1);
}

void TWriter::WriteStr(const String& Value) {
  if (Value.size() > 255) throw EWriteError("Name too long for the stream: " + Value.substr(0, 64) + "...");
  Byte n = static_cast<Byte>(Value.size());
  Write(&n, 1);
  Write(Value.data(), n);
}

void TWriter::WriteTagged(TValueType Tag, std::uint64_t Bits, int Size) {
  Byte buf[9] = {static_cast<Byte>(Tag)};
  PutLE(buf + 1, Bits, Size);
  Write(buf, Size + 1);
}

void TWriter::WriteInteger(Int64 Value) {
  auto bits = static_cast<std::uint64_t>(Value);
  if (Value >= INT8_MIN && Value <= INT8_MAX) WriteTagged(vaInt8, bits, 1);
  else if (Value >= INT16_MIN && Value <= INT16_MAX) WriteTagged(vaInt16, bits, 2);
  else if (Value >= INT32_MIN && Value <= INT32_MAX) WriteTagged(vaInt32, bits, 4);
  else WriteTagged(vaInt64, bits, 8);
}

void TWriter::WriteFloat(Extended Value) {
  Byte buf[11];
  buf[0] = vaExtended;
  ExtendedToBytes(Value, buf + 1);
  Write(buf, sizeof buf);
}

void TWriter::WriteSingle(float Value) {
  std::uint32_t bits;
  std::memcpy(&bits, &Value, 4);
  WriteTagged(vaSingle, bits, 4);
}

void TWriter::WriteCurrency(Currency Value) { WriteTagged(vaCurrency, static_cast<std::uint64_t>(Value.Value), 8); }

void TWriter::WriteDate(TDateTime Value) {
  std::uint64_t bits;
  std::memcpy(&bits, &Value, 8);
  WriteTagged(vaDate, bits, 8);
}

void TWriter::WriteAnsiBytes(const String& Bytes) {
  if (Bytes.size() <= 255) {
    Byte head[2] = {vaString, static_cast<Byte>(Bytes.size())};
    Write(head, 2);
  } else {
    if (Bytes.size() > 0xFFFFFFFFull) throw EWriteError("String too long for the stream");
    WriteTagged(vaLString, Bytes.size(), 4);
  }
  Write(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

void TWriter::WriteString(const String& Value) {
  if (IsAscii(Value)) WriteAnsiBytes(Value);
  else if (FGbkStrings) WriteAnsiBytes(Utf8ToGbk(Value));
  else WriteUTF8Str(Value);
}

void TWriter::WriteUTF8Str(const String& Value) {
  if (Value.size() > 0xFFFFFFFFull) throw EWriteError("String too long for the stream");
  WriteTagged(vaUTF8String, Value.size(), 4);
  Write(Value.data(), static_cast<Int64>(Value.size()));
}

void TWriter::WriteWideString(const WideString& Value) {
  if (Value.size() > 0x7FFFFFFFull) throw EWriteError("String too long for the stream");
  WriteTagged(vaWString, Value.size(), 4);
  std::vector<Byte> units(2 * Value.size());
  for (std::size_t i = 0; i < Value.size(); ++i) PutLE(units.data() + 2 * i, Value[i], 2);
  if (!units.empty()) Write(units.data(), static_cast<Int64>(units.size()));
}

void TWriter::WriteWideString(const String& Value) { WriteWideString(Utf8ToUtf16(Value)); }

void TWriter::WriteIdent(const String& Ident) {
  if (SameText(Ident, "False")) WriteValue(vaFalse);
  else if (SameText(Ident, "True")) WriteValue(vaTrue);
  else if (SameText(Ident, "nil")) WriteValue(vaNil);
  else if (SameText(Ident, "Null")) WriteValue(vaNull);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char Value) { WriteAnsiBytes(String(1, Value)); }

void TWriter::WriteWideChar(WideChar Value) {
  if (Value < 0x80) WriteChar(static_cast<char>(Value));
  else WriteString(Utf16ToUtf8(WideString(1, Value)));
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteSet(const TEnumInfo& Info, Int64 Bits) {
  WriteValue(vaSet);
  for (int i = 0; i < Info.Count() && i < 64; ++i)
    if (Bits & (Int64(1) << i)) WriteStr(Info.NameOf(i));
  WriteStr(String());
}

void TWriter::WriteCollection(TCollection* Value) {
  WriteValue(vaCollection);
  if (Value) {
    TRestore path(FPropPath, String());
    for (int i = 0; i < Value->Count(); ++i) {
      WriteListBegin();
      WriteProperties(Value->Items(i));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

void TWriter::WriteBinary(const std::function<void(TStream*)>& WriteData) {
  TMemoryStream data;
  WriteData(&data);
  WriteBinary(data.Memory(), data.Size());
}

void TWriter::WriteBinary(const void* Data, Int64 Count) {
  if (Count < 0 || Count > 0xFFFFFFFFll) throw EWriteError("Binary value too large for the stream");
  WriteTagged(vaBinary, static_cast<std::uint64_t>(Count), 4);
  Write(Data, Count);
}

void TWriter::WriteVariant(const Variant& Value) {
  TVarType t = VarType(Value);
  if (t & varArray) {
    if (VarArrayDimCount(Value) != 1) throw EWriteError("Only one-dimensional variant arrays can be streamed");
    WriteListBegin();
    for (int i = VarArrayLowBound(Value, 1); i <= VarArrayHighBound(Value, 1); ++i) WriteVariant(Value.GetElement({i}));
    WriteListEnd();
    return;
  }
  switch (t & varTypeMask) {
    case varEmpty: WriteValue(vaNil); break;
    case varNull: WriteValue(vaNull); break;
    case varOleStr: WriteWideString(Value.AsString()); break;
    case varString: WriteString(Value.AsString()); break;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64: WriteInteger(Value.AsInt64()); break;
    case varSingle: WriteSingle(static_cast<float>(Value.AsDouble())); break;
    case varDouble: WriteFloat(Value.AsDouble()); break;
    case varCurrency: WriteCurrency(Value.AsCurrency()); break;
    case varDate: WriteDate(Value.AsDateTime()); break;
    case varBoolean: WriteBoolean(Value.AsBoolean()); break;
    default: throw EWriteError("Cannot stream a variant of type " + VarTypeAsText(t));
  }
}

void TWriter::WriteSignature() { Write("TPF0", 4); }

void TWriter::WritePrefix(TFilerFlags Flags, int ChildPos) {
  if (Flags.Empty()) return;
  Byte b = static_cast<Byte>(0xF0 | (Flags.Bits() & 0x0F));
  Write(&b, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(ChildPos);
}

void TWriter::WritePropName(const String& Name) { WriteStr(FPropPath + Name); }

String TWriter::ReferenceName(TComponent* Target) const {
  if (!Target) return {};
  if (Target == FLookupRoot) return "Owner";
  std::vector<const String*> names;
  TComponent* c = Target;
  for (; c && c != FLookupRoot; c = c->Owner()) {
    if (c->Name().empty()) return {};
    names.push_back(&c->Name());
    // Another form or data module: named from its own root, as reading resolves it.
    if (FindGlobalRoot(c->Name()) == c) break;
  }
  String r;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (!r.empty()) r += '.';
    r += **it;
  }
  return r;
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop) {
  if (!Prop->IsStored(Instance)) return;
  switch (Prop->Kind) {
    case tkInteger: case tkInt64: case tkChar: case tkWChar: case tkEnumeration: case tkSet:
      WriteOrdinalProperty(Instance, Prop);
      return;
    case tkFloat: WriteFloatProperty(Instance, Prop); return;
    case tkString: case tkLString: case tkWString: case tkVariant: WriteTextProperty(Instance, Prop); return;
    case tkClass: WriteObjectProperty(Instance, Prop); return;
    case tkMethod: WriteMethodProperty(Instance, Prop); return;
    default: return;
  }
}

// An integer is written as its identifier when its type has one for the value.
void TWriter::WriteOrdinalProperty(TPersistent* Instance, const TPropInfo* Prop) {
  if (Prop->IsDefault(Instance)) return;
  Int64 v = Prop->Access->GetOrd(Instance);
  WritePropName(Prop->Name);
  String ident;
  switch (Prop->Kind) {
    case tkChar: WriteChar(static_cast<char>(v)); return;
    case tkWChar: WriteWideChar(static_cast<WideChar>(v)); return;
    case tkEnumeration: WriteIdent(Prop->Enum->NameOf(static_cast<int>(v))); return;
    case tkSet: WriteSet(*Prop->Enum, v); return;
    default:
      if (IntToIdentOfType(Prop->TypeName, v, ident)) WriteIdent(ident);
      else WriteInteger(v);
      return;
  }
}

// A float is written in the width of its type: single, date, currency or extended.
void TWriter::WriteFloatProperty(TPersistent* Instance, const TPropInfo* Prop) {
  if (Prop->IsDefault(Instance)) return;
  Extended v = Prop->Access->GetFloat(Instance);
  WritePropName(Prop->Name);
  const String& t = Prop->TypeName;
  if (t == "Single") WriteSingle(static_cast<float>(v));
  else if (t == "TDateTime" || t == "TDate" || t == "TTime") WriteDate(static_cast<double>(v));
  else if (t == "Currency") WriteCurrency(Currency::FromExtended(v));
  else WriteFloat(v);
}

void TWriter::WriteTextProperty(TPersistent* Instance, const TPropInfo* Prop) {
  if (Prop->IsDefault(Instance)) return;
  const TPropAccessor& a = *Prop->Access;
  WritePropName(Prop->Name);
  if (Prop->Kind == tkVariant) WriteVariant(a.GetVariant(Instance));
  else if (Prop->Kind == tkWString) WriteWideString(a.GetStr(Instance));
  else WriteString(a.GetStr(Instance));
}

// A reference by its name, a collection by its items, any other object by its own properties
// under the property's name; nothing for no object, an unnamed reference or an empty
// collection.
void TWriter::WriteObjectProperty(TPersistent* Instance, const TPropInfo* Prop) {
  TObject* obj = Prop->Access->GetObj(Instance);
  if (!obj) return;
  if (Prop->IsReference()) {
    String name = ReferenceName(static_cast<TComponent*>(obj));
    if (name.empty()) return;
    WritePropName(Prop->Name);
    WriteIdent(name);
    return;
  }
  if (auto* coll = dynamic_cast<TCollection*>(obj)) {
    if (coll->Count() == 0) return;
    WritePropName(Prop->Name);
    WriteCollection(coll);
    return;
  }
  auto* sub = dynamic_cast<TPersistent*>(obj);
  if (!sub) return;
  if (FDepth >= 32) throw EWriteError("Sub-objects nested too deeply at " + FPropPath + Prop->Name);
  TRestore path(FPropPath, FPropPath + Prop->Name + ".");
  TRestore depth(FDepth, FDepth + 1);
  WriteProperties(sub);
}

void TWriter::WriteMethodProperty(TPersistent* Instance, const TPropInfo* Prop) {
  TMethod m = Prop->Access->GetMethod(Instance);
  if (!m.Assigned()) return;
  // Only handlers of the root can be bound again by name when the layout is read.
  if (FLookupRoot && m.Data != FLookupRoot) return;
  String name = MethodName(m);
  if (name.empty()) return;
  WritePropName(Prop->Name);
  WriteIdent(name);
}

// Handlers go after the values, as layouts list them: read back, a value whose setter runs a
// handler (a radio button's Checked runs its OnClick) then sets it before the handler is there,
// as reading the layout did.
void TWriter::WriteProperties(TPersistent* Instance) {
  const auto& props = Instance->ClassType()->Properties();
  for (const TPropInfo* p : props)
    if (p->Kind != tkMethod) WriteProperty(Instance, p);
  for (const TPropInfo* p : props)
    if (p->Kind == tkMethod) WriteProperty(Instance, p);
  Instance->DefineProperties(this);
}

void TWriter::WriteData(TComponent* Instance) {
  String saved = std::exchange(FPropPath, String());
  WriteProperties(Instance);
  FPropPath = saved;
  WriteListEnd();
  Instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, FRoot);
  WriteListEnd();
}

void TWriter::WriteComponent(TComponent* Component) {
  TRestore root(FRoot);
  TRestore lookup(FLookupRoot);
  if (!FRoot) FRoot = Component;
  if (!FLookupRoot) FLookupRoot = FRoot;
  TFilerFlags flags;
  if (Component->ComponentState().Contains(csInline)) flags.Include(ffInline);
  WritePrefix(flags, 0);
  WriteStr(Component->ClassName());
  WriteStr(Component->Name());
  Component->WriteState(this);
  WriteData(Component);
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteDescendent(TComponent* Root, TComponent*) {
  FRoot = FLookupRoot = Root;
  WriteSignature();
  WriteComponent(Root);
}
