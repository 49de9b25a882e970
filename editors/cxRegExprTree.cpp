#include "editors/cxRegExprTree.h"

#include "editors/cxRegExprItems.h"
#include "editors/cxRegExprStates.h"

namespace {

const char* const CRLF = "\r\n";

// The items from First onwards up to and including the first that must occur.
template <class F>
void ForEachUpToRequired(const TcxRegExprParserAlt& Alt, std::size_t First, F Fn) {
  for (std::size_t I = First; I < Alt.Items.size(); ++I) {
    Fn(*Alt.Items[I]);
    if (!Alt.Items[I]->AllowsNone()) break;
  }
}

void MarkAltAccepting(TcxRegExprParserAlt& Alt) {
  for (std::size_t I = Alt.Items.size(); I-- > 0;) {
    Alt.Items[I]->MarkAccepting();
    if (!Alt.Items[I]->AllowsNone()) break;
  }
}

void LinkFirstStates(TcxRegExprState* From, const TcxRegExprParserAlt& Alt) {
  ForEachUpToRequired(Alt, 0, [From](TcxRegExprParserItem& Item) { From->LinkTo(Item.Entry()); });
}

void LinkLastStates(const TcxRegExprParserAlt& Alt, TcxRegExprState* To) {
  for (std::size_t I = Alt.Items.size(); I-- > 0;) {
    Alt.Items[I]->Exit()->LinkTo(To);
    if (!Alt.Items[I]->AllowsNone()) break;
  }
}

void LinkAlt(const TcxRegExprParserAlt& Alt);

void LinkGroup(TcxRegExprParserBlockItem& Group) {
  TcxRegExprState* EntryState = Group.Entry();
  TcxRegExprState* ExitState = Group.Exit();
  if (Group.AllowsMany()) ExitState->LinkTo(EntryState);
  bool EmptyPath = false;
  for (const auto& Inner : Group.Alts().Items) {
    LinkFirstStates(EntryState, *Inner);
    EmptyPath = EmptyPath || Inner->AllAllowNone();
  }
  if (EmptyPath) EntryState->LinkTo(ExitState);
  for (const auto& Inner : Group.Alts().Items) {
    LinkAlt(*Inner);
    LinkLastStates(*Inner, ExitState);
  }
}

void LinkAlt(const TcxRegExprParserAlt& Alt) {
  for (std::size_t I = 0; I < Alt.Items.size(); ++I) {
    TcxRegExprParserItem& Item = *Alt.Items[I];
    TcxRegExprState* ExitState = Item.Exit();
    ForEachUpToRequired(Alt, I + 1, [ExitState](TcxRegExprParserItem& Next) { ExitState->LinkTo(Next.Entry()); });
    if (auto* Group = dynamic_cast<TcxRegExprParserBlockItem*>(&Item)) LinkGroup(*Group);
    else if (Item.AllowsMany()) ExitState->LinkTo(ExitState);
  }
}

}  // namespace

// --- TcxRegExprParserItem ---------------------------------------------------------------------

TcxRegExprParserItem::TcxRegExprParserItem(TcxRegExprQuantifier* AQuantifier)
    : FQuantifier(AQuantifier ? AQuantifier : new TcxRegExprSimpleQuantifier) {}
TcxRegExprParserItem::~TcxRegExprParserItem() { delete FQuantifier; }

bool TcxRegExprParserItem::AllowsNone() const { return FQuantifier->AllowsNone(); }
bool TcxRegExprParserItem::AllowsMany() const { return FQuantifier->AllowsMany(); }
bool TcxRegExprParserItem::IsUnquantified() const {
  return dynamic_cast<TcxRegExprSimpleQuantifier*>(FQuantifier) != nullptr;
}

void TcxRegExprParserItem::ReplaceQuantifier(TcxRegExprQuantifier* Q) {
  if (!Q) return;
  delete FQuantifier;
  FQuantifier = Q;
}

// --- simple item ------------------------------------------------------------------------------

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(TcxRegExprSimpleState* AState, TcxRegExprQuantifier* AQuantifier)
    : TcxRegExprParserItem(AQuantifier), FState(AState) {}
TcxRegExprParserSimpleItem::~TcxRegExprParserSimpleItem() { delete FState; }

TcxRegExprParserItem* TcxRegExprParserSimpleItem::Duplicate() const {
  return new TcxRegExprParserSimpleItem(static_cast<TcxRegExprSimpleState*>(FState->Duplicate()), Quantifier()->Duplicate());
}

String TcxRegExprParserSimpleItem::AsText() const { return "item --> " + Quantifier()->AsText() + CRLF; }
void TcxRegExprParserSimpleItem::MarkAccepting() { FState->SetAccepting(true); }
TcxRegExprState* TcxRegExprParserSimpleItem::Entry() const { return FState; }
TcxRegExprState* TcxRegExprParserSimpleItem::Exit() const { return FState; }

// --- alternatives -----------------------------------------------------------------------------

String TcxRegExprParserAlt::AsText() const {
  String Result = String("<Start_Alt>") + CRLF;
  for (const auto& Item : Items) Result += Item->AsText();
  return Result + "<Finish_Alt>" + CRLF;
}

bool TcxRegExprParserAlt::AllAllowNone() const {
  for (const auto& Item : Items)
    if (!Item->AllowsNone()) return false;
  return true;
}

bool TcxRegExprParserAlt::AllMatchEmpty() const {
  for (const auto& Item : Items)
    if (!Item->MatchesEmpty()) return false;
  return true;
}

TcxRegExprParserAlt* TcxRegExprParserAlts::Add() {
  Items.push_back(std::make_unique<TcxRegExprParserAlt>());
  return Items.back().get();
}

String TcxRegExprParserAlts::AsText() const {
  String Result;
  for (const auto& Alt : Items) Result += Alt->AsText();
  return Result;
}

// --- group ------------------------------------------------------------------------------------

TcxRegExprParserBlockItem::TcxRegExprParserBlockItem(TcxRegExprQuantifier* AQuantifier)
    : TcxRegExprParserItem(AQuantifier), FAlts(std::make_unique<TcxRegExprParserAlts>()),
      FEntryState(new TcxRegExprBlockState), FExitState(new TcxRegExprBlockState) {}

TcxRegExprParserBlockItem::~TcxRegExprParserBlockItem() {
  FAlts.reset();
  delete FEntryState;
  delete FExitState;
}

bool TcxRegExprParserBlockItem::MatchesEmpty() const {
  if (AllowsNone()) return true;
  for (const auto& Alt : FAlts->Items)
    if (Alt->AllMatchEmpty()) return true;
  return false;
}

TcxRegExprParserItem* TcxRegExprParserBlockItem::Duplicate() const {
  auto* Result = new TcxRegExprParserBlockItem(Quantifier()->Duplicate());
  for (const auto& Alt : FAlts->Items) {
    TcxRegExprParserAlt* Copy = Result->FAlts->Add();
    for (const auto& Item : Alt->Items) Copy->Items.emplace_back(Item->Duplicate());
  }
  return Result;
}

String TcxRegExprParserBlockItem::AsText() const {
  return String("<Start_Block>") + CRLF + FAlts->AsText() + "<Finish_Block> --> " + Quantifier()->AsText() + CRLF;
}

void TcxRegExprParserBlockItem::MarkAccepting() {
  for (const auto& Alt : FAlts->Items) MarkAltAccepting(*Alt);
}

TcxRegExprState* TcxRegExprParserBlockItem::Entry() const { return FEntryState; }
TcxRegExprState* TcxRegExprParserBlockItem::Exit() const { return FExitState; }

int TcxRegExprParserBlockItem::Size() const {
  int Result = 1;
  for (const auto& Alt : FAlts->Items)
    for (const auto& Item : Alt->Items) Result += Item->Size();
  return Result;
}

void LinkRegExprTree(TcxRegExprParserAlts& Tree, TcxRegExprSimpleState* Start) {
  for (const auto& Alt : Tree.Items) {
    LinkFirstStates(Start, *Alt);
    LinkAlt(*Alt);
    MarkAltAccepting(*Alt);
    if (Alt->AllAllowNone()) Start->SetAccepting(true);
  }
}
