#include "windowed.h"

#include <algorithm>

#include "display.h"

namespace morvane::windowed {

PanelPlace panelPlace(std::int16_t GRO, std::int32_t K) {
  const std::int32_t base = std::max<std::int32_t>(GRO, 200);
  return {rt::narrow<std::uint32_t>(rt::add<std::int32_t>(GRO, 10)),
          rt::narrow<std::uint32_t>(rt::sub(base, rt::mul<std::int32_t>(20, K)))};
}

void WindowedFrontEnd::panelLine(std::int32_t K, std::string_view text) {
  const PanelPlace at = panelPlace(GRO_, K);
  display::DRAWTEXTXY(text, at.x, at.y, display::BLACK, display::WHITE);
}

void WindowedFrontEnd::endOfPass() {
  while (display::ISNEXTMSG()) {
  }
  display::FRESHWIN();
  display::DELAY(1);
}

}  // namespace morvane::windowed
