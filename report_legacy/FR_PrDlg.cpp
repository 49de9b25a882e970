#include "report_legacy/FR_PrDlg.h"

#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "print/Printers.h"

KELM_PUBLISH(TfrPrintForm) {
  b.Method("FormCreate", &TfrPrintForm::FormCreate);
  b.Method("FormDeactivate", &TfrPrintForm::FormDeactivate);
  b.Method("CB1Click", &TfrPrintForm::CB1Click);
  b.Method("CB1DrawItem", &TfrPrintForm::CB1DrawItem);
  b.Method("PropButtonClick", &TfrPrintForm::PropButtonClick);
  b.Method("RB3Click", &TfrPrintForm::RB3Click);
  b.Method("E2Enter", &TfrPrintForm::E2Enter);
  b.Method("UpButtonClick", &TfrPrintForm::UpButtonClick);
  b.Method("DownButtonClick", &TfrPrintForm::DownButtonClick);
  b.Method("CollateCBClick", &TfrPrintForm::CollateCBClick);
  b.Method("Label3Click", &TfrPrintForm::Label3Click);
  b.Method("PB1Paint", &TfrPrintForm::PB1Paint);
}

namespace {
// The printer glyph, 18 x 16 on olive (the colour that stays transparent): a grey body with a
// sheet going in at the top and one coming out at the front, and a green lamp.
void DrawPrinterGlyph(TBitmap* B) {
  B->SetSize(18, 16);
  TCanvas* c = B->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect({0, 0, 18, 16});
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(4, 1, 14, 7);
  c->Brush()->SetColor(clSilver);
  c->Rectangle(1, 6, 17, 13);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(4, 11, 14, 16);
  c->SetPixels(14, 8, clLime);
  c->SetPixels(13, 8, clLime);
}
}  // namespace

void TfrPrintForm::FormCreate(TObject*) {
  DrawPrinterGlyph(Image1->Picture()->Bitmap());
  TPrinter* prn = Printer();
  CB1->Items()->Assign(prn->Printers());
  FOldIndex = std::max(0, prn->PrinterIndex());
  CB1->SetItemIndex(FOldIndex);
  SetCaption(LocaleText(53040));
  GroupBox1->SetCaption(LocaleText(53041));
  PropButton->SetCaption(LocaleText(53042));
  GroupBox3->SetCaption(LocaleText(53043));
  GroupBox2->SetCaption(LocaleText(53044));
  RB1->SetCaption(LocaleText(53045));
  RB2->SetCaption(LocaleText(53046));
  RB3->SetCaption(LocaleText(53047));
  Label2->SetCaption(LocaleText(53048));
  Label4->SetCaption(LocaleText(53049));
  Label1->SetCaption(LocaleText(53050));
  Label3->SetCaption(LocaleText(53051));
  Label5->SetCaption(LocaleText(53052));
  Button1->SetCaption(LocaleText(55000));
  Button2->SetCaption(LocaleText(55001));
  for (int id : {53053, 53054, 53055}) CB2->Items()->Add(LocaleText(id));
  CB2->SetItemIndex(0);
  CB2->SetLeft(Label5->Left() + Label5->Width() + 11);
}

void TfrPrintForm::FormDeactivate(TObject*) {
  if (ModalResult() != mrOk) GlobalPrinter()->SetPrinterNumber(FOldIndex);
}

void TfrPrintForm::CB1Click(TObject*) {
  if (CB1->ItemIndex() >= 0) GlobalPrinter()->SetPrinterNumber(CB1->ItemIndex());
}

void TfrPrintForm::CB1DrawItem(TWinControl*, int Index, const TRect& R, TOwnerDrawState) {
  // The list has set the brush and font for the entry's state.
  TCanvas* c = CB1->Canvas();
  c->FillRect(R);
  if (Index < 0 || Index >= CB1->Items()->Count()) return;
  const int top = R.Top + (R.Height() - 16) / 2;
  c->BrushCopy({R.Left + 2, top, R.Left + 20, top + 16}, Image1->Picture()->Bitmap(), {0, 0, 18, 16}, clOlive);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(R.Left + 24, R.Top + (R.Height() - c->TextHeight("Wg")) / 2, CB1->Items()->Strings(Index));
  c->Brush()->SetStyle(bsSolid);
}

void TfrPrintForm::PropButtonClick(TObject*) { GlobalPrinter()->ShowProperties(); }

void TfrPrintForm::RB3Click(TObject*) {
  if (E2->CanFocus()) E2->SetFocus();
}

void TfrPrintForm::E2Enter(TObject*) { RB3->SetChecked(true); }

void TfrPrintForm::UpButtonClick(TObject*) { E1->SetText(IntToStr(StrToIntDef(E1->Text(), 1) + 1)); }

void TfrPrintForm::DownButtonClick(TObject*) {
  const int n = StrToIntDef(E1->Text(), 1) - 1;
  E1->SetText(IntToStr(std::max(1, n)));
}

void TfrPrintForm::CollateCBClick(TObject*) { PB1->Invalidate(); }

void TfrPrintForm::Label3Click(TObject*) {
  CollateCB->SetChecked(!CollateCB->Checked());
  PB1->Invalidate();
}

// Collated copies are whole sets (1 2 3, 1 2 3); uncollated ones repeat each page.
void TfrPrintForm::PB1Paint(TObject*) {
  TCanvas* c = PB1->Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, PB1->Width(), PB1->Height()});
  c->Pen()->SetColor(clBlack);
  c->Font()->SetSize(7);
  const bool collate = CollateCB->Checked();
  const int pages[2][3] = {{1, 2, 3}, {1, 1, 2}};
  for (int stack = 0; stack < 2; ++stack)
    for (int k = 2; k >= 0; --k) {
      const int x = (collate ? 8 : 0) + stack * (collate ? 40 : 46) + k * 6, y = (collate ? 0 : 8) + k * 6;
      c->Brush()->SetColor(clWhite);
      c->Rectangle(x, y, x + 20, y + 26);
      const int n = collate ? pages[0][k] : pages[1][k] + stack;
      c->Brush()->SetStyle(bsClear);
      c->TextOut(x + 7, y + 7, IntToStr(n));
      c->Brush()->SetStyle(bsSolid);
    }
}
