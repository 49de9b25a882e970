// Edit buttons, button faces and their cache, drop-down placement and the small helpers of
// the edit-button unit.
#include "core/ClassBuilder.h"
#include "GridPaintFixture.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/Controls.h"
#include "gui/Screen.h"

#include <gtest/gtest.h>

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
COLORREF Sys(int Index) { return GetSysColor(Index); }
}  // namespace

// ================================================================ the cache

class ButtonFaces : public TGridPaintFixture {
protected:
  void SetUp() override {
    TGridPaintFixture::SetUp();
    ResetButtonBitmapCache();
  }
  TRect BlackBox(const TRect& Area) { return BoxWhere(Area, [](COLORREF c) { return c == kBlack; }); }
};

TEST_F(ButtonFaces, TheCacheGivesOneBitmapPerKeyAndIsEmptyAfterAReset) {
  TButtonsBitmapCache* cache = ButtonsBitmapCache();
  ASSERT_EQ(cache->Count(), 0);
  TButtonFaceKey a = ButtonFaceKey(15, 17, bfsDropDown, false, false, false, true, 0, 0);
  TBitmap* first = cache->GetButtonBitmap(a);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 15);
  EXPECT_EQ(first->Height(), 17);
  EXPECT_EQ(cache->GetButtonBitmap(ButtonFaceKey(15, 17, bfsDropDown, false, false, false, true, 0, 0)), first);
  EXPECT_EQ(cache->Count(), 1);

  // Any field of the key makes another face.
  const TButtonFaceKey others[] = {
      ButtonFaceKey(16, 17, bfsDropDown, false, false, false, true, 0, 0),
      ButtonFaceKey(15, 17, bfsEllipsis, false, false, false, true, 0, 0),
      ButtonFaceKey(15, 17, bfsDropDown, true, false, false, true, 0, 0),
      ButtonFaceKey(15, 17, bfsDropDown, false, true, false, true, 0, 0),
      ButtonFaceKey(15, 17, bfsDropDown, false, false, true, true, 0, 0),
      ButtonFaceKey(15, 17, bfsDropDown, false, false, false, false, 0, 0),
      ButtonFaceKey(15, 17, bfsDropDown, false, false, false, true, 1, 0),
      ButtonFaceKey(15, 17, bfsDropDown, false, false, false, true, 0, 2),
  };
  for (const TButtonFaceKey& k : others) EXPECT_NE(cache->GetButtonBitmap(k), first);
  EXPECT_EQ(cache->Count(), 1 + int(std::size(others)));

  // Painting reuses the faces: a grid of equal buttons adds one entry.
  for (int i = 0; i < 10; ++i)
    PaintEditButtonFace(DC(), Bounds(i * 16, 0, 14, 17), clBtnFace, bfsEllipsis, 0, false, false, true, 0);
  EXPECT_EQ(cache->Count(), 1 + int(std::size(others)) + 1);

  ResetButtonBitmapCache();
  EXPECT_EQ(cache->Count(), 0);
  EXPECT_EQ(ButtonFaceKey(-4, 9, bfsPlus, false, false, false, true, 0, 0).Size, (TSize{0, 9}));
}

TEST_F(ButtonFaces, ACachedFaceIsReusedUntilTheCacheIsReset) {
  const TRect r = Rect(0, 0, 15, 17);
  PaintEditButtonFace(DC(), r, clBtnFace, bfsEllipsis, 0, false, false, true, 0);
  TBitmap* face = ButtonsBitmapCache()->GetButtonBitmap(ButtonFaceKey(15, 17, bfsEllipsis, false, false, false, true, 0, 0));
  // Stands for faces painted before the system colours changed.
  face->Canvas()->Brush()->SetColor(clRed);
  face->Canvas()->FillRect(r);
  Clear();
  PaintEditButtonFace(DC(), r, clBtnFace, bfsEllipsis, 0, false, false, true, 0);
  EXPECT_EQ(CountColour(r, kRed), 15 * 17) << "without a reset the old face stays";
  ResetButtonBitmapCache();
  Clear();
  PaintEditButtonFace(DC(), r, clBtnFace, bfsEllipsis, 0, false, false, true, 0);
  EXPECT_EQ(CountColour(r, kRed), 0);
  EXPECT_EQ(CountColour(r, kBlack), 12) << "three 2 x 2 dots";
}

// ================================================================ face geometry

struct SpinCase {
  int Height;
  bool Flat;
  std::vector<int> ParentRows;  // rows of the face's interior filled with the parent colour
};

void PrintTo(const SpinCase& c, std::ostream* os) { *os << "height " << c.Height << (c.Flat ? " flat" : ""); }

class SpinFaces : public ButtonFaces, public ::testing::WithParamInterface<SpinCase> {};

TEST_P(SpinFaces, OnlyAnOddHeightOrAFlatFrameLeavesAMiddleLine) {
  const SpinCase c = GetParam();
  const int width = 15;
  const TRect r = Rect(0, 0, width, c.Height);
  PaintEditButtonFace(DC(), r, clRed, bfsUpDown, 0, c.Flat, false, true, 0);
  const int inset = c.Flat ? 1 : 0;
  std::vector<int> rows;
  for (int y = inset; y < c.Height - inset; ++y)
    if (RowIs(y, inset, width - inset, kRed)) rows.push_back(y);
  EXPECT_EQ(rows, c.ParentRows);
  // Flat and inactive: the button is framed in the parent's colour.
  EXPECT_EQ(RingIs(r, kRed), c.Flat);
  EXPECT_EQ(Pixel(width, 0), kBackground) << "nothing outside the rectangle";
}

INSTANTIATE_TEST_SUITE_P(Heights, SpinFaces,
                         ::testing::Values(SpinCase{16, false, {}}, SpinCase{17, false, {8}},
                                           SpinCase{20, false, {}}, SpinCase{21, false, {10}},
                                           SpinCase{17, true, {7, 8, 9}}, SpinCase{16, true, {7, 8}}));

TEST_F(ButtonFaces, PressingASpinHalfChangesOnlyThatHalf) {
  const TRect r = Rect(0, 0, 15, 17);
  PaintEditButtonFace(DC(), r, clRed, bfsUpDown, 0, false, false, true, 0);
  TPaintSurface up;
  up.Reset(15, 17);
  BitBlt(up.DC(), 0, 0, 15, 17, DC(), 0, 0, SRCCOPY);
  PaintEditButtonFace(DC(), r, clRed, bfsUpDown, 2, false, false, true, 0);
  int topDiff = 0, bottomDiff = 0;
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 15; ++x)
      if (Pixel(x, y) != up.Pixel(x, y)) (y < 8 ? topDiff : bottomDiff)++;
  EXPECT_EQ(topDiff, 0);
  EXPECT_GT(bottomDiff, 0);
}

TEST_F(ButtonFaces, AFlatInactiveButtonIsFramedInItsParentsColourAndAnActiveOneShowsAnEdge) {
  const TRect r = Rect(0, 0, 15, 17);
  for (TButtonFaceStyle face : {bfsDropDown, bfsEllipsis, bfsPlus}) {
    Clear();
    PaintEditButtonFace(DC(), r, clRed, face, 0, true, false, true, 0);
    EXPECT_TRUE(RingIs(r, kRed)) << int(face);
    Clear();
    PaintEditButtonFace(DC(), r, clRed, face, 0, true, true, true, 0);
    EXPECT_EQ(CountColour(r, kRed), 0) << int(face);
    // A raised inner edge: highlight at the top-left, shadow at the bottom-right.
    EXPECT_EQ(Pixel(3, 0), Sys(COLOR_BTNHIGHLIGHT)) << int(face);
    EXPECT_EQ(Pixel(0, 3), Sys(COLOR_BTNHIGHLIGHT)) << int(face);
    EXPECT_EQ(Pixel(3, 16), Sys(COLOR_BTNSHADOW)) << int(face);
    EXPECT_EQ(Pixel(14, 3), Sys(COLOR_BTNSHADOW)) << int(face);
    // Pressed: a sunken outer edge.
    Clear();
    PaintEditButtonFace(DC(), r, clRed, face, 1, true, true, true, 0);
    EXPECT_EQ(Pixel(3, 0), Sys(COLOR_BTNSHADOW)) << int(face);
    EXPECT_EQ(Pixel(3, 16), Sys(COLOR_BTNHIGHLIGHT)) << int(face);
  }
}

TEST_F(ButtonFaces, EllipsisDotsFollowTheButtonSizeAndState) {
  struct Case {
    int Width;
    int DownButton;
    bool Enabled;
    int DotSize;
    int Gap;
  } cases[] = {
      {16, 0, true, 2, 2},   // interior 12 wide
      {15, 0, true, 2, 1},   // interior 11
      {11, 0, true, 1, 1},   // interior 7
      {16, 1, true, 2, 2},
      {16, 0, false, 2, 2},
  };
  for (const Case& c : cases) {
    Clear();
    const TRect r = Rect(0, 0, c.Width, 16);
    PaintEditButtonFace(DC(), r, clBtnFace, bfsEllipsis, c.DownButton, false, false, c.Enabled, 0);
    COLORREF dots = c.Enabled ? kBlack : Sys(COLOR_BTNSHADOW);
    TRect box = BoxWhere(Rect(2, 2, c.Width - 2, 14), [&](COLORREF p) { return p == dots; });
    const int inner = c.Width - 4;
    int x = 2 + (inner - c.DotSize) / 2 - c.Gap - c.DotSize + (c.DownButton ? 1 : 0);
    int y = 2 + (12 - c.DotSize) / 2 + (c.DownButton ? 1 : 0);
    EXPECT_EQ(box, Bounds(x, y, 3 * c.DotSize + 2 * c.Gap, c.DotSize)) << c.Width << " down " << c.DownButton;
    EXPECT_EQ(CountColour(box, dots), 3 * c.DotSize * c.DotSize);
    if (!c.Enabled) {
      // The highlight copy lies one pixel down and right.
      EXPECT_EQ(Pixel(box.Right, box.Bottom), Sys(COLOR_BTNHIGHLIGHT));
      EXPECT_EQ(CountColour(r, kBlack), 0);
    }
  }
}

TEST_F(ButtonFaces, PlusAndMinusBarsTakeTheirLengthFromTheShorterSide) {
  struct Case {
    int Size;  // of the square button
    bool Flat;
    bool Plus;
    int Pixels;  // in the text colour
  } cases[] = {
      // 16: interior 12, bar 6 x 2; the plus's vertical bar 2 x 6 overlaps it in 2 x 2.
      {16, false, false, 12},
      {16, false, true, 20},
      // 13: interior 9, bar 5 x 1.
      {13, false, false, 5},
      {13, false, true, 9},
      // 15: interior 11, bar 6 made odd (7); the plus lengthens it to 8 to centre the bars.
      {15, false, false, 14},
      {15, false, true, 28},
  };
  for (const Case& c : cases) {
    Clear();
    const TRect r = Rect(0, 0, c.Size, c.Size);
    DrawSignButton(DC(), r, c.Plus, false, false, c.Flat, true);
    EXPECT_EQ(CountColour(r, kBlack), c.Pixels) << c.Size << (c.Plus ? " plus" : " minus");
  }
  // Flat: the interior is inset by one pixel, and an even bar on an odd side shortens.
  struct FlatCase {
    int Size;
    bool Plus;
    int Pixels;
  } flat[] = {{13, false, 10}, {13, true, 20}, {14, false, 12}};
  for (const FlatCase& c : flat) {
    Clear();
    const TRect r = Rect(0, 0, c.Size, c.Size);
    DrawSignButton(DC(), r, c.Plus, false, false, true, true);
    EXPECT_EQ(CountColour(r, kBlack), c.Pixels) << "flat " << c.Size << (c.Plus ? " plus" : " minus");
  }
}

TEST_F(ButtonFaces, CheckBoxFacesAreSquareAndShowTheirState) {
  struct Case {
    int CheckState;
    bool Enabled;
    COLORREF Mark;  // colour of the check mark, or the background when unchecked
    int Marks;      // expect at least this many pixels of it
  } cases[] = {
      {0, true, kBlack, 0},
      {1, true, kBlack, 10},
      {2, true, Sys(COLOR_BTNSHADOW), 10},
      {1, false, Sys(COLOR_GRAYTEXT), 10},
  };
  for (const Case& c : cases) {
    Clear();
    const TRect r = Rect(0, 0, 20, 13);  // a 13 x 13 square centred: x 3..15
    PaintEditButtonFace(DC(), r, clRed, bfsCheckBox, 0, false, false, c.Enabled, c.CheckState);
    EXPECT_EQ(Pixel(2, 6), kBackground);
    EXPECT_EQ(Pixel(16, 6), kBackground);
    EXPECT_NE(Pixel(3, 6), kBackground);
    EXPECT_NE(Pixel(15, 6), kBackground);
    const TRect inside = Rect(5, 2, 14, 11);
    if (c.Marks == 0) EXPECT_EQ(CountColour(inside, kBlack), 0);
    else EXPECT_GE(CountColour(inside, c.Mark), c.Marks) << c.CheckState;
  }
  // Flat: a ring in the parent colour, or a sunken edge when active.
  Clear();
  PaintEditButtonFace(DC(), Rect(0, 0, 13, 13), clRed, bfsCheckBox, 0, true, false, true, 1);
  EXPECT_TRUE(RingIs(Rect(0, 0, 13, 13), kRed));
  EXPECT_FALSE(RingIs(Rect(1, 1, 12, 12), kRed));
  Clear();
  PaintEditButtonFace(DC(), Rect(0, 0, 13, 13), clRed, bfsCheckBox, 0, true, true, true, 1);
  EXPECT_EQ(Pixel(5, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Pixel(5, 12), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(ButtonFaces, DropDownFacesPointDownAndSpinHalvesPointAway) {
  struct Case {
    TButtonFaceStyle Face;
    int DownButton;
    bool ArrowUp;
  } cases[] = {{bfsDropDown, 0, false}, {bfsDropDown, 1, false}};
  for (const Case& c : cases) {
    Clear();
    PaintEditButtonFace(DC(), Rect(0, 0, 17, 17), clRed, c.Face, c.DownButton, false, false, true, 0);
    TRect arrow = BlackBox(Rect(2, 2, 15, 15));
    ASSERT_FALSE(IsRectEmpty(arrow));
    // A downward triangle is widest at its top row.
    int top = CountColour(Rect(0, arrow.Top, 17, arrow.Top + 1), kBlack);
    int bottom = CountColour(Rect(0, arrow.Bottom - 1, 17, arrow.Bottom), kBlack);
    EXPECT_GT(top, bottom);
  }
  Clear();
  PaintEditButtonFace(DC(), Rect(0, 0, 17, 21), clRed, bfsUpDown, 0, false, false, true, 0);
  TRect up = BlackBox(Rect(0, 0, 17, 10)), down = BlackBox(Rect(0, 11, 17, 21));
  ASSERT_FALSE(IsRectEmpty(up));
  ASSERT_FALSE(IsRectEmpty(down));
  EXPECT_LT(CountColour(Rect(0, up.Top, 17, up.Top + 1), kBlack),
            CountColour(Rect(0, up.Bottom - 1, 17, up.Bottom), kBlack));
  EXPECT_GT(CountColour(Rect(0, down.Top, 17, down.Top + 1), kBlack),
            CountColour(Rect(0, down.Bottom - 1, 17, down.Bottom), kBlack));
}

TEST_F(ButtonFaces, ImagesAreCentredAndClippedToTheirRectangle) {
  TImageList list(nullptr);
  TBitmap image;
  image.SetSize(16, 16);
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(Rect(0, 0, 16, 16));
  list.Add(&image, nullptr);
  auto red = [](COLORREF c) { return c == kRed; };
  DrawImageCentered(Canvas(), Rect(10, 10, 50, 50), &list, false, 0);
  EXPECT_EQ(BoxWhere(FullArea(), red), Rect(22, 22, 38, 38));
  Clear();
  DrawImageCentered(Canvas(), Rect(10, 10, 20, 50), &list, false, 0);
  EXPECT_EQ(BoxWhere(FullArea(), red), Rect(10, 22, 20, 38));
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), none), 0) << "no clipping is left behind";
  DeleteObject(none);
  // Selected: blended with the highlight colour.
  Clear();
  DrawImageCentered(Canvas(), Rect(10, 10, 50, 50), &list, true, 0);
  EXPECT_EQ(CountWhere(FullArea(), red), 0);
  EXPECT_NE(Pixel(30, 30), kBackground);
}

// ================================================================ sizes

TEST(ButtonSizes, HeightsRoundHalfToEvenAndTheFlatWidthIsOddAndNarrow) {
  struct Case {
    int Width;
    bool Flat;
    int Height;
  } cases[] = {{10, true, 15}, {11, true, 16}, {13, true, 20}, {15, true, 22}, {7, false, 7}, {0, true, 0}};
  for (const Case& c : cases) EXPECT_EQ(EditButtonHeightFor(c.Width, c.Flat), c.Height) << c.Width;
  EnsureGridTestApplication();
  int w = CalcFlatButtonWidth();
  EXPECT_EQ(w % 2, 1);
  EXPECT_LE(w, GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_GE(w, 7);
  EXPECT_EQ(FlatButtonWidth(), w);
  EXPECT_EQ(CheckBoxGlyphWidth(), 13);
  EXPECT_EQ(CheckBoxGlyphHeight(), 13);
}

TEST(ButtonSizes, CheckBoxesArePlacedInCellsByAlignment) {
  EnsureGridTestApplication();
  struct Case {
    TRect Cell;
    TAlignment Alignment;
    TRect Expected;
  } cases[] = {
      {Rect(10, 10, 50, 40), taLeftJustify, Rect(10, 19, 23, 32)},   // 40 - 13 offset: 15 - 6 = 9
      {Rect(10, 10, 50, 40), taRightJustify, Rect(37, 19, 50, 32)},
      {Rect(10, 10, 50, 40), taCenter, Rect(10, 19, 23, 32)},
      {Rect(10, 10, 20, 18), taRightJustify, Rect(10, 10, 20, 18)},  // smaller than the glyph
      {Rect(10, 10, 23, 23), taRightJustify, Rect(10, 10, 23, 23)},  // exactly the glyph
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceCheckBoxInCell(c.Cell, c.Alignment), c.Expected) << c.Cell;
}

// ================================================================ edit-button descriptions

TEST(EditButtons, NumGlyphsIsKeptWithinOneToFour) {
  TEditButtonEh b(static_cast<TWinControl*>(nullptr));
  for (auto [in, out] : {std::pair{0, 1}, {1, 1}, {3, 3}, {4, 4}, {9, 4}, {-3, 1}}) {
    b.SetNumGlyphs(in);
    EXPECT_EQ(b.NumGlyphs(), out) << in;
  }
}

TEST(EditButtons, SettersTellTheOwnerOrTheCollection) {
  TEditButtonEh b(static_cast<TWinControl*>(nullptr));
  std::vector<TObject*> told;
  b.OnChanged = TNotifyEvent::Lambda([&](TObject* s) { told.push_back(s); });
  b.SetStyle(ebsEllipsisEh);
  b.SetHint("Pick");
  b.SetHint("Pick");  // same text: no news
  b.SetWidth(12);
  b.SetWidth(12);
  b.SetVisible(true);
  b.SetShortCut(0x4041);  // a plain field
  EXPECT_EQ(told, (std::vector<TObject*>{&b, &b, &b, &b}));

  TEditButtonsEh buttons(nullptr);
  std::vector<TObject*> changed;
  buttons.OnChanged = TNotifyEvent::Lambda([&](TObject* s) { changed.push_back(s); });
  TEditButtonEh* item = buttons.Add();
  ASSERT_FALSE(changed.empty());
  changed.clear();
  item->SetStyle(ebsPlusEh);
  EXPECT_EQ(changed, (std::vector<TObject*>{item}));
}

TEST(EditButtons, NewCollectionButtonsAreVisibleWhenTheCollectionFirstHearsOfThem) {
  TEditButtonsEh buttons(nullptr);
  std::vector<std::pair<bool, Word>> seen;
  buttons.OnChanged = TNotifyEvent::Lambda([&](TObject*) {
    for (int i = 0; i < buttons.Count(); ++i) seen.push_back({buttons.Items(i)->Visible(), buttons.Items(i)->ShortCut()});
  });
  TEditButtonEh* item = buttons.Add();
  EXPECT_TRUE(item->Is<TVisibleEditButtonEh>());
  ASSERT_FALSE(seen.empty());
  for (auto [visible, shortCut] : seen) {
    EXPECT_TRUE(visible);
    EXPECT_EQ(shortCut, 32808);
  }
  TEditButtonEh plain(static_cast<TWinControl*>(nullptr));
  EXPECT_FALSE(plain.Visible());
  EXPECT_EQ(plain.ShortCut(), 0);
}

TEST(EditButtons, PublishedDefaultsDifferForVisibleButtons) {
  struct Case {
    TClass Class;
    const char* Prop;
    Int64 Default;
  } cases[] = {
      {TEditButtonEh::StaticClass(), "Visible", 0},
      {TEditButtonEh::StaticClass(), "ShortCut", 0},
      {TEditButtonEh::StaticClass(), "NumGlyphs", 1},
      {TVisibleEditButtonEh::StaticClass(), "Visible", 1},
      {TVisibleEditButtonEh::StaticClass(), "ShortCut", 32808},
  };
  for (const Case& c : cases) {
    const TPropInfo* p = GetPropInfo(c.Class, c.Prop);
    ASSERT_NE(p, nullptr) << c.Prop;
    EXPECT_TRUE(p->HasDefault);
    EXPECT_EQ(p->OrdDefault, c.Default) << c.Class->Name() << "." << c.Prop;
  }
  // Published in the order of the description, the redeclared ones keeping their places.
  std::vector<String> names;
  for (const TPropInfo* p : TVisibleEditButtonEh::StaticClass()->Properties()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<String>{"DropdownMenu", "Glyph", "Hint", "NumGlyphs", "ShortCut", "Style", "Visible",
                                        "Width", "OnClick", "OnDown"}));
}

TEST(EditButtons, AssignCopiesEverySetting) {
  EnsureGridTestApplication();
  TPopupMenu menu(nullptr);
  TEditButtonEh src(static_cast<TWinControl*>(nullptr));
  int clicks = 0;
  src.SetDropdownMenu(&menu);
  TBitmap glyph;
  glyph.SetSize(8, 4);
  src.SetGlyph(&glyph);
  src.SetHint("hint");
  src.SetNumGlyphs(2);
  src.SetShortCut(0x2071);
  src.SetStyle(ebsUpDownEh);
  src.SetVisible(true);
  src.SetWidth(14);
  src.OnClick = TButtonClickEventEh::Lambda([&](TObject*, bool&) { ++clicks; });

  TEditButtonEh dst(static_cast<TWinControl*>(nullptr));
  dst.Assign(&src);
  EXPECT_EQ(dst.DropdownMenu(), &menu);
  EXPECT_EQ(dst.Glyph()->Width(), 8);
  EXPECT_NE(dst.Glyph(), src.Glyph());
  EXPECT_EQ(dst.Hint(), "hint");
  EXPECT_EQ(dst.NumGlyphs(), 2);
  EXPECT_EQ(dst.ShortCut(), 0x2071);
  EXPECT_EQ(dst.Style(), ebsUpDownEh);
  EXPECT_TRUE(dst.Visible());
  EXPECT_EQ(dst.Width(), 14);
  bool handled = false;
  dst.OnClick(&dst, handled);
  EXPECT_EQ(clicks, 1);
}

// ================================================================ the button control

class EditButtonControl : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGridTestApplication();
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 200, 100);
    Button = new TEditButtonControlEh(Form);
    Button->SetParent(Form);
    Button->SetBounds(10, 10, 15, 20);
    Button->SetStyle(ebsUpDownEh);
    Button->OnDown = TButtonDownEventEh::Lambda([this](TObject*, bool Top, bool& AutoRepeat, bool&) {
      Downs.push_back(Top);
      if (int(Downs.size()) >= StopAfter) AutoRepeat = false;
    });
    Button->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
  }
  void TearDown() override { delete Form; }

  void Press(int Y) { Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, Y)); }
  void Move(int Y) { Button->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(5, Y)); }
  void Release(int Y) { Button->Perform(WM_LBUTTONUP, 0, MakeLParam(5, Y)); }
  void Tick() { Button->AutoRepeatTimer()->OnTimer()(Button->AutoRepeatTimer()); }

  TForm* Form = nullptr;
  TEditButtonControlEh* Button = nullptr;
  std::vector<bool> Downs;
  int StopAfter = 1000;
  int Clicks = 0;
};

TEST_F(EditButtonControl, HoldingASpinHalfRepeatsAfter400AndThenEvery100Milliseconds) {
  StopAfter = 4;
  Press(3);
  EXPECT_EQ(Button->DownButton(), 1);
  EXPECT_EQ(Downs, std::vector<bool>{true});
  TTimer* timer = Button->AutoRepeatTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 400u);
  Tick();
  EXPECT_EQ(timer->Interval(), 100u);
  EXPECT_EQ(Downs.size(), 2u);
  Tick();
  EXPECT_TRUE(timer->Enabled());
  Tick();  // the fourth call clears AutoRepeat
  EXPECT_EQ(Downs.size(), 4u);
  EXPECT_FALSE(timer->Enabled());
  Release(3);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Button->DownButton(), 0);
}

TEST_F(EditButtonControl, ReleasingEndsTheRepeatAndTheBottomHalfCountsDown) {
  Press(17);
  EXPECT_EQ(Button->DownButton(), 2);
  EXPECT_EQ(Downs, std::vector<bool>{false});
  Tick();
  Release(17);
  EXPECT_FALSE(Button->AutoRepeatTimer()->Enabled());
  EXPECT_EQ(Downs, (std::vector<bool>{false, false}));
  EXPECT_EQ(Clicks, 1);
}

TEST_F(EditButtonControl, SlidingOffThePressedHalfReleasesItWithoutAClick) {
  Press(3);
  Move(15);  // into the lower half
  EXPECT_EQ(Button->State(), bsUp);
  size_t before = Downs.size();
  Tick();  // no repeat while the button is up
  EXPECT_EQ(Downs.size(), before);
  Release(15);
  EXPECT_EQ(Clicks, 0);
  EXPECT_FALSE(Button->SkipNextClick());
  // The next plain press and release clicks again.
  Press(15);
  Release(15);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(EditButtonControl, SlidingBackOntoThePressedHalfPressesItAgain) {
  Press(3);
  Move(15);
  EXPECT_EQ(Button->State(), bsUp);
  Move(4);  // back onto the top half
  EXPECT_EQ(Button->State(), bsDown);
  EXPECT_EQ(Button->DownButton(), 1);
  size_t before = Downs.size();
  Tick();
  EXPECT_EQ(Downs.size(), before + 1) << "the repeat resumes";
  Release(4);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Button->State(), bsUp);
}

TEST_F(EditButtonControl, OtherStylesPressAsAWholeWithoutRepeating) {
  Button->SetStyle(ebsEllipsisEh);
  Press(17);
  EXPECT_EQ(Button->DownButton(), 1);
  EXPECT_EQ(Downs, std::vector<bool>{true});
  EXPECT_EQ(Button->AutoRepeatTimer(), nullptr);
  Release(17);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(EditButtonControl, AlwaysDownKeepsTheButtonPressed) {
  Button->SetStyle(ebsDropDownEh);
  Button->SetAlwaysDown(true);
  EXPECT_TRUE(Button->Down());
  EXPECT_EQ(Button->GroupIndex(), 1);
  EXPECT_FALSE(Button->AllowAllUp());
  EXPECT_EQ(Button->DownButton(), 1);
  EXPECT_EQ(Button->State(), bsExclusive);
  Button->SetAlwaysDown(false);
  EXPECT_FALSE(Button->Down());
  EXPECT_EQ(Button->GroupIndex(), 0);
  EXPECT_TRUE(Button->AllowAllUp());
  EXPECT_EQ(Button->DownButton(), 0);
}

TEST_F(EditButtonControl, ControlsMadeForAButtonLiveInTheEdit) {
  TWinControl* edit = new TWinControl(Form);
  edit->SetParent(Form);
  TEditButtonEh main(edit);
  TEditButtonControlEh* c = main.CreateEditButtonControl();
  EXPECT_EQ(c->Owner(), edit);
  EXPECT_EQ(c->Parent(), edit);
  EXPECT_EQ(c->Width(), 10);
  EXPECT_EQ(c->Height(), 17);
  EXPECT_TRUE(c->Visible());
  EXPECT_FALSE(c->Transparent());
  EXPECT_TRUE(c->ControlStyle().Contains(csReplicatable));
}

TEST_F(EditButtonControl, PaintingDrawsTheFaceOfTheStyle) {
  Button->SetStyle(ebsPlusEh);
  Button->SetBounds(10, 10, 16, 16);
  TPaintSurface s;
  s.Reset(16, 16);
  Button->Perform(WM_PAINT, WPARAM(s.DC()), 0);
  EXPECT_EQ(s.CountColour(Rect(0, 0, 16, 16), kBlack), 20);
}

TEST_F(EditButtonControl, AGlyphButtonDrawsItsGlyphCentredAndShiftedWhilePressed) {
  Button->SetStyle(ebsGlyphEh);
  Button->SetBounds(10, 10, 16, 16);
  TBitmap glyph;
  glyph.SetSize(6, 6);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(0, 0, 6, 6));
  glyph.Canvas()->SetPixels(0, 5, clWhite);  // the lower-left colour is the transparent one
  Button->SetGlyph(&glyph);
  auto paint = [&] {
    TPaintSurface s;
    s.Reset(16, 16);
    Button->Perform(WM_PAINT, WPARAM(s.DC()), 0);
    return s.BoxWhere(Rect(0, 0, 16, 16), [](COLORREF c) { return c == RGB(255, 0, 0); });
  };
  TRect up = paint();
  EXPECT_EQ(up.Width(), 6);
  EXPECT_EQ(up.Height(), 6);
  EXPECT_NEAR(up.Left, 5, 1);
  EXPECT_NEAR(up.Top, 5, 1);
  Press(8);
  TRect down = paint();
  EXPECT_EQ(down.Left, up.Left + 1);
  EXPECT_EQ(down.Top, up.Top + 1);
  Release(8);
  EXPECT_EQ(paint().Left, up.Left);
}

// ================================================================ drop-down placement

namespace {
class TGripRecorder : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::vector<WPARAM> Sides;
  void Dispatch(TMessage& M) override {
    if (M.Msg == CM_GRIPSIDE) {
      Sides.push_back(M.WParam);
      return;
    }
    TWinControl::Dispatch(M);
  }
};
}  // namespace

TEST(DropDownPlacement, DropDownsStayInTheWorkAreaAndMoveTheirGrip) {
  EnsureGridTestApplication();
  ASSERT_NE(Screen, nullptr);
  const TRect work = Screen->MonitorFromRect(Rect(10, 10, 20, 20))->WorkareaRect();
  ASSERT_GT(work.Height(), 300);
  const int L = work.Left, T = work.Top, R = work.Right, B = work.Bottom;
  struct Case {
    const char* Name;
    TRect Master;
    int Width, Height;
    TDropDownAlign Align;
    TPoint Expected;
    int ExpectedWidth, ExpectedHeight;
    std::vector<WPARAM> Sides;
  } cases[] = {
      {"below", Rect(L + 50, T + 50, L + 150, T + 70), 120, 100, daLeft, {L + 50, T + 70}, 120, 100, {3, 1}},
      {"right aligned", Rect(L + 50, T + 50, L + 150, T + 70), 120, 100, daRight, {L + 30, T + 70}, 120, 100, {3, 0}},
      {"centred", Rect(L + 50, T + 50, L + 150, T + 70), 120, 100, daCenter, {L + 40, T + 70}, 120, 100, {3, 1}},
      {"above", Rect(L + 50, B - 40, L + 150, B - 20), 120, 100, daLeft, {L + 50, B - 140}, 120, 100, {2, 1}},
      // Fits on neither side: the larger room, shortened to it.
      {"shortened above", Rect(L + 50, B - 100, L + 150, B - 80), 120, work.Height(), daLeft,
       {L + 50, T}, 120, work.Height() - 100, {2, 1}},
      {"shortened below", Rect(L + 50, T + 80, L + 150, T + 100), 120, work.Height(), daLeft,
       {L + 50, T + 100}, 120, work.Height() - 100, {3, 1}},
      // Horizontal overflow.
      {"past the right", Rect(R - 60, T + 50, R - 10, T + 70), 120, 100, daLeft, {R - 120, T + 70}, 120, 100, {3, 0}},
      {"past the left", Rect(L + 10, T + 50, L + 60, T + 70), 120, 100, daRight, {L, T + 70}, 120, 100, {3, 1}},
      {"too wide", Rect(L + 10, T + 50, L + 60, T + 70), work.Width() + 50, 100, daLeft, {L, T + 70}, work.Width(),
       100, {3, 0}},
  };
  for (const Case& c : cases) {
    TGripRecorder drop(nullptr);
    drop.SetBounds(0, 0, c.Width, c.Height);
    TPoint p = PlaceDropDownAtRect(c.Master, &drop, c.Align);
    EXPECT_EQ(p, c.Expected) << c.Name;
    EXPECT_EQ(drop.Width(), c.ExpectedWidth) << c.Name;
    EXPECT_EQ(drop.Height(), c.ExpectedHeight) << c.Name;
    EXPECT_EQ(drop.Sides, c.Sides) << c.Name;
  }
}

TEST(DropDownPlacement, UnderAControlUsesItsScreenRectangle) {
  EnsureGridTestApplication();
  TForm form(nullptr);
  form.SetBounds(40, 30, 300, 200);
  TWinControl* edit = new TWinControl(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 20, 100, 21);
  TGripRecorder drop(nullptr);
  drop.SetBounds(0, 0, 80, 60);
  TPoint origin = form.ClientToScreen({10, 20});
  EXPECT_EQ(PlaceDropDownUnder(edit, &drop, daLeft), (TPoint{origin.X, origin.Y + 21}));
  EXPECT_EQ(PlaceDropDownUnder(edit, &drop, daRight), (TPoint{origin.X + 20, origin.Y + 21}));
}

// ================================================================ small helpers

TEST(ToolHelpers, VariantsEqualComparesArraysByTheirFirstDimension) {
  Variant a2 = VarArrayCreate({0, 1, 0, 0}, varVariant);
  Variant b2 = VarArrayCreate({0, 1, 0, 3}, varVariant);
  for (int i = 0; i <= 1; ++i) {
    a2.PutElement({i, 0}, i * 10);
    b2.PutElement({i, 0}, i * 10);
  }
  struct Case {
    const char* Name;
    Variant A, B;
    bool Equal;
  } cases[] = {
      {"null and empty", Null(), Variant(), false},
      {"empty and empty", Variant(), Variant(), true},
      {"null and null", Null(), Null(), true},
      {"empty and zero", Variant(), Variant(0), false},
      {"numbers", Variant(3), Variant(3.0), true},
      {"strings", Variant("合同"), Variant("合同"), true},
      {"string and number", Variant("12"), Variant(12), true},
      {"different strings", Variant("a"), Variant("A"), false},
      {"arrays", VarArrayOf({1, "x"}), VarArrayOf({1, "x"}), true},
      {"array elements differ", VarArrayOf({1, "x"}), VarArrayOf({1, "y"}), false},
      {"array lengths differ", VarArrayOf({1}), VarArrayOf({1, 2}), false},
      {"array and value", VarArrayOf({1}), Variant(1), false},
      {"second dimensions differ", a2, b2, true},
      {"dimension counts differ", a2, VarArrayOf({0, 10}), false},
      {"incomparable", Variant("abc"), Variant(12), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToolCtrlsEh::VariantsEqual(c.A, c.B), c.Equal) << c.Name;
    EXPECT_EQ(ToolCtrlsEh::VariantsEqual(c.B, c.A), c.Equal) << c.Name << " (swapped)";
  }
}

TEST(ToolHelpers, SecondClicksCountWithinTheDoubleClickTimeAndDistance) {
  EnsureGridTestApplication();
  struct Case {
    TPoint Old, New;
    DWORD Interval;
    bool Double;
  } cases[] = {
      {{10, 10}, {10, 10}, 0, true},    {{10, 10}, {14, 6}, 500, true},  {{10, 10}, {15, 10}, 100, false},
      {{10, 10}, {10, 15}, 100, false}, {{10, 10}, {10, 10}, 501, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsSecondClickOfDoubleClick(c.Old, c.New, c.Interval), c.Double) << c.New.X << "," << c.New.Y;
}

class DottedLines : public TGridPaintFixture {
protected:
  std::vector<int> DotsAlong(bool Horizontal, int Fixed, int From, int To) {
    std::vector<int> at;
    for (int i = From; i < To; ++i)
      if ((Horizontal ? Pixel(i, Fixed) : Pixel(Fixed, i)) == kBlack) at.push_back(i);
    return at;
  }
};

TEST_F(DottedLines, DotsFollowTheParityLattice) {
  struct Case {
    TPoint From;
    int Length;
    bool Parity;
    bool Horizontal;
    std::vector<int> Dots;
  } cases[] = {
      {{10, 10}, 10, false, true, {10, 12, 14, 16, 18}},
      {{10, 10}, 11, false, true, {10, 12, 14, 16, 18, 20}},
      {{10, 10}, 10, true, true, {11, 13, 15, 17, 19}},  // starts one later, one shorter
      {{11, 10}, 4, true, true, {11, 13}},
      {{10, 11}, 7, false, false, {12, 14, 16}},
      {{10, 10}, 1, true, true, {}},
  };
  for (const Case& c : cases) {
    Clear();
    Canvas()->Pen()->SetColor(clBlack);
    Canvas()->Pen()->SetWidth(1);
    DrawDottedLine(Canvas(), c.From, c.Length, c.Parity, c.Horizontal);
    int fixed = c.Horizontal ? c.From.Y : c.From.X;
    int start = c.Horizontal ? c.From.X : c.From.Y;
    EXPECT_EQ(DotsAlong(c.Horizontal, fixed, start - 2, start + c.Length + 3), c.Dots)
        << c.From.X << "," << c.From.Y << " length " << c.Length;
  }
}

TEST_F(DottedLines, TreeNodeLinesDrawTheBoxAndTheLinesOfTheirKind) {
  const TRect cell = Rect(0, 0, 20, 20);  // centre (10, 10), box 6..14
  auto shadow = Sys(COLOR_BTNSHADOW);
  struct Case {
    int Kind;
    bool Box, Plus, Up, Down, Right;
  } cases[] = {
      {0, true, false, true, true, true},   {1, true, false, true, false, true},
      {2, true, false, false, true, true},  {3, true, true, true, true, true},
      {5, true, true, false, true, true},   {6, false, false, true, true, true},
      {7, false, false, true, false, true}, {8, false, false, false, true, true},
      {9, false, false, true, true, false},
  };
  for (const Case& c : cases) {
    Clear();
    DrawTreeNodeLines(Canvas(), cell, c.Kind, 1.0, 1.0, false);
    EXPECT_EQ(Pixel(6, 6) == shadow && Pixel(14, 14) == shadow, c.Box) << c.Kind;
    if (c.Box) {
      EXPECT_EQ(Pixel(8, 10), RGB(0, 0, 0)) << "minus bar, kind " << c.Kind;
      EXPECT_EQ(Pixel(10, 8) == kBlack, c.Plus) << c.Kind;
      EXPECT_EQ(Pixel(9, 9), kWhite) << c.Kind;
    }
    auto anyShadow = [&](const TRect& r) { return CountColour(r, shadow) > 0; };
    EXPECT_EQ(anyShadow(Rect(9, 0, 12, 5)), c.Up) << c.Kind;
    EXPECT_EQ(anyShadow(Rect(9, 16, 12, 20)), c.Down) << c.Kind;
    EXPECT_EQ(anyShadow(Rect(16, 9, 20, 12)), c.Right) << c.Kind;
  }
}
