// The word list: its field rules, its refusals, the pick, and the paths of the files.
#include "wordlist.h"
#include "files.h"
#include "support.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace wordrope;
using wordrope::test::crLfSplitAt;
using wordrope::test::failureOf;
using wordrope::test::GameFolder;
using wordrope::test::kUtf8Mark;

namespace {

using Fields = std::vector<std::string>;

std::string lines(int n, const std::string& word) {
    std::string s;
    for (int i = 0; i < n; ++i) s += word + "\r\n";
    return s;
}

TEST(List, HoldsTheFieldsTheRulesGive) {
    const struct {
        const char* name;
        std::string bytes;
        Fields expected;
    } cases[] = {
        {"empty_last_line", "apple\r\npear\r\n\r\n", {"apple", "pear", ""}},
        {"commas", "a,b,,c", {"a", "b", "", "c"}},
        {"comma_then_end", "a,", {"a"}},
        {"comma_then_line_end", "a,\r\n", {"a", ""}},
        {"cr_at_the_end", "a\r", {"a"}},
        {"lf_cr_mixed", "a\nb\rc\r\nd\n\re", {"a", "b", "c", "d", "", "e"}},
        {"blanks_trimmed", "  lead,trail  \r\n \t both \t,in side", {"lead", "trail", "both", "in side"}},
        {"blanks_only", "   ", {""}},
        {"quoted_comma", "\"ice, cream\",x", {"ice, cream", "x"}},
        {"quoted_line_end", "\"two\r\nlines\"\r\nnext", {"two\r\nlines", "next"}},
        {"quoted_keeps_blanks", "  \"  keep  \"  ,z", {"  keep  ", "z"}},
        {"after_closing_quote_dropped", "\"quoted\"junk,next", {"quoted", "next"}},
        {"quote_inside_unquoted", "it\"s,ok", {"it\"s", "ok"}},
        {"unclosed_quote_swallows", "a,\"open,b\r\nc", {"a", "open,b\r\nc"}},
        {"bytes_as_they_are",
         std::string("caf\xe9\0x,\xef\xbb\xbfy", 11),
         {std::string("caf\xe9\0x", 6), "\xef\xbb\xbfy"}},
        // Notepad's "UTF-8 with BOM": the mark at the very start is skipped, by the count and the read.
        {"utf8_mark", kUtf8Mark + "apple\r\npear", {"apple", "pear"}},
        {"utf8_mark_larger_than_the_window", kUtf8Mark + crLfSplitAt(WordList::kWindow), {"first", "second"}},
        {"long_entries",
         std::string(40, 'a') + "\r\n" + std::string(39, 'c'),
         {std::string(40, 'a'), std::string(39, 'c')}},
        {"larger_than_the_window_crlf_split_by_a_refill",
         crLfSplitAt(WordList::kWindow),
         {"first", "second"}},
        // Counted in blocks of 240 bytes: line 103's CR is a block's last byte, its LF the next one's first.
        {"crlf_across_a_counting_block", lines(110, "abcde"), Fields(110, "abcde")},
    };
    WordList list;  // one list for all, as a game keeps it
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.writeList(c.bytes);
        ASSERT_EQ(list.load(folder.path("wlstdata.dat")), static_cast<std::int16_t>(c.expected.size()));
        for (std::size_t k = 1; k <= c.expected.size(); ++k)
            EXPECT_EQ(list.entry(static_cast<std::int16_t>(k)), c.expected[k - 1]) << "entry " << k;
    }
}

std::string loadFailure(const std::string& bytes) {
    GameFolder folder;
    folder.writeList(bytes);
    WordList list;
    return failureOf([&] {
        list.load(folder.path("wlstdata.dat"));
        list.requireWord();
    });
}

TEST(List, RefusesListsItCouldNeverDrawFrom) {
    EXPECT_NE(loadFailure("").find("the file is empty"), std::string::npos);
    EXPECT_NE(loadFailure("\r\n\r\n  ,,\r\n").find("all 5 entries are empty"), std::string::npos);
    EXPECT_NE(loadFailure("\"\",\"\"").find("all 2 entries are empty"), std::string::npos);
    // Saved in UTF-16, a list would be read as bytes with a zero between the letters: refused.
    EXPECT_NE(
        loadFailure(std::string("\xff\xfe\x61\0", 4)).find("wlstdata.dat\": the file is saved in UTF-16"),
        std::string::npos);
    EXPECT_EQ(loadFailure(lines(kMaxEntries, "w")), "");
    EXPECT_EQ(loadFailure(lines(kMaxEntries - 1, "w") + "\"w\""), "");  // the same, counted field by field
    EXPECT_NE(loadFailure(lines(kMaxEntries + 1, "w"))
                  .find("more than 32,766 entries (entry 32767 starts on line 32767)"),
              std::string::npos);
    EXPECT_EQ(loadFailure("ok\r\n" + std::string(40, 'x') + "   "), "");
    const std::string tooLong = loadFailure("ok\r\nfine,\r\n" + std::string(41, 'x'));
    EXPECT_NE(tooLong.find("entry 4 (line 3) is 41 characters long"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("wlstdata.dat\""), std::string::npos) << "names the file: " << tooLong;
    // However long, a field is measured, not held: 5 MB in quotes is refused with its length.
    EXPECT_NE(loadFailure("a,\"" + std::string(5u << 20, 'q') + "\"").find("is 5242880 characters long"),
              std::string::npos);
}

TEST(List, NamesAMissingOrUnreadableFile) {
    GameFolder folder;
    const std::string path = folder.path("wlstdata.dat");
    WordList list;
    EXPECT_EQ(failureOf([&] { list.load(path); }), "Word list \"" + path + "\": not found");
    std::filesystem::create_directories(hostPath(path));
    EXPECT_NE(failureOf([&] { list.load(path); }).find("folder"), std::string::npos)
        << "a folder of its name";
}

// A hostile file's counts stop at their type's largest value: over 2^31 line ends on Windows,
// where long has 32 bits; a field over 4 GiB in the 32-bit build.
TEST(List, CountsStopAtTheirLargestValue) {
    constexpr long kLong = std::numeric_limits<long>::max();
    constexpr std::size_t kSize = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(saturatingAdd(kLong - 1, 1L), kLong);
    EXPECT_EQ(saturatingAdd(kLong, 1L), kLong);
    EXPECT_EQ(saturatingAdd(kSize - 10, std::size_t{65536}), kSize);
    EXPECT_EQ(saturatingAdd(std::size_t{40}, std::size_t{1}), 41u);
}

// The pick.

constexpr std::uint32_t kOne = 1u << kRandomBits;  // the k of the value 1

// Every value the generator can give, for lists of many sizes, the smallest and the largest among
// them: the pick is entries x k / 2^24 + 1 rounded to nearest, ties to even, as a double holds it
// exactly (the product has at most 39 bits) and rounds it; the first and the last entry are each
// drawn half as often as any other. Every build, 32-bit, 64-bit and native, must pass it.
TEST(Pick, IsTheExactRoundedValueForEveryValueOfTheGenerator) {
    for (const int n : {1, 2, 3, 7, 100, 4097, 32765, 32766}) {
        const auto entries = static_cast<std::int16_t>(n - 1);
        std::vector<std::uint32_t> drawn(static_cast<std::size_t>(n) + 1);
        for (std::uint32_t k = 0; k < kOne; ++k) {
            const std::int16_t pick = pickIndex(entries, k);
            const double exact = std::nearbyint(static_cast<double>(entries) * k / kOne + 1);
            if (pick != exact) {
                ADD_FAILURE() << n << " entries, k " << k << ": picked " << pick << ", not " << exact;
                break;
            }
            ++drawn[static_cast<std::size_t>(pick)];
        }
        if (n == 1) {
            EXPECT_EQ(drawn[1], kOne);
            continue;
        }
        const double each = static_cast<double>(kOne) / entries;
        for (int p = 1; p <= n; ++p)
            EXPECT_NEAR(drawn[static_cast<std::size_t>(p)], p == 1 || p == n ? each / 2 : each, 1.0)
                << n << " entries: entry " << p;
    }
}

TEST(Paths, TheProgramFolderAsWindowsReportsItInUtf8AndTheWideCallsPast260Characters) {
    EXPECT_EQ(directoryOf("C:\\Games\\Wordrope\\wordrope.exe"), "C:\\Games\\Wordrope");
    EXPECT_EQ(directoryOf("C:\\wordrope.exe"), "C:\\");
    EXPECT_EQ(directoryOf("\\\\server\\share\\wordrope.exe"), "\\\\server\\share");
    for (const std::string s :
         {"C:\\Gry\\\xC5\x81\xC3\xB3"
          "d\xC5\xBA gra",
          "D:\\\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0", "smile \xF0\x9F\x98\x80", "plain"})
        EXPECT_EQ(narrow(widen(s)), s);
    EXPECT_EQ(widen("\xC5\x81\xE3\x82\xB2"), (std::wstring{wchar_t(0x141), wchar_t(0x30B2)}));
    EXPECT_EQ(widen("\xE9t\xC0"),
              (std::wstring{wchar_t(0xE9), L't', wchar_t(0xC0)}));  // not UTF-8: bytes as they are
    const std::wstring local = L"C:\\" + std::wstring(300, L'x'),
                       share = L"\\\\server\\" + std::wstring(300, L'y');
    EXPECT_EQ(longPathForm(L"C:\\Games\\wlstdata.dat"), L"C:\\Games\\wlstdata.dat");
    EXPECT_EQ(longPathForm(local), L"\\\\?\\" + local);
    EXPECT_EQ(longPathForm(share), L"\\\\?\\UNC" + share.substr(1));
    EXPECT_EQ(longPathForm(L"\\\\?\\" + local), L"\\\\?\\" + local);
}

}  // namespace
