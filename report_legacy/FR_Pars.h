#pragma once
// The older report engine's expression language: expressions turn into a compact postfix
// string once and are evaluated from it each time; every name and every function the parser
// does not know itself is asked from the owner through two events. Beside the parser, the
// name-to-value list of report variables and constants, and the finder of given function
// calls inside expressions (the aggregates).
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <cstddef>
#include <memory>

class TStrings;
class TStringList;

// Refused expressions and postfix strings; the message quotes the text.
KELM_EXCEPTION(EfrParserError, Exception);

KELM_EVENT(TGetPValueEvent, void(const String& Name, Variant& Value));
KELM_EVENT(TFunctionEvent, void(const String& Name, Variant p1, Variant p2, Variant p3, Variant& Val));

// Operator codes of the postfix form (one character each). Stored postfix strings carry
// them, so the values are fixed.
namespace frop {
constexpr char GreaterEq = 1, LessEq = 2, NotEq = 3, Or = 4, And = 5, Int = 6, Frac = 7, Neg = 9, Plus = 10,
               Str = 11, Not = 12, Mod = 13, Round = 14;
}  // namespace frop

class TfrParser : public TObject {
public:
  // The evaluation stack: a postfix form that needs more entries is refused.
  static constexpr int kStackSize = 32;

  String ToPostfix(const String& S) const;
  Variant EvalPostfix(const String& S) const;
  Variant Evaluate(const String& S) const { return EvalPostfix(ToPostfix(S)); }

  // Token readers shared with the interpreter and the splitter; Pos is 0-based and moves.
  // An identifier: stops at CR, blank, ( ) * + - / < = > [ outside double quotes.
  static String ReadIdentifier(const String& S, std::size_t& Pos);
  // A single-quoted literal with both quotes; a doubled quote continues it.
  static String ReadQuoted(const String& S, std::size_t& Pos);
  // Pos on '('; the first, second and (with exactly three) third argument texts, untrimmed;
  // Pos ends after the ')'. Unbalanced parentheses or a fourth argument are refused.
  static void ReadArguments(const String& S, std::size_t& Pos, String& p1, String& p2, String& p3);

  const TGetPValueEvent& OnGetValue() const { return FOnGetValue; }
  void SetOnGetValue(const TGetPValueEvent& Value) { FOnGetValue = Value; }
  const TFunctionEvent& OnFunction() const { return FOnFunction; }
  void SetOnFunction(const TFunctionEvent& Value) { FOnFunction = Value; }

private:
  Variant EvalBuiltIn(const String& Name, const String& p1, const String& p2, const String& p3, bool& Known) const;

  TGetPValueEvent FOnGetValue;
  TFunctionEvent FOnFunction;
};

// The text strictly between the first '[' from Start on and its matching ']' (brackets inside
// single or double quotes do not count); Start moves to the '[', Finish to the ']' (or the end).
String ReadBracketed(const String& S, std::size_t& Start, std::size_t& Finish);

// Names with a value each; look-up ignores letter case, a name is held once.
class TfrVariables : public TObject {
public:
  TfrVariables();
  ~TfrVariables() override;

  Variant Variable(const String& Name) const;  // Null when absent
  void SetVariable(const String& Name, const Variant& Value);
  Variant Value(int Index) const;  // integer 0 outside the range
  void SetValue(int Index, const Variant& Value);
  String Name(int Index) const;
  void SetName(int Index, const String& Value);
  int IndexOf(const String& Name) const;
  int Count() const;
  void Delete(int Index);
  void Clear();
  bool Sorted() const;
  void SetSorted(bool Value);

private:
  std::unique_ptr<TStringList> FList;
};

// Finds the calls of the matched function names inside an expression, nested calls before the
// call that holds them; bracketed names and bare names of variables are followed into their
// values.
class TfrFunctionSplitter : public TObject {
public:
  TfrFunctionSplitter(TStrings* AMatchFuncs, TStrings* ASplitTo, TfrVariables* AVariables);
  void Split(const String& S);

private:
  void SplitLevel(const String& S, int Depth);

  TStrings* FMatchFuncs;
  TStrings* FSplitTo;
  TfrVariables* FVariables;
};
