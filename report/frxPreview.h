#pragma once
// The preview control: the pages of a prepared-pages store drawn as white sheets on a grey
// background, scrolled and zoomed, with an outline tree at the left; and the commands a user
// applies to the prepared report from it (print, save, open, export, find, page settings,
// page editing, adding and deleting pages).
//
// Three classes share the work. TfrxPageList lays the pages out at zoom 1 (rows of one or two
// pages, 10 pixels apart); TfrxPreviewWorkspace is the scrolled drawing surface (it paints
// the sheets around the current page, finds text and turns mouse and keys into scrolling);
// TfrxPreview holds the view state (page number, zoom and zoom mode, tool) and hears from the
// report while it prepares, so the first pages show before the last is built.
//
// Every command that replaces the prepared pages locks the view first and unlocks it in a
// scope object; an unlock puts the page number back to 1 without scrolling. While the report
// prepares, commands that change the pages do nothing.
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxCtrls.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class TMetafile;
class TPanel;
class TLabel;
class TSplitter;
class TTreeView;
class TfrxCustomExportFilter;
class TfrxPreview;
class TfrxPreviewPages;

// One prepared page at zoom 1: its place in its row, size and top.
struct TfrxPageItem {
  std::uint16_t ColumnIndex = 0;
  std::uint16_t Height = 0;
  std::uint16_t Width = 0;
  int Top = 0;
};

class TfrxPageList {
public:
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  const TfrxPageItem& Items(int Index) const { return FItems[Index]; }
  int ColumnCount() const { return FColumnCount; }
  // Pages per row; the list is emptied.
  void SetColumnCount(int Value);
  int MaxWidth() const { return FMaxWidth; }
  void AddPage(int Width, int Height);
  // The last page whose scaled top is at most Y (plus a fifth of its scaled height unless
  // Exact); -1 when even the first page starts lower.
  int FindPage(int Y, bool Exact, Extended Zoom) const;
  // The page's rectangle for a client width; an index outside the list gives an A4 sheet.
  TRect PageBounds(int Index, int ClientWidth, Extended Zoom) const;
  TPoint ExtentSize(int ClientWidth, Extended Zoom) const;

private:
  std::vector<TfrxPageItem> FItems;
  int FColumnCount = 1;
  int FMaxWidth = 0;
};

class TfrxPreviewWorkspace : public TfrxScrollWin {
  KELM_CLASS(TfrxPreviewWorkspace, TfrxScrollWin)
public:
  TfrxPreviewWorkspace(TComponent* AOwner, TfrxPreview* APreview);
  ~TfrxPreviewWorkspace() override;

  TfrxPageList& PageList() { return FPageList; }
  int DefaultCursor() const { return FDefaultCursor; }
  void SetDefaultCursor(int Value) { FDefaultCursor = Value; }
  bool ScrollSync() const { return FScrollSync; }
  int SearchPage() const { return FSearchPage; }
  void SetSearchPage(int Value) { FSearchPage = Value; }
  int CachedPage() const { return FCachedPage; }
  void SetCachedPage(int Value) { FCachedPage = Value; }
  int OffsetX() const { return FOffsetX; }
  int OffsetY() const { return FOffsetY; }

  void PaintPage(int Index, const TRect& Rect);
  // Continues the search from SearchPage after LastFoundRecord; scrolls a hit into view.
  void FindText();
  void HandleKey(Word Key, TShiftState Shift);
  void ScrollToPage(int PageNo);
  void UpdateScrollRanges();

protected:
  void Paint() override;
  void HorzScrolled(int Value) override;
  void VertScrolled(int Value) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void Resize() override;
  // Keys go to the preview, which scrolls by them and runs its own commands.
  void KeyDown(Word& Key, TShiftState Shift) override;

private:
  TfrxPreviewPages* Pages() const;
  // The page under a client point (the left page of a row when left of the found one).
  int PageAt(int X, int Y, TRect& Bounds) const;

  TfrxPreview* FPreview;
  TfrxPageList FPageList;
  int FDefaultCursor = 0;
  bool FScrollSync = false;
  bool FDragging = false;
  std::unique_ptr<TMetafile> FCachedMetafile;
  int FCachedPage = -1;
  int FSearchPage = 0;
  int FDragX = 0, FDragY = 0;
  int FOffsetX = 0, FOffsetY = 0;
};

// The search state every preview shares: the last search, its options and its hit.
struct TfrxPreviewSearch {
  String SearchText;
  bool SearchCaseSensitive = false;
  bool TextFound = false;
  TRect FoundRect;        // on the page, zoom 1
  int RecordCounter = 0;
  int LastFoundRecord = -1;
};
TfrxPreviewSearch& PreviewSearch();

class TfrxPreview;
KELM_EVENT(TfrxPageChangedEvent, void(TfrxPreview* Sender, int PageNo));

class TfrxPreview : public TfrxCustomPreview {
  KELM_CLASS(TfrxPreview, TfrxCustomPreview)
  template <class B> static void Published(B& b) {
    b.Prop("BackColor", &TfrxPreview::BackColor, &TfrxPreview::SetBackColor).Default(8421504);
    b.Prop("FrameColor", &TfrxPreview::FrameColor, &TfrxPreview::SetFrameColor).Default(0);
    b.Prop("OutlineVisible", &TfrxPreview::OutlineVisible, &TfrxPreview::SetOutlineVisible);
    b.Prop("OutlineWidth", &TfrxPreview::OutlineWidth, &TfrxPreview::SetOutlineWidth);
  }
public:
  explicit TfrxPreview(TComponent* AOwner);
  ~TfrxPreview() override;

  // ---- published properties
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value);
  bool OutlineVisible() const;
  void SetOutlineVisible(bool Value);
  int OutlineWidth() const;
  void SetOutlineWidth(int Value);
  TNotifyEvent OnClick;
  TfrxPageChangedEvent OnPageChanged;

  // ---- view state
  TfrxPreviewPages* Pages() const;
  int PageNo() const { return FPageNo; }
  void SetPageNo(int Value) override;
  int PageCount() const;
  Extended Zoom() const { return FZoom; }
  void SetZoom(Extended Value);
  TfrxZoomMode ZoomMode() const { return FZoomMode; }
  void SetZoomMode(TfrxZoomMode Value);
  // 0 the drag tool, 1 the zoom tool.
  int Tool() const { return FTool; }
  void SetTool(int Value);
  bool ViewLocked() const { return FViewLocked; }
  bool Preparing() const { return FPreparing; }
  bool CanFindNext() const { return FCanFindNext; }
  int RefreshEvery() const { return FRefreshEvery; }
  TfrxPreviewWorkspace* Workspace() const { return FWorkspace; }
  TTreeView* OutlineTree() const { return FOutlineTree; }
  TPanel* MessagePanel() const { return FMessagePanel; }

  void First() { SetPageNo(1); }
  void Next() { SetPageNo(FPageNo + 1); }
  void Prior() { SetPageNo(FPageNo - 1); }
  void Last() { SetPageNo(PageCount()); }
  void ScrollToPageOffset(int PageNo, int Offset) override;
  void ApplyZoomMode();
  void RebuildPageList();
  void FillOutline();
  void NotifyPageChanged();
  void WheelScroll(int WheelDelta, bool Horizontal, bool ZoomKey);

  // ---- what the report calls
  void AttachReport(TfrxReport* AReport) override;
  void LockView() override { FViewLocked = true; }
  void UnlockView() override;
  void PrepareStarted() override;
  void PagePrepared(int Index) override;
  void PrepareFinished() override;

  // ---- commands
  void Print();
  void SaveWithDialog();
  void SaveToFile(const String& FileName);
  void LoadWithDialog();
  void LoadFromFile(const String& FileName);
  void Export(TfrxCustomExportFilter* Filter);
  void Find();
  void FindNext();
  void PageSetup();
  void EditPage();
  void EditTemplate();
  void AddPage();
  void DeletePage();
  void Clear();
  void CancelPrepare();
  void CancelIfPreparing();
  void ShowMessagePanel(const String& Text);
  void HideMessagePanel() override;

  void Dispatch(TMessage& Message) override;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Resize() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TfrxPreviewWorkspace;
  void OutlineClick(TObject* Sender);
  // The preview window that owns this control, for its controls and texts; nullptr otherwise.
  class TfrxPreviewForm* HostForm() const;

  TColor FBackColor = 8421504;
  TColor FFrameColor = 0;
  int FPageNo = 1;
  Extended FZoom = 1;
  TfrxZoomMode FZoomMode = zmDefault;
  int FTool = 0;
  bool FViewLocked = false;
  bool FPreparing = false;
  bool FCanFindNext = false;
  bool FPagesFromFile = false;  // the pages came from a prepared-report file
  int FRefreshEvery = 50;
  unsigned FPrepareTick = 0;
  TTreeView* FOutlineTree = nullptr;
  TSplitter* FOutlineSplitter = nullptr;
  TfrxPreviewWorkspace* FWorkspace = nullptr;
  TPanel* FMessagePanel = nullptr;
  TLabel* FMessageLabel = nullptr;
  // Each outline node's page index and top, whole: a node's data is its slot here + 1.
  std::vector<std::pair<int, int>> FOutlineTargets;
};
