// Category codes and trees, and the category window driven offscreen: adding, renaming,
// deleting and picking, with its boxes answered by a script.
#include "AppWindows.h"
#include "StdTestUtil.h"

#include "app/ufrmBasic.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "gui/ComCtrls.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"

#include <QtWidgets/QMenu>

#include <functional>

namespace {

TEST(CategoryCodes, PadCodeAndCodeLevel) {
  struct TPad {
    const char *Code, *Padded;
  } pads[] = {{"1", "01"},       {"103", "0103"},  {"1234", "1234"}, {"10203", "010203"},
              {"12345678", "12345678"}, {"123456789", "0123456789"}, {"1234567890", ""}, {"", ""}};
  for (const TPad& p : pads) EXPECT_EQ(TFrm_Main::PadCode(p.Code), p.Padded) << p.Code;
  struct TLevel {
    String Pattern, Code;
    int Level;
  } levels[] = {{"222222222222222", "010203", 3}, {"222222222222222", "010", -1}, {"222222222222222", "01", 1},
                {"222222222222222", String(30, '1'), 15}, {"222222222222222", String(32, '1'), -1},
                {"", "01", -1}, {"222", "", -1}, {"23", "01234", 2}};
  for (const TLevel& l : levels) EXPECT_EQ(TFrm_Main::CodeLevel(l.Pattern, l.Code), l.Level) << l.Code;
}

// The tree as text: one line a node, two blanks of indent a level.
String Outline(TTreeNode* Node, int Depth = 0) {
  String s = String(2 * Depth, ' ') + Node->Text() + "\n";
  for (int i = 0; i < Node->Count(); ++i) s += Outline(Node->Item(i), Depth + 1);
  return s;
}

class CategoryTreeTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Host = new TForm(Application);
    Tree = new TTreeView(Host);
    Tree->SetParent(Host);
  }
  void TearDown() override {
    delete Host;
    AppWindowsTest::TearDown();
  }
  void Codes(const String& table, std::vector<const char*> codes) {
    for (const char* c : codes)
      Exec("insert into " + table + " (code, name) values (" + SqlStr(c) + ", " + SqlStr(String("n") + c) + ")");
  }
  TForm* Host = nullptr;
  TTreeView* Tree = nullptr;
};

TEST_F(CategoryTreeTest, NodesGoUnderTheirParentOrTheNearestAncestorPresent) {
  struct TCase {
    std::vector<const char*> Codes;
    const char* Outline;
  } cases[] = {
      {{"01", "0101", "0102", "02"}, "类别\n  01-n01\n    0101-n0101\n    0102-n0102\n  02-n02\n"},
      {{"01", "0301"}, "类别\n  01-n01\n  0301-n0301\n"},
      {{"01", "010", "0101", "abc"}, "类别\n  01-n01\n    0101-n0101\n"},
      // 0201 is missing: 020101 goes under 02, not under 0101 left over from the branch before.
      {{"01", "0101", "010101", "02", "020101"},
       "类别\n  01-n01\n    0101-n0101\n      010101-n010101\n  02-n02\n    020101-n020101\n"},
  };
  for (const TCase& c : cases) {
    Exec("delete from Category_Cust");
    Codes("Category_Cust", c.Codes);
    Frm_Main->FillCodeTree(Tree, "Category_Cust", "类别");
    TTreeNode* root = Tree->Items()->GetFirstNode();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Outline(root), c.Outline);
    EXPECT_TRUE(root->Expanded());
    if (root->Count() > 0) {
      EXPECT_EQ(root->Item(0)->ImageIndex(), 0);
      EXPECT_FALSE(root->Item(0)->Expanded());
    }
  }
}

// A code table without names fails on its first row; the tree still repaints afterwards and
// the next fill from a sound table shows.
TEST_F(CategoryTreeTest, AFailingFillLeavesTheTreeRepainting) {
  Exec("create table t_codes_only (code TEXT(30))");
  Exec("insert into t_codes_only (code) values ('01')");
  EXPECT_ANY_THROW(Frm_Main->FillCodeTree(Tree, "t_codes_only", "类别"));
  EXPECT_EQ(Tree->Items()->UpdateCount(), 0);
  Codes("Category_Cust", {"01"});
  Frm_Main->FillCodeTree(Tree, "Category_Cust", "类别");
  EXPECT_EQ(Tree->Items()->UpdateCount(), 0);
  EXPECT_EQ(Outline(Tree->Items()->GetFirstNode()), "类别\n  01-n01\n");
}

TEST_F(CategoryTreeTest, TheCategoryTreeTakesOneKindAndSelectsItsRoot) {
  Exec("insert into dict_cate (code, name, TableName) values ('01', ' 甲 ', 'depart')");
  Exec("insert into dict_cate (code, name, TableName) values ('01', '合同', 'pacttype')");
  Frm_Main->FillCategoryTree(Tree, "depart", "部门类别");
  EXPECT_EQ(Outline(Tree->Items()->GetFirstNode()), "部门类别\n  01-甲\n");
  EXPECT_EQ(Tree->Selected(), Tree->Items()->GetFirstNode());
}

// ---------------------------------------------------------------- the window

class CategoryWindowTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    for (const char* c : {"01", "0101", "010101", "0102", "0103", "02"})
      Cate("depart", c, String("部") + c);
    Cate("pacttype", "01", "合同甲");
  }
  void TearDown() override {
    delete W;
    AppWindowsTest::TearDown();
  }
  void Cate(const String& kind, const String& code, const String& name) {
    Exec("insert into dict_cate (code, name, TableName) values (" + SqlStr(code) + ", " + SqlStr(name) + ", " +
         SqlStr(kind) + ")");
  }
  // The window shown (not modally) on a page.
  void Open(const String& page) {
    W = CreateForm<TfrmBasic>(Frm_Main);
    W->PageCaption = page;
    W->Show();
  }
  TTreeNode* Node(const String& code) {
    for (int i = 0; i < W->tvBasic->Items()->Count(); ++i) {
      TTreeNode* n = W->tvBasic->Items()->Item(i);
      if (StartsStr(code + "-", n->Text())) return n;
    }
    return nullptr;
  }
  void Select(const String& code) {
    TTreeNode* n = code.empty() ? W->tvBasic->Items()->GetFirstNode() : Node(code);
    ASSERT_NE(n, nullptr) << code;
    W->tvBasic->SetSelected(n);
  }
  String Codes(const String& kind) {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, "select code from dict_cate where TableName=" + SqlStr(kind) + " order by code");
    String s;
    for (q->First(); !q->Eof(); q->Next()) s += q->Fields()->Fields(0)->AsString() + " ";
    return s;
  }
  bool Browsing() {
    return W->TB_Add->Enabled() && W->TB_Edit->Enabled() && W->TB_Del->Enabled() && !W->TB_Save->Enabled() &&
           !W->TB_Cancel->Enabled() && W->tvBasic->Enabled() && !W->edtName->Enabled();
  }
  bool Editing() {
    return !W->TB_Add->Enabled() && !W->TB_Edit->Enabled() && !W->TB_Del->Enabled() && W->TB_Save->Enabled() &&
           W->TB_Cancel->Enabled() && !W->tvBasic->Enabled() && !W->pcBasic->Enabled() && W->edtName->Enabled();
  }
  TfrmBasic* W = nullptr;
};

TEST_F(CategoryWindowTest, ProposedCodesIncrementTheLastGroupAtAnyDepth) {
  Open("部门类别");
  struct TCase {
    const char* From;  // "" is the root
    bool Child;
    const char* Proposal;
  } cases[] = {{"0101", false, "0104"}, {"0103", true, "010301"}, {"01", true, "0104"},
               {"", true, "03"},       {"", false, "03"},        {"010101", false, "010102"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.From);
    Select(c.From);
    c.Child ? W->BeginAddChild() : W->BeginAddSibling();
    EXPECT_EQ(W->edtCode->Text(), c.Proposal);
    EXPECT_TRUE(Editing());
    W->TB_Cancel->Click();
    EXPECT_TRUE(Browsing());
    EXPECT_EQ(W->edtCode->Text(), c.From);  // the selected node again
  }
  // Top level 01..09 stored: the next is 10; a full level proposes nothing; depth is no limit.
  for (const char* c : {"03", "04", "05", "06", "07", "08", "09"}) Cate("depart", c, "x");
  Cate("depart", "0199", "满");
  String deep = "0101010101010101010101";
  Cate("depart", deep, "深");
  W->tbRefresh->Click();
  struct TCase2 {
    String From;
    bool Child;
    String Proposal;
  } more[] = {{"", true, "10"}, {"0103", false, ""}, {deep, true, deep + "01"}, {deep, false, "0101010101010101010102"}};
  for (const TCase2& c : more) {
    SCOPED_TRACE(c.From);
    Select(c.From);
    c.Child ? W->BeginAddChild() : W->BeginAddSibling();
    EXPECT_EQ(W->edtCode->Text(), c.Proposal);
    W->TB_Cancel->Click();
  }
}

TEST_F(CategoryWindowTest, AddingAChildStoresItUnderItsKindAndRefusesBadCodes) {
  Open("部门类别");
  Select("0102");
  W->N2->Click();
  EXPECT_EQ(W->edtCode->Text(), "010201");
  W->edtName->SetText(" O'Neil-1 ");
  W->TB_Save->Click();
  EXPECT_TRUE(Browsing());
  EXPECT_EQ(Scalar("select name from dict_cate where TableName='depart' and code='010201'"), "O'Neil-1");
  TTreeNode* added = Node("010201");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->Parent(), Node("0102"));
  W->tvBasic->SetSelected(added);
  EXPECT_EQ(W->edtCode->Text(), "010201");
  EXPECT_EQ(W->edtName->Text(), "O'Neil-1");

  struct TCase {
    const char *Code, *Box;
  } refused[] = {{"", "编码必须是数字!"},     {"1a", "编码必须是数字!"}, {"012", "编码规则出错!"},
                 {"0101010101010101010101010101010101", "编码规则出错!"}, {"0101", "编码重复!,不能保存!"}};
  for (const TCase& c : refused) {
    SCOPED_TRACE(c.Code);
    W->TB_Add->Click();
    W->edtCode->SetText(c.Code);
    W->edtName->SetText("新");
    TDialogScript script;
    script.Button(IDOK);
    W->TB_Save->Click();
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, c.Box);
    EXPECT_EQ(script.Asked()[0].Caption, "提示");
    EXPECT_NE(script.Asked()[0].Flags & MB_ICONINFORMATION, 0);
    EXPECT_TRUE(Editing());
    W->TB_Cancel->Click();
  }
  EXPECT_EQ(Codes("depart"), "01 0101 010101 0102 010201 0103 02 ");
}

TEST_F(CategoryWindowTest, RenamingTouchesOneKindAndTheRootCannotBeEditedOrDeleted) {
  Cate("pacttype", "0101", "别的");
  Open("");
  Select("01");
  W->TB_Edit->Click();
  EXPECT_TRUE(Editing());
  W->edtName->SetText("改名");
  W->TB_Save->Click();
  EXPECT_EQ(Scalar("select name from dict_cate where TableName='depart' and code='01'"), "改名");
  EXPECT_EQ(Scalar("select name from dict_cate where TableName='pacttype' and code='01'"), "合同甲");

  Select("");
  TDialogScript script;
  script.Button(IDOK).Button(IDOK);
  W->TB_Edit->Click();
  W->TB_Del->Click();
  ASSERT_EQ(script.Asked().size(), 2u);
  EXPECT_EQ(script.Asked()[0].Text, "根节点不能编辑，请重新选择！");
  EXPECT_EQ(script.Asked()[1].Text, "根节点不能删除，请重新选择！");
  EXPECT_TRUE(Browsing());

  W->tvBasic->SetSelected(nullptr);
  TDialogScript none;
  none.Button(IDOK);
  W->TB_Del->Click();
  ASSERT_EQ(none.Asked().size(), 1u);
  EXPECT_EQ(none.Asked()[0].Text, "您没有选择节点，请选择！");
}

TEST_F(CategoryWindowTest, DeletingABranchRemovesItsCodesByPrefixInItsKindOnly) {
  Cate("pacttype", "0101", "别的");
  Cate("depart", "0%", "怪");  // typed text is no pattern
  Open("部门类别");
  Select("01");
  {
    TDialogScript script;
    script.Button(IDCANCEL);
    W->TB_Del->Click();
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "如果您选择的是父节点，其子节点也将会删除，点击确定继续！");
    EXPECT_NE(script.Asked()[0].Flags & MB_OKCANCEL, 0);
  }
  EXPECT_EQ(Codes("depart"), "0% 01 0101 010101 0102 0103 02 ");
  Select("01");
  TDialogScript script;
  script.Button(IDOK);
  W->TB_Del->Click();
  EXPECT_EQ(Codes("depart"), "0% 02 ");
  EXPECT_EQ(Codes("pacttype"), "01 0101 ");
  EXPECT_EQ(Node("01"), nullptr);
}

TEST_F(CategoryWindowTest, AGivenPageLocksTheTabsAndTheMenuLeavesThemFree) {
  Open("合同类别");
  EXPECT_EQ(W->Caption(), "基本信息设置");
  EXPECT_EQ(W->pcBasic->ActivePage(), W->pacttype);
  EXPECT_EQ(W->Kind(), "pacttype");
  EXPECT_FALSE(W->pcBasic->Enabled());
  EXPECT_EQ(Outline(W->tvBasic->Items()->GetFirstNode()), "合同类别\n  01-合同甲\n");
  W->tbRefresh->Click();
  EXPECT_TRUE(W->pcBasic->Enabled());
  delete W;
  W = nullptr;
  Open("");
  EXPECT_TRUE(W->pcBasic->Enabled());
  EXPECT_EQ(W->Kind(), "depart");
}

// A dialog that takes a picked department, as the employee dialog does.
class CategoryPickTest : public CategoryWindowTest {
protected:
  void SetUp() override {
    CategoryWindowTest::SetUp();
    Dialog = new TForm(Application);
    NameEdit = new TEdit(Dialog);
    CodeEdit = new TEdit(Dialog);
    RegisterCategoryPickTarget("depart", Dialog, NameEdit, CodeEdit);
  }
  void TearDown() override {
    delete Dialog;
    CategoryWindowTest::TearDown();
  }
  // Opens the window modally to pick a department and plays Step in it.
  int PickThrough(std::function<void()> Step) {
    W = CreateForm<TfrmBasic>(Frm_Main);
    W->PageCaption = "部门类别";
    W->SelectKind = "depart";
    TModalSteps person({[&](TCustomForm*) { Step(); }});
    int result = W->ShowModal();
    EXPECT_FALSE(person.Overran());
    return result;
  }
  TForm* Dialog = nullptr;
  TEdit* NameEdit = nullptr;
  TEdit* CodeEdit = nullptr;
};

TEST_F(CategoryPickTest, APickWritesTheNameAndCodeIntoTheOpenDialogAndCloses) {
  EXPECT_EQ(PickThrough([&] {
              Select("0102");
              W->tbSelect->Click();
            }),
            mrOk);
  EXPECT_EQ(NameEdit->Text(), "部0102");
  EXPECT_EQ(CodeEdit->Text(), "0102");
  delete W;
  W = nullptr;
  PickThrough([&] {
    Select("");
    W->tvBasicDblClick(W->tvBasic);
  });
  EXPECT_EQ(NameEdit->Text(), "部门类别");
  EXPECT_EQ(CodeEdit->Text(), "");
}

TEST_F(CategoryPickTest, AFreedDialogTakesNoMorePicks) {
  delete Dialog;
  Dialog = nullptr;
  EXPECT_FALSE(DeliverCategoryPick("depart", "x", "01"));
}

TEST_F(CategoryWindowTest, TheMenuItemShowsTheWindowModally) {
  TModalSteps person({[&](TCustomForm* f) {
    auto* w = dynamic_cast<TfrmBasic*>(f);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->PageCaption.empty());
    EXPECT_TRUE(w->pcBasic->Enabled());
    w->tbExit->Click();
  }});
  Frm_Main->N20->Click();
  EXPECT_FALSE(person.Overran());
  EXPECT_EQ(person.Met(), (std::vector<String>{"TfrmBasic"}));
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_EQ(dynamic_cast<TfrmBasic*>(Screen->Forms(i)), nullptr);
}

TEST_F(CategoryWindowTest, TheEditsFollowTheSelectionMovedByKeys) {
  Open("部门类别");
  Select("");
  W->tvBasic->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(W->edtCode->Text(), "01");
  EXPECT_EQ(W->edtName->Text(), "部01");
  W->tvBasic->Perform(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(W->edtCode->Text(), "");
  EXPECT_EQ(W->edtName->Text(), "部门类别");
}

// The window as its user works it: a click on a node, "新增&A"'s arrow and "新增同级节点" in
// its menu, the name typed over the proposal's, "保存&S" clicked.
TEST_F(CategoryWindowTest, AUserAddsASiblingWithTheMouseAndTheKeyboard) {
  Open("部门类别");
  W->tvBasic->FullExpand();
  Application->ProcessMessages();
  TRect r = Node("0102")->DisplayRect(true);
  guitest::Click(W->tvBasic, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_EQ(W->edtCode->Text(), "0102");
  EXPECT_EQ(W->edtName->Text(), "部0102");

  // Chooses the sibling entry once the arrow's menu is up (inside the menu's own loop).
  QStringList entries;
  QTimer watch;
  watch.setInterval(5);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    watch.stop();
    for (QAction* a : menu->actions()) entries << a->text();
    for (QAction* a : menu->actions())
      if (a->text() == "新增同级节点") a->trigger();
    if (QWidget* still = QApplication::activePopupWidget()) still->close();
  });
  watch.start();
  guitest::Click(W->TB_Add, {W->TB_Add->Width() - 4, W->TB_Add->Height() / 2});
  ASSERT_TRUE(guitest::WaitFor([&] { return Editing(); }, 2000));
  EXPECT_EQ(entries, (QStringList{"新增同级节点", "新增下级节点"}));
  EXPECT_EQ(W->edtCode->Text(), "0104");
  EXPECT_TRUE(W->edtName->Focused());

  guitest::TypeKey(Qt::Key_Home);
  guitest::TypeKey(Qt::Key_End, Qt::ShiftModifier);
  stdtest::Commit(W->edtName, "采购部");
  EXPECT_EQ(W->edtName->Text(), "采购部");
  guitest::Click(W->TB_Save, {8, W->TB_Save->Height() / 2});
  Application->ProcessMessages();
  EXPECT_TRUE(Browsing());
  EXPECT_EQ(Scalar("select name from dict_cate where TableName='depart' and code='0104'"), "采购部");
  ASSERT_NE(Node("0104"), nullptr);
  EXPECT_EQ(Node("0104")->Parent(), Node("01"));
}

TEST_F(CategoryWindowTest, ScreenshotOfTheWindowAddingAChild) {
  ForceDirectories("screenshots");
  Open("");
  W->tvBasic->FullExpand();
  Select("0102");
  W->BeginAddChild();
  Application->ProcessMessages();
  EXPECT_TRUE(GrabToPng(W, "screenshots/category_window.png"));
  EXPECT_GT(FileSize("screenshots/category_window.png"), 1000);
  W->TB_Cancel->Click();
}

}  // namespace
