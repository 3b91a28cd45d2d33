// The mask rules.
#include "mask.h"

#include "failure.h"

namespace wordrope {

std::string setUpMask(const std::string& word, Slots& letters, Slots& marks) {
    if (word.size() >= letters.size())
        throw Failure("The word \"" + word + "\" is longer than 40 characters");
    std::string display;
    for (std::size_t k = 1; k <= word.size(); ++k) {
        letters[k] = word.substr(k - 1, 1);
        if (letters[k] == "-" || letters[k] == " ") {
            display += letters[k];
            marks[k] = kRevealed;
        } else {
            display += '.';
        }
    }
    return display;
}

Evaluation evaluateGuess(std::size_t length, const Slots& letters, Slots& marks, const std::string& guess) {
    Evaluation e;
    for (std::size_t k = 1; k <= length && k < letters.size(); ++k) {
        if (marks[k] != kRevealed && letters[k] == guess) {
            e.display += letters[k];
            marks[k] = kRevealed;
            e.found = true;
        } else if (marks[k] == kRevealed) {
            e.display += letters[k];
        } else {
            e.display += '.';
        }
    }
    return e;
}

}  // namespace wordrope
