#pragma once
// The design-time registries: the five process-wide lists through which report object kinds,
// component editors, property editors, export filters and wizards make themselves known to
// the designer and the preview. They hold class references, bitmaps and short texts only, and
// create nothing but component editors on request. Item order matters for every lookup.
//
// Types are known by the names the reflection gives them (a property's TypeName, a class's
// Name); classes by their class-info records, whose InheritsFrom tells descent.
#include "core/Classes.h"

#include <memory>
#include <vector>

class TBitmap;
class TMenu;
class TMenuItem;
class TfrxComponent;
class TfrxCustomDesigner;
class TfrxCustomExportFilter;

// ================================================================ palette objects

struct TfrxObjectItem {
  TClass ObjectClass = nullptr;  // none for a category entry
  TBitmap* Bitmap = nullptr;     // referenced, not owned
  int ImageIndex = -1;
  String HintKey;
  String Category;
  int VariantFlags = 0;
};

class TfrxObjectCollection {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxObjectItem& ItemAt(int Index) const;
  // Appends unless the class is there with the same flags already; the class can then be
  // created by name (reports name their objects' classes).
  void RegisterPaletteObject(TClass ObjectClass, TBitmap* Bitmap, const String& HintKey, const String& Category,
                             int VariantFlags = 0, int ImageIndex = -1);
  // A category entry; categories are never merged.
  void RegisterPaletteGroup(const String& Category, TBitmap* Bitmap, const String& HintKey, int ImageIndex = -1);

private:
  std::vector<TfrxObjectItem> FItems;
};

// ================================================================ component editors

// The editor the designer asks for an object's dialog and context-menu entries. The designer
// makes one per action and frees it at once: a double click asks HasOwnEditor and then
// OpenEditor; a context menu gets the entries of BuildMenu; a chosen entry goes to a fresh
// editor without menu through RunMenuItem.
class TfrxComponentEditor {
public:
  TfrxComponentEditor(TfrxComponent* Component, TfrxCustomDesigner* Designer, TMenu* Menu)
      : FComponent(Component), FDesigner(Designer), FMenu(Menu) {}
  virtual ~TfrxComponentEditor() = default;
  TfrxComponent* Component() const { return FComponent; }
  TfrxCustomDesigner* Designer() const { return FDesigner; }
  TMenu* Menu() const { return FMenu; }

  // ---- the slots, in order
  // Opens the object's dialog; true when the object changed.
  virtual bool OpenEditor() { return false; }
  virtual bool HasOwnEditor() { return false; }
  // Adds the editor's entries to Menu.
  virtual void BuildMenu() {}
  // Carries out an entry given its tag and its new check state; true when something changed.
  virtual bool RunMenuItem(int Tag, bool Checked) { return false; }

  // A top-level entry of Menu (which owns it) with caption, tag and check mark.
  TMenuItem* AppendMenuItem(const String& Caption, int Tag, bool Checked);

private:
  TfrxComponent* FComponent;
  TfrxCustomDesigner* FDesigner;
  TMenu* FMenu;
};

// What stands for an editor class: it makes an editor for (object, designer, menu).
using TfrxComponentEditorClass = TfrxComponentEditor* (*)(TfrxComponent*, TfrxCustomDesigner*, TMenu*);
template <class T> TfrxComponentEditorClass ComponentEditorClassOf() {
  return [](TfrxComponent* C, TfrxCustomDesigner* D, TMenu* M) -> TfrxComponentEditor* { return new T(C, D, M); };
}

struct TfrxComponentEditorItem {
  TClass ObjectClass = nullptr;
  TfrxComponentEditorClass EditorClass = nullptr;
};

class TfrxComponentEditorCollection {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxComponentEditorItem& ItemAt(int Index) const;
  void RegisterEditorClass(TClass ObjectClass, TfrxComponentEditorClass EditorClass);
  // An editor of the exact class's entry, else of the last registered ancestor's entry;
  // nullptr when none covers the object. The caller owns it.
  std::unique_ptr<TfrxComponentEditor> EditorFor(TfrxComponent* Component, TfrxCustomDesigner* Designer,
                                                 TMenu* Menu) const;

private:
  std::vector<TfrxComponentEditorItem> FItems;
};

// ================================================================ property editors

struct TfrxPropertyEditorItem {
  String PropertyType;          // the type's name; '' for none
  TClass OwnerClass = nullptr;  // the class (and descendants) whose property is meant
  String PropertyName;          // compared without regard to ASCII case; '' for any
  TClass EditorClass = nullptr; // none hides the property
};

class TfrxPropertyEditorCollection {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxPropertyEditorItem& ItemAt(int Index) const;
  int EventEditorIndex() const { return FEventEditorIndex; }
  void RegisterPropertyEditor(const String& PropertyType, TClass OwnerClass, const String& PropertyName,
                              TClass EditorClass);
  // An entry with only the editor class, made the event editor (a later one replaces it).
  void RegisterEventEditor(TClass EditorClass);
  // The entry to use for a property of the type on the object, or -1 (the default editor).
  int EditorIndexFor(const String& PropertyType, const TObject* Object, const String& PropertyName) const;

private:
  std::vector<TfrxPropertyEditorItem> FItems;
  int FEventEditorIndex = -1;
};

// Hides the properties named in Names (separated by ";") on the class and its descendants.
void HideProperties(TClass OwnerClass, const String& Names);

// ================================================================ export filters and wizards

struct TfrxExportFilterItem {
  TfrxCustomExportFilter* Filter = nullptr;
};

class TfrxExportFilterCollection {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxExportFilterItem& ItemAt(int Index) const;
  void RegisterExportFilter(TfrxCustomExportFilter* Filter);
  void UnregisterExportFilter(TfrxCustomExportFilter* Filter);

private:
  std::vector<TfrxExportFilterItem> FItems;
};

struct TfrxWizardItem {
  TClass WizardClass = nullptr;
  TBitmap* Bitmap = nullptr;
  int ImageIndex = -1;  // -1 until the designer puts the bitmap into its tool images
  bool OnToolBar = false;
};

class TfrxWizardCollection {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxWizardItem& ItemAt(int Index) const;
  TfrxWizardItem& ItemAt(int Index);
  // Appends unless the class is registered already.
  void RegisterWizardClass(TClass WizardClass, TBitmap* Bitmap, bool OnToolBar);
  // Removes every entry of the class.
  void UnregisterWizardClass(TClass WizardClass);

private:
  std::vector<TfrxWizardItem> FItems;
};

// ================================================================ the process-wide registries

TfrxObjectCollection& ObjectRegistry();
TfrxComponentEditorCollection& ComponentEditorRegistry();
TfrxPropertyEditorCollection& PropertyEditorRegistry();
TfrxExportFilterCollection& ExportFilterRegistry();
TfrxWizardCollection& WizardRegistry();

// ================================================================ the designer's way of using editors

// A double click: the registered editor's dialog, when it has one; a change marks the report
// modified. True when the object changed.
bool OpenComponentEditor(TfrxCustomDesigner* Designer, TfrxComponent* Component);
// Fills Menu with the registered editor's entries; answers whether the editor has a dialog (the
// designer enables its own edit entry by it). No editor: nothing added, false.
bool BuildComponentMenu(TfrxCustomDesigner* Designer, TfrxComponent* Component, TMenu* Menu);
// A chosen entry, carried out by a fresh editor without menu; a change marks the report modified.
bool RunComponentMenuItem(TfrxCustomDesigner* Designer, TfrxComponent* Component, int Tag, bool Checked);

// The property editors and the property list sit beside the registries.
#include "report/frxPropertyEditors.h"
#include "report/frxPropertyList.h"
