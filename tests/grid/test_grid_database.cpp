// A layout's grid on a data module's query over a database file: it loads, keeps selected rows
// in dataset order, writes an edit back to the file, survives losing its data source, fields
// and dataset, and frees cleanly. Also the per-column input method and popup menu.
#include "DBGridFixture.h"
#include "GridTestUtil.h"
#include "FileQuery.h"
#include "TempFolder.h"
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "data/ADODB.h"

class TPactListForm : public TForm {
  KELM_CLASS(TPactListForm, TForm)
public:
  using TForm::TForm;
};

KELM_PUBLISH(TPactListForm) {}

namespace {

const char* const kScript = R"(
CREATE TABLE t_pact (pactid COUNTER, code TEXT(10), name TEXT(20), amount DOUBLE);
INSERT INTO t_pact (code, name, amount) VALUES ('HT01', '甲', 100);
INSERT INTO t_pact (code, name, amount) VALUES ('HT02', '乙', 200);
INSERT INTO t_pact (code, name, amount) VALUES ('HT03', '丙', 300);
INSERT INTO t_pact (code, name, amount) VALUES ('HT04', '丁', 400);
INSERT INTO t_pact (code, name, amount) VALUES ('HT05', '戊', 500);
)";

const char* const kLayout =
    "object PactList: TPactListForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 500\n"
    "  Height = 300\n"
    "  object DBGridEh1: TDBGridEh\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 480\n"
    "    Height = 260\n"
    "    DataSource = Frm_Data.DS_Pact\n"
    "    FooterRowCount = 1\n"
    "    Options = [dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, "
    "dgConfirmDelete, dgCancelOnExit, dgMultiSelect]\n"
    "    SumList.Active = True\n"
    "    Columns = <\n"
    "      item\n"
    "        FieldName = 'code'\n"
    "        Title.Caption = '合同|编号'\n"
    "      end\n"
    "      item\n"
    "        FieldName = 'name'\n"
    "        Title.Caption = '合同|名称'\n"
    "      end\n"
    "      item\n"
    "        FieldName = 'amount'\n"
    "        Footer.ValueType = fvtSum\n"
    "        Title.Caption = '金额'\n"
    "      end>\n"
    "  end\n"
    "end\n";

class GridDatabaseTest : public ::testing::Test {
protected:
  TempFolder Dir;
  TForm* DataModule = nullptr;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
  TPactListForm* List = nullptr;
  TDBGridEh* Grid = nullptr;
  String File;

  void SetUp() override {
    EnsureGridTestApplication();
    File = Dir / "pact.db";
    CreateDatabaseFromScript(File, kScript);
    DataModule = new TForm(Application);
    static_cast<TComponent*>(DataModule)->SetName("Frm_Data");
    Query = FileQuery(DataModule, File, "select * from t_pact order by code");
    Source = new TDataSource(DataModule);
    static_cast<TComponent*>(Source)->SetName("DS_Pact");
    Source->SetDataSet(Query);
    RegisterRoot(DataModule);
    Query->Open();
    List = new TPactListForm(Application);
    ReadComponentFromText(List, kLayout);
    Grid = dynamic_cast<TDBGridEh*>(List->FindComponent("DBGridEh1"));
    ASSERT_NE(Grid, nullptr);
    List->Show();
    Grid->DataLink()->SetBufferCount(5);
    Grid->SetRowCount(7);
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete List;
    delete DataModule;
    Application->ProcessMessages();
  }
  bool Go(const char* Code) { return Query->Locate("code", Variant(String(Code)), TLocateOptions()); }
  std::vector<String> SelectedCodes() {
    std::vector<String> r;
    for (int i = 0; i < Grid->SelectedRows()->Count(); ++i) {
      Query->GotoBookmark(Grid->SelectedRows()->Items(i));
      r.push_back(Query->FieldByName("code")->AsString());
    }
    return r;
  }
};

TEST_F(GridDatabaseTest, ALayoutGridOnTheDataModuleSelectsEditsAndSurvivesLosingItsData) {
  EXPECT_EQ(Grid->DataSource(), Source);
  EXPECT_EQ(Grid->GetFooterText(0, Grid->Columns()->Items(2)), "1500");
  // Selected rows come back in the dataset's order.
  for (const char* code : {"HT04", "HT02", "HT05"}) {
    ASSERT_TRUE(Go(code));
    Grid->SelectedRows()->SetCurrentRowSelected(true);
  }
  EXPECT_EQ(SelectedCodes(), (std::vector<String>{"HT02", "HT04", "HT05"}));

  // An edit typed into the name cell reaches the file; no editor while rows are selected.
  ASSERT_TRUE(Go("HT03"));
  Grid->SetSelectedIndex(1);
  Grid->SetFocus();
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  EXPECT_FALSE(Grid->InplaceEditorVisible());
  Grid->Selection()->Reset();
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  ASSERT_TRUE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
  EXPECT_EQ(Grid->InplaceEditor()->Text(), "丙");
  Grid->InplaceEditor()->SelectAll();
  for (Char ch : {Char(U'庚'), Char(U'辛')}) Grid->InplaceEditor()->Perform(WM_CHAR, ch, 0);
  Query->Post();
  Query->Close();
  Query->Open();
  ASSERT_TRUE(Go("HT03"));
  EXPECT_EQ(Query->FieldByName("name")->AsString(), "庚辛");
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0) << "closing emptied the selection";
  EXPECT_EQ(Grid->Columns()->Items(1)->Field(), Query->FieldByName("name")) << "fields bound again";

  // The dataset goes, then the data source: the grid stays usable.
  delete Query;
  Query = nullptr;
  EXPECT_FALSE(Grid->DataLink()->Active());
  EXPECT_EQ(Grid->Columns()->Items(0)->Field(), nullptr);
  EXPECT_EQ(Grid->SumList()->DataSet(), nullptr);
  Grid->Invalidate();
  Application->ProcessMessages();
  delete Source;
  Source = nullptr;
  EXPECT_EQ(Grid->DataSource(), nullptr);
  EXPECT_FALSE(Grid->InplaceEditorVisible());
}

TEST_F(GridDatabaseTest, EnteringAColumnAppliesItsInputMethodAndFiresTheEvents) {
  std::vector<String> log;
  Grid->OnColEnter = TNotifyEvent::Lambda([&](TObject*) { log.push_back("enter " + IntToStr(Grid->SelectedIndex())); });
  Grid->OnColExit = TNotifyEvent::Lambda([&](TObject*) { log.push_back("exit " + IntToStr(Grid->SelectedIndex())); });
  Grid->Columns()->Items(1)->SetImeMode(imChinese);
  Grid->SetSelectedIndex(0);
  log.clear();
  Grid->SetSelectedIndex(1);
  EXPECT_EQ(log, (std::vector<String>{"exit 0", "enter 1"}));
  EXPECT_EQ(Grid->ImeMode(), imChinese);
  Grid->SetSelectedIndex(2);
  EXPECT_EQ(Grid->ImeMode(), imDontCare) << "back to the grid's own";
}

// A popup menu that records where it was asked to show.
class TRecordingMenu : public TComponent, public IPopupMenu {
public:
  using TComponent::TComponent;
  TControl* ShownFor = nullptr;
  TPoint At{-1, -1};
  bool PopupAutoPopup() const override { return true; }
  void PopupAt(TControl* C, int X, int Y) override {
    ShownFor = C;
    At = {X, Y};
  }
  bool PopupIsShortCut(TMessage&) override { return false; }
};

TEST_F(GridDatabaseTest, ARightClickOnAColumnWithItsOwnMenuShowsThatMenu) {
  auto* menu = new TRecordingMenu(List);
  Grid->Columns()->Items(2)->SetPopupMenuComponent(menu);
  TRect cell = Grid->CellRect(Grid->DataToRawColumn(2), 2);
  TPoint p{cell.Left + 3, cell.Top + 3};
  Grid->Perform(WM_RBUTTONDOWN, MK_RBUTTON, PointToLParam(p));
  Grid->Perform(WM_RBUTTONUP, 0, PointToLParam(p));
  EXPECT_EQ(menu->ShownFor, Grid);
  EXPECT_EQ(menu->At, Grid->ClientToScreen(p));
  // Another column has none of its own.
  menu->ShownFor = nullptr;
  TRect other = Grid->CellRect(Grid->DataToRawColumn(0), 2);
  Grid->Perform(WM_RBUTTONUP, 0, PointToLParam({other.Left + 3, other.Top + 3}));
  EXPECT_EQ(menu->ShownFor, nullptr);
}

}  // namespace
