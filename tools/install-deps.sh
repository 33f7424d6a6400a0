#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, quietly and only what
# is missing. Safe to run again.
set -euo pipefail

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

packages=(
  cmake make g++ python3 locales
  libgtest-dev libgmock-dev libboost1.81-dev
  g++-mingw-w64-i686-posix
  wine wine32:i386 fonts-wine fonts-wqy-microhei
  xvfb xauth
  lame sox pulseaudio python3-numpy imagemagick
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its code page from the Unix locale: the programs need 936 (GBK).
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.gbk'; then
  $SUDO localedef -i zh_CN -f GBK zh_CN.GBK
fi
