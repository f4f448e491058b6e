#!/usr/bin/env bash
# Installs what is missing, builds morvane and runs one of its programs.
#   scripts/run.sh [morvane | morvane_display | morvane_display2]   (default: morvane)
# With a working X display the program opens its window there and runs until
# you end it (Ctrl+C). Without one it runs for a few seconds on a virtual
# screen (Xvfb) and writes a screenshot PNG, whose path it prints.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-morvane}
case "$program" in
  morvane | morvane_display | morvane_display2) ;;
  *) echo "usage: $0 [morvane | morvane_display | morvane_display2]" >&2; exit 2 ;;
esac
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target "$program"
binary="$root/build/programs/$program/$program"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$binary"
fi

shot="$root/out/$program.png"
mkdir -p "$root/out"
seconds=${MORVANE_SHOT_SECONDS:-4}
"$root/scripts/with-x.sh" bash -c '
  "$1" & pid=$!
  sleep "$3"
  import -window root "$2"
  kill "$pid"; wait "$pid" 2>/dev/null || true
' _ "$binary" "$shot" "$seconds"
echo "no display here: $program ran for ${seconds}s on a virtual screen; screenshot: $shot"
