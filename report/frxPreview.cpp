#include "report/frxPreview.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/ExtCtrls.h"
#include "gui/GdiDC.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "gui/Window.h"
#include "print/Metafile.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewForm.h"
#include "report/frxPreviewPages.h"
#include "report/frxUnicodeUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

KELM_PUBLISH(TfrxPreviewWorkspace) {}
KELM_PUBLISH(TfrxPreview) {}

namespace {

int RoundPx(Extended V) { return static_cast<int>(std::lround(static_cast<double>(V))); }
constexpr int kVisibleAround = 20;  // pages painted on each side of the current one

}  // namespace

TfrxPreviewSearch& PreviewSearch() {
  static TfrxPreviewSearch search;
  return search;
}

// ================================================================ page list

void TfrxPageList::Clear() {
  FItems.clear();
  FMaxWidth = 0;
}

void TfrxPageList::SetColumnCount(int Value) {
  FColumnCount = std::max(1, Value);
  Clear();
}

void TfrxPageList::AddPage(int Width, int Height) {
  TfrxPageItem item;
  item.Width = static_cast<std::uint16_t>(Width);
  item.Height = static_cast<std::uint16_t>(Height);
  if (FItems.empty()) {
    item.Top = 10;
  } else {
    const TfrxPageItem& last = FItems.back();
    if (last.ColumnIndex < FColumnCount - 1) {
      item.ColumnIndex = static_cast<std::uint16_t>(last.ColumnIndex + 1);
      item.Top = last.Top;
    } else {
      int rowHeight = 0;
      for (int i = Count() - 1 - last.ColumnIndex; i < Count(); ++i) rowHeight = std::max<int>(rowHeight, FItems[i].Height);
      item.Top = last.Top + rowHeight + 10;
    }
  }
  FItems.push_back(item);
  int rowWidth = 0;
  for (int i = Count() - 1 - item.ColumnIndex; i < Count(); ++i) rowWidth += FItems[i].Width + 10;
  FMaxWidth = std::max(FMaxWidth, rowWidth);
}

int TfrxPageList::FindPage(int Y, bool Exact, Extended Zoom) const {
  int lo = 0, hi = Count() - 1, found = -1;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    const TfrxPageItem& item = FItems[mid];
    int slack = Exact ? 0 : RoundPx(Zoom * item.Height / 5);
    if (item.Top * Zoom <= Y + slack) {
      found = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return found;
}

TRect TfrxPageList::PageBounds(int Index, int ClientWidth, Extended Zoom) const {
  auto rowLeft = [&](Extended RowWidth) {
    return ClientWidth >= RowWidth * Zoom ? RoundPx((ClientWidth - RowWidth * Zoom) / 2) : 10;
  };
  if (Index < 0 || Index >= Count()) {
    int left = rowLeft(794), top = RoundPx(10 * Zoom);
    return TRect(left, top, left + RoundPx(794 * Zoom), top + RoundPx(1123 * Zoom));
  }
  const TfrxPageItem& item = FItems[Index];
  int offset = 0, rowWidth = item.Width;
  if (FColumnCount > 1) {
    int first = Index - item.ColumnIndex;
    for (int i = first; i < Index; ++i) offset += FItems[i].Width + 10;
    rowWidth = 0;
    for (int i = first; i < Count() && (i == first || FItems[i].ColumnIndex > 0); ++i)
      rowWidth += FItems[i].Width + (i > first ? 10 : 0);
  }
  int left = rowLeft(rowWidth) + RoundPx(offset * Zoom), top = RoundPx(item.Top * Zoom);
  return TRect(left, top, left + RoundPx(item.Width * Zoom), top + RoundPx(item.Height * Zoom));
}

TPoint TfrxPageList::ExtentSize(int ClientWidth, Extended Zoom) const {
  if (FItems.empty()) return TPoint(0, 0);
  return TPoint(RoundPx(Zoom * FMaxWidth), PageBounds(Count() - 1, ClientWidth, Zoom).Bottom);
}

// ================================================================ workspace

TfrxPreviewWorkspace::TfrxPreviewWorkspace(TComponent* AOwner, TfrxPreview* APreview)
    : TfrxScrollWin(AOwner), FPreview(APreview) {
  SetColor(clGray);
  SetLargeStep(300);
  SetSmallStep(8);
}

TfrxPreviewWorkspace::~TfrxPreviewWorkspace() = default;

TfrxPreviewPages* TfrxPreviewWorkspace::Pages() const { return FPreview->Pages(); }

void TfrxPreviewWorkspace::Paint() {
  TfrxPreviewPages* pages = Pages();
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(FPreview->BackColor());
  if (FPreview->ViewLocked() || !pages || FPageList.Count() == 0) {
    canvas->FillRect(ClientRect());
    return;
  }
  HDC dc = canvas->Handle();
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  bool hadClip = GetClipRgn(dc, saved) == 1;
  int current = FPageList.FindPage(FOffsetY, false, FPreview->Zoom());
  std::vector<std::pair<int, TRect>> visible;
  for (int i = std::max(0, current - kVisibleAround); i <= current + kVisibleAround && i < FPageList.Count(); ++i) {
    TRect r = FPageList.PageBounds(i, ClientWidth(), FPreview->Zoom());
    OffsetRect(r, -FOffsetX, -FOffsetY);
    r.Bottom += 1;
    if (r.Top > ClientHeight() || r.Bottom < 0 || !RectVisible(dc, &r)) continue;
    visible.emplace_back(i, r);
    // The sheets paint their own interior: the background stays off it, so nothing flickers.
    ExcludeClipRect(dc, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  canvas->FillRect(ClientRect());
  SelectClipRgn(dc, hadClip ? saved : nullptr);
  DeleteObject(saved);
  for (auto& [index, rect] : visible) PaintPage(index, rect);
}

void TfrxPreviewWorkspace::PaintPage(int Index, const TRect& Rect) {
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetColor(FPreview->FrameColor());
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetMode(pmCopy);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Brush()->SetColor(clWhite);
  canvas->Brush()->SetStyle(bsSolid);
  TRect r = Rect;
  r.Bottom -= 1;
  canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  canvas->Polyline({TPoint(r.Left + 1, r.Bottom), TPoint(r.Right, r.Bottom), TPoint(r.Right, r.Top + 1)});
  Extended zoom = FPreview->Zoom();
  Pages()->DrawPage(Index, canvas, zoom, zoom, r.Left, r.Top);
  const TfrxPreviewSearch& search = PreviewSearch();
  if (search.TextFound && FSearchPage == Index) {
    TRect f(RoundPx(search.FoundRect.Left * zoom), RoundPx(search.FoundRect.Top * zoom),
            RoundPx(search.FoundRect.Right * zoom), RoundPx(search.FoundRect.Bottom * zoom));
    canvas->Pen()->SetColor(clWhite);
    canvas->Pen()->SetMode(pmXor);
    for (int y = f.Top; y <= f.Bottom; ++y) {
      canvas->MoveTo(r.Left + f.Left - 1, r.Top + y);
      canvas->LineTo(r.Left + f.Right + 1, r.Top + y);
    }
    canvas->Pen()->SetMode(pmCopy);
  }
}

void TfrxPreviewWorkspace::HorzScrolled(int Value) {
  TRect client = ClientRect();
  ScrollWindow(Handle(), FOffsetX - Value, 0, &client, &client);
  FOffsetX = Value;
}

void TfrxPreviewWorkspace::VertScrolled(int Value) {
  TRect client = ClientRect();
  ScrollWindow(Handle(), 0, FOffsetY - Value, &client, &client);
  FOffsetY = Value;
  int page = FPageList.FindPage(FOffsetY, false, FPreview->Zoom());
  if (page < 0) return;
  // The page number follows the view; the view must not follow the page number back.
  TRestore<bool> sync(FScrollSync, true);
  FPreview->SetPageNo(page + 1);
}

void TfrxPreviewWorkspace::ScrollToPage(int PageNo) {
  if (FScrollSync) return;
  ChangeVertPosition(FPageList.PageBounds(PageNo - 1, ClientWidth(), FPreview->Zoom()).Top - 10);
}

void TfrxPreviewWorkspace::UpdateScrollRanges() {
  TPoint extent = FPageList.ExtentSize(ClientWidth(), FPreview->Zoom());
  ChangeHorzRange(extent.X + 10);
  ChangeVertRange(extent.Y + 10);
}

void TfrxPreviewWorkspace::Resize() {
  TfrxScrollWin::Resize();
  ChangeHorzPage(ClientWidth());
  ChangeVertPage(ClientHeight());
}

int TfrxPreviewWorkspace::PageAt(int X, int Y, TRect& Bounds) const {
  Extended zoom = FPreview->Zoom();
  int index = FPageList.FindPage(Y + FOffsetY, true, zoom);
  Bounds = FPageList.PageBounds(index, ClientWidth(), zoom);
  if (X < Bounds.Left - FOffsetX && FPreview->ZoomMode() == zmManyPages) {
    // The search finds the right-hand page of a row; a point left of it is on its neighbour.
    index = std::max(0, index - 1);
    Bounds = FPageList.PageBounds(index, ClientWidth(), zoom);
  }
  return index;
}

void TfrxPreviewWorkspace::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TfrxScrollWin::MouseDown(Button, Shift, X, Y);
  if (CanFocus()) SetFocus();
  if (FPageList.Count() == 0 || FPreview->ViewLocked()) return;
  if (Button != mbLeft) return;
  FDragging = true;
  FDragX = X;
  FDragY = Y;
}

void TfrxPreviewWorkspace::MouseMove(TShiftState Shift, int X, int Y) {
  TfrxScrollWin::MouseMove(Shift, X, Y);
  if (FPageList.Count() == 0 || FPreview->ViewLocked() || !Pages()) return;
  if (FDragging) {
    if (FPreview->Tool() != 0) return;
    ChangeHorzPosition(HorzPosition() + (FDragX - X));
    ChangeVertPosition(VertPosition() + (FDragY - Y));
    FDragX = X;
    FDragY = Y;
    return;
  }
  TRect r;
  int index = PageAt(X, Y, r);
  SmallInt cursor = static_cast<SmallInt>(FDefaultCursor);
  Pages()->ObjectOver(index, X, Y, mbLeft, 0, FPreview->Zoom(), r.Left - FOffsetX, r.Top - FOffsetY, false, cursor);
  SetCursor(cursor);
}

void TfrxPreviewWorkspace::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TfrxScrollWin::MouseUp(Button, Shift, X, Y);
  if (FPreview->OnClick.Assigned()) FPreview->OnClick(FPreview);
  FDragging = false;
  if (FPageList.Count() == 0 || FPreview->ViewLocked() || !Pages()) return;
  if (FPreview->Tool() == 1) {
    if (Button == mbLeft) FPreview->SetZoom(FPreview->Zoom() + 0.25);
    if (Button == mbRight) FPreview->SetZoom(FPreview->Zoom() - 0.25);
    return;
  }
  TRect r;
  int index = PageAt(X, Y, r);
  SmallInt cursor = static_cast<SmallInt>(FDefaultCursor);
  Pages()->ObjectOver(index, X, Y, static_cast<int>(Button), static_cast<int>(Shift.Bits()), FPreview->Zoom(),
                      r.Left - FOffsetX, r.Top - FOffsetY, true, cursor);
}

void TfrxPreviewWorkspace::DblClick() {
  TfrxScrollWin::DblClick();
  if (auto* form = dynamic_cast<TfrxPreviewForm*>(FPreview->Owner()); form && form->FullScreen())
    form->SwitchFullScreen();
}

void TfrxPreviewWorkspace::KeyDown(Word& Key, TShiftState Shift) { FPreview->KeyDown(Key, Shift); }

void TfrxPreviewWorkspace::HandleKey(Word Key, TShiftState Shift) {
  bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_PRIOR:
      if (ctrl) FPreview->Prior();
      else ChangeVertPosition(VertPosition() - 300);
      break;
    case VK_NEXT:
      if (ctrl) FPreview->Next();
      else ChangeVertPosition(VertPosition() + 300);
      break;
    case VK_END: FPreview->Last(); break;
    case VK_HOME: FPreview->First(); break;
    case VK_LEFT: ChangeHorzPosition(HorzPosition() - 8); break;
    case VK_RIGHT: ChangeHorzPosition(HorzPosition() + 8); break;
    case VK_UP: ChangeVertPosition(VertPosition() - 8); break;
    case VK_DOWN: ChangeVertPosition(VertPosition() + 8); break;
    default: break;
  }
}

void TfrxPreviewWorkspace::FindText() {
  TfrxPreviewSearch& search = PreviewSearch();
  TfrxPreviewPages* pages = Pages();
  search.TextFound = false;
  if (!pages) return;
  String wanted = search.SearchCaseSensitive ? search.SearchText : AnsiUpperCase(search.SearchText);
  while (FSearchPage < pages->Count()) {
    if (!FCachedMetafile || FCachedPage != FSearchPage) {
      // One page at a time, drawn once: a continued search on the same page reads it again.
      FCachedMetafile = std::make_unique<TMetafile>();
      TPoint size = pages->GetPageSize(FSearchPage);
      FCachedMetafile->SetDpi(96);
      FCachedMetafile->SetWidth(size.X);
      FCachedMetafile->SetHeight(size.Y);
      {
        TMetafileCanvas canvas(FCachedMetafile.get(), nullptr);
        pages->DrawPage(FSearchPage, &canvas, 1, 1, 0, 0);
      }
      FCachedPage = FSearchPage;
    }
    search.RecordCounter = 0;
    FCachedMetafile->WalkText([&](const TMetaTextRun& Run) {
      int record = search.RecordCounter++;
      if (search.TextFound || wanted.empty()) return;
      String text = search.SearchCaseSensitive ? Run.Text : AnsiUpperCase(Run.Text);
      if (text.find(wanted) != String::npos && record > search.LastFoundRecord) {
        search.TextFound = true;
        search.FoundRect = Run.Bounds;
        search.LastFoundRecord = record;
      }
    });
    if (search.TextFound) break;
    search.LastFoundRecord = -1;
    ++FSearchPage;
  }
  if (!search.TextFound) return;
  Extended zoom = FPreview->Zoom();
  TRect r = FPageList.PageBounds(FSearchPage, ClientWidth(), zoom);
  TRect f(RoundPx(search.FoundRect.Left * zoom), RoundPx(search.FoundRect.Top * zoom),
          RoundPx(search.FoundRect.Right * zoom), RoundPx(search.FoundRect.Bottom * zoom));
  if (r.Top + f.Top < FOffsetY || r.Top + f.Bottom > FOffsetY + ClientHeight())
    ChangeVertPosition(r.Top + f.Bottom - ClientHeight() + 20);
  if (r.Left + f.Left < FOffsetX || r.Left + f.Right > FOffsetX + ClientWidth())
    ChangeHorzPosition(r.Left + f.Right - ClientWidth() + 20);
  Invalidate();
}

// ================================================================ preview: view

TfrxPreview::TfrxPreview(TComponent* AOwner) : TfrxCustomPreview(AOwner) {
  SetWidth(100);
  SetHeight(100);
  FOutlineTree = new TTreeView(this);
  FOutlineTree->SetParent(this);
  FOutlineTree->SetAlign(alLeft);
  FOutlineTree->SetWidth(120);
  FOutlineTree->SetReadOnly(true);
  FOutlineTree->SetHideSelection(false);
  FOutlineTree->OnClick = MakeEvent(this, &TfrxPreview::OutlineClick);
  FOutlineSplitter = new TSplitter(this);
  FOutlineSplitter->SetParent(this);
  FOutlineSplitter->SetAlign(alLeft);
  FOutlineSplitter->SetWidth(2);
  FOutlineSplitter->SetLeft(FOutlineTree->Width() + 1);
  FOutlineSplitter->SetMinSize(1);
  FWorkspace = new TfrxPreviewWorkspace(this, this);
  FWorkspace->SetParent(this);
  FWorkspace->SetAlign(alClient);
  FMessagePanel = new TPanel(this);
  FMessagePanel->SetParent(this);
  FMessagePanel->SetVisible(false);
  FMessageLabel = new TLabel(FMessagePanel);
  FMessageLabel->SetParent(FMessagePanel);
  FMessageLabel->SetAutoSize(false);
  FMessageLabel->SetAlignment(taCenter);
  FMessageLabel->SetBounds(4, 20, 255, 20);
  SetTool(0);
}

TfrxPreview::~TfrxPreview() {
  if (Report() && Report()->Preview() == this) Report()->SetPreview(nullptr);
}

TfrxPreviewPages* TfrxPreview::Pages() const { return dynamic_cast<TfrxPreviewPages*>(PreviewPages()); }

int TfrxPreview::PageCount() const { return Pages() ? Pages()->Count() : 0; }

void TfrxPreview::SetBackColor(TColor Value) {
  FBackColor = Value;
  FWorkspace->Invalidate();
}

void TfrxPreview::SetFrameColor(TColor Value) {
  FFrameColor = Value;
  FWorkspace->Invalidate();
}

bool TfrxPreview::OutlineVisible() const { return FOutlineTree->Visible(); }

void TfrxPreview::SetOutlineVisible(bool Value) {
  FOutlineTree->SetVisible(Value);
  FOutlineSplitter->SetVisible(Value);
  FOutlineSplitter->SetLeft(FOutlineTree->Left() + FOutlineTree->Width() + 1);
}

int TfrxPreview::OutlineWidth() const { return FOutlineTree->Width(); }

void TfrxPreview::SetOutlineWidth(int Value) { FOutlineTree->SetWidth(Value); }

void TfrxPreview::SetPageNo(int Value) {
  int count = PageCount();
  FPageNo = Value <= 0 ? 1 : Value;
  if (FPageNo > count) FPageNo = count;
  FWorkspace->ScrollToPage(FPageNo);
  NotifyPageChanged();
}

void TfrxPreview::NotifyPageChanged() {
  if (OnPageChanged.Assigned()) OnPageChanged(this, FPageNo);
}

void TfrxPreview::SetZoom(Extended Value) {
  FZoom = Value < 0.25 ? 0.25 : Value;
  if (FZoomMode == zmManyPages) SetZoomMode(zmDefault);
  FZoomMode = zmDefault;
  ApplyZoomMode();
}

void TfrxPreview::SetZoomMode(TfrxZoomMode Value) {
  FZoomMode = Value;
  RebuildPageList();
  ApplyZoomMode();
}

void TfrxPreview::ApplyZoomMode() {
  if (FViewLocked || PageCount() == 0) return;
  TPoint size = Pages()->GetPageSize(std::max(0, FPageNo - 1));
  switch (FZoomMode) {
    case zmWholePage:
      if (size.Y > 0) FZoom = Extended(FWorkspace->ClientHeight() - 20) / size.Y;
      ScrollToPageOffset(FPageNo, 0);
      break;
    case zmPageWidth:
      if (size.X > 0) FZoom = Extended(FWorkspace->Width() - 52) / size.X;
      break;
    case zmManyPages:
      if (size.X > 0) FZoom = Extended(FWorkspace->ClientWidth() - 32) / (2 * size.X);
      ScrollToPageOffset(FPageNo, 0);
      break;
    default: break;
  }
  FWorkspace->UpdateScrollRanges();
  FWorkspace->Invalidate();
  if (TfrxPreviewForm* form = HostForm()) form->ShowZoomText();
}

void TfrxPreview::RebuildPageList() {
  FCanFindNext = false;
  FWorkspace->SetCachedPage(-1);
  FWorkspace->PageList().Clear();
  TfrxPreviewPages* pages = Pages();
  if (!pages) return;
  FWorkspace->PageList().SetColumnCount(FZoomMode == zmManyPages ? 2 : 1);
  for (int i = 0; i < pages->Count(); ++i) {
    TPoint size = pages->GetPageSize(i);
    FWorkspace->PageList().AddPage(size.X, size.Y);
  }
}

void TfrxPreview::SetTool(int Value) {
  FTool = Value;
  int cursor = Value == 0 ? frx::crHand : Value == 1 ? frx::crZoom : crDefault;
  FWorkspace->SetDefaultCursor(cursor);
  FWorkspace->SetCursor(cursor);
}

void TfrxPreview::ScrollToPageOffset(int PageNo, int Offset) {
  TfrxPreviewPages* pages = Pages();
  if (!pages || pages->Count() == 0) return;
  if (PageNo > pages->Count()) PageNo = pages->Count();
  int index = PageNo <= 0 ? 0 : PageNo - 1;
  int shift = 0;
  if (Offset != 0)
    if (auto* page = dynamic_cast<TfrxReportPage*>(pages->GetPage(index)))
      shift = RoundPx((page->TopMargin() * fr01cm + Offset) * FZoom);
  TRect r = FWorkspace->PageList().PageBounds(index, FWorkspace->ClientWidth(), FZoom);
  FWorkspace->ChangeVertPosition(r.Top + shift - 10);
}

void TfrxPreview::WheelScroll(int WheelDelta, bool Horizontal, bool ZoomKey) {
  if (WheelDelta == 0) return;
  int sign = WheelDelta > 0 ? 1 : -1;
  if (ZoomKey) {
    Extended zoom = FZoom + sign / 10.0;
    if (zoom < 0.3) zoom = 0.3;
    SetZoom(zoom);
    return;
  }
  if (Horizontal) FWorkspace->ChangeHorzPosition(FWorkspace->HorzPosition() - sign * 20);
  else FWorkspace->ChangeVertPosition(FWorkspace->VertPosition() - sign * 20);
}

void TfrxPreview::FillOutline() {
  TTreeNodes* nodes = FOutlineTree->Items();
  nodes->BeginUpdate();
  nodes->Clear();
  FOutlineTargets.clear();
  TfrxPreviewPages* pages = Pages();
  auto* outline = pages ? pages->OutlineObj() : nullptr;
  if (outline) {
    outline->LevelRoot();
    std::function<void(TTreeNode*)> add = [&](TTreeNode* Parent) {
      int count = outline->Count();
      for (int i = 0; i < count; ++i) {
        String text;
        int page = 0, top = 0;
        outline->GetItem(i, text, page, top);
        FOutlineTargets.emplace_back(page, top);
        auto* node = nodes->AddChildObject(Parent, text, reinterpret_cast<void*>(std::intptr_t(FOutlineTargets.size())));
        outline->LevelDown(i);
        add(node);
        outline->LevelUp();
      }
    };
    add(nullptr);
  }
  nodes->EndUpdate();
  if (Report() && Report()->PreviewOptions()->OutlineExpand()) FOutlineTree->FullExpand();
  if (nodes->Count() > 0) FOutlineTree->SetTopItem(nodes->Item(0));
}

void TfrxPreview::OutlineClick(TObject*) {
  TTreeNode* node = FOutlineTree->Selected();
  if (!node) return;
  auto slot = static_cast<std::size_t>(reinterpret_cast<std::intptr_t>(node->Data()));
  if (slot == 0 || slot > FOutlineTargets.size()) return;
  ScrollToPageOffset(FOutlineTargets[slot - 1].first + 1, FOutlineTargets[slot - 1].second);
  if (CanFocus()) SetFocus();
}

TfrxPreviewForm* TfrxPreview::HostForm() const { return dynamic_cast<TfrxPreviewForm*>(Owner()); }

void TfrxPreview::Resize() {
  TfrxCustomPreview::Resize();
  if (PageCount() == 0) return;
  ApplyZoomMode();
  FWorkspace->ChangeHorzPosition(FWorkspace->HorzPosition());
  FWorkspace->ChangeVertPosition(FWorkspace->VertPosition());
}

void TfrxPreview::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxCustomPreview::Notification(AComponent, Operation);
  if (Operation == opRemove && Report() && AComponent == Report()) {
    Clear();
    SetReport(nullptr);
    SetPreviewPages(nullptr);
  }
}

void TfrxPreview::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS; return;
    default: TfrxCustomPreview::Dispatch(Message);
  }
}

void TfrxPreview::KeyDown(Word& Key, TShiftState Shift) {
  TfrxCustomPreview::KeyDown(Key, Shift);
  FWorkspace->HandleKey(Key, Shift);
  TfrxPreviewButtons buttons = Report() ? Report()->PreviewOptions()->Buttons() : TfrxPreviewButtons{};
  bool ctrl = Shift.Contains(ssCtrl);
  if (Key == VK_F3 && buttons.Contains(pbFind)) FindNext();
  else if (ctrl && Key == 'P' && buttons.Contains(pbPrint)) Print();
  else if (ctrl && Key == 'S' && buttons.Contains(pbSave)) SaveWithDialog();
  else if (ctrl && Key == 'F' && buttons.Contains(pbFind)) Find();
  else if (ctrl && Key == 'O' && buttons.Contains(pbLoad)) LoadWithDialog();
}

// ================================================================ preview: the report's calls

void TfrxPreview::AttachReport(TfrxReport* AReport) {
  TfrxPreviewSearch& search = PreviewSearch();
  search.TextFound = false;
  search.LastFoundRecord = -1;
  FWorkspace->SetSearchPage(0);
  FCanFindNext = false;
  if (!AReport) return;
  AReport->FreeNotification(this);
  FWorkspace->SetDoubleBuffered(AReport->PreviewOptions()->DoubleBuffered());
  SetOutlineVisible(AReport->PreviewOptions()->OutlineVisible());
  SetOutlineWidth(AReport->PreviewOptions()->OutlineWidth());
  RebuildPageList();
  ApplyZoomMode();
  FillOutline();
  First();
}

void TfrxPreview::UnlockView() {
  HideMessagePanel();
  FViewLocked = false;
  FPageNo = PageCount() > 0 ? 1 : 0;
  ApplyZoomMode();
  FWorkspace->Invalidate();
}

void TfrxPreview::PrepareStarted() {
  // The run has already begun filling the store (its source pages are in): only the view
  // starts empty; clearing the store here would lose them.
  FPagesFromFile = false;
  FWorkspace->PageList().Clear();
  FWorkspace->SetCachedPage(-1);
  FOutlineTree->Items()->Clear();
  FOutlineTargets.clear();
  FPageNo = 0;
  FWorkspace->ChangeHorzRange(0);
  FWorkspace->ChangeVertRange(0);
  FWorkspace->Invalidate();
  FPreparing = true;
  if (TfrxPreviewForm* form = HostForm()) form->UpdateControls();
}

void TfrxPreview::PagePrepared(int Index) {
  TfrxPreviewPages* pages = Pages();
  TfrxCustomEngine* engine = pages ? pages->Engine() : nullptr;
  if (pages && engine && engine->FinalPass() && Index >= 0 && Index < pages->Count()) {
    TPoint size = pages->GetPageSize(Index);
    FWorkspace->PageList().AddPage(size.X, size.Y);
  }
  if (Index == 0) {
    FOutlineTree->Items()->Clear();
    SetPageNo(1);
    ApplyZoomMode();
    if (TfrxPreviewForm* form = HostForm()) form->ShowCloseCaption(false);
    FPrepareTick = GetTickCount();
  } else if (Index == 1) {
    unsigned elapsed = GetTickCount() - FPrepareTick;
    FRefreshEvery = elapsed <= 4 ? 50 : elapsed > 9 ? 5 : 20;
    SetPageNo(1);
    ApplyZoomMode();
  } else if (Index >= 2 && Index % FRefreshEvery == 0) {
    NotifyPageChanged();
    FWorkspace->UpdateScrollRanges();
  }
  if (Application) Application->ProcessMessages();
}

void TfrxPreview::PrepareFinished() {
  FPreparing = false;
  NotifyPageChanged();
  FWorkspace->UpdateScrollRanges();
  ApplyZoomMode();
  FillOutline();
  if (TfrxPreviewForm* form = HostForm()) {
    form->ShowCloseCaption(true);
    form->UpdateControls();
  }
}
