// Prepared pages: records with a stream of emitted objects, rebuilt into page objects to be
// drawn, exported or hit-tested, and the .frp file.
#include "report_legacy/FR_ClassPrepared.h"

#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "gui/Pictures.h"
#include "gui/Shell.h"
#include "print/Metafile.h"
#include "print/Printers.h"

#include <cmath>

using namespace frstream;

TfrPageInfo::TfrPageInfo() : PageStream(std::make_unique<TMemoryStream>()) {}
TfrPageInfo::~TfrPageInfo() = default;

TfrEMFPages::TfrEMFPages(TfrReport* AParent) : FParent(AParent) {}
TfrEMFPages::~TfrEMFPages() = default;

void TfrEMFPages::Clear() { FPages.clear(); }

void TfrEMFPages::Insert(int Index, TfrPage* Page) {
  auto p = std::make_unique<TfrPageInfo>();
  WriteByte(p->PageStream.get(), frCurrentVersion);
  p->PaperSize = Page->Size;
  p->PaperWidth = Page->Width;
  p->PaperHeight = Page->Height;
  p->PaperOrientation = Page->Orientation;
  p->PaperSource = Page->PaperBin;
  p->MarginsFlag = Page->MarginsOn != 0;
  p->Margins = {Page->LeftMargin, Page->TopMargin, Page->RightMargin, Page->BottomMargin};
  p->PageInfo = Page->PrinterInfo;
  if (Index < 0 || Index >= Count()) FPages.push_back(std::move(p));
  else FPages.insert(FPages.begin() + Index, std::move(p));
}

void TfrEMFPages::Add(TfrPage* Page) {
  Insert(Count(), Page);
  TfrEngineState& s = frState();
  TfrReport* running = s.CurrentReport ? s.CurrentReport : FParent;
  if (running->OnBeginPage()) running->OnBeginPage()(s.PageIndex);
  if (s.RootReport && s.RootReport != running && s.RootReport->OnBeginPage()) s.RootReport->OnBeginPage()(s.PageIndex);
}

void TfrEMFPages::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FPages.erase(FPages.begin() + Index);
}

TMemoryStream* TfrEMFPages::PageStream(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FPages[static_cast<std::size_t>(Index)]->PageStream.get();
}

// ================================================================ page objects

void TfrEMFPages::ObjectsToPage(int Index) {
  TfrPageInfo& p = PageInfo(Index);
  p.PageObject.reset();
  auto page = std::make_unique<TfrPage>(p.PaperSize, p.PaperWidth, p.PaperHeight, p.PaperSource, p.PaperOrientation);
  page->LeftMargin = p.Margins.Left;
  page->TopMargin = p.Margins.Top;
  page->RightMargin = p.Margins.Right;
  page->BottomMargin = p.Margins.Bottom;
  page->MarginsOn = p.MarginsFlag ? 0xFFFF : 0;
  TfrEngineState& s = frState();
  s.CurrentPage = page.get();
  TMemoryStream* st = p.PageStream.get();
  st->SetPosition(0);
  TRestore<int> version(s.StreamVersion, ReadByte(st));
  while (st->Position() < st->Size()) {
    const Byte type = ReadByte(st);
    const String cls = type == 10 ? ReadVersionedString(st, s.StreamVersion) : String();
    std::unique_ptr<TfrView> v(CreateViewByType(type, cls));
    if (!v) throw EReadError("Unknown object type " + IntToStr(type) + " in a prepared page");
    v->PreparedForm = true;
    v->ReadFromStream(st);
    v->PreparedForm = false;
    if (auto* m = dynamic_cast<TfrMemoView*>(v.get()); m && (m->Flags & frmemo::AutoWidth)) {
      // Drawn once so that it takes the width its text needs.
      TRestore<int> mode(s.EngineMode, 1);
      m->DrawOnCanvas(TfrGlobals::Instance()->WorkCanvas());
    }
    page->AddObject(v.release());
  }
  p.PageObject = std::move(page);
}

void TfrEMFPages::PageToObjects(int Index) {
  TfrPageInfo& p = PageInfo(Index);
  if (!p.PageObject) return;
  TMemoryStream* st = p.PageStream.get();
  st->Clear();
  frState().StreamVersion = frCurrentVersion;
  WriteByte(st, frCurrentVersion);
  for (const auto& v : p.PageObject->Objects) {
    v->PreparedForm = true;
    WriteByte(st, v->TypeCode);
    if (v->TypeCode == 10) WriteCountedString(st, v->AddInClassName);
    v->ExpandedMemo.Assign(&v->Memo);
    v->WriteToStream(st);
    v->PreparedForm = false;
  }
}

void TfrEMFPages::Draw(int Index, TCanvas* Canvas, const TRect& Rect) {
  TfrPageInfo& p = PageInfo(Index);
  TPrinter* prn = Printer();
  const bool toPrinter = prn && prn->Printing() && Canvas == prn->Canvas();
  TfrEngineState& s = frState();
  s.EngineMode = 1;
  if (!p.PageVisible) {
    p.PageObject.reset();
    return;
  }
  if (!p.PageObject) ObjectsToPage(Index);
  s.CurrentPage = p.PageObject.get();
  const double kx = p.PageInfo.PageWidth ? double(Rect.Right - Rect.Left) / p.PageInfo.PageWidth : 1;
  const double ky = p.PageInfo.PageHeight ? double(Rect.Bottom - Rect.Top) / p.PageInfo.PageHeight : 1;
  const bool screen = !toPrinter && !dynamic_cast<TMetafileCanvas*>(Canvas);
  for (const auto& v : p.PageObject->Objects) {
    if (screen) {
      const TRect r{static_cast<int>(std::lround(v->Left * kx)) + Rect.Left - 10,
                    static_cast<int>(std::lround(v->Top * ky)) + Rect.Top - 10,
                    static_cast<int>(std::lround(kx * (v->Left + v->Width))) + Rect.Left + 10,
                    static_cast<int>(std::lround(ky * (v->Top + v->Height))) + Rect.Top + 10};
      if (!RectVisible(Canvas->Handle(), &r)) continue;
    }
    v->OutputScaleX = kx;
    v->OutputScaleY = ky;
    v->OutputOffsetX = Rect.Left;
    v->OutputOffsetY = Rect.Top;
    v->ToPrinter = toPrinter;
    v->DrawOnCanvas(Canvas);
  }
}

void TfrEMFPages::ExportData(int Index) {
  ObjectsToPage(Index);
  TfrPageInfo& p = PageInfo(Index);
  for (const auto& v : p.PageObject->Objects) v->SendToExportFilter();
  p.PageObject.reset();
}

bool TfrEMFPages::ObjectAtPoint(int Index, const TPoint& P, String& Link, int& Cursor, bool Click) {
  Link.clear();
  TfrPageInfo& p = PageInfo(Index);
  if (!p.PageObject) ObjectsToPage(Index);
  const TPrnPageInfo& info = p.PageInfo;
  double kx = 1, ky = 1, dx = 0, dy = 0;
  if (!p.MarginsFlag && info.PageWidth && info.PageHeight) {
    kx = double(info.PrnWidth - p.Margins.Left - p.Margins.Right) / info.PageWidth;
    ky = double(info.PrnHeight - p.Margins.Top - p.Margins.Bottom) / info.PageHeight;
    dx = p.Margins.Left + info.OffsetX;
    dy = p.Margins.Top + info.OffsetY;
  }
  const auto& objects = p.PageObject->Objects;
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    TfrView* v = it->get();
    const TRect r{static_cast<int>(std::lround(v->Left * kx + dx)), static_cast<int>(std::lround(v->Top * ky + dy)),
                  static_cast<int>(std::lround(dx + kx * (v->Left + v->Width))),
                  static_cast<int>(std::lround(dy + ky * (v->Top + v->Height)))};
    if (P.X < r.Left || P.X >= r.Right || P.Y < r.Top || P.Y >= r.Bottom) continue;
    const bool url = StartsText("URL", v->Name);
    if (Click) {
      if (FParent->OnObjectClick()) FParent->OnObjectClick()(v);
      if (!url) return static_cast<bool>(FParent->OnObjectClick());
      if (v->Tag.find('@') != String::npos) {
        Link = v->Tag;
      } else if (IsSafeLinkUrl(v->Tag)) {
        // Tags come from data: only web and mail links reach the desktop.
        ShellExecute(0, "open", v->Tag, "", "", 1);
      }
      return true;
    }
    if (FParent->OnMouseOverObject()) FParent->OnMouseOverObject()(v, Cursor);
    if (!url) return static_cast<bool>(FParent->OnMouseOverObject());
    Cursor = 65515;
    Link = v->Tag;
    return true;
  }
  return false;
}

// ================================================================ the .frp file

void TfrEMFPages::SaveToStream(TStream* Stream) {
  TfrCompressor* compressor = TfrGlobals::Instance()->Compressor.get();
  WriteByte(Stream, frCurrentVersion);
  WriteByte(Stream, compressor->Enabled ? 1 : 0);
  TfrPrinter* prn = GlobalPrinter();
  WriteCountedString(Stream, prn->PrinterNames && prn->PrinterNumber() < prn->PrinterNames->Count()
                                 ? prn->PrinterNames->Strings(prn->PrinterNumber())
                                 : String());
  WriteInt(Stream, Count());
  for (const auto& p : FPages) {
    const Int64 endField = Stream->Position();
    WriteInt(Stream, 0);
    WriteWord(Stream, static_cast<Word>(p->PaperSize));
    WriteInt(Stream, p->PaperWidth);
    WriteInt(Stream, p->PaperHeight);
    WriteByte(Stream, static_cast<Byte>(p->PaperOrientation));
    WriteInt(Stream, p->PaperSource);
    WriteByte(Stream, p->MarginsFlag ? 1 : 0);
    for (int m : {p->Margins.Left, p->Margins.Top, p->Margins.Right, p->Margins.Bottom}) WriteInt(Stream, m);
    p->PageStream->SetPosition(0);
    if (compressor->Enabled) {
      compressor->Compress(p->PageStream.get(), Stream);
    } else if (p->PageStream->Size() > 0) {
      Stream->WriteBuffer(p->PageStream->Memory(), p->PageStream->Size());
    }
    const Int64 end = Stream->Position();
    Stream->SetPosition(endField);
    WriteInt(Stream, static_cast<std::int32_t>(end));
    Stream->SetPosition(end);
  }
  WriteByte(Stream, FParent->GeneratorVersion);
}

void TfrEMFPages::LoadFromStream(TStream* Stream) {
  Clear();
  if (!Stream) return;
  const Int64 start = Stream->Position();
  int v = ReadByte(Stream);
  if (v < 23 || v > 31) {
    v = 0;
    Stream->SetPosition(start);
  }
  try {
    const Byte c = ReadByte(Stream);
    if (v != 0 && (c == 0 || c == 1 || c == 255)) {
      ReadCurrent(Stream, v, c);
    } else {
      Stream->SetPosition(start);
      ReadOlder(Stream);
    }
  } catch (const Exception&) {
    // A damaged file leaves no half-read pages behind.
    Clear();
    throw;
  }
}

void TfrEMFPages::ReadCurrent(TStream* Stream, int Version, Byte c) {
  TfrCompressor* compressor = TfrGlobals::Instance()->Compressor.get();
  if (c != 0 && !compressor->Enabled) throw EReadError("The prepared report is compressed and no compressor is installed");
  const String printer = ReadCountedString(Stream);
  if (!printer.empty()) FParent->SetPrinterTo(printer);
  const std::int32_t count = ReadInt(Stream);
  // Each page entry takes at least 16 bytes (36 from version 24, with bin and margins).
  const int entry = Version > 23 ? 36 : 16;
  if (count < 0 || count > (Stream->Size() - Stream->Position()) / entry) throw EReadError("Invalid prepared page count");
  Int64 last = Stream->Position();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t end = ReadInt(Stream);
    if (end <= last || end > Stream->Size()) throw EReadError("Invalid prepared page entry");
    auto p = std::make_unique<TfrPageInfo>();
    p->PaperSize = ReadWord(Stream);
    p->PaperWidth = ReadInt(Stream);
    p->PaperHeight = ReadInt(Stream);
    p->PaperOrientation = ReadByte(Stream);
    p->PaperSource = Version > 23 ? ReadInt(Stream) : -1;
    p->MarginsFlag = ReadByte(Stream) != 0;
    if (Version > 23) {
      p->Margins.Left = ReadInt(Stream);
      p->Margins.Top = ReadInt(Stream);
      p->Margins.Right = ReadInt(Stream);
      p->Margins.Bottom = ReadInt(Stream);
    }
    const Int64 here = Stream->Position();
    if (here > end) throw EReadError("Invalid prepared page entry");
    TMemoryStream data;
    data.CopyFrom(Stream, end - here);
    data.SetPosition(0);
    if (c != 0) compressor->DeCompress(&data, p->PageStream.get());
    else p->PageStream->CopyFrom(&data, data.Size());
    TfrPrinter* prn = GlobalPrinter();
    prn->SetPaper(p->PaperSize, p->PaperWidth, p->PaperHeight, p->PaperSource, p->PaperOrientation);
    prn->GetPageInfo(p->PageInfo);
    FPages.push_back(std::move(p));
    Stream->SetPosition(end);
    last = end;
  }
  FParent->GeneratorVersion = ReadByte(Stream);
}

void TfrEMFPages::ReadOlder(TStream* Stream) {
  TStringList lines;
  ReadZLines(Stream, &lines);
  if (lines.Count() > 0 && !lines.Strings(0).empty()) FParent->SetPrinterTo(lines.Strings(0));
  const std::int32_t count = ReadInt(Stream);
  if (count < 0 || count > (Stream->Size() - Stream->Position()) / 16) throw EReadError("Invalid prepared page count");
  Int64 last = Stream->Position();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t end = ReadInt(Stream);
    if (end <= last || end > Stream->Size()) throw EReadError("Invalid prepared page entry");
    auto p = std::make_unique<TfrPageInfo>();
    p->PaperSize = ReadWord(Stream);
    p->PaperWidth = ReadInt(Stream);
    p->PaperHeight = ReadInt(Stream);
    p->PaperOrientation = ReadByte(Stream);
    p->MarginsFlag = ReadByte(Stream) != 0;
    TfrPrinter* prn = GlobalPrinter();
    prn->SetPaper(p->PaperSize, p->PaperWidth, p->PaperHeight, -1, p->PaperOrientation);
    prn->GetPageInfo(p->PageInfo);
    // The page was a picture: it becomes one picture object of the page's size, whose
    // metafile bytes are kept as they are.
    TfrPictureView pic;
    pic.SetViewBounds(0, 0, p->PageInfo.PageWidth, p->PageInfo.PageHeight);
    const Int64 here = Stream->Position();
    if (here > end) throw EReadError("Invalid prepared page entry");
    String bytes(static_cast<std::size_t>(end - here), '\0');
    if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    pic.RawGraphicKind = 2;  // a metafile
    pic.RawGraphic = bytes;
    WriteByte(p->PageStream.get(), frCurrentVersion);
    WriteByte(p->PageStream.get(), 1);
    TRestore<int> version(frState().StreamVersion, frCurrentVersion);
    pic.PreparedForm = true;
    pic.WriteToStream(p->PageStream.get());
    FPages.push_back(std::move(p));
    Stream->SetPosition(end);
    last = end;
  }
}
