// The bitmap check: which files can be shown, and what is said of those that cannot.
#include "bitmap.h"
#include "files.h"
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
        {"cut_by_one_byte", good.substr(0, good.size() - 1), "cut short"},
        {"declared_size_zero_but_pixels_missing", patched(good, {{2, 0}, {3, 0}}).substr(0, 60), "cut short"},
        {"zero_width", patched(good, {{18, 0}}), "impossible size"},
        {"huge", patched(good, {{21, 0x7F}}), "impossible size"},
        {"core_of_65535_rows", patched(test::bitmapFile(5, 3, 0, {24, 12}), {{20, 0xFF}, {21, 0xFF}}),
         "impossible size"},  // its sides are unsigned
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
        const std::size_t header = static_cast<unsigned char>(c.bytes[kFileHeaderBytes]);
        for (const std::size_t end : {kFileHeaderBytes + header - 1, kFileHeaderBytes + c.infoSize - 1}) {
            const std::string cut = patched(c.bytes, {{2, 0}, {3, 0}}).substr(0, end);
            EXPECT_NE(bitmapProblem(reinterpret_cast<const unsigned char*>(cut.data()), cut.size(), nullptr),
                      "")
                << c.name << " cut a byte short of its header or colours";
        }
    }
}

// What is kept of a picture is what the system reads of it: the header and colours, and the pixels
// wherever the header says they start: after them, 3 GB of anything (sparse here) is never read; past
// 4 GiB, where a 32-bit sum wraps; inside the colour table.
TEST(BitmapFile, KeepsTheHeaderColoursAndPixelsWhereverThePixelsStart) {
    test::GameFolder folder;
    const std::string path = folder.path("scafo4.bmp"), host = hostPath(path);
    folder.write("scafo4.bmp", "not a picture");
    EXPECT_EQ(test::failureOf([&] { readBitmapFile(path); }),
              "Stage picture \"" + path + "\": not a bitmap (.bmp) picture");
    const auto expectKept = [&](const std::string& head, const std::string& pixels, const char* what) {
        const Bitmap b = readBitmapFile(path);
        EXPECT_EQ(std::string(b.info.begin(), b.info.end()), head.substr(kFileHeaderBytes, b.infoSize))
            << what;
        EXPECT_EQ(std::string(b.pixels.begin(), b.pixels.end()), pixels) << what;
    };
    const std::size_t at = 54;  // where the pixels of `good` start
    folder.write("scafo4.bmp", good);
    std::filesystem::resize_file(host, 3ull << 30);
    expectKept(good, good.substr(at), "followed by 3 GB");

    const std::uint64_t past4GiB = 0xFFFFFF00;  // and its pixels end past 4 GiB
    const std::string head = patched(good.substr(0, at), {{10, 0x00}, {11, 0xFF}, {12, 0xFF}, {13, 0xFF}});
    folder.write("scafo4.bmp", head);
    std::ofstream(host, std::ios::binary | std::ios::in | std::ios::out).seekp(past4GiB) << good.substr(at);
    expectKept(head, good.substr(at), "its pixels past 4 GiB");

    const std::string inTable = patched(test::bitmapFile(1, 1, 0x7F7F7F, {8}), {{10, 58}, {11, 0}});
    folder.write("scafo4.bmp", inTable);
    expectKept(inTable, inTable.substr(58, 4), "its pixels inside its colour table");
}

}  // namespace
