#pragma once
// The pieces a mask expression is made of: lexems, the error list with its full texts, the
// exception a failed compilation raises, the character items that test one typed character
// (a Chinese character is one) and the quantifiers "?", "*", "+".
// Declares TcxLexem, TcxLexems, TcxRegExprError, TcxRegExprErrors, EcxRegExprError, the
// character items and the quantifiers.
#include "core/System.h"
#include "editors/cxEditError.h"

#include <memory>
#include <vector>

enum TcxLexemKind {
  lkLiteral, lkOperator, lkInteger, lkAnyChar, lkWordChar, lkNonWordChar, lkDigit, lkNonDigit,
  lkSpace, lkNonSpace, lkGroupRef, lkDateSeparator, lkTimeSeparator
};

struct TcxLexem {
  int Column = 0;  // from 1 within its line
  int Kind = lkLiteral;
  int LineNo = 0;  // from 1
  String Text;
  char32_t FirstChar() const;
  bool IsOperator(char Op) const { return Kind == lkOperator && Text.size() == 1 && Text[0] == Op; }
};

class TcxLexems {
public:
  void Add(const TcxLexem& Lexem) { FItems.push_back(Lexem); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TcxLexem& Items(int Index) const;

private:
  std::vector<TcxLexem> FItems;
};

class TcxRegExprError {
public:
  TcxRegExprError(int ALineNo, int AColumn, const String& AText) : LineNo(ALineNo), Column(AColumn), Text(AText) {}
  // "行<line>, 字符<column>: <text>"; the parts without a position are left out.
  String FullText() const;
  int LineNo;
  int Column;
  String Text;
};

class TcxRegExprErrors {
public:
  void Add(TcxRegExprError* AError) { FItems.emplace_back(AError); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegExprError* Items(int Index) const;

private:
  std::vector<std::unique_ptr<TcxRegExprError>> FItems;
};

// Raised by a failed compilation; refers to the compiler's error list, which keeps the errors
// until the next compilation. The message joins the full texts so that an uncaught failure
// still tells what was wrong.
class EcxRegExprError : public EcxEditError {
public:
  explicit EcxRegExprError(const TcxRegExprErrors* AErrors);
  const char* ClassName() const override { return "EcxRegExprError"; }
  const TcxRegExprErrors* Errors() const { return FErrors; }

private:
  const TcxRegExprErrors* FErrors;
};

// --- character items ------------------------------------------------------------------------

class TcxRegExprItem {
public:
  virtual ~TcxRegExprItem() = default;
  // Ch may come back changed: a case-blind symbol hands back its own spelling.
  virtual bool Matches(char32_t& Ch, bool CaseInsensitive) const = 0;
  virtual TcxRegExprItem* Duplicate() const = 0;
};

class TcxRegExprSymbol : public TcxRegExprItem {
public:
  explicit TcxRegExprSymbol(char32_t AValue) : Value(AValue) {}
  bool Matches(char32_t& Ch, bool CaseInsensitive) const override;
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprSymbol(Value); }
  char32_t Value;
};

// The separators are read at each call, so a changed locale setting applies at once.
class TcxRegExprTimeSeparator : public TcxRegExprItem {
public:
  static char32_t Current();
  bool Matches(char32_t& Ch, bool) const override { return Ch == Current(); }
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprTimeSeparator; }
};

class TcxRegExprDateSeparator : public TcxRegExprItem {
public:
  static char32_t Current();
  bool Matches(char32_t& Ch, bool) const override { return Ch == Current(); }
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprDateSeparator; }
};

class TcxRegExprSubrange : public TcxRegExprItem {
public:
  TcxRegExprSubrange(char32_t AStart, char32_t AEnd) : StartValue(AStart), EndValue(AEnd) {}
  bool Matches(char32_t& Ch, bool) const override { return StartValue <= Ch && Ch <= EndValue; }
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprSubrange(StartValue, EndValue); }
  char32_t StartValue;
  char32_t EndValue;
};

class TcxRegExprEnumeration : public TcxRegExprItem {
public:
  explicit TcxRegExprEnumeration(bool AInverse) : Inverse(AInverse) {}
  bool Inverse;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& Ch, bool CaseInsensitive) const override;
  TcxRegExprItem* Duplicate() const override;
  void Add(TcxRegExprItem* Item) { Items.emplace_back(Item); }
  std::vector<std::unique_ptr<TcxRegExprItem>> Items;
};

class TcxRegExprDigit : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& Ch, bool) const override { return (Ch >= U'0' && Ch <= U'9') != Inverse; }
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprDigit(Inverse); }
};

class TcxRegExprIdLetter : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& Ch, bool) const override;
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprIdLetter(Inverse); }
};

class TcxRegExprSpace : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& Ch, bool) const override;
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprSpace(Inverse); }
};

class TcxRegExprAll : public TcxRegExprItem {
public:
  bool Matches(char32_t&, bool) const override { return true; }
  TcxRegExprItem* Duplicate() const override { return new TcxRegExprAll; }
};

// --- quantifiers ------------------------------------------------------------------------------

class TcxRegExprQuantifier {
public:
  virtual ~TcxRegExprQuantifier() = default;
  virtual bool AllowsNone() const = 0;
  virtual bool AllowsMany() const = 0;
  virtual TcxRegExprQuantifier* Duplicate() const = 0;
  virtual String AsText() const = 0;
};

class TcxRegExprSimpleQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsNone() const override { return false; }
  bool AllowsMany() const override { return false; }
  TcxRegExprQuantifier* Duplicate() const override { return new TcxRegExprSimpleQuantifier; }
  String AsText() const override { return ""; }
};

class TcxRegExprQuestionQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsNone() const override { return true; }
  bool AllowsMany() const override { return false; }
  TcxRegExprQuantifier* Duplicate() const override { return new TcxRegExprQuestionQuantifier; }
  String AsText() const override { return "?"; }
};

class TcxRegExprStarQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsNone() const override { return true; }
  bool AllowsMany() const override { return true; }
  TcxRegExprQuantifier* Duplicate() const override { return new TcxRegExprStarQuantifier; }
  String AsText() const override { return "*"; }
};

class TcxRegExprPlusQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsNone() const override { return false; }
  bool AllowsMany() const override { return true; }
  TcxRegExprQuantifier* Duplicate() const override { return new TcxRegExprPlusQuantifier; }
  String AsText() const override { return "+"; }
};
