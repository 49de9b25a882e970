// The program builder.
#include "script/fs_iilbuilder.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_iconst.h"
#include "script/fs_idesignator.h"
#include "script/fs_iexpression.h"
#include "script/fs_ihelpers.h"
#include "script/fs_iilconst.h"
#include "script/fs_iilparser.h"
#include "script/fs_iparser.h"
#include "script/fs_iprocvariable.h"
#include "script/fs_iscript.h"
#include "script/fs_istatements.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/Format.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"

#include <memory>

namespace {

bool Is(const TfsXMLItem* E, std::string_view Name) { return SameText(E->Name(), Name); }

String TextOf(const TfsXMLItem* E) { return E->TextProp(); }

String Quoted(const String& Name) { return "'" + Name + "'"; }

[[noreturn]] void Fail(TfsMessage M) { throw Exception(fsMessage(M)); }
[[noreturn]] void Fail(TfsMessage M, const String& Name) { throw Exception(fsMessage(M) + Quoted(Name)); }

// The value an item holds at build time, without running anything.
Variant BuildTimeValue(TfsCustomVariable* Item) {
  if (dynamic_cast<TfsVariable*>(Item)) return Item->FetchValue();
  return Item->RawValue();
}

TfsScript* RootOf(TfsScript* S) {
  while (S->ParentScript()) S = S->ParentScript();
  return S;
}

// The number of parameters a call must supply.
int RequiredParamCount(const TfsCustomVariable* V) {
  int n = 0;
  for (int i = 0; i < V->ParamCount(); ++i)
    if (!V->Params(i)->Optional()) n = i + 1;
  return n;
}

}  // namespace

TfsILBuilder::TfsILBuilder(TfsILParser* AParser) : FParser(AParser), FRoot(AParser->Script()) {}

void TfsILBuilder::SetPos(const TfsXMLItem* E) {
  int line = 0, col = 0;
  if (E->ILPosition(line, col)) {
    if (line > 0) FParser->SetBuildErrorPos(line, col);
    return;
  }
  String pos = E->PosProp();
  if (!pos.empty()) FParser->SetBuildErrorPos(pos);
}

// ---------------------------------------------------------------- names and types

void TfsILBuilder::CheckIdent(TfsScript* S, const String& Name) {
  if (S->LookupLocalName(Name)) Fail(fsIdRedeclared, Name);
}

TfsCustomVariable* TfsILBuilder::FindOrCreateVariable(TfsScript* S, const String& Name) {
  if (TfsCustomVariable* v = S->LookupName(Name)) return v;
  if (FParser->DeclareVarsRequired()) Fail(fsIdUndeclared, Name);
  auto* v = new TfsVariable(Name, tcVariant, String());
  FRoot->PutItem(Name, v);
  return v;
}

TfsCustomVariable* TfsILBuilder::FindHelper(TfsScript* S, const String& Name) {
  // The system library registers the indexing helpers of strings and Variant arrays.
  TfsCustomVariable* h = S->LookupName(Name);
  if (!dynamic_cast<TfsCustomHelper*>(h)) Fail(fsIdUndeclared, Name);
  return h;
}

TfsClassVariable* TfsILBuilder::FindClass(const String& Name) {
  TfsClassVariable* c = FRoot->LookupClass(Name);
  if (!c) Fail(fsUnknownType, Name);
  return c;
}

TfsTypeCode TfsILBuilder::TypeCodeOf(String& TypeName) {
  String t = TypeName;
  auto alias = [&t](const TfsXMLItem* Program) {
    if (!Program) return false;
    // `types` is a program's last child: looked for from the end, a program of many
    // declarations is not walked for every type name in it.
    const TfsXMLItem* types = nullptr;
    for (int i = Program->Count() - 1; i >= 0 && !types; --i)
      if (Is(Program->Items(i), fsil::Types)) types = Program->Items(i);
    if (!types) return false;
    int a = types->Find(t);
    if (a < 0) return false;
    t = types->Items(a)->Prop(String(fsil::AttrType));
    return true;
  };
  if (!alias(FParser->CurrentProgramNode()) && FParser->ILDoc()) alias(FParser->ILDoc()->Root());
  TfsTypeCode code = TypeCodeOfName(t, FRoot);
  if (code == tcClass) FindClass(t);
  return code;
}

void TfsILBuilder::CheckAssignment(TfsCustomVariable* Target, TfsCustomVariable* Source) {
  if (!AssignmentCompatible(Target, Source, FRoot))
    throw Exception(fsMessage(fsIncompatibleTypes) + ": '" + VariableTypeName(Target) + "', '" +
                    VariableTypeName(Source) + "'");
}

// ---------------------------------------------------------------- program and routines

void TfsILBuilder::BuildProgram() {
  FParser->WithNames()->Clear();
  FParser->SetCurrentUnit(String());
  FRoot->SetCompileError(FRoot->CompileError(), FRoot->CompileErrorPos(), String());
  try {
    BuildProgramNode(FParser->ILDoc()->Root(), FRoot);
    FRoot->SetCompileError(String(), String(), String());
  } catch (const Exception& e) {
    FRoot->SetCompileError(e.Message(), FParser->BuildErrorPos(), FParser->CurrentUnit());
  }
}

void TfsILBuilder::BuildProgramNode(TfsXMLItem* E, TfsScript* S) {
  TfsXMLItem* saved = FParser->CurrentProgramNode();
  FParser->SetCurrentProgramNode(E);
  TScopeExit restore([this, saved] { FParser->SetCurrentProgramNode(saved); });
  DeclareRoutines(E, S);
  BuildStatementList(E, S, S->MainStatement());
}

void TfsILBuilder::DeclareRoutines(TfsXMLItem* E, TfsScript* S) {
  for (int i = 0; i < E->Count(); ++i) {
    TfsXMLItem* c = E->Items(i);
    if (Is(c, fsil::Procedure) || Is(c, fsil::Function)) DeclareRoutine(c, S);
    else if (Is(c, fsil::CompoundStmt)) DeclareRoutines(c, S);
  }
}

void TfsILBuilder::DeclareRoutine(TfsXMLItem* E, TfsScript* S) {
  SetPos(E);
  const bool isFunction = Is(E, fsil::Function);
  String name, typeName;
  TfsTypeCode code = isFunction ? tcVariant : tcInteger;
  if (!isFunction) {
    name = E->Count() > 0 ? TextOf(E->Items(0)) : String();
  } else {
    for (int i = 0; i < E->Count(); ++i) {
      TfsXMLItem* c = E->Items(i);
      if (Is(c, fsil::Type)) {
        SetPos(c);
        typeName = TextOf(c);
        if (!SameText(typeName, "void")) code = TypeCodeOf(typeName);
      } else if (Is(c, fsil::Name)) {
        SetPos(c);
        name = TextOf(c);
      }
    }
  }
  CheckIdent(S, name);
  const bool returns = isFunction && !SameText(typeName, "void");
  auto* proc = new TfsProcVariable(name, code, typeName, S, returns);
  proc->SetSourcePos(E->PosProp());
  proc->SetUnitName(FParser->CurrentUnit());
  S->PutItem(name, proc);

  int p = E->Find(String(fsil::Parameters));
  if (p < 0) return;
  TfsXMLItem* params = E->Items(p);
  TfsScript* local = proc->LocalProgram();
  bool groupByRef = false;
  for (int i = 0; i < params->Count(); ++i) {
    TfsXMLItem* g = params->Items(i);
    if (Is(g, fsil::VarParams)) {
      groupByRef = true;
      continue;
    }
    if (!Is(g, fsil::Var)) continue;
    bool nameByRef = false;
    for (int k = 0; k < g->Count(); ++k) {
      TfsXMLItem* c = g->Items(k);
      if (Is(c, fsil::VarParam)) {
        nameByRef = true;
        continue;
      }
      if (!Is(c, fsil::Ident)) continue;
      SetPos(c);
      String pname = TextOf(c);
      CheckIdent(local, pname);
      auto* param = static_cast<TfsParamItem*>(CreateVariable(g, local, groupByRef || nameByRef, true, nullptr, pname));
      param->SetDefaultValue(param->RawValue());
      proc->AddProcParam(param);
      nameByRef = false;
    }
    groupByRef = false;
  }
}

void TfsILBuilder::BuildRoutine(TfsXMLItem* E, TfsScript* S) {
  SetPos(E);
  String name;
  if (Is(E, fsil::Procedure)) {
    name = E->Count() > 0 ? TextOf(E->Items(0)) : String();
  } else {
    for (int i = 0; i < E->Count(); ++i)
      if (Is(E->Items(i), fsil::Name)) name = TextOf(E->Items(i));
  }
  // A routine declared inside a statement other than a block was never declared; a variable
  // of its name must not be taken for it.
  auto* proc = dynamic_cast<TfsProcVariable*>(S->LookupName(name));
  if (!proc) Fail(fsIdUndeclared, name);
  BuildProgramNode(E, proc->LocalProgram());
}

// ---------------------------------------------------------------- statements

void TfsILBuilder::BuildStatementList(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  for (int i = 0; i < E->Count(); ++i) BuildStatement(E->Items(i), S, List);
}

namespace {

// Builds a statement of class T, appends it to List and marks its line.
template <class T> T* NewStatement(TfsILParser* P, TfsXMLItem* E, TfsScript* S) {
  return new T(S, E->PosProp(), P->CurrentUnit());
}

}  // namespace

void TfsILBuilder::BuildStatement(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  SetPos(E);
  const String pos = E->PosProp();
  bool mark = true;
  if (Is(E, fsil::AssignStmt)) {
    BuildAssignment(E, S, List);
  } else if (Is(E, fsil::CallStmt)) {
    std::unique_ptr<TfsDesignator> d(BuildDesignator(E->Items(0), S, dmPlain));
    String mod;
    if (E->Count() > 1) {
      mod = TextOf(E->Items(1));
      if (d->ReadOnly()) Fail(fsLeftCantAssigned);
    }
    auto* st = NewStatement<TfsCallStmt>(FParser, E, S);
    st->SetDesignator(d.release());
    st->SetModificator(mod);
    List->AddStatement(st);
  } else if (Is(E, fsil::IfStmt)) {
    auto st = std::unique_ptr<TfsIfStmt>(NewStatement<TfsIfStmt>(FParser, E, S));
    st->SetCondition(BuildExpression(E->Items(0), S));
    for (int i = 1; i < E->Count(); ++i) {
      TfsXMLItem* c = E->Items(i);
      if (Is(c, fsil::ThenStmt)) BuildStatementList(c, S, st.get());
      else if (Is(c, fsil::ElseStmt)) BuildStatementList(c, S, st->ElseStmt());
    }
    List->AddStatement(st.release());
  } else if (Is(E, fsil::CaseStmt)) {
    auto st = std::unique_ptr<TfsCaseStmt>(NewStatement<TfsCaseStmt>(FParser, E, S));
    st->SetCondition(BuildExpression(E->Items(0), S));
    for (int i = 1; i < E->Count(); ++i) {
      TfsXMLItem* c = E->Items(i);
      if (Is(c, fsil::CaseSelector)) {
        if (c->Count() != 2) continue;
        SetPos(c);
        auto* sel = NewStatement<TfsCaseSelector>(FParser, c, S);
        st->AddStatement(sel);
        sel->SetSetExpression(BuildSet(c->Items(0), S));
        BuildStatement(c->Items(1), S, sel);
      } else if (i == E->Count() - 1) {
        BuildStatement(c, S, st->ElseStmt());
      }
    }
    List->AddStatement(st.release());
  } else if (Is(E, fsil::ForStmt)) {
    BuildFor(E, S, List, false);
  } else if (Is(E, fsil::VbForStmt)) {
    BuildFor(E, S, List, true);
  } else if (Is(E, fsil::CppForStmt)) {
    auto st = std::unique_ptr<TfsCppForStmt>(NewStatement<TfsCppForStmt>(FParser, E, S));
    if (E->Count() < 3) throw EListError(Format("List index out of bounds (%d)", {E->Count()}));
    BuildStatement(E->Items(0), S, st->FirstStmt());
    st->SetCondition(BuildExpression(E->Items(1), S));
    BuildStatement(E->Items(2), S, st->SecondStmt());
    // A loop written without a body gets an empty one.
    if (E->Count() > 3) BuildStatement(E->Items(3), S, st.get());
    List->AddStatement(st.release());
  } else if (Is(E, fsil::WhileStmt)) {
    auto st = std::unique_ptr<TfsWhileStmt>(NewStatement<TfsWhileStmt>(FParser, E, S));
    st->SetCondition(BuildExpression(E->Items(0), S));
    if (E->Count() > 1) BuildStatement(E->Items(1), S, st.get());
    List->AddStatement(st.release());
  } else if (Is(E, fsil::RepeatStmt)) {
    auto st = std::unique_ptr<TfsRepeatStmt>(NewStatement<TfsRepeatStmt>(FParser, E, S));
    int cond = E->Count() - 1;
    if (cond >= 0 && Is(E->Items(cond), fsil::Inverse)) {
      st->InverseCondition = true;
      --cond;
    }
    for (int i = 0; i < cond; ++i) BuildStatement(E->Items(i), S, st.get());
    SetPos(E->Items(cond));
    st->SetCondition(BuildExpression(E->Items(cond), S));
    List->AddStatement(st.release());
  } else if (Is(E, fsil::TryStmt)) {
    auto st = std::unique_ptr<TfsTryStmt>(NewStatement<TfsTryStmt>(FParser, E, S));
    for (int i = 0; i < E->Count(); ++i) {
      TfsXMLItem* c = E->Items(i);
      if (Is(c, fsil::ExceptStmt)) {
        st->IsExcept = true;
        BuildStatementList(c, S, st->ExceptStmt());
      } else if (Is(c, fsil::FinallyStmt)) {
        BuildStatementList(c, S, st->ExceptStmt());
      } else {
        BuildStatement(c, S, st.get());
      }
    }
    List->AddStatement(st.release());
  } else if (Is(E, fsil::Break)) {
    List->AddStatement(NewStatement<TfsBreakStmt>(FParser, E, S));
  } else if (Is(E, fsil::Continue)) {
    List->AddStatement(NewStatement<TfsContinueStmt>(FParser, E, S));
  } else if (Is(E, fsil::Exit)) {
    List->AddStatement(NewStatement<TfsExitStmt>(FParser, E, S));
  } else if (Is(E, fsil::Return)) {
    if (E->Count() == 1) {
      TfsXMLItem* expr = E->Items(0);
      TfsXMLItem* dsgn = new TfsXMLItem();
      dsgn->SetName(String(fsil::Dsgn));
      dsgn->SetText("pos=\"" + EscapeAttrText(expr->PosProp()) + "\"");
      TfsXMLItem* node = dsgn->Add();
      node->SetName(String(fsil::Node));
      node->SetText("text=\"Result\" pos=\"" + EscapeAttrText(expr->PosProp()) + "\"");
      E->InsertItem(0, dsgn);
      BuildAssignment(E, S, List);
    }
    List->AddStatement(NewStatement<TfsExitStmt>(FParser, E, S));
  } else if (Is(E, fsil::With)) {
    BuildWith(E, S, List);
  } else if (Is(E, fsil::Delete)) {
    std::unique_ptr<TfsDesignator> d(BuildDesignator(E->Items(0), S, dmDelete));
    auto* st = NewStatement<TfsCallStmt>(FParser, E, S);
    st->SetDesignator(d.release());
    List->AddStatement(st);
  } else {
    mark = false;
    if (Is(E, fsil::CompoundStmt)) BuildStatementList(E, S, List);
    else if (Is(E, fsil::Uses)) BuildUses(E, S, List);
    else if (Is(E, fsil::Var)) BuildVar(E, S, List);
    else if (Is(E, fsil::Const)) BuildConst(E, S);
    else if (Is(E, fsil::Procedure) || Is(E, fsil::Function)) BuildRoutine(E, S);
  }
  if (mark && !pos.empty()) FRoot->MarkCodeLine(FParser->CurrentUnit(), pos);
}

void TfsILBuilder::BuildAssignment(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  std::unique_ptr<TfsDesignator> d(BuildDesignator(E->Items(0), S, dmPlain));
  String mod;
  int x = 1;
  if (E->Count() > 2 && Is(E->Items(1), fsil::Modificator)) {
    mod = TextOf(E->Items(1));
    x = 2;
  }
  if (d->ReadOnly()) Fail(fsLeftCantAssigned);
  std::unique_ptr<TfsExpression> expr(BuildExpression(E->Items(x), S));
  CheckAssignment(d.get(), expr.get());
  if (mod.empty() && d->DesignatorKind() == dkVariable) {
    String m = expr->RewriteCompoundAssignment(d.get());
    if (m != " ") mod = m;
  }
  const String pos = E->PosProp();
  const String& unit = FParser->CurrentUnit();
  std::unique_ptr<TfsAssignmentStmt> st;
  switch (mod.empty() ? ' ' : mod[0]) {
    case '+': st = std::make_unique<TfsAssignPlusStmt>(S, pos, unit); break;
    case '-': st = std::make_unique<TfsAssignMinusStmt>(S, pos, unit); break;
    case '*': st = std::make_unique<TfsAssignMulStmt>(S, pos, unit); break;
    case '/': st = std::make_unique<TfsAssignDivStmt>(S, pos, unit); break;
    default: st = std::make_unique<TfsAssignmentStmt>(S, pos, unit);
  }
  st->SetDesignator(d.release());
  st->SetExpression(expr.release());
  st->Prepare();
  List->AddStatement(st.release());
}

void TfsILBuilder::BuildFor(TfsXMLItem* E, TfsScript* S, TfsStatement* List, bool Vb) {
  SetPos(E->Items(0));
  TfsCustomVariable* v = FindOrCreateVariable(S, TextOf(E->Items(0)));
  if (!dynamic_cast<TfsVariable*>(v) ||
      !(v->TypeCode() == tcInteger || v->TypeCode() == tcFloat || v->TypeCode() == tcVariant))
    Fail(fsForError);
  auto build = [&](int I) {
    std::unique_ptr<TfsExpression> x(BuildExpression(E->Items(I), S));
    CheckAssignment(v, x.get());
    return x.release();
  };
  int i = 1;
  if (Vb) {
    auto st = std::unique_ptr<TfsVbForStmt>(NewStatement<TfsVbForStmt>(FParser, E, S));
    st->SetVariable(v);
    st->SetBeginValue(build(i++));
    st->SetEndValue(build(i++));
    if (i < E->Count() && Is(E->Items(i), fsil::Expr)) st->SetStep(build(i++));
    if (i < E->Count()) BuildStatement(E->Items(i), S, st.get());
    List->AddStatement(st.release());
    return;
  }
  auto st = std::unique_ptr<TfsForStmt>(NewStatement<TfsForStmt>(FParser, E, S));
  st->SetVariable(v);
  st->SetBeginValue(build(i++));
  if (i < E->Count() && Is(E->Items(i), fsil::DownTo)) {
    st->Down = true;
    ++i;
  }
  st->SetEndValue(build(i++));
  if (i < E->Count()) BuildStatement(E->Items(i), S, st.get());
  List->AddStatement(st.release());
}

void TfsILBuilder::BuildWith(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  TStringList* names = FParser->WithNames();
  const int pushedFrom = names->Count();
  TScopeExit pop([names, pushedFrom] {
    while (names->Count() > pushedFrom) names->Delete(names->Count() - 1);
  });
  for (int i = 0; i + 1 < E->Count(); ++i) {
    std::unique_ptr<TfsDesignator> d(BuildDesignator(E->Items(i), S, dmPlain));
    if (d->TypeCode() != tcClass && d->TypeCode() != tcVariant) Fail(fsClassRequired);
    int n = 0;
    while (S->LookupLocalName(IntToStr(n)) || names->IndexOf(IntToStr(n)) >= 0) ++n;
    String name = IntToStr(n);
    auto* v = new TfsVariable(name, d->TypeCode(), d->TypeName());
    S->PutItem(name, v);
    auto* st = NewStatement<TfsWithStmt>(FParser, E, S);
    st->SetDesignator(d.release());
    st->SetVariable(v);
    List->AddStatement(st);
    names->AddObject(name, st);
  }
  if (E->Count() > 0) BuildStatement(E->Items(E->Count() - 1), S, List);
}

void TfsILBuilder::BuildUses(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  TRestore<String> unit(const_cast<String&>(FParser->CurrentUnit()));
  FParser->SetCurrentUnit(E->Prop(String(fsil::AttrUnit)));
  String text;
  if (FRoot->OnGetILUnit().Assigned()) FRoot->OnGetILUnit()(FRoot, FParser->CurrentUnit(), text);
  if (!text.empty()) {
    TfsXMLDocument doc;
    TStringStream stream(text);
    doc.LoadFromStream(&stream);
    BuildProgramNode(doc.Root(), S);
    return;
  }
  for (int i = 0; i < E->Count(); ++i) {
    TfsXMLItem* c = E->Items(i);
    if (Is(c, fsil::Program)) BuildProgramNode(c, S);
    else BuildStatement(c, S, List);
  }
}

void TfsILBuilder::BuildVar(TfsXMLItem* E, TfsScript* S, TfsStatement* List) {
  for (int i = 0; i < E->Count(); ++i) {
    TfsXMLItem* c = E->Items(i);
    if (!Is(c, fsil::Ident)) continue;
    SetPos(c);
    String name = TextOf(c);
    CheckIdent(S, name);
    TfsCustomVariable* v = CreateVariable(E, S, false, false, List, name);
    S->PutItem(name, v);
  }
}

Variant TfsILBuilder::EvaluateNow(TfsXMLItem* X, TfsScript* S) {
  std::unique_ptr<TfsExpression> x(BuildExpression(X, S));
  return x->FetchValue();
}

void TfsILBuilder::BuildConst(TfsXMLItem* E, TfsScript* S) {
  SetPos(E->Items(0));
  String name = TextOf(E->Items(0));
  CheckIdent(S, name);
  std::unique_ptr<TfsExpression> x(BuildExpression(E->Items(1), S));
  auto* v = new TfsVariable(name, x->TypeCode(), x->TypeName());
  v->SetInitialValue(x->FetchValue());
  v->SetReadOnly(true);
  S->PutItem(name, v);
}

TfsCustomVariable* TfsILBuilder::CreateVariable(TfsXMLItem* G, TfsScript* S, bool ByRef, bool AsParam,
                                                TfsStatement* List, const String& N) {
  String typeName = "Variant";
  const String pos = FParser->BuildErrorPos();
  int typeAt = G->Find(String(fsil::Type));
  int firstIdent = G->Find(String(fsil::Ident));
  bool typeFirst = typeAt >= 0 && typeAt < firstIdent;
  if (typeAt >= 0) typeName = TextOf(G->Items(typeAt));
  TfsTypeCode code = TypeCodeOf(typeName);
  Variant value = Null();
  switch (code) {
    case tcInteger: case tcFloat: case tcClass: value = Variant(0); break;
    case tcBoolean: value = Variant(false); break;
    case tcChar: case tcString: value = Variant(String()); break;
    default: break;
  }
  TfsXMLItem* arrayItem = nullptr;
  TfsXMLItem* init = nullptr;
  int at = -1;
  for (int i = 0; i < G->Count(); ++i)
    if (Is(G->Items(i), fsil::Ident) && SameText(TextOf(G->Items(i)), N)) {
      at = i;
      break;
    }
  for (int i = at + 1; at >= 0 && i < G->Count(); ++i) {
    TfsXMLItem* c = G->Items(i);
    if (typeFirst && Is(c, fsil::Ident)) break;
    if (Is(c, fsil::Array)) arrayItem = c;
    else if (Is(c, fsil::Init)) init = c;
  }
  TfsArrayHelper* helper = nullptr;
  if (arrayItem) {
    std::vector<int> bounds;
    for (int i = 0; i < arrayItem->Count(); ++i) {
      TfsXMLItem* dim = arrayItem->Items(i);
      if (!Is(dim, fsil::Dim)) continue;
      SetPos(dim);
      int low = EvaluateNow(dim->Items(0), S).AsInteger();
      if (dim->Count() > 1) {
        bounds.push_back(low);
        bounds.push_back(EvaluateNow(dim->Items(1), S).AsInteger());
      } else {
        bounds.push_back(0);
        bounds.push_back(low - 1);
      }
    }
    if (bounds.empty()) bounds = {0, 0};
    value = VarArrayCreate(bounds, varVariant);
    const int dims = static_cast<int>(bounds.size() / 2);
    helper = new TfsArrayHelper(String(), dims, dims, code, typeName);
    FRoot->PutItem(String(), helper);
  }
  if (init && !List) {
    TfsVariable temp(N, code, typeName);
    std::unique_ptr<TfsExpression> x(BuildExpression(init->Items(0), S));
    value = x->FetchValue();
    CheckAssignment(&temp, x.get());
  }
  std::unique_ptr<TfsCustomVariable> v;
  TfsTypeCode varCode = helper ? tcArray : code;
  if (AsParam) {
    v = std::make_unique<TfsParamItem>(N, varCode, typeName, init != nullptr, ByRef);
    v->StoreValue(value);
  } else {
    auto* var = varCode == tcChar || varCode == tcString ? new TfsStringVariable(N, varCode, typeName)
                                                        : new TfsVariable(N, varCode, typeName);
    v.reset(var);
    var->SetInitialValue(value);
  }
  v->SetLinked(helper);
  v->SetSourcePos(pos);
  v->SetUnitName(FParser->CurrentUnit());
  if (init && List) {
    auto d = std::make_unique<TfsVariableDesignator>(S);
    auto item = new TfsDesignatorItem(v.get(), pos);
    d->AddItem(item);
    d->Finish();
    std::unique_ptr<TfsExpression> x(BuildExpression(init->Items(0), S));
    CheckAssignment(v.get(), x.get());
    auto st = std::make_unique<TfsAssignmentStmt>(S, G->PosProp(), FParser->CurrentUnit());
    st->SetDesignator(d.release());
    st->SetExpression(x.release());
    st->Prepare();
    List->AddStatement(st.release());
  }
  return v.release();
}

// ---------------------------------------------------------------- expressions and sets

void TfsILBuilder::AddExpressionItems(TfsExpression* Expr, TfsXMLItem* X, TfsScript* S) {
  for (int i = 0; i < X->Count(); ++i) {
    TfsXMLItem* c = X->Items(i);
    SetPos(c);
    Expr->SetSourcePos(FParser->BuildErrorPos());
    if (Is(c, fsil::Op)) {
      Expr->AddOperator(LowerCase(TextOf(c)));
    } else if (Is(c, fsil::NumberLiteral) || Is(c, fsil::StringLiteral)) {
      Expr->AddConstOperand(ParseConstantText(TextOf(c)));
    } else if (Is(c, fsil::Dsgn)) {
      Expr->AddDesignatorOperand(BuildDesignator(c, S, dmPlain));
    } else if (Is(c, fsil::Set)) {
      Expr->AddSetOperand(BuildSet(c, S));
    } else if (Is(c, fsil::New)) {
      Expr->AddDesignatorOperand(BuildDesignator(c->Items(0), S, dmNew));
    } else if (Is(c, fsil::Expr)) {
      AddExpressionItems(Expr, c, S);
    }
  }
}

TfsExpression* TfsILBuilder::BuildExpression(TfsXMLItem* X, TfsScript* S) {
  SetPos(X);
  auto expr = std::make_unique<TfsExpression>(S);
  expr->SetSourcePos(FParser->BuildErrorPos());
  AddExpressionItems(expr.get(), X, S);
  // The source text, for macro functions. The front end's elements hold their positions as
  // numbers; hand-written ones as text.
  TPoint a{0, 0}, b{0, 0};
  bool both = false;
  if (X->ILPosition(a.Y, a.X) && X->ILPosition1(b.Y, b.X)) {
    both = a.Y > 0 && b.Y > 0;
  } else {
    const String p0 = X->PosProp(), p1 = X->Prop(String(fsil::AttrPos1));
    both = !p0.empty() && !p1.empty();
    if (both) {
      a = SourcePosToPoint(p0);
      b = SourcePosToPoint(p1);
    }
  }
  if (both && FParser->Lexer()) {
    int from = FParser->Lexer()->LineColToPosition(a.X, a.Y);
    int to = FParser->Lexer()->LineColToPosition(b.X, b.Y);
    const String& text = FParser->Lexer()->Text();
    if (from >= 1 && to >= from && static_cast<std::size_t>(to - 1) <= text.size())
      expr->SetSource(Trim(text.substr(from - 1, to - from)));
  }
  String error = expr->Finish();
  if (!error.empty()) {
    FParser->SetBuildErrorPos(error);
    Fail(fsIncompatibleTypes);
  }
  return expr.release();
}

TfsSetExpression* TfsILBuilder::BuildSet(TfsXMLItem* X, TfsScript* S) {
  auto set = std::make_unique<TfsSetExpression>();
  for (int i = 0; i < X->Count(); ++i) {
    TfsXMLItem* c = X->Items(i);
    if (Is(c, fsil::Expr)) set->AddExpression(BuildExpression(c, S));
    else if (Is(c, fsil::Range)) set->AddRange();
  }
  return set.release();
}

// ---------------------------------------------------------------- designators

bool TfsILBuilder::ResolveWith(TfsDesignator* D, TfsXMLItem* Xml, const String& Name, TfsScript* S, bool& Late) {
  TStringList* names = FParser->WithNames();
  for (int i = names->Count() - 1; i >= 0; --i) {
    TfsCustomVariable* v = S->LookupLocalName((*names)[i]);
    if (!v) continue;
    if (v->TypeCode() == tcVariant) {
      if (S->LookupName(Name)) return false;
      D->LastItem()->SetRef(v);
      auto copy = std::make_unique<TfsXMLItem>();
      copy->CopyFrom(Xml);
      TfsXMLItem* node = new TfsXMLItem();
      node->SetName(String(fsil::Node));
      node->SetText("text=\"" + EscapeAttrText(v->Name()) + "\" pos=\"" + D->LastItem()->SourcePos() + "\"");
      copy->InsertItem(0, node);
      D->SetPending(copy.get(), v);
      D->Finish();
      Late = true;
      return true;
    }
    TfsClassVariable* cls = FindClass(v->TypeName());
    if (TfsCustomHelper* m = cls->FindMember(Name)) {
      TfsDesignatorItem* item = D->LastItem();
      item->SetRef(v);
      D->AddItem(new TfsDesignatorItem(m, item->SourcePos()));
      return true;
    }
  }
  return false;
}

void TfsILBuilder::BuildLateChain(TfsDesignator* D, TfsXMLItem* Xml, int From, TfsScript* S) {
  for (int i = From; i < Xml->Count(); ++i) {
    TfsXMLItem* c = Xml->Items(i);
    SetPos(c);
    if (Is(c, fsil::Node)) {
      if (TextOf(c) == fsil::NodeIndex) continue;
      auto* h = new TfsOLEHelper(TextOf(c));
      FRoot->PutItem(String(), h);
      D->AddItem(new TfsDesignatorItem(h, FParser->BuildErrorPos()));
    } else if (Is(c, fsil::Expr) && D->LastItem()) {
      D->LastItem()->AddArg(BuildExpression(c, S));
      D->LastItem()->Ref()->AddParam(new TfsParamItem(String(), tcVariant, "Variant", false, false));
    }
  }
}

TfsDesignator* TfsILBuilder::BuildDesignator(TfsXMLItem* Xml, TfsScript* S, TfsDesignatorMode Mode) {
  auto d = std::make_unique<TfsDesignator>(S);
  for (int ci = 0; ci < Xml->Count(); ++ci) {
    TfsXMLItem* c = Xml->Items(ci);
    if (Is(c, fsil::Addr)) {
      if (Xml->Count() != 2) Fail(fsVarRequired);
      TfsXMLItem* target = Xml->Items(1);
      SetPos(target);
      auto* name = new TfsStringVariable(String(), tcString, "String");
      name->SetInitialValue(Variant(TextOf(target)));
      FRoot->PutItem(String(), name);
      d->AddItem(new TfsDesignatorItem(name, FParser->BuildErrorPos()));
      break;
    }
    if (Is(c, fsil::Expr)) {
      if (d->LastItem()) d->LastItem()->AddArg(BuildExpression(c, S));
      continue;
    }
    if (!Is(c, fsil::Node)) continue;
    SetPos(c);
    const String t = TextOf(c);
    if (!d->LastItem()) {
      d->AddItem(new TfsDesignatorItem(nullptr, FParser->BuildErrorPos()));
      bool late = false;
      if (!ResolveWith(d.get(), Xml, t, S, late)) d->LastItem()->SetRef(FindOrCreateVariable(S, t));
      if (late) return d.release();
      if (Mode == dmNew) {
        auto* cls = dynamic_cast<TfsClassVariable*>(d->LastItem()->Ref());
        if (!cls) Fail(fsClassRequired);
        TfsCustomHelper* create = cls->FindMember("Create");
        if (!create) Fail(fsIdUndeclared, "Create");
        d->AddItem(new TfsDesignatorItem(create, FParser->BuildErrorPos()));
      }
      continue;
    }
    TfsDesignatorItem* p = d->LastItem();
    TfsCustomVariable* r = p->Ref();
    if (auto* m = dynamic_cast<TfsMethodHelper*>(r); m && m->IndexMethod() && !p->Indexed) {
      p->Indexed = true;
      FParser->SetBuildErrorPos(p->SourcePos());
      if (t != fsil::NodeIndex) Fail(fsIndexRequired);
      continue;
    }
    TfsTypeCode code = r->TypeCode();
    String typeName = r->TypeName();
    if (code == tcConstructor && d->Count() >= 2) {
      // A constructor's value is an object of the class before it.
      code = tcClass;
      typeName = d->Items(d->Count() - 2)->Ref()->Name();
    }
    TfsCustomVariable* ref = nullptr;
    if (code == tcVariant) {
      Variant v = BuildTimeValue(r);
      TObject* obj = VarIsOrdinal(v) && VarType(v) != varBoolean ? ObjectOf(v.AsInteger()) : nullptr;
      if (VarType(v) == varDispatch) {
        d->Finish();
        BuildLateChain(d.get(), Xml, ci, S);
        d->Finish();
        MatchArguments(d.get());
        return d.release();
      }
      if (VarIsArray(v)) {
        if (t != fsil::NodeIndex) Fail(fsIndexRequired);
        ref = FindHelper(S, "__ArrayHelper");
      } else if (VarIsStr(v)) {
        code = tcString;
      } else if (obj) {
        code = tcClass;
        typeName = obj->ClassName();
      } else if (d->Count() == 1 && (r && r->IsKind(fsvkVariable | fsvkParam))) {
        // Null, or a number that is no object: the shape is known only at run time.
        d->SetPending(Xml, r);
        d->Finish();
        MatchArguments(d.get());
        return d.release();
      } else {
        // A later step's value (a member's, a call's) is known only by running the chain so
        // far: the rest binds late on a hidden variable that receives it at each evaluation.
        const String pos = FParser->BuildErrorPos();
        const String holderName = "late@" + FParser->CurrentUnit() + ":" + pos;
        TfsCustomVariable* holder = FRoot->LookupLocalName(holderName);
        if (!holder) {
          holder = new TfsVariable(holderName, tcVariant, "Variant");
          FRoot->PutItem(holderName, holder);
        }
        TfsXMLItem tailXml;
        tailXml.SetName(Xml->Name());
        TfsXMLItem* first = tailXml.Add();
        first->SetName(String(fsil::Node));
        first->SetText("text=\"" + EscapeAttrText(holderName) + "\" pos=\"" + pos + "\"");
        for (int j = ci; j < Xml->Count(); ++j) tailXml.Add()->CopyFrom(Xml->Items(j));
        auto tail = std::make_unique<TfsDesignator>(S);
        tail->AddItem(new TfsDesignatorItem(holder, pos));
        tail->SetPending(&tailXml, holder);
        tail->Finish();
        d->Finish();
        MatchArguments(d.get());
        d->SetLateTail(tail.release(), holder);
        return d.release();
      }
    }
    if (!ref) {
      if (code == tcString) {
        if (t != fsil::NodeIndex) Fail(fsStringError);
        ref = FindHelper(S, "__StringHelper");
      } else if (code == tcClass) {
        TfsClassVariable* cls = FindClass(typeName);
        if (t == fsil::NodeIndex) {
          ref = cls->DefaultProperty();
          if (!ref) throw Exception(Format(fsMessage(fsClassError), {typeName}));
        } else {
          ref = cls->FindMember(t);
          if (!ref) Fail(fsIdUndeclared, t);
        }
      } else if (code == tcArray && r->Linked()) {
        ref = r->Linked();
      } else {
        Fail(fsArrayRequired);
      }
    }
    auto* item = new TfsDesignatorItem(ref, FParser->BuildErrorPos());
    // `obj[i]` on a default property: the index that follows is the property's argument.
    if (code == tcClass && t == fsil::NodeIndex) item->Indexed = true;
    d->AddItem(item);
  }
  if (!d->LastItem()) Fail(fsVarRequired);
  if (Mode == dmDelete) {
    TfsCustomVariable* r = d->LastItem()->Ref();
    if (r->TypeCode() != tcClass && r->TypeCode() != tcVariant && r->TypeCode() != tcConstructor)
      Fail(fsClassRequired);
    TfsClassVariable* obj = FindClass("TObject");
    TfsCustomHelper* free = obj->FindMember("Free");
    if (!free) Fail(fsIdUndeclared, "Free");
    d->AddItem(new TfsDesignatorItem(free, FParser->BuildErrorPos()));
  }
  d->Finish();
  MatchArguments(d.get());
  std::unique_ptr<TfsDesignator> special;
  switch (d->DesignatorKind()) {
    case dkVariable: special = std::make_unique<TfsVariableDesignator>(S); break;
    case dkString: special = std::make_unique<TfsStringDesignator>(S); break;
    case dkArray: special = std::make_unique<TfsArrayDesignator>(S); break;
    default: return d.release();
  }
  special->TakeOver(d.get());
  return special.release();
}

void TfsILBuilder::MatchArguments(TfsDesignator* D) {
  for (int i = 0; i < D->Count(); ++i) {
    TfsDesignatorItem* item = D->Items(i);
    TfsCustomVariable* ref = item->Ref();
    if (ref && ref->IsKind(fsvkDesignator)) continue;
    FParser->SetBuildErrorPos(item->SourcePos());
    if (item->ArgCount() < RequiredParamCount(ref)) Fail(fsNotEnoughParams);
    if (item->ArgCount() > ref->ParamCount()) Fail(fsTooManyParams);
    for (int k = item->ArgCount(); k < ref->ParamCount(); ++k) {
      auto x = std::make_unique<TfsExpression>(D->Script());
      x->AddConstOperand(ref->Params(k)->DefaultValue());
      x->Finish();
      item->AddArg(x.release());
    }
    for (int k = 0; k < item->ArgCount(); ++k) {
      if (!item->Arg(k)->SourcePos().empty()) FParser->SetBuildErrorPos(item->Arg(k)->SourcePos());
      CheckAssignment(ref->Params(k), item->Arg(k));
    }
  }
}

// ---------------------------------------------------------------- entry points

void TfsILParser::BuildProgram() {
  TfsILBuilder builder(this);
  builder.BuildProgram();
}

TfsDesignator* BuildLateDesignator(TfsScript* Script, const TfsXMLItem* Xml) {
  TfsScript* root = RootOf(Script);
  TfsILParser parser(root);
  TfsILBuilder builder(&parser);
  TfsXMLItem copy;
  copy.CopyFrom(Xml);
  return builder.BuildDesignator(&copy, Script, dmPlain);
}
