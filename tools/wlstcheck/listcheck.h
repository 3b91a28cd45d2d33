// Checking a word list as the game will read it: what it refuses, what can never be won, what is odd.
#pragma once

#include <string>
#include <vector>

namespace wordrope {

struct ListReport {
    std::vector<std::string> lines;  // "FILE:LINE: error|warning|note: ..." then the summary
    int errors = 0;
    int warnings = 0;
    int notes = 0;
    long entries = 0;
    long drawable = 0;  // the draw can return them
    long winnable = 0;  // and the letter buttons can complete them
};

// Reads the list at `path` with the game's own reader; `shown` is the name used in the report.
ListReport checkList(const std::string& path, const std::string& shown);

// The list beside the program in `programFolder` (wlstdata.dat, as the game reads it); where the
// folder cannot be told (""), the report of that, and no list elsewhere read in its place.
ListReport checkListBeside(const std::string& programFolder);

// What a letter button can never reveal in `entry`, as a readable list ("'B', '3'"); "" if nothing.
std::string unrevealable(const std::string& entry);

}  // namespace wordrope
