// A visual-styles backend whose answers the tests set.
#include "gui/TestThemeBackend.h"

#include "core/StrUtils.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"

namespace {

// The names of a class list, trimmed and upper-cased.
std::vector<String> ClassNames(const String& ClassList) {
  std::vector<String> names;
  std::size_t start = 0;
  while (start <= ClassList.size()) {
    std::size_t end = ClassList.find(';', start);
    if (end == String::npos) end = ClassList.size();
    String name = UpperCase(Trim(ClassList.substr(start, end - start)));
    if (!name.empty()) names.push_back(name);
    start = end + 1;
  }
  return names;
}

}  // namespace

COLORREF TTestThemeBackend::PaintColor(const String& ClassName, int Part, int State) {
  // FNV-1a over the key: distinct keys give distinct colours in practice, never white.
  std::uint32_t h = 2166136261u;
  auto mix = [&h](std::uint32_t v) {
    h ^= v;
    h *= 16777619u;
  };
  for (char c : UpperCase(ClassName)) mix(Byte(c));
  mix(std::uint32_t(Part) + 0x100);
  mix(std::uint32_t(State) + 0x10000);
  return (h ^ (h >> 24)) & 0x7F7F7F;
}

String TTestThemeBackend::ClassOf(HTHEME Theme) const {
  auto it = FOpen.find(Theme);
  return it == FOpen.end() ? String() : it->second;
}

HTHEME TTestThemeBackend::OpenThemeData(HWND, const String& ClassList) {
  ++OpenCalls;
  if (!Active) return 0;
  for (const String& name : ClassNames(ClassList)) {
    if (RefusedClasses.count(name)) continue;
    ++OpenCount;
    HTHEME h = FNext++;
    FOpen[h] = name;
    return h;
  }
  return 0;
}

HRESULT TTestThemeBackend::CloseThemeData(HTHEME Theme) {
  if (!FOpen.erase(Theme)) return E_INVALIDARG;
  ++CloseCount;
  return S_OK;
}

HRESULT TTestThemeBackend::GetCurrentThemeName(String& AFileName, String& AColorName, String& ASizeName) {
  if (NameFails || !Active) {
    AFileName.clear();
    AColorName.clear();
    ASizeName.clear();
    return E_FAIL;
  }
  AFileName = FileName;
  AColorName = ColorName;
  ASizeName = SizeName;
  return S_OK;
}

HRESULT TTestThemeBackend::DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const TRect& Rect,
                                               const TRect* Clip) {
  String cls = ClassOf(Theme);
  if (cls.empty()) return E_INVALIDARG;
  TRect r = Rect;
  if (Clip && !IntersectRect(r, Rect, *Clip)) return S_OK;
  HBRUSH brush = CreateSolidBrush(PaintColor(cls, Part, State));
  FillRect(DC, r, brush);
  DeleteObject(brush);
  return S_OK;
}

HRESULT TTestThemeBackend::DrawThemeText(HTHEME Theme, HDC DC, int, int, const String& Text, int Count, DWORD Flags,
                                         DWORD, const TRect& Rect) {
  if (ClassOf(Theme).empty()) return E_INVALIDARG;
  TRect r = Rect;
  DrawText(DC, Text, Count, &r, Flags);
  return S_OK;
}

HRESULT TTestThemeBackend::DrawThemeEdge(HTHEME Theme, HDC DC, int, int, const TRect& Dest, UINT Edge, UINT Flags,
                                         TRect* Content) {
  if (ClassOf(Theme).empty()) return E_INVALIDARG;
  TRect r = Dest;
  DrawEdge(DC, &r, Edge, Content ? Flags | UINT(BF_ADJUST) : Flags);
  if (Content) *Content = r;
  return S_OK;
}

HRESULT TTestThemeBackend::GetThemeBackgroundContentRect(HTHEME Theme, HDC, int, int, const TRect& Bounds,
                                                         TRect& Content) {
  if (ClassOf(Theme).empty()) return E_INVALIDARG;
  // Every part has a two-pixel border around its content.
  Content = TRect{Bounds.Left + 2, Bounds.Top + 2, Bounds.Right - 2, Bounds.Bottom - 2};
  return S_OK;
}

HRESULT TTestThemeBackend::GetThemeBackgroundRegion(HTHEME Theme, HDC, int, int, const TRect& Rect, HRGN& Region) {
  if (ClassOf(Theme).empty()) return E_INVALIDARG;
  Region = CreateRectRgnIndirect(Rect);
  return S_OK;
}

HRESULT TTestThemeBackend::GetThemePartSize(HTHEME Theme, HDC, int Part, int State, const TRect*, THEMESIZE,
                                            TSize& Result) {
  auto it = PartSizes.find({ClassOf(Theme), Part, State});
  if (it == PartSizes.end()) return E_FAIL;
  Result = it->second;
  return S_OK;
}

bool TTestThemeBackend::IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return false; }

HRESULT TTestThemeBackend::GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF& Color) {
  auto it = Colors.find({ClassOf(Theme), Part, State, PropId});
  if (it == Colors.end()) return E_FAIL;
  Color = it->second;
  return S_OK;
}
