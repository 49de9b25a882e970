// The filter-row condition language: lexer, value reader, parser and operand conversion.
#include "grid/DBGridEhFilterExpr.h"

#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <iterator>
#include <vector>

const char* const SSTFilterSqlMarkerEh = "/*FILTER*/";

namespace {

const char* const kSqlTexts[] = {"",        "=",  "<>",     ">",       "<",           ">=",  "<=", "LIKE",
                                 "NOT LIKE", "IN", "NOT IN", "IS NULL", "IS NOT NULL", "AND", "OR", ""};

// The lexer's own results besides the operators: NOT, and nothing at all.
constexpr int kNot = 100;

bool IsOperator(int Type) { return Type >= foEqual && Type <= foOR; }

// Characters that end a word (besides control characters).
bool WordDelimiter(char32_t C) {
  if (C < 32) return true;
  if (C >= 128) return false;
  static const char32_t delimiters[] = U" !\"&'()+,-.<=>|~";
  for (char32_t d : delimiters)
    if (d && d == C) return true;
  return false;
}

class TFilterLexer {
public:
  explicit TFilterLexer(const String& Text) : FText(Text), FChars(Utf8ToUtf32(Text)) {}

  int Pos = 0;
  int Length() const { return static_cast<int>(FChars.size()); }
  bool AtEnd() const { return Pos >= Length(); }
  char32_t At(int P) const { return P < Length() ? FChars[static_cast<std::size_t>(P)] : 0; }
  void SkipBlanks() {
    while (!AtEnd() && At(Pos) == U' ') ++Pos;
  }
  [[noreturn]] void Fail(const char* Message) const { throw Exception(String(Message) + FText); }

  // The operator lexeme at P without reading values: its type (kNot for NOT), foNon when
  // none; Length receives its extent.
  int OperatorAt(int P, int& Extent) const {
    char32_t c = At(P), d = At(P + 1);
    struct TPair {
      char32_t First, Second;
      int Type;
    };
    static const TPair pairs[] = {{U'!', U'=', foNotEqual}, {U'>', U'=', foGreaterOrEqual},
                                  {U'<', U'=', foLessOrEqual}, {U'<', U'>', foNotEqual}};
    for (const TPair& p : pairs)
      if (c == p.First && d == p.Second) {
        Extent = 2;
        return p.Type;
      }
    Extent = 1;
    switch (c) {
      case U'!': return kNot;
      case U'&': return foAND;
      case U'|': return foOR;
      case U'~': return foLike;
      case U'=': return foEqual;
      case U'>': return foGreaterThan;
      case U'<': return foLessThan;
      default: break;
    }
    int end = P;
    while (end < Length() && !WordDelimiter(At(end))) ++end;
    Extent = end - P;
    if (Extent == 0) return foNon;
    String word = AnsiUpperCase(Utf32ToUtf8(FChars.substr(static_cast<std::size_t>(P), static_cast<std::size_t>(Extent))));
    struct TKeyword {
      const char* Word;
      int Type;
    };
    // The keywords, and the operator texts the filter row writes (upper-cased), so that a
    // translation of those texts adds keywords.
    static const TKeyword keywords[] = {{"NOT", kNot}, {"AND", foAND}, {"OR", foOR}, {"LIKE", foLike},
                                        {"IN", foIn},   {"NULL", foNull}};
    for (const TKeyword& k : keywords)
      if (word == k.Word) return k.Type;
    for (int t : {static_cast<int>(foIn), static_cast<int>(foNull), static_cast<int>(foAND), static_cast<int>(foOR)})
      if (word == AnsiUpperCase(STFilterOperatorText(static_cast<TSTFilterOperatorEh>(t)))) return t;
    return foNon;
  }

  // One value: quoted up to the next apostrophe, else up to a parenthesis, a comma (with
  // comma lists) or blanks that an operator follows.
  Variant ReadValue(bool CommaLists) {
    if (At(Pos) == U'\'') {
      int close = Pos + 1;
      while (close < Length() && At(close) != U'\'') ++close;
      if (close >= Length()) Fail("Quote is absent: ");
      Variant v(Slice(Pos + 1, close));
      Pos = close + 1;
      return v;
    }
    int start = Pos;
    while (!AtEnd()) {
      char32_t c = At(Pos);
      if (c == U'(' || c == U')' || (CommaLists && c == U',')) break;
      if (c == U' ') {
        int next = Pos;
        while (At(next) == U' ') ++next;
        int extent = 0;
        int type = next < Length() ? OperatorAt(next, extent) : foNon;
        if (IsOperator(type) || type == foNull || type == kNot) break;
      }
      ++Pos;
    }
    if (Pos == start) return Null();
    return Variant(Slice(start, Pos));
  }

  Variant ReadValues(bool CommaLists) {
    std::vector<Variant> values{ReadValue(CommaLists)};
    while (CommaLists && At(Pos) == U',') {
      ++Pos;
      SkipBlanks();
      values.push_back(ReadValue(CommaLists));
    }
    return values.size() > 1 ? VarArrayOf(values) : values.front();
  }

  // The next lexeme: an operator (NOT folded into not like, not in, is not null), foValue
  // with Value, or foNon.
  int Lexeme(Variant& Value, bool CommaLists) {
    Value = Null();
    if (AtEnd()) return foNon;
    if (At(Pos) == U'(') {
      ++Pos;
      return foNon;
    }
    if (At(Pos) != U'\'') {
      int extent = 0;
      int type = OperatorAt(Pos, extent);
      if (type != foNon) {
        Pos += extent;
        SkipBlanks();
        if (type == kNot) {
          Variant ignored;
          int next = Lexeme(ignored, CommaLists);
          if (next == foLike) return foNotLike;
          if (next == foIn) return foNotIn;
          if (next == foNull) return foNotNull;
          return foNon;
        }
        if (type == foIn) {
          if (At(Pos) != U'(') Fail("'(' expected: ");
          ++Pos;
        }
        return type;
      }
    }
    Value = ReadValues(CommaLists);
    return VarIsNull(Value) ? foNon : foValue;
  }

private:
  String Slice(int From, int To) const {
    return Utf32ToUtf8(FChars.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(To - From)));
  }
  String FText;
  std::u32string FChars;
};

// One condition: a value, or an operator and its operand. The closing parenthesis of an
// in-list is checked for the second condition as for the first.
void ReadCondition(TFilterLexer& L, TSTFilterExpressionTypeEh Type, bool CommaLists, TSTFilterOperatorEh& Op,
                   Variant& Operand) {
  Variant value;
  int t = L.Lexeme(value, CommaLists);
  if (t == foValue) {
    Op = VarIsArray(value) ? foIn : Type == fetText ? foLike : foEqual;
    Operand = value;
    return;
  }
  if (!IsOperator(t) && t != foNull && t != foNotNull) L.Fail("Error in expression: ");
  Op = static_cast<TSTFilterOperatorEh>(t);
  L.SkipBlanks();
  bool inList = Op == foIn || Op == foNotIn;
  int o = L.Lexeme(value, inList || CommaLists);
  if (o == foNull) {
    if (Op == foEqual) Op = foNull;
    else if (Op == foNotEqual) Op = foNotNull;
    else L.Fail("Unexpected expression before Null: ");
  } else if (o != foValue) {
    L.Fail("Unexpected expression after operator: ");
  } else {
    Operand = value;
  }
  if (inList) {
    L.SkipBlanks();
    if (L.At(L.Pos) != U')') L.Fail("')' expected: ");
    ++L.Pos;
  }
}

void ConvertValue(Variant& V, TSTFilterExpressionTypeEh Type) {
  if (VarIsNull(V)) return;
  String text = Trim(VarToStr(V));
  if (Type == fetNumber) V = Variant(static_cast<double>(StrToFloat(text)));
  else if (Type == fetDateTime) V = Variant::FromDate(StrToDateTime(text));
}

}  // namespace

String STFilterOperatorSqlText(TSTFilterOperatorEh Operator) {
  int i = static_cast<int>(Operator);
  return i >= 0 && i < static_cast<int>(std::size(kSqlTexts)) ? kSqlTexts[i] : "";
}

void ClearSTFilterExpressionEh(TSTFilterExpressionEh& E) {
  TSTFilterExpressionTypeEh type = E.ExpressionType;
  E.Clear();
  E.ExpressionType = type;
}

TSTFilterOperatorEh STFilterLexemeEh(const String& Text, int& Pos, Variant& Value, bool CommaLists) {
  TFilterLexer L(Text);
  L.Pos = Pos;
  int t = L.Lexeme(Value, CommaLists);
  Pos = L.Pos;
  return t == kNot ? foNon : static_cast<TSTFilterOperatorEh>(t);
}

void ConvertSTFilterOperandEh(Variant& Operand, TSTFilterExpressionTypeEh Type) {
  if (Type != fetNumber && Type != fetDateTime) return;
  if (!VarIsArray(Operand)) {
    ConvertValue(Operand, Type);
    return;
  }
  std::vector<Variant> values;
  for (int i = VarArrayLowBound(Operand, 1); i <= VarArrayHighBound(Operand, 1); ++i) {
    Variant v = Operand.GetElement({i});
    ConvertValue(v, Type);
    values.push_back(v);
  }
  Operand = VarArrayOf(values);
}

bool ParseSTFilterExpressionEh(const String& Text, TSTFilterExpressionEh& E) {
  ClearSTFilterExpressionEh(E);
  String text = Trim(Text);
  if (text.empty()) return false;
  TFilterLexer L(text);
  // "1,5" is one number where the comma is the decimal separator.
  bool commaLists = !(E.ExpressionType == fetNumber && FormatSettings().DecimalSeparator == ',');
  L.SkipBlanks();
  ReadCondition(L, E.ExpressionType, commaLists, E.Operator1, E.Operand1);
  L.SkipBlanks();
  bool second = false;
  if (!L.AtEnd()) {
    Variant value;
    int t = L.Lexeme(value, commaLists);
    if (t == foAND || t == foOR) {
      E.Relation = static_cast<TSTFilterOperatorEh>(t);
      L.SkipBlanks();
      if (!L.AtEnd()) {
        ReadCondition(L, E.ExpressionType, commaLists, E.Operator2, E.Operand2);
        second = true;
        // Text after the second condition is refused as after the first.
        L.SkipBlanks();
        if (!L.AtEnd()) L.Fail("Incorrect expression: ");
      }
    } else if (IsOperator(t) || t == foNull || t == foNotNull) {
      L.Fail("Unexpected AND or OR: ");
    } else {
      L.Fail("Incorrect expression: ");
    }
  }
  auto convert = [&](TSTFilterOperatorEh Op, Variant& Operand) {
    if (Op >= foEqual && Op <= foNotIn) ConvertSTFilterOperandEh(Operand, E.ExpressionType);
    else Operand = Null();
  };
  convert(E.Operator1, E.Operand1);
  convert(E.Operator2, E.Operand2);
  return second;
}
