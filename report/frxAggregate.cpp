// Accumulators for the aggregate calls of footer texts: finding the calls, taking the values of
// printed rows, answering the text that shows them, and starting again after it printed.
#include "report/frxAggregate.h"
#include "report/frxKind.h"

#include <algorithm>

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxUtils.h"
#include "report/frxVariables.h"

namespace {

// A report variable whose value names another variable could lead the scan round in circles.
constexpr int kMaxScanDepth = 32;

bool IsOperatorChar(unsigned char C) {
  if (C <= 32) return true;
  switch (C) {
    case '!': case '#': case '$': case '%': case '&': case '*': case '+': case ',': case '-':
    case '.': case '/': case '=': case '[': case ']': case '^': case '|':
      return true;
    default:
      return C >= '0' && C <= '9';
  }
}

// Characters above 127 belong to names.
bool IsNameDelimiter(unsigned char C) {
  if (C <= 32) return true;
  switch (C) {
    case '!': case '#': case '$': case '%': case '&': case '(': case '*': case '+': case ',':
    case '-': case '.': case '/': case '=': case '[': case ']': case '^': case '|':
      return true;
    default:
      return false;
  }
}

// The index of the character that closes the Open at From (quotes skipped, nesting counted);
// the text's size when it is never closed.
std::size_t MatchingClose(const String& S, std::size_t From, char Open, char Close) {
  int level = 0;
  for (std::size_t i = From; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\'' || c == '"') {
      std::size_t q = S.find(c, i + 1);
      if (q == String::npos) return S.size();
      i = q;
    } else if (c == Open) {
      ++level;
    } else if (c == Close && --level == 0) {
      return i;
    }
  }
  return S.size();
}

// The arguments of a call, split at commas outside quotes and nested parentheses, trimmed.
std::vector<String> SplitArguments(const String& Inner) {
  std::vector<String> result;
  String current;
  int level = 0;
  char quote = 0;
  for (char c : Inner) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(') {
      ++level;
    } else if (c == ')') {
      --level;
    } else if (c == ',' && level == 0) {
      result.push_back(Trim(current));
      current.clear();
      continue;
    }
    current += c;
  }
  result.push_back(Trim(current));
  return result;
}

bool IsAggregateName(const String& Name) {
  String n = UpperCase(Name);
  return n == "SUM" || n == "MIN" || n == "MAX" || n == "AVG" || n == "COUNT";
}

// Acc combined with V by the function: Null takes V, a Null V changes nothing, SUM and AVG add,
// MIN and MAX keep the smaller or larger, COUNT keeps what it has.
void Combine(int Function, Variant& Acc, const Variant& V) {
  if (VarIsNull(Acc)) {
    Acc = V;
    return;
  }
  if (VarIsNull(V)) return;
  switch (Function) {
    case 0:
    case 1: Acc = Acc + V; break;
    case 2:
      if (V < Acc) Acc = V;
      break;
    case 3:
      if (V > Acc) Acc = V;
      break;
    default: break;
  }
}

// The field reference of an expression that is nothing else: Alias."Field" or <Alias."Field">.
String PlainFieldReference(const String& Expression) {
  String e = Trim(Expression);
  if (e.size() > 2 && e.front() == '<' && e.back() == '>') e = Trim(e.substr(1, e.size() - 2));
  std::size_t dot = e.find(".\"");
  if (dot == String::npos || dot == 0 || e.back() != '"' || e.size() < dot + 3) return String();
  // Anything but a name before the dot, or a quote inside the field name, makes it an
  // expression of its own.
  for (std::size_t i = 0; i < dot; ++i)
    if (IsNameDelimiter(static_cast<unsigned char>(e[i])) || e[i] == '<' || e[i] == '>' || e[i] == '\'' ||
        e[i] == '"' || e[i] == '(' || e[i] == ')')
      return String();
  if (e.find('"', dot + 2) != e.size() - 1) return String();
  return e;
}

}  // namespace

int AggregateFunctionOf(const String& Name) {
  String n = UpperCase(Trim(Name));
  if (n == "SUM") return 0;
  if (n == "AVG") return 1;
  if (n == "MIN") return 2;
  if (n == "MAX") return 3;
  return 4;
}

// ---------------------------------------------------------------- one accumulator

void TfrxAggregateItem::Reset(bool Force) {
  if (!Force && RunningTotal && RowCount > 0) return;
  RowCount = 0;
  Value = Null();
  // A value taken back before the reset still counts again after it (on the next page).
  FCanUndo = false;
  ColumnValues.clear();
  ColumnCounts.clear();
}

Variant TfrxAggregateItem::Evaluate() {
  if (!FFieldResolved) {
    FFieldResolved = true;
    FField = PlainFieldReference(Expression);
  }
  Variant v;
  if (!FField.empty() && Report->LookupValue(FField, v)) return v;
  return Report->Calc(Expression);
}

void TfrxAggregateItem::AddValue() {
  Report->SetCurrentObjectName(TextObjectName);
  Variant v = Null();
  if (AggFunction != 4) {
    v = Evaluate();
    // A condition counts the rows where it holds: True is 1, and False is 0 so that a total
    // of rows where it never held is the number 0 rather than the word False.
    if (VarType(v) == varBoolean) v = Variant(v.AsBoolean() ? 1 : 0);
  }
  bool counts = AggFunction != 1 || !VarIsNull(v);
  if (Column >= 1) {
    std::size_t need = static_cast<std::size_t>(Column) + 1;
    if (ColumnValues.size() < need) {
      ColumnValues.resize(need, Null());
      ColumnCounts.resize(need, 0);
    }
    if (counts) ++ColumnCounts[static_cast<std::size_t>(Column)];
    Combine(AggFunction, ColumnValues[static_cast<std::size_t>(Column)], v);
  } else if (Keeping) {
    if (counts) ++KeepCount;
    Combine(AggFunction, KeepValue, v);
  } else {
    UndoCount = RowCount;
    UndoValue = Value;
    FLastTaken = v;
    FLastCounted = counts;
    FCanUndo = true;
    FUndone = false;
    if (counts) ++RowCount;
    Combine(AggFunction, Value, v);
  }
}

Variant TfrxAggregateItem::GetValue() const {
  Variant result = Null();
  if (ColumnValues.empty()) {
    if (AggFunction == 1)
      result = VarIsNull(Value) ? Null() : Value / Variant(RowCount);
    else if (AggFunction == 4)
      result = Variant(RowCount);
    else
      result = Value;
  } else {
    std::size_t c = static_cast<std::size_t>(Column);
    const Variant value = c < ColumnValues.size() ? ColumnValues[c] : Null();
    int count = c < ColumnCounts.size() ? ColumnCounts[c] : 0;
    if (AggFunction == 1)
      result = VarIsNull(value) ? Null() : value / Variant(count);
    else if (AggFunction == 4)
      result = Variant(count);
    else
      result = value;
  }
  return VarIsNull(result) ? Variant(0) : result;
}

void TfrxAggregateItem::StartKeeping() {
  if (!InPageFooter || Keeping) return;
  Keeping = true;
  KeepCount = 0;
  KeepValue = Null();
}

void TfrxAggregateItem::EndKeeping() {
  if (!InPageFooter || !Keeping) return;
  Keeping = false;
  RowCount += KeepCount;
  if (VarIsNull(Value)) {
    Value = KeepValue;
  } else if (!VarIsNull(KeepValue)) {
    if (AggFunction == 2) {
      if (KeepValue < Value) Value = KeepValue;
    } else if (AggFunction == 3) {
      if (KeepValue > Value) Value = KeepValue;
    } else {
      Value = Value + KeepValue;
    }
  }
  KeepCount = 0;
  KeepValue = Null();
}

void TfrxAggregateItem::UndoLastValue() {
  if (!FCanUndo) return;
  RowCount = UndoCount;
  Value = UndoValue;
  FCanUndo = false;
  FUndone = true;
}

void TfrxAggregateItem::RedoLastValue() {
  if (!FUndone) return;
  FUndone = false;
  UndoCount = RowCount;
  UndoValue = Value;
  if (FLastCounted) ++RowCount;
  Combine(AggFunction, Value, FLastTaken);
  FCanUndo = true;
}

// ---------------------------------------------------------------- the list

TfrxAggregateList::TfrxAggregateList(TfrxReport* AReport) : FReport(AReport) {}

TfrxAggregateList::~TfrxAggregateList() = default;

void TfrxAggregateList::Clear() { FItems.clear(); }

void TfrxAggregateList::AddPageAggregates(TfrxReportPage* Page) {
  auto scanData = [this](auto& self, TfrxDataBand* D) -> void {
    ScanBand(D->LinkedFooter, D);
    if (D->LinkedGroup)
      for (TfrxBand* g : D->LinkedGroup->SubBands()) ScanBand(g->LinkedFooter, D);
    if (D->Vertical())
      for (int i = 0; i < D->ObjectCount(); ++i)
        if (auto* memo = KindOf<TfrxCustomMemoView>(D->Objects(i))) AddMemoAggregates(memo, D);
    for (TfrxBand* sub : D->SubBands())
      if (auto* d = KindOf<TfrxDataBand>(sub)) self(self, d);
  };
  TfrxDataBand* firstMaster = nullptr;
  for (TfrxComponent* c : Page->MasterBands())
    if (auto* d = KindOf<TfrxDataBand>(c)) {
      if (!firstMaster) firstMaster = d;
      scanData(scanData, d);
    }
  for (TfrxComponent* c : Page->VMasterBands())
    if (auto* d = KindOf<TfrxDataBand>(c)) scanData(scanData, d);
  if (!firstMaster) return;
  for (TClass cls : {TfrxPageFooter::StaticClass(), TfrxColumnFooter::StaticClass(), TfrxReportSummary::StaticClass()})
    ScanBand(KindOf<TfrxBand>(Page->FindBandOfClass(cls)), firstMaster);
}

void TfrxAggregateList::ScanBand(TfrxBand* Band, TfrxDataBand* DefaultBand) {
  for (TfrxBand* b = Band; b; b = b->Child()) {
    for (TfrxComponent* o : b->AllObjects())
      if (auto* memo = KindOf<TfrxCustomMemoView>(o)) AddMemoAggregates(memo, DefaultBand);
    // A chain that came back would never end; the child setter refuses one, the loop checks.
    if (b->Child() == Band) break;
  }
}

void TfrxAggregateList::AddMemoAggregates(TfrxCustomMemoView* Memo, TfrxDataBand* DefaultBand) {
  if (!Memo->AllowExpressions()) return;
  const String& delimiters = Memo->ExpressionDelimiters();
  std::size_t comma = delimiters.find(',');
  String open = comma == String::npos ? delimiters : delimiters.substr(0, comma);
  String close = comma == String::npos ? String() : Copy(delimiters.substr(comma + 1), 1, 255);
  if (open.empty() || close.empty()) return;
  FMemo = Memo;
  FDefaultBand = DefaultBand;
  // Positions count UTF-16 units, as the text object counts them when it expands the text.
  WideString text = Utf8ToUtf16(Memo->Text()), openW = Utf8ToUtf16(open), closeW = Utf8ToUtf16(close);
  std::size_t i = 0;
  while ((i = text.find(openW, i)) != WideString::npos) {
    int start = static_cast<int>(i) + 1, end = 0;
    WideString inner;
    ScanBracketedExpressionW(text, openW, closeW, start, end, inner);
    if (!inner.empty()) ScanText(Utf16ToUtf8(inner), 0);
    i = std::max(static_cast<std::size_t>(end), i + openW.size());
  }
  FMemo = nullptr;
}

void TfrxAggregateList::ScanText(const String& Text, int Depth) {
  if (Depth > kMaxScanDepth) return;
  String whole = Trim(Text);
  TfrxVariables* variables = FReport->Variables();
  int index = variables->FindIndex(whole);
  if (!whole.empty() && index >= 0) {
    ScanText(VarToStr(variables->ItemAt(index)->Value()), Depth + 1);
    return;
  }
  TfrxDataSet* ds = nullptr;
  String field;
  FReport->SplitDataSetField(whole, ds, field);
  if (ds && !field.empty()) return;

  const String& s = Text;
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsOperatorChar(c)) {
      ++i;
    } else if (c == '\'' || c == '"') {
      std::size_t q = s.find(static_cast<char>(c), i + 1);
      i = q == String::npos ? s.size() : q + 1;
    } else if (c == '(' || c == '<') {
      std::size_t close = MatchingClose(s, i, static_cast<char>(c), c == '(' ? ')' : '>');
      ScanText(s.substr(i + 1, close - i - 1), Depth + 1);
      i = close + 1;
    } else {
      std::size_t j = i;
      while (j < s.size() && !IsNameDelimiter(static_cast<unsigned char>(s[j]))) ++j;
      String name = s.substr(i, j - i);
      if (j < s.size() && s[j] == '(' && IsAggregateName(name)) {
        std::size_t close = MatchingClose(s, j, '(', ')');
        AddCall(s.substr(i, std::min(close, s.size() - 1) - i + 1));
        i = close + 1;
      } else {
        int v = variables->FindIndex(name);
        if (v >= 0) ScanText(VarToStr(variables->ItemAt(v)->Value()), Depth + 1);
        i = j;
      }
    }
  }
}

void TfrxAggregateList::AddCall(const String& Call) {
  auto item = std::make_unique<TfrxAggregateItem>();
  std::size_t paren = Call.find('(');
  item->AggFunction = AggregateFunctionOf(Call.substr(0, paren));
  std::size_t last = Call.rfind(')');
  String inner = last != String::npos && last > paren ? Call.substr(paren + 1, last - paren - 1) : Call.substr(paren + 1);
  std::vector<String> args = SplitArguments(inner);
  auto arg = [&args](std::size_t i) { return i < args.size() ? args[i] : String(); };
  std::size_t bandArg = item->AggFunction == 4 ? 0 : 1;
  if (item->AggFunction != 4) item->Expression = arg(0);

  item->DataBand = FDefaultBand;
  String bandName = arg(bandArg);
  if (!bandName.empty())
    if (auto* d = KindOf<TfrxDataBand>(FReport->FindObject(bandName))) item->DataBand = d;
  String flagsText = arg(bandArg + 1);
  int flags = flagsText.empty() ? 0 : StrToInt(flagsText);
  item->CountInvisible = (flags & 1) != 0;
  item->RunningTotal = (flags & 2) != 0;

  TfrxBand* parent = KindOf<TfrxBand>(FMemo->Parent());
  if (TfrxComponent* original = FMemo->OriginalBand)
    if (KindOf<TfrxReportSummary>(original) || KindOf<TfrxPageFooter>(original) || KindOf<TfrxFooter>(original) ||
        KindOf<TfrxGroupFooter>(original))
      parent = static_cast<TfrxBand*>(original);
  item->ParentBand = parent;
  item->InPageFooter = KindOf<TfrxPageFooter>(parent) != nullptr;
  item->Report = FReport;
  item->TextObjectName = FMemo->Name();
  item->CallText = Trim(Call);
  item->Reset(true);
  FItems.push_back(std::move(item));
}

void TfrxAggregateList::AddValues(TfrxDataBand* DataBand, int Column) {
  for (auto& item : FItems) {
    if (item->DataBand != DataBand) continue;
    item->Column = Column;
    if (!DataBand->Visible() && !item->CountInvisible) continue;
    item->AddValue();
  }
}

void TfrxAggregateList::UndoLastValue(TfrxDataBand* DataBand) {
  for (auto& item : FItems)
    if (item->DataBand == DataBand) item->UndoLastValue();
}

void TfrxAggregateList::RedoLastValue(TfrxDataBand* DataBand) {
  for (auto& item : FItems)
    if (item->DataBand == DataBand) item->RedoLastValue();
}

Variant TfrxAggregateList::AggregateLookup(TfrxBand* ParentBand, int Column, int Flags, TfrxDataBand* DataBand,
                                           const String& Expression, const String& FunctionName) {
  int function = AggregateFunctionOf(FunctionName);
  String expression = Trim(Expression);
  for (auto& item : FItems) {
    if (item->ParentBand != ParentBand || item->AggFunction != function) continue;
    if (!SameText(item->Expression, expression)) continue;
    if (DataBand && item->DataBand != DataBand) continue;
    if (item->CountInvisible != ((Flags & 1) != 0) || item->RunningTotal != ((Flags & 2) != 0)) continue;
    item->Column = Column;
    return item->GetValue();
  }
  return Null();
}

void TfrxAggregateList::ResetBand(TfrxBand* Band) {
  for (auto& item : FItems)
    if (item->ParentBand == Band) item->Reset();
}

void TfrxAggregateList::ResetAll() {
  for (auto& item : FItems) item->Reset(true);
}

void TfrxAggregateList::StartKeeping() {
  for (auto& item : FItems) item->StartKeeping();
}

void TfrxAggregateList::EndKeeping() {
  for (auto& item : FItems) item->EndKeeping();
}
