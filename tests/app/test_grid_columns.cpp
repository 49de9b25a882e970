// The lists' columns from T_FieldShow: built over the seed database and small fixtures,
// saved back, sorted by the grid's markers, and the column chooser driven as a window.
#include "AppWindows.h"
#include "StdTestUtil.h"

#include "app/U_FieldShow.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "data/ADODB.h"
#include "data/DB.h"
#include "gui/Dialogs.h"
#include "grid/DBGridEh.h"
#include "grid/DBSumLst.h"

namespace {

class GridColumnsTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Host = new TForm(Application);
    Grid = new TDBGridEh(Host);
    Grid->SetParent(Host);
    Query = new TADOQuery(Host);
    Query->SetConnection(Frm_Data->ADOConnection1);
    Source = new TDataSource(Host);
    Source->SetDataSet(Query);
    Grid->SetDataSource(Source);
    Frm_Main->DotNumber = Frm_Main->DotPrice = Frm_Main->DotMoney = 2;
  }
  void TearDown() override {
    delete Host;
    AppWindowsTest::TearDown();
  }
  void Open(const String& sql) {
    Query->Close();
    Query->SQL()->SetText(sql);
    Query->Open();
  }
  // A shown T_FieldShow row of the list.
  void Row(const String& list, const String& field, const String& name, int showId, int sum = 0, int dot = 0,
           const String& combo = "", bool show = true) {
    Exec("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, DotSize, Dict_Combo) values (" +
         SqlStr(list) + ", " + SqlStr(field) + ", " + SqlStr(name) + ", 77, " + SqlInt(showId) + ", " +
         (show ? "true" : "false") + ", " + SqlInt(sum) + ", " + SqlInt(dot) + ", " + SqlStr(combo) + ")");
  }
  std::vector<String> Fields() const {
    std::vector<String> f;
    for (int i = 0; i < Grid->Columns()->Count(); ++i) f.push_back(Grid->Columns()->Items(i)->FieldName());
    return f;
  }
  std::vector<String> Lines(TStrings* s) const {
    std::vector<String> l;
    for (int i = 0; i < s->Count(); ++i) l.push_back(s->Strings(i));
    return l;
  }

  TForm* Host = nullptr;
  TDBGridEh* Grid = nullptr;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
};

const std::vector<String> kPactFields = {"PactCode", "PactName", "PactType", "PactMoney", "CustName", "PrjName",
                                         "PrjMan",   "PactDate", "BeginDate", "EndDate", "f_check"};

TEST_F(GridColumnsTest, ThePactListBuildsItsElevenShownColumnsWhateverTheCaseOfItsName) {
  Open("select * from t_pact");
  for (const char* list : {"pact", "Pact"}) {
    SCOPED_TRACE(list);
    Frm_Main->BuildGridColumns(Grid, Query, list);
    ASSERT_EQ(Fields(), kPactFields);
    TColumnEh* money = Grid->Columns()->Items(3);
    EXPECT_EQ(money->Footer()->ValueType(), fvtSum);
    EXPECT_EQ(money->DisplayFormat(), "0.00");
    EXPECT_EQ(money->Width(), 100);
    EXPECT_EQ(Query->FieldByName("PactMoney")->DisplayLabel(), "合同金额");
    EXPECT_EQ(Grid->Columns()->Items(0)->Title()->Caption(), "合同编号");
    for (int i = 0; i < Grid->Columns()->Count(); ++i) EXPECT_TRUE(Grid->Columns()->Items(i)->Title()->TitleButton());
    EXPECT_EQ(Grid->Columns()->Items(0)->Footer()->ValueType(), fvtNon);
    EXPECT_EQ(Grid->Columns()->Items(0)->DisplayFormat(), "");
  }
}

TEST_F(GridColumnsTest, DisplayFormatsFollowTheClassAndItsDecimalPlaces) {
  Open("select * from t_pact");
  Row("fmt", "PactMoney", "金额", 1);
  struct TCase {
    int DotSize, Places;
    const char* Format;
  } cases[] = {{1, 2, "0.00"}, {3, 0, "0"}, {3, 10, "0.0000000000"}, {3, 11, ""}, {4, 2, ""}, {2, 1, "0.0"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    Exec("update T_FieldShow set DotSize=" + SqlInt(c.DotSize) + " where TableName='fmt'");
    Frm_Main->DotNumber = Frm_Main->DotPrice = Frm_Main->DotMoney = c.Places;
    Frm_Main->BuildGridColumns(Grid, Query, "fmt");
    ASSERT_EQ(Grid->Columns()->Count(), 1);
    EXPECT_EQ(Grid->Columns()->Items(0)->DisplayFormat(), c.Format);
  }
}

TEST_F(GridColumnsTest, ShowButtonGivesAnEllipsisButtonAlwaysShown) {
  Open("select * from t_pact");
  Row("btn", "CustName", "客户", 1);
  Row("btn", "PrjName", "项目", 2);
  Exec("update T_FieldShow set ShowButton=1 where TableName='btn' and Field='CustName'");
  Frm_Main->BuildGridColumns(Grid, Query, "btn");
  ASSERT_EQ(Grid->Columns()->Count(), 2);
  EXPECT_TRUE(Grid->Columns()->Items(0)->AlwaysShowEditButton());
  EXPECT_EQ(Grid->Columns()->Items(0)->ButtonStyle(), cbsEllipsis);
  EXPECT_FALSE(Grid->Columns()->Items(1)->AlwaysShowEditButton());
  EXPECT_EQ(Grid->Columns()->Items(1)->ButtonStyle(), cbsAuto);
}

TEST_F(GridColumnsTest, OnlyTheNamedDropDownListsAndTheirPartsGiveEntries) {
  Open("select * from t_pact");
  Exec("insert into dict_combo (tablename, name, ShowID) values ('类型', '乙', 2)");
  Exec("insert into dict_combo (tablename, name, ShowID) values ('类型', '甲', 1)");
  struct TCase {
    const char* Combo;
    std::vector<String> Entries;
  } cases[] = {{"合同文件", {"合同正本", "补充协议", "变更文件", "结算文件", "其他"}},
               {"类型", {"甲", "乙"}},
               {"员工身份", {}},
               {"", {}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Combo);
    Exec("delete from T_FieldShow where TableName='lists'");
    Row("lists", "PactType", "类型", 1, 0, 0, c.Combo);
    Frm_Main->BuildGridColumns(Grid, Query, "lists");
    ASSERT_EQ(Grid->Columns()->Count(), 1);
    EXPECT_EQ(Lines(Grid->Columns()->Items(0)->KeyList()), c.Entries);
    EXPECT_EQ(Lines(Grid->Columns()->Items(0)->PickList()), c.Entries);
  }
}

TEST_F(GridColumnsTest, AnAbsentFieldIsLeftOutAndReportedOnceAndEqualPositionsKeepTableOrder) {
  Open("select * from t_pact");
  Row("bad", "PactCode", "编号", 1);
  Row("bad", "NoSuchField", "缺", 2);
  Row("bad", "Missing2", "缺2", 2);
  Row("bad", "CustName", "客户", 3);
  Row("bad", "PrjName", "项目", 3);
  TDialogScript script;
  script.Button(IDOK);
  Frm_Main->BuildGridColumns(Grid, Query, "bad");
  EXPECT_EQ(Fields(), (std::vector<String>{"PactCode", "CustName", "PrjName"}));
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_NE(script.Asked()[0].Text.find("NoSuchField"), String::npos) << script.Asked()[0].Text;
  EXPECT_EQ(Query->FieldByName("PrjName")->DisplayLabel(), "项目");
}

// The grid then shows the fields the way it does without a layout of its own.
TEST_F(GridColumnsTest, AListWithoutShownRowsLeavesTheGridWithoutConfiguredColumns) {
  Open("select * from t_pact");
  Frm_Main->BuildGridColumns(Grid, Query, "pact");
  EXPECT_TRUE(Grid->Columns()->IsCustomized());
  Frm_Main->BuildGridColumns(Grid, Query, "no such list");
  EXPECT_FALSE(Grid->Columns()->IsCustomized());
  EXPECT_EQ(Grid->Columns()->Count(), Query->Fields()->Count());
}

TEST_F(GridColumnsTest, ABuildWalksTheSumsOnceHoweverManyColumnsSum) {
  Exec("create table t_sums (id COUNTER, a CURRENCY, b CURRENCY, c CURRENCY, t TEXT(10))");
  Frm_Data->RunInTransaction([&] {
    for (int i = 0; i < 10000; ++i)
      Exec("insert into t_sums (a, b, c, t) values (" + SqlInt(i) + ", 1, 2, 'x')");
  });
  Row("sums", "t", "文字", 1);
  Row("sums", "a", "甲", 2, 1);
  Row("sums", "b", "乙", 3, 1);
  Row("sums", "c", "丙", 4, 1);
  Grid->SumList()->SetActive(true);
  Open("select * from t_sums");
  int walks = 0;
  Grid->OnSumListAfterRecalcAll = TNotifyEvent::Lambda([&](TObject*) { ++walks; });
  Frm_Main->BuildGridColumns(Grid, Query, "sums");
  EXPECT_EQ(walks, 1);
  ASSERT_EQ(Grid->Columns()->Count(), 4);
  TDBSum* sum = static_cast<TDBSum*>(Grid->Columns()->Items(3)->Footer()->SumItem());
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->ResultValue(), Currency(20000));
}

TEST_F(GridColumnsTest, SavingWritesPositionsAndWidthsByFieldInOneTransaction) {
  Open("select * from t_pact");
  Frm_Main->BuildGridColumns(Grid, Query, "pact");
  Grid->Columns()->Items(2)->SetIndex(0);
  Grid->Columns()->Items(1)->SetWidth(123);
  Frm_Main->SaveGridColumns(Grid, "pact", 0);
  EXPECT_EQ(Scalar("select showid from T_FieldShow where TableName='pact' and Field='PactType'"), "0");
  EXPECT_EQ(Scalar("select showid from T_FieldShow where TableName='pact' and Field='PactCode'"), "1");
  EXPECT_EQ(Scalar("select showid from T_FieldShow where TableName='pact' and Field='PactName'"), "2");
  EXPECT_EQ(Scalar("select width from T_FieldShow where TableName='pact' and Field='PactCode'"), "123");
  EXPECT_EQ(Scalar("select showid from T_FieldShow where TableName='pact' and Field='PactNote'"), "12");
  Frm_Main->BuildGridColumns(Grid, Query, "pact");
  EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "PactType");

  // A quote in the list's name is a character like any other.
  Row("a'b", "PactCode", "编号", 5);
  Row("a'b", "PactName", "名称", 6);
  Frm_Main->BuildGridColumns(Grid, Query, "a'b");
  ASSERT_EQ(Grid->Columns()->Count(), 2);
  Grid->Columns()->Items(1)->SetIndex(0);
  TDialogScript script;
  script.Button(mrOk);
  Frm_Main->SaveGridColumns(Grid, "a'b", 1);
  EXPECT_EQ(Scalar("select showid from T_FieldShow where TableName='a''b' and Field='PactName'"), "0");
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Text, "列属性已成功保存!");
}

TEST_F(GridColumnsTest, AFailingSaveLeavesEveryRowAsItWas) {
  Open("select * from t_pact");
  Frm_Main->BuildGridColumns(Grid, Query, "pact");
  // Positions unique per list: moving the sixth column last makes the seventh update collide
  // with the row not yet written.
  Exec("create unique index ix_fieldshow_position on T_FieldShow (TableName, ShowID)");
  Grid->Columns()->Items(5)->SetIndex(10);
  EXPECT_ANY_THROW(Frm_Main->SaveGridColumns(Grid, "pact", 1));
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(Scalar("select ShowID from T_FieldShow where TableName='pact' and Field=" + SqlStr(kPactFields[i])),
              SqlInt(i + 1));
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
}

TEST_F(GridColumnsTest, AGridOfOneColumnSavesNothingAndShowsNothing) {
  Open("select * from t_pact");
  Row("one", "PactCode", "编号", 7);
  Frm_Main->BuildGridColumns(Grid, Query, "one");
  Grid->Columns()->Items(0)->SetWidth(300);
  TDialogScript script;
  Frm_Main->SaveGridColumns(Grid, "one", 1);
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_EQ(Scalar("select width from T_FieldShow where TableName='one'"), "77");
}

TEST_F(GridColumnsTest, SortingFollowsTheMarkersInMarkingOrder) {
  Exec("create table t_sort (CustName TEXT(10), CustCode TEXT(10), Num INTEGER, Num1 INTEGER)");
  Exec("insert into t_sort values ('a', '1', 1, 3)");
  Exec("insert into t_sort values ('b', '2', 2, 1)");
  Exec("insert into t_sort values ('b', '3', 3, 2)");
  Row("sort", "CustName", "客户", 1);
  Row("sort", "CustCode", "编码", 2);
  Row("sort", "Num", "数", 3);
  Row("sort", "Num1", "数1", 4);
  Open("select * from t_sort");
  Frm_Main->BuildGridColumns(Grid, Query, "sort");
  Grid->SetOptionsEh(Grid->OptionsEh() + dghMultiSortMarking);
  TDBGridColumnsEh* c = Grid->Columns();

  Frm_Main->ApplyGridSort(Grid, Query);
  EXPECT_EQ(Query->Sort(), "");

  c->Items(0)->Title()->SetSortMarker(smUpEh);
  c->Items(1)->Title()->SetSortMarker(smDownEh);
  Frm_Main->ApplyGridSort(Grid, Query);
  EXPECT_EQ(Query->Sort(), "  CustName DESC , CustCode");
  Query->First();
  EXPECT_EQ(Query->FieldByName("CustCode")->AsString(), "2");

  c->Items(0)->Title()->SetSortMarker(smNoneEh);
  c->Items(1)->Title()->SetSortMarker(smNoneEh);
  c->Items(3)->Title()->SetSortMarker(smDownEh);
  Frm_Main->ApplyGridSort(Grid, Query);
  EXPECT_EQ(Query->Sort(), "  Num1");
  std::vector<String> order;
  for (Query->First(); !Query->Eof(); Query->Next()) order.push_back(Query->FieldByName("Num")->AsString());
  EXPECT_EQ(order, (std::vector<String>{"2", "3", "1"}));

  Query->Close();
  c->Items(3)->Title()->SetSortMarker(smUpEh);
  Frm_Main->ApplyGridSort(Grid, Query);
  EXPECT_EQ(Query->Sort(), "  Num1");
}

// A list as its user works it: title clicks sort the query through the grid's sort-marking
// event (a Ctrl click adds a column, told when Ctrl is let go); a title dragged to the front
// is saved and the next build shows its column first.
TEST_F(GridColumnsTest, TitleClicksSortTheListAndADraggedTitleIsSavedForTheNextBuild) {
  Exec("create table t_sort (CustName TEXT(10), CustCode TEXT(10), Num INTEGER, Num1 INTEGER)");
  for (const char* values : {"'a', '1', 1, 3", "'b', '2', 2, 1", "'b', '3', 3, 2"})
    Exec(String("insert into t_sort values (") + values + ")");
  Row("sort", "CustName", "客户", 1);
  Row("sort", "CustCode", "编码", 2);
  Row("sort", "Num", "数", 3);
  Row("sort", "Num1", "数1", 4);
  Host->SetBounds(40, 40, 500, 200);
  Grid->SetAlign(alClient);
  Grid->SetOptionsEh(Grid->OptionsEh() + dghAutoSortMarking + dghMultiSortMarking);
  Grid->OnSortMarkingChanged = TNotifyEvent::Lambda([&](TObject*) { Frm_Main->ApplyGridSort(Grid, Query); });
  Open("select * from t_sort");
  Frm_Main->BuildGridColumns(Grid, Query, "sort");
  Host->Show();
  Application->ProcessMessages();
  auto title = [&](int column) {
    TRect r = Grid->CellRect(Grid->DataToRawColumn(column), 0);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  auto click = [&](int column, Qt::KeyboardModifiers mods) {
    guitest::SendMouse(Grid, QEvent::MouseButtonPress, title(column), Qt::LeftButton, Qt::LeftButton, mods, 1000);
    guitest::SendMouse(Grid, QEvent::MouseButtonRelease, title(column), Qt::LeftButton, Qt::NoButton, mods, 5);
    Application->ProcessMessages();
  };
  auto firstCodes = [&] {
    String codes;
    for (Query->First(); !Query->Eof(); Query->Next()) codes += Query->FieldByName("CustCode")->AsString();
    return codes;
  };

  click(0, Qt::NoModifier);
  EXPECT_EQ(Query->Sort(), "  CustName");
  click(0, Qt::NoModifier);
  EXPECT_EQ(Query->Sort(), "  CustName DESC ");
  click(1, Qt::ControlModifier);
  click(1, Qt::ControlModifier);
  EXPECT_EQ(Query->Sort(), "  CustName DESC ") << "told only when Ctrl is let go";
  guitest::SendKey(QEvent::KeyRelease, Qt::Key_Control);
  Application->ProcessMessages();
  EXPECT_EQ(Query->Sort(), "  CustName DESC , CustCode DESC ");
  EXPECT_EQ(firstCodes(), "321");

  // The third title dragged onto the first.
  TPoint from = title(2), to = title(0);
  guitest::SendMouse(Grid, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 1000);
  guitest::Move(Grid, {from.X + 10, from.Y}, Qt::LeftButton);
  guitest::Move(Grid, to, Qt::LeftButton);
  guitest::SendMouse(Grid, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 5);
  Application->ProcessMessages();
  ASSERT_EQ(Fields(), (std::vector<String>{"Num", "CustName", "CustCode", "Num1"}));
  Frm_Main->SaveGridColumns(Grid, "sort", 0);
  Frm_Main->BuildGridColumns(Grid, Query, "sort");
  EXPECT_EQ(Fields(), (std::vector<String>{"Num", "CustName", "CustCode", "Num1"}));
}

TEST_F(GridColumnsTest, ScreenshotOfTheContractList) {
  ForceDirectories("screenshots");
  for (int i = 1; i <= 3; ++i)
    Exec("insert into t_pact (PactCode, PactName, PactType, PactMoney, CustName, f_check) values (" +
         SqlStr("HT00" + std::to_string(i)) + ", " + SqlStr("办公楼工程" + std::to_string(i)) + ", '施工', " +
         SqlInt(1000 * i) + ", '东方建设', '执行')");
  Host->SetBounds(0, 0, 900, 200);
  Grid->SetAlign(alClient);
  Grid->SetFooterRowCount(1);
  Grid->SumList()->SetActive(true);
  Open("select * from t_pact");
  Frm_Main->BuildGridColumns(Grid, Query, "pact");
  Host->Show();
  Application->ProcessMessages();
  EXPECT_TRUE(GrabToPng(Host, "screenshots/contract_list_columns.png"));
  EXPECT_GT(FileSize("screenshots/contract_list_columns.png"), 1000);
  TDBSum* sum = static_cast<TDBSum*>(Grid->Columns()->Items(3)->Footer()->SumItem());
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->ResultValue(), Currency(6000));
}

TEST(RemoveFirstOccurrence, DeletesOnlyTheFirstOccurrence) {
  struct TCase {
    const char *Text, *Part, *Result;
  } cases[] = {{"合同类别", "类", "合同别"}, {"Num1Num1", "1", "NumNum1"}, {"abc", "x", "abc"}, {"abc", "", "abc"},
               {"", "a", ""}};
  for (const TCase& c : cases) EXPECT_EQ(RemoveFirstOccurrence(c.Text, c.Part), c.Result) << c.Text;
}

// ---------------------------------------------------------------- the column chooser

class ColumnChooserTest : public AppWindowsTest {
protected:
  std::vector<String> Items(TListBox* l) const {
    std::vector<String> v;
    for (int i = 0; i < l->Items()->Count(); ++i) v.push_back(l->Items()->Strings(i));
    return v;
  }
  void Rows(const String& sql) { Exec(sql); }
  String ShowOf(const String& field) {
    return Scalar("select iif(show, 1, 0) from T_FieldShow where TableName='chooser' and Field=" + SqlStr(field));
  }
  void Add(const String& field, const String& name, bool show, int showId) {
    Exec("insert into T_FieldShow (TableName, Field, Name, ShowID, show) values ('chooser', " + SqlStr(field) + ", " +
         SqlStr(name) + ", " + SqlInt(showId) + ", " + (show ? "true" : "false") + ")");
  }
  // Shows the chooser on the list "chooser" and plays Step in it.
  void Through(std::function<void(TFrm_FieldShow*)> Step) {
    std::unique_ptr<TFrm_FieldShow> f(CreateForm<TFrm_FieldShow>(Frm_Main));
    f->TableName = "chooser";
    TModalSteps person({[&](TCustomForm*) { Step(f.get()); }});
    f->ShowModal();
    EXPECT_FALSE(person.Overran());
  }
  bool States(TFrm_FieldShow* f, bool right, bool left) {
    return f->SP_right->Enabled() == right && f->SP_allright->Enabled() == right && f->SP_left->Enabled() == left &&
           f->SP_allleft->Enabled() == left;
  }
};

TEST_F(ColumnChooserTest, TheWindowAndItsButtonsFollowTheLists) {
  Add("a", "甲", true, 1);
  Add("b", "乙", true, 2);
  Add("c", "丙", false, 3);
  Add("d", "丁", false, 4);
  Through([&](TFrm_FieldShow* f) {
    EXPECT_EQ(f->Caption(), "选择显示的字段");
    EXPECT_EQ(f->Width(), 387);
    EXPECT_EQ(f->Height(), 269);
    EXPECT_EQ(Items(f->SrcList), (std::vector<String>{"丙", "丁"}));
    EXPECT_EQ(Items(f->DstList), (std::vector<String>{"甲", "乙"}));
    EXPECT_TRUE(States(f, true, true));
    f->SrcList->SetItemIndex(1);
    f->SP_right->Click();
    EXPECT_EQ(Items(f->DstList), (std::vector<String>{"甲", "乙", "丁"}));
    EXPECT_EQ(f->SrcList->ItemIndex(), 0);
    f->SP_allright->Click();
    EXPECT_TRUE(Items(f->SrcList).empty());
    EXPECT_TRUE(States(f, false, true));
    f->SP_allleft->Click();
    EXPECT_TRUE(States(f, true, false));
    EXPECT_EQ(Items(f->SrcList), (std::vector<String>{"甲", "乙", "丁", "丙"}));
    f->Btn_exit->Click();
  });
  // Cancel changes nothing.
  EXPECT_EQ(ShowOf("a"), "1");
  EXPECT_EQ(ShowOf("c"), "0");
}

TEST_F(ColumnChooserTest, OkStoresVisibilityByTitleAndNotTheShownOrder) {
  Add("a", "甲", true, 1);
  Add("b", "乙", false, 2);
  Add("b2", "乙", false, 3);
  Add("c", "丙", true, 4);
  TDialogScript script;
  script.Button(mrOk);
  Through([&](TFrm_FieldShow* f) {
    f->SrcList->SetItemIndex(0);
    f->SrcListDblClick(f->SrcList);  // 乙 to the end of the shown list
    f->DstList->SetItemIndex(0);
    f->SP_left->Click();  // 甲 hidden
    EXPECT_EQ(Items(f->DstList), (std::vector<String>{"丙", "乙"}));
    f->Btn_ok->Click();
  });
  EXPECT_EQ(ShowOf("a"), "0");
  EXPECT_EQ(ShowOf("b"), "1");
  EXPECT_EQ(ShowOf("b2"), "1");
  EXPECT_EQ(ShowOf("c"), "1");
  EXPECT_EQ(Scalar("select ShowID from T_FieldShow where TableName='chooser' and Field='c'"), "4");
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Text, "修改完成！");
}

// The chooser as its user works it, with the mouse: a double click moves a title across, a
// click selects and "<" moves it back, "确定(&Y)" stores what the lists show.
TEST_F(ColumnChooserTest, DoubleClicksAndButtonClicksMoveTitlesAndOkStoresThem) {
  Add("a", "甲", true, 1);
  Add("b", "乙", false, 2);
  Add("c", "丙", false, 3);
  TDialogScript script;
  script.Button(mrOk);
  auto itemPoint = [](TListBox* list, int index) {
    TRect r = list->ItemRect(index);
    return TPoint{r.Left + 10, (r.Top + r.Bottom) / 2};
  };
  // One step a tick of the window's loop, so what the clicks post is handled in between.
  std::unique_ptr<TFrm_FieldShow> f(CreateForm<TFrm_FieldShow>(Frm_Main));
  f->TableName = "chooser";
  TModalSteps person({[&](TCustomForm*) {
                        TPoint p = itemPoint(f->SrcList, 1);
                        guitest::Press(f->SrcList, p, Qt::LeftButton, 1000);
                        guitest::Release(f->SrcList, p);
                        guitest::SendMouse(f->SrcList, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton,
                                           Qt::NoModifier, 20);
                        guitest::Release(f->SrcList, p);
                      },
                      [&](TCustomForm*) {
                        EXPECT_EQ(Items(f->DstList), (std::vector<String>{"甲", "丙"}));
                        EXPECT_EQ(f->SrcList->ItemIndex(), 0);
                        guitest::Click(f->DstList, itemPoint(f->DstList, 0));
                      },
                      [&](TCustomForm*) { guitest::Click(f->SP_left, {5, 5}); },
                      [&](TCustomForm*) {
                        EXPECT_EQ(Items(f->SrcList), (std::vector<String>{"乙", "甲"}));
                        EXPECT_EQ(Items(f->DstList), (std::vector<String>{"丙"}));
                        guitest::Click(f->Btn_ok, {10, 10});
                      }});
  f->ShowModal();
  EXPECT_FALSE(person.Overran());
  EXPECT_EQ(ShowOf("a"), "0");
  EXPECT_EQ(ShowOf("b"), "0");
  EXPECT_EQ(ShowOf("c"), "1");
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Text, "修改完成！");
}

TEST_F(ColumnChooserTest, AFailingUpdateLeavesEveryRowAsItWas) {
  Add("w", "丙", true, 1);
  Add("x", "甲", true, 2);
  Add("y", "甲", false, 3);
  // One title per visibility: showing both 甲 rows collides, after 丙 was already hidden.
  Exec("create unique index ix_fieldshow_title on T_FieldShow (TableName, Name, show)");
  TDialogScript script;
  Through([&](TFrm_FieldShow* f) {
    f->DstList->SetItemIndex(0);
    f->SP_left->Click();  // 丙 hidden
    f->SP_allright->Click();
    EXPECT_ANY_THROW(f->Btn_ok->Click());  // the caller hears of it; the window stays
    EXPECT_TRUE(f->Visible());
    f->Btn_exit->Click();
  });
  EXPECT_EQ(ShowOf("w"), "1");
  EXPECT_EQ(ShowOf("x"), "1");
  EXPECT_EQ(ShowOf("y"), "0");
  EXPECT_FALSE(Frm_Data->ADOConnection1->InTransaction());
  EXPECT_TRUE(script.Asked().empty());  // no "修改完成！"
}

TEST_F(ColumnChooserTest, ScreenshotOfTheChooser) {
  ForceDirectories("screenshots");
  Add("a", "合同编号", true, 1);
  Add("b", "合同名称", true, 2);
  Add("c", "合同说明", false, 3);
  Through([&](TFrm_FieldShow* f) {
    f->SrcList->SetItemIndex(0);
    Application->ProcessMessages();
    EXPECT_TRUE(GrabToPng(f, "screenshots/column_chooser.png"));
    f->Btn_exit->Click();
  });
  EXPECT_GT(FileSize("screenshots/column_chooser.png"), 1000);
}

}  // namespace
