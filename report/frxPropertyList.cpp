#include "report/frxPropertyList.h"

#include "core/Component.h"
#include "core/Persistent.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxDsgnIntf.h"
#include "report/frxPropertyEditors.h"

#include <algorithm>
#include <cassert>

// ---------------------------------------------------------------- rows

TfrxPropertyItem::TfrxPropertyItem() = default;
TfrxPropertyItem::~TfrxPropertyItem() = default;

void TfrxPropertyItem::SetEditor(std::unique_ptr<TfrxPropertyEditor> Value) {
  FEditor = std::move(Value);
  FName = FEditor ? FEditor->PropertyName() : String();
}

void TfrxPropertyItem::SetSubProperties(std::unique_ptr<TfrxPropertyList> Value) {
  FSubProperties = std::move(Value);
}

// ---------------------------------------------------------------- lists

TfrxPropertyList::TfrxPropertyList(TfrxCustomDesigner* Designer, TfrxPropertyList* Parent)
    : FDesigner(Designer), FParent(Parent) {}
TfrxPropertyList::~TfrxPropertyList() = default;

TfrxPropertyItem* TfrxPropertyList::ItemAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FItems[std::size_t(Index)].get();
}

TfrxPropertyItem* TfrxPropertyList::NewItem() {
  FItems.push_back(std::make_unique<TfrxPropertyItem>());
  return FItems.back().get();
}

int TfrxPropertyList::IndexOf(const String& PropertyName) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Name() == PropertyName) return static_cast<int>(i);
  return -1;
}

TfrxPropertyItem* TfrxPropertyList::Find(const String& PropertyName) const {
  int at = IndexOf(PropertyName);
  return at < 0 ? nullptr : FItems[std::size_t(at)].get();
}

void TfrxPropertyList::Delete(int Index) {
  ItemAt(Index);
  FItems.erase(FItems.begin() + Index);
}

std::unique_ptr<TfrxPropertyItem> TfrxPropertyList::Extract(int Index) {
  ItemAt(Index);
  std::unique_ptr<TfrxPropertyItem> item = std::move(FItems[static_cast<std::size_t>(Index)]);
  FItems.erase(FItems.begin() + Index);
  return item;
}

void TfrxPropertyList::Append(std::unique_ptr<TfrxPropertyItem> Item) { FItems.push_back(std::move(Item)); }

void TfrxPropertyList::AssignObject(TObject* Object) {
  FComponent = Object;
  FItems.clear();
  CollectProperties(Object);
}

bool TfrxPropertyList::IsListing(const TObject* Object) const {
  for (const TfrxPropertyList* l = this; l; l = l->FParent)
    if (l->FComponent == Object) return true;
  return false;
}

namespace {

// The type the registry knows a property by. A component's Name is declared as a plain string
// by the platform, but names are a type of their own to the editors (they must stay unique).
String RegistryTypeName(const TPropInfo* Prop) {
  if (Prop->Owner == TComponent::StaticClass() && Prop->Name == "Name") return "TComponentName";
  return Prop->TypeName;
}

}  // namespace

std::unique_ptr<TfrxPropertyEditor> TfrxPropertyList::CreateEditor(TObject* Object, const TPropInfo* Prop,
                                                                   TClass DefaultEditor) {
  const TfrxPropertyEditorCollection& registry = PropertyEditorRegistry();
  int index = registry.EditorIndexFor(RegistryTypeName(Prop), Object, Prop->Name);
  TClass editorClass = index < 0 ? DefaultEditor : registry.ItemAt(index).EditorClass;
  if (!editorClass) return nullptr;
  std::unique_ptr<TfrxPropertyEditor> editor = CreatePropertyEditor(editorClass, FDesigner);
  editor->AddInstance(Object, Prop);
  return editor;
}

namespace {

// The editor a property gets when the registry names none; nullptr for kinds never listed.
TClass DefaultEditorOf(const TPropInfo* Prop) {
  switch (Prop->Kind) {
    case tkInteger: return TfrxIntegerProperty::StaticClass();
    case tkChar: case tkWChar: return TfrxCharProperty::StaticClass();
    case tkEnumeration: return TfrxEnumProperty::StaticClass();
    case tkFloat: return TfrxFloatProperty::StaticClass();
    case tkString: case tkLString: case tkWString: return TfrxStringProperty::StaticClass();
    case tkSet: return TfrxSetProperty::StaticClass();
    case tkClass: {
      TClass cls = Prop->PropClass();
      if (!cls) return nullptr;
      if (cls->InheritsFrom(TComponent::StaticClass())) return TfrxComponentProperty::StaticClass();
      if (cls->InheritsFrom(TPersistent::StaticClass())) return TfrxClassProperty::StaticClass();
      return nullptr;
    }
    default: return nullptr;
  }
}

bool IsSubObject(const TPropInfo* Prop) {
  TClass cls = Prop->PropClass();
  return Prop->Kind == tkClass && cls && !cls->InheritsFrom(TComponent::StaticClass()) &&
         cls->InheritsFrom(TPersistent::StaticClass());
}

}  // namespace

void TfrxPropertyList::CollectProperties(TObject* Object) {
  if (!Object) return;
  std::vector<const TPropInfo*> props;
  for (const TPropInfo* p : GetPropList(Object))
    if (p->Kind != tkMethod) props.push_back(p);
  std::stable_sort(props.begin(), props.end(),
                   [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });

  for (const TPropInfo* p : props) {
    std::unique_ptr<TfrxPropertyEditor> editor = CreateEditor(Object, p, DefaultEditorOf(p));
    if (!editor) continue;  // hidden, or a kind the inspector does not show
    TfrxPropertyItem* item = NewItem();
    item->SetEditor(std::move(editor));
    if (p->Kind == tkSet && p->Enum) {
      // One row per element, lowest first; they follow the set, so a hidden set hides them.
      auto sub = std::make_unique<TfrxPropertyList>(FDesigner, this);
      sub->FComponent = Object;
      for (int e = p->Enum->MinValue(); e <= p->Enum->MaxValue(); ++e) {
        auto element = std::make_unique<TfrxSetElementProperty>();
        element->SetDesigner(FDesigner);
        element->SetElement(e);
        element->AddInstance(Object, p);
        sub->NewItem()->SetEditor(std::move(element));
      }
      item->SetSubProperties(std::move(sub));
    } else if (IsSubObject(p)) {
      TObject* held = p->Access->GetObj(Object);
      if (!held || IsListing(held)) continue;
      auto sub = std::make_unique<TfrxPropertyList>(FDesigner, this);
      sub->FComponent = held;
      sub->CollectProperties(held);
      if (sub->Count() > 0) item->SetSubProperties(std::move(sub));
    }
  }
}

// ---------------------------------------------------------------- selections

namespace {

// Finds rows of another list by name while a list is walked in order. Both lists are sorted
// by name, so the row after the last one found is nearly always the next match; a search by
// name covers the rest.
class TRowCursor {
public:
  explicit TRowCursor(const TfrxPropertyList* Other) : FOther(Other) {}
  const TfrxPropertyItem* Match(const String& Name) {
    for (int j = FNext; j < FOther->Count() && j < FNext + 2; ++j)
      if (FOther->ItemAt(j)->Name() == Name) {
        FNext = j + 1;
        return FOther->ItemAt(j);
      }
    int at = FOther->IndexOf(Name);
    if (at < 0) return nullptr;
    FNext = at + 1;
    return FOther->ItemAt(at);
  }

private:
  const TfrxPropertyList* FOther;
  int FNext = 0;
};

// Keeps the rows of List that can serve several objects and that Other has too: same kind,
// same name, letter case significant.
void KeepCommonProperties(TfrxPropertyList* List, const TfrxPropertyList* Other) {
  TRowCursor cursor(Other);
  std::vector<int> dropped;
  for (int i = 0; i < List->Count(); ++i) {
    const TfrxPropertyItem* item = List->ItemAt(i);
    bool keep = false;
    if (item->Editor()->Traits().Contains(TraitMultiSelect)) {
      const TfrxPropertyItem* match = cursor.Match(item->Name());
      keep = match && match->Editor()->FirstPropInfo()->Kind == item->Editor()->FirstPropInfo()->Kind;
    }
    if (!keep) dropped.push_back(i);
  }
  for (auto it = dropped.rbegin(); it != dropped.rend(); ++it) List->Delete(*it);
}

// Gives every row of List the object of Other's row of the same name, sub-rows likewise.
// Rows are paired by name, not position, so lists of different shapes never mismatch.
void MergeEditedObjects(TfrxPropertyList* List, const TfrxPropertyList* Other) {
  TRowCursor cursor(Other);
  for (int i = 0; i < List->Count(); ++i) {
    TfrxPropertyItem* item = List->ItemAt(i);
    const TfrxPropertyItem* match = cursor.Match(item->Name());
    if (!match || match->Editor()->Instances().empty()) continue;
    const TfrxPropertyEditor* from = match->Editor();
    item->Editor()->AddInstance(from->Instances().front(), from->PropInfos().front());
    if (item->SubProperties() && match->SubProperties())
      MergeEditedObjects(item->SubProperties(), match->SubProperties());
  }
}

}  // namespace

std::unique_ptr<TfrxPropertyList> BuildCommonPropertyList(const std::vector<TObject*>& Selection,
                                                          TfrxCustomDesigner* Designer) {
  if (Selection.empty()) return nullptr;
  auto first = std::make_unique<TfrxPropertyList>(Designer);
  first->AssignObject(Selection.front());
  // Each other object's list is reduced, merged and freed before the next is made. Rows that
  // a later object lacks go then, so the rows left, and the objects each reaches, are those
  // of reducing against every list first; only one other list is ever alive.
  TfrxPropertyList other(Designer);
  for (std::size_t i = 1; i < Selection.size(); ++i) {
    other.AssignObject(Selection[i]);
    KeepCommonProperties(first.get(), &other);
    KeepCommonProperties(&other, first.get());
    MergeEditedObjects(first.get(), &other);
  }
  other.AssignObject(nullptr);
  return first;
}
