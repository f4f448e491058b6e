// The programs' passes keep running while another thread floods their window
// with WM_USER messages, and every message comes through the user queue.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "display.h"
#include "engine.h"
#include "buffer_front_end.h"
#include "pixel_front_end.h"
#include "headless/headless.h"
#include "pixel_buffer.h"
#include "surface_text.h"

namespace morvane::windowed {
namespace {

constexpr std::uint32_t kPosted = 40'000;  // messages posted to the window's queue
constexpr std::uint32_t kSendEvery = 20;   // one message is also sent after every 20 posted
constexpr std::uint32_t kSent = kPosted / kSendEvery;  // messages sent, each waiting for the owner
constexpr std::uint32_t kBurst = 200;      // messages posted before the flood pauses 2 ms

// Posts and sends WM_USER messages from a second thread, in bursts spread over
// the passes of the program, until it has sent them all.
class Flood {
 public:
  explicit Flood(plat::HWND window)
      : thread_([this, window] {
          for (std::uint32_t i = 0; i < kPosted; ++i) {
            plat::PostMessageA(window, plat::WM_USER, i, 0);
            if (i % kSendEvery == 0) plat::SendMessageA(window, plat::WM_USER, i, 1);
            if (i % kBurst == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
          done_ = true;
        }) {}
  ~Flood() { thread_.join(); }

  // True once every message has been posted and sent.
  bool done() const { return done_; }

 private:
  std::atomic<bool> done_ = false;  // set by the flooding thread when it is through
  std::thread thread_;              // the flooding thread
};

// Every message went through the user queue and was read: kPosted + kSent entries were
// written after slot `firstSlot` (the ring runs 1..65536) and all of them were read.
void expectEveryMessageQueuedAndRead(std::uint32_t firstSlot) {
  const std::uint32_t next = (firstSlot - 1 + kPosted + kSent) % display::_MSUSRMAX + 1;
  EXPECT_EQ(display::state._MSUSRI, next);
  EXPECT_EQ(display::state._MSI, display::state._MSUSRI);
  EXPECT_FALSE(display::ISNEXTMSG());
}

// Runs passes while the flood lasts and a few after; returns the passes run and
// checks that every message came through.
template <class Engine, class FrontEnd>
int runThroughFlood(Engine& engine, FrontEnd& frontEnd) {
  const std::uint32_t firstSlot = display::state._MSUSRI;
  int passes = 0;
  {
    Flood flood(display::state._HW);
    while (!flood.done()) {
      engine.pass(frontEnd);
      ++passes;
    }
  }
  for (int i = 0; i < 4; ++i, ++passes) engine.pass(frontEnd);
  expectEveryMessageQueuedAndRead(firstSlot);
  return passes;
}

TEST(MessageFlood, PerPixelProgramRunsOnAndLosesNothing) {
  plat::headless::reset();
  display::CREATEWIN(500, 500);
  Engine<TrueColours> engine(kMorvaneDisplay);
  engine.start();
  PixelFrontEnd<> frontEnd(kMorvaneDisplay.GRO);

  EXPECT_GT(runThroughFlood(engine, frontEnd), 5);
  EXPECT_EQ(testing::readSurfaceText(210, 0, 20, display::BLACK), "size   :200");
}

TEST(MessageFlood, PixelBufferProgramRunsOnAndLosesNothing) {
  plat::headless::reset();
  display::CREATEWIN(800, 600);
  PixelBuffer buffer;
  buffer.INITBMI();
  buffer.INITSCR();
  buffer.INITBUFFB();
  Engine<TrueColours> engine(kMorvaneDisplay2);
  engine.start();
  BufferFrontEnd frontEnd(kMorvaneDisplay2.GRO, buffer);

  EXPECT_GT(runThroughFlood(engine, frontEnd), 5);
  EXPECT_EQ(testing::readSurfaceText(610, 400, 20, display::BLACK), "size   :600");
}

}  // namespace
}  // namespace morvane::windowed
