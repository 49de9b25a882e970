// The lexer: configuration, blanks and comments, words, positions. Literals (numbers, strings,
// bracketed references) are read in fs_iparserliterals.cpp.
#include "script/fs_iparser.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/StringList.h"

#include <algorithm>
#include <cassert>
#include <initializer_list>

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }
bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

TfsParser::TfsParser() : FKeywords(std::make_unique<TStringList>()) {
  FKeywords->SetSorted(true);
  FKeywords->SetDuplicates(dupIgnore);
  RestoreDefaults();
}

TfsParser::~TfsParser() = default;

// ---------------------------------------------------------------- configuration

void TfsParser::RestoreDefaults() {
  FKeywords->Clear();
  FSharedKeywords.reset();
  FCommentLine1 = "//";
  FCommentLine2.clear();
  // The default blocks as DefineCommentBlock1/2 would split them, without a list per split.
  FCommentBlock1 = {"{,}", "{", "}"};
  FCommentBlock2 = {"(*,*)", "(*", "*)"};
  UpdateCommentStarts();
  FHexSequence = "$";
  // Every compile starts from the defaults: the set is made once.
  static const TfsCharSet kDefaultIdentChars = [] {
    TfsCharSet set;
    for (char c : std::string_view("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz"))
      set.Include(static_cast<unsigned char>(c));
    return set;
  }();
  FIdentChars = kDefaultIdentChars;
  FSkipChar.clear();
  FSkipEOL = true;
  FStringQuotes = "'";
  FStringEscapes = true;
  FSkipBlanks = true;
  FCaseSensitive = false;
}

void TfsParser::DefineBlock(TfsCommentBlock& Block, const String& Definition) {
  Block.Definition = Definition;
  // Two plain delimiters and one comma, as every grammar writes them: split in place. Anything
  // else (blanks, quotes, more items) goes through the comma-text rules.
  const std::size_t comma = Definition.find(',');
  if (comma != String::npos && comma > 0 && comma + 1 < Definition.size() && Definition.find(',', comma + 1) == String::npos &&
      std::none_of(Definition.begin(), Definition.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) <= 32; })) {
    Block.Open = Definition.substr(0, comma);
    Block.Close = Definition.substr(comma + 1);
    return;
  }
  TStringList items;
  items.SetCommaText(Definition);
  Block.Open = items.Count() > 0 ? items[0] : String();
  Block.Close = items.Count() > 1 ? items[1] : String();
}

void TfsParser::SetHexSequence(const String& Value) {
  // An empty prefix would make every integer hexadecimal.
  assert(!Value.empty());
  FHexSequence = Value;
}

void TfsParser::DefineIdentChars(const String& Chars) {
  FIdentChars.Clear();
  for (char c : Chars) FIdentChars.Include(static_cast<unsigned char>(c));
}

// ---------------------------------------------------------------- text and position

void TfsParser::LoadSource(const String& Source) {
  // Room for the closing zero from the start, so the text is copied once.
  FText.clear();
  FText.reserve(Source.size() + 1);
  FText.append(Source);
  FText += '\0';
  FSize = static_cast<int>(Source.size());
  FPosition = FTokenStart = 1;
  FLineStarts.assign(1, 0);
  unsigned char high = 0;
  for (int i = 0; i < FSize; ++i) {
    high |= static_cast<unsigned char>(Source[i]);
    if (Source[i] == '\n') FLineStarts.push_back(i + 1);
  }
  FAsciiText = high < 0x80;
}

void TfsParser::MoveTo(int APosition) {
  assert(APosition >= 1 && APosition <= FSize + 1);
  FPosition = FTokenStart = APosition;
}

int TfsParser::LineOf(int APosition) const {
  // Entries below the position: the last of them starts its line.
  auto it = std::lower_bound(FLineStarts.begin(), FLineStarts.end(), APosition);
  return static_cast<int>(it - FLineStarts.begin()) - 1;
}

String TfsParser::PositionToLineCol(int APosition) const {
  int line = std::max(LineOf(APosition), 0);
  int start = FLineStarts[line];  // 0-based offset of the line's first byte
  int column = 1;
  int end = std::min(APosition - 1, FSize + 1);
  for (int i = start; i < end; ++i)
    if (!IsContinuationByte(static_cast<unsigned char>(FText[i]))) ++column;
  return IntToStr(line + 1) + ":" + IntToStr(column);
}

int TfsParser::LineColToPosition(int X, int Y) const {
  if (Y < 1 || Y > static_cast<int>(FLineStarts.size())) return -1;
  int p = FLineStarts[Y - 1];  // 0-based offset of column 1
  // One byte per column.
  if (FAsciiText) return std::min(p + std::max(X - 1, 0), std::max(p, FSize)) + 1;
  for (int col = 1; col < X && p < FSize; ++col) {
    ++p;
    while (p < FSize && IsContinuationByte(static_cast<unsigned char>(FText[p]))) ++p;
  }
  return p + 1;
}

// ---------------------------------------------------------------- blanks and comments

bool TfsParser::IsBlank(unsigned char C) const {
  if (C > 32) return false;
  return FSkipEOL || C != '\r';
}

void TfsParser::UpdateCommentStarts() {
  // Most stops are at a word or an operator: one byte against each opener's first rules them out.
  // A word opener may be written in any case.
  for (std::uint64_t& bits : FCommentStarts) bits = 0;
  auto include = [this](unsigned char c) { FCommentStarts[c >> 6] |= std::uint64_t{1} << (c & 63); };
  for (const String* opener : {&FCommentLine1, &FCommentLine2, &FCommentBlock1.Open, &FCommentBlock2.Open}) {
    if (opener->empty()) continue;
    const unsigned char o = static_cast<unsigned char>((*opener)[0]);
    include(o);
    if (o >= 'A' && o <= 'Z') include(static_cast<unsigned char>(o | 0x20));
    if (o >= 'a' && o <= 'z') include(static_cast<unsigned char>(o & ~0x20));
  }
}

bool TfsParser::StartsWithAt(int P, const String& S) const {
  // The first byte decides nearly always: blanks are skipped before every token, and comment
  // openers are looked for at each stop.
  return !S.empty() && P >= 1 && P + static_cast<int>(S.size()) - 1 <= FSize && FText[P - 1] == S[0] &&
         FText.compare(P - 1, S.size(), S) == 0;
}

bool TfsParser::LineCommentAt(int P, const String& Opener) const {
  if (Opener.empty()) return false;
  // "rem" is a comment, "remainder" a word; "REM" is the same word as "rem" unless keywords
  // compare exactly.
  if (FIdentChars.Contains(static_cast<unsigned char>(Opener.back()))) {
    const int n = static_cast<int>(Opener.size());
    if (P < 1 || P + n - 1 > FSize) return false;
    const String word = FText.substr(static_cast<std::size_t>(P - 1), static_cast<std::size_t>(n));
    if (FCaseSensitive ? word != Opener : !SameText(word, Opener)) return false;
    return !FIdentChars.Contains(At(P + n));
  }
  return StartsWithAt(P, Opener);
}

bool TfsParser::ContinuationAt(int P) const {
  if (FSkipChar.empty() || P > FSize || At(P) != static_cast<unsigned char>(FSkipChar[0])) return false;
  // Only blanks may follow on its line; otherwise it is an ordinary character (`_x`).
  for (int q = P + 1; q <= FSize; ++q) {
    unsigned char c = At(q);
    if (IsLineEnd(c)) return true;
    if (c > 32) return false;
  }
  return true;
}

void TfsParser::SkipBlanksAndComments() {
  for (;;) {
    while (FPosition <= FSize && IsBlank(At(FPosition))) ++FPosition;
    if (ContinuationAt(FPosition)) {
      ++FPosition;
      ReadLineEnd();
      continue;
    }
    // A comment opener on the very last character is none.
    if (FPosition < FSize && MayOpenComment(At(FPosition))) {
      if (LineCommentAt(FPosition, FCommentLine1) || LineCommentAt(FPosition, FCommentLine2)) {
        // The line end stays, so ReadLineEnd still sees it when line ends matter.
        while (FPosition <= FSize && !IsLineEnd(At(FPosition))) ++FPosition;
        continue;
      }
      const TfsCommentBlock* block = nullptr;
      if (StartsWithAt(FPosition, FCommentBlock1.Open)) block = &FCommentBlock1;
      else if (StartsWithAt(FPosition, FCommentBlock2.Open)) block = &FCommentBlock2;
      if (block) {
        FPosition += static_cast<int>(block->Open.size());
        while (FPosition <= FSize && !StartsWithAt(FPosition, block->Close)) ++FPosition;
        if (FPosition <= FSize) FPosition += static_cast<int>(block->Close.size());
        continue;
      }
    }
    break;
  }
  FTokenStart = FPosition;
}

bool TfsParser::ReadLineEnd() {
  SkipBlanksAndComments();
  if (FPosition > FSize || !IsLineEnd(At(FPosition))) return false;
  while (FPosition <= FSize && IsLineEnd(At(FPosition))) ++FPosition;
  return true;
}

// ---------------------------------------------------------------- words and punctuation

std::string_view TfsParser::WordAt(int APosition) const {
  if (APosition < 1 || APosition > FSize) return std::string_view();
  const unsigned char c = At(APosition);
  if (!FIdentChars.Contains(c) || IsDigit(c)) return std::string_view();
  int end = APosition;
  while (end <= FSize && FIdentChars.Contains(At(end))) ++end;
  return std::string_view(FText).substr(static_cast<std::size_t>(APosition - 1), static_cast<std::size_t>(end - APosition));
}

String TfsParser::ScanWord() {
  if (FSkipBlanks) SkipBlanksAndComments();
  const std::string_view word = WordAt(FPosition);
  FPosition += static_cast<int>(word.size());
  return String(word);
}

String TfsParser::ReadIdentToken() {
  // Looked up before a copy is made: most words read here are names, many of them keywords.
  if (FSkipBlanks) SkipBlanksAndComments();
  const std::string_view word = WordAt(FPosition);
  FPosition += static_cast<int>(word.size());
  if (word.empty() || KeywordListed(word)) return String();
  return String(word);
}

namespace {

String AsciiUpper(String S) {
  for (char& c : S)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return S;
}

char AsciiUpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// FNV-1a over the upper-cased bytes.
std::uint32_t UpperHash(std::string_view S) {
  std::uint32_t h = 2166136261u;
  for (char c : S) h = (h ^ static_cast<unsigned char>(AsciiUpperChar(c))) * 16777619u;
  return h;
}

}  // namespace

std::shared_ptr<const TfsKeywordSet> TfsKeywordSet::Make(const std::vector<String>& Words) {
  auto set = std::make_shared<TfsKeywordSet>();
  set->Words = Words;
  for (const String& w : Words) {
    if (!IsAscii(w)) set->Ascii = false;
    set->Upper.push_back(AsciiUpper(w));
  }
  std::sort(set->Upper.begin(), set->Upper.end());
  set->Upper.erase(std::unique(set->Upper.begin(), set->Upper.end()), set->Upper.end());
  std::size_t size = 8;
  while (size < set->Upper.size() * 2) size *= 2;
  set->FSlots.assign(size, -1);
  for (std::size_t i = 0; i < set->Upper.size(); ++i) {
    const String& w = set->Upper[i];
    set->FMaxLength = std::max(set->FMaxLength, w.size());
    std::size_t slot = UpperHash(w) & (size - 1);
    while (set->FSlots[slot] >= 0) slot = (slot + 1) & (size - 1);
    set->FSlots[slot] = static_cast<int>(i);
  }
  return set;
}

bool TfsKeywordSet::ContainsAscii(std::string_view Word) const {
  if (Word.size() > FMaxLength || FSlots.empty()) return false;
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t slot = UpperHash(Word) & mask; FSlots[slot] >= 0; slot = (slot + 1) & mask) {
    const String& w = Upper[static_cast<std::size_t>(FSlots[slot])];
    if (w.size() != Word.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < w.size() && same; ++k) same = w[k] == AsciiUpperChar(Word[k]);
    if (same) return true;
  }
  return false;
}

void TfsParser::SetSharedKeywords(std::shared_ptr<const TfsKeywordSet> Value) {
  if (!Value) return;
  if (FKeywords->Count() > 0 || FSharedKeywords) {
    // Words listed already: the list takes the new ones too.
    TakeSharedKeywords();
    for (const String& w : Value->Words) FKeywords->Add(w);
    return;
  }
  FSharedKeywords = std::move(Value);
}

void TfsParser::TakeSharedKeywords() const {
  std::shared_ptr<const TfsKeywordSet> shared = std::move(FSharedKeywords);
  FSharedKeywords.reset();
  if (shared)
    for (const String& w : shared->Words) FKeywords->Add(w);
}

bool TfsParser::KeywordListed(std::string_view Word) const {
  // An ASCII word against ASCII words: case folding by the locale cannot tell more apart.
  if (FSharedKeywords && !FCaseSensitive && FSharedKeywords->Ascii && IsAscii(Word))
    return FSharedKeywords->ContainsAscii(Word);
  if (FSharedKeywords) TakeSharedKeywords();
  if (!FCaseSensitive) {
    int index = 0;
    return FKeywords->Find(String(Word), index);
  }
  for (int i = 0; i < FKeywords->Count(); ++i)
    if ((*FKeywords)[i] == Word) return true;
  return false;
}

String TfsParser::ReadPunctuation() {
  if (FPosition > FSize) return String();
  unsigned char c = At(FPosition);
  bool punct = (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126);
  if (!punct) return String();
  ++FPosition;
  return String(1, static_cast<char>(c));
}
