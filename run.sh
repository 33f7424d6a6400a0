#!/usr/bin/env bash
# Installs what is missing, builds, and starts one of the programs under Wine:
#   bash run.sh Pellarine     or     bash run.sh Cordivane
# With no display it starts Xvfb; the Wine prefix and helpers it sets up are
# torn down when the program ends.
set -euo pipefail
cd "$(dirname "$0")"
name="${1:-Pellarine}"
case "$name" in Pellarine|Cordivane) ;; *) echo "usage: bash run.sh Pellarine|Cordivane" >&2; exit 2 ;; esac

bash tools/install-deps.sh
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DWITH_WIN32=ON >/dev/null
cmake --build build/run -j"$(nproc)" >/dev/null

state="$PWD/build/run/bench"
python3 tests/e2e/bench.py setup "$state" --bin "$PWD/build/run/win32/bin"
trap 'python3 tests/e2e/bench.py teardown "$state"' EXIT
python3 - "$state" "$name" <<'PY'
import os, subprocess, sys
sys.path.insert(0, os.path.join(os.getcwd(), "tests", "e2e"))
import bench
state = bench.State(sys.argv[1])
print(f"{sys.argv[2]} runs on display {state.display}; close its window to end.")
subprocess.call(["wine", state.exe(sys.argv[2] + ".exe")], env=state.wine_env())
PY
