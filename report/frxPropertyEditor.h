#pragma once
// The property editor: what stands behind one row of the designer's object inspector. It
// holds the edited objects (the first one leads) with, for each, its descriptor of the
// property, tells the grid how the value behaves (Traits), shows it as text, offers a list of
// values, takes typed text back and draws its value cell and list entries.
//
// Writing goes to every edited object, each through its own descriptor, so an editor merged
// over a selection changes the property on every selected object. Text the editor cannot take
// raises an error (the platform's conversion error for numbers and dates, else the report
// library's "prInvProp" text) and changes nothing.
//
// Editors are classes with class information, so the property-editor registry can hold them
// as class references; CreatePropertyEditor makes one for a designer.
#include "core/Classes.h"
#include "core/Types.h"

#include <memory>
#include <vector>

class TCanvas;
class TCustomListBox;
class TStringList;
class TfrxComponent;
class TfrxCustomDesigner;

// What the grid does with a row; Traits() returns a set, whose bits sum to the values 1, 2,
// 4, 8, 16, 32, 64 of the flags in this order.
KELM_ENUM(TfrxPropertyTrait, TraitValueList, TraitSortedList, TraitDialog, TraitMultiSelect, TraitSubProperties,
          TraitReadOnly, TraitOwnerDraw)
using TfrxPropertyTraits = TSet<TfrxPropertyTrait>;

// The error every editor raises for text it cannot take that is no number or date.
[[noreturn]] void RaiseInvalidPropertyValue();

class TfrxPropertyEditor : public TObject {
  KELM_CLASS(TfrxPropertyEditor, TObject)
public:
  TfrxPropertyEditor();
  ~TfrxPropertyEditor() override;

  TfrxCustomDesigner* Designer() const { return FDesigner; }
  void SetDesigner(TfrxCustomDesigner* Value) { FDesigner = Value; }
  // The edited objects and, at the same positions, their descriptors of the property.
  const std::vector<TObject*>& Instances() const { return FInstances; }
  const std::vector<const TPropInfo*>& PropInfos() const { return FPropInfos; }
  void AddInstance(TObject* Instance, const TPropInfo* PropInfo);
  // Row height, set by the grid before every drawing; also the width kept for a picture.
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value; }
  // The drop-down values FillValueList leaves; made on first use, since most rows never drop down.
  TStringList* Values() const;

  // ---- the slots, in order
  // Steps to the value after the current one in the value list; false when the list is empty.
  // Editors with a dialog answer whether it was confirmed.
  virtual bool RunEdit();
  virtual TfrxPropertyTraits Traits() const { return {TraitMultiSelect}; }
  virtual String PropertyName() const;
  virtual int ListExtraWidth() const { return FItemHeight + 2; }
  virtual String ValueText() const { return "(Unknown)"; }
  // Empties Values and sorts it exactly when the traits ask for it; editors then add entries.
  virtual void FillValueList();
  virtual void ApplyValueText(const String&) {}
  virtual void DrawListItem(TCustomListBox* List, int Index, const TRect& ARect);
  virtual void DrawValueCell(TCanvas* Canvas, const TRect& ARect);

  // ---- helpers for the editors
  TObject* FirstInstance() const;
  // The first object when it is a report object, else nullptr.
  TfrxComponent* FirstReportComponent() const;
  const TPropInfo* FirstPropInfo() const;
  Int64 ReadOrdinal() const;
  Extended ReadFloat() const;
  String ReadText() const;
  TObject* ReadObject() const;
  void WriteOrdinal(Int64 Value);
  void WriteFloat(Extended Value);
  void WriteText(const String& Value);
  void WriteObject(TObject* Value);
  // Appends to Values; the receiver of name enumerations.
  void AddValue(const String& Value);

private:
  TfrxCustomDesigner* FDesigner = nullptr;
  std::vector<TObject*> FInstances;
  std::vector<const TPropInfo*> FPropInfos;
  int FItemHeight = 0;
  mutable std::unique_ptr<TStringList> FValues;
};

// A new editor of that class (a TfrxPropertyEditor descendant) for the designer.
std::unique_ptr<TfrxPropertyEditor> CreatePropertyEditor(TClass EditorClass, TfrxCustomDesigner* Designer);
