#pragma once
// Recorded drawings: a TMetafile holds a display list of everything drawn on a
// TMetafileCanvas (text runs, lines, fills, shapes, images, clip and transform changes) in the
// pixels of a reference device. It replays onto any canvas at any size, keeping the recorded
// text layout, and its text can be walked with positions and bounds (finding text in a
// preview, tests reading printed pages).
// Declares TMetaTextRun, TMetafile and TMetafileCanvas.
#include "gui/Graphics.h"

#include <functional>
#include <memory>
#include <vector>

struct TMetafileData;

// What a record draws or changes; state records set pen, brush, clip, transform and modes.
KELM_ENUM(TMetaRecordKind, mrState, mrRects, mrLines, mrPolygon, mrPolyline, mrPath, mrEllipse, mrImage, mrText)

// A text run as recorded, in reference pixels.
struct TMetaTextRun {
  String Text;
  TPoint Origin;      // top-left of the text cell, before rotation
  TRect Bounds;       // the cell, rotated and clipped
  String FontName;    // the family drawn with
  int FontHeight = 0; // character height in reference pixels
  int Escapement = 0; // tenths of a degree, counter-clockwise
  std::vector<int> Advances;  // per character
  bool Clipped = false;
};

class TMetafile : public TGraphic {
  KELM_CLASS(TMetafile, TGraphic)
public:
  TMetafile();
  ~TMetafile() override;
  void Assign(TPersistent* Source) override;

  // The frame, in reference pixels.
  int Width() const override { return FWidth; }
  void SetWidth(int v) override;
  int Height() const override { return FHeight; }
  void SetHeight(int v) override;
  // The reference device's resolution (pixels per inch).
  int Dpi() const { return FDpi; }
  void SetDpi(int v);
  bool Empty() const override;
  void Clear();

  // Replays the drawing scaled from the frame onto Rect (logical units of the canvas, so its
  // mapping mode applies).
  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  // Metafiles live in memory only.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

  int RecordCount() const;
  std::vector<TMetaRecordKind> RecordKinds() const;
  void WalkText(const std::function<void(const TMetaTextRun& Run)>& Visit) const;
  // All the text, runs in recording order, separated by line breaks.
  String Text() const;

  // The display list (platform/print code only).
  TMetafileData& Data() { return *FData; }
  const TMetafileData& Data() const { return *FData; }

private:
  std::unique_ptr<TMetafileData> FData;
  int FWidth = 0, FHeight = 0;
  int FDpi = 600;
};

class TMetaRecorder;

// A canvas recording into a metafile. The reference device gives the resolution fonts are
// measured at and the frame (when the metafile has none yet); without one it is a page of A4
// at 600 dpi. The metafile is cleared when the canvas starts.
class TMetafileCanvas : public TCanvas {
  KELM_CLASS(TMetafileCanvas, TCanvas)
public:
  TMetafileCanvas(TMetafile* Metafile, HDC ReferenceDevice);
  ~TMetafileCanvas() override;

private:
  std::unique_ptr<TMetaRecorder> FRecorder;
};
