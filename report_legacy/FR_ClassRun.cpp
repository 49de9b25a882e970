// Running a report into prepared pages, in one or two passes; exporting and storing them.
#include "report_legacy/FR_ClassPrepared.h"

#include "report_legacy/FR_Utils.h"

#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/MessageBox.h"

namespace {

// A run, export or print started while another is going on is ignored.
bool& Busy() {
  static bool busy = false;
  return busy;
}

}  // namespace

bool TfrReport::PrepareReport() {
  if (Busy()) return false;
  TRestore<bool> busy(Busy(), true);
  TfrEngineState& s = frState();
  s.EngineMode = 1;
  s.RunDateTime = Now();
  s.CurrentReport = this;
  s.RootReport = this;
  // Objects aligned to their neighbours take their places once.
  for (int p = 0; p < FPages->Count(); ++p) {
    TfrPage* page = FPages->Page(p);
    s.CurrentPage = page;
    for (const auto& v : page->Objects)
      if (v->BandAlign != 0 && !dynamic_cast<TfrBandView*>(v.get())) v->DrawOnCanvas(TfrGlobals::Instance()->WorkCanvas());
  }
  s.CurrentPage = nullptr;
  s.CurrentBand = nullptr;
  s.CurrentView = nullptr;
  SavedTwoPass = TwoPass != 0;
  // Everything the run changes in objects and pages is undone by reading the definition back.
  TMemoryStream definition;
  {
    TRestore<bool> binary(SaveInNewFormat, false);
    SaveToStream(&definition);
  }
  if (FOnBeginDoc) FOnBeginDoc();
  Terminated = false;
  s.AppendToPrevious = false;
  s.CalcOnlyPass = false;
  s.ErrorFlag = false;
  s.ErrorText.clear();
  FinalPass = true;
  s.PageIndex = 0;
  FPreparedPages->Clear();
  if (TwoPass) {
    s.CalcOnlyPass = true;
    FinalPass = false;
    DoBuildReport();
    s.PageTotal = FPreparedPages->Count();
    if (!Terminated) {
      s.CalcOnlyPass = false;
      FinalPass = true;
      s.PageIndex = 0;
      s.AppendToPrevious = false;
      FPreparedPages->Clear();
      DoBuildReport();
    }
  } else {
    s.PageTotal = 0;
    DoBuildReport();
  }
  bool result = !Terminated;
  if (FOnEndDoc) FOnEndDoc();
  const bool failed = s.ErrorFlag;
  const String error = s.ErrorText;
  definition.SetPosition(0);
  LoadFromStream(&definition);
  s.EngineMode = 1;
  s.CurrentReport = this;
  FinalPass = false;
  if (s.DialogCancelled) result = false;
  if (failed) {
    MessageBox(0, error, LocaleText(55206), MB_OK | MB_ICONERROR);
    FPreparedPages->Clear();
    result = false;
  } else if (s.DialogCancelled) {
    FPreparedPages->Clear();
  }
  s.CalcOnlyPass = false;
  s.CurrentBand = nullptr;
  s.ErrorFlag = false;
  return result;
}

void TfrReport::DoBuildReport() {
  TfrEngineState& s = frState();
  RebuildAllowed = true;
  s.EngineMode = 1;
  s.CurrentReport = this;
  FDictionary->ClearCache();
  const bool multiple = FDataset && FReportType == TfrReportType::rtMultiple;
  if (multiple) {
    FDataset->BeginRun();
    FDataset->GoFirst();
  }
  const bool finalOfTwo = TwoPass && FinalPass;
  if (!finalOfTwo) {
    TfrGlobals::Instance()->NotificationList.clear();
    for (int p = 0; p < FPages->Count(); ++p) FPages->Page(p)->IsSubPage = false;
    s.DialogCancelled = false;
  }
  for (int p = 0; p < FPages->Count(); ++p) {
    TfrPage* page = FPages->Page(p);
    s.CurrentPage = page;
    page->PrepareRun();
  }
  for (int p = 0; p < FPages->Count() && !Terminated; ++p) {
    s.CurrentPage = FPages->Page(p);
    FPages->Page(p)->PrepareObjects();
  }
  while (!Terminated) {
    Progress(s.PageIndex + 1);
    for (int p = 0; p < FPages->Count(); ++p) {
      TfrPage* page = FPages->Page(p);
      CurrentPage = p + 1;
      s.CurrentPage = page;
      if (!page->Visible) {
        if (page->PageScript->Count() > 0) TfrGlobals::Instance()->Interpretator->RunSource(page->PageScript.get());
      } else if (page->Type == 0 && !page->IsSubPage) {
        page->FormPage();
        s.AppendToPrevious = false;
        if (p + 1 < FPages->Count() && FPages->Page(p + 1)->PrintToPrevPage) {
          --s.PageIndex;
          s.AppendToPrevious = true;
        } else {
          s.PageIndex = FPreparedPages->Count();
          Progress(s.PageIndex);
        }
      }
      if (Terminated) break;
    }
    Progress(s.PageIndex);
    if (!multiple) break;
    FDataset->GoNext();
    if (FDataset->AtEnd()) break;
  }
  for (int p = 0; p < FPages->Count(); ++p) FPages->Page(p)->FinishRun();
  if (multiple) FDataset->EndRun();
}

void TfrReport::Progress(int n) {
  if (FOnProgress) FOnProgress(n);
}

void TfrReport::ExportTo(TfrExportFilter* Filter, const String& FName) {
  if (Busy() || !Filter) return;
  TRestore<bool> busy(Busy(), true);
  TfrEngineState& s = frState();
  s.EngineMode = 1;
  TRestore<TfrExportFilter*> current(CurrentFilter, Filter);
  TRestore<TfrReport*> running(s.CurrentReport, this), root(s.RootReport, this);
  Filter->FileName = FName;
  TFileStream file(FName, fmCreate);
  Filter->Stream = &file;
  s.PageTotal = FPreparedPages->Count();
  Terminated = false;
  Filter->OnBeginDoc();
  for (int i = 0; i < FPreparedPages->Count() && !Terminated; ++i) {
    Filter->OnBeginPage();
    FPreparedPages->ExportData(i);
    Progress(i + 1);
    Filter->OnEndPage();
  }
  Filter->OnEndDoc();
  Filter->Stream = nullptr;
}

void TfrReport::LoadPreparedReport(const String& FName) {
  ResetInfo();
  TFileStream f(FName, fmOpenRead);
  FPreparedPages->LoadFromStream(&f);
  RebuildAllowed = false;
}

void TfrReport::SavePreparedReport(const String& FName) {
  TFileStream f(FName, fmCreate);
  FPreparedPages->SaveToStream(&f);
}
