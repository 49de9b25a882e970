#pragma once
// The printer layer's canvas: drawing on a printer's device context, with its font sized for
// the device's resolution. Text output recognises it (IsPrinterCanvas) and converts layouts
// by the printer's resolution rather than by the zoom.
#include "gui/Canvas.h"

class TfrxPrinterCanvas : public TCanvas {
  KELM_CLASS(TfrxPrinterCanvas, TCanvas)
public:
  // Draws on DC, which the caller keeps alive and frees.
  explicit TfrxPrinterCanvas(HDC DC = nullptr);
  void SetDevice(HDC DC);
  // Gives the font the device's pixels per inch, keeping its point size.
  void SyncFontResolution();

protected:
  void Changing() override;

private:
  HDC FDevice = nullptr;
};
