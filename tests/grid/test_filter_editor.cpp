// The filter row's editor on a shown grid, driven with real keys and the mouse: entering the
// row by a click or by Up, typing a condition and applying it with Enter, the drop-down of
// values with its special choices, the keys that walk the filter cells, and the grid's
// messages that close, refocus, feed and re-place the editor.
#include "DBGridFixture.h"
#include "GuiTestUtil.h"

#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhColumn.h"
#include "grid/DBGridEhFilterEdit.h"
#include "grid/DBGridEhStyle.h"
#include "grid/DBSumLst.h"
#include "core/Scope.h"

#include <QtGui/QWheelEvent>

using namespace guitest;

namespace {

class FilterEditTest : public DBGridFixture {
protected:
  TColumnEh *CodeCol = nullptr, *AmountCol = nullptr;
  int Applied = 0;
  void SetUp() override {
    DBGridFixture::SetUp();
    CodeCol = AddColumn("Code");
    AmountCol = AddColumn("Amount");
    for (const char* f : {"Qty", "Flag", "Note"}) AddColumn(f)->SetWidth(150);
    AmountCol->Footer()->SetValueType(fvtSum);
    Grid->SetFooterRowCount(1);
    Grid->SumList()->SetActive(true);
    Grid->STFilter()->SetVisible(true);
    // Shows the records whose amount passes the amount's first condition when it is "greater than".
    Grid->OnApplyFilter = TNotifyEvent::Lambda([this](TObject*) {
      ++Applied;
      const TSTFilterExpressionEh& e = AmountCol->STFilter()->Expression();
      const Variant bound = e.Operator1 == foGreaterThan ? e.Operand1 : Null();
      DS->SetOnFilterRecord(TFilterRecordEvent::Lambda([bound](TDataSet* d, bool& accept) {
        accept = VarIsNull(bound) || d->FieldByName("Amount")->AsFloat() > bound.AsDouble();
      }));
      DS->SetFiltered(false);
      DS->SetFiltered(true);
    });
    Application->ProcessMessages();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  TInplaceFilterEditEh* Editor() const { return Grid->FilterEditor(); }
  bool EditorShown() const { return Grid->FilterEditorShown(); }
  TRect FilterCell(int DataCol) const { return Grid->CellRect(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() - 1); }
  TPoint FilterPoint(int DataCol, int DX = 4) const {
    TRect r = FilterCell(DataCol);
    return {r.Left + DX, (r.Top + r.Bottom) / 2};
  }
  TPoint DataPoint(int DataCol, int DataRow) const {
    TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() + DataRow);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void Type(const char* Text) {
    for (const char* p = Text; *p; ++p) {
      char c = *p;
      int key = c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : c;  // other ASCII keys are their own code
      TypeKey(key, c >= 'A' && c <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
    }
  }
  void Enter() { TypeKey(Qt::Key_Return, Qt::NoModifier, "\r"); }
  // Clicks the filter cell and replaces its text with Text, typed.
  void TypeInto(int DataCol, const char* Text) {
    Click(Grid, FilterPoint(DataCol));
    ASSERT_TRUE(EditorShown());
    Editor()->SelectAll();
    TypeKey(Qt::Key_Delete);
    Type(Text);
  }
};

// ---------------------------------------------------------------- entering by the mouse

TEST_F(FilterEditTest, AClickPutsTheEditorOnTheFilterCellWithTheCaretWhereClicked) {
  Grid->SetFixedColor(TColor(RGB(0xC0, 0xC0, 0xC0)));
  CodeCol->STFilter()->SetExpressionText("abcdef");
  const String text = Grid->FilterRowText(0);
  ASSERT_FALSE(text.empty());
  struct TCase {
    const char* Where;
    int DX;
    int Caret;
  };
  const TCase cases[] = {
      {"at the left margin", 2, 0},
      {"right of the text", FilterCell(0).Width() - 6, Length(text)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Where);
    Click(Grid, FilterPoint(0, c.DX));
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(Grid->InFilterRow());
    EXPECT_EQ(Grid->FilterEditColumn(), 0);
    EXPECT_TRUE(Editor()->Focused());
    EXPECT_EQ(Editor()->Text(), text);
    EXPECT_EQ(Editor()->SelLength(), 0) << "a click places the caret, it selects nothing";
    EXPECT_EQ(Editor()->CaretPos(), c.Caret);
    TRect cell = FilterCell(0);
    EXPECT_EQ(Editor()->BoundsRect(), Rect(cell.Left + 1, cell.Top, cell.Right, cell.Bottom));
    EXPECT_EQ(ColorToRGB(Editor()->Color()), RGB(0xD8, 0xD8, 0xD8));
    EXPECT_EQ(Editor()->Font()->Color(), clBlue);
    Click(Grid, DataPoint(0, 1));  // out of the row again
    ASSERT_FALSE(EditorShown());
  }
}

TEST_F(FilterEditTest, AClickOnAnotherFilterCellStoresTheTextAndMovesTheEditor) {
  TypeInto(1, ">6");
  Click(Grid, FilterPoint(0));
  EXPECT_EQ(Grid->FilterEditColumn(), 0);
  EXPECT_EQ(Editor()->BoundsRect().Left, FilterCell(0).Left + 1);
  EXPECT_EQ(AmountCol->STFilter()->Expression().Operator1, foGreaterThan);
  EXPECT_EQ(Grid->FilterRowText(1), "> 6");
  EXPECT_EQ(Applied, 0) << "moving stores the condition, it does not filter";
  // A press on a cell without a filter cell leaves the editor where it is.
  Grid->Columns()->Items(2)->STFilter()->SetVisible(false);
  Click(Grid, FilterPoint(2));
  EXPECT_EQ(Grid->FilterEditColumn(), 0);
}

// ---------------------------------------------------------------- typing and Enter

TEST_F(FilterEditTest, EnterAppliesTheTypedConditionOnceKeepingTheLeftColumnAndSummingTheFilteredRows) {
  ASSERT_EQ(Grid->GetFooterText(0, AmountCol), "78");
  TypeInto(1, ">9");
  const int left = Grid->LeftCol();
  Enter();
  EXPECT_EQ(Applied, 1);
  EXPECT_EQ(Grid->LeftCol(), left);
  EXPECT_EQ(DS->RecordCount(), 3);
  EXPECT_EQ(Grid->GetFooterText(0, AmountCol), "33");  // 10 + 11 + 12
  // The row stays open on the condition as the grid writes it back, all of it selected.
  ASSERT_TRUE(EditorShown());
  EXPECT_TRUE(Grid->InFilterRow());
  EXPECT_EQ(Editor()->Text(), "> 9");
  EXPECT_EQ(Editor()->SelLength(), Length(Editor()->Text()));
}

TEST_F(FilterEditTest, NullTestsAreWrittenBackInTheirOwnSpelling) {
  const struct {
    const char* Typed;
    TSTFilterOperatorEh Operator;
    const char* Shown;
  } cases[] = {{"=null", foNull, "=Null"}, {"<>null", foNotNull, "<>Null"}, {"!=NULL", foNotNull, "<>Null"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Typed);
    TypeInto(0, c.Typed);
    Enter();
    EXPECT_EQ(CodeCol->STFilter()->Expression().Operator1, c.Operator);
    EXPECT_EQ(Editor()->Text(), c.Shown);
  }
}

TEST_F(FilterEditTest, AFailedConditionOrHandlerIsShownAndTheGridIsRestored) {
  Grid->SetLeftCol(Grid->FixedCols() + 1);
  struct TCase {
    const char* Name;
    const char* Typed;
    bool HandlerFails;
    int Applied;
    TSTFilterOperatorEh Operator;
    const char* CellText;
    const char* Footer;
  };
  const TCase cases[] = {
      // The text does not parse: no half condition, the text stays, nothing is filtered.
      {"a number that is not one", ">x", false, 0, foNon, ">x", "78"},
      // The handler filters and then fails: the sums still follow what is shown.
      {"the handler fails", ">10", true, 1, foGreaterThan, "> 10", "23"},
  };
  const TNotifyEvent filter = Grid->OnApplyFilter;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Applied = 0;
    Grid->OnApplyFilter = TNotifyEvent::Lambda([&, c](TObject* S) {
      filter(S);
      if (c.HandlerFails) throw Exception("the server is gone");
    });
    Click(Grid, FilterPoint(1));
    const int left = Grid->LeftCol();
    Editor()->SelectAll();
    TypeKey(Qt::Key_Delete);
    Type(c.Typed);
    TBoxRecorder boxes;
    Enter();
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_NE(boxes.Calls[0].Text, "");
    EXPECT_EQ(Applied, c.Applied);
    EXPECT_EQ(AmountCol->STFilter()->Expression().Operator1, c.Operator);
    EXPECT_EQ(Grid->FilterRowText(1), c.CellText);
    EXPECT_EQ(Grid->LeftCol(), left);
    EXPECT_EQ(Grid->GetFooterText(0, AmountCol), c.Footer);
    EXPECT_TRUE(Grid->InFilterRow());
  }
}

// ---------------------------------------------------------------- the drop-down

class FilterListTest : public FilterEditTest {
protected:
  TMemDataSet* Codes = nullptr;
  TDataSource* CodeSource = nullptr;
  void SetUp() override {
    FilterEditTest::SetUp();
    Codes = new TMemDataSet(Form);
    Codes->FieldDefs()->Add("Code", ftString, 10);
    for (const char* s : {"R02", "R05", "R02"}) Codes->AddRow({Variant(String(s))});
    Codes->Open();
    CodeSource = new TDataSource(Form);
    CodeSource->SetDataSet(Codes);
    CodeCol->STFilter()->SetListSource(CodeSource);
  }
  std::vector<String> Items() const {
    std::vector<String> r;
    for (int i = 0; i < Editor()->Items()->Count(); ++i) r.push_back(Editor()->Items()->Strings(i));
    return r;
  }
  // Opens the code's drop-down with Alt+Down and chooses Item with the arrow keys and Enter.
  void Choose(const String& Item) {
    Click(Grid, FilterPoint(0));
    TypeKey(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Editor()->ListVisible());
    int wanted = Editor()->Items()->IndexOf(Item);
    ASSERT_GE(wanted, 0) << Item;
    for (int guard = 0; guard < 20 && Editor()->PopupList()->ItemIndex() != wanted; ++guard) TypeKey(Qt::Key_Down);
    ASSERT_EQ(Editor()->PopupList()->ItemIndex(), wanted);
    Enter();
    ASSERT_FALSE(Editor()->ListVisible());
  }
};

TEST_F(FilterListTest, TheListOffersTheValuesThenTheSpecialChoices) {
  Click(Grid, FilterPoint(0));
  EXPECT_TRUE(Editor()->EditButton()->Visible());
  TypeKey(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Editor()->ListVisible());
  EXPECT_EQ(Items(), (std::vector<String>{"R02", "R05", "(空)", "(非空)", "(全部)", "(清除过滤器)"}));
  TypeKey(Qt::Key_Escape);
  // Sorting by the list needs automatic sort marking and a title button on the column.
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking);
  CodeCol->Title()->SetTitleButton(true);
  Click(Grid, FilterPoint(1));
  Click(Grid, FilterPoint(0));
  TypeKey(Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(Items(), (std::vector<String>{"R02", "R05", "(空)", "(非空)", "(全部)", "(清除过滤器)", "-", "(正向排序)",
                                          "(逆向排序)"}));
  TypeKey(Qt::Key_Escape);
  // A column over plain values offers no list.
  Click(Grid, FilterPoint(1));
  EXPECT_FALSE(Editor()->EditButton()->Visible());
}

TEST_F(FilterListTest, CancelModeOnTheGridClosesTheEditorsList) {
  Click(Grid, FilterPoint(0));
  TypeKey(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Editor()->ListVisible());
  Grid->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Grid));
  EXPECT_FALSE(Editor()->ListVisible());
  EXPECT_TRUE(Grid->InFilterRow());
  EXPECT_EQ(Applied, 0);
}

TEST_F(FilterListTest, AColumnWithAListShowsItsDropDownButtonInTheFilterCell) {
  Grid->SetFixedColor(clWhite);  // lightened, white stays white: only the button is grey
  Grid->Repaint();
  Application->ProcessMessages();
  TPaintSurface pixels;
  pixels.Reset(Grid->ClientWidth(), Grid->ClientHeight());
  HDC dc = GetDC(Grid->Handle());
  BitBlt(pixels.DC(), 0, 0, Grid->ClientWidth(), Grid->ClientHeight(), dc, 0, 0, SRCCOPY);
  ReleaseDC(Grid->Handle(), dc);
  const COLORREF face = ColorToRGB(clBtnFace);
  for (int col : {0, 1}) {
    SCOPED_TRACE(col);
    const bool list = col == 0;
    TRect cell = FilterCell(col);
    TRect strip{cell.Right - GetSystemMetrics(SM_CXVSCROLL) + 2, cell.Top + 1, cell.Right - 2, cell.Bottom - 1};
    auto dark = [](COLORREF p) { return GetRValue(p) < 64 && GetGValue(p) < 64 && GetBValue(p) < 64; };
    EXPECT_EQ(pixels.CountColour(strip, face) > strip.Width() * strip.Height() / 3, list);
    EXPECT_EQ(pixels.CountWhere(strip, dark) > 0, list) << "the arrow";
  }
}

TEST_F(FilterListTest, EachChoiceActsOnTheTextAndFiltersAsTheStyleSays) {
  TDBGridEhStyle* style = Grid->Style();
  TScopeExit restore([style] { style->SetApplyFilterOnCloseUp(false); });
  struct TCase {
    const char* Choice;
    bool OnCloseUp;
    const char* Text;  // the editor's text afterwards (nullptr: the row was left)
    int Applied;
  };
  const TCase cases[] = {
      {"(空)", false, "=Null", 0},
      {"(空)", true, "=Null", 1},
      {"(非空)", true, "<>Null", 1},
      {"(全部)", false, "", 0},
      {"(全部)", true, "", 1},
      {"R05", false, "R05", 0},
      {"R05", true, "'R05'", 1},  // a list column writes its values back quoted
      {"(清除过滤器)", false, nullptr, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.Choice) + (c.OnCloseUp ? " applying on close-up" : ""));
    style->SetApplyFilterOnCloseUp(c.OnCloseUp);
    CodeCol->STFilter()->SetExpressionText("R0");
    AmountCol->STFilter()->SetExpressionText(">3");
    Applied = 0;
    Choose(c.Choice);
    EXPECT_EQ(Applied, c.Applied);
    if (c.Text) {
      EXPECT_TRUE(EditorShown());
      EXPECT_EQ(Editor()->Text(), c.Text);
      EXPECT_EQ(AmountCol->STFilter()->Expression().Operator1, foGreaterThan) << "other columns keep theirs";
    } else {
      EXPECT_FALSE(Grid->InFilterRow());
      EXPECT_FALSE(EditorShown());
      EXPECT_EQ(CodeCol->STFilter()->Expression().Operator1, foNon);
      EXPECT_EQ(AmountCol->STFilter()->Expression().Operator1, foNon);
    }
    Click(Grid, DataPoint(0, 1));
  }
}

TEST_F(FilterListTest, SortChoicesMarkOnlyTheColumnAndReportTheChange) {
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking);
  CodeCol->Title()->SetTitleButton(true);
  int reported = 0;
  Grid->OnSortMarkingChanged = TNotifyEvent::Lambda([&](TObject*) { ++reported; });
  const struct {
    const char* Choice;
    TSortMarkerEh Marker;
  } cases[] = {{"(正向排序)", smDownEh}, {"(逆向排序)", smUpEh}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Choice);
    AmountCol->Title()->SetSortMarker(smUpEh);
    reported = 0;
    Choose(c.Choice);
    EXPECT_EQ(CodeCol->Title()->SortMarker(), c.Marker);
    EXPECT_EQ(AmountCol->Title()->SortMarker(), smNoneEh);
    ASSERT_EQ(Grid->SortMarkedColumns()->Count(), 1);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(Editor()->Text(), "") << "a sort choice is not a condition";
    EXPECT_EQ(Applied, 0);
  }
}

// ---------------------------------------------------------------- keys in the row

TEST_F(FilterEditTest, KeysWalkTheFilterCells) {
  Grid->Columns()->Items(3)->STFilter()->SetVisible(false);  // the walk skips it
  AmountCol->STFilter()->SetExpressionText(">1");
  struct TCase {
    const char* Name;
    int From;
    int Caret;  // -1: the editor's text left selected as the row opens it
    int Key;
    Qt::KeyboardModifiers Mods;
    bool Tabs;
    int To;
  };
  const TCase cases[] = {
      {"Left at the start", 1, 0, Qt::Key_Left, Qt::NoModifier, true, 0},
      {"Left at the start of the first wraps", 0, 0, Qt::Key_Left, Qt::NoModifier, true, 4},
      {"Left inside the text", 1, 1, Qt::Key_Left, Qt::NoModifier, true, 1},
      {"Right at the end", 1, 3, Qt::Key_Right, Qt::NoModifier, true, 2},
      {"Right at the end skips a cell not shown", 2, 0, Qt::Key_Right, Qt::NoModifier, true, 4},
      {"Right at the end of the last wraps", 4, 0, Qt::Key_Right, Qt::NoModifier, true, 0},
      {"Right inside the text", 1, 1, Qt::Key_Right, Qt::NoModifier, true, 1},
      {"Ctrl+Right", 1, 1, Qt::Key_Right, Qt::ControlModifier, true, 4},
      {"Ctrl+Left", 2, 0, Qt::Key_Left, Qt::ControlModifier, true, 0},
      {"Home at the start", 4, 0, Qt::Key_Home, Qt::NoModifier, true, 0},
      {"End at the end", 0, 0, Qt::Key_End, Qt::NoModifier, true, 4},
      {"End inside the text", 1, 1, Qt::Key_End, Qt::NoModifier, true, 1},
      {"Tab", 1, 1, Qt::Key_Tab, Qt::NoModifier, true, 2},
      {"Shift+Tab", 1, 1, Qt::Key_Backtab, Qt::ShiftModifier, true, 0},
      {"Tab without dgTabs", 1, 1, Qt::Key_Tab, Qt::NoModifier, false, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDBGridOptions o = Grid->Options();
    Grid->SetOptions(c.Tabs ? o + dgTabs : o - dgTabs);
    Grid->OpenFilterEditor(c.From);
    ASSERT_TRUE(EditorShown());
    Editor()->SetSelStart(c.Caret);
    Editor()->SetSelLength(0);
    TypeKey(c.Key, c.Mods);
    EXPECT_TRUE(Grid->InFilterRow());
    EXPECT_EQ(Grid->FilterEditColumn(), c.To);
    EXPECT_TRUE(Grid->HasInputFocus());
  }
}

TEST_F(FilterEditTest, UpIsSwallowedShiftUpIsNotAndF2GoesToTheEnd) {
  std::vector<Word> reached;
  Grid->OpenFilterEditor(1);
  Editor()->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& Key, TShiftState) { reached.push_back(Key); });
  DS->SetRecNo(1);
  TypeKey(Qt::Key_Up);
  TypeKey(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(reached, std::vector<Word>{VK_UP}) << "only Shift+Up reaches the edit";
  EXPECT_TRUE(Grid->InFilterRow());
  Type("12");
  Editor()->SelectAll();
  TypeKey(Qt::Key_F2);
  EXPECT_EQ(Editor()->SelLength(), 0);
  EXPECT_EQ(Editor()->CaretPos(), 2);
}

TEST_F(FilterEditTest, UpEntersTheRowFromTheFirstRecordOrWithCtrlAndDownLeavesIt) {
  struct TCase {
    const char* Name;
    int RecNo;
    Qt::KeyboardModifiers Mods;
    bool Enters;
    int RecNoAfter;
  };
  const TCase cases[] = {
      {"Up on the first record", 1, Qt::NoModifier, true, 1},
      {"Up further down", 4, Qt::NoModifier, false, 3},
      {"Ctrl+Up further down", 4, Qt::ControlModifier, true, 4},
      {"Shift+Up on the first record", 1, Qt::ShiftModifier, false, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Grid->SetSelectedIndex(1);
    DS->SetRecNo(c.RecNo);
    Grid->SetFocus();
    Application->ProcessMessages();
    TypeKey(Qt::Key_Up, c.Mods);
    EXPECT_EQ(Grid->InFilterRow(), c.Enters);
    EXPECT_EQ(EditorShown(), c.Enters);
    EXPECT_EQ(DS->RecNo(), c.RecNoAfter);
    if (c.Enters) {
      EXPECT_EQ(Grid->FilterEditColumn(), 1);
      EXPECT_TRUE(Editor()->Focused());
    }
    Grid->LeaveFilterRow();
  }

  // Down leaves for the first record shown, in the filter edit column.
  DS->SetRecNo(12);
  Application->ProcessMessages();
  const int firstShown = Grid->RecordNumberOfRow(0);
  ASSERT_LT(firstShown, 12);
  Grid->SetSelectedIndex(0);
  Grid->OpenFilterEditor(2);
  TypeKey(Qt::Key_Down);
  EXPECT_FALSE(Grid->InFilterRow());
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(DS->RecNo(), firstShown);
  EXPECT_EQ(Grid->SelectedIndex(), 2);
  EXPECT_TRUE(Grid->Focused());
  // Ctrl+Down leaves without moving.
  DS->SetRecNo(12);
  Grid->OpenFilterEditor(1);
  TypeKey(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_FALSE(Grid->InFilterRow());
  EXPECT_EQ(DS->RecNo(), 12);
  EXPECT_EQ(Grid->SelectedIndex(), 1);
}

TEST_F(FilterEditTest, WithRowSelectUpEntersAtTheFirstColumnShownWithAFilterCell) {
  Grid->SetOptions(Grid->Options() + dgRowSelect);
  CodeCol->STFilter()->SetVisible(false);
  DS->SetRecNo(1);
  TypeKey(Qt::Key_Up);
  EXPECT_TRUE(Grid->InFilterRow());
  EXPECT_EQ(Grid->FilterEditColumn(), 1);
}

// ---------------------------------------------------------------- the grid's messages

TEST_F(FilterEditTest, APressOnTheDataLeavesTheRowAndGivesTheCellEditorBack) {
  Grid->SetOptions(Grid->Options() + dgEditing + dgAlwaysShowEditor);
  Application->ProcessMessages();
  Click(Grid, DataPoint(0, 1));
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  TypeInto(1, ">4");
  EXPECT_FALSE(Grid->InplaceEditorVisible()) << "no cell editor while the row is edited";
  Click(Grid, DataPoint(0, 2));
  EXPECT_FALSE(Grid->InFilterRow());
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Grid->FilterRowText(1), "> 4") << "the typed condition is kept";
  EXPECT_EQ(Applied, 0);
  EXPECT_TRUE(Grid->InplaceEditorVisible());
  // Opening the cell editor in code leaves the row too.
  Grid->OpenFilterEditor(0);
  ASSERT_TRUE(Grid->InFilterRow());
  Grid->OpenEditor();
  EXPECT_FALSE(Grid->InFilterRow());
  EXPECT_TRUE(Grid->InplaceEditorVisible());
}

TEST_F(FilterEditTest, TheFocusComesBackToTheEditorAndTypingToTheGridReachesIt) {
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 345, 100, 12);
  Grid->OpenFilterEditor(0);
  other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(Editor()->Focused());
  Grid->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(Editor()->Focused());
  EXPECT_TRUE(Grid->InFilterRow());
  Editor()->SetSelStart(Length(Editor()->Text()));
  Grid->Perform(WM_CHAR, 'R', 0);
  Grid->Perform(WM_CHAR, '7', 0);
  Grid->Perform(WM_CHAR, 8, 0);
  EXPECT_EQ(Editor()->Text(), "R");
}

TEST_F(FilterEditTest, TheWheelGoesToTheEditorWhileTheRowIsEdited) {
  DS->SetRecNo(5);
  Grid->SetOptions(Grid->Options() - dgTabs);
  Grid->OpenFilterEditor(1);
  // Tab the editor does not take hands the focus to the grid, the row still being edited.
  TypeKey(Qt::Key_Tab);
  ASSERT_TRUE(Grid->Focused());
  ASSERT_TRUE(Grid->InFilterRow());
  TPoint s = Grid->ClientToScreen(DataPoint(0, 2));
  QWidget* w = InputWidget(Grid);
  QWheelEvent down(w->mapFromGlobal(QPointF(s.X, s.Y)), QPointF(s.X, s.Y), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &down);
  Application->ProcessMessages();
  EXPECT_EQ(DS->RecNo(), 5);
  EXPECT_TRUE(Grid->InFilterRow());
}

TEST_F(FilterEditTest, TheEditorFollowsItsCellAndTheCondition) {
  Grid->OpenFilterEditor(1);
  // Scrolling: the editor stays on its cell, or hides while the cell is out of view.
  Grid->SetLeftCol(Grid->FixedCols() + 1);
  Application->ProcessMessages();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->BoundsRect().Left, FilterCell(1).Left + 1);
  Grid->SetLeftCol(Grid->FixedCols() + 2);
  Application->ProcessMessages();
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(Grid->InFilterRow());
  Grid->SetLeftCol(Grid->FixedCols());
  Application->ProcessMessages();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->BoundsRect().Left, FilterCell(1).Left + 1);
  // A new client size: the same cell, also when the titles grow.
  Grid->SetTitleHeight(40);
  Grid->SetBounds(0, 0, 480, 300);
  Application->ProcessMessages();
  TRect cell = FilterCell(1);
  EXPECT_EQ(Editor()->BoundsRect(), Rect(cell.Left + 1, cell.Top, cell.Right, cell.Bottom));
  // A column before it grows: the editor moves with its cell.
  CodeCol->SetWidth(CodeCol->Width() + 30);
  Application->ProcessMessages();
  EXPECT_EQ(Editor()->BoundsRect().Left, FilterCell(1).Left + 1);
  // A condition set in code shows in the open editor.
  AmountCol->STFilter()->SetExpressionText(">6");
  EXPECT_EQ(Editor()->Text(), "> 6");
  // The row hidden: the editor goes and the row is left.
  Grid->STFilter()->SetVisible(false);
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(Grid->InFilterRow());
}

TEST_F(FilterEditTest, SetFilterRowActiveOpensOnTheCurrentColumnAndCloses) {
  Grid->SetSelectedIndex(2);
  Grid->SetFilterRowActive(true);
  EXPECT_TRUE(Grid->InFilterRow());
  EXPECT_EQ(Grid->FilterEditColumn(), 2);
  EXPECT_TRUE(Editor()->Focused());
  Grid->SetFilterRowActive(false);
  EXPECT_FALSE(Grid->InFilterRow());
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(Grid->Focused());
  // No filter cell there: nothing opens.
  Grid->Columns()->Items(2)->STFilter()->SetVisible(false);
  Grid->SetFilterRowActive(true);
  EXPECT_FALSE(Grid->InFilterRow());
}

}  // namespace
