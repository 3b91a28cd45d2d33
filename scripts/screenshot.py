#!/usr/bin/env python3
"""Plays a few moves of the game as built on the virtual screen and writes a PNG of its window.
The screen is read with xwd and netpbm's converters.

Usage (inside `scripts/wine.sh display`, which names the loader): screenshot.py GAME_DIR OUT.png
"""
import os
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "data"))
from make_pictures import GROUND  # noqa: E402  the start-up picture's ground

# At 96 DPI, from the layout table (window/layout.cpp) in pixels: the client area's size and the
# centres of the controls pressed.
CLIENT = (419, 248)
NEW_WORD = (340, 120)
LETTER_Y = 224


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, check=True, timeout=30).stdout


def screen_ppm():
    dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True, timeout=30).stdout
    ppm = subprocess.run(["xwdtopnm"], input=dump, capture_output=True, check=True, timeout=30).stdout
    # xwdtopnm may write 16 bits a sample: eight, as the screen has them.
    return subprocess.run(["pamdepth", "255"], input=ppm, capture_output=True, check=True, timeout=30).stdout


def screen():
    """The screen's pixel(x, y) -> (r, g, b)."""
    ppm = screen_ppm()
    header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", ppm)
    width, pixels = int(header.group(1)), ppm[header.end():]
    return lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])


def wait_for(condition, timeout=20.0):
    """Polls `condition` until it holds; False after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)  # the polling interval
    return True


def main():
    game_dir, out = sys.argv[1:3]
    log = open(os.path.join(os.path.dirname(os.path.abspath(out)), ".screenshot-wine.log"), "wb")
    game = subprocess.Popen([os.environ.get("WORDROPE_WINE", "wine"), os.path.join(game_dir, "wordrope.exe")],
                            stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    try:
        # Wine names the game's X window for its program.
        window = run("xdotool", "search", "--sync", "--onlyvisible", "--classname", "^wordrope.exe$").split()[0]
        geometry = dict(line.split("=") for line in run("xdotool", "getwindowgeometry", "--shell", window).split())
        # The X window holds the frame Wine draws; the client area sits at the bottom, framed alike.
        x, y, w, h = (int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        border = (w - CLIENT[0]) // 2
        cx, cy = x + border, y + h - border - CLIENT[1]

        def shown():  # the mask, every pixel, and the picture, sampled
            px = screen()
            return (tuple(px(cx + i, cy + j) for j in range(16, 33) for i in range(280, 401)),
                    tuple(px(cx + i, cy + j) for j in range(0, 217, 3) for i in range(0, 265, 3)))

        if not wait_for(lambda: screen()(cx + 5, cy + 5) == GROUND):
            sys.exit("screenshot: the window was never painted")
        for target in [NEW_WORD] + [(16 * (ord(c) - ord("a")) + 8, LETTER_Y) for c in "eatz"]:
            before = shown()
            run("xdotool", "mousemove", "--sync", str(cx + target[0]), str(cy + target[1]))
            run("xdotool", "click", "1")
            if not wait_for(lambda: shown() != before, 5):
                break  # the word is complete and the question is up
        window = subprocess.run(["pamcut", "-left", str(x), "-top", str(y), "-width", str(w), "-height", str(h)],
                                input=screen_ppm(), capture_output=True, check=True, timeout=30).stdout
        with open(out, "wb") as f:
            f.write(subprocess.run(["pnmtopng"], input=window, capture_output=True, check=True, timeout=30).stdout)
        print(f"screenshot: {out} ({w} x {h})")
    finally:
        game.kill()
        game.wait(timeout=30)
        log.close()
        os.remove(log.name)


if __name__ == "__main__":
    main()
