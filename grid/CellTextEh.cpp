#include "grid/CellTextEh.h"

#include "core/ClassBuilder.h"
#include "grid/GridUtilsEh.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <vector>

// ================================================================ the shared off-screen bitmap

namespace {

struct TSharedBitmapState {
  std::unique_ptr<TBitmap> Bitmap;
  int Users = 0;
};

TSharedBitmapState& SharedBitmapState() {
  static TSharedBitmapState state;
  return state;
}

// Holds the shared bitmap, grown to at least Width x Height, with its canvas locked.
class TSharedBitmapLock {
public:
  TSharedBitmapLock(int Width, int Height) {
    AcquireSharedBitmap();
    FBitmap = SharedDrawBitmap();
    FBitmap->SetSize(std::max(FBitmap->Width(), Width), std::max(FBitmap->Height(), Height));
    FBitmap->Canvas()->Lock();
  }
  ~TSharedBitmapLock() {
    FBitmap->Canvas()->Unlock();
    ReleaseSharedBitmap();
  }
  TSharedBitmapLock(const TSharedBitmapLock&) = delete;
  TSharedBitmapLock& operator=(const TSharedBitmapLock&) = delete;
  TCanvas* Canvas() const { return FBitmap->Canvas(); }

private:
  TBitmap* FBitmap;
};

// Brushes the display cannot show as a pure colour break text up; such text is drawn
// off-screen.
bool BrushColorIsPure(TCanvas* Canvas) {
  COLORREF rgb = ColorToRGB(Canvas->Brush()->Color());
  return GetNearestColor(Canvas->Handle(), rgb) == rgb;
}

// Gives an off-screen canvas the font and the (solid) brush of Canvas, filled over
// (0, 0, Width, Height), with a transparent text background.
void PrepareOffscreen(TCanvas* Offscreen, TCanvas* Canvas, int Width, int Height) {
  Offscreen->Font()->Assign(Canvas->Font());
  Offscreen->Brush()->Assign(Canvas->Brush());
  Offscreen->Brush()->SetStyle(bsSolid);
  Offscreen->FillRect(Rect(0, 0, Width, Height));
  Offscreen->RequiredState({csHandleValid, csFontValid, csBrushValid});
  SetBkMode(Offscreen->Handle(), TRANSPARENT);
}

// Makes the brush clear for the scope unless the text is to fill its rectangle.
class TClearBrushScope {
public:
  TClearBrushScope(TCanvas* Canvas, bool Clear) : FCanvas(Canvas), FOld(Canvas->Brush()->Style()), FClear(Clear) {
    if (FClear) FCanvas->Brush()->SetStyle(bsClear);
  }
  ~TClearBrushScope() {
    if (FClear) FCanvas->Brush()->SetStyle(FOld);
  }
  TClearBrushScope(const TClearBrushScope&) = delete;
  TClearBrushScope& operator=(const TClearBrushScope&) = delete;

private:
  TCanvas* FCanvas;
  TBrushStyle FOld;
  bool FClear;
};

UINT AlignmentFlags(TAlignment Alignment) {
  static constexpr UINT kFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return kFlags[Alignment] | DT_EXPANDTABS | DT_NOPREFIX;
}

// The wrapped-text steps: Rect less DX and DY on each side, laid out by the platform.
void WriteTextWrapped(TCanvas* Canvas, const TRect& ARect, int DX, int DY, const String& Text, TAlignment Alignment,
                      TTextLayout Layout, bool MultiLine, bool EndEllipsis, int LeftMarg, int RightMarg,
                      bool RightToLeftReading) {
  UINT flags = AlignmentFlags(Alignment);
  if (MultiLine) flags |= DT_WORDBREAK;
  if (EndEllipsis) flags |= DT_END_ELLIPSIS;
  if (RightToLeftReading) flags |= DT_RTLREADING;
  TRect r = Rect(ARect.Left + DX, ARect.Top + DY, ARect.Right - DX, ARect.Bottom - DY);
  DRAWTEXTPARAMS params;
  params.iLeftMargin = LeftMarg;
  params.iRightMargin = RightMarg;
  Canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC dc = Canvas->Handle();
  if (Layout != tlTop) {
    TRect calc = r;
    DrawTextExEh(dc, Text, -1, params, flags | DT_CALCRECT, calc);
    int height = calc.Height();
    // A text higher than its cell starts at the top rather than above the cell.
    if (height < r.Height()) {
      if (Layout == tlCenter) r.Top = r.Top + r.Height() / 2 - height / 2;
      else r.Top = r.Bottom - height;
    }
  }
  if (DX > 0) ++r.Bottom;
  DrawTextExEh(dc, Text, -1, params, flags, r);
}

bool IsBoldOrItalic(TFont* Font) { return Font->Style().Contains(fsBold) || Font->Style().Contains(fsItalic); }

}  // namespace

void AcquireSharedBitmap() {
  TSharedBitmapState& s = SharedBitmapState();
  if (s.Users++ == 0) s.Bitmap = std::make_unique<TBitmap>();
}

void ReleaseSharedBitmap() {
  TSharedBitmapState& s = SharedBitmapState();
  if (s.Users > 0 && --s.Users == 0) s.Bitmap.reset();
}

TBitmap* SharedDrawBitmap() { return SharedBitmapState().Bitmap.get(); }
int SharedBitmapUserCount() { return SharedBitmapState().Users; }

// ================================================================ DrawCellText

int CellTextLeft(const TRect& Rect, int DX, int TextWidth, TAlignment Alignment) {
  switch (Alignment) {
    case taLeftJustify: return Rect.Left + DX;
    case taRightJustify: return Rect.Right - TextWidth - 3;
    case taCenter:
      if (Rect.Left >= Rect.Right) return 0;
      return Rect.Left + int(unsigned(Rect.Right - Rect.Left) >> 1) - int(unsigned(TextWidth) >> 1);
  }
  return Rect.Left + DX;
}

void DrawCellText(TCanvas* Canvas, const TRect& ARect, bool FillRect, int DX, int DY, const String& Text,
                  TAlignment Alignment, TTextLayout Layout, bool MultiLine, bool EndEllipsis, int LeftMarg,
                  int RightMarg, bool RightToLeftReading) {
  if (!BrushColorIsPure(Canvas)) {
    int w = ARect.Width(), h = ARect.Height();
    if (w <= 0 || h <= 0) return;
    TSharedBitmapLock shared(w, h);
    TCanvas* off = shared.Canvas();
    PrepareOffscreen(off, Canvas, w, h);
    WriteTextWrapped(off, Rect(0, 0, w, h), DX, DY, Text, Alignment, Layout, MultiLine, EndEllipsis, LeftMarg,
                     RightMarg, RightToLeftReading);
    Canvas->CopyRect(ARect, off, Rect(0, 0, w, h));
    return;
  }
  if (MultiLine) {
    if (FillRect) Canvas->FillRect(ARect);
    TClearBrushScope clear(Canvas, !FillRect);
    WriteTextWrapped(Canvas, ARect, DX, DY, Text, Alignment, Layout, MultiLine, EndEllipsis, LeftMarg, RightMarg,
                     RightToLeftReading);
    return;
  }

  String text = EndEllipsis ? ShortenWithEllipsis(Text, Canvas, ARect.Width() - DX) : Text;
  // Left-aligned text starts at the margin whatever its width.
  int w = Alignment == taLeftJustify          ? 0
          : IsBoldOrItalic(Canvas->Font()) ? MeasureTextWidth(Canvas, text)
                                           : Canvas->TextWidth(text);
  int x = CellTextLeft(ARect, DX, w, Alignment);
  int y = ARect.Top + DY;
  if (Layout != tlTop) {
    int h = Canvas->TextHeight(text);
    if (h < ARect.Bottom - ARect.Top - DY) y = Layout == tlCenter ? (ARect.Top + ARect.Bottom - h) / 2 : ARect.Bottom - h;
  }
  TClearBrushScope clear(Canvas, !FillRect);
  Canvas->TextRect(ARect, x, y, text);
}

// ================================================================ rotated text

HFONT CreateRotatedFont(TFont* Font) {
  LOGFONT lf;
  lf.lfHeight = Font->Height();
  lf.lfWidth = 0;
  lf.lfEscapement = lf.lfOrientation = 900;
  lf.lfWeight = Font->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Font->Style().Contains(fsItalic);
  lf.lfUnderline = Font->Style().Contains(fsUnderline);
  lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut);
  lf.lfCharSet = Font->Charset();
  lf.lfFaceName = SameText(Font->Name(), "Default") ? String("MS Sans Serif") : Font->Name();
  constexpr Byte kOutTrueTypeOnly = 7;
  lf.lfOutPrecision = kOutTrueTypeOnly;
  lf.lfPitchAndFamily = Byte(Font->Pitch() == fpFixed      ? FIXED_PITCH
                             : Font->Pitch() == fpVariable ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH);
  return CreateFontIndirect(lf);
}

namespace {

// The canvas font writes rotated for the scope; afterwards the font is its own again.
class TRotatedFontScope {
public:
  explicit TRotatedFontScope(TFont* Font) : FFont(Font), FName(Font->Name()) {
    FFont->SetHandle(CreateRotatedFont(Font));
  }
  ~TRotatedFontScope() {
    // Setting the height drops the adopted rotated object.
    FFont->SetHeight(FFont->Height());
    FFont->SetName(FName);
  }
  TRotatedFontScope(const TRotatedFontScope&) = delete;
  TRotatedFontScope& operator=(const TRotatedFontScope&) = delete;

private:
  TFont* FFont;
  String FName;
};

}  // namespace

int DrawCellTextRotated(TCanvas* Canvas, const TRect& ARect, bool FillRect, int DX, int DY, const String& Text,
                        TAlignment Alignment, TTextLayout Layout, bool EndEllipsis, bool CalcOnly) {
  TRotatedFontScope rotated(Canvas->Font());
  Canvas->RequiredState({csHandleValid, csFontValid});
  TEXTMETRIC tm;
  GetTextMetrics(Canvas->Handle(), &tm);
  int extent = Canvas->TextWidth(Text) + tm.tmOverhang;
  if (CalcOnly) return extent;

  // The text runs upwards from its reference point; its cell's height lies to the right.
  auto write = [&](TCanvas* Target, const TRect& R, bool Fill) {
    int textHeight = Target->TextHeight(Text);
    int x = R.Left + DX;
    if (Alignment == taRightJustify) x = R.Right - textHeight;
    else if (Alignment == taCenter)
      x = R.Left + int(unsigned(R.Right - R.Left) >> 1) - int(unsigned(textHeight + tm.tmOverhang) >> 1);
    int y = R.Top + extent;
    if (Layout == tlBottom) y = R.Bottom - DY;
    else if (Layout == tlCenter) y = R.Bottom - (R.Bottom - R.Top) / 2 + extent / 2;
    TClearBrushScope clear(Target, !Fill);
    Target->TextRect(R, x, y, Text);
  };

  if (BrushColorIsPure(Canvas) || !FillRect) {
    write(Canvas, ARect, FillRect);
    return extent;
  }
  int w = ARect.Width(), h = ARect.Height();
  if (w > 0 && h > 0) {
    TSharedBitmapLock shared(w, h);
    TCanvas* off = shared.Canvas();
    PrepareOffscreen(off, Canvas, w, h);
    TRotatedFontScope offRotated(off->Font());
    write(off, Rect(0, 0, w, h), false);
    Canvas->CopyRect(ARect, off, Rect(0, 0, w, h));
  }
  return extent;
}

// ================================================================ measuring

// The forms tried are the text, then its first length - i - 1 characters and "..." for
// i = 1, 2, ...: the first shortened form already drops two characters, the last is "..."
// alone, kept even when it is too wide.
String ShortenWithEllipsis(const String& Text, TCanvas* Canvas, int MaxWidth) {
  if (Canvas->TextWidth(Text) <= MaxWidth) return Text;
  const int length = Length(Text);
  if (length == 0) return Text;
  auto form = [&](int i) { return Copy(Text, 1, std::max(0, length - i - 1)) + "..."; };
  // Without kerning the widths of a text's starts add up, so one pass over the text finds the
  // form that fits; it is measured once more as a whole before it is taken.
  Canvas->RequiredState({csHandleValid, csFontValid});
  std::vector<int> starts(std::size_t(length), 0);
  GetTextExtentExPoint(Canvas->Handle(), Text, -1, 0, nullptr, starts.data(), nullptr);
  const int dots = Canvas->TextWidth("...");
  int i = 1;
  for (; i < length; ++i) {
    int keep = std::max(0, length - i - 1);
    if ((keep > 0 ? starts[std::size_t(keep - 1)] : 0) + dots <= MaxWidth) break;
  }
  String result = form(i);
  while (i < length && Canvas->TextWidth(result) > MaxWidth) result = form(++i);
  return result;
}

int MeasureTextWidth(TCanvas* Canvas, const String& Text) {
  Canvas->RequiredState({csHandleValid, csFontValid});
  TRect r = Rect(0, 0, 1, 0);
  DrawTextEh(Canvas->Handle(), Text, -1, r, DT_CALCRECT | DT_NOPREFIX);
  return r.Width();
}

bool TextExceedsRect(TCanvas* Canvas, const TRect& Rect, const String& Text, bool WordWrap, int RightIndent,
                     int ExtraHeight, UINT ExtraFlags, int& TextWidth, int& TextHeight) {
  int available = std::max(1, Rect.Width() - RightIndent - 2);
  TRect r = ::Rect(0, 0, available, 0);
  UINT flags = DT_CALCRECT | DT_NOPREFIX | (WordWrap ? UINT(DT_WORDBREAK) : 0u) | ExtraFlags;
  Canvas->RequiredState({csHandleValid, csFontValid});
  DrawTextEh(Canvas->Handle(), Text, -1, r, flags);
  TextWidth = r.Width();
  TextHeight = r.Height();
  return TextWidth > available || TextHeight > Rect.Height() - ExtraHeight + 1;
}

void SwapRectExtent(TRect& Rect) {
  int w = Rect.Width(), h = Rect.Height();
  Rect.Right = Rect.Left + h;
  Rect.Bottom = Rect.Top + w;
}

// ================================================================ images

namespace {

TPoint ImagePlace(const TRect& Rect, int Width, int Height, int Offset, TAlignment Alignment) {
  int x = Offset + Rect.Left;
  if (Alignment == taRightJustify) x = Offset + Rect.Right - Width;
  else if (Alignment == taCenter) x = Offset + (Rect.Left + Rect.Right - Width) / 2;
  return {x, (Rect.Top + Rect.Bottom - Height) / 2};
}

bool Contains(const TRect& Outer, const TRect& Inner) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

template <class TDraw> void DrawClippedIfNeeded(TCanvas* Canvas, const TRect& Rect, const TRect& Image, TDraw Draw) {
  if (Contains(Rect, Image)) {
    Draw();
    return;
  }
  TClipRectScopeEh clip(Canvas->Handle(), Rect);
  Draw();
}

}  // namespace

void DrawImageInRect(TCustomImageList* Images, TCanvas* Canvas, const TRect& Rect, int ImageIndex, int Offset,
                     TAlignment Alignment) {
  if (!Images || !Canvas) return;
  TPoint p = ImagePlace(Rect, Images->Width(), Images->Height(), Offset, Alignment);
  DrawClippedIfNeeded(Canvas, Rect, Bounds(p.X, p.Y, Images->Width(), Images->Height()),
                      [&] { Images->Draw(Canvas, p.X, p.Y, ImageIndex, true); });
}

void DrawImageInRect(TGraphic* Graphic, TCanvas* Canvas, const TRect& Rect, int Offset, TAlignment Alignment) {
  if (!Graphic || !Canvas) return;
  TPoint p = ImagePlace(Rect, Graphic->Width(), Graphic->Height(), Offset, Alignment);
  DrawClippedIfNeeded(Canvas, Rect, Bounds(p.X, p.Y, Graphic->Width(), Graphic->Height()),
                      [&] { Canvas->Draw(p.X, p.Y, Graphic); });
}

// ================================================================ grid helpers

void DiscardPendingMessage(HWND Window, UINT Message) {
  TMsg msg;
  if (PeekMessage(msg, Window, Message, Message, PM_REMOVE) && msg.message == WM_QUIT)
    PostQuitMessage(int(msg.wParam));
}

// ================================================================ tool tips

KELM_PUBLISH(TToolTipsWindow) {}

// The platform's hint window measures and paints with the window's own font, so the tip's
// font goes there as well as onto the canvas.
TRect TToolTipsWindow::CalcHintRect(int MaxWidth, const String& AHint, void* AData) {
  if (AData) {
    Font()->Assign(static_cast<TFont*>(AData));
    Canvas()->Font()->Assign(static_cast<TFont*>(AData));
  }
  Font()->SetColor(clWindowText);
  Canvas()->Font()->SetColor(clWindowText);
  return THintWindow::CalcHintRect(MaxWidth, AHint, AData);
}
