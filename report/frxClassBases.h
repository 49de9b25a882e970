#pragma once
// What the report talks to only through abstract bases: its designer window, engine,
// outline, prepared-page store, a preview control and the designer's wizards. The report can
// be built, loaded and saved before any of them exists; the designer plugs its window class
// in through DesignerClass.
//
// Also the report library's start-up: the process-wide lock, the three cursors and the
// registration of the report classes the .fr3 reader creates by name.
#include "gui/Forms.h"
#include "gui/WinControl.h"

#include <memory>
#include <mutex>

class TfrxPage;
class TfrxReport;

// ---------------------------------------------------------------- designer

// The designer window as the report sees it.
class TfrxCustomDesigner : public TForm {
  KELM_CLASS(TfrxCustomDesigner, TForm)
public:
  TfrxCustomDesigner(TComponent* AOwner, TfrxReport* AReport, bool AIsPreviewDesigner = false);
  ~TfrxCustomDesigner() override;

  TfrxReport* Report() const { return FReport; }
  bool IsPreviewDesigner() const { return FIsPreviewDesigner; }
  bool Closed() const { return FClosed; }
  void SetClosed(bool Value) { FClosed = Value; }
  bool Modified() const { return FModified; }
  TfrxPage* Page() const { return FPage; }
  std::vector<TObject*>& Objects() { return FObjects; }
  std::vector<TObject*>& SelectedObjects() { return FSelectedObjects; }

  // Keeps the flag; a modification marks the report modified.
  virtual void FlagModified(bool Value);
  virtual void ChangePage(TfrxPage* Value) { FPage = Value; }
  // Supplied by the designer window.
  virtual void CurrentCodeLines(TStrings* Lines) = 0;
  virtual bool AskExpression(String& Expression) = 0;
  virtual void DropSelection() = 0;
  virtual void RebuildPageTabs() = 0;
  virtual void RefreshFromReport() = 0;
  virtual void RefreshDataTree() = 0;
  virtual void RepaintPage() = 0;

private:
  TfrxReport* FReport;
  bool FIsPreviewDesigner;
  bool FClosed = false;
  bool FModified = false;
  TfrxPage* FPage = nullptr;
  std::vector<TObject*> FObjects, FSelectedObjects;
};

// Makes the designer window for a report; the designer's unit sets it at start. Empty while
// the designer is not part of the program: then a report cannot be designed.
using TfrxDesignerClass = TfrxCustomDesigner* (*)(TComponent* AOwner, TfrxReport* AReport, bool IsPreviewDesigner);
extern TfrxDesignerClass DesignerClass;

// ---------------------------------------------------------------- engine, pages, preview

class TfrxCustomPreviewPages;

// The engine as the report drives it; objects in NotifyList hear of each step.
class TfrxCustomEngine : public TPersistent {
  KELM_CLASS(TfrxCustomEngine, TPersistent)
public:
  explicit TfrxCustomEngine(TfrxReport* AReport);
  ~TfrxCustomEngine() override;
  TfrxReport* Report() const { return FReport; }
  std::vector<TObject*>& NotifyList() { return FNotifyList; }
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TfrxCustomPreviewPages* Value) { FPreviewPages = Value; }
  // The report's EngineOptions.DoublePass.
  bool DoublePass() const;
  // The script's StopReport: the run ends.
  void StopReport();

private:
  TfrxReport* FReport;
  TfrxCustomPreviewPages* FPreviewPages = nullptr;
  std::vector<TObject*> FNotifyList;
};

// The outline of prepared pages.
class TfrxCustomOutline : public TPersistent {
  KELM_CLASS(TfrxCustomOutline, TPersistent)
public:
  explicit TfrxCustomOutline(TfrxCustomPreviewPages* APreviewPages) : FPreviewPages(APreviewPages) {}
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }

private:
  TfrxCustomPreviewPages* FPreviewPages;
};

// The store of prepared pages; it owns its outline.
class TfrxCustomPreviewPages : public TPersistent {
  KELM_CLASS(TfrxCustomPreviewPages, TPersistent)
public:
  explicit TfrxCustomPreviewPages(TfrxReport* AReport);
  ~TfrxCustomPreviewPages() override;
  TfrxReport* Report() const { return FReport; }
  TfrxCustomEngine* Engine() const { return FEngine; }
  void SetEngine(TfrxCustomEngine* Value) { FEngine = Value; }
  TfrxCustomOutline* Outline() const { return FOutline.get(); }

protected:
  // The store that has an outline of its own hands it over here.
  void SetOutline(std::unique_ptr<TfrxCustomOutline> Value) { FOutline = std::move(Value); }

private:
  TfrxReport* FReport;
  TfrxCustomEngine* FEngine = nullptr;
  std::unique_ptr<TfrxCustomOutline> FOutline;
};

// A preview control a report shows its prepared pages in.
class TfrxCustomPreview : public TCustomControl {
  KELM_CLASS(TfrxCustomPreview, TCustomControl)
public:
  explicit TfrxCustomPreview(TComponent* AOwner) : TCustomControl(AOwner) {}
  virtual void AttachReport(TfrxReport* AReport) = 0;
  virtual void LockView() = 0;
  virtual void UnlockView() = 0;
  virtual void PrepareStarted() = 0;
  virtual void PagePrepared() = 0;
  virtual void PrepareFinished() = 0;
};

// A wizard of the designer: made with the designer as owner, it works on the designer's report.
class TfrxCustomWizard : public TComponent {
  KELM_CLASS(TfrxCustomWizard, TComponent)
public:
  explicit TfrxCustomWizard(TComponent* AOwner);
  TfrxCustomDesigner* Designer() const { return FDesigner; }
  TfrxReport* Report() const { return FReport; }
  virtual String Description() const { return String(); }
  virtual bool Execute() = 0;

private:
  TfrxCustomDesigner* FDesigner;
  TfrxReport* FReport;
};

// ---------------------------------------------------------------- library state

// Held while a dialog page is destroyed.
std::recursive_mutex& ReportLock();
// Cursor numbers of the report library's cursors (in a namespace: the auxiliary controls have
// a crHand of their own, and a program may include both).
namespace frx {
constexpr int crHand = 150;
constexpr int crZoom = 151;
constexpr int crFormat = 152;
}  // namespace frx
// Loads "frxHAND", "frxZOOM" and "frxFORMAT" into the screen's cursor table; once, when the
// screen exists.
void InstallReportCursors();
