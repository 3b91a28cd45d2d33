#!/usr/bin/env python3
"""Start-up benchmark under Wine: from starting wordrope.exe to its window being shown and
answering messages, beside the same for minwin.exe (an empty window), measured in one run.

Usage (with a display and the test prefix, as `make bench-startup` runs it):
  startup_bench.py PROBE GAME_DIR MINWIN [ROUNDS]
"""
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import wine_driver as wd  # noqa: E402


def start_to_ready(probe, exe, title, cwd):
    begin = time.monotonic()
    with open(os.devnull, "wb") as null:
        proc = subprocess.Popen([wd.WINE, exe], cwd=cwd, stdout=null, stderr=null)
        wd.wait_for(lambda: probe.ask(f"ready {title}") == "ready", f"{title} to answer", timeout=60)
        elapsed = time.monotonic() - begin
        subprocess.run(["xdotool", "search", "--name", title, "windowclose"], stderr=null, check=False)
        if proc.poll() is None:
            proc.kill()
        proc.wait(timeout=30)
    return elapsed


def main():
    probe_exe, game_dir, minwin = (os.path.abspath(p) for p in sys.argv[1:4])
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    probe = wd.Probe(probe_exe)
    game = os.path.join(game_dir, "wordrope.exe")
    times = {"wordrope.exe": [], "minwin.exe": []}
    try:
        start_to_ready(probe, minwin, "Minimal window", os.path.dirname(minwin))  # warm the caches
        for _ in range(rounds):  # alternate, so that drift touches both alike
            times["wordrope.exe"].append(start_to_ready(probe, game, wd.TITLE, game_dir))
            times["minwin.exe"].append(start_to_ready(probe, minwin, "Minimal window", os.path.dirname(minwin)))
    finally:
        probe.close()
    med = {name: statistics.median(t) for name, t in times.items()}
    for name, t in times.items():
        print(f"{name:13} median {med[name] * 1000:7.1f} ms  (min {min(t) * 1000:.1f}, max {max(t) * 1000:.1f}, "
              f"{len(t)} runs)")
    print(f"ratio wordrope/minwin: {med['wordrope.exe'] / med['minwin.exe']:.2f}")
    print(f"wordrope.exe size: {os.path.getsize(game)} bytes")


if __name__ == "__main__":
    main()
