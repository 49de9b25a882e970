// The combo box: list sizes from rows and the widest item, row snapping, the popup with no
// items, rows, double-click stepping, the press hand-over, item events and owner drawing.
#include "DropDownFixture.h"

#include "editors/cxCanvas.h"
#include "editors/cxComboBox.h"
#include "editors/cxPopupEdit.h"
#include "editors/cxRegisteredClasses.h"
#include "gui/SysColors.h"

#include <QtCore/QDir>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

using namespace droptest;
using namespace guitest;

namespace {

struct ComboForm : DropDownForm {
  TcxComboBox* CB = nullptr;
  int Clicks = 0;
  void SetUp() override {
    DropDownForm::SetUp();
    CB = Add<TcxComboBox>(Rect(10, 60, 170, 81));
    Wire(CB);
    CB->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    Application->ProcessMessages();
  }
  void Fill(int n, const char* prefix = "item ") {
    TStrings* items = CB->Properties()->Items();
    items->Clear();
    for (int i = 0; i < n; ++i) items->Add(String(prefix) + std::to_string(i));
  }
  TcxComboBoxLookupData* Data() { return CB->ComboLookupData(); }
  TcxComboBoxListBox* List() { return CB->ListBox(); }
  void Open() {
    if (!CB->Focused()) {
      CB->SetFocus();
      Pump();
    }
    CB->SetPopupOpen(true);
    Pump();
  }
};

void SaveScreen(TForm* Form, const char* Name) {
  QRect area = WidgetOf(Form)->geometry();
  for (TcxCustomPopupWindow* p : OpenPopupWindows()) area |= WidgetOf(p)->geometry();
  QImage img(area.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  painter.drawImage(WidgetOf(Form)->geometry().topLeft() - area.topLeft(), WidgetOf(Form)->grab().toImage());
  for (TcxCustomPopupWindow* p : OpenPopupWindows())
    painter.drawImage(WidgetOf(p)->geometry().topLeft() - area.topLeft(), WidgetOf(p)->grab().toImage());
  painter.end();
  QDir().mkpath("screens");
  img.save(QString("screens/") + Name + ".png");
}

}  // namespace

TEST_F(ComboForm, PreferredListSizeComesFromRowsAndTheWidestItem) {
  CB->Properties()->SetItemHeight(16);
  Fill(3);
  Open();
  ASSERT_TRUE(CB->IsPopupOpen());
  ASSERT_NE(List(), nullptr);
  int widest = 0;
  for (int i = 0; i < 20; ++i) {
    CB->Properties()->Items()->Add("");
  }
  CB->Properties()->Items()->Clear();
  struct Case { int items; int widthLimit; int height; int extraWidth; const char* what; };
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  const Case cases[] = {{3, 1000, 48, 0, "three items"},
                        {20, 1000, 128, cxv, "twenty items scroll"},
                        {3, 10, 48 + cyh, 0, "too narrow: a horizontal bar"}};
  for (const Case& c : cases) {
    Fill(c.items);
    List()->SetItemCount(c.items);
    widest = 0;
    for (int i = 0; i < c.items; ++i) widest = std::max(widest, List()->GetItemWidth(i));
    TSize s{0, 0};
    Data()->GetListPreferredSize(1000, c.widthLimit, s);
    EXPECT_EQ(s.cy, c.height) << c.what;
    EXPECT_EQ(s.cx, widest + 4 + c.extraWidth) << c.what;
  }
  // A longer item, or a larger font, is measured again.
  Fill(3);
  TSize before{0, 0}, after{0, 0};
  Data()->GetListPreferredSize(1000, 1000, before);
  CB->Properties()->Items()->Add("a much longer item than the others");
  Data()->GetListPreferredSize(1000, 1000, after);
  EXPECT_GT(after.cx, before.cx);
  List()->Font()->SetSize(List()->Font()->Size() * 2);
  TSize larger{0, 0};
  Data()->GetListPreferredSize(1000, 1000, larger);
  EXPECT_GT(larger.cx, after.cx);
  // The popup is as wide as the editor at least and as high as the rows.
  Fill(3);
  CB->ClosePopup(pcrCancel);
  Open();
  TcxCustomEditPopupWindow* w = CB->PopupForm();
  TRect e;
  w->ViewInfo()->GetClientExtents(e);
  EXPECT_EQ(w->Height(), e.Top + 48 + e.Bottom);
  EXPECT_GE(w->Width(), w->OwnerRect.Width());
}

TEST_F(ComboForm, ResizingSnapsTheListToWholeRowsWithinTheLimit) {
  CB->Properties()->SetItemHeight(20);
  Fill(20, "");
  Open();
  ASSERT_NE(List(), nullptr);
  List()->SetBounds(0, 0, 150, 160);
  List()->SetScrollWidth(10);
  struct Case { int request; int limit; int expected; };
  const Case cases[] = {{170, 0, 160}, {181, 0, 180}, {139, 0, 140}, {200, 175, 160}};
  for (const Case& c : cases) {
    TSize s{150, c.request};
    EXPECT_TRUE(Data()->MayResizeList(s, c.limit));
    EXPECT_EQ(s.cy, c.expected) << c.request << " within " << c.limit;
  }
  // Without items the size stays as asked.
  CB->ClosePopup(pcrCancel);
  CB->Properties()->Items()->Clear();
  TSize s{150, 133};
  EXPECT_TRUE(Data()->MayResizeList(s, 0));
  EXPECT_EQ(s.cy, 133);
  EXPECT_EQ(s.cx, 150);
}

TEST_F(ComboForm, NoItemsNoPopupAndDropDownRowsIgnoresValuesBelowOne) {
  CB->SetPopupOpen(true);
  Pump();
  EXPECT_FALSE(CB->IsPopupOpen());
  for (int v : {0, -3}) {
    CB->Properties()->SetDropDownRows(v);
    EXPECT_EQ(CB->Properties()->DropDownRows(), 8);
  }
  CB->Properties()->SetDropDownRows(5);
  EXPECT_EQ(CB->Properties()->GetDropDownPageRowCount(), 5);
}

TEST_F(ComboForm, ARevertableDoubleClickStepsToTheNextItemOnlyWhileClosed) {
  Fill(3);
  CB->Properties()->SetRevertable(true);
  CB->SetFocus();
  Pump();
  CB->SetItemIndex(2);
  ASSERT_EQ(CB->ItemIndex(), 2);
  CB->DblClick();
  EXPECT_EQ(CB->ItemIndex(), 0) << "after the last, the first";
  EXPECT_EQ(CB->Text(), String("item 0"));
  Open();
  ASSERT_TRUE(CB->IsPopupOpen());
  CB->DblClick();
  EXPECT_EQ(CB->ItemIndex(), 0) << "open: nothing steps";
}

TEST_F(ComboForm, PressOnTheButtonDragIntoTheListAndReleaseChoosesAnItem) {
  Fill(5);
  CB->SetFocus();
  Pump();
  ASSERT_GE(CB->ViewInfo()->ButtonCount(), 1);
  const TRect btn = CB->ViewInfo()->Buttons[0]->Bounds;
  const TPoint b{(btn.Left + btn.Right) / 2, (btn.Top + btn.Bottom) / 2};
  Press(CB, b);
  Pump();
  ASSERT_TRUE(CB->IsPopupOpen());
  TcxComboBoxListBox* list = List();
  ASSERT_NE(list, nullptr);
  // Drag to the third row of the list, still holding the button captured by the editor.
  const int rowH = list->GetRowHeight(0);
  const TPoint target = list->ClientToScreen({20, rowH * 2 + rowH / 2});
  const TPoint inEditor = CB->ScreenToClient(target);
  SetCursorPos(target.X, target.Y);
  Move(CB, inEditor, Qt::LeftButton);
  Pump();
  Release(list, list->ScreenToClient(target));
  Pump();
  EXPECT_FALSE(CB->IsPopupOpen());
  EXPECT_EQ(CB->LastCloseReason, pcrAccept);
  EXPECT_EQ(CB->Text(), String("item 2"));
  EXPECT_EQ(Clicks, 1) << "choosing a different item clicks";

  // A click on the text alone never clicks.
  Clicks = 0;
  Click(CB, {10, 5});
  Pump();
  EXPECT_EQ(Clicks, 0);
}

TEST_F(ComboForm, MeasureHandlersMakeVariableRowsAndAFocusedFixedListIsOwnerDrawn) {
  Fill(4);
  std::vector<int> measured;
  CB->Properties()->SetItemHeight(18);
  CB->Properties()->OnMeasureItem = TcxMeasureItemEvent::Lambda([&](TcxCustomComboBox* c, int i, TcxCanvas*, int& h) {
    EXPECT_EQ(c, CB);
    EXPECT_EQ(h, 18) << "starts from ItemHeight";
    measured.push_back(i);
    h = 20 + i;
  });
  Open();
  ASSERT_NE(List(), nullptr);
  EXPECT_EQ(List()->Style(), lbOwnerDrawVariable);
  EXPECT_EQ(List()->GetRowHeight(3), 23);
  EXPECT_EQ(List()->GetRowHeight(-1), 18) << "the default row asks no handler";
  CB->ClosePopup(pcrCancel);
  CB->Properties()->OnMeasureItem = nullptr;
  Open();
  EXPECT_EQ(List()->Style(), lbOwnerDrawFixed);
  CB->ClosePopup(pcrCancel);

  std::vector<TOwnerDrawState> states;
  std::vector<int> indexes;
  CB->Properties()->OnDrawItem = TcxEditDrawItemEvent::Lambda(
      [&](TcxCustomComboBox* c, TcxCanvas*, int i, const TRect&, TOwnerDrawState s) {
        if (c == CB && s.Contains(odComboBoxEdit)) {
          states.push_back(s);
          indexes.push_back(i);
        }
      });
  CB->Properties()->SetDropDownListStyle(lsFixedList);
  CB->SetItemIndex(1);
  CB->SetFocus();
  Pump();
  CB->Repaint();
  Pump();
  ASSERT_FALSE(states.empty()) << "the closed editor's text is drawn by the handler";
  EXPECT_TRUE(states.back().Contains(odSelected));
  EXPECT_TRUE(states.back().Contains(odFocused));
  EXPECT_EQ(indexes.back(), 1);
}

TEST_F(ComboForm, AnOpenComboBoxForAPerson) {
  Fill(12);
  CB->Properties()->SetDropDownSizeable(true);
  CB->SetFocus();
  CB->SetItemIndex(3);
  Open();
  ASSERT_TRUE(CB->IsPopupOpen());
  EXPECT_TRUE(CB->PopupForm()->PanelOn()) << "a sizeable combo popup shows its grip panel";
  SaveScreen(Form, "combo_box_open");
  EXPECT_TRUE(QImage("screens/combo_box_open.png").width() > 0);
}

TEST(ComboBoxRegistry, BothDropDownEditorsAreRegisteredWithTheirDescriptions) {
  TcxRegisteredClasses* r = EditPropertiesRegistry();
  struct Case { TClass c; const char* d; };
  for (const Case c : {Case{TcxComboBoxProperties::StaticClass(), "ComboBox|Represents the combo box editor"},
                       Case{TcxPopupEditProperties::StaticClass(), "PopupEdit|Represents an edit control with a dropdown list"}}) {
    const int i = r->IndexOfClass(c.c);
    ASSERT_GE(i, 0);
    EXPECT_EQ(r->Descriptions(i), String(c.d));
  }
}
