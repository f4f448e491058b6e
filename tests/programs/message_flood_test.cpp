// The programs' passes keep running while another thread floods their window
// with WM_USER messages, and every message comes through the user queue.
#include <gtest/gtest.h>

#include <atomic>
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

constexpr std::uint32_t kBursts = 20;      // the flood comes in bursts, one pass at least apart
constexpr std::uint32_t kBurst = 2'000;    // messages posted per burst
constexpr std::uint32_t kPosted = kBursts * kBurst;  // messages posted to the window's queue
constexpr std::uint32_t kSendEvery = 20;   // one message is also sent after every 20 posted
constexpr std::uint32_t kSent = kPosted / kSendEvery;  // messages sent, each waiting for the owner

// Posts and sends WM_USER messages from a second thread in bursts; after each
// burst it waits until the program has finished another pass.
class Flood {
 public:
  Flood(plat::HWND window, const std::atomic<int>& passes)
      : thread_([this, window, &passes] {
          for (std::uint32_t i = 0; i < kPosted; ++i) {
            plat::PostMessageA(window, plat::WM_USER, i, 0);
            if (i % kSendEvery == 0) plat::SendMessageA(window, plat::WM_USER, i, 1);
            if ((i + 1) % kBurst == 0) passes.wait(passes.load());
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
  std::atomic<int> passes = 0;
  {
    Flood flood(display::state._HW, passes);
    while (!flood.done()) {
      engine.pass(frontEnd);
      ++passes;
      passes.notify_all();
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

  EXPECT_GT(runThroughFlood(engine, frontEnd), static_cast<int>(kBursts));
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

  EXPECT_GT(runThroughFlood(engine, frontEnd), static_cast<int>(kBursts));
  EXPECT_EQ(testing::readSurfaceText(610, 400, 20, display::BLACK), "size   :600");
}

}  // namespace
}  // namespace morvane::windowed
