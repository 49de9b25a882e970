#include "grid/ToolCtrlsEh.h"

#include "core/ClassBuilder.h"
#include "gui/Screen.h"
#include "grid/GridUtilsEh.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstdlib>

bool EditButtonFaceStyle(TEditButtonStyleEh Style, TButtonFaceStyle& FaceStyle) {
  struct TEntry {
    TEditButtonStyleEh Style;
    TButtonFaceStyle Face;
  };
  static constexpr TEntry kFaces[] = {
      {ebsDropDownEh, bfsDropDown}, {ebsEllipsisEh, bfsEllipsis}, {ebsUpDownEh, bfsUpDown},
      {ebsPlusEh, bfsPlus},         {ebsMinusEh, bfsMinus},
  };
  for (const TEntry& e : kFaces)
    if (e.Style == Style) {
      FaceStyle = e.Face;
      return true;
    }
  return false;
}

// ================================================================ TEditButtonEh

KELM_PUBLISH(TEditButtonEh) { Published(b); }

namespace {
// The collection hears of a new item only once it is fully made.
TCollection* BeginCollectionUpdate(TCollection* Collection) {
  if (Collection) Collection->BeginUpdate();
  return Collection;
}
}  // namespace

TEditButtonEh::TEditButtonEh(TWinControl* EditControl, bool AVisible, TShortCut AShortCut)
    : TCollectionItem(nullptr), FEditControl(EditControl), FShortCut(AShortCut), FVisible(AVisible) {
  InitGlyph();
}

TEditButtonEh::TEditButtonEh(TCollection* Collection, bool AVisible, TShortCut AShortCut)
    : TCollectionItem(BeginCollectionUpdate(Collection)), FShortCut(AShortCut), FVisible(AVisible) {
  InitGlyph();
  if (Collection) Collection->EndUpdate();
}

TEditButtonEh::~TEditButtonEh() = default;

void TEditButtonEh::InitGlyph() {
  FGlyph = std::make_unique<TBitmap>();
  FGlyph->SetTransparent(true);
}

void TEditButtonEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TEditButtonEh*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetDropdownMenu(src->FDropdownMenu);
  SetGlyph(src->Glyph());
  SetHint(src->FHint);
  SetNumGlyphs(src->FNumGlyphs);
  SetShortCut(src->FShortCut);
  SetStyle(src->FStyle);
  SetVisible(src->FVisible);
  SetWidth(src->FWidth);
  OnClick = src->OnClick;
  OnDown = src->OnDown;
}

void TEditButtonEh::NotifyButtonChanged() {
  if (OnChanged) OnChanged(this);
  else if (Collection()) Changed(false);
}

void TEditButtonEh::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  NotifyButtonChanged();
}

void TEditButtonEh::SetHint(const String& Value) {
  if (FHint == Value) return;
  FHint = Value;
  NotifyButtonChanged();
}

void TEditButtonEh::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  NotifyButtonChanged();
}

void TEditButtonEh::SetStyle(TEditButtonStyleEh Value) {
  FStyle = Value;
  NotifyButtonChanged();
}

void TEditButtonEh::SetVisible(bool Value) {
  FVisible = Value;
  NotifyButtonChanged();
}

void TEditButtonEh::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  NotifyButtonChanged();
}

TEditButtonControlEh* TEditButtonEh::CreateEditButtonControl() {
  auto* control = new TEditButtonControlEh(FEditControl);
  control->SetControlStyle(control->ControlStyle() + csReplicatable);
  control->SetBounds(control->Left(), control->Top(), 10, 17);
  control->SetVisible(true);
  control->SetTransparent(false);
  control->SetParent(FEditControl);
  return control;
}

// ================================================================ TVisibleEditButtonEh

KELM_PUBLISH(TVisibleEditButtonEh) { Published(b); }

// ================================================================ TEditButtonsEh

KELM_PUBLISH(TEditButtonsEh) {}

TEditButtonsEh::TEditButtonsEh(TPersistent* Owner, TClass EditButtonClass)
    : TCollection(EditButtonClass), FOwner(Owner) {}

TEditButtonEh* TEditButtonsEh::Items(int Index) const {
  return static_cast<TEditButtonEh*>(TCollection::Items(Index));
}

void TEditButtonsEh::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  OnChanged(Item);
}

// ================================================================ TEditButtonControlEh

KELM_PUBLISH(TEditButtonControlEh) {}

KELM_PUBLISH(TSpeedButtonEh) { Published(b); }

TEditButtonControlEh::TEditButtonControlEh(TComponent* AOwner) : TSpeedButton(AOwner) {}

TEditButtonControlEh::~TEditButtonControlEh() = default;

void TEditButtonControlEh::SetStyle(TEditButtonStyleEh Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TEditButtonControlEh::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Invalidate();
}

void TEditButtonControlEh::SetAlwaysDown(bool Value) {
  if (FAlwaysDown == Value) return;
  FAlwaysDown = Value;
  if (Value) {
    SetGroupIndex(1);
    SetDown(true);
    SetAllowAllUp(false);
    FDownButton = 1;
  } else {
    SetAllowAllUp(true);
    SetDown(false);
    SetGroupIndex(0);
    FDownButton = 0;
  }
}

TButtonState TEditButtonControlEh::State() const {
  TButtonState state = TSpeedButton::State();
  return FSlidOff && state == bsDown ? bsUp : state;
}

void TEditButtonControlEh::SetSlidOff(bool Value) {
  if (FSlidOff == Value) return;
  FSlidOff = Value;
  Invalidate();
}

bool TEditButtonControlEh::IsPressed() const { return State() == bsDown || State() == bsExclusive; }

void TEditButtonControlEh::UpdateDownButton(int Y) {
  int old = FDownButton;
  if (IsPressed()) {
    if (FStyle == ebsUpDownEh) {
      // The halves as the face paints them; an odd middle line belongs to neither.
      int half = Height() / 2;
      FDownButton = Y < half ? 1 : Y >= Height() - half ? 2 : 0;
    } else {
      FDownButton = 1;
    }
  } else {
    FDownButton = 0;
  }
  if (old != FDownButton) Invalidate();
}

void TEditButtonControlEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool autoRepeat = FStyle == ebsUpDownEh;
  SetSlidOff(false);
  TSpeedButton::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft) UpdateDownButton(Y);
  if (FDownButton != 0) {
    bool handled = false;
    OnDown(this, FDownButton == 1, autoRepeat, handled);
  }
  if (autoRepeat) ResetTimer(400);
}

void TEditButtonControlEh::MouseMove(TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseMove(Shift, X, Y);
  // The speed button presses whenever the pointer is over it; sliding onto the other half of
  // a spin button lets the pressed half up, and coming back presses it again.
  int half = Height() / 2;
  bool otherHalf = (FDownButton == 1 && Y > Height() - half) || (FDownButton == 2 && Y < half);
  SetSlidOff(MouseCapture() && FStyle == ebsUpDownEh && TSpeedButton::State() == bsDown && otherHalf);
}

void TEditButtonControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FStyle == ebsUpDownEh && State() != bsDown) {
    // Released after sliding off the pressed half: no click.
    FSkipNextClick = true;
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    FSkipNextClick = false;
  } else {
    TSpeedButton::MouseUp(Button, Shift, X, Y);
  }
  SetSlidOff(false);
  UpdateDownButton(Y);
  StopTimer();
}

void TEditButtonControlEh::Click() {
  if (!FSkipNextClick) TSpeedButton::Click();
}

void TEditButtonControlEh::ResetTimer(Cardinal Interval) {
  if (!FTimer) {
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer(TNotifyEvent(this, &TEditButtonControlEh::TimerEvent));
  }
  FTimer->SetEnabled(false);
  FTimer->SetInterval(Interval);
  FTimer->SetEnabled(true);
}

void TEditButtonControlEh::StopTimer() {
  if (FTimer) FTimer->SetEnabled(false);
}

void TEditButtonControlEh::TimerEvent(TObject*) {
  if (State() != bsDown) return;
  if (FTimer->Interval() == 400) FTimer->SetInterval(100);
  bool autoRepeat = true, handled = false;
  OnDown(this, FDownButton == 1, autoRepeat, handled);
  if (!autoRepeat) StopTimer();
}

void TEditButtonControlEh::Paint() {
  TColor parentColor = Parent() ? Parent()->Color() : clBtnFace;
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  if (FStyle == ebsGlyphEh) {
    if (IsThemeActive() || !Flat()) {
      TSpeedButton::Paint();
      return;
    }
    {
      TRect inner = r;
      InflateRect(inner, -1, -1);
      TClipRectScopeEh clip(dc, inner);
      TSpeedButton::Paint();
    }
    if (FActive) {
      DrawEdge(dc, r, IsPressed() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      HBRUSH brush = CreateSolidBrush(ColorToRGB(parentColor));
      FrameRect(dc, r, brush);
      DeleteObject(brush);
    }
    return;
  }
  TButtonFaceStyle face = bfsDropDown;
  EditButtonFaceStyle(FStyle, face);
  PaintEditButtonFace(dc, r, parentColor, face, IsPressed() ? FDownButton : 0, Flat(), FActive, Enabled(), 0);
}

// ================================================================ painting helpers

namespace {

void FillSolid(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, R, brush);
  DeleteObject(brush);
}

void FrameSolid(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FrameRect(DC, R, brush);
  DeleteObject(brush);
}

UINT FrameControlState(bool Pressed, bool Flat, bool Enabled) {
  return (Pressed ? UINT(DFCS_PUSHED) : 0u) | (Flat ? UINT(DFCS_FLAT) : 0u) | (Enabled ? 0u : UINT(DFCS_INACTIVE));
}

// The background of the ellipsis, plus and minus faces; returns the rectangle left for the
// symbol.
TRect DrawSymbolBackground(HDC DC, const TRect& ARect, bool Pressed, bool Flat) {
  TRect r = ARect;
  if (Flat) {
    FillSolid(DC, r, clBtnFace);
    InflateRect(r, -1, -1);
  } else {
    DrawEdge(DC, r, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    InflateRect(r, -2, -2);
  }
  return r;
}

// A symbol made of rectangles in the button-text colour; disabled it shows as a highlight
// copy one pixel down and right under a shadow copy.
void DrawSymbolBars(HDC DC, const std::vector<TRect>& Bars, bool Enabled) {
  if (Enabled) {
    for (const TRect& p : Bars) FillSolid(DC, p, clBtnText);
    return;
  }
  for (TRect p : Bars) {
    OffsetRect(p, 1, 1);
    FillSolid(DC, p, clBtnHighlight);
  }
  for (const TRect& p : Bars) FillSolid(DC, p, clBtnShadow);
}

TRect CenteredSquare(const TRect& R) {
  TRect s = R;
  int w = R.Width(), h = R.Height();
  // An odd difference leaves the extra pixel on the far side.
  if (w > h) {
    s.Left += (w - h) / 2;
    s.Right = s.Left + h;
  } else if (h > w) {
    s.Top += (h - w) / 2;
    s.Bottom = s.Top + w;
  }
  return s;
}

void CopyFace(HDC DC, const TRect& R, TBitmap* Face) {
  if (!Face || R.Width() <= 0 || R.Height() <= 0) return;
  StretchBlt(DC, R.Left, R.Top, R.Width(), R.Height(), Face->Canvas()->Handle(), 0, 0, Face->Width(),
             Face->Height(), SRCCOPY);
}

}  // namespace

void DrawComboArrowButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled) {
  TRect r = ARect;
  DrawFrameControl(DC, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | FrameControlState(Pressed, Flat, Enabled));
}

void DrawSpinHalfButton(HDC DC, const TRect& ARect, int DownHalf, bool Pressed, bool Active, bool Flat,
                        bool Enabled) {
  TRect r = ARect;
  UINT kind = DownHalf == 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
  DrawFrameControl(DC, r, DFC_SCROLL, kind | FrameControlState(Pressed, Flat, Enabled));
}

void DrawDotsButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled) {
  TRect r = DrawSymbolBackground(DC, ARect, Pressed, Flat);
  int w = r.Width(), h = r.Height();
  int dot = w > 7 ? 2 : 1;
  int gap = w < 12 ? 1 : 2;
  int x = r.Left + (w - dot) / 2, y = r.Top + (h - dot) / 2;
  if (Pressed) {
    ++x;
    ++y;
  }
  int step = gap + dot;
  std::vector<TRect> dots;
  for (int dx : {-step, 0, step}) dots.push_back(Bounds(x + dx, y, dot, dot));
  DrawSymbolBars(DC, dots, Enabled);
}

void DrawSignButton(HDC DC, const TRect& ARect, bool Plus, bool Pressed, bool Active, bool Flat, bool Enabled) {
  TRect r = DrawSymbolBackground(DC, ARect, Pressed, Flat);
  int w = r.Width(), h = r.Height();
  int s = std::min(w, h);
  int len = std::max(1, s * 4 / 7);
  int thick = std::max(1, len / 3);
  if (len % 2 != s % 2) len += Flat ? -1 : 1;
  if (Plus && len % 2 != thick % 2) len += s < 12 ? 1 : -1;
  int x = r.Left + (w - len) / 2, y = r.Top + (h - thick) / 2;
  if (Pressed) {
    ++x;
    ++y;
  }
  std::vector<TRect> parts{Bounds(x, y, len, thick)};
  if (Plus) {
    int offset = len / 2 - thick / 2;
    parts.push_back(Bounds(x + offset, y - offset, thick, len));
  }
  DrawSymbolBars(DC, parts, Enabled);
}

void DrawCheckFrame(HDC DC, const TRect& ARect, int CheckState, bool Active, bool Pressed, bool Flat,
                    bool Enabled) {
  TRect square = CenteredSquare(ARect);
  UINT state = DFCS_BUTTONCHECK;
  if (CheckState == 1) state |= DFCS_CHECKED;
  else if (CheckState == 2) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
  if (!Enabled) state |= DFCS_INACTIVE;
  if (Pressed) state |= DFCS_PUSHED;
  if (!Flat || IsThemeActive()) {
    DrawFrameControl(DC, square, DFC_BUTTON, state);
    return;
  }
  {
    TRect inner = square;
    InflateRect(inner, -1, -1);
    TClipRectScopeEh clip(DC, inner);
    // The control's 3-D frame falls outside the clip.
    TRect control = square;
    InflateRect(control, 1, 1);
    DrawFrameControl(DC, control, DFC_BUTTON, state);
  }
  FrameSolid(DC, square, Active ? clBtnFace : clBtnShadow);
}

void DrawButtonByStyle(HDC DC, TButtonFaceStyle FaceStyle, const TRect& ARect, int DownHalf, bool Pressed,
                       bool Active, bool Flat, bool Enabled) {
  bool flatFrame = Flat && !IsThemeActive();
  TRect r = ARect;
  {
    std::unique_ptr<TClipRectScopeEh> clip;
    if (flatFrame) {
      // The face's own 3-D border falls outside the clip; a flat edge replaces it below.
      TRect inner = ARect;
      InflateRect(inner, -1, -1);
      clip = std::make_unique<TClipRectScopeEh>(DC, inner);
      InflateRect(r, Active ? 1 : 2, Active ? 1 : 2);
    }
    switch (FaceStyle) {
      case bfsDropDown: DrawComboArrowButton(DC, r, Pressed, Active, Flat, Enabled); break;
      case bfsEllipsis: DrawDotsButton(DC, r, Pressed, Active, Flat, Enabled); break;
      case bfsUpDown: DrawSpinHalfButton(DC, r, DownHalf, Pressed, Active, Flat, Enabled); break;
      case bfsPlus: DrawSignButton(DC, r, true, Pressed, Active, Flat, Enabled); break;
      case bfsMinus: DrawSignButton(DC, r, false, Pressed, Active, Flat, Enabled); break;
      case bfsCheckBox: break;  // painted by DrawCheckFrame
    }
  }
  if (flatFrame) {
    TRect edge = ARect;
    DrawEdge(DC, edge, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

// ================================================================ the cache

TButtonFaceKey ButtonFaceKey(int Width, int Height, TButtonFaceStyle FaceStyle, bool Flat, bool Pressed, bool Active,
                             bool Enabled, int DownHalf, int CheckState) {
  TButtonFaceKey key;
  key.Size = {std::max(0, Width), std::max(0, Height)};
  key.FaceStyle = FaceStyle;
  key.Flat = Flat;
  key.Pressed = Pressed;
  key.Active = Active;
  key.Enabled = Enabled;
  key.DownHalf = DownHalf;
  key.CheckState = CheckState;
  return key;
}

TButtonsBitmapCache::~TButtonsBitmapCache() { Clear(); }

void TButtonsBitmapCache::Clear() {
  for (int i = 0; i < Count(); ++i) delete Items(i);
  TObjectList::Clear();
}

TBitmap* TButtonsBitmapCache::GetButtonBitmap(const TButtonFaceKey& Key) {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Key == Key) return Items(i)->Bitmap.get();
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(Key.Size.cx, Key.Size.cy);
  if (Key.Size.cx > 0 && Key.Size.cy > 0) {
    HDC dc = bitmap->Canvas()->Handle();
    TRect r = Rect(0, 0, Key.Size.cx, Key.Size.cy);
    if (Key.FaceStyle == bfsCheckBox)
      DrawCheckFrame(dc, r, Key.CheckState, Key.Active, Key.Pressed, Key.Flat, Key.Enabled);
    else
      DrawButtonByStyle(dc, Key.FaceStyle, r, Key.DownHalf, Key.Pressed, Key.Active, Key.Flat, Key.Enabled);
  }
  auto* info = new TButtonBitmapInfoBitmapEh(Key, std::move(bitmap));
  Add(info);
  return info->Bitmap.get();
}

namespace {

// The values the unit sets up once: the flat button width, then the cache, then the
// check-box glyph size.
struct TToolCtrlsUnitState {
  int FlatButtonWidth = 0;
  std::unique_ptr<TButtonsBitmapCache> Cache;
  int CheckBoxWidth = 0;
  int CheckBoxHeight = 0;
};

// The classic check-box glyph at 96 DPI.
constexpr int kCheckBoxGlyphSize = 13;

TToolCtrlsUnitState& UnitState() {
  static TToolCtrlsUnitState state = [] {
    TToolCtrlsUnitState s;
    s.FlatButtonWidth = CalcFlatButtonWidth();
    s.Cache = std::make_unique<TButtonsBitmapCache>();
    s.CheckBoxWidth = kCheckBoxGlyphSize;
    s.CheckBoxHeight = kCheckBoxGlyphSize;
    return s;
  }();
  return state;
}

}  // namespace

TButtonsBitmapCache* ButtonsBitmapCache() { return UnitState().Cache.get(); }
void ResetButtonBitmapCache() { ButtonsBitmapCache()->Clear(); }
int FlatButtonWidth() { return UnitState().FlatButtonWidth; }
int CheckBoxGlyphWidth() { return UnitState().CheckBoxWidth; }
int CheckBoxGlyphHeight() { return UnitState().CheckBoxHeight; }

// ================================================================ PaintEditButtonFace

void PaintEditButtonFace(HDC DC, const TRect& ARect, TColor ParentColor, TButtonFaceStyle FaceStyle, int DownButton,
                         bool Flat, bool Active, bool Enabled, int CheckState) {
  TButtonsBitmapCache* cache = ButtonsBitmapCache();
  TRect r = ARect;
  if (FaceStyle == bfsCheckBox) {
    r = CenteredSquare(r);
    if (Flat) InflateRect(r, -1, -1);
    TButtonFaceKey key =
        ButtonFaceKey(r.Width(), r.Height(), bfsCheckBox, Flat, DownButton != 0, Active, Enabled, 0, CheckState);
    CopyFace(DC, r, cache->GetButtonBitmap(key));
    if (Flat) {
      TRect ring = r;
      InflateRect(ring, 1, 1);
      if (Active) DrawEdge(DC, ring, BDR_SUNKENOUTER, BF_RECT);
      else FrameSolid(DC, ring, ParentColor);
    }
    return;
  }

  bool flatFrame = Flat && !Active && !IsThemeActive();
  if (flatFrame) InflateRect(r, -1, -1);
  if (FaceStyle == bfsUpDown) {
    int h = r.Height(), half = h / 2;
    TRect top = Rect(r.Left, r.Top, r.Right, r.Top + half);
    TRect bottom = Rect(r.Left, r.Bottom - half, r.Right, r.Bottom);
    CopyFace(DC, top,
             cache->GetButtonBitmap(
                 ButtonFaceKey(top.Width(), top.Height(), bfsUpDown, Flat, DownButton == 1, Active, Enabled, 0, 0)));
    CopyFace(DC, bottom,
             cache->GetButtonBitmap(ButtonFaceKey(bottom.Width(), bottom.Height(), bfsUpDown, Flat, DownButton == 2,
                                                  Active, Enabled, 1, 0)));
    if (h % 2 != 0 || flatFrame) {
      TRect middle = Rect(r.Left, top.Bottom, r.Right, bottom.Top);
      if (flatFrame) {
        --middle.Top;
        ++middle.Bottom;
      }
      FillSolid(DC, middle, ParentColor);
    }
  } else {
    CopyFace(DC, r,
             cache->GetButtonBitmap(
                 ButtonFaceKey(r.Width(), r.Height(), FaceStyle, Flat, DownButton != 0, Active, Enabled, 0, 0)));
  }
  if (flatFrame) {
    InflateRect(r, 1, 1);
    FrameSolid(DC, r, ParentColor);
  }
}

// ================================================================ sizes and placement

int CalcFlatButtonWidth() {
  TEXTMETRIC tm;
  GetTextMetrics(GetScreenDC(), &tm);
  int width = int(Round(tm.tmHeight * 2.0L / 3.0L));
  if (width % 2 == 0) ++width;
  return std::min(width, GetSystemMetrics(SM_CXVSCROLL));
}

int EditButtonHeightFor(int Width, bool Flat) { return Flat ? int(Round(Width * 3.0L / 2.0L)) : Width; }

TRect PlaceCheckBoxInCell(const TRect& Rect, TAlignment Alignment) {
  int gw = CheckBoxGlyphWidth(), gh = CheckBoxGlyphHeight();
  int w = std::min(gw, Rect.Width()), h = std::min(gh, Rect.Height());
  int left = Alignment == taRightJustify && Rect.Width() > gw ? Rect.Right - w : Rect.Left;
  int top = Rect.Height() > gh ? Rect.Top + (Rect.Height() / 2 - gh / 2) : Rect.Top;
  return Bounds(left, top, w, h);
}

void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* Images, bool Selected, int ImageIndex) {
  if (!Canvas || !Images) return;
  int x = Rect.Left + (Rect.Width() - Images->Width()) / 2;
  int y = Rect.Top + (Rect.Height() - Images->Height()) / 2;
  TRect image = Bounds(x, y, Images->Width(), Images->Height());
  bool inside = image.Left >= Rect.Left && image.Top >= Rect.Top && image.Right <= Rect.Right &&
                image.Bottom <= Rect.Bottom;
  TDrawingStyle style = Selected ? dsSelected : Images->DrawingStyle();
  if (inside) {
    Images->Draw(Canvas, x, y, ImageIndex, style, Images->ImageType(), true);
    return;
  }
  TClipRectScopeEh clip(Canvas->Handle(), Rect);
  Images->Draw(Canvas, x, y, ImageIndex, style, Images->ImageType(), true);
}

namespace {
TRect WorkAreaNear(const TRect& R) {
  if (Screen)
    if (TMonitor* m = Screen->MonitorFromRect(R, mdNearest)) return m->WorkareaRect();
  return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}
}  // namespace

TPoint PlaceDropDownAtRect(const TRect& MasterRect, TWinControl* DropDown, TDropDownAlign Align) {
  TRect work = WorkAreaNear(MasterRect);
  TPoint p;
  int h = DropDown->Height();
  int roomBelow = work.Bottom - MasterRect.Bottom, roomAbove = MasterRect.Top - work.Top;
  bool fitsBelow = h <= roomBelow, fitsAbove = h <= roomAbove;
  bool above = (!fitsBelow && fitsAbove) || (!fitsBelow && !fitsAbove && roomAbove > roomBelow);
  WPARAM vertical;
  if (above) {
    if (roomAbove < h) DropDown->SetHeight(h = roomAbove);
    p.Y = MasterRect.Top - h;
    vertical = kGripSideTopEh;
  } else {
    if (roomBelow < h) DropDown->SetHeight(h = roomBelow);
    p.Y = MasterRect.Bottom;
    vertical = kGripSideBottomEh;
  }
  DropDown->Perform(CM_GRIPSIDE, vertical, 0);

  int w = DropDown->Width();
  switch (Align) {
    case daLeft: p.X = MasterRect.Left; break;
    case daRight: p.X = MasterRect.Right - w; break;
    case daCenter: p.X = MasterRect.Left + (MasterRect.Width() - w) / 2; break;
  }
  if (w > work.Width()) DropDown->SetWidth(w = work.Width());
  WPARAM horizontal;
  if (p.X + w > work.Right) {
    p.X = work.Right - w;
    horizontal = kGripSideLeftEh;
  } else if (p.X < work.Left) {
    p.X = work.Left;
    horizontal = kGripSideRightEh;
  } else {
    horizontal = Align == daRight ? kGripSideLeftEh : kGripSideRightEh;
  }
  DropDown->Perform(CM_GRIPSIDE, horizontal, 0);
  return p;
}

TPoint PlaceDropDownUnder(TControl* MasterControl, TWinControl* DropDown, TDropDownAlign Align) {
  TPoint origin = MasterControl->Parent() ? MasterControl->Parent()->ClientToScreen(MasterControl->BoundsRect().TopLeft())
                                          : MasterControl->BoundsRect().TopLeft();
  return PlaceDropDownAtRect(Bounds(origin.X, origin.Y, MasterControl->Width(), MasterControl->Height()), DropDown,
                             Align);
}

// ================================================================ small helpers

void DrawDottedLine(TCanvas* Canvas, TPoint From, int Length, bool Parity, bool Horizontal) {
  int step = 2 * std::max(1, Canvas->Pen()->Width());
  bool odd = ((From.X + From.Y) & 1) != 0;
  if (odd != Parity) {
    if (Horizontal) ++From.X;
    else ++From.Y;
    --Length;
  }
  if (Length <= 0) return;
  int count = Length / step + (Length % 2 != 0 ? 1 : 0);
  for (int i = 0; i < count; ++i) {
    TPoint dot = Horizontal ? TPoint{From.X + i * step, From.Y} : TPoint{From.X, From.Y + i * step};
    TPoint end = Horizontal ? TPoint{dot.X + 1, dot.Y} : TPoint{dot.X, dot.Y + 1};
    Canvas->Polyline({dot, end});
  }
}

void DrawTreeNodeLines(TCanvas* Canvas, const TRect& Rect, int Kind, double UnitY, double UnitX, bool Parity) {
  auto units = [](double v) { return int(Round(v)); };
  TColor oldPen = Canvas->Pen()->Color();
  TColor oldBrush = Canvas->Brush()->Color();
  TBrushStyle oldBrushStyle = Canvas->Brush()->Style();
  int cx = (Rect.Left + Rect.Right) / 2, cy = (Rect.Top + Rect.Bottom) / 2;
  auto dottedV = [&](int y1, int y2) { DrawDottedLine(Canvas, {cx, y1}, y2 - y1, Parity, false); };
  auto dottedH = [&](int x1) { DrawDottedLine(Canvas, {x1, cy}, Rect.Right - x1, false, true); };
  if (Kind >= 0 && Kind <= 5) {
    int hw = units(4 * UnitX), hh = units(4 * UnitY);
    TRect box = ::Rect(cx - hw, cy - hh, cx + hw + 1, cy + hh + 1);
    Canvas->Pen()->SetColor(clBtnShadow);
    Canvas->Brush()->SetColor(clWindow);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Rectangle(box);
    Canvas->Pen()->SetColor(clWindowText);
    int insetX = units(2 * UnitX), insetY = units(2 * UnitY);
    Canvas->Polyline({{box.Left + insetX, cy}, {box.Right - insetX, cy}});
    if (Kind >= 3) Canvas->Polyline({{cx, box.Top + insetY}, {cx, box.Bottom - insetY}});
    Canvas->Pen()->SetColor(clBtnShadow);
    dottedH(box.Right - 1 + units(UnitX));
    if (Kind == 0 || Kind == 1 || Kind == 3 || Kind == 4) dottedV(Rect.Top, box.Top);
    if (Kind == 0 || Kind == 2 || Kind == 3 || Kind == 5) dottedV(box.Bottom - 1 + units(UnitY), Rect.Bottom);
  } else {
    Canvas->Pen()->SetColor(clBtnShadow);
    if (Kind == 6 || Kind == 9) dottedV(Rect.Top, Rect.Bottom);
    if (Kind == 6 || Kind == 7 || Kind == 8) dottedH(cx);
    if (Kind == 7) dottedV(Rect.Top, cy);
    if (Kind == 8) dottedV(cy, Rect.Bottom);
  }
  Canvas->Pen()->SetColor(oldPen);
  Canvas->Brush()->SetColor(oldBrush);
  Canvas->Brush()->SetStyle(oldBrushStyle);
}

bool IsSecondClickOfDoubleClick(TPoint OldPos, TPoint NewPos, DWORD Interval) {
  return Interval <= kDoubleClickTimeEh && std::abs(NewPos.X - OldPos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
         std::abs(NewPos.Y - OldPos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

namespace ToolCtrlsEh {

namespace {
// The element at Index of the first dimension, at the low bounds of any further ones.
Variant FirstDimensionElement(const Variant& A, int Index) {
  std::vector<int> indices{Index};
  for (int d = 2; d <= VarArrayDimCount(A); ++d) indices.push_back(VarArrayLowBound(A, d));
  return A.GetElement(indices);
}
}  // namespace

bool VariantsEqual(const Variant& A, const Variant& B) {
  try {
    bool arrayA = VarIsArray(A), arrayB = VarIsArray(B);
    if (arrayA != arrayB) return false;
    if (arrayA) {
      if (VarArrayDimCount(A) != VarArrayDimCount(B)) return false;
      int low = VarArrayLowBound(A, 1), high = VarArrayHighBound(A, 1);
      if (low != VarArrayLowBound(B, 1) || high != VarArrayHighBound(B, 1)) return false;
      for (int i = low; i <= high; ++i)
        if (!(FirstDimensionElement(A, i) == FirstDimensionElement(B, i))) return false;
      return true;
    }
    if (VarIsEmpty(A) || VarIsEmpty(B)) return VarIsEmpty(A) && VarIsEmpty(B);
    return A == B;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace ToolCtrlsEh
