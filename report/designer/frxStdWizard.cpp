#include "report/designer/frxStdWizard.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/ExtCtrls.h"
#include "gui/GraphicsObjects.h"
#include "gui/ListCtrls.h"
#include "gui/Pictures.h"
#include "gui/MessageBox.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDesignerForm.h"
#include "report/designer/frxDialogFrame.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxFormUtils.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxStdWizard) {}
KELM_PUBLISH(TfrxDotMatrixWizard) {}
KELM_PUBLISH(TfrxStdEmptyWizard) {}
KELM_PUBLISH(TfrxDMPEmptyWizard) {}

KELM_PUBLISH(TfrxStdWizardForm) {
  b.Method("FormCreate", &TfrxStdWizardForm::FormCreate);
  b.Method("FormShow", &TfrxStdWizardForm::FormShow);
  b.Method("FormKeyDown", &TfrxStdWizardForm::FormKeyDown);
  b.Method("DatasetsCBClick", &TfrxStdWizardForm::DatasetsCBClick);
  b.Method("NewTableBClick", &TfrxStdWizardForm::NewTableBClick);
  b.Method("NewQueryBClick", &TfrxStdWizardForm::NewQueryBClick);
  b.Method("AddFieldBClick", &TfrxStdWizardForm::AddFieldBClick);
  b.Method("AddAllFieldsBClick", &TfrxStdWizardForm::AddAllFieldsBClick);
  b.Method("RemoveFieldBClick", &TfrxStdWizardForm::RemoveFieldBClick);
  b.Method("RemoveAllFieldsBClick", &TfrxStdWizardForm::RemoveAllFieldsBClick);
  b.Method("FieldUpBClick", &TfrxStdWizardForm::FieldUpBClick);
  b.Method("FieldDownBClick", &TfrxStdWizardForm::FieldDownBClick);
  b.Method("GroupsTabShow", &TfrxStdWizardForm::GroupsTabShow);
  b.Method("AddGroupBClick", &TfrxStdWizardForm::AddGroupBClick);
  b.Method("RemoveGroupBClick", &TfrxStdWizardForm::RemoveGroupBClick);
  b.Method("GroupUpBClick", &TfrxStdWizardForm::GroupUpBClick);
  b.Method("GroupDownBClick", &TfrxStdWizardForm::GroupDownBClick);
  b.Method("PortraitRBClick", &TfrxStdWizardForm::PortraitRBClick);
  b.Method("TabularRBClick", &TfrxStdWizardForm::TabularRBClick);
  b.Method("StyleLBClick", &TfrxStdWizardForm::StyleLBClick);
  b.Method("LayoutPBPaint", &TfrxStdWizardForm::LayoutPBPaint);
  b.Method("StylePBPaint", &TfrxStdWizardForm::StylePBPaint);
  b.Method("BackBClick", &TfrxStdWizardForm::BackBClick);
  b.Method("NextBClick", &TfrxStdWizardForm::NextBClick);
  b.Method("FinishBClick", &TfrxStdWizardForm::FinishBClick);
}

namespace {

const char* WizardTexts() {
  return "5600=报表向导\r\n5601=数据\r\n5602=Fields\r\n5603=群组\r\n5604=格式\r\n5605=样式\r\n"
         "5606=Step 1. Select the dataset.\r\n5607=Step 2. Select the fields to display.\r\n"
         "5608=Step 3. Create groups (optional).\r\n5609=Step 4. Define the page orientation and data layout.\r\n"
         "5610=Step 5. Choose the report style.\r\n5611=加入 >\r\n5612=全部加入 >>\r\n5613=< 移除\r\n"
         "5614=<< 全部移除\r\n5615=加入 >\r\n5616=< 移除\r\n5617=选取的字段:\r\n5618=可用的字段:\r\n5619=群组:\r\n"
         "5620=方向\r\n5621=格式\r\n5622=纵向\r\n5623=横向\r\n5624=Tabular\r\n5625=Columnar\r\n"
         "5626=调整字段至页面宽度\r\n5627=<< 上一步\r\n5628=下一步 >>\r\n5629=完成\r\n5630=New table...\r\n"
         "5631=New query...\r\n";
}

void MergeWizardTexts() {
  static const bool merged = (ReportResources()->MergeLines(WizardTexts()), true);
  (void)merged;
}

constexpr Extended kMM = fr01cm;  // pixels in a millimetre at 96 per inch
constexpr TColor kNoColor = clNone;

// Empties the report, names it nowhere and gives it one blank page "Page1" with the printer's
// defaults.
TfrxReportPage* ClearToBlankPage(TfrxReport* Report, bool DotMatrix) {
  Report->Clear();
  Report->SetFileName("");
  Report->SetDotMatrixReport(DotMatrix);
  TfrxReportPage* page = DotMatrix ? new TfrxDMPPage(Report) : new TfrxReportPage(Report);
  page->SetName("Page1");
  page->TakePrinterDefaults();
  return page;
}

// The designer drops its selection first and reloads the report whatever happens.
void EmptyReport(TfrxCustomDesigner* Designer, TfrxReport* Report, bool DotMatrix) {
  TScopeExit reload([&] {
    if (Designer) Designer->RefreshFromReport();
  });
  if (Designer) Designer->DropSelection();
  ClearToBlankPage(Report, DotMatrix);
}

// A wizard replaces the report, so unsaved changes are offered for saving first. Cancel, or
// Yes with the save not done, leaves the report alone and runs nothing. Only the designer
// window can save; another designer's Yes saves nothing and so runs nothing either.
bool MayReplaceReport(TfrxCustomWizard* Wizard) {
  TfrxCustomDesigner* designer = Wizard->Designer();
  if (!designer || !designer->Modified()) return true;
  auto* window = dynamic_cast<TfrxDesignerForm*>(designer);
  int answer = IDCANCEL;
  if (window) {
    answer = window->AskSaveChanges();
  } else {
    const String file = Wizard->Report()->FileName();
    answer = AskConfirmation(ReportResources()->TextOf("dsSaveChangesTo") + " " +
                                 (file.empty() ? String("Untitled.fr3") : ExtractFileName(file)) + "?",
                             MB_YESNOCANCEL);
  }
  if (answer == IDNO) return true;
  if (answer == IDYES) return window && window->SaveReport(false, true);
  return false;
}

bool RunWizardWindow(TfrxCustomWizard* Wizard, bool DotMatrix) {
  if (!MayReplaceReport(Wizard)) return false;
  TfrxStdWizardForm form(Wizard->Designer());
  form.InitForm();
  form.Setup(Wizard->Designer(), Wizard->Report(), DotMatrix);
  return form.ShowModal() == mrOk;
}

struct TStyleSpec {
  const char* Name;
  TColor Color;
  TColor FontColor;
  int Height;  // 0: the item's default size
  bool Bold;
  TfrxFrameTypes Frame;
  Extended FrameWidth;
};

const char* const kStyleNames[] = {"Title", "Header", "Group header", "Data", "Group footer", "Header line"};

void AddStyles(TfrxStyleSheet* Sheet, const char* Name, const TStyleSpec (&Items)[6]) {
  TfrxStyles* styles = Sheet->AppendStyles();
  styles->SetName(Name);
  for (const TStyleSpec& s : Items) {
    TfrxStyleItem* item = styles->AppendItem();
    item->SetName(s.Name);
    item->SetColor(s.Color);
    item->Font()->SetColor(s.FontColor);
    if (s.Height) item->Font()->SetHeight(s.Height);
    item->Font()->SetStyle(s.Bold ? TFontStyles{fsBold} : TFontStyles{});
    item->Frame()->SetTyp(s.Frame);
    item->Frame()->SetWidth(s.FrameWidth);
  }
}

// Text objects of the report's pages, each drawn as it lies on its band, offset 10 pixels.
void PaintSample(TPaintBox* Box, TfrxReport* Sample) {
  TCanvas* canvas = Box->Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clWindow);
  canvas->Rectangle(0, 0, Box->Width(), Box->Height());
  if (!Sample) return;
  for (TfrxComponent* c : Sample->AllObjects())
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(c)) memo->DrawOnCanvas(canvas, 1, 1, 10, 10);
}

TfrxMemoView* SampleMemo(TfrxComponent* Band, Extended Left, Extended Top, Extended Width, const String& Text,
                         const String& Style) {
  auto* memo = new TfrxMemoView(Band);
  memo->SetBounds(Left, Top, Width, 18);
  memo->SetText(Text);
  memo->SetStyle(Style);
  return memo;
}

template <class TBandClass> TBandClass* SampleBand(TfrxComponent* Page, Extended Top, Extended Height) {
  auto* band = new TBandClass(Page);
  band->SetBounds(0, Top, 400, Height);
  return band;
}

// The preview report of a layout: a title and sample rows, tabular or columnar.
void BuildLayoutSample(TfrxReport* Sample, bool Tabular) {
  Sample->Clear();
  auto* page = new TfrxReportPage(Sample);
  auto* title = SampleBand<TfrxReportTitle>(page, 0, 26);
  SampleMemo(title, 0, 0, 230, "Report", "Title")->SetHAlign(haCenter);
  static const char* const rows[][4] = {{"Kestrel Trading", "12 Harbour Road", "555-0100", "555-0101"},
                                        {"Linden Works", "4 Mill Lane", "555-0200", "555-0201"},
                                        {"Orchard Supply", "88 Station Street", "555-0300", "555-0301"},
                                        {"Pine & Co", "7 Bridge Row", "555-0400", "555-0401"},
                                        {"Quarry Tools", "31 Hill Avenue", "555-0500", "555-0501"},
                                        {"Riverside Goods", "2 Quay Side", "555-0600", "555-0601"}};
  if (Tabular) {
    auto* header = SampleBand<TfrxPageHeader>(page, 30, 20);
    SampleMemo(header, 0, 0, 100, "Company", "Header");
    SampleMemo(header, 100, 0, 130, "Address", "Header");
    auto* data = SampleBand<TfrxMasterData>(page, 54, 6 * 18);
    for (int r = 0; r < 6; ++r) {
      SampleMemo(data, 0, r * 18, 100, rows[r][0], "Data");
      SampleMemo(data, 100, r * 18, 130, rows[r][1], "Data");
    }
  } else {
    static const char* const labels[] = {"Company", "Address", "Phone", "FAX"};
    auto* data = SampleBand<TfrxMasterData>(page, 30, 2 * 4 * 18 + 10);
    for (int r = 0; r < 2; ++r)
      for (int k = 0; k < 4; ++k) {
        const Extended top = r * (4 * 18 + 10) + k * 18;
        SampleMemo(data, 0, top, 70, labels[k], "Header");
        SampleMemo(data, 75, top, 140, rows[r][k], "Data");
      }
  }
}

// The preview report of a style: every style of a collection at work.
void BuildStyleSample(TfrxReport* Sample) {
  Sample->Clear();
  auto* page = new TfrxReportPage(Sample);
  auto* title = SampleBand<TfrxReportTitle>(page, 0, 26);
  SampleMemo(title, 0, 0, 230, "Customers", "Title")->SetHAlign(haCenter);
  auto* header = SampleBand<TfrxPageHeader>(page, 30, 22);
  SampleMemo(header, 0, 0, 230, "", "Header line")->SetHeight(20);
  SampleMemo(header, 0, 0, 100, "Company", "Header");
  SampleMemo(header, 100, 0, 130, "Address", "Header");
  auto* group = SampleBand<TfrxGroupHeader>(page, 56, 20);
  SampleMemo(group, 0, 0, 230, "K", "Group header");
  auto* data = SampleBand<TfrxMasterData>(page, 80, 54);
  static const char* const rows[][2] = {
      {"Kestrel Trading", "12 Harbour Road"}, {"Kingfisher Ltd", "9 Marsh Way"}, {"Knoll Farm", "1 Upper Field"}};
  for (int r = 0; r < 3; ++r) {
    SampleMemo(data, 0, r * 18, 100, rows[r][0], "Data");
    SampleMemo(data, 100, r * 18, 130, rows[r][1], "Data");
  }
  auto* footer = SampleBand<TfrxGroupFooter>(page, 138, 20);
  SampleMemo(footer, 0, 0, 230, "Count: 3", "Group footer");
}

// Moves the selected entries of From to the end of To, then selects where the first one was.
void MoveSelected(TListBox* From, TListBox* To) {
  if (From->ItemIndex() < 0) return;
  int first = -1;
  for (int i = 0; i < From->Items()->Count();) {
    if (From->Selected(i)) {
      if (first < 0) first = i;
      To->Items()->Add(From->Items()->Strings(i));
      From->Items()->Delete(i);
    } else {
      ++i;
    }
  }
  if (first < 0) return;
  if (first >= From->Items()->Count()) --first;
  if (first >= 0 && From->MultiSelect()) From->SetSelected(first, true);
  From->SetItemIndex(first);
}

void ExchangeCurrent(TListBox* List, int Step) {
  const int at = List->ItemIndex();
  const int to = at + Step;
  if (at < 0 || to < 0 || to >= List->Items()->Count()) return;
  List->Items()->Exchange(at, to);
  if (List->MultiSelect())
    for (int i = 0; i < List->Items()->Count(); ++i) List->SetSelected(i, i == to);
  List->SetItemIndex(to);
}

}  // namespace

// ================================================================ the wizards

String TfrxStdWizard::Description() const { return ReportResources()->TextOf("wzStd"); }
bool TfrxStdWizard::Execute() { return RunWizardWindow(this, false); }

String TfrxDotMatrixWizard::Description() const { return ReportResources()->TextOf("wzDMP"); }
bool TfrxDotMatrixWizard::Execute() { return RunWizardWindow(this, true); }

String TfrxStdEmptyWizard::Description() const { return ReportResources()->TextOf("wzStdEmpty"); }
bool TfrxStdEmptyWizard::Execute() {
  if (!MayReplaceReport(this)) return false;
  EmptyReport(Designer(), Report(), false);
  return true;
}

String TfrxDMPEmptyWizard::Description() const { return ReportResources()->TextOf("wzDMPEmpty"); }
bool TfrxDMPEmptyWizard::Execute() {
  if (!MayReplaceReport(this)) return false;
  EmptyReport(Designer(), Report(), true);
  return true;
}

void FillWizardStyleSheet(TfrxStyleSheet* Sheet) {
  const TfrxFrameTypes none{}, bottom{ftBottom}, top{ftTop};
  const TColor white = 16777215;
  AddStyles(Sheet, "Vizerav Report",
            {{"Title", 8388608, white, -16, true, none, 1},
             {"Header", kNoColor, 128, 0, true, none, 1},
             {"Group header", 15790320, clBlack, 0, true, none, 1},
             {"Data", kNoColor, clBlack, 0, false, none, 1},
             {"Group footer", kNoColor, clBlack, 0, true, none, 1},
             {"Header line", kNoColor, clBlack, 0, false, bottom, 2}});
  AddStyles(Sheet, "Standard",
            {{"Title", kNoColor, clBlack, -16, true, none, 1},
             {"Header", kNoColor, clBlack, 0, true, none, 1},
             {"Group header", kNoColor, clBlack, 0, false, bottom, 1},
             {"Data", kNoColor, clBlack, 0, false, none, 1},
             {"Group footer", kNoColor, clBlack, 0, false, top, 1},
             {"Header line", kNoColor, clBlack, 0, false, bottom, 2}});
  AddStyles(Sheet, "Soft gray",
            {{"Title", 14211288, clBlack, -16, true, none, 1},
             {"Header", 15790320, clBlack, 0, true, none, 1},
             {"Group header", 15790320, clBlack, 0, true, none, 1},
             {"Data", kNoColor, clBlack, 0, false, none, 1},
             {"Group footer", kNoColor, clBlack, 0, false, top, 1},
             {"Header line", kNoColor, clBlack, 0, false, none, 2}});
  AddStyles(Sheet, "Corporate",
            {{"Title", 0, white, -16, true, none, 1},
             {"Header", 0, white, 0, true, none, 1},
             {"Group header", 52479, clBlack, 0, true, none, 1},
             {"Data", kNoColor, clBlack, 0, false, none, 1},
             {"Group footer", kNoColor, clBlack, 0, true, none, 1},
             {"Header line", kNoColor, clBlack, 0, false, none, 2}});
}

// ================================================================ the wizard window

TfrxStdWizardForm::TfrxStdWizardForm(TComponent* AOwner)
    : inherited(AOwner),
      FStyleSheet(std::make_unique<TfrxStyleSheet>()),
      FLayoutSample(std::make_unique<TfrxReport>(nullptr)),
      FStyleSample(std::make_unique<TfrxReport>(nullptr)) {}

TfrxStdWizardForm::~TfrxStdWizardForm() = default;

void TfrxStdWizardForm::Setup(TfrxCustomDesigner* Designer, TfrxReport* Report, bool DotMatrix) {
  FDesigner = Designer;
  FReport = Report;
  FDotMatrix = DotMatrix;
}

void TfrxStdWizardForm::FormCreate(TObject*) {
  MergeWizardTexts();
  auto text = [](int Id) { return ResourceText(Id); };
  SetCaption(text(5600));
  DataTab->SetCaption(text(5601));
  FieldsTab->SetCaption(text(5602));
  GroupsTab->SetCaption(text(5603));
  LayoutTab->SetCaption(text(5604));
  StyleTab->SetCaption(text(5605));
  Step1L->SetCaption(text(5606));
  Step2L->SetCaption(text(5607));
  Step3L->SetCaption(text(5608));
  Step4L->SetCaption(text(5609));
  Step5L->SetCaption(text(5610));
  AddFieldB->SetCaption(text(5611));
  AddAllFieldsB->SetCaption(text(5612));
  RemoveFieldB->SetCaption(text(5613));
  RemoveAllFieldsB->SetCaption(text(5614));
  AddGroupB->SetCaption(text(5615));
  RemoveGroupB->SetCaption(text(5616));
  SelectedFieldsL->SetCaption(text(5617));
  AvailableFieldsL->SetCaption(text(5618));
  AvailableFieldsL1->SetCaption(text(5618));
  GroupsL->SetCaption(text(5619));
  OrientationL->SetCaption(text(5620));
  LayoutL->SetCaption(text(5621));
  PortraitRB->SetCaption(text(5622));
  LandscapeRB->SetCaption(text(5623));
  TabularRB->SetCaption(text(5624));
  ColumnarRB->SetCaption(text(5625));
  FitWidthCB->SetCaption(text(5626));
  BackB->SetCaption(text(5627));
  NextB->SetCaption(text(5628));
  FinishB->SetCaption(text(5629));
  NewTableB->SetCaption(text(5630));
  NewQueryB->SetCaption(text(5631));

  const String sheetFile = ProgramFolder() + "wizstyle.xml";
  if (FileExists(sheetFile))
    FStyleSheet->ReadFromFile(sheetFile);
  else
    FillWizardStyleSheet(FStyleSheet.get());
  BuildStyleSample(FStyleSample.get());
}

void TfrxStdWizardForm::FormShow(TObject*) {
  // The report is left alone until Finish, so a cancelled wizard changes nothing.
  TStringList found;
  CollectComponentsOfClass(FReport, TfrxDataSet::StaticClass(), &found, nullptr);
  DatasetsCB->Items()->Clear();
  for (int i = 0; i < found.Count(); ++i) {
    auto* ds = static_cast<TfrxDataSet*>(found.Objects(i));
    // The report's own data sets go with its pages when Finish empties it.
    if (ds->FindParentReport() == FReport || ds->Owner() == FReport) continue;
    DatasetsCB->Items()->AddObject(ds->UserName(), ds);
  }
  if (DatasetsCB->Items()->Count() > 0) DatasetsCB->SetItemIndex(0);
  FillFields();

  FStyleSheet->ListNames(StyleLB->Items());
  if (StyleLB->Items()->Count() > 0) StyleLB->SetItemIndex(0);
  StyleLBClick(nullptr);
  TabularRBClick(nullptr);
  if (FDotMatrix) StyleTab->SetTabVisible(false);
  Pages->SetActivePage(DataTab);
  UpdateButtons();
}

void TfrxStdWizardForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

TfrxDataSet* TfrxStdWizardForm::ChosenDataSet() const {
  const int at = DatasetsCB->ItemIndex();
  return at < 0 ? nullptr : static_cast<TfrxDataSet*>(DatasetsCB->Items()->Objects(at));
}

void TfrxStdWizardForm::FillFields() {
  FieldsLB->Items()->Clear();
  SelectedFieldsLB->Items()->Clear();
  if (TfrxDataSet* ds = ChosenDataSet()) ds->GetFieldList(FieldsLB->Items());
  if (FieldsLB->Items()->Count() > 0) {
    FieldsLB->SetItemIndex(0);
    FieldsLB->SetSelected(0, true);
  }
  ResetGroups();
}

void TfrxStdWizardForm::ResetGroups() {
  AvailableFieldsLB->Items()->Assign(SelectedFieldsLB->Items());
  GroupsLB->Items()->Clear();
}

void TfrxStdWizardForm::DatasetsCBClick(TObject*) { FillFields(); }

void TfrxStdWizardForm::RunDataWizard(const String& ClassName) {
  TfrxWizardCollection& wizards = WizardRegistry();
  for (int i = 0; i < wizards.Count(); ++i) {
    if (wizards.ItemAt(i).WizardClass->Name() != ClassName) continue;
    std::unique_ptr<TObject> object(wizards.ItemAt(i).WizardClass->Create(FDesigner));
    auto* wizard = dynamic_cast<TfrxCustomWizard*>(object.get());
    if (!wizard) return;
    FReport->DataSets()->Clear();
    if (wizard->Execute()) {
      TfrxDataSet* made = FReport->DataSets()->Count() > 0 ? FReport->DataSets()->Items(0)->DataSet() : nullptr;
      FormShow(nullptr);
      const int at = DatasetsCB->Items()->IndexOfObject(made);
      if (at >= 0) DatasetsCB->SetItemIndex(at);
      FillFields();
      FReport->DataSets()->Clear();
      if (FDesigner) FDesigner->RefreshFromReport();
    }
    return;
  }
}

void TfrxStdWizardForm::NewTableBClick(TObject*) { RunDataWizard("TfrxDBTableWizard"); }
void TfrxStdWizardForm::NewQueryBClick(TObject*) { RunDataWizard("TfrxDBQueryWizard"); }

void TfrxStdWizardForm::AddFieldBClick(TObject*) {
  MoveSelected(FieldsLB, SelectedFieldsLB);
  ResetGroups();
}

void TfrxStdWizardForm::AddAllFieldsBClick(TObject*) {
  if (FieldsLB->Items()->Count() == 0) return;
  SelectedFieldsLB->Items()->Clear();
  if (TfrxDataSet* ds = ChosenDataSet()) ds->GetFieldList(SelectedFieldsLB->Items());
  FieldsLB->Items()->Clear();
  ResetGroups();
}

void TfrxStdWizardForm::RemoveFieldBClick(TObject*) {
  MoveSelected(SelectedFieldsLB, FieldsLB);
  ResetGroups();
}

void TfrxStdWizardForm::RemoveAllFieldsBClick(TObject*) { FillFields(); }

void TfrxStdWizardForm::FieldUpBClick(TObject*) {
  ExchangeCurrent(SelectedFieldsLB, -1);
  ResetGroups();
}

void TfrxStdWizardForm::FieldDownBClick(TObject*) {
  ExchangeCurrent(SelectedFieldsLB, 1);
  ResetGroups();
}

void TfrxStdWizardForm::GroupsTabShow(TObject*) {
  if (AvailableFieldsLB->Items()->Count() > 0 && AvailableFieldsLB->ItemIndex() < 0) AvailableFieldsLB->SetItemIndex(0);
}

void TfrxStdWizardForm::AddGroupBClick(TObject*) {
  const int at = AvailableFieldsLB->ItemIndex();
  if (at < 0) return;
  GroupsLB->Items()->Add(AvailableFieldsLB->Items()->Strings(at));
  AvailableFieldsLB->Items()->Delete(at);
  AvailableFieldsLB->SetItemIndex(std::min(at, AvailableFieldsLB->Items()->Count() - 1));
}

void TfrxStdWizardForm::RemoveGroupBClick(TObject*) {
  const int at = GroupsLB->ItemIndex();
  if (at < 0) return;
  AvailableFieldsLB->Items()->Add(GroupsLB->Items()->Strings(at));
  GroupsLB->Items()->Delete(at);
  GroupsLB->SetItemIndex(std::min(at, GroupsLB->Items()->Count() - 1));
}

void TfrxStdWizardForm::GroupUpBClick(TObject*) { ExchangeCurrent(GroupsLB, -1); }
void TfrxStdWizardForm::GroupDownBClick(TObject*) { ExchangeCurrent(GroupsLB, 1); }

void TfrxStdWizardForm::PortraitRBClick(TObject*) {
  PortraitImg->SetVisible(PortraitRB->Checked());
  LandscapeImg->SetVisible(!PortraitRB->Checked());
}

void TfrxStdWizardForm::TabularRBClick(TObject*) {
  BuildLayoutSample(FLayoutSample.get(), TabularRB->Checked());
  if (FStyleSheet->StylesCount() > 0) FLayoutSample->AssignStyles(FStyleSheet->ItemAt(0));
  LayoutPB->Invalidate();
}

void TfrxStdWizardForm::StyleLBClick(TObject*) {
  const int at = StyleLB->ItemIndex();
  if (at >= 0 && at < FStyleSheet->StylesCount()) FStyleSample->AssignStyles(FStyleSheet->ItemAt(at));
  StylePB->Invalidate();
}

void TfrxStdWizardForm::LayoutPBPaint(TObject*) { PaintSample(LayoutPB, FLayoutSample.get()); }
void TfrxStdWizardForm::StylePBPaint(TObject*) { PaintSample(StylePB, FStyleSample.get()); }

void TfrxStdWizardForm::UpdateButtons() {
  TTabSheet* last = FDotMatrix ? LayoutTab : StyleTab;
  NextB->SetEnabled(Pages->ActivePage() != last);
  BackB->SetEnabled(Pages->ActivePage() != DataTab);
}

void TfrxStdWizardForm::BackBClick(TObject*) {
  Pages->SelectNextPage(false);
  UpdateButtons();
}

void TfrxStdWizardForm::NextBClick(TObject*) {
  Pages->SelectNextPage(true);
  if (Pages->ActivePage() == GroupsTab) GroupsTabShow(nullptr);
  UpdateButtons();
}

void TfrxStdWizardForm::FinishBClick(TObject*) { BuildReport(); }

void TfrxStdWizardForm::BuildReport() {
  TfrxDataSet* ds = ChosenDataSet();
  TfrxStyles* styles = nullptr;
  if (!FDotMatrix && StyleLB->ItemIndex() >= 0 && StyleLB->ItemIndex() < FStyleSheet->StylesCount())
    styles = FStyleSheet->ItemAt(StyleLB->ItemIndex());

  TScopeExit reload([&] {
    if (FDesigner) FDesigner->RefreshFromReport();
  });
  if (FDesigner) FDesigner->DropSelection();
  // The emptying happens here, not when the window opens: Cancel keeps the report whole.
  TfrxReportPage* page = ClearToBlankPage(FReport, FDotMatrix);
  if (ds) FReport->DataSets()->AddDataSet(ds);

  page->SetOrientation(PortraitRB->Checked() ? poPortrait : poLandscape);
  const Extended pageW = (page->PaperWidth() - page->LeftMargin() - page->RightMargin()) * 96 / 25.4;

  auto newMemo = [&](TfrxComponent* Parent) -> TfrxCustomMemoView* {
    TfrxCustomMemoView* m = FDotMatrix ? static_cast<TfrxCustomMemoView*>(new TfrxDMPMemoView(Parent))
                                       : static_cast<TfrxCustomMemoView*>(new TfrxMemoView(Parent));
    m->AssignNumberedName();
    return m;
  };
  auto newBand = [&](TfrxBand* Band, Extended Top, Extended Height) {
    Band->SetTop(Top);
    Band->SetHeight(Height);
    Band->AssignNumberedName();
    return Band;
  };

  // Widths: the header's need against the data's need, each measured with its style.
  const int fieldCount = AvailableFieldsLB->Items()->Count();
  std::vector<String> fields;
  for (int i = 0; i < fieldCount; ++i) fields.push_back(AvailableFieldsLB->Items()->Strings(i));
  std::vector<Extended> H(fieldCount), D(fieldCount), W(fieldCount);
  {
    std::unique_ptr<TfrxCustomMemoView> headerM, dataM;
    if (FDotMatrix) {
      headerM = std::make_unique<TfrxDMPMemoView>(nullptr);
      dataM = std::make_unique<TfrxDMPMemoView>(nullptr);
    } else {
      headerM = std::make_unique<TfrxMemoView>(nullptr);
      dataM = std::make_unique<TfrxMemoView>(nullptr);
      auto style = [&](TfrxCustomMemoView* M, const char* Name) {
        TfrxStyleItem* item = styles ? styles->FindByName(Name) : nullptr;
        if (!item) return;
        M->SetColor(item->Color());
        M->SetFont(item->Font());
        M->SetParentFont(false);
        M->Frame()->Assign(item->Frame());
      };
      style(headerM.get(), "Header");
      style(dataM.get(), "Data");
    }
    for (int i = 0; i < fieldCount; ++i) {
      headerM->SetText(fields[i]);
      H[i] = headerM->CalcWidth();
      dataM->SetText(String(std::max(0, ds ? ds->DisplayWidth(fields[i]) : 0), '0'));
      D[i] = dataM->CalcWidth();
    }
  }
  Extended excess = 0, sumW = 0, sumH = 0, maxH = 0;
  for (int i = 0; i < fieldCount; ++i) {
    W[i] = D[i] >= H[i] ? D[i] : H[i];
    if (D[i] >= H[i]) excess += D[i] - H[i];
    sumW += W[i];
    sumH += H[i];
    maxH = std::max(maxH, H[i]);
  }
  if (FitWidthCB->Checked() && sumW > pageW) {
    if (sumH > pageW) {
      for (int i = 0; i < fieldCount; ++i) W[i] = H[i] * pageW / sumH;
    } else {
      for (int i = 0; i < fieldCount; ++i)
        if (D[i] > H[i]) W[i] -= (D[i] - H[i]) / excess * (sumW - pageW);
    }
  }

  const bool tabular = TabularRB->Checked();
  // Title.
  auto* title = newBand(new TfrxReportTitle(page), 0, 7 * kMM);
  TfrxCustomMemoView* m = newMemo(title);
  m->SetHeight(6 * kMM);
  m->SetAlign(baWidth);
  m->SetHAlign(haCenter);
  m->SetVAlign(vaCenter);
  m->SetText("Report");
  m->SetStyle("Title");
  Extended curY = 30;

  // Page header with the field names.
  if (tabular) {
    auto* header = newBand(new TfrxPageHeader(page), curY, 7 * kMM);
    TfrxCustomMemoView* line = newMemo(header);
    line->SetBounds(0, 0, pageW, 6 * kMM);
    line->SetStyle("Header line");
    Extended x = 0, y = 0;
    for (int i = 0; i < fieldCount; ++i) {
      if (x + W[i] > pageW + 1) {
        x = 0;
        y += 6 * kMM;
      }
      TfrxCustomMemoView* h = newMemo(header);
      h->SetBounds(x, y, W[i], 6 * kMM);
      h->SetText(fields[i]);
      h->SetStyle("Header");
      x += W[i];
    }
    header->SetHeight(y + 6 * kMM);
    line->SetHeight(header->Height());
    if (FDotMatrix) delete line;
    curY += header->Height();
  }

  // Group headers.
  for (int g = 0; g < GroupsLB->Items()->Count(); ++g) {
    const String field = GroupsLB->Items()->Strings(g);
    auto* group = static_cast<TfrxGroupHeader*>(newBand(new TfrxGroupHeader(page), curY, 7 * kMM));
    group->SetCondition((ds ? ds->UserName() : String()) + ".\"" + field + "\"");
    curY += 30;
    TfrxCustomMemoView* gm = newMemo(group);
    gm->SetHeight(6 * kMM);
    gm->SetAlign(baWidth);
    gm->SetVAlign(vaCenter);
    gm->SetDataSet(ds);
    gm->SetDataField(field);
    gm->SetStyle("Group header");
  }

  // Master data.
  auto* master = static_cast<TfrxMasterData*>(newBand(new TfrxMasterData(page), curY, 0));
  master->SetDataSet(ds);
  curY += 30;
  Extended x = 0, y = 0;
  for (int i = 0; i < fieldCount; ++i) {
    if (!tabular) {
      TfrxCustomMemoView* label = newMemo(master);
      label->SetBounds(0, y, maxH, 5 * kMM);
      label->SetText(fields[i]);
      label->SetStyle("Header");
      TfrxCustomMemoView* value = newMemo(master);
      value->SetBounds(maxH + 5 * kMM, y, D[i], 5 * kMM);
      value->SetDataSet(ds);
      value->SetDataField(fields[i]);
      value->SetStyle("Data");
      y += 5 * kMM;
    } else {
      if (x + W[i] > pageW + 1) {
        x = 0;
        y += 5 * kMM;
      }
      TfrxCustomMemoView* value = newMemo(master);
      value->SetBounds(x, y, W[i], 5 * kMM);
      value->SetDataSet(ds);
      value->SetDataField(fields[i]);
      value->SetStyle("Data");
      x += W[i];
    }
  }
  master->SetHeight(y + 5 * kMM);
  curY += master->Height();

  // Group footers.
  for (int k = 0; k < GroupsLB->Items()->Count(); ++k) newBand(new TfrxGroupFooter(page), 1000 - 30 * k, 0);

  // Page footer.
  auto* footer = newBand(new TfrxPageFooter(page), 1000, 7 * kMM);
  TfrxCustomMemoView* rule = newMemo(footer);
  rule->SetAlign(baWidth);
  rule->Frame()->SetTyp(TfrxFrameTypes{ftTop});
  rule->Frame()->SetWidth(2);
  TfrxCustomMemoView* date = newMemo(footer);
  date->SetBounds(0, 1, date->Width(), 6 * kMM);
  date->SetAutoWidth(true);
  date->SetText("[Date] [Time]");
  TfrxCustomMemoView* pageNo = newMemo(footer);
  pageNo->SetBounds(100, 1, 2 * 37.7953, 6 * kMM);
  pageNo->SetAlign(baRight);
  pageNo->SetHAlign(haRight);
  pageNo->SetText("Page [Page#]");

  if (!FDotMatrix && styles) FReport->AssignStyles(styles);
}

// ================================================================ start-up

namespace {

// In the registry from start-up until the program ends; the bitmaps live as long.
struct TWizardRegistration {
  TBitmap Standard, Empty;
  TWizardRegistration() {
    Standard.LoadFromResourceName("frxSTDWIZARD");
    Empty.LoadFromResourceName("frxSTDWIZARD1");
    TfrxWizardCollection& wizards = WizardRegistry();
    wizards.RegisterWizardClass(TfrxStdWizard::StaticClass(), &Standard, false);
    wizards.RegisterWizardClass(TfrxStdEmptyWizard::StaticClass(), &Empty, false);
    wizards.RegisterWizardClass(TfrxDotMatrixWizard::StaticClass(), &Standard, false);
    wizards.RegisterWizardClass(TfrxDMPEmptyWizard::StaticClass(), &Empty, false);
  }
  ~TWizardRegistration() {
    TfrxWizardCollection& wizards = WizardRegistry();
    wizards.UnregisterWizardClass(TfrxStdWizard::StaticClass());
    wizards.UnregisterWizardClass(TfrxStdEmptyWizard::StaticClass());
    wizards.UnregisterWizardClass(TfrxDotMatrixWizard::StaticClass());
    wizards.UnregisterWizardClass(TfrxDMPEmptyWizard::StaticClass());
  }
};

const TWizardRegistration kWizardRegistration;

}  // namespace
