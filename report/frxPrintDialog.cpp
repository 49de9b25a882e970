#include "report/frxPrintDialog.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Edit.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxPrintDialog) {
  b.Method("FormCreate", &TfrxPrintDialog::FormCreate);
  b.Method("FormShow", &TfrxPrintDialog::FormShow);
  b.Method("FormHide", &TfrxPrintDialog::FormHide);
  b.Method("FormCloseQuery", &TfrxPrintDialog::FormCloseQuery);
  b.Method("PrintersCBClick", &TfrxPrintDialog::PrintersCBClick);
  b.Method("PrintersCBDrawItem", &TfrxPrintDialog::PrintersCBDrawItem);
  b.Method("PropButtonClick", &TfrxPrintDialog::PropButtonClick);
  b.Method("PageNumbersEEnter", &TfrxPrintDialog::PageNumbersEEnter);
  b.Method("PageNumbersRBClick", &TfrxPrintDialog::PageNumbersRBClick);
  b.Method("CollateLClick", &TfrxPrintDialog::CollateLClick);
  b.Method("CollateCBClick", &TfrxPrintDialog::CollateCBClick);
  b.Method("CopiesPBPaint", &TfrxPrintDialog::CopiesPBPaint);
}

namespace {

// A stack of sheets, each with its page number, the last one in front.
void DrawSheets(TCanvas* C, int X, int Y, const std::vector<int>& Pages) {
  C->Pen()->SetColor(clBlack);
  C->Font()->SetHeight(-9);
  for (std::size_t k = 0; k < Pages.size(); ++k) {
    int x = X + int(k) * 7, y = Y + int(k) * 7;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWhite);
    C->Rectangle(x, y, x + 18, y + 24);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(x + 6, y + 11, IntToStr(Pages[k]));
  }
}

TBitmap* PictureBitmap(TImage* Image) {
  TBitmap* bmp = Image->Picture()->Bitmap();
  bmp->SetWidth(Image->Width());
  bmp->SetHeight(Image->Height());
  bmp->Canvas()->Brush()->SetColor(clFuchsia);  // the transparent colour of the pictures
  bmp->Canvas()->FillRect({0, 0, Image->Width(), Image->Height()});
  return bmp;
}

}  // namespace

// The three pictures of the window, drawn once.
void TfrxPrintDialog::DrawPictures() {
  TCanvas* c = PictureBitmap(PrinterImg)->Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(5, 1, 13, 7);
  c->Brush()->SetColor(clSilver);
  c->Rectangle(1, 6, 17, 13);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(4, 11, 14, 16);
  DrawSheets(PictureBitmap(CollateImg)->Canvas(), 0, 2, {1, 2, 3});
  DrawSheets(CollateImg->Picture()->Bitmap()->Canvas(), 38, 2, {1, 2, 3});
  TCanvas* n = PictureBitmap(NonCollateImg)->Canvas();
  DrawSheets(n, 0, 2, {1, 1});
  DrawSheets(n, 32, 2, {2, 2});
  DrawSheets(n, 64, 2, {3, 3});
}

void TfrxPrintDialog::FormCreate(TObject*) {
  SetCaption(ResourceText(200));
  Label12->SetCaption(ResourceText(201));
  Label1->SetCaption(ResourceText(202));
  CopiesL->SetCaption(ResourceText(203));
  CollateL->SetCaption(ResourceText(204));
  Label2->SetCaption(ResourceText(205));
  PrintL->SetCaption(ResourceText(206));
  TypeL->SetCaption(ResourceText(207));
  WhereL->SetCaption(ResourceText(208));
  PropButton->SetCaption(ResourceText(209));
  FileCB->SetCaption(ResourceText(210));
  ReverseCB->SetCaption(ResourceText(211));
  AllRB->SetCaption(ResourceText(3));
  CurPageRB->SetCaption(ResourceText(4));
  PageNumbersRB->SetCaption(ResourceText(5));
  DescrL->SetCaption(ResourceText(9));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  for (const char* key : {"ppAll", "ppOdd", "ppEven"}) PrintPagesCB->Items()->Add(ReportResources()->TextOf(key));
  PrintPagesCB->SetItemIndex(0);
  SetWindowLong(CopiesE->Handle(), GWL_STYLE, GetWindowLong(CopiesE->Handle(), GWL_STYLE) | ES_NUMBER);
  if (Screen && Screen->PixelsPerInch() > 96) PrintersCB->SetItemHeight(19);
  FileDlg->SetFilter("Printer files (*.prn)|*.prn");
  FileDlg->SetTitle("Print To File");
  DrawPictures();
}

void TfrxPrintDialog::FormShow(TObject*) {
  TfrxPrinters* printers = ReportPrinters();
  PrintersCB->Items()->Assign(printers->PrinterNames());
  PrintersCB->SetItemIndex(printers->SelectedIndex());
  PrintersCBClick(nullptr);
  FOldIndex = printers->SelectedIndex();
  CollateCBClick(nullptr);
  PrintPagesCB->SetLeft(PrintL->Left() + PrintL->Width() + 11);
}

void TfrxPrintDialog::PrintersCBClick(TObject*) {
  if (PrintersCB->ItemIndex() < 0) return;
  ReportPrinters()->SelectPrinter(PrintersCB->ItemIndex());
  TfrxCustomPrinter* p = ReportPrinters()->CurrentPrinter();
  TypeL1->SetCaption(p ? p->DeviceName() : String());
  WhereL1->SetCaption(p ? p->PortName() : String());
}

void TfrxPrintDialog::PrintersCBDrawItem(TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
  TCanvas* c = PrintersCB->Canvas();
  c->FillRect(Rect);
  DrawGlyphTransparent(c, Rect.Left + 2, Rect.Top, PrinterImg->Picture()->Bitmap());
  c->TextOut(Rect.Left + 24, Rect.Top + 1, PrintersCB->Items()->Strings(Index));
}

void TfrxPrintDialog::PropButtonClick(TObject*) {
  if (TfrxCustomPrinter* p = ReportPrinters()->CurrentPrinter()) p->ShowDeviceSetup();
}

void TfrxPrintDialog::PageNumbersEEnter(TObject*) { PageNumbersRB->SetChecked(true); }

void TfrxPrintDialog::PageNumbersRBClick(TObject*) {
  if (Visible() && PageNumbersE->CanFocus()) PageNumbersE->SetFocus();
}

void TfrxPrintDialog::CollateLClick(TObject*) { CollateCB->SetChecked(!CollateCB->Checked()); }

void TfrxPrintDialog::CollateCBClick(TObject*) { CopiesPBPaint(nullptr); }

void TfrxPrintDialog::CopiesPBPaint(TObject*) {
  TCanvas* c = CopiesPB->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect({0, 0, CopiesPB->Width(), CopiesPB->Height()});
  TImage* img = CollateCB->Checked() ? CollateImg : NonCollateImg;
  DrawGlyphTransparent(c, 0, 0, img->Picture()->Bitmap());
}

// A page text that leaves no page would print every page: the user is asked to mend it.
void TfrxPrintDialog::FormCloseQuery(TObject*, bool& CanClose) {
  if (ModalResult() != mrOk || !PageNumbersRB->Checked()) return;
  TStringList pages;
  bool readable = true;
  try {
    ParsePageRanges(PageNumbersE->Text(), &pages, PageCount);
  } catch (const EConvertError&) {
    readable = false;
  }
  if (readable && pages.Count() > 0) return;
  CanClose = false;
  SetModalResult(mrNone);
  if (PageNumbersE->CanFocus()) PageNumbersE->SetFocus();
  PageNumbersE->SelectAll();
}

void TfrxPrintDialog::FormHide(TObject*) {
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  if (ModalResult() != mrOk) {
    ReportPrinters()->SelectPrinter(FOldIndex);
    return;
  }
  if (!printer) return;
  printer->OutputFileName.clear();
  if (!FileCB->Checked()) return;
  if (FileDlg->Execute()) printer->OutputFileName = ChangeFileExt(FileDlg->FileName(), ".prn");
  else SetModalResult(mrCancel);
}

bool ExecuteReportPrintDialog(TfrxPrintSettings& Settings, int CurPreviewPage, int PageCount) {
  TfrxPrintDialog dlg(nullptr);
  dlg.InitForm();
  dlg.PageCount = PageCount;
  dlg.UpDown1->SetPosition(Settings.Copies);
  dlg.CollateCB->SetChecked(Settings.Collate);
  dlg.PageNumbersE->SetText(Settings.PageNumbers);
  if (!Settings.PageNumbers.empty()) dlg.PageNumbersRB->SetChecked(true);
  dlg.PrintPagesCB->SetItemIndex(int(Settings.PrintPages));
  dlg.ReverseCB->SetChecked(Settings.Reverse);
  if (dlg.ShowModal() != mrOk || dlg.ModalResult() != mrOk) return false;
  Settings.Copies = StrToInt(dlg.CopiesE->Text());
  Settings.Collate = dlg.CollateCB->Checked();
  if (dlg.AllRB->Checked()) Settings.PageNumbers.clear();
  else if (dlg.CurPageRB->Checked()) Settings.PageNumbers = IntToStr(CurPreviewPage);
  else Settings.PageNumbers = dlg.PageNumbersE->Text();
  Settings.PrintPages = TfrxPrintPages(std::max(0, dlg.PrintPagesCB->ItemIndex()));
  Settings.Reverse = dlg.ReverseCB->Checked();
  return true;
}
