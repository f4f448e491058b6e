#include "kernels.h"

namespace morvane {

namespace packed {
// Each defined in its kernel_*.cpp, built for that instruction set.
extern const Kernel kGenericKernel;
#if defined(__x86_64__) || defined(__i386__)
extern const Kernel kAvx2Kernel;
extern const Kernel kAvx512Kernel;

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

bool runsEverywhere() { return true; }
}  // namespace packed

namespace {

constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};

const Kernel* const kKernels[] = {
#if defined(__x86_64__) || defined(__i386__)
    &packed::kAvx512Kernel,
    &packed::kAvx2Kernel,
#endif
    &packed::kGenericKernel,
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

void TemplateCover::add(const Found* found, int count) {
  for (int i = 0; i < count; ++i) {
    const Found& f = found[i];
    // The cells a word of anchors covers: each anchor and the 3 cells above it,
    // in the anchors' word and (the top ones) in the next word, in 4 columns.
    const std::uint64_t a = f.anchors;
    const std::uint64_t low = a | a << 1 | a << 2 | a << 3;
    const std::uint64_t high = a >> 63 | a >> 62 | a >> 61;
    for (int L = 0; L < 4; ++L) {
      words_[packed::compactIndex(f.x + L, f.k)].byRun[f.run] |= low;
      if (high != 0) words_[packed::compactIndex(f.x + L, f.k + 1)].byRun[f.run] |= high;
    }
  }
}

std::span<const Kernel* const> registeredKernels() { return kKernels; }

const Kernel& chosenKernel() {
  static const Kernel& chosen = []() -> const Kernel& {
    for (const Kernel* kernel : kKernels) {
      if (kernel->runnable()) return *kernel;
    }
    return packed::kGenericKernel;
  }();
  return chosen;
}

}  // namespace morvane
