// One "New word" step on the largest list the game takes, beside two plain reads of that file,
// and on a sparse list: one word among 32,765 empty lines, where nearly every draw is drawn again.
#include "files.h"
#include "support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace wordrope;

namespace {

// A game folder with one list; its stage picture is one pixel, so that what is measured is the draw.
const test::GameFolder& folderWith(const std::string& list) {
    static std::map<std::string, test::GameFolder> folders;
    test::GameFolder& folder = folders[list];
    folder.writeList(list);
    folder.write("scafo1.bmp", test::bitmapFile(1, 1));
    return folder;
}

// 32,766 entries of 12 letters, CR LF line ends: the largest list the game takes.
const std::string& largestList() {
    static const std::string list = [] {
        std::string s;
        unsigned state = 12345;
        for (int i = 0; i < 32766; ++i) {
            for (int k = 0; k < 12; ++k)
                s += static_cast<char>('a' + ((state = state * 1103515245u + 12345u) >> 16) % 26);
            s += "\r\n";
        }
        return s;
    }();
    return list;
}

void newWordSteps(benchmark::State& st, const std::string& list) {
    test::FakeWindow window;
    TwisterRandom random;
    Game game(window, random, folderWith(list).dir());
    for (auto _ : st) {
        game.state = kNewGame;
        game.textopscherm();
        window.log.clear();
        benchmark::DoNotOptimize(game.word.data());
    }
}

void NewWordStep(benchmark::State& st) { newWordSteps(st, largestList()); }
BENCHMARK(NewWordStep)->Unit(benchmark::kMicrosecond)->Repetitions(9);

void NewWordSparse(benchmark::State& st) {
    std::string sparse;
    for (int i = 0; i < 32765; ++i) sparse += "\r\n";
    newWordSteps(st, sparse + "lonely");
}
BENCHMARK(NewWordSparse)->Unit(benchmark::kMillisecond)->Repetitions(3);

void TwoPlainReads(benchmark::State& st) {
    const std::string path = hostPath(folderWith(largestList()).path("wlstdata.dat"));
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
BENCHMARK(TwoPlainReads)->Unit(benchmark::kMicrosecond)->Repetitions(9);

// The console table, and the medians kept for the closing line.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(OO_None) {}  // plain text: the closing line is read by scripts
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;  // in each benchmark's own unit
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double step = reporter.medians["NewWordStep"], reads = reporter.medians["TwoPlainReads"];
    if (step > 0 && reads > 0)
        std::printf("draw: step %.1f us, two plain reads %.1f us, ratio %.2f\n", step, reads, step / reads);
    if (reporter.medians.count("NewWordSparse"))
        std::printf("draw: sparse list step %.2f ms\n", reporter.medians["NewWordSparse"]);
    return 0;
}
