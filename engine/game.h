// The game state of the main window and its step routine `textopscherm`.
#pragma once

#include "mask.h"
#include "wordlist.h"

#include <cstdint>
#include <string>

namespace wordrope {

class WindowPort;
class RandomSource;

// State codes.
enum : std::int16_t {
    kIdle = 0,      // no game set up since start-up
    kDrawn = 1,     // a word is drawn, its mask not yet built
    kGuessing = 2,  // a game is in progress
    kNewGame = 3,   // a new game is requested
};

inline constexpr int kMissLimit = 8;

inline const std::string kWinTitle = " !!! WELL DONE !!! ";
inline const std::string kLossTitle = " No!!, the answer was ";
inline const std::string kAgainPrompt = " Do you want to play again ? ";

// What stage picture `stage` shows, in the game's words, for those who cannot see it (a screen
// reader names Picture1 so); stage 0 is the empty gallows the window opens with.
std::string describeStage(int stage);

class Game {
public:
    // `programDir` is the directory of the program without a trailing
    // separator (but for a drive root); the data files are looked up there.
    Game(WindowPort& window, RandomSource& random, std::string programDir);

    // Advances the game by one button press, after the handler has set
    // `guess` or `state`. Failures propagate to the caller untouched.
    void textopscherm();

    // The state, kept with the names the window's handlers and tests use.
    Slots letters;  // slot k: character k of `word`; slot 0 unused
    Slots marks;    // "@" where that character is revealed
    std::string guess;
    std::int16_t misses = 0;
    std::int16_t entries = 0;
    std::int16_t pick = 0;
    std::int16_t state = kIdle;
    std::string word;

private:
    enum class Outcome { Return, PlayAgain, Ended };

    void setUpNewGame();
    void drawWord();
    Outcome settle(const Evaluation& guessed);
    void showStage(int stage);

    WindowPort& window_;
    RandomSource& random_;
    std::string programDir_;
    WordList list_;  // its buffer is kept from game to game
};

}  // namespace wordrope
