// Text objects on a canvas: wrapping at scale 1 on the work canvas, then drawing scaled with
// alignment, justification, rotation and underlines. A wrapped line that ends a paragraph
// carries the character 1 (the paragraph mark); justification leaves such lines ragged.
//
// Wrapping works on characters, not bytes: a Chinese character is never split, and a word
// is hyphenated only between letters.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Utils.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include "gui/GraphicsObjects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char kMark = '\x01';

bool Designing() { return frState().EngineMode == 0; }
bool HasMark(const String& s) { return !s.empty() && s.back() == kMark; }
String StripMark(String s) {
  if (HasMark(s)) s.pop_back();
  return s;
}
bool IsBlank(char32_t c) { return c == U' ' || c == 0xA0; }
int CountBlanks(const String& s) {
  int n = 0;
  for (char32_t c : Utf8ToUtf32(s)) n += IsBlank(c);
  return n;
}
TCanvas* WorkCanvas() { return TfrGlobals::Instance()->WorkCanvas(); }
TStringList* WrapList() { return TfrGlobals::Instance()->WrapList.get(); }

// The widths of a line's character runs, measured once: extents add up, so any run's width
// is a difference of two cumulative extents.
class TMeasuredLine {
public:
  TMeasuredLine(TCanvas* Canvas, const std::u32string& Chars) : FChars(Chars), FExt(Chars.size()) {
    if (!Chars.empty())
      GetTextExtentExPoint(Canvas->Handle(), Utf32ToUtf8(Chars), static_cast<int>(Chars.size()), 0, nullptr,
                           FExt.data(), nullptr);
  }
  // Characters [From, To).
  int Width(std::size_t From, std::size_t To) const {
    if (To <= From) return 0;
    return FExt[To - 1] - (From ? FExt[From - 1] : 0);
  }
  String Text(std::size_t From, std::size_t To) const { return Utf32ToUtf8(FChars.substr(From, To - From)); }

private:
  const std::u32string& FChars;
  std::vector<int> FExt;
};

}  // namespace

// ================================================================ hyphenation

namespace {

char32_t UpperCyrillic(char32_t c) {
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c == 0x451) return 0x401;
  return c;
}
bool IsVowel(char32_t c) {
  switch (c) {
    case 0x401: case 0x410: case 0x415: case 0x418: case 0x41E: case 0x423: case 0x42B: case 0x42D: case 0x42E:
    case 0x42F:
      return true;
    default:
      return false;
  }
}
bool IsSign(char32_t c) { return c == 0x42A || c == 0x42C; }
bool IsSeparator(char32_t c) { return c == U' ' || c == U',' || c == U'-' || c == U'.'; }

}  // namespace

std::vector<int> BreakWord(const String& Word) {
  std::u32string w = Utf8ToUtf32(Word);
  for (char32_t& c : w) c = UpperCyrillic(c);
  std::vector<int> points;
  const int n = static_cast<int>(w.size());
  if (n < 4) return points;
  auto at = [&w](int i) { return w[static_cast<std::size_t>(i - 1)]; };  // 1-based
  for (int i = 2; i <= n - 2; ++i) {
    const char32_t c = at(i), c1 = at(i + 1), c2 = at(i + 2);
    bool ok;
    if (IsVowel(c) && (IsVowel(c1) || IsVowel(c2))) ok = true;
    else if (IsSign(c)) ok = !IsSeparator(c2);
    else ok = !IsVowel(c1) && !IsSign(c1) && IsVowel(c2);
    if (ok) points.push_back(i);
  }
  return points;
}

void TfrMemoView::CreateRotatedFont(TFont* Font) { Font->SetOrientation(900); }

// ================================================================ wrapping

void TfrMemoView::WrapLine(const String& S, int W) {
  TStringList* out = WrapList();
  TCanvas* c = WorkCanvas();
  const std::u32string chars = Utf8ToUtf32(S);
  const std::size_t n = chars.size();
  const bool hasBreak = chars.find_first_of(U"\r\n") != std::u32string::npos;
  TMeasuredLine m(c, chars);
  if (!hasBreak && (n <= 1 || m.Width(0, n) <= W)) {
    out->Add(S + kMark);
    return;
  }
  const int hyphenWidth = c->TextWidth("-");
  const bool wordBreak = Flags & frmemo::WordBreak;
  std::size_t start = 0, cand = 0, i = 0;
  while (i < n) {
    const char32_t ch = chars[i];
    if (ch == U'\r' || ch == U'\n') {
      out->Add(m.Text(start, i) + kMark);
      while (i < n && (chars[i] == U'\r' || chars[i] == U'\n')) ++i;
      start = cand = i;
      if (i >= n) return;
      continue;
    }
    if (IsBlank(ch)) {
      cand = i;
      ++i;
      continue;
    }
    if (m.Width(start, i + 1) <= W) {
      ++i;
      continue;
    }
    // The text from the line start to i no longer fits.
    std::size_t hyphenEnd = 0;
    if (wordBreak) {
      const std::size_t wordStart = IsBlank(chars[cand]) ? cand + 1 : cand;
      std::size_t wordEnd = wordStart;
      while (wordEnd < n && !IsSeparator(chars[wordEnd]) && !IsBlank(chars[wordEnd]) && chars[wordEnd] != U'\r' &&
             chars[wordEnd] != U'\n')
        ++wordEnd;
      for (int p : BreakWord(m.Text(wordStart, wordEnd))) {
        const std::size_t end = wordStart + static_cast<std::size_t>(p);
        if (end > start && m.Width(start, end) + hyphenWidth <= W) hyphenEnd = end;
      }
    }
    if (hyphenEnd) {
      out->Add(m.Text(start, hyphenEnd) + "-");
      start = cand = i = hyphenEnd;
    } else if (cand > start || (cand == start && IsBlank(chars[cand]) && cand < i)) {
      // Break at the last blank; the blank itself is not printed.
      out->Add(m.Text(start, cand));
      start = cand = cand + 1;
    } else {
      // A word longer than the line breaks at the current character; a single character
      // wider than the line stands alone, so every break moves on and nothing is lost.
      const std::size_t end = i > start ? i : i + 1;
      out->Add(m.Text(start, end));
      start = cand = i = end;
    }
  }
  if (start < n) out->Add(m.Text(start, n) + kMark);
}

void TfrMemoView::WrapMemo() {
  TCanvas* c = WorkCanvas();
  c->Font()->Assign(Font.get());
  c->Font()->SetHeight(-frNear(Font->Size() * 96.0 / 72));
  const bool rotated = IsRotated();
  if (rotated) CreateRotatedFont(c->Font());
  SetTextCharacterExtra(c->Handle(), CharSpacing);
  TStringList* out = WrapList();
  out->Clear();
  const int length = rotated ? Height - 2 * GapY : Width - 2 * GapX;
  LineGap = LineSpacing - c->Font()->Height();
  const int gap = rotated ? GapX : GapY;
  if (Designing() && !rotated && ExpandedMemo.Count() == 1 && StartsStr("[", ExpandedMemo.Strings(0)) &&
      c->TextWidth(ExpandedMemo.Strings(0)) > length) {
    out->Add(ExpandedMemo.Strings(0));
  } else {
    for (int i = 0; i < ExpandedMemo.Count(); ++i) {
      const String line = ExpandedMemo.Strings(i);
      if (HasLineMarks) out->Add(line);
      else if (Flags & frmemo::WordWrap) WrapLine(line, length);
      else out->Add(line + kMark);
    }
  }
  WrappedExtent = gap + out->Count() * LineGap + gap;
  SetTextCharacterExtra(c->Handle(), 0);
}

// ================================================================ drawing

namespace {

// The memo font on the output canvas, scaled unless the canvas is a printer's.
void ApplyMemoFont(TfrMemoView* v, TCanvas* c) {
  SetBkMode(c->Handle(), TRANSPARENT);
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(v->Font.get());
  if (!v->ToPrinter) {
    const double h = v->Font->Size() * 96.0 / 72 * v->OutputScaleY;
    c->Font()->SetHeight(-(v->OutputScaleY == 1 ? frNear(h) : static_cast<int>(h)));
  }
  SetTextCharacterExtra(c->Handle(), frNear(v->CharSpacing * v->OutputScaleX));
}

// Frame bits a text line carries to an export filter: inner lines lose the lines between
// them.
Word LineFrameBits(Word frameTyp, int index, int count) {
  if (count <= 1) return frameTyp;
  if (index == 0) return Word(frameTyp & ~2);
  if (index == count - 1) return Word(frameTyp & ~8);
  return Word(frameTyp & ~10);
}

}  // namespace

void TfrMemoView::DrawMemoText() {
  TCanvas* c = DrawCanvas;
  ApplyMemoFont(this, c);
  HDC dc = c->Handle();
  const TRect clip{PaintRect.Left + 1, PaintRect.Top, PaintRect.Right - 2, PaintRect.Bottom - 1};
  const int extent = frNear(WrappedExtent * OutputScaleY);
  const int prWidth = PaintRect.Right - PaintRect.Left, prHeight = PaintRect.Bottom - PaintRect.Top;
  TRestore<int> keepLeft(Left), keepTop(Top), keepAlignment(Alignment);
  const bool rotated = IsRotated();
  if (Alignment & 24) {
    const bool centred = Alignment & 8;
    Alignment &= 7;
    if (rotated) {
      Left = centred ? Left + (prWidth - extent) / 2 : PaintRect.Right - extent;
    } else if (!ClipToRect) {
      Top = centred ? Top + (prHeight - extent) / 2 : PaintRect.Bottom - extent - 1;
    }
  }
  const UINT options = ETO_CLIPPED | ((Flags & frmemo::RTLReading) ? ETO_RTLREADING : 0);
  const int n = ExpandedMemo.Count();
  LinesDrawn = 0;
  if (!rotated) {
    int y = Top + GapY;
    const int step = frNear(LineSpacing * OutputScaleY) - c->Font()->Height();
    const bool overflow = Designing() && n == 1 && StartsStr("[", ExpandedMemo.Strings(0)) &&
                          c->TextWidth(ExpandedMemo.Strings(0)) > clip.Right - clip.Left;
    for (int i = 0; i < n; ++i) {
      if (ClipToRect && y + step > clip.Bottom) break;
      const String raw = ExpandedMemo.Strings(i);
      const String s = StripMark(raw);
      const int tw = c->TextWidth(s);
      const int align = overflow ? 1 : (Alignment & 3);
      int x = Left + GapX;
      if (align == 1) x = PaintRect.Right - (PaintRect.Left - Left) - GapX - tw - 1;
      else if (align == 2) x = Left + GapX + (prWidth - 2 * GapX - tw) / 2;
      if (align == 3 && !HasMark(raw))
        if (int blanks = CountBlanks(s)) SetTextJustification(dc, prWidth - 2 * GapX - tw, blanks);
      if (!ToExport) ExtTextOut(dc, x, y, options, &clip, s);
      else if (frState().CurrentReport)
        frState().CurrentReport->LineOutput(PaintRect, x, y, this, s, LineFrameBits(FrameTyp, i, n));
      SetTextJustification(dc, 0, 0);
      ++LinesDrawn;
      y += step;
    }
  } else {
    CreateRotatedFont(c->Font());
    int x = Left + GapX;
    const int step = frNear(LineSpacing * OutputScaleX) - c->Font()->Height();
    for (int i = 0; i < n; ++i) {
      const String raw = ExpandedMemo.Strings(i);
      const String s = StripMark(raw);
      const int tw = c->TextWidth(s);
      int y;
      switch (Alignment & 7) {
        case 5: y = Top + GapY + tw; break;
        case 6: y = PaintRect.Bottom - GapY - ((prHeight - 2 * GapY - tw) / 2) - 1; break;
        case 7:
          y = PaintRect.Bottom + Top - PaintRect.Top - GapY;
          if (!HasMark(raw))
            if (int blanks = CountBlanks(s)) SetTextJustification(dc, prHeight - 2 * GapY - tw, blanks);
          break;
        default: y = PaintRect.Bottom - GapY; break;
      }
      if (!ToExport) ExtTextOut(dc, x, y, options, &clip, s);
      else if (frState().CurrentReport) frState().CurrentReport->LineOutput(PaintRect, x, y, this, s, 0);
      SetTextJustification(dc, 0, 0);
      ++LinesDrawn;
      x += step;
    }
    c->Font()->SetOrientation(0);
  }
}

void TfrMemoView::DrawUnderlines() {
  TCanvas* c = DrawCanvas;
  ApplyMemoFont(this, c);
  c->Pen()->SetColor(FrameColor);
  c->Pen()->SetWidth(std::max(1, frNear(FrameWidth)));
  c->Pen()->SetStyle(psSolid);
  const int fh = c->Font()->Height();
  const int h = frNear(LineSpacing * OutputScaleY) - fh;
  if (h <= 0) return;
  for (int k = 0; k < Height / h; ++k) {
    const int y = Top + GapY + k * h + frNear(2 * OutputScaleY) - fh;
    c->MoveTo(Left, y);
    c->LineTo(Left + Width - 1, y);
  }
}

int TfrMemoView::CalcTextWidth() {
  String text;
  for (int i = 0; i < Memo.Count(); ++i) {
    if (i) text += "\r\n";
    text += StripMark(Memo.Strings(i));
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  TCanvas* c = WorkCanvas();
  ApplyMemoFont(this, c);
  TRect r{0, 0, 0, 0};
  DrawText(c->Handle(), text, -1, &r, DT_CALCRECT | DT_NOPREFIX);
  SetTextCharacterExtra(c->Handle(), 0);
  return frNear((r.Right - r.Left) / OutputScaleX + FrameWidth + 2 * GapX + 1);
}

void TfrMemoView::DrawOnCanvas(TCanvas* Canvas) {
  const bool running = !Designing();
  if ((Flags & frmemo::AutoWidth) && running && Memo.Count() > 0) {
    const int w = CalcTextWidth();
    if (IsRotated()) {
      Height = w;
    } else {
      if ((Alignment & 3) == 1) Left += Width - w;
      Width = w;
    }
  }
  BeginDraw(Canvas);
  ClipToRect = false;
  ExpandedMemo.Assign(&Memo);
  if (ExpandedMemo.Count() > 0) {
    HasLineMarks = ExpandedMemo.Text().find(kMark) != String::npos;
    if (ExpandedMemo.Strings(ExpandedMemo.Count() - 1) == String(1, kMark)) ExpandedMemo.Delete(ExpandedMemo.Count() - 1);
    {
      // Text is wrapped at scale 1 and drawn scaled, so a preview at any zoom breaks lines
      // where the printed page does.
      TRestore<double> sx(OutputScaleX, 1.0), sy(OutputScaleY, 1.0);
      StoreGeometry();
      if (running && (Flags & frmemo::AutoWidth)) Width += 100;
      WrapMemo();
    }
    RestoreGeometry();
    ExpandedMemo.Assign(WrapList());
  }
  StoreGeometry();
  if (!ToExport) {
    PaintBackground();
    PaintFrame();
    if (Flags & frmemo::Underlines) DrawUnderlines();
  }
  if (ExpandedMemo.Count() > 0) DrawMemoText();
  SetTextCharacterExtra(Canvas->Handle(), 0);
  RestoreGeometry();
}
