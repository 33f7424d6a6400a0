# Shared by run.sh and test.sh, which source it: say what each long step does,
# and build with a progress count.

step() { echo "==> $*"; }

# zv_build BUILD_DIR [more cmake --build arguments]: one line per file built,
# with the build's percentage (the native build's, then the Windows one's);
# if the build fails, its whole output. The whole output is kept in
# BUILD_DIR/build.log either way.
zv_build() {
  local dir="$1"; shift
  local log="$dir/build.log"
  cmake --build "$dir" -j"$(nproc)" "$@" 2>&1 | tee "$log" | awk '
      /Performing build step for .win32./ { print "    the Windows programs (a count of their own):"; fflush() }
      match($0, /^\[ *[0-9]+%\] (Building|Linking) [A-Za-z+ ]*(object|executable|library) /) {
        pct = substr($0, 2, index($0, "]") - 2); gsub(/ /, "", pct)
        n = split($NF, path, "/")
        printf "    %4s  %s\n", pct, path[n]; fflush()
      }' || true
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    cat "$log" >&2
    echo "The build failed: its whole output is above and in $log" >&2
    return 1
  fi
}
