// The step routine driven through a fake window: game flow, outcomes, failures and mends.
#include "game.h"
#include "files.h"
#include "support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace wordrope;
using namespace wordrope::test;

namespace {

using Log = std::vector<std::string>;

// A game folder with the nine pictures and a word list, and a game on it.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { folder.writePictures(); }

    // A list and the random values of the coming draws.
    void useList(const std::string& bytes, std::deque<float> values = {0.0f}) {
        folder.writeList(bytes);
        random.values = std::move(values);
    }
    void press(const std::string& letters) {
        for (char c : letters) {
            game.guess = std::string(1, c);
            game.textopscherm();
        }
    }
    void newWord() {
        game.state = kNewGame;
        game.textopscherm();
    }
    Log takeLog() { return std::exchange(window.log, {}); }

    GameFolder folder;
    FakeWindow window;
    ScriptedRandom random;
    Game game{window, random, folder.dir()};
};

TEST_F(GameTest, NewWordReadsTheListAfreshAndDropsTheGameInPlay) {
    useList("zero\r\nwell-done\r\nice cream\r\n", {0.5f, 0.99f, 0.0f});
    press("a");  // before the first new word nothing changes but the guess
    EXPECT_EQ(game.guess, "a");
    EXPECT_TRUE(window.log.empty());
    newWord();  // 2 x 0.5 + 1: entry 2
    EXPECT_EQ(takeLog(), (Log{"picture scafo1.bmp", "scherm ....-...."}));
    EXPECT_EQ(game.state, kGuessing);
    press("exy");
    takeLog();
    newWord();  // mid-game: dropped silently
    EXPECT_EQ(takeLog(), (Log{"picture scafo1.bmp", "scherm ... ....."}));
    press("x");
    EXPECT_EQ(window.picture, "scafo2.bmp") << "misses count from nought again";
    folder.writeList("after");
    newWord();
    EXPECT_EQ(game.word, "after");
}

TEST_F(GameTest, WinningAsksAndYesStartsTheNextGameInTheSameCall) {
    useList(kUtf8Mark + "ab", {0.0f, 0.0f});  // saved by Notepad as UTF-8 with BOM: played as written
    newWord();
    press("z");
    takeLog();
    window.answers = {true};
    press("ab");
    EXPECT_EQ(takeLog(), (Log{"scherm a.", "scherm ab", "ask " + kWinText + "|" + kAgainText,
                              "picture scafo1.bmp", "scherm .."}));
    EXPECT_EQ(game.state, kGuessing);
}

TEST_F(GameTest, EachMissShowsTheNextStageAndTheEighthAsksWithTheWord) {
    useList("Quiz", {0.0f, 0.0f});
    newWord();
    takeLog();
    press("abcdefg");
    EXPECT_EQ(takeLog(),
              (Log{"picture scafo2.bmp", "picture scafo3.bmp", "picture scafo4.bmp", "picture scafo5.bmp",
                   "picture scafo6.bmp", "picture scafo7.bmp", "picture scafo8.bmp"}));
    window.answers = {true, false};
    press("h");
    EXPECT_EQ(takeLog(), (Log{"picture scafo9.bmp", "ask " + kLossText + "Quiz|" + kAgainText,
                              "picture scafo1.bmp", "scherm ...."}));
    press("abcdefgh");
    EXPECT_EQ(window.log.back(), "end");
    EXPECT_EQ(window.scherm, "....") << "the lost word is never written into scherm";
}

TEST_F(GameTest, GuessesFollowTheRulesWhateverTheWord) {
    const struct {
        const char* word;
        const char* firstMask;
        const char* presses;
        const char* lastMask;  // after the presses
        int stage;             // the stage picture shown last
        bool ends;             // the presses won or lost the game (answered No)
    } cases[] = {
        {"geese", ".....", "eex", ".ee.e", 3, false},  // every occurrence revealed; a repeat is a miss
        {"a", ".", "bcdefgha", "a", 8, true},          // seven misses, and the last letter still wins
        {"a.b", "...", "ab", "a.b", 1, true},          // a dot is never revealed, yet matches
        {"Bob", "...", "bo", ".ob", 1, false},         // the capital can never be shown
        {"- -", "- -", "abcdefgh", "- -", 9, true},    // complete from the start, every press a miss
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        window = FakeWindow{};
        game.state = kIdle;
        useList(c.word);
        newWord();
        EXPECT_EQ(window.scherm, c.firstMask);
        window.answers = {false};
        press(c.presses);
        EXPECT_EQ(window.scherm, c.lastMask);
        EXPECT_EQ(window.picture, "scafo" + std::to_string(c.stage) + ".bmp");
        EXPECT_EQ(window.ended, c.ends);
    }
}

TEST_F(GameTest, NoRevealedMarkOfALongWordLeaksIntoTheNextGame) {
    // Position 33 of the first word is revealed; in the second it must stay hidden until guessed.
    std::string first(35, 'a'), second(35, 'b');
    first[32] = 'q';
    second[32] = 'c';
    useList(first + "\r\n" + second, {0.0f, 0.99f});
    newWord();
    press("q");
    newWord();
    press("b");
    EXPECT_EQ(window.scherm, std::string(32, 'b') + ".bb");
}

// An empty entry drawn is drawn again with a new value; a list of empty entries only, or a picture
// gone when it is needed, reaches the caller, named.
TEST_F(GameTest, AnEmptyEntryIsDrawnAgainAndFailuresReachTheCallerNamed) {
    useList("x\r\n\r\n", {0.75f, 0.25f, 0.0f});  // 1 x 0.75 + 1 rounds to 2: the empty last line
    newWord();
    EXPECT_EQ(game.word, "x");
    EXPECT_EQ(random.values.size(), 1u);
    useList(",,\r\n,");
    EXPECT_NE(failureOf([&] { newWord(); }).find("all 4 entries are empty"), std::string::npos);
    useList("ab");
    newWord();
    std::filesystem::remove(hostPath(folder.path("scafo3.bmp")));
    EXPECT_NE(failureOf([&] { press("xy"); }).find("scafo3.bmp\": not found"), std::string::npos);
}

// Two starts of the program, each with the generator the window makes, draw different words:
// every new game reseeds it from the clock. With 4,096 words, three draws of one start repeat
// those of the other by chance about once in 7 x 10^10 runs.
TEST_F(GameTest, EachStartDrawsOtherWordsThanTheLast) {
    std::string list;
    for (int n = 0; n < 4096; ++n) list.append("w").append(std::to_string(n)).append("\n");
    folder.writeList(list);
    const auto start = [&] {
        TwisterRandom twister;  // as the window holds it, seeded alike at every start
        Game started(window, twister, folder.dir());
        std::vector<std::string> words;
        for (int draw = 0; draw < 3; ++draw) {
            started.state = kNewGame;
            started.textopscherm();
            words.push_back(started.word);
        }
        return words;
    };
    const auto first = start();
    for (const auto seen = std::chrono::high_resolution_clock::now();
         std::chrono::high_resolution_clock::now() == seen;) {
    }  // the clock moves on, as it does between two starts
    EXPECT_NE(start(), first);
}

}  // namespace
