// The kernels' code, written once over vectors of V words and compiled by each
// kernel_*.cpp for its own instruction set. Everything here has internal
// linkage (an unnamed namespace) and uses no library templates, so no
// function built for a wider instruction set can stand in for the generic
// build's copy at link time.
//
// Include this file only from a kernel_*.cpp, after defining nothing else. The
// structures the kernels share with the rest of the engine use plain arrays for
// the same reason.
#pragma once

#include <cstdint>
#include <utility>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

#include "kernels.h"

namespace morvane::packed {
namespace {

// A vector of V words, lanes being neighbouring columns.
template <int V>
struct VectorOf {
  typedef std::uint64_t Type __attribute__((vector_size(8 * V)));
};
template <int V>
using Vec = typename VectorOf<V>::Type;

template <int V>
inline Vec<V> load(const std::uint64_t* p) {
  Vec<V> v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

template <int V>
inline void store(std::uint64_t* p, Vec<V> v) {
  __builtin_memcpy(p, &v, sizeof v);
}

// All ones in lanes 0..count-1, zero in the others.
template <int V>
inline Vec<V> firstLanes(int count) {
  Vec<V> mask{};
  for (int lane = 0; lane < V; ++lane) mask[lane] = lane < count ? ~std::uint64_t{0} : 0;
  return mask;
}

// Bit `lane` set for each nonzero lane of v.
template <int V>
inline unsigned nonzeroLanes(Vec<V> v) {
#if defined(__AVX512F__)
  if constexpr (V == 8) return _mm512_test_epi64_mask(reinterpret_cast<__m512i>(v), reinterpret_cast<__m512i>(v));
#endif
#if defined(__AVX2__)
  if constexpr (V == 4) {
    const __m256i zero = _mm256_cmpeq_epi64(reinterpret_cast<__m256i>(v), _mm256_setzero_si256());
    return ~static_cast<unsigned>(_mm256_movemask_pd(_mm256_castsi256_pd(zero))) & 15u;
  }
#endif
  unsigned lanes = 0;
  for (int lane = 0; lane < V; ++lane) lanes |= (v[lane] != 0 ? 1u : 0u) << lane;
  return lanes;
}

// Live-cell counter: per-byte bit counts summed in a vector, folded into a
// total before a byte can overflow (31 additions of at most 8).
template <int V>
class BitCounter {
 public:
  void add(Vec<V> v) {
    v = v - ((v >> 1) & 0x5555555555555555u);
    v = (v & 0x3333333333333333u) + ((v >> 2) & 0x3333333333333333u);
    bytes_ += (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    if (++added_ == 31) fold();
  }
  std::int32_t total() {
    fold();
    return static_cast<std::int32_t>(total_);
  }

 private:
  void fold() {
    Vec<V> v = (bytes_ & 0x00FF00FF00FF00FFu) + ((bytes_ >> 8) & 0x00FF00FF00FF00FFu);
    v = (v & 0x0000FFFF0000FFFFu) + ((v >> 16) & 0x0000FFFF0000FFFFu);
    v = (v & 0xFFFFFFFFu) + (v >> 32);
    for (int lane = 0; lane < V; ++lane) total_ += v[lane];
    bytes_ = Vec<V>{};
    added_ = 0;
  }

  Vec<V> bytes_{};         // bit counts per byte, at most 8 * 31
  int added_ = 0;          // vectors added to bytes_ since the last fold
  std::uint64_t total_ = 0;
};

// The generation step (see Kernel::step). For each row of words it first
// computes every column's three-cell sums (the cell and its two vertical
// neighbours, as two bit planes), then adds the sums of three neighbouring
// columns, so each column's sum serves three columns.
template <int V>
std::int32_t stepPlanes(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule) {
  alignas(64) std::uint64_t sum0[kStride];  // bit 0 of the three-cell sums, by column (x - kLow)
  alignas(64) std::uint64_t sum1[kStride];  // bit 1
  const int first = 1 - kLow;  // index of column 1
  const int last = gro - kLow;  // index of column gro
  BitCounter<V> population;
  for (int k = wordOf(1); k <= wordOf(gro); ++k) {
    const std::uint64_t* row = a + wordIndex(kLow, k);
    const std::uint64_t* below = a + wordIndex(kLow, k - 1);
    const std::uint64_t* above = a + wordIndex(kLow, k + 1);
    // Sums of columns 0..gro+1, and as far as the last vector below reads.
    for (int i = first - 1; i <= last + V; i += V) {
      const Vec<V> c = load<V>(row + i);
      const Vec<V> up = (c << 1) | (load<V>(below + i) >> 63);    // cells y - 1
      const Vec<V> down = (c >> 1) | (load<V>(above + i) << 63);  // cells y + 1
      const Vec<V> half = up ^ c;
      store<V>(sum0 + i, half ^ down);
      store<V>(sum1 + i, (up & c) | (down & half));
    }
    const std::uint64_t rows = rangeMask(k, 1, gro);
    std::uint64_t* out = b + wordIndex(kLow, k);
    for (int i = first; i <= last; i += V) {
      const Vec<V> inside = last - i + 1 >= V ? Vec<V>{} + rows : firstLanes<V>(last - i + 1) & rows;
      const Vec<V> l0 = load<V>(sum0 + i - 1), l1 = load<V>(sum1 + i - 1);
      const Vec<V> c0 = load<V>(sum0 + i), c1 = load<V>(sum1 + i);
      const Vec<V> r0 = load<V>(sum0 + i + 1), r1 = load<V>(sum1 + i + 1);
      // t = l + c + r, 0..9, in bit planes t0..t3.
      const Vec<V> x0 = l0 ^ c0;
      const Vec<V> t0 = x0 ^ r0;
      const Vec<V> carry0 = (l0 & c0) | (r0 & x0);
      const Vec<V> x1 = l1 ^ c1;
      const Vec<V> p = x1 ^ r1;
      const Vec<V> q = (l1 & c1) | (r1 & x1);
      const Vec<V> t1 = p ^ carry0;
      const Vec<V> r = p & carry0;
      const Vec<V> t2 = q ^ r;
      const Vec<V> t3 = q & r;
      const Vec<V> self = load<V>(row + i);
      Vec<V> next{};
      for (int n = 0; n < rule.count; ++n) {
        const CompiledRule::Term& term = rule.terms[n];
        const Vec<V> equal = (t0 ^ term.flip[0]) & (t1 ^ term.flip[1]) & (t2 ^ term.flip[2]) & (t3 ^ term.flip[3]);
        next |= equal & ((self & term.ifLive) | (~self & term.ifDead));
      }
      store<V>(out + i, (next & inside) | (self & ~inside));
      population.add(self & inside);
    }
  }
  return population.total();
}

// Whether template K fits, for the anchors of the 64 * V windows whose cell
// [I+L, J+M] is bit set cells[L][M] (the masks are constants: this unrolls
// into a chain of ANDs of the tested cells).
template <int K, int V>
inline Vec<V> fitOf(const Vec<V> (&cells)[4][4]) {
  constexpr TemplateMasks masks = masksOf(D[K]);
  Vec<V> fit = ~Vec<V>{};
#pragma GCC unroll 16
  for (int bit = 0; bit < 16; ++bit) {
    if ((masks.tested >> bit & 1) == 0) continue;
    const Vec<V> cell = cells[bit / 4][bit % 4];
    fit &= (masks.alive >> bit & 1) != 0 ? cell : ~cell;
  }
  return fit;
}

template <int V, std::size_t... K>
inline void fitAll(const Vec<V> (&cells)[4][4], Vec<V> (&fits)[kTemplateCount], std::index_sequence<K...>) {
  ((fits[K] = fitOf<static_cast<int>(K), V>(cells)), ...);
}

// The template scan (see Kernel::scan): all 27 templates tested at once on
// 64 * V anchors, from the packed rows shifted by the window's 0..3 rows; the
// fits are gathered by run of templates, as the cover keeps them.
template <int V>
void scanPlane(const std::uint64_t* a, int gro, TemplateCover& cover) {
  const int first = 1 - kLow;
  const int last = gro - kLow;
  constexpr int kBatch = 1024;  // words of anchors handed over at once
  TemplateCover::Found found[kBatch];
  int count = 0;
  for (int k = wordOf(1); k <= wordOf(gro); ++k) {
    const std::uint64_t* row = a + wordIndex(kLow, k);
    const std::uint64_t* above = a + wordIndex(kLow, k + 1);
    const std::uint64_t rows = rangeMask(k, 1, gro);
    for (int i = first; i <= last; i += V) {
      Vec<V> cells[4][4];
      Vec<V> live{};
      for (int L = 0; L < 4; ++L) {
        const Vec<V> c = load<V>(row + i + L);
        const Vec<V> n = load<V>(above + i + L);
        cells[L][0] = c;
        cells[L][1] = (c >> 1) | (n << 63);
        cells[L][2] = (c >> 2) | (n << 62);
        cells[L][3] = (c >> 3) | (n << 61);
        live |= c | (n & 7);
      }
      // Every template wants a live cell: windows with none fit nothing.
      if (nonzeroLanes<V>(live) == 0) continue;
      const Vec<V> inside = last - i + 1 >= V ? Vec<V>{} + rows : firstLanes<V>(last - i + 1) & rows;
      Vec<V> fit[kTemplateCount];
      fitAll<V>(cells, fit, std::make_index_sequence<kTemplateCount>{});
      Vec<V> byRun[kRunCount] = {};
#pragma GCC unroll 27
      for (int K = 0; K < kTemplateCount; ++K) byRun[kTemplateRuns.runOf[K]] |= fit[K];
      Vec<V> any{};
      for (int run = 0; run < kRunCount; ++run) any |= byRun[run];
      if (nonzeroLanes<V>(any & inside) == 0) continue;
      if (count > kBatch - kRunCount * V) {
        cover.add(found, count);
        count = 0;
      }
      for (int run = 0; run < kRunCount; ++run) {
        const Vec<V> anchors = byRun[run] & inside;
        for (unsigned lanes = nonzeroLanes<V>(anchors); lanes != 0; lanes &= lanes - 1) {
          const int lane = __builtin_ctz(lanes);
          found[count++] = {run, static_cast<std::int16_t>(i + lane + kLow), static_cast<std::int16_t>(k), anchors[lane]};
        }
      }
    }
  }
  cover.add(found, count);
}

// The colours of the first `count` (1..64) cells of a word, written to out[0..count-1]
// (see ColourCells): with AVX-512 a masked blend per class
// on 32 or 16 cells at a time; otherwise 8 cells at a time from a table of the
// unpainted colours, then the painted cells one by one.
template <class Colour>
inline void colourWord(const WordCells& cells, const Colour (&colours)[4], Colour* out, int count) {
#if defined(__AVX512BW__)
  constexpr int kLanes = 64 / static_cast<int>(sizeof(Colour));  // cells per 512-bit vector
  for (int first = 0; first < count; first += kLanes) {
    const auto bits = [&](std::uint64_t word) { return word >> first; };
    const int lanes = count - first < kLanes ? count - first : kLanes;
    if constexpr (sizeof(Colour) == 2) {
      __m512i v = _mm512_maskz_mov_epi16(static_cast<__mmask32>(bits(cells.live)), _mm512_set1_epi16(static_cast<short>(colours[0])));
      for (int c = 0; c < 3; ++c) {
        v = _mm512_mask_mov_epi16(v, static_cast<__mmask32>(bits(cells.painted[c])), _mm512_set1_epi16(static_cast<short>(colours[1 + c])));
      }
      _mm512_mask_storeu_epi16(out + first, static_cast<__mmask32>(lanes == 32 ? ~0u : (1u << lanes) - 1), v);
    } else {
      __m512i v = _mm512_maskz_mov_epi32(static_cast<__mmask16>(bits(cells.live)), _mm512_set1_epi32(static_cast<int>(colours[0])));
      for (int c = 0; c < 3; ++c) {
        v = _mm512_mask_mov_epi32(v, static_cast<__mmask16>(bits(cells.painted[c])), _mm512_set1_epi32(static_cast<int>(colours[1 + c])));
      }
      _mm512_mask_storeu_epi32(out + first, static_cast<__mmask16>((1u << lanes) - 1), v);
    }
  }
#else
  // The unpainted colours of 8 cells for each pattern of 8 live bits, for the last colours asked.
  static thread_local Colour eight[256][8];
  static thread_local Colour tableFor = 0;
  static thread_local bool built = false;
  if (!built || tableFor != colours[0]) {
    for (int pattern = 0; pattern < 256; ++pattern) {
      for (int i = 0; i < 8; ++i) eight[pattern][i] = (pattern >> i & 1) != 0 ? colours[0] : Colour{0};
    }
    tableFor = colours[0];
    built = true;
  }
  std::uint64_t anyPainted = cells.painted[0] | cells.painted[1] | cells.painted[2];
  for (int first = 0; first < count; first += 8) {
    const Colour* row = eight[cells.live >> first & 255];
    const int n = count - first < 8 ? count - first : 8;
    if (n == 8) {
      __builtin_memcpy(out + first, row, sizeof(Colour) * 8);
    } else {
      for (int i = 0; i < n; ++i) out[first + i] = row[i];
    }
    if ((anyPainted >> first & 255) == 0) continue;
    for (int c = 0; c < 3; ++c) {
      for (std::uint64_t bits = cells.painted[c] >> first & 255; bits != 0; bits &= bits - 1) {
        const int i = __builtin_ctzll(bits);
        if (i < n) out[first + i] = colours[1 + c];
      }
    }
  }
#endif
}

// The colouring (see ColourCells), row of words by row of words as the plane stores them.
template <class Colour>
void colourCells(const ColourPass<Colour>& pass) {
  const int height = pass.gro + 10;  // cells -4..gro+5 of a column
  for (int i = 0; i <= pass.gro + 5 - kLow; ++i) pass.rewritten[i] = 0;
  for (int k = 0; k < (height + 63) / 64; ++k) {
    const std::uint64_t range = rangeMask(k, kLow, pass.gro + 5);
    const int count = height - 64 * k < 64 ? height - 64 * k : 64;
    const std::uint64_t* live = pass.live + wordIndex(kLow, k);
    const std::size_t row = compactIndex(kLow, k);
    for (int i = 0; i <= pass.gro + 5 - kLow; ++i) {
      // Each cell takes the class of the highest run covering it.
      std::uint64_t* covered = pass.covered[row + i].byRun;
      std::uint64_t byClass[3] = {0, 0, 0};
      std::uint64_t claimed = 0;
#pragma GCC unroll 8
      for (int run = kRunCount - 1; run >= 0; --run) {
        byClass[static_cast<int>(kTemplateRuns.classOf[run])] |= covered[run] & ~claimed;
        claimed |= covered[run];
        covered[run] = 0;
      }
      const WordCells cells{live[i] & range, {byClass[0] & live[i], byClass[1] & live[i], byClass[2] & live[i]}};
      WordCells& shown = pass.shown[row + i];
      if (cells.live == shown.live && cells.painted[0] == shown.painted[0] &&
          cells.painted[1] == shown.painted[1] && cells.painted[2] == shown.painted[2]) {
        continue;
      }
      // Field by field: a copy of the whole struct is built on the stack from word
      // stores and read back as one vector, which stalls the store forwarding.
      shown.live = cells.live;
      for (int c = 0; c < 3; ++c) shown.painted[c] = cells.painted[c];
      pass.rewritten[i] |= std::uint32_t{1} << k;
      colourWord(cells, pass.colours, pass.grid + static_cast<std::size_t>(i) * pass.span + 64 * k, count);
    }
  }
}

// The kernel of this file's instruction set: its code for vectors of V words.
template <int V>
constexpr Kernel kernelOf(std::string_view name, bool (*runnable)()) {
  return {name, runnable, stepPlanes<V>, scanPlane<V>, colourCells<std::uint16_t>, colourCells<std::uint32_t>};
}

}  // namespace
}  // namespace morvane::packed
