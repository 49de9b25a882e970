// TStrings and TStringList.
#include "core/StringList.h"

#include "core/Classes.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

const char* const SDuplicateString = "String list does not allow duplicates";
const char* const SSortedListError = "Operation not allowed on sorted list";
const char* const SListIndexError = "List index out of bounds (%d)";

KELM_PUBLISH(TStrings) {}
KELM_PUBLISH(TStringList) {}

namespace {
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

// ---------------------------------------------------------------- TStrings

void TStrings::Error(const char* Msg, int Data) const {
  char buf[256];
  std::snprintf(buf, sizeof buf, Msg, Data);
  throw EStringListError(buf);
}

int TStrings::Add(const String& S) {
  int result = GetCount();
  Insert(result, S);
  return result;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
  int result = Add(S);
  PutObject(result, AObject);
  return result;
}

// The count is taken first, so a list can add itself (it doubles) instead of running forever.
void TStrings::AddStrings(TStrings* Strings) {
  WithinUpdate(*this, [&] {
    const int n = Strings->Count();
    for (int i = 0; i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  });
}

void TStrings::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TStrings*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  WithinUpdate(*this, [&] {
    Clear();
    FDelimiter = src->FDelimiter;
    FQuoteChar = src->FQuoteChar;
    FNameValueSeparator = src->FNameValueSeparator;
    FStrictDelimiter = src->FStrictDelimiter;
    AddStrings(src);
  });
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Exchange(int Index1, int Index2) {
  WithinUpdate(*this, [&] {
    String s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
  });
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (!Strings || Strings->GetCount() != GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

int TStrings::IndexOf(const String& S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& Name) const {
  for (int i = 0; i < GetCount(); ++i) {
    String s = Get(i);
    std::size_t p = s.find(FNameValueSeparator);
    if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

// Both indexes are checked before the line leaves its place, so a bad target loses nothing.
void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= GetCount()) Error(SListIndexError, CurIndex);
  if (NewIndex < 0 || NewIndex >= GetCount()) Error(SListIndexError, NewIndex);
  WithinUpdate(*this, [&] {
    String s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
  });
}

void TStrings::Put(int Index, const String& S) {
  TObject* o = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, o);
}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return AnsiCompareText(S1, S2); }

String TStrings::ExtractName(const String& S) const {
  std::size_t p = S.find(FNameValueSeparator);
  return p == String::npos ? String() : S.substr(0, p);
}

String TStrings::Names(int Index) const { return ExtractName(Get(Index)); }

String TStrings::Values(const String& Name) const {
  int i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : String();
}

// A sorted list cannot take a line in place, so the line is taken out and added back; a new
// line goes in whole, never as an empty line first.
void TStrings::ReplaceLine(int Index, const String& S) {
  if (!IsSorted()) {
    Put(Index, S);
    return;
  }
  TObject* o = GetObject(Index);
  WithinUpdate(*this, [&] {
    Delete(Index);
    AddObject(S, o);
  });
}

void TStrings::SetValues(const String& Name, const String& Value) {
  int i = IndexOfName(Name);
  String line = Name + FNameValueSeparator + Value;
  if (Value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(line);
  } else {
    ReplaceLine(i, line);
  }
}

String TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return String();
  String s = Get(Index);
  std::size_t p = s.find(FNameValueSeparator);
  return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const String& Value) {
  if (Value.empty()) {
    if (Index >= 0) Delete(Index);
  } else if (Index < 0) {
    Add(FNameValueSeparator + Value);
  } else {
    ReplaceLine(Index, Names(Index) + FNameValueSeparator + Value);
  }
}

String TStrings::GetTextStr() const {
  String r;
  for (int i = 0, n = GetCount(); i < n; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetTextStr(const String& Value) {
  WithinUpdate(*this, [&] {
    Clear();
    std::size_t p = 0, n = Value.size();
    while (p < n) {
      std::size_t start = p;
      while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
      Add(Value.substr(start, p - start));
      if (p < n && Value[p] == '\r') ++p;
      if (p < n && Value[p] == '\n') ++p;
    }
  });
}

String TStrings::GetDelimited(char Delim, char Quote, bool Strict) const {
  int n = GetCount();
  if (n == 1 && Get(0).empty()) return String(2, Quote);
  String r;
  for (int i = 0; i < n; ++i) {
    String s = Get(i);
    bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
      return c == Quote || c == Delim || c == '\0' || (!Strict && IsBlank(c));
    });
    if (i > 0) r += Delim;
    r += quote ? AnsiQuotedStr(s, Quote) : s;
  }
  return r;
}

void TStrings::SetDelimited(const String& Value, char Delim, char Quote, bool Strict) {
  const std::size_t n = Value.size();
  auto skipBlanks = [&](std::size_t& p) {
    if (!Strict)
      while (p < n && IsBlank(Value[p])) ++p;
  };
  WithinUpdate(*this, [&] {
    Clear();
    std::size_t p = 0;
    skipBlanks(p);
    while (p < n) {
      String s;
      if (Value[p] == Quote) {
        // A doubled quote stands for one; an unterminated item runs to the end.
        ++p;
        while (p < n) {
          if (Value[p] == Quote) {
            if (p + 1 < n && Value[p + 1] == Quote) {
              s += Quote;
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          s += Value[p++];
        }
      } else {
        std::size_t start = p;
        while (p < n && Value[p] != Delim && (Strict || !IsBlank(Value[p]))) ++p;
        s = Value.substr(start, p - start);
      }
      Add(s);
      skipBlanks(p);
      if (p < n && Value[p] == Delim) {
        if (p + 1 == n) Add(String());
        ++p;
        skipBlanks(p);
      }
    }
  });
}

String TStrings::CommaText() const { return GetDelimited(',', '"', false); }
void TStrings::SetCommaText(const String& Value) { SetDelimited(Value, ',', '"', false); }
String TStrings::DelimitedText() const { return GetDelimited(FDelimiter, FQuoteChar, FStrictDelimiter); }
void TStrings::SetDelimitedText(const String& Value) { SetDelimited(Value, FDelimiter, FQuoteChar, FStrictDelimiter); }

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->Size() - Stream->Position();
  String s;
  if (size > 0) {
    s.resize(static_cast<std::size_t>(size));
    s.resize(static_cast<std::size_t>(Stream->Read(s.data(), size)));
  }
  if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) s.erase(0, 3);
  SetTextStr(s);
}

void TStrings::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* Stream) {
  String s = GetTextStr();
  Stream->WriteBuffer(s.data(), static_cast<Int64>(s.size()));
}

// ---------------------------------------------------------------- TStringList

TStringList::~TStringList() {
  FOnChange = nullptr;
  FOnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& item : FList) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && FOnChange) FOnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && FOnChanging) FOnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating) Changing();
  else Changed();
}

int TStringList::Add(const String& S) { return AddObject(S, nullptr); }

int TStringList::Add(String&& S) {
  int result;
  if (PlaceFor(S, result)) InsertItem(result, std::move(S), nullptr);
  return result;
}

int TStringList::AddObject(const String& S, TObject* AObject) {
  int result;
  if (PlaceFor(S, result)) InsertItem(result, S, AObject);
  return result;
}

bool TStringList::PlaceFor(const String& S, int& Index) const {
  Index = GetCount();
  if (FSorted && Find(S, Index)) {
    if (FDuplicates == dupIgnore) return false;
    if (FDuplicates == dupError) Error(SDuplicateString, 0);
  }
  return true;
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (auto& item : old) delete item.FObject;
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* obj = FList[Index].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete obj;
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[Index1], FList[Index2]);
  Changed();
}

bool TStringList::Find(const String& S, int& Index) const {
  bool result = false;
  int l = 0, h = GetCount() - 1;
  while (l <= h) {
    int i = (l + h) / 2;
    int c = CompareStrings(FList[i].FString, S);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        result = true;
        if (FDuplicates != dupAccept) l = i;
      }
    }
  }
  Index = l;
  return result;
}

int TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int i;
  return Find(S, i) ? i : -1;
}

// Refused up front: moving within a sorted list would drop the line and then fail to insert it.
void TStringList::Move(int CurIndex, int NewIndex) {
  if (FSorted && CurIndex != NewIndex) Error(SSortedListError, 0);
  TStrings::Move(CurIndex, NewIndex);
}

void TStringList::Insert(int Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const String& S, TObject* AObject) {
  if (FSorted) Error(SSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, String S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{std::move(S), AObject});
  Changed();
}

String TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[Index].FString;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[Index].FObject;
}

void TStringList::Put(int Index, const String& S) {
  if (FSorted) Error(SSortedListError, 0);
  CheckIndex(Index);
  Changing();
  FList[Index].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[Index].FObject = AObject;
  Changed();
}

void TStringList::SetCapacity(int NewCapacity) {
  if (NewCapacity < GetCount()) Error("List capacity out of bounds (%d)", NewCapacity);
  FList.reserve(static_cast<std::size_t>(NewCapacity));
}

int TStringList::CompareStrings(const String& S1, const String& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->FList[a].FString, list->FList[b].FString);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (FSorted || GetCount() <= 1) return;
  Changing();
  SortItems(Compare);
  Changed();
}

// Orders a permutation of the indexes, so the comparer sees the list unchanged, then applies it.
void TStringList::SortItems(const TStringListSortCompare& Compare) {
  std::vector<int> order(FList.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.size());
  for (int i : order) sorted.push_back(std::move(FList[i]));
  FList.swap(sorted);
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

// A sorted list is put back in order under the new comparison, or Find would go astray.
void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted && GetCount() > 1) {
    Changing();
    SortItems([](TStringList* list, int a, int b) {
      return list->CompareStrings(list->FList[a].FString, list->FList[b].FString);
    });
    Changed();
  }
}
