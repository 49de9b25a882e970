// Data sources and data links: the record-buffer window, scroll distances, reading other
// buffered records, held-back events, and field links.
#include "DataTestUtil.h"

#include <gtest/gtest.h>

using namespace datatest;

namespace {

class LinkTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;
  TRecordingLink Link;

  void Make(int rows, int bufferCount) {
    DS = MakeNumbered(&Owner, rows);
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Link.SetBufferCount(bufferCount);
    Link.SetDataSource(Source);
    DS->Open();
    Link.Clear();
  }
  // The codes of the link's window, read the way a grid paints: through ActiveRecord.
  String Window() {
    std::vector<String> codes;
    int saved = Link.ActiveRecord();
    for (int i = 0; i < Link.RecordCount(); ++i) {
      Link.SetActiveRecord(i);
      codes.push_back(DS->FieldByName("Code")->AsString());
    }
    Link.SetActiveRecord(saved);
    return Join(codes);
  }
  String Current() { return DS->FieldByName("Code")->AsString(); }
};

TEST_F(LinkTest, ScrollDistancesFollowTheLeastMoveOfAFiveRowWindow) {
  Make(20, 5);
  EXPECT_EQ(Link.RecordCount(), 5);
  struct Step { const char* op; int arg; int distance; int active; const char* window; };
  const Step steps[] = {
      {"moveby", 4, 0, 4, "C01,C02,C03,C04,C05"},
      {"next", 0, 1, 4, "C02,C03,C04,C05,C06"},
      {"moveby", 3, 3, 4, "C05,C06,C07,C08,C09"},
      {"moveby", -2, 0, 2, "C05,C06,C07,C08,C09"},
      {"prior", 0, 0, 1, "C05,C06,C07,C08,C09"},
      {"moveby", -6, -4, 0, "C01,C02,C03,C04,C05"},
      {"last", 0, 15, 4, "C16,C17,C18,C19,C20"},
      {"prior", 0, 0, 3, "C16,C17,C18,C19,C20"},
      {"first", 0, -15, 0, "C01,C02,C03,C04,C05"},
      {"moveby", 100, 15, 4, "C16,C17,C18,C19,C20"},
      {"moveby", -7, -3, 0, "C13,C14,C15,C16,C17"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(String(s.op) + " " + IntToStr(s.arg));
    Link.Clear();
    String op = s.op;
    if (op == "next") DS->Next();
    else if (op == "prior") DS->Prior();
    else if (op == "moveby") DS->MoveBy(s.arg);
    else if (op == "last") DS->Last();
    else DS->First();
    EXPECT_EQ(Link.Scrolls(), std::vector<int>{s.distance});
    EXPECT_EQ(Link.ActiveRecord(), s.active);
    EXPECT_EQ(DS->ActiveRecord(), s.active);
    EXPECT_EQ(Window(), s.window);
  }
}

TEST_F(LinkTest, TheDatasetKeepsOneWindowOfTheLargestLink) {
  Make(12, 5);
  TRecordingLink small;
  small.SetBufferCount(3);
  small.SetDataSource(Source);
  EXPECT_EQ(DS->BufferCount(), 5);
  EXPECT_EQ(small.RecordCount(), 3);
  small.Clear();
  std::vector<int> bigMoves, smallMoves;
  for (int i = 0; i < 6; ++i) {
    Link.Clear();
    small.Clear();
    DS->Next();
    bigMoves.push_back(Link.Scrolls().at(0));
    smallMoves.push_back(small.Scrolls().at(0));
  }
  EXPECT_EQ(bigMoves, (std::vector<int>{0, 0, 0, 0, 1, 1}));
  EXPECT_EQ(smallMoves, (std::vector<int>{0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(small.ActiveRecord(), 2);
  small.Clear();
  small.SetDataSource(nullptr);
  EXPECT_EQ(small.Text(), "inactive");
  Link.SetBufferCount(2);
  EXPECT_EQ(DS->BufferCount(), 2);
  EXPECT_EQ(Link.RecordCount(), 2);
  EXPECT_EQ(Link.ActiveRecord(), 1);  // the current record stays inside
}

TEST_F(LinkTest, ReadingOtherBufferedRecordsSendsNothing) {
  Make(10, 4);
  DS->MoveBy(5);  // window C03..C06, current C06
  Link.Clear();
  TEventLog log;
  log.Attach(DS);
  Link.SetActiveRecord(0);
  EXPECT_EQ(Current(), "C03");
  EXPECT_EQ(DS->RecNo(), 3);
  Link.SetActiveRecord(3);
  EXPECT_EQ(Current(), "C06");
  EXPECT_EQ(Link.Text(), "");
  EXPECT_EQ(log.Text(), "");
  EXPECT_THROW(Link.SetActiveRecord(4), EListError);
}

TEST_F(LinkTest, BookmarksOfBufferedRowsCanBeCollectedInOrder) {
  Make(10, 4);
  DS->MoveBy(5);
  std::vector<TDataSet::TBookmark> marks;
  int saved = Link.ActiveRecord();
  for (int i = 0; i < Link.RecordCount(); ++i) {
    Link.SetActiveRecord(i);
    marks.push_back(DS->GetBookmark());
  }
  Link.SetActiveRecord(saved);
  for (std::size_t i = 1; i < marks.size(); ++i) EXPECT_EQ(DS->CompareBookmarks(marks[i - 1], marks[i]), -1);
  DS->GotoBookmark(marks[1]);
  EXPECT_EQ(Current(), "C04");
}

TEST_F(LinkTest, ChangesRebuildTheWindowKeepingTheCurrentRecordsPlace) {
  Make(20, 5);
  DS->MoveBy(9);  // current C10 on window row 4
  DS->MoveBy(-2);  // C08 on row 2, window C06..C10
  ASSERT_EQ(Link.ActiveRecord(), 2);
  struct Step { const char* op; const char* current; int active; const char* window; const char* events; };
  const Step steps[] = {
      {"insert", "", 2, "C06,C07,,C08,C09", "check,editing,changed"},
      {"cancel", "C08", 2, "C06,C07,C08,C09,C10", "check,browsing,changed"},
      {"delete", "C09", 2, "C06,C07,C09,C10,C11", "check,changed"},
      {"sort", "C09", 2, "C11,C10,C09,C07,C06", "check,changed"},
      {"unsort", "C09", 2, "C06,C07,C09,C10,C11", "check,changed"},
      {"edit", "C09", 2, "C06,C07,C09,C10,C11", "editing,record"},
      {"post", "C09", 2, "C06,C07,C09,C10,C11", "update,check,browsing,changed"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.op);
    Link.Clear();
    String op = s.op;
    if (op == "insert") DS->Insert();
    else if (op == "cancel") DS->Cancel();
    else if (op == "delete") DS->Delete();
    else if (op == "sort") DS->SetSort("Code DESC");
    else if (op == "unsort") DS->SetSort("");
    else if (op == "edit") DS->Edit();
    else DS->Post();
    EXPECT_EQ(Link.Text(), s.events);
    EXPECT_EQ(Current(), s.current);
    EXPECT_EQ(Link.ActiveRecord(), s.active);
    EXPECT_EQ(Window(), s.window);
  }

  // Removing the last record puts the previous one on the bottom row, the window full.
  DS->Last();
  DS->Delete();
  EXPECT_EQ(Current(), "C19");
  EXPECT_EQ(Link.ActiveRecord(), 4);
  EXPECT_EQ(Window(), "C15,C16,C17,C18,C19");
  DS->Append();
  EXPECT_EQ(Link.ActiveRecord(), 4);
  EXPECT_EQ(Window(), "C16,C17,C18,C19,");
}

TEST_F(LinkTest, JumpsCentreTheCurrentRecord) {
  Make(20, 5);
  DS->Locate("Code", "C12", {});
  EXPECT_EQ(Link.Scrolls(), std::vector<int>{9});
  EXPECT_EQ(Window(), "C10,C11,C12,C13,C14");
  Link.Clear();
  DS->SetRecNo(2);
  EXPECT_EQ(Link.Scrolls(), std::vector<int>{-9});
  EXPECT_EQ(Window(), "C01,C02,C03,C04,C05");
  EXPECT_EQ(Link.ActiveRecord(), 1);
}

TEST_F(LinkTest, DisableControlsHoldsEventsBackUntilTheLastEnable) {
  Make(10, 5);
  Link.SetVisualControl(true);  // a grid's link: it waits for the controls to come back
  int dataChanges = 0;
  Source->SetOnDataChange(TDataChangeEvent::Lambda([&](TObject*, TField*) { ++dataChanges; }));
  DS->DisableControls();
  DS->DisableControls();
  EXPECT_TRUE(DS->ControlsDisabled());
  for (DS->First(); !DS->Eof(); DS->Next()) {
  }
  DS->Edit();
  DS->FieldByName("Qty")->SetAsInteger(50);
  DS->Post();
  DS->EnableControls();
  EXPECT_TRUE(DS->ControlsDisabled());
  // No data event got through; the edit's state changes came as disabled-state changes.
  EXPECT_EQ(Link.Text(), "disabled:1,disabled:1");
  EXPECT_EQ(dataChanges, 0);
  Link.Clear();
  DS->EnableControls();
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(Link.Text(), "changed");
  EXPECT_EQ(dataChanges, 1);
  EXPECT_EQ(Link.ActiveRecord(), 4);  // the window followed the walk to the end
  EXPECT_EQ(Window(), "C06,C07,C08,C09,C10");
  DS->EnableControls();  // an extra enable is harmless
  EXPECT_FALSE(DS->ControlsDisabled());
}

TEST_F(LinkTest, AWalkScopeHoldsTheControlsAndGoesBackHoweverTheWalkEnds) {
  Make(10, 5);
  DS->Locate("Code", "C04", {});
  {
    TWalkScope walk(DS);
    EXPECT_TRUE(DS->ControlsDisabled());
    DS->Last();
  }
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(Current(), "C04") << "back after a walk that ended";

  EXPECT_THROW(
      {
        TWalkScope walk(DS);
        DS->First();
        throw EDatabaseError("the walk fails");
      },
      EDatabaseError);
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(Current(), "C04") << "back after a walk that raised";

  {
    TWalkScope walk(DS, false);
    EXPECT_TRUE(DS->ControlsDisabled());
    DS->Last();
  }
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(Current(), "C10") << "without the position, the walk's end stays";

  {
    // The record the walk started on goes: the dataset stays where the walk left it.
    TWalkScope walk(DS);
    DS->Delete();
    DS->First();
  }
  EXPECT_FALSE(DS->ControlsDisabled());
  EXPECT_EQ(Current(), "C01");
}

TEST_F(LinkTest, StateChangesWhileDisabledArriveAsDisabledStateChanges) {
  Make(3, 1);
  Link.SetVisualControl(true);
  DS->DisableControls();
  DS->Close();
  EXPECT_EQ(Link.Text(), "disabled:0");
  EXPECT_TRUE(Link.Active());  // the link keeps its state until controls come back
  DS->EnableControls();
  EXPECT_EQ(Link.Text(), "disabled:0,inactive");
  EXPECT_FALSE(Link.Active());

  Link.Clear();
  DS->DisableControls();
  DS->Open();
  DS->EnableControls();
  EXPECT_EQ(Link.Text(), "disabled:1,active");
}

TEST_F(LinkTest, ALinkThatShowsNothingFollowsTheStateAtOnceWhileControlsAreDisabled) {
  Make(3, 1);
  ASSERT_FALSE(Link.VisualControl());
  DS->DisableControls();
  DS->Close();
  EXPECT_EQ(Link.Text(), "disabled:0,inactive");
  EXPECT_FALSE(Link.Active()) << "no reference into the closed dataset is kept";
  DS->Open();
  EXPECT_EQ(Link.Text(), "disabled:0,inactive,disabled:1,active");
  DS->EnableControls();
  EXPECT_TRUE(Link.Active());
}

TEST_F(LinkTest, DataSourceReportsStateAndDataChanges) {
  Make(3, 1);
  std::vector<String> log;
  Source->SetOnStateChange(TNotifyEvent::Lambda([&](TObject*) { log.push_back(EnumName(Source->State())); }));
  Source->SetOnDataChange(TDataChangeEvent::Lambda([&](TObject*, TField* f) { log.push_back(f ? "data:" + f->FieldName() : "data"); }));
  Source->SetOnUpdateData(TNotifyEvent::Lambda([&](TObject*) { log.push_back("update"); }));
  DS->Next();
  DS->Edit();
  DS->FieldByName("Name")->SetAsString("x");
  DS->Post();
  EXPECT_EQ(Join(log), "data,dsEdit,data,data:Name,update,dsBrowse,data");

  log.clear();
  Source->SetEnabled(false);
  EXPECT_EQ(Source->State(), dsInactive);
  EXPECT_FALSE(Link.Active());
  DS->Next();
  Source->SetEnabled(true);
  EXPECT_EQ(Join(log), "dsInactive,dsBrowse,data");
  EXPECT_TRUE(Link.Active());

  // AutoEdit decides whether the source may start an edit.
  Source->SetAutoEdit(false);
  EXPECT_FALSE(Link.Edit());
  EXPECT_EQ(DS->State(), dsBrowse);
  Source->SetAutoEdit(true);
  EXPECT_TRUE(Link.Edit());
  EXPECT_EQ(DS->State(), dsEdit);
  DS->Cancel();
}

TEST_F(LinkTest, LinksLetGoWhenTheirSourceOrDatasetIsFreed) {
  Make(3, 2);
  delete DS;
  EXPECT_EQ(Source->DataSet(), nullptr);
  EXPECT_FALSE(Link.Active());
  EXPECT_EQ(Link.RecordCount(), 0);
  delete Source;
  EXPECT_EQ(Link.DataSource(), nullptr);
}

TEST_F(LinkTest, FieldLinkFollowsItsFieldAndWritesBackOnPost) {
  Make(3, 1);
  TFieldDataLink fl;
  std::vector<String> seen;
  String controlText;
  fl.OnDataChange = TNotifyEvent::Lambda([&](TObject*) {
    controlText = fl.Field() ? fl.Field()->DisplayText() : String();
    seen.push_back(controlText);
  });
  fl.OnUpdateData = TNotifyEvent::Lambda([&](TObject*) { fl.Field()->SetAsString(controlText); });
  fl.SetDataSource(Source);
  fl.SetFieldName("Name");
  EXPECT_EQ(fl.Field(), DS->FieldByName("Name"));
  DS->Next();
  DS->Next();
  EXPECT_EQ(Join(seen), "Name 01,Name 02,Name 03");

  EXPECT_TRUE(fl.Edit());
  EXPECT_TRUE(fl.Editing());
  controlText = "typed";
  fl.Modified();
  DS->Post();  // the link hands the control's text over first
  EXPECT_EQ(DS->FieldByName("Name")->AsString(), "typed");
  EXPECT_FALSE(fl.Editing());

  // Changes of another field do not disturb the control.
  seen.clear();
  DS->Edit();
  DS->FieldByName("Qty")->SetAsInteger(4);
  DS->FieldByName("Name")->SetAsString("set in code");
  EXPECT_EQ(Join(seen), "typed,set in code");
  DS->Cancel();

  fl.Field()->SetReadOnly(true);
  EXPECT_FALSE(fl.CanModify());
  EXPECT_FALSE(fl.Edit());
  EXPECT_THROW(fl.SetFieldName("NoSuch"), EDatabaseError);
}

// A link whose own move-by stands in for the dataset's, as the grid's does.
class TCountingMoveLink : public TDataLink {
public:
  int Calls = 0;
  int MoveBy(int distance) override {
    ++Calls;
    return TDataLink::MoveBy(distance * 2);
  }
};

TEST_F(LinkTest, MoveByIsVirtual) {
  Make(10, 3);
  TCountingMoveLink link;
  link.SetDataSource(Source);
  TDataLink* base = &link;
  EXPECT_EQ(base->MoveBy(2), 4);
  EXPECT_EQ(link.Calls, 1);
  EXPECT_EQ(Current(), "C05");
}

}  // namespace

namespace {

// A link that takes the focus request for its own field, as an edit control does.
class TFocusLink : public TRecordingLink {
public:
  TField* Mine = nullptr;

protected:
  void FocusControl(TField** field) override {
    Log.push_back("focus:" + (*field)->FieldName());
    if (*field == Mine) *field = nullptr;
  }
};

TEST_F(LinkTest, FieldChangesOfLayoutAndFocusReachTheLinks) {
  Make(3, 1);
  TFocusLink other, mine, late;
  other.SetDataSource(Source);
  mine.SetDataSource(Source);
  late.SetDataSource(Source);
  mine.Mine = DS->FieldByName("Code");

  DS->FieldByName("Code")->SetRequired(true);
  DS->Insert();
  other.Clear();
  mine.Clear();
  late.Clear();
  EXPECT_THROW(DS->Post(), EDatabaseError);
  // The required check asks for the field's control; once one link took it, later ones are
  // not asked.
  EXPECT_EQ(other.Text(), "update,check,focus:Code");
  EXPECT_EQ(mine.Text(), "update,check,focus:Code");
  EXPECT_EQ(late.Text(), "update,check");
  DS->Cancel();

  Link.Clear();
  DS->FieldByName("Name")->SetVisible(false);
  DS->FieldByName("Name")->SetDisplayWidth(40);
  DS->FieldByName("Qty")->SetIndex(0);
  DS->FieldByName("Amount")->SetAlignment(taCenter);
  EXPECT_EQ(Link.Text(), "layout,layout,layout,changed");
  EXPECT_EQ(DS->Fields()->Fields(0)->FieldName(), "Qty");
}

TEST(FieldChars, EditorsAcceptOnlyCharactersTheFieldCanTake) {
  TComponent owner(nullptr);
  TIntegerField i(&owner);
  TFloatField f(&owner);
  TBCDField b(&owner);
  TStringField s(&owner);
  struct Case { TField* field; const char* accepted; const char* refused; };
  const Case cases[] = {
      {&i, "0123456789+-", ".eEa "},
      {&f, "0123456789+-.eE", ",a "},
      {&b, "0123456789+-.", "eE,a"},
      {&s, "a1 .,中", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field->ClassName());
    for (char32_t ch : Utf8ToUtf32(c.accepted)) EXPECT_TRUE(c.field->IsValidChar(ch)) << char(ch);
    for (char32_t ch : Utf8ToUtf32(c.refused)) EXPECT_FALSE(c.field->IsValidChar(ch)) << char(ch);
  }
}

// A component that reads a dataset given directly or through a data source.
class TDataSetReader : public TComponent {
public:
  using TComponent::TComponent;
  TDataSetOrSource Links{this};

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    Links.Notification(AComponent, Operation);
  }
};

TEST(DataSetOrSource, SettingOneClearsTheOtherAndAFreedOneIsForgotten) {
  TDataSetReader reader(nullptr);
  auto data = std::make_unique<TMemDataSet>(nullptr);
  auto source = std::make_unique<TDataSource>(nullptr);
  reader.Links.SetDataSet(data.get());
  EXPECT_EQ(reader.Links.DataSet(), data.get());
  reader.Links.SetDataSource(source.get());
  EXPECT_EQ(reader.Links.DataSource(), source.get());
  EXPECT_EQ(reader.Links.DataSet(), nullptr);
  // Clearing one leaves the other alone.
  reader.Links.SetDataSet(nullptr);
  EXPECT_EQ(reader.Links.DataSource(), source.get());

  source.reset();
  EXPECT_EQ(reader.Links.DataSource(), nullptr);
  reader.Links.SetDataSet(data.get());
  data.reset();
  EXPECT_EQ(reader.Links.DataSet(), nullptr);
}

}  // namespace
