#include "editors/cxEditTextUtils.h"

#include "core/StrUtils.h"
#include "editors/cxGraphicsUtils.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/Window.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

namespace {

const char kEllipsis[] = "...";

inline int SeqLen(const char* p) { return Utf8SeqLen(static_cast<unsigned char>(*p)); }

// Byte length of the first Count characters of Text (stopping at NUL).
std::size_t ByteSpan(const char* Text, int Count) {
  const char* p = Text;
  for (int i = 0; i < Count && *p; ++i) p += SeqLen(p);
  return std::size_t(p - Text);
}

int CharsIn(const char* Text) {
  int n = 0;
  for (const char* p = Text; *p; p += SeqLen(p)) ++n;
  return n;
}

char32_t CharAt(const char* p) {
  std::string_view s(p, std::size_t(SeqLen(p)));
  std::size_t pos = 0;
  return DecodeUtf8(s, pos);
}

bool IsJustified(const TcxTextParams& P) { return P.HorzAlign == tofJustify || P.HorzAlign == tofDistribute; }

}  // namespace

// ---------------------------------------------------------------- measuring

// The platform's text extents add up character by character (no kerning; character extra is
// part of each character's extent), so a text's width is the sum of its characters' widths,
// each measured once. Tab stops lie every 8 average widths, as the platform's tabbed extent has
// them.
struct TcxDCTextMeasurer::TCache {
  bool HaveMetrics = false;
  TEXTMETRIC Metrics;
  std::array<int, 128> Ascii;
  std::unordered_map<char32_t, int> Others;
  TCache() { Ascii.fill(-1); }
};

TcxDCTextMeasurer::TcxDCTextMeasurer(HDC DC) : FDC(DC), FCache(new TCache) {}
TcxDCTextMeasurer::~TcxDCTextMeasurer() { delete FCache; }

TEXTMETRIC TcxDCTextMeasurer::Metrics() {
  if (!FCache->HaveMetrics) {
    GetTextMetrics(FDC, &FCache->Metrics);
    FCache->HaveMetrics = true;
  }
  return FCache->Metrics;
}

TSize TcxDCTextMeasurer::Extent(const char* Text, int Count, bool ExpandTabs) {
  const TEXTMETRIC tm = Metrics();
  const int pitch = std::max(1, 8 * tm.tmAveCharWidth);
  int x = 0;
  const char* p = Text;
  for (int i = 0; i < Count && *p; ++i, p += SeqLen(p))
    x = ExpandTabs && *p == '\t' ? (x / pitch + 1) * pitch : x + CharWidth(p);
  return {x, tm.tmHeight};
}

int TcxDCTextMeasurer::CharWidth(const char* Text) {
  const unsigned char lead = static_cast<unsigned char>(*Text);
  int* slot = nullptr;
  if (lead < 128) {
    slot = &FCache->Ascii[lead];
    if (*slot >= 0) return *slot;
  } else {
    auto it = FCache->Others.find(CharAt(Text));
    if (it != FCache->Others.end()) return it->second;
  }
  TSize sz{0, 0};
  GetTextExtentPoint32(FDC, String(Text, std::size_t(SeqLen(Text))), -1, &sz);
  if (slot)
    *slot = sz.cx;
  else
    FCache->Others.emplace(CharAt(Text), sz.cx);
  return sz.cx;
}

TSize MeasureTextExtent(HDC DC, const char* Text, int Count, bool ExpandTabs) {
  TcxDCTextMeasurer m(DC);
  return m.Extent(Text, Count, ExpandTabs);
}

void MeasureRow(TcxTextMeasurer& M, TcxTextRow& Row, const TcxTextParams& Params) {
  TSize sz = M.Extent(Row.Text, Row.Length, Params.ExpandTabs);
  Row.Width = sz.cx;
  Row.Height = sz.cy;
}

void MeasureRow(HDC DC, TcxTextRow& Row, const TcxTextParams& Params) {
  TcxDCTextMeasurer m(DC);
  MeasureRow(m, Row, Params);
}

// ---------------------------------------------------------------- clipping

HRGN SaveAndIntersectClip(HDC DC, const TRect& Rect) {
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, saved) != 1) {
    DeleteObject(saved);
    saved = nullptr;
  }
  IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  return saved;
}

void RestoreClip(HDC DC, HRGN& Region) {
  SelectClipRgn(DC, Region);
  if (Region) DeleteObject(Region);
  Region = nullptr;
}

// ---------------------------------------------------------------- parameters

void InitTextParams(TcxTextMeasurer& M, TcxTextOutFlags Flags, TcxTextParams& Params) {
  Params = TcxTextParams{};
  TEXTMETRIC tm = M.Metrics();
  Params.Height = tm.tmHeight;
  Params.UseExternalLeading = (Flags & tofExternalLeading) != 0;
  Params.ExternalLeading = Params.UseExternalLeading ? tm.tmExternalLeading : 0;
  Params.RowHeight = Params.Height + Params.ExternalLeading;
  Params.EndEllipsis = (Flags & tofEndEllipsis) != 0;
  Params.EllipsisWidth = Params.EndEllipsis ? M.Extent(kEllipsis, 3, false).cx : 0;
  Params.BreakChar = tm.tmBreakChar;
  Params.HorzAlign = Byte(Flags & 7);
  Params.VertAlign = Byte((Flags & 0x30) >> 4);
  Params.WordBreak = (Flags & tofWordBreak) != 0;
  Params.SingleLine = (Flags & tofSingleLine) != 0;
  Params.ExpandTabs = (Flags & tofExpandTabs) != 0;
  Params.WholeRows = (Flags & tofWholeRows) != 0;
  Params.NoClip = (Flags & tofNoClip) != 0;
  Params.PreventLeftExceed = (Flags & tofPreventLeftExceed) != 0;
  Params.PreventTopExceed = (Flags & tofPreventTopExceed) != 0;
  Params.CharBreak = (Flags & tofCharBreak) != 0 || SysLocale().FarEast;
  Params.MeasureOnly = (Flags & tofMeasureOnly) != 0;
  Params.CharSet = tm.tmCharSet;
}

void InitTextParams(HDC DC, TcxTextOutFlags Flags, TcxTextParams& Params) {
  TcxDCTextMeasurer m(DC);
  InitTextParams(m, Flags, Params);
}

namespace {
HDC ReadyHandle(TCanvas* Canvas) {
  Canvas->RequiredState({csHandleValid, csFontValid});
  return Canvas->Handle();
}
}  // namespace

void InitTextParams(TCanvas* Canvas, TcxTextOutFlags Flags, TcxTextParams& Params) {
  InitTextParams(ReadyHandle(Canvas), Flags, Params);
}

// ---------------------------------------------------------------- layout

bool IsLastTextRow(const TcxTextParams& P, int MaxRowCount, int RowCount, int TotalHeight, int AvailHeight) {
  if (P.SingleLine) return true;
  if (P.VertAlign != 0 || P.MeasureOnly) return MaxRowCount > 0 && RowCount == MaxRowCount;
  if (P.WholeRows && !P.NoClip) return AvailHeight < TotalHeight + P.RowHeight;
  return AvailHeight < TotalHeight;
}

void BreakNextRow(TcxTextMeasurer& M, const char*& TextPos, int& Remaining, TcxTextRow& Row,
                  const TcxTextParams& P, bool IsLastRow, int AvailWidth) {
  Row = TcxTextRow{};
  if (!TextPos) return;
  const bool justified = IsJustified(P);
  const bool wrap = !P.SingleLine && (P.WordBreak || justified);
  const bool breakInWords = wrap && P.CharBreak;
  const bool cutForEllipsis = IsLastRow && P.EndEllipsis && !P.WholeRows && !P.NoClip && !justified;
  const bool measures = wrap || cutForEllipsis || P.SingleLine;

  const char* start = TextPos;
  const char* p = start;
  int lastBreak = -1;
  int width = 0;
  for (int i = 0; i < Remaining; ++i) {
    const char c = *p;
    const char* next = p + SeqLen(p);
    Row.Length = i + 1;
    const char32_t ch = CharAt(p);
    if (ch == P.BreakChar || c == '\t') {
      ++Row.BreakCount;
      lastBreak = i;
    } else if ((c == '\r' || c == '\n') && !cutForEllipsis && !P.SingleLine) {
      --Row.Length;
      if (P.HorzAlign == tofJustify) Row.BreakCount = 0;
      break;
    }
    if (!measures) {
      p = next;
      continue;
    }
    if (P.ExpandTabs)
      width = M.Extent(start, Row.Length, true).cx;
    else
      width += M.CharWidth(p);
    if (width <= AvailWidth) {
      p = next;
      continue;
    }
    if (cutForEllipsis || P.SingleLine) break;
    if (lastBreak >= 0) {
      Row.Length = lastBreak + 1;
      break;
    }
    if (breakInWords) {
      if (Row.Length > 1) --Row.Length;
      break;
    }
    p = next;
  }
  Row.Text = start;
  const char* end = start + ByteSpan(start, Row.Length);
  if (justified) {
    // Trailing breaks would take stretch pixels at the row's right edge.
    while (Row.Length > 0) {
      const char* q = end;
      do --q; while (q > start && (static_cast<unsigned char>(*q) & 0xC0) == 0x80);
      char32_t last = CharAt(q);
      if (last != P.BreakChar && last != U'\t') break;
      --Row.Length;
      end = q;
      if (Row.BreakCount > 0) --Row.BreakCount;
    }
  }
  MeasureRow(M, Row, P);

  // Advance past the row (all of it, trimmed breaks included) and the breaks after it.
  int taken = Row.Length;
  const char* pos = start + ByteSpan(start, Row.Length);
  auto step = [&] { pos += SeqLen(pos); ++taken; };
  while (taken < Remaining && *pos && CharAt(pos) == P.BreakChar) step();
  if (taken < Remaining && *pos == '\t') step();
  bool passedCR = false;
  if (taken < Remaining && *pos == '\r') {
    step();
    passedCR = true;
  }
  if (taken < Remaining && *pos == '\n') step();
  Remaining -= taken;
  TextPos = pos;
  if (P.HorzAlign == tofJustify && (passedCR || Remaining == 0)) Row.BreakCount = 0;
}

bool LayOutTextRows(TcxTextMeasurer& M, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params) {
  Rows.clear();
  RowCount = 0;
  if (!Text) return true;
  if (Params.MeasureOnly && Params.SingleLine) {
    TcxTextRow row;
    row.Text = Text;
    row.Length = CharsIn(Text);
    MeasureRow(M, row, Params);
    Rows.push_back(row);
    RowCount = 1;
    return true;
  }
  int remaining = CharsIn(Text);
  const int availWidth = Rect.Width();
  const int availHeight = Rect.Height();
  int totalHeight = 0, offset = 0;
  bool stop = false;
  const char* pos = Text;
  while (*pos && !stop) {
    ++RowCount;
    if (std::size_t(RowCount) > Rows.capacity()) Rows.reserve(Rows.capacity() + 4);
    totalHeight += Params.RowHeight;
    stop = IsLastTextRow(Params, MaxRowCount, RowCount, totalHeight, availHeight);
    TcxTextRow row;
    const int before = remaining;
    BreakNextRow(M, pos, remaining, row, Params, stop, availWidth);
    row.StartOffset = offset;
    offset += before - remaining;
    Rows.push_back(row);
    if (!stop) stop = remaining == 0;
  }
  Rows.shrink_to_fit();
  return Params.SingleLine || Params.MeasureOnly || MaxRowCount <= 0 || RowCount != MaxRowCount || remaining == 0;
}

bool LayOutTextRows(HDC DC, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params) {
  TcxDCTextMeasurer m(DC);
  return LayOutTextRows(m, Text, Rect, MaxRowCount, RowCount, Rows, Params);
}

bool LayOutTextRows(TCanvas* Canvas, const char* Text, const TRect& Rect, int MaxRowCount, int& RowCount,
                    TcxTextRows& Rows, TcxTextParams& Params) {
  Rows.clear();
  return LayOutTextRows(ReadyHandle(Canvas), Text, Rect, MaxRowCount, RowCount, Rows, Params);
}

void PlaceTextRows(const TRect& Rect, TcxTextParams& P, int RowCount, TcxTextRows& Rows) {
  RowCount = std::min(RowCount, int(Rows.size()));
  int remainder = 0;
  if (P.VertAlign == 3 && RowCount > 1) {
    const int slack = Rect.Height() - P.Height;
    if (double(P.Height) < double(slack) / (RowCount - 1)) {
      P.RowHeight = slack / (RowCount - 1);
      remainder = slack % (RowCount - 1);
    }
  }
  int y;
  switch (P.VertAlign) {
    case 1: y = Rect.Top + (Rect.Height() - RowCount * P.RowHeight) / 2; break;
    case 2: y = Rect.Bottom - RowCount * P.RowHeight + P.ExternalLeading; break;
    default: y = Rect.Top;
  }
  if (P.PreventTopExceed) y = std::max(y, Rect.Top);
  for (int i = 0; i < RowCount; ++i) {
    TcxTextRow& row = Rows[std::size_t(i)];
    int x;
    switch (P.HorzAlign) {
      case tofCenterHorz: x = Rect.Left + (Rect.Width() - row.Width) / 2; break;
      case tofRight: x = Rect.Right - row.Width; break;
      default: x = Rect.Left;
    }
    if (P.PreventLeftExceed) x = std::max(x, Rect.Left);
    row.X = x;
    row.Y = y;
    y += P.RowHeight;
    if (remainder > 0) {
      ++y;
      --remainder;
    }
  }
}

void PlaceTextRows(HDC, const TRect& Rect, TcxTextParams& Params, int RowCount, TcxTextRows& Rows) {
  PlaceTextRows(Rect, Params, RowCount, Rows);
}

// ---------------------------------------------------------------- drawing

namespace {

void OutRow(HDC DC, const TcxTextRow& Row, const TcxTextParams& P) {
  String s(Row.Text, ByteSpan(Row.Text, Row.Length));
  if (P.ExpandTabs)
    TabbedTextOut(DC, Row.X, Row.Y, s, -1, 0, nullptr, Row.X);
  else
    TextOut(DC, Row.X, Row.Y, s);
}

int PartialExtent(TcxTextMeasurer& M, const TcxTextRow& Row, int Chars, bool ExpandTabs) {
  if (Chars <= 0) return 0;
  return M.Extent(Row.Text, Chars, ExpandTabs).cx;
}

}  // namespace

void DrawTextRows(HDC DC, const TRect& Rect, TcxTextParams& P, bool TextCut, TColor SelTextColor,
                  TColor SelBackgroundColor, int SelLength, int SelStart, int RowCount, TcxTextRows& Rows) {
  const COLORREF selText = ColorToRGB(SelTextColor);
  const COLORREF selBack = ColorToRGB(SelBackgroundColor);
  const int oldMode = SetBkMode(DC, TRANSPARENT);
  HBRUSH selBrush = SelLength > 0 ? CreateSolidBrush(selBack) : nullptr;
  const int availWidth = Rect.Width();
  TRect r = Rect;
  RowCount = std::min(RowCount, int(Rows.size()));
  TcxDCTextMeasurer measurer(DC);
  for (int i = 0; i < RowCount; ++i) {
    TcxTextRow& row = Rows[std::size_t(i)];
    const bool last = i == RowCount - 1;
    if (row.Length == 0 && !(TextCut && P.EndEllipsis && last)) continue;
    r.Top = row.Y;
    r.Bottom = row.Y + P.RowHeight;
    const bool ellipsis = P.EndEllipsis && last && (row.Width > availWidth || TextCut);
    int extra = 0;
    if (IsJustified(P) && !ellipsis) {
      extra = availWidth - row.Width;
      if (row.BreakCount > 0 && extra > 0)
        SetTextJustification(DC, extra, row.BreakCount);
    }
    HRGN clip = nullptr;
    bool clipped = false;
    if (!P.NoClip && (row.Width > availWidth || r.Top < Rect.Top || r.Bottom > Rect.Bottom)) {
      r.Top = std::max(r.Top, Rect.Top);
      r.Bottom = std::min(r.Bottom, Rect.Bottom);
      clip = SaveAndIntersectClip(DC, r);
      clipped = true;
    }
    if (ellipsis && row.Length > 0) {
      const int allowed = std::max(0, availWidth - P.EllipsisWidth);
      int fit = 0;
      String s(row.Text, ByteSpan(row.Text, row.Length));
      if (!GetTextExtentExPoint(DC, s, -1, allowed, &fit, nullptr, nullptr)) fit = 0;
      row.Length = std::max(1, fit);
      MeasureRow(measurer, row, P);
    }
    if (row.Length > 0) OutRow(DC, row, P);
    if (SelLength > 0 && SelStart < row.StartOffset + row.Length && row.StartOffset < SelStart + SelLength) {
      const int s = std::max(SelStart, row.StartOffset) - row.StartOffset;
      const int e = std::min(SelStart + SelLength, row.StartOffset + row.Length) - row.StartOffset;
      if (e > s) {
        const int xs = PartialExtent(measurer, row, s, P.ExpandTabs);
        const int xe = PartialExtent(measurer, row, e, P.ExpandTabs);
        String rowText(row.Text, ByteSpan(row.Text, row.Length));
        TRect sel = IsMirroredTextCharset(P.CharSet, rowText)
                        ? TRect{row.X + row.Width - xe, r.Top, row.X + row.Width - xs, r.Bottom}
                        : TRect{row.X + xs, r.Top, row.X + xe, r.Bottom};
        if (sel.Left < sel.Right && sel.Top < sel.Bottom) {
          HRGN selClip = SaveAndIntersectClip(DC, sel);
          FillRect(DC, sel, selBrush);
          const COLORREF oldColor = SetTextColor(DC, selText);
          OutRow(DC, row, P);
          SetTextColor(DC, oldColor);
          RestoreClip(DC, selClip);
        }
      }
    }
    if (ellipsis) {
      const int x = r.Left + row.Width;
      if (x < r.Right) {
        HRGN ellClip = nullptr;
        const bool clipEll = !P.NoClip && x + P.EllipsisWidth > r.Right;
        if (clipEll) ellClip = SaveAndIntersectClip(DC, TRect{x, r.Top, Rect.Right, r.Bottom});
        TextOut(DC, x, row.Y, kEllipsis);
        if (clipEll) RestoreClip(DC, ellClip);
      }
    }
    if (clipped) RestoreClip(DC, clip);
    if (extra > 0) SetTextJustification(DC, 0, 0);
  }
  if (selBrush) DeleteObject(selBrush);
  SetBkMode(DC, oldMode);
}

int MaxRowWidth(const TcxTextRows& Rows, int Count) {
  int n = std::min(Count, int(Rows.size())), w = 0;
  for (int i = 0; i < n; ++i) w = std::max(w, Rows[std::size_t(i)].Width);
  return w;
}

TRect IndentRect(const TRect& Rect, int LeftIndent, int RightIndent) {
  TRect r = Rect;
  r.Left += LeftIndent;
  r.Right -= RightIndent;
  return r;
}

void PrepareTextOutData(TcxTextMeasurer& M, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                        TcxTextOutFlags Flags, int SelStart, int SelLength, TColor SelBackgroundColor,
                        TColor SelTextColor, int MaxLineCount, int LeftIndent, int RightIndent) {
  Data.Prepared = true;
  Data.RowCount = 0;
  Data.Rows.clear();
  if (Text.empty()) return;
  InitTextParams(M, Flags, Data.Params);
  Data.TextRect = IndentRect(Rect, LeftIndent, RightIndent);
  if (Data.TextRect.Width() <= 0 || Data.TextRect.Height() <= 0) return;
  const bool allFit = LayOutTextRows(M, Text.c_str(), Data.TextRect, MaxLineCount, Data.RowCount, Data.Rows,
                                     Data.Params);
  Data.TextCut = !allFit;
  if (Data.RowCount == 0) return;
  if (MaxLineCount > 0 && Data.RowCount >= MaxLineCount) {
    Data.RowCount = MaxLineCount;
    Data.TextCut = Data.TextCut && Data.Params.EndEllipsis && Data.Params.WholeRows && !Data.Params.SingleLine;
  } else {
    Data.TextCut = false;
  }
  PlaceTextRows(Data.TextRect, Data.Params, Data.RowCount, Data.Rows);
  const int n = CharsIn(Text.c_str());
  if (SelStart < 0 || SelStart >= n)
    SelLength = 0;
  else if (SelStart + SelLength > n)
    SelLength = n - SelStart;
  Data.SelStart = SelStart;
  Data.SelLength = SelLength;
  Data.SelBackgroundColor = SelBackgroundColor;
  Data.SelTextColor = SelTextColor;
}

void PrepareTextOutData(TCanvas* Canvas, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                        TcxTextOutFlags Flags, int SelStart, int SelLength, TColor SelBackgroundColor,
                        TColor SelTextColor, int MaxLineCount, int LeftIndent, int RightIndent) {
  TcxDCTextMeasurer m(ReadyHandle(Canvas));
  PrepareTextOutData(m, Data, Text, Rect, Flags, SelStart, SelLength, SelBackgroundColor, SelTextColor,
                     MaxLineCount, LeftIndent, RightIndent);
}

void DrawTextOutData(TCanvas* Canvas, TcxTextOutData& Data, const String& Text, const TRect& Rect,
                     TcxTextOutFlags Flags, int SelStart, int SelLength, TColor SelBackgroundColor,
                     TColor SelTextColor, int MaxLineCount, int LeftIndent, int RightIndent) {
  if (!Data.Prepared)
    PrepareTextOutData(Canvas, Data, Text, Rect, Flags, SelStart, SelLength, SelBackgroundColor, SelTextColor,
                       MaxLineCount, LeftIndent, RightIndent);
  HDC dc = ReadyHandle(Canvas);
  DrawTextRows(dc, Data.TextRect, Data.Params, Data.TextCut, Data.SelTextColor, Data.SelBackgroundColor,
               Data.SelLength, Data.SelStart, Data.RowCount, Data.Rows);
}
