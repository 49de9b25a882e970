// The older engine's components as a data module holds them: the report's switches and its
// stored definition in the layout, and the data set over a dataset of the program.
#include "report_legacy/FR_Class.h"
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/StringList.h"
#include "data/MemDataSet.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TLegacyHolder : public TComponent {
  KELM_CLASS(TLegacyHolder, TComponent)
public:
  using TComponent::TComponent;
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};
KELM_PUBLISH(TLegacyHolder) {}

TEST(OlderReport, NewReportHasItsDefaults) {
  TfrReport r(nullptr);
  EXPECT_EQ(r.Dataset(), nullptr);
  EXPECT_EQ(r.DefaultCopies(), 1);
  EXPECT_TRUE(r.DefaultCollate());
  EXPECT_EQ(r.InitialZoom(), TfrPreviewZoom::pzDefault);
  EXPECT_TRUE(r.ModalPreview());
  EXPECT_TRUE(r.ModifyPrepared());
  EXPECT_TRUE(r.PrintIfEmpty());
  EXPECT_EQ(r.ReportType(), TfrReportType::rtSimple);
  EXPECT_TRUE(r.ShowPrintDialog());
  EXPECT_FALSE(r.StoreInDFM());
  EXPECT_FALSE(r.RebuildPrinter());
  // The first seven buttons, page setup off.
  TfrPreviewButtons b = r.PreviewButtons();
  for (TfrPreviewButton on : {TfrPreviewButton::pbZoom, TfrPreviewButton::pbLoad, TfrPreviewButton::pbSave,
                              TfrPreviewButton::pbPrint, TfrPreviewButton::pbFind, TfrPreviewButton::pbHelp,
                              TfrPreviewButton::pbExit})
    EXPECT_TRUE(b.Contains(on));
  EXPECT_FALSE(b.Contains(TfrPreviewButton::pbPageSetup));
}

const char* const kHolderText =
    "object Holder: TLegacyHolder\n"
    "  object Qry_Project: TMemDataSet\n"
    "  end\n"
    "  object frDS_Project: TfrDBDataSet\n"
    "    DataSet = Qry_Project\n"
    "  end\n"
    "  object fr_Project: TfrReport\n"
    "    Dataset = frDS_Project\n"
    "    InitialZoom = pzDefault\n"
    "    PreviewButtons = [pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit]\n"
    "    RebuildPrinter = False\n"
    "    ReportForm = {19000000}\n"
    "  end\n"
    "end\n";

TEST(OlderReport, AnEmptyStoredReportIsItsFormatNumberAndWritesBackSo) {
  std::unique_ptr<TComponent> root(ReadComponentFromText(nullptr, kHolderText, "holder.txt"));
  auto* report = dynamic_cast<TfrReport*>(root->FindComponent("fr_Project"));
  auto* ds = dynamic_cast<TfrDBDataSet*>(root->FindComponent("frDS_Project"));
  ASSERT_NE(report, nullptr);
  ASSERT_NE(ds, nullptr);
  EXPECT_EQ(report->Dataset(), ds);
  EXPECT_EQ(ds->DataSet(), root->FindComponent("Qry_Project"));
  EXPECT_TRUE(report->StoredForm().empty());

  String text = WriteComponentToText(root.get());
  EXPECT_NE(text.find("ReportForm = {\n      19000000}"), String::npos) << text;
  EXPECT_NE(text.find("InitialZoom = pzDefault"), String::npos);  // stated even at its value
  EXPECT_NE(text.find("PreviewButtons = [pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit]"), String::npos);
  EXPECT_NE(text.find("RebuildPrinter = False"), String::npos);
  std::unique_ptr<TComponent> again(ReadComponentFromText(nullptr, text, "again.txt"));
  EXPECT_EQ(WriteComponentToText(again.get()), text);
}

TEST(OlderReport, AStoredDefinitionIsLoadedWhenTheLayoutHasBeenRead) {
  TLegacyHolder holder(nullptr);
  auto* r = new TfrReport(&holder);
  r->SetName("fr_OutBill");
  r->SetStoreInDFM(true);
  TfrPage* page = r->Pages()->Add();
  auto* memo = new TfrMemoView;
  memo->Name = "Memo1";
  memo->Memo.SetText("[Qry.\"名称\"]");
  page->AddObject(memo);
  String text = WriteComponentToText(&holder);
  // The format number, the size, then the definition starting with its version byte.
  EXPECT_NE(text.find("ReportForm = {\n      19000000"), String::npos) << text;
  std::unique_ptr<TComponent> again(ReadComponentFromText(nullptr, text, "again.txt"));
  auto* r2 = dynamic_cast<TfrReport*>(again->FindComponent("fr_OutBill"));
  ASSERT_NE(r2, nullptr);
  EXPECT_TRUE(r2->StoreInDFM());
  EXPECT_TRUE(r2->StoredForm().empty());  // read into the report at Loaded
  ASSERT_EQ(r2->Pages()->Count(), 1);
  TfrView* v = r2->FindObject("Memo1");
  ASSERT_NE(v, nullptr);
  ASSERT_EQ(v->Memo.Count(), 1);
  EXPECT_EQ(v->Memo.Strings(0), "[Qry.\"名称\"]");
}

TEST(OlderReport, AStoredSizeBeyondTheDataIsRefused) {
  const char* text =
      "object Holder: TLegacyHolder\n"
      "  object fr_Project: TfrReport\n"
      "    StoreInDFM = True\n"
      "    ReportForm = {1900000010000000AABB}\n"
      "  end\n"
      "end\n";
  EXPECT_THROW(ReadComponentFromText(nullptr, text, "bad.txt"), EReadError);
}

TEST(OlderReportDataSet, SourceDataSetPrefersTheDataSourceAndNamesItselfWhenThereIsNone) {
  auto data = std::make_unique<TMemDataSet>(nullptr);
  auto other = std::make_unique<TMemDataSet>(nullptr);
  auto source = std::make_unique<TDataSource>(nullptr);
  TfrDBDataSet ds(nullptr);
  ds.SetName("frDS_Project");
  try {
    ds.SourceDataSet();
    FAIL();
  } catch (const EDSError& e) {
    EXPECT_EQ(e.Message(), "Unable to open dataset frDS_Project");
  }
  ds.SetDataSet(data.get());
  EXPECT_EQ(ds.SourceDataSet(), data.get());
  ds.SetDataSource(source.get());  // clears DataSet
  EXPECT_EQ(ds.DataSet(), nullptr);
  EXPECT_THROW(ds.SourceDataSet(), EDSError);  // a source without a dataset gives none
  source->SetDataSet(other.get());
  EXPECT_EQ(ds.SourceDataSet(), other.get());
  ds.SetDataSet(data.get());  // clears DataSource
  EXPECT_EQ(ds.DataSource(), nullptr);
  data.reset();
  EXPECT_EQ(ds.DataSet(), nullptr);
}

TEST(OlderReportDataSet, AFreedDataSetLeavesTheReport) {
  TfrReport r(nullptr);
  auto ds = std::make_unique<TfrDBDataSet>(nullptr);
  r.SetDataset(ds.get());
  ds.reset();
  EXPECT_EQ(r.Dataset(), nullptr);
  // Both engines' names coexist: the values stream under their plain names.
  EXPECT_EQ(EnumName(TRangeBegin::rbCurrent), "rbCurrent");
  EXPECT_EQ(EnumName(TfrPreviewButton::pbPageSetup), "pbPageSetup");
}

}  // namespace
