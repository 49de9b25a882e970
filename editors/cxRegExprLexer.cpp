// The lexer of mask expressions: the main level, quotes, escapes, character classes and
// braces, each recording every error it meets with its line and column.
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "editors/cxClasses.h"
#include "editors/cxRegExpr.h"
#include "editors/cxRegExprConsts.h"

namespace {

bool IsWhite(char32_t c) { return c == U' ' || c == 0 || c == U'\t' || c == U'\n' || c == U'\f' || c == U'\r'; }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

int HexValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
  if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a' + 10);
  return -1;
}

String Str(char32_t c) {
  String Result;
  AppendUtf8(Result, c);
  return Result;
}

String Text(const char* Message, const String& Arg = String()) {
  String Result = TranslateLibraryString(Message);
  const std::size_t At = Result.find("%s");
  if (At != String::npos) Result.replace(At, 2, Arg);
  return Result;
}

// The escapes that stand for a class of characters.
int EscapeClassKind(char32_t c) {
  switch (c) {
    case U'd': return lkDigit;
    case U'D': return lkNonDigit;
    case U's': return lkSpace;
    case U'S': return lkNonSpace;
    case U'w': return lkWordChar;
    case U'W': return lkNonWordChar;
    default: return -1;
  }
}

// The escapes that stand for one control character.
char32_t EscapeControl(char32_t c) {
  switch (c) {
    case U'a': return 7;
    case U'e': return 27;
    case U'f': return 12;
    case U'n': return 10;
    case U'r': return 13;
    case U't': return 9;
    default: return 0;
  }
}

}  // namespace

void TcxRegExpr::Lex() {
  while (!AtEnd()) {
    const char32_t c = ReadChar();
    if (IsWhite(c)) continue;
    const int Line = FLineNo, Col = FColumn;
    switch (c) {
      case U'\'': LexQuoted(); break;
      case U'(': ++FDepth; AddLexem(lkOperator, "(", Line, Col); break;
      case U')': --FDepth; AddLexem(lkOperator, ")", Line, Col); break;
      case U'*': case U'+': case U'?': case U'|': AddLexem(lkOperator, Str(c), Line, Col); break;
      case U'.': AddLexem(lkAnyChar, ".", Line, Col); break;
      case U'/': AddLexem(lkDateSeparator, "/", Line, Col); break;
      case U':': AddLexem(lkTimeSeparator, ":", Line, Col); break;
      case U'[': AddLexem(lkOperator, "[", Line, Col); LexClass(); break;
      case U'\\': LexEscape(); break;
      case U'{': AddLexem(lkOperator, "{", Line, Col); LexBraces(); break;
      default: AddLexem(lkLiteral, Str(c), Line, Col); break;
    }
  }
  // Only the final balance is checked here; the parser finds ")(".
  if (FDepth > 0) AddError(0, 0, Text(cxRegExprText::Missing, ")"));
  if (FDepth < 0) AddError(0, 0, Text(cxRegExprText::Unnecessary, ")"));
}

// After the opening quote: every character up to the closing one is a literal; two quotes
// in a row are one quote.
void TcxRegExpr::LexQuoted() {
  while (!AtEnd()) {
    const char32_t c = ReadChar();
    if (c == U'\'') {
      if (Peek() != U'\'' || AtEnd()) return;
      ReadChar();
    }
    AddLexem(lkLiteral, Str(c), FLineNo, FColumn);
  }
  AddError(FLineNo, FColumn + 1, Text(cxRegExprText::Missing, " ' "));
}

// After the backslash; the lexem carries the backslash's position.
void TcxRegExpr::LexEscape() {
  const int Line = FLineNo, Col = FColumn;
  if (AtEnd()) return;
  const char32_t c = ReadChar();
  if (c >= U'1' && c <= U'9') {
    AddLexem(lkGroupRef, Str(c), Line, Col);
  } else if (IsWhite(c)) {
    AddError(FLineNo, FColumn, Text(cxRegExprText::SpaceAfterBackslash));
  } else if (const int Kind = EscapeClassKind(c); Kind >= 0) {
    AddLexem(Kind, Str(c), Line, Col);
  } else if (const char32_t Control = EscapeControl(c); Control != 0) {
    AddLexem(lkLiteral, Str(Control), Line, Col);
  } else if (c == U'p') {
    AddLexem(lkLiteral, Str(static_cast<unsigned char>(FormatSettings().DecimalSeparator)), Line, Col);
  } else if (c == U'x') {
    int Code = 0;
    for (int Digit = 0; Digit < 2; ++Digit) {
      if (AtEnd()) {
        AddError(FLineNo, FColumn + 1, Text(cxRegExprText::HexExpected));
        return;
      }
      const char32_t h = ReadChar();
      if (HexValue(h) < 0) {
        AddError(FLineNo, FColumn, Text(cxRegExprText::HexExpectedNot, Str(h)));
        return;
      }
      Code = Code * 16 + HexValue(h);
    }
    AddLexem(lkLiteral, Str(static_cast<char32_t>(Code)), Line, Col);
  } else {
    AddLexem(lkLiteral, Str(c), Line, Col);
  }
}

// After "[": members up to "]"; "^" first negates, "-" between members is a range.
void TcxRegExpr::LexClass() {
  bool First = true;
  while (!AtEnd()) {
    const char32_t c = ReadChar();
    if (IsWhite(c)) continue;
    const int Line = FLineNo, Col = FColumn;
    const bool WasFirst = First;
    First = false;
    switch (c) {
      case U'\'': LexQuoted(); continue;
      case U'/': AddLexem(lkDateSeparator, "/", Line, Col); continue;
      case U':': AddLexem(lkTimeSeparator, ":", Line, Col); continue;
      case U'\\': LexEscape(); continue;
      case U']': AddLexem(lkOperator, "]", Line, Col); return;
      default: break;
    }
    if (WasFirst) {
      AddLexem(c == U'^' ? lkOperator : lkLiteral, Str(c), Line, Col);
      continue;
    }
    if (c != U'-') {
      AddLexem(lkLiteral, Str(c), Line, Col);
      continue;
    }
    while (!AtEnd() && IsWhite(Peek())) ReadChar();
    if (AtEnd()) {
      AddLexem(lkOperator, "-", Line, Col);
      AddError(FLineNo, FColumn + 1, Text(cxRegExprText::Missing, "]"));
      return;
    }
    AddLexem(Peek() == U']' ? lkLiteral : lkOperator, "-", Line, Col);  // a trailing "-" is a member
  }
  AddError(FLineNo, FColumn + 1, Text(cxRegExprText::Missing, "]"));
}

// After "{": integers, "," and the closing "}".
void TcxRegExpr::LexBraces() {
  while (!AtEnd()) {
    const char32_t c = Peek();
    if (IsDigit(c)) {
      ReadChar();
      const int Line = FLineNo, Col = FColumn;
      String Digits = Str(c);
      while (!AtEnd() && IsDigit(Peek())) Digits += static_cast<char>(ReadChar());
      AddLexem(lkInteger, Digits, Line, Col);
      continue;
    }
    ReadChar();
    if (IsWhite(c)) continue;
    if (c == U',' || c == U'}') {
      AddLexem(lkOperator, Str(c), FLineNo, FColumn);
      if (c == U'}') return;
    } else {
      AddError(FLineNo, FColumn, Text(cxRegExprText::Illegal, c == U'\'' ? String(" ' ") : Str(c)));
    }
  }
  AddError(FLineNo, FColumn + 1, Text(cxRegExprText::Missing, "}"));
}
