// The visual-styles stand-in (classic by default, a test backend on demand), system colour
// changes and the broadcast of settings messages to utility windows and top-level forms.
#include "CanvasProbe.h"
#include "GuiTestUtil.h"

#include "gui/Forms.h"
#include "gui/SystemBroadcast.h"
#include "gui/TestThemeBackend.h"

#include <gtest/gtest.h>

namespace {

TEST(UxTheme, ClassicBackendIsInactiveAndOpensNothing) {
  ASSERT_EQ(ThemeBackend(), ClassicThemeBackend());
  EXPECT_EQ(IsThemeActive(), 0);
  EXPECT_EQ(OpenThemeData(0, "Button"), 0);
  String file = "x", colour = "y", size = "z";
  EXPECT_NE(GetCurrentThemeName(file, colour, size), S_OK);
  EXPECT_EQ(file + colour + size, "");
  {
    // Without any backend (no styles library) every call fails quietly.
    TThemeBackendScope none(nullptr);
    EXPECT_EQ(IsThemeActive(), 0);
    EXPECT_EQ(OpenThemeData(0, "Button"), 0);
    EXPECT_EQ(CloseThemeData(1), E_FAIL);
  }
  EXPECT_EQ(ThemeBackend(), ClassicThemeBackend());
}

TEST(UxTheme, TestBackendOpensCountsAndRefuses) {
  TTestThemeBackend theme;
  TThemeBackendScope scope(&theme);
  EXPECT_EQ(IsThemeActive(), 1);
  theme.RefusedClasses = {"SPIN"};
  HTHEME a = OpenThemeData(0, "button");
  HTHEME b = OpenThemeData(0, "Spin; Edit");  // the first class it knows
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(theme.ClassOf(a), "BUTTON");
  EXPECT_EQ(theme.ClassOf(b), "EDIT");
  EXPECT_EQ(OpenThemeData(0, "Spin"), 0);
  EXPECT_EQ(theme.OpenCount, 2);
  EXPECT_EQ(theme.OpenCalls, 3);
  EXPECT_EQ(CloseThemeData(a), S_OK);
  EXPECT_EQ(CloseThemeData(a), E_INVALIDARG);  // closed already
  EXPECT_EQ(theme.CloseCount, 1);
  EXPECT_EQ(theme.OpenHandles(), 1);
  theme.Active = false;
  EXPECT_EQ(IsThemeActive(), 0);
  EXPECT_EQ(OpenThemeData(0, "Button"), 0);
}

TEST(UxTheme, TestBackendPaintsEachPartInItsOwnColourAndAnswersTables) {
  TTestThemeBackend theme;
  TThemeBackendScope scope(&theme);
  TBitmap bmp;
  bmp.SetSize(30, 10);
  HTHEME h = OpenThemeData(0, "Button");
  TRect clip = Rect(0, 0, 15, 10);
  ASSERT_EQ(DrawThemeBackground(h, bmp.Canvas()->Handle(), 1, 2, Rect(5, 2, 25, 8), &clip), S_OK);
  const COLORREF ink = TTestThemeBackend::PaintColor("BUTTON", 1, 2);
  EXPECT_NE(ink, TTestThemeBackend::PaintColor("BUTTON", 1, 3));
  EXPECT_NE(ink, TTestThemeBackend::PaintColor("EDIT", 1, 2));
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(5, 2)), ink);
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(14, 7)), ink);
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(15, 7)), 0xFFFFFFu);  // beyond the clip
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(4, 2)), 0xFFFFFFu);

  theme.PartSizes[{"BUTTON", 3, 1}] = TSize{13, 13};
  theme.Colors[{"BUTTON", 1, 1, 3803}] = RGB(1, 2, 3);
  TSize size;
  EXPECT_EQ(GetThemePartSize(h, nullptr, 3, 1, nullptr, TS_TRUE, size), S_OK);
  EXPECT_EQ(size.cx, 13);
  EXPECT_NE(GetThemePartSize(h, nullptr, 3, 2, nullptr, TS_TRUE, size), S_OK);
  COLORREF c = 0;
  EXPECT_EQ(GetThemeColor(h, 1, 1, 3803, c), S_OK);
  EXPECT_EQ(c, RGB(1, 2, 3));
  EXPECT_NE(GetThemeColor(h, 1, 1, 3804, c), S_OK);
  TRect content;
  EXPECT_EQ(GetThemeBackgroundContentRect(h, nullptr, 1, 1, Rect(0, 0, 20, 10), content), S_OK);
  EXPECT_EQ(content, Rect(2, 2, 18, 8));
  CloseThemeData(h);
}

// A utility window that logs what it is sent.
struct TListener {
  std::vector<UINT>* Log;
  int Tag;
  HWND Handle = 0;
  std::function<void()> Hook;  // runs after the message is logged
  TListener(std::vector<UINT>* log, int tag) : Log(log), Tag(tag) {
    Handle = AllocateHWnd([this](TMessage& M) {
      Log->push_back(M.Msg * 10 + UINT(Tag));
      if (Hook) Hook();
    });
  }
  ~TListener() {
    if (Handle) DeallocateHWnd(Handle);
  }
};

// A control that records the system colour change its form hands on.
class TColourWatcher : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Changes = 0;
  void Dispatch(TMessage& M) override {
    if (M.Msg == CM_SYSCOLORCHANGE) ++Changes;
    TCustomControl::Dispatch(M);
  }
};

TEST(SystemBroadcast, ReachesUtilityWindowsInOrderAndFormsHandColourChangesOn) {
  std::vector<UINT> log;
  TListener first(&log, 1), second(&log, 2);
  auto* form = new TForm(Application);
  form->SetBounds(10, 10, 100, 80);
  auto* watcher = new TColourWatcher(form);
  watcher->SetParent(form);
  form->HandleNeeded();
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(log, (std::vector<UINT>{WM_THEMECHANGED * 10 + 1, WM_THEMECHANGED * 10 + 2}));
  EXPECT_EQ(watcher->Changes, 0);

  // The first receiver frees the second: it is skipped, not called after its end.
  log.clear();
  first.Hook = [&] {
    DeallocateHWnd(second.Handle);
    second.Handle = 0;
  };
  SendSystemBroadcast(WM_WININICHANGE, 0, 0);
  EXPECT_EQ(log, (std::vector<UINT>{WM_WININICHANGE * 10 + 1}));
  first.Hook = nullptr;

  SendSystemBroadcast(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(watcher->Changes, 1);
  delete form;
}

TEST(SystemBroadcast, SetSysColorsChangesTheSchemeAndTellsEveryWindow) {
  std::vector<UINT> log;
  TListener listener(&log, 0);
  const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
  const int index[] = {COLOR_BTNFACE, 99};
  const COLORREF colour[] = {RGB(10, 20, 30), RGB(1, 1, 1)};
  ASSERT_TRUE(SetSysColors(2, index, colour));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(10, 20, 30));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(10, 20, 30));
  EXPECT_EQ(log, (std::vector<UINT>{WM_SYSCOLORCHANGE * 10}));
  // The stock brush follows the new colour.
  TBitmap bmp;
  bmp.SetSize(4, 4);
  FillRect(bmp.Canvas()->Handle(), Rect(0, 0, 4, 4), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(COLORREF(bmp.Canvas()->Pixels(1, 1)), RGB(10, 20, 30));
  SetSysColors(1, index, &oldFace);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), oldFace);
}

}  // namespace
