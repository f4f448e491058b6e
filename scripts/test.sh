#!/usr/bin/env bash
# Installs what is missing, builds morvane and runs every test: once in a
# normal build and once more under AddressSanitizer + UndefinedBehaviorSanitizer.
# Tests that need windows run on an X display (scripts/with-x.sh). The Windows
# builds come too: the 32-bit one is compiled and linked (this machine cannot run
# it), the 64-bit one's tests and programs run under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build-windows.sh" i686 "$root/build-win32" -DMORVANE_TESTS=ON
"$root/scripts/build-windows.sh" x86_64 "$root/build-win64" -DMORVANE_TESTS=ON
"$root/scripts/build.sh" "$root/build" -DMORVANE_TESTS=ON -DMORVANE_BENCH=ON \
  -DMORVANE_WINDOWS_BUILD="$root/build-win64"
"$root/scripts/build.sh" "$root/build-asan" -DMORVANE_SANITIZE=ON -DMORVANE_TESTS=ON -DMORVANE_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Wine's server and its desktop outlive their programs for a few seconds; each stage
# has an X display of its own, so they end with each stage's tests.
end_wine() { WINEPREFIX="$root/build-win64/wineprefix" wineserver -k 2>/dev/null || true; }
trap end_wine EXIT
for dir in build-win64 build build-asan; do
  echo "== tests in $dir"
  "$root/scripts/with-x.sh" ctest --test-dir "$root/$dir" --output-on-failure -j2 --timeout 300
  end_wine
done
