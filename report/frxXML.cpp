#include "report/frxXML.h"

#include "core/DateUtils.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/FloatFormat.h"
#include "core/Format.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "core/Variant.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

constexpr int kBufferSize = 4096;
constexpr const char* kInvalidFormat = "Invalid file format";
// What marks an unloadable element in the attribute text the reader recognises.
constexpr std::string_view kLoadMarker = " ld=\"0\"";

[[noreturn]] void FormatError() { throw Exception(kInvalidFormat); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Where the attribute Name starts in Text: after a blank or at the start, followed by `="`.
// std::string::npos when absent. Attribute names are ASCII, so folding ASCII letters is the
// locale's upper-casing for them, and byte positions stay those of Text.
std::size_t FindAttr(const String& Text, const String& Name) {
  const std::size_t n = Name.size();
  if (n == 0) return String::npos;
  const char first = AsciiUpper(Name[0]);
  const char* t = Text.data();
  const std::size_t len = Text.size();
  for (std::size_t i = 0; i + n + 2 <= len; ++i) {
    if (AsciiUpper(t[i]) != first || (i > 0 && t[i - 1] != ' ')) continue;
    std::size_t k = 1;
    while (k < n && AsciiUpper(t[i + k]) == AsciiUpper(Name[k])) ++k;
    if (k == n && t[i + n] == '=' && t[i + n + 1] == '"') return i;
  }
  return String::npos;
}

// The marker ` ld="0"` in any letter case.
std::size_t FindLoadMarker(const String& Text) {
  for (std::size_t at = Text.find("=\"0\""); at != String::npos; at = Text.find("=\"0\"", at + 1)) {
    if (at >= 3 && Text[at - 3] == ' ' && (Text[at - 2] | 0x20) == 'l' && (Text[at - 1] | 0x20) == 'd') return at - 3;
  }
  return String::npos;
}

void AppendCode(String& out, Int64 code) {
  bool valid = code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
  AppendUtf8(out, valid ? static_cast<char32_t>(code) : 0xFFFD);
}

// The entity at Value[i] ('&'), decoded into out; the length consumed, 0 when it stays text.
std::size_t DecodeEntity(const String& Value, std::size_t i, String& out) {
  static const struct { std::string_view Name; char Char; } kNamed[] = {
      {"quot;", '"'}, {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"apos;", '\''}};
  std::string_view rest(Value.data() + i + 1, Value.size() - i - 1);
  if (!rest.empty() && rest[0] == '#') {
    std::size_t semi = rest.find(';');
    if (semi == std::string_view::npos) return 0;
    std::string_view digits = rest.substr(1, semi - 1);
    Int64 code = 0;
    if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
      std::string_view hex = digits.substr(1);
      bool ok = !hex.empty() && hex.size() <= 8;
      for (char c : hex) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0) { ok = false; break; }
        code = code * 16 + d;
      }
      if (!ok) throw EConvertError(Format(SInvalidInteger, {String(digits)}));
    } else {
      code = StrToInt(digits);
    }
    AppendCode(out, code);
    return semi + 2;
  }
  for (const auto& e : kNamed)
    if (rest.substr(0, e.Name.size()) == e.Name) {
      out += e.Char;
      return e.Name.size() + 1;
    }
  return 0;
}

}  // namespace

// ================================================================ TfrxXMLItem

TfrxXMLItem::~TfrxXMLItem() {
  FreeChildren();
  if (FParent) FParent->DetachChild(this);
}

void TfrxXMLItem::SetOffset(Int64 Value) {
  assert(Value >= 0 && Value <= MaxXMLOffset);
  FHiOffset = static_cast<Byte>(Value >> 32);
  FLoOffset = static_cast<std::uint32_t>(Value);
}

void TfrxXMLItem::FreeChildren() {
  if (FChildren) {
    std::unique_ptr<std::vector<TfrxXMLItem*>> children = std::move(FChildren);
    for (TfrxXMLItem* child : *children) {
      child->FParent = nullptr;
      delete child;
    }
  }
  if (FUnloadable) FLoaded = false;
}

void TfrxXMLItem::DetachChild(TfrxXMLItem* Item) {
  if (!FChildren) return;
  auto at = std::find(FChildren->begin(), FChildren->end(), Item);
  if (at != FChildren->end()) FChildren->erase(at);
  Item->FParent = nullptr;
}

TfrxXMLItem* TfrxXMLItem::AddChild() {
  auto* item = new TfrxXMLItem;
  AdoptChild(item);
  return item;
}

void TfrxXMLItem::AdoptChild(TfrxXMLItem* Item) {
  assert(Item && Item != this);
  if (Item->FParent) Item->FParent->DetachChild(Item);
  if (!FChildren) FChildren = std::make_unique<std::vector<TfrxXMLItem*>>();
  FChildren->push_back(Item);
  Item->FParent = this;
}

void TfrxXMLItem::InsertChild(int Index, TfrxXMLItem* Item) {
  AdoptChild(Item);
  auto& list = *FChildren;
  int last = static_cast<int>(list.size()) - 1;
  if (Index < 0 || Index > last) throw EListError(Format(SListIndexError, {Index}));
  std::rotate(list.begin() + Index, list.end() - 1, list.end());
}

TfrxXMLItem* TfrxXMLItem::ChildAt(int Index) const {
  if (Index < 0 || Index >= ChildCount()) throw EListError(Format(SListIndexError, {Index}));
  return (*FChildren)[static_cast<std::size_t>(Index)];
}

int TfrxXMLItem::IndexOfChild(const TfrxXMLItem* Item) const {
  for (int i = 0; i < ChildCount(); ++i)
    if ((*FChildren)[static_cast<std::size_t>(i)] == Item) return i;
  return -1;
}

int TfrxXMLItem::IndexOfChildName(const String& Name) const {
  for (int i = 0; i < ChildCount(); ++i)
    if (AnsiSameText((*FChildren)[static_cast<std::size_t>(i)]->FName, Name)) return i;
  return -1;
}

TfrxXMLItem* TfrxXMLItem::ChildByName(const String& Name) {
  int i = IndexOfChildName(Name);
  if (i >= 0) return ChildAt(i);
  TfrxXMLItem* item = AddChild();
  item->FName = Name;
  return item;
}

String TfrxXMLItem::AttrValue(const String& Name) const {
  std::size_t at = FindAttr(FText, Name);
  if (at == String::npos) return String();
  std::size_t from = at + Name.size() + 2;
  std::size_t to = FText.find('"', from);
  if (to == String::npos) return String();
  return XMLUnescapeText(FText.substr(from, to - from));
}

void TfrxXMLItem::SetAttrValue(const String& Name, const String& Value) {
  std::size_t at = FindAttr(FText, Name);
  if (at != String::npos) {
    std::size_t close = FText.find('"', at + Name.size() + 2);
    FText.erase(at, close == String::npos ? String::npos : close - at + 1);
  } else {
    at = FText.size();
  }
  String pair = Name + "=\"" + XMLEscapeText(Value) + "\"";
  if (at > 0 && FText[at - 1] != ' ') pair.insert(pair.begin(), ' ');
  FText.insert(at, pair);
}

// ================================================================ TfrxXMLReader

TfrxXMLReader::TfrxXMLReader(TStream* Stream)
    : FStream(Stream), FBuffer(new char[kBufferSize]), FPosition(Stream->Position()), FSize(Stream->Size()) {
  FStreamAt = FPosition;
}

TfrxXMLReader::~TfrxXMLReader() { FStream->SetPosition(FPosition); }

void TfrxXMLReader::SetPosition(Int64 Value) {
  FPosition = Value;
  FStream->SetPosition(Value);
  FStreamAt = Value;
  FBufferCount = FBufferIndex = 0;
}

bool TfrxXMLReader::Fill() {
  if (FBufferIndex < FBufferCount) return true;
  if (FPosition >= FSize) return false;
  if (FStreamAt != FPosition) FStream->SetPosition(FPosition);
  Int64 want = std::min<Int64>(kBufferSize, FSize - FPosition);
  FBufferCount = static_cast<int>(FStream->Read(FBuffer.get(), want));
  FStreamAt = FPosition + std::max(FBufferCount, 0);
  FBufferIndex = 0;
  if (FBufferCount <= 0) {
    FBufferCount = 0;
    FSize = FPosition;  // the stream was shorter than it said
    return false;
  }
  return true;
}

void TfrxXMLReader::ReadHeader() {
  String name, text;
  ReadTag(name, text);
  if (name.compare(0, 4, "?xml") != 0) FormatError();
}

// Bytes are taken from the buffer a run at a time: a run of text up to the next '<', a run
// of tag text up to the next '>' or '<'. Comments go byte by byte.
void TfrxXMLReader::ReadTag(String& Name, String& Text) {
  enum { Outside, InTag, InComment } state = Outside;
  String& tag = FTag;
  tag.clear();
  int dashes = 0;
  for (;;) {
    if (!Fill()) {
      if (state == InTag) FormatError();
      Name.clear();
      Text.clear();
      return;
    }
    const char* from = FBuffer.get() + FBufferIndex;
    const char* end = FBuffer.get() + FBufferCount;
    auto consume = [&](const char* to) {
      FBufferIndex += static_cast<int>(to - from);
      FPosition += to - from;
    };
    if (state == Outside) {
      const char* lt = static_cast<const char*>(std::memchr(from, '<', static_cast<std::size_t>(end - from)));
      if (!lt) {
        consume(end);
        continue;
      }
      consume(lt + 1);
      FTagStart = FPosition - 1;
      state = InTag;
    } else if (state == InTag) {
      const char* p = from;
      if (tag.size() < 3) {
        // Byte by byte until the text is long enough to tell a comment.
        char c = *p++;
        consume(p);
        if (c == '>') break;
        if (c == '<') FormatError();
        tag += c;
        if (tag.size() == 3 && tag == "!--") {
          tag.clear();
          state = InComment;
          dashes = 0;
        }
        continue;
      }
      while (p < end && *p != '>' && *p != '<') ++p;
      tag.append(from, p);
      if (static_cast<Int64>(tag.size()) > MaxXMLTagSize) FormatError();
      if (p == end) {
        consume(p);
        continue;
      }
      if (*p == '<') FormatError();
      consume(p + 1);
      break;
    } else {
      char c = *from;
      consume(from + 1);
      if (dashes == 2) {  // `-->` closes; `--->` does not
        if (c == '>') state = Outside;
        dashes = 0;
      } else {
        dashes = c == '-' ? dashes + 1 : 0;
      }
    }
  }
  if (!tag.empty() && tag.back() == ' ') tag.pop_back();
  std::size_t blank = tag.find(' ');
  if (blank == String::npos) {
    Name.assign(tag);
    Text.clear();
  } else {
    Name.assign(tag, 0, blank);
    Text.assign(tag, blank + 1, String::npos);
  }
}

bool TfrxXMLReader::ReadTree(TfrxXMLItem* Item, bool LoadAll) { return ReadTree(Item, LoadAll, 0); }

bool TfrxXMLReader::ReadTree(TfrxXMLItem* Item, bool LoadAll, int Depth) {
  if (Depth > MaxXMLDepth) FormatError();
  ReadTag(Item->FName, Item->FText);
  Int64 start = FTagStart;
  FLastName = Item->FName;
  if (Item->FName.empty() || Item->FName[0] == '/') return true;
  if (Item->FName.back() == '/') {
    Item->FName.pop_back();
    return false;
  }
  if (!Item->FText.empty() && Item->FText.back() == '/') {
    Item->FText.pop_back();
    return false;
  }
  for (;;) {
    auto child = std::make_unique<TfrxXMLItem>();
    if (ReadTree(child.get(), LoadAll, Depth + 1)) break;
    Item->AdoptChild(child.release());
  }
  if (!FLastName.empty() && !AnsiSameText(FLastName, "/" + Item->FName)) FormatError();
  std::size_t marker = FindLoadMarker(Item->FText);
  if (marker != String::npos) {
    Item->FText.erase(marker, kLoadMarker.size());
    if (!LoadAll) {
      Item->FreeChildren();
      Item->SetOffset(start);
      Item->FUnloadable = true;
      Item->FLoaded = false;
      Item->FInSwapFile = false;
    }
  }
  return false;
}

// ================================================================ TfrxXMLWriter

TfrxXMLWriter::~TfrxXMLWriter() { Flush(); }

void TfrxXMLWriter::WriteLine(const String& Text) {
  FBuffer += Text;
  EndLine();
}

void TfrxXMLWriter::EndLine() {
  if (FAutoIndent) FBuffer += "\r\n";
  if (FBuffer.size() > kBufferSize) Flush();
}

void TfrxXMLWriter::Flush() {
  if (FBuffer.empty()) return;
  FStream->WriteBuffer(FBuffer.data(), static_cast<Int64>(FBuffer.size()));
  FBuffer.clear();
}

void TfrxXMLWriter::WriteHeader() { WriteLine("<?xml version=\"1.0\" encoding=\"utf-8\"?>"); }

// Tags go straight into the buffer, which is the same as WriteLine of the tag's line.
void TfrxXMLWriter::WriteOpenTag(const TfrxXMLItem* Item, int Level) {
  if (FAutoIndent) FBuffer.append(static_cast<std::size_t>(Level), ' ');
  FBuffer += '<';
  FBuffer += Item->Name();
  if (!Item->Text().empty() || Item->Unloadable()) {
    if (Item->Text().empty() || Item->Text()[0] != ' ') FBuffer += ' ';
    FBuffer += Item->Text();
    if (Item->Unloadable()) FBuffer += "ld=\"0\"";
  }
  FBuffer += Item->ChildCount() > 0 ? ">" : "/>";
  EndLine();
}

void TfrxXMLWriter::WriteTree(TfrxXMLItem* Item) {
  WriteItem(Item, 0);
  Flush();
}

void TfrxXMLWriter::WriteItem(TfrxXMLItem* Item, int Level) {
  if (!FAutoIndent) Level = 0;
  // An unloaded subtree comes back for its own writing only. Its name and attribute text
  // stay as they are in memory: the stored tag carries the marker in a form the reader does
  // not strip, and taking it over would add the marker again on every write.
  TStream* from = Item->FInSwapFile ? FSwapFile : FSource;
  bool readBack = from && Item->Unloadable() && !Item->Loaded();
  TScopeExit unload([&] { if (readBack) Item->FreeChildren(); });
  if (readBack) {
    if (Item->Offset() >= from->Size()) FormatError();
    String name = Item->FName, text = Item->FText;
    TfrxXMLReader reader(from);
    reader.SetPosition(Item->Offset());
    reader.ReadTree(Item, true);
    Item->FName = std::move(name);
    Item->FText = std::move(text);
  }
  WriteOpenTag(Item, Level);
  for (int i = 0; i < Item->ChildCount(); ++i) WriteItem(Item->ChildAt(i), Level + 2);
  if (Item->ChildCount() > 0) {
    if (FAutoIndent) FBuffer.append(static_cast<std::size_t>(Level), ' ');
    FBuffer += "</";
    FBuffer += Item->Name();
    FBuffer += '>';
    EndLine();
  }
}

// ================================================================ TfrxXMLDocument

TfrxXMLDocument::TfrxXMLDocument() : FRoot(std::make_unique<TfrxXMLItem>()) {}

TfrxXMLDocument::~TfrxXMLDocument() { DeleteSwapFile(); }

void TfrxXMLDocument::Clear() {
  FRoot->FreeChildren();
  DeleteSwapFile();
}

void TfrxXMLDocument::ReadFromStream(TStream* Stream, bool AllowPartialLoading) {
  // Reading again from the stream this document already owns must not free it first.
  std::unique_ptr<TStream> same(FSourceStream.get() == Stream ? FSourceStream.release() : nullptr);
  DeleteSwapFile();
  if (AllowPartialLoading) FSourceStream.reset(same ? same.release() : Stream);
  TfrxXMLReader reader(Stream);
  FRoot->FreeChildren();
  FRoot->SetOffset(0);
  reader.ReadHeader();
  reader.ReadTree(FRoot.get(), !AllowPartialLoading);
}

void TfrxXMLDocument::WriteToStream(TStream* Stream) {
  TfrxXMLWriter writer(Stream);
  writer.SetAutoIndent(FAutoIndent);
  writer.SetSwapStreams(FSwapStream.get(), FSourceStream.get());
  writer.WriteHeader();
  writer.WriteTree(FRoot.get());
}

void TfrxXMLDocument::CreateSwapFile() {
  String name;
  try {
    name = CreateTempFileName("fr", Copy(FTempDir, 1, 64));
  } catch (const EInOutError& e) {
    throw EFCreateError(e.Message());
  }
  FSwapStream = std::make_unique<TFileStream>(name, fmOpenReadWrite);
  FSwapFileName = name;
}

void TfrxXMLDocument::DeleteSwapFile() {
  FSourceStream.reset();
  if (FSwapStream) {
    FSwapStream.reset();
    DeleteFile(FSwapFileName);
    FSwapFileName.clear();
  }
}

TStream* TfrxXMLDocument::StreamOf(const TfrxXMLItem* Item) const {
  return Item->FInSwapFile ? FSwapStream.get() : FSourceStream.get();
}

void TfrxXMLDocument::SwapOut(TfrxXMLItem* Item) {
  if (!Item->Loaded() || !Item->Unloadable()) return;
  if (!FSwapStream) CreateSwapFile();
  Int64 at = FSwapStream->Seek(0, soEnd);
  if (at > MaxXMLOffset) throw EWriteError("Stream write error");
  {
    TfrxXMLWriter writer(FSwapStream.get());
    writer.SetSwapStreams(FSwapStream.get(), FSourceStream.get());
    writer.WriteTree(Item);
  }
  Item->SetOffset(at);
  Item->FreeChildren();
  Item->FInSwapFile = true;
}

void TfrxXMLDocument::SwapIn(TfrxXMLItem* Item) {
  TStream* from = StreamOf(Item);
  if (!from || !Item->Unloadable() || Item->Loaded()) return;
  if (Item->Offset() >= from->Size()) FormatError();
  String name = Item->FName, text = Item->FText;
  {
    TfrxXMLReader reader(from);
    reader.SetPosition(Item->Offset());
    reader.ReadTree(Item, true);
  }
  Item->FName = std::move(name);
  Item->FText = std::move(text);
  Item->FLoaded = true;
}

// ================================================================ values

String XMLEscapeText(const String& Value) {
  std::size_t n = 0;
  for (char c : Value)
    if (c == '\n' || c == '\r' || c == '"' || c == '&' || c == '<' || c == '>') ++n;
  if (n == 0) return Value;
  String out;
  out.reserve(Value.size() + n * 5);
  for (char c : Value) {
    if (c == '\n' || c == '\r' || c == '"' || c == '&' || c == '<' || c == '>') {
      out += "&#";
      out += std::to_string(static_cast<int>(c));
      out += ';';
    } else {
      out += c;
    }
  }
  return out;
}

String XMLUnescapeText(const String& Value) {
  std::size_t amp = Value.find('&');
  if (amp == String::npos) return Value;
  String out(Value, 0, amp);
  for (std::size_t i = amp; i < Value.size();) {
    if (Value[i] == '&') {
      std::size_t used = DecodeEntity(Value, i, out);
      if (used > 0) {
        i += used;
        continue;
      }
    }
    out += Value[i++];
  }
  return out;
}

String VariantToXMLText(const Variant& Value) {
  switch (VarType(Value)) {
    case varSmallint:
    case varInteger:
    case varByte: return IntToStr(Value.AsInteger());
    case varSingle:
    case varDouble:
    case varCurrency: return FloatToStr(Value.AsDouble());
    case varDate: return DateToStr(Value.AsDateTime());
    case varOleStr:
    case varString:
    case varVariant: return XMLEscapeText(Value.AsString());
    case varBoolean: return Value.AsBoolean() ? "1" : "0";
    default: return String();
  }
}
