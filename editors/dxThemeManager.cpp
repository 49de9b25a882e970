// Theme handles by class and the receiver of theme changes.
#include "editors/dxThemeManager.h"

#include "core/StrUtils.h"
#include "gui/Application.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kThemeClassCount = tcWindow + 1;

const char* const kThemeClassNames[kThemeClassCount] = {
    "Button", "Clock",  "ComboBox", "Edit",   "ExplorerBar", "Header",   "ListView", "Menu",
    "Page",   "Progress", "Rebar",  "ScrollBar", "Spin",     "StartPanel", "Status", "Tab",
    "TaskBand", "TaskBar", "ToolBar", "ToolTip", "TrackBar", "TrayNotify", "TreeView", "Window",
};

struct TdxThemeData {
  HTHEME Handle = 0;
  String ClassList;  // the list the handle was opened with
};

// The process-wide state: handles, the active flag, the notificators and the receiver of
// theme changes, made when the library starts and gone when it ends.
class TThemeManager {
public:
  TThemeManager() {
    if (!UxThemeAvailable()) return;
    Active = IsThemeActive() != 0;
    FReceiver = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  }
  ~TThemeManager() {
    if (FReceiver) DeallocateHWnd(FReceiver);
    Active = false;
    for (TdxThemeData& d : Data)
      if (d.Handle) CloseThemeData(d.Handle);
  }

  std::array<TdxThemeData, kThemeClassCount> Data;
  bool Active = false;
  std::vector<TdxThemeChangedNotificator*> Notificators;

private:
  void WndProc(TMessage& M);
  HWND FReceiver = 0;
};

TThemeManager gManager;

void TThemeManager::WndProc(TMessage& M) {
  M.Result = 0;
  if (M.Msg != WM_THEMECHANGED) return;
  try {
    ReleaseAllThemeHandles();
    Active = IsThemeActive() != 0;
    // A handler may free other notificators: each is called only while it is still listed.
    const std::vector<TdxThemeChangedNotificator*> listed = Notificators;
    for (TdxThemeChangedNotificator* n : listed) {
      if (std::find(Notificators.begin(), Notificators.end(), n) == Notificators.end()) continue;
      if (n->OnThemeChanged()) n->OnThemeChanged()();
    }
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
}

}  // namespace

const char* ThemeClassName(TdxThemeClass AClass) { return kThemeClassNames[AClass]; }

bool VisualStylesActive(TdxThemeClasses Classes) {
  if (!gManager.Active || !UxThemeAvailable()) return false;
  for (int c = 0; c < kThemeClassCount; ++c)
    if (Classes.Contains(TdxThemeClass(c)) && AcquireThemeHandle(TdxThemeClass(c)) == 0) return false;
  return true;
}

bool IsThemeClassAvailable(TdxThemeClass AClass) {
  return gManager.Active && UxThemeAvailable() && AcquireThemeHandle(AClass) != 0;
}

HTHEME AcquireThemeHandle(TdxThemeClass AClass, const String* ClassList) {
  if (!VisualStylesActive()) return 0;
  TdxThemeData& d = gManager.Data[AClass];
  if (d.Handle) {
    if (!ClassList || UpperCase(d.ClassList) == UpperCase(*ClassList)) return d.Handle;
    ReleaseThemeHandle(AClass);
  }
  const String list = ClassList ? *ClassList : !d.ClassList.empty() ? d.ClassList : String(ThemeClassName(AClass));
  const HTHEME h = OpenThemeData(0, list);
  d.Handle = h;
  d.ClassList = h ? list : String();
  return h;
}

HRESULT ReleaseThemeHandle(TdxThemeClass AClass) {
  if (!VisualStylesActive()) return 1;
  TdxThemeData& d = gManager.Data[AClass];
  if (!d.Handle) return 0;
  const HRESULT result = CloseThemeData(d.Handle);
  d.Handle = 0;
  d.ClassList.clear();
  return result;
}

void ReleaseAllThemeHandles() {
  for (TdxThemeData& d : gManager.Data)
    if (d.Handle) {
      CloseThemeData(d.Handle);
      d.Handle = 0;
    }
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (UxThemeAvailable()) gManager.Notificators.push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  auto& list = gManager.Notificators;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}
