// The Qt side: the widget of a windowed control (painting from its buffers) and the
// application event filter that turns Qt's input into messages in the platform's order.
#include "gui/QtGlue_p.h"

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/QtBridge_p.h"
#include "gui/Screen.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtCore/QElapsedTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>

#include <cstdlib>

// ================================================================ TControlWidget

TControlWidget::TControlWidget(TWinControl* AControl) : QWidget(nullptr), Control(AControl) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  hide();
}

TControlWidget::~TControlWidget() = default;

void TControlWidget::EnsureBuffers() {
  if (!Control) return;
  TRect c = Control->ClientRect();
  QSize cs(std::max(1, c.Width()), std::max(1, c.Height()));
  bool retarget = false;
  if (ClientImage.size() != cs) {
    ClientImage = QImage(cs, QImage::Format_RGB32);
    ClientImage.fill(Qt::white);
    NeedsPaint = true;
    retarget = true;
  }
  TRect in = gui_glue::TAccess::InsideMarginsOf(Control);
  if (in == TRect{}) {
    if (!FrameImage.isNull()) {
      FrameImage = QImage();
      retarget = true;
    }
  } else {
    QSize fs(std::max(1, width()), std::max(1, height()));
    if (FrameImage.size() != fs) {
      FrameImage = QImage(fs, QImage::Format_RGB32);
      FrameImage.fill(Qt::white);
      NeedsFramePaint = true;
      retarget = true;
    }
  }
  if (retarget) gui_glue::RetargetDCs(this);
}

void TControlWidget::PaintBuffers() {
  if (!Control || Painting) return;
  TWinControl* c = Control;
  c->HandleNeeded();
  EnsureBuffers();
  if (PaintFailed) return;
  gui_glue::SuspendDCs(this);
  Painting = true;
  try {
    if (NeedsFramePaint && !FrameImage.isNull()) {
      NeedsFramePaint = false;
      // The frame is drawn in window coordinates; the widget may start inside the window.
      TRect in = gui_glue::TAccess::InsideMarginsOf(c);
      TRect nc = c->NonClientMargins();
      HDC dc = CreateImageDC(&FrameImage);
      PaintDC = dc;
      SetViewportOrgEx(dc, -(nc.Left - in.Left), -(nc.Top - in.Top), nullptr);
      c->Perform(WM_NCPAINT, reinterpret_cast<WPARAM>(dc), 0);
      PaintDC = nullptr;
      DeleteDC(dc);
    }
    if (NeedsPaint || NeedsPartialPaint) {
      bool partial = !NeedsPaint;
      NeedsPaint = NeedsPartialPaint = false;
      HDC dc = CreateImageDC(&ClientImage);
      PaintDC = dc;
      if (partial) {
        QRect r = PartialArea;
        IntersectClipRect(dc, r.left(), r.top(), r.right() + 1, r.bottom() + 1);
      }
      PartialArea = QRect();
      c->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      PaintDC = nullptr;
      DeleteDC(dc);
    }
  } catch (...) {
    // A failing paint is reported once; it is not tried again until the next invalidation.
    if (PaintDC) {
      DeleteDC(PaintDC);
      PaintDC = nullptr;
    }
    Painting = false;
    PaintFailed = true;
    NeedsPaint = NeedsPartialPaint = false;
    gui_glue::HandleCurrentException(c);
    return;
  }
  Painting = false;
}

QImage TControlWidget::Composite() {
  PaintBuffers();
  QImage out(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  out.fill(Qt::white);
  QPainter p(&out);
  if (!FrameImage.isNull()) p.drawImage(0, 0, FrameImage);
  if (Control) {
    TRect in = gui_glue::TAccess::InsideMarginsOf(Control);
    p.drawImage(in.Left, in.Top, ClientImage);
  }
  return out;
}

QRect TControlWidget::ClientArea() const {
  if (!Control) return rect();
  TRect in = gui_glue::TAccess::InsideMarginsOf(Control);
  TRect c = Control->ClientRect();
  return QRect(in.Left, in.Top, c.Width(), c.Height());
}

void TControlWidget::Schedule(const QRegion& Area) {
  Unflushed += Area;
  update(Area);
  LastScheduled = QRect();
}

void TControlWidget::ScheduleRect(const QRect& Area) {
  if (LastScheduled.contains(Area)) return;
  Schedule(QRegion(Area));
  LastScheduled = Area;
}

void TControlWidget::ScheduleClient(const QRect& Area) { ScheduleRect(Area.translated(ClientArea().topLeft())); }

void TControlWidget::ScheduleFrame() { Schedule(QRegion(rect()).subtracted(QRegion(ClientArea()))); }

void TControlWidget::Flush() {
  // Whatever the buffers' paint changes reaches the screen, scheduled or not.
  QRect client = ClientArea();
  if (NeedsPaint) Unflushed += client;
  else if (NeedsPartialPaint) Unflushed += PartialArea.translated(client.topLeft());
  if (NeedsFramePaint) Unflushed += QRegion(rect()).subtracted(QRegion(client));
  PaintBuffers();
  QRegion area = Unflushed;
  Unflushed = QRegion();
  LastScheduled = QRect();
  if (isVisible() && !area.isEmpty()) repaint(area);
}

void TControlWidget::paintEvent(QPaintEvent* e) {
  Unflushed -= e->region();
  LastScheduled = QRect();
  if (!Control) return;
  PaintBuffers();
  QPainter p(this);
  TRect in = gui_glue::TAccess::InsideMarginsOf(Control);
  QRect client(in.Left, in.Top, ClientImage.width(), ClientImage.height());
  // The buffers are copied one rectangle of the exposed region at a time: with a child window
  // inside (a grid's cell editor) the region has a hole, and a clip with a hole makes every
  // copy a span fill handed to worker threads, several times slower than copying the lines.
  // Each copy is clipped to its own rectangle, which replaces the region's clip with its hole;
  // the frame is copied only where the client does not cover it.
  for (const QRect& r : e->region()) {
    p.setClipRect(r);
    if (!FrameImage.isNull())
      for (const QRect& f : QRegion(r).subtracted(client)) p.drawImage(f.topLeft(), FrameImage, f);
    if (QRect part = r & client; !part.isEmpty()) p.drawImage(part.topLeft(), ClientImage, part.translated(-client.topLeft()));
  }
}

bool TControlWidget::event(QEvent* e) {
  if (!Control) return QWidget::event(e);
  // Resizing, moving and activation run handlers of the program: their exceptions are
  // shown here and never reach Qt.
  try {
    return HandleEvent(e);
  } catch (...) {
    gui_glue::HandleCurrentException(Control);
    return true;
  }
}

bool TControlWidget::HandleEvent(QEvent* e) {
  switch (e->type()) {
    case QEvent::Close:
      // The platform's close box asks the window; it decides whether it goes.
      e->ignore();
      if (Control) {
        TMessage m;
        m.Msg = WM_CLOSE;
        gui_glue::DeliverToControl(Control, m);
      }
      return true;
    case QEvent::Resize:
      if (isWindow() || qobject_cast<QMdiSubWindow*>(parentWidget()))
        gui_glue::TAccess::WidgetResized(Control, width(), height());
      return QWidget::event(e);
    case QEvent::Move:
      if (isWindow()) gui_glue::TAccess::WidgetMoved(Control, pos().x(), pos().y());
      return QWidget::event(e);
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      if (auto* f = dynamic_cast<TCustomForm*>(Control); f && isWindow())
        gui_glue::FormActivated(f, e->type() == QEvent::WindowActivate);
      return QWidget::event(e);
    case QEvent::KeyPress:
      // Tab is ours: Qt must not move its own focus.
      return true;
    default:
      return QWidget::event(e);
  }
}

// ================================================================ lookups

namespace {

TPoint gCursor;
bool gCursorKnown = false;
TControl* gMouseControl = nullptr;

// Double clicks are recognised here, so each click gives DOWN, UP, DBLCLK, UP whatever Qt
// sends for the second press.
struct TClickState {
  HWND Window = 0;
  Qt::MouseButton Button = Qt::NoButton;
  qint64 Time = -1;
  QPoint Pos;
  bool LastWasDouble = false;
  qint64 LastPressStamp = -1;
};
TClickState gClick;
QElapsedTimer gClock;

// A window that answers HTCAPTION to WM_NCHITTEST is moved by the mouse like a caption.
struct TCaptionDrag {
  TWinControl* Window = nullptr;
  TPoint Offset;
};
TCaptionDrag gCaptionDrag;

qint64 EventTime(const QInputEvent* e) {
  if (!gClock.isValid()) gClock.start();
  if (e->timestamp() != 0) return static_cast<qint64>(e->timestamp());
  return gClock.elapsed();
}

}  // namespace

namespace gui_glue {

TPoint CursorPos() {
  if (gCursorKnown) return gCursor;
  QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void SetTrackedCursorPos(TPoint P) {
  gCursor = P;
  gCursorKnown = true;
}

void MouseControlDestroyed(TControl* Control) {
  if (gMouseControl == Control) gMouseControl = nullptr;
  if (gCaptionDrag.Window == Control) gCaptionDrag = {};
}

TWinControl* ControlOfWidget(const QWidget* W) {
  for (const QWidget* p = W; p; p = p->parentWidget()) {
    if (auto* cw = dynamic_cast<const TControlWidget*>(p)) return cw->Control;
    // The frame of an MDI child, the MDI area and windows of Qt's own (menus, dialogs,
    // drop-down lists of embedded widgets) belong to no control.
    if (qobject_cast<const QMdiSubWindow*>(p) || qobject_cast<const QMdiArea*>(p) || p->isWindow()) return nullptr;
  }
  return nullptr;
}

void DeliverToControl(TWinControl* Control, TMessage& Message) { Control->MainWndProc(Message); }

QCursor QtCursor(TCursor Cursor) {
  if (Cursor > 0 || Cursor < crSizeAll) {
    if (Screen) {
      HCURSOR h = Screen->Cursors(Cursor);
      if (h) return TAccess::CursorOf(h);
    }
    return QCursor(Qt::ArrowCursor);
  }
  switch (Cursor) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag: case crMultiDrag: return QCursor(Qt::DragCopyCursor);
    case crNoDrop: case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}

}  // namespace gui_glue

// ================================================================ keys

namespace {

Word VirtualKeyOf(const QKeyEvent* e) {
  int k = e->key();
  bool keypad = e->modifiers() & Qt::KeypadModifier;
  if (keypad) {
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<Word>(VK_NUMPAD0 + (k - Qt::Key_0));
    switch (k) {
      case Qt::Key_Asterisk: return VK_MULTIPLY;
      case Qt::Key_Plus: return VK_ADD;
      case Qt::Key_Minus: return VK_SUBTRACT;
      case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
      case Qt::Key_Slash: return VK_DIVIDE;
      case Qt::Key_Enter: return VK_RETURN;
      default: break;
    }
  }
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<Word>('A' + (k - Qt::Key_A));
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<Word>('0' + (k - Qt::Key_0));
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (k - Qt::Key_F1));
  struct TKeyMap {
    int Qt;
    Word Vk;
  };
  static const TKeyMap map[] = {
      {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Escape, VK_ESCAPE},
      {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Backspace, VK_BACK},
      {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Pause, VK_PAUSE},
      {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_Clear, VK_CLEAR}, {Qt::Key_Home, VK_HOME},
      {Qt::Key_End, VK_END}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP}, {Qt::Key_Right, VK_RIGHT},
      {Qt::Key_Down, VK_DOWN}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
      {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Meta, VK_LWIN},
      {Qt::Key_Alt, VK_MENU}, {Qt::Key_AltGr, VK_MENU}, {Qt::Key_CapsLock, VK_CAPITAL},
      {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Menu, VK_APPS},
      {Qt::Key_Help, VK_HELP}, {Qt::Key_Space, VK_SPACE},
      // Punctuation by the key of a US keyboard that makes it, shifted or not.
      {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1}, {Qt::Key_Equal, VK_OEM_PLUS},
      {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
      {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
      {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
      {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
      {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
      {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
      {Qt::Key_QuoteDbl, VK_OEM_7}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
      {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
      {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
  };
  for (const auto& m : map)
    if (m.Qt == k) return m.Vk;
  return 0;
}

// The characters a key produces. With Ctrl they come from the key itself (Ctrl+C is #3),
// as the platform's keyboard layer makes them, not from Qt's text.
std::u32string CharsOf(const QKeyEvent* e, Word vk, bool ctrl, bool alt) {
  if (ctrl && !alt) {
    if (vk >= 'A' && vk <= 'Z') return std::u32string(1, static_cast<char32_t>(vk - 'A' + 1));
    switch (vk) {
      case VK_OEM_4: return U"\x1B";
      case VK_OEM_5: return U"\x1C";
      case VK_OEM_6: return U"\x1D";
      case VK_RETURN: return U"\n";
      case VK_BACK: return U"\x7F";
      default: return {};
    }
  }
  switch (vk) {
    case VK_RETURN: return U"\r";
    case VK_ESCAPE: return U"\x1B";
    case VK_BACK: return U"\b";
    case VK_TAB: return U"\t";
    default: break;
  }
  std::u32string out;
  for (char32_t c : e->text().toStdU32String())
    if (c >= 32 && c != 127) out += c;
  return out;
}

// Whether the key carries a character to type (control characters come from keys only).
bool HasTypedText(const QKeyEvent* e) {
  for (char32_t c : e->text().toStdU32String())
    if (c >= 32 && c != 127) return true;
  return false;
}

void SyncModifiers(Qt::KeyboardModifiers m) {
  gui_glue::SetKeyDown(VK_SHIFT, m & Qt::ShiftModifier);
  gui_glue::SetKeyDown(VK_CONTROL, m & Qt::ControlModifier);
  gui_glue::SetKeyDown(VK_MENU, m & Qt::AltModifier);
}

void SyncButtons(Qt::MouseButtons b) {
  gui_glue::SetKeyDown(VK_LBUTTON, b & Qt::LeftButton);
  gui_glue::SetKeyDown(VK_RBUTTON, b & Qt::RightButton);
  gui_glue::SetKeyDown(VK_MBUTTON, b & Qt::MiddleButton);
}

WPARAM MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
  WPARAM k = 0;
  if (b & Qt::LeftButton) k |= MK_LBUTTON;
  if (b & Qt::RightButton) k |= MK_RBUTTON;
  if (b & Qt::MiddleButton) k |= MK_MBUTTON;
  if (m & Qt::ShiftModifier) k |= MK_SHIFT;
  if (m & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

HWND KeyTarget(TWinControl* ctl) {
  HWND f = GetFocus();
  if (f) return f;
  if (Screen && Screen->ActiveCustomForm()) return Screen->ActiveCustomForm()->Handle();
  return ctl->Handle();
}

bool HandleKey(QWidget* w, QKeyEvent* e) {
  TWinControl* ctl = gui_glue::ControlOfWidget(w);
  if (!ctl) return false;
  SyncModifiers(e->modifiers());
  Word vk = VirtualKeyOf(e);
  bool press = e->type() == QEvent::KeyPress;
  if (vk) gui_glue::SetKeyDown(vk, press);
  // A character the layout makes without a key of its own (é, ß, 界 through a keysym) comes
  // as the packet key, its characters queued after it like any key's.
  if (!vk && HasTypedText(e)) vk = VK_PACKET;
  if (!vk) return false;
  bool ctrl = e->modifiers() & Qt::ControlModifier;
  bool alt = e->modifiers() & Qt::AltModifier;
  HWND h = KeyTarget(ctl);
  TWinControl* target = FindControl(h);
  bool native = target && gui_glue::TAccess::Widget(target) != w && target == ctl;
  TMsg msg;
  msg.hwnd = h;
  bool sys = (alt && !ctrl) || vk == VK_F10;
  LPARAM data = 1 | (alt ? AltMask : 0);
  if (press) {
    if (e->isAutoRepeat()) data |= 0x40000000;
    msg.message = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
  } else {
    data |= static_cast<LPARAM>(0xC0000000u);
    msg.message = sys ? WM_SYSKEYUP : WM_KEYUP;
  }
  msg.wParam = vk;
  msg.lParam = data;
  msg.pt = gui_glue::CursorPos();
  std::u32string chars = press ? CharsOf(e, vk, ctrl, alt) : std::u32string();
  bool passed = gui_glue::DispatchInput(msg, std::move(chars), native ? target : nullptr);
  return native ? !passed : true;
}

// ================================================================ mouse

void TrackMouseControl(TWinControl* window, TPoint client) {
  TControl* now = window;
  if (window) {
    if (TControl* g = window->ControlAtPos(client, false)) now = g;
  }
  if (now == gMouseControl) return;
  TControl* old = gMouseControl;
  gMouseControl = now;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (now && now == gMouseControl) now->Perform(CM_MOUSEENTER, 0, 0);
}

UINT ButtonMessage(Qt::MouseButton b, int kind) {  // kind 0 down, 1 up, 2 double
  UINT base = b == Qt::RightButton ? WM_RBUTTONDOWN : b == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  return base + static_cast<UINT>(kind);
}

bool HandleMouse(QWidget* w, QMouseEvent* e) {
  TWinControl* ctl = gui_glue::ControlOfWidget(w);
  if (!ctl) return false;
  QWidget* cw = gui_glue::TAccess::Widget(ctl);
  if (!cw->isEnabled()) return true;  // disabled windows get no mouse input
  QPoint gp = e->globalPosition().toPoint();
  gui_glue::SetTrackedCursorPos({gp.x(), gp.y()});
  SyncModifiers(e->modifiers());
  SyncButtons(e->buttons());
  HWND cap = GetCapture();
  HWND h = cap ? cap : ctl->Handle();
  TWinControl* target = FindControl(h);
  bool native = !cap && cw != w;
  TPoint screen{gp.x(), gp.y()};
  TPoint pt = target ? target->ScreenToClient(screen) : screen;
  if (!target && !cap) return true;

  if (gCaptionDrag.Window) {
    TWinControl* top = gCaptionDrag.Window;
    if (e->type() == QEvent::MouseMove) top->SetBounds(screen.X - gCaptionDrag.Offset.X, screen.Y - gCaptionDrag.Offset.Y, top->Width(), top->Height());
    else if (e->type() == QEvent::MouseButtonRelease) gCaptionDrag = {};
    return true;
  }

  TMsg msg;
  msg.hwnd = h;
  msg.pt = screen;
  msg.lParam = PointToLParam(pt);
  msg.wParam = MouseKeys(e->buttons(), e->modifiers());
  qint64 t = EventTime(e);

  if (e->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton && target && !cap &&
      SendMessage(h, WM_NCHITTEST, 0, PointToLParam(screen)) == HTCAPTION) {
    if (TWinControl* top = GetTopParent(target)) {
      gCaptionDrag = {top, {screen.X - top->Left(), screen.Y - top->Top()}};
      gui_glue::ActivateFormOf(target);
      return true;
    }
  }

  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (e->type() == QEvent::MouseButtonDblClick && gClick.LastPressStamp == t) return true;  // already taken
      gClick.LastPressStamp = t;
      bool dbl = !gClick.LastWasDouble && gClick.Window == h && gClick.Button == e->button() && gClick.Time >= 0 &&
                 t - gClick.Time <= 500 && std::abs(gClick.Pos.x() - gp.x()) <= 4 && std::abs(gClick.Pos.y() - gp.y()) <= 4;
      gClick = {h, e->button(), t, gp, dbl, t};
      // Clicking into an inactive window activates it, unless it asks not to be.
      if (target && !cap) {
        TWinControl* top = GetTopParent(target);
        if (top) {
          LRESULT ma = SendMessage(top->Handle(), WM_MOUSEACTIVATE, top->Handle(), MakeLParam(HTCLIENT, ButtonMessage(e->button(), 0)));
          if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return true;
          if (ma != MA_NOACTIVATE) gui_glue::ActivateFormOf(target);
        }
      }
      bool wantsDouble = target && target->ControlStyle().Contains(csDoubleClicks);
      msg.message = ButtonMessage(e->button(), dbl && wantsDouble ? 2 : 0);
      break;
    }
    case QEvent::MouseButtonRelease:
      msg.message = ButtonMessage(e->button(), 1);
      break;
    case QEvent::MouseMove:
      msg.message = WM_MOUSEMOVE;
      if (!cap && target) {
        gui_glue::SetCursorWindow(h);
        SendMessage(h, WM_SETCURSOR, h, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
        gui_glue::SetCursorWindow(0);
        TrackMouseControl(target, pt);
      }
      break;
    default:
      return false;
  }
  bool passed = gui_glue::DispatchInput(msg, {}, native ? target : nullptr);
  return native ? !passed : true;
}

bool HandleWheel(QWidget* w, QWheelEvent* e) {
  TWinControl* ctl = gui_glue::ControlOfWidget(w);
  if (!ctl) return false;
  int delta = e->angleDelta().y();
  if (delta == 0) return true;
  QPoint gp = e->globalPosition().toPoint();
  gui_glue::SetTrackedCursorPos({gp.x(), gp.y()});
  SyncModifiers(e->modifiers());
  HWND h = GetFocus();
  if (!h) h = ctl->Handle();
  TWinControl* target = FindControl(h);
  bool native = target == ctl && gui_glue::TAccess::Widget(ctl) != w;
  TMsg msg;
  msg.hwnd = h;
  msg.message = WM_MOUSEWHEEL;
  msg.wParam = MakeWParam(static_cast<int>(MouseKeys(e->buttons(), e->modifiers())), delta);
  msg.lParam = MakeLParam(gp.x(), gp.y());
  msg.pt = {gp.x(), gp.y()};
  bool passed = gui_glue::DispatchInput(msg, {}, native ? target : nullptr);
  return native ? !passed : true;
}

bool gComposing = false;

bool HandleInputMethod(QWidget* w, QInputMethodEvent* e) {
  TWinControl* ctl = gui_glue::ControlOfWidget(w);
  if (!ctl) return false;
  HWND h = KeyTarget(ctl);
  if (!e->preeditString().isEmpty() && !gComposing) {
    gComposing = true;
    SendMessage(h, WM_IME_STARTCOMPOSITION, 0, 0);
  }
  std::u32string commit = e->commitString().toStdU32String();
  if (!commit.empty()) {
    // Committed text arrives as one WM_CHAR per character, like typed keys.
    for (char32_t c : commit) PostMessage(h, WM_CHAR, c, 1);
  }
  if (e->preeditString().isEmpty() && gComposing) {
    gComposing = false;
    SendMessage(h, WM_IME_ENDCOMPOSITION, 0, 0);
  }
  return true;
}

// Closes popups the press does not land in, the latest first; the press goes on.
void ClosePopupsOutside(QWidget* w) {
  auto& pops = gui_glue::Popups();
  while (!pops.empty()) {
    gui_glue::TOpenPopup p = pops.back();
    QWidget* pw = p.Widget.data();
    if (pw && (pw == w || pw->isAncestorOf(w))) return;
    gui_glue::ClosePopup(p.Popup);
  }
}

class TInputFilter : public QObject {
public:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (!o->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(o);
    try {
      switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
          if (!gui_glue::Popups().empty()) ClosePopupsOutside(w);
          return HandleMouse(w, static_cast<QMouseEvent*>(e));
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
          return HandleMouse(w, static_cast<QMouseEvent*>(e));
        case QEvent::Wheel:
          return HandleWheel(w, static_cast<QWheelEvent*>(e));
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
          return HandleKey(w, static_cast<QKeyEvent*>(e));
        case QEvent::ShortcutOverride:
          // Keys reach the controls; shortcuts are the forms' and menus' business.
          if (gui_glue::ControlOfWidget(w)) {
            e->accept();
            return true;
          }
          return false;
        case QEvent::InputMethod:
          return HandleInputMethod(w, static_cast<QInputMethodEvent*>(e));
        case QEvent::ContextMenu: {
          TWinControl* ctl = gui_glue::ControlOfWidget(w);
          if (!ctl) return false;
          auto* ce = static_cast<QContextMenuEvent*>(e);
          if (ce->reason() == QContextMenuEvent::Keyboard) {
            HWND h = KeyTarget(ctl);
            SendMessage(h, WM_CONTEXTMENU, h, MakeLParam(-1, -1));
          }
          return true;
        }
        case QEvent::FocusIn: {
          TWinControl* ctl = gui_glue::ControlOfWidget(w);
          if (ctl && !gui_glue::SettingQtFocus() && GetFocus() != ctl->Handle() && ctl->CanFocus())
            ::SetFocus(ctl->Handle());
          return false;
        }
        case QEvent::Leave:
          if (w->isWindow() && gui_glue::ControlOfWidget(w)) {
            TControl* old = gMouseControl;
            gMouseControl = nullptr;
            if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
          }
          return false;
        default:
          return false;
      }
    } catch (...) {
      gui_glue::HandleCurrentException(nullptr);
      return true;
    }
  }
};

}  // namespace

namespace gui_glue {

void InstallInputFilter() {
  static TInputFilter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new TInputFilter;
  qApp->installEventFilter(filter);
}

}  // namespace gui_glue
