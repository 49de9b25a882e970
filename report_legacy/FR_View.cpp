#include "report_legacy/FR_View.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_Ctrls.h"
#include "report_legacy/FR_PrDlg.h"
#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/Menus.h"
#include "gui/MessageBox.h"
#include "gui/Pictures.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "gui/WinUser.h"
#include "print/Metafile.h"
#include "print/PrintDialogs.h"
#include "print/Printers.h"

#include <algorithm>
#include <cmath>

double LastZoom = 1.0;
int LastZoomMode = 0;

namespace {

// The gray around the pages.
const TColor kAreaGray = TColor(RGB(128, 128, 128));
// Hidden pages whose top lies further down are not drawn, whatever the clip says.
constexpr int kVisibleLimit = 2000;
// The help file the window names while it is active.
const char* const kHelpFile = "ZEvoda.hlp";

int Round(double V) { return int(std::lround(V)); }

bool SystemHasPrinters() { return Printer() && Printer()->Printers()->Count() > 0; }

// A tool-bar glyph from the program's pictures, on olive (the transparent colour).
void LoadGlyph(TfrSpeedButton* Button, const char* Picture) {
  const String name = String("images/32/") + Picture + ".png";
  if (!ResourceExists(name)) return;
  TIcon icon;
  TResourceStream data(name);
  icon.LoadFromStream(&data);
  TBitmap b;
  b.SetSize(32, 32);
  b.Canvas()->Brush()->SetColor(clOlive);
  b.Canvas()->FillRect(Rect(0, 0, 32, 32));
  b.Canvas()->Draw(0, 0, &icon);
  b.SetTransparentColor(clOlive);
  Button->SetGlyph(&b);
}

// An arrow of the page buttons: black on olive, pointing up or down.
void ArrowGlyph(TfrSpeedButton* Button, bool Up) {
  TBitmap b;
  b.SetSize(8, 5);
  b.Canvas()->Brush()->SetColor(clOlive);
  b.Canvas()->FillRect(Rect(0, 0, 8, 5));
  for (int row = 0; row < 4; ++row) {
    const int y = Up ? 3 - row : row + 1;
    for (int x = row; x < 7 - row; ++x) b.Canvas()->SetPixels(x, y, clBlack);
  }
  b.SetTransparentColor(clOlive);
  Button->SetGlyph(&b);
}

}  // namespace

// ================================================================ export filters

std::vector<TfrExportFilterInfo>& frFilters() {
  static std::vector<TfrExportFilterInfo> filters;
  return filters;
}

void frRegisterExportFilter(TfrExportFilter* Filter, const String& FilterDesc, const String& FilterExt, bool Default) {
  frUnRegisterExportFilter(Filter);
  frFilters().push_back({Filter, FilterDesc, FilterExt, Default});
}

void frUnRegisterExportFilter(TfrExportFilter* Filter) {
  auto& f = frFilters();
  f.erase(std::remove_if(f.begin(), f.end(), [&](const TfrExportFilterInfo& i) { return i.Filter == Filter; }), f.end());
}

// ================================================================ TfrPBox

KELM_PUBLISH(TfrPBox) {}

TfrPBox::TfrPBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() + csOpaque + csDoubleClicks + csCaptureMouse);
  SetColor(kAreaGray);
  SetTabStop(true);
}

void TfrPBox::Dispatch(TMessage& M) {
  // The window paints every pixel itself.
  if (M.Msg == WM_ERASEBKGND) {
    M.Result = 1;
    return;
  }
  // The window reads the keys; arrows and tabs are not for moving the focus here.
  if (M.Msg == WM_GETDLGCODE) {
    M.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
    return;
  }
  TCustomControl::Dispatch(M);
}

void TfrPBox::Paint() {
  if (Preview) Preview->PaintPages(Canvas(), Canvas()->ClipRect());
}

void TfrPBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!Preview) return;
  if (FSkipNextPress && Button == mbLeft) {
    FSkipNextPress = false;
    return;
  }
  FLast = {X, Y};
  // A press on an object ends there; elsewhere on the area it starts dragging.
  const bool hit = Preview->MouseOnPage(Button, Shift, X, Y);
  FDragging = Button == mbLeft && !hit && Preview->HasPages();
  FDown = Button == mbLeft;
}

void TfrPBox::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!Preview) return;
  if (FDown && FDragging) {
    Preview->ScrollBy(FLast.X - X, FLast.Y - Y);
    FLast = {X, Y};
    return;
  }
  Preview->HoverOnPage(X, Y);
}

void TfrPBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  FDown = false;
  FDragging = false;
}

void TfrPBox::DblClick() {
  TCustomControl::DblClick();
  FDown = false;
  FDragging = false;
  FSkipNextPress = true;
  if (!Preview || !Preview->HasPages()) return;
  TPoint cursor;
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(cursor);
  const int page = Preview->PageAt(p);
  if (page >= 0) {
    Preview->CurrentPage = page + 1;
    Preview->UpdatePageInfo();
  }
  if (Preview->N5->Visible()) Preview->EditBtnClick(this);
}

// ================================================================ TfrPreviewSearchForm

KELM_PUBLISH(TfrPreviewSearchForm) { b.Method("FormActivate", &TfrPreviewSearchForm::FormActivate); }

TfrPreviewSearchForm::TfrPreviewSearchForm(TComponent* AOwner) : inherited(AOwner) {}

void TfrPreviewSearchForm::Loaded() {
  inherited::Loaded();
  SetCaption(LocaleText(53000));
  Label1->SetCaption(LocaleText(53001));
  GroupBox1->SetCaption(LocaleText(53002));
  CB1->SetCaption(LocaleText(53003));
  GroupBox2->SetCaption(LocaleText(53004));
  RB1->SetCaption(LocaleText(53005));
  RB2->SetCaption(LocaleText(53006));
  Button1->SetCaption(LocaleText(55000));
  Button2->SetCaption(LocaleText(55001));
}

void TfrPreviewSearchForm::FormActivate(TObject*) {
  Edit1->SetFocus();
  Edit1->SelectAll();
}

// ================================================================ TfrPreviewForm

KELM_PUBLISH(TfrPreviewForm) {
  b.Method("FormCreate", &TfrPreviewForm::FormCreate);
  b.Method("FormDestroy", &TfrPreviewForm::FormDestroy);
  b.Method("FormClose", &TfrPreviewForm::FormClose);
  b.Method("FormShow", &TfrPreviewForm::FormShow);
  b.Method("FormActivate", &TfrPreviewForm::FormActivate);
  b.Method("FormDeactivate", &TfrPreviewForm::FormDeactivate);
  b.Method("FormResize", &TfrPreviewForm::FormResize);
  b.Method("FormKeyDown", &TfrPreviewForm::FormKeyDown);
  b.Method("FormMouseDown", &TfrPreviewForm::FormMouseDown);
  b.Method("VScrollBarChange", &TfrPreviewForm::VScrollBarChange);
  b.Method("HScrollBarChange", &TfrPreviewForm::HScrollBarChange);
  b.Method("HScrollBarEnter", &TfrPreviewForm::HScrollBarEnter);
  b.Method("PgUpClick", &TfrPreviewForm::PgUpClick);
  b.Method("PgDownClick", &TfrPreviewForm::PgDownClick);
  b.Method("ZoomBtnClick", &TfrPreviewForm::ZoomBtnClick);
  b.Method("N3Click", &TfrPreviewForm::N3Click);
  b.Method("LoadBtnClick", &TfrPreviewForm::LoadBtnClick);
  b.Method("SaveBtnClick", &TfrPreviewForm::SaveBtnClick);
  b.Method("PrintBtnClick", &TfrPreviewForm::PrintBtnClick);
  b.Method("FindBtnClick", &TfrPreviewForm::FindBtnClick);
  b.Method("EditBtnClick", &TfrPreviewForm::EditBtnClick);
  b.Method("NewPageBtnClick", &TfrPreviewForm::NewPageBtnClick);
  b.Method("DelPageBtnClick", &TfrPreviewForm::DelPageBtnClick);
  b.Method("PageSetupBtnClick", &TfrPreviewForm::PageSetupBtnClick);
  b.Method("HelpBtnClick", &TfrPreviewForm::HelpBtnClick);
  b.Method("ExitBtnClick", &TfrPreviewForm::ExitBtnClick);
}

TfrPreviewForm::TfrPreviewForm(TComponent* AOwner) : inherited(AOwner) {}

// OnDestroy must run while the pages still exist.
TfrPreviewForm::~TfrPreviewForm() { BeforeDestruction(); }

bool TfrPreviewForm::HasPages() const { return Report && Pages && Pages->Count() > 0; }
int TfrPreviewForm::PageCount() const { return Pages ? Pages->Count() : 0; }
bool TfrPreviewForm::PageEditingAllowed() const { return false; }

void TfrPreviewForm::FormCreate(TObject*) {
  PBox = new TfrPBox(this);
  PBox->Preview = this;
  PBox->SetParent(ScrollBox1);
  PBox->SetAlign(alClient);
  PBox->SetHelpContext(207);
  ScrollBox1->OnMouseWheelUp = TMouseWheelUpDownEvent(this, &TfrPreviewForm::WheelUp);
  ScrollBox1->OnMouseWheelDown = TMouseWheelUpDownEvent(this, &TfrPreviewForm::WheelDown);
  PBox->OnMouseWheelUp = ScrollBox1->OnMouseWheelUp;
  PBox->OnMouseWheelDown = ScrollBox1->OnMouseWheelDown;
  WheelFactor = 1;
  LoadGlyph(LoadBtn, "folder-open");
  LoadGlyph(SaveBtn, "save");
  LoadGlyph(PrintBtn, "print");
  LoadGlyph(FindBtn, "find");
  LoadGlyph(HelpBtn, "help");
  LoadGlyph(ExitBtn, "quit");
  LoadGlyph(PageSetupBtn, "page-setup");
  ArrowGlyph(PgUp, true);
  ArrowGlyph(PgDown, false);
  // Help has no viewer: the button keeps its place but never works.
  HelpBtn->SetEnabled(false);
  N4->SetVisible(false);
  N5->SetVisible(false);
  N6->SetVisible(false);
  N7->SetVisible(false);
  ApplyLocale();
}

void TfrPreviewForm::ApplyLocale() {
  SetCaption(LocaleText(55207));
  N1->SetCaption(LocaleText(53020));
  N2->SetCaption(LocaleText(53021));
  N3->SetCaption(LocaleText(53022));
  N5->SetCaption(LocaleText(53029));
  N6->SetCaption(LocaleText(53030));
  N7->SetCaption(LocaleText(53031));
  ZoomBtn->SetHint(LocaleText(53024));
  LoadBtn->SetHint(LocaleText(53025));
  SaveBtn->SetHint(LocaleText(53026));
  PrintBtn->SetHint(LocaleText(53027));
  FindBtn->SetHint(LocaleText(53028));
  HelpBtn->SetHint(LocaleText(53032));
  ExitBtn->SetHint(LocaleText(53023));
}

void TfrPreviewForm::FormDestroy(TObject*) {
  Pages.reset();
  Application->ProcessMessages();
}

void TfrPreviewForm::FormShow(TObject*) {
  ApplyLocale();
  if (FormStyle() == fsMDIChild) SetWindowState(wsNormal);
  else RestoreFormPlacement(this);
}

void TfrPreviewForm::FormClose(TObject*, TCloseAction& Action) {
  if (FormStyle() != fsMDIChild) SaveFormPlacement(this);
  Action = caFree;
}

void TfrPreviewForm::FormActivate(TObject*) {
  // Activated again without a deactivation in between, it keeps the name it saw first.
  if (Application->HelpFile() != kHelpFile) OldHelpFile = Application->HelpFile();
  Application->SetHelpFile(kHelpFile);
  if (PBox && PBox->CanFocus()) PBox->SetFocus();
}

void TfrPreviewForm::FormDeactivate(TObject*) { Application->SetHelpFile(OldHelpFile); }

// ---- pages

void TfrPreviewForm::TakePages(TfrReport* AReport) {
  DropFindCache();
  Report = AReport;
  Pages.reset();
  if (Report) Pages = Report->ExchangePreparedPages(std::make_unique<TfrEMFPages>(Report));
}

void TfrPreviewForm::ReturnPages() {
  if (!Report || !Pages) return;
  Report->ExchangePreparedPages(std::move(Pages));
}

void TfrPreviewForm::ApplyReportOptions() {
  if (!Report || Report->ComponentState().Contains(csDesigning)) return;
  const TfrPreviewButtons buttons = Report->PreviewButtons();
  const bool ownBar = ToolPanel->Parent() == this;
  ZoomBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbZoom));
  LoadBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbLoad));
  SaveBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbSave));
  PrintBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbPrint));
  FindBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbFind));
  PageSetupBtn->SetVisible(buttons.Contains(TfrPreviewButton::pbPageSetup));
  HelpBtn->SetVisible(ownBar && buttons.Contains(TfrPreviewButton::pbHelp));
  ExitBtn->SetVisible(ownBar && buttons.Contains(TfrPreviewButton::pbExit));
  frTBSeparator1->SetVisible(ZoomBtn->Visible());
  frTBSeparator3->SetVisible(FindBtn->Visible() || HelpBtn->Visible());
  PrintBtn->SetEnabled(SystemHasPrinters());
  PageSetupBtn->SetEnabled(PrintBtn->Enabled());
  const bool editing = PageEditingAllowed() && Report->ModifyPrepared();
  for (TMenuItem* item : {N4, N5, N6, N7}) item->SetVisible(editing);
  switch (Report->InitialZoom()) {
    case TfrPreviewZoom::pzPageWidth: LastZoomMode = 1; break;
    case TfrPreviewZoom::pzOnePage: LastZoomMode = 2; break;
    case TfrPreviewZoom::pzTwoPages: LastZoomMode = 3; break;
    default: break;
  }
  for (TfrSpeedButton* b : {ZoomBtn, LoadBtn, SaveBtn, PrintBtn, FindBtn, HelpBtn, ExitBtn, PageSetupBtn})
    b->SetGrayedInactive(Report->GrayedButtons());
}

TMenuItem* TfrPreviewForm::ZoomItems(int Index) const {
  TMenuItem* items[] = {N2001, N1501, N1001, N751, N501, N251, N101, N1, N2, N3};
  return Index >= 0 && Index < 10 ? items[Index] : nullptr;
}

void TfrPreviewForm::CheckZoomItem() {
  const int tag = ZoomMode == 0 ? Round(Zoom * 100) : ZoomMode;
  for (int i = 0; i < 10; ++i)
    if (ZoomItems(i)->Tag() == tag) ZoomItems(i)->SetChecked(true);
}

void TfrPreviewForm::ShowPages(bool Reset) {
  DropFindCache();
  Zoom = LastZoom;
  ZoomMode = LastZoomMode;
  CheckZoomItem();
  if (Reset) {
    CurrentPage = 1;
    OfsX = OfsY = OldV = OldH = 0;
    TRestore<bool> quiet(PaintAllowed, false);
    HScrollBar->SetPosition(0);
    VScrollBar->SetPosition(0);
  }
  UpdatePageInfo();
  DoLayout();
  if (Pages) {
    TBitmap scratch;
    scratch.SetSize(1, 1);
    for (int i = 0; i < Pages->Count(); ++i) {
      Pages->PageInfo(i).PageVisible = false;
      Pages->Draw(i, scratch.Canvas(), TRect{});
    }
  }
  N7->SetEnabled(PageCount() > 1);
  if (PBox) PBox->Invalidate();
}

void TfrPreviewForm::UpdatePageInfo() {
  if (OnPageChanged) OnPageChanged(Embedder, CurrentPage);
  Label1->SetCaption(LocaleText(55004) + " " + IntToStr(CurrentPage) + "/" + IntToStr(PageCount()));
}

void TfrPreviewForm::FormResize(TObject*) { DoLayout(); }

void TfrPreviewForm::DoLayout() {
  if (!HasPages() || !PBox) return;
  TRestore<bool> suspended(PaintAllowed, false);
  const int W = PBox->ClientWidth(), H = PBox->ClientHeight();
  const int cur = std::clamp(CurrentPage, 1, PageCount()) - 1;
  const TPrnPageInfo& info = Pages->PageInfo(cur).PageInfo;
  const int pw = std::max(1, info.PageWidth), ph = std::max(1, info.PageHeight);
  switch (ZoomMode) {
    case 1: Zoom = double(W - 20) / pw; break;
    case 2: Zoom = double(H - 20) / ph; break;
    case 3: Zoom = double(W - 30) / (2.0 * pw); break;
    default: CheckZoomItem(); break;
  }
  ZoomBtn->SetCaption(IntToStr(Round(Zoom * 100)) + "%");
  // Columns: as many pages as fit side by side, the widest row counting.
  int columns = 0, count = 0, x = 10;
  for (int i = 0; i < PageCount(); ++i) {
    const int r = Round(Pages->PageInfo(i).PageInfo.PageWidth * Zoom) + x + 10;
    if (r > W) {
      columns = std::max(columns, count);
      x = 10;
      count = 0;
    } else {
      x = r;
      ++count;
    }
  }
  columns = std::max({columns, count, 1});
  if (ZoomMode == 2) columns = 1;
  if (ZoomMode == 3) columns = 2;
  // Rows of that many pages, each as tall as its tallest page.
  int y = 10, rowHeight = 0, col = 0;
  x = 10;
  int right = 0, bottom = 0;
  for (int i = 0; i < PageCount(); ++i) {
    TfrPageInfo& p = Pages->PageInfo(i);
    const int w = Round(p.PageInfo.PageWidth * Zoom), h = Round(p.PageInfo.PageHeight * Zoom);
    const int left = columns == 1 && w < W ? (W - w) / 2 : x;
    p.PageRect = {left, y, left + w, y + h};
    right = std::max(right, p.PageRect.Right);
    bottom = std::max(bottom, p.PageRect.Bottom);
    rowHeight = std::max(rowHeight, h);
    x += w + 10;
    if (++col == columns) {
      col = 0;
      x = 10;
      y += rowHeight + 10;
      rowHeight = 0;
    }
  }
  // The page buttons at the foot of the right panel, the bar above them.
  PgDown->SetBounds(0, RPanel->ClientHeight() - 16, 16, 16);
  PgUp->SetBounds(0, RPanel->ClientHeight() - 32, 16, 16);
  VScrollBar->SetBounds(0, 0, 16, std::max(0, RPanel->ClientHeight() - 32));
  const int hLeft = HScrollBar->Left();
  HScrollBar->SetBounds(hLeft, 0, std::max(0, BPanel->ClientWidth() - hLeft - (RPanel->Visible() ? VScrollBar->Width() : 0)),
                        HScrollBar->Height());
  const int hRange = std::max(0, right - W + 10), vRange = std::max(0, bottom - H + 10);
  HScrollBar->SetParams(std::min(HScrollBar->Position(), hRange), 0, hRange);
  VScrollBar->SetParams(std::min(VScrollBar->Position(), vRange), 0, vRange);
  HScrollBar->SetEnabled(hRange > 0);
  VScrollBar->SetEnabled(vRange > 0);
  OfsX = -HScrollBar->Position();
  OfsY = -VScrollBar->Position();
  OldH = HScrollBar->Position();
  OldV = VScrollBar->Position();
  if (Visible() && PBox->CanFocus()) PBox->SetFocus();
  ScrollToCurrentPage();
}

int TfrPreviewForm::PageAt(TPoint P) const {
  for (int i = 0; i < PageCount(); ++i) {
    TRect r = Pages->PageInfo(i).PageRect;
    OffsetRect(r, OfsX, OfsY);
    if (PtInRect(r, P)) return i;
  }
  return -1;
}

void TfrPreviewForm::PaintPages(TCanvas* C, const TRect& Clip) {
  HDC dc = C->Handle();
  if (!HasPages()) {
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(PBox->ClientRect());
    return;
  }
  if (!PaintAllowed) return;
  const int saved = SaveDC(dc);
  for (int i = 0; i < PageCount(); ++i) {
    TfrPageInfo& p = Pages->PageInfo(i);
    TRect r = p.PageRect;
    OffsetRect(r, OfsX, OfsY);
    TRect overlap;
    p.PageVisible = r.Top <= kVisibleLimit && r.Bottom >= 0 && IntersectRect(overlap, r, Clip);
    if (p.PageVisible) ExcludeClipRect(dc, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(kAreaGray);
  C->FillRect(PBox->ClientRect());
  RestoreDC(dc, saved);
  C->Pen()->SetColor(clBlack);
  C->Pen()->SetWidth(1);
  C->Brush()->SetColor(clWhite);
  for (int i = 0; i < PageCount(); ++i) {
    TfrPageInfo& p = Pages->PageInfo(i);
    if (!p.PageVisible) continue;
    TRect r = p.PageRect;
    OffsetRect(r, OfsX, OfsY);
    C->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    // The shadow one pixel outside the bottom and right edges.
    C->MoveTo(r.Left + 1, r.Bottom);
    C->LineTo(r.Right + 1, r.Bottom);
    C->MoveTo(r.Right, r.Top + 1);
    C->LineTo(r.Right, r.Bottom + 1);
  }
  for (int i = 0; i < PageCount(); ++i) {
    TfrPageInfo& p = Pages->PageInfo(i);
    if (!p.PageVisible) {
      Pages->Draw(i, C, TRect{});
      continue;
    }
    TRect r = p.PageRect;
    OffsetRect(r, OfsX, OfsY);
    if (!p.MarginsFlag) {
      const TPrnPageInfo& info = p.PageInfo;
      const int left = Round((info.OffsetX + p.Margins.Left) * Zoom), top = Round((info.OffsetY + p.Margins.Top) * Zoom);
      const int w = Round((info.PrnWidth - p.Margins.Left - p.Margins.Right) * Zoom);
      const int h = Round((info.PrnHeight - p.Margins.Top - p.Margins.Bottom) * Zoom);
      r = Bounds(r.Left + left, r.Top + top, w, h);
    }
    Pages->Draw(i, C, r);
  }
}

// ---- scrolling

void TfrPreviewForm::SetVPosition(int Value) { VScrollBar->SetPosition(std::clamp(Value, 0, VScrollBar->Max())); }
void TfrPreviewForm::SetHPosition(int Value) { HScrollBar->SetPosition(std::clamp(Value, 0, HScrollBar->Max())); }

void TfrPreviewForm::ScrollBy(int DX, int DY) {
  if (DX) SetHPosition(HScrollBar->Position() + DX);
  if (DY) SetVPosition(VScrollBar->Position() + DY);
}

void TfrPreviewForm::VScrollBarChange(TObject*) {
  const int pos = VScrollBar->Position();
  const int dy = OldV - pos;
  OldV = pos;
  OfsY = -pos;
  if (!PBox || !HasPages()) return;
  if (dy != 0 && PaintAllowed) ScrollWindow(PBox->Handle(), 0, dy, nullptr, nullptr);
  // The page under the line just below the view's top becomes current.
  const int line = pos + 11;
  for (int i = 0; i < PageCount(); ++i) {
    const TRect& r = Pages->PageInfo(i).PageRect;
    if (r.Top < line && r.Bottom > line) {
      if (CurrentPage != i + 1) {
        CurrentPage = i + 1;
        UpdatePageInfo();
      }
      break;
    }
  }
}

void TfrPreviewForm::HScrollBarChange(TObject*) {
  const int pos = HScrollBar->Position();
  const int dx = OldH - pos;
  OldH = pos;
  OfsX = -pos;
  if (PBox && dx != 0 && PaintAllowed) ScrollWindow(PBox->Handle(), dx, 0, nullptr, nullptr);
}

void TfrPreviewForm::HScrollBarEnter(TObject*) {
  if (PBox && PBox->CanFocus()) PBox->SetFocus();
}

void TfrPreviewForm::ScrollToCurrentPage() {
  if (!HasPages()) return;
  const int cur = std::clamp(CurrentPage, 1, PageCount()) - 1;
  SetVPosition(Pages->PageInfo(cur).PageRect.Top - 10);
}

void TfrPreviewForm::PgUpClick(TObject*) {
  if (!HasPages() || CurrentPage <= 1) return;
  --CurrentPage;
  UpdatePageInfo();
  ScrollToCurrentPage();
}

void TfrPreviewForm::PgDownClick(TObject*) {
  if (!HasPages() || CurrentPage >= PageCount()) return;
  ++CurrentPage;
  UpdatePageInfo();
  ScrollToCurrentPage();
}

void TfrPreviewForm::WheelUp(TObject*, TShiftState, TPoint, bool& Handled) {
  SetVPosition(VScrollBar->Position() - VScrollBar->SmallChange() * WheelFactor);
  Handled = true;
}

void TfrPreviewForm::WheelDown(TObject*, TShiftState, TPoint, bool& Handled) {
  SetVPosition(VScrollBar->Position() + VScrollBar->SmallChange() * WheelFactor);
  Handled = true;
}

// ---- mouse

bool TfrPreviewForm::MouseOnPage(TMouseButton Button, TShiftState, int X, int Y) {
  if (!HasPages()) return false;
  if (Button == mbRight) {
    const bool editing = PageEditingAllowed() && Report->ModifyPrepared();
    for (TMenuItem* item : {N4, N5, N6, N7}) item->SetVisible(editing);
    const TPoint s = PBox->ClientToScreen({X, Y});
    TPopupMenu* menu = Embedder && Embedder->PopupMenu() ? Embedder->PopupMenu() : ProcMenu;
    menu->SetPopupComponent(PBox);
    menu->Popup(s.X, s.Y);
    return true;
  }
  if (Button != mbLeft) return false;
  for (int i = 0; i < PageCount(); ++i) {
    TRect r = Pages->PageInfo(i).PageRect;
    OffsetRect(r, OfsX, OfsY);
    if (!PtInRect(r, {X, Y})) continue;
    String link;
    int cursor = 0;
    const TPoint inPage{Round((X - r.Left) / Zoom), Round((Y - r.Top) / Zoom)};
    if (!Pages->ObjectAtPoint(i, inPage, link, cursor, true)) continue;
    const std::size_t at = link.find('@');
    if (at != String::npos && at + 1 < link.size()) {
      const int n = std::max(1, StrToIntDef(Trim(link.substr(at + 1)), 1));
      if (n <= PageCount()) {
        CurrentPage = n;
        UpdatePageInfo();
        ScrollToCurrentPage();
      }
    }
    return true;
  }
  const int page = PageAt({X, Y});
  if (page >= 0 && CurrentPage != page + 1) {
    CurrentPage = page + 1;
    UpdatePageInfo();
  }
  return false;
}

void TfrPreviewForm::HoverOnPage(int X, int Y) {
  if (!HasPages()) return;
  const int i = PageAt({X, Y});
  String link;
  int cursor = crDefault;
  if (i >= 0) {
    TRect r = Pages->PageInfo(i).PageRect;
    OffsetRect(r, OfsX, OfsY);
    const TPoint inPage{Round((X - r.Left) / Zoom), Round((Y - r.Top) / Zoom)};
    if (!Pages->ObjectAtPoint(i, inPage, link, cursor, false)) cursor = crDefault;
  }
  PBox->SetCursor(TCursor(cursor));
  const std::size_t at = link.find('@');
  if (at == 0 && link.size() > 1) Label2->SetCaption(LocaleText(55004) + " " + link.substr(1));
  else Label2->SetCaption(link);
}

// ---- keyboard

void TfrPreviewForm::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (!HasPages()) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  const Word key = Key;
  Key = 0;  // cleared unless the table below leaves it
  switch (key) {
    case VK_UP: SetVPosition(VScrollBar->Position() - VScrollBar->SmallChange()); return;
    case VK_DOWN: SetVPosition(VScrollBar->Position() + VScrollBar->SmallChange()); return;
    case VK_LEFT: SetHPosition(HScrollBar->Position() - HScrollBar->SmallChange()); return;
    case VK_RIGHT: SetHPosition(HScrollBar->Position() + HScrollBar->SmallChange()); return;
    case VK_PRIOR:
      if (ctrl) PgUpClick(nullptr);
      else SetVPosition(VScrollBar->Position() - VScrollBar->LargeChange());
      return;
    case VK_NEXT:
      if (ctrl) PgDownClick(nullptr);
      else SetVPosition(VScrollBar->Position() + VScrollBar->LargeChange());
      return;
    case VK_SPACE: ZoomBtnClick(nullptr); return;
    case VK_ESCAPE: ExitBtnClick(nullptr); return;
    default: break;
  }
  if (ctrl) {
    switch (key) {
      case VK_HOME: SetVPosition(0); break;
      case VK_END:
        CurrentPage = PageCount();
        UpdatePageInfo();
        ScrollToCurrentPage();
        break;
      case 'O': LoadBtnClick(nullptr); break;
      case 'S': SaveBtnClick(nullptr); break;
      case 'P':
        if (PrintBtn->Enabled()) PrintBtnClick(nullptr);
        break;
      case 'F': FindBtnClick(nullptr); break;
      case 'E':
        if (N5->Visible()) EditBtnClick(nullptr);
        break;
      default: break;
    }
    return;  // every key with Ctrl is taken
  }
  if (key == VK_F3) {
    if (!FindStr.empty()) {
      if (CurrentPage != LastFoundPage + 1) {
        LastFoundPage = CurrentPage - 1;
        LastFoundObject = 0;
      }
      FindNext();
    }
    return;
  }
  Key = key;  // not the window's: left for the focused control
}

// ---- zoom

void TfrPreviewForm::ShowZoomMenu() {
  for (TMenuItem* item : {N4, N5, N6, N7}) item->SetVisible(false);
  const TPoint p = ZoomBtn->ClientToScreen({0, ZoomBtn->Height()});
  ProcMenu->SetPopupComponent(ZoomBtn);
  ProcMenu->Popup(p.X, p.Y);
}

void TfrPreviewForm::ZoomBtnClick(TObject*) {
  if (HasPages()) ShowZoomMenu();
}

void TfrPreviewForm::SetZoomTag(int Tag) {
  if (!HasPages()) return;
  OfsX = 0;
  if (Tag >= 1 && Tag <= 3) {
    ZoomMode = Tag;
  } else {
    ZoomMode = 0;
    Zoom = Tag / 100.0;
  }
  CheckZoomItem();
  {
    TRestore<bool> quiet(PaintAllowed, false);
    HScrollBar->SetPosition(0);
  }
  OldH = 0;
  DoLayout();
  LastZoom = Zoom;
  LastZoomMode = ZoomMode;
  PBox->Invalidate();
}

void TfrPreviewForm::N3Click(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) SetZoomTag(item->Tag());
}

// ---- find

void TfrPreviewForm::FindBtnClick(TObject*) {
  if (!HasPages()) return;
  TfrPreviewSearchForm dlg(nullptr);
  dlg.InitForm();
  dlg.Edit1->SetText(FindStr);
  dlg.CB1->SetChecked(CaseSensitive);
  if (dlg.ShowModal() != mrOk) return;
  CaseSensitive = dlg.CB1->Checked();
  FindStr = CaseSensitive ? dlg.Edit1->Text() : AnsiUpperCase(dlg.Edit1->Text());
  if (FindStr.empty()) return;
  if (dlg.RB1->Checked()) {
    LastFoundPage = 0;
    LastFoundObject = 0;
  } else if (CurrentPage != LastFoundPage + 1) {
    LastFoundPage = CurrentPage - 1;
    LastFoundObject = 0;
  }
  FindNext();
}

void TfrPreviewForm::DropFindCache() {
  FPageTexts.clear();
  FRecordedPage = -1;
  FRecordedRuns.clear();
}

bool TfrPreviewForm::PageMayHold(int Index) {
  if (FPageTexts.size() != std::size_t(PageCount())) FPageTexts.assign(std::size_t(PageCount()), {});
  TPageTexts& t = FPageTexts[std::size_t(Index)];
  if (!t.Known) {
    TfrPageInfo& p = Pages->PageInfo(Index);
    const bool loaded = p.PageObject != nullptr;
    if (!loaded) Pages->ObjectsToPage(Index);
    bool plain = true;
    for (const auto& v : p.PageObject->Objects) {
      // Text objects draw their lines; pictures, bands, subreports and lines draw no text.
      // Anything else may draw text of its own.
      if (v->TypeCode == 0) t.Text += v->Memo.Text() + "\n";
      else if (v->TypeCode > 4) plain = false;
    }
    if (!loaded) p.PageObject.reset();
    t.Known = true;
    t.Opaque = !plain;
    t.Upper = AnsiUpperCase(t.Text);
  }
  if (t.Opaque) return true;
  return (CaseSensitive ? t.Text : t.Upper).find(FindStr) != String::npos;
}

const std::vector<TfrPreviewForm::TRun>& TfrPreviewForm::PageRuns(int Index) {
  if (FRecordedPage == Index) return FRecordedRuns;
  TfrPageInfo& p = Pages->PageInfo(Index);
  TMetafile mf;
  mf.SetDpi(96);
  mf.SetWidth(std::max(1, p.PageInfo.PageWidth));
  mf.SetHeight(std::max(1, p.PageInfo.PageHeight));
  p.PageVisible = true;
  {
    TMetafileCanvas canvas(&mf, nullptr);
    Pages->Draw(Index, &canvas, Rect(0, 0, p.PageInfo.PageWidth, p.PageInfo.PageHeight));
  }
  FRecordedRuns.clear();
  mf.WalkText([&](const TMetaTextRun& Run) { FRecordedRuns.push_back({Run.Text, AnsiUpperCase(Run.Text), Run.Bounds}); });
  FRecordedPage = Index;
  return FRecordedRuns;
}

void TfrPreviewForm::FindNext() {
  if (!HasPages() || FindStr.empty()) return;
  Found = false;
  {
    TRestore<bool> suspended(PaintAllowed, false);
    TBitmap scratch;
    scratch.SetSize(1, 1);
    for (int i = LastFoundPage; i < PageCount() && !Found; ++i) {
      if (PageMayHold(i)) {
        const std::vector<TRun>& runs = PageRuns(i);
        for (int record = std::max(0, LastFoundObject); record < int(runs.size()); ++record) {
          const TRun& run = runs[std::size_t(record)];
          if ((CaseSensitive ? run.Text : run.Upper).find(FindStr) == String::npos) continue;
          Found = true;
          FoundRect = run.Bounds;
          LastFoundObject = record + 1;
          break;
        }
      }
      if (Found) {
        LastFoundPage = i;
        break;
      }
      // Not here: the page's objects go again.
      TfrPageInfo& p = Pages->PageInfo(i);
      if (p.PageObject) {
        p.PageVisible = false;
        Pages->Draw(i, scratch.Canvas(), TRect{});
      }
      LastFoundObject = 0;
    }
  }
  if (!Found) {
    LastFoundPage = PageCount();
    return;
  }
  CurrentPage = LastFoundPage + 1;
  UpdatePageInfo();
  const TRect page = Pages->PageInfo(LastFoundPage).PageRect;
  const int W = PBox->ClientWidth(), H = PBox->ClientHeight();
  const int h = Round((FoundRect.Bottom - FoundRect.Top) * Zoom);
  const int y = Round(FoundRect.Top * Zoom) + 10;
  if (y + h > H) SetVPosition(page.Top + y + h - H - 10);
  else SetVPosition(page.Top - 10);
  const int w = Round((FoundRect.Right - FoundRect.Left) * Zoom);
  const int x = Round(FoundRect.Left * Zoom) + 10;
  if (x + w > W) SetHPosition(page.Left + x + w - W - 10);
  else SetHPosition(0);
  Application->ProcessMessages();
  PBox->Repaint();
  MarkFound();
}

void TfrPreviewForm::MarkFound() {
  if (!Found || !HasPages()) return;
  TRect page = Pages->PageInfo(LastFoundPage).PageRect;
  OffsetRect(page, OfsX, OfsY);
  const TRect hit = Bounds(page.Left + Round(FoundRect.Left * Zoom), page.Top + Round(FoundRect.Top * Zoom),
                           Round((FoundRect.Right - FoundRect.Left) * Zoom), Round((FoundRect.Bottom - FoundRect.Top) * Zoom));
  TControlCanvas c;
  c.SetControl(PBox);
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(clWhite);
  for (int row = 0; row <= hit.Height(); ++row) {
    c.MoveTo(hit.Left, hit.Top + row);
    c.LineTo(hit.Left + hit.Width(), hit.Top + row);
  }
}

// ---- load, save, export

void TfrPreviewForm::LoadFromFile(const String& FileName) {
  if (!Report) return;
  Pages.reset();
  {
    std::unique_ptr<TfrEMFPages> empty = std::make_unique<TfrEMFPages>(Report);
    Report->ExchangePreparedPages(std::move(empty));
  }
  // A damaged file raises after the report has dropped what it read; the window shows nothing.
  {
    TScopeExit retake([&] { TakePages(Report); });
    Report->LoadPreparedReport(FileName);
  }
  CurrentPage = 1;
  DoLayout();
  ScrollToCurrentPage();
  UpdatePageInfo();
  PBox->Invalidate();
}

void TfrPreviewForm::SaveToFile(const String& FileName) {
  if (!HasPages()) return;
  ReturnPages();
  TScopeExit retake([&] { TakePages(Report); });
  Report->SavePreparedReport(ChangeFileExt(FileName, ".frp"));
}

void TfrPreviewForm::LoadBtnClick(TObject*) {
  if (!Report) return;
  OpenDialog->SetFilter(LocaleText(55211) + " (*.frp)|*.frp");
  if (!OpenDialog->Execute()) return;
  LoadFromFile(OpenDialog->FileName());
}

void TfrPreviewForm::SaveBtnClick(TObject*) {
  if (!HasPages()) return;
  String filter = LocaleText(55211) + " (*.frp)|*.frp";
  int preselect = 1;
  const auto& filters = frFilters();
  for (std::size_t i = 0; i < filters.size(); ++i) {
    filter += "|" + filters[i].FilterDesc + "|" + filters[i].FilterExt;
    if (filters[i].Default && preselect == 1) preselect = int(i) + 2;
  }
  SaveDialog->SetFilter(filter);
  SaveDialog->SetFilterIndex(preselect);
  if (!SaveDialog->Execute()) return;
  const int index = SaveDialog->FilterIndex();
  if (index <= 1 || index - 2 >= int(filters.size())) {
    SaveToFile(SaveDialog->FileName());
    return;
  }
  const TfrExportFilterInfo& info = filters[std::size_t(index - 2)];
  ReturnPages();
  {
    TScopeExit retake([&] {
      TakePages(Report);
      ShowPages(false);
    });
    // "*.txt": the extension from the mask's second character on.
    Report->ExportTo(info.Filter, ChangeFileExt(SaveDialog->FileName(), info.FilterExt.substr(1)));
  }
}

// ---- print and page setup

void TfrPreviewForm::PrintBtnClick(TObject*) {
  if (!HasPages() || !SystemHasPrinters()) return;
  TfrPrintForm dlg(nullptr);
  dlg.InitForm();
  dlg.E1->SetText(IntToStr(Report->DefaultCopies()));
  dlg.CollateCB->SetChecked(Report->DefaultCollate());
  const int oldPrinter = GlobalPrinter()->PrinterNumber();
  if (Report->ShowPrintDialog() && dlg.ShowModal() != mrOk) return;
  const int newPrinter = GlobalPrinter()->PrinterNumber();
  if (newPrinter != oldPrinter && Report->RebuildPrinter() && Report->RebuildAllowed) {
    if (!Report->ChangePrinter(oldPrinter, newPrinter)) return;
    Pages.reset();
    Report->PrepareReport();
    TakePages(Report);
  }
  String pageList;
  if (dlg.RB2->Checked()) pageList = IntToStr(CurrentPage);
  else if (dlg.RB3->Checked()) pageList = dlg.E2->Text();
  const int copies = std::max(1, StrToIntDef(dlg.E1->Text(), 1));
  ReturnPages();
  TScopeExit retake([&] {
    TakePages(Report);
    ShowPages(false);
  });
  Report->PrintPreparedReport(pageList, copies, std::max(0, dlg.CB2->ItemIndex()), dlg.CollateCB->Checked());
}

void TfrPreviewForm::PageSetupBtnClick(TObject*) {
  if (!HasPages() || !SystemHasPrinters() || Report->Pages()->Count() == 0) return;
  TPageSetupDialog dlg(nullptr);
  dlg.SetOptions({psdMargins, psdInHundredthsOfMillimeters});
  dlg.SetDeviceMode(*Printer()->DeviceMode());
  TfrPage* first = Report->Pages()->Page(0);
  dlg.SetMargins({first->LeftMargin * 500 / 18, first->TopMargin * 500 / 18, first->RightMargin * 500 / 18,
                  first->BottomMargin * 500 / 18});
  if (!dlg.Execute()) return;
  String device, driver, port;
  DEVMODE* mode = nullptr;
  Printer()->GetPrinter(device, driver, port, mode);
  Printer()->SetPrinter(device, driver, port, &dlg.DeviceMode());
  TfrPrinter* prn = GlobalPrinter();
  prn->RefreshSettings();
  const TRect m = dlg.Margins();
  for (int i = 0; i < Report->Pages()->Count(); ++i) {
    TfrPage* page = Report->Pages()->Page(i);
    if (page->Type != 0) continue;
    page->LeftMargin = m.Left * 18 / 500;
    page->TopMargin = m.Top * 18 / 500;
    page->RightMargin = m.Right * 18 / 500;
    page->BottomMargin = m.Bottom * 18 / 500;
    page->ChangePaper(prn->PaperSize, prn->PaperWidth, prn->PaperHeight, prn->Bin, prn->Orientation);
  }
  Pages.reset();
  Report->PrepareReport();
  TakePages(Report);
  ShowPages(true);
}

// ---- page editing (only with a designer for the older format)

void TfrPreviewForm::EditBtnClick(TObject*) {
  // Editing a prepared page opens the designer, which this system does not have.
  if (!HasPages() || !PageEditingAllowed()) return;
}

void TfrPreviewForm::NewPageBtnClick(TObject*) {
  if (!HasPages() || !PageEditingAllowed() || Report->Pages()->Count() == 0) return;
  Pages->Insert(CurrentPage - 1, Report->Pages()->Page(0));
  ShowPages(false);
}

void TfrPreviewForm::DelPageBtnClick(TObject*) {
  if (!HasPages() || !PageEditingAllowed() || PageCount() <= 1) return;
  if (Application->MessageBox(LocaleText(55005), LocaleText(55006), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  Pages->Delete(CurrentPage - 1);
  ShowPages(true);
}

// ---- help and exit

void TfrPreviewForm::HelpBtnClick(TObject*) {
  // Kept for the button's place: with no help viewer the button stays disabled.
  if (!HelpBtn->Enabled()) return;
  HelpArmed = true;
  Screen->SetCursor(crHelp);
}

void TfrPreviewForm::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  if (!HelpArmed) return;
  HelpArmed = false;
  Screen->SetCursor(crDefault);
}

void TfrPreviewForm::ExitBtnClick(TObject*) {
  if (Report && Report->ModalPreview() && FormStyle() != fsMDIChild && FormState().Contains(fsModal)) SetModalResult(mrOk);
  else Close();
}

// ================================================================ TfrPreview

KELM_PUBLISH(TfrPreview) { Published(b); }

TfrPreview::TfrPreview(TComponent* AOwner) : TPanel(AOwner) {
  SetBevelInner(bvNone);
  SetBevelOuter(bvLowered);
  PreviewWindow = new TfrPreviewForm(this);
  PreviewWindow->InitForm();
  PreviewWindow->Embedder = this;
  PreviewWindow->OnPageChanged = TfrPageChangedEvent(this, &TfrPreview::DoPageChanged);
  PreviewWindow->SetVisible(false);
}

TfrPreview::~TfrPreview() = default;

void TfrPreview::Connect(TfrReport* Report) {
  TfrPreviewForm* w = PreviewWindow;
  w->PreviewPanel->SetParent(this);
  if (FShowToolbar) w->ToolPanel->SetParent(this);
  w->PreviewPanel->SetVisible(true);
  w->TakePages(Report);
  w->ApplyReportOptions();
  w->ShowPages(true);
  if (PopupMenu()) w->SetPopupMenu(PopupMenu());
  if (TCustomForm* form = GetParentForm(this)) {
    form->OnMouseWheelUp = TMouseWheelUpDownEvent(w, &TfrPreviewForm::WheelUp);
    form->OnMouseWheelDown = TMouseWheelUpDownEvent(w, &TfrPreviewForm::WheelDown);
    w->WheelFactor = 3;
  }
}

void TfrPreview::Disconnect() { PreviewWindow->ReturnPages(); }

int TfrPreview::Page() const { return PreviewWindow->CurrentPage; }

void TfrPreview::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  PreviewWindow->RPanel->SetVisible(Value == ssBoth || Value == ssVertical);
  PreviewWindow->BPanel->SetVisible(Value == ssBoth || Value == ssHorizontal);
}

void TfrPreview::SetShowToolbar(bool Value) {
  FShowToolbar = Value;
  PreviewWindow->ToolPanel->SetParent(Value ? static_cast<TWinControl*>(this) : PreviewWindow);
}

void TfrPreview::DoPageChanged(TfrPreview*, int PageNo) {
  if (OnPageChanged) OnPageChanged(this, PageNo);
}

void TfrPreview::Dispatch(TMessage& M) {
  TPanel::Dispatch(M);
  if (M.Msg == WM_WINDOWPOSCHANGED || M.Msg == WM_SIZE) PreviewWindow->DoLayout();
}
