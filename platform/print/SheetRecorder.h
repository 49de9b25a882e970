#pragma once
// TSheetRecorder records the sheets of a job for a device at its resolution: a device context that
// measures like the device (resolution, printable size, physical sheet and offsets) and, while
// a sheet is open, keeps what is drawn on it in that sheet's metafile. Between sheets the
// context stays valid and draws nowhere, so it also serves for measuring outside a job.
#include "print/Printers.h"

#include <memory>

class TMetaRecorder;

class TSheetRecorder {
public:
  explicit TSheetRecorder(const TPrinterCaps& Caps);
  ~TSheetRecorder();
  TSheetRecorder(const TSheetRecorder&) = delete;
  TSheetRecorder& operator=(const TSheetRecorder&) = delete;

  HDC DC() const;
  const TPrinterCaps& Caps() const { return FCaps; }
  // A new sheet: a metafile framed as the printable area, recorded from now on.
  void BeginSheet();
  // Ends the open sheet and hands it over; nullptr when none is open.
  std::unique_ptr<TMetafile> EndSheet();
  bool SheetOpen() const { return FSheet != nullptr; }

private:
  std::unique_ptr<TMetafile> NewSheet() const;
  TPrinterCaps FCaps;
  std::unique_ptr<TMetafile> FSheet;
  std::unique_ptr<TMetaRecorder> FRecorder;
};
