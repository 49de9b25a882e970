// The code-tree window driven by a person's clicks and keys offscreen: proposals for new
// codes, refused codes, adding, renaming and deleting nodes, picking a code for the dialog
// that opened it, and its own connections to the database file.
#include "AppInput.h"
#include "AppWindows.h"

#include "app/U_tree.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"

#include <filesystem>
#include <functional>

using namespace appinput;

namespace {

TEST(CodeTreeRoutines, PadTreeCodeAndIsNumericText) {
  struct TPad {
    const char *Text, *Padded;
  } pads[] = {{"1", "01"}, {"4", "04"}, {"10", "10"}, {"104", "0104"}, {"", ""}, {"12345", "012345"}};
  for (const TPad& p : pads) EXPECT_EQ(PadTreeCode(p.Text), p.Padded) << p.Text;
  struct TNumeric {
    const char* Text;
    bool Numeric;
  } numerics[] = {{"0101", true}, {"9", true},    {"", false},  {"1a", false},  {"1e05", false},
                  {"-1", false},  {"+1", false},  {" 01", false}, {"1.5", false}, {"０１", false}};
  for (const TNumeric& n : numerics) EXPECT_EQ(IsNumericText(n.Text), n.Numeric) << n.Text;
}

// The descriptors the process holds open on a file.
int OpenHandlesOn(const String& File) {
  namespace fs = std::filesystem;
  fs::path target = fs::canonical(File);
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    fs::path linked = fs::read_symlink(entry.path(), ec);
    if (!ec && linked == target) ++count;
  }
  return count;
}

class CodeTreeTest : public AppWindowsTest {
protected:
  void TearDown() override {
    delete W;
    AppWindowsTest::TearDown();
  }
  void Codes(std::vector<const char*> codes) {
    for (const char* c : codes)
      Exec("insert into Category_Cust (code, name) values (" + SqlStr(c) + ", " + SqlStr(String("类") + c) + ")");
  }
  // The window over the customer categories, shown (not modally), its tree opened out.
  void Open() {
    W = CreateForm<TFrm_Tree>(Frm_Main);
    W->TableName = "Category_Cust";
    W->TreeCaption = "往来单位类别";
    W->Show();
    W->TreeView1->FullExpand();
    Application->ProcessMessages();
  }
  TTreeNode* Node(const String& code) {
    TTreeNodes* nodes = W->TreeView1->Items();
    for (int i = 0; i < nodes->Count(); ++i)
      if (StartsStr(code + "-", nodes->Item(i)->Text())) return nodes->Item(i);
    return nullptr;
  }
  TTreeNode* Root() { return W->TreeView1->Items()->GetFirstNode(); }
  void ClickCode(const String& code) {
    TTreeNode* n = code.empty() ? Root() : Node(code);
    ASSERT_NE(n, nullptr) << code;
    ClickNode(W->TreeView1, n);
  }
  String Stored() {
    TADOQuery* q = Frm_Data->Qry_Str;
    Frm_Data->OpenQuery(q, "select code from Category_Cust order by code");
    String s;
    for (q->First(); !q->Eof(); q->Next()) s += q->Fields()->Fields(0)->AsString() + " ";
    return s;
  }
  bool Browsing() {
    return W->TB_Add->Enabled() && W->TB_Edit->Enabled() && W->TB_Del->Enabled() && W->TB_Select->Enabled() &&
           W->TB_Refresh->Enabled() && !W->TB_Save->Enabled() && !W->TB_Cancel->Enabled();
  }
  bool Editing() {
    return !W->TB_Add->Enabled() && !W->TB_Edit->Enabled() && !W->TB_Del->Enabled() && !W->TB_Select->Enabled() &&
           !W->TB_Refresh->Enabled() && W->TB_Save->Enabled() && W->TB_Cancel->Enabled();
  }
  // The boxes shown since the last call.
  std::vector<String> Boxes() {
    std::vector<String> texts;
    for (const TShownMessage& m : Folder.Messages) texts.push_back(m.Text);
    Folder.Messages.clear();
    return texts;
  }
  TFrm_Tree* W = nullptr;
};

TEST_F(CodeTreeTest, TheWindowOpensWithItsLayoutAndTheTableAsATree) {
  Codes({"01", "0101", "02"});
  Open();
  EXPECT_EQ(W->Caption(), "往来单位类别");
  EXPECT_EQ(Root()->Text(), "往来单位类别");
  ASSERT_NE(Node("0101"), nullptr);
  EXPECT_EQ(Node("0101")->Parent(), Node("01"));
  struct TButton {
    TToolButton* Button;
    const char* Caption;
    bool Enabled;
  } buttons[] = {{W->TB_Add, "新增&A", true},      {W->TB_Edit, "编辑&E", true},    {W->TB_Del, "删除&D", true},
                 {W->TB_Save, "保存&S", false},    {W->TB_Cancel, "取消&C", false}, {W->TB_Select, "选择&C", true},
                 {W->TB_Refresh, "刷新&R", true},  {W->TB_Close, "退出&Q", true}};
  for (const TButton& b : buttons) {
    EXPECT_EQ(b.Button->Caption(), b.Caption);
    EXPECT_EQ(b.Button->Enabled(), b.Enabled) << b.Caption;
  }
  EXPECT_EQ(W->ImageList1->Count(), 8) << "the tool bar has pictures of its own";
  EXPECT_EQ(W->TB_Add->DropdownMenu(), W->PopupMenu1);
  EXPECT_EQ(W->N1->Caption(), "新增同级节点");
  EXPECT_EQ(W->N1->ShortCut(), TextToShortCut("F3"));
  EXPECT_EQ(W->N2->Caption(), "新增下级节点");
  EXPECT_EQ(W->N2->ShortCut(), TextToShortCut("F4"));
  EXPECT_TRUE(W->TreeView1->ReadOnly());
  EXPECT_FALSE(W->TreeView1->HideSelection());
  EXPECT_EQ(W->Edit_Code->MaxLength(), 11);
  EXPECT_FALSE(W->Edit_Code->Enabled());
  EXPECT_FALSE(W->Edit_Name->Enabled());
  EXPECT_EQ(W->Edit_Code->Text(), "");
}

TEST_F(CodeTreeTest, ProposalsCountTheLastTwoDigitsUnderTheSameParent) {
  Open();
  // An empty table proposes 01 whatever is asked, and keeps the name typed.
  ClickCode("");
  Key(Qt::Key_F4);
  EXPECT_EQ(W->Edit_Code->Text(), "01");
  EXPECT_TRUE(Editing());
  ClickOn(W->TB_Cancel);
  EXPECT_TRUE(Browsing());
  delete W;
  W = nullptr;

  Codes({"01", "0101", "0102", "0103", "02", "0201", "03"});
  Codes({"0101010101010101"});
  Open();
  struct TCase {
    const char* From;  // "" the root
    int Key;           // F3 a sibling, F4 a child, 0 the add button (a child)
    const char* Proposal;
  } cases[] = {
      {"0101", Qt::Key_F3, "0104"},  {"0103", Qt::Key_F4, "010301"}, {"0103", 0, "010301"},
      {"01", Qt::Key_F4, "0104"},    {"", Qt::Key_F4, "04"},          {"", Qt::Key_F3, "04"},
      {"02", Qt::Key_F3, "04"},      {"0201", Qt::Key_F3, "0202"},
      // Deeper than 32 bits hold: the level's own two digits count.
      {"0101010101010101", Qt::Key_F3, "0101010101010102"},
      {"0101010101010101", Qt::Key_F4, "010101010101010101"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.From) + " " + std::to_string(c.Key));
    ClickCode(c.From);
    W->Edit_Name->SetText("旧名");
    if (c.Key) Key(c.Key);
    else ClickOn(W->TB_Add);
    EXPECT_EQ(W->Edit_Code->Text(), c.Proposal);
    EXPECT_EQ(W->Edit_Name->Text(), "");
    EXPECT_TRUE(W->Edit_Code->Enabled());
    EXPECT_TRUE(W->Edit_Name->Enabled());
    EXPECT_EQ(W->IsNew, 1);
    EXPECT_EQ(W->AsChild, c.Key == Qt::Key_F3 ? 0 : 1);
    EXPECT_TRUE(Editing());
    EXPECT_FALSE(W->N1->Enabled()) << "no second add while one is pending";
    ClickOn(W->TB_Cancel);
    EXPECT_EQ(W->AsChild, 0);
    EXPECT_TRUE(Browsing());
    EXPECT_EQ(W->Edit_Code->Text(), c.From) << "the selected node shows again";
  }
}

TEST_F(CodeTreeTest, AFullLevelGetsNoProposalAndNoCodeOfAnotherParent) {
  Codes({"01"});
  for (int i = 1; i <= 99; ++i) Codes({(Format("01%.2d", {i})).c_str()});
  Codes({"09", "99"});
  Open();
  struct TCase {
    const char* From;
    int Key;
  } cases[] = {{"01", Qt::Key_F4}, {"0199", Qt::Key_F3}, {"0150", Qt::Key_F3}, {"99", Qt::Key_F3}, {"", Qt::Key_F4}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.From);
    ClickCode(c.From);
    Key(c.Key);
    EXPECT_EQ(W->Edit_Code->Text(), "");
    ClickOn(W->TB_Cancel);
  }
  EXPECT_EQ(Node("0200"), nullptr);
}

TEST_F(CodeTreeTest, RefusedCodesKeepTheWindowEditingAndStoreNothing) {
  Codes({"01", "0101", "02"});
  Open();
  struct TCase {
    const char *Code, *Box;
  } cases[] = {{"1a", "编码必须是数字!"},  {"1e05", "编码必须是数字!"}, {"", "编码必须是数字!"},
               {"-1", "编码必须是数字!"},  {"+1", "编码必须是数字!"},   {"012", "编码规则出错!"},
               {"0101", "编码重复!,不能保存!"}, {"0301", "编码错误,父节点不存在!"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Code);
    ClickCode("01");
    Key(Qt::Key_F4);
    ClickOn(W->Edit_Name);
    Type("新的");
    ClickOn(W->Edit_Code);
    TypeOver(c.Code);
    ClickOn(W->TB_Save);
    std::vector<String> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], c.Box);
    EXPECT_TRUE(Editing());
    EXPECT_TRUE(W->Edit_Code->Focused()) << "the code is to be corrected";
    ClickOn(W->TB_Cancel);
  }
  EXPECT_EQ(Stored(), "01 0101 02 ");
  EXPECT_EQ(Node("0301"), nullptr);
}

TEST_F(CodeTreeTest, ANewCodeIsWrittenOnTheWindowsOwnConnectionAndShownAfterRefresh) {
  Codes({"01", "0101", "02"});
  Open();
  for (TADOQuery* q : {W->Qry_repeat, W->Qry, W->Qry_Hy}) {
    EXPECT_EQ(q->ConnectionString(), Frm_Data->ConnectionString());
    EXPECT_NE(q->Connection(), Frm_Data->ADOConnection1);
  }
  ClickCode("0101");
  Key(Qt::Key_F3);
  ASSERT_EQ(W->Edit_Code->Text(), "0102");
  ClickOn(W->Edit_Name);
  Type(" O'Neil 五金 ");
  ClickOn(W->TB_Save);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Browsing());
  EXPECT_TRUE(W->Edit_Code->Enabled()) << "the edits stay as they were";
  // Read back on the data module's connection.
  EXPECT_EQ(Scalar("select name from Category_Cust where code='0102'"), "O'Neil 五金");
  ASSERT_NE(Node("0102"), nullptr);
  EXPECT_EQ(Node("0102")->Parent(), Node("01"));
  EXPECT_EQ(Node("0102")->Text(), "0102-O'Neil 五金");

  // A code typed over the proposal goes under its own parent, whatever node is selected.
  ClickCode("0101");
  Key(Qt::Key_F4);
  ClickOn(W->Edit_Code);
  TypeOver("0201");
  ClickOn(W->Edit_Name);
  Type("别处");
  ClickOn(W->TB_Save);
  ASSERT_NE(Node("0201"), nullptr);
  EXPECT_EQ(Node("0201")->Parent(), Node("02"));

  // Written by another program meanwhile: shown after a refresh, the root selected.
  Codes({"03"});
  EXPECT_EQ(Node("03"), nullptr);
  ClickOn(W->TB_Refresh);
  EXPECT_NE(Node("03"), nullptr);
  EXPECT_NE(Node("0201"), nullptr);
  EXPECT_EQ(W->TreeView1->Selected(), Root());
  EXPECT_EQ(W->Edit_Code->Text(), "");
  EXPECT_EQ(W->Edit_Name->Text(), "往来单位类别");
  EXPECT_EQ(Stored(), "01 0101 0102 02 0201 03 ");
}

TEST_F(CodeTreeTest, DeletingTakesTheSelectedLeafAndRefusesANodeWithChildren) {
  Codes({"01", "0101", "0102", "0103", "02"});
  Open();
  ClickCode("01");
  ClickOn(W->TB_Del);
  std::vector<String> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "不能删除有子目录的目录，请先删除子目录！");
  EXPECT_EQ(Stored(), "01 0101 0102 0103 02 ");

  // Clicked 0102, then moved to 0103 by a key: 0103 goes, 0102 stays.
  ClickCode("0102");
  Key(Qt::Key_Down);
  ASSERT_EQ(W->TreeView1->Selected(), Node("0103"));
  {
    TDialogScript cancel;
    cancel.Button(IDCANCEL);
    ClickOn(W->TB_Del);
    ASSERT_EQ(cancel.Asked().size(), 1u);
    EXPECT_EQ(cancel.Asked()[0].Text, "你真的要删除所选择的目录吗？");
    EXPECT_NE(cancel.Asked()[0].Flags & MB_OKCANCEL, 0);
  }
  EXPECT_EQ(Stored(), "01 0101 0102 0103 02 ");
  TDialogScript ok;
  ok.Button(IDOK);
  ClickOn(W->TB_Del);
  EXPECT_EQ(Stored(), "01 0101 0102 02 ");
  EXPECT_EQ(Node("0103"), nullptr);
  EXPECT_NE(Node("0102"), nullptr);
}

TEST_F(CodeTreeTest, ARenameChangesTheNodeAndTheRow) {
  Codes({"01", "0101", "02"});
  Open();
  ClickCode("0101");
  ClickOn(W->TB_Edit);
  EXPECT_TRUE(Editing());
  EXPECT_EQ(W->IsNew, 0);
  EXPECT_FALSE(W->Edit_Code->Enabled());
  EXPECT_TRUE(W->Edit_Name->Enabled());
  ClickOn(W->Edit_Name);
  TypeOver(" 钢材-线材 ");
  ClickOn(W->TB_Save);
  EXPECT_TRUE(Browsing());
  EXPECT_FALSE(W->Edit_Name->Enabled());
  EXPECT_EQ(Node("0101")->Text(), "0101-钢材-线材");
  EXPECT_EQ(Scalar("select name from Category_Cust where code='0101'"), "钢材-线材");
  EXPECT_EQ(Scalar("select name from Category_Cust where code='01'"), "类01");
  ClickCode("02");
  ClickCode("0101");
  EXPECT_EQ(W->Edit_Name->Text(), "钢材-线材") << "the name after the first hyphen";

  // The root names no row; a node gone meanwhile cannot be renamed.
  ClickCode("");
  ClickOn(W->TB_Edit);
  ClickOn(W->TB_Save);
  ClickOn(W->TB_Cancel);
  ClickCode("02");
  Exec("delete from Category_Cust where code='02'");
  ClickOn(W->TB_Edit);
  ClickOn(W->TB_Save);
  std::vector<String> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "请点击取消按钮再重新选择一个节点进行编辑!");
  EXPECT_EQ(boxes[1], "您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!");
  EXPECT_TRUE(Editing());
  EXPECT_EQ(Scalar("select count(*) from Category_Cust where code='02'"), "0");
}

TEST_F(CodeTreeTest, ATableNameThatIsNoIdentifierIsAClearErrorAndTheWindowCloses) {
  const String bad = "Category_Cust; drop table tUser";
  W = CreateForm<TFrm_Tree>(Frm_Main);
  W->TableName = bad;
  W->TreeCaption = "类别";
  // A person who does nothing: a window still up after the step is cancelled and counted.
  TModalSteps person({[&](TCustomForm*) {}});
  try {
    W->ShowModal();
  } catch (const ETreeTableName& e) {
    Folder.Messages.push_back({e.Message(), "", 0});
  }
  EXPECT_FALSE(person.Overran()) << "the window closed by itself";
  EXPECT_FALSE(W->Visible());
  std::vector<String> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_GT(Pos(bad, boxes[0]), 0) << "the error names the table";
  EXPECT_EQ(Scalar("select count(*) from tUser"), "1");
  EXPECT_EQ(W->TreeView1->Items()->Count(), 0);
}

TEST_F(CodeTreeTest, FreeingTheWindowClosesItsConnections) {
  Codes({"01", "0101"});
  String file = Folder / "DataBase/kelm.mdb";
  Open();
  ClickCode("0101");
  Key(Qt::Key_F3);
  ClickOn(W->Edit_Name);
  Type("x");
  ClickOn(W->TB_Save);  // every query of the window has worked on the file
  // The file's descriptors are counted with the data module's connection closed: while it
  // holds a lock, the system keeps the descriptor of a closed connection to the same file.
  Frm_Data->ADOConnection1->Close();
  EXPECT_GE(OpenHandlesOn(file), 3) << "the window's three connections";
  delete W;
  W = nullptr;
  Application->ProcessMessages();
  EXPECT_EQ(OpenHandlesOn(file), 0);
}

// ---------------------------------------------------------------- picking

// A dialog that takes a picked category, as the legacy contract dialog does.
class TStandInDialog : public TForm {
public:
  explicit TStandInDialog(TComponent* AOwner) : TForm(AOwner) {
    Edit_TYPE = new TEdit(this);
    Edit_TYPE->SetParent(this);
  }
  ~TStandInDialog() override {
    if (StandIn == this) StandIn = nullptr;
  }
  String TypeCode;
  TEdit* Edit_TYPE = nullptr;
  static TStandInDialog* StandIn;
};
TStandInDialog* TStandInDialog::StandIn = nullptr;

class CodeTreePickTest : public CodeTreeTest {
protected:
  void SetUp() override {
    CodeTreeTest::SetUp();
    RegisterTreeCaller(11, TStandInDialog::StandIn, &TStandInDialog::TypeCode, &TStandInDialog::Edit_TYPE);
    Codes({"01", "0101", "02"});
  }
  void TearDown() override {
    UnregisterTreeCaller(11);
    delete TStandInDialog::StandIn;
    CodeTreeTest::TearDown();
  }
  // The window shown modally in the given mode while Step plays in it; true when the window
  // closed by itself (false: it was still up after the step, and cancelled).
  bool PickThrough(int Mode, std::function<void()> Step) {
    W = CreateForm<TFrm_Tree>(Frm_Main);
    W->TableName = "Category_Cust";
    W->TreeCaption = "合同类别";
    W->CallerMode = Mode;
    TModalSteps person({[&](TCustomForm*) {
      W->TreeView1->FullExpand();
      Step();
    }});
    W->ShowModal();
    return !person.Overran();
  }
};

TEST_F(CodeTreePickTest, ModeElevenWritesCodeAndNameIntoTheOpenDialogAndCloses) {
  TStandInDialog::StandIn = new TStandInDialog(Application);
  EXPECT_TRUE(PickThrough(11, [&] {
    ClickCode("0101");
    ClickOn(W->TB_Select);
  }));
  EXPECT_EQ(TStandInDialog::StandIn->TypeCode, "0101");
  EXPECT_EQ(TStandInDialog::StandIn->Edit_TYPE->Text(), "类0101");
  delete W;
  W = nullptr;
  // A double click picks too.
  EXPECT_TRUE(PickThrough(11, [&] { DoubleClickNode(W->TreeView1, Node("02")); }));
  EXPECT_EQ(TStandInDialog::StandIn->TypeCode, "02");
  EXPECT_EQ(TStandInDialog::StandIn->Edit_TYPE->Text(), "类02");
}

TEST_F(CodeTreePickTest, WithoutItsDialogOpenAModeWritesNothingAndCloses) {
  EXPECT_TRUE(PickThrough(11, [&] {
    ClickCode("0101");
    ClickOn(W->TB_Select);
  }));
  delete W;
  W = nullptr;
  EXPECT_TRUE(PickThrough(1, [&] {  // the goods dialog, not built: no row at all
    ClickCode("0101");
    ClickOn(W->TB_Select);
  }));
}

TEST_F(CodeTreePickTest, ModeZeroDoesNothing) {
  TStandInDialog::StandIn = new TStandInDialog(Application);
  EXPECT_FALSE(PickThrough(0, [&] {
    ClickCode("0101");
    ClickOn(W->TB_Select);
    DoubleClickNode(W->TreeView1, Node("02"));
  }));
  EXPECT_EQ(TStandInDialog::StandIn->TypeCode, "");
  EXPECT_EQ(TStandInDialog::StandIn->Edit_TYPE->Text(), "");
}

// ---------------------------------------------------------------- the openers

TEST_F(CodeTreeTest, TheMainWindowsCategoryActionsOpenTheWindowModallyOnTheirTable) {
  struct TCase {
    TAction* TFrm_Main::*Action;
    const char* Caption;
  } cases[] = {{&TFrm_Main::Category_cust, "往来单位类别"}, {&TFrm_Main::Category_wd, "文档类别"}};
  Codes({"01"});
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Caption);
    TModalSteps person({[&](TCustomForm* f) {
      auto* w = dynamic_cast<TFrm_Tree*>(f);
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->TableName, "Category_Cust");
      EXPECT_EQ(w->Caption(), c.Caption);
      EXPECT_EQ(w->TreeView1->Items()->GetFirstNode()->Text(), c.Caption);
      EXPECT_EQ(w->CallerMode, 0);
      ClickOn(w->TB_Close);
    }});
    (Frm_Main->*c.Action)->Execute();
    EXPECT_FALSE(person.Overran());
    EXPECT_EQ(person.Met(), (std::vector<String>{"TFrm_Tree"}));
    for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_EQ(dynamic_cast<TFrm_Tree*>(Screen->Forms(i)), nullptr);
  }
}

TEST_F(CodeTreeTest, ScreenshotOfTheWindowAddingAChild) {
  Codes({"01", "0101", "0102", "02"});
  Open();
  ClickCode("0102");
  Key(Qt::Key_F4);
  ClickOn(W->Edit_Name);
  Type("螺纹钢");
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(W, "screenshots/code_tree_window.png"));
  EXPECT_GT(FileSize("screenshots/code_tree_window.png"), 1000);
}

}  // namespace
