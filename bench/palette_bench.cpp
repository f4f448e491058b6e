// The display phase of `morvane`: the palette front end reading back and
// rewriting a 200 by 200 world on the palette facility, beside the same front
// end on a plain single-threaded pixel array.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include "engine.h"
#include "fonts/fonts.h"
#include "headless/headless.h"
#include "palette_front_end.h"
#include "palette_screen.h"

namespace morvane {
namespace {

constexpr std::int16_t kGro = 200;

// The reference: palette indices in a plain row-major array, no window, no thread.
class PlainScreen {
 public:
  PlainScreen(int width, int height) : width_(width), height_(height), pixels_(width * height) {}

  std::int16_t readPixel(std::int16_t x, std::int16_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return palette::kLowestIndex[pixels_[y * width_ + x]];
  }
  void writePixel(std::int16_t x, std::int16_t y, std::int16_t colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[y * width_ + x] = static_cast<std::uint8_t>(colour);
    }
  }
  int syncColumn(std::int16_t x, std::int16_t y, const std::int16_t* colours, int count) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
      const auto at = static_cast<std::int16_t>(y + i);
      if (readPixel(x, at) == colours[i]) continue;
      writePixel(x, at, colours[i]);
      ++written;
    }
    return written;
  }
  void bar(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y) {
      for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x) {
        writePixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), 255);
      }
    }
  }
  void textAt(std::int16_t x, std::int16_t y, std::string_view text) {
    if (x < 0 || y < 0) return;
    const plat::fonts::BitmapFont& font = plat::fonts::vga8();
    for (std::size_t i = 0; i < text.size(); ++i) {
      for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 8; ++col) {
          if (font.pixel(static_cast<unsigned char>(text[i]), col, row)) {
            writePixel(static_cast<std::int16_t>(x + 8 * static_cast<int>(i) + col),
                       static_cast<std::int16_t>(y + row), 15);
          }
        }
      }
    }
  }

 private:
  int width_;                         // pixels across
  int height_;                        // pixels down
  std::vector<std::uint8_t> pixels_;  // palette index per pixel, row by row
};

// Two colour grids that differ in about one cell in twenty, as two shown generations do.
struct Generations {
  Grid<std::int16_t> grids[2];
  Generations() {
    std::mt19937 random(7);
    const std::int16_t colours[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 4, 14};
    for (int x = 1; x <= kGro; ++x) {
      for (int y = 1; y <= kGro; ++y) {
        const std::int16_t c = colours[random() % 13];
        grids[0](x, y) = c;
        grids[1](x, y) = random() % 20 == 0 ? colours[random() % 13] : c;
      }
    }
  }
};

template <class Screen>
void displayPhases(benchmark::State& state, Screen& screen) {
  static const Generations generations;
  PaletteFrontEnd<Screen> frontEnd(screen, kGro);
  int which = 0;
  for (auto _ : state) {
    frontEnd.display(generations.grids[which], kGro);
    which ^= 1;
  }
  state.SetItemsProcessed(state.iterations() * kGro * kGro);  // pixels read back
}

// Whole passes of morvane's run loop (engine, display and panel phases) on `screen`.
template <class Screen>
void passes(benchmark::State& state, Screen& screen) {
  PaletteFrontEnd<Screen> frontEnd(screen, kMorvane.GRO);
  Engine<PaletteColours> engine(kMorvane);
  engine.start();
  for (auto _ : state) engine.pass(frontEnd);
  state.SetItemsProcessed(state.iterations());  // passes
}

// The facility on the default 1280 by 1024 headless screen, served by its own thread.
class OpenedScreen {
 public:
  OpenedScreen() {
    plat::headless::reset();
    std::int16_t driver = palette::kDetect, mode = 0;
    screen.open(driver, mode, "");
  }
  palette::PaletteScreen screen;  // the facility under measure
};

void BM_DisplayPhasePaletteScreen(benchmark::State& state) {
  OpenedScreen opened;
  displayPhases(state, opened.screen);
}
BENCHMARK(BM_DisplayPhasePaletteScreen);

void BM_DisplayPhasePlainReference(benchmark::State& state) {
  PlainScreen screen(1280, 1024);
  displayPhases(state, screen);
}
BENCHMARK(BM_DisplayPhasePlainReference);

void BM_PassPaletteScreen(benchmark::State& state) {
  OpenedScreen opened;
  passes(state, opened.screen);
}
BENCHMARK(BM_PassPaletteScreen);

void BM_PassPlainReference(benchmark::State& state) {
  PlainScreen screen(1280, 1024);
  passes(state, screen);
}
BENCHMARK(BM_PassPlainReference);

}  // namespace
}  // namespace morvane
