#!/usr/bin/env bash
# Installs, with apt-get, every Debian package that building, running and
# testing morvane needs, and nothing when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config   # compiler and build system
  libsdl2-dev                        # real windows (the SDL2 backend of the platform layer)
  console-setup-linux                # the PSF console fonts embedded at build time
  libgtest-dev libgmock-dev          # unit tests
  libbenchmark-dev                   # benchmarks
  libx11-dev libx11-xcb-dev          # the SDL backend's X error handlers; end-to-end tests drive X windows
  xvfb openbox x11-utils             # a real X server without a screen, a window manager, xdpyinfo and xprop
  imagemagick                        # screenshots as PNG for people to look at
  g++-mingw-w64-i686-posix           # Windows builds, 32-bit (posix threads: std::thread)
  g++-mingw-w64-x86-64-posix         # Windows builds, 64-bit
  googletest                         # GoogleTest sources, built for Windows
  wine wine64                        # runs the 64-bit Windows build's tests and programs
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
