// The window-handle table, the posted-message queue, window timers and the key state.
#include "gui/Messages.h"
#include "gui/QtGlue_p.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QObject>
#include <QtCore/QTimerEvent>

#include <array>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>

namespace {

struct TWindowEntry {
  TWinControl* Control = nullptr;
  TWndMethod Method;
};

std::unordered_map<HWND, TWindowEntry>& Windows() {
  static std::unordered_map<HWND, TWindowEntry> table;
  return table;
}
HWND gNextHandle = 0x100;

std::deque<TMsg>& Queue() {
  static std::deque<TMsg> q;
  return q;
}
DWORD gMessageTime = 0;
TPoint gMessagePos;

std::array<Byte, 256> gKeyState{};
std::function<void(UINT)> gBeepHook;

const QEvent::Type kPumpEvent = static_cast<QEvent::Type>(QEvent::User + 0x4B1);

// Drains the queue from the Qt loop and owns the window timers.
class TQueuePump : public QObject {
public:
  bool Pending = false;

  struct TTimerRec {
    HWND Handle;
    UINT_PTR Id;
    TIMERPROC Proc;
  };
  std::map<int, TTimerRec> Timers;  // Qt timer id -> window timer

  bool event(QEvent* e) override {
    if (e->type() == kPumpEvent) {
      Pending = false;
      gui_glue::DrainQueue();
      return true;
    }
    return QObject::event(e);
  }

protected:
  void timerEvent(QTimerEvent* e) override {
    auto it = Timers.find(e->timerId());
    if (it == Timers.end()) return;
    const TTimerRec t = it->second;
    // One WM_TIMER per timer waits in the queue at a time, as the platform coalesces them.
    for (const TMsg& m : Queue())
      if (m.message == WM_TIMER && m.hwnd == t.Handle && m.wParam == t.Id) return;
    TMsg m;
    m.hwnd = t.Handle;
    m.message = WM_TIMER;
    m.wParam = t.Id;
    m.lParam = reinterpret_cast<LPARAM>(t.Proc);
    m.time = GetTickCount();
    m.pt = gui_glue::CursorPos();
    Queue().push_back(m);
    gui_glue::RequestPump();
  }
};

TQueuePump* Pump() {
  static TQueuePump* pump = nullptr;
  if (!pump && QCoreApplication::instance()) pump = new TQueuePump;
  return pump;
}

bool Matches(const TMsg& m, HWND h, UINT lo, UINT hi) {
  if (h == static_cast<HWND>(-1)) {
    if (m.hwnd != 0) return false;
  } else if (h != 0 && m.hwnd != h) {
    return false;
  }
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

}  // namespace

// ---------------------------------------------------------------- handles

namespace gui_glue {

HWND RegisterControlWindow(TWinControl* Control) {
  HWND h = gNextHandle++;
  Windows()[h].Control = Control;
  return h;
}

void UnregisterWindow(HWND Handle) {
  Windows().erase(Handle);
  auto& q = Queue();
  for (auto it = q.begin(); it != q.end();) it = it->hwnd == Handle ? q.erase(it) : it + 1;
  if (TQueuePump* p = Pump()) {
    for (auto it = p->Timers.begin(); it != p->Timers.end();) {
      if (it->second.Handle == Handle) {
        p->killTimer(it->first);
        it = p->Timers.erase(it);
      } else {
        ++it;
      }
    }
  }
}

void RequestPump() {
  TQueuePump* p = Pump();
  if (!p || p->Pending) return;
  p->Pending = true;
  QCoreApplication::postEvent(p, new QEvent(kPumpEvent));
}

bool TakeMessage(TMsg& Msg) {
  auto& q = Queue();
  if (q.empty()) return false;
  Msg = q.front();
  q.pop_front();
  gMessageTime = Msg.time;
  gMessagePos = Msg.pt;
  return true;
}

void NoteMessage(const TMsg& Msg) {
  gMessageTime = Msg.time;
  gMessagePos = Msg.pt;
}

LRESULT DeliverToWindow(HWND Handle, TMessage& Message) {
  auto it = Windows().find(Handle);
  if (it == Windows().end()) return 0;
  if (it->second.Control) {
    DeliverToControl(it->second.Control, Message);
    return Message.Result;
  }
  TWndMethod method = it->second.Method;  // the window may be freed while it runs
  try {
    if (method) method(Message);
  } catch (...) {
    HandleCurrentException(nullptr);
  }
  return Message.Result;
}

void SetKeyDown(int VirtKey, bool Down) {
  if (VirtKey <= 0 || VirtKey > 255) return;
  Byte& s = gKeyState[static_cast<std::size_t>(VirtKey)];
  if (Down) {
    if (!(s & 0x80)) s ^= 0x01;
    s |= 0x80;
  } else {
    s &= static_cast<Byte>(~0x80);
  }
}

}  // namespace gui_glue

TWinControl* FindControl(HWND Handle) {
  if (Handle == 0) return nullptr;
  auto it = Windows().find(Handle);
  return it == Windows().end() ? nullptr : it->second.Control;
}

bool IsWindow(HWND Handle) { return Handle != 0 && Windows().count(Handle) != 0; }

HWND AllocateHWnd(TWndMethod Method) {
  HWND h = gNextHandle++;
  Windows()[h].Method = std::move(Method);
  return h;
}

void DeallocateHWnd(HWND Handle) { gui_glue::UnregisterWindow(Handle); }

// ---------------------------------------------------------------- sending and posting

LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  return gui_glue::DeliverToWindow(Handle, m);
}

BOOL PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Handle != 0 && !IsWindow(Handle)) return false;
  TMsg m;
  m.hwnd = Handle;
  m.message = Msg;
  m.wParam = WParam;
  m.lParam = LParam;
  m.time = GetTickCount();
  m.pt = gui_glue::CursorPos();
  Queue().push_back(m);
  gui_glue::RequestPump();
  return true;
}

BOOL PeekMessage(TMsg& Msg, HWND Handle, UINT Min, UINT Max, UINT RemoveFlags) {
  auto& q = Queue();
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (!Matches(*it, Handle, Min, Max)) continue;
    Msg = *it;
    if (RemoveFlags & PM_REMOVE) {
      q.erase(it);
      gMessageTime = Msg.time;
      gMessagePos = Msg.pt;
    }
    return true;
  }
  return false;
}

LRESULT DispatchMessage(const TMsg& Msg) {
  if (Msg.message == WM_TIMER && Msg.lParam != 0) {
    auto proc = reinterpret_cast<TIMERPROC>(Msg.lParam);
    try {
      proc(Msg.hwnd, WM_TIMER, Msg.wParam, Msg.time);
    } catch (...) {
      gui_glue::HandleCurrentException(nullptr);
    }
    return 0;
  }
  if (Msg.hwnd == 0) return 0;
  return SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

void PostQuitMessage(int ExitCode) {
  TMsg m;
  m.message = WM_QUIT;
  m.wParam = static_cast<WPARAM>(ExitCode);
  m.time = GetTickCount();
  Queue().push_back(m);
  gui_glue::RequestPump();
}

DWORD GetMessageTime() { return gMessageTime; }
TPoint GetMessagePos() { return gMessagePos; }
int QueuedMessageCount() { return static_cast<int>(Queue().size()); }

// ---------------------------------------------------------------- timers

UINT_PTR SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse, TIMERPROC Proc) {
  TQueuePump* p = Pump();
  if (!p) return 0;
  if (Handle != 0 && !IsWindow(Handle)) return 0;
  // The platform never runs a timer faster than every 10 ms; intervals computed as 0 spin
  // otherwise.
  if (Elapse < 10) Elapse = 10;
  UINT_PTR id = IDEvent;
  bool found = false;
  for (auto it = p->Timers.begin(); it != p->Timers.end(); ++it) {
    if (it->second.Handle == Handle && it->second.Id == IDEvent && (Handle != 0 || IDEvent != 0)) {
      p->killTimer(it->first);
      p->Timers.erase(it);
      found = true;
      break;
    }
  }
  if (Handle == 0 && !found) {
    static UINT_PTR nextThreadTimer = 0x7F00;
    id = ++nextThreadTimer;
  }
  int qtId = p->startTimer(static_cast<int>(Elapse), Qt::PreciseTimer);
  if (qtId == 0) return 0;
  p->Timers[qtId] = {Handle, id, Proc};
  return Handle == 0 ? id : (id == 0 ? 1 : id);
}

BOOL KillTimer(HWND Handle, UINT_PTR IDEvent) {
  TQueuePump* p = Pump();
  if (!p) return false;
  for (auto it = p->Timers.begin(); it != p->Timers.end(); ++it) {
    if (it->second.Handle == Handle && it->second.Id == IDEvent) {
      p->killTimer(it->first);
      p->Timers.erase(it);
      // A tick already queued would run the handler of a stopped timer.
      auto& q = Queue();
      for (auto m = q.begin(); m != q.end();)
        m = (m->message == WM_TIMER && m->hwnd == Handle && m->wParam == IDEvent) ? q.erase(m) : m + 1;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- keys and beeps

short GetKeyState(int VirtKey) {
  if (VirtKey <= 0 || VirtKey > 255) return 0;
  Byte s = gKeyState[static_cast<std::size_t>(VirtKey)];
  short r = (s & 0x80) ? static_cast<short>(0xFF80) : 0;
  if (s & 0x01) r = static_cast<short>(r | 1);
  return r;
}

short GetAsyncKeyState(int VirtKey) {
  if (VirtKey <= 0 || VirtKey > 255) return 0;
  return (gKeyState[static_cast<std::size_t>(VirtKey)] & 0x80) ? static_cast<short>(0x8000) : 0;
}

void SetBeepHook(std::function<void(UINT)> Hook) { gBeepHook = std::move(Hook); }

void MessageBeep(UINT Type) {
  if (gBeepHook) {
    gBeepHook(Type);
    return;
  }
  gui_glue::SystemBeep();
}

void Beep() { MessageBeep(0xFFFFFFFF); }

// ---------------------------------------------------------------- text helpers

void AnswerGetText(const String& Text, TMessage& Message) {
  auto* buf = reinterpret_cast<char*>(Message.LParam);
  std::size_t size = static_cast<std::size_t>(Message.WParam);
  if (!buf || size < 1) {
    Message.Result = 0;
    return;
  }
  std::size_t n = std::min(Text.size(), size - 1);
  // Never split a character: step back over continuation bytes.
  if (n < Text.size())
    while (n > 0 && (static_cast<unsigned char>(Text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buf, Text.data(), n);
  buf[n] = '\0';
  Message.Result = static_cast<LRESULT>(n);
}

void AnswerGetTextLength(const String& Text, TMessage& Message) { Message.Result = static_cast<LRESULT>(Text.size()); }

String GetWindowText(HWND Handle) {
  LRESULT len = SendMessage(Handle, WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return String();
  String buf(static_cast<std::size_t>(len) + 1, '\0');
  LRESULT got = SendMessage(Handle, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  if (got < 0) got = 0;
  buf.resize(std::min<std::size_t>(static_cast<std::size_t>(got), std::strlen(buf.c_str())));
  return buf;
}

void SetWindowText(HWND Handle, const String& Text) {
  SendMessage(Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}
