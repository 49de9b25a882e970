// What a column's cells show (text through key lists, pick lists and display formats, check
// states, images), whether they may be edited, and how writes and steps reach the field.
#include "TestGrid.h"

#include "core/StrUtils.h"

using namespace gridtest;

namespace {

// Code, Amount, Qty, Day, Note (memo), Done (Boolean), Flag.
class ValueTest : public GridFixture {
protected:
  void SetUp() override {
    GridFixture::SetUp();
    DS = new TMemDataSet(&Owner);
    DS->FieldDefs()->Add("Code", ftString, 10);
    DS->FieldDefs()->Add("Amount", ftFloat);
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->FieldDefs()->Add("Day", ftDateTime);
    DS->FieldDefs()->Add("Note", ftMemo);
    DS->FieldDefs()->Add("Done", ftBoolean);
    DS->FieldDefs()->Add("Flag", ftString, 5);
    DS->AddRow({Variant("02"), Variant(3.14159), Variant(7), Variant::FromDate(EncodeDate(2024, 3, 8)),
                Variant("one\ntwo"), Variant(true), Variant("T")});
    DS->AddRow({Variant("03"), Null(), Null(), Null(), Null(), Variant(false), Variant("N")});
    DS->AddRow({Null(), Variant(0.5), Variant(1), Null(), Null(), Null(), Variant("X")});
    DS->AddRow({Variant("01"), Variant(-2.0), Variant(-3), Null(), Null(), Null(), Null()});
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Grid->SetDataSource(Source);
    DS->Open();
  }
  void Row(int N) {
    DS->Cancel();
    DS->SetRecNo(N);
    ASSERT_EQ(DS->RecNo(), N);
  }
  TField* F(const char* Name) { return DS->FieldByName(Name); }
};

TEST_F(ValueTest, CellTextThroughKeyListsFormatsAndMemos) {
  // Each row makes its column from nothing: a key list 01, 02 with picks A, B on Code unless
  // the row says otherwise.
  auto keyed = [](TColumnEh* c) {
    c->KeyList()->SetText("01\n02");
    c->PickList()->SetText("A\nB");
  };
  struct Case {
    const char* Name;
    int Row;
    const char* Field;
    std::function<void(TColumnEh*)> Setup;
    const char* Text;
  };
  const Case cases[] = {
      {"key 02 shows B", 1, "Code", keyed, "B"},
      {"key 01 shows A", 4, "Code", keyed, "A"},
      {"key 03 is in no key", 2, "Code", keyed, ""},
      {"not in list shows pick 0", 2, "Code", [&](TColumnEh* c) { keyed(c); c->SetNotInKeyListIndex(0); }, "A"},
      {"not in list shows pick 1", 2, "Code", [&](TColumnEh* c) { keyed(c); c->SetNotInKeyListIndex(1); }, "B"},
      {"Null is in no key either", 3, "Code", [&](TColumnEh* c) { keyed(c); c->SetNotInKeyListIndex(1); }, "B"},
      {"not in list past the picks", 2, "Code", [&](TColumnEh* c) { keyed(c); c->SetNotInKeyListIndex(2); }, ""},
      {"a key without its pick text", 1, "Code",
       [&](TColumnEh* c) {
         keyed(c);
         c->PickList()->SetText("A");
       },
       ""},
      {"display text without format", 1, "Amount", [](TColumnEh*) {}, "3.14159"},
      {"format 0.00", 1, "Amount", [](TColumnEh* c) { c->SetDisplayFormat("0.00"); }, "3.14"},
      {"format on Null", 2, "Amount", [](TColumnEh* c) { c->SetDisplayFormat("0.00"); }, ""},
      {"format on a negative number", 4, "Amount", [](TColumnEh* c) { c->SetDisplayFormat("0.00"); }, "-2.00"},
      {"date format", 1, "Day", [](TColumnEh* c) { c->SetDisplayFormat("yyyymmdd"); }, "20240308"},
      {"format on text shows nothing", 1, "Flag", [](TColumnEh* c) { c->SetDisplayFormat("0.00"); }, ""},
      {"memo without memo text", 1, "Note", [](TColumnEh*) {}, "(MEMO)"},
      {"memo as text", 1, "Note", [&](TColumnEh*) { Grid->SetDrawMemoText(true); }, "one\ntwo"},
      {"no field", 1, "Nothing", [](TColumnEh*) {}, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    Grid->Columns()->Clear();
    Grid->SetDrawMemoText(false);
    TColumnEh* c = AddColumn(k.Field);
    Row(k.Row);
    k.Setup(c);
    EXPECT_EQ(c->CellText(), k.Text);
  }
  Grid->Columns()->Clear();
  TColumnEh* amount = AddColumn("Amount");
  amount->SetDisplayFormat("0.00");
  // An image column shows no text.
  TImageList images(nullptr);
  amount->SetImageList(&images);
  EXPECT_EQ(amount->ColumnKind(), ckImage);
  EXPECT_EQ(amount->CellText(), "");
  amount->SetShowImageAndText(true);
  Row(1);
  EXPECT_EQ(amount->CellText(), "3.14");
  amount->SetImageList(nullptr);
}

TEST_F(ValueTest, CheckStatesFromKeyListsAndBooleans) {
  TColumnEh* flag = AddColumn("Flag");
  flag->KeyList()->SetText("Y;T\nN");
  flag->SetCheckboxes(true);
  TColumnEh* done = AddColumn("Done");
  EXPECT_EQ(done->ColumnKind(), ckCheckbox);
  struct Case {
    int Row;
    TColumnEh* Column;
    TCheckBoxState State;
  };
  const Case cases[] = {
      {1, flag, cbChecked}, {2, flag, cbUnchecked}, {3, flag, cbGrayed}, {4, flag, cbGrayed},
      {1, done, cbChecked}, {2, done, cbUnchecked}, {3, done, cbGrayed},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Column->FieldName() + " " + IntToStr(k.Row));
    Row(k.Row);
    EXPECT_EQ(k.Column->CellCheckState(), k.State);
  }
  // Values compare without regard to case; with one key item every other value is grayed.
  Row(1);
  DS->Edit();
  F("Flag")->SetAsString("t");
  EXPECT_EQ(flag->CellCheckState(), cbChecked);
  flag->KeyList()->SetText("Y;T");
  F("Flag")->SetAsString("N");
  EXPECT_EQ(flag->CellCheckState(), cbGrayed);
  DS->Cancel();
  EXPECT_TRUE(ValueInList("Y; T ;1", "t"));
  EXPECT_FALSE(ValueInList("Y;T", "TT"));
}

TEST_F(ValueTest, WritingACheckStateStoresTheFirstKeyOfItsList) {
  TColumnEh* flag = AddColumn("Flag");
  flag->KeyList()->SetText("Y;T\nN;F");
  TColumnEh* done = AddColumn("Done");
  struct Case {
    TColumnEh* Column;
    TCheckBoxState State;
    const char* Stored;  // "<null>" for Null
  };
  const Case cases[] = {
      {flag, cbChecked, "Y"}, {flag, cbUnchecked, "N"}, {flag, cbGrayed, "<null>"},
      {done, cbChecked, "True"}, {done, cbUnchecked, "False"}, {done, cbGrayed, "<null>"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Column->FieldName() + " " + EnumName(k.State));
    Row(2);
    DS->Edit();
    k.Column->SetCellCheckState(k.State);
    TField* f = k.Column->Field();
    EXPECT_EQ(f->IsNull() ? String("<null>") : f->AsString(), k.Stored);
    DS->Cancel();
  }
}

TEST_F(ValueTest, ColumnKindAndImageIndex) {
  TImageList images(nullptr);
  // Each row makes its column on Qty from nothing; the settings build on one another as a
  // user adds them, so a row names all it needs.
  auto picks = [](TColumnEh* c) { c->PickList()->SetText("5\n7"); };
  auto keys = [=](TColumnEh* c) {
    picks(c);
    c->KeyList()->SetText("7\n5");
  };
  auto noKey = [=](TColumnEh* c) {
    picks(c);
    c->KeyList()->SetText("1\n2");
  };
  auto notInList = [=](TColumnEh* c) {
    noKey(c);
    c->SetNotInKeyListIndex(3);
  };
  auto imaged = [=, &images](TColumnEh* c) {
    notInList(c);
    c->SetImageList(&images);
  };
  auto imageAndText = [=](TColumnEh* c) {
    imaged(c);
    c->SetShowImageAndText(true);
  };
  struct Case {
    const char* Name;
    std::function<void(TColumnEh*)> Setup;
    TColumnEhKind Kind;
    int Image;  // on row 1 (Qty 7, Code 02)
  };
  const Case cases[] = {
      {"plain number", [](TColumnEh*) {}, ckText, 7},
      {"picks only", picks, ckPickList, 1},
      {"picks and keys", keys, ckKeyList, 0},
      {"value in no key", noKey, ckKeyList, -1},
      {"not-in-list image", notInList, ckKeyList, 3},
      {"image list", imaged, ckImage, 3},
      {"image and text", imageAndText, ckKeyList, 3},
      {"check boxes first", [=](TColumnEh* c) { imageAndText(c); c->SetCheckboxes(true); }, ckCheckbox, 3},
  };
  Row(1);
  TColumnEh* c = nullptr;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    Grid->Columns()->Clear();
    c = AddColumn("Qty");
    k.Setup(c);
    EXPECT_EQ(c->ColumnKind(), k.Kind);
    EXPECT_EQ(c->CellImageIndex(), k.Image);
  }
  c->SetImageList(nullptr);
  TColCellParamsEh params;
  c->FillCellParams(&params);
  EXPECT_EQ(params.ImageIndex(), 3);
  EXPECT_EQ(params.Text(), "");
  EXPECT_EQ(params.CheckboxState(), cbGrayed);
  EXPECT_EQ(params.Font(), c->Font());
  EXPECT_EQ(params.Row(), -1);
  EXPECT_EQ(AddColumn("")->CellImageIndex(), -1);
}

TEST_F(ValueTest, StepsWrapThroughKeysPicksAndCheckStatesAndAddToNumbers) {
  TColumnEh* code = AddColumn("Code");
  code->KeyList()->SetText("01\n02\n03");
  code->PickList()->SetText("a\nb\nc");
  TColumnEh* flag = AddColumn("Flag");
  flag->PickList()->SetText("T\nN\nX");
  TColumnEh* qty = AddColumn("Qty");
  TColumnEh* amount = AddColumn("Amount");
  TColumnEh* done = AddColumn("Done");
  struct Case {
    const char* Name;
    int Row;
    TColumnEh* Column;
    Extended Step;
    const char* Result;
  };
  const Case cases[] = {
      {"key forward", 1, code, 1, "03"},
      {"last key forward wraps", 2, code, 1, "01"},
      {"first key backward wraps", 4, code, -1, "03"},
      {"key backward", 1, code, -1, "01"},
      {"no key backward gives the last", 3, code, -1, "03"},
      {"no key forward gives the first", 3, code, 1, "01"},
      {"pick forward", 1, flag, 1, "N"},
      {"last pick forward wraps", 3, flag, 1, "T"},
      {"first pick backward wraps", 1, flag, -1, "X"},
      {"no pick backward gives the last", 4, flag, -1, "X"},
      {"number forward", 1, qty, 1, "8"},
      {"number backward", 1, qty, -1, "6"},
      {"a step of 5", 1, qty, 5, "12"},
      {"Null forward is 0", 2, qty, 1, "0"},
      {"Null backward is 0", 2, qty, -1, "0"},
      {"float forward", 3, amount, 1, "1.5"},
      {"check to uncheck", 1, done, 1, "False"},
      {"uncheck to check", 2, done, -1, "True"},
      {"grayed to check", 3, done, 1, "True"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    Row(k.Row);
    k.Column->StepValue(k.Step);
    EXPECT_EQ(DS->State(), dsEdit);
    EXPECT_EQ(k.Column->Field()->AsString(), k.Result);
  }
}

TEST_F(ValueTest, StepsThatCannotApplyChangeNothing) {
  TColumnEh* qty = AddColumn("Qty");
  Row(1);
  static_cast<TIntegerField*>(F("Qty"))->SetMaxValue(7);
  static_cast<TIntegerField*>(F("Qty"))->SetMinValue(0);
  // The field refuses 8: the database error is swallowed and the value stays.
  qty->StepValue(1);
  EXPECT_EQ(F("Qty")->AsInteger(), 7);
  Row(1);
  Grid->SetReadOnly(true);
  qty->StepValue(-1);
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(F("Qty")->AsInteger(), 7);
  Grid->SetReadOnly(false);
  // An image column chosen by number has no keys to step through.
  TImageList images(nullptr);
  qty->SetImageList(&images);
  qty->StepValue(1);
  EXPECT_EQ(F("Qty")->AsInteger(), 7);
  qty->SetImageList(nullptr);
  // A text column steps only numbers.
  TColumnEh* code = AddColumn("Code");
  Row(1);
  code->StepValue(1);
  EXPECT_EQ(F("Code")->AsString(), "02");
}

TEST_F(ValueTest, EditableOnlyWhenGridLinkColumnFieldAndOperationsAllowIt) {
  TColumnEh* qty = AddColumn("Qty");
  TColumnEh* note = AddColumn("Note");
  struct Case {
    const char* Name;
    TColumnEh* Column;
    std::function<void()> Setup, Undo;
    bool Editable;
  };
  const Case cases[] = {
      {"plain", qty, [] {}, [] {}, true},
      {"read-only grid", qty, [&] { Grid->SetReadOnly(true); }, [&] { Grid->SetReadOnly(false); }, false},
      {"closed dataset", qty, [&] { DS->Close(); }, [&] { DS->Open(); }, false},
      {"read-only column", qty, [&] { qty->SetReadOnly(true); }, [&] { qty->SetReadOnly(false); }, false},
      {"read-only field", qty, [&] { F("Qty")->SetReadOnly(true); }, [&] { F("Qty")->SetReadOnly(false); }, false},
      {"read-only dataset", qty, [&] { DS->SetReadOnly(true); }, [&] { DS->SetReadOnly(false); }, false},
      {"no update allowed", qty,
       [&] { Grid->SetAllowedOperations({alopInsertEh, alopAppendEh, alopDeleteEh}); },
       [&] { Grid->SetAllowedOperations({alopInsertEh, alopAppendEh, alopDeleteEh, alopUpdateEh}); }, false},
      {"no update but inserting", qty,
       [&] {
         Grid->SetAllowedOperations({alopInsertEh});
         DS->Append();
       },
       [&] {
         DS->Cancel();
         Grid->SetAllowedOperations({alopInsertEh, alopAppendEh, alopDeleteEh, alopUpdateEh});
       },
       true},
      {"memo without memo text", note, [] {}, [] {}, false},
      {"memo as text", note, [&] { Grid->SetDrawMemoText(true); }, [&] { Grid->SetDrawMemoText(false); }, true},
      {"memo with a text handler", note,
       [&] { F("Note")->SetOnSetText(TFieldSetTextEvent::Lambda([](TField* f, const String& t) { f->SetAsString(t); })); },
       [&] { F("Note")->SetOnSetText(TFieldSetTextEvent()); }, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    k.Setup();
    EXPECT_EQ(k.Column->IsEditable(false), k.Editable);
    k.Undo();
  }
  EXPECT_FALSE(AddColumn("Nothing")->IsEditable(false));
  // Trying the edit puts the dataset into edit state and marks the link.
  Row(1);
  EXPECT_FALSE(Grid->DataLink()->Modified());
  EXPECT_TRUE(qty->IsEditable(true));
  EXPECT_EQ(DS->State(), dsEdit);
  EXPECT_TRUE(Grid->DataLink()->Modified());
}

TEST_F(ValueTest, AnEmptyDatasetIsEditableOnlyWhenRecordsMayBeAdded) {
  TColumnEh* qty = AddColumn("Qty");
  DS->Close();
  DS->EmptyTable();
  DS->Open();
  Grid->SetAllowedOperations({alopUpdateEh});
  EXPECT_FALSE(qty->IsEditable(false));
  Grid->SetAllowedOperations({alopUpdateEh, alopAppendEh});
  EXPECT_TRUE(qty->IsEditable(false));
}

TEST_F(ValueTest, WritesGoThroughOnUpdateDataAsTextOrValue) {
  TColumnEh* qty = AddColumn("Qty");
  TColumnEh* note = AddColumn("Note");
  Row(1);
  DS->Edit();
  qty->WriteValue("12", Variant(0), true);
  EXPECT_EQ(F("Qty")->AsInteger(), 12);
  qty->WriteValue("0", Variant(13), false);
  EXPECT_EQ(F("Qty")->AsInteger(), 13);
  EXPECT_THROW(qty->WriteValue("abc", Variant(), true), Exception);
  Grid->SetDrawMemoText(true);
  note->WriteValue("a\r\nb", Variant(), true);
  EXPECT_EQ(F("Note")->AsString(), "a\r\nb");

  std::vector<String> seen;
  qty->OnUpdateData = TColCellUpdateDataEventEh::Lambda(
      [&](TObject* sender, String& text, Variant& value, bool& useText, bool& handled) {
        EXPECT_EQ(sender, qty);
        seen.push_back(text);
        if (text == "skip") handled = true;
        if (text == "swap") {
          value = Variant(99);
          useText = false;
        }
      });
  qty->WriteValue("skip", Variant(50), false);
  EXPECT_EQ(F("Qty")->AsInteger(), 13);
  qty->WriteValue("swap", Variant(), true);
  EXPECT_EQ(F("Qty")->AsInteger(), 99);
  EXPECT_EQ(seen, (std::vector<String>{"skip", "swap"}));

  // A column outside a grid writes nothing.
  TCollection loose(TDBGridColumnEh::StaticClass());
  auto* outside = static_cast<TColumnEh*>(loose.Add());
  bool called = false;
  outside->OnUpdateData = TColCellUpdateDataEventEh::Lambda([&](TObject*, String&, Variant&, bool&, bool&) { called = true; });
  outside->WriteValue("1", Variant(1), false);
  EXPECT_FALSE(called);
}

// Orders with a lookup of the customer's name through CustCode.
class LookupValueTest : public GridFixture {
protected:
  TMemDataSet *Cust = nullptr, *Orders = nullptr;
  TField *CustCode = nullptr, *CustName = nullptr, *Total = nullptr;
  TColumnEh* Column = nullptr;

  template <class T> T* AddField(const char* Name, TFieldKind Kind = fkData) {
    auto* f = new T(&Owner);
    f->SetFieldName(Name);
    f->SetFieldKind(Kind);
    f->SetDataSet(Orders);
    return f;
  }
  void SetUp() override {
    GridFixture::SetUp();
    Cust = new TMemDataSet(&Owner);
    Cust->FieldDefs()->Add("Code", ftString, 10);
    Cust->FieldDefs()->Add("Name", ftWideString, 30);
    for (const char* k : {"K1", "K2", "K3"}) Cust->AddRow({Variant(k), Variant(String("名") + k)});
    Cust->Open();
    Orders = new TMemDataSet(&Owner);
    Orders->FieldDefs()->Add("OrderNo", ftInteger);
    Orders->FieldDefs()->Add("CustCode", ftString, 10);
    Orders->AddRow({Variant(1), Variant("K2")});
    Orders->AddRow({Variant(2), Null()});
    Orders->AddRow({Variant(3), Variant("K3")});
    AddField<TIntegerField>("OrderNo");
    CustCode = AddField<TStringField>("CustCode");
    CustName = AddField<TWideStringField>("CustName", fkLookup);
    CustName->SetKeyFields("CustCode");
    CustName->SetLookupDataSet(Cust);
    CustName->SetLookupKeyFields("Code");
    CustName->SetLookupResultField("Name");
    Total = AddField<TFloatField>("Total", fkCalculated);
    Orders->Open();
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Orders);
    Grid->SetDataSource(Source);
    Column = AddColumn("CustName");
  }
};

TEST_F(LookupValueTest, ALookupColumnEditsThroughItsKeyFields) {
  EXPECT_EQ(Column->ColumnKind(), ckLookup);
  EXPECT_EQ(Column->CellText(), "名K2");
  EXPECT_EQ(Column->ListDataSet(), Cust);
  EXPECT_EQ(Column->LookupDisplayFields(), "Name");
  EXPECT_TRUE(LookupValueFound(CustName));
  EXPECT_TRUE(Column->IsEditable(false));
  CustCode->SetReadOnly(true);
  EXPECT_FALSE(Column->IsEditable(false));
  CustCode->SetReadOnly(false);
  EXPECT_FALSE(AddColumn("Total")->IsEditable(false));

  Orders->Edit();
  Column->WriteValue("", Variant("K1"), false);
  EXPECT_EQ(CustCode->AsString(), "K1");
  EXPECT_EQ(CustName->AsString(), "名K1");
  Column->WriteValue("", Null(), false);
  EXPECT_TRUE(CustCode->IsNull());
  EXPECT_FALSE(LookupValueFound(CustName));
  Orders->Cancel();
}

TEST_F(LookupValueTest, StepsMoveThroughTheLookupListAndWrap) {
  struct Case {
    int Row;
    Extended Step;
    const char* Key;
  };
  const Case cases[] = {
      {1, 1, "K3"}, {1, -1, "K1"}, {3, 1, "K1"}, {2, 1, "K1"}, {2, -1, "K1"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(IntToStr(k.Row) + " " + IntToStr(static_cast<int>(k.Step)));
    Orders->Cancel();
    Orders->SetRecNo(k.Row);
    Column->StepValue(k.Step);
    EXPECT_EQ(CustCode->AsString(), k.Key);
    EXPECT_EQ(CustName->AsString(), String("名") + k.Key);
  }
  Orders->Cancel();
  // Backward from the first key wraps to the last.
  Orders->SetRecNo(1);
  Orders->Edit();
  CustCode->SetAsString("K1");
  Column->StepValue(-1);
  EXPECT_EQ(CustCode->AsString(), "K3");
  Orders->Cancel();
}

}  // namespace
