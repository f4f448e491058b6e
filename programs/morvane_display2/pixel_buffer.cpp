#include "pixel_buffer.h"

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
}

void PixelBuffer::INITBUFFB() {
  BUFFLEN_ = rt::mul(rt::mul(H_, W_), 4u);
  BUFFB_.assign(BUFFLEN_, 0);
}

void PixelBuffer::SETBUFFB() {
  plat::SetDIBits(SS_->DC, SS_->HANDLE, 0, SS_->HEIGHT, BUFFB_.data(), &BMI_,
                  plat::DIB_RGB_COLORS);
  display::DRAWBMP(SS_, 0, 0, W_, H_);
}

}  // namespace morvane::windowed
