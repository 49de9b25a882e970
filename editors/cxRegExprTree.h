#pragma once
// The parse tree of a mask expression: alternatives of items, each item a simple item (one
// character state) or a group (entry and exit block states around its own alternatives),
// each with a quantifier. The tree owns every state; linking turns it into the graph the
// matcher walks. The AsText dumps serve diagnosis only.
// Declares TcxRegExprParserItem, TcxRegExprParserSimpleItem, TcxRegExprParserBlockItem,
// TcxRegExprParserAlt, TcxRegExprParserAlts and the linking routine.
#include "core/System.h"

#include <memory>
#include <vector>

class TcxRegExprQuantifier;
class TcxRegExprState;
class TcxRegExprSimpleState;
class TcxRegExprBlockState;
class TcxRegExprParserAlts;

class TcxRegExprParserItem {
public:
  explicit TcxRegExprParserItem(TcxRegExprQuantifier* AQuantifier);  // nil: no quantifier
  virtual ~TcxRegExprParserItem();

  virtual bool MatchesEmpty() const = 0;
  virtual TcxRegExprParserItem* Duplicate() const = 0;
  virtual String AsText() const = 0;
  virtual void MarkAccepting() = 0;
  virtual TcxRegExprState* Entry() const = 0;
  virtual TcxRegExprState* Exit() const = 0;
  // The number of parser items in this item's subtree, itself included.
  virtual int Size() const = 0;

  bool AllowsNone() const;
  bool AllowsMany() const;
  bool IsUnquantified() const;
  void ReplaceQuantifier(TcxRegExprQuantifier* Q);  // nil leaves the quantifier alone
  TcxRegExprQuantifier* Quantifier() const { return FQuantifier; }

private:
  TcxRegExprQuantifier* FQuantifier;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
public:
  TcxRegExprParserSimpleItem(TcxRegExprSimpleState* AState, TcxRegExprQuantifier* AQuantifier = nullptr);
  ~TcxRegExprParserSimpleItem() override;
  bool MatchesEmpty() const override { return AllowsNone(); }
  TcxRegExprParserItem* Duplicate() const override;
  String AsText() const override;
  void MarkAccepting() override;
  TcxRegExprState* Entry() const override;
  TcxRegExprState* Exit() const override;
  int Size() const override { return 1; }
  TcxRegExprSimpleState* State() const { return FState; }

private:
  TcxRegExprSimpleState* FState;
};

class TcxRegExprParserAlt {
public:
  std::vector<std::unique_ptr<TcxRegExprParserItem>> Items;
  String AsText() const;
  bool AllAllowNone() const;
  bool AllMatchEmpty() const;
};

class TcxRegExprParserAlts {
public:
  std::vector<std::unique_ptr<TcxRegExprParserAlt>> Items;
  TcxRegExprParserAlt* Add();
  String AsText() const;
};

class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
public:
  explicit TcxRegExprParserBlockItem(TcxRegExprQuantifier* AQuantifier = nullptr);
  ~TcxRegExprParserBlockItem() override;
  bool MatchesEmpty() const override;
  TcxRegExprParserItem* Duplicate() const override;
  String AsText() const override;
  void MarkAccepting() override;
  TcxRegExprState* Entry() const override;
  TcxRegExprState* Exit() const override;
  int Size() const override;
  TcxRegExprParserAlts& Alts() const { return *FAlts; }

private:
  std::unique_ptr<TcxRegExprParserAlts> FAlts;
  TcxRegExprBlockState* FEntryState;
  TcxRegExprBlockState* FExitState;
};

// Links the tree into a state graph below Start and marks the accepting states.
void LinkRegExprTree(TcxRegExprParserAlts& Tree, TcxRegExprSimpleState* Start);
