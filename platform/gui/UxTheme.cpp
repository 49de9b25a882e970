// The visual-styles functions forwarded to the installed backend.
#include "gui/UxTheme.h"

namespace {

TThemeBackend*& Installed() {
  static TThemeBackend* backend = ClassicThemeBackend();
  return backend;
}

}  // namespace

HRESULT TClassicThemeBackend::GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName) {
  FileName.clear();
  ColorName.clear();
  SizeName.clear();
  return E_FAIL;
}

TThemeBackend* ClassicThemeBackend() {
  static TClassicThemeBackend classic;
  return &classic;
}

TThemeBackend* ThemeBackend() { return Installed(); }

TThemeBackend* SetThemeBackend(TThemeBackend* Backend) {
  TThemeBackend* previous = Installed();
  Installed() = Backend;
  return previous;
}

BOOL IsThemeActive() {
  TThemeBackend* b = Installed();
  return b && b->IsThemeActive() ? 1 : 0;
}

HTHEME OpenThemeData(HWND Window, const String& ClassList) {
  TThemeBackend* b = Installed();
  return b ? b->OpenThemeData(Window, ClassList) : 0;
}

HRESULT CloseThemeData(HTHEME Theme) {
  TThemeBackend* b = Installed();
  return b ? b->CloseThemeData(Theme) : E_FAIL;
}

HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName) {
  if (TThemeBackend* b = Installed()) return b->GetCurrentThemeName(FileName, ColorName, SizeName);
  FileName.clear();
  ColorName.clear();
  SizeName.clear();
  return E_FAIL;
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect, const TRect* Clip) {
  TThemeBackend* b = Installed();
  return b ? b->DrawThemeBackground(Theme, DC, Part, State, Rect, Clip) : E_FAIL;
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, int Part, int State, const String& Text, int Count, DWORD Flags,
                      DWORD Flags2, const TRect& Rect) {
  TThemeBackend* b = Installed();
  return b ? b->DrawThemeText(Theme, DC, Part, State, Text, Count, Flags, Flags2, Rect) : E_FAIL;
}

HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, int Part, int State, const TRect& Dest, UINT Edge, UINT Flags,
                      TRect* Content) {
  TThemeBackend* b = Installed();
  return b ? b->DrawThemeEdge(Theme, DC, Part, State, Dest, Edge, Flags, Content) : E_FAIL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, int Part, int State, const TRect& Bounds,
                                      TRect& Content) {
  TThemeBackend* b = Installed();
  return b ? b->GetThemeBackgroundContentRect(Theme, DC, Part, State, Bounds, Content) : E_FAIL;
}

HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect, HRGN& Region) {
  TThemeBackend* b = Installed();
  return b ? b->GetThemeBackgroundRegion(Theme, DC, Part, State, Rect, Region) : E_FAIL;
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const TRect* Rect, THEMESIZE Size,
                         TSize& Result) {
  TThemeBackend* b = Installed();
  return b ? b->GetThemePartSize(Theme, DC, Part, State, Rect, Size, Result) : E_FAIL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME Theme, int Part, int State) {
  TThemeBackend* b = Installed();
  return b && b->IsThemeBackgroundPartiallyTransparent(Theme, Part, State) ? 1 : 0;
}

HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color) {
  TThemeBackend* b = Installed();
  return b ? b->GetThemeColor(Theme, Part, State, PropId, Color) : E_FAIL;
}
