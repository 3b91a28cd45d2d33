// One "New word" step on three lists: the largest list the game takes of short words, the same of
// 40-letter words (where the quick count declines and the reader keeps every entry), and a sparse
// list, one word among 32,765 empty lines, where nearly every draw is drawn again. Two plain reads
// of the same file are the yardstick: each list's line gives the step's time, the reads' (reads_us)
// and the step's multiple of them (ratio).
#include "files.h"
#include "support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
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

// Seconds two plain reads of the whole file take, the fastest of nine tries.
double twoPlainReads(const std::string& path, std::size_t size) {
    std::vector<char> buf(1 << 16);
    double fastest = 1e9;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int pass = 0; pass < 2; ++pass) {
            std::FILE* f = std::fopen(path.c_str(), "rb");
            if (!f) throw std::runtime_error("cannot open " + path);
            std::size_t n = 0;
            while (std::size_t got = std::fread(buf.data(), 1, buf.size(), f)) n += got;
            std::fclose(f);
            if (n != size)
                throw std::runtime_error("read " + std::to_string(n) + " of " + std::to_string(size) +
                                         " bytes");
            benchmark::DoNotOptimize(n);
        }
        fastest = std::min(fastest,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return fastest;
}

// The stage picture is one pixel, so that what is measured is the draw.
void step(benchmark::State& st, std::string list) {
    test::GameFolder folder;
    folder.writeList(list);
    folder.write("scafo1.bmp", test::bitmapFile(1, 1));
    test::FakeWindow window;
    TwisterRandom random;
    Game game(window, random, folder.dir());
    const double reads = twoPlainReads(hostPath(folder.path("wlstdata.dat")), list.size());
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : st) {
        game.state = kNewGame;
        game.textopscherm();
        window.log.clear();
        benchmark::DoNotOptimize(game.word.data());
    }
    const std::chrono::duration<double> steps = std::chrono::steady_clock::now() - start;
    st.counters["reads_us"] = reads * 1e6;
    st.counters["ratio"] = steps.count() / static_cast<double>(st.iterations()) / reads;
}

}  // namespace

int main(int argc, char** argv) {
    for (const auto& [name, list] :
         {std::pair{"largest_list_of_12_letters", largestList(12)},
          {"largest_list_of_40_letters", largestList(kMaxWordLength)},
          {"one_word_among_32765_empty_lines", std::string(kMaxEntries - 1, '\n') + "lonely"}})
        benchmark::RegisterBenchmark(name, step, list)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
