// Dataset actions over two in-memory datasets, each shown in a data-aware edit: the action
// acts on the dataset of the focused edit (found through the edit's data link), is enabled
// while its command can run there, keeps to a data source of its own when given one, and
// gives way to a handler of its own; a button bound to it and its shortcut run it.
#include "StdTestUtil.h"

#include "gui/Buttons.h"
#include "gui/DBActns.h"
#include "gui/Menus.h"
#include "data/MemDataSet.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;

namespace {

struct DataActionFixture : FormFixture {
  TMemDataSet* Pacts = nullptr;
  TMemDataSet* Payments = nullptr;
  TDataSource* PactSource = nullptr;
  TDataSource* PaymentSource = nullptr;
  TDBEdit* PactEdit = nullptr;
  TDBEdit* PaymentEdit = nullptr;
  TActionList* List = nullptr;
  std::vector<TDataSetAction*> Actions;  // by command, nbFirst .. nbRefresh

  TMemDataSet* Table(const char* Field, std::initializer_list<const char*> Values) {
    auto* d = new TMemDataSet(Form);
    d->FieldDefs()->Add(Field, ftWideString, 20);
    for (const char* v : Values) d->AddRow({Variant(String(v))});
    d->Open();
    return d;
  }
  TDBEdit* EditOn(TDataSource* Source, const char* Field, int Top) {
    auto* e = Add<TDBEdit>(Rect(8, Top, 168, Top + 21));
    e->SetDataSource(Source);
    e->SetDataField(Field);
    return e;
  }
  void SetUp() override {
    FormFixture::SetUp();
    Pacts = Table("PactName", {"采购合同", "销售合同", "服务合同", "租赁合同"});
    Payments = Table("PayNote", {"首付款", "尾款", "质保金"});
    PactSource = new TDataSource(Form);
    PactSource->SetDataSet(Pacts);
    PaymentSource = new TDataSource(Form);
    PaymentSource->SetDataSet(Payments);
    PactEdit = EditOn(PactSource, "PactName", 8);
    PaymentEdit = EditOn(PaymentSource, "PayNote", 40);
    List = new TActionList(Form);
    TDataSetAction* made[] = {new TDataSetFirst(Form), new TDataSetPrior(Form), new TDataSetNext(Form),
                              new TDataSetLast(Form),  new TDataSetInsert(Form), new TDataSetDelete(Form),
                              new TDataSetEdit(Form),  new TDataSetPost(Form),  new TDataSetCancel(Form),
                              new TDataSetRefresh(Form)};
    for (TDataSetAction* a : made) {
      a->SetActionList(List);
      Actions.push_back(a);
    }
    Application->ProcessMessages();
  }
  TDataSetAction* Act(TNavigateBtn Command) { return Actions[static_cast<std::size_t>(Command)]; }
  void FocusOn(TWinControl* C) {
    C->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(Form->ActiveControl(), C);
  }
  // Every action updated, as the idle pass does: '1' where it is enabled.
  std::string Enabled() {
    std::string s;
    for (TDataSetAction* a : Actions) {
      a->Update();
      s += a->Enabled() ? '1' : '0';
    }
    return s;
  }
};

}  // namespace

TEST_F(DataActionFixture, AButtonsActionMovesTheDatasetOfTheFocusedEditAndItsShortcutToo) {
  auto* next = Add<TSpeedButton>(Rect(200, 8, 260, 30));
  next->SetAction(Act(nbNext));
  Act(nbNext)->SetShortCut(ShortCut(VK_DOWN, TShiftState{ssCtrl}));
  FocusOn(PactEdit);
  Click(next, {30, 10});
  Application->ProcessMessages();
  EXPECT_EQ(Pacts->RecNo(), 2);
  EXPECT_EQ(Payments->RecNo(), 1) << "the other dataset stays";
  EXPECT_EQ(PactEdit->Text(), "销售合同");
  EXPECT_EQ(Form->ActiveControl(), PactEdit) << "the speed button leaves the focus where it was";

  FocusOn(PaymentEdit);
  TypeKey(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Payments->RecNo(), 2) << "the shortcut acts on the newly focused edit's dataset";
  EXPECT_EQ(Pacts->RecNo(), 2);
  Click(next, {30, 10});
  Application->ProcessMessages();
  EXPECT_EQ(PaymentEdit->Text(), "质保金");
  Click(next, {30, 10});  // past the last record: the dataset is at its end
  Application->ProcessMessages();
  EXPECT_EQ(Payments->RecNo(), 3);
  Form->UpdateActions();
  EXPECT_FALSE(next->Enabled()) << "at the end the button follows the disabled action";
  FocusOn(PactEdit);
  Form->UpdateActions();
  EXPECT_TRUE(next->Enabled()) << "the other edit's dataset has a next record";
}

TEST_F(DataActionFixture, EachCommandIsEnabledWhileItCanRunOnTheFocusedDataset) {
  FocusOn(PactEdit);
  //                      first prior next last insert delete edit post cancel refresh
  EXPECT_EQ(Enabled(), "0011111001");
  Pacts->Last();
  EXPECT_EQ(Enabled(), "1100111001");
  Pacts->Edit();
  EXPECT_EQ(Enabled(), "1100110111") << "while editing Post and Cancel, not Edit";
  Pacts->Cancel();
  FocusOn(PaymentEdit);
  EXPECT_EQ(Enabled(), "0011111001") << "the focused edit's dataset decides";
  Payments->SetReadOnly(true);
  Payments->Close();
  Payments->Open();
  EXPECT_EQ(Enabled(), "0011000001") << "a read-only dataset offers no changes";
  Payments->Close();
  EXPECT_EQ(Enabled(), std::string(10, '0')) << "a closed dataset offers nothing";
}

TEST_F(DataActionFixture, PostAndCancelActOnTheTypedRecordAndDeleteAsksNothing) {
  FocusOn(PactEdit);
  PactEdit->SelectAll();
  Type("Frame");
  ASSERT_EQ(Pacts->State(), dsEdit);
  EXPECT_TRUE(Act(nbPost)->Execute());
  EXPECT_EQ(Pacts->State(), dsBrowse);
  EXPECT_EQ(Pacts->FieldByName("PactName")->AsString(), "Frame") << "the edit's text went into the record";

  PactEdit->SelectAll();
  Type("void");
  EXPECT_TRUE(Act(nbCancel)->Execute());
  EXPECT_EQ(PactEdit->Text(), "Frame");

  EXPECT_TRUE(Act(nbDelete)->Execute());
  EXPECT_EQ(Pacts->RecordCount(), 3);
  EXPECT_EQ(PactEdit->Text(), "销售合同");
  EXPECT_TRUE(Act(nbInsert)->Execute());
  EXPECT_EQ(Pacts->State(), dsInsert);
  EXPECT_EQ(PactEdit->Text(), "");
}

TEST_F(DataActionFixture, AnActionWithADataSourceOfItsOwnActsOnlyThroughAControlLinkedToIt) {
  TDataSetAction* next = Act(nbNext);
  next->SetDataSource(PaymentSource);
  FocusOn(PactEdit);
  EXPECT_TRUE(next->Execute()) << "the payment edit, though not focused, is linked to the source";
  EXPECT_EQ(Payments->RecNo(), 2);
  EXPECT_EQ(Pacts->RecNo(), 1);

  PaymentEdit->SetVisible(false);
  EXPECT_FALSE(next->Execute()) << "a hidden control is no target";
  EXPECT_FALSE(next->Enabled()) << "with no target and no handler the action is disabled";
  EXPECT_EQ(Payments->RecNo(), 2);
  PaymentEdit->SetVisible(true);
  EXPECT_TRUE(next->Execute());
  EXPECT_EQ(Payments->RecNo(), 3);

  delete PaymentSource;
  PaymentSource = nullptr;
  EXPECT_EQ(next->DataSource(), nullptr) << "a freed source is let go";
  EXPECT_TRUE(next->Execute());
  EXPECT_EQ(Pacts->RecNo(), 2) << "without a source of its own the focused edit's dataset is the target";
}

TEST_F(DataActionFixture, AHandlerOfItsOwnRunsInsteadAndAHiddenFormTakesNoAction) {
  FocusOn(PactEdit);
  TDataSetAction* next = Act(nbNext);
  int runs = 0;
  next->OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  EXPECT_TRUE(next->Execute());
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Pacts->RecNo(), 1) << "the handler ran instead of the target";
  next->OnExecute = TNotifyEvent();

  Form->Hide();
  Application->ProcessMessages();
  EXPECT_FALSE(next->Execute());
  EXPECT_EQ(Pacts->RecNo(), 1);
}
