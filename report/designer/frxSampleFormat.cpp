#include "report/designer/frxSampleFormat.h"

#include "report/designer/frxDesgn.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"

TSampleFormat::TSampleFormat() { Reset(); }

TSampleFormat::~TSampleFormat() = default;

void TSampleFormat::Reset() {
  FMemo = std::make_unique<TfrxMemoView>(nullptr);
  if (TfrxDesigner* d = TfrxDesigner::Current()) {
    FMemo->SetFont(d->DefaultFont());
    FMemo->SetRTLReading(d->RTLLanguage());
  }
}

void TSampleFormat::Take(TfrxComponent* Source) {
  if (Source) FMemo->Assign(Source);
  else Reset();
  FMemo->SetFlowTo(nullptr);
}

void TSampleFormat::ApplyTo(TfrxCustomMemoView* Target) const {
  if (!Target) return;
  Target->SetColor(FMemo->Color());
  if (!Target->Is<TfrxDMPMemoView>()) Target->SetFont(FMemo->Font());
  Target->SetFrame(FMemo->Frame());
  Target->SetBrushStyle(FMemo->BrushStyle());
  Target->SetHAlign(FMemo->HAlign());
  Target->SetVAlign(FMemo->VAlign());
  Target->SetLineSpacing(FMemo->LineSpacing());
  Target->SetParentFont(FMemo->ParentFont());
  Target->SetRTLReading(FMemo->RTLReading());
}
