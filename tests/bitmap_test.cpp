// The bitmap check: which files can be shown, and what is said of those that cannot.
#include "bitmap.h"
#include "failure.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

using namespace wordrope;

namespace {

std::string withByte(std::string s, std::size_t at, unsigned char v) {
    s.replace(at, 1, 1, static_cast<char>(v));
    return s;
}

struct BitmapCase {
    const char* name;
    std::string bytes;
    const char* problem;  // a part of the message; "" for a picture that can be shown
};

void PrintTo(const BitmapCase& c, std::ostream* os) { *os << c.name; }

class BitmapCheck : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapCheck, SaysWhatIsWrong) {
    const BitmapCase& c = GetParam();
    const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
    const std::string problem = bitmapProblem(data, c.bytes.size(), nullptr);
    if (*c.problem == '\0')
        EXPECT_EQ(problem, "");
    else
        EXPECT_NE(problem.find(c.problem), std::string::npos) << "said: " << problem;
}

const std::string good = test::bitmapFile(5, 3);

INSTANTIATE_TEST_SUITE_P(
    Files, BitmapCheck,
    ::testing::Values(
        BitmapCase{"good", good, ""},
        BitmapCase{"top_down",
                   withByte(withByte(withByte(withByte(good, 22, 0xFD), 23, 0xFF), 24, 0xFF), 25, 0xFF), ""},
        BitmapCase{"large", test::bitmapFile(2000, 1500), ""}, BitmapCase{"empty", "", "empty"},
        BitmapCase{"text", "this is a text file renamed to .bmp, not a picture at all", "not a bitmap"},
        BitmapCase{"cut_to_100_bytes", test::bitmapFile(332, 220).substr(0, 100), "cut short"},
        BitmapCase{"cut_by_one_byte", good.substr(0, good.size() - 1), "cut short"},
        BitmapCase{"cut_in_header", good.substr(0, 30), "cut short"},
        BitmapCase{"declared_size_zero_but_pixels_missing",
                   withByte(withByte(good, 2, 0), 3, 0).substr(0, 60), "cut short"},
        BitmapCase{"zero_width", withByte(good, 18, 0), "impossible size"},
        BitmapCase{"huge", withByte(good, 21, 0x7F), "impossible size"},
        BitmapCase{"two_planes", withByte(good, 26, 2), "planes"},
        BitmapCase{"three_bits", withByte(good, 28, 3), "bits a pixel"},
        BitmapCase{"jpeg_inside", withByte(good, 30, 4), "compressed"},
        BitmapCase{"rle_without_size",
                   withByte(withByte(withByte(withByte(good, 28, 8), 30, 1), 34, 0), 46, 1),
                   "without its size"},
        BitmapCase{"unknown_header", withByte(good, 14, 20), "unknown header"},
        BitmapCase{"pixels_offset_past_end", withByte(good, 11, 0x40), "cut short"}),
    [](const ::testing::TestParamInfo<BitmapCase>& p) { return std::string(p.param.name); });

TEST(BitmapFile, NamesTheFileAndTheProblem) {
    test::GameFolder folder;
    folder.write("scafo4.bmp", "not a picture");
    const std::string path = folder.path("scafo4.bmp");
    try {
        readBitmapFile(path);
        FAIL() << "a text file passed as a picture";
    } catch (const Failure& f) {
        EXPECT_EQ(std::string(f.what()), "Stage picture \"" + path + "\": not a bitmap (.bmp) picture");
    }
    folder.write("scafo4.bmp", good);
    const Bitmap b = readBitmapFile(path);
    EXPECT_EQ(b.width, 5);
    EXPECT_EQ(b.height, 3);
    EXPECT_EQ(b.bytes.size(), good.size());
    EXPECT_EQ(b.infoSize, 40u);  // 24 bits a pixel: no colour table
    folder.remove("scafo4.bmp");
    folder.makeFolder("scafo4.bmp");
    EXPECT_THROW(readBitmapFile(path), Failure);
}

}  // namespace
