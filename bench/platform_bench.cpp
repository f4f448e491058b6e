// The platform core's hot paths beside plain loops over an array: per-pixel
// reads and writes through a memory context (the per-pixel front end does
// 40,000 of each per display phase) and the colour-keyed copy of a whole
// 800x600 picture (one per presented frame).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "headless/headless.h"
#include "platform.h"

namespace {

using namespace morvane::plat;

constexpr int kSide = 200;
constexpr int kFrameW = 800;
constexpr int kFrameH = 600;

// A memory context with a fresh w by h bitmap.
HDC canvas(int w, int h) {
  const HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, CreateCompatibleBitmap(dc, w, h));
  return dc;
}

void BM_PixelsThroughContext(benchmark::State& state) {
  headless::reset();
  const HDC dc = canvas(kSide, kSide);
  COLORREF colour = 1;
  for (auto _ : state) {
    for (int x = 1; x < kSide; ++x) {
      for (int y = 1; y < kSide; ++y) {
        if (GetPixel(dc, x, y) != colour) SetPixel(dc, x, y, colour);
      }
    }
    colour ^= 0x00FF00FF;
  }
  state.SetItemsProcessed(state.iterations() * (kSide - 1) * (kSide - 1));
}
BENCHMARK(BM_PixelsThroughContext);

void BM_PixelsReferenceArray(benchmark::State& state) {
  std::vector<std::uint32_t> pixels(kSide * kSide, 0);
  std::uint32_t colour = 1;
  for (auto _ : state) {
    for (int x = 1; x < kSide; ++x) {
      for (int y = 1; y < kSide; ++y) {
        std::uint32_t& p = pixels[static_cast<std::size_t>(y) * kSide + x];
        if (p != colour) p = colour;
      }
    }
    benchmark::DoNotOptimize(pixels.data());
    colour ^= 0x00FF00FF;
  }
  state.SetItemsProcessed(state.iterations() * (kSide - 1) * (kSide - 1));
}
BENCHMARK(BM_PixelsReferenceArray);

void BM_KeyedFrameCopy(benchmark::State& state) {
  headless::reset();
  const HDC src = canvas(kFrameW, kFrameH);
  const HDC dst = canvas(kFrameW, kFrameH);
  for (auto _ : state) {
    GdiTransparentBlt(dst, 0, 0, kFrameW, kFrameH, src, 0, 0, kFrameW, kFrameH, 1);
  }
  state.SetItemsProcessed(state.iterations() * kFrameW * kFrameH);
}
BENCHMARK(BM_KeyedFrameCopy);

void BM_KeyedFrameReference(benchmark::State& state) {
  std::vector<std::uint32_t> src(kFrameW * kFrameH, 0), dst(kFrameW * kFrameH, 0);
  for (auto _ : state) {
    for (std::size_t i = 0; i < src.size(); ++i) {
      if (src[i] != 0x010000) dst[i] = src[i];
    }
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrameW * kFrameH);
}
BENCHMARK(BM_KeyedFrameReference);

}  // namespace
