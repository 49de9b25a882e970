// The engine's combo boxes: the flat face by state, the list's size and where it opens, the
// ignored scroll requests, and the font box with its recent fonts kept in the registry.
#include "FrGuiSupport.h"

#include "report_legacy/FR_Combo.h"

#include "core/Registry.h"
#include "core/SysUtils.h"
#include "gui/ExtCtrls.h"
#include "gui/GdiText.h"
#include "gui/ListCtrls.h"
#include "gui/Screen.h"
#include "gui/Window.h"

#include <algorithm>

using namespace guitest;
using frtest::Rgb;
using frtest::RgbOf;

namespace {

bool ListShown(TCustomComboBox* c) {
  auto v = OpenPopups();
  return std::find(v.begin(), v.end(), static_cast<TWinControl*>(c->ListBox())) != v.end() && c->ListBox()->Visible();
}

struct FrCombos : frtest::TFrFormFixture {
  TPoint ButtonPoint(TControl* c) { return {c->Width() - 6, c->Height() / 2}; }
  unsigned At(TControl* c, int x, int y) {
    c->Repaint();
    Application->ProcessMessages();
    return Rgb(Pixel(c, x, y));
  }
};

TEST_F(FrCombos, FaceIsFlatUntilTheMouseComesAndGrayWhenDisabled) {
  auto* box = Add<TfrComboBox>(Bounds(20, 20, 120, 22));
  for (const char* s : {"one", "two"}) box->Items()->Add(s);
  Move(Form, {300, 200});
  Application->ProcessMessages();
  EXPECT_FALSE(box->IsActive());
  EXPECT_EQ(At(box, 0, 0), RgbOf(clBtnFace)) << "inactive: a face-coloured outer frame";
  const int sep = box->Width() - TfrCustomComboBox::ButtonWidth - 3;
  EXPECT_EQ(At(box, sep, box->Height() / 2), RgbOf(clWindow)) << "flat: the separator in the window colour";
  Move(box, {10, 10});
  Application->ProcessMessages();
  ASSERT_TRUE(box->MouseInControl());
  EXPECT_EQ(At(box, 0, 0), RgbOf(clBtnShadow)) << "active: a sunken edge";
  EXPECT_EQ(At(box, box->Width() - 1, box->Height() - 1), RgbOf(clBtnHighlight));
  EXPECT_EQ(At(box, sep, box->Height() / 2), RgbOf(clBtnFace)) << "raised: the separator in the face colour";
  // The arrow's first line: five black pixels from its start.
  const int ax = (TfrCustomComboBox::ButtonWidth + 1) / 2 + box->Width() - TfrCustomComboBox::ButtonWidth - 4;
  const int ay = (box->Height() - 4 + 1) / 2 + 1;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(box, ax + i, ay), 0u) << "arrow pixel " << i;
  EXPECT_EQ(At(box, ax + 2, ay + 2), 0u) << "the tip";
  box->SetEnabled(false);
  EXPECT_EQ(At(box, 0, 0), RgbOf(clBtnFace));
  EXPECT_EQ(At(box, 2, box->Height() / 2), RgbOf(clWindow)) << "disabled: a window-colour frame two pixels in";
  EXPECT_EQ(At(box, box->Width() - 5, 3), RgbOf(clBtnFace)) << "disabled: filled with the face";
}

TEST_F(FrCombos, ListHeightFollowsItemsAndDropDownCount) {
  auto* box = Add<TfrComboBox>(Bounds(20, 20, 120, 22));
  const int ih = box->ListBox()->ItemHeight();
  ASSERT_EQ(ih, box->TextHeight());
  struct TCase {
    int Items, Count, Expected;
  } cases[] = {{0, 8, ih + 4}, {3, 8, 3 * ih + 4}, {20, 8, 8 * ih + 4}, {5, 0, ih + 4}, {12, 12, 12 * ih + 4}};
  for (const TCase& c : cases) {
    box->Items()->Clear();
    for (int i = 0; i < c.Items; ++i) box->Items()->Add("item " + IntToStr(i));
    box->SetDropDownCount(c.Count);
    EXPECT_EQ(box->DropDownHeight(), c.Expected) << c.Items << " items, " << c.Count << " rows";
  }
  // Opened, the list is the box's width less one pixel and that high, right under the box.
  box->SetDropDownCount(8);
  Click(box, ButtonPoint(box));
  ASSERT_TRUE(ListShown(box));
  EXPECT_FALSE(box->DropUp());
  EXPECT_EQ(box->ListBox()->Width(), box->Width() - 1);
  EXPECT_EQ(box->ListBox()->Height(), box->DropDownHeight());
  EXPECT_EQ(box->ListBox()->Top(), box->ClientToScreen({0, box->Height()}).Y);
  TypeKey(Qt::Key_Escape);
}

TEST_F(FrCombos, ScrollRequestsAreIgnoredWhileTheSelectionIsAmongTheFirstRows) {
  auto* box = Add<TfrComboBox>(Bounds(20, 20, 120, 22));
  for (int i = 0; i < 30; ++i) box->Items()->Add("item " + IntToStr(i));
  struct TCase {
    int Selected;
    bool Applied;
  } cases[] = {{3, false}, {8, false}, {9, true}, {20, true}, {0, false}};
  for (const TCase& c : cases) {
    box->SetItemIndex(c.Selected);
    const int before = box->ListBox()->TopIndex();
    const int wanted = before == 1 ? 2 : 1;
    box->ListBox()->SetTopIndex(wanted);
    EXPECT_EQ(box->ListBox()->TopIndex(), c.Applied ? wanted : before) << "selection " << c.Selected;
  }
}

TEST_F(FrCombos, ReadOnlyBoxRefusesTyping) {
  auto* box = Add<TfrComboBox>(Bounds(20, 20, 120, 22));
  box->Items()->Add("kept");
  box->SetItemIndex(0);
  box->SetReadOnly(true);
  box->SetFocus();
  Application->ProcessMessages();
  box->SelectAll();
  stdtest::Type("x");
  EXPECT_EQ(box->Text(), "kept");
  box->SetReadOnly(false);
  box->SelectAll();
  stdtest::Type("x");
  EXPECT_EQ(box->Text(), "x");
}

// ---------------------------------------------------------------- the font box

struct FrFontCombo : FrCombos {
  std::vector<String> Families;
  void SetUp() override {
    FrCombos::SetUp();
    for (const TFontFamilyEntry& f : EnumFontFamilies(nullptr)) Families.push_back(f.FaceName);
    std::sort(Families.begin(), Families.end(), [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; });
    Families.erase(std::unique(Families.begin(), Families.end()), Families.end());
  }
  // Chooses a row as a person does: open the list, arrow keys to the row, Enter.
  void PickRow(TfrFontComboBox* box, int Row) {
    box->SetFocus();
    Click(box, ButtonPoint(box));
    ASSERT_TRUE(ListShown(box));
    int cur = box->ItemIndex();
    for (; cur < Row; ++cur) TypeKey(Qt::Key_Down);
    for (; cur > Row; --cur) TypeKey(Qt::Key_Up);
    TypeKey(Qt::Key_Return);
    ASSERT_FALSE(ListShown(box));
  }
  // Chooses a face from the sorted part of the list.
  void Pick(TfrFontComboBox* box, const String& Face) {
    const int row = box->RecentCount() + 1 + int(std::find(Families.begin(), Families.end(), Face) - Families.begin());
    ASSERT_EQ(box->Items()->Strings(row), Face);
    PickRow(box, row);
  }
  std::vector<String> Top(TfrFontComboBox* box, int n) {
    std::vector<String> r;
    for (int i = 0; i < n; ++i) r.push_back(box->Items()->Strings(i));
    return r;
  }
  std::vector<String> Stored() {
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey(TfrFontComboBox::DefaultMRURegKey, false));
    std::vector<String> r;
    for (int n = 0; n < 5; ++n) r.push_back(reg.ReadString("Font" + IntToStr(n)));
    return r;
  }
};

TEST_F(FrFontCombo, EmptyKeyListsTheFacesSortedWithoutRecentRows) {
  ASSERT_GE(Families.size(), 6u) << "the machine's fonts";
  auto* box = Add<TfrFontComboBox>(Bounds(20, 20, 150, 22));
  EXPECT_EQ(box->RecentCount(), -1);
  ASSERT_EQ(box->Items()->Count(), int(Families.size()));
  EXPECT_EQ(box->Items()->Strings(0), Families[0]);
  EXPECT_EQ(box->ItemIndex(), 0) << "the first face is selected";
  EXPECT_EQ(box->Text(), Families[0]);
  EXPECT_EQ(Stored(), std::vector<String>(5, "")) << "the empty key is filled with empty entries";
  const int wqy = box->Items()->IndexOf("WenQuanYi Micro Hei");
  ASSERT_GE(wqy, 0);
  EXPECT_TRUE(box->FontTypeOf(wqy) & TRUETYPE_FONTTYPE);
  EXPECT_EQ(box->EditOffset(), 16);
  EXPECT_TRUE(box->ReadOnly());
  EXPECT_EQ(box->MRURegKey(), TfrFontComboBox::DefaultMRURegKey);
  box->SetMRURegKey("");
  EXPECT_EQ(box->MRURegKey(), TfrFontComboBox::DefaultMRURegKey) << "an empty key is the default";
}

TEST_F(FrFontCombo, SixPicksKeepTheLastFiveNewestFirstAndARecentOneMovesUp) {
  ASSERT_GE(Families.size(), 6u);
  auto* box = Add<TfrFontComboBox>(Bounds(20, 20, 150, 22));
  int clicks = 0;
  box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  const std::vector<String> picks(Families.begin(), Families.begin() + 6);
  for (const String& f : picks) Pick(box, f);
  const std::vector<String> expected{picks[5], picks[4], picks[3], picks[2], picks[1]};
  EXPECT_EQ(Top(box, 5), expected) << "the last five, newest first";
  EXPECT_EQ(box->RecentCount(), 4);
  EXPECT_EQ(box->Items()->Count(), int(Families.size()) + 5);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(box->Text(), picks[5]);
  EXPECT_GE(clicks, 6) << "each choice is announced";

  // The third recent one again: to the top, nothing added.
  PickRow(box, 2);
  const std::vector<String> moved{picks[3], picks[5], picks[4], picks[2], picks[1]};
  EXPECT_EQ(Top(box, 5), moved);
  EXPECT_EQ(box->Items()->Count(), int(Families.size()) + 5);
  EXPECT_EQ(Stored(), moved);

  // A new box reads them back, and faces no longer installed are dropped from the key.
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(TfrFontComboBox::DefaultMRURegKey, false));
    reg.WriteString("Font4", "No Such Face");
    reg.CloseKey();
  }
  auto* again = Add<TfrFontComboBox>(Bounds(20, 60, 150, 22));
  EXPECT_EQ(again->RecentCount(), 3);
  EXPECT_EQ(Top(again, 4), std::vector<String>(moved.begin(), moved.begin() + 4));
  EXPECT_EQ(Stored()[4], "");
}

TEST_F(FrFontCombo, NearTheScreenBottomListAndPreviewOpenAbove) {
  Form->SetBounds(40, Screen->Height() - 80, 360, 60);
  Application->ProcessMessages();
  auto* box = Add<TfrFontComboBox>(Bounds(20, 20, 150, 22));
  Click(box, ButtonPoint(box));
  ASSERT_TRUE(ListShown(box));
  EXPECT_TRUE(box->DropUp());
  const int boxTop = box->ClientToScreen({0, 0}).Y;
  EXPECT_LE(box->ListBox()->Top() + box->ListBox()->Height(), boxTop) << "the list above the box";
  ASSERT_NE(box->Preview(), nullptr);
  EXPECT_TRUE(box->Preview()->Visible());
  EXPECT_EQ(box->Preview()->Top() + box->Preview()->Height(), boxTop) << "the preview above the box";
  EXPECT_EQ(box->Preview()->Left(), box->ClientToScreen({box->Width(), 0}).X);
  TypeKey(Qt::Key_Down);
  Application->ProcessMessages();
  EXPECT_EQ(box->Preview()->Panel()->Caption(), box->Items()->Strings(box->ListBox()->ItemIndex()))
      << "the preview shows the row under the cursor";
  TypeKey(Qt::Key_Escape);
  EXPECT_FALSE(box->Preview()->Visible()) << "closing the list hides the preview";
}

}  // namespace
