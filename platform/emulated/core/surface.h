// Pixel buffers and the pixel operations every context performs on them.
//
// A Surface stores 32-bit pixels as 0x00RRGGBB (blue in the lowest byte), the
// byte order of 32-bit device-independent bitmaps and of the usual X11/SDL
// window surfaces, so presenting a picture is a row copy. The API speaks
// COLORREF (0x00BBGGRR); toNative/fromNative convert between the two.
#pragma once

#include <cstdint>
#include <vector>

#include "platform.h"

namespace morvane::plat::core {

// Converts a COLORREF (0x00BBGGRR) to the stored pixel layout (0x00RRGGBB).
constexpr std::uint32_t toNative(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// Converts a stored pixel (0x00RRGGBB) back to a COLORREF (0x00BBGGRR).
constexpr COLORREF fromNative(std::uint32_t p) { return toNative(p); }

// A rectangle of pixels, rows top to bottom, no padding between rows.
struct Surface {
  int width = 0;                      // pixels per row
  int height = 0;                     // rows
  std::vector<std::uint32_t> pixels;  // width * height pixels, 0x00RRGGBB, row-major from the top

  // TRUE when (x, y) lies on the surface.
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

  // The pixel at (x, y), which must lie on the surface.
  std::uint32_t& at(int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }

  // Changes the size, keeping the overlapping top-left part and giving new pixels `fill`.
  void resize(int newWidth, int newHeight, std::uint32_t fill);
};

// An empty rectangle (nothing to update).
inline constexpr RECT kEmptyRect{0, 0, 0, 0};

// TRUE when the rectangle covers no pixel.
constexpr bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// `r` clipped to the surface.
RECT clipToSurface(const Surface& s, const RECT& r);

// Fills `r` (clipped) with the stored pixel `value`; returns the rectangle filled.
RECT fillRect(Surface& s, const RECT& r, std::uint32_t value);

// Geometry of a copy: the source rectangle stretched onto the destination rectangle.
struct BlitGeometry {
  int xd, yd, wd, hd;  // destination rectangle: position and size in pixels
  int xs, ys, ws, hs;  // source rectangle: position and size in pixels
};

// How a blit combines a source pixel into the destination.
enum class BlitMode {
  kCopy,   // the source pixel replaces the destination
  kKeyed,  // as kCopy, except source pixels equal to the key stay out
  kBlend,  // dst = (src * alpha + dst * (255 - alpha)) / 255 per channel, rounded
};

// The combining rule of a blit and its parameter.
struct BlitOp {
  BlitMode mode = BlitMode::kCopy;  // how pixels combine
  std::uint32_t key = 0;            // kKeyed: the stored pixel value left out
  unsigned alpha = 255;             // kBlend: source weight 0..255
};

// Copies src's rectangle onto dst's, stretched by nearest pixel, clipped to both
// surfaces (a destination pixel whose source falls outside src is left alone).
// Sizes must not be negative. `src` may be `dst`. Returns the destination
// rectangle that was touched.
RECT blit(Surface& dst, const Surface& src, const BlitGeometry& g, const BlitOp& op);

}  // namespace morvane::plat::core
