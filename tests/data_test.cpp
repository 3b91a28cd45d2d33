// The data the game ships: the word list and the stage pictures in the game folder.
#include "bitmap.h"
#include "files.h"
#include "wordlist.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

using namespace wordrope;

namespace {

const std::string kGameDir = WORDROPE_GAME_DIR;

TEST(ShippedData, TheWordListHoldsOnlyWinnableLowerCaseWords) {
    WordList list;
    const int entries = list.load(dataPath(kGameDir, kWordListName));
    EXPECT_GT(entries, 2000);
    std::set<std::string> seen;
    const std::regex winnable("[a-z]+([- ][a-z]+)*");
    for (int k = 1; k <= entries; ++k) {
        const std::string word = list.entry(static_cast<std::int16_t>(k));
        EXPECT_TRUE(std::regex_match(word, winnable)) << "entry " << k << ": \"" << word << "\"";
        EXPECT_TRUE(seen.insert(word).second) << "entry " << k << " again: " << word;
    }
}

TEST(ShippedData, TheNineStagesAreBitmapsOfOneSize) {
    for (int stage = 1; stage <= 9; ++stage) {
        const Bitmap b = readBitmapFile(dataPath(kGameDir, stageName(stage)));
        EXPECT_EQ(b.width, 332) << stage;
        EXPECT_EQ(b.height, 220) << stage;
    }
}

}  // namespace
