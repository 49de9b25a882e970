#include "report/frxGraphicUtils.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include "gui/MeasuringDC.h"
#include "report/frxPrinter.h"
#include "report/frxUnicodeUtils.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <numbers>

namespace {

// Rounding as the platform rounds: half to even.
int Rnd(double v) { return int(std::nearbyint(v)); }

char32_t Upper(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;  // а..я
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;  // ѐ..џ, ё among them
  return c;
}

// Letter classes of syllable breaking, upper-case Cyrillic.
bool IsVowel(char32_t c) { return std::u32string_view(U"АЕЁИОУЫЭЮЯ").find(c) != std::u32string_view::npos; }
bool IsConsonant(char32_t c) {
  return std::u32string_view(U"БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ").find(c) != std::u32string_view::npos;
}
bool IsSign(char32_t c) { return c == U'Ь' || c == U'Ъ'; }
bool HasVowel(std::u32string_view s) { return std::any_of(s.begin(), s.end(), IsVowel); }

bool StartsWithNoCase(const std::u32string& s, std::size_t at, std::u32string_view what) {
  if (s.size() - at < what.size()) return false;
  for (std::size_t k = 0; k < what.size(); ++k)
    if (Upper(s[at + k]) != Upper(what[k])) return false;
  return true;
}

int HexDigit(char32_t c) {
  if (c >= U'0' && c <= U'9') return int(c - U'0');
  if (c >= U'a' && c <= U'f') return int(c - U'a') + 10;
  if (c >= U'A' && c <= U'F') return int(c - U'A') + 10;
  return -1;
}

// The colour of a font tag's value: quoted "#RRGGBB" or the name of a colour without its "cl".
bool ColorOfValue(const std::u32string& v, TColor& Color) {
  if (v.size() >= 4 && v[0] == U'"' && v[1] == U'#' && v.back() == U'"') {
    std::u32string digits = v.substr(2, v.size() - 3);
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t rgb = 0;
    for (char32_t c : digits) {
      int d = HexDigit(c);
      if (d < 0) return false;  // not a colour: the tag stays text
      rgb = rgb * 16 + std::uint32_t(d);
    }
    // RRGGBB as written; the platform's colours hold red in the low byte.
    Color = TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    return true;
  }
  return IdentToColor("cl" + Utf32ToUtf8(v), Color);
}

bool IsBlank(char32_t c) { return c == U' ' || c == 0xA0; }

}  // namespace

// ================================================================ TfrxHTMLTagsList

TfrxHTMLTagsList::TfrxHTMLTagsList() = default;
TfrxHTMLTagsList::~TfrxHTMLTagsList() = default;

void TfrxHTMLTagsList::Clear() {
  FLines.clear();
  FPosition = 1;
}

void TfrxHTMLTagsList::SetDefaults(TColor Color, int Size, TFontStyles Style) {
  FDefColor = FColor = Color;
  FDefSize = FSize = Size;
  FDefStyle = FStyle = Style;
  FShift = 0;
  FPosition = 1;
}

void TfrxHTMLTagsList::NewLine() { FLines.push_back(std::make_unique<TfrxHTMLTags>()); }

const TfrxHTMLTag* TfrxHTMLTagsList::PreviousTag() const {
  for (auto it = FLines.rbegin(); it != FLines.rend(); ++it)
    if ((*it)->Count() > 0) return &(*it)->Items((*it)->Count() - 1);
  return nullptr;
}

void TfrxHTMLTagsList::AddCharTag() {
  if (FLines.empty()) NewLine();
  TfrxHTMLTag t;
  t.SourcePos = FPosition;
  t.FontSize = FSize;
  t.FontStyle = FStyle;
  t.FontColor = FColor;
  t.ShiftDown = FShift;
  t.Reduced = FSize != FDefSize;
  if (!AllowTags) {
    t.SameAsPrevious = true;
  } else if (const TfrxHTMLTag* p = PreviousTag()) {
    t.SameAsPrevious = p->FontStyle == t.FontStyle && p->FontColor == t.FontColor && p->FontSize == t.FontSize;
  } else {
    t.SameAsPrevious = FDefStyle == t.FontStyle && FDefColor == t.FontColor && FDefSize == t.FontSize;
  }
  FLines.back()->Add(t);
  ++FPosition;
}

int TfrxHTMLTagsList::MatchTag(const std::u32string& Line, std::size_t Index) {
  struct TSimpleTag {
    std::u32string_view Text;
    int Kind;
  };
  // Kinds: 1..4 add bold, italic, underline, strikeout; 5..8 remove them; 9 sub, 10 sup,
  // 11 end of sub or sup, 12 end of font.
  static const TSimpleTag tags[] = {{U"b>", 1},       {U"i>", 2},       {U"u>", 3},      {U"strike>", 4},
                                    {U"/b>", 5},      {U"/i>", 6},      {U"/u>", 7},     {U"/strike>", 8},
                                    {U"sub>", 9},     {U"sup>", 10},    {U"/sub>", 11},  {U"/sup>", 11},
                                    {U"/font>", 12}};
  std::size_t at = Index + 1;
  for (const TSimpleTag& t : tags) {
    if (!StartsWithNoCase(Line, at, t.Text)) continue;
    static const TFontStyle styles[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    if (t.Kind <= 4) FStyle += styles[t.Kind - 1];
    else if (t.Kind <= 8) FStyle -= styles[t.Kind - 5];
    else if (t.Kind <= 10) {
      FSize = Rnd(FDefSize / 1.5);
      FShift = t.Kind == 9 ? 1 : 0;
    } else if (t.Kind == 11) {
      FSize = FDefSize;
      FShift = 0;
    } else {
      FColor = FDefColor;
    }
    return int(t.Text.size()) + 1;
  }
  if (!StartsWithNoCase(Line, at, U"font color")) return 0;
  std::size_t eq = Line.find(U'=', at + 10);
  if (eq == std::u32string::npos) return 0;
  std::size_t close = Line.find(U'>', eq);
  if (close == std::u32string::npos) return 0;
  std::size_t v = eq + 1;
  while (v < close && Line[v] == U' ') ++v;
  TColor color;
  if (!ColorOfValue(Line.substr(v, close - v), color)) return 0;
  FColor = color;
  return int(close - Index + 1);
}

void TfrxHTMLTagsList::ParseLine(std::u32string& Line) {
  if (FLines.empty()) NewLine();
  if (Line.empty()) return;
  if (!AllowTags) {
    for (std::size_t k = 0; k < Line.size(); ++k) AddCharTag();
    return;
  }
  int start = FPosition;
  std::u32string plain;
  plain.reserve(Line.size());
  for (std::size_t k = 0; k < Line.size();) {
    if (Line[k] == U'<') {
      int n = MatchTag(Line, k);
      if (n > 0) {
        FPosition += n;
        k += std::size_t(n);
        continue;
      }
    }
    AddCharTag();
    plain += Line[k++];
  }
  if (plain.empty()) {
    // Tags only: one blank holds the line's place.
    int end = FPosition;
    FPosition = start;
    AddCharTag();
    FPosition = end;
    plain = U" ";
  }
  Line = std::move(plain);
}

// Keeps Count records in the last tag line and moves the others into a new one. With a hyphen
// the kept line gets one more record, a copy of its last; without one, a first moved record
// that continues the style takes the last kept record's fields, its source position included,
// so that the next line starts (for splitting) at the blank where the line was broken.
void TfrxHTMLTagsList::SplitLastLine(int Count, bool Hyphen) {
  if (FLines.empty()) return;
  auto& kept = FLines.back()->Records();
  if (int(kept.size()) <= Count) return;
  auto moved = std::make_unique<TfrxHTMLTags>();
  moved->Records().assign(kept.begin() + Count, kept.end());
  kept.resize(std::size_t(Count));
  if (Hyphen) {
    if (!kept.empty()) kept.push_back(kept.back());
  } else if (!kept.empty() && moved->Items(0).SameAsPrevious) {
    moved->Items(0) = kept.back();
  }
  FLines.push_back(std::move(moved));
}

// ================================================================ TfrxDrawText

TfrxDrawText::TfrxDrawText()
    : FCanvas(std::make_unique<TMeasuringCanvas>(ReferenceDpi)), FTags(std::make_unique<TfrxHTMLTagsList>()) {}

TfrxDrawText::~TfrxDrawText() = default;

void TfrxDrawText::Acquire() {
  // A repaint of the preview while a report is being built comes through the message loop.
  while (FBusy && Application) Application->ProcessMessages();
  FBusy = true;
}

void TfrxDrawText::AssignFont(TFont* Font) {
  FFontSize = std::clamp(std::abs(Font->Size()), 1, MaxFontSize);
  TFont* f = FCanvas->Font();
  f->SetName(Font->Name());
  f->SetStyle(Font->Style());
  f->SetCharset(Font->Charset());
  f->SetColor(Font->Color());
  FFontHeightRef = Rnd(FFontSize * double(ReferenceDpi) / 72);
  f->SetHeight(-FFontHeightRef);
}

void TfrxDrawText::SetLayoutOptions(bool WordWrap, bool AllowTags, int Rotation, bool Clipped, bool WordBreak,
                                    bool RightToLeft) {
  FWordWrap = WordWrap;
  FTags->AllowTags = AllowTags;
  FRotation = NormalizeRotation(Rotation);
  FWordBreak = WordBreak;
  FRightToLeft = RightToLeft;
  FOptions = (RightToLeft ? int(ETO_RTLREADING) : 0) | (Clipped ? int(ETO_CLIPPED) : 0);
}

void TfrxDrawText::SetSpacing(Extended LineSpacing, Extended CharSpacing, Extended ParagraphGap) {
  FLineSpacing = double(LineSpacing);
  FCharSpacing = double(CharSpacing);
  FParagraphGap = double(ParagraphGap);
}

void TfrxDrawText::SetRects(const TRect& LayoutRect, const TRect& ClipRect, Extended ScaleX, Extended ScaleY) {
  FLayoutRect = LayoutRect;
  FClipRect = ClipRect;
  FScaleX = double(ScaleX);
  FScaleY = double(ScaleY);
}

String TfrxDrawText::Lines(int Index) const { return Utf32ToUtf8(FLines[std::size_t(Index)].Text); }

void TfrxDrawText::LayoutText(const TWideStrings* Lines) {
  std::vector<String> lines;
  if (Lines) {
    lines.reserve(std::size_t(Lines->Count()));
    for (int k = 0; k < Lines->Count(); ++k) lines.push_back(Lines->Strings(k));
  }
  LayoutText(lines);
}

void TfrxDrawText::LayoutText(const std::vector<String>& Lines) {
  FSourceText.clear();
  FLines.clear();
  FTags->Clear();
  TFont* f = FCanvas->Font();
  TFontStyles style = f->Style();
  FTags->SetDefaults(f->Color(), FFontSize, style);
  bool sideways = (FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359);
  int w = sideways ? FLayoutRect.Bottom - FLayoutRect.Top : FLayoutRect.Right - FLayoutRect.Left;
  int maxWidth = Rnd(w * RefRatio), spacing = Rnd(FCharSpacing * RefRatio);
  int firstWidth = Rnd((w - FParagraphGap) * RefRatio);
  // Laying out to fit: the lines the rectangle holds and one more are enough to split it.
  std::size_t enough = SIZE_MAX;
  if (FLayoutToFit && LineStep() > 0)
    enough = std::size_t(std::max(0.0, std::trunc((FLayoutRect.Bottom - FLayoutRect.Top + 1) / double(LineStep())))) + 1;
  for (const String& source : Lines) {
    std::u32string line = Utf8ToUtf32(source);
    if (line.empty()) line = U" ";
    FSourceText += line;
    FSourceText += U"\r\n";
    if (FLines.size() >= enough) continue;
    std::size_t first = FLines.size();
    WrapParagraph(std::move(line), maxWidth, spacing, firstWidth);
    if (FLines.size() > first) {
      FLines[first].Marks |= 1;
      FLines.back().Marks |= 2;
    }
  }
  f->SetStyle(style);
}

void TfrxDrawText::WrapParagraph(std::u32string Text, int MaxWidth, int CharSpacing, int FirstWidth) {
  if (!FLines.empty()) FTags->NewLine();
  FTags->ParseLine(Text);
  FTags->AdvancePosition(2);
  int n = int(Text.size());
  if (n <= 1 || !FWordWrap) return AddLine(std::move(Text));
  int index = FTags->Count() - 1;
  MeasureLineWidths(index, Text, true, CharSpacing, FCanvas.get());
  std::vector<int> cum(std::size_t(n) + 1, 0);  // 1-based: cum[i] = width through character i
  std::copy(FWidths.begin(), FWidths.end(), cum.begin() + 1);
  if (cum[std::size_t(n)] < FirstWidth) return AddLine(std::move(Text));

  auto sub = [&](int from, int to) { return Text.substr(std::size_t(from - 1), std::size_t(std::max(0, to - from + 1))); };
  int limit = FirstWidth, base = 0, s = 1, b = 1;
  for (int i = 1; i <= n;) {
    if (Text[std::size_t(i - 1)] == U' ') b = i;
    if (cum[std::size_t(i)] - base <= limit) {
      ++i;
      continue;
    }
    std::u32string line;
    if (b != s) {
      std::u32string part = FWordBreak ? BreakWordAtSyllable(Text, b + 1, i, n) : std::u32string();
      if (!part.empty()) {
        line = sub(s, b) + part + U"-";
        FTags->SplitLastLine(b - s + 1 + int(part.size()), true);
        b += int(part.size());
      } else {
        line = sub(s, b - 1);
        FTags->SplitLastLine(b - s + 1, false);
      }
    } else if (i == s) {
      line = sub(s, s);
      FTags->SplitLastLine(1, false);
    } else {
      std::u32string part = FWordBreak ? BreakWordAtSyllable(Text, s, i, n) : std::u32string();
      if (!part.empty()) {
        line = part + U"-";
        FTags->SplitLastLine(int(part.size()), true);
        b = s + int(part.size()) - 1;
      } else {
        line = sub(s, i - 1);
        FTags->SplitLastLine(i - s, false);
        b = i - 1;
      }
    }
    AddLine(std::move(line));
    s = b + 1;
    base = cum[std::size_t(b)];
    i = s;
    b = s;
    limit = MaxWidth;
  }
  if (s <= n) AddLine(sub(s, n));
}

std::u32string TfrxDrawText::BreakWordAtSyllable(const std::u32string& Text, int W, int I, int E) {
  int end = std::max(I, W);
  while (end <= E && std::u32string_view(U" .,-;").find(Text[std::size_t(end - 1)]) == std::u32string_view::npos)
    ++end;
  if (end <= W) return {};
  std::u32string word = Text.substr(std::size_t(W - 1), std::size_t(end - W));
  std::u32string upper = word;
  for (char32_t& c : upper) c = Upper(c);
  int n = I - W;
  int best = 0;
  for (int p : SyllableBreakPositions(upper))
    if (p < n) best = p;
  if (best == 0) return {};
  return word.substr(0, std::size_t(best));
}

std::vector<int> TfrxDrawText::SyllableBreakPositions(const std::u32string& Word) {
  std::vector<int> result;
  int len = int(Word.size());
  if (len < 4) return result;
  auto at = [&](int k) { return Word[std::size_t(k - 1)]; };  // 1-based
  for (int k = 1; k <= len; ++k) {
    char32_t c = at(k);
    bool proposed = false;
    if (IsConsonant(c)) {
      proposed = !(k + 1 <= len && (IsVowel(at(k + 1)) || IsSign(at(k + 1))));
    } else if (IsVowel(c)) {
      bool shortI = k + 1 <= len && at(k + 1) == U'Й';
      // A doubled consonant before a vowel is split between its two letters instead.
      bool doubled = k + 3 <= len && IsConsonant(at(k + 1)) && at(k + 1) == at(k + 2) && IsVowel(at(k + 3));
      proposed = !shortI && !doubled;
    }
    if (!proposed) continue;
    std::u32string_view head(Word.data(), std::size_t(k));
    std::u32string_view rest = std::u32string_view(Word).substr(std::size_t(k), 255);
    if (head.size() >= 2 && rest.size() >= 2 && HasVowel(head) && HasVowel(rest)) result.push_back(k);
  }
  return result;
}

int TfrxDrawText::MeasureLineWidths(int Index, const std::u32string& Text, bool Cumulative, int Extra, TCanvas* Canvas) {
  int n = int(Text.size());
  FWidths.assign(std::size_t(n), 0);
  if (n == 0) return 0;
  TfrxHTMLTags* tags = Index >= 0 && Index < FTags->Count() ? &FTags->Items(Index) : nullptr;
  auto rec = [&](int k) -> const TfrxHTMLTag* { return tags && k < tags->Count() ? &tags->Items(k) : nullptr; };
  if (const TfrxHTMLTag* r = rec(0); r && !r->SameAsPrevious) Canvas->Font()->SetStyle(r->FontStyle);
  // Extents are taken from a character on; kerning is off, so measuring the rest of the line
  // again where the style changes gives what measuring the whole line would.
  std::vector<int> ext(std::size_t(n), 0);
  auto measure = [&](int from) {
    String part = Utf32ToUtf8(std::u32string_view(Text).substr(std::size_t(from)));
    GetTextExtentExPoint(Canvas->Handle(), part, -1, 0, nullptr, ext.data() + from, nullptr);
  };
  measure(0);
  int prev = 0, sum = 0;
  for (int k = 0; k < n; ++k) {
    const TfrxHTMLTag* r = rec(k);
    if (k > 0 && r && !r->SameAsPrevious) {
      Canvas->Font()->SetStyle(r->FontStyle);
      measure(k);
      prev = 0;
    }
    int w = ext[std::size_t(k)] - prev + Extra;
    prev = ext[std::size_t(k)];
    if (r && r->Reduced) w = Rnd(w / 1.5);
    sum += w;
    FWidths[std::size_t(k)] = Cumulative ? sum : w;
  }
  return sum;
}

// ---------------------------------------------------------------- measures

Extended TfrxDrawText::LineStep() const { return FFontHeightRef / RefRatio + FLineSpacing; }

Extended TfrxDrawText::LayoutHeight() const { return FLines.empty() ? 0 : LineStep() * Extended(FLines.size()); }

Extended TfrxDrawText::LayoutWidth() {
  double widest = 0;
  for (const TLine& l : FLines) {
    TSize size{0, 0};
    String text = Utf32ToUtf8(l.Text);
    GetTextExtentPoint32(FCanvas->Handle(), text, -1, &size);
    double w = size.cx + Rnd(double(l.Text.size()) * FCharSpacing * RefRatio) +
               ((l.Marks & 1) ? Rnd(FParagraphGap * RefRatio) : 0);
    widest = std::max(widest, w);
  }
  return widest / RefRatio;
}

Extended TfrxDrawText::UnusedHeight() const {
  double a = FLayoutRect.Bottom - FLayoutRect.Top + 1;
  double step = double(LineStep());
  if (step <= 0) return 0;
  double n = std::trunc(a / step);
  if (n <= 0) return 0;
  double rest = a - n * step;
  return rest == 0 ? 0.0001 : rest;
}

String TfrxDrawText::SplitOffOverflow() {
  double a = FLayoutRect.Bottom - FLayoutRect.Top + 1;
  double step = double(LineStep());
  int fit = step > 0 ? int(std::max(0.0, std::trunc(a / step))) : 0;
  int n = std::min(int(FLines.size()), fit);
  if (n >= FTags->Count() || FTags->Items(n).Count() == 0) return {};
  FLines.resize(std::size_t(n));
  const TfrxHTMLTag first = FTags->Items(n).Items(0);
  std::size_t p = std::size_t(std::clamp(first.SourcePos, 1, int(FSourceText.size()) + 1) - 1);
  std::u32string rest = FSourceText.substr(p);
  if (!rest.empty() && rest[0] == U' ') rest.erase(0, 1);
  FSourceText.resize(p);
  String result = Utf32ToUtf8(rest);
  if (FTags->AllowTags) {
    COLORREF rgb = ColorToRGB(first.FontColor);
    String prefix = "<font color=\"#" + IntToHex(int(rgb & 0xFF), 2) + IntToHex(int((rgb >> 8) & 0xFF), 2) +
                    IntToHex(int((rgb >> 16) & 0xFF), 2) + "\">";
    if (first.FontStyle.Contains(fsUnderline)) prefix += "<u>";
    if (first.FontStyle.Contains(fsItalic)) prefix += "<i>";
    if (first.FontStyle.Contains(fsBold)) prefix += "<b>";
    result = prefix + result;
  }
  return result;
}

String TfrxDrawText::FittingText() const { return Utf32ToUtf8(FSourceText); }

// ================================================================ output

bool IsPrinterCanvas(TCanvas* Canvas) { return dynamic_cast<TfrxPrinterCanvas*>(Canvas) != nullptr; }

void DistributeIncrements(std::vector<int>& Items, int First, int Last, int Increment, int N) {
  if (N <= 0 || Last < First) return;
  if (First == Last) {
    Items[std::size_t(First)] += Increment * N;
    return;
  }
  int half = std::max((Last - First + 1) / 2, 1);
  if (N == 1) {
    Items[std::size_t(First + half - 1)] += Increment;
    return;
  }
  DistributeIncrements(Items, First, First + half - 1, Increment, N / 2);
  DistributeIncrements(Items, First + half, Last, Increment, N - N / 2);
}

HFONT CreateRotatedFont(TFont* Font, int Rotation) {
  LOGFONT lf;
  GetObject(Font->Handle(), &lf);
  lf.lfEscapement = lf.lfOrientation = Rotation * 10;
  return CreateFontIndirect(lf);
}

TfrxDrawText& SharedDrawText() {
  // Lives until the process ends: its fonts must not go after the application that made them.
  static TfrxDrawText* shared = new TfrxDrawText;
  return *shared;
}

void TfrxDrawText::SetCanvasFontHeight(TCanvas* Canvas, int Size) {
  Canvas->Font()->SetHeight(FPrinter ? -Rnd(Size * double(FDpiY) / 72) : -Rnd(Size * FScaleY * ScreenDpi / 72));
}

void TfrxDrawText::SelectRotatedFont(TCanvas* Canvas) {
  if (FRotation == 0) return;
  HDC dc = Canvas->Handle();
  HFONT rotated = CreateRotatedFont(Canvas->Font(), FRotation);
  SelectObject(dc, rotated);
  if (FRotatedFont) DeleteObject(FRotatedFont);
  FRotatedFont = rotated;
}

void TfrxDrawText::DeselectRotatedFont(TCanvas* Canvas) {
  if (!FRotatedFont) return;
  SelectObject(Canvas->Handle(), Canvas->Font()->Handle());
  DeleteObject(FRotatedFont);
  FRotatedFont = nullptr;
}

void TfrxDrawText::DrawLayout(TCanvas* Canvas, TfrxHAlign HAlign, TfrxVAlign VAlign) {
  if (FLines.empty() || FTags->Count() == 0) return;
  FPrinter = IsPrinterCanvas(Canvas);
  HDC dc = Canvas->Handle();
  FDpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
  FDpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
  TFont* mf = FCanvas->Font();
  TFont* cf = Canvas->Font();
  cf->SetName(mf->Name());
  cf->SetCharset(mf->Charset());
  cf->SetStyle(mf->Style());
  cf->SetColor(mf->Color());
  SetCanvasFontHeight(Canvas, FFontSize);
  if (FTags->Items(0).Count() > 0) {
    TfrxHTMLTag& first = FTags->Items(0).Items(0);
    if (!first.SameAsPrevious) {
      cf->SetStyle(first.FontStyle);
      cf->SetColor(first.FontColor);
      SetCanvasFontHeight(Canvas, first.FontSize);
      first.SameAsPrevious = true;
    }
  }
  SelectRotatedFont(Canvas);

  // Heights: the lines together as high as at the reference resolution, converted.
  int n = int(FLines.size());
  int tH = std::abs(cf->Height());
  int rH = FFontHeightRef;
  int ideal;
  if (FPrinter) {
    double r = double(ReferenceDpi) / FDpiY;
    ideal = Rnd((FLineSpacing * FScaleY * r * n + double(rH) * n) / r);
  } else {
    ideal = Rnd((FLineSpacing * RefRatio * n + double(rH) * n) / RefRatio * FScaleY);
  }
  int step = Rnd(FLineSpacing * FScaleY) + tH;
  std::vector<int> gaps(std::size_t(std::max(n - 1, 0)), 0);
  int d = ideal - n * step;
  if (n > 1 && d != 0) {
    int sign = d < 0 ? -1 : 1, a = std::abs(d);
    if (a < n) {
      DistributeIncrements(gaps, 0, n - 2, sign, a);
    } else {
      for (int& g : gaps) g = sign * (a / (n - 1));
      DistributeIncrements(gaps, 0, n - 2, sign, a % (n - 1));
    }
  }

  // The origin of the first line, its length and the free extent across the lines.
  const double rad = FRotation * std::numbers::pi / 180;
  const double s = std::abs(std::sin(rad)), c = std::abs(std::cos(rad));
  const int L = FClipRect.Left, T = FClipRect.Top, R = FClipRect.Right, B = FClipRect.Bottom;
  const int H = ideal;
  int x = L, y = T, w = R - L, e = B - T;
  int slanted = c > 0 ? Rnd((R - L - H * s) / c) : R - L;
  int rot = FRotation;
  double p = 1, q = 0;
  if (rot == 0) {
  } else if (rot < 90) {
    w = slanted;
    y = T + Rnd(w * s);
    e = (B - y) - Rnd(H * c) + H;
  } else if (rot == 90) {
    y = B, w = B - T, e = R - L, p = 0, q = 1;
  } else if (rot < 180) {
    w = slanted;
    x = L + Rnd(w * c);
    y = B;
    e = (B - T) - Rnd(H * c + w * s) + H;
    p = -1;
  } else if (rot == 180) {
    x = R, y = B, p = -1;
  } else if (rot < 270) {
    w = slanted;
    x = R;
    y = B - Rnd(w * s);
    e = (y - T) - Rnd(H * c) + H;
    p = -1;
  } else if (rot == 270) {
    x = R, y = T, w = B - T, e = R - L, p = 0, q = -1;
  } else {
    w = slanted;
    x = L + Rnd(H * s);
    e = (B - T) - Rnd(w * s + H * c) + H;
  }
  if (VAlign != vaTop) {
    double f = e - H;
    if (VAlign == vaCenter) f /= 2;
    f = Rnd(f);
    y += Rnd(f * p);
    x += Rnd(f * q);
  }

  const double cosr = std::cos(rad), sinr = std::sin(rad);
  for (int k = 0; k < n; ++k) {
    // Clipped upright lines below the area draw nothing, and the lines after them neither.
    if (rot == 0 && (FOptions & ETO_CLIPPED) && y >= B) break;
    const TLine& line = FLines[std::size_t(k)];
    bool first = line.Marks & 1, last = line.Marks & 2;
    int indent = first && (HAlign == haLeft || HAlign == haBlock) ? Rnd(FParagraphGap * FScaleX) : 0;
    TfrxHAlign align = HAlign;
    if (HAlign == haBlock && last) align = FRightToLeft ? haRight : haLeft;
    OutputLine(Canvas, line.Text, x + indent, y, w - indent, k, align);
    if (k < n - 1) {
      int lineStep = step + gaps[std::size_t(k)];
      y += Rnd(lineStep * cosr);
      x += Rnd(lineStep * sinr);
    }
  }
  DeselectRotatedFont(Canvas);
}

void TfrxDrawText::OutputLine(TCanvas* Canvas, const std::u32string& Text, int X, int Y, int Length, int Index,
                              TfrxHAlign Align) {
  TFont* cf = Canvas->Font();
  TFontStyles style = cf->Style();
  FTags->SetDefaultStyle(style);
  FCanvas->Font()->SetStyle(style);
  int extraRef = Rnd(FCharSpacing * RefRatio);
  int wr = MeasureLineWidths(Index, Text, false, extraRef, FCanvas.get()) - extraRef;
  int extra = Rnd(FCharSpacing * FScaleX);
  int wt = MeasureLineWidths(Index, Text, false, extra, Canvas) - extra;
  cf->SetStyle(style);

  int n = int(Text.size());
  if (n == 0) return;
  int ideal = FPrinter ? Rnd(wr / (double(ReferenceDpi) / FDpiX)) : Rnd(wr / RefRatio * FScaleX);
  int d = ideal - wt;
  const double rad = FRotation * std::numbers::pi / 180;
  const double cosr = std::cos(rad), sinr = std::sin(rad);
  int blanks = 0;
  if (Align == haBlock) {
    blanks = int(std::count_if(Text.begin(), Text.end(), IsBlank));
    if (blanks == 0) Align = haLeft;
    else d = std::abs(Length) - wt;
  }
  if (Align == haRight) {
    double v = Length - ideal + 1;
    X += Rnd(v * cosr);
    Y -= Rnd(v * sinr);
    X -= 1;
    if ((style.Contains(fsBold) || style.Contains(fsItalic)) && FRotation == 0) X -= 1;
  } else if (Align == haCenter) {
    double v = (Length - ideal) / 2.0;
    X += Rnd(v * cosr);
    Y -= Rnd(v * sinr);
  }

  // The correction goes into the advances.
  int sign = d < 0 ? -1 : (d > 0 ? 1 : 0), a = std::abs(d);
  if (Align == haBlock) {
    int each = a / blanks, more = a % blanks + 1, seen = 0;
    for (int k = 0; k < n; ++k)
      if (IsBlank(Text[std::size_t(k)])) FWidths[std::size_t(k)] += sign * (each + (seen++ < more ? 1 : 0));
  } else if (a < n) {
    DistributeIncrements(FWidths, 0, n - 1, sign, a);
  } else {
    for (int& w : FWidths) w += sign * (a / n);
    DistributeIncrements(FWidths, 0, n - 1, sign, a % n);
  }

  // Runs of characters of one look.
  TfrxHTMLTags& tags = FTags->Items(Index);
  auto rec = [&](int k) -> TfrxHTMLTag* { return k < tags.Count() ? &tags.Items(k) : nullptr; };
  auto shiftOf = [&](const TfrxHTMLTag* r) { return r ? Rnd(r->ShiftDown * r->FontSize * FScaleY) : 0; };
  int shift = shiftOf(rec(0));
  for (int start = 0; start < n;) {
    int end = start + 1;
    while (end < n && !(rec(end) && !rec(end)->SameAsPrevious)) ++end;
    HDC dc = Canvas->Handle();
    if (FRotation != 0 && GetCurrentObject(dc, OBJ_FONT) != FRotatedFont) SelectRotatedFont(Canvas);
    SetBkMode(dc, TRANSPARENT);
    String run = Utf32ToUtf8(std::u32string_view(Text).substr(std::size_t(start), std::size_t(end - start)));
    ExtTextOut(dc, X + Rnd(shift * sinr), Y + Rnd(shift * cosr), UINT(FOptions), &FClipRect, run,
               FWidths.data() + start);
    int width = 0;
    for (int k = start; k < end; ++k) width += FWidths[std::size_t(k)];
    if (end < n) {
      TfrxHTMLTag* r = rec(end);
      r->SameAsPrevious = true;
      SetCanvasFontHeight(Canvas, r->FontSize);
      cf->SetStyle(r->FontStyle);
      cf->SetColor(r->FontColor);
      shift = shiftOf(r);
    }
    if (FRotation == 0) {
      X += width;
    } else {
      X += Rnd(width * cosr);
      Y -= Rnd(width * sinr);
      if (end < n) SelectRotatedFont(Canvas);
    }
    start = end;
  }
  // A line broken at a blank keeps the blank's record after its characters: where the look
  // changes there, the next line starts in it.
  for (int k = n; k < tags.Count(); ++k) {
    TfrxHTMLTag* r = rec(k);
    if (r->SameAsPrevious) continue;
    r->SameAsPrevious = true;
    SetCanvasFontHeight(Canvas, r->FontSize);
    cf->SetStyle(r->FontStyle);
    cf->SetColor(r->FontColor);
  }
}
