// The lists' print preview through the main window's grid printer: its settings, and two
// lists printed one after the other each showing its own title alone. (The pages are read
// back through the print layer, whose declarations the data module's report headers
// would clash with, so this file does without the data module.)
#include "ProgramFolder.h"

#include "app/U_Main.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "grid/PrnDbgeh.h"
#include "print/Metafile.h"

#include <gtest/gtest.h>

namespace {

class ListPrintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Connection = new TADOConnection(Application);
    Connection->SetConnectionString("Data Source=" + Folder / "DataBase/kelm.mdb");
    Connection->Open();
    Connection->Execute("insert into t_pact (PactCode, PactName) values ('HT01', '办公楼合同')");
    Host = new TForm(Application);
    Host->SetBounds(0, 0, 500, 300);
    Host->Show();
  }
  void TearDown() override {
    if (SharedPreviewForm()) SharedPreviewForm()->Close();
    delete Host;
    delete Connection;
    RenewApplication();
  }
  TDBGridEh* MakeGrid(const String& sql, std::initializer_list<const char*> fields) {
    auto* query = new TADOQuery(Host);
    query->SetConnection(Connection);
    query->SQL()->SetText(sql);
    query->Open();
    auto* source = new TDataSource(Host);
    source->SetDataSet(query);
    auto* grid = new TDBGridEh(Host);
    grid->SetParent(Host);
    grid->SetBounds(0, 0, 480, 280);
    grid->SetDataSource(source);
    for (const char* f : fields) {
      TColumnEh* column = grid->Columns()->AddColumn();
      column->SetFieldName(f);
      column->SetWidth(120);
    }
    return grid;
  }

  TProgramFolder Folder;
  TADOConnection* Connection = nullptr;
  TForm* Host = nullptr;
};

TEST_F(ListPrintTest, TwoListsPrintedOneAfterTheOtherShowEachItsOwnTitleOnly) {
  TPrintDBGridEh* printer = Frm_Main->dgPrint;
  EXPECT_EQ(Frm_Main->FindComponent("dgPrint"), printer);
  EXPECT_EQ(printer->Units(), MM);
  EXPECT_TRUE(printer->Options().Empty());
  for (TPageColontitle* t : {printer->PageHeader(), printer->PageFooter()}) {
    EXPECT_EQ(t->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(t->Font()->Height(), -11);
  }
  struct Case {
    TDBGridEh* Grid;
    const char* Title;
    const char* Row;
  };
  const Case cases[] = {
      {MakeGrid("select * from t_pact", {"PactCode", "PactName"}), "项目合同打印", "办公楼合同"},
      {MakeGrid("select * from dict_combo order by id", {"tablename", "name"}), "项目打印", "总经理"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Title);
    Frm_Main->PrintList(c.Grid, c.Title);
    EXPECT_EQ(printer->DBGridEh(), c.Grid);
    ASSERT_EQ(printer->Title()->Count(), 1);
    EXPECT_EQ(printer->Title()->Strings(0), c.Title);
    ASSERT_NE(SharedPreviewForm(), nullptr);
    EXPECT_TRUE(SharedPreviewForm()->Visible());
    TPrinterPreview* preview = GetSharedPrinterPreview();
    ASSERT_GE(preview->PageCount(), 1);
    String page = preview->Page(1)->Text();
    EXPECT_NE(page.find(c.Title), String::npos) << page;
    EXPECT_NE(page.find(c.Row), String::npos) << page;
    for (const Case& other : cases) {
      if (other.Title == c.Title) continue;
      EXPECT_EQ(page.find(other.Title), String::npos) << page;
    }
  }
}

}  // namespace
