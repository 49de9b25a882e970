// The preview's commands on the prepared report: print, save, open, export, find, page
// settings, page editing, adding, deleting and clearing pages, cancelling a preparation.
#include "report/frxPreview.h"

#include "core/Scope.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxExportFilter.h"
#include "report/frxPages.h"
#include "report/frxPreviewDialogs.h"
#include "report/frxPreviewPages.h"
#include "report/frxRes.h"
#include "report/frxView.h"

#include <memory>

namespace {

String PreparedFilesFilter() { return ReportResources()->TextOf("clFP3files") + " (*.fp3)|*.fp3"; }

// The view unlocks when the command ends, however it ends.
class TViewUnlock {
public:
  explicit TViewUnlock(TfrxPreview* Preview) : FPreview(Preview) {}
  ~TViewUnlock() { FPreview->UnlockView(); }
  TViewUnlock(const TViewUnlock&) = delete;
  TViewUnlock& operator=(const TViewUnlock&) = delete;

private:
  TfrxPreview* FPreview;
};

// A copy of a prepared page whose objects stand directly on it at their printed places: data
// bindings dropped, bands gone.
void FlattenPage(TfrxReportPage* Page) {
  std::vector<TfrxComponent*> all = Page->AllObjects();
  for (TfrxComponent* object : all) {
    if (auto* view = dynamic_cast<TfrxView*>(object)) {
      view->SetDataField("");
      view->SetDataSet(nullptr);
    }
    if (object->Parent() == Page) continue;
    Extended left = object->AbsLeft(), top = object->AbsTop();
    object->SetLeft(left);
    object->SetTop(top);
    object->SetParentFont(false);
    object->SetParent(Page);
    if (auto* view = dynamic_cast<TfrxView*>(object))
      if (view->Align() == baBottom || view->Align() == baClient) view->SetAlign(baNone);
  }
  for (TfrxComponent* object : all)
    if (dynamic_cast<TfrxBand*>(object)) delete object;
}

}  // namespace

void TfrxPreview::Print() {
  if (FPreparing || !Pages() || !Report()) return;
  // A report that is already printing is left to finish: no second job from inside its loop.
  if (Report()->Busy()) return;
  TRestore<bool> busy(Report()->BusyFlag(), true);
  Pages()->SetCurPreviewPage(FPageNo);
  TViewUnlock unlock(this);
  Pages()->Print();
}

void TfrxPreview::SaveWithDialog() {
  if (FPreparing || !Pages()) return;
  auto dialog = std::make_unique<TSaveDialog>(Application);
  dialog->SetFilter(PreparedFilesFilter());
  if (!dialog->Execute()) return;
  String name = ChangeFileExt(dialog->FileName(), ".fp3");
  dialog.reset();
  FWorkspace->Repaint();
  SaveToFile(name);
}

void TfrxPreview::SaveToFile(const String& FileName) {
  if (FPreparing || !Pages()) return;
  LockView();
  TViewUnlock unlock(this);
  ShowMessagePanel(ReportResources()->TextOf("clSaving"));
  Pages()->SaveToFile(FileName);
}

void TfrxPreview::LoadWithDialog() {
  if (FPreparing || !Pages()) return;
  auto dialog = std::make_unique<TOpenDialog>(nullptr);
  dialog->SetFilter(PreparedFilesFilter());
  dialog->SetOptions(dialog->Options() + ofHideReadOnly);
  if (!dialog->Execute()) return;
  String name = dialog->FileName();
  dialog.reset();
  FWorkspace->Repaint();
  LoadFromFile(name);
}

void TfrxPreview::LoadFromFile(const String& FileName) {
  if (FPreparing || !Pages()) return;
  LockView();
  TScopeExit finish([&] {
    FillOutline();
    RebuildPageList();
    UnlockView();
    SetPageNo(1);
  });
  ShowMessagePanel(ReportResources()->TextOf("clLoading"));
  Pages()->LoadFromFile(FileName, false);
  FPagesFromFile = true;
  if (Report()) SetOutlineVisible(Report()->PreviewOptions()->OutlineVisible());
}

void TfrxPreview::Export(TfrxCustomExportFilter* Filter) {
  if (FPreparing || !Pages() || !Filter) return;
  Pages()->SetCurPreviewPage(FPageNo);
  TViewUnlock unlock(this);
  TfrxCustomExportFilter* filter = Filter;
  if (Report() && Report()->DotMatrixReport() && Filter->ClassName() == "TfrxTextExport")
    if (TfrxCustomExportFilter* dotMatrix = DotMatrixExportFilter()) filter = dotMatrix;
  Pages()->Export(filter);
}

void TfrxPreview::Find() {
  TfrxSearchDialog dialog(Application);
  dialog.InitForm();
  if (dialog.ShowModal() == mrOk) {
    TfrxPreviewSearch& search = PreviewSearch();
    search.SearchText = dialog.TextE->Text();
    search.SearchCaseSensitive = dialog.CaseCB->Checked();
    FWorkspace->SetSearchPage(dialog.TopCB->Checked() ? 0 : std::max(0, FPageNo - 1));
    search.LastFoundRecord = -1;
    FWorkspace->FindText();
  }
  FCanFindNext = true;
}

void TfrxPreview::FindNext() {
  if (FCanFindNext) FWorkspace->FindText();
}

namespace {

// The paper of Source on Target: orientation and paper through their setters, margins as
// they are.
void TakePaper(TfrxReportPage* Target, TfrxReportPage* Source) {
  Target->SetOrientation(Source->Orientation());
  Target->SetPaperWidth(Source->PaperWidth());
  Target->SetPaperHeight(Source->PaperHeight());
  Target->SetPaperSize(Source->PaperSize());
  Target->SetLeftMargin(Source->LeftMargin());
  Target->SetRightMargin(Source->RightMargin());
  Target->SetTopMargin(Source->TopMargin());
  Target->SetBottomMargin(Source->BottomMargin());
}

}  // namespace

void TfrxPreview::PageSetup() {
  if (FPreparing || !Pages() || !Report() || PageCount() == 0) return;
  TfrxReportPage* page = Pages()->GetPage(FPageNo - 1);
  if (!page) return;
  TfrxPageSettingsForm form(Application);
  form.InitForm();
  form.EditedPage = page;
  form.OwnerReport = Report();
  if (form.ShowModal() != mrOk) return;
  if (form.ApplyToAllPages() && !FPagesFromFile) {
    for (int i = 0; i < Report()->CountPages(); ++i)
      if (auto* target = dynamic_cast<TfrxReportPage*>(Report()->PageAt(i))) TakePaper(target, page);
    Report()->Prepare(true);
    return;
  }
  LockView();
  TViewUnlock unlock(this);
  // Storing a page empties the store's page cache: the edited settings are kept apart first.
  TfrxReportPage settings(nullptr);
  TakePaper(&settings, page);
  Pages()->ModifyPage(FPageNo - 1, page);
  if (form.ApplyToAllPages()) {
    // Pages opened from a file have no template to prepare again from: preparing would lose
    // them. They change where they are, each as the current page does.
    for (int i = 0; i < Pages()->Count(); ++i) {
      if (i == FPageNo - 1) continue;
      TfrxReportPage* target = Pages()->GetPage(i);
      TakePaper(target, &settings);
      Pages()->ModifyPage(i, target);
    }
  }
  RebuildPageList();
}

void TfrxPreview::EditPage() {
  if (FPreparing || !Pages() || PageCount() == 0) return;
  TfrxReportPage* source = Pages()->GetPage(FPageNo - 1);
  if (!source) return;
  auto report = std::make_unique<TfrxReport>(nullptr);
  TfrxReportPage* page = dynamic_cast<TfrxDMPPage*>(source) ? new TfrxDMPPage(nullptr) : new TfrxReportPage(nullptr);
  page->AssignAll(source);
  FlattenPage(page);
  page->SetParent(report.get());
  if (report->RunDesignerModified()) {
    LockView();
    TViewUnlock unlock(this);
    Pages()->ModifyPage(FPageNo - 1, dynamic_cast<TfrxReportPage*>(report->PageAt(0)));
    RebuildPageList();
  }
}

void TfrxPreview::EditTemplate() {
  if (!Pages()) return;
  auto report = std::make_unique<TfrxReport>(nullptr);
  std::vector<TfrxComponent*> pages;
  for (int i = 0; i < Pages()->SourcePageCount(); ++i) pages.push_back(Pages()->SourcePage(i));
  // The source pages stay the store's: the report only lists them while the designer is open.
  report->ListObjects(pages);
  TScopeExit unlist([&] { report->UnlistObjects(); });
  report->RunDesigner();
}

void TfrxPreview::AddPage() {
  if (FPreparing || !Pages() || PageCount() == 0) return;
  Pages()->AddEmptyPage(FPageNo - 1);
  RebuildPageList();
  ApplyZoomMode();
  SetPageNo(FPageNo);
}

void TfrxPreview::DeletePage() {
  if (FPreparing || !Pages() || PageCount() == 0) return;
  Pages()->DeletePage(FPageNo - 1);
  if (FPageNo >= PageCount() && PageCount() > 1) FPageNo = FPageNo - 1;
  if (FPageNo > PageCount()) FPageNo = PageCount();
  RebuildPageList();
  NotifyPageChanged();
  ApplyZoomMode();
}

void TfrxPreview::Clear() {
  if (FPreparing) return;
  LockView();
  {
    TViewUnlock unlock(this);
    if (Pages()) Pages()->Clear();
    FPagesFromFile = false;
    RebuildPageList();
  }
  FillOutline();
  SetPageNo(0);
  FWorkspace->ChangeHorzRange(0);
  FWorkspace->ChangeVertRange(0);
}

void TfrxPreview::CancelPrepare() {
  if (Report()) Report()->SetTerminated(true);
}

void TfrxPreview::CancelIfPreparing() {
  if (FPreparing) CancelPrepare();
}

void TfrxPreview::ShowMessagePanel(const String& Text) {
  FMessagePanel->SetBounds((Width() - 260) / 2, (Height() - 75) / 3, 260, 75);
  FMessageLabel->SetCaption(Text);
  FMessagePanel->Show();
  FMessagePanel->BringToFront();
  FMessagePanel->Repaint();
}

void TfrxPreview::HideMessagePanel() { FMessagePanel->Hide(); }
