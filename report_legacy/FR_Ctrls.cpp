#include "report_legacy/FR_Ctrls.h"

#include "core/ClassBuilder.h"
#include "core/Registry.h"
#include "core/Scope.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/Pictures.h"
#include "gui/WinUser.h"

#include <algorithm>
#include <cassert>

namespace {

frctrls::TGlyphCache* gGlyphCache = nullptr;

frctrls::TGlyphCache* NeedCache() {
  if (!gGlyphCache) gGlyphCache = new frctrls::TGlyphCache;
  return gGlyphCache;
}

// Shared by every button: the checker of a latched button and the bitmap small buttons are
// drawn in before they reach the screen. Made at the first paint, freed with the last button.
int gButtonCount = 0;
TBitmap* gPattern = nullptr;
TBitmap* gWorkBitmap = nullptr;
constexpr int kWorkSize = 100;

void CreateSharedBitmaps() {
  if (!gPattern) {
    gPattern = new TBitmap;
    gPattern->SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        gPattern->Canvas()->SetPixels(x, y, (x & 1) == (y & 1) ? clWhite : clBtnFace);
  }
  if (!gWorkBitmap) {
    gWorkBitmap = new TBitmap;
    gWorkBitmap->SetSize(kWorkSize, kWorkSize);
  }
}

void FreeSharedBitmaps() {
  delete gPattern;
  gPattern = nullptr;
  delete gWorkBitmap;
  gWorkBitmap = nullptr;
}

COLORREF PixelAt(const TBitmap* B, int X, int Y) {
  const Byte* p = B->ScanLine(Y) + 4 * X;
  return RGB(p[2], p[1], p[0]);
}

void SetPixelAt(TBitmap* B, int X, int Y, COLORREF C) {
  Byte* p = B->ScanLine(Y) + 4 * X;
  p[0] = GetBValue(C);
  p[1] = GetGValue(C);
  p[2] = GetRValue(C);
  p[3] = 255;
}

// A W x H bitmap of the button face.
std::unique_ptr<TBitmap> FaceBitmap(int W, int H) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W, H);
  b->Canvas()->Brush()->SetColor(clBtnFace);
  b->Canvas()->FillRect(Rect(0, 0, W, H));
  return b;
}

// The gray level below which a pixel counts as part of the drawing when a glyph is embossed.
bool IsInk(COLORREF C, COLORREF Transparent) {
  if (C == Transparent) return false;
  const int g = (77 * GetRValue(C) + 150 * GetGValue(C) + 29 * GetBValue(C)) >> 8;
  return g < 192;
}

}  // namespace

COLORREF GrayColor(COLORREF Color, COLORREF Transparent) {
  if (Color == Transparent || Color == ColorToRGB(clBtnFace)) return Color;
  const int g = (77 * GetRValue(Color) + 150 * GetGValue(Color) + 29 * GetBValue(Color)) / 256;
  return RGB(g, g, g);
}

namespace frctrls {

// ================================================================ TGlyphList

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

int TGlyphList::AddMasked(TBitmap* Image, TColor MaskColor) {
  const int index = AllocateIndex();
  ReplaceMasked(index, Image, MaskColor);
  ++FCount;
  return index;
}

int TGlyphList::AddImage(TBitmap* Image) {
  const int index = AllocateIndex();
  Replace(index, Image, nullptr);
  ++FCount;
  return index;
}

void TGlyphList::Delete(int Index) {
  if (Index < 0 || Index >= FUsed.Size() || !FUsed[Index]) return;
  FUsed.SetBits(Index, false);
  --FCount;
}

// ================================================================ TGlyphCache

TGlyphCache::~TGlyphCache() {
  for (TGlyphList* l : FLists) delete l;
}

TGlyphList* TGlyphCache::GetList(int AWidth, int AHeight) {
  for (TGlyphList* l : FLists)
    if (l->Width() == AWidth && l->Height() == AHeight) return l;
  FLists.push_back(new TGlyphList(AWidth, AHeight));
  return FLists.back();
}

void TGlyphCache::ReturnList(TGlyphList* List) {
  if (!List || List->Count() != 0) return;
  FLists.erase(std::remove(FLists.begin(), FLists.end(), List), FLists.end());
  delete List;
}

TGlyphCache* GlyphCache() { return gGlyphCache; }

// ================================================================ TButtonGlyph

TButtonGlyph::TButtonGlyph() : FOriginal(std::make_unique<TBitmap>()) {
  FOriginal->SetOnChange(TNotifyEvent(this, &TButtonGlyph::GlyphChanged));
}

TButtonGlyph::~TButtonGlyph() {
  FOriginal->SetOnChange(TNotifyEvent());
  Invalidate();
  if (gGlyphCache && gGlyphCache->Empty()) {
    delete gGlyphCache;
    gGlyphCache = nullptr;
  }
}

void TButtonGlyph::Invalidate() {
  for (int& i : FIndexs)
    if (i != -1) {
      FGlyphList->Delete(i);
      i = -1;
    }
  if (gGlyphCache) gGlyphCache->ReturnList(FGlyphList);
  FGlyphList = nullptr;
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  FOriginal->Assign(Value);  // GlyphChanged follows
}

void TButtonGlyph::GlyphChanged(TObject*) {
  Invalidate();
  const int w = FOriginal->Width(), h = FOriginal->Height();
  if (h > 0) {
    FTransparentColor = TColor(ColorToRGB(FOriginal->TransparentColor()));
    if (w % h == 0) {
      const int n = w / h;
      FNumGlyphs = n < 5 && n > 0 ? n : 1;
    }
  }
  OnChange(this);
}

void TButtonGlyph::SetNumGlyphs(int Value) {
  Value = std::min(Value, 4);
  if (Value <= 0 || Value == FNumGlyphs) return;
  Invalidate();
  FNumGlyphs = Value;
  OnChange(this);
}

int TButtonGlyph::CreateStateImage(TfrButtonState State) {
  if (State == fbsPressed && FNumGlyphs < 3) State = fbsUp;
  int& slot = FIndexs[State];
  if (slot != -1) return slot;
  if (FOriginal->Width() == 0 || FOriginal->Height() == 0) return -1;
  const int w = FOriginal->Width() / FNumGlyphs, h = FOriginal->Height();
  if (!FGlyphList) FGlyphList = NeedCache()->GetList(w, h);
  const COLORREF transparent = ColorToRGB(FTransparentColor), face = ColorToRGB(clBtnFace);
  std::unique_ptr<TBitmap> work = FaceBitmap(w, h);
  // Image Part of the bitmap through Pixel into the work bitmap.
  auto map = [&](int Part, auto Pixel) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixelAt(work.get(), x, y, Pixel(PixelAt(FOriginal.get(), Part * w + x, y)));
    work->ImageChanged();
  };
  switch (State) {
    case fbsDisabled: {
      // The drawing of the image embossed into the face: highlight one pixel right and down,
      // the shadow on top.
      const int part = FNumGlyphs >= 2 ? 1 : 0;
      const COLORREF highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
      for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            if (!IsInk(PixelAt(FOriginal.get(), part * w + x, y), transparent)) continue;
            if (pass == 0 && x + 1 < w && y + 1 < h) SetPixelAt(work.get(), x + 1, y + 1, highlight);
            if (pass == 1) SetPixelAt(work.get(), x, y, shadow);
          }
      work->ImageChanged();
      slot = FGlyphList->AddImage(work.get());
      break;
    }
    case fbsGrayed:
      map(0, [&](COLORREF c) { return c == transparent ? face : GrayColor(c, transparent); });
      slot = FGlyphList->AddMasked(work.get(), TColor(face));
      break;
    default: {
      const int part = State < FNumGlyphs ? int(State) : 0;
      map(part, [](COLORREF c) { return c; });
      slot = FGlyphList->AddMasked(work.get(), TColor(transparent));
      break;
    }
  }
  return slot;
}

void TButtonGlyph::CalcLayout(TCanvas* Canvas, const TRect& Client, const String& Caption, TButtonLayout Layout,
                              int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds) const {
  const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  const TPoint client{Client.Width(), Client.Height()};
  TPoint glyph{0, 0};
  if (FOriginal->Width() > 0) glyph = {FOriginal->Width() / FNumGlyphs, FOriginal->Height()};
  TPoint text{0, 0};
  if (!Caption.empty()) {
    TRect r = Rect(0, 0, client.X, 0);
    DrawText(Canvas->Handle(), Caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    text = {r.Width(), r.Height()};
  }
  // Across the axis each part is centred.
  if (horizontal) {
    GlyphPos.Y = (client.Y - glyph.Y + 1) / 2;
    TextBounds.Top = (client.Y - text.Y + 1) / 2;
  } else {
    GlyphPos.X = (client.X - glyph.X + 1) / 2;
    TextBounds.Left = (client.X - text.X + 1) / 2;
  }
  const int size = horizontal ? client.X : client.Y;
  const int g = horizontal ? glyph.X : glyph.Y, t = horizontal ? text.X : text.Y;
  if (t == 0 || g == 0) Spacing = 0;
  if (Margin == -1) {
    if (Spacing == -1) Margin = Spacing = (size - g - t) / 3;
    else Margin = (size - (Spacing + g + t) + 1) / 2;
  } else if (Spacing == -1) {
    Spacing = (size - Margin - g - t) / 2;
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
  GlyphPos.X += Client.Left;
  GlyphPos.Y += Client.Top;
  TextBounds = Bounds(TextBounds.Left + Client.Left, TextBounds.Top + Client.Top, text.X, text.Y);
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, const String& Caption, bool /*Transparent*/,
                         TfrButtonState State, int Spacing, int Margin, TButtonLayout Layout) {
  TPoint glyphPos;
  TRect textBounds;
  CalcLayout(Canvas, Client, Caption, Layout, Margin, Spacing, glyphPos, textBounds);
  // The images carry their masks, so they sit on the checker and on the face alike.
  const int index = CreateStateImage(State);
  if (index >= 0) FGlyphList->Draw(Canvas, glyphPos.X, glyphPos.Y, index);
  if (!Caption.empty()) {
    Canvas->Brush()->SetStyle(bsClear);
    if (State == fbsDisabled) {
      TRect shifted = textBounds;
      OffsetRect(shifted, 1, 1);
      Canvas->Font()->SetColor(clWhite);
      DrawText(Canvas->Handle(), Caption, -1, &shifted, 0);
      Canvas->Font()->SetColor(TColor(RGB(128, 128, 128)));
      DrawText(Canvas->Handle(), Caption, -1, &textBounds, 0);
    } else {
      DrawText(Canvas->Handle(), Caption, -1, &textBounds, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  return textBounds;
}

}  // namespace frctrls

// ================================================================ TfrSpeedButton

KELM_PUBLISH(TfrSpeedButton) { Published(b); }

TfrSpeedButton::TfrSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 22, 22);
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks});
  FGlyph = std::make_unique<frctrls::TButtonGlyph>();
  FGlyph->OnChange = TNotifyEvent(this, &TfrSpeedButton::GlyphChanged);
  SetParentFont(true);
  ++gButtonCount;
}

TfrSpeedButton::~TfrSpeedButton() {
  FGlyph->OnChange = TNotifyEvent();
  FGlyph.reset();
  if (--gButtonCount == 0) FreeSharedBitmaps();
}

void TfrSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TfrSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  FGlyph->CreateStateImage(!Enabled() ? fbsDisabled : FGrayedInactive ? fbsGrayed : fbsUp);
}

void TfrSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->SetGlyph(Value);
  Invalidate();
}

void TfrSpeedButton::SetNumGlyphs(int Value) {
  FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

#define KELM_FR_SETTER(Name, Type, Field)      \
  void TfrSpeedButton::Set##Name(Type Value) { \
    if (Value == Field) return;                \
    Field = Value;                             \
    Invalidate();                              \
  }
KELM_FR_SETTER(Flat, bool, FFlat)
KELM_FR_SETTER(Layout, TButtonLayout, FLayout)
KELM_FR_SETTER(Spacing, int, FSpacing)
KELM_FR_SETTER(GrayedInactive, bool, FGrayedInactive)
#undef KELM_FR_SETTER

void TfrSpeedButton::SetMargin(int Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TfrSpeedButton::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TfrSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == FAllowAllUp) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TfrSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) return;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? fbsDown : fbsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TfrSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m{CM_FRBUTTONPRESSED, WPARAM(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  for (int i = 0; i < Parent()->ControlCount(); ++i) Parent()->Controls(i)->Dispatch(m);
}

void TfrSpeedButton::ButtonPressed(TMessage& M) {
  if (M.WParam != WPARAM(FGroupIndex)) return;
  auto* sender = dynamic_cast<TfrSpeedButton*>(reinterpret_cast<TObject*>(M.LParam));
  if (!sender || sender == this) return;
  if (sender->Down() && FDown) {
    FDown = false;
    FState = fbsUp;
    Invalidate();
  }
  FAllowAllUp = sender->AllowAllUp();
}

// ---- painting

void TfrSpeedButton::Paint() {
  CreateSharedBitmaps();
  const bool direct = Width() > kWorkSize || Height() > kWorkSize;
  TCanvas* c = direct ? Canvas() : gWorkBitmap->Canvas();
  DrawInto(c);
  if (!direct) Canvas()->CopyRect(Rect(0, 0, Width(), Height()), c, Rect(0, 0, Width(), Height()));
}

void TfrSpeedButton::DrawInto(TCanvas* C) {
  const bool designing = ComponentState().Contains(csDesigning);
  if (Enabled() && FState == fbsDisabled) FState = FDown && FGroupIndex != 0 ? fbsDown : fbsUp;
  const TfrButtonState stored = FState;
  TfrButtonState state = FState;
  if (!Enabled() && !designing) {
    state = fbsDisabled;
    FDragging = false;
  } else if (FGrayedInactive && Enabled() && FFlat && !FMouseInControl && !designing) {
    state = fbsGrayed;
  }
  FPaintedState = state;
  const bool sunk = state == fbsPressed || state == fbsDown;
  C->SetFont(Font());
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clBtnFace);
  TRect r = Rect(0, 0, Width(), Height());
  C->FillRect(r);
  TRect content = r;
  if (FFlat) {
    if (sunk) OffsetRect(content, 1, 1);
  } else {
    TRect face = r;
    DrawEdge(C->Handle(), face, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
    if (sunk) OffsetRect(content, 1, 1);
  }
  const bool checker = FFlat ? Enabled() && !FMouseInControl && (state == fbsDown || (state == fbsGrayed && stored == fbsDown))
                             : state == fbsDown;
  if (checker) {
    HBRUSH pattern = CreatePatternBrush(gPattern->Handle());
    TRect fill = r;
    InflateRect(fill, FFlat ? -1 : -2, FFlat ? -1 : -2);
    FillRect(C->Handle(), fill, pattern);
    DeleteObject(pattern);
  }
  FGlyph->Draw(C, content, Caption(), checker, state, FSpacing, FMargin, FLayout);
  if (FFlat && Enabled() && (FMouseInControl || stored == fbsDown)) {
    TRect frame = r;
    DrawEdge(C->Handle(), frame, sunk || stored == fbsDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (FFlat && designing && state == fbsUp) {
    TRect frame = r;
    DrawEdge(C->Handle(), frame, BDR_RAISEDINNER, BF_RECT);
  }
  FState = stored;
}

// ---- mouse

void TfrSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = fbsPressed;
    Repaint();
  }
  FDragging = true;
}

void TfrSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const TfrButtonState next = FDown ? fbsDown : Inside(X, Y) ? fbsPressed : fbsUp;
  if (next != FState) {
    FState = next;
    Repaint();
  }
}

void TfrSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  const bool inside = Inside(X, Y);
  if (FGroupIndex == 0) {
    FState = fbsUp;
  } else if (inside) {
    SetDown(!FDown);
    FState = FDown ? fbsDown : fbsUp;
  } else {
    FState = FDown ? fbsDown : fbsUp;
  }
  Repaint();
  UpdateTracking();
  if (inside) Click();
}

void TfrSpeedButton::UpdateTracking() {
  if (!Parent()) return;
  TPoint p;
  GetCursorPos(&p);
  const TPoint local = ScreenToClient(p);
  const bool over = Enabled() && Inside(local.X, local.Y);
  if (over == FMouseInControl) return;
  FMouseInControl = over;
  Invalidate();
}

void TfrSpeedButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_FRBUTTONPRESSED:
      ButtonPressed(M);
      return;
    case WM_LBUTTONDBLCLK:
      TGraphicControl::Dispatch(M);
      if (FDown) OnDblClick(this);
      return;
    case CM_MOUSEENTER:
      if (M.LParam != 0) break;
      if (FFlat && Enabled() && !FMouseInControl) {
        FMouseInControl = true;
        OnMouseEnter(this);
        Repaint();
      } else {
        FMouseInControl = true;
      }
      if (Parent()) Parent()->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
      return;
    case CM_MOUSELEAVE:
      if (M.LParam != 0) break;
      if (FFlat && Enabled() && FMouseInControl) {
        FMouseInControl = false;
        OnMouseLeave(this);
        Invalidate();
      } else {
        FMouseInControl = false;
      }
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
      FGlyph->CreateStateImage(Enabled() ? fbsUp : fbsDisabled);
      Invalidate();
      return;
    case CM_SYSCOLORCHANGE:
      FGlyph->Invalidate();
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

// ================================================================ tool-bar pieces

TAlign ToolbarAlignFor(TWinControl* Panel) {
  if (!Panel || !Panel->Parent()) return alLeft;
  const TAlign a = Panel->Parent()->Align();
  return a == alLeft || a == alRight ? alTop : alLeft;
}

KELM_PUBLISH(TfrTBButton) { Published(b); }

TfrTBButton::TfrTBButton(TComponent* AOwner) : TfrSpeedButton(AOwner) {
  SetAlign(alLeft);
  SetFlat(true);
}

void TfrTBButton::SetParent(TWinControl* AParent) {
  TfrSpeedButton::SetParent(AParent);
  if (AParent) SetAlign(ToolbarAlignFor(AParent));
}

KELM_PUBLISH(TfrTBSeparator) { Published(b); }

TfrTBSeparator::TfrTBSeparator(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 8, 8);
  SetAlign(alLeft);
}

void TfrTBSeparator::SetParent(TWinControl* AParent) {
  TGraphicControl::SetParent(AParent);
  if (AParent) SetAlign(ToolbarAlignFor(AParent));
}

void TfrTBSeparator::SetDrawBevel(bool Value) {
  if (Value == FDrawBevel) return;
  FDrawBevel = Value;
  Invalidate();
}

void TfrTBSeparator::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, Width(), Height()));
  if (FDrawBevel) {
    auto line = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
      c->Pen()->SetColor(Color);
      c->MoveTo(X1, Y1);
      c->LineTo(X2, Y2);
    };
    if (Align() == alTop || Align() == alBottom) {
      const int y = Height() / 2 - 1;
      line(clBtnShadow, 2, y, Width() - 2, y);
      line(clBtnHighlight, 2, y + 1, Width() - 2, y + 1);
    } else {
      const int x = Width() / 2 - 1;
      line(clBtnShadow, x, 2, x, Height() - 2);
      line(clBtnHighlight, x + 1, 2, x + 1, Height() - 2);
    }
  }
  if (ComponentState().Contains(csDesigning)) {
    c->Pen()->SetStyle(psDot);
    c->Pen()->SetColor(clBtnShadow);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, Width(), Height());
    c->Pen()->SetStyle(psSolid);
  }
}

// ================================================================ window placement

namespace {
const char* const kPlacementKey = "Software\\Vizerav Report";
String PlacementSection(TCustomForm* Form) { return "Form\\" + Form->ClassName(); }
}  // namespace

void SaveFormPlacement(TCustomForm* Form) {
  TRegistryIniFile ini(kPlacementKey);
  const String section = PlacementSection(Form);
  ini.WriteInteger(section, "XPosition", Form->Left());
  ini.WriteInteger(section, "YPosition", Form->Top());
  ini.WriteInteger(section, "Width", Form->Width());
  ini.WriteInteger(section, "Height", Form->Height());
  ini.WriteBool(section, "Maximized", Form->WindowState() == wsMaximized);
}

void RestoreFormPlacement(TCustomForm* Form) {
  TRegistryIniFile ini(kPlacementKey);
  const String section = PlacementSection(Form);
  if (!ini.ReadBool(section, "Maximized", true)) Form->SetWindowState(wsNormal);
  Form->SetBounds(ini.ReadInteger(section, "XPosition", Form->Left()), ini.ReadInteger(section, "YPosition", Form->Top()),
                  ini.ReadInteger(section, "Width", Form->Width()), ini.ReadInteger(section, "Height", Form->Height()));
}
