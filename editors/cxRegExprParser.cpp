// The parser of mask expressions: alternatives, groups, quantifiers, bounds, classes and
// group references into the parse tree, every syntax error recorded at its lexem.
#include "core/StrUtils.h"
#include "editors/cxClasses.h"
#include "editors/cxRegExpr.h"
#include "editors/cxRegExprConsts.h"
#include "editors/cxRegExprStates.h"
#include "editors/cxRegExprTree.h"

#include <algorithm>

namespace {

String Text(const char* Message, const String& Arg = String()) {
  String Result = TranslateLibraryString(Message);
  const std::size_t At = Result.find("%s");
  if (At != String::npos) Result.replace(At, 2, Arg);
  return Result;
}

TcxRegExprParserItem* SimpleItem(TcxRegExprItem* Item) {
  return new TcxRegExprParserSimpleItem(new TcxRegExprSimpleState(Item));
}

// The character item a lexem of a class kind stands for; nil for a literal.
TcxRegExprItem* ClassKindItem(int Kind) {
  switch (Kind) {
    case lkAnyChar: return new TcxRegExprAll;
    case lkWordChar: return new TcxRegExprIdLetter(false);
    case lkNonWordChar: return new TcxRegExprIdLetter(true);
    case lkDigit: return new TcxRegExprDigit(false);
    case lkNonDigit: return new TcxRegExprDigit(true);
    case lkSpace: return new TcxRegExprSpace(false);
    case lkNonSpace: return new TcxRegExprSpace(true);
    case lkDateSeparator: return new TcxRegExprDateSeparator;
    case lkTimeSeparator: return new TcxRegExprTimeSeparator;
    default: return nullptr;
  }
}

// An integer lexem's value; values beyond any sensible bound stay at that bound.
int IntegerOf(const TcxLexem& Lexem) {
  long long Value = 0;
  for (char c : Lexem.Text) Value = std::min<long long>(Value * 10 + (c - '0'), 1000000000LL);
  return static_cast<int>(Value);
}

std::size_t IndexOf(const TcxRegExprParserAlt& Alt, const TcxRegExprParserItem* Item) {
  for (std::size_t I = 0; I < Alt.Items.size(); ++I)
    if (Alt.Items[I].get() == Item) return I;
  return Alt.Items.size();
}

// Gives Item the quantifier Q; an item that has one already is wrapped in a new group with Q,
// so "a+?" means "(a+)?".
TcxRegExprParserItem* Quantified(TcxRegExprParserItem* Item, TcxRegExprQuantifier* Q) {
  if (Item->IsUnquantified()) {
    Item->ReplaceQuantifier(Q);
    return Item;
  }
  auto* Wrapper = new TcxRegExprParserBlockItem(Q);
  Wrapper->Alts().Add()->Items.emplace_back(Item);
  return Wrapper;
}

}  // namespace

const TcxLexem* TcxRegExpr::NextLexem() const {
  return FLexemIndex < FLexems->Count() ? &FLexems->Items(FLexemIndex) : nullptr;
}

void TcxRegExpr::ErrorAt(const TcxLexem& Lexem, const String& Text) { AddError(Lexem.LineNo, Lexem.Column, Text); }

std::unique_ptr<TcxRegExprParserAlts> TcxRegExpr::Parse() {
  auto Tree = std::make_unique<TcxRegExprParserAlts>();
  FLexemIndex = 0;
  ParseAlts(*Tree, false);
  return Tree;
}

void TcxRegExpr::ParseAlts(TcxRegExprParserAlts& Alts, bool Nested) {
  while (ParseAlt(*Alts.Add(), Nested)) {
  }
}

// Returns whether a further alternative follows.
bool TcxRegExpr::ParseAlt(TcxRegExprParserAlt& Alt, bool Nested) {
  const TcxLexem* First = NextLexem();
  if (!First) {
    AddError(0, 0, Text(cxRegExprText::EmptyAlternative));
    return false;
  }
  if (First->IsOperator('|')) {
    ErrorAt(*First, Text(cxRegExprText::EmptyAlternative));
    ++FLexemIndex;
    return true;
  }
  if (Nested && First->IsOperator(')')) {
    ErrorAt(*First, Text(cxRegExprText::EmptyBlock));
    ++FLexemIndex;
    return false;
  }
  TcxRegExprParserItem* Last = nullptr;
  const auto Append = [&](TcxRegExprParserItem* Item) {
    Alt.Items.emplace_back(Item);
    Last = Item;
  };
  // Puts Last's quantified form in its place.
  const auto ApplyQuantifier = [&](TcxRegExprQuantifier* Q) {
    const std::size_t At = IndexOf(Alt, Last);
    TcxRegExprParserItem* Item = Alt.Items[At].release();
    TcxRegExprParserItem* Result = Quantified(Item, Q);
    if (Result != Item) ++FTreeSize;
    Alt.Items[At].reset(Result);
    Last = Result;
  };
  while (const TcxLexem* L = NextLexem()) {
    const TcxLexem Lexem = *L;
    ++FLexemIndex;
    if (Lexem.Kind == lkLiteral) {
      ++FTreeSize;
      Append(SimpleItem(new TcxRegExprSymbol(Lexem.FirstChar())));
    } else if (TcxRegExprItem* Item = ClassKindItem(Lexem.Kind)) {
      ++FTreeSize;
      Append(SimpleItem(Item));
    } else if (Lexem.Kind == lkInteger) {
      ErrorAt(Lexem, Text(cxRegExprText::IllegalInteger));
    } else if (Lexem.Kind == lkGroupRef) {
      const int N = IntegerOf(Lexem);
      if (N > static_cast<int>(FGroups.size())) {
        ErrorAt(Lexem, Text(cxRegExprText::ReferenceTooBig));
      } else if (FTreeSize + FGroups[static_cast<std::size_t>(N - 1)]->Size() > MaxTreeItems) {
        ErrorAt(Lexem, Text(cxRegExprText::TooLarge));
      } else {
        TcxRegExprParserItem* Copy = FGroups[static_cast<std::size_t>(N - 1)]->Duplicate();
        FTreeSize += Copy->Size();
        Append(Copy);
      }
    } else if (Lexem.IsOperator('(')) {
      Append(ParseGroup());
    } else if (Lexem.IsOperator(')')) {
      if (Nested) return false;
      ErrorAt(Lexem, Text(cxRegExprText::Illegal, ")"));
    } else if (Lexem.IsOperator('|')) {
      return true;
    } else if (Lexem.IsOperator('*') || Lexem.IsOperator('+')) {
      const bool Star = Lexem.IsOperator('*');
      if (!Last) ErrorAt(Lexem, Text(cxRegExprText::IllegalQuantifier, Lexem.Text));
      else if (Last->MatchesEmpty()) ErrorAt(Lexem, Text(Star ? cxRegExprText::StarNotApplicable : cxRegExprText::PlusNotApplicable));
      else if (Star) ApplyQuantifier(new TcxRegExprStarQuantifier);
      else ApplyQuantifier(new TcxRegExprPlusQuantifier);
    } else if (Lexem.IsOperator('?')) {
      if (!Last) ErrorAt(Lexem, Text(cxRegExprText::IllegalQuantifier, "?"));
      else ApplyQuantifier(new TcxRegExprQuestionQuantifier);
    } else if (Lexem.IsOperator('{')) {
      if (!Last) ErrorAt(Lexem, Text(cxRegExprText::WrongParameter));
      else ParseBounds(Alt, Last, Lexem);
    } else if (Lexem.IsOperator('[')) {
      Append(ParseClass());
    } else if (Lexem.IsOperator('-') || Lexem.IsOperator(']') || Lexem.IsOperator('}')) {
      ErrorAt(Lexem, Text(cxRegExprText::Illegal, Lexem.Text));
    }
    // "," and "^" out of place are passed over.
  }
  return false;
}

// After "(": the group is listed before its content is parsed, so its number follows the
// order of the opening brackets.
TcxRegExprParserItem* TcxRegExpr::ParseGroup() {
  auto* Group = new TcxRegExprParserBlockItem;
  ++FTreeSize;
  FGroups.push_back(Group);
  ParseAlts(Group->Alts(), true);
  return Group;
}

// After "[".
TcxRegExprParserItem* TcxRegExpr::ParseClass() {
  const TcxLexem* L = NextLexem();
  const bool Inverse = L && L->IsOperator('^');
  if (Inverse) ++FLexemIndex;
  auto* Enumeration = new TcxRegExprUserEnumeration(Inverse);
  ++FTreeSize;
  TcxRegExprParserItem* Result = SimpleItem(Enumeration);
  L = NextLexem();
  if (L && L->IsOperator(']')) {
    ErrorAt(*L, Text(cxRegExprText::EmptyEnumeration));
    ++FLexemIndex;
    return Result;
  }
  while ((L = NextLexem()) != nullptr) {
    const TcxLexem Member = *L;
    ++FLexemIndex;
    if (Member.IsOperator(']')) break;
    const TcxLexem* Dash = NextLexem();
    const bool Range = Dash && Dash->IsOperator('-') && FLexemIndex + 1 < FLexems->Count() &&
                       !FLexems->Items(FLexemIndex + 1).IsOperator(']');
    if (!Range) {
      TcxRegExprItem* Item = ClassKindItem(Member.Kind);
      Enumeration->Add(Item ? Item : new TcxRegExprSymbol(Member.FirstChar()));
      continue;
    }
    const TcxLexem End = FLexems->Items(FLexemIndex + 1);
    FLexemIndex += 2;
    if (Member.FirstChar() <= End.FirstChar()) Enumeration->Add(new TcxRegExprSubrange(Member.FirstChar(), End.FirstChar()));
    else ErrorAt(End, Text(cxRegExprText::SubrangeOrder));
    while ((Dash = NextLexem()) != nullptr && Dash->IsOperator('-')) {
      ErrorAt(*Dash, Text(cxRegExprText::Illegal, "-"));
      ++FLexemIndex;
    }
  }
  return Result;
}

// After "{": "n}", "n,}" or "n,m}".
void TcxRegExpr::ParseBounds(TcxRegExprParserAlt& Alt, TcxRegExprParserItem*& Last, const TcxLexem& Brace) {
  int N = 0, M = 0;
  bool Good = false;
  const TcxLexem* L = NextLexem();
  if (L && L->Kind == lkInteger) {
    N = IntegerOf(*L);
    ++FLexemIndex;
    L = NextLexem();
    if (L && L->IsOperator('}')) {
      M = N;
      Good = true;
    } else if (L && L->IsOperator(',')) {
      ++FLexemIndex;
      L = NextLexem();
      if (L && L->IsOperator('}')) {
        M = -1;
        Good = true;
      } else if (L && L->Kind == lkInteger && IntegerOf(*L) >= N) {
        M = IntegerOf(*L);
        ++FLexemIndex;
        L = NextLexem();
        Good = L && L->IsOperator('}');
      }
    }
  }
  if (L) ++FLexemIndex;  // the "}", or the lexem where the reading stopped
  if (!Good) {
    ErrorAt(L ? *L : Brace, Text(cxRegExprText::WrongParameter));
    return;
  }
  ApplyBounds(Alt, Last, N, M, Brace);
}

// Replaces Last by a group of copies: n required, then a starred one for "{n,}" or a chain
// of m - n optional ones nested to the right. M < 0 means unbounded.
void TcxRegExpr::ApplyBounds(TcxRegExprParserAlt& Alt, TcxRegExprParserItem*& Last, int N, int M, const TcxLexem& Brace) {
  if (Last->AllowsNone()) {
    ErrorAt(Brace, Text(cxRegExprText::ParameterNotApplicable));
    return;
  }
  const long long Copies = M < 0 ? N + 1LL : M;
  const long long Wrappers = M > N ? M - N : 1;
  const long long Grown = Copies * Last->Size() + Wrappers + 1;
  if (FTreeSize - Last->Size() + Grown > MaxTreeItems) {
    ErrorAt(Brace, Text(cxRegExprText::TooLarge));
    return;
  }
  // With no required copy the whole group may be left out, so what comes before it can end
  // a match ("x{0}" matches the empty input, "ax{0,2}" is complete after "a").
  auto* Group = new TcxRegExprParserBlockItem(N == 0 ? new TcxRegExprQuestionQuantifier : nullptr);
  TcxRegExprParserAlt* Inner = Group->Alts().Add();
  for (int I = 0; I < N; ++I) Inner->Items.emplace_back(Last->Duplicate());
  if (M < 0) {
    Inner->Items.emplace_back(Quantified(Last->Duplicate(), new TcxRegExprStarQuantifier));
  } else if (M > N) {
    TcxRegExprParserItem* Chain = Quantified(Last->Duplicate(), new TcxRegExprQuestionQuantifier);
    for (int K = M - 1; K > N; --K) {
      auto* Link = new TcxRegExprParserBlockItem(new TcxRegExprQuestionQuantifier);
      TcxRegExprParserAlt* LinkAlt = Link->Alts().Add();
      LinkAlt->Items.emplace_back(Last->Duplicate());
      LinkAlt->Items.emplace_back(Chain);
      Chain = Link;
    }
    Inner->Items.emplace_back(Chain);
  }
  const std::size_t At = IndexOf(Alt, Last);
  FTreeSize += Group->Size() - Last->Size();
  // The replaced item is kept: a group list entry may point at it or into it.
  FReplaced.push_back(std::move(Alt.Items[At]));
  Alt.Items[At].reset(Group);
  Last = Group;
}
