// The data-aware edit and the navigator over an in-memory dataset: the edit's text follows the
// current record (its OnChange is the windows' record hook), typing edits the record and
// leaving stores it; the navigator's buttons follow the dataset and move, edit and delete.
#include "ListsTestUtil.h"

#include "gui/DBCtrls.h"
#include "data/MemDataSet.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;

namespace {

struct DBFixture : FormFixture {
  TMemDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Data = new TMemDataSet(Form);
    Data->FieldDefs()->Add("PactCode", ftString, 10);
    Data->FieldDefs()->Add("PactName", ftWideString, 30);
    Data->FieldDefs()->Add("Money", ftFloat);
    const std::vector<std::vector<Variant>> rows = {{Variant("HT001"), Variant("采购合同"), Variant(100.0)},
                                                    {Variant("HT002"), Variant("销售合同"), Variant(250.5)},
                                                    {Variant("HT002"), Variant("同号合同"), Variant(7.0)},
                                                    {Variant("HT004"), Variant("服务合同"), Variant(80.0)}};
    for (const auto& r : rows) Data->AddRow(r);
    Source = new TDataSource(Form);
    Source->SetDataSet(Data);
    Data->Open();
  }
};

}  // namespace

TEST_F(DBFixture, TheEditsTextFollowsTheRecordAndItsChangeIsTheRecordHook) {
  auto* edit = Add<TDBEdit>(Rect(8, 8, 128, 29));
  std::vector<std::string> seen;
  edit->OnChange = TNotifyEvent::Lambda([&](TObject*) { seen.push_back(edit->Text()); });
  edit->SetDataSource(Source);
  edit->SetDataField("PactCode");
  EXPECT_EQ(edit->Text(), "HT001");
  EXPECT_EQ(edit->Field(), Data->FieldByName("PactCode"));
  Data->Next();
  Data->Next();  // the same code: the shown text does not change
  Data->Next();
  EXPECT_EQ(seen, (std::vector<std::string>{"HT001", "HT002", "HT004"}));
  Data->Close();
  EXPECT_EQ(edit->Text(), "");
  Data->Open();
  EXPECT_EQ(edit->Text(), "HT001");
  EXPECT_FALSE(edit->Modified()) << "text shown for a record is no change of the value";
  EXPECT_EQ(Data->State(), dsBrowse);
  // A hidden edit follows the records just the same.
  edit->SetVisible(false);
  Data->Last();
  EXPECT_EQ(seen.back(), "HT004");
}

TEST_F(DBFixture, TypingEditsTheRecordAndLeavingStoresIt) {
  auto* edit = Add<TDBEdit>(Rect(8, 8, 128, 29));
  auto* other = Add<TEdit>(Rect(8, 40, 128, 61));
  edit->SetDataSource(Source);
  edit->SetDataField("PactName");
  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Data->State(), dsBrowse) << "entering is not editing";
  edit->SelectAll();
  Commit(edit, "新合同");
  EXPECT_EQ(Data->State(), dsEdit) << "typing puts the dataset into edit state";
  EXPECT_EQ(edit->Text(), "新合同");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Data->FieldByName("PactName")->AsString(), "新合同") << "leaving stores the text in the field";
  Data->Post();
  EXPECT_EQ(Data->StoredRows()[0][1].AsString(), "新合同");
  // Escape drops the typed text and shows the field's value again.
  edit->SetFocus();
  edit->SelectAll();
  Commit(edit, "丢弃");
  Key(Qt::Key_Escape);
  EXPECT_EQ(edit->Text(), "新合同");
}

TEST_F(DBFixture, AReadOnlyEditOrFieldDoesNotEdit) {
  auto* edit = Add<TDBEdit>(Rect(8, 8, 128, 29));
  edit->SetDataSource(Source);
  edit->SetDataField("PactCode");
  edit->SetReadOnly(true);
  edit->SetFocus();
  Type("X");
  EXPECT_EQ(Data->State(), dsBrowse);
  EXPECT_EQ(edit->Text(), "HT001");
  edit->SetReadOnly(false);
  Data->FieldByName("PactCode")->SetReadOnly(true);
  Type("X");
  EXPECT_EQ(Data->State(), dsBrowse);
  EXPECT_EQ(edit->Text(), "HT001");
  Data->FieldByName("PactCode")->SetReadOnly(false);
  // A character the field cannot take beeps and is dropped.
  edit->SetDataField("Money");
  TBeepCounter beeps;
  Type("a");
  EXPECT_EQ(beeps.Count, 1);
  EXPECT_EQ(edit->Text(), "100");
}

namespace {

struct NavFixture : DBFixture {
  TDBNavigator* Nav = nullptr;
  std::vector<std::string> Clicks;
  void SetUp() override {
    DBFixture::SetUp();
    Nav = Add<TDBNavigator>(Rect(8, 100, 248, 125));
    Nav->SetDataSource(Source);
    Nav->OnClick = ENavClick::Lambda([this](TObject*, TNavigateBtn b) { Clicks.push_back(EnumName(b)); });
  }
  std::string Enabled() {
    std::string s;
    for (int i = 0; i < 10; ++i) s += Nav->Buttons(static_cast<TNavigateBtn>(i))->Enabled() ? '1' : '0';
    return s;
  }
  void Press(TNavigateBtn b) {
    TNavButton* btn = Nav->Buttons(b);
    Click(btn, {btn->Width() / 2, btn->Height() / 2});
    Application->ProcessMessages();
  }
};

}  // namespace

TEST_F(NavFixture, ButtonsFollowTheDatasetsPlaceAndState) {
  //                      first prior next last insert delete edit post cancel refresh
  EXPECT_EQ(Enabled(), "0011111001");
  Data->Next();
  EXPECT_EQ(Enabled(), "1111111001");
  Data->Last();
  EXPECT_EQ(Enabled(), "1100111001");
  Data->Edit();
  EXPECT_EQ(Enabled(), "1100110111") << "while editing Post and Cancel, not Edit";
  Data->Cancel();
  Data->Close();
  EXPECT_EQ(Enabled(), "0000000000");
  Data->Open();
  Data->SetReadOnly(true);
  Data->Close();
  Data->Open();
  EXPECT_EQ(Enabled(), "0011000001") << "a read-only dataset offers no changes";
}

TEST_F(NavFixture, ButtonsMoveAndTellWhichButtonRan) {
  Press(nbNext);
  Press(nbNext);
  EXPECT_EQ(Data->RecNo(), 3);
  Press(nbLast);
  EXPECT_EQ(Data->RecNo(), 4);
  Press(nbFirst);
  EXPECT_EQ(Data->RecNo(), 1);
  EXPECT_EQ(Clicks, (std::vector<std::string>{"nbNext", "nbNext", "nbLast", "nbFirst"}));
  // BeforeAction may stop the button.
  Nav->BeforeAction = ENavClick::Lambda([](TObject*, TNavigateBtn b) {
    if (b == nbNext) throw EAbort("");
  });
  Press(nbNext);
  EXPECT_EQ(Data->RecNo(), 1);
  EXPECT_EQ(Clicks.size(), 4u);
}

TEST_F(NavFixture, DeleteAsksFirstUnlessToldNotTo) {
  TBoxRecorder boxes;
  boxes.Answer = IDCANCEL;
  Press(nbDelete);
  EXPECT_EQ(Data->RecordCount(), 4);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Delete record?");
  boxes.Answer = IDOK;
  Press(nbDelete);
  EXPECT_EQ(Data->RecordCount(), 3);
  Nav->SetConfirmDelete(false);
  Press(nbDelete);
  EXPECT_EQ(Data->RecordCount(), 2);
  EXPECT_EQ(boxes.Calls.size(), 2u);
}

TEST_F(NavFixture, FourButtonsWithCaptionsAsTheRecordDialogsShowThem) {
  Nav->SetVisibleButtons({nbFirst, nbPrior, nbNext, nbLast});
  const char* captions[] = {"第一条", "前一条", "后一条", "末一条"};
  for (int i = 0; i < 4; ++i) {
    auto* b = dynamic_cast<TSpeedButton*>(Nav->Controls(i));
    ASSERT_NE(b, nullptr);
    b->SetCaption(captions[i]);
    b->SetGlyph(nullptr);
  }
  int visible = 0;
  for (int i = 0; i < Nav->ControlCount(); ++i) visible += Nav->Controls(i)->Visible() ? 1 : 0;
  EXPECT_EQ(visible, 4);
  EXPECT_EQ(Nav->Controls(0)->Width(), Nav->ClientWidth() / 4) << "the shown buttons share the width";
  EXPECT_EQ(Nav->Controls(3)->Left() + Nav->Controls(3)->Width(), Nav->ClientWidth());
  Press(nbNext);
  EXPECT_EQ(Data->RecNo(), 2);
  Shot("lists_navigator");
}
