#!/usr/bin/env bash
# Runs a command with an X display: the current one when $DISPLAY works,
# otherwise a fresh Xvfb screen of 1280x1024x24 with the openbox window
# manager, both ended when the command ends.
#   scripts/with-x.sh COMMAND [ARGS...]
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT
# A window mapped while the window manager is still starting may never be managed,
# and SDL waits for ever for it to be shown: wait until the manager has taken the
# screen (it names itself on the root window), then a little longer for it to settle.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
sleep 0.5
status=0
"$@" || status=$?
exit $status
