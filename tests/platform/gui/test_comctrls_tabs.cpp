// Page controls and tab controls: pages read from a layout, hidden tabs, tab changes by the
// user (asked, vetoed, told), pages shown by code, captions changed at run time, the button
// styles and their display areas, Ctrl+Tab, and several rows of tabs.
#include "StdTestUtil.h"

#include "core/ClassBuilder.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "core/Filer.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;

namespace {

class TPcForm : public TForm {
  KELM_CLASS(TPcForm, TForm)
public:
  explicit TPcForm(TComponent* AOwner) : TForm(AOwner) {}
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TTabSheet* TabSheet3 = nullptr;
  TEdit* Edit1 = nullptr;
  std::vector<std::string> Log;
  bool Allow = true;
  void PageControl1Changing(TObject*, bool& AllowChange) {
    Log.push_back("changing " + PageControl1->ActivePage()->Name());
    AllowChange = Allow;
  }
  void PageControl1Change(TObject*) { Log.push_back("change " + PageControl1->ActivePage()->Name()); }
};

}  // namespace

KELM_PUBLISH(TPcForm) {
  b.Field("PageControl1", &TPcForm::PageControl1);
  b.Field("TabSheet1", &TPcForm::TabSheet1);
  b.Field("TabSheet2", &TPcForm::TabSheet2);
  b.Field("TabSheet3", &TPcForm::TabSheet3);
  b.Field("Edit1", &TPcForm::Edit1);
  b.Method("PageControl1Changing", &TPcForm::PageControl1Changing);
  b.Method("PageControl1Change", &TPcForm::PageControl1Change);
}

namespace {

const char* const PcLayout =
    "object PcForm: TPcForm\n"
    "  Left = 40\n"
    "  Top = 40\n"
    "  Width = 400\n"
    "  Height = 300\n"
    "  object PageControl1: TPageControl\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 360\n"
    "    Height = 240\n"
    "    ActivePage = TabSheet3\n"
    "    TabOrder = 0\n"
    "    OnChange = PageControl1Change\n"
    "    OnChanging = PageControl1Changing\n"
    "    object TabSheet1: TTabSheet\n"
    "      Caption = '合同基本信息'\n"
    "      object Edit1: TEdit\n"
    "        Left = 8\n"
    "        Top = 8\n"
    "        Width = 121\n"
    "        Height = 21\n"
    "        TabOrder = 0\n"
    "      end\n"
    "    end\n"
    "    object TabSheet2: TTabSheet\n"
    "      Caption = '数据恢复'\n"
    "      TabVisible = False\n"
    "    end\n"
    "    object TabSheet3: TTabSheet\n"
    "      Caption = '客户信息'\n"
    "    end\n"
    "  end\n"
    "end\n";

struct PageControlFixture : ::testing::Test {
  TPcForm* F = nullptr;
  TPageControl* PC = nullptr;
  void SetUp() override {
    F = new TPcForm(Application);
    ReadComponentFromText(F, PcLayout);
    F->Show();
    Application->ProcessMessages();
    PC = F->PageControl1;
  }
  void TearDown() override {
    delete F;
    Application->ProcessMessages();
  }
  void ClickTab(int tab) {
    TRect r = PC->TabRect(tab);
    Click(PC, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Application->ProcessMessages();
  }
  std::vector<bool> Shown() {
    std::vector<bool> v;
    for (int i = 0; i < PC->PageCount(); ++i) v.push_back(PC->Pages(i)->Visible());
    return v;
  }
};

}  // namespace

TEST_F(PageControlFixture, PagesComeFromTheLayoutAndAHiddenTabStaysHidden) {
  ASSERT_NE(PC, nullptr);
  EXPECT_EQ(PC->PageCount(), 3);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet3);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true})) << "only the active page shows";
  EXPECT_EQ(F->TabSheet1->TabIndex(), 0);
  EXPECT_EQ(F->TabSheet2->TabIndex(), -1);
  EXPECT_EQ(F->TabSheet3->TabIndex(), 1) << "the hidden tab takes no place among the tabs";
  EXPECT_EQ(PC->TabIndex(), 1);
  EXPECT_EQ(PC->Perform(TCM_GETITEMCOUNT), 2);
  EXPECT_TRUE(IsRectEmpty(PC->TabRect(2)));
  TRect t0 = PC->TabRect(0), t1 = PC->TabRect(1);
  EXPECT_EQ(t1.Left, t0.Right) << "the visible tabs lie side by side";
  // The page fills the display area inside the frame.
  TRect d = PC->DisplayRect();
  EXPECT_EQ(F->TabSheet3->BoundsRect(), d);
  EXPECT_EQ(d.Top, t0.Bottom + 4);
  EXPECT_TRUE(F->Log.empty()) << "loading runs no change events";
}

TEST_F(PageControlFixture, ClickingATabAsksThenChangesAndTells) {
  ClickTab(0);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet1);
  EXPECT_EQ(F->Log, (std::vector<std::string>{"changing TabSheet3", "change TabSheet1"}));
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(PC->Focused()) << "clicking a tab focuses the control";
  // A veto keeps the page.
  F->Log.clear();
  F->Allow = false;
  ClickTab(1);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet1);
  EXPECT_EQ(F->Log, (std::vector<std::string>{"changing TabSheet1"}));
  // Arrow keys on the focused control change the tab the same way.
  F->Allow = true;
  F->Log.clear();
  Key(Qt::Key_Right);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet3);
  EXPECT_EQ(F->Log, (std::vector<std::string>{"changing TabSheet1", "change TabSheet3"}));
}

TEST_F(PageControlFixture, CodeShowsAnyPageWithoutEvents) {
  PC->SetActivePage(F->TabSheet2);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet2);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false})) << "a page with a hidden tab can still be shown";
  EXPECT_EQ(PC->TabIndex(), -1) << "no tab is selected for it";
  EXPECT_EQ(PC->ActivePageIndex(), 1);
  PC->SetActivePageIndex(0);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet1);
  EXPECT_TRUE(F->Log.empty());
  // A page's OnShow and OnHide follow.
  std::vector<std::string> seen;
  F->TabSheet1->OnHide = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("hide 1"); });
  F->TabSheet3->OnShow = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("show 3"); });
  PC->SetActivePage(F->TabSheet3);
  EXPECT_EQ(seen, (std::vector<std::string>{"hide 1", "show 3"}));
}

TEST_F(PageControlFixture, HidingEveryTabLeavesOnlyThePage) {
  // As the backup window does: both tabs hidden, one page shown.
  PC->SetStyle(tsFlatButtons);
  F->TabSheet1->SetTabVisible(false);
  F->TabSheet3->SetTabVisible(false);
  PC->SetActivePage(F->TabSheet1);
  Application->ProcessMessages();
  EXPECT_EQ(PC->Perform(TCM_GETITEMCOUNT), 0);
  EXPECT_EQ(PC->RowCount(), 0);
  EXPECT_EQ(PC->DisplayRect(), PC->ClientRect()) << "without tabs the page takes the whole control";
  EXPECT_EQ(F->TabSheet1->BoundsRect(), PC->ClientRect());
  EXPECT_EQ(PC->IndexOfTabAt(20, 10), -1);
  // Showing a tab again brings it back in page order.
  F->TabSheet3->SetTabVisible(true);
  F->TabSheet1->SetTabVisible(true);
  EXPECT_EQ(F->TabSheet1->TabIndex(), 0);
  EXPECT_EQ(F->TabSheet3->TabIndex(), 1);
}

TEST_F(PageControlFixture, ACaptionChangedAtRunTimeRenamesAndResizesItsTab) {
  int before = PC->TabRect(0).Width();
  F->TabSheet1->SetCaption("合同基本信息（已修改）");
  int after = PC->TabRect(0).Width();
  EXPECT_GT(after, before);
  EXPECT_EQ(PC->TabRect(1).Left, PC->TabRect(0).Right) << "the next tab moves along";
  TCHITTESTINFO hit;
  hit.pt = {PC->TabRect(0).Right - 3, PC->TabRect(0).Top + 5};
  EXPECT_EQ(PC->Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
  EXPECT_EQ(hit.flags, TCHT_ONITEMLABEL);
  hit.pt = {PC->Width() - 5, 5};
  EXPECT_EQ(PC->Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1);
  EXPECT_EQ(hit.flags, TCHT_NOWHERE);
}

TEST_F(PageControlFixture, TheStylesPlaceTheirTabsAndPages) {
  struct Case {
    TTabStyle style;
    int displayLeft;       // the page's left edge
    int displayBelowTabs;  // from the tabs' bottom to the page's top
  };
  const Case cases[] = {{tsTabs, 4, 4}, {tsButtons, 0, 3}, {tsFlatButtons, 0, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    PC->SetStyle(c.style);
    TRect d = PC->DisplayRect();
    EXPECT_EQ(d.Left, c.displayLeft);
    EXPECT_EQ(d.Top - PC->TabRect(0).Bottom, c.displayBelowTabs);
    EXPECT_EQ(F->TabSheet3->BoundsRect(), d);
  }
  // The bottom position mirrors the top one.
  PC->SetStyle(tsTabs);
  PC->SetTabPosition(tpBottom);
  EXPECT_EQ(PC->TabRect(0).Bottom, PC->ClientHeight() - 2);
  EXPECT_EQ(PC->DisplayRect().Top, 4);
}

TEST_F(PageControlFixture, CtrlTabTurnsToTheNextVisiblePageWhileTheFocusIsInside) {
  PC->SetActivePage(F->TabSheet1);
  F->Edit1->SetFocus();
  Application->ProcessMessages();
  Key(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet3) << "the page with the hidden tab is passed over";
  EXPECT_EQ(F->Log, (std::vector<std::string>{"changing TabSheet1", "change TabSheet3"}));
  EXPECT_FALSE(F->Edit1->Focused()) << "the focus left the page that went out of view";
  EXPECT_TRUE(PC->Focused());
  Key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(PC->ActivePage(), F->TabSheet1);
}

// ---------------------------------------------------------------- tab control

namespace {

struct TabControlFixture : FormFixture {
  TTabControl* Tabs = nullptr;
  std::vector<int> Changes;
  void SetUp() override {
    FormFixture::SetUp();
    Tabs = Add<TTabControl>(Rect(8, 8, 308, 208));
    Tabs->OnChange = TNotifyEvent::Lambda([this](TObject*) { Changes.push_back(Tabs->TabIndex()); });
  }
};

}  // namespace

TEST_F(TabControlFixture, TabsAreStringsAndAClickChangesTheIndex) {
  Tabs->Tabs()->SetCommaText("员工身份,附件类型,合同文件");
  EXPECT_EQ(Tabs->TabIndex(), -1);
  Tabs->SetTabIndex(0);
  EXPECT_TRUE(Changes.empty()) << "a programmatic index runs no event";
  TRect r = Tabs->TabRect(2);
  Click(Tabs, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_EQ(Tabs->TabIndex(), 2);
  EXPECT_EQ(Changes, std::vector<int>{2});
  EXPECT_EQ(Tabs->Tabs()->Strings(Tabs->TabIndex()), "合同文件");
  Tabs->Tabs()->Delete(2);
  EXPECT_EQ(Tabs->TabIndex(), -1) << "the selected tab went";
  Tabs->Tabs()->Strings(0);
  EXPECT_THROW(Tabs->Tabs()->Strings(5), EStringListError);
}

TEST_F(TabControlFixture, ManyTabsWrapIntoRowsWithTheSelectedRowNextToTheDisplay) {
  Tabs->SetMultiLine(true);
  for (int i = 0; i < 12; ++i) Tabs->Tabs()->Add("标签页" + IntToStr(i));
  ASSERT_GT(Tabs->RowCount(), 1);
  Tabs->SetTabIndex(0);
  TRect first = Tabs->TabRect(0);
  int lowest = 0;
  for (int i = 0; i < 12; ++i) lowest = std::max(lowest, Tabs->TabRect(i).Bottom);
  EXPECT_EQ(first.Bottom, lowest) << "the selected tab's row lies next to the display area";
  EXPECT_EQ(Tabs->DisplayRect().Top, lowest + 4);
  // Rows of a control that is not ragged fill its width.
  int rowRight = 0;
  for (int i = 0; i < 12; ++i)
    if (Tabs->TabRect(i).Top == first.Top) rowRight = std::max(rowRight, Tabs->TabRect(i).Right);
  EXPECT_GE(rowRight, Tabs->ClientWidth() - 4);
  // One line instead: the tabs that do not fit are scrolled to.
  Tabs->SetMultiLine(false);
  EXPECT_EQ(Tabs->RowCount(), 1);
  Tabs->SetTabIndex(11);
  EXPECT_FALSE(IsRectEmpty(Tabs->TabRect(11))) << "the selected tab is brought into view";
  EXPECT_TRUE(IsRectEmpty(Tabs->TabRect(0)));
}
