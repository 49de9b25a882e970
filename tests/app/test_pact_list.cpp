// The contract list over the contracts fixture, driven offscreen by keys and mouse clicks as a
// user drives it: opening at start and from the tool bar, searching by state, type, key,
// customer and project, following the current contract with its details, panels and totals,
// changing states over the selected rows, the plan and invoice commands, and the footer.
#include "AppInput.h"
#include "PactTest.h"

#include "app/U_FieldShow.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPact.h"
#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/Shell.h"
#include "gui/TreeView.h"

#include <QtGui/QInputMethodEvent>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <set>

using namespace guitest;

namespace {

using TCodes = std::set<String>;

TPoint Centre(TControl* C) { return {C->Width() / 2, C->Height() / 2}; }

class PactListTest : public PactFixtureTest {
protected:

  // Logs in; the main window opens the list as it shows.
  void Open() {
    LoginAsAdminAndShow();
    W = frmPact;
    ASSERT_NE(W, nullptr);
    Application->ProcessMessages();
  }

  TADOQuery* Pact() const { return Frm_Data->qryPact; }

  // The codes the list shows, in its order; the current row stays where it is.
  std::vector<String> ListOrder() {
    std::vector<String> codes;
    TADOQuery* q = Pact();
    if (!q->Active()) return codes;
    String back = q->Bookmark();
    q->DisableControls();
    for (q->First(); !q->Eof(); q->Next()) codes.push_back(q->FieldByName("PactCode")->AsString());
    if (!back.empty()) q->GotoBookmark(back);
    q->EnableControls();
    return codes;
  }
  TCodes Listed() {
    std::vector<String> order = ListOrder();
    return TCodes(order.begin(), order.end());
  }
  String Db(const String& sql) { return Scalar(sql); }
  String StateOf(const String& code) { return Db("select f_check from t_pact where PactCode=" + SqlStr(code)); }

  // ---- input

  // Types Text into an edit after emptying it, as a person does: a click into it, the
  // deleting keys, then the text from the input method.
  void TypeInto(TWinControl* Edit, const char* Text) {
    Click(Edit, Centre(Edit));
    Application->ProcessMessages();
    TypeKey(Qt::Key_End);
    for (int i = Length(Edit->Text()); i > 0; --i) TypeKey(Qt::Key_Backspace);
    if (*Text) {
      QInputMethodEvent e;
      e.setCommitString(QString::fromUtf8(Text));
      QApplication::sendEvent(InputWidget(Edit), &e);
    }
    Application->ProcessMessages();
  }
  void ClickOn(TControl* C) {
    Click(C, Centre(C));
    Application->ProcessMessages();
  }
  // Picks the search field by its title with the arrow keys.
  void ChooseSearchField(const String& Title) {
    W->cmbField->SetFocus();
    TypeKey(Qt::Key_Home);
    for (int i = 0; i < W->cmbField->Items()->Count() && W->cmbField->Text() != Title; ++i) TypeKey(Qt::Key_Down);
    ASSERT_EQ(W->cmbField->Text(), Title);
  }
  void DoubleClick(TControl* C, TPoint P) {
    Press(C, P, Qt::LeftButton, 1000);
    Release(C, P);
    Press(C, P, Qt::LeftButton, 50);
    Release(C, P);
    Application->ProcessMessages();
  }
  TTreeNode* TypeNode(const String& Text) {
    TTreeNodes* nodes = W->tvPactType->Items();
    for (int i = 0; i < nodes->Count(); ++i)
      if (nodes->Item(i)->Text() == Text) return nodes->Item(i);
    return nullptr;
  }
  TPoint NodePoint(TTreeNode* Node) {
    TRect r = Node->DisplayRect(true);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // The middle of the first column's cell of a contract in the list.
  TPoint RowPoint(TDBGridEh* Grid, TDataSet* Data, const String& Field, const String& Value) {
    int row = -1;
    String back = Data->Bookmark();
    Data->DisableControls();
    int i = 0;
    for (Data->First(); !Data->Eof() && row < 0; Data->Next(), ++i)
      if (Data->FieldByName(Field)->AsString() == Value) row = i;
    if (!back.empty()) Data->GotoBookmark(back);
    Data->EnableControls();
    EXPECT_GE(row, 0) << Value;
    TRect r = Grid->CellRect(Grid->DataToRawColumn(0), Grid->TopDataOffset() + row);
    EXPECT_FALSE(IsRectEmpty(r)) << Value << " is not in view";
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickRow(const String& Code, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    TPoint p = RowPoint(W->dgPact, Pact(), "PactCode", Code);
    SendMouse(W->dgPact, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, Mods, 1000);
    SendMouse(W->dgPact, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, Mods, 5);
    Application->ProcessMessages();
  }
  // Right-clicks Target at P and clicks the popup's entry Entry with the mouse.
  void ChooseFromPopup(TControl* Target, TPoint P, const char* Entry) {
    EXPECT_TRUE(appinput::ChooseFromPopup(Target, P, Entry)) << Entry;
  }
  void ShowPage(TTabSheet* Page) {
    Page->PageControl()->SetActivePage(Page);
    Application->ProcessMessages();
  }
  std::vector<String> MessageTexts() const {
    std::vector<String> t;
    for (const TShownMessage& m : Folder.Messages) t.push_back(m.Text);
    return t;
  }

  TfrmPact* W = nullptr;
};

const TCodes kToday = {"HT01", "HT02", "HT'03", "HT04", "HT05", "HT06", "HT07"};

// ---------------------------------------------------------------- the window

// What the layout gives each component is checked by the layout sweep (test_layouts.cpp); here,
// what the list's parts do once it is open among the program's windows.
TEST_F(PactListTest, TheToolBarRunsTheMainWindowsActionsAndEachGridHasItsPopup) {
  Open();
  struct TButtonCase {
    TToolButton* Button;
    TBasicAction* Action;
  } buttons[] = {{W->ToolButton1, Frm_Main->PactAdd},
                 {W->ToolButton2, Frm_Main->PactEdit},
                 {W->ToolButton3, Frm_Main->PactDel},
                 {W->ToolButton5, Frm_Main->PactPrint},
                 {W->ToolButton6, Frm_Main->PactExp}};
  for (const TButtonCase& b : buttons) EXPECT_EQ(b.Button->Action(), b.Action) << b.Button->Name();
  EXPECT_EQ(W->btnChart->Action(), Frm_Main->PactChart);
  EXPECT_EQ(W->PactEdit1->Action(), Frm_Main->PactEdit);
  EXPECT_EQ(W->ToolBar1->Images(), Frm_Main->Image_Tool);
  struct TMenuCase {
    TPopupMenu* Menu;
    TControl* Owner;
  } menus[] = {{W->pmPact, W->dgPact},     {W->pmPactZJ, W->dgPactZJ}, {W->pmPactJH, W->dgPactJH},
               {W->pmPactDoc, W->dgPactDoc}, {W->pmPactFP, W->dgPactFP}, {W->pmPactType, W->tvPactType}};
  for (const TMenuCase& m : menus) EXPECT_EQ(m.Owner->PopupMenu(), m.Menu) << m.Menu->Name();

  // The contract rows are selected whole and several at once, never edited in place, and
  // summed in the footer; of the details only the invoices are typed in.
  TDBGridOptions o = W->dgPact->Options();
  EXPECT_TRUE(o.Contains(dgRowSelect));
  EXPECT_TRUE(o.Contains(dgMultiSelect));
  EXPECT_FALSE(o.Contains(dgEditing));
  EXPECT_TRUE(W->dgPact->ReadOnly());
  EXPECT_TRUE(W->dgPact->SumList()->Active());
  EXPECT_TRUE(W->dgPactFP->Options().Contains(dgEditing));
  EXPECT_FALSE(W->dgPactFP->ReadOnly());
  EXPECT_TRUE(W->dgPactFP->SumList()->Active());
  EXPECT_TRUE(W->dgPactZJ->SumList()->Active());
  for (TDBGridEh* g : {W->dgPactZJ, W->dgPactJH, W->dgPactDoc}) EXPECT_TRUE(g->ReadOnly()) << g->Name();
  // The hidden code edit follows the current contract.
  EXPECT_FALSE(W->edtPactCode->Visible());
  EXPECT_EQ(W->edtPactCode->DataSource(), Frm_Data->dsPact);
  // The list opens on every state, without a message.
  EXPECT_TRUE(W->RadioButton1->Checked());
  EXPECT_TRUE(Folder.Messages.empty()) << MessageTexts()[0];
}

TEST_F(PactListTest, LoginShowsTheListAsTheOnlyChildAndTheToolBarRestoresIt) {
  Open();
  ASSERT_EQ(Frm_Main->MDIChildCount(), 1);
  EXPECT_EQ(Frm_Main->MDIChildren(0), W);
  EXPECT_EQ(W->Caption(), "合同信息");
  EXPECT_EQ(W->WindowState(), wsMaximized);
  Word y, m, d;
  DecodeDate(Today, y, m, d);
  EXPECT_EQ(W->dtBeginDate->Date(), EncodeDate(y, m, 1));
  EXPECT_EQ(W->dtEndDate->Date(), Today);
  EXPECT_EQ(W->StatusBar1->Panels()->Items(0)->Text(), "当前共有 " + IntToStr(pactfixture::kTodayCount) + " 条记录");
  EXPECT_EQ(Listed(), kToday);
  EXPECT_EQ(W->cmbField->Text(), "合同编号");
  EXPECT_EQ(W->tvPactType->Selected(), W->tvPactType->Items()->GetFirstNode());
  EXPECT_EQ(W->tvPactType->Items()->GetFirstNode()->Text(), "合同类别");
  // The main window went on after its first child.
  EXPECT_EQ(Frm_Main->StatusBar1->Panels()->Items(1)->Text(), "数据库路径: " + Folder.Path() + "DataBase/kelm.mdb");

  W->SetWindowState(wsMinimized);
  Application->ProcessMessages();
  ClickOn(Frm_Main->ToolButton1);  // "合同管理"
  EXPECT_EQ(frmPact, W);
  EXPECT_EQ(Frm_Main->MDIChildCount(), 1);
  EXPECT_NE(W->WindowState(), wsMinimized);
  EXPECT_EQ(Frm_Main->ActiveMDIChild(), W);

  // "关闭&Q" frees it; the tool bar makes a new one.
  ClickOn(W->TB_Exit);
  EXPECT_EQ(frmPact, nullptr);
  EXPECT_EQ(Frm_Main->MDIChildCount(), 0);
  ClickOn(Frm_Main->ToolButton1);
  ASSERT_NE(frmPact, nullptr);
  EXPECT_EQ(Frm_Main->MDIChildCount(), 1);
  EXPECT_EQ(frmPact->StatusBar1->Panels()->Items(0)->Text(), "当前共有 7 条记录");
  EXPECT_TRUE(Folder.Messages.empty());
}

// ---------------------------------------------------------------- searching

TEST_F(PactListTest, StateRadiosFilterTheListAndTheChartStatementFollows) {
  Open();
  ClickOn(W->RadioButton3);  // "执行中"
  EXPECT_EQ(W->StateFilter, "执行中");
  EXPECT_EQ(Listed(), (TCodes{"HT01", "HT'03", "HT06"}));
  EXPECT_NE(W->ChartSQL.find("f_check='执行中'"), String::npos) << W->ChartSQL;
  // The chart's statement runs: amounts by type of the contracts listed.
  TADOQuery* q = Frm_Data->Qry_Str;
  Frm_Data->OpenQuery(q, W->ChartSQL + " order by pacttype");
  std::vector<std::pair<String, String>> sums;
  for (q->First(); !q->Eof(); q->Next())
    sums.push_back({q->FieldByName("pacttype")->AsString(), CurrToStr(q->FieldByName("ttmoney")->AsCurrency())});
  EXPECT_EQ(sums, (std::vector<std::pair<String, String>>{{"工程合同", "80000"}, {"施工合同", "760000"}}));

  ClickOn(W->RadioButton5);  // "已结束": the one of a year ago stays out of the date range
  EXPECT_EQ(Listed(), (TCodes{"HT05"}));
  ClickOn(W->RadioButton1);  // "全部"
  EXPECT_EQ(W->StateFilter, "");
  EXPECT_EQ(Listed(), kToday);
  EXPECT_EQ(W->ChartSQL.find("f_check"), String::npos) << W->ChartSQL;
  EXPECT_NE(W->ChartSQL.find("PactDate>="), String::npos);
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(PactListTest, DoubleClickingATypeListsItsBranchAndSelectingAloneDoesNot) {
  Open();
  TTreeNode* engineering = TypeNode("01-工程合同");
  TTreeNode* purchase = TypeNode("02-采购合同");
  ASSERT_TRUE(engineering && purchase);
  ASSERT_NE(TypeNode("0101-施工合同"), nullptr);
  DoubleClick(W->tvPactType, NodePoint(engineering));
  EXPECT_EQ(W->tvPactType->Selected(), engineering);
  EXPECT_EQ(Listed(), (TCodes{"HT01", "HT02", "HT'03", "HT06", "HT07"}));
  EXPECT_NE(W->ChartSQL.find("typecode like '01%'"), String::npos) << W->ChartSQL;

  Click(W->tvPactType, NodePoint(purchase));
  Application->ProcessMessages();
  EXPECT_EQ(W->tvPactType->Selected(), purchase);
  EXPECT_EQ(Listed(), (TCodes{"HT01", "HT02", "HT'03", "HT06", "HT07"}));
  // The root lists every type again.
  DoubleClick(W->tvPactType, NodePoint(W->tvPactType->Items()->GetFirstNode()));
  EXPECT_EQ(Listed(), kToday);
}

TEST_F(PactListTest, ATypeCodeWithAQuoteListsItsContracts) {
  Exec("insert into dict_cate (code, name, TableName) values ('0''', '引号类别', 'pacttype')");
  Exec("insert into t_pact (PactCode, PactName, PactType, typecode, PactMoney, PactDate, f_check) values "
       "('HT08', '引号合同', '引号类别', '0''', 10, " + SqlDate(Today) + ", '未执行')");
  Open();
  TTreeNode* node = TypeNode("0'-引号类别");
  ASSERT_NE(node, nullptr);
  DoubleClick(W->tvPactType, NodePoint(node));
  EXPECT_EQ(Listed(), TCodes{"HT08"});
  EXPECT_TRUE(Folder.Messages.empty());
}

// The range starts on the first of the month and ends today, and the dates reach the
// statement the same way whatever the user's short-date format says.
TEST_F(PactListTest, TheDateRangeRunsFromTheFirstOfTheMonthWhateverTheDateFormat) {
  Word y, m, d;
  DecodeDate(Today, y, m, d);
  TDateTime first = EncodeDate(y, m, 1);
  for (auto [code, day] : {std::pair{"HT-FIRST", first}, {"HT-BEFORE", first - 1}, {"HT-TOMORROW", Today + 1}})
    Exec("insert into t_pact (PactCode, PactName, PactMoney, PactDate, f_check) values (" + SqlStr(code) + ", " +
         SqlStr(code) + ", 1, " + SqlDate(day) + ", '未执行')");
  struct TFormatScope {
    TFormatScope() {
      FormatSettings().ShortDateFormat = "dd/mm/yyyy";
      FormatSettings().DateSeparator = '/';
    }
    ~TFormatScope() { ResetFormatSettings(); }
  } format;
  Open();
  TCodes expected = kToday;
  expected.insert("HT-FIRST");
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(W->dtBeginDate->Date(), first);
}

TEST_F(PactListTest, KeysAndNamesWithAQuoteFindTheirContractsAndLikeSignsKeepTheirMeaning) {
  Open();
  struct TKeyCase {
    const char* Field;
    const char* Key;
    TCodes Codes;
  } keys[] = {
      {"合同编号", "HT'0", {"HT'03"}},
      {"合同编号", "HT0_", {"HT01", "HT02", "HT04", "HT05", "HT06", "HT07"}},
      {"合同编号", "T%3", {"HT'03"}},
      {"客户名称", "O'Hara", {"HT'03", "HT06"}},
      {"项目经理", "张", {"HT01", "HT04"}},
  };
  for (const TKeyCase& k : keys) {
    SCOPED_TRACE(k.Key);
    ChooseSearchField(k.Field);
    TypeInto(W->edtKey, k.Key);
    ClickOn(W->Btn_Search);
    EXPECT_EQ(Listed(), k.Codes);
  }
  // HT'03 found by its code shows its details.
  ChooseSearchField("合同编号");
  TypeInto(W->edtKey, "HT'0");
  ClickOn(W->Btn_Search);
  ASSERT_EQ(ListOrder(), std::vector<String>{"HT'03"});
  EXPECT_EQ(W->edtPactCode->Text(), "HT'03");
  EXPECT_EQ(W->tsPactDoc->Caption(), "合同文件 [ 1 ] ");
  EXPECT_EQ(W->tsPactZJ->Caption(), "资金计划 [ 1 ] ");
  EXPECT_EQ(W->tsPactJH->Caption(), "交货计划 [ 1 ] ");
  EXPECT_EQ(W->tsPactFP->Caption(), "合同发票 [ 1 ] ");
  EXPECT_EQ(W->lblCustName->Caption(), "O'Hara 建设");
  EXPECT_EQ(W->lblCustCode->Caption(), "KH'03");
  EXPECT_EQ(W->lblZContact->Caption(), "Sean O'Hara");
  EXPECT_EQ(W->lblPrjName->Caption(), "O'Hara 广场");
  EXPECT_EQ(W->lblPrjCode->Caption(), "XM'02");
  EXPECT_EQ(W->lblOut1->Caption(), "20000");

  // The customer and project boxes, with the key emptied.
  TypeInto(W->edtKey, "");
  TypeInto(W->edtCustName, "O'Hara");
  ClickOn(W->Btn_Search);
  EXPECT_EQ(Listed(), (TCodes{"HT'03", "HT06"}));
  TypeInto(W->edtPrjName, "O'Hara 广");
  ClickOn(W->Btn_Search);
  EXPECT_EQ(Listed(), (TCodes{"HT'03", "HT06"}));
  TypeInto(W->edtCustName, "");
  ClickOn(W->Btn_Search);
  EXPECT_EQ(Listed(), (TCodes{"HT'03", "HT06", "HT07"}));
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(PactListTest, AnEmptyKeyListsContractsWhoseSearchColumnIsEmpty) {
  Open();
  for (const char* field : {"项目经理", "项目名称"}) {
    SCOPED_TRACE(field);
    ChooseSearchField(field);
    TypeInto(W->edtKey, "");
    ClickOn(W->Btn_Search);
    EXPECT_EQ(Listed(), kToday);  // HT06 without a manager, HT04 without a project
  }
}

TEST_F(PactListTest, ASearchColumnThatIsNoColumnIsReportedAndTheButtonAndCursorComeBack) {
  Exec("insert into T_FieldShow (TableName, Field, Name, show, fieldtype) values ('pact', 'NoSuchCol', '不存在的列', "
       "false, 'text')");
  Open();
  String chart = W->ChartSQL;
  ChooseSearchField("不存在的列");
  TypeInto(W->edtKey, "x");
  ClickOn(W->Btn_Search);
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_NE(Folder.Messages[0].Text.find("NoSuchCol"), String::npos) << Folder.Messages[0].Text;
  EXPECT_TRUE(W->Btn_Search->Enabled());
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(W->ChartSQL, chart);
  // The next search works as ever.
  ChooseSearchField("合同编号");
  TypeInto(W->edtKey, "");
  ClickOn(W->Btn_Search);
  EXPECT_EQ(Listed(), kToday);
  EXPECT_EQ(Folder.Messages.size(), 1u);
}

// ---------------------------------------------------------------- the current contract

TEST_F(PactListTest, TheCurrentContractShowsItsDetailsNotesPanelsAndTotals) {
  Open();
  ClickRow("HT01");
  ASSERT_EQ(W->edtPactCode->Text(), "HT01");
  EXPECT_EQ(W->tsPactDoc->Caption(), "合同文件 [ 2 ] ");
  EXPECT_EQ(W->tsPactZJ->Caption(), "资金计划 [ 3 ] ");
  EXPECT_EQ(W->tsPactJH->Caption(), "交货计划 [ 1 ] ");
  EXPECT_EQ(W->tsPactFP->Caption(), "合同发票 [ 0 ] ");
  EXPECT_EQ(Frm_Data->qryPactDoc->RecordCount(), 2);
  EXPECT_EQ(W->dgPactZJ->Columns()->Count(), 7);  // the shown rows of "pact_zj"
  EXPECT_EQ(W->dgPactDoc->Columns()->Items(0)->Title()->Caption(), "文件名称");
  EXPECT_EQ(W->mmPactNote->Text(), "办公楼施工合同的说明");
  EXPECT_EQ(W->mmPactCNote->Text(), "办公楼施工合同的变更");
  struct TLabelCase {
    TLabel* Label;
    String Text;
  } labels[] = {
      {W->lblIn1, "1000.1"},        {W->lblIn2, "1000"},          {W->lblIn3, "0.1"},
      {W->lblOut1, "250"},          {W->lblOut2, "250"},          {W->lblOut3, "0"},
      {W->lblCustName, "华建集团"}, {W->lblCustCode, "KH01"},     {W->lblCustType, "客户"},
      {W->lblMaker, "Admin"},       {W->lblZContact, "赵明"},     {W->lblZPhone, "010-62001001"},
      {W->lblZMobile, "13800000001"}, {W->lblZEmail, "zhao@huajian.example"},
      {W->lblPrjName, "滨江大桥"},  {W->lblPrjCode, "XM01"},      {W->lblPrjType, "桥梁"},
      {W->lblPrjMan, "张工"},       {W->lblBeginDate, DateToStr(Today - 30)},
      {W->lblEndDate, DateToStr(Today + 300)},
  };
  for (const TLabelCase& l : labels) EXPECT_EQ(l.Label->Caption(), l.Text) << l.Label->Name();
  // The footer of the fund plan sums its amounts.
  EXPECT_EQ(W->dgPactZJ->GetFooterText(0, W->dgPactZJ->Columns()->Items(1)), "1250.1");

  // A contract without plan rows or project.
  ClickRow("HT04");
  ASSERT_EQ(W->edtPactCode->Text(), "HT04");
  for (TLabel* l : {W->lblIn1, W->lblIn2, W->lblIn3, W->lblOut1, W->lblOut2, W->lblOut3})
    EXPECT_EQ(l->Caption(), "0") << l->Name();
  for (TLabel* l : {W->lblPrjName, W->lblPrjCode, W->lblPrjType, W->lblPrjMan, W->lblBeginDate, W->lblEndDate})
    EXPECT_EQ(l->Caption(), "") << l->Name();
  EXPECT_EQ(W->lblCustName->Caption(), "华建集团");
  EXPECT_EQ(W->tsPactZJ->Caption(), "资金计划 [ 0 ] ");
  // The detail grids keep their columns and titles from one contract to the next.
  EXPECT_EQ(W->dgPactZJ->Columns()->Count(), 7);
  EXPECT_EQ(W->dgPactZJ->Columns()->Items(1)->Title()->Caption(), "金额");
  EXPECT_EQ(W->dgPactFP->Columns()->Items(0)->Title()->Caption(), "发票号码");
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(PactListTest, DoubleClickingTheListRunsTheEditActionOnlyWhileItIsEnabled) {
  Open();
  int runs = 0;
  Frm_Main->PactEdit->OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  TPoint p = RowPoint(W->dgPact, Pact(), "PactCode", "HT02");
  DoubleClick(W->dgPact, p);
  EXPECT_EQ(runs, 1);
  Frm_Main->PactEdit->SetEnabled(false);
  DoubleClick(W->dgPact, p);
  EXPECT_EQ(runs, 1);
  Frm_Main->PactEdit->OnExecute = TNotifyEvent();
}

// ---------------------------------------------------------------- contract states

TEST_F(PactListTest, AStateCommandWritesExactlyTheSelectedRows) {
  Open();
  DoubleClick(W->tvPactType, NodePoint(TypeNode("01-工程合同")));
  std::vector<String> order = ListOrder();
  ASSERT_EQ(order.size(), 5u);
  ClickRow(order[0]);
  ClickRow(order[2], Qt::ControlModifier);
  ClickRow(order[4], Qt::ControlModifier);
  ASSERT_EQ(W->dgPact->SelectedRows()->Count(), 3);
  std::map<String, String> before;
  for (const pactfixture::TContract& c : pactfixture::Contracts()) before[c.Code] = StateOf(c.Code);
  ChooseFromPopup(W->dgPact, RowPoint(W->dgPact, Pact(), "PactCode", order[1]), "合同已终止");
  for (const pactfixture::TContract& c : pactfixture::Contracts()) {
    bool chosen = c.Code == order[0] || c.Code == order[2] || c.Code == order[4];
    EXPECT_EQ(StateOf(c.Code), chosen ? String("已终止") : before[c.Code]) << c.Code;
  }
  EXPECT_EQ(Pact()->State(), dsBrowse);
  EXPECT_TRUE(Folder.Messages.empty());

  // With no row selected nothing changes.
  ClickRow(order[1]);
  W->dgPact->SelectedRows()->Clear();
  ChooseFromPopup(W->dgPact, RowPoint(W->dgPact, Pact(), "PactCode", order[1]), "合同已结束");
  for (const pactfixture::TContract& c : pactfixture::Contracts()) {
    bool chosen = c.Code == order[0] || c.Code == order[2] || c.Code == order[4];
    EXPECT_EQ(StateOf(c.Code), chosen ? String("已终止") : before[c.Code]) << c.Code;
  }
}

TEST_F(PactListTest, ASelectedRowThatIsGoneIsSkippedAndTheOthersChange) {
  Open();
  ClickRow("HT01");
  ClickRow("HT02", Qt::ControlModifier);
  ClickRow("HT05", Qt::ControlModifier);
  ASSERT_EQ(W->dgPact->SelectedRows()->Count(), 3);
  // HT02 leaves the list (and the database) while the others stay selected; its mark goes
  // with it or is skipped.
  ASSERT_TRUE(Pact()->Locate("PactCode", Variant(String("HT02")), {}));
  Pact()->Delete();
  ChooseFromPopup(W->dgPact, RowPoint(W->dgPact, Pact(), "PactCode", "HT04"), "合同已结束");
  EXPECT_TRUE(Folder.Messages.empty()) << MessageTexts()[0];
  EXPECT_EQ(StateOf("HT01"), "已结束");
  EXPECT_EQ(StateOf("HT05"), "已结束");
  EXPECT_EQ(StateOf("HT02"), "");
  EXPECT_EQ(StateOf("HT04"), "已终止");
}

TEST_F(PactListTest, ARefusedRowLeavesEveryRowAsItWasAndTheErrorIsShown) {
  Open();
  // The program's statements are one each; a trigger's body holds one of its own, so it goes
  // into the file by SQLite itself.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db,
                         "create trigger refuse_ht02 before update on t_pact when old.PactCode='HT02' "
                         "begin select raise(abort, '合同HT02已锁定'); end",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::vector<String> order = ListOrder();
  auto at = [&](const String& code) { return std::find(order.begin(), order.end(), code) - order.begin(); };
  // Three rows whose second in the list's order is HT02.
  std::vector<String> picked = {"HT01", "HT02", "HT05"};
  std::sort(picked.begin(), picked.end(), [&](const String& a, const String& b) { return at(a) < at(b); });
  ASSERT_EQ(picked[1], "HT02") << "the fixture's order put HT02 elsewhere";
  ClickRow(picked[0]);
  ClickRow(picked[1], Qt::ControlModifier);
  ClickRow(picked[2], Qt::ControlModifier);
  if (W->dgPact->SelectedRows()->Count() == 2) ClickRow(picked[0], Qt::ControlModifier);
  ASSERT_EQ(W->dgPact->SelectedRows()->Count(), 3);
  ChooseFromPopup(W->dgPact, RowPoint(W->dgPact, Pact(), "PactCode", "HT04"), "合同已结束");
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_NE(Folder.Messages[0].Text.find("合同HT02已锁定"), String::npos) << Folder.Messages[0].Text;
  for (const pactfixture::TContract& c : pactfixture::Contracts()) EXPECT_EQ(StateOf(c.Code), c.State) << c.Code;
  // The list shows what the database holds.
  EXPECT_EQ(Pact()->State(), dsBrowse);
  String back = Pact()->Bookmark();
  for (const String& code : picked) {
    ASSERT_TRUE(Pact()->Locate("PactCode", Variant(code), {}));
    EXPECT_EQ(Pact()->FieldByName("f_check")->AsString(), StateOf(code)) << code;
  }
  Pact()->GotoBookmark(back);
}

// ---------------------------------------------------------------- plans and invoices

TEST_F(PactListTest, SettlingKeepsASettledDateAndTheFirstInvoiceIsStoredWithItsContract) {
  Open();
  ClickRow("HT01");
  ShowPage(W->tsPactZJ);
  TADOQuery* zj = Frm_Data->qryPactZJ;
  String settledBefore = Db("select sjdate from t_pact_zj where PactCode='HT01' and money=1000");
  ASSERT_FALSE(settledBefore.empty());
  struct TPlanCase {
    const char* Money;
    const char* Entry;
    const char* State;
    bool DateToday;  // else the date stays as it was
  } cases[] = {
      {"1000", "资金已完成", "已完成", false},
      {"0.1", "资金已完成", "已完成", true},
      {"0.1", "资金未完成", "未完成", true},  // the date set just before stays
  };
  for (const TPlanCase& c : cases) {
    SCOPED_TRACE(String(c.Money) + c.Entry);
    String before = Db("select sjdate from t_pact_zj where PactCode='HT01' and money=" + String(c.Money));
    TPoint p = RowPoint(W->dgPactZJ, zj, "money", c.Money);
    Click(W->dgPactZJ, p);
    Application->ProcessMessages();
    ChooseFromPopup(W->dgPactZJ, p, c.Entry);
    EXPECT_EQ(Db("select f_check from t_pact_zj where PactCode='HT01' and money=" + String(c.Money)), c.State);
    String after = Db("select sjdate from t_pact_zj where PactCode='HT01' and money=" + String(c.Money));
    if (c.DateToday && String(c.Entry) == "资金已完成") EXPECT_EQ(after, DateToStr(Today));
    else EXPECT_EQ(after, before);
  }
  EXPECT_EQ(Db("select sjdate from t_pact_zj where PactCode='HT01' and money=1000"), settledBefore);
  // The totals follow the plan's states.
  EXPECT_EQ(W->lblIn2->Caption(), "1000");
  EXPECT_EQ(W->lblIn3->Caption(), "0.1");

  // The delivery plan.
  ShowPage(W->tsPactJH);
  ChooseFromPopup(W->dgPactJH, RowPoint(W->dgPactJH, Frm_Data->qryPactJH, "GoodsName", "钢筋"), "交货已完成");
  EXPECT_EQ(Db("select f_check from t_pact_jh where PactCode='HT01'"), "已完成");

  // The first invoice of a contract that has none.
  ShowPage(W->tsPactFP);
  ASSERT_EQ(W->tsPactFP->Caption(), "合同发票 [ 0 ] ");
  ClickOn(W->btnAddFP);
  TADOQuery* fp = Frm_Data->qryPactFP;
  ASSERT_EQ(fp->State(), dsInsert);
  EXPECT_EQ(fp->FieldByName("PactCode")->AsString(), "HT01");
  fp->FieldByName("fpcode")->SetAsString("FP'9");
  fp->FieldByName("fpmoney")->SetAsCurrency(500);
  ClickOn(W->btnPostFP);
  EXPECT_EQ(fp->State(), dsBrowse);
  EXPECT_EQ(Db("select PactCode from t_pact_fp where fpcode='FP''9'"), "HT01");
  EXPECT_EQ(Db("select count(*) from t_pact_fp where PactCode='HT01'"), "1");
  // "删除选中记录" removes the current one only.
  ClickRow("HT02");
  ASSERT_EQ(fp->RecordCount(), 2);
  ClickOn(W->btnDelFP);
  EXPECT_EQ(Db("select count(*) from t_pact_fp where PactCode='HT02'"), "1");
  EXPECT_TRUE(Folder.Messages.empty());
}

TEST_F(PactListTest, DocumentsOpenThroughTheShellAndAMissingFileIsReported) {
  Open();
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  ClickRow("HT01");
  ShowPage(W->tsPactDoc);
  TADOQuery* doc = Frm_Data->qryPactDoc;
  TPoint p = RowPoint(W->dgPactDoc, doc, "DocName", "施工图.txt");
  Click(W->dgPactDoc, p);
  Application->ProcessMessages();
  ChooseFromPopup(W->dgPactDoc, p, "打开文件");
  ChooseFromPopup(W->dgPactDoc, p, "打开文件夹");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_NE(opened[0].find("PactDoc"), String::npos) << opened[0];
  EXPECT_NE(opened[0].find(".txt"), String::npos) << opened[0];
  EXPECT_EQ(opened[1].find(".txt"), String::npos) << "the folder: " << opened[1];
  EXPECT_TRUE(Folder.Messages.empty());

  // A move down from the last row leaves the list past it (Eof) on that row: it is still
  // the document opened.
  // (The entry is clicked without the right click that would choose a row first.)
  TMenuItem* openFile = W->pmPactDoc->Items()->Items(0);
  doc->Last();
  openFile->Click();
  doc->Next();
  ASSERT_TRUE(doc->Eof());
  openFile->Click();
  ASSERT_EQ(opened.size(), 4u);
  EXPECT_EQ(opened[3], opened[2]);
  EXPECT_NE(opened[2], opened[0]);
  opened.resize(2);
  doc->First();
  Click(W->dgPactDoc, p);
  Application->ProcessMessages();

  DeleteFile(pactfixture::DocumentPath(Folder.Path(), "施工图.txt"));
  ChooseFromPopup(W->dgPactDoc, p, "打开文件夹");
  EXPECT_EQ(opened.size(), 2u);
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_NE(Folder.Messages[0].Text.find("施工图.txt"), String::npos) << Folder.Messages[0].Text;
  SetShellHandler(previous);
}

// ---------------------------------------------------------------- columns and categories

TEST_F(PactListTest, SaveColumnsChooserAndCategoryWindowRunFromThePopups) {
  Open();
  ClickRow("HT01");
  ShowPage(W->tsPactZJ);
  W->dgPactZJ->Columns()->Items(0)->SetWidth(123);
  ChooseFromPopup(W->dgPactZJ, RowPoint(W->dgPactZJ, Frm_Data->qryPactZJ, "money", "250"), "保存列属性");
  EXPECT_EQ(Db("select width from T_FieldShow where tablename='pact_zj' and field='zjtype'"), "123");
  ASSERT_EQ(Folder.Messages.size(), 1u);
  EXPECT_EQ(Folder.Messages[0].Text, TFrm_Main::ColumnsSavedText);

  // The column chooser for the list, and the category window on the contract types.
  std::vector<String> met;
  {
    TModalSteps steps({[&](TCustomForm* f) {
      auto* chooser = dynamic_cast<TFrm_FieldShow*>(f);
      ASSERT_NE(chooser, nullptr);
      met.push_back(chooser->TableName);
      chooser->Btn_exit->Click();
    }});
    ChooseFromPopup(W->dgPact, RowPoint(W->dgPact, Pact(), "PactCode", "HT01"), "设置列显示");
    EXPECT_FALSE(steps.Overran());
  }
  {
    TModalSteps steps({[&](TCustomForm* f) {
      auto* basic = dynamic_cast<TfrmBasic*>(f);
      ASSERT_NE(basic, nullptr);
      met.push_back(basic->pcBasic->ActivePage()->Caption());
      basic->tbExit->Click();
    }});
    ChooseFromPopup(W->tvPactType, NodePoint(TypeNode("01-工程合同")), "合同类别管理");
    EXPECT_FALSE(steps.Overran());
  }
  EXPECT_EQ(met, (std::vector<String>{"Pact", "合同类别"}));
}

// ---------------------------------------------------------------- footer and picture

TEST_F(PactListTest, TheFooterSumsTheAmountsOfTheRowsShown) {
  Open();
  // Each search builds the columns again: the amount's column is looked up each time.
  auto footer = [&] {
    for (int i = 0; i < W->dgPact->Columns()->Count(); ++i) {
      TColumnEh* c = W->dgPact->Columns()->Items(i);
      if (SameText(c->FieldName(), "PactMoney")) return W->dgPact->GetFooterText(0, c);
    }
    return String("no amount column");
  };
  EXPECT_EQ(footer(), pactfixture::kTodaySum);
  ClickOn(W->RadioButton3);  // "执行中"
  EXPECT_EQ(footer(), "840000");
  DoubleClick(W->tvPactType, NodePoint(TypeNode("01-工程合同")));
  EXPECT_EQ(Listed(), (TCodes{"HT01", "HT'03", "HT06"}));
  EXPECT_EQ(footer(), "840000");
  ClickOn(W->RadioButton1);
  EXPECT_EQ(footer(), "1055000.5");
  DoubleClick(W->tvPactType, NodePoint(TypeNode("02-采购合同")));
  EXPECT_EQ(footer(), "345000");
}

TEST_F(PactListTest, Screenshot) {
  Open();
  Frm_Main->SetWindowState(wsNormal);
  Frm_Main->SetBounds(0, 0, 1000, 700);
  Application->ProcessMessages();
  ClickRow("HT01");
  ShowPage(W->tsTotal);
  ForceDirectories("screenshots");
  ASSERT_TRUE(GrabToPng(Frm_Main, "screenshots/contract_list.png"));
  EXPECT_GT(FileSize("screenshots/contract_list.png"), 5000);
}

}  // namespace
