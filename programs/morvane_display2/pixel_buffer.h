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
  // Its arithmetic is unchecked where it cannot overflow: for X < W and Y < H the
  // offset is below rowStride(W) * H <= BUFFLEN < 2^32, far inside 64 bits.
  void SETBUFF(std::uint32_t X, std::uint32_t Y, std::uint32_t C) {
    // Only the picture's own pixels: a column past W would land in another row.
    rt::index<std::int64_t>(X, 0, std::int64_t{W_} - 1);
    rt::index<std::int64_t>(Y, 0, std::int64_t{H_} - 1);
    const std::int64_t Z = std::int64_t{stride_} * (std::int64_t{H_} - 1 - Y) + 3 * std::int64_t{X};
    const auto at = static_cast<std::size_t>(
        rt::index<std::int64_t>(Z, 0, std::numeric_limits<std::int32_t>::max()));
    storePixel(&BUFFB_[at], C);
    noteWritten(X, Y, X + 1, Y + 1);
  }

  // Writes pixels (X, Y) .. (X, Y + count - 1), down one column, with
  // colours[0] .. colours[count - 1], as SETBUFF does each; a pixel outside the
  // W by H picture is a range error.
  void setColumn(std::uint32_t X, std::uint32_t Y, const std::uint32_t* colours, std::uint32_t count);

  // Brings the main surface's top-left `across` by `down` square up to date with
  // the buffer, as if the whole buffer were transferred into SS in one call and
  // SS's square copied unchanged to (0, 0) of the main surface. When SS holds
  // only black outside that square (the front end never writes there), this is
  // exactly the picture of blackening the square on the main surface and drawing
  // all of SS over it with black left out, made in one pass.
  //
  // Only the buffer rows written since the previous call are transferred (SS is
  // written nowhere else, and the buffer only through SETBUFF and setColumn), and
  // only the part of the square they hold is copied, unless the main surface is
  // a new one or the square differs from the previous call's: then all of it.
  // Drawing of anyone else's on the square stays until the buffer changes there.
  void SETBUFFB(std::uint32_t across, std::uint32_t down);

  std::uint32_t W() const { return W_; }  // picture width in pixels
  std::uint32_t H() const { return H_; }  // picture height in pixels
  std::uint32_t BUFFLEN() const { return BUFFLEN_; }  // bytes reserved for the buffer
  const std::vector<std::uint8_t>& BUFFB() const { return BUFFB_; }  // the buffer's bytes
  const plat::BITMAPINFO& BMI() const { return BMI_; }  // the buffer's description
  display::PBITMAP SS() const { return SS_; }  // the transfer surface

 private:
  // Stores colour C (0x00BBGGRR) as the buffer's three bytes of a pixel: blue, green, red.
  static void storePixel(std::uint8_t* at, std::uint32_t C) {
    at[0] = static_cast<std::uint8_t>(C >> 16);  // blue
    at[1] = static_cast<std::uint8_t>(C >> 8);   // green
    at[2] = static_cast<std::uint8_t>(C);        // red
  }

  // Extends the part written since the last SETBUFFB by pixels left..right-1, top..bottom-1.
  void noteWritten(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom) {
    if (left < written_.left) written_.left = left;
    if (top < written_.top) written_.top = top;
    if (right > written_.right) written_.right = right;
    if (bottom > written_.bottom) written_.bottom = bottom;
  }

  // A part of the picture in pixels, right and bottom excluded; empty when left >= right.
  struct Part {
    std::uint32_t left, top, right, bottom;
  };
  static constexpr Part kNothing{UINT32_MAX, UINT32_MAX, 0, 0};

  std::uint32_t W_ = 0;             // picture width in pixels, the client width at start-up
  std::uint32_t H_ = 0;             // picture height in pixels, the client height at start-up
  std::uint32_t stride_ = 0;        // bytes per buffer row, rowStride(W)
  plat::BITMAPINFO BMI_{};          // describes BUFFB: W by H, 24 bits, bottom-up, uncompressed
  std::uint32_t BUFFLEN_ = 0;       // bytes reserved in BUFFB: W * H * 4
  std::vector<std::uint8_t> BUFFB_;  // the picture, BUFFLEN bytes, laid out as above
  display::BITMAP SC_{};            // tells CREATEBMP what to make: W by H, colour BLACK
  display::PBITMAP SS_ = nullptr;   // the transfer surface made from SC, owned by this object
  Part written_ = kNothing;         // the buffer's pixels written since the last SETBUFFB
  // What the last SETBUFFB copied onto: the main surface (by display::state.mainBuilds,
  // 0 before any) and the square's size.
  std::uint32_t copiedOnto_ = 0;
  std::uint32_t copiedAcross_ = 0;
  std::uint32_t copiedDown_ = 0;
};

}  // namespace morvane::windowed
