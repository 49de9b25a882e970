// The drop-down windows: the pop-up pick list with its size grip, the recently-used list box and
// the drop-down month calendar, driven through their messages.
#include "GridPaintFixture.h"
#include "grid/ToolCtrlsEh.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/Screen.h"

#include <gtest/gtest.h>

namespace {

LPARAM At(int X, int Y) { return MakeLParam(X, Y); }

// An edit that opens drop-downs and records how they closed.
class TOwnerEdit : public TEdit, public IDropDownOwnerEh {
public:
  using TEdit::TEdit;
  std::vector<bool> Closes;
  void CloseDropDown(bool Accept) override { Closes.push_back(Accept); }
};

class DropDowns : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    Edit = new TOwnerEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(10, 10, 120, 21);
  }
  void TearDown() override { delete Form; }
  TPopupListboxEh* MakeList(std::initializer_list<const char*> Items) {
    auto* list = new TPopupListboxEh(Edit);
    for (const char* s : Items) list->Items()->Add(s);
    list->SetBounds(0, 0, 120, 100);
    return list;
  }
  void Key(TWinControl* C, Char K) { C->Perform(WM_CHAR, K, 0); }
  TForm* Form = nullptr;
  TOwnerEdit* Edit = nullptr;
};

// ================================================================ the pick list

TEST_F(DropDowns, APickListIsAFramedPopupThatSnapsToWholeRows) {
  TPopupListboxEh* list = MakeList({"a", "b", "c", "d", "e"});
  list->HandleNeeded();
  EXPECT_TRUE(list->WindowStyle() & WS_POPUP);
  EXPECT_TRUE(list->WindowExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(list->WindowExStyle() & WS_EX_TOPMOST);
  EXPECT_EQ(list->NonClientMargins(), (TRect{2, 2, 2, 2}));
  EXPECT_FALSE(list->CanFocus());
  const int ih = list->RowHeight(), border = list->BorderHeight();
  ASSERT_GT(ih, 0);
  EXPECT_EQ(border, 4);

  struct TCase {
    int Height, Rows;
  };
  const TCase cases[] = {{border + 3 * ih, 3}, {border + 3 * ih + ih / 2, 3}, {border + 3 * ih - 1, 2}, {1, 1}, {border, 1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Height);
    list->SetBounds(5, 6, 100, c.Height);
    EXPECT_EQ(list->VisibleRows(), c.Rows);
    EXPECT_EQ(list->Height(), border + c.Rows * ih);
  }
  list->SetBounds(5, 6, 1, 1);
  EXPECT_EQ(list->Width(), GetSystemMetrics(SM_CXVSCROLL)) << "never narrower than a scroll bar";
  for (int rows : {0, 1, 7}) {
    TPopupListboxEh::SetRowsHeight(list, rows);
    EXPECT_EQ(list->Height(), border + std::max(rows, 1) * ih);
  }
  EXPECT_TRUE(list->WasResized());
}

TEST_F(DropDowns, TypedCharactersSearchWithinTwoSecondsOfEachOther) {
  TPopupListboxEh* list = MakeList({"apple", "Abacus", "abc", "banana", "北京", "北海"});
  TDateTime t = EncodeDate(2024, 5, 1);
  TClockOverride clock([&] { return t; });
  auto after = [&](int ms) { t += ms / 86400000.0; };
  Key(list, U'a');
  EXPECT_EQ(list->ItemIndex(), 0);
  after(1500);
  Key(list, U'B');
  EXPECT_EQ(list->SearchText(), "aB");
  EXPECT_EQ(list->ItemIndex(), 1) << "the first item beginning with ab, any case";
  after(2500);
  Key(list, U'b');
  EXPECT_EQ(list->SearchText(), "b");
  EXPECT_EQ(list->ItemIndex(), 3);
  Key(list, 8);
  EXPECT_EQ(list->SearchText(), "");
  Key(list, U'北');
  Key(list, U'海');
  EXPECT_EQ(list->ItemIndex(), 5);
  Key(list, 27);
  for (int i = 0; i < 40; ++i) Key(list, U'x');
  EXPECT_EQ(Length(list->SearchText()), 32);
}

TEST_F(DropDowns, ThePointerSelectsTheItemUnderItAndTheWheelScrollsByOneRow) {
  TPopupListboxEh* list = MakeList({"0", "1", "2", "3", "4", "5", "6", "7"});
  TPopupListboxEh::SetRowsHeight(list, 3);
  const int ih = list->RowHeight();
  list->Perform(WM_MOUSEMOVE, 0, At(5, 2 * ih + 1));
  EXPECT_EQ(list->ItemIndex(), 2);
  list->Perform(WM_MOUSEMOVE, MK_RBUTTON, At(5, ih + 1));
  EXPECT_EQ(list->ItemIndex(), 2) << "not while a button is held";
  list->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-120) & 0xFFFF), 0);
  EXPECT_EQ(list->TopIndex(), 1);
  list->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-120) & 0xFFFF), 0);
  list->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
  EXPECT_EQ(list->TopIndex(), 1);
}

TEST_F(DropDowns, VirtualItemsGiveTheTexts) {
  TPopupListboxEh* list = MakeList({});
  TStringList texts;
  texts.Add("北京");
  texts.Add("上海");
  list->SetVirtualItems(&texts);
  EXPECT_EQ(list->Style(), lbVirtualOwnerDraw);
  EXPECT_EQ(list->Count(), 2);
  list->SetVirtualItems(nullptr);
  EXPECT_EQ(list->Style(), lbOwnerDrawFixed);
}

TEST_F(DropDowns, ImagesStandInTheirColumnBeforeTheText) {
  TImageList images(nullptr);
  for (TColor c : {clRed, clBlue}) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images.Add(&b, nullptr);
  }
  TPopupListboxEh* list = MakeList({"一", "二", "三"});
  list->SetImages(&images);
  list->SetItemHeight(20);
  TPopupListboxEh::SetRowsHeight(list, 3);
  std::vector<int> asked;
  list->OnGetItemImage = TListGetImageIndexEventEh::Lambda([&](TObject* Sender, int Item, int& Index) {
    EXPECT_EQ(Sender, Edit) << "the list's owner";
    asked.push_back(Item);
    if (Item == 2) Index = 0;
  });
  list->HandleNeeded();
  TPaintSurface s;
  s.Reset(list->Width(), list->Height());
  list->PaintTo(s.Canvas(), 0, 0);
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  auto is = [](COLORREF c) { return [c](COLORREF p) { return p == c; }; };
  const int top = list->NonClientMargins().Top, left = list->NonClientMargins().Left;
  TRect imageColumn = Rect(0, 0, left + 16 + 4, list->Height());
  EXPECT_EQ(s.CountWhere(Rect(imageColumn.Right, 0, list->Width(), list->Height()), is(red)), 0);
  EXPECT_EQ(s.CountWhere(Rect(0, top, imageColumn.Right, top + 20), is(red)), 16 * 16);
  EXPECT_EQ(s.CountWhere(Rect(0, top + 20, imageColumn.Right, top + 40), is(blue)), 16 * 16);
  EXPECT_EQ(s.CountWhere(Rect(0, top + 40, imageColumn.Right, top + 60), is(red)), 16 * 16) << "the handler's image";
  EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
}

// ================================================================ the size grip

TEST_F(DropDowns, TheGripFollowsTheSideTheDropDownWasPlacedOn) {
  TPopupListboxEh* list = MakeList({"a"});
  list->HandleNeeded();
  TSizeGripEh* grip = list->SizeGrip();
  EXPECT_EQ(grip->Corner(), gripBottomRight);
  EXPECT_EQ(grip->Cursor(), crSizeNWSE);
  auto corner = [&] { return grip->BoundsRect().TopLeft(); };
  EXPECT_EQ(corner(), (TPoint{list->ClientWidth() - grip->Width(), list->ClientHeight() - grip->Height()}));
  struct TStep {
    WPARAM Side;
    TGripCorner Corner;
  };
  const TStep steps[] = {{kGripSideTopEh, gripTopRight},  {kGripSideLeftEh, gripTopLeft},
                         {kGripSideLeftEh, gripTopLeft},   {kGripSideBottomEh, gripBottomLeft},
                         {kGripSideRightEh, gripBottomRight}};
  for (const TStep& s : steps) {
    list->Perform(CM_GRIPSIDE, s.Side, 0);
    EXPECT_EQ(grip->Corner(), s.Corner);
  }
  list->Perform(CM_GRIPSIDE, kGripSideTopEh, 0);
  EXPECT_EQ(corner(), (TPoint{list->ClientWidth() - grip->Width(), 0}));
  EXPECT_EQ(grip->Cursor(), crSizeNESW);
  grip->SetBounds(3, 3, grip->Width(), grip->Height());
  EXPECT_EQ(corner(), (TPoint{list->ClientWidth() - grip->Width(), 0})) << "moved back into its corner";
}

TEST_F(DropDowns, DraggingATopGripGrowsTheListUpwardKeepingItsBottom) {
  TPopupListboxEh* list = MakeList({"a", "b", "c", "d", "e", "f", "g", "h"});
  TPopupListboxEh::SetRowsHeight(list, 3);
  list->SetBounds(200, 300, 120, list->Height());
  list->HandleNeeded();
  list->Perform(CM_GRIPSIDE, kGripSideTopEh, 0);
  const int ih = list->RowHeight(), bottom = list->Top() + list->Height();
  TSizeGripEh* grip = list->SizeGrip();
  int sized = 0;
  grip->OnParentSized = TNotifyEvent::Lambda([&](TObject*) { ++sized; });
  grip->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(4, 4));
  ASSERT_TRUE(grip->MouseCapture());
  grip->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(4 + 30, 4 - 2 * ih));
  EXPECT_EQ(list->VisibleRows(), 5);
  EXPECT_EQ(list->Top() + list->Height(), bottom);
  EXPECT_EQ(list->Width(), 150);
  EXPECT_EQ(sized, 1);
  EXPECT_EQ(grip->BoundsRect().TopLeft(), (TPoint{list->ClientWidth() - grip->Width(), 0}));
  grip->Perform(WM_LBUTTONUP, 0, At(4, 4));
}

TEST_F(DropDowns, DraggingStopsAtTheWorkArea) {
  TPopupListboxEh* list = MakeList({"a", "b"});
  TRect work = Screen->WorkAreaRect();
  list->SetBounds(work.Right - 200, work.Bottom - 150, 120, 100);
  list->HandleNeeded();
  TSizeGripEh* grip = list->SizeGrip();
  grip->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
  grip->Perform(WM_MOUSEMOVE, MK_LBUTTON, At(2 + 500, 2 + 500));
  EXPECT_EQ(list->Left() + list->Width(), work.Right);
  EXPECT_LE(list->Top() + list->Height(), work.Bottom);
  EXPECT_GT(list->Top() + list->Height(), work.Bottom - list->RowHeight());
  grip->Perform(WM_LBUTTONUP, 0, At(2, 2));
}

TEST_F(DropDowns, TheGripDrawsItsStrokesTowardItsCorner) {
  TPopupListboxEh* list = MakeList({"a"});
  list->HandleNeeded();
  TSizeGripEh* grip = list->SizeGrip();
  const int w = grip->Width(), h = grip->Height();
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW),
                 face = GetSysColor(COLOR_BTNFACE);
  struct TCase {
    WPARAM Vertical, Horizontal;
    TGripCorner Corner;
    TPoint FirstStroke;  // the highlight at the start of the outermost stroke
    int Step;            // the next strokes lie this way along the edge
    TPoint Far;          // the corner away from the grip's corner stays plain
  };
  const TCase cases[] = {
      {kGripSideBottomEh, kGripSideRightEh, gripBottomRight, {1, h - 1}, 1, {0, 0}},
      {kGripSideTopEh, kGripSideRightEh, gripTopRight, {1, 0}, 1, {0, h - 1}},
      {kGripSideTopEh, kGripSideLeftEh, gripTopLeft, {w - 2, 0}, -1, {w - 1, h - 1}},
      {kGripSideBottomEh, kGripSideLeftEh, gripBottomLeft, {w - 2, h - 1}, -1, {w - 1, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Corner));
    list->Perform(CM_GRIPSIDE, c.Vertical, 0);
    list->Perform(CM_GRIPSIDE, c.Horizontal, 0);
    ASSERT_EQ(grip->Corner(), c.Corner);
    TPaintSurface s;
    s.Reset(w, h);
    grip->PaintTo(s.Canvas(), 0, 0);
    TPoint p = c.FirstStroke;
    EXPECT_EQ(s.Pixel(p.X, p.Y), light);
    EXPECT_EQ(s.Pixel(p.X + c.Step, p.Y), dark);
    EXPECT_EQ(s.Pixel(p.X + 2 * c.Step, p.Y), dark);
    EXPECT_EQ(s.Pixel(p.X + 3 * c.Step, p.Y), face);
    EXPECT_EQ(s.Pixel(p.X + 4 * c.Step, p.Y), light) << "the next group of four";
    EXPECT_EQ(s.Pixel(c.Far.X, c.Far.Y), face);
  }
}

// ================================================================ placement and activation

TEST_F(DropDowns, AtTheWorkAreasBottomTheListOpensAboveWithoutTakingTheFocus) {
  TRect work = Screen->WorkAreaRect();
  Form->SetBounds(work.Left + 50, work.Bottom - 60, 300, 60);
  Form->Show();
  Application->ProcessMessages();
  Edit->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(GetFocus(), Edit->Handle());
  TPopupListboxEh* list = MakeList({"北京", "上海", "广州"});
  TPopupListboxEh::SetRowsHeight(list, 3);
  TPoint p = PlaceDropDownUnder(Edit, list, daLeft);
  TPoint editTop = Edit->ClientToScreen({0, 0});
  EXPECT_EQ(p.Y + list->Height(), Form->ClientToScreen(Edit->BoundsRect().TopLeft()).Y);
  EXPECT_EQ(list->SizeGrip()->Corner(), gripTopRight) << "the grip goes to the far side";
  ShowPopupAt(list, p.X, p.Y, Edit);
  Application->ProcessMessages();
  EXPECT_TRUE(list->Visible());
  EXPECT_EQ(list->BoundsRect().TopLeft(), p);
  // A click in the list selects without taking the focus from the edit.
  list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(5, list->RowHeight() + 1));
  list->Perform(WM_LBUTTONUP, 0, At(5, list->RowHeight() + 1));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_EQ(Screen->ActiveForm(), Form);
  HidePopup(list);
  (void)editTop;
}

// ================================================================ the recently-used list box

TEST_F(DropDowns, TheMRUListShowsItsScrollBarBesideTheGripWhenItemsAreHidden) {
  auto* mru = new TMRUListboxEh(Edit);
  mru->SetBounds(0, 0, 150, 100);
  mru->HandleNeeded();
  for (int i = 0; i < 10; ++i) mru->Items()->Add("item" + IntToStr(i));
  TPopupListboxEh::SetRowsHeight(mru, 3);
  TScrollBar* bar = mru->ScrollBar();
  TSizeGripEh* grip = mru->SizeGrip();
  EXPECT_FALSE(mru->ScrollBars().Visible(SB_VERT)) << "the list's own bar gives way";
  ASSERT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Max(), 9);
  EXPECT_EQ(bar->PageSize(), 3);
  EXPECT_EQ(bar->BoundsRect(), Rect(mru->ClientWidth() - bar->Width(), 0, mru->ClientWidth(),
                                    mru->ClientHeight() - grip->Height()));
  EXPECT_FALSE(grip->Triangular()) << "square under a scroll bar";

  int pos = 0;
  bar->OnScroll(bar, scLineDown, pos);
  EXPECT_EQ(mru->TopIndex(), 1);
  EXPECT_EQ(pos, 1);
  mru->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-120) & 0xFFFF), 0);
  EXPECT_EQ(bar->Position(), 2);

  mru->Perform(CM_GRIPSIDE, kGripSideTopEh, 0);
  EXPECT_EQ(bar->Top(), grip->Height());
  EXPECT_EQ(bar->Top() + bar->Height(), mru->ClientHeight());
  mru->Perform(CM_GRIPSIDE, kGripSideLeftEh, 0);
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Height(), mru->ClientHeight());
  EXPECT_TRUE(grip->Triangular()) << "a grip on the left is not under the bar";

  mru->Items()->Clear();
  mru->Items()->Add("only");
  EXPECT_FALSE(bar->Visible());
  EXPECT_TRUE(grip->Triangular());
}

// ================================================================ the calendar

class CalendarDropDown : public DropDowns {
protected:
  void SetUp() override {
    DropDowns::SetUp();
    Cal = new TPopupMonthCalendarEh(Edit);
    Cal->SetDate(EncodeDate(2024, 5, 15));
    Cal->HandleNeeded();
  }
  // The first client point the calendar's hit test reports as Code.
  TPoint Find(UINT Code) {
    for (int y = 0; y < Cal->ClientHeight(); ++y)
      for (int x = 0; x < Cal->ClientWidth(); ++x)
        if (Cal->HitTest({x, y}) == Code) return {x, y};
    ADD_FAILURE() << "no point with code " << Code;
    return {-1, -1};
  }
  void Click(TPoint P) {
    Cal->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(P.X, P.Y));
    Cal->Perform(WM_LBUTTONUP, 0, At(P.X, P.Y));
  }
  TPopupMonthCalendarEh* Cal = nullptr;
};

TEST_F(CalendarDropDown, ADateClickAcceptsTheArrowOnlyTurnsTheMonth) {
  EXPECT_TRUE(Cal->WindowStyle() & WS_POPUP);
  EXPECT_EQ(Cal->NonClientMargins(), (TRect{2, 2, 2, 2}));
  TRect req = Cal->MinReqRect();
  EXPECT_EQ(Cal->Width(), req.Width() + 4);
  EXPECT_EQ(Cal->Height(), req.Height() + 4);

  TDateTime month = Cal->VisibleMonth();
  Click(Find(MCHT_TITLEBTNNEXT));
  EXPECT_TRUE(Edit->Closes.empty());
  EXPECT_EQ(Cal->VisibleMonth(), IncMonth(month, 1));
  Click(Find(MCHT_CALENDARDAY));
  EXPECT_TRUE(Edit->Closes.empty()) << "the weekday header";
  TPoint day = Find(MCHT_CALENDARDATE);
  Click(day);
  ASSERT_EQ(Edit->Closes, (std::vector<bool>{true}));
  SYSTEMTIME st{};
  Cal->HitTest(day, &st);
  EXPECT_EQ(Cal->Date(), SystemTimeToDateTime(st));
  EXPECT_EQ(Cal->VisibleMonth(), IncMonth(month, 1));

  Cal->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(-3, 5));
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{true, false})) << "a press outside";
}

TEST_F(CalendarDropDown, KeysFocusLossAndWheel) {
  Word enter = VK_RETURN, esc = VK_ESCAPE;
  Cal->Perform(WM_KEYDOWN, enter, 0);
  Cal->Perform(WM_KEYDOWN, esc, 0);
  EXPECT_EQ(Cal->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{true, false, true}));
  Edit->Closes.clear();

  Cal->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(Edit->Handle()), 0);
  EXPECT_TRUE(Edit->Closes.empty()) << "closed later, through the queue";
  Application->ProcessMessages();
  EXPECT_EQ(Edit->Closes, (std::vector<bool>{false}));

  Cal->Perform(WM_MOUSEWHEEL, MakeWParam(0, WPARAM(-120) & 0xFFFF), 0);
  EXPECT_EQ(Cal->Date(), EncodeDate(2024, 5, 16));
  Cal->Perform(WM_MOUSEWHEEL, MakeWParam(0, 240), 0);
  Cal->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
  EXPECT_EQ(Cal->Date(), EncodeDate(2024, 5, 14));

  SYSTEMTIME st{};
  DateTimeToSystemTime(EncodeDate(2024, 6, 1), st);
  EXPECT_EQ(Cal->Perform(MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st)), 1);
  EXPECT_EQ(Cal->Date(), EncodeDate(2024, 6, 1));

  TPopupMonthCalendarEh loose(nullptr);
  loose.Perform(WM_KEYDOWN, enter, 0);  // no owner to tell: nothing happens
}

}  // namespace
