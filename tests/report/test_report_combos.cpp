// The report library's combo boxes: the flat box's list size and read-only edit part, and the
// font box's list of families with the five fonts chosen last kept at its top and in the
// user's settings.
#include "GuiTestUtil.h"
#include "core/Registry.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Buttons.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/SysColors.h"
#include "gui/GdiDC.h"
#include "gui/GdiText.h"
#include "report/frxComboBoxes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ComboTest : public ::testing::Test {
protected:
  std::unique_ptr<TForm> Form;
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 500, 300);
    Form->Show();
    Application->ProcessMessages();
  }
  template <class T> T* Make(int Width) {
    auto* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetBounds(10, 10, Width, 21);
    Application->ProcessMessages();
    return c;
  }
  // The list's size as it drops down, closed again afterwards.
  static TSize DroppedListSize(TCustomComboBox* Combo) {
    Combo->SetDroppedDown(true);
    Application->ProcessMessages();
    TSize s{Combo->ListBox()->Width(), Combo->ListBox()->Height()};
    Combo->SetDroppedDown(false);
    return s;
  }
};

TEST_F(ComboTest, TheListIsListWidthWideAndAsHighAsItsShownEntriesPlusFour) {
  struct Case {
    int ListWidth, Width, Entries, DropDownCount;
    int ExpectedWidth, ExpectedRows;
  };
  for (const Case& c : {Case{0, 80, 3, 8, 79, 3}, Case{100, 49, 9, 10, 100, 9}, Case{0, 120, 20, 8, 119, 8},
                        Case{0, 80, 0, 8, 79, 1}, Case{0, 80, 5, 0, 79, 1}}) {
    SCOPED_TRACE(testing::Message() << "ListWidth " << c.ListWidth << ", entries " << c.Entries << ", count "
                                    << c.DropDownCount);
    auto* combo = Make<TfrxComboBox>(c.Width);
    combo->SetListWidth(c.ListWidth);
    combo->SetDropDownCount(c.DropDownCount);
    for (int i = 0; i < c.Entries; ++i) combo->Items()->Add("Entry " + IntToStr(i));
    ASSERT_GT(combo->EntryHeight(), 5);
    TSize s = DroppedListSize(combo);
    EXPECT_EQ(s.cx, c.ExpectedWidth);
    EXPECT_EQ(s.cy, c.ExpectedRows * combo->EntryHeight() + 4);
    EXPECT_FALSE(combo->UpDropdown());  // there is room below
    delete combo;
  }
}

TEST_F(ComboTest, AReadOnlyBoxRefusesTypingButTheListStillChooses) {
  auto* combo = Make<TfrxComboBox>(100);
  combo->Items()->Add("alpha");
  combo->Items()->Add("beta");
  combo->SetText("alpha");
  combo->SetFocus();
  Application->ProcessMessages();
  combo->SelectAll();
  combo->Perform(WM_CHAR, 'x', 0);
  EXPECT_EQ(combo->Text(), "x");  // editable by default
  combo->SetReadOnly(true);
  combo->SetText("alpha");
  combo->SelectAll();
  for (Char c : {Char('y'), Char(8)}) combo->Perform(WM_CHAR, c, 0);
  combo->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(combo->Text(), "alpha");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "beta");
}

// The arrow: black rows of 5, 3 and 1 pixels, each one lower and one further right, at
// (round(ButtonWidth / 2) + width - ButtonWidth - 4, round((height - 4) / 2) + 1); one pixel
// lower and further right while the list is down.
TEST_F(ComboTest, TheButtonsArrowSitsWhereTheGeometrySaysAndMovesWhenPressed) {
  auto* combo = Make<TfrxComboBox>(100);
  combo->Items()->Add("a");
  auto arrowAt = [&](int dx) {
    QImage img = guitest::WidgetOf(combo)->grab().toImage();
    const int x = 6 + 100 - 11 - 4 + dx, y = 9 + 1 + dx;
    const QRgb black = qRgb(0, 0, 0);
    for (int row = 0; row < 3; ++row) {
      for (int k = 0; k < 5 - 2 * row; ++k)
        EXPECT_EQ(img.pixel(x + row + k, y + row), black) << "row " << row << " pixel " << k << " shift " << dx;
      EXPECT_NE(img.pixel(x + row - 1, y + row), black) << "row " << row << " shift " << dx;
      EXPECT_NE(img.pixel(x + row + 5 - 2 * row, y + row), black) << "row " << row << " shift " << dx;
    }
    EXPECT_NE(img.pixel(x + 2, y + 3), black);
  };
  arrowAt(0);
  combo->SetDroppedDown(true);
  Application->ProcessMessages();
  arrowAt(1);
  combo->SetDroppedDown(false);
  Application->ProcessMessages();
  arrowAt(0);
}

// ---------------------------------------------------------------- the edit with a button

TEST_F(ComboTest, TheEditsButtonFocusesItAndEnterAndEscapeReachTheFormsButtons) {
  auto* edit = Make<TfrxComboEdit>(120);
  EXPECT_EQ(edit->Height(), 21);
  const TRect panel = edit->ButtonPanel()->BoundsRect();
  EXPECT_EQ(panel, (TRect{120 - 21 + 2, 2, 120 - 21 + 2 + 17, 2 + 17}));
  EXPECT_EQ(edit->Button()->Width(), 17);

  auto* ok = new TButton(Form.get());
  ok->SetParent(Form.get());
  ok->SetBounds(10, 60, 80, 25);
  ok->SetDefault(true);
  auto* cancel = new TButton(Form.get());
  cancel->SetParent(Form.get());
  cancel->SetBounds(100, 60, 80, 25);
  cancel->SetCancel(true);
  int okClicks = 0, cancelClicks = 0, buttonClicks = 0;
  bool focusedAtClick = false;
  ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++okClicks; });
  cancel->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++cancelClicks; });
  edit->OnButtonClick = TNotifyEvent::Lambda([&](TObject*) {
    ++buttonClicks;
    focusedAtClick = edit->Focused();
  });
  Application->ProcessMessages();

  ok->SetFocus();
  guitest::Click(edit->Button(), {5, 5});
  Application->ProcessMessages();
  EXPECT_EQ(buttonClicks, 1);
  EXPECT_TRUE(focusedAtClick);

  guitest::TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  Application->ProcessMessages();
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 0);
  guitest::TypeKey(Qt::Key_Escape, Qt::NoModifier, "\x1b");
  Application->ProcessMessages();
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 1);

  // The button follows the box; ButtonEnabled sets it alone.
  edit->SetEnabled(false);
  EXPECT_FALSE(edit->Button()->Enabled());
  edit->SetEnabled(true);
  EXPECT_TRUE(edit->Button()->Enabled());
  edit->SetButtonEnabled(false);
  EXPECT_FALSE(edit->Button()->Enabled());
  EXPECT_TRUE(edit->Enabled());
}

// ---------------------------------------------------------------- the font box

class FontComboTest : public ComboTest {
protected:
  // One key per test: tests run side by side in processes of their own.
  const String Key = String("\\Software\\kelm tests\\MRUFont ") +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
  TfrxFontComboBox* Box = nullptr;
  std::vector<String> Fonts;  // installed families, in the box's (name) order

  void SetUp() override {
    ComboTest::SetUp();
    ClearKey();
    TStringList sorted;  // the order of a sorted string list
    sorted.SetSorted(true);
    for (const TFontFamilyEntry& f : EnumFontFamilies(GetScreenDC())) sorted.Add(f.FaceName.substr(0, 32));
    for (int i = 0; i < sorted.Count(); ++i) Fonts.push_back(sorted.Strings(i));
    ASSERT_GE(Fonts.size(), 7u) << "the build installs more font families than this";
    Box = MakeBox();
  }
  void TearDown() override { ClearKey(); }
  void ClearKey() {
    TRegistry reg;
    reg.DeleteKey(Key);
  }
  TfrxFontComboBox* MakeBox() {
    auto* box = Make<TfrxFontComboBox>(150);
    box->SetMRURegKey(Key);
    box->FillFontList();
    return box;
  }
  // The user opens the list, picks the first entry with that name below the recent ones (or
  // the entry at Index) and presses Enter.
  void Choose(const String& Name) {
    int at = Box->LastMRUIndex() + 1;
    while (at < Box->Items()->Count() && Box->Items()->Strings(at) != Name) ++at;
    ChooseAt(at < Box->Items()->Count() ? at : -1);
  }
  void ChooseAt(int Index) {
    ASSERT_GE(Index, 0);
    Box->SetDroppedDown(true);
    Box->SetItemIndex(Index);
    Box->Perform(WM_KEYDOWN, VK_RETURN, 0);
    Application->ProcessMessages();
  }
  std::vector<String> Recent() {
    std::vector<String> r;
    for (int i = 0; i <= Box->LastMRUIndex(); ++i) r.push_back(Box->Items()->Strings(i));
    return r;
  }
  std::vector<String> Stored() {
    TRegistry reg;
    reg.OpenKey(Key, false);
    std::vector<String> r;
    for (int n = 0; n < 5; ++n) r.push_back(reg.ReadString("Font" + IntToStr(n)));
    EXPECT_FALSE(reg.ValueExists("Font5"));
    EXPECT_FALSE(reg.ValueExists("FontType5"));
    return r;
  }
};

TEST_F(FontComboTest, TheListHoldsEveryFamilyOnceByNameWithItsTypeAndNoRecentFontsAtFirst) {
  EXPECT_EQ(Box->LastMRUIndex(), -1);
  ASSERT_EQ(Box->Items()->Count(), static_cast<int>(Fonts.size()));
  for (int i = 0; i < Box->Items()->Count(); ++i) {
    EXPECT_EQ(Box->Items()->Strings(i), Fonts[i]);
    auto type = static_cast<DWORD>(reinterpret_cast<std::intptr_t>(Box->Items()->Objects(i)));
    EXPECT_TRUE(type == TRUETYPE_FONTTYPE || type == RASTER_FONTTYPE) << Fonts[i];
  }
  EXPECT_TRUE(Box->ReadOnly());
  EXPECT_EQ(Box->EditOffset(), 16);
  EXPECT_EQ(Box->DropDownCount(), 12);
  EXPECT_EQ(Stored(), std::vector<String>(5));  // the slots exist, empty
}

TEST_F(FontComboTest, SixChoicesKeepTheLastFiveNewestFirstInTheListAndTheSettings) {
  for (int i = 0; i < 6; ++i) Choose(Fonts[i + 1]);
  const std::vector<String> expected{Fonts[6], Fonts[5], Fonts[4], Fonts[3], Fonts[2]};
  EXPECT_EQ(Recent(), expected);
  EXPECT_EQ(Box->Text(), Fonts[6]);
  EXPECT_EQ(Box->ItemIndex(), 0);
  EXPECT_EQ(Box->Items()->Count(), static_cast<int>(Fonts.size()) + 5);  // recent ones appear twice
  EXPECT_EQ(Stored(), expected);
  {
    TRegistry reg;
    reg.OpenKey(Key, false);
    EXPECT_EQ(reg.ReadInteger("FontType0"), reinterpret_cast<std::intptr_t>(Box->Items()->Objects(0)));
  }

  // A recent font chosen again moves to the top without a new entry.
  ChooseAt(3);  // Fonts[3]
  const std::vector<String> moved{Fonts[3], Fonts[6], Fonts[5], Fonts[4], Fonts[2]};
  EXPECT_EQ(Recent(), moved);
  EXPECT_EQ(Box->Items()->Count(), static_cast<int>(Fonts.size()) + 5);
  EXPECT_EQ(Stored(), moved);

  // The first entry changes nothing.
  ChooseAt(0);
  EXPECT_EQ(Recent(), moved);
  EXPECT_EQ(Stored(), moved);

  // A new box reads them back in the same order.
  delete Box;
  Box = MakeBox();
  EXPECT_EQ(Recent(), moved);
}

// The open list draws a rule in the button-shadow colour below the last recent font and
// above the first entry of the full list, and the preview shows the selected name.
TEST_F(FontComboTest, TheOpenListRulesOffTheRecentFontsAndThePreviewShowsTheSelection) {
  Choose(Fonts[1]);
  Choose(Fonts[2]);
  ASSERT_EQ(Box->LastMRUIndex(), 1);
  Box->SetDroppedDown(true);
  Application->ProcessMessages();
  ASSERT_TRUE(Box->Preview()->Visible());
  TComboListBox* list = Box->ListBox();
  const int h = Box->EntryHeight();
  ASSERT_EQ(list->ItemHeight(), h);
  Box->SetItemIndex(3);
  list->Repaint();
  QImage img = guitest::WidgetOf(list)->grab().toImage();
  const TPoint client = list->ClientToScreen({0, 0});
  const QPoint origin = guitest::WidgetOf(list)->mapToGlobal(QPoint(0, 0));
  const int ox = client.X - origin.x(), oy = client.Y - origin.y();
  const COLORREF s = GetSysColor(COLOR_BTNSHADOW);
  const QRgb shadow = qRgb(GetRValue(s), GetGValue(s), GetBValue(s));
  auto fullRow = [&](int y) {
    for (int x = 0; x < list->ClientWidth(); ++x)
      if (img.pixel(ox + x, oy + y) != shadow) return false;
    return true;
  };
  EXPECT_TRUE(fullRow(2 * h - 2));  // the bottom of the second recent entry
  EXPECT_TRUE(fullRow(2 * h));      // the top of the full list's first entry
  EXPECT_FALSE(fullRow(h - 2));     // not below the first recent entry
  EXPECT_FALSE(fullRow(3 * h));
  EXPECT_EQ(Box->Preview()->Panel()->Caption(), Box->Items()->Strings(3));
  EXPECT_EQ(Box->Preview()->Panel()->Font()->Name(), Box->Items()->Strings(3));
  Box->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(Box->Preview()->Visible());
}

TEST_F(FontComboTest, ARecentNameNoLongerInstalledIsClearedWhenTheListIsFilled) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteString("Font0", Fonts[2]);
    reg.WriteInteger("FontType0", TRUETYPE_FONTTYPE);
    reg.WriteString("Font1", "No Such Family 4711");
    reg.WriteInteger("FontType1", TRUETYPE_FONTTYPE);
    reg.WriteString("Font2", Fonts[4]);
    reg.WriteInteger("FontType2", TRUETYPE_FONTTYPE);
  }
  Box->FillFontList();
  EXPECT_EQ(Recent(), (std::vector<String>{Fonts[2], Fonts[4]}));
  EXPECT_EQ(Stored(), (std::vector<String>{Fonts[2], "", Fonts[4], "", ""}));
}

}  // namespace
