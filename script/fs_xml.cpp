// The script XML tree: elements, the document, and the attribute escaping.
#include "script/fs_xml.h"

#include "script/fs_xmlio.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "core/StringList.h"

#include <algorithm>
#include <cassert>
#include <charconv>

namespace {

bool NonAscii(std::string_view A, std::string_view B) {
  unsigned char high = 0;
  for (char c : A) high |= static_cast<unsigned char>(c);
  for (char c : B) high |= static_cast<unsigned char>(c);
  return high >= 0x80;
}

}  // namespace

namespace {

// Freed elements of this thread, linked through their first word. Plain data, so it stays
// usable while other thread-local objects are torn down; the keeper below frees the list when
// the thread ends and from then on elements go straight back to the heap.
struct TFreeItems {
  void* Head;
  int Count;
  bool Closed;
};
// The library is linked with the program, never loaded later, so its thread data can sit at a
// fixed offset: reached without a lookup call on every element made and freed.
#if defined(__GNUC__)
#define KELM_FIXED_TLS __attribute__((tls_model("initial-exec")))
#else
#define KELM_FIXED_TLS
#endif
KELM_FIXED_TLS thread_local TFreeItems freeItems{nullptr, 0, false};
constexpr int kKeptItems = 16384;

struct TFreeItemsKeeper {
  ~TFreeItemsKeeper() {
    freeItems.Closed = true;
    while (void* block = freeItems.Head) {
      freeItems.Head = *static_cast<void**>(block);
      ::operator delete(block);
    }
    freeItems.Count = 0;
  }
};
thread_local TFreeItemsKeeper freeItemsKeeper;

}  // namespace

KELM_PUBLISH(TfsXMLItem) {}
KELM_PUBLISH(TfsXMLDocument) {}

// ---------------------------------------------------------------- TfsXMLItem

void* TfsXMLItem::operator new(std::size_t Size) {
  if (Size == sizeof(TfsXMLItem) && freeItems.Head) {
    void* block = freeItems.Head;
    freeItems.Head = *static_cast<void**>(block);
    --freeItems.Count;
    return block;
  }
  return ::operator new(Size);
}

void TfsXMLItem::operator delete(void* Block, std::size_t Size) {
  if (Size == sizeof(TfsXMLItem) && !freeItems.Closed && freeItems.Count < kKeptItems) {
    if (freeItems.Count == 0) (void)&freeItemsKeeper;  // the keeper exists once the list is used
    *static_cast<void**>(Block) = freeItems.Head;
    freeItems.Head = Block;
    ++freeItems.Count;
    return;
  }
  ::operator delete(Block);
}

// ---------------------------------------------------------------- the child list

void TfsXMLItem::TChildList::Grow(int N) {
  N = std::max(N, kInline);
  auto** data = static_cast<TfsXMLItem**>(::operator new(sizeof(TfsXMLItem*) * static_cast<std::size_t>(N)));
  std::copy(FData, FData + FSize, data);
  if (FData != FInline) ::operator delete(FData);
  FData = data;
  FCapacity = N;
}

void TfsXMLItem::TChildList::EraseAt(int Index) {
  assert(Index >= 0 && Index < FSize);
  std::copy(FData + Index + 1, FData + FSize, FData + Index);
  --FSize;
}

void TfsXMLItem::TChildList::TakeFrom(TChildList& Other) {
  assert(FSize == 0);
  if (FData != FInline) ::operator delete(FData);
  if (Other.FData == Other.FInline) {
    FData = FInline;
    FCapacity = kInline;
    std::copy(Other.FData, Other.FData + Other.FSize, FData);
  } else {
    FData = Other.FData;
    FCapacity = Other.FCapacity;
  }
  FSize = Other.FSize;
  Other.FData = Other.FInline;
  Other.FSize = 0;
  Other.FCapacity = kInline;
}

// ---------------------------------------------------------------- TfsXMLItem

TfsXMLItem::~TfsXMLItem() {
  Clear();
  if (FParent) FParent->Detach(this);
}

void TfsXMLItem::Detach(TfsXMLItem* Child) {
  assert(Child->FParent == this);
  // Children are most often freed from the end (Clear, a failed read), so search from there.
  int i = FItems.Size() - 1;
  while (i >= 0 && FItems[i] != Child) --i;
  assert(i >= 0);
  FItems.EraseAt(i);
  Child->FParent = nullptr;
}

TfsXMLItem* TfsXMLItem::Root() {
  TfsXMLItem* r = this;
  while (r->FParent) r = r->FParent;
  return r;
}

TfsXMLItem* TfsXMLItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[Index];
}

void TfsXMLItem::Clear() {
  if (FItems.Empty()) return;
  TChildList items;
  items.TakeFrom(FItems);
  for (TfsXMLItem* child : items) {
    child->FParent = nullptr;  // already out of the list
    delete child;
  }
}

TfsXMLItem* TfsXMLItem::Add() {
  auto* item = new TfsXMLItem;
  AddItem(item);
  return item;
}

void TfsXMLItem::AddItem(TfsXMLItem* Item) {
  assert(Item && Item != this);
  if (Item->FParent) Item->FParent->Detach(Item);
  FItems.PushBack(Item);
  Item->FParent = this;
}

void TfsXMLItem::InsertItem(int Index, TfsXMLItem* Item) {
  // Checked before anything moves: a bad index leaves both trees as they were.
  int last = Count() - (Item->FParent == this ? 1 : 0);
  if (Index < 0 || Index > last) throw EListError(Format(SListIndexError, {Index}));
  AddItem(Item);
  std::rotate(FItems.begin() + Index, FItems.end() - 1, FItems.end());
}

int TfsXMLItem::Find(const String& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(FItems[i]->FName, AName)) return i;
  return -1;
}

TfsXMLItem* TfsXMLItem::FindItem(const String& AName) {
  int i = Find(AName);
  if (i >= 0) return FItems[i];
  TfsXMLItem* item = Add();
  item->FName = AName;
  return item;
}

void TfsXMLItem::CopyFrom(const TfsXMLItem* Item) {
  Clear();
  if (!Item) return;
  FName = Item->FName;
  FText = Item->FText;
  FIL = Item->FIL;
  FData = Item->FData;
  FItems.Reserve(Item->FItems.Size());
  for (int i = 0; i < Item->Count(); ++i) Add()->CopyFrom(Item->Items(i));
}

void TfsXMLItem::SetText(String Value) {
  FText = std::move(Value);
  FIL = TILAttrs();
}

void TfsXMLItem::SetILAttrs(String Value, bool HasValue, int Line, int Col, int Line1, int Col1) {
  FText.clear();
  FIL.Value = std::move(Value);
  FIL.Line = Line;
  FIL.Col = Col;
  FIL.Line1 = Line1;
  FIL.Col1 = Col1;
  FIL.Typed = true;
  FIL.HasValue = HasValue;
  FIL.Composed = false;
}

void AppendLineCol(String& S, int Line, int Col) {
  // Written backwards into a buffer: positions are made for nearly every element built.
  char buffer[32];
  char* const end = buffer + sizeof buffer;
  char* p = end;
  auto put = [&p](int Value) {
    unsigned u = Value < 0 ? 0u - static_cast<unsigned>(Value) : static_cast<unsigned>(Value);
    do {
      *--p = static_cast<char>('0' + u % 10);
      u /= 10;
    } while (u != 0);
    if (Value < 0) *--p = '-';
  };
  put(Col);
  *--p = ':';
  put(Line);
  S.append(p, end);
}

void TfsXMLItem::ComposeText() const {
  String text;
  if (FIL.HasValue) {
    text += "text=\"";
    text += EscapeAttrText(FIL.Value);
    text += '"';
  }
  if (FIL.Line > 0) {
    if (!text.empty()) text += ' ';
    text += "pos=\"";
    AppendLineCol(text, FIL.Line, FIL.Col);
    text += '"';
  }
  if (FIL.Line1 > 0) {
    if (!text.empty()) text += ' ';
    text += "pos1=\"";
    AppendLineCol(text, FIL.Line1, FIL.Col1);
    text += '"';
  }
  FText = std::move(text);
  FIL.Composed = true;
}

String TfsXMLItem::ILProp(const String& AName) const {
  // The same answers as a scan of the composed text: names ignore case, absent ones give ''.
  // Only `text`, `pos` and `pos1` exist, so the length picks the candidate.
  auto is = [&AName](std::string_view Name) {
    for (std::size_t i = 0; i < Name.size(); ++i) {
      const char c = AName[i], n = Name[i];  // n: a lower-case letter or a digit
      if (c != n && !(n >= 'a' && n <= 'z' && c == n - ('a' - 'A'))) return false;
    }
    return true;
  };
  String result;
  switch (AName.size()) {
    case 3:
      if (is("pos") && FIL.Line > 0) AppendLineCol(result, FIL.Line, FIL.Col);
      break;
    case 4:
      if (is("text")) {
        if (FIL.HasValue) result = FIL.Value;
      } else if (is("pos1") && FIL.Line1 > 0) {
        AppendLineCol(result, FIL.Line1, FIL.Col1);
      }
      break;
    default:
      break;
  }
  return result;
}

String TfsXMLItem::TextProp() const {
  if (!FIL.Typed) return Prop("text");
  return FIL.HasValue ? FIL.Value : String();
}

String TfsXMLItem::PosProp() const {
  if (!FIL.Typed) return Prop("pos");
  String result;
  if (FIL.Line > 0) AppendLineCol(result, FIL.Line, FIL.Col);
  return result;
}

String TfsXMLItem::Prop(const String& AName) const {
  if (FIL.Typed) return ILProp(AName);
  // The name is compared in place, ignoring case, instead of upper-casing a copy of the whole
  // text: an upper-cased copy of a UTF-8 text need not keep its byte offsets.
  const std::string_view text = FText;
  const std::size_t n = AName.size();
  if (n == 0) return String();
  for (std::size_t p = 0; p + n + 2 <= text.size(); ++p) {
    if (p > 0 && text[p - 1] != ' ') continue;
    if (text[p + n] != '=' || text[p + n + 1] != '"') continue;
    // Names are ASCII nearly always: compared inline, with the full rules only for others.
    if (!SameText(text.substr(p, n), AName) && !(NonAscii(text.substr(p, n), AName) && AnsiSameText(text.substr(p, n), AName)))
      continue;
    std::size_t start = p + n + 2;
    std::size_t end = text.find('"', start);
    if (end == std::string_view::npos) return String();
    return UnescapeAttrText(String(text.substr(start, end - start)));
  }
  return String();
}

// ---------------------------------------------------------------- TfsXMLDocument

TfsXMLDocument::TfsXMLDocument() : FRoot(std::make_unique<TfsXMLItem>()) {}

TfsXMLDocument::~TfsXMLDocument() = default;

void TfsXMLDocument::LoadFromStream(TStream* Stream) {
  TfsXMLReader reader(Stream);
  reader.ReadDocument(FRoot.get());
}

void TfsXMLDocument::SaveToStream(TStream* Stream) {
  TfsXMLWriter writer(Stream);
  writer.WriteDocument(FRoot.get());
}

void TfsXMLDocument::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TfsXMLDocument::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---------------------------------------------------------------- escaping

String EscapeAttrText(const String& Value) {
  String r;
  r.reserve(Value.size());
  for (char c : Value) {
    switch (c) {
      case '\n': case '\r': case '"': case '&': case '<': case '>':
        r += "&#";
        r += IntToStr(static_cast<unsigned char>(c));
        r += ';';
        break;
      default:
        r += c;
    }
  }
  return r;
}

String UnescapeAttrText(const String& Value) {
  const std::string_view v = Value;
  if (v.find('&') == std::string_view::npos) return Value;
  String r;
  r.reserve(v.size());
  std::size_t i = 0;
  while (i < v.size()) {
    char c = v[i];
    if (c == '&' && i + 3 < v.size()) {
      if (v[i + 1] == '#') {
        std::size_t semi = v.find(';', i + 2);
        if (semi != std::string_view::npos) {
          int code = StrToInt(v.substr(i + 2, semi - i - 2));
          r += static_cast<char>(code & 0xFF);
          i = semi + 1;
          continue;
        }
      } else if (v.substr(i + 1, 5) == "quot;") {
        r += '"';
        i += 6;
        continue;
      }
    }
    r += c;
    ++i;
  }
  return r;
}
