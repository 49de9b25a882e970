#include "report/designer/frxEditStyle.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "gui/Canvas.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/GraphicsObjects.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxEditFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxFormUtils.h"
#include "report/frxMemoView.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxStyleEditorForm) {
  b.Method("FormCreate", &TfrxStyleEditorForm::FormCreate);
  b.Method("FormShow", &TfrxStyleEditorForm::FormShow);
  b.Method("FormHide", &TfrxStyleEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxStyleEditorForm::FormKeyDown);
  b.Method("AddBClick", &TfrxStyleEditorForm::AddBClick);
  b.Method("DeleteBClick", &TfrxStyleEditorForm::DeleteBClick);
  b.Method("EditBClick", &TfrxStyleEditorForm::EditBClick);
  b.Method("LoadBClick", &TfrxStyleEditorForm::LoadBClick);
  b.Method("SaveBClick", &TfrxStyleEditorForm::SaveBClick);
  b.Method("OkBClick", &TfrxStyleEditorForm::OkBClick);
  b.Method("CancelBClick", &TfrxStyleEditorForm::CancelBClick);
  b.Method("BClick", &TfrxStyleEditorForm::BClick);
  b.Method("StylesTVChange", &TfrxStyleEditorForm::StylesTVChange);
  b.Method("StylesTVEdited", &TfrxStyleEditorForm::StylesTVEdited);
  b.Method("StylesTVKeyDown", &TfrxStyleEditorForm::StylesTVKeyDown);
  b.Method("PaintBoxPaint", &TfrxStyleEditorForm::PaintBoxPaint);
}

namespace {
enum : int { kColorPick = 20 };
String StyleFilter() { return ReportResources()->TextOf("dsStyleFile") + " (*.fs3)|*.fs3"; }
}  // namespace

TfrxStyleEditorForm::TfrxStyleEditorForm(TComponent* AOwner) : inherited(AOwner) {}
TfrxStyleEditorForm::~TfrxStyleEditorForm() = default;

void TfrxStyleEditorForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(5100));
  ColorB->SetCaption(ResourceText(5101));
  FontB->SetCaption(ResourceText(5102));
  FrameB->SetCaption(ResourceText(5103));
  const std::pair<TToolButton*, int> hints[] = {{AddB, 5104},  {DeleteB, 5105}, {EditB, 5106}, {LoadB, 5107},
                                                {SaveB, 5108}, {CancelB, 2},    {OkB, 1}};
  for (auto [button, key] : hints) {
    button->SetHint(ResourceText(key));
    button->SetShowHint(true);
  }
  ToolBar->SetImages(ReportResources()->ToolImages());
  if (auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner())) FReport = designer->Report();
  FStyles = std::make_unique<TfrxStyles>(nullptr);
}

void TfrxStyleEditorForm::FormShow(TObject*) {
  if (FReport) FStyles->Assign(FReport->Styles());
  FillTree(0);
}

void TfrxStyleEditorForm::FormHide(TObject*) {
  if (ModalResult() == mrOk && FReport) FReport->Styles()->Assign(FStyles.get());
}

TfrxStyleItem* TfrxStyleEditorForm::Selected() const {
  TTreeNode* node = StylesTV->Selected();
  return node ? static_cast<TfrxStyleItem*>(node->Data()) : nullptr;
}

void TfrxStyleEditorForm::FillTree(int Index) {
  StylesTV->Items()->Clear();
  for (int i = 0; i < FStyles->Count(); ++i) {
    TfrxStyleItem* item = FStyles->ItemAt(i);
    StylesTV->Items()->AddObject(nullptr, item->Name(), item);
  }
  const int count = StylesTV->Items()->Count();
  if (count > 0) StylesTV->SetSelected(StylesTV->Items()->Item(std::clamp(Index, 0, count - 1)));
  UpdateControls();
}

void TfrxStyleEditorForm::UpdateControls() {
  const bool any = Selected() != nullptr;
  ColorB->SetEnabled(any);
  FontB->SetEnabled(any);
  FrameB->SetEnabled(any);
  PaintBox->Repaint();
}

void TfrxStyleEditorForm::StylesTVChange(TObject*, TTreeNode*) { UpdateControls(); }

void TfrxStyleEditorForm::PaintBoxPaint(TObject*) {
  TCanvas* canvas = PaintBox->Canvas();
  canvas->Pen()->SetColor(TColor(8421504));
  canvas->Brush()->SetColor(clWindow);
  canvas->Rectangle(0, 0, PaintBox->Width(), PaintBox->Height());
  TfrxStyleItem* style = Selected();
  if (!style) return;
  TfrxMemoView sample(nullptr);
  sample.SetColor(style->Color());
  sample.SetFont(style->Font());
  sample.Frame()->Assign(style->Frame());
  sample.SetText(ReportResources()->TextOf("dsStyleSample"));
  sample.SetGapX(20);
  sample.SetGapY(10);
  sample.SetWidth(sample.CalcWidth());
  sample.SetHeight(sample.CalcHeight());
  sample.SetLeft((PaintBox->Width() - sample.Width()) / 2);
  sample.SetTop((PaintBox->Height() - sample.Height()) / 2);
  sample.DrawOnCanvas(canvas, 1, 1, 0, 0);
}

void TfrxStyleEditorForm::BClick(TObject* Sender) {
  TfrxStyleItem* style = Selected();
  auto* component = dynamic_cast<TComponent*>(Sender);
  if (!style || !component) return;
  switch (component->Tag()) {
    case 2: {
      auto* picker = new TfrxColorSelector(ColorB);
      picker->SetTag(kColorPick);
      picker->OnSelect = TNotifyEvent(this, &TfrxStyleEditorForm::BClick);
      break;
    }
    case kColorPick: style->SetColor(static_cast<TfrxColorSelector*>(Sender)->SelectedColor()); break;
    case 3: {
      TFontDialog dialog(nullptr);
      dialog.SetFont(style->Font());
      dialog.SetOptions(dialog.Options() + fdForceFontExist);
      if (dialog.Execute()) style->SetFont(dialog.Font());
      break;
    }
    case 4: {
      TfrxFrame frame;
      frame.Assign(style->Frame());
      if (EditFrame(Owner(), &frame)) style->SetFrame(&frame);
      break;
    }
    default: break;
  }
  PaintBox->Repaint();
}

void TfrxStyleEditorForm::AddBClick(TObject*) {
  FStyles->AppendItem()->AssignNumberedName();
  FillTree(FStyles->Count() - 1);
  if (TTreeNode* node = StylesTV->Selected()) node->EditText();
}

void TfrxStyleEditorForm::EditBClick(TObject*) {
  if (TTreeNode* node = StylesTV->Selected()) node->EditText();
}

void TfrxStyleEditorForm::StylesTVEdited(TObject*, TTreeNode* Node, String& S) {
  auto* style = static_cast<TfrxStyleItem*>(Node->Data());
  if (!style || S == style->Name()) return;
  try {
    style->SetName(S);
  } catch (const Exception& E) {
    S = style->Name();  // the node keeps the name the style kept
    ShowErrorBox(E.Message());
  }
}

void TfrxStyleEditorForm::StylesTVKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F2 && !StylesTV->IsEditing()) EditBClick(nullptr);
}

void TfrxStyleEditorForm::DeleteBClick(TObject*) {
  TTreeNode* node = StylesTV->Selected();
  if (!node) return;
  const int index = node->AbsoluteIndex();
  delete static_cast<TfrxStyleItem*>(node->Data());
  FillTree(index);
}

void TfrxStyleEditorForm::LoadBClick(TObject*) {
  OpenDialog->SetFilter(StyleFilter());
  if (TfrxDesigner* component = TfrxDesigner::Current()) OpenDialog->SetInitialDir(component->OpenDir());
  if (!OpenDialog->Execute()) return;
  FStyles->ReadFromFile(OpenDialog->FileName());
  FillTree(0);
}

void TfrxStyleEditorForm::SaveBClick(TObject*) {
  SaveDialog->SetFilter(StyleFilter());
  if (TfrxDesigner* component = TfrxDesigner::Current()) SaveDialog->SetInitialDir(component->SaveDir());
  if (SaveDialog->Execute()) FStyles->WriteToFile(ChangeFileExt(SaveDialog->FileName(), ".fs3"));
}

void TfrxStyleEditorForm::OkBClick(TObject*) { SetModalResult(mrOk); }
void TfrxStyleEditorForm::CancelBClick(TObject*) { SetModalResult(mrCancel); }

void TfrxStyleEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool EditReportStyles(TfrxCustomDesigner* Designer) {
  TfrxStyleEditorForm form(Designer);
  form.InitForm();
  return form.ShowModal() == mrOk;
}
