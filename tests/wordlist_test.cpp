// The word-list reader's field rules, the counting pass and the pick.
#include "wordlist.h"
#include "failure.h"
#include "files.h"
#include "random_source.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace wordrope;
using wordrope::test::GameFolder;

namespace {

struct Read {
    std::vector<std::string> fields;
    std::vector<long> lines;
    bool lastUnclosed = false;
};

// Reads a whole file as the counting pass does: the first read before the first end test.
Read readAll(const std::string& bytes) {
    GameFolder folder;
    folder.writeList(bytes);
    const std::string path = folder.path("wlstdata.dat");
    File f = openForReading("Word list", path);
    FieldReader reader(f.get(), "Word list", path);
    Read r;
    std::string field;
    do {
        if (!reader.read(field)) break;
        r.fields.push_back(field);
        r.lines.push_back(reader.fieldLine());
        r.lastUnclosed = reader.fieldUnclosed();
    } while (!reader.atEnd());
    return r;
}

using Fields = std::vector<std::string>;

struct FieldCase {
    const char* name;
    std::string bytes;
    Fields expected;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class FieldRules : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldRules, SplitsAsDocumented) { EXPECT_EQ(readAll(GetParam().bytes).fields, GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Reader, FieldRules,
    ::testing::Values(
        FieldCase{"one", "apple", {"apple"}}, FieldCase{"crlf", "apple\r\npear", {"apple", "pear"}},
        FieldCase{"final_line_end", "apple\r\npear\r\n", {"apple", "pear"}},
        FieldCase{"empty_last_line", "apple\r\npear\r\n\r\n", {"apple", "pear", ""}},
        FieldCase{"commas", "a,b,,c", {"a", "b", "", "c"}}, FieldCase{"comma_then_end", "a,", {"a"}},
        FieldCase{"comma_then_line_end", "a,\r\n", {"a", ""}},
        FieldCase{"lf_cr_mixed", "a\nb\rc\r\nd\n\re", {"a", "b", "c", "d", "", "e"}},
        FieldCase{
            "blanks_trimmed", "  lead,trail  \r\n \t both \t,in side", {"lead", "trail", "both", "in side"}},
        FieldCase{"blanks_only", "   ", {""}},
        FieldCase{"quoted_comma", "\"ice, cream\",x", {"ice, cream", "x"}},
        FieldCase{"quoted_line_end", "\"two\r\nlines\"\r\nnext", {"two\r\nlines", "next"}},
        FieldCase{"quoted_keeps_blanks", "  \"  keep  \"  ,z", {"  keep  ", "z"}},
        FieldCase{"after_closing_quote_dropped", "\"quoted\"junk,next", {"quoted", "next"}},
        FieldCase{"quote_inside_unquoted", "it\"s,ok", {"it\"s", "ok"}},
        FieldCase{"unclosed_quote_swallows", "a,\"open,b\r\nc", {"a", "open,b\r\nc"}},
        FieldCase{"bytes_as_they_are",
                  std::string("caf\xe9\0x,\xef\xbb\xbfy", 11),
                  {std::string("caf\xe9\0x", 6), "\xef\xbb\xbfy"}},
        FieldCase{"digits_are_text", "007,42", {"007", "42"}}),
    [](const ::testing::TestParamInfo<FieldCase>& p) { return std::string(p.param.name); });

TEST(Reader, EmptyFileHasNoField) { EXPECT_TRUE(readAll("").fields.empty()); }

TEST(Reader, TellsTheLineEachFieldStartsOnAndAnUnclosedQuote) {
    const Read r = readAll("a\r\nb,c\n\"x\r\ny\"\rz\r\n\"open");
    EXPECT_EQ(r.fields, (Fields{"a", "b", "c", "x\r\ny", "z", "open"}));
    EXPECT_EQ(r.lines, (std::vector<long>{1, 2, 2, 3, 5, 6}));
    EXPECT_TRUE(r.lastUnclosed);
    EXPECT_FALSE(readAll("\"closed\"").lastUnclosed);
}

TEST(Reader, FieldsAcrossItsBufferBoundaries) {
    // Fields of every length up to 40 and every separator, long enough to span several refills.
    std::string bytes;
    Fields expected;
    const char* seps[] = {",", "\r\n", "\n", "\r"};
    for (int i = 0; bytes.size() < 300000; ++i) {
        std::string word(static_cast<std::size_t>(i % 41), static_cast<char>('a' + i % 26));
        const bool quoted = i % 7 == 0;
        bytes += quoted ? "\"" + word + "\"" : word;
        bytes += seps[i % 4];
        expected.push_back(word);
    }
    // A CR LF split by a refill still counts as one separator: the result has no extra empty fields.
    EXPECT_EQ(readAll(bytes).fields, expected);
}

// The counting pass and its refusals.

std::string countFailure(const std::string& bytes) {
    GameFolder folder;
    folder.writeList(bytes);
    try {
        countEntries(folder.path("wlstdata.dat"));
    } catch (const Failure& f) {
        return f.what();
    }
    return "";
}

std::string lines(int n, const std::string& word) {
    std::string s;
    for (int i = 0; i < n; ++i) s += word + "\r\n";
    return s;
}

TEST(Count, CountsEveryFieldIncludingAFinalEmptyLine) {
    GameFolder folder;
    folder.writeList("a,b\r\n\r\n");
    EXPECT_EQ(countEntries(folder.path("wlstdata.dat")), 3);
    folder.writeList(lines(kMaxEntries, "abcdefghijkl"));
    EXPECT_EQ(countEntries(folder.path("wlstdata.dat")), kMaxEntries);
}

TEST(Count, RefusesListsItCouldNeverDrawFrom) {
    EXPECT_NE(countFailure("").find("the file is empty"), std::string::npos);
    EXPECT_NE(countFailure("\r\n\r\n  ,,\r\n").find("all 5 entries are empty"), std::string::npos);
    EXPECT_NE(countFailure(lines(kMaxEntries + 1, "w"))
                  .find("more than 32,766 entries (entry 32767 starts on line 32767)"),
              std::string::npos);
    EXPECT_NE(countFailure(lines(40000, "w")).find("more than 32,766"), std::string::npos);
    EXPECT_EQ(countFailure("ok\r\n" + std::string(40, 'x')), "");
    const std::string tooLong = countFailure("ok\r\nfine,\r\n" + std::string(41, 'x'));
    EXPECT_NE(tooLong.find("entry 4 (line 3) is 41 characters long"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("wlstdata.dat\""), std::string::npos) << "names the file: " << tooLong;
}

TEST(Count, NamesAMissingOrUnreadableFile) {
    GameFolder folder;
    const std::string path = folder.path("wlstdata.dat");
    try {
        countEntries(path);
        FAIL() << "a missing list was accepted";
    } catch (const Failure& f) {
        EXPECT_EQ(std::string(f.what()), "Word list \"" + path + "\": not found");
    }
    folder.makeFolder("wlstdata.dat");
    EXPECT_THROW(countEntries(path), Failure);
}

TEST(ReadEntry, ReadsTheNumberedEntryAndNoticesAShorterFile) {
    GameFolder folder;
    folder.writeList("one,\"t,wo\"\r\nthree");
    const std::string path = folder.path("wlstdata.dat");
    EXPECT_EQ(readEntry(path, 1), "one");
    EXPECT_EQ(readEntry(path, 2), "t,wo");
    EXPECT_EQ(readEntry(path, 3), "three");
    EXPECT_THROW(readEntry(path, 4), Failure);
    folder.writeList("ok\r\n" + std::string(41, 'x'));
    EXPECT_THROW(readEntry(path, 2), Failure);
}

// The pick.

struct PickCase {
    std::int16_t entries;
    float r;
    std::int16_t pick;
};

TEST(Pick, RoundsToNearestWithTiesToEven) {
    const PickCase cases[] = {
        {0, 0.0f, 1},  {0, 0.99f, 1},   {2, 0.0f, 1}, {2, 0.2499f, 1},
        {2, 0.25f, 2},                   // 1.5 goes to 2
        {2, 0.75f, 2}, {2, 0.7501f, 3},  // 2.5 goes to 2
        {1, 0.5f, 2},  {3, 0.5f, 2},    {4, 0.5f, 3}, {32765, std::nextafter(1.0f, 0.0f), 32766},
    };
    for (const PickCase& c : cases) EXPECT_EQ(pickIndex(c.entries, c.r), c.pick) << c.entries << " x " << c.r;
}

TEST(Pick, ComputesInSinglePrecision) {
    // Values where single and double precision round to different picks: 1000 x r + 1
    // lands on a tie in single precision but beside it in double precision.
    const struct {
        std::uint32_t bits;
        std::int16_t pick;  // double precision would give 441 and 443
    } cases[] = {{0x3ee18937u, 442}, {0x3ee20c4au, 442}};
    for (const auto& c : cases) {
        float r;
        std::memcpy(&r, &c.bits, sizeof r);
        EXPECT_EQ(pickIndex(1000, r), c.pick) << r;
    }
}

TEST(Pick, ThreeEntriesFallAQuarterAHalfAndAQuarter) {
    TwisterRandom random(20261206u);
    int counts[4] = {};
    const int draws = 40000;
    for (int i = 0; i < draws; ++i) {
        const std::int16_t p = pickIndex(2, random.next());
        ASSERT_GE(p, 1);
        ASSERT_LE(p, 3);
        ++counts[p];
    }
    EXPECT_NEAR(counts[1] / double(draws), 0.25, 0.01);
    EXPECT_NEAR(counts[2] / double(draws), 0.50, 0.01);
    EXPECT_NEAR(counts[3] / double(draws), 0.25, 0.01);
}

TEST(Random, StaysInsideTheUnitInterval) {
    TwisterRandom random(1);
    for (int i = 0; i < 100000; ++i) {
        const float v = random.next();
        ASSERT_GE(v, 0.0f);
        ASSERT_LT(v, 1.0f);
    }
}

TEST(Paths, AppendTheNameWithItsBackslash) {
    EXPECT_EQ(dataPath("C:\\Games\\Wordrope", kWordListName), "C:\\Games\\Wordrope\\wlstdata.dat");
    EXPECT_EQ(dataPath("C:\\", kWordListName), "C:\\\\wlstdata.dat");  // a drive root keeps its own
    EXPECT_EQ(stageName(9), "\\scafo9.bmp");
    EXPECT_EQ(directoryOf("C:\\Games\\Wordrope\\wordrope.exe"), "C:\\Games\\Wordrope");
    EXPECT_EQ(directoryOf("C:\\wordrope.exe"), "C:\\");
    EXPECT_EQ(directoryOf("\\\\server\\share\\wordrope.exe"), "\\\\server\\share");
}

}  // namespace

namespace {

// Random lists, some far larger than the reader's buffers, in the bytes that matter to it.
std::string randomList(std::mt19937& gen, std::size_t size, bool quotes, int longest) {
    static const char plain[] = "abcdefghij  \t,\r\n\r\n";
    std::string s;
    std::uniform_int_distribution<int> wordLen(0, longest), pickByte(0, sizeof plain - 2), coin(0, 99);
    while (s.size() < size) {
        const int len = wordLen(gen);
        const bool quoted = quotes && coin(gen) < 5;
        if (quoted) s += '"';
        for (int i = 0; i < len; ++i) s += static_cast<char>('a' + i % 10);
        if (quoted && coin(gen) < 90) s += '"';  // now and then one left open
        if (coin(gen) < 30) s += plain[pickByte(gen)];
        s += "\r\n,\n\r"[coin(gen) % 5];
    }
    return s;
}

}  // namespace

TEST(Reader, QuickPassesAgreeWithTheFieldByFieldReader) {
    std::mt19937 gen(7);
    const std::size_t sizes[] = {1, 40, 600, 5000, 70000, 200000};
    for (const int longest : {8, 14, 44}) {
        for (const bool quotes : {false, true}) {
            for (const std::size_t size : sizes) {
                SCOPED_TRACE(testing::Message()
                             << "size " << size << ", words up to " << longest << (quotes ? ", quotes" : ""));
                const std::string bytes = randomList(gen, size, quotes, longest);
                const Fields fields = readAll(bytes).fields;
                GameFolder folder;
                folder.writeList(bytes);
                const std::string path = folder.path("wlstdata.dat");
                const bool tooLong = std::any_of(fields.begin(), fields.end(),
                                                 [](const std::string& f) { return f.size() > 40; });
                const bool noWord =
                    std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); });
                if (tooLong || noWord || fields.size() > 32766u) {
                    EXPECT_THROW(countEntries(path), Failure);
                } else {
                    EXPECT_EQ(countEntries(path), static_cast<std::int16_t>(fields.size()));
                }
                const std::size_t step = std::max<std::size_t>(1, fields.size() / 300);
                for (std::size_t k = 1; k <= std::min<std::size_t>(fields.size(), 32766); k += step) {
                    const auto pick = static_cast<std::int16_t>(k);
                    if (fields[k - 1].size() > 40)
                        EXPECT_THROW(readEntry(path, pick), Failure) << "entry " << k;
                    else
                        ASSERT_EQ(readEntry(path, pick), fields[k - 1]) << "entry " << k;
                }
            }
        }
    }
}
