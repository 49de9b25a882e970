// The settings side of editors: edit buttons, edit styles and their controllers, editor
// properties and their change changes, repository items shared by editors, and what an
// editor writes into a layout.
#include "EditFixture.h"
#include "GuiTestUtil.h"

#include "core/LayoutText.h"
#include "gui/Pictures.h"

#include <gtest/gtest.h>

using namespace edittest;
using namespace guitest;

namespace {

// Counts the change changes of a properties object.
struct TSignalCounter {
  int Count = 0;
  explicit TSignalCounter(TcxCustomEditProperties* P) {
    P->ChangedHandler = TNotifyEvent::Lambda([this](TObject*) { ++Count; });
  }
};

// A provider whose field is read-only and right-aligned.
class TReadOnlyProvider : public TcxCustomEditDefaultValuesProvider {
public:
  TReadOnlyProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  bool GetReadOnlyDefault() override { return true; }
  TAlignment GetHorzAlignmentDefault() override { return taRightJustify; }
};

}  // namespace

// ---------------------------------------------------------------- buttons

TEST(EditButtons, ASecondDefaultClearsTheFirstWithOneChangeOfTheWhole) {
  TcxEditButtons buttons(nullptr);
  TcxEditButton* a = buttons.Add();
  TcxEditButton* b = buttons.Add();
  EXPECT_FALSE(a->Default()) << "buttons added at run time are not default";
  int changes = 0;
  buttons.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  a->SetDefault(true);
  b->SetDefault(true);
  EXPECT_FALSE(a->Default());
  EXPECT_TRUE(b->Default());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(buttons.VisibleCount(), 2);
  b->SetVisible(false);
  EXPECT_EQ(buttons.VisibleCount(), 1);
}

TEST(EditButtons, VisibleCaptionDropsAcceleratorMarks) {
  TcxEditButtons buttons(nullptr);
  TcxEditButton* b = buttons.Add();
  const struct {
    const char* caption;
    const char* shown;
  } cases[] = {{"&Ok", "Ok"}, {"a&&b", "a&b"}, {"ab&", "ab_"}, {"plain", "plain"}};
  for (auto& c : cases) {
    b->SetCaption(c.caption);
    EXPECT_EQ(b->VisibleCaption(), c.shown) << c.caption;
  }
}

TEST(EditButtons, ANegativeWidthMeansTheDefaultAndCanBeChangedAgain) {
  TcxEditButtons buttons(nullptr);
  TcxEditButton* b = buttons.Add();
  b->SetWidth(-5);
  EXPECT_EQ(b->Width(), 0);
  b->SetWidth(10);
  EXPECT_EQ(b->Width(), 10);
}

TEST(EditButtons, TheGlyphIsMadeOnReadAndFreedByNil) {
  TcxEditButtons buttons(nullptr);
  TcxEditButton* b = buttons.Add();
  EXPECT_FALSE(b->HasGlyph());
  int changes = 0;
  buttons.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  b->Glyph()->SetSize(8, 8);
  EXPECT_GE(changes, 1) << "a change of the bitmap is a change of the button";
  b->SetGlyph(nullptr);
  EXPECT_FALSE(b->HasGlyph());
  EXPECT_TRUE(b->Glyph()->Empty());
}

// ---------------------------------------------------------------- styles

TEST(EditStyles, ButtonStyleIsPerStyleTheOthersLiveInTheNormalStyle) {
  auto* form = new TForm(Application);
  auto* ed = new TTestEdit(form);
  TcxEditStyle* normal = ed->Style();
  TcxEditStyle* focused = ed->StyleFocused();
  EXPECT_EQ(normal->ButtonStyle(), btsDefault);
  EXPECT_EQ(normal->ButtonTransparency(), ebtNone);
  EXPECT_EQ(normal->PopupBorderStyle(), epbsDefault);

  focused->SetButtonTransparency(ebtAlways);
  EXPECT_EQ(normal->ButtonTransparency(), ebtAlways);
  EXPECT_TRUE(normal->AssignedValues().Contains(svButtonTransparency));
  EXPECT_FALSE(focused->AssignedValues().Contains(svButtonTransparency));

  focused->SetButtonStyle(btsFlat);
  EXPECT_EQ(focused->ButtonStyle(), btsFlat);
  EXPECT_EQ(normal->ButtonStyle(), btsDefault);
  normal->SetButtonStyle(bts3D);
  EXPECT_EQ(ed->StyleHot()->ButtonStyle(), bts3D) << "an unassigned state style reads the normal one";
  EXPECT_EQ(focused->ButtonStyle(), btsFlat);
  delete form;
}

TEST(EditStyles, AControllerGivesButtonStyleUnlessTheEditorAssignsIt) {
  auto* form = new TForm(Application);
  auto* controller = new TcxEditStyleController(form);
  controller->Style()->SetButtonStyle(btsFlat);
  auto* plain = new TTestEdit(form);
  auto* own = new TTestEdit(form);
  plain->Style()->SetStyleController(controller);
  own->Style()->SetStyleController(controller);
  own->Style()->SetButtonStyle(btsUltraFlat);
  EXPECT_EQ(plain->Style()->ButtonStyle(), btsFlat);
  EXPECT_EQ(own->Style()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(plain->StyleFocused()->ButtonStyle(), btsFlat) << "through the normal style's resolved value";

  // A style in direct-access mode reads only its own values.
  TcxEditStyle direct(nullptr, true);
  direct.SetStyleController(controller);
  EXPECT_EQ(direct.ButtonStyle(), btsDefault);
  delete form;
}

TEST(EditStyles, TheDefaultControllerIsTheStandardOneWithEditStyles) {
  ASSERT_NE(DefaultEditStyleController(), nullptr);
  EXPECT_EQ(static_cast<TcxStyleController*>(DefaultEditStyleController()), StandardStyleController());
  EXPECT_NE(dynamic_cast<TcxEditStyle*>(DefaultEditStyleController()->Style()), nullptr);
  EXPECT_NE(GetClass("TcxEditStyleController"), nullptr);
  EXPECT_NE(GetClass("TcxEditRepository"), nullptr);
  EXPECT_NE(GetClass("TcxEditRepositoryItem"), nullptr);
}

TEST(EditStyles, TheButtonStyleFollowsTheBorderStyleWhenLeftToTheDefault) {
  struct Case {
    TcxEditBorderStyle border;
    TcxEditButtonStyle button;
    TcxEditPopupBorderStyle popup;
  };
  const Case cases[] = {
      {ebsNone, btsSimple, epbsFlat},         {ebsSingle, btsHotFlat, epbsSingle},
      {ebsThick, bts3D, epbsSingle},          {ebsFlat, btsFlat, epbsFlat},
      {ebs3D, bts3D, epbsSingle},             {ebsUltraFlat, btsUltraFlat, epbsSingle},
      {ebsOffice11, btsOffice11, epbsSingle},
  };
  auto* form = new TForm(Application);
  form->Show();
  auto* ed = new TTestEdit(form);
  ed->SetParent(form);
  ed->SetAutoSize(false);
  ed->SetBounds(5, 5, 120, 21);
  ed->Properties()->Buttons()->Add();
  ed->Style()->SetHotTrack(false);  // the normal style whatever the mouse does
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.border));
    ed->Style()->SetEditBorderStyle(c.border);
    ed->UpdateViewAtCursor(true);
    ASSERT_EQ(ed->ViewInfo()->ButtonCount(), 1);
    EXPECT_EQ(ed->ViewInfo()->Buttons[0]->Style, c.button);
    EXPECT_EQ(ed->ViewInfo()->PopupBorderStyle, c.popup);
  }
  delete form;
}

// ---------------------------------------------------------------- properties

TEST(EditProperties, AssignSignalsOnceAndEndUpdateWithoutSignalNever) {
  TTestEditProperties source(nullptr), target(nullptr);
  source.Buttons()->Add()->SetCaption("x");
  source.SetAutoSelect(false);
  source.SetReadOnly(true);
  source.SetButtonLayout(eblButtonsOnly);
  source.OnClosePopup = TcxEditClosePopupEvent::Lambda([](TObject*, TcxPopupCloseReason) {});
  TSignalCounter changes(&target);
  target.Assign(&source);
  EXPECT_EQ(changes.Count, 1);
  EXPECT_EQ(target.Buttons()->Count(), 1);
  EXPECT_FALSE(target.AutoSelect());
  EXPECT_TRUE(target.ReadOnly());
  EXPECT_FALSE(static_cast<bool>(target.OnClosePopup)) << "the popup-closed event is not copied";
  EXPECT_TRUE(static_cast<bool>(target.ChangedHandler)) << "nor is the changed handler";

  target.BeginUpdate();
  target.SetAutoSelect(true);
  target.Buttons()->Add();
  target.EndUpdate(false);
  EXPECT_EQ(changes.Count, 1);
}

TEST(EditProperties, ExplicitReadOnlyBeatsTheProviderUntilReset) {
  TTestEditProperties p(nullptr);
  TReadOnlyProvider provider;
  p.SetDefaultValuesProvider(&provider);
  EXPECT_TRUE(p.ReadOnly()) << "the provider's default";
  EXPECT_FALSE(p.ValueModifiableInPlace());
  p.SetReadOnly(false);
  EXPECT_FALSE(p.ReadOnly());
  EXPECT_TRUE(p.ValueModifiableInPlace());
  EXPECT_TRUE(p.ReadOnlyStored());
  p.ResetToDefaults();
  EXPECT_TRUE(p.ReadOnly());
  EXPECT_FALSE(p.ReadOnlyStored());
  p.SetDefaultValuesProvider(nullptr);
}

TEST(EditProperties, HorizontalAlignmentReadsTheDefaultUntilSetAndAfterClearing) {
  TTestEditProperties p(nullptr);
  TReadOnlyProvider provider;
  p.SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p.Alignment()->Horz(), taRightJustify);
  EXPECT_FALSE(p.AlignmentStored());
  p.Alignment()->SetHorz(taCenter);
  EXPECT_EQ(p.Alignment()->Horz(), taCenter);
  EXPECT_TRUE(p.AlignmentStored());
  p.Alignment()->ClearHorzAssignment();
  EXPECT_EQ(p.Alignment()->Horz(), taRightJustify);
  p.SetDefaultValuesProvider(nullptr);
}

TEST(EditProperties, FeatureBitFiveMeansAnyButtonVisibleOrNot) {
  TTestEditProperties p(nullptr);
  EXPECT_EQ(p.GetFeatureFlags() & 32, 0);
  p.Buttons()->Add()->SetVisible(false);
  EXPECT_EQ(p.GetFeatureFlags() & 32, 32);
}

TEST(EditProperties, AFreedProviderIsDroppedByEveryUser) {
  TTestEditProperties a(nullptr), b(nullptr);
  {
    TReadOnlyProvider provider;
    a.SetDefaultValuesProvider(&provider);
    b.SetDefaultValuesProvider(&provider);
  }
  EXPECT_EQ(a.DefaultValuesProvider(), nullptr);
  EXPECT_EQ(b.DefaultValuesProvider(), nullptr);
  EXPECT_FALSE(a.ReadOnly());
}

TEST(EditProperties, UseLeftAlignmentOnEditingIsStoredOnlyWhenItDiffers) {
  TTestEditProperties p(nullptr);
  EXPECT_FALSE(p.UseLeftAlignmentOnEditingStored());
  p.SetUseLeftAlignmentOnEditing(false);
  EXPECT_TRUE(p.UseLeftAlignmentOnEditingStored());
}

// ---------------------------------------------------------------- repository

namespace {
struct Repository : TEditForm {
  TcxEditRepository* Repo = nullptr;
  TTestEdit* Second = nullptr;
  void SetUp() override {
    TEditForm::SetUp();
    Repo = new TcxEditRepository(Form);
    Second = MakeEdit(Rect(10, 60, 170, 81));
    Application->ProcessMessages();
  }
};
}  // namespace

TEST_F(Repository, TwoEditorsOnOneItemRecomputeOnceEachPerChange) {
  TcxEditRepositoryItem* item = Repo->AddNewItem(TTestRepositoryItem::StaticClass());
  item->Properties()->Buttons()->Add();
  Ed->SetRepositoryItem(item);
  Second->SetRepositoryItem(item);
  EXPECT_EQ(Ed->ActiveProperties(), item->Properties());
  Ed->PropertiesApplied = Second->PropertiesApplied = 0;
  item->Properties()->Buttons()->Items(0)->SetKind(bkText);
  EXPECT_EQ(Ed->PropertiesApplied, 1);
  EXPECT_EQ(Second->PropertiesApplied, 1);
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 1) << "the item's buttons are shown";
  // The editor's own properties no longer reach it.
  Ed->PropertiesApplied = 0;
  Ed->Properties()->SetAutoSelect(false);
  EXPECT_EQ(Ed->PropertiesApplied, 0);
}

TEST_F(Repository, AFreedItemLeavesEditorsWorkingWithTheirOwnProperties) {
  TcxEditRepositoryItem* item = Repo->AddNewItem(TTestRepositoryItem::StaticClass());
  Ed->SetRepositoryItem(item);
  Second->SetRepositoryItem(item);
  delete item;
  EXPECT_EQ(Ed->RepositoryItem(), nullptr);
  EXPECT_EQ(Second->RepositoryItem(), nullptr);
  EXPECT_EQ(Repo->Count(), 0);
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 2) << "the own buttons are back at once";
  Ed->PropertiesApplied = 0;
  Ed->Properties()->Buttons()->Items(0)->SetVisible(false);
  EXPECT_EQ(Ed->PropertiesApplied, 1) << "later changes of the own properties show";
  EXPECT_EQ(Ed->ViewInfo()->ButtonCount(), 1);
  EXPECT_NE(Ed->Properties()->DefaultValuesProvider(), nullptr) << "with the binding's defaults";
}

TEST_F(Repository, FreeingTheRepositoryDetachesEveryEditor) {
  TcxEditRepositoryItem* item = Repo->AddNewItemOwned(TTestRepositoryItem::StaticClass(), Form);
  Ed->SetRepositoryItem(item);
  delete Repo;
  Repo = nullptr;
  EXPECT_EQ(Ed->RepositoryItem(), nullptr);
  EXPECT_EQ(Ed->ActiveProperties(), Ed->Properties());
}

TEST_F(Repository, ARefusedItemRaisesAndTheEditorKeepsItsItem) {
  TcxEditRepositoryItem* good = Repo->AddNewItem(TTestRepositoryItem::StaticClass());
  TcxEditRepositoryItem* other = Repo->AddNewItem(TOtherRepositoryItem::StaticClass());
  Ed->SetRepositoryItem(good);
  try {
    Ed->SetRepositoryItem(other);
    ADD_FAILURE() << "no error";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.Message(), "此仓库项目不可接收");
  }
  EXPECT_EQ(Ed->RepositoryItem(), good);
  EXPECT_EQ(other->ListenerCount(), 0);
}

TEST_F(Repository, OnlyItemsOwnedByTheRootAreStreamedWithIt) {
  TcxEditRepositoryItem* byRepository = Repo->AddNewItem(TTestRepositoryItem::StaticClass());
  TcxEditRepositoryItem* byForm = Repo->AddNewItemOwned(TTestRepositoryItem::StaticClass(), Form);
  EXPECT_EQ(byRepository->Owner(), Repo);
  EXPECT_EQ(byForm->Owner(), Form);
  std::vector<TComponent*> streamed;
  Repo->GetChildren([&](TComponent* c) { streamed.push_back(c); }, Form);
  EXPECT_EQ(streamed, std::vector<TComponent*>{byForm});
  EXPECT_EQ(byForm->GetParentComponent(), Repo);
  EXPECT_THROW(byForm->SetParentComponent(Form), EInvalidCast);
  auto* moved = new TcxEditRepository(Form);
  byForm->SetParentComponent(moved);
  EXPECT_EQ(Repo->Count(), 1);
  EXPECT_EQ(moved->Count(), 1);
}

// ---------------------------------------------------------------- layouts

TEST(EditStreaming, HeightOnlyWithoutAutoSizeAndEditValueOnlyWhenNotNull) {
  auto* form = new TForm(Application);
  static_cast<TComponent*>(form)->SetName("F");
  auto* ed = new TTestEdit(form);
  static_cast<TComponent*>(ed)->SetName("E");
  ed->SetParent(form);
  auto editorPart = [](const String& Text) { return Text.substr(Text.find("object E")); };
  String text = WriteComponentToText(form);
  EXPECT_EQ(editorPart(text).find("Height"), String::npos) << "not while the editor sizes itself:\n" << text;
  EXPECT_EQ(text.find("EditValue"), String::npos) << text;

  ed->SetAutoSize(false);
  ed->SetBounds(3, 4, 100, 33);
  ed->SetEditValue("v");
  text = WriteComponentToText(form);
  EXPECT_NE(editorPart(text).find("Height = 33"), String::npos) << text;
  EXPECT_NE(text.find("EditValue = 'v'"), String::npos) << text;
  delete form;

  auto* again = new TForm(Application);
  ReadComponentFromText(again, text);
  auto* read = dynamic_cast<TTestEdit*>(again->FindComponent("E"));
  ASSERT_NE(read, nullptr) << text;
  EXPECT_EQ(read->TcxContainer::Height(), 33);
  EXPECT_EQ(VarToStr(read->EditValue()), "v");
  delete again;
}
