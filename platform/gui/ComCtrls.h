#pragma once
// Tab controls, page controls and the status bar.
//
// Each keeps its model in the control and draws itself in the classic look. The user's
// changes notify through the control's events in the platform's order (OnChanging may veto a
// change of tab before OnChange reports it); programmatic changes of a page control's page do
// not run the events.
// Declares TCHITTESTINFO, TCustomTabControl, TTabStrings, TTabControl, TTabSheet, TPageControl,
// TStatusPanel, TStatusPanels and TStatusBar.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/ImgList.h"
#include "gui/Messages.h"

#include <functional>
#include <memory>
#include <vector>

class TCustomTabControl;
class TPageControl;
class TTabSheet;

constexpr int TCN_SELCHANGE = -551, TCN_SELCHANGING = -552;

// ================================================================ tab controls

constexpr UINT TCM_GETITEMCOUNT = 0x1304, TCM_GETITEMRECT = 0x130A, TCM_GETCURSEL = 0x130B, TCM_SETCURSEL = 0x130C,
               TCM_HITTEST = 0x130D, TCM_ADJUSTRECT = 0x1328, TCM_GETROWCOUNT = 0x132C;
constexpr UINT TCHT_NOWHERE = 0x0001, TCHT_ONITEMICON = 0x0002, TCHT_ONITEMLABEL = 0x0004,
               TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;
struct TCHITTESTINFO {
  TPoint pt;
  UINT flags = 0;
};

KELM_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight)
KELM_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)
KELM_EVENT(TTabChangingEvent, void(TObject* Sender, bool& AllowChange));
KELM_EVENT(TDrawTabEvent, void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active));
KELM_EVENT(TTabGetImageEvent, void(TObject* Sender, int TabIndex, int& ImageIndex));

// A row (or rows) of tabs over a display area. The tabs are a list of captions with an image
// index and a piece of data each; TTabControl shows them as Tabs, TPageControl makes one for
// each visible page.
class TCustomTabControl : public TCustomControl {
  KELM_CLASS(TCustomTabControl, TCustomControl)
  // What tab controls and page controls show in layouts.
  template <class B> static void PublishTabControl(B& b) {
    using C = typename B::Class;
    PublishAlign(b);
    PublishAnchors(b);
    PublishBiDiMode(b);
    PublishConstraints(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("HotTrack", &C::HotTrack, &C::SetHotTrack).Default(false);
    b.Prop("Images", &C::Images, &C::SetImages);
    b.Prop("MultiLine", &C::MultiLine, &C::SetMultiLine).Default(false);
    b.Prop("OwnerDraw", &C::OwnerDraw, &C::SetOwnerDraw).Default(false);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    b.Prop("RaggedRight", &C::RaggedRight, &C::SetRaggedRight).Default(false);
    PublishShowHint(b);
    b.Prop("Style", &C::Style, &C::SetStyle).Default(tsTabs);
    b.Prop("TabHeight", &C::TabHeight, &C::SetTabHeight).Default(0);
    PublishTabOrder(b);
    b.Prop("TabPosition", &C::TabPosition, &C::SetTabPosition).Default(tpTop);
    PublishTabStop(b).Default(true);
    b.Prop("TabWidth", &C::TabWidth, &C::SetTabWidth).Default(0);
    PublishVisible(b);
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
    b.Prop("OnChanging", &C::OnChanging, &C::OnChanging);
    PublishOnContextPopup(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDrawTab", &C::OnDrawTab, &C::OnDrawTab);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    b.Prop("OnGetImageIndex", &C::OnGetImageIndex, &C::OnGetImageIndex);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  // The tab at a client point, -1 when none.
  int IndexOfTabAt(int X, int Y) const;
  TRect TabRect(int Index) const;
  // The area inside the frame, below (or beside) the tabs, where pages lie.
  TRect DisplayRect() const;
  int RowCount() const;
  // True when the tab may change (OnChanging).
  virtual bool CanChange();

  // ---- published
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool v) { FHotTrack = v; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool v);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool v);
  bool RaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool v);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle v);
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int v);
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int v);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition v);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;
  TTabGetImageEvent OnGetImageIndex;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  struct TTab {
    String Caption;
    int ImageIndex = -1;
    void* Data = nullptr;
    bool Enabled = true;
  };
  virtual void Change() { OnChange(this); }
  virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
  virtual int GetImageIndex(int TabIndex);
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AdjustClientRect(TRect& Rect) override;
  // ---- the tab list (what the window shows)
  int TabCount() const { return static_cast<int>(FTabs.size()); }
  const TTab& Tab(int Index) const { return FTabs[static_cast<std::size_t>(Index)]; }
  void InsertTab(int Index, const String& Caption, void* Data);
  void DeleteTab(int Index);
  void ClearTabs();
  void SetTabCaption(int Index, const String& Caption);
  void SetTabImage(int Index, int ImageIndex);
  void SetTabData(int Index, void* Data) { FTabs[static_cast<std::size_t>(Index)].Data = Data; }
  int CurrentTab() const { return FTabIndex; }
  // Selects without events (programmatic); -1 selects none.
  void SelectTab(int Index);
  // The user asks for another tab: OnChanging, the change, OnChange. False when vetoed.
  bool ChangeTabByUser(int Index);
  void TabsChanged();

private:
  // The native model's messages, one handler each (DefaultHandler holds their table).
  void TCMSetCurSel(TMessage& M);
  void TCMGetItemRect(TMessage& M);
  void TCMHitTest(TMessage& M);
  void TCMAdjustRect(TMessage& M);
  void WMLButtonDown(TMessage& M);
  struct TTabPlace {
    TRect Rect;
    int Row = 0;
  };
  void Layout() const;
  int TabTextWidth(int Index) const;
  int RowHeight() const;
  int TabAreaSize() const;  // height (or width) of all rows
  void PaintTabs(HDC DC);
  // One tab's face in the control's style; gives the room inside it for the image and caption.
  TRect PaintTabFace(HDC DC, int Index, bool Active);
  void PaintFlatButtonTab(HDC DC, int Index, const TRect& R, bool Active);
  void PaintTabCaption(HDC DC, int Index, const TRect& Inner, bool Active);
  void PaintFrame(HDC DC);
  void PaintScrollArrows(HDC DC);
  // The arrows that scroll a single line of tabs, at the right end of the tab row.
  void ScrollArrowRects(TRect& Left, TRect& Right) const;
  bool Vertical() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }

  std::vector<TTab> FTabs;
  int FTabIndex = -1;
  int FHot = -1;
  int FFirstVisible = 0;  // single line: the first tab shown when they do not all fit
  mutable std::vector<TTabPlace> FPlaces;
  mutable int FRows = 1;
  mutable bool FLayoutValid = false;
  mutable bool FScrollArrows = false;
  bool FHotTrack = false;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageLink;
  bool FMultiLine = false;
  bool FOwnerDraw = false;
  bool FRaggedRight = false;
  TTabStyle FStyle = tsTabs;
  int FTabHeight = 0;
  int FTabWidth = 0;
  TTabPosition FTabPosition = tpTop;
};

class TTabControl;

// The tabs of a TTabControl: each string is a tab's caption, its object the tab's data.
class TTabStrings : public TStrings {
public:
  explicit TTabStrings(TTabControl* Control) : FControl(Control) {}
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  void InsertObject(int Index, const String& S, TObject* AObject) override;

protected:
  String Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const String& S) override;
  void PutObject(int Index, TObject* AObject) override;

private:
  TTabControl* FControl;
};

class TTabControl : public TCustomTabControl {
  KELM_CLASS(TTabControl, TCustomTabControl)
  template <class B> static void Published(B& b) {
    PublishTabControl(b);
    b.Prop("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
    b.Prop("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
  }
public:
  explicit TTabControl(TComponent* AOwner);
  ~TTabControl() override;
  TStrings* Tabs() const { return FTabs.get(); }
  void SetTabs(TStrings* v) { FTabs->Assign(v); }
  int TabIndex() const { return CurrentTab(); }
  void SetTabIndex(int v);

protected:
  friend class TTabStrings;
  void Loaded() override;

private:
  std::unique_ptr<TTabStrings> FTabs;
  int FLoadedIndex = -1;
};

// One page of a page control; its Caption is its tab's text. A hidden tab (TabVisible
// false) keeps its page, which can still be shown through ActivePage.
class TTabSheet : public TWinControl {
  KELM_CLASS(TTabSheet, TWinControl)
  template <class B> static void Published(B& b) {
    PublishBorderWidth(b);
    PublishCaption(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("Highlighted", &TTabSheet::Highlighted, &TTabSheet::SetHighlighted).Default(false);
    b.Prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).Default(-1);
    b.Prop("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex).Stored(false);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    b.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
    PublishOnContextPopup(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    b.Prop("OnHide", &TTabSheet::OnHide, &TTabSheet::OnHide);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    b.Prop("OnShow", &TTabSheet::OnShow, &TTabSheet::OnShow);
    PublishOnStartDrag(b);
  }
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* v);
  int PageIndex() const;
  void SetPageIndex(int v);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool v);
  // The index of its tab among the visible ones, -1 when hidden.
  int TabIndex() const;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  bool Highlighted() const { return FHighlighted; }
  void SetHighlighted(bool v);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  void SetParent(TWinControl* AParent) override;
  void Dispatch(TMessage& Message) override;

protected:
  friend class TPageControl;
  void ReadState(TReader* Reader) override;
  virtual void DoShow() { OnShow(this); }
  virtual void DoHide() { OnHide(this); }

private:
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  int FImageIndex = -1;
  bool FHighlighted = false;
};

class TPageControl : public TCustomTabControl {
  KELM_CLASS(TPageControl, TCustomTabControl)
  template <class B> static void Published(B& b) {
    b.Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    PublishTabControl(b);
  }
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const;
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* v);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  // The index of the active page's tab among the visible tabs (-1 when it has none).
  int TabIndex() const { return CurrentTab(); }
  void SetTabIndex(int v);
  // The next (or previous) page with a visible tab after CurrentPage.
  TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const;
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void ShowControl(TControl* AControl) override;
  void Dispatch(TMessage& Message) override;

protected:
  friend class TTabSheet;
  void Change() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTab(TTabSheet* Page);
  void RebuildTabs();
  void ChangeActivePage(TTabSheet* Page);

private:
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  bool FRebuilding = false;
};

// ================================================================ status bar

KELM_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
KELM_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusBar;

class TStatusPanel : public TCollectionItem {
  KELM_CLASS(TStatusPanel, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    b.Prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
    b.Prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
    b.Prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    b.Prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
  }
public:
  explicit TStatusPanel(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel v);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle v);
  const String& Text() const { return FText; }
  void SetText(const String& v);
  int Width() const { return FWidth; }
  void SetWidth(int v);

private:
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelBevel FBevel = pbLowered;
  TStatusPanelStyle FStyle = psText;
  String FText;
  int FWidth = 50;
};

class TStatusPanels : public TOwnedCollection {
  KELM_CLASS(TStatusPanels, TOwnedCollection)
public:
  explicit TStatusPanels(TStatusBar* StatusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TStatusBar* FStatusBar;
};

KELM_EVENT(TDrawPanelEvent, void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect));

class TStatusBar : public TWinControl {
  KELM_CLASS(TStatusBar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishAction(b);
    b.Prop("AutoHint", &TStatusBar::AutoHint, &TStatusBar::SetAutoHint).Default(false);
    PublishBiDiMode(b);
    PublishBorderWidth(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishAnchors(b).Default(TAnchors{akLeft, akRight, akBottom});
    PublishAlign(b).Default(alBottom);
    b.Prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishParentFont(b).Default(false);
    PublishParentColor(b).Default(false);
    b.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    b.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    b.Prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    b.Prop("UseSystemFont", &TStatusBar::UseSystemFont, &TStatusBar::SetUseSystemFont).Default(true);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDrawPanel", &TStatusBar::OnDrawPanel, &TStatusBar::OnDrawPanel);
    PublishOnEndDrag(b);
    b.Prop("OnHint", &TStatusBar::OnHint, &TStatusBar::OnHint);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() const { return FPanels.get(); }
  void SetPanels(TStatusPanels* v) { FPanels->Assign(v); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool v);
  const String& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const String& v);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool v);
  bool AutoHint() const { return FAutoHint; }
  void SetAutoHint(bool v) { FAutoHint = v; }
  bool UseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(bool v);
  // The rectangle of a panel in client coordinates (the last panel runs to the right edge).
  TRect PanelRect(int Index) const;
  // The panel at a client point, -1 when none (also in simple mode).
  int PanelAtPos(TPoint Pos) const;
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawPanelEvent OnDrawPanel;
  TNotifyEvent OnHint;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  friend class TStatusPanels;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
  void Paint(HDC DC);
  bool ShowsGrip() const;

private:
  std::unique_ptr<TStatusPanels> FPanels;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FSimplePanel = false;
  String FSimpleText;
  bool FSizeGrip = true;
  bool FAutoHint = false;
  bool FUseSystemFont = true;
  String FLastHint;
};
