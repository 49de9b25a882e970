// The drop-down editor and its popup window on a shown form: keys, the order of events in
// one cycle, queued opens, the size settings, placement above the editor with its region,
// the panel's minimum width, resizing by the grip with the XOR frame, and the close button.
#include "DropDownFixture.h"

#include "gui/ScreenFrames.h"

#include <gtest/gtest.h>

using namespace droptest;
using namespace guitest;

namespace {
bool Same(const TRect& A, const TRect& B) {
  return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}
}  // namespace

TEST_F(DropDownForm, KeysToggleThePopupOrPassToTheMaskEditor) {
  Ed->SetFocus();
  Pump();
  struct Case {
    int key;
    Qt::KeyboardModifiers mods;
    bool openAfter;
    const char* what;
  };
  // Each row starts closed; toggling keys are sent twice and must close again.
  const Case cases[] = {{Qt::Key_F4, Qt::NoModifier, true, "F4"},
                        {Qt::Key_Down, Qt::AltModifier, true, "Alt+Down"},
                        {Qt::Key_Up, Qt::AltModifier, true, "Alt+Up"},
                        {Qt::Key_F4, Qt::AltModifier, false, "Alt+F4"},
                        {Qt::Key_Down, Qt::NoModifier, false, "Down"}};
  for (const Case& c : cases) {
    TypeKey(c.key, c.mods);
    Pump();
    EXPECT_EQ(Ed->IsPopupOpen(), c.openAfter) << c.what;
    if (!c.openAfter) continue;
    TypeKey(c.key, c.mods);
    Pump();
    EXPECT_FALSE(Ed->IsPopupOpen()) << c.what << " again";
    EXPECT_EQ(Ed->LastCloseReason, pcrToggle) << c.what;
  }
}

TEST_F(DropDownForm, EnterAndEscapeCloseAnOpenPopupAndAreEatenButReachTheEditorWhenClosed) {
  int keysSeen = 0;
  Ed->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word& k, TShiftState) {
    if (k == VK_RETURN || k == VK_ESCAPE) ++keysSeen;
  });
  Ed->SetFocus();
  Pump();
  struct Case { int key; TcxPopupCloseReason reason; };
  for (const Case c : {Case{Qt::Key_Return, pcrAccept}, Case{Qt::Key_Escape, pcrCancel}}) {
    keysSeen = 0;
    TypeKey(Qt::Key_F4);
    Pump();
    ASSERT_TRUE(Ed->IsPopupOpen());
    Log.clear();
    TypeKey(c.key);
    Pump();
    EXPECT_FALSE(Ed->IsPopupOpen());
    EXPECT_EQ(Ed->LastCloseReason, c.reason);
    EXPECT_EQ(Log, (std::vector<std::string>{"done", "closepopup " + std::to_string(int(c.reason)), "closeup"}));
    // With the popup closed the same key goes on to the editor.
    TypeKey(c.key);
    Pump();
    EXPECT_GE(keysSeen, 1) << "key " << c.key;
  }
}

TEST_F(DropDownForm, OneCycleFiresItsEventsInOrderAndInitOnlyOnce) {
  Ed->SetFocus();
  Ed->SetPopupOpen(true);
  Ed->SetPopupOpen(true);  // queued already: absorbed
  EXPECT_FALSE(Ed->IsPopupOpen()) << "opening waits for the queue";
  Pump();
  ASSERT_TRUE(Ed->IsPopupOpen());
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "popup"}));
  Ed->ClosePopup(pcrAccept);
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "popup", "done", "closepopup 4", "closeup"}));
  // The next cycle initialises again.
  Log.clear();
  Ed->SetPopupOpen(true);
  Pump();
  Ed->SetPopupOpen(false);
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "popup", "done", "closepopup 0", "closeup"}));
}

TEST_F(DropDownForm, AnEditorFreedWhileItsOpenIsQueuedFiresTheCloseEventsOnce) {
  Ed->SetPopupOpen(true);
  ASSERT_TRUE(Ed->OpenPending());
  delete Ed;
  Ed = nullptr;
  Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "done", "closepopup 0", "closeup"}));
}

TEST_F(DropDownForm, NothingToShowOpensNothingAndAnInitHandlerThatFailsLetsTheNextOpenRetry) {
  Ed->Content_ = false;
  Ed->SetPopupOpen(true);
  Pump();
  EXPECT_FALSE(Ed->IsPopupOpen());
  EXPECT_FALSE(Ed->PopupPrepared);
  EXPECT_EQ(Log, (std::vector<std::string>{"init", "done"}));

  Ed->Content_ = true;
  Log.clear();
  Ed->DropDownProperties()->OnInitPopup = TNotifyEvent::Lambda([](TObject*) { throw Exception("no"); });
  EXPECT_THROW(Ed->SetPopupOpen(true), Exception);
  EXPECT_FALSE(Ed->PopupPrepared);
  Pump();
  EXPECT_FALSE(Ed->IsPopupOpen());
}

TEST(DropDownProperties, SizeSettersClampAndAlignmentMapsBothWays) {
  TcxCustomDropDownEditProperties p(nullptr);
  p.SetPopupWidth(-5);
  EXPECT_EQ(p.PopupWidth(), 0);
  p.SetPopupWidth(50);
  p.SetPopupMinWidth(100);
  EXPECT_EQ(p.PopupWidth(), 100);
  p.SetPopupWidth(0);
  EXPECT_EQ(p.PopupWidth(), 0) << "0 stays: as wide as the editor";
  p.SetPopupWidth(60);
  EXPECT_EQ(p.PopupWidth(), 100);
  EXPECT_EQ(p.PopupHeight(), 0);
  p.SetPopupMinHeight(100);
  EXPECT_EQ(p.PopupHeight(), 100);
  p.SetPopupMinHeight(-3);
  EXPECT_EQ(p.PopupMinHeight(), 0);
  struct Case { TAlignment a; TcxPopupPlacement p; };
  for (const Case c : {Case{taCenter, ppCenter}, Case{taRightJustify, ppEnd}, Case{taLeftJustify, ppStart}}) {
    p.SetPopupAlignment(c.a);
    EXPECT_EQ(p.PopupAlignment(), c.a);
    EXPECT_EQ(p.OpenHorzAlign, c.p);
  }
  ASSERT_EQ(p.Buttons()->Count(), 1);
  EXPECT_EQ(p.Buttons()->Items(0)->Kind(), bkDown);
}

TEST_F(DropDownForm, PopupWidthZeroIsTheEditorsWidthAndCentreAlignmentCentresIt) {
  Ed->DropDownProperties()->SetPopupAutoSize(false);
  Ed->DropDownProperties()->SetPopupHeight(90);
  Ed->SetPopupOpen(true);
  Pump();
  ASSERT_TRUE(Ed->IsPopupOpen());
  TcxCustomEditPopupWindow* w = Ed->PopupForm();
  const TRect owner = w->OwnerRect;
  EXPECT_EQ(w->Width(), owner.Width());
  EXPECT_EQ(w->Height(), 90);
  EXPECT_EQ(w->Left(), owner.Left);
  EXPECT_EQ(w->Top(), owner.Bottom);
  Ed->ClosePopup(pcrCancel);

  // Room on both sides for a popup wider than the editor.
  Form->SetLeft(WorkArea().Left + 200);
  Pump();
  Ed->DropDownProperties()->SetPopupWidth(300);
  Ed->DropDownProperties()->SetPopupAlignment(taCenter);
  Ed->SetPopupOpen(true);
  Pump();
  const TRect moved = w->OwnerRect;
  EXPECT_EQ(w->Width(), 300);
  EXPECT_EQ(w->Left(), (moved.Left + moved.Right - 300) / 2);
  Ed->DropDownProperties()->SetPopupAlignment(taRightJustify);
  Ed->ClosePopup(pcrCancel);
  Ed->SetPopupOpen(true);
  Pump();
  EXPECT_EQ(w->Left() + w->Width(), moved.Right);
}

TEST_F(DropDownForm, NoRoomBelowOpensAboveWithTheGripOnTopShiftedOntoTheEditorAndTheStripCut) {
  const TRect a = WorkArea();
  // The form moves so that the editor sits 40 pixels above the work area's bottom.
  Form->SetTop(a.Bottom - 40 - 10 - 21);
  Pump();
  Ed->Style()->SetShadow(true);
  Ed->Content = TSize{250, 60};  // wider than the editor
  Ed->DropDownProperties()->SetPopupSizeable(true);
  Ed->DropDownProperties()->SetPopupSysPanelStyle(true);
  Ed->SetPopupOpen(true);
  Pump();
  ASSERT_TRUE(Ed->IsPopupOpen());
  TcxCustomEditPopupWindow* w = Ed->PopupForm();
  TcxCustomEditPopupWindowViewInfo* v = w->ViewInfo();
  ASSERT_TRUE(w->ShadowOn()) << "the editor's shadow goes with its popup";
  EXPECT_EQ(v->GripCorner, gcTopRight);
  EXPECT_LT(v->GripHitBox.Top, v->ClientRect.Top) << "the panel is at the top";
  EXPECT_EQ(w->Top() + w->Height(), w->OwnerRect.Top + 3) << "3 pixels down onto the editor";
  // The region: the bottom shadow strip over the editor is cut out, the rest of it stays.
  ASSERT_FALSE(w->NativeLook());
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(w->Handle(), rgn), 0);
  const int y = w->Height() - 2;
  EXPECT_FALSE(PtInRegion(rgn, w->OwnerRect.Left - w->Left() + 10, y));
  ASSERT_GT(w->Left() + w->Width(), w->OwnerRect.Right);
  EXPECT_TRUE(PtInRegion(rgn, w->Width() - 2, y)) << "the shadow right of the editor stays";
  EXPECT_TRUE(PtInRegion(rgn, 10, 10));
  DeleteObject(rgn);
}

TEST_F(DropDownForm, ASizeablePanelPopupLeavesRoomForTheCloseBoxTheGripAndTen) {
  Ed->DropDownProperties()->SetPopupSizeable(true);
  Ed->DropDownProperties()->SetPopupSysPanelStyle(true);
  Ed->Content = TSize{10, 10};
  Ed->SetPopupOpen(true);
  Pump();
  TcxCustomEditPopupWindow* w = Ed->PopupForm();
  TcxCustomEditPopupWindowViewInfo* v = w->ViewInfo();
  TSize m;
  w->GetMinimumSize(m);
  TRect e;
  v->GetClientExtents(e);
  ASSERT_GT(v->CloseBox.Width(), 0);
  ASSERT_GT(v->GripHitBox.Width(), 0);
  EXPECT_EQ(m.cx, e.Left + e.Right + v->CloseBox.Width() + v->GripHitBox.Width() + 10);
  EXPECT_GE(w->Width(), m.cx);
  // The close box and the grip lie at opposite ends of the panel.
  EXPECT_LT(v->CloseBox.Right, v->GripHitBox.Left);
}

TEST_F(DropDownForm, DraggingTheGripMovesTheFrameInTheOverlayAndTheWindowTakesItOnRelease) {
  Ed->Style()->SetShadow(true);
  Ed->DropDownProperties()->SetPopupSizeable(true);
  Ed->DropDownProperties()->SetPopupSysPanelStyle(true);
  Ed->SetPopupOpen(true);
  Pump();
  TcxCustomEditPopupWindow* w = Ed->PopupForm();
  TcxCustomEditPopupWindowViewInfo* v = w->ViewInfo();
  ASSERT_EQ(v->GripCorner, gcBottomRight);
  ASSERT_TRUE(w->ShadowOn());
  const TRect before = w->BoundsRect();
  const TPoint grip{(v->GripHitBox.Left + v->GripHitBox.Right) / 2, (v->GripHitBox.Top + v->GripHitBox.Bottom) / 2};
  Press(w, grip);
  ASSERT_TRUE(PopupSizingState().Active);
  EXPECT_EQ(w->Cursor(), crSizeNWSE);
  // Outward by 30 x 20: only right and bottom move; the frame shows in the overlay.
  Move(w, {grip.X + 30, grip.Y + 20}, Qt::LeftButton);
  Pump();
  const auto frames = ScreenFocusRects();
  ASSERT_FALSE(frames.empty());
  const TRect expected{before.Left, before.Top, before.Right + 30 - 3, before.Bottom + 20 - 3};
  EXPECT_TRUE(Same(frames.front(), expected)) << frames.front().Left << "," << frames.front().Top << ","
                                              << frames.front().Right << "," << frames.front().Bottom;
  EXPECT_EQ(w->BoundsRect().Right, before.Right) << "the window waits for the release";
  // Moving inside the window, away from the grip, grows nothing.
  Move(w, {grip.X - 40, grip.Y - 5}, Qt::LeftButton);
  Pump();
  Release(w, {grip.X + 30, grip.Y + 20});
  Pump();
  EXPECT_TRUE(ScreenFocusRects().empty()) << "the frame is erased";
  EXPECT_FALSE(PopupSizingState().Active);
  EXPECT_EQ(w->Left(), before.Left);
  EXPECT_EQ(w->Top(), before.Top);
  EXPECT_LE(w->Width(), before.Width()) << "the last frame was inside";
  EXPECT_TRUE(Ed->PopupResizedByUser);

  // Past the work area: clipped to it.
  const TRect a = WorkArea();
  const TRect now = w->BoundsRect();
  const TPoint g2{now.Width() - 5, now.Height() - 5};
  Press(w, g2);
  Move(w, {g2.X + 5000, g2.Y + 5000}, Qt::LeftButton);
  Release(w, {g2.X + 5000, g2.Y + 5000});
  Pump();
  EXPECT_EQ(w->Left() + w->Width(), a.Right);
  EXPECT_EQ(w->Top() + w->Height(), a.Bottom);
  // Closed, the user's size is kept as the popup size.
  Ed->ClosePopup(pcrCancel);
  EXPECT_EQ(Ed->DropDownProperties()->PopupWidth(), w->Width());
  EXPECT_EQ(Ed->DropDownProperties()->PopupHeight(), w->Height());
}

TEST_F(DropDownForm, TheCloseButtonGoesHotThenPressedAndClosesOnReleaseWhenCloseQueryAgrees) {
  Ed->DropDownProperties()->SetPopupSysPanelStyle(true);
  bool allow = false;
  Ed->DropDownProperties()->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) { can = allow; });
  Ed->SetPopupOpen(true);
  Pump();
  TcxCustomEditPopupWindow* w = Ed->PopupForm();
  TcxCustomEditPopupWindowViewInfo* v = w->ViewInfo();
  ASSERT_FALSE(IsRectEmpty(v->CloseBox));
  const TPoint c{(v->CloseBox.Left + v->CloseBox.Right) / 2, (v->CloseBox.Top + v->CloseBox.Bottom) / 2};
  EXPECT_EQ(v->CloseBoxState, 1);
  Move(w, c);
  EXPECT_EQ(v->CloseBoxState, 2);
  Press(w, c);
  EXPECT_EQ(v->CloseBoxState, 3);
  Release(w, c);
  Pump();
  EXPECT_TRUE(Ed->IsPopupOpen()) << "the query refused";
  EXPECT_EQ(v->CloseBoxState, 2);
  allow = true;
  Press(w, c);
  Release(w, c);
  Pump();
  EXPECT_FALSE(Ed->IsPopupOpen());
  EXPECT_EQ(Ed->LastCloseReason, pcrUnknown);
}

TEST_F(DropDownForm, ThePopupCopiesTheFormsTranslucency) {
  Form->SetAlphaBlendValue(200);
  Form->SetAlphaBlend(true);
  Ed->SetPopupOpen(true);
  Pump();
  EXPECT_TRUE(Ed->PopupForm()->AlphaBlend());
  EXPECT_NEAR(Ed->PopupForm()->WindowOpacity(), 200 / 255.0, 0.01);
}
