#!/usr/bin/env python3
"""Checks that each program, and the skin library they carry, is a 32-bit
Windows GUI binary (PE32, i386) that imports only DLLs which ship with
Windows: the C and C++ runtimes are linked in, so copying the .exe alone is
enough."""
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "comctl32.dll", "ole32.dll",
    "oleaut32.dll", "shell32.dll", "winmm.dll", "msacm32.dll", "wininet.dll", "advapi32.dll",
    "msvcrt.dll",
}


def check(objdump, exe):
    out = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    problems = []
    if "file format pei-i386" not in out:
        problems.append("not a PE32 i386 file")
    if "(Windows GUI)" not in out:
        problems.append("not a GUI subsystem program")
    dlls = {line.split(":", 1)[1].strip().lower() for line in out.splitlines() if "DLL Name:" in line}
    foreign = sorted(dlls - SYSTEM_DLLS)
    if foreign:
        problems.append("imports DLLs that do not ship with Windows: " + ", ".join(foreign))
    print(f"{exe}: imports {', '.join(sorted(dlls))}")
    return problems


def main(objdump, *exes):
    failed = 0
    for exe in exes:
        for problem in check(objdump, exe):
            print(f"{exe}: {problem}")
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
