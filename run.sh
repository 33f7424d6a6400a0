#!/usr/bin/env bash
# Installs what is missing, builds, and starts one of the programs under Wine:
#   bash run.sh Pellarine     or     bash run.sh Cordivane
set -euo pipefail
cd "$(dirname "$0")"
name="${1:-Pellarine}"
case "$name" in Pellarine|Cordivane) ;; *) echo "usage: bash run.sh Pellarine|Cordivane" >&2; exit 2 ;; esac

bash tools/install-deps.sh
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DWITH_WIN32=ON >/dev/null
cmake --build build/run -j"$(nproc)" >/dev/null

export LANG=zh_CN.GBK LC_ALL=zh_CN.GBK WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$PWD/build/run/wineprefix}"
if [ ! -d "$WINEPREFIX" ]; then
  python3 tests/e2e/bench.py prepare-prefix "$WINEPREFIX"
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting Xvfb on :99 (look at it with a VNC viewer or screenshots)"
  Xvfb :99 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:99
fi
exec wine "build/run/win32/bin/$name.exe"
