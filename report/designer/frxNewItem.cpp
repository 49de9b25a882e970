#include "report/designer/frxNewItem.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/ComCtrls.h"
#include "gui/GraphicsObjects.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxDialogFrame.h"
#include "report/designer/frxrcReportDialogs.h"
#include "report/frxClassBases.h"
#include "report/frxDsgnIntf.h"
#include "report/frxRes.h"

#include <memory>

KELM_PUBLISH(TfrxNewItemForm) {
  b.Method("FormCreate", &TfrxNewItemForm::FormCreate);
  b.Method("FormShow", &TfrxNewItemForm::FormShow);
  b.Method("FormHide", &TfrxNewItemForm::FormHide);
  b.Method("FormKeyDown", &TfrxNewItemForm::FormKeyDown);
  b.Method("ItemsLBDrawItem", &TfrxNewItemForm::ItemsLBDrawItem);
  b.Method("ItemsLBDblClick", &TfrxNewItemForm::ItemsLBDblClick);
}

namespace {
// A wizard's description, from a throwaway instance with no designer.
String DescriptionOf(TClass WizardClass) {
  std::unique_ptr<TObject> wizard(WizardClass->Create(nullptr));
  auto* w = dynamic_cast<TfrxCustomWizard*>(wizard.get());
  return w ? w->Description() : String();
}
}  // namespace

void TfrxNewItemForm::FormCreate(TObject*) {
  MergeReportDialogsTexts();
  SetCaption(ResourceText(5300));
  ItemsTab->SetCaption(ResourceText(5301));
  TemplatesTab->SetCaption(ResourceText(5302));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

void TfrxNewItemForm::FormShow(TObject*) {
  ItemsLB->Items()->Clear();
  TfrxWizardCollection& wizards = WizardRegistry();
  for (int i = 0; i < wizards.Count(); ++i)
    ItemsLB->Items()->AddObject(DescriptionOf(wizards.ItemAt(i).WizardClass),
                                reinterpret_cast<TObject*>(static_cast<std::intptr_t>(i)));
}

void TfrxNewItemForm::ItemsLBDrawItem(TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
  TCanvas* canvas = ItemsLB->Canvas();
  canvas->FillRect(Rect);
  const int registered = static_cast<int>(reinterpret_cast<std::intptr_t>(ItemsLB->Items()->Objects(Index)));
  if (registered < WizardRegistry().Count())
    if (TBitmap* bitmap = WizardRegistry().ItemAt(registered).Bitmap) canvas->Draw(Rect.Left + 8, Rect.Top + 3, bitmap);
  canvas->TextOut(Rect.Left + 32, Rect.Top + 8, ItemsLB->Items()->Strings(Index));
}

void TfrxNewItemForm::ItemsLBDblClick(TObject*) { SetModalResult(mrOk); }

int TfrxNewItemForm::ChosenWizard() const {
  if (ModalResult() != mrOk || Pages->ActivePage() != ItemsTab || ItemsLB->ItemIndex() < 0) return -1;
  return static_cast<int>(reinterpret_cast<std::intptr_t>(ItemsLB->Items()->Objects(ItemsLB->ItemIndex())));
}

void TfrxNewItemForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

bool RunNewItemDialog(TfrxCustomDesigner* Designer) {
  int chosen = -1;
  {
    TfrxNewItemForm form(Designer);
    form.InitForm();
    form.ShowModal();
    chosen = form.ChosenWizard();
  }
  // The dialog is gone before the wizard shows its own windows.
  if (chosen < 0 || chosen >= WizardRegistry().Count()) return false;
  std::unique_ptr<TObject> object(WizardRegistry().ItemAt(chosen).WizardClass->Create(Designer));
  auto* wizard = dynamic_cast<TfrxCustomWizard*>(object.get());
  if (!wizard || !wizard->Execute()) return false;
  Designer->FlagModified(true);
  return true;
}
