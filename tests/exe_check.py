#!/usr/bin/python3
"""Checks a Windows build by reading its files, without running them. Both programs: the word
size and imports from Windows' own DLLs only; wordrope.exe also the GUI subsystem, the version
record, the application manifest and the icon. The 32-bit build also keeps what a release
promises (scripts/release.py): no import that Windows XP lacks, and the size bound.

Usage: exe_check.py win32|win64 TOOLCHAIN RELEASE_TOOLCHAIN NOT_HELD OBJDUMP wordrope.exe wlstcheck.exe
TOOLCHAIN is "release" for the toolchain releases are built with (RELEASE_TOOLCHAIN, in words);
for any other (its name), what a release promises is not required: the promises this build does
not keep are written as one line to the file NOT_HELD (removed when it keeps them all), and the
check passes. OBJDUMP is the toolchain's disassembler. Debian's own Python runs it, with its pefile (python3-pefile).
"""
import os
import struct
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "scripts"))
from release import imports, promises_broken  # noqa: E402  what a release promises, stated once

WINDOWS_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL", "SHELL32.DLL", "OLE32.DLL",
                "OLEAUT32.DLL", "OLEACC.DLL", "COMCTL32.DLL"}
MACHINE = {"win32": (0x14C, 0x10B), "win64": (0x8664, 0x20B)}  # machine, optional-header magic
MANIFEST_SAYS = ('level="asInvoker"', ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                 ">true</longPathAware>", "supportedOS", 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"')
RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24


def resources(pe):
    """{type: {id: bytes of its first language}}"""
    out, root = {}, getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else []:
        for item in kind.directory.entries:
            data = item.directory.entries[0].data.struct
            out.setdefault(kind.id, {})[item.id] = pe.get_data(data.OffsetToData, data.Size)
    return out


def version_record(pe):
    """The strings of the version record."""
    return {key.decode(): value.decode() for info in getattr(pe, "FileInfo", [[]])[0]
            if info.Key == b"StringFileInfo" for table in info.StringTable for key, value in table.entries.items()}


def problems(arch, pe, game):
    machine = (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic)
    if machine != MACHINE[arch]:
        yield f"machine {machine[0]:#x} with header {machine[1]:#x}, not {arch}"
    for dll in sorted(imports(pe)):
        if dll not in WINDOWS_DLLS:
            yield f"imports {dll}, which is not one of Windows' own DLLs"
    if not game:
        return
    if pe.OPTIONAL_HEADER.Subsystem != 2:
        yield f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, not the Windows GUI"
    record = version_record(pe)
    yield from (f"the version record has no {key} 1.00" for key in ("FileVersion", "ProductVersion")
                if record.get(key) != "1.00")
    if "InitCommonControlsEx" not in imports(pe).get("COMCTL32.DLL", []):
        yield "does not call InitCommonControlsEx, without which Windows XP makes no themed button"
    res = resources(pe)
    manifest = res.get(RT_MANIFEST, {}).get(1, b"").decode("utf-8", "replace")
    yield from (f"the application manifest lacks {words}" for words in MANIFEST_SAYS if words not in manifest)
    for group in res.get(RT_GROUP_ICON, {None: b"\0" * 6}).values():
        count = struct.unpack_from("<H", group, 4)[0]
        entries = [struct.unpack_from("<BB10xH", group, 6 + 14 * i) for i in range(count)]
        if sorted((w, h) for w, h, _ in entries) != [(16, 16), (32, 32)]:
            yield f"icon sizes {[(w, h) for w, h, _ in entries]}, not 16 x 16 and 32 x 32"
        if not {i for _, _, i in entries} <= set(res.get(RT_ICON, {})):
            yield "the icon names images that are not there"


def main():
    arch, toolchain, release_toolchain, not_held, objdump, game, checker = sys.argv[1:8]
    failed, broken = False, []
    for path in (game, checker):
        with open(path, "rb") as f:
            data = f.read()
        pe = pefile.PE(data=data)
        found = list(problems(arch, pe, path == game))
        promises = list(promises_broken(pe, len(data), path, objdump)) if arch == "win32" else []  # a release is 32-bit
        if toolchain == "release":
            found += promises
        else:
            broken += [f"{os.path.basename(path)} {p}" for p in promises]
        print("\n".join(f"{path}: {p}" for p in found) or
              f"{path}: {arch}, {len(data):,} bytes, imports {', '.join(sorted(imports(pe)))}: good")
        failed = failed or bool(found)
    if broken:
        line = (f"{toolchain} is not the release toolchain, and this build is no release: {'; '.join(broken)}; "
                f"releases are built with {release_toolchain}")
        print(line)
        with open(not_held, "w") as f:
            f.write(line + "\n")
    elif os.path.exists(not_held):
        os.remove(not_held)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
