#pragma once
// TStrings, the string list protocol every list of text follows (its text, names and values,
// streaming), and TStringList, strings held in memory.
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/Persistent.h"

#include <functional>
#include <vector>

class TStream;

// ============================================================== TStrings

// A list of strings with an object for each. Lookups ignore case unless the list says otherwise.
class TStrings : public TPersistent {
  KELM_CLASS(TStrings, TPersistent)
public:
  TStrings() = default;
  ~TStrings() override = default;

  virtual int Add(const String& S);
  // Takes the text over instead of copying it where the list keeps its own strings.
  virtual int Add(String&& S) { return Add(static_cast<const String&>(S)); }
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
  int Add(String&& S) override;
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
  virtual void InsertItem(int Index, String S, TObject* AObject);

private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };
  void CheckIndex(int Index) const;
  // Where Add puts S; false when a sorted list ignores it as a duplicate (Index: the match).
  bool PlaceFor(const String& S, int& Index) const;
  void SortItems(const TStringListSortCompare& Compare);

  std::vector<TStringItem> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};
