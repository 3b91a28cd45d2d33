// The word-list checker: each report on small lists, and the summary's figures.
#include "listcheck.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace wordrope;

namespace {

struct CheckCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;  // the report, FILE standing for the list's name
    int errors, warnings, notes;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class Checker : public ::testing::TestWithParam<CheckCase> {};

TEST_P(Checker, ReportsWhatTheGameWillMakeOfTheList) {
    const CheckCase& c = GetParam();
    test::GameFolder folder;
    folder.writeList(c.bytes);
    const ListReport r = checkList(folder.path("wlstdata.dat"), "FILE");
    EXPECT_EQ(r.lines, c.lines);
    EXPECT_EQ(r.errors, c.errors);
    EXPECT_EQ(r.warnings, c.warnings);
    EXPECT_EQ(r.notes, c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, Checker,
    ::testing::Values(
        CheckCase{"clean",
                  "apple\r\nice cream,x-ray\r\n",
                  {"FILE: 3 entries, 3 drawable, 3 winnable: good"},
                  0,
                  0,
                  0},
        CheckCase{"empty_file",
                  "",
                  {"FILE: error: the file is empty",
                   "FILE: 0 entries, 0 drawable, 0 winnable: refused by the game"},
                  1,
                  0,
                  0},
        CheckCase{"only_empty_entries",
                  "\r\n,",
                  {"FILE:1: note: entry 1 is empty; the draw skips it",
                   "FILE:2: note: entry 2 is empty; the draw skips it",
                   "FILE: error: all 2 entries are empty; there is no word to draw",
                   "FILE: 2 entries, 0 drawable, 0 winnable: refused by the game"},
                  1,
                  0,
                  2},
        CheckCase{"too_long",
                  "ok\r\n" + std::string(41, 'a'),
                  {"FILE:2: error: entry 2 (line 2) is 41 characters long; an entry may have at most 40: \"" +
                       std::string(41, 'a') + "\"",
                   "FILE: 2 entries, 0 drawable, 0 winnable: refused by the game"},
                  1,
                  0,
                  0},
        CheckCase{"unwinnable",
                  "Bob,caf\xe9\r\nx3!\r\n- -\r\n...",
                  {"FILE:1: warning: entry 1 \"Bob\" can never be won: no letter button reveals 'B'",
                   "FILE:1: warning: entry 2 \"caf\\xe9\" can never be won: no letter button reveals '\\xe9'",
                   "FILE:2: warning: entry 3 \"x3!\" can never be won: no letter button reveals '!', '3'",
                   "FILE:3: warning: entry 4 \"- -\" can never be won: it holds no letter to guess",
                   "FILE:4: warning: entry 5 \"...\" can never be won: it holds no letter to guess",
                   "FILE: 5 entries, 5 drawable, 0 winnable: playable, with entries that cannot be won"},
                  0,
                  5,
                  0},
        CheckCase{
            "unclosed_quote",
            "one\r\n\"two,\r\nthree",
            {"FILE:2: warning: entry 2: its double quote is never closed, so it runs to the end of the file "
             "and swallows 11 characters: \"two,\\x0d\\x0athree\"",
             "FILE: 2 entries, 2 drawable, 1 winnable: playable, with entries that cannot be won"},
            0,
            1,
            0},
        CheckCase{"notes",
                  "pear\r\n\r\napple,pear\r\n",
                  {"FILE:2: note: entry 2 is empty; the draw skips it",
                   "FILE:3: note: entry 4 \"pear\" repeats entry 1 (line 1); it is drawn twice as often",
                   "FILE: 4 entries, 3 drawable, 3 winnable: good"},
                  0,
                  0,
                  2},
        CheckCase{"quoted_and_blanks",
                  "  \"ice cream\"  ,  dots.ok  ",
                  {"FILE: 2 entries, 2 drawable, 2 winnable: good"},
                  0,
                  0,
                  0}),
    [](const ::testing::TestParamInfo<CheckCase>& p) { return std::string(p.param.name); });

TEST(Checker, CountsTooManyEntriesOnceAtTheFirstOneOver) {
    test::GameFolder folder;
    std::string list;
    for (int i = 0; i < 32768; ++i) {
        // Distinct words, so that no note of repeats comes first.
        list += static_cast<char>('a' + i % 26);
        list += static_cast<char>('a' + i / 26 % 26);
        list += static_cast<char>('a' + i / 676 % 26);
        list += static_cast<char>('a' + i / 17576);
        list += "\r\n";
    }
    folder.writeList(list);
    const ListReport r = checkList(folder.path("wlstdata.dat"), "FILE");
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.lines.front(),
              "FILE:32767: error: more than 32,766 entries (entry 32767 starts on line 32767)");
    EXPECT_EQ(r.entries, 32768);
}

TEST(Checker, NamesAFileItCannotRead) {
    test::GameFolder folder;
    const ListReport r = checkList(folder.path("missing.dat"), "missing.dat");
    EXPECT_EQ(r.errors, 1);
    EXPECT_NE(r.lines.front().find("not found"), std::string::npos) << r.lines.front();
}

}  // namespace
