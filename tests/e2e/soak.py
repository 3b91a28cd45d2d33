#!/usr/bin/env python3
"""Soak under Wine: many games through the real window in one process (wins, losses, New word
mid-game, help boxes, double-clicks, random letters), every mask and picture checked against a
model of the rules; then the process's memory against a bound, and the game folder unchanged.

Usage (inside scripts/with-display.sh): soak.py --probe PROBE [--games N] [--seed S]
"""
import argparse
import hashlib
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_driver as wd  # noqa: E402

WORD = "cab"
MEMORY_BOUND = 8 << 20  # bytes of page-file growth allowed over the whole soak


def snapshot(folder):
    """Every file of the folder with its digest."""
    out = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            out[name] = hashlib.sha256(f.read()).hexdigest()
    return out


class Soak:
    def __init__(self, game, rng):
        self.g, self.rng = game, rng
        self.mask = None
        self.misses = 0
        self.shown = ""   # what scherm shows
        self.guess = ""

    def fresh(self):
        self.mask, self.misses = "...", 0
        self.shown = self.mask

    def check_screen(self):
        wd.wait_for(lambda: self.g.scherm() == self.shown, f"scherm {self.shown!r}")
        stage = self.misses + 1
        wd.wait_for(lambda: self.g.stage() == stage, f"stage {stage}")

    def new_word(self):
        self.g.click(wd.NEW_WORD)
        self.fresh()
        self.check_screen()

    def press(self, letter):
        """Presses a letter and waits for what the rules say it shows; returns a box it opens."""
        before = self.g.picture_handle()
        self.g.click(wd.letter_id(letter))
        self.guess = letter
        revealed = "".join(c if c == letter or m != "." else "." for c, m in zip(WORD, self.mask))
        if revealed != self.mask:
            self.mask = revealed
            self.shown = revealed
            if revealed == WORD:
                return self.g.wait_box(" !!! WELL DONE !!! ")
            wd.wait_for(lambda: self.g.scherm() == revealed, f"mask {revealed!r}")
            return None
        self.misses += 1
        wd.wait_for(lambda: self.g.picture_handle() != before, f"the picture of miss {self.misses}")
        if self.misses == 8:
            return self.g.wait_box(" No!!, the answer was " + WORD)
        return None

    def settle(self, box, again):
        self.check_screen()  # the last stage or the complete word is on screen with the question
        self.g.answer(box, "Yes" if again else "No")
        if again:
            self.fresh()
            self.check_screen()

    def game(self, last):
        kind = self.rng.choice(["win", "loss"] if last else ["win", "loss", "dropped", "random"])
        letters = {"win": "cab", "loss": "defghijk", "dropped": "dxa", "random": None}[kind]
        while True:
            if self.rng.random() < 0.1:
                self.g.click(wd.HELP)
                self.g.answer(self.g.wait_box("HELP"), self.rng.choice(["OK", "Cancel"]))
                self.check_screen()
            if self.rng.random() < 0.1:
                self.g.double_click(wd.SCHERM)
                self.shown = self.guess
                wd.wait_for(lambda: self.g.scherm() == self.shown, "the last letter in scherm")
            if letters is None:
                letter = self.rng.choice("abcdefghijklmnopqrstuvwxyz")
            elif letters:
                letter, letters = letters[0], letters[1:]
            else:
                self.check_screen()
                return self.new_word()  # dropped mid-game
            box = self.press(letter)
            if box:
                return self.settle(box, again=not last)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    parser.add_argument("--games", type=int, default=500)
    parser.add_argument("--seed", type=int, default=20261206)
    args = parser.parse_args()

    probe = wd.Probe(args.probe)
    stages = {n: wd.bitmap(332, 220, c) for n, c in wd.STAGE_COLOURS.items()}  # full-size pictures
    game = wd.Game(probe, WORD.encode() + b"\r\n", stages, name="soak")
    began = time.monotonic()
    try:
        before = snapshot(game.folder)
        beside = set(os.listdir(os.path.dirname(game.folder)))
        game.start()
        soak = Soak(game, random.Random(args.seed))
        soak.new_word()
        soak.game(last=False)
        first = game.memory()
        for n in range(2, args.games):
            soak.game(last=False)
            if n % 50 == 0:
                print(f"{n} games in {time.monotonic() - began:.0f} s; page file {game.memory()[0] >> 10} KB",
                      flush=True)
        last = game.memory()
        soak.game(last=True)  # answered No: the program ends
        status = game.wait_exit()
        after = snapshot(game.folder)
        new_beside = set(os.listdir(os.path.dirname(game.folder))) - beside
    finally:
        game.stop()
        probe.close()

    growth = last[0] - first[0]
    print(f"{args.games} games in {time.monotonic() - began:.0f} s")
    print(f"page file after game 1: {first[0] >> 10} KB, after game {args.games - 1}: {last[0] >> 10} KB "
          f"(growth {growth >> 10} KB, bound {MEMORY_BOUND >> 10} KB); working set {first[1] >> 10} -> "
          f"{last[1] >> 10} KB")
    failures = []
    if growth > MEMORY_BOUND:
        failures.append("memory grew beyond the bound")
    if status != 0:
        failures.append(f"the program ended with status {status}")
    if after != before:
        failures.append(f"the game folder changed: {sorted(set(after.items()) ^ set(before.items()))}")
    if new_beside - {os.path.basename(game.folder) + ".wine.log", os.path.basename(game.folder)}:
        failures.append(f"files appeared beside the game folder: {sorted(new_beside)}")
    if not any("folder" in f for f in failures):
        print("the game folder is unchanged and nothing was written beside it")
    for f in failures:
        print("FAILED:", f)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
