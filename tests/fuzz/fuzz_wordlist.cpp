// Fuzzes the word-list reader and the draw: the quick passes must agree with the field-by-field
// reader on any bytes, refusals must be failures, and a pick must name an entry of the list.
#include "failure.h"
#include "files.h"
#include "wordlist.h"

#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace wordrope;

namespace {

const std::string& listPath() {
    static const std::string path = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(base) + "/wordrope-fuzz-" + std::to_string(getpid()) + ".dat";
    }();
    return path;
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_wordlist: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first four bytes choose the random value of the draw; the rest is the list.
    if (size < 4) return 0;
    std::uint32_t bits;
    std::memcpy(&bits, data, 4);
    const float r = static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
    const std::string& path = listPath();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(data + 4, 1, size - 4, f);
        std::fclose(f);
    }

    std::vector<std::string> fields;
    {
        File f = openForReading("Word list", path);
        FieldReader reader(f.get(), "Word list", path);
        std::string field;
        do {
            if (!reader.read(field)) break;
            fields.push_back(field);
        } while (!reader.atEnd());
    }
    bool tooLong = false, anyWord = false;
    for (const std::string& f : fields) {
        tooLong = tooLong || f.size() > static_cast<std::size_t>(kMaxWordLength);
        anyWord = anyWord || !f.empty();
    }
    const bool acceptable = !fields.empty() && anyWord && !tooLong && fields.size() <= kMaxEntries;

    std::int16_t count = -1;
    try {
        count = countEntries(path);
    } catch (const Failure&) {
    }
    check(acceptable ? count == static_cast<std::int16_t>(fields.size()) : count == -1,
          "the count differs from the field-by-field reader");

    // Every entry read by the reading pass, as the draw reads it.
    for (std::size_t k = 1; k <= fields.size() && k <= kMaxEntries; k += 1 + fields.size() / 64) {
        std::string word;
        bool failed = false;
        try {
            word = readEntry(path, static_cast<std::int16_t>(k));
        } catch (const Failure&) {
            failed = true;
        }
        check(failed == (fields[k - 1].size() > static_cast<std::size_t>(kMaxWordLength)),
              "a refusal differs");
        check(failed || word == fields[k - 1], "the reading pass read another entry");
    }

    if (acceptable) {
        const std::int16_t pick = pickIndex(static_cast<std::int16_t>(count - 1), r);
        check(pick >= 1 && pick <= count, "the pick fell outside the list");
        check(readEntry(path, pick) == fields[static_cast<std::size_t>(pick) - 1], "the drawn entry differs");
    }
    return 0;
}
