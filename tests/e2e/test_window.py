#!/usr/bin/env python3
"""End-to-end tests of wordrope.exe under Wine and Xvfb: each scenario a fresh process
with a word list of its own, driven by real clicks and keys."""
import argparse
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_driver as wd  # noqa: E402
from wine_driver import END, HELP, LABEL1, NEW_WORD, PICTURE1, SCHERM, letter_id  # noqa: E402

WIN = " !!! WELL DONE !!! "
AGAIN = " Do you want to play again ? "
PROBE = None


def setUpModule():
    global PROBE
    PROBE = wd.Probe(ARGS.probe)


def tearDownModule():
    PROBE.close()


class WindowTest(unittest.TestCase):
    words = b"cab\r\n"
    stages = None

    def setUp(self):
        self.game = wd.Game(PROBE, self.words, self.stages, name=self.id().rsplit(".", 1)[-1])
        self.addCleanup(self.game.stop)
        self.game.start()

    # Helpers that wait for what a press shows.
    def press(self, letter):
        self.game.click(letter_id(letter))

    def new_word(self, mask="..."):
        self.game.click(NEW_WORD)
        self.wait_screen(mask, 1)

    def wait_screen(self, mask, stage):
        wd.wait_for(lambda: self.game.scherm() == mask and self.game.stage() == stage,
                    f"mask {mask!r} and stage {stage}")

    def barrier(self):
        """Everything pressed before is handled once the help box it opens is up; closes it again."""
        self.game.click(HELP)
        box = self.game.wait_box("HELP")
        self.game.answer(box, "OK")


class Layout(WindowTest):
    def test_window_and_controls_stand_as_the_table_gives_them_at_96_dpi(self):
        g = self.game
        self.assertEqual(g.form[2:], (419, 248))
        self.assertEqual(g.form[:2], (91, 129))
        expected = {PICTURE1: ("WordropePicture", (0, 0, 265, 217), True, ""),
                    LABEL1: ("Static", (0, 232, 417, 17), False, None),
                    SCHERM: ("Static", (280, 16, 121, 17), False, ""),
                    NEW_WORD: ("Button", (288, 112, 105, 17), True, "New word"),
                    HELP: ("Button", (288, 144, 105, 17), True, "Help"),
                    END: ("Button", (288, 176, 105, 17), True, "End")}
        for n in range(1, 27):
            expected[100 + n] = ("Button", (16 * (n - 1), 216, 17, 17), True, chr(ord("A") + n - 1))
        self.assertEqual(sorted(g.controls), sorted(expected))
        for cid, (cls, rect, tabstop, text) in expected.items():
            c = g.controls[cid]
            self.assertEqual((c["class"], c["rect"], c["tabstop"]), (cls, rect, tabstop), cid)
            if text is not None:
                self.assertEqual(c["text"], text, cid)
        self.assertTrue(g.controls[LABEL1]["text"])

    def test_captions_use_the_user_interface_font_not_the_system_font(self):
        # Another process cannot ask a control for its font under Wine; measure the ink instead.
        ui, system = (int(v) for v in PROBE.ask("extent New word").split()[1:])
        self.assertGreater(system - ui, 6, "the two fonts must be told apart")
        ink = self.game.ink(NEW_WORD)
        # Ink is a little narrower than the advance width the font gives.
        self.assertTrue(ui - 10 <= ink <= ui, f"ink {ink} px, user-interface font {ui} px, System {system} px")

    def test_start_up_picture_and_empty_mask(self):
        self.assertEqual(self.game.stage(), 0)
        self.assertEqual(self.game.pixel(PICTURE1, 34, 100), (0, 0, 255))  # the blue post
        self.assertEqual(self.game.pixel(PICTURE1, 264, 216), wd.STARTUP_GROUND)  # clipped, not scaled
        self.assertEqual(self.game.scherm(), "")


class Keyboard(WindowTest):
    words = b"abc\r\n"

    def test_tab_walks_the_tab_order_and_back_to_the_picture(self):
        order = [letter_id(chr(c)) for c in range(ord("a"), ord("z") + 1)] + [NEW_WORD, HELP, END, PICTURE1]
        for expected in order:
            self.game.key("Tab")
            wd.wait_for(lambda: self.game.focus() == expected, f"focus on {expected}")
        self.game.key("shift+Tab")
        wd.wait_for(lambda: self.game.focus() == END, "Shift+Tab back to End")

    def test_space_presses_the_focused_button_and_typed_letters_press_nothing(self):
        self.new_word("...")
        self.game.tab_to(letter_id("a"))
        self.game.key("b", "c", "Return", "Escape")
        self.game.key("space")
        wd.wait_for(lambda: self.game.scherm() == "a..", "Space to press A")
        self.assertEqual(self.game.stage(), 1, "b, c, Enter and Escape pressed nothing")

    def test_enter_and_escape_on_new_word_press_nothing(self):
        self.game.tab_to(NEW_WORD)
        self.game.key("Return", "Escape", "Tab")
        wd.wait_for(lambda: self.game.focus() == HELP, "Tab after Enter and Escape")
        self.assertEqual(self.game.stage(), 0)
        self.assertEqual(self.game.scherm(), "")


class Play(WindowTest):
    def test_letter_before_the_first_new_word_changes_nothing(self):
        self.press("a")
        self.barrier()
        self.assertEqual(self.game.scherm(), "")
        self.assertEqual(self.game.stage(), 0)
        self.new_word()

    def test_a_won_game_answered_yes_starts_the_next(self):
        self.new_word()
        for letter, mask in (("c", "c.."), ("a", "ca.")):
            self.press(letter)
            wd.wait_for(lambda: self.game.scherm() == mask, mask)
        self.press("b")
        box = self.game.wait_box(WIN)
        self.assertEqual(box["text"], AGAIN)
        self.assertEqual([(b["text"], b["default"]) for b in box["buttons"]], [("Yes", True), ("No", False)])
        self.assertEqual(box.get("icon", "0"), "0")
        self.assertEqual(self.game.scherm(), "cab", "the word is complete before the question")
        self.assertFalse(self.game.enabled(), "the window takes no clicks while the question is open")
        self.game.answer(box, "Yes")
        self.wait_screen("...", 1)

    def test_a_won_game_answered_no_ends(self):
        self.new_word()
        for letter in "cab":
            self.press(letter)
        self.game.answer(self.game.wait_box(WIN), "No")
        self.assertEqual(self.game.wait_exit(), 0)

    def lose(self):
        self.new_word()
        for n, letter in enumerate("defghij", start=2):
            self.press(letter)
            wd.wait_for(lambda: self.game.stage() == n, f"stage {n}")
            self.assertEqual(self.game.scherm(), "...")
        self.press("k")
        box = self.game.wait_box(" No!!, the answer was cab")
        self.assertEqual(self.game.stage(), 9, "the last stage is on screen with the question")
        self.assertEqual(box["text"], AGAIN)
        self.assertEqual(self.game.scherm(), "...", "the lost word is never shown in the mask")
        return box

    def test_a_lost_game_answered_yes_starts_the_next(self):
        self.game.answer(self.lose(), "Yes")
        self.wait_screen("...", 1)
        self.press("x")
        wd.wait_for(lambda: self.game.stage() == 2, "misses counted from 0 again")

    def test_a_lost_game_answered_no_ends(self):
        self.game.answer(self.lose(), "No")
        self.assertEqual(self.game.wait_exit(), 0)

    def test_new_word_mid_game_starts_afresh(self):
        self.new_word()
        self.press("a")
        wd.wait_for(lambda: self.game.scherm() == ".a.", "a revealed")
        self.press("x")
        self.press("y")
        wd.wait_for(lambda: self.game.stage() == 3, "two misses")
        self.new_word("...")
        self.press("z")
        wd.wait_for(lambda: self.game.stage() == 2, "the first miss of the new game")

    def test_a_repeated_letter_is_a_miss(self):
        self.new_word()
        self.press("a")
        wd.wait_for(lambda: self.game.scherm() == ".a.", "a revealed")
        self.press("a")
        wd.wait_for(lambda: self.game.stage() == 2, "the repeat counted as a miss")

    def test_help_changes_nothing_whichever_button_closes_it(self):
        self.new_word()
        self.press("c")
        wd.wait_for(lambda: self.game.scherm() == "c..", "c revealed")
        self.press("x")
        wd.wait_for(lambda: self.game.stage() == 2, "a miss")
        for button in ("OK", "Cancel"):
            self.game.click(HELP)
            box = self.game.wait_box("HELP")
            self.assertEqual(box["text"], " Click NEW GAME, then use letter buttons at the bottom")
            self.assertEqual([(b["text"], b["default"]) for b in box["buttons"]], [("OK", True), ("Cancel", False)])
            self.assertEqual(box.get("icon", "0"), "0")
            self.assertFalse(self.game.enabled())
            self.game.answer(box, button)
            self.assertEqual((self.game.scherm(), self.game.stage()), ("c..", 2))
        self.press("a")
        wd.wait_for(lambda: self.game.scherm() == "ca.", "the game goes on")

    def test_double_click_on_scherm_shows_the_last_letter(self):
        self.game.double_click(SCHERM)
        self.barrier()
        self.assertEqual(self.game.scherm(), "", "no letter pressed yet")
        self.new_word()
        self.press("x")
        wd.wait_for(lambda: self.game.stage() == 2, "a miss")
        self.game.double_click(SCHERM)
        wd.wait_for(lambda: self.game.scherm() == "x", "the last letter")
        self.press("y")
        wd.wait_for(lambda: self.game.stage() == 3, "another miss")
        self.assertEqual(self.game.scherm(), "x", "a miss leaves the label as it is")
        self.press("b")
        wd.wait_for(lambda: self.game.scherm() == "..b", "a hit rewrites the mask")

    def test_end_ends_at_once(self):
        self.new_word()
        self.game.click(END)
        self.assertEqual(self.game.wait_exit(), 0)

    def test_closing_the_window_ends(self):
        PROBE.ask("close")
        self.assertEqual(self.game.wait_exit(), 0)


class Failures(WindowTest):
    """A failure shows one error box naming the file, then the program ends."""

    def expect_report(self, *parts):
        box = self.game.wait_box("Wordrope")
        for part in parts:
            self.assertIn(part, box["text"])
        self.game.answer(box, "OK")
        self.assertEqual(self.game.wait_exit(), 1)


class MissingWordList(Failures):
    words = None

    def test_new_word_reports_the_missing_list(self):
        self.game.click(NEW_WORD)
        self.expect_report("wlstdata.dat", "not found")


class EmptyWordList(Failures):
    words = b"\r\n,,\r\n"

    def test_a_list_without_words_is_refused(self):
        self.game.click(NEW_WORD)
        self.expect_report("wlstdata.dat", "empty")


class MissingPicture(Failures):
    stages = {3: None}

    def test_the_second_miss_reports_the_missing_picture(self):
        self.game.click(NEW_WORD)
        self.wait_screen("...", 1)
        self.press("x")
        wd.wait_for(lambda: self.game.stage() == 2, "the first miss")
        self.press("y")
        self.expect_report("scafo3.bmp", "not found")


class BrokenPicture(Failures):
    stages = {1: b"this is text, not a picture"}

    def test_new_word_reports_a_file_that_is_not_a_picture(self):
        self.game.click(NEW_WORD)
        self.expect_report("scafo1.bmp", "not a bitmap")


# The catalogue of bad data, end to end: each case its own folder and process. A list case presses
# New word; a picture case presses New word and then as many misses as its stage needs.
def _lines(n):
    return b"".join(b"w%d\r\n" % i for i in range(1, n + 1))


TRUNCATED = wd.bitmap(332, 220, (1, 2, 3))[:100]
CATALOGUE = {
    "list_zero_bytes": dict(words=b"", report=("wlstdata.dat", "the file is empty")),
    "list_32767_entries": dict(words=_lines(32767), report=("wlstdata.dat", "more than 32,766")),
    "list_5_mb_without_separator": dict(words=b"z" * (5 << 20), report=("wlstdata.dat", "5242880 characters")),
    "list_a_folder": dict(words="folder", report=("wlstdata.dat", "cannot be")),
    "list_32766_entries_plays": dict(words=_lines(32766), report=None),
}
for _stage in (1, 4, 9):
    CATALOGUE[f"stage{_stage}_missing"] = dict(stage=_stage, content=None, report=("not found",))
    CATALOGUE[f"stage{_stage}_zero_bytes"] = dict(stage=_stage, content=b"", report=("empty",))
    CATALOGUE[f"stage{_stage}_text_renamed"] = dict(stage=_stage, content=b"hello\r\n", report=("not a bitmap",))
    CATALOGUE[f"stage{_stage}_truncated"] = dict(stage=_stage, content=TRUNCATED, report=("cut short",))
CATALOGUE["stage2_a_folder"] = dict(stage=2, content="folder", report=("cannot be",))


class BadData(WindowTest):
    case = None

    def setUp(self):
        case = self.case
        stage = case.get("stage")
        words = case.get("words", b"cab\r\n")
        self.stages = {stage: case["content"]} if stage and case["content"] != "folder" else None
        self.words = None if words == "folder" else words
        self.game = wd.Game(PROBE, self.words, self.stages, name=self.id().rsplit(".", 1)[-1])
        self.addCleanup(self.game.stop)
        for name in (["wlstdata.dat"] if words == "folder" else []) + (
                [f"scafo{stage}.bmp"] if case.get("content") == "folder" else []):
            if os.path.exists(os.path.join(self.game.folder, name)):
                os.remove(os.path.join(self.game.folder, name))
            os.mkdir(os.path.join(self.game.folder, name))
        self.game.start()

    def test_fails_clearly_or_plays(self):
        self.game.click(NEW_WORD)
        for letter in "defghijk"[: self.case.get("stage", 1) - 1]:
            wd.wait_for(lambda: self.game.scherm() == "...", "the mask")  # the game is going
            self.press(letter)
        if self.case["report"] is None:
            wd.wait_for(lambda: self.game.scherm().startswith("..") and self.game.stage() is not None, "a game")
            return
        box = self.game.wait_box("Wordrope")
        stage = self.case.get("stage")
        for part in self.case["report"] + ((f"scafo{stage}.bmp",) if stage else ()):
            self.assertIn(part, box["text"])
        self.game.answer(box, "OK")
        self.assertEqual(self.game.wait_exit(), 1)


for _name, _case in CATALOGUE.items():
    globals()[f"BadData_{_name}"] = type(f"BadData_{_name}", (BadData,), {"case": _case})
del BadData


class PictureSizes(WindowTest):
    stages = {1: wd.bitmap(600, 400, (10, 20, 30)), 2: wd.bitmap(20, 10, (40, 50, 60))}

    def test_pictures_show_at_natural_size_clipped_on_grey(self):
        self.game.click(NEW_WORD)
        wd.wait_for(lambda: self.game.pixel(PICTURE1, 264, 216) == (10, 20, 30), "the large picture, clipped")
        self.press("x")
        wd.wait_for(lambda: self.game.pixel(PICTURE1, 5, 5) == (40, 50, 60), "the small picture")
        self.assertEqual(self.game.pixel(PICTURE1, 30, 5), (192, 192, 192))
        self.assertEqual(self.game.pixel(PICTURE1, 5, 20), (192, 192, 192))
        self.assertEqual(self.game.controls[PICTURE1]["rect"], (0, 0, 265, 217))


# Folders a player may have: names outside the system's code page (1252 here), and a path past
# 260 characters. The game plays from each and names a missing picture by its real path.
LONG_FOLDER = os.path.join(*["długa ścieżka " + "x" * 40] * 6)
FOLDERS = {"polish": "Łódź gra", "japanese": "ゲーム", "long_path": LONG_FOLDER}


class Folders(WindowTest):
    folder = None
    stages = {2: None}

    def setUp(self):
        self.game = wd.Game(PROBE, self.words, self.stages, name="folder", folder=self.folder)
        self.addCleanup(self.game.stop)
        self.game.start()

    def test_plays_a_win_and_names_a_missing_picture_by_its_path(self):
        self.assertGreater(len(self.game.windows_path("scafo2.bmp")), 260 if self.folder == LONG_FOLDER else 0)
        self.new_word()
        for letter in "cab":
            self.press(letter)
        self.game.answer(self.game.wait_box(WIN), "Yes")
        self.wait_screen("...", 1)
        self.press("x")
        box = self.game.wait_box("Wordrope")
        self.assertIn(self.game.windows_path("scafo2.bmp"), box["text"])
        self.game.answer(box, "OK")
        self.assertEqual(self.game.wait_exit(), 1)

    def test_the_list_checker_reads_a_list_there(self):
        checker = os.path.join(wd.GAME_DIR, "wlstcheck.exe")
        path = self.game.windows_path("wlstdata.dat")
        # Through a file: Wine's helper processes would hold a pipe open.
        with tempfile.TemporaryFile() as out:
            status = subprocess.run([wd.WINE, checker, path], stdout=out, stderr=subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL, timeout=60).returncode
            out.seek(0)
            report = out.read().decode("utf-8").strip()
        self.assertEqual((status, report), (0, f"{path}: 1 entries, 1 drawable, 1 winnable: good"))


for _name, _folder in FOLDERS.items():
    globals()[f"Folder_{_name}"] = type(f"Folder_{_name}", (Folders,), {"folder": _folder})
del Folders


class HighDpi(WindowTest):
    """At 144 dots per inch the layout and the pictures grow by half, from the same twips."""

    def setUp(self):
        set_dpi(144)
        self.addCleanup(set_dpi, 96)
        super().setUp()

    def test_layout_and_pictures_scale_by_one_and_a_half(self):
        g = self.game
        self.assertEqual(g.form[2:], (628, 372))
        self.assertEqual(g.controls[PICTURE1]["rect"], (0, 0, 398, 326))
        self.assertEqual(g.controls[NEW_WORD]["rect"], (432, 168, 158, 26))
        self.assertEqual(g.controls[letter_id("b")]["rect"], (24, 324, 26, 26))
        self.new_word()
        # A 40 x 30 stage picture covers 60 x 45 pixels; grey lies beyond.
        self.assertEqual(g.pixel(PICTURE1, 58, 43), wd.STAGE_COLOURS[1])
        self.assertEqual(g.pixel(PICTURE1, 62, 10), (192, 192, 192))
        self.assertEqual(g.pixel(PICTURE1, 10, 47), (192, 192, 192))


def set_dpi(dpi):
    """Wine reads LogPixels when a process starts."""
    subprocess.run([wd.WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                   timeout=60)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--game-dir", default=wd.GAME_DIR)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    wd.GAME_DIR = ARGS.game_dir
    result = unittest.main(argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)
