// The lookup drop-down grid on its own (key, search, keys, rows, special row, errors) and as
// the drop-down of a lookup column's in-cell editor, over in-memory tables and a database file.
#include "FileQuery.h"
#include "GridPaintFixture.h"
#include "GuiTestUtil.h"
#include "TempFolder.h"
#include "core/DateUtils.h"
#include "data/ADOConnection.h"
#include "data/MemDataSet.h"
#include "grid/DBGridEhInplace.h"
#include "grid/DBLookupGridEh.h"
#include "gui/Forms.h"

#include <gtest/gtest.h>

using guitest::TypeKey;

namespace {

String KeyOf(const TDBLookupGridEh* G) { return VarIsNull(G->ChosenKey()) ? String("null") : VarToStr(G->ChosenKey()); }

// A list of names keyed by code, shown by a lookup grid on a form.
class LookupGrid : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(Application);
    Form->SetBounds(50, 50, 400, 400);
    List = new TMemDataSet(Form);
    List->FieldDefs()->Add("Code", ftString, 10);
    List->FieldDefs()->Add("Name", ftString, 20);
    // A field the list does not show: the grid drops its column when the list fields resolve.
    List->FieldDefs()->Add("Price", ftFloat);
    for (auto [code, name] : std::vector<std::pair<const char*, const char*>>{
             {"01", "Apple"}, {"02", "abacus"}, {"03", "Abd"}, {"04", "Banana"}, {"05", "abc"}})
      List->AddRow({Variant(code), Variant(name), Variant(1.5)});
    List->Open();
    ListSource = new TDataSource(Form);
    ListSource->SetDataSet(List);
    Grid = new TDBLookupGridEh(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(10, 10, 200, 150);
    Grid->SetKeyField("Code");
    Grid->SetListField("Name");
    Grid->SetListSource(ListSource);
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  void Focus() {
    Form->Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  String Key() const { return KeyOf(Grid); }
  TForm* Form = nullptr;
  TMemDataSet* List = nullptr;
  TDataSource* ListSource = nullptr;
  TDBLookupGridEh* Grid = nullptr;
};

TEST_F(LookupGrid, ListRowsStayWithinOneToAHundredAndTheHeightSnapsToWholeRows) {
  Focus();
  ASSERT_EQ(Grid->Columns()->Count(), 1) << "one column, the list field's";
  EXPECT_EQ(Grid->Columns()->Items(0)->FieldName(), "Name");
  const std::pair<int, int> cases[] = {{0, 1}, {150, 100}, {5, 5}};
  int row = Grid->ListRowHeight();
  ASSERT_GT(row, 0);
  for (auto [set, expected] : cases) {
    Grid->SetListRows(set);
    EXPECT_EQ(Grid->ListRows(), expected) << set;
    EXPECT_EQ(Grid->Height(), Grid->FrameHeight() + expected * row) << set;
  }
  // A height between rows keeps the whole rows that fit.
  Grid->SetHeight(Grid->FrameHeight() + 3 * row + row / 2);
  EXPECT_EQ(Grid->ListRows(), 3);
  EXPECT_EQ(Grid->Height(), Grid->FrameHeight() + 3 * row);
  Grid->SpecRow()->SetVisible(true);
  Grid->SetListRows(3);
  EXPECT_EQ(Grid->Height(), Grid->FrameHeight() + 4 * row) << "the special row adds one row";
}

TEST_F(LookupGrid, TypedLettersSearchTheListFieldAndAPauseStartsANewSearch) {
  Focus();
  TDateTime t = EncodeDate(2026, 1, 5);
  TClockOverride clock([&] { return t; });
  auto after = [&](int ms) { t += ms / 86400000.0; };
  struct TStep {
    int PauseMs;
    const char* Letter;
    const char* Key;
    const char* Prefix;
  };
  const TStep steps[] = {
      {0, "a", "01", "a"},      // Apple, the first beginning with a in any case
      {500, "b", "02", "ab"},   // abacus: the first with ab
      {500, "d", "03", "abd"},  // Abd
      {500, "x", "03", "abd"},  // nothing starts with abdx: the choice and the search stay
      {2100, "b", "04", "b"},   // after the pause the search starts again: Banana
  };
  for (const TStep& s : steps) {
    after(s.PauseMs);
    TypeKey(Qt::Key_A + (s.Letter[0] - 'a'), Qt::NoModifier, s.Letter);
    EXPECT_EQ(Key(), s.Key) << s.Letter;
    EXPECT_EQ(Grid->TypedPrefix(), s.Prefix) << s.Letter;
  }
  EXPECT_EQ(Grid->ChosenText(), "Banana");
  TypeKey(Qt::Key_Backspace);
  EXPECT_EQ(Grid->TypedPrefix(), "");
  // The search text stops growing at 32 characters.
  for (int i = 0; i < 40; ++i) TypeKey(Qt::Key_B, Qt::NoModifier, "b");
  EXPECT_LE(::Length(Grid->TypedPrefix()), 32);
}

TEST_F(LookupGrid, ArrowsMoveTheChoiceAndUpOnTheFirstRecordSelectsTheSpecialRow) {
  Grid->SpecRow()->SetVisible(true);
  Grid->SpecRow()->SetCellsText("（无）");
  Grid->SpecRow()->SetValue(Variant("00"));
  Grid->SetChosenKey(Variant("02"));
  Focus();
  EXPECT_FALSE(Grid->SpecRowSelected());
  TypeKey(Qt::Key_Up);
  EXPECT_EQ(Key(), "01");
  TypeKey(Qt::Key_Up);
  EXPECT_TRUE(Grid->SpecRowSelected());
  EXPECT_EQ(Key(), "00");
  EXPECT_EQ(Grid->ChosenText(), "（无）");
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Key(), "01") << "down from the special row starts at the first record";
  TypeKey(Qt::Key_End);
  EXPECT_EQ(Key(), "05");
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Key(), "05") << "nothing below the last";
}

TEST_F(LookupGrid, AKeyNotInTheListSelectsTheSpecialRowOrShowsNoText) {
  Grid->SetChosenKey(Variant("99"));
  EXPECT_EQ(Grid->ChosenText(), "") << "no special row: no text, not the text of the record the list stands on";
  EXPECT_FALSE(Grid->KeyRowVisible());
  Grid->SpecRow()->SetVisible(true);
  Grid->SpecRow()->SetCellsText("未知");
  Grid->SetChosenKey(Variant("98"));
  EXPECT_TRUE(Grid->SpecRowSelected());
  EXPECT_EQ(Grid->ChosenText(), "未知");
  Grid->SetChosenKey(Variant("04"));
  EXPECT_FALSE(Grid->SpecRowSelected());
  EXPECT_EQ(Grid->ChosenText(), "Banana");
  EXPECT_EQ(List->FieldByName("Code")->AsString(), "04") << "the list stands on the key";
  Grid->SpecRow()->SetShowIfNotInKeyList(false);
  Grid->SetChosenKey(Variant("97"));
  EXPECT_FALSE(Grid->SpecRowSelected());
  EXPECT_EQ(Grid->ChosenText(), "");
}

TEST_F(LookupGrid, TheChoiceIsWrittenIntoTheDataFieldAndFollowsIt) {
  auto* data = new TMemDataSet(Form);
  data->FieldDefs()->Add("Id", ftInteger);
  data->FieldDefs()->Add("Code", ftString, 10);
  data->AddRow({Variant(1), Variant("03")});
  data->AddRow({Variant(2), Null()});
  data->Open();
  auto* source = new TDataSource(Form);
  source->SetDataSet(data);
  Grid->SetDataSource(source);
  Grid->SetDataField("Code");
  EXPECT_EQ(Key(), "03");
  EXPECT_EQ(Grid->ChosenText(), "Abd");
  data->Next();
  EXPECT_EQ(Key(), "null");
  data->First();
  Focus();
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(data->State(), dsEdit);
  EXPECT_EQ(data->FieldByName("Code")->AsString(), "04");
  EXPECT_EQ(Key(), "04") << "the key came back from the field";
  data->Cancel();
  Grid->SetReadOnly(true);
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Key(), "03") << "a read-only grid changes nothing";
}

TEST_F(LookupGrid, LinkingTheListToTheDataSourceAndUnknownListFieldsAreErrors) {
  static_cast<TComponent*>(Grid)->SetName("lg");
  try {
    Grid->SetListField("Name;Nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(String(e.what()), "lg: Field 'Name;Nope' not found");
  }
  Grid->SetListField("Name");
  try {
    Grid->SetDataSource(ListSource);
    Grid->SetDataField("Code");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(String(e.what()), "lg: Circular datalinks are not allowed");
  }
}

TEST_F(LookupGrid, ALookupFieldDefinesTheListAndItsSettingsAreThenRefused) {
  auto* data = new TMemDataSet(Form);
  data->FieldDefs()->Add("Code", ftString, 10);
  data->AddRow({Variant("05")});
  auto* code = new TStringField(Form);
  code->SetFieldName("Code");
  code->SetDataSet(data);
  auto* name = new TStringField(Form);
  name->SetFieldName("NameOf");
  name->SetFieldKind(fkLookup);
  name->SetKeyFields("Code");
  name->SetLookupDataSet(List);
  name->SetLookupKeyFields("Code");
  name->SetLookupResultField("Name");
  name->SetDataSet(data);
  data->Open();
  auto* source = new TDataSource(Form);
  source->SetDataSet(data);
  auto* lg = new TDBLookupGridEh(Form);
  lg->SetParent(Form);
  lg->SetDataSource(source);
  lg->SetDataField("NameOf");
  EXPECT_TRUE(lg->LookupMode());
  EXPECT_EQ(lg->MasterFieldNames(), "Code");
  EXPECT_EQ(lg->KeyField(), "Code");
  EXPECT_EQ(lg->ChosenText(), "abc");
  EXPECT_THROW(lg->SetKeyField("Name"), EDatabaseError);
  EXPECT_THROW(lg->SetListSource(ListSource), EDatabaseError);
}

TEST_F(LookupGrid, ThePopUpTracksTheMouseAndClosesOnRelease) {
  auto* popup = new TPopupDataGridEh(Form);
  popup->SetKeyField("Code");
  popup->SetListField("Name");
  popup->SetListSource(ListSource);
  popup->SetBounds(100, 100, 200, 10);
  popup->SetListRows(5);
  std::vector<bool> closes;
  int userChoices = 0;
  popup->OnListCloseUp = TListCloseUpEventEh::Lambda([&](TObject*, bool A) { closes.push_back(A); });
  popup->OnUserKeyChoice = TNotifyEvent::Lambda([&](TObject*) { ++userChoices; });
  Form->Show();
  ShowPopupAt(popup, 100, 100, Form, [] {});
  Application->ProcessMessages();
  int row = popup->ListRowHeight();
  guitest::Move(popup, {20, 2 * row + row / 2});
  EXPECT_EQ(KeyOf(popup), "03") << "the record under the pointer";
  EXPECT_GE(userChoices, 1);
  guitest::Click(popup, {20, row / 2});
  EXPECT_EQ(KeyOf(popup), "01");
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_TRUE(closes[0]);
  EXPECT_FALSE(popup->CanFocus());
  HidePopup(popup);
}

// ================================================================ the in-cell editor's drop-down

// Orders whose city is looked up by code in a list of three cities.
class LookupDropDown : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(Application);
    Form->SetBounds(40, 40, 400, 200);
    Cities = new TMemDataSet(Form);
    Cities->FieldDefs()->Add("Code", ftString, 10);
    Cities->FieldDefs()->Add("Name", ftWideString, 20);
    for (auto [code, name] : std::vector<std::pair<const char*, const char*>>{
             {"01", "北京"}, {"02", "上海"}, {"03", "广州"}})
      Cities->AddRow({Variant(code), Variant(String(name))});
    Cities->Open();
    Build(Cities);
  }
  void Build(TDataSet* List) {
    Orders = new TMemDataSet(Form);
    Orders->FieldDefs()->Add("OrderNo", ftInteger);
    Orders->FieldDefs()->Add("CityCode", ftString, 10);
    Orders->AddRow({Variant(1), Variant("01")});
    AddField(new TIntegerField(Form), "OrderNo", fkData);
    CityCode = AddField(new TStringField(Form), "CityCode", fkData);
    CityName = AddField(new TWideStringField(Form), "CityName", fkLookup);
    CityName->SetKeyFields("CityCode");
    CityName->SetLookupDataSet(List);
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
  TDBGridInplaceEdit* Open() {
    Grid->SetFocus();
    Application->ProcessMessages();
    TypeKey(Qt::Key_F2);
    auto* ed = dynamic_cast<TDBGridInplaceEdit*>(Grid->InplaceEditor());
    EXPECT_TRUE(ed && ed->Visible());
    if (!ed) return nullptr;
    TypeKey(Qt::Key_Down, Qt::AltModifier);
    return ed;
  }
  TForm* Form = nullptr;
  TMemDataSet *Cities = nullptr, *Orders = nullptr;
  TField *CityCode = nullptr, *CityName = nullptr;
  TDBGridEh* Grid = nullptr;
};

TEST_F(LookupDropDown, AShortListShowsItsRowsAndEnterWritesTheChosenKey) {
  TDBGridInplaceEdit* ed = Open();
  ASSERT_TRUE(ed);
  ASSERT_TRUE(ed->ListVisible());
  TPopupDataGridEh* list = ed->LookupGrid();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->ListRows(), 3) << "3 records, 7 rows asked for";
  EXPECT_EQ(list->ChosenText(), "北京");
  EXPECT_GE(list->Width(), ed->Width());
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(ed->Text(), "上海") << "the editor follows the list";
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Return);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(CityCode->AsString(), "03");
  EXPECT_EQ(ed->Text(), "广州");
  EXPECT_EQ(ed->SelText(), "广州");
}

TEST_F(LookupDropDown, EscapePutsTheEditorTextBack) {
  TDBGridInplaceEdit* ed = Open();
  ASSERT_TRUE(ed && ed->ListVisible());
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(ed->Text(), "上海");
  TypeKey(Qt::Key_Escape);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "北京");
  EXPECT_EQ(CityCode->AsString(), "01");
}

TEST_F(LookupDropDown, ARefusedKeyLeavesTheFieldsTextAndABlankAndReportsTheError) {
  CityCode->SetOnValidate(TFieldNotifyEvent::Lambda([](TField* F) {
    if (F->AsString() == "03") throw EDatabaseError("no deliveries there");
  }));
  TDBGridInplaceEdit* ed = Open();
  ASSERT_TRUE(ed && ed->ListVisible());
  TypeKey(Qt::Key_End, Qt::ControlModifier);
  guitest::TBoxRecorder boxes;
  TypeKey(Qt::Key_Return);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "no deliveries there.");
  EXPECT_EQ(ed->Text(), "北京 ");
  EXPECT_EQ(CityCode->AsString(), "01");
}

TEST_F(LookupDropDown, TheListComesFromADatabaseFile) {
  TempFolder dir;
  String file = dir / "cities.db";
  CreateDatabaseFromScript(file, "CREATE TABLE Cities (Code TEXT(10), Name TEXT(20));\n"
                                 "INSERT INTO Cities (Code, Name) VALUES ('01', '北京');\n"
                                 "INSERT INTO Cities (Code, Name) VALUES ('02', '上海');\n");
  auto* list = FileQuery(Form, file, "select Code, Name from Cities order by Code");
  list->Open();
  delete Grid;
  Build(list);
  TDBGridInplaceEdit* ed = Open();
  ASSERT_TRUE(ed && ed->ListVisible());
  EXPECT_EQ(ed->LookupGrid()->ListRows(), 2);
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Return);
  EXPECT_EQ(CityCode->AsString(), "02");
  EXPECT_EQ(ed->Text(), "上海");
}

TEST_F(LookupDropDown, ALookupColumnWithoutAListOpensNothing) {
  Orders->Close();
  CityName->SetLookupDataSet(nullptr);
  Orders->Open();
  TDBGridInplaceEdit* ed = Open();
  ASSERT_TRUE(ed);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->LookupGrid(), nullptr);
}

}  // namespace
