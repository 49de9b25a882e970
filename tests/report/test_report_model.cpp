// The report object model: naming, design restrictions, fonts passed down, aligned views,
// copies through the .fr3 form, variables with their categories and files, styles and style
// sheets, and what a report does when a data set it uses goes away.
#include "TempFolder.h"
#include "TestViews.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/IniFiles.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxVariables.h"
#include "report/frxXML.h"
#include "gui/ExtCtrls.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

// Dialog objects over real controls: a button that shows its caption and a panel that holds
// other controls.
class TTestButtonControl : public TfrxDialogControl {
  KELM_CLASS(TTestButtonControl, TfrxDialogControl)
public:
  explicit TTestButtonControl(TComponent* AOwner) : TfrxDialogControl(AOwner) { InitControl(new TButton(nullptr)); }
};

class TTestPanelControl : public TfrxDialogControl {
  KELM_CLASS(TTestPanelControl, TfrxDialogControl)
public:
  explicit TTestPanelControl(TComponent* AOwner) : TfrxDialogControl(AOwner) {
    auto* panel = new TPanel(nullptr);
    panel->SetCaption("");
    InitControl(panel);
  }
};

// A dialog page with a window of its own.
class TTestDialogPage : public TfrxPage {
  KELM_CLASS(TTestDialogPage, TfrxPage)
public:
  explicit TTestDialogPage(TComponent* AOwner) : TfrxPage(AOwner), FForm(std::make_unique<TForm>(nullptr)) {}
  bool IsDialogPage() const override { return true; }
  TWinControl* DialogForm() const override { return FForm.get(); }

private:
  std::unique_ptr<TForm> FForm;
};

}  // namespace

KELM_PUBLISH(TTestButtonControl) {}
KELM_PUBLISH(TTestPanelControl) {}
KELM_PUBLISH(TTestDialogPage) {}

namespace {

TTestView* View(TfrxComponent* Parent, const String& Name) {
  auto* v = new TTestView(Parent);
  if (!Name.empty()) v->SetName(Name);
  return v;
}

// ---------------------------------------------------------------- names

TEST(ReportModel, NumberedNamesDuplicatesAndTheNameIndex) {
  TfrxReport r(nullptr);
  TTestView* page = View(&r, "Page1");
  View(page, "TTest1");
  View(page, "ttest3");
  TTestView* fresh = View(page, "");
  fresh->AssignNumberedName();
  EXPECT_EQ(fresh->BaseName(), "TTest");  // the first "View" goes
  EXPECT_EQ(fresh->Name(), "TTest2");

  // A name another object of the report has, in any case, is refused and the old one kept.
  try {
    fresh->SetName("TTEST1");
    ADD_FAILURE() << "a duplicate name must be refused";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Duplicate name");
  }
  EXPECT_EQ(fresh->Name(), "TTest2");
  fresh->SetName("ttest2");  // its own name in another case is fine
  EXPECT_EQ(r.FindObject("TTest2"), fresh);

  // The index follows renames, moves out of the report and frees.
  fresh->SetName("Other");
  EXPECT_EQ(r.FindObject("TTest2"), nullptr);
  EXPECT_EQ(r.FindObject("other"), fresh);
  TfrxReport elsewhere(nullptr);
  page->SetParent(&elsewhere);
  EXPECT_EQ(r.FindObject("Other"), nullptr);
  EXPECT_EQ(elsewhere.FindObject("Other"), fresh);
  delete fresh;
  EXPECT_EQ(elsewhere.FindObject("Other"), nullptr);
  EXPECT_EQ(elsewhere.FindObject("TTest1")->Parent(), page);
}

// ---------------------------------------------------------------- bounds and fonts

TEST(ReportModel, RestrictionsHoldOnlyWhileDesigning) {
  TfrxReport r(nullptr);
  auto* designed = static_cast<TTestView*>(TfrxComponent::CreateForDesign(TTestView::StaticClass(), &r));
  EXPECT_TRUE(designed->IsDesigning());
  designed->SetRestrictions(TfrxRestrictions{rfDontMove});
  designed->SetBounds(5, 5, 50, 50);
  EXPECT_EQ(designed->Left(), 0);
  EXPECT_EQ(designed->Top(), 0);
  EXPECT_EQ(designed->Width(), 50);
  EXPECT_EQ(designed->Height(), 50);
  designed->SetRestrictions(TfrxRestrictions{rfDontSize});
  designed->SetBounds(5, 5, 60, 60);
  EXPECT_EQ(designed->Left(), 5);
  EXPECT_EQ(designed->Width(), 50);

  TTestView* running = View(&r, "Run");  // outside the designer every value is stored
  running->SetRestrictions(TfrxRestrictions{rfDontMove, rfDontSize});
  running->SetBounds(5, 5, 50, 50);
  EXPECT_EQ(running->Left(), 5);
  EXPECT_EQ(running->Width(), 50);
}

TEST(ReportModel, FontsPassDownUntilAChildHasItsOwn) {
  TfrxReport r(nullptr);
  TTestView* band = View(&r, "Band");
  TTestView* child = View(band, "Child");
  TTestView* grandchild = View(child, "Grand");
  band->Font()->SetName("宋体");
  EXPECT_EQ(child->Font()->Name(), "宋体");
  EXPECT_EQ(grandchild->Font()->Name(), "宋体");
  EXPECT_FALSE(band->ParentFont());  // a changed font stops inheriting
  EXPECT_TRUE(child->ParentFont());

  TFont own;
  own.SetName("Courier New");
  child->SetFont(&own);
  EXPECT_FALSE(child->ParentFont());
  band->Font()->SetSize(20);
  EXPECT_EQ(child->Font()->Name(), "Courier New");
  EXPECT_EQ(grandchild->Font()->Name(), "Courier New");  // follows its parent now

  TTestView* other = View(&r, "Other");
  other->Font()->SetName("Arial");
  TTestView* moved = View(other, "Moved");
  moved->SetParent(band);  // a child that inherits takes its new parent's font
  EXPECT_EQ(moved->Font()->Name(), "宋体");
  EXPECT_EQ(moved->Font()->Size(), 20);
}

TEST(ReportModel, AbsolutePositionsAndAlignedChildren) {
  TfrxReport r(nullptr);
  TTestView* band = View(&r, "Band");
  band->SetBounds(10, 100, 300, 40);
  TTestView* a = View(band, "A");
  a->SetBounds(50, 0, 20, 10);
  a->SetAlign(baLeft);
  TTestView* b = View(band, "B");
  b->SetBounds(100, 5, 30, 10);
  b->SetAlign(baLeft);
  TTestView* right = View(band, "R");
  right->SetBounds(150, 0, 40, 10);
  right->SetAlign(baRight);
  TTestView* box = View(&r, "Box");  // whole-area and bottom views on a band of their own
  box->SetBounds(0, 0, 300, 40);
  TTestView* client = View(box, "C");
  client->SetBounds(0, 30, 1, 1);
  client->SetAlign(baClient);
  TTestView* bottom = View(box, "D");
  bottom->SetBounds(0, 0, 10, 8);
  bottom->SetAlign(baBottom);
  EXPECT_EQ(b->AbsLeft(), 110);
  EXPECT_EQ(b->AbsTop(), 105);

  band->ArrangeAlignedChildren();
  box->ArrangeAlignedChildren();
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(b->Left(), 20);
  EXPECT_EQ(right->Left(), 260);
  EXPECT_EQ(client->Left(), 0);
  EXPECT_EQ(client->Width(), 300);
  EXPECT_EQ(client->Height(), 40);
  EXPECT_EQ(bottom->Top(), 32);

  // Print passes keep the bounds and give them back.
  b->SaveStateForPrint();
  b->SetBounds(1, 2, 3, 4);
  b->RestoreStateAfterPrint();
  EXPECT_EQ(b->Left(), 20);
  EXPECT_EQ(b->AbsoluteRect().Right, 10 + 20 + 30);
}

TEST(ReportModel, AssignCopiesThroughTheDefinitionFormAndDiffersOnlyWhereItDiffers) {
  TfrxReport r(nullptr);
  TTestView* source = View(&r, "Source");
  source->SetBounds(1, 2, 3, 4);
  source->Lines()->SetText("x");
  View(source, "SourceChild");
  TTestView* target = View(&r, "Target");
  View(target, "Doomed");

  target->Assign(source);
  EXPECT_EQ(target->Name(), "Target");
  EXPECT_EQ(target->Width(), 3);
  EXPECT_EQ(target->Lines()->Text(), source->Lines()->Text());
  EXPECT_EQ(target->ObjectCount(), 0);  // its children went, the source's were not taken
  EXPECT_EQ(r.FindObject("Doomed"), nullptr);

  EXPECT_EQ(target->DiffAttributes(source), "");
  target->SetBounds(1, 2.00001, 5, 4);
  target->SetVisible(false);
  target->SetTag(9);
  EXPECT_EQ(target->DiffAttributes(source), " w=\"5\" Visible=\"0\" Tag=\"9\"");
  String full = target->FullAttributes(nullptr);
  EXPECT_TRUE(StartsStr("Left=\"1\" Top=\"2.00001\" Width=\"5\"", full.substr(full.find("Left="))));
}

// ---------------------------------------------------------------- variables

struct TVariablesFixture : ::testing::Test {
  TfrxVariables v;
  void SetUp() override {
    for (const char* name : {"a", " Cat1", "b", "c", " Cat2", "d"}) v.SetVariables(name, String(name) + "!");
  }
  String Names() const {
    String s;
    for (int i = 0; i < v.Count(); ++i) s += (i ? "," : "") + v.ItemAt(i)->Name();
    return s;
  }
};

TEST_F(TVariablesFixture, CategoriesAndTheirOperations) {
  TStringList list;
  v.ListCategories(&list);
  EXPECT_EQ(list.CommaText(), "Cat1,Cat2");
  v.ListCategoryVariables("CAT1", &list);
  EXPECT_EQ(list.CommaText(), "b,c");
  v.ListCategoryVariables("", &list);
  EXPECT_EQ(list.CommaText(), "a");
  v.ListCategoryVariables("Missing", &list);
  EXPECT_EQ(list.Count(), 0);

  v.AddToCategory("Cat1", "x", 1);
  v.AddToCategory("Cat2", "y", 2);
  v.AddToCategory("Missing", "z", 3);
  EXPECT_EQ(Names(), "a, Cat1,b,c,x, Cat2,d,y");
  EXPECT_TRUE(VarIsNull(v.GetVariables("nobody")));
  v.SetVariables("late", 5);
  EXPECT_EQ(Names(), "a, Cat1,b,c,x, Cat2,d,y,late");
  EXPECT_EQ(v.FindIndex("Cat1"), -1);  // headings answer only with their blank
  EXPECT_EQ(v.FindIndex(" cat1"), 1);
  v.RemoveCategory("Cat1");
  EXPECT_EQ(Names(), "a, Cat2,d,y,late");
  v.RemoveVariable("D");
  EXPECT_EQ(Names(), "a, Cat2,y,late");
}

TEST_F(TVariablesFixture, DictionaryFilesRoundTripAndAnotherRootLoadsNothing) {
  TempFolder dir;
  v.SetVariables("text", "a & \"b\"");
  v.WriteToFile(dir / "vars.fd3");
  String file = dir.Read("vars.fd3");
  EXPECT_TRUE(StartsStr("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<variables>\r\n  <item Name=\"a\" Value=\"a!\"/>\r\n"
                        "  <item Name=\" Cat1\" Value=\" Cat1!\"/>",
                        file))
      << file;
  TfrxVariables back;
  back.ReadFromFile(dir / "vars.fd3");
  ASSERT_EQ(back.Count(), v.Count());
  for (int i = 0; i < v.Count(); ++i) {
    EXPECT_EQ(back.ItemAt(i)->Name(), v.ItemAt(i)->Name());
    EXPECT_EQ(back.ItemAt(i)->Value().AsString(), v.ItemAt(i)->Value().AsString());
  }
  dir.Write("other.fd3", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<style><item Name=\"x\"/></style>");
  back.ReadFromFile(dir / "other.fd3");
  EXPECT_EQ(back.Count(), 0);
}

// ---------------------------------------------------------------- styles

TEST(ReportStyles, NumberedNamesDuplicatesFilesAndApplyingToTextObjects) {
  TfrxReport r(nullptr);
  TfrxStyles* styles = r.Styles();
  styles->AppendItem()->SetName("Style1");
  styles->AppendItem()->SetName("Style3");
  TfrxStyleItem* fresh = styles->AppendItem();
  fresh->AssignNumberedName();
  EXPECT_EQ(fresh->Name(), "Style2");
  EXPECT_THROW(fresh->SetName("STYLE1"), Exception);
  fresh->SetName("style2");  // its own name in another case
  fresh->SetColor(clRed);

  TempFolder dir;
  styles->SetName("Look");
  styles->WriteToFile(dir / "look.fs3");
  TfrxStyles back;
  back.ReadFromFile(dir / "look.fs3");
  EXPECT_EQ(back.Name(), "Look");
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.ItemAt(2)->Color(), clRed);

  // A style file repeating a name: the second item keeps an empty name.
  dir.Write("dup.fs3", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<style Name=\"S\">\r\n"
                       "<item Name=\"A\"/>\r\n<item Name=\"a\"/>\r\n</style>\r\n");
  back.ReadFromFile(dir / "dup.fs3");
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.ItemAt(1)->Name(), "");

  // Objects whose style is gone lose the name and keep their look.
  TTestView* keeps = View(&r, "Keeps");
  keeps->SetStyle("Style2");
  EXPECT_EQ(keeps->Color(), clRed);
  TTestView* loses = View(&r, "Loses");
  loses->SetStyle("Style3");
  TfrxStyles replacement;
  TfrxStyleItem* s2 = replacement.AppendItem();
  s2->SetName("Style2");
  s2->SetColor(clBlue);
  r.AssignStyles(&replacement);
  EXPECT_EQ(keeps->Color(), clBlue);
  EXPECT_EQ(loses->Style(), "");
  r.AssignStyles(nullptr);
  EXPECT_EQ(r.Styles()->Count(), 0);

  dir.Write("sheet.fss", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<stylesheet>\r\n"
                         "<style Name=\"One\"/>\r\n<other/>\r\n<style Name=\"Two\"/>\r\n<style Name=\"Three\"/>\r\n"
                         "</stylesheet>\r\n");
  TfrxStyleSheet sheet;
  sheet.ReadFromFile(dir / "sheet.fss");
  TStringList names;
  sheet.ListNames(&names);
  EXPECT_EQ(names.CommaText(), "One,Two,Three");
  EXPECT_EQ(sheet.FindByName("two"), sheet.ItemAt(1));
}

// ---------------------------------------------------------------- data sets and the designer

class TFakeDesigner : public TfrxCustomDesigner {
public:
  using TfrxCustomDesigner::TfrxCustomDesigner;
  int Refreshes = 0;
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override { ++Refreshes; }
  void RepaintPage() override {}
};

TEST(ReportModel, AFreedDataSetLeavesTheReportAndTheOpenDesignerRefreshesItsTree) {
  TfrxReport r(nullptr);
  auto* kept = new TfrxDBDataset(nullptr);
  kept->SetName("Kept");
  auto* freed = new TfrxDBDataset(nullptr);
  freed->SetName("Freed");
  r.DataSets()->AddDataSet(kept);
  r.DataSets()->AddDataSet(freed);
  r.SetDataSet(freed);
  TFakeDesigner designer(nullptr, &r);
  r.SetDesigner(&designer);
  delete freed;
  EXPECT_EQ(designer.Refreshes, 1);
  ASSERT_EQ(r.DataSets()->Count(), 1);
  EXPECT_EQ(r.DataSets()->FindItemOf(kept), r.DataSets()->ItemAt(0));
  EXPECT_EQ(r.DataSet(), nullptr);
  r.SetDesigner(nullptr);
  designer.FlagModified(true);
  EXPECT_TRUE(r.Modified());

  EXPECT_EQ(r.AliasOfDataSet(kept), "Kept");
  EXPECT_EQ(r.AliasOfDataSet(nullptr), "");
  TfrxDBDataset outside(nullptr);
  outside.SetName("Outside");
  EXPECT_NE(r.AliasOfDataSet(&outside).find("Outside"), String::npos);
  TfrxDataSet* ds;
  String field;
  r.SplitDataSetField("kept.\"Name\"", ds, field);
  EXPECT_EQ(ds, kept);
  EXPECT_EQ(field, "Name");
  r.SplitDataSetField("Kept.Name", ds, field);
  EXPECT_EQ(ds, nullptr);
  EXPECT_EQ(field, "");
  TStringList list;
  r.ListDataSets(&list);
  EXPECT_EQ(list.CommaText(), "Kept");
  delete kept;
}

TEST(ReportModel, DialogControlsMirrorTheirObjectAndLiveWhereTheirParentSays) {
  TfrxReport r(nullptr);
  auto* page = new TTestDialogPage(&r);
  page->SetBounds(100, 100, 400, 300);
  auto* button = new TTestButtonControl(page);
  button->SetName("Button1");
  button->SetCaption("Button1");
  EXPECT_EQ(button->BaseName(), "TTestButton");  // "Control" goes instead of "View"
  button->SetBounds(10.4, 20.6, 75.5, 25);
  TControl* c = button->Control();
  EXPECT_EQ(c->Parent(), page->DialogForm());
  EXPECT_EQ((TRect{c->Left(), c->Top(), c->Width(), c->Height()}), (TRect{10, 21, 76, 25}));
  EXPECT_EQ(button->AbsLeft(), 10.4);  // positions count from the dialog page
  button->SetVisible(false);
  EXPECT_FALSE(c->Visible());
  button->SetVisible(true);
  button->SetEnabled(false);
  EXPECT_FALSE(c->Enabled());
  EXPECT_FALSE(button->Enabled());
  button->SetEnabled(true);

  // A caption that shows the name follows a rename; one of its own stays.
  button->SetName("OkButton");
  EXPECT_EQ(c->Caption(), "OkButton");
  button->SetCaption("确定");
  button->SetName("Ok");
  EXPECT_EQ(c->Caption(), "确定");

  // Inside a panel control the button's control sits in the panel; outside any dialog page,
  // on the parking form.
  auto* panel = new TTestPanelControl(page);
  button->SetParent(panel);
  EXPECT_EQ(c->Parent(), panel->Control());
  TfrxReport loose(nullptr);
  auto* parked = new TTestButtonControl(&loose);
  EXPECT_EQ(parked->Control()->Parent(), DialogParkingForm());

  // Fonts reach the control.
  panel->Font()->SetName("宋体");
  EXPECT_EQ(panel->Control()->Font()->Name(), "宋体");
  EXPECT_EQ(c->Font()->Name(), "宋体");

  // Drawn as the control paints itself, at the object's place.
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(200, 100);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(TRect{0, 0, 200, 100});
  button->SetParent(page);
  button->DrawOnCanvas(target.Canvas(), 1, 1, 0, 0);
  EXPECT_NE(target.Canvas()->Pixels(40, 30), clWhite);
  EXPECT_EQ(target.Canvas()->Pixels(150, 80), clWhite);
  delete page;  // the page's objects and their controls go together
}

TEST(ReportModel, DialogComponentsReadTheirOldPlaceAndNeverWriteIt) {
  TfrxDBDataset ds(nullptr);
  EXPECT_EQ(ds.Left(), -10000);
  TMemoryStream data;
  {
    TWriter w(&data);
    w.WritePropName("pLeft");
    w.WriteInteger(120);
    w.WritePropName("pTop");
    w.WriteInteger(40);
  }
  data.SetPosition(0);
  TReader reader(&data);
  while (data.Position() < data.Size()) reader.ReadProperty(&ds);
  EXPECT_EQ(ds.Left(), 120);
  EXPECT_EQ(ds.Top(), 40);
  TMemoryStream out;
  {
    TWriter w(&out);
    ds.DefineProperties(&w);
  }
  EXPECT_EQ(out.Size(), 0);
}

TEST(ReportModel, TheLibrarysCursorsAreInstalledWithTheFirstReport) {
  TfrxReport r(nullptr);
  for (int id : {frx::crHand, frx::crZoom, frx::crFormat}) {
    SCOPED_TRACE(id);
    EXPECT_NE(Screen->Cursors(id), nullptr);
    EXPECT_NE(Screen->Cursors(id), Screen->Cursors(crDefault));
  }
}

// A data set that counts its uses.
class TCountingDataSet : public TfrxDataSet {
public:
  using TfrxDataSet::TfrxDataSet;
  int Begun = 0, Ended = 0;
  void BeginUse() override { ++Begun; }
  void EndUse() override { ++Ended; }
};

TEST(ReportModel, ARunUsesEachListedDataSetAndExpressionsGoThroughTheEvaluatorInEffect) {
  TfrxReport r(nullptr);
  TCountingDataSet a(nullptr), b(nullptr);
  a.SetUserName("A");
  b.SetUserName("B");
  r.DataSets()->AddDataSet(&a);
  r.DataSets()->AddDataSet(&b);
  r.DataSets()->BeginUseAll();
  EXPECT_EQ(a.ReportRef(), &r);
  EXPECT_EQ(a.Begun + b.Begun, 2);
  r.DataSets()->EndUseAll();
  EXPECT_EQ(a.Ended + b.Ended, 2);
}

TEST(ReportModel, SettingsStoreFollowsIniFile) {
  TempFolder dir;
  TfrxReport r(nullptr);
  r.SetIniFile(dir / "report.ini");
  {
    auto store = r.OpenSettingsStore();
    store->WriteString("Form", "Units", "mm");
  }
  EXPECT_NE(dir.Read("report.ini").find("Units=mm"), String::npos);
  EXPECT_EQ(r.SystemVariables()->CommaText(), "Date,Time,Page,Page#,TotalPages,TotalPages#,Line,Line#");
}

}  // namespace
