// The pixel buffer and front end of morvane_display2 on the headless backend.
#include <gtest/gtest.h>

#include <cstdint>

#include "display.h"
#include "engine.h"
#include "buffer_front_end.h"
#include "headless/headless.h"
#include "pixel_buffer.h"
#include "surface_text.h"

namespace morvane::windowed {
namespace {

constexpr Colour kPureRed = 0x0000FF;

// A window opened as morvane_display2 opens it (or smaller, as a window manager
// may make it), with the buffer set up right after.
class BufferTest : public ::testing::Test {
 protected:
  void open(std::uint32_t w, std::uint32_t h) {
    plat::headless::reset();
    display::CREATEWIN(w, h);
    buffer_.INITBMI();
    buffer_.INITSCR();
    buffer_.INITBUFFB();
  }

  // The three bytes (blue, green, red) stored at `offset`.
  std::array<std::uint8_t, 3> bytesAt(std::size_t offset) const {
    const auto& b = buffer_.BUFFB();
    return {b[offset], b[offset + 1], b[offset + 2]};
  }

  // Every world cell [x, y] (1..GRO) set to `colour`.
  void fillWorld(Colour colour, int GRO) {
    for (int x = 1; x <= GRO; ++x) {
      for (int y = 1; y <= GRO; ++y) C_(x, y) = colour;
    }
  }

  PixelBuffer buffer_;  // the buffer under test
  Grid<Colour> C_;      // the colour grid the front end is given
};

TEST_F(BufferTest, DescribesABottomUp24BitPictureOfTheClientArea) {
  open(800, 600);
  EXPECT_EQ(buffer_.W(), 800u);
  EXPECT_EQ(buffer_.H(), 600u);
  EXPECT_EQ(buffer_.BUFFLEN(), 1'920'000u);
  EXPECT_EQ(buffer_.BUFFB().size(), 1'920'000u);
  const plat::BITMAPINFOHEADER& h = buffer_.BMI().bmiHeader;
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 800);
  EXPECT_EQ(h.biHeight, 600);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, plat::BI_RGB);
  EXPECT_EQ(h.biSizeImage, 0u);
  ASSERT_NE(buffer_.SS(), nullptr);
  EXPECT_EQ(buffer_.SS()->WIDTH, 800u);
  EXPECT_EQ(buffer_.SS()->HEIGHT, 600u);
  EXPECT_EQ(buffer_.SS()->COLOR, display::BLACK);
}

TEST_F(BufferTest, PixelsLandAtTheirBottomUpOffsetsInBlueGreenRedOrder) {
  open(800, 600);
  struct Case {
    std::uint32_t x, y;
    Colour c;
    std::size_t offset;
    std::array<std::uint8_t, 3> bgr;
  };
  const Case cases[] = {
      {0, 0, TrueColours::CN, 1'437'600, {0, 128, 0}},  // cell [1, 1]: top-left, last row in memory
      {599, 599, kPureRed, 1797, {0, 0, 255}},          // cell [600, 600]: first row in memory
      {799, 0, 0xFF0000, 1'437'600 + 2397, {255, 0, 0}},
      {5, 300, 0x123456, 2400 * 299 + 15, {0x12, 0x34, 0x56}},
  };
  for (const Case& c : cases) {
    buffer_.SETBUFF(c.x, c.y, c.c);
    EXPECT_EQ(bytesAt(c.offset), c.bgr) << c.x << "," << c.y;
  }
  buffer_.SETBUFF(0, 0, 0);  // a dead cell
  EXPECT_EQ(bytesAt(1'437'600), (std::array<std::uint8_t, 3>{0, 0, 0}));
}

TEST(PixelBufferStride, RowsArePaddedToFourBytes) {
  const std::uint32_t widths[] = {1, 2, 3, 4, 5, 800};
  const std::uint32_t strides[] = {4, 8, 12, 12, 16, 2400};
  for (std::size_t i = 0; i < std::size(widths); ++i) {
    EXPECT_EQ(PixelBuffer::rowStride(widths[i]), strides[i]) << "width " << widths[i];
  }
}

TEST_F(BufferTest, PaddedRowsOfANarrowPictureDoNotOverlap) {
  open(5, 3);  // stride 16: 15 bytes of pixels and one filler byte per row
  ASSERT_EQ(buffer_.W(), 5u);
  ASSERT_EQ(buffer_.H(), 3u);
  buffer_.SETBUFF(4, 2, 0x030201);  // bottom row: first in memory, last pixel
  buffer_.SETBUFF(0, 1, 0x060504);  // middle row
  EXPECT_EQ(bytesAt(12), (std::array<std::uint8_t, 3>{3, 2, 1}));
  EXPECT_EQ(bytesAt(16), (std::array<std::uint8_t, 3>{6, 5, 4}));
  EXPECT_EQ(buffer_.BUFFB()[15], 0);
}

using BufferDeathTest = BufferTest;

TEST_F(BufferDeathTest, APixelOutsideThePictureIsARangeError) {
  open(800, 600);
  EXPECT_EXIT(buffer_.SETBUFF(0, 600, TrueColours::CN), ::testing::ExitedWithCode(201),
              "Runtime error 201");
  EXPECT_EXIT(buffer_.SETBUFF(0, 0xFFFFFFFF, TrueColours::CN), ::testing::ExitedWithCode(201),
              "Runtime error 201");
  EXPECT_EXIT(buffer_.SETBUFF(800, 0, TrueColours::CN), ::testing::ExitedWithCode(201),
              "Runtime error 201");
}

TEST_F(BufferTest, DeadCellsShowBlackAndPureRedShowsRed) {
  open(800, 600);
  BufferFrontEnd frontEnd(600, buffer_);
  fillWorld(TrueColours::CN, 600);
  C_(3, 3) = kPureRed;
  frontEnd.display(C_, 600);
  EXPECT_EQ(display::GETPIXEL(4, 4), TrueColours::CN);
  EXPECT_EQ(display::GETPIXEL(2, 2), kPureRed);

  C_(5, 5) = 0;  // dies: its black buffer pixel is left out, the bar blackens it
  frontEnd.display(C_, 600);
  EXPECT_EQ(display::GETPIXEL(4, 4), display::BLACK);
  EXPECT_EQ(display::GETPIXEL(5, 5), TrueColours::CN);
  EXPECT_EQ(display::GETPIXEL(599, 599), TrueColours::CN);
}

TEST_F(BufferTest, WorldNeverReachesTheBufferRightOfItNorThePanel) {
  open(800, 600);
  BufferFrontEnd frontEnd(600, buffer_);
  for (int K = 10; K >= 1; --K) frontEnd.panelLine(K, K == 10 ? "size   :600" : "life   :1234");
  for (int x = -4; x <= 700; ++x) {  // every cell live, the margin and beyond too
    for (int y = -4; y <= 700; ++y) C_(x, y) = TrueColours::CN;
  }
  frontEnd.display(C_, 600);
  frontEnd.display(C_, 600);

  const auto& b = buffer_.BUFFB();
  for (std::size_t row = 0; row < 600; ++row) {
    for (std::size_t i = 600 * 3; i < 2400; ++i) {
      ASSERT_EQ(b[row * 2400 + i], 0) << "row " << row << " byte " << i;
    }
  }
  for (std::size_t i = 600 * 2400; i < b.size(); ++i) ASSERT_EQ(b[i], 0) << "reserve byte " << i;
  EXPECT_EQ(testing::readSurfaceText(610, 400, 20, display::BLACK), "size   :600");
  EXPECT_EQ(testing::readSurfaceText(610, 580, 20, display::BLACK), "life   :1234");
  for (std::uint32_t x = 600; x < 610; ++x) EXPECT_EQ(display::GETPIXEL(x, 300), display::BLACK);
  EXPECT_EQ(display::GETPIXEL(599, 0), TrueColours::CN);
}

// Whether the main surface's top-left square shows cells [1..GRO, 1..GRO] of C.
::testing::AssertionResult squareShows(const Grid<Colour>& C, int GRO) {
  for (int x = 1; x <= GRO; ++x) {
    for (int y = 1; y <= GRO; ++y) {
      if (display::GETPIXEL(x - 1, y - 1) != C(x, y)) {
        return ::testing::AssertionFailure() << "pixel of [" << x << ", " << y << "]";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST_F(BufferTest, ARunningWorldDrawnByItsChangedBandsShowsEveryGeneration) {
  open(800, 600);
  BufferFrontEnd frontEnd(600, buffer_);
  Engine<TrueColours> engine(kMorvaneDisplay2);
  engine.start();
  for (int n = 0; n < 16; ++n) {
    engine.pass(frontEnd);
    ASSERT_TRUE(squareShows(engine.C, 600)) << "after pass " << n + 1;
  }
  // What FRESHWIN showed is what the main surface holds.
  const std::vector<plat::COLORREF> shown = plat::headless::windowPixels(display::state._HW);
  ASSERT_EQ(shown.size(), 800u * 600u);
  for (std::uint32_t y = 0; y < 600; y += 7) {
    for (std::uint32_t x = 0; x < 600; ++x) ASSERT_EQ(shown[y * 800 + x], display::GETPIXEL(x, y));
  }
}

TEST_F(BufferTest, ANewMainSurfaceGetsTheWholeSquareThoughNoBandChanged) {
  open(800, 600);
  BufferFrontEnd frontEnd(600, buffer_);
  fillWorld(TrueColours::CN, 600);
  frontEnd.displayChanged(C_, 600, ColourChanges{});  // a first phase draws everything
  plat::headless::resize(display::state._HW, 700, 500);
  frontEnd.endOfPass();  // the window library builds a new, blank main surface
  frontEnd.displayChanged(C_, 600, ColourChanges{});
  EXPECT_EQ(display::GETPIXEL(0, 0), TrueColours::CN);
  EXPECT_EQ(display::GETPIXEL(599, 499), TrueColours::CN);
}

TEST_F(BufferTest, ASmallerClientAreaShowsWhatFits) {
  open(500, 400);  // the window manager gave less than the 600 rows of the world
  BufferFrontEnd frontEnd(600, buffer_);
  fillWorld(TrueColours::CN, 600);
  frontEnd.display(C_, 600);
  EXPECT_EQ(display::GETPIXEL(0, 0), TrueColours::CN);
  EXPECT_EQ(display::GETPIXEL(499, 399), TrueColours::CN);
  EXPECT_EQ(buffer_.BUFFLEN(), 500u * 400u * 4u);
}

TEST_F(BufferTest, AResizedWindowKeepsTheStartUpPictureAndShowsWhatFits) {
  open(800, 600);
  BufferFrontEnd frontEnd(600, buffer_);
  fillWorld(TrueColours::CN, 600);
  plat::headless::resize(display::state._HW, 300, 200);
  frontEnd.endOfPass();
  frontEnd.display(C_, 600);
  frontEnd.endOfPass();
  EXPECT_EQ(buffer_.W(), 800u);
  EXPECT_EQ(display::GETWIDTH(), 300u);
  const std::vector<plat::COLORREF> shown = plat::headless::windowPixels(display::state._HW);
  ASSERT_EQ(shown.size(), 300u * 200u);
  EXPECT_EQ(shown.back(), TrueColours::CN);
}

}  // namespace
}  // namespace morvane::windowed
