// The emulated core against real GDI: every drawing scenario drawn by both in the
// same process, pixel by pixel and result by result.
#include <gtest/gtest.h>

#include <sstream>
#include <string_view>

#include "drawing_scenarios.h"

namespace morvane::scenarios {
namespace {

// Where the two pictures part, as "x,y: gdi 0x.. emulated 0x.." lines (at most 12).
std::string differences(const Picture& gdi, const Picture& emulated) {
  std::ostringstream out;
  int shown = 0;
  for (std::size_t i = 0; i < gdi.pixels.size() && i < emulated.pixels.size(); ++i) {
    if (gdi.pixels[i] == emulated.pixels[i] || ++shown > 12) continue;
    out << i % static_cast<std::size_t>(gdi.width) << ',' << i / static_cast<std::size_t>(gdi.width)
        << ": gdi 0x" << std::hex << gdi.pixels[i] << " emulated 0x" << emulated.pixels[i]
        << std::dec << '\n';
  }
  return out.str();
}

// Where the system under test (Wine) answers otherwise than Windows documents, and the
// emulation keeps the documented behaviour: the part named is not compared, for the reason
// given; the rest of the scenario is.
struct KnownDifference {
  std::string_view scenario;
  int result;  // index into Picture::results; -1: the pixels
  const char* reason;
};
constexpr KnownDifference kKnownDifferences[] = {
    {"pixels", 6, "SetPixel outside the bitmap fails with -1 (CLR_INVALID) on Windows; "
                  "Wine returns the colour"},
    {"pixels", 8, "as result 6, right of the bitmap"},
    {"pixels", 10, "as result 6, below the bitmap"},
    {"keyed_shrunk", -1, "Wine shrinks a keyed copy through a work bitmap in the default "
                         "stretch mode, AND-ing the dropped pixels; the emulation takes the "
                         "nearest pixel as every other blit of the layer does"},
};

class GdiDifferential : public ::testing::TestWithParam<int> {};

TEST_P(GdiDifferential, TheEmulationDrawsWhatRealGdiDraws) {
  Picture real = gdi::draw(GetParam());
  Picture emulation = emulated::draw(GetParam());
  ASSERT_EQ(real.results.size(), emulation.results.size());
  for (const KnownDifference& k : kKnownDifferences) {
    if (k.scenario != gdi::name(GetParam())) continue;
    if (k.result < 0) {
      emulation.pixels = real.pixels;
    } else {
      const auto i = static_cast<std::size_t>(k.result);
      EXPECT_EQ(0xFFFFFFFF, emulation.results[i]) << k.reason;
      emulation.results[i] = real.results[i];
    }
  }
  EXPECT_EQ(real.results, emulation.results);
  EXPECT_EQ(real.pixels, emulation.pixels) << differences(real, emulation);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GdiDifferential, ::testing::Range(0, kCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(gdi::name(info.param));
                         });

}  // namespace
}  // namespace morvane::scenarios
