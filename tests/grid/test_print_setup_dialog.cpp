// The grid printer's setup dialog: filled from the settings, shown modally and driven by
// posted steps, read back on OK only; a margin that is no number keeps it open with nothing
// stored.
#include "../platform/print/PrintTestUtil.h"
#include "core/SysUtils.h"
#include "grid/PrnDBGridEhSetupDialog.h"
#include "gui/Dialogs.h"
#include "gui/Messages.h"
#include "gui/Application.h"
#include "gui/Window.h"
#include "GuiTestUtil.h"

#include <QtCore/QDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

using namespace printtest;

namespace {

Currency Cur(const char* Text) { return StrToCurr(Text); }

TPrnDBGridEhSetupValues Settings() {
  TPrnDBGridEhSetupValues v;
  v.TopMargin = v.BottomMargin = v.LeftMargin = v.RightMargin = Cur("2");
  v.FitGridToPageWidth = false;
  v.FitingByColWidths = true;
  v.OptimalColWidths = true;
  v.Colored = true;
  v.PrintFontName = "宋体";
  return v;
}

bool Same(const TPrnDBGridEhSetupValues& a, const TPrnDBGridEhSetupValues& b) {
  return a.TopMargin == b.TopMargin && a.BottomMargin == b.BottomMargin && a.LeftMargin == b.LeftMargin &&
         a.RightMargin == b.RightMargin && a.FitGridToPageWidth == b.FitGridToPageWidth &&
         a.FitingByColWidths == b.FitingByColWidths && a.OptimalColWidths == b.OptimalColWidths &&
         a.RowAutoStretch == b.RowAutoStretch && a.Colored == b.Colored && a.PrintFontName == b.PrintFontName;
}

class SetupDialogTest : public PrinterFixture {
protected:
  void SetUp() override {
    Use({"Front desk"}, false);
    Dlg = CreateForm<TfPrnDBGridEhSetupDialog>(nullptr);
  }
  void TearDown() override {
    delete Dlg;
    PrinterFixture::TearDown();
  }
  // Runs the dialog on Values; each step runs from the message loop while it is shown, and
  // the last one must close it.
  bool Run(TPrnDBGridEhSetupValues& Values, std::deque<std::function<void()>> Steps) {
    // A timer tick per step: each comes in its own turn of the modal loop, after the loop
    // has acted on the step before.
    int idle = 0;
    HWND runner = AllocateHWnd([&](TMessage& M) {
      if (M.Msg != WM_TIMER) return;
      if (Steps.empty()) {
        // The steps are done and the dialog is still up: stop it rather than hang.
        if (++idle == 100) {
          ADD_FAILURE() << "the dialog stayed open";
          Dlg->SetModalResult(mrAbort);
        }
        return;
      }
      auto step = std::move(Steps.front());
      Steps.pop_front();
      step();
    });
    SetTimer(runner, 1, 20);
    bool ok = Dlg->Execute(Values);
    KillTimer(runner, 1);
    DeallocateHWnd(runner);
    EXPECT_TRUE(Steps.empty());
    return ok;
  }
  TfPrnDBGridEhSetupDialog* Dlg = nullptr;
};

}  // namespace

TEST_F(SetupDialogTest, TheDialogIsBuiltFromItsLayout) {
  EXPECT_EQ(Dlg->Caption(), "打印设置");
  EXPECT_EQ(Dlg->ClientWidth(), 368);
  EXPECT_EQ(Dlg->ClientHeight(), 185);
  EXPECT_EQ(Dlg->BorderStyle(), bsDialog);
  EXPECT_EQ(Dlg->Font()->Name(), "宋体");
  EXPECT_FALSE(Dlg->rgFitingType->Enabled());
  EXPECT_EQ(Dlg->rgFitingType->ItemIndex(), 0);
  ASSERT_EQ(Dlg->rgFitingType->Items()->Count(), 2);
  EXPECT_EQ(Dlg->rgFitingType->Items()->Strings(0), "缩放整个表格");
  EXPECT_EQ(Dlg->rgFitingType->Items()->Strings(1), "改变列宽度");
  EXPECT_EQ(Dlg->gbPrintFields->Caption(), "页边距(&M)");
  EXPECT_EQ(Dlg->seUpMargin->Parent(), Dlg->gbPrintFields);
  EXPECT_EQ(Dlg->cbFitWidthToPage->Caption(), "调整宽度以适合页宽");
  EXPECT_EQ(Dlg->bPrinterSetupDialog->Caption(), "打印机设置(&P)");
  EXPECT_TRUE(Dlg->bOk->Default());
  EXPECT_EQ(Dlg->bOk->ModalResult(), mrOk);
  EXPECT_TRUE(Dlg->bCancel->Cancel());
  EXPECT_TRUE(Dlg->bPrintFont->Font()->Style().Contains(fsBold));
  EXPECT_EQ(PrnDBGridEhSetupDialog(), PrnDBGridEhSetupDialog());
  EXPECT_EQ(PrnDBGridEhSetupDialog()->Owner(), Application);
}

// The margins show as their values; OK reads every control back.
TEST_F(SetupDialogTest, OkReadsTheChangedSettings) {
  TPrnDBGridEhSetupValues v = Settings();
  v.LeftMargin = Cur("0.7874");
  bool ok = Run(v, {[&] {
    EXPECT_EQ(Dlg->seUpMargin->Text(), "2");
    EXPECT_EQ(Dlg->seLeftMargin->Text(), "0.7874");
    EXPECT_EQ(Dlg->rgFitingType->ItemIndex(), 1);
    EXPECT_TRUE(Dlg->bPrinterSetupDialog->Enabled());
    Dlg->seUpMargin->SetText("1.5");
    Dlg->cbFitWidthToPage->SetChecked(true);
    Dlg->rgFitingType->SetItemIndex(0);
    Dlg->cbColored->SetChecked(false);
    Dlg->cbAutoStretch->SetChecked(true);
    Dlg->bOk->Click();
  }});
  ASSERT_TRUE(ok);
  EXPECT_EQ(v.TopMargin, Cur("1.5"));
  EXPECT_EQ(v.BottomMargin, Cur("2"));
  EXPECT_EQ(v.LeftMargin, Cur("0.7874"));
  EXPECT_TRUE(v.FitGridToPageWidth);
  EXPECT_FALSE(v.FitingByColWidths);
  EXPECT_FALSE(v.Colored);
  EXPECT_TRUE(v.RowAutoStretch);
  EXPECT_TRUE(v.OptimalColWidths);
}

TEST_F(SetupDialogTest, CancelKeepsEverything) {
  TPrnDBGridEhSetupValues v = Settings();
  bool ok = Run(v, {[&] {
    Dlg->seUpMargin->SetText("1.5");
    Dlg->ePrintFont->SetText("");
    Dlg->cbColored->SetChecked(false);
    Dlg->bCancel->Click();
  }});
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Same(v, Settings()));
}

TEST_F(SetupDialogTest, AnEmptyFontClearsThePrintFont) {
  TPrnDBGridEhSetupValues v = Settings();
  ASSERT_TRUE(Run(v, {[&] {
    Dlg->ePrintFont->SetText("");
    Dlg->bOk->Click();
  }}));
  EXPECT_EQ(v.PrintFontName, "");
}

// A margin that is no number: the error is shown, the dialog stays open and nothing is
// stored, not even the margins before it.
TEST_F(SetupDialogTest, ABadMarginKeepsTheDialogOpenAndStoresNothing) {
  TPrnDBGridEhSetupValues v = Settings();
  TDialogScript script;
  script.Button(IDOK);
  bool stillShown = false;
  bool ok = Run(v, {[&] {
                      Dlg->seUpMargin->SetText("1.5");
                      Dlg->seRightMargin->SetText("x");
                      Dlg->bOk->Click();
                    },
                    [&] {
                      stillShown = Dlg->Visible();
                      Dlg->bCancel->Click();
                    }});
  EXPECT_FALSE(ok);
  EXPECT_TRUE(stillShown);
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_NE(script.Asked()[0].Text.find("'x'"), String::npos) << script.Asked()[0].Text;
  EXPECT_TRUE(Same(v, Settings()));
  // Read itself stores nothing when one margin is bad.
  Dlg->Fill(Settings());
  Dlg->seUpMargin->SetText("1.5");
  Dlg->seLowMargin->SetText("y");
  EXPECT_THROW(Dlg->Read(v), EConvertError);
  EXPECT_TRUE(Same(v, Settings()));
}

// The fitting group follows the fit box, from the start as well.
TEST_F(SetupDialogTest, TheFittingGroupFollowsTheFitBox) {
  TPrnDBGridEhSetupValues v = Settings();
  Dlg->Fill(v);
  EXPECT_FALSE(Dlg->rgFitingType->Enabled());
  EXPECT_EQ(Dlg->rgFitingType->ItemIndex(), 1);
  // Checking the box clicks it, as the user does.
  Dlg->cbFitWidthToPage->SetChecked(true);
  EXPECT_TRUE(Dlg->rgFitingType->Enabled());
  Dlg->cbFitWidthToPage->SetChecked(false);
  EXPECT_FALSE(Dlg->rgFitingType->Enabled());
  v.FitGridToPageWidth = true;
  Dlg->Fill(v);
  EXPECT_TRUE(Dlg->rgFitingType->Enabled());
}

// The fit box lies on the fitting group's frame as its heading, above it: a click at the box's
// middle reaches the box, whatever widget lies there, and toggles it with the group.
TEST_F(SetupDialogTest, AClickOnTheFitBoxTogglesItAndTheFittingGroup) {
  // A press and release where the user points: Qt gives them to the top widget there.
  auto clickAt = [&](TControl* Over) {
    TPoint s = Over->ClientToScreen({Over->Width() / 2, Over->Height() / 2});
    QWidget* form = guitest::WidgetOf(Dlg);
    QWidget* top = form->childAt(form->mapFromGlobal(QPoint(s.X, s.Y)));
    ASSERT_NE(top, nullptr);
    QPointF local = top->mapFromGlobal(QPointF(s.X, s.Y));
    QMouseEvent press(QEvent::MouseButtonPress, local, QPointF(s.X, s.Y), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(top, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, QPointF(s.X, s.Y), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(top, &release);
    Application->ProcessMessages();
  };
  TPrnDBGridEhSetupValues v = Settings();
  bool ok = Run(v, {[&] {
                      EXPECT_FALSE(Dlg->cbFitWidthToPage->Checked());
                      clickAt(Dlg->cbFitWidthToPage);
                      EXPECT_TRUE(Dlg->cbFitWidthToPage->Checked());
                      EXPECT_TRUE(Dlg->rgFitingType->Enabled());
                      QDir().mkpath("screenshots");
                      EXPECT_TRUE(GrabToPng(Dlg, "screenshots/print_setup_fit_box.png"));
                    },
                    [&] {
                      clickAt(Dlg->cbFitWidthToPage);
                      EXPECT_FALSE(Dlg->cbFitWidthToPage->Checked());
                      EXPECT_FALSE(Dlg->rgFitingType->Enabled());
                      clickAt(Dlg->cbFitWidthToPage);
                      Dlg->bOk->Click();
                    }});
  ASSERT_TRUE(ok);
  EXPECT_TRUE(v.FitGridToPageWidth);
}

TEST_F(SetupDialogTest, TheFontButtonTakesTheChosenFaceName) {
  TDialogScript script;
  script.Font([](TFont* f) { f->SetName("Liberation Serif"); });
  Dlg->Fill(Settings());
  Dlg->bPrintFont->Click();
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Font ? script.Asked()[0].Font->Name() : String(), "Liberation Serif");
  EXPECT_EQ(Dlg->ePrintFont->Text(), "Liberation Serif");
  script.Cancel();
  Dlg->bPrintFont->Click();
  EXPECT_EQ(Dlg->ePrintFont->Text(), "Liberation Serif");
}

// The printer setup runs on the process's printer, and is off without any printer.
TEST_F(SetupDialogTest, ThePrinterSetupButtonNeedsAPrinter) {
  TDialogScript script;
  script.PrinterSetup("Front desk");
  Dlg->bPrinterSetupDialog->Click();
  ASSERT_EQ(script.Asked().size(), 1u);
  EXPECT_EQ(script.Asked()[0].Kind, dkPrinterSetup);
  auto source = SetPrinterSource(std::make_unique<TTestSource>(std::vector<String>{}, Log, false));
  TPrnDBGridEhSetupValues v = Settings();
  bool enabled = true;
  Run(v, {[&] {
    enabled = Dlg->bPrinterSetupDialog->Enabled();
    Dlg->bCancel->Click();
  }});
  SetPrinterSource(std::move(source));
  EXPECT_FALSE(enabled);
}
