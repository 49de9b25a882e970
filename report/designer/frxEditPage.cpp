#include "report/designer/frxEditPage.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"
#include "gui/ExtCtrls.h"
#include "report/frxPages.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxPageEditorForm) {
  b.Method("FormCreate", &TfrxPageEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxPageEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxPageEditorForm::FormShow);
  b.Method("FormHide", &TfrxPageEditorForm::FormHide);
  b.Method("SizeCBClick", &TfrxPageEditorForm::SizeCBClick);
  b.Method("PortraitRBClick", &TfrxPageEditorForm::PortraitRBClick);
  b.Method("WidthEChange", &TfrxPageEditorForm::WidthEChange);
  b.Method("UpDown1Click", &TfrxPageEditorForm::UpDown1Click);
  b.Method("OKBClick", &TfrxPageEditorForm::OKBClick);
}

namespace {

constexpr int kCustomPaper = 256, kDefaultBin = 7;

TPrinterOrientation OrientationOf(const TRadioButton* Portrait) {
  return Portrait->Checked() ? poPortrait : poLandscape;
}

}  // namespace

void TfrxPageEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(2700));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  TControl* captioned[] = {TabSheet1, Label1,  Label2,     Label11,     Label12, Label3,  Label4,
                           Label5,    Label6,  Label13,    Label14,     Label9,  Label10, PortraitRB,
                           LandscapeRB, TabSheet3, Label7, Label8,      Label15, Label16, Label17,
                           Label18,   PrintOnPrevCB, MirrorMarginsCB, LargeHeightCB};
  for (int i = 0; i < 25; ++i) captioned[i]->SetCaption(ResourceText(2701 + i));
}

String TfrxPageEditorForm::Shown(Extended Millimetres, bool Horizontal) const {
  return FloatToTextTwoDecimals(MMToUnits(Units, Horizontal, Millimetres));
}

Extended TfrxPageEditorForm::Read(TEdit* Edit, bool Horizontal) const {
  return UnitsToMM(Units, Horizontal, StrToFloatAnySep(Edit->Text()));
}

void TfrxPageEditorForm::FormShow(TObject*) {
  FUpdating = true;
  static const char* const unitKeys[] = {"uCm", "uInch", "uPix", "uChar"};
  const String unit = ReportResources()->TextOf(unitKeys[Units]);
  for (TLabel* l : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6, UnitL7}) l->SetCaption(unit);
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  SizeCB->Items()->Clear();
  Tray1CB->Items()->Clear();
  Tray2CB->Items()->Clear();
  if (printer) {
    SizeCB->Items()->Assign(printer->PaperList());
    Tray1CB->Items()->Assign(printer->BinList());
    Tray2CB->Items()->Assign(printer->BinList());
  }
  if (Page && printer) {
    int paper = printer->PaperIndexOf(Page->PaperSize());
    SizeCB->SetItemIndex(paper >= 0 ? paper : printer->PaperIndexOf(kCustomPaper));
    auto bin = [&](int Number) {
      int at = printer->BinIndexOf(Number);
      return at >= 0 ? at : printer->BinIndexOf(kDefaultBin);
    };
    Tray1CB->SetItemIndex(bin(Page->Bin()));
    Tray2CB->SetItemIndex(bin(Page->BinOtherPages()));
  }
  if (Page) {
    WidthE->SetText(Shown(Page->PaperWidth(), true));
    HeightE->SetText(Shown(Page->PaperHeight(), false));
    PortraitRB->SetChecked(Page->Orientation() == poPortrait);
    LandscapeRB->SetChecked(Page->Orientation() == poLandscape);
    MarginLeftE->SetText(Shown(Page->LeftMargin(), true));
    MarginTopE->SetText(Shown(Page->TopMargin(), false));
    MarginRightE->SetText(Shown(Page->RightMargin(), true));
    MarginBottomE->SetText(Shown(Page->BottomMargin(), false));
    UpDown1->SetPosition(static_cast<SmallInt>(Page->Columns()));
    ColumnsNumberE->SetText(IntToStr(Page->Columns()));
    ColumnWidthE->SetText(Shown(Page->ColumnWidth(), true));
    ColumnPositionsM->Lines()->Clear();
    TStrings* positions = Page->ColumnPositions();
    for (int i = 0; i < positions->Count(); ++i)
      ColumnPositionsM->Lines()->Add(Shown(StrToFloatAnySep(positions->Strings(i)), true));
    PrintOnPrevCB->SetChecked(Page->PrintOnPreviousPage());
    MirrorMarginsCB->SetChecked(Page->MirrorMargins());
    LargeHeightCB->SetChecked(Page->LargeDesignHeight());
    DuplexCB->SetItemIndex(static_cast<int>(Page->Duplex()));
  }
  PortraitRBClick(nullptr);
  FUpdating = false;
}

void TfrxPageEditorForm::PortraitRBClick(TObject*) {
  PortraitImg->SetVisible(PortraitRB->Checked());
  LandscapeImg->SetVisible(LandscapeRB->Checked());
  SizeCBClick(nullptr);
}

void TfrxPageEditorForm::SizeCBClick(TObject*) {
  if (FUpdating) return;
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  if (!printer) return;
  FUpdating = true;
  int number = printer->PaperNumberOf(SizeCB->Text());
  Extended w = Read(WidthE, true), h = Read(HeightE, false);
  // The custom size is handed over with its sides exchanged, so a turn of the page turns it.
  if (number == kCustomPaper) printer->ApplyViewSettings(number, OrientationOf(PortraitRB), h, w);
  else printer->ApplyViewSettings(number, OrientationOf(PortraitRB), w, h);
  WidthE->SetText(Shown(printer->ActivePaperWidth, true));
  HeightE->SetText(Shown(printer->ActivePaperHeight, false));
  FUpdating = false;
}

void TfrxPageEditorForm::WidthEChange(TObject*) {
  if (!FUpdating) SizeCB->SetItemIndex(0);
}

void TfrxPageEditorForm::UpDown1Click(TObject*, TUDBtnType) {
  if (!FUpdating) ColumnsChanged();
}

void TfrxPageEditorForm::ColumnsChanged() {
  int n = UpDown1->Position();
  if (n == 0) n = 1;
  const Extended width =
      (Read(WidthE, true) - Read(MarginLeftE, true) - Read(MarginRightE, true)) / n;
  ColumnWidthE->SetText(Shown(width, true));
  ColumnPositionsM->Lines()->Clear();
  for (int i = 0; i < n; ++i) ColumnPositionsM->Lines()->Add(Shown(width * i, true));
}

void TfrxPageEditorForm::OKBClick(TObject*) {
  TChecked c;
  TEdit* reading = nullptr;
  try {
    struct TField {
      TEdit* Edit;
      bool Horizontal;
      Extended* Into;
    };
    const TField fields[] = {{WidthE, true, &c.Width},          {HeightE, false, &c.Height},
                             {MarginLeftE, true, &c.Left},      {MarginTopE, false, &c.Top},
                             {MarginRightE, true, &c.Right},    {MarginBottomE, false, &c.Bottom},
                             {ColumnWidthE, true, &c.ColumnWidth}};
    for (const TField& f : fields) {
      reading = f.Edit;
      *f.Into = Read(f.Edit, f.Horizontal);
    }
    reading = nullptr;
    TStrings* lines = ColumnPositionsM->Lines();
    for (int i = 0; i < lines->Count(); ++i)
      if (!Trim(lines->Strings(i)).empty())
        c.Positions.push_back(UnitsToMM(Units, true, StrToFloatAnySep(lines->Strings(i))));
  } catch (const EConvertError&) {
    TWinControl* focus = reading ? static_cast<TWinControl*>(reading) : ColumnPositionsM;
    if (focus->CanFocus()) focus->SetFocus();
    throw;
  }
  FChecked = std::move(c);
  SetModalResult(mrOk);
}

void TfrxPageEditorForm::ApplyTo(TfrxReportPage* Target) const {
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  // Unknown names give the first entry's number.
  auto binNumber = [&](const TComboBox* Box) { return printer ? printer->BinNumberOf(Box->Text()) : kDefaultBin; };
  const int paper = printer ? printer->PaperNumberOf(SizeCB->Text()) : kCustomPaper;
  Target->SetOrientation(OrientationOf(PortraitRB));
  Target->AssignPaper(paper, FChecked.Width, FChecked.Height);
  Target->SetLeftMargin(FChecked.Left);
  Target->SetRightMargin(FChecked.Right);
  Target->SetTopMargin(FChecked.Top);
  Target->SetBottomMargin(FChecked.Bottom);
  Target->SetBin(binNumber(Tray1CB));
  Target->SetBinOtherPages(binNumber(Tray2CB));
  Target->SetColumns(UpDown1->Position());
  Target->SetColumnWidth(FChecked.ColumnWidth);
  TStringList positions;
  for (Extended p : FChecked.Positions) positions.Add(FloatToTextTwoDecimals(p));
  Target->ColumnPositions()->Assign(&positions);
  Target->SetPrintOnPreviousPage(PrintOnPrevCB->Checked());
  Target->SetMirrorMargins(MirrorMarginsCB->Checked());
  Target->SetLargeDesignHeight(LargeHeightCB->Checked());
  Target->SetDuplex(static_cast<TfrxDuplexMode>(std::max(0, DuplexCB->ItemIndex())));
}

void TfrxPageEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !Page) return;
  // Subreport pages are listed first: applying to the page may rearrange its objects.
  std::vector<TfrxReportPage*> pages = {Page};
  for (TfrxComponent* c : Page->AllObjects())
    if (auto* sub = dynamic_cast<TfrxSubreport*>(c))
      if (sub->Page()) pages.push_back(sub->Page());
  for (TfrxReportPage* p : pages) ApplyTo(p);
}

bool EditPage(TComponent* Owner, TfrxReportPage* Page, TfrxRulerUnits Units) {
  TfrxPageEditorForm form(Owner);
  form.InitForm();
  form.Page = Page;
  form.Units = Units;
  return form.ShowModal() == mrOk;
}

void TfrxPageEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
