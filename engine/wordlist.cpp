// The word-list reader, the list one new game reads, and the pick.
#include "wordlist.h"

#include "failure.h"
#include "files.h"

#include "random_source.h"

#include <algorithm>
#include <cstring>

namespace wordrope {

namespace {

constexpr std::size_t kOwnWindow = 1 << 16;

}  // namespace

std::string emptyListProblem() { return "the file is empty"; }

std::string tooManyEntriesProblem(long entry, long line) {
    return "more than 32,766 entries (entry " + std::to_string(entry) + " starts on line " +
           std::to_string(line) + ")";
}

std::string tooLongProblem(long entry, long line, std::size_t length) {
    return "entry " + std::to_string(entry) + " (line " + std::to_string(line) + ") is " +
           std::to_string(length) + " characters long; an entry may have at most 40";
}

std::string utf16Problem() {
    return "the file is saved in UTF-16 (Unicode), which the game cannot read. Save it as ANSI (Notepad: "
           "Save As, Encoding ANSI)";
}

std::string noWordProblem(long entries) {
    return "all " + std::to_string(entries) + " entries are empty; there is no word to draw";
}

// The reader.

FieldReader::FieldReader(std::FILE* file, const char* what, const std::string& path)
    : FieldReader(nullptr, 0, 0, file, what, path) {
    own_.resize(kOwnWindow);
    window_ = own_.data();
    room_ = own_.size();
}

FieldReader::FieldReader(unsigned char* window, std::size_t room, std::size_t filled, std::FILE* file,
                         const char* what, const std::string& path)
    : window_(window),
      room_(room),
      file_(file),
      what_(what),
      path_(path),
      pos_(window),
      end_(window + filled),
      eof_(file == nullptr) {}

bool FieldReader::fill() {
    if (pos_ != end_) return true;
    if (eof_) return false;
    const std::size_t n = readSome(file_, window_, room_, what_, path_);
    if (n == 0) {
        eof_ = true;
        return false;
    }
    pos_ = window_;
    end_ = window_ + n;
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

// A field may be any length; only its first kFieldKept bytes are kept, so that
// no file, however large, is held whole.
void FieldReader::keep(std::string& out, const unsigned char* from, const unsigned char* to) {
    const auto n = static_cast<std::size_t>(to - from);
    length_ = saturatingAdd(length_, n);
    if (out.size() < kFieldKept)
        out.append(reinterpret_cast<const char*>(from), std::min(n, kFieldKept - out.size()));
}

// Consumes one separator: a comma, CR LF, LF or CR. Anything before it
// (after a closing quote) is dropped.
void FieldReader::skipPastSeparator() {
    while (fill()) {
        const unsigned char c = *pos_++;
        if (c == ',') return;
        if (c == '\n' || c == '\r') {
            line_ = saturatingAdd(line_, 1L);
            crPending_ = c == '\r';
            return;
        }
    }
}

bool FieldReader::read(std::string& out) {
    out.clear();
    length_ = 0;
    unclosed_ = false;
    finishLineEnd();
    if (!fill()) return false;
    while (fill() && isBlank(*pos_)) ++pos_;
    fieldLine_ = line_;
    if (!fill()) return true;  // blanks, then the end: one empty field

    if (*pos_ != '"') {
        std::size_t blanks = 0;  // trailing blanks so far, to be dropped
        for (;;) {
            const unsigned char* p = pos_;
            while (p != end_ && !isSeparator(*p)) blanks = isBlank(*p++) ? blanks + 1 : 0;
            keep(out, pos_, p);
            pos_ = p;
            if (p != end_ || !fill()) break;
        }
        length_ -= blanks;
        if (out.size() > length_) out.resize(length_);
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
        while (p != end_ && *p != '"' && *p != '\r' && *p != '\n') ++p;
        keep(out, pos_, p);
        if (p != pos_) afterCR = false;
        pos_ = p;
        if (p == end_) continue;
        const unsigned char c = *pos_++;
        if (c == '"') break;
        // A line end inside the quotes belongs to the field and counts as a line.
        if (c == '\n' && afterCR) {
            afterCR = false;
        } else {
            line_ = saturatingAdd(line_, 1L);
            afterCR = (c == '\r');
        }
        keep(out, &c, &c + 1);
    }
    skipPastSeparator();
    return true;
}

// The list of one new game.

std::int16_t WordList::load(const std::string& path) {
    path_ = path;
    File f = openForReading(kWordListWhat, path);
    // One read: the buffer grows to the file's size, up to kWindow, and is kept for the next game.
    size_ = 0;
    bool whole = false;
    for (;;) {
        const std::size_t capacity = buf_.empty() ? 0 : buf_.size() - kPad;
        if (size_ == capacity) {
            if (capacity == kWindow) break;  // the rest, if any, is read through the window
            buf_.resize(std::min(kWindow, std::max<std::size_t>(2 * capacity, 1 << 16)) + kPad);
            continue;
        }
        const std::size_t got = readSome(f.get(), buf_.data() + size_, capacity - size_, kWordListWhat, path);
        if (got == 0) {
            whole = true;
            break;
        }
        size_ += got;
    }
    if (beginsAsUtf16(buf_.data(), size_)) throw fileFailure(kWordListWhat, path, utf16Problem());
    if (const std::size_t mark = utf8MarkLength(buf_.data(), size_)) {
        std::memmove(buf_.data(), buf_.data() + mark, size_ - mark);
        size_ -= mark;
    }
    anyWord_ = -1;
    if (whole && countQuickly()) return count_;
    FieldReader reader(buf_.data(), kWindow, size_, whole ? nullptr : f.get(), kWordListWhat, path);
    countExactly(reader);
    return count_;
}

// Without a quote, every separator ends a field and only the ends need counting.
// The loop is plain arithmetic on bytes, without a branch, a block at a time;
// it counts what endsField() tells byte by byte. Declines (false) where the exact
// count has to decide: a quote, room for a field over 40, too many fields, no byte.
bool WordList::countQuickly() {
    if (size_ == 0) return false;
    // Commas after the end make the last block whole; they are taken off the count again.
    const std::size_t padded = (size_ + kBlock - 1) / kBlock * kBlock;
    std::memset(buf_.data() + size_, ',', padded + 1 - size_);
    before_.clear();
    std::uint32_t ends = 0;
    unsigned char quote = 0;
    bool gap = false;
    for (std::size_t b = 0; b < padded; b += kBlock) {
        before_.push_back(ends);
        const unsigned char* q = buf_.data() + b;
        unsigned char sep[kBlock];
        unsigned char blockEnds = 0;
        for (int i = 0; i < static_cast<int>(kBlock); ++i) {
            const unsigned char c = q[i];
            const auto s = static_cast<unsigned char>((c == ',') + (c == '\n') + (c == '\r'));
            sep[i] = s;
            quote |= static_cast<unsigned char>(c == '"');
            blockEnds += static_cast<unsigned char>(s - ((c == '\r') & (q[i + 1] == '\n')));
        }
        ends += blockEnds;
        // A field over 40 bytes spans 16 aligned bytes without a separator: look for those.
        std::uint64_t words[kBlock / 8];
        std::memcpy(words, sep, sizeof words);
        for (std::size_t k = 0; k < kBlock / 8; k += 2) gap |= (words[k] | words[k + 1]) == 0;
    }
    ends -= static_cast<std::uint32_t>(padded - size_);
    const std::uint32_t entries = ends + (isSeparator(buf_[size_ - 1]) ? 0 : 1);
    if (quote || gap || entries > static_cast<std::uint32_t>(kMaxEntries)) return false;
    count_ = static_cast<std::int16_t>(entries);
    quick_ = true;
    return true;
}

// Field by field, keeping the entries: the refusals are worded here.
void WordList::countExactly(FieldReader& reader) {
    store_.clear();
    starts_.assign(1, 0);
    std::string field;
    long entries = 0;
    bool anyWord = false;
    // The first read comes before the first end test, so a final empty line is an entry.
    do {
        if (!reader.read(field)) throw fileFailure(kWordListWhat, path_, emptyListProblem());
        ++entries;
        if (entries > kMaxEntries)
            throw fileFailure(kWordListWhat, path_, tooManyEntriesProblem(entries, reader.fieldLine()));
        if (reader.fieldLength() > static_cast<std::size_t>(kMaxWordLength))
            throw fileFailure(kWordListWhat, path_,
                              tooLongProblem(entries, reader.fieldLine(), reader.fieldLength()));
        anyWord = anyWord || !field.empty();
        store_ += field;
        starts_.push_back(static_cast<std::uint32_t>(store_.size()));
    } while (!reader.atEnd());
    if (!anyWord) throw fileFailure(kWordListWhat, path_, noWordProblem(entries));
    count_ = static_cast<std::int16_t>(entries);
    quick_ = false;
    anyWord_ = 1;
}

std::string WordList::entry(std::int16_t pick) {
    if (pick < 1 || pick > count_) return "";
    if (!quick_) return store_.substr(starts_[pick - 1], starts_[pick] - starts_[pick - 1]);
    // The entry starts after the (pick - 1)-th end: find its block, then the byte.
    const std::uint32_t target = static_cast<std::uint32_t>(pick - 1);
    std::size_t start = 0;
    if (target > 0) {
        const auto after = std::lower_bound(before_.begin(), before_.end(), target);
        const auto block = static_cast<std::size_t>(after - before_.begin()) - 1;
        std::uint32_t seen = before_[block];
        const unsigned char* p = buf_.data() + block * kBlock;
        while (!(endsField(p) && ++seen == target)) ++p;
        start = static_cast<std::size_t>(p - buf_.data()) + 1;
    }
    FieldReader reader(buf_.data() + start, size_ - start, size_ - start, nullptr, kWordListWhat, path_);
    std::string word;
    reader.read(word);
    return word;
}

void WordList::requireWord() {
    if (anyWord_ < 0) {
        // Counted quickly, so there is no quote: any byte but a separator or a blank is a word.
        anyWord_ = std::any_of(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(size_),
                               [](unsigned char c) { return !isSeparator(c) && !isBlank(c); });
    }
    if (!anyWord_) throw fileFailure(kWordListWhat, path_, noWordProblem(count_));
}

std::int16_t pickIndex(std::int16_t entries, std::uint32_t k) {
    // entries x k / 2^24 + 1: its whole part and what is left over, in 2^-24ths.
    const std::uint64_t product = static_cast<std::uint64_t>(entries) * k;
    const std::uint64_t one = std::uint64_t{1} << kRandomBits, half = one / 2;
    std::uint64_t whole = (product >> kRandomBits) + 1;
    const std::uint64_t left = product & (one - 1);
    if (left > half || (left == half && whole % 2 == 1)) ++whole;  // a tie goes to the even one
    return static_cast<std::int16_t>(whole);
}

}  // namespace wordrope
