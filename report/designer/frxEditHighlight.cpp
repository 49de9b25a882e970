#include "report/designer/frxEditHighlight.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "gui/Buttons.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxHighlightEditorForm) {
  b.Method("FormCreate", &TfrxHighlightEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxHighlightEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxHighlightEditorForm::FormShow);
  b.Method("FormHide", &TfrxHighlightEditorForm::FormHide);
  b.Method("FontColorBClick", &TfrxHighlightEditorForm::FontColorBClick);
  b.Method("BackColorBClick", &TfrxHighlightEditorForm::BackColorBClick);
  b.Method("RBClick", &TfrxHighlightEditorForm::RBClick);
  b.Method("ConditionBClick", &TfrxHighlightEditorForm::ConditionBClick);
}

namespace {

// A 14 x 15 button-face bitmap with a grey-framed 14 x 14 square of the colour.
void SetSwatch(TBitBtn* Button, TColor Color) {
  TBitmap bmp;
  bmp.SetWidth(14);
  bmp.SetHeight(15);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, 14, 15});
  c->Pen()->SetColor(0x808080);
  c->Brush()->SetColor(Color == clNone ? clBtnFace : Color);
  c->Rectangle(0, 0, 14, 14);
  Button->SetGlyph(&bmp);
}

}  // namespace

void TfrxHighlightEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(4600));
  FontColorB->SetCaption(ResourceText(4601));
  BackColorB->SetCaption(ResourceText(4602));
  ConditionL->SetCaption(ResourceText(4603));
  FontL->SetCaption(ResourceText(4604));
  BackgroundL->SetCaption(ResourceText(4605));
  OKB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  BoldCB->SetCaption(ResourceText(4606));
  ItalicCB->SetCaption(ResourceText(4607));
  UnderlineCB->SetCaption(ResourceText(4608));
  TransparentRB->SetCaption(ResourceText(4609));
  OtherRB->SetCaption(ResourceText(4610));
}

void TfrxHighlightEditorForm::ShowSwatches() {
  SetSwatch(FontColorB, FFontColor);
  SetSwatch(BackColorB, FBackColor);
}

void TfrxHighlightEditorForm::FormShow(TObject*) {
  if (!MemoView) return;
  TfrxHighlight* h = MemoView->Highlight();
  FFontColor = h->Font()->Color();
  FBackColor = h->Color();
  ConditionE->SetText(h->Condition());
  TFontStyles style = h->Font()->Style();
  BoldCB->SetChecked(style.Contains(fsBold));
  ItalicCB->SetChecked(style.Contains(fsItalic));
  UnderlineCB->SetChecked(style.Contains(fsUnderline));
  TransparentRB->SetChecked(FBackColor == clNone);
  OtherRB->SetChecked(FBackColor != clNone);
  ShowSwatches();
  RBClick(nullptr);
}

void TfrxHighlightEditorForm::FontColorBClick(TObject*) {
  ColorDialog1->SetColor(FFontColor);
  if (!ColorDialog1->Execute()) return;
  FFontColor = ColorDialog1->Color();
  ShowSwatches();
}

void TfrxHighlightEditorForm::BackColorBClick(TObject*) {
  ColorDialog1->SetColor(FBackColor);
  if (!ColorDialog1->Execute()) return;
  FBackColor = ColorDialog1->Color();
  ShowSwatches();
}

void TfrxHighlightEditorForm::RBClick(TObject*) {
  BackColorB->SetEnabled(OtherRB->Checked());
  if (TransparentRB->Checked()) {
    FBackColor = clNone;
    ShowSwatches();
  }
}

void TfrxHighlightEditorForm::ConditionBClick(TObject*) {
  auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner());
  if (!designer) return;
  String expression = ConditionE->Text();
  if (designer->AskExpression(expression) && !expression.empty()) ConditionE->SetText(expression);
}

void TfrxHighlightEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk || !MemoView) return;
  TfrxHighlight* h = MemoView->Highlight();
  h->SetCondition(ConditionE->Text());
  h->SetFont(MemoView->Font());
  TFontStyles style;
  if (BoldCB->Checked()) style.Include(fsBold);
  if (ItalicCB->Checked()) style.Include(fsItalic);
  if (UnderlineCB->Checked()) style.Include(fsUnderline);
  h->Font()->SetStyle(style);
  h->Font()->SetColor(FFontColor);
  h->SetColor(FBackColor);
}

bool EditHighlight(TComponent* Owner, TfrxCustomMemoView* MemoView) {
  TfrxHighlightEditorForm form(Owner);
  form.InitForm();
  form.MemoView = MemoView;
  return form.ShowModal() == mrOk;
}

void TfrxHighlightEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
