// Theme handles by class, availability and the theme change receiver, over the classic
// platform and a test theme.
#include "ThemeFixture.h"

#include "core/Exceptions.h"
#include "gui/Application.h"
#include "gui/OSVersion.h"

namespace {

TEST(ThemeManager, ClassicPlatformIsInactiveAndNeverOpens) {
  ASSERT_EQ(ThemeBackend(), ClassicThemeBackend());
  EXPECT_TRUE(UxThemeAvailable());
  EXPECT_TRUE(IsPlatformVersion51());
  EXPECT_FALSE(VisualStylesActive());
  EXPECT_FALSE(VisualStylesActive({tcButton}));
  EXPECT_FALSE(IsThemeClassAvailable(tcEdit));
  EXPECT_EQ(AcquireThemeHandle(tcButton), 0);
  EXPECT_EQ(ReleaseThemeHandle(tcButton), 1);
  SetPlatformVersion(5, 0);
  EXPECT_FALSE(IsPlatformVersion51());
  EXPECT_FALSE(UxThemeAvailable());
  SetPlatformVersion(5, 1);
  EXPECT_EQ(ThemeClassName(tcButton), std::string("Button"));
  EXPECT_EQ(ThemeClassName(tcTrayNotify), std::string("TrayNotify"));
  EXPECT_EQ(ThemeClassName(tcWindow), std::string("Window"));
}

using ThemeHandles = ThemeFixture;

TEST_F(ThemeHandles, InactiveThemeAsksThePlatformNothing) {
  Theme.Active = false;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_FALSE(VisualStylesActive());
  EXPECT_EQ(AcquireThemeHandle(tcButton), 0);
  EXPECT_EQ(Theme.OpenCalls, 0);
}

TEST_F(ThemeHandles, OneOpenPerClassAndListsComparedWithoutCase) {
  ASSERT_TRUE(VisualStylesActive());
  const HTHEME h = AcquireThemeHandle(tcButton);
  ASSERT_NE(h, 0);
  EXPECT_EQ(AcquireThemeHandle(tcButton), h);
  const String upper = "BUTTON";
  EXPECT_EQ(AcquireThemeHandle(tcButton, &upper), h);
  EXPECT_EQ(Theme.OpenCount, 1);
  // Another list closes the handle and opens anew with it; later calls keep that list.
  const String other = "Edit";
  const HTHEME e = AcquireThemeHandle(tcButton, &other);
  EXPECT_NE(e, h);
  EXPECT_EQ(Theme.ClassOf(e), "EDIT");
  EXPECT_EQ(Theme.CloseCount, 1);
  EXPECT_EQ(AcquireThemeHandle(tcButton), e);
  EXPECT_TRUE(IsThemeClassAvailable(tcEdit));
  EXPECT_TRUE(VisualStylesActive({tcButton, tcEdit}));
  EXPECT_EQ(ReleaseThemeHandle(tcButton), S_OK);
  EXPECT_EQ(ReleaseThemeHandle(tcButton), 0);
  EXPECT_EQ(Theme.ClassOf(AcquireThemeHandle(tcButton)), "BUTTON");  // the list was forgotten
}

TEST_F(ThemeHandles, AFailedOpenForgetsTheListAndFailsTheSet) {
  Theme.RefusedClasses = {"SPIN", "MYSPIN"};
  EXPECT_FALSE(IsThemeClassAvailable(tcSpin));
  EXPECT_FALSE(VisualStylesActive({tcButton, tcSpin, tcWindow}));
  EXPECT_EQ(Theme.ClassOf(AcquireThemeHandle(tcButton)), "BUTTON");  // opened on the way
  EXPECT_EQ(AcquireThemeHandle(tcWindow), AcquireThemeHandle(tcWindow));
  const int opens = Theme.OpenCount;
  EXPECT_EQ(opens, 2);  // Window was not tried after Spin failed, then once on its own
  const String mine = "MySpin";
  EXPECT_EQ(AcquireThemeHandle(tcSpin, &mine), 0);
  Theme.RefusedClasses.clear();
  EXPECT_EQ(Theme.ClassOf(AcquireThemeHandle(tcSpin)), "SPIN");  // the default name again
}

TEST_F(ThemeHandles, AThemeChangeClosesAllRereadsTheFlagAndTellsEachNotificatorOnce) {
  int calls1 = 0, calls2 = 0;
  TdxThemeChangedNotificator n1, n2, silent;
  n1.SetOnThemeChanged(TdxThemeChangedEvent::Lambda([&] { ++calls1; }));
  n2.SetOnThemeChanged(TdxThemeChangedEvent::Lambda([&] {
    ++calls2;
    EXPECT_FALSE(VisualStylesActive());  // the flag is read before the notificators run
  }));
  AcquireThemeHandle(tcButton);
  AcquireThemeHandle(tcEdit);
  ASSERT_EQ(Theme.OpenHandles(), 2);
  Theme.Active = false;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(Theme.OpenHandles(), 0);
  EXPECT_EQ(Theme.CloseCount, 2);
  EXPECT_EQ(calls1, 1);
  EXPECT_EQ(calls2, 1);
  EXPECT_FALSE(VisualStylesActive());
  // Back on: handles reopen lazily with their lists.
  Theme.Active = true;
  n2.SetOnThemeChanged(nullptr);
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(calls1, 2);
  EXPECT_TRUE(VisualStylesActive());
  EXPECT_EQ(Theme.ClassOf(AcquireThemeHandle(tcEdit)), "EDIT");
}

TEST_F(ThemeHandles, AFailingHandlerGoesToTheApplicationAndStopsThere) {
  std::vector<String> shown;
  const TExceptionEvent old = Application->OnException;
  Application->OnException = TExceptionEvent::Lambda([&](TObject*, Exception* E) { shown.push_back(E->Message()); });
  int later = 0;
  TdxThemeChangedNotificator killer;
  auto* freed = new TdxThemeChangedNotificator;  // listed after the one that frees it
  TdxThemeChangedNotificator failing, after;
  killer.SetOnThemeChanged(TdxThemeChangedEvent::Lambda([&] { delete freed; }));
  freed->SetOnThemeChanged(TdxThemeChangedEvent::Lambda([&] { ++later; }));
  failing.SetOnThemeChanged(TdxThemeChangedEvent::Lambda([] { throw Exception("主题错误"); }));
  after.SetOnThemeChanged(TdxThemeChangedEvent::Lambda([&] { ++later; }));
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  Application->OnException = old;
  EXPECT_EQ(shown, std::vector<String>{"主题错误"});
  EXPECT_EQ(later, 0);  // the freed one is skipped, the one after the failure not reached
}

}  // namespace
