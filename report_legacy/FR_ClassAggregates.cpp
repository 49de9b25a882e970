// Running values of footers: slots registered on data bands, accumulated per record, read by
// the footer that shows them and reset after it prints.
//
// A slot starts unset (Null): the first accumulated value is MIN's and MAX's first candidate,
// and a slot that took in nothing reads 0. Each slot counts the records it took in, so AVG
// divides by the records actually summed (hidden records without the flag are neither summed
// nor counted).
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <vector>

// ================================================================ the band

TfrBand::TfrBand(int AKind, TfrPage* APage)
    : OwnerPage(APage), AggregateValues(std::make_unique<TfrVariables>()), SlotCounts(std::make_unique<TfrVariables>()),
      BandMemo(std::make_unique<TStringList>()), BandScript(std::make_unique<TStringList>()), Kind(AKind) {}

TfrBand::~TfrBand() {
  // The chain is freed iteratively: a long chain would otherwise recurse once per band.
  TfrBand* next = NextOfKind;
  NextOfKind = nullptr;
  while (next) {
    TfrBand* after = next->NextOfKind;
    next->NextOfKind = nullptr;
    delete next;
    next = after;
  }
}

TfrBand* LineBand(TfrBand* Band) {
  if (!Band || Band->Source) return Band;
  TfrBand* first = Band;
  while (first->PrevOfKind) first = first->PrevOfKind;
  return first;
}

// ================================================================ keys

namespace {

struct TSlotKey {
  String Column;  // empty for plain slots
  String BandName;
  int Code = 0;
  String Expression;
  String Flag;
};

std::vector<String> KeyFields(const String& Key) {
  std::vector<String> f;
  std::size_t p = 0;
  for (std::size_t e; (e = Key.find(fragg::Sep, p)) != String::npos; p = e + 1) f.push_back(Key.substr(p, e - p));
  return f;
}

TSlotKey ParseKey(const String& Key) {
  std::vector<String> f = KeyFields(Key);
  TSlotKey k;
  std::size_t i = 0;
  if (f.size() >= 5) k.Column = f[i++];
  if (f.size() < i + 4) return k;
  k.BandName = f[i];
  k.Code = f[i + 1].empty() ? 0 : static_cast<unsigned char>(f[i + 1][0]);
  k.Expression = f[i + 2];
  k.Flag = f[i + 3];
  return k;
}

String MakeKey(const String& BandName, int Code, const String& Expression, const String& Flag) {
  return BandName + fragg::Sep + static_cast<char>(Code) + fragg::Sep + Expression + fragg::Sep + Flag + fragg::Sep;
}

int CurrentColumn() { return frState().CurrentPage ? frState().CurrentPage->CrossColumnNo : 0; }

// The data kind whose records a footer kind shows when the call names no band.
int ImpliedDataKind(int FooterKind) {
  switch (FooterKind) {
    case btReportSummary: case btPageFooter: case btMasterFooter: case btGroupFooter: return btMasterData;
    case btDetailFooter: return btDetailData;
    case btSubDetailFooter: return btSubDetailData;
    case btCrossFooter: return btCrossData;
    default: return -1;
  }
}

double Number(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v)) return 0;
  try {
    return v.AsDouble();
  } catch (const Exception&) {
    return 0;
  }
}

}  // namespace

// ================================================================ slots

void TfrBand::SetAggregate(const String& Key, const Variant& Value) {
  AggregateValues->SetVariable(Key, Value);
  SlotCounts->SetVariable(Key, Variant(0));
}

Variant TfrBand::GetAggregate(const String& Key) const {
  const int i = AggregateValues->IndexOf(Key);
  if (i < 0) return Variant(0);
  const Variant v = AggregateValues->Value(i);
  if (VarIsNull(v) || VarIsEmpty(v)) return Variant(0);
  if (ParseKey(Key).Code == fragg::Avg) {
    const int count = SlotCounts->Variable(Key).AsInteger();
    return count ? Variant(Number(v) / count) : Variant(0);
  }
  return v;
}

void TfrBand::Accumulate() {
  TfrVariables& slots = *AggregateValues;
  const String column = IntToStr(CurrentColumn());
  if (HasCross) {
    // Each per-column template gets its copy for the current column once.
    for (int i = 0; i < slots.Count(); ++i) {
      const String key = slots.Name(i);
      if (!StartsStr(String("0") + fragg::Sep, key)) continue;
      const String copy = column + key.substr(1);
      if (slots.IndexOf(copy) < 0) SetAggregate(copy, Null());
    }
  }
  TfrParser* parser = TfrGlobals::Instance()->Parser.get();
  String lastExpression;
  Variant lastValue;
  bool haveLast = false;
  for (int i = 0; i < slots.Count(); ++i) {
    const String key = slots.Name(i);
    const TSlotKey k = ParseKey(key);
    if (HasCross && (k.Column.empty() || k.Column == "0" || k.Column != column)) continue;
    if (k.Code < fragg::Sum || k.Code > fragg::Count) continue;
    Variant value = Variant(0);
    if (k.Code != fragg::Count) {
      if (!haveLast || k.Expression != lastExpression) {
        lastValue = parser->Evaluate(k.Expression);
        lastExpression = k.Expression;
        haveLast = true;
      }
      value = VarIsNull(lastValue) || VarIsEmpty(lastValue) ? Variant(0) : lastValue;
    }
    if (!Shown && Trim(k.Flag) != "1") continue;
    const Variant current = slots.Value(i);
    const bool unset = VarIsNull(current) || VarIsEmpty(current);
    Variant next;
    switch (k.Code) {
      case fragg::Min: next = unset || value < current ? value : current; break;
      case fragg::Max: next = unset || value > current ? value : current; break;
      case fragg::Count: next = Variant((unset ? 0 : current.AsInteger()) + 1); break;
      default: next = Variant((unset ? 0.0 : Number(current)) + Number(value)); break;
    }
    slots.SetValue(i, next);
    SlotCounts->SetVariable(key, Variant(SlotCounts->Variable(key).AsInteger() + 1));
  }
  ++AggregateCount;
}

void TfrBand::ResetValues() {
  if (Kind == btGroupHeader) {
    // A group begins: the conditions of this and the following group headers are taken now.
    TfrParser* parser = TfrGlobals::Instance()->Parser.get();
    for (TfrBand* b = this; b; b = b->NextOfKind)
      if (!b->GroupExpr.empty()) b->GroupValue = parser->EvalPostfix(b->GroupExpr);
    return;
  }
  if (!AggregateSource) return;
  TfrBand* src = AggregateSource;
  for (int i = 0; i < src->AggregateValues->Count(); ++i) {
    const String key = src->AggregateValues->Name(i);
    if (!SameText(ParseKey(key).BandName, BandName)) continue;
    src->AggregateValues->SetValue(i, Null());
    src->SlotCounts->SetVariable(key, Variant(0));
  }
  src->AggregateCount = 0;
}

// ================================================================ the functions

Variant AggregateFunction(int Code, const String& p1, const String& p2, const String& p3) {
  TfrEngineState& s = frState();
  const String expression = Code == fragg::Count ? String() : p1;
  const String bandName = Trim(Code == fragg::Count ? p1 : p2);
  const String flag = Trim(Code == fragg::Count ? p2 : p3);
  TfrBand* active = s.CurrentBand;
  if (!active) return Variant("0");
  if (s.CollectingAggregates) {
    TfrBand* prep = s.PreparingBand;
    if (!prep) return Variant("0");
    if (bandName.empty() ? prep->Kind != ImpliedDataKind(active->Kind) : !SameText(bandName, prep->BandName))
      return Variant("0");
    String key = MakeKey(active->BandName, Code, expression, flag);
    if (active->Kind != btCrossFooter && active->HasCross) key = String("0") + fragg::Sep + key;
    prep->SetAggregate(key, Null());
    active->AggregateSource = prep;
    return Variant("0");
  }
  if (!active->AggregateSource) return Variant("0");
  if (active->Kind == btCrossData) {
    TfrBand* row = active->AggregateSource;
    if (!row->AggregateSource) return Variant("0");
    const String key = IntToStr(CurrentColumn()) + fragg::Sep + MakeKey(row->BandName, Code, expression, flag);
    return row->AggregateSource->GetAggregate(key);
  }
  return active->AggregateSource->GetAggregate(MakeKey(active->BandName, Code, expression, flag));
}

// ================================================================ finding the calls

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(TStrings* Found)
    : FMatch(std::make_unique<TStringList>()), FFound(Found) {
  for (const char* n : {"AVG", "COUNT", "MAX", "MIN", "SUM"}) FMatch->Add(n);
  TfrReport* r = frState().CurrentReport;
  FSplitter = std::make_unique<TfrFunctionSplitter>(FMatch.get(), Found, r ? r->Dictionary()->Variables.get() : nullptr);
}

TAggregateFunctionsSplitter::~TAggregateFunctionsSplitter() = default;

void TAggregateFunctionsSplitter::SplitMemo(TStrings* Lines) {
  for (int i = 0; i < Lines->Count(); ++i) {
    const String line = Lines->Strings(i);
    std::size_t start = 0, finish = 0;
    while (start < line.size()) {
      const String inner = ReadBracketed(line, start, finish);
      if (start >= line.size() || finish >= line.size()) break;
      FSplitter->Split("[" + inner + "]");
      start = finish + 1;
    }
  }
}

void TAggregateFunctionsSplitter::SplitScript(TStrings* Lines) {
  if (Lines->Count() == 0) return;
  TfrInterpretator interpretator;
  TStringList compiled, errors;
  interpretator.CompileScript(Lines, &compiled, &errors);
  TfrReport* r = frState().CurrentReport;
  interpretator.FindFunctionCalls(&compiled, FMatch.get(), r ? r->Dictionary()->Variables.get() : nullptr, FFound);
}
