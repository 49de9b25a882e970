// Expression trees: building by precedence, typing, and the operator nodes.
#include "script/fs_iexpression.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_idesignator.h"
#include "script/fs_itools.h"
#include "core/ObjectHandles.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <cassert>
#include <cstdint>
#include <limits>

// ---------------------------------------------------------------- nodes

TfsExpressionNode::~TfsExpressionNode() {
  delete Left;
  delete Right;
}

void TfsExpressionNode::AddChild(TfsExpressionNode* Node) {
  if (!Left) Left = Node;
  else Right = Node;
  Node->Parent = this;
}

void TfsExpressionNode::RemoveChild(TfsExpressionNode* Node) {
  if (Left == Node) Left = nullptr;
  else if (Right == Node) Right = nullptr;
}

namespace {

// The node as a T when its class is one (Kind: T's TfsVariableKind bit), else nullptr.
template <class T> T* NodeAs(TfsCustomVariable* Node, unsigned Kind) {
  return Node && Node->IsKind(Kind) ? static_cast<T*>(Node) : nullptr;
}

TfsTypeCode OperandTypeCode(const Variant& V) {
  switch (VarType(V)) {
    case varBoolean: return tcBoolean;
    case varSingle:
    case varDouble:
    case varCurrency: return tcFloat;
    case varOleStr:
    case varString: return tcString;
    default: return tcInteger;
  }
}

}  // namespace

TfsOperandNode::TfsOperandNode(const Variant& AValue) : TfsExpressionNode(OperandTypeCode(AValue)) {
  SetRawValue(AValue);
}

TfsDesignatorNode::TfsDesignatorNode(TfsDesignator* ADesignator) : TfsOperandNode(Null()), FDesignator(ADesignator) {
  SetTypeCode(ADesignator->TypeCode());
  SetTypeName(ADesignator->TypeName());
  FTarget = ADesignator->DesignatorKind() == dkVariable ? ADesignator->Linked() : ADesignator;
}

TfsDesignatorNode::~TfsDesignatorNode() { delete FDesignator; }

TfsSetNode::TfsSetNode(TfsSetExpression* ASet) : TfsOperandNode(Null()), FSet(ASet) { SetTypeCode(tcVariant); }

TfsSetNode::~TfsSetNode() { delete FSet; }

Variant TfsSetNode::FetchValue() { return FSet->FetchValue(); }

// ---------------------------------------------------------------- operators

namespace {

inline std::int32_t Wrap(std::uint32_t V) { return static_cast<std::int32_t>(V); }

[[noreturn]] void DivByZero() { throw EDivByZero("Division by zero"); }

// The 32-bit operations; the operands come from Integer-typed nodes. Sums, differences and
// products wrap (in unsigned arithmetic); the one quotient that does not fit wraps too.
inline Integer IntAdd(Integer A, Integer B) { return Wrap(static_cast<std::uint32_t>(A) + static_cast<std::uint32_t>(B)); }
inline Integer IntSub(Integer A, Integer B) { return Wrap(static_cast<std::uint32_t>(A) - static_cast<std::uint32_t>(B)); }
inline Integer IntMul(Integer A, Integer B) { return Wrap(static_cast<std::uint32_t>(A) * static_cast<std::uint32_t>(B)); }
inline Integer IntDiv(Integer A, Integer B) {
  if (B == 0) DivByZero();
  if (B == -1) return Wrap(0u - static_cast<std::uint32_t>(A));
  return A / B;
}
inline Integer IntMod(Integer A, Integer B) {
  if (B == 0) DivByZero();
  if (B == -1) return 0;
  return A % B;
}

// The Variant operations on two plain Integers, as the platform computes them: in 64 bits, an
// Integer when the result fits and an Int64 otherwise (div and mod as for any integers).
inline long long WideAdd(Integer A, Integer B) { return static_cast<long long>(A) + B; }
inline long long WideSub(Integer A, Integer B) { return static_cast<long long>(A) - B; }
inline long long WideMul(Integer A, Integer B) { return static_cast<long long>(A) * B; }
inline long long WideDiv(Integer A, Integer B) {
  if (B == 0) DivByZero();
  return static_cast<long long>(A) / B;
}
inline long long WideMod(Integer A, Integer B) {
  if (B == 0) DivByZero();
  if (B == -1) return 0;
  return A % B;
}

// An arithmetic operator: on the 32-bit path both operands are fetched as Integers (left
// first) and the result is a plain Integer; else the platform's Variant operation, computed
// here when both values are plain Integers.
template <Integer (*IntOp)(Integer, Integer), long long (*WideOp)(Integer, Integer),
          Variant (*VarOp)(const Variant&, const Variant&)>
class TArithNode : public TfsOperatorNode {
public:
  using TfsOperatorNode::TfsOperatorNode;
  Variant FetchValue() override {
    if (IntegerPath) return Variant(Compute());
    Integer i;
    Variant v;
    return FetchVariant(i, v) ? Variant(i) : v;
  }
  bool EvaluateInt(Integer& I, Variant& V) override {
    if (!IntegerPath) return FetchVariant(I, V);
    I = Compute();
    return true;
  }
  Integer EvaluateAsInteger() override { return IntegerPath ? Compute() : FetchValue().AsInteger(); }

private:
  Integer Compute() {
    Integer l = Left->FetchAsInteger();
    return IntOp(l, Right->FetchAsInteger());
  }
  // The Variant operation: true with a plain Integer result in I, else the result in V.
  bool FetchVariant(Integer& I, Variant& V) {
    Integer a, b;
    if (Left->FetchInt(a, V)) {
      if (Right->FetchInt(b, V)) {
        const long long r = WideOp(a, b);
        if (r >= INT32_MIN && r <= INT32_MAX) {
          I = static_cast<Integer>(r);
          return true;
        }
        V = Variant(r);
        return false;
      }
      V = VarOp(Variant(a), V);
      return false;
    }
    Variant r;
    if (Right->FetchInt(b, r)) r = Variant(b);
    V = VarOp(V, r);
    return false;
  }
};

Variant VarAdd(const Variant& A, const Variant& B) { return A + B; }
Variant VarSub(const Variant& A, const Variant& B) { return A - B; }
Variant VarMul(const Variant& A, const Variant& B) { return A * B; }

#define KELM_ARITH(Class, Code, Level, IntOp, WideOp, VarOp)         \
  class Class final : public TArithNode<IntOp, WideOp, VarOp> {      \
  public:                                                            \
    Class() : TArithNode(Code, Level) {}                             \
  };

KELM_ARITH(TPlusNode, opPlus, 3, IntAdd, WideAdd, VarAdd)
KELM_ARITH(TMinusNode, opMinus, 3, IntSub, WideSub, VarSub)
KELM_ARITH(TMulNode, opMul, 2, IntMul, WideMul, VarMul)
KELM_ARITH(TDivIntNode, opDivInt, 2, IntDiv, WideDiv, VarIntDiv)
KELM_ARITH(TModNode, opMod, 2, IntMod, WideMod, VarMod)

#undef KELM_ARITH

// A comparison: two plain Integers compare as such, anything else by the platform's rules.
template <bool (*IntCmp)(Integer, Integer), bool (*VarCmp)(const Variant&, const Variant&)>
class TCompareNode : public TfsOperatorNode {
public:
  using TfsOperatorNode::TfsOperatorNode;
  Variant FetchValue() override { return Variant(FetchBool()); }
  bool FetchBool() override {
    Integer a, b;
    Variant va;
    if (Left->FetchInt(a, va)) {
      // One Variant is enough while the left value is a plain Integer.
      if (Right->FetchInt(b, va)) return IntCmp(a, b);
      return VarCmp(Variant(a), va);
    }
    Variant vb;
    if (Right->FetchInt(b, vb)) vb = Variant(b);
    return VarCmp(va, vb);
  }
};

#define KELM_CMP(Class, Code, Op)                                                              \
  inline bool Class##Int(Integer A, Integer B) { return A Op B; }                              \
  inline bool Class##Var(const Variant& A, const Variant& B) { return A Op B; }                \
  class Class final : public TCompareNode<Class##Int, Class##Var> {                            \
  public:                                                                                      \
    Class() : TCompareNode(Code, 4) {}                                                         \
  };

KELM_CMP(TGreatNode, opGreat, >)
KELM_CMP(TLessNode, opLess, <)
KELM_CMP(TLessEqNode, opLessEq, <=)
KELM_CMP(TGreatEqNode, opGreatEq, >=)
KELM_CMP(TNonEqNode, opNonEq, !=)
KELM_CMP(TEqNode, opEq, ==)

#undef KELM_CMP

#define KELM_OP(Class, Code, Level, ...)                                   \
  class Class final : public TfsOperatorNode {                              \
  public:                                                                   \
    Class() : TfsOperatorNode(Code, Level) {}                               \
    Variant FetchValue() override { __VA_ARGS__ }                                \
  };

KELM_OP(TNoneNode, opNone, 7, return Left->FetchValue();)
KELM_OP(TXorNode, opXor, 3, Variant l = Left->FetchValue(); return VarXor(l, Right->FetchValue());)
KELM_OP(TDivFloatNode, opDivFloat, 2, Variant l = Left->FetchValue(); return l / Right->FetchValue();)
KELM_OP(TShlNode, opShl, 2, Variant l = Left->FetchValue(); return VarShl(l, Right->FetchValue());)
KELM_OP(TShrNode, opShr, 2, Variant l = Left->FetchValue(); return VarShr(l, Right->FetchValue());)
KELM_OP(TLeftBracketNode, opLeftBracket, 6, return Left->FetchValue();)
KELM_OP(TRightBracketNode, opRightBracket, 5, return Left->FetchValue();)
KELM_OP(TUnMinusNode, opUnMinus, 1, return VarNeg(Left->FetchValue());)

#undef KELM_OP

// Boolean operators short-circuit when both operands are Boolean-typed.
class TOrNode final : public TfsOperatorNode {
public:
  TOrNode() : TfsOperatorNode(opOr, 3) {}
  Variant FetchValue() override {
    Variant l = Left->FetchValue();
    if (BooleanPath) return l.AsBoolean() ? l : Right->FetchValue();
    return VarOr(l, Right->FetchValue());
  }
  bool FetchBool() override {
    if (BooleanPath) return Left->FetchBool() || Right->FetchBool();
    return FetchValue().AsBoolean();
  }
};

class TAndNode final : public TfsOperatorNode {
public:
  TAndNode() : TfsOperatorNode(opAnd, 2) {}
  Variant FetchValue() override {
    Variant l = Left->FetchValue();
    if (BooleanPath) return l.AsBoolean() ? Right->FetchValue() : l;
    return VarAnd(l, Right->FetchValue());
  }
  bool FetchBool() override {
    if (BooleanPath) return Left->FetchBool() && Right->FetchBool();
    return FetchValue().AsBoolean();
  }
};

class TNotNode final : public TfsOperatorNode {
public:
  TNotNode() : TfsOperatorNode(opNot, 1) {}
  Variant FetchValue() override { return VarNot(Left->FetchValue()); }
};

// Text concatenation: any operands, joined as text.
class TStrCatNode final : public TfsOperatorNode {
public:
  TStrCatNode() : TfsOperatorNode(opPlus, 3) { StrCat = true; }
  Variant FetchValue() override {
    Variant l = Left->FetchValue();
    return Variant(VarToStr(l) + VarToStr(Right->FetchValue()));
  }
};

// Whether V is among the elements of a one-dimensional array, a Null element marking a range
// between its neighbours.
bool ArrayContains(const Variant& A, const Variant& V) {
  if (VarArrayDimCount(A) != 1) throw EVariantNotAnArrayError("Variant is not an array");
  int low = VarArrayLowBound(A, 1), high = VarArrayHighBound(A, 1);
  for (int i = low; i <= high; ++i) {
    Variant e = A.GetElement({i});
    if (i + 2 <= high && VarIsNull(A.GetElement({i + 1}))) {
      if (V >= e && V <= A.GetElement({i + 2})) return true;
      i += 2;
    } else if (V == e) {
      return true;
    }
  }
  return false;
}

class TInNode final : public TfsOperatorNode {
public:
  TInNode() : TfsOperatorNode(opIn, 4) {}
  Variant FetchValue() override {
    if (auto* set = NodeAs<TfsSetNode>(Right, fsvkSetNode)) {
      Variant l = Left->FetchValue();
      return Variant(SetContains(set->Set(), l));
    }
    Variant a = Right->FetchValue();
    return Variant(ArrayContains(a, Left->FetchValue()));
  }
};

class TIsNode final : public TfsOperatorNode {
public:
  TIsNode() : TfsOperatorNode(opIs, 4) {}
  Variant FetchValue() override {
    Variant l = Left->FetchValue();
    TObject* obj = ObjectOf(l.AsInteger());
    auto* d = NodeAs<TfsDesignatorNode>(Right, fsvkDesignatorNode);
    auto* cls = d && d->Designator()->Count() > 0 ? dynamic_cast<TfsClassVariable*>(d->Designator()->Items(0)->Ref())
                                                  : nullptr;
    return Variant(obj && cls && obj->InheritsFrom(cls->ClassRef()));
  }
};

struct TOpWord {
  const char* Word;
  TfsOperatorNode* (*Create)();
};

template <class T> TfsOperatorNode* Make() { return new T(); }

constexpr TOpWord kOpWords[] = {
    {" ", Make<TNoneNode>},       {">", Make<TGreatNode>},     {"<", Make<TLessNode>},
    {"<=", Make<TLessEqNode>},    {">=", Make<TGreatEqNode>},  {"<>", Make<TNonEqNode>},
    {"=", Make<TEqNode>},         {"+", Make<TPlusNode>},      {"STRCAT", Make<TStrCatNode>},
    {"-", Make<TMinusNode>},      {"OR", Make<TOrNode>},       {"XOR", Make<TXorNode>},
    {"*", Make<TMulNode>},        {"/", Make<TDivFloatNode>},  {"DIV", Make<TDivIntNode>},
    {"MOD", Make<TModNode>},      {"AND", Make<TAndNode>},     {"SHL", Make<TShlNode>},
    {"SHR", Make<TShrNode>},      {"(", Make<TLeftBracketNode>}, {")", Make<TRightBracketNode>},
    {"NOT", Make<TNotNode>},      {"UNMINUS", Make<TUnMinusNode>}, {"IN", Make<TInNode>},
    {"IS", Make<TIsNode>},
};

bool IsComparison(TfsOpCode Op) { return (Op >= opGreat && Op <= opEq) || Op == opIn || Op == opIs; }

}  // namespace

TfsOperatorNode* CreateOperatorNode(const String& Word) {
  String w = UpperCase(Word);
  for (const TOpWord& o : kOpWords)
    if (w == o.Word) return o.Create();
  return nullptr;
}

// ---------------------------------------------------------------- sets

Variant TfsSetExpression::FetchValue() {
  std::vector<Variant> values;
  values.reserve(ItemCount());
  for (int i = 0; i < ItemCount(); ++i) values.push_back(Entry(i) ? Entry(i)->FetchValue() : Null());
  return VarArrayOf(values);
}

bool SetContains(TfsSetExpression* Set, const Variant& Value) {
  int n = Set->ItemCount();
  for (int i = 0; i < n; ++i) {
    TfsCustomVariable* e = Set->Entry(i);
    if (!e) continue;
    if (i + 2 < n && !Set->Entry(i + 1) && Set->Entry(i + 2)) {
      if (Value >= e->FetchValue() && Value <= Set->Entry(i + 2)->FetchValue()) return true;
      i += 2;
    } else if (Value == e->FetchValue()) {
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- the expression

TfsExpression::TfsExpression(TfsScript* AScript)
    : TfsCustomExpression(String(), tcVariant, String()), FScript(AScript) {
  FRoot = FCurrent = new TNoneNode();
}

TfsExpression::~TfsExpression() { delete FRoot; }

void TfsExpression::StoreValue(const Variant& AValue) {
  if (FReadOnly) return;
  if (auto* d = NodeAs<TfsDesignatorNode>(FRoot, fsvkDesignatorNode)) d->Designator()->StoreValue(AValue);
}

void TfsExpression::AttachNode(TfsExpressionNode* Node) {
  Node->SetSourcePos(FSourcePos);
  FCurrent->AddChild(Node);
  FCurrent = Node;
}

void TfsExpression::AddConstOperand(const Variant& AValue) { AttachNode(new TfsOperandNode(AValue)); }

void TfsExpression::AddDesignatorOperand(TfsDesignator* ADesignator) { AttachNode(new TfsDesignatorNode(ADesignator)); }

void TfsExpression::AddSetOperand(TfsSetExpression* ASet) { AttachNode(new TfsSetNode(ASet)); }

void TfsExpression::AddOperator(const String& Word) {
  TfsOperatorNode* n = CreateOperatorNode(Word);
  if (!n) throw EConvertError("Invalid operator: " + Word);
  n->SetSourcePos(FSourcePos);
  if (n->OpCode == opLeftBracket || n->OpCode == opUnMinus || n->OpCode == opNot) {
    AttachNode(n);
    return;
  }
  if (n->OpCode == opRightBracket) {
    TfsExpressionNode* b = FCurrent;
    while (b && b->Precedence() <= n->Precedence()) b = b->Parent;
    delete n;
    if (!b || !b->Parent) throw EConvertError("Unbalanced brackets");
    TfsExpressionNode* child = b->Left;
    TfsExpressionNode* parent = b->Parent;
    b->Left = nullptr;
    // Keep the child in the bracket's link of the parent.
    if (parent->Left == b) parent->Left = child;
    else parent->Right = child;
    if (child) child->Parent = parent;
    delete b;
    FCurrent = child ? child : parent;
    return;
  }
  if (FCurrent == FRoot) {
    AttachNode(n);
    return;
  }
  TfsExpressionNode* x = FCurrent;
  TfsExpressionNode* p = FCurrent->Parent;
  if (auto* op = NodeAs<TfsOperatorNode>(FCurrent, fsvkOperatorNode); op && op->OpCode == opLeftBracket) {
    x = nullptr;
    p = FCurrent;
  }
  while (p->Parent && n->Precedence() >= p->Precedence()) {
    x = p;
    p = p->Parent;
  }
  if (x) p->RemoveChild(x);
  p->AddChild(n);
  if (x) n->AddChild(x);
  FCurrent = n;
}

namespace {

// Types the subtree; Error receives the first offending operator's position.
void InferNodeType(TfsExpressionNode* Node, TfsScript* Script, String& Error) {
  auto* op = NodeAs<TfsOperatorNode>(Node, fsvkOperatorNode);
  if (!op) return;
  if (op->Left) InferNodeType(op->Left, Script, Error);
  if (op->Right) InferNodeType(op->Right, Script, Error);
  TfsTypeCode l = op->Left ? op->Left->TypeCode() : tcVariant;
  TfsTypeCode r = op->Right ? op->Right->TypeCode() : tcVariant;
  String ln = op->Left ? op->Left->TypeName() : String();
  String rn = op->Right ? op->Right->TypeName() : String();
  op->IntegerPath = l == tcInteger && r == tcInteger;
  op->BooleanPath = l == tcBoolean && r == tcBoolean;
  if (op->StrCat) {
    // Joins any operands as text.
    op->SetTypeCode(tcString);
    op->SetTypeName("String");
    return;
  }
  TfsOpCode c = op->OpCode;
  bool ok = true;
  if (!(c == opIs && l == tcClass && r == tcClass)) {
    ok = TypesCompatible(l, ln, r, rn, Script);
    if (ok) switch (l) {
        case tcBoolean:
          ok = c == opNonEq || c == opEq || c == opOr || c == opXor || c == opAnd || c == opNot;
          break;
        case tcChar:
        case tcString: ok = (c >= opGreat && c <= opEq) || c == opPlus || c == opIn; break;
        case tcClass:
        case tcArray: ok = c == opNonEq || c == opEq; break;
        default: break;
      }
  }
  if (!ok) {
    if (Error.empty()) Error = op->SourcePos().empty() ? String("1:1") : op->SourcePos();
    return;
  }
  TfsTypeCode t = l;
  String tn = ln;
  if ((l == tcInteger && r == tcFloat) || (l == tcFloat && r == tcInteger)) t = tcFloat;
  if (l == tcInteger && r == tcInteger && c == opDivFloat) t = tcFloat;
  if (t == tcFloat && l != tcFloat) tn = "Extended";
  if (IsComparison(c)) {
    t = tcBoolean;
    tn = "Boolean";
  }
  op->SetTypeCode(t);
  op->SetTypeName(tn);
}

}  // namespace

String TfsExpression::Finish() {
  TfsExpressionNode* none = FRoot;
  FRoot = none->Left;
  none->Left = nullptr;
  delete none;
  if (!FRoot) FRoot = new TfsOperandNode(Null());
  FRoot->Parent = nullptr;
  FCurrent = FRoot;
  String error;
  InferNodeType(FRoot, FScript, error);
  FTypeCode = FRoot->TypeCode();
  FTypeName = FRoot->TypeName();
  auto* d = NodeAs<TfsDesignatorNode>(FRoot, fsvkDesignatorNode);
  FReadOnly = !(d && !d->Designator()->ReadOnly());
  return error;
}

TfsCustomVariable* TfsExpression::SingleOperandTarget() const {
  if (auto* d = NodeAs<TfsDesignatorNode>(FRoot, fsvkDesignatorNode)) return d->Target();
  if (NodeAs<TfsSetNode>(FRoot, fsvkSetNode)) return nullptr;
  if (auto* c = NodeAs<TfsOperandNode>(FRoot, fsvkOperandNode)) return c;
  return nullptr;
}

namespace {

TfsCustomVariable* PlainVariableOf(TfsExpressionNode* Node) {
  auto* d = NodeAs<TfsDesignatorNode>(Node, fsvkDesignatorNode);
  if (!d || d->Designator()->DesignatorKind() != dkVariable) return nullptr;
  return d->Designator()->Linked();
}

}  // namespace

String TfsExpression::RewriteCompoundAssignment(TfsDesignator* Target) {
  auto* op = NodeAs<TfsOperatorNode>(FRoot, fsvkOperatorNode);
  if (!op || op->StrCat || !op->Left || !op->Right) return " ";
  TfsCustomVariable* var = Target->Linked();
  const char* word = nullptr;
  switch (op->OpCode) {
    case opPlus: word = "+"; break;
    case opMinus: word = "-"; break;
    case opMul: word = "*"; break;
    case opDivFloat: word = "/"; break;
    default: return " ";
  }
  TfsExpressionNode* keep = nullptr;
  if (var && PlainVariableOf(op->Left) == var) {
    keep = op->Right;
  } else if (var && (op->OpCode == opPlus || op->OpCode == opMul) && PlainVariableOf(op->Right) == var &&
             var->TypeCode() != tcString && var->TypeCode() != tcVariant) {
    keep = op->Left;
  } else {
    return " ";
  }
  op->RemoveChild(keep);
  keep->Parent = nullptr;
  delete op;
  FRoot = FCurrent = keep;
  auto* d = NodeAs<TfsDesignatorNode>(FRoot, fsvkDesignatorNode);
  FReadOnly = !(d && !d->Designator()->ReadOnly());
  return word;
}
