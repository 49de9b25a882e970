// The stream record of every view, in design and prepared form, by stream version.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Utils.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/GraphicsObjects.h"
#include "gui/Jpeg.h"
#include "gui/Pictures.h"

#include <cmath>

using namespace frstream;

namespace {

int Version() { return frState().StreamVersion; }

// A whole width up to 10 is written as is, any other in thousandths. A fraction so small that
// its thousandths would be 10 or less is written as 11, the least that reads back as
// thousandths.
std::int32_t FrameWidthToStream(float w) {
  if (w == std::trunc(w) && w <= 10) return static_cast<std::int32_t>(w);
  auto v = static_cast<std::int32_t>(std::lround(double(w) * 1000));
  return v <= 10 ? 11 : v;
}

float FrameWidthFromStream(std::int32_t v) {
  double d = v <= 10 ? double(v) * 1000 : double(v);
  return static_cast<float>(d / 1000);
}

int ObjectVersion(const TfrView* v) { return v->RecordVersionMajor * 10 + v->RecordVersionMinor; }

}  // namespace

// ================================================================ the view record

void TfrView::WriteToStream(TStream* S) {
  WriteCountedString(S, Name);
  WriteByte(S, 2);
  WriteByte(S, RecordVersionMinor);
  WriteInt(S, Left);
  WriteInt(S, Top);
  WriteInt(S, Width);
  WriteInt(S, Height);
  WriteWord(S, Flags);
  WriteWord(S, FrameTyp);
  WriteInt(S, FrameWidthToStream(FrameWidth));
  WriteInt(S, FrameColor);
  WriteWord(S, FrameStyle);
  WriteInt(S, FillColor);
  if (!PreparedForm) {
    WriteInt(S, FormatCode);
    WriteCountedString(S, FormatText);
    WriteCountedLines(S, &Memo);
    WriteCountedLines(S, &EventScript);
    WriteWord(S, Visible);
  } else {
    WriteCountedLines(S, &ExpandedMemo);
  }
  WriteWord(S, Restrictions);
  WriteCountedString(S, Tag);
  WriteInt(S, GapX);
  WriteInt(S, GapY);
  WriteByte(S, BandAlign);
}

void TfrView::ReadFromStream(TStream* S) {
  const int v = Version();
  if (v > 23 || (v == 23 && !PreparedForm)) Name = ReadVersionedString(S, v);
  else MakeUniqueName();
  // The record version, the rectangle, flags and frame (30 bytes), the fill colour and, in
  // design form, the format.
  TBlockReader b(S, (v > 23 ? 2 : 0) + (PreparedForm ? 34 : 38));
  if (v > 23) {
    RecordVersionMajor = b.Byte1();
    RecordVersionMinor = b.Byte1();
  }
  Left = b.Int4();
  Top = b.Int4();
  Width = b.Int4();
  Height = b.Int4();
  Flags = b.Word2();
  FrameTyp = b.Word2();
  const std::int32_t frameWidth = b.Int4();
  FrameColor = b.Int4();
  FrameStyle = b.Word2();
  FillColor = b.Int4();
  if (!PreparedForm) {
    FormatCode = b.Int4();
    FormatText = ReadVersionedString(S, v);
  }
  ReadVersionedLines(S, &Memo, v);
  if (v >= 23 && !PreparedForm) {
    ReadVersionedLines(S, &EventScript, v);
    Visible = ReadWord(S);
  }
  if (v >= 24) {
    Restrictions = ReadWord(S);
    Tag = ReadVersionedString(S, v);
    TBlockReader gaps(S, RecordVersionMajor > 1 ? 9 : 8);
    GapX = gaps.Int4();
    GapY = gaps.Int4();
    if (RecordVersionMajor > 1) BandAlign = gaps.Byte1();
  } else if (RecordVersionMajor > 1) {
    BandAlign = ReadByte(S);
  }
  FrameWidth = FrameWidthFromStream(frameWidth);
}

// ================================================================ text

void TfrMemoView::WriteToStream(TStream* S) {
  TfrView::WriteToStream(S);
  WriteCountedString(S, Font->Name());
  WriteInt(S, Font->Size());
  WriteWord(S, StyleToStream(Font.get()));
  WriteInt(S, Font->Color());
  WriteInt(S, Alignment);
  WriteWord(S, static_cast<Word>(Font->Charset()));
  if (!PreparedForm) {
    WriteWord(S, HighlightFontStyle);
    WriteInt(S, HighlightFontColor);
    WriteInt(S, HighlightFillColor);
    WriteCountedString(S, HighlightCondition);
  }
  WriteInt(S, LineSpacing);
  WriteInt(S, CharSpacing);
}

void TfrMemoView::ReadFromStream(TStream* S) {
  TfrView::ReadFromStream(S);
  const int v = Version();
  Font->SetName(ReadVersionedString(S, v));
  // Size, style, colour, alignment and character set; in design form the highlight too.
  TBlockReader b(S, PreparedForm ? 16 : 26);
  Font->SetSize(b.Int4());
  StyleFromStream(Font.get(), b.Word2());
  Font->SetColor(b.Int4());
  Alignment = b.Int4();
  const Word charset = b.Word2();
  Font->SetCharset(static_cast<TFontCharset>(v < 23 ? frState().DefaultCharset : (charset & 0xFF)));
  if (!PreparedForm) {
    HighlightFontStyle = b.Word2();
    HighlightFontColor = b.Int4();
    HighlightFillColor = b.Int4();
    HighlightCondition = ReadVersionedString(S, v);
  }
  if (v > 23) {
    TBlockReader spacing(S, 8);
    LineSpacing = spacing.Int4();
    CharSpacing = spacing.Int4();
  }
  if (v == 21) Flags |= frmemo::WordWrap;
}

// ================================================================ band

void TfrBandView::WriteToStream(TStream* S) {
  RecordVersionMinor = 1;
  TfrView::WriteToStream(S);
  WriteCountedString(S, ChildBand);
  WriteInt(S, Columns);
  WriteInt(S, ColumnWidth);
  WriteInt(S, ColumnGap);
  WriteInt(S, NewColumnAfter);
  WriteCountedString(S, Master);
}

void TfrBandView::ReadFromStream(TStream* S) {
  TfrView::ReadFromStream(S);
  if (Version() >= 24) {
    ChildBand = ReadCountedString(S);
    Columns = ReadInt(S);
    ColumnWidth = ReadInt(S);
    ColumnGap = ReadInt(S);
    NewColumnAfter = ReadInt(S);
  }
  if (ObjectVersion(this) > 20) Master = ReadCountedString(S);
}

// ================================================================ sub-report

void TfrSubReportView::WriteToStream(TStream* S) {
  TfrView::WriteToStream(S);
  WriteInt(S, TargetPage);
}

void TfrSubReportView::ReadFromStream(TStream* S) {
  TfrView::ReadFromStream(S);
  TargetPage = ReadInt(S);
}

// ================================================================ picture

namespace {

enum : Byte { gkNone = 0, gkBitmap = 1, gkMetafile = 2, gkIcon = 3, gkJpeg = 4 };

Byte GraphicKind(TGraphic* g) {
  if (!g) return gkNone;
  if (dynamic_cast<TBitmap*>(g)) return gkBitmap;
  if (dynamic_cast<TIcon*>(g)) return gkIcon;
  if (dynamic_cast<TJPEGImage*>(g)) return gkJpeg;
  return gkNone;
}

std::unique_ptr<TGraphic> NewGraphic(Byte kind) {
  switch (kind) {
    case gkBitmap: return std::make_unique<TBitmap>();
    case gkIcon: return std::make_unique<TIcon>();
    case gkJpeg: return std::make_unique<TJPEGImage>();
    default: return nullptr;
  }
}

}  // namespace

void TfrPictureView::WriteToStream(TStream* S) {
  TfrView::WriteToStream(S);
  TGraphic* g = Picture->Graphic();
  const bool raw = !RawGraphic.empty() && (!g || g->Empty());
  const Byte kind = raw ? RawGraphicKind : (g && !g->Empty() ? GraphicKind(g) : gkNone);
  WriteByte(S, kind);
  WriteByte(S, BlobType);
  const Int64 endField = S->Position();
  WriteInt(S, 0);
  if (raw) S->WriteBuffer(RawGraphic.data(), static_cast<Int64>(RawGraphic.size()));
  else if (kind != gkNone) g->SaveToStream(S);
  const Int64 end = S->Position();
  S->SetPosition(endField);
  WriteInt(S, static_cast<std::int32_t>(end));
  S->SetPosition(end);
}

void TfrPictureView::ReadFromStream(TStream* S) {
  TfrView::ReadFromStream(S);
  const Byte kind = ReadByte(S);
  if (ObjectVersion(this) > 10) BlobType = ReadByte(S);
  const Int64 end = ReadInt(S);
  if (end < S->Position() || end > S->Size()) throw EReadError("Picture data beyond the stream");
  String bytes(static_cast<std::size_t>(end - S->Position()), '\0');
  if (!bytes.empty()) S->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  S->SetPosition(end);
  Picture->SetGraphic(nullptr);
  RawGraphic.clear();
  RawGraphicKind = 0;
  if (kind < gkBitmap || kind > gkJpeg) return;
  std::unique_ptr<TGraphic> g = NewGraphic(kind);
  if (g) {
    try {
      TMemoryStream m;
      if (!bytes.empty()) m.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
      m.SetPosition(0);
      g->LoadFromStream(&m);
      Picture->SetGraphic(g.get());
      return;
    } catch (const Exception&) {
    }
  }
  // Not decodable here: kept as read, written back unchanged.
  RawGraphicKind = kind;
  RawGraphic = std::move(bytes);
}
