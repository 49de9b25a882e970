#include "report/frxDsgnIntf.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"
#include "gui/Pictures.h"
#include "gui/Menus.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxPropertyEditors.h"

#include <algorithm>
#include <cassert>

namespace {

template <class T> const T& At(const std::vector<T>& Items, int Index) {
  if (Index < 0 || Index >= int(Items.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return Items[std::size_t(Index)];
}

// Whether Cls is Ancestor or descends from it.
bool IsSameOrDescendant(TClass Cls, TClass Ancestor) { return Cls && Ancestor && Cls->InheritsFrom(Ancestor); }

}  // namespace

// ---------------------------------------------------------------- palette objects

const TfrxObjectItem& TfrxObjectCollection::ItemAt(int Index) const { return At(FItems, Index); }

void TfrxObjectCollection::RegisterPaletteObject(TClass ObjectClass, TBitmap* Bitmap, const String& HintKey,
                                                 const String& Category, int VariantFlags, int ImageIndex) {
  for (const TfrxObjectItem& item : FItems)
    if (item.ObjectClass == ObjectClass && item.VariantFlags == VariantFlags) return;
  RegisterClass(ObjectClass);
  if (Bitmap) Bitmap->Dormant();
  FItems.push_back({ObjectClass, Bitmap, ImageIndex, HintKey, Category, VariantFlags});
}

void TfrxObjectCollection::RegisterPaletteGroup(const String& Category, TBitmap* Bitmap, const String& HintKey,
                                                int ImageIndex) {
  if (Bitmap) Bitmap->Dormant();
  FItems.push_back({nullptr, Bitmap, ImageIndex, HintKey, Category, 0});
}

// ---------------------------------------------------------------- component editors

TMenuItem* TfrxComponentEditor::AppendMenuItem(const String& Caption, int Tag, bool Checked) {
  assert(FMenu);
  auto* item = new TMenuItem(FMenu);
  item->SetCaption(Caption);
  item->SetTag(Tag);
  item->SetChecked(Checked);
  FMenu->Items()->Add(item);
  return item;
}

bool OpenComponentEditor(TfrxCustomDesigner* Designer, TfrxComponent* Component) {
  std::unique_ptr<TfrxComponentEditor> editor = ComponentEditorRegistry().EditorFor(Component, Designer, nullptr);
  if (!editor || !editor->HasOwnEditor() || !editor->OpenEditor()) return false;
  if (Designer) Designer->FlagModified(true);
  return true;
}

bool BuildComponentMenu(TfrxCustomDesigner* Designer, TfrxComponent* Component, TMenu* Menu) {
  std::unique_ptr<TfrxComponentEditor> editor = ComponentEditorRegistry().EditorFor(Component, Designer, Menu);
  if (!editor) return false;
  bool hasEditor = editor->HasOwnEditor();
  editor->BuildMenu();
  return hasEditor;
}

bool RunComponentMenuItem(TfrxCustomDesigner* Designer, TfrxComponent* Component, int Tag, bool Checked) {
  std::unique_ptr<TfrxComponentEditor> editor = ComponentEditorRegistry().EditorFor(Component, Designer, nullptr);
  if (!editor || !editor->RunMenuItem(Tag, Checked)) return false;
  if (Designer) Designer->FlagModified(true);
  return true;
}

const TfrxComponentEditorItem& TfrxComponentEditorCollection::ItemAt(int Index) const { return At(FItems, Index); }

void TfrxComponentEditorCollection::RegisterEditorClass(TClass ObjectClass, TfrxComponentEditorClass EditorClass) {
  FItems.push_back({ObjectClass, EditorClass});
}

std::unique_ptr<TfrxComponentEditor> TfrxComponentEditorCollection::EditorFor(TfrxComponent* Component,
                                                                              TfrxCustomDesigner* Designer,
                                                                              TMenu* Menu) const {
  if (!Component) return nullptr;
  TClass cls = Component->ClassType();
  const TfrxComponentEditorItem* chosen = nullptr;
  // The exact class wins at once; otherwise the ancestor registered last, not the nearest.
  for (const TfrxComponentEditorItem& item : FItems) {
    if (item.ObjectClass == cls) {
      chosen = &item;
      break;
    }
    if (IsSameOrDescendant(cls, item.ObjectClass)) chosen = &item;
  }
  if (!chosen || !chosen->EditorClass) return nullptr;
  return std::unique_ptr<TfrxComponentEditor>(chosen->EditorClass(Component, Designer, Menu));
}

// ---------------------------------------------------------------- property editors

const TfrxPropertyEditorItem& TfrxPropertyEditorCollection::ItemAt(int Index) const { return At(FItems, Index); }

void TfrxPropertyEditorCollection::RegisterPropertyEditor(const String& PropertyType, TClass OwnerClass,
                                                          const String& PropertyName, TClass EditorClass) {
  FItems.push_back({PropertyType, OwnerClass, PropertyName, EditorClass});
}

void TfrxPropertyEditorCollection::RegisterEventEditor(TClass EditorClass) {
  FItems.push_back({String(), nullptr, String(), EditorClass});
  FEventEditorIndex = Count() - 1;
}

namespace {

// "TfrxNotifyEvent" and the like: a report event type, its name ending at its first "event".
bool IsEventType(const String& TypeName) {
  String lower = LowerCase(TypeName);
  if (lower.rfind("tfrx", 0) != 0) return false;
  std::size_t at = lower.find("event");
  return at != String::npos && at + 5 == lower.size();
}

}  // namespace

int TfrxPropertyEditorCollection::EditorIndexFor(const String& PropertyType, const TObject* Object,
                                                 const String& PropertyName) const {
  if (IsEventType(PropertyType)) return FEventEditorIndex;
  TClass cls = Object ? Object->ClassType() : nullptr;
  int result = -1;
  for (int i = Count() - 1; i >= 0; --i) {
    const TfrxPropertyEditorItem& item = FItems[std::size_t(i)];
    if (!item.OwnerClass) {
      if (item.PropertyType.empty() || item.PropertyType != PropertyType) continue;
      // Type-only entries are remembered, so the first registered wins; a named one ends it.
      if (item.PropertyName.empty()) {
        result = i;
      } else if (SameText(item.PropertyName, PropertyName)) {
        return i;
      }
    } else if (IsSameOrDescendant(cls, item.OwnerClass) && !item.PropertyName.empty() &&
               SameText(item.PropertyName, PropertyName)) {
      return i;
    }
  }
  return result;
}

void HideProperties(TClass OwnerClass, const String& Names) {
  String rest = Names;
  while (!rest.empty()) {
    std::size_t sep = rest.find(';');
    String name = rest.substr(0, sep);
    PropertyEditorRegistry().RegisterPropertyEditor(String(), OwnerClass, name, nullptr);
    if (sep == String::npos) break;
    rest = rest.substr(sep + 1);
  }
}

// ---------------------------------------------------------------- export filters and wizards

const TfrxExportFilterItem& TfrxExportFilterCollection::ItemAt(int Index) const { return At(FItems, Index); }

void TfrxExportFilterCollection::RegisterExportFilter(TfrxCustomExportFilter* Filter) {
  FItems.push_back({Filter});
}

void TfrxExportFilterCollection::UnregisterExportFilter(TfrxCustomExportFilter* Filter) {
  std::erase_if(FItems, [&](const TfrxExportFilterItem& i) { return i.Filter == Filter; });
}

const TfrxWizardItem& TfrxWizardCollection::ItemAt(int Index) const { return At(FItems, Index); }
TfrxWizardItem& TfrxWizardCollection::ItemAt(int Index) {
  return const_cast<TfrxWizardItem&>(std::as_const(*this).ItemAt(Index));
}

void TfrxWizardCollection::RegisterWizardClass(TClass WizardClass, TBitmap* Bitmap, bool OnToolBar) {
  for (const TfrxWizardItem& item : FItems)
    if (item.WizardClass == WizardClass) return;
  if (Bitmap) Bitmap->Dormant();
  FItems.push_back({WizardClass, Bitmap, -1, OnToolBar});
}

void TfrxWizardCollection::UnregisterWizardClass(TClass WizardClass) {
  std::erase_if(FItems, [&](const TfrxWizardItem& i) { return i.WizardClass == WizardClass; });
}

// ---------------------------------------------------------------- the process-wide registries

// Made on first use, so registrations from any start-up code find them.
TfrxObjectCollection& ObjectRegistry() {
  static TfrxObjectCollection registry;
  return registry;
}
TfrxComponentEditorCollection& ComponentEditorRegistry() {
  static TfrxComponentEditorCollection registry;
  return registry;
}
namespace {

// The library's own editors, registered as the registry is made.
void RegisterLibraryPropertyEditors(TfrxPropertyEditorCollection& R) {
  R.RegisterPropertyEditor("TComponentName", nullptr, "Name", TfrxNameProperty::StaticClass());
  R.RegisterPropertyEditor("TColor", nullptr, "", TfrxColorProperty::StaticClass());
  R.RegisterPropertyEditor("TFont", nullptr, "", TfrxFontProperty::StaticClass());
  R.RegisterPropertyEditor("String", TFont::StaticClass(), "Name", TfrxFontNameProperty::StaticClass());
  R.RegisterPropertyEditor("Integer", TFont::StaticClass(), "Charset", TfrxFontCharsetProperty::StaticClass());
  R.RegisterPropertyEditor("TModalResult", nullptr, "", TfrxModalResultProperty::StaticClass());
  R.RegisterPropertyEditor("TShortCut", nullptr, "", TfrxShortCutProperty::StaticClass());
  R.RegisterPropertyEditor("TCursor", nullptr, "", TfrxCursorProperty::StaticClass());
  R.RegisterPropertyEditor("TDateTime", nullptr, "", TfrxDateTimeProperty::StaticClass());
  R.RegisterPropertyEditor("TDate", nullptr, "", TfrxDateProperty::StaticClass());
  R.RegisterPropertyEditor("TTime", nullptr, "", TfrxTimeProperty::StaticClass());
}

}  // namespace

TfrxPropertyEditorCollection& PropertyEditorRegistry() {
  static TfrxPropertyEditorCollection registry = [] {
    TfrxPropertyEditorCollection r;
    RegisterLibraryPropertyEditors(r);
    return r;
  }();
  return registry;
}
TfrxExportFilterCollection& ExportFilterRegistry() {
  static TfrxExportFilterCollection registry;
  return registry;
}
TfrxWizardCollection& WizardRegistry() {
  static TfrxWizardCollection registry;
  return registry;
}
