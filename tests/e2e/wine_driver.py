"""Drives wordrope.exe under Wine: real mouse and keys through the X server (xdotool), pixels
read from the X server (xwd), and questions about its windows answered by probe.exe through
the Win32 API. Every wait waits for a condition, with a time limit.
"""
import ast
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path[:0] = [os.path.join(ROOT, "scripts"), os.path.join(ROOT, "data")]
from make_pictures import GROUND as STARTUP_GROUND, Canvas, bmp_4bit  # noqa: E402
from xwd2png import parse_xwd  # noqa: E402

# The Wine loader of the build under test (scripts/wine-env.sh chooses it) and that build's game folder.
WINE = os.environ.get("WORDROPE_WINE", "wine")
GAME_DIR = os.environ.get("WORDROPE_GAME_DIR", os.path.join(ROOT, "build", "wordrope"))

# The control ids, read from the window's own header.
with open(os.path.join(ROOT, "window", "resource.h")) as _f:
    IDS = {name: int(value) for name, value in re.findall(r"#define IDC_(\w+) (\d+)", _f.read())}
PICTURE1, LABEL1, SCHERM = IDS["PICTURE1"], IDS["LABEL1"], IDS["SCHERM"]
NEW_WORD, HELP, END = IDS["COMMAND27"], IDS["COMMAND28"], IDS["COMMAND29"]


def letter_id(letter):
    return IDS["COMMAND1"] + ord(letter) - ord("a")


# Each stage picture of a test folder is one flat colour, so a pixel tells the stage.
STAGE_COLOURS = {1: (200, 0, 0), 2: (0, 200, 0), 3: (0, 0, 200), 4: (200, 200, 0), 5: (200, 0, 200),
                 6: (0, 200, 200), 7: (120, 60, 0), 8: (60, 0, 120), 9: (0, 120, 60)}
GREY = (192, 192, 192)


def bitmap(width, height, colour):
    """A bitmap file of one colour, written as the game's own pictures are."""
    return bmp_4bit(Canvas(width, height, colour), [colour])


class TimedOut(AssertionError):
    pass


def wait_for(condition, what, timeout=20.0):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise TimedOut(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.02)  # the polling interval, not a guess at a duration
    return value


def screen():
    """pixel(x, y) -> (r, g, b) of the X screen as it is now."""
    dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True, timeout=20).stdout
    return parse_xwd(dump)[2]


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=20)


def move_pointer(x, y):
    """Moves the pointer and waits until the X server has it there."""
    xdotool("mousemove", str(x), str(y))

    def there():
        out = subprocess.run(["xdotool", "getmouselocation"], capture_output=True, text=True, timeout=20).stdout
        fields = dict(part.split(":") for part in out.split())
        return (int(fields["x"]), int(fields["y"])) == (x, y)
    wait_for(there, f"the pointer at {x}, {y}", timeout=10)


class Probe:
    """probe.exe, kept running for a whole test run: one command, one line back."""

    def __init__(self, exe):
        self.proc = subprocess.Popen([WINE, exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, bufsize=0)
        self.buf = b""

    def ask(self, command, timeout=20.0):
        """The answer, a Python value."""
        self.proc.stdin.write(command.encode() + b"\n")
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buf:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                raise TimedOut("probe.exe did not answer")
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise AssertionError("probe.exe ended")
            self.buf += chunk
        line, self.buf = self.buf.split(b"\n", 1)
        return ast.literal_eval(line.decode("utf-8"))

    def close(self):
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.wait(timeout=20)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()


class Game:
    """wordrope.exe started from a folder of its own with the given word list."""

    def __init__(self, probe, words=b"cab\r\n", stages=None, name="game", shipped=False, folder=None):
        """`words` None: no word list; `stages` maps a stage to its file's bytes (None: no file).
        With `shipped` the folder holds the game as built, data and all. `folder` names the game's
        folder (a relative path) inside a fresh one of its own."""
        self.probe = probe
        base = os.path.join(ROOT, "build", "e2e")
        os.makedirs(base, exist_ok=True)
        self.top = tempfile.mkdtemp(prefix=name + "-", dir=base)
        self.folder = os.path.join(self.top, folder or "game")
        os.makedirs(self.folder)
        shutil.copy(os.path.join(GAME_DIR, "wordrope.exe"), self.folder)
        if shipped:
            for name in ["wlstdata.dat"] + [f"scafo{n}.bmp" for n in range(1, 10)]:
                shutil.copy(os.path.join(GAME_DIR, name), self.folder)
            words, stages = None, {n: None for n in range(1, 10)}
        if words is not None:
            self.write("wlstdata.dat", words)
        for stage, colour in STAGE_COLOURS.items():
            content = (stages or {}).get(stage, bitmap(40, 30, colour))
            if content is not None:
                self.write(f"scafo{stage}.bmp", content)
        self.proc = None

    def write(self, name, content):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(content)

    def windows_path(self, name):
        """A file of the game's folder as the game sees it, through Wine's drive Z:."""
        return "Z:" + os.path.join(self.folder, name).replace("/", "\\")

    def start(self):
        # Wine's output goes beside the folder, so that the game's folder holds only the game.
        self.log = open(os.path.join(self.top, "wine.log"), "wb")
        self.proc = subprocess.Popen([WINE, os.path.join(self.folder, "wordrope.exe")], cwd=self.folder,
                                     stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        self.pid, *form = wait_for(lambda: self.probe.ask("form"), "the window")
        self.form = tuple(form)
        wait_for(lambda: self.focus() == PICTURE1, "the focus on Picture1")
        self.controls = self.probe.ask("controls")  # {id: (class, x, y, w, h, tab stop, text)}
        # Painted: the start-up picture and the last button are on screen (Xvfb shows black before).
        wait_for(lambda: self.pixel(PICTURE1) == STARTUP_GROUND and self.pixel(END, 3, 3) != (0, 0, 0),
                 "the window to be painted")
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            if not self.box():
                self.probe.ask("close")
            try:
                self.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=20)
        if self.proc:
            self.log.close()
        shutil.rmtree(self.top, ignore_errors=True)

    # What is on screen.
    def scherm(self):
        return self.probe.ask(f"text {SCHERM}")

    def focus(self):
        return self.probe.ask("focus")

    def rect(self, cid):
        return self.controls[cid][1:5]

    def pixel(self, cid, x=5, y=5, px=None):
        cx, cy = self.rect(cid)[:2]
        return (px or screen())(self.form[0] + cx + x, self.form[1] + cy + y)

    def stage(self):
        """The stage shown in Picture1: 0 for the start-up picture, None if unknown."""
        px = self.pixel(PICTURE1)
        return 0 if px == STARTUP_GROUND else next((s for s, c in STAGE_COLOURS.items() if c == px), None)

    def box(self):
        """The message box open now: its title, text, icon and buttons; None if there is none."""
        parts = self.probe.ask("box")
        if parts is None:
            return None
        return {**{p[0]: p[1] for p in parts if p[0] != "button"},
                "buttons": [{"text": t.replace("&", ""), "default": d, "at": (x, y)}
                            for _, t, d, x, y in (p for p in parts if p[0] == "button")]}

    def memory(self):
        """Page-file use and working set of the game, in bytes."""
        return self.probe.ask(f"memory {self.pid}")

    # Real input through the X server.
    def centre(self, cid):
        x, y, w, h = self.rect(cid)
        return self.form[0] + x + w // 2, self.form[1] + y + h // 2

    def click(self, cid):
        move_pointer(*self.centre(cid))
        xdotool("click", "1")

    def double_click(self, cid):
        move_pointer(*self.centre(cid))
        xdotool("click", "--repeat", "2", "--delay", "60", "1")

    def key(self, *names):
        # Without a window manager keys go to the window under the pointer: rest it on the credit line.
        move_pointer(*self.centre(LABEL1))
        xdotool("key", "--delay", "30", *names)

    def tab_to(self, cid):
        """Presses Tab until `cid` has the focus, one press at a time."""
        for _ in range(40):
            before = self.focus()
            if before == cid:
                return
            self.key("Tab")
            wait_for(lambda: self.focus() != before, "Tab to move the focus")
        raise AssertionError(f"Tab never reached control {cid}")

    def wait_box(self, title):
        return wait_for(lambda: (lambda b: b if b and b.get("title") == title else None)(self.box()),
                        f"the message box titled {title!r}")

    def answer(self, box, text):
        move_pointer(*next(b["at"] for b in box["buttons"] if b["text"] == text))
        xdotool("click", "1")
        wait_for(lambda: self.proc.poll() is not None or self.box() is None, f"the box to close after {text}")

    def wait_exit(self, timeout=20):
        wait_for(lambda: self.proc.poll() is not None, "the program to end", timeout)
        return self.proc.returncode
