// Fonts and text on device contexts: face substitution, metrics, TextOut/ExtTextOut placed by
// the top-left of the text cell, and DrawText's layout (alignment, word breaks between words,
// prefixes, tabs, ellipses, margins, calculation).
#include "gui/GdiText.h"

#include "gui/QtBridge_p.h"
#include "core/StrUtils.h"
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QTextLayout>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

// ================================================================ fonts

namespace {

constexpr const char* kChineseFace = "WenQuanYi Micro Hei";
constexpr const char* kChineseMonoFace = "WenQuanYi Micro Hei Mono";

struct TFaceSubstitute {
  const char* From;
  const char* To;
};
// The user interface's faces become the Chinese-capable face; the Latin faces reports name
// become their metric-compatible equivalents, so report layouts keep their line breaks.
constexpr TFaceSubstitute kFaceSubstitutes[] = {
    {"Default", kChineseFace},        {"MS Sans Serif", kChineseFace}, {"System", kChineseFace},
    {"Tahoma", kChineseFace},         {"Verdana", kChineseFace},       {"Wingdings", kChineseFace},
    {"Symbol", kChineseFace},         {"宋体", kChineseFace},          {"SimSun", kChineseFace},
    {"新宋体", kChineseFace},         {"NSimSun", kChineseFace},       {"黑体", kChineseFace},
    {"SimHei", kChineseFace},         {"楷体_GB2312", kChineseFace},   {"楷体", kChineseFace},
    {"KaiTi", kChineseFace},          {"仿宋_GB2312", kChineseFace},   {"仿宋", kChineseFace},
    {"FangSong", kChineseFace},       {"隶书", kChineseFace},          {"幼圆", kChineseFace},
    {"Arial", "Liberation Sans"},     {"Arial Narrow", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"}, {"Courier", "Liberation Mono"}, {"Lucida Console", "Liberation Mono"},
    {"Fixedsys", kChineseMonoFace},   {"Terminal", kChineseMonoFace},
};

}  // namespace

QStringList SubstituteFontFamilies(const String& FaceName, bool FixedPitch) {
  QString mapped;
  for (const auto& s : kFaceSubstitutes)
    if (AnsiSameText(FaceName, s.From)) {
      mapped = QString::fromUtf8(s.To);
      break;
    }
  if (mapped.isEmpty()) mapped = FaceName.empty() ? QString::fromUtf8(FixedPitch ? kChineseMonoFace : kChineseFace)
                                                  : ToQString(FaceName);
  bool mono = FixedPitch || mapped == "Liberation Mono" || mapped == kChineseMonoFace;
  // Characters the face lacks (Chinese in a Latin face) come from the Chinese face.
  QString fallback = QString::fromUtf8(mono ? kChineseMonoFace : kChineseFace);
  QStringList families{mapped};
  if (mapped != fallback) families << fallback;
  return families;
}

QFont MakeQFont(const LOGFONT& Lf, int EmPixels, bool Unhinted) {
  QFont f;
  f.setFamilies(SubstituteFontFamilies(Lf.lfFaceName, (Lf.lfPitchAndFamily & 3) == FIXED_PITCH));
  f.setPixelSize(std::max(1, EmPixels));
  f.setWeight(QFont::Weight(std::clamp(Lf.lfWeight == 0 ? int(FW_NORMAL) : Lf.lfWeight, 1, 1000)));
  f.setItalic(Lf.lfItalic != 0);
  f.setUnderline(Lf.lfUnderline != 0);
  f.setStrikeOut(Lf.lfStrikeOut != 0);
  // No kerning and, on the screen, whole-pixel advances: extents of parts add up to the
  // extent of the whole.
  f.setKerning(false);
  f.setHintingPreference(Unhinted ? QFont::PreferNoHinting : QFont::PreferFullHinting);
  if (Lf.lfWidth > 0) {
    int natural = QFontMetrics(f).averageCharWidth();
    if (natural > 0) f.setStretch(std::clamp(Lf.lfWidth * 100 / natural, 1, 4000));
  }
  return f;
}

TFontFace::TFontFace(const QFont& f) : Font(f), Metrics(f) {
  static std::atomic<std::uint64_t> serial{0};
  Id = ++serial;
  Tm.tmAscent = Metrics.ascent();
  Tm.tmDescent = Metrics.descent();
  Tm.tmHeight = Tm.tmAscent + Tm.tmDescent;
  Tm.tmInternalLeading = std::max(0, Tm.tmHeight - f.pixelSize());
  Tm.tmExternalLeading = std::max(0, Metrics.leading());
  Tm.tmAveCharWidth = Metrics.averageCharWidth();
  Tm.tmMaxCharWidth = Metrics.maxWidth();
  Tm.tmWeight = f.weight();
  Tm.tmOverhang = 0;
  Tm.tmItalic = f.italic();
  Tm.tmUnderlined = f.underline();
  Tm.tmStruckOut = f.strikeOut();
  // The platform's pitch bit is set for variable-pitch fonts; all faces here are outline fonts.
  Tm.tmPitchAndFamily = Byte((QFontInfo(f).fixedPitch() ? 0 : 1) | 2 | 4);
}

int TGdiFont::EmPixels(double scale) {
  int h = Lf.lfHeight;
  if (h == 0) return int(std::lround(12 * scale));
  if (h < 0) return std::max(1, int(std::lround(-h * scale)));
  if (!FCellToEm100) {
    QFontMetrics m(MakeQFont(Lf, 100));
    FCellToEm100 = std::max(1, m.ascent() + m.descent());
  }
  // A positive height is the cell height: the character height is in proportion.
  return std::max(1, int(std::lround(h * scale * 100.0 / FCellToEm100)));
}

namespace {

// Faces shared by font objects of the same description: a canvas whose font changes for
// every cell (bold titles, coloured rows) finds the realised face again instead of building it.
struct TFaceKey {
  String Name;
  int Em, Weight, Width;
  int Flags;  // italic, underline, strike-out, pitch, unhinted
  bool operator==(const TFaceKey& o) const {
    return Em == o.Em && Weight == o.Weight && Width == o.Width && Flags == o.Flags && Name == o.Name;
  }
};
struct TFaceKeyHash {
  std::size_t operator()(const TFaceKey& k) const {
    std::size_t h = std::hash<String>()(k.Name);
    for (std::size_t v : {std::size_t(k.Em), std::size_t(k.Weight), std::size_t(k.Width), std::size_t(k.Flags)})
      h = (h ^ v) * 0x100000001B3ull;
    return h;
  }
};

std::shared_ptr<const TFontFace> SharedFace(const LOGFONT& lf, int em, bool unhinted) {
  static std::unordered_map<TFaceKey, std::shared_ptr<const TFontFace>, TFaceKeyHash> cache;
  TFaceKey key{lf.lfFaceName, em, lf.lfWeight, lf.lfWidth,
               (lf.lfItalic ? 1 : 0) | (lf.lfUnderline ? 2 : 0) | (lf.lfStrikeOut ? 4 : 0) |
                   ((lf.lfPitchAndFamily & 3) << 3) | (unhinted ? 32 : 0)};
  auto& slot = cache[key];
  if (!slot) {
    if (cache.size() > 512) {
      // Faces in use stay alive through their fonts; the cache only forgets them.
      cache.clear();
      auto& fresh = cache[key];
      fresh = std::make_shared<TFontFace>(MakeQFont(lf, em, unhinted));
      return fresh;
    }
    slot = std::make_shared<TFontFace>(MakeQFont(lf, em, unhinted));
  }
  return slot;
}

}  // namespace

const TFontFace& TGdiFont::Face(int devicePixels, bool unhinted) {
  auto& slot = FFaces[devicePixels * 2 + (unhinted ? 1 : 0)];
  if (!slot) slot = SharedFace(Lf, devicePixels, unhinted);
  return *slot;
}

const TFontFace& CurrentFace(HDC DC) {
  TGdiFont* f = DC->S.Font.get();
  return f->Face(f->EmPixels(DC->Scaled ? std::abs(DC->Sy) : 1.0), DC->Dpi > 96);
}

// ================================================================ measuring

namespace {

// The text of a call: the first Count characters, or all of it for a negative Count.
QString CallText(const String& text, int count) {
  if (count < 0) return ToQString(text);
  return ToQString(Copy(text, 1, count));
}

int CharCount(const QString& s) {
  int n = 0;
  for (qsizetype i = 0; i < s.size(); ++i)
    if (!s[i].isLowSurrogate()) ++n;
  return n;
}

// Text in a face: the key of what is kept about a text (its width, its shaped line). A face's
// Id is never reused, so text in another font (another size, weight, face) is measured and
// shaped anew rather than taken from what was kept for the old one.
struct TLayoutKey {
  std::uint64_t Face;
  QString Text;
  bool operator==(const TLayoutKey& o) const { return Face == o.Face && Text == o.Text; }
};
struct TLayoutKeyHash {
  std::size_t operator()(const TLayoutKey& k) const { return qHash(k.Text, std::size_t(k.Face)); }
};

constexpr std::size_t kMaxKeptWidths = 8192;

// The advance of a whole text in a face. Layouts measure the same captions and cell texts on
// every pass, and measuring shapes the text; the width is kept by face and text (bounded: when
// full it forgets everything, as the faces' cache does).
int TextAdvance(const TFontFace& face, const QString& s) {
  static std::unordered_map<TLayoutKey, int, TLayoutKeyHash> kept;
  TLayoutKey key{face.Id, s};
  auto it = kept.find(key);
  if (it != kept.end()) return it->second;
  if (kept.size() >= kMaxKeptWidths) kept.clear();
  int w = face.Metrics.horizontalAdvance(s);
  kept.emplace(std::move(key), w);
  return w;
}

// Device widths for one context: character extra and justification included.
struct TMeasure {
  HDC DC;
  const TFontFace& Face;
  int Extra;
  TMeasure(HDC dc) : DC(dc), Face(CurrentFace(dc)), Extra(dc->ScaleX(dc->S.CharExtra)) {}

  int Justification(const QString& s) const {
    if (DC->S.JustBreaks <= 0) return 0;
    return s.count(QChar(' ')) > 0 ? DC->ScaleX(DC->S.JustExtra) : 0;
  }
  int Width(const QString& s) const {
    if (s.isEmpty()) return 0;
    // Unhinted advances are fractional: above the screen's resolution a text is as wide as its
    // characters' whole-pixel extents together, as the cumulative extents report.
    if (DC->Dpi > 96) return Cumulative(s).back() + Justification(s);
    return TextAdvance(Face, s) + Extra * CharCount(s) + Justification(s);
  }
  // Widths of the first 0, 1, ... units of s (entries for low surrogates repeat the pair's).
  std::vector<int> Cumulative(const QString& s) const {
    std::vector<int> c(std::size_t(s.size()) + 1, 0);
    int x = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
      if (s[i].isHighSurrogate() && i + 1 < s.size()) {
        x += Face.Metrics.horizontalAdvance(s.mid(i, 2)) + Extra;
        c[std::size_t(i) + 1] = c[std::size_t(i)];
        ++i;
      } else {
        x += Face.Metrics.horizontalAdvance(s[i]) + Extra;
      }
      c[std::size_t(i) + 1] = x;
    }
    return c;
  }
};

int ToLogicalWidth(HDC dc, int w) { return dc->Scaled ? int(std::lround(w / std::abs(dc->Sx))) : w; }
int ToLogicalHeight(HDC dc, int h) { return dc->Scaled ? int(std::lround(h / std::abs(dc->Sy))) : h; }

}  // namespace

BOOL GetTextExtentPoint32(HDC DC, const String& Text, int Count, TSize* Size) {
  if (!DC || !Size) return 0;
  TMeasure m(DC);
  QString q = CallText(Text, Count);
  *Size = {ToLogicalWidth(DC, m.Width(q)), ToLogicalHeight(DC, m.Face.Tm.tmHeight)};
  return 1;
}

BOOL GetTextExtentPoint(HDC DC, const String& Text, int Count, TSize* Size) {
  return GetTextExtentPoint32(DC, Text, Count, Size);
}

BOOL GetTextExtentExPoint(HDC DC, const String& Text, int Count, int MaxExtent, int* Fit, int* Extents,
                          TSize* Size) {
  if (!DC) return 0;
  TMeasure m(DC);
  QString q = CallText(Text, Count);
  std::vector<int> cum = m.Cumulative(q);
  int chars = 0, fit = 0;
  for (qsizetype i = 0; i < q.size(); ++i) {
    if (q[i].isLowSurrogate()) continue;
    int end = q[i].isHighSurrogate() && i + 1 < q.size() ? int(i) + 2 : int(i) + 1;
    int w = ToLogicalWidth(DC, cum[std::size_t(end)]);
    if (Extents) Extents[chars] = w;
    if (w <= MaxExtent && fit == chars) ++fit;
    ++chars;
  }
  if (Fit) *Fit = fit;
  if (Size) *Size = {ToLogicalWidth(DC, cum.back()), ToLogicalHeight(DC, m.Face.Tm.tmHeight)};
  return 1;
}

BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metrics) {
  if (!DC || !Metrics) return 0;
  TEXTMETRIC tm = CurrentFace(DC).Tm;
  tm.tmCharSet = DC->S.Font->Lf.lfCharSet;
  if (DC->Scaled) {
    for (int* v : {&tm.tmHeight, &tm.tmAscent, &tm.tmDescent, &tm.tmInternalLeading, &tm.tmExternalLeading})
      *v = ToLogicalHeight(DC, *v);
    for (int* v : {&tm.tmAveCharWidth, &tm.tmMaxCharWidth}) *v = ToLogicalWidth(DC, *v);
  }
  *Metrics = tm;
  return 1;
}

namespace {

int TabPitch(HDC DC, int TabCount, const int* TabPositions) {
  if (TabCount >= 1 && TabPositions && TabPositions[0] > 0) return TabPositions[0];
  TEXTMETRIC tm;
  GetTextMetrics(DC, &tm);
  return std::max(1, 8 * tm.tmAveCharWidth);
}

// Calls Segment(text between tabs, its x) for each run, the x measured from the origin; answers
// the width of the whole text.
template <class F>
int WalkTabbed(HDC DC, const String& Text, int Count, int Pitch, int Start, F&& Segment) {
  String text = Count < 0 ? Text : Copy(Text, 1, Count);
  int x = Start;
  std::size_t from = 0;
  for (;;) {
    std::size_t tab = text.find('\t', from);
    String run = text.substr(from, tab == String::npos ? String::npos : tab - from);
    TSize sz{0, 0};
    if (!run.empty()) GetTextExtentPoint32(DC, run, -1, &sz);
    Segment(run, x);
    x += sz.cx;
    if (tab == String::npos) break;
    x = (x / Pitch + 1) * Pitch;
    from = tab + 1;
  }
  return x - Start;
}

DWORD PackSize(int Cx, int Cy) { return (DWORD(std::uint16_t(Cy)) << 16) | std::uint16_t(Cx); }

}  // namespace

DWORD GetTabbedTextExtent(HDC DC, const String& Text, int Count, int TabCount, const int* TabPositions) {
  if (!DC) return 0;
  TEXTMETRIC tm;
  GetTextMetrics(DC, &tm);
  int w = WalkTabbed(DC, Text, Count, TabPitch(DC, TabCount, TabPositions), 0, [](const String&, int) {});
  return PackSize(w, tm.tmHeight);
}

int TabbedTextOut(HDC DC, int X, int Y, const String& Text, int Count, int TabCount, const int* TabPositions,
                   int TabOrigin) {
  if (!DC) return 0;
  TEXTMETRIC tm;
  GetTextMetrics(DC, &tm);
  // Stops count from TabOrigin: walk in origin-relative x and draw shifted back.
  int w = WalkTabbed(DC, Text, Count, TabPitch(DC, TabCount, TabPositions), X - TabOrigin,
                     [&](const String& run, int x) {
                       if (!run.empty()) TextOut(DC, x + TabOrigin, Y, run);
                     });
  return int(PackSize(w, tm.tmHeight));
}

int GetTextFace(HDC DC, int Count, String* Face) {
  if (!DC) return 0;
  const String& name = DC->S.Font->Lf.lfFaceName;
  if (Face) *Face = Count > 0 ? Copy(name, 1, Count - 1) : name;
  return Length(name) + 1;
}

// ================================================================ text output

namespace {

constexpr qsizetype kMaxKeptLayoutLength = 256;
constexpr std::size_t kMaxKeptLayouts = 4096;

// A line of text shaped in one face: its glyph runs, placed from the layout's top-left, and the
// ascent that puts their baseline.
struct TShapedLine {
  QList<QGlyphRun> Runs;
  qreal Ascent = 0;
};

// Shaped lines by face and text (see TLayoutKey). Bounded: when full it forgets everything.
std::unordered_map<TLayoutKey, TShapedLine, TLayoutKeyHash>& KeptLayouts() {
  static std::unordered_map<TLayoutKey, TShapedLine, TLayoutKeyHash> kept;
  return kept;
}

const TShapedLine& ShapedLine(const TFontFace& face, const QString& s) {
  auto& kept = KeptLayouts();
  TLayoutKey key{face.Id, s};
  auto it = kept.find(key);
  if (it != kept.end()) return it->second;
  if (kept.size() >= kMaxKeptLayouts) kept.clear();
  QTextLayout layout(s, face.Font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTextDirection(Qt::LeftToRight);
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setPosition(QPointF(0, 0));
  layout.endLayout();
  TShapedLine shaped;
  shaped.Runs = line.glyphRuns();
  shaped.Ascent = line.ascent();
  return kept.emplace(std::move(key), std::move(shaped)).first->second;
}

void UseFont(HDC dc, QPainter* p, const TFontFace& face, int extra) {
  if (extra == 0 && dc->S.JustBreaks == 0) {
    if (dc->PainterFont != face.Id) p->setFont(face.Font);
    dc->PainterFont = face.Id;
    return;
  }
  dc->PainterFont = 0;
  QFont f = face.Font;
  if (extra) f.setLetterSpacing(QFont::AbsoluteSpacing, extra);
  if (dc->S.JustBreaks > 0) f.setWordSpacing(double(dc->ScaleX(dc->S.JustExtra)) / dc->S.JustBreaks);
  p->setFont(f);
}

// Whether a line can be drawn from a shaped layout kept by face and text: pixels drawn by the
// raster engine, plain spacing, running left to right, no decorations (drawn by the painter's own text path) and no control characters.
// The context's part of KeepsLayout.
bool ContextKeepsLayout(HDC dc, QPainter* p, const TMeasure& m) {
  // Metafiles, printers and PDF files record text as text; only pixels may come from glyph runs.
  if (!p->paintEngine() || p->paintEngine()->type() != QPaintEngine::Raster) return false;
  if (m.Extra != 0 || dc->S.JustBreaks > 0 || p->layoutDirection() == Qt::RightToLeft) return false;
  return !m.Face.Font.underline() && !m.Face.Font.strikeOut();
}

// The text's part of KeepsLayout.
bool TextKeepsLayout(const QString& s) {
  if (s.isEmpty() || s.size() > kMaxKeptLayoutLength) return false;
  for (QChar c : s)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
  // The painter's automatic direction reads it from the text: kept layouts run left to right.
  return !s.isRightToLeft();
}

bool KeepsLayout(HDC dc, QPainter* p, const TMeasure& m, const QString& s) {
  return ContextKeepsLayout(dc, p, m) && TextKeepsLayout(s);
}

// Draws a line with explicit advances from its kept shaped layout: each character's glyph moves
// to where the advances put it. Only on raster targets, for plain left-to-right lines whose
// characters map one to one onto glyphs (no ligatures, no combining marks); false otherwise.
bool DrawKeptWithAdvances(HDC dc, QPainter* p, const TMeasure& m, QPointF at, const QString& s, const int* dx) {
  if (!p->paintEngine() || p->paintEngine()->type() != QPaintEngine::Raster) return false;
  if (p->layoutDirection() == Qt::RightToLeft || s.isRightToLeft()) return false;
  if (m.Face.Font.underline() || m.Face.Font.strikeOut() || s.isEmpty() || s.size() > kMaxKeptLayoutLength)
    return false;
  for (QChar c : s)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate()) return false;
  const TShapedLine& line = ShapedLine(m.Face, s);
  struct TGlyph {
    qreal X;
    int Run, Index;
  };
  std::vector<TGlyph> glyphs;
  glyphs.reserve(std::size_t(s.size()));
  for (int r = 0; r < int(line.Runs.size()); ++r) {
    const QList<QPointF> positions = line.Runs[r].positions();
    for (int k = 0; k < int(positions.size()); ++k) glyphs.push_back({positions[k].x(), r, k});
  }
  if (glyphs.size() != std::size_t(s.size())) return false;
  // Without kerning the glyphs of a left-to-right line stand in the order of its characters.
  std::stable_sort(glyphs.begin(), glyphs.end(), [](const TGlyph& a, const TGlyph& b) { return a.X < b.X; });
  std::vector<QList<QPointF>> placed;
  for (const QGlyphRun& run : line.Runs) placed.push_back(run.positions());
  qreal x = 0;
  for (std::size_t k = 0; k < glyphs.size(); ++k) {
    QPointF& pos = placed[std::size_t(glyphs[k].Run)][glyphs[k].Index];
    pos.setX(x);
    x += dc->ScaleX(dx[k]);
  }
  QPointF origin(at.x(), at.y() + m.Face.Tm.tmAscent - line.Ascent);
  for (int r = 0; r < int(line.Runs.size()); ++r) {
    QGlyphRun run = line.Runs[r];
    run.setPositions(placed[std::size_t(r)]);
    p->drawGlyphRun(origin, run);
  }
  return true;
}

// Draws one line of text whose cell's top-left is at `at` (device pixels).
void DrawTextLine(HDC dc, QPainter* p, const TMeasure& m, QPointF at, const QString& s, const int* dx) {
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->setPen(ToQColor(dc->S.TextColor));
  double baseline = at.y() + m.Face.Tm.tmAscent;
  if (!dx && KeepsLayout(dc, p, m, s)) {
    // Shaping is most of what drawing a short line costs, and windows draw the same texts
    // again and again; the glyph runs are drawn where the painter would have put them.
    const TShapedLine& line = ShapedLine(m.Face, s);
    for (const QGlyphRun& run : line.Runs) p->drawGlyphRun(QPointF(at.x(), baseline - line.Ascent), run);
    return;
  }
  if (dx && DrawKeptWithAdvances(dc, p, m, at, s, dx)) return;
  UseFont(dc, p, m.Face, m.Extra);
  if (!dx) {
    p->drawText(QPointF(at.x(), baseline), s);
    return;
  }
  if (dc->KeepsRuns && p->layoutDirection() != Qt::RightToLeft && !s.isRightToLeft()) {
    // One run that keeps its advances: the recording places the characters by them.
    dc->RunAdvances.assign(std::size_t(s.size()), 0);
    ++dc->RunSerial;
    int k = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
      dc->RunAdvances[std::size_t(i)] = dc->ScaleX(dx[k++]);
      if (s[i].isHighSurrogate() && i + 1 < s.size()) ++i;
    }
    p->drawText(QPointF(at.x(), baseline), s);
    dc->RunAdvances.clear();
    return;
  }
  double x = at.x();
  int k = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    int len = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
    p->drawText(QPointF(x, baseline), s.mid(i, len));
    x += dc->ScaleX(dx[k++]);
    i += len - 1;
  }
}

// ---------------------------------------------------------------- kept text cells

// An opaque text cell (ExtTextOut with ETO_OPAQUE | ETO_CLIPPED) covers its rectangle with the
// background and the text clipped to it: its pixels depend on nothing but the face, the text,
// the two colours, the rectangle's size, where the text stands in it and the painter's hints.
// Grids and lists draw the same cells again on every move of the current row (the rows the
// selection leaves and enters, the footers), and blending glyphs is most of what a cell costs,
// so a cell drawn a second time is kept as a picture and copied from then on. Everything that
// makes its pixels is in the key: a change of font, text, colour, size or place draws anew.
struct TCellKey {
  std::uint64_t Face;
  String Text;  // as the caller gave it: a kept cell is found without converting the text
  QRgb Ink, Paper;
  QSize Size;
  QPoint Offset;  // of the text cell's top-left in the rectangle
  int Hints;
  bool operator==(const TCellKey& o) const {
    return Face == o.Face && Ink == o.Ink && Paper == o.Paper && Size == o.Size && Offset == o.Offset &&
           Hints == o.Hints && Text == o.Text;
  }
};
struct TCellKeyHash {
  std::size_t operator()(const TCellKey& k) const {
    std::size_t h = std::hash<String>()(k.Text) ^ std::size_t(k.Face);
    for (std::size_t v : {std::size_t(k.Ink), std::size_t(k.Paper), std::size_t(k.Size.width()),
                          std::size_t(k.Size.height()), std::size_t(k.Offset.x()), std::size_t(k.Offset.y()),
                          std::size_t(k.Hints)})
      h = (h ^ v) * 0x100000001B3ull;
    return h;
  }
};

constexpr int kMaxKeptCellPixels = 64 * 1024;           // larger cells are drawn each time
constexpr qint64 kMaxKeptCellsPixels = 4 * 1024 * 1024;  // 16 MB of pictures at most
constexpr std::size_t kMaxSeenCells = 16384;

struct TKeptCells {
  std::unordered_map<TCellKey, QImage, TCellKeyHash> Images;
  // Cells drawn once: a picture is made at the second drawing, so cells seen only once (a long
  // scroll through new rows) cost no more than before.
  std::unordered_set<std::size_t> Seen;
  qint64 Pixels = 0;
  bool Enabled = true;
};

TKeptCells& KeptCells() {
  static TKeptCells kept;
  return kept;
}

// Draws an opaque text cell from its kept picture (making the picture at the cell's second
// drawing); false when the cell is to be drawn directly. The painter's clip (the context's
// region) applies to the copy as it would to the drawing.
bool DrawKeptCell(HDC dc, QPainter* p, const TMeasure& m, const QRect& box, QPoint at, const String& text) {
  TKeptCells& kept = KeptCells();
  if (!kept.Enabled || dc->Vector || !dc->Image || dc->Image->format() != QImage::Format_RGB32) return false;
  if (p != dc->OwnPainter.get() || p->transform().type() != QTransform::TxNone || p->opacity() != 1.0) return false;
  if (box.isEmpty() || box.width() * box.height() > kMaxKeptCellPixels) return false;
  if (!ContextKeepsLayout(dc, p, m)) return false;
  TCellKey key{m.Face.Id,
               text,
               ToQColor(dc->S.TextColor).rgb(),
               ToQColor(dc->S.BkColor).rgb(),
               box.size(),
               at - box.topLeft(),
               int(p->renderHints())};
  auto it = kept.Images.find(key);
  if (it == kept.Images.end()) {
    // Only texts whose layout is kept are kept as pictures (a key is never made for others).
    QString s = ToQString(text);
    if (!TextKeepsLayout(s)) return false;
    if (kept.Seen.size() >= kMaxSeenCells) kept.Seen.clear();
    if (kept.Seen.insert(TCellKeyHash()(key)).second) return false;
    qint64 pixels = qint64(box.width()) * box.height();
    if (kept.Pixels + pixels > kMaxKeptCellsPixels) {
      kept.Images.clear();
      kept.Pixels = 0;
    }
    QImage picture(box.size(), QImage::Format_RGB32);
    picture.fill(QColor::fromRgb(key.Paper));
    {
      QPainter ip(&picture);
      ip.setRenderHints(p->renderHints());
      ip.setPen(QColor::fromRgb(key.Ink));
      const TShapedLine& line = ShapedLine(m.Face, s);
      QPointF origin(key.Offset.x(), key.Offset.y() + m.Face.Tm.tmAscent - line.Ascent);
      for (const QGlyphRun& run : line.Runs) ip.drawGlyphRun(origin, run);
    }
    kept.Pixels += pixels;
    it = kept.Images.emplace(std::move(key), std::move(picture)).first;
  }
  // An opaque picture over an opaque surface: copied line by line.
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  p->drawImage(box.topLeft(), it->second);
  return true;
}

void SetRtl(QPainter* p, bool rtl) { p->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight); }

}  // namespace

void KeepTextCells(bool Enabled) {
  TKeptCells& kept = KeptCells();
  kept.Images.clear();
  kept.Seen.clear();
  kept.Pixels = 0;
  kept.Enabled = Enabled;
}

BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const TRect* Rect, const String& Text, const int* Dx) {
  if (!DC) return 0;
  TMeasure m(DC);
  UINT align = DC->S.TextAlign;
  // The extent is measured only where something depends on it: the current position, an
  // alignment other than left, or an opaque text cell that the opaque rectangle, to which the
  // text is clipped, has not already filled with the same colour.
  bool boxFilled = (Options & ETO_OPAQUE) && (Options & ETO_CLIPPED) && Rect;
  bool widthNeeded =
      (align & TA_UPDATECP) || (align & TA_CENTER) != 0 || (DC->S.BkMode == OPAQUE && !boxFilled);
  // The text in the painter's encoding, made only when needed (a kept cell does without).
  QString q;
  bool converted = false;
  auto convert = [&] {
    if (!converted) q = ToQString(Text);
    converted = true;
  };
  int width = 0;
  if (Dx) {
    convert();
    for (int i = 0, n = CharCount(q); i < n; ++i) width += DC->ScaleX(Dx[i]);
  } else if (widthNeeded) {
    convert();
    width = m.Width(q);
  }
  TPoint ref = (align & TA_UPDATECP) ? DC->S.Pos : TPoint{X, Y};
  if (align & TA_UPDATECP) {
    int advance = ToLogicalWidth(DC, width);
    DC->S.Pos.X += (align & TA_CENTER) == TA_RIGHT ? -advance : (align & TA_CENTER) == TA_CENTER ? 0 : advance;
  }
  QPainter* p = DC->P();
  if (!p) return 1;
  DC->ApplyClip();
  QPoint dref = DC->ToDevice(ref);
  QRect box;
  if (Rect) box = DC->ToDevice(*Rect);
  int escapement = DC->S.Font->Lf.lfEscapement;
  bool rtl = (Options & ETO_RTLREADING) || (align & TA_RTLREADING);
  // The cell relative to the reference point, along the (possibly rotated) baseline.
  int dx = (align & TA_CENTER) == TA_CENTER ? -width / 2 : (align & TA_CENTER) == TA_RIGHT ? -width : 0;
  int dy = (align & TA_BASELINE) == TA_BASELINE ? -m.Face.Tm.tmAscent
           : (align & TA_BASELINE) == TA_BOTTOM ? -m.Face.Tm.tmHeight : 0;
  if (boxFilled && !Dx && !rtl && escapement % 3600 == 0 &&
      DrawKeptCell(DC, p, m, box, QPoint(dref.x() + dx, dref.y() + dy), Text))
    return 1;
  convert();
  if ((Options & ETO_OPAQUE) && Rect) {
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(box, ToQColor(DC->S.BkColor));
  }
  bool clipped = (Options & ETO_CLIPPED) && Rect;
  // Upright text whose cell (its advances by the cell height) lies inside the rectangle has
  // nothing to cut: it goes without a clip of its own, which on a recording or PDF device is
  // a clip path set and reset for every text.
  if (clipped && Dx && escapement % 3600 == 0 && !rtl &&
      box.contains(QRect(dref.x() + dx, dref.y() + dy, std::max(1, width), m.Face.Tm.tmHeight)))
    clipped = false;
  if (clipped) p->setClipRect(box, DC->S.HasClip ? Qt::IntersectClip : Qt::ReplaceClip);
  if (escapement % 3600) {
    QTransform t = DC->Base;
    t.translate(dref.x(), dref.y());
    t.rotate(-escapement / 10.0);
    p->setTransform(t);
    dref = QPoint(0, 0);
  }
  QRect cell(dref.x() + dx, dref.y() + dy, width, m.Face.Tm.tmHeight);
  if (DC->S.BkMode == OPAQUE && !boxFilled) {
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(cell, ToQColor(DC->S.BkColor));
  }
  if (rtl) SetRtl(p, true);
  DrawTextLine(DC, p, m, cell.topLeft(), q, Dx);
  if (rtl) SetRtl(p, false);
  if (escapement % 3600) p->setTransform(DC->Base);
  if (clipped) DC->ClipChanged();
  return 1;
}

BOOL TextOut(HDC DC, int X, int Y, const String& Text) { return ExtTextOut(DC, X, Y, 0, nullptr, Text, nullptr); }

// ================================================================ DrawText

namespace {

struct TTextLine {
  QString Text;
  int Underline = -1;  // index of the character the prefix marks
  int Width = 0;
};

bool IsBreakingChar(QChar c) {
  // Ideographs, kana, hangul and full-width forms break like words of their own.
  ushort u = c.unicode();
  return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0xF900 && u <= 0xFAFF) ||
         (u >= 0xFF00 && u <= 0xFFEF) || (u >= 0x3000 && u <= 0x303F);
}

bool IsBlank(QChar c) { return c == ' ' || c == '\t'; }

class TTextLayout {
public:
  TTextLayout(HDC dc, UINT format, const DRAWTEXTPARAMS* params)
      : DC(dc), Format(format), M(dc),
        TabWidth(std::max(1, (params && params->iTabLength > 0 ? params->iTabLength : 8) * M.Face.Tm.tmAveCharWidth)) {}

  HDC DC;
  UINT Format;
  TMeasure M;
  int TabWidth;

  bool Has(UINT f) const { return (Format & f) != 0; }

  // Width of a line as drawn from x = 0: tab stops count from the line's start.
  int LineWidth(const QString& s) const {
    if (!Has(DT_EXPANDTABS) || !s.contains('\t')) return M.Width(s);
    int x = 0;
    const QStringList parts = s.split('\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i > 0) x = (x / TabWidth + 1) * TabWidth;
      x += M.Width(parts[i]);
    }
    return x;
  }

  // Takes the prefix characters out: "&&" is "&", "&x" underlines x.
  TTextLine StripPrefix(const QString& s) const {
    TTextLine line;
    if (Has(DT_NOPREFIX) || !s.contains('&')) {
      line.Text = s;
      return line;
    }
    line.Text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
      if (s[i] == '&' && i + 1 < s.size()) {
        ++i;
        if (s[i] != '&' && line.Underline < 0 && !Has(DT_HIDEPREFIX)) line.Underline = int(line.Text.size());
      } else if (s[i] == '&') {
        continue;
      }
      line.Text += s[i];
    }
    return line;
  }

  // Lines of a paragraph wrapped into width w: between words only, a longer word standing
  // alone on its line (broken between characters when it behaves as an edit control).
  void Wrap(const TTextLine& para, int w, std::vector<TTextLine>& out) const {
    const QString& s = para.Text;
    if (s.isEmpty()) {
      out.push_back(para);
      return;
    }
    std::vector<int> cum = M.Cumulative(s);
    auto width = [&](qsizetype a, qsizetype b) { return cum[std::size_t(b)] - cum[std::size_t(a)]; };
    qsizetype n = s.size(), pos = 0;
    bool first = true;
    while (pos < n) {
      if (!first)
        while (pos < n && IsBlank(s[pos])) ++pos;
      if (pos >= n) break;
      first = false;
      qsizetype start = pos, i = pos, breakEnd = -1, breakNext = -1, end = n, next = n;
      bool broke = false;
      while (i < n) {
        if (IsBlank(s[i])) {
          breakEnd = i;
          while (i < n && IsBlank(s[i])) ++i;
          breakNext = i;
          continue;
        }
        qsizetype tokEnd = i + 1;
        if (IsBreakingChar(s[i])) {
          if (i > start) breakEnd = breakNext = i;
        } else {
          while (tokEnd < n && !IsBlank(s[tokEnd]) && !IsBreakingChar(s[tokEnd])) ++tokEnd;
        }
        if (width(start, tokEnd) > w) {
          broke = true;
          if (breakEnd > start) {
            end = breakEnd;
            next = breakNext;
          } else if (Has(DT_EDITCONTROL)) {
            qsizetype k = i;
            while (k < tokEnd && width(start, k + 1) <= w) ++k;
            if (k == start) ++k;
            if (k < n && s[k].isLowSurrogate()) ++k;
            end = next = k;
          } else {
            end = next = tokEnd;
          }
          break;
        }
        i = tokEnd;
        if (IsBreakingChar(s[tokEnd - 1])) breakEnd = breakNext = tokEnd;
      }
      if (!broke) end = next = n;
      TTextLine line;
      line.Text = s.mid(start, end - start);
      if (para.Underline >= start && para.Underline < end) line.Underline = int(para.Underline - start);
      out.push_back(std::move(line));
      pos = next;
    }
  }

  // The longest start of s that fits into w with "..." after it ("..." alone when none does).
  QString EndEllipsis(const QString& s, int w, bool wordsOnly) const {
    const QString dots = QStringLiteral("...");
    int dw = M.Width(dots);
    std::vector<int> cum = M.Cumulative(s);
    qsizetype k = s.size();
    while (k > 0 && (cum[std::size_t(k)] + dw > w || s[k - 1].isHighSurrogate() ||
                     (wordsOnly && k < s.size() && !IsBlank(s[k]) && !IsBlank(s[k - 1]))))
      --k;
    while (k > 0 && wordsOnly && IsBlank(s[k - 1])) --k;
    return s.left(k) + dots;
  }

  // Keeps the last part of a path and as much of its start as fits: "C:\dir\...\file.txt".
  QString PathEllipsis(const QString& s, int w) const {
    qsizetype sep = std::max(s.lastIndexOf('\\'), s.lastIndexOf('/'));
    if (sep < 0) return EndEllipsis(s, w, false);
    QString tail = s.mid(sep), dots = QStringLiteral("...");
    int tw = M.Width(dots + tail);
    if (tw > w) return EndEllipsis(dots + tail, w, false);
    std::vector<int> cum = M.Cumulative(s);
    qsizetype k = sep;
    while (k > 0 && (cum[std::size_t(k)] + tw > w || s[k - 1].isHighSurrogate())) --k;
    return s.left(k) + dots + tail;
  }

  void Shorten(TTextLine& line, int w, bool force) const {
    if (!force && line.Width <= w) return;
    if (Has(DT_PATH_ELLIPSIS)) line.Text = PathEllipsis(line.Text, w);
    else if (Has(DT_END_ELLIPSIS) || force) line.Text = EndEllipsis(line.Text, w, false);
    else if (Has(DT_WORD_ELLIPSIS)) line.Text = EndEllipsis(line.Text, w, true);
    else return;
    if (line.Underline >= line.Text.size() - 3) line.Underline = -1;
    line.Width = LineWidth(line.Text);
  }

  std::vector<TTextLine> Lines(const QString& text, int w) const {
    std::vector<TTextLine> lines;
    if (Has(DT_SINGLELINE)) {
      QString one = text;
      one.remove('\r');
      one.remove('\n');
      lines.push_back(StripPrefix(one));
    } else {
      QString norm = text;
      norm.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\r', '\n');
      for (const QString& para : norm.split('\n')) {
        TTextLine l = StripPrefix(para);
        if (Has(DT_WORDBREAK)) Wrap(l, w, lines);
        else lines.push_back(std::move(l));
      }
    }
    for (TTextLine& l : lines) l.Width = LineWidth(l.Text);
    return lines;
  }

  void DrawLine(QPainter* p, const TTextLine& line, int x, int y, int lineHeight) const {
    if (DC->S.BkMode == OPAQUE && line.Width > 0) {
      p->setCompositionMode(QPainter::CompositionMode_Source);
      p->fillRect(QRect(x, y, line.Width, lineHeight), ToQColor(DC->S.BkColor));
    }
    if (!Has(DT_PREFIXONLY)) {
      if (Has(DT_EXPANDTABS) && line.Text.contains('\t')) {
        int cx = 0;
        const QStringList parts = line.Text.split('\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
          if (i > 0) cx = (cx / TabWidth + 1) * TabWidth;
          DrawTextLine(DC, p, M, QPointF(x + cx, y), parts[i], nullptr);
          cx += M.Width(parts[i]);
        }
      } else if (!line.Text.isEmpty()) {
        DrawTextLine(DC, p, M, QPointF(x, y), line.Text, nullptr);
      }
    }
    if (line.Underline >= 0 && line.Underline < line.Text.size()) {
      int ux = x + LineWidth(line.Text.left(line.Underline));
      int uw = M.Width(line.Text.mid(line.Underline, line.Text[line.Underline].isHighSurrogate() ? 2 : 1));
      int uy = y + M.Face.Tm.tmAscent + std::max(1, M.Face.Metrics.underlinePos());
      p->setCompositionMode(QPainter::CompositionMode_SourceOver);
      p->fillRect(QRect(ux, uy, uw, std::max(1, M.Face.Metrics.lineWidth())), ToQColor(DC->S.TextColor));
    }
  }
};

}  // namespace

int DrawTextEx(HDC DC, const String& Text, int Count, TRect* Rect, UINT Format, DRAWTEXTPARAMS* Params) {
  if (!DC || !Rect) return 0;
  TTextLayout layout(DC, Format, Params);
  QString text = CallText(Text, Count);
  QRect r = DC->ToDevice(*Rect);
  int lm = Params ? DC->ScaleX(Params->iLeftMargin) : 0, rm = Params ? DC->ScaleX(Params->iRightMargin) : 0;
  int avail = r.width() - lm - rm;
  if (Params) Params->uiLengthDrawn = UINT(CharCount(text));
  const TEXTMETRIC& tm = layout.M.Face.Tm;
  int lineHeight = tm.tmHeight + (layout.Has(DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  std::vector<TTextLine> lines = layout.Lines(text, avail);
  int height = lineHeight * int(lines.size());

  if (layout.Has(DT_CALCRECT)) {
    int widest = 0;
    for (const TTextLine& l : lines) widest = std::max(widest, l.Width);
    QRect out(r.left(), r.top(), widest + lm + rm, height);
    TRect lr = DC->ToLogical(out);
    Rect->Right = Rect->Left + lr.Width();
    Rect->Bottom = Rect->Top + lr.Height();
    return ToLogicalHeight(DC, height);
  }

  int y = r.top();
  bool single = layout.Has(DT_SINGLELINE);
  if (single && layout.Has(DT_VCENTER)) y = (r.top() + r.top() + r.height() - lineHeight) / 2;
  else if (single && layout.Has(DT_BOTTOM)) y = r.top() + r.height() - lineHeight;

  // An edit control shows no partly visible last line; with an end ellipsis, the last line
  // it shows ends in "..." when text was cut off below it.
  std::size_t shown = lines.size();
  if (layout.Has(DT_EDITCONTROL) && !single) {
    shown = std::size_t(std::max(0, r.height() / lineHeight));
    if (shown == 0 && !lines.empty()) shown = 1;
    shown = std::min(shown, lines.size());
  }
  bool ellipsis = layout.Has(DT_END_ELLIPSIS) || layout.Has(DT_PATH_ELLIPSIS) || layout.Has(DT_WORD_ELLIPSIS);
  if (ellipsis) {
    for (std::size_t i = 0; i < shown; ++i) layout.Shorten(lines[i], avail, false);
    if (shown < lines.size() && shown > 0 && layout.Has(DT_END_ELLIPSIS) && layout.Has(DT_EDITCONTROL))
      layout.Shorten(lines[shown - 1], avail, true);
  }

  int result = single && (layout.Has(DT_VCENTER) || layout.Has(DT_BOTTOM)) ? y - r.top() + lineHeight : height;
  QPainter* p = DC->P();
  if (!p) return ToLogicalHeight(DC, result);
  DC->ApplyClip();
  bool fits = y >= r.top() && y + lineHeight * int(shown) <= r.top() + r.height();
  std::vector<int> xs(shown);
  for (std::size_t i = 0; i < shown; ++i) {
    const TTextLine& l = lines[i];
    int x = r.left() + lm;
    if (layout.Has(DT_RIGHT)) x = r.left() + r.width() - rm - l.Width;
    else if (layout.Has(DT_CENTER)) x = r.left() + lm + (avail - l.Width) / 2;
    xs[i] = x;
    if (x < r.left() || x + l.Width > r.left() + r.width()) fits = false;
  }
  bool clip = !layout.Has(DT_NOCLIP) && !fits;
  if (clip) p->setClipRect(r, DC->S.HasClip ? Qt::IntersectClip : Qt::ReplaceClip);
  bool rtl = layout.Has(DT_RTLREADING);
  if (rtl) SetRtl(p, true);
  for (std::size_t i = 0; i < shown; ++i) layout.DrawLine(p, lines[i], xs[i], y + lineHeight * int(i), lineHeight);
  if (rtl) SetRtl(p, false);
  if (clip) DC->ClipChanged();
  return ToLogicalHeight(DC, result);
}

int DrawText(HDC DC, const String& Text, int Count, TRect* Rect, UINT Format) {
  return DrawTextEx(DC, Text, Count, Rect, Format, nullptr);
}

// ---------------------------------------------------------------- font families

std::vector<TFontFamilyEntry> EnumFontFamilies(HDC) {
  std::vector<TFontFamilyEntry> out;
  std::unordered_set<std::string> seen;
  for (const QString& family : QFontDatabase::families()) {
    // Private faces (a leading dot) are the font system's own, never offered to a user.
    if (family.startsWith('.')) continue;
    String name = FromQString(family);
    if (!seen.insert(name).second) continue;
    out.push_back({name, QFontDatabase::isSmoothlyScalable(family) ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE});
  }
  return out;
}
