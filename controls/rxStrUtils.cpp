#include "controls/rxStrUtils.h"

#include "core/StrUtils.h"

bool AllCharsIn(std::string_view S, std::string_view Chars) {
  std::u32string set = Utf8ToUtf32(Chars);
  for (char32_t c : Utf8ToUtf32(S))
    if (set.find(c) == std::u32string::npos) return false;
  return true;
}

String ReplaceAll(std::string_view S, std::string_view Search, std::string_view Replacement) {
  if (Search.empty()) return String(S);
  String out;
  std::size_t from = 0;
  for (std::size_t at; (at = S.find(Search, from)) != std::string_view::npos; from = at + Search.size()) {
    out.append(S.substr(from, at - from));
    out.append(Replacement);
  }
  out.append(S.substr(from));
  return out;
}

String RepeatChar(char C, int N) { return N < 1 ? String() : String(static_cast<std::size_t>(N), C); }
