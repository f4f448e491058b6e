#!/usr/bin/env bash
# Cross-builds the Windows programs (and their tests) with mingw-w64, warnings as errors.
#   scripts/build-windows.sh [x86_64 | i686] [BUILD_DIR] [extra cmake arguments...]
# The statically linked .exe files land in BUILD_DIR/programs/<name>/<name>.exe
# (default BUILD_DIR: build-win64 for x86_64, build-win32 for i686).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-x86_64}
case "$arch" in
  x86_64) default_dir="$root/build-win64" ;;
  i686) default_dir="$root/build-win32" ;;
  *) echo "usage: $0 [x86_64 | i686] [BUILD_DIR] [cmake arguments...]" >&2; exit 2 ;;
esac
dir=${2:-$default_dir}
shift $(($# < 2 ? $# : 2))
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DMORVANE_WERROR=ON -DMORVANE_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
