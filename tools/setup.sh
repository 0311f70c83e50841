#!/bin/bash
# Installs what the build and the tests need on a Debian 12 machine, only what
# is missing, and prepares the locale Wine needs for code page 932.
set -euo pipefail
need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in build-essential cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools \
         wine wine64 xvfb x11-utils xauth imagemagick fonts-ipafont-gothic locales \
         libgtest-dev libgmock-dev googletest libbenchmark-dev clang libclang-rt-14-dev \
         python3 iproute2 nftables util-linux procps; do
  have_pkg "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || true
fi
