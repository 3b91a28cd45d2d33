#!/usr/bin/python3
"""Points the load-configuration directory of a program just linked at its _load_config_used, as
GNU ld does itself only from 2.45 on (system/load_config.cpp); its size is the structure's own.

Usage: load_config.py PROGRAM MAP   (MAP: the linker's map of PROGRAM, which gives the address)
Debian's own Python runs it, with its pefile (python3-pefile).
"""
import re
import sys

import pefile


def main():
    program, map_file = sys.argv[1:3]
    with open(map_file) as f:
        address = int(re.search(r"(0x[0-9a-f]+)\s+_+load_config_used\b", f.read()).group(1), 16)
    pe = pefile.PE(program)
    rva = address - pe.OPTIONAL_HEADER.ImageBase
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG"]]
    entry.VirtualAddress, entry.Size = rva, pe.get_dword_at_rva(rva)
    data = pe.write()
    pe.close()
    with open(program, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
