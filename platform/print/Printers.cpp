// TPrinter, the printer list and the devices behind it: the system's printers through the
// toolkit's print support, the PDF printer through a PDF writer. Pages are recorded and then
// replayed onto the device, so what a job draws never depends on the device's painter.
#include "print/Printers.h"
#include "print/Metafile_p.h"
#include "print/MediaSources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QSaveFile>
#include <cassert>
#include <cmath>
#include <utility>

// ================================================================ paper table

namespace {

struct TPaperRow {
  TPaperInfo Info;
  QPageSize::PageSizeId Id;
};

const std::vector<TPaperRow>& PaperRows() {
  static const std::vector<TPaperRow> rows = {
      {{DMPAPER_LETTER, "Letter", 2159, 2794}, QPageSize::Letter},
      {{DMPAPER_LEGAL, "Legal", 2159, 3556}, QPageSize::Legal},
      {{DMPAPER_EXECUTIVE, "Executive", 1841, 2667}, QPageSize::ExecutiveStandard},
      {{DMPAPER_A3, "A3", 2970, 4200}, QPageSize::A3},
      {{DMPAPER_A4, "A4", 2100, 2970}, QPageSize::A4},
      {{DMPAPER_A5, "A5", 1480, 2100}, QPageSize::A5},
      {{DMPAPER_B4, "B4 (JIS)", 2570, 3640}, QPageSize::JisB4},
      {{DMPAPER_B5, "B5 (JIS)", 1820, 2570}, QPageSize::JisB5},
      {{DMPAPER_ENV_10, "Envelope #10", 1048, 2413}, QPageSize::Envelope10},
      {{DMPAPER_ENV_DL, "Envelope DL", 1100, 2200}, QPageSize::EnvelopeDL},
      {{DMPAPER_ENV_C5, "Envelope C5", 1620, 2290}, QPageSize::EnvelopeC5},
      {{DMPAPER_ENV_B5, "Envelope B5", 1760, 2500}, QPageSize::EnvelopeB5},
      {{DMPAPER_ENV_MONARCH, "Envelope Monarch", 984, 1905}, QPageSize::EnvelopeMonarch},
      {{DMPAPER_A6, "A6", 1050, 1480}, QPageSize::A6},
  };
  return rows;
}

const TPaperRow* RowOf(short number) {
  for (const auto& r : PaperRows())
    if (r.Info.Number == number) return &r;
  return nullptr;
}

// The paper of a device mode as the toolkit names it; any unknown number uses the mode's size.
QPageSize PageSizeOf(const DEVMODE& m) {
  if (const TPaperRow* r = RowOf(m.dmPaperSize)) return QPageSize(r->Id);
  return QPageSize(QSizeF(std::max<short>(m.dmPaperWidth, 10) / 10.0, std::max<short>(m.dmPaperLength, 10) / 10.0),
                   QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

QPageLayout::Orientation OrientationOf(const DEVMODE& m) {
  return m.dmOrientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait;
}

TRect FromQRectPx(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

const std::vector<TPaperInfo>& PaperTable() {
  static const std::vector<TPaperInfo> table = [] {
    std::vector<TPaperInfo> t;
    for (const auto& r : PaperRows()) t.push_back(r.Info);
    return t;
  }();
  return table;
}

const TPaperInfo* FindPaper(short Number) {
  const TPaperRow* r = RowOf(Number);
  return r ? &r->Info : nullptr;
}

const TPaperInfo* FindPaperBySize(short Width, short Length) {
  for (const auto& r : PaperRows())
    if (std::abs(r.Info.Width - Width) <= 10 && std::abs(r.Info.Length - Length) <= 10) return &r.Info;
  return nullptr;
}

// ================================================================ devices

DEVMODE TPrintDevice::DefaultMode() const {
  DEVMODE m;
  m.dmDeviceName = Name();
  return m;
}

std::vector<short> TPrintDevice::Papers() const {
  std::vector<short> out;
  for (const auto& p : PaperTable()) out.push_back(p.Number);
  return out;
}

std::vector<TPrintBin> TPrintDevice::Bins() const { return {{DMBIN_AUTO, "Automatically Select"}}; }

void TPrintDevice::AddSheet(const TMetafile& Page, const DEVMODE&) { AddPage(Page); }

namespace {

// ---------------------------------------------------------------- the PDF printer

class TPdfDevice : public TPrintDevice {
public:
  String Name() const override { return "PDF"; }
  bool WritesFile() const override { return true; }

  TPrinterCaps Caps(const DEVMODE& Mode) const override {
    QPageLayout layout(PageSizeOf(Mode), OrientationOf(Mode), QMarginsF());
    TPrinterCaps c;
    c.DpiX = c.DpiY = kDpi;
    QRect full = layout.fullRectPixels(kDpi);
    c.Paper = {full.width(), full.height()};
    c.Printable = FromQRectPx(full);  // no unprintable margins
    return c;
  }

  void BeginJob(const TPrintJob& Job) override {
    assert(!FWriter);
    if (Job.FileName.empty()) throw EPrinter("No output file was chosen for the PDF printer");
    // Written beside the target and renamed at the end: an aborted or failed job leaves no file.
    FFile = std::make_unique<QSaveFile>(ToQString(Job.FileName));
    if (!FFile->open(QIODevice::WriteOnly)) {
      String why = FromQString(FFile->errorString());
      FFile.reset();
      throw EPrinter(Format("Cannot create file \"%s\". %s", {Job.FileName, why}));
    }
    FWriter = std::make_unique<QPdfWriter>(FFile.get());
    FWriter->setResolution(kDpi);
    FWriter->setTitle(ToQString(Job.Title));
    FWriter->setCreator(QStringLiteral("kelm"));
    FWriter->setPageLayout(QPageLayout(PageSizeOf(Job.Mode), OrientationOf(Job.Mode), QMarginsF()));
    if (!FPainter.begin(FWriter.get())) {
      Discard();
      throw EPrinter(Format("Cannot write PDF file \"%s\"", {Job.FileName}));
    }
    FPages = 0;
  }

  void AddPage(const TMetafile& Page) override {
    assert(FPainter.isActive());
    if (FPages++ > 0) FWriter->newPage();
    ReplayMetafile(Page, FPainter, QTransform());
  }

  // Each page is laid out by its own mode: a layout set before a new page applies to it.
  void AddSheet(const TMetafile& Page, const DEVMODE& Mode) override {
    assert(FPainter.isActive());
    QPageLayout layout(PageSizeOf(Mode), OrientationOf(Mode), QMarginsF());
    if (FPages++ > 0) {
      FWriter->setPageLayout(layout);
      FWriter->newPage();
    }
    ReplayMetafile(Page, FPainter, QTransform());
  }

  void EndJob() override {
    FPainter.end();
    bool ok = FFile->commit();
    String name = FromQString(FFile->fileName()), why = FromQString(FFile->errorString());
    FWriter.reset();
    FFile.reset();
    if (!ok) throw EPrinter(Format("Cannot write PDF file \"%s\". %s", {name, why}));
  }

  void AbortJob() override { Discard(); }

private:
  static constexpr int kDpi = 600;
  void Discard() {
    if (FPainter.isActive()) FPainter.end();
    FWriter.reset();
    if (FFile) FFile->cancelWriting();
    FFile.reset();
  }
  std::unique_ptr<QSaveFile> FFile;
  std::unique_ptr<QPdfWriter> FWriter;
  QPainter FPainter;
  int FPages = 0;
};

// ---------------------------------------------------------------- system printers

class TSystemDevice : public TPrintDevice {
public:
  explicit TSystemDevice(const QPrinterInfo& Info) : FInfo(Info) {}
  String Name() const override { return FromQString(FInfo.printerName()); }

  TPrinterCaps Caps(const DEVMODE& Mode) const override {
    QPrinter p(FInfo, QPrinter::HighResolution);
    Apply(p, Mode);
    int dpi = p.resolution();
    QPageLayout layout = p.pageLayout();
    TPrinterCaps c;
    c.DpiX = c.DpiY = dpi;
    QRect full = layout.fullRectPixels(dpi);
    c.Paper = {full.width(), full.height()};
    c.Printable = FromQRectPx(layout.paintRectPixels(dpi));
    return c;
  }

  DEVMODE DefaultMode() const override {
    DEVMODE m = TPrintDevice::DefaultMode();
    QPageSize size = FInfo.defaultPageSize();
    for (const auto& r : PaperRows())
      if (r.Id == size.id()) m.dmPaperSize = r.Info.Number;
    QSizeF mm = size.size(QPageSize::Millimeter);
    m.dmPaperWidth = short(std::lround(mm.width() * 10));
    m.dmPaperLength = short(std::lround(mm.height() * 10));
    return m;
  }

  // The print system's media sources, asked once per device; a printer that lists none (or
  // no server) has the automatic bin only.
  std::vector<TPrintBin> Bins() const override {
    if (!FBinsRead) {
      FBins = BinsOfMediaSources(PrinterMediaSources(Name()));
      FBinsRead = true;
    }
    return FBins.empty() ? TPrintDevice::Bins() : FBins;
  }

  std::vector<short> Papers() const override {
    std::vector<short> out;
    for (const QPageSize& s : FInfo.supportedPageSizes())
      for (const auto& r : PaperRows())
        if (r.Id == s.id()) out.push_back(r.Info.Number);
    return out;
  }

  void BeginJob(const TPrintJob& Job) override {
    FPrinter = std::make_unique<QPrinter>(FInfo, QPrinter::HighResolution);
    Apply(*FPrinter, Job.Mode);
    ApplySource(*FPrinter, Job.Mode.dmDefaultSource);
    FPrinter->setDocName(ToQString(Job.Title));
    if (!FPainter.begin(FPrinter.get())) {
      FPrinter.reset();
      throw EPrinter(Format("Cannot print on \"%s\"", {Name()}));
    }
    FPages = 0;
  }

  void AddPage(const TMetafile& Page) override {
    if (FPages++ > 0) FPrinter->newPage();
    ReplayMetafile(Page, FPainter, QTransform());
  }

  // Paper and orientation go with each page; the toolkit sets no input slot per page, so the
  // bin, duplex and copies stay those the job began with.
  void AddSheet(const TMetafile& Page, const DEVMODE& Mode) override {
    if (FPages++ > 0) {
      FPrinter->setPageLayout(QPageLayout(PageSizeOf(Mode), OrientationOf(Mode), FPrinter->pageLayout().margins()));
      FPrinter->newPage();
    }
    ReplayMetafile(Page, FPainter, QTransform());
  }

  void EndJob() override {
    bool ok = FPainter.end();
    bool failed = FPrinter->printerState() == QPrinter::Error;
    FPrinter.reset();
    if (!ok || failed) throw EPrinter(Format("Printing on \"%s\" failed", {Name()}));
  }

  void AbortJob() override {
    if (FPrinter) FPrinter->abort();
    if (FPainter.isActive()) FPainter.end();
    FPrinter.reset();
  }

private:
  static void Apply(QPrinter& p, const DEVMODE& m) {
    p.setFullPage(false);
    p.setPageSize(PageSizeOf(m));
    p.setPageOrientation(OrientationOf(m));
    p.setCopyCount(std::max<short>(1, m.dmCopies));
    p.setCollateCopies(m.dmCollate == DMCOLLATE_TRUE);
    // Bin numbers are the toolkit's paper sources one up.
    if (m.dmDefaultSource >= DMBIN_UPPER && m.dmDefaultSource <= QPrinter::FormSource + 1)
      p.setPaperSource(QPrinter::PaperSource(m.dmDefaultSource - 1));
    p.setDuplex(m.dmDuplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                : m.dmDuplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                 : QPrinter::DuplexNone);
  }
  // A bin that came from the print system goes to it by its keyword, as the job's
  // "media-source" option (the toolkit's engine property for print-system options).
  void ApplySource(QPrinter& p, short Bin) const {
    for (const TPrintBin& b : Bins())
      if (b.Number == Bin && b.Number != DMBIN_AUTO && !FBins.empty()) {
        constexpr auto kSystemOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
        p.printEngine()->setProperty(kSystemOptions, QStringList{"media-source", ToQString(b.Name)});
      }
  }

  QPrinterInfo FInfo;
  std::unique_ptr<QPrinter> FPrinter;
  QPainter FPainter;
  int FPages = 0;
  mutable std::vector<TPrintBin> FBins;
  mutable bool FBinsRead = false;
};

class TSystemSource : public TPrinterSource {
public:
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override {
    std::vector<std::unique_ptr<TPrintDevice>> out;
    QString def = QPrinterInfo::defaultPrinterName();
    FDefault = 0;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
      if (info.printerName() == def) FDefault = int(out.size());
      out.push_back(std::make_unique<TSystemDevice>(info));
    }
    out.push_back(CreatePdfPrintDevice());
    return out;
  }
  int DefaultIndex() override { return FDefault; }

private:
  int FDefault = 0;
};

std::unique_ptr<TPrinterSource>& SourceSlot() {
  static std::unique_ptr<TPrinterSource> source;
  return source;
}

TPrinterSource& Source() {
  auto& s = SourceSlot();
  if (!s) s = CreateSystemPrinterSource();
  return *s;
}

}  // namespace

std::unique_ptr<TPrinterSource> CreateSystemPrinterSource() { return std::make_unique<TSystemSource>(); }
TPrinterSource& CurrentPrinterSource() { return Source(); }
std::unique_ptr<TPrintDevice> CreatePdfPrintDevice() { return std::make_unique<TPdfDevice>(); }

// ================================================================ TPrinter

// The printer's canvas takes the printer's context when it first draws, and its fonts follow
// the printer's resolution.
class TPrinterCanvas : public TCanvas {
public:
  explicit TPrinterCanvas(TPrinter* Printer) : FPrinter(Printer) {}

protected:
  void CreateHandle() override {
    HDC dc = FPrinter->Handle();
    Font()->SetPixelsPerInch(GetDeviceCaps(dc, LOGPIXELSY));
    SetHandle(dc);
  }

private:
  TPrinter* FPrinter;
};

TPrinter::TPrinter() : FPrinters(std::make_unique<TStringList>()) {}

TPrinter::~TPrinter() {
  if (FPrinting) {
    try {
      Abort();
    } catch (...) {
    }
  }
  if (FCanvas) FCanvas->SetHandle(nullptr);
}

void TPrinter::LoadDevices() {
  if (FLoaded) return;
  FDevices = Source().Devices();
  FModes.clear();
  FPrinters->Clear();
  for (auto& d : FDevices) {
    FModes.push_back(d->DefaultMode());
    FModes.back().dmDeviceName = d->Name();
    FPrinters->Add(d->Name());
  }
  FDefault = FDevices.empty() ? -1 : std::clamp(Source().DefaultIndex(), 0, int(FDevices.size()) - 1);
  if (FIndex >= int(FDevices.size())) FIndex = -1;
  if (!FReselect.empty()) FIndex = FPrinters->IndexOf(std::exchange(FReselect, String()));
  FLoaded = true;
}

// The list is read again when next needed, so a refresh asks the system nothing by itself.
void TPrinter::Refresh() {
  CheckPrinting(false);
  if (FIndex >= 0 && FIndex < int(FDevices.size())) FReselect = FDevices[std::size_t(FIndex)]->Name();
  ModeChanged();
  FDevices.clear();
  FModes.clear();
  FPrinters->Clear();
  FLoaded = false;
  FIndex = -1;
}

TPrintDevice& TPrinter::Current() {
  LoadDevices();
  if (FDevices.empty()) throw EPrinter("There is no default printer currently selected");
  return *FDevices[std::size_t(PrinterIndex())];
}

TStrings* TPrinter::Printers() {
  LoadDevices();
  return FPrinters.get();
}

int TPrinter::PrinterIndex() {
  LoadDevices();
  return FIndex >= 0 ? FIndex : FDefault;
}

void TPrinter::SetPrinterIndex(int v) {
  CheckPrinting(false);
  LoadDevices();
  if (v < -1 || v >= int(FDevices.size())) throw EPrinter("Printer selected is not valid");
  FIndex = v;
  ModeChanged();
}

void TPrinter::CheckPrinting(bool Value) const {
  if (FPrinting == Value) return;
  throw EPrinter(Value ? "Printer is not currently printing" : "Printing in progress");
}

// Settings changed: the measuring context is made again for them.
void TPrinter::ModeChanged() {
  if (FPrinting) return;
  FCapsValid = false;
  if (FCanvas) FCanvas->SetHandle(nullptr);
  FRecorder.reset();
  FPage.reset();
}

DEVMODE* TPrinter::DeviceMode() {
  Current();
  return &FModes[std::size_t(PrinterIndex())];
}

void TPrinter::GetPrinter(String& Device, String& Driver, String& Port, DEVMODE*& Mode) {
  Mode = DeviceMode();
  Device = Mode->dmDeviceName;
  Driver.clear();
  Port.clear();
}

void TPrinter::SetPrinter(const String& Device, const String& Driver, const String& Port, const DEVMODE* Mode) {
  CheckPrinting(false);
  LoadDevices();
  int i = FPrinters->IndexOf(Device);
  if (i < 0) throw EPrinter(Format("Printer \"%s\" is not installed", {Device}));
  FIndex = i;
  if (Mode) {
    FModes[std::size_t(i)] = *Mode;
    FModes[std::size_t(i)].dmDeviceName = FDevices[std::size_t(i)]->Name();
  }
  ModeChanged();
}

int TPrinter::Copies() { return DeviceMode()->dmCopies; }

void TPrinter::SetCopies(int v) {
  CheckPrinting(false);
  DeviceMode()->dmCopies = short(std::max(1, v));
}

TPrinterOrientation TPrinter::Orientation() {
  return DeviceMode()->dmOrientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation v) {
  CheckPrinting(false);
  DeviceMode()->dmOrientation = v == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  ModeChanged();
}

TPrinterCaps TPrinter::Caps() {
  if (!FCapsValid) {
    FCaps = Current().Caps(*DeviceMode());
    FCapsValid = true;
  }
  return FCaps;
}
int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }
bool TPrinter::WritesFile() { return Current().WritesFile(); }
std::vector<short> TPrinter::PaperNumbers() { return Current().Papers(); }
std::vector<TPrintBin> TPrinter::Bins() { return Current().Bins(); }

// Fonts set on the canvas before it draws are sized for the printer already.
TCanvas* TPrinter::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TPrinterCanvas>(this);
  LoadDevices();
  if (!FDevices.empty()) FCanvas->Font()->SetPixelsPerInch(Caps().DpiY);
  return FCanvas.get();
}

HDC TPrinter::Handle() {
  if (!FRecorder) StartPage(false);  // outside a job: a context to measure on
  return FRecorder->DC();
}

// A new page recorder (and context) with the selected printer's caps; a measuring context
// keeps nothing of what is drawn on it.
void TPrinter::StartPage(bool Keep) {
  TPrinterCaps caps = Caps();
  FPage = std::make_unique<TMetafile>();
  FPage->SetDpi(caps.DpiY);
  FPage->SetWidth(caps.Printable.Width());
  FPage->SetHeight(caps.Printable.Height());
  FRecorder = std::make_unique<TMetaRecorder>(Keep ? FPage.get() : nullptr, caps.DpiY,
                                              QSize(FPage->Width(), FPage->Height()));
  HDC dc = FRecorder->DC();
  dc->Physical = QSize(caps.Paper.cx, caps.Paper.cy);
  dc->PhysicalOffset = QPoint(caps.Printable.Left, caps.Printable.Top);
}

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  TPrintDevice& dev = Current();
  FCapsValid = false;  // the device mode may have been changed through its pointer
  TPrintJob job{FTitle, *DeviceMode(), FFileName, Caps()};
  ModeChanged();
  dev.BeginJob(job);
  FJobDevice = &dev;
  FPrinting = true;
  FAborted = false;
  FPageNumber = 1;
  StartPage(true);
  if (FCanvas) FCanvas->SetHandle(nullptr);
}

// Hands the recorded page to the device; a device that fails ends the job.
void TPrinter::FinishPage() {
  FRecorder->Finish();
  try {
    FJobDevice->AddPage(*FPage);
  } catch (...) {
    Abort();
    throw;
  }
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  if (FCanvas) FCanvas->Refresh();
  FinishPage();
  ++FPageNumber;
  FPage = std::make_unique<TMetafile>();
  TPrinterCaps caps = Caps();
  FPage->SetDpi(caps.DpiY);
  FPage->SetWidth(caps.Printable.Width());
  FPage->SetHeight(caps.Printable.Height());
  FRecorder->Restart(FPage.get());
}

void TPrinter::EndJob() {
  if (FCanvas) FCanvas->SetHandle(nullptr);
  FRecorder.reset();
  FPage.reset();
  FJobDevice = nullptr;
  FPrinting = false;
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  FinishPage();
  TPrintDevice* dev = FJobDevice;
  EndJob();
  dev->EndJob();
}

void TPrinter::Abort() {
  CheckPrinting(true);
  TPrintDevice* dev = FJobDevice;
  EndJob();
  FAborted = true;
  dev->AbortJob();
}

// ================================================================ the process-wide printer

namespace {

TPrinter* gPrinter = nullptr;
std::unique_ptr<TPrinter> gOwnPrinter;  // the one Printer() made

}  // namespace

TPrinter* Printer() {
  if (!gPrinter) {
    gOwnPrinter = std::make_unique<TPrinter>();
    gPrinter = gOwnPrinter.get();
  }
  return gPrinter;
}

TPrinter* SetPrinter(TPrinter* NewPrinter) {
  TPrinter* old = gPrinter;
  if (old && old == gOwnPrinter.get()) gOwnPrinter.release();
  gPrinter = NewPrinter;
  return old;
}

std::unique_ptr<TPrinterSource> SetPrinterSource(std::unique_ptr<TPrinterSource> Source) {
  std::unique_ptr<TPrinterSource> old = std::move(SourceSlot());
  SourceSlot() = std::move(Source);
  if (gPrinter && !gPrinter->Printing()) gPrinter->Refresh();
  return old;
}
