// The report component as a program holds it: its settings after creation and after Clear,
// loading definition files, its data-set list, the report data sets over the program's
// datasets, the object tree base, and the designer settings component.
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "data/MemDataSet.h"
#include "TempFolder.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/designer/frxDesgn.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A root that writes the components it owns, as a data module does.
class TReportHolder : public TComponent {
  KELM_CLASS(TReportHolder, TComponent)
public:
  using TComponent::TComponent;
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
};

}  // namespace

KELM_PUBLISH(TReportHolder) {}

namespace {

// ---------------------------------------------------------------- settings

TEST(ReportComponent, NewReportHasTheLibrarysSettings) {
  TfrxReport r(nullptr);
  EXPECT_EQ(r.Version(), "3.23.7");
  EXPECT_EQ(r.ScriptLanguage(), "PascalScript");
  EXPECT_EQ(r.ScriptText()->CommaText(), "begin,,end.");
  EXPECT_EQ(r.IniFile(), "\\Software\\Zude Vizerav");
  EXPECT_FALSE(r.DotMatrixReport());
  EXPECT_TRUE(r.ShowProgress());
  EXPECT_TRUE(r.StoreInDFM());
  EXPECT_EQ(r.PrintOptions()->Printer(), "预设");
  EXPECT_EQ(r.PreviewOptions()->Buttons().Bits(), 4095u);  // every button but pbNoClose
  EXPECT_EQ(r.PreviewOptions()->Zoom(), 1.0);
  EXPECT_TRUE(r.EngineOptions()->ConvertNulls());
  EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 10);
  EXPECT_EQ(r.DataSets()->Count(), 0);
  EXPECT_EQ(r.FileName(), "");
  EXPECT_EQ(r.BaseName(), "Report");
  EXPECT_GT(r.ReportOptions()->CreateDate(), 0.0);
  // A definition cannot change the version.
  r.SetVersion("2.0");
  EXPECT_EQ(r.Version(), "3.23.7");
}

TEST(ReportComponent, SilentModeIsAViewOfNewSilentMode) {
  TfrxEngineOptions o;
  o.SetSilentMode(true);
  EXPECT_EQ(o.NewSilentMode(), simSilent);
  o.SetNewSilentMode(simReThrow);
  EXPECT_FALSE(o.SilentMode());
  o.SetSilentMode(false);
  EXPECT_EQ(o.NewSilentMode(), simMessageBoxes);
}

TEST(ReportComponent, ClearResetsWhatEachOptionObjectResetsAndEmptiesTheReport) {
  TfrxReport r(nullptr);
  TfrxDBDataset ds(nullptr);
  r.DataSets()->AddDataSet(&ds);
  r.SetDataSet(&ds);
  r.StoredPages()->Add("<TfrxReportPage Name=\"Page1\"/>");
  r.SetScriptLanguage("JScript");
  r.ScriptText()->SetText("x");
  r.SetDotMatrixReport(true);
  r.SetOnStartReport("Start");
  r.EngineOptions()->SetDoublePass(true);
  r.EngineOptions()->SetMaxMemSize(50);
  r.PreviewOptions()->SetZoom(2);
  r.PreviewOptions()->SetOutlineVisible(true);
  r.PrintOptions()->SetPrinter("PDF");
  r.PrintOptions()->SetCopies(3);
  r.ReportOptions()->SetAuthor("某人");
  r.ReportOptions()->SetPrevPassword("p");

  r.Clear();
  EXPECT_EQ(r.DataSets()->Count(), 0);
  EXPECT_EQ(r.DataSet(), nullptr);
  EXPECT_EQ(r.DataSetName(), "");
  EXPECT_EQ(r.StoredPages()->Count(), 0);
  EXPECT_EQ(r.ScriptLanguage(), "PascalScript");
  EXPECT_EQ(r.ScriptText()->CommaText(), "begin,,end.");
  EXPECT_FALSE(r.DotMatrixReport());
  EXPECT_EQ(r.OnStartReport(), "");
  EXPECT_FALSE(r.EngineOptions()->DoublePass());
  EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 50);      // not among what the engine options reset
  EXPECT_EQ(r.PreviewOptions()->Zoom(), 2.0);          // nor the zoom
  EXPECT_FALSE(r.PreviewOptions()->OutlineVisible());  // the outline is
  EXPECT_EQ(r.PrintOptions()->Printer(), "预设");       // print options start afresh
  EXPECT_EQ(r.PrintOptions()->Copies(), 1);
  EXPECT_EQ(r.ReportOptions()->Author(), "");
  EXPECT_EQ(r.ReportOptions()->PrevPassword(), "");
}

// ---------------------------------------------------------------- loading

TEST(ReportComponent, AMissingFileLeavesTheReportEmptyWithoutAnError) {
  TempFolder dir;
  TfrxReport r(nullptr);
  r.StoredPages()->Add("<TfrxReportPage Name=\"Page1\"/>");
  TfrxDBDataset ds(nullptr);
  r.DataSets()->AddDataSet(&ds);
  EXPECT_FALSE(r.LoadFromFile(dir / "Reports\\frx_goods.fr3"));
  EXPECT_EQ(r.StoredPages()->Count(), 0);
  EXPECT_EQ(r.DataSets()->Count(), 0);
  EXPECT_EQ(r.FileName(), "");
  EXPECT_EQ(r.Errors()->Count(), 0);
  // Asked to, it raises the platform's file-open error instead.
  EXPECT_THROW(r.LoadFromFile(dir / "none.fr3", true), EFOpenError);
  EXPECT_EQ(r.FileName(), "");
}

TEST(ReportComponent, AnExistingFileReplacesWhatTheReportHeld) {
  TempFolder dir;
  dir.Write("Reports/frx_cust.fr3",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport ScriptLanguage=\"JScript\"/>\r\n");
  TfrxReport r(nullptr);
  r.StoredPages()->Add("<TfrxReportPage Name=\"Page1\"/>");
  r.PrintOptions()->SetCopies(2);
  String name = dir / "REPORTS\\Frx_Cust.fr3";  // found without regard to case
  EXPECT_TRUE(r.LoadFromFile(name));
  EXPECT_EQ(r.FileName(), name);
  EXPECT_EQ(r.ScriptLanguage(), "JScript");
  EXPECT_EQ(r.StoredPages()->Count(), 0);  // nothing of what was there stays
  EXPECT_EQ(r.PrintOptions()->Copies(), 1);
  EXPECT_EQ(r.Errors()->Count(), 0);
}

// ---------------------------------------------------------------- data sets

TEST(ReportDataSets, UserNameFollowsTheComponentNameUntilItIsGivenOne) {
  TfrxDBDataset ds(nullptr);
  ds.SetName("frxDBDataset1");
  EXPECT_EQ(ds.UserName(), "frxDBDataset1");
  ds.SetName("frxDBDataset9");
  EXPECT_EQ(ds.UserName(), "frxDBDataset9");
  ds.SetUserName("G");
  ds.SetName("frxGoods");
  EXPECT_EQ(ds.UserName(), "G");
  EXPECT_THROW(ds.SetUserName("  "), EPropertyError);
  EXPECT_EQ(ds.UserName(), "G");
  EXPECT_EQ(ds.Left(), -10000);  // off every page until placed
}

TEST(ReportDataSets, ListFindsByDataSetAndNameAndForgetsAFreedDataSet) {
  TfrxReport r(nullptr);
  auto b = std::make_unique<TfrxDBDataset>(nullptr);
  auto s = std::make_unique<TfrxDBDataset>(nullptr);
  b->SetUserName("B");
  s->SetUserName("Bill Lines");
  TfrxDataSetItem* ib = r.DataSets()->AddDataSet(b.get());
  r.DataSets()->AddDataSet(s.get());
  EXPECT_EQ(ib->DataSetName(), "B");
  EXPECT_EQ(r.DataSets()->FindItemOf(s.get())->DataSet(), s.get());
  EXPECT_EQ(r.DataSets()->FindItemByName("bill lines")->DataSet(), s.get());
  EXPECT_EQ(r.GetDataset("b"), b.get());
  EXPECT_EQ(r.GetDataset("C"), nullptr);
  r.SetDataSet(b.get());
  EXPECT_EQ(r.DataSetName(), "B");

  b.reset();  // freed: it leaves the list and the report
  EXPECT_EQ(r.DataSets()->Count(), 1);
  EXPECT_EQ(r.DataSet(), nullptr);
  EXPECT_EQ(r.GetDataset("B"), nullptr);
  EXPECT_EQ(r.DataSets()->Items(0)->DataSet(), s.get());
}

TEST(ReportDataSets, DataSetNameLooksTheNameUpAndKeepsTheDataSetForAnUnknownName) {
  TfrxReport r(nullptr);
  TfrxReport other(nullptr);
  TfrxDBDataset mine(nullptr);
  mine.SetUserName("P");
  auto* foreign = new TfrxDBDataset(&other);  // owned by another report: never offered
  foreign->SetUserName("Q");

  TfrxDataSetItem* item = r.DataSets()->AddDataSet(nullptr);
  item->SetDataSetName("p");
  EXPECT_EQ(item->DataSet(), &mine);
  item->SetDataSetName("unknown");
  EXPECT_EQ(item->DataSet(), &mine);  // kept
  EXPECT_EQ(item->DataSetName(), "P");
  item->SetDataSetName("Q");
  EXPECT_EQ(item->DataSet(), &mine);
  item->SetDataSetName("");
  EXPECT_EQ(item->DataSet(), nullptr);

  r.SetDataSetName("P");
  EXPECT_EQ(r.DataSet(), &mine);
  EXPECT_EQ(TfrxDataSet::FindByUserName(nullptr, "Q", &other), foreign);
  EXPECT_EQ(TfrxDataSet::FindByUserName(&mine, "Q", &r), &mine);
  EXPECT_EQ(TfrxDataSet::FindByUserName(&mine, "", &r), nullptr);
}

TEST(ReportDataSets, DBDatasetTakesADataSetOrADataSourceAndForgetsFreedOnes) {
  TfrxDBDataset ds(nullptr);
  auto data = std::make_unique<TMemDataSet>(nullptr);
  auto source = std::make_unique<TDataSource>(nullptr);
  source->SetDataSet(data.get());

  ds.SetDataSet(data.get());
  EXPECT_EQ(ds.EffectiveDataSet(), data.get());
  ds.SetDataSource(source.get());
  EXPECT_EQ(ds.DataSet(), nullptr);  // one or the other
  EXPECT_EQ(ds.EffectiveDataSet(), data.get());
  EXPECT_FALSE(ds.IsActive());
  ds.SetDataSet(data.get());
  EXPECT_EQ(ds.DataSource(), nullptr);

  ds.SetDataSource(source.get());
  source.reset();
  EXPECT_EQ(ds.DataSource(), nullptr);
  EXPECT_EQ(ds.EffectiveDataSet(), nullptr);
  ds.SetDataSet(data.get());
  data.reset();
  EXPECT_EQ(ds.DataSet(), nullptr);
}

TEST(ReportDataSets, FieldListComesFromTheAliasesOrElseFromTheDataSet) {
  TMemDataSet data(nullptr);
  data.FieldDefs()->Add("GoodsCode", ftWideString, 50);
  data.FieldDefs()->Add("Money", ftCurrency, 0);
  data.Open();
  TfrxDBDataset ds(nullptr);
  ds.SetDataSet(&data);

  TStringList names;
  ds.GetFieldList(&names);
  EXPECT_EQ(names.CommaText(), "GoodsCode,Money");

  ds.FieldAliases()->SetText("GoodsCode=编码\n-Money=金额\nCMoney=CMoney");
  ds.GetFieldList(&names);
  EXPECT_EQ(names.Count(), 2);  // "-" hides a field
  EXPECT_EQ(names.Strings(0), "编码");
  EXPECT_EQ(names.Strings(1), "CMoney");
  EXPECT_EQ(ds.FieldsCount(), 2);
  EXPECT_TRUE(ds.HasField("cmoney"));
  EXPECT_FALSE(ds.HasField("Money"));
  EXPECT_EQ(ds.RealFieldName("编码"), "GoodsCode");
  EXPECT_EQ(ds.RealFieldName("金额"), "-Money");
  EXPECT_EQ(ds.RealFieldName("Other"), "Other");
}

// ---------------------------------------------------------------- streaming

const char* const kHolderText =
    "object Holder: TReportHolder\n"
    "  object DS_Goods: TDataSource\n"
    "  end\n"
    "  object frxDBDataset5: TfrxDBDataset\n"
    "    UserName = 'G'\n"
    "    CloseDataSource = False\n"
    "    FieldAliases.Strings = (\n"
    "      'GoodsCode=GoodsCode'\n"
    "      'GoodsName=GoodsName')\n"
    "    DataSource = DS_Goods\n"
    "  end\n"
    "  object frx_goods: TfrxReport\n"
    "    Version = '3.23.7'\n"
    "    DotMatrixReport = False\n"
    "    IniFile = '\\Software\\Zude Vizerav'\n"
    "    PreviewOptions.Buttons = [pbPrint, pbLoad, pbZoom]\n"
    "    PreviewOptions.Zoom = 1.5\n"
    "    PrintOptions.Printer = '预设'\n"
    "    ReportOptions.CreateDate = 39814.5\n"
    "    ReportOptions.LastChange = 39820.25\n"
    "    ScriptLanguage = 'PascalScript'\n"
    "    ScriptText.Strings = (\n"
    "      'begin'\n"
    "      ''\n"
    "      'end.')\n"
    "    Datasets = <\n"
    "      item\n"
    "        DataSet = frxDBDataset5\n"
    "        DataSetName = 'G'\n"
    "      end>\n"
    "    StoredPages = (\n"
    "      '<TfrxReportPage Name=\"Page1\" PaperWidth=\"210\">'\n"
    "      '  <TfrxMemoView Name=\"Memo1\" Text=\"货品\"/>'\n"
    "      '</TfrxReportPage>')\n"
    "  end\n"
    "  object frxDesigner1: TfrxDesigner\n"
    "    DefaultFont.Height = -13\n"
    "    DefaultFont.Name = 'Arial'\n"
    "    DefaultPaperSize = 9\n"
    "    Restrictions = [drDontDeletePage]\n"
    "  end\n"
    "end\n";

TEST(ReportStreaming, AReportAndItsDataSetsReadFromALayoutAndWriteBack) {
  std::unique_ptr<TComponent> root(ReadComponentFromText(nullptr, kHolderText, "holder.txt"));
  auto* report = dynamic_cast<TfrxReport*>(root->FindComponent("frx_goods"));
  auto* ds = dynamic_cast<TfrxDBDataset*>(root->FindComponent("frxDBDataset5"));
  auto* designer = dynamic_cast<TfrxDesigner*>(root->FindComponent("frxDesigner1"));
  ASSERT_NE(report, nullptr);
  ASSERT_NE(ds, nullptr);
  ASSERT_NE(designer, nullptr);
  EXPECT_EQ(ds->UserName(), "G");
  EXPECT_EQ(ds->DataSource(), root->FindComponent("DS_Goods"));
  EXPECT_EQ(ds->FieldAliases()->Count(), 2);
  EXPECT_EQ(report->PreviewOptions()->Buttons(), (TfrxPreviewButtons{pbPrint, pbLoad, pbZoom}));
  EXPECT_EQ(report->PreviewOptions()->Zoom(), 1.5);
  EXPECT_EQ(report->ReportOptions()->CreateDate(), 39814.5);
  ASSERT_EQ(report->DataSets()->Count(), 1);
  EXPECT_EQ(report->DataSets()->Items(0)->DataSet(), ds);
  EXPECT_EQ(report->GetDataset("g"), ds);
  // The stored pages are read whole.
  EXPECT_EQ(report->StoredPages()->Count(), 0);
  ASSERT_EQ(report->CountPages(), 1);
  auto* memo = dynamic_cast<TfrxMemoView*>(report->FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->Text(), "货品");
  EXPECT_EQ(designer->DefaultFont()->Height(), -13);
  EXPECT_EQ(designer->Restrictions(), TfrxDesignerRestrictions{drDontDeletePage});

  String text = WriteComponentToText(root.get());
  EXPECT_NE(text.find("DotMatrixReport = False"), String::npos);  // stated even at its value
  EXPECT_NE(text.find("PreviewOptions.Buttons = [pbPrint, pbLoad, pbZoom]"), String::npos) << text;
  EXPECT_NE(text.find("CloseDataSource = False"), String::npos);
  EXPECT_NE(text.find("DataSetName = 'G'"), String::npos);
  std::unique_ptr<TComponent> again(ReadComponentFromText(nullptr, text, "again.txt"));
  EXPECT_EQ(WriteComponentToText(again.get()), text);
  auto* report2 = dynamic_cast<TfrxReport*>(again->FindComponent("frx_goods"));
  auto* memo2 = dynamic_cast<TfrxMemoView*>(report2->FindObject("Memo1"));
  ASSERT_NE(memo2, nullptr);
  EXPECT_EQ(memo2->Text(), "货品");
  EXPECT_EQ(report2->DataSets()->Items(0)->DataSet(), again->FindComponent("frxDBDataset5"));
}

TEST(ReportStreaming, ADataSetInsideAReportDoesNotWriteItsLinks) {
  TMemDataSet data(nullptr);
  TfrxReport r(nullptr);
  auto* inside = new TfrxDBDataset(&r);
  inside->SetDataSet(&data);
  TfrxDBDataset outside(nullptr);
  outside.SetDataSet(&data);
  EXPECT_FALSE(GetPropInfo(inside, "DataSet")->IsStored(inside));
  EXPECT_TRUE(GetPropInfo(&outside, "DataSet")->IsStored(&outside));
}

// ---------------------------------------------------------------- object tree

TEST(ReportObjectTree, ObjectsMadeUnderAReportObjectBelongToTheReport) {
  TfrxReport r(nullptr);
  auto* page = new TfrxReportComponent(&r);
  page->SetName("Page1");
  auto* memo = new TfrxReportComponent(page);
  memo->SetName("Memo1");
  EXPECT_EQ(page->Parent(), &r);
  EXPECT_EQ(memo->Parent(), page);
  EXPECT_EQ(memo->Owner(), &r);  // owned by the report, a child of the page
  EXPECT_EQ(memo->FindParentReport(), &r);
  EXPECT_EQ(r.ObjectCount(), 1);
  EXPECT_EQ(r.FindObject("memo1"), memo);
  EXPECT_EQ(page->FindObject("Page1"), nullptr);  // only objects below
  EXPECT_EQ(memo->Font()->Name(), "Arial");
  EXPECT_EQ(memo->Font()->Height(), -13);
  EXPECT_THROW(page->SetParent(memo), EInvalidOperation);

  memo->SetParent(&r);
  EXPECT_EQ(page->ObjectCount(), 0);
  EXPECT_EQ(r.ObjectCount(), 2);
  delete page;
  EXPECT_EQ(r.ObjectCount(), 1);
  r.Clear();
  EXPECT_EQ(r.ObjectCount(), 0);
  EXPECT_EQ(r.FindComponent("Memo1"), nullptr);  // freed with the tree
}

TEST(ReportObjectTree, BaseNameDropsTheLibraryPrefixAndView) {
  TfrxReport r(nullptr);
  TfrxDBDataset ds(nullptr);
  TfrxReportComponent rc(nullptr);
  EXPECT_EQ(r.BaseName(), "Report");
  EXPECT_EQ(ds.BaseName(), "DBDataset");
  EXPECT_EQ(rc.BaseName(), "ReportComponent");
}

// ---------------------------------------------------------------- designer settings

TEST(DesignerSettings, TheLastMadeIsInEffectAndFreeingAnOlderOneKeepsIt) {
  EXPECT_EQ(TfrxDesigner::Current(), nullptr);
  auto first = std::make_unique<TfrxDesigner>(nullptr);
  EXPECT_EQ(TfrxDesigner::Current(), first.get());
  auto second = std::make_unique<TfrxDesigner>(nullptr);
  EXPECT_EQ(TfrxDesigner::Current(), second.get());
  first.reset();
  EXPECT_EQ(TfrxDesigner::Current(), second.get());
  second.reset();
  EXPECT_EQ(TfrxDesigner::Current(), nullptr);
}

TEST(DesignerSettings, DefaultsOfANewReportPage) {
  TfrxDesigner d(nullptr);
  EXPECT_TRUE(d.CloseQuery());
  EXPECT_EQ(d.DefaultScriptLanguage(), "PascalScript");
  EXPECT_EQ(d.DefaultFont()->Name(), "Arial");
  EXPECT_EQ(d.DefaultFont()->Size(), 10);
  for (Extended m : {d.DefaultLeftMargin(), d.DefaultRightMargin(), d.DefaultTopMargin(), d.DefaultBottomMargin()})
    EXPECT_EQ(m, 10.0);
  EXPECT_EQ(d.DefaultPaperSize(), 9);
  EXPECT_EQ(d.DefaultOrientation(), poPortrait);
  EXPECT_TRUE(d.Restrictions().Empty());
  // Setting the font copies it.
  TFont f;
  f.SetName("宋体");
  d.SetDefaultFont(&f);
  f.SetName("Other");
  EXPECT_EQ(d.DefaultFont()->Name(), "宋体");
}

}  // namespace
