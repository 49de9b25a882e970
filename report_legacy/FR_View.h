#pragma once
// The preview of the older engine: the prepared pages of a report at a chosen zoom, one or more
// pages side by side, with paging, find, hyperlinks, printing, page setup, loading and saving
// the .frp file and export through the registered export filters.
//
// TfrPreviewForm is the window; TfrPBox, its page area, draws the pages and takes the mouse;
// TfrPreview is a panel a form places to embed the preview: it owns a hidden TfrPreviewForm and
// moves that window's page area (and, if asked, its tool bar) into itself.
//
// While it shows them the window owns the report's prepared pages (TakePages): the report holds
// an empty store meanwhile, and every command that needs the report's own pages (print, save,
// export, page setup) gives them back for its call and takes them again afterwards.
#include "forms/TfrPreviewForm.h"
#include "forms/TfrPreviewSearchForm.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"

#include <memory>
#include <vector>

class TfrReport;
class TfrEMFPages;
class TfrExportFilter;
class TfrPreview;
class TfrPreviewForm;

// The zoom last chosen in any preview window; every preview starts from it.
extern double LastZoom;
extern int LastZoomMode;  // 0 percentage, 1 page width, 2 whole page, 3 two pages

// An export filter as the save dialog offers it.
struct TfrExportFilterInfo {
  TfrExportFilter* Filter = nullptr;
  String FilterDesc;  // the dialog's description
  String FilterExt;   // the file mask, "*.txt"
  bool Default = false;
};
// The registered filters in order of registration.
std::vector<TfrExportFilterInfo>& frFilters();
void frRegisterExportFilter(TfrExportFilter* Filter, const String& FilterDesc, const String& FilterExt,
                            bool Default = false);
void frUnRegisterExportFilter(TfrExportFilter* Filter);

// ================================================================ the page area

class TfrPBox : public TCustomControl {
  KELM_CLASS(TfrPBox, TCustomControl)
public:
  explicit TfrPBox(TComponent* AOwner);
  TfrPreviewForm* Preview = nullptr;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;

private:
  bool FDown = false;
  bool FDragging = false;
  bool FSkipNextPress = false;  // the press after a double click
  TPoint FLast{};
};

// ================================================================ the find dialog

class TfrPreviewSearchForm : public TfrPreviewSearchFormLayout<TForm> {
  KELM_CLASS(TfrPreviewSearchForm, TfrPreviewSearchFormLayout<TForm>)
public:
  explicit TfrPreviewSearchForm(TComponent* AOwner);
  void Loaded() override;
  void FormActivate(TObject* Sender);
};

// ================================================================ the window

KELM_EVENT(TfrPageChangedEvent, void(TfrPreview* Sender, int PageNo));

class TfrPreviewForm : public TfrPreviewFormLayout<TForm> {
  KELM_CLASS(TfrPreviewForm, TfrPreviewFormLayout<TForm>)
public:
  explicit TfrPreviewForm(TComponent* AOwner);
  ~TfrPreviewForm() override;

  // ---- pages
  void TakePages(TfrReport* AReport);
  void ReturnPages();
  void ApplyReportOptions();
  void ShowPages(bool Reset);
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  // Runs the layout: zoom by mode, page rectangles, scroll ranges.
  void DoLayout();
  void UpdatePageInfo();
  void ScrollToCurrentPage();
  void FindNext();
  void WheelUp(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled);
  void WheelDown(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled);
  // Chooses a zoom as the zoom menu's items do: Tag 1 to 3 a mode, any other a percentage.
  void SetZoomTag(int Tag);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormShow(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormDeactivate(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void VScrollBarChange(TObject* Sender);
  void HScrollBarChange(TObject* Sender);
  void HScrollBarEnter(TObject* Sender);
  void PgUpClick(TObject* Sender);
  void PgDownClick(TObject* Sender);
  void ZoomBtnClick(TObject* Sender);
  void N3Click(TObject* Sender);
  void LoadBtnClick(TObject* Sender);
  void SaveBtnClick(TObject* Sender);
  void PrintBtnClick(TObject* Sender);
  void FindBtnClick(TObject* Sender);
  void EditBtnClick(TObject* Sender);
  void NewPageBtnClick(TObject* Sender);
  void DelPageBtnClick(TObject* Sender);
  void PageSetupBtnClick(TObject* Sender);
  void HelpBtnClick(TObject* Sender);
  void ExitBtnClick(TObject* Sender);

  // ---- state
  TfrReport* Report = nullptr;
  std::unique_ptr<TfrEMFPages> Pages;
  int CurrentPage = 1;
  double Zoom = 1;
  int ZoomMode = 0;
  int OfsX = 0, OfsY = 0;        // the negated scroll positions
  int OldV = 0, OldH = 0;        // the scroll positions before the last change
  bool PaintAllowed = true;
  int WheelFactor = 1;
  TfrPBox* PBox = nullptr;
  TfrPageChangedEvent OnPageChanged;  // set by an embedding TfrPreview
  TfrPreview* Embedder = nullptr;
  // Find.
  String FindStr;
  bool CaseSensitive = false;
  int LastFoundPage = 0, LastFoundObject = 0;
  TRect FoundRect{};
  bool Found = false;
  // The help file the application had before this window became active.
  String OldHelpFile;
  bool HelpArmed = false;

  bool HasPages() const;
  int PageCount() const;
  // The page whose rectangle holds a point of the page area (client of PBox), -1 for none.
  int PageAt(TPoint ClientPoint) const;
  // Page editing needs a designer for the older format; none is registered here.
  bool PageEditingAllowed() const;
  void PaintPages(TCanvas* Canvas, const TRect& Clip);
  // A press on the page area; true when it hit an object (the command ends there).
  bool MouseOnPage(TMouseButton Button, TShiftState Shift, int X, int Y);
  void HoverOnPage(int X, int Y);
  void ApplyLocale();
  void ScrollBy(int DX, int DY);

private:
  // What find keeps between searches: per page the texts of its text objects (empty when the
  // page has objects that draw text of their own, so that only drawing it tells), and the text
  // runs of the page drawn last. Dropped whenever the pages change.
  struct TPageTexts {
    bool Known = false;
    bool Opaque = false;  // holds objects that draw text of their own
    String Text, Upper;
  };
  struct TRun {
    String Text, Upper;
    TRect Bounds;
  };
  void DropFindCache();
  // False only when the page surely has no text containing the search text.
  bool PageMayHold(int Index);
  const std::vector<TRun>& PageRuns(int Index);
  std::vector<TPageTexts> FPageTexts;
  int FRecordedPage = -1;
  std::vector<TRun> FRecordedRuns;

  TMenuItem* ZoomItems(int Index) const;
  void CheckZoomItem();
  void ShowZoomMenu();
  void MarkFound();
  void SetVPosition(int Value);
  void SetHPosition(int Value);
};

// ================================================================ the embeddable panel

class TfrPreview : public TPanel {
  KELM_CLASS(TfrPreview, TPanel)
  template <class B> static void Published(B& b) {
    using C = TfrPreview;
    b.Prop("ScrollBars", &C::ScrollBars, &C::SetScrollBars).Default(ssBoth);
    b.Prop("ShowToolbar", &C::ShowToolbar, &C::SetShowToolbar).Default(false);
    b.Prop("OnPageChanged", &C::OnPageChanged, &C::OnPageChanged);
  }
public:
  explicit TfrPreview(TComponent* AOwner);
  ~TfrPreview() override;

  void Connect(TfrReport* Report);
  void Disconnect();
  int Page() const;
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool ShowToolbar() const { return FShowToolbar; }
  void SetShowToolbar(bool Value);
  void DoPageChanged(TfrPreview* Sender, int PageNo);
  void Dispatch(TMessage& Message) override;

  TfrPreviewForm* PreviewWindow = nullptr;
  TfrPageChangedEvent OnPageChanged;

private:
  TScrollStyle FScrollBars = ssBoth;
  bool FShowToolbar = false;
};
