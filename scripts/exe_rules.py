"""The rules for the Windows programs, read from their files (pefile.PE) without running them: what
every build must be (build_problems), and what a release promises besides (promises_broken).
scripts/release.py and tests/exe_check.py import them; Debian's pefile (python3-pefile) reads the files.
"""
import os
import re
import struct
import subprocess

MAX_BYTES = 250 * 1024  # the runtime alone (unwinder, exception classes, C library) is about 100 KB
# Functions of Windows' DLLs that came after Windows XP and that the programs or their runtime may use.
NOT_ON_XP = set("""AcquireSRWLockExclusive AcquireSRWLockShared AddDllDirectory AdjustWindowRectExForDpi CancelIoEx
    CompareStringEx CreateSymbolicLinkW FlsAlloc FlsFree FlsGetValue FlsSetValue GetDpiForWindow GetErrorMode
    GetFileInformationByHandleEx GetFinalPathNameByHandleW GetLocaleInfoEx GetSystemTimePreciseAsFileTime
    GetThreadId GetTickCount64 GetUserDefaultLocaleName InitOnceExecuteOnce InitializeConditionVariable
    InitializeSRWLock LCMapStringEx QueryFullProcessImageNameW ReleaseSRWLockExclusive ReleaseSRWLockShared
    SetDefaultDllDirectories SetProcessDPIAware SetProcessDpiAwarenessContext SetThreadErrorMode
    SleepConditionVariableCS SleepConditionVariableSRW SystemParametersInfoForDpi WakeAllConditionVariable
    WakeConditionVariable""".split())
# The DLLs a program may import: known DLLs of every Windows from XP SP3 to 11, which the loader takes
# from the system folder only, never from the program's ("Dynamic-link library search order" and
# KB 164501, Microsoft; the KnownDLLs key of each release). The C runtime, msvcrt.dll, is named in
# the key from Vista on; Windows XP counts it known as an import of the DLLs the key names ("and the
# known DLL's dependent DLLs"). Every other DLL is loaded at run time from the system folder
# (system/dll_search.h).
KNOWN_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "OLE32.DLL", "OLEAUT32.DLL", "MSVCRT.DLL"}
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
MACHINE = {"win32": (0x14C, 0x10B), "win64": (0x8664, 0x20B)}  # machine, optional-header magic
MANIFEST_SAYS = ('level="asInvoker"', ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                 ">true</longPathAware>", "supportedOS", 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"')
RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24


def imports(pe):
    """{DLL in capitals: [function names]} of a pefile.PE"""
    return {entry.dll.decode().upper(): [i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports]
            for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}


def map_of(program):
    """The linker's map of a program of the game folder, build/PRESET/maps/NAME.map (system/CMakeLists.txt)."""
    game = os.path.dirname(os.path.abspath(program))
    return os.path.join(os.path.dirname(game), "maps", os.path.splitext(os.path.basename(program))[0] + ".map")


def sse_instructions(path, objdump):
    """How many instructions of the program at `path` name an SSE register, as `objdump` reads its
    code. The code ends where the linker's map puts the constructor list: the rest of the section
    is tables (constructors, exception handling), which would read as instructions at random."""
    with open(map_of(path)) as f:
        end = re.search(r"(0x[0-9a-f]+)\s+_+CTOR_LIST__ = \.", f.read()).group(1)
    listing = subprocess.run([objdump, "-d", f"--stop-address={end}", path], capture_output=True, text=True,
                             check=True).stdout
    return sum("%xmm" in line for line in listing.splitlines())


def promises_broken(pe, size, path, objdump):
    """What keeps a program (a pefile.PE of `size` bytes, at `path` in a game folder; `objdump` the
    toolchain's disassembler) from being released."""
    for dll, functions in sorted(imports(pe).items()):
        yield from (f"imports {f} from {dll}, which Windows XP lacks" for f in sorted(NOT_ON_XP.intersection(functions)))
    header = pe.OPTIONAL_HEADER
    if (header.MajorSubsystemVersion, header.MinorSubsystemVersion) > (5, 1):
        yield f"asks for Windows {header.MajorSubsystemVersion}.{header.MinorSubsystemVersion} in its header, later than Windows XP"
    if size > MAX_BYTES:
        yield f"{size:,} bytes, over the bound of {MAX_BYTES:,}"
    sse = sse_instructions(path, objdump)
    if sse:
        yield f"holds {sse:,} SSE instructions, which the Pentium Pro lacks"


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


def load_problems(arch, pe, path):
    """What keeps the loader of Windows 10 from 1607 on from taking the program's own imports from
    the system folder only, and its stack from being guarded."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[10]  # the load configuration
    config = getattr(pe, "DIRECTORY_ENTRY_LOAD_CONFIG", None)
    # pefile names the field by its old name (Reserved1) before 2023.
    flags = config and getattr(config.struct, "DependentLoadFlags", getattr(config.struct, "Reserved1", None))
    if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
        yield f"has no load configuration whose dependent load flags are {LOAD_LIBRARY_SEARCH_SYSTEM32:#x}"
    elif arch == "win32" and entry.Size != 64:
        yield f"has a load configuration of {entry.Size} bytes, which Windows XP refuses (it takes 64)"
    with open(map_of(path)) as f:
        if "__stack_chk_guard" not in f.read():
            yield "is built without the stack protector"


def build_problems(arch, pe, path, game):
    """What keeps a program of the build for `arch` (a pefile.PE, at `path` in a game folder; the game
    when `game`) from being what every build must be, whatever its toolchain."""
    machine = (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic)
    if machine != MACHINE[arch]:
        yield f"machine {machine[0]:#x} with header {machine[1]:#x}, not {arch}"
    for dll in sorted(imports(pe)):
        if dll not in KNOWN_DLLS:
            yield f"imports {dll}, which is not a known DLL of every Windows: the one beside it would be loaded"
    yield from load_problems(arch, pe, path)
    if not game:
        return
    if pe.OPTIONAL_HEADER.Subsystem != 2:
        yield f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, not the Windows GUI"
    record = version_record(pe)
    yield from (f"the version record has no {key} 1.00" for key in ("FileVersion", "ProductVersion")
                if record.get(key) != "1.00")
    if b"InitCommonControlsEx\0" not in pe.__data__:
        yield "does not look up InitCommonControlsEx, without which Windows XP makes no themed button"
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


def check(arch, programs, objdump, release):
    """Reads the programs at `programs` of a game folder of the build for `arch` (`objdump` the
    toolchain's disassembler): (a line for each, what it is or what keeps it from what every build
    must be, and for a `release` from what a release promises; whether any is kept so; for another
    toolchain, the promises of a release the programs break, one line, or "")."""
    import pefile  # Debian's python3-pefile, which Debian's own Python has

    lines, failed, broken = [], False, []
    for path in programs:
        with open(path, "rb") as f:
            data = f.read()
        pe = pefile.PE(data=data)
        found = list(build_problems(arch, pe, path, os.path.basename(path) == "wordrope.exe"))
        promises = list(promises_broken(pe, len(data), path, objdump)) if arch == "win32" else []  # 32-bit only
        found += promises if release else []
        broken += [] if release else [f"{os.path.basename(path)} {p}" for p in promises]
        lines += [f"{path}: {p}" for p in found] or [
            f"{path}: {arch}, {len(data):,} bytes, imports {', '.join(sorted(imports(pe)))}: good"]
        failed = failed or bool(found)
    return lines, failed, "; ".join(broken)
