// Fuzzes the word list and the draw against a small model of the field rules, written as plainly
// as they can be: the count, every entry, the refusals and the drawn entry must agree with it.
#include "failure.h"
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

// The field rules on a whole file in memory, one byte at a time.
std::vector<std::string> modelFields(const std::string& s) {
    const auto separator = [&](std::size_t k) { return s[k] == ',' || s[k] == '\r' || s[k] == '\n'; };
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::string field;
        if (i < s.size() && s[i] == '"') {
            const std::size_t close = s.find('"', i + 1);
            field = s.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
            i = close == std::string::npos ? s.size() : close + 1;
            while (i < s.size() && !separator(i)) ++i;  // dropped
        } else {
            while (i < s.size() && !separator(i)) field += s[i++];
            while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.pop_back();
        }
        if (i < s.size() && s[i++] == '\r' && i < s.size() && s[i] == '\n') ++i;
        fields.push_back(field);
    }
    return fields;
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
    const std::string bytes(reinterpret_cast<const char*>(data) + 4, size - 4);
    static const std::string path = "/tmp/wordrope-fuzz-" + std::to_string(getpid()) + ".dat";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);

    const std::vector<std::string> fields = modelFields(bytes);
    bool tooLong = false, anyWord = false;
    for (const std::string& field : fields) {
        tooLong = tooLong || field.size() > static_cast<std::size_t>(kMaxWordLength);
        anyWord = anyWord || !field.empty();
    }
    const bool refused = fields.empty() || tooLong || fields.size() > kMaxEntries || !anyWord;

    static WordList list;  // one list, as a game keeps it from draw to draw
    std::int16_t count = -1;
    try {
        count = list.load(path);
        list.requireWord();
    } catch (const Failure&) {
        check(refused, "a list the model takes was refused");
        return 0;
    }
    check(!refused, "a list the model refuses was taken");
    check(count == static_cast<std::int16_t>(fields.size()), "the count differs from the model");
    for (std::size_t k = 1; k <= fields.size(); k += 1 + fields.size() / 256)
        check(list.entry(static_cast<std::int16_t>(k)) == fields[k - 1], "an entry differs from the model");
    const std::int16_t pick = pickIndex(static_cast<std::int16_t>(count - 1), r);
    check(pick >= 1 && pick <= count && list.entry(pick) == fields[static_cast<std::size_t>(pick) - 1],
          "the drawn entry differs from the model");
    return 0;
}
