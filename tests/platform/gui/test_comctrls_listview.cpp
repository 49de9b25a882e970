// List views: the report view's columns, rows and sub-items, selection by mouse and keys with
// its events, column clicks and resizing, check boxes, sorting, deletion, the icon view's grid
// and renaming in place.
#include "ListsTestUtil.h"

#include "gui/ListView.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

namespace {

struct ListViewFixture : FormFixture {
  TListView* View = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    FormFixture::SetUp();
    View = Add<TListView>(Rect(8, 8, 348, 228));
    View->SetViewStyle(vsReport);
    const std::pair<const char*, int> cols[] = {{"名称", 100}, {"类型", 80}, {"金额", 70}};
    for (auto [caption, width] : cols) {
      TListColumn* c = View->Columns()->Add();
      c->SetCaption(caption);
      c->SetWidth(width);
    }
    View->Columns()->Items(2)->SetAlignment(taRightJustify);
    for (int i = 0; i < 5; ++i) {
      TListItem* it = View->Items()->Add();
      it->SetCaption("合同" + IntToStr(i));
      it->SubItems()->Add(i % 2 ? "采购" : "销售");
      it->SubItems()->Add(IntToStr(1000 * (i + 1)));
    }
    View->OnSelectItem = TLVSelectItemEvent::Lambda([this](TObject*, TListItem* it, bool sel) {
      Log.push_back((sel ? "select " : "unselect ") + it->Caption());
    });
  }
  TPoint CellPoint(int row, int col) {
    TRect b = View->Items()->Item(row)->DisplayRect(drBounds);
    int x = b.Left;
    for (int c = 0; c < col; ++c) x += View->Columns()->Items(c)->Width();
    return {x + 6, (b.Top + b.Bottom) / 2};
  }
  void ClickAt(TPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    SendMouse(View, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, mods, 1000);
    SendMouse(View, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  }
  std::string Selection() {
    std::string s;
    for (int i = 0; i < View->Items()->Count(); ++i) s += View->Items()->Item(i)->Selected() ? '1' : '0';
    return s;
  }
};

}  // namespace

TEST_F(ListViewFixture, ReportRowsLieUnderTheHeaderInColumns) {
  int h = View->HeaderHeight();
  EXPECT_GT(h, 0);
  TRect r0 = View->Items()->Item(0)->DisplayRect(drBounds), r1 = View->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(r0.Top, h);
  EXPECT_EQ(r1.Top, r0.Bottom);
  EXPECT_EQ(r0.Width(), 250) << "a row is as wide as its columns";
  EXPECT_EQ(View->ColumnAtPos(150), 1);
  EXPECT_EQ(View->ColumnAtPos(260), -1);
  EXPECT_EQ(View->GetItemAt(CellPoint(3, 0).X, CellPoint(3, 0).Y), View->Items()->Item(3));
  EXPECT_EQ(View->GetItemAt(CellPoint(3, 2).X, CellPoint(3, 2).Y), nullptr) << "without RowSelect only the label is the item";
  View->SetRowSelect(true);
  EXPECT_EQ(View->GetItemAt(CellPoint(3, 2).X, CellPoint(3, 2).Y), View->Items()->Item(3));
  View->SetShowColumnHeaders(false);
  EXPECT_EQ(View->Items()->Item(0)->DisplayRect(drBounds).Top, 0);
}

TEST_F(ListViewFixture, ClicksSelectAndCtrlAndShiftExtendWithMultiSelect) {
  ClickAt(CellPoint(1, 0));
  EXPECT_EQ(Selection(), "01000");
  EXPECT_EQ(View->ItemFocused(), View->Items()->Item(1));
  EXPECT_EQ(Log, std::vector<std::string>{"select 合同1"});
  Log.clear();
  ClickAt(CellPoint(3, 0), Qt::ControlModifier);
  EXPECT_EQ(Selection(), "00010") << "Ctrl is nothing special without MultiSelect";
  EXPECT_EQ(Log, (std::vector<std::string>{"unselect 合同1", "select 合同3"}));
  View->SetMultiSelect(true);
  ClickAt(CellPoint(0, 0), Qt::ControlModifier);
  EXPECT_EQ(Selection(), "10010");
  ClickAt(CellPoint(2, 0), Qt::ShiftModifier);
  EXPECT_EQ(Selection(), "11100") << "a range from the anchor";
  EXPECT_EQ(View->SelCount(), 3);
  EXPECT_EQ(View->Selected(), View->Items()->Item(0));
  EXPECT_EQ(View->GetNextSelected(View->Items()->Item(0)), View->Items()->Item(1));
  // A press on no item clears the selection.
  ClickAt({View->ClientWidth() - 5, View->ClientHeight() - 5});
  EXPECT_EQ(Selection(), "00000");
}

TEST_F(ListViewFixture, KeysMoveTheFocusedSelectedItem) {
  View->SetFocus();
  Key(Qt::Key_Down);
  EXPECT_EQ(View->ItemIndex(), 0);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(View->ItemIndex(), 2);
  Key(Qt::Key_End);
  EXPECT_EQ(View->ItemIndex(), 4);
  Key(Qt::Key_Home);
  EXPECT_EQ(View->ItemIndex(), 0);
  Commit(View, "合");
  EXPECT_EQ(View->ItemIndex(), 1) << "a typed character finds the next caption it begins";
}

TEST_F(ListViewFixture, ColumnClicksNameTheColumnAndDividersResize) {
  std::vector<std::string> clicked;
  View->OnColumnClick = TLVColumnClickEvent::Lambda([&](TObject*, TListColumn* c) { clicked.push_back(c->Caption()); });
  int y = View->HeaderHeight() / 2;
  Click(View, {120, y});
  Application->ProcessMessages();
  EXPECT_EQ(clicked, std::vector<std::string>{"类型"});
  View->SetColumnClick(false);
  Click(View, {120, y});
  Application->ProcessMessages();
  EXPECT_EQ(clicked.size(), 1u);
  // Dragging the divider after the first column makes it wider.
  Press(View, {100, y}, Qt::LeftButton, 1000);
  Move(View, {140, y}, Qt::LeftButton);
  Release(View, {140, y});
  Application->ProcessMessages();
  EXPECT_EQ(View->Columns()->Items(0)->Width(), 140);
  EXPECT_EQ(View->ColumnAtPos(150), 1);
  EXPECT_EQ(clicked.size(), 1u) << "a resize is no click";
}

TEST_F(ListViewFixture, CheckBoxesToggleByClickAndSpace) {
  View->SetCheckboxes(true);
  std::vector<std::string> changes;
  View->OnChange = TLVChangeEvent::Lambda([&](TObject*, TListItem* it, TItemChange ch) {
    if (ch == ctState) changes.push_back(it->Caption() + (it->Checked() ? " on" : " off"));
  });
  TRect b = View->Items()->Item(2)->DisplayRect(drBounds);
  Click(View, {b.Left + 8, (b.Top + b.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_TRUE(View->Items()->Item(2)->Checked());
  EXPECT_FALSE(View->Items()->Item(2)->Selected()) << "the box toggles without selecting";
  View->SetItemFocused(View->Items()->Item(2));
  View->SetFocus();
  Type(" ");
  EXPECT_FALSE(View->Items()->Item(2)->Checked());
  EXPECT_EQ(changes, (std::vector<std::string>{"合同2 on", "合同2 off"}));
}

TEST_F(ListViewFixture, SortingAndDeletion) {
  std::vector<std::string> deleted;
  View->OnDeletion = TLVDeletedEvent::Lambda([&](TObject*, TListItem* it) { deleted.push_back(it->Caption()); });
  View->Items()->Item(0)->SetCaption("戊");
  View->Items()->Item(1)->SetCaption("甲");
  View->Items()->Item(2)->SetCaption("B");
  View->Items()->Item(3)->SetCaption("a");
  View->Items()->Item(4)->SetCaption("丙");
  View->SetSortType(stText);
  std::string order;
  for (int i = 0; i < View->Items()->Count(); ++i) order += View->Items()->Item(i)->Caption() + " ";
  EXPECT_EQ(order, "a B 丙 戊 甲 ");
  TListItem* added = View->Items()->Add();
  added->SetCaption("C");
  EXPECT_EQ(View->Items()->Item(2), added) << "a sorted view places new items";
  // Custom order through OnCompare: by the amount, descending.
  View->OnCompare = TLVCompareEvent::Lambda([](TObject*, TListItem* a, TListItem* b, int, int& r) {
    auto amount = [](TListItem* i) { return i->SubItems()->Count() > 1 ? StrToIntDef(i->SubItems()->Strings(1), 0) : 0; };
    r = amount(b) - amount(a);
  });
  View->AlphaSort();
  EXPECT_EQ(View->Items()->Item(0)->SubItems()->Strings(1), "5000");
  View->SetSelected(View->Items()->Item(0));
  View->Items()->Item(0)->Delete();
  EXPECT_EQ(deleted, std::vector<std::string>{"丙"});
  EXPECT_EQ(View->Selected(), nullptr);
  View->Items()->Clear();
  EXPECT_EQ(deleted.size(), 6u);
  EXPECT_EQ(View->Items()->Count(), 0);
}

TEST_F(ListViewFixture, IconViewsLayItemsOutInAGrid) {
  View->SetViewStyle(vsIcon);
  TRect a = View->Items()->Item(0)->DisplayRect(drBounds), b = View->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(b.Top, a.Top) << "icons go left to right";
  EXPECT_EQ(b.Left, a.Right);
  int perRow = View->ClientWidth() / a.Width();
  ASSERT_LT(perRow, 5);
  TRect wrap = View->Items()->Item(perRow)->DisplayRect(drBounds);
  EXPECT_EQ(wrap.Left, 0);
  EXPECT_EQ(wrap.Top, a.Bottom) << "then on the next row";
  TRect icon = View->Items()->Item(0)->DisplayRect(drIcon), label = View->Items()->Item(0)->DisplayRect(drLabel);
  EXPECT_LE(icon.Bottom, label.Top) << "the caption lies under the icon";
  View->SetViewStyle(vsList);
  TRect l0 = View->Items()->Item(0)->DisplayRect(drBounds), l1 = View->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(l1.Left, l0.Left) << "the list view goes down first";
  EXPECT_EQ(l1.Top, l0.Bottom);
}

TEST_F(ListViewFixture, CaptionsAreRenamedInPlace) {
  std::string edited;
  View->OnEdited = TLVEditedEvent::Lambda([&](TObject*, TListItem*, String& s) { edited = s; });
  TListItem* it = View->Items()->Item(1);
  ASSERT_TRUE(it->EditCaption());
  EXPECT_TRUE(View->IsEditing());
  TWinControl* editor = FindControl(GetFocus());
  ASSERT_NE(editor, View) << "the edit has the focus";
  Commit(editor, "新合同");
  Key(Qt::Key_Return);
  EXPECT_FALSE(View->IsEditing());
  EXPECT_EQ(edited, "新合同");
  EXPECT_EQ(it->Caption(), "新合同");
  View->SetReadOnly(true);
  EXPECT_FALSE(it->EditCaption());
}
