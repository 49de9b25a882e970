#include "editors/cxRegExprItems.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cassert>

char32_t TcxLexem::FirstChar() const {
  std::size_t Pos = 0;
  return Text.empty() ? 0 : DecodeUtf8(Text, Pos);
}

const TcxLexem& TcxLexems::Items(int Index) const {
  assert(Index >= 0 && Index < Count());
  return FItems[static_cast<std::size_t>(Index)];
}

String TcxRegExprError::FullText() const {
  String Result;
  if (LineNo > 0) {
    Result = "行" + IntToStr(LineNo);
    if (Column > 0) Result += ", 字符" + IntToStr(Column);
    Result += ": ";
  }
  return Result + Text;
}

TcxRegExprError* TcxRegExprErrors::Items(int Index) const {
  assert(Index >= 0 && Index < Count());
  return FItems[static_cast<std::size_t>(Index)].get();
}

namespace {

String JoinedTexts(const TcxRegExprErrors* Errors) {
  String Result;
  for (int I = 0; Errors && I < Errors->Count(); ++I) {
    if (I > 0) Result += "\r\n";
    Result += Errors->Items(I)->FullText();
  }
  return Result;
}

}  // namespace

EcxRegExprError::EcxRegExprError(const TcxRegExprErrors* AErrors) : EcxEditError(JoinedTexts(AErrors)), FErrors(AErrors) {}

bool TcxRegExprSymbol::Matches(char32_t& Ch, bool CaseInsensitive) const {
  if (!CaseInsensitive) return Ch == Value;
  if (AnsiUpperChar(Ch) != AnsiUpperChar(Value)) return false;
  Ch = Value;  // the caller's text takes the expression's spelling
  return true;
}

char32_t TcxRegExprTimeSeparator::Current() { return static_cast<unsigned char>(FormatSettings().TimeSeparator); }
char32_t TcxRegExprDateSeparator::Current() { return static_cast<unsigned char>(FormatSettings().DateSeparator); }

bool TcxRegExprUserEnumeration::Matches(char32_t& Ch, bool CaseInsensitive) const {
  bool Found = false;
  for (const auto& Item : Items)
    if (Item->Matches(Ch, CaseInsensitive)) {
      Found = true;
      break;
    }
  return Found != Inverse;
}

TcxRegExprItem* TcxRegExprUserEnumeration::Duplicate() const {
  auto* Result = new TcxRegExprUserEnumeration(Inverse);
  for (const auto& Item : Items) Result->Add(Item->Duplicate());
  return Result;
}

bool TcxRegExprIdLetter::Matches(char32_t& Ch, bool) const {
  const bool In = (Ch >= U'a' && Ch <= U'z') || (Ch >= U'A' && Ch <= U'Z') || (Ch >= U'0' && Ch <= U'9') || Ch == U'_';
  return In != Inverse;
}

bool TcxRegExprSpace::Matches(char32_t& Ch, bool) const {
  const bool In = Ch == U' ' || Ch == 0 || Ch == U'\t' || Ch == U'\n' || Ch == U'\f' || Ch == U'\r';
  return In != Inverse;
}
