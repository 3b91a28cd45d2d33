// The mask rules: splitting the word into slots, the first mask, and evaluating a guess.
#pragma once

#include <array>
#include <string>

namespace wordrope {

// 41 text slots, 0..40; slot k holds position k of the word, slot 0 is unused.
using Slots = std::array<std::string, 41>;

inline const std::string kRevealed = "@";

// Fills `letters` from `word` and marks hyphens and spaces as revealed; returns
// the first mask: "-" and " " as themselves, "." for every other position.
// The word must fit the slots (at most 40 characters).
std::string setUpMask(const std::string& word, Slots& letters, Slots& marks);

struct Evaluation {
    std::string display;  // the new mask
    bool found = false;   // the guess revealed a position that was hidden
};

// Reveals every hidden position of the first `length` whose letter equals `guess`.
Evaluation evaluateGuess(std::size_t length, const Slots& letters, Slots& marks, const std::string& guess);

}  // namespace wordrope
