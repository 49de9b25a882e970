#include "editors/cxStandardMask.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"

#include <cassert>

namespace {

bool IsAsciiLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }
bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Only "a".."z" and "A".."Z" change case, as the plain case routines do.
char32_t ConvertCase(char32_t c, Byte Conversion) {
  if (Conversion == cxMaskUpperCase && c >= U'a' && c <= U'z') return c - 32;
  if (Conversion == cxMaskLowerCase && c >= U'A' && c <= U'Z') return c + 32;
  return c;
}

TcxStandardMaskManyItem* AsInput(TcxStandardMaskCustomItem* Item) {
  return dynamic_cast<TcxStandardMaskManyItem*>(Item);
}

}  // namespace

bool TcxStandardMaskManyItem::Matches(char32_t& Ch) const {
  const bool Result = Accepts(Ch);
  Ch = ConvertCase(Ch, CaseConversion);
  return Result;
}

bool TcxStandardMaskAlphaItem::Accepts(char32_t Ch) const { return IsAsciiLetter(Ch); }
bool TcxStandardMaskAlphaNumericItem::Accepts(char32_t Ch) const { return IsAsciiLetter(Ch) || IsAsciiDigit(Ch); }
bool TcxStandardMaskNumericItem::Accepts(char32_t Ch) const { return IsAsciiDigit(Ch); }
bool TcxStandardMaskNumericSymbolItem::Accepts(char32_t Ch) const {
  return Ch == U'+' || Ch == U'-' || IsAsciiDigit(Ch);
}

TcxStandardMask::~TcxStandardMask() { Clear(); }

void TcxStandardMask::Clear() {
  for (TcxStandardMaskCustomItem* Item : FItems) delete Item;
  FItems.clear();
}

TcxStandardMaskCustomItem* TcxStandardMask::ItemAt(int Index) const {
  assert(Index >= 0 && Index < ItemCount());
  return FItems[static_cast<std::size_t>(Index)];
}

void TcxStandardMask::Compile(const String& AMask) {
  Clear();
  FBlank = U'_';
  FSaveLiterals = true;
  FLeading = false;
  FMask = AMask;
  std::u32string M = Utf8ToUtf32(AMask);
  if (!M.empty() && M[0] == U'!') {
    FLeading = true;
    M.erase(0, 1);
  }
  Parse(M);
}

// ";" followed by the mask's last 3 characters ("0" or "1", ";", blank) or its last one
// ("0" or "1") ends the mask; anywhere else ";" is a literal.
bool TcxStandardMask::ParseSections(const std::u32string& M, std::size_t I) {
  const std::size_t Rest = M.size() - I - 1;
  const auto IsFlag = [](char32_t c) { return c == U'0' || c == U'1'; };
  if (Rest == 3 && IsFlag(M[I + 1]) && M[I + 2] == U';') {
    FSaveLiterals = M[I + 1] == U'1';
    FBlank = M[I + 3];
    return true;
  }
  if (Rest == 1 && IsFlag(M[I + 1])) {
    FSaveLiterals = M[I + 1] == U'1';
    return true;
  }
  return false;
}

void TcxStandardMask::Parse(const std::u32string& M) {
  Byte Case = cxMaskNoCase;
  for (std::size_t I = 0; I < M.size(); ++I) {
    const char32_t c = M[I];
    TcxStandardMaskCustomItem* Item = nullptr;
    switch (c) {
      case U'L': Item = new TcxStandardMaskAlphaItem(Case, false); break;
      case U'l': Item = new TcxStandardMaskAlphaItem(Case, true); break;
      case U'A': Item = new TcxStandardMaskAlphaNumericItem(Case, false); break;
      case U'a': Item = new TcxStandardMaskAlphaNumericItem(Case, true); break;
      case U'C': Item = new TcxStandardMaskASCIIItem(Case, false); break;
      case U'c': Item = new TcxStandardMaskASCIIItem(Case, true); break;
      case U'0': Item = new TcxStandardMaskNumericItem(Case, false); break;
      case U'9': Item = new TcxStandardMaskNumericItem(Case, true); break;
      case U'#': Item = new TcxStandardMaskNumericSymbolItem(Case); break;
      case U'>': Case = cxMaskUpperCase; break;
      case U'<':
        if (I + 1 < M.size() && M[I + 1] == U'>') {
          Case = cxMaskNoCase;
          ++I;
        } else {
          Case = cxMaskLowerCase;
        }
        break;
      case U'\\':
        if (I + 1 < M.size()) Item = new TcxStandardMaskLiteralItem(M[++I]);
        break;
      case U'/': Item = new TcxStandardMaskLiteralItem(static_cast<unsigned char>(FormatSettings().DateSeparator)); break;
      case U':': Item = new TcxStandardMaskLiteralItem(static_cast<unsigned char>(FormatSettings().TimeSeparator)); break;
      case U';':
        if (ParseSections(M, I)) return;
        Item = new TcxStandardMaskLiteralItem(c);
        break;
      default: Item = new TcxStandardMaskLiteralItem(c); break;
    }
    if (Item) FItems.push_back(Item);
  }
}

String TcxStandardMask::EmptyDisplayText() const {
  String Result;
  for (TcxStandardMaskCustomItem* Item : FItems) {
    auto* Literal = dynamic_cast<TcxStandardMaskLiteralItem*>(Item);
    AppendUtf8(Result, Literal ? Literal->Literal : FBlank);
  }
  return Result;
}

String TcxStandardMask::EmptyValueText() const {
  String Result;
  for (TcxStandardMaskCustomItem* Item : FItems) {
    if (auto* Literal = dynamic_cast<TcxStandardMaskLiteralItem*>(Item)) {
      if (FSaveLiterals) AppendUtf8(Result, Literal->Literal);
    } else {
      Result += ' ';
    }
  }
  return Result;
}

void TcxStandardMask::FitText(String& Text, bool ConvertCase, bool WithLiterals) const {
  std::u32string Result = Utf8ToUtf32(EmptyDisplayText());
  std::u32string Source = Utf8ToUtf32(Text);
  const int N = ItemCount();
  const int Step = FLeading ? -1 : 1;
  const bool SkipLiterals = !FSaveLiterals && !WithLiterals;
  int D = FLeading ? N - 1 : 0;
  const int Count = static_cast<int>(Source.size());
  for (int K = 0; K < Count; ++K) {
    const char32_t c = Source[static_cast<std::size_t>(FLeading ? Count - 1 - K : K)];
    for (int I = D; I >= 0 && I < N; I += Step) {
      TcxStandardMaskCustomItem* Item = FItems[static_cast<std::size_t>(I)];
      TcxStandardMaskManyItem* Input = AsInput(Item);
      if (SkipLiterals && !Input) continue;
      char32_t Converted = c;
      if (Item->Matches(Converted)) {
        Result[static_cast<std::size_t>(I)] = ConvertCase ? Converted : c;
        D = I + Step;
        break;
      }
      if ((c == FBlank || c == U' ') && Input) {
        D = I + Step;  // the position keeps its blank
        break;
      }
    }
  }
  Text = Utf32ToUtf8(Result);
}

void TcxStandardMask::ValueText(String& Text) const {
  const std::u32string Source = Utf8ToUtf32(Text);
  std::u32string Result;
  const std::size_t N = std::min(Source.size(), FItems.size());
  for (std::size_t I = 0; I < N; ++I) {
    const bool Input = AsInput(FItems[I]) != nullptr;
    if (!Input && !FSaveLiterals) continue;
    Result += Input && Source[I] == FBlank ? U' ' : Source[I];
  }
  Text = Utf32ToUtf8(Result);
}

bool TcxStandardMask::IsComplete(String& Text) const {
  std::u32string Chars = Utf8ToUtf32(Text);
  if (Chars.size() != FItems.size()) return false;
  bool Result = true;
  for (std::size_t I = 0; I < Chars.size() && Result; ++I) {
    TcxStandardMaskCustomItem* Item = FItems[I];
    TcxStandardMaskManyItem* Input = AsInput(Item);
    const char32_t c = Chars[I];
    if (Input) {
      Result = Item->Matches(Chars[I]) || ((c == FBlank || c == U' ') && Input->Optional);
    } else {
      char32_t Copy = c;
      Result = Item->Matches(Copy);
    }
  }
  Text = Utf32ToUtf8(Chars);
  return Result;
}
