// The older engine's preview window driven as a person would: page layout by zoom mode, the
// keyboard, links between pages, find with F3, saving and loading the .frp file, printing the
// current page on the recording printer, page setup, and the embedding panel.
#include "FrTestSupport.h"
#include "FrGuiSupport.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_ClassObjects.h"
#include "report_legacy/FR_Ctrls.h"
#include "report_legacy/FR_PrDlg.h"
#include "report_legacy/FR_Utils.h"
#include "report_legacy/FR_View.h"
#include "../platform/print/PrintTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "print/PrintDialogs.h"

#include <QtCore/QDir>

#include <functional>

using namespace guitest;

namespace {

// Runs Step once a modal window is up (a tick of its loop); the step closes it.
class TAtModal {
public:
  explicit TAtModal(std::function<void()> Step) : FStep(std::move(Step)) {
    FTimer.SetInterval(10);
    FTimer.SetOnTimer(TNotifyEvent::Lambda([this](TObject*) {
      FTimer.SetEnabled(false);
      FStep();
    }));
  }

private:
  std::function<void()> FStep;
  TTimer FTimer{nullptr};
};

// Tells whether a component has gone.
class TWatch : public TComponent {
public:
  explicit TWatch(TComponent* Target) : TComponent(nullptr) { Target->FreeNotification(this); }
  bool Gone = false;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) Gone = true;
  }
};

class FrPreview : public frtest::TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Registry = std::make_unique<frtest::TOwnRegistry>();
    LastZoom = 1;
    LastZoomMode = 0;
    Owner = std::make_unique<TComponent>(nullptr);
    Report = new TfrReport(Owner.get());
    Report->SetName("frReport");
    Page = Report->Pages()->Add();
    Page->Name = "Page1";
    frState().CurrentReport = Report;
  }
  void TearDown() override {
    if (Form && !Watch->Gone) delete Form;
    Watch.reset();
    Application->ProcessMessages();
    Owner.reset();
    Registry.reset();
    TEngineTest::TearDown();
  }

  // Pages one record each, three text objects in a row on each.
  void Build(int PageCount) {
    auto* band = new TfrBandView;
    band->Name = "MasterData1";
    band->SetBandType(btMasterData);
    band->SetViewBounds(0, 40, 700, 20);
    band->FormatText = IntToStr(PageCount);
    band->Flags |= frband::FormNewPage;
    Page->AddObject(band);
    for (int i = 0; i < 3; ++i) {
      auto* m = new TfrMemoView;
      m->Name = "Memo" + IntToStr(i + 1);
      m->SetViewBounds(20 + 220 * i, 40, 200, 18);
      m->Memo.SetText(String(1, char('A' + i)) + "[LINE#]");
      Page->AddObject(m);
    }
    ASSERT_TRUE(Report->PrepareReport());
    ASSERT_EQ(Report->PreparedPages()->Count(), PageCount);
  }
  // Rewrites the texts of a prepared page (and names and tags, to make links).
  void Texts(TfrEMFPages* Pages, int Index, const std::vector<String>& Texts, const std::vector<String>& Tags = {}) {
    Pages->ObjectsToPage(Index);
    auto& objects = Pages->PageInfo(Index).PageObject->Objects;
    for (std::size_t i = 0; i < objects.size() && i < Texts.size(); ++i) {
      objects[i]->Memo.SetText(Texts[i]);
      if (i < Tags.size() && !Tags[i].empty()) {
        objects[i]->Name = "URL" + IntToStr(int(i));
        objects[i]->Tag = Tags[i];
      }
    }
    Pages->PageToObjects(Index);
    Pages->PageInfo(Index).PageObject.reset();
  }

  // The window over the report's pages with a page area of W x H pixels.
  TfrPreviewForm* Open(int W = 1300, int H = 800) {
    Form = new TfrPreviewForm(nullptr);
    Form->InitForm();
    Watch = std::make_unique<TWatch>(Form);
    Form->SetWindowState(wsNormal);
    Form->SetBounds(0, 0, W + 40, H + 100);
    Form->TakePages(Report);
    Form->ApplyReportOptions();
    Form->Show();
    Application->ProcessMessages();
    Form->SetBounds(0, 0, Form->Width() + W - Form->PBox->ClientWidth(), Form->Height() + H - Form->PBox->ClientHeight());
    Application->ProcessMessages();
    Form->ShowPages(true);
    Form->PBox->SetFocus();
    Application->ProcessMessages();
    return Form;
  }
  TRect PageRect(int Index) const { return Form->Pages->PageInfo(Index).PageRect; }

  std::unique_ptr<frtest::TOwnRegistry> Registry;
  std::unique_ptr<TComponent> Owner;
  TfrReport* Report = nullptr;
  TfrPage* Page = nullptr;
  TfrPreviewForm* Form = nullptr;
  std::unique_ptr<TWatch> Watch;
};

TEST_F(FrPreview, PagesStandSideBySideOrCentredAlone) {
  Build(2);
  for (int i = 0; i < 2; ++i) Report->PreparedPages()->PageInfo(i).PageInfo.PageWidth = 600;
  Open(1300, 800);
  ASSERT_EQ(Form->PBox->ClientWidth(), 1300);
  EXPECT_EQ(Form->Zoom, 1.0);
  EXPECT_EQ(PageRect(0).Left, 10);
  EXPECT_EQ(PageRect(1).Left, 620);
  EXPECT_EQ(PageRect(0).Top, PageRect(1).Top) << "one row";
  EXPECT_EQ(PageRect(0).Width(), 600);
  EXPECT_EQ(Form->Label1->Caption(), LocaleText(55004) + " 1/2");

  // Narrower: one page to a row, centred.
  Form->SetBounds(0, 0, Form->Width() - 400, Form->Height());
  Application->ProcessMessages();
  const int W = Form->PBox->ClientWidth();
  ASSERT_LT(W, 1230);
  EXPECT_EQ(PageRect(0).Left, (W - 600) / 2);
  EXPECT_EQ(PageRect(1).Top, PageRect(0).Bottom + 10) << "the next row 10 below";
}

TEST_F(FrPreview, WholePageZoomFitsTheHeightAndIsTheNextPreviewsStart) {
  Build(1);
  Report->PreparedPages()->PageInfo(0).PageInfo.PageHeight = 1071;
  Open(900, 1000);
  ASSERT_EQ(Form->PBox->ClientHeight(), 1000);
  Form->SetZoomTag(2);
  EXPECT_DOUBLE_EQ(Form->Zoom, 980.0 / 1071);
  EXPECT_EQ(Form->ZoomBtn->Caption(), "92%");
  EXPECT_TRUE(Form->N2->Checked());
  EXPECT_EQ(LastZoomMode, 2);
  EXPECT_DOUBLE_EQ(LastZoom, 980.0 / 1071);
  delete Form;
  Form = nullptr;

  // The next window starts in whole-page mode.
  ASSERT_TRUE(Report->PrepareReport());
  Report->PreparedPages()->PageInfo(0).PageInfo.PageHeight = 1071;
  Open(700, 1000);
  EXPECT_EQ(Form->ZoomMode, 2);
  EXPECT_DOUBLE_EQ(Form->Zoom, 980.0 / 1071);
  EXPECT_TRUE(Form->N2->Checked());
  EXPECT_EQ(Form->ZoomBtn->Caption(), "92%");
  // A percentage chosen there is where the one after starts.
  Form->SetZoomTag(75);
  EXPECT_EQ(LastZoomMode, 0);
  EXPECT_DOUBLE_EQ(LastZoom, 0.75);
  EXPECT_TRUE(Form->N751->Checked());
}

TEST_F(FrPreview, KeysMoveBetweenPagesAndEscCloses) {
  Build(4);
  Open(900, 500);
  struct TCase {
    int Key;
    Qt::KeyboardModifiers Mods;
    int Page;
    const char* What;
  } cases[] = {
      {Qt::Key_End, Qt::ControlModifier, 4, "Ctrl+End: the last page"},
      {Qt::Key_End, Qt::NoModifier, 4, "End alone does nothing"},
      {Qt::Key_Home, Qt::ControlModifier, 1, "Ctrl+Home: to the top"},
      {Qt::Key_PageDown, Qt::ControlModifier, 2, "Ctrl+Page Down: the next page"},
      {Qt::Key_PageUp, Qt::ControlModifier, 1, "Ctrl+Page Up: the previous page"},
      {Qt::Key_PageUp, Qt::ControlModifier, 1, "not before the first"},
  };
  for (const TCase& c : cases) {
    TypeKey(c.Key, c.Mods);
    EXPECT_EQ(Form->CurrentPage, c.Page) << c.What;
  }
  const int v = Form->VScrollBar->Position();
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Form->VScrollBar->Position(), v + 10) << "Down: the small change";
  TypeKey(Qt::Key_PageDown);
  EXPECT_EQ(Form->VScrollBar->Position(), v + 210) << "Page Down: the large change";

  // No printer: Ctrl+P does nothing (no print dialog comes up).
  ASSERT_FALSE(Form->PrintBtn->Enabled());
  bool dialog = false;
  TAtModal watch([&] {
    if (Screen->ActiveCustomForm() != Form) {
      dialog = true;
      if (auto* f = Screen->ActiveCustomForm()) f->SetModalResult(mrCancel);
    }
  });
  TypeKey(Qt::Key_P, Qt::ControlModifier);
  WaitFor([] { return false; }, 50);
  EXPECT_FALSE(dialog);

  // Only the press: the window that would get the release is gone by then.
  SendKey(QEvent::KeyPress, Qt::Key_Escape);
  WaitFor([&] { return Watch->Gone; }, 1000);
  EXPECT_TRUE(Watch->Gone) << "Esc closes the window";
}

TEST_F(FrPreview, LinksJumpToTheirPageWhenItExists) {
  Build(3);
  TfrEMFPages* pages = Report->PreparedPages();
  Texts(pages, 0, {"to five", "to none", "to two"}, {"@5", "@0", "@2"});
  // Objects placed on the whole page: page units are pixels at the zoom.
  pages->PageInfo(0).MarginsFlag = true;
  pages->ObjectsToPage(0);
  std::vector<TPoint> at;
  for (const auto& v : pages->PageInfo(0).PageObject->Objects) at.push_back({v->Left + 5, v->Top + 5});
  pages->PageInfo(0).PageObject.reset();
  Open(1300, 800);
  // Where an object of page 1 shows now (a jump scrolls the view).
  auto objectPoint = [&](int i) {
    const TRect page = PageRect(0);
    return TPoint{Form->OfsX + page.Left + int(at[std::size_t(i)].X * Form->Zoom),
                  Form->OfsY + page.Top + int(at[std::size_t(i)].Y * Form->Zoom)};
  };
  Click(Form->PBox, objectPoint(2));
  EXPECT_EQ(Form->CurrentPage, 2) << "@2 goes to page 2";
  EXPECT_GT(Form->VScrollBar->Position(), 0) << "scrolled to it";
  Click(Form->PBox, objectPoint(0));
  EXPECT_EQ(Form->CurrentPage, 2) << "@5 of three pages changes nothing";
  Click(Form->PBox, objectPoint(1));
  EXPECT_EQ(Form->CurrentPage, 1) << "@0 is page 1";
  // Hovering a link shows where it leads.
  Move(Form->PBox, objectPoint(2));
  EXPECT_EQ(Form->Label2->Caption(), LocaleText(55004) + " 2");
}

TEST_F(FrPreview, FindWalksTheHitsOfAPageThenTheNextPage) {
  Build(3);
  TfrEMFPages* pages = Report->PreparedPages();
  Texts(pages, 0, {"hay", "straw", "chaff"});
  Texts(pages, 1, {"Needle", "straw", "needle"});
  Texts(pages, 2, {"chaff", "NEEDLE", "hay"});
  Open(900, 500);
  TAtModal person([&] {
    auto* dlg = dynamic_cast<TfrPreviewSearchForm*>(Screen->ActiveCustomForm());
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->RB1->Checked()) << "from the first page by default";
    dlg->Edit1->SetText("needle");
    dlg->Button1->Click();
  });
  TypeKey(Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Form->Found);
  EXPECT_EQ(Form->CurrentPage, 2);
  const TRect first = Form->FoundRect;
  TypeKey(Qt::Key_F3);
  ASSERT_TRUE(Form->Found);
  EXPECT_EQ(Form->CurrentPage, 2) << "the second hit on the same page";
  EXPECT_GT(Form->FoundRect.Left, first.Left + 300) << "the third object, right of the first";
  TypeKey(Qt::Key_F3);
  ASSERT_TRUE(Form->Found);
  EXPECT_EQ(Form->CurrentPage, 3) << "then on to page 3";
  TypeKey(Qt::Key_F3);
  EXPECT_FALSE(Form->Found) << "no more";
  EXPECT_EQ(Form->CurrentPage, 3);
}

TEST_F(FrPreview, CaseSensitiveFindSkipsOtherCases) {
  Build(3);
  TfrEMFPages* pages = Report->PreparedPages();
  Texts(pages, 0, {"Needle", "x", "y"});
  Texts(pages, 1, {"x", "y", "z"});
  Texts(pages, 2, {"x", "needle", "z"});
  Open(900, 500);
  TAtModal person([&] {
    auto* dlg = dynamic_cast<TfrPreviewSearchForm*>(Screen->ActiveCustomForm());
    ASSERT_NE(dlg, nullptr);
    dlg->Edit1->SetText("needle");
    dlg->CB1->SetChecked(true);
    dlg->Button1->Click();
  });
  Form->FindBtnClick(nullptr);
  ASSERT_TRUE(Form->Found);
  EXPECT_EQ(Form->CurrentPage, 3);
}

class FrPreviewPrinting : public FrPreview {
protected:
  void SetUp() override {
    FrPreview::SetUp();
    Log = std::make_shared<printtest::TJobLog>();
    FOld = SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{"Recorder"}, Log, false));
    FreeGlobalPrinter();
    Printer()->Refresh();
  }
  void TearDown() override {
    FrPreview::TearDown();
    SetPrinterSource(std::move(FOld));
    FreeGlobalPrinter();
  }
  std::shared_ptr<printtest::TJobLog> Log;

private:
  std::unique_ptr<TPrinterSource> FOld;
};

TEST_F(FrPreviewPrinting, SavedPagesLoadBackAndTheCurrentPagePrintsAlone) {
  Build(3);
  TfrEMFPages* pages = Report->PreparedPages();
  for (int i = 0; i < 3; ++i) Texts(pages, i, {"page " + IntToStr(i + 1), "-", "-"});
  Open(900, 500);
  ASSERT_TRUE(Form->PrintBtn->Enabled());
  ASSERT_TRUE(Form->PageSetupBtn->Visible() == Report->PreviewButtons().Contains(TfrPreviewButton::pbPageSetup));
  TempFolder dir;
  const String file = dir / "pages";
  {
    TDialogScript script;
    script.File(file, 1);
    TypeKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(script.Unanswered(), 0);
  }
  ASSERT_TRUE(FileExists(file + ".frp")) << "the extension is forced";
  EXPECT_EQ(Form->PageCount(), 3) << "the window has its pages again";
  EXPECT_EQ(Report->PreparedPages()->Count(), 0) << "the report holds none meanwhile";

  // Changed in the window, then the file read back over it.
  Form->Pages->Delete(2);
  Texts(Form->Pages.get(), 1, {"changed", "-", "-"});
  ASSERT_EQ(Form->PageCount(), 2);
  {
    TDialogScript script;
    script.File(file + ".frp");
    TypeKey(Qt::Key_O, Qt::ControlModifier);
  }
  ASSERT_EQ(Form->PageCount(), 3);
  EXPECT_EQ(Form->CurrentPage, 1);
  Form->Pages->ObjectsToPage(1);
  EXPECT_EQ(Form->Pages->PageInfo(1).PageObject->Objects[0]->Memo.Strings(0), "page 2");

  // The current page only, through the print dialog.
  TypeKey(Qt::Key_PageDown, Qt::ControlModifier);
  ASSERT_EQ(Form->CurrentPage, 2);
  TAtModal person([&] {
    auto* dlg = dynamic_cast<TfrPrintForm*>(Screen->ActiveCustomForm());
    ASSERT_NE(dlg, nullptr);
    dlg->RB2->SetChecked(true);
    dlg->Button1->Click();
  });
  TypeKey(Qt::Key_P, Qt::ControlModifier);
  ASSERT_EQ(Log->Pages.size(), 1u);
  EXPECT_NE(Log->Pages[0]->Text().find("page 2"), String::npos);
  EXPECT_EQ(Form->PageCount(), 3) << "shown again after printing";
}

TEST_F(FrPreviewPrinting, PageSetupMarginsPrepareTheReportAgain) {
  Build(2);
  Report->SetPreviewButtons(TfrReport::DefaultPreviewButtons() + TfrPreviewButton::pbPageSetup);
  Open(900, 500);
  ASSERT_TRUE(Form->PageSetupBtn->Visible());
  ASSERT_TRUE(Form->PageSetupBtn->Enabled());
  TRect shown{};
  TDialogHook old = SetDialogHook([&](TDialogRequest& r) {
    auto* d = dynamic_cast<TPageSetupDialog*>(r.Dialog);
    if (r.Kind != dkPageSetup || !d) return false;
    shown = d->Margins();
    d->SetMargins({1000, 1000, 1000, 1000});
    r.Result = 1;
    return true;
  });
  Click(Form->PageSetupBtn, {10, 10});
  SetDialogHook(old);
  EXPECT_EQ(shown, (TRect{0, 0, 0, 0})) << "the page's own margins, none";
  for (int m : {Page->LeftMargin, Page->TopMargin, Page->RightMargin, Page->BottomMargin}) EXPECT_EQ(m, 36);
  ASSERT_EQ(Form->PageCount(), 2) << "prepared again";
  EXPECT_EQ(Form->Pages->PageInfo(0).Margins, (TRect{36, 36, 36, 36}));
  EXPECT_EQ(Form->CurrentPage, 1);
}

TEST_F(FrPreview, WithoutPagesEveryCommandDoesNothing) {
  Form = new TfrPreviewForm(nullptr);
  Form->InitForm();
  Watch = std::make_unique<TWatch>(Form);
  Form->SetWindowState(wsNormal);
  Form->Show();
  Application->ProcessMessages();
  TDialogScript script;  // any dialog would be counted as unanswered
  for (auto cmd : {&TfrPreviewForm::ZoomBtnClick, &TfrPreviewForm::SaveBtnClick, &TfrPreviewForm::PrintBtnClick,
                   &TfrPreviewForm::FindBtnClick, &TfrPreviewForm::PageSetupBtnClick, &TfrPreviewForm::PgDownClick,
                   &TfrPreviewForm::LoadBtnClick})
    (Form->*cmd)(nullptr);
  EXPECT_EQ(script.Unanswered(), 0);
  EXPECT_EQ(Form->CurrentPage, 1);
  Form->PBox->Repaint();
  Application->ProcessMessages();
}

TEST_F(FrPreview, ActiveWindowNamesItsHelpFileAndKeepsHelpDisabled) {
  Build(1);
  Application->SetHelpFile("own.hlp");
  Open(600, 400);
  ASSERT_TRUE(WaitFor([&] { return Screen->ActiveCustomForm() == Form; }, 1000));
  EXPECT_EQ(Application->HelpFile(), "ZEvoda.hlp");
  EXPECT_FALSE(Form->HelpBtn->Enabled()) << "no help viewer";
  EXPECT_EQ(Form->ZoomBtn->HelpContext(), 200);
  EXPECT_EQ(Form->PBox->HelpContext(), 207);
  Form->FormDeactivate(Form);
  EXPECT_EQ(Application->HelpFile(), "own.hlp");
  Application->SetHelpFile("");
}

// The window for a person to look at: three pages side by side at 50 %.
TEST_F(FrPreview, ScreenshotOfThePreview) {
  Build(3);
  TfrEMFPages* pages = Report->PreparedPages();
  for (int i = 0; i < 3; ++i) Texts(pages, i, {"第 " + IntToStr(i + 1) + " 页", "合同清单", "Vizerav"});
  Open(1200, 600);
  Form->SetZoomTag(50);
  Form->Repaint();
  Application->ProcessMessages();
  QImage img = WidgetOf(Form)->grab().toImage();
  QDir().mkpath("screens");
  ASSERT_TRUE(img.save("screens/report_legacy_preview.png"));
  // The gray area, a white page, and its text in black.
  const TPoint origin = Form->PBox->ClientToParent({0, 0}, Form);
  auto at = [&](int x, int y) { return img.pixel(origin.X + x, origin.Y + y) & 0xFFFFFF; };
  EXPECT_EQ(at(3, 3), 0x808080u);
  const TRect p = PageRect(0);
  EXPECT_EQ(at(p.Left + 5, p.Bottom - 5), 0xFFFFFFu);
  EXPECT_EQ(at(p.Left, p.Top + 5), 0u) << "the page's border";
  bool ink = false;
  for (int y = p.Top + 2; y < p.Top + int(120 * Form->Zoom) && !ink; ++y)
    for (int x = p.Left + 2; x < p.Left + int(150 * Form->Zoom) && !ink; ++x)
      ink = (at(x, y) & 0xFF) < 0x80;
  EXPECT_TRUE(ink) << "the first text is drawn";
}

// ---------------------------------------------------------------- the embedding panel

TEST_F(FrPreview, PanelEmbedsThePagesAndReportsPageChanges) {
  Build(3);
  TForm host(nullptr);
  host.SetBounds(0, 0, 900, 600);
  auto* panel = new TfrPreview(&host);
  panel->SetParent(&host);
  panel->SetAlign(alClient);
  std::vector<int> changes;
  panel->OnPageChanged = TfrPageChangedEvent::Lambda([&](TfrPreview* Sender, int PageNo) {
    EXPECT_EQ(Sender, panel);
    changes.push_back(PageNo);
  });
  host.Show();
  Application->ProcessMessages();
  panel->Connect(Report);
  Application->ProcessMessages();
  EXPECT_EQ(Report->PreparedPages()->Count(), 0) << "the panel holds the pages";
  EXPECT_EQ(panel->PreviewWindow->PreviewPanel->Parent(), panel);
  EXPECT_EQ(panel->PreviewWindow->ToolPanel->Parent(), panel->PreviewWindow) << "no tool bar by default";
  EXPECT_EQ(panel->PreviewWindow->WheelFactor, 3);
  EXPECT_EQ(panel->Page(), 1);
  panel->PreviewWindow->PgDownClick(nullptr);
  EXPECT_EQ(panel->Page(), 2);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), 2);
  panel->SetScrollBars(ssHorizontal);
  EXPECT_FALSE(panel->PreviewWindow->RPanel->Visible());
  EXPECT_TRUE(panel->PreviewWindow->BPanel->Visible());
  panel->Disconnect();
  EXPECT_EQ(Report->PreparedPages()->Count(), 3) << "given back";
}

}  // namespace

namespace {

// An export filter that keeps the texts of the pages it is handed.
class TTextFilter : public TfrExportFilter {
public:
  void OnBeginPage() override { ++PagesBegun; }
  void OnData(int, int, TfrView*) override {}
  void OnText(const TRect&, int, int, const String& Text, Word, TfrView*) override { Lines.push_back(Text); }
  int PagesBegun = 0;
  std::vector<String> Lines;
};

TEST_F(FrPreview, SaveThroughARegisteredFilterExportsThePages) {
  Build(2);
  TfrEMFPages* pages = Report->PreparedPages();
  Texts(pages, 0, {"first", "-", "-"});
  Texts(pages, 1, {"second", "-", "-"});
  TTextFilter other, text;
  frRegisterExportFilter(&other, "Other (*.oth)", "*.oth");
  frRegisterExportFilter(&text, "Text (*.txt)", "*.txt", true);
  TScopeExit unregister([&] {
    frUnRegisterExportFilter(&other);
    frUnRegisterExportFilter(&text);
  });
  Open(900, 500);
  TempFolder dir;
  String filter;
  int preselected = 0;
  {
    TDialogScript script;
    script.File(dir / "out", 3);
    TDialogHook scripted = SetDialogHook(nullptr);
    SetDialogHook([&](TDialogRequest& r) {
      if (auto* d = dynamic_cast<TOpenDialog*>(r.Dialog)) {
        filter = d->Filter();
        preselected = d->FilterIndex();
      }
      return scripted(r);
    });
    TypeKey(Qt::Key_S, Qt::ControlModifier);
    SetDialogHook(scripted);
  }
  EXPECT_EQ(filter, LocaleText(55211) + " (*.frp)|*.frp|Other (*.oth)|*.oth|Text (*.txt)|*.txt");
  EXPECT_EQ(preselected, 3) << "the default filter, counting the .frp entry";
  EXPECT_EQ(text.PagesBegun, 2);
  EXPECT_EQ(other.PagesBegun, 0);
  EXPECT_NE(std::find(text.Lines.begin(), text.Lines.end(), "second"), text.Lines.end());
  EXPECT_EQ(text.FileName, dir / "out.txt") << "the extension from the filter's mask";
  EXPECT_EQ(Form->PageCount(), 2) << "shown again afterwards";
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
}

TEST_F(FrPreview, DraggingThePageAreaScrollsBothWays) {
  Build(3);
  Open(500, 400);
  ASSERT_GT(Form->VScrollBar->Max(), 0);
  ASSERT_GT(Form->HScrollBar->Max(), 0) << "an A4 page is wider than 500 pixels at 100 %";
  Form->VScrollBar->SetPosition(100);
  Form->HScrollBar->SetPosition(100);
  // A press on the page away from its objects, then a move up and left.
  const TPoint start{300, 300};
  Press(Form->PBox, start, Qt::LeftButton, 1000);
  Move(Form->PBox, {start.X - 40, start.Y - 60}, Qt::LeftButton);
  EXPECT_EQ(Form->HScrollBar->Position(), 140);
  EXPECT_EQ(Form->VScrollBar->Position(), 160);
  Release(Form->PBox, {start.X - 40, start.Y - 60});
  Move(Form->PBox, {start.X - 80, start.Y - 90});
  EXPECT_EQ(Form->VScrollBar->Position(), 160) << "released: moving no longer scrolls";
}

}  // namespace
