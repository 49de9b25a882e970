// Selected rows as bookmarks in dataset order, the data link's field map and its forwarding.
#include "DBGridFixture.h"

namespace {

using BookmarkTest = DBGridFixture;

TEST_F(BookmarkTest, RowsSelectedInAnyOrderAreKeptInDatasetOrderOnceEach) {
  AddColumn("Code");
  Select({5, 2, 9});
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"R02", "R05", "R09"}));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstRecordBookmarks);
  int changes = SelectionChanges;
  Select({5});
  EXPECT_EQ(Grid->SelectedRows()->Count(), 3) << "selecting twice keeps one";
  DS->SetRecNo(7);
  Grid->SelectedRows()->SetCurrentRowSelected(false);
  EXPECT_EQ(SelectionChanges, changes) << "no change, no notification";
  DS->SetRecNo(5);
  EXPECT_TRUE(Grid->SelectedRows()->CurrentRowSelected());
  Grid->SelectedRows()->SetCurrentRowSelected(false);
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"R02", "R09"}));
  EXPECT_THROW(Grid->SelectedRows()->Items(2), EListError);
}

TEST_F(BookmarkTest, SecondFindComesFromTheCacheUntilTheListChanges) {
  Select({3, 8});
  TBookmarkListEh* list = Grid->SelectedRows();
  String b = Bm(8);
  int i = -1;
  EXPECT_TRUE(list->Find(b, i));
  EXPECT_FALSE(list->LastFindCached());
  EXPECT_EQ(i, 1);
  EXPECT_TRUE(list->Find(b, i));
  EXPECT_TRUE(list->LastFindCached());
  Select({1});  // an insertion clears the cache
  EXPECT_TRUE(list->Find(b, i));
  EXPECT_FALSE(list->LastFindCached());
  EXPECT_EQ(i, 2) << "the fresh answer, not the cached index";
  // A missing one answers its insertion place.
  EXPECT_FALSE(list->Find(Bm(5), i));
  EXPECT_EQ(i, 2);
}

TEST_F(BookmarkTest, DeleteSelectedGoesLastToFirstAndEmptiesTheList) {
  Select({2, 5, 9});
  std::vector<String> order;
  DS->SetBeforeDelete(TDataSetNotifyEvent::Lambda([&](TDataSet* d) { order.push_back(d->FieldByName("Code")->AsString()); }));
  Grid->SelectedRows()->DeleteSelected();
  EXPECT_EQ(order, (std::vector<String>{"R09", "R05", "R02"}));
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(DS->RecordCount(), 9);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
  EXPECT_FALSE(DS->ControlsDisabled());
}

TEST_F(BookmarkTest, ARefusedDeleteStopsAndLeavesTheRestListedWithControlsBackOn) {
  Select({2, 5, 9});
  DS->SetBeforeDelete(TDataSetNotifyEvent::Lambda([](TDataSet* d) {
    if (d->FieldByName("Code")->AsString() == "R05") throw Exception("refused by the trigger");
  }));
  EXPECT_THROW(Grid->SelectedRows()->DeleteSelected(), Exception);
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(DS->RecordCount(), 11);
  DS->SetBeforeDelete(TDataSetNotifyEvent());
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"R02", "R05"}));
}

TEST_F(BookmarkTest, AClosedDatasetRefusesRowSelection) {
  Select({4});
  DS->Close();
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0) << "the link's activity change empties the list";
  try {
    Grid->SelectedRows()->SetCurrentRowSelected(true);
    FAIL() << "no error";
  } catch (const EInvalidGridOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(Grid->SelectedRows()->CurrentRowSelected(), EInvalidGridOperation);
}

TEST_F(BookmarkTest, ARecordDeletedElsewhereLeavesTheListSoWalksComplete) {
  Select({2, 5, 9});
  DS->SetRecNo(5);
  DS->Delete();
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"R02", "R09"}));
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstRecordBookmarks);
  // The last one gone too: nothing selected any more.
  DS->Locate("Code", Variant(String("R02")), TLocateOptions());
  DS->Delete();
  DS->Locate("Code", Variant(String("R09")), TLocateOptions());
  DS->Delete();
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
}

TEST_F(BookmarkTest, AfterASortTheListFollowsTheNewOrderAndRowsStillReadSelected) {
  Select({2, 5, 9});
  DS->SetSort("Amount DESC");
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"R09", "R05", "R02"}));
  for (const char* code : {"R02", "R05", "R09", "R03"}) {
    DS->Locate("Code", Variant(String(code)), TLocateOptions());
    EXPECT_EQ(Grid->SelectedRows()->CurrentRowSelected(), String(code) != "R03") << code;
  }
}

TEST_F(BookmarkTest, RowsInViewNamesTheShownRowsThatAreSelected) {
  DS->First();
  Select({3, 5});
  DS->First();
  TGridRect r = Grid->SelectedRows()->RowsInView();
  EXPECT_EQ(r.Top, 3);  // buffer rows 2 and 4 under one title row
  EXPECT_EQ(r.Bottom, 5);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Right, Grid->ColCount() - 1);
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), 0) << "the active record is restored";
  Grid->SelectedRows()->Clear();
  EXPECT_EQ(Grid->SelectedRows()->RowsInView(), (TGridRect{-1, -1, -1, -1}));
}

// ---------------------------------------------------------------- field map

using FieldMapTest = DBGridFixture;

TEST_F(FieldMapTest, AColumnOnNoFieldMapsToNothingAndFieldsAreNotAllMapped) {
  {
    TDBGridEhLayoutLock lock(Grid);
    AddColumn("Code");
    AddColumn("Missing");
    AddColumn("Amount");
  }
  TGridDataLinkEh* link = Grid->DataLink();
  ASSERT_EQ(link->FieldCount(), 3);
  EXPECT_TRUE(link->SparseFieldMap());
  EXPECT_EQ(link->FieldAt(0), DS->FieldByName("Code"));
  EXPECT_EQ(link->FieldAt(1), nullptr);
  EXPECT_EQ(link->FieldAt(2), DS->FieldByName("Amount"));
  EXPECT_EQ(link->FieldAt(3), nullptr);
  EXPECT_EQ(link->FieldAt(-1), nullptr);
  EXPECT_FALSE(link->AllFieldsMapped());
  Grid->Columns()->Items(1)->SetFieldName("Qty");
  Grid->RebuildLayout();
  EXPECT_TRUE(link->AllFieldsMapped());
}

TEST_F(FieldMapTest, TheMapGrowsFromNothingToEightThenDoubles) {
  TGridDataLinkEh* link = Grid->DataLink();
  link->ClearFieldMap();
  EXPECT_EQ(link->MapCapacity(), 0);
  link->SetSparseFieldMap(true);
  struct {
    int Count, Capacity;
  } steps[] = {{1, 8}, {8, 8}, {9, 16}, {16, 16}, {17, 32}};
  int added = 0;
  for (auto& s : steps) {
    while (added < s.Count) {
      link->AddFieldMapping("Code");
      ++added;
    }
    EXPECT_EQ(link->FieldCount(), s.Count);
    EXPECT_EQ(link->MapCapacity(), s.Capacity) << s.Count;
  }
}

TEST_F(FieldMapTest, AStrictMapNamesTheMissingField) {
  TGridDataLinkEh* link = Grid->DataLink();
  link->ClearFieldMap();
  link->SetSparseFieldMap(false);
  try {
    link->AddFieldMapping("Nowhere");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("Nowhere"), String::npos) << e.Message();
  }
  EXPECT_EQ(link->FieldCount(), 0);
}

TEST_F(FieldMapTest, WithoutCustomisedColumnsEveryVisibleFieldIsMappedInOrder) {
  DS->FieldByName("Qty")->SetVisible(false);
  Grid->RebuildLayout();
  TGridDataLinkEh* link = Grid->DataLink();
  EXPECT_FALSE(link->SparseFieldMap());
  ASSERT_EQ(link->FieldCount(), 4);
  EXPECT_EQ(link->FieldAt(2), DS->FieldByName("Flag"));
  EXPECT_TRUE(link->AllFieldsMapped());
}

TEST_F(FieldMapTest, TheLayoutFlagIsRestoredWhenThePassFails) {
  struct TFailing : TProbeDBGrid {
    using TProbeDBGrid::TProbeDBGrid;
    bool Armed = false, Seen = false;
    void LayoutChanged() override {
      if (!Armed) return;
      Seen = InDataLinkLayoutChange();
      throw Exception("pass failed");
    }
  };
  auto* g = new TFailing(Form);
  g->SetParent(Form);
  g->SetDataSource(Source);
  g->Armed = true;
  EXPECT_THROW(DS->FieldByName("Qty")->SetVisible(false), Exception);
  EXPECT_TRUE(g->Seen);
  EXPECT_FALSE(g->InDataLinkLayoutChange());
  EXPECT_EQ(g->LayoutLockCount(), 0);
  EXPECT_EQ(g->InternalUpdateCount(), 0);
  EXPECT_EQ(g->Columns()->UpdateLockCount(), 0);
  g->Armed = false;
  g->SetDataSource(nullptr);
  delete g;
}

TEST_F(FieldMapTest, EscapeReReadsAModifiedRecordElseCancelsTheEdit) {
  DS->SetRecNo(2);
  DS->Edit();
  DS->FieldByName("Qty")->SetAsInteger(99);
  Grid->DataLink()->ResetRecord();
  EXPECT_EQ(DS->State(), dsBrowse) << "not modified through the grid: the edit is cancelled";
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 20);
  DS->Edit();
  Grid->DataLink()->MarkModified();
  Grid->DataLink()->ResetRecord();
  EXPECT_FALSE(Grid->DataLink()->Modified());
  EXPECT_EQ(DS->State(), dsEdit) << "modified: only the editor's text is dropped";
  DS->Cancel();
}

}  // namespace
