// Test doubles for the engine.
#include "support.h"

#include "bitmap.h"
#include "files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace wordrope::test {

std::string bitmapFile(int width, int height, unsigned rgb, BitmapKind kind) {
    const bool core = kind.header == 12, fields = kind.compression == 3, paletted = kind.bits <= 8;
    const unsigned r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF,
                   w = static_cast<unsigned>(width);
    const unsigned entries = !core && kind.used ? std::min(kind.used, 256u) : paletted ? 1u << kind.bits : 0;
    const unsigned info = (fields ? std::max(kind.header, 52u) : kind.header) + entries * (core ? 3 : 4);
    const unsigned stride = (w * kind.bits + 31) / 32 * 4, image = stride * static_cast<unsigned>(height);
    std::string s;
    const auto put = [&s](unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    s = "BM";
    put(14 + info + image, 4), put(0, 4), put(14 + info, 4);  // file header
    if (core) {
        put(12, 4), put(w, 2), put(static_cast<unsigned>(height), 2), put(1, 2), put(kind.bits, 2);
    } else {
        put(kind.header, 4), put(w, 4), put(static_cast<unsigned>(height), 4), put(1, 2), put(kind.bits, 2);
        put(kind.compression, 4), put(image, 4), put(0, 4), put(0, 4), put(kind.used, 4), put(0, 4);
        if (fields)  // in the header from 52 bytes on, after it otherwise
            for (unsigned mask : kind.bits == 16 ? std::vector<unsigned>{0xF800, 0x07E0, 0x001F}
                                                 : std::vector<unsigned>{0xFF0000, 0xFF00, 0xFF})
                put(mask, 4);
        s.resize(14 + info - entries * 4, '\0');
    }
    if (entries)
        s += core ? std::string{char(b), char(g), char(r)} : std::string{char(b), char(g), char(r), 0};
    s.resize(14 + info, '\0');  // the other entries
    std::string pixel;
    if (kind.bits == 16) {
        const unsigned v =
            fields ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3 : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
        pixel = {char(v & 0xFF), char(v >> 8)};
    } else if (!paletted) {
        pixel = {char(b), char(g), char(r), 0};
        pixel.resize(kind.bits / 8);
    }
    std::string row;
    for (unsigned x = 0; x < w; ++x) row += pixel;
    row.resize(stride, '\0');  // at 8 bits or fewer, entry 0 throughout
    for (int y = 0; y < height; ++y) s += row;
    return s;
}

std::vector<PictureCase> pictureCases() {
    std::vector<PictureCase> cases;
    const auto add = [&](BitmapKind kind, std::size_t infoSize) {
        const std::string name = std::to_string(kind.bits) + "_bits_header_" + std::to_string(kind.header) +
                                 "_used_" + std::to_string(kind.used) +
                                 (kind.compression ? "_bitfields" : "");
        cases.push_back({name, bitmapFile(7, 3, kCaseColour, kind), infoSize});
    };
    add({1, 40, 0}, 48), add({1, 40, 1}, 44), add({4, 40, 0}, 104), add({4, 40, 3}, 52);
    add({8, 40, 0}, 1064), add({8, 40, 200}, 840);
    for (unsigned bits : {16u, 24u, 32u}) {
        add({bits, 40, 0}, 40), add({bits, 40, 1}, 44), add({bits, 40, 256}, 1064),
            add({bits, 40, 300}, 1064);
    }
    add({16, 40, 0, 3}, 52), add({32, 40, 2, 3}, 60), add({16, 108, 0, 3}, 108), add({32, 108, 1, 3}, 112);
    add({1, 12}, 18), add({8, 12}, 780), add({24, 12}, 12);
    return cases;
}

GameFolder::GameFolder() {
    static std::atomic<int> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path p = fs::temp_directory_path() /
                 ("wordrope-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    fs::create_directories(p);
    dir_ = p.string();
}

GameFolder::~GameFolder() {
    std::error_code ec;
    fs::remove_all(fs::path(hostPath(dir_)), ec);
}

std::string GameFolder::path(const std::string& name) const { return dataPath(dir_, "\\" + name); }

void GameFolder::write(const std::string& name, const std::string& bytes) const {
    std::FILE* f = std::fopen(hostPath(path(name)).c_str(), "wb");
    ASSERT_NE(f, nullptr) << path(name);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
}

void GameFolder::writePictures() const {
    // Each stage a different size, so that a wrong stage would show.
    for (int s = 1; s <= 9; ++s) write("scafo" + std::to_string(s) + ".bmp", bitmapFile(s, 2));
}

void FakeWindow::setScherm(const std::string& caption) {
    scherm = caption;
    log.push_back("scherm " + caption);
}

// writePictures() makes stage s s pixels wide: the width tells which stage was shown.
void FakeWindow::showPicture(const Bitmap& shown, int stage) {
    EXPECT_EQ(shown.width, stage) << "the stage named is not the picture shown";
    picture = "scafo" + std::to_string(shown.width) + ".bmp";
    log.push_back("picture " + picture);
}

bool FakeWindow::askYesNo(const std::string& title, const std::string& prompt) {
    log.push_back("ask " + title + "|" + prompt);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << title;
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void FakeWindow::end() {
    ended = true;
    log.push_back("end");
}

std::uint32_t ScriptedRandom::next() {
    if (values.empty()) {
        ADD_FAILURE() << "the engine asked for more random values than scripted";
        return 0;
    }
    const float v = values.front();
    values.pop_front();
    return static_cast<std::uint32_t>(static_cast<double>(v) * (1 << kRandomBits));
}

}  // namespace wordrope::test
