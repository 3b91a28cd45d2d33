// One "New word" step on the largest list the game takes, beside two plain reads of that file.
#include "game.h"
#include "random_source.h"
#include "window_port.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace wordrope;

namespace {

class NullWindow : public WindowPort {
public:
    void setScherm(const std::string& caption) override { benchmark::DoNotOptimize(caption.data()); }
    void showPicture(const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void end() override {}
};

// 32,766 entries of 12 letters, CR LF line ends: the largest list the game takes.
const fs::path& listFolder() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "wordrope-bench";
        fs::create_directories(d);
        std::FILE* f = std::fopen((d / "wlstdata.dat").string().c_str(), "wb");
        unsigned state = 12345;
        for (int i = 0; i < 32766; ++i) {
            char word[15];
            for (int k = 0; k < 12; ++k) {
                state = state * 1103515245u + 12345u;
                word[k] = static_cast<char>('a' + (state >> 16) % 26);
            }
            word[12] = '\r';
            word[13] = '\n';
            std::fwrite(word, 1, 14, f);
        }
        std::fclose(f);
        return d;
    }();
    return dir;
}

void NewWordStep(benchmark::State& st) {
    NullWindow window;
    TwisterRandom random;
    Game game(window, random, listFolder().string());
    for (auto _ : st) {
        game.state = kNewGame;
        game.textopscherm();
        benchmark::DoNotOptimize(game.word.data());
    }
}
BENCHMARK(NewWordStep)->Unit(benchmark::kMicrosecond);

void TwoPlainReads(benchmark::State& st) {
    const std::string path = (listFolder() / "wlstdata.dat").string();
    std::vector<char> buf(1 << 20);
    for (auto _ : st) {
        for (int pass = 0; pass < 2; ++pass) {
            std::FILE* f = std::fopen(path.c_str(), "rb");
            std::size_t n = 0;
            while (std::size_t got = std::fread(buf.data() + n, 1, buf.size() - n, f)) n += got;
            std::fclose(f);
            benchmark::DoNotOptimize(n);
        }
    }
}
BENCHMARK(TwoPlainReads)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
