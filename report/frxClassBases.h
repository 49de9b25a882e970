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

#include <functional>
#include <memory>
#include <mutex>

class TfrxComponent;
class TfrxPage;
class TfrxReport;
class TStrings;

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
  // The edited page's objects, then the report and the page; and the selection, which holds
  // the page alone when nothing else is selected. The design surface edits these very lists.
  std::vector<TfrxComponent*>& Objects() { return FObjects; }
  std::vector<TfrxComponent*>& SelectedObjects() { return FSelectedObjects; }

  // Keeps the flag; a modification marks the report modified.
  virtual void FlagModified(bool Value);
  virtual void ChangePage(TfrxPage* Value) { FPage = Value; }
  // Supplied by the designer window.
  virtual void CurrentCodeLines(TStrings* Lines) = 0;
  virtual bool AskExpression(String& Expression) = 0;
  virtual void DropSelection() = 0;
  // Rebuilds the tabs and shows page Index (-1: the code).
  virtual void RebuildPageTabs(int Index) = 0;
  virtual void RefreshFromReport() = 0;
  virtual void RefreshDataTree() = 0;
  virtual void RepaintPage() = 0;

private:
  TfrxReport* FReport;
  bool FIsPreviewDesigner;
  bool FClosed = false;
  bool FModified = false;
  TfrxPage* FPage = nullptr;
  std::vector<TfrxComponent*> FObjects, FSelectedObjects;
};

// Makes the designer window for a report; the designer's unit sets it at start. Empty while
// the designer is not part of the program: then a report cannot be designed.
using TfrxDesignerClass = TfrxCustomDesigner* (*)(TComponent* AOwner, TfrxReport* AReport, bool IsPreviewDesigner);
extern TfrxDesignerClass DesignerClass;

// ---------------------------------------------------------------- engine, pages, preview

class TfrxCustomPreviewPages;

class TfrxBand;

// The engine as the report and its scripts drive it; the engine proper supplies the
// operations. Objects in RowNotifyList hear of every printed data row.
class TfrxCustomEngine : public TPersistent {
  KELM_CLASS(TfrxCustomEngine, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("CurColumn", &TfrxCustomEngine::CurColumn, &TfrxCustomEngine::SetCurColumn);
    b.Prop("CurVColumn", &TfrxCustomEngine::CurVColumn, &TfrxCustomEngine::SetCurVColumn);
    b.Prop("CurX", &TfrxCustomEngine::CurX, &TfrxCustomEngine::SetCurX);
    b.Prop("CurY", &TfrxCustomEngine::CurY, &TfrxCustomEngine::SetCurY);
    b.Prop("DoublePass", &TfrxCustomEngine::DoublePass);
    b.Prop("FinalPass", &TfrxCustomEngine::FinalPass, &TfrxCustomEngine::SetFinalPass);
    b.Prop("PageHeight", &TfrxCustomEngine::PageHeight, &TfrxCustomEngine::SetPageHeight);
    b.Prop("PageWidth", &TfrxCustomEngine::PageWidth, &TfrxCustomEngine::SetPageWidth);
    b.Prop("StartDate", &TfrxCustomEngine::StartDate, &TfrxCustomEngine::SetStartDate).Type("TDateTime");
    b.Prop("StartTime", &TfrxCustomEngine::StartTime, &TfrxCustomEngine::SetStartTime).Type("TDateTime");
    b.Prop("TotalPages", &TfrxCustomEngine::TotalPages, &TfrxCustomEngine::SetTotalPages);
  }
public:
  explicit TfrxCustomEngine(TfrxReport* AReport);
  ~TfrxCustomEngine() override;
  TfrxReport* Report() const { return FReport; }
  std::vector<TObject*>& RowNotifyList() { return FRowNotifyList; }
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TfrxCustomPreviewPages* Value) { FPreviewPages = Value; }

  // ---- published state
  int CurColumn() const { return FCurColumn; }
  void SetCurColumn(int Value) { FCurColumn = Value; }
  int CurVColumn() const { return FCurVColumn; }
  void SetCurVColumn(int Value) { FCurVColumn = Value; }
  Extended CurX() const { return FCurX; }
  void SetCurX(Extended Value) { FCurX = Value; }
  Extended CurY() const { return FCurY; }
  void SetCurY(Extended Value) { FCurY = Value; }
  // The report's EngineOptions.DoublePass.
  bool DoublePass() const;
  bool FinalPass() const { return FFinalPass; }
  void SetFinalPass(bool Value) { FFinalPass = Value; }
  Extended PageHeight() const { return FPageHeight; }
  void SetPageHeight(Extended Value) { FPageHeight = Value; }
  Extended PageWidth() const { return FPageWidth; }
  void SetPageWidth(Extended Value) { FPageWidth = Value; }
  double StartDate() const { return FStartDate; }
  void SetStartDate(double Value) { FStartDate = Value; }
  double StartTime() const { return FStartTime; }
  void SetStartTime(double Value) { FStartTime = Value; }
  int TotalPages() const { return FTotalPages; }
  void SetTotalPages(int Value) { FTotalPages = Value; }

  // ---- further state
  // The row numbers of the band being printed ("Line", "Line#").
  int CurRow() const { return FCurRow; }
  void SetCurRow(int Value) { FCurRow = Value; }
  int CurRowThrough() const { return FCurRowThrough; }
  void SetCurRowThrough(int Value) { FCurRowThrough = Value; }
  Extended ColumnTop() const { return FColumnTop; }
  void SetColumnTop(Extended Value) { FColumnTop = Value; }
  // A run is under way: the report's script events fire only then.
  bool Running() const { return FRunning; }
  void SetRunning(bool Value) { FRunning = Value; }

  // ---- what the engine proper does
  virtual void FinishPage() = 0;
  virtual void NewColumn() = 0;
  virtual void NewPage() = 0;
  virtual void ShowBand(TfrxBand* Band) = 0;
  virtual void ShowBandOfClass(TClass BandClass) = 0;
  virtual Extended FootersHeight() = 0;
  virtual Extended FreeSpace() = 0;
  // The value of the aggregate named by function, expression text, band and flags.
  virtual Variant AggregateValue(const String& Name, const String& Expression, TfrxBand* Band, int Flags) = 0;
  virtual bool BuildReport() = 0;
  // The script's StopReport: the run ends.
  void StopReport();
  // Called with a dialog page instead of showing it modally, when assigned.
  std::function<void(TfrxPage* Page)> OnRunDialogPage;

private:
  TfrxReport* FReport;
  TfrxCustomPreviewPages* FPreviewPages = nullptr;
  std::vector<TObject*> FRowNotifyList;
  int FCurColumn = 0, FCurVColumn = 0;
  Extended FCurX = 0, FCurY = 0;
  bool FFinalPass = false;
  Extended FPageHeight = 0, FPageWidth = 0;
  double FStartDate = 0, FStartTime = 0;
  int FTotalPages = 0;
  int FCurRow = 0, FCurRowThrough = 0;
  Extended FColumnTop = 0;
  bool FRunning = false;
};

// The outline of prepared pages: entries with a text and the vertical position they point at.
class TfrxCustomOutline : public TPersistent {
  KELM_CLASS(TfrxCustomOutline, TPersistent)
public:
  explicit TfrxCustomOutline(TfrxCustomPreviewPages* APreviewPages) : FPreviewPages(APreviewPages) {}
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  // A child entry of the current level that becomes the current level.
  virtual void AddItem(const String& Text, int Top) = 0;
  virtual void LevelRoot() = 0;
  virtual void LevelUp() = 0;

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
  // The page being written and the first page of this run (0-based).
  virtual int CurPage() const = 0;
  virtual int FirstPage() const = 0;
  virtual void AddAnchor(const String& Text) = 0;
  virtual int GetAnchorPage(const String& Text) = 0;

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
  // The report shown and its prepared pages; the report sets both when it links the preview.
  TfrxReport* Report() const { return FReport; }
  void SetReport(TfrxReport* Value) { FReport = Value; }
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
  void SetPreviewPages(TfrxCustomPreviewPages* Value) { FPreviewPages = Value; }
  virtual void AttachReport(TfrxReport* AReport) = 0;
  virtual void LockView() = 0;
  virtual void UnlockView() = 0;
  virtual void PrepareStarted() = 0;
  // After each prepared page; Index counts from 0.
  virtual void PagePrepared(int Index) = 0;
  virtual void PrepareFinished() = 0;
  // Where the prepared pages send the view when a link is followed (page numbers 1-based,
  // offsets in report pixels), and the end of an export's status message.
  virtual void SetPageNo(int PageNo) {}
  virtual void ScrollToPageOffset(int PageNo, int Offset) {}
  virtual void HideMessagePanel() {}

private:
  TfrxReport* FReport = nullptr;
  TfrxCustomPreviewPages* FPreviewPages = nullptr;
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
