#!/usr/bin/env python3
"""End-to-end tests of wordrope.exe under Wine and Xvfb, for what only the real window shows:
each scenario a fresh process with a word list of its own, driven by real clicks and keys.
WORDROPE_SOAK_GAMES sets how many games the soak plays in one process (60)."""
import argparse
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_driver as wd  # noqa: E402
from wine_driver import END, GREY, HELP, LABEL1, NEW_WORD, PICTURE1, SCHERM, letter_id  # noqa: E402

WIN = " !!! WELL DONE !!! "
LOSS = " No!!, the answer was cab"
AGAIN = " Do you want to play again ? "
HELP_TEXT = " Click NEW GAME, then use letter buttons at the bottom"
PROBE = None


def setUpModule():
    global PROBE
    PROBE = wd.Probe(ARGS.probe)


def tearDownModule():
    PROBE.close()


class WindowTest(unittest.TestCase):
    words = b"cab\r\n"
    stages = None
    folder = None

    def setUp(self):
        self.game = wd.Game(PROBE, self.words, self.stages, name=self.id().rsplit(".", 1)[-1], folder=self.folder)
        self.addCleanup(self.game.stop)
        self.game.start()

    def press(self, letter):
        self.game.click(letter_id(letter))

    def wait_screen(self, mask, stage):
        wd.wait_for(lambda: self.game.scherm() == mask and self.game.stage() == stage,
                    f"mask {mask!r} and stage {stage}")

    def new_word(self):
        self.game.click(NEW_WORD)
        self.wait_screen("...", 1)

    def win(self):
        """Plays "cab" to the end; returns the question, checked."""
        self.new_word()
        for letter in "cab":
            self.press(letter)
        box = self.game.wait_box(WIN)
        self.assertEqual((box["text"], self.game.scherm()), (AGAIN, "cab"), "the word is complete before the question")
        return box

    def lose(self):
        """Eight misses; returns the question, checked, with the last stage on screen."""
        self.new_word()
        for stage, letter in enumerate("defghij", start=2):
            self.press(letter)
            self.wait_screen("...", stage)
        self.press("k")
        box = self.game.wait_box(LOSS)
        self.assertEqual((box["text"], self.game.stage(), self.game.scherm()), (AGAIN, 9, "..."))
        return box

    def expect_report(self, *parts):
        """One error box naming the file and its fault; then the program ends with status 1."""
        box = self.game.wait_box("Wordrope")
        for part in parts:
            self.assertIn(part, box["text"])
        self.game.answer(box, "OK")
        self.assertEqual(self.game.wait_exit(), 1)


class Window(WindowTest):
    def test_layout_at_96_dpi_from_the_table_in_twips(self):
        g = self.game
        self.assertEqual(g.form, (91, 129, 419, 248))
        expected = {PICTURE1: ("WordropePicture", 0, 0, 265, 217, True, ""),
                    LABEL1: ("Static", 0, 232, 417, 17, False, "Wordrope 1.1  -  words from SCOWL, by Kevin Atkinson"),
                    SCHERM: ("Static", 280, 16, 121, 17, False, ""),
                    NEW_WORD: ("Button", 288, 112, 105, 17, True, "New word"),
                    HELP: ("Button", 288, 144, 105, 17, True, "Help"),
                    END: ("Button", 288, 176, 105, 17, True, "End")}
        expected.update({letter_id(c): ("Button", 16 * n, 216, 17, 17, True, c.upper())
                         for n, c in enumerate("abcdefghijklmnopqrstuvwxyz")})
        self.assertEqual(g.controls, expected)

    def test_captions_use_the_user_interface_font_and_the_start_up_picture_is_clipped(self):
        # Another process cannot ask a control for its font under Wine: measure the ink instead.
        ui, system = PROBE.ask("extent New word")
        self.assertGreater(system - ui, 6, "the two fonts must be told apart")
        w, h = self.game.rect(NEW_WORD)[2:]
        px = wd.screen()
        ink = [x for x in range(3, w - 3) if any(sum(self.game.pixel(NEW_WORD, x, y, px)) < 200 for y in range(3, h - 3))]
        self.assertTrue(ui - 10 <= ink[-1] - ink[0] + 1 <= ui, f"ink of {ink[-1] - ink[0] + 1} px, fonts {ui}, {system}")
        self.assertEqual(self.game.pixel(PICTURE1, 34, 100, px), (0, 0, 255))  # the blue post
        self.assertEqual(self.game.pixel(PICTURE1, 264, 216, px), wd.STARTUP_GROUND)  # clipped, not scaled

    def test_tab_walks_the_tab_order_round_to_the_picture(self):
        order = [letter_id(c) for c in "abcdefghijklmnopqrstuvwxyz"] + [NEW_WORD, HELP, END, PICTURE1]
        for expected in order:
            self.game.key("Tab")
            wd.wait_for(lambda: self.game.focus() == expected, f"the focus on {expected}")
        self.game.key("shift+Tab")
        wd.wait_for(lambda: self.game.focus() == END, "Shift+Tab back to End")

    def test_space_presses_the_focused_button_typed_letters_enter_and_escape_nothing(self):
        self.game.tab_to(NEW_WORD)
        self.game.key("Return", "Escape", "a", "space")
        self.wait_screen("...", 1)  # Space pressed New word
        self.game.tab_to(letter_id("a"))
        self.game.key("b", "Return", "Escape", "space")
        wd.wait_for(lambda: self.game.scherm() == ".a.", "Space to press A")
        self.assertEqual(self.game.stage(), 1, "b, Enter and Escape pressed nothing")


class Play(WindowTest):
    def test_a_win_answered_yes_plays_the_next_word_at_once(self):
        box = self.win()
        self.assertEqual([(b["text"], b["default"]) for b in box["buttons"]], [("Yes", True), ("No", False)])
        self.assertFalse(box["icon"])
        self.assertFalse(PROBE.ask("enabled"), "the window takes no clicks while the question is open")
        self.game.answer(box, "Yes")
        self.wait_screen("...", 1)

    def test_a_loss_answered_no_ends(self):
        self.game.answer(self.lose(), "No")
        self.assertEqual(self.game.wait_exit(), 0)

    def test_help_changes_nothing_whichever_button_closes_it_and_end_ends(self):
        self.new_word()
        self.press("c")
        self.press("x")
        self.wait_screen("c..", 2)
        for button in ("OK", "Cancel"):
            self.game.click(HELP)
            box = self.game.wait_box("HELP")
            self.assertEqual((box["text"], box["icon"]), (HELP_TEXT, False))
            self.assertEqual([(b["text"], b["default"]) for b in box["buttons"]], [("OK", True), ("Cancel", False)])
            self.game.answer(box, button)
            self.wait_screen("c..", 2)
        self.game.click(END)  # ends at once, mid-game
        self.assertEqual(self.game.wait_exit(), 0)

    def test_double_click_on_scherm_shows_the_last_letter_and_the_close_box_ends(self):
        self.game.double_click(SCHERM)
        self.new_word()
        self.assertEqual(self.game.scherm(), "...")
        self.press("x")
        self.wait_screen("...", 2)
        self.game.double_click(SCHERM)
        wd.wait_for(lambda: self.game.scherm() == "x", "the last letter")
        self.press("y")
        self.wait_screen("x", 3)  # a miss leaves the label as it is
        self.press("b")
        wd.wait_for(lambda: self.game.scherm() == "..b", "a hit rewrites the mask")
        PROBE.ask("close")  # the close box ends at once too
        self.assertEqual(self.game.wait_exit(), 0)


class Pictures(WindowTest):
    stages = {1: wd.bitmap(600, 400, (10, 20, 30)), 2: wd.bitmap(20, 10, (40, 50, 60)), 3: None}

    def test_shown_at_natural_size_clipped_on_grey_and_a_missing_one_reported(self):
        self.game.click(NEW_WORD)
        wd.wait_for(lambda: self.game.pixel(PICTURE1, 264, 216) == (10, 20, 30), "the large picture, clipped")
        self.press("x")
        wd.wait_for(lambda: self.game.pixel(PICTURE1, 5, 5) == (40, 50, 60), "the small picture")
        px = wd.screen()
        self.assertEqual((self.game.pixel(PICTURE1, 30, 5, px), self.game.pixel(PICTURE1, 5, 20, px)), (GREY, GREY))
        self.press("y")
        self.expect_report(self.game.windows_path("scafo3.bmp"), "not found")


# Folders a player may have: names outside the system's code page (1252 here), and a path past
# 260 characters. The game plays from each and names a missing picture by its real path.
LONG_FOLDER = os.path.join(*["długa ścieżka " + "x" * 40] * 6)


class Folders(WindowTest):
    stages = {2: None}

    def test_plays_a_win_and_names_a_missing_picture_by_its_path(self):
        self.assertGreater(len(self.game.windows_path("scafo2.bmp")), 260 if self.folder == LONG_FOLDER else 0)
        self.game.answer(self.win(), "Yes")
        self.wait_screen("...", 1)
        self.press("x")
        self.expect_report(self.game.windows_path("scafo2.bmp"))

    def test_the_list_checker_reads_a_list_there(self):
        path = self.game.windows_path("wlstdata.dat")
        with tempfile.TemporaryFile() as out:  # a file: Wine's helper processes would hold a pipe open
            status = subprocess.run([wd.WINE, os.path.join(wd.GAME_DIR, "wlstcheck.exe"), path], stdout=out,
                                    stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=60).returncode
            out.seek(0)
            report = out.read().decode("utf-8").strip()
        self.assertEqual((status, report), (0, f"{path}: 1 entries, 1 drawable, 1 winnable: good"))


for _name, _folder in {"polish": "Łódź gra", "japanese": "ゲーム", "long_path": LONG_FOLDER}.items():
    globals()[f"Folder_{_name}"] = type(f"Folder_{_name}", (Folders,), {"folder": _folder})
del Folders


def set_dpi(dpi):
    """Wine reads LogPixels when a process starts."""
    subprocess.run([wd.WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                   timeout=60)


class HighDpi(WindowTest):
    def setUp(self):
        set_dpi(144)
        self.addCleanup(set_dpi, 96)
        super().setUp()

    def test_layout_and_pictures_grow_by_half_from_the_same_twips(self):
        g = self.game
        self.assertEqual(g.form[2:], (628, 372))
        self.assertEqual([g.rect(c) for c in (PICTURE1, NEW_WORD, letter_id("b"))],
                         [(0, 0, 398, 326), (432, 168, 158, 26), (24, 324, 26, 26)])
        self.new_word()
        px = wd.screen()  # a 40 x 30 stage picture covers 60 x 45 pixels
        self.assertEqual([g.pixel(PICTURE1, x, y, px) for x, y in ((58, 43), (62, 10), (10, 47))],
                         [wd.STAGE_COLOURS[1], GREY, GREY])


def snapshot(folder):
    out = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            out[name] = hashlib.sha256(f.read()).hexdigest()
    return out


class Soak(WindowTest):
    stages = {n: wd.bitmap(332, 220, c) for n, c in wd.STAGE_COLOURS.items()}  # full-size pictures

    def test_many_games_keep_memory_flat_and_write_nothing(self):
        games = int(os.environ.get("WORDROPE_SOAK_GAMES", "60"))
        before, beside = snapshot(self.game.folder), set(os.listdir(self.game.top))
        for n in range(games):
            self.game.answer(self.win() if n % 2 else self.lose(), "Yes")
            self.wait_screen("...", 1)
            if n == 0:
                first = self.game.memory()
        last = self.game.memory()
        self.game.click(END)
        self.assertEqual(self.game.wait_exit(), 0)
        print(f"\nsoak: {games} games; page file {first[0] >> 10} -> {last[0] >> 10} KB, "
              f"working set {first[1] >> 10} -> {last[1] >> 10} KB", file=sys.stderr)
        self.assertLess(last[0] - first[0], 8 << 20, "page-file use grew by more than 8 MB")
        self.assertEqual((snapshot(self.game.folder), set(os.listdir(self.game.top))), (before, beside))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--game-dir", default=wd.GAME_DIR)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    wd.GAME_DIR = ARGS.game_dir
    result = unittest.main(argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)
