// Pixel operations on surfaces: fills and the blit engine.
#include "core/surface.h"

#include <algorithm>
#include <cstring>

namespace morvane::plat::core {

namespace {

// Blends one 0x00RRGGBB pixel over another with source weight `alpha` (0..255).
inline std::uint32_t blendPixel(std::uint32_t src, std::uint32_t dst, unsigned alpha) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const unsigned s = (src >> shift) & 0xFFu;
    const unsigned d = (dst >> shift) & 0xFFu;
    out |= ((s * alpha + d * (255u - alpha) + 127u) / 255u) << shift;
  }
  return out;
}

// Nearest source index for destination index i when `dstLen` pixels show `srcLen`.
inline std::int64_t nearest(std::int64_t i, std::int64_t srcLen, std::int64_t dstLen) {
  return ((2 * i + 1) * srcLen) / (2 * dstLen);
}

// Applies `combine(dstPixel&, srcPixel)` along one row of `n` pixels. The rows never
// overlap (blit copies a surface drawn on itself first), which lets the compiler
// vectorise the loop.
template <class Combine>
inline void combineRow(std::uint32_t* __restrict out, const std::uint32_t* __restrict in,
                       std::int64_t n, Combine combine) {
  for (std::int64_t i = 0; i < n; ++i) combine(out[i], in[i]);
}

// The plain copy: the source pixel replaces the destination.
struct CopiedPixel {
  void operator()(std::uint32_t& d, std::uint32_t s) const { d = s; }
};

// The copied row in one block move (the loop above is not vectorised in release builds).
inline void combineRow(std::uint32_t* __restrict out, const std::uint32_t* __restrict in,
                       std::int64_t n, CopiedPixel) {
  std::memcpy(out, in, static_cast<std::size_t>(n) * sizeof *out);
}

// The keyed combination: a source pixel of the key colour leaves the destination as it is.
struct KeyedPixel {
  std::uint32_t key;  // 0x00RRGGBB
  void operator()(std::uint32_t& d, std::uint32_t s) const {
    if ((s & 0xFFFFFFu) != key) d = s;
  }
};

// The keyed row four pixels at a time (the compiler does not vectorise a loop of
// unknown length at the optimisation level of release builds), then pixel by pixel.
inline void combineRow(std::uint32_t* __restrict out, const std::uint32_t* __restrict in,
                       std::int64_t n, KeyedPixel keyed) {
  using Lanes = std::uint32_t __attribute__((vector_size(16)));
  std::int64_t i = 0;
  for (; i + 4 <= n; i += 4) {
    Lanes s, d;
    std::memcpy(&s, in + i, sizeof s);
    std::memcpy(&d, out + i, sizeof d);
    const Lanes take = (s & 0xFFFFFFu) != keyed.key;  // all ones where the source shows
    d = (s & take) | (d & ~take);
    std::memcpy(out + i, &d, sizeof d);
  }
  for (; i < n; ++i) keyed(out[i], in[i]);
}

// The blit loop: `combine(dstPixel&, srcPixel)` for every destination pixel whose
// source lies on `src`. Returns the touched destination rectangle.
template <class Combine>
RECT blitWith(Surface& dst, const Surface& src, const BlitGeometry& g, Combine combine) {
  const bool unscaled = g.ws == g.wd && g.hs == g.hd;
  // Destination offsets i (columns) and j (rows) that land on dst.
  std::int64_t i0 = std::max<std::int64_t>(0, -std::int64_t{g.xd});
  std::int64_t i1 = std::min<std::int64_t>(g.wd, std::int64_t{dst.width} - g.xd);
  std::int64_t j0 = std::max<std::int64_t>(0, -std::int64_t{g.yd});
  std::int64_t j1 = std::min<std::int64_t>(g.hd, std::int64_t{dst.height} - g.yd);
  if (unscaled) {  // also keep the source inside src
    i0 = std::max<std::int64_t>(i0, -std::int64_t{g.xs});
    i1 = std::min<std::int64_t>(i1, std::int64_t{src.width} - g.xs);
    j0 = std::max<std::int64_t>(j0, -std::int64_t{g.ys});
    j1 = std::min<std::int64_t>(j1, std::int64_t{src.height} - g.ys);
  }
  if (i1 <= i0 || j1 <= j0) return kEmptyRect;
  for (std::int64_t j = j0; j < j1; ++j) {
    const std::int64_t sy = g.ys + (unscaled ? j : nearest(j, g.hs, g.hd));
    if (sy < 0 || sy >= src.height) continue;
    std::uint32_t* out = &dst.at(static_cast<int>(g.xd + i0), static_cast<int>(g.yd + j));
    const std::uint32_t* in = &src.pixels[static_cast<std::size_t>(sy) * src.width];
    if (unscaled) {
      combineRow(out, in + (g.xs + i0), i1 - i0, combine);
      continue;
    }
    for (std::int64_t i = i0; i < i1; ++i, ++out) {
      const std::int64_t sx = g.xs + nearest(i, g.ws, g.wd);
      if (sx >= 0 && sx < src.width) combine(*out, in[sx]);
    }
  }
  return RECT{static_cast<LONG>(g.xd + i0), static_cast<LONG>(g.yd + j0),
              static_cast<LONG>(g.xd + i1), static_cast<LONG>(g.yd + j1)};
}

}  // namespace

void Surface::resize(int newWidth, int newHeight, std::uint32_t fill) {
  std::vector<std::uint32_t> next(static_cast<std::size_t>(newWidth) * newHeight, fill);
  const int w = std::min(width, newWidth);
  const int h = std::min(height, newHeight);
  for (int y = 0; y < h; ++y) {
    std::copy_n(&pixels[static_cast<std::size_t>(y) * width], w,
                &next[static_cast<std::size_t>(y) * newWidth]);
  }
  pixels = std::move(next);
  width = newWidth;
  height = newHeight;
}

RECT clipToSurface(const Surface& s, const RECT& r) {
  RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, s.width),
         std::min<LONG>(r.bottom, s.height)};
  return isEmpty(c) ? kEmptyRect : c;
}

RECT fillRect(Surface& s, const RECT& r, std::uint32_t value) {
  const RECT c = clipToSurface(s, r);
  for (LONG y = c.top; y < c.bottom; ++y) {
    std::fill(&s.at(c.left, y), &s.at(c.left, y) + (c.right - c.left), value);
  }
  return c;
}

RECT blit(Surface& dst, const Surface& src, const BlitGeometry& g, const BlitOp& op) {
  if (g.wd <= 0 || g.hd <= 0 || g.ws <= 0 || g.hs <= 0) return kEmptyRect;
  if (&src == &dst) {  // overlapping copies read from a snapshot of the source
    const Surface snapshot = src;
    return blit(dst, snapshot, g, op);
  }
  switch (op.mode) {
    case BlitMode::kCopy:
      return blitWith(dst, src, g, CopiedPixel{});
    case BlitMode::kKeyed:
      return blitWith(dst, src, g, KeyedPixel{op.key & 0xFFFFFFu});
    case BlitMode::kBlend:
      return blitWith(dst, src, g, [a = op.alpha](std::uint32_t& d, std::uint32_t s) {
        d = blendPixel(s, d, a);
      });
  }
  return kEmptyRect;
}

}  // namespace morvane::plat::core
