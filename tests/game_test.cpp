// The step routine driven through a fake window: game flow, outcomes, failures and mends.
#include "game.h"
#include "failure.h"
#include "support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
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
    void press(char letter) {
        game.guess = std::string(1, letter);
        game.textopscherm();
    }
    void pressAll(const std::string& letters) {
        for (char c : letters) press(c);
    }
    void newWord() {
        game.state = kNewGame;
        game.textopscherm();
    }
    Log takeLog() {
        Log l;
        l.swap(window.log);
        return l;
    }

    GameFolder folder;
    FakeWindow window;
    ScriptedRandom random;
    Game game{window, random, folder.dir()};
};

const std::string kAsk = " Do you want to play again ? ";

TEST_F(GameTest, LettersBeforeTheFirstNewWordChangeNothingButTheGuess) {
    useList("apple");
    press('a');
    EXPECT_EQ(game.guess, "a");
    EXPECT_EQ(game.state, kIdle);
    EXPECT_TRUE(window.log.empty());
    newWord();
    EXPECT_EQ(takeLog(), (Log{"picture scafo1.bmp", "scherm ....."}));
    EXPECT_EQ(game.state, kGuessing);
}

TEST_F(GameTest, NewWordSetsUpDrawsAndMasksInOneCall) {
    useList("zero\r\nwell-done\r\nice cream\r\n", {0.5f, 0.99f});
    newWord();
    EXPECT_EQ(takeLog(), (Log{"picture scafo1.bmp", "scherm ....-...."}));
    EXPECT_EQ(game.word, "well-done");
    EXPECT_EQ(game.entries, 2);  // three entries, less one
    EXPECT_EQ(game.pick, 2);
    EXPECT_EQ(game.misses, 0);
    EXPECT_EQ(random.reseeds, 1);
    newWord();
    EXPECT_EQ(window.scherm, "... .....");
    EXPECT_EQ(random.reseeds, 2);
}

TEST_F(GameTest, AGuessRevealsEveryOccurrenceAndARepeatIsAMiss) {
    useList("geese");
    newWord();
    takeLog();
    press('e');
    EXPECT_EQ(takeLog(), (Log{"scherm .ee.e"}));
    press('e');
    EXPECT_EQ(takeLog(), (Log{"picture scafo2.bmp"}));  // the mask stays
    EXPECT_EQ(game.misses, 1);
    press('x');
    EXPECT_EQ(takeLog(), (Log{"picture scafo3.bmp"}));
    EXPECT_EQ(game.guess, "x");
}

TEST_F(GameTest, WinningAsksAndYesStartsTheNextGameInTheSameCall) {
    useList("ab", {0.0f, 0.0f});
    newWord();
    press('z');
    takeLog();
    window.answers = {true};
    press('a');
    press('b');
    EXPECT_EQ(takeLog(), (Log{"scherm a.", "scherm ab", "ask  !!! WELL DONE !!! |" + kAsk,
                              "picture scafo1.bmp", "scherm .."}));
    EXPECT_EQ(game.state, kGuessing);
    EXPECT_EQ(game.misses, 0);
    EXPECT_EQ(game.marks[1], "");
}

TEST_F(GameTest, SevenMissesThenTheLastLetterStillWins) {
    useList("a");
    newWord();
    EXPECT_EQ(window.scherm, ".");
    pressAll("bcdefgh");
    EXPECT_EQ(window.picture, "scafo8.bmp");
    window.answers = {false};
    press('a');
    EXPECT_EQ(window.scherm, "a");
    EXPECT_EQ(window.log.back(), "end");
    EXPECT_TRUE(window.ended);
}

TEST_F(GameTest, TheEighthMissShowsStageNineThenAsksWithTheWord) {
    useList("Quiz", {0.0f, 0.0f});
    newWord();
    pressAll("abcdefg");
    takeLog();
    window.answers = {true};
    press('h');
    EXPECT_EQ(takeLog(), (Log{"picture scafo9.bmp", "ask  No!!, the answer was Quiz|" + kAsk,
                              "picture scafo1.bmp", "scherm ...."}));
    EXPECT_EQ(game.misses, 0);
    pressAll("abcdefg");
    window.answers = {false};
    press('h');
    EXPECT_EQ(window.log.back(), "end");
    EXPECT_EQ(window.scherm, "....") << "the lost word is never written into scherm";
}

TEST_F(GameTest, NewWordMidGameDropsItSilently) {
    useList("abc", {0.0f, 0.0f});
    newWord();
    pressAll("axy");
    EXPECT_EQ(game.misses, 2);
    takeLog();
    newWord();
    EXPECT_EQ(takeLog(), (Log{"picture scafo1.bmp", "scherm ..."}));
    EXPECT_EQ(game.misses, 0);
}

struct UnusualWord {
    const char* word;
    const char* firstMask;
    const char* presses;
    const char* lastMask;  // after the presses
    bool ends;             // the presses won or lost the game (answered No)
};

TEST_F(GameTest, UnusualWordsFollowTheRules) {
    const UnusualWord cases[] = {
        {"a.b", "...", "ab", "a.b", true},   // a dot is never revealed, yet matches
        {"Bob", "...", "bo", ".ob", false},  // the capital can never be shown
        {"x-ray", ".-...", "xray", "x-ray", true},
        {"- -", "- -", "abcdefgh", "- -", true},  // complete from the start, every press a miss
        {"k", ".", "k", "k", true},
    };
    for (const UnusualWord& c : cases) {
        SCOPED_TRACE(c.word);
        window = FakeWindow{};
        game.state = kIdle;
        useList(c.word);
        newWord();
        EXPECT_EQ(window.scherm, c.firstMask);
        window.answers = {false};
        pressAll(c.presses);
        EXPECT_EQ(window.scherm, c.lastMask);
        EXPECT_EQ(window.ended, c.ends);
    }
}

TEST_F(GameTest, AnEmptyEntryIsNeverDrawn) {
    // Two entries, the second an empty last line: 1 x r + 1 rounds to 2 for r = 0.75.
    useList("x\r\n\r\n", {0.75f, 0.25f, 0.0f});
    newWord();
    EXPECT_EQ(game.word, "x");
    EXPECT_EQ(random.values.size(), 1u) << "the empty draw is repeated with a new value";
}

TEST_F(GameTest, QuotedEntryWithACommaIsOneWord) {
    useList("\"ice, cream\"");
    newWord();
    EXPECT_EQ(game.word, "ice, cream");
    EXPECT_EQ(window.scherm, ".... .....");
}

TEST_F(GameTest, NoRevealedMarkOfALongWordLeaksIntoTheNextGame) {
    // 35 letters, "q" only at position 33. The next word reveals nothing at 33 before its letter is guessed.
    std::string first(35, 'a');
    first[32] = 'q';
    std::string second(35, 'b');
    useList(first + "\r\n" + second, {0.0f, 0.99f});
    newWord();
    press('q');
    EXPECT_EQ(game.marks[33], "@");
    newWord();
    EXPECT_EQ(game.word, second);
    for (std::size_t k = 1; k <= 40; ++k) EXPECT_EQ(game.marks[k], "") << "slot " << k;
    press('z');
    EXPECT_EQ(game.misses, 1);
    window.answers = {false};
    press('b');
    EXPECT_EQ(window.scherm, second) << "won only when every letter is guessed";
}

// Failures reach the caller untouched, with the file and the problem in the message.
std::string failureOf(Game& game, const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& f) {
        return f.what();
    }
    (void)game;
    return "";
}

TEST_F(GameTest, FailuresNameTheFileAndProblem) {
    folder.remove("scafo1.bmp");
    useList("word");
    EXPECT_NE(failureOf(game, [&] { newWord(); }).find("scafo1.bmp\": not found"), std::string::npos);
    folder.writePictures();

    folder.remove("wlstdata.dat");
    EXPECT_NE(failureOf(game, [&] { newWord(); }).find("wlstdata.dat\": not found"), std::string::npos);

    useList(",,\r\n,");
    EXPECT_NE(failureOf(game, [&] { newWord(); }).find("all 4 entries are empty"), std::string::npos);

    useList("ab");
    newWord();
    folder.remove("scafo3.bmp");
    press('x');
    EXPECT_NE(failureOf(game, [&] { press('y'); }).find("scafo3.bmp\": not found"), std::string::npos);
}

}  // namespace
