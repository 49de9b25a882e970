#include "report/designer/frxEditTabOrder.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxTabOrderEditorForm) {
  b.Method("FormCreate", &TfrxTabOrderEditorForm::FormCreate);
  b.Method("FormShow", &TfrxTabOrderEditorForm::FormShow);
  b.Method("FormHide", &TfrxTabOrderEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxTabOrderEditorForm::FormKeyDown);
  b.Method("UpBClick", &TfrxTabOrderEditorForm::UpBClick);
  b.Method("DownBClick", &TfrxTabOrderEditorForm::DownBClick);
}

void TfrxTabOrderEditorForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(5400));
  Label1->SetCaption(ResourceText(5401));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
  UpB->SetCaption(ResourceText(5402));
  DownB->SetCaption(ResourceText(5403));
  if (auto* designer = dynamic_cast<TfrxCustomDesigner*>(Owner())) {
    FParent = designer->SelectedObjects().empty() ? designer->Page()
                                                  : dynamic_cast<TfrxComponent*>(designer->SelectedObjects().front());
  }
}

void TfrxTabOrderEditorForm::FormShow(TObject*) {
  ControlsLB->Items()->Clear();
  FOriginal.clear();
  if (!FParent) return;
  for (int i = 0; i < FParent->ObjectCount(); ++i) {
    TfrxComponent* child = FParent->Objects(i);
    FOriginal.push_back(child);
    auto* control = dynamic_cast<TfrxDialogControl*>(child);
    if (control && dynamic_cast<TWinControl*>(control->Control()))
      ControlsLB->Items()->AddObject(child->Name() + ": " + child->DisplayTypeName(), child);
  }
}

void TfrxTabOrderEditorForm::Exchange(int Index, int Other) {
  TStrings* items = ControlsLB->Items();
  auto* a = static_cast<TfrxComponent*>(items->Objects(Index));
  auto* b = static_cast<TfrxComponent*>(items->Objects(Other));
  std::vector<TfrxComponent*> children = FParent->UnlistObjects();
  auto ia = std::find(children.begin(), children.end(), a), ib = std::find(children.begin(), children.end(), b);
  if (ia != children.end() && ib != children.end()) std::iter_swap(ia, ib);
  FParent->ListObjects(std::move(children));
  items->Exchange(Index, Other);
  ControlsLB->SetItemIndex(Other);
}

void TfrxTabOrderEditorForm::UpBClick(TObject*) {
  const int i = ControlsLB->ItemIndex();
  if (i > 0) Exchange(i, i - 1);
}

void TfrxTabOrderEditorForm::DownBClick(TObject*) {
  const int i = ControlsLB->ItemIndex();
  if (i >= 0 && i < ControlsLB->Items()->Count() - 1) Exchange(i, i + 1);
}

void TfrxTabOrderEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk && FParent) FParent->ListObjects(FOriginal);
}

void TfrxTabOrderEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool EditTabOrder(TfrxCustomDesigner* Designer) {
  TfrxTabOrderEditorForm form(Designer);
  form.InitForm();
  return form.ShowModal() == mrOk;
}
