#pragma once
// What an export filter is to the prepared pages: an object told about the report, asked
// whether to go on, then handed every page and every object on it in order. The filters
// themselves are registered by whoever provides them (none come with the library); the
// prepared pages only drive this protocol.
#include "gui/Forms.h"

class TfrxComponent;
class TfrxReport;
class TfrxReportPage;

class TfrxCustomExportFilter : public TComponent {
  KELM_CLASS(TfrxCustomExportFilter, TComponent)
public:
  explicit TfrxCustomExportFilter(TComponent* AOwner) : TComponent(AOwner) {}

  // ---- what the caller sets
  // Only the page the preview shows.
  bool CurPage = false;
  // Pages and ranges as the print dialog takes them; '' for all pages.
  String PageNumbers;
  TfrxReport* Report = nullptr;
  bool ShowDialog = true;
  bool ShowProgress = true;
  // Page headers only on the first page, page footers only on the last.
  bool SuppressPageHeadersFooters = false;

  // ---- the protocol
  // The filter's own dialog; mrOk goes on.
  virtual TModalResult ShowModal() { return mrOk; }
  // False stops the export before the first page.
  virtual bool Start() { return true; }
  virtual void StartPage(TfrxReportPage* Page, int Index) {}
  virtual void ExportObject(TfrxComponent* Obj) {}
  virtual void FinishPage(TfrxReportPage* Page, int Index) {}
  virtual void Finish() {}
  // The text the preview lists the filter under.
  virtual String GetDescription() { return String(); }
};

// The process-wide filter that takes dot-matrix reports to their printer; nullptr while none
// is registered (the library itself registers none).
TfrxCustomExportFilter*& DotMatrixExportFilter();
