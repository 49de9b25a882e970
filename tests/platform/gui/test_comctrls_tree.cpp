// Tree views: nodes placed under their parents (as the code trees are filled), deletion with
// the children, selection by mouse and keys with OnChanging/OnChange, expanding (also lazily),
// hit tests, renaming in place, sorting, scrolling, and what the painting shows.
#include "ListsTestUtil.h"

#include "core/ClassBuilder.h"
#include "gui/ItemView.h"
#include "gui/TreeView.h"
#include "core/Filer.h"
#include "core/SysUtils.h"
#include "gui/WinScroll.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

namespace {

struct TreeViewFixture : FormFixture {
  TTreeView* Tree = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    FormFixture::SetUp();
    Tree = Add<TTreeView>(Rect(8, 8, 248, 208));
    Tree->OnChanging = TTVChangingEvent::Lambda([this](TObject*, TTreeNode* n, bool&) { Log.push_back("changing " + Name(n)); });
    Tree->OnChange = TTVChangedEvent::Lambda([this](TObject*, TTreeNode* n) { Log.push_back("change " + Name(n)); });
    Tree->OnClick = TNotifyEvent::Lambda([this](TObject*) { Log.push_back("click " + Name(Tree->Selected())); });
  }
  static std::string Name(TTreeNode* n) { return n ? n->Text() : std::string("nil"); }

  // Fills the tree as the code windows do: rows sorted by code, each node under the last node
  // added on the level above (a level is two characters of code).
  void FillCodes(const std::vector<std::pair<String, String>>& rows, const String& rootText) {
    TTreeNodes* items = Tree->Items();
    items->BeginUpdate();
    items->Clear();
    TTreeNode* levels[16] = {};
    levels[0] = items->Add(nullptr, rootText);
    for (const auto& [code, name] : rows) {
      int level = static_cast<int>(code.size()) / 2;
      if (code.size() % 2 != 0 || level < 1 || level > 15 || !levels[level - 1]) continue;
      TTreeNode* n = items->AddChild(levels[level - 1], code + "-" + name);
      n->SetImageIndex(0);
      levels[level] = n;
    }
    items->EndUpdate();
    levels[0]->Expand(false);
  }

  TPoint LabelPoint(TTreeNode* n) {
    TRect r = n->DisplayRect(true);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint ButtonPoint(TTreeNode* n) {
    TRect r = n->DisplayRect(false);
    TRect label = n->DisplayRect(true);
    // The button sits half an indent before the node's column.
    int x = label.Left - 2 - Tree->Indent() / 2 - 1;
    (void)r;
    return {x, (label.Top + label.Bottom) / 2};
  }
  TTreeNode* Find(const String& text) {
    for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == text) return n;
    return nullptr;
  }
};

std::string Shape(TTreeNodes* items) {
  std::string s;
  for (TTreeNode* n = items->GetFirstNode(); n; n = n->GetNext()) s += std::string(static_cast<std::size_t>(n->Level()), '.') + n->Text() + ";";
  return s;
}

}  // namespace

TEST_F(TreeViewFixture, CodeRowsLandUnderTheirParents) {
  FillCodes({{"01", "合同"}, {"0101", "采购"}, {"010101", "设备"}, {"0102", "销售"}, {"02", "其他"}, {"030", "坏码"}},
            "合同类别");
  EXPECT_EQ(Shape(Tree->Items()), "合同类别;.01-合同;..0101-采购;...010101-设备;..0102-销售;.02-其他;");
  TTreeNode* root = Tree->Items()->GetFirstNode();
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(root->Item(0)->Count(), 2);
  EXPECT_EQ(Tree->Items()->Count(), 6) << "the odd-length code has no place";
  TTreeNode* device = Find("010101-设备");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Level(), 3);
  EXPECT_EQ(device->Parent()->Text(), "0101-采购");
  EXPECT_EQ(device->AbsoluteIndex(), 3);
  EXPECT_EQ(Tree->Items()->Item(3), device);
  EXPECT_TRUE(device->HasAsParent(root));
  EXPECT_EQ(root->Parent(), nullptr);
  EXPECT_TRUE(root->Expanded()) << "the root opens one level";
  EXPECT_FALSE(Find("01-合同")->Expanded());
  EXPECT_FALSE(device->IsVisible());
}

TEST_F(TreeViewFixture, DeletingANodeDeletesItsChildrenAndMovesTheSelection) {
  FillCodes({{"01", "合同"}, {"0101", "采购"}, {"010101", "设备"}, {"02", "其他"}}, "合同类别");
  std::vector<std::string> deleted;
  Tree->OnDeletion = TTVExpandedEvent::Lambda([&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); });
  Tree->SetSelected(Find("01-合同"));
  Log.clear();
  Find("01-合同")->Delete();
  EXPECT_EQ(Shape(Tree->Items()), "合同类别;.02-其他;");
  EXPECT_EQ(deleted, (std::vector<std::string>{"010101-设备", "0101-采购", "01-合同"})) << "children first";
  EXPECT_EQ(Tree->Items()->Count(), 2);
  EXPECT_EQ(Name(Tree->Selected()), "02-其他") << "the selection moves to the next sibling";
  EXPECT_EQ(Log, (std::vector<std::string>{"changing 02-其他", "change 02-其他"}));
  // The last child gone, the parent takes the selection.
  Log.clear();
  Find("02-其他")->Delete();
  EXPECT_EQ(Name(Tree->Selected()), "合同类别");
  // Clearing the tree selects nothing and says nothing.
  Log.clear();
  Tree->Items()->Clear();
  EXPECT_EQ(Tree->Selected(), nullptr);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(Tree->Items()->Count(), 0);
}

TEST_F(TreeViewFixture, ClickingALabelSelectsAndAVetoKeepsTheSelection) {
  FillCodes({{"01", "合同"}, {"02", "其他"}}, "类别");
  Click(Tree, LabelPoint(Find("02-其他")));
  Application->ProcessMessages();
  EXPECT_EQ(Log, (std::vector<std::string>{"changing 02-其他", "change 02-其他", "click 02-其他"}));
  EXPECT_TRUE(Tree->Focused());
  Tree->OnChanging = TTVChangingEvent::Lambda([](TObject*, TTreeNode*, bool& allow) { allow = false; });
  Log.clear();
  Click(Tree, LabelPoint(Find("01-合同")));
  Application->ProcessMessages();
  EXPECT_EQ(Name(Tree->Selected()), "02-其他");
  EXPECT_EQ(Log, (std::vector<std::string>{"click 02-其他"}));
  // Code selects through the same question.
  Tree->SetSelected(Find("01-合同"));
  EXPECT_EQ(Name(Tree->Selected()), "02-其他");
}

TEST_F(TreeViewFixture, ButtonsAndDoubleClicksExpandKeysWalk) {
  FillCodes({{"01", "合同"}, {"0101", "采购"}, {"0102", "销售"}, {"02", "其他"}}, "类别");
  std::vector<std::string> expanded;
  Tree->OnExpanded = TTVExpandedEvent::Lambda([&](TObject*, TTreeNode* n) { expanded.push_back(n->Text()); });
  TTreeNode* contracts = Find("01-合同");
  EXPECT_EQ(Tree->GetHitTestInfoAt(ButtonPoint(contracts).X, ButtonPoint(contracts).Y), THitTests{htOnButton});
  Click(Tree, ButtonPoint(contracts));
  Application->ProcessMessages();
  EXPECT_TRUE(contracts->Expanded());
  EXPECT_EQ(expanded, std::vector<std::string>{"01-合同"});
  EXPECT_EQ(Tree->Selected(), nullptr) << "the button does not select";
  // Keys: Down walks the shown nodes, Left closes or climbs, Right opens or descends.
  Tree->SetSelected(Tree->Items()->GetFirstNode());
  Tree->SetFocus();
  Log.clear();
  struct Step {
    int key;
    const char* selected;
    bool contractsOpen;
  };
  const Step steps[] = {{Qt::Key_Down, "01-合同", true},   {Qt::Key_Down, "0101-采购", true}, {Qt::Key_Left, "01-合同", true},
                        {Qt::Key_Left, "01-合同", false},  {Qt::Key_Down, "02-其他", false}, {Qt::Key_Up, "01-合同", false},
                        {Qt::Key_Right, "01-合同", true},  {Qt::Key_Right, "0101-采购", true}, {Qt::Key_End, "02-其他", true},
                        {Qt::Key_Home, "类别", true}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.selected);
    Key(s.key);
    EXPECT_EQ(Name(Tree->Selected()), s.selected);
    EXPECT_EQ(contracts->Expanded(), s.contractsOpen);
  }
  // A double click on a node opens and closes it.
  TPoint p = LabelPoint(contracts);
  Press(Tree, p, Qt::LeftButton, 1000);
  Release(Tree, p);
  SendMouse(Tree, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  Release(Tree, p);
  Application->ProcessMessages();
  EXPECT_FALSE(contracts->Expanded());
}

TEST_F(TreeViewFixture, CollapsingHidesTheSelectionInItsParent) {
  FillCodes({{"01", "合同"}, {"0101", "采购"}}, "类别");
  TTreeNode* child = Find("0101-采购");
  child->MakeVisible();
  Tree->SetSelected(child);
  Log.clear();
  Find("01-合同")->Collapse(false);
  EXPECT_EQ(Name(Tree->Selected()), "01-合同");
  EXPECT_EQ(Log, (std::vector<std::string>{"changing 01-合同", "change 01-合同"}));
}

TEST_F(TreeViewFixture, ANodeWithHasChildrenIsFilledWhenItFirstOpens) {
  TTreeNode* lazy = Tree->Items()->Add(nullptr, "延迟加载");
  lazy->SetHasChildren(true);
  int fills = 0;
  Tree->OnExpanding = TTVExpandingEvent::Lambda([&](TObject*, TTreeNode* n, bool& allow) {
    if (n->Count() == 0) {
      ++fills;
      Tree->Items()->AddChild(n, "子节点一");
      Tree->Items()->AddChild(n, "子节点二");
    }
    allow = true;
  });
  EXPECT_TRUE(lazy->HasChildren());
  EXPECT_EQ(lazy->Count(), 0);
  Click(Tree, ButtonPoint(lazy));
  Application->ProcessMessages();
  EXPECT_TRUE(lazy->Expanded());
  EXPECT_EQ(lazy->Count(), 2);
  lazy->Collapse(false);
  lazy->Expand(false);
  EXPECT_EQ(fills, 1) << "filled once";
  // A veto keeps it closed.
  lazy->Collapse(false);
  Tree->OnExpanding = TTVExpandingEvent::Lambda([](TObject*, TTreeNode*, bool& allow) { allow = false; });
  lazy->Expand(false);
  EXPECT_FALSE(lazy->Expanded());
}

TEST_F(TreeViewFixture, HitTestsNameThePartsOfARow) {
  TCustomImageList* images = TCustomImageList::CreateSize(16, 16);
  TBitmap bmp;
  bmp.SetSize(16, 16);
  images->AddMasked(&bmp, clNone);
  Tree->SetImages(images);
  FillCodes({{"01", "合同"}, {"0101", "采购"}}, "类别");
  TTreeNode* n = Find("01-合同");
  TRect label = n->DisplayRect(true);
  int cy = (label.Top + label.Bottom) / 2;
  struct Case {
    int x, y;
    THitTests expected;
  };
  const Case cases[] = {
      {label.Left + 3, cy, {htOnItem, htOnLabel}},
      {label.Left - 5, cy, {htOnItem, htOnIcon}},
      {label.Left - 16 - 2 - Tree->Indent() / 2 - 1, cy, {htOnButton}},
      {1, cy, {htOnIndent}},
      {label.Right + 10, cy, {htOnRight}},
      {10, Tree->ClientHeight() - 2, {htNowhere}},
      {10, -3, {htAbove}},
      {Tree->ClientWidth() + 2, 5, {htToRight}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(Tree->GetHitTestInfoAt(c.x, c.y), c.expected);
  }
  EXPECT_EQ(Tree->GetNodeAt(label.Left + 3, cy), n);
  EXPECT_EQ(Tree->GetNodeAt(label.Right + 10, cy), n) << "the row right of the label is still the node's";
  EXPECT_EQ(Tree->GetNodeAt(10, Tree->ClientHeight() - 2), nullptr);
  Tree->SetImages(nullptr);
  delete images;
}

TEST_F(TreeViewFixture, LabelsAreRenamedInPlace) {
  FillCodes({{"01", "合同"}}, "类别");
  TTreeNode* n = Find("01-合同");
  std::string edited;
  Tree->OnEdited = TTVEditedEvent::Lambda([&](TObject*, TTreeNode* node, String& s) {
    edited = s;
    s += "!";
  });
  ASSERT_TRUE(n->EditText());
  ASSERT_TRUE(Tree->IsEditing());
  TCustomEdit* ed = Tree->EditControl();
  ASSERT_NE(ed, nullptr);
  EXPECT_TRUE(ed->Focused());
  EXPECT_EQ(ed->Text(), "01-合同");
  EXPECT_EQ(ed->SelLength(), 5) << "the whole label is selected";
  Commit(ed, "新名");
  Key(Qt::Key_Return);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(edited, "新名");
  EXPECT_EQ(n->Text(), "新名!") << "OnEdited may change the new text";
  EXPECT_TRUE(Tree->Focused()) << "the focus goes back to the tree";
  // Escape keeps the old text; a read-only tree does not edit.
  ASSERT_TRUE(n->EditText());
  Commit(Tree->EditControl(), "丢弃");
  Key(Qt::Key_Escape);
  EXPECT_EQ(n->Text(), "新名!");
  Tree->SetReadOnly(true);
  EXPECT_FALSE(n->EditText());
  // F2 edits the selected node of an editable tree.
  Tree->SetReadOnly(false);
  Tree->SetSelected(n);
  Tree->SetFocus();
  Key(Qt::Key_F2);
  EXPECT_TRUE(Tree->IsEditing());
  Key(Qt::Key_Escape);
}

TEST_F(TreeViewFixture, SortedTreesKeepEachLevelInTextOrder) {
  Tree->SetSortType(stText);
  TTreeNode* root = Tree->Items()->Add(nullptr, "根");
  for (const char* s : {"丙", "甲", "乙", "B", "a"}) Tree->Items()->AddChild(root, s);
  std::string order;
  for (TTreeNode* c = root->getFirstChild(); c; c = c->getNextSibling()) order += c->Text() + " ";
  EXPECT_EQ(order, "a B 丙 乙 甲 ") << "Latin without regard to case, then by code point";
  root->Item(0)->SetText("zz");
  EXPECT_EQ(root->GetLastChild()->Text(), "甲");
  EXPECT_EQ(root->Item(1)->Text(), "zz") << "a renamed node moves to its place";
}

TEST_F(TreeViewFixture, ManyNodesScrollAndMakeVisibleBringsOneIntoView) {
  TTreeNode* root = Tree->Items()->Add(nullptr, "根");
  for (int i = 0; i < 60; ++i) Tree->Items()->AddChild(root, "节点" + IntToStr(i));
  root->Expand(false);
  ASSERT_NE(Tree->WindowStyle() & WS_VSCROLL, 0u);
  TTreeNode* last = root->GetLastChild();
  EXPECT_TRUE(IsRectEmpty(last->DisplayRect(false)) || last->DisplayRect(false).Top >= Tree->ClientHeight());
  last->MakeVisible();
  TRect r = last->DisplayRect(false);
  EXPECT_GE(r.Top, 0);
  EXPECT_LE(r.Bottom, Tree->ClientHeight());
  EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), Tree->TopItem()->AbsoluteIndex());
  Tree->SetTopItem(root->Item(10));
  EXPECT_EQ(Tree->TopItem(), root->Item(10));
}

TEST_F(TreeViewFixture, TheSelectionShowsAsTheFocusAndHideSelectionSay) {
  FillCodes({{"01", "合同"}}, "类别");
  TTreeNode* n = Find("01-合同");
  Tree->SetSelected(n);
  TRect label = n->DisplayRect(true);
  // Left of the text, inside the focus rectangle.
  TPoint probe{label.Left + 1, (label.Top + label.Bottom) / 2};
  auto colourAt = [&] {
    Tree->Repaint();
    Application->ProcessMessages();
    return At(Form, Tree, probe.X, probe.Y);
  };
  Tree->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(colourAt(), SysQColor(COLOR_HIGHLIGHT)) << "focused: the highlight";
  auto* other = Add<TEdit>(Rect(260, 8, 340, 29));
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(Tree->Focused());
  EXPECT_EQ(colourAt(), QColor(255, 255, 255)) << "unfocused with HideSelection: nothing";
  Tree->SetHideSelection(false);
  EXPECT_EQ(colourAt(), SysQColor(COLOR_BTNFACE)) << "kept visible, in the face colour";
}

TEST_F(TreeViewFixture, CustomDrawingChangesTheItemsLook) {
  FillCodes({{"01", "合同"}, {"02", "其他"}}, "类别");
  Tree->OnCustomDrawItem = TTVCustomDrawItemEvent::Lambda([](TCustomTreeView* tv, TTreeNode* n, TCustomDrawState, bool& def) {
    if (n->Text() == "02-其他") tv->Canvas()->Brush()->SetColor(clYellow);
    def = true;
  });
  Tree->Repaint();
  Application->ProcessMessages();
  TRect r = Find("02-其他")->DisplayRect(true);
  EXPECT_EQ(At(Form, Tree, r.Left + 1, (r.Top + r.Bottom) / 2), QColor(255, 255, 0));
  TRect other = Find("01-合同")->DisplayRect(true);
  EXPECT_EQ(At(Form, Tree, other.Left + 1, (other.Top + other.Bottom) / 2), QColor(255, 255, 255));
}
