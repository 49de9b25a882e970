#pragma once
// The compiled bracketed expressions of a report: each distinct text (letter case ignored) is
// compiled once into a function of its own and afterwards only run, until Clear.
// Declares TfrxExpressionCache.
#include "core/System.h"
#include "core/Variant.h"

#include <memory>
#include <vector>

class TfsScript;
class TfsCustomVariable;

class TfrxExpressionCache : public TObject {
public:
  // MainScript: the report's script, whose RunRoot is cleared while an expression runs.
  explicit TfrxExpressionCache(TfsScript* MainScript);
  ~TfrxExpressionCache() override;

  // The language expressions are compiled in; the report copies its own before each compile.
  const String& ScriptLanguage() const { return FScriptLanguage; }
  void SetScriptLanguage(const String& Value) { FScriptLanguage = Value; }

  // The value of Expr, evaluated with Script as the parent of its function (the procedure
  // running now when a macro function asks, else the report's script). A text that does not
  // compile, or fails while it runs with a general error, leaves ErrorText and Value Null.
  void Calc(const String& Expr, String& ErrorText, Variant& Value, TfsScript* Script);
  // Forgets every compiled expression.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // The function name the expression was compiled under ("fr3f0" ...); '' when not compiled.
  String FunctionNameOf(const String& Expr) const;

private:
  struct TItem;
  // Index of the expression, or where it would go (Found false).
  std::size_t Find(const String& Key, bool& Found) const;

  TfsScript* FMainScript;
  String FScriptLanguage = "PascalScript";
  // Sorted by the folded text; each entry keeps the script its function lives in, so a
  // function stays callable while later expressions compile.
  std::vector<std::unique_ptr<TItem>> FItems;
};
