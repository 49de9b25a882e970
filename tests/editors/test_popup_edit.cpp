// The popup edit on a shown form: a panel or a form shown in the popup and restored, the
// parent-cycle check, a typed character reaching the popup's control, the watched control.
#include "DropDownFixture.h"

#include "editors/cxPopupEdit.h"
#include "gui/ExtCtrls.h"

#include <QtCore/QDir>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

using namespace droptest;
using namespace guitest;

namespace {

struct PopupEditForm : DropDownForm {
  TcxPopupEdit* PE = nullptr;
  TPanel* Panel = nullptr;
  TEdit* Inside = nullptr;
  void SetUp() override {
    DropDownForm::SetUp();
    PE = Add<TcxPopupEdit>(Rect(10, 60, 170, 81));
    Wire(PE);
    Panel = Add<TPanel>(Rect(190, 100, 350, 220));
    Panel->SetAlign(alNone);
    Panel->SetVisible(false);
    Inside = new TEdit(Form);
    Inside->SetParent(Panel);
    Inside->SetBounds(10, 10, 100, 21);
    PE->Properties()->SetPopupControl(Panel);
    Application->ProcessMessages();
  }
};

// The form and the open popups as the screen shows them, into build/tests/screens/.
void SaveScreen(TForm* Form, const char* Name) {
  QRect area = WidgetOf(Form)->geometry();
  for (TcxCustomPopupWindow* p : OpenPopupWindows()) area |= WidgetOf(p)->geometry();
  QImage img(area.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  painter.drawImage(WidgetOf(Form)->geometry().topLeft() - area.topLeft(), WidgetOf(Form)->grab().toImage());
  for (TcxCustomPopupWindow* p : OpenPopupWindows())
    painter.drawImage(WidgetOf(p)->geometry().topLeft() - area.topLeft(), WidgetOf(p)->grab().toImage());
  painter.end();
  QDir().mkpath("screens");
  img.save(QString("screens/") + Name + ".png");
}

}  // namespace

TEST_F(PopupEditForm, AHiddenPanelShowsInThePopupAndGetsItsPlaceBackAfterwards) {
  EXPECT_EQ(PE->Properties()->PopupWidth(), 250);
  EXPECT_EQ(PE->Properties()->PopupHeight(), 200);
  EXPECT_TRUE(PE->Properties()->PopupSizeable());
  WhenOpen(PE, [&] {
    EXPECT_TRUE(PE->IsPopupOpen());
    EXPECT_EQ(Panel->Parent(), PE->PopupForm());
    EXPECT_TRUE(Panel->Visible());
    EXPECT_EQ(Panel->Align(), alClient);
    // Auto size: the client area is the panel's own size at opening.
    const TRect c = PE->PopupForm()->ViewInfo()->ClientRect;
    EXPECT_EQ(c.Width(), 160);
    EXPECT_EQ(c.Height(), 120);
    EXPECT_EQ(Panel->BoundsRect().Left, c.Left);
    EXPECT_TRUE(Inside->Focused() || Panel->Focused()) << "the popup takes the focus";
    SaveScreen(Form, "popup_edit_open");
    PE->ClosePopup(pcrAccept);
  });
  PE->SetPopupOpen(true);
  Pump();
  EXPECT_FALSE(PE->IsPopupOpen());
  EXPECT_EQ(Panel->Parent(), Form);
  EXPECT_FALSE(Panel->Visible());
  EXPECT_EQ(Panel->Align(), alNone);
  const TRect b = Panel->BoundsRect();
  EXPECT_TRUE(b.Left == 190 && b.Top == 100 && b.Right == 350 && b.Bottom == 220);
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "popup", "done", "closepopup 4", "closeup"}));
}

TEST_F(PopupEditForm, AFormShowsWithoutItsBorderAndGetsItBack) {
  auto* f = new TForm(Form);
  f->SetBorderStyle(bsDialog);
  f->SetBounds(0, 0, 150, 100);
  PE->Properties()->SetPopupControl(f);
  WhenOpen(PE, [&] {
    EXPECT_TRUE(PE->IsPopupOpen());
    EXPECT_EQ(f->BorderStyle(), bsNone);
    EXPECT_EQ(f->Parent(), PE->PopupForm());
    PE->ClosePopup(pcrCancel);
  });
  PE->SetPopupOpen(true);
  Pump();
  EXPECT_EQ(f->BorderStyle(), bsDialog);
  EXPECT_EQ(f->Parent(), nullptr);
  EXPECT_FALSE(f->Visible());
}

TEST_F(PopupEditForm, TheEditorOrItsParentAsPopupControlIsRefusedAndNothingOpens) {
  for (TControl* c : std::initializer_list<TControl*>{PE, Form}) {
    PE->Properties()->SetPopupControl(c);
    try {
      PE->SetPopupOpen(true);
      ADD_FAILURE() << "no error";
    } catch (const EcxEditError& e) {
      EXPECT_EQ(String(e.Message()), String("不允许循环引用"));
    }
    Pump();
    EXPECT_FALSE(PE->IsPopupOpen());
    EXPECT_FALSE(PE->PopupPrepared);
  }
}

TEST_F(PopupEditForm, ACharacterTypedIntoTheClosedEditorOpensThePopupAndReachesItsControl) {
  PE->SetFocus();
  Pump();
  bool wasOpen = false;
  String typed;
  WhenOpen(PE, [&] {
    wasOpen = PE->IsPopupOpen();
    // The forwarded character arrives through the popup's own loop.
    WaitFor([&] { return Inside->Text() == String("a"); }, 1000);
    typed = Inside->Text();
    EXPECT_TRUE(Inside->Focused());
    PE->ClosePopup(pcrCancel);
  });
  TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  Pump();
  EXPECT_TRUE(wasOpen);
  EXPECT_EQ(typed, String("a"));
  EXPECT_EQ(PE->Text(), String()) << "the editor's own text is untouched";
}

TEST_F(PopupEditForm, AFreedFormerPopupControlNeverClearsTheNewerOne) {
  auto* first = new TPanel(Form);
  auto* second = new TPanel(Form);
  PE->Properties()->SetPopupControl(first);
  PE->Properties()->SetPopupControl(second);
  delete first;
  EXPECT_EQ(PE->Properties()->PopupControl(), second);
  delete second;
  EXPECT_EQ(PE->Properties()->PopupControl(), nullptr);
  PE->SetPopupOpen(true);
  Pump();
  EXPECT_FALSE(PE->IsPopupOpen()) << "nothing to show";
}

TEST_F(PopupEditForm, ClosePopupLaterClosesThroughTheQueueWithItsReason) {
  bool openAfterPosting = false;
  WhenOpen(PE, [&] {
    PE->ClosePopupLater(Panel, pcrAccept);
    openAfterPosting = PE->IsPopupOpen();
  });
  PE->SetPopupOpen(true);
  Pump();
  EXPECT_TRUE(openAfterPosting) << "the close waits for the queue";
  EXPECT_FALSE(PE->IsPopupOpen());
  EXPECT_EQ(PE->LastCloseReason, pcrAccept);
  EXPECT_EQ(Panel->Parent(), Form);
}
