#!/usr/bin/env bash
# Builds the benchmarks and the programs and prints one table: each speed
# figure with the production value, the reference value measured in the same
# run, and their ratio; then the programs' memory.
#   scripts/bench.sh [BUILD_DIR]        (default: build-bench)
# Engine figures are medians of 5 runs of bench/engine_bench (CPU time); program pass
# rates are medians of 3 runs of bench/programs_bench, which drives the
# programs' own front ends on the real SDL2 backend in-process under an X
# display (Xvfb when there is none); memory is read from the programs
# themselves, each run for MORVANE_MEMORY_SECONDS (default 20) seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-bench"}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_TESTS=OFF -DMORVANE_BENCH=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target engine_bench programs_bench morvane morvane_display morvane_display2 >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Median rows of Google Benchmark's CSV output as "name cpu_time unit items_per_second"
# (items per second are per real second for the programs, which also pause).
medians() {
  awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); sub(/\/real_time$/, "", $1); print $1, $4, $5, $7 }'
}
"$dir/bench/engine_bench" --benchmark_filter='^(WorldPass|Colour)(Engine|Oracle)/1000$' \
  --benchmark_repetitions=5 --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null | medians >"$out/engine"
programs() {  # one program's benchmarks per process (one window each), names prefixed with $2
  "$root/scripts/with-x.sh" "$dir/bench/programs_bench" --benchmark_filter="$1" \
    --benchmark_repetitions=3 --benchmark_min_time=2 --benchmark_format=csv 2>/dev/null |
    medians | sed "s|^|$2:|"
}
{
  programs '^Morvane(EngineOnly)?/' m
  programs '^(MorvaneDisplay|PauseOnly)/' d
  programs '^(MorvaneDisplay2|PauseOnly)/' d2
} >"$out/programs"

# Peak and late resident memory of each program run on its own.
seconds=${MORVANE_MEMORY_SECONDS:-20}
for program in morvane morvane_display morvane_display2; do
  "$root/scripts/with-x.sh" bash -c '
    "$1" & pid=$!
    sleep 3; early=$(awk "/VmRSS/ { print \$2 }" /proc/$pid/status)
    sleep "$2"
    late=$(awk "/VmRSS/ { print \$2 }" /proc/$pid/status)
    peak=$(awk "/VmHWM/ { print \$2 }" /proc/$pid/status)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "$3 $early $late $peak"
  ' _ "$dir/programs/$program/$program" "$((seconds - 3))" "$program"
done >"$out/memory"

awk -v seconds="$seconds" '
  FILENAME ~ /engine$|programs$/ {
    scale = $3 == "ns" ? 1e-3 : $3 == "ms" ? 1e3 : 1
    us[$1] = $2 * scale; rate[$1] = $4; next
  }
  { early[$1] = $2; late[$1] = $3; peak[$1] = $4 }
  function row(figure, production, reference, ratio, goal) {
    printf "| %-52s | %14s | %14s | %8s | %-16s |\n", figure, production, reference, ratio, goal
  }
  function times(a, b) { return (a > 0 && b > 0) ? sprintf("%.1fx", b / a) : "-" }
  function share(a, b) { return (a > 0 && b > 0) ? sprintf("%.0f%%", 100 * a / b) : "-" }
  function per_s(x) { return x > 0 ? sprintf("%.0f /s", x) : "-" }
  END {
    row("figure (median)", "production", "reference", "ratio", "goal")
    row("---", "---", "---", "---", "---")
    e = us["WorldPassEngine/1000"]; o = us["WorldPassOracle/1000"]
    row("engine pass GRO 1000 (wrap,step,count,commit)", sprintf("%.1f us", e), sprintf("%.0f us", o), times(e, o), "<= 40 us, >= 100x")
    e = us["ColourEngine/1000"]; o = us["ColourOracle/1000"]
    row("colouring GRO 1000 (ref: literal scan)", sprintf("%.3f ms", e / 1e3), sprintf("%.1f ms", o / 1e3), times(e, o), "<= 0.4 ms")
    row("morvane passes, running (ref: engine only)", per_s(rate["m:Morvane/0"]), per_s(rate["m:MorvaneEngineOnly/0"]), share(rate["m:Morvane/0"], rate["m:MorvaneEngineOnly/0"]), ">= 30000 /s")
    row("morvane passes, stagnated (ref: engine only)", per_s(rate["m:Morvane/1"]), per_s(rate["m:MorvaneEngineOnly/1"]), share(rate["m:Morvane/1"], rate["m:MorvaneEngineOnly/1"]), ">= 30000 /s")
    row("morvane_display passes (ref: pause only)", per_s(rate["d:MorvaneDisplay"]), per_s(rate["d:PauseOnly"]), share(rate["d:MorvaneDisplay"], rate["d:PauseOnly"]), ">= 90%")
    row("morvane_display2 passes (ref: pause only)", per_s(rate["d2:MorvaneDisplay2"]), per_s(rate["d2:PauseOnly"]), share(rate["d2:MorvaneDisplay2"], rate["d2:PauseOnly"]), ">= 75%")
    for (p in peak) {
      row(p " peak memory (ref: RSS 3 s -> " seconds " s)", sprintf("%.1f MiB", peak[p] / 1024), sprintf("%.1f -> %.1f", early[p] / 1024, late[p] / 1024), "", "flat")
    }
  }
' "$out/engine" "$out/programs" "$out/memory"
echo "($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); engine: CPU time; programs: passes per real second, in-process front ends on SDL2 under X)"
