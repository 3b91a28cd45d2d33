// Test doubles for the engine: a fake window, a scripted random source, a game folder.
#pragma once

#include "failure.h"
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

// The mark Notepad writes at the start of a file saved as "UTF-8 with BOM".
inline const std::string kUtf8Mark = "\xef\xbb\xbf";

// The text of the Failure that `step` throws; "" when it throws none.
template <class Step>
std::string failureOf(Step step) {
    try {
        step();
    } catch (const Failure& f) {
        return f.what();
    }
    return "";
}

// How a test bitmap is stored: bits a pixel, the header's size (12: the core header), biClrUsed,
// and the compression (3: bit fields).
struct BitmapKind {
    unsigned bits = 24, header = 40, used = 0, compression = 0;
};

// A valid bitmap file of one colour (0xRRGGBB), `width` x `height`, bottom-up, stored as `kind`
// says: at 8 bits or fewer every pixel is the colour table's first entry.
std::string bitmapFile(int width, int height, unsigned rgb = 0x7F7F7F, BitmapKind kind = {});

// Pictures of every depth, header and colour table, each with the size of what the system reads
// before its pixels (the header, masks and colour table).
struct PictureCase {
    std::string name, bytes;
    std::size_t infoSize;
};
inline constexpr unsigned kCaseColour = 0x3060C0;
std::vector<PictureCase> pictureCases();

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

// Hands out the values it is given, each r as its k = r x 2^24 (cut to a whole number), then fails
// the test if asked for more.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::deque<float> script = {}) : values(std::move(script)) {}
    void reseed() override {}
    std::uint32_t next() override;

    std::deque<float> values;
};

}  // namespace wordrope::test
