// The classic system colour scheme, its stock brushes and the 96-DPI system metrics.
#include "gui/SysColors.h"
#include "gui/WinUser.h"

#include "gui/QtBridge_p.h"
#include "gui/SystemBroadcast.h"

#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace {

// The classic scheme as RRGGBB, by system colour index; SetSysColors changes it.
std::array<std::uint32_t, 31> gScheme = {
    0xD4D0C8, 0x3A6EA5, 0x0A246A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,  // 0-7
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,  // 8-15
    0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,  // 16-23
    0xFFFFE1, 0x000000, 0x000080, 0xA6CAF0, 0xC0C0C0, 0x0A246A, 0xD4D0C8,            // 24-30
};

QSize ScreenSize() {
  if (QGuiApplication::instance())
    if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
  return QSize(1024, 768);
}

}  // namespace

COLORREF GetSysColor(int Index) {
  if (Index < 0 || Index >= int(gScheme.size())) return 0;
  std::uint32_t rgb = gScheme[std::size_t(Index)];
  return RGB(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

COLORREF GetNearestColor(HDC, COLORREF Color) { return Color; }

BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Colors) {
  for (int i = 0; i < Count; ++i) {
    int index = Indexes[i];
    if (index < 0 || index >= int(gScheme.size())) continue;
    COLORREF c = Colors[i];
    gScheme[std::size_t(index)] = (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  }
  // Stock brushes read their colour when they draw, so they follow without being touched.
  SendSystemBroadcast(WM_SYSCOLORCHANGE, 0, 0);
  return 1;
}

HBRUSH GetSysColorBrush(int Index) {
  static std::array<TGdiBrush*, 31> brushes{};
  if (Index < 0 || Index >= int(brushes.size())) return nullptr;
  TGdiBrush*& b = brushes[std::size_t(Index)];
  if (!b) {
    b = new TGdiBrush;
    b->GdiStock = true;
    b->Color = GetSysColor(Index);
    b->SysColor = Index;
  }
  return b;
}

namespace {
int gScrollBarSize = 17;  // changed only by tests, as the user would in the display settings
}  // namespace

void SetScrollBarMetricsForTest(int Size) { gScrollBarSize = Size > 0 ? Size : 17; }

int GetSystemMetrics(int Index) {
  switch (Index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: case SM_CXFULLSCREEN: return ScreenSize().width();
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return ScreenSize().height();
    case SM_CYFULLSCREEN: return ScreenSize().height() - 19;
    case SM_CXMAXIMIZED: return ScreenSize().width() + 8;
    case SM_CYMAXIMIZED: return ScreenSize().height() + 8;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: return gScrollBarSize;
    case SM_CYCAPTION: case SM_CYMENU: return 19;
    case SM_CXBORDER: case SM_CYBORDER: case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CMONITORS:
      return QGuiApplication::instance() ? int(QGuiApplication::screens().size()) : 1;
    default: return 0;
  }
}
