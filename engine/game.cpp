// The step routine: new game and draw, the mask, guess evaluation and the outcome.
#include "game.h"

#include "bitmap.h"
#include "failure.h"
#include "files.h"
#include "random_source.h"
#include "window_port.h"
#include "wordlist.h"

#include <utility>

namespace wordrope {

Game::Game(WindowPort& window, RandomSource& random, std::string programDir)
    : window_(window), random_(random), programDir_(std::move(programDir)) {}

void Game::textopscherm() {
    for (;;) {
        if (state == kNewGame) {
            setUpNewGame();  // leaves state 1: the next turn builds the mask
            continue;
        }
        if (state == kIdle || word.empty()) return;  // letters before the first game
        if (state != kGuessing) {
            window_.setScherm(setUpMask(word, letters, marks));
            state = kGuessing;
            return;
        }
        if (settle(evaluateGuess(word.size(), letters, marks, guess)) != Outcome::PlayAgain) return;
        state = kNewGame;
    }
}

void Game::setUpNewGame() {
    showStage(1);
    misses = 0;
    random_.reseed();
    // All 40 slots, so that no "@" of an earlier long word survives into this game.
    for (std::size_t k = 1; k < letters.size(); ++k) {
        letters[k].clear();
        marks[k].clear();
    }
    drawWord();
    state = kDrawn;
}

void Game::drawWord() {
    // The list is read afresh at every new game (players edit it while the game is open),
    // once: the count, the pick and any draw again after an empty entry use what was read.
    entries = list_.load(dataPath(programDir_, kWordListName));
    const std::int16_t count = entries;
    for (;;) {
        entries = count;
        pick = 0;
        --entries;
        pick = pickIndex(entries, random_.next());
        word = list_.entry(pick);
        if (!word.empty()) return;
        list_.requireWord();  // a list of only empty entries would draw forever
    }
}

Game::Outcome Game::settle(const Evaluation& guessed) {
    if (!guessed.found) {
        ++misses;  // at most 8: never near the 16-bit limit
        showStage(misses + 1);
        if (misses < kMissLimit) return Outcome::Return;  // the mask stays as it was
        if (window_.askYesNo(kLossTitle + word, kAgainPrompt)) return Outcome::PlayAgain;
        window_.end();
        return Outcome::Ended;
    }
    if (word != guessed.display) {
        window_.setScherm(guessed.display);
        return Outcome::Return;
    }
    window_.setScherm(word);
    if (window_.askYesNo(kWinTitle, kAgainPrompt)) return Outcome::PlayAgain;
    window_.end();
    return Outcome::Ended;
}

// The engine reads and checks the picture; the window only turns its pixels into a bitmap.
void Game::showStage(int stage) {
    window_.showPicture(readBitmapFile(dataPath(programDir_, stageName(stage))), stage);
}

std::string describeStage(int stage) {
    if (stage < 1) return "Gallows: no game yet";
    if (stage == 1) return "Gallows: no misses";
    return "Gallows: " + std::to_string(stage - 1) + " of " + std::to_string(kMissLimit) + " misses";
}

}  // namespace wordrope
