// Dot-matrix reports: objects and pages snap to the character grid, the fixed font with its
// styles, the page's style passed to its objects, the frame through the neighbouring cells,
// and the difference text prepared pages keep.
#include "../platform/print/PrintTestUtil.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Graphics.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxPrinter.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

#include <gtest/gtest.h>

namespace {

struct DMPTest : ::testing::Test {
  TfrxReport Report{nullptr};
  TfrxDMPPage* Page = new TfrxDMPPage(&Report);
  TfrxMasterData* Band = [this] {
    auto* b = new TfrxMasterData(&Report);
    b->SetParent(Page);
    return b;
  }();
};

TEST_F(DMPTest, ObjectsSnapToTheCharacterGrid) {
  enum Prop { Left, Top, Width, Height };
  struct Case {
    const char* Kind;
    TfrxAlign Align;
    Prop What;
    Extended Value, Expected;
  };
  const Case cases[] = {
      {"text", baNone, Left, 100, 96},       {"text", baRight, Left, 100, 96},
      {"text", baNone, Left, 105, 105.6L},   {"text", baRight, Left, 105, 96},
      {"text", baNone, Top, 25.5L, 34},      // a half goes to the even cell: 1.5 to 2
      {"text", baNone, Top, 42.5L, 34},      // 2.5 to 2
      {"text", baNone, Top, 40, 34},         {"text", baNone, Height, 40, 34},
      {"text", baNone, Height, 43, 51},      {"text", baNone, Width, 100, 96},
      {"line", baNone, Left, 100, 100.8L},   {"line", baNone, Left, -5, -4.8L},
      {"line", baRight, Left, 105, 100.8L},  {"line", baNone, Top, 40, 42.5L},
      {"line", baNone, Width, 105, 105.6L},  {"line", baWidth, Width, 105, 96},
      {"command", baNone, Left, 105, 105.6L}, {"command", baNone, Top, 40, 34},
      {"command", baNone, Height, 43, 43},   // its size keeps what it is given
  };
  for (const Case& c : cases) {
    TfrxView* v = String(c.Kind) == "text"   ? static_cast<TfrxView*>(new TfrxDMPMemoView(&Report))
                  : String(c.Kind) == "line" ? static_cast<TfrxView*>(new TfrxDMPLineView(&Report))
                                             : static_cast<TfrxView*>(new TfrxDMPCommand(&Report));
    v->SetParent(Band);
    v->SetAlign(c.Align);
    switch (c.What) {
      case Left: v->SetLeft(c.Value); break;
      case Top: v->SetTop(c.Value); break;
      case Width: v->SetWidth(c.Value); break;
      case Height: v->SetHeight(c.Value); break;
    }
    Extended got = c.What == Left ? v->Left() : c.What == Top ? v->Top() : c.What == Width ? v->Width() : v->Height();
    EXPECT_NEAR(double(got), double(c.Expected), 1e-9) << c.Kind << " " << int(c.What) << " " << double(c.Value);
    delete v;
  }
}

TEST_F(DMPTest, APrinterPageBecomesWholeCellsWithMarginsOfOneCell) {
  // No printers at all: the virtual printer offers A4 portrait.
  auto log = std::make_shared<printtest::TJobLog>();
  std::unique_ptr<TPrinterSource> old =
      SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{}, log, false));
  ResetReportPrinters();
  TScopeExit back([&] {
    SetPrinterSource(std::move(old));
    ResetReportPrinters();
  });
  TfrxCustomPrinter* p = ReportPrinters()->CurrentPrinter();
  ASSERT_NE(p, nullptr);
  ASSERT_NEAR(double(p->DefaultPaperWidth), 210, 0.5);
  Page->TakePrinterDefaults();
  EXPECT_NEAR(double(Page->PaperWidth()), 82 * 9.6 / 3.77953, 1e-6);  // 208.28 mm
  EXPECT_NEAR(double(Page->PaperWidth()), 208.28, 0.01);
  EXPECT_NEAR(double(Page->PaperHeight()), 296.86, 0.01);
  EXPECT_NEAR(double(Page->LeftMargin()), 2.54, 0.001);
  EXPECT_NEAR(double(Page->TopMargin()), 4.498, 0.001);
  // The setters round instead of cutting down.
  Page->SetPaperWidth(210);
  EXPECT_NEAR(double(Page->PaperWidth() * 3.77953 / 9.6), 83, 1e-6);
  Page->SetPaperHeight(100);
  EXPECT_NEAR(double(Page->PaperHeight() * 3.77953 / 17), 22, 1e-6);
  Page->SetPaperSize(9);
  EXPECT_EQ(Page->PaperSize(), 9);
  EXPECT_NEAR(double(Page->PaperWidth() * 3.77953 / 9.6), 83, 1e-6);
}

TEST_F(DMPTest, TheFontIsFixedAndThePagesStyleReachesTheObjectsThatInheritIt) {
  auto* inherits = new TfrxDMPMemoView(&Report);
  inherits->SetParent(Band);
  auto* own = new TfrxDMPMemoView(&Report);
  own->SetParent(Band);
  own->SetFontStyle({fsxItalic, fsxCondensed});
  auto* line = new TfrxDMPLineView(&Report);
  line->SetParent(Band);
  EXPECT_EQ(inherits->Font()->Name(), "Courier New");
  EXPECT_EQ(inherits->Font()->Size(), 12);
  EXPECT_EQ(inherits->CharSpacing(), 0);
  EXPECT_EQ(inherits->GapX(), 0);
  EXPECT_FALSE(own->ParentFont());
  EXPECT_EQ(own->Font()->Style(), TFontStyles{fsItalic});  // condensed does not show on screen

  Page->SetFontStyle({fsxBold, fsxWide});
  EXPECT_EQ(inherits->FontStyle(), (TfrxDMPFontStyles{fsxBold, fsxWide}));
  EXPECT_EQ(inherits->Font()->Style(), TFontStyles{fsBold});
  EXPECT_EQ(inherits->Font()->Name(), "Courier New");
  EXPECT_TRUE(inherits->ParentFont());
  EXPECT_EQ(line->FontStyle(), (TfrxDMPFontStyles{fsxBold, fsxWide}));
  EXPECT_EQ(own->FontStyle(), (TfrxDMPFontStyles{fsxItalic, fsxCondensed}));
  EXPECT_EQ(Page->Font()->Style(), TFontStyles{fsBold});

  // Only an object's own style is stored with it.
  TfrxXMLSerializer s(nullptr);
  EXPECT_EQ(s.ObjectToText(inherits).find("FontStyle"), String::npos);
  EXPECT_NE(s.ObjectToText(own).find("FontStyle=\"34\""), String::npos) << s.ObjectToText(own);  // italic 2 + condensed 32
}

TEST_F(DMPTest, PreparedPagesKeepOnlyAStyleOrCommandThatDiffers) {
  auto* memo = new TfrxDMPMemoView(&Report);
  memo->SetParent(Band);
  TfrxDMPMemoView refMemo(nullptr);
  EXPECT_EQ(memo->DiffAttributes(&refMemo).find("FontStyle"), String::npos);
  memo->SetFontStyle({fsxBold, fsx15cpi});
  EXPECT_NE(memo->DiffAttributes(&refMemo).find(" FontStyle=\"257\""), String::npos);

  TfrxDMPCommand cmd(nullptr), refCmd(nullptr);
  cmd.SetCommand("#27 \"<&>\"");
  refCmd.SetCommand("#27 \"<&>\"");
  EXPECT_EQ(cmd.DiffAttributes(&refCmd).find("Command"), String::npos);
  cmd.SetCommand("#27 \"<&>\" #64");
  String diff = cmd.DiffAttributes(&refCmd);
  EXPECT_NE(diff.find(" Command=\"" + XMLEscapeText("#27 \"<&>\" #64") + "\""), String::npos) << diff;
  EXPECT_EQ(diff.find('<'), String::npos) << diff;

  TfrxDMPLineView line(nullptr), refLine(nullptr);
  line.SetFontStyle({fsxUnderline});
  EXPECT_NE(line.DiffAttributes(&refLine).find(" FontStyle=\"4\""), String::npos);
}

TEST_F(DMPTest, TheFrameRunsThroughTheMiddleOfTheNeighbouringCells) {
  auto* memo = new TfrxDMPMemoView(&Report);
  memo->SetParent(Band);
  memo->SetBounds(96, 34, 96, 34);
  memo->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
  memo->Frame()->SetColor(clBlack);
  TBitmap bmp;
  bmp.SetWidth(300);
  bmp.SetHeight(120);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect({0, 0, 300, 120});
  memo->DrawOnCanvas(bmp.Canvas(), 1, 1, 0, 0);
  // Left edge at 96 - 4.8, top at 34 - 8.5: the frame is half a cell outside the object.
  EXPECT_EQ(bmp.Canvas()->Pixels(91, 60), clBlack);
  EXPECT_EQ(bmp.Canvas()->Pixels(96, 60), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(150, 26), clBlack);
  EXPECT_EQ(bmp.Canvas()->Pixels(150, 34), clWhite);
}

TEST_F(DMPTest, TheObjectsAreOnThePaletteAndThePageCanBeReadByName) {
  const std::pair<TClass, int> expected[] = {{TfrxDMPMemoView::StaticClass(), 2},
                                             {TfrxDMPLineView::StaticClass(), 5},
                                             {TfrxDMPCommand::StaticClass(), 53}};
  for (auto [cls, image] : expected) {
    int found = 0;
    for (int i = 0; i < ObjectRegistry().Count(); ++i)
      if (ObjectRegistry().ItemAt(i).ObjectClass == cls) {
        ++found;
        EXPECT_EQ(ObjectRegistry().ItemAt(i).ImageIndex, image) << cls->Name();
      }
    EXPECT_EQ(found, 1) << cls->Name();
    EXPECT_EQ(FindClass(cls->Name()), cls);
  }
  EXPECT_EQ(FindClass("TfrxDMPPage"), TfrxDMPPage::StaticClass());
  EXPECT_EQ(Page->Font()->Name(), "Courier New");
}

}  // namespace
