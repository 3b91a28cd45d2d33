// The word-list checker: what it says of small lists, and the summary's figures.
#include "listcheck.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace wordrope;

namespace {

struct CheckCase {
    const char* name;
    std::string bytes;
    std::string line;  // one line the report must hold, FILE standing for the list's name
    int errors, warnings, notes;
    long drawable, winnable;
};

// Each list's report: a line it holds, its counts, and a few lines at most, whatever the file.
TEST(Checker, SaysWhatTheGameWillMakeOfEachList) {
    const CheckCase cases[] = {
        {"clean", "apple\r\nice cream,x-ray\r\n", "FILE: 3 entries, 3 drawable, 3 winnable: good", 0, 0, 0, 3,
         3},
        {"empty_file", "", "FILE: error: the file is empty", 1, 0, 0, 0, 0},
        {"only_empty_entries", "\r\n,", "FILE: error: all 2 entries are empty; there is no word to draw", 1,
         0, 2, 0, 0},
        {"too_long", "ok\r\n" + std::string(41, 'a'),
         "FILE:2: error: entry 2 (line 2) is 41 characters long; an entry may have at most 40: \"" +
             std::string(41, 'a') + "\"",
         1, 0, 0, 0, 0},
        // Past the game's limit the check stops: the game refuses the list, and that is the report.
        {"millions_of_empty_lines", std::string(3'000'000, '\n'),
         "FILE:32767: error: more than 32,766 entries (entry 32767 starts on line 32767)", 1, 0, 32767, 0, 0},
        {"unwinnable", "Bob,caf\xe9\r\nx3!\r\n- -\r\n...",
         "FILE:2: warning: entry 3 \"x3!\" can never be won: no letter button reveals '!', '3'", 0, 5, 0, 5,
         0},
        {"unclosed_quote", "one\r\n\"two,\r\nthree",
         "FILE:2: warning: entry 2: its double quote is never closed, so it runs to the end of the file and "
         "swallows 11 characters: \"two,\\x0d\\x0athree\"",
         0, 1, 0, 2, 1},
        {"crlf_split_by_a_refill", test::crLfSplitAt(1 << 16),
         "FILE: 2 entries, 2 drawable, 2 winnable: good", 0, 0, 0, 2, 2},
        {"utf8_mark", test::kUtf8Mark + "apple\r\npear",
         "FILE:1: note: the file begins with a UTF-8 byte-order mark; the game skips it", 0, 0, 1, 2, 2},
        {"utf16", std::string("\xff\xfe\x61\0\x62\0", 6),
         "FILE:1: error: the file is saved in UTF-16 (Unicode), which the game cannot read. Save it as ANSI "
         "(Notepad: Save As, Encoding ANSI)",
         1, 0, 0, 0, 0},
        {"notes", "pear\r\n\r\napple,pear\r\n",
         "FILE:3: note: entry 4 \"pear\" repeats entry 1 (line 1); it is drawn twice as often", 0, 0, 2, 3,
         3},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::GameFolder folder;
        folder.writeList(c.bytes);
        const ListReport r = checkList(folder.path("wlstdata.dat"), "FILE");
        EXPECT_NE(std::find(r.lines.begin(), r.lines.end(), c.line), r.lines.end()) << r.lines.front();
        EXPECT_EQ((std::vector<long>{r.errors, r.warnings, r.notes, r.drawable, r.winnable}),
                  (std::vector<long>{c.errors, c.warnings, c.notes, c.drawable, c.winnable}));
        EXPECT_LE(r.lines.size(), 25u) << "notes of a kind past 20 are counted, not listed";
    }
}

// A file that cannot be read, and the list beside a program whose folder cannot be told: an
// error, not a list of the same name elsewhere.
TEST(Checker, NamesAFileItCannotReadAndAFolderItCannotTell) {
    test::GameFolder folder;
    const ListReport r = checkList(folder.path("missing.dat"), "missing.dat");
    EXPECT_EQ(r.errors, 1);
    EXPECT_NE(r.lines.front().find("not found"), std::string::npos) << r.lines.front();
    folder.writeList("apple\r\n");
    EXPECT_EQ(checkListBeside(folder.dir()).lines.back(),
              folder.path("wlstdata.dat") + ": 1 entries, 1 drawable, 1 winnable: good");
    const ListReport nowhere = checkListBeside("");
    EXPECT_EQ(nowhere.lines, std::vector<std::string>{"wlstdata.dat: error: the program cannot tell which "
                                                      "folder it was started from; name the list to check"});
    EXPECT_EQ(nowhere.errors, 1);
}

}  // namespace
