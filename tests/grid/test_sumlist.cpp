// The footer sum list on an in-memory table: full walks, incremental updates from the
// dataset's events, rounding, handler take-over, filters, masters and virtual record numbers.
#include "grid/DBSumLst.h"
#include "GridTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gridtest;

namespace {

class SumListTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  TDBSumList* List = nullptr;
  int Changes = 0, RecalcAll = 0, AfterRecalcAll = 0;

  void Make(const std::vector<std::vector<Variant>>& Rows) {
    DS = MakeAmounts(&Owner, Rows);
    DS->Open();
    List = new TDBSumList(&Owner);
    List->SetSumListChanged(TNotifyEvent::Lambda([this](TObject*) { ++Changes; }));
    List->SetOnRecalcAll(TNotifyEvent::Lambda([this](TObject*) { ++RecalcAll; }));
    List->SetOnAfterRecalcAll(TNotifyEvent::Lambda([this](TObject*) { ++AfterRecalcAll; }));
  }
  TDBSum* Sum(TGroupOperation Op, const String& Field) {
    TDBSum* s = List->SumCollection()->Add();
    s->SetGroupOperation(Op);
    s->SetFieldName(Field);
    return s;
  }
  bool Locate(const String& Code) { return DS->Locate("Code", Variant(Code), TLocateOptions()); }
};

TEST_F(SumListTest, FullRecalculationOfEveryOperation) {
  Make({{"A", V(1), 10}, {"B", N(), 20}, {"C", V(2), N()}, {"D", V(0.25), 5}});
  struct Case {
    TGroupOperation Op;
    const char* Field;
    const char* Result;
  };
  const Case cases[] = {
      {goSum, "Amount", "3.25"}, {goAvg, "Amount", "1.0833"}, {goCount, "Amount", "3"}, {goCount, "", "4"},
      {goSum, "Qty", "35"},      {goAvg, "Qty", "11.6667"},   {goCount, "Qty", "3"},    {goSum, "", "0"},
      {goAvg, "", "0"},
  };
  std::vector<TDBSum*> items;
  for (const Case& c : cases) items.push_back(Sum(c.Op, c.Field));
  List->SetDataSet(DS);
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(EnumName(cases[i].Op) + " " + cases[i].Field);
    EXPECT_EQ(items[i]->ResultValue(), C(cases[i].Result));
  }
  EXPECT_EQ(items[1]->NonNullCount(), 3);
  EXPECT_GT(Changes, 0);
  EXPECT_EQ(AfterRecalcAll, RecalcAll);
}

TEST_F(SumListTest, AverageSkipsNullsAndRoundsTiesToEven) {
  struct Case {
    std::vector<std::vector<Variant>> Rows;
    const char* Avg;
    int NonNull;
  };
  const Case cases[] = {
      {{{"A", V(1)}, {"B", N()}, {"C", V(2)}}, "1.5", 2},
      {{{"A", V(0.0001)}, {"B", V(0)}}, "0", 2},       // 0.5 of the last digit goes to the even 0
      {{{"A", V(0.0003)}, {"B", V(0)}}, "0.0002", 2},  // 1.5 goes to 2
      {{{"A", V(0.0005)}, {"B", V(0)}}, "0.0002", 2},  // 2.5 goes to 2
      {{{"A", N()}, {"B", N()}}, "0", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Avg);
    Make(c.Rows);
    TDBSum* avg = Sum(goAvg, "Amount");
    List->SetDataSet(DS);
    EXPECT_EQ(avg->ResultValue(), C(c.Avg));
    EXPECT_EQ(avg->NonNullCount(), c.NonNull);
  }
}

TEST_F(SumListTest, ExactAmountsAreSummedWithoutFloatingPointLoss) {
  auto* ds = new TMemDataSet(&Owner);
  ds->FieldDefs()->Add("Money", ftBCD);
  ds->AddRow({Variant(C("123456789012.3456"))});
  ds->AddRow({Variant(C("0.0001"))});
  ds->AddRow({Variant(C("-0.0002"))});
  ds->Open();
  List = new TDBSumList(&Owner);
  TDBSum* s = Sum(goSum, "Money");
  List->SetDataSet(ds);
  EXPECT_EQ(s->ResultValue(), C("123456789012.3455"));
}

// Counts what a control bound to the dataset is told.
class TCountingLink : public TDataLink {
public:
  int Scrolled = 0, Changed = 0;

protected:
  void DataSetScrolled(int) override { ++Scrolled; }
  void DataSetChanged() override { ++Changed; }
};

TEST_F(SumListTest, RecalculationPutsTheDatasetBackOnItsRecordWithControlsDisabled) {
  Make({{"A", V(1)}, {"B", V(2)}, {"C", V(3)}, {"D", V(4)}});
  TDBSum* s = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  ASSERT_TRUE(Locate("C"));
  TDataSource source(nullptr);
  source.SetDataSet(DS);
  TCountingLink link;
  link.SetDataSource(&source);
  // A new item makes the engine walk again; the user stays on C and the control sees one
  // change at the end of each walk instead of every step of it.
  int walks = RecalcAll;
  Sum(goCount, "");
  EXPECT_EQ(CodeOf(DS), "C");
  EXPECT_EQ(s->ResultValue(), C("10"));
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(link.Scrolled, 0);
  EXPECT_GT(RecalcAll, walks);
  EXPECT_EQ(link.Changed, RecalcAll - walks);
  link.SetDataSource(nullptr);
}

TEST_F(SumListTest, IncrementalUpdatesMatchAFreshWalkAfterEveryChange) {
  Make({{"A", V(1)}, {"B", N()}, {"C", V(2)}});
  TDBSum* sum = Sum(goSum, "Amount");
  TDBSum* avg = Sum(goAvg, "Amount");
  TDBSum* cnt = Sum(goCount, "Amount");
  TDBSum* all = Sum(goCount, "");
  List->SetDataSet(DS);
  auto setAmount = [&](const char* code, Variant v) {
    ASSERT_TRUE(Locate(code));
    DS->Edit();
    DS->FieldByName("Amount")->SetValue(v);
    DS->Post();
  };
  auto append = [&](const char* code, Variant v) {
    DS->Append();
    DS->FieldByName("Code")->SetAsString(code);
    DS->FieldByName("Amount")->SetValue(v);
    DS->Post();
  };
  struct Step {
    const char* Name;
    std::function<void()> Op;
    const char *Sum, *Avg, *Count, *All;
    int NonNull;
  };
  const Step steps[] = {
      {"edit 1 to 4", [&] { setAmount("A", V(4)); }, "6", "3", "2", "3", 2},
      {"edit null to 5", [&] { setAmount("B", V(5)); }, "11", "3.6667", "3", "3", 3},
      {"edit 5 back to null", [&] { setAmount("B", N()); }, "6", "3", "2", "3", 2},
      {"insert and cancel",
       [&] {
         DS->Insert();
         DS->FieldByName("Amount")->SetValue(V(100));
         DS->Cancel();
       },
       "6", "3", "2", "3", 2},
      {"edit and cancel",
       [&] {
         ASSERT_TRUE(Locate("A"));
         DS->Edit();
         DS->FieldByName("Amount")->SetValue(V(100));
         DS->Cancel();
       },
       "6", "3", "2", "3", 2},
      {"append 10", [&] { append("D", V(10)); }, "16", "5.3333", "3", "4", 3},
      {"append null", [&] { append("E", N()); }, "16", "5.3333", "3", "5", 3},
      {"delete 2",
       [&] {
         ASSERT_TRUE(Locate("C"));
         DS->Delete();
       },
       "14", "7", "2", "4", 2},
      {"delete null",
       [&] {
         ASSERT_TRUE(Locate("E"));
         DS->Delete();
       },
       "14", "7", "2", "3", 2},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Name);
    s.Op();
    EXPECT_EQ(sum->ResultValue(), C(s.Sum));
    EXPECT_EQ(avg->ResultValue(), C(s.Avg));
    EXPECT_EQ(cnt->ResultValue(), C(s.Count));
    EXPECT_EQ(all->ResultValue(), C(s.All));
    EXPECT_EQ(avg->NonNullCount(), s.NonNull);
    // What the events kept up to date is what a walk finds.
    Currency before[] = {sum->ResultValue(), avg->ResultValue(), cnt->ResultValue(), all->ResultValue()};
    List->Recalculate();
    EXPECT_EQ(sum->ResultValue(), before[0]);
    EXPECT_EQ(avg->ResultValue(), before[1]);
    EXPECT_EQ(cnt->ResultValue(), before[2]);
    EXPECT_EQ(all->ResultValue(), before[3]);
  }
}

TEST_F(SumListTest, AnInsertedRecordWithDefaultValuesCountsOnceWhenPosted) {
  Make({{"A", V(1)}});
  DS->SetOnNewRecord(TDataSetNotifyEvent::Lambda([](TDataSet* d) { d->FieldByName("Amount")->SetValue(V(7)); }));
  TDBSum* cnt = Sum(goCount, "Amount");
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  DS->Append();
  DS->FieldByName("Code")->SetAsString("B");
  DS->Post();
  EXPECT_EQ(cnt->ResultValue(), C("2"));
  EXPECT_EQ(sum->ResultValue(), C("8"));
}

TEST_F(SumListTest, ADeleteTheDatabaseRefusesLeavesTheSumsAsTheyWere) {
  Make({{"A", V(1)}, {"B", V(2)}, {"C", V(4)}});
  TDBSum* sum = Sum(goSum, "Amount");
  TDBSum* all = Sum(goCount, "");
  List->SetDataSet(DS);
  bool refuse = true;
  DS->OnWrite = [&](const TRowUpdate& u) {
    if (u.Kind() == usDeleted && refuse) DatabaseError("delete refused");
  };
  ASSERT_TRUE(Locate("B"));
  int changes = Changes;
  EXPECT_THROW(DS->Delete(), EDatabaseError);
  EXPECT_EQ(sum->ResultValue(), C("7"));
  EXPECT_EQ(all->ResultValue(), C("3"));
  EXPECT_EQ(Changes, changes);
  // The refused delete is forgotten: the next one takes off only its own record.
  refuse = false;
  ASSERT_TRUE(Locate("C"));
  DS->Delete();
  EXPECT_EQ(sum->ResultValue(), C("3"));
  EXPECT_EQ(all->ResultValue(), C("2"));
  EXPECT_GT(Changes, changes);
}

TEST_F(SumListTest, DeletingARecordBeingEditedTakesOffItsStoredValue) {
  Make({{"A", V(1)}, {"B", V(2)}});
  TDBSum* sum = Sum(goSum, "Amount");
  TDBSum* avg = Sum(goAvg, "Amount");
  List->SetDataSet(DS);
  ASSERT_TRUE(Locate("A"));
  DS->Edit();
  DS->FieldByName("Amount")->SetValue(V(50));
  DS->Delete();
  EXPECT_EQ(sum->ResultValue(), C("2"));
  EXPECT_EQ(avg->ResultValue(), C("2"));
  EXPECT_EQ(avg->NonNullCount(), 1);
}

TEST_F(SumListTest, AFilterChangeRecalculatesAtTheNextScrollAndOnlyThen) {
  Make({{"A", V(1)}, {"B", V(2)}, {"C", V(4)}, {"D", V(8)}});
  String hide = "B";
  DS->SetOnFilterRecord(TFilterRecordEvent::Lambda(
      [&](TDataSet* d, bool& accept) { accept = d->FieldByName("Code")->AsString() != hide; }));
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  ASSERT_TRUE(Locate("C"));
  int walks = RecalcAll;
  DS->Next();
  DS->Prior();
  EXPECT_EQ(RecalcAll, walks);

  DS->SetFiltered(true);
  EXPECT_EQ(RecalcAll, walks + 1);
  EXPECT_EQ(sum->ResultValue(), C("13"));
  EXPECT_EQ(CodeOf(DS), "C");
  DS->Next();
  DS->First();
  EXPECT_EQ(RecalcAll, walks + 1);

  // The filter text is part of the filter: a new text is a new filter.
  hide = "C";
  DS->SetFilter("Code <> 'C'");
  EXPECT_EQ(RecalcAll, walks + 2);
  EXPECT_EQ(sum->ResultValue(), C("11"));

  DS->SetFiltered(false);
  EXPECT_EQ(RecalcAll, walks + 3);
  EXPECT_EQ(sum->ResultValue(), C("15"));
  EXPECT_EQ(List->Producer()->FilterSnapshot(), "Code <> 'C'");
  EXPECT_FALSE(List->Producer()->FilteredSnapshot());
}

TEST_F(SumListTest, AFailedWalkEnablesControlsAndStillEndsTheRecalculation) {
  Make({{"A", V(1)}, {"B", V(2)}, {"C", V(3)}});
  bool armed = false;
  // The replaced AfterScroll runs for every record the walk visits; here it fails on B.
  DS->SetAfterScroll(TDataSetNotifyEvent::Lambda([&](TDataSet* d) {
    if (armed && CodeOf(d) == "B") throw EDatabaseError("record B cannot be read");
  }));
  TDBSum* s = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  int changes = Changes;
  armed = true;
  EXPECT_THROW(List->Recalculate(), EDatabaseError);
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_FALSE(List->Producer()->Recalculating());
  EXPECT_GT(Changes, changes);
  armed = false;
  List->Recalculate();
  EXPECT_EQ(s->ResultValue(), C("6"));
  // Unknown names fail before the walk.
  EXPECT_THROW(Sum(goSum, "NoSuchField"), EDatabaseError);
  EXPECT_FALSE(DS->ControlsDisabled());
}

TEST_F(SumListTest, TextThatIsNoNumberCountsAsZero) {
  Make({{"A", V(1), 1, "1.5"}, {"B", V(2), 2, "x"}, {"C", V(3), 3, N()}});
  TDBSum* sum = Sum(goSum, "Flag");
  TDBSum* avg = Sum(goAvg, "Flag");
  TDBSum* cnt = Sum(goCount, "Flag");
  List->SetDataSet(DS);
  EXPECT_EQ(sum->ResultValue(), C("1.5"));
  EXPECT_EQ(avg->ResultValue(), C("0.75"));
  EXPECT_EQ(cnt->ResultValue(), C("2"));
}

TEST_F(SumListTest, ExternalRecalcLeavesTheResultsToTheHandler) {
  Make({{"A", V(1)}, {"B", V(2)}});
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetOnRecalcAll(TNotifyEvent::Lambda([&](TObject* sender) {
    ++RecalcAll;
    EXPECT_EQ(sender, List->Producer());
    if (List->ExternalRecalc()) sum->SetResultValue(C("42"));
  }));
  List->SetDataSet(DS);
  EXPECT_EQ(sum->ResultValue(), C("3"));
  int after = AfterRecalcAll;
  List->SetExternalRecalc(true);
  EXPECT_EQ(sum->ResultValue(), C("42"));
  EXPECT_EQ(AfterRecalcAll, after);
}

TEST_F(SumListTest, AnUnnamedSumDoesNotMakeTheEngineWalk) {
  Make({{"A", V(1)}, {"B", V(2)}});
  int scrolls = 0;
  DS->SetAfterScroll(TDataSetNotifyEvent::Lambda([&](TDataSet*) { ++scrolls; }));
  TDBSum* s = Sum(goSum, "");
  List->SetDataSet(DS);
  List->Recalculate();
  EXPECT_EQ(scrolls, 0);
  EXPECT_EQ(s->ResultValue(), C("0"));
  // A named one does, and the replaced handler sees every record visited.
  Sum(goSum, "Amount");
  EXPECT_GE(scrolls, 2);
}

TEST_F(SumListTest, ReplacedHandlersAreChainedAndPutBackWhenSummingStops) {
  Make({{"A", V(1)}, {"B", V(2)}});
  std::vector<String> calls;
  auto rec = [&](const char* name) { return TDataSetNotifyEvent::Lambda([&calls, name](TDataSet*) { calls.push_back(name); }); };
  TDataSetNotifyEvent afterPost = rec("AfterPost"), afterEdit = rec("AfterEdit"), afterInsert = rec("AfterInsert"),
                      beforeDelete = rec("BeforeDelete"), afterDelete = rec("AfterDelete"),
                      afterCancel = rec("AfterCancel"), afterClose = rec("AfterClose"), afterOpen = rec("AfterOpen");
  DS->SetAfterPost(afterPost);
  DS->SetAfterEdit(afterEdit);
  DS->SetAfterInsert(afterInsert);
  DS->SetBeforeDelete(beforeDelete);
  DS->SetAfterDelete(afterDelete);
  DS->SetAfterCancel(afterCancel);
  DS->SetAfterClose(afterClose);
  DS->SetAfterOpen(afterOpen);
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  EXPECT_TRUE(List->Producer()->HandlersHooked());
  EXPECT_FALSE(DS->AfterPost() == afterPost);

  DS->Edit();
  DS->Cancel();
  DS->Insert();
  DS->FieldByName("Amount")->SetValue(V(5));
  DS->Post();
  DS->Delete();
  DS->Close();
  DS->Open();
  const std::vector<String> expected = {"AfterEdit",   "AfterCancel", "AfterInsert", "AfterPost",
                                        "BeforeDelete", "AfterDelete", "AfterClose",  "AfterOpen"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(sum->ResultValue(), C("3"));

  // A handler assigned later takes the engine's place, and stays when the engine lets go.
  TDataSetNotifyEvent later = rec("later");
  DS->SetAfterPost(later);
  List->SetActive(false);
  EXPECT_FALSE(List->Producer()->HandlersHooked());
  EXPECT_TRUE(DS->AfterPost() == later);
  EXPECT_TRUE(DS->AfterEdit() == afterEdit);
  EXPECT_TRUE(DS->BeforeDelete() == beforeDelete);
  EXPECT_TRUE(DS->AfterOpen() == afterOpen);
  EXPECT_EQ(sum->ResultValue(), C("0"));
}

TEST_F(SumListTest, ActivationAndDataSetChangesHookAndWalk) {
  Make({{"A", V(1)}, {"B", V(2)}});
  TDBSum* sum = Sum(goSum, "Amount");
  EXPECT_TRUE(List->Active());
  List->SetDataSet(DS);
  EXPECT_EQ(sum->ResultValue(), C("3"));
  List->SetActive(false);
  EXPECT_EQ(sum->ResultValue(), C("0"));
  DS->Edit();
  DS->FieldByName("Amount")->SetValue(V(10));
  DS->Post();
  EXPECT_EQ(sum->ResultValue(), C("0"));
  List->SetActive(true);
  EXPECT_EQ(sum->ResultValue(), C("12"));

  TMemDataSet* other = MakeAmounts(&Owner, {{"X", V(100)}});
  other->Open();
  List->SetDataSet(other);
  EXPECT_EQ(sum->ResultValue(), C("100"));
  EXPECT_FALSE(DS->AfterPost().Assigned());
  EXPECT_TRUE(other->AfterPost().Assigned());

  // Closing resets, opening walks again.
  other->Close();
  EXPECT_EQ(sum->ResultValue(), C("0"));
  other->Open();
  EXPECT_EQ(sum->ResultValue(), C("100"));
}

TEST_F(SumListTest, ADatasetFreedWhileSummedIsForgotten) {
  Make({{"A", V(1)}});
  Sum(goSum, "Amount");
  List->SetDataSet(DS);
  delete DS;
  DS = nullptr;
  EXPECT_EQ(List->DataSet(), nullptr);
  EXPECT_FALSE(List->Producer()->HandlersHooked());
  List->Recalculate();
  List->SetActive(false);
}

TEST_F(SumListTest, AMasterScrollRecalculatesTheDetailSums) {
  auto* master = new TMemDataSet(&Owner);
  master->FieldDefs()->Add("Code", ftString, 10);
  master->AddRow({Variant("A")});
  master->AddRow({Variant("B")});
  master->Open();
  auto* source = new TDataSource(&Owner);
  source->SetDataSet(master);
  Make({{"A", V(1)}, {"A", V(2)}, {"B", V(10)}});
  DS->Close();
  DS->SetMasterSource(source);
  DS->SetMasterFields("Code");
  DS->Open();
  int masterScrolls = 0;
  master->SetAfterScroll(TDataSetNotifyEvent::Lambda([&](TDataSet*) { ++masterScrolls; }));
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetDataSet(DS);
  EXPECT_EQ(List->Producer()->MasterDataSet(), master);
  EXPECT_EQ(sum->ResultValue(), C("3"));
  master->Next();
  EXPECT_EQ(sum->ResultValue(), C("10"));
  EXPECT_EQ(masterScrolls, 1);
  List->SetActive(false);
  EXPECT_EQ(List->Producer()->MasterDataSet(), nullptr);
  master->First();
  EXPECT_EQ(masterScrolls, 2);
  EXPECT_EQ(sum->ResultValue(), C("0"));
}

TEST_F(SumListTest, VirtualRecordsNumberADatasetWithoutRecordNumbers) {
  Make({{"A", V(1)}, {"B", V(2)}, {"C", V(3)}, {"D", V(4)}});
  DS->Close();
  DS->SetSequenced(false);
  DS->Open();
  TDBSumListProducer* p = List->Producer();
  List->SetDataSet(DS);
  EXPECT_FALSE(p->HasRecordNumbers());
  List->SetVirtualRecords(true);
  EXPECT_TRUE(p->HasRecordNumbers());
  EXPECT_EQ(p->RecordTotal(), 4);
  DS->First();
  EXPECT_EQ(p->CurrentRecordNumber(), 1);
  p->GoToRecordNumber(3);
  EXPECT_EQ(CodeOf(DS), "C");
  EXPECT_EQ(p->CurrentRecordNumber(), 3);

  // A record inserted before C has no bookmark until it is posted; it then takes C's place.
  DS->Insert();
  EXPECT_TRUE(p->InsertPending());
  DS->FieldByName("Code")->SetAsString("BC");
  DS->Post();
  EXPECT_FALSE(p->InsertPending());
  EXPECT_EQ(p->RecordTotal(), 5);
  const char* order[] = {"A", "B", "BC", "C", "D"};
  for (int i = 1; i <= 5; ++i) {
    p->GoToRecordNumber(i);
    EXPECT_EQ(CodeOf(DS), order[i - 1]);
    EXPECT_EQ(p->CurrentRecordNumber(), i);
  }
  // A cancelled insert leaves nothing pending.
  DS->Insert();
  DS->Cancel();
  EXPECT_FALSE(p->InsertPending());
  EXPECT_EQ(p->RecordTotal(), 5);

  ASSERT_TRUE(Locate("B"));
  DS->Delete();
  EXPECT_EQ(p->RecordTotal(), 4);
  DS->First();
  EXPECT_EQ(p->CurrentRecordNumber(), 1);
  p->GoToRecordNumber(2);
  EXPECT_EQ(CodeOf(DS), "BC");

  List->SetVirtualRecords(false);
  EXPECT_FALSE(p->HasRecordNumbers());
}

TEST_F(SumListTest, BookmarkLookupScansFromWhereTheLastOneEnded) {
  Make({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
  DS->Close();
  DS->SetSequenced(false);
  DS->Open();
  TDBSumListProducer* p = List->Producer();
  List->SetDataSet(DS);
  List->SetVirtualRecords(true);
  std::vector<String> marks;
  for (DS->First(); !DS->Eof(); DS->Next()) marks.push_back(DS->GetBookmark());
  struct Case {
    int Target;
    int Found;
    int Position;
  };
  // Each lookup starts at the position the previous one left.
  const Case cases[] = {{3, 3, 3}, {4, 4, 4}, {1, 1, 1}, {0, 0, 0}, {4, 4, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(p->IndexOfVirtualBookmark(marks[c.Target]), c.Found);
    EXPECT_EQ(p->LookupPosition(), c.Position);
  }
  EXPECT_EQ(p->IndexOfVirtualBookmark(String("\x7f\x7f\x7f\x7f", 4)), -1);
}

TEST_F(SumListTest, SettingsReadWhileLoadingTakeEffectWhenLoadingEnds) {
  Make({{"A", V(1)}, {"B", V(2)}});
  TDBSum* sum = Sum(goSum, "Amount");
  List->SetActive(false);
  List->SetLoading(true);
  List->SetActive(true);
  List->SetDataSet(DS);
  EXPECT_FALSE(List->Producer()->HandlersHooked());
  EXPECT_EQ(sum->ResultValue(), C("0"));
  List->Loaded();
  EXPECT_TRUE(List->Producer()->HandlersHooked());
  EXPECT_EQ(sum->ResultValue(), C("3"));
}

TEST_F(SumListTest, AssignCopiesSettingsItemsAndHandlers) {
  Make({{"A", V(1)}, {"B", V(2)}});
  Sum(goSum, "Amount");
  Sum(goCount, "");
  List->SetDataSet(DS);
  TDBSumList copy(nullptr);
  copy.SetActive(false);
  copy.Producer()->Assign(List->Producer());
  ASSERT_EQ(copy.SumCollection()->Count(), 2);
  EXPECT_EQ(copy.SumCollection()->Items(0)->FieldName(), "Amount");
  EXPECT_EQ(copy.SumCollection()->Items(1)->GroupOperation(), goCount);
  EXPECT_EQ(copy.DataSet(), DS);
  EXPECT_TRUE(copy.Active());
  EXPECT_EQ(copy.SumCollection()->Items(0)->ResultValue(), C("3"));
  EXPECT_TRUE(copy.SumListChanged() == List->SumListChanged());
  EXPECT_NE(copy.SumCollection()->FindSum(goSum, "AMOUNT"), nullptr);
  EXPECT_EQ(copy.SumCollection()->FindSum(goAvg, "Amount"), nullptr);
  copy.SetActive(false);
}

}  // namespace
