#include "report/frxPreviewDialogs.h"

#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxPageSettingsForm) {
  b.Method("FormShow", &TfrxPageSettingsForm::FormShow);
  b.Method("FormHide", &TfrxPageSettingsForm::FormHide);
  b.Method("SizeCBClick", &TfrxPageSettingsForm::SizeCBClick);
  b.Method("PortraitRBClick", &TfrxPageSettingsForm::PortraitRBClick);
  b.Method("WidthEChange", &TfrxPageSettingsForm::WidthEChange);
}

KELM_PUBLISH(TfrxSearchDialog) {
  b.Method("FormCreate", &TfrxSearchDialog::FormCreate);
  b.Method("FormShow", &TfrxSearchDialog::FormShow);
  b.Method("FormHide", &TfrxSearchDialog::FormHide);
}

KELM_PUBLISH(TfrxPasswordForm) { b.Method("FormCreate", &TfrxPasswordForm::FormCreate); }

// ================================================================ page settings

namespace {

constexpr int kCustomPaper = 256;

void DrawSheet(TImage* Image) {
  TBitmap* bmp = Image->Picture()->Bitmap();
  bmp->SetWidth(Image->Width());
  bmp->SetHeight(Image->Height());
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, Image->Width(), Image->Height()});
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(0, 0, Image->Width() - 1, Image->Height() - 1);
  for (int y = 6; y < Image->Height() - 6; y += 4) {
    c->MoveTo(5, y);
    c->LineTo(Image->Width() - 6, y);
  }
}

}  // namespace

bool TfrxPageSettingsForm::ApplyToAllPages() const { return ApplyToAllRB->Checked(); }

// Units beyond the four known read as centimetres: a stray setting must not make OK write
// zero sizes into the page.
Extended TfrxPageSettingsForm::ToDisplayUnits(Extended Millimetres) const {
  return FDisplayUnits == 1 ? Millimetres / 25.4 : Millimetres / 10;
}

Extended TfrxPageSettingsForm::FromDisplayUnits(Extended Value) const {
  return FDisplayUnits == 1 ? Value * 25.4 : Value * 10;
}

TPrinterOrientation TfrxPageSettingsForm::CheckedOrientation() const {
  return PortraitRB->Checked() ? poPortrait : poLandscape;
}

void TfrxPageSettingsForm::DrawPictures() {
  DrawSheet(PortraitImg);
  DrawSheet(LandscapeImg);
}

void TfrxPageSettingsForm::FormShow(TObject*) {
  FUpdatingControls = true;
  SetCaption(ResourceText(400));
  WidthL->SetCaption(ResourceText(401));
  HeightL->SetCaption(ResourceText(402));
  SizeL->SetCaption(ResourceText(403));
  OrientationL->SetCaption(ResourceText(404));
  LeftL->SetCaption(ResourceText(405));
  TopL->SetCaption(ResourceText(406));
  RightL->SetCaption(ResourceText(407));
  BottomL->SetCaption(ResourceText(408));
  MarginsL->SetCaption(ResourceText(409));
  PortraitRB->SetCaption(ResourceText(410));
  LandscapeRB->SetCaption(ResourceText(411));
  OtherL->SetCaption(ResourceText(412));
  ApplyToCurRB->SetCaption(ResourceText(413));
  ApplyToAllRB->SetCaption(ResourceText(414));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  DrawPictures();

  FDisplayUnits = 0;
  if (OwnerReport) {
    std::unique_ptr<TCustomIniFile> store = OwnerReport->OpenSettingsStore();
    if (store) FDisplayUnits = store->ReadInteger("Form.TfrxDesignerForm", "Units", 0);
  }
  if (FDisplayUnits < 0 || FDisplayUnits > 3) FDisplayUnits = 0;
  String unit = ReportResources()->TextOf(FDisplayUnits == 1 ? "uInch" : "uCm");
  for (TLabel* label : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6}) label->SetCaption(unit);

  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  SizeCB->Items()->Clear();
  if (printer) {
    SizeCB->Items()->Assign(printer->PaperList());
    int index = EditedPage ? printer->PaperIndexOf(EditedPage->PaperSize()) : -1;
    if (index < 0) index = printer->PaperIndexOf(kCustomPaper);
    SizeCB->SetItemIndex(index);
  }
  if (EditedPage) {
    WidthE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->PaperWidth())));
    HeightE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->PaperHeight())));
    PortraitRB->SetChecked(EditedPage->Orientation() == poPortrait);
    LandscapeRB->SetChecked(EditedPage->Orientation() == poLandscape);
    MarginLeftE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->LeftMargin())));
    MarginRightE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->RightMargin())));
    MarginTopE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->TopMargin())));
    MarginBottomE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(EditedPage->BottomMargin())));
  }
  FShownOrientation = CheckedOrientation();
  PortraitRBClick(nullptr);
  FUpdatingControls = false;
}

void TfrxPageSettingsForm::PortraitRBClick(TObject*) {
  PortraitImg->SetVisible(PortraitRB->Checked());
  LandscapeImg->SetVisible(LandscapeRB->Checked());
  SizeCBClick(nullptr);
}

void TfrxPageSettingsForm::SizeCBClick(TObject*) {
  if (FUpdatingControls) return;
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  if (!printer) return;
  FUpdatingControls = true;
  int number = printer->PaperNumberOf(SizeCB->Text());
  Extended w = FromDisplayUnits(StrToFloatAnySep(WidthE->Text()));
  Extended h = FromDisplayUnits(StrToFloatAnySep(HeightE->Text()));
  TPrinterOrientation orientation = CheckedOrientation();
  if (number == kCustomPaper) {
    // A custom size turns with a real change of orientation only; picking the custom entry
    // again keeps the sides the user typed.
    if (orientation != FShownOrientation) printer->ApplyViewSettings(number, orientation, h, w);
    else printer->ApplyViewSettings(number, orientation, w, h);
  } else {
    printer->ApplyViewSettings(number, orientation, w, h);
  }
  FShownOrientation = orientation;
  WidthE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(printer->ActivePaperWidth)));
  HeightE->SetText(FloatToTextTwoDecimals(ToDisplayUnits(printer->ActivePaperHeight)));
  FUpdatingControls = false;
}

void TfrxPageSettingsForm::WidthEChange(TObject*) {
  if (!FUpdatingControls) SizeCB->SetItemIndex(0);
}

void TfrxPageSettingsForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !EditedPage) return;
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  EditedPage->SetOrientation(CheckedOrientation());
  EditedPage->SetPaperWidth(FromDisplayUnits(StrToFloatAnySep(WidthE->Text())));
  EditedPage->SetPaperHeight(FromDisplayUnits(StrToFloatAnySep(HeightE->Text())));
  EditedPage->SetPaperSize(printer ? printer->PaperNumberOf(SizeCB->Text()) : kCustomPaper);
  EditedPage->SetLeftMargin(FromDisplayUnits(StrToFloatAnySep(MarginLeftE->Text())));
  EditedPage->SetRightMargin(FromDisplayUnits(StrToFloatAnySep(MarginRightE->Text())));
  EditedPage->SetTopMargin(FromDisplayUnits(StrToFloatAnySep(MarginTopE->Text())));
  EditedPage->SetBottomMargin(FromDisplayUnits(StrToFloatAnySep(MarginBottomE->Text())));
  EditedPage->ArrangeAlignedChildren();
}

// ================================================================ search

String& TfrxSearchDialog::LastSearchText() {
  static String text;
  return text;
}

void TfrxSearchDialog::FormCreate(TObject*) {
  SetCaption(ResourceText(300));
  TextL->SetCaption(ResourceText(301));
  SearchL->SetCaption(ResourceText(302));
  ReplaceL->SetCaption(ResourceText(303));
  TopCB->SetCaption(ResourceText(304));
  CaseCB->SetCaption(ResourceText(305));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

void TfrxSearchDialog::FormShow(TObject*) {
  TextE->SetText(LastSearchText());
  if (TextE->CanFocus()) TextE->SetFocus();
  TextE->SelectAll();
}

void TfrxSearchDialog::FormHide(TObject*) {
  if (ModalResult() == mrOk) LastSearchText() = TextE->Text();
}

// ================================================================ password

void TfrxPasswordForm::FormCreate(TObject*) {
  SetCaption(ResourceText(5000));
  PasswordL->SetCaption(ResourceText(5001));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

bool AskReportPassword(String& Password) {
  TfrxPasswordForm form(nullptr);
  form.InitForm();
  if (form.ShowModal() != mrOk) return false;
  Password = form.PasswordE->Text();
  return true;
}
