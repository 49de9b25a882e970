// The report's script binding: the names a report adds to its script, expression evaluation
// through the cache of compiled expressions, and the script events of report objects.
#include "report/frxClass.h"

#include "core/Format.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxBands.h"
#include "report/frxClassBases.h"
#include "report/frxExpressionCache.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"
#include "report/frxVariables.h"
#include "report/frxView.h"
#include "script/fs_iinterpreter.h"

#include <cctype>

namespace {

// What a report stamps on the names it registers, so the next compile drops them again.
TfsOwnerTag TagOf(const TfrxReport* Report) { return reinterpret_cast<TfsOwnerTag>(Report); }

// Whether the text can name a script variable: identifier characters only. Expressions, the
// common case, skip the symbol-table search.
bool CanBeIdentifier(const String& Name) {
  if (Name.empty()) return false;
  for (unsigned char c : Name)
    if (!(std::isalnum(c) || c == '_' || c >= 128)) return false;
  return true;
}

// The longest system variable is "TotalPages#".
constexpr std::size_t kLongestSystemVariable = 11;

bool IsAggregateName(const String& Name) {
  static const char* const kNames[] = {"SUM", "AVG", "MIN", "MAX", "COUNT"};
  for (const char* n : kNames)
    if (Name == n) return true;
  return false;
}

}  // namespace

void TfrxReport::SetEngine(std::unique_ptr<TfrxCustomEngine> Value) {
  FEngine = std::move(Value);
  if (FEngine) FEngine->SetPreviewPages(FPreviewPages.get());
  if (FPreviewPages) FPreviewPages->SetEngine(FEngine.get());
}

void TfrxReport::SetPreviewPages(std::unique_ptr<TfrxCustomPreviewPages> Value) {
  FPreviewPages = std::move(Value);
  if (FPreviewPages) FPreviewPages->SetEngine(FEngine.get());
  if (FEngine) FEngine->SetPreviewPages(FPreviewPages.get());
}

void TfrxReport::SetTerminated(bool Value) {
  FTerminated = Value;
  if (Value) FScript->StopRun();
}

// ---- compiling

bool TfrxReport::CompileReportScript() {
  FExpressionCache->Clear();
  FExpressionCache->SetScriptLanguage(FScriptLanguage);
  if (FEngine) FEngine->RowNotifyList().clear();

  TfsScript* s = FScript.get();
  s->DropOwnerItems(TagOf(this));
  FValueVariable = nullptr;
  s->SetOwnerTag(TagOf(this));
  s->SetRunRoot(true);
  TScopeExit untag([s] { s->SetOwnerTag(0); });

  for (TfrxComponent* c : AllObjects()) {
    c->SetIsDesigning(false);
    c->PrepareForRun();
    if (auto* picture = dynamic_cast<TfrxPictureView*>(c)) picture->SetPictureChanged(false);
    if (!c->Name().empty()) s->RegisterObject(c->Name(), c);
  }
  s->RegisterObject("Report", this);
  // Without an engine or store the names exist and hold nil, so a script still compiles.
  if (FEngine)
    s->RegisterObject("Engine", FEngine.get());
  else
    s->RegisterVariable("Engine", "TfrxCustomEngine", Variant(0));
  TfrxCustomOutline* outline = FPreviewPages ? FPreviewPages->Outline() : nullptr;
  if (outline)
    s->RegisterObject("Outline", outline);
  else
    s->RegisterVariable("Outline", "TfrxCustomOutline", Variant(0));
  s->RegisterVariable("Value", "Variant", Null());
  FValueVariable = s->LookupLocalName("Value");

  s->RegisterFunction("function Get(Name: String): Variant",
                      [this](TObject*, TClass, const String&, TfsMethodHelper* C) -> Variant {
                        String name = VarToStr(C->ParamValue(0));
                        Variant v;
                        if (LookupValue(name, v)) return v;
                        std::size_t p = name.find('(');
                        if (p != String::npos && IsAggregateName(UpperCase(Trim(name.substr(0, p)))))
                          return Calc(name);
                        FErrors->Add(ReportResources()->TextOf("clUnknownVar") + " " + name);
                        return Null();
                      });
  s->RegisterFunction("procedure Set(Name: String; Value: Variant)",
                      [this](TObject*, TClass, const String&, TfsMethodHelper* C) -> Variant {
                        FVariables->SetVariables(VarToStr(C->ParamValue(0)), C->ParamValue(1));
                        return Null();
                      });
  // Macro functions get their arguments as source text; they are evaluated in the scope of
  // the procedure running now, so its locals are visible.
  auto scope = [this]() -> TfsScript* {
    TfsScript* local = FScript->ActiveLocalProgram();
    return local ? local : FScript.get();
  };
  s->RegisterFunction("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
                      [this, scope](TObject*, TClass, const String&, TfsMethodHelper* C) -> Variant {
                        TfsScript* at = scope();
                        Variant cond = Calc(VarToStr(C->ParamValue(0)), at);
                        bool chosen = !VarIsNull(cond) && !VarIsEmpty(cond) && cond.AsBoolean();
                        return Calc(VarToStr(C->ParamValue(chosen ? 1 : 2)), at);
                      });
  auto aggregate = [this, scope](const String& Name, bool HasExpr) {
    return [this, scope, Name, HasExpr](TObject*, TClass, const String&, TfsMethodHelper* C) -> Variant {
      TfsScript* at = scope();
      int first = HasExpr ? 1 : 0;
      auto operand = [&](int i) {
        String text = Trim(VarToStr(C->ParamValue(i)));
        return text.empty() ? Variant(0) : Calc(text, at);
      };
      Variant band = operand(first), flags = operand(first + 1);
      String expr = HasExpr ? VarToStr(C->ParamValue(0)) : String();
      if (!FEngine) return Null();
      auto* b = ObjectOf<TfrxBand>(VarIsNull(band) ? 0 : band.AsInteger());
      return FEngine->AggregateValue(Name, expr, b, VarIsNull(flags) ? 0 : flags.AsInteger());
    };
  };
  s->RegisterFunction("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                      aggregate("SUM", true));
  s->RegisterFunction("macrofunction AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                      aggregate("AVG", true));
  s->RegisterFunction("macrofunction MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                      aggregate("MIN", true));
  s->RegisterFunction("macrofunction MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                      aggregate("MAX", true));
  s->RegisterFunction("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
                      aggregate("COUNT", false));

  s->SetLines(FScriptText.get());
  s->SetSyntaxType(FScriptLanguage);
  if (s->CompileSource()) return true;
  FErrors->Add(Format(ReportResources()->TextOf("clScrError"), {s->CompileErrorPos(), s->CompileError()}));
  return false;
}

// ---- values

Variant TfrxReport::Calc(const String& Expression, TfsScript* AScript) {
  if (!AScript) AScript = FScript.get();
  Variant value;
  if (LookupValue(Expression, value)) return value;
  String error;
  FExpressionCache->Calc(Expression, error, value, AScript);
  if (!error.empty()) {
    if (!FCurrentObjectName.empty()) error = FCurrentObjectName + ": " + error;
    FErrors->Add(error);
    throw Exception(error);
  }
  return value;
}

bool TfrxReport::LookupValue(const String& Name, Variant& Value) {
  Value = Null();
  TfrxDataSet* ds = nullptr;
  String field;
  SplitDataSetField(Name, ds, field);
  if (ds && !field.empty()) {
    Value = ds->GetValue(field);
    if (VarIsNull(Value) && FEngineOptions->ConvertNulls()) {
      switch (ds->GetFieldType(field)) {
        case fftNumeric: Value = Variant(0); break;
        case fftString: Value = Variant(String()); break;
        case fftBoolean: Value = Variant(false); break;
      }
    }
    return true;
  }

  switch (Name.size() <= kLongestSystemVariable ? FSystemVariables->IndexOf(Name) : -1) {
    case 0: Value = Variant::FromDate(FEngine ? FEngine->StartDate() : 0); return true;
    case 1: Value = Variant::FromDate(FEngine ? FEngine->StartTime() : 0); return true;
    case 2:
      Value = Variant(FPreviewPages ? FPreviewPages->CurPage() - FPreviewPages->FirstPage() + 1 : 1);
      return true;
    case 3: Value = Variant(FPreviewPages ? FPreviewPages->CurPage() + 1 : 1); return true;
    case 4:
      Value = Variant((FEngine ? FEngine->TotalPages() : 0) - (FPreviewPages ? FPreviewPages->FirstPage() : 0));
      return true;
    case 5: Value = Variant(FEngine ? FEngine->TotalPages() : 0); return true;
    case 6: Value = Variant(FEngine ? FEngine->CurRow() : 0); return true;
    case 7: Value = Variant(FEngine ? FEngine->CurRowThrough() : 0); return true;
    default: break;
  }

  if (OnGetValue.Assigned()) {
    Variant v;
    OnGetValue(Name, v);
    if (!VarIsEmpty(v)) {
      Value = v;
      return true;
    }
  }

  int i = FVariables->FindIndex(Name);
  if (i >= 0) {
    Variant v = FVariables->ItemAt(i)->Value();
    if (VarIsStr(v) && VarToStr(v).find("\r\n") == String::npos)
      Value = Calc(VarToStr(v));
    else
      Value = v;
    return true;
  }

  if (TfsCustomVariable* var = CanBeIdentifier(Name) ? FScript->LookupLocalName(Name) : nullptr) {
    Value = var->FetchValue();
    return true;
  }
  Value = Null();
  return false;
}

void TfrxReport::SetCurrentValue(const Variant& Value) {
  if (FValueVariable) FValueVariable->StoreValue(Value);
}

// ---- events

void TfrxReport::RunScriptEvent(TObject* Object, const String& ProcName, bool Force) {
  if (ProcName.empty() || (!Force && !(FEngine && FEngine->Running()))) return;
  FScript->InvokeFunction(ProcName, VarArrayOf({Variant(HandleOf(Object))}));
}

void TfrxReport::RunScriptEventWithParams(const String& ProcName, Variant& Params, bool Force) {
  if (ProcName.empty() || (!Force && !(FEngine && FEngine->Running()))) return;
  FScript->InvokeFunctionVarParams(ProcName, Params);
}

void TfrxReport::FireBeforePrint(TfrxReportComponent* Object) {
  if (OnBeforePrint.Assigned()) OnBeforePrint(Object);
  RunScriptEvent(Object, Object->OnBeforePrint());
}

void TfrxReport::FireAfterPrint(TfrxReportComponent* Object) {
  if (OnAfterPrint.Assigned()) OnAfterPrint(Object);
  RunScriptEvent(Object, Object->OnAfterPrint());
}

void TfrxReport::FirePreviewClick(TfrxView* View, int Button, int Shift, bool& Modified) {
  Variant params = VarArrayOf({Variant(HandleOf(View)), Variant(Button), Variant(Shift), Variant(Modified)});
  RunScriptEventWithParams(View->OnPreviewClick(), params, true);
  if (!View->OnPreviewClick().empty()) Modified = params.GetElement({3}).AsBoolean();
  if (OnClickObject.Assigned()) OnClickObject(View, Button, Shift, Modified);
}
