// The object inspector over a report's objects, driven offscreen with real keys and mouse:
// rows of one and of several objects, the remembered row, descriptions, typed, toggled and
// picked values, a value refused by one object of several, the object combo box, the split
// line and the drop-down's reopen guard.
#include "DesignerFixture.h"
#include "GuiTestUtil.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/SysUtils.h"
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/Clipbrd.h"
#include "gui/Window.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxEditFrame.h"
#include "report/designer/frxInsp.h"
#include "report/frxPropertyList.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"

#include <gtest/gtest.h>

using namespace designer_test;
using namespace guitest;

namespace {

// A report object with one property no description covers and that one object can refuse.
class TInspTarget : public TfrxView {
  KELM_CLASS(TInspTarget, TfrxView)
  template <class B> static void Published(B& b) { b.Prop("Foo", &TInspTarget::Foo, &TInspTarget::SetFoo); }
public:
  explicit TInspTarget(TComponent* AOwner) : TfrxView(AOwner) {}
  int Foo() const { return FFoo; }
  void SetFoo(int Value) {
    if (Refuse && Value != 0) throw Exception("Foo refused");
    FFoo = Value;
  }
  bool Refuse = false;

private:
  int FFoo = 0;
};

}  // namespace

KELM_PUBLISH(TInspTarget) { Published(b); }

namespace {

class InspectorTest : public DesignerDialogsTest {
protected:
  void SetUp() override {
    DesignerDialogsTest::SetUp();
    RegisterDesignerEditors();
    Memo2 = new TfrxMemoView(Band);
    Memo2->SetName("Memo2");
    Memo2->SetLeft(40);
    Line = new TfrxLineView(Band);
    Line->SetName("Line1");
    Picture = new TfrxPictureView(Band);
    Picture->SetName("Picture1");
    Insp = new TfrxObjectInspector(Designer.get());
    Insp->OnPropertyModified = TNotifyEvent::Lambda([this](TObject*) { ++Modified; });
    Insp->OnObjectChosen = TNotifyEvent::Lambda([this](TObject*) { ++Chosen; });
    Insp->FillObjectList({Memo, Memo2, Line, Picture});
    Insp->Show();
    Application->ProcessMessages();
  }

  void Inspect(std::vector<TObject*> Objects) {
    Selection = std::move(Objects);
    Insp->InspectSelection(&Selection);
    Application->ProcessMessages();
  }
  int RowOf(const String& Name, int Level = 0) const {
    for (int i = 0; i < Insp->RowCount(); ++i)
      if (Insp->RowName(i) == Name && Insp->RowLevel(i) == Level) return i;
    return -1;
  }
  TPoint At(int Row, int X) const { return TPoint{X, Row * Insp->RowHeight() + Insp->RowHeight() / 2}; }
  void ClickName(int Row) { Click(Insp->PB, At(Row, Insp->NameColumnWidth() - 8)); }
  void TypeText(const String& Text) {
    for (char ch : Text) {
      int key = ch >= 'a' && ch <= 'z' ? Qt::Key_A + (ch - 'a') : ch >= '0' && ch <= '9' ? Qt::Key_0 + (ch - '0') : ch;
      TypeKey(key, Qt::NoModifier, QString(QChar(ch)));
    }
  }
  void Enter() { TypeKey(Qt::Key_Return, Qt::NoModifier, "\r"); }
  String ComboText(int Index) const { return Insp->ObjectsCB->Items()->Strings(Index); }

  TfrxMemoView* Memo2 = nullptr;
  TfrxLineView* Line = nullptr;
  TfrxPictureView* Picture = nullptr;
  TfrxObjectInspector* Insp = nullptr;  // owned by the designer
  std::vector<TObject*> Selection;
  int Modified = 0, Chosen = 0;
};

TEST_F(InspectorTest, RefusesAnOwnerThatIsNoDesigner) {
  TForm plain(nullptr);
  try {
    TfrxObjectInspector insp(&plain);
    FAIL() << "created";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "The Owner of the object inspector should be TfrxCustomDesigner");
  }
}

TEST_F(InspectorTest, KeepsTheSelectedRowAcrossSelectionsWhenTheNewObjectHasIt) {
  Inspect({Memo});
  int font = RowOf("Font");
  ASSERT_GE(font, 0);
  ClickName(font);
  EXPECT_EQ(Insp->RowName(Insp->RowIndex()), "Font");
  EXPECT_EQ(Insp->PropL->Caption(), "Font");

  Inspect({Memo2});
  EXPECT_EQ(Insp->RowName(Insp->RowIndex()), "Font");
  EXPECT_EQ(Insp->ObjectsCB->Text(), "Memo2: TfrxMemoView");

  // A picture has no font: the first row.
  Inspect({Picture});
  ASSERT_EQ(RowOf("Font"), -1);
  EXPECT_EQ(Insp->RowIndex(), 0);
}

TEST_F(InspectorTest, SeveralObjectsShowOnlyTheirSharedMultiEditRowsAndATypedValueGoesToAll) {
  Inspect({Memo, Memo2, Line});
  ASSERT_GT(Insp->RowCount(), 0);
  EXPECT_EQ(Insp->ObjectsCB->ItemIndex(), -1);
  for (int i = 0; i < Insp->RowCount(); ++i) {
    if (Insp->RowLevel(i) != 0) continue;
    const String name = Insp->RowName(i);
    EXPECT_TRUE(Insp->RowEditor(i)->Traits().Contains(TraitMultiSelect)) << name;
    for (TObject* o : Selection) EXPECT_NE(GetPropInfo(o, name), nullptr) << name << " on " << o->ClassName();
  }
  EXPECT_EQ(RowOf("Name"), -1);
  EXPECT_EQ(RowOf("Memo"), -1);

  int left = RowOf("Left");
  ASSERT_GE(left, 0);
  ClickName(left);
  ASSERT_TRUE(Insp->Edit1->Focused());
  TypeText("3");
  Enter();
  EXPECT_EQ(Memo->Left(), Memo2->Left());
  EXPECT_EQ(Memo->Left(), Line->Left());
  EXPECT_GT(Memo->Left(), 100);  // 3 cm, not 3 pixels
  EXPECT_EQ(Modified, 1);
}

TEST_F(InspectorTest, DescriptionsPreferTheKeyOfTheOwningClass) {
  auto* target = new TInspTarget(Band);
  target->SetName("Target1");
  Inspect({Memo});
  int font = RowOf("Font");
  ASSERT_GE(font, 0);
  Click(Insp->PB, At(font, 5));  // the expander
  ASSERT_TRUE(Insp->RowItem(font)->Expanded());
  struct Case {
    TObject* Object;
    const char* Row;
    int Level;
    const char* Text;
  } cases[] = {
      {Memo, "Color", 1, "文本的颜色。"},
      {Memo, "Color", 0, "对象的颜色。"},
      {Memo, "Name", 1, "字体名称"},
      {Memo, "Name", 0, "对象名称"},
      {Memo, "Clipped", 0, "Determines whether the text should be clipped inside the objects bounds"},
      {target, "Foo", 0, "propFoo"},
  };
  for (const Case& c : cases) {
    if (Selection.front() != c.Object) Inspect({c.Object});
    int row = RowOf(c.Row, c.Level);
    ASSERT_GE(row, 0) << c.Row << " at " << c.Level;
    ClickName(row);
    EXPECT_EQ(Insp->PropL->Caption(), c.Row);
    EXPECT_EQ(Insp->DescrL->Caption(), c.Text) << c.Row << " at " << c.Level;
  }
}

TEST_F(InspectorTest, ARefusedValueShowsTheErrorAndLeavesEveryObjectAsItWas) {
  Inspect({Memo});
  const int oldLeft = static_cast<int>(Memo->Left());
  ClickName(RowOf("Left"));
  const String shown = Insp->Edit1->Text();
  {
    TBoxRecorder boxes;
    TypeText("x");
    Enter();
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Caption, ReportResources()->TextOf("mbError"));
  }
  EXPECT_EQ(Insp->Edit1->Text(), shown);
  EXPECT_EQ(static_cast<int>(Memo->Left()), oldLeft);
  EXPECT_EQ(Modified, 0);

  // Three objects, the second refuses: none keeps the new value.
  TInspTarget* t[3];
  for (int i = 0; i < 3; ++i) {
    t[i] = new TInspTarget(Band);
    t[i]->SetName("Target" + std::to_string(i + 1));
  }
  t[1]->Refuse = true;
  Inspect({t[0], t[1], t[2]});
  ClickName(RowOf("Foo"));
  {
    TBoxRecorder boxes;
    TypeText("7");
    Enter();
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Text, "Foo refused");
  }
  for (TInspTarget* x : t) EXPECT_EQ(x->Foo(), 0) << x->Name();
  EXPECT_EQ(Insp->Edit1->Text(), "0");
  EXPECT_EQ(Modified, 0);
}

TEST_F(InspectorTest, AClickRightOfTheSplitTogglesABooleanWithoutSelectingItsRow) {
  Inspect({Memo});
  int visible = RowOf("Visible");
  ASSERT_GE(visible, 0);
  ASSERT_NE(Insp->RowIndex(), visible);
  const int selected = Insp->RowIndex();
  for (bool expected : {false, true}) {
    Click(Insp->PB, At(visible, Insp->NameColumnWidth() + 10));
    EXPECT_EQ(Memo->Visible(), expected);
    EXPECT_EQ(Insp->RowIndex(), selected);
  }
  EXPECT_EQ(Modified, 2);
}

TEST_F(InspectorTest, TheSplitLineStaysThirtyPixelsFromEitherSide) {
  Inspect({Memo});
  const int width = Insp->PB->Width();
  struct Case {
    int DragTo, Expected;
  } cases[] = {{70, 70}, {10, 30}, {width - 5, width - 30}, {width / 2, width / 2}};
  for (const Case& c : cases) {
    int from = Insp->NameColumnWidth();
    TPoint p{from - 1, 5};
    Move(Insp->PB, p);
    ASSERT_EQ(Insp->PB->Cursor(), crHSplit);
    Press(Insp->PB, p);
    Move(Insp->PB, TPoint{c.DragTo, 5}, Qt::LeftButton);
    Release(Insp->PB, TPoint{c.DragTo, 5});
    EXPECT_EQ(Insp->NameColumnWidth(), c.Expected) << c.DragTo;
    EXPECT_EQ(Insp->Edit1->Left(), c.Expected + 2) << c.DragTo;
  }
}

TEST_F(InspectorTest, KeysMoveBetweenRowsAndEscapeTakesTheTypingBack) {
  Inspect({Memo});
  ClickName(0);
  ASSERT_TRUE(Insp->Edit1->Focused());
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Insp->RowIndex(), 2);
  TypeKey(Qt::Key_Up);
  EXPECT_EQ(Insp->RowIndex(), 1);
  TypeKey(Qt::Key_Up);
  TypeKey(Qt::Key_Up);
  EXPECT_EQ(Insp->RowIndex(), 0);
  TypeKey(Qt::Key_PageDown);
  EXPECT_GT(Insp->RowIndex(), 1);
  for (int i = 0; i < Insp->RowCount(); ++i) TypeKey(Qt::Key_Down);
  EXPECT_EQ(Insp->RowIndex(), Insp->RowCount() - 1);

  int top = RowOf("Top");
  ClickName(top);
  const String before = Insp->Edit1->Text();
  TypeText("9");
  EXPECT_NE(Insp->Edit1->Text(), before);
  TypeKey(Qt::Key_Escape);
  EXPECT_EQ(Insp->Edit1->Text(), before);
  EXPECT_FALSE(Insp->Edit1->Modified());
  TypeKey(Qt::Key_Down);  // nothing pending to commit
  EXPECT_EQ(Modified, 0);
}

TEST_F(InspectorTest, RenamingThroughNameRewritesTheComboEntryAtOnce) {
  Inspect({Memo});
  ClickName(RowOf("Name"));
  TypeText("total");
  Enter();
  EXPECT_EQ(Memo->Name(), "total");
  EXPECT_EQ(Insp->ObjectsCB->Text(), "total: TfrxMemoView");
  EXPECT_EQ(Insp->ObjectsCB->Items()->IndexOf("Memo1: TfrxMemoView"), -1);
  EXPECT_EQ(Modified, 1);
}

TEST_F(InspectorTest, PickingInTheComboInspectsThatObjectAlone) {
  Inspect({Memo, Memo2});
  int i = Insp->ObjectsCB->Items()->IndexOf("Line1: TfrxLineView");
  ASSERT_GE(i, 0);
  Insp->ObjectsCB->SetFocus();
  Insp->ObjectsCB->SetItemIndex(i);
  Insp->ObjectsCB->OnClick(Insp->ObjectsCB);
  ASSERT_EQ(Selection.size(), 1u);
  EXPECT_EQ(Selection[0], Line);
  EXPECT_EQ(Chosen, 1);
  EXPECT_GE(RowOf("Diagonal"), 0);
}

TEST_F(InspectorTest, EventsHaveATabOfTheirOwn) {
  Inspect({Memo});
  EXPECT_EQ(RowOf("OnBeforePrint"), -1);
  Insp->Tab->SetTabIndex(1);
  Insp->Tab->OnChange(Insp->Tab);
  EXPECT_GE(RowOf("OnBeforePrint"), 0);
  EXPECT_EQ(RowOf("Left"), -1);
  EXPECT_EQ(Insp->RowIndex(), -1);
  Insp->Tab->SetTabIndex(0);
  Insp->Tab->OnChange(Insp->Tab);
  EXPECT_GE(RowOf("Left"), 0);
}

TEST_F(InspectorTest, TheDropDownPicksAValueAndAPressThatClosedItDoesNotReopenIt) {
  TDateTime now = EncodeDate(2026, 1, 5);
  TClockOverride clock([&] { return now; });
  Inspect({Memo});
  int align = RowOf("HAlign");
  ASSERT_GE(align, 0);
  ClickName(align);
  ASSERT_TRUE(Insp->ComboPanel->Visible());
  Click(Insp->ComboBtn, TPoint{5, 5});
  ASSERT_NE(Insp->PopupList(), nullptr);
  TListBox* list = Insp->PopupList();
  int right = list->Items()->IndexOf("haRight");
  ASSERT_GE(right, 0);
  EXPECT_EQ(list->Items()->Strings(list->ItemIndex()), "haLeft");
  EXPECT_GE(Insp->PopupForm()->Width(), Insp->PB->Width() - Insp->NameColumnWidth());
  list->SetItemIndex(right);
  list->OnClick(list);
  EXPECT_EQ(Memo->HAlign(), haRight);
  EXPECT_EQ(Insp->Edit1->Text(), "haRight");
  EXPECT_EQ(Insp->PopupForm(), nullptr);
  EXPECT_EQ(Modified, 1);

  // The press that closes the list by taking the activation from it comes 50 ms later.
  TfrxPopupForm::PopupFormCloseTime() = GetTickCount();
  now += 50.0 / 86400000.0;
  Click(Insp->ComboBtn, TPoint{5, 5});
  EXPECT_EQ(Insp->PopupForm(), nullptr);
  now += 200.0 / 86400000.0;
  Click(Insp->ComboBtn, TPoint{5, 5});
  EXPECT_NE(Insp->PopupForm(), nullptr);
}

TEST_F(InspectorTest, LockedInspectorKeepsItsEditorWhereItWas) {
  Inspect({Memo});
  ClickName(2);
  const int top = Insp->Edit1->Top();
  Insp->LockUpdates();
  Insp->SelectRow(5);
  EXPECT_EQ(Insp->Edit1->Top(), top);
  Insp->UnlockUpdates();
  EXPECT_EQ(Insp->Edit1->Top(), 5 * Insp->RowHeight() + 1);
}

TEST_F(InspectorTest, TheDialogButtonRunsTheEditorAndShowsTheNewValue) {
  Inspect({Memo});
  int frame = RowOf("Frame");
  ASSERT_GE(frame, 0);
  ClickName(frame);
  ASSERT_TRUE(Insp->EditPanel->Visible());
  EXPECT_EQ(Insp->EditPanel->Left(), Insp->PB->Width() - 15);
  EXPECT_EQ(Insp->Edit1->Left() + Insp->Edit1->Width(), Insp->PB->Width() - 15);
  TModalStep step([](TCustomForm* f) {
    auto* d = static_cast<TfrxFrameEditorForm*>(f);
    d->FrameAllB->Click();
    d->OkB->Click();
  });
  Click(Insp->EditBtn, TPoint{5, 5});
  EXPECT_TRUE(step.Done());
  EXPECT_EQ(Memo->Frame()->Typ(), (TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
  EXPECT_EQ(Modified, 1);
  EXPECT_EQ(Insp->RowIndex(), frame);
}

TEST_F(InspectorTest, APendingTextIsCommittedWhenTheDesignerReselectsTheRow) {
  Inspect({Memo});
  ClickName(RowOf("Name"));
  TypeText("pending");
  ASSERT_NE(Memo->Name(), "pending");
  Insp->SelectRow(Insp->RowIndex());  // as before Save and Preview
  EXPECT_EQ(Memo->Name(), "pending");
  EXPECT_EQ(Modified, 1);
  Insp->SelectRow(Insp->RowIndex());  // nothing pending any more
  EXPECT_EQ(Modified, 1);
}

TEST_F(InspectorTest, CutCopyAndPasteKeysWorkInTheEditBox) {
  Inspect({Memo});
  ClickName(RowOf("Name"));
  ASSERT_EQ(Insp->Edit1->Text(), "Memo1");
  Clipboard()->SetAsText("");
  TypeKey(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Clipboard()->AsText(), "Memo1");
  Clipboard()->SetAsText("");
  TypeKey(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Insp->Edit1->Text(), "");
  EXPECT_EQ(Clipboard()->AsText(), "Memo1");
  TypeKey(Qt::Key_Insert, Qt::ShiftModifier);
  TypeKey(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Insp->Edit1->Text(), "Memo1Memo1");
  Insp->Edit1->SelectAll();
  TypeKey(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Insp->Edit1->Text(), "");
  TypeKey(Qt::Key_Insert, Qt::ControlModifier);  // copy of nothing keeps the clipboard
  EXPECT_EQ(Clipboard()->AsText(), "Memo1Memo1");
}

TEST_F(InspectorTest, TextsTooWideForTheirCellShowInAHintWindow) {
  Memo->SetName("AMemoWhoseNameIsFarTooLongForTheValueColumn");
  Inspect({Memo});
  ClickName(RowOf("Left"));
  int name = RowOf("Name");
  Move(Insp->PB, At(name, Insp->NameColumnWidth() + 20));
  EXPECT_TRUE(Insp->HintWindow->Visible());
  Move(Insp->PB, At(RowOf("Top"), Insp->NameColumnWidth() + 20));
  EXPECT_FALSE(Insp->HintWindow->Visible());
  Move(Insp->PB, At(name, Insp->NameColumnWidth() + 20));
  EXPECT_TRUE(Insp->HintWindow->Visible());
  Move(Insp->PB, At(name, 20));  // the name itself fits
  EXPECT_FALSE(Insp->HintWindow->Visible());
}

TEST_F(InspectorTest, ADoubleClickOnANameOpensAndClosesItsSubRows) {
  Inspect({Memo});
  int font = RowOf("Font");
  const int rows = Insp->RowCount();
  ClickName(font);
  Press(Insp->PB, At(font, 40), Qt::LeftButton, 1000);
  Release(Insp->PB, At(font, 40));
  SendMouse(Insp->PB, QEvent::MouseButtonDblClick, At(font, 40), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10);
  Release(Insp->PB, At(font, 40));
  EXPECT_TRUE(Insp->RowItem(font)->Expanded());
  EXPECT_GT(Insp->RowCount(), rows);
  EXPECT_EQ(Insp->RowLevel(font + 1), 1);
  // On the expander each press toggles; the double click adds no third toggle.
  Press(Insp->PB, At(font, 5), Qt::LeftButton, 1000);
  Release(Insp->PB, At(font, 5));
  EXPECT_FALSE(Insp->RowItem(font)->Expanded());
  EXPECT_EQ(Insp->RowCount(), rows);
  SendMouse(Insp->PB, QEvent::MouseButtonDblClick, At(font, 5), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10);
  Release(Insp->PB, At(font, 5));
  EXPECT_TRUE(Insp->RowItem(font)->Expanded());
  EXPECT_GT(Insp->RowCount(), rows);
}

TEST_F(InspectorTest, NoSelectionHidesTheEditor) {
  Inspect({});
  EXPECT_EQ(Insp->CurrentList(), nullptr);
  EXPECT_EQ(Insp->RowCount(), 0);
  EXPECT_FALSE(Insp->Edit1->Visible());
  EXPECT_FALSE(Insp->ComboPanel->Visible());
}

}  // namespace
