#!/usr/bin/python3
"""The release: the 32-bit game folder packed for players, the same bytes from the same commit.

  release.py zip            build/wordrope-VERSION.zip from the 32-bit game folder as built here
  release.py dist           the same, made with the release toolchain: here if this machine has
                            it, else in a Debian of that release (scripts/in-debian.sh)
  release.py reproducible   builds the 32-bit game again from a copy of this tree, in build/again
                            (configured once; what changed is copied and built again), and
                            compares the programs and the zip byte for byte
  release.py buildinfo OUT FILE...
                            BUILDINFO.txt: the Debian package and version that holds each file
                            named (the compiler, its runtime, the linker, the MinGW-w64 runtime)

What a release promises of its programs: no import that Windows XP lacks, a header that asks for
no later Windows, no SSE instruction (the Pentium Pro has none), and at most
250 KB each; and what every build must be (build_problems). make dist refuses a build that breaks
either; make test reads the same (tests/exe_check.py). Reading the programs takes Debian's pefile.

The zip holds one folder, wordrope/, its members sorted, with fixed times (SOURCE_DATE_EPOCH, else
the last commit's) and permissions, no extra fields, and its texts in CR LF, as Windows' own
editors want them. VERSION comes from window/version.h; the game folder and the release toolchain
from the facts CMake wrote of the 32-bit build (build/win32/facts.txt).
"""
import filecmp
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAMS = ("wordrope.exe", "wlstcheck.exe")
MAX_BYTES = 250 * 1024  # the runtime alone (unwinder, exception classes, terminate handler) is about 150 KB
# Functions of Windows' DLLs that came after Windows XP and that the programs or their runtime may use.
NOT_ON_XP = set("""AcquireSRWLockExclusive AcquireSRWLockShared AddDllDirectory AdjustWindowRectExForDpi CancelIoEx
    CompareStringEx CreateSymbolicLinkW FlsAlloc FlsFree FlsGetValue FlsSetValue GetDpiForWindow GetErrorMode
    GetFileInformationByHandleEx GetFinalPathNameByHandleW GetLocaleInfoEx GetSystemTimePreciseAsFileTime
    GetThreadId GetTickCount64 GetUserDefaultLocaleName InitOnceExecuteOnce InitializeConditionVariable
    InitializeSRWLock LCMapStringEx QueryFullProcessImageNameW ReleaseSRWLockExclusive ReleaseSRWLockShared
    SetDefaultDllDirectories SetProcessDPIAware SetProcessDpiAwarenessContext SetThreadErrorMode
    SleepConditionVariableCS SleepConditionVariableSRW SystemParametersInfoForDpi WakeAllConditionVariable
    WakeConditionVariable""".split())


def imports(pe):
    """{DLL in capitals: [function names]} of a pefile.PE"""
    return {entry.dll.decode().upper(): [i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports]
            for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}


def map_of(program):
    """The linker's map of a program of the game folder: build/PRESET/maps/NAME.map (CMakeLists.txt)."""
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


def build_problems(arch, pe, game):
    """What keeps a program of the build for `arch` (a pefile.PE; the game when `game`) from being what
    every build must be, whatever its toolchain."""
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


def facts(tree=ROOT):
    """What CMake wrote of the 32-bit build of `tree`: its game folder and toolchains."""
    path = os.path.join(tree, "build", "win32", "facts.txt")
    if not os.path.exists(path):
        sys.exit("release: the 32-bit game is not built here: run make win32 first")
    with open(path) as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def check_promises():
    import pefile  # Debian's python3-pefile, which Debian's own Python has

    broken, said = [], facts()
    for name in PROGRAMS:
        path = os.path.join(said["game"], name)
        with open(path, "rb") as f:
            data = f.read()
        pe = pefile.PE(data=data)
        broken += [f"{name} {p}" for p in [*build_problems("win32", pe, name == PROGRAMS[0]),
                                           *promises_broken(pe, len(data), path, said["objdump"])]]
    if broken:
        sys.exit(f"dist: no release: {'; '.join(broken)}")


def version():
    with open(os.path.join(ROOT, "window", "version.h")) as f:
        return re.search(r'#define WORDROPE_VERSION "([^"]*)"', f.read()).group(1)


def zip_name():
    return os.path.join("build", f"wordrope-{version()}.zip")


def run(*command, **options):
    subprocess.run(command, check=True, cwd=options.pop("cwd", ROOT), **options)


def epoch():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    return int(out.stdout.strip() or 315532800)  # 1980, the first time a zip can tell


def make_zip(tree=ROOT):
    game, out = facts(tree)["game"], os.path.join(tree, zip_name())
    stamp = time.gmtime(max(epoch(), 315532800))[:6]
    names = sorted(n for n in os.listdir(game) if os.path.isfile(os.path.join(game, n)))
    with zipfile.ZipFile(out + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name in names:
            with open(os.path.join(game, name), "rb") as f:
                data = f.read()
            if name.endswith(".txt"):
                data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            info = zipfile.ZipInfo(f"wordrope/{name}", date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is the one unpacked
            info.external_attr = 0o100644 << 16  # a plain file, rw-r--r--
            z.writestr(info, data)
    os.replace(out + ".part", out)
    print(f"release: {os.path.relpath(out, ROOT)}: {len(names)} files in wordrope/")


def dist():
    said = facts()
    if said["this"] == "release":
        check_promises()
        return make_zip()
    print(f"dist: {said['this']} is not the release toolchain; making the release in Debian {said['debian']}")
    run("scripts/in-debian.sh", "--copy-out", zip_name(), said["debian"], "make", "dist")
    print(f"dist: {zip_name()}, made with {said['release']} ({digest(os.path.join(ROOT, zip_name()))[:16]}...)")


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def reproducible():
    again = os.path.join(ROOT, "build", "again")
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT, check=True,
                           capture_output=True).stdout.decode().split("\0")
    for name in filter(None, files):
        here, there = os.path.join(ROOT, name), os.path.join(again, name)
        if not os.path.exists(there) or not filecmp.cmp(here, there, shallow=False):
            os.makedirs(os.path.dirname(there), exist_ok=True)
            shutil.copy(here, there)  # newer than what was built from it
    os.environ["SOURCE_DATE_EPOCH"] = str(epoch())  # the copy has no history: both take this commit's time
    quiet = {"stdout": subprocess.DEVNULL, "cwd": again}
    if not os.path.exists(os.path.join(again, "build", "win32", "build.ninja")):
        run("cmake", "--preset", "win32", "-DWORDROPE_TESTS=OFF", **quiet)
    run("cmake", "--build", "--preset", "win32", **quiet)
    make_zip(ROOT)
    make_zip(again)
    differ = False
    game = os.path.relpath(facts()["game"], ROOT)
    for name in [os.path.join(game, p) for p in PROGRAMS] + [zip_name()]:
        here, there = digest(os.path.join(ROOT, name)), digest(os.path.join(again, name))
        if here == there:
            print(f"reproducible: {name} {here}")
        else:
            print(f"reproducible: {name} differs between two builds: {here} here, {there} in build/again")
            differ = True
    if differ:
        sys.exit(1)


def buildinfo(out, files):
    lines = ["The Windows programs in this folder were built with:"]
    for name in files:
        owner = subprocess.run(["dpkg-query", "-S", os.path.realpath(name)], capture_output=True, text=True)
        package = owner.stdout.split(":")[0] if owner.returncode == 0 else ""
        if package:
            said = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True, text=True)
            line = f"{package} {said.stdout}"
        else:
            said = subprocess.run([name, "--version"], capture_output=True, text=True)
            line = (said.stdout.splitlines() or [name])[0]
        if line not in lines:
            lines.append(line)
    text = "\n".join(lines) + "\n"
    # Left as it is when nothing changed, so that a build after a configure has nothing to copy.
    if not os.path.exists(out) or open(out).read() != text:
        with open(out, "w") as f:
            f.write(text)


def main():
    command = sys.argv[1:2]
    if command == ["zip"]:
        make_zip()
    elif command == ["dist"]:
        dist()
    elif command == ["reproducible"]:
        reproducible()
    elif command == ["buildinfo"] and len(sys.argv) > 3:
        buildinfo(sys.argv[2], sys.argv[3:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
