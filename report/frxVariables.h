#pragma once
// A report's named variables, grouped into categories for the designer: an item whose name
// begins with a blank heads a category, and the items after it up to the next heading (or an
// item without name) belong to it; items before the first heading belong to none. The list
// is kept in "variables" files (.fd3) and in the report definition.
#include "core/Collection.h"
#include "core/Variant.h"

class TfrxXMLItem;
class TStream;
class TStrings;

class TfrxVariable : public TCollectionItem {
  KELM_CLASS(TfrxVariable, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TfrxVariable::Name, &TfrxVariable::SetName);
    b.Prop("Value", &TfrxVariable::Value, &TfrxVariable::SetValue);
  }
public:
  explicit TfrxVariable(TCollection* ACollection);
  void Assign(TPersistent* Source) override;

  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& Value) { FValue = Value; }

private:
  String FName;
  Variant FValue;
};

class TfrxVariables : public TCollection {
  KELM_CLASS(TfrxVariables, TCollection)
public:
  TfrxVariables();

  TfrxVariable* AppendItem() { return static_cast<TfrxVariable*>(Add()); }
  TfrxVariable* InsertItemAt(int Index) { return static_cast<TfrxVariable*>(Insert(Index)); }
  TfrxVariable* ItemAt(int Index) const { return static_cast<TfrxVariable*>(Items(Index)); }
  // The first item of that name (case ignored); -1 when none. Headings answer only to their
  // name with the leading blank.
  int FindIndex(const String& AName) const;
  // Null for a name that is not there.
  Variant GetVariables(const String& AName) const;
  // A name that is not there is appended, inside the last category.
  void SetVariables(const String& AName, const Variant& AValue);

  void ListCategories(TStrings* List, bool ClearFirst = true) const;
  // The names of a category's variables; '' lists those before the first heading.
  void ListCategoryVariables(const String& Category, TStrings* List) const;
  void RemoveCategory(const String& Category);
  void RemoveVariable(const String& AName);
  // A new item after the category's last; nothing when the category is missing.
  void AddToCategory(const String& Category, const String& AName, const Variant& AValue);

  void ReadFromXMLItem(TfrxXMLItem* Item);
  void WriteToXMLItem(TfrxXMLItem* Item);
  void ReadFromStream(TStream* Stream);
  void WriteToStream(TStream* Stream);
  void ReadFromFile(const String& FileName);
  void WriteToFile(const String& FileName);

private:
  bool IsHeading(int Index) const;
  // The index of the heading of that category; -1 when there is none.
  int HeadingIndex(const String& Category) const;
  // One past the last item of the category that starts after Heading.
  int CategoryEnd(int Heading) const;
};
