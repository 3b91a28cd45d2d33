// One "New word" step on the largest list the game takes, beside two plain reads of that file,
// and on a sparse list: one word among 32,765 empty lines, where nearly every draw is drawn again.
#include "game.h"
#include "random_source.h"
#include "window_port.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace wordrope;

namespace {

class NullWindow : public WindowPort {
public:
    void setScherm(const std::string& caption) override { benchmark::DoNotOptimize(caption.data()); }
    void showPicture(const Bitmap&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void end() override {}
};

// A folder of its own holding a word list made by `write`.
template <class Write>
fs::path listFolder(const char* name, Write write) {
    fs::path d = fs::temp_directory_path() / name;
    fs::create_directories(d);
    std::FILE* f = std::fopen((d / "wlstdata.dat").string().c_str(), "wb");
    write(f);
    std::fclose(f);
    // A one-pixel stage picture: the step shows it, and what is measured stays the draw.
    static const unsigned char kPixel[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40,
                                             0,   0,   0,  1, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24};
    f = std::fopen((d / "scafo1.bmp").string().c_str(), "wb");
    std::fwrite(kPixel, 1, sizeof kPixel, f);
    std::fclose(f);
    return d;
}

// 32,766 entries of 12 letters, CR LF line ends: the largest list the game takes.
const fs::path& largestList() {
    static const fs::path dir = listFolder("wordrope-bench", [](std::FILE* f) {
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
    });
    return dir;
}

const fs::path& sparseList() {
    static const fs::path dir = listFolder("wordrope-bench-sparse", [](std::FILE* f) {
        for (int i = 0; i < 32765; ++i) std::fputs("\r\n", f);
        std::fputs("lonely", f);
    });
    return dir;
}

void newWordSteps(benchmark::State& st, const fs::path& folder) {
    NullWindow window;
    TwisterRandom random;
    Game game(window, random, folder.string());
    for (auto _ : st) {
        game.state = kNewGame;
        game.textopscherm();
        benchmark::DoNotOptimize(game.word.data());
    }
}

void NewWordStep(benchmark::State& st) { newWordSteps(st, largestList()); }
BENCHMARK(NewWordStep)->Unit(benchmark::kMicrosecond)->Repetitions(9);

void NewWordSparse(benchmark::State& st) { newWordSteps(st, sparseList()); }
BENCHMARK(NewWordSparse)->Unit(benchmark::kMillisecond)->Repetitions(3);

void TwoPlainReads(benchmark::State& st) {
    const std::string path = (largestList() / "wlstdata.dat").string();
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
