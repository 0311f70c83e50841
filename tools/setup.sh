#!/bin/bash
# Installs what the build and the tests need on a Debian 12 machine, only what
# is missing, and prepares the locales the tests run Wine in: ja_JP.UTF-8
# (code page 932), en_US.UTF-8 (1252), zh_CN.UTF-8 (936) and hi_IN.UTF-8
# (65001); see tools/wine-env.sh.
set -euo pipefail
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

packages=(
  # Builds: host g++ and CMake, the mingw-w64 cross compiler, GoogleTest,
  # Google Benchmark, clang for the fuzzers, Python for generated assets.
  build-essential cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools
  libgtest-dev libgmock-dev googletest libbenchmark-dev clang libclang-rt-14-dev python3
  # Wine and what its X11 driver loads at run time (recommended packages,
  # which --no-install-recommends would leave out), its own fonts, and a
  # Japanese font.
  wine wine64 fonts-wine fonts-ipafont-gothic
  libxrender1 libxcursor1 libxi6 libxrandr2 libxinerama1 libxcomposite1 libxfixes3 libxext6
  # Virtual displays and screenshots.
  xvfb x11-utils xauth imagemagick
  # The locales, and the test network.
  locales iproute2 nftables util-linux procps hostname
  # The zip for Windows users (make dist), unzip to look into it, and the
  # check of the Linux desktop entry (make install-linux).
  zip unzip desktop-file-utils
)
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need=()
for p in "${packages[@]}"; do
  have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
for name in ja_JP en_US zh_CN hi_IN; do
  if ! locale -a 2>/dev/null | grep -qi "^$name\.utf-\?8\$"; then
    echo "setup: generating the $name.UTF-8 locale"
    $SUDO localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
