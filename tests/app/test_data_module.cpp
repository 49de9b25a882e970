// The data module: its layout, the connection it opens, the reports it loads, the query
// helpers every window runs its SQL through, and the routines it offers the windows.
#include "ProgramFolder.h"

#include "core/Filer.h"
#include "core/Format.h"
#include "core/Resources.h"
#include "gui/Shell.h"
#include "app/SqlText.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"
#include "core/StrUtils.h"
#include "app/StoredReports.h"
#include "app/U_Data.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report_legacy/FR_ClassPrepared.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A data module made the way the program makes it, over a program folder of its own.
class DataModuleTest : public ::testing::Test {
protected:
  void Make() { FModule.reset(CreateForm<TFrm_Data>(nullptr, &Frm_Data)); }
  void TearDown() override {
    FModule.reset();
    if (Application && Application->Terminated()) RenewApplication();
  }
  TFrm_Data& Module() { return *FModule; }

  std::unique_ptr<TFrm_Data> FModule;
};

// ---------------------------------------------------------------- the layout

// What the layout gives each component is the layout's, and the layout sweep
// (test_layouts.cpp) checks it loads and reads back; here, what every query, field and report
// data set must be for the windows that use them.

// The data sources bound to each query; a query can have at most one.
std::vector<TDataSource*> SourcesOf(TComponent* root, TDataSet* ds) {
  std::vector<TDataSource*> found;
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (auto* s = dynamic_cast<TDataSource*>(root->Components(i)); s && s->DataSet() == ds) found.push_back(s);
  return found;
}

template <class T> std::vector<T*> ComponentsOf(TComponent* Root) {
  std::vector<T*> found;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<T*>(Root->Components(i))) found.push_back(c);
  return found;
}

TEST_F(DataModuleTest, EveryQueryRunsOnTheModulesConnectionAndStaysClosedUntilAWindowOpensIt) {
  TProgramFolder folder;
  Make();
  std::vector<TADOQuery*> queries = ComponentsOf<TADOQuery>(&Module());
  EXPECT_GT(queries.size(), 50u) << "the queries were found";
  for (TADOQuery* q : queries) {
    SCOPED_TRACE(q->Name());
    EXPECT_EQ(q->Connection(), Module().ADOConnection1);
    EXPECT_EQ(q->Parameters()->Count(), 0);
    EXPECT_FALSE(q->Active());
    EXPECT_LE(SourcesOf(&Module(), q).size(), 1u);
    // A detail query follows a master of the module.
    if (q->DataSource()) EXPECT_EQ(q->DataSource()->Owner(), &Module());
  }
}

TEST_F(DataModuleTest, PersistentFieldsAreTheModulesNamedAfterTheirQuery) {
  TProgramFolder folder;
  Make();
  int fields = 0;
  for (TADOQuery* q : ComponentsOf<TADOQuery>(&Module()))
    for (int i = 0; i < q->Fields()->Count(); ++i) {
      TField* f = q->Fields()->Fields(i);
      SCOPED_TRACE(q->Name() + "." + f->FieldName());
      EXPECT_EQ(f->Owner(), &Module());
      EXPECT_EQ(f->Name(), q->Name() + f->FieldName());  // the name the module knows it by
      ++fields;
    }
  EXPECT_GT(fields, 0) << "the legacy queries carry the columns of their tables";
}

TEST_F(DataModuleTest, ReportDataSetsShowEveryFieldUnderItsOwnNameAndTheBillsKeepTheirStoredPages) {
  TProgramFolder folder;
  Make();
  std::vector<TfrxDBDataset*> sets = ComponentsOf<TfrxDBDataset>(&Module());
  EXPECT_FALSE(sets.empty());
  for (TfrxDBDataset* s : sets) {
    SCOPED_TRACE(s->Name());
    ASSERT_NE(s->DataSource(), nullptr);
    EXPECT_EQ(s->DataSource()->Owner(), &Module());
    EXPECT_FALSE(s->CloseDataSource());
    TStrings* aliases = s->FieldAliases();
    ASSERT_GT(aliases->Count(), 0);
    for (int i = 0; i < aliases->Count(); ++i) EXPECT_EQ(aliases->Names(i), aliases->ValueFromIndex(i));
  }
  // Without report files only the two bills keep what the layout holds: their pages, read
  // whole, text objects included.
  TFrm_Data& m = Module();
  struct TBill {
    TfrxReport* Report;
    const char* Title;
  };
  for (TBill bill : {TBill{m.frx_inbill, "入库单"}, TBill{m.frx_outbill, "出库单"}}) {
    SCOPED_TRACE(bill.Title);
    EXPECT_EQ(bill.Report->StoredPages()->Count(), 0);
    EXPECT_EQ(bill.Report->Errors()->Count(), 0) << bill.Report->Errors()->Text();
    ASSERT_EQ(bill.Report->CountPages(), 1);
    auto* page = dynamic_cast<TfrxReportPage*>(bill.Report->PageAt(0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->PaperWidth(), 210);
    EXPECT_EQ(page->PaperHeight(), 120);
    auto* title = dynamic_cast<TfrxMemoView*>(bill.Report->FindObject("Memo1"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Text(), bill.Title);
    EXPECT_EQ(title->HAlign(), haCenter);
    EXPECT_EQ(title->Font()->Name(), "宋体");
    EXPECT_FALSE(title->ParentFont());
  }
  for (TfrxReport* r : {m.frx_inbill, m.frx_outbill}) {
    SCOPED_TRACE(r->Name());
    ASSERT_GT(r->DataSets()->Count(), 0);
    for (int i = 0; i < r->DataSets()->Count(); ++i) EXPECT_EQ(r->DataSets()->Items(i)->DataSet()->Owner(), &m);
  }
  EXPECT_EQ(m.frDS_Project->DataSet(), m.Qry_Project);
  EXPECT_EQ(m.fr_Project->Dataset(), m.frDS_Project);
}

TEST(DataModuleLayout, ReadsAndWritesBackToTextThatReadsToTheSameModule) {
  // Read alone (no creation event), as the layout describes the module.
  std::unique_ptr<TFrm_Data> first(new TFrm_Data(nullptr));
  ReadComponentFromText(first.get(), LoadResourceString("forms/TFrm_Data.txt"), "TFrm_Data.txt");
  String text = WriteComponentToText(first.get());
  std::unique_ptr<TFrm_Data> again(new TFrm_Data(nullptr));
  ReadComponentFromText(again.get(), text, "again.txt");
  EXPECT_EQ(WriteComponentToText(again.get()), text);

  ASSERT_EQ(again->ComponentCount(), first->ComponentCount());
  for (int i = 0; i < first->ComponentCount(); ++i) {
    EXPECT_EQ(again->Components(i)->Name(), first->Components(i)->Name());
    EXPECT_EQ(again->Components(i)->ClassName(), first->Components(i)->ClassName());
  }
  // Every report reads its pages whole and writes them back as .fr3 elements; the data sets
  // stay.
  EXPECT_NE(text.find("'<TfrxReportPage "), String::npos);
  for (const char* name : {"frx_goods", "frx_cust", "frx_project", "frx_inbill", "frx_outbill"}) {
    SCOPED_TRACE(name);
    auto* a = dynamic_cast<TfrxReport*>(first->FindComponent(name));
    auto* b = dynamic_cast<TfrxReport*>(again->FindComponent(name));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->StoredPages()->Count(), 0);
    ASSERT_GT(a->CountPages(), 0);
    const std::vector<TfrxComponent*> objects = a->AllObjects();
    const std::vector<TfrxComponent*> objectsAgain = b->AllObjects();
    ASSERT_EQ(objectsAgain.size(), objects.size());
    int texts = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
      EXPECT_EQ(objectsAgain[i]->Name(), objects[i]->Name());
      EXPECT_EQ(objectsAgain[i]->ClassName(), objects[i]->ClassName());
      if (auto* memo = dynamic_cast<TfrxMemoView*>(objects[i])) {
        ++texts;
        EXPECT_EQ(dynamic_cast<TfrxMemoView*>(objectsAgain[i])->Text(), memo->Text());
      }
    }
    EXPECT_GT(texts, 0);
    ASSERT_EQ(b->DataSets()->Count(), a->DataSets()->Count());
    for (int i = 0; i < a->DataSets()->Count(); ++i) {
      EXPECT_EQ(b->DataSets()->Items(i)->DataSet()->Name(), a->DataSets()->Items(i)->DataSet()->Name());
      EXPECT_EQ(b->DataSets()->Items(i)->DataSetName(), a->DataSets()->Items(i)->DataSetName());
    }
  }
  EXPECT_EQ(again->frx_goods->DataSets()->Items(0)->DataSet(), again->frxDBDataset5);
  // The handlers are written by name and bound again.
  EXPECT_NE(text.find("OnCreate = FormCreate"), String::npos);
  EXPECT_NE(text.find("OnChange = Qry_BillDetailNumberChange"), String::npos);
  for (const char* f : {"Number", "Price", "Discount"})
    EXPECT_TRUE(again->Qry_BillDetail->FieldByName(f)->OnChange().Assigned()) << f;
  EXPECT_FALSE(again->Qry_BillDetail->FieldByName("Money")->OnChange().Assigned());
  EXPECT_TRUE(again->OnCreate.Assigned());
}

// ---------------------------------------------------------------- creation

TEST_F(DataModuleTest, CreationOpensTheDatabaseBesideTheProgram) {
  TProgramFolder folder;
  Make();
  EXPECT_EQ(Module().DBConnected(), 1);
  EXPECT_TRUE(folder.Messages.empty());
  EXPECT_EQ(Module().ConnectionString(),
            "Provider=Microsoft.Jet.OLEDB.4.0;User ID=admin;Data Source=" + folder.Path() +
                "DataBase\\kelm.mdb;Persist Security Info=False;Jet OLEDB:Database Password=8306472QKW");
  EXPECT_EQ(Module().ADOConnection1->ConnectionString(), Module().ConnectionString());
  ASSERT_NE(Module().ConfigIni(), nullptr);
  EXPECT_EQ(Module().ConfigIni()->FileName(), folder.Path() + "Config.ini");
  // The accessor reads and writes the file itself.
  EXPECT_EQ(Module().ConfigIni()->ReadString("config", "dbname", ""), "kelm");
  Module().ConfigIni()->WriteInteger("login", "username", 2);
  EXPECT_NE(folder.Read("Config.ini").find("username=2"), String::npos);
  EXPECT_EQ(Frm_Data, FModule.get());
}

TEST_F(DataModuleTest, MissingDatabaseShowsTheConnectMessageOnceAndAsksToTerminate) {
  for (const char* missing : {"file", "folder"}) {
    SCOPED_TRACE(missing);
    TProgramFolder folder(TProgramFolder::Options{false, true});
    if (String(missing) == "file") ForceDirectories(folder / "DataBase");
    String ini = folder.Read("Config.ini");
    Make();
    EXPECT_EQ(Module().DBConnected(), 0);
    ASSERT_EQ(folder.Messages.size(), 1u);
    EXPECT_EQ(folder.Messages[0].Text, "连接数据库失败,请与沃岚软件联系 ");
    EXPECT_EQ(folder.Messages[0].Caption, "kelm");
    EXPECT_EQ(folder.Messages[0].Flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(folder.Read("Config.ini"), ini);  // left as it was
    // Creation went on: the reports were still loaded (here: emptied, no files).
    EXPECT_EQ(Module().frx_goods->DataSets()->Count(), 0);
    FModule.reset();
    RenewApplication();
  }
}

// The goods list as the program's Reports folder carries it: a definition whose data-set list
// names the module's frxDBDataset5 under "G".
const char* const kGoodsFr3 =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<TfrxReport Version=\"3.23.7\" DotMatrixReport=\"False\" IniFile=\"\\Software\\Zude Vizerav\" "
    "PreviewOptions.Buttons=\"4095\" PreviewOptions.Zoom=\"1\" PrintOptions.Printer=\"预设\" "
    "ReportOptions.CreateDate=\"39814.6104166667\" ReportOptions.Description.Text=\"\" "
    "ReportOptions.LastChange=\"39820.4381944444\" ReportOptions.Name=\"货品列表\" ScriptLanguage=\"PascalScript\" "
    "ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\" "
    "PropData=\"08446174617365747301010C2800000020446174615365743D22667278444244617461736574352220446174615365744E61"
    "6D653D2247220000095661726961626C65730100055374796C650100\"/>\r\n";

TEST_F(DataModuleTest, ReportFilesReplaceTheStoredReportsAndADamagedOneLeavesItsReportEmpty) {
  TProgramFolder folder;
  folder.Write("Reports/FRX_GOODS.FR3", kGoodsFr3);  // found without regard to case
  folder.Write("Reports/frx_cust.fr3", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport Name=\"a<b\"/>");
  Make();
  EXPECT_EQ(Module().DBConnected(), 1);
  EXPECT_TRUE(folder.Messages.empty());  // nothing is shown for reports

  int reports = 0;
  for (int i = 0; i < Module().ComponentCount(); ++i) reports += Module().Components(i)->Is<TfrxReport>();
  EXPECT_EQ(reports, 5);
  TfrxReport* goods = Module().frx_goods;
  EXPECT_NE(goods->FileName().find("Reports\\frx_goods.fr3"), String::npos);  // the name the module gave
  EXPECT_EQ(goods->ReportOptions()->Name(), "货品列表");
  EXPECT_EQ(goods->StoredPages()->Count(), 0);
  ASSERT_EQ(goods->DataSets()->Count(), 1);
  EXPECT_EQ(goods->DataSets()->ItemAt(0)->DataSet(), Module().FindComponent("frxDBDataset5"));
  EXPECT_EQ(goods->GetDataset("g"), Module().FindComponent("frxDBDataset5"));
  EXPECT_EQ(goods->Errors()->Count(), 0) << goods->Errors()->Text();

  // The damaged file: an empty report whose errors name the file; start-up went on.
  TfrxReport* cust = Module().frx_cust;
  EXPECT_EQ(cust->FileName(), "");
  EXPECT_EQ(cust->DataSets()->Count(), 0);
  EXPECT_EQ(cust->StoredPages()->Count(), 0);
  ASSERT_EQ(cust->Errors()->Count(), 1);
  EXPECT_NE(cust->Errors()->Strings(0).find("frx_cust.fr3"), String::npos);
  // A missing file leaves its report empty without errors; the bills keep their pages.
  EXPECT_EQ(Module().frx_project->StoredPages()->Count(), 0);
  EXPECT_EQ(Module().frx_project->Errors()->Count(), 0);
  EXPECT_GT(Module().frx_inbill->CountPages(), 0);
  EXPECT_EQ(Module().frx_outbill->DataSets()->Count(), 2);
}

// Laying out a program folder writes the three list reports from the module's own
// definitions, and the module then reads them back whole; a file already there is the user's.
TEST_F(DataModuleTest, TheListReportsAreWrittenFromTheModulesDefinitionsOnlyWhereAbsent) {
  TProgramFolder folder(TProgramFolder::Options{true, false});  // no Reports folder yet
  EXPECT_EQ(WriteStoredReports(folder.Path()), (std::vector<String>{"frx_goods.fr3", "frx_cust.fr3", "frx_project.fr3"}));
  EXPECT_TRUE(folder.Messages.empty());
  const String goodsFile = folder.Read("Reports/frx_goods.fr3");
  // A second run, and a user's file in another spelling, change nothing.
  folder.Write("Reports/frx_goods.fr3", "mine");
  EXPECT_TRUE(WriteStoredReports(folder.Path()).empty());
  EXPECT_EQ(folder.Read("Reports/frx_goods.fr3"), "mine");
  TempFolder other;
  other.Write("Reports/FRX_CUST.FR3", "theirs");
  EXPECT_EQ(WriteStoredReports(other.Path()), (std::vector<String>{"frx_goods.fr3", "frx_project.fr3"}));
  EXPECT_EQ(other.Read("Reports/FRX_CUST.FR3"), "theirs");
  folder.Write("Reports/frx_goods.fr3", goodsFile);

  // What the module reads from the files is what its layout defines: the same objects and
  // texts, the data sets bound to the module's components, no errors.
  std::unique_ptr<TFrm_Data> layoutOnly(new TFrm_Data(nullptr));
  ReadComponentFromText(layoutOnly.get(), LoadResourceString("forms/TFrm_Data.txt"), "TFrm_Data.txt");
  Make();
  struct ReportCase {
    const char* Name;
    const char* Title;
    const char* DataSet;
  };
  for (const ReportCase& c : {ReportCase{"frx_goods", "货品列表", "frxDBDataset5"},
                              ReportCase{"frx_cust", "客户列表", "frxDBDataset4"},
                              ReportCase{"frx_project", "项目列表", "frxDBDataset3"}}) {
    SCOPED_TRACE(c.Name);
    auto* read = dynamic_cast<TfrxReport*>(Module().FindComponent(c.Name));
    auto* defined = dynamic_cast<TfrxReport*>(layoutOnly->FindComponent(c.Name));
    ASSERT_NE(read, nullptr);
    ASSERT_NE(defined, nullptr);
    EXPECT_EQ(read->Errors()->Count(), 0) << read->Errors()->Text();
    EXPECT_NE(read->FileName().find(String("Reports\\") + c.Name + ".fr3"), String::npos);
    ASSERT_EQ(read->DataSets()->Count(), 1);
    EXPECT_EQ(read->DataSets()->Items(0)->DataSet(), Module().FindComponent(c.DataSet));
    const std::vector<TfrxComponent*> objects = read->AllObjects();
    const std::vector<TfrxComponent*> expected = defined->AllObjects();
    ASSERT_EQ(objects.size(), expected.size());
    ASSERT_FALSE(objects.empty());
    bool title = false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
      EXPECT_EQ(objects[i]->Name(), expected[i]->Name());
      EXPECT_EQ(objects[i]->ClassName(), expected[i]->ClassName());
      EXPECT_DOUBLE_EQ(objects[i]->Top(), expected[i]->Top());
      EXPECT_DOUBLE_EQ(objects[i]->Width(), expected[i]->Width());
      if (auto* memo = dynamic_cast<TfrxMemoView*>(objects[i])) {
        EXPECT_EQ(memo->Text(), dynamic_cast<TfrxMemoView*>(expected[i])->Text());
        title = title || memo->Text() == c.Title;
      }
    }
    EXPECT_TRUE(title);
  }
}

// ---------------------------------------------------------------- the query helpers

TEST_F(DataModuleTest, OpenQueryAndExecQueryReplaceTheStatementAndRunIt) {
  TProgramFolder folder;
  Make();
  TADOQuery* q = Module().Qry_Temp;
  Module().OpenQuery(q, "select * from tUser where UserName = 'Admin'");
  ASSERT_TRUE(q->Active());
  EXPECT_EQ(q->RecordCount(), 1);

  // Executing on an open query closes it first and leaves the one statement in it.
  Module().ExecQuery(q, "insert into t_custom (CustCode, CustName) values (" + SqlStr("K-1") + ", " +
                            SqlStr("O'Brien 工程") + ")");
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->SQL()->Count(), 1);
  EXPECT_EQ(q->RowsAffected(), 1);
  Module().ExecQuery(q, "update t_custom set Phone = '123' where CustCode = 'K-1'");
  EXPECT_EQ(q->RowsAffected(), 1);

  // A query bound to a grid shows the new result when reopened with other text.
  Module().OpenQuery(Module().Qry_Cust, "select * from t_custom");
  Module().OpenQuery(Module().Qry_Cust, "select CustName, Phone from t_custom where CustName = " + SqlStr("O'Brien 工程"));
  ASSERT_EQ(Module().Qry_Cust->RecordCount(), 1);
  EXPECT_EQ(Module().Qry_Cust->FieldCount(), 2);
  EXPECT_EQ(Module().Qry_Cust->FieldByName("Phone")->AsString(), "123");
  EXPECT_EQ(Module().DS_Cust->DataSet()->FieldByName("CustName")->AsString(), "O'Brien 工程");
}

TEST_F(DataModuleTest, AFailingStatementRaisesTheDataLayerErrorAndLeavesTheQueryClosed) {
  TProgramFolder folder;
  Make();
  TADOQuery* q = Module().Qry_Str;
  Module().OpenQuery(q, "select * from T_SoftInfo");
  ASSERT_TRUE(q->Active());
  EXPECT_THROW(Module().OpenQuery(q, "select * from no_such_table"), EADOError);
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->CommandText(), "select * from no_such_table");

  Module().OpenQuery(q, "select * from T_SoftInfo");
  EXPECT_THROW(Module().ExecQuery(q, "update no_such_table set a = 1"), EADOError);
  EXPECT_FALSE(q->Active());
  // A quote typed into a value does not break the statement it is put into.
  EXPECT_NO_THROW(Module().ExecQuery(q, "update T_SoftInfo set Version = " + SqlStr("2'0")));
  Module().OpenQuery(q, "select Version from T_SoftInfo");
  EXPECT_EQ(q->FieldByName("Version")->AsString(), "2'0");
}

// ---------------------------------------------------------------- the file manager

TEST_F(DataModuleTest, SelectFileInExplorerOpensTheFolderOfAnExistingFileOnly) {
  TProgramFolder folder;
  Make();
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& url) {
    opened.push_back(url);
    return true;
  });
  folder.Write("PactDoc/合同 一.doc", "x");
  EXPECT_TRUE(Module().SelectFileInExplorer(folder / "PactDoc\\合同 一.doc"));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "file://" + folder.Path() + "PactDoc");
  EXPECT_FALSE(Module().SelectFileInExplorer(folder / "PactDoc\\gone.doc"));
  EXPECT_EQ(opened.size(), 1u);  // nothing was started for it
  SetShellHandler(previous);
}

// ---------------------------------------------------------------- tab order

class TabOrderTest : public DataModuleTest {
protected:
  TEdit* Edit(TWinControl* parent, int top, int left) {
    auto* e = new TEdit(FForm.get());
    e->SetParent(parent);
    e->SetBounds(left, top, 40, 20);
    return e;
  }
  std::unique_ptr<TForm> FForm{new TForm(nullptr)};
};

TEST_F(TabOrderTest, ChildrenAreOrderedByTopThenLeftAndContainersInside) {
  TProgramFolder folder;
  Make();
  TForm* f = FForm.get();
  TEdit* a = Edit(f, 10, 50);
  auto* label = new TLabel(f);  // not windowed: takes no place
  label->SetParent(f);
  label->SetBounds(0, 0, 30, 15);
  TEdit* b = Edit(f, 10, 5);
  auto* box = new TGroupBox(f);
  box->SetParent(f);
  box->SetBounds(0, 100, 200, 100);
  TEdit* c = Edit(f, 5, 80);
  TEdit* inner1 = Edit(box, 40, 10);
  TEdit* inner2 = Edit(box, 20, 90);
  TEdit* inner3 = Edit(box, 20, 30);

  Module().SetTabOrderByPosition(f, true);
  EXPECT_EQ(c->TabOrder(), 0);
  EXPECT_EQ(b->TabOrder(), 1);
  EXPECT_EQ(a->TabOrder(), 2);
  EXPECT_EQ(box->TabOrder(), 3);
  EXPECT_EQ(inner3->TabOrder(), 0);
  EXPECT_EQ(inner2->TabOrder(), 1);
  EXPECT_EQ(inner1->TabOrder(), 2);

  // Without recursion the container's own children keep their order.
  inner1->SetTabOrder(0);
  Module().SetTabOrderByPosition(f, false);
  EXPECT_EQ(inner1->TabOrder(), 0);
  EXPECT_EQ(c->TabOrder(), 0);
}

TEST_F(TabOrderTest, EqualPositionsKeepTheirControlOrder) {
  TProgramFolder folder;
  Make();
  TForm* f = FForm.get();
  TEdit* first = Edit(f, 30, 30);
  TEdit* second = Edit(f, 30, 30);
  TEdit* top = Edit(f, 0, 100);
  first->SetTabOrder(2);  // tab order before: top, second, first
  Module().SetTabOrderByPosition(f, false);
  EXPECT_EQ(top->TabOrder(), 0);
  EXPECT_EQ(first->TabOrder(), 1);
  EXPECT_EQ(second->TabOrder(), 2);
}

// ---------------------------------------------------------------- bill-detail amount

class BillDetailTest : public DataModuleTest {
protected:
  TADOQuery* Lines() {
    Module().OpenQuery(Module().Qry_BillDetail, "select * from T_BillDetail");
    Module().Qry_BillDetail->Append();
    return Module().Qry_BillDetail;
  }
  static Int64 Money(TDataSet* ds) { return ds->FieldByName("Money")->AsCurrency().Value; }
};

TEST_F(BillDetailTest, MoneyIsNumberTimesPriceTimesDiscountRoundedToFourDecimals) {
  TProgramFolder folder;
  Make();
  struct Case {
    double Number, Price, Discount;
    Int64 Money;  // ten-thousandths
  };
  const Case cases[] = {
      {3, 2.5, 0.9, 67500},        {2, 1.23456, 1, 24691},  {1, 0.00006, 1, 1},     {1, 0.00004, 1, 0},
      {-2, 3.33335, 1, -66667},    {0, 99, 1, 0},           {1000, 12.5, 0.8, 100000000},
  };
  TADOQuery* q = Lines();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Number) + " x " + std::to_string(c.Price) + " x " + std::to_string(c.Discount));
    q->FieldByName("Number")->SetAsFloat(c.Number);
    q->FieldByName("Price")->SetAsFloat(c.Price);
    q->FieldByName("Discount")->SetAsFloat(c.Discount);
    EXPECT_EQ(Money(q), c.Money);
  }
}

TEST_F(BillDetailTest, AChangeOfAnyOperandRecomputesFromTheRowsCurrentValues) {
  TProgramFolder folder;
  Make();
  TADOQuery* q = Lines();
  q->FieldByName("Number")->SetAsFloat(3);
  q->FieldByName("Price")->SetAsFloat(2.5);
  EXPECT_EQ(Money(q), 0);  // no discount yet: read as 0
  q->FieldByName("Discount")->SetAsFloat(0.9);
  EXPECT_EQ(Money(q), 67500);
  q->FieldByName("Number")->SetAsFloat(4);
  EXPECT_EQ(Money(q), 90000);
  q->FieldByName("Price")->SetAsFloat(1);
  EXPECT_EQ(Money(q), 36000);
  q->FieldByName("Discount")->SetAsFloat(1);
  EXPECT_EQ(Money(q), 40000);
  // Other fields leave Money alone.
  q->FieldByName("Money")->SetAsCurrency(Currency(7));
  q->FieldByName("Num1")->SetAsFloat(5);
  EXPECT_EQ(Money(q), 70000);
  // The line is held for the batch and keeps its amount.
  q->Post();
  EXPECT_EQ(Money(q), 70000);
  EXPECT_EQ(q->PendingChanges(), 1);
}

}  // namespace

// ---------------------------------------------------------------- the older report

namespace {

TEST_F(DataModuleTest, TheOlderProjectReportListsEveryProjectInOrder) {
  TProgramFolder folder;
  Make();
  TFrm_Data& m = Module();
  for (int i = 1; i <= 100; ++i)
    m.ExecQuery(m.Qry_Temp, "insert into T_Project (ProjectCode, ProjectName) values ('P" + Format("%.3d", {i}) +
                                "', '工程" + IntToStr(i) + "')");
  // A one-band definition: the master band takes the report's data set, its text one field.
  TfrReport* r = m.fr_Project;
  r->Clear();
  TfrPage* page = r->Pages()->Add();
  auto* band = new TfrBandView;
  band->Name = "MasterData1";
  band->SetBandType(btMasterData);
  band->SetViewBounds(0, 40, 700, 20);
  page->AddObject(band);
  auto* memo = new TfrMemoView;
  memo->Name = "Memo1";
  memo->SetViewBounds(20, 40, 200, 18);
  memo->Memo.SetText("[Qry_Project.\"ProjectCode\"]");
  page->AddObject(memo);
  ASSERT_TRUE(r->PrepareReport());
  std::vector<String> codes;
  TfrEMFPages* pages = r->PreparedPages();
  for (int i = 0; i < pages->Count(); ++i) {
    pages->ObjectsToPage(i);
    for (const auto& v : pages->PageInfo(i).PageObject->Objects) {
      String t = v->Memo.Strings(0);
      if (!t.empty() && t.back() == '\x01') t.pop_back();
      codes.push_back(t);
    }
  }
  ASSERT_EQ(codes.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(codes[i], "P" + Format("%.3d", {i + 1}));
}

}  // namespace
