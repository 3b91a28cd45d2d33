#!/usr/bin/env python3
"""Plays a few moves of the game as built on the virtual screen and writes a PNG of its window.

Usage (inside scripts/with-display.sh): screenshot.py PROBE OUT.png
"""
import os
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import wine_driver as wd  # noqa: E402
from xwd2png import parse_xwd, write_png  # noqa: E402


def picture(game):
    """What Picture1 shows, as a fingerprint of its pixels."""
    px, (_, _, w, h) = wd.screen(), game.rect(wd.PICTURE1)
    return hash(tuple(game.pixel(wd.PICTURE1, x, y, px) for y in range(0, h, 3) for x in range(0, w, 3)))


def main():
    probe_exe, out = sys.argv[1:3]
    probe = wd.Probe(probe_exe)
    game = wd.Game(probe, name="screenshot", shipped=True)
    try:
        game.start()
        game.click(wd.NEW_WORD)
        wd.wait_for(lambda: game.scherm(), "a word")
        for letter in "eatz":
            before = (game.scherm(), picture(game))
            game.click(wd.letter_id(letter))
            wd.wait_for(lambda: (game.scherm(), picture(game)) != before or game.box(), f"the press of {letter} to show")
            if "." not in game.scherm():
                break
        x, y, w, h = game.form  # without a window manager the window is its client area
        dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True, timeout=30).stdout
        _, _, pixel = parse_xwd(dump)
        write_png(out, w, h, [[pixel(x + i, y + j) for i in range(w)] for j in range(h)])
        print(f"screenshot: {out} ({w} x {h})")
    finally:
        game.stop()
        probe.close()


if __name__ == "__main__":
    main()
