#include "report/designer/frxEditReport.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/ListCtrls.h"
#include "gui/Memo.h"
#include "gui/Pictures.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxEditPicture.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxReportEditorForm) {
  b.Method("FormCreate", &TfrxReportEditorForm::FormCreate);
  b.Method("FormShow", &TfrxReportEditorForm::FormShow);
  b.Method("FormHide", &TfrxReportEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxReportEditorForm::FormKeyDown);
  b.Method("PrintersLBDrawItem", &TfrxReportEditorForm::PrintersLBDrawItem);
  b.Method("PictureBClick", &TfrxReportEditorForm::PictureBClick);
  b.Method("OkBClick", &TfrxReportEditorForm::OkBClick);
}

void TfrxReportEditorForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(4700));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  const std::pair<TControl*, int> captions[] = {
      {GeneralTS, 4701}, {ReportSettingsL, 4702}, {CopiesL, 4703},      {GeneralL, 4704},  {PasswordL, 4705},
      {CollateCB, 4706}, {DoublePassCB, 4707},   {PrintIfEmptyCB, 4708}, {DescriptionTS, 4709}, {NameL, 4710},
      {Description1L, 4711}, {PictureL, 4712},   {AuthorL, 4713},      {MajorL, 4714},    {MinorL, 4715},
      {ReleaseL, 4716},  {BuildL, 4717},         {CreatedL, 4718},     {ModifiedL, 4719}, {DescriptionL, 4720},
      {VersionL, 4721},  {PictureB, 4722}};
  for (auto [control, key] : captions) control->SetCaption(ResourceText(key));
  if (Screen && Screen->PixelsPerInch() > 96) PrintersLB->SetItemHeight(19);
  if (auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner())) FReport = designer->Report();
}

void TfrxReportEditorForm::FormShow(TObject*) {
  if (!FReport) return;
  TStrings* items = PrintersLB->Items();
  items->Assign(ReportPrinters()->PrinterNames());
  items->Insert(0, ReportResources()->TextOf("prDefault"));
  PrintersLB->SetItemIndex(items->IndexOf(FReport->PrintOptions()->Printer()));
  CollateCB->SetChecked(FReport->PrintOptions()->Collate());
  CopiesE->SetText(IntToStr(FReport->PrintOptions()->Copies()));
  DoublePassCB->SetChecked(FReport->EngineOptions()->DoublePass());
  PrintIfEmptyCB->SetChecked(FReport->EngineOptions()->PrintIfEmpty());
  TfrxReportOptions* options = FReport->ReportOptions();
  PasswordE->SetText(options->Password());
  NameE->SetText(options->Name());
  AuthorE->SetText(options->Author());
  DescriptionE->Lines()->Assign(options->Description());
  PictureImg->Picture()->Assign(options->Picture());
  TGraphic* graphic = PictureImg->Picture()->Graphic();
  PictureImg->SetStretch(graphic && (graphic->Width() > PictureImg->Width() || graphic->Height() > PictureImg->Height()));
  MajorE->SetText(options->VersionMajor());
  MinorE->SetText(options->VersionMinor());
  ReleaseE->SetText(options->VersionRelease());
  BuildE->SetText(options->VersionBuild());
  Created1L->SetCaption(DateTimeToStr(options->CreateDate()));
  Modified1L->SetCaption(DateTimeToStr(options->LastChange()));
}

String TfrxReportEditorForm::PrinterEntryText(int Index) const {
  String text = PrintersLB->Items()->Strings(Index);
  if (Index > 0 && Index - 1 < ReportPrinters()->Count()) {
    const String& port = ReportPrinters()->PrinterAt(Index - 1)->PortName();
    if (!port.empty()) text += " " + ReportResources()->TextOf("rePrnOnPort") + " " + port;
  }
  return text;
}

void TfrxReportEditorForm::PrintersLBDrawItem(TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
  TCanvas* canvas = PrintersLB->Canvas();
  canvas->FillRect(Rect);
  if (TGraphic* icon = PrinterImg->Picture()->Graphic()) canvas->Draw(Rect.Left + 2, Rect.Top, icon);
  canvas->TextOut(Rect.Left + 24, Rect.Top + 1, PrinterEntryText(Index));
}

void TfrxReportEditorForm::PictureBClick(TObject*) {
  TPicture picture;
  picture.Assign(PictureImg->Picture());
  if (EditPicture(Owner(), &picture)) PictureImg->Picture()->Assign(&picture);
}

void TfrxReportEditorForm::OkBClick(TObject*) {
  try {
    FCopies = StrToInt(Trim(CopiesE->Text()));
  } catch (const EConvertError&) {
    if (CopiesE->CanFocus()) CopiesE->SetFocus();
    throw;
  }
  SetModalResult(mrOk);
}

void TfrxReportEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !FReport) return;
  TfrxPrintOptions* print = FReport->PrintOptions();
  if (PrintersLB->ItemIndex() != -1) {
    print->SetPrinter(PrintersLB->Items()->Strings(PrintersLB->ItemIndex()));
    FReport->ApplyPrinterOption();
  }
  print->SetCollate(CollateCB->Checked());
  print->SetCopies(FCopies);
  FReport->EngineOptions()->SetDoublePass(DoublePassCB->Checked());
  FReport->EngineOptions()->SetPrintIfEmpty(PrintIfEmptyCB->Checked());
  TfrxReportOptions* options = FReport->ReportOptions();
  options->SetPassword(PasswordE->Text());
  options->SetName(NameE->Text());
  options->SetAuthor(AuthorE->Text());
  options->Description()->Assign(DescriptionE->Lines());
  options->SetPicture(PictureImg->Picture());
  options->SetVersionMajor(MajorE->Text());
  options->SetVersionMinor(MinorE->Text());
  options->SetVersionRelease(ReleaseE->Text());
  options->SetVersionBuild(BuildE->Text());
}

void TfrxReportEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool EditReportSettings(TfrxCustomDesigner* Designer) {
  TfrxReportEditorForm form(Designer);
  form.InitForm();
  return form.ShowModal() == mrOk;
}
