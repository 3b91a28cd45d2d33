#!/usr/bin/python3
"""Writes the module-definition file of a stand-in for a DLL: every name and ordinal the DLL at
DLL exports, each bound to the stand-in's one stub, so that a program that imports the DLL loads
the stand-in in its place. Usage: exports.py DLL OUT. Debian's own Python runs it, with its pefile.
"""
import sys

import pefile

dll, out = sys.argv[1:3]
pe = pefile.PE(dll, fast_load=True)
pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"]])
with open(out, "w") as f:
    f.write("EXPORTS\n")
    for e in pe.DIRECTORY_ENTRY_EXPORT.symbols:
        name = e.name.decode() if e.name else f"ordinal{e.ordinal}"
        f.write(f"  {name} = planted_stub @{e.ordinal}{'' if e.name else ' NONAME'}\n")
