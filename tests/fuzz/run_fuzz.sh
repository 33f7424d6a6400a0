#!/usr/bin/env bash
# Runs one fuzz target for as long as asked, from seeds our own tools make
# (made once per build folder) and a corpus that grows across runs.
#
#   run_fuzz.sh TARGET SECONDS [FUZZ_BUILD_DIR] [-- extra libFuzzer flags]
#
# TARGET is mp3_reader, counter_page or counter_host. Exits non-zero when the
# target finds a crash, a leak, undefined behaviour or a broken promise; the
# input that did it is left in FUZZ_BUILD_DIR/artifacts/.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
target="$1"; seconds="$2"; shift 2
build="${here}/../../build/test/fuzz"
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build="$1"; shift; fi
[ "${1:-}" = "--" ] && shift
build="$(cd "$build" && pwd)"

case "$target" in
  mp3_reader) dict=mp3.dict; max_len=65536 ;;
  counter_page|counter_host) dict=counter_page.dict; max_len=4096 ;;
  *) echo "unknown target $target" >&2; exit 2 ;;
esac

seeds="$build/seeds"
if [ ! -d "$seeds/$target" ]; then
  /usr/bin/python3 "$here/make_seeds.py" "$seeds.tmp" --image-host "$(cat "$build/image_host" 2>/dev/null || echo img.counter.test)"
  rm -rf "$seeds"; mv "$seeds.tmp" "$seeds"
fi
corpus="$build/corpus/$target"
mkdir -p "$corpus" "$build/artifacts"

exec "$build/${target}_fuzz" "$corpus" "$seeds/$target" \
  -dict="$here/$dict" -max_len="$max_len" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$build/artifacts/${target}-" "$@"
