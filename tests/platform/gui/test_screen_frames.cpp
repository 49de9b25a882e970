// Focus frames drawn on the screen context go to the screen overlay; form translucency.
#include "GuiTestUtil.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/ScreenFrames.h"
#include "gui/Window.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
bool SameRect(const TRect& A, const TRect& B) {
  return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}
}  // namespace

TEST(ScreenFrames, AFrameDrawnTwiceOnTheScreenContextIsGoneAndOthersStay) {
  HDC dc = GetDC(0);
  ASSERT_TRUE(ScreenFocusRects().empty());
  const TRect a{10, 20, 110, 80}, b{12, 22, 108, 78};
  DrawFocusRect(dc, a);
  DrawFocusRect(dc, b);
  auto frames = ScreenFocusRects();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_TRUE(SameRect(frames[0], a));
  EXPECT_TRUE(SameRect(frames[1], b));
  EXPECT_TRUE(ScreenOverlayShown());
  DrawFocusRect(dc, a);  // XOR: drawn again, erased
  frames = ScreenFocusRects();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_TRUE(SameRect(frames[0], b));
  DrawFocusRect(dc, b);
  EXPECT_TRUE(ScreenFocusRects().empty());
  EXPECT_FALSE(ScreenOverlayShown());
  // An empty rectangle draws nothing.
  DrawFocusRect(dc, TRect{5, 5, 5, 40});
  EXPECT_TRUE(ScreenFocusRects().empty());
}

TEST(ScreenFrames, AFocusFrameOnAMemoryContextNeverReachesTheOverlay) {
  HDC mem = CreateCompatibleDC(GetDC(0));
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(0), 40, 40);
  HGDIOBJ old = SelectObject(mem, bmp);
  DrawFocusRect(mem, TRect{2, 2, 30, 30});
  EXPECT_TRUE(ScreenFocusRects().empty());
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST(FormTranslucency, AlphaBlendSetsTheOpacityAndTheTransparentColourIsKept) {
  auto form = std::make_unique<TForm>(nullptr);
  struct Case { bool blend; Byte value; double opacity; };
  const Case cases[] = {{false, 128, 1.0}, {true, 128, 128 / 255.0}, {true, 255, 1.0}, {true, 0, 0.0}};
  for (const Case& c : cases) {
    form->SetAlphaBlendValue(c.value);
    form->SetAlphaBlend(c.blend);
    EXPECT_NEAR(form->WindowOpacity(), c.opacity, 0.01) << int(c.value) << " " << c.blend;
  }
  form->SetTransparentColor(true);
  form->SetTransparentColorValue(clFuchsia);
  EXPECT_TRUE(form->TransparentColor());
  EXPECT_EQ(form->TransparentColorValue(), clFuchsia);
}
