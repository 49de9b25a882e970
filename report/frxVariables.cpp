#include "report/frxVariables.h"

#include "core/ClassBuilder.h"
#include "core/Streams.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

KELM_PUBLISH(TfrxVariable) { Published(b); }

TfrxVariable::TfrxVariable(TCollection* ACollection) : TCollectionItem(ACollection), FValue(Null()) {}

void TfrxVariable::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxVariable*>(Source);
  if (!s) return;
  FName = s->FName;
  FValue = s->FValue;
}

KELM_PUBLISH(TfrxVariables) {}

TfrxVariables::TfrxVariables() : TCollection(TfrxVariable::StaticClass()) {}

bool TfrxVariables::IsHeading(int Index) const { return StartsStr(" ", ItemAt(Index)->Name()); }

int TfrxVariables::FindIndex(const String& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(ItemAt(i)->Name(), AName)) return i;
  return -1;
}

Variant TfrxVariables::GetVariables(const String& AName) const {
  int i = FindIndex(AName);
  return i < 0 ? Null() : ItemAt(i)->Value();
}

void TfrxVariables::SetVariables(const String& AName, const Variant& AValue) {
  int i = FindIndex(AName);
  TfrxVariable* v = i < 0 ? AppendItem() : ItemAt(i);
  if (i < 0) v->SetName(AName);
  v->SetValue(AValue);
}

int TfrxVariables::HeadingIndex(const String& Category) const {
  for (int i = 0; i < Count(); ++i)
    if (IsHeading(i) && AnsiSameText(ItemAt(i)->Name().substr(1), Category)) return i;
  return -1;
}

int TfrxVariables::CategoryEnd(int Heading) const {
  int i = Heading + 1;
  while (i < Count() && !IsHeading(i) && !ItemAt(i)->Name().empty()) ++i;
  return i;
}

void TfrxVariables::ListCategories(TStrings* List, bool ClearFirst) const {
  if (ClearFirst) List->Clear();
  for (int i = 0; i < Count(); ++i)
    if (IsHeading(i)) List->Add(ItemAt(i)->Name().substr(1));
}

void TfrxVariables::ListCategoryVariables(const String& Category, TStrings* List) const {
  List->Clear();
  int first, end;
  if (Category.empty()) {
    first = 0;
    end = CategoryEnd(-1);
  } else {
    int heading = HeadingIndex(Category);
    if (heading < 0) return;
    first = heading + 1;
    end = CategoryEnd(heading);
  }
  for (int i = first; i < end; ++i) List->Add(ItemAt(i)->Name());
}

void TfrxVariables::RemoveCategory(const String& Category) {
  int heading = HeadingIndex(Category);
  if (heading < 0) return;
  for (int i = CategoryEnd(heading) - 1; i >= heading; --i) Delete(i);
}

void TfrxVariables::RemoveVariable(const String& AName) {
  int i = FindIndex(AName);
  if (i >= 0) Delete(i);
}

void TfrxVariables::AddToCategory(const String& Category, const String& AName, const Variant& AValue) {
  int heading = HeadingIndex(Category);
  if (heading < 0) return;
  TfrxVariable* v = InsertItemAt(CategoryEnd(heading));
  v->SetName(AName);
  v->SetValue(AValue);
}

void TfrxVariables::WriteToXMLItem(TfrxXMLItem* Item) {
  TfrxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Count(); ++i) {
    TfrxXMLItem* child = Item->AddChild();
    child->SetName("item");
    child->SetText(serializer.PropsToAttributes(ItemAt(i), String()));
  }
}

void TfrxVariables::ReadFromXMLItem(TfrxXMLItem* Item) {
  Clear();
  TfrxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Item->ChildCount(); ++i) {
    TfrxXMLItem* child = Item->ChildAt(i);
    if (SameText(child->Name(), "item")) serializer.ReadAttributes(child->Text(), AppendItem());
  }
}

void TfrxVariables::WriteToStream(TStream* Stream) {
  TfrxXMLDocument doc;
  doc.SetAutoIndent(true);
  doc.Root()->SetName("variables");
  WriteToXMLItem(doc.Root());
  doc.WriteToStream(Stream);
}

void TfrxVariables::ReadFromStream(TStream* Stream) {
  Clear();
  TfrxXMLDocument doc;
  doc.ReadFromStream(Stream, false);
  if (SameText(doc.Root()->Name(), "variables")) ReadFromXMLItem(doc.Root());
}

void TfrxVariables::WriteToFile(const String& FileName) {
  TFileStream f(FileName, fmCreate);
  WriteToStream(&f);
}

void TfrxVariables::ReadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  ReadFromStream(&f);
}
