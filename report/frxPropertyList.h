#pragma once
// The rows of the object inspector: an object's published properties, each with the editor
// the property-editor registry chooses (or the default one of its kind), sets and persistent
// sub-objects expanded into sub-lists. BuildCommonPropertyList makes the list for a selection
// of several objects: the properties they share, each editor reaching every selected object.
#include "report/frxPropertyEditor.h"

#include <memory>
#include <vector>

class TfrxPropertyList;

// One row: its editor and, for sets and sub-objects, the rows below it.
class TfrxPropertyItem {
public:
  TfrxPropertyItem();
  ~TfrxPropertyItem();
  TfrxPropertyEditor* Editor() const { return FEditor.get(); }
  void SetEditor(std::unique_ptr<TfrxPropertyEditor> Value);
  // The editor's property name, kept as the editor is set.
  const String& Name() const { return FName; }
  // Toggled by the grid.
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool Value) { FExpanded = Value; }
  TfrxPropertyList* SubProperties() const { return FSubProperties.get(); }
  void SetSubProperties(std::unique_ptr<TfrxPropertyList> Value);

private:
  std::unique_ptr<TfrxPropertyEditor> FEditor;
  String FName;
  bool FExpanded = false;
  std::unique_ptr<TfrxPropertyList> FSubProperties;
};

class TfrxPropertyList {
public:
  explicit TfrxPropertyList(TfrxCustomDesigner* Designer, TfrxPropertyList* Parent = nullptr);
  ~TfrxPropertyList();
  TfrxPropertyList(const TfrxPropertyList&) = delete;
  TfrxPropertyList& operator=(const TfrxPropertyList&) = delete;

  TObject* Component() const { return FComponent; }
  TfrxPropertyList* Parent() const { return FParent; }
  TfrxCustomDesigner* Designer() const { return FDesigner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TfrxPropertyItem* ItemAt(int Index) const;
  TfrxPropertyItem* NewItem();
  // The row whose editor shows that property name (letter case significant); nullptr if none.
  TfrxPropertyItem* Find(const String& PropertyName) const;
  int IndexOf(const String& PropertyName) const;
  void Delete(int Index);
  // Takes the row out of the list, keeping it whole, to move it into another list.
  std::unique_ptr<TfrxPropertyItem> Extract(int Index);
  void Append(std::unique_ptr<TfrxPropertyItem> Item);

  // Lists the object's properties afresh.
  void AssignObject(TObject* Object);
  // Appends a row per published property of the object that is not a method, by name.
  void CollectProperties(TObject* Object);

private:
  // The registry's editor for the property, the default one, or none (the row goes).
  std::unique_ptr<TfrxPropertyEditor> CreateEditor(TObject* Object, const TPropInfo* Prop, TClass DefaultEditor);
  // Whether the object is already being listed here or in a list above: a sub-object graph
  // that leads back stops there.
  bool IsListing(const TObject* Object) const;

  TfrxCustomDesigner* FDesigner;
  TfrxPropertyList* FParent;
  TObject* FComponent = nullptr;
  std::vector<std::unique_ptr<TfrxPropertyItem>> FItems;
};

// The list for a selection: none for an empty one, every property for one object, the shared
// multi-select properties (same kind, same name) for several. The caller owns it.
std::unique_ptr<TfrxPropertyList> BuildCommonPropertyList(const std::vector<TObject*>& Selection,
                                                          TfrxCustomDesigner* Designer);
