#!/usr/bin/env python3
"""Checks a Windows build by reading its files, without running them. Both programs: the word
size and imports from Windows' own DLLs only; wordrope.exe also the GUI subsystem, the version
record, the application manifest and the icon. The 32-bit build also keeps what a release
promises: no import that Windows XP lacks, and the size bound.

Usage: exe_check.py win32|win64 TOOLCHAIN NOT_HELD wordrope.exe wlstcheck.exe
TOOLCHAIN is "release" for the toolchain releases are built with; for any other (its name), what
a release promises is not required: the promises this build does not keep are written as one
line to the file NOT_HELD (removed when it keeps them all), and the check passes.
"""
import os
import struct
import sys

WINDOWS_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL", "SHELL32.DLL", "OLE32.DLL",
                "OLEAUT32.DLL", "OLEACC.DLL"}
MACHINE = {"win32": (0x14C, 0x10B), "win64": (0x8664, 0x20B)}  # machine, optional-header magic
MAX_BYTES = 250 * 1024  # the runtime alone (unwinder, exception classes, terminate handler) is about 150 KB
# Functions of those DLLs that came after Windows XP and that a MinGW runtime may pull in.
NOT_ON_XP = set("""AcquireSRWLockExclusive AcquireSRWLockShared AddDllDirectory AdjustWindowRectExForDpi CancelIoEx CompareStringEx
    CreateSymbolicLinkW FlsAlloc FlsFree FlsGetValue FlsSetValue GetDpiForWindow GetErrorMode
    GetFileInformationByHandleEx GetFinalPathNameByHandleW GetLocaleInfoEx GetSystemTimePreciseAsFileTime
    GetThreadId GetTickCount64 GetUserDefaultLocaleName InitOnceExecuteOnce InitializeConditionVariable
    InitializeSRWLock LCMapStringEx QueryFullProcessImageNameW ReleaseSRWLockExclusive ReleaseSRWLockShared
    SetDefaultDllDirectories SetProcessDPIAware SetProcessDpiAwarenessContext SetThreadErrorMode SystemParametersInfoForDpi
    SleepConditionVariableCS SleepConditionVariableSRW WakeAllConditionVariable WakeConditionVariable""".split())
MANIFEST_SAYS = ('level="asInvoker"', ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                 ">true</longPathAware>", "supportedOS")
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        self.machine, sections = struct.unpack_from("<HH", data, pe + 4)
        optional = pe + 24
        self.magic, = struct.unpack_from("<H", data, optional)
        self.subsystem, = struct.unpack_from("<H", data, optional + 68)
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)  # the oldest Windows it runs on
        dirs = optional + (112 if self.magic == 0x20B else 96)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        table = optional + struct.unpack_from("<H", data, pe + 20)[0]
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def at(self, rva):
        """The file offset of an address."""
        return next(raw + rva - va for vsize, va, size, raw in self.sections if va <= rva < va + max(vsize, size))

    def text(self, rva):
        start = self.at(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """{DLL in capitals: [function names]}"""
        width, out, entry = (8 if self.magic == 0x20B else 4), {}, self.at(self.dirs[1][0])
        while (fields := struct.unpack_from("<IIIII", self.data, entry))[3]:
            names, thunk = [], self.at(fields[0] or fields[4])
            while value := int.from_bytes(self.data[thunk:thunk + width], "little"):
                names.append(f"#{value & 0xFFFF}" if value >> (8 * width - 1) else self.text(value + 2))
                thunk += width
            out[self.text(fields[3]).upper()] = names
            entry += 20
        return out

    def resources(self):
        """{type: {id: bytes of its first language}}"""
        root = self.at(self.dirs[2][0])

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, directory + 12)
            return [struct.unpack_from("<II", self.data, directory + 16 + 8 * i) for i in range(named + ids)]
        out = {}
        for kind, names in entries(root):
            for ident, languages in entries(root + (names & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", self.data, root + entries(root + (languages & 0x7FFFFFFF))[0][1])
                out.setdefault(kind, {})[ident] = self.data[self.at(rva):self.at(rva) + size]
        return out


def promises_broken(pe, size):
    """What keeps this program from being released: why Windows XP could not run it, and its size."""
    for dll, functions in sorted(pe.imports().items()):
        yield from (f"imports {f} from {dll}, which Windows XP lacks" for f in sorted(NOT_ON_XP.intersection(functions)))
    if pe.subsystem_version > (5, 1):
        yield "asks for Windows %d.%d in its header, later than Windows XP" % pe.subsystem_version
    if size > MAX_BYTES:
        yield f"{size:,} bytes, over the bound of {MAX_BYTES:,}"


def problems(arch, pe, game):
    if (pe.machine, pe.magic) != MACHINE[arch]:
        yield f"machine {pe.machine:#x} with header {pe.magic:#x}, not {arch}"
    for dll in sorted(pe.imports()):
        if dll not in WINDOWS_DLLS:
            yield f"imports {dll}, which is not one of Windows' own DLLs"
    if not game:
        return
    if pe.subsystem != 2:
        yield f"subsystem {pe.subsystem}, not the Windows GUI"
    res = pe.resources()
    record = next(iter(res.get(RT_VERSION, {}).values()), b"")
    for key in ("FileVersion", "ProductVersion"):  # the value follows its name, aligned to 32 bits
        if "1.00".encode("utf-16-le") + b"\0\0" not in record.partition(key.encode("utf-16-le"))[2][:16]:
            yield f"the version record has no {key} 1.00"
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
    arch, toolchain, not_held, game, checker = sys.argv[1:6]
    failed, broken = False, []
    for path in (game, checker):
        with open(path, "rb") as f:
            data = f.read()
        pe = PeFile(data)
        found = list(problems(arch, pe, path == game))
        promises = list(promises_broken(pe, len(data))) if arch == "win32" else []  # a release is 32-bit
        if toolchain == "release":
            found += promises
        else:
            broken += [f"{os.path.basename(path)} {p}" for p in promises]
        print("\n".join(f"{path}: {p}" for p in found) or
              f"{path}: {arch}, {len(data):,} bytes, imports {', '.join(sorted(pe.imports()))}: good")
        failed = failed or bool(found)
    if broken:
        line = (f"{toolchain} is not the release toolchain, and this build is no release: {'; '.join(broken)}; "
                "releases are built with Debian 12's toolchain (MinGW-w64 GCC 12)")
        print(line)
        with open(not_held, "w") as f:
            f.write(line + "\n")
    elif os.path.exists(not_held):
        os.remove(not_held)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
