// The screen overlay behind focus rectangles drawn on the screen context.
#include "gui/ScreenFrames.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace {

class TScreenOverlay : public QWidget {
public:
  TScreenOverlay()
      : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
  std::vector<TRect> Frames;

  void Sync() {
    if (Frames.empty()) {
      hide();
      return;
    }
    QRect desk;
    for (QScreen* s : QGuiApplication::screens()) desk |= s->geometry();
    if (geometry() != desk) setGeometry(desk);
    update();
    if (!isVisible()) show();
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QPoint origin = geometry().topLeft();
    for (const TRect& r : Frames) {
      // A dotted one-pixel frame, dark and light dots in turn, as the XOR checkerboard shows
      // over a plain background.
      const QRect q = QRect(r.Left, r.Top, r.Width(), r.Height()).translated(-origin);
      for (int x = q.left(); x <= q.right(); ++x) {
        p.setPen((x + q.top()) % 2 ? Qt::white : Qt::black);
        p.drawPoint(x, q.top());
        p.setPen((x + q.bottom()) % 2 ? Qt::white : Qt::black);
        p.drawPoint(x, q.bottom());
      }
      for (int y = q.top() + 1; y < q.bottom(); ++y) {
        p.setPen((q.left() + y) % 2 ? Qt::white : Qt::black);
        p.drawPoint(q.left(), y);
        p.setPen((q.right() + y) % 2 ? Qt::white : Qt::black);
        p.drawPoint(q.right(), y);
      }
    }
  }
};

TScreenOverlay& Overlay() {
  static TScreenOverlay* overlay = new TScreenOverlay;  // lives as long as the application
  return *overlay;
}

bool Same(const TRect& A, const TRect& B) {
  return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

}  // namespace

void ToggleScreenFocusRect(const TRect& R) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  TScreenOverlay& o = Overlay();
  auto it = std::find_if(o.Frames.begin(), o.Frames.end(), [&](const TRect& F) { return Same(F, R); });
  if (it != o.Frames.end()) o.Frames.erase(it);
  else o.Frames.push_back(R);
  o.Sync();
}

std::vector<TRect> ScreenFocusRects() { return Overlay().Frames; }

bool ScreenOverlayShown() { return Overlay().isVisible(); }
