// The dictionary of registered names that the designer's data tree shows.
#include "script/fs_itools.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_iscript.h"
#include "script/fs_xml.h"
#include "core/StrUtils.h"

#include <map>

namespace {

String Attr(const String& Text) { return "text=\"" + EscapeAttrText(Text) + "\""; }

TfsXMLItem* AddItem(TfsXMLItem* Parent, const String& Text) {
  TfsXMLItem* item = Parent->Add();
  item->SetName("item");
  item->SetText(Attr(Text));
  return item;
}

String MemberText(const TfsCustomHelper* Member) {
  if (auto* m = dynamic_cast<const TfsMethodHelper*>(Member)) {
    if (!m->IndexMethod()) return m->Signature();
    String sig = Trim(m->Signature());
    std::size_t blank = sig.find(' ');
    return "index property" + (blank == String::npos ? String() : sig.substr(blank));
  }
  if (dynamic_cast<const TfsEventHelper*>(Member)) return "event " + Member->Name();
  return "property " + Member->Name() + ": " + VariableTypeName(Member);
}

}  // namespace

void FillDictionaryXML(TfsScript* Script, TfsXMLItem* Root, bool FunctionsOnly) {
  TfsXMLItem* functions = Root->FindItem("Functions");
  TfsXMLItem* classes = Root->FindItem("Classes");
  TfsXMLItem* types = Root->FindItem("Types");
  TfsXMLItem* variables = Root->FindItem("Variables");
  TfsXMLItem* constants = Root->FindItem("Constants");
  std::map<TfsXMLItem*, String> enumValues;

  for (int i = 0; i < Script->ItemCount(); ++i) {
    TObject* obj = Script->ItemAt(i);
    if (auto* f = dynamic_cast<TfsMethodHelper*>(obj)) {
      TfsXMLItem* category = functions->FindItem(f->Category());
      category->SetText(Attr(f->Category()));
      TfsXMLItem* item = AddItem(category, f->Signature());
      item->SetText(item->Text() + " description=\"" + EscapeAttrText(f->Description()) + "\"");
      continue;
    }
    if (FunctionsOnly) continue;
    if (auto* cls = dynamic_cast<TfsClassVariable*>(obj)) {
      TfsXMLItem* item = AddItem(classes, cls->Name() + " = class(" + cls->AncestorName() + ")");
      for (int m = 0; m < cls->MembersCount(); ++m) AddItem(item, MemberText(cls->Members(m)));
      continue;
    }
    auto* v = dynamic_cast<TfsVariable*>(obj);
    if (!v) continue;
    if (v->TypeCode() == tcEnum) {
      TfsXMLItem* type = types->FindItem(v->TypeName());
      String& list = enumValues[type];
      if (!AnsiSameText(v->Name(), v->TypeName())) list += list.empty() ? v->Name() : "," + v->Name();
      continue;
    }
    String text = v->Name() + ": " + VariableTypeName(v);
    if (v->ReadOnly()) AddItem(constants, text + " = " + VarToStr(v->FetchValue()));
    else AddItem(variables, text);
  }

  for (int i = 0; i < types->Count(); ++i) {
    TfsXMLItem* type = types->Items(i);
    if (type->Name() == "item") continue;
    String typeName = type->Name();
    type->SetName("item");
    type->SetText(Attr(typeName + ": (" + enumValues[type] + ")"));
  }
}
