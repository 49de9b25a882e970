#pragma once
// Expressions: a binary tree of operand and operator nodes over Variants. The program builder
// feeds operands and operator words in source order; the tree is arranged by precedence while
// it grows, checked and typed once by Finish, then evaluated any number of times.
//
// Typing picks two fast paths at compile time: IntegerPath (both operands Integer-typed: plain
// 32-bit arithmetic that wraps, in unsigned arithmetic) and BooleanPath (both Boolean-typed:
// `and`/`or` short-circuit). Everything else goes through the platform's Variant operations.
// Declares TfsCustomExpression, TfsExpression, TfsExpressionNode, TfsOperandNode,
// TfsDesignatorNode, TfsSetNode, TfsOperatorNode, TfsSetExpression and SetContains.
#include "script/fs_ivariables.h"

class TfsDesignator;
class TfsSetExpression;

class TfsExpressionNode : public TfsCustomVariable {
public:
  explicit TfsExpressionNode(TfsTypeCode ATypeCode) : TfsCustomVariable(String(), ATypeCode, String()) {}
  ~TfsExpressionNode() override;

  // The binding level; lower binds tighter.
  virtual int Precedence() const = 0;
  // Left link when free, else the right one.
  void AddChild(TfsExpressionNode* Node);
  void RemoveChild(TfsExpressionNode* Node);

  TfsExpressionNode* Left = nullptr;
  TfsExpressionNode* Right = nullptr;
  TfsExpressionNode* Parent = nullptr;
};

// A constant.
class TfsOperandNode : public TfsExpressionNode {
public:
  explicit TfsOperandNode(const Variant& AValue);
  unsigned VariableKinds() const override { return fsvkOperandNode; }
  int Precedence() const override { return 0; }
};

// An owned designator; fetched through its plain variable when it is one.
class TfsDesignatorNode : public TfsOperandNode {
public:
  explicit TfsDesignatorNode(TfsDesignator* ADesignator);
  ~TfsDesignatorNode() override;
  unsigned VariableKinds() const override { return TfsOperandNode::VariableKinds() | fsvkDesignatorNode; }
  Variant FetchValue() override { return FTarget->FetchValue(); }
  bool EvaluateInt(Integer& I, Variant& V) override { return FTarget->FetchInt(I, V); }
  Integer EvaluateAsInteger() override { return FTarget->FetchAsInteger(); }
  bool FetchBool() override { return FTarget->FetchBool(); }
  TfsDesignator* Designator() const { return FDesignator; }
  // The designator's variable for a plain variable designator, else the designator.
  TfsCustomVariable* Target() const { return FTarget; }

private:
  TfsDesignator* FDesignator;
  TfsCustomVariable* FTarget;
};

class TfsSetNode : public TfsOperandNode {
public:
  explicit TfsSetNode(TfsSetExpression* ASet);
  ~TfsSetNode() override;
  unsigned VariableKinds() const override { return TfsOperandNode::VariableKinds() | fsvkSetNode; }
  Variant FetchValue() override;
  TfsSetExpression* Set() const { return FSet; }

private:
  TfsSetExpression* FSet;
};

// Operator codes; several words share the code of "+" (STRCAT).
enum TfsOpCode : Byte {
  opNone, opGreat, opLess, opLessEq, opGreatEq, opNonEq, opEq, opPlus, opMinus, opOr, opXor, opMul,
  opDivFloat, opDivInt, opMod, opAnd, opShl, opShr, opLeftBracket, opRightBracket, opNot, opUnMinus,
  opIn, opIs
};

class TfsOperatorNode : public TfsExpressionNode {
public:
  TfsOperatorNode(TfsOpCode AOpCode, int APrecedence)
      : TfsExpressionNode(tcVariant), OpCode(AOpCode), FPrecedence(APrecedence) {}
  unsigned VariableKinds() const override { return fsvkOperatorNode; }
  int Precedence() const override { return FPrecedence; }

  TfsOpCode OpCode;
  bool IntegerPath = false;
  bool BooleanPath = false;
  // The word as the intermediate program writes it, upper case ("STRCAT" apart from "+").
  bool StrCat = false;

private:
  int FPrecedence;
};

// The platform's Variant +, - or * (opPlus, opMinus, opMul) of two plain Integers, computed
// in place: true with the result in I when it is an Integer, else false with the Int64 in V.
inline bool VariantIntArith(TfsOpCode Op, Integer A, Integer B, Integer& I, Variant& V) {
  const long long a = A, b = B;
  const long long r = Op == opPlus ? a + b : Op == opMinus ? a - b : a * b;
  if (r >= -2147483647LL - 1 && r <= 2147483647LL) {
    I = static_cast<Integer>(r);
    return true;
  }
  V = Variant(r);
  return false;
}

// The node of an operator word (compared upper-cased); nullptr for an unknown word.
TfsOperatorNode* CreateOperatorNode(const String& Word);

class TfsCustomExpression : public TfsCustomVariable {
public:
  using TfsCustomVariable::TfsCustomVariable;
};

class TfsExpression : public TfsCustomExpression {
public:
  explicit TfsExpression(TfsScript* AScript);
  ~TfsExpression() override;

  Variant FetchValue() override { return FRoot->FetchValue(); }
  bool EvaluateInt(Integer& I, Variant& V) override { return FRoot->FetchInt(I, V); }
  bool FetchBool() override { return FRoot->FetchBool(); }
  // Into the root's designator; nothing when ReadOnly.
  void StoreValue(const Variant& AValue) override;

  // ---- building, in source order
  void AddConstOperand(const Variant& AValue);
  void AddDesignatorOperand(TfsDesignator* ADesignator);
  void AddSetOperand(TfsSetExpression* ASet);
  // Raises EConvertError for a word that is no operator.
  void AddOperator(const String& Word);
  // Drops the building root and types the tree: '' when the operand types fit, else the
  // position of the first offending operator.
  String Finish();

  // ---- for the builder's statements
  // The designator's variable (plain variable designator) or the designator when the root is
  // a designator node; the node when it is a constant; nullptr otherwise.
  TfsCustomVariable* SingleOperandTarget() const;
  // " " or the operator ("+", "-", "*", "/") of `x := x op e` (or `e op x` for + and * on
  // non-string, non-variant x), the tree then reduced to e.
  String RewriteCompoundAssignment(TfsDesignator* Target);

  TfsScript* Script() const { return FScript; }
  TfsExpressionNode* Root() const { return FRoot; }
  // The source text of the expression; macro functions receive it.
  const String& Source() const { return FSource; }
  void SetSource(const String& Value) { FSource = Value; }

private:
  void AttachNode(TfsExpressionNode* Node);

  TfsScript* FScript;
  TfsExpressionNode* FRoot;
  TfsExpressionNode* FCurrent;
  String FSource;
};

// Set entries in order; a nullptr entry between two expressions marks a range between them.
class TfsSetExpression : public TfsCustomVariable {
public:
  TfsSetExpression() : TfsCustomVariable(String(), tcVariant, String()) {}
  void AddExpression(TfsCustomVariable* Expression) { Add(Expression); }
  void AddRange() { Add(nullptr); }
  TfsCustomVariable* Entry(int Index) const { return static_cast<TfsCustomVariable*>(Item(Index)); }
  // A Variant array, one element per entry, Null for a range mark.
  Variant FetchValue() override;
};

// Whether the value is one of the set's entries or within one of its ranges; a range's high
// bound is evaluated only when the low test passed.
bool SetContains(TfsSetExpression* Set, const Variant& Value);
