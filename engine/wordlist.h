// The word-list file: its field rules and reader, the list one new game reads, and the pick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace wordrope {

inline constexpr int kMaxEntries = 32766;                  // counts and positions are 16-bit
inline constexpr int kMaxWordLength = 40;                  // the slots of `letters`
inline constexpr const char* kWordListWhat = "Word list";  // what a failure of the file names

// a + b, or the type's largest value where that would pass it: a hostile file's counts (over 2^31
// line ends; a field over 4 GiB, where size_t has 32 bits) stop there rather than wrap round.
template <class N>
constexpr N saturatingAdd(N a, N b) {
    return a > std::numeric_limits<N>::max() - b ? std::numeric_limits<N>::max() : a + b;
}

// The field rules, in one place.
//
// Fields are separated by a comma or a line end (CR LF, LF alone or CR alone).
// Blanks (space, tab) before a field are skipped. A field that starts with a
// double quote runs to the next double quote, commas and line ends included,
// and loses its quotes; what follows the closing quote up to the separator is
// dropped. An unquoted field runs to the separator and loses its trailing
// blanks. Bytes are taken as they are.
inline bool isSeparator(unsigned char c) { return c == ',' || c == '\r' || c == '\n'; }
inline bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

// Whether the byte at `p` ends a field outside quotes: a comma, an LF, or a CR
// that no LF follows (the LF of a CR LF ends it). `p[1]` must be readable.
inline bool endsField(const unsigned char* p) {
    return p[0] == ',' || p[0] == '\n' || (p[0] == '\r' && p[1] != '\n');
}

// A UTF-8 byte-order mark, which editors such as Notepad may write at the very start of a file:
// the list begins after it. Its length at the start of these `size` bytes: 3, or 0 for none.
inline std::size_t utf8MarkLength(const unsigned char* data, std::size_t size) {
    return size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
}

// Whether these bytes begin as a file saved in UTF-16 does (FF FE or FE FF), which the game refuses:
// read as bytes, no entry of it could be won.
inline bool beginsAsUtf16(const unsigned char* data, std::size_t size) {
    return size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
}

// The refusals of a list, worded once for the game and the checker.
std::string emptyListProblem();
std::string tooManyEntriesProblem(long entry, long line);
std::string tooLongProblem(long entry, long line, std::size_t length);
std::string noWordProblem(long entries);
std::string utf16Problem();

// Reads the fields of a word list one after another, by the rules above.
class FieldReader {
public:
    // Reads `file` through a window of its own.
    FieldReader(std::FILE* file, const char* what, const std::string& path);

    // Reads the `filled` bytes at `window` first; then, if `file` is given, goes
    // on with it, read into the same `room` bytes.
    FieldReader(unsigned char* window, std::size_t room, std::size_t filled, std::FILE* file,
                const char* what, const std::string& path);

    // True when no byte is left: the test made after every read.
    bool atEnd();

    // Reads the next field into `out`, which keeps its first kFieldKept bytes;
    // false when there was no byte left to read.
    bool read(std::string& out);

    static constexpr std::size_t kFieldKept = 64;  // enough to judge and to show any field

    std::size_t fieldLength() const { return length_; }  // the whole last field, kept or not
    long fieldLine() const { return fieldLine_; }        // line where it starts
    bool fieldUnclosed() const { return unclosed_; }     // its opening quote was never closed

private:
    bool fill();
    void keep(std::string& out, const unsigned char* from, const unsigned char* to);
    void skipPastSeparator();
    void finishLineEnd();

    std::vector<unsigned char> own_;
    unsigned char* window_;
    std::size_t room_;
    std::FILE* file_;
    const char* what_;
    std::string path_;
    const unsigned char* pos_;
    const unsigned char* end_;
    bool eof_;
    long line_ = 1;
    long fieldLine_ = 1;
    std::size_t length_ = 0;
    bool unclosed_ = false;
    bool crPending_ = false;  // the last field ended with a CR: an LF next belongs to it
};

// The list as one new game reads it: the file read once into a buffer kept from
// game to game, counted, and its entries picked from what was read.
class WordList {
public:
    // Reads the list at `path` afresh and returns its number of entries N.
    // Refuses, naming the entry, a list that is empty, has more than
    // kMaxEntries entries or an entry longer than kMaxWordLength.
    std::int16_t load(const std::string& path);

    // Entry number `pick` (1..N) of the list loaded last.
    std::string entry(std::int16_t pick);

    // Refuses the list loaded last when none of its entries holds a word.
    void requireWord();

    // The most of a file held at once; a larger one is read through it.
    static constexpr std::size_t kWindow = 2u << 20;
    static constexpr std::size_t kBlock = 240;       // bytes counted at a time: at most 240 ends fit a byte
    static constexpr std::size_t kPad = kBlock + 1;  // room after the bytes read, for the quick count

private:
    bool countQuickly();
    void countExactly(FieldReader& reader);

    std::string path_;
    std::vector<unsigned char> buf_;  // the file (or its first kWindow bytes), then padding
    std::size_t size_ = 0;
    std::int16_t count_ = 0;
    bool quick_ = false;                 // counted without quotes: entries are read from buf_
    std::vector<std::uint32_t> before_;  // quick: field ends before each block of buf_
    std::string store_;                  // otherwise: the entries one after another
    std::vector<std::uint32_t> starts_;  // and where each starts in store_
    int anyWord_ = -1;                   // unknown, no, yes
};

// `entries` x r + 1 rounded to the nearest whole number, ties to even, for the random value
// r = k / 2^24 (k below 2^24), computed exactly in whole numbers: the same pick in every build.
// With entries = N - 1 the result lies in 1..N.
std::int16_t pickIndex(std::int16_t entries, std::uint32_t k);

}  // namespace wordrope
