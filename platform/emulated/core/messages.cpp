// Per-thread message queues: posting, sending, taking and dispatching messages.
//
// A window belongs to the thread that created it. Posted messages wait in that
// thread's queue until it takes them with PeekMessageA. A message sent from
// another thread waits in the owner's `incoming` list; the owner runs the window
// procedure inside its next PeekMessageA, and the sender sleeps until then,
// handling messages sent to its own windows meanwhile (so two threads sending to
// each other do not deadlock). Destroying a window, or the end of its thread,
// releases every sender still waiting on it with the result 0.
#include <algorithm>
#include <chrono>

#include "core/state.h"

namespace morvane::plat {

using core::Incoming;
using core::ThreadQueue;
using core::Window;

namespace {

// Runs every incoming sent message and native event of the calling thread's queue.
void handleIncoming(ThreadQueue& q) {
  for (;;) {
    Incoming item;
    {
      std::lock_guard lock(q.mutex);
      if (q.incoming.empty()) return;
      item = std::move(q.incoming.front());
      q.incoming.pop_front();
    }
    core::finishIncoming(item, item.call());
  }
}

// Waits until `reply` is done, handling messages sent to the calling thread meanwhile.
LRESULT waitForReply(ThreadQueue& me, const core::Reply& reply) {
  for (;;) {
    handleIncoming(me);
    std::unique_lock lock(me.mutex);
    me.wake.wait(lock, [&] { return reply.done || !me.incoming.empty(); });
    if (reply.done) return reply.result;
  }
}

// TRUE when `m` passes PeekMessageA's window and range filters.
bool matches(const MSG& m, HWND hwnd, UINT min, UINT max) {
  if (hwnd != 0 && m.hwnd != hwnd) return false;
  return (min == 0 && max == 0) || (m.message >= min && m.message <= max);
}

// The last known pointer position.
POINT cachedCursor() {
  const core::Platform& p = core::platform();
  return POINT{p.cursorX.load(std::memory_order_relaxed), p.cursorY.load(std::memory_order_relaxed)};
}

// Appends `m` to `q` (at the front with `first`); false when the queue is closed.
bool enqueue(ThreadQueue& q, const MSG& m, bool first, const Window* w) {
  std::lock_guard lock(q.mutex);
  if (q.closed || (w && !w->alive.load())) return false;
  if (first) {
    q.posted.push_front(m);
  } else {
    q.posted.push_back(m);
  }
  q.wake.notify_all();
  return true;
}

}  // namespace

namespace core {

std::shared_ptr<Window> ownWindow(HWND hwnd) {
  std::shared_ptr<Window> w = platform().windows.share(hwnd);
  if (!w || w->ownerThread != std::this_thread::get_id()) return nullptr;
  return w;
}

LRESULT callProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return w.proc ? w.proc(w.hwnd, msg, wParam, lParam) : 0;
}

LRESULT deliver(HWND hwnd, std::function<LRESULT(Window&)> call, bool wait) {
  std::shared_ptr<Window> w = platform().windows.share(hwnd);
  if (!w || !w->alive.load()) return 0;
  if (w->ownerThread == std::this_thread::get_id()) return call(*w);
  Incoming item;
  item.hwnd = hwnd;
  item.call = [w, call = std::move(call)]() -> LRESULT { return w->alive.load() ? call(*w) : 0; };
  std::shared_ptr<ThreadQueue> me;
  if (wait) {
    me = currentQueue();
    item.reply = std::make_shared<Reply>();
    item.sender = me;
  }
  const std::shared_ptr<Reply> reply = item.reply;
  {
    std::lock_guard lock(w->owner->mutex);
    if (w->owner->closed || !w->alive.load()) return 0;
    w->owner->incoming.push_back(std::move(item));
    w->owner->wake.notify_all();
  }
  return wait ? waitForReply(*me, *reply) : 0;
}

void dropMessagesOf(Window& w) {
  std::deque<Incoming> dropped;
  {
    ThreadQueue& q = *w.owner;
    std::lock_guard lock(q.mutex);
    w.alive.store(false);
    std::erase_if(q.posted, [&](const MSG& m) { return m.hwnd == w.hwnd; });
    auto keep = std::stable_partition(q.incoming.begin(), q.incoming.end(),
                                      [&](const Incoming& i) { return i.hwnd != w.hwnd; });
    std::move(keep, q.incoming.end(), std::back_inserter(dropped));
    q.incoming.erase(keep, q.incoming.end());
  }
  for (Incoming& item : dropped) finishIncoming(item, 0);
}

}  // namespace core

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT min, UINT max, UINT removeFlags) {
  if (!msg) return kFalse;
  core::platform().driver.pumpEvents(core::coreEvents());
  std::shared_ptr<ThreadQueue> q = core::currentQueue();
  handleIncoming(*q);
  std::lock_guard lock(q->mutex);
  auto it = std::find_if(q->posted.begin(), q->posted.end(),
                         [&](const MSG& m) { return matches(m, hwnd, min, max); });
  if (it == q->posted.end()) return kFalse;
  *msg = *it;
  if (removeFlags & PM_REMOVE) q->posted.erase(it);
  return kTrue;
}

void WaitMessageTimeout(DWORD ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  std::shared_ptr<ThreadQueue> q = core::currentQueue();
  for (;;) {
    core::platform().driver.pumpEvents(core::coreEvents());
    std::unique_lock lock(q->mutex);
    if (!q->posted.empty() || !q->incoming.empty()) return;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    // Native events do not signal the queue: look at them again every few milliseconds.
    q->wake.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                               deadline - now, std::chrono::milliseconds(5)));
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)) return kFalse;
  const auto typed = static_cast<unsigned char>((msg->lParam >> 16) & 0xFF);
  if (msg->message == WM_KEYDOWN && typed != 0) {
    const MSG ch{msg->hwnd, WM_CHAR, typed, msg->lParam, core::messageTime(), cachedCursor()};
    enqueue(*core::currentQueue(), ch, true, nullptr);
  }
  return kTrue;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  std::shared_ptr<Window> w = core::ownWindow(msg->hwnd);
  return w ? core::callProc(*w, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const MSG m{hwnd, msg, wParam, lParam, core::messageTime(), cachedCursor()};
  if (hwnd == 0) return enqueue(*core::currentQueue(), m, false, nullptr) ? kTrue : kFalse;
  std::shared_ptr<Window> w = core::platform().windows.share(hwnd);
  if (!w) return kFalse;
  return enqueue(*w->owner, m, false, w.get()) ? kTrue : kFalse;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return core::deliver(
      hwnd, [=](Window& w) { return core::callProc(w, msg, wParam, lParam); }, true);
}

}  // namespace morvane::plat
