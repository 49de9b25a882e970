#include "report/frxXMLSerializer.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxClass.h"
#include "report/frxFormUtils.h"
#include "report/frxKind.h"
#include "report/frxRes.h"
#include "report/frxUnicodeUtils.h"
#include "report/frxUtils.h"
#include "report/frxXML.h"

#include <cmath>
#include <cstring>

namespace {

// Floats are written with "." whatever the locale, so a file reads the same everywhere.
const TFormatSettings& PointSettings() {
  static const TFormatSettings fs = [] {
    TFormatSettings f;
    f.DecimalSeparator = '.';
    return f;
  }();
  return fs;
}

// An attribute value as text: unescaped, UTF-8 when it is, else taken as GBK (older files).
String AttrText(const String& Value) {
  String u = XMLUnescapeText(Value);
  return IsValidUtf8(u) ? u : GbkToUtf8(u);
}

// The lines of a list with CR LF between them: the list's text without its last line end.
String JoinLines(TStrings* List) {
  String text;
  for (int i = 0; i < List->Count(); ++i) {
    if (i > 0) text += "\r\n";
    text += List->Strings(i);
  }
  return text;
}

String WithoutLastLineEnd(String Text) {
  if (EndsStr("\r\n", Text)) Text.resize(Text.size() - 2);
  else if (EndsStr("\n", Text)) Text.pop_back();
  return Text;
}

bool IsReportObjectClass(TClass Class) {
  return Class && !Class->IsAbstract() && Class->InheritsFrom(TfrxComponent::StaticClass()) &&
         !Class->InheritsFrom(TfrxReport::StaticClass());
}

void Attr(String& Out, const String& Prefix, const String& Name, const String& Value) {
  Out += ' ';
  Out += Prefix;
  Out += Name;
  Out += "=\"";
  Out += Value;
  Out += '"';
}

}  // namespace

TfrxXMLSerializer::TfrxXMLSerializer(TStream* Stream) : FErrors(std::make_unique<TStringList>()), FStream(Stream) {
  FErrors->SetSorted(true);
  FErrors->SetDuplicates(dupIgnore);
}

TfrxXMLSerializer::~TfrxXMLSerializer() = default;

TStrings* TfrxXMLSerializer::Errors() const { return FErrors.get(); }

TfrxReport* TfrxXMLSerializer::Report() const { return FOwner ? FOwner->FindParentReport() : nullptr; }

String TfrxXMLSerializer::ObjectLabel(TPersistent* Object) const {
  if (auto* c = dynamic_cast<TComponent*>(Object); c && !c->Name().empty()) return c->Name();
  return Object->ClassName();
}

void TfrxXMLSerializer::AddError(TPersistent* Object, const String& Attribute, const String& Message) {
  FErrors->Add(ObjectLabel(Object) + "." + Attribute + ": " + Message);
}

// ---------------------------------------------------------------- writing

String TfrxXMLSerializer::PropsToAttributes(TPersistent* Object, const String& Prefix) {
  auto* component = dynamic_cast<TfrxComponent*>(Object);
  bool wasWriting = component && component->IsWriting();
  if (component) component->SetIsWriting(true);
  TScopeExit clear([&] {
    if (component) component->SetIsWriting(wasWriting);
  });

  String out;
  for (const TPropInfo* p : Object->ClassType()->Properties()) {
    if (!p->IsStored(Object)) continue;
    const TPropAccessor& a = *p->Access;
    switch (p->Kind) {
      case tkInteger: case tkChar: case tkWChar: case tkSet: case tkInt64: {
        Int64 v = a.GetOrd(Object);
        if (FSaveDefaultValues || !p->HasDefault || v != p->OrdDefault) Attr(out, Prefix, p->Name, IntToStr(v));
        break;
      }
      case tkEnumeration: {
        Int64 v = a.GetOrd(Object);
        if (FSaveDefaultValues || !p->HasDefault || v != p->OrdDefault)
          Attr(out, Prefix, p->Name, p->Enum->NameOf(static_cast<int>(v)));
        break;
      }
      case tkFloat: {
        Extended v = a.GetFloat(Object);
        // A value no reader accepts is left out rather than written.
        if (std::isfinite(static_cast<double>(v))) Attr(out, Prefix, p->Name, FloatToStr(v, PointSettings()));
        break;
      }
      case tkString: case tkLString: case tkWString: {
        String v = a.GetStr(Object);
        if (!v.empty() || FSaveDefaultValues) Attr(out, Prefix, p->Name, XMLEscapeText(v));
        break;
      }
      case tkVariant: {
        String v = VariantToXMLText(a.GetVariant(Object));
        if (!v.empty()) Attr(out, Prefix, p->Name, v);
        break;
      }
      case tkClass: {
        TObject* value = a.GetObj(Object);
        if (!value) break;
        if (p->IsReference()) {
          String name = QualifiedComponentName(Report(), static_cast<TComponent*>(value));
          if (!name.empty()) Attr(out, Prefix, p->Name, name);
        } else if (dynamic_cast<TWideStrings*>(value)) {
          // never stored
        } else if (auto* list = dynamic_cast<TStrings*>(value)) {
          Attr(out, Prefix, p->Name + ".Text", XMLEscapeText(JoinLines(list)));
        } else if (auto* sub = dynamic_cast<TPersistent*>(value)) {
          out += PropsToAttributes(sub, Prefix + p->Name + ".");
        }
        break;
      }
      default: break;  // handlers, arrays, records
    }
  }
  if (component && component->IsTextObject())
    Attr(out, Prefix, "Text", XMLEscapeText(WithoutLastLineEnd(Utf16ToUtf8(component->ObjectText()))));
  WritePropData(Object, Prefix, out);
  return out;
}

void TfrxXMLSerializer::WritePropData(TPersistent* Object, const String& Prefix, String& Out) {
  TMemoryStream data;
  {
    TWriter writer(&data);
    writer.SetRoot(FOwner);
    writer.SetLookupRoot(FOwner);
    Object->DefineProperties(&writer);
  }
  if (data.Size() > 0) Attr(Out, Prefix, "PropData", StreamToHex(&data));
}

void TfrxXMLSerializer::WriteObject(TfrxComponent* Object, TfrxXMLItem* Item, bool SaveChildren, bool IsRoot) {
  Item->SetName(Object->ClassName());
  String text = PropsToAttributes(Object, String());
  if (!IsRoot) text = "Name=\"" + Object->Name() + "\"" + text;
  Item->SetText(text);
  if (!SaveChildren) return;
  for (int i = 0; i < Object->ObjectCount(); ++i) WriteObject(Object->Objects(i), Item->AddChild(), true, false);
}

void TfrxXMLSerializer::WriteTree(TfrxComponent* Object, bool SaveChildren, TfrxXMLItem* Item) {
  if (!FOwner) FOwner = Object;
  if (Item) {
    WriteObject(Object, Item, SaveChildren, true);
    return;
  }
  TfrxXMLDocument doc;
  doc.SetAutoIndent(true);
  WriteObject(Object, doc.Root(), SaveChildren, true);
  doc.WriteToStream(FStream);
}

String TfrxXMLSerializer::ObjectToText(TfrxComponent* Object) {
  return Object->ClassName() + PropsToAttributes(Object, String());
}

void TfrxXMLSerializer::WriteObjectTag(TfrxComponent* Object) {
  String tag = "<" + ObjectToText(Object) + "/>";
  FStream->WriteBuffer(tag.data(), static_cast<Int64>(tag.size()));
}

// ---------------------------------------------------------------- reading

void TfrxXMLSerializer::ReadTree(TfrxComponent* Object, TfrxXMLItem* Item) {
  std::unique_ptr<TfrxXMLDocument> doc;
  if (!Item) {
    doc = std::make_unique<TfrxXMLDocument>();
    doc->ReadFromStream(FStream, false);
    Item = doc->Root();
  }
  if (!FOwner) FOwner = Object;
  TClass rootClass = GetClass(Item->Name());
  if (!rootClass || !rootClass->InheritsFrom(TfrxComponent::StaticClass())) {
    FErrors->Add(ReportResources()->TextOf("xrCantFindClass") + " " + Item->Name());
    return;
  }
  TryFinally([&] { ReadElement(Item, nullptr, Object); }, [&] { FinishRead(); });
}

void TfrxXMLSerializer::ReadChildren(TfrxXMLItem* Item, TfrxComponent* Parent) {
  if (!FOwner) FOwner = Parent;
  TryFinally(
      [&] {
        for (int i = 0; i < Item->ChildCount(); ++i) ReadElement(Item->ChildAt(i), Parent, nullptr);
      },
      [&] { FinishRead(); });
}

void TfrxXMLSerializer::ReadElement(TfrxXMLItem* Item, TfrxComponent* Parent, TfrxComponent* Target) {
  TfrxComponent* object = Target;
  if (!object) {
    // Only report objects come from a file: any other class, or a report below the root,
    // counts as unknown, so a definition cannot make components of the program.
    TClass cls = GetClass(Item->Name());
    if (!IsReportObjectClass(cls)) {
      FErrors->Add(ReportResources()->TextOf("xrCantFindClass") + " " + Item->Name());
      return;
    }
    object = static_cast<TfrxComponent*>(cls->Create(Parent));
  }
  object->SetIsLoading(true);
  FRead.push_back(object);
  ReadAttributes(Item->Text(), object);
  for (int i = 0; i < Item->ChildCount(); ++i) ReadElement(Item->ChildAt(i), object, nullptr);
}

void TfrxXMLSerializer::FinishRead() {
  std::vector<TfrxComponent*> read;
  read.swap(FRead);
  for (TfrxComponent* c : read) c->SetIsLoading(false);
  ResolveFixups();
  for (TfrxComponent* c : read)
    if (!dynamic_cast<TfrxReport*>(c)) c->Loaded();
}

void TfrxXMLSerializer::ReadAttributes(const String& Text, TPersistent* Object) {
  std::size_t pos = 0;
  const std::size_t n = Text.size();
  while (pos < n) {
    std::size_t open = Text.find('"', pos);
    if (open == String::npos) break;
    String name = Trim(Text.substr(pos, open - pos));
    if (!name.empty() && name.back() == '=') name = Trim(name.substr(0, name.size() - 1));
    if (name.empty()) break;
    std::size_t close = Text.find('"', open + 1);
    String value = Text.substr(open + 1, close == String::npos ? String::npos : close - open - 1);
    try {
      ApplyAttribute(Object, name, value);
    } catch (const Exception& e) {
      AddError(Object, name, e.Message());
    }
    if (close == String::npos) break;
    pos = close + 1;  // the next attribute may follow without a blank
  }
}

void TfrxXMLSerializer::ApplyAttribute(TPersistent* Object, const String& Name, const String& Value) {
  // The compact names of prepared pages (read for every object of every page shown: the kind
  // test goes through the class table).
  TfrxComponent* component = Name.size() == 1 ? KindOf<TfrxComponent>(Object) : nullptr;
  if (component) {
    switch (Name[0] | 0x20) {
      case 'l': component->SetLeft(StrToFloatAnySep(XMLUnescapeText(Value))); return;
      case 't': component->SetTop(StrToFloatAnySep(XMLUnescapeText(Value))); return;
      case 'w': component->SetWidth(StrToFloatAnySep(XMLUnescapeText(Value))); return;
      case 'h': component->SetHeight(StrToFloatAnySep(XMLUnescapeText(Value))); return;
      case 'u':
        if (component->IsTextObject()) component->SetObjectText(Utf8ToUtf16(XMLUnescapeText(Value)));
        return;
      case 'x':
        if (component->IsTextObject()) component->SetObjectText(Utf8ToUtf16(AttrText(Value)));
        return;
      default: break;
    }
  }
  // Dotted names walk owned sub-objects only, never references to other components.
  TPersistent* target = Object;
  std::size_t start = 0;
  for (std::size_t dot; (dot = Name.find('.', start)) != String::npos; start = dot + 1) {
    const TPropInfo* p = target->ClassType()->FindProperty(std::string_view(Name).substr(start, dot - start));
    if (!p || p->Kind != tkClass || p->IsReference()) return;
    auto* sub = dynamic_cast<TPersistent*>(p->Access->GetObj(target));
    if (!sub) return;
    target = sub;
  }
  std::string_view last = std::string_view(Name).substr(start);
  if (SameText(last, "Text")) {
    if (auto* wide = dynamic_cast<TWideStrings*>(target)) {
      wide->SetText(AttrText(Value));
      return;
    }
    if (auto* list = dynamic_cast<TStrings*>(target)) {
      list->SetText(AttrText(Value));
      return;
    }
    if (auto* c = dynamic_cast<TfrxComponent*>(target); c && c->IsTextObject()) {
      c->SetObjectText(Utf8ToUtf16(XMLUnescapeText(Value)));
      return;
    }
  }
  if (SameText(last, "PropData")) {
    ReadPropData(target, Value);
    return;
  }
  if (const TPropInfo* p = target->ClassType()->FindProperty(last)) SetProperty(target, p, Value);
}

void TfrxXMLSerializer::SetProperty(TPersistent* Object, const TPropInfo* Prop, const String& Value) {
  if (!Prop->Writable()) return;
  const TPropAccessor& a = *Prop->Access;
  switch (Prop->Kind) {
    case tkEnumeration: {
      String v = Trim(XMLUnescapeText(Value));
      int ord;
      if (!TryStrToInt(v, ord)) ord = Prop->Enum->ValueOf(v);
      if (ord < Prop->Enum->MinValue() || ord > Prop->Enum->MaxValue())
        throw EPropertyError("Invalid property value '" + v + "'");
      a.SetOrd(Object, ord);
      break;
    }
    case tkFloat: {
      String v = XMLUnescapeText(Value);
      Extended f = StrToFloatAnySep(v);
      if (!std::isfinite(static_cast<double>(f))) throw EConvertError("'" + v + "' is not a valid floating point value");
      a.SetFloat(Object, f);
      break;
    }
    case tkString: case tkLString: case tkWString: a.SetStr(Object, AttrText(Value)); break;
    case tkVariant: a.SetVariant(Object, Variant(AttrText(Value))); break;
    case tkClass:
      if (Prop->IsReference()) FFixups.push_back({Object, Prop, AttrText(Value)});
      break;
    case tkInteger: case tkChar: case tkWChar: case tkSet: case tkInt64: {
      String v = XMLUnescapeText(Value);
      Int64 i;
      if (!TryStrToInt64(Trim(v), i)) throw EConvertError("'" + v + "' is not a valid integer value");
      a.SetOrd(Object, i);
      break;
    }
    default: break;
  }
  if (SameText(Prop->Name, "DataSetName") && !Value.empty()) FDataSetNames.push_back({Object, Prop, AttrText(Value)});
}

void TfrxXMLSerializer::ReadPropData(TPersistent* Object, const String& Hex) {
  TMemoryStream data;
  HexToStream(Hex, &data);
  if (data.Size() * 2 != static_cast<Int64>(Hex.size())) {
    AddError(Object, "PropData", "not hexadecimal data");
    return;
  }
  data.SetPosition(0);
  TReader reader(&data);
  reader.SetRoot(FOwner);
  reader.SetOwner(FOwner);
  try {
    while (data.Position() < data.Size()) reader.ReadProperty(Object);
  } catch (const Exception& e) {
    // What was read stays; the damage is reported.
    AddError(Object, "PropData", e.Message());
  }
}

void TfrxXMLSerializer::ResolveFixups() {
  std::vector<TFixup> fixups;
  fixups.swap(FFixups);
  for (const TFixup& f : fixups) {
    TComponent* target = FOwner ? FOwner->FindObject(f.Name) : nullptr;
    if (!target) {
      try {
        target = FindComponentByPath(FOwner, f.Name);
      } catch (const Exception&) {
        target = nullptr;
      }
    }
    if (!target) {
      AddError(f.Object, f.Prop->Name, "\"" + f.Name + "\" not found");
      continue;
    }
    try {
      f.Prop->Access->SetObj(f.Object, target);
    } catch (const Exception& e) {
      AddError(f.Object, f.Prop->Name, e.Message());
    }
  }
  // A data set named but not found leaves the object without data: say so.
  std::vector<TFixup> names;
  names.swap(FDataSetNames);
  for (const TFixup& f : names) {
    const TPropInfo* ds = f.Object->ClassType()->FindProperty("DataSet");
    if (ds && ds->Kind == tkClass && !ds->Access->GetObj(f.Object))
      AddError(f.Object, f.Prop->Name, "no data set \"" + f.Name + "\"");
  }
}

TfrxComponent* TfrxXMLSerializer::ObjectFromText(TfrxComponent* AOwner, const String& Text) {
  String text = Trim(Text);
  if (text.empty()) return nullptr;
  std::size_t blank = text.find(' ');
  String className = text.substr(0, blank);
  String attributes = blank == String::npos ? String() : text.substr(blank + 1);
  TClass cls = FindClass(className);
  if (!IsReportObjectClass(cls)) throw EClassNotFound("Class " + className + " not found");
  auto* object = static_cast<TfrxComponent*>(cls->Create(AOwner));
  TfrxReport* report = object->FindParentReport();
  FOwner = report ? static_cast<TfrxComponent*>(report) : AOwner;
  object->SetIsLoading(true);
  TryFinally([&] { ReadAttributes(attributes, object); },
             [&] {
               ResolveFixups();
               object->SetIsLoading(false);
               object->Loaded();
             });
  return object;
}

void TfrxXMLSerializer::ReadCollectionItem(TfrxComponent* Root, TCollectionItem* Item, const String& Text) {
  FOwner = Root;
  ReadAttributes(Text, Item);
  ResolveFixups();
}

// ---------------------------------------------------------------- collections of a report

void WriteReportCollection(TCollection* Collection, TWriter* Writer, TfrxComponent* Owner) {
  if (!Owner || !Owner->IsWriting()) {
    Writer->WriteCollection(Collection);
    return;
  }
  TfrxXMLSerializer serializer(nullptr);
  TfrxReport* report = Owner->FindParentReport();
  serializer.SetOwner(report ? static_cast<TfrxComponent*>(report) : Owner);
  Writer->WriteListBegin();
  for (int i = 0; i < Collection->Count(); ++i) {
    String text = serializer.PropsToAttributes(Collection->Items(i), String());
    Writer->WriteListBegin();
    Writer->WriteValue(vaLString);
    auto n = static_cast<std::uint32_t>(text.size());
    Byte len[4] = {Byte(n), Byte(n >> 8), Byte(n >> 16), Byte(n >> 24)};
    Writer->Write(len, 4);
    Writer->Write(text.data(), static_cast<Int64>(text.size()));
    Writer->WriteListEnd();
  }
  Writer->WriteListEnd();
}

void ReadReportCollection(TCollection* Collection, TReader* Reader, TfrxComponent* Owner) {
  if (Reader->NextValue() == vaCollection) {
    Reader->ReadCollection(Collection);
    DecodeItemStrings(Collection);
    return;
  }
  TfrxReport* report = Owner ? Owner->FindParentReport() : nullptr;
  TfrxXMLSerializer* running = report ? report->CurrentSerializer() : nullptr;
  std::unique_ptr<TfrxXMLSerializer> own;
  if (!running) {
    own = std::make_unique<TfrxXMLSerializer>(nullptr);
    own->SetOwner(report ? static_cast<TfrxComponent*>(report) : Owner);
  }
  TScopeExit errors([&] {
    if (own && report) report->Errors()->AddStrings(own->Errors());
  });
  Reader->ReadListBegin();
  Collection->Clear();
  while (!Reader->EndOfList()) {
    Reader->ReadListBegin();
    String text;
    while (!Reader->EndOfList()) text += Reader->ReadString();
    Reader->ReadListEnd();
    TCollectionItem* item = Collection->Add();
    if (running) {
      running->ReadAttributes(text, item);
    } else {
      own->ReadAttributes(text, item);
      own->ResolveFixups();
    }
  }
  Reader->ReadListEnd();
}

String DecodeItemString(const String& Value) {
  if (Value.find('\x01') == String::npos) return Value;
  String out;
  out.reserve(Value.size());
  for (std::size_t i = 0; i < Value.size(); ++i) {
    if (Value[i] == '\x01' && i + 1 < Value.size()) out += static_cast<char>(Byte(Value[++i]) + 128);
    else out += Value[i];
  }
  return IsValidUtf8(out) ? out : GbkToUtf8(out);
}

void DecodeItemStrings(TCollection* Collection) {
  for (int i = 0; i < Collection->Count(); ++i) {
    TCollectionItem* item = Collection->Items(i);
    for (const TPropInfo* p : item->ClassType()->Properties()) {
      if (!p->Writable()) continue;
      if (p->IsString()) {
        String s = p->Access->GetStr(item);
        if (String d = DecodeItemString(s); d != s) p->Access->SetStr(item, d);
      } else if (p->Kind == tkVariant) {
        Variant v = p->Access->GetVariant(item);
        if (VarType(v) != varString && VarType(v) != varOleStr) continue;
        String s = v.AsString();
        if (String d = DecodeItemString(s); d != s) p->Access->SetVariant(item, Variant(d));
      }
    }
  }
}
