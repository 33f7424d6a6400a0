#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only what is missing,
# saying which package it is at. Safe to run again.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

packages=(
  cmake make g++ python3 locales zlib1g-dev
  libgtest-dev libgmock-dev libboost1.81-dev
  g++-mingw-w64-i686-posix
  wine wine32:i386 fonts-wine fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai
  xvfb xauth
  lame sox pulseaudio python3-numpy imagemagick
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "==> Installing ${#missing[@]} packages and what they need: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  echo "==> Reading Debian's package lists"
  $SUDO apt-get update -qq
  # One line per package downloaded and set up; apt's errors go to stderr as they are.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" |
    awk '/^Get:[0-9]+/ { printf "    downloading %s\n", $5; fflush() }
         /^Setting up / { n++; printf "    [%d] set up %s\n", n, $3; fflush() }'
fi

# Wine takes its code page from the Unix locale: the programs need 936 (GBK).
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.gbk'; then
  echo "==> Generating the zh_CN.GBK locale"
  $SUDO localedef -i zh_CN -f GBK zh_CN.GBK
fi
