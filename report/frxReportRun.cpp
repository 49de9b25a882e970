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
#include "report/frxClassBases.h"
#include "report/frxFormUtils.h"
#include "report/frxPreviewPages.h"
#include "report/frxRes.h"
#include "script/fs_iscript.h"
#include "script/fs_istatement.h"

#include <memory>

bool TfrxReport::Prepare(bool ClearLastReport) {
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

void TfrxReport::ProgressBegin(TfrxProgressType ProgressType) {
  if (OnProgressStart.Assigned()) OnProgressStart(this, ProgressType, 0);
  if (ProgressType == ptRunning && FPreview) FPreview->PrepareStarted();
  if (Application) Application->ProcessMessages();
}

void TfrxReport::ProgressStep(TfrxProgressType ProgressType, int Progress) {
  if (OnProgress.Assigned()) OnProgress(this, ProgressType, Progress);
  if (ProgressType == ptRunning && FPreview) FPreview->PagePrepared();
  if (Application) Application->ProcessMessages();
}

void TfrxReport::ProgressEnd(TfrxProgressType ProgressType) {
  if (OnProgressStop.Assigned()) OnProgressStop(this, ProgressType, 0);
  if (ProgressType == ptRunning && FPreview) FPreview->PrepareFinished();
  if (Application) Application->ProcessMessages();
}
