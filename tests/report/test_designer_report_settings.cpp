// The designer's report-wide dialogs driven offscreen: report settings, report data sets and
// connections, tab order, new item and about.
#include "GuiTestUtil.h"
#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/Registry.h"
#include "core/StringList.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/Memo.h"
#include "gui/Shell.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxAbout.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxEditReport.h"
#include "report/designer/frxEditReportData.h"
#include "report/designer/frxEditTabOrder.h"
#include "report/designer/frxNewItem.h"
#include "report/frxDsgnIntf.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "DesignerFixture.h"

#include <gtest/gtest.h>

namespace {
using namespace designer_test;
using namespace guitest;

class TTabButton : public TfrxDialogControl {
  KELM_CLASS(TTabButton, TfrxDialogControl)
public:
  explicit TTabButton(TComponent* AOwner) : TfrxDialogControl(AOwner) { InitControl(new TButton(nullptr)); }
};

class TTabLabel : public TfrxDialogControl {
  KELM_CLASS(TTabLabel, TfrxDialogControl)
public:
  explicit TTabLabel(TComponent* AOwner) : TfrxDialogControl(AOwner) { InitControl(new TLabel(nullptr)); }
};

// A wizard that counts its runs and says whether it changed the report.
class TCountingWizard : public TfrxCustomWizard {
  KELM_CLASS(TCountingWizard, TfrxCustomWizard)
public:
  explicit TCountingWizard(TComponent* AOwner) : TfrxCustomWizard(AOwner) {}
  static int& Runs() {
    static int n = 0;
    return n;
  }
  String Description() const override { return "Counting wizard"; }
  bool Execute() override {
    ++Runs();
    return Designer() != nullptr;
  }
};

}  // namespace

KELM_PUBLISH(TTabButton) {}
KELM_PUBLISH(TTabLabel) {}
KELM_PUBLISH(TCountingWizard) {}

namespace {

using ReportSettingsTest = DesignerDialogsTest;

// ---------------------------------------------------------------- report settings

TEST_F(ReportSettingsTest, ABadCopyCountKeepsTheDialogOpenAndWritesNothing) {
  Report.PrintOptions()->SetPrinter("");
  Report.PrintOptions()->SetCopies(2);
  Report.ReportOptions()->SetAuthor("Old");
  bool threw = false, stillOpen = false, focused = false;
  int selected = 0;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxReportEditorForm*>(f);
    selected = d->PrintersLB->ItemIndex();
    EXPECT_EQ(d->PrintersLB->Items()->Strings(0), ReportResources()->TextOf("prDefault"));
    EXPECT_EQ(d->CopiesE->Text(), "2");
    d->AuthorE->SetText("New");
    d->CopiesE->SetText("x");
    try {
      d->OkB->Click();
    } catch (const EConvertError&) {
      threw = true;
    }
    stillOpen = d->ModalResult() == mrNone;
    focused = d->ActiveControl() == d->CopiesE;
    EXPECT_EQ(Report.ReportOptions()->Author(), "Old") << "nothing written yet";
    d->CopiesE->SetText(" 3 ");
    d->MajorE->SetText("2");
    d->DoublePassCB->SetChecked(true);
    d->OkB->Click();
  });
  EXPECT_TRUE(EditReportSettings(Designer.get()));
  EXPECT_EQ(selected, -1) << "no printer named: none selected";
  EXPECT_TRUE(threw);
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(focused);
  EXPECT_EQ(Report.PrintOptions()->Printer(), "") << "no entry chosen: nothing stored";
  EXPECT_EQ(Report.PrintOptions()->Copies(), 3);
  EXPECT_EQ(Report.ReportOptions()->Author(), "New");
  EXPECT_EQ(Report.ReportOptions()->VersionMajor(), "2");
  EXPECT_TRUE(Report.EngineOptions()->DoublePass());
}

TEST_F(ReportSettingsTest, TheDefaultPrinterEntryIsChosenAndStoredByItsText) {
  Report.PrintOptions()->SetPrinter(ReportResources()->TextOf("prDefault"));
  int selected = -1;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxReportEditorForm*>(f);
    selected = d->PrintersLB->ItemIndex();
    EXPECT_EQ(d->PrinterEntryText(0), ReportResources()->TextOf("prDefault")) << "no port after the default";
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditReportSettings(Designer.get()));
  EXPECT_EQ(selected, 0);
}

// ---------------------------------------------------------------- report data

std::vector<String> Listed(TfrxReportDataForm* D) {
  std::vector<String> lines;
  for (int i = 0; i < D->DatasetsLB->Items()->Count(); ++i)
    lines.push_back(D->DatasetsLB->Items()->Strings(i) + (D->DatasetsLB->Checked(i) ? " *" : ""));
  return lines;
}

TEST_F(ReportSettingsTest, ReportDataOffersEveryNamedDataSetWhenNoneIsOffered) {
  TfrxUserDataSet alpha(nullptr);
  alpha.SetUserName("Alpha");
  Report.DataSets()->Clear();
  Report.DataSets()->AddDataSet(&Orders);
  std::vector<String> shown;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxReportDataForm*>(f);
    EXPECT_FALSE(d->ConnectionsMode());
    shown = Listed(d);
    d->DatasetsLB->SetChecked(0, true);   // Alpha
    d->DatasetsLB->SetChecked(2, false);  // Orders
    d->OKB->Click();
  });
  EXPECT_TRUE(EditReportData(Designer.get(), &Report));
  EXPECT_EQ(shown, (std::vector<String>{"Alpha", "Customers", "Orders *"}));
  ASSERT_EQ(Report.DataSets()->Count(), 1);
  EXPECT_EQ(Report.DataSets()->Items(0)->DataSet(), &alpha);
  Report.DataSets()->Clear();
}

TEST_F(ReportSettingsTest, ReportDataOffersOnlyTheOfferedDataSets) {
  Report.OfferedDataSets()->AddDataSet(&Orders);
  std::vector<String> shown;
  TModalStep step([&](TCustomForm* f) {
    shown = Listed(static_cast<TfrxReportDataForm*>(f));
    static_cast<TfrxReportDataForm*>(f)->CancelB->Click();
  });
  EXPECT_FALSE(EditReportData(Designer.get(), &Report));
  EXPECT_EQ(shown, (std::vector<String>{"Orders *"}));
  EXPECT_EQ(Report.DataSets()->Count(), 2) << "Cancel changes nothing";
}

TEST_F(ReportSettingsTest, AStandaloneDesignerPicksOneNamedConnection) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  registry.DeleteKey(frxConnectionsKey);
  ASSERT_TRUE(registry.OpenKey(frxConnectionsKey, true));
  for (const char* name : {"Alpha", "Beta", "Gamma"}) registry.WriteString(name, String("Data Source=") + name);
  registry.CloseKey();
  TfrxDesigner component(nullptr);
  component.SetStandalone(true);
  Report.ReportOptions()->SetConnectionName("beta");
  std::vector<String> shown;
  String caption;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxReportDataForm*>(f);
    caption = d->Caption();
    shown = Listed(d);
    for (int i : {0, 2}) {  // checking one unchecks the others
      d->DatasetsLB->SetItemIndex(i);
      d->DatasetsLB->SetChecked(i, true);
      d->DatasetsLBClickCheck(d->DatasetsLB);
    }
    EXPECT_EQ(Listed(d), (std::vector<String>{"Alpha", "Beta", "Gamma *"}));
    d->OKB->Click();
  });
  EXPECT_TRUE(EditReportData(Designer.get(), &Report));
  registry.DeleteKey(frxConnectionsKey);
  EXPECT_EQ(caption, ResourceText(5800));
  EXPECT_EQ(shown, (std::vector<String>{"Alpha", "Beta *", "Gamma"}));
  EXPECT_EQ(Report.ReportOptions()->ConnectionName(), "Gamma");
}

// ---------------------------------------------------------------- tab order

TEST_F(ReportSettingsTest, TabOrderMovesLiveAndCancelPutsTheOrderBack) {
  auto* page = new TfrxDialogPage(&Report);
  page->SetName("DialogPage1");
  std::vector<TfrxComponent*> made;
  const std::pair<bool, const char*> children[] = {{true, "A"}, {false, "L"}, {true, "B"}, {true, "C"}};
  for (auto [windowed, name] : children) {
    TfrxComponent* c = windowed ? static_cast<TfrxComponent*>(new TTabButton(page)) : new TTabLabel(page);
    c->SetName(name);
    made.push_back(c);
  }
  auto order = [&] {
    String s;
    for (int i = 0; i < page->ObjectCount(); ++i) s += page->Objects(i)->Name();
    return s;
  };
  Designer->ChangePage(page);
  for (bool ok : {false, true}) {
    std::vector<String> listed;
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxTabOrderEditorForm*>(f);
      for (int i = 0; i < d->ControlsLB->Items()->Count(); ++i) listed.push_back(d->ControlsLB->Items()->Strings(i));
      d->ControlsLB->SetItemIndex(1);  // B
      d->UpB->Click();
      EXPECT_EQ(order(), "BLAC") << "the two swap at their own places";
      EXPECT_EQ(d->ControlsLB->ItemIndex(), 0);
      d->UpB->Click();  // first already: nothing
      d->ControlsLB->SetItemIndex(2);
      d->DownB->Click();  // last already: nothing
      EXPECT_EQ(order(), "BLAC");
      (ok ? d->OkB : d->CancelB)->Click();
    });
    EXPECT_EQ(EditTabOrder(Designer.get()), ok);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0], "A: " + made[0]->DisplayTypeName());
    EXPECT_EQ(order(), ok ? "BLAC" : "ALBC");
  }
}

// ---------------------------------------------------------------- new item

TEST_F(ReportSettingsTest, NewItemRunsTheChosenWizardAfterTheDialogIsGone) {
  WizardRegistry().RegisterWizardClass(TCountingWizard::StaticClass(), nullptr, false);
  TCountingWizard::Runs() = 0;
  struct Case {
    bool Choose;
    bool Ok;
    int Runs;
  };
  const Case cases[] = {{false, true, 0}, {true, false, 0}, {true, true, 1}};
  for (const Case& c : cases) {
    TCountingWizard::Runs() = 0;
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxNewItemForm*>(f);
      const int at = d->ItemsLB->Items()->IndexOf("Counting wizard");
      ASSERT_GE(at, 0);
      EXPECT_FALSE(d->TemplatesTab->TabVisible());
      if (c.Choose) d->ItemsLB->SetItemIndex(at);
      (c.Ok ? d->OkB : d->CancelB)->Click();
    });
    EXPECT_EQ(RunNewItemDialog(Designer.get()), c.Runs == 1);
    EXPECT_EQ(TCountingWizard::Runs(), c.Runs) << c.Choose << c.Ok;
  }
  EXPECT_TRUE(Designer->Modified());
  WizardRegistry().UnregisterWizardClass(TCountingWizard::StaticClass());
}

// ---------------------------------------------------------------- about

TEST_F(ReportSettingsTest, AboutOpensItsLinksThroughTheShellAndEscapeCloses) {
  std::vector<String> opened;
  TShellHandler previous = SetShellHandler([&](const String& Url) {
    opened.push_back(Url);
    return true;
  });
  String version, mark;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxAboutForm*>(f);
    version = d->Label2->Caption();
    mark = d->Label10->Caption();
    d->LabelClick(d->Label5);
    d->LabelClick(d->Label9);
    d->LabelClick(d->Label4);  // no link
    d->SetFocus();
    TypeKey(Qt::Key_Escape);
  });
  ShowAboutBox(Designer.get());
  SetShellHandler(previous);
  EXPECT_EQ(version, "Version 3.23.7");
  EXPECT_EQ(mark, "®");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_NE(opened[0].find("vizerav"), String::npos);
  EXPECT_EQ(opened[1].rfind("mailto:", 0), 0u);
}

}  // namespace
