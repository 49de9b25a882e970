#pragma once
// The older report engine's script language: BEGIN/END blocks, IF, loops, GOTO and
// assignments, compiled into a list of lines whose expressions are in the parser's postfix
// form, and run from that list. Names, assignments and functions are the subclass's: the
// report's interpreter resolves them through its variables, objects and function libraries.
#include "report_legacy/FR_Pars.h"

class TStrings;
class TfrVariables;

// Kinds of compiled line (the first character); any other first character starts an
// assignment "name postfix".
namespace frline {
constexpr char IfFalseJump = 1;  // code, target low, target high, postfix condition
constexpr char Jump = 2;         // code, target low, target high
constexpr char Call = 3;         // code, postfix expression
}  // namespace frline

class TfrInterpretator : public TObject {
public:
  TfrInterpretator();
  ~TfrInterpretator() override;

  virtual void GetValue(const String& Name, Variant& Value);
  virtual void SetValue(const String& Name, const Variant& Value);
  virtual void DoFunction(const String& Name, Variant p1, Variant p2, Variant p3, Variant& Val);
  // Clears Compiled and Errors after reading Source (they may be one list); one message per
  // error, "Line l/c: message", in source coordinates.
  virtual void CompileScript(TStrings* Memo, TStrings* Script, TStrings* Errors);
  virtual void RunScript(TStrings* Memo);

  // The calls of MatchNames inside the expressions of a compiled list go to Found.
  void FindFunctionCalls(TStrings* Memo, TStrings* MatchNames, TfrVariables* Variables, TStrings* Found);

  TfrParser* Parser() const { return FParser.get(); }

private:
  std::unique_ptr<TfrParser> FParser;
};
