// The design-time registries: palette entries and their de-duplication, the component editor
// an object gets, the property editor entry a property gets (type-only, named, owner class,
// hidden, events), and wizards.
#include "core/ClassBuilder.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"

#include <gtest/gtest.h>

namespace {

// Editor classes of the tests; the designer brings the real ones.
class TTestEditorA : public TObject { KELM_CLASS(TTestEditorA, TObject) };
class TTestEditorB : public TObject { KELM_CLASS(TTestEditorB, TObject) };
class TTestEditorC : public TObject { KELM_CLASS(TTestEditorC, TObject) };
class TTestWizard : public TObject { KELM_CLASS(TTestWizard, TObject) };
class TTestWizard2 : public TObject { KELM_CLASS(TTestWizard2, TObject) };

}  // namespace

KELM_PUBLISH(TTestEditorA) {}
KELM_PUBLISH(TTestEditorB) {}
KELM_PUBLISH(TTestEditorC) {}
KELM_PUBLISH(TTestWizard) {}
KELM_PUBLISH(TTestWizard2) {}

namespace {

TEST(ObjectRegistryTest, OneEntryPerClassAndFlagsAndCategoriesAreNeverMerged) {
  TfrxObjectCollection palette;
  palette.RegisterPaletteGroup("Draw", nullptr, "obCatDraw", 10);
  palette.RegisterPaletteObject(TfrxShapeView::StaticClass(), nullptr, "obRect", "Draw", 0);
  palette.RegisterPaletteObject(TfrxShapeView::StaticClass(), nullptr, "obRoundRect", "Draw", 1);
  palette.RegisterPaletteObject(TfrxShapeView::StaticClass(), nullptr, "again", "Other", 0);  // dropped
  palette.RegisterPaletteGroup("Draw", nullptr, "obCatDraw", 10);
  ASSERT_EQ(palette.Count(), 4);
  EXPECT_EQ(palette.ItemAt(0).ObjectClass, nullptr);
  EXPECT_EQ(palette.ItemAt(1).HintKey, "obRect");
  EXPECT_EQ(palette.ItemAt(2).VariantFlags, 1);
  EXPECT_EQ(palette.ItemAt(3).Category, "Draw");
  EXPECT_EQ(palette.ItemAt(3).ObjectClass, nullptr);
  EXPECT_THROW(palette.ItemAt(4), EListError);
  // A palette class can be made by name from then on.
  EXPECT_EQ(FindClass("TfrxShapeView"), TfrxShapeView::StaticClass());
}

// Component editors that say which entry made them.
struct TNamedEditor : TfrxComponentEditor {
  TNamedEditor(TfrxComponent* C, TfrxCustomDesigner* D, TMenu* M, const char* Name)
      : TfrxComponentEditor(C, D, M), Name(Name) {}
  const char* Name;
};
template <const char* N> struct TEditorOf : TNamedEditor {
  TEditorOf(TfrxComponent* C, TfrxCustomDesigner* D, TMenu* M) : TNamedEditor(C, D, M, N) {}
};
constexpr char kBand[] = "band", kData[] = "data", kMemo[] = "memo", kView[] = "view";

TEST(ComponentEditorRegistryTest, TheExactClassWinsElseTheLastRegisteredAncestor) {
  TfrxComponentEditorCollection editors;
  editors.RegisterEditorClass(TfrxView::StaticClass(), ComponentEditorClassOf<TEditorOf<kView>>());
  editors.RegisterEditorClass(TfrxMemoView::StaticClass(), ComponentEditorClassOf<TEditorOf<kMemo>>());
  editors.RegisterEditorClass(TfrxDataBand::StaticClass(), ComponentEditorClassOf<TEditorOf<kData>>());
  editors.RegisterEditorClass(TfrxBand::StaticClass(), ComponentEditorClassOf<TEditorOf<kBand>>());
  TfrxReport report(nullptr);
  struct Case {
    TfrxComponent* Object;
    const char* Expected;  // nullptr: no editor
  };
  const Case cases[] = {
      {new TfrxMemoView(&report), kMemo},
      {new TfrxSysMemoView(&report), kView},   // a sibling of the memo class, not a descendant
      {new TfrxLineView(&report), kView},
      {new TfrxMasterData(&report), kBand},    // the band entry was registered after the data one
      {new TfrxPageHeader(&report), kBand},
      {new TfrxReportPage(&report), nullptr},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TfrxComponentEditor> e = editors.EditorFor(c.Object, nullptr, nullptr);
    if (!c.Expected) {
      EXPECT_EQ(e, nullptr) << c.Object->ClassName();
      continue;
    }
    ASSERT_NE(e, nullptr) << c.Object->ClassName();
    EXPECT_STREQ(static_cast<TNamedEditor*>(e.get())->Name, c.Expected) << c.Object->ClassName();
    EXPECT_EQ(e->Component(), c.Object);
  }
  EXPECT_EQ(editors.EditorFor(nullptr, nullptr, nullptr), nullptr);
}

TEST(PropertyEditorRegistryTest, TypeNameAndOwnerChooseTheEntry) {
  TfrxPropertyEditorCollection reg;
  TClass A = TTestEditorA::StaticClass(), B = TTestEditorB::StaticClass(), C = TTestEditorC::StaticClass();
  reg.RegisterPropertyEditor("TColor", nullptr, "", A);                             // 0
  reg.RegisterPropertyEditor("TFont", nullptr, "", A);                              // 1
  reg.RegisterPropertyEditor("String", nullptr, "DataField", C);                    // 2: named, registered early
  reg.RegisterPropertyEditor("TColor", nullptr, "", B);                             // 3: a later type-only one
  reg.RegisterPropertyEditor("String", nullptr, "", B);                             // 4
  reg.RegisterPropertyEditor("String", TfrxView::StaticClass(), "", C);             // 5: type and owner, no name
  reg.RegisterPropertyEditor("Integer", TfrxMemoView::StaticClass(), "Rotation", C);  // 6
  TfrxReport report(nullptr);
  TfrxMemoView memo(&report);
  TfrxLineView line(&report);
  struct Case {
    const char* Type;
    const TObject* Object;
    const char* Name;
    int Expected;
  };
  const Case cases[] = {
      {"TColor", &memo, "Color", 0},        // the first type-only entry
      {"TFont", &memo, "Font", 1},
      {"String", &memo, "datafield", 2},    // named wins over the later type-only entry
      {"String", &memo, "TagStr", 4},       // 5 has no name and never matches
      {"Extended", &memo, "Rotation", 6},   // owner entries ignore the type
      {"Integer", &line, "Rotation", -1},   // a line is no memo
      {"TCursor", &memo, "Cursor", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(reg.EditorIndexFor(c.Type, c.Object, c.Name), c.Expected) << c.Name;
}

TEST(PropertyEditorRegistryTest, EventTypesGetTheEventEditor) {
  TfrxPropertyEditorCollection reg;
  TfrxReport report(nullptr);
  TfrxMemoView memo(&report);
  EXPECT_EQ(reg.EditorIndexFor("TfrxNotifyEvent", &memo, "OnBeforePrint"), -1);
  reg.RegisterPropertyEditor("TfrxNotifyEvent", nullptr, "", TTestEditorA::StaticClass());  // never used
  reg.RegisterEventEditor(TTestEditorB::StaticClass());
  EXPECT_EQ(reg.EventEditorIndex(), 1);
  struct Case {
    const char* Type;
    int Expected;
  };
  const Case cases[] = {
      {"TfrxNotifyEvent", 1}, {"tfrxclickobjectEVENT", 1}, {"TNotifyEvent", -1}, {"TfrxEventList", -1},
      {"TfrxEventEvent", -1},  // the first "event" does not end the name
  };
  for (const Case& c : cases) EXPECT_EQ(reg.EditorIndexFor(c.Type, &memo, "X"), c.Expected) << c.Type;
  reg.RegisterEventEditor(TTestEditorC::StaticClass());
  EXPECT_EQ(reg.EditorIndexFor("TfrxNotifyEvent", &memo, "X"), 2);
}

TEST(PropertyEditorRegistryTest, HiddenPropertiesApplyToTheClassAndItsDescendantsOnly) {
  TfrxPropertyEditorCollection& reg = PropertyEditorRegistry();
  const int before = reg.Count();
  reg.RegisterPropertyEditor("TComponentName", nullptr, "Name", TTestEditorA::StaticClass());
  reg.RegisterPropertyEditor("TColor", nullptr, "", TTestEditorB::StaticClass());
  TfrxReport report(nullptr);
  TfrxMemoView memo(&report);
  TfrxPictureView picture(&report);
  // Among type-only entries the first registered wins: the library's own colour editor.
  int colorEntry = -1;
  for (int i = 0; i < reg.Count() && colorEntry < 0; ++i)
    if (reg.ItemAt(i).PropertyType == "TColor" && !reg.ItemAt(i).OwnerClass) colorEntry = i;
  ASSERT_LT(colorEntry, before);
  const int nameEntry = before;
  EXPECT_EQ(reg.EditorIndexFor("TColor", &memo, "Color"), colorEntry);
  HideProperties(TfrxCustomMemoView::StaticClass(), "Color;;Name;");
  ASSERT_EQ(reg.Count(), before + 5);  // three pieces, the empty one included; no trailing piece
  EXPECT_EQ(reg.ItemAt(before + 3).PropertyName, "");
  const int hiddenColor = before + 2, hiddenName = before + 4;
  EXPECT_EQ(reg.EditorIndexFor("TColor", &memo, "Color"), hiddenColor);
  EXPECT_EQ(reg.ItemAt(hiddenColor).EditorClass, nullptr);
  EXPECT_EQ(reg.EditorIndexFor("TComponentName", &memo, "Name"), hiddenName);
  EXPECT_EQ(reg.EditorIndexFor("TComponentName", &picture, "Name"), nameEntry);
  EXPECT_EQ(reg.EditorIndexFor("TColor", &picture, "Color"), colorEntry);
  EXPECT_EQ(reg.EditorIndexFor("String", &memo, ""), -1);  // the empty piece matches nothing
}

TEST(WizardRegistryTest, AClassIsListedOnceAndComesBackAtTheEnd) {
  TfrxWizardCollection wizards;
  wizards.RegisterWizardClass(TTestWizard::StaticClass(), nullptr, true);
  wizards.RegisterWizardClass(TTestWizard2::StaticClass(), nullptr, false);
  wizards.RegisterWizardClass(TTestWizard::StaticClass(), nullptr, false);
  ASSERT_EQ(wizards.Count(), 2);
  EXPECT_TRUE(wizards.ItemAt(0).OnToolBar);
  wizards.ItemAt(0).ImageIndex = 4;  // the designer put its picture among its tools
  wizards.UnregisterWizardClass(TTestWizard::StaticClass());
  ASSERT_EQ(wizards.Count(), 1);
  wizards.RegisterWizardClass(TTestWizard::StaticClass(), nullptr, false);
  ASSERT_EQ(wizards.Count(), 2);
  EXPECT_EQ(wizards.ItemAt(1).WizardClass, TTestWizard::StaticClass());
  EXPECT_EQ(wizards.ItemAt(1).ImageIndex, -1);
}

}  // namespace
