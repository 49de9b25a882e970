#pragma once
// Visual styles: the functions the editor library draws themed parts with, answered by one
// replaceable backend. The program runs classic: the default backend reports no active theme
// and opens no theme data, so every caller takes its classic path. Tests install a backend
// of their own (TTestThemeBackend, TestThemeBackend.h) to drive the themed paths and theme
// changes.
// Declares TThemeBackend, TClassicThemeBackend and TThemeBackendScope.
#include "gui/GdiTypes.h"
#include "gui/Messages.h"

using HTHEME = std::intptr_t;  // 0 = no theme data
using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

enum THEMESIZE : int { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// What a visual-styles provider answers. Strings are UTF-8.
class TThemeBackend {
public:
  virtual ~TThemeBackend() = default;
  virtual bool IsThemeActive() = 0;
  // ClassList: one or more class names separated by ';', the first known one is used.
  virtual HTHEME OpenThemeData(HWND Window, const String& ClassList) = 0;
  virtual HRESULT CloseThemeData(HTHEME Theme) = 0;
  virtual HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName) = 0;
  virtual HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect,
                                      const TRect* Clip) = 0;
  virtual HRESULT DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const String& Text, int Count,
                                DWORD Flags, DWORD Flags2, const TRect& Rect) = 0;
  virtual HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const TRect& Dest, UINT Edge,
                                UINT Flags, TRect* Content) = 0;
  virtual HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const TRect& Bounds,
                                                TRect& Content) = 0;
  virtual HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect,
                                           HRGN& Region) = 0;
  virtual HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const TRect* Rect,
                                   THEMESIZE Size, TSize& Result) = 0;
  virtual bool IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State) = 0;
  virtual HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color) = 0;
};

// No theme is active and no theme data opens.
class TClassicThemeBackend : public TThemeBackend {
public:
  bool IsThemeActive() override { return false; }
  HTHEME OpenThemeData(HWND, const String&) override { return 0; }
  HRESULT CloseThemeData(HTHEME) override { return E_INVALIDARG; }
  HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName) override;
  HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const TRect&, const TRect*) override { return E_FAIL; }
  HRESULT DrawThemeText(HTHEME, HDC, int, int, const String&, int, DWORD, DWORD, const TRect&) override {
    return E_FAIL;
  }
  HRESULT DrawThemeEdge(HTHEME, HDC, int, int, const TRect&, UINT, UINT, TRect*) override { return E_FAIL; }
  HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const TRect&, TRect&) override { return E_FAIL; }
  HRESULT GetThemeBackgroundRegion(HTHEME, HDC, int, int, const TRect&, HRGN&) override { return E_FAIL; }
  HRESULT GetThemePartSize(HTHEME, HDC, int, int, const TRect*, THEMESIZE, TSize&) override { return E_FAIL; }
  bool IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) override { return false; }
  HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF&) override { return E_FAIL; }
};

// The installed backend; nullptr when none is (as where the styles library is missing).
TThemeBackend* ThemeBackend();
// Installs a backend the caller keeps alive (nullptr: none); returns the previous one. The
// classic backend is installed at start.
TThemeBackend* SetThemeBackend(TThemeBackend* Backend);
TThemeBackend* ClassicThemeBackend();

// Installs a backend for a scope and puts the previous one back at its end.
class TThemeBackendScope {
public:
  explicit TThemeBackendScope(TThemeBackend* Backend) : FPrevious(SetThemeBackend(Backend)) {}
  ~TThemeBackendScope() { SetThemeBackend(FPrevious); }
  TThemeBackendScope(const TThemeBackendScope&) = delete;
  TThemeBackendScope& operator=(const TThemeBackendScope&) = delete;

private:
  TThemeBackend* FPrevious;
};

// The functions by their platform names, forwarded to the installed backend; without one
// they fail (0, E_FAIL, false).
HTHEME OpenThemeData(HWND Window, const String& ClassList);
HRESULT CloseThemeData(HTHEME Theme);
HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect, const TRect* Clip);
HRESULT DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const String& Text, int Count, DWORD Flags,
                      DWORD Flags2, const TRect& Rect);
HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const TRect& Dest, UINT Edge, UINT Flags,
                      TRect* Content);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const TRect& Bounds,
                                      TRect& Content);
HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect, HRGN& Region);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const TRect* Rect, THEMESIZE Size,
                         TSize& Result);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State);
HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color);
// IsThemeActive is declared with the drawing types (GdiTypes.h) and answered by the backend.
