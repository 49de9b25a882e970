// The designer window's pages: the tabs, changing and reordering pages, dialog pages edited
// inside their own form, the objects lists and the list of a dialog's non-visual components.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>

namespace {
// Scroll positions are remembered for these tab indexes only.
constexpr int kFirstRememberedTab = 1;
constexpr int kLastRememberedTab = 254;

int PixelsOfMM(Extended MM) { return static_cast<int>(Round(MM * 96 / 25.4)); }

int PageIndexOf(TfrxReport* Report, TfrxPage* Page) {
  for (int i = 0; i < Report->CountPages(); ++i)
    if (Report->PageAt(i) == Page) return i;
  return -1;
}
}  // namespace

// ---------------------------------------------------------------- tabs

String TfrxDesignerForm::PageTabText(TfrxPage* APage, int Position) const {
  auto* rp = dynamic_cast<TfrxReportPage*>(APage);
  if (rp && rp->SubreportOwner()) return rp->SubreportOwner()->Name();
  if (!APage->Name().empty()) return APage->Name();
  return ReportResources()->TextOf("dsPage") + IntToStr(Position);
}

void TfrxDesignerForm::RebuildPageTabs(int Index) {
  FDesignedDialogForm = nullptr;
  {
    TStrings* tabs = Tab->Tabs();
    tabs->BeginUpdate();
    TScopeExit endUpdate([&] { tabs->EndUpdate(); });
    tabs->Clear();
    tabs->Add(ReportResources()->TextOf("dsCode"));
    for (int i = 0; i < Report()->CountPages(); ++i) {
      TfrxPage* p = Report()->PageAt(i);
      p->SetIsDesigning(true);
      for (TfrxComponent* c : p->AllObjects()) c->SetIsDesigning(true);
      tabs->Add(PageTabText(p, i + 1));
    }
  }
  if (Index == -1) ChangePage(nullptr);
  else if (Index >= 0 && Index < Report()->CountPages()) ChangePage(Report()->PageAt(Index));
  else if (Report()->CountPages() > 0) ChangePage(Report()->PageAt(0));
  else ChangePage(nullptr);
}

void TfrxDesignerForm::TabChanging(TObject*, bool& AllowChange) {
  if (IsPreviewDesigner() || FScriptRunning) {
    AllowChange = false;
    return;
  }
  if (!Page() && FCodeWindow->Modified()) {
    FlagModified(true);
    FCodeWindow->SetModified(false);
  }
  RememberScrollPosition();
}

void TfrxDesignerForm::TabChange(TObject*) {
  int i = Tab->TabIndex();
  ChangePage(i <= 0 ? nullptr : Report()->PageAt(i - 1));
}

void TfrxDesignerForm::RememberScrollPosition() {
  int i = Tab->TabIndex();
  if (i < kFirstRememberedTab || i > kLastRememberedTab) return;
  FTabScrollPositions[static_cast<size_t>(i)] =
      IntToStr(ScrollBox->HorzScrollBar()->Position()) + ":" + IntToStr(ScrollBox->VertScrollBar()->Position());
}

void TfrxDesignerForm::RestoreScrollPosition() {
  int i = Tab->TabIndex();
  if (i < kFirstRememberedTab || i > kLastRememberedTab) return;
  const String& s = FTabScrollPositions[static_cast<size_t>(i)];
  std::size_t colon = s.find(':');
  if (colon == String::npos) return;
  ScrollBox->HorzScrollBar()->SetPosition(StrToIntDef(s.substr(0, colon), 0));
  ScrollBox->VertScrollBar()->SetPosition(StrToIntDef(s.substr(colon + 1), 0));
}

// ---------------------------------------------------------------- reordering pages by dragging tabs

void TfrxDesignerForm::TabMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbRight) {
    FTabDragArmed = true;
    return;
  }
  TPoint p = Tab->ClientToScreen({X, Y});
  TabPopup->Popup(p.X, p.Y);
}

void TfrxDesignerForm::TabMouseMove(TObject*, TShiftState, int, int) {
  if (!FTabDragArmed) return;
  FTabDragArmed = false;
  Tab->BeginDrag(false);
}

void TfrxDesignerForm::TabMouseUp(TObject*, TMouseButton, TShiftState, int, int) { FTabDragArmed = false; }

void TfrxDesignerForm::TabDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = Source == Tab;
}

void TfrxDesignerForm::TabDragDrop(TObject*, TObject*, int X, int Y) {
  int hit = Tab->IndexOfTabAt(X, Y);
  // The code tab stays first.
  if (hit <= 0 || !Page()) return;
  MovePageTab(hit);
}

void TfrxDesignerForm::MovePageTab(int ToTab) {
  int from = Tab->TabIndex();
  if (from <= 0 || from == ToTab || ToTab >= Tab->Tabs()->Count()) return;
  Tab->Tabs()->Move(from, ToTab);
  std::vector<TfrxComponent*> pages = Report()->UnlistObjects();
  TfrxComponent* moved = pages[static_cast<size_t>(from - 1)];
  pages.erase(pages.begin() + (from - 1));
  pages.insert(pages.begin() + (ToTab - 1), moved);
  Report()->ListObjects(std::move(pages));
  Tab->SetTabIndex(ToTab);
  FlagModified(true);
}

// ---------------------------------------------------------------- changing the page

void TfrxDesignerForm::ChangePage(TfrxPage* APage) {
  TfrxCustomDesigner::ChangePage(APage);
  Tab->SetTabIndex(APage ? PageIndexOf(Report(), APage) + 1 : 0);
  DetachDialogForm();
  ScrollBoxPanel->SetVisible(APage != nullptr);
  CodePanel->SetVisible(APage == nullptr);
  FilterPalette();
  UpdateControls();
  if (!APage) {
    if (Visible() && FCodeWindow->CanFocus()) FCodeWindow->SetFocus();
    return;
  }
  if (auto* rp = dynamic_cast<TfrxReportPage*>(APage)) ShowReportPage(rp);
  else if (auto* dp = dynamic_cast<TfrxDialogPage*>(APage)) ShowDialogPage(dp);
  else Report()->Errors()->Add("Page object is not page");
  ReloadObjects();
  RestoreScrollPosition();
  FillDataList();
}

void TfrxDesignerForm::ShowReportPage(TfrxReportPage* APage) {
  FWorkspace->SetParent(ScrollBox);
  FWorkspace->SetAlign(alNone);
  FWorkspace->SetPageColor(FWorkspaceColor);
  FWorkspace->SetScale(FScale);
  FUnits = APage->Is<TfrxDMPPage>() ? ruChars : FReportUnits;
  FWorkspace->SetPage(APage);
  ApplyUnits();
  LayoutReportPage();
  if (Visible() && ScrollBox->CanFocus()) ScrollBox->SetFocus();
}

void TfrxDesignerForm::ShowDialogPage(TfrxDialogPage* APage) {
  FUnits = ruPixels;
  FDesignedDialogForm = APage->Form();
  FWorkspace->SetPage(APage);
  FWorkspace->SetParent(FDesignedDialogForm);
  FWorkspace->SetAlign(alClient);
  ApplyUnits();
  FWorkspace->SetGridType(gkDialog);
  FWorkspace->SetGridX(FGridSizeDialog);
  FWorkspace->SetGridY(FGridSizeDialog);
  FWorkspace->SetPageColor(APage->Color());
  FWorkspace->SetScale(1);
  FWorkspace->SetPageSize(0, 0, TRect{0, 0, 0, 0});
  FDesignedDialogForm->SetPosition(poDesigned);
  FDesignedDialogForm->SetBorderStyle(bsSizeable);
  AttachDialogForm();
  FDesignedDialogForm->Show();
}

void TfrxDesignerForm::LayoutReportPage() {
  auto* p = dynamic_cast<TfrxReportPage*>(Page());
  if (!p) return;
  ScrollBox->HorzScrollBar()->SetPosition(0);
  ScrollBox->VertScrollBar()->SetPosition(0);
  FWorkspace->SetOrigin({10, 10});
  int height = PixelsOfMM(p->PaperHeight() * (p->LargeDesignHeight() ? 5 : 1));
  FWorkspace->SetPageSize(PixelsOfMM(p->PaperWidth()), height,
                          TRect{PixelsOfMM(p->LeftMargin()), PixelsOfMM(p->TopMargin()), PixelsOfMM(p->RightMargin()),
                                PixelsOfMM(p->BottomMargin())});
  ScrollBoxResize(nullptr);
}

void TfrxDesignerForm::ReloadObjects() {
  std::vector<TfrxComponent*>& objects = Objects();
  objects.clear();
  if (Page()) objects = Page()->AllObjects();
  objects.push_back(Report());
  if (Page()) objects.push_back(Page());
  SelectedObjects().assign(1, Page());
  FWorkspace->SetPage(Page());
  FWorkspace->UnlockUpdates();
  FWorkspace->ArrangeBands();
  FWorkspace->Invalidate();
  if (LockInspector) LockInspector(false);
  RefreshDataTree();
  if (RefreshReportTree) RefreshReportTree();
  NotifySelectionChanged(this);
}

// ---------------------------------------------------------------- dialog pages

void TfrxDesignerForm::AttachDialogForm() {
  if (!FDesignedDialogForm) return;
  FDesignedDialogForm->SetDesigner(this);
  FDesignedDialogForm->OnModify = MakeEvent(this, &TfrxDesignerForm::DialogFormModified);
}

void TfrxDesignerForm::DetachDialogForm() {
  if (!FDesignedDialogForm) return;
  TfrxDialogForm* form = FDesignedDialogForm;
  FDesignedDialogForm = nullptr;
  FWorkspace->SetParent(nullptr);
  form->SetDesigner(nullptr);
  form->OnModify = TNotifyEvent();
  form->Hide();
}

void TfrxDesignerForm::DialogFormModified(TObject*) {
  auto* page = dynamic_cast<TfrxDialogPage*>(Page());
  if (!page || !FDesignedDialogForm) return;
  page->SetLeft(FDesignedDialogForm->Left());
  page->SetTop(FDesignedDialogForm->Top());
  page->SetWidth(FDesignedDialogForm->Width());
  page->SetHeight(FDesignedDialogForm->Height());
  FlagModified(true);
}

// The live controls of a dialog being designed stay inert: their mouse input goes to the
// workspace at the same place of the form, their keys to the workspace.
bool TfrxDesignerForm::IsDesignMsg(TControl* Sender, TMessage& Message) {
  if (!FDesignedDialogForm || Sender == FWorkspace || Sender == FDesignedDialogForm) return false;
  for (TControl* c = Sender; c; c = c->Parent())
    if (c == FWorkspace) return false;  // the in-place editor
  bool mouse = Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST;
  if (!mouse) {
    FWorkspace->Perform(Message.Msg, Message.WParam, Message.LParam);
    return true;
  }
  if (Message.Msg == WM_MOUSEWHEEL) return true;
  TPoint p{static_cast<short>(Message.LParam & 0xFFFF), static_cast<short>((Message.LParam >> 16) & 0xFFFF)};
  p = FWorkspace->ScreenToClient(Sender->ClientToScreen(p));
  FWorkspace->Perform(Message.Msg, Message.WParam,
                      static_cast<LPARAM>((p.X & 0xFFFF) | ((static_cast<LPARAM>(p.Y) & 0xFFFF) << 16)));
  return true;
}

// ---------------------------------------------------------------- the data list

void TfrxDesignerForm::FillDataList() {
  TRestore<bool> updating(FUpdatingControls, true);
  TListItems* items = DataLV->Items();
  items->Clear();
  for (TfrxComponent* c : Objects()) {
    if (!c->Is<TfrxDialogComponent>()) continue;
    TListItem* item = items->Add();
    item->SetCaption(c->Name());
    item->SetData(c);
    for (int i = 0; i < ObjectRegistry().Count(); ++i)
      if (ObjectRegistry().ItemAt(i).ObjectClass == c->ClassType()) item->SetImageIndex(ObjectRegistry().ItemAt(i).ImageIndex);
  }
  bool any = items->Count() > 0;
  DataLV->SetVisible(any);
  Splitter1->SetVisible(any);
  if (any) {
    Splitter1->SetTop(DataLV->Top() - 10);
    DataLV->Arrange(arSnapToGrid);
  }
}

void TfrxDesignerForm::DataLVClick(TObject*) {
  std::vector<TfrxComponent*> chosen;
  for (int i = 0; i < DataLV->Items()->Count(); ++i)
    if (DataLV->Items()->Item(i)->Selected()) chosen.push_back(static_cast<TfrxComponent*>(DataLV->Items()->Item(i)->Data()));
  if (chosen.empty()) return;
  SelectedObjects() = chosen;
  NotifySelectionChanged(FWorkspace);
}

void TfrxDesignerForm::DataLVChange(TObject* Sender, TListItem*, TItemChange) {
  if (!FUpdatingControls) DataLVClick(Sender);
}

void TfrxDesignerForm::DataLVDblClick(TObject*) {
  // The object's editor comes with the commands.
  if (SelectedObjects().size() == 1) FWorkspace->EditSelection();
}

void TfrxDesignerForm::DataLVKeyDown(TObject*, Word& Key, TShiftState) {
  FWorkspace->Perform(WM_KEYDOWN, Key, 0);
}
