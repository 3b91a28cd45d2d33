// Test doubles for the engine.
#include "support.h"

#include "bitmap.h"
#include "files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace wordrope::test {

std::string bitmapFile(int width, int height, unsigned rgb) {
    const auto w = static_cast<unsigned>(width), stride = (w * 3 + 3) / 4 * 4,
               image = stride * static_cast<unsigned>(height);
    std::string s;
    const auto put = [&s](unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    s = "BM";
    put(54 + image, 4), put(0, 4), put(54, 4);                                // file header
    put(40, 4), put(w, 4), put(static_cast<unsigned>(height), 4), put(1, 2);  // info header
    put(24, 2), put(0, 4), put(image, 4), s.append(16, '\0');
    std::string row;
    for (unsigned x = 0; x < w; ++x) row += {char(rgb & 0xFF), char(rgb >> 8 & 0xFF), char(rgb >> 16 & 0xFF)};
    row.resize(stride);
    for (int y = 0; y < height; ++y) s += row;
    return s;
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

void GameFolder::remove(const std::string& name) const { fs::remove(fs::path(hostPath(path(name)))); }

void GameFolder::makeFolder(const std::string& name) const {
    fs::create_directories(fs::path(hostPath(path(name))));
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

float ScriptedRandom::next() {
    if (values.empty()) {
        ADD_FAILURE() << "the engine asked for more random values than scripted";
        return 0.0f;
    }
    const float v = values.front();
    values.pop_front();
    return v;
}

}  // namespace wordrope::test
