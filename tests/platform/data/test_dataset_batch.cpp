// Writing back to the store: cached updates (batch mode), values the store assigns itself, and
// rollback points that undo in memory what a rolled-back transaction undid in the store.
#include "DataTestUtil.h"

#include <gtest/gtest.h>

#include <map>

using namespace datatest;

namespace {

class BatchTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  std::vector<String> Writes;

  void SetUp() override {
    DS = MakeNumbered(&Owner, 4);
    DS->OnWrite = [this](const TRowUpdate& u) {
      String s = EnumName(u.Kind()) + " " + VarToStr(u.Kind() == usInserted ? u.NewValue(0) : u.OldValue(0));
      for (int c = 1; c < u.ColumnCount(); ++c)
        if (u.Changed(c)) s += " " + DS->FieldDefs()->Items(c)->Name() + "=" + VarToStr(u.NewValue(c));
      Writes.push_back(s);
    };
    DS->Open();
  }
  String Code() { return DS->FieldByName("Code")->AsString(); }
  String StoredCodes() {
    std::vector<String> codes;
    for (const auto& r : DS->StoredRows()) codes.push_back(VarToStr(r[0]) + ":" + VarToStr(r[2]));
    return Join(codes);
  }
  void EditQty(const char* code, int qty) {
    ASSERT_TRUE(DS->Locate("Code", code, {}));
    DS->Edit();
    DS->FieldByName("Qty")->SetAsInteger(qty);
    DS->Post();
  }
};

TEST_F(BatchTest, CachedChangesReachTheStoreOnlyWhenApplied) {
  DS->SetCachedUpdates(true);
  EditQty("C02", 20);
  DS->Locate("Code", "C03", {});
  DS->Delete();
  DS->AppendRecord({Variant("N1"), Variant("new"), Variant(9)});
  EditQty("C01", 10);
  EditQty("C02", 21);  // a second change of the same row stays one update

  EXPECT_TRUE(Writes.empty());
  EXPECT_EQ(StoredCodes(), "C01:1,C02:2,C03:3,C04:4");
  EXPECT_EQ(DS->PendingUpdateCount(), 4);
  EXPECT_EQ(Join(Codes(DS)), "C01,C02,C04,N1");
  ASSERT_TRUE(DS->Locate("Code", "C02", {}));
  EXPECT_EQ(DS->UpdateStatus(), usModified);
  EXPECT_EQ(DS->FieldByName("Qty")->OldValue().AsInteger(), 2);  // as the store has it
  DS->Last();
  EXPECT_EQ(DS->UpdateStatus(), usInserted);

  DS->ApplyUpdates();
  EXPECT_EQ(Join(Writes), "usModified C02 Qty=21,usDeleted C03,usInserted N1 Name=new Qty=9,usModified C01 Qty=10");
  EXPECT_EQ(StoredCodes(), "C01:10,C02:21,C04:4,N1:9");
  EXPECT_EQ(DS->PendingUpdateCount(), 0);
  EXPECT_EQ(DS->UpdateStatus(), usUnmodified);
  Writes.clear();
  DS->ApplyUpdates();  // nothing left to write
  EXPECT_TRUE(Writes.empty());
}

TEST_F(BatchTest, CancellingCachedChangesRestoresRowsValuesAndPlaces) {
  DS->SetCachedUpdates(true);
  EditQty("C02", 20);
  DS->Locate("Code", "C02", {});
  DS->Delete();  // changed, then deleted
  DS->Locate("Code", "C04", {});
  DS->Edit();
  DS->FieldByName("Name")->SetAsString("renamed");
  DS->Post();
  DS->InsertRecord({Variant("N1")});
  DS->Locate("Code", "C01", {});
  DS->Delete();
  EXPECT_EQ(Join(Codes(DS)), "C03,N1,C04");

  DS->CancelUpdates();
  EXPECT_EQ(Join(Codes(DS)), "C01,C02,C03,C04");
  ASSERT_TRUE(DS->Locate("Code", "C02", {}));
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 2);
  DS->Locate("Code", "C04", {});
  EXPECT_EQ(DS->FieldByName("Name")->AsString(), "Name 04");
  EXPECT_EQ(DS->PendingUpdateCount(), 0);
  EXPECT_TRUE(Writes.empty());
  DS->ApplyUpdates();
  EXPECT_TRUE(Writes.empty());
}

TEST_F(BatchTest, AnInsertDeletedBeforeApplyingNeverReachesTheStore) {
  DS->SetCachedUpdates(true);
  DS->AppendRecord({Variant("N1")});
  DS->Delete();
  EXPECT_EQ(DS->PendingUpdateCount(), 0);
  DS->ApplyUpdates();
  EXPECT_TRUE(Writes.empty());
  EXPECT_EQ(DS->RecordCount(), 4);
}

TEST_F(BatchTest, AFailedApplyKeepsWhatWasNotWritten) {
  DS->SetCachedUpdates(true);
  EditQty("C01", 10);
  EditQty("C02", 20);
  EditQty("C03", 30);
  int calls = 0;
  DS->OnWrite = [&](const TRowUpdate&) {
    if (++calls == 2) throw EDatabaseError("constraint failed");
  };
  EXPECT_THROW(DS->ApplyUpdates(), EDatabaseError);
  EXPECT_EQ(DS->PendingUpdateCount(), 2);
  EXPECT_EQ(StoredCodes(), "C01:10,C02:2,C03:3,C04:4");
  DS->ApplyUpdates();
  EXPECT_EQ(StoredCodes(), "C01:10,C02:20,C03:30,C04:4");

  // Caching stops only with nothing pending, so no change is dropped unseen.
  EditQty("C04", 40);
  EXPECT_THROW(DS->SetCachedUpdates(false), EDatabaseError);
  EXPECT_TRUE(DS->CachedUpdates());
  DS->CancelUpdates();
  DS->SetCachedUpdates(false);
  EXPECT_FALSE(DS->CachedUpdates());
  EditQty("C04", 41);
  EXPECT_EQ(StoredCodes(), "C01:10,C02:20,C03:30,C04:41");
}

// A store that numbers new rows itself, as an autonumber column does.
class TNumberingDataSet : public TMemDataSet {
public:
  using TMemDataSet::TMemDataSet;
  int Next = 100;

protected:
  void InternalPost(TRowUpdate& u) override {
    if (u.Kind() == usInserted) u.SetNewValue(2, Next++);
    TMemDataSet::InternalPost(u);
  }
};

TEST(StoreValues, ValuesTheStoreAssignsShowInTheRow) {
  TComponent owner(nullptr);
  auto* ds = new TNumberingDataSet(&owner);
  ds->FieldDefs()->Add("Code", ftString, 10);
  ds->FieldDefs()->Add("Name", ftString, 10);
  ds->FieldDefs()->Add("Id", ftInteger);
  ds->Open();
  ds->AppendRecord({Variant("A")});
  EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 100);
  ds->SetCachedUpdates(true);
  ds->AppendRecord({Variant("B")});
  EXPECT_TRUE(ds->FieldByName("Id")->IsNull());
  TDataSet::TBookmark b = ds->GetBookmark();
  ds->First();
  ds->ApplyUpdates();
  ds->GotoBookmark(b);
  EXPECT_EQ(ds->FieldByName("Id")->AsInteger(), 101);
  EXPECT_EQ(VarToStr(ds->StoredRows()[1][2]), "101");
}

// ---------------------------------------------------------------- rollback points

TEST_F(BatchTest, RestoringARollbackPointUndoesWrittenChangesInMemory) {
  DS->SetSort("Qty DESC");
  DS->Locate("Code", "C03", {});
  DS->SaveRollbackPoint();
  EXPECT_TRUE(DS->HasRollbackPoint());
  EditQty("C01", 50);
  DS->Locate("Code", "C03", {});
  DS->Delete();
  DS->AppendRecord({Variant("N1"), Variant("new"), Variant(7)});
  EXPECT_EQ(Join(Codes(DS)), "C04,C02,C01,N1");  // edits do not re-sort

  DS->RestoreRollbackPoint();
  EXPECT_FALSE(DS->HasRollbackPoint());
  EXPECT_EQ(Join(Codes(DS)), "C04,C03,C02,C01");
  ASSERT_TRUE(DS->Locate("Code", "C01", {}));
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 1);
  EXPECT_EQ(DS->RecordCount(), 4);
  EXPECT_FALSE(DS->Locate("Code", "N1", {}));
}

TEST_F(BatchTest, ReleasingARollbackPointKeepsTheChanges) {
  DS->SaveRollbackPoint();
  EditQty("C02", 22);
  DS->ReleaseRollbackPoint();
  DS->RestoreRollbackPoint();  // nothing to restore any more
  ASSERT_TRUE(DS->Locate("Code", "C02", {}));
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 22);
}

TEST_F(BatchTest, RestoringBringsBackCachedChangesAsTheyWereAtThePoint) {
  DS->SetCachedUpdates(true);
  EditQty("C01", 10);  // pending before the point
  DS->SaveRollbackPoint();
  DS->ApplyUpdates();  // written inside the transaction ...
  EditQty("C02", 20);  // ... and more cached afterwards
  EXPECT_EQ(DS->PendingUpdateCount(), 1);
  DS->RestoreRollbackPoint();  // ... which is then rolled back
  EXPECT_EQ(DS->PendingUpdateCount(), 1);
  ASSERT_TRUE(DS->Locate("Code", "C01", {}));
  EXPECT_EQ(DS->UpdateStatus(), usModified);
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 10);
  DS->Locate("Code", "C02", {});
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 2);
  EXPECT_EQ(DS->UpdateStatus(), usUnmodified);
}

// Posts of numbers change a row's block where it stands, the rollback point keeping a copy of
// the row as it was before its first change; posts of text replace the block. Whatever the mix,
// the rows read the posted values, and restoring brings back every row as it was.
TEST_F(BatchTest, RestoringBringsBackEveryRowAsItWasBeforeItsFirstChange) {
  struct TEdit {
    const char* Code;
    const char* Field;
    Variant Value;
  };
  struct TCase {
    const char* Name;
    std::vector<TEdit> Edits;
    const char* Posted;  // Code:Name:Qty:Amount of every row after the posts
  };
  const char* original = "C01:Name 01:1:1.5,C02:Name 02:2:3,C03:Name 03:3:4.5,C04:Name 04:4:6";
  const TCase cases[] = {
      {"a number twice on one row",
       {{"C02", "Qty", Variant(20)}, {"C02", "Qty", Variant(21)}},
       "C01:Name 01:1:1.5,C02:Name 02:21:3,C03:Name 03:3:4.5,C04:Name 04:4:6"},
      {"numbers on every row",
       {{"C01", "Amount", Variant(0.25)}, {"C02", "Qty", Variant(-2)}, {"C03", "Qty", Variant(30)},
        {"C04", "Amount", Variant(60.5)}},
       "C01:Name 01:1:0.25,C02:Name 02:-2:3,C03:Name 03:30:4.5,C04:Name 04:4:60.5"},
      {"text, then a number on the same row",
       {{"C03", "Name", Variant("a longer name than before")}, {"C03", "Qty", Variant(33)}},
       "C01:Name 01:1:1.5,C02:Name 02:2:3,C03:a longer name than before:33:4.5,C04:Name 04:4:6"},
      {"a number, then text on the same row",
       {{"C01", "Qty", Variant(11)}, {"C01", "Name", Variant("N")}},
       "C01:N:11:1.5,C02:Name 02:2:3,C03:Name 03:3:4.5,C04:Name 04:4:6"},
      {"a number cleared, then given again",
       {{"C04", "Qty", Null()}, {"C04", "Amount", Null()}, {"C04", "Qty", Variant(44)}},
       "C01:Name 01:1:1.5,C02:Name 02:2:3,C03:Name 03:3:4.5,C04:Name 04:44:"},
  };
  auto rows = [this] {
    std::vector<String> all;
    for (DS->First(); !DS->Eof(); DS->Next())
      all.push_back(Code() + ":" + DS->FieldByName("Name")->AsString() + ":" + DS->FieldByName("Qty")->AsString() +
                    ":" + DS->FieldByName("Amount")->AsString());
    return Join(all);
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_EQ(rows(), original);
    DS->SaveRollbackPoint();
    for (const TEdit& e : c.Edits) {
      ASSERT_TRUE(DS->Locate("Code", e.Code, {}));
      DS->Edit();
      DS->FieldByName(e.Field)->SetValue(e.Value);
      DS->Post();
    }
    EXPECT_EQ(rows(), c.Posted);
    DS->RestoreRollbackPoint();
    EXPECT_EQ(rows(), original);
  }
}

// A fill of many rows is stored in a few large pieces, some rows larger than a piece: every row
// reads back whole after posts replace rows, cached changes are cancelled and a rollback point
// restored, and after the rows are read again.
TEST(PooledRows, ManyAndLargeRowsReadBackThroughEditsRestoresAndRereads) {
  constexpr int kCount = 6000;  // several pieces of rows
  TComponent owner{nullptr};
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs()->Add("Code", ftString, 10);
  ds->FieldDefs()->Add("Note", ftMemo);
  ds->FieldDefs()->Add("Qty", ftInteger);
  auto note = [](int i) {
    // Every 1000th row holds a text larger than the first piece of the pool.
    return i % 1000 == 7 ? String(300 * 1024, static_cast<char>('a' + i % 26)) : "note " + IntToStr(i);
  };
  for (int i = 0; i < kCount; ++i) ds->AddRow({Variant(Format("R%.4d", {i})), Variant(note(i)), Variant(i)});
  ds->Open();
  // Rows whose note differs from the one they were made with.
  std::map<int, String> changed;
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    int i = 0;
    std::vector<int> wrong;
    for (ds->First(); !ds->Eof(); ds->Next(), ++i) {
      auto c = changed.find(i);
      String expected = c != changed.end() ? c->second : note(i);
      if (ds->FieldByName("Code")->AsString() != Format("R%.4d", {i}) || ds->FieldByName("Note")->AsString() != expected ||
          ds->FieldByName("Qty")->AsInteger() != i)
        wrong.push_back(i);
    }
    EXPECT_EQ(i, kCount);
    EXPECT_EQ(wrong, std::vector<int>());
  };
  auto setNote = [&](int row, const String& text) {
    ds->SetRecNo(row + 1);
    ds->Edit();
    ds->FieldByName("Note")->SetAsString(text);
    ds->Post();
  };
  check("as read");

  changed = {{1007, "short now"}, {3, String(200 * 1024, 'z')}};  // a large row made small, a small one large
  for (const auto& [row, text] : changed) setNote(row, text);
  check("after posts");

  ds->SetCachedUpdates(true);
  setNote(2007, "cached");
  setNote(10, "cached too");
  ds->CancelUpdates();
  check("after cancelling cached changes");

  // Cached, so the store keeps the rows as they were.
  ds->SaveRollbackPoint();
  setNote(5999, "rolled back");
  setNote(4007, "rolled back too");
  ds->RestoreRollbackPoint();
  check("after restoring a rollback point");
  ds->SetCachedUpdates(false);

  ds->SaveRollbackPoint();
  setNote(42, "kept in the store");
  changed[42] = "kept in the store";
  ds->Refresh();  // every row read again, the old pieces gone
  check("after reading the rows again");
  ds->RestoreRollbackPoint();
  check("after restoring a point from before the rows were read again");
}

TEST_F(BatchTest, RestoringDuringAnEditCancelsItAndRereadsAfterARefresh) {
  DS->SaveRollbackPoint();
  DS->Insert();
  DS->FieldByName("Code")->SetAsString("X");
  DS->RestoreRollbackPoint();
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(DS->RecordCount(), 4);

  DS->SaveRollbackPoint();
  EditQty("C04", 44);
  DS->Refresh();  // rows read again: restoring reads them once more
  DS->AddRow({Variant("C05")});
  DS->RestoreRollbackPoint();
  EXPECT_EQ(DS->RecordCount(), 5);
}

}  // namespace
