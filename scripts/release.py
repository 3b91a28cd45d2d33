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

What a release promises of its programs, and what every build must be, are the rules of
exe_rules.py: make dist refuses a build that breaks either; make test reads the same
(tests/exe_check.py). Reading the programs takes Debian's pefile.

The zip holds one folder, wordrope/, its members sorted, with fixed times (SOURCE_DATE_EPOCH, else
the last commit's) and permissions, no extra fields, and its texts in CR LF, as Windows' own
editors want them. VERSION, the game folder and the release toolchain come from the facts CMake
wrote of the 32-bit build (build/win32/facts.txt).
"""
import filecmp
import hashlib
import os
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAMS = ("wordrope.exe", "wlstcheck.exe")


def facts(tree=ROOT):
    """What CMake wrote of the 32-bit build of `tree`: the version, its game folder and toolchains."""
    path = os.path.join(tree, "build", "win32", "facts.txt")
    if not os.path.exists(path):
        sys.exit("release: the 32-bit game is not built here: run make win32 first")
    with open(path) as f:
        return dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)


def check_promises():
    from exe_rules import check

    said = facts()
    lines, failed, _ = check("win32", [os.path.join(said["game"], name) for name in PROGRAMS], said["objdump"], True)
    if failed:
        sys.exit(f"dist: no release: {'; '.join(line for line in lines if not line.endswith(': good'))}")


def zip_name():
    return os.path.join("build", f"wordrope-{facts()['version']}.zip")


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
