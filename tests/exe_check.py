#!/usr/bin/env python3
"""Checks a Windows build by reading its files, without running them. Both programs: the word
size, imports from Windows' own DLLs only and none that Windows XP lacks, and the size bound.
wordrope.exe also: the GUI subsystem, the version record, the application manifest and the icon.

Usage: exe_check.py win32|win64 wordrope.exe wlstcheck.exe
"""
import struct
import sys

# DLLs that every Windows since XP has: a static build needs no other.
WINDOWS_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL", "SHELL32.DLL"}
MACHINE = {"win32": (0x14C, 0x10B), "win64": (0x8664, 0x20B)}  # machine, optional-header magic
MAX_BYTES = 300 * 1024  # the runtime alone, with exceptions and strings, takes about 230 KB
# Functions of those DLLs that came after Windows XP and that a MinGW runtime may pull in.
NOT_ON_XP = {
    "AcquireSRWLockExclusive", "AcquireSRWLockShared", "AddDllDirectory", "CancelIoEx", "CompareStringEx",
    "CreateSymbolicLinkW", "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "GetDpiForWindow", "GetErrorMode",
    "GetFileInformationByHandleEx", "GetFinalPathNameByHandleW", "GetLocaleInfoEx", "GetSystemTimePreciseAsFileTime",
    "GetThreadId", "GetTickCount64", "GetUserDefaultLocaleName", "InitOnceExecuteOnce", "InitializeConditionVariable",
    "InitializeSRWLock", "LCMapStringEx", "QueryFullProcessImageNameW", "ReleaseSRWLockExclusive",
    "ReleaseSRWLockShared", "SetDefaultDllDirectories", "SetProcessDPIAware", "SetProcessDpiAwarenessContext",
    "SetThreadErrorMode", "SleepConditionVariableCS", "SleepConditionVariableSRW", "WakeAllConditionVariable",
    "WakeConditionVariable"}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
MANIFEST_MUST_SAY = ('level="asInvoker"', ">true</dpiAware>", ">true</longPathAware>", "supportedOS")


class PeFile:
    """The parts of a PE file this check reads."""

    def __init__(self, data):
        self.data = data
        pe = self.u32(0x3C)
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, self.timestamp = struct.unpack_from("<HHI", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        directories = opt + (112 if self.magic == 0x20B else 96)
        self.dirs = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = opt + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for vsize, va, raw_size, raw in self.sections:
            if va <= rva < va + max(vsize, raw_size):
                return raw + rva - va
        raise ValueError(f"address {rva:#x} lies in no section")

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """{DLL name in capitals: [function names]}"""
        width = 8 if self.magic == 0x20B else 4
        out = {}
        entry = self.offset(self.dirs[1][0])
        while True:
            lookup, _, _, name, bound = struct.unpack_from("<IIIII", self.data, entry)
            if not name:
                return out
            functions, thunk = [], self.offset(lookup or bound)
            while value := int.from_bytes(self.data[thunk:thunk + width], "little"):
                by_ordinal = value >> (8 * width - 1)
                functions.append(f"#{value & 0xFFFF}" if by_ordinal else self.text(value + 2))
                thunk += width
            out[self.text(name).upper()] = functions
            entry += 20

    def resources(self):
        """{type: {id: bytes of its first language}}"""
        if not self.dirs[2][0]:
            return {}
        root = self.offset(self.dirs[2][0])

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, directory + 16 + 8 * i)

        out = {}
        for kind, names in entries(root):
            out[kind] = {}
            for ident, languages in entries(root + (names & 0x7FFFFFFF)):
                _, leaf = next(entries(root + (languages & 0x7FFFFFFF)))
                rva, size = struct.unpack_from("<II", self.data, root + leaf)
                out[kind][ident] = self.data[self.offset(rva):self.offset(rva) + size]
        return out


def version_strings(record):
    """The fixed file version and the StringFileInfo values of a version record."""
    fixed = record.index(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", record, fixed + 8)
    values = {}
    for key in ("FileVersion", "ProductVersion"):
        at = record.find(key.encode("utf-16-le") + b"\0\0")
        if at >= 0:
            start = at + 2 * len(key) + 2
            start += start % 4  # values are aligned to 32 bits
            end = record.index(b"\0\0", start)
            end += (end - start) % 2
            values[key] = record[start:end].decode("utf-16-le")
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), values


def program_problems(arch, pe, size):
    """What both programs must be."""
    machine, magic = MACHINE[arch]
    if (pe.machine, pe.magic) != (machine, magic):
        yield f"machine {pe.machine:#x} with header {pe.magic:#x}, not {arch}"
    imports = pe.imports()
    for dll in sorted(set(imports) - WINDOWS_DLLS):
        yield f"imports {dll}, which is not one of Windows' own DLLs"
    for dll, functions in sorted(imports.items()):
        for function in sorted(NOT_ON_XP.intersection(functions)):
            yield f"imports {function} from {dll}, which Windows XP lacks"
    if size > MAX_BYTES:
        yield f"{size:,} bytes, over the bound of {MAX_BYTES:,}"


def game_problems(pe):
    """What only the game must be."""
    res = pe.resources()
    if RT_VERSION not in res:
        yield "no version record"
    else:
        fixed, values = version_strings(next(iter(res[RT_VERSION].values())))
        if fixed[:2] != (1, 0):
            yield f"file version {fixed}, not 1.0"
        for key in ("FileVersion", "ProductVersion"):
            if values.get(key) != "1.00":
                yield f"{key} {values.get(key)!r}, not '1.00'"
    manifest = res.get(RT_MANIFEST, {}).get(1, b"").decode("utf-8", "replace")
    for words in MANIFEST_MUST_SAY:
        if words not in manifest:
            yield f"the application manifest lacks {words}"
    groups = res.get(RT_GROUP_ICON, {})
    if not groups:
        yield "no icon"
    for group in groups.values():
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = sorted((group[6 + 14 * i] or 256, group[7 + 14 * i] or 256) for i in range(count))
        if sizes != [(16, 16), (32, 32)]:
            yield f"icon sizes {sizes}, not 16 x 16 and 32 x 32"
        ids = {struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(count)}
        if not ids <= set(res.get(RT_ICON, {})):
            yield "the icon group names images that are not there"


def main():
    arch, game, checker = sys.argv[1:4]
    failed = False
    for path in (game, checker):
        with open(path, "rb") as f:
            data = f.read()
        pe = PeFile(data)
        found = list(program_problems(arch, pe, len(data)))
        if path == game:
            found += list(game_problems(pe))
        for p in found:
            print(f"{path}: {p}")
        if not found:
            print(f"{path}: {arch}, {len(data):,} bytes, imports {', '.join(sorted(pe.imports()))}: good")
        failed = failed or bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
