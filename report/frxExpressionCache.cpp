#include "report/frxExpressionCache.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxRes.h"
#include "script/fs_iinterpreter.h"

#include <algorithm>

struct TfrxExpressionCache::TItem {
  String Key;   // the text folded to upper case
  String Name;  // "fr3f" + n
  std::unique_ptr<TfsScript> Script;
  TfsCustomVariable* Function = nullptr;
};

namespace {

// The one function an expression compiles to, in the language's own words.
bool WrapperText(const String& Language, const String& Name, const String& Expr, String& Text) {
  if (SameText(Language, "PascalScript"))
    Text = "function " + Name + ": Variant; begin Result := " + Expr + " end; begin end.";
  else if (SameText(Language, "C++Script"))
    Text = "Variant " + Name + "() { return " + Expr + "; } {}";
  else if (SameText(Language, "BasicScript"))
    Text = "function " + Name + "\r\nreturn " + Expr + "\r\nend function";
  else if (SameText(Language, "JScript"))
    Text = "function " + Name + "() { return " + Expr + "; }";
  else
    return false;
  return true;
}

}  // namespace

TfrxExpressionCache::TfrxExpressionCache(TfsScript* MainScript) : FMainScript(MainScript) {}

TfrxExpressionCache::~TfrxExpressionCache() = default;

std::size_t TfrxExpressionCache::Find(const String& Key, bool& Found) const {
  auto it = std::lower_bound(FItems.begin(), FItems.end(), Key,
                             [](const std::unique_ptr<TItem>& I, const String& K) { return I->Key < K; });
  Found = it != FItems.end() && (*it)->Key == Key;
  return static_cast<std::size_t>(it - FItems.begin());
}

String TfrxExpressionCache::FunctionNameOf(const String& Expr) const {
  bool found = false;
  std::size_t i = Find(AnsiUpperCase(Expr), found);
  return found ? FItems[i]->Name : String();
}

void TfrxExpressionCache::Clear() { FItems.clear(); }

void TfrxExpressionCache::Calc(const String& Expr, String& ErrorText, Variant& Value, TfsScript* Script) {
  ErrorText.clear();
  Value = Null();
  String key = AnsiUpperCase(Expr);
  bool found = false;
  std::size_t index = Find(key, found);
  TItem* item;
  if (found) {
    item = FItems[index].get();
  } else {
    auto fresh = std::make_unique<TItem>();
    fresh->Key = std::move(key);
    fresh->Name = "fr3f" + IntToStr(static_cast<int>(FItems.size()));
    fresh->Script = std::make_unique<TfsScript>(nullptr);
    TfsScript* s = fresh->Script.get();
    s->SetHighByteIdentChars(true);
    s->SetParentScript(Script);
    s->SetSyntaxType(FScriptLanguage);
    String text;
    if (WrapperText(FScriptLanguage, fresh->Name, Expr, text)) s->Lines()->SetText(text);
    bool compiled = false;
    String message;
    try {
      compiled = s->CompileSource();
      message = s->CompileError();
    } catch (const Exception& E) {
      // A language nobody registered is a compile failure of this expression, not of the run.
      message = E.Message();
    }
    if (compiled) fresh->Function = s->LookupLocalName(fresh->Name);
    if (!fresh->Function) {
      if (compiled) message = "'" + fresh->Name + "' not compiled";
      ErrorText = ReportResources()->TextOf("clExprError") + " '" + Expr + "': " + message;
      return;
    }
    item = fresh.get();
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(index), std::move(fresh));
  }
  item->Script->SetParentScript(Script);
  const bool runRoot = FMainScript->RunRoot();
  FMainScript->SetRunRoot(false);
  TScopeExit restore([this, runRoot] { FMainScript->SetRunRoot(runRoot); });
  try {
    Value = item->Function->FetchValue();
  } catch (const Exception& E) {
    ErrorText = E.Message();
    Value = Null();
  }
}
