// The grammar registry: language name and grammar text, in registration order, and the
// languages the engine ships.
#include "script/fs_itools.h"

#include "script/fs_iconst.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <utility>
#include <vector>

namespace {

// The languages the engine ships, in the order the designer lists them; each grammar is an
// embedded resource. Registered when the registry is first used, so the order does not depend
// on the order in which the libraries start.
struct TBuiltInGrammar {
  const char* Language;
  const char* Resource;
};
constexpr TBuiltInGrammar kBuiltInGrammars[] = {
    {"JScript", "grammars/JScript.xml"},
    {"BasicScript", "grammars/BasicScript.xml"},
    {"C++Script", "grammars/CppScript.xml"},
    {"PascalScript", "grammars/PascalScript.xml"},
};

std::vector<std::pair<String, String>>& Grammars() {
  static std::vector<std::pair<String, String>> list = [] {
    std::vector<std::pair<String, String>> l;
    for (const TBuiltInGrammar& g : kBuiltInGrammars) l.emplace_back(g.Language, LoadResourceString(g.Resource));
    return l;
  }();
  return list;
}

}  // namespace

void RegisterGrammar(const String& Language, const String& GrammarText) {
  for (auto& [name, text] : Grammars())
    if (AnsiSameText(name, Language)) {
      text = GrammarText;
      return;
    }
  Grammars().emplace_back(Language, GrammarText);
}

const String& FindGrammarText(const String& Language) {
  for (const auto& [name, text] : Grammars())
    if (AnsiSameText(name, Language)) return text;
  throw Exception(Format(fsMessage(fsLangNotFound), {Language}));
}

void ListGrammarNames(TStrings* List) {
  List->Clear();
  for (const auto& entry : Grammars())
    if (!StartsStr("@", entry.first)) List->Add(entry.first);
}
