// The word-list reader and the two passes of the draw.
#include "wordlist.h"

#include "failure.h"
#include "files.h"
#include "scan.h"

#include <bit>

#include <algorithm>
#include <cmath>
#include <vector>

namespace wordrope {

namespace {

const char* const kWhat = "Word list";

// What stops an unquoted field, and what a quoted one has to look at.
enum : unsigned char { kPlain = 0, kSep = 1, kQuote = 2 };

struct Classes {
    unsigned char unquoted[256] = {};
    unsigned char quoted[256] = {};
    constexpr Classes() {
        unquoted[static_cast<unsigned char>(',')] = kSep;
        unquoted[static_cast<unsigned char>('\r')] = kSep;
        unquoted[static_cast<unsigned char>('\n')] = kSep;
        quoted[static_cast<unsigned char>('"')] = kQuote;
        quoted[static_cast<unsigned char>('\r')] = kSep;
        quoted[static_cast<unsigned char>('\n')] = kSep;
    }
};
constexpr Classes kClasses;

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }
bool isSeparator(unsigned char c) { return c == ',' || c == '\r' || c == '\n'; }

// The refusal of an entry longer than the slots; `line` 0 where it is not known.
Failure tooLong(const std::string& path, long entry, long line, std::size_t length) {
    std::string where = "entry " + std::to_string(entry);
    if (line > 0) where += " (line " + std::to_string(line) + ")";
    return fileFailure(
        kWhat, path,
        where + " is " + std::to_string(length) + " characters long; an entry may have at most 40");
}

}  // namespace

FieldReader::FieldReader(std::FILE* file, const char* what, const std::string& path)
    : file_(file), what_(what), path_(path) {}

bool FieldReader::fill() {
    if (pos_ != end_) return true;
    if (eof_) return false;
    const std::size_t n = readSome(file_, buf_, sizeof buf_, what_, path_);
    if (n == 0) {
        eof_ = true;
        return false;
    }
    pos_ = buf_;
    end_ = buf_ + n;
    return true;
}

bool FieldReader::atEnd() {
    finishLineEnd();
    return !fill();
}

void FieldReader::finishLineEnd() {
    if (crPending_ && fill()) {
        if (*pos_ == '\n') ++pos_;
        crPending_ = false;
    }
}

bool FieldReader::skip(long n) {
    bool midField = false;  // inside an unquoted field that began in an earlier buffer
    while (n > 0) {
        finishLineEnd();
        if (!fill()) return midField && n == 1;  // the end of the file ends that field
        const unsigned char* const start = pos_;
        const unsigned char* q = pos_;
        bool crBefore = false;

        // Without a quote about, every separator ends a field and blanks do not
        // matter: count whole chunks while the n-th end lies beyond them ...
        while (static_cast<std::size_t>(end_ - q) >= kChunk) {
            const ChunkTally t = tallyChunk<false, false>(q, crBefore);
            if (t.quote || t.ends >= n) break;
            n -= t.ends;
            crBefore = q[kChunk - 1] == '\r';
            q += kChunk;
        }
        // ... then blocks, up to the n-th end or the first quote.
        const unsigned char* boundary = nullptr;  // just past the last end taken
        bool quoteAhead = false;
        while (n > 0 && q != end_) {
            const auto len = std::min<std::size_t>(kBlock, static_cast<std::size_t>(end_ - q));
            const Block b = classify(q, len);
            std::uint32_t ends = fieldEnds(b, crBefore);
            if (b.quote) {
                ends &= (b.quote & (~b.quote + 1u)) - 1u;  // only the ends before the first quote
                quoteAhead = true;
            }
            if (bitCount(ends) >= n) {
                std::uint32_t nth = ends;
                for (long i = 1; i < n; ++i) nth &= nth - 1u;
                ends &= (2u << std::countr_zero(nth)) - 1u;  // up to the n-th end
            }
            if (ends) {
                n -= bitCount(ends);
                boundary = q + (32 - std::countl_zero(ends));
            }
            if (n == 0 || quoteAhead) break;
            crBefore = (b.cr >> (len - 1)) & 1u;
            q += len;
        }

        if (n > 0 && !quoteAhead) {
            // The buffer is used up; a field that began in it ends in the next one.
            pos_ = end_;
            crPending_ = end_[-1] == '\r';
            midField = !isSeparator(end_[-1]);
            continue;
        }
        if (!boundary) {
            // No end in the last block: the last one lies further back, if in this buffer.
            for (const unsigned char* r = q; r != start; --r)
                if (isSeparator(r[-1])) {
                    boundary = r;
                    break;
                }
        }
        if (boundary) {
            midField = false;
            crPending_ = boundary[-1] == '\r';
            pos_ = boundary;
        } else {
            pos_ = start;
        }
        if (n > 0) {
            // Near a quote: one field the exact way.
            finishLineEnd();
            if (midField) {
                skipPastSeparator();  // in an unquoted field a quote is an ordinary byte
                midField = false;
            } else {
                std::string scratch;
                if (!read(scratch)) return false;
            }
            --n;
        }
    }
    return true;
}

// Consumes one separator: a comma, CR LF, LF or CR. Anything before it
// (after a closing quote) is dropped.
void FieldReader::skipPastSeparator() {
    while (fill()) {
        const unsigned char c = *pos_++;
        if (c == ',') return;
        if (c == '\n') {
            ++line_;
            return;
        }
        if (c == '\r') {
            ++line_;
            if (fill() && *pos_ == '\n') ++pos_;
            return;
        }
    }
}

bool FieldReader::read(std::string& out) {
    out.clear();
    unclosed_ = false;
    finishLineEnd();
    if (!fill()) return false;
    while (fill() && isBlank(*pos_)) ++pos_;
    fieldLine_ = line_;
    if (!fill()) return true;  // blanks, then the end: one empty field

    if (*pos_ != '"') {
        for (;;) {
            const unsigned char* p = pos_;
            while (p != end_ && kClasses.unquoted[*p] == kPlain) ++p;
            out.append(reinterpret_cast<const char*>(pos_), static_cast<std::size_t>(p - pos_));
            pos_ = p;
            if (p != end_ || !fill()) break;
        }
        std::size_t keep = out.size();
        while (keep > 0 && isBlank(static_cast<unsigned char>(out[keep - 1]))) --keep;
        out.resize(keep);
        skipPastSeparator();
        return true;
    }

    ++pos_;  // the opening quote
    bool afterCR = false;
    for (;;) {
        if (!fill()) {
            unclosed_ = true;
            return true;
        }
        const unsigned char* p = pos_;
        while (p != end_ && kClasses.quoted[*p] == kPlain) ++p;
        out.append(reinterpret_cast<const char*>(pos_), static_cast<std::size_t>(p - pos_));
        if (p != pos_) afterCR = false;
        pos_ = p;
        if (p == end_) continue;
        const unsigned char c = *pos_++;
        if (c == '"') break;
        // A line end inside the quotes belongs to the field and counts as a line.
        if (c == '\n' && afterCR) {
            afterCR = false;
        } else {
            ++line_;
            afterCR = (c == '\r');
        }
        out.push_back(static_cast<char>(c));
    }
    skipPastSeparator();
    return true;
}

namespace {

// What the quick count knows after the bytes so far.
struct Tally {
    long ends = 0;  // separators that end a field
    long run = 0;   // bytes since the last separator
    bool crBefore = false;
    bool anyText = false;
    bool refuse = false;  // the exact pass has to decide
};

void tallyBytes(const unsigned char* p, std::size_t n, Tally& t) {
    for (std::size_t i = 0; i < n && !t.refuse; ++i) {
        const unsigned char c = p[i];
        if (c == '"') {
            t.refuse = true;
        } else if (isSeparator(c)) {
            if (!(c == '\n' && t.crBefore)) ++t.ends;
            t.run = 0;
            t.crBefore = c == '\r';
        } else {
            t.refuse = ++t.run > kMaxWordLength;
            t.crBefore = false;
            t.anyText = t.anyText || !isBlank(c);
        }
    }
}

// Whole chunks at a time. Where every 16 bytes hold a separator no field inside
// can be too long, so only the fields that run in and out of them are measured.
void tallyBuffer(const unsigned char* p, std::size_t n, Tally& t) {
    const std::size_t whole = n - n % kChunk;
    long ends = 0;
    bool crBefore = t.crBefore, text = false;
    for (std::size_t i = 0; i < whole; i += kChunk) {
        const bool known = t.anyText || text;  // one byte of text is enough to know
        const ChunkTally c =
            known ? tallyChunk<true, false>(p + i, crBefore) : tallyChunk<true, true>(p + i, crBefore);
        if (c.quote || c.gap) {
            tallyBytes(p, n, t);  // the careful way, from the start of the buffer
            return;
        }
        ends += c.ends;
        text = text || c.text;
        crBefore = p[i + kChunk - 1] == '\r';
    }
    if (whole > 0) {
        std::size_t first = 0;
        while (!isSeparator(p[first])) ++first;
        std::size_t last = whole - 1;
        while (!isSeparator(p[last])) --last;
        if (t.run + static_cast<long>(first) > kMaxWordLength) {
            t.refuse = true;
            return;
        }
        t.ends += ends;
        t.run = static_cast<long>(whole - 1 - last);
        t.crBefore = crBefore;
        t.anyText = t.anyText || text;
    }
    tallyBytes(p + whole, n - whole, t);
}

// Counts the fields of a list without quotes. Returns -1 where the exact pass
// has to decide: a quote, a field that may be too long, too many fields, no
// field with a word, or an empty file.
long quickCount(std::FILE* file, const std::string& path) {
    std::vector<unsigned char> buf(1 << 16);
    Tally t;
    bool anyByte = false;
    while (const std::size_t got = readSome(file, buf.data(), buf.size(), kWhat, path)) {
        anyByte = true;
        tallyBuffer(buf.data(), got, t);
        if (t.refuse || t.ends > kMaxEntries) return -1;
    }
    const long entries = t.ends + (t.run > 0 ? 1 : 0);
    if (!anyByte || !t.anyText || entries > kMaxEntries) return -1;
    return entries;
}

}  // namespace

std::int16_t countEntries(const std::string& path) {
    {
        File f = openForReading(kWhat, path);
        const long quick = quickCount(f.get(), path);
        if (quick >= 0) return static_cast<std::int16_t>(quick);
    }
    // The exact pass, which also words the refusals.
    File f = openForReading(kWhat, path);
    FieldReader reader(f.get(), kWhat, path);
    std::string scratch;
    int entries = 0;
    bool anyWord = false;
    // The first read comes before the first end test, so a final empty line is an entry.
    do {
        if (!reader.read(scratch)) throw fileFailure(kWhat, path, "the file is empty");
        ++entries;
        if (entries > kMaxEntries)
            throw fileFailure(kWhat, path,
                              "more than 32,766 entries (entry " + std::to_string(entries) +
                                  " starts on line " + std::to_string(reader.fieldLine()) + ")");
        if (scratch.size() > static_cast<std::size_t>(kMaxWordLength))
            throw tooLong(path, entries, reader.fieldLine(), scratch.size());
        anyWord = anyWord || !scratch.empty();
    } while (!reader.atEnd());
    if (!anyWord)
        throw fileFailure(kWhat, path,
                          "all " + std::to_string(entries) + " entries are empty; there is no word to draw");
    return static_cast<std::int16_t>(entries);
}

std::int16_t pickIndex(std::int16_t entries, float r) {
    const float x = static_cast<float>(entries) * r + 1.0f;
    return static_cast<std::int16_t>(std::nearbyint(x));
}

std::string readEntry(const std::string& path, std::int16_t pick) {
    File f = openForReading(kWhat, path);
    FieldReader reader(f.get(), kWhat, path);
    std::string word;
    if (pick < 1 || !reader.skip(pick - 1) || !reader.read(word))
        throw fileFailure(kWhat, path,
                          "the list ended before entry " + std::to_string(pick) +
                              " (was it changed while the game read it?)");
    if (word.size() > static_cast<std::size_t>(kMaxWordLength)) throw tooLong(path, pick, 0, word.size());
    return word;
}

}  // namespace wordrope
