// Evaluation of the postfix form: a fixed stack of variants, the operators, the built-in
// functions, and the owner's events for every other name and function.
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Pars_p.h"

#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <charconv>
#include <cmath>

using frpars::Fail;

namespace {

// Built-in functions evaluate their arguments through a nested evaluation; a deeper nesting
// than this is refused instead of running the machine stack out.
constexpr int kMaxNesting = 200;
thread_local int gNesting = 0;

bool IsBinary(char c) {
  switch (c) {
    case frop::GreaterEq: case frop::LessEq: case frop::NotEq: case frop::Or: case frop::And: case frop::Mod:
    case '*': case '+': case '-': case '/': case '<': case '=': case '>':
      return true;
    default:
      return false;
  }
}

bool IsUnary(char c) {
  switch (c) {
    case frop::Int: case frop::Frac: case frop::Neg: case frop::Plus: case frop::Str: case frop::Not:
    case frop::Round:
      return true;
    default:
      return false;
  }
}

Variant Flag(bool b) { return Variant(b ? 1 : 0); }

bool EqualsZero(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v)) return false;
  return v == Variant(0);
}

Variant Binary(char op, const Variant& a, const Variant& b) {
  switch (op) {
    case '+': return a + b;
    case '-': return a - b;
    case '*': return a * b;
    case '/': return EqualsZero(b) ? Variant(0) : a / b;
    case frop::Mod: return VarMod(a, b);
    case frop::Or: return VarOr(a, b);
    case frop::And: return VarAnd(a, b);
    case '<': return Flag(a < b);
    case '>': return Flag(a > b);
    case '=': return Flag(a == b);
    case frop::GreaterEq: return Flag(a >= b);
    case frop::LessEq: return Flag(a <= b);
    default: return Flag(a != b);  // NotEq
  }
}

// Values within this distance of a whole number count as that number for INT and FRAC, so
// that 2.9999999999999 is 3.
constexpr double kWholeSlack = 1e-10;

Variant Unary(char op, const Variant& v) {
  switch (op) {
    case frop::Neg: return -v;
    case frop::Plus: return v;
    case frop::Not: return Flag(EqualsZero(v));
    case frop::Str: return VarIsNull(v) ? Variant(String()) : Variant(VarToStr(v));
    case frop::Int: {
      double x = v.AsDouble();
      double r = std::nearbyint(x);
      return Variant(std::fabs(r - x) < kWholeSlack ? r : std::trunc(x));
    }
    case frop::Frac: {
      double x = v.AsDouble();
      double r = std::nearbyint(x);
      if (std::fabs(r - x) < kWholeSlack) x = r;
      return Variant(x - std::trunc(x));
    }
    default: return Variant(std::nearbyint(v.AsDouble()));  // Round: halves to even
  }
}

String Unquote(const String& literal) {
  String r;
  std::size_t end = literal.size();
  if (end >= 2 && literal.back() == '\'') --end;
  for (std::size_t i = 1; i < end; ++i) {
    r += literal[i];
    if (literal[i] == '\'' && i + 1 < end && literal[i + 1] == '\'') ++i;
  }
  return r;
}

// A number token: either mark is the decimal separator. Plain digits with one mark are read
// directly; anything else goes through the user's conversion, which names what it refuses.
double NumberValue(String token) {
  for (char& ch : token)
    if (ch == ',') ch = '.';
  double v = 0;
  const char* end = token.data() + token.size();
  auto [p, ec] = std::from_chars(token.data(), end, v, std::chars_format::fixed);
  if (ec == std::errc() && p == end) return v;
  const char sep = FormatSettings().DecimalSeparator;
  for (char& ch : token)
    if (ch == '.') ch = sep;
  return static_cast<double>(StrToFloat(token));
}

struct TNestingGuard {
  explicit TNestingGuard(const String& s) {
    if (++gNesting > kMaxNesting) {
      --gNesting;
      Fail(s, "Functions nested deeper than " + IntToStr(kMaxNesting) + " levels");
    }
  }
  ~TNestingGuard() { --gNesting; }
};

}  // namespace

Variant TfrParser::EvalBuiltIn(const String& Name, const String& p1, const String& p2, const String& p3,
                               bool& Known) const {
  Known = true;
  if (Name == "COPY") {
    String s = VarToStr(Evaluate(p1));
    int index = StrToInt(Trim(VarToStr(Evaluate(p2))));
    int count = StrToInt(Trim(VarToStr(Evaluate(p3))));
    return Variant(Copy(s, index, count));
  }
  if (Name == "IF") {
    double cond = StrToFloat(VarToStr(Evaluate(p1)));
    return std::trunc(cond) != 0 ? Evaluate(p2) : Evaluate(p3);
  }
  if (Name == "STRTODATE") return Variant::FromDate(StrToDate(VarToStr(Evaluate(p1))));
  if (Name == "STRTOTIME") return Variant::FromDate(StrToTime(VarToStr(Evaluate(p1))));
  Known = false;
  return Variant();
}

Variant TfrParser::EvalPostfix(const String& S) const {
  TNestingGuard guard(S);
  // Entry 0 is preset to 0 and is the result: the first operand replaces it.
  Variant stack[kStackSize];
  stack[0] = Variant(0);
  int n = 0;  // operands on the stack
  auto tooMany = [&]() { Fail(S, "More than " + IntToStr(kStackSize) + " values at once"); };
  auto push = [&](Variant v) {
    if (n >= kStackSize) tooMany();
    stack[n++] = std::move(v);
  };
  // The entry is Null while an event fills it, as the handlers expect.
  auto pushSlot = [&]() -> Variant& {
    if (n >= kStackSize) tooMany();
    stack[n] = Null();
    return stack[n++];
  };
  std::size_t i = 0;
  while (i < S.size()) {
    const char c = S[i];
    if (IsBinary(c)) {
      if (n < 2) Fail(S, "An operator without its operands");
      stack[n - 2] = Binary(c, stack[n - 2], stack[n - 1]);
      stack[--n] = Variant();
      ++i;
      continue;
    }
    if (IsUnary(c)) {
      if (n < 1) Fail(S, "An operator without its operand");
      stack[n - 1] = Unary(c, stack[n - 1]);
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(c) <= 32) {
      ++i;
      continue;
    }
    if (c == '[') {
      std::size_t finish;
      String name = ReadBracketed(S, i, finish);
      Variant& slot = pushSlot();
      if (FOnGetValue) FOnGetValue(name, slot);
      i = finish + 1;
      continue;
    }
    if (c == '\'') {
      push(Variant(Unquote(ReadQuoted(S, i))));
      continue;
    }
    const std::size_t start = i;
    String token = ReadIdentifier(S, i);
    if (i == start) {  // a delimiter that no operand starts with
      ++i;
      continue;
    }
    const char first = token[0];
    if (first == ',' || first == '.' || (first >= '0' && first <= '9')) {
      push(Variant(NumberValue(token)));
      continue;
    }
    if (SameText(token, "TRUE") || SameText(token, "FALSE")) {
      push(Variant(SameText(token, "TRUE")));
      continue;
    }
    if (i < S.size() && S[i] == '[') {
      std::size_t finish;
      String index = ReadBracketed(S, i, finish);
      i = finish + 1;
      push(Evaluate("GETARRAY(" + token + ", " + index + ")"));
      continue;
    }
    if (i < S.size() && S[i] == '(') {
      String name = UpperCase(token);
      String p1, p2, p3;
      ReadArguments(S, i, p1, p2, p3);
      bool known;
      Variant v = EvalBuiltIn(name, p1, p2, p3, known);
      if (known) {
        push(std::move(v));
      } else {
        Variant& slot = pushSlot();
        if (FOnFunction) FOnFunction(name, Variant(p1), Variant(p2), Variant(p3), slot);
        else slot = Variant();
      }
      continue;
    }
    Variant& slot = pushSlot();
    if (FOnGetValue) FOnGetValue(UpperCase(token), slot);
    else slot = Variant();
  }
  return stack[0];
}
