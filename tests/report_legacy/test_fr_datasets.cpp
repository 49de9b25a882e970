// The older engine's data sets walking their ranges, the look-ups of data sets, components
// and fields by name, field values; and the virtual printer's papers and page geometry.
#include "FrTestSupport.h"

#include "report_legacy/FR_DBRel.h"

#include "core/StringList.h"
#include "data/Fields.h"
#include "data/MemDataSet.h"
#include "gui/DataModule.h"

namespace {

using frtest::TEngineTest;

class FrDataSets : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Owner = std::make_unique<TComponent>(nullptr);
    Report = new TfrReport(Owner.get());
    frState().CurrentReport = Report;
    Data = new TMemDataSet(Owner.get());
    Data->SetName("Qry");
    Data->FieldDefs()->Add("Code", ftInteger);
    Data->FieldDefs()->Add("a.b", ftString, 10);
    Data->FieldDefs()->Add("Note", ftString, 10);
    for (int i = 1; i <= 10; ++i) Data->AddRow({Variant(i), Variant("r" + IntToStr(i)), i == 2 ? Null() : Variant("n")});
    Data->Open();
    DS = new TfrDBDataSet(Owner.get());
    DS->SetName("frDS");
    DS->SetDataSet(Data);
    DS->SetOnNext(TNotifyEvent::Lambda([this](TObject*) { ++Nexts; }));
  }

  // Codes of the records a band would print.
  std::vector<int> Walk(TfrDataset* ds) {
    std::vector<int> codes;
    ds->BeginRun();
    ds->GoFirst();
    while (!ds->AtEnd() && codes.size() < 100) {
      codes.push_back(Data->FieldByName("Code")->AsInteger());
      ds->GoNext();
    }
    ds->EndRun();
    return codes;
  }

  std::unique_ptr<TComponent> Owner;
  TfrReport* Report = nullptr;
  TMemDataSet* Data = nullptr;
  TfrDBDataSet* DS = nullptr;
  int Nexts = 0;
};

TEST_F(FrDataSets, RangesDecideWhichRecordsAWalkVisits) {
  struct Case {
    TRangeBegin Begin;
    TRangeEnd End;
    int Count;
    std::vector<int> Expect;
    int Nexts;
  };
  const Case cases[] = {
      {TRangeBegin::rbFirst, TRangeEnd::reLast, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 10},
      {TRangeBegin::rbFirst, TRangeEnd::reCount, 3, {1, 2, 3}, 2},
      {TRangeBegin::rbFirst, TRangeEnd::reCount, 30, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 10},
      {TRangeBegin::rbCurrent, TRangeEnd::reCurrent, 0, {4}, 0},
      {TRangeBegin::rbFirst, TRangeEnd::reCurrent, 0, {1, 2, 3, 4}, 3},
      {TRangeBegin::rbCurrent, TRangeEnd::reLast, 0, {4, 5, 6, 7, 8, 9, 10}, 7},
  };
  for (const Case& c : cases) {
    Data->First();
    Data->MoveBy(3);  // the fourth record is current
    DS->SetRangeBegin(c.Begin);
    DS->SetRangeEnd(c.End);
    DS->SetRangeEndCount(c.Count);
    Nexts = 0;
    EXPECT_EQ(Walk(DS), c.Expect) << int(c.Begin) << "/" << int(c.End) << "/" << c.Count;
    EXPECT_EQ(Nexts, c.Nexts) << int(c.Begin) << "/" << int(c.End) << "/" << c.Count;
    if (c.Begin == TRangeBegin::rbCurrent || c.End == TRangeEnd::reCurrent)
      EXPECT_EQ(Data->FieldByName("Code")->AsInteger(), 4);  // back where it began
  }
}

TEST_F(FrDataSets, AnEmptyDataSetEndsAtOnceAndNoDataSetIsAnError) {
  Data->Close();
  Data->EmptyTable();
  Data->Open();
  DS->BeginRun();
  DS->GoFirst();
  EXPECT_TRUE(DS->AtEnd());
  DS->EndRun();
  TfrDBDataSet none(nullptr);
  none.SetName("frNone");
  EXPECT_THROW(none.BeginRun(), EDSError);
  EXPECT_THROW(none.GoNext(), EDSError);
  // DataSet and DataSource exclude each other.
  TDataSource source(nullptr);
  DS->SetDataSource(&source);
  EXPECT_EQ(DS->DataSet(), nullptr);
  DS->SetDataSet(Data);
  EXPECT_EQ(DS->DataSource(), nullptr);
}

TEST_F(FrDataSets, FindDatasetMakesCountedSetsAndFindsComponents) {
  bool created = false;
  TfrDataset* five = FindDataset("5", created);
  ASSERT_NE(five, nullptr);
  EXPECT_TRUE(created);
  int records = 0;
  five->GoFirst();
  while (!five->AtEnd()) {
    ++records;
    five->GoNext();
  }
  EXPECT_EQ(records, 5);
  delete five;

  EXPECT_EQ(FindDataset("frDS", created), DS);
  EXPECT_FALSE(created);
  DS->EndRun();
  EXPECT_EQ(FindDataset("Nothing", created), nullptr);
  EXPECT_THROW(FindDataset("Qry", created), EInvalidCast);  // no report data set
  EXPECT_THROW(FindDataset("5x", created), EConvertError);

  // A user data set ends only when told.
  TzeVodaDataset user(nullptr);
  int calls = 0;
  user.SetOnCheckEOF(TCheckEOFEvent::Lambda([&](TObject*, bool& eof) { eof = ++calls > 3; }));
  user.GoFirst();
  while (!user.AtEnd()) user.GoNext();
  EXPECT_EQ(user.RecordIndex(), 3);
}

TEST_F(FrDataSets, FieldReferencesResolveToComponentsAndFields) {
  struct Case {
    const char* Text;
    bool Found;
    const char* Field;
  };
  const Case cases[] = {
      {"Qry.\"a.b\"", true, "a.b"},
      {"Qry.Code", true, "Code"},
      {"Qry.\"Missing\"", true, ""},
      {"Nobody.Code", false, ""},
      {"A.B.C.D.E", false, ""},
  };
  for (const Case& c : cases) {
    TComponent* component = nullptr;
    String field;
    ParseFieldReference(c.Text, component, field);
    EXPECT_EQ(component == Data, c.Found) << c.Text;
    EXPECT_EQ(field, c.Field) << c.Text;
  }
  TComponent* component = Data;
  String field;
  ParseFieldReference("\"Note\"", component, field);
  EXPECT_EQ(field, "Note");
  EXPECT_EQ(UnquoteName("\"x\""), "x");
  EXPECT_EQ(UnquoteName("\"\""), "\"\"");

  Data->First();
  Data->Next();  // the second record has a Null note
  EXPECT_TRUE(IsFieldNull("Qry.Note"));
  Data->Next();
  EXPECT_FALSE(IsFieldNull("Qry.Note"));
  EXPECT_TRUE(IsFieldNull("Gone.Note"));
  Data->First();
  Data->Next();
  EXPECT_EQ(VarToStr(FieldValueAsVariant(Data->FieldByName("Note"))), "");  // Null text is ''
  EXPECT_EQ(FieldValueAsVariant(Data->FieldByName("Code")).AsInteger(), 2);

  // Until bands exist, the band's data set is the report's.
  EXPECT_EQ(CurrentBandDataSet(), nullptr);
  Report->SetDataset(DS);
  EXPECT_EQ(CurrentBandDataSet(), Data);
  Report->SetUseDefaultDataSetName(true);
  EXPECT_TRUE(IsFieldNull("Note"));

  TStringList names;
  CollectFieldNames(Data, &names);
  EXPECT_EQ(names.CommaText(), "Code,a.b,Note");
  CollectFieldNames(Report, &names);
  EXPECT_EQ(names.Count(), 0);
}

TEST_F(FrDataSets, ComponentsAreFoundOnFormsAndDataModules) {
  auto* module = new TDataModule(nullptr);
  module->SetName("Frm_Data");
  auto* q = new TMemDataSet(module);
  q->SetName("Qry_Project");
  EXPECT_EQ(FindComponentByName(Owner.get(), "Frm_Data.Qry_Project"), q);
  EXPECT_EQ(FindComponentByName(Owner.get(), "Qry"), Data);
  EXPECT_EQ(FindComponentByName(Owner.get(), "Frm_Data.Nothing"), nullptr);
  TStringList list;
  CollectComponents(TDataSet::StaticClass(), &list, nullptr);
  EXPECT_GE(list.IndexOf("Frm_Data.Qry_Project"), 0);
  CollectComponents(TDataSet::StaticClass(), &list, q);
  EXPECT_LT(list.IndexOf("Frm_Data.Qry_Project"), 0);
  delete module;
}

// ================================================================ the virtual printer

class FrPrinter : public TEngineTest {};

TEST_F(FrPrinter, TheVirtualPrinterKnowsItsPapersAndPageGeometry) {
  TfrPrinter* prn = GlobalPrinter();
  ASSERT_EQ(prn->PrinterNames->Count(), 1);
  EXPECT_EQ(prn->PrinterNames->Strings(0), "虚拟打印机");
  EXPECT_TRUE(prn->IsVirtual());
  EXPECT_EQ(prn->PaperNameList->Count(), frPaperCount);
  EXPECT_EQ(prn->PaperCodes.back(), 256);
  EXPECT_EQ(prn->PaperNameList->Strings(8), "A4");
  EXPECT_EQ(DefaultPaperSize(), 9);
  EXPECT_TRUE(PrinterReady());
  EXPECT_EQ(prn->PaperWidth, 2100);
  EXPECT_EQ(prn->PaperHeight, 2970);

  TPrnPageInfo info;
  prn->GetPageInfo(info);
  EXPECT_EQ(info.PageWidth, 758);
  EXPECT_EQ(info.PageHeight, 1071);
  EXPECT_EQ(info.OffsetX, 18);
  EXPECT_EQ(info.OffsetY, 18);
  EXPECT_EQ(info.PrintableWidth, 722);
  EXPECT_EQ(info.PrintableHeight, 1035);

  prn->SetPaper(9, 0, 0, -1, 1);
  EXPECT_EQ(prn->PaperWidth, 2970);
  EXPECT_EQ(prn->PaperHeight, 2100);

  prn->SetPaper(256, 2100, 2970, 3, 0);
  EXPECT_TRUE(prn->SameSettings(256, 2101, 2969, 7, 0));
  EXPECT_FALSE(prn->SameSettings(256, 2102, 2970, 3, 0));
  EXPECT_FALSE(prn->SameSettings(256, 2100, 2970, 3, 1));
  prn->SetPaper(11, 0, 0, 2, 0);
  EXPECT_TRUE(prn->SameSettings(11, 0, 0, -1, 0));
  EXPECT_FALSE(prn->SameSettings(11, 0, 0, 4, 0));

  // A page asks the printer for its paper.
  TfrPage page(8, 0, 0, -1, 0);
  EXPECT_EQ(page.Width, 2970);
  EXPECT_EQ(page.Height, 4200);
  EXPECT_EQ(page.GetScriptProp("Width").AsInteger(), 1069);  // 297 mm at the report's 3.6 per mm
  page.SetScriptProp("Width", Variant(1069));
  EXPECT_EQ(page.Width, 2969);
}

}  // namespace
