#!/usr/bin/python3
"""Runs every benchmark and prints one table, each figure beside its
reference measured in the same run:

    /usr/bin/python3 bench/run.py [--build DIR] [--bin DIR] [--rounds N] [--only NAME,...]

DIR is a build tree of this project (default build/test): its win32/bin holds
the programs and the Windows bench programs, its bench/ the native
benchmarks. NAMES: size, startup, sound, page. The Wine figures run on a bench
of their own (tests/e2e/bench.py), set up and torn down here; hold the shared
lock around the run on a shared machine. Debian's python3, for numpy.
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
import bench  # noqa: E402


class Table:
    def __init__(self):
        self.rows = []

    def add(self, section, figure, value, reference=""):
        self.rows.append((section, figure, value, reference))
        print("  %-34s %-28s %s" % (figure, value, reference), flush=True)

    def print(self):
        widths = [max(len(r[i]) for r in self.rows + [("Part", "Figure", "Now", "Reference")]) for i in range(4)]
        line = "| " + " | ".join("%%-%ds" % w for w in widths) + " |"
        print()
        print(line % ("Part", "Figure", "Now", "Reference"))
        print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
        for row in self.rows:
            print(line % row)


def median(values):
    return statistics.median(values) if values else float("nan")


# ---- sizes ------------------------------------------------------------------

def sizes(table, bin_dir):
    bare = (bin_dir / "barewindow.exe").stat().st_size
    for name, target in (("Pellarine.exe", "500 KB"), ("Cordivane.exe", "1 MiB")):
        size = (bin_dir / name).stat().st_size
        table.add("size", name, "%.0f KB" % (size / 1024),
                  "target <= %s; bare program %.0f KB" % (target, bare / 1024))


# ---- the counter page search (a native benchmark, when it is built) ------------

def page(table, build):
    exe = build / "bench" / "hit_count_bench"
    if not exe.exists():
        table.add("page", "counter page search", "not built", "(bench/hit_count_bench.cpp)")
        return
    out = subprocess.run([str(exe)], capture_output=True, text=True, timeout=300).stdout
    for line in out.strip().splitlines():
        table.add("page", "counter page search", line.strip())


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/test")
    parser.add_argument("--bin", help="the Windows programs to measure, if not DIR/win32/bin")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--only", default="size,startup,sound,page")
    args = parser.parse_args(argv)
    build = Path(args.build).resolve()
    bin_dir = Path(args.bin).resolve() if args.bin else build / "win32" / "bin"
    only = set(args.only.split(","))
    table = Table()
    if "size" in only:
        sizes(table, bin_dir)
    if only & {"startup", "sound"}:
        import wine_bench  # numpy and Wine only when asked for
        with tempfile.TemporaryDirectory(prefix="zv-bench-") as state_dir:
            bench.setup(state_dir, str(bin_dir))
            os.environ["ZV_E2E_STATE"] = state_dir
            try:
                state = bench.State(state_dir)
                if "startup" in only:
                    wine_bench.startup(table, state, args.rounds)
                if "sound" in only:
                    wine_bench.sound(table, state, args.rounds)
            finally:
                bench.teardown(state_dir)
    if "page" in only:
        page(table, build)
    table.print()


if __name__ == "__main__":
    main()
