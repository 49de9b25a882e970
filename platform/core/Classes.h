#pragma once
// Lists of pointers and objects, bit maps, string lists and streams.
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/Persistent.h"
#include <functional>
#include <vector>

KELM_EXCEPTION(EBitsError, Exception);

class TStream;

// ============================================================== TList

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// Negative when Item1 sorts before Item2, 0 when equal, positive after.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

// An ordered list of untyped pointers. Index errors raise EListError
// "List index out of bounds (%d)".
class TList : public TObject {
public:
  TList() = default;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);      // the index it had, -1 when absent
  void* Extract(void* Item);   // removes without the lnDeleted notification; nullptr when absent
  int IndexOf(void* Item) const;
  void Move(int CurIndex, int NewIndex);
  void Exchange(int Index1, int Index2);
  void Sort(const TListSortCompare& Compare);  // stable
  virtual void Clear();
  void Pack();  // drops nil entries
  void Assign(const TList* Source);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  int Count() const { return static_cast<int>(FList.size()); }
  void SetCount(int NewCount);  // grows with nil entries
  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  void* operator[](int Index) const { return Items(Index); }
  void** List() { return FList.data(); }

  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

protected:
  // Told about every non-nil item that enters or leaves the list.
  virtual void Notify(void* Ptr, TListNotification Action) {}
  void CheckIndex(int Index) const;
  void Grow();

private:
  std::vector<void*> FList;
  int FCapacity = 0;
};

// A TList whose items are pointers to T.
template <class T> class TTypedList : public TList {
public:
  int Add(T* Item) { return TList::Add(Item); }
  void Insert(int Index, T* Item) { TList::Insert(Index, Item); }
  int Remove(T* Item) { return TList::Remove(Item); }
  T* Extract(T* Item) { return static_cast<T*>(TList::Extract(Item)); }
  int IndexOf(T* Item) const { return TList::IndexOf(Item); }
  T* Items(int Index) const { return static_cast<T*>(TList::Items(Index)); }
  void SetItems(int Index, T* Item) { TList::SetItems(Index, Item); }
  T* operator[](int Index) const { return Items(Index); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }
  void Sort(const std::function<int(T*, T*)>& Compare) {
    TList::Sort([&](void* a, void* b) { return Compare(static_cast<T*>(a), static_cast<T*>(b)); });
  }
};

// A list of objects; it frees the objects it drops only when OwnsObjects is set.
class TObjectList : public TList {
public:
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  template <class T> TObjectList(T*) = delete;
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  // The first object from AStartAt that is of AClass (exactly, or a descendant), -1 when none.
  int FindInstanceOf(TClass AClass, bool AExact = true, int AStartAt = 0) const;
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }
  TObject* operator[](int Index) const { return Items(Index); }
  TObject* First() const { return Items(0); }
  TObject* Last() const { return Items(Count() - 1); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects = false;
};

// ============================================================== TBits

// A growable map of bits. Negative indexes raise EBitsError "Bits index out of range".
class TBits : public TObject {
public:
  int Size() const { return static_cast<int>(FBits.size()); }
  void SetSize(int Value);
  bool Bits(int Index) const;          // raises past Size
  void SetBits(int Index, bool Value);  // grows the map to hold Index
  bool operator[](int Index) const { return Bits(Index); }
  int OpenBit() const;  // the first clear bit, Size when every bit is set

private:
  [[noreturn]] static void Error();
  std::vector<bool> FBits;
};

// ============================================================== TStrings

// A list of strings with an object for each. Lookups ignore case unless the list says otherwise.
class TStrings : public TPersistent {
  KELM_CLASS(TStrings, TPersistent)
public:
  TStrings() = default;
  ~TStrings() override = default;

  virtual int Add(const String& S);
  virtual int AddObject(const String& S, TObject* AObject);
  void Append(const String& S) { Add(S); }
  int AddPair(const String& Name, const String& Value) { return Add(Name + FNameValueSeparator + Value); }
  virtual void AddStrings(TStrings* Strings);
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;  // the lines, as the list property "Strings"
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  // Same count and the same strings, compared exactly.
  bool Equals(const TStrings* Strings) const;
  virtual int IndexOf(const String& S) const;
  virtual int IndexOfName(const String& Name) const;
  virtual int IndexOfObject(TObject* AObject) const;
  virtual void Insert(int Index, const String& S) = 0;
  virtual void InsertObject(int Index, const String& S, TObject* AObject);
  virtual void Move(int CurIndex, int NewIndex);

  // Whole-list text as UTF-8; a leading byte order mark is dropped when reading.
  virtual void LoadFromFile(const String& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToFile(const String& FileName);
  virtual void SaveToStream(TStream* Stream);

  int Count() const { return GetCount(); }
  String Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const String& S) { Put(Index, S); }
  String operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  virtual int Capacity() const { return GetCount(); }
  virtual void SetCapacity(int NewCapacity) {}

  // Name=value lines: the name is the text before the first separator, '' when there is none.
  String Names(int Index) const;
  String Values(const String& Name) const;
  void SetValues(const String& Name, const String& Value);  // '' deletes the line
  String ValueFromIndex(int Index) const;                    // '' for a line without separator
  void SetValueFromIndex(int Index, const String& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }

  // Every line ends with CR LF, the last too; reading splits at CR, LF and CR LF.
  String Text() const { return GetTextStr(); }
  void SetText(const String& Value) { SetTextStr(Value); }
  // Comma separated; items with blanks, commas, quotes or control characters in double quotes.
  String CommaText() const;
  void SetCommaText(const String& Value);
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char Value) { FDelimiter = Value; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char Value) { FQuoteChar = Value; }
  // Only the delimiter separates items; blanks stay part of them.
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

protected:
  virtual String Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void Put(int Index, const String& S);
  virtual void PutObject(int Index, TObject* AObject) {}
  virtual String GetTextStr() const;
  virtual void SetTextStr(const String& Value);
  virtual void SetUpdateState(bool Updating) {}
  virtual int CompareStrings(const String& S1, const String& S2) const;
  // Raises EStringListError with Msg, formatted with Data when it holds %d.
  [[noreturn]] void Error(const char* Msg, int Data) const;
  String ExtractName(const String& S) const;
  // True when the list keeps its own order and refuses lines put at an index.
  virtual bool IsSorted() const { return false; }
  void ReplaceLine(int Index, const String& S);

private:
  String GetDelimited(char Delim, char Quote, bool Strict) const;
  void SetDelimited(const String& Value, char Delim, char Quote, bool Strict);

  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
};

// ============================================================== TStringList

// Horizontal alignment of text, shared by fields, edits, labels and grid columns.
KELM_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
using TLeftRight = TAlignment;

KELM_ENUM(TDuplicates, dupIgnore, dupAccept, dupError)

class TStringList;
// Compares the items at two indexes of the list; the list is not changed while sorting.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

// Messages of the string lists.
extern const char* const SDuplicateString;  // "String list does not allow duplicates"
extern const char* const SSortedListError;  // "Operation not allowed on sorted list"
extern const char* const SListIndexError;   // "List index out of bounds (%d)"

// Strings held in memory. A sorted list orders by code point, ignoring case unless
// CaseSensitive; it refuses Insert and Put, and Add places each string by a binary search.
class TStringList : public TStrings {
  KELM_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  // No owner or collection argument turns into the Boolean above.
  template <class T> TStringList(T*) = delete;
  ~TStringList() override;

  int Add(const String& S) override;
  int AddObject(const String& S, TObject* AObject) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  // Binary search of a sorted list: true when found; Index = the match, or where S would go.
  virtual bool Find(const String& S, int& Index) const;
  int IndexOf(const String& S) const override;
  void Insert(int Index, const String& S) override;
  void InsertObject(int Index, const String& S, TObject* AObject) override;
  void Move(int CurIndex, int NewIndex) override;
  virtual void Sort();
  // Sorts an unsorted list (a sorted one keeps its order); equal items keep their order.
  virtual void CustomSort(const TStringListSortCompare& Compare);

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  // The list frees the objects of the lines it drops.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
  int Capacity() const override { return static_cast<int>(FList.capacity()); }
  void SetCapacity(int NewCapacity) override;

  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }
  void SetOnChanging(const TNotifyEvent& Value) { FOnChanging = Value; }

protected:
  virtual void Changed();
  virtual void Changing();
  String Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const String& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const String& S1, const String& S2) const override;
  bool IsSorted() const override { return FSorted; }
  virtual void InsertItem(int Index, const String& S, TObject* AObject);

private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index) const;
  void SortItems(const TStringListSortCompare& Compare);

  std::vector<TStringItem> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};

// ============================================================== streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// A sequence of bytes with a position. Short transfers through ReadBuffer and WriteBuffer raise
// EReadError "Stream read error" and EWriteError "Stream write error".
class TStream : public TObject {
public:
  // Bytes actually moved; 0 at the end or for a negative count.
  virtual Int64 Read(void* Buffer, Int64 Count) = 0;
  virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
  // The new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  Int64 Seek(Int64 Offset, Word Origin);  // soFromBeginning, soFromCurrent, soFromEnd

  void ReadBuffer(void* Buffer, Int64 Count);
  void WriteBuffer(const void* Buffer, Int64 Count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position() const;
  void SetPosition(Int64 Value) { Seek(Value, soBeginning); }
  virtual Int64 Size() const;
  virtual void SetSize(Int64 NewSize) {}
};

// A stream over a block of memory it does not manage.
class TCustomMemoryStream : public TStream {
public:
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override { return FSize; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);
  void* Memory() const { return FMemory; }

protected:
  void SetPointer(void* Ptr, Int64 Size);
  Int64 FPosition = 0;

private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable stream in memory. Capacity grows in steps of 8192 bytes; a descendant changes the
// step by overriding Realloc and calling ResizeMemory with its own rounding.
class TMemoryStream : public TCustomMemoryStream {
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  void Clear();
  void LoadFromStream(TStream* Stream);  // the whole of Stream, from its start
  void LoadFromFile(const String& FileName);
  void SetSize(Int64 NewSize) override;  // new bytes are zero
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Capacity() const { return FCapacity; }
  void SetCapacity(Int64 NewCapacity);

protected:
  // Returns the block for a capacity of NewCapacity bytes, after rounding it as this stream grows.
  virtual void* Realloc(Int64& NewCapacity);
  // Resizes the block to exactly NewCapacity bytes (0 frees it); raises EStreamError
  // "Out of memory while expanding memory stream" when memory runs out.
  void* ResizeMemory(Int64 NewCapacity);

private:
  Int64 FCapacity = 0;
};

// A memory stream that starts with a copy of a string.
class TStringStream : public TMemoryStream {
public:
  explicit TStringStream(const String& AString = String());
  String DataString() const;
  String ReadString(Int64 Count);  // up to Count bytes from the position
  void WriteString(const String& AString);
};

// A memory stream that starts with a copy of some bytes.
class TBytesStream : public TMemoryStream {
public:
  explicit TBytesStream(const TBytes& ABytes = TBytes());
  TBytes Bytes() const;  // the Size bytes of the stream
};

// Open modes of file streams; the share flags are accepted and ignored.
constexpr Word fmCreate = 0xFFFF;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// A stream over an open file descriptor it does not own.
class THandleStream : public TStream {
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override;
  void SetSize(Int64 NewSize) override;  // the position moves to NewSize
  int Handle() const { return FHandle; }

protected:
  int FHandle;
};

// A file opened by name ('\' or '/' separators, found regardless of case). Failures raise
// EFCreateError 'Cannot create file "<name>". <reason>' or EFOpenError 'Cannot open file ...'.
class TFileStream : public THandleStream {
public:
  TFileStream(const String& AFileName, Word Mode);
  ~TFileStream() override;
  const String& FileName() const { return FFileName; }

private:
  String FFileName;
};

// A new content for a file, written through a buffer to a temporary file beside it and put in
// its place by Commit, so the file holds either its old content or the whole new one. Freed
// without Commit (a failed export), the temporary file is removed and the old file is left
// as it was. The rules are WriteFileAtomic's: a symbolic link is followed, an existing file's
// permissions are kept, the data and the rename are flushed to disk. A folder, a file that
// cannot be written or a folder that takes no new file raise EFCreateError
// 'Cannot create file "<name>". <reason>' before anything is written; so do write failures.
class TBufferedFileStream : public TStream {
public:
  explicit TBufferedFileStream(const String& AFileName, int BufferSize = 65536);
  ~TBufferedFileStream() override;
  TBufferedFileStream(const TBufferedFileStream&) = delete;
  TBufferedFileStream& operator=(const TBufferedFileStream&) = delete;

  // Nothing is read back: 0.
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  // Only the position can be asked (Seek(0, soCurrent) or to the end): the stream is written
  // straight through; any other move raises EStreamError.
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override { return FSize; }
  // Puts the new content in the file's place; afterwards nothing more can be written.
  void Commit();
  bool Committed() const { return FCommitted; }
  const String& FileName() const { return FFileName; }
  // The temporary file being written ('' once committed or removed).
  const String& TempFileName() const { return FTempName; }

private:
  [[noreturn]] void Fail(int Err);
  void Flush();
  void Discard();

  String FFileName;
  String FTarget;    // the resolved file that is replaced
  String FTempName;
  int FHandle = -1;
  bool FExisted = false;
  unsigned FMode = 0;
  std::vector<char> FBuffer;
  std::size_t FUsed = 0;
  Int64 FSize = 0;
  bool FCommitted = false;
};
