#include "report_legacy/FR_Combo.h"

#include "core/ClassBuilder.h"
#include "core/Registry.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/ListCtrls.h"
#include "gui/Pictures.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Plain drawing on a device context in system or RGB colours.
struct TDcPaint {
  HDC DC;
  void Fill(const TRect& R, TColor C) const {
    HBRUSH b = CreateSolidBrush(ColorToRGB(C));
    FillRect(DC, R, b);
    DeleteObject(b);
  }
  void Frame(const TRect& R, TColor C) const {
    HBRUSH b = CreateSolidBrush(ColorToRGB(C));
    FrameRect(DC, R, b);
    DeleteObject(b);
  }
  // From (X1, Y1) to (X2, Y2), the end point left out.
  void Line(int X1, int Y1, int X2, int Y2, TColor C) const {
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(C));
    HGDIOBJ old = SelectObject(DC, pen);
    MoveToEx(DC, X1, Y1, nullptr);
    LineTo(DC, X2, Y2);
    SelectObject(DC, old);
    DeleteObject(pen);
  }
};

// The mark of an outline face: a small "T" doubled, on olive (transparent).
std::unique_ptr<TBitmap> MakeTrueTypeBitmap() {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(15, 12);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect(Rect(0, 0, 15, 12));
  auto tee = [&](int X, int Y, TColor Color) {
    c->Brush()->SetColor(Color);
    c->FillRect(Rect(X, Y, X + 7, Y + 2));
    c->FillRect(Rect(X + 2, Y, X + 5, Y + 8));
  };
  tee(1, 1, clGray);
  tee(6, 3, clBlack);
  b->SetTransparentColor(clOlive);
  return b;
}

}  // namespace

// ================================================================ TfrCustomComboBox

KELM_PUBLISH(TfrCustomComboBox) {}

TfrCustomComboBox::TfrCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetStyle(csDropDown);
  ListBox()->SetStyle(lbOwnerDrawFixed);
  FListProc = ListBox()->WindowProc;
  ListBox()->WindowProc = [this](TMessage& M) { ListWndProc(M); };
  SetWidth(100);
  UpdateItemHeight();
}

TfrCustomComboBox::~TfrCustomComboBox() {
  if (ListBox()) ListBox()->WindowProc = FListProc;
}

void TfrCustomComboBox::CreateParams(TCreateParams& Params) {
  TCustomComboBox::CreateParams(Params);
  // The box draws its own edge.
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
}

int TfrCustomComboBox::TextHeight() const {
  TBitmap b;
  b.Canvas()->SetFont(const_cast<TfrCustomComboBox*>(this)->Font());
  TEXTMETRIC tm{};
  GetTextMetrics(b.Canvas()->Handle(), &tm);
  return tm.tmHeight;
}

void TfrCustomComboBox::UpdateItemHeight() { ListBox()->SetItemHeight(TextHeight()); }

void TfrCustomComboBox::SetEditOffset(int Value) {
  FEditOffset = Value;
  SetBounds(Left(), Top(), Width(), Height());  // places the edit again
  Invalidate();
}

TRect TfrCustomComboBox::EditRect() const {
  return Bounds(FEditOffset + 3, 3, std::max(1, Width() - ButtonWidth - FEditOffset - 7), std::max(1, Height() - 6));
}

int TfrCustomComboBox::DropDownHeight() const {
  const int item = ListBox()->ItemHeight();
  const int rows = std::min(DropDownCount(), Items()->Count());
  return rows > 0 ? item * rows + 4 : item + 4;
}

bool TfrCustomComboBox::IsActive() const {
  if (ComponentState().Contains(csDesigning) || DroppedDown() || FMouseInControl) return true;
  const HWND focus = GetFocus();
  return focus && focus == const_cast<TfrCustomComboBox*>(this)->Handle();
}

void TfrCustomComboBox::DropDown() {
  // Whether the list fits below the box decides where it opens.
  const TPoint corner = ClientToScreen({Width() - 1, TextHeight() + DropDownHeight() + 6});
  FDropUp = corner.Y > Screen->Height();
  TCustomComboBox::DropDown();
}

void TfrCustomComboBox::PlaceList() {
  TComboListBox* list = ListBox();
  const TPoint topLeft = ClientToScreen({0, 0});
  const int h = DropDownHeight();
  const int y = FDropUp ? topLeft.Y - h - 2 : topLeft.Y + Height();
  list->SetBounds(topLeft.X, y, Width() - 1, h);
}

void TfrCustomComboBox::ListWndProc(TMessage& M) {
  // Scrolling the first rows out of sight would hide the recent entries above them.
  if (M.Msg == LB_SETTOPINDEX && ItemIndex() <= DropDownCount()) {
    M.Result = 0;
    return;
  }
  FListProc(M);
}

void TfrCustomComboBox::Dispatch(TMessage& M) {
  // The messages that can open the list; asking the others would ask this very question.
  const bool opener = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_KEYDOWN ||
                      M.Msg == WM_SYSKEYDOWN || M.Msg == CB_SHOWDROPDOWN;
  const bool wasDropped = opener && DroppedDown();
  switch (M.Msg) {
    case CM_MOUSEENTER:
      if (M.LParam == 0 && !FMouseInControl) {
        FMouseInControl = true;
        Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (M.LParam == 0 && FMouseInControl) {
        FMouseInControl = false;
        Invalidate();
      }
      break;
    case CM_FONTCHANGED:
      TCustomComboBox::Dispatch(M);
      UpdateItemHeight();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TCustomComboBox::Dispatch(M);
      Invalidate();
      return;
    default:
      break;
  }
  TCustomComboBox::Dispatch(M);
  if (opener && !wasDropped && DroppedDown()) PlaceList();
}

void TfrCustomComboBox::DefaultHandler(TMessage& M) {
  if (M.Msg == WM_PAINT) {
    PaintFlat(reinterpret_cast<HDC>(M.WParam));
    return;
  }
  TCustomComboBox::DefaultHandler(M);
}

void TfrCustomComboBox::DrawImage(HDC DC, const TRect& Rect) {
  if (FEditOffset > 0) TDcPaint{DC}.Fill(Rect, clWindow);
}

void TfrCustomComboBox::DrawArrow(HDC DC, bool Pressed) {
  const int w = Width(), h = Height();
  int x = int(std::lround(ButtonWidth / 2.0)) + w - ButtonWidth - 4;
  int y = int(std::lround((h - 4) / 2.0)) + 1;
  if (Pressed) {
    ++x;
    ++y;
  }
  TDcPaint p{DC};
  for (int i = 0, len = 5; len > 0; ++i, len -= 2) p.Line(x + i, y + i, x + i + len, y + i, clBlack);
}

void TfrCustomComboBox::DrawButton(HDC DC, int Look) {
  const int w = Width(), h = Height();
  TDcPaint p{DC};
  TRect button = Rect(w - ButtonWidth - 2, 2, w - 2, h - 2);
  p.Fill(button, clBtnFace);
  if (Look == 0) p.Frame(button, clWindow);
  else DrawEdge(DC, button, Look == 1 ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  const int sx = w - ButtonWidth - 3;
  p.Line(sx, 2, sx, h - 2, Look == 0 ? clWindow : clBtnFace);
  DrawArrow(DC, Look == 2);
}

void TfrCustomComboBox::PaintFlat(HDC DC) {
  if (!DC) return;
  TDcPaint p{DC};
  const int w = Width(), h = Height();
  TRect r = Rect(0, 0, w, h);
  if (!Enabled()) {
    p.Fill(r, clBtnFace);
    TRect inner = r;
    InflateRect(inner, -2, -2);
    p.Frame(inner, clWindow);
    DrawArrow(DC, false);
    return;
  }
  p.Fill(Rect(1, 1, w - 1, h - 1), clWindow);
  DrawImage(DC, Rect(3, 3, FEditOffset + 3, h - 3));
  TRect ring = r;
  InflateRect(ring, -1, -1);
  p.Frame(ring, clBtnFace);
  TRect next = ring;
  InflateRect(next, -1, -1);
  next.Right -= ButtonWidth + 1;
  p.Frame(next, clWindow);
  const bool active = IsActive();
  if (active) DrawEdge(DC, r, BDR_SUNKENOUTER, BF_RECT);
  else p.Frame(r, clBtnFace);
  DrawButton(DC, !active ? 0 : DroppedDown() ? 2 : 1);
}

// ================================================================ TfrComboBox

KELM_PUBLISH(TfrComboBox) { Published(b); }

TfrComboBox::TfrComboBox(TComponent* AOwner) : TfrCustomComboBox(AOwner) {}

// ================================================================ TfrFontPreview

KELM_PUBLISH(TfrFontPreview) {}

TfrFontPreview::TfrFontPreview(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetBounds(0, 0, 200, 50);
  FPanel = new TPanel(this);
  FPanel->SetParent(this);
  FPanel->SetAlign(alClient);
  FPanel->SetBevelInner(bvNone);
  FPanel->SetBevelOuter(bvNone);
  FPanel->SetBorderStyle(bsSingle);
  FPanel->SetColor(clWindow);
  FPanel->Font()->SetColor(clWindowText);
  FPanel->Font()->SetSize(18);
}

void TfrFontPreview::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

// ================================================================ TfrFontComboBox

KELM_PUBLISH(TfrFontComboBox) { Published(b); }

TfrFontComboBox::TfrFontComboBox(TComponent* AOwner) : TfrCustomComboBox(AOwner) {
  FTrueTypeBmp = MakeTrueTypeBitmap();
  SetDropDownCount(12);
  SetWidth(150);
  SetEditOffset(16);
  SetReadOnly(true);
  if (!ComponentState().Contains(csDesigning)) FPreview = new TfrFontPreview(this);
  UpdateItemHeight();
  Reset();
}

TfrFontComboBox::~TfrFontComboBox() = default;

void TfrFontComboBox::UpdateItemHeight() {
  const int bmp = FTrueTypeBmp ? FTrueTypeBmp->Height() + 1 : 0;
  ListBox()->SetItemHeight(std::max(TextHeight(), bmp));
}

void TfrFontComboBox::Loaded() {
  TfrCustomComboBox::Loaded();
  if (!ComponentState().Contains(csDesigning)) Reset();
}

void TfrFontComboBox::Click() {
  if (FUpdating || ComponentState().Contains(csLoading)) return;
  TfrCustomComboBox::Click();
}

DWORD TfrFontComboBox::FontTypeOf(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return 0;
  return DWORD(reinterpret_cast<std::uintptr_t>(Items()->Objects(Index)));
}

void TfrFontComboBox::Reset() {
  TRestore<bool> updating(FUpdating, true);
  const String current = Text();
  // Sorted, each face once. Screen and printers offer the same installed families here, so
  // the screen's list stands for both.
  TStringList faces;
  faces.SetSorted(true);
  faces.SetDuplicates(dupIgnore);
  for (const TFontFamilyEntry& f : EnumFontFamilies(GetScreenDC())) {
    String name = f.FaceName;
    if (Length(name) > 32) name = Copy(name, 1, 32);
    if (faces.IndexOf(name) < 0)
      faces.AddObject(name, reinterpret_cast<TObject*>(static_cast<std::uintptr_t>(f.FontType)));
  }
  Items()->BeginUpdate();
  Items()->Assign(&faces);
  FRecentCount = -1;
  if (FShowMRU) {
    TRegistry reg;
    if (reg.OpenKey(FMRURegKey, true)) {
      for (int n = MaxRecent - 1; n >= 0; --n) {
        const String fontName = "Font" + IntToStr(n), typeName = "FontType" + IntToStr(n);
        const String face = reg.ValueExists(fontName) ? reg.ReadString(fontName) : String();
        if (!face.empty() && faces.IndexOf(face) >= 0) {
          const int type = reg.ValueExists(typeName) ? reg.ReadInteger(typeName) : 0;
          Items()->InsertObject(0, face, reinterpret_cast<TObject*>(static_cast<std::uintptr_t>(type)));
          ++FRecentCount;
        } else {
          reg.WriteString(fontName, "");
          reg.WriteInteger(typeName, 0);
        }
      }
      reg.CloseKey();
    }
  }
  Items()->EndUpdate();
  const int keep = current.empty() ? -1 : Items()->IndexOf(current);
  SetItemIndex(keep >= 0 ? keep : Items()->Count() > 0 ? 0 : -1);
}

void TfrFontComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* c = ListBox()->Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  const String name = Items()->Strings(Index);
  int x = Rect.Left + 2 + (FTrueTypeBmp ? FTrueTypeBmp->Width() : 15);
  if ((FontTypeOf(Index) & TRUETYPE_FONTTYPE) && FTrueTypeBmp) {
    const int y = Rect.Top + (Rect.Height() - FTrueTypeBmp->Height()) / 2;
    TransparentBlt(c->Handle(), Rect.Left + 1, y, FTrueTypeBmp->Width(), FTrueTypeBmp->Height(),
                   FTrueTypeBmp->Canvas()->Handle(), 0, 0, FTrueTypeBmp->Width(), FTrueTypeBmp->Height(),
                   ColorToRGB(clOlive));
  }
  TRect text = Rect;
  text.Left = x;
  DrawText(c->Handle(), name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  // The recent rows are set off from the rest by a line under the last of them.
  if (FRecentCount >= 0) {
    c->Pen()->SetColor(clBtnShadow);
    if (Index == FRecentCount) {
      c->MoveTo(Rect.Left, Rect.Bottom - 2);
      c->LineTo(Rect.Right, Rect.Bottom - 2);
    } else if (Index == FRecentCount + 1) {
      c->MoveTo(Rect.Left, Rect.Top);
      c->LineTo(Rect.Right, Rect.Top);
    }
  }
  if (State.Contains(odSelected) && FPreview) {
    FPreview->Panel()->SetCaption(name);
    FPreview->Panel()->Font()->SetName(name);
  }
}

void TfrFontComboBox::DrawImage(HDC DC, const TRect& Rect) {
  TfrCustomComboBox::DrawImage(DC, Rect);
  const int index = Items()->IndexOf(Text());
  if (!FTrueTypeBmp || index < 0 || !(FontTypeOf(index) & TRUETYPE_FONTTYPE)) return;
  const int y = Rect.Top + (Rect.Height() - FTrueTypeBmp->Height()) / 2;
  TransparentBlt(DC, Rect.Left, y, FTrueTypeBmp->Width(), FTrueTypeBmp->Height(), FTrueTypeBmp->Canvas()->Handle(), 0,
                 0, FTrueTypeBmp->Width(), FTrueTypeBmp->Height(), ColorToRGB(clOlive));
}

void TfrFontComboBox::DropDown() {
  TfrCustomComboBox::DropDown();
  if (!FPreview) return;
  // Beside the list: from the box's lower right corner, or ending left of the box when that
  // leaves the screen, and above the box when the list opens upwards.
  TPoint p = ClientToScreen({Width(), Height()});
  if (p.X + FPreview->Width() > Screen->Width()) p.X = ClientToScreen({0, 0}).X - FPreview->Width() - 1;
  if (DropUp()) p.Y = ClientToScreen({0, 0}).Y - FPreview->Height();
  FPreview->SetBounds(p.X, p.Y, FPreview->Width(), FPreview->Height());
  FPreview->SetVisible(true);
}

void TfrFontComboBox::CloseUp() {
  if (FPreview) FPreview->SetVisible(false);
  const int index = ItemIndex();
  if (FShowMRU && index > 0) {
    TRestore<bool> updating(FUpdating, true);
    const String name = Items()->Strings(index);
    TObject* type = Items()->Objects(index);
    const int first = Items()->IndexOf(name);
    Items()->BeginUpdate();
    if (first > FRecentCount) {
      Items()->InsertObject(0, name, type);
      if (FRecentCount >= MaxRecent - 1) Items()->Delete(MaxRecent);
      else ++FRecentCount;
    } else {
      Items()->Delete(first);
      Items()->InsertObject(0, name, type);
    }
    Items()->EndUpdate();
    SetItemIndex(0);
    WriteRecent();
  }
  TfrCustomComboBox::CloseUp();
}

void TfrFontComboBox::WriteRecent() {
  TRegistry reg;
  if (!reg.OpenKey(FMRURegKey, true)) return;
  for (int n = 0; n < MaxRecent; ++n) {
    const bool recent = n <= FRecentCount && n < Items()->Count();
    reg.WriteString("Font" + IntToStr(n), recent ? Items()->Strings(n) : String());
    reg.WriteInteger("FontType" + IntToStr(n), recent ? int(FontTypeOf(n)) : 0);
  }
  reg.CloseKey();
}
