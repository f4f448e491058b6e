// The pixel buffer of morvane_display2: a 24-bit device-independent picture of
// the whole client area in memory, handed to an off-screen transfer surface in
// one call per frame and laid over the main surface with black as the key.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
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
    written_.notePixel(X, Y);
  }

  // Writes `columns` side-by-side columns of `count` pixels from (X, Y) down, as
  // SETBUFF does each: pixel (X + c, Y + i) gets colours[c * columnStride + i].
  // A pixel outside the W by H picture is a range error.
  void setColumns(std::uint32_t X, std::uint32_t Y, std::uint32_t columns,
                  const std::uint32_t* colours, std::size_t columnStride, std::uint32_t count);

  // Brings the main surface's top-left `across` by `down` square up to date with
  // the buffer, as if the whole buffer were transferred into SS in one call and
  // SS's square copied unchanged to (0, 0) of the main surface. When SS holds
  // only black outside that square (the front end never writes there), this is
  // exactly the picture of blackening the square on the main surface and drawing
  // all of SS over it with black left out, made in one pass.
  //
  // Only the bands of rows written since the previous call are transferred (SS is
  // written nowhere else, and the buffer only through SETBUFF and setColumns), and
  // only the tiles written are copied, unless the main surface is a new one or the
  // square differs from the previous call's: then all of the square.
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

  // Colour C (0x00BBGGRR) as a number whose three low bytes, stored little-endian,
  // are the pixel's blue, green and red.
  static std::uint64_t pixelBytes(std::uint32_t C) {
    return ((C >> 16) & 0xFFu) | (C & 0xFF00u) | ((C & 0xFFu) << 16);
  }

  // Stores four pixels side by side, colours a, b, c, d: twelve bytes in two stores.
  static void storeFour(std::uint8_t* at, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                        std::uint32_t d) {
    static_assert(std::endian::native == std::endian::little, "pixelBytes assumes little-endian stores");
    const std::uint64_t low = pixelBytes(a) | pixelBytes(b) << 24 | pixelBytes(c) << 48;
    const auto high = static_cast<std::uint32_t>(pixelBytes(c) >> 16 | pixelBytes(d) << 8);
    std::memcpy(at, &low, sizeof low);
    std::memcpy(at + sizeof low, &high, sizeof high);
  }


  std::uint32_t W_ = 0;             // picture width in pixels, the client width at start-up
  std::uint32_t H_ = 0;             // picture height in pixels, the client height at start-up
  std::uint32_t stride_ = 0;        // bytes per buffer row, rowStride(W)
  plat::BITMAPINFO BMI_{};          // describes BUFFB: W by H, 24 bits, bottom-up, uncompressed
  std::uint32_t BUFFLEN_ = 0;       // bytes reserved in BUFFB: W * H * 4
  std::vector<std::uint8_t> BUFFB_;  // the picture, BUFFLEN bytes, laid out as above
  display::BITMAP SC_{};            // tells CREATEBMP what to make: W by H, colour BLACK
  display::PBITMAP SS_ = nullptr;   // the transfer surface made from SC, owned by this object
  display::DrawnTiles written_;     // the buffer's tiles written since the last SETBUFFB
  std::vector<plat::RECT> parts_;   // scratch for SETBUFFB: the written parts
  // What the last SETBUFFB copied onto: the main surface (by display::state.mainBuilds,
  // 0 before any) and the square's size.
  std::uint32_t copiedOnto_ = 0;
  std::uint32_t copiedAcross_ = 0;
  std::uint32_t copiedDown_ = 0;
};

}  // namespace morvane::windowed
