// The platform's process-wide state, the stock objects and the thread queues.
#include "core/state.h"

namespace morvane::plat::core {

namespace {

std::atomic<std::uint64_t> gEpochs{0};

std::unique_ptr<Platform>& holder() {
  static std::unique_ptr<Platform> instance = std::make_unique<Platform>(activeDriver());
  return instance;
}

// Closes a queue whose thread has ended: senders waiting on it are released.
void closeQueue(ThreadQueue& q) {
  std::deque<Incoming> pending;
  {
    std::lock_guard lock(q.mutex);
    q.closed = true;
    q.posted.clear();
    pending.swap(q.incoming);
  }
  for (Incoming& item : pending) finishIncoming(item, 0);
}

// The calling thread's queue, closed when the thread ends.
struct QueueHolder {
  std::uint64_t epoch = 0;             // the platform instance the queue belongs to
  std::shared_ptr<ThreadQueue> queue;  // the queue
  ~QueueHolder() {
    if (queue) closeQueue(*queue);
  }
};
thread_local QueueHolder tQueue;

template <class T>
HANDLE addStock(HandleTable<T>& table, std::shared_ptr<T> object) {
  object->stock = true;
  return table.add(std::move(object));
}

std::shared_ptr<Brush> makeBrush(bool paints, std::uint32_t pixel) {
  auto b = std::make_shared<Brush>();
  b->paints = paints;
  b->pixel = pixel;
  return b;
}

std::shared_ptr<Font> makeFont(const fonts::BitmapFont& face) {
  auto f = std::make_shared<Font>();
  f->face = &face;
  return f;
}

}  // namespace

Platform::Platform(Driver& d)
    : driver(d),
      whiteBrush(addStock(brushes, makeBrush(true, 0xFFFFFF))),
      blackBrush(addStock(brushes, makeBrush(true, 0))),
      nullBrush(addStock(brushes, makeBrush(false, 0))),
      defaultFont(addStock(fonts, makeFont(fonts::vga16()))),
      start(d.clockNanoseconds()),
      epoch(++gEpochs) {
  auto one = std::make_shared<Bitmap>();
  one->surface.resize(1, 1, 0);
  defaultBitmap = addStock(bitmaps, std::move(one));
}

Platform::~Platform() {
  for (HWND h : windows.handles()) driver.destroyWindow(h);
}

void finishIncoming(Incoming& item, LRESULT result) {
  if (!item.reply || !item.sender) return;
  std::lock_guard lock(item.sender->mutex);
  item.reply->result = result;
  item.reply->done = true;
  item.sender->wake.notify_all();
}

Platform& platform() { return *holder(); }

void resetPlatform() {
  holder().reset();
  holder() = std::make_unique<Platform>(activeDriver());
}

std::shared_ptr<ThreadQueue> currentQueue() {
  const std::uint64_t epoch = platform().epoch;
  if (!tQueue.queue || tQueue.epoch != epoch) {
    if (tQueue.queue) closeQueue(*tQueue.queue);
    tQueue.queue = std::make_shared<ThreadQueue>();
    tQueue.epoch = epoch;
  }
  return tQueue.queue;
}

HCURSOR arrowCursor() { return makeHandle(Kind::kCursor, 0, 1); }

DWORD messageTime() {
  Platform& p = platform();
  return static_cast<DWORD>((p.driver.clockNanoseconds() - p.start) / 1'000'000);
}

}  // namespace morvane::plat::core
