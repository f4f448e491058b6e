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

void PixelBuffer::SETBUFFB(std::uint32_t across, std::uint32_t down) {
  plat::SetDIBits(SS_->DC, SS_->HANDLE, 0, SS_->HEIGHT, BUFFB_.data(), &BMI_,
                  plat::DIB_RGB_COLORS);
  const int w = rt::narrow<int>(across);
  const int h = rt::narrow<int>(down);
  plat::StretchBlt(display::state._PMAIN->DC, 0, 0, w, h, SS_->DC, 0, 0, w, h,
                   plat::SRCCOPY);
  plat::GdiFlush();  // the main surface's pixels are read in place
  display::noteDrawn(display::state._PMAIN, 0, 0, w, h);
}

}  // namespace morvane::windowed
