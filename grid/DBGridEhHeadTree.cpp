// The multi-level title tree and how it is built from the column captions.
#include "grid/DBGridEhHeadTree.h"

#include "grid/DBGridEh.h"

#include <cassert>

namespace {
constexpr int kGroupBandHeight = 20;
}

void SplitTitleCaption(const String& Text, String& First, String& Rest) {
  // "|" is a single byte that no multi-byte UTF-8 character contains, so it is never the
  // tail of another character.
  size_t start = Text.find_first_not_of('|');
  if (start == String::npos) {
    First.clear();
    Rest.clear();
    return;
  }
  size_t end = Text.find('|', start);
  First = Text.substr(start, end == String::npos ? String::npos : end - start);
  size_t next = end == String::npos ? String::npos : Text.find_first_not_of('|', end);
  Rest = next == String::npos ? String() : Text.substr(next);
}

THeadTreeNode::THeadTreeNode(const String& Text, int Width, int Height)
    : NodeHeight(Height), NodeText(Text), NodeWidth(Width) {}

THeadTreeNode::~THeadTreeNode() {
  if (!ParentNode) FreeChildren();
}

void THeadTreeNode::FreeChildren() {
  if (!FirstChild) return;
  std::vector<THeadTreeNode*> kids = Children();
  FirstChild = nullptr;
  for (THeadTreeNode* k : kids) {
    k->FreeChildren();
    delete k;
  }
}

std::vector<THeadTreeNode*> THeadTreeNode::Children() const {
  std::vector<THeadTreeNode*> out;
  if (!FirstChild) return out;
  THeadTreeNode* n = FirstChild;
  do {
    out.push_back(n);
    n = n->NextInRing;
  } while (n != FirstChild);
  return out;
}

bool THeadTreeNode::Contains(const THeadTreeNode* Node) const {
  const THeadTreeNode* n = this;
  do {
    if (n == Node) return true;
    if (n->FirstChild && n->FirstChild->Contains(Node)) return true;
    n = n->NextInRing;
  } while (n != this);
  return false;
}

int THeadTreeNode::AncestorCount() const {
  int count = 0;
  for (const THeadTreeNode* p = ParentNode; p; p = p->ParentNode) ++count;
  return count;
}

void THeadTreeNode::CheckInTree(const THeadTreeNode* Node) const {
  if (!Node || !Contains(Node)) throw Exception("Node not in Tree");
}

THeadTreeNode* THeadTreeNode::AddSibling(THeadTreeNode* After, const String& Text, int Width, int Height) {
  CheckInTree(After);
  auto* n = new THeadTreeNode(Text, Width, Height);
  n->ParentNode = After->ParentNode;
  n->NextInRing = After->NextInRing;
  After->NextInRing = n;
  return n;
}

THeadTreeNode* THeadTreeNode::AppendChild(THeadTreeNode* Parent, const String& Text, int Width, int Height) {
  CheckInTree(Parent);
  if (!Parent->FirstChild) {
    auto* n = new THeadTreeNode(Text, Width, Height);
    n->ParentNode = Parent;
    Parent->FirstChild = n;
    return n;
  }
  THeadTreeNode* last = Parent->FirstChild;
  while (last->NextInRing != Parent->FirstChild) last = last->NextInRing;
  return AddSibling(last, Text, Width, Height);
}

THeadTreeNode* THeadTreeNode::GroupRange(THeadTreeNode* First, THeadTreeNode* Last, int BandHeight,
                                         const String& Text) {
  CheckInTree(First);
  std::vector<THeadTreeNode*> run;
  for (THeadTreeNode* n = First;;) {
    run.push_back(n);
    if (n == Last) break;
    n = n->NextInRing;
    if (n == First) throw Exception("ATo not in level");
  }
  THeadTreeNode* prev = First;
  while (prev->NextInRing != First) prev = prev->NextInRing;
  THeadTreeNode* parent = First->ParentNode;
  auto* g = new THeadTreeNode(Text, 0, BandHeight);
  g->ParentNode = parent;
  if (prev == Last) g->NextInRing = g;  // the run is the whole ring
  else {
    g->NextInRing = Last->NextInRing;
    prev->NextInRing = g;
  }
  Last->NextInRing = First;
  g->FirstChild = First;
  if (parent && parent->FirstChild == First) parent->FirstChild = g;
  g->LineWidth = Last->LineWidth;
  for (THeadTreeNode* n : run) {
    n->NodeHeight -= BandHeight;
    n->ParentNode = g;
    g->NodeWidth += n->NodeWidth + n->LineWidth;
  }
  if (g->LineWidth >= 1) g->NodeWidth -= g->LineWidth;
  return g;
}

void THeadTreeNode::ForEachNode(THeadTreeNode* Node, const std::function<void(THeadTreeNode*)>& Callback) {
  for (THeadTreeNode* k : Node->Children()) {
    Callback(k);
    ForEachNode(k, Callback);
  }
}

void THeadTreeNode::BuildFromColumns(TCustomDBGridEh* Grid, std::vector<THeadTreeNode*>& Leaves) {
  FreeChildren();
  Leaves.clear();
  TDBGridColumnsEh* cols = Grid->Columns();
  bool colLines = Grid->Options().Contains(dgColLines);
  int titleHeight = Grid->RowCount() > 0 ? Grid->RowHeights(0) : 0;
  for (int i = 0; i < cols->Count(); ++i) {
    TColumnEh* c = cols->Items(i);
    int width = c->Visible() ? c->Width() : (colLines ? -1 : 0);
    THeadTreeNode* leaf = AppendChild(this, c->Title()->Caption(), width, titleHeight);
    leaf->LeafColumn = c;
    leaf->MarkerIndent = c->Title()->SortMarker() != smNoneEh ? 16 : 0;
    leaf->LineWidth = colLines ? 1 : 0;
    Leaves.push_back(leaf);
  }
  // Passes until nothing groups any more; a pass that groups starts over from the first column.
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < Leaves.size() && !changed; ++i) {
      String first, rest;
      SplitTitleCaption(Leaves[i]->NodeText, first, rest);
      if (rest.empty()) continue;
      size_t last = i;
      for (size_t k = i + 1; k < Leaves.size(); ++k) {
        String f, r;
        SplitTitleCaption(Leaves[k]->NodeText, f, r);
        if (f != first) break;
        last = k;
      }
      for (size_t k = i; k <= last; ++k) {
        String f, r;
        SplitTitleCaption(Leaves[k]->NodeText, f, r);
        Leaves[k]->NodeText = r;
      }
      THeadTreeNode* a = Leaves[i];
      THeadTreeNode* b = Leaves[last];
      // Leaves at one depth under different parents cannot share a band: the part is dropped.
      if (a->AncestorCount() != b->AncestorCount() || a->ParentNode != b->ParentNode) continue;
      GroupRange(a, b, kGroupBandHeight, first);
      changed = true;
    }
  }
}

int THeadTreeNode::CalcTitleBandHeights(THeadTreeNode* Node, const std::function<int(THeadTreeNode*)>& Measure) {
  if (!Node->FirstChild) return 0;
  std::vector<THeadTreeNode*> kids = Node->Children();
  std::vector<int> subs(kids.size());
  int total = 0;
  for (size_t i = 0; i < kids.size(); ++i) {
    subs[i] = kids[i]->FirstChild ? CalcTitleBandHeights(kids[i], Measure) : 0;
    int measured = kids[i]->NodeWidth <= 0 ? 0 : Measure(kids[i]);
    total = std::max(total, subs[i] + measured);
  }
  for (size_t i = 0; i < kids.size(); ++i) kids[i]->NodeHeight = kids[i]->FirstChild ? total - subs[i] : total;
  Node->NodeHeight = total;
  return total;
}
