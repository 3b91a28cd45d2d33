// The catalogue of bad data: word lists and stage pictures the game may meet, each with what it must
// make of them: a clear failure naming the file and the problem, or normal play.
#include "failure.h"
#include "game.h"
#include "support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>

using namespace wordrope;
using namespace wordrope::test;

namespace {

std::string lines(int n, const std::string& prefix = "w") {
    std::string s;
    for (int i = 1; i <= n; ++i) s += prefix + std::to_string(i) + "\r\n";
    return s;
}

struct ListCase {
    const char* name;
    std::function<void(const GameFolder&)> make;  // writes (or leaves out) wlstdata.dat
    float r;                                      // the random value of the draw
    const char* failure;                          // part of the failure's text; nullptr: it plays
    std::string word;                             // the word it must draw when it plays
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

void list(const GameFolder& f, const std::string& bytes) { f.writeList(bytes); }

const float kLast = std::nextafter(1.0f, 0.0f);

class ListCatalogue : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListCatalogue, FailsClearlyOrPlays) {
    const ListCase& c = GetParam();
    GameFolder folder;
    folder.writePictures();
    c.make(folder);
    FakeWindow window;
    ScriptedRandom random({c.r});
    Game game(window, random, folder.dir());
    const auto start = std::chrono::steady_clock::now();
    try {
        game.state = kNewGame;
        game.textopscherm();
        ASSERT_EQ(c.failure, nullptr) << "played, but should have failed with: " << c.failure;
        EXPECT_EQ(game.word, c.word);
        EXPECT_EQ(window.scherm.size(), c.word.size());
        EXPECT_EQ(game.state, kGuessing);
    } catch (const Failure& f) {
        ASSERT_NE(c.failure, nullptr) << "failed: " << f.what();
        const std::string what = f.what();
        EXPECT_NE(what.find(c.failure), std::string::npos) << what;
        EXPECT_NE(what.find("wlstdata.dat"), std::string::npos) << "names the file: " << what;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "no slowdown";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListCatalogue,
    ::testing::Values(
        ListCase{"missing", [](const GameFolder&) {}, 0.0f, "not found", ""},
        ListCase{"zero_bytes", [](const GameFolder& f) { list(f, ""); }, 0.0f, "the file is empty", ""},
        ListCase{"only_blank_lines", [](const GameFolder& f) { list(f, "\r\n\r\n\r\n"); }, 0.0f,
                 "entries are empty", ""},
        ListCase{"only_commas", [](const GameFolder& f) { list(f, ",,,,"); }, 0.0f, "entries are empty", ""},
        ListCase{"only_blanks", [](const GameFolder& f) { list(f, "   \r\n \t "); }, 0.0f,
                 "entries are empty", ""},
        ListCase{"exactly_32766_entries_last_drawn", [](const GameFolder& f) { list(f, lines(32766)); },
                 kLast, nullptr, "w32766"},
        ListCase{"exactly_32766_entries_first_drawn", [](const GameFolder& f) { list(f, lines(32766)); },
                 0.0f, nullptr, "w1"},
        ListCase{"32767_entries", [](const GameFolder& f) { list(f, lines(32767)); }, 0.0f,
                 "more than 32,766", ""},
        ListCase{"40000_entries", [](const GameFolder& f) { list(f, lines(40000)); }, 0.0f,
                 "more than 32,766", ""},
        ListCase{"entry_of_40", [](const GameFolder& f) { list(f, std::string(40, 'q')); }, 0.0f, nullptr,
                 std::string(40, 'q')},
        ListCase{"entry_of_41", [](const GameFolder& f) { list(f, "ok\r\n" + std::string(41, 'q')); }, 0.0f,
                 "entry 2 (line 2) is 41 characters long", ""},
        ListCase{"unclosed_quote", [](const GameFolder& f) { list(f, "one\r\n\"two, three\r\nfour"); }, kLast,
                 nullptr, "two, three\r\nfour"},
        ListCase{"quoted_commas", [](const GameFolder& f) { list(f, "\"a, b, c\""); }, 0.0f, nullptr,
                 "a, b, c"},
        ListCase{"quoted_line_end", [](const GameFolder& f) { list(f, "\"two\r\nlines\""); }, 0.0f, nullptr,
                 "two\r\nlines"},
        ListCase{"cr_only", [](const GameFolder& f) { list(f, "one\rtwo\rthree"); }, 0.5f, nullptr, "two"},
        ListCase{"lf_only", [](const GameFolder& f) { list(f, "one\ntwo\nthree\n"); }, 0.5f, nullptr, "two"},
        ListCase{"mixed_line_ends", [](const GameFolder& f) { list(f, "one\r\ntwo\nthree\rfour"); }, kLast,
                 nullptr, "four"},
        ListCase{"utf8_byte_order_mark", [](const GameFolder& f) { list(f, "\xef\xbb\xbfword"); }, 0.0f,
                 nullptr, "\xef\xbb\xbfword"},
        ListCase{"high_bytes_and_nul",
                 [](const GameFolder& f) { list(f, std::string("caf\xe9\x80\xff\0x", 8)); }, 0.0f, nullptr,
                 std::string("caf\xe9\x80\xff\0x", 8)},
        ListCase{"five_megabytes_without_separator",
                 [](const GameFolder& f) { list(f, std::string(5 * 1024 * 1024, 'z')); }, 0.0f,
                 "is 5242880 characters long", ""},
        ListCase{"a_folder", [](const GameFolder& f) { f.makeFolder("wlstdata.dat"); }, 0.0f, "cannot be",
                 ""}),
    [](const ::testing::TestParamInfo<ListCase>& p) { return std::string(p.param.name); });

// Stage pictures: each kind of damage, for every stage, found when that stage is needed.
struct PictureCase {
    const char* name;
    std::function<void(const GameFolder&, const std::string&)> make;
    const char* failure;  // nullptr: it is shown
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }

class PictureCatalogue : public ::testing::TestWithParam<std::tuple<PictureCase, int>> {};

TEST_P(PictureCatalogue, FailsWhenTheStageIsNeeded) {
    const auto& [c, stage] = GetParam();
    GameFolder folder;
    folder.writePictures();
    folder.writeList("abc");
    const std::string name = "scafo" + std::to_string(stage) + ".bmp";
    folder.remove(name);
    c.make(folder, name);
    FakeWindow window;
    ScriptedRandom random({0.0f});
    Game game(window, random, folder.dir());
    // New word shows stage 1; miss n shows stage n + 1.
    std::string failure;
    int reached = 0;
    try {
        game.state = kNewGame;
        game.textopscherm();
        reached = 1;
        window.answers = {false};
        for (const char letter : std::string("defghijk").substr(0, static_cast<std::size_t>(stage - 1))) {
            game.guess = std::string(1, letter);
            game.textopscherm();
            ++reached;
        }
    } catch (const Failure& f) {
        failure = f.what();
    }
    if (c.failure) {
        EXPECT_EQ(reached, stage - 1) << "failed at the stage it is needed, not before";
        EXPECT_NE(failure.find(c.failure), std::string::npos) << failure;
        EXPECT_NE(failure.find(name), std::string::npos) << "names the file: " << failure;
    } else {
        EXPECT_EQ(failure, "");
        EXPECT_EQ(window.picture, "scafo1600.bmp");  // the fake names a picture by its width
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureCatalogue,
    ::testing::Combine(
        ::testing::Values(
            PictureCase{"missing", [](const GameFolder&, const std::string&) {}, "not found"},
            PictureCase{"zero_bytes", [](const GameFolder& f, const std::string& n) { f.write(n, ""); },
                        "empty"},
            PictureCase{"text_renamed",
                        [](const GameFolder& f, const std::string& n) { f.write(n, "hello, world\r\n"); },
                        "not a bitmap"},
            PictureCase{"truncated",
                        [](const GameFolder& f,
                           const std::string& n) { f.write(n, bitmapFile(332, 220).substr(0, 100)); },
                        "cut short"},
            PictureCase{"a_folder", [](const GameFolder& f, const std::string& n) { f.makeFolder(n); },
                        "cannot be"},
            PictureCase{"much_larger_than_the_box",
                        [](const GameFolder& f, const std::string& n) { f.write(n, bitmapFile(1600, 1200)); },
                        nullptr}),
        ::testing::Range(1, 10)),
    [](const ::testing::TestParamInfo<std::tuple<PictureCase, int>>& p) {
        return std::string(std::get<0>(p.param).name) + "_stage" + std::to_string(std::get<1>(p.param));
    });

}  // namespace
