#pragma once
// TReader: reads the binary component stream into components, resolving references and
// calling Loaded when the read completes; errors name the component path and stream offset.
// Declares TTextSourceMap and TReader.
#include "core/FilerBase.h"

#include <memory>
#include <utility>
#include <vector>

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
