#include "print/SheetRecorder.h"
#include "print/Metafile_p.h"

TSheetRecorder::TSheetRecorder(const TPrinterCaps& Caps) : FCaps(Caps) {
  int dpi = FCaps.DpiY > 0 ? FCaps.DpiY : 96;
  FRecorder = std::make_unique<TMetaRecorder>(nullptr, dpi, QSize(FCaps.Printable.Width(), FCaps.Printable.Height()));
  HDC dc = FRecorder->DC();
  dc->Physical = QSize(FCaps.Paper.cx, FCaps.Paper.cy);
  dc->PhysicalOffset = QPoint(FCaps.Printable.Left, FCaps.Printable.Top);
  // A device that reports no resolution says so to whoever asks the context.
  if (FCaps.DpiY <= 0) dc->Dpi = 0;
}

TSheetRecorder::~TSheetRecorder() = default;

HDC TSheetRecorder::DC() const { return FRecorder->DC(); }

std::unique_ptr<TMetafile> TSheetRecorder::NewSheet() const {
  auto sheet = std::make_unique<TMetafile>();
  sheet->SetDpi(FCaps.DpiY > 0 ? FCaps.DpiY : 96);
  sheet->SetWidth(FCaps.Printable.Width());
  sheet->SetHeight(FCaps.Printable.Height());
  return sheet;
}

void TSheetRecorder::BeginSheet() {
  if (FSheet) EndSheet();
  FSheet = NewSheet();
  FRecorder->Restart(FSheet.get());
}

std::unique_ptr<TMetafile> TSheetRecorder::EndSheet() {
  if (!FSheet) return nullptr;
  FRecorder->Restart(nullptr);
  return std::move(FSheet);
}
