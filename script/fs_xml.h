#pragma once
// The script engine's own small element tree: it holds each language grammar while it is in
// use, the intermediate program the front end produces for the program builder, and the
// dictionary of registered names the designer shows. Scripts can build and walk such trees too.
//
// The tree keeps tags only: text between tags is dropped when reading and never written.
// Attributes are not parsed: an element keeps its attribute text raw (`text="x" pos="1:5"`),
// values inside it stay escaped, and Prop looks one value up on demand.
// The front end writes the intermediate program's `text`, `pos` and `pos1` as typed values
// instead (SetILAttrs): Prop answers those without scanning or unescaping, and the raw text is
// put together only when someone asks for Text.
//
// An element owns its children. Destroying an element destroys its subtree and takes it out of
// its parent's list, so a child may be freed on its own. The child list exists only from the
// first child on; "no list" and "empty" both mean no children.
//
// Reading and writing (TfsXMLReader, TfsXMLWriter) are in fs_xmlio.h. Every format error is an
// Exception "Invalid file format"; what was loaded before the error stays in the document.
// Declares TfsXMLItem and TfsXMLDocument.
#include "core/System.h"
#include "core/TypInfo.h"

#include <memory>
#include <vector>

class TStream;

class TfsXMLItem : public TObject {
  KELM_CLASS(TfsXMLItem, TObject)
public:
  TfsXMLItem() = default;
  ~TfsXMLItem() override;

  // Elements come and go by the hundred in every compile: freed ones are kept, per thread and
  // up to a bound, for the next to be made.
  static void* operator new(std::size_t Size);
  static void operator delete(void* Block, std::size_t Size);

  // ---- the element's own values
  // Data is the caller's: copied by CopyFrom, never read or written as XML.
  Integer Data() const { return FData; }
  void SetData(Integer Value) { FData = Value; }
  const String& Name() const { return FName; }
  void SetName(String Value) { FName = std::move(Value); }
  // The raw attribute text between the name and `>` or `/>`, without the separating blank.
  const String& Text() const {
    if (FIL.Typed && !FIL.Composed) ComposeText();
    return FText;
  }
  // Replaces the attributes, typed ones included.
  void SetText(String Value);
  // The intermediate program's attributes as values: `text` (unescaped) when HasValue, `pos`
  // as Line:Col when Line > 0, `pos1` as Line1:Col1 when Line1 > 0, written in that order.
  void SetILAttrs(String Value, bool HasValue, int Line, int Col, int Line1 = 0, int Col1 = 0);
  // Whether the attributes are held as values (SetILAttrs, no SetText since); then Line and
  // Col get `pos` as numbers, Line 0 when there is none.
  // Prop("text") and Prop("pos"), without naming them: the builder reads them for nearly every
  // element.
  String TextProp() const;
  String PosProp() const;
  bool ILPosition(int& Line, int& Col) const {
    if (!FIL.Typed) return false;
    Line = FIL.Line;
    Col = FIL.Col;
    return true;
  }
  // The same for `pos1`.
  bool ILPosition1(int& Line, int& Col) const {
    if (!FIL.Typed) return false;
    Line = FIL.Line1;
    Col = FIL.Col1;
    return true;
  }
  TfsXMLItem* Parent() const { return FParent; }
  // The topmost ancestor; the element itself when it has no parent.
  TfsXMLItem* Root();

  // ---- children
  int Count() const { return FItems.Size(); }
  // Room for that many children without growing the list again.
  void ReserveItems(int N) { FItems.Reserve(N); }
  // EListError "List index out of bounds (%d)" outside 0 .. Count - 1.
  TfsXMLItem* Items(int Index) const;
  TfsXMLItem* operator[](int Index) const { return Items(Index); }
  // Frees the children and drops the list; Name, Text and Data stay.
  void Clear();
  // A new empty element appended as last child.
  TfsXMLItem* Add();
  // Appends an existing element, taking it out of its former parent (or moving it to the end).
  void AddItem(TfsXMLItem* Item);
  // As AddItem, then moves the element to position Index.
  void InsertItem(int Index, TfsXMLItem* Item);
  // Index of the first child of that name, ignoring case; -1 when none.
  int Find(const String& AName) const;
  // The first child of that name; appended as a new child when missing, so never nullptr.
  TfsXMLItem* FindItem(const String& AName);
  // Frees the children, then copies Name, Text, Data and a deep copy of Item's children.
  void CopyFrom(const TfsXMLItem* Item);

  // The unescaped value of one attribute, '' when absent. The name must stand at the start of
  // Text or after a blank and be followed by `="`; the first match anywhere wins.
  String Prop(const String& AName) const;

private:
  // The children: most elements have none, one or two, kept inside the element; a longer list
  // goes to the heap. The front end makes an element with a list for nearly every node.
  class TChildList {
  public:
    TChildList() = default;
    ~TChildList() {
      if (FData != FInline) ::operator delete(FData);
    }
    TChildList(const TChildList&) = delete;
    TChildList& operator=(const TChildList&) = delete;

    int Size() const { return FSize; }
    bool Empty() const { return FSize == 0; }
    TfsXMLItem* operator[](int Index) const { return FData[Index]; }
    TfsXMLItem** begin() const { return FData; }
    TfsXMLItem** end() const { return FData + FSize; }
    void Reserve(int N) {
      if (N > FCapacity) Grow(N);
    }
    void PushBack(TfsXMLItem* Item) {
      if (FSize == FCapacity) Grow(FCapacity * 2);
      FData[FSize++] = Item;
    }
    // Removes the entry at Index, keeping the order of the rest.
    void EraseAt(int Index);
    // Takes Other's entries, leaving it empty; this list must be empty.
    void TakeFrom(TChildList& Other);

  private:
    static constexpr int kInline = 2;
    void Grow(int N);

    TfsXMLItem** FData = FInline;
    int FSize = 0;
    int FCapacity = kInline;
    TfsXMLItem* FInline[kInline] = {};
  };

  struct TILAttrs {
    String Value;
    int Line = 0, Col = 0, Line1 = 0, Col1 = 0;
    bool Typed = false;     // set by SetILAttrs, cleared by SetText
    bool HasValue = false;
    mutable bool Composed = false;  // FText holds them written out
  };

  void Detach(TfsXMLItem* Child);
  void ComposeText() const;
  String ILProp(const String& AName) const;

  Integer FData = 0;
  TChildList FItems;
  String FName;
  TfsXMLItem* FParent = nullptr;
  mutable String FText;
  TILAttrs FIL;
};

class TfsXMLDocument : public TObject {
  KELM_CLASS(TfsXMLDocument, TObject)
public:
  TfsXMLDocument();
  ~TfsXMLDocument() override;

  // Kept for the document's life: loading replaces its content, never the element.
  TfsXMLItem* Root() const { return FRoot.get(); }

  // Reads from the stream's position: an `<?xml ...?>` header, then the first element into Root.
  void LoadFromStream(TStream* Stream);
  // One line: the header, then the tree.
  void SaveToStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

private:
  std::unique_ptr<TfsXMLItem> FRoot;
};

// A value made safe for a double-quoted attribute: line feed, carriage return, `"`, `&`, `<`
// and `>` become `&#<code>;`. Every `&` is escaped, so a value that already holds an entity
// comes back unchanged from UnescapeAttrText.
String EscapeAttrText(const String& Value);
// Appends "Line:Col", as positions are written.
void AppendLineCol(String& S, int Line, int Col);
// Undoes EscapeAttrText: `&#<decimal>;` becomes the character with the code's low 8 bits and
// `&quot;` a `"`; other `&` sequences stay. A code that is no integer raises EConvertError.
String UnescapeAttrText(const String& Value);
