// TReader: values, properties, references and component records of the binary stream.
#include "core/Reader.h"

#include "core/Filer.h"
#include "core/Filer_p.h"
#include "core/StrUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using namespace filer_impl;

int TTextSourceMap::LineAt(Int64 Offset) const {
  auto it = std::upper_bound(Lines.begin(), Lines.end(), Offset,
                             [](Int64 off, const std::pair<Int64, int>& e) { return off < e.first; });
  if (it == Lines.begin()) return Lines.empty() ? 0 : Lines.front().second;
  return std::prev(it)->second;
}

TReader::~TReader() = default;

String TReader::PathText() const {
  String r;
  for (const String& n : FPath) {
    if (!r.empty()) r += '.';
    r += n;
  }
  return r;
}

String TReader::Describe(const String& Reason, const String& Context, Int64 Offset) const {
  String msg = Context.empty() ? Reason : "Error reading " + Context + ": " + Reason;
  String source = FSourceMap && !FSourceMap->SourceName.empty() ? FSourceMap->SourceName : FSourceName;
  int line = FSourceMap ? FSourceMap->LineAt(Offset) : 0;
  if (line > 0) msg += " (" + (source.empty() ? String() : source + ", ") + "line " + std::to_string(line) + ")";
  else if (!source.empty()) msg += " (" + source + ")";
  return msg;
}

String TReader::Describe(const String& Reason) const {
  String ctx = PathText();
  if (!FPropName.empty()) ctx += (ctx.empty() ? "" : ".") + FPropName;
  return Describe(Reason, ctx, FContextPos);
}

void TReader::Raise(const String& Reason) { throw EReadErrorAt(Describe(Reason)); }

void TReader::RaiseClassNotFound(const String& Reason) { throw EClassNotFoundAt(Describe(Reason)); }

bool TReader::Recover(const String& Message) {
  bool handled = false;
  if (OnError) OnError(this, Message, handled);
  return handled;
}

void TReader::PropertyError(const String& Reason, bool ValueConsumed) {
  String msg = Describe(Reason);
  if (!Recover(msg)) throw EReadErrorAt(msg);
  if (!ValueConsumed) SkipValue();
}

void TReader::WrongValue(const char* Expected, TValueType Found) {
  FStream->Seek(-1, soCurrent);  // leave the value unread
  Raise(String("Invalid property value: ") + KindText(Found) + " where " + Expected + " is expected");
}

// ---------------------------------------------------------------- primitives

void TReader::Read(void* Buffer, Int64 Count) {
  if (Count > 0 && FStream->Read(Buffer, Count) != Count) Raise("Stream read error");
}

TValueType TReader::CheckedType(Byte b) {
  if (b > vaUTF8String) Raise("Invalid stream format: unknown value type " + std::to_string(b));
  return static_cast<TValueType>(b);
}

TValueType TReader::ReadValue() {
  Byte b;
  Read(&b, 1);
  return CheckedType(b);
}

TValueType TReader::NextValue() {
  Byte b;
  Read(&b, 1);
  FStream->Seek(-1, soCurrent);
  return CheckedType(b);
}

void TReader::CheckValue(TValueType Value) {
  TValueType t = ReadValue();
  if (t != Value) WrongValue(KindText(Value), t);
}

// A raw look at the next byte: component lists continue with a prefix or a name length,
// not a value type.
bool TReader::EndOfList() {
  Byte b;
  Read(&b, 1);
  FStream->Seek(-1, soCurrent);
  return b == 0;
}

void TReader::ReadListBegin() {
  TValueType t = ReadValue();
  if (t != vaList) WrongValue("a list", t);
}

void TReader::ReadListEnd() {
  TValueType t = ReadValue();
  if (t != vaNull) WrongValue("the end of a list", t);
}

void TReader::SkipBytes(Int64 Count) {
  Int64 pos = FStream->Position();
  if (Count < 0 || Count > FStream->Size() - pos) Raise("Stream read error");
  FStream->Seek(pos + Count, soBeginning);
}

std::uint64_t TReader::ReadLE(int Size) {
  Byte b[8];
  Read(b, Size);
  return GetLE(b, Size);
}

Int64 TReader::ReadUInt32Length() {
  auto n = static_cast<Int64>(ReadLE(4));
  // A length past the end of the data is damage, not a reason to allocate gigabytes.
  if (n > FStream->Size() - FStream->Position()) Raise("Stream read error");
  return n;
}

String TReader::ReadRaw(Int64 Count) {
  String s(static_cast<std::size_t>(Count), '\0');
  Read(s.data(), Count);
  return s;
}

String TReader::Decode8(const String& Bytes) const {
  return FGbkStrings && !IsAscii(Bytes) ? GbkToUtf8(Bytes) : Bytes;
}

String TReader::ReadStr() {
  Byte n;
  Read(&n, 1);
  return ReadRaw(n);
}

Int64 TReader::ReadInt64() {
  TValueType t = ReadValue();
  switch (t) {
    case vaInt8: return static_cast<std::int8_t>(ReadLE(1));
    case vaInt16: return static_cast<std::int16_t>(ReadLE(2));
    case vaInt32: return static_cast<std::int32_t>(ReadLE(4));
    case vaInt64: return static_cast<Int64>(ReadLE(8));
    default: WrongValue("an integer", t);
  }
}

int TReader::ReadInteger() {
  Int64 v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) Raise("Integer value out of range: " + std::to_string(v));
  return static_cast<int>(v);
}

Extended TReader::ReadFloat() {
  TValueType t = NextValue();
  if (IsIntType(t)) return static_cast<Extended>(ReadInt64());
  switch (t) {
    case vaExtended: {
      ReadValue();
      Byte b[10];
      Read(b, 10);
      return BytesToExtended(b);
    }
    case vaSingle: return ReadSingle();
    case vaCurrency: return ReadCurrency().ToExtended();
    case vaDate: return ReadDate();
    default: ReadValue(); WrongValue("a number", t);
  }
}

float TReader::ReadSingle() {
  TValueType t = NextValue();
  if (t != vaSingle) return static_cast<float>(ReadFloat());
  ReadValue();
  auto bits = static_cast<std::uint32_t>(ReadLE(4));
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

Currency TReader::ReadCurrency() {
  TValueType t = NextValue();
  if (t != vaCurrency) {
    if (IsIntType(t)) return Currency(ReadInt64());
    return Currency::FromExtended(ReadFloat());
  }
  ReadValue();
  return Currency::FromRaw(static_cast<Int64>(ReadLE(8)));
}

TDateTime TReader::ReadDate() {
  TValueType t = NextValue();
  if (t != vaDate) return static_cast<TDateTime>(ReadFloat());
  ReadValue();
  std::uint64_t bits = ReadLE(8);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

String TReader::ReadString() {
  TValueType t = ReadValue();
  switch (t) {
    case vaString: {
      Byte n;
      Read(&n, 1);
      return Decode8(ReadRaw(n));
    }
    case vaLString: return Decode8(ReadRaw(ReadUInt32Length()));
    case vaUTF8String: return ReadRaw(ReadUInt32Length());
    case vaWString: {
      auto count = static_cast<Int64>(ReadLE(4));
      if (count * 2 > FStream->Size() - FStream->Position()) Raise("Stream read error");
      String raw = ReadRaw(count * 2);
      WideString w(static_cast<std::size_t>(count), u'\0');
      for (Int64 i = 0; i < count; ++i)
        w[i] = static_cast<WideChar>(Byte(raw[2 * i]) | (Byte(raw[2 * i + 1]) << 8));
      return Utf16ToUtf8(w);
    }
    default: WrongValue("a string", t);
  }
}

WideString TReader::ReadWideString() { return Utf8ToUtf16(ReadString()); }

String TReader::ReadIdent() {
  TValueType t = ReadValue();
  switch (t) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: WrongValue("an identifier", t);
  }
}

bool TReader::ReadBoolean() {
  TValueType t = ReadValue();
  if (t == vaTrue) return true;
  if (t == vaFalse) return false;
  WrongValue("a Boolean", t);
}

char TReader::ReadChar() {
  String s = ReadString();
  if (s.size() != 1) Raise("Invalid character value '" + s + "'");
  return s[0];
}

WideChar TReader::ReadWideChar() {
  String s = ReadString();
  WideString w = Utf8ToUtf16(s);
  if (w.size() != 1) Raise("Invalid character value '" + s + "'");
  return w[0];
}

TBytes TReader::ReadBinary() {
  CheckValue(vaBinary);
  Int64 n = ReadUInt32Length();
  TBytes b(static_cast<std::size_t>(n));
  Read(b.data(), n);
  return b;
}

Variant TReader::ReadVariant() {
  TValueType t = NextValue();
  if (IsIntType(t)) {
    Int64 v = ReadInt64();
    return v >= INT32_MIN && v <= INT32_MAX ? Variant(static_cast<int>(v)) : Variant(v);
  }
  if (IsStringType(t)) {
    String s = ReadString();
    return t == vaWString ? Variant::FromOleStr(s) : Variant(s);
  }
  switch (t) {
    case vaNil: ReadValue(); return Variant();
    case vaNull: ReadValue(); return Null();
    case vaFalse: case vaTrue: return Variant(ReadBoolean());
    case vaExtended: return Variant(static_cast<double>(ReadFloat()));
    case vaSingle: return Variant(ReadSingle());
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant::FromDate(ReadDate());
    case vaList: {
      TNestingGuard guard(FNesting);
      if (FNesting > kMaxNesting) Raise("Values nested too deeply");
      ReadValue();
      std::vector<Variant> items;
      while (!EndOfList()) items.push_back(ReadVariant());
      ReadListEnd();
      return VarArrayOf(items);
    }
    default: ReadValue(); WrongValue("a variant value", t);
  }
}

void TReader::SkipValue() {
  TNestingGuard guard(FNesting);
  if (FNesting > kMaxNesting) Raise("Values nested too deeply");
  TValueType t = ReadValue();
  Byte b[4];
  switch (t) {
    case vaNull: case vaFalse: case vaTrue: case vaNil: return;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    case vaInt8: SkipBytes(1); return;
    case vaInt16: SkipBytes(2); return;
    case vaInt32: case vaSingle: SkipBytes(4); return;
    case vaInt64: case vaCurrency: case vaDate: SkipBytes(8); return;
    case vaExtended: SkipBytes(10); return;
    case vaString: case vaIdent: Read(b, 1); SkipBytes(b[0]); return;
    case vaBinary: case vaLString: case vaUTF8String: SkipBytes(ReadUInt32Length()); return;
    case vaWString: SkipBytes(2 * static_cast<Int64>(ReadLE(4))); return;
    case vaSet:
      for (;;) {
        Read(b, 1);
        if (b[0] == 0) return;
        SkipBytes(b[0]);
      }
    case vaCollection:
      while (!EndOfList()) {
        if (IsIntType(NextValue())) SkipValue();
        ReadListBegin();
        SkipProperties();
      }
      ReadListEnd();
      return;
  }
}

void TReader::SkipProperties() {
  while (!EndOfList()) {
    ReadStr();
    SkipValue();
  }
  ReadListEnd();
}

void TReader::SkipComponentBody() {
  TNestingGuard guard(FNesting);
  if (FNesting > kMaxNesting) Raise("Components nested too deeply");
  SkipProperties();
  while (!EndOfList()) {
    TFilerFlags flags;
    int pos;
    ReadPrefix(flags, pos);
    ReadStr();
    ReadStr();
    SkipComponentBody();
  }
  ReadListEnd();
}

void TReader::ReadSignature() {
  char sig[4] = {};
  if (FStream->Read(sig, 4) != 4 || std::memcmp(sig, "TPF0", 4) != 0) Raise("Invalid stream format");
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& ChildPos) {
  Flags = TFilerFlags();
  ChildPos = 0;
  Byte b;
  Read(&b, 1);
  if ((b & 0xF0) != 0xF0) {
    FStream->Seek(-1, soCurrent);
    return;
  }
  Flags = TFilerFlags::FromBits(b & 0x07);
  if (Flags.Contains(ffChildPos)) ChildPos = ReadInteger();
}

// ---------------------------------------------------------------- defined properties

void TReader::DefineProperty(const String& Name, const std::function<void(TReader*)>& ReadData,
                             const std::function<void(TWriter*)>&, bool) {
  if (!FDefinedFound || !ReadData || !SameText(Name, FDefinedName)) return;
  *FDefinedFound = true;
  FDefinedFound = nullptr;  // the data may hold properties of its own
  FDefinedName.clear();
  ReadData(this);
}

void TReader::DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>& ReadData,
                                   const std::function<void(TStream*)>&, bool) {
  if (!FDefinedFound || !ReadData || !SameText(Name, FDefinedName)) return;
  *FDefinedFound = true;
  FDefinedFound = nullptr;
  FDefinedName.clear();
  TValueType t = NextValue();
  if (t != vaBinary) {
    PropertyError(String("Invalid property value: ") + KindText(t) + " where binary data is expected", false);
    return;
  }
  TBytes bytes = ReadBinary();
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  data.SetPosition(0);
  ReadData(&data);
}

// ---------------------------------------------------------------- properties

void TReader::ReadProperty(TPersistent* Instance) {
  FContextPos = Position();
  String name = ReadStr();
  FPropName = FPropPrefix + name;

  // Font.Name: each part but the last names an owned sub-object.
  TPersistent* target = Instance;
  std::size_t start = 0;
  for (std::size_t dot; (dot = name.find('.', start)) != String::npos; start = dot + 1) {
    const TPropInfo* p = target->ClassType()->FindProperty(name.substr(start, dot - start));
    TObject* sub = p && p->Kind == tkClass && !p->IsReference() ? p->Access->GetObj(target) : nullptr;
    auto* next = dynamic_cast<TPersistent*>(sub);
    if (!next) {
      PropertyError("Property " + name.substr(0, dot) + " does not exist", false);
      return;
    }
    target = next;
  }
  String last = name.substr(start);
  if (const TPropInfo* p = target->ClassType()->FindProperty(last)) {
    ReadPropValue(target, p);
    return;
  }
  // Old layouts carry the design-time screen metrics; the layer always works at 96 DPI.
  if (start == 0 && (SameText(last, "PixelsPerInch") || SameText(last, "TextHeight"))) {
    SkipValue();
    return;
  }
  bool found = false;
  FDefinedName = last;
  FDefinedFound = &found;
  try {
    target->DefineProperties(this);
  } catch (const TFilerMark&) {
    FDefinedFound = nullptr;
    throw;
  } catch (const Exception& e) {
    FDefinedFound = nullptr;
    Raise(e.Message());
  }
  FDefinedFound = nullptr;
  FDefinedName.clear();
  if (!found) PropertyError("Property " + last + " does not exist", false);
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop) {
  TValueType t = NextValue();
  auto wrong = [&](const char* expected) {
    PropertyError(String("Invalid property value: ") + KindText(t) + " where " + expected + " is expected", false);
  };
  const TPropAccessor& a = *Prop->Access;
  try {
    switch (Prop->Kind) {
      case tkInteger: case tkInt64: {
        Int64 v;
        if (IsIntType(t)) {
          v = ReadInt64();
        } else if (t == vaIdent) {
          String ident = ReadIdent();
          if (!IdentToIntOfType(Prop->TypeName, ident, v)) {
            PropertyError("Invalid property value " + ident, true);
            return;
          }
        } else {
          return wrong("an integer");
        }
        // Integer properties hold 32 bits, signed or not (Cardinal).
        if (Prop->Kind == tkInteger && (v < INT32_MIN || v > static_cast<Int64>(UINT32_MAX))) {
          PropertyError("Integer value out of range: " + std::to_string(v), true);
          return;
        }
        a.SetOrd(Instance, v);
        return;
      }
      case tkChar: case tkWChar: {
        if (!IsStringType(t)) return wrong("a character");
        String s = ReadString();
        WideString w = Utf8ToUtf16(s);
        bool ok = Prop->Kind == tkChar ? s.size() == 1 : w.size() == 1;
        if (!ok) {
          PropertyError("Invalid character value '" + s + "'", true);
          return;
        }
        a.SetOrd(Instance, Prop->Kind == tkChar ? static_cast<Byte>(s[0]) : w[0]);
        return;
      }
      case tkEnumeration: {
        if (!IsIdentType(t)) return wrong("an identifier");
        String ident = ReadIdent();
        int v = Prop->Enum->ValueOf(ident);
        if (v < 0) {
          PropertyError("Invalid property value " + ident, true);
          return;
        }
        a.SetOrd(Instance, v);
        return;
      }
      case tkSet:
        if (t != vaSet) return wrong("a set");
        ReadSetValue(Instance, Prop);
        return;
      case tkFloat:
        if (!IsNumberType(t)) return wrong("a number");
        a.SetFloat(Instance, ReadFloat());
        return;
      case tkString: case tkLString: case tkWString:
        if (!IsStringType(t)) return wrong("a string");
        a.SetStr(Instance, ReadString());
        return;
      case tkVariant:
        if (t == vaIdent || t == vaSet || t == vaBinary || t == vaCollection) return wrong("a variant value");
        a.SetVariant(Instance, ReadVariant());
        return;
      case tkClass:
        if (Prop->IsReference()) {
          ReadReference(Instance, Prop);
        } else if (auto* coll = dynamic_cast<TCollection*>(a.GetObj(Instance)); coll && t == vaCollection) {
          ReadCollection(coll);
        } else {
          return wrong(dynamic_cast<TCollection*>(a.GetObj(Instance)) ? "a collection" : "sub-properties");
        }
        return;
      case tkMethod:
        ReadMethod(Instance, Prop);
        return;
      default:
        PropertyError("Property " + Prop->Name + " cannot be read from a stream", false);
        return;
    }
  } catch (const TFilerMark&) {
    throw;
  } catch (const Exception& e) {
    // The value has been read; the setter refused it.
    PropertyError(e.Message(), true);
  }
}

void TReader::ReadSetValue(TPersistent* Instance, const TPropInfo* Prop) {
  ReadValue();
  Int64 bits = 0;
  String bad;
  for (;;) {
    String item = ReadStr();
    if (item.empty()) break;
    int v = Prop->Enum->ValueOf(item);
    if (v < 0 || v >= 64) {
      if (bad.empty()) bad = item;
    } else {
      bits |= Int64(1) << v;
    }
  }
  if (!bad.empty()) {
    PropertyError("Invalid set element " + bad, true);
    return;
  }
  Prop->Access->SetOrd(Instance, bits);
}

void TReader::ReadReference(TPersistent* Instance, const TPropInfo* Prop) {
  TValueType t = NextValue();
  if (t == vaNil) {
    ReadValue();
    Prop->Access->SetObj(Instance, nullptr);
    return;
  }
  if (t != vaIdent) {
    PropertyError(String("Invalid property value: ") + KindText(t) + " where a component name is expected", false);
    return;
  }
  String name = ReadIdent();
  if (OnReferenceName) OnReferenceName(this, name);
  if (name.empty()) {
    Prop->Access->SetObj(Instance, nullptr);
    return;
  }
  String ctx = PathText();
  ctx += (ctx.empty() ? "" : ".") + FPropName;
  FFixups.push_back({Instance, Prop, name, FCurrent, ctx, FContextPos});
}

void TReader::ReadMethod(TPersistent* Instance, const TPropInfo* Prop) {
  TValueType t = NextValue();
  if (t == vaNil) {
    ReadValue();
    Prop->Access->SetMethod(Instance, TMethod());
    return;
  }
  if (t != vaIdent) {
    PropertyError(String("Invalid property value: ") + KindText(t) + " where a handler name is expected", false);
    return;
  }
  String name = ReadIdent();
  TComponent* root = FLookupRoot ? FLookupRoot : FRoot;
  TMethod m = MethodAddress(root, name);
  bool error = !m.Assigned();
  if (OnFindMethod) OnFindMethod(this, name, m, error);
  if (error) {
    PropertyError("Handler " + name + " not found in " + (root ? root->ClassName() : String("(no root)")), true);
    return;
  }
  Prop->Access->SetMethod(Instance, m);
}

void TReader::ReadCollection(TCollection* Collection) {
  CheckValue(vaCollection);
  TRestore prefix(FPropPrefix);
  TRestore name(FPropName);
  const String& savedPrefix = prefix.Saved();
  const String& savedName = name.Saved();
  WithinUpdate(*Collection, [&] {
    Collection->Clear();
    for (int i = 0; !EndOfList(); ++i) {
      if (IsIntType(NextValue())) ReadInteger();  // the item's order: items come in order anyway
      ReadListBegin();
      TCollectionItem* item;
      try {
        item = Collection->Add();
      } catch (const TFilerMark&) {
        throw;
      } catch (const Exception& e) {
        Raise(e.Message());
      }
      FPropPrefix = savedName + "[" + std::to_string(i) + "].";
      while (!EndOfList()) ReadProperty(item);
      ReadListEnd();
      FPropPrefix = savedPrefix;
      FPropName = savedName;
    }
    ReadListEnd();
  });
}

// ---------------------------------------------------------------- components

TClass TReader::FindComponentClass(const String& ClassName) {
  TClass cls = GetClass(ClassName);
  if (OnFindComponentClass) OnFindComponentClass(this, ClassName, cls);
  return cls;
}

void TReader::DiscardComponent(TComponent* Component) {
  if (TComponent* owner = Component->Owner())
    if (const TFieldInfo* f = owner->ClassType()->FindField(Component->Name())) f->Assign(owner, nullptr);
  FCreated.erase(std::remove(FCreated.begin(), FCreated.end(), Component), FCreated.end());
  FLoaded.erase(std::remove(FLoaded.begin(), FLoaded.end(), Component), FLoaded.end());
  FFixups.erase(std::remove_if(FFixups.begin(), FFixups.end(), [&](const TFixup& f) { return f.Holder == Component; }),
                FFixups.end());
  delete Component;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  TNestingGuard guard(FNesting);
  if (FNesting > kMaxNesting) Raise("Components nested too deeply");
  FContextPos = Position();
  FPropName.clear();
  TFilerFlags flags;
  int childPos;
  ReadPrefix(flags, childPos);
  String className = ReadStr();
  String name = ReadStr();
  FPath.push_back(name.empty() ? "(" + className + ")" : name);
  struct PopPath {
    std::vector<String>& P;
    ~PopPath() { P.pop_back(); }
  } pop{FPath};
  String savedPrefix = std::exchange(FPropPrefix, String());

  TComponent* result = Component;
  if (!result && flags.Contains(ffInherited) && FOwner) result = FOwner->FindComponent(name);
  if (!result) {
    // Errors before the component has any state of its own can skip the whole record.
    auto componentError = [&](const String& reason, bool classMissing, TComponent* made) {
      String msg = Describe(reason);
      if (made) DiscardComponent(made);
      if (!Recover(msg)) {
        if (classMissing) throw EClassNotFoundAt(msg);
        throw EReadErrorAt(msg);
      }
      SkipComponentBody();
    };
    TClass cls = FindComponentClass(className);
    if (!cls) {
      componentError("Class " + className + " not found", true, nullptr);
      FPropPrefix = savedPrefix;
      return nullptr;
    }
    if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract()) {
      componentError("Class " + className + " cannot be created as a component", false, nullptr);
      FPropPrefix = savedPrefix;
      return nullptr;
    }
    try {
      result = static_cast<TComponent*>(cls->Create(FOwner));
    } catch (const Exception& e) {
      componentError(e.Message(), false, nullptr);
      FPropPrefix = savedPrefix;
      return nullptr;
    }
    FCreated.push_back(result);
    result->SetLoading(true);
    try {
      String n = name;
      if (OnSetName) OnSetName(this, result, n);
      result->SetName(n);
      if (FOwner)
        if (const TFieldInfo* f = FOwner->ClassType()->FindField(n); f && !f->Assign(FOwner, result))
          throw EReadError("Field " + n + " of " + FOwner->ClassName() + " does not hold a " + className);
      if (FParent) result->SetParentComponent(FParent);
    } catch (const Exception& e) {
      componentError(e.Message(), false, result);
      FPropPrefix = savedPrefix;
      return nullptr;
    }
  } else {
    result->SetLoading(true);
    if (!Component && FOwner)
      if (const TFieldInfo* f = FOwner->ClassType()->FindField(result->Name())) f->Assign(FOwner, result);
  }
  if (std::find(FLoaded.begin(), FLoaded.end(), result) == FLoaded.end()) FLoaded.push_back(result);
  result->ReadState(this);
  ReadData(result);
  if (flags.Contains(ffChildPos) && FParent) FParent->SetChildOrder(result, childPos);
  FPropPrefix = savedPrefix;
  return result;
}

void TReader::ReadData(TComponent* Instance) {
  TRestore current(FCurrent, Instance);
  TRestore owner(FOwner);
  TRestore parent(FParent);
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  FPropName.clear();
  FParent = Instance->GetChildParent();
  TComponent* childOwner = Instance->GetChildOwner();
  FOwner = childOwner ? childOwner : (FRoot ? FRoot : Instance);
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups = std::move(FFixups);
  FFixups.clear();
  TComponent* root = FLookupRoot ? FLookupRoot : FRoot;
  for (const TFixup& f : fixups) {
    TComponent* target = FindNestedComponent(root, f.Name);
    if (!target) {
      std::size_t dot = f.Name.find('.');
      String first = f.Name.substr(0, dot);
      bool knownFirst = (root && (root->FindComponent(first) || SameText(first, "Owner") || SameText(first, root->Name()))) ||
                        FindGlobalRoot(first);
      if (dot != String::npos && !knownFirst) {
        // Another root that does not exist yet: set when it registers and reads its layout.
        AddPendingReference(f.Instance, f.Prop, first, f.Name.substr(dot + 1), f.Holder);
        continue;
      }
      String msg = Describe("Component " + f.Name + " not found", f.Context, f.Offset);
      if (!Recover(msg)) throw EReadErrorAt(msg);
      continue;
    }
    try {
      f.Prop->Access->SetObj(f.Instance, target);
    } catch (const Exception& e) {
      String msg = Describe(e.Message(), f.Context, f.Offset);
      if (!Recover(msg)) throw EReadErrorAt(msg);
    }
  }
}

void TReader::CallLoaded() {
  std::vector<TComponent*> loaded = std::move(FLoaded);
  FLoaded.clear();
  // Reading is over for all of them before any Loaded runs; only csLoading remains.
  for (TComponent* c : loaded) c->SetReading(false);
  for (TComponent* c : loaded) {
    c->Loaded();
    c->SetLoading(false);  // also when an override forgot to call the inherited Loaded
  }
}

void TReader::Cleanup(TComponent* CreatedRoot) {
  FFixups.clear();
  // Last made first: a component made by this read owns only components made after it.
  while (!FCreated.empty()) DiscardComponent(FCreated.back());
  if (CreatedRoot) {
    delete CreatedRoot;
  } else {
    for (TComponent* c : FLoaded) c->SetLoading(false);
  }
  FLoaded.clear();
  FPath.clear();
  FPropName.clear();
  FPropPrefix.clear();
}

namespace {
// A second instance of a form gets Name_1, Name_2, ... so roots stay distinguishable.
String UniqueRootName(const String& name, TComponent* root) {
  TComponent* other = FindGlobalRoot(name);
  if (!other || other == root) return name;
  for (int i = 1;; ++i) {
    String n = name + "_" + std::to_string(i);
    TComponent* o = FindGlobalRoot(n);
    if (!o || o == root) return n;
  }
}
}  // namespace

void TReader::RunRead(TComponent* const& CreatedRoot, const std::function<void()>& Body) {
  FCreated.clear();
  FLoaded.clear();
  FFixups.clear();
  FPath.clear();
  FPropPrefix.clear();
  FPropName.clear();
  try {
    Body();
    FixupReferences();
    CallLoaded();
  } catch (...) {
    Cleanup(CreatedRoot);
    throw;
  }
  FCreated.clear();
  ResolvePendingReferences();
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  TComponent* createdRoot = nullptr;
  RunRead(createdRoot, [&] {
    ReadSignature();
    FContextPos = Position();
    TFilerFlags flags;
    int childPos;
    ReadPrefix(flags, childPos);
    String className = ReadStr();
    String name = ReadStr();
    FPath.push_back(name.empty() ? "(" + className + ")" : name);
    if (!Root) {
      TClass cls = FindComponentClass(className);
      if (!cls) RaiseClassNotFound("Class " + className + " not found");
      if (!cls->InheritsFrom(TComponent::StaticClass()) || cls->IsAbstract())
        Raise("Class " + className + " cannot be created as a component");
      createdRoot = static_cast<TComponent*>(cls->Create(nullptr));
      Root = createdRoot;
    }
    FRoot = FLookupRoot = Root;
    FOwner = Root;
    FParent = nullptr;
    Root->SetLoading(true);
    FLoaded.push_back(Root);
    if (!name.empty()) {
      String n = UniqueRootName(name, Root);
      if (OnSetName) OnSetName(this, Root, n);
      try {
        Root->SetName(n);
      } catch (const Exception& e) {
        Raise(e.Message());
      }
    }
    Root->ReadState(this);
    ReadData(Root);
    FPath.clear();
    FPropName.clear();
  });
  return Root;
}

void TReader::ReadComponents(TComponent* AOwner, TComponent* AParent,
                             const std::function<void(TComponent*)>& Proc) {
  std::vector<TComponent*> top;
  RunRead(nullptr, [&] {
    FRoot = FLookupRoot = AOwner;
    FOwner = AOwner;
    FParent = AParent;
    while (!EndOfList()) {
      ReadSignature();
      if (TComponent* c = ReadComponent(nullptr)) top.push_back(c);
    }
    ReadListEnd();
  });
  if (Proc)
    for (TComponent* c : top) Proc(c);
}
