#include "app/ChartPreview.h"

#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "gui/Chart.h"

#include <algorithm>

void PreviewChart(TCustomChart* Chart, const String& Title) {
  TPrinterPreview* preview = GetSharedPrinterPreview();
  int w = std::max(1, Chart->ClientWidth()), h = std::max(1, Chart->ClientHeight());
  preview->SetTitle(Title);
  preview->StartDocument();
  try {
    int pageW = preview->GetPageWidth(), pageH = preview->GetPageHeight();
    double scale = std::min(double(pageW) / w, double(pageH) / h);
    int fitW = static_cast<int>(w * scale), fitH = static_cast<int>(h * scale);
    int left = (pageW - fitW) / 2;
    Chart->Draw(preview->GetCanvas(), Rect(left, 0, left + fitW, fitH));
  } catch (...) {
    // A failed drawing is abandoned before the document ends: more than a restore.
    preview->AbortDocument();
    preview->FinishDocument();
    throw;
  }
  preview->FinishDocument();
  // The chart on the screen lays itself out again for its own size.
  Chart->Invalidate();
}
