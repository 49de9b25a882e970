// The grammar registry: language name and grammar text, in registration order.
#include "script/fs_itools.h"

#include "script/fs_iconst.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<String, String>>& Grammars() {
  static std::vector<std::pair<String, String>> list;
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

String FindGrammarText(const String& Language) {
  for (const auto& [name, text] : Grammars())
    if (AnsiSameText(name, Language)) return text;
  throw Exception(Format(fsMessage(fsLangNotFound), {Language}));
}

void ListGrammarNames(TStrings* List) {
  List->Clear();
  for (const auto& entry : Grammars())
    if (!StartsStr("@", entry.first)) List->Add(entry.first);
}
