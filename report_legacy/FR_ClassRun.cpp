// Running a report into prepared pages, in one or two passes; exporting and storing them.
#include "report_legacy/FR_ClassPrepared.h"

#include "report_legacy/FR_Utils.h"

#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_progr.h"

#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/MessageBox.h"
#include "print/Printers.h"

#include <cassert>
#include <algorithm>
#include <cmath>

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
  SetPrinterTo(PrinterName);
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
  const bool shown = RunWithProgress(LocaleText(TwoPass ? 55204 : 55205), [this, &s] {
    // A failure of the run (a data set that cannot be found or opened) ends it with its
    // message, as an expression's failure does; nothing escapes into the progress window.
    try {
      BuildPasses();
    } catch (const Exception& e) {
      s.ErrorFlag = true;
      s.ErrorText = e.Message();
      Terminated = true;
      for (int p = 0; p < FPages->Count(); ++p) FPages->Page(p)->FinishRun();
    }
  });
  bool result = shown && !Terminated;
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

bool TfrReport::RunWithProgress(const String& Prefix, const std::function<void()>& Work) {
  FProgressPrefix = Prefix;
  if (FOnProgress || !FShowProgress) {
    Work();
    return true;
  }
  TfrProgressForm form(nullptr);
  form.InitForm();
  form.SetCaption(LocaleText(55203) + (FTitle.empty() ? String() : " - " + FTitle));
  form.Label1->SetCaption(Prefix);
  form.OnStart = TNotifyEvent::Lambda([this, &form, &Work](TObject*) {
    Work();
    form.SetModalResult(Terminated ? mrCancel : mrOk);
  });
  TRestore<TfrProgressForm*> current(FProgressForm, &form);
  return form.RunModal(this) != mrCancel;
}

// Both passes of a two-pass run, or the one pass.
void TfrReport::BuildPasses() {
  TfrEngineState& s = frState();
  if (!TwoPass) {
    s.PageTotal = 0;
    DoBuildReport();
    return;
  }
  s.CalcOnlyPass = true;
  FinalPass = false;
  DoBuildReport();
  s.PageTotal = FPreparedPages->Count();
  if (Terminated) {
    FPreparedPages->Clear();
    return;
  }
  FProgressPrefix = LocaleText(55205);
  s.CalcOnlyPass = false;
  FinalPass = true;
  s.PageIndex = 0;
  s.AppendToPrevious = false;
  FPreparedPages->Clear();
  DoBuildReport();
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
  // Dialog pages first, until one is cancelled.
  for (int p = 0; p < FPages->Count() && !s.DialogCancelled; ++p)
    if (FPages->Page(p)->Type == 1) {
      s.CurrentPage = FPages->Page(p);
      FPages->Page(p)->PrepareRun();
    }
  if (!s.DialogCancelled) {
    for (int p = 0; p < FPages->Count(); ++p)
      if (FPages->Page(p)->Type == 0) {
        s.CurrentPage = FPages->Page(p);
        FPages->Page(p)->PrepareRun();
      }
    for (int p = 0; p < FPages->Count() && !Terminated; ++p) {
      s.CurrentPage = FPages->Page(p);
      FPages->Page(p)->PrepareObjects();
    }
  }
  while (!Terminated && !s.DialogCancelled) {
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
  if (FOnProgress) {
    FOnProgress(n);
    return;
  }
  if (!FProgressForm) return;
  String line = FProgressPrefix + " " + IntToStr(n);
  if (frState().CalcOnlyPass || CurrentFilter) line += " " + LocaleText(55199) + " " + IntToStr(frState().PageTotal);
  FProgressForm->Label1->SetCaption(line);
  Application->ProcessMessages();
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
  RunWithProgress(LocaleText(55205), [&] {
    for (int i = 0; i < FPreparedPages->Count() && !Terminated; ++i) {
      Filter->OnBeginPage();
      FPreparedPages->ExportData(i);
      Progress(i + 1);
      Filter->OnEndPage();
    }
  });
  Filter->OnEndDoc();
  Filter->Stream = nullptr;
}

void TfrReport::LoadPreparedReport(const String& FName) {
  ResetInfo();
  TFileStream f(FName, fmOpenRead);
  FPreparedPages->LoadFromStream(&f);
  RebuildAllowed = false;
}

std::unique_ptr<TfrEMFPages> TfrReport::ExchangePreparedPages(std::unique_ptr<TfrEMFPages> Pages) {
  assert(Pages);
  std::swap(FPreparedPages, Pages);
  return Pages;
}

void TfrReport::SavePreparedReport(const String& FName) {
  TFileStream f(FName, fmCreate);
  FPreparedPages->SaveToStream(&f);
}

// ================================================================ printing

namespace {

// "1,3,5-" of 6 pages: 1, 3, 5, 6. Blanks are ignored; a trailing "-" runs to the last page.
std::vector<int> ParsePageList(String List, int PageCount) {
  std::erase(List, ' ');
  std::vector<int> pages;
  if (List.empty()) return pages;
  if (List.back() == '-') List += IntToStr(PageCount);
  for (const String& item : SplitList(List, ',')) {
    const std::size_t dash = item.find('-');
    if (dash == String::npos) {
      int n;
      if (TryStrToInt(item, n)) pages.push_back(n);
      continue;
    }
    int a, b;
    if (TryStrToInt(item.substr(0, dash), a) && TryStrToInt(item.substr(dash + 1), b))
      for (int n = a; n <= b && n <= PageCount; ++n) pages.push_back(n);
  }
  return pages;
}

}  // namespace

void TfrReport::PrintPreparedReport(const String& PageList, int ACopies, int APrintPages, bool ACollate) {
  if (Busy()) return;
  TRestore<bool> busy(Busy(), true);
  TfrEngineState& s = frState();
  TRestore<TfrReport*> running(s.CurrentReport, this), root(s.RootReport, this);
  Terminated = false;
  this->PageList = PageList;
  Copies = ACopies;
  PrintPages = APrintPages;
  Collate = ACollate;
  // While printing, hovering over the preview's objects means nothing.
  TRestore<TMouseOverObjectEvent> noHover(FOnMouseOverObject, TMouseOverObjectEvent());
  RunWithProgress(LocaleText(55208), [&] { DoPrintReport(PageList, ACopies, APrintPages, ACollate); });
}

void TfrReport::DoPrintReport(const String& APageList, int ACopies, int APrintPages, bool ACollate) {
  TfrEMFPages* pages = FPreparedPages.get();
  if (pages->Count() == 0) return;
  TPrinter* prn = Printer();
  TfrPrinter* gp = GlobalPrinter();
  if (gp->SystemPrinter() != prn) gp->SetSystemPrinter(prn);
  const std::vector<int> list = ParsePageList(APageList, pages->Count());
  const int copies = std::max(1, ACopies);
  TfrPageInfo& first = pages->PageInfo(0);
  gp->SetPaper(first.PaperSize, first.PaperWidth, first.PaperHeight, first.PaperSource, first.PaperOrientation, true);
  gp->GetPageInfo(first.PageInfo);
  prn->SetTitle(FTitle.empty() ? LocaleText(55209) : FTitle);
  if (FOnPrintReport) FOnPrintReport();
  prn->SetCopies(ACollate ? 1 : copies);
  prn->BeginDoc();
  bool firstPrinted = true;
  auto printPage = [&](int i) {
    TfrPageInfo& p = pages->PageInfo(i);
    if (!firstPrinted) {
      if (gp->SameSettings(p.PaperSize, p.PaperWidth, p.PaperHeight, p.PaperSource, p.PaperOrientation)) {
        prn->NewPage();
      } else {
        // Another paper: a new document with it.
        prn->EndDoc();
        gp->SetPaper(p.PaperSize, p.PaperWidth, p.PaperHeight, p.PaperSource, p.PaperOrientation);
        prn->BeginDoc();
      }
    }
    firstPrinted = false;
    gp->GetPageInfo(p.PageInfo);
    const TPrnPageInfo& info = p.PageInfo;
    TRect r;
    if (p.MarginsFlag) {
      r = {-info.PhysOffsetX, -info.PhysOffsetY, info.PhysWidth - info.PhysOffsetX, info.PhysHeight - info.PhysOffsetY};
    } else {
      const double kx = info.PrintableWidth ? double(info.PrnWidth) / info.PrintableWidth : 1;
      const double ky = info.PrintableHeight ? double(info.PrnHeight) / info.PrintableHeight : 1;
      r = {static_cast<int>(std::lround(p.Margins.Left * kx)), static_cast<int>(std::lround(p.Margins.Top * ky)),
           info.PrnWidth - static_cast<int>(std::lround(p.Margins.Right * kx)),
           info.PrnHeight - static_cast<int>(std::lround(p.Margins.Bottom * ky))};
    }
    p.PageVisible = true;
    pages->Draw(i, prn->Canvas(), r);
    p.PageVisible = false;
    pages->Draw(i, prn->Canvas(), {});
    Progress(i + 1);
  };
  const int rounds = ACollate ? copies : 1;
  for (int round = 0; round < rounds; ++round)
    for (int i = 0; i < pages->Count(); ++i) {
      const int number = i + 1;
      if (!list.empty() && std::find(list.begin(), list.end(), number) == list.end()) continue;
      if ((APrintPages == 1 && number % 2 == 0) || (APrintPages == 2 && number % 2 == 1)) continue;
      printPage(i);
      if (Terminated) {
        prn->Abort();
        return;
      }
    }
  prn->EndDoc();
}

// ================================================================ printers

bool TfrReport::ChangePrinter(int OldIndex, int NewIndex) {
  TfrPrinter* prn = GlobalPrinter();
  auto select = [this, prn](int index) {
    prn->SetPrinterNumber(index);
    PrinterName = index < prn->PrinterNames->Count() ? prn->PrinterNames->Strings(index) : String();
    prn->PaperSize = -1;
    for (int p = 0; p < FPages->Count(); ++p) {
      TfrPage* page = FPages->Page(p);
      page->ChangePaper(page->Size, page->Width, page->Height, page->PaperBin, page->Orientation);
    }
  };
  try {
    select(NewIndex);
    return true;
  } catch (const Exception&) {
    MessageBox(0, LocaleText(55210), LocaleText(55206), MB_OK | MB_ICONERROR);
    select(OldIndex);
    return false;
  }
}
