// Bitmaps (pixel rows, BMP files, transparency), JPEG pictures through libjpeg, icons,
// foreign metafiles and TPicture's choice of class.
#include "CanvasProbe.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include <cstdio>
#include <cstring>

namespace {

// A bitmap with distinct colours at known places: four quadrants and a diagonal.
void Paint(TBitmap& b, int w, int h) {
  b.SetSize(w, h);
  TCanvas* c = b.Canvas();
  const TColor quads[] = {clRed, clLime, clBlue, clYellow};
  for (int i = 0; i < 4; ++i) {
    c->Brush()->SetColor(quads[i]);
    c->FillRect(Rect(i % 2 ? w / 2 : 0, i / 2 ? h / 2 : 0, i % 2 ? w : w / 2, i / 2 ? h : h / 2));
  }
  for (int i = 0; i < std::min(w, h); ++i) c->SetPixels(i, i, TColor(0x404080));
}

COLORREF At(TBitmap& b, int x, int y) {
  const Byte* p = b.ScanLine(y) + x * 4;
  return RGB(p[2], p[1], p[0]);
}

TBytes Bytes(TMemoryStream& m) {
  const auto* p = static_cast<const Byte*>(m.Memory());
  return TBytes(p, p + m.Size());
}

int Diff(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

}  // namespace

TEST(Bitmaps, ScanLinesAreTopDownRowsOfBlueGreenRedAlpha) {
  TBitmap b;
  b.SetSize(4, 3);
  b.Canvas()->SetPixels(1, 2, TColor(RGB(0x11, 0x22, 0x33)));
  const Byte* row = b.ScanLine(2);
  EXPECT_EQ(row[4], 0x33);
  EXPECT_EQ(row[5], 0x22);
  EXPECT_EQ(row[6], 0x11);
  // Writing through a row shows on the canvas.
  Byte* top = b.ScanLine(0);
  top[0] = 0xFF;
  top[1] = 0;
  top[2] = 0;
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_THROW(b.ScanLine(3), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(Bitmaps, ResizingKeepsTheOverlapAndAddsWhite) {
  TBitmap b;
  Paint(b, 10, 10);
  b.SetSize(20, 5);
  EXPECT_EQ(b.Width(), 20);
  EXPECT_EQ(b.Height(), 5);
  EXPECT_EQ(At(b, 0, 1), RGB(255, 0, 0));
  EXPECT_EQ(At(b, 9, 1), RGB(0, 255, 0));
  EXPECT_EQ(At(b, 15, 1), 0xFFFFFFu);
  b.SetWidth(0);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmaps, ASideSetWhileTheOtherIsZeroIsKept) {
  for (bool widthFirst : {true, false}) {
    TBitmap b;
    if (widthFirst) b.SetWidth(10);
    else b.SetHeight(6);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), widthFirst ? 10 : 0);
    EXPECT_EQ(b.Height(), widthFirst ? 0 : 6);
    TBitmap copy;
    copy.Assign(&b);
    EXPECT_EQ(copy.Width(), b.Width());
    if (widthFirst) b.SetHeight(6);
    else b.SetWidth(10);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 6);
    b.Canvas()->SetPixels(9, 5, clRed);
    EXPECT_EQ(b.Canvas()->Pixels(9, 5), clRed);
  }
}

TEST(Bitmaps, BmpRoundTripInEachWrittenDepth) {
  struct Row {
    TPixelFormat Format;
    int Bits;
  };
  for (const Row& r : {Row{pf24bit, 24}, Row{pf32bit, 32}, Row{pfDevice, 24}, Row{pf1bit, 1}}) {
    SCOPED_TRACE(r.Bits);
    TBitmap b;
    Paint(b, 13, 7);  // odd width: rows are padded
    b.SetPixelFormat(r.Format);
    TMemoryStream m;
    b.SaveToStream(&m);
    TBytes bytes = Bytes(m);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[28], r.Bits);
    EXPECT_EQ(std::uint32_t(bytes[2] | bytes[3] << 8 | bytes[4] << 16), bytes.size());
    m.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(&m);
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 7);
    EXPECT_EQ(back.Monochrome(), r.Format == pf1bit);
    for (TPoint p : {Point(0, 0), Point(12, 0), Point(0, 6), Point(12, 6), Point(3, 3), Point(9, 5)}) {
      SCOPED_TRACE(p.X * 100 + p.Y);
      EXPECT_EQ(At(back, p.X, p.Y), At(b, p.X, p.Y));
    }
  }
}

TEST(Bitmaps, BmpFilesAndStreamedData) {
  TBitmap b;
  Paint(b, 8, 8);
  String file = IncludeTrailingPathDelimiter(GetTempDir()) + "kelm_canvas_test.bmp";
  b.SaveToFile(file);
  TBitmap back;
  back.LoadFromFile(file);
  EXPECT_EQ(At(back, 7, 7), At(b, 7, 7));
  std::remove(file.c_str());

  // The streamed form is a size and a BMP file; reading stops after it.
  TMemoryStream m;
  b.WriteData(&m);
  Byte tail = 0x5A;
  m.WriteBuffer(&tail, 1);
  m.SetPosition(0);
  TBitmap data;
  data.ReadData(&m);
  EXPECT_EQ(At(data, 1, 6), At(b, 1, 6));
  Byte next = 0;
  m.ReadBuffer(&next, 1);
  EXPECT_EQ(next, 0x5A);

  TStringStream junk("not a bitmap at all");
  EXPECT_THROW(back.LoadFromStream(&junk), EInvalidGraphic);
}

TEST(Bitmaps, TransparentColourAndTransparentDrawing) {
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas()->Brush()->SetColor(clFuchsia);
  b.Canvas()->FillRect(Rect(0, 0, 10, 10));
  b.Canvas()->Brush()->SetColor(clNavy);
  b.Canvas()->FillRect(Rect(3, 3, 7, 7));
  EXPECT_EQ(b.TransparentMode(), tmAuto);
  EXPECT_EQ(b.TransparentColor(), clFuchsia);  // the lower-left pixel
  b.SetTransparentColor(clNavy);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  EXPECT_EQ(b.TransparentColor(), clNavy);
  b.SetTransparentMode(tmAuto);
  EXPECT_EQ(b.TransparentColor(), clFuchsia);

  TBitmap target;
  target.SetSize(30, 30);
  target.Canvas()->Brush()->SetColor(clLime);
  target.Canvas()->FillRect(Rect(0, 0, 30, 30));
  target.Canvas()->Draw(0, 0, &b);
  EXPECT_EQ(At(target, 1, 1), RGB(255, 0, 255));
  b.SetTransparent(true);
  target.Canvas()->Draw(10, 10, &b);
  EXPECT_EQ(At(target, 11, 11), RGB(0, 255, 0));  // the transparent colour lets the canvas show
  EXPECT_EQ(At(target, 15, 15), RGB(0, 0, 0x80));
  target.Canvas()->StretchDraw(Rect(0, 20, 20, 30), &b);
  EXPECT_EQ(At(target, 10, 25), RGB(0, 0, 0x80));
  EXPECT_EQ(At(target, 1, 21), RGB(0, 255, 0));
}

TEST(Bitmaps, BrushCopyReplacesAColourWithTheBrush) {
  TBitmap b, target;
  Paint(b, 10, 10);
  target.SetSize(10, 10);
  target.Canvas()->Brush()->SetColor(clAqua);
  target.Canvas()->BrushCopy(Rect(0, 0, 10, 10), &b, Rect(0, 0, 10, 10), clRed);
  EXPECT_EQ(At(target, 1, 3), RGB(0, 255, 255));  // red quadrant shows the brush
  EXPECT_EQ(At(target, 8, 3), RGB(0, 255, 0));
}

TEST(Bitmaps, AssignCopiesIndependently) {
  TBitmap a, b;
  Paint(a, 6, 6);
  a.SetTransparent(true);
  b.Assign(&a);
  EXPECT_TRUE(b.Transparent());
  a.Canvas()->SetPixels(1, 0, clBlack);
  EXPECT_EQ(At(b, 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(At(a, 1, 0), 0u);
  b.Assign(nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Jpeg, EncodeAndDecodeRoundTripApproximately) {
  TBitmap src;
  Paint(src, 64, 48);
  TJPEGImage jpeg;
  jpeg.Assign(&src);
  jpeg.SetCompressionQuality(95);
  TMemoryStream m;
  jpeg.SaveToStream(&m);
  TBytes bytes = Bytes(m);
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);

  m.SetPosition(0);
  TJPEGImage back;
  back.LoadFromStream(&m);
  EXPECT_EQ(back.Width(), 64);
  EXPECT_EQ(back.Height(), 48);
  TBitmap decoded;
  decoded.Assign(&back);  // decodes through libjpeg
  ASSERT_EQ(decoded.Width(), 64);
  for (TPoint p : {Point(20, 8), Point(56, 8), Point(8, 40), Point(56, 30)}) {
    SCOPED_TRACE(p.X * 100 + p.Y);
    EXPECT_LE(Diff(At(decoded, p.X, p.Y), At(src, p.X, p.Y)), 12);
  }
  // Lower quality gives fewer bytes.
  TJPEGImage coarse;
  coarse.Assign(&src);
  coarse.SetCompressionQuality(10);
  TMemoryStream small;
  coarse.SaveToStream(&small);
  EXPECT_LT(small.Size(), m.Size());
  // A half-scale decode halves the size.
  back.SetScale(jsHalf);
  EXPECT_EQ(back.Bitmap()->Width(), 32);
}

TEST(Jpeg, DamagedDataIsRefused) {
  TStringStream junk("\xFF\xD8 definitely not a JPEG stream");
  TJPEGImage jpeg;
  EXPECT_THROW(jpeg.LoadFromStream(&junk), EInvalidGraphic);
  TStringStream empty;
  EXPECT_THROW(jpeg.LoadFromStream(&empty), EInvalidGraphic);
  EXPECT_TRUE(jpeg.Empty());
}

TEST(Pictures, ContentDecidesTheClass) {
  TBitmap b;
  Paint(b, 4, 4);
  TMemoryStream bmp;
  b.SaveToStream(&bmp);
  TJPEGImage j;
  j.Assign(&b);
  TMemoryStream jpg;
  j.SaveToStream(&jpg);

  // A placeable WMF header: key, handle, box (0, 0, 1440, 720), 1440 units per inch.
  TBytes wmf(22 + 18, 0);
  const Byte placeable[] = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0xA0, 0x05, 0xD0, 0x02, 0xA0, 0x05};
  std::memcpy(wmf.data(), placeable, sizeof placeable);
  wmf[22] = 1;
  wmf[24] = 9;
  // An EMF header: record type 1, frame (0, 0, 2540, 1270) in 0.01 mm, " EMF" at byte 40.
  TBytes emf(88, 0);
  emf[0] = 1;
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) emf[at + std::size_t(i)] = Byte(v >> (8 * i));
  };
  put(32, 2540);
  put(36, 1270);
  std::memcpy(emf.data() + 40, " EMF", 4);

  struct Row {
    TStream* Data;
    TClass Class;
    int Width, Height;
  };
  TBytesStream wmfStream(wmf), emfStream(emf);
  const Row rows[] = {
      {&bmp, TBitmap::StaticClass(), 4, 4},
      {&jpg, TJPEGImage::StaticClass(), 4, 4},
      {&wmfStream, TForeignMetafile::StaticClass(), 96, 48},
      {&emfStream, TForeignMetafile::StaticClass(), 96, 48},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Class->Name());
    r.Data->SetPosition(0);
    TPicture pic;
    pic.LoadFromStream(r.Data);
    ASSERT_NE(pic.Graphic(), nullptr);
    EXPECT_EQ(pic.Graphic()->ClassType(), r.Class);
    EXPECT_EQ(pic.Width(), r.Width);
    EXPECT_EQ(pic.Height(), r.Height);
  }
  TPicture pic;
  emfStream.SetPosition(0);
  pic.LoadFromStream(&emfStream);
  EXPECT_TRUE(static_cast<TForeignMetafile*>(pic.Graphic())->Enhanced());
  // A foreign metafile is saved back byte for byte.
  TMemoryStream out;
  pic.SaveToStream(&out);
  EXPECT_EQ(Bytes(out), emf);
  TStringStream junk("GIF89a....");
  EXPECT_THROW(pic.LoadFromStream(&junk), EInvalidGraphic);

  // Drawn, the placeholder frames its rectangle.
  TBitmap canvas;
  canvas.SetSize(40, 40);
  canvas.Canvas()->StretchDraw(Rect(5, 5, 35, 35), pic.Graphic());
  EXPECT_NE(At(canvas, 5, 20), 0xFFFFFFu);
  EXPECT_NE(At(canvas, 20, 20), 0xFFFFFFu);  // the cross
  EXPECT_EQ(At(canvas, 2, 2), 0xFFFFFFu);
}

TEST(Pictures, FilesByExtensionAndStreamedForm) {
  TBitmap b;
  Paint(b, 6, 4);
  String dir = IncludeTrailingPathDelimiter(GetTempDir());
  TJPEGImage j;
  j.Assign(&b);
  j.SaveToFile(dir + "kelm_canvas_test.jpg");
  TPicture pic;
  pic.LoadFromFile(dir + "kelm_canvas_test.jpg");
  EXPECT_EQ(pic.Graphic()->ClassType(), TJPEGImage::StaticClass());
  EXPECT_EQ(pic.Width(), 6);
  std::remove((dir + "kelm_canvas_test.jpg").c_str());
  try {
    pic.LoadFromFile(dir + "picture.xyz");
    FAIL() << "an unknown extension must be refused";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  // Asking for the bitmap of a JPEG picture replaces it with an empty bitmap.
  pic.Bitmap();
  EXPECT_EQ(pic.Graphic()->ClassType(), TBitmap::StaticClass());
  EXPECT_TRUE(pic.Graphic()->Empty());

  pic.SetGraphic(&b);
  TMemoryStream m;
  pic.WriteData(&m);
  TBytes bytes = Bytes(m);
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(String(bytes.begin() + 1, bytes.begin() + 8), "TBitmap");
  m.SetPosition(0);
  TPicture back;
  int changes = 0;
  back.SetOnChange(TNotifyEvent::Lambda([&](TObject*) { ++changes; }));
  back.ReadData(&m);
  EXPECT_EQ(back.Width(), 6);
  EXPECT_EQ(At(*back.Bitmap(), 5, 3), At(b, 5, 3));
  EXPECT_GE(changes, 1);
}

TEST(Pictures, IconsKeepTheirTransparency) {
  TIcon icon;
  icon.SetWidth(16);
  icon.SetHeight(16);
  TBitmap b;
  Paint(b, 16, 16);
  icon.Assign(&b);
  TMemoryStream m;
  icon.SaveToStream(&m);
  m.SetPosition(0);
  TPicture pic;
  pic.LoadFromStream(&m);
  ASSERT_EQ(pic.Graphic()->ClassType(), TIcon::StaticClass());
  EXPECT_EQ(pic.Width(), 16);
  TBitmap canvas;
  canvas.SetSize(20, 20);
  canvas.Canvas()->Draw(2, 2, pic.Graphic());
  EXPECT_EQ(At(canvas, 2, 3), RGB(255, 0, 0));
  EXPECT_EQ(At(canvas, 16, 17), RGB(255, 255, 0));
  EXPECT_EQ(At(canvas, 19, 19), 0xFFFFFFu);
}
