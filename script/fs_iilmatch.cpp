// Matching grammar items over the lexer: tokens, structures, loops, nodes, `add` elements,
// `<...>` references and the errors they record.
#include "script/fs_iilmatch_p.h"

#include "script/fs_iconst.h"
#include "script/fs_iilconst.h"
#include "script/fs_iilparser.h"
#include "script/fs_iparser.h"
#include "script/fs_xml.h"
#include "core/StackSpace.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <cassert>
#include <charconv>

namespace {

// Stack kept free below the matcher: what the lexer, a unit's file reading and the error
// routines need after the deepest match.
constexpr std::size_t kStackReserve = 256 * 1024;

using K = TfsGrammarKind;

// The unit name an element written inside a uses clause names: the `text` value of its first
// element without children that has one, without the quotes of the string token; '' when none.
String UnitNameOf(const TfsXMLItem* Item) {
  if (Item->Count() == 0) {
    String text = Item->Prop(String(fsil::AttrText));
    return text.size() < 2 ? String() : text.substr(1, text.size() - 2);
  }
  for (int i = 0; i < Item->Count(); ++i)
    if (String name = UnitNameOf(Item->Items(i)); !name.empty()) return name;
  return String();
}

}  // namespace

// ---------------------------------------------------------------- TfsILOutput

TfsILOutput::TfsILOutput() = default;
TfsILOutput::~TfsILOutput() = default;

TfsXMLItem* TfsILOutput::Add(const String& Name) {
  auto item = std::make_unique<TfsXMLItem>();
  item->SetName(Name);
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

void TfsILOutput::Add(std::unique_ptr<TfsXMLItem> Item) {
  assert(Item && !Item->Parent());
  FItems.push_back(std::move(Item));
}

TfsXMLItem* TfsILOutput::Wrap(int Index, const String& Name) {
  assert(Index >= 0 && Index <= Count());
  auto node = std::make_unique<TfsXMLItem>();
  node->SetName(Name);
  node->ReserveItems(Count() - Index);
  for (auto it = FItems.begin() + Index; it != FItems.end(); ++it) node->AddItem(it->release());
  FItems.resize(static_cast<std::size_t>(Index));
  FItems.push_back(std::move(node));
  return FItems.back().get();
}

void TfsILOutput::Truncate(int Index) {
  assert(Index >= 0 && Index <= Count());
  FItems.resize(static_cast<std::size_t>(Index));
}

std::vector<std::unique_ptr<TfsXMLItem>> TfsILOutput::TakeFrom(int Index) {
  assert(Index >= 0 && Index <= Count());
  std::vector<std::unique_ptr<TfsXMLItem>> taken(std::make_move_iterator(FItems.begin() + Index),
                                                 std::make_move_iterator(FItems.end()));
  FItems.resize(static_cast<std::size_t>(Index));
  return taken;
}

void TfsILOutput::MoveInto(TfsXMLItem* Parent) {
  for (auto& item : FItems) Parent->AddItem(item.release());
  FItems.clear();
}

// ---------------------------------------------------------------- TfsILErrorState

void TfsILErrorState::Record(const String& Message, const String& Pos, bool Term) {
  if (FPending) return;
  FPending = true;
  FMessage = Message;
  FPos = Pos;
  FTerm = Term;
  ++FSerial;
}

void TfsILErrorState::Drop() {
  FPending = false;
  FMessage.clear();
  FPos.clear();
  FTerm = false;
}

// ---------------------------------------------------------------- TfsILMatcher

TfsILMatcher::TfsILMatcher(TfsILParser& Parser, const TfsGrammar& Grammar, TfsILOutput& Output,
                           TfsILErrorState& Error)
    : FParser(Parser),
      FGrammar(Grammar),
      FLexer(*Parser.Lexer()),
      FOutput(Output),
      FError(Error),
      // Readers that do not skip blanks would each see a different token.
      FAnswerTrials(TfsILParser::FirstTokenSkipping() && FLexer.SkipBlanks()) {}

bool TfsILMatcher::MatchRule(int Index) {
  assert(FGrammar.Item(Index).Kind == K::Rule);
  return Match(FGrammar.Item(Index), 0);
}

inline void TfsILMatcher::CheckNesting(int Depth) const {
  if (FParser.FNestingBase + Depth > TfsILParser::MaxNesting) throw EStackOverflow("Stack overflow");
  if (Depth % 16 == 0) CheckStackSpace(kStackReserve);
}

// ---------------------------------------------------------------- first tokens

// Asked for at nearly every item tried: the answer at the same position is the one taken.
inline const TfsILMatcher::TPeek& TfsILMatcher::Peek() { return FPeek.Position == FLexer.Position() ? FPeek : TakePeek(); }

const TfsILMatcher::TPeek& TfsILMatcher::TakePeek() {
  const int here = FLexer.Position();
  FPeek = TPeek();
  FPeek.Position = here;
  FLexer.SkipBlanksAndComments();
  const int start = FLexer.Position();
  FPeek.Start = start;
  if (start <= FLexer.Size()) {
    const unsigned char c = static_cast<unsigned char>(FLexer.Text()[static_cast<std::size_t>(start - 1)]);
    const bool digit = c >= '0' && c <= '9';
    FPeek.Char = c;
    FPeek.Punct = (c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126);
    FPeek.Number = digit || c == static_cast<unsigned char>(FLexer.HexSequence()[0]);
    FPeek.String = c == '#' || (!FLexer.StringQuotes().empty() && c == static_cast<unsigned char>(FLexer.StringQuotes()[0]));
    if (const std::string_view word = FLexer.WordAt(start); !word.empty()) {
      FPeek.Word = true;
      FPeek.WordEnd = start + static_cast<int>(word.size());
      // Keyword texts are lower-cased; a token equals one ignoring ASCII case, or exactly.
      FPeek.WordId = FGrammar.WordId(word, !FLexer.CaseSensitive());
    }
  }
  FLexer.MoveTo(here);
  return FPeek;
}

bool TfsILMatcher::Reserved(const TPeek& P) const {
  if (P.Reserved < 0)
    P.Reserved = FLexer.KeywordListed(std::string_view(FLexer.Text()).substr(static_cast<std::size_t>(P.Start - 1), static_cast<std::size_t>(P.WordEnd - P.Start)));
  return P.Reserved > 0;
}

bool TfsILMatcher::Admits(const TfsFirstTokens& First, const TPeek& P) const {
  if (P.Punct && ((First.Punct[P.Char >> 6] >> (P.Char & 63)) & 1)) return true;
  if (P.Number && First.Number) return true;
  if (P.String && First.String) return true;
  if (P.Word) {
    if (First.AnyWord || (First.AnyIdent && !Reserved(P))) return true;
    if (P.WordId >= 0 && P.WordId < 256 && ((First.Words[P.WordId >> 6] >> (P.WordId & 63)) & 1)) return true;
  }
  return false;
}

bool TfsILMatcher::AnswerWithoutTrial(const TfsGrammarItem& Item, int Depth, bool& Matched) {
  assert(MayAnswer(Item));
  const TPeek& p = Peek();
  if (Admits(Item.First, p)) return false;
  // The trial, every item of it failing or matching nothing at this position: as deep as it
  // would have nested, and looking for its tokens where each reader would have.
  if (FParser.FNestingBase + Depth + Item.TrialDepth > TfsILParser::MaxNesting) throw EStackOverflow("Stack overflow");
  if (Item.ReadsToken) FFurthest = std::max(FFurthest, Item.ReadsIdent && p.Word && Reserved(p) ? p.WordEnd : p.Start);
  Matched = Item.Nullable;
  return true;
}

// ---------------------------------------------------------------- matching

bool TfsILMatcher::Match(const TfsGrammarItem& Item, int Depth) {
  CheckNesting(Depth);
  if (bool answer = false; MayAnswer(Item) && AnswerWithoutTrial(Item, Depth, answer)) return answer;
  const int start = FLexer.Position();
  const int startLines = FOutput.Count();
  bool matched = false;
  String token;
  switch (Item.Kind) {
    case K::Rule:
    case K::Sequence:
      matched = true;
      break;
    case K::Char:
    case K::Keyword:
    case K::Ident:
    case K::Number:
    case K::String:
      matched = MatchToken(Item, token);
      break;
    case K::FrString:
      token = FLexer.ReadBracketedText();
      WriteReference(token);
      matched = !token.empty();
      break;
    case K::Eol:
      // The end of the text ends its last line: a text need not end with a line end.
      matched = FLexer.ReadLineEnd() || FLexer.Position() > FLexer.Size();
      FFurthest = std::max(FFurthest, FLexer.TokenStart());
      break;
    case K::Switch:
    case K::OptionalSwitch:
      return MatchSwitch(Item, Depth, start);
    case K::Loop:
    case K::OptionalLoop:
      return MatchLoop(Item, Depth, start);
    case K::Optional:
      MatchOptional(Item, Depth, start);
      return true;
    case K::RuleRef:
      if (Item.RuleIndex < 0) throw Exception(fsMessage(fsInvalidLanguage));
      matched = Match(FGrammar.Item(Item.RuleIndex), Depth + 1);
      break;
  }
  if (matched) {
    // A rule definition wraps what its items wrote once they have run; any other item wraps
    // now, before its own children: what a referenced rule wrote, or nothing for a token.
    if (Item.Kind != K::Rule) CloseNode(Item, true, start, startLines, Depth);
    if (Item.HasAdd) WriteAdd(Item, std::move(token));
    matched = MatchChildren(Item, Depth);
  }
  if (!matched) {
    RecordError(Item, start);
    FLexer.MoveTo(start);
  }
  if (Item.Kind == K::Rule) CloseNode(Item, matched, start, startLines, Depth);
  return matched;
}

bool TfsILMatcher::MatchChildren(const TfsGrammarItem& Item, int Depth) {
  const int end = Item.FirstChild + Item.ChildCount;
  for (int i = Item.FirstChild; i < end; ++i)
    if (!Match(FGrammar.Item(i), Depth + 1)) return false;
  return true;
}

bool TfsILMatcher::MatchToken(const TfsGrammarItem& Item, String& Token) {
  switch (Item.Kind) {
    case K::Char:
      if (!Item.NoSkip) FLexer.SkipBlanksAndComments();
      Token = FLexer.ReadPunctuation();
      break;
    case K::Keyword: Token = FLexer.ReadWordToken(); break;
    case K::Ident: Token = FLexer.ReadIdentToken(); break;
    case K::Number: Token = FLexer.ReadNumberLiteral(); break;
    case K::String: Token = FLexer.ReadStringLiteral(); break;
    default: assert(false);
  }
  // Where this token was looked for: a reader that found nothing stays there.
  const int tried = Token.empty() ? FLexer.Position() : Item.Kind == K::Char ? FLexer.Position() - 1 : FLexer.TokenStart();
  FFurthest = std::max(FFurthest, tried);
  return !Token.empty() && (Item.Text.empty() || SameToken(Token, Item.Text));
}

bool TfsILMatcher::SameToken(const String& Token, const String& Text) const {
  // Text was lower-cased when the grammar was read: a case-sensitive language matches its
  // keywords and operators in lower case only.
  return FLexer.CaseSensitive() ? Token == Text : SameText(Token, Text);
}

bool TfsILMatcher::MatchSwitch(const TfsGrammarItem& Item, int Depth, int Start) {
  // Each failed alternative went back to its own start and keeps what it wrote.
  const int end = Item.FirstChild + Item.ChildCount;
  for (int i = Item.FirstChild; i < end; ++i)
    if (Match(FGrammar.Item(i), Depth + 1)) return true;
  if (Item.Kind == K::OptionalSwitch) return true;
  RecordError(Item, Start);
  return false;
}

bool TfsILMatcher::MatchLoop(const TfsGrammarItem& Item, int Depth, int Start) {
  int iterations = 0;
  int lastEnd = Start;
  int serialBeforeLast = FError.Serial();
  bool iterationMatched = false;
  for (;;) {
    const int iterationStart = FLexer.Position();
    serialBeforeLast = FError.Serial();
    ++iterations;
    iterationMatched = MatchChildren(Item, Depth);
    lastEnd = FLexer.Position();
    if (!iterationMatched) break;
    if (!Item.Text.empty()) {
      FLexer.SkipBlanksAndComments();
      if (FLexer.ReadPunctuation() != Item.Text) {
        FLexer.MoveTo(lastEnd);
        break;
      }
    }
    // An iteration that matched nothing (separator included) would match nothing forever.
    if (FLexer.Position() == iterationStart) break;
  }
  if (iterations >= 2) {
    // A partly matched last iteration keeps what it matched. The error that ended the loop is
    // dropped where the grammar says the loop may end that way.
    FLexer.MoveTo(lastEnd);
    if (FError.Pending() && FError.Serial() > serialBeforeLast && (Item.DropError || FError.Term())) FError.Drop();
    return true;
  }
  if (iterationMatched) return true;
  if (Item.Kind == K::OptionalLoop) {
    FLexer.MoveTo(Start);
    return true;
  }
  return false;
}

void TfsILMatcher::MatchOptional(const TfsGrammarItem& Item, int Depth, int Start) {
  const int end = Item.FirstChild + Item.ChildCount;
  for (int i = Item.FirstChild; i < end; ++i)
    if (!Match(FGrammar.Item(i), Depth + 1)) {
      FLexer.MoveTo(Start);
      return;
    }
}

// ---------------------------------------------------------------- writing

void TfsILMatcher::CloseNode(const TfsGrammarItem& Item, bool Matched, int Start, int StartLines, int Depth) {
  if (Item.Node.empty()) return;
  if (Item.NodeIsUses) {
    InlineUses(StartLines, Depth);  // on failure too: the units named so far are inlined
    return;
  }
  if (!Matched) {
    FOutput.Truncate(StartLines);
    return;
  }
  int line = 0, col = 0, line1 = 0, col1 = 0;
  LineColOf(FirstTokenPos(Start), line, col);
  if (Item.NodeIsExpr) LineColOf(FLexer.Position(), line1, col1);
  FOutput.Wrap(StartLines, Item.Node)->SetILAttrs(String(), false, line, col, line1, col1);
}

void TfsILMatcher::InlineUses(int StartLines, int Depth) {
  // Last-listed first: a unit that an earlier one uses too is inlined by then, and is not
  // inlined again inside it. Each goes after the ones before it in the output.
  std::vector<std::unique_ptr<TfsXMLItem>> items = FOutput.TakeFrom(StartLines);
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    String unit = UnitNameOf(it->get());
    if (!unit.empty()) FParser.InlineUnit(unit, FOutput, FError, FParser.FNestingBase + Depth);
  }
}

void TfsILMatcher::WriteAdd(const TfsGrammarItem& Item, String Token) {
  int line = 0, col = 0;
  LineColOf(FLexer.Position(), line, col);
  FOutput.Add(Item.Add)->SetILAttrs(Item.HasAddText ? Item.AddValue : std::move(Token), true, line, col);
}

void TfsILMatcher::WriteReference(const String& Text) {
  // `<Table."Field">` is a call of Get with the bracketed text; every position is the
  // closing bracket's.
  int line = 0, col = 0;
  LineColOf(FLexer.Position(), line, col);
  const int start = FOutput.Count();
  FOutput.Add("node")->SetILAttrs(String(fsil::GetFunction), true, line, col);
  FOutput.Add("string")->SetILAttrs("'" + Text + "'", true, line, col);
  FOutput.Wrap(start + 1, "expr")->SetILAttrs(String(), false, line, col, line, col);
  FOutput.Wrap(start, "dsgn")->SetILAttrs(String(), false, line, col);
}

void TfsILMatcher::RecordError(const TfsGrammarItem& Item, int Start) {
  if (!Item.HasErr || FError.Pending()) return;
  FError.Record(Item.ErrText, LineCol(FirstTokenPos(Start)), Item.Term);
}

int TfsILMatcher::FirstTokenPos(int Start) {
  // The look-ahead taken there has skipped them already.
  if (FPeek.Position == Start) return FPeek.Start;
  const int here = FLexer.Position();
  FLexer.MoveTo(Start);
  FLexer.SkipBlanksAndComments();
  const int first = FLexer.Position();
  FLexer.MoveTo(here);
  return first;
}

String TfsILMatcher::LineCol(int Position) {
  int line = 0, column = 0;
  LineColOf(Position, line, column);
  char buffer[32];
  char* p = std::to_chars(buffer, buffer + 16, line).ptr;  // room left for ':' and the column
  *p++ = ':';
  p = std::to_chars(p, buffer + sizeof buffer, column).ptr;
  return String(buffer, p);
}

void TfsILMatcher::LineColOf(int Position, int& Line, int& Col) {
  // The lexer's own conversion, without its search from scratch: positions asked for mostly
  // lie on the line of the one before.
  const std::vector<int>& starts = FLexer.LineStarts();
  const int lines = static_cast<int>(starts.size());
  int line = std::clamp(FLastLine, 0, lines - 1);
  if (starts[static_cast<std::size_t>(line)] >= Position || (line + 1 < lines && starts[static_cast<std::size_t>(line) + 1] < Position)) {
    // Entries below the position: the last of them starts its line.
    line = static_cast<int>(std::lower_bound(starts.begin(), starts.end(), Position) - starts.begin()) - 1;
    line = std::max(line, 0);
    FLastLine = line;
  }
  const String& text = FLexer.Text();
  const int end = std::min(Position - 1, FLexer.Size() + 1);
  // Counted on from the last position asked for when it lies earlier on this line.
  int from = starts[static_cast<std::size_t>(line)];
  int column = 1;
  if (FLexer.AsciiText()) {
    column += std::max(end - from, 0);
    from = end;
  } else if (FColumnLine == line && FColumnEnd >= from && FColumnEnd <= end) {
    from = FColumnEnd;
    column = FColumn;
  }
  for (int i = from; i < end; ++i)
    if ((static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) & 0xC0) != 0x80) ++column;
  FColumnLine = line;
  FColumnEnd = std::max(end, from);
  FColumn = column;
  Line = line + 1;
  Col = column;
}
