// The objects that feed drop-downs: the recently-used list, the special row, the distinct-value
// list of a field and the field-name routines; the column's MRU list and special row.
#include "TestGrid.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

using namespace gridtest;

namespace {

std::vector<String> ItemsOf(const TStrings* S) {
  std::vector<String> r;
  for (int i = 0; i < S->Count(); ++i) r.push_back(S->Strings(i));
  return r;
}

void SetItems(TMRUListEh& L, std::initializer_list<const char*> Items) {
  L.Items()->Clear();
  for (const char* s : Items) L.Items()->Add(s);
}

void DrainKeyDowns() {
  TMsg m;
  while (PeekMessage(m, 0, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
  }
}

// ================================================================ TMRUListEh

TEST(MRUList, RememberMovesAnEqualItemToTheEndOrAppends) {
  struct TCase {
    const char* Name;
    bool CaseSensitive;
    const char* Text;
    std::vector<String> Expected;
  };
  const TCase cases[] = {
      {"equal without regard to case moves", false, "abc", {"x", "y", "ABC"}},
      {"case-sensitive appends", true, "abc", {"x", "ABC", "y", "abc"}},
      {"exact match moves", true, "x", {"ABC", "y", "x"}},
      {"blanks only are ignored", false, "  \t ", {"x", "ABC", "y"}},
      {"empty is ignored", false, "", {"x", "ABC", "y"}},
      {"blanks around are kept and compared", false, " abc ", {"x", "ABC", "y", " abc "}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMRUListEh list;
    list.SetCaseSensitive(c.CaseSensitive);
    SetItems(list, {"x", "ABC", "y"});
    list.Remember(c.Text);
    EXPECT_EQ(ItemsOf(list.Items()), c.Expected);
  }
}

TEST(MRUList, LimitDropsTheOldestAndANegativeLimitIsKeptAtZero) {
  TMRUListEh list;
  SetItems(list, {"a", "b", "c"});
  list.SetLimit(3);
  list.Remember("d");
  EXPECT_EQ(ItemsOf(list.Items()), (std::vector<String>{"b", "c", "d"}));
  list.SetLimit(2);  // setting the limit trims at once
  EXPECT_EQ(ItemsOf(list.Items()), (std::vector<String>{"c", "d"}));
  list.SetLimit(-5);
  EXPECT_EQ(list.Limit(), 0);
  EXPECT_EQ(list.Items()->Count(), 0);
  list.Remember("e");
  EXPECT_EQ(list.Items()->Count(), 0) << "a limit of 0 keeps nothing";
}

TEST(MRUList, AssignCopiesAllButAutoAddAndActiveFiresOnChangeOnly) {
  TMRUListEh src, dst;
  SetItems(src, {"p", "q"});
  src.SetActive(true);
  src.SetLimit(5);
  src.SetRows(3);
  src.SetCaseSensitive(true);
  src.SetAutoAdd(false);
  int switches = 0;
  dst.OnActiveSwitch = TNotifyEvent::Lambda([&](TObject*) { ++switches; });
  dst.Assign(&src);
  EXPECT_TRUE(dst.Active());
  EXPECT_EQ(ItemsOf(dst.Items()), ItemsOf(src.Items()));
  EXPECT_EQ(dst.Limit(), 5);
  EXPECT_EQ(dst.Rows(), 3);
  EXPECT_TRUE(dst.CaseSensitive());
  EXPECT_TRUE(dst.AutoAdd());
  EXPECT_EQ(switches, 1);
  dst.SetActive(true);
  EXPECT_EQ(switches, 1);
}

TEST(MRUList, CollectMatchesTakesThePrefixThroughTheUsersFilter) {
  TMRUListEh list;
  SetItems(list, {"apple", "Apricot", "banana", "ap"});
  TStringList target;
  target.Add("stale");
  EXPECT_TRUE(list.CollectMatches(&target, "AP"));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"apple", "Apricot", "ap"}));

  list.SetCaseSensitive(true);
  EXPECT_TRUE(list.CollectMatches(&target, "ap"));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"apple", "ap"}));

  // The filter sees the decision and may turn it either way.
  list.OnAcceptItem = TAcceptMRUItemEventEh::Lambda([](TObject*, const String& Item, bool& Accept) {
    if (Item == "banana") Accept = true;
    if (Item == "ap") Accept = false;
  });
  EXPECT_TRUE(list.CollectMatches(&target, "ap"));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"apple", "banana"}));

  list.OnAcceptItem = TAcceptMRUItemEventEh::Lambda([](TObject*, const String& Item, bool& Accept) {
    Accept = Accept && Item != "Apricot";
  });
  EXPECT_TRUE(list.CollectMatches(&target, ""));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"apple", "banana", "ap"})) << "an empty prefix matches all";
  SetItems(list, {"北京", "北海", "上海"});
  list.OnAcceptItem = TAcceptMRUItemEventEh();
  EXPECT_TRUE(list.CollectMatches(&target, "北"));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"北京", "北海"}));
}

class MRUListQueue : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    DrainKeyDowns();
  }
  void TearDown() override {
    DrainKeyDowns();
    delete Form;
  }
  void PostKeyDown() { PostMessage(Form->Handle(), WM_KEYDOWN, 'X', 0); }
  TForm* Form = nullptr;
};

TEST_F(MRUListQueue, AWaitingKeyDownStopsTheMatchAfterTheFirstItem) {
  TMRUListEh list;
  for (int i = 0; i < 250; ++i) list.Items()->Add("a" + IntToStr(i));
  TStringList target;
  PostKeyDown();
  EXPECT_FALSE(list.CollectMatches(&target, "a"));
  EXPECT_EQ(ItemsOf(&target), (std::vector<String>{"a0"}));
  TMsg m;
  EXPECT_TRUE(PeekMessage(m, 0, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) << "the key stays queued";

  list.SetStopOnKeyInQueue(false);
  EXPECT_TRUE(list.CollectMatches(&target, "a"));
  EXPECT_EQ(target.Count(), 250);
}

TEST_F(MRUListQueue, AKeyArrivingDuringTheMatchStopsItAtTheNextHundred) {
  TMRUListEh list;
  for (int i = 0; i < 250; ++i) list.Items()->Add("a" + IntToStr(i));
  int seen = 0;
  list.OnAcceptItem = TAcceptMRUItemEventEh::Lambda([&](TObject*, const String&, bool&) {
    if (++seen == 150) PostKeyDown();
  });
  TStringList target;
  EXPECT_FALSE(list.CollectMatches(&target, "a"));
  EXPECT_EQ(target.Count(), 201) << "items 0..200, checked after item 200";
}

// ================================================================ TSpecRowEh

TEST(SpecRow, CellsTextSplitsAtSemicolonsAndControlCharacters) {
  struct TCase {
    String Text;
    std::vector<String> Cells;
  };
  const TCase cases[] = {
      {"a;\"b;c\";;d", {"a", "b;c", "", "d"}},
      {"\x01\x02x;y", {"x", "y"}},
      {"\"say \"\"hi\"\"\";z", {"say \"hi\"", "z"}},
      {"a\x01\x02;\x03" "b", {"a", "b"}},
      {"a\tb", {"a", "b"}},
      {"空值;北京", {"空值", "北京"}},
      {"", {}},
      {"a;", {"a"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ParseSpecRowCellsEh(c.Text), c.Cells);
  }
  TSpecRowEh row;
  row.SetCellsText("a;\"b;c\";;d");
  EXPECT_EQ(row.CellCount(), 4);
  EXPECT_EQ(row.CellText(1), "b;c");
  EXPECT_EQ(row.CellText(4), "");
  EXPECT_EQ(row.CellText(-1), "");
}

TEST(SpecRow, ChangesAreHeldAndReleasedAsOneNotice) {
  TSpecRowEh row;
  int notices = 0;
  row.OnSpecRowChanged = TNotifyEvent::Lambda([&](TObject*) { ++notices; });
  row.SetCellsText("x");
  row.SetCellsText("x");  // unchanged: no notice
  row.SetValue(Variant(1));
  row.SetValue(Variant(1));
  EXPECT_EQ(notices, 2);
  row.HoldChanges();
  row.SetVisible(true);
  row.SetColor(clRed);
  row.Font()->SetSize(14);
  EXPECT_EQ(notices, 2);
  row.ReleaseChanges();
  EXPECT_EQ(notices, 3);
  EXPECT_TRUE(row.ColorSet());
  EXPECT_TRUE(row.FontSet());

  TSpecRowEh copy;
  int copyNotices = 0;
  copy.OnSpecRowChanged = TNotifyEvent::Lambda([&](TObject*) { ++copyNotices; });
  copy.Assign(&row);
  EXPECT_EQ(copyNotices, 1);
  EXPECT_EQ(copy.CellsText(), "x");
  EXPECT_EQ(copy.Color(), clRed);
  EXPECT_EQ(copy.Font()->Size(), 14);
  EXPECT_TRUE(copy.Visible());
  EXPECT_EQ(copy.Value(), Variant(1));
  EXPECT_EQ(copy.ShortCut(), TShortCut(32814)) << "Alt+Del";
}

TEST(SpecRow, ColourAndFontFollowTheOwnerControlUntilSet) {
  TForm form(nullptr);
  auto* owner = new TPanel(&form);
  owner->SetColor(clYellow);
  owner->Font()->SetName("Arial");
  TSpecRowEh row(owner);
  EXPECT_EQ(row.Color(), clYellow);
  EXPECT_EQ(row.Font()->Name(), "Arial");
  EXPECT_FALSE(row.FontSet()) << "reading the owner's font is no change";
  owner->Font()->SetName("Courier New");
  EXPECT_EQ(row.Font()->Name(), "Courier New");
  row.SetColor(clLime);
  row.Font()->SetName("Times New Roman");
  owner->SetColor(clBlue);
  owner->Font()->SetName("Arial");
  EXPECT_EQ(row.Color(), clLime);
  EXPECT_EQ(row.Font()->Name(), "Times New Roman");
}

// ================================================================ distinct values and field names

class FieldValueList : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    Bind({{"B", V(1), 1}, {"a", V(2), 2}, {"B", V(3), 3}, {"c", V(4), 4}});
  }
};

TEST_F(FieldValueList, ListsEachValueOnceSortedAndKeepsTheRecord) {
  auto list = std::make_shared<TDatasetFieldValueListEh>();
  list->SetSourceDataSet(DS);
  list->SetSourceField("Code");
  ASSERT_TRUE(Locate("a"));
  EXPECT_EQ(ItemsOf(list->ValueList()), (std::vector<String>{"a", "B", "c"}));
  EXPECT_FALSE(list->Stale());
  EXPECT_EQ(CodeOf(DS), "a");
  EXPECT_EQ(DS->RecNo(), 2);
  EXPECT_FALSE(DS->ControlsDisabled());

  // Scrolling and record edits leave the list; a changed dataset or field makes it stale.
  DS->Next();
  DS->Edit();
  DS->FieldByName("Code")->SetAsString("z");
  EXPECT_FALSE(list->Stale());
  DS->Cancel();
  list->SetSourceField("Flag");
  EXPECT_TRUE(list->Stale());
  list->SetSourceField("Code");
  list->ValueList();
  DS->Append();
  DS->FieldByName("Code")->SetAsString("d");
  DS->Post();
  DS->Refresh();
  EXPECT_TRUE(list->Stale());
  EXPECT_EQ(ItemsOf(list->ValueList()), (std::vector<String>{"a", "B", "c", "d"}));
}

TEST_F(FieldValueList, AFailedWalkPutsTheRecordAndTheControlsBack) {
  TDatasetFieldValueListEh list;
  list.SetSourceDataSet(DS);
  list.SetSourceField("Code");
  ASSERT_TRUE(Locate("a"));
  int scrolls = 0;
  DS->SetAfterScroll(TDataSetNotifyEvent::Lambda([&](TDataSet*) {
    if (++scrolls == 3) throw Exception("scroll refused");
  }));
  EXPECT_THROW(list.ValueList(), Exception);
  DS->SetAfterScroll(TDataSetNotifyEvent());
  EXPECT_EQ(CodeOf(DS), "a");
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_TRUE(list.Stale());

  TDatasetFieldValueListEh unbound;
  unbound.SetSourceField("Code");
  EXPECT_EQ(unbound.ValueList()->Count(), 0);
  EXPECT_TRUE(unbound.Stale()) << "without a dataset the list stays stale";
  unbound.SetSourceDataSet(DS);
  unbound.SetSourceField("Nope");
  EXPECT_EQ(unbound.ValueList()->Count(), 0);
  EXPECT_TRUE(unbound.Stale());
}

TEST_F(FieldValueList, FieldNamesResolveOrNameTheUnknownOne) {
  std::vector<TField*> fields;
  FieldsByNamesArray(DS, nullptr, "Code; Qty;", fields);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0], DS->FieldByName("Code"));
  EXPECT_EQ(fields[1], DS->FieldByName("Qty"));
  CollectFieldsByNames(nullptr, DS, nullptr, "Amount");  // checking only

  TComponent named(nullptr);
  named.SetName("Lookup1");
  try {
    CollectFieldsByNames(&fields, DS, &named, "Code;X;Y");
    FAIL() << "an unknown name passed";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Lookup1: Field 'X' not found");
  }
  EXPECT_THROW(FieldsByNamesArray(DS, nullptr, "X", fields), EDatabaseError);
}

TEST_F(FieldValueList, AssignFieldValuesWritesAllOrNone) {
  ASSERT_TRUE(Locate("a"));
  DS->Edit();
  AssignFieldValues(DS, "Code;Qty", VarArrayOf({Variant("k"), Variant(7)}));
  EXPECT_EQ(CodeOf(DS), "k");
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 7);
  AssignFieldValues(DS, "Amount", Variant(2.5));
  EXPECT_DOUBLE_EQ(DS->FieldByName("Amount")->AsFloat(), 2.5);
  AssignFieldValues(DS, "Code;Qty", Null());
  EXPECT_TRUE(DS->FieldByName("Code")->IsNull());
  EXPECT_TRUE(DS->FieldByName("Qty")->IsNull());

  // The second field refuses its value: the first gets its old value back.
  DS->FieldByName("Code")->SetAsString("old");
  DS->FieldByName("Qty")->SetAsInteger(3);
  EXPECT_THROW(AssignFieldValues(DS, "Code;Qty", VarArrayOf({Variant("new"), Variant("abc")})), Exception);
  EXPECT_EQ(CodeOf(DS), "old");
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 3);
  try {
    AssignFieldValues(DS, "Code;Nope", Null());
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Field 'Nope' not found"), String::npos) << e.Message();
  }
  EXPECT_EQ(CodeOf(DS), "old") << "an unknown name writes nothing";
  DS->Cancel();
}

// ================================================================ the column's lists

// A grid whose in-cell editor counts as shown.
class TEditorShownGrid : public TTestGrid {
public:
  using TTestGrid::TTestGrid;
  bool Shown = false;
  bool InplaceEditorVisible() const override { return Shown; }
};

TEST(ColumnDropDownLists, WrittenTextIsRememberedOnlyWhileTheEditorShowsAndTheListAdds) {
  TComponent owner(nullptr);
  auto* grid = new TEditorShownGrid(&owner);
  TMemDataSet* ds = MakeAmounts(&owner, {{"A", V(1)}});
  auto* source = new TDataSource(&owner);
  source->SetDataSet(ds);
  grid->SetDataSource(source);
  ds->Open();
  TColumnEh* c = grid->Columns()->AddColumn();
  c->SetFieldName("Code");
  ds->Edit();
  c->MRUList()->SetActive(true);
  grid->Shown = true;
  c->WriteValue("北京", Variant("北京"), true);
  grid->Shown = false;
  c->WriteValue("上海", Variant("上海"), true);
  grid->Shown = true;
  c->MRUList()->SetAutoAdd(false);
  c->WriteValue("广州", Variant("广州"), true);
  c->MRUList()->SetAutoAdd(true);
  c->MRUList()->SetActive(false);
  c->WriteValue("深圳", Variant("深圳"), true);
  EXPECT_EQ(ItemsOf(c->MRUList()->Items()), (std::vector<String>{"北京"}));
  EXPECT_EQ(CodeOf(ds), "深圳");
  ds->Cancel();
}

TEST_F(FieldValueList, TheColumnStreamsItsMRUListAndSpecialRow) {
  TColumnEh* c = AddColumn("Code");
  c->MRUList()->SetActive(true);
  c->MRUList()->SetLimit(20);
  c->MRUList()->Items()->Add("北京");
  c->DropDownSpecRow()->SetCellsText("空;\"a;b\"");
  c->DropDownSpecRow()->SetVisible(true);
  c->DropDownSpecRow()->SetValue(Variant(-1));
  TColumnEh* plain = AddColumn("Qty");
  (void)plain;
  static_cast<TComponent*>(Grid)->SetName("Grid1");
  String text = WriteComponentToText(Grid);
  for (const char* stored : {"MRUList.Active = True", "MRUList.Limit = 20", "北京", "DropDownSpecRow.Visible = True",
                             "DropDownSpecRow.Value = -1"})
    EXPECT_NE(text.find(stored), String::npos) << stored << "\n" << text;
  for (const char* unstored : {"MRUList.Rows", "MRUList.AutoAdd", "DropDownSpecRow.ShortCut", "DropDownSpecRow.Color"})
    EXPECT_EQ(text.find(unstored), String::npos) << unstored << "\n" << text;

  auto copy = std::make_unique<TTestGrid>(nullptr);
  ReadComponentFromText(copy.get(), text);
  TColumnEh* r = copy->Columns()->Items(0);
  EXPECT_TRUE(r->MRUList()->Active());
  EXPECT_EQ(r->MRUList()->Limit(), 20);
  EXPECT_EQ(ItemsOf(r->MRUList()->Items()), (std::vector<String>{"北京"}));
  EXPECT_EQ(r->DropDownSpecRow()->CellText(1), "a;b");
  EXPECT_TRUE(r->DropDownSpecRow()->Visible());
  EXPECT_EQ(r->DropDownSpecRow()->Value(), Variant(-1));
  EXPECT_FALSE(copy->Columns()->Items(1)->MRUList()->Active());
}

}  // namespace
