#pragma once
// Drives real widgets with synthesized Qt input, as a user would, and records messages.
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/MessageBox.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QApplication>

#include <functional>
#include <string>
#include <vector>

namespace guitest {

inline QWidget* WidgetOf(TWinControl* c) { return gui_glue::TAccess::Widget(c); }

// The widget that receives input at a client point of a control (its own, or its parent's
// for a windowless control).
inline QWidget* InputWidget(TControl* c) {
  if (auto* w = dynamic_cast<TWinControl*>(c)) return WidgetOf(w);
  return WidgetOf(c->Parent());
}

inline unsigned long& Clock() {
  static unsigned long t = 100000;
  return t;
}

inline void SendMouse(TControl* c, QEvent::Type type, TPoint client, Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers mods = Qt::NoModifier,
                      unsigned long advanceMs = 50) {
  TPoint s = c->ClientToScreen(client);
  QWidget* w = InputWidget(c);
  QPointF global(s.X, s.Y);
  QPointF local = w->mapFromGlobal(global);
  QMouseEvent e(type, local, global, button, held, mods);
  Clock() += advanceMs;
  e.setTimestamp(Clock());
  QApplication::sendEvent(w, &e);
}

inline void Press(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton, unsigned long advanceMs = 50) {
  SendMouse(c, QEvent::MouseButtonPress, p, b, b, Qt::NoModifier, advanceMs);
}
inline void Release(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(c, QEvent::MouseButtonRelease, p, b, Qt::NoButton, Qt::NoModifier, 5);
}
inline void Move(TControl* c, TPoint p, Qt::MouseButtons held = Qt::NoButton) {
  SendMouse(c, QEvent::MouseMove, p, Qt::NoButton, held, Qt::NoModifier, 5);
}
inline void Click(TControl* c, TPoint p, Qt::MouseButton b = Qt::LeftButton) {
  Press(c, p, b, 1000);  // far from any earlier click: never a double click
  Release(c, p, b);
}

// A key as the keyboard sends it to the focused window.
inline void SendKey(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
                    const QString& text = QString()) {
  QWidget* target = QApplication::focusWidget();
  if (TWinControl* f = FindControl(GetFocus())) target = WidgetOf(f);
  if (!target && Screen && Screen->ActiveCustomForm()) target = WidgetOf(Screen->ActiveCustomForm());
  QKeyEvent e(type, key, mods, text);
  QApplication::sendEvent(target, &e);
}

inline void TypeKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
  SendKey(QEvent::KeyPress, key, mods, text);
  Application->ProcessMessages();
  SendKey(QEvent::KeyRelease, key, mods, text);
  Application->ProcessMessages();
}

// Runs the loop until the condition holds or the time is up (a guard against hanging, not
// a measurement).
inline bool WaitFor(const std::function<bool()>& cond, int maxMs = 3000) {
  QElapsedTimer t;
  t.start();
  while (!cond()) {
    if (t.elapsed() > maxMs) return false;
    Application->ProcessMessages();
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
  return true;
}

// The message log of a test: each recorder appends "name:what".
struct TLog {
  std::vector<std::string> Items;
  void Add(const std::string& s) { Items.push_back(s); }
  void Clear() { Items.clear(); }
  // The entries whose text starts with one of the prefixes, in order.
  std::vector<std::string> Only(std::initializer_list<const char*> prefixes) const {
    std::vector<std::string> r;
    for (auto& i : Items)
      for (const char* p : prefixes)
        if (i.rfind(p, 0) == 0) {
          r.push_back(i);
          break;
        }
    return r;
  }
};

// Answers message boxes while alive and records what they were asked.
struct TBoxRecorder {
  struct TCall {
    String Text, Caption;
    int Flags;
  };
  std::vector<TCall> Calls;
  int Answer = IDOK;
  TBoxRecorder() {
    SetMessageBoxHook([this](const String& t, const String& c, int f) {
      Calls.push_back({t, c, f});
      return Answer;
    });
  }
  ~TBoxRecorder() { SetMessageBoxHook(nullptr); }
};

}  // namespace guitest
