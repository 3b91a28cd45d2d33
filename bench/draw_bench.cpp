// One "New word" step beside two plain reads of the same file, on three lists: the largest list
// the game takes of short words, the same of 40-letter words (where the quick count declines and
// the reader keeps every entry), and a sparse list, one word among 32,765 empty lines, where
// nearly every draw is drawn again. Ends with a line per list: the step, the reads, their ratio.
#include "files.h"
#include "support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace wordrope;

namespace {

// kMaxEntries entries of `letters` random letters, CR LF line ends.
std::string largestList(int letters) {
    std::string s;
    unsigned state = 12345;
    for (int i = 0; i < kMaxEntries; ++i) {
        for (int k = 0; k < letters; ++k)
            s += static_cast<char>('a' + ((state = state * 1103515245u + 12345u) >> 16) % 26);
        s += "\r\n";
    }
    return s;
}

struct List {
    const char* key;
    const char* says;
    std::string bytes;
};

const std::vector<List>& lists() {
    static const std::vector<List> all = {
        {"short", "32,766 entries of 12 letters", largestList(12)},
        {"long", "32,766 entries of 40 letters", largestList(kMaxWordLength)},
        {"sparse", "one word among 32,765 empty lines", std::string(kMaxEntries - 1, '\n') + "lonely"},
    };
    return all;
}

// The stage picture is one pixel, so that what is measured is the draw.
void step(benchmark::State& st, const List& list) {
    test::GameFolder folder;
    folder.writeList(list.bytes);
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

void twoPlainReads(benchmark::State& st, const List& list) {
    test::GameFolder folder;
    folder.writeList(list.bytes);
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

// Google Benchmark's table, and the medians kept for the summary: "step/short" -> microseconds.
class Summary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> medians;
};

std::string time(double us) {
    char text[32];
    std::snprintf(text, sizeof text, us < 1000 ? "%.1f us" : "%.2f ms", us < 1000 ? us : us / 1000);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    for (const List& list : lists()) {
        using Body = void (*)(benchmark::State&, const List&);
        for (auto [name, body] : {std::pair<const char*, Body>{"step/", step}, {"reads/", twoPlainReads}})
            benchmark::RegisterBenchmark((name + std::string(list.key)).c_str(), body, list)
                ->Unit(benchmark::kMicrosecond)
                ->Repetitions(9)
                ->ReportAggregatesOnly();
    }
    benchmark::Initialize(&argc, argv);
    Summary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    std::printf("\n");
    for (const List& list : lists()) {
        const auto step = summary.medians.find(std::string("step/") + list.key);
        const auto reads = summary.medians.find(std::string("reads/") + list.key);
        if (step == summary.medians.end() || reads == summary.medians.end()) continue;  // filtered out
        std::printf("draw, %s: step %s, two plain reads %s, ratio %.1f\n", list.says,
                    time(step->second).c_str(), time(reads->second).c_str(), step->second / reads->second);
    }
    benchmark::Shutdown();
}
