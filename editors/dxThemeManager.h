#pragma once
// One open theme handle per theme class, opened on first use and kept until the theme
// changes; whether visual styles are active; and the objects told when the user switches the
// theme. A hidden utility window receives WM_THEMECHANGED: it closes every handle, reads the
// active flag again and calls each notificator's OnThemeChanged.
// Declares TdxThemeChangedNotificator.
#include "core/Events.h"
#include "core/TypInfo.h"
#include "editors/dxUxTheme.h"

KELM_ENUM(TdxThemeClass, tcButton, tcClock, tcComboBox, tcEdit, tcExplorerBar, tcHeader, tcListView, tcMenu, tcPage,
          tcProgress, tcRebar, tcScrollBar, tcSpin, tcStartPanel, tcStatus, tcTab, tcTaskBand, tcTaskBar, tcToolBar,
          tcToolTip, tcTrackBar, tcTrayNotify, tcTreeView, tcWindow)
using TdxThemeClasses = TSet<TdxThemeClass>;

// The class's default theme class name ("Button", "Clock", ...).
const char* ThemeClassName(TdxThemeClass AClass);

// Visual styles are available and active; with classes, each of them also opens.
bool VisualStylesActive(TdxThemeClasses Classes = {});
bool IsThemeClassAvailable(TdxThemeClass AClass);
// The open handle of the class, opening it when needed: 0 unless visual styles are active.
// ClassList (nullptr: the one the handle was opened with, else the default name) other than
// the open handle's, compared without regard to case, closes the handle and opens anew. A
// failed open forgets the class list.
HTHEME AcquireThemeHandle(TdxThemeClass AClass, const String* ClassList = nullptr);
// 1 when visual styles are not active, 0 when the class has no open handle, else the result
// of closing it.
HRESULT ReleaseThemeHandle(TdxThemeClass AClass);
void ReleaseAllThemeHandles();

using TdxThemeChangedEvent = TEvent<void()>;

// Told after every theme change, from its construction to its destruction.
class TdxThemeChangedNotificator : public TObject {
public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;
  const TdxThemeChangedEvent& OnThemeChanged() const { return FOnThemeChanged; }
  void SetOnThemeChanged(const TdxThemeChangedEvent& Value) { FOnThemeChanged = Value; }

private:
  TdxThemeChangedEvent FOnThemeChanged;
};
