// Panels, bevels, shapes, pictures, paint boxes, splitters, radio groups and scroll boxes.
#include "gui/ExtCtrls.h"

#include "gui/QtGlue_p.h"
#include "gui/CtrlUtils_p.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "gui/WinScroll.h"
#include "core/Scope.h"

#include <algorithm>

// ================================================================ TShape

KELM_PUBLISH(TShape) { Published(b); }

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TPen>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(0, 0, 65, 65);
  FBrush->SetOnChange(TNotifyEvent(this, &TShape::StyleChanged));
  FPen->SetOnChange(TNotifyEvent(this, &TShape::StyleChanged));
}

TShape::~TShape() = default;

void TShape::SetShape(TShapeType v) {
  if (v == FShape) return;
  FShape = v;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = Canvas();
  c->SetPen(FPen.get());
  c->SetBrush(FBrush.get());
  int pw = FPen->Width();
  int x = pw / 2, y = x;
  int w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  int s = std::min(w, h);
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, s / 4, s / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
  }
}

// ================================================================ TPaintBox

KELM_PUBLISH(TPaintBox) { Published(b); }

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint() {
  Canvas()->SetFont(Font());
  Canvas()->Brush()->SetColor(Color());
  OnPaint(this);
}

// ================================================================ TImage

KELM_PUBLISH(TImage) { Published(b); }

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  FPicture->SetOnChange(TNotifyEvent(this, &TImage::PictureChanged));
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->SetOnChange(TNotifyEvent()); }

void TImage::SetCenter(bool v) {
  if (v == FCenter) return;
  FCenter = v;
  Invalidate();
}

void TImage::SetStretch(bool v) {
  if (v == FStretch) return;
  FStretch = v;
  Invalidate();
}

void TImage::SetProportional(bool v) {
  if (v == FProportional) return;
  FProportional = v;
  Invalidate();
}

void TImage::SetTransparent(bool v) {
  if (v == FTransparent) return;
  FTransparent = v;
  if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(v);
  Invalidate();
}

void TImage::SetAutoSize(bool v) {
  if (v == AutoSize()) return;
  TControl::SetAutoSize(v);
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FPicture->Width() > 0 && FPicture->Height() > 0) {
    NewWidth = FPicture->Width();
    NewHeight = FPicture->Height();
  }
  return true;
}

void TImage::PictureChanged(TObject*) {
  if (TGraphic* g = FPicture->Graphic(); g && FTransparent != g->Transparent() && !dynamic_cast<TIcon*>(g))
    g->SetTransparent(FTransparent);
  if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0) SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  if (!FDrawing) Invalidate();
}

TRect TImage::DestRect() const {
  int w = FPicture->Width(), h = FPicture->Height();
  int cw = Width(), ch = Height();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (FCenter) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  TRestore drawing(FDrawing, true);
  Canvas()->StretchDraw(DestRect(), g);
}

TCanvas* TImage::ImageCanvas() {
  if (!FPicture->Graphic()) {
    TBitmap bmp;
    bmp.SetSize(std::max(1, Width()), std::max(1, Height()));
    FPicture->SetGraphic(&bmp);
  }
  auto* bmp = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!bmp) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bmp->Canvas();
}

// ================================================================ TBevel

KELM_PUBLISH(TBevel) { Published(b); }

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  if (v == FShape) return;
  FShape = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  if (v == FStyle) return;
  FStyle = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  c->Pen()->SetWidth(1);
  c->Pen()->SetStyle(psSolid);
  auto rect = [&](TColor a, TColor bcol, TRect r) {
    c->Pen()->SetColor(a);
    c->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    c->Pen()->SetColor(bcol);
    c->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
  };
  auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(col);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  int w = Width(), h = Height();
  switch (FShape) {
    case bsBox: rect(c1, c2, Rect(0, 0, w - 1, h - 1)); break;
    case bsFrame:
      rect(c2, c2, Rect(1, 1, w - 1, h - 1));
      rect(c1, c1, Rect(0, 0, w - 2, h - 2));
      break;
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ================================================================ TCustomPanel

KELM_PUBLISH(TCustomPanel) {}

KELM_PUBLISH(TPanel) { Published(b); }

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  ctrl_utils::AddBorderStyle(P, FBorderStyle, Ctl3D());
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (v == FAlignment) return;
  FAlignment = v;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel v) {
  if (v == FBevelInner) return;
  FBevelInner = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel v) {
  if (v == FBevelOuter) return;
  FBevelOuter = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth v) {
  if (v < 1) v = 1;
  if (v == FBevelWidth) return;
  FBevelWidth = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int v) {
  if (v < 0) v = 0;
  if (v == FBorderWidth) return;
  FBorderWidth = v;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomPanel::AdjustClientRect(TRect& R) {
  TCustomControl::AdjustClientRect(R);
  int size = FBorderWidth;
  if (FBevelOuter != bvNone) size += FBevelWidth;
  if (FBevelInner != bvNone) size += FBevelWidth;
  InflateRect(R, -size, -size);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  auto colors = [](TPanelBevel b, TColor& top, TColor& bottom) {
    top = b == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = b == bvLowered ? clBtnHighlight : clBtnShadow;
  };
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    colors(FBevelOuter, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  Frame3D(c, r, Color(), Color(), FBorderWidth);
  if (FBevelInner != bvNone) {
    colors(FBevelInner, top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  HDC dc = c->Handle();
  ctrl_utils::Fill(dc, r, ColorToRGB(Color()));
  String text = Caption();
  if (text.empty()) return;
  int saved = SaveDC(dc);
  SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  TRect t = r;
  t.Top = (r.Top + r.Bottom - tm.tmHeight) / 2;
  t.Bottom = t.Top + tm.tmHeight;
  UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  else if (FAlignment == taCenter) flags |= DT_CENTER;
  DrawText(dc, text, -1, &t, flags);
  RestoreDC(dc, saved);
}

void TCustomPanel::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(M);
      Invalidate();
      return;
    case CM_CTL3DCHANGED:
      TCustomControl::Dispatch(M);
      if (FBorderStyle == bsSingle) RecreateWnd();
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(M);
}

// ================================================================ TSplitter

KELM_PUBLISH(TSplitter) { Published(b); }

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetAlign(alLeft);
  SetBounds(0, 0, 3, 100);
  SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool v) {
  if (v == FBeveled) return;
  FBeveled = v;
  Invalidate();
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  if (!FBeveled) return;
  if (Align() == alLeft || Align() == alRight) InflateRect(r, -1, 2);
  else InflateRect(r, 2, -1);
  Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
}

TControl* TSplitter::FindControl() const {
  TWinControl* p = Parent();
  if (!p) return nullptr;
  TPoint pt{Left(), Top()};
  switch (Align()) {
    case alLeft: --pt.X; break;
    case alRight: pt.X += Width(); break;
    case alTop: --pt.Y; break;
    case alBottom: pt.Y += Height(); break;
    default: return nullptr;
  }
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (c == this || !c->Visible() || !c->Enabled()) continue;
    TRect r = c->BoundsRect();
    // A control collapsed to nothing is still found on its edge.
    if (r.Width() == 0) (Align() == alTop || Align() == alLeft) ? --r.Left : ++r.Right;
    if (r.Height() == 0) (Align() == alTop || Align() == alLeft) ? --r.Top : ++r.Bottom;
    if (PtInRect(r, pt)) return c;
  }
  return nullptr;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = FindControl();
  if (!FControl) return;
  FDownPos = ClientToParent({X, Y});
  bool horz = Align() == alLeft || Align() == alRight;
  FStartSize = horz ? FControl->Width() : FControl->Height();
  TWinControl* p = Parent();
  FMaxSize = (horz ? p->ClientWidth() : p->ClientHeight()) - FMinSize;
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (!c->Visible()) continue;
    if (horz && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
    if (!horz && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
  }
  FMaxSize += FStartSize;
  FNewSize = FStartSize;
}

int TSplitter::NewSizeAt(TPoint P) const {
  int delta = 0;
  switch (Align()) {
    case alLeft: delta = P.X - FDownPos.X; break;
    case alRight: delta = FDownPos.X - P.X; break;
    case alTop: delta = P.Y - FDownPos.Y; break;
    case alBottom: delta = FDownPos.Y - P.Y; break;
    default: break;
  }
  return std::clamp(FStartSize + delta, std::min(FMinSize, std::max(0, FMaxSize)), std::max(0, FMaxSize));
}

void TSplitter::ApplySize(int Size) {
  if (!FControl) return;
  bool accept = true;
  OnCanResize(this, Size, accept);
  if (!accept) return;
  // Dragged down to the least size the neighbour snaps shut.
  if (FAutoSnap && Size <= FMinSize) Size = 0;
  if (Align() == alLeft || Align() == alRight) FControl->SetWidth(Size);
  else FControl->SetHeight(Size);
  if (Parent()) Parent()->Realign();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  bool horz = Align() == alLeft || Align() == alRight;
  SetCursor(horz ? crHSplit : crVSplit);
  if (!FControl || !Shift.Contains(ssLeft)) return;
  FNewSize = NewSizeAt(ClientToParent({X, Y}));
  if (FResizeStyle == rsUpdate) ApplySize(FNewSize);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FControl && Button == mbLeft) {
    FNewSize = NewSizeAt(ClientToParent({X, Y}));
    ApplySize(FNewSize);
    FControl = nullptr;
    OnMoved(this);
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

// ================================================================ TCustomRadioGroup

KELM_PUBLISH(TCustomRadioGroup) {}

KELM_PUBLISH(TRadioGroup) { Published(b); }

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  SetControlStyle({csSetCaption, csDoubleClicks, csCaptureMouse, csClickEvents});
  FItems->SetOnChange(TNotifyEvent(this, &TCustomRadioGroup::ItemsChanged));
}

TCustomRadioGroup::~TCustomRadioGroup() {
  FItems->SetOnChange(TNotifyEvent());
  FButtons.clear();  // freed as owned components
}

TRadioButton* TCustomRadioGroup::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FButtons[static_cast<std::size_t>(Index)];
}

void TCustomRadioGroup::GetChildren(const TGetChildProc&, TComponent*) {
  // The buttons follow the items; they are never streamed.
}

void TCustomRadioGroup::ItemsChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
  UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  FUpdating = true;
  while (static_cast<int>(FButtons.size()) < FItems->Count()) {
    auto* b = new TRadioButton(this);
    b->OnClick = TNotifyEvent(this, &TCustomRadioGroup::ButtonClick);
    b->SetParent(this);
    FButtons.push_back(b);
  }
  while (static_cast<int>(FButtons.size()) > FItems->Count()) {
    delete FButtons.back();
    FButtons.pop_back();
  }
  for (std::size_t i = 0; i < FButtons.size(); ++i) {
    TRadioButton* b = FButtons[i];
    b->SetCaption(FItems->Strings(static_cast<int>(i)));
    b->SetEnabled(Enabled());
    b->SetChecked(static_cast<int>(i) == FItemIndex);
  }
  FUpdating = false;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (FButtons.empty()) return;
  int n = static_cast<int>(FButtons.size());
  int cols = std::max(1, FColumns);
  int perCol = (n + cols - 1) / cols;
  int th = ctrl_utils::CellHeightOf(Font());
  int buttonWidth = (Width() - 10) / cols;
  int rest = Height() - th - 5;
  int buttonHeight = rest / perCol;
  int topMargin = th + 1 + (rest % perCol) / 2;
  for (int i = 0; i < n; ++i)
    FButtons[static_cast<std::size_t>(i)]->SetBounds((i / perCol) * buttonWidth + 8, (i % perCol) * buttonHeight + topMargin,
                                                     buttonWidth, buttonHeight);
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
  if (FUpdating) return;
  auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
  if (it == FButtons.end()) return;
  FItemIndex = static_cast<int>(it - FButtons.begin());
  Changed();
  Click();
}

void TCustomRadioGroup::SetItemIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = v;
    return;
  }
  v = std::clamp(v, -1, FItems->Count() - 1);
  if (v == FItemIndex) return;
  if (FItemIndex >= 0 && FItemIndex < ButtonCount()) FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(false);
  FItemIndex = v;
  // Checking the button clicks it, and the group's OnClick follows, as for the user's choice.
  if (v >= 0 && v < ButtonCount()) FButtons[static_cast<std::size_t>(v)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int v) {
  v = std::clamp(v, 1, 16);
  if (v == FColumns) return;
  FColumns = v;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_ENABLEDCHANGED:
      TCustomGroupBox::Dispatch(M);
      for (TRadioButton* b : FButtons) b->SetEnabled(Enabled());
      return;
    case CM_FONTCHANGED:
    case WM_SIZE:
      TCustomGroupBox::Dispatch(M);
      ArrangeButtons();
      return;
    default:
      break;
  }
  TCustomGroupBox::Dispatch(M);
}

// ================================================================ TScrollBox

KELM_PUBLISH(TControlScrollBar) { Published(b); }

void TControlScrollBar::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TControlScrollBar*>(Source)) {
    FIncrement = s->FIncrement;
    FMargin = s->FMargin;
    FTracking = s->FTracking;
    FVisible = s->FVisible;
    if (s->FRangeSet) SetRange(s->FRange);
    SetPosition(s->FPosition);
    return;
  }
  TPersistent::Assign(Source);
}

void TControlScrollBar::SetPosition(int v) {
  if (auto* box = dynamic_cast<TScrollBox*>(FControl)) box->ScrollTo(FHorizontal, v);
  else FPosition = v;
}

void TControlScrollBar::SetRange(int v) {
  FRange = std::max(0, v);
  FRangeSet = true;
  if (auto* box = dynamic_cast<TScrollBox*>(FControl)) box->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v) {
  FVisible = v;
  if (auto* box = dynamic_cast<TScrollBox*>(FControl)) box->UpdateScrollBars();
}

KELM_PUBLISH(TScrollBox) { Published(b); }

TScrollBox::TScrollBox(TComponent* AOwner)
    : TScrollingWinControl(AOwner),
      FHorz(std::make_unique<TControlScrollBar>(this, true)),
      FVert(std::make_unique<TControlScrollBar>(this, false)),
      FBars(std::make_unique<TWindowScrollBars>(this)) {
  SetControlStyle({csCaptureMouse, csClickEvents, csAcceptsControls, csDoubleClicks});
  SetAutoScroll(true);
  SetBounds(0, 0, 185, 41);
  SetTabStop(false);
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::CreateParams(TCreateParams& P) {
  TScrollingWinControl::CreateParams(P);
  ctrl_utils::AddBorderStyle(P, FBorderStyle, Ctl3D());
  if (FHorz->FShown) P.Style |= WS_HSCROLL;
  if (FVert->FShown) P.Style |= WS_VSCROLL;
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
  if (v == FBorderStyle) return;
  FBorderStyle = v;
  RecreateWnd();
  UpdateScrollBars();
}

void TScrollBox::AlignControls(TControl* AControl, TRect& R) {
  TScrollingWinControl::AlignControls(AControl, R);
  UpdateScrollBars();
}

void TScrollBox::UpdateScrollBars() {
  if (FUpdating || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  FUpdating = true;
  // The extent of the children, measured from the unscrolled origin.
  int hr = FHorz->FRangeSet && !AutoScroll() ? FHorz->FRange : 0;
  int vr = FVert->FRangeSet && !AutoScroll() ? FVert->FRange : 0;
  if (AutoScroll()) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible()) continue;
      if (c->Align() == alNone || c->Align() == alLeft || c->Align() == alRight)
        hr = std::max(hr, c->Left() + c->Width() + FHorz->FPosition + FHorz->FMargin);
      if (c->Align() == alNone || c->Align() == alTop || c->Align() == alBottom)
        vr = std::max(vr, c->Top() + c->Height() + FVert->FPosition + FVert->FMargin);
    }
    FHorz->FRange = hr;
    FVert->FRange = vr;
  }
  TRect nc = NonClientMargins();
  int edge = nc.Left - BorderWidth();
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  int fullW = Width() - 2 * edge - 2 * BorderWidth(), fullH = Height() - 2 * edge - 2 * BorderWidth();
  bool vs = FVert->FVisible && vr > fullH;
  bool hs = FHorz->FVisible && hr > fullW - (vs ? cx : 0);
  if (!vs) vs = FVert->FVisible && hs && vr > fullH - cy;
  FVert->FShown = vs;
  FHorz->FShown = hs;
  if (HandleAllocated()) {
    // Each page is the client the bars leave, so the window's bars show exactly as decided
    // above (a bar switched off by its Visible stays hidden).
    FBars->SetAllowed(SB_HORZ, FHorz->FVisible);
    FBars->SetAllowed(SB_VERT, FVert->FVisible);
    FBars->SetInfo({0, std::max(0, hr - 1), fullW - (vs ? cx : 0), FHorz->FPosition},
                   {0, std::max(0, vr - 1), fullH - (hs ? cy : 0), FVert->FPosition});
    FHorz->FShown = FBars->Visible(SB_HORZ);
    FVert->FShown = FBars->Visible(SB_VERT);
    hs = FHorz->FShown;
    vs = FVert->FShown;
  }
  int cw = ClientWidth(), ch = ClientHeight();
  FUpdating = false;
  // Children scrolled past a shrunken range come back.
  int hmax = hs ? std::max(0, hr - cw) : 0, vmax = vs ? std::max(0, vr - ch) : 0;
  if (FHorz->FPosition > hmax) ScrollTo(true, hmax);
  if (FVert->FPosition > vmax) ScrollTo(false, vmax);
}

void TScrollBox::ScrollTo(bool Horizontal, int Pos) {
  TControlScrollBar* bar = Horizontal ? FHorz.get() : FVert.get();
  int limit = Horizontal ? std::max(0, bar->FRange - ClientWidth()) : std::max(0, bar->FRange - ClientHeight());
  Pos = std::clamp(Pos, 0, limit);
  int delta = bar->FPosition - Pos;
  if (delta == 0) return;
  bar->FPosition = Pos;
  if (HandleAllocated()) FBars->SetPos(Horizontal ? SB_HORZ : SB_VERT, Pos);
  ScrollBy(Horizontal ? delta : 0, Horizontal ? 0 : delta);
}

void TScrollBox::ScrollInView(TControl* AControl) {
  if (!AControl || !ContainsControl(AControl)) return;
  TPoint p = AControl->ClientToParent({0, 0}, this);
  TRect r = Bounds(p.X, p.Y, AControl->Width(), AControl->Height());
  if (r.Left < 0) ScrollTo(true, FHorz->FPosition + r.Left);
  else if (r.Right > ClientWidth()) ScrollTo(true, FHorz->FPosition + std::min(r.Left, r.Right - ClientWidth()));
  if (r.Top < 0) ScrollTo(false, FVert->FPosition + r.Top);
  else if (r.Bottom > ClientHeight()) ScrollTo(false, FVert->FPosition + std::min(r.Top, r.Bottom - ClientHeight()));
}

void TScrollBox::DoScroll(bool Horizontal, int Code, int Pos) {
  TControlScrollBar* bar = Horizontal ? FHorz.get() : FVert.get();
  int page = Horizontal ? ClientWidth() : ClientHeight();
  int p = bar->FPosition;
  switch (Code) {
    case SB_LINEUP: p -= bar->FIncrement; break;
    case SB_LINEDOWN: p += bar->FIncrement; break;
    case SB_PAGEUP: p -= page; break;
    case SB_PAGEDOWN: p += page; break;
    case SB_THUMBTRACK:
      if (!bar->FTracking) return;
      p = Pos;
      break;
    case SB_THUMBPOSITION: p = Pos; break;
    case SB_TOP: p = 0; break;
    case SB_BOTTOM: p = bar->FRange; break;
    default: return;
  }
  ScrollTo(Horizontal, p);
}

void TScrollBox::WndProc(TMessage& M) {
  if (FBars->MouseMessage(M)) return;
  TScrollingWinControl::WndProc(M);
}

void TScrollBox::Dispatch(TMessage& M) {
  if (FBars->Dispatch(M)) return;
  switch (M.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      DoScroll(M.Msg == WM_HSCROLL, LoWord(M.WParam), static_cast<short>(HiWord(M.WParam)));
      return;
    case WM_SIZE:
      TScrollingWinControl::Dispatch(M);
      UpdateScrollBars();
      return;
    case CM_CTL3DCHANGED:
      TScrollingWinControl::Dispatch(M);
      if (FBorderStyle == bsSingle) RecreateWnd();
      return;
    default:
      break;
  }
  TScrollingWinControl::Dispatch(M);
}

void TScrollBox::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_MOUSEWHEEL:
      if (FVert->FShown) {
        int lines = Mouse ? Mouse->WheelScrollLines() : 3;
        ScrollTo(false, FVert->FPosition - WheelDeltaOf(M.WParam) * lines * FVert->FIncrement / 120);
        M.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TScrollingWinControl::DefaultHandler(M);
}
