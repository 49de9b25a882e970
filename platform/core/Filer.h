#pragma once
// Component streaming: the binary property stream (TWriter, TReader), the text layouts that
// describe windows, and the list of roots that cross-window references are resolved against.
//
// A component record in the binary stream:
//   ['TPF0']  [0xF0|flags [position]]  class name  component name  {property}  0  {child}  0
// where names are a length byte and the bytes, and each property is its (dotted) name followed
// by a value: a type byte (TValueType) and the little-endian payload.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Currency.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Raised for malformed layout text; the message names the source and the line.
KELM_EXCEPTION(EParserError, EReadError);

KELM_ENUM(TValueType, vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse,
          vaTrue, vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
          vaInt64, vaUTF8String)

// Flags of the record prefix byte 0xF0 | flags: ffInherited = 1, ffChildPos = 2, ffInline = 4.
KELM_ENUM(TFilerFlag, ffInherited, ffChildPos, ffInline)
using TFilerFlags = TSet<TFilerFlag>;

class TReader;
class TWriter;

// ---------------------------------------------------------------- 80-bit floats

// The 10-byte little-endian extended format of the stream (64-bit mantissa with explicit
// integer bit, 15-bit exponent, sign). Every double converts both ways without loss.
void ExtendedToBytes(Extended value, Byte out[10]);
Extended BytesToExtended(const Byte in[10]);

// ---------------------------------------------------------------- integer identifiers

// Integer properties whose values have names (colours, cursors): layouts write the name when
// there is one and accept either form. Keyed by the property's type name.
using TIdentToInt = std::function<bool(const String& Ident, Int64& Value)>;
using TIntToIdent = std::function<bool(Int64 Value, String& Ident)>;
void RegisterIntegerConsts(const String& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
void UnregisterIntegerConsts(const String& TypeName);
bool IdentToIntOfType(const String& TypeName, const String& Ident, Int64& Value);
bool IntToIdentOfType(const String& TypeName, Int64 Value, String& Ident);

// ---------------------------------------------------------------- TFiler

class TFiler : public TObject {
public:
  explicit TFiler(TStream* Stream) : FStream(Stream) {}

  // A value a class streams besides its published properties, read and written by callbacks.
  virtual void DefineProperty(const String& Name, const std::function<void(TReader*)>& ReadData,
                              const std::function<void(TWriter*)>& WriteData, bool HasData) = 0;
  // Raw bytes: the callbacks see a stream holding exactly the property's data.
  virtual void DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>& ReadData,
                                    const std::function<void(TStream*)>& WriteData, bool HasData) = 0;

  TStream* Stream() const { return FStream; }
  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  // The component that names are relative to: references and handlers belong to it.
  TComponent* LookupRoot() const { return FLookupRoot; }
  void SetLookupRoot(TComponent* Value) { FLookupRoot = Value; }
  // Layouts have no inheritance, so there is never an ancestor to compare against.
  TPersistent* Ancestor() const { return nullptr; }

protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
};

// ---------------------------------------------------------------- TWriter

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
  String ReferenceName(TComponent* Target) const;
  void WriteAnsiBytes(const String& Bytes);
  // A value-type byte and Size bytes of Bits, little-endian: fixed-size values and the
  // length heads of long ones.
  void WriteTagged(TValueType Tag, std::uint64_t Bits, int Size);

  String FPropPath;
  int FDepth = 0;
  bool FGbkStrings = false;
};

// ---------------------------------------------------------------- TReader

// Maps offsets of a binary stream made from text back to lines of that text.
struct TTextSourceMap {
  String SourceName;
  std::vector<std::pair<Int64, int>> Lines;  // (binary offset, text line), by offset
  void Add(Int64 Offset, int Line) { Lines.emplace_back(Offset, Line); }
  int LineAt(Int64 Offset) const;  // 0 when unknown
};

class TReader : public TFiler {
public:
  explicit TReader(TStream* Stream) : TFiler(Stream) {}
  ~TReader() override;

  void DefineProperty(const String& Name, const std::function<void(TReader*)>& ReadData,
                      const std::function<void(TWriter*)>& WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, const std::function<void(TStream*)>& ReadData,
                            const std::function<void(TStream*)>& WriteData, bool HasData) override;

  // vaString and vaLString payloads are GBK bytes (converted to UTF-8 on reading).
  bool GbkStrings() const { return FGbkStrings; }
  void SetGbkStrings(bool Value) { FGbkStrings = Value; }
  // Where the data came from, so errors can name the file and line.
  void SetSourceName(const String& Name) { FSourceName = Name; }
  void SetSourceMap(const TTextSourceMap* Map) { FSourceMap = Map; }

  // The owner and parent that components read next are created with.
  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }

  void Read(void* Buffer, Int64 Count);  // EReadError on a short read
  TValueType NextValue();                // peeks
  TValueType ReadValue();
  void CheckValue(TValueType Value);
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  String ReadStr();  // length byte + bytes
  int ReadInteger();
  Int64 ReadInt64();
  Extended ReadFloat();  // any numeric value
  float ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  String ReadString();  // any string value, as UTF-8
  WideString ReadWideString();
  String ReadIdent();  // also False, True, nil, Null
  bool ReadBoolean();
  char ReadChar();
  WideChar ReadWideChar();
  Variant ReadVariant();
  TBytes ReadBinary();  // a vaBinary value
  void SkipValue();
  void ReadCollection(TCollection* Collection);  // reads the vaCollection value whole
  void ReadSignature();                           // EReadError "Invalid stream format"
  void ReadPrefix(TFilerFlags& Flags, int& ChildPos);
  // One property record into the instance: published, dotted or defined.
  void ReadProperty(TPersistent* Instance);
  // A component record; with nullptr the component is created from its class name.
  TComponent* ReadComponent(TComponent* Component);
  // Properties and children of a component, up to and including both end markers.
  void ReadData(TComponent* Instance);
  // The signature and the root's record, then references and Loaded. With nullptr the root is
  // created from the class name (and freed again when the read fails).
  TComponent* ReadRootComponent(TComponent* Root);
  // Records written one after another (each with its signature) until an end marker, owned by
  // AOwner and put under AParent; Proc sees each top-level component.
  void ReadComponents(TComponent* AOwner, TComponent* AParent, const std::function<void(TComponent*)>& Proc);
  Int64 Position() const { return FStream->Position(); }

  // Called with the full message of a recoverable error (an unknown property, a bad value, a
  // missing component or handler); setting Handled skips the offending value and goes on.
  std::function<void(TReader* Reader, const String& Message, bool& Handled)> OnError;
  // May supply or replace the handler found by name; clearing Error accepts the result.
  std::function<void(TReader* Reader, const String& MethodName, TMethod& Method, bool& Error)> OnFindMethod;
  std::function<void(TReader* Reader, TComponent* Component, String& Name)> OnSetName;
  std::function<void(TReader* Reader, String& Name)> OnReferenceName;
  std::function<void(TReader* Reader, const String& ClassName, TClass& ComponentClass)> OnFindComponentClass;

private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    String Name;
    TComponent* Holder;  // the component read that the instance belongs to
    String Context;      // path shown in messages
    Int64 Offset;
  };
  [[noreturn]] void Raise(const String& Reason);
  [[noreturn]] void RaiseClassNotFound(const String& Reason);
  String Describe(const String& Reason) const;
  String Describe(const String& Reason, const String& Context, Int64 Offset) const;
  bool Recover(const String& Message);
  void PropertyError(const String& Reason, bool ValueConsumed);
  [[noreturn]] void WrongValue(const char* Expected, TValueType Found);
  TValueType CheckedType(Byte b);
  void SkipBytes(Int64 Count);
  std::uint64_t ReadLE(int Size);  // Size bytes, little-endian
  Int64 ReadUInt32Length();
  String ReadRaw(Int64 Count);
  String Decode8(const String& Bytes) const;
  void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
  void ReadSetValue(TPersistent* Instance, const TPropInfo* Prop);
  void ReadReference(TPersistent* Instance, const TPropInfo* Prop);
  void ReadMethod(TPersistent* Instance, const TPropInfo* Prop);
  void SkipComponentBody();
  void SkipProperties();
  TClass FindComponentClass(const String& ClassName);
  void DiscardComponent(TComponent* Component);
  void FixupReferences();
  void CallLoaded();
  void Cleanup(TComponent* CreatedRoot);
  // One whole read: starts from empty bookkeeping and, after Body, fixes up references and
  // calls Loaded. When anything fails it frees what the read made and passes the error on;
  // CreatedRoot is a root the read made itself, looked at only then, so Body may set it.
  void RunRead(TComponent* const& CreatedRoot, const std::function<void()>& Body);
  String PathText() const;

  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  bool FGbkStrings = false;
  String FSourceName;
  const TTextSourceMap* FSourceMap = nullptr;
  std::vector<String> FPath;       // names of the components being read, outermost first
  String FPropPrefix;              // dotted path of the property being read
  String FPropName;
  Int64 FContextPos = 0;           // where the current record began
  TComponent* FCurrent = nullptr;  // component whose record is being read
  String FDefinedName;             // defined property being looked for
  bool* FDefinedFound = nullptr;   // set when its definition has read it
  int FNesting = 0;
  std::vector<TFixup> FFixups;
  std::vector<TComponent*> FLoaded;   // read order: Loaded is called in it
  std::vector<TComponent*> FCreated;  // made by this read: freed when it fails
};

// ---------------------------------------------------------------- roots and references

// Forms, data modules and frames whose components other roots may name as Root.Component.
// A registered root leaves the list by itself when it is freed.
void RegisterRoot(TComponent* Root);
void UnregisterRoot(TComponent* Root);
TComponent* FindGlobalRoot(const String& Name);  // case-insensitive, nullptr when none
std::vector<TComponent*> GlobalRoots();
// Resolves references read before their root existed; done on RegisterRoot and after each read.
void ResolvePendingReferences();
int PendingReferenceCount();
// A component by a dotted path from a root: a component of the root, the root itself (by name
// or as "Owner"), or a registered root, then components owned by each in turn.
TComponent* FindNestedComponent(TComponent* Root, const String& Path);

// ---------------------------------------------------------------- layout text

// Converts between the binary stream and its text form (UTF-8). Errors in text name the
// source and the line; the map, when given, records which line each binary record came from.
void ObjectTextToBinary(TStream* Input, TStream* Output);
void ObjectTextToBinary(TStream* Input, TStream* Output, const String& SourceName, TTextSourceMap* Map);
void ObjectBinaryToText(TStream* Input, TStream* Output);

// Reads a component tree from layout text into Root (or a new root made from the text's
// class name when Root is nullptr) and returns the root.
TComponent* ReadComponentFromText(TComponent* Root, const String& Text, const String& SourceName = String());
TComponent* ReadComponentFromBinary(TComponent* Root, TStream* Stream, const String& SourceName = String());
String WriteComponentToText(TComponent* Root);
void WriteComponentToBinary(TComponent* Root, TStream* Stream);
// Reads the embedded layout of that name (text, or binary when it starts with the signature).
TComponent* LoadLayoutResource(TComponent* Root, const String& ResourceName);
