#include "gui/MeasuringDC.h"

#include "core/ClassBuilder.h"
#include "gui/GdiDC.h"
#include "gui/QtBridge_p.h"

#include <algorithm>

HDC NewMeasuringContext(int Dpi);

HDC CreateMeasuringDC(int Dpi) { return NewMeasuringContext(std::clamp(Dpi, 1, 9600)); }

KELM_PUBLISH(TMeasuringCanvas) {}

TMeasuringCanvas::TMeasuringCanvas(int Dpi) : TCanvas(CreateMeasuringDC(Dpi)), FDpi(GetDeviceCaps(Handle(), LOGPIXELSY)) {
  Font()->SetPixelsPerInch(FDpi);
}
