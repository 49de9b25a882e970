// The hook lists.
#include "gui/MessageHooks.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

template <class F> struct THookList {
  std::vector<std::pair<int, F>> Items;
  int Add(F Hook) {
    static int next = 0;
    Items.emplace_back(++next, std::move(Hook));
    return next;
  }
  void Remove(int Id) {
    Items.erase(std::remove_if(Items.begin(), Items.end(), [Id](const auto& p) { return p.first == Id; }), Items.end());
  }
  // A copy: a hook may add or remove hooks while it runs.
  std::vector<F> Snapshot() const {
    std::vector<F> r;
    for (const auto& p : Items) r.push_back(p.second);
    return r;
  }
};

THookList<TSentMessageHook>& Sent() {
  static THookList<TSentMessageHook> l;
  return l;
}
THookList<TQueuedMessageHook>& Queued() {
  static THookList<TQueuedMessageHook> l;
  return l;
}
THookList<TMouseClickHook>& Clicks() {
  static THookList<TMouseClickHook> l;
  return l;
}

bool IsClick(UINT Msg) {
  return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK || Msg == WM_NCLBUTTONDOWN || Msg == WM_NCLBUTTONDBLCLK;
}

}  // namespace

int AddSentMessageHook(TSentMessageHook Hook) { return Sent().Add(std::move(Hook)); }
void RemoveSentMessageHook(int Id) { Sent().Remove(Id); }
int AddQueuedMessageHook(TQueuedMessageHook Hook) { return Queued().Add(std::move(Hook)); }
void RemoveQueuedMessageHook(int Id) { Queued().Remove(Id); }
int AddMouseClickHook(TMouseClickHook Hook) { return Clicks().Add(std::move(Hook)); }
void RemoveMouseClickHook(int Id) { Clicks().Remove(Id); }

void NotifySentMessageHooks(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Sent().Items.empty()) return;
  for (const TSentMessageHook& h : Sent().Snapshot()) h(Window, Msg, WParam, LParam);
}

void ApplyQueuedMessageHooks(TMsg& Msg) {
  if (!Queued().Items.empty())
    for (const TQueuedMessageHook& h : Queued().Snapshot()) h(Msg);
  if (!Clicks().Items.empty() && IsClick(Msg.message))
    for (const TMouseClickHook& h : Clicks().Snapshot())
      if (!h(Msg.hwnd, Msg.message, Msg.pt)) {
        Msg.message = WM_NULL;  // the click is discarded
        return;
      }
}
