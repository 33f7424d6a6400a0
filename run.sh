#!/usr/bin/env bash
# Installs what is missing, builds, and starts one of the programs under Wine:
#   bash run.sh Pellarine     or     bash run.sh Cordivane
# With no display it starts Xvfb; the Wine prefix and helpers it sets up are
# torn down when the program ends.
#   bash run.sh release       makes the folder for Windows users and its zip
#   bash run.sh demo          drives both programs on a virtual screen and
#                             keeps screenshots of each step in build/run/demo
set -euo pipefail
cd "$(dirname "$0")"
source tools/build-steps.sh
name="${1:-Pellarine}"
case "$name" in Pellarine|Cordivane|release|demo) ;; *) echo "usage: bash run.sh Pellarine|Cordivane|release|demo" >&2; exit 2 ;; esac

step "Checking the packages building and running need"
bash tools/install-deps.sh
step "Configuring the release build in build/run"
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DWITH_WIN32=ON >/dev/null
step "Building (a first build takes a few minutes)"
zv_build build/run

if [ "$name" = release ]; then
  step "Making the folder for Windows users"
  zv_build build/run --target release
  echo "The folder and its zip:"; ls -d "$PWD"/build/run/release/Zorvat-*
  exit
fi

state="$PWD/build/run/bench"
step "Preparing Wine: a fresh prefix, the GBK locale and the fonts (about 20 s)"
python3 tests/e2e/bench.py setup "$state" --bin "$PWD/build/run/win32/bin"
trap 'step "Stopping Wine"; python3 tests/e2e/bench.py teardown "$state"' EXIT
if [ "$name" = demo ]; then
  step "Driving both programs through their main road"
  /usr/bin/python3 tools/demo/demo.py "$state" "$PWD/build/run/demo"
  exit
fi
step "Starting $name"
python3 - "$state" "$name" <<'PY'
import os, subprocess, sys
sys.path.insert(0, os.path.join(os.getcwd(), "tests", "e2e"))
import bench
state = bench.State(sys.argv[1])
where = ("on the virtual screen " + state.display + " (nobody sees it)"
         if state.display != os.environ.get("DISPLAY") else "on your screen")
print(f"{sys.argv[2]} runs {where}; close its window to end.", flush=True)
subprocess.call(["wine", state.exe(sys.argv[2] + ".exe")], env=state.wine_env())
PY
