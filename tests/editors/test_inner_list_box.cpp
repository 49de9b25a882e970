// The inner list box hosted by a container on a shown form: the incremental search with a
// clock the test sets, keys handed to the container, the drag rule of a multi-selection, and
// the owner-drawn scroll bars laid over the native ones.
#include "BaseControlFixture.h"

#include "editors/cxInnerListBox.h"
#include "gui/WinScroll.h"

#include <gtest/gtest.h>

using namespace basetest;
using namespace guitest;

namespace {

Cardinal gNow = 1000;
Cardinal TestClock() { return gNow; }

struct InnerList : stdtest::FormFixture {
  TcxContainer* Box = nullptr;
  TcxCustomInnerListBox* List = nullptr;
  int Clicks = 0;
  std::vector<std::string> Keys;
  void SetUp() override {
    FormFixture::SetUp();
    TcxCustomInnerListBox::SetTickSourceForTest(&TestClock);
    Box = Add<TcxContainer>(Rect(10, 10, 210, 160));
    List = new TcxCustomInnerListBox(Form);
    List->SetParent(Box);
    List->Container = Box;
    Box->SetHostedControl(List);
    for (const char* s : {"甲方", "合约", "合同", "合同附件", "乙方"}) List->Items()->Add(s);
    List->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    Box->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& k) { Keys.push_back("box " + std::to_string(k)); });
    List->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& k) { Keys.push_back("list " + std::to_string(k)); });
    List->OnKeyUp = TKeyEvent::Lambda([this](TObject*, Word& k, TShiftState) { Keys.push_back("up " + std::to_string(k)); });
    List->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    TcxCustomInnerListBox::SetTickSourceForTest(nullptr);
    FormFixture::TearDown();
  }
  void Type(const char* text, Cardinal after) {
    gNow += after;
    TypeKey(Qt::Key_A, Qt::NoModifier, QString::fromUtf8(text));
  }
};

}  // namespace

TEST_F(InnerList, TypedCharactersSearchWithinTheDelayAndAPauseStartsAnew) {
  Type("合", 10);
  EXPECT_EQ(List->ItemIndex(), 1);
  Type("同", 100);
  EXPECT_EQ(List->SearchText(), "合同");
  EXPECT_EQ(List->ItemIndex(), 2);
  Type("乙", 600);
  EXPECT_EQ(List->SearchText(), "乙") << "after a pause a new text";
  EXPECT_EQ(List->ItemIndex(), 4);
  const int clicks = Clicks;
  Type("丙", 600);
  EXPECT_EQ(List->ItemIndex(), 4) << "unmatched: the selection stays";
  EXPECT_EQ(Clicks, clicks);
  // Backspace takes one whole character; emptying selects the first item and clicks.
  Type("合", 600);
  Type("同", 10);
  gNow += 10;
  TypeKey(Qt::Key_Backspace, Qt::NoModifier, "\b");
  EXPECT_EQ(List->SearchText(), "合");
  gNow += 10;
  TypeKey(Qt::Key_Backspace, Qt::NoModifier, "\b");
  EXPECT_EQ(List->SearchText(), "");
  EXPECT_EQ(List->ItemIndex(), 0);
  EXPECT_GT(Clicks, clicks);

  // Without AutoComplete the search builds no text (the list's own key handling remains).
  List->SetAutoComplete(false);
  Type("合", 600);
  Type("同", 10);
  EXPECT_EQ(List->SearchText(), "");
}

TEST_F(InnerList, KeysGoToTheContainerAndTabNeverReachesTheList) {
  Keys.clear();
  Type("x", 600);
  EXPECT_EQ(Keys, (std::vector<std::string>{"box 120", "list 120", "up 65"}));
  Keys.clear();
  TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(Keys, (std::vector<std::string>{"box 13", "up 13"})) << "Enter: the container's only";
  Keys.clear();
  TypeKey(Qt::Key_Tab, Qt::NoModifier, "\t");
  for (const std::string& k : Keys) EXPECT_EQ(k.find("list"), std::string::npos) << k;
  EXPECT_EQ(std::count(Keys.begin(), Keys.end(), "up 9"), 0);

  SetKeyDownState(VK_CONTROL, false);
  EXPECT_TRUE(List->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
  EXPECT_TRUE(List->Perform(WM_GETDLGCODE) & DLGC_WANTCHARS);
  SetKeyDownState(VK_CONTROL, true);
  EXPECT_FALSE(List->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
  SetKeyDownState(VK_CONTROL, false);
}

TEST_F(InnerList, APressOnASelectedItemOfAMultiSelectionDragsTheContainerAndKeepsIt) {
  List->SetMultiSelect(true);
  Box->SetDragMode(dmAutomatic);
  List->SetSelected(1, true);
  List->SetSelected(2, true);
  bool started = false;
  Box->OnStartDrag = TStartDragEvent::Lambda([&](TObject*, TDragObject*&) { started = true; });
  const TRect item = List->ItemRect(2);
  const TPoint p{item.Left + 5, item.Top + 2};
  Press(List, p, Qt::LeftButton, 1000);
  Move(List, {p.X + 20, p.Y}, Qt::LeftButton);
  EXPECT_TRUE(started) << "the container drags";
  EXPECT_TRUE(List->Selected(1));
  EXPECT_TRUE(List->Selected(2));
  Release(List, {p.X + 20, p.Y});
  EXPECT_FALSE(Box->Dragging());
}

TEST_F(InnerList, OwnerDrawnBarsLieOverTheNativeOnesAndFollowThem) {
  for (int i = 0; i < 95; ++i) List->Items()->Add("项 " + std::to_string(i));
  List->UpdateScrollBars();
  TcxScrollBar* v = List->VScrollBar();
  ASSERT_TRUE(v->Visible());
  EXPECT_EQ(v->Parent(), Box);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(List->Handle(), OBJID_VSCROLL, &info));
  EXPECT_EQ(v->BoundsRect(), Bounds(Box->ScreenToClient(info.rcScrollBar.TopLeft()).X,
                                    Box->ScreenToClient(info.rcScrollBar.TopLeft()).Y, info.rcScrollBar.Width(),
                                    info.rcScrollBar.Height()));
  EXPECT_EQ(v->Max(), 99);
  EXPECT_GT(v->PageSize(), 0);

  // Scrolling with the owner-drawn bar moves the list; its position is read back.
  v->ApplyScrollCode(scPageDown);
  EXPECT_GT(List->TopIndex(), 0);
  EXPECT_EQ(v->Position(), GetScrollPos(List->Handle(), SB_VERT));
  v->ApplyScrollCode(scLineDown);
  EXPECT_EQ(List->TopIndex(), v->Position());

  // Too few items for a bar: hidden with zero bounds.
  List->Items()->Clear();
  List->Items()->Add("一");
  List->UpdateScrollBars();
  EXPECT_FALSE(v->Visible());
  EXPECT_EQ(v->BoundsRect(), TRect());
}
