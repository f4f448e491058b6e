#include "pixel_buffer.h"

#include <algorithm>

#include "runtime/runtime_error.h"

namespace morvane::windowed {

PixelBuffer::~PixelBuffer() { display::RELEASEBMP(SS_); }

std::uint32_t PixelBuffer::rowStride(std::uint32_t W) {
  const std::uint32_t bytes = rt::add(rt::mul(3u, W), 3u);
  return rt::mul(bytes / 4u, 4u);
}

void PixelBuffer::INITBMI() {
  BMI_ = {};
  plat::BITMAPINFOHEADER& h = BMI_.bmiHeader;
  h.biSize = sizeof(plat::BITMAPINFOHEADER);
  h.biWidth = rt::narrow<plat::LONG>(display::GETWIDTH());
  h.biHeight = rt::narrow<plat::LONG>(display::GETHEIGHT());
  h.biPlanes = 1;
  h.biBitCount = 24;
  h.biCompression = plat::BI_RGB;
}

void PixelBuffer::INITSCR() {
  W_ = display::GETWIDTH();
  H_ = display::GETHEIGHT();
  stride_ = rowStride(W_);
  SC_ = {};
  SC_.WIDTH = W_;
  SC_.HEIGHT = H_;
  SC_.COLOR = display::BLACK;
  display::RELEASEBMP(SS_);
  SS_ = display::CREATEBMP(&SC_);
  written_.everything();  // a new SS has none of the picture yet
}

void PixelBuffer::INITBUFFB() {
  BUFFLEN_ = rt::mul(rt::mul(H_, W_), 4u);
  BUFFB_.assign(BUFFLEN_, 0);
  written_.everything();  // SS may still hold an earlier picture
}

void PixelBuffer::setColumns(std::uint32_t X, std::uint32_t Y, std::uint32_t columns,
                             const std::uint32_t* colours, std::size_t columnStride,
                             std::uint32_t count) {
  if (count == 0 || columns == 0) return;
  // The corners in the picture put every pixel between them there.
  rt::index<std::int64_t>(X, 0, std::int64_t{W_} - 1);
  rt::index<std::int64_t>(std::int64_t{X} + columns - 1, 0, std::int64_t{W_} - 1);
  rt::index<std::int64_t>(Y, 0, std::int64_t{H_} - 1);
  rt::index<std::int64_t>(std::int64_t{Y} + count - 1, 0, std::int64_t{H_} - 1);
  // Rows run bottom-up: going down the picture goes back one row of the buffer.
  const std::size_t stride = stride_;  // held apart from the object the byte stores may alias
  std::uint8_t* const first = BUFFB_.data() + stride * (H_ - 1 - Y) + 3 * std::size_t{X};
  std::uint32_t c = 0;
  // Four columns at a time, row by row: twelve bytes of a row in two stores.
  for (; c + 4 <= columns; c += 4) {
    const std::uint32_t* in = colours + c * columnStride;
    std::uint8_t* at = first + 3 * std::size_t{c};
    for (std::uint32_t i = 0; i < count; ++i, at -= stride) {
      storeFour(at, in[i], in[i + columnStride], in[i + 2 * columnStride], in[i + 3 * columnStride]);
    }
  }
  for (; c < columns; ++c) {
    const std::uint32_t* in = colours + c * columnStride;
    std::uint8_t* at = first + 3 * std::size_t{c};
    for (std::uint32_t i = 0; i < count; ++i, at -= stride) storePixel(at, in[i]);
  }
  written_.note(X, Y, std::int64_t{X} + columns, std::int64_t{Y} + count);
}

void PixelBuffer::SETBUFFB(std::uint32_t across, std::uint32_t down) {
  parts_.clear();
  written_.take(W_, H_, [this](const plat::RECT& part) { parts_.push_back(part); });
  const bool whole = copiedOnto_ != display::state.mainBuilds || copiedAcross_ != across ||
                     copiedDown_ != down;  // the main surface has not got the square yet
  copiedOnto_ = display::state.mainBuilds;
  copiedAcross_ = across;
  copiedDown_ = down;
  const auto square = static_cast<plat::LONG>(std::min(across, W_));
  const auto squareDown = static_cast<plat::LONG>(std::min(down, H_));
  bool copied = false;
  // The part of SS from `left` to `right` in rows `top` to `bottom`, onto the square.
  const auto copy = [&](plat::LONG left, plat::LONG top, plat::LONG right, plat::LONG bottom) {
    right = std::min(right, square);
    bottom = std::min(bottom, squareDown);
    if (left >= right || top >= bottom) return;
    plat::StretchBlt(display::state._PMAIN->DC, left, top, right - left, bottom - top, SS_->DC,
                     left, top, right - left, bottom - top, plat::SRCCOPY);
    display::noteDrawn(display::state._PMAIN, left, top, right, bottom);
    copied = true;
  };
  // In bands of rows, each transferred and then copied while SS's rows of it are
  // still in the cache; the picture is the same as transferring all, then copying.
  constexpr auto kBandRows = static_cast<plat::LONG>(display::DrawnTiles::kTile);
  for (plat::LONG y0 = 0; y0 < static_cast<plat::LONG>(H_); y0 += kBandRows) {
    const plat::LONG y1 = std::min(static_cast<plat::LONG>(H_), y0 + kBandRows);
    const auto inBand = [&](const plat::RECT& part) { return part.top < y1 && part.bottom > y0; };
    if (std::any_of(parts_.begin(), parts_.end(), inBand)) {
      // Scan lines count from the bottom: rows y0..y1-1 are the scan lines from
      // H - y1 on, whose bytes start there in the buffer.
      const std::uint32_t first = H_ - static_cast<std::uint32_t>(y1);
      plat::SetDIBits(SS_->DC, SS_->HANDLE, first, static_cast<std::uint32_t>(y1 - y0),
                      BUFFB_.data() + std::size_t{stride_} * first, &BMI_, plat::DIB_RGB_COLORS);
    }
    if (whole) {
      copy(0, y0, square, y1);
      continue;
    }
    for (const plat::RECT& part : parts_) {
      if (inBand(part)) copy(part.left, y0, part.right, y1);
    }
  }
  if (copied) plat::GdiFlush();  // the main surface's pixels are read in place
}

}  // namespace morvane::windowed
