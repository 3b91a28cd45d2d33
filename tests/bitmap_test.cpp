// The bitmap check: which files can be shown, and what is said of those that cannot.
#include "bitmap.h"
#include "failure.h"
#include "files.h"
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

using namespace wordrope;

namespace {

// `s` with the byte at each offset set to its value.
std::string patched(std::string s, std::initializer_list<std::pair<std::size_t, unsigned char>> bytes) {
    for (const auto& [at, v] : bytes) s[at] = static_cast<char>(v);
    return s;
}

const std::string good = test::bitmapFile(5, 3);

TEST(BitmapCheck, SaysWhatIsWrong) {
    const struct {
        const char* name;
        std::string bytes;
        const char* problem;  // a part of the message; "" for a picture that can be shown
    } cases[] = {
        {"good", good, ""},
        {"top_down", patched(good, {{22, 0xFD}, {23, 0xFF}, {24, 0xFF}, {25, 0xFF}}), ""},
        {"large", test::bitmapFile(2000, 1500), ""},
        {"empty", "", "empty"},
        {"text", "this is a text file renamed to .bmp, not a picture at all", "not a bitmap"},
        {"cut_to_100_bytes", test::bitmapFile(332, 220).substr(0, 100), "cut short"},
        {"cut_by_one_byte", good.substr(0, good.size() - 1), "cut short"},
        {"cut_in_header", good.substr(0, 30), "cut short"},
        {"declared_size_zero_but_pixels_missing", patched(good, {{2, 0}, {3, 0}}).substr(0, 60), "cut short"},
        {"zero_width", patched(good, {{18, 0}}), "impossible size"},
        {"huge", patched(good, {{21, 0x7F}}), "impossible size"},
        {"two_planes", patched(good, {{26, 2}}), "planes"},
        {"three_bits", patched(good, {{28, 3}}), "bits a pixel"},
        {"jpeg_inside", patched(good, {{30, 4}}), "compressed"},
        {"rle_without_size", patched(good, {{28, 8}, {30, 1}, {34, 0}, {46, 1}}), "without its size"},
        {"unknown_header", patched(good, {{14, 20}}), "unknown header"},
        {"pixels_offset_past_end", patched(good, {{11, 0x40}}), "cut short"},
    };
    for (const auto& c : cases) {
        const std::string problem =
            bitmapProblem(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), nullptr);
        if (*c.problem == '\0')
            EXPECT_EQ(problem, "") << c.name;
        else
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << " said: " << problem;
    }
}

// Windows reads a colour table of biClrUsed entries at every depth, and the masks of bit fields:
// all of it must be in the file, and all of it is what the window hands to the system.
TEST(BitmapCheck, SizesWhatTheSystemReadsBeforeThePixels) {
    for (const test::PictureCase& c : test::pictureCases()) {
        Bitmap b;
        EXPECT_EQ(bitmapProblem(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), &b),
                  "")
            << c.name;
        EXPECT_EQ(b.infoSize, c.infoSize) << c.name;
        const std::string cut = patched(c.bytes, {{2, 0}, {3, 0}}).substr(0, 14 + c.infoSize - 1);
        EXPECT_NE(bitmapProblem(reinterpret_cast<const unsigned char*>(cut.data()), cut.size(), nullptr), "")
            << c.name << " cut a byte short of its colours";
    }
}

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
    // A picture followed by 3 GB of anything (sparse here): only its headers and pixels are read.
    std::filesystem::resize_file(hostPath(path), 3ull << 30);
    EXPECT_EQ(readBitmapFile(path).bytes, std::vector<unsigned char>(good.begin(), good.end()));
}

}  // namespace
