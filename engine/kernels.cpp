#include "kernels.h"

namespace morvane {

namespace packed {
// Each defined in its kernel_*.cpp, built for that instruction set.
std::int32_t genericStep(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule);
void genericScan(const std::uint64_t* a, int gro, TemplateFits& fits);
void genericColour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count);
void genericColour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count);
#if defined(__x86_64__) || defined(__i386__)
std::int32_t avx2Step(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule);
void avx2Scan(const std::uint64_t* a, int gro, TemplateFits& fits);
void avx2Colour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count);
void avx2Colour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count);
std::int32_t avx512Step(const std::uint64_t* a, std::uint64_t* b, int gro, const CompiledRule& rule);
void avx512Scan(const std::uint64_t* a, int gro, TemplateFits& fits);
void avx512Colour16(const WordCells& cells, const std::array<std::uint16_t, 4>& colours, std::uint16_t* out, int count);
void avx512Colour32(const WordCells& cells, const std::array<std::uint32_t, 4>& colours, std::uint32_t* out, int count);
#endif
}  // namespace packed

namespace {

constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};

#if defined(__x86_64__) || defined(__i386__)
bool hasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}
bool hasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("popcnt");
}
#endif
bool always() { return true; }

constexpr Kernel kKernels[] = {
#if defined(__x86_64__) || defined(__i386__)
    {"avx512", hasAvx512, packed::avx512Step, packed::avx512Scan, packed::avx512Colour16,
     packed::avx512Colour32},
    {"avx2", hasAvx2, packed::avx2Step, packed::avx2Scan, packed::avx2Colour16,
     packed::avx2Colour32},
#endif
    {"generic", always, packed::genericStep, packed::genericScan, packed::genericColour16,
     packed::genericColour32},
};

}  // namespace

CompiledRule compileRule(const StepOutcomes& outcomes) {
  CompiledRule rule;
  // t = n + s: a dead cell has n = t (t <= 8), a live one n = t - 1 (t >= 1).
  for (int t = 0; t <= 9; ++t) {
    const bool ifDead = t <= 8 && outcomes[static_cast<std::size_t>(t)];
    const bool ifLive = t >= 1 && outcomes[static_cast<std::size_t>(t - 1 + 9)];
    if (!ifDead && !ifLive) continue;
    CompiledRule::Term& term = rule.terms[static_cast<std::size_t>(rule.count++)];
    for (int i = 0; i < 4; ++i) term.flip[i] = (t >> i & 1) != 0 ? 0 : kAllOnes;
    term.ifDead = ifDead ? kAllOnes : 0;
    term.ifLive = ifLive ? kAllOnes : 0;
  }
  return rule;
}

void TemplateFits::add(const Found* found, int count) {
  for (int i = 0; i < count; ++i) words_[static_cast<std::size_t>(found[i].K - 1)].push_back(found[i].word);
}

std::span<const Kernel> registeredKernels() { return kKernels; }

const Kernel& chosenKernel() {
  static const Kernel& chosen = [] () -> const Kernel& {
    for (const Kernel& kernel : kKernels) {
      if (kernel.runnable()) return kernel;
    }
    return kKernels[std::size(kKernels) - 1];
  }();
  return chosen;
}

}  // namespace morvane
