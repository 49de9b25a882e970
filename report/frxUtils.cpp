#include "report/frxUtils.h"

#include "core/FileUtils.h"
#include "core/FloatFormat.h"
#include "core/Format.h"
#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/GdiDraw.h"
#include "gui/GdiDC.h"
#include "gui/Graphics.h"
#include "gui/ImgList.h"
#include "gui/Pictures.h"

#include <cassert>
#include <cmath>

TfrxRect MakeFloatRect(Extended Left, Extended Top, Extended Right, Extended Bottom) {
  return {Left, Top, Right, Bottom};
}

TfrxPoint MakeFloatPoint(Extended X, Extended Y) { return {X, Y}; }

// ---------------------------------------------------------------- pieces

void SplitToStrings(const String& Text, TStrings* List, char Separator) {
  List->Clear();
  int pos = 1;
  while (pos <= static_cast<int>(Text.size())) List->Add(NextSeparatedPiece(Text, pos, Separator));
}

String NextSeparatedPiece(const String& Text, int& Pos, char Separator) {
  std::size_t from = static_cast<std::size_t>(Pos - 1);
  std::size_t sep = Text.find(Separator, from);
  if (sep == String::npos) sep = Text.size();
  Pos = static_cast<int>(sep) + 2;
  return Text.substr(from, sep - from);
}

// ---------------------------------------------------------------- hexadecimal

String StreamToHex(TMemoryStream* Stream) {
  static const char kDigits[] = "0123456789ABCDEF";
  const auto* p = static_cast<const Byte*>(Stream->Memory());
  String out;
  out.reserve(static_cast<std::size_t>(Stream->Size()) * 2);
  for (Int64 i = 0; i < Stream->Size(); ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  Stream->SetPosition(0);
  return out;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

void HexToStream(const String& Text, TStream* Stream) {
  String bytes;
  for (std::size_t i = 0; i + 1 < Text.size(); i += 2) {
    int hi = HexDigit(Text[i]), lo = HexDigit(Text[i + 1]);
    if (hi < 0 || lo < 0) break;
    bytes += static_cast<char>(hi << 4 | lo);
  }
  Stream->SetPosition(0);
  Stream->WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
}

// ---------------------------------------------------------------- numbers

Extended StrToFloatAnySep(const String& Text) {
  const char sep = FormatSettings().DecimalSeparator;
  String s;
  s.reserve(Text.size());
  for (char c : Text) {
    if (c == ' ') continue;
    s += c == ',' || c == '.' ? sep : c;
  }
  return StrToFloat(s);
}

String FloatToTextTwoDecimals(Extended Value) {
  if (std::isfinite(static_cast<double>(Value)) && std::floor(Value) == Value) return FloatToStr(Value);
  return Format("%2.2f", {Value});
}

// ---------------------------------------------------------------- bracketed expressions

namespace {
// The scan on any string of characters; positions 1-based.
template <class S> void Scan(const S& Text, const S& Open, const S& Close, int& Start, int& End, S& Expr) {
  Expr.clear();
  End = Start;
  const int n = static_cast<int>(Text.size());
  if (n == 0 || n < Start || Start < 1) return;
  // Tags are mostly one character: compared as such, without a string comparison per position.
  auto at = [&](int p, const S& tag) {
    if (tag.size() == 1) return Text[static_cast<std::size_t>(p - 1)] == tag[0];
    return Text.compare(static_cast<std::size_t>(p - 1), tag.size(), tag) == 0;
  };
  bool outDouble = true, outSingle = true;
  int depth = 0;
  int p = Start;
  for (;;) {
    if (outDouble && outSingle) {
      if (at(p, Open)) {
        if (depth == 0) Start = p;
        ++depth;
      } else if (at(p, Close)) {
        --depth;
      }
    }
    if (Text[static_cast<std::size_t>(p - 1)] == '"' && outSingle) outDouble = !outDouble;
    else if (Text[static_cast<std::size_t>(p - 1)] == '\'' && outDouble) outSingle = !outSingle;
    if (depth == 0 || p >= n) break;
    ++p;
  }
  End = p;
  const int open = static_cast<int>(Open.size());
  if (depth != 0) {
    // Unclosed: the expression is the rest of the text and ends with it.
    Expr = Text.substr(static_cast<std::size_t>(Start - 1 + open));
    End = n;
    return;
  }
  int len = End - Start - open;
  if (len > 0) Expr = Text.substr(static_cast<std::size_t>(Start - 1 + open), static_cast<std::size_t>(len));
  if (End != Start) End = std::min(n, End + static_cast<int>(Close.size()) - 1);
}
}  // namespace

void ScanBracketedExpression(const String& Text, const String& OpenTag, const String& CloseTag, int& Start,
                             int& End, String& Expression) {
  // By character, so that no byte of a multi-byte character is taken for a tag or a quote.
  std::u32string expr;
  Scan(Utf8ToUtf32(Text), Utf8ToUtf32(OpenTag), Utf8ToUtf32(CloseTag), Start, End, expr);
  Expression = Utf32ToUtf8(expr);
}

void ScanBracketedExpressionAscii(const String& Text, const String& OpenTag, const String& CloseTag, int& Start,
                                  int& End, String& Expression) {
  Scan(Text, OpenTag, CloseTag, Start, End, Expression);
}

void ScanBracketedExpressionW(const WideString& Text, const WideString& OpenTag, const WideString& CloseTag,
                              int& Start, int& End, WideString& Expression) {
  Scan(Text, OpenTag, CloseTag, Start, End, Expression);
}

// ---------------------------------------------------------------- pictures

namespace {
// The cell at (X, Y) of the strip as a bitmap of its own.
void CopyCell(TBitmap* Strip, int X, int Y, int W, int H, TBitmap* Cell) {
  Cell->SetPixelFormat(pf32bit);
  Cell->SetSize(W, H);
  for (int row = 0; row < H && Y + row < Strip->Height(); ++row) {
    const Byte* from = Strip->ScanLine(Y + row);
    Byte* to = Cell->ScanLine(row);
    for (int col = 0; col < W && X + col < Strip->Width(); ++col)
      for (int k = 0; k < 4; ++k) to[col * 4 + k] = from[(X + col) * 4 + k];
  }
  Cell->ImageChanged();
}

void WhiteToGrey(TBitmap* Cell) {
  for (int row = 0; row < Cell->Height(); ++row) {
    Byte* p = Cell->ScanLine(row);
    for (int col = 0; col < Cell->Width(); ++col, p += 4)
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) p[0] = p[1] = p[2] = 224;
  }
  Cell->ImageChanged();
}

void AddCell(TCustomImageList* List, TBitmap* Cell) {
  List->AddMasked(Cell, Cell->Canvas()->Pixels(0, Cell->Height() - 1));
}
}  // namespace

void AddStripToImageList(TBitmap* Strip, int W, int H, TCustomImageList* Main, TCustomImageList* Second) {
  assert(W > 0 && H > 0);
  TBitmap cell;
  for (int y = 0; y < Strip->Height(); y += H) {
    for (int x = 0; x < Strip->Width(); x += W) {
      CopyCell(Strip, x, y, W, H, &cell);
      AddCell(Main, &cell);
      if (Second) {
        x += W;
        CopyCell(Strip, x, y, W, H, &cell);
        WhiteToGrey(&cell);
        AddCell(Second, &cell);
      }
    }
  }
}

void DrawGlyphTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return;
  TransparentBlt(Canvas->Handle(), X, Y, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas()->Handle(), 0, 0,
                 Bitmap->Width(), Bitmap->Height(), ColorToRGB(Bitmap->TransparentColor()));
}

void StretchBitmapHalftone(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap) {
  HDC dc = Canvas->Handle();
  int old = SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, Bitmap->Canvas()->Handle(), 0, 0,
             Bitmap->Width(), Bitmap->Height(), SRCCOPY);
  SetStretchBltMode(dc, old);
}

void DrawGraphicStretched(TCanvas* Canvas, const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  if (Graphic->ClassName() == "TMetafile") {
    Canvas->StretchDraw(Rect, Graphic);
    return;
  }
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(Graphic->Width(), Graphic->Height());
  bitmap.Canvas()->Draw(0, 0, Graphic);
  StretchBitmapHalftone(Canvas, Rect, &bitmap);
}

// ---------------------------------------------------------------- files and pages

String TempFileNameIn(const String& Folder) { return CreateTempFileName("fr", Folder); }

String ModuleFileName() { return ParamStr(0); }

void ParsePageRanges(const String& Text, TStrings* List, int PageCount) {
  List->Clear();
  String s;
  for (char c : Text)
    if (c != ' ') s += c;
  if (s.empty()) return;
  if (s.back() == '-') s += IntToStr(PageCount);
  s += ',';
  auto add = [&](int from, int to) {
    for (int p = std::max(from, 1); p <= std::min(to, PageCount); ++p) List->Add(IntToStr(p));
  };
  String number;
  int rangeStart = 0;
  bool inRange = false;
  for (char c : s) {
    if (c == '-') {
      rangeStart = StrToInt(number);
      inRange = true;
      number.clear();
    } else if (c == ',') {
      int n = StrToInt(number);
      if (inRange) add(rangeStart, n);
      else add(n, n);
      inRange = false;
      number.clear();
    } else {
      number += c;
    }
  }
}
