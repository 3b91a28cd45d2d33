// Test doubles for the engine: a fake window, a scripted random source, a game folder.
#pragma once

#include "game.h"
#include "random_source.h"
#include "window_port.h"

#include <deque>
#include <string>
#include <vector>

namespace wordrope::test {

// The question's texts as the player reads them: the tests' own copy, so that a changed text shows.
inline const std::string kWinText = " !!! WELL DONE !!! ", kLossText = " No!!, the answer was ",
                         kAgainText = " Do you want to play again ? ";

// A valid bitmap file of one colour (0xRRGGBB): `width` x `height`, 24 bits a pixel, bottom-up.
std::string bitmapFile(int width, int height, unsigned rgb = 0x7F7F7F);

// "first", blanks, a CR at `at` - 1 and its LF at `at`, then "second": a reader whose window
// holds `at` bytes gets the CR LF split by a refill.
inline std::string crLfSplitAt(std::size_t at) { return "first" + std::string(at - 6, ' ') + "\r\nsecond"; }

// A folder of its own per test, removed afterwards; paths in the game's form.
class GameFolder {
public:
    GameFolder();
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const;  // name without the leading backslash

    void write(const std::string& name, const std::string& bytes) const;
    void writeList(const std::string& bytes) const { write("wlstdata.dat", bytes); }
    void writePictures() const;  // scafo1.bmp .. scafo9.bmp
    void remove(const std::string& name) const;
    void makeFolder(const std::string& name) const;

private:
    std::string dir_;
};

// Records what the engine asked of the window, in order.
class FakeWindow : public WindowPort {
public:
    void setScherm(const std::string& caption) override;
    void showPicture(const Bitmap& shown, int stage) override;
    bool askYesNo(const std::string& title, const std::string& prompt) override;
    void end() override;

    std::string scherm;
    std::string picture;           // the stage picture shown last, e.g. "scafo1.bmp"
    std::vector<std::string> log;  // "scherm ...", "picture ...", "ask ...", "end"
    std::deque<bool> answers;      // answers to the next questions; none left fails the test
    bool ended = false;
};

// Hands out the values it is given, then fails the test if asked for more.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<float> script = {}) : values(std::move(script)) {}
    void reseed() override {}
    float next() override;

    std::deque<float> values;
};

}  // namespace wordrope::test
