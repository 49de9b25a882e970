#pragma once
// Fixtures of the menu, action and dialog tests: a focusable control that can be an action's
// client, and the Qt menus a menu shows.
#include "GuiTestUtil.h"

#include "gui/ActnList.h"
#include "gui/Menus.h"
#include "gui/Menus_p.h"

#include <QtGui/QAction>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtCore/QPointer>
#include <QtCore/QTimer>

#include <functional>

// A focusable box that shows its caption; clicks run its action like any control's.
class TMnuBox : public TCustomControl {
  KELM_CLASS(TMnuBox, TCustomControl)
public:
  explicit TMnuBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 24);
  }
  using TControl::Click;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Enabled() ? clWindow : clBtnFace);
    Canvas()->FillRect(ClientRect());
    Canvas()->TextOut(2, 2, Caption());
  }
};

// A plain form with a handler that layouts name, for menus and action lists written and read
// back on their own.
class TMnuLogForm : public TForm {
  KELM_CLASS(TMnuLogForm, TForm)
public:
  using TForm::TForm;
  std::vector<std::string> Log;
  void ItemClick(TObject* s) { Log.push_back("click " + static_cast<TComponent*>(s)->Name()); }
};

namespace mnutest {

// The application's title for one test; the default comes back after it.
struct TTitleScope {
  explicit TTitleScope(const String& Title) { Application->SetTitle(Title); }
  ~TTitleScope() { Application->SetTitle(""); }
};

// The entry of a Qt menu with that text (the accelerator "&" and shortcut part included).
inline QAction* FindEntry(QWidget* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text || a->text().section('\t', 0, 0) == text) return a;
  return nullptr;
}

inline QStringList EntryTexts(QWidget* menu, bool visibleOnly = true) {
  QStringList r;
  for (QAction* a : menu->actions())
    if (!visibleOnly || a->isVisible()) r << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return r;
}

// Runs Fn as soon as a popup is open (inside the popup's own loop), then closes whatever
// popup is still open, so a blocking Popup returns. The watch ends by itself after that; a
// test that expects no popup deletes it.
inline QPointer<QTimer> WhilePopupOpen(std::function<void(QMenu*)> Fn) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, Fn] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    timer->stop();
    Fn(menu);
    if (QWidget* still = QApplication::activePopupWidget()) still->close();
    timer->deleteLater();
  });
  timer->start();
  return timer;
}

// Opens a submenu of a bar or menu so that it is filled, and returns it.
inline QMenu* OpenSubMenu(QAction* entry) {
  QMenu* m = entry ? entry->menu() : nullptr;
  if (!m) return nullptr;
  emit m->aboutToShow();
  return m;
}

}  // namespace mnutest
