// Image lists (masked adding, normal, mask, selected and disabled drawing, streaming), the
// canvas on the toolkit's own surfaces, device-independent pixel access and Frame3D.
#include "CanvasProbe.h"
#include "gui/ImgList.h"
#include "gui/Graphics_p.h"
#include <QImage>
#include <QPainter>

namespace {

constexpr COLORREF White = 0xFFFFFF, Black = 0, Red = RGB(255, 0, 0);

// Two 16 x 16 images side by side on a fuchsia background: a black square (4..11) in the
// first, a blue one in the second.
void Strip(TBitmap& b) {
  b.SetSize(32, 16);
  b.Canvas()->Brush()->SetColor(clFuchsia);
  b.Canvas()->FillRect(Rect(0, 0, 32, 16));
  b.Canvas()->Brush()->SetColor(clBlack);
  b.Canvas()->FillRect(Rect(4, 4, 12, 12));
  b.Canvas()->Brush()->SetColor(clBlue);
  b.Canvas()->FillRect(Rect(20, 4, 28, 12));
}

}  // namespace

using ImageLists = CanvasProbe;

TEST_F(ImageLists, AddMaskedSplitsAStripAndMasksTheColour) {
  TImageList list(nullptr);
  TBitmap strip;
  Strip(strip);
  int changes = 0;
  TChangeLink link;
  link.SetOnChange(TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  }));
  list.RegisterChanges(&link);
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(changes, 1);
  Fill(Rect(0, 0, 120, 80), clRed);
  list.Draw(C(), 0, 0, 0);
  list.Draw(C(), 40, 0, 1);
  EXPECT_EQ(Px(0, 0), Red);  // masked
  EXPECT_EQ(Px(5, 5), Black);
  EXPECT_EQ(Px(45, 5), RGB(0, 0, 255));
  EXPECT_EQ(Px(15, 15), Red);
  list.Draw(C(), 60, 0, 5);  // a missing image draws nothing
  EXPECT_EQ(Px(65, 5), Red);

  // clDefault takes the lower-left pixel of the bitmap as the mask colour.
  EXPECT_EQ(list.AddMasked(&strip, clDefault), 2);
  list.Draw(C(), 0, 40, 3);
  EXPECT_EQ(Px(0, 40), Red);
  EXPECT_EQ(Px(5, 45), RGB(0, 0, 255));
  list.UnRegisterChanges(&link);
  list.Delete(0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_THROW(list.Delete(7), EInvalidOperation);
}

TEST_F(ImageLists, DisabledImagesShowAHighlightUnderAShadow) {
  TImageList list(nullptr);
  TBitmap strip;
  Strip(strip);
  list.AddMasked(&strip, clFuchsia);
  Fill(Rect(0, 0, 120, 80), clRed);
  list.Draw(C(), 20, 20, 0, false);
  // The square (24..31, 24..31) in the shadow colour, its copy one pixel down and right in
  // the highlight colour showing along the far edges, the rest untouched.
  EXPECT_EQ(Px(24, 24), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(31, 31), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Px(32, 32), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Px(32, 25), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(Px(24, 32), Red);  // the highlight starts one pixel in
  EXPECT_EQ(Px(21, 21), Red);
  EXPECT_EQ(Px(23, 24), Red);
}

TEST_F(ImageLists, MasksSelectionBackgroundAndCopies) {
  TImageList list(nullptr);
  TBitmap strip, mask;
  Strip(strip);
  // An explicit mask: white is transparent; only the left half of each image is opaque.
  mask.SetSize(32, 16);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 8, 16));
  mask.Canvas()->FillRect(Rect(16, 0, 24, 16));
  mask.SetMonochrome(true);
  list.Add(&strip, &mask);
  Fill(Rect(0, 0, 120, 80), clRed);
  list.Draw(C(), 0, 0, 0);
  EXPECT_EQ(Px(1, 1), RGB(255, 0, 255));  // opaque, even the fuchsia
  EXPECT_EQ(Px(6, 6), Black);
  EXPECT_EQ(Px(10, 6), Red);  // transparent half

  list.Draw(C(), 40, 0, 0, dsNormal, itMask);
  EXPECT_EQ(Px(41, 1), Black);
  EXPECT_EQ(Px(50, 1), White);

  list.Draw(C(), 60, 0, 1, dsSelected, itImage);
  COLORREF blended = Px(66, 6);  // blue mixed half and half with the highlight colour
  COLORREF hl = Sys(COLOR_HIGHLIGHT);
  EXPECT_NEAR(GetBValue(blended), (255 + GetBValue(hl)) / 2, 2);
  EXPECT_NEAR(GetRValue(blended), GetRValue(hl) / 2, 2);

  list.SetBkColor(clYellow);
  list.Draw(C(), 80, 0, 0);
  EXPECT_EQ(Px(90, 6), RGB(255, 255, 0));  // the background fills transparent parts

  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(1, &copy));
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_EQ(copy.Canvas()->Pixels(6, 6), clBlue);
  EXPECT_EQ(copy.Canvas()->Pixels(12, 6), clYellow);
  EXPECT_FALSE(list.GetBitmap(2, &copy));
  list.SetWidth(24);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageLists, StreamedImagesRoundTrip) {
  TImageList list(nullptr);
  TBitmap strip;
  Strip(strip);
  for (int i = 0; i < 3; ++i) list.AddMasked(&strip, clFuchsia);  // 6 images: two rows of the stream
  TMemoryStream m;
  list.WriteData(&m);
  const auto* bytes = static_cast<const Byte*>(m.Memory());
  EXPECT_EQ(bytes[0], 'I');
  EXPECT_EQ(bytes[1], 'L');
  m.SetPosition(0);
  TImageList back(nullptr);
  back.ReadData(&m);
  ASSERT_EQ(back.Count(), 6);
  EXPECT_EQ(back.Width(), 16);
  Fill(Rect(0, 0, 120, 80), clRed);
  back.Draw(C(), 0, 0, 5);
  back.Draw(C(), 20, 0, 4);
  EXPECT_EQ(Px(0, 0), Red);
  EXPECT_EQ(Px(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(Px(25, 5), Black);
  TStringStream junk("XX not an image list");
  EXPECT_THROW(back.ReadData(&junk), EReadError);
  EXPECT_EQ(GetPropInfo(&back, "BkColor")->TypeName, "TColor");
}

TEST(QtCanvas, DrawsIntoImagesAndThroughPainters) {
  QImage img(40, 20, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    TCanvas canvas(CreateImageDC(&img));
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(5, 5, 10, 10));
    canvas.Pen()->SetMode(pmXor);
    canvas.Pen()->SetColor(clWhite);
    canvas.MoveTo(0, 15);
    canvas.LineTo(40, 15);
  }
  EXPECT_EQ(img.pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(img.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(img.pixel(3, 15), qRgb(0, 0, 0));  // raster operations work on images

  QImage target(40, 20, QImage::Format_RGB32);
  target.fill(Qt::white);
  QPainter painter(&target);
  painter.translate(10, 0);  // the painter's own transform stays the device's origin
  {
    TCanvas canvas(CreatePainterDC(&painter));
    canvas.Brush()->SetColor(clBlue);
    canvas.FillRect(Rect(0, 0, 5, 5));
    HRGN clip = CreateRectRgn(0, 0, 2, 2);
    SelectClipRgn(canvas.Handle(), clip);
    DeleteObject(clip);
    canvas.Brush()->SetColor(clLime);
    canvas.FillRect(Rect(0, 0, 5, 5));
  }
  painter.end();
  EXPECT_EQ(target.pixel(10, 0), qRgb(0, 255, 0));
  EXPECT_EQ(target.pixel(13, 3), qRgb(0, 0, 255));
  EXPECT_EQ(target.pixel(9, 0), qRgb(255, 255, 255));
}

TEST(QtCanvas, CanvasWithoutADeviceRefusesToDraw) {
  TCanvas canvas;
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  canvas.SetHandle(GetScreenDC());
  EXPECT_GT(canvas.TextWidth("abc"), 0);
  canvas.SetHandle(nullptr);  // the screen context is not the canvas's to free
  TSize size;
  EXPECT_TRUE(GetTextExtentPoint32(GetScreenDC(), "a", -1, &size));
  EXPECT_GT(size.cx, 0);
}

TEST_F(ImageLists, DeviceIndependentPixelsRoundTrip) {
  // A 3 x 2 bitmap read as top-down 32-bit rows, turned a quarter left and written back:
  // the new top-left pixel is the old top-right one.
  TBitmap b;
  b.SetSize(3, 2);
  const TColor colours[2][3] = {{clRed, clLime, clBlue}, {clYellow, clAqua, clFuchsia}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) b.Canvas()->SetPixels(x, y, colours[y][x]);
  BITMAPINFO info;
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = -2;
  std::uint32_t px[6] = {};
  HDC dc = b.Canvas()->Handle();
  ASSERT_EQ(GetDIBits(dc, b.Handle(), 0, 2, px, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(px[2], 0x000000FFu);  // blue as B, G, R, 0 in memory
  std::uint32_t turned[6];
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) turned[(3 - 1 - c) * 2 + r] = px[r * 3 + c];
  b.SetSize(2, 3);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -3;
  ASSERT_EQ(SetDIBits(dc, b.Handle(), 0, 3, turned, &info, DIB_RGB_COLORS), 3);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
  EXPECT_EQ(b.Canvas()->Pixels(1, 0), clFuchsia);
  EXPECT_EQ(b.Canvas()->Pixels(0, 2), clRed);
  // Bottom-up rows count from the last one.
  info.bmiHeader.biHeight = 3;
  ASSERT_EQ(GetDIBits(dc, b.Handle(), 0, 1, px, &info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(px[0], 0x00FF0000u);  // red, the bottom-left pixel
}

TEST_F(ImageLists, Frame3DDrawsRingsAndShrinksTheRectangle) {
  TRect r = Rect(10, 10, 30, 30);
  Frame3D(C(), r, clRed, clBlue, 2);
  EXPECT_EQ(r, Rect(12, 12, 28, 28));
  EXPECT_EQ(Px(10, 10), Red);
  EXPECT_EQ(Px(28, 10), Red);
  EXPECT_EQ(Px(29, 10), RGB(0, 0, 255));  // the top-right corner is the bottom colour's
  EXPECT_EQ(Px(10, 29), RGB(0, 0, 255));
  EXPECT_EQ(Px(29, 29), RGB(0, 0, 255));
  EXPECT_EQ(Px(11, 11), Red);
  EXPECT_EQ(Px(28, 28), RGB(0, 0, 255));
  EXPECT_EQ(Px(12, 12), White);
  EXPECT_EQ(Px(30, 30), White);
}
