#pragma once
// The .fr3 serializer: a report object and its subtree to elements of the report XML tree and
// back, by the published properties of each class.
//
// An element is named by the object's class; its attribute text is Name="..." (not on the
// root) followed by the stored published properties in declaration order, base class first:
// ordinals and strings when they differ from their declared default, floats always (with
// "."), string lists as Prop.Text, owned sub-objects dotted (Font.Name), references by name,
// the text of text objects as Text (UTF-8), and the defined properties as PropData
// (hexadecimal of the platform's binary property records). Collections of a report inside
// PropData are a list of attribute texts.
//
// Reading is forgiving and safe: an element whose class is unknown, or is no report object,
// is skipped with its subtree ("xrCantFindClass"); an attribute that cannot be applied adds
// a line to Errors and the rest goes on; references resolve by name after the whole tree,
// and one that does not resolve is an Errors line too. Dotted names pass only through owned
// sub-objects, so a file cannot reach into the components it refers to.
//
//   TfrxXMLSerializer s(&stream);
//   s.SetOwner(report);
//   s.ReadTree(report, nullptr);          // errors in s.Errors()
#include "core/System.h"

#include <memory>
#include <vector>

class TCollection;
class TCollectionItem;
class TfrxComponent;
class TfrxReport;
class TfrxXMLItem;
class TMemoryStream;
class TPersistent;
class TPropInfo;
class TReader;
class TStream;
class TStringList;
class TStrings;
class TWriter;

class TfrxXMLSerializer {
public:
  // Stream may be nullptr for attribute-only use.
  explicit TfrxXMLSerializer(TStream* Stream);
  ~TfrxXMLSerializer();
  TfrxXMLSerializer(const TfrxXMLSerializer&) = delete;
  TfrxXMLSerializer& operator=(const TfrxXMLSerializer&) = delete;

  // Messages of everything that failed while reading; sorted, each once.
  TStrings* Errors() const;
  // The object names are resolved against (normally the report).
  TfrxComponent* Owner() const { return FOwner; }
  void SetOwner(TfrxComponent* Value) { FOwner = Value; }
  bool SaveDefaultValues() const { return FSaveDefaultValues; }
  void SetSaveDefaultValues(bool Value) { FSaveDefaultValues = Value; }

  // Without an element: a new auto-indented document with the object at its root, saved to
  // the stream. With one: the object written into it, nothing saved.
  void WriteTree(TfrxComponent* Object, bool SaveChildren, TfrxXMLItem* Item);
  // One object into an element; IsRoot leaves out its Name.
  void WriteObject(TfrxComponent* Object, TfrxXMLItem* Item, bool SaveChildren, bool IsRoot);
  // Without an element: a document read from the stream (format errors raise) and its root
  // read into the object. With one: that element.
  void ReadTree(TfrxComponent* Object, TfrxXMLItem* Item);
  // The children of an element, created under Parent, then references and the loaded pass.
  void ReadChildren(TfrxXMLItem* Item, TfrxComponent* Parent);

  // The attribute text of an object or collection item; each attribute after a blank.
  String PropsToAttributes(TPersistent* Object, const String& Prefix);
  // Applies an attribute text; failures go to Errors.
  void ReadAttributes(const String& Text, TPersistent* Object);
  // Class name and attribute text (no Name).
  String ObjectToText(TfrxComponent* Object);
  // <ObjectToText/> straight to the stream.
  void WriteObjectTag(TfrxComponent* Object);
  // One object from "ClassName attributes" (the designer's paste); nullptr for empty text.
  // An unknown class, or one that is no report object, raises EClassNotFound.
  TfrxComponent* ObjectFromText(TfrxComponent* AOwner, const String& Text);
  // An item's attribute text with its own reference resolution.
  void ReadCollectionItem(TfrxComponent* Root, TCollectionItem* Item, const String& Text);
  // Sets the references read by name; one that does not resolve is an Errors line.
  void ResolveFixups();

private:
  struct TFixup {
    TPersistent* Object;
    const TPropInfo* Prop;
    String Name;
  };
  void ReadElement(TfrxXMLItem* Item, TfrxComponent* Parent, TfrxComponent* Target);
  void FinishRead();
  void ApplyAttribute(TPersistent* Object, const String& Name, const String& Value);
  void SetProperty(TPersistent* Object, const TPropInfo* Prop, const String& Value);
  void ReadPropData(TPersistent* Object, const String& Hex);
  void WritePropData(TPersistent* Object, const String& Prefix, String& Out);
  void AddError(TPersistent* Object, const String& Attribute, const String& Message);
  String ObjectLabel(TPersistent* Object) const;
  TfrxReport* Report() const;

  std::unique_ptr<TStringList> FErrors;
  std::vector<TFixup> FFixups;
  std::vector<TFixup> FDataSetNames;  // DataSetName values, checked once references are set
  std::vector<TfrxComponent*> FRead;  // in reading order, for the loaded pass
  TfrxComponent* FOwner = nullptr;
  bool FSaveDefaultValues = false;
  TStream* FStream;
};

// ---------------------------------------------------------------- collections of a report

// A report's collection inside a binary property stream. While Owner is being written by the
// serializer (IsWriting), the .fr3 list form: a list holding, per item, a list with the item's
// attribute text as one long string. Otherwise the platform's collection value.
void WriteReportCollection(TCollection* Collection, TWriter* Writer, TfrxComponent* Owner);
// Reads either form. The list form applies each item's attributes through the report's
// running serializer (its references resolve with the tree's) or one of its own. In the
// platform's form, strings of items come back through DecodeItemStrings.
void ReadReportCollection(TCollection* Collection, TReader* Reader, TfrxComponent* Owner);
// Old layouts kept high bytes of item strings as a byte 1 followed by the byte less 128.
String DecodeItemString(const String& Value);
void DecodeItemStrings(TCollection* Collection);
