// The classes module's registration: constants, enumerations, then each class with its members.
#include "script/fs_iclassesrtti.h"

#include "script/fs_ibinding_p.h"
#include "script/fs_iclassvariable.h"
#include "script/fs_iownership.h"
#include "script/fs_xml.h"
#include "core/Collection.h"
#include "core/Lists.h"
#include "core/ObjectHandles.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/TypInfo.h"

#include <algorithm>

namespace fs_iclassesrtti {

namespace {

using namespace fs_ibinding;

// ---- arguments and results
Int64 Int64Arg(TCall C, int i) { return C->ParamValue(i).AsInt64(); }
TObject* Obj(TCall C, int i) { return ObjectOf(C->ParamValue(i).AsInteger()); }
template <class T> T* ObjArg(TCall C, int i) { return dynamic_cast<T*>(Obj(C, i)); }
Variant Ref(const TObject* O) { return Variant(HandleOf(O)); }
Variant Int64Result(Int64 v) { return Variant(static_cast<long long>(v)); }

// An index property: reads arrive as "NAME.GET", writes as "NAME.SET" with the value after the
// indexes.
template <class T, class G, class S> TfsCallMethod Indexed(G Get, S Set) {
  return [Get, Set](TObject* Instance, TClass, const String& Name, TfsMethodHelper* Caller) -> Variant {
    T* self = Self<T>(Instance);
    if (Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".SET") == 0) {
      if constexpr (!std::is_same_v<S, std::nullptr_t>) Set(self, Caller);
      return Variant(0);
    }
    return Get(self, Caller);
  };
}
template <class T, class G> TfsCallMethod Indexed(G Get) { return Indexed<T>(Get, nullptr); }

// Makes the class the script named, or refuses an abstract one.
Variant CreateNamed(TClass ClassType, TObject* Owner) {
  if (ClassType == TObject::StaticClass()) return AdoptScriptObject(new TObject());
  if (!ClassType || ClassType->IsAbstract())
    throw EInvalidOperation("Cannot create an instance of the abstract class " +
                            (ClassType ? ClassType->Name() : String("(unknown)")));
  return AdoptScriptObject(ClassType->Create(Owner));
}

struct TConstant {
  const char* Name;
  int Value;
};

constexpr TConstant kConstants[] = {
    {"fmCreate", 65535},        {"fmOpenRead", 0},       {"fmOpenWrite", 1},       {"fmOpenReadWrite", 2},
    {"fmShareExclusive", 16},   {"fmShareDenyWrite", 32}, {"fmShareDenyNone", 64}, {"soFromBeginning", 0},
    {"soFromCurrent", 1},       {"soFromEnd", 2},
};

void RegisterObjects(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TObject::StaticClass(), "");
  c->RegisterConstructor("constructor Create", [](TObject*, TClass ClassType, const String&, TfsMethodHelper*) {
    return CreateNamed(ClassType, nullptr);
  });
  c->RegisterMethod("procedure Free", [](TObject* Instance, TClass, const String&, TfsMethodHelper*) {
    delete Instance;
    return Variant(0);
  });
  c->RegisterMethod("function ClassName: String",
                    Method<TObject>([](TObject* O, TCall) { return Variant(O->ClassName()); }));

  c = S->RegisterScriptClass(TPersistent::StaticClass(), "TObject");
  c->RegisterMethod("procedure Assign(Source: TPersistent)",
                    Method<TPersistent>([](TPersistent* O, TCall C) { O->Assign(ObjArg<TPersistent>(C, 0)); }));

  S->RegisterScriptClass(TCollectionItem::StaticClass(), "TPersistent");
  c = S->RegisterScriptClass(TCollection::StaticClass(), "TPersistent");
  c->RegisterMethod("procedure Clear", Method<TCollection>([](TCollection* O, TCall) { O->Clear(); }));
  c->RegisterProperty("Count", "Integer", Getter<TCollection>([](TCollection* O) { return Variant(O->Count()); }));
  c->RegisterDefaultProperty("Items", "Integer", "TCollectionItem",
                             Indexed<TCollection>([](TCollection* O, TCall C) { return Ref(O->Items(Int(C, 0))); }),
                             true);
}

void RegisterList(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TList::StaticClass(), "TObject");
  c->RegisterMethod("function Add(Item: TObject): Integer",
                    Method<TList>([](TList* O, TCall C) { return Variant(O->Add(Obj(C, 0))); }));
  c->RegisterMethod("procedure Clear", Method<TList>([](TList* O, TCall) { O->Clear(); }));
  c->RegisterMethod("procedure Delete(Index: Integer)", Method<TList>([](TList* O, TCall C) { O->Delete(Int(C, 0)); }));
  c->RegisterMethod("function IndexOf(Item: TObject): Integer",
                    Method<TList>([](TList* O, TCall C) { return Variant(O->IndexOf(Obj(C, 0))); }));
  c->RegisterMethod("procedure Insert(Index: Integer; Item: TObject)",
                    Method<TList>([](TList* O, TCall C) { O->Insert(Int(C, 0), Obj(C, 1)); }));
  c->RegisterMethod("function Remove(Item: TObject): Integer",
                    Method<TList>([](TList* O, TCall C) { return Variant(O->Remove(Obj(C, 0))); }));
  c->RegisterProperty("Count", "Integer", Getter<TList>([](TList* O) { return Variant(O->Count()); }));
  c->RegisterDefaultProperty(
      "Items", "Integer", "TObject",
      Indexed<TList>([](TList* O, TCall C) { return Ref(static_cast<TObject*>(O->Items(Int(C, 0)))); },
                     [](TList* O, TCall C) { O->SetItems(Int(C, 0), Obj(C, 1)); }));
}

void RegisterStrings(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TStrings::StaticClass(), "TPersistent");
  // A control's Items or Lines belong to the control.
  c->RegisterMethod("procedure Free", FreeScriptObject);
  c->RegisterMethod("function Add(const S: string): Integer",
                    Method<TStrings>([](TStrings* O, TCall C) { return Variant(O->Add(Str(C, 0))); }));
  c->RegisterMethod("function AddObject(const S: string; AObject: TObject): Integer",
                    Method<TStrings>([](TStrings* O, TCall C) { return Variant(O->AddObject(Str(C, 0), Obj(C, 1))); }));
  c->RegisterMethod("procedure Clear", Method<TStrings>([](TStrings* O, TCall) { O->Clear(); }));
  c->RegisterMethod("procedure Delete(Index: Integer)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->Delete(Int(C, 0)); }));
  c->RegisterMethod("function IndexOf(const S: string): Integer",
                    Method<TStrings>([](TStrings* O, TCall C) { return Variant(O->IndexOf(Str(C, 0))); }));
  c->RegisterMethod("function IndexOfName(const Name: string): Integer",
                    Method<TStrings>([](TStrings* O, TCall C) { return Variant(O->IndexOfName(Str(C, 0))); }));
  c->RegisterMethod("function IndexOfObject(AObject: TObject): Integer",
                    Method<TStrings>([](TStrings* O, TCall C) { return Variant(O->IndexOfObject(Obj(C, 0))); }));
  c->RegisterMethod("procedure Insert(Index: Integer; const S: string)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->Insert(Int(C, 0), Str(C, 1)); }));
  c->RegisterMethod("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->InsertObject(Int(C, 0), Str(C, 1), Obj(C, 2)); }));
  c->RegisterMethod("procedure LoadFromFile(const FileName: string)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->LoadFromFile(Str(C, 0)); }));
  c->RegisterMethod("procedure LoadFromStream(Stream: TStream)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->LoadFromStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterMethod("procedure SaveToFile(const FileName: string)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->SaveToFile(Str(C, 0)); }));
  c->RegisterMethod("procedure Move(CurIndex, NewIndex: Integer)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->Move(Int(C, 0), Int(C, 1)); }));
  c->RegisterMethod("procedure SaveToStream(Stream: TStream)",
                    Method<TStrings>([](TStrings* O, TCall C) { O->SaveToStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterProperty("CommaText", "string", Getter<TStrings>([](TStrings* O) { return Variant(O->CommaText()); }),
                      Setter<TStrings>([](TStrings* O, const Variant& V) { O->SetCommaText(VarToStr(V)); }));
  c->RegisterProperty("Count", "Integer", Getter<TStrings>([](TStrings* O) { return Variant(O->Count()); }));
  c->RegisterIndexProperty("Names", "Integer", "string",
                           Indexed<TStrings>([](TStrings* O, TCall C) { return Variant(O->Names(Int(C, 0))); }), true);
  c->RegisterIndexProperty("Objects", "Integer", "TObject",
                           Indexed<TStrings>([](TStrings* O, TCall C) { return Ref(O->Objects(Int(C, 0))); },
                                             [](TStrings* O, TCall C) { O->SetObjects(Int(C, 0), Obj(C, 1)); }));
  c->RegisterIndexProperty("Values", "String", "string",
                           Indexed<TStrings>([](TStrings* O, TCall C) { return Variant(O->Values(Str(C, 0))); },
                                             [](TStrings* O, TCall C) { O->SetValues(Str(C, 0), Str(C, 1)); }));
  c->RegisterDefaultProperty("Strings", "Integer", "string",
                             Indexed<TStrings>([](TStrings* O, TCall C) { return Variant(O->Strings(Int(C, 0))); },
                                               [](TStrings* O, TCall C) { O->SetStrings(Int(C, 0), Str(C, 1)); }));
  c->RegisterProperty("Text", "string", Getter<TStrings>([](TStrings* O) { return Variant(O->Text()); }),
                      Setter<TStrings>([](TStrings* O, const Variant& V) { O->SetText(VarToStr(V)); }));

  c = S->RegisterScriptClass(TStringList::StaticClass(), "TStrings");
  c->RegisterMethod("function Find(s: String; var Index: Integer): Boolean",
                    Method<TStringList>([](TStringList* O, TCall C) {
                      int index = 0;
                      bool found = O->Find(Str(C, 0), index);
                      C->SetParamValue(1, Variant(index));
                      return Variant(found);
                    }));
  c->RegisterMethod("procedure Sort", Method<TStringList>([](TStringList* O, TCall) { O->Sort(); }));
  c->RegisterProperty(
      "Duplicates", "TDuplicates", Getter<TStringList>([](TStringList* O) { return Variant(int(O->Duplicates())); }),
      Setter<TStringList>([](TStringList* O, const Variant& V) { O->SetDuplicates(TDuplicates(V.AsInteger())); }));
  c->RegisterProperty("Sorted", "Boolean", Getter<TStringList>([](TStringList* O) { return Variant(O->Sorted()); }),
                      Setter<TStringList>([](TStringList* O, const Variant& V) { O->SetSorted(V.AsBoolean()); }));
}

void RegisterStreams(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TStream::StaticClass(), "TObject");
  c->RegisterMethod("function Read(var Buffer: string; Count: Longint): Longint",
                    Method<TStream>([](TStream* O, TCall C) {
                      String buffer(static_cast<std::size_t>(std::max(0, Int(C, 1))), '\0');
                      Int64 n = O->Read(buffer.data(), static_cast<Int64>(buffer.size()));
                      buffer.resize(static_cast<std::size_t>(n));
                      C->SetParamValue(0, Variant(std::move(buffer)));
                      return Variant(static_cast<int>(n));
                    }));
  // Bytes beyond the text do not exist: a Count past its end writes the text.
  c->RegisterMethod("function Write(Buffer: string; Count: Longint): Longint",
                    Method<TStream>([](TStream* O, TCall C) {
                      String buffer = Str(C, 0);
                      Int64 count = std::clamp<Int64>(Int(C, 1), 0, static_cast<Int64>(buffer.size()));
                      return Variant(static_cast<int>(O->Write(buffer.data(), count)));
                    }));
  c->RegisterMethod("function Seek(Offset: Longint; Origin: Word): Longint",
                    Method<TStream>([](TStream* O, TCall C) {
                      return Int64Result(O->Seek(Int64Arg(C, 0), static_cast<Word>(Int(C, 1))));
                    }));
  c->RegisterMethod("function CopyFrom(Source: TStream; Count: Longint): Longint",
                    Method<TStream>([](TStream* O, TCall C) {
                      return Int64Result(O->CopyFrom(ObjArg<TStream>(C, 0), Int64Arg(C, 1)));
                    }));
  c->RegisterProperty("Position", "Longint", Getter<TStream>([](TStream* O) { return Int64Result(O->Position()); }),
                      Setter<TStream>([](TStream* O, const Variant& V) { O->SetPosition(V.AsInt64()); }));
  c->RegisterProperty("Size", "Longint", Getter<TStream>([](TStream* O) { return Int64Result(O->Size()); }));

  c = S->RegisterScriptClass(TFileStream::StaticClass(), "TStream");
  c->RegisterConstructor("constructor Create(Filename: String; Mode: Word)",
                         [](TObject*, TClass, const String&, TfsMethodHelper* C) {
                           return AdoptScriptObject(new TFileStream(Str(C, 0), static_cast<Word>(Int(C, 1))));
                         });

  c = S->RegisterScriptClass(TMemoryStream::StaticClass(), "TStream");
  c->RegisterMethod("procedure Clear", Method<TMemoryStream>([](TMemoryStream* O, TCall) { O->Clear(); }));
  c->RegisterMethod("procedure LoadFromStream(Stream: TStream)",
                    Method<TMemoryStream>([](TMemoryStream* O, TCall C) { O->LoadFromStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterMethod("procedure LoadFromFile(Filename: String)",
                    Method<TMemoryStream>([](TMemoryStream* O, TCall C) { O->LoadFromFile(Str(C, 0)); }));
  c->RegisterMethod("procedure SaveToStream(Stream: TStream)",
                    Method<TMemoryStream>([](TMemoryStream* O, TCall C) { O->SaveToStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterMethod("procedure SaveToFile(Filename: String)",
                    Method<TMemoryStream>([](TMemoryStream* O, TCall C) { O->SaveToFile(Str(C, 0)); }));
}

void RegisterComponent(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TComponent::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create(AOwner: TComponent)",
                         [](TObject*, TClass ClassType, const String&, TfsMethodHelper* C) {
                           return CreateNamed(ClassType, ObjArg<TComponent>(C, 0));
                         });
  c->RegisterProperty("Owner", "TComponent", Getter<TComponent>([](TComponent* O) { return Ref(O->Owner()); }));
}

void RegisterXML(TfsScript* S) {
  using X = TfsXMLItem;
  TfsClassVariable* c = S->RegisterScriptClass(X::StaticClass(), "TObject");
  c->RegisterConstructor("constructor Create", [](TObject*, TClass ClassType, const String&, TfsMethodHelper*) {
    return CreateNamed(ClassType, nullptr);
  });
  c->RegisterMethod("procedure AddItem(Item: TfsXMLItem)", Method<X>([](X* O, TCall C) { O->AddItem(ObjArg<X>(C, 0)); }));
  c->RegisterMethod("procedure Clear", Method<X>([](X* O, TCall) { O->Clear(); }));
  c->RegisterMethod("procedure InsertItem(Index: Integer; Item: TfsXMLItem)",
                    Method<X>([](X* O, TCall C) { O->InsertItem(Int(C, 0), ObjArg<X>(C, 1)); }));
  c->RegisterMethod("function Add: TfsXMLItem", Method<X>([](X* O, TCall) { return Ref(O->Add()); }));
  c->RegisterMethod("function Find(const Name: String): Integer",
                    Method<X>([](X* O, TCall C) { return Variant(O->Find(Str(C, 0))); }));
  c->RegisterMethod("function FindItem(const Name: String): TfsXMLItem",
                    Method<X>([](X* O, TCall C) { return Ref(O->FindItem(Str(C, 0))); }));
  c->RegisterMethod("function Prop(const Name: String): String",
                    Method<X>([](X* O, TCall C) { return Variant(O->Prop(Str(C, 0))); }));
  c->RegisterMethod("function Root: TfsXMLItem", Method<X>([](X* O, TCall) { return Ref(O->Root()); }));
  c->RegisterProperty("Data", "Integer", Getter<X>([](X* O) { return Variant(O->Data()); }),
                      Setter<X>([](X* O, const Variant& V) { O->SetData(V.AsInteger()); }));
  c->RegisterProperty("Count", "Integer", Getter<X>([](X* O) { return Variant(O->Count()); }));
  c->RegisterDefaultProperty("Items", "Integer", "TfsXMLItem",
                             Indexed<X>([](X* O, TCall C) { return Ref(O->Items(Int(C, 0))); }), true);
  c->RegisterProperty("Name", "String", Getter<X>([](X* O) { return Variant(O->Name()); }),
                      Setter<X>([](X* O, const Variant& V) { O->SetName(VarToStr(V)); }));
  c->RegisterProperty("Parent", "TfsXMLItem", Getter<X>([](X* O) { return Ref(O->Parent()); }));
  c->RegisterProperty("Text", "String", Getter<X>([](X* O) { return Variant(O->Text()); }),
                      Setter<X>([](X* O, const Variant& V) { O->SetText(VarToStr(V)); }));

  using D = TfsXMLDocument;
  c = S->RegisterScriptClass(D::StaticClass(), "TObject");
  c->RegisterConstructor("constructor Create", [](TObject*, TClass ClassType, const String&, TfsMethodHelper*) {
    return CreateNamed(ClassType, nullptr);
  });
  c->RegisterMethod("procedure SaveToStream(Stream: TStream)",
                    Method<D>([](D* O, TCall C) { O->SaveToStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterMethod("procedure LoadFromStream(Stream: TStream)",
                    Method<D>([](D* O, TCall C) { O->LoadFromStream(ObjArg<TStream>(C, 0)); }));
  c->RegisterMethod("procedure SaveToFile(const FileName: String)",
                    Method<D>([](D* O, TCall C) { O->SaveToFile(Str(C, 0)); }));
  c->RegisterMethod("procedure LoadFromFile(const FileName: String)",
                    Method<D>([](D* O, TCall C) { O->LoadFromFile(Str(C, 0)); }));
  c->RegisterProperty("Root", "TfsXMLItem", Getter<D>([](D* O) { return Ref(O->Root()); }));
}

}  // namespace

TFunctions::TFunctions(TfsScript* AScript) : TfsRTTIModule(AScript) {
  TfsScript* s = AScript;
  for (const TConstant& c : kConstants) s->RegisterConst(c.Name, "Integer", Variant(c.Value));
  s->RegisterEnum("TDuplicates", "dupIgnore, dupAccept, dupError");
  s->RegisterEnum("TPrinterOrientation", "poPortrait, poLandscape");
  RegisterObjects(s);
  RegisterList(s);
  RegisterStrings(s);
  RegisterStreams(s);
  RegisterComponent(s);
  RegisterXML(s);
}

namespace {

const bool kRegistered = [] {
  RegisterScriptModule("fs_iclassesrtti", fmrClasses, [](TfsScript* s) { return new TFunctions(s); });
  return true;
}();

}  // namespace

}  // namespace fs_iclassesrtti
