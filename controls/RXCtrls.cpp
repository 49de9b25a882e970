#include "controls/RXCtrls.h"

#include "controls/RXConst.h"
#include "controls/VCLUtils.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "gui/ActnList.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Timers.h"

#include <algorithm>
#include <cassert>

namespace {

// The platform draws the new (three-dimensional) look of controls.
constexpr bool kNewStyleControls = true;

TGlyphCache* gGlyphCache = nullptr;
int gGlyphCount = 0;  // glyph objects alive

TGlyphCache* NeedCache() {
  if (!gGlyphCache) gGlyphCache = new TGlyphCache;
  return gGlyphCache;
}

// The 8 x 8 dither of face and highlight that a button staying down shows.
HBRUSH ExclusiveBrush() {
  TBitmap pattern;
  pattern.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, ((x + y) & 1) ? clBtnHighlight : clBtnFace);
  return CreatePatternBrush(pattern.Handle());
}

// Shortens each line of Text to Width with "..." appended, dropping characters from its end.
String ShortenText(TCanvas* Canvas, const String& Text, int Width) {
  std::vector<String> lines;
  std::size_t from = 0;
  for (;;) {
    std::size_t nl = Text.find('\n', from);
    lines.push_back(Text.substr(from, nl == String::npos ? String::npos : nl - from));
    if (nl == String::npos) break;
    from = nl + 1;
  }
  String out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    String line = lines[i];
    bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.pop_back();
    if (Canvas->TextWidth(line) > Width) {
      std::u32string chars = Utf8ToUtf32(line);
      while (!chars.empty()) {
        chars.pop_back();
        if (Canvas->TextWidth(Utf32ToUtf8(chars) + "...") <= Width) break;
      }
      line = Utf32ToUtf8(chars) + "...";
    }
    out += line;
    if (i + 1 < lines.size()) out += cr ? "\r\n" : "\n";
  }
  return TrimRight(out);
}

}  // namespace

// ================================================================ TGlyphList

KELM_PUBLISH(TGlyphList) {}

TGlyphList::TGlyphList(int AWidth, int AHeight) : TImageList(nullptr) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

int TGlyphList::AllocateIndex() {
  int index = FUsed.OpenBit();
  if (index >= TImageList::Count()) {
    TBitmap blank;
    blank.SetSize(Width(), Height());
    index = TImageList::Add(&blank, nullptr);
  }
  FUsed.SetBits(index, true);
  return index;
}

int TGlyphList::AddImage(TBitmap* Image, TBitmap* Mask) {
  int index = AllocateIndex();
  Replace(index, Image, Mask);
  ++FCount;
  return index;
}

int TGlyphList::AddMasked(TBitmap* Image, TColor MaskColor) {
  int index = AllocateIndex();
  ReplaceMasked(index, Image, MaskColor);
  ++FCount;
  return index;
}

void TGlyphList::ReleaseIndex(int Index) {
  if (Index < FUsed.Size() && FUsed[Index]) {
    FUsed.SetBits(Index, false);
    --FCount;
  }
}

// ================================================================ TGlyphCache

TGlyphCache::~TGlyphCache() {
  for (TGlyphList* l : FLists) delete l;
}

TGlyphList* TGlyphCache::ListFor(int AWidth, int AHeight) {
  for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
    if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return *it;
  FLists.push_back(new TGlyphList(AWidth, AHeight));
  return FLists.back();
}

void TGlyphCache::ReturnList(TGlyphList* List) {
  if (!List || List->Count() != 0) return;
  FLists.erase(std::remove(FLists.begin(), FLists.end(), List), FLists.end());
  delete List;
}

TGlyphCache* GlyphCache() { return gGlyphCache; }

// ================================================================ TRxButtonGlyph

TRxButtonGlyph::TRxButtonGlyph() : FOriginal(std::make_unique<TBitmap>()) {
  FOriginal->SetOnChange(TNotifyEvent(this, &TRxButtonGlyph::GlyphChanged));
  NeedCache();
  ++gGlyphCount;
}

TRxButtonGlyph::~TRxButtonGlyph() {
  FOriginal->SetOnChange(TNotifyEvent());
  ReleaseImages();
  --gGlyphCount;
  if (gGlyphCache && gGlyphCache->IsEmpty()) {
    delete gGlyphCache;
    gGlyphCache = nullptr;
  }
}

void TRxButtonGlyph::SetGlyph(TBitmap* Value) {
  ReleaseImages();
  FOriginal->Assign(Value);  // GlyphChanged follows
}

void TRxButtonGlyph::SetNumGlyphs(TRxNumGlyphs Value) {
  Value = std::min(Value, 5);
  if (Value <= 0 || Value == FNumGlyphs) return;
  ReleaseImages();
  FNumGlyphs = Value;
  OnChange(this);
}

void TRxButtonGlyph::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  OnChange(this);
}

void TRxButtonGlyph::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  OnChange(this);
}

void TRxButtonGlyph::GlyphChanged(TObject*) {
  ReleaseImages();
  const int w = FOriginal->Width(), h = FOriginal->Height();
  if (h > 0) {
    FTransparentColor = TColor(int(FOriginal->TransparentColor()) & ~0x02000000);
    if (w % h == 0) {
      const int n = w / h;
      if (n > 0) FNumGlyphs = n <= 5 ? n : 1;
    }
  }
  OnChange(this);
}

void TRxButtonGlyph::ReleaseImages() {
  for (int& i : FIndexs)
    if (i != -1) {
      FGlyphList->ReleaseIndex(i);
      i = -1;
    }
  if (gGlyphCache) gGlyphCache->ReturnList(FGlyphList);
  FGlyphList = nullptr;
}

TGlyphList* TRxButtonGlyph::NeedList(int W, int H) {
  if (!FGlyphList) FGlyphList = NeedCache()->ListFor(W, H);
  return FGlyphList;
}

COLORREF GrayOfColor(COLORREF Color, COLORREF Transparent) {
  if (Color == Transparent || Color == ColorToRGB(clBtnFace)) return Color;
  const int g = (77 * GetRValue(Color) + 150 * GetGValue(Color) + 29 * GetBValue(Color)) >> 8;
  return RGB(g, g, g);
}

namespace {
// Every pixel of the W x H corner of Source through the gray mapping into Dest.
void GrayInto(TBitmap* Dest, TBitmap* Source, int W, int H, COLORREF Transparent) {
  for (int y = 0; y < H && y < Source->Height(); ++y) {
    const Byte* s = Source->ScanLine(y);
    Byte* d = Dest->ScanLine(y);
    for (int x = 0; x < W && x < Source->Width(); ++x) {
      COLORREF c = GrayOfColor(RGB(s[4 * x + 2], s[4 * x + 1], s[4 * x]), Transparent);
      d[4 * x] = GetBValue(c);
      d[4 * x + 1] = GetGValue(c);
      d[4 * x + 2] = GetRValue(c);
      d[4 * x + 3] = 255;
    }
  }
  Dest->ImageChanged();
}
}  // namespace

int TRxButtonGlyph::StateImage(TRxDrawState State) {
  if (State == rsDown && FNumGlyphs < 3) State = rsUp;
  int& slot = FIndexs[State];
  if (slot != -1) return slot;
  if (FOriginal->Width() == 0 || FOriginal->Height() == 0) return -1;
  const int w = FOriginal->Width() / FNumGlyphs, h = FOriginal->Height();
  TGlyphList* list = NeedList(w, h);
  TBitmap work;
  work.SetSize(w, h);
  work.Canvas()->Brush()->SetColor(clBtnFace);
  work.Canvas()->FillRect(Rect(0, 0, w, h));
  const int image = State < FNumGlyphs ? State : 0;
  const TRect source = Rect(image * w, 0, (image + 1) * w, h);
  auto copySource = [&] { work.Canvas()->CopyRect(Rect(0, 0, w, h), FOriginal->Canvas(), source); };
  if (State == rsDisabled && FNumGlyphs < 2) {
    std::unique_ptr<TBitmap> disabled = MakeDisabledImage(FOriginal.get(), clBlack);
    slot = list->AddMasked(disabled.get(), TColor(ColorToRGB(clBtnFace)));
  } else if (State == rsInactive && FNumGlyphs < 5) {
    GrayInto(&work, FOriginal.get(), w, h, ColorToRGB(FTransparentColor));
    slot = list->AddMasked(&work, FTransparentColor);
  } else {
    copySource();
    slot = list->AddMasked(&work, FTransparentColor);
  }
  FOriginal->Dormant();
  return slot;
}

int TRxButtonGlyph::ListStateImage(TCustomImageList* Images, int Index, TRxDrawState State) {
  if (State == rsDown) State = rsUp;
  int& slot = FIndexs[State];
  if (slot != -1 || !Images || Images->Count() == 0 || Images->Width() <= 0 || Images->Height() <= 0) return slot;
  const int w = Images->Width(), h = Images->Height();
  TGlyphList* list = NeedList(w, h);
  TBitmap work;
  work.SetSize(w, h);
  TCanvas* c = work.Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, w, h));
  if (State == rsDisabled) {
    DrawListImageDisabled(Images, c, 0, 0, Index, clBtnHighlight, clBtnShadow, true);
    slot = list->AddMasked(&work, TColor(ColorToRGB(clBtnFace)));
  } else if (State == rsInactive) {
    Images->Draw(c, 0, 0, Index, dsNormal, itImage);
    GrayInto(&work, &work, w, h, ColorToRGB(clBtnFace));
    slot = list->AddMasked(&work, TColor(ColorToRGB(clBtnFace)));
  } else {
    Images->Draw(c, 0, 0, Index, dsNormal, itImage);
    TBitmap mask;
    mask.SetSize(w, h);
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect(Rect(0, 0, w, h));
    Images->Draw(mask.Canvas(), 0, 0, Index, dsNormal, itMask);
    mask.SetMonochrome(true);
    slot = list->AddImage(&work, &mask);
  }
  return slot;
}

TPoint TRxButtonGlyph::DrawButtonGlyph(TCanvas* Canvas, TPoint P, TRxDrawState State, TCustomImageList* Images,
                                       int ImageIndex) {
  int index;
  if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) index = ListStateImage(Images, ImageIndex, State);
  else index = StateImage(State);
  if (index < 0 || !FGlyphList) return {0, 0};
  FGlyphList->Draw(Canvas, P.X, P.Y, index);
  return {FGlyphList->Width(), FGlyphList->Height()};
}

void TRxButtonGlyph::DrawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TRxDrawState State,
                                    UINT Flags) {
  String text = Caption;
  if (Length(text) > 255) text = Copy(text, 1, 255);
  Canvas->Brush()->SetStyle(bsClear);
  const UINT format = (FWordWrap ? UINT(DT_WORDBREAK) : 0u) | DT_VCENTER | Flags;
  HDC dc = Canvas->Handle();
  if (State == rsDisabled) {
    TRect shifted = TextBounds;
    OffsetRect(shifted, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    DrawText(Canvas->Handle(), text, -1, &shifted, format);
    Canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(Canvas->Handle(), text, -1, &TextBounds, format);
  (void)dc;
}

void TRxButtonGlyph::DrawPopupMark(TCanvas* Canvas, int X, int Y, TRxDrawState State) {
  auto triangle = [&](int x0, int y0, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int row = 0; row < 4; ++row) {
      const int len = 7 - 2 * row;
      Canvas->MoveTo(x0 + row, y0 - 1 + row);
      Canvas->LineTo(x0 + row + len, y0 - 1 + row);
    }
  };
  if (State == rsDisabled) {
    triangle(X + 1, Y + 1, clBtnHighlight);
    triangle(X, Y, clBtnShadow);
  } else {
    triangle(X, Y, clBtnText);
  }
}

void TRxButtonGlyph::CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, String& Caption,
                                TButtonLayout Layout, int Margin, int Spacing, bool PopupMark,
                                TCustomImageList* Images, UINT Flags, TPoint& GlyphPos, TRect& TextBounds) {
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  const TPoint clientSize{Client.Width(), Client.Height()};
  TPoint glyph{0, 0};
  if (Images && Images->Width() > 0) glyph = {Images->Width(), Images->Height()};
  else if (FOriginal->Width() > 0) glyph = {FOriginal->Width() / FNumGlyphs, FOriginal->Height()};
  // The text area along the axis and across it.
  TPoint area = clientSize;
  if (horizontal) {
    area.X -= glyph.X + (Margin != -1 ? Margin : 0) + (Spacing != -1 ? Spacing : 0) + (PopupMark ? 9 : 0);
  } else {
    area.Y -= glyph.Y + (Margin != -1 ? Margin : 0) + (Spacing != -1 ? Spacing : 0);
  }
  area.X = std::max(area.X, 0);
  area.Y = std::max(area.Y, 0);
  if (!FWordWrap) Caption = ShortenText(Canvas, Caption, area.X);
  TPoint text{0, 0};
  if (!Caption.empty()) {
    TRect r = Rect(0, 0, area.X, 0);
    DrawText(Canvas->Handle(), Caption, -1, &r,
             DT_CALCRECT | DT_VCENTER | DT_CENTER | (FWordWrap ? UINT(DT_WORDBREAK) : 0u) | Flags);
    text = {std::min(r.Width(), area.X), std::min(r.Height(), area.Y)};
  }
  if (PopupMark) {
    if (glyph.X == 0 || Layout == blGlyphLeft) text.X += 9;
    else glyph.X += 6;
  }
  // Across the axis both are centred.
  if (horizontal) {
    GlyphPos.Y = clientSize.Y / 2 - glyph.Y / 2;
    TextBounds.Top = clientSize.Y / 2 - text.Y / 2;
  } else {
    GlyphPos.X = clientSize.X / 2 - glyph.X / 2;
    TextBounds.Left = clientSize.X / 2 - text.X / 2;
  }
  const int size = horizontal ? clientSize.X : clientSize.Y;
  const int g = horizontal ? glyph.X : glyph.Y, t = horizontal ? text.X : text.Y;
  if (t == 0 || g == 0) Spacing = 0;
  if (Margin == -1 && Spacing == -1) {
    Spacing = Margin = (size - g - t) / 3;
  } else if (Margin == -1) {
    Margin = size / 2 - (Spacing + g + t) / 2;
  } else if (Spacing == -1) {
    Spacing = (size - Margin - g) / 2 - t / 2;
  }
  int glyphAt, textAt;
  if (Layout == blGlyphLeft || Layout == blGlyphTop) {
    glyphAt = Margin;
    textAt = Margin + g + Spacing;
  } else {
    glyphAt = size - Margin - g;
    textAt = glyphAt - Spacing - t;
  }
  if (horizontal) {
    GlyphPos.X = glyphAt;
    TextBounds.Left = textAt;
  } else {
    GlyphPos.Y = glyphAt;
    TextBounds.Top = textAt;
  }
  GlyphPos.X += Client.Left + Offset.X;
  GlyphPos.Y += Client.Top + Offset.Y;
  TextBounds = Bounds(TextBounds.Left + Client.Left + Offset.X, TextBounds.Top + Client.Top + Offset.Y, text.X, text.Y);
}

TRect TRxButtonGlyph::RenderEx(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                               TButtonLayout Layout, int Margin, int Spacing, TRxDrawState State, bool PopupMark,
                               TCustomImageList* Images, int ImageIndex, UINT Flags) {
  String text = Caption;
  TPoint glyphPos;
  TRect textBounds;
  CalcLayout(Canvas, Client, Offset, text, Layout, Margin, Spacing, PopupMark, Images, Flags, glyphPos, textBounds);
  TPoint drawn = DrawButtonGlyph(Canvas, glyphPos, State, Images, ImageIndex);
  DrawButtonText(Canvas, text, textBounds, State, Flags);
  if (PopupMark) {
    int x, y;
    if (Layout != blGlyphLeft && drawn.X > 0) {
      x = glyphPos.X + drawn.X + 1;
      y = glyphPos.Y + drawn.Y / 2;
    } else {
      x = !text.empty() ? textBounds.Right + 3 : (Client.Left + Client.Right - 7) / 2;
      y = textBounds.Top + textBounds.Height() / 2;
    }
    DrawPopupMark(Canvas, x, y, State);
  }
  return textBounds;
}

// ================================================================ frames and background

TRect PaintButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style) {
  TRect r = Client;
  const bool newLook = Style == bsNew || (Style == bsAutoDetect && kNewStyleControls);
  auto ring = [&](TColor TopLeft, TColor BottomRight) { Frame3D(Canvas, r, TopLeft, BottomRight, 1); };
  if (IsDown) {
    if (newLook) {
      ring(clWindowFrame, clBtnHighlight);
      if (!IsFlat) ring(clBtnShadow, clBtnFace);
    } else if (IsFlat) {
      ring(clWindowFrame, clBtnHighlight);
    } else {
      ring(clWindowFrame, clWindowFrame);
      Canvas->Pen()->SetColor(clBtnShadow);
      Canvas->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
    }
  } else if (newLook) {
    if (IsFlat) {
      ring(clBtnHighlight, clBtnShadow);
    } else {
      ring(clBtnHighlight, clWindowFrame);
      ring(clBtnFace, clBtnShadow);
    }
  } else if (IsFlat) {
    ring(clBtnHighlight, clWindowFrame);
  } else {
    ring(clWindowFrame, clWindowFrame);
    ring(clBtnHighlight, clBtnShadow);
  }
  InflateRect(r, -1, -1);
  return r;
}

void PaintParentBackground(TControl* Control, TCanvas* Canvas) {
  TWinControl* parent = Control->Parent();
  if (!parent) return;
  HDC dc = Canvas->Handle();
  auto paintCopy = [&](TControl* Target, int X, int Y, int W, int H, bool Erase) {
    TControlState state = Target->ControlState();
    Target->SetControlState(state + csPaintCopy);
    TScopeExit clear([&] { Target->SetControlState(Target->ControlState() - csPaintCopy); });
    const int saved = SaveDC(dc);
    TScopeExit restore([&] { RestoreDC(dc, saved); });
    SetViewportOrgEx(dc, X, Y, nullptr);
    IntersectClipRect(dc, 0, 0, W, H);
    if (Erase) Target->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Target->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  };
  paintCopy(parent, -Control->Left(), -Control->Top(), parent->ClientWidth(), parent->ClientHeight(), true);
  const TRect self = Control->BoundsRect();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == Control) break;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    TRect overlap;
    if (!IntersectRect(overlap, self, c->BoundsRect())) continue;
    paintCopy(c, c->Left() - Control->Left(), c->Top() - Control->Top(), c->Width(), c->Height(), false);
  }
}

// ================================================================ TRxSpeedButton

KELM_PUBLISH(TRxSpeedButton) { Published(b); }

TRxSpeedButton::TRxSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  InstallRxCursors();
  SetBounds(0, 0, 25, 25);
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable});
  FDrawImage = std::make_unique<TBitmap>();
  FGlyph = std::make_unique<TRxButtonGlyph>();
  FGlyph->OnChange = TNotifyEvent(this, &TRxSpeedButton::GlyphChanged);
  SetParentFont(true);
  SetParentShowHint(false);
  SetShowHint(true);
}

TRxSpeedButton::~TRxSpeedButton() {
  FGlyph->OnChange = TNotifyEvent();
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TRxSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TRxSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  FGlyph->StateImage(Enabled() ? rsUp : rsDisabled);
}

// ---- setters

void TRxSpeedButton::SetAlignment(TAlignment Value) { FGlyph->SetAlignment(Value); }
void TRxSpeedButton::SetWordWrap(bool Value) { FGlyph->SetWordWrap(Value); }

void TRxSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->SetGlyph(Value);
  Invalidate();
}

void TRxSpeedButton::SetNumGlyphs(TRxNumGlyphs Value) {
  FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

#define KELM_RX_SETTER(Name, Type, Field)      \
  void TRxSpeedButton::Set##Name(Type Value) { \
    if (Value == Field) return;                \
    Field = Value;                             \
    Invalidate();                              \
  }
KELM_RX_SETTER(Layout, TButtonLayout, FLayout)
KELM_RX_SETTER(Spacing, int, FSpacing)
KELM_RX_SETTER(Flat, bool, FFlat)
KELM_RX_SETTER(Style, TButtonStyle, FStyle)
KELM_RX_SETTER(MarkDropDown, bool, FMarkDropDown)
KELM_RX_SETTER(Transparent, bool, FTransparent)
KELM_RX_SETTER(GrayedInactive, bool, FGrayedInactive)
#undef KELM_RX_SETTER

void TRxSpeedButton::SetMargin(int Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TRxSpeedButton::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TRxSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == FAllowAllUp) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TRxSpeedButton::SetAllowTimer(bool Value) {
  FAllowTimer = Value;
  if (!Value && FRepeatTimer) {
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer.reset();
  }
}

void TRxSpeedButton::SetDropDownMenu(TPopupMenu* Value) {
  if (Value == FDropDownMenu) return;
  FDropDownMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (FMarkDropDown) Invalidate();
}

void TRxSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) {
    FDropDownMenu = nullptr;
    if (FMarkDropDown) Invalidate();
  }
}

void TRxSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FState == rsUp) Invalidate();
    FState = rsExclusive;
  } else {
    FState = rsUp;
  }
  Repaint();
  if (Value) UpdateExclusive();
  Invalidate();
}

void TRxSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m{CM_RXBUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  for (int i = 0; i < Parent()->ControlCount(); ++i) Parent()->Controls(i)->Dispatch(m);
}

void TRxSpeedButton::CMButtonPressed(TMessage& M) {
  if (M.WParam != WPARAM(FGroupIndex) || !Parent() || !Parent()->HandleAllocated()) return;
  auto* sender = dynamic_cast<TRxSpeedButton*>(reinterpret_cast<TObject*>(M.LParam));
  if (!sender || sender == this) return;
  if (sender->Down() && FDown) {
    FDown = false;
    FState = rsUp;
    Repaint();
  }
  FAllowAllUp = sender->AllowAllUp();
}

void TRxSpeedButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TGraphicControl::Click();
}

// ---- painting

void TRxSpeedButton::Paint() {
  // The parent drawn under a transparent button paints this button too: it stays out then.
  if (FPaintingBackground) return;
  if (!Enabled()) {
    FState = rsDisabled;
    FDragging = false;
  } else if (FState == rsDisabled) {
    FState = FDown && FGroupIndex != 0 ? rsExclusive : rsUp;
  }
  const bool designing = ComponentState().Contains(csDesigning);
  const TRxDrawState painted = FFlat && !FMouseInControl && !designing ? rsInactive : FState;
  FDrawImage->SetSize(Width(), Height());
  TCanvas* c = FDrawImage->Canvas();
  c->SetFont(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  TRect r = Rect(0, 0, Width(), Height());
  c->FillRect(r);
  if (FTransparent) {
    TRestore<bool> guard(FPaintingBackground, true);
    PaintParentBackground(this, c);
  }
  if (!(painted == rsInactive && FState != rsExclusive)) {
    r = PaintButtonFrame(c, r, FState == rsDown || FState == rsExclusive, FFlat, FStyle);
  } else {
    InflateRect(r, -2, -2);
  }
  if (FState == rsExclusive && !FTransparent && (!FFlat || painted == rsInactive)) {
    TRect fill = r;
    InflateRect(fill, 1, 1);
    HBRUSH pattern = ExclusiveBrush();
    FillRect(c->Handle(), fill, pattern);
    DeleteObject(pattern);
  }
  if (FState == rsDown || FState == rsExclusive) OffsetRect(r, 1, 1);
  TRxDrawState glyphState = FState != rsDisabled && FGrayedInactive ? painted : FState;
  PaintContent(c, r, FMarkDropDown && FDropDownMenu, glyphState);
  Canvas()->Draw(0, 0, FDrawImage.get());
}

void TRxSpeedButton::PaintContent(TCanvas* Canvas, const TRect& Client, bool PopupMark, TRxDrawState State) {
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  UINT flags = kAlign[FGlyph->Alignment()];
  if (UseRightToLeftAlignment()) flags = (flags == DT_LEFT ? UINT(DT_RIGHT) : flags == DT_RIGHT ? UINT(DT_LEFT) : flags) | DT_RTLREADING;
  FGlyph->RenderEx(Canvas, Client, {0, 0}, Caption(), FLayout, FMargin, FSpacing, State, PopupMark, nullptr, -1, flags);
}

// ---- mouse

TPoint TRxSpeedButton::MenuPoint() const {
  if (!FDropDownMenu) return {0, 0};
  const TPopupAlignment align = FDropDownMenu->Alignment();
  if (FMenuPosition == dmpBottom) {
    const int x = align == paLeft ? -1 : align == paRight ? Width() + 1 : Width() / 2;
    return {x, Height()};
  }
  if (align == paCenter) return {Width() / 2, Height()};
  return align == paLeft ? TPoint{Width(), -1} : TPoint{-1, -1};
}

bool TRxSpeedButton::ShowDropDownMenu(TPoint P, bool Manual) {
  if (ComponentState().Contains(csDesigning) || !FDropDownMenu) return false;
  if (!FDropDownMenu->AutoPopup() && !Manual) return false;
  if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(nullptr);
  FDropDownMenu->SetPopupComponent(this);
  const TPoint s = ClientToScreen(P);
  FDropDownMenu->Popup(s.X, s.Y);
  return true;
}

// A press the user made on the button while its menu was open closed the menu; it must not
// open the menu again.
void TRxSpeedButton::DropQueuedPress() {
  TMsg msg;
  if (!PeekMessage(msg, 0, 0, 0, PM_NOREMOVE)) return;
  if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK) return;
  TWinControl* target = FindControl(msg.hwnd);
  if (!target) return;
  const TPoint p = ScreenToClient(target->ClientToScreen(PointFromLParam(msg.lParam)));
  if (Inside(p.X, p.Y)) PeekMessage(msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
}

void TRxSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMenuTracking) return;
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!FMouseInControl && Enabled()) {
    FMouseInControl = true;
    Repaint();
  }
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = rsDown;
    Repaint();
  }
  FDragging = true;
  {
    TRestore<bool> tracking(FMenuTracking, true);
    if (ShowDropDownMenu(MenuPoint(), false)) FinishPress(Button, X, Y);
    DropQueuedPress();
  }
  if (FAllowTimer) {
    if (!FRepeatTimer) FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(FInitPause);
    FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TRxSpeedButton::RepeatTick));
    FRepeatTimer->SetEnabled(true);
  }
}

void TRxSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const TRxDrawState next = Inside(X, Y) ? (FDown ? rsExclusive : rsDown) : (FDown ? rsExclusive : rsUp);
  if (next != FState) {
    FState = next;
    Repaint();
  }
}

void TRxSpeedButton::FinishPress(TMouseButton Button, int X, int Y) {
  if (FDragging && Button == mbLeft) {
    FDragging = false;
    const bool inside = Inside(X, Y);
    if (FGroupIndex == 0) {
      FState = rsUp;
      FMouseInControl = false;
      if (inside) Repaint();
      else Invalidate();
    } else if (inside) {
      SetDown(!FDown);
      if (FDown) Repaint();
    } else if (FDown) {
      FState = rsExclusive;
      Repaint();
    }
    if (inside && !FMenuTracking) Click();
  }
  UpdateTracking();
}

void TRxSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  FinishPress(Button, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TRxSpeedButton::RepeatTick(TObject*) {
  FRepeatTimer->SetInterval(FRepeatInterval);
  if (FState != rsDown || !MouseCapture()) return;
  // A click that fails stops the repeating; the failure goes on to be shown.
  bool clicked = false;
  TScopeExit stopOnFailure([&] {
    if (!clicked && FRepeatTimer) FRepeatTimer->SetEnabled(false);
  });
  Click();
  clicked = true;
}

// ---- hover

void TRxSpeedButton::SetMouseOver(bool Value, bool Fire) {
  FMouseInControl = Value;
  if (FFlat) {
    if (Value) Repaint();
    else Invalidate();
  }
  if (!Fire) return;
  if (Value) DoMouseEnter();
  else DoMouseLeave();
}

void TRxSpeedButton::UpdateTracking() {
  if (!Parent()) return;
  TPoint p;
  GetCursorPos(&p);
  const bool over = Enabled() && FindDragTarget(p, true) == this && ActiveWindowIsOwn();
  if (over != FMouseInControl) SetMouseOver(over, true);
}

void TRxSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action) return;
  if (FGroupIndex != 0 && !(CheckDefaults && FDown)) SetDown(action->Checked());
  TCustomImageList* images = action->ActionList() ? action->ActionList()->Images() : nullptr;
  if (Glyph()->Empty() && images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
    TBitmap b;
    b.SetSize(images->Width(), images->Height());
    b.Canvas()->Brush()->SetColor(TColor(0xFF00FF));
    b.Canvas()->FillRect(Rect(0, 0, b.Width(), b.Height()));
    images->Draw(b.Canvas(), 0, 0, action->ImageIndex());
    b.SetTransparentColor(TColor(0xFF00FF));
    SetGlyph(&b);
  }
}

void TRxSpeedButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_RXBUTTONPRESSED:
      CMButtonPressed(M);
      return;
    case WM_LBUTTONDBLCLK:
      if (FMenuTracking) return;
      TGraphicControl::Dispatch(M);
      if (FDown) OnDblClick(this);
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      TGraphicControl::Dispatch(M);
      UpdateTracking();
      return;
    case CM_MOUSEENTER:
      if (M.LParam != 0) break;
      if (!FMouseInControl && Enabled() && ActiveWindowIsOwn()) SetMouseOver(true, true);
      if (Parent()) Parent()->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
      return;
    case CM_MOUSELEAVE:
      if (M.LParam != 0) break;
      if (FMouseInControl && Enabled() && !FDragging) SetMouseOver(false, true);
      if (Parent()) Parent()->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
      return;
    case CM_DIALOGCHAR:
      if (Enabled() && Visible() && IsAccel(Char(M.WParam), Caption())) {
        Click();
        M.Result = 1;
        return;
      }
      break;
    case CM_ENABLEDCHANGED:
      TGraphicControl::Dispatch(M);
      FGlyph->StateImage(!Enabled() ? rsDisabled : FFlat ? rsInactive : rsUp);
      UpdateTracking();
      Repaint();
      return;
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(M);
      if (Visible()) UpdateTracking();
      return;
    case CM_SYSCOLORCHANGE:
      FGlyph->ReleaseImages();
      Invalidate();
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::Dispatch(M);
      Invalidate();
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(M);
}

// ================================================================ TRxTimerSpeedButton

KELM_PUBLISH(TRxTimerSpeedButton) { Published(b); }

TRxTimerSpeedButton::TRxTimerSpeedButton(TComponent* AOwner) : TRxSpeedButton(AOwner) {
  SetStyle(bsWin31);
  SetAllowTimer(true);
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  SetControlStyle(style);
}
