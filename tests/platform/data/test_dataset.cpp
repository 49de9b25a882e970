// The dataset as a cursor: navigation, editing and its events, bookmarks, search, sort, filter,
// master/detail.
#include "core/ClassBuilder.h"
#include "DataTestUtil.h"

#include <gtest/gtest.h>

using namespace datatest;

namespace {

class DataSetTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* Open(int count) {
    TMemDataSet* ds = MakeNumbered(&Owner, count);
    ds->Open();
    return ds;
  }
  static String Code(TDataSet* ds) { return ds->FieldByName("Code")->AsString(); }
};

// ---------------------------------------------------------------- navigation

TEST_F(DataSetTest, NavigationMovesAndReportsBofEofAndDistance) {
  TMemDataSet* ds = Open(5);
  EXPECT_TRUE(ds->Bof());
  EXPECT_FALSE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 1);
  EXPECT_EQ(ds->RecordCount(), 5);

  struct Step { const char* op; int arg; int moved; const char* code; bool bof, eof; };
  const Step steps[] = {
      {"next", 0, 1, "C02", false, false},  {"moveby", 2, 2, "C04", false, false},
      {"moveby", 5, 1, "C05", false, true}, {"next", 0, 0, "C05", false, true},
      {"prior", 0, -1, "C04", false, false}, {"moveby", -10, -3, "C01", true, false},
      {"prior", 0, 0, "C01", true, false},   {"last", 0, 0, "C05", false, true},
      {"first", 0, 0, "C01", true, false},   {"moveby", 4, 4, "C05", false, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(String(s.op) + " " + IntToStr(s.arg));
    int moved = 0;
    String op = s.op;
    if (op == "next") moved = ds->MoveBy(1);
    else if (op == "prior") moved = ds->MoveBy(-1);
    else if (op == "moveby") moved = ds->MoveBy(s.arg);
    else if (op == "last") ds->Last();
    else ds->First();
    if (op != "last" && op != "first") {
      EXPECT_EQ(moved, s.moved);
    }
    EXPECT_EQ(Code(ds), s.code);
    EXPECT_EQ(ds->Bof(), s.bof);
    EXPECT_EQ(ds->Eof(), s.eof);
  }

  // The usual walk sees every record once.
  std::vector<String> seen;
  for (ds->First(); !ds->Eof(); ds->Next()) seen.push_back(Code(ds));
  EXPECT_EQ(Join(seen), "C01,C02,C03,C04,C05");
}

TEST_F(DataSetTest, RecNoIsWritableAndOutOfRangeIsIgnored) {
  TMemDataSet* ds = Open(10);
  ds->SetRecNo(7);
  EXPECT_EQ(Code(ds), "C07");
  EXPECT_EQ(ds->RecNo(), 7);
  ds->SetRecNo(0);
  ds->SetRecNo(11);
  EXPECT_EQ(ds->RecNo(), 7);
}

TEST_F(DataSetTest, EmptyDatasetIsAtBothEnds) {
  TMemDataSet* ds = Open(0);
  EXPECT_TRUE(ds->IsEmpty());
  EXPECT_TRUE(ds->Bof());
  EXPECT_TRUE(ds->Eof());
  EXPECT_EQ(ds->RecNo(), 0);
  EXPECT_EQ(ds->MoveBy(1), 0);
  EXPECT_TRUE(ds->FieldByName("Code")->IsNull());
  EXPECT_EQ(ds->GetBookmark(), "");
}

TEST_F(DataSetTest, ClosedDatasetRaisesThePlatformTexts) {
  TMemDataSet* ds = MakeNumbered(&Owner, 3);
  try {
    ds->RecordCount();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_THROW(ds->Next(), EDatabaseError);
  ds->SetName("Qry_Cust");
  ds->Open();
  try {
    ds->FieldByName("NoSuch");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Qry_Cust: Field 'NoSuch' not found");
  }
  EXPECT_EQ(ds->FieldByName("code"), ds->FindField("CODE"));
  EXPECT_EQ(ds->FindField("NoSuch"), nullptr);
  EXPECT_EQ(ds->Fields()->Fields(1)->FieldName(), "Name");
  EXPECT_THROW(ds->Fields()->Fields(6), EListError);
}

TEST_F(DataSetTest, NonSequencedDatasetHasNoRecordNumbers) {
  TMemDataSet* ds = MakeNumbered(&Owner, 4);
  ds->SetSequenced(false);
  ds->Open();
  EXPECT_FALSE(ds->IsSequenced());
  EXPECT_EQ(ds->RecNo(), -1);
  ds->SetRecNo(3);
  EXPECT_EQ(Code(ds), "C01");
  EXPECT_EQ(ds->RecordCount(), 4);
}

// ---------------------------------------------------------------- editing

TEST_F(DataSetTest, EventsFireInThePlatformOrder) {
  TMemDataSet* ds = MakeNumbered(&Owner, 3);
  TEventLog log;
  log.Attach(ds);
  struct Case { const char* name; std::function<void()> action; const char* events; };
  const Case cases[] = {
      {"open", [&] { ds->Open(); }, "BeforeOpen,AfterOpen,AfterScroll"},
      {"next", [&] { ds->Next(); }, "BeforeScroll,AfterScroll"},
      {"edit", [&] { ds->Edit(); }, "BeforeEdit,AfterEdit"},
      {"post", [&] { ds->FieldByName("Qty")->SetAsInteger(9); ds->Post(); }, "BeforePost,AfterPost"},
      {"insert", [&] { ds->Insert(); }, "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll"},
      {"cancel", [&] { ds->Cancel(); }, "BeforeCancel,AfterCancel"},
      {"append", [&] { ds->Append(); }, "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll"},
      {"next posts a modified insert",
       [&] { ds->FieldByName("Code")->SetAsString("C09"); ds->Next(); },
       "BeforePost,AfterPost,BeforeScroll,AfterScroll"},
      {"delete", [&] { ds->Delete(); }, "BeforeDelete,BeforeScroll,AfterDelete,AfterScroll"},
      {"close", [&] { ds->Close(); }, "BeforeClose,AfterClose"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.Clear();
    c.action();
    EXPECT_EQ(log.Text(), c.events);
  }
}

TEST_F(DataSetTest, EditOnAnEmptyDatasetInserts) {
  TMemDataSet* ds = Open(0);
  TEventLog log;
  log.Attach(ds);
  ds->Edit();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(log.Text(), "BeforeInsert,BeforeScroll,OnNewRecord,AfterInsert,AfterScroll");
  ds->FieldByName("Code")->SetAsString("N1");
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 1);
  EXPECT_EQ(ds->InsertCount(), 1);
}

TEST_F(DataSetTest, CancelAndBrowseModeDropAnUntouchedInsert) {
  TMemDataSet* ds = Open(3);
  ds->SetRecNo(2);
  ds->SetOnNewRecord(TDataSetNotifyEvent::Lambda([](TDataSet* d) { d->FieldByName("Qty")->SetAsInteger(1); }));
  ds->Insert();
  EXPECT_EQ(ds->RecordCount(), 4);  // the new row shows at once
  EXPECT_FALSE(ds->Modified());     // defaults from OnNewRecord do not count
  ds->Next();                       // leaving an untouched insert cancels it
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(ds->InsertCount(), 0);
  EXPECT_EQ(Code(ds), "C03");

  ds->SetRecNo(2);
  ds->Insert();
  ds->FieldByName("Code")->SetAsString("X");
  ds->Cancel();  // an explicit cancel drops it even when touched
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(Code(ds), "C02");
  EXPECT_EQ(Join(Codes(ds)), "C01,C02,C03");
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd) {
  TMemDataSet* ds = Open(3);
  ds->SetRecNo(2);
  ds->InsertRecord({Variant("I1")});
  EXPECT_EQ(Code(ds), "I1");
  EXPECT_EQ(ds->RecNo(), 2);
  ds->First();
  ds->AppendRecord({Variant("A1"), Variant("appended")});
  EXPECT_EQ(ds->RecNo(), 5);
  EXPECT_EQ(Join(Codes(ds)), "C01,I1,C02,C03,A1");
  EXPECT_EQ(ds->InsertCount(), 2);
  auto stored = ds->StoredRows();
  ASSERT_EQ(stored.size(), 5u);
  EXPECT_EQ(VarToStr(stored[4][1]), "appended");
}

TEST_F(DataSetTest, PostWritesOnlyWhatChanged) {
  TMemDataSet* ds = Open(3);
  std::vector<String> writes;
  ds->OnWrite = [&](const TRowUpdate& u) {
    String s = EnumName(u.Kind()) + ":";
    for (int c = 0; c < u.ColumnCount(); ++c)
      if (u.Changed(c)) s += ds->FieldDefs()->Items(c)->Name() + "=" + VarToStr(u.OldValue(c)) + ">" + VarToStr(u.NewValue(c)) + ";";
    writes.push_back(s);
  };
  ds->Edit();
  ds->Post();  // nothing changed
  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(1);  // the same value
  ds->Post();
  EXPECT_TRUE(writes.empty());
  EXPECT_EQ(ds->UpdateCount(), 0);

  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(7);
  ds->FieldByName("Name")->SetAsString("Name 01");
  ds->Post();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0], "usModified:Qty=1>7;");
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 7);
  EXPECT_EQ(VarToStr(ds->StoredRows()[0][2]), "7");
}

TEST_F(DataSetTest, DeletePositionsOnTheNextRecordOrThePreviousAtTheEnd) {
  struct Case { int recNo; const char* current; const char* rest; };
  const Case cases[] = {
      {1, "C02", "C02,C03,C04"}, {2, "C03", "C01,C03,C04"}, {4, "C03", "C01,C02,C03"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recNo);
    TMemDataSet* ds = Open(4);
    ds->SetRecNo(c.recNo);
    ds->Delete();
    EXPECT_EQ(Code(ds), c.current);
    EXPECT_EQ(Join(Codes(ds)), c.rest);
    EXPECT_EQ(ds->DeleteCount(), 1);
    EXPECT_EQ(ds->StoredRowCount(), 3);
  }
  TMemDataSet* one = Open(1);
  one->Delete();
  EXPECT_TRUE(one->IsEmpty());
  EXPECT_TRUE(one->Bof() && one->Eof());
  EXPECT_THROW(one->Delete(), EDatabaseError);
}

TEST_F(DataSetTest, EditingErrorsUseThePlatformTexts) {
  TMemDataSet* ds = Open(2);
  try {
    ds->FieldByName("Code")->SetAsString("x");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Dataset not in edit or insert mode");
  }
  EXPECT_THROW(ds->Post(), EDatabaseError);

  ds->FieldByName("Code")->SetRequired(true);
  ds->Insert();
  ds->FieldByName("Name")->SetAsString("no code");
  try {
    ds->Post();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Code' must have a value");
  }
  EXPECT_EQ(ds->State(), dsInsert);  // still editing, nothing written
  EXPECT_EQ(ds->InsertCount(), 0);
  ds->FieldByName("Code")->SetDisplayLabel("代码");
  ds->FieldByName("Code")->Clear();
  try {
    ds->Post();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field '代码' must have a value");
  }
  ds->Cancel();

  ds->SetReadOnly(true);
  try {
    ds->Edit();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Cannot modify a read-only dataset");
  }
  EXPECT_FALSE(ds->FieldByName("Code")->CanModify());
}

TEST_F(DataSetTest, PostErrorHandlerCanRetryOrAbort) {
  TMemDataSet* ds = Open(1);
  int failures = 1;
  ds->OnWrite = [&](const TRowUpdate&) {
    if (failures-- > 0) throw EDatabaseError("disk full");
  };
  int calls = 0;
  ds->SetOnPostError(TDataSetErrorEvent::Lambda([&](TDataSet*, EDatabaseError* e, TDataAction& action) {
    ++calls;
    EXPECT_EQ(e->Message(), "disk full");
    action = daRetry;
  }));
  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(5);
  ds->Post();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ds->UpdateCount(), 1);

  failures = 1;
  ds->SetOnPostError(TDataSetErrorEvent::Lambda([](TDataSet*, EDatabaseError*, TDataAction& a) { a = daAbort; }));
  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(6);
  EXPECT_THROW(ds->Post(), EAbort);
  EXPECT_EQ(ds->State(), dsEdit);
  ds->SetOnPostError(TDataSetErrorEvent());
  failures = 1;
  EXPECT_THROW(ds->Post(), EDatabaseError);
  ds->Post();
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 6);
}

// ---------------------------------------------------------------- handlers taken over

// A component that takes the dataset's AfterScroll over and calls the handler it replaced first,
// as footer sums do.
class TScrollWatcher : public TComponent {
  KELM_CLASS(TScrollWatcher, TComponent)
public:
  using TComponent::TComponent;
  std::vector<String>* Log = nullptr;
  TDataSetNotifyEvent Saved;
  TDataSet* Hooked = nullptr;
  void Hook(TDataSet* ds) {
    Hooked = ds;
    Saved = ds->AfterScroll();
    ds->SetAfterScroll(TDataSetNotifyEvent(this, &TScrollWatcher::WatcherAfterScroll));
  }
  void Unhook() { Hooked->SetAfterScroll(Saved); }
  void WatcherAfterScroll(TDataSet* ds) {
    Saved(ds);
    Log->push_back("watcher " + ds->FieldByName("Code")->AsString());
  }
  void FormAfterScroll(TDataSet* ds) { Log->push_back("form " + ds->FieldByName("Code")->AsString()); }
};

KELM_PUBLISH(TScrollWatcher) {
  b.Method("WatcherAfterScroll", &TScrollWatcher::WatcherAfterScroll);
  b.Method("FormAfterScroll", &TScrollWatcher::FormAfterScroll);
}

TEST_F(DataSetTest, AfterScrollHandlersAreReplacedAndChained) {
  TMemDataSet* ds = Open(3);
  std::vector<String> log;
  TScrollWatcher form(nullptr), watcher(nullptr);
  form.Log = watcher.Log = &log;

  // Bound by name as a layout does, then taken over.
  SetMethodProp(ds, "AfterScroll", MethodAddress(&form, "FormAfterScroll"));
  TDataSetNotifyEvent original = ds->AfterScroll();
  EXPECT_EQ(MethodName(GetMethodProp(ds, "AfterScroll")), "FormAfterScroll");
  watcher.Hook(ds);
  EXPECT_FALSE(ds->AfterScroll() == original);
  ds->Next();
  EXPECT_EQ(Join(log), "form C02,watcher C02");

  // A handler assigned afterwards takes the watcher's place.
  log.clear();
  ds->SetAfterScroll(TDataSetNotifyEvent(&form, &TScrollWatcher::FormAfterScroll));
  ds->Next();
  EXPECT_EQ(Join(log), "form C03");

  // Putting the saved one back restores exactly the original handler.
  watcher.Hook(ds);
  watcher.Unhook();
  EXPECT_TRUE(ds->AfterScroll() == original);
  EXPECT_EQ(GetPropInfo(ds, "AfterScroll")->TypeName, "TDataSetNotifyEvent");
}

// ---------------------------------------------------------------- bookmarks

TEST_F(DataSetTest, BookmarksCompareInResultOrderAndSurviveSort) {
  TMemDataSet* ds = Open(10);
  auto markAt = [&](int recNo) {
    ds->SetRecNo(recNo);
    return ds->GetBookmark();
  };
  TDataSet::TBookmark b5 = markAt(5), b2 = markAt(2), b9 = markAt(9);
  struct Case { const TDataSet::TBookmark *a, *b; int ascending, descending; };
  const Case cases[] = {
      {&b5, &b2, 1, -1}, {&b2, &b9, -1, 1}, {&b9, &b5, 1, -1}, {&b2, &b2, 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ds->CompareBookmarks(*c.a, *c.b), c.ascending);

  ds->SetSort("Qty DESC");
  for (const Case& c : cases) EXPECT_EQ(ds->CompareBookmarks(*c.a, *c.b), c.descending);
  EXPECT_TRUE(ds->BookmarkValid(b5));
  ds->GotoBookmark(b5);
  EXPECT_EQ(Code(ds), "C05");
  EXPECT_EQ(ds->RecNo(), 6);

  EXPECT_EQ(ds->CompareBookmarks("", ""), 0);
  EXPECT_EQ(ds->CompareBookmarks("", b2), -1);
  EXPECT_EQ(ds->CompareBookmarks(b2, ""), 1);
}

TEST_F(DataSetTest, StaleBookmarksAreInvalidAndRaise) {
  TMemDataSet* ds = Open(4);
  ds->SetRecNo(3);
  TDataSet::TBookmark b = ds->GetBookmark();
  ds->Delete();
  EXPECT_FALSE(ds->BookmarkValid(b));
  try {
    ds->GotoBookmark(b);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Record not found");
  }
  EXPECT_FALSE(ds->BookmarkValid("junk"));
  EXPECT_THROW(ds->GotoBookmark("junk"), EDatabaseError);
  ds->Insert();
  EXPECT_EQ(ds->GetBookmark(), "");  // a record not yet posted has none
  ds->Cancel();
  ds->Close();
  EXPECT_FALSE(ds->BookmarkValid(b));
}

// ---------------------------------------------------------------- Locate and Lookup

TEST_F(DataSetTest, LocateMatchesExactlyOrAsOptionsSay) {
  TMemDataSet* ds = MakeTable(&Owner, {{"A1", "Alpha", 1},
                                       {"A2", "alphabet", 2},
                                       {"B1", "Beta", 3},
                                       {"B2", "beta ", 3},
                                       {"Z1", "中文名称", 4},
                                       {"E1", "Ärger", 6},
                                       {"N1", Null(), 5}});
  ds->Open();
  struct Case { const char* fields; Variant key; TLocateOptions options; const char* found; };
  const Case cases[] = {
      {"Name", "Alpha", {}, "A1"},
      {"Name", "alpha", {}, ""},  // case matters without options
      {"Name", "alpha", {loCaseInsensitive}, "A1"},
      {"Name", "alph", {loPartialKey}, "A2"},
      {"Name", "ALPH", {loCaseInsensitive, loPartialKey}, "A1"},
      {"Name", "beta", {}, ""},  // length matters too
      {"Name", "beta", {loCaseInsensitive}, "B1"},
      {"Name", "中文", {loPartialKey}, "Z1"},
      {"Name", Null(), {}, "N1"},
      {"Qty", 3, {}, "B1"},
      {"Qty", "4", {}, "Z1"},
      {"name;QTY", VarArrayOf({Variant("beta "), Variant(3)}), {}, "B2"},
      {"Name;Qty", VarArrayOf({Variant("Beta"), Variant(4)}), {}, ""},
      {"Day", Variant::FromDate(EncodeDate(2024, 1, 3)), {}, "B1"},
      {"Day", "2024-01-02", {}, "A2"},
      {"Name", "äRGER", {loCaseInsensitive}, "E1"},
      {"Name", "äR", {loCaseInsensitive, loPartialKey}, "E1"},
      {"Name", "Ärger!", {loPartialKey}, ""},  // a key longer than the text
      {"Name", "alphabetical", {loCaseInsensitive, loPartialKey}, ""},
      {"Name", "", {loPartialKey}, "A1"},
      {"Name", "中文名称", {loCaseInsensitive}, "Z1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.fields) + " " + (VarIsArray(c.key) ? String("(array)") : VarToStr(c.key)));
    ds->Last();
    bool found = ds->Locate(c.fields, c.key, c.options);
    EXPECT_EQ(found, *c.found != 0);
    EXPECT_EQ(Code(ds), found ? String(c.found) : String("N1"));  // not found: no move
  }
  EXPECT_THROW(ds->Locate("NoSuch", 1, {}), EDatabaseError);
}

TEST_F(DataSetTest, LookupAnswersWithoutMoving) {
  TMemDataSet* ds = Open(5);
  ds->SetRecNo(2);
  TEventLog log;
  log.Attach(ds);
  EXPECT_EQ(VarToStr(ds->Lookup("Code", "C04", "Name")), "Name 04");
  Variant both = ds->Lookup("Qty", 3, "Code;Amount");
  ASSERT_TRUE(VarIsArray(both));
  EXPECT_EQ(VarToStr(both[0]), "C03");
  EXPECT_DOUBLE_EQ(both[1].AsDouble(), 4.5);
  EXPECT_TRUE(VarIsNull(ds->Lookup("Code", "nope", "Name")));
  EXPECT_EQ(Code(ds), "C02");
  EXPECT_EQ(log.Text(), "");
  EXPECT_EQ(VarToStr(ds->FieldValues("Code")), "C02");
  ds->Edit();
  ds->SetFieldValues("Name;Qty", VarArrayOf({Variant("two"), Variant(22)}));
  ds->Post();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "two");
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 22);
}

// ---------------------------------------------------------------- Sort

TEST_F(DataSetTest, SortTakesThePlatformFormKeepsTheRecordAndIsStable) {
  TMemDataSet* ds = MakeTable(&Owner, {{"1", "bob", 2},
                                       {"2", "Alice", 1},
                                       {"3", "alice", 2},
                                       {"4", "Carl", Null()},
                                       {"5", "BOB", 1}});
  ds->Open();
  ds->SetRecNo(3);
  struct Case { const char* sort; const char* codes; };
  const Case cases[] = {
      {"Name", "2,3,1,5,4"},
      {"  Name DESC , Code", "4,1,5,2,3"},
      {"Qty,Name", "4,2,5,3,1"},  // Null sorts first
      {"qty desc, name desc", "1,3,5,2,4"},
      {"[Name] asc", "2,3,1,5,4"},
      {"", "1,2,3,4,5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sort);
    ds->SetSort(c.sort);
    EXPECT_EQ(ds->Sort(), c.sort);
    std::vector<String> codes = Codes(ds);
    EXPECT_EQ(Join(codes), c.codes);
    EXPECT_EQ(Code(ds), "3");  // still on the same record
  }
  try {
    ds->SetSort("Name, Nope DESC");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Nope' not found");
  }
  EXPECT_EQ(ds->Sort(), "");  // a failed sort changes nothing

  // Given before opening, the order applies at open.
  ds->Close();
  ds->SetSort("Code DESC");
  ds->Open();
  EXPECT_EQ(Join(Codes(ds)), "5,4,3,2,1");
}

// ---------------------------------------------------------------- filtering

TEST_F(DataSetTest, OnFilterRecordDecidesWhileFilteredAndFilterTextIsKept) {
  TMemDataSet* ds = Open(6);
  ds->SetRecNo(4);
  ds->SetOnFilterRecord(TFilterRecordEvent::Lambda([](TDataSet* d, bool& accept) {
    EXPECT_EQ(d->State(), dsFilter);
    accept = d->FieldByName("Qty")->AsInteger() % 2 == 0;
  }));
  EXPECT_EQ(ds->RecordCount(), 6);  // not filtered yet
  ds->SetFiltered(true);
  EXPECT_EQ(Join(Codes(ds)), "C02,C04,C06");
  EXPECT_EQ(Code(ds), "C04");  // still visible, still current
  ds->SetFilter("Qty > 100");  // kept and reported only
  EXPECT_EQ(ds->Filter(), "Qty > 100");
  EXPECT_EQ(ds->RecordCount(), 3);
  ds->SetFiltered(false);
  EXPECT_EQ(ds->RecordCount(), 6);
  EXPECT_EQ(Code(ds), "C04");
}

// ---------------------------------------------------------------- master/detail

TEST_F(DataSetTest, DetailFollowsItsMasterAndNewRowsTakeTheMasterKey) {
  TMemDataSet* master = Open(3);
  TDataSource src(nullptr);
  src.SetDataSet(master);
  auto* detail = new TMemDataSet(&Owner);
  detail->FieldDefs()->Add("OrderNo", ftInteger);
  detail->FieldDefs()->Add("CustCode", ftString, 10);
  for (int i = 1; i <= 5; ++i) detail->AddRow({Variant(i), Variant(i <= 3 ? "C01" : "C03")});
  detail->SetMasterSource(&src);
  detail->Open();
  EXPECT_EQ(detail->RecordCount(), 5);  // no master fields: the master does nothing
  detail->SetDetailFields("CustCode");
  detail->SetMasterFields("Code");
  EXPECT_EQ(detail->RecordCount(), 3);
  master->Next();
  EXPECT_TRUE(detail->IsEmpty());
  master->Next();
  EXPECT_EQ(detail->RecordCount(), 2);
  EXPECT_EQ(detail->FieldByName("OrderNo")->AsInteger(), 4);
  detail->Append();
  detail->FieldByName("OrderNo")->SetAsInteger(6);
  detail->Post();
  EXPECT_EQ(detail->FieldByName("CustCode")->AsString(), "C03");
  master->First();
  EXPECT_EQ(detail->RecordCount(), 3);
  master->Close();
  EXPECT_EQ(detail->RecordCount(), 6);  // without an active master every row shows
}

}  // namespace
