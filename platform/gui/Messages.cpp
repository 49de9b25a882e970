// The window-handle table, the posted-message queue, window timers, the key state, beeps and
// the text messages' helpers.
#include "gui/Messages.h"

#include "gui/MessageHooks.h"
#include "gui/QtGlue_p.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>
#include <QtCore/QEventLoop>
#include <QtCore/QObject>
#include <QtCore/QTimerEvent>

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>
#include <vector>

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

// A queued message with what the queue keeps beside it: the characters a translated key
// produces (TranslateMessage posts them) and a number that tells the input it came from.
struct TQueued {
  TMsg Msg;
  std::uint64_t Seq = 0;
};

std::deque<TQueued> gQueue;
inline std::deque<TQueued>& Queue() { return gQueue; }
// What each key typed on the keyboard that waits types, by its number (few: kept apart so
// the queue stays small). A key posted by the program has no entry.
struct TTypedChars {
  std::uint64_t Seq;
  std::u32string Chars;
};
std::vector<TTypedChars> gTyped;

std::vector<TTypedChars>::iterator FindTyped(std::uint64_t Seq) {
  return std::find_if(gTyped.begin(), gTyped.end(), [Seq](const TTypedChars& t) { return t.Seq == Seq; });
}

void ForgetTyped(std::uint64_t Seq) {
  auto it = FindTyped(Seq);
  if (it != gTyped.end()) gTyped.erase(it);
}
std::uint64_t gNextSeq = 1;
std::uint64_t gPostCount = 0;   // grows with every message queued (WaitMessage waits for it)
std::uint64_t gSeenPosts = 0;   // gPostCount when a reader last looked into the queue
int gWaiting = 0;               // GetMessage or WaitMessage waits in Qt's loop for input
// A WM_QUIT taken out by a nested loop stays owed to the application's loop, which ends.
bool gQuitOwed = false;
WPARAM gQuitCode = 0;

// The last key taken from the queue with the characters it produces.
struct TTakenKey {
  TMsg Msg;
  std::u32string Chars;
  bool Typed = false;
};
TTakenKey gTakenKey;

DWORD gMessageTime = 0;
TPoint gMessagePos;

std::array<Byte, 256> gKeyState{};
std::function<void(UINT)> gBeepHook;

void Push(const TMsg& Msg);

const QEvent::Type kPumpEvent = static_cast<QEvent::Type>(QEvent::User + 0x4B1);

// Drains the queue from the Qt loop and owns the window timers.
class TQueuePump : public QObject {
public:
  bool Pending = false;

  struct TTimerRec {
    HWND Handle;
    UINT_PTR Id;
    TIMERPROC Proc;
    UINT Elapse;  // as it runs, after the floor
  };
  std::map<int, TTimerRec> Timers;  // Qt timer id -> window timer

  bool event(QEvent* e) override {
    if (e->type() == kPumpEvent) {
      Pending = false;
      // A loop waiting in GetMessage or WaitMessage takes the messages itself; the pump is
      // asked for again when it stops waiting.
      if (gWaiting == 0) gui_glue::DrainQueue();
      return true;
    }
    return QObject::event(e);
  }

protected:
  void timerEvent(QTimerEvent* e) override {
    auto it = Timers.find(e->timerId());
    if (it == Timers.end()) return;
    const TTimerRec t = it->second;
    assert(t.Handle == 0 || IsWindow(t.Handle));  // a window's timers go with it
    // One WM_TIMER per timer waits in the queue at a time, as the platform coalesces them.
    for (const TQueued& q : Queue())
      if (q.Msg.message == WM_TIMER && q.Msg.hwnd == t.Handle && q.Msg.wParam == t.Id) return;
    TMsg m;
    m.hwnd = t.Handle;
    m.message = WM_TIMER;
    m.wParam = t.Id;
    m.lParam = reinterpret_cast<LPARAM>(t.Proc);
    m.time = GetTickCount();
    m.pt = gui_glue::CursorPos();
    Push(m);
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

std::uint64_t PushAt(std::deque<TQueued>::iterator Where, TQueued Q) {
  assert(Where >= gQueue.begin() && Where <= gQueue.end());
  std::uint64_t seq = gNextSeq++;
  Q.Seq = seq;
  if (Where == Queue().end()) Queue().push_back(Q);
  else Queue().insert(Where, Q);
  ++gPostCount;
  gui_glue::RequestPump();
  return seq;
}

void Push(const TMsg& Msg) {
  gQueue.push_back(TQueued{Msg, gNextSeq++});
  ++gPostCount;
  gui_glue::RequestPump();
}

// WM_PAINT and then WM_TIMER come only when no other matching message waits, as the
// platform generates them.
int Rank(UINT Message) { return Message == WM_TIMER ? 2 : Message == WM_PAINT ? 1 : 0; }

std::deque<TQueued>::iterator FindNext(HWND h, UINT lo, UINT hi) {
  auto& q = Queue();
  auto best = q.end();
  for (auto it = q.begin(); it != q.end(); ++it) {
    if (!Matches(it->Msg, h, lo, hi)) continue;
    int r = Rank(it->Msg.message);
    if (r == 0) return it;
    if (best == q.end() || r < Rank(best->Msg.message)) best = it;
  }
  return best;
}

bool IsKeyDown(UINT Message) { return Message == WM_KEYDOWN || Message == WM_SYSKEYDOWN; }

// Notes a message a reader got: its time and place, and for a key what it types.
// A key taken out of the queue hands its characters over.
void NoteRead(const TQueued& Q, bool Taken) {
  gMessageTime = Q.Msg.time;
  gMessagePos = Q.Msg.pt;
  if (!IsKeyDown(Q.Msg.message)) return;
  auto c = FindTyped(Q.Seq);
  gTakenKey.Msg = Q.Msg;
  gTakenKey.Typed = c != gTyped.end();
  if (!gTakenKey.Typed) {
    gTakenKey.Chars.clear();
  } else if (Taken) {
    gTakenKey.Chars = std::move(c->Chars);
    gTyped.erase(c);
  } else {
    gTakenKey.Chars = c->Chars;
  }
}

// Takes a message out of the queue into Out (Seq: its number).
void Take(std::deque<TQueued>::iterator It, TMsg& Out, std::uint64_t* Seq = nullptr) {
  assert(It != gQueue.end());
  const TQueued& q = *It;
  Out = q.Msg;
  if (Seq) *Seq = q.Seq;
  NoteRead(q, true);
  if (It == gQueue.begin()) gQueue.pop_front();
  else gQueue.erase(It);
  if (Out.message != WM_QUIT) ApplyQueuedMessageHooks(Out);
}

// A WM_QUIT taken by a nested loop: the application's loop still has to see it.
void OweQuit(WPARAM Code) {
  // Posting coalesces quits: the one taken was the only one.
  assert(std::none_of(gQueue.begin(), gQueue.end(), [](const TQueued& q) { return q.Msg.message == WM_QUIT; }));
  gQuitOwed = true;
  gQuitCode = Code;
  gui_glue::RequestPump();
}

TMsg QuitMessage() {
  TMsg m;
  m.message = WM_QUIT;
  m.wParam = gQuitCode;
  m.time = GetTickCount();
  return m;
}

// Waits in Qt's loop until a message is queued or a WM_QUIT is owed. Input translated
// meanwhile is only queued: the waiting loop takes it.
void WaitForPost() {
  if (!QCoreApplication::instance()) return;
  std::uint64_t start = gPostCount;
  struct TWaitScope {
    TWaitScope() { ++gWaiting; }
    ~TWaitScope() {
      assert(gWaiting > 0);
      --gWaiting;
      if (!Queue().empty() || gQuitOwed) gui_glue::RequestPump();
    }
  } scope;
  while (gPostCount == start && !gQuitOwed) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The characters a posted key types: letters by the Shift and Caps Lock state, digits,
// and the keys that type a control character.
std::u32string CharsOfKey(WPARAM VirtKey) {
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, caps = GetKeyState(VK_CAPITAL) & 1;
  if (VirtKey >= 'A' && VirtKey <= 'Z') {
    if (ctrl) return std::u32string(1, static_cast<char32_t>(VirtKey - 'A' + 1));
    return std::u32string(1, static_cast<char32_t>(shift != caps ? VirtKey : VirtKey + 32));
  }
  if (ctrl) return {};
  if (VirtKey >= '0' && VirtKey <= '9' && !shift) return std::u32string(1, static_cast<char32_t>(VirtKey));
  if (VirtKey >= VK_NUMPAD0 && VirtKey <= VK_NUMPAD9)
    return std::u32string(1, static_cast<char32_t>('0' + (VirtKey - VK_NUMPAD0)));
  struct TKeyChar {
    WPARAM Key;
    char32_t Char;
  };
  static const TKeyChar table[] = {{VK_SPACE, U' '}, {VK_RETURN, U'\r'}, {VK_TAB, U'\t'},
                                   {VK_BACK, U'\b'}, {VK_ESCAPE, 0x1B}};
  for (const auto& k : table)
    if (k.Key == VirtKey) return std::u32string(1, k.Char);
  return {};
}

bool SameMessage(const TMsg& a, const TMsg& b) {
  return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam &&
         a.time == b.time;
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
  for (auto it = q.begin(); it != q.end();) {
    if (it->Msg.hwnd != Handle) {
      ++it;
      continue;
    }
    ForgetTyped(it->Seq);
    it = q.erase(it);
  }
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

bool TakeMessage(TMsg& Msg, std::uint64_t* Seq) {
  gSeenPosts = gPostCount;
  if (!gQueue.empty() && Rank(gQueue.front().Msg.message) == 0 && !IsKeyDown(gQueue.front().Msg.message)) {
    // The common case: the first message goes, and it typed nothing.
    const TQueued& q = gQueue.front();
    Msg = q.Msg;
    if (Seq) *Seq = q.Seq;
    gMessageTime = Msg.time;
    gMessagePos = Msg.pt;
    gQueue.pop_front();
    if (Msg.message != WM_QUIT) ApplyQueuedMessageHooks(Msg);
    return true;
  }
  auto it = FindNext(0, 0, 0);
  // An owed WM_QUIT comes before timers and paints, after everything else.
  if (gQuitOwed && (it == Queue().end() || Rank(it->Msg.message) > 0)) {
    gQuitOwed = false;
    Msg = QuitMessage();
    if (Seq) *Seq = 0;
    return true;
  }
  if (it == Queue().end()) return false;
  Take(it, Msg, Seq);
  return true;
}

std::uint64_t PostInput(TMsg Msg, std::u32string Chars) {
  Msg.time = GetTickCount();
  std::uint64_t seq = PushAt(Queue().end(), TQueued{Msg});
  if (IsKeyDown(Msg.message)) gTyped.push_back({seq, std::move(Chars)});
  // Only keys that still wait keep what they type.
  assert(gTyped.size() <= gQueue.size());
  return seq;
}

bool IsQueued(std::uint64_t Seq) {
  for (const TQueued& q : Queue())
    if (q.Seq == Seq) return true;
  return false;
}

bool WaitingForInput() { return gWaiting > 0; }

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

std::vector<HWND> MessageWindows() {
  std::vector<HWND> handles;
  for (const auto& [h, entry] : Windows())
    if (!entry.Control) handles.push_back(h);
  std::sort(handles.begin(), handles.end());  // handles grow, so this is the order of making
  return handles;
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
  NotifySentMessageHooks(Handle, Msg, WParam, LParam);
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
  Push(m);
  return true;
}

BOOL PeekMessage(TMsg& Msg, HWND Handle, UINT Min, UINT Max, UINT RemoveFlags) {
  gSeenPosts = gPostCount;
  auto it = FindNext(Handle, Min, Max);
  if (it == Queue().end()) return false;
  if (!(RemoveFlags & PM_REMOVE)) {
    Msg = it->Msg;
    NoteRead(*it, false);
    return true;
  }
  Take(it, Msg);
  if (Msg.message == WM_QUIT) OweQuit(Msg.wParam);
  return true;
}

BOOL GetMessage(TMsg& Msg, HWND Handle, UINT Min, UINT Max) {
  for (;;) {
    gSeenPosts = gPostCount;
    auto it = FindNext(Handle, Min, Max);
    if (gQuitOwed && (it == Queue().end() || Rank(it->Msg.message) > 0)) {
      Msg = QuitMessage();
      return false;
    }
    if (it != Queue().end()) {
      Take(it, Msg);
      if (Msg.message != WM_QUIT) return true;
      OweQuit(Msg.wParam);
      return false;
    }
    if (!QCoreApplication::instance()) return -1;
    WaitForPost();
  }
}

void WaitMessage() {
  if (gPostCount == gSeenPosts && !gQuitOwed) WaitForPost();
  gSeenPosts = gPostCount;
}

BOOL TranslateMessage(const TMsg& Msg) {
  if (!IsKeyDown(Msg.message) || (Msg.hwnd != 0 && !IsWindow(Msg.hwnd))) return false;
  bool typed = gTakenKey.Typed && SameMessage(gTakenKey.Msg, Msg);
  std::u32string chars = typed ? std::move(gTakenKey.Chars) : CharsOfKey(Msg.wParam);
  gTakenKey.Typed = false;  // a key types once
  if (chars.empty()) return false;
  // The characters come before anything else that waits (a key-up among it), as the
  // platform's posted messages come before its input.
  TMsg m = Msg;
  m.message = Msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  std::size_t at = 0;
  for (char32_t c : chars) {
    m.wParam = c;
    PushAt(Queue().begin() + static_cast<std::ptrdiff_t>(at++), TQueued{m});
  }
  return true;
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
  if (Msg.hwnd == 0 || Msg.message == WM_NULL) return 0;
  // Delivered, not sent: the hooks on sent messages do not see posted ones.
  TMessage m;
  m.Msg = Msg.message;
  m.WParam = Msg.wParam;
  m.LParam = Msg.lParam;
  return gui_glue::DeliverToWindow(Msg.hwnd, m);
}

void PostQuitMessage(int ExitCode) {
  // One quit waits at a time: a nested loop that passes on the one it took changes nothing.
  if (gQuitOwed) {
    gQuitCode = static_cast<WPARAM>(ExitCode);
    return;
  }
  for (TQueued& q : Queue())
    if (q.Msg.message == WM_QUIT) {
      q.Msg.wParam = static_cast<WPARAM>(ExitCode);
      return;
    }
  gQuitCode = static_cast<WPARAM>(ExitCode);
  Push(QuitMessage());
}

DWORD GetMessageTime() { return gMessageTime; }
TPoint GetMessagePos() { return gMessagePos; }
int QueuedMessageCount() { return static_cast<int>(Queue().size()) + (gQuitOwed ? 1 : 0); }

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
  p->Timers[qtId] = {Handle, id, Proc, Elapse};
  return Handle == 0 ? id : (id == 0 ? 1 : id);
}

UINT TimerInterval(HWND Handle, UINT_PTR IDEvent) {
  TQueuePump* p = Pump();
  if (!p) return 0;
  for (const auto& [qtId, t] : p->Timers)
    if (t.Handle == Handle && t.Id == IDEvent) return t.Elapse;
  return 0;
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
        m = (m->Msg.message == WM_TIMER && m->Msg.hwnd == Handle && m->Msg.wParam == IDEvent) ? q.erase(m) : m + 1;
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

// Key state set by hand, for messages sent without a keyboard behind them.
void SetKeyDownState(int VirtKey, bool Down) {
  if (VirtKey <= 0 || VirtKey > 255) return;
  gui_glue::SetKeyDown(VirtKey, Down);
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

namespace {

// Copies the first characters of Text that the limits allow (and a NUL) into Buffer; the
// number of characters copied.
int CopyWholeChars(const String& Text, char* Buffer, std::size_t MaxChars, std::size_t MaxBytes) {
  std::size_t n = 0;
  int chars = 0;
  while (n < Text.size() && static_cast<std::size_t>(chars) < MaxChars) {
    std::size_t next = n + static_cast<std::size_t>(Utf8SeqLen(static_cast<unsigned char>(Text[n])));
    if (next > Text.size() || next > MaxBytes) break;
    n = next;
    ++chars;
  }
  std::memcpy(Buffer, Text.data(), n);
  Buffer[n] = '\0';
  return chars;
}

}  // namespace

void AnswerGetText(const String& Text, TMessage& Message) {
  auto* buf = reinterpret_cast<char*>(Message.LParam);
  std::size_t size = static_cast<std::size_t>(Message.WParam);
  if (!buf || size < 1) {
    Message.Result = 0;
    return;
  }
  Message.Result = CopyWholeChars(Text, buf, size - 1, (size - 1) * kMaxCharBytes);
}

void AnswerGetTextLength(const String& Text, TMessage& Message) { Message.Result = Length(Text); }

int CopyTextToBuffer(const String& Text, char* Buffer, int BufSize) {
  if (!Buffer || BufSize < 1) return 0;
  std::size_t room = static_cast<std::size_t>(BufSize) - 1;
  return CopyWholeChars(Text, Buffer, room, room);
}

String GetWindowText(HWND Handle) {
  LRESULT len = SendMessage(Handle, WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return String();
  String buf(static_cast<std::size_t>(len) * kMaxCharBytes + 1, '\0');
  LRESULT got = SendMessage(Handle, WM_GETTEXT, static_cast<WPARAM>(len) + 1, reinterpret_cast<LPARAM>(buf.data()));
  if (got <= 0) return String();
  buf.resize(std::strlen(buf.c_str()));
  return buf;
}

void SetWindowText(HWND Handle, const String& Text) {
  SendMessage(Handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}
