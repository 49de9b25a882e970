// Category codes of two digits a level and the trees that show them.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/StrUtils.h"
#include "data/DB.h"
#include "gui/TreeView.h"

#include <array>
#include <cassert>

namespace {
// Holds a tree's repainting for a fill and gives it back however the fill ends, a failing
// row included, so the tree is never left frozen.
class TNodesUpdate {
public:
  explicit TNodesUpdate(TTreeNodes* Nodes) : FNodes(Nodes) { FNodes->BeginUpdate(); }
  ~TNodesUpdate() { FNodes->EndUpdate(); }
  TNodesUpdate(const TNodesUpdate&) = delete;
  TNodesUpdate& operator=(const TNodesUpdate&) = delete;

private:
  TTreeNodes* FNodes;
};

void AddCodeRows(TTreeNodes* Nodes, TTreeNode* Root, TDataSet* Rows) {
  // The last node added on each level; slot 0 the root. A node goes under the nearest
  // level above it that holds one (its parent when the parent exists): a missing parent
  // never puts it under an unrelated node of a level left over from an earlier branch.
  std::array<TTreeNode*, 16> slot{};
  slot[0] = Root;
  for (Rows->First(); !Rows->Eof(); Rows->Next()) {
    String code = Trim(Rows->FieldByName("code")->AsString());
    String name = Trim(Rows->FieldByName("name")->AsString());
    int level = TFrm_Main::CodeLevel(TFrm_Main::CodePattern, code);
    if (level < 1 || level > 15) continue;
    int above = level - 1;
    while (above > 0 && (!slot[above] || !StartsStr(slot[above]->Text().substr(0, 2 * above), code))) --above;
    TTreeNode* node = Nodes->AddChild(slot[above], code + "-" + name);
    node->SetImageIndex(0);
    slot[level] = node;
    for (int deeper = level + 1; deeper < 16; ++deeper) slot[deeper] = nullptr;
  }
}
}  // namespace

const char* const TFrm_Main::CodePattern = "222222222222222";

String TFrm_Main::PadCode(const String& Code) {
  switch (Length(Code)) {
    case 1: case 3: case 5: case 7: case 9: return "0" + Code;
    case 2: case 4: case 6: case 8: return Code;
    default: return "";
  }
}

int TFrm_Main::CodeLevel(const String& Pattern, const String& Code) {
  if (Pattern.empty() || Code.empty()) return -1;
  int length = Length(Code);
  int sum = 0;
  for (int i = 0; i < static_cast<int>(Pattern.size()); ++i) {
    char d = Pattern[i];
    if (d >= '0' && d <= '9') sum += d - '0';
    if (sum == length) return i + 1;
  }
  return -1;
}

void TFrm_Main::FillCodeTree(TCustomTreeView* Tree, const String& Table, const String& RootText) {
  FillTreeFrom(Tree, "select * from " + Table + " order by code", RootText, false);
}

void TFrm_Main::FillCategoryTree(TCustomTreeView* Tree, const String& Kind, const String& RootText) {
  FillTreeFrom(Tree, "select * from dict_cate where tablename=" + SqlStr(Kind) + " order by code", RootText, true);
}

void TFrm_Main::FillTreeFrom(TCustomTreeView* Tree, const String& SQL, const String& RootText, bool SelectRoot) {
  assert(Tree);
  TADOQuery* q = Frm_Data->Qry_Hy;
  Frm_Data->OpenQuery(q, SQL);
  TTreeNodes* nodes = Tree->Items();
  TTreeNode* root = nullptr;
  {
    TNodesUpdate hold(nodes);
    nodes->Clear();
    root = nodes->Add(nullptr, RootText);
    if (SelectRoot) Tree->SetSelected(root);
    AddCodeRows(nodes, root, q);
  }
  root->Expand(false);
}
