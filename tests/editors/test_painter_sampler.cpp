// A sampler of every painter, one picture each, saved under screenshots/ for a person to look
// at: buttons in their five states, arrows, scroll-bar parts, check boxes, expand buttons,
// headers with sort marks, footers, filter buttons, tabs and a splitter. The themed painter
// draws through the test theme, so its parts are flat colours.
#include "ThemeFixture.h"

#include "core/FileUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "gui/Graphics.h"

#include <sys/stat.h>

namespace {

void Sample(const TcxCustomLookAndFeelPainter* P, const char* Name) {
  TBitmap bmp;
  bmp.SetSize(300, 170);
  TcxCanvas c(bmp.Canvas());
  c.UseBrushColor(clBtnFace);
  c.FillArea(Rect(0, 0, 300, 170));
  c.Font()->SetHeight(-12);
  static const char* const kCaptions[5] = {"默认", "Normal", "Hot", "按下", "Off"};
  for (int s = 0; s < 5; ++s) {
    c.Font()->SetColor(clBtnText);
    P->PaintButton(&c, Bounds(4 + s * 58, 4, 54, 23), kCaptions[s], TcxPainterButtonState(s));
  }
  for (int s = 1; s < 5; ++s) {
    const TcxPainterButtonState st = TcxPainterButtonState(s);
    P->PaintScrollBarArea(&c, false, Bounds(4 + (s - 1) * 20, 32, 17, 17), sbaStartArrow, st);
    P->PaintScrollBarArea(&c, false, Bounds(4 + (s - 1) * 20, 52, 17, 17), sbaThumb, st);
    P->PaintScrollBarArea(&c, false, Bounds(4 + (s - 1) * 20, 72, 17, 17), sbaEndPage, st);
    P->PaintScrollBarArea(&c, true, Bounds(4 + (s - 1) * 20, 92, 17, 17), sbaEndArrow, st);
    P->PaintCheckBox(&c, Bounds(90 + (s - 1) * 17, 34, 13, 13), st, s % 2 == 1);
    P->PaintRadioButton(&c, 150 + (s - 1) * 17, 145, st, s % 2 == 1, false, clcxDefault);
  }
  P->PaintExpandButton(&c, Bounds(160, 34, 11, 11), false, clcxDefault);
  c.ApplyClipRegion(new TcxRegion(0, 0, 300, 170));
  P->PaintExpandButton(&c, Bounds(176, 34, 11, 11), true, clcxDefault);
  c.ApplyClipRegion(new TcxRegion(0, 0, 300, 170));
  P->PaintBorder(&c, Bounds(196, 32, 40, 20));
  P->DrawArrow(&c, Bounds(244, 32, 16, 16), padLeft, clBtnText);
  P->PaintFilterDropDownButton(&c, Bounds(264, 32, 15, 18), pbsNormal, false);
  const String heads[3] = {"合同编号", "名称", "金额"};
  for (int i = 0; i < 3; ++i) {
    const TRect r = Bounds(90 + i * 66, 56, 66, 20);
    const int neighbours = (i > 0 ? nLeft : 0) | (i < 2 ? nRight : 0);
    P->PaintHeader(&c, r, Rect(r.Left + 3, r.Top, r.Right - 14, r.Bottom), neighbours, P->HeaderFrameSides(neighbours),
                   i == 1 ? pbsHot : pbsNormal, taLeftJustify, vaCenter, false, true, heads[i], nullptr, clBtnText,
                   clBtnFace, nullptr, i == 2);
    P->PaintSortMark(&c, Rect(r.Right - 14, r.Top, r.Right - 2, r.Bottom), i != 2);
  }
  c.UseBrushColor(clBtnFace);
  P->PaintFooterFrame(&c, Bounds(90, 80, 198, 24));
  P->PaintFooterCell(&c, Bounds(94, 83, 90, 18), taRightJustify, vaCenter, false, "1,234.50", nullptr, clBtnText,
                     clBtnFace, nullptr);
  P->PaintFooterCell(&c, Bounds(190, 83, 90, 18), taRightJustify, vaCenter, false, "合计", nullptr, clBtnText,
                     clBtnFace, nullptr);
  P->PaintTabsRoot(&c, Bounds(4, 130, 200, 36), nAll, false);
  P->PaintTab(&c, Bounds(6, 112, 60, 20), nAll, "合同", pbsPressed, false, nullptr, clBtnText, clBtnFace, false);
  P->PaintTab(&c, Bounds(68, 114, 60, 18), nAll, "项目", pbsNormal, false, nullptr, clBtnText, clBtnFace, false);
  P->PaintTabFrame(&c, Bounds(6, 112, 1, 20), nLeft, nAll, false);
  P->PaintTabFrame(&c, Bounds(6, 112, 60, 1), nTop, nAll, false);
  TcxViewParams params;
  params.Color = clBtnFace;
  P->PaintSplitter(&c, Bounds(212, 112, 6, 54), params, false);
  P->PaintGroupExpandButton(&c, Bounds(230, 112, 20, 20), true, pbsNormal);
  P->PaintFilterCloseButton(&c, Bounds(256, 112, 16, 15), pbsNormal);
  P->PaintIndicatorCell(&c, Bounds(230, 140, 20, 20), 1, clBtnFace, nullptr);
  mkdir("screenshots", 0755);
  bmp.SaveToFile(String("screenshots/painter_") + Name + ".bmp");
}

TEST(PainterSampler, ClassicAndOffice11) {
  AcquireOffice11Scheme();
  Sample(TcxStandardLookAndFeelPainter::Instance(), "standard");
  Sample(TcxFlatLookAndFeelPainter::Instance(), "flat");
  Sample(TcxUltraFlatLookAndFeelPainter::Instance(), "ultraflat");
  Sample(TcxOffice11LookAndFeelPainter::Instance(), "office11");
  ReleaseOffice11Scheme();
  EXPECT_TRUE(FileExists("screenshots/painter_office11.bmp"));
}

using ThemedSampler = ThemeFixture;

TEST_F(ThemedSampler, Themed) {
  Sample(TcxWinXPLookAndFeelPainter::Instance(), "themed");
  EXPECT_TRUE(FileExists("screenshots/painter_themed.bmp"));
}

}  // namespace
