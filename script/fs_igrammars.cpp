// The grammar registry: language name and grammar text, in registration order, and the
// languages the engine ships.
#include "script/fs_itools.h"

#include "script/fs_iconst.h"
#include "script/fs_igrammar.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <mutex>
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

// A registered grammar: its text, and its parsed form once a compile asked for it.
struct TGrammarEntry {
  String Language;
  String Text;
  std::shared_ptr<const TfsGrammar> Parsed;
};

// Guards the list: compiles on several threads look grammars up while a host may register.
std::mutex& GrammarLock() {
  static std::mutex lock;
  return lock;
}

std::vector<TGrammarEntry>& Grammars() {
  static std::vector<TGrammarEntry> list = [] {
    std::vector<TGrammarEntry> l;
    for (const TBuiltInGrammar& g : kBuiltInGrammars) l.push_back({g.Language, LoadResourceString(g.Resource), nullptr});
    return l;
  }();
  return list;
}

TGrammarEntry* FindEntry(const String& Language) {
  for (TGrammarEntry& e : Grammars())
    if (AnsiSameText(e.Language, Language)) return &e;
  return nullptr;
}

[[noreturn]] void LanguageNotFound(const String& Language) {
  throw Exception(Format(fsMessage(fsLangNotFound), {Language}));
}

}  // namespace

void RegisterGrammar(const String& Language, const String& GrammarText) {
  std::lock_guard<std::mutex> hold(GrammarLock());
  if (TGrammarEntry* e = FindEntry(Language)) {
    e->Text = GrammarText;
    e->Parsed.reset();
    return;
  }
  Grammars().push_back({Language, GrammarText, nullptr});
}

const String& FindGrammarText(const String& Language) {
  std::lock_guard<std::mutex> hold(GrammarLock());
  if (TGrammarEntry* e = FindEntry(Language)) return e->Text;
  LanguageNotFound(Language);
}

std::shared_ptr<const TfsGrammar> TfsGrammar::ForLanguage(const String& Language) {
  // Every compile asks: the parsed form sits with the entry, so the text is neither copied,
  // compared nor hashed again.
  std::lock_guard<std::mutex> hold(GrammarLock());
  TGrammarEntry* e = FindEntry(Language);
  if (!e) LanguageNotFound(Language);
  if (!e->Parsed) e->Parsed = FromText(e->Text);
  return e->Parsed;
}

void ListGrammarNames(TStrings* List) {
  List->Clear();
  std::lock_guard<std::mutex> hold(GrammarLock());
  for (const TGrammarEntry& e : Grammars())
    if (!StartsStr("@", e.Language)) List->Add(e.Language);
}
