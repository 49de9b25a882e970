// MDI forms: the client area, children in their frames, finding a child again.
#include "GuiTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/LayoutText.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace {

class TFrmMdiA : public TForm {
  KELM_CLASS(TFrmMdiA, TForm)
public:
  using TForm::TForm;
};
class TFrmMdiB : public TForm {
  KELM_CLASS(TFrmMdiB, TForm)
public:
  using TForm::TForm;
};

// The program's way to open a list window: the instance of that exact class is restored and
// brought forward, or a new one is made.
template <class T> T* OpenMDIChild(TForm* main) {
  for (int i = 0; i < main->MDIChildCount(); ++i)
    if (main->MDIChildren(i)->ClassType() == T::StaticClass()) {
      auto* f = static_cast<T*>(main->MDIChildren(i));
      if (f->WindowState() == wsMinimized) f->SetWindowState(wsNormal);
      f->BringToFront();
      return f;
    }
  auto* f = new T(main);
  f->SetFormStyle(fsMDIChild);
  f->Show();
  return f;
}

}  // namespace

KELM_PUBLISH(TFrmMdiA) {}
KELM_PUBLISH(TFrmMdiB) {}

TEST(Mdi, AChildIsFoundAgainByClassAfterARestore) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 700, 500);
  main->SetFormStyle(fsMDIForm);
  TForm* savedMain = Application->MainForm();
  Application->SetMainForm(main);
  main->Show();
  ASSERT_NE(main->ClientHandle(), 0u);

  auto* a = OpenMDIChild<TFrmMdiA>(main);
  a->SetCaption("合同列表");
  auto* b = OpenMDIChild<TFrmMdiB>(main);
  EXPECT_EQ(main->MDIChildCount(), 2);
  EXPECT_EQ(main->MDIChildren(0), b) << "the latest on top";
  EXPECT_EQ(main->ActiveMDIChild(), b);
  EXPECT_EQ(Screen->ActiveForm(), b);

  a->SetWindowState(wsMinimized);
  EXPECT_EQ(a->WindowState(), wsMinimized);
  auto* again = OpenMDIChild<TFrmMdiA>(main);
  EXPECT_EQ(again, a);
  EXPECT_EQ(main->MDIChildCount(), 2);
  EXPECT_EQ(a->WindowState(), wsNormal);
  EXPECT_EQ(main->ActiveMDIChild(), a);
  EXPECT_EQ(main->MDIChildren(0), a);
  EXPECT_EQ(Screen->ActiveForm(), a);

  // Cascade places the children one below the other.
  main->Cascade();
  Application->ProcessMessages();
  EXPECT_NE(a->ClientToScreen({0, 0}), b->ClientToScreen({0, 0}));

  // Closing a child asks it; an MDI child with a minimise box minimises by default.
  b->Close();
  EXPECT_EQ(b->WindowState(), wsMinimized);
  b->OnClose = TCloseEvent::Lambda([](TObject*, TCloseAction& act) { act = caFree; });
  b->Close();
  Application->ProcessMessages();
  EXPECT_EQ(main->MDIChildCount(), 1);
  EXPECT_EQ(main->MDIChildren(0), a);

  Application->SetMainForm(savedMain);
  delete main;
}

TEST(Mdi, AnMdiChildNeedsAnMdiMainForm) {
  TForm* saved = Application->MainForm();
  TForm plain(nullptr);
  Application->SetMainForm(&plain);
  TForm child(nullptr);
  EXPECT_THROW(child.SetFormStyle(fsMDIChild), EInvalidOperation);
  Application->SetMainForm(saved);
}

TEST(Mdi, ChildrenOwnedElsewhereOutliveTheirMdiForm) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 500, 400);
  main->SetFormStyle(fsMDIForm);
  TForm* saved = Application->MainForm();
  Application->SetMainForm(main);
  main->Show();
  auto* child = new TForm(Application);  // not owned by the MDI form
  child->SetFormStyle(fsMDIChild);
  child->Show();
  EXPECT_EQ(main->MDIChildCount(), 1);
  Application->SetMainForm(saved);
  delete main;
  child->SetCaption("still here");
  EXPECT_EQ(child->Caption(), "still here");
  delete child;
}

// A child whose layout makes it an MDI child lives in the MDI form's client area like one
// made in code, also when the MDI form opens it while it is being shown itself (the program's
// first list), and the two windows share the activation without passing it back and forth.
TEST(Mdi, ALayoutsMdiChildOpenedWhileTheMainFormShowsLivesInItsClientArea) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 600, 400);
  main->SetFormStyle(fsMDIForm);
  TForm* saved = Application->MainForm();
  Application->SetMainForm(main);
  TFrmMdiA* child = nullptr;
  main->OnShow = TNotifyEvent::Lambda([&](TObject*) {
    child = new TFrmMdiA(main);
    ReadComponentFromText(child,
                          "object FrmMdiA: TFrmMdiA\n"
                          "  Width = 300\n"
                          "  Height = 200\n"
                          "  Caption = '合同信息'\n"
                          "  FormStyle = fsMDIChild\n"
                          "  WindowState = wsMaximized\n"
                          "end\n");
    child->Show();
  });
  main->Show();
  ASSERT_NE(child, nullptr);
  if (WidgetOf(child)->isWindow()) {
    // A window of its own would pass the activation back and forth with the main form for
    // ever once messages run: stop here.
    delete child;
    Application->SetMainForm(saved);
    delete main;
    FAIL() << "the child is a window of its own";
  }
  int activations = 0;
  child->OnActivate = TNotifyEvent::Lambda([&](TObject*) { ++activations; });
  for (int i = 0; i < 20; ++i) Application->ProcessMessages();
  EXPECT_EQ(main->MDIChildCount(), 1);
  EXPECT_EQ(main->MDIChildren(0), child);
  EXPECT_EQ(main->ActiveMDIChild(), child);
  EXPECT_EQ(Screen->ActiveForm(), child);
  EXPECT_FALSE(WidgetOf(child)->isWindow());
  EXPECT_EQ(child->WindowState(), wsMaximized);
  EXPECT_LE(activations, 1);
  Application->SetMainForm(saved);
  delete main;
}

// A box on the MDI form (a search field over the lists) takes the focus from a child by a
// click, again after the child had it back, and by code; the child stays the active child
// all along and is never told it lost the activation. (The child, still active with its box
// as its control, has nothing to do when that box is focused by code: controls on it that
// must take the focus from the MDI form set the window focus themselves.)
TEST(Mdi, AControlOnTheMdiFormTakesTheFocusWhileTheChildStaysActive) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 600, 400);
  main->SetFormStyle(fsMDIForm);
  TForm* saved = Application->MainForm();
  Application->SetMainForm(main);
  auto* bar = new TPanel(main);
  bar->SetParent(main);
  bar->SetAlign(alTop);
  bar->SetHeight(30);
  auto* search = new TEdit(main);
  search->SetParent(bar);
  search->SetBounds(4, 4, 120, 22);
  main->Show();
  auto* child = new TForm(main);
  child->SetFormStyle(fsMDIChild);
  auto* field = new TEdit(child);
  field->SetParent(child);
  field->SetBounds(8, 8, 120, 22);
  child->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(field->Focused());
  int deactivations = 0;
  child->OnDeactivate = TNotifyEvent::Lambda([&](TObject*) { ++deactivations; });

  auto expectOnTheMdiForm = [&](const char* how) {
    EXPECT_TRUE(search->Focused()) << how;
    EXPECT_EQ(Screen->ActiveForm(), main) << how;
    EXPECT_EQ(Screen->ActiveControl(), search) << how;
    EXPECT_EQ(main->ActiveMDIChild(), child) << how;
  };
  Click(search, {5, 5});
  expectOnTheMdiForm("first click");
  Click(field, {5, 5});
  EXPECT_TRUE(field->Focused());
  EXPECT_EQ(Screen->ActiveForm(), child);
  Click(search, {5, 5});
  expectOnTheMdiForm("click after the child had the focus back");
  Click(field, {5, 5});
  ASSERT_TRUE(field->Focused());
  search->SetFocus();
  expectOnTheMdiForm("by code");
  EXPECT_EQ(deactivations, 0);

  Application->SetMainForm(saved);
  delete main;
}
