#pragma once
// The program builder: turns the intermediate program (fs_iilconst.h) into the runtime's
// objects (variables, routines, designators, expressions, statements) in a script. Names are
// resolved, types checked and argument counts matched here; every error is an Exception whose
// position is the parser's BuildErrorPos, the `pos` of the element being built.
// Declares TfsILBuilder.
#include "script/fs_ivariables.h"

class TfsClassVariable;
class TfsDesignator;
class TfsExpression;
class TfsILParser;
class TfsSetExpression;
class TfsStatement;
class TfsXMLItem;

enum TfsDesignatorMode { dmPlain, dmNew, dmDelete };

class TfsILBuilder {
public:
  explicit TfsILBuilder(TfsILParser* AParser);

  // Builds the parser's intermediate program into its script; failures go into the script's
  // CompileError, CompileErrorPos and CompileErrorUnit.
  void BuildProgram();
  // A program or routine element, in two passes: routines first, then everything in order.
  void BuildProgramNode(TfsXMLItem* E, TfsScript* S);
  void BuildStatement(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  void BuildStatementList(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  TfsExpression* BuildExpression(TfsXMLItem* X, TfsScript* S);
  TfsSetExpression* BuildSet(TfsXMLItem* X, TfsScript* S);
  TfsDesignator* BuildDesignator(TfsXMLItem* D, TfsScript* S, TfsDesignatorMode Mode);
  TfsCustomVariable* CreateVariable(TfsXMLItem* G, TfsScript* S, bool ByRef, bool AsParam, TfsStatement* List,
                                    const String& N);
  void CheckIdent(TfsScript* S, const String& Name);
  TfsCustomVariable* FindOrCreateVariable(TfsScript* S, const String& Name);
  // An indexing helper of the system library; undeclared when the script has none.
  TfsCustomVariable* FindHelper(TfsScript* S, const String& Name);
  TfsClassVariable* FindClass(const String& Name);
  TfsTypeCode TypeCodeOf(String& TypeName);
  void CheckAssignment(TfsCustomVariable* Target, TfsCustomVariable* Source);

private:
  void SetPos(const TfsXMLItem* E);
  void DeclareRoutines(TfsXMLItem* E, TfsScript* S);
  void DeclareRoutine(TfsXMLItem* E, TfsScript* S);
  void BuildRoutine(TfsXMLItem* E, TfsScript* S);
  void AddExpressionItems(TfsExpression* Expr, TfsXMLItem* X, TfsScript* S);
  void BuildAssignment(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  void BuildFor(TfsXMLItem* E, TfsScript* S, TfsStatement* List, bool Vb);
  void BuildWith(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  void BuildUses(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  void BuildVar(TfsXMLItem* E, TfsScript* S, TfsStatement* List);
  void BuildConst(TfsXMLItem* E, TfsScript* S);
  // Resolves the first name through the open with-statements; true when the designator was
  // completed (resolved to a member or made late-bound).
  bool ResolveWith(TfsDesignator* D, TfsXMLItem* Xml, const String& Name, TfsScript* S, bool& Late);
  void MatchArguments(TfsDesignator* D);
  void BuildLateChain(TfsDesignator* D, TfsXMLItem* Xml, int From, TfsScript* S);
  Variant EvaluateNow(TfsXMLItem* X, TfsScript* S);

  TfsILParser* FParser;
  TfsScript* FRoot;
};
