#pragma once
// The common controls: tab controls and page controls, status bars, tool bars and cool bars,
// tree views, list views, the month calendar and the date-time picker.
//
// Each keeps its model in the control and draws itself in the classic look. The user's
// changes notify through the control's events in the platform's order (OnChanging may veto a
// change of tab or tree selection before OnChange reports it); programmatic changes of a page
// control's page or of a picker's date do not run the events, a tree view's selection does.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/ImgList.h"
#include "gui/ListCtrls.h"
#include "gui/Edit.h"
#include "gui/WinScroll.h"

#include <functional>
#include <memory>
#include <vector>

class TPopupMenu;
class TMenuItem;
class TCustomAction;
class TCustomTabControl;
class TPageControl;
class TTabSheet;
class TToolBar;
class TCustomTreeView;
class TTreeNodes;
class TCustomListView;
class TListItems;
class TMonthCalendar;
class TCustomEdit;

// ================================================================ notifications

// CN_NOTIFY: LParam = NMHDR* (or a record that starts with one).
struct NMHDR {
  HWND hwndFrom = 0;
  UINT_PTR idFrom = 0;
  int code = 0;
};
constexpr int NM_CLICK = -2, NM_DBLCLK = -3, NM_RETURN = -4, NM_RCLICK = -5, NM_RDBLCLK = -6;
constexpr int TCN_SELCHANGE = -551, TCN_SELCHANGING = -552;
constexpr int MCN_SELCHANGE = -749, MCN_SELECT = -746;
constexpr int DTN_DATETIMECHANGE = -759, DTN_DROPDOWN = -754, DTN_CLOSEUP = -753;

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
  struct TTabPlace {
    TRect Rect;
    int Row = 0;
  };
  void Layout() const;
  int TabTextWidth(int Index) const;
  int RowHeight() const;
  int TabAreaSize() const;  // height (or width) of all rows
  void PaintTabs(HDC DC);
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

// ================================================================ tool bars

KELM_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
KELM_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
using TEdgeBorders = TSet<TEdgeBorder>;
KELM_ENUM(TEdgeStyle, esNone, esRaised, esLowered)

// A button of a tool bar. A check button (tbsCheck) stays down when clicked; in a Grouped run
// of check buttons one is down at a time (none with AllowAllUp). A drop-down button
// (tbsDropDown) shows its DropdownMenu from the arrow at its right and runs Click from the
// rest; a plain button with a DropdownMenu shows the menu when pressed. Bound to an action, it
// follows the action's Caption, Enabled, Hint, Visible, Checked (Down) and ImageIndex.
class TToolButton : public TGraphicControl {
  KELM_CLASS(TToolButton, TGraphicControl)
public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolBar* ToolBar() const;
  int Index() const;
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v) { FAllowAllUp = v; }
  bool Down() const { return FDown; }
  void SetDown(bool v);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* v);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool v) { FGrouped = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool v);
  bool Marked() const { return FMarked; }
  void SetMarked(bool v);
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle v);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool v);
  // The width of the arrow part of a drop-down button.
  static constexpr int DropDownWidth = 14;
  // Shows the drop-down menu under the button; true when there was one to show.
  bool CheckMenuDropdown();
  bool IsSeparator() const { return FStyle == tbsSeparator || FStyle == tbsDivider; }

  void Click() override;
  void Dispatch(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool ActionClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetActionClientValue(TActionLinkProp Prop, const Variant& Value) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void UpdateGroup();
  bool InArrow(int X) const;

  bool FAllowAllUp = false;
  bool FDown = false;
  TPopupMenu* FDropdownMenu = nullptr;
  bool FGrouped = false;
  int FImageIndex = -1;
  bool FIndeterminate = false;
  bool FMarked = false;
  TToolButtonStyle FStyle = tbsButton;
  bool FWrap = false;
  bool FHot = false;
  bool FPressed = false;   // the button is held down by the mouse
  bool FPressInside = false;
  bool FMenuShowing = false;
};

class TToolBar : public TWinControl {
  KELM_CLASS(TToolBar, TWinControl)
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int Index) const;
  int RowCount() const { return FRowCount; }

  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int v);
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int v);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  bool List() const { return FList; }
  void SetList(bool v);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool v);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool v);
  int Indent() const { return FIndent; }
  void SetIndent(int v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* v);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  TEdgeStyle EdgeInner() const { return FEdgeInner; }
  void SetEdgeInner(TEdgeStyle v);
  TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
  void SetEdgeOuter(TEdgeStyle v);
  void SetAutoSize(bool v) override;

  // The size every button of the bar takes (a drop-down button adds its arrow).
  TSize ButtonSize() const;

  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
  friend class TToolButton;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;
  void ButtonsChanged();

private:
  void ImagesChanged(TObject* Sender);
  void SortButtonsByPosition();

  std::vector<TControl*> FButtons;  // the bar's controls in their order
  int FButtonHeight = 22, FButtonWidth = 23;
  bool FFlat = false, FList = false, FShowCaptions = false, FWrapable = true, FTransparent = false;
  int FIndent = 0;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  std::unique_ptr<TChangeLink> FImageLink;
  TEdgeBorders FEdgeBorders = {ebTop};
  TEdgeStyle FEdgeInner = esRaised, FEdgeOuter = esLowered;
  int FRowCount = 1;
  bool FLaying = false;
};

// ================================================================ cool bar

class TCoolBar;

// A band of a cool bar: a row piece that holds one control, with a grip and a text before it.
class TCoolBand : public TCollectionItem {
  KELM_CLASS(TCoolBand, TCollectionItem)
public:
  explicit TCoolBand(TCollection* Collection);
  ~TCoolBand() override;
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;

  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* v);
  bool Break() const { return FBreak; }
  void SetBreak(bool v);
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  const String& Text() const { return FText; }
  void SetText(const String& v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  TCoolBar* CoolBar() const;

private:
  friend class TCoolBar;
  TWinControl* FControl = nullptr;
  bool FBreak = true;
  bool FFixedSize = false;
  int FMinHeight = 25;
  int FMinWidth = 0;
  String FText;
  bool FVisible = true;
  int FWidth = 0;
  int FImageIndex = -1;
};

class TCoolBands : public TOwnedCollection {
  KELM_CLASS(TCoolBands, TOwnedCollection)
public:
  explicit TCoolBands(TCoolBar* CoolBar);
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  TCoolBand* Items(int Index) const { return static_cast<TCoolBand*>(TCollection::Items(Index)); }
  TCoolBand* FindBand(TControl* AControl) const;
  TCoolBar* CoolBar() const { return FCoolBar; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCoolBar* FCoolBar;
};

// Bands in rows; each band places its control beside its grip and text.
class TCoolBar : public TWinControl {
  KELM_CLASS(TCoolBar, TWinControl)
public:
  explicit TCoolBar(TComponent* AOwner);
  ~TCoolBar() override;

  TCoolBands* Bands() const { return FBands.get(); }
  void SetBands(TCoolBands* v) { FBands->Assign(v); }
  bool FixedOrder() const { return FFixedOrder; }
  void SetFixedOrder(bool v) { FFixedOrder = v; }
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v) { FFixedSize = v; }
  bool ShowText() const { return FShowText; }
  void SetShowText(bool v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  TBorderStyle BandBorderStyle() const { return FBandBorderStyle; }
  void SetBandBorderStyle(TBorderStyle v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  void SetAutoSize(bool v) override;
  // The rectangle of a band in client coordinates (empty when hidden).
  TRect BandRect(int Index) const;

  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

protected:
  friend class TCoolBand;
  friend class TCoolBands;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void BandsChanged();

private:
  int GripWidth(const TCoolBand* Band) const;
  std::unique_ptr<TCoolBands> FBands;
  std::vector<TRect> FBandRects;
  bool FFixedOrder = false, FFixedSize = false, FShowText = true;
  TEdgeBorders FEdgeBorders = {ebLeft, ebTop, ebRight, ebBottom};
  TBorderStyle FBandBorderStyle = bsSingle;
  TCustomImageList* FImages = nullptr;
  bool FLaying = false;
};

// ================================================================ custom drawing of items

KELM_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
          cdsMarked, cdsIndeterminate)
using TCustomDrawState = TSet<TCustomDrawStateItem>;

// ================================================================ tree view

KELM_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)
KELM_ENUM(TSortType, stNone, stData, stText, stBoth)
KELM_ENUM(THitTest, htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
          htOnStateIcon, htToLeft, htToRight)
using THitTests = TSet<THitTest>;

class TTreeNode;
KELM_EVENT(TTVChangingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowChange));
KELM_EVENT(TTVChangedEvent, void(TObject* Sender, TTreeNode* Node));
KELM_EVENT(TTVExpandingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion));
KELM_EVENT(TTVCollapsingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse));
KELM_EVENT(TTVExpandedEvent, void(TObject* Sender, TTreeNode* Node));
KELM_EVENT(TTVEditingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowEdit));
KELM_EVENT(TTVEditedEvent, void(TObject* Sender, TTreeNode* Node, String& S));
KELM_EVENT(TTVCompareEvent, void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare));
KELM_EVENT(TTVCustomDrawItemEvent, void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw));

// A node: its text, images and data, its place in the tree and its state. Nodes belong to the
// tree's TTreeNodes; deleting one deletes its children.
class TTreeNode : public TPersistent {
  KELM_CLASS(TTreeNode, TPersistent)
public:
  explicit TTreeNode(TTreeNodes* AOwner = nullptr);
  ~TTreeNode() override;
  void Assign(TPersistent* Source) override;

  const String& Text() const { return FText; }
  void SetText(const String& v);
  void* Data() const { return FData; }
  void SetData(void* v) { FData = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int v);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int v);
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int v);
  bool Bold() const { return FBold; }
  void SetBold(bool v);
  bool Cut() const { return FCut; }
  void SetCut(bool v);
  bool DropTarget() const;
  void SetDropTarget(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  bool Selected() const;
  void SetSelected(bool v);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool v);
  // A node with HasChildren shows its expand button before it has children (filled when it
  // expands).
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool v);

  TTreeNode* Parent() const;
  int Level() const;
  int Index() const;
  int AbsoluteIndex() const;
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int Index) const;
  int IndexOf(const TTreeNode* Node) const;
  TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  TTreeNode* GetNextChild(const TTreeNode* Value) const { return Value ? Value->getNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(const TTreeNode* Value) const { return Value ? Value->getPrevSibling() : nullptr; }
  // Depth first: the first child, else the next sibling, else the next sibling of a parent.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  bool IsVisible() const;  // every parent expanded
  bool HasAsParent(const TTreeNode* Value) const;
  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;

  void Delete();
  void DeleteChildren();
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  void MakeVisible();
  // Starts editing the label in place; false when the tree does not allow it.
  bool EditText();
  void EndEdit(bool Cancel);
  bool IsEditing() const;
  // The node's row (or only its label) in client coordinates; empty when not shown.
  TRect DisplayRect(bool TextOnly) const;
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  bool AlphaSort(bool Recurse = false);

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void Changed(bool Structure);

  TTreeNodes* FOwner = nullptr;
  TTreeNode* FParent = nullptr;  // the hidden root for top-level nodes
  std::vector<TTreeNode*> FChildren;
  String FText;
  void* FData = nullptr;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
  int FStateIndex = -1;
  int FOverlayIndex = -1;
  bool FBold = false;
  bool FCut = false;
  bool FExpanded = false;
  bool FHasChildren = false;
  bool FDeleting = false;
};

// The nodes of a tree view.
class TTreeNodes : public TPersistent {
  KELM_CLASS(TTreeNodes, TPersistent)
public:
  explicit TTreeNodes(TCustomTreeView* AOwner = nullptr);
  ~TTreeNodes() override;
  void Assign(TPersistent* Source) override;

  // Every node, depth first.
  int Count() const { return FCount; }
  TTreeNode* Item(int Index) const;
  TTreeNode* operator[](int Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const;
  TCustomTreeView* Owner() const { return FOwner; }

  // A node after the last sibling of Sibling (top level when Sibling is nullptr).
  TTreeNode* Add(TTreeNode* Sibling, const String& S);
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S);
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
  // The last (or first) child of Parent (top level when Parent is nullptr).
  TTreeNode* AddChild(TTreeNode* Parent, const String& S);
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S);
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
  // Before Sibling.
  TTreeNode* Insert(TTreeNode* Sibling, const String& S);
  TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InternalAdd(TTreeNode* Parent, int Position, const String& S, void* Ptr);
  void Changed(bool Structure);

  TCustomTreeView* FOwner;
  std::unique_ptr<TTreeNode> FRoot;  // hidden: its children are the top-level nodes
  int FCount = 0;
  int FUpdateCount = 0;
};

class TCustomTreeView : public TWinControl {
  KELM_CLASS(TCustomTreeView, TWinControl)
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return FNodes.get(); }
  void SetItems(TTreeNodes* v) { FNodes->Assign(v); }
  TTreeNode* Selected() const { return FSelected; }
  void SetSelected(TTreeNode* v);
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* v);
  TTreeNode* DropTarget() const { return FDropTarget; }
  void SetDropTarget(TTreeNode* v);
  TCanvas* Canvas() const { return FCanvas.get(); }

  TTreeNode* GetNodeAt(int X, int Y) const;
  THitTests GetHitTestInfoAt(int X, int Y) const;
  void FullExpand();
  void FullCollapse();
  bool IsEditing() const { return FEditNode != nullptr; }
  TCustomEdit* EditControl() const;
  bool AlphaSort(bool Recurse = true);
  // Lines indented with tabs, one node per line.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  // The height of one row.
  int ItemHeight() const;

  // ---- published
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool v) { FAutoExpand = v; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  int ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(int v) { FChangeDelay = std::max(0, v); }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool v) { FHotTrack = v; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* v);
  int Indent() const { return FIndent; }
  void SetIndent(int v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v);
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool v) { FRightClickSelect = v; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool v);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool v);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool v);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType v);
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool v) { FToolTips = v; }

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnAddition;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCompareEvent OnCompare;
  TTVCustomDrawItemEvent OnCustomDrawItem;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  virtual void Edit(TTreeNode* Node, String& S);
  virtual void Delete(TTreeNode* Node);
  virtual void Added(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual int CompareNodes(TTreeNode* A, TTreeNode* B);
  virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State);

private:
  // ---- the native model
  void Changed(bool Structure);
  void BuildRows() const;
  int RowOf(const TTreeNode* Node) const;  // -1 when not shown
  int VisibleRowCount() const;
  int NodeIndent(const TTreeNode* Node) const;  // x of the node's button column
  TRect LabelRect(const TTreeNode* Node, int Row) const;
  int ContentWidth() const;
  void UpdateScrollBars();
  void ScrollToRow(int Row);
  void ScrollIntoView(const TTreeNode* Node);
  bool SelectNode(TTreeNode* Node, bool ByUser);
  bool DoExpand(TTreeNode* Node, bool Expand);
  void NodeDeleting(TTreeNode* Node);
  void SortChildren(TTreeNode* Parent, bool Recurse);
  void StartEdit(TTreeNode* Node);
  void FinishEdit(bool Cancel);
  void PaintTree(HDC DC);
  void PaintNode(HDC DC, TTreeNode* Node, int Row);
  void KeyDownDefault(TMessage& M);
  void CharDefault(TMessage& M);
  void MouseDownDefault(TMessage& M, bool Right, bool Double);
  void ScrollDefault(TMessage& M, bool Horizontal);
  void ChangeTimer();

  std::unique_ptr<TTreeNodes> FNodes;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TWindowScrollBars> FBars;
  std::unique_ptr<TChangeLink> FImageLink;
  TTreeNode* FSelected = nullptr;
  TTreeNode* FDropTarget = nullptr;
  TTreeNode* FEditNode = nullptr;
  TTreeNode* FHot = nullptr;
  TTreeNode* FPendingChange = nullptr;
  TCustomEdit* FEditor = nullptr;
  TTreeNode* FClickedSelected = nullptr;  // a press on the label of the node already selected
  mutable std::vector<TTreeNode*> FRows;
  mutable bool FRowsValid = false;
  mutable int FFontHeight = 0;
  int FTopRow = 0;
  int FScrollX = 0;
  bool FAutoExpand = false;
  TBorderStyle FBorderStyle = bsSingle;
  int FChangeDelay = 0;
  bool FHideSelection = true;
  bool FHotTrack = false;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  int FIndent = 19;
  bool FReadOnly = false;
  bool FRightClickSelect = false;
  bool FRowSelect = false;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  TSortType FSortType = stNone;
  bool FToolTips = true;
  String FSearch;
  DWORD FSearchTime = 0;
  bool FClearing = false;
};

class TTreeView : public TCustomTreeView {
  KELM_CLASS(TTreeView, TCustomTreeView)
public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

// ================================================================ list view

KELM_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)
KELM_ENUM(TItemChange, ctText, ctImage, ctState)
KELM_ENUM(TDisplayCode, drBounds, drIcon, drLabel, drSelectBounds)
KELM_ENUM(TIconArrangement, iaTop, iaLeft)
KELM_ENUM(TListArrangement, arAlignBottom, arAlignLeft, arAlignRight, arAlignTop, arDefault, arSnapToGrid)

class TListItem;
class TListColumn;
KELM_EVENT(TLVChangeEvent, void(TObject* Sender, TListItem* Item, TItemChange Change));
KELM_EVENT(TLVChangingEvent, void(TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange));
KELM_EVENT(TLVSelectItemEvent, void(TObject* Sender, TListItem* Item, bool Selected));
KELM_EVENT(TLVColumnClickEvent, void(TObject* Sender, TListColumn* Column));
KELM_EVENT(TLVCompareEvent, void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare));
KELM_EVENT(TLVDeletedEvent, void(TObject* Sender, TListItem* Item));
KELM_EVENT(TLVEditingEvent, void(TObject* Sender, TListItem* Item, bool& AllowEdit));
KELM_EVENT(TLVEditedEvent, void(TObject* Sender, TListItem* Item, String& S));

class TListColumn : public TCollectionItem {
  KELM_CLASS(TListColumn, TCollectionItem)
public:
  explicit TListColumn(TCollection* Collection);
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v);
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  Int64 Tag() const { return FTag; }
  void SetTag(Int64 v) { FTag = v; }
  int Width() const;
  void SetWidth(int v);

private:
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  String FCaption;
  int FImageIndex = -1;
  int FMaxWidth = 0, FMinWidth = 0;
  Int64 FTag = 0;
  int FWidth = 50;
};

class TListColumns : public TOwnedCollection {
  KELM_CLASS(TListColumns, TOwnedCollection)
public:
  explicit TListColumns(TCustomListView* ListView);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TCustomListView* Owner() const { return FListView; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomListView* FListView;
};

// One item of a list view: its caption, the texts of the report view's further columns
// (SubItems), images and data, selection and place.
class TListItem : public TPersistent {
  KELM_CLASS(TListItem, TPersistent)
public:
  explicit TListItem(TListItems* AOwner = nullptr);
  ~TListItem() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  TStrings* SubItems() const { return FSubItems.get(); }
  void SetSubItems(TStrings* v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int v);
  void* Data() const { return FData; }
  void SetData(void* v) { FData = v; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  bool Cut() const { return FCut; }
  void SetCut(bool v);
  bool DropTarget() const { return FDropTarget; }
  void SetDropTarget(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  bool Selected() const { return FSelected; }
  void SetSelected(bool v);
  int Index() const;
  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  // The icon views' place of the item (client coordinates before scrolling).
  TPoint Position() const;
  void SetPosition(TPoint v);
  int Left() const { return Position().X; }
  int Top() const { return Position().Y; }

  void Delete();
  void MakeVisible(bool PartialOK);
  TRect DisplayRect(TDisplayCode Code) const;
  bool EditCaption();
  void CancelEdit();
  void Update();

private:
  friend class TListItems;
  friend class TCustomListView;
  void Changed(TItemChange Change);
  TListItems* FOwner;
  String FCaption;
  std::unique_ptr<TStringList> FSubItems;
  int FImageIndex = -1;
  int FStateIndex = -1;
  void* FData = nullptr;
  bool FChecked = false, FCut = false, FDropTarget = false, FSelected = false;
  TPoint FPos{-1, -1};
};

class TListItems : public TPersistent {
  KELM_CLASS(TListItems, TPersistent)
public:
  explicit TListItems(TCustomListView* AOwner = nullptr);
  ~TListItems() override;
  void Assign(TPersistent* Source) override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int Index) const;
  TListItem* operator[](int Index) const { return Item(Index); }
  TListItem* Add();
  TListItem* AddItem(TListItem* Item, int Index = -1);
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int IndexOf(const TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();
  TCustomListView* Owner() const { return FOwner; }

private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* FOwner;
  std::vector<TListItem*> FItems;
  int FUpdateCount = 0;
};

class TIconOptions : public TPersistent {
  KELM_CLASS(TIconOptions, TPersistent)
public:
  explicit TIconOptions(TCustomListView* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TIconArrangement Arrangement() const { return FArrangement; }
  void SetArrangement(TIconArrangement v);
  bool AutoArrange() const { return FAutoArrange; }
  void SetAutoArrange(bool v);
  bool WrapText() const { return FWrapText; }
  void SetWrapText(bool v);

private:
  TCustomListView* FOwner;
  TIconArrangement FArrangement = iaTop;
  bool FAutoArrange = false;
  bool FWrapText = true;
};

class TCustomListView : public TWinControl {
  KELM_CLASS(TCustomListView, TWinControl)
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListItems* Items() const { return FItems.get(); }
  void SetItems(TListItems* v) { FItems->Assign(v); }
  TListColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TListColumns* v) { FColumns->Assign(v); }
  TListColumn* Column(int Index) const { return FColumns->Items(Index); }
  // The first selected item, or nullptr.
  TListItem* Selected() const;
  void SetSelected(TListItem* v);
  TListItem* ItemFocused() const { return FFocused; }
  void SetItemFocused(TListItem* v);
  int SelCount() const;
  int ItemIndex() const;
  void SetItemIndex(int v);
  TListItem* TopItem() const;
  TCanvas* Canvas() const { return FCanvas.get(); }

  TListItem* GetItemAt(int X, int Y) const;
  // The next item after StartItem (nullptr: from the first) that is selected (or focused).
  TListItem* GetNextSelected(TListItem* StartItem) const;
  TListItem* FindCaption(int StartIndex, const String& Value, bool Partial, bool Inclusive, bool Wrap) const;
  TListItem* FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap) const;
  void ClearSelection();
  void SelectAll();
  bool AlphaSort();
  void Arrange(TListArrangement Code);
  void Scroll(int DX, int DY);
  bool IsEditing() const { return FEditItem != nullptr; }
  // The column of the report view at a client x, -1 when none.
  int ColumnAtPos(int X) const;
  int HeaderHeight() const;

  // ---- published
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  bool Checkboxes() const { return FCheckboxes; }
  void SetCheckboxes(bool v);
  bool ColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool v) { FColumnClick = v; }
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool v);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool v) { FHotTrack = v; }
  TIconOptions* IconOptions() const { return FIconOptions.get(); }
  void SetIconOptions(TIconOptions* v) { FIconOptions->Assign(v); }
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* v);
  TCustomImageList* SmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* v);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* v);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool v);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool v);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool v);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType v);
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle v);

  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  friend class TIconOptions;
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual bool CanChange(TListItem* Item, TItemChange Change);
  virtual void Change(TListItem* Item, TItemChange Change);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void ColClick(TListColumn* Column);
  virtual int CompareItems(TListItem* A, TListItem* B);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);

private:
  // ---- the native model
  struct TLayout {
    int CellW = 0, CellH = 0;  // icon views: one cell; report and list: one row (list: column width)
    int Cols = 1;              // icon views: cells per row
    TSize Content;             // the scrollable extent
  };
  void Changed(bool Layout);
  const TLayout& GetLayout() const;
  TRect ItemBounds(int Index) const;  // client coordinates (scrolled)
  TRect ItemPart(int Index, TDisplayCode Code) const;
  TCustomImageList* ItemImages() const;
  void UpdateScrollBars();
  void ScrollTo(int X, int Y);
  void EnsureVisible(int Index, bool PartialOK);
  bool SetItemSelected(TListItem* Item, bool Value, bool ByUser);
  void SelectOnly(TListItem* Item, bool ByUser);
  // Selects the items from index A to B (either order) by the user, and only those.
  void SelectRange(int A, int B);
  void FocusItem(TListItem* Item);
  void ItemRemoved(TListItem* Item);
  void SortItems();
  void StartEdit(TListItem* Item);
  void FinishEdit(bool Cancel);
  void PaintView(HDC DC);
  void PaintHeader(HDC DC);
  void PaintItem(HDC DC, int Index);
  void KeyDownDefault(TMessage& M);
  void MouseDownDefault(TMessage& M, bool Right, bool Double);
  void ScrollDefault(TMessage& M, bool Horizontal);
  int TextHeight() const;

  std::unique_ptr<TListItems> FItems;
  std::unique_ptr<TListColumns> FColumns;
  std::unique_ptr<TIconOptions> FIconOptions;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TWindowScrollBars> FBars;
  std::unique_ptr<TChangeLink> FImageLink;
  TListItem* FFocused = nullptr;
  TListItem* FAnchor = nullptr;
  TListItem* FEditItem = nullptr;
  TCustomEdit* FEditor = nullptr;
  mutable TLayout FLayout;
  mutable bool FLayoutValid = false;
  mutable int FFontHeight = 0;
  int FScrollX = 0, FScrollY = 0;
  int FPressedColumn = -1;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCheckboxes = false, FColumnClick = true, FGridLines = false, FHideSelection = true, FHotTrack = false;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  bool FMultiSelect = false, FReadOnly = false, FRowSelect = false, FShowColumnHeaders = true;
  TSortType FSortType = stNone;
  TViewStyle FViewStyle = vsIcon;
};

class TListView : public TCustomListView {
  KELM_CLASS(TListView, TCustomListView)
public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ================================================================ calendars

struct SYSTEMTIME {
  Word wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0, wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};
void DateTimeToSystemTime(TDateTime DateTime, SYSTEMTIME& SystemTime);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& SystemTime);

constexpr UINT MCM_GETCURSEL = 0x1001, MCM_SETCURSEL = 0x1002, MCM_GETMINREQRECT = 0x1009, MCM_SETTODAY = 0x100C,
               MCM_GETTODAY = 0x100D, MCM_HITTEST = 0x100E, MCM_SETFIRSTDAYOFWEEK = 0x100F,
               MCM_GETFIRSTDAYOFWEEK = 0x1010, MCM_GETRANGE = 0x1011, MCM_SETRANGE = 0x1012;
constexpr UINT MCHT_NOWHERE = 0, MCHT_TITLE = 0x00010000, MCHT_CALENDAR = 0x00020000, MCHT_TODAYLINK = 0x00030000,
               MCHT_NEXT = 0x01000000, MCHT_PREV = 0x02000000, MCHT_TITLEBK = MCHT_TITLE,
               MCHT_TITLEMONTH = MCHT_TITLE | 1, MCHT_TITLEYEAR = MCHT_TITLE | 2,
               MCHT_TITLEBTNNEXT = MCHT_TITLE | MCHT_NEXT | 3, MCHT_TITLEBTNPREV = MCHT_TITLE | MCHT_PREV | 3,
               MCHT_CALENDARBK = MCHT_CALENDAR, MCHT_CALENDARDATE = MCHT_CALENDAR | 1,
               MCHT_CALENDARDATENEXT = MCHT_CALENDARDATE | MCHT_NEXT,
               MCHT_CALENDARDATEPREV = MCHT_CALENDARDATE | MCHT_PREV, MCHT_CALENDARDAY = MCHT_CALENDAR | 2,
               MCHT_CALENDARWEEKNUM = MCHT_CALENDAR | 3;
constexpr DWORD GDTR_MIN = 0x0001, GDTR_MAX = 0x0002;
struct MCHITTESTINFO {
  UINT cbSize = sizeof(MCHITTESTINFO);
  TPoint pt;
  UINT uHit = 0;
  SYSTEMTIME st;
};

KELM_ENUM(TCalDayOfWeek, dowMonday, dowTuesday, dowWednesday, dowThursday, dowFriday, dowSaturday, dowSunday,
          dowLocaleDefault)

class TCommonCalendar;

class TMonthCalColors : public TPersistent {
  KELM_CLASS(TMonthCalColors, TPersistent)
public:
  explicit TMonthCalColors(TWinControl* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TColor BackColor() const { return FBack; }
  void SetBackColor(TColor v) { FBack = v; Changed(); }
  TColor TextColor() const { return FText; }
  void SetTextColor(TColor v) { FText = v; Changed(); }
  TColor TitleBackColor() const { return FTitleBack; }
  void SetTitleBackColor(TColor v) { FTitleBack = v; Changed(); }
  TColor TitleTextColor() const { return FTitleText; }
  void SetTitleTextColor(TColor v) { FTitleText = v; Changed(); }
  TColor MonthBackColor() const { return FMonthBack; }
  void SetMonthBackColor(TColor v) { FMonthBack = v; Changed(); }
  TColor TrailingTextColor() const { return FTrailing; }
  void SetTrailingTextColor(TColor v) { FTrailing = v; Changed(); }

private:
  void Changed();
  TWinControl* FOwner;
  TColor FBack = clWindow, FText = clWindowText, FTitleBack = clActiveCaption, FTitleText = clWhite,
         FMonthBack = clWhite, FTrailing = clInactiveCaptionText;
};

// The month calendar: a month's days in weeks under a title with the buttons to the previous
// and next month, and today's date below. The MCM_ messages answer as the platform's control
// does (MCM_HITTEST codes, MCM_GETMINREQRECT); a click on a day selects it (OnClick), the
// arrow keys move the selection.
class TMonthCalendar : public TWinControl {
  KELM_CLASS(TMonthCalendar, TWinControl)
public:
  explicit TMonthCalendar(TComponent* AOwner);
  ~TMonthCalendar() override;

  TDateTime Date() const { return FDate; }
  void SetDate(TDateTime v);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime v);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime v);
  TCalDayOfWeek FirstDayOfWeek() const { return FFirstDay; }
  void SetFirstDayOfWeek(TCalDayOfWeek v);
  bool ShowToday() const { return FShowToday; }
  void SetShowToday(bool v);
  bool ShowTodayCircle() const { return FShowTodayCircle; }
  void SetShowTodayCircle(bool v);
  bool WeekNumbers() const { return FWeekNumbers; }
  void SetWeekNumbers(bool v);
  TMonthCalColors* CalColors() const { return FColors.get(); }
  void SetCalColors(TMonthCalColors* v) { FColors->Assign(v); }
  void SetAutoSize(bool v) override;
  // The month shown (its first day).
  TDateTime VisibleMonth() const { return FMonth; }
  void SetVisibleMonth(TDateTime v);
  // The smallest rectangle that shows a whole month.
  TRect MinReqRect() const;
  // MCM_HITTEST for a client point.
  UINT HitTest(TPoint P, SYSTEMTIME* Date = nullptr) const;

  TNotifyEvent OnChange;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  friend class TDateTimePicker;
  void CreateParams(TCreateParams& Params) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  // The user picked a date: the selection moves there (MCN_SELCHANGE), then MCN_SELECT.
  void UserSelect(TDateTime Value, bool Final);

private:
  struct TGeometry {
    int CellW = 0, CellH = 0, TitleH = 0, HeaderH = 0, TodayH = 0, WeekW = 0;
    TRect Title, Prev, Next, Days, Today;
  };
  TGeometry Geometry() const;
  int FirstWeekday() const;  // 1 Sunday ... 7 Saturday
  TDateTime GridStart() const;
  TDateTime Clamp(TDateTime v) const;
  bool OutOfRange(TDateTime Day) const;  // before MinDate's day or after MaxDate's
  int FirstDayNumber() const;            // 0 Monday ... 6 Sunday, the locale's for dowLocaleDefault
  void PaintCalendar(HDC DC);
  void Notify(int Code);

  std::unique_ptr<TMonthCalColors> FColors;
  std::function<void(bool Final)> FOnUserSelect;  // the picker that dropped this calendar down
  TDateTime FDate = 0;
  TDateTime FMonth = 0;
  TDateTime FMinDate = 0, FMaxDate = 0;
  TCalDayOfWeek FFirstDay = dowLocaleDefault;
  bool FShowToday = true, FShowTodayCircle = true, FWeekNumbers = false;
};

// ================================================================ date-time picker

constexpr UINT DTM_GETSYSTEMTIME = 0x1001, DTM_SETSYSTEMTIME = 0x1002, DTM_GETRANGE = 0x1003, DTM_SETRANGE = 0x1004,
               DTM_SETFORMAT = 0x1005, DTM_GETMONTHCAL = 0x1008;
constexpr LRESULT GDT_ERROR = -1, GDT_VALID = 0, GDT_NONE = 1;

KELM_ENUM(TDateTimeKind, dtkDate, dtkTime)
KELM_ENUM(TDTDateMode, dmComboBox, dmUpDown)
KELM_ENUM(TDTDateFormat, dfShort, dfLong)
KELM_ENUM(TDTCalAlignment, dtaLeft, dtaRight)

// A date (or time) shown in a format of fields ("yyyy-MM-dd": MM is the month here, mm the
// minutes) that the keys edit one field at a time: Left and Right choose the field, Up and Down
// step it, digits type it. The combo style drops a month calendar down; with ShowCheckbox the
// value can be switched off (Checked false). Every change by the user runs OnChange; setting
// Date or Time does not.
class TDateTimePicker : public TWinControl {
  KELM_CLASS(TDateTimePicker, TWinControl)
public:
  explicit TDateTimePicker(TComponent* AOwner);
  ~TDateTimePicker() override;

  TDateTime Date() const;
  void SetDate(TDateTime v);
  TDateTime Time() const;
  void SetTime(TDateTime v);
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(TDateTime v);
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime v);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime v);
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind v);
  TDTDateMode DateMode() const { return FDateMode; }
  void SetDateMode(TDTDateMode v);
  TDTDateFormat DateFormat() const { return FDateFormat; }
  void SetDateFormat(TDTDateFormat v);
  const String& Format() const { return FFormat; }
  void SetFormat(const String& v);
  bool ShowCheckbox() const { return FShowCheckbox; }
  void SetShowCheckbox(bool v);
  bool Checked() const { return FChecked; }
  void SetChecked(bool v);
  TDTCalAlignment CalAlignment() const { return FCalAlignment; }
  void SetCalAlignment(TDTCalAlignment v) { FCalAlignment = v; }
  TMonthCalColors* CalColors() const { return FCalColors.get(); }
  void SetCalColors(TMonthCalColors* v) { FCalColors->Assign(v); }
  bool DroppedDown() const { return FDropped; }
  void SetDroppedDown(bool v);
  // The calendar that drops down (created on first use).
  TMonthCalendar* Calendar();
  // The text shown, as the format gives it.
  String DisplayText() const;
  // The field that keys edit now (0-based among the editable fields).
  int ActiveField() const { return FActiveField; }

  TNotifyEvent OnChange;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDropDown;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void Change() { OnChange(this); }

private:
  enum TFieldKind { fkLiteral, fkYear, fkMonth, fkDay, fkDayName, fkHour, fkHour12, fkMinute, fkSecond, fkAmPm };
  struct TField {
    TFieldKind Kind = fkLiteral;
    int Width = 0;  // the count of letters in the format
    String Text;    // literal text
  };
  std::vector<TField> ParseFormat() const;
  String FieldText(const TField& F) const;
  std::vector<int> EditableFields(const std::vector<TField>& Fields) const;
  void StepField(int Delta);
  void TypeDigit(int Digit);
  void SetByUser(TDateTime v);
  TDateTime ClampValue(TDateTime v) const;
  TRect CheckRect() const;
  TRect ButtonRect() const;
  void ShowCalendar(bool Show);
  void CalendarChosen();
  void PaintPicker(HDC DC);
  void KeyDownDefault(TMessage& M);

  std::unique_ptr<TMonthCalColors> FCalColors;
  std::unique_ptr<TMonthCalendar> FCalendar;
  TDateTime FDateTime = 0;
  TDateTime FMinDate = 0, FMaxDate = 0;
  TDateTimeKind FKind = dtkDate;
  TDTDateMode FDateMode = dmComboBox;
  TDTDateFormat FDateFormat = dfShort;
  String FFormat;
  bool FShowCheckbox = false;
  bool FChecked = true;
  TDTCalAlignment FCalAlignment = dtaLeft;
  bool FDropped = false;
  bool FJustClosed = false;
  int FActiveField = 0;
  int FTyped = -1;      // the digits typed into the active field so far, -1 none
  int FTypedCount = 0;
  int FUpDownPressed = 0;  // the up-down style's pressed button: 1 up, -1 down
};
