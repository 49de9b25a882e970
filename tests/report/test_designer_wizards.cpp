// The report wizards driven offscreen: the registrations, the empty reports, and the list
// report wizard over a report whose data set belongs to one of the program's forms.
#include "GuiTestUtil.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/MessageBox.h"
#include "core/Streams.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/ListCtrls.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxNewItem.h"
#include "report/designer/frxStdWizard.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxRes.h"

#include "DesignerFixture.h"

#include <QtCore/QDir>
#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <functional>

namespace {

// A data set with one field far wider than any page.
class TWideDataSet : public TfrxUserDataSet {
  KELM_CLASS(TWideDataSet, TfrxUserDataSet)
public:
  explicit TWideDataSet(TComponent* AOwner) : TfrxUserDataSet(AOwner) {}
  int DisplayWidth(const String& Field) override { return Field == "Notes" ? 200 : 10; }
};

}  // namespace

KELM_PUBLISH(TWideDataSet) {}

namespace {
using namespace designer_test;

constexpr double kMM = 3.77953;

class WizardTest : public DesignerDialogsTest {
protected:
  void SetUp() override {
    DesignerDialogsTest::SetUp();
    Holder.reset();
    Holder = std::make_unique<TForm>(nullptr);
    static_cast<TComponent*>(Holder.get())->SetName("DataForm");
    Wide = new TWideDataSet(Holder.get());
    Wide->SetName("CustomersDS");
    Wide->SetUserName("Customers");
    Wide->Fields()->SetText("Name\nAmount\nCity\nNotes");
    Suppliers = new TfrxUserDataSet(Holder.get());
    Suppliers->SetName("SuppliersDS");
    Suppliers->SetUserName("Suppliers");
    Suppliers->Fields()->SetText("Id\nTown");
    Report.SetFileName("old.fr3");
  }

  // Runs the wizard with Drive acting on its window; true when it finished.
  bool Run(TfrxCustomWizard& Wizard, const std::function<void(TfrxStdWizardForm*)>& Drive) {
    TModalStep step([&](TCustomForm* f) { Drive(static_cast<TfrxStdWizardForm*>(f)); });
    return Wizard.Execute();
  }

  static void ChooseDataSet(TfrxStdWizardForm* W, const String& UserName) {
    const int at = W->DatasetsCB->Items()->IndexOf(UserName);
    ASSERT_GE(at, 0) << UserName;
    W->DatasetsCB->SetItemIndex(at);
    W->DatasetsCBClick(W->DatasetsCB);
  }
  // Selects exactly the named entries of a list, the first of them current.
  static void Pick(TListBox* List, std::initializer_list<const char*> Names) {
    bool first = true;
    for (int i = 0; i < List->Items()->Count(); ++i) List->SetSelected(i, false);
    for (const char* n : Names) {
      const int at = List->Items()->IndexOf(n);
      ASSERT_GE(at, 0) << n;
      if (first) List->SetItemIndex(at);
      List->SetSelected(at, true);
      first = false;
    }
  }
  static std::vector<String> Entries(TStrings* S) {
    std::vector<String> v;
    for (int i = 0; i < S->Count(); ++i) v.push_back(S->Strings(i));
    return v;
  }

  TfrxReportPage* FirstPage() { return static_cast<TfrxReportPage*>(Report.Objects(0)); }
  template <class T> std::vector<T*> Bands() {
    std::vector<T*> found;
    for (int i = 0; i < FirstPage()->ObjectCount(); ++i)
      if (auto* b = dynamic_cast<T*>(FirstPage()->Objects(i))) found.push_back(b);
    return found;
  }
  static std::vector<TfrxCustomMemoView*> Memos(TfrxComponent* Band) {
    std::vector<TfrxCustomMemoView*> found;
    for (int i = 0; Band && i < Band->ObjectCount(); ++i)
      if (auto* m = dynamic_cast<TfrxCustomMemoView*>(Band->Objects(i))) found.push_back(m);
    return found;
  }
  double PageWidth() {
    TfrxReportPage* p = FirstPage();
    return (p->PaperWidth() - p->LeftMargin() - p->RightMargin()) * 96 / 25.4;
  }

  std::unique_ptr<TForm> Holder;
  TWideDataSet* Wide = nullptr;
  TfrxUserDataSet* Suppliers = nullptr;
};

// ---------------------------------------------------------------- registrations

TEST_F(WizardTest, TheFourWizardsAreRegisteredInOrderWithTheirButtonsAndTexts) {
  struct Entry {
    TClass Class;
    const char* Text;
    const char* Bitmap;
  };
  const Entry expected[] = {{TfrxStdWizard::StaticClass(), "标准报表向导", "frxSTDWIZARD"},
                            {TfrxStdEmptyWizard::StaticClass(), "标准报表", "frxSTDWIZARD1"},
                            {TfrxDotMatrixWizard::StaticClass(), "点矩阵报表向导", "frxSTDWIZARD"},
                            {TfrxDMPEmptyWizard::StaticClass(), "点矩阵报表", "frxSTDWIZARD1"}};
  int previous = -1;
  for (const Entry& e : expected) {
    int at = -1;
    for (int i = 0; i < WizardRegistry().Count(); ++i)
      if (WizardRegistry().ItemAt(i).WizardClass == e.Class) at = i;
    ASSERT_GT(at, previous) << e.Text << ": registered after the one before it";
    previous = at;
    const TfrxWizardItem& item = WizardRegistry().ItemAt(at);
    EXPECT_FALSE(item.OnToolBar);
    ASSERT_NE(item.Bitmap, nullptr);
    TBitmap authored;
    authored.LoadFromResourceName(e.Bitmap);
    EXPECT_EQ(item.Bitmap->Width(), authored.Width());
    EXPECT_EQ(std::memcmp(item.Bitmap->ScanLine(16), authored.ScanLine(16), 4 * authored.Width()), 0) << e.Bitmap;
    std::unique_ptr<TObject> w(e.Class->Create(nullptr));
    EXPECT_EQ(static_cast<TfrxCustomWizard*>(w.get())->Description(), e.Text);
  }
}

// ---------------------------------------------------------------- empty reports

TEST_F(WizardTest, EmptyWizardsLeaveOneBlankPageOfTheirKind) {
  struct Case {
    bool DotMatrix;
  };
  for (const Case c : {Case{false}, Case{true}}) {
    Report.SetFileName("old.fr3");
    Report.SetDotMatrixReport(!c.DotMatrix);
    TfrxStdEmptyWizard standard(Designer.get());
    TfrxDMPEmptyWizard dmp(Designer.get());
    EXPECT_TRUE(c.DotMatrix ? dmp.Execute() : standard.Execute());
    ASSERT_EQ(Report.ObjectCount(), 1);
    TfrxReportPage* page = FirstPage();
    EXPECT_EQ(page->Name(), "Page1");
    EXPECT_EQ(page->ObjectCount(), 0) << "the old band is gone";
    EXPECT_EQ(dynamic_cast<TfrxDMPPage*>(page) != nullptr, c.DotMatrix);
    EXPECT_EQ(Report.DotMatrixReport(), c.DotMatrix);
    EXPECT_EQ(Report.FileName(), "");
    EXPECT_NEAR(page->LeftMargin(), c.DotMatrix ? page->LeftMargin() : 10, 1e-9);
    EXPECT_GT(page->PaperWidth(), 0);
  }
}

TEST_F(WizardTest, TheNewItemDialogRunsTheEmptyWizardAndMarksTheDesignerModified) {
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxNewItemForm*>(f);
    d->ItemsLB->SetItemIndex(d->ItemsLB->Items()->IndexOf("点矩阵报表"));
    d->OkB->Click();
  });
  EXPECT_TRUE(RunNewItemDialog(Designer.get()));
  EXPECT_TRUE(Report.DotMatrixReport());
  EXPECT_NE(dynamic_cast<TfrxDMPPage*>(Report.Objects(0)), nullptr);
  EXPECT_TRUE(Designer->Modified());
}

TEST_F(WizardTest, AModifiedReportIsOfferedForSavingAndCancelRunsNothing) {
  struct Case {
    int Answer;
    bool Runs;
  };
  // Yes cannot save through a designer that is not the designer window: nothing runs.
  const Case cases[] = {{IDCANCEL, false}, {IDYES, false}, {IDNO, true}};
  for (const Case& c : cases) {
    for (bool window : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.Answer << (window ? " window" : " empty"));
      if (Report.ObjectCount() == 0 || FirstPage()->ObjectCount() == 0) new TfrxMasterData(FirstPage());
      Designer->FlagModified(true);
      std::vector<String> asked;
      SetMessageBoxHook([&](const String& Text, const String&, int) {
        asked.push_back(Text);
        return c.Answer;
      });
      TScopeExit unhook([] { SetMessageBoxHook(nullptr); });
      TfrxStdEmptyWizard empty(Designer.get());
      TfrxStdWizard standard(Designer.get());
      TModalStep step([](TCustomForm* f) { f->SetModalResult(mrCancel); });
      const bool ran = window ? standard.Execute() : empty.Execute();
      EXPECT_EQ(asked, std::vector<String>{"保存修改至 old.fr3?"});
      EXPECT_EQ(window ? step.Done() : ran, c.Runs);
      if (!window) EXPECT_EQ(FirstPage()->ObjectCount() == 0, c.Runs) << "the band is gone only when it ran";
      if (window) EXPECT_EQ(FirstPage()->ObjectCount(), 1) << "a cancelled window changes nothing";
      Report.SetFileName("old.fr3");
    }
  }
}

// ---------------------------------------------------------------- the wizard window

TEST_F(WizardTest, NextAndBackWalkTheVisibleSteps) {
  for (bool dmp : {false, true}) {
    std::vector<String> walked;
    bool backAtStart = true, nextAtEnd = true;
    TfrxStdWizard standard(Designer.get());
    TfrxDotMatrixWizard dotMatrix(Designer.get());
    Run(dmp ? static_cast<TfrxCustomWizard&>(dotMatrix) : standard, [&](TfrxStdWizardForm* w) {
      backAtStart = w->BackB->Enabled();
      walked.push_back(w->Pages->ActivePage()->Name());
      while (w->NextB->Enabled()) {
        w->NextB->Click();
        walked.push_back(w->Pages->ActivePage()->Name());
      }
      nextAtEnd = w->NextB->Enabled();
      EXPECT_TRUE(w->BackB->Enabled());
      w->BackB->Click();
      EXPECT_TRUE(w->NextB->Enabled());
      w->ModalResult() == mrNone ? w->SetModalResult(mrCancel) : void();
    });
    std::vector<String> expected = {"DataTab", "FieldsTab", "GroupsTab", "LayoutTab"};
    if (!dmp) expected.push_back("StyleTab");
    EXPECT_EQ(walked, expected) << dmp;
    EXPECT_FALSE(backAtStart);
    EXPECT_FALSE(nextAtEnd);
  }
}

TEST_F(WizardTest, FieldsMoveBetweenTheListsAndGroupsFollowTheSelection) {
  // A data set inside the report would go with the report's pages on Finish: not offered.
  auto* inner = new TfrxUserDataSet(Page);
  inner->SetName("InnerDS");
  inner->SetUserName("Inner");
  TfrxStdWizard wizard(Designer.get());
  Run(wizard, [&](TfrxStdWizardForm* w) {
    EXPECT_EQ(Entries(w->DatasetsCB->Items()), (std::vector<String>{"Customers", "Suppliers"}));
    EXPECT_EQ(w->ChosenDataSet(), Wide);
    ChooseDataSet(w, "Suppliers");
    EXPECT_EQ(Entries(w->FieldsLB->Items()), (std::vector<String>{"Id", "Town"}));
    EXPECT_EQ(w->FieldsLB->ItemIndex(), 0);
    ChooseDataSet(w, "Customers");
    EXPECT_EQ(Entries(w->FieldsLB->Items()), (std::vector<String>{"Name", "Amount", "City", "Notes"}));

    Pick(w->FieldsLB, {"Amount", "Notes"});
    w->AddFieldB->Click();
    EXPECT_EQ(Entries(w->SelectedFieldsLB->Items()), (std::vector<String>{"Amount", "Notes"}));
    EXPECT_EQ(Entries(w->FieldsLB->Items()), (std::vector<String>{"Name", "City"}));
    EXPECT_EQ(w->FieldsLB->ItemIndex(), 1) << "where the first moved field was";
    Pick(w->FieldsLB, {"City"});
    w->AddFieldB->Click();
    EXPECT_EQ(w->FieldsLB->ItemIndex(), 0) << "one up when the last entry went";

    Pick(w->SelectedFieldsLB, {"City"});
    w->FieldUpB->Click();
    EXPECT_EQ(Entries(w->SelectedFieldsLB->Items()), (std::vector<String>{"Amount", "City", "Notes"}));
    EXPECT_EQ(w->SelectedFieldsLB->ItemIndex(), 1);
    w->FieldUpB->Click();
    w->FieldUpB->Click();
    EXPECT_EQ(Entries(w->SelectedFieldsLB->Items()), (std::vector<String>{"City", "Amount", "Notes"}));

    w->Pages->SetActivePage(w->GroupsTab);
    w->GroupsTabShow(nullptr);
    EXPECT_EQ(Entries(w->AvailableFieldsLB->Items()), (std::vector<String>{"City", "Amount", "Notes"}));
    w->AvailableFieldsLB->SetItemIndex(1);
    w->AddGroupB->Click();
    w->AvailableFieldsLB->SetItemIndex(0);
    w->AddGroupB->Click();
    EXPECT_EQ(Entries(w->GroupsLB->Items()), (std::vector<String>{"Amount", "City"}));
    w->GroupsLB->SetItemIndex(1);
    w->GroupUpB->Click();
    EXPECT_EQ(Entries(w->GroupsLB->Items()), (std::vector<String>{"City", "Amount"}));
    EXPECT_EQ(w->GroupsLB->ItemIndex(), 0);
    w->RemoveGroupB->Click();
    EXPECT_EQ(Entries(w->AvailableFieldsLB->Items()), (std::vector<String>{"Notes", "City"}));

    // A change of the selected fields starts the groups afresh.
    Pick(w->SelectedFieldsLB, {"Notes"});
    w->RemoveFieldB->Click();
    EXPECT_EQ(Entries(w->AvailableFieldsLB->Items()), (std::vector<String>{"City", "Amount"}));
    EXPECT_EQ(w->GroupsLB->Items()->Count(), 0);
    w->AddAllFieldsB->Click();
    EXPECT_EQ(Entries(w->SelectedFieldsLB->Items()), (std::vector<String>{"Name", "Amount", "City", "Notes"}));
    EXPECT_EQ(w->FieldsLB->Items()->Count(), 0);
    w->RemoveAllFieldsB->Click();
    EXPECT_EQ(w->SelectedFieldsLB->Items()->Count(), 0);
    EXPECT_EQ(w->FieldsLB->Items()->Count(), 4);
    w->SetModalResult(mrCancel);
  });
}

TEST_F(WizardTest, CancellingLeavesTheReportAsItWas) {
  TfrxStdWizard wizard(Designer.get());
  TStringStream before;
  Report.SaveToStream(&before);
  EXPECT_FALSE(Run(wizard, [&](TfrxStdWizardForm* w) {
    w->AddAllFieldsB->Click();
    w->Pages->SetActivePage(w->StyleTab);
    w->SetModalResult(mrCancel);
  }));
  TStringStream after;
  Report.SaveToStream(&after);
  EXPECT_EQ(after.DataString(), before.DataString());
  EXPECT_EQ(Report.FileName(), "old.fr3");
  EXPECT_EQ(Page->ObjectCount(), 1) << "the band is still there";
}

// What one run of the wizard is to build, table by table.
struct GenerationCase {
  const char* Name;
  bool DotMatrix;
  std::vector<const char*> Fields;
  std::vector<const char*> Groups;
  bool Columnar;
  bool FitWidth;
  double PageHeaderMM;  // 0: no page header
  std::vector<String> HeaderTexts;
  std::vector<String> DataFields;
  double MasterMM;
};

TEST_F(WizardTest, FinishBuildsTheBandsAndTextObjects) {
  const GenerationCase cases[] = {
      {"no fields", false, {}, {}, false, true, 6, {}, {}, 5},
      {"one field grouped", false, {"Name", "Amount"}, {"Name"}, false, true, 6, {"Amount"}, {"Amount"}, 5},
      {"columnar", false, {"Name", "Amount"}, {}, true, true, 0, {}, {"Name", "Amount"}, 15},
      {"dot-matrix", true, {"Name", "Amount"}, {}, false, true, 6, {"Name", "Amount"}, {"Name", "Amount"}, 5},
      {"wide field, fitted", false, {"Notes"}, {}, false, true, 6, {"Notes"}, {"Notes"}, 5},
      {"wide field, not fitted", false, {"Notes"}, {}, false, false, 12, {"Notes"}, {"Notes"}, 10},
  };
  for (const GenerationCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Report.SetFileName("old.fr3");
    TfrxStdWizard standard(Designer.get());
    TfrxDotMatrixWizard dotMatrix(Designer.get());
    bool styleTabShown = true;
    const bool finished =
        Run(c.DotMatrix ? static_cast<TfrxCustomWizard&>(dotMatrix) : standard, [&](TfrxStdWizardForm* w) {
          styleTabShown = w->StyleTab->TabVisible();
          w->DatasetsCB->SetItemIndex(w->DatasetsCB->Items()->IndexOfObject(Wide));
          w->DatasetsCBClick(nullptr);
          for (const char* f : c.Fields) {
            Pick(w->FieldsLB, {f});
            w->AddFieldB->Click();
          }
          w->NextB->Click();
          w->NextB->Click();
          for (const char* g : c.Groups) {
            w->AvailableFieldsLB->SetItemIndex(w->AvailableFieldsLB->Items()->IndexOf(g));
            w->AddGroupB->Click();
          }
          w->NextB->Click();
          if (c.Columnar) w->ColumnarRB->SetChecked(true);
          if (!c.FitWidth) w->FitWidthCB->SetChecked(false);
          w->FinishB->Click();
        });
    ASSERT_TRUE(finished);
    EXPECT_EQ(styleTabShown, !c.DotMatrix);
    EXPECT_EQ(Report.DotMatrixReport(), c.DotMatrix);
    EXPECT_EQ(Report.FileName(), "");
    ASSERT_EQ(Report.DataSets()->Count(), 1);
    EXPECT_EQ(Report.DataSets()->Items(0)->DataSet(), Wide);

    // Every text object is of the mode's class and has a name of its own.
    std::set<String> names;
    for (TfrxComponent* o : Report.AllObjects())
      if (auto* m = dynamic_cast<TfrxCustomMemoView*>(o)) {
        EXPECT_EQ(dynamic_cast<TfrxDMPMemoView*>(m) != nullptr, c.DotMatrix) << m->Name();
        EXPECT_TRUE(names.insert(m->Name()).second) << m->Name();
      }

    auto titles = Bands<TfrxReportTitle>();
    ASSERT_EQ(titles.size(), 1u);
    // Dot-matrix bands keep to whole character rows, so only standard heights are exact.
    const double tolerance = c.DotMatrix ? 2 * kMM : 1e-6;
    EXPECT_NEAR(titles[0]->Height(), 7 * kMM, tolerance);
    ASSERT_EQ(Memos(titles[0]).size(), 1u);
    EXPECT_EQ(Memos(titles[0])[0]->Text(), "Report");

    auto headers = Bands<TfrxPageHeader>();
    ASSERT_EQ(headers.size(), c.PageHeaderMM > 0 ? 1u : 0u);
    if (c.PageHeaderMM > 0) {
      EXPECT_NEAR(headers[0]->Height(), c.PageHeaderMM * kMM, tolerance);
      std::vector<String> texts;
      int lines = 0;
      for (TfrxCustomMemoView* m : Memos(headers[0])) {
        if (m->Style() == "Header line") {
          ++lines;
          EXPECT_NEAR(m->Width(), PageWidth(), 1e-6);
          EXPECT_NEAR(m->Height(), headers[0]->Height(), 1e-6);
        } else {
          texts.push_back(m->Text());
        }
      }
      EXPECT_EQ(lines, c.DotMatrix ? 0 : 1);
      EXPECT_EQ(texts, c.HeaderTexts);
    }

    auto groups = Bands<TfrxGroupHeader>();
    ASSERT_EQ(groups.size(), c.Groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
      EXPECT_EQ(groups[i]->Condition(), String("Customers.\"") + c.Groups[i] + "\"");
      ASSERT_EQ(Memos(groups[i]).size(), 1u);
      EXPECT_EQ(Memos(groups[i])[0]->DataField(), c.Groups[i]);
      EXPECT_EQ(Memos(groups[i])[0]->DataSet(), Wide);
    }
    EXPECT_EQ(Bands<TfrxGroupFooter>().size(), c.Groups.size());

    auto masters = Bands<TfrxMasterData>();
    ASSERT_EQ(masters.size(), 1u);
    EXPECT_EQ(masters[0]->DataSet(), Wide);
    EXPECT_NEAR(masters[0]->Height(), c.MasterMM * kMM, tolerance);
    std::vector<String> bound, labels;
    for (TfrxCustomMemoView* m : Memos(masters[0])) {
      if (m->DataField().empty()) {
        labels.push_back(m->Text());
        continue;
      }
      bound.push_back(m->DataField());
      EXPECT_EQ(m->DataSet(), Wide);
      if (!c.Columnar) EXPECT_LE(m->Left() + m->Width(), PageWidth() + 1 + (c.FitWidth ? 0 : 1e6));
      if (!c.FitWidth) EXPECT_NEAR(m->Top(), 5 * kMM, 1e-6) << "the first row stays empty";
    }
    EXPECT_EQ(bound, c.DataFields);
    EXPECT_EQ(labels, c.Columnar ? c.DataFields : std::vector<String>{});

    auto footers = Bands<TfrxPageFooter>();
    ASSERT_EQ(footers.size(), 1u);
    std::vector<String> footerTexts;
    for (TfrxCustomMemoView* m : Memos(footers[0])) footerTexts.push_back(m->Text());
    EXPECT_EQ(footerTexts, (std::vector<String>{"", "[Date] [Time]", "Page [Page#]"}));
    EXPECT_EQ(Report.Styles()->Count(), c.DotMatrix ? 0 : 6);
  }
}

TEST_F(WizardTest, TheChosenStyleIsCopiedIntoTheReportAndApplied) {
  TfrxStdWizard wizard(Designer.get());
  ASSERT_TRUE(Run(wizard, [&](TfrxStdWizardForm* w) {
    EXPECT_EQ(Entries(w->StyleLB->Items()),
              (std::vector<String>{"Vizerav Report", "Standard", "Soft gray", "Corporate"}));
    Pick(w->FieldsLB, {"Name"});
    w->AddFieldB->Click();
    w->StyleLB->SetItemIndex(3);
    w->StyleLBClick(nullptr);
    w->FinishB->Click();
  }));
  EXPECT_EQ(Report.Styles()->Name(), "Corporate");
  ASSERT_EQ(Report.Styles()->Count(), 6);
  TfrxCustomMemoView* title = Memos(Bands<TfrxReportTitle>()[0])[0];
  EXPECT_EQ(title->Style(), "Title");
  EXPECT_EQ(title->Color(), 0);
  EXPECT_EQ(title->Font()->Color(), 16777215);
  EXPECT_TRUE(title->Font()->Style().Contains(fsBold));
  TfrxCustomMemoView* group = nullptr;
  for (TfrxCustomMemoView* m : Memos(Bands<TfrxPageHeader>()[0]))
    if (m->Style() == "Header") group = m;
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Color(), 0);
  TfrxCustomMemoView* data = Memos(Bands<TfrxMasterData>()[0])[0];
  EXPECT_EQ(data->Style(), "Data");
  EXPECT_EQ(data->Color(), clNone);
}

TEST_F(WizardTest, TheBuiltInStyleSheetHoldsFourCollectionsOfSixStyles) {
  TfrxStyleSheet sheet;
  FillWizardStyleSheet(&sheet);
  ASSERT_EQ(sheet.StylesCount(), 4);
  const char* names[] = {"Title", "Header", "Group header", "Data", "Group footer", "Header line"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(sheet.ItemAt(i)->Count(), 6);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(sheet.ItemAt(i)->ItemAt(k)->Name(), names[k]);
  }
  struct Probe {
    const char* Sheet;
    const char* Style;
    TColor Color;
    int Height;
    bool Bold;
    TfrxFrameTypes Frame;
    double FrameWidth;
  };
  const Probe probes[] = {
      {"Vizerav Report", "Title", 8388608, -16, true, {}, 1},
      {"Standard", "Group header", clNone, 0, false, {ftBottom}, 1},
      {"Standard", "Group footer", clNone, 0, false, {ftTop}, 1},
      {"Soft gray", "Data", clNone, 0, false, {}, 1},
      {"Corporate", "Group header", 52479, 0, true, {}, 1},
      {"Vizerav Report", "Header line", clNone, 0, false, {ftBottom}, 2},
  };
  for (const Probe& p : probes) {
    TfrxStyleItem* item = sheet.FindByName(p.Sheet)->FindByName(p.Style);
    ASSERT_NE(item, nullptr) << p.Sheet << p.Style;
    EXPECT_EQ(item->Color(), p.Color) << p.Sheet << p.Style;
    if (p.Height) EXPECT_EQ(item->Font()->Height(), p.Height);
    else EXPECT_EQ(item->Font()->Size(), 10);
    EXPECT_EQ(item->Font()->Name(), "Arial");
    EXPECT_EQ(item->Font()->Style().Contains(fsBold), p.Bold) << p.Sheet << p.Style;
    EXPECT_EQ(item->Frame()->Typ(), p.Frame) << p.Sheet << p.Style;
    EXPECT_DOUBLE_EQ(item->Frame()->Width(), p.FrameWidth);
  }
}

TEST_F(WizardTest, AGeneratedReportSavesAndReloadsEqual) {
  TfrxStdWizard wizard(Designer.get());
  ASSERT_TRUE(Run(wizard, [&](TfrxStdWizardForm* w) {
    w->DatasetsCB->SetItemIndex(w->DatasetsCB->Items()->IndexOfObject(Wide));
    w->DatasetsCBClick(nullptr);
    w->AddAllFieldsB->Click();
    w->AvailableFieldsLB->SetItemIndex(2);
    w->AddGroupB->Click();
    w->FinishB->Click();
  }));
  TStringStream saved;
  Report.SaveToStream(&saved);
  TfrxReport copy(nullptr);
  saved.SetPosition(0);
  copy.LoadFromStream(&saved);
  TStringStream again;
  copy.SaveToStream(&again);
  // The page's own line is left out: the printer's measured paper comes back as the paper
  // size's nominal one.
  auto withoutPageLine = [](String Text) {
    const size_t at = Text.find("<TfrxReportPage ");
    if (at != String::npos) Text.erase(at, Text.find('\n', at) - at);
    return Text;
  };
  EXPECT_EQ(withoutPageLine(again.DataString()), withoutPageLine(saved.DataString()));
  EXPECT_NE(saved.DataString().find("Customers.&#34;City&#34;"), String::npos) << saved.DataString().substr(0, 400);
}

TEST_F(WizardTest, ThePreviewsFollowTheChosenLayoutAndStyle) {
  TfrxStdWizard wizard(Designer.get());
  Run(wizard, [&](TfrxStdWizardForm* w) {
    auto texts = [](TfrxReport* R) {
      std::vector<String> t;
      for (TfrxComponent* o : R->AllObjects())
        if (auto* m = dynamic_cast<TfrxCustomMemoView*>(o)) t.push_back(m->Text());
      return t;
    };
    auto tabular = texts(w->LayoutSample());
    EXPECT_EQ(tabular[0], "Report");
    EXPECT_EQ(tabular[1], "Company");
    EXPECT_EQ(tabular.size(), 3u + 12u);
    w->ColumnarRB->SetChecked(true);
    w->TabularRBClick(nullptr);
    EXPECT_EQ(texts(w->LayoutSample()).size(), 1u + 2u * 8u);
    w->StyleLB->SetItemIndex(2);
    w->StyleLBClick(nullptr);
    EXPECT_EQ(w->StyleSample()->Styles()->Name(), "Soft gray");
    EXPECT_EQ(texts(w->StyleSample()).back(), "Count: 3");
    w->SetModalResult(mrCancel);
  });
}

TEST_F(WizardTest, TheStylePreviewPaintsTheChosenCollection) {
  TfrxStdWizard wizard(Designer.get());
  // Pixels of each colour ($BBGGRR) in the preview's scroll box.
  auto count = [](TfrxStdWizardForm* w, unsigned Rgb, const char* Shot) {
    Application->ProcessMessages();
    QImage img = guitest::WidgetOf(w->StyleSB)->grab().toImage();
    QDir().mkpath("screens");
    img.save(QString("screens/") + Shot);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == Rgb;
    return n;
  };
  const unsigned navy = 0x000080, gold = 0xFFCC00;  // the first collection's title, the last's group header
  int navyFirst = 0, goldFirst = 0, navyLast = 0, goldLast = 0;
  Run(wizard, [&](TfrxStdWizardForm* w) {
    w->Pages->SetActivePage(w->StyleTab);
    navyFirst = count(w, navy, "wizard_style_first.png");
    goldFirst = count(w, gold, "wizard_style_first_gold.png");
    w->StyleLB->SetItemIndex(3);
    w->StyleLBClick(nullptr);
    navyLast = count(w, navy, "wizard_style_corporate.png");
    goldLast = count(w, gold, "wizard_style_corporate_gold.png");
    w->SetModalResult(mrCancel);
  });
  EXPECT_GT(navyFirst, 100 * 10) << "the title's background";
  EXPECT_EQ(goldFirst, 0);
  EXPECT_EQ(navyLast, 0);
  EXPECT_GT(goldLast, 100 * 10) << "the group header's background";
}

}  // namespace
