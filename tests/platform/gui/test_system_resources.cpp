// What the system holds for the program (its string table, the message font, the combo
// arrow bitmap), the main window's hooks, a locale change as the system would announce it, and
// whether the program's window is the active one.
#include "StdTestUtil.h"

#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "gui/SysResources.h"

using namespace stdtest;

TEST(SystemResources, StringTableMessageFontAndComboArrow) {
  struct {
    int Id;
    const char* Text;
  } strings[] = {{61258, "Previous Month|"}, {61259, "Previous Year|"}, {61260, "Next Month|"},
                 {61261, "Next Year|"},      {61262, "Select a Date"},   {61263, ""}};
  for (auto& s : strings) EXPECT_EQ(LoadStr(s.Id), s.Text) << s.Id;

  NONCLIENTMETRICS m;
  ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 340, &m, 0));
  EXPECT_EQ(m.lfMessageFont.lfFaceName, "宋体");
  EXPECT_EQ(m.lfMessageFont.lfHeight, -12);
  EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 100, &m, 0)) << "a wrong size fails";
  EXPECT_FALSE(SystemParametersInfo(42, 340, &m, 0));
  TFont font;
  font.SetHandle(CreateFontIndirect(m.lfMessageFont));
  EXPECT_EQ(font.Height(), -12);

  TBitmap arrow;
  ASSERT_TRUE(LoadSystemBitmap(OBM_COMBO, &arrow));
  EXPECT_FALSE(LoadSystemBitmap(32739, &arrow));
  std::vector<std::string> rows;
  for (int y = 0; y < arrow.Height(); ++y) {
    std::string row;
    for (int x = 0; x < arrow.Width(); ++x) row += ColorToRGB(arrow.Canvas()->Pixels(x, y)) == 0 ? 'k' : '.';
    rows.push_back(row);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{".............", ".............", "...kkkkkkk...", "....kkkkk....",
                                            ".....kkk.....", "......k......", "............."}));
}

namespace {

// Hooks are methods of objects.
struct THookProbe : TObject {
  std::vector<std::string> Seen;
  bool Claim = false;
  bool First(TMessage& M) {
    if (M.Msg == WM_WININICHANGE) Seen.push_back("first:" + FormatSettings().ShortDateFormat);
    return Claim && M.Msg == WM_WININICHANGE;
  }
  bool Second(TMessage& M) {
    if (M.Msg == WM_WININICHANGE) Seen.push_back("second");
    return false;
  }
};

struct HookFixture : FormFixture, THookProbe {
  TForm* OldMain = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    OldMain = Application->MainForm();
    Application->SetMainForm(Form);
  }
  void TearDown() override {
    Application->SetMainForm(OldMain);
    ResetFormatSettings();
    FormFixture::TearDown();
  }
};

}  // namespace

TEST_F(HookFixture, HooksSeeTheMainWindowsMessagesFirstInOrder) {
  THookProbe* probe = this;
  const TWindowHook first(probe, &THookProbe::First), second(probe, &THookProbe::Second);
  Application->HookMainWindow(first);
  Application->HookMainWindow(second);
  TFormatSettings dmy = FormatSettings();
  dmy.ShortDateFormat = "dd/mm/yyyy";
  SimulateLocaleChange(dmy);
  EXPECT_EQ(Seen, (std::vector<std::string>{"first:dd/mm/yyyy", "second"})) << "the settings change before the hooks";
  EXPECT_EQ(FormatSettings().ShortDateFormat, "dd/mm/yyyy");
  Claim = true;
  Seen.clear();
  SimulateLocaleChange(dmy);
  EXPECT_EQ(Seen, (std::vector<std::string>{"first:dd/mm/yyyy"})) << "a claimed message goes no further";
  Application->UnhookMainWindow(first);
  Seen.clear();
  Application->SetUpdateFormatSettings(false);
  TFormatSettings ymd = FormatSettings();
  ymd.ShortDateFormat = "yyyy/mm/dd";
  SimulateLocaleChange(ymd);
  Application->SetUpdateFormatSettings(true);
  EXPECT_EQ(Seen, (std::vector<std::string>{"second"}));
  EXPECT_EQ(FormatSettings().ShortDateFormat, "dd/mm/yyyy") << "settings kept when the application does not follow";
  Application->UnhookMainWindow(second);
  EXPECT_EQ(Application->MainWindowHookCount(), 0);
  // Another form's messages pass no hook.
  Application->HookMainWindow(second);
  Seen.clear();
  TForm other(Application);
  other.Perform(WM_WININICHANGE, 0, 0);
  EXPECT_TRUE(Seen.empty());
  Application->UnhookMainWindow(second);
}

TEST(ActiveWindow, OwnWhileTheApplicationIsActive) {
  ASSERT_TRUE(Application->Active());
  EXPECT_TRUE(ActiveWindowIsOwn());
}
