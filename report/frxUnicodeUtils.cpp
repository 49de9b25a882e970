#include "report/frxUnicodeUtils.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/FilerBase.h"
#include "core/Format.h"
#include "core/Reader.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/Writer.h"

namespace {
constexpr const char* kOutOfBounds = "Wide String Out of Bounds";
constexpr std::string_view kLineSeparator = "\xE2\x80\xA8";  // U+2028

bool StartsAt(const String& s, std::size_t i, std::string_view what) { return s.compare(i, what.size(), what) == 0; }
}  // namespace

KELM_PUBLISH(TWideStrings) {}

String EightBitTextToUtf8(const String& Bytes) { return IsValidUtf8(Bytes) ? Bytes : GbkToUtf8(Bytes); }

String TWideStrings::Strings(int Index) const {
  return Index >= 0 && Index < Count() ? FLines[static_cast<std::size_t>(Index)].Text : String();
}

void TWideStrings::SetStrings(int Index, const String& S) {
  if (Index == Count()) Add(S);
  else if (Index >= 0 && Index < Count()) FLines[static_cast<std::size_t>(Index)].Text = S;
  else throw Exception(kOutOfBounds);
}

TObject* TWideStrings::Objects(int Index) const {
  return Index >= 0 && Index < Count() ? FLines[static_cast<std::size_t>(Index)].Object : nullptr;
}

void TWideStrings::SetObjects(int Index, TObject* AObject) {
  if (Index >= 0 && Index < Count()) FLines[static_cast<std::size_t>(Index)].Object = AObject;
}

int TWideStrings::Add(const String& S) { return AddObject(S, nullptr); }

int TWideStrings::AddObject(const String& S, TObject* AObject) {
  FLines.push_back({S, AObject});
  return Count() - 1;
}

void TWideStrings::Insert(int Index, const String& S) {
  if (Index < 0 || Index > Count()) throw Exception(kOutOfBounds);
  FLines.insert(FLines.begin() + Index, TLine{S, nullptr});
}

void TWideStrings::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  FLines.erase(FLines.begin() + Index);
}

int TWideStrings::IndexOf(const String& S) const {
  for (int i = 0; i < Count(); ++i)
    if (FLines[static_cast<std::size_t>(i)].Text == S) return i;
  return -1;
}

void TWideStrings::AppendAll(const TWideStrings* Source) {
  if (Source == this) {
    std::vector<TLine> copy = FLines;
    FLines.insert(FLines.end(), copy.begin(), copy.end());
    return;
  }
  FLines.insert(FLines.end(), Source->FLines.begin(), Source->FLines.end());
}

String TWideStrings::Text() const {
  std::size_t size = 0;
  for (const TLine& line : FLines) size += line.Text.size() + 2;
  String out;
  out.reserve(size);
  for (const TLine& line : FLines) {
    out += line.Text;
    out += "\r\n";
  }
  return out;
}

void TWideStrings::SetText(const String& Value) {
  // Lines already held are overwritten in place, so a memo whose text is set again and again
  // during a run keeps reusing their storage.
  std::size_t count = 0;
  const std::size_t n = Value.size();
  const char* const data = Value.data();
  std::size_t i = 0;
  while (i < n && data[i] != '\0') {
    std::size_t start = i;
    for (; i < n; ++i) {
      const char c = data[i];
      if (c == '\n' || c == '\r' || c == '\0') break;
      if (c == kLineSeparator[0] && StartsAt(Value, i, kLineSeparator)) break;
    }
    if (count < FLines.size()) {
      FLines[count].Text.assign(data + start, i - start);
      FLines[count].Object = nullptr;
    } else {
      FLines.push_back({String(data + start, i - start), nullptr});
    }
    ++count;
    if (i < n && data[i] == '\r') ++i;
    if (i < n && data[i] == '\n') ++i;
    if (StartsAt(Value, i, kLineSeparator)) i += kLineSeparator.size();
  }
  FLines.resize(count);
}

void TWideStrings::Assign(TPersistent* Source) {
  if (auto* wide = dynamic_cast<TWideStrings*>(Source)) {
    if (wide == this) return;
    Clear();
    AppendAll(wide);
  } else if (auto* strings = dynamic_cast<TStrings*>(Source)) {
    Clear();
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Strings(i), strings->Objects(i));
  } else {
    TPersistent::Assign(Source);
  }
}

void TWideStrings::AssignTo(TPersistent* Dest) {
  if (auto* wide = dynamic_cast<TWideStrings*>(Dest)) {
    wide->Assign(this);
  } else if (auto* strings = dynamic_cast<TStrings*>(Dest)) {
    strings->BeginUpdate();
    TScopeExit end([&] { strings->EndUpdate(); });
    strings->Clear();
    for (const TLine& line : FLines) strings->AddObject(line.Text, line.Object);
  } else {
    TPersistent::AssignTo(Dest);
  }
}

void TWideStrings::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->Position();
  Int64 n = Stream->Size() - start;
  if (n <= 0) {
    Clear();
    return;
  }
  String bytes(static_cast<std::size_t>(n), '\0');
  Stream->ReadBuffer(bytes.data(), n);
  if (n > 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units(static_cast<std::size_t>((n - 2) / 2), u'\0');
    for (std::size_t k = 0; k < units.size(); ++k)
      units[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * k]) |
                                       static_cast<unsigned char>(bytes[3 + 2 * k]) << 8);
    SetText(Utf16ToUtf8(units));
  } else {
    SetText(EightBitTextToUtf8(bytes));
  }
}

void TWideStrings::SaveToStream(TStream* Stream) const {
  std::u16string units = Utf8ToUtf16(Text());
  String bytes = "\xFF\xFE";
  bytes.reserve(2 + units.size() * 2);
  for (char16_t u : units) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  Stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

void TWideStrings::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TWideStrings::SaveToFile(const String& FileName) const {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

void TWideStrings::DefineProperties(TFiler* Filer) {
  auto readList = [this](TReader* r) {
    r->ReadListBegin();
    Clear();
    while (!r->EndOfList()) Add(r->ReadString());
    r->ReadListEnd();
  };
  Filer->DefineProperty(
      "UTF8", readList,
      [this](TWriter* w) {
        w->WriteListBegin();
        for (const TLine& line : FLines) w->WriteString(line.Text);
        w->WriteListEnd();
      },
      Count() > 0);
  Filer->DefineProperty("Strings", readList, nullptr, false);
}
