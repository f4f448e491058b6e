// The pixel buffer of morvane_display2: a 24-bit device-independent picture of
// the whole client area in memory, handed to an off-screen transfer surface in
// one call per frame and laid over the main surface with black as the key.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "display.h"
#include "platform.h"
#include "runtime/runtime_error.h"

namespace morvane::windowed {

// Owns the buffer, its description and the transfer surface; made once at
// start-up (INITBMI, INITSCR, INITBUFFB) right after the window is opened.
//
// Buffer layout (as BMI declares it): 3 bytes per pixel in the order blue,
// green, red; rows of rowStride(W) bytes (3 * W bytes of pixels, then 0 to 3
// filler bytes so each row starts at a multiple of 4); rows run bottom-up, so
// buffer row r holds picture row H - 1 - r and pixel (x, y) starts at byte
// rowStride(W) * (H - 1 - y) + 3 * x. BUFFLEN = W * H * 4 bytes are reserved;
// the picture uses the first rowStride(W) * H of them.
class PixelBuffer {
 public:
  // An empty buffer; INITBMI, INITSCR and INITBUFFB set it up once the window is open.
  PixelBuffer() = default;
  // Gives the transfer surface back to the window library.
  ~PixelBuffer();
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;

  // Bytes per buffer row for a picture W pixels wide: ((3 * W + 3) div 4) * 4.
  static std::uint32_t rowStride(std::uint32_t W);

  // Fills BMI for a bottom-up 24-bit picture of the client area's current size.
  void INITBMI();

  // Takes W and H from the client area's current size and makes SS, a black
  // W by H surface compatible with the window whose colour (black) is its key.
  void INITSCR();

  // Reserves BUFFB, BUFFLEN = H * W * 4 zero bytes (a product beyond 32 bits is an overflow error).
  void INITBUFFB();

  // Writes pixel (X, Y), counted from the top-left, with colour C (0x00BBGGRR)
  // into the buffer; a pixel outside the W by H picture is a range error.
  // Called once for every world pixel on every frame, so it is inline and its
  // arithmetic unchecked where it cannot overflow: for X < W and Y < H the offset
  // is below rowStride(W) * H <= BUFFLEN < 2^32, far inside 64 bits.
  void SETBUFF(std::uint32_t X, std::uint32_t Y, std::uint32_t C) {
    // Only the picture's own pixels: a column past W would land in another row.
    rt::index<std::int64_t>(X, 0, std::int64_t{W_} - 1);
    rt::index<std::int64_t>(Y, 0, std::int64_t{H_} - 1);
    const std::int64_t Z = std::int64_t{stride_} * (std::int64_t{H_} - 1 - Y) + 3 * std::int64_t{X};
    const auto at = static_cast<std::size_t>(
        rt::index<std::int64_t>(Z, 0, std::numeric_limits<std::int32_t>::max()));
    BUFFB_[at] = static_cast<std::uint8_t>(C >> 16);     // blue
    BUFFB_[at + 1] = static_cast<std::uint8_t>(C >> 8);  // green
    BUFFB_[at + 2] = static_cast<std::uint8_t>(C);       // red
  }

  // Transfers the whole buffer into SS in one call, then copies SS's top-left
  // `across` by `down` pixels unchanged to (0, 0) of the main surface. When SS
  // holds only black outside that square (the front end never writes there),
  // this is exactly the picture of blackening the square on the main surface
  // and drawing all of SS over it with black left out, made in one pass.
  void SETBUFFB(std::uint32_t across, std::uint32_t down);

  std::uint32_t W() const { return W_; }  // picture width in pixels
  std::uint32_t H() const { return H_; }  // picture height in pixels
  std::uint32_t BUFFLEN() const { return BUFFLEN_; }  // bytes reserved for the buffer
  const std::vector<std::uint8_t>& BUFFB() const { return BUFFB_; }  // the buffer's bytes
  const plat::BITMAPINFO& BMI() const { return BMI_; }  // the buffer's description
  display::PBITMAP SS() const { return SS_; }  // the transfer surface

 private:
  std::uint32_t W_ = 0;             // picture width in pixels, the client width at start-up
  std::uint32_t H_ = 0;             // picture height in pixels, the client height at start-up
  std::uint32_t stride_ = 0;        // bytes per buffer row, rowStride(W)
  plat::BITMAPINFO BMI_{};          // describes BUFFB: W by H, 24 bits, bottom-up, uncompressed
  std::uint32_t BUFFLEN_ = 0;       // bytes reserved in BUFFB: W * H * 4
  std::vector<std::uint8_t> BUFFB_;  // the picture, BUFFLEN bytes, laid out as above
  display::BITMAP SC_{};            // tells CREATEBMP what to make: W by H, colour BLACK
  display::PBITMAP SS_ = nullptr;   // the transfer surface made from SC, owned by this object
};

}  // namespace morvane::windowed
