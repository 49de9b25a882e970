#pragma once
// The report library's element tree: definitions (.fr3), prepared reports (.fp3) and the page
// store are read and written through it.
//
// The tree keeps tags only. Text between tags is skipped when reading and never written, and
// attributes are not parsed: each element keeps its attribute text raw (values escaped) and
// single values are looked up in it on demand. A subtree marked unloadable (written with
// ld="0") can stay out of memory: after a partial read it is read lazily from the stream it
// came from, and SwapOut moves a loaded one to a temporary file, from which SwapIn brings it
// back. That keeps only a few pages of a long prepared report in memory.
//
//   TfrxXMLDocument doc;
//   doc.ReadFromStream(stream, false);                // whole tree; the caller keeps the stream
//   String left = doc.Root()->ChildAt(0)->AttrValue("Left");
//
// Format errors raise Exception "Invalid file format": no ?xml header, '<' inside a tag, a
// stream ending inside a tag, a closing tag of another name, nesting deeper than
// MaxXMLDepth, a tag longer than MaxXMLTagSize, an Offset outside its stream.
#include "core/System.h"

#include <memory>
#include <vector>

class TStream;
class Variant;

constexpr int MaxXMLDepth = 512;
constexpr Int64 MaxXMLTagSize = 16 * 1024 * 1024;
constexpr Int64 MaxXMLOffset = (Int64(1) << 40) - 1;

// One element: name, raw attribute text, owned children.
class TfrxXMLItem {
public:
  TfrxXMLItem() = default;
  // Frees the subtree, then leaves the parent's child list.
  ~TfrxXMLItem();
  TfrxXMLItem(const TfrxXMLItem&) = delete;
  TfrxXMLItem& operator=(const TfrxXMLItem&) = delete;

  // --- properties
  void* Data() const { return FData; }                // the caller's; never read or written
  void SetData(void* Value) { FData = Value; }
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  void SetName(String&& Value) { FName = std::move(Value); }
  const String& Text() const { return FText; }        // raw attribute text
  void SetText(const String& Value) { FText = Value; }
  void SetText(String&& Value) { FText = std::move(Value); }
  bool Loaded() const { return FLoaded; }             // false while the children are out
  void SetLoaded(bool Value) { FLoaded = Value; }
  bool Unloadable() const { return FUnloadable; }     // written with the marker ld="0"
  void SetUnloadable(bool Value) { FUnloadable = Value; }
  TfrxXMLItem* Parent() const { return FParent; }
  // Where the subtree begins in the stream it is kept in; 40 bits.
  Int64 Offset() const { return (Int64(FHiOffset) << 32) | FLoOffset; }
  void SetOffset(Int64 Value);

  // --- children
  // Frees every child and drops the list; an unloadable element is then not loaded.
  void FreeChildren();
  TfrxXMLItem* AddChild();
  // Appends an element as last child, taking it out of its former parent (a child of this
  // element moves to the end).
  void AdoptChild(TfrxXMLItem* Item);
  void InsertChild(int Index, TfrxXMLItem* Item);
  TfrxXMLItem* ChildAt(int Index) const;  // EListError when out of range
  int ChildCount() const { return FChildren ? static_cast<int>(FChildren->size()) : 0; }
  int IndexOfChild(const TfrxXMLItem* Item) const;
  int IndexOfChildName(const String& Name) const;  // ignoring case; -1 when none
  // The child of that name; a new one is appended when there is none.
  TfrxXMLItem* ChildByName(const String& Name);

  // --- attributes
  // The unescaped value, '' when absent. The name matches ignoring case after a blank or at
  // the start of the text.
  String AttrValue(const String& Name) const;
  // Replaces the attribute in place (taking this letter case of the name) or appends it.
  void SetAttrValue(const String& Name, const String& Value);

private:
  friend class TfrxXMLReader;
  friend class TfrxXMLDocument;
  friend class TfrxXMLWriter;
  void DetachChild(TfrxXMLItem* Item);

  void* FData = nullptr;
  Byte FHiOffset = 0;
  bool FLoaded = true;
  bool FUnloadable = false;
  bool FInSwapFile = false;  // unloaded into the swap file, not into the source stream
  std::unique_ptr<std::vector<TfrxXMLItem*>> FChildren;
  std::uint32_t FLoOffset = 0;
  String FName;
  TfrxXMLItem* FParent = nullptr;
  String FText;
};

// A document: one root element kept for the document's life, and the streams that hold its
// unloaded subtrees.
class TfrxXMLDocument {
public:
  TfrxXMLDocument();
  ~TfrxXMLDocument();  // deletes the swap file, then frees the tree
  TfrxXMLDocument(const TfrxXMLDocument&) = delete;
  TfrxXMLDocument& operator=(const TfrxXMLDocument&) = delete;

  TfrxXMLItem* Root() const { return FRoot.get(); }
  bool AutoIndent() const { return FAutoIndent; }
  void SetAutoIndent(bool Value) { FAutoIndent = Value; }
  // Folder of the swap file ('' is the temporary folder); its first 64 characters are used.
  const String& TempDir() const { return FTempDir; }
  void SetTempDir(const String& Value) { FTempDir = Value; }
  const String& SwapFileName() const { return FSwapFileName; }

  void Clear();  // the root's children and the swap file go
  // Reads from the stream's position. With AllowPartialLoading unloadable elements stay on
  // the stream, which the document then owns and frees (also when the read fails).
  void ReadFromStream(TStream* Stream, bool AllowPartialLoading);
  void WriteToStream(TStream* Stream);
  // Moves a loaded unloadable element's children to the swap file.
  void SwapOut(TfrxXMLItem* Item);
  // Brings an unloaded element's children back; its attribute text stays as it is.
  void SwapIn(TfrxXMLItem* Item);
  void CreateSwapFile();
  // Frees the swap file (deleting it from disk) and a stream taken over by a partial read.
  void DeleteSwapFile();

private:
  TStream* StreamOf(const TfrxXMLItem* Item) const;

  std::unique_ptr<TfrxXMLItem> FRoot;
  bool FAutoIndent = false;
  String FTempDir;
  String FSwapFileName;
  std::unique_ptr<TStream> FSwapStream;    // the file this document created
  std::unique_ptr<TStream> FSourceStream;  // the stream a partial read took over
};

// One read, through a 4096-byte buffer. Destroying the reader leaves the stream just after
// the last byte consumed.
class TfrxXMLReader {
public:
  explicit TfrxXMLReader(TStream* Stream);
  ~TfrxXMLReader();
  TfrxXMLReader(const TfrxXMLReader&) = delete;
  TfrxXMLReader& operator=(const TfrxXMLReader&) = delete;

  Int64 Position() const { return FPosition; }
  void SetPosition(Int64 Value);
  void ReadHeader();  // the first tag must be <?xml ...>
  // The next tag; both empty at the end of the stream outside a tag. Comments are skipped.
  void ReadTag(String& Name, String& Text);
  // Reads one element into Item; true when a closing tag or the end came instead.
  bool ReadTree(TfrxXMLItem* Item, bool LoadAll);

private:
  bool Fill();  // false at the end
  bool ReadTree(TfrxXMLItem* Item, bool LoadAll, int Depth);

  TStream* FStream;
  std::unique_ptr<char[]> FBuffer;
  int FBufferCount = 0;
  int FBufferIndex = 0;
  Int64 FPosition;
  Int64 FSize;
  Int64 FStreamAt = 0;  // where the stream stands, so that reading on needs no seek
  Int64 FTagStart = 0;  // where the last tag's '<' stood
  String FLastName;  // the last tag's name, shared by the whole recursion
  String FTag;       // the tag being read, kept for its capacity
};

// One write, through a text buffer flushed above 4096 characters. Unloaded subtrees are read
// back from their streams for their own writing only.
class TfrxXMLWriter {
public:
  explicit TfrxXMLWriter(TStream* Stream) : FStream(Stream) {}
  ~TfrxXMLWriter();  // flushes

  bool AutoIndent() const { return FAutoIndent; }
  void SetAutoIndent(bool Value) { FAutoIndent = Value; }
  // Where unloaded elements are found: the swap file, and the stream of a partial read.
  void SetSwapStreams(TStream* SwapFile, TStream* Source) { FSwapFile = SwapFile; FSource = Source; }

  void WriteLine(const String& Text);
  void Flush();
  void WriteHeader();
  void WriteOpenTag(const TfrxXMLItem* Item, int Level);
  void WriteTree(TfrxXMLItem* Item);

private:
  void WriteItem(TfrxXMLItem* Item, int Level);
  void EndLine();  // the line's CR LF with AutoIndent; flushes above 4096 characters

  TStream* FStream;
  TStream* FSwapFile = nullptr;
  TStream* FSource = nullptr;
  bool FAutoIndent = false;
  String FBuffer;
};

// Attribute values: line feed, carriage return, '"', '&', '<' and '>' become &#N;.
String XMLEscapeText(const String& Value);
// &#N;, &#xH; and the five named entities become their characters; anything else stays.
// A code that is no number raises EConvertError.
String XMLUnescapeText(const String& Value);
// A value as attribute text: numbers, the date part of dates, "1"/"0", escaped strings; ''
// for every other type.
String VariantToXMLText(const Variant& Value);
