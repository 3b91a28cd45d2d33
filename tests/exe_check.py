#!/usr/bin/python3
"""Checks a Windows build by reading its files, without running them, against the rules of
scripts/exe_rules.py (ctest puts it on PYTHONPATH): what every build must be (the word size, known
DLLs alone imported, the load configuration and the stack protector; for wordrope.exe also the GUI
subsystem, the version record, Common Controls, the application manifest and the icon); the 32-bit
build also against what a release promises (no import that Windows XP lacks, no SSE, the size bound).

Usage: exe_check.py win32|win64 TOOLCHAIN RELEASE_TOOLCHAIN NOT_HELD OBJDUMP PROGRAM...
TOOLCHAIN is "release" for the toolchain releases are built with (RELEASE_TOOLCHAIN, in words);
for any other (its name), what a release promises is not required: the promises this build does
not keep are written as one line to the file NOT_HELD (removed when it keeps them all), and the
check passes. OBJDUMP is the toolchain's disassembler. Debian's own Python runs it, with its pefile (python3-pefile).
"""
import os
import sys

from exe_rules import check


def main():
    arch, toolchain, release_toolchain, not_held, objdump, *programs = sys.argv[1:]
    lines, failed, broken = check(arch, programs, objdump, toolchain == "release")
    if broken:
        lines.append(f"{toolchain} is not the release toolchain, and this build is no release: {broken}; "
                     f"releases are built with {release_toolchain}")
        with open(not_held, "w") as f:
            f.write(lines[-1] + "\n")
    elif os.path.exists(not_held):
        os.remove(not_held)
    print("\n".join(lines))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
