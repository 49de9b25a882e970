// The screen: forms and data modules, the active form and control, cursors and monitors.
#include "gui/Screen.h"
#include "gui/WinUser.h"
#include "gui/Graphics_p.h"

#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <map>

TScreen* Screen = nullptr;

struct HCURSOR__ {
  QCursor Cursor;
};

HCURSOR LoadCursor(int Instance, int CursorId) {
  static const std::map<int, TCursor> system = {
      {IDC_ARROW, crArrow},     {IDC_IBEAM, crIBeam},       {IDC_WAIT, crHourGlass},     {IDC_CROSS, crCross},
      {IDC_UPARROW, crUpArrow}, {IDC_SIZENWSE, crSizeNWSE}, {IDC_SIZENESW, crSizeNESW}, {IDC_SIZEWE, crSizeWE},
      {IDC_SIZENS, crSizeNS},   {IDC_SIZEALL, crSizeAll},   {IDC_NO, crNo},              {IDC_HAND, crHandPoint},
      {IDC_APPSTARTING, crAppStart}, {IDC_HELP, crHelp}};
  auto it = system.find(CursorId);
  if (Instance != 0 || it == system.end()) return nullptr;
  return new HCURSOR__{gui_glue::QtCursor(it->second)};
}

KELM_PUBLISH(TScreen) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  FHintFont = std::make_unique<TFont>();
  FMenuFont = std::make_unique<TFont>();
  FIconFont = std::make_unique<TFont>();
  for (TFont* f : {FHintFont.get(), FMenuFont.get(), FIconFont.get()}) {
    f->SetName("宋体");
    f->SetHeight(-12);
  }
}

TScreen::~TScreen() {
  if (FCursor != crDefault) QGuiApplication::restoreOverrideCursor();
  for (auto& [id, h] : gui_glue::TAccess::ScreenCursors()) delete h;
  gui_glue::TAccess::ScreenCursors().clear();
}

int TScreen::FormCount() const {
  int n = 0;
  for (TCustomForm* f : FForms)
    if (dynamic_cast<TForm*>(f)) ++n;
  return n;
}

TForm* TScreen::Forms(int Index) const {
  int n = 0;
  for (TCustomForm* f : FForms)
    if (auto* t = dynamic_cast<TForm*>(f)) {
      if (n == Index) return t;
      ++n;
    }
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

TCustomForm* TScreen::CustomForms(int Index) const {
  if (Index < 0 || Index >= CustomFormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FForms[static_cast<std::size_t>(Index)];
}

TDataModule* TScreen::DataModules(int Index) const {
  if (Index < 0 || Index >= DataModuleCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FDataModules[static_cast<std::size_t>(Index)];
}

TForm* TScreen::ActiveForm() const { return dynamic_cast<TForm*>(FActiveCustomForm); }

void TScreen::AddForm(TCustomForm* F) { FForms.push_back(F); }

void TScreen::RemoveForm(TCustomForm* F) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), F), FForms.end());
  if (FActiveCustomForm == F) {
    FActiveCustomForm = nullptr;
    OnActiveFormChange(this);
  }
  if (FActiveControl && GetParentForm(FActiveControl) == F) FActiveControl = nullptr;
}

void TScreen::MoveFormToFront(TCustomForm* F) {
  auto it = std::find(FForms.begin(), FForms.end(), F);
  if (it == FForms.end()) return;
  FForms.erase(it);
  FForms.insert(FForms.begin(), F);
}

void TScreen::SetActiveForm(TCustomForm* F) {
  if (F) MoveFormToFront(F);
  if (F == FActiveCustomForm) return;
  FActiveCustomForm = F;
  OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* C) {
  if (C == FActiveControl) return;
  FActiveControl = C;
  OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor v) {
  if (v == FCursor) return;
  TCursor old = FCursor;
  FCursor = v;
  if (v == crDefault) {
    QGuiApplication::restoreOverrideCursor();
  } else if (old == crDefault) {
    QGuiApplication::setOverrideCursor(gui_glue::QtCursor(v));
  } else {
    QGuiApplication::changeOverrideCursor(gui_glue::QtCursor(v));
  }
}

HCURSOR TScreen::Cursors(int Index) const {
  auto& m = gui_glue::TAccess::ScreenCursors();
  auto it = m.find(Index);
  if (it != m.end()) return it->second;
  if (Index > 0 || Index < crSizeAll) return nullptr;
  auto* h = new HCURSOR__{gui_glue::QtCursor(static_cast<TCursor>(Index))};
  m[Index] = h;
  return h;
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  auto& m = gui_glue::TAccess::ScreenCursors();
  auto it = m.find(Index);
  if (it != m.end()) {
    if (it->second != Handle) delete it->second;
    m.erase(it);
  }
  if (Handle) m[Index] = Handle;
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    auto* l = new TStringList;
    l->SetSorted(true);
    l->SetDuplicates(dupIgnore);
    for (const QString& f : QFontDatabase::families()) l->Add(FromQString(f));
    FFonts.reset(l);
  }
  return FFonts.get();
}

// Monitor objects are updated in place, so pointers to them stay valid between calls.
void TScreen::RefreshMonitors() const {
  const auto screens = QGuiApplication::screens();
  std::size_t n = std::max<std::size_t>(1, static_cast<std::size_t>(screens.size()));
  while (FMonitors.size() < n) FMonitors.push_back(std::make_unique<TMonitor>());
  FMonitors.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    TMonitor& m = *FMonitors[i];
    m.FNum = static_cast<int>(i);
    if (screens.isEmpty()) {
      m.FBounds = m.FWork = Rect(0, 0, 1024, 768);
      m.FPrimary = true;
      continue;
    }
    QScreen* s = screens[static_cast<qsizetype>(i)];
    m.FBounds = FromQRect(s->geometry());
    m.FWork = FromQRect(s->availableGeometry());
    m.FPrimary = s == QGuiApplication::primaryScreen();
  }
}

int TScreen::MonitorCount() const {
  RefreshMonitors();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) const {
  RefreshMonitors();
  if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FMonitors[static_cast<std::size_t>(Index)].get();
}

TMonitor* TScreen::PrimaryMonitor() const {
  RefreshMonitors();
  for (auto& m : FMonitors)
    if (m->Primary()) return m.get();
  return FMonitors.front().get();
}

TMonitor* TScreen::MonitorFromPoint(TPoint P, TMonitorDefaultTo Default) const {
  RefreshMonitors();
  for (auto& m : FMonitors)
    if (PtInRect(m->BoundsRect(), P)) return m.get();
  if (Default == mdNull) return nullptr;
  if (Default == mdPrimary) return PrimaryMonitor();
  TMonitor* best = nullptr;
  long bestD = 0;
  for (auto& m : FMonitors) {
    TRect b = m->BoundsRect();
    long dx = P.X < b.Left ? b.Left - P.X : P.X >= b.Right ? P.X - b.Right + 1 : 0;
    long dy = P.Y < b.Top ? b.Top - P.Y : P.Y >= b.Bottom ? P.Y - b.Bottom + 1 : 0;
    long d = dx * dx + dy * dy;
    if (!best || d < bestD) {
      best = m.get();
      bestD = d;
    }
  }
  return best;
}

TMonitor* TScreen::MonitorFromRect(const TRect& R, TMonitorDefaultTo Default) const {
  return MonitorFromPoint({(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}, Default);
}

TMonitor* TScreen::MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default) const {
  TWinControl* c = FindControl(Handle);
  if (!c) return Default == mdNull ? nullptr : PrimaryMonitor();
  TPoint o = c->ClientOrigin();
  return MonitorFromRect(Bounds(o.X, o.Y, c->Width(), c->Height()), Default);
}

int TScreen::Width() const { return PrimaryMonitor()->Width(); }
int TScreen::Height() const { return PrimaryMonitor()->Height(); }

TRect TScreen::DesktopRect() const {
  RefreshMonitors();
  TRect r = FMonitors.front()->BoundsRect();
  for (auto& m : FMonitors) UnionRect(r, r, m->BoundsRect());
  return r;
}

TRect TScreen::WorkAreaRect() const { return PrimaryMonitor()->WorkareaRect(); }

// ---------------------------------------------------------------- cursors from resources

HCURSOR LoadCursorFromResource(const String& Name) {
  const TResourceView* r = nullptr;
  for (const String& n : {Name, Name + ".cur", "cursors/" + Name + ".cur", "cursors/" + Name})
    if ((r = FindResourceData(n))) break;
  if (!r || r->Size < 22) return nullptr;
  const Byte* d = r->Data;
  if (d[0] != 0 || d[1] != 0 || d[2] != 2 || d[3] != 0) return nullptr;  // not a cursor file
  int hx = d[6 + 4] | (d[6 + 5] << 8);
  int hy = d[6 + 6] | (d[6 + 7] << 8);
  QImage img = QImage::fromData(d, static_cast<int>(r->Size), "CUR");
  if (img.isNull()) img = QImage::fromData(d, static_cast<int>(r->Size), "ICO");
  if (img.isNull()) return nullptr;
  return new HCURSOR__{QCursor(QPixmap::fromImage(img), hx, hy)};
}

HCURSOR CreateCursorFromImage(TBitmap* Image, int HotX, int HotY) {
  if (!Image || Image->Empty()) return nullptr;
  return new HCURSOR__{QCursor(QPixmap::fromImage(ImageOf(*Image)), HotX, HotY)};
}

// ---------------------------------------------------------------- the cursor shown

namespace {
HWND gCursorWindow = 0;
HCURSOR gShownCursor = nullptr;
}  // namespace

HCURSOR SetCursor(HCURSOR Cursor) {
  HCURSOR old = gShownCursor;
  gShownCursor = Cursor;
  if (TWinControl* c = gCursorWindow ? FindControl(gCursorWindow) : nullptr)
    if (QWidget* w = gui_glue::TAccess::Widget(c)) w->setCursor(gui_glue::TAccess::CursorOf(Cursor));
  return old;
}

HCURSOR GetCursor() { return gShownCursor; }

void gui_glue::SetCursorWindow(HWND Window) { gCursorWindow = Window; }

// ---------------------------------------------------------------- glue access

namespace gui_glue {

void TAccess::ScreenControlDestroyed(TControl* C) {
  if (Screen->FActiveControl == C) Screen->FActiveControl = nullptr;
}

void TAccess::ScreenSetActiveForm(TCustomForm* F) { Screen->SetActiveForm(F); }

std::map<int, HCURSOR>& TAccess::ScreenCursors() {
  static std::map<int, HCURSOR> m;
  return m;
}

QCursor TAccess::CursorOf(HCURSOR H) { return H ? H->Cursor : QCursor(Qt::ArrowCursor); }

}  // namespace gui_glue
