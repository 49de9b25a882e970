// Reading a grammar text into the parsed form, and the cache of parsed grammars by text.
#include "script/fs_igrammar.h"

#include "script/fs_iparser.h"
#include "script/fs_xml.h"
#include "script/fs_xmlio.h"
#include "core/StrUtils.h"
#include "core/Streams.h"

#include <cassert>
#include <mutex>
#include <unordered_map>

namespace {

// The kinds by name; any other name is a reference to a rule.
struct TKindName {
  std::string_view Name;
  TfsGrammarKind Kind;
};
constexpr TKindName kKinds[] = {
    {"char", TfsGrammarKind::Char},
    {"keyword", TfsGrammarKind::Keyword},
    {"ident", TfsGrammarKind::Ident},
    {"number", TfsGrammarKind::Number},
    {"string", TfsGrammarKind::String},
    {"frstring", TfsGrammarKind::FrString},
    {"eol", TfsGrammarKind::Eol},
    {"sequence", TfsGrammarKind::Sequence},
    {"switch", TfsGrammarKind::Switch},
    {"optionalswitch", TfsGrammarKind::OptionalSwitch},
    {"loop", TfsGrammarKind::Loop},
    {"optionalloop", TfsGrammarKind::OptionalLoop},
    {"optional", TfsGrammarKind::Optional},
};

TfsGrammarKind KindOf(std::string_view Name) {
  for (const TKindName& k : kKinds)
    if (SameText(k.Name, Name)) return k.Kind;
  return TfsGrammarKind::RuleRef;
}

bool IsLoop(TfsGrammarKind Kind) { return Kind == TfsGrammarKind::Loop || Kind == TfsGrammarKind::OptionalLoop; }

// More texts than any program registers: the test grammars come and go, the real ones stay.
constexpr std::size_t kCacheLimit = 32;

}  // namespace

TfsGrammar::TfsGrammar() : FDocument(std::make_unique<TfsXMLDocument>()) {}

TfsGrammar::~TfsGrammar() = default;

std::shared_ptr<const TfsGrammar> TfsGrammar::FromText(const String& Text) {
  // Reports compile expressions from several threads; the cache is shared by all of them.
  static std::mutex lock;
  static std::unordered_map<String, std::shared_ptr<const TfsGrammar>> cache;
  std::lock_guard<std::mutex> hold(lock);
  auto it = cache.find(Text);
  if (it == cache.end()) {
    std::shared_ptr<TfsGrammar> grammar(new TfsGrammar);
    grammar->Read(Text);
    // Parsers still holding a dropped grammar keep it alive through their own reference.
    if (cache.size() >= kCacheLimit) cache.clear();
    it = cache.emplace(Text, grammar).first;
  }
  return it->second;
}

const TfsXMLItem* TfsGrammar::Root() const { return FDocument->Root(); }

void TfsGrammar::Read(const String& Text) {
  TStringStream stream(Text);
  FDocument->LoadFromStream(&stream);
  const TfsXMLItem* root = FDocument->Root();
  FLanguageName = root->Prop("text");
  if (int i = root->Find("parser"); i >= 0) ReadParser(root->Items(i));
  if (int i = root->Find("types"); i >= 0) FTypes = root->Items(i);
  // The rules are the children of `language`, at the head of the table.
  FItems.resize(static_cast<std::size_t>(root->Count()));
  AddItems(root, 0);
  ResolveRules();
  ComputeFirstTokens();
  FKeywordSet = TfsKeywordSet::Make(FKeywords);
}

void TfsGrammar::ReadParser(const TfsXMLItem* Parser) {
  for (int i = 0; i < Parser->Count(); ++i) {
    const TfsXMLItem* child = Parser->Items(i);
    String name = LowerCase(child->Name());
    if (name == "keywords") {
      for (int k = 0; k < child->Count(); ++k) FKeywords.push_back(child->Items(k)->Name());
    } else if (name == "errors") {
      for (int k = 0; k < child->Count(); ++k)
        FErrors.emplace_back(LowerCase(child->Items(k)->Name()), child->Items(k)->Prop("text"));
    } else {
      String value = child->Prop("text");
      if (name == "ignoretail") FIgnoreTail = value == "1";
      FSettings.push_back({std::move(name), std::move(value)});
    }
  }
}

int TfsGrammar::AddItems(const TfsXMLItem* Parent, int First) {
  // The children of one element sit side by side; each one's own children follow later.
  const bool rules = Parent == FDocument->Root();
  for (int i = 0; i < Parent->Count(); ++i) {
    const TfsXMLItem* element = Parent->Items(i);
    TfsGrammarItem item;
    ReadItem(element, item);
    if (rules) item.Kind = TfsGrammarKind::Rule;
    item.FirstChild = static_cast<int>(FItems.size());
    item.ChildCount = element->Count();
    FItems.resize(FItems.size() + static_cast<std::size_t>(element->Count()));
    const int firstChild = item.FirstChild;
    FItems[static_cast<std::size_t>(First + i)] = std::move(item);
    AddItems(element, firstChild);
  }
  return First + Parent->Count();
}

void TfsGrammar::ReadItem(const TfsXMLItem* Element, TfsGrammarItem& Item) const {
  Item.Name = Element->Name();
  Item.Kind = KindOf(Item.Name);
  Item.Text = LowerCase(Element->Prop("text"));
  Item.Node = LowerCase(Element->Prop("node"));
  Item.NodeIsUses = Item.Node == "uses";
  Item.NodeIsExpr = Item.Node == "expr";
  String err = Element->Prop("err");
  Item.HasErr = !err.empty();
  for (const auto& [key, message] : FErrors)
    if (SameText(key, err)) {
      Item.ErrText = message;
      break;
    }
  Item.Term = Element->Prop("term") == "1";
  String skip = Element->Prop("skip");
  Item.NoSkip = Item.Kind == TfsGrammarKind::Char && skip == "0";
  Item.DropError = IsLoop(Item.Kind) && skip == "1";
  Item.Add = Element->Prop("add");
  Item.HasAdd = !Item.Add.empty();
  String addText = Element->Prop("addtext");
  Item.HasAddText = !addText.empty();
  Item.AddText = EscapeAttrText(addText);
  Item.AddValue = addText;
}

void TfsGrammar::ResolveRules() {
  const int rules = FDocument->Root()->Count();
  std::unordered_map<String, int> byName;
  for (int i = rules - 1; i >= 0; --i) byName[LowerCase(FItems[static_cast<std::size_t>(i)].Name)] = i;  // the first wins
  for (TfsGrammarItem& item : FItems) {
    if (item.Kind != TfsGrammarKind::RuleRef) continue;
    auto it = byName.find(LowerCase(item.Name));
    item.RuleIndex = it == byName.end() ? -1 : it->second;
  }
  auto program = byName.find("program");
  FProgramRule = program == byName.end() ? -1 : program->second;
  assert(FProgramRule < rules);
}
