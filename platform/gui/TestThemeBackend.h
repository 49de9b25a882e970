#pragma once
// TTestThemeBackend: a visual-styles backend whose answers a test sets.
#include "gui/UxTheme.h"

#include <map>
#include <set>
#include <tuple>

// A theme that is active or not, with names the test sets, classes it refuses, counts of opens
// and closes, every (class, part, state) painted in its own colour, and part sizes and colours
// from tables. Class names compare without regard to case.
class TTestThemeBackend : public TThemeBackend {
public:
  bool Active = true;
  String FileName = "C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  String ColorName = "NormalColor";
  String SizeName = "NormalSize";
  bool NameFails = false;            // GetCurrentThemeName fails
  std::set<String> RefusedClasses;   // upper-cased class names that do not open
  int OpenCount = 0;                 // successful opens
  int OpenCalls = 0;                 // every call, refused ones too
  int CloseCount = 0;
  // (upper-cased class, part, state) -> size; (class, part, state, property) -> colour.
  std::map<std::tuple<String, int, int>, TSize> PartSizes;
  std::map<std::tuple<String, int, int, int>, COLORREF> Colors;

  // The class a handle was opened for (upper-cased, '' for no open handle).
  String ClassOf(HTHEME Theme) const;
  int OpenHandles() const { return static_cast<int>(FOpen.size()); }
  // The colour DrawThemeBackground paints for a class, part and state.
  static COLORREF PaintColor(const String& ClassName, int Part, int State);

  bool IsThemeActive() override { return Active; }
  HTHEME OpenThemeData(HWND Window, const String& ClassList) override;
  HRESULT CloseThemeData(HTHEME Theme) override;
  HRESULT GetCurrentThemeName(String& AFileName, String& AColorName, String& ASizeName) override;
  HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect,
                              const TRect* Clip) override;
  HRESULT DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const String& Text, int Count, DWORD Flags,
                        DWORD Flags2, const TRect& Rect) override;
  HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const TRect& Dest, UINT Edge, UINT Flags,
                        TRect* Content) override;
  HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const TRect& Bounds,
                                        TRect& Content) override;
  HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect,
                                   HRGN& Region) override;
  HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const TRect* Rect, THEMESIZE Size,
                           TSize& Result) override;
  bool IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State) override;
  HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color) override;

private:
  std::map<HTHEME, String> FOpen;
  HTHEME FNext = 0x1000;
};
