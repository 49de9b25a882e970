#include "report/frxPrinter.h"

#include "core/ClassBuilder.h"
#include "gui/GdiDC.h"

KELM_PUBLISH(TfrxPrinterCanvas) {}

TfrxPrinterCanvas::TfrxPrinterCanvas(HDC DC) { SetDevice(DC); }

void TfrxPrinterCanvas::SetDevice(HDC DC) {
  FDevice = DC;
  SetHandle(DC);
  SyncFontResolution();
}

void TfrxPrinterCanvas::SyncFontResolution() {
  if (!FDevice) return;
  int dpi = GetDeviceCaps(FDevice, LOGPIXELSY);
  if (dpi <= 0 || Font()->PixelsPerInch() == dpi) return;
  int size = Font()->Size();
  Font()->SetPixelsPerInch(dpi);
  Font()->SetSize(size);
}

void TfrxPrinterCanvas::Changing() {
  TCanvas::Changing();
  SyncFontResolution();
}
