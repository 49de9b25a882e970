// Token readers and the conversion of an expression into its postfix form.
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Pars_p.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

namespace frpars {

[[noreturn]] void Fail(std::string_view expr, const String& why) {
  throw EfrParserError(why + " in expression '" + String(expr) + "'");
}

}  // namespace frpars

using frpars::Fail;

// ================================================================ token readers

namespace {

bool IsIdentifierStop(char c) {
  switch (c) {
    case '\r': case ' ': case '(': case ')': case '*': case '+': case '-': case '/': case '<': case '=': case '>':
    case '[':
      return true;
    default:
      return false;
  }
}

}  // namespace

String TfrParser::ReadIdentifier(const String& S, std::size_t& Pos) {
  while (Pos < S.size() && static_cast<unsigned char>(S[Pos]) <= 32) ++Pos;
  const std::size_t start = Pos;
  bool inQuotes = false;
  for (; Pos < S.size(); ++Pos) {
    char c = S[Pos];
    if (c == '"') inQuotes = !inQuotes;
    else if (!inQuotes && IsIdentifierStop(c)) break;
  }
  return S.substr(start, Pos - start);
}

String TfrParser::ReadQuoted(const String& S, std::size_t& Pos) {
  const std::size_t start = Pos;
  ++Pos;  // the opening quote
  while (Pos < S.size()) {
    if (S[Pos] == '\'') {
      if (Pos + 1 < S.size() && S[Pos + 1] == '\'') {
        Pos += 2;
        continue;
      }
      ++Pos;
      break;
    }
    ++Pos;
  }
  return S.substr(start, Pos - start);
}

void TfrParser::ReadArguments(const String& S, std::size_t& Pos, String& p1, String& p2, String& p3) {
  p1.clear();
  p2.clear();
  p3.clear();
  String args[3];
  int count = 0;
  int depth = 0;
  bool inQuote = false;
  std::size_t argStart = Pos + 1;
  for (std::size_t i = Pos; i < S.size(); ++i) {
    char c = S[i];
    if (c == '\'') {
      inQuote = !inQuote;
      continue;
    }
    if (inQuote) continue;
    if (c == '(') {
      ++depth;
    } else if (c == ')' || (c == ',' && depth == 1)) {
      if (c == ')' && --depth > 0) continue;
      if (count == 3) Fail(S, "A call with more than three arguments");
      args[count++] = S.substr(argStart, i - argStart);
      argStart = i + 1;
      if (c == ')') {
        Pos = i + 1;
        p1 = args[0];
        p2 = args[1];
        p3 = count == 3 ? args[2] : String();
        return;
      }
    }
  }
  Fail(S, "Unbalanced parentheses");
}

String ReadBracketed(const String& S, std::size_t& Start, std::size_t& Finish) {
  Finish = Start;
  if (S.empty() || Start >= S.size()) return String();
  int depth = 0;
  bool inSingle = false, inDouble = false, found = false;
  for (std::size_t i = Start; i < S.size(); ++i) {
    const char c = S[i];
    if (c == '\'' && !inDouble) {
      inSingle = !inSingle;
    } else if (c == '"' && !inSingle) {
      inDouble = !inDouble;
    } else if (!inSingle && !inDouble) {
      if (c == '[') {
        if (depth++ == 0) {
          Start = i;
          found = true;
        }
      } else if (c == ']' && depth > 0 && --depth == 0) {
        Finish = i;
        return S.substr(Start + 1, i - Start - 1);
      }
    }
  }
  Finish = S.size();
  return found ? S.substr(Start + 1) : String();
}

// ================================================================ conversion to postfix

namespace {

// A lower class binds tighter; '(' is never moved by an operator.
int OperatorPriority(char c) {
  switch (c) {
    case frop::Int: case frop::Frac: case frop::Round: case frop::Str:
      return 0;
    case '*': case '/': case frop::Mod: case frop::And: case frop::Or: case frop::Not:
      return 1;
    case '+': case '-': case frop::Neg: case frop::Plus:
      return 2;
    case '<': case '=': case '>': case frop::LessEq: case frop::GreaterEq: case frop::NotEq:
      return 3;
    case ')':
      return 4;
    default:
      return 5;  // '('
  }
}

char WordOperator(const String& upper) {
  static const struct { const char* Word; char Code; } kWords[] = {
      {"INT", frop::Int}, {"FRAC", frop::Frac}, {"ROUND", frop::Round}, {"OR", frop::Or},
      {"AND", frop::And}, {"NOT", frop::Not},   {"STR", frop::Str},     {"MOD", frop::Mod},
  };
  for (const auto& w : kWords)
    if (upper == w.Word) return w.Code;
  return 0;
}

// One conversion: the output, the operator stack (its top is the last character here) and
// the count of values the output would leave on the evaluation stack, so that a form the
// evaluator cannot run is refused while the source is at hand.
class TPostfixWriter {
public:
  explicit TPostfixWriter(const String& src) : FSrc(src) {}

  String Run();

private:
  void EmitOperand(const String& text) {
    FOut += text;
    Push();
  }
  void Push() {
    if (++FDepth > TfrParser::kStackSize) Fail(FSrc, "More than " + IntToStr(TfrParser::kStackSize) + " values at once");
  }
  void EmitOperator(char op);
  void PlaceOperator(char op);
  void CloseParen();
  void ReadOperand(std::size_t& i);

  const String& FSrc;
  String FOut;
  String FStack;
  int FDepth = 0;
  bool FOperandRead = false;
};

void TPostfixWriter::EmitOperator(char op) {
  const bool unary = op == frop::Int || op == frop::Frac || op == frop::Round || op == frop::Str ||
                     op == frop::Not || op == frop::Neg || op == frop::Plus;
  if (FDepth < (unary ? 1 : 2)) Fail(FSrc, "An operator without its operands");
  if (!unary) --FDepth;
  FOut += op;
}

void TPostfixWriter::PlaceOperator(char op) {
  const int cls = OperatorPriority(op);
  if (FStack.empty() || cls < OperatorPriority(FStack.back())) {
    FStack += op;
    return;
  }
  while (!FStack.empty() && cls >= OperatorPriority(FStack.back())) {
    EmitOperator(FStack.back());
    FStack.pop_back();
  }
  FStack += op;
}

void TPostfixWriter::CloseParen() {
  std::size_t open = FStack.rfind('(');
  if (open == String::npos) return;
  while (FStack.size() > open + 1) {
    EmitOperator(FStack.back());
    FStack.pop_back();
  }
  FStack.pop_back();
}

void TPostfixWriter::ReadOperand(std::size_t& i) {
  const std::size_t start = i;
  String text;
  if (FSrc[i] == '%') {
    text = FSrc.substr(i, 2);
    i += 2;
  }
  if (i < FSrc.size() && FSrc[i] == '\'') {
    text += TfrParser::ReadQuoted(FSrc, i);
  } else if (i < FSrc.size() && FSrc[i] == '[') {
    std::size_t finish;
    String inside = ReadBracketed(FSrc, i, finish);
    text += "[" + inside + "]";
    i = finish + 1;
  } else {
    const std::size_t identStart = i;
    String ident = TfrParser::ReadIdentifier(FSrc, i);
    // ';' ends the expression even inside a name ("a;b" is a).
    bool quoted = false;
    for (std::size_t k = 0; k < ident.size(); ++k) {
      if (ident[k] == '"') quoted = !quoted;
      else if (ident[k] == ';' && !quoted) {
        ident.resize(k);
        i = identStart + k;
        break;
      }
    }
    text += ident;
    if (i < FSrc.size() && FSrc[i] == '[') {
      std::size_t finish;
      String inside = ReadBracketed(FSrc, i, finish);
      text += "[" + inside + "]";
      i = finish + 1;
    }
  }
  if (i == start) ++i;  // nothing readable here: step over it rather than loop
  const char first = text.empty() ? '\0' : text[0];
  if (first == ',' || first == '.' || (first >= '0' && first <= '9')) {
    EmitOperand(text + " ");
  } else if (char op = WordOperator(UpperCase(text))) {
    PlaceOperator(op);
    FOperandRead = false;
    return;
  } else if (i < FSrc.size() && FSrc[i] == '(') {
    String p1, p2, p3;
    TfrParser::ReadArguments(FSrc, i, p1, p2, p3);
    EmitOperand(FSrc.substr(start, i - start));
  } else {
    EmitOperand(text + " ");
  }
  FOperandRead = true;
}

String TPostfixWriter::Run() {
  std::size_t i = 0;
  while (i < FSrc.size()) {
    const char c = FSrc[i];
    // Line ends and tabs are blanks here too: read as operands they would be empty names.
    if (static_cast<unsigned char>(c) <= 32) {
      ++i;
      continue;
    }
    if (c == ';') break;
    switch (c) {
      case '(':
        FStack += '(';
        FOperandRead = false;
        ++i;
        break;
      case ')':
        CloseParen();
        ++i;
        break;
      case '*': case '+': case '-': case '/': case '<': case '=': case '>': {
        char op = c;
        const char next = i + 1 < FSrc.size() ? FSrc[i + 1] : '\0';
        if (c == '<' && next == '>') op = frop::NotEq;
        else if (c == '>' && next == '=') op = frop::GreaterEq;
        else if (c == '<' && next == '=') op = frop::LessEq;
        i += op == c ? 1 : 2;
        if (!FOperandRead && op == '-') op = frop::Neg;
        else if (!FOperandRead && op == '+') op = frop::Plus;
        PlaceOperator(op);
        FOperandRead = false;
        break;
      }
      default:
        ReadOperand(i);
        break;
    }
  }
  while (!FStack.empty()) {
    if (FStack.back() != '(') EmitOperator(FStack.back());
    FStack.pop_back();
  }
  return FOut;
}

}  // namespace

String TfrParser::ToPostfix(const String& S) const { return TPostfixWriter(S).Run(); }

// ================================================================ variables

namespace {
struct TVariable : TObject {
  Variant Value;
};
}  // namespace

TfrVariables::TfrVariables() : FList(std::make_unique<TStringList>(true)) { FList->SetDuplicates(dupIgnore); }

TfrVariables::~TfrVariables() { Clear(); }

Variant TfrVariables::Variable(const String& Name) const {
  int i = IndexOf(Name);
  return i < 0 ? Null() : static_cast<TVariable*>(FList->Objects(i))->Value;
}

void TfrVariables::SetVariable(const String& Name, const Variant& Value) {
  int i = IndexOf(Name);
  if (i < 0) {
    auto* v = new TVariable;
    v->Value = Value;
    FList->AddObject(Name, v);
  } else {
    static_cast<TVariable*>(FList->Objects(i))->Value = Value;
  }
}

Variant TfrVariables::Value(int Index) const {
  if (Index < 0 || Index >= Count()) return Variant(0);
  return static_cast<TVariable*>(FList->Objects(Index))->Value;
}

void TfrVariables::SetValue(int Index, const Variant& Value) {
  if (Index < 0 || Index >= Count()) return;
  static_cast<TVariable*>(FList->Objects(Index))->Value = Value;
}

String TfrVariables::Name(int Index) const {
  if (Index < 0 || Index >= Count()) return String();
  return FList->Strings(Index);
}

void TfrVariables::SetName(int Index, const String& Value) {
  if (Index < 0 || Index >= Count()) return;
  if (FList->Sorted()) {
    TObject* v = FList->Objects(Index);
    FList->SetOwnsObjects(false);
    FList->Delete(Index);
    FList->SetOwnsObjects(true);
    FList->AddObject(Value, v);
  } else {
    FList->SetStrings(Index, Value);
  }
}

int TfrVariables::IndexOf(const String& Name) const { return FList->IndexOf(Name); }
int TfrVariables::Count() const { return FList->Count(); }

void TfrVariables::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FList->Delete(Index);
}

void TfrVariables::Clear() {
  while (Count() > 0) Delete(0);
}

bool TfrVariables::Sorted() const { return FList->Sorted(); }
void TfrVariables::SetSorted(bool Value) { FList->SetSorted(Value); }

// ================================================================ function splitter

namespace {
// Variables whose values name each other would otherwise be followed for ever.
constexpr int kMaxSplitDepth = 64;
}  // namespace

TfrFunctionSplitter::TfrFunctionSplitter(TStrings* AMatchFuncs, TStrings* ASplitTo, TfrVariables* AVariables)
    : FMatchFuncs(AMatchFuncs), FSplitTo(ASplitTo), FVariables(AVariables) {}

void TfrFunctionSplitter::Split(const String& S) { SplitLevel(S, 0); }

void TfrFunctionSplitter::SplitLevel(const String& Text, int Depth) {
  if (Depth > kMaxSplitDepth) return;
  const String s = Trim(Text);
  if (s.empty() || s[0] == '\'') return;
  auto variable = [&](const String& name, String& value) {
    if (!FVariables || FVariables->IndexOf(name) < 0) return false;
    value = VarToStr(FVariables->Variable(name));
    return true;
  };
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '[') {
      std::size_t finish;
      String inside = ReadBracketed(s, i, finish);
      String value;
      SplitLevel(variable(inside, value) ? value : inside, Depth + 1);
      i = finish + 1;
      continue;
    }
    const std::size_t start = i;
    String name = TfrParser::ReadIdentifier(s, i);
    if (i < s.size() && s[i] == '(') {
      String p1, p2, p3;
      TfrParser::ReadArguments(s, i, p1, p2, p3);
      SplitLevel(p1, Depth + 1);
      SplitLevel(p2, Depth + 1);
      SplitLevel(p3, Depth + 1);
      if (FMatchFuncs && FSplitTo) {
        for (int k = 0; k < FMatchFuncs->Count(); ++k)
          if (SameText(FMatchFuncs->Strings(k), name)) {
            std::size_t nameStart = start;
            while (nameStart < s.size() && static_cast<unsigned char>(s[nameStart]) <= 32) ++nameStart;
            FSplitTo->Add(s.substr(nameStart, i - nameStart));
            break;
          }
      }
      continue;
    }
    String value;
    if (!name.empty() && variable(name, value)) {
      SplitLevel(value, Depth + 1);
      continue;
    }
    if (i >= s.size()) break;
    const char c = s[i];
    if (c == '\r' || c == ' ' || c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' || c == '>')
      ++i;
    else if (name.empty())
      break;
  }
}
