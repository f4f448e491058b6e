#include "pixel_buffer.h"

#include <limits>

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
  SC_ = {};
  SC_.WIDTH = W_;
  SC_.HEIGHT = H_;
  SC_.COLOR = display::BLACK;
  display::RELEASEBMP(SS_);
  SS_ = display::CREATEBMP(&SC_);
}

void PixelBuffer::INITBUFFB() {
  BUFFLEN_ = rt::mul(rt::mul(H_, W_), 4u);
  BUFFB_.assign(BUFFLEN_, 0);
}

void PixelBuffer::SETBUFF(std::uint32_t X, std::uint32_t Y, std::uint32_t C) {
  const std::int64_t stride = rowStride(W_);
  // Only the picture's own pixels: a column past W would land in another row.
  rt::index<std::int64_t>(X, 0, std::int64_t{W_} - 1);
  rt::index<std::int64_t>(Y, 0, std::int64_t{H_} - 1);
  const std::int64_t Z = rt::add(rt::mul(stride, std::int64_t{H_} - (std::int64_t{Y} + 1)),
                                 rt::mul<std::int64_t>(3, X));
  const auto at = static_cast<std::size_t>(
      rt::index<std::int64_t>(Z, 0, std::numeric_limits<std::int32_t>::max()));
  const auto CB = static_cast<std::uint8_t>(C >> 16);
  const auto CG = static_cast<std::uint8_t>(C >> 8);
  const auto CR = static_cast<std::uint8_t>(C);
  BUFFB_[at] = CB;
  BUFFB_[at + 1] = CG;
  BUFFB_[at + 2] = CR;
}

void PixelBuffer::SETBUFFB() {
  plat::SetDIBits(SS_->DC, SS_->HANDLE, 0, SS_->HEIGHT, BUFFB_.data(), &BMI_,
                  plat::DIB_RGB_COLORS);
  display::DRAWBMP(SS_, 0, 0, W_, H_);
}

}  // namespace morvane::windowed
