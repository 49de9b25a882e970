#pragma once
// The multi-level title tree: captions split by "|" become group nodes whose bands span the
// columns below them; each column is a leaf. Siblings form a ring (the last child's
// NextInRing is the first child).
#include "core/SysUtils.h"

#include <functional>

class TColumnEh;
class TCustomDBGridEh;

class THeadTreeNode {
public:
  THeadTreeNode* FirstChild = nullptr;
  TColumnEh* LeafColumn = nullptr;
  // A leaf: from its band's top to the bottom of the title; a group: its own caption band.
  int NodeHeight = 0;
  int PrintHeight = 0;
  THeadTreeNode* ParentNode = nullptr;
  THeadTreeNode* NextInRing = this;
  String NodeText;
  int LineWidth = 0;
  int NodeWidth = 0;
  int PrintWidth = 0;
  int MarkerIndent = 0;

  THeadTreeNode() = default;
  THeadTreeNode(const String& Text, int Width, int Height);
  // Frees the children only when the node has no parent (a child's are freed by its tree).
  ~THeadTreeNode();
  THeadTreeNode(const THeadTreeNode&) = delete;
  THeadTreeNode& operator=(const THeadTreeNode&) = delete;

  // A new node in After's ring, right after it; After must be in this tree.
  THeadTreeNode* AddSibling(THeadTreeNode* After, const String& Text, int Width, int Height);
  // A new last child of Parent; Parent must be in this tree.
  THeadTreeNode* AppendChild(THeadTreeNode* Parent, const String& Text, int Width, int Height);
  void FreeChildren();
  // Whether Node is this node, a node of its ring or of a subtree below them.
  bool Contains(const THeadTreeNode* Node) const;
  int AncestorCount() const;
  // Puts First … Last (siblings, in ring order) under a new node with the text and band
  // height BandHeight that takes First's place.
  THeadTreeNode* GroupRange(THeadTreeNode* First, THeadTreeNode* Last, int BandHeight, const String& Text);
  // Every descendant of Node, depth first, siblings in ring order.
  static void ForEachNode(THeadTreeNode* Node, const std::function<void(THeadTreeNode*)>& Callback);
  // The children of Node in ring order.
  std::vector<THeadTreeNode*> Children() const;

  // Rebuilds this root's children from the grid's column captions; Leaves receives one leaf
  // per column, in collection order.
  void BuildFromColumns(TCustomDBGridEh* Grid, std::vector<THeadTreeNode*>& Leaves);
  // Sets the band heights below Node from the caption heights Measure gives (the caption's
  // height for a node, 0 for none) and returns Node's total height.
  static int CalcTitleBandHeights(THeadTreeNode* Node, const std::function<int(THeadTreeNode*)>& Measure);

private:
  void CheckInTree(const THeadTreeNode* Node) const;
};

// The first "|"-separated part of Text (empty parts skipped) and the text after it and the
// separators that follow.
void SplitTitleCaption(const String& Text, String& First, String& Rest);
