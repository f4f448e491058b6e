#!/usr/bin/env bash
# Installs what is missing, builds morvane and runs every test: once in a
# normal build and once more under AddressSanitizer + UndefinedBehaviorSanitizer.
# Tests that need windows run on an X display (scripts/with-x.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DMORVANE_TESTS=ON -DMORVANE_BENCH=ON
"$root/scripts/build.sh" "$root/build-asan" -DMORVANE_SANITIZE=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for dir in build build-asan; do
  echo "== tests in $dir"
  "$root/scripts/with-x.sh" ctest --test-dir "$root/$dir" --output-on-failure -j2 --timeout 300
done
