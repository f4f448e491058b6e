#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine with its own prefix, quietly.
#   scripts/wine-run.sh WINEPREFIX PROGRAM.exe [ARGS...]
# The prefix is made on first use. Needs an X display (scripts/with-x.sh).
set -euo pipefail
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
fi
exec wine "$@"
