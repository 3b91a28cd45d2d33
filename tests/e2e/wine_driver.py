"""Drives wordrope.exe under Wine: real mouse and keys through the X server (xdotool),
and questions about its windows answered by probe.exe through the Win32 API.

Every wait here waits for a condition, with a time limit.
"""
import os
import re
import select
import sys
import shutil
import struct
import subprocess
import tempfile
import time

TITLE = "Wordrope ver.1.1 for Windows"
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# The Wine loader of the build under test (scripts/wine-env.sh chooses it) and that build's game folder.
WINE = os.environ.get("WORDROPE_WINE", "wine")
GAME_DIR = os.environ.get("WORDROPE_GAME_DIR", os.path.join(ROOT, "build", "wordrope"))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
from xwd2png import parse_xwd  # noqa: E402


def screen():
    """The X screen as it is now: pixel(x, y) -> (r, g, b). Read from the X server, since
    under Wine another process's windows cannot be read back reliably."""
    dump = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True, timeout=20).stdout
    return parse_xwd(dump)[2]

# Control ids of the main window.
PICTURE1, LABEL1, SCHERM = 200, 201, 202
NEW_WORD, HELP, END = 127, 128, 129


def letter_id(letter):
    return 101 + ord(letter.lower()) - ord("a")


# Each stage picture of a test folder is one flat colour, so a pixel tells the stage.
STAGE_COLOURS = {
    1: (200, 0, 0), 2: (0, 200, 0), 3: (0, 0, 200), 4: (200, 200, 0), 5: (200, 0, 200),
    6: (0, 200, 200), 7: (120, 60, 0), 8: (60, 0, 120), 9: (0, 120, 60),
}
STARTUP_GROUND = (254, 253, 252)


def bitmap(width, height, colour):
    """A 24-bit bitmap file of one colour."""
    stride = (width * 3 + 3) // 4 * 4
    row = bytes(reversed(colour)) * width + b"\0" * (stride - width * 3)
    bits = row * height
    return (struct.pack("<2sIHHI", b"BM", 54 + len(bits), 0, 0, 54)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0) + bits)


class TimedOut(AssertionError):
    pass


def wait_for(condition, what, timeout=20.0):
    """Polls `condition` until it returns something true; fails the test after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimedOut(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.02)  # the polling interval of the wait, not a guess at a duration


class Probe:
    """probe.exe, kept running for a whole test run."""

    def __init__(self, exe):
        self.proc = subprocess.Popen([WINE, exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, bufsize=0)
        self.buf = b""

    def _line(self, timeout=20.0):
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
        return line.decode("utf-8").rstrip("\r")

    @staticmethod
    def unescape(text):
        """Undoes the probe's one-line escapes of backslash, CR and LF."""
        return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r"}.get(m.group(1), m.group(1)), text)

    def ask(self, command):
        """One line; for 'controls' and 'box' every line up to 'end' (or 'none')."""
        self.proc.stdin.write(command.encode() + b"\n")
        first = self._line()
        if command not in ("controls", "box") or first == "none":
            return first
        lines = [first]
        while lines[-1] != "end":
            lines.append(self._line())
        return lines[:-1]

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
        self.folder = os.path.join(self.top, folder) if folder else self.top
        os.makedirs(self.folder, exist_ok=True)
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
        self.form = None
        self.controls = {}

    def windows_path(self, name=""):
        """A file of the game's folder as the game sees it, through Wine's drive Z:."""
        return "Z:" + os.path.join(self.folder, name).replace("/", "\\")

    def write(self, name, content):
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(content)

    def start(self):
        # Wine's output goes beside the folder, so that the game's folder holds only the game.
        self.log = open(self.folder + ".wine.log", "wb")
        self.proc = subprocess.Popen([WINE, os.path.join(self.folder, "wordrope.exe")], cwd=self.folder,
                                     stdout=self.log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        answer = wait_for(lambda: self._form(), "the main window")
        _, pid, x, y, w, h = answer.split()
        self.pid = int(pid)
        self.form = (int(x), int(y), int(w), int(h))
        wait_for(lambda: self.focus() == PICTURE1, "the focus on Picture1")
        for line in self.probe.ask("controls"):
            parts = line.split(" ", 8)
            cid = int(parts[1])
            self.controls[cid] = {"class": parts[2], "rect": tuple(int(v) for v in parts[3:7]),
                                  "tabstop": parts[7] == "TABSTOP",
                                  "text": Probe.unescape(parts[8]) if len(parts) > 8 else ""}
        wait_for(self.painted, "the window to be painted")
        return self

    def painted(self):
        """The start-up picture and the last button are on screen (unpainted, Xvfb shows black)."""
        px = screen()
        at = lambda cid, x, y: px(self.form[0] + self.controls[cid]["rect"][0] + x,
                                  self.form[1] + self.controls[cid]["rect"][1] + y)
        return at(PICTURE1, 5, 5) == STARTUP_GROUND and at(END, 3, 3) != (0, 0, 0)

    def _form(self):
        answer = self.probe.ask("form")
        return answer if answer != "none" else None

    def stop(self):
        if self.proc and self.proc.poll() is None:
            if self.form and not self.box():
                self.probe.ask("close")
            try:
                self.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=20)
        if self.proc:
            self.log.close()
            os.remove(self.folder + ".wine.log")
        shutil.rmtree(self.top, ignore_errors=True)

    # What is on screen.
    def text(self, cid):
        return Probe.unescape(self.probe.ask(f"text {cid}")[5:])

    def scherm(self):
        return self.text(SCHERM)

    def focus(self):
        answer = self.probe.ask("focus").split()[1]
        return int(answer) if answer.isdigit() else answer

    def pixel(self, cid, x=5, y=5):
        cx, cy, _, _ = self.controls[cid]["rect"]
        return screen()(self.form[0] + cx + x, self.form[1] + cy + y)

    def picture(self):
        """What Picture1 shows, as a fingerprint of its pixels."""
        x0, y0, w, h = self.controls[PICTURE1]["rect"]
        px = screen()
        return hash(tuple(px(self.form[0] + x0 + x, self.form[1] + y0 + y)
                          for y in range(0, h, 3) for x in range(0, w, 3)))

    def ink(self, cid):
        """Columns of a button, inside its edges, that hold dark (text) pixels, first to last."""
        cx, cy, w, h = self.controls[cid]["rect"]
        px = screen()
        x0, y0 = self.form[0] + cx, self.form[1] + cy
        dark = [x for x in range(3, w - 3) if any(sum(px(x0 + x, y0 + y)) < 200 for y in range(3, h - 3))]
        return dark[-1] - dark[0] + 1 if dark else 0

    def stage(self):
        """The stage shown in Picture1: 0 for the start-up picture, None if unknown."""
        px = self.pixel(PICTURE1)
        if px == STARTUP_GROUND:
            return 0
        for stage, colour in STAGE_COLOURS.items():
            if px == colour:
                return stage
        return None

    def box(self):
        lines = self.probe.ask("box")
        if lines == "none":
            return None
        box = {"buttons": []}
        for line in lines[1:]:
            key, _, rest = line.partition(" ")
            if key == "button":
                bid, default, cx, cy, text = rest.split(" ", 4)
                box["buttons"].append({"id": int(bid), "default": default == "1", "at": (int(cx), int(cy)),
                                       "text": text.replace("&", "")})
            else:
                box[key] = Probe.unescape(rest)
        return box

    def picture_handle(self):
        return self.probe.ask("picture").split()[1]

    def enabled(self):
        return self.probe.ask("enabled") == "enabled 1"

    def memory(self):
        answer = self.probe.ask(f"memory {self.pid}").split()
        return (int(answer[1]), int(answer[2])) if answer[0] == "memory" else None

    # Real input through the X server.
    def centre(self, cid):
        x, y, w, h = self.controls[cid]["rect"]
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
            if self.focus() == cid:
                return
            before = self.focus()
            self.key("Tab")
            wait_for(lambda: self.focus() != before, "Tab to move the focus")
        raise AssertionError(f"Tab never reached control {cid}")

    def wait_box(self, title=None):
        box = wait_for(lambda: self.box(), f"a message box {title or ''}")
        if title is not None and box.get("title") != title:
            # The box may still be getting its title: wait for the one expected.
            box = wait_for(lambda: (lambda b: b if b and b.get("title") == title else None)(self.box()),
                           f"the message box titled {title!r}")
        return box

    def answer(self, box, text):
        button = next(b for b in box["buttons"] if b["text"] == text)
        move_pointer(*button["at"])
        xdotool("click", "1")
        wait_for(lambda: self.box() is None or not self.running(), f"the box to close after {text}")

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=20):
        wait_for(lambda: not self.running(), "the program to end", timeout)
        return self.proc.returncode



def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=20)


def move_pointer(x, y):
    """Moves the pointer and waits until the X server has it there. (xdotool's own --sync
    waits forever when the pointer is there already.)"""
    xdotool("mousemove", str(x), str(y))
    wait_for(lambda: pointer() == (x, y), f"the pointer at {x}, {y}", timeout=10)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation"], capture_output=True, text=True, timeout=20).stdout
    fields = dict(part.split(":") for part in out.split())
    return int(fields["x"]), int(fields["y"])
