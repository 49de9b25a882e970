#include "report/designer/frxEditFrame.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/FloatFormat.h"
#include "gui/ComboBox.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/frxClass.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxFrameEditorForm) {
  b.Method("FormCreate", &TfrxFrameEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxFrameEditorForm::FormKeyDown);
  b.Method("BClick", &TfrxFrameEditorForm::BClick);
  b.Method("OkBClick", &TfrxFrameEditorForm::OkBClick);
}

namespace {

constexpr int kFrameColorPick = 70, kLineStylePick = 80, kShadowColorPick = 110;

// The sides of tool buttons 1 to 4.
constexpr TfrxFrameType kSideOfTag[] = {ftTop, ftBottom, ftLeft, ftRight};

}  // namespace

TfrxFrameEditorForm::TfrxFrameEditorForm(TComponent* AOwner) : inherited(AOwner) {}
TfrxFrameEditorForm::~TfrxFrameEditorForm() = default;

void TfrxFrameEditorForm::FormCreate(TObject*) {
  FFrame = std::make_unique<TfrxFrame>();
  SetCaption(ResourceText(5200));
  FrameL->SetCaption(ResourceText(5201));
  LineL->SetCaption(ResourceText(5202));
  ShadowL->SetCaption(ResourceText(5203));
  TControl* hinted[] = {FrameTopB, FrameBottomB, FrameLeftB,  FrameRightB, FrameAllB,   FrameNoB,
                        FrameColorB, FrameStyleB, FrameWidthCB, ShadowB,   ShadowColorB, ShadowWidthCB};
  for (int i = 0; i < 12; ++i) {
    hinted[i]->SetHint(ResourceText(5204 + i));
    hinted[i]->SetShowHint(true);
  }
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  FrameTB->SetImages(ReportResources()->ToolImages());
  LineTB->SetImages(ReportResources()->ToolImages());
  ShadowTB->SetImages(ReportResources()->ToolImages());
}

void TfrxFrameEditorForm::UpdateControls() {
  TToolButton* sides[] = {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB};
  for (int i = 0; i < 4; ++i) sides[i]->SetDown(FFrame->Typ().Contains(kSideOfTag[i]));
  ShadowB->SetDown(FFrame->DropShadow());
  FrameWidthCB->SetText(FloatToStr(FFrame->Width()));
  ShadowWidthCB->SetText(FloatToStr(FFrame->ShadowWidth()));
}

void TfrxFrameEditorForm::BClick(TObject* Sender) {
  auto* component = dynamic_cast<TComponent*>(Sender);
  if (!component) return;
  const int tag = static_cast<int>(component->Tag());
  TfrxFrameTypes typ = FFrame->Typ();
  switch (tag) {
    case 1: case 2: case 3: case 4: {
      TfrxFrameType side = kSideOfTag[tag - 1];
      if (static_cast<TToolButton*>(Sender)->Down()) typ.Include(side);
      else typ.Exclude(side);
      FFrame->SetTyp(typ);
      break;
    }
    case 5: FFrame->SetTyp({ftLeft, ftRight, ftTop, ftBottom}); break;
    case 6: FFrame->SetTyp({}); break;
    case 7: case 11: {
      auto* picker = new TfrxColorSelector(static_cast<TControl*>(Sender));
      picker->SetTag(tag == 7 ? kFrameColorPick : kShadowColorPick);
      picker->OnSelect = TNotifyEvent(this, &TfrxFrameEditorForm::BClick);
      break;
    }
    case 8: {
      auto* picker = new TfrxLineSelector(static_cast<TControl*>(Sender));
      picker->SetTag(kLineStylePick);
      picker->OnSelect = TNotifyEvent(this, &TfrxFrameEditorForm::BClick);
      break;
    }
    case 9: FFrame->SetWidth(StrToFloatAnySep(FrameWidthCB->Text())); break;
    case 10: FFrame->SetDropShadow(ShadowB->Down()); break;
    case 12: FFrame->SetShadowWidth(StrToFloatAnySep(ShadowWidthCB->Text())); break;
    case kFrameColorPick: FFrame->SetColor(static_cast<TfrxColorSelector*>(Sender)->SelectedColor()); break;
    case kShadowColorPick: FFrame->SetShadowColor(static_cast<TfrxColorSelector*>(Sender)->SelectedColor()); break;
    case kLineStylePick:
      FFrame->SetStyle(static_cast<TfrxFrameStyle>(static_cast<TfrxLineSelector*>(Sender)->SelectedStyle()));
      break;
    default: break;
  }
  UpdateControls();
}

void TfrxFrameEditorForm::OkBClick(TObject*) {
  // Both boxes are read before anything is written, so a bad one leaves the frame as it was.
  Extended width = 0, shadowWidth = 0;
  TComboBox* reading = FrameWidthCB;
  try {
    width = StrToFloatAnySep(FrameWidthCB->Text());
    reading = ShadowWidthCB;
    shadowWidth = StrToFloatAnySep(ShadowWidthCB->Text());
  } catch (const EConvertError&) {
    if (reading->CanFocus()) reading->SetFocus();
    throw;
  }
  FFrame->SetWidth(width);
  FFrame->SetShadowWidth(shadowWidth);
  SetModalResult(mrOk);
}

bool EditFrame(TComponent* Owner, TfrxFrame* Frame) {
  TfrxFrameEditorForm form(Owner);
  form.InitForm();
  form.Frame()->Assign(Frame);
  form.BClick(nullptr);
  if (form.ShowModal() != mrOk) return false;
  Frame->Assign(form.Frame());
  return true;
}

void TfrxFrameEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
