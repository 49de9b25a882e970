// What a name or a function in a report expression means: the data dictionary, the special
// variables, script variables, object properties and constants; the report's control
// functions; the printed form of values; and the interpreter that routes scripts back into
// the running report.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_DBSet.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "data/DB.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "report_legacy/FR_progr.h"

#include <cctype>

namespace {

TfrParser* GlobalParser() { return TfrGlobals::Instance()->Parser.get(); }
TfrVariables* ScriptVariables() { return TfrGlobals::Instance()->ScriptVariables.get(); }

TDataSet* AsDataSet(TComponent* c) {
  if (auto* db = dynamic_cast<TfrDBDataSet*>(c)) return db->SourceDataSet();
  return dynamic_cast<TDataSet*>(c);
}

// Splits "DataSet.Field" at its last full stop outside double quotes.
bool SplitReference(const String& Name, String& DataSet, String& Field) {
  bool quoted = false;
  std::size_t dot = String::npos;
  for (std::size_t i = 0; i < Name.size(); ++i) {
    if (Name[i] == '"') quoted = !quoted;
    else if (Name[i] == '.' && !quoted) dot = i;
  }
  if (dot == String::npos) return false;
  DataSet = Name.substr(0, dot);
  Field = UnquoteName(Name.substr(dot + 1));
  return true;
}

}  // namespace

// ================================================================ the dictionary

bool TfrDataDictionary::IsVariable(const String& Name) {
  for (const TfrCacheItem& c : Cache)
    if (SameText(c.Name, Name)) return true;
  auto tryField = [this, &Name](const String& Reference) {
    TComponent* component = CurrentBandDataSet();
    String field;
    ParseFieldReference(Reference, component, field);
    TDataSet* ds = field.empty() ? nullptr : AsDataSet(component);
    if (ds) Cache.push_back({Name, ds, field});
    return ds != nullptr;
  };
  const int i = Variables->IndexOf(" " + Name);
  if (i >= 0) {
    const Variant v = Variables->Value(i);
    if (!VarIsNull(v) && VarToStr(v).find('.') != String::npos) tryField(VarToStr(v));
    return true;
  }
  String ds, field;
  if (!SplitReference(Name, ds, field)) return false;
  // Aliases give data sets and fields the names the designer shows.
  for (int a = 0; a < FieldAliases->Count(); ++a)
    if (SameText(VarToStr(FieldAliases->Value(a)), ds)) ds = Trim(FieldAliases->Name(a));
  for (int a = 0; a < FieldAliases->Count(); ++a) {
    const String alias = Trim(FieldAliases->Name(a));
    if (SameText(VarToStr(FieldAliases->Value(a)), field) && StartsText(ds, alias)) {
      String d2, f2;
      if (SplitReference(alias, d2, f2)) field = f2;
    }
  }
  return tryField(ds + ".\"" + field + "\"");
}

void TfrDataDictionary::GetValue(const String& Name, Variant& Value) {
  Value = Null();
  for (const TfrCacheItem& c : Cache)
    if (SameText(c.Name, Name)) {
      if (!c.DataSet->Active()) c.DataSet->Open();
      Value = FieldValueAsVariant(c.DataSet->FieldByName(c.FieldName));
      return;
    }
  if (ScriptVariables()->IndexOf(" " + Name) >= 0 || ScriptVariables()->IndexOf(Name) >= 0) {
    Value = ScriptVariables()->Variable(Name);
    return;
  }
  Value = Variables->Variable(" " + Name);
  if (VarIsStr(Value) && !VarToStr(Value).empty()) Value = GlobalParser()->Evaluate(VarToStr(Value));
}

// ================================================================ names

namespace {

// The special variables after the dictionary, by name.
bool SpecialValue(TfrReport* r, const String& n, Variant& v) {
  TfrEngineState& s = frState();
  TfrPage* page = s.CurrentPage;
  if (n == "VALUE") v = s.CurrentValue;
  else if (n == "PAGE#") v = Variant(s.PageIndex + 1);
  else if (n == "DATE") v = Variant::FromDate(DateOf(s.RunDateTime));
  else if (n == "TIME") v = Variant::FromDate(TimeOf(s.RunDateTime));
  else if (n == "LINE#" || n == "LINETHROUGH#") {
    TfrBand* b = LineBand(s.CurrentBand);
    v = Variant(!b ? 0 : n == "LINE#" ? b->LocalLine : b->GlobalLine);
  } else if (n == "COLUMN#") v = Variant(page ? page->CrossColumnNo : 0);
  else if (n == "CURRENT#") v = Variant(page ? page->LineNo : 0);
  else if (n == "TOTALPAGES") v = Variant(s.PageTotal);
  else if (n == "REPORTCOMMENT") v = Variant(r->InfoComment);
  else if (n == "REPORTNAME") v = Variant(r->InfoName);
  else if (n == "REPORTAUTOR") v = Variant(r->InfoAuthor);
  else if (n == "VMAJOR") v = Variant(r->InfoVersionMajor);
  else if (n == "VMINOR") v = Variant(r->InfoVersionMinor);
  else if (n == "VRELEASE") v = Variant(r->InfoVersionRelease);
  else if (n == "VBUILD") v = Variant(r->InfoVersionBuild);
  else if (n == "REPORTDATE") v = Variant::FromDate(r->InfoCreateDate);
  else if (n == "REPORTLASTCHANGE") v = Variant::FromDate(r->InfoLastChange);
  else if (n == "CALCWIDTH") {
    TfrView* view = s.CurrentView;
    if (auto* m = dynamic_cast<TfrMemoView*>(view)) {
      TStringList saved;
      saved.Assign(&m->Memo);
      m->ExpandMemo();
      m->Memo.Assign(&m->ExpandedMemo);
      v = Variant(m->CalcTextWidth());
      m->Memo.Assign(&saved);
    } else {
      v = Variant(view ? view->Width : 0);
    }
  } else {
    return false;
  }
  return true;
}

bool RunValue(TfrReport* r, const String& n, Variant& v) {
  TfrEngineState& s = frState();
  TfrPage* page = s.CurrentPage;
  if (n == "CURY") v = Variant(page ? page->PosY : 0);
  else if (n == "FREESPACE") v = Variant(page ? page->BottomY - page->PosY : 0);
  else if (n == "FINALPASS") v = Variant((s.RootReport ? s.RootReport : r)->FinalPass);
  else if (n == "PAGEHEIGHT") v = Variant(page ? page->BottomY : 0);
  else if (n == "PAGEWIDTH") v = Variant(page ? page->RightMarginPx() : 0);
  else return false;
  return true;
}

}  // namespace

void TfrReport::GetVariableValue(const String& Name, Variant& Value) {
  TfrEngineState& s = frState();
  Value = Unassigned();
  if (OnGetValue()) {
    Variant v;
    OnGetValue()(Name, v);
    if (!VarIsEmpty(v)) {
      Value = v;
      return;
    }
  }
  const String n = UpperCase(Name);
  if (Dictionary()->IsVariable(Name)) {
    Dictionary()->GetValue(Name, Value);
    return;
  }
  if (SpecialValue(this, n, Value)) return;
  TfrVariables* sv = ScriptVariables();
  if (sv->IndexOf(Name) >= 0) {
    Value = sv->Variable(Name);
    return;
  }
  if (RunValue(this, n, Value)) return;
  String prop;
  TfrObject* obj = ResolveScriptName(Name, prop);
  if (obj && FindScriptProp(obj, prop)) {
    Value = obj->GetScriptProp(prop);
    return;
  }
  TfrVariables* constants = TfrGlobals::Instance()->ScriptConstants.get();
  if (constants->IndexOf(Name) >= 0) {
    Value = constants->Variable(Name);
    return;
  }
  // A name nothing knows is taken as an expression; one that only leads back to itself is
  // an error (not while aggregate calls are registered, when nothing has a value yet).
  if (!SameText(s.EvaluatingName, Name)) {
    s.EvaluatingName = Name;
    TScopeExit clear([&s] { s.EvaluatingName.clear(); });
    Value = GlobalParser()->Evaluate(Name);
    return;
  }
  if (!s.CollectingAggregates) throw EfrParserError(LocaleText(55439) + " \"" + Name + "\"");
}

// ================================================================ functions

void TfrReport::ParserFunction(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3,
                               Variant& Value) {
  Value = Variant("0");
  for (const auto& lib : FunctionLibraries())
    if (lib.second->OnFunction(Name, p1, p2, p3, Value)) return;
  TfrEngineState& s = frState();
  TfrParser* parser = GlobalParser();
  const String n = UpperCase(Name);
  auto arrayKey = [parser](const Variant& array, const Variant& index) {
    const Variant i = parser->Evaluate(VarToStr(index));
    return "Arr_" + Trim(VarToStr(array)) + "_" + (VarIsStr(i) ? VarToStr(i) : IntToStr(i.AsInteger()));
  };
  if (n == "STOPREPORT") {
    (s.RootReport ? s.RootReport : this)->Terminated = true;
  } else if (n == "NEWPAGE" || n == "NEWCOLUMN") {
    if (s.CurrentBand) ++(n == "NEWPAGE" ? s.CurrentBand->PendingNewPages : s.CurrentBand->PendingNewColumns);
  } else if (n == "SHOWBAND") {
    if (s.CurrentPage) s.CurrentPage->ShowBandByName(Trim(VarToStr(p1)));
  } else if (n == "INC" || n == "DEC") {
    const String target = Trim(VarToStr(p1));
    Variant v;
    GetVariableValue(target, v);
    TfrGlobals::Instance()->Interpretator->SetValue(target, n == "INC" ? v + Variant(1) : v - Variant(1));
  } else if (n == "SETARRAY" || n == "GETARRAY") {
    const String array = Trim(VarToStr(p1));
    if (array.find('.') != String::npos) {
      String prop;
      if (TfrObject* obj = ResolveScriptName(array, prop)) {
        const Variant index = parser->Evaluate(VarToStr(p2));
        if (n == "SETARRAY") obj->CallScriptMethod("SETINDEXPROPERTY", Variant(UpperCase(prop)), index,
                                                   parser->Evaluate(VarToStr(p3)));
        else Value = obj->CallScriptMethod("GETINDEXPROPERTY", Variant(UpperCase(prop)), index, Variant());
      }
    } else if (n == "SETARRAY") {
      ScriptVariables()->SetVariable(arrayKey(p1, p2), parser->Evaluate(VarToStr(p3)));
    } else {
      Value = ScriptVariables()->Variable(arrayKey(p1, p2));
    }
  } else if (Name.find('.') != String::npos) {
    String method;
    if (TfrObject* obj = ResolveScriptName(Name, method)) Value = obj->CallScriptMethod(method, p1, p2, p3);
  }
  if (OnUserFunction()) {
    Variant v = Value;
    OnUserFunction()(Name, p1, p2, p3, v);
    Value = v;
  }
}

// ================================================================ printed forms

namespace {

// An inline format after " #": N (numbers), B (Booleans), D or T (dates and times).
void ParseInlineFormat(String f, int& code, String& text) {
  if (f.empty()) return;
  if (std::isdigit(static_cast<unsigned char>(f[0]))) f = "N" + f;
  const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(f[0])));
  const bool digit = f.size() > 1 && std::isdigit(static_cast<unsigned char>(f[1]));
  if (kind == 'N') {
    code = digit ? 0x01010000 : 0x01000000;
    const std::size_t sep = f.find_last_of(",-.");
    if (sep != String::npos) {
      code += static_cast<unsigned char>(f[sep]);
      f[sep] = '.';
      if (digit) code += StrToIntDef(f.substr(sep + 1), 0) * 256;
    }
    if (!digit) {
      text = f.substr(1);
      code += 0x40000;
    }
  } else if (kind == 'B') {
    code = 0x04040000;
    text = f.substr(1);
  } else if (kind == 'D' || kind == 'T') {
    code = 0x02040000;
    text = f.substr(1);
  }
}

String Hashes(int n) { return String(static_cast<std::size_t>(std::max(0, n)), '#'); }

String PickFormat(const std::vector<String>& list, int e) {
  return e >= 0 && e < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(e)] : String();
}

}  // namespace

void TfrReport::GetValueText(const String& Expression, String& Text) {
  TfrEngineState& s = frState();
  s.EvaluatingName.clear();
  TfrView* view = s.CurrentView;
  int code = view ? view->FormatCode : 0;
  String format = view ? view->FormatText : String();
  String expr = Expression;
  const std::size_t hash = Expression.find(" #");
  if (hash != String::npos) {
    expr = Expression.substr(0, hash);
    ParseInlineFormat(Expression.substr(hash + 2), code, format);
  }
  s.CurrentExpression = expr;
  s.CurrentValue = Variant(0);
  Variant value;
  GetVariableValue(expr, value);
  s.CurrentValue = value;
  if (view && (view->Flags & frmemo::HideZeros) && !VarIsStr(value) && VarIsNumeric(value) && value == Variant(0))
    value = Variant("");
  if (!s.CollectingAggregates) FormatValue(value, code, Text, format);
}

void TfrReport::FormatValue(const Variant& Value, int FormatCode, String& Text, const String& FormatText) {
  Text.clear();
  if (VarIsEmpty(Value) || VarIsNull(Value) || (VarIsStr(Value) && Trim(VarToStr(Value)).empty())) return;
  TfrGlobals* g = TfrGlobals::Instance();
  TRestore<char> separator(FormatSettings().DecimalSeparator);
  const int category = (FormatCode >> 24) & 0x0F, e = (FormatCode >> 16) & 0xFF;
  try {
    switch (category) {
      case 1: {
        const char sep = static_cast<char>(FormatCode & 0xFF);
        if (sep) FormatSettings().DecimalSeparator = sep;
        const int d = (FormatCode >> 8) & 0xFF;
        const double v = Value.AsDouble();
        switch (e) {
          case 0: Text = FormatFloat("##0." + Hashes(d), v); break;
          case 1: Text = FloatToStrF(v, ffFixed, 15, d); break;
          case 2: Text = FormatFloat("#,##0." + Hashes(d), v); break;
          case 3: Text = FloatToStrF(v, ffNumber, 15, d); break;
          default: Text = FormatFloat(FormatText, v); break;
        }
        break;
      }
      case 2:
        if (e == 4) Text = FormatDateTime(FormatText, Value.AsDateTime());
        else if (e == 3) Text = FormatDateTime(FormatSettings().LongDateFormat, Value.AsDateTime());
        else Text = FormatDateTime(PickFormat(g->DateFormats, e), Value.AsDateTime());
        break;
      case 3:
        Text = FormatDateTime(e == 4 ? FormatText : PickFormat(g->TimeFormats, e), Value.AsDateTime());
        break;
      case 4: {
        const String pattern = e == 4 ? FormatText : PickFormat(g->BooleanFormats, e);
        const std::size_t semi = pattern.find(';');
        const String no = pattern.substr(0, semi), yes = semi == String::npos ? String() : pattern.substr(semi + 1);
        Text = Value.AsInteger() != 0 ? yes : no;
        break;
      }
      default: Text = VarToStr(Value); break;
    }
  } catch (const Exception&) {
    Text = VarToStr(Value);
  }
}

// ================================================================ the interpreter

void TInterpretator::GetValue(const String& Name, Variant& Value) {
  if (TfrReport* r = frState().CurrentReport) r->GetVariableValue(Name, Value);
  else Value = TfrGlobals::Instance()->ScriptConstants->Variable(Name);
}

void TInterpretator::DoFunction(const String& Name, Variant p1, Variant p2, Variant p3, Variant& Val) {
  if (TfrReport* r = frState().CurrentReport) r->ParserFunction(Name, p1, p2, p3, Val);
}

void TInterpretator::SetValue(const String& Name, const Variant& Value) {
  TfrEngineState& s = frState();
  TfrVariables* sv = ScriptVariables();
  if (sv->IndexOf(Name) >= 0) {
    sv->SetVariable(Name, Value);
    return;
  }
  TfrReport* r = s.CurrentReport;
  const String n = UpperCase(Name);
  if (r && r->Dictionary()->IsVariable(Name)) {
    r->Dictionary()->Variables->SetVariable(" " + Name, Value);
    return;
  }
  if (n == "MODALRESULT" && s.CurrentPage && s.CurrentPage->PageForm) {
    s.CurrentPage->PageForm->SetModalResult(Value.AsInteger());
    return;
  }
  if (n == "PROGRESS" && r && r->ProgressForm()) {
    r->ProgressForm()->Label2->SetCaption(VarToStr(Value));
    Application->ProcessMessages();
    return;
  }
  if (n == "CURY" && s.CurrentPage) {
    s.CurrentPage->PosY = Value.AsInteger();
    if (TfrBand* b = s.CurrentBand; b && (b->PendingNewPages || b->PendingNewColumns)) b->BreakRequested = true;
    return;
  }
  String prop;
  if (Name.find('.') != String::npos)
    if (TfrObject* obj = ResolveScriptName(Name, prop); obj && FindScriptProp(obj, prop)) {
      obj->SetScriptProp(prop, Value);
      return;
    }
  sv->SetVariable(Name, Value);
}

void TInterpretator::RunSource(TStrings* Source) {
  if (!Source || Source->Count() == 0) return;
  TStringList compiled, errors;
  CompileScript(Source, &compiled, &errors);
  RunScript(&compiled);
}

// ================================================================ the hook and errors

void TfrReport::BeforePrint(TStringList* Memo, TfrView* View) {
  if (View->BoundDataSet) {
    TField* f = View->BoundDataSet->FindField(View->BoundFieldName);
    if (f && IsBlobFieldType(f)) View->LoadFromBlobField(f);
  }
  if (OnBeforePrint()) OnBeforePrint()(Memo, View);
}

void TfrReport::BuildExpressionError(const Exception& E) {
  TfrEngineState& s = frState();
  s.ErrorFlag = true;
  String t = LocaleText(55200);
  if (s.CurrentView)
    for (int i = 0; i < s.CurrentView->Memo.Count(); ++i) t += "\r" + s.CurrentView->Memo.Strings(i);
  t += "\r\r" + LocaleText(55201) + " " + Name() + "\r";
  if (s.CurrentView) t += LocaleText(55202) + " " + s.CurrentView->Name + "\r";
  t += "\r" + E.Message();
  s.ErrorText = t;
  (s.RootReport ? s.RootReport : this)->Terminated = true;
}

void TfrReport::LineOutput(const TRect& DrawRect, int X, int Y, TfrView* View, const String& Text, Word FrameTyp) {
  if (CurrentFilter) CurrentFilter->OnText(DrawRect, X, Y, Text, FrameTyp, View);
}
