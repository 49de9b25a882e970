#pragma once
// Measuring text at a chosen resolution: a device context on nothing whose fonts are realised
// at that resolution (unhinted above 96 dpi, no kerning), so that the cumulative extents of a
// line add up and equal those a printer of the same resolution reports. Text laid out here
// breaks the same way on every device it is later drawn on. TMeasuringCanvas is a canvas over
// such a context.
#include "gui/Canvas.h"

// A context that measures at Dpi pixels per inch and draws nowhere; free it with DeleteDC.
HDC CreateMeasuringDC(int Dpi);

// A canvas over a measuring context of its own; its font is sized for the resolution.
class TMeasuringCanvas : public TCanvas {
  KELM_CLASS(TMeasuringCanvas, TCanvas)
public:
  explicit TMeasuringCanvas(int Dpi = 600);
  int Dpi() const { return FDpi; }

private:
  int FDpi;
};
