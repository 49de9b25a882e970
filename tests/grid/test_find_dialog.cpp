// The grid's find dialog over a database table (text, an amount shown as "#,##0.00"): what it
// offers, the walk over columns and records, the match options, and Ctrl+F in the grid.
#include "FileQuery.h"
#include "GridPaintFixture.h"
#include "GuiTestUtil.h"
#include "TempFolder.h"
#include "data/ADOConnection.h"
#include "grid/DBGridEhFindDlg.h"
#include "gui/Forms.h"
#include "gui/Timers.h"

#include <gtest/gtest.h>

namespace {

class FindDialog : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    String file = Dir / "find.db";
    CreateDatabaseFromScript(file,
                             "CREATE TABLE t (id COUNTER, Name TEXT(20), Note TEXT(20), Amount DOUBLE);\n"
                             "INSERT INTO t (Name, Note, Amount) VALUES ('abc1', 'x', 1234.5);\n"
                             "INSERT INTO t (Name, Note, Amount) VALUES ('y', 'ABC2', 10);\n"
                             "INSERT INTO t (Name, Note, Amount) VALUES ('abc3', 'abc4', 20);\n");
    Form = new TForm(Application);
    Form->SetBounds(20, 20, 420, 220);
    Query = FileQuery(Form, file, "select Name, Note, Amount from t order by id");
    auto* source = new TDataSource(Form);
    source->SetDataSet(Query);
    Grid = new TDBGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 400, 200);
    for (const char* f : {"Name", "Note", "Amount"}) Grid->Columns()->AddColumn()->SetFieldName(f);
    Grid->SetDataSource(source);
    Query->Open();
    static_cast<TNumericField*>(Query->FieldByName("Amount"))->SetDisplayFormat("#,##0.00");
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
    Dlg = DBGridEhFindDlg();
  }
  void TearDown() override {
    // The shared dialog goes with the test: it stays on top and would keep the focus.
    delete DBGridEhFindDlg();
    delete Form;
    Application->ProcessMessages();
  }
  void Open(const String& Text) {
    Dlg->Execute(Grid, Text, {}, false);
    Application->ProcessMessages();
  }
  // Where the grid stands: record number and column field.
  String At() const { return IntToStr(Query->RecNo()) + ":" + Grid->SelectedField()->FieldName(); }
  TempFolder Dir;
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDBGridEh* Grid = nullptr;
  TDBGridEhFindDlg* Dlg = nullptr;
};

TEST_F(FindDialog, ItOffersTheVisibleColumnsAndAllAndChoosesTheCurrentOne) {
  Grid->SetSelectedIndex(1);
  Grid->Columns()->Items(2)->SetVisible(false);
  Open("ab");
  EXPECT_EQ(Dlg->Caption(), "查找文本");
  EXPECT_EQ(Dlg->ClientWidth(), 505);
  EXPECT_EQ(Dlg->ClientHeight(), 124);
  EXPECT_EQ(Dlg->cbText->Text(), "ab");
  ASSERT_EQ(Dlg->cbFindIn->Items()->Count(), 3);
  EXPECT_EQ(Dlg->cbFindIn->Items()->Strings(0), "Name");
  EXPECT_EQ(Dlg->cbFindIn->Items()->Strings(2), "<全部>");
  EXPECT_EQ(Dlg->cbFindIn->Text(), "Note") << "the grid's current column";
  ASSERT_EQ(Dlg->SearchColumns()->Count(), 1);
  EXPECT_EQ(Dlg->cbFindDirection->Text(), "全部");
  EXPECT_EQ(Dlg->cbMatchinType->Text(), "字段的任意位置");
  EXPECT_TRUE(Dlg->cbUseFormat->Checked());
  EXPECT_FALSE(Dlg->cbCharCase->Checked());
  Dlg->cbFindIn->SetItemIndex(2);
  EXPECT_EQ(Dlg->SearchColumns()->Count(), 2) << "<全部>: every column before it";
}

TEST_F(FindDialog, FindAgainWalksColumnByColumnThenRecordByRecord) {
  Open("abc");
  Dlg->cbFindIn->SetItemIndex(Dlg->cbFindIn->Items()->Count() - 1);
  const char* expected[] = {"1:Name", "2:Note", "3:Name", "3:Note"};
  for (const char* at : expected) {
    ASSERT_TRUE(Dlg->FindNext(false)) << at;
    EXPECT_EQ(At(), at);
  }
  EXPECT_FALSE(Dlg->FindNext(false));
  EXPECT_EQ(At(), "3:Note") << "not found: the record and column stay";
  EXPECT_TRUE(Dlg->FindNext(true)) << "Ctrl reverses";
  EXPECT_EQ(At(), "3:Name");
  // "全部" starts at the first record again only after the text or direction changed.
  Query->Last();
  Dlg->cbText->SetEditTextEh("ABC");
  ASSERT_TRUE(Dlg->FindNext(false));
  EXPECT_EQ(At(), "1:Name");
  Dlg->cbFindDirection->SetItemIndex(1);  // 向下, from where the grid stands
  Query->SetRecNo(2);
  Grid->SetSelectedIndex(0);
  ASSERT_TRUE(Dlg->FindNext(false));
  EXPECT_EQ(At(), "2:Note");
}

TEST_F(FindDialog, TheOptionsDecideWhatMatches) {
  struct TCase {
    const char* Text;
    int Column;  // -1: all
    int Match;   // 0 anywhere, 1 whole, 2 beginning
    bool CaseSensitive, UseFormat;
    const char* Found;  // "" for none
  };
  const TCase cases[] = {
      {"1,234", 2, 0, false, true, "1:Amount"},   // the displayed "1,234.50"
      {"1,234", 2, 0, false, false, ""},          // the stored "1234.5"
      {"1234.5", 2, 1, false, false, "1:Amount"}, // the whole stored text
      {"234", 2, 2, false, true, ""},             // "1,234.50" does not begin with it
      {"abc", 1, 0, true, true, "3:Note"},        // case-sensitive: "ABC2" is passed over
      {"abc", 1, 0, false, true, "2:Note"},
      {"abc", -1, 1, false, true, ""},            // no value is exactly "abc"
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text + String(" ") + IntToStr(c.Match));
    Query->First();
    Grid->SetSelectedIndex(0);
    Open(c.Text);
    Dlg->cbFindIn->SetItemIndex(c.Column < 0 ? Dlg->cbFindIn->Items()->Count() - 1 : c.Column);
    Dlg->cbMatchinType->SetItemIndex(c.Match);
    Dlg->cbCharCase->SetChecked(c.CaseSensitive);
    Dlg->cbUseFormat->SetChecked(c.UseFormat);
    bool found = Dlg->FindNext(false);
    EXPECT_EQ(found, *c.Found != 0);
    if (found) EXPECT_EQ(At(), c.Found);
  }
  Dlg->cbCharCase->SetChecked(false);
  Dlg->cbUseFormat->SetChecked(true);
}

TEST_F(FindDialog, NotFoundShowsTheTextAndLeavesTheGridWhereItWas) {
  Query->SetRecNo(2);
  Grid->SetSelectedIndex(1);
  Open("zz");
  guitest::TBoxRecorder boxes;
  Dlg->bFind->Click();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "字符串 \"zz\" 没有找到");
  EXPECT_EQ(At(), "2:Note");
  EXPECT_GE(Dlg->cbText->Items()->IndexOf("zz"), 0) << "the text is remembered";
  for (int i = 0; i < 3; ++i) Grid->Columns()->Items(i)->SetVisible(false);
  Open("abc");
  EXPECT_EQ(Dlg->SearchColumns()->Count(), 0);
  Dlg->bFind->Click();
  EXPECT_EQ(boxes.Calls.size(), 2u) << "nothing to search: at once";
}

TEST_F(FindDialog, CtrlFInTheGridOpensTheDialogModally) {
  Grid->SetSelectedIndex(0);
  bool sawModal = false;
  String caption;
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    TDBGridEhFindDlg* d = DBGridEhFindDlg();
    if (!d->Visible()) return;
    sawModal = d->FormState().Contains(fsModal);
    caption = d->Caption();
    timer.SetEnabled(false);
    d->bCancel->Click();
  }));
  timer.SetEnabled(true);
  TCustomDBGridEh::OpenFindDialogHook = &OpenGridFindDialogEh;
  guitest::TypeKey(Qt::Key_F, Qt::ControlModifier);
  SetKeyDownState(VK_CONTROL, false);  // the release came while the dialog had the keyboard
  EXPECT_TRUE(sawModal);
  EXPECT_EQ(caption, "查找文本");
  EXPECT_FALSE(DBGridEhFindDlg()->Visible());
}

TEST_F(FindDialog, AGridFreedWhileTheDialogIsUpIsForgotten) {
  Open("abc");
  delete Grid;
  Grid = nullptr;
  EXPECT_EQ(Dlg->Grid(), nullptr);
  EXPECT_EQ(Dlg->SearchColumns()->Count(), 0);
  guitest::TBoxRecorder boxes;
  Dlg->bFind->Click();
  EXPECT_EQ(boxes.Calls.size(), 1u) << "nothing to search";
}

}  // namespace
