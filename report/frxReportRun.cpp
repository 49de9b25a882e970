// What the report does around a run of its engine: the data-set check, the copy of the
// definition that the run's changes are undone from, the script's main block, the engine's
// run, and reporting what went wrong; and the progress of runs, prints and exports.
#include "report/frxClass.h"

#include "core/Format.h"
#include "core/Scope.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "gui/Timers.h"
#include "report/frxDMPClass.h"
#include "report/frxPages.h"
#include "report/frxPreview.h"
#include "report/frxPreviewForm.h"
#include "report/frxProgress.h"
#include "report/frxClassBases.h"
#include "report/frxFormUtils.h"
#include "report/frxPreviewPages.h"
#include "report/frxRes.h"
#include "script/fs_iscript.h"
#include "script/fs_istatement.h"

#include <memory>

bool TfrxReport::Prepare(bool ClearLastReport) {
  // A run asked for from inside a run's (or a print's) message loop would rebuild the pages
  // under the one in progress.
  if (FBusy) return false;
  TRestore<bool> busy(FBusy, true);
  if (ClearLastReport)
    if (auto* store = dynamic_cast<TfrxPreviewPages*>(FPreviewPages.get())) store->Clear();
  FErrors->Clear();
  SetTerminated(false);
  bool result = false;

  for (int i = 0; i < FDataSets->Count(); ++i)
    if (!FDataSets->Items(i)->DataSet())
      FErrors->Add(Format(ReportResources()->TextOf("clDSNotExist"), {FDataSets->Items(i)->DataSetName()}));

  if (FErrors->Count() == 0) {
    std::unique_ptr<TMemoryStream> saved;
    if (FEngineOptions->ReloadAfterRun()) {
      saved = std::make_unique<TMemoryStream>();
      SaveToStream(saved.get(), true, false);
    }
    try {
      if (OnBeginDoc.Assigned()) OnBeginDoc(this);
      if (CompileReportScript()) {
        if (FScript->MainStatement() && FScript->MainStatement()->StatementCount() > 0) FScript->RunProgram();
        if (FEngine && FEngine->BuildReport()) {
          if (OnEndDoc.Assigned()) OnEndDoc(this);
          result = true;
        }
      }
    } catch (const Exception& e) {
      FErrors->Add(e.Message());
    }
    if (saved) {
      // The run's changes go: the definition comes back as it was, its errors stay.
      String errors = FErrors->Text();
      {
        TRestore<bool> reloading(FReloading, true);
        saved->SetPosition(0);
        try {
          LoadFromStream(saved.get());
        } catch (const Exception& e) {
          errors += e.Message() + "\r\n";
        }
      }
      FErrors->SetText(errors);
    }
  }

  if (FErrors->Count() > 0) {
    result = false;
    ReportErrorByMode(this, ReportResources()->TextOf("clErrors") + "\r\n" + FErrors->Text());
  }
  return result;
}

namespace {

// Whether a progress kind shows the progress window: preparing only in the old style.
bool ShowsProgressWindow(const TfrxReport* Report, TfrxProgressType Kind) {
  return (Report->OldStyleProgress() || Kind != ptRunning) && Report->ShowProgress();
}

}  // namespace

void TfrxReport::ProgressBegin(TfrxProgressType ProgressType) {
  if (OnProgressStart.Assigned()) OnProgressStart(this, ProgressType, 0);
  if (ShowsProgressWindow(this, ProgressType)) {
    delete FProgress;
    FProgress = new TfrxProgress(nullptr);
    FProgress->InitForm();
    FProgress->OpenWindow(0, "", false, true);
  }
  if (ProgressType == ptRunning && FPreview) FPreview->PrepareStarted();
  if (Application) Application->ProcessMessages();
}

void TfrxReport::ProgressStep(TfrxProgressType ProgressType, int Progress) {
  if (OnProgress.Assigned()) OnProgress(this, ProgressType, Progress);
  if (ShowsProgressWindow(this, ProgressType) && FProgress) {
    const char* key = ProgressType == ptExporting ? "prExporting"
                      : ProgressType == ptPrinting ? "prPrinting"
                      : FEngine && FEngine->DoublePass() && !FEngine->FinalPass() ? "prRunningFirst"
                                                                                  : "prRunning";
    FProgress->SetMessageText(Format(ReportResources()->TextOf(key), {Progress}));
    if (FProgress->CancelRequested()) SetTerminated(true);
  }
  if (ProgressType == ptRunning && FPreview) FPreview->PagePrepared(Progress - 1);
  if (Application) Application->ProcessMessages();
}

void TfrxReport::ProgressEnd(TfrxProgressType ProgressType) {
  if (OnProgressStop.Assigned()) OnProgressStop(this, ProgressType, 0);
  if (ShowsProgressWindow(this, ProgressType)) {
    delete FProgress;
    FProgress = nullptr;
  }
  if (ProgressType == ptRunning && FPreview) FPreview->PrepareFinished();
  if (Application) Application->ProcessMessages();
}

void TfrxReport::ShowProgressMessage(const String& Value) {
  if (FOldStyleProgress && FEngine && FEngine->Running() && FShowProgress && FProgress)
    FProgress->SetMessageText(Value);
  if (auto* form = dynamic_cast<TfrxPreviewForm*>(FPreviewForm)) form->ShowStatusHint(Value);
  if (Application) Application->ProcessMessages();
}

// ---------------------------------------------------------------- showing

void TfrxReport::ShowReport(bool ClearLastReport) {
  // Asked again while preparing or printing (a script, a second click in the loop): the run
  // in progress is left alone.
  if (FBusy || (FTimer && FTimer->Enabled())) return;
  if (ClearLastReport)
    if (auto* store = dynamic_cast<TfrxPreviewPages*>(FPreviewPages.get())) store->Clear();
  if (!FOldStyleProgress) {
    if (!FTimer) {
      FTimer = std::make_unique<TTimer>(nullptr);
      FTimer->SetEnabled(false);
      FTimer->SetInterval(50);
      FTimer->SetOnTimer(MakeEvent(this, &TfrxReport::TimerPrepare));
    }
    // The run waits only for the message loop (the preview window's, once it is shown): a
    // message posted now starts it on the loop's first turn instead of after the timer's
    // interval. The enabled timer marks the run as pending; whichever comes first disables
    // it, so the run starts once.
    if (!FPrepareWindow)
      FPrepareWindow = AllocateHWnd([this](TMessage& M) {
        if (M.Msg == WM_USER && FTimer && FTimer->Enabled()) TimerPrepare(FTimer.get());
      });
    FTimer->SetEnabled(true);
    PostMessage(FPrepareWindow, WM_USER, 0, 0);
    ShowPrepared();
    return;
  }
  if (Prepare(false)) ShowPrepared();
}

void TfrxReport::TimerPrepare(TObject*) {
  FTimer->SetEnabled(false);
  if (!Prepare(false) && FPreviewForm) FPreviewForm->Close();
}

void TfrxReport::ShowPrepared() {
  FPreviewForm = nullptr;
  if (FPreview) {
    FPreview->SetReport(this);
    FPreview->SetPreviewPages(FPreviewPages.get());
    FPreview->AttachReport(this);
    return;
  }
  auto* form = new TfrxPreviewForm(Application);
  form->InitForm();
  FPreviewForm = form;
  form->FreeNotification(this);
  SetPreview(form->Preview());
  form->ApplyPreviewOptions();
  if (OnPreview.Assigned()) OnPreview(this);
  if (FPreviewOptions->Maximized()) form->SetPosition(poDesigned);
  if (FPreviewOptions->Modal()) {
    std::unique_ptr<TfrxPreviewForm> owned(form);
    TScopeExit unlink([&] {
      // The run may still be waiting in the timer when the window goes.
      if (FTimer) FTimer->SetEnabled(false);
      if (FPreview == form->Preview()) SetPreview(nullptr);
      FPreviewForm = nullptr;
    });
    form->ShowModal();
  } else {
    form->SetFreeOnClose(true);
    form->Show();
  }
}

// ---------------------------------------------------------------- the designer

namespace {

// The form that was active stays disabled while the designer runs, and gets the focus back.
class TActiveFormHold {
public:
  TActiveFormHold() : FForm(Screen->ActiveForm()) {
    if (FForm) FForm->SetEnabled(false);
  }
  ~TActiveFormHold() {
    if (!FForm) return;
    FForm->SetEnabled(true);
    if (FForm->Visible() && FForm->CanFocus()) FForm->SetFocus();
  }
  TActiveFormHold(const TActiveFormHold&) = delete;
  TActiveFormHold& operator=(const TActiveFormHold&) = delete;

private:
  TForm* FForm;
};

}  // namespace

void TfrxReport::RunDesigner() {
  if (FDesigner || !DesignerClass) return;
  if (CountPages() == 0) {
    TfrxReportPage* page = FDotMatrixReport ? new TfrxDMPPage(this) : new TfrxReportPage(this);
    page->SetParent(this);
    page->TakePrinterDefaults();
    page->SetName("Page1");
  }
  FScript->DropOwnerItems(reinterpret_cast<TfsOwnerTag>(static_cast<const TfrxReport*>(this)));
  for (TfrxComponent* object : AllObjects())
    if (auto* data = dynamic_cast<TfrxCustomDBDataSet*>(object)) data->PrepareForRun();
  TActiveFormHold hold;
  FModified = false;
  std::unique_ptr<TfrxCustomDesigner> designer(DesignerClass(nullptr, this, false));
  FDesigner = designer.get();
  TScopeExit forget([&] { FDesigner = nullptr; });
  PostMessage(designer->Handle(), WM_USER + 1, 0, 0);
  designer->Show();
  while (!designer->Closed()) Application->HandleMessage();
  FModified = designer->Modified();
}

bool TfrxReport::RunDesignerModified() {
  if (FDesigner || !DesignerClass) return false;
  TActiveFormHold hold;
  FModified = false;
  std::unique_ptr<TfrxCustomDesigner> designer(DesignerClass(nullptr, this, true));
  FDesigner = designer.get();
  TScopeExit forget([&] { FDesigner = nullptr; });
  designer->Show();
  while (!designer->Closed()) Application->HandleMessage();
  return designer->Modified();
}
