// The report preview: the page layout, the preview window a report opens while it prepares,
// zoom, find, page commands, saving and opening prepared reports, page settings, editing a
// page in a designer, the progress window and the password prompt; all driven offscreen
// through real windows, keys and mouse.
#include "GuiTestUtil.h"
#include "TempFolder.h"

#include "core/FileUtils.h"
#include "core/IniFiles.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/ComCtrls.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "gui/ToolBar.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreview.h"
#include "report/frxPreviewDialogs.h"
#include "report/frxPreviewForm.h"
#include "report/frxPreviewPages.h"
#include "report/frxProgress.h"

#include "ModalStep.h"
#include "core/Scope.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using TModalAnswer = report_test::TModalStep;

// A list report over N rows "Row <n>" with a page footer "第 [Page] 页，共 [TotalPages] 页".
class PreviewTest : public ::testing::Test {
protected:
  void SetUp() override { Build(60); }
  void TearDown() override {
    CloseWindows();
    Application->ProcessMessages();
  }

  void Build(int N) {
    Rows.SetUserName("Rows");
    Rows.Fields()->SetText("N");
    Rows.SetRangeEnd(reCount);
    Rows.SetRangeEndCount(N);
    Rows.OnGetValue = TfrxGetValueEvent::Lambda([this](const String&, Variant& v) { v = Variant(Rows.RecNo() + 1); });
    Report.DataSets()->AddDataSet(&Rows);
    Report.EngineOptions()->SetNewSilentMode(simSilent);
    Report.EngineOptions()->SetDoublePass(true);
    Report.EngineOptions()->SetReloadAfterRun(false);  // the test keeps pointers into the definition
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Page->SetPaperSize(9);
    for (auto set : {&TfrxReportPage::SetLeftMargin, &TfrxReportPage::SetRightMargin, &TfrxReportPage::SetTopMargin,
                     &TfrxReportPage::SetBottomMargin})
      (Page->*set)(10);
    Master = new TfrxMasterData(Page);
    Master->SetName("MasterData1");
    Master->SetTop(60);
    Master->SetHeight(40);
    Master->SetDataSet(&Rows);
    RowMemo = new TfrxMemoView(Master);
    RowMemo->SetName("RowMemo");
    RowMemo->SetText("Row [Rows.\"N\"]");
    RowMemo->SetBounds(10, 5, 300, 20);
    auto* footer = new TfrxPageFooter(Page);
    footer->SetName("PageFooter1");
    footer->SetTop(400);
    footer->SetHeight(30);
    auto* memo = new TfrxMemoView(footer);
    memo->SetName("FooterMemo");
    memo->SetText("第 [Page] 页，共 [TotalPages] 页");
    memo->SetBounds(0, 0, 300, 20);
  }

  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }
  TfrxPreviewForm* Window() { return dynamic_cast<TfrxPreviewForm*>(Report.PreviewForm()); }
  TfrxPreview* Preview() { return Window() ? Window()->Preview() : nullptr; }

  // The report in a window of its own, not waiting for it; true once the run has finished.
  bool ShowAndWait() {
    Report.PreviewOptions()->SetModal(false);
    Report.PreviewOptions()->SetMaximized(false);
    Report.ShowReport();
    return guitest::WaitFor([&] { return Preview() && !Preview()->Preparing() && Store().Count() > 0; });
  }

  void CloseWindows() {
    if (TfrxPreviewForm* w = Window()) {
      w->Close();
      Application->ProcessMessages();
    }
  }

  TfrxReport Report{nullptr};
  TfrxUserDataSet Rows{nullptr};
  TfrxReportPage* Page = nullptr;
  TfrxMasterData* Master = nullptr;
  TfrxMemoView* RowMemo = nullptr;
};

// ---------------------------------------------------------------- layout

TEST(PreviewPageList, RowsOfOneOrTwoPagesFoundAndMeasured) {
  TfrxPageList one;
  for (int i = 0; i < 3; ++i) one.AddPage(794, 1123);
  EXPECT_EQ(one.Items(0).Top, 10);
  EXPECT_EQ(one.Items(1).Top, 1143);
  EXPECT_EQ(one.Items(2).Top, 2276);
  EXPECT_EQ(one.MaxWidth(), 804);
  EXPECT_EQ(one.ExtentSize(1000, 1), TPoint(804, 3399));
  EXPECT_EQ(one.PageBounds(0, 1000, 1), TRect(103, 10, 897, 1133));  // centred in a wide window
  EXPECT_EQ(one.PageBounds(0, 500, 1).Left, 10);                       // from the left in a narrow one
  EXPECT_EQ(one.PageBounds(-1, 1000, 0.5), TRect(302, 5, 699, 567));  // no page: an A4 sheet

  struct FindCase {
    int Y;
    bool Exact;
    Extended Zoom;
    int Page;
  } finds[] = {{0, true, 1, -1}, {10, true, 1, 0}, {1142, true, 1, 0}, {1143, true, 1, 1},
               {1142 - 224, false, 1, 1}, {1142 - 226, false, 1, 0}, {5000, true, 1, 2}, {572, true, 0.5, 1}};
  for (const FindCase& c : finds) EXPECT_EQ(one.FindPage(c.Y, c.Exact, c.Zoom), c.Page) << c.Y << " " << c.Exact;

  TfrxPageList two;
  two.SetColumnCount(2);
  two.AddPage(794, 1123);
  two.AddPage(794, 1200);
  two.AddPage(794, 1123);
  EXPECT_EQ(two.Items(1).Top, two.Items(0).Top);
  EXPECT_EQ(two.Items(1).ColumnIndex, 1);
  EXPECT_EQ(two.Items(2).Top, 10 + 1200 + 10);  // below the taller page of the row
  EXPECT_EQ(two.MaxWidth(), 1608);
  EXPECT_EQ(two.PageBounds(1, 2000, 1).Left - two.PageBounds(0, 2000, 1).Right, 10);
}

// ---------------------------------------------------------------- showing

TEST_F(PreviewTest, TheWindowOpensFirstAndFillsAsThePagesArePrepared) {
  std::vector<int> pagesWhenPrepared;
  bool windowBeforePages = false;
  Report.OnProgress = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int) {
    pagesWhenPrepared.push_back(Store().Count());
  });
  Report.PreviewOptions()->SetModal(false);
  Report.PreviewOptions()->SetMaximized(false);
  Report.ShowReport();
  windowBeforePages = Window() && Window()->Visible() && Store().Count() == 0;
  EXPECT_TRUE(windowBeforePages);
  ASSERT_TRUE(guitest::WaitFor([&] { return Preview() && !Preview()->Preparing() && Store().Count() > 0; }))
      << Report.Errors()->Text();
  EXPECT_FALSE(pagesWhenPrepared.empty());
  EXPECT_EQ(Preview()->PageCount(), Store().Count());
  EXPECT_GT(Store().Count(), 2);
  EXPECT_EQ(Preview()->Workspace()->PageList().Count(), Store().Count());
  EXPECT_EQ(Window()->StatusBar->Panels()->Items(0)->Text(), "页 1 / " + IntToStr(Store().Count()));
  EXPECT_EQ(Window()->CancelB->Caption(), "关闭");
  // The footer shows the count of the final pass.
  EXPECT_NE(Store().GetPage(0)->AllObjects().size(), 0u);
  String text;
  for (TfrxComponent* c : Store().GetPage(0)->AllObjects())
    if (auto* m = dynamic_cast<TfrxMemoView*>(c)) text += m->Text() + "|";
  EXPECT_NE(text.find("第 1 页，共 " + IntToStr(Store().Count()) + " 页"), String::npos) << text;
  EXPECT_NE(text.find("Row 1|"), String::npos) << text;

  // Page 1 is drawn: white paper with dark text where the first row stands.
  Window()->Repaint();
  QImage img = guitest::WidgetOf(Preview()->Workspace())->grab().toImage();
  TRect r = Preview()->Workspace()->PageList().PageBounds(0, Preview()->Workspace()->ClientWidth(), Preview()->Zoom());
  EXPECT_EQ(img.pixelColor(r.Left + 5, r.Top + 5), QColor(Qt::white));
  EXPECT_EQ(img.pixelColor(2, 2), QColor(128, 128, 128));
  int dark = 0;
  // The first row band stands at the top of the printable area; its text 5 below.
  int rowTop = static_cast<int>((10 * fr01cm + 5) * Preview()->Zoom());
  for (int y = r.Top + rowTop; y < r.Top + rowTop + 15; ++y)
    for (int x = r.Left + 40; x < r.Left + 120; ++x) dark += img.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark, 10);
}

TEST_F(PreviewTest, AMissingDataSetIsReportedAndTheWindowCloses) {
  TfrxUserDataSet gone(nullptr);
  gone.SetUserName("Gone");
  TfrxDataSetItem* entry = Report.DataSets()->AddDataSet(&gone);
  entry->SetDataSet(nullptr);
  entry->SetDataSetName("Missing");  // a name no data set has any longer
  Report.PreviewOptions()->SetModal(false);
  Report.ShowReport();
  ASSERT_NE(Window(), nullptr);
  ASSERT_TRUE(guitest::WaitFor([&] { return Window() == nullptr; }));
  EXPECT_NE(Report.Errors()->Text().find("数据库 \"Missing\" 不存在"), String::npos) << Report.Errors()->Text();
}

TEST_F(PreviewTest, OldStyleProgressShowsAProgressWindowAndNoPreviewWhenPreparingFails) {
  Report.SetOldStyleProgress(true);
  std::vector<bool> progressSeen;
  Report.OnProgress = TfrxProgressEvent::Lambda(
      [&](TfrxReport* R, TfrxProgressType, int) { progressSeen.push_back(R->ProgressWindow() != nullptr); });
  RowMemo->SetText("[NoSuchFunction(1)]");
  Report.ShowReport();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Report.ProgressWindow(), nullptr);
  EXPECT_FALSE(Report.Errors()->Text().empty());
  // The same report without the fault runs with its progress window open and then shows.
  RowMemo->SetText("Row [Rows.\"N\"]");
  Report.PreviewOptions()->SetModal(false);
  Report.ShowReport();
  ASSERT_FALSE(progressSeen.empty());
  EXPECT_TRUE(progressSeen.back());
  ASSERT_NE(Window(), nullptr);
  EXPECT_GT(Store().Count(), 0);
}

TEST_F(PreviewTest, ShowReportWhilePreparingIsIgnored) {
  int starts = 0;
  bool askedAgain = false;
  Report.OnProgressStart = TfrxProgressEvent::Lambda([&](TfrxReport*, TfrxProgressType, int) { ++starts; });
  Report.OnProgress = TfrxProgressEvent::Lambda([&](TfrxReport* R, TfrxProgressType, int p) {
    if (p == 2 && !askedAgain) {
      askedAgain = true;
      R->ShowReport();
      EXPECT_FALSE(R->Prepare());
    }
  });
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  EXPECT_TRUE(askedAgain);
  EXPECT_EQ(starts, 1);  // one run, both passes
  EXPECT_EQ(Preview()->PageCount(), Store().Count());
}

// ---------------------------------------------------------------- zoom, pages, keys

TEST_F(PreviewTest, ZoomFromTheBoxTheSetterAndTheWheel) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  TfrxPreviewForm* w = Window();
  w->ZoomCB->SetText("150 %");
  w->ZoomCB->SetFocus();
  guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  Application->ProcessMessages();
  EXPECT_DOUBLE_EQ(static_cast<double>(Preview()->Zoom()), 1.5);
  EXPECT_EQ(w->ZoomCB->Text(), "150%");
  // The box is the library's flat one; its list is wider than the box.
  EXPECT_EQ(w->ZoomCB->ListWidth(), 100);
  w->ZoomCB->SetDroppedDown(true);
  Application->ProcessMessages();
  EXPECT_EQ(w->ZoomCB->ListBox()->Width(), 100);
  EXPECT_EQ(w->ZoomCB->ListBox()->Height(), w->ZoomCB->EntryHeight() * w->ZoomCB->Items()->Count() + 4);  // 8 of 10
  w->ZoomCB->SetDroppedDown(false);
  EXPECT_DOUBLE_EQ(static_cast<double>(Preview()->Zoom()), 1.5);
  Preview()->SetZoom(0.1);
  EXPECT_DOUBLE_EQ(static_cast<double>(Preview()->Zoom()), 0.25);
  Preview()->SetZoom(0.35);
  Preview()->WheelScroll(-120, false, true);
  EXPECT_NEAR(static_cast<double>(Preview()->Zoom()), 0.3, 1e-9);
  // Many pages: two sheets in a row.
  w->Zoom50B->Click();
  EXPECT_EQ(Preview()->ZoomMode(), zmManyPages);
  EXPECT_EQ(Preview()->Workspace()->PageList().Items(1).Top, Preview()->Workspace()->PageList().Items(0).Top);
}

TEST_F(PreviewTest, KeysAndButtonsMoveThroughThePages) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  Preview()->SetZoom(1);
  int count = Preview()->PageCount();
  ASSERT_GT(count, 2);
  Preview()->Workspace()->SetFocus();
  guitest::TypeKey(Qt::Key_End);
  EXPECT_EQ(Preview()->PageNo(), count);
  guitest::TypeKey(Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(Preview()->PageNo(), count - 1);
  guitest::TypeKey(Qt::Key_Home);
  EXPECT_EQ(Preview()->PageNo(), 1);
  EXPECT_EQ(Preview()->Workspace()->VertPosition(), 0);
  int before = Preview()->Workspace()->VertPosition();
  guitest::TypeKey(Qt::Key_Down);
  EXPECT_EQ(Preview()->Workspace()->VertPosition(), before + 8);
  Window()->NextB->Click();
  EXPECT_EQ(Preview()->PageNo(), 2);
  EXPECT_EQ(Window()->PageE->Text(), "2");
  Preview()->SetPageNo(0);
  EXPECT_EQ(Preview()->PageNo(), 1);
  Preview()->SetPageNo(count + 5);
  EXPECT_EQ(Preview()->PageNo(), count);
}

// ---------------------------------------------------------------- find

TEST_F(PreviewTest, FindFramesTheHitContinuesOnThatPageAndLeavesTheViewWithoutOne) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  Preview()->SetZoom(1);
  int rowsPerPage = 0;
  for (TfrxComponent* c : Store().GetPage(0)->AllObjects()) rowsPerPage += c->Name() == "MasterData1";
  ASSERT_GT(rowsPerPage, 1);
  // Row numbers of page 3 start after two full pages; "Row 2n+1" is found only there.
  String wanted = "Row " + IntToStr(2 * rowsPerPage + 1);
  {
    TDialogScript none;
    TModalAnswer answer([&](TCustomForm* f) {
      auto* d = dynamic_cast<TfrxSearchDialog*>(f);
      ASSERT_NE(d, nullptr);
      d->TextE->SetText(wanted);
      d->TopCB->SetChecked(true);
      d->OkB->Click();
    });
    Preview()->Find();
    EXPECT_TRUE(answer.Done());
  }
  EXPECT_TRUE(PreviewSearch().TextFound);
  EXPECT_EQ(Preview()->Workspace()->SearchPage(), 2);
  int firstRecord = PreviewSearch().LastFoundRecord;
  // The hit is in view.
  TRect r = Preview()->Workspace()->PageList().PageBounds(2, Preview()->Workspace()->ClientWidth(), 1);
  EXPECT_GE(r.Top + PreviewSearch().FoundRect.Top, Preview()->Workspace()->VertPosition());
  EXPECT_LE(r.Top + PreviewSearch().FoundRect.Bottom,
            Preview()->Workspace()->VertPosition() + Preview()->Workspace()->ClientHeight());
  // Framed: the found text is drawn inverted.
  Preview()->Workspace()->Repaint();
  QImage img = guitest::WidgetOf(Preview()->Workspace())->grab().toImage();
  const TRect& f = PreviewSearch().FoundRect;
  int left = r.Left - Preview()->Workspace()->HorzPosition(), top = r.Top - Preview()->Workspace()->VertPosition();
  int dark = 0, all = 0;
  for (int y = top + f.Top + 2; y < top + f.Bottom - 2; ++y)
    for (int x = left + f.Left; x < left + f.Right; ++x, ++all) dark += img.pixelColor(x, y).lightness() < 100;
  EXPECT_GT(dark * 2, all) << dark << " of " << all;  // mostly black: white paper inverted

  // F3 continues: "Row 1" matches "Row 1x" rows later on page 3 or beyond.
  PreviewSearch().SearchText = "Row";
  Preview()->Workspace()->SetSearchPage(2);
  Preview()->FindNext();
  EXPECT_EQ(Preview()->Workspace()->SearchPage(), 2);
  EXPECT_GT(PreviewSearch().LastFoundRecord, firstRecord);

  int pos = Preview()->Workspace()->VertPosition();
  PreviewSearch().SearchText = "nowhere at all";
  PreviewSearch().LastFoundRecord = -1;
  Preview()->Workspace()->SetSearchPage(0);
  Preview()->FindNext();
  EXPECT_FALSE(PreviewSearch().TextFound);
  EXPECT_EQ(Preview()->Workspace()->VertPosition(), pos);
}

// ---------------------------------------------------------------- files and pages

TEST_F(PreviewTest, SavedUnderAnotherExtensionAndOpenedAgain) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  TempFolder folder;
  int count = Store().Count();
  {
    TDialogScript script;
    script.File((folder / "x.txt"));
    Preview()->SaveWithDialog();
  }
  EXPECT_TRUE(FileExists((folder / "x.fp3")));
  EXPECT_FALSE(FileExists((folder / "x.txt")));
  Preview()->Clear();
  EXPECT_EQ(Preview()->PageCount(), 0);
  EXPECT_EQ(Preview()->PageNo(), 0);
  {
    TDialogScript script;
    script.File((folder / "x.fp3"));
    Preview()->LoadWithDialog();
  }
  EXPECT_EQ(Preview()->PageCount(), count);
  EXPECT_EQ(Preview()->Workspace()->PageList().Count(), count);
  EXPECT_EQ(Preview()->PageNo(), 1);
}

TEST_F(PreviewTest, PagesAreAddedAndDeletedButTheLastOneStays) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  int count = Preview()->PageCount();
  Preview()->Last();
  Preview()->DeletePage();
  EXPECT_EQ(Preview()->PageCount(), count - 1);
  EXPECT_EQ(Preview()->PageNo(), count - 1);
  Preview()->First();
  Preview()->AddPage();
  EXPECT_EQ(Preview()->PageCount(), count);
  EXPECT_EQ(Preview()->Workspace()->PageList().Count(), count);
  while (Preview()->PageCount() > 1) Preview()->DeletePage();
  Preview()->DeletePage();
  EXPECT_EQ(Preview()->PageCount(), 1);
  EXPECT_EQ(Preview()->PageNo(), 1);
}

// ---------------------------------------------------------------- the window's options

TEST_F(PreviewTest, ButtonsFollowTheOptionsAndCommandsWaitForPages) {
  TfrxPreviewButtons buttons = TfrxPreviewOptions::AllButtons();
  buttons.Exclude(pbZoom);
  Report.PreviewOptions()->SetButtons(buttons);
  Report.PreviewOptions()->SetAllowEdit(false);
  Report.PreviewOptions()->SetModal(false);
  Report.ShowReport();
  TfrxPreviewForm* w = Window();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->FindComponent("Sep1"), nullptr);
  EXPECT_FALSE(w->Zoom100B->Visible());
  EXPECT_FALSE(w->Sep3->Visible());
  EXPECT_FALSE(w->FullScreenBtn->Visible());
  EXPECT_TRUE(w->PrintB->Visible());
  EXPECT_FALSE(w->ExportB->Visible());  // no export filter registered
  EXPECT_FALSE(w->PrintB->Enabled());  // nothing prepared yet
  EXPECT_FALSE(w->SaveB->Enabled());
  ASSERT_TRUE(guitest::WaitFor([&] { return Preview() && !Preview()->Preparing() && Store().Count() > 0; }))
      << Report.Errors()->Text();
  EXPECT_TRUE(w->PrintB->Enabled());
  EXPECT_FALSE(w->NewPageB->Enabled());
  EXPECT_FALSE(w->DelPageB->Enabled());
  // The right-click menu: print's hint first; the walk ends at the second separator.
  TMenuItem* items = w->RightMenu->Items();
  ASSERT_GT(items->Count(), 0);
  EXPECT_EQ(items->Items(0)->Caption(), w->PrintB->Hint());
  int lines = 0;
  for (int i = 0; i < items->Count(); ++i) lines += items->Items(i)->Caption() == "-";
  EXPECT_EQ(lines, 1);
}

TEST_F(PreviewTest, EscCancelsAPreparationAndTheWindowDoesNotCloseMeanwhile) {
  Rows.SetRangeEndCount(3000);
  bool closedWhilePreparing = false;
  bool escaped = false;
  Report.OnProgress = TfrxProgressEvent::Lambda([&](TfrxReport* R, TfrxProgressType, int p) {
    if (p != 3 || escaped) return;
    escaped = true;
    Window()->Close();
    closedWhilePreparing = !Window() || !Window()->Visible();
    Window()->SetFocus();
    guitest::TypeKey(Qt::Key_Escape);
  });
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  EXPECT_TRUE(escaped);
  EXPECT_FALSE(closedWhilePreparing);
  EXPECT_TRUE(Report.Terminated());
  EXPECT_LT(Store().Count(), 50);
  EXPECT_EQ(Window()->CancelB->Caption(), "关闭");
  Window()->CancelB->Click();  // not preparing: the button closes the window
  EXPECT_TRUE(guitest::WaitFor([&] { return Window() == nullptr; }));
}

// A double click on the pages, as a person makes it.
void DoubleClick(TControl* c, TPoint p) {
  guitest::Press(c, p, Qt::LeftButton, 1000);
  guitest::Release(c, p);
  guitest::SendMouse(c, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  guitest::Release(c, p);
  Application->ProcessMessages();
}

TEST_F(PreviewTest, FullScreenHidesTheBarsAndADoubleClickOnThePagesLeavesIt) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  TfrxPreviewForm* w = Window();
  TControl* pages = Preview()->Workspace();
  const TFormBorderStyle border = w->BorderStyle();
  const TWindowState state = w->WindowState();
  ASSERT_NE(border, bsNone);

  // Outside full screen a double click on the pages changes nothing.
  DoubleClick(pages, {30, 30});
  EXPECT_FALSE(w->FullScreen());
  EXPECT_TRUE(w->ToolBar->Visible());

  w->FullScreenBtn->Click();
  Application->ProcessMessages();
  EXPECT_TRUE(w->FullScreen());
  EXPECT_FALSE(w->ToolBar->Visible());
  EXPECT_FALSE(w->StatusBar->Visible());
  EXPECT_EQ(w->BorderStyle(), bsNone);
  EXPECT_EQ(w->WindowState(), wsMaximized);

  DoubleClick(pages, {30, 30});
  EXPECT_FALSE(w->FullScreen());
  EXPECT_TRUE(w->ToolBar->Visible());
  EXPECT_TRUE(w->StatusBar->Visible());
  EXPECT_EQ(w->BorderStyle(), border);
  EXPECT_EQ(w->WindowState(), state);
}

TEST_F(PreviewTest, MinimisingTakesTheWholeProgramAndItsActivationBringsItBackWithThePreviewActive) {
  TForm main(nullptr);
  main.SetBounds(0, 0, 300, 200);
  TForm* oldMain = Application->MainForm();
  Application->SetMainForm(&main);
  TScopeExit restoreMain([&] { Application->SetMainForm(oldMain); });
  main.Show();
  int minimised = 0, restored = 0;
  Application->OnMinimize = TNotifyEvent::Lambda([&](TObject*) { ++minimised; });
  Application->OnRestore = TNotifyEvent::Lambda([&](TObject*) { ++restored; });
  TScopeExit events([] {
    Application->OnMinimize = nullptr;
    Application->OnRestore = nullptr;
  });
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  TfrxPreviewForm* w = Window();

  // Coming back while nothing is minimised changes nothing.
  SendMessage(w->Handle(), WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(restored, 0);

  SendMessage(w->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Application->ProcessMessages();
  EXPECT_EQ(minimised, 1);
  EXPECT_EQ(main.WindowState(), wsMinimized);
  EXPECT_NE(w->WindowState(), wsMinimized);  // the program, not the window alone

  // Deactivation does nothing; activation restores the program with the preview active.
  SendMessage(w->Handle(), WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(restored, 0);
  SendMessage(w->Handle(), WM_ACTIVATEAPP, 1, 0);
  Application->ProcessMessages();
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(main.WindowState(), wsNormal);
  EXPECT_EQ(Screen->ActiveCustomForm(), w);
}

// ---------------------------------------------------------------- page settings

class PageSettingsTest : public PreviewTest {
protected:
  void SetUnits(int Units) {
    std::unique_ptr<TCustomIniFile> store = Report.OpenSettingsStore();
    store->WriteInteger("Form.TfrxDesignerForm", "Units", Units);
  }
  void TearDown() override {
    SetUnits(0);
    PreviewTest::TearDown();
  }
  // Shows the dialog on Page, lets Step fill it, confirms.
  void Edit(TfrxReportPage* Target, const std::function<void(TfrxPageSettingsForm*)>& Step) {
    TfrxPageSettingsForm form(nullptr);
    form.InitForm();
    form.EditedPage = Target;
    form.OwnerReport = &Report;
    TModalAnswer answer([&](TCustomForm* f) {
      Step(static_cast<TfrxPageSettingsForm*>(f));
      static_cast<TfrxPageSettingsForm*>(f)->OKB->Click();
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
  }
};

TEST_F(PageSettingsTest, InchesCustomSizesAndStrayUnits) {
  SetUnits(1);
  String shown;
  Edit(Page, [&](TfrxPageSettingsForm* f) {
    shown = f->WidthE->Text() + " " + f->HeightE->Text() + " " + f->UnitL1->Caption();
    f->WidthE->SetText("8.5");
  });
  EXPECT_EQ(shown, "8.27 11.69 in");
  EXPECT_NEAR(static_cast<double>(Page->PaperWidth()), 215.9, 1e-6);

  SetUnits(0);
  Page->SetPaperSize(256);
  Page->SetPaperWidth(100);
  Page->SetPaperHeight(150);
  String landscape, again;
  Edit(Page, [&](TfrxPageSettingsForm* f) {
    f->LandscapeRB->SetChecked(true);
    f->PortraitRBClick(f->LandscapeRB);
    landscape = f->WidthE->Text() + " " + f->HeightE->Text();
    f->SizeCBClick(f->SizeCB);  // the custom entry picked again
    again = f->WidthE->Text() + " " + f->HeightE->Text();
  });
  EXPECT_EQ(landscape, "15 10");
  EXPECT_EQ(again, "15 10");

  SetUnits(7);
  Edit(Page, [&](TfrxPageSettingsForm* f) { shown = f->WidthE->Text() + " " + f->UnitL1->Caption(); });
  EXPECT_EQ(shown, "15 cm");
  EXPECT_NEAR(static_cast<double>(Page->PaperWidth()), 150, 1e-6);
}

TEST_F(PageSettingsTest, ApplyToAllPreparesTheTemplateAgainButChangesLoadedPagesInPlace) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  TempFolder folder;
  Preview()->SaveToFile((folder / "a.fp3"));
  auto setup = [&] {
    TModalAnswer answer([&](TCustomForm* f) {
      auto* s = static_cast<TfrxPageSettingsForm*>(f);
      s->LandscapeRB->SetChecked(true);
      s->PortraitRBClick(s->LandscapeRB);
      s->ApplyToAllRB->SetChecked(true);
      s->OKB->Click();
    });
    Preview()->PageSetup();
    EXPECT_TRUE(answer.Done());
  };
  int before = Store().Count();
  setup();
  ASSERT_TRUE(guitest::WaitFor([&] { return !Preview()->Preparing(); }));
  EXPECT_EQ(Page->Orientation(), poLandscape);
  EXPECT_GT(Store().Count(), before);  // a lower page holds fewer rows
  EXPECT_GT(Store().GetPageSize(0).X, Store().GetPageSize(0).Y);

  Page->SetOrientation(poPortrait);
  Preview()->LoadFromFile((folder / "a.fp3"));
  ASSERT_EQ(Store().Count(), before);
  setup();
  EXPECT_EQ(Store().Count(), before);  // the loaded pages are kept
  EXPECT_EQ(Page->Orientation(), poPortrait);
  for (int i = 0; i < Store().Count(); ++i) EXPECT_GT(Store().GetPageSize(i).X, Store().GetPageSize(i).Y) << i;
}

// ---------------------------------------------------------------- editing in a designer

class TStubDesigner : public TfrxCustomDesigner {
public:
  using TfrxCustomDesigner::TfrxCustomDesigner;
  static inline std::function<void(TStubDesigner*)> OnShown;
  static inline int Made = 0;
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
  void Dispatch(TMessage& M) override {
    TfrxCustomDesigner::Dispatch(M);
    if (M.Msg == WM_USER + 1) Started = true;
  }
  bool Started = false;
};

class DesignerHold {
public:
  DesignerHold() {
    FOld = DesignerClass;
    DesignerClass = [](TComponent* Owner, TfrxReport* R, bool P) -> TfrxCustomDesigner* {
      auto* d = new TStubDesigner(Owner, R, P);
      ++TStubDesigner::Made;
      TTimer* t = new TTimer(d);
      t->SetInterval(10);
      t->SetOnTimer(TNotifyEvent::Lambda([d, t](TObject*) {
        t->SetEnabled(false);
        if (TStubDesigner::OnShown) TStubDesigner::OnShown(d);
        d->SetClosed(true);
      }));
      return d;
    };
  }
  ~DesignerHold() {
    DesignerClass = FOld;
    TStubDesigner::OnShown = nullptr;
  }

private:
  TfrxDesignerClass FOld;
};

TEST_F(PreviewTest, EditPageFlattensThePageAndKeepsTheDesignersChange) {
  ASSERT_TRUE(ShowAndWait()) << Report.Errors()->Text();
  DesignerHold hold;
  Extended memoLeft = -1, memoTop = -1;
  bool band = true, formDisabled = false;
  TStubDesigner::OnShown = [&](TStubDesigner* d) {
    formDisabled = !Window()->Enabled();
    TfrxComponent* page = d->Report()->PageAt(0);
    band = false;
    for (TfrxComponent* c : page->AllObjects()) band = band || dynamic_cast<TfrxBand*>(c) != nullptr;
    for (TfrxComponent* c : page->AllObjects())
      if (auto* m = dynamic_cast<TfrxMemoView*>(c); m && m->Text() == "Row 2") {
        memoLeft = m->Left();
        memoTop = m->Top();
        m->SetText("Edited");
      }
    d->FlagModified(true);
  };
  Window()->SetFocus();
  Preview()->EditPage();
  EXPECT_FALSE(band);
  EXPECT_TRUE(formDisabled);
  EXPECT_TRUE(Window()->Enabled());
  EXPECT_DOUBLE_EQ(static_cast<double>(memoLeft), 10);
  TfrxComponent* first = nullptr;
  for (TfrxComponent* c : Store().GetPage(0)->AllObjects())
    if (auto* m = dynamic_cast<TfrxMemoView*>(c); m && m->Text() == "Edited") first = m;
  ASSERT_NE(first, nullptr);
  EXPECT_NEAR(static_cast<double>(memoTop), static_cast<double>(first->Top()), 1e-6);
  // The second row's band stood 40 down the page; its text 5 below the band's top.
  EXPECT_NEAR(static_cast<double>(memoTop), 45, 1e-6);
}

TEST_F(PreviewTest, RunDesignerNeedsADesignerAndGivesAnEmptyReportItsFirstPage) {
  TfrxReport empty(nullptr);
  {
    TRestore<TfrxDesignerClass> none(DesignerClass, nullptr);
    empty.RunDesigner();  // no designer: nothing
  }
  EXPECT_EQ(empty.CountPages(), 0);
  DesignerHold hold;
  TForm caller(nullptr);
  caller.Show();
  caller.SetFocus();
  Application->ProcessMessages();
  bool disabled = false, started = false;
  TStubDesigner::OnShown = [&](TStubDesigner* d) {
    disabled = !caller.Enabled();
    started = d->Started;
  };
  empty.RunDesigner();
  EXPECT_TRUE(disabled);
  EXPECT_TRUE(started);
  EXPECT_TRUE(caller.Enabled());
  ASSERT_EQ(empty.CountPages(), 1);
  EXPECT_EQ(empty.PageAt(0)->Name(), "Page1");
  EXPECT_EQ(empty.Designer(), nullptr);
}

// ---------------------------------------------------------------- progress, password

TEST(ReportProgressWindow, MessagePlaceCancelAndTheDisabledForm) {
  TForm owner(nullptr);
  owner.Show();
  owner.SetFocus();
  Application->ProcessMessages();
  {
    TfrxProgress progress(nullptr);
    progress.InitForm();
    EXPECT_EQ(progress.DisabledForm(), &owner);
    EXPECT_FALSE(owner.Enabled());
    struct Case {
      bool Bar;
      int Top;
    } cases[] = {{false, 35}, {true, 15}};
    for (const Case& c : cases) {
      progress.OpenWindow(10, "Working", c.Bar, true);
      EXPECT_EQ(progress.LMessage->Top(), c.Top);
      EXPECT_EQ(progress.Bar->Visible(), c.Bar);
      EXPECT_EQ(progress.LMessage->Caption(), "Working");
    }
    progress.CancelB->Click();
    Application->ProcessMessages();
    EXPECT_TRUE(progress.CancelRequested());
    EXPECT_FALSE(progress.Visible());
    EXPECT_TRUE(owner.Enabled());
    progress.Show();
    TPoint inside = progress.ClientToScreen(TPoint(30, 90));
    EXPECT_EQ(SendMessage(progress.Handle(), WM_NCHITTEST, 0, LPARAM((inside.Y << 16) | (inside.X & 0xFFFF))), HTCAPTION);
  }
  EXPECT_TRUE(owner.Enabled());
}

TEST(ReportPasswordPrompt, OkGivesTheTextCancelRefuses) {
  String typed;
  {
    TModalAnswer answer([](TCustomForm* f) {
      auto* p = dynamic_cast<TfrxPasswordForm*>(f);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->PasswordE->PasswordChar(), '*');
      p->PasswordE->SetText("secret");
      p->OkB->Click();
    });
    EXPECT_TRUE(AskReportPassword(typed));
  }
  EXPECT_EQ(typed, "secret");
  TModalAnswer cancel([](TCustomForm* f) { static_cast<TfrxPasswordForm*>(f)->CancelB->Click(); });
  EXPECT_FALSE(AskReportPassword(typed));
}

}  // namespace
