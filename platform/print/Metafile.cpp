// Metafiles: a paint engine of our own records what the device context paints, so every
// drawing function of the layer is recorded without knowing about metafiles; replay hands the
// records to any painter (a preview's bitmap, a printer, a PDF writer) under a mapping.
#include "print/Metafile_p.h"
#include "core/ClassBuilder.h"
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>
#include <QPixmap>
#include <QTextItem>
#include <cassert>
#include <cmath>
#include <numbers>

using namespace meta;

// A page holds thousands of records: they stay small, bulky data lives behind pointers.
static_assert(sizeof(TRecord) <= 80);

// ================================================================ the recording engine

namespace {

class TRecordingEngine : public QPaintEngine {
public:
  TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  TMetafileData* Target = nullptr;

  bool begin(QPaintDevice*) override {
    Current = QTransform();
    ClipPath.reset();
    ClipEnabled = true;
    return true;
  }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState& st) override {
    DirtyFlags f = st.state();
    if (f & DirtyPen) Add(RPen{st.pen()});
    if (f & DirtyBrush) Add(RBrush{st.brush()});
    if (f & DirtyBrushOrigin) Add(RBrushOrigin{st.brushOrigin()});
    if (f & (DirtyBackground | DirtyBackgroundMode)) Add(RBackground{st.backgroundBrush(), st.backgroundMode()});
    if (f & DirtyCompositionMode) Add(RComposition{st.compositionMode()});
    if (f & DirtyHints) Add(RHints{st.renderHints()});
    if (f & DirtyTransform) {
      Current = st.transform();
      Add(RTransform{Current.isIdentity() ? nullptr : std::make_shared<const QTransform>(Current)});
    }
    if (f & (DirtyClipRegion | DirtyClipPath)) {
      QPainterPath p;
      if (f & DirtyClipRegion) p.addRegion(st.clipRegion());
      else p = st.clipPath();
      SetClip(Current.map(p), st.clipOperation());
    }
    if (f & DirtyClipEnabled) {
      ClipEnabled = st.isClipEnabled();
      AddClip();
    }
  }

  void drawRects(const QRectF* r, int n) override { Add(RRects{std::vector<QRectF>(r, r + n)}); }
  void drawRects(const QRect* r, int n) override {
    RRects rec;
    rec.Rects.assign(r, r + n);
    Add(std::move(rec));
  }
  void drawLines(const QLineF* l, int n) override { Add(RLines{std::vector<QLineF>(l, l + n)}); }
  void drawLines(const QLine* l, int n) override {
    RLines rec;
    rec.Lines.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) rec.Lines.emplace_back(l[i]);
    Add(std::move(rec));
  }
  void drawEllipse(const QRectF& r) override { Add(REllipse{r}); }
  void drawEllipse(const QRect& r) override { Add(REllipse{QRectF(r)}); }
  void drawPath(const QPainterPath& p) override { Add(RPath{p}); }
  void drawPolygon(const QPointF* p, int n, PolygonDrawMode m) override {
    Add(RPolygon{std::vector<QPointF>(p, p + n), m});
  }
  void drawPolygon(const QPoint* p, int n, PolygonDrawMode m) override {
    RPolygon rec{{}, m};
    rec.Points.assign(p, p + n);
    Add(std::move(rec));
  }
  void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
    Add(RImage{std::make_shared<const TImageDraw>(TImageDraw{r, pm.toImage(), sr})});
  }
  void drawImage(const QRectF& r, const QImage& img, const QRectF& sr, Qt::ImageConversionFlags) override {
    Add(RImage{std::make_shared<const TImageDraw>(TImageDraw{r, img, sr})});
  }
  void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& p) override {
    // A tiled image is a fill with an image brush from the offset.
    QBrush b(pm);
    b.setTransform(QTransform::fromTranslate(r.x() - p.x(), r.y() - p.y()));
    Add(RBrush{b});
    Add(RPen{QPen(Qt::NoPen)});
    Add(RRects{{r}});
    // The painter still believes its own pen and brush are in force.
    Add(RPen{state->pen()});
    Add(RBrush{state->brush()});
  }
  void drawTextItem(const QPointF& p, const QTextItem& ti) override {
    QString text = ti.text();
    if (!Dc || Dc->RunAdvances.empty()) {
      Add(RText{p, text, ti.font(), float(ti.width()), float(ti.ascent()), float(ti.descent())});
      return;
    }
    // A text drawn with advances may reach us in pieces (one per font that holds its
    // characters): each piece takes its advances from the front and starts where the one
    // before it ended.
    std::vector<qreal>& all = Dc->RunAdvances;
    if (RunSerial != Dc->RunSerial || RunUsed >= all.size()) {
      RunSerial = Dc->RunSerial;
      RunUsed = 0;
      RunStart = p;
    }
    float width = 0, before = 0;
    for (std::size_t k = 0; k < RunUsed && k < all.size(); ++k) before += float(all[k]);
    int first = Target ? int(Target->Advances.size()) : -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
      float a = RunUsed < all.size() ? float(all[RunUsed++]) : 0.0f;
      if (Target) Target->Advances.push_back(a);
      width += a;
    }
    Add(RText{QPointF(RunStart.x() + before, p.y()), text, ti.font(), width, float(ti.ascent()),
              float(ti.descent()), first});
  }
  HDC Dc = nullptr;

private:
  // Without a target (a measuring context) drawing goes nowhere.
  unsigned RunSerial = 0;
  std::size_t RunUsed = 0;
  QPointF RunStart;

  void Add(TRecord&& r) {
    if (Target) Target->Records.push_back(std::move(r));
  }
  void SetClip(const QPainterPath& p, Qt::ClipOperation op) {
    if (op == Qt::NoClip) ClipPath.reset();
    else if (op == Qt::IntersectClip && ClipPath) ClipPath = std::make_shared<const QPainterPath>(ClipPath->intersected(p));
    else ClipPath = std::make_shared<const QPainterPath>(p);
    AddClip();
  }
  void AddClip() { Add(RClip{ClipEnabled ? ClipPath : nullptr}); }

  QTransform Current;
  std::shared_ptr<const QPainterPath> ClipPath;
  bool ClipEnabled = true;
};

}  // namespace

class TMetaRecorder::TDevice : public QPaintDevice {
public:
  TDevice(int dpi, QSize size) : Dpi(dpi), Size(size) {}
  QPaintEngine* paintEngine() const override { return &Engine; }
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth: return Size.width();
      case PdmHeight: return Size.height();
      case PdmWidthMM: return int(std::lround(Size.width() * 25.4 / Dpi));
      case PdmHeightMM: return int(std::lround(Size.height() * 25.4 / Dpi));
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return Dpi;
      case PdmNumColors: return INT_MAX;
      case PdmDepth: return 32;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
      default: return 0;
    }
  }
  int Dpi;
  QSize Size;
  mutable TRecordingEngine Engine;
};

TMetaRecorder::TMetaRecorder(TMetafile* Target, int Dpi, QSize Size)
    : FDevice(std::make_unique<TDevice>(Dpi, Size)) {
  FDevice->Engine.Target = Target ? &Target->Data() : nullptr;
  FPainter.begin(FDevice.get());
  FDC = CreatePainterDC(&FPainter);
  FDC->Vector = true;
  FDC->KeepsRuns = true;
  FDC->Dpi = Dpi;
  FDevice->Engine.Dc = FDC;
}

TMetaRecorder::~TMetaRecorder() {
  Finish();
  DeleteDC(FDC);
}

void TMetaRecorder::Restart(TMetafile* Target) {
  if (FPainter.isActive()) FPainter.end();
  Complete();
  FDevice->Engine.Target = Target ? &Target->Data() : nullptr;
  FPainter.begin(FDevice.get());
  SetDCPainter(FDC, &FPainter);
}

void TMetaRecorder::Finish() {
  if (!FPainter.isActive()) return;
  FPainter.end();
  SetDCPainter(FDC, nullptr);
  Complete();
  FDevice->Engine.Target = nullptr;
}

void TMetaRecorder::Complete() {
  // A finished page takes no more records: it gives back what the list grew beyond them, as
  // a document keeps all of its pages.
  if (TMetafileData* done = FDevice->Engine.Target) {
    done->Records.shrink_to_fit();
    done->Advances.shrink_to_fit();
  }
}

// ================================================================ replay

namespace {

class TReplayer {
public:
  TReplayer(QPainter& p, const QTransform& map, const TMetafileData& data)
      : P(p), Data(data), Map(map * p.transform()) {
    Porter = p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::PorterDuff);
    Rops = p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (p.hasClipping()) BaseClip = p.transform().map(p.clipPath());
    HasBaseClip = p.hasClipping();
    P.setTransform(Map);
  }

  void operator()(const RPen& r) { P.setPen(r.Pen); }
  void operator()(const RBrush& r) { P.setBrush(r.Brush); }
  void operator()(const RBrushOrigin& r) { P.setBrushOrigin(r.Origin); }
  void operator()(const RBackground& r) {
    P.setBackground(r.Brush);
    P.setBackgroundMode(r.Mode);
  }
  void operator()(const RComposition& r) {
    // Paper and PDF know no raster operations: opaque painting covers what is below.
    bool rop = r.Mode >= QPainter::RasterOp_SourceOrDestination;
    bool porter = !rop && r.Mode != QPainter::CompositionMode_SourceOver;
    P.setCompositionMode((rop && !Rops) || (porter && !Porter) ? QPainter::CompositionMode_SourceOver : r.Mode);
  }
  void operator()(const RHints& r) { P.setRenderHints(r.Hints | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform); }
  void operator()(const RTransform& r) {
    Current = r.Transform ? *r.Transform : QTransform();
    P.setTransform(Current * Map);
  }
  void operator()(const RClip& r) {
    P.setTransform(QTransform());
    if (HasBaseClip) P.setClipPath(BaseClip);
    else P.setClipping(false);
    if (r.Path) {
      P.setTransform(Map);
      P.setClipPath(*r.Path, HasBaseClip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    P.setTransform(Current * Map);
  }
  void operator()(const RRects& r) { P.drawRects(r.Rects.data(), int(r.Rects.size())); }
  void operator()(const RLines& r) { P.drawLines(r.Lines.data(), int(r.Lines.size())); }
  void operator()(const RPolygon& r) {
    const QPointF* pts = r.Points.data();
    int n = int(r.Points.size());
    switch (r.Mode) {
      case QPaintEngine::PolylineMode: P.drawPolyline(pts, n); break;
      case QPaintEngine::WindingMode: P.drawPolygon(pts, n, Qt::WindingFill); break;
      case QPaintEngine::ConvexMode: P.drawConvexPolygon(pts, n); break;
      default: P.drawPolygon(pts, n, Qt::OddEvenFill); break;
    }
  }
  void operator()(const RPath& r) { P.drawPath(r.Path); }
  void operator()(const REllipse& r) { P.drawEllipse(r.Rect); }
  void operator()(const RImage& r) { P.drawImage(r.Draw->Target, r.Draw->Image, r.Draw->Source); }
  void operator()(const RText& r) {
    // Lines under or through the text were recorded as fills of their own. Runs in one font
    // follow each other: the painter takes a font only when it changes.
    if (!HasFont || !(r.Font == LastFont)) {
      LastFont = r.Font;
      HasFont = true;
      QFont f = r.Font;
      f.setUnderline(false);
      f.setStrikeOut(false);
      f.setOverline(false);
      P.setFont(f);
      // Runs placed by their advances go out as one glyph run each when the font holds
      // every character: a text call per character costs a printer or PDF writer dearly.
      Raw = f.pixelSize() > 0 ? QRawFont::fromFont(f) : QRawFont();
    }
    if (r.Advances < 0) {
      P.drawText(r.Pos, r.Text);
      return;
    }
    qreal x = r.Pos.x();
    const float* advances = Data.Advances.data() + r.Advances;
    if (DrawGlyphRun(r, advances)) return;
    for (qsizetype i = 0; i < r.Text.size(); ++i) {
      qsizetype len = r.Text[i].isHighSurrogate() && i + 1 < r.Text.size() ? 2 : 1;
      P.drawText(QPointF(x, r.Pos.y()), r.Text.mid(i, len));
      for (qsizetype k = i; k < i + len; ++k) x += advances[k];
      i += len - 1;
    }
  }

private:
  bool DrawGlyphRun(const RText& r, const float* Advances) {
    if (!Raw.isValid()) return false;
    QList<quint32> glyphs = Raw.glyphIndexesForString(r.Text);
    if (glyphs.size() != r.Text.size()) return false;
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal x = r.Pos.x();
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
      if (glyphs[i] == 0 || r.Text[i].isSurrogate()) return false;  // another font draws it
      positions.append(QPointF(x, r.Pos.y()));
      x += Advances[i];
    }
    QGlyphRun run;
    run.setRawFont(Raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    P.drawGlyphRun(QPointF(), run);
    return true;
  }

  QPainter& P;
  const TMetafileData& Data;
  QTransform Map, Current;
  QPainterPath BaseClip;
  QFont LastFont;
  QRawFont Raw;
  bool HasFont = false;
  bool HasBaseClip = false, Porter = true, Rops = true;
};

}  // namespace

void ReplayMetafile(const TMetafile& Metafile, QPainter& Painter, const QTransform& Map) {
  Painter.save();
  // Recording starts from a fresh painter's state; only changes to it were recorded.
  Painter.setPen(QPen());
  Painter.setBrush(Qt::NoBrush);
  Painter.setBrushOrigin(0, 0);
  Painter.setBackground(Qt::white);
  Painter.setBackgroundMode(Qt::TransparentMode);
  Painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  Painter.setRenderHint(QPainter::TextAntialiasing, true);
  TReplayer replay(Painter, Map, Metafile.Data());
  for (const TRecord& r : Metafile.Data().Records) std::visit(replay, r);
  Painter.restore();
}

// ================================================================ TMetafile

KELM_PUBLISH(TMetafile) {}

TMetafile::TMetafile() : FData(std::make_unique<TMetafileData>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    *FData = *m->FData;
    FWidth = m->FWidth;
    FHeight = m->FHeight;
    FDpi = m->FDpi;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TMetafile::SetWidth(int v) {
  FWidth = std::max(0, v);
  Changed(this);
}

void TMetafile::SetHeight(int v) {
  FHeight = std::max(0, v);
  Changed(this);
}

void TMetafile::SetDpi(int v) {
  if (v <= 0) throw EInvalidGraphicOperation("Metafile resolution must be positive");
  FDpi = v;
}

bool TMetafile::Empty() const { return FData->Records.empty() && (FWidth == 0 || FHeight == 0); }

void TMetafile::Clear() {
  FData->Records.clear();
  FData->Advances.clear();
  Changed(this);
}

void TMetafile::LoadFromStream(TStream*) { throw EInvalidGraphicOperation("Recorded metafiles cannot be loaded"); }
void TMetafile::SaveToStream(TStream*) { throw EInvalidGraphicOperation("Recorded metafiles cannot be saved"); }

void TMetafile::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (!Canvas || FWidth <= 0 || FHeight <= 0 || IsRectEmpty(Rect)) return;
  HDC dc = Canvas->Handle();
  QPainter* p = dc->P();
  if (!p) return;
  dc->ApplyClip();
  QRect dest = dc->ToDevice(Rect);
  QTransform map = QTransform::fromScale(double(dest.width()) / FWidth, double(dest.height()) / FHeight) *
                   QTransform::fromTranslate(dest.x(), dest.y());
  p->setTransform(dc->Base);
  ReplayMetafile(*this, *p, map);
  // The painter's font and clip are the context's again before its next drawing.
  dc->PainterFont = 0;
  dc->ClipChanged();
}

int TMetafile::RecordCount() const { return int(FData->Records.size()); }

namespace {

struct TKindOf {
  TMetaRecordKind operator()(const RRects&) const { return mrRects; }
  TMetaRecordKind operator()(const RLines&) const { return mrLines; }
  TMetaRecordKind operator()(const RPolygon& r) const {
    return r.Mode == QPaintEngine::PolylineMode ? mrPolyline : mrPolygon;
  }
  TMetaRecordKind operator()(const RPath&) const { return mrPath; }
  TMetaRecordKind operator()(const REllipse&) const { return mrEllipse; }
  TMetaRecordKind operator()(const RImage&) const { return mrImage; }
  TMetaRecordKind operator()(const RText&) const { return mrText; }
  template <class T> TMetaRecordKind operator()(const T&) const { return mrState; }
};

}  // namespace

std::vector<TMetaRecordKind> TMetafile::RecordKinds() const {
  std::vector<TMetaRecordKind> out;
  out.reserve(FData->Records.size());
  for (const TRecord& r : FData->Records) out.push_back(std::visit(TKindOf{}, r));
  return out;
}

namespace {

TMetaTextRun MakeRun(const RText& t, const TMetafileData& data, const QTransform& m, const QPainterPath* clip) {
  TMetaTextRun run;
  run.Text = FromQString(t.Text);
  QRectF cell(t.Pos.x(), t.Pos.y() - t.Ascent, t.Width, t.Ascent + t.Descent);
  QPointF origin = m.map(cell.topLeft());
  run.Origin = {int(std::lround(origin.x())), int(std::lround(origin.y()))};
  QRectF bounds = m.mapRect(cell);
  if (clip) {
    bounds = bounds.intersected(clip->boundingRect());
    run.Clipped = true;
  }
  run.Bounds = {int(std::floor(bounds.left())), int(std::floor(bounds.top())), int(std::ceil(bounds.right())),
                int(std::ceil(bounds.bottom()))};
  run.FontName = FromQString(QFontInfo(t.Font).family());
  run.FontHeight = t.Font.pixelSize() > 0 ? t.Font.pixelSize() : int(std::lround(t.Font.pointSizeF()));
  run.Escapement = int(std::lround(-std::atan2(m.m12(), m.m11()) * 1800 / std::numbers::pi));
  QFontMetricsF fm(t.Font);
  for (qsizetype i = 0; i < t.Text.size(); ++i) {
    qsizetype len = t.Text[i].isHighSurrogate() && i + 1 < t.Text.size() ? 2 : 1;
    if (t.Advances >= 0) {
      float a = 0;
      for (qsizetype k = i; k < i + len; ++k) a += data.Advances[std::size_t(t.Advances + k)];
      run.Advances.push_back(int(std::lround(a)));
    } else {
      run.Advances.push_back(int(std::lround(fm.horizontalAdvance(t.Text.mid(i, len)))));
    }
    i += len - 1;
  }
  return run;
}

}  // namespace

void TMetafile::WalkText(const std::function<void(const TMetaTextRun& Run)>& Visit) const {
  QTransform current;
  std::shared_ptr<const QPainterPath> clip;
  for (const TRecord& r : FData->Records) {
    if (auto* t = std::get_if<RTransform>(&r)) current = t->Transform ? *t->Transform : QTransform();
    else if (auto* c = std::get_if<RClip>(&r)) clip = c->Path;
    else if (auto* x = std::get_if<RText>(&r)) Visit(MakeRun(*x, *FData, current, clip.get()));
  }
}

String TMetafile::Text() const {
  String out;
  WalkText([&](const TMetaTextRun& run) {
    if (!out.empty()) out += '\n';
    out += run.Text;
  });
  return out;
}

// ================================================================ TMetafileCanvas

KELM_PUBLISH(TMetafileCanvas) {}

namespace {

constexpr int kDefaultDpi = 600;
constexpr QSize kA4At600(4961, 7016);

}  // namespace

TMetafileCanvas::TMetafileCanvas(TMetafile* Metafile, HDC ReferenceDevice) {
  assert(Metafile);
  int dpi = ReferenceDevice ? GetDeviceCaps(ReferenceDevice, LOGPIXELSY) : kDefaultDpi;
  if (Metafile->Width() <= 0 || Metafile->Height() <= 0) {
    QSize size = ReferenceDevice ? QSize(GetDeviceCaps(ReferenceDevice, HORZRES), GetDeviceCaps(ReferenceDevice, VERTRES))
                                 : kA4At600;
    Metafile->SetWidth(size.width());
    Metafile->SetHeight(size.height());
  }
  Metafile->Clear();
  Metafile->SetDpi(dpi);
  FRecorder = std::make_unique<TMetaRecorder>(Metafile, dpi, QSize(Metafile->Width(), Metafile->Height()));
  Font()->SetPixelsPerInch(dpi);
  SetHandle(FRecorder->DC());
}

TMetafileCanvas::~TMetafileCanvas() {
  SetHandle(nullptr);
  FRecorder.reset();
}
