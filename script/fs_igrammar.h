#pragma once
// A language grammar in the form the parser walks: read once from its XML text and kept per
// text, so that compiling many small scripts (report expressions compile one by one) does not
// read the XML again each time.
//
// Grammar text: root `language` (attribute `text`, the language's name); its children are
// `parser` (lexer settings, `keywords`, `errors`), `types` (type aliases), and the rules, the
// start rule being `program`. A rule's children are its items; an item is a kind (char,
// keyword, ident, number, string, frstring, eol, sequence, switch, optionalswitch, loop,
// optionalloop, optional; names ignoring case) or the name of another rule. Attributes of an
// item: text, err, term, skip, node, add, addtext (opt is accepted and has no effect).
//
// In the parsed form kinds are enums, `text` and `node` are lower-cased, an `err` key is
// replaced by its message, and a rule reference holds the index of the rule. A reference to a
// rule the grammar lacks keeps RuleIndex -1 and raises "Invalid language definition" only when
// the parser reaches it. A text that is no well-formed document raises "Invalid file format".
// Declares TfsGrammarKind, TfsGrammarItem, TfsGrammarSetting and TfsGrammar.
#include "core/System.h"

#include <cstdint>
#include <memory>
#include <vector>

class TfsXMLDocument;
class TfsXMLItem;

enum class TfsGrammarKind : unsigned char {
  Rule,  // a rule definition: a child of `language`
  Char, Keyword, Ident, Number, String, FrString, Eol,
  Sequence, Switch, OptionalSwitch, Loop, OptionalLoop, Optional,
  RuleRef,
};

// The tokens an item can begin with. Words are the grammar's keyword texts by
// TfsGrammar::WordId; a set that cannot tell (a line end, a `<...>` reference, a character
// read without skipping blanks, a missing rule) is Any.
struct TfsFirstTokens {
  std::uint64_t Punct[4] = {};  // punctuation characters, a bit per byte
  std::uint64_t Words[4] = {};  // keyword texts, a bit per word id
  bool Any = false;
  bool AnyWord = false;   // any word, reserved or not
  bool AnyIdent = false;  // any word that is not reserved
  bool Number = false;
  bool String = false;
};

struct TfsGrammarItem {
  TfsGrammarKind Kind = TfsGrammarKind::Sequence;
  bool HasErr = false;     // `err` given: a failure records ErrText when no error is pending
  bool Term = false;       // term="1": a loop of two or more iterations drops this item's error
  bool NoSkip = false;     // a char with skip="0": no blanks or comments skipped before it
  bool DropError = false;  // a loop with skip="1": drops the error of its last iteration
  bool HasAdd = false;
  bool HasAddText = false;
  bool NodeIsUses = false;  // node "uses": the unit names written inside are inlined
  bool NodeIsExpr = false;  // node "expr": the opening tag also carries pos1
  int RuleIndex = -1;       // RuleRef: index into Items of the rule definition; -1 when missing
  int FirstChild = 0;       // the children are Items[FirstChild .. FirstChild + ChildCount)
  int ChildCount = 0;
  String Text;     // lower-cased; for loops the separator
  String Node;     // lower-cased; '' = none
  String Add;      // the element `add` writes
  String AddText;  // escaped, ready to write
  String AddValue;  // the same unescaped
  String ErrText;  // the message of the `err` key; '' when the key is missing
  String Name;     // the element's name as written (a rule's, or the referenced rule's)

  // Trying an item at a token outside First visits only the items that token could start
  // (its leading items up to the first that cannot match nothing; every alternative of a
  // switch up to the first that can): each either fails there or matches nothing. What that
  // trial does is known in advance, so the matcher answers for it without trying.
  TfsFirstTokens First;
  bool Nullable = false;    // can match without consuming a token
  bool MayWrite = false;    // the trial may leave output behind
  bool MayRecord = false;   // the trial may record an error
  bool ReadsToken = false;  // the trial asks the lexer for a token
  bool ReadsIdent = false;  // ... for an identifier among them
  int TrialDepth = 0;       // how much deeper than the item the trial nests
  // First is no Any and the trial leaves no output: the item may be answered for.
  bool Skippable = false;
};

// One child of `parser`: its name lower-cased and its `text`.
struct TfsKeywordSet;

struct TfsGrammarSetting {
  String Name;
  String Value;
};

class TfsGrammar {
public:
  // The parsed form of a grammar text, shared by every parser that loads it. Raises
  // "Invalid file format" for a text that is no document.
  static std::shared_ptr<const TfsGrammar> FromText(const String& Text);
  // The parsed form of the grammar registered under the name (fs_itools.h), read when first
  // asked for and kept with the registration until the next RegisterGrammar of that name.
  // Raises "Language '%s' not found" for an unknown name. Safe from any thread.
  static std::shared_ptr<const TfsGrammar> ForLanguage(const String& Language);

  ~TfsGrammar();

  const TfsXMLDocument* Document() const { return FDocument.get(); }
  // The `language` element.
  const TfsXMLItem* Root() const;
  const String& LanguageName() const { return FLanguageName; }
  const std::vector<TfsGrammarSetting>& Settings() const { return FSettings; }
  const std::vector<String>& Keywords() const { return FKeywords; }
  // The same, ready for a lexer to share.
  const std::shared_ptr<const TfsKeywordSet>& KeywordSet() const { return FKeywordSet; }
  // The `types` element, copied into every intermediate program; nullptr when the grammar has
  // none.
  const TfsXMLItem* Types() const { return FTypes; }
  const std::vector<TfsGrammarItem>& Items() const { return FItems; }
  const TfsGrammarItem& Item(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }
  // The index of the rule definition `program`; -1 when the grammar has none.
  int ProgramRule() const { return FProgramRule; }
  // The id of a keyword text in the First sets; -1 for a text no item names. The texts are
  // lower-cased: with FoldCase the word's ASCII capitals count as small letters.
  int WordId(std::string_view Word, bool FoldCase) const;
  // `ignoretail` "1" under `parser`: text after the program's match is not an error.
  bool IgnoreTail() const { return FIgnoreTail; }

private:
  TfsGrammar();
  void Read(const String& Text);
  void ReadParser(const TfsXMLItem* Parser);
  int AddItems(const TfsXMLItem* Parent, int First);
  void ReadItem(const TfsXMLItem* Element, TfsGrammarItem& Item) const;
  void ResolveRules();
  // First sets and trials of every item (fs_igrammarfirst.cpp).
  void ComputeFirstTokens();
  void AddWordIds();

  std::unique_ptr<TfsXMLDocument> FDocument;
  String FLanguageName;
  std::vector<TfsGrammarSetting> FSettings;
  std::vector<String> FKeywords;
  std::shared_ptr<const TfsKeywordSet> FKeywordSet;
  std::vector<std::pair<String, String>> FErrors;  // key lower-cased, message
  const TfsXMLItem* FTypes = nullptr;
  std::vector<TfsGrammarItem> FItems;
  std::vector<std::pair<String, int>> FWordIds;  // sorted by text
  // Open addressing over FWordIds by a hash of the lower-cased bytes: the matcher asks for
  // the word ahead at nearly every position. Slots hold an index, -1 when empty; the size is
  // a power of two at least twice the words.
  std::vector<int> FWordSlots;
  int FProgramRule = -1;
  bool FIgnoreTail = false;
};
