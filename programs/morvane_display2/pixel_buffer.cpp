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
  written_ = {0, 0, W_, H_};  // a new SS has none of the picture yet
}

void PixelBuffer::INITBUFFB() {
  BUFFLEN_ = rt::mul(rt::mul(H_, W_), 4u);
  BUFFB_.assign(BUFFLEN_, 0);
  written_ = {0, 0, W_, H_};  // SS may still hold an earlier picture
}

void PixelBuffer::setColumn(std::uint32_t X, std::uint32_t Y, const std::uint32_t* colours,
                            std::uint32_t count) {
  if (count == 0) return;
  // The first and last pixels in the picture put every pixel between them there.
  rt::index<std::int64_t>(X, 0, std::int64_t{W_} - 1);
  rt::index<std::int64_t>(Y, 0, std::int64_t{H_} - 1);
  rt::index<std::int64_t>(std::int64_t{Y} + count - 1, 0, std::int64_t{H_} - 1);
  // Rows run bottom-up: going down the picture goes back one row of the buffer.
  const std::size_t stride = stride_;  // held apart from the object the byte stores may alias
  std::uint8_t* at = BUFFB_.data() + stride * (H_ - 1 - Y) + 3 * std::size_t{X};
  for (std::uint32_t i = 0; i < count; ++i, at -= stride) storePixel(at, colours[i]);
  noteWritten(X, Y, X + 1, Y + count);
}

void PixelBuffer::SETBUFFB(std::uint32_t across, std::uint32_t down) {
  const Part transfer = written_;  // the buffer rows to transfer into SS
  written_ = kNothing;
  Part copy = transfer;  // the part of SS to copy onto the main surface
  if (copiedOnto_ != display::state.mainBuilds || copiedAcross_ != across || copiedDown_ != down) {
    copy = {0, 0, across, down};  // the main surface has not got the square yet
    copiedOnto_ = display::state.mainBuilds;
    copiedAcross_ = across;
    copiedDown_ = down;
  }
  copy.right = std::min(copy.right, across);
  copy.bottom = std::min(copy.bottom, down);
  const bool copies = copy.left < copy.right && copy.top < copy.bottom;
  if (!copies) copy = kNothing;
  if (transfer.left >= transfer.right && !copies) return;
  // In bands of rows, each transferred and then copied while SS's rows of it are
  // still in the cache; the picture is the same as transferring all, then copying.
  constexpr std::uint32_t kBandRows = 32;
  const std::uint32_t from = std::min(transfer.top, copy.top);
  const std::uint32_t to = std::max(transfer.bottom, copy.bottom);
  for (std::uint32_t y0 = from; y0 < to; y0 += kBandRows) {
    const std::uint32_t y1 = std::min(to, y0 + kBandRows);
    const std::uint32_t top = std::max(y0, transfer.top), bottom = std::min(y1, transfer.bottom);
    if (top < bottom) {
      // Scan lines count from the bottom: rows top..bottom-1 are the scan lines from
      // H - bottom on, whose bytes start there in the buffer.
      const std::uint32_t first = H_ - bottom;
      plat::SetDIBits(SS_->DC, SS_->HANDLE, first, bottom - top,
                      BUFFB_.data() + std::size_t{stride_} * first, &BMI_, plat::DIB_RGB_COLORS);
    }
    const std::uint32_t copyTop = std::max(y0, copy.top), copyBottom = std::min(y1, copy.bottom);
    if (copyTop < copyBottom) {
      const int x = rt::narrow<int>(copy.left);
      const int w = rt::narrow<int>(copy.right - copy.left);
      const int y = rt::narrow<int>(copyTop);
      const int h = rt::narrow<int>(copyBottom - copyTop);
      plat::StretchBlt(display::state._PMAIN->DC, x, y, w, h, SS_->DC, x, y, w, h, plat::SRCCOPY);
    }
  }
  if (!copies) return;
  plat::GdiFlush();  // the main surface's pixels are read in place
  display::noteDrawn(display::state._PMAIN, copy.left, copy.top, copy.right, copy.bottom);
}

}  // namespace morvane::windowed
