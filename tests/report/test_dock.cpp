// Tool bars in docks, driven by the mouse: dragged along and across rows, torn off into their
// floating window and dropped back, rows closed up, and the layout kept in a settings file.
#include "GuiTestUtil.h"
#include "TempFolder.h"
#include "core/IniFiles.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Window.h"
#include "report/frxDock.h"

#include <gtest/gtest.h>

#include <memory>

using namespace guitest;

class DockTest : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(50, 50, 700, 400);
    Top = new TfrxDock(Form.get());
    static_cast<TComponent*>(Top)->SetName("DockTop");
    Top->SetParent(Form.get());
    Top->SetHeight(1);
    Left = new TfrxDock(Form.get());
    static_cast<TComponent*>(Left)->SetName("DockLeft");
    Left->SetParent(Form.get());
    Left->SetAlign(alLeft);
    Left->SetWidth(1);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    ReleaseCapture();
    Form.reset();
    Application->ProcessMessages();
  }
  // A bar of Buttons 23-pixel buttons docked at (X, Y).
  TfrxToolBar* AddBar(const String& Name, int Buttons, TfrxDock* D, int X, int Y) {
    auto* bar = new TfrxToolBar(Form.get());
    static_cast<TComponent*>(bar)->SetName(Name);
    bar->SetParent(D);
    for (int i = 0; i < Buttons; ++i) {
      auto* b = new TPanel(bar);
      b->SetParent(bar);
      b->SetBounds(8 + i * 23, 0, 23, 22);
    }
    bar->DockAt(D, X, Y);
    Application->ProcessMessages();
    return bar;
  }
  // Drags a bar by a free spot right of its grip.
  void Drag(TfrxToolBar* Bar, int Dx, int Dy) {
    TPoint from{Bar->Width() - 2, 5};
    Press(Bar, from);
    Move(Bar, {from.X + Dx, from.Y + Dy}, Qt::LeftButton);
    if (!Bar->Floating()) Release(Bar, {from.X + Dx, from.Y + Dy});
    Application->ProcessMessages();
  }

  std::unique_ptr<TForm> Form;
  TfrxDock* Top = nullptr;
  TfrxDock* Left = nullptr;
};

TEST_F(DockTest, DockingMakesRowsAndFitsTheBarToItsButtons) {
  TfrxToolBar* a = AddBar("A", 3, Top, 0, 0);
  EXPECT_EQ(a->Width(), 8 + 3 * 23 + 4);
  EXPECT_EQ(a->Height(), 26);
  EXPECT_EQ(Top->Height(), 27);
  TfrxToolBar* b = AddBar("B", 2, Top, 0, 0);
  b->DockInto(Top);
  EXPECT_EQ(b->Top(), 26);
  EXPECT_EQ(Top->Height(), 53);
  // In a left dock the bar stands upright, its buttons one below the other.
  TfrxToolBar* c = AddBar("C", 2, Left, 0, 0);
  EXPECT_EQ(c->DockOrientation(), doVertical);
  EXPECT_GT(c->Height(), c->Width());
  EXPECT_EQ(c->Height(), 8 + 2 * 22 + 4);
  EXPECT_EQ(Left->Width(), 27);
}

TEST_F(DockTest, DraggingMovesByPixelsAlongAndByRowsAcross) {
  TfrxToolBar* a = AddBar("A", 3, Top, 100, 0);
  TfrxToolBar* b = AddBar("B", 3, Top, 0, 0);
  ASSERT_EQ(b->Left(), 0);
  ASSERT_EQ(a->Left(), 100);
  struct TCase {
    const char* What;
    int Dx, Dy;
    int Left, Top, DockHeight;
  };
  const TCase cases[] = {
      {"10 px right", 10, 0, 110, 0, 27},
      {"10 down stays in the row", 0, 10, 110, 0, 27},
      {"30 down makes a new row", 0, 30, 110, 26, 53},
      {"back up closes the row", 0, -30, 110, 0, 27},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Drag(a, c.Dx, c.Dy);
    EXPECT_FALSE(a->Floating());
    EXPECT_EQ(a->Left(), c.Left);
    EXPECT_EQ(a->Top(), c.Top);
    EXPECT_EQ(Top->Height(), c.DockHeight);
  }
  // Into the other bar: it stops just past it, never over it.
  Drag(a, -100, 0);
  EXPECT_EQ(a->Left(), b->Left() + b->Width());
}

TEST_F(DockTest, ABarLeavesItsDockWhenNoRowTakesItOrItIsPulledBeforeTheStart) {
  struct TCase {
    const char* What;
    bool CanFloat;
    int Dx, Dy;
    bool Floats;
    int Left;
  };
  const TCase cases[] = {
      {"the only bar one row down", true, 0, 30, true, 0},
      {"25 px before the start", true, -45, 0, true, 0},
      {"25 px before the start, no floating", false, -45, 0, false, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TfrxToolBar* a = AddBar(String("A") + (c.CanFloat ? "1" : "0") + IntToStr(c.Dy), 3, Top, 20, 0);
    a->SetCanFloat(c.CanFloat);
    Drag(a, c.Dx, c.Dy);
    EXPECT_EQ(a->Floating(), c.Floats);
    if (c.Floats) {
      ASSERT_NE(a->FloatingWindow(), nullptr);
      EXPECT_EQ(a->Parent(), a->FloatingWindow());
      EXPECT_TRUE(a->FloatingWindow()->Visible());
      EXPECT_EQ(a->FloatingWindow()->ClientWidth(), a->Width() + 6);
      EXPECT_EQ(Top->Height(), 1) << "the dock it left is empty";
      ReleaseCapture();
      delete a;
    } else {
      EXPECT_EQ(a->Parent(), Top);
      EXPECT_EQ(a->Left(), c.Left);
      delete a;
    }
    Top->ArrangeRows();
  }
}

TEST_F(DockTest, AFloatingBarDocksOverADockItMayTake) {
  TfrxToolBar* a = AddBar("A", 3, Top, 0, 0);
  a->SetOrientation(toHorzOnly);
  a->FloatAt(300, 300);
  ASSERT_TRUE(a->Floating());
  TfrxFloatWindow* w = a->FloatingWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(a->Left(), 3);
  EXPECT_EQ(a->Top(), 18);
  // Over the left dock: refused, the bar keeps floating.
  EXPECT_FALSE(a->DockAtPoint(Form.get(), {0, 200}));
  EXPECT_TRUE(a->Floating());
  // The window dragged over the top dock drops the bar there.
  w->PressAt({300, 300});
  TPoint overTop = Form->ClientToScreen({150, 0});
  w->MoveWithPointer(overTop);
  Application->ProcessMessages();
  EXPECT_FALSE(a->Floating());
  EXPECT_EQ(a->Parent(), Top);
  EXPECT_EQ(a->FloatingWindow(), nullptr);
  EXPECT_EQ(Top->Height(), 27);
  EXPECT_EQ(a->Left(), 150 - Top->Left());
}

TEST_F(DockTest, AnEmptiedRowIsClosedUp) {
  TfrxToolBar* a = AddBar("A", 2, Top, 0, 0);
  TfrxToolBar* b = AddBar("B", 2, Top, 0, 0);
  b->DockInto(Top);
  TfrxToolBar* c = AddBar("C", 2, Top, 0, 0);
  c->DockInto(Top);
  ASSERT_EQ(Top->Height(), 79);
  ASSERT_EQ(c->Top(), 52);
  b->Hide();
  Top->ArrangeRows();
  EXPECT_EQ(Top->Height(), 53);
  EXPECT_EQ(a->Top(), 0);
  EXPECT_EQ(c->Top(), 26);
}

TEST_F(DockTest, TheLayoutIsKeptInTheSettingsStore) {
  TempFolder folder;
  TIniFile store(folder / "layout.ini");
  TfrxToolBar* a = AddBar("A", 3, Top, 40, 0);
  TfrxToolBar* b = AddBar("B", 2, Top, 0, 0);
  b->DockInto(Top);
  SaveToolBarLayout(&store, a);
  b->FloatAt(250, 260);
  SaveToolBarLayout(&store, b);
  EXPECT_TRUE(store.ReadBool("ToolBar.B", "Float", false));
  EXPECT_FALSE(store.ValueExists("ToolBar.B", "Dock"));
  EXPECT_EQ(store.ReadString("ToolBar.A", "Dock", ""), "DockTop");
  EXPECT_EQ(store.ReadInteger("ToolBar.A", "Left", -1), 40);
  // Moved away and brought back by the store.
  a->DockAt(Left, 0, 0);
  ASSERT_EQ(a->Parent(), Left);
  RestoreToolBarLayout(&store, a);
  EXPECT_EQ(a->Parent(), Top);
  EXPECT_EQ(a->Left(), 40);
  EXPECT_TRUE(a->IsShown());
  EXPECT_EQ(Left->Width(), 1);
  // A hidden floating bar comes back floating and hidden.
  b->SetShown(false);
  SaveToolBarLayout(&store, b);
  b->DockInto(Top);
  RestoreToolBarLayout(&store, b);
  EXPECT_TRUE(b->Floating());
  EXPECT_FALSE(b->IsShown());
}
