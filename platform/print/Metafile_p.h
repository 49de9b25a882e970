#pragma once
// Private to platform/print: the display list behind TMetafile, the recorder that fills it
// from a device context's painting, and replay onto a painter.
#include "print/Metafile.h"
#include "gui/QtBridge_p.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTransform>
#include <variant>

namespace meta {

struct RPen { QPen Pen; };
struct RBrush { QBrush Brush; };
struct RBrushOrigin { QPointF Origin; };
struct RBackground { QBrush Brush; Qt::BGMode Mode; };
struct RComposition { QPainter::CompositionMode Mode; };
struct RHints { QPainter::RenderHints Hints; };
struct RTransform { std::shared_ptr<const QTransform> Transform; };  // null: identity
// The clip in reference pixels; an empty path pointer means no clip.
struct RClip { std::shared_ptr<const QPainterPath> Path; };
struct RRects { std::vector<QRectF> Rects; };
struct RLines { std::vector<QLineF> Lines; };
struct RPolygon { std::vector<QPointF> Points; QPaintEngine::PolygonDrawMode Mode; };
struct RPath { QPainterPath Path; };
struct REllipse { QRectF Rect; };
struct TImageDraw { QRectF Target; QImage Image; QRectF Source; };
struct RImage { std::shared_ptr<const TImageDraw> Draw; };  // shared: keeps every record small
// Text by its baseline start, laid out with its font as the recording device measured it.
// Advances, when given (0 or more), place the characters: one per UTF-16 unit (0 for a pair's
// second) from that index of the metafile's advances.
struct RText { QPointF Pos; QString Text; QFont Font; float Width, Ascent, Descent; int Advances = -1; };

using TRecord = std::variant<RPen, RBrush, RBrushOrigin, RBackground, RComposition, RHints, RTransform, RClip, RRects,
                             RLines, RPolygon, RPath, REllipse, RImage, RText>;

}  // namespace meta

struct TMetafileData {
  std::vector<meta::TRecord> Records;
  std::vector<float> Advances;  // of text runs drawn with explicit advances
};

// Paints into a metafile through a device context of its own (vector lines, the reference
// resolution); the context stays valid from page to page of a job.
class TMetaRecorder {
public:
  // Target nullptr: a context for measuring, whose drawing is not kept.
  TMetaRecorder(TMetafile* Target, int Dpi, QSize Size);
  ~TMetaRecorder();
  TMetaRecorder(const TMetaRecorder&) = delete;
  TMetaRecorder& operator=(const TMetaRecorder&) = delete;
  HDC DC() const { return FDC; }
  // Ends the current metafile and goes on recording into the next one (nullptr: nowhere).
  void Restart(TMetafile* Target);
  // Ends the recording (the context stays, drawing nowhere).
  void Finish();

private:
  void Complete();
  class TDevice;
  std::unique_ptr<TDevice> FDevice;
  QPainter FPainter;
  HDC FDC = nullptr;
};

// Replays a metafile onto a painter; Map takes reference pixels to the painter's current
// coordinates (the painter's transform and clip are kept around and within it).
void ReplayMetafile(const TMetafile& Metafile, QPainter& Painter, const QTransform& Map);
