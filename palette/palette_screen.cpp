#include "palette_screen.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>

#include "fonts/fonts.h"
#include "runtime/runtime_error.h"

namespace morvane::palette {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kClassName[] = "MorvanePalette";

// Palette entries as 32-bit pixels in memory order blue, green, red, unused.
constexpr std::array<std::uint32_t, kPaletteSize> makeBgr() {
  std::array<std::uint32_t, kPaletteSize> bgr{};
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgb& c = kVgaPalette[i];
    bgr[i] = (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
  }
  return bgr;
}
constexpr std::array<std::uint32_t, kPaletteSize> kBgr = makeBgr();

// Posted by the window to itself when its picture must be shown again whole.
constexpr plat::UINT kShowAllMessage = plat::WM_USER;
// Posted by the window to itself when the user closes it.
constexpr plat::UINT kClosedMessage = plat::WM_USER + 1;

// The window procedure: a change of size (restoring after minimising among them) or a
// request to paint may have cost the window its picture, so it asks for a whole showing.
// Closing is left to the service loop, which lets go of the window's drawing context
// before it destroys the window.
plat::LRESULT MORVANE_CALLBACK windowProc(plat::HWND window, plat::UINT msg, plat::WPARAM wParam,
                                          plat::LPARAM lParam) {
  if (msg == plat::WM_CLOSE) {
    plat::PostMessageA(window, kClosedMessage, 0, 0);
    return 0;
  }
  if (msg == plat::WM_SIZE || msg == plat::WM_PAINT) {
    plat::PostMessageA(window, kShowAllMessage, 0, 0);
  }
  return plat::DefWindowProcA(window, msg, wParam, lParam);
}

// Registers the facility's window class (once per platform lifetime; a second try is refused).
void registerWindowClass() {
  plat::WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = plat::GetModuleHandleA(nullptr);
  wc.hCursor = plat::LoadCursorA(0, plat::IDC_ARROW);
  wc.hbrBackground = plat::GetStockObject(plat::BLACK_BRUSH);
  wc.lpszClassName = kClassName;
  plat::RegisterClassA(&wc);
}

}  // namespace

// The service thread's drawing objects: the window's context and a memory
// context holding a staging bitmap that changed boxes pass through.
class PaletteScreen::Presenter {
 public:
  Presenter(plat::HWND window, int width, int height)
      : window_(window),
        windowDc_(plat::GetDC(window)),
        memoryDc_(plat::CreateCompatibleDC(windowDc_)),
        bitmap_(plat::CreateCompatibleBitmap(windowDc_, width, height)) {
    previous_ = plat::SelectObject(memoryDc_, bitmap_);
  }
  ~Presenter() {
    plat::SelectObject(memoryDc_, previous_);
    plat::DeleteObject(bitmap_);
    plat::DeleteDC(memoryDc_);
    plat::ReleaseDC(window_, windowDc_);
  }
  Presenter(const Presenter&) = delete;
  Presenter& operator=(const Presenter&) = delete;

  // Shows `pixels`, the 32-bit colours of `box` row by row, in the window at the box's place.
  void show(const Box& box, const std::vector<std::uint32_t>& pixels) {
    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    plat::BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(plat::BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = plat::BI_RGB;
    plat::SetDIBits(memoryDc_, bitmap_, 0, static_cast<plat::UINT>(h), pixels.data(), &info,
                    plat::DIB_RGB_COLORS);
    plat::StretchBlt(windowDc_, box.left, box.top, w, h, memoryDc_, 0, 0, w, h, plat::SRCCOPY);
  }

 private:
  plat::HWND window_;         // the facility's window
  plat::HDC windowDc_;        // its client-area context
  plat::HDC memoryDc_;        // memory context holding bitmap_
  plat::HBITMAP bitmap_;      // staging bitmap, as large as the drawing area
  plat::HGDIOBJ previous_ = 0;  // the memory context's default bitmap
};

ScreenMetrics currentScreenMetrics() {
  using plat::GetSystemMetrics;
  plat::RECT decoration{0, 0, 0, 0};
  plat::AdjustWindowRectEx(&decoration, kWindowStyle, plat::kFalse, 0);
  return {GetSystemMetrics(plat::SM_CXSCREEN),     GetSystemMetrics(plat::SM_CYSCREEN),
          GetSystemMetrics(plat::SM_CXFULLSCREEN), GetSystemMetrics(plat::SM_CYFULLSCREEN),
          decoration.right - decoration.left,      decoration.bottom - decoration.top};
}

Mode detectMode(const ScreenMetrics& m) {
  const int frameW = m.decorationWidth;
  const int frameH = m.decorationHeight;
  const Mode maximised{kModeMaximised,
                       m.fullScreenWidth,
                       m.fullScreenHeight,
                       kWindowStyle | plat::WS_MAXIMIZE,
                       m.fullScreenWidth + frameW,
                       m.fullScreenHeight + frameH};
  const Mode framed{kModeFramed,           m.screenWidth - frameW,
                    m.screenHeight - frameH, kWindowStyle,
                    m.screenWidth,         m.screenHeight};
  if (framed.width > maximised.width ||
      (framed.width == maximised.width && framed.height > maximised.height)) {
    return framed;
  }
  return maximised;
}

PaletteScreen::~PaletteScreen() {
  stopping_.store(true, std::memory_order_release);
  if (service_.joinable()) service_.join();
}

void PaletteScreen::open(std::int16_t& driver, std::int16_t& mode, std::string_view) {
  if (!opened_ && (driver == kDetect || driver == kPalette256)) {
    opened_ = true;
    std::promise<bool> opened;
    std::future<bool> ready = opened.get_future();
    service_ = std::thread([this, opened = std::move(opened)]() mutable { serve(opened); });
    if (!ready.get()) service_.join();  // no window: the thread has nothing to serve
  }
  driver = driver_;
  mode = mode_;
}

std::uint8_t PaletteScreen::paletteIndex(std::int16_t colour) {
  return kLowestIndex[static_cast<std::size_t>(rt::index<int>(colour, 0, kPaletteSize - 1))];
}

void PaletteScreen::bar(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  const int left = std::max<int>(std::min(x1, x2), 0);
  const int right = std::min<int>(std::max(x1, x2), width_ - 1);
  const int top = std::max<int>(std::min(y1, y2), 0);
  const int bottom = std::min<int>(std::max(y1, y2), height_ - 1);
  if (left > right || top > bottom) return;
  // Each column is brought to the fill's index, writing only the pixels that show another.
  barColumn_.assign(static_cast<std::size_t>(bottom - top + 1), paletteIndex(kFillColour));
  for (int x = left; x <= right; ++x) {
    syncColumn(static_cast<std::int16_t>(x), static_cast<std::int16_t>(top), barColumn_.data(),
               static_cast<int>(barColumn_.size()));
  }
}

void PaletteScreen::textAt(std::int16_t x, std::int16_t y, std::string_view text) {
  if (x < 0 || y < 0) return;
  const plat::fonts::BitmapFont& font = plat::fonts::vga8();
  const auto ink = paletteIndex(kDrawColour);
  bool changed = false;
  int left = x;
  for (char ch : text) {
    if (left >= width_) break;
    const std::uint8_t* glyph = font.glyphs + static_cast<unsigned char>(ch) * font.height;
    for (int row = 0; row < font.height; ++row) {
      // Bit 7 of a glyph row is its leftmost pixel.
      for (unsigned bits = glyph[row]; bits != 0; bits &= bits - 1) {
        const int px = left + 7 - __builtin_ctz(bits);
        const int py = y + row;
        if (!inside(px, py)) continue;
        std::atomic<std::uint8_t>& pixel = pixels_[offset(px, py)];
        if (pixel.load(std::memory_order_relaxed) == ink) continue;
        pixel.store(ink, std::memory_order_relaxed);
        changed = true;
      }
    }
    left += font.width;
  }
  if (changed) markDirty(x, y, std::min(left, width_), std::min(y + font.height, height_));
}

namespace {

// True when the 16 stored indices at `shown` equal the 16 colours at `colours`,
// compared 8 at a time, widened to 16 bits.
bool sameSixteen(const std::uint8_t* shown, const std::int16_t* colours) {
  typedef std::uint8_t Bytes __attribute__((vector_size(8)));
  typedef std::uint16_t Words __attribute__((vector_size(16)));
  Bytes storedLow, storedHigh;
  std::memcpy(&storedLow, shown, sizeof storedLow);
  std::memcpy(&storedHigh, shown + 8, sizeof storedHigh);
  Words wantedLow, wantedHigh;
  std::memcpy(&wantedLow, colours, sizeof wantedLow);
  std::memcpy(&wantedHigh, colours + 8, sizeof wantedHigh);
  const Words diff = (__builtin_convertvector(storedLow, Words) ^ wantedLow) |
                     (__builtin_convertvector(storedHigh, Words) ^ wantedHigh);
  std::uint64_t lanes[2];
  std::memcpy(lanes, &diff, sizeof lanes);
  return (lanes[0] | lanes[1]) == 0;
}

}  // namespace

int PaletteScreen::syncColumn(std::int16_t x, std::int16_t y, const std::int16_t* colours, int count) {
  if (x < 0 || x >= width_) return 0;
  const int first = std::max(0, -static_cast<int>(y));
  const int end = std::min(count, height_ - y);
  if (first >= end) return 0;
  const int top = y + first;  // the first pixel inside the area
  const int n = end - first;
  // Only this thread stores into the copy (the service thread only reads it), so
  // it may read its own stores as plain bytes, 16 at a time. Stored indices are
  // the lowest of their colour, so a stored index is what readPixel shows.
  std::atomic<std::uint8_t>* column = &pixels_[offset(x, top)];
  const auto* shown = reinterpret_cast<const std::uint8_t*>(column);
  const std::int16_t* wanted = colours + first;  // wanted[i] and shown[i]: (x, top + i)
  int written = 0;
  int low = n, high = -1;  // the first and last pixel written
  const auto sync = [&](int i) {
    if (shown[i] == wanted[i]) return;
    column[i].store(paletteIndex(wanted[i]), std::memory_order_relaxed);
    ++written;
    low = std::min(low, i);
    high = i;
  };
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    if (sameSixteen(shown + i, wanted + i)) continue;
    for (int j = i; j < i + 16; ++j) sync(j);
  }
  for (; i < n; ++i) sync(i);
  markDirty(x, top + low, x + 1, top + high + 1);  // nothing when none was written
  return written;
}

void PaletteScreen::markDirty(int left, int top, int right, int bottom) {
  if (left >= right || top >= bottom) return;
  for (int ty = top / kTile; ty <= (bottom - 1) / kTile; ++ty) {
    for (int tx = left / kTile; tx <= (right - 1) / kTile; ++tx) {
      dirty_[static_cast<std::size_t>(ty) * tilesAcross_ + tx].store(true, std::memory_order_release);
    }
  }
}

void PaletteScreen::allocate(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  tilesAcross_ = (width_ + kTile - 1) / kTile;
  tilesDown_ = (height_ + kTile - 1) / kTile;
  pixels_ = std::make_unique<std::atomic<std::uint8_t>[]>(static_cast<std::size_t>(width_) *
                                                           static_cast<std::size_t>(height_));
  dirty_ = std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(tilesAcross_) *
                                                 static_cast<std::size_t>(tilesDown_));
  markAllDirty();
}

void PaletteScreen::markAllDirty() {
  const std::size_t tiles = static_cast<std::size_t>(tilesAcross_) * tilesDown_;
  for (std::size_t i = 0; i < tiles; ++i) dirty_[i].store(true, std::memory_order_relaxed);
}

std::optional<PaletteScreen::Box> PaletteScreen::takeDirty() {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // in tiles, inclusive
  for (int ty = 0; ty < tilesDown_; ++ty) {
    for (int tx = 0; tx < tilesAcross_; ++tx) {
      std::atomic<bool>& flag = dirty_[static_cast<std::size_t>(ty) * tilesAcross_ + tx];
      if (!flag.load(std::memory_order_relaxed) || !flag.exchange(false, std::memory_order_acquire)) {
        continue;
      }
      left = std::min(left, tx);
      right = std::max(right, tx);
      top = std::min(top, ty);
      bottom = std::max(bottom, ty);
    }
  }
  if (right < 0) return std::nullopt;
  return Box{left * kTile, top * kTile, std::min((right + 1) * kTile, width_),
             std::min((bottom + 1) * kTile, height_)};
}

void PaletteScreen::convert(const Box& box, std::vector<std::uint32_t>& out) const {
  const int w = box.right - box.left;
  out.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(box.bottom - box.top));
  for (int x = box.left; x < box.right; ++x) {  // down each stored column
    std::uint32_t* to = &out[static_cast<std::size_t>(x - box.left)];
    for (int y = box.top; y < box.bottom; ++y, to += w) {
      *to = kBgr[pixels_[offset(x, y)].load(std::memory_order_relaxed)];
    }
  }
}

void PaletteScreen::serve(std::promise<bool>& opened) {
  const Mode mode = detectMode(currentScreenMetrics());
  registerWindowClass();
  const plat::HWND window =
      mode.width > 0 && mode.height > 0
          ? plat::CreateWindowExA(0, kClassName, "", mode.style, 0, 0, mode.outerWidth,
                                  mode.outerHeight, 0, 0, plat::GetModuleHandleA(nullptr), nullptr)
          : 0;
  if (window == 0) {
    opened.set_value(false);
    return;
  }
  // The picture is as large as the client area the window really got (a system may
  // decorate or place a maximised window otherwise than the metrics foretell).
  plat::RECT client{};
  plat::GetClientRect(window, &client);
  allocate(client.right, client.bottom);
  window_ = window;
  driver_ = kPalette256;
  mode_ = mode.number;
  {
    Presenter presenter(window, width_, height_);
    std::vector<std::uint32_t> pixels;  // conversion buffer, reused
    showChanges(presenter, pixels);     // the black start picture
    opened.set_value(true);
    serveWindow(presenter, pixels);
  }
  if (plat::IsWindow(window)) plat::DestroyWindow(window);
}

void PaletteScreen::showChanges(Presenter& presenter, std::vector<std::uint32_t>& pixels) {
  if (auto box = takeDirty()) {
    convert(*box, pixels);
    presenter.show(*box, pixels);
  }
}

void PaletteScreen::serveWindow(Presenter& presenter, std::vector<std::uint32_t>& pixels) {
  Clock::time_point nextShow = Clock::now();
  while (!stopping_.load(std::memory_order_acquire)) {
    plat::MSG msg;
    while (plat::PeekMessageA(&msg, 0, 0, 0, plat::PM_REMOVE)) {
      if (msg.message == kShowAllMessage) {
        markAllDirty();
      } else if (msg.message == kClosedMessage) {
        return;
      } else {
        plat::DispatchMessageA(&msg);
      }
    }
    if (!plat::IsWindow(window_)) return;  // destroyed from elsewhere
    const Clock::time_point now = Clock::now();
    if (now >= nextShow) {
      if (!plat::IsIconic(window_)) showChanges(presenter, pixels);
      nextShow = now + std::chrono::milliseconds(kFrameMs);
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextShow - Clock::now());
    plat::WaitMessageTimeout(static_cast<plat::DWORD>(std::max<long long>(wait.count(), 1)));
  }
}

}  // namespace morvane::palette
