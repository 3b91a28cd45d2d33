// One "New word" step on the largest list the game takes, beside two plain reads of that file,
// and on a sparse list: one word among 32,765 empty lines, where nearly every draw is drawn again.
// The step's time over the reads' time is the figure to watch; both run in the same process.
#include "files.h"
#include "support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace wordrope;

namespace {

// 32,766 entries of 12 letters, CR LF line ends: the largest list the game takes.
std::string largestList() {
    std::string s;
    unsigned state = 12345;
    for (int i = 0; i < kMaxEntries; ++i) {
        for (int k = 0; k < 12; ++k)
            s += static_cast<char>('a' + ((state = state * 1103515245u + 12345u) >> 16) % 26);
        s += "\r\n";
    }
    return s;
}

// Its stage picture is one pixel, so that what is measured is the draw.
void newWordSteps(benchmark::State& st, const std::string& list) {
    test::GameFolder folder;
    folder.writeList(list);
    folder.write("scafo1.bmp", test::bitmapFile(1, 1));
    test::FakeWindow window;
    TwisterRandom random;
    Game game(window, random, folder.dir());
    for (auto _ : st) {
        game.state = kNewGame;
        game.textopscherm();
        window.log.clear();
        benchmark::DoNotOptimize(game.word.data());
    }
}

void NewWordStep(benchmark::State& st) { newWordSteps(st, largestList()); }
void NewWordSparse(benchmark::State& st) { newWordSteps(st, std::string(kMaxEntries - 1, '\n') + "lonely"); }

void TwoPlainReads(benchmark::State& st) {
    test::GameFolder folder;
    folder.writeList(largestList());
    const std::string path = hostPath(folder.path("wlstdata.dat"));
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

}  // namespace

BENCHMARK(NewWordStep)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(TwoPlainReads)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(NewWordSparse)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK_MAIN();
