// List boxes and check list boxes: the native list model behind the LB_ messages, selection
// by keys and mouse with the notifications the windows rely on, owner drawing, virtual lists,
// scrolling and the window's scroll bar, check boxes, and reading them from layouts.
#include "ListsTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "gui/ListCtrls.h"
#include "core/SysUtils.h"
#include "gui/WinScroll.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

namespace {

struct ListBoxFixture : FormFixture {
  TListBox* List = nullptr;
  std::vector<std::string> Events;
  void SetUp() override {
    FormFixture::SetUp();
    List = Add<TListBox>(Rect(8, 8, 168, 108));
    List->OnClick = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("click " + std::to_string(List->ItemIndex())); });
    List->OnDblClick = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("dblclick " + std::to_string(List->ItemIndex())); });
  }
  void Fill(int n) {
    List->Items()->BeginUpdate();
    for (int i = 0; i < n; ++i) List->Items()->Add(Format("第%d项", {i}));
    List->Items()->EndUpdate();
  }
  // The client point in the middle of an item.
  TPoint ItemPoint(int i) {
    TRect r = List->ItemRect(i);
    return {r.Left + 10, (r.Top + r.Bottom) / 2};
  }
  void ClickItem(int i, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    TPoint p = ItemPoint(i);
    SendMouse(List, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods, 1000);
    SendMouse(List, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  }
};

std::vector<bool> SelectionOf(TListBox* l) {
  std::vector<bool> r;
  for (int i = 0; i < l->Count(); ++i) r.push_back(l->Selected(i));
  return r;
}

}  // namespace

TEST_F(ListBoxFixture, ItemsAreTheWindowsLbModel) {
  TMsgLog log;
  log.Attach(List, {LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETTEXT, LB_FINDSTRINGEXACT, LB_SETITEMDATA});
  TStrings* items = List->Items();
  items->Add("合同");
  items->Insert(0, "客户");
  TObject tag;
  items->AddObject("项目", &tag);
  EXPECT_EQ(items->Text(), "客户\r\n合同\r\n项目\r\n");
  EXPECT_EQ(items->Objects(2), &tag);
  EXPECT_EQ(items->IndexOf("项目"), 2);
  EXPECT_EQ(items->IndexOf("none"), -1);
  EXPECT_EQ(log.Count(LB_ADDSTRING), 2);
  EXPECT_EQ(log.Count(LB_INSERTSTRING), 1);
  EXPECT_EQ(log.Count(LB_SETITEMDATA), 1);
  EXPECT_GE(log.Count(LB_GETTEXT), 3) << "reading the items asks the window";
  EXPECT_GE(log.Count(LB_FINDSTRINGEXACT), 1) << "IndexOf is the window's exact search";
  // Item lengths count characters, as every text length does.
  EXPECT_EQ(List->Perform(LB_GETTEXTLEN, 1), 2);
  char buf[2 * kMaxCharBytes + 1] = {};
  EXPECT_EQ(List->Perform(LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buf)), 2);
  EXPECT_STREQ(buf, "合同");
  // The window's own answers for what is not there.
  EXPECT_EQ(List->Perform(LB_GETTEXTLEN, 7), LB_ERR);
  EXPECT_EQ(List->Perform(LB_DELETESTRING, 7), LB_ERR);
  EXPECT_EQ(List->Perform(LB_SETCURSEL, 9), LB_ERR);
  try {
    (void)items->Strings(5);
    ADD_FAILURE() << "no exception";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  items->Delete(0);
  EXPECT_EQ(items->Count(), 2);
  EXPECT_EQ(items->Strings(0), "合同");
}

TEST_F(ListBoxFixture, FindStringSearchesPrefixesWithoutRegardToCaseAndWraps) {
  for (const char* s : {"apple", "Banana", "blueberry", "cherry"}) List->Items()->Add(s);
  struct Case {
    int start;
    const char* text;
    UINT msg;
    LRESULT expected;
  };
  const Case cases[] = {
      {-1, "b", LB_FINDSTRING, 1},       {1, "b", LB_FINDSTRING, 2},        {2, "B", LB_FINDSTRING, 1},
      {-1, "BANANA", LB_FINDSTRINGEXACT, 1}, {-1, "banan", LB_FINDSTRINGEXACT, LB_ERR}, {-1, "x", LB_FINDSTRING, LB_ERR},
      {3, "a", LB_FINDSTRING, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(List->Perform(c.msg, static_cast<WPARAM>(c.start), reinterpret_cast<LPARAM>(c.text)), c.expected);
  }
  EXPECT_EQ(List->Perform(LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ch")), 3);
  EXPECT_EQ(List->ItemIndex(), 3);
}

TEST_F(ListBoxFixture, SortedListsPlaceItemsByFoldedCodePointAndKeepTheirData) {
  List->SetSorted(true);
  TObject a, b;
  List->Items()->AddObject("delta", &a);
  List->Items()->Add("Alpha");
  List->Items()->AddObject("charlie", &b);
  List->Items()->Add("Bravo");
  EXPECT_EQ(List->Items()->CommaText(), "Alpha,Bravo,charlie,delta");
  EXPECT_EQ(List->Items()->Objects(2), &b);
  EXPECT_EQ(List->Items()->Objects(3), &a);
  // Sorting an unsorted list afterwards keeps the selected item selected.
  List->SetSorted(false);
  List->Items()->Add("aaa");
  List->SetItemIndex(2);
  List->SetSorted(true);
  EXPECT_EQ(List->Items()->Strings(0), "aaa");
  EXPECT_EQ(List->Items()->Strings(List->ItemIndex()), "charlie");
}

TEST_F(ListBoxFixture, OnlyTheUsersSelectionRunsOnClick) {
  Fill(5);
  List->SetItemIndex(2);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_TRUE(Events.empty()) << "a programmatic ItemIndex is no click";
  ClickItem(3);
  EXPECT_EQ(List->ItemIndex(), 3);
  EXPECT_EQ(Events, (std::vector<std::string>{"click 3"}));
  EXPECT_TRUE(List->Focused()) << "a click focuses the list";
  Events.clear();
  ClickItem(3);
  EXPECT_TRUE(Events.empty()) << "clicking the selected item again changes nothing";
  List->SetItemIndex(-1);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_EQ(List->Perform(LB_GETCURSEL), LB_ERR);
}

TEST_F(ListBoxFixture, KeysMoveTheSelectionAndTellEachMove) {
  Fill(20);
  List->SetFocus();
  Application->ProcessMessages();
  struct Case {
    int key;
    int expected;
  };
  int rows = List->ClientHeight() / List->ItemHeight();
  const Case cases[] = {{Qt::Key_Down, 0}, {Qt::Key_Down, 1}, {Qt::Key_End, 19}, {Qt::Key_Up, 18}, {Qt::Key_Home, 0},
                        {Qt::Key_PageDown, rows - 1}, {Qt::Key_Up, rows - 2}};
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    Key(c.key);
    EXPECT_EQ(List->ItemIndex(), c.expected);
    expected.push_back("click " + std::to_string(c.expected));
  }
  EXPECT_EQ(Events, expected);
  // The selection stays in view.
  Key(Qt::Key_End);
  EXPECT_EQ(List->TopIndex(), 20 - rows);
  EXPECT_EQ(List->ItemAtPos(ItemPoint(19), true), 19);
}

TEST_F(ListBoxFixture, TypedCharactersSelectTheItemTheyBegin) {
  for (const char* s : {"Apple", "Banana", "Blueberry", "Cherry"}) List->Items()->Add(s);
  List->SetFocus();
  Type("bl");
  EXPECT_EQ(List->ItemIndex(), 2) << "characters typed together search on";
  EXPECT_EQ(Events.back(), "click 2");
  // Without AutoComplete each character finds the next item that begins with it.
  List->SetAutoComplete(false);
  List->SetItemIndex(0);
  Type("b");
  EXPECT_EQ(List->ItemIndex(), 1);
  Type("b");
  EXPECT_EQ(List->ItemIndex(), 2);
  Type("b");
  EXPECT_EQ(List->ItemIndex(), 1) << "the search wraps round";
}

TEST_F(ListBoxFixture, DoubleClickTellsAfterTheSelection) {
  Fill(4);
  TPoint p = ItemPoint(2);
  Press(List, p, Qt::LeftButton, 1000);
  Release(List, p);
  SendMouse(List, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  Release(List, p);
  Application->ProcessMessages();
  EXPECT_EQ(Events, (std::vector<std::string>{"click 2", "dblclick 2"}));
}

TEST_F(ListBoxFixture, ExtendedMultiSelectFollowsCtrlAndShift) {
  Fill(6);
  List->SetMultiSelect(true);
  ClickItem(1);
  ClickItem(3, Qt::ControlModifier);
  EXPECT_EQ(SelectionOf(List), (std::vector<bool>{false, true, false, true, false, false}));
  ClickItem(5, Qt::ShiftModifier);
  EXPECT_EQ(SelectionOf(List), (std::vector<bool>{false, false, false, true, true, true})) << "a range from the anchor";
  EXPECT_EQ(List->SelCount(), 3);
  int items[6] = {};
  ASSERT_EQ(List->Perform(LB_GETSELITEMS, 6, reinterpret_cast<LPARAM>(items)), 3);
  EXPECT_EQ((std::vector<int>(items, items + 3)), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(List->ItemIndex(), 5) << "with multiple selection ItemIndex is the focused item";
  List->SelectAll();
  EXPECT_EQ(List->SelCount(), 6);
  List->DeleteSelected();
  EXPECT_EQ(List->Count(), 0);
  // The plain multiple selection toggles each clicked item.
  Fill(3);
  List->SetExtendedSelect(false);
  ClickItem(0);
  ClickItem(2);
  ClickItem(0);
  EXPECT_EQ(SelectionOf(List), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(List->SelCount(), 1);
  List->SetMultiSelect(false);
  EXPECT_EQ(List->SelCount(), -1) << "a single-selection list has no selection count";
}

TEST_F(ListBoxFixture, ScrollBarShowsWhenTheItemsOverflowAndFollowsTheTopItem) {
  Fill(3);
  EXPECT_EQ(List->WindowStyle() & WS_VSCROLL, 0u) << "three items fit";
  Fill(47);
  ASSERT_NE(List->WindowStyle() & WS_VSCROLL, 0u);
  int rows = List->ClientHeight() / List->ItemHeight();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(List->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 49);
  EXPECT_EQ(static_cast<int>(si.nPage), rows);
  List->SetTopIndex(10);
  EXPECT_EQ(GetScrollPos(List->Handle(), SB_VERT), 10);
  EXPECT_EQ(List->ItemAtPos({5, 1}, true), 10);
  List->SetTopIndex(49);
  EXPECT_EQ(List->TopIndex(), 50 - rows) << "the last page stays full";
  // The wheel scrolls three lines a notch.
  List->SetTopIndex(10);
  SendMessage(List->Handle(), WM_MOUSEWHEEL, MakeWParam(0, -120), 0);
  EXPECT_EQ(List->TopIndex(), 13);
  // The bar's down arrow, pressed with the mouse, scrolls one line; its notification is the
  // window's own WM_VSCROLL.
  TMsgLog log;
  log.Attach(List, {WM_VSCROLL});
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(List->Handle(), OBJID_VSCROLL, &bi));
  TPoint arrow = List->ScreenToClient({(bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2, bi.rcScrollBar.Bottom - 4});
  EXPECT_GE(arrow.X, List->ClientWidth()) << "the bar lies beside the client area";
  Click(List, arrow);
  Application->ProcessMessages();
  EXPECT_EQ(List->TopIndex(), 14);
  EXPECT_GE(log.Count(WM_VSCROLL), 1);
  EXPECT_EQ(List->ItemIndex(), -1) << "a press on the bar selects nothing";
}

TEST_F(ListBoxFixture, OwnerDrawnItemsAreDrawnByTheHandlerWithTheirState) {
  List->SetStyle(lbOwnerDrawFixed);
  List->SetItemHeight(20);
  Fill(3);
  List->SetItemIndex(1);
  List->SetFocus();
  struct TDraw {
    int Index;
    TRect Rect;
    TOwnerDrawState State;
  };
  std::vector<TDraw> draws;
  List->OnDrawItem = TDrawItemEvent::Lambda([&](TWinControl* c, int i, const TRect& r, TOwnerDrawState s) {
    draws.push_back({i, r, s});
    auto* lb = static_cast<TListBox*>(c);
    lb->Canvas()->Brush()->SetColor(i == 2 ? clRed : lb->Canvas()->Brush()->Color());
    lb->Canvas()->FillRect(r);
  });
  List->Repaint();
  Application->ProcessMessages();
  ASSERT_GE(draws.size(), 3u);
  std::vector<TDraw> last(draws.end() - 3, draws.end());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(last[static_cast<std::size_t>(i)].Index, i);
    EXPECT_EQ(last[static_cast<std::size_t>(i)].Rect.Top, i * 20);
    EXPECT_EQ(last[static_cast<std::size_t>(i)].Rect.Height(), 20);
  }
  EXPECT_TRUE(last[1].State.Contains(odSelected));
  EXPECT_TRUE(last[1].State.Contains(odFocused));
  EXPECT_FALSE(last[0].State.Contains(odSelected));
  EXPECT_EQ(At(Form, List, 30, 50), QColor(255, 0, 0)) << "the handler's red reaches the screen";
  EXPECT_EQ(At(Form, List, 30, 30), SysQColor(COLOR_HIGHLIGHT)) << "the selected item's canvas brush is the highlight";
}

TEST_F(ListBoxFixture, AListToldItHasTheFocusShowsItWhileTheInputStaysElsewhere) {
  auto* edit = Add<TEdit>(Rect(180, 8, 300, 30));
  List->SetStyle(lbOwnerDrawFixed);
  Fill(3);
  List->SetItemIndex(1);
  edit->SetFocus();
  Application->ProcessMessages();
  std::vector<std::pair<int, bool>> draws;
  List->OnDrawItem = TDrawItemEvent::Lambda([&](TWinControl*, int i, const TRect&, TOwnerDrawState s) {
    draws.push_back({i, s.Contains(odFocused)});
  });
  auto focusedRows = [&] {
    draws.clear();
    List->Repaint();
    Application->ProcessMessages();
    std::vector<int> r;
    for (auto& d : draws)
      if (d.second) r.push_back(d.first);
    return r;
  };
  EXPECT_EQ(focusedRows(), std::vector<int>{});
  // A drop-down list is told so through its default handler only.
  TMessage set{WM_SETFOCUS, 0, 0, 0};
  List->DefaultHandler(set);
  EXPECT_EQ(focusedRows(), std::vector<int>{1});
  EXPECT_EQ(GetFocus(), edit->Handle());
  TMessage kill{WM_KILLFOCUS, 0, 0, 0};
  List->DefaultHandler(kill);
  EXPECT_EQ(focusedRows(), std::vector<int>{});
}

TEST_F(ListBoxFixture, VariableHeightsAreMeasuredOncePerItem) {
  List->SetStyle(lbOwnerDrawVariable);
  std::vector<int> measured;
  List->OnMeasureItem = TMeasureItemEvent::Lambda([&](TWinControl*, int i, int& h) {
    measured.push_back(i);
    h = 10 + 5 * i;
  });
  Fill(4);
  int tops[4] = {0, 10, 25, 45};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(List->ItemRect(i).Top, tops[i]);
    EXPECT_EQ(List->ItemRect(i).Height(), 10 + 5 * i);
    EXPECT_EQ(List->Perform(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)), 10 + 5 * i);
  }
  List->Repaint();
  Application->ProcessMessages();
  std::sort(measured.begin(), measured.end());
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2, 3})) << "each item is measured once, not at every paint";
  EXPECT_EQ(List->ItemAtPos({5, 30}, true), 2);
  EXPECT_EQ(List->ItemAtPos({5, 99}, true), -1) << "below the last item";
  EXPECT_EQ(List->ItemAtPos({5, 99}, false), 4) << "below the last item without Existing: the count";
}

TEST_F(ListBoxFixture, VirtualListsHoldACountAndAskForTheTexts) {
  List->SetStyle(lbVirtual);
  int asked = 0;
  List->OnData = TLBGetDataEvent::Lambda([&](TWinControl*, int i, String& s) {
    ++asked;
    s = "行" + IntToStr(i);
  });
  List->OnDataFind = TLBFindDataEvent::Lambda([](TWinControl*, const String& s) { return s == "行7" ? 7 : -1; });
  List->SetCount(100000);
  EXPECT_EQ(List->Count(), 100000);
  EXPECT_EQ(List->Items()->Count(), 100000);
  EXPECT_EQ(List->Items()->Strings(54321), "行54321");
  EXPECT_THROW(List->Items()->Add("x"), EOutOfResources) << "a virtual list takes no strings";
  asked = 0;
  List->Repaint();
  Application->ProcessMessages();
  EXPECT_GT(asked, 0);
  EXPECT_LE(asked, 20) << "painting asks only for the items in view";
  List->SetFocus();
  Type("7");
  EXPECT_EQ(List->ItemIndex(), -1) << "\"7\" alone is not found";
  List->SetAutoComplete(true);
  List->OnDataFind = TLBFindDataEvent::Lambda([](TWinControl*, const String& s) { return s.empty() ? -1 : 7; });
  Type("x");
  EXPECT_EQ(List->ItemIndex(), 7) << "typed text is searched through OnDataFind";
  List->SetCount(3);
  EXPECT_EQ(List->ItemIndex(), -1) << "a shrinking count drops a selection past its end";
}

// ---------------------------------------------------------------- check list box

namespace {

struct CheckListFixture : FormFixture {
  TCheckListBox* Checks = nullptr;
  int ClickChecks = 0;
  void SetUp() override {
    FormFixture::SetUp();
    Checks = Add<TCheckListBox>(Rect(8, 8, 208, 108));
    Checks->OnClickCheck = TNotifyEvent::Lambda([this](TObject*) { ++ClickChecks; });
    for (const char* s : {"合同", "客户", "项目"}) Checks->Items()->Add(s);
  }
  TPoint BoxPoint(int i) {
    TRect b = Checks->CheckRect(Checks->ItemRect(i));
    return {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  }
};

std::vector<int> StatesOf(TCheckListBox* c) {
  std::vector<int> r;
  for (int i = 0; i < c->Count(); ++i) r.push_back(static_cast<int>(c->State(i)));
  return r;
}

}  // namespace

TEST_F(CheckListFixture, ClickingTheBoxOrSpaceTogglesAndTells) {
  Click(Checks, BoxPoint(1));
  Application->ProcessMessages();
  EXPECT_TRUE(Checks->Checked(1));
  EXPECT_EQ(ClickChecks, 1);
  EXPECT_EQ(Checks->ItemIndex(), 1) << "the click selects the item too";
  // A click on the text selects without toggling.
  TRect r = Checks->ItemRect(0);
  Click(Checks, {r.Left + 60, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_FALSE(Checks->Checked(0));
  EXPECT_EQ(Checks->ItemIndex(), 0);
  Type(" ");
  EXPECT_TRUE(Checks->Checked(0));
  EXPECT_EQ(ClickChecks, 2);
  // A disabled item keeps its state.
  Checks->SetItemEnabled(2, false);
  Click(Checks, BoxPoint(2));
  Application->ProcessMessages();
  EXPECT_FALSE(Checks->Checked(2));
  EXPECT_EQ(ClickChecks, 2);
}

TEST_F(CheckListFixture, GrayedIsTheThirdStateOnlyWhenAllowed) {
  const std::vector<int> cycle2 = {cbChecked, cbUnchecked, cbChecked};
  const std::vector<int> cycle3 = {cbChecked, cbGrayed, cbUnchecked};
  for (bool grayed : {false, true}) {
    SCOPED_TRACE(grayed);
    Checks->SetAllowGrayed(grayed);
    Checks->SetState(0, cbUnchecked);
    std::vector<int> seen;
    for (int k = 0; k < 3; ++k) {
      Checks->ToggleClickCheck(0);
      seen.push_back(Checks->State(0));
    }
    EXPECT_EQ(seen, grayed ? cycle3 : cycle2);
  }
}

TEST_F(CheckListFixture, StatesStayWithTheirItemsWhenTheListChanges) {
  Checks->SetChecked(0, true);
  Checks->SetState(2, cbGrayed);
  Checks->Items()->Insert(1, "员工");
  EXPECT_EQ(StatesOf(Checks), (std::vector<int>{cbChecked, cbUnchecked, cbUnchecked, cbGrayed}));
  Checks->Items()->Delete(0);
  EXPECT_EQ(StatesOf(Checks), (std::vector<int>{cbUnchecked, cbUnchecked, cbGrayed}));
  EXPECT_THROW(Checks->SetChecked(3, true), EListError);
  Checks->Items()->Clear();
  Checks->Items()->Add("新");
  EXPECT_FALSE(Checks->Checked(0)) << "a new item starts unchecked";
}

// ---------------------------------------------------------------- layouts

namespace {

class TLbForm : public TForm {
  KELM_CLASS(TLbForm, TForm)
public:
  explicit TLbForm(TComponent* AOwner) : TForm(AOwner) {}
  TListBox* SrcList = nullptr;
  TCheckListBox* CLB_Data = nullptr;
  int Clicks = 0;
  void SrcListClick(TObject*) { ++Clicks; }
};

}  // namespace

KELM_PUBLISH(TLbForm) {
  b.Field("SrcList", &TLbForm::SrcList);
  b.Field("CLB_Data", &TLbForm::CLB_Data);
  b.Method("SrcListClick", &TLbForm::SrcListClick);
}

TEST(ListLayouts, ListBoxesComeFromALayoutWithTheirItemsAndHandlers) {
  const char* text =
      "object LbForm: TLbForm\n"
      "  Width = 300\n"
      "  Height = 200\n"
      "  object SrcList: TListBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 120\n"
      "    Height = 97\n"
      "    ItemHeight = 13\n"
      "    Items.Strings = (\n"
      "      '合同编号'\n"
      "      '合同名称')\n"
      "    MultiSelect = True\n"
      "    Sorted = True\n"
      "    TabOrder = 0\n"
      "    OnClick = SrcListClick\n"
      "  end\n"
      "  object CLB_Data: TCheckListBox\n"
      "    Left = 140\n"
      "    Top = 8\n"
      "    Width = 150\n"
      "    Height = 97\n"
      "    Style = lbOwnerDrawFixed\n"
      "    ItemHeight = 18\n"
      "    AllowGrayed = True\n"
      "    Items.Strings = (\n"
      "      '清除合同'\n"
      "      '清除客户')\n"
      "  end\n"
      "end\n";
  auto* f = new TLbForm(Application);
  ReadComponentFromText(f, text);
  ASSERT_NE(f->SrcList, nullptr);
  ASSERT_NE(f->CLB_Data, nullptr);
  EXPECT_EQ(f->SrcList->Items()->CommaText(), "合同名称,合同编号") << "sorted by code point";
  EXPECT_TRUE(f->SrcList->MultiSelect());
  EXPECT_EQ(f->CLB_Data->ItemHeight(), 18);
  EXPECT_TRUE(f->CLB_Data->AllowGrayed());
  EXPECT_EQ(f->CLB_Data->Count(), 2);
  f->SrcList->OnClick(f->SrcList);
  EXPECT_EQ(f->Clicks, 1) << "the handler was bound by name";
  // Written back, the items and the changed properties come out again.
  String written = WriteComponentToText(f);
  EXPECT_NE(written.find("'合同编号'"), String::npos);
  EXPECT_NE(written.find("Style = lbOwnerDrawFixed"), String::npos);
  EXPECT_EQ(written.find("ExtendedSelect"), String::npos) << "defaults are not written";
  delete f;
}

namespace {

// A button that hands a drag on to the list: cancel mode for itself, a synthesised press for
// the list, which then holds the mouse until the real button-up.
TEST_F(ListBoxFixture, ASynthesisedPressHandsTheCaptureToTheListUntilTheRealRelease) {
  Fill(5);
  auto* button = Add<TButton>(Rect(180, 8, 260, 30));
  SendMouse(button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1000);
  ASSERT_EQ(GetCapture(), button->Handle());
  button->Perform(WM_CANCELMODE, 0, 0);
  TPoint p = ItemPoint(2);
  List->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
  EXPECT_EQ(GetCapture(), List->Handle()) << "the list holds the mouse";
  EXPECT_EQ(List->ItemIndex(), 2);
  SendMouse(List, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
  Application->ProcessMessages();
  EXPECT_EQ(GetCapture(), HWND(0)) << "the real release ends it";
}

}  // namespace
