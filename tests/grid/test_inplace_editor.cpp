// The grid's in-cell editor over a database file: its button strip and events, completion
// against key and pick lists, the pick list, calendar and calculator drop-downs, the list of
// recently entered texts, refused input and the required mark. Driven through messages.
#include "TreeMemTable.h"
#include "GridPaintFixture.h"
#include "GuiTestUtil.h"
#include "MenuTestUtil.h"
#include "FileQuery.h"
#include "TempFolder.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "data/MemDataSet.h"
#include "grid/CalculatorEh.h"
#include "grid/DBGridEh.h"
#include "grid/DBGridEhInplace.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/ImgList.h"
#include "gui/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

// 2024-05-15 as a day count.
const char* const kScript = R"(
CREATE TABLE t_item (id COUNTER, qty INTEGER, amount DOUBLE, signdate DATETIME, city TEXT(10), note TEXT(20));
INSERT INTO t_item (qty, amount, signdate, city, note) VALUES (7, 100, 45427, '01', 'first');
INSERT INTO t_item (qty, amount, signdate, city, note) VALUES (8, 200, 45428, '02', 'second');
)";

enum { kQty, kAmount, kDate, kCity, kNote };

LPARAM At(int X, int Y) { return MakeLParam(X, Y); }

class InplaceEditorTest : public ::testing::Test {
protected:
  TempFolder Dir;
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
  TDBGridEh* Grid = nullptr;

  void SetUp() override {
    EnsureGridTestApplication();
    String file = Dir / "items.db";
    CreateDatabaseFromScript(file, kScript);
    Form = new TForm(Application);
    Form->SetBounds(40, 40, 560, 300);
    Query = FileQuery(Form, file, "select * from t_item order by id");
    Source = new TDataSource(Form);
    Source->SetDataSet(Query);
    Query->Open();
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 540, 260);
    for (const char* name : {"qty", "amount", "signdate", "city", "note"}) Column(-1)->SetFieldName(name);
    Column(kCity)->KeyList()->SetText("01\n02");
    Column(kCity)->PickList()->SetText("北京\n上海");
    Grid->SetDataSource(Source);
    Form->Show();
    Grid->DataLink()->SetBufferCount(4);
    Grid->SetRowCount(5);
    Application->ProcessMessages();
  }
  void TearDown() override {
    SetKeyDownState(VK_CONTROL, false);
    SetKeyDownState(VK_MENU, false);
    delete Form;
    Application->ProcessMessages();
  }
  // Column Index, or a new one for -1.
  TColumnEh* Column(int Index) {
    return Index < 0 ? Grid->Columns()->AddColumn() : Grid->Columns()->Items(Index);
  }
  // The editor on column Index of the current record, all its text selected.
  TDBGridInplaceEdit* Edit(int Index) {
    Grid->SetFocus();
    Grid->SetSelectedIndex(Index);
    Application->ProcessMessages();
    Grid->Perform(WM_KEYDOWN, VK_F2, 0);
    auto* ed = dynamic_cast<TDBGridInplaceEdit*>(Grid->InplaceEditor());
    EXPECT_NE(ed, nullptr);
    if (!ed) return nullptr;
    EXPECT_TRUE(ed->Visible());
    ed->SelectAll();
    return ed;
  }
  void Type(TWinControl* C, const String& Text) {
    for (char32_t ch : Utf8ToUtf32(Text)) C->Perform(WM_CHAR, ch, 0);
  }
  // A key with its character queued behind it, as the keyboard gives them.
  void Press(TWinControl* C, Word Key, Char Ch) {
    if (Ch) PostMessage(C->Handle(), WM_CHAR, Ch, 0);
    C->Perform(WM_KEYDOWN, Key, 0);
    Application->ProcessMessages();
  }
  void AltDown(TWinControl* C) {
    SetKeyDownState(VK_MENU, true);
    C->Perform(WM_SYSKEYDOWN, VK_DOWN, AltMask);
    SetKeyDownState(VK_MENU, false);
  }
  String Field(const char* Name) { return Query->FieldByName(Name)->AsString(); }
};

// ================================================================ buttons

TEST_F(InplaceEditorTest, AnEllipsisColumnShowsOneButtonWhoseClickTellsTheGridThenTheColumn) {
  TColumnEh* note = Column(kNote);
  note->SetButtonStyle(cbsEllipsis);
  note->SetAlwaysShowEditButton(true);
  std::vector<String> log;
  Grid->OnEditButtonClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back("grid"); });
  note->OnEditButtonClick = TButtonClickEventEh::Lambda([&](TObject*, bool&) { log.push_back("column"); });
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->CurrentEditStyle(), edsEllipsis);
  ASSERT_EQ(ed->ButtonCount(), 1);
  TEditButtonControlEh* b = ed->ButtonControl(0);
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(b->Style(), ebsEllipsisEh);
  EXPECT_EQ(b->Left() + b->Width(), ed->ClientWidth());
  EXPECT_EQ(ed->TextRect().Right, ed->Width() - 2 - ed->ButtonStripWidth()) << "text stops before the strip";

  b->Click();
  EXPECT_EQ(log, (std::vector<String>{"grid", "column"}));

  log.clear();
  SetKeyDownState(VK_CONTROL, true);
  Press(ed, VK_RETURN, 10);
  SetKeyDownState(VK_CONTROL, false);
  EXPECT_EQ(log, (std::vector<String>{"grid"})) << "Ctrl+Enter tells the grid only";
  EXPECT_EQ(ed->Text(), "first") << "and inserts no line";
}

TEST_F(InplaceEditorTest, ADateColumnDropsDownUnlessReadOnlyAndExtraButtonsFollowTheMainOne) {
  TDBGridInplaceEdit* ed = Edit(kDate);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->CurrentEditStyle(), edsDateCalendar);
  EXPECT_TRUE(ed->ButtonControl(0)->Visible());
  EXPECT_EQ(ed->ButtonControl(0)->Style(), ebsDropDownEh);

  Column(kDate)->SetReadOnly(true);
  ed = Edit(kDate);
  EXPECT_EQ(ed->CurrentEditStyle(), edsSimple);
  EXPECT_FALSE(ed->ButtonControl(0)->Visible());
  EXPECT_EQ(ed->ButtonStripWidth(), 0);

  Column(kNote)->SetButtonStyle(cbsEllipsis);
  for (int i = 0; i < 2; ++i) Column(kNote)->EditButtons()->Add()->SetStyle(ebsPlusEh);
  ed = Edit(kNote);
  ASSERT_EQ(ed->ButtonCount(), 3);
  int right = 0;
  for (int i = 0; i < 3; ++i) {
    TEditButtonControlEh* b = ed->ButtonControl(i);
    EXPECT_TRUE(b->Visible()) << i;
    EXPECT_GE(b->Left(), right) << "main, button 0, button 1 from left to right";
    right = b->Left() + b->Width();
  }
  EXPECT_EQ(right, ed->ClientWidth());
  EXPECT_EQ(ed->ButtonControl(1)->Style(), ebsPlusEh);
  EXPECT_EQ(ed->ButtonStripWidth(), ed->ClientWidth() - ed->ButtonControl(0)->Left());
}

// The strip's buttons follow the editor's Enabled: disabled they take no click, enabled again
// they do.
TEST_F(InplaceEditorTest, TheButtonsOfADisabledEditorTakeNoClick) {
  TColumnEh* note = Column(kNote);
  note->SetButtonStyle(cbsEllipsis);
  int clicks = 0;
  Grid->OnEditButtonClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  for (int i = 0; i < 2; ++i)
    note->EditButtons()->Add()->OnClick = TButtonClickEventEh::Lambda([&](TObject*, bool&) { ++clicks; });
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ASSERT_EQ(ed->ButtonCount(), 3);
  auto enabled = [&] {
    std::string s;
    for (int i = 0; i < ed->ButtonCount(); ++i) s += ed->ButtonControl(i)->Enabled() ? '1' : '0';
    return s;
  };
  auto clickAll = [&] {
    for (int i = 0; i < ed->ButtonCount(); ++i) {
      TEditButtonControlEh* b = ed->ButtonControl(i);
      guitest::Click(b, {b->Width() / 2, b->Height() / 2});
      Application->ProcessMessages();
    }
  };
  EXPECT_EQ(enabled(), "111");
  ed->SetEnabled(false);
  EXPECT_EQ(enabled(), "000");
  clickAll();
  EXPECT_EQ(clicks, 0);
  ed->SetEnabled(true);
  EXPECT_EQ(enabled(), "111");
  clickAll();
  EXPECT_EQ(clicks, 3);
}

TEST_F(InplaceEditorTest, AnExtraButtonsShortcutPressesAndClicksIt) {
  TEditButtonEh* e = Column(kNote)->EditButtons()->Add();
  e->SetShortCut(ShortCut(VK_F4, {}));
  int downs = 0, clicks = 0;
  e->OnDown = TButtonDownEventEh::Lambda([&](TObject*, bool, bool&, bool&) { ++downs; });
  e->OnClick = TButtonClickEventEh::Lambda([&](TObject*, bool&) { ++clicks; });
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ed->Perform(WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(InplaceEditorTest, TheCellParametersHandlersColourTheEditorAndCanMakeItReadOnly) {
  Grid->OnGetCellParams = TGetCellEhParamsEvent::Lambda(
      [](TObject*, TColumnEh*, TFont*, TColor& Background, TGridDrawState State) {
        if (State.Contains(gdFocused)) Background = clYellow;
      });
  Column(kNote)->SetOnGetCellParams(TGetColCellParamsEventEh::Lambda([](TObject*, bool EditMode, TColCellParamsEh* P) {
    if (EditMode) P->SetReadOnly(true);
  }));
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->Color(), clYellow);
  EXPECT_TRUE(ed->ExplicitReadOnly());
  EXPECT_TRUE(ed->ReadOnly());
  Type(ed, "z");
  EXPECT_EQ(ed->Text(), "first");
  ed = Edit(kQty);
  EXPECT_FALSE(ed->ExplicitReadOnly());
  EXPECT_FALSE(ed->ReadOnly());
}

// ================================================================ completion

TEST_F(InplaceEditorTest, AKeyListColumnCompletesTypedTextAndDropsWhatMatchesNothing) {
  TDBGridInplaceEdit* ed = Edit(kCity);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->Text(), "北京");
  Type(ed, "上");
  EXPECT_EQ(ed->Text(), "上海");
  EXPECT_EQ(ed->SelText(), "海") << "the completed part is selected";
  Type(ed, "x");
  EXPECT_EQ(ed->Text(), "上海") << "no pick text starts with 上x";
  Press(ed, VK_RETURN, 13);
  Grid->DataLink()->UpdateRecord();
  Query->Post();
  EXPECT_EQ(Field("city"), "02");

  Column(kNote)->PickList()->SetText("alpha\nbeta");
  ed = Edit(kNote);
  Type(ed, "b");
  EXPECT_EQ(ed->Text(), "beta");
  ed->SelectAll();
  Type(ed, "z");
  EXPECT_EQ(ed->Text(), "z") << "a plain pick list types an unmatched character";
}

TEST_F(InplaceEditorTest, BackspaceInAKeyListColumnMovesLeftOrWithNotInListDeletes) {
  TDBGridInplaceEdit* ed = Edit(kCity);
  ASSERT_TRUE(ed);
  ed->SetSelStart(2);
  Press(ed, VK_BACK, 8);
  EXPECT_EQ(ed->Text(), "北京") << "without OnNotInList Backspace acts as Left";
  EXPECT_EQ(ed->SelStart(), 1);

  Column(kCity)->OnNotInList = TNotInListEventEh::Lambda([](TObject*, const String&, bool&) {});
  ed->SetSelStart(2);
  Press(ed, VK_BACK, 8);
  EXPECT_EQ(ed->Text(), "北");
  EXPECT_EQ(ed->SelStart(), 1);
  EXPECT_EQ(Grid->EditText(), "北") << "the grid hears the text";
  EXPECT_EQ(Query->State(), dsEdit);
}

// ================================================================ stepping and the mouse

TEST_F(InplaceEditorTest, UpDownButtonsAndDoubleClicksStepTheValue) {
  TColumnEh* qty = Column(kQty);
  qty->SetButtonStyle(cbsUpDown);
  qty->SetIncrement(2);
  TDBGridInplaceEdit* ed = Edit(kQty);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->ButtonControl(0)->Style(), ebsUpDownEh);
  TEditButtonControlEh* b = ed->ButtonControl(0);
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 1));
  b->Perform(WM_LBUTTONUP, 0, At(2, 1));
  EXPECT_EQ(Query->FieldByName("qty")->AsInteger(), 9) << "the upper half adds the increment";
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(2, b->Height() - 1));
  b->Perform(WM_LBUTTONUP, 0, At(2, b->Height() - 1));
  EXPECT_EQ(Query->FieldByName("qty")->AsInteger(), 7);

  Column(kCity)->SetDblClickNextVal(true);
  ed = Edit(kCity);
  ed->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(Field("city"), "02");
}

TEST_F(InplaceEditorTest, ACancelModeFromElsewhereClosesTheListAndTheWheelIsIgnoredWhileOpen) {
  Column(kNote)->PickList()->SetText("alpha\nbeta");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ed->OpenDropDown();
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(ed->PickListBox()));
  EXPECT_TRUE(ed->ListVisible()) << "its own list keeps the mode";
  int row = Grid->Row();
  ed->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-120) & 0xFFFF), 0);
  EXPECT_EQ(Grid->Row(), row);
  EXPECT_TRUE(ed->ListVisible());
  ed->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Form));
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "first");
}

// ================================================================ the pick list

TEST_F(InplaceEditorTest, ThePickListShowsAtMostDropDownRowsAndEscPutsTheTextBack) {
  struct TCase {
    int Items;
    int Rows;
  } cases[] = {{3, 3}, {10, 7}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Items);
    TStrings* picks = Column(kNote)->PickList();
    picks->Clear();
    for (int i = 0; i < c.Items; ++i) picks->Add("p" + IntToStr(i));
    Column(kNote)->SetDropDownRows(7);
    TDBGridInplaceEdit* ed = Edit(kNote);
    ASSERT_TRUE(ed);
    AltDown(ed);
    ASSERT_TRUE(ed->ListVisible());
    TPopupListboxEh* list = ed->PickListBox();
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(list->ClientHeight(), c.Rows * list->RowHeight());
    EXPECT_GE(list->Width(), ed->Width());
    EXPECT_TRUE(ed->ButtonControl(0)->AlwaysDown()) << "the button stays down while open";
    EXPECT_EQ(GetFocus(), ed->Handle()) << "the list never takes the focus";
    ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
    ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(ed->Text(), "p1") << "the text follows the list";
    Press(ed, VK_ESCAPE, 27);
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(ed->Text(), "first");
    EXPECT_FALSE(ed->ButtonControl(0)->AlwaysDown());
  }
}

TEST_F(InplaceEditorTest, AKeyListShowsOnlyPickTextsWithKeysAndStoresTheChosenKey) {
  TColumnEh* c = Column(kNote);
  c->KeyList()->SetText("k0\nk1\nk2\nk3\nk4");
  c->PickList()->SetText("零\n一\n二\n三");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  AltDown(ed);
  ASSERT_TRUE(ed->ListVisible());
  EXPECT_EQ(ed->PickListBox()->Items()->Count(), 4);
  for (int i = 0; i < 3; ++i) ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(ed->PickListBox()->ItemIndex(), 2);
  Press(ed, VK_RETURN, 13);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "二");
  Grid->DataLink()->UpdateRecord();
  Query->Post();
  EXPECT_EQ(Field("note"), "k2");
}

TEST_F(InplaceEditorTest, ResizingThePickListWithItsGripIsKeptInTheColumn) {
  TColumnEh* c = Column(kNote);
  for (int i = 0; i < 12; ++i) c->PickList()->Add("p" + IntToStr(i));
  c->SetDropDownRows(3);
  c->SetDropDownSizing(true);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ed->OpenDropDown();
  TPopupListboxEh* list = ed->PickListBox();
  ASSERT_TRUE(list->SizeGrip()->Visible());
  const int ih = list->RowHeight();
  TSizeGripEh* grip = list->SizeGrip();
  TPoint g = grip->BoundsRect().TopLeft();
  (void)g;
  grip->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(4, 4));
  int dy = grip->OnTop() ? -2 * ih : 2 * ih;
  grip->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(4 + 20, 4 + dy));
  grip->Perform(WM_LBUTTONUP, 0, At(4 + 20, 4 + dy));
  EXPECT_EQ(list->VisibleRows(), 5);
  int width = list->Width();
  ed->CloseDropDown(false);
  EXPECT_EQ(c->DropDownRows(), 5u);
  EXPECT_EQ(c->DropDownWidth(), width);
  ed->OpenDropDown();
  EXPECT_EQ(list->ClientHeight(), 5 * ih) << "the next drop-down uses them";
  ed->CloseDropDown(false);
}

TEST_F(InplaceEditorTest, AutoDropDownOpensOnTheFirstCharacterAndCompletes) {
  TColumnEh* c = Column(kNote);
  c->PickList()->SetText("alpha\nbeta\ngamma");
  c->SetAutoDropDown(true);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  Type(ed, "g");
  EXPECT_TRUE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "gamma");
  EXPECT_EQ(ed->PickListBox()->ItemIndex(), 2);
  ed->CloseDropDown(false);
}

TEST_F(InplaceEditorTest, AtTheWorkAreasBottomThePickListOpensAboveAndTheFormStaysActive) {
  TRect work = Screen->WorkAreaRect();
  Form->SetBounds(work.Left + 40, work.Bottom - 90, 560, 90);
  Grid->SetBounds(0, 0, 540, 80);
  Application->ProcessMessages();
  Column(kNote)->PickList()->SetText("alpha\nbeta\ngamma\ndelta");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ASSERT_EQ(Screen->ActiveForm(), Form);
  ed->OpenDropDown();
  TPopupListboxEh* list = ed->PickListBox();
  ASSERT_TRUE(list->Visible());
  TPoint top = ed->ClientToScreen({0, 0});
  EXPECT_EQ(list->Top() + list->Height(), top.Y) << "above the editor";
  EXPECT_EQ(list->Left(), top.X);
  EXPECT_EQ(list->SizeGrip()->OnTop(), true);
  EXPECT_EQ(GetFocus(), ed->Handle());
  EXPECT_EQ(Screen->ActiveForm(), Form);
  // A click in the list chooses without taking the focus.
  int y = list->RowHeight() + 1;
  list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(5, y));
  list->Perform(WM_LBUTTONUP, 0, At(5, y));
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "beta");
  EXPECT_EQ(GetFocus(), ed->Handle());
}

TEST_F(InplaceEditorTest, DeleteInAKeyListColumnClearsAllOrWithNotInListOnlyTheSelection) {
  TDBGridInplaceEdit* ed = Edit(kCity);
  ASSERT_TRUE(ed);
  ed->SetSelStart(0);
  ed->SetSelLength(1);
  ed->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ed->Text(), "北京") << "part of a key-list text is not deleted";
  ed->SelectAll();
  ed->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ed->Text(), "");
  EXPECT_EQ(Grid->EditText(), "");

  // With OnNotInList the selection alone goes, and the character after it stays.
  Column(kCity)->OnNotInList = TNotInListEventEh::Lambda([](TObject*, const String&, bool&) {});
  Query->Cancel();
  ed = Edit(kCity);
  ed->SetText("北京市");
  ed->SetSelStart(1);
  ed->SetSelLength(1);
  ed->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ed->Text(), "北市");
  EXPECT_EQ(ed->SelStart(), 1);
  EXPECT_EQ(Grid->EditText(), "北市");
}

TEST_F(InplaceEditorTest, PressingTheButtonOpensTheListAndDraggingIntoItSelectsThere) {
  Column(kNote)->PickList()->SetText("alpha\nbeta\ngamma");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  TEditButtonControlEh* b = ed->ButtonControl(0);
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ASSERT_TRUE(ed->ListVisible());
  ASSERT_TRUE(b->MouseCapture());
  TPopupListboxEh* list = ed->PickListBox();
  TPoint inList = b->ScreenToClient(list->ClientToScreen({5, 2 * list->RowHeight() + 1}));
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(inList.X, inList.Y));
  EXPECT_FALSE(b->MouseCapture()) << "the button let go";
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(GetCapture(), list->Handle());
  list->Perform(WM_LBUTTONUP, 0, At(5, 2 * list->RowHeight() + 1));
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "gamma");

  // The press that opened the list does not close it with its click; the next click does.
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  b->Perform(WM_LBUTTONUP, 0, At(3, 3));
  EXPECT_TRUE(ed->ListVisible());
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  b->Perform(WM_LBUTTONUP, 0, At(3, 3));
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "gamma");
}

// ================================================================ the calendar

TEST_F(InplaceEditorTest, TheCalendarOpensOnTheTextAndWritesTheChosenDate) {
  TDBGridInplaceEdit* ed = Edit(kDate);
  ASSERT_TRUE(ed);
  AltDown(ed);
  ASSERT_TRUE(ed->ListVisible());
  TPopupMonthCalendarEh* cal = ed->Calendar();
  EXPECT_EQ(cal->Date(), EncodeDate(2024, 5, 15));
  ed->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(cal->Date(), EncodeDate(2024, 5, 16)) << "Right goes to the calendar";
  Press(ed, VK_RETURN, 13);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(Query->FieldByName("signdate")->AsDateTime(), EncodeDate(2024, 5, 16));
  EXPECT_EQ(ed->Text(), DateToStr(EncodeDate(2024, 5, 16)));

  // Focus loss closes it unaccepted.
  ed->OpenDropDown();
  cal->SetDate(EncodeDate(2024, 5, 20));
  ed->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(Grid->Handle()), 0);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(Query->FieldByName("signdate")->AsDateTime(), EncodeDate(2024, 5, 16));
}

TEST_F(InplaceEditorTest, TextThatIsNoDateOpensTheCalendarOnTheFieldsDateOrToday) {
  TDBGridInplaceEdit* ed = Edit(kDate);
  ASSERT_TRUE(ed);
  ed->SetText("2024-02-30");
  ed->OpenDropDown();
  EXPECT_EQ(ed->Calendar()->Date(), EncodeDate(2024, 5, 15));
  ed->CloseDropDown(false);
  Query->Edit();
  Query->FieldByName("signdate")->Clear();
  ed->SetText("nonsense");
  ed->OpenDropDown();
  EXPECT_EQ(ed->Calendar()->Date(), Date());
  ed->CloseDropDown(false);
}

// ================================================================ the calculator

TEST_F(InplaceEditorTest, TheCalculatorComputesAndPutsItsResultIntoTheEditor) {
  Column(kAmount)->SetButtonStyle(cbsDropDown);
  TDBGridInplaceEdit* ed = Edit(kAmount);
  ASSERT_TRUE(ed);
  EXPECT_TRUE(ed->CalculatorAllowed());
  ed->SetText("");
  AltDown(ed);
  ASSERT_TRUE(ed->ListVisible());
  TPopupCalculatorEh* calc = ed->CalculatorPopup();
  Type(ed, "2+3=");
  EXPECT_EQ(calc->DisplayText(), "5");
  EXPECT_TRUE(calc->CanCloseOnEnter()) << "the = key reads Ok";
  Press(ed, VK_RETURN, 13);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "5");
  EXPECT_EQ(GetFocus(), ed->Handle());
}

TEST_F(InplaceEditorTest, CharactersTypedInTheEditorWorkTheCalculator) {
  Column(kAmount)->SetButtonStyle(cbsDropDown);
  struct TCase {
    const char* Start;
    const char* Keys;
    const char* Display;
    const char* Taken;  // the editor's text after Enter
  } cases[] = {
      {"", "2+3=", "5", "5"},
      {"200", "+10%", "220", "220"},
      {"200", "*10%", "20", "20"},
      {"", "1234567890123456", "123456789012345", "123456789012345"},
      {"5", "/0=", "Error", "5"},  // an error is not taken
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Keys);
    TDBGridInplaceEdit* ed = Edit(kAmount);
    ASSERT_TRUE(ed);
    ed->SetText(c.Start);
    ed->OpenDropDown();
    ASSERT_TRUE(ed->ListVisible());
    Type(ed, c.Keys);
    EXPECT_EQ(ed->CalculatorPopup()->DisplayText(), c.Display);
    EXPECT_EQ(ed->Text(), c.Start) << "the editor's text waits for the result";
    Press(ed, VK_RETURN, 13);
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_TRUE(ed->Visible()) << "the Enter that closed the calculator goes no further";
    EXPECT_EQ(ed->Text(), c.Taken);
    Query->Cancel();
  }
}

TEST_F(InplaceEditorTest, AnErrorInTheCalculatorIsNotTaken) {
  Column(kAmount)->SetButtonStyle(cbsDropDown);
  TDBGridInplaceEdit* ed = Edit(kAmount);
  ASSERT_TRUE(ed);
  ed->OpenDropDown();
  TPopupCalculatorEh* calc = ed->CalculatorPopup();
  EXPECT_EQ(calc->DisplayText(), "100") << "it starts from the editor's number";
  Type(ed, "/0=");
  EXPECT_EQ(calc->DisplayText(), "Error");
  ed->CloseDropDown(true);
  EXPECT_EQ(ed->Text(), "100");

  Column(kNote)->SetButtonStyle(cbsDropDown);
  ed = Edit(kNote);
  EXPECT_FALSE(ed->CalculatorAllowed()) << "a text field gets no calculator";
  AltDown(ed);
  EXPECT_FALSE(ed->ListVisible());
}

// ================================================================ word wrap and images

TEST_F(InplaceEditorTest, AWrappingEditorMovesTheCaretBetweenLinesAndLeavesTheEdgesToTheGrid) {
  Column(kNote)->SetWordWrap(true);
  Grid->SetRowHeight(60);  // the layout pass keeps the grid's own row height
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgAlwaysShowEditor});
  Application->ProcessMessages();
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ASSERT_TRUE(ed->WordWrap());
  EXPECT_TRUE(ed->WindowStyle() & ES_MULTILINE);
  EXPECT_FALSE(ed->WindowStyle() & ES_AUTOHSCROLL);
  String words;
  for (int i = 0; i < 30; ++i) words += "word ";
  ed->SetText(words);
  EXPECT_EQ(ed->Text(), words) << "the recreated window keeps the text";
  ASSERT_GT(ed->Perform(EM_GETLINECOUNT, 0, 0), 1);
  ed->SetSelStart(static_cast<int>(words.size()));
  int row = Grid->Row();
  ed->Perform(WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(Grid->Row(), row) << "Up from the last line stays in the text";
  EXPECT_LT(ed->SelStart(), static_cast<int>(words.size()));
  ed->SetSelStart(0);
  ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Grid->Row(), row);
  ed->SelectAll();
  ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Grid->Row(), row + 1) << "with the whole text selected the grid moves";
}

TEST_F(InplaceEditorTest, AColumnImageStandsBeforeTheTextAndFollowsThePickText) {
  auto* images = new TImageList(Form);
  images->SetWidth(12);
  images->SetHeight(12);
  for (TColor colour : {clRed, clBlue}) {
    TBitmap bmp;
    bmp.SetSize(12, 12);
    bmp.Canvas()->Brush()->SetColor(colour);
    bmp.Canvas()->FillRect(Rect(0, 0, 12, 12));
    images->Add(&bmp, nullptr);
  }
  TColumnEh* c = Column(kNote);
  c->PickList()->SetText("first\nsecond");
  c->SetImageList(images);
  c->SetShowImageAndText(true);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->ImageIndex(), 0);
  EXPECT_EQ(ed->TextRect().Left, 2 + 12 + 5);
  Type(ed, "s");
  EXPECT_EQ(ed->Text(), "second");
  EXPECT_EQ(ed->ImageIndex(), 1);
  TPaintSurface shot;
  shot.Reset(ed->Width(), ed->Height());
  ed->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.DC()), 0);
  EXPECT_GT(shot.CountColour(Rect(2, 0, 14, ed->Height()), RGB(0, 0, 255)), 50) << "image 1 is painted";
}

// ================================================================ recently entered texts

TEST_F(InplaceEditorTest, TypingAPrefixOfARememberedTextOpensTheListAndErasingClosesIt) {
  TMRUListEh* mru = Column(kNote)->MRUList();
  mru->SetActive(true);
  mru->Items()->SetText("apple\napricot\nbanana");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  Type(ed, "ap");
  ASSERT_TRUE(ed->MRUDroppedDown());
  TMRUListboxEh* box = ed->MRUListBox();
  EXPECT_TRUE(box->Visible());
  EXPECT_EQ(box->Items()->Count(), 2);
  EXPECT_EQ(GetFocus(), ed->Handle());
  ed->Perform(WM_KEYDOWN, VK_DOWN, 0);
  Press(ed, VK_RETURN, 13);
  EXPECT_FALSE(ed->MRUDroppedDown());
  EXPECT_EQ(ed->Text(), box->Items()->Strings(0));

  ed->SelectAll();
  Type(ed, "b");
  EXPECT_TRUE(ed->MRUDroppedDown());
  Type(ed, "\b");
  EXPECT_FALSE(ed->MRUDroppedDown()) << "an empty text closes it";
  EXPECT_FALSE(box->Visible());
}

TEST_F(InplaceEditorTest, AKeyWaitingInTheQueueStopsTheRecentlyEnteredListFromOpening) {
  TMRUListEh* mru = Column(kNote)->MRUList();
  mru->SetActive(true);
  mru->Items()->SetText("apple\napricot");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  PostMessage(ed->Handle(), WM_KEYDOWN, 'P', 0);
  Type(ed, "a");
  EXPECT_FALSE(ed->MRUDroppedDown()) << "the next key is coming: no list yet";
  Application->ProcessMessages();
  Type(ed, "p");
  EXPECT_TRUE(ed->MRUDroppedDown());
}

TEST_F(InplaceEditorTest, ColumnsBuiltAgainUnderAnOpenRecentTextsListLeaveTheEditorWithoutIt) {
  TMRUListEh* mru = Column(kNote)->MRUList();
  mru->SetActive(true);
  mru->Items()->SetText("apple\napricot");
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  Type(ed, "ap");
  ASSERT_TRUE(ed->MRUDroppedDown());
  TMRUListboxEh* box = ed->MRUListBox();
  // A list window builds its columns again from its settings: the old ones, and their lists
  // of recent texts, go while the editor lives on.
  Grid->Columns()->Clear();
  EXPECT_EQ(ed->MRUList(), nullptr);
  EXPECT_FALSE(ed->MRUDroppedDown());
  EXPECT_FALSE(box->Visible());
  Application->ProcessMessages();
}

// ================================================================ refused input

TEST_F(InplaceEditorTest, AValueTheFieldRefusesShowsTheErrorAndKeepsTheEditAndNothingIsPosted) {
  struct TCase {
    int Column;
    const char* Text;
    const char* Message;
    const char* Field;
    const char* Old;
  } cases[] = {
      {kQty, "abc", "'abc' 不是有效的整数值", "qty", "7"},
      {kDate, "2024-02-30", "'2024-02-30' 不是有效的日期和时间", "signdate", "2024-05-15"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TDBGridInplaceEdit* ed = Edit(c.Column);
    ASSERT_TRUE(ed);
    if (c.Column == kQty) {
      Type(ed, "a");
      EXPECT_EQ(ed->Text(), c.Old) << "a letter is not typed into an integer";
    }
    Clipboard()->SetAsText(c.Text);
    ed->SelectAll();
    ed->Perform(WM_PASTE, 0, 0);
    ASSERT_EQ(ed->Text(), c.Text);
    for (int attempt = 0; attempt < 2; ++attempt) {
      String message;
      try {
        Grid->DataLink()->UpdateRecord();
      } catch (const Exception& e) {
        message = e.Message();
      }
      EXPECT_EQ(message, c.Message) << "attempt " << attempt;
      EXPECT_TRUE(ed->Visible());
      EXPECT_EQ(ed->Text(), c.Text);
      EXPECT_EQ(Query->State(), dsEdit);
      EXPECT_TRUE(Grid->DataLink()->Modified()) << "the next post writes again";
    }
    Query->Cancel();
    Grid->DataLink()->ResetRecord();
    EXPECT_EQ(Field(c.Field), c.Column == kDate ? DateToStr(EncodeDate(2024, 5, 15)) : String(c.Old));
  }
}

// ================================================================ required mark

TEST_F(InplaceEditorTest, ARequiredNullFieldOfAnInsertedRecordIsMarkedOnlyWithHighlightRequired) {
  Query->FieldByName("note")->SetRequired(true);
  Query->Append();
  for (bool highlight : {true, false}) {
    SCOPED_TRACE(highlight);
    Column(kNote)->SetHighlightRequired(highlight);
    TDBGridInplaceEdit* ed = Edit(kNote);
    ASSERT_TRUE(ed);
    EXPECT_EQ(ed->RequiredMarkShown(), highlight);
    TPaintSurface shot;
    shot.Reset(ed->Width(), ed->Height());
    ed->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.DC()), 0);
    TRect r = ed->TextRect();
    int reds = shot.CountColour(Rect(0, ed->Height() - 2, ed->Width(), ed->Height() - 1), RGB(255, 0, 0));
    if (highlight) EXPECT_GT(reds, (r.Width() - 5) / 3) << "a dotted red line";
    else EXPECT_EQ(reds, 0);
  }
  Query->Cancel();
}

// ================================================================ lookups

// Orders whose city name is looked up through CityCode in a list of two cities.
class LookupEditorTest : public ::testing::Test {
protected:
  TForm* Form = nullptr;
  TMemDataSet *Cities = nullptr, *Orders = nullptr;
  TField *CityCode = nullptr, *CityName = nullptr;
  TDBGridEh* Grid = nullptr;

  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(Application);
    Form->SetBounds(40, 40, 400, 200);
    Cities = new TMemDataSet(Form);
    Cities->FieldDefs()->Add("Code", ftString, 10);
    Cities->FieldDefs()->Add("Name", ftWideString, 20);
    Cities->AddRow({Variant("01"), Variant(String("北京"))});
    Cities->AddRow({Variant("02"), Variant(String("上海"))});
    Cities->Open();
    Orders = new TMemDataSet(Form);
    Orders->FieldDefs()->Add("OrderNo", ftInteger);
    Orders->FieldDefs()->Add("CityCode", ftString, 10);
    Orders->AddRow({Variant(1), Variant("01")});
    AddField(new TIntegerField(Form), "OrderNo", fkData);
    CityCode = AddField(new TStringField(Form), "CityCode", fkData);
    CityName = AddField(new TWideStringField(Form), "CityName", fkLookup);
    CityName->SetKeyFields("CityCode");
    CityName->SetLookupDataSet(Cities);
    CityName->SetLookupKeyFields("Code");
    CityName->SetLookupResultField("Name");
    Orders->Open();
    auto* source = new TDataSource(Form);
    source->SetDataSet(Orders);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 380, 160);
    Grid->Columns()->AddColumn()->SetFieldName("CityName");
    Grid->SetDataSource(source);
    Form->Show();
    Grid->DataLink()->SetBufferCount(3);
    Grid->SetRowCount(4);
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  TField* AddField(TField* F, const char* Name, TFieldKind Kind) {
    F->SetFieldName(Name);
    F->SetFieldKind(Kind);
    F->SetDataSet(Orders);
    return F;
  }
  TDBGridInplaceEdit* Edit() {
    Grid->SetFocus();
    Application->ProcessMessages();
    Grid->Perform(WM_KEYDOWN, VK_F2, 0);
    auto* ed = dynamic_cast<TDBGridInplaceEdit*>(Grid->InplaceEditor());
    EXPECT_TRUE(ed && ed->Visible());
    return ed;
  }
};

TEST_F(LookupEditorTest, TypingCompletesFromTheListAndWritesTheKey) {
  TDBGridInplaceEdit* ed = Edit();
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->CurrentEditStyle(), edsDataList);
  EXPECT_EQ(ed->Text(), "北京");
  ed->SelectAll();
  ed->Perform(WM_CHAR, U'上', 0);
  EXPECT_EQ(ed->Text(), "上海");
  EXPECT_EQ(ed->SelText(), "海");
  EXPECT_EQ(Grid->EditValue(), Variant(String("02")));
  ed->Perform(WM_CHAR, U'x', 0);
  EXPECT_EQ(ed->Text(), "上海") << "no city starts with 上x";
  Grid->DataLink()->UpdateRecord();
  Orders->Post();
  EXPECT_EQ(CityCode->AsString(), "02");
}

TEST_F(LookupEditorTest, DeleteOnTheWholeTextClearsTheKeyAndOnPartOfItDoesNothing) {
  TDBGridInplaceEdit* ed = Edit();
  ASSERT_TRUE(ed);
  ed->SetSelStart(0);
  ed->SetSelLength(1);
  ed->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ed->Text(), "北京");
  ed->SelectAll();
  ed->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(ed->Text(), "");
  EXPECT_TRUE(VarIsNull(Grid->EditValue()));
  Grid->DataLink()->UpdateRecord();
  Orders->Post();
  EXPECT_TRUE(CityCode->IsNull());
}

TEST_F(LookupEditorTest, PasteIsCompletedLikeTypingAndUnmatchedTextIsRefused) {
  TDBGridInplaceEdit* ed = Edit();
  ASSERT_TRUE(ed);
  ed->SelectAll();
  Clipboard()->SetAsText("上");
  ed->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(ed->Text(), "上海");
  EXPECT_EQ(Grid->EditValue(), Variant(String("02")));
  ed->SelectAll();
  Clipboard()->SetAsText("广州");
  ed->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(ed->Text(), "上海") << "without OnNotInList only list texts are taken";
}

TEST_F(LookupEditorTest, TheSpecialRowsShortcutPutsItsTextAndValueIn) {
  TColumnEh* c = Grid->Columns()->Items(0);
  c->DropDownSpecRow()->SetCellsText("（无）");
  c->DropDownSpecRow()->SetValue(Variant("01"));
  c->DropDownSpecRow()->SetVisible(true);
  TDBGridInplaceEdit* ed = Edit();
  ASSERT_TRUE(ed);
  ed->SelectAll();
  ed->Perform(WM_CHAR, U'上', 0);
  SetKeyDownState(VK_MENU, true);
  ed->Perform(WM_SYSKEYDOWN, VK_DELETE, AltMask);
  SetKeyDownState(VK_MENU, false);
  EXPECT_EQ(ed->Text(), "（无）");
  EXPECT_EQ(ed->SelText(), "（无）");
  EXPECT_EQ(Grid->EditValue(), Variant(String("01")));
}

}  // namespace

// ================================================================ keys, mouse and focus for the grid

// A character a keyboard layout makes without a key code of its own opens the editor and is
// typed into it, as a letter is.
TEST_F(InplaceEditorTest, CharactersOfKeysWithoutAKeyCodeAreTypedIntoTheCell) {
  Grid->SetFocus();
  Grid->SetSelectedIndex(kNote);
  Application->ProcessMessages();
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("é"));
  auto* ed = dynamic_cast<TDBGridInplaceEdit*>(Grid->InplaceEditor());
  ASSERT_NE(ed, nullptr);
  EXPECT_TRUE(ed->Visible());
  guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("界"));
  EXPECT_EQ(ed->Text(), "é界");
}

TEST_F(InplaceEditorTest, EnterAsTabCtrlQuoteAndCtrlFGoFromTheEditorToTheGrid) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghEnterAsTab);
  TDBGridInplaceEdit* ed = Edit(kQty);
  ASSERT_TRUE(ed);
  guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(Grid->SelectedIndex(), kAmount) << "Enter steps to the next column";
  EXPECT_EQ(Query->RecNo(), 1);

  Query->Next();
  SCOPED_TRACE("amount");
  ed = Edit(kAmount);
  ASSERT_TRUE(ed);
  guitest::TypeKey(Qt::Key_Apostrophe, Qt::ControlModifier);
  SetKeyDownState(VK_CONTROL, false);  // the key's release still carried Ctrl
  EXPECT_EQ(Query->FieldByName("amount")->AsFloat(), 100.0) << "the record above's amount";
  Query->Cancel();
  Grid->DataLink()->ResetRecord();

  static String found;
  static int opened = 0;
  opened = 0;
  TCustomDBGridEh::OpenFindDialogHook = [](TCustomDBGridEh*, bool, const String& Text) {
    ++opened;
    found = Text;
  };
  Grid->SetOptionsEh(Grid->OptionsEh() + dghIncSearch + dghDialogFind);
  SCOPED_TRACE("note");
  ed = Edit(kNote);
  ASSERT_TRUE(ed);
  guitest::TypeKey(Qt::Key_F, Qt::ControlModifier);
  SetKeyDownState(VK_CONTROL, false);
  EXPECT_TRUE(Grid->IncSearchActive()) << "the first Ctrl+F searches";
  EXPECT_FALSE(ed->Visible());
  Grid->StopIncSearch();
  SCOPED_TRACE("note again");
  ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ed->SetSelStart(0);
  ed->SetSelLength(3);
  // A search started while the editor keeps the focus (a search key typed into it).
  Grid->IncSearch(String(), -1, 0);
  ed->Move(Grid->CellRect(Grid->Col(), Grid->Row()));
  ed->SetFocus();
  ed->SetSelStart(0);
  ed->SetSelLength(3);
  guitest::TypeKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(opened, 1) << "during a search the find dialog opens";
  EXPECT_EQ(found, "sec");
  EXPECT_FALSE(Grid->IncSearchActive());
  TCustomDBGridEh::OpenFindDialogHook = nullptr;
}

TEST_F(InplaceEditorTest, TheMouseOutsideTheTextLeavesTheCaretAndShowsTheArrow) {
  auto* images = new TImageList(Form);
  images->SetWidth(12);
  images->SetHeight(12);
  TColumnEh* c = Column(kNote);
  c->SetImageList(images);
  c->SetShowImageAndText(true);
  c->SetButtonStyle(cbsEllipsis);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ed->SetSelStart(3);
  ed->SetSelLength(0);
  TRect text = ed->TextRect();
  guitest::Click(ed, {text.Left - 6, ed->Height() / 2});  // on the image strip
  EXPECT_EQ(ed->SelStart(), 3) << "the edit did not see the press";
  guitest::Move(ed, {text.Left - 6, ed->Height() / 2});
  EXPECT_EQ(guitest::WidgetOf(ed)->cursor().shape(), Qt::ArrowCursor);
  guitest::Move(ed, {text.Left + 2, ed->Height() / 2});
  EXPECT_EQ(guitest::WidgetOf(ed)->cursor().shape(), Qt::IBeamCursor) << "over the text the edit's own";
  guitest::Click(ed, {text.Left + 1, ed->Height() / 2});
  EXPECT_EQ(ed->SelStart(), 0) << "a press on the text places the caret";
}

TEST_F(InplaceEditorTest, ATreeNodesEditorLeavesItsIndentAndAPressThereTogglesTheNode) {
  auto* tree = new TTreeMemTable(Form);
  tree->Node(1, 0, "根");
  tree->Node(2, 1, "叶子");
  tree->Node(3, 1, "树枝");
  Source->SetDataSet(tree);
  tree->Open();
  Grid->Columns()->Clear();
  Column(-1)->SetFieldName("Name");
  Application->ProcessMessages();
  tree->Next();
  TDBGridInplaceEdit* ed = Edit(0);
  ASSERT_TRUE(ed);
  EXPECT_EQ(ed->TreeIndent(), 36);
  EXPECT_EQ(ed->TextRect().Left, 2 + 36 + 1);
  guitest::Click(ed, {36 - 9, ed->Height() / 2});
  ASSERT_EQ(tree->Toggles.size(), 1u);
  EXPECT_EQ(tree->Toggles[0], std::make_pair(2, false)) << "the node of the edited record, closed";
  guitest::Click(ed, {36 + 8, ed->Height() / 2});
  EXPECT_EQ(tree->Toggles.size(), 1u) << "a press on the text is a plain press";
}

TEST_F(InplaceEditorTest, ARightToLeftColumnMirrorsTheButtonStrip) {
  TColumnEh* c = Column(kNote);
  c->SetButtonStyle(cbsEllipsis);
  c->SetBiDiMode(bdRightToLeft);
  for (int i = 0; i < 2; ++i) c->EditButtons()->Add()->SetStyle(ebsPlusEh);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  ASSERT_EQ(ed->ButtonCount(), 3);
  EXPECT_EQ(ed->ButtonControl(2)->Left(), 0) << "button 1 leftmost";
  EXPECT_GT(ed->ButtonControl(1)->Left(), ed->ButtonControl(2)->Left());
  EXPECT_GT(ed->ButtonControl(0)->Left(), ed->ButtonControl(1)->Left()) << "the main button rightmost";
  EXPECT_EQ(ed->TextRect().Left, 2 + ed->ButtonStripWidth());
}

// A press on a button with a drop-down menu shows the menu; the press that closes the menu by
// clicking the button again arrives before the menu's close notice and is swallowed.
TEST_F(InplaceEditorTest, TheClickThatClosesAButtonsMenuDoesNotOpenItAgain) {
  auto* menu = new TPopupMenu(Form);
  menu->Items()->Add(NewItem("复制", 0, false, true, TNotifyEvent(), 0, "miCopy"));
  int popups = 0;
  menu->OnPopup = TNotifyEvent::Lambda([&](TObject*) { ++popups; });
  TEditButtonEh* e = Column(kNote)->EditButtons()->Add();
  e->SetDropdownMenu(menu);
  TDBGridInplaceEdit* ed = Edit(kNote);
  ASSERT_TRUE(ed);
  TEditButtonControlEh* b = ed->ButtonControl(1);
  LPARAM onButton = MakeLParam(b->Left() + 3, b->Top() + 3);
  mnutest::WhilePopupOpen([&](QMenu*) {
    // The user clicks the button again: the click waits behind the open menu.
    PostMessage(ed->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    PostMessage(ed->Handle(), WM_LBUTTONUP, 0, onButton);
  });
  guitest::Click(ed, {b->Left() + 3, b->Top() + 3});
  Application->ProcessMessages();
  EXPECT_EQ(popups, 1) << "the closing click opened nothing";
  mnutest::WhilePopupOpen([](QMenu*) {});
  guitest::Click(ed, {b->Left() + 3, b->Top() + 3});
  Application->ProcessMessages();
  EXPECT_EQ(popups, 2) << "a later press opens it again";
}

// Enter posts; a value the field refuses shows its error and leaves editor, text and record
// in edit, every time; Esc twice brings the old value back.
TEST_F(InplaceEditorTest, EnterOnARefusedValueShowsTheErrorEachTimeAndEscEscRestores) {
  TDBGridInplaceEdit* ed = Edit(kQty);
  ASSERT_TRUE(ed);
  guitest::TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_EQ(ed->Text(), "7") << "a letter is not typed into an integer";
  Clipboard()->SetAsText("abc");
  ed->SelectAll();
  ed->Perform(WM_PASTE, 0, 0);
  guitest::TBoxRecorder boxes;
  for (int attempt = 1; attempt <= 2; ++attempt) {
    guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
    ASSERT_EQ(boxes.Calls.size(), static_cast<size_t>(attempt));
    EXPECT_EQ(boxes.Calls.back().Text, "'abc' 不是有效的整数值");
    EXPECT_TRUE(ed->Visible());
    EXPECT_EQ(ed->Text(), "abc");
    EXPECT_EQ(Query->State(), dsEdit) << "nothing posted";
  }
  guitest::TypeKey(Qt::Key_Escape);
  guitest::TypeKey(Qt::Key_Escape);
  EXPECT_EQ(Query->State(), dsBrowse);
  EXPECT_EQ(Field("qty"), "7");
}
