// The receipt and payment schedules and the due-date reminder, as real windows over a
// database whose fund rows each test inserts: which rows each lists, the conditions, marking
// an item settled, the green rows, and the commands of their buttons and popups.
#include "AppWindows.h"

#include "app/ufrmInMoney.h"
#include "app/ufrmMoneyTX.h"
#include "app/ufrmOutMoney.h"
#include "core/DateUtils.h"
#include "core/StrUtils.h"
#include "grid/DBGridEh.h"
#include "grid/PrnDbgeh.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"

#include <memory>
#include <tuple>

namespace {

// 18 March 2026: the month began 17 days ago.
const TDateTime kToday = EncodeDate(2026, 3, 18);

class MoneyTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Clock = std::make_unique<TClockOverride>(kToday + 0.4);
    const char* types[][2] = {{"01", "工程"}, {"0101", "土建"}, {"02", "服务"}};
    for (auto& t : types)
      Exec("insert into dict_cate (code, name, TableName) values (" + SqlStr(t[0]) + ", " + SqlStr(t[1]) + ", 'pacttype')");
    struct Pact {
      const char *Code, *Name, *Type, *Prj, *Man, *Cust;
    };
    const Pact pacts[] = {
        {"HT1", "O'Brien 大楼", "01", "一期工程", "张三", "甲公司"},
        {"HT2", "道路", "0101", "二期工程", "李四", "乙公司"},
        {"HT3", "维护", "02", "运维", "王五", "丙公司"},
    };
    for (const Pact& p : pacts)
      Exec(String("insert into t_pact (PactCode, PactName, typecode, PrjName, PrjMan, CustName) values (") +
           SqlStr(p.Code) + ", " + SqlStr(p.Name) + ", " + SqlStr(p.Type) + ", " + SqlStr(p.Prj) + ", " + SqlStr(p.Man) +
           ", " + SqlStr(p.Cust) + ")");
  }
  void TearDown() override {
    Clock.reset();
    AppWindowsTest::TearDown();
  }
  // A fund row tagged Tag (in its Remark), planned Days from today.
  void Fund(const String& Tag, const String& Pact, const String& Kind, int Days, const String& State = "未完成",
            const String& Method = "现金", double Money = 100) {
    Exec("insert into t_pact_zj (PactCode, zjtype, money, jhdate, Method, f_check, Remark) values (" + SqlStr(Pact) +
         ", " + SqlStr(Kind) + ", " + SqlFloat(Money) + ", " + SqlDate(kToday + Days) + ", " + SqlStr(Method) + ", " +
         SqlStr(State) + ", " + SqlStr(Tag) + ")");
  }
  // The main window after a login, its reminder kept quiet; the MDI children it opens by
  // itself (the contract list) counted apart.
  void ShowMain() {
    LoginAsAdminAndShow();
    Frm_Main->ttTX->SetEnabled(false);
    ChildrenAtStart = Frm_Main->MDIChildCount();
  }
  TMoneySchedule* Open(bool Receipts) {
    (Receipts ? Frm_Main->MoneyIn : Frm_Main->MoneyOut)->Execute();
    Application->ProcessMessages();
    return Receipts ? static_cast<TMoneySchedule*>(frmInMoney) : frmOutMoney;
  }
  static std::vector<String> Tags(TDataSet* q) {
    std::vector<String> tags;
    TDataSet::TBookmark here = q->GetBookmark();
    for (q->First(); !q->Eof(); q->Next()) tags.push_back(q->FieldByName("Remark")->AsString());
    q->GotoBookmark(here);
    q->FreeBookmark(here);
    return tags;
  }
  template <class T> static T* Part(TMoneySchedule* w, const char* Name) {
    auto* c = dynamic_cast<T*>(w->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
  }
  static void Search(TMoneySchedule* w) { Part<TButton>(w, "Btn_Search")->Click(); }
  void GoTo(TMoneySchedule* w, const String& Tag) {
    ASSERT_TRUE(w->Query()->Locate("Remark", Variant(Tag), TLocateOptions())) << Tag;
  }
  String Settled(const String& Tag, const char* Column) {
    return Scalar(String("select ") + Column + " from t_pact_zj where Remark=" + SqlStr(Tag));
  }

  std::unique_ptr<TClockOverride> Clock;
  int ChildrenAtStart = 0;
};

// ---------------------------------------------------------------- the schedules

TEST_F(MoneyTest, EachScheduleListsItsKindFromTheFirstOfTheMonthToTodayLatestFirst) {
  Fund("R-today", "HT1", "收款", 0);
  Fund("R-first", "HT1", "收款", -17);
  Fund("R-february", "HT1", "收款", -18);
  Fund("R-tomorrow", "HT1", "收款", 1);
  Fund("R-mid", "HT3", "收款", -5, "已完成", "支票", 250.5);
  Fund("P-mid", "HT2", "付款", -3);
  Fund("P-first", "HT3", "付款", -17);
  ShowMain();
  struct Case {
    bool Receipts;
    const char* Caption;
    std::vector<String> Tags;
    const char* FirstTitle;
  };
  const Case cases[] = {
      {true, "收款查询", {"R-today", "R-mid", "R-first"}, "合同名称"},
      {false, "付款查询", {"P-mid", "P-first"}, "合同名称"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    TMoneySchedule* w = Open(c.Receipts);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), c.Caption);
    EXPECT_EQ(Tags(w->Query()), c.Tags);
    EXPECT_EQ(Part<TDateTimePicker>(w, "dtBeginDate")->Date(), EncodeDate(2026, 3, 1));
    EXPECT_EQ(Part<TDateTimePicker>(w, "dtEndDate")->Date(), kToday);
    EXPECT_EQ(Part<TComboBox>(w, "cmbWCType")->Text(), "全部");
    TComboBox* methods = Part<TComboBox>(w, "cmbMethod");
    ASSERT_EQ(methods->Items()->Count(), 6);
    EXPECT_EQ(methods->Items()->Strings(0), "");
    EXPECT_EQ(methods->Items()->Strings(1), "现金");
    EXPECT_EQ(methods->ItemIndex(), 0);
    TTreeView* tree = Part<TTreeView>(w, "tvPactType");
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "合同类别");
    EXPECT_EQ(Part<TStatusBar>(w, "StatusBar1")->Panels()->Items(0)->Text(),
              "当前共有 " + IntToStr(static_cast<int>(c.Tags.size())) + " 条记录");
    EXPECT_EQ(w->Grid()->Columns()->Items(0)->Title()->Caption(), c.FirstTitle);
    EXPECT_EQ(w->Grid()->Columns()->Items(0)->FieldName(), "PactName");
  }
  // The days to go and the footer sum of the receipts.
  TMoneySchedule* w = frmInMoney;
  GoTo(w, "R-mid");
  EXPECT_EQ(w->Query()->FieldByName("xcday")->AsInteger(), -5);
  TColumnEh* money = nullptr;
  for (int i = 0; i < w->Grid()->Columns()->Count(); ++i)
    if (w->Grid()->Columns()->Items(i)->FieldName() == "money") money = w->Grid()->Columns()->Items(i);
  ASSERT_NE(money, nullptr);
  EXPECT_EQ(w->Grid()->GetFooterText(0, money), "450.5");
  EXPECT_EQ(Frm_Main->MDIChildCount(), ChildrenAtStart + 2);
  // Asked again, the open window comes forward; none is made.
  Open(true);
  EXPECT_EQ(Frm_Main->MDIChildCount(), ChildrenAtStart + 2);
}

TEST_F(MoneyTest, ATypeNodeListsReceiptsOfThatTypeOnlyAndPaymentsOfItsSubTypesToo) {
  const char* pacts[] = {"HT1", "HT2", "HT3"};
  for (int i = 0; i < 3; ++i) {
    Fund(String("R-") + pacts[i], pacts[i], "收款", -1 - i);
    Fund(String("P-") + pacts[i], pacts[i], "付款", -1 - i);
  }
  ShowMain();
  struct Case {
    bool Receipts;
    std::vector<String> Tags;
  };
  const Case cases[] = {{true, {"R-HT1"}}, {false, {"P-HT1", "P-HT2"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Receipts);
    TMoneySchedule* w = Open(c.Receipts);
    EXPECT_EQ(Tags(w->Query()).size(), 3u);
    TTreeView* tree = Part<TTreeView>(w, "tvPactType");
    TTreeNode* node = nullptr;
    for (int i = 0; i < tree->Items()->Count(); ++i)
      if (tree->Items()->Item(i)->Text() == "01-工程") node = tree->Items()->Item(i);
    ASSERT_NE(node, nullptr);
    // A click on the node selects it, a double click on it searches.
    TRect r = node->DisplayRect(true);
    LPARAM at = PointToLParam(TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    tree->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    tree->Perform(WM_LBUTTONUP, 0, at);
    tree->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    tree->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(tree->Selected(), node);
    EXPECT_EQ(Tags(w->Query()), c.Tags);
  }
  EXPECT_EQ(TMoneySchedule::TypeCodeOf("0101-土建-二"), "0101");
  EXPECT_EQ(TMoneySchedule::TypeCodeOf("合同类别"), "");
}

TEST_F(MoneyTest, TheConditionsNarrowTheListAndQuotesAreFoundAsTyped) {
  Fund("a", "HT1", "收款", -1, "未完成", "现金");
  Fund("b", "HT2", "收款", -2, "已完成", "支票");
  Fund("c", "HT3", "收款", -3, "未完成", "支票");
  ShowMain();
  TMoneySchedule* w = Open(true);
  struct Case {
    const char* Edit;  // the control set, '' for none
    const char* Text;
    std::vector<String> Tags;
  };
  const Case cases[] = {
      {"edtPactName", "O'Brien", {"a"}}, {"edtPactName", "'", {"a"}},    {"edtPrjName", "工程", {"a", "b"}},
      {"edtPrjMan", "王", {"c"}},         {"edtCustName", "乙", {"b"}},   {"cmbMethod", "支票", {"b", "c"}},
      {"cmbWCType", "已完成", {"b"}},     {"cmbWCType", "未完成", {"a", "c"}}, {"", "", {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Edit) + " " + c.Text);
    for (const char* e : {"edtPactName", "edtPrjName", "edtPrjMan", "edtCustName"}) Part<TEdit>(w, e)->SetText("");
    Part<TComboBox>(w, "cmbMethod")->SetItemIndex(0);
    Part<TComboBox>(w, "cmbWCType")->SetItemIndex(0);
    if (StartsStr("cmb", c.Edit)) {
      TComboBox* combo = Part<TComboBox>(w, c.Edit);
      combo->SetItemIndex(combo->Items()->IndexOf(c.Text));
    } else if (*c.Edit) {
      Part<TEdit>(w, c.Edit)->SetText(c.Text);
    }
    Search(w);
    EXPECT_EQ(Tags(w->Query()), c.Tags);
  }
  // Dates outside the range find nothing.
  Part<TDateTimePicker>(w, "dtBeginDate")->SetDate(kToday - 1);
  Search(w);
  EXPECT_EQ(Tags(w->Query()), std::vector<String>{"a"});
}

TEST_F(MoneyTest, MarkingSettledWritesStateAndTodayAndAnItemSettledBeforeKeepsItsDay) {
  Fund("open", "HT1", "收款", -1);
  Fund("other", "HT2", "收款", -2);
  Fund("done", "HT3", "收款", -3, "已完成");
  Exec("update t_pact_zj set sjdate=" + SqlDate(kToday - 10) + " where Remark='done'");
  ShowMain();
  TMoneySchedule* w = Open(true);
  TMenuItem* settle = Part<TMenuItem>(w, "N8");
  EXPECT_EQ(settle->Caption(), "资金已完成");
  Part<TComboBox>(w, "cmbWCType")->SetItemIndex(2);  // 未完成
  Search(w);
  EXPECT_EQ(Tags(w->Query()), (std::vector<String>{"open", "other"}));
  GoTo(w, "other");
  settle->Click();
  EXPECT_EQ(Tags(w->Query()), std::vector<String>{"open"});
  EXPECT_EQ(Part<TStatusBar>(w, "StatusBar1")->Panels()->Items(0)->Text(), "当前共有 1 条记录");
  EXPECT_EQ(Settled("other", "f_check"), "已完成");
  // The date is stored as a day, not as text.
  EXPECT_EQ(Settled("other", "typeof(sjdate)"), "real");
  EXPECT_EQ(Settled("other", "sjdate"), "2026-03-18");
  EXPECT_EQ(Settled("open", "f_check"), "未完成");
  // Settled before: marked again, it keeps the day it was settled.
  Part<TComboBox>(w, "cmbWCType")->SetItemIndex(0);
  Search(w);
  GoTo(w, "done");
  settle->Click();
  EXPECT_EQ(Settled("done", "sjdate"), "2026-03-08");
  // An empty list: nothing happens.
  Part<TEdit>(w, "edtPactName")->SetText("no such contract");
  Search(w);
  ASSERT_TRUE(w->Query()->IsEmpty());
  settle->Click();
  EXPECT_EQ(Settled("open", "f_check"), "未完成");
}

// How many pixels inside a cell (3 pixels in from its edges, clear of the grid lines and of
// the border the picture adds) are of a colour, and their share.
int CountWhere(TBitmap* Shot, const TRect& R, const std::function<bool(TColor)>& Pred) {
  int n = 0;
  for (int y = R.Top + 3; y < R.Bottom - 3; ++y)
    for (int x = R.Left + 3; x < R.Right - 3; ++x) n += Pred(Shot->Canvas()->Pixels(x, y));
  return n;
}
double ShareOf(TBitmap* Shot, const TRect& R, TColor Colour) {
  int all = std::max(0, R.Width() - 6) * std::max(0, R.Height() - 6);
  return all ? double(CountWhere(Shot, R, [&](TColor c) { return c == Colour; })) / all : 0;
}
// Text pixels: light ones (white text, smoothed) and dark ones.
bool Light(TColor c) { return GetRValue(c) > 150 && GetGValue(c) > 150 && GetBValue(c) > 150; }
bool Dark(TColor c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; }

TEST_F(MoneyTest, SettledRowsAreDrawnWhiteOnGreenAndAMarkedRowAtOnce) {
  Fund("settled", "HT1", "收款", -1, "已完成");
  Fund("open", "HT2", "收款", -2);
  ShowMain();
  TMoneySchedule* w = Open(true);
  TDBGridEh* grid = w->Grid();
  auto shot = [&] {
    Application->ProcessMessages();
    auto b = std::make_unique<TBitmap>();
    b->SetSize(grid->Width(), grid->Height());
    grid->PaintTo(b->Canvas(), 0, 0);
    return b;
  };
  // Rows 1 and 2 below the title, latest first; column 1 after the indicator.
  auto first = shot();
  TRect settledCell = grid->CellRect(1, 1), openCell = grid->CellRect(1, 2);
  EXPECT_GT(ShareOf(first.get(), settledCell, clGreen), 0.5);
  EXPECT_GT(CountWhere(first.get(), settledCell, Light), 20) << "the text in white";
  EXPECT_EQ(CountWhere(first.get(), settledCell, Dark), 0) << "and none in black";
  EXPECT_GT(CountWhere(first.get(), openCell, Dark), 20) << "the open row's text is black";
  EXPECT_EQ(ShareOf(first.get(), openCell, clGreen), 0);
  ForceDirectories("screenshots");
  first->SaveToPngFile("screenshots/receipts_settled_rows.png");
  GoTo(w, "open");
  Part<TMenuItem>(w, "N8")->Click();
  auto second = shot();
  EXPECT_GT(ShareOf(second.get(), grid->CellRect(1, 2), clGreen), 0.5);
}

TEST_F(MoneyTest, TheButtonsExportPrintSaveTheColumnsAndClose) {
  Fund("open", "HT1", "收款", -1);
  ShowMain();
  TMoneySchedule* w = Open(true);
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(w, "screenshots/receipts_window.png"));
  {
    TDialogScript script;
    script.File(Folder / "receipts").Button(IDNO);
    Part<TButton>(w, "btnExp")->Click();
    EXPECT_EQ(script.Unanswered(), 0);
    String file;
    ASSERT_TRUE(ReadFileToString(Folder / "receipts.xls", file));
    EXPECT_NE(file.find("O'Brien"), String::npos);
  }
  Part<TButton>(w, "btnPrint")->Click();
  EXPECT_EQ(Frm_Main->dgPrint->DBGridEh(), w->Grid());
  ASSERT_EQ(Frm_Main->dgPrint->Title()->Count(), 1);
  EXPECT_EQ(Frm_Main->dgPrint->Title()->Strings(0), "收款打印");
  // 保存列属性: the first column's width goes back to its row.
  EXPECT_EQ(Part<TMenuItem>(w, "MenuItem1")->Caption(), "保存列属性");
  w->Grid()->Columns()->Items(0)->SetWidth(222);
  {
    TDialogScript script;
    script.Button(mrOk);
    Part<TMenuItem>(w, "MenuItem1")->Click();
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_EQ(script.Asked()[0].Text, "列属性已成功保存!");
  }
  EXPECT_EQ(Scalar("select width from T_FieldShow where TableName='moneyin' and Field='PactName'"), "222");
  Part<TButton>(w, "btnClose")->Click();
  Application->ProcessMessages();
  EXPECT_EQ(frmInMoney, nullptr);
  EXPECT_EQ(Frm_Main->MDIChildCount(), ChildrenAtStart);
}

// ---------------------------------------------------------------- the reminder

TEST_F(MoneyTest, TheReminderListsEachKindDueWithinTheDaysOverdueIncludedButNeverSettled) {
  Exec("update T_SoftInfo set txday=3");
  Fund("in+3", "HT1", "收款", 3);
  Fund("in+4", "HT1", "收款", 4);
  Fund("in-40", "HT2", "收款", -40);
  Fund("in+1-done", "HT1", "收款", 1, "已完成");
  Fund("out+2", "HT3", "付款", 2);
  Fund("out-1", "HT3", "付款", -1);
  Fund("out-9", "HT2", "付款", -9);
  ShowMain();
  TModalSteps person({[&](TCustomForm* f) {
    auto* w = static_cast<TfrmMoneyTX*>(f);
    EXPECT_EQ(w->Caption(), "收付款提醒");
    EXPECT_EQ(Tags(Frm_Data->qryInMoneyTX), (std::vector<String>{"in+3", "in-40"}));
    EXPECT_EQ(Tags(Frm_Data->qryOutMoneyTX), (std::vector<String>{"out+2", "out-1", "out-9"}));
    EXPECT_EQ(w->TabSheet1->Caption(), "收款提醒 [ 2 ] ");
    EXPECT_EQ(w->TabSheet2->Caption(), "付款提醒 [ 3 ] ");
    TStatusPanel* notice = w->StatusBar1->Panels()->Items(1);
    EXPECT_EQ(notice->Text(), "设置提前几天提醒 在系统管理 选项设置里面设定即可");
    EXPECT_EQ(notice->Alignment(), taCenter);
    EXPECT_EQ(w->dgOutMoney->Columns()->Items(2)->Title()->Caption(), "付款金额");
    ForceDirectories("screenshots");
    EXPECT_TRUE(GrabToPng(w, "screenshots/reminder_window.png"));
    // Each page's popup exports its own list.
    for (auto [item, file, tag] : {std::tuple{w->Excel1, "in", "in-40"}, std::tuple{w->Excel2, "out", "out-9"}}) {
      EXPECT_EQ(item->Caption(), "导出Excel");
      TDialogScript script;
      script.File(Folder / file).Button(IDNO);
      item->Click();
      String bytes;
      ASSERT_TRUE(ReadFileToString(Folder / file + ".xls", bytes));
      EXPECT_NE(bytes.find(tag), String::npos) << file;
    }
    w->Close();
  }});
  Frm_Main->ToolButton8->Click();
  EXPECT_EQ(person.Met(), std::vector<String>{"TfrmMoneyTX"});
  EXPECT_FALSE(person.Overran());
}

TEST_F(MoneyTest, AReminderWindowThatIsNoWholeNumberIsOneErrorAndNoWindow) {
  Fund("due", "HT1", "收款", 0);
  ShowMain();
  for (const char* value : {"null", "''", "'3天'"}) {
    SCOPED_TRACE(value);
    Exec(String("update T_SoftInfo set txday=") + value);
    TModalSteps person({[](TCustomForm* f) { f->Close(); }});
    EXPECT_THROW(Frm_Main->ToolButton8->Click(), EConvertError);
    Application->ProcessMessages();
    EXPECT_TRUE(person.Met().empty());
  }
  EXPECT_EQ(TfrmMoneyTX::DueRowsSQL(kToday, 3, "收款"),
            "select * from (select *, jhdate-#2026-03-18# as xcday from s_pactzj) where zjtype='收款'  and xcday<=3 and "
            "f_check='未完成' order by jhdate desc");
}

}  // namespace
