#pragma once
// Fixtures of the standard-control tests: a shown borderless form to put controls on, a
// recorder of the messages a control's window procedure sees, and a beep counter.
#include "GuiTestUtil.h"

#include "core/StrUtils.h"

#include <QtCore/QDir>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtCore/QTimer>
#include <QtGui/QInputMethodEvent>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace stdtest {

// Records the messages of interest that reach a control, then passes them on.
struct TMsgLog {
  struct TEntry {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
  };
  std::vector<TEntry> Items;
  std::vector<UINT> Watched;

  void Attach(TControl* c, std::vector<UINT> watched) {
    Watched = std::move(watched);
    TWndMethod old = c->WindowProc;
    c->WindowProc = [this, old](TMessage& m) {
      if (std::find(Watched.begin(), Watched.end(), m.Msg) != Watched.end()) Items.push_back({m.Msg, m.WParam, m.LParam});
      old(m);
    };
  }
  int Count(UINT msg) const {
    return static_cast<int>(std::count_if(Items.begin(), Items.end(), [&](const TEntry& e) { return e.Msg == msg; }));
  }
  void Clear() { Items.clear(); }
};

// Counts the speaker's beeps while alive.
struct TBeepCounter {
  int Count = 0;
  TBeepCounter() {
    SetBeepHook([this](UINT) { ++Count; });
  }
  ~TBeepCounter() { SetBeepHook(nullptr); }
};

struct FormFixture : ::testing::Test {
  TForm* Form = nullptr;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(40, 40, 360, 240);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Form = nullptr;
    Application->ProcessMessages();
  }
  template <class T> T* Add(TWinControl* parent, TRect r) {
    auto* c = new T(Form);
    c->SetParent(parent);
    c->SetBoundsRect(r);
    return c;
  }
  template <class T> T* Add(TRect r) { return Add<T>(Form, r); }
  // The form's pixels as the screen shows them.
  QImage Grab() { return guitest::WidgetOf(Form)->grab().toImage(); }
  // A pixel of a control's client area as the screen shows it.
  QColor Pixel(TControl* c, int x, int y) {
    QImage img = Grab();
    TPoint p = c->ClientToParent({x, y}, Form);
    return QColor(img.pixel(p.X, p.Y));
  }
  void Shot(const char* name) {
    QDir().mkpath("screenshots");
    GrabToPng(Form, String("screenshots/") + name + ".png");
  }
};

// Types text as an input method commits it: one WM_CHAR per character.
inline void Commit(TWinControl* target, const String& text) {
  QInputMethodEvent e;
  e.setCommitString(QString::fromUtf8(text.data(), qsizetype(text.size())));
  QApplication::sendEvent(guitest::WidgetOf(target), &e);
  Application->ProcessMessages();
}

inline void Type(const String& ascii) {
  for (char ch : ascii) {
    int key = ch >= 'a' && ch <= 'z' ? Qt::Key_A + (ch - 'a') : ch >= 'A' && ch <= 'Z' ? Qt::Key_A + (ch - 'A')
              : ch >= '0' && ch <= '9' ? Qt::Key_0 + (ch - '0') : ch == ' ' ? Qt::Key_Space : ch == '/' ? Qt::Key_Slash
              : ch == '.' ? Qt::Key_Period : ch == '-' ? Qt::Key_Minus : Qt::Key_unknown;
    Qt::KeyboardModifiers mods = ch >= 'A' && ch <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier;
    guitest::TypeKey(key, mods, QString(QChar(ch)));
  }
}

inline void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { guitest::TypeKey(key, mods); }

inline void SetClipboard(const String& s) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8(s.data(), qsizetype(s.size())));
}
inline String ClipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

}  // namespace stdtest
