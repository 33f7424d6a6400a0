#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows build, and runs
# every test: the native unit tests and the Wine tests in real windows.
set -euo pipefail
cd "$(dirname "$0")"
source tools/build-steps.sh
step "Checking the packages building and testing need"
bash tools/install-deps.sh
step "Configuring the test build in build/test"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DWITH_WIN32=ON \
  -DZV_COUNTER_PAGE_HOST=127.0.0.1:18080 -DZV_COUNTER_IMAGE_HOST=img.counter.test \
  -DZV_PLAYER_HOST=127.0.0.1:18081 >/dev/null
step "Building (a first build takes a few minutes)"
zv_build build/test
step "Running the tests (the Wine tests first prepare a Wine prefix, about 20 s)"
ctest --test-dir build/test --output-on-failure --progress "$@"
