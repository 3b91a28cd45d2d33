// The word-list file: its field reader, the counting pass, the pick and the reading pass.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace wordrope {

inline constexpr int kMaxEntries = 32766;  // counts and positions are 16-bit
inline constexpr int kMaxWordLength = 40;  // the slots of `letters`

// Reads the fields of a word list one after another.
//
// Fields are separated by a comma or a line end (CR LF, LF alone or CR alone).
// Blanks (space, tab) before a field are skipped. A field that starts with a
// double quote runs to the next double quote, commas and line ends included,
// and loses its quotes; what follows the closing quote up to the separator is
// dropped. An unquoted field runs to the separator and loses its trailing
// blanks. Bytes are taken as they are.
class FieldReader {
public:
    FieldReader(std::FILE* file, const char* what, const std::string& path);

    // True when no byte is left: the test made after every read.
    bool atEnd();

    // Reads the next field into `out`; false when there was no byte left to read.
    bool read(std::string& out);

    // Passes over `n` fields as `n` reads would, much faster; false when the
    // bytes ran out first. Line numbers are not kept past it.
    bool skip(long n);

    long fieldLine() const { return fieldLine_; }     // line where the last field starts
    bool fieldUnclosed() const { return unclosed_; }  // its opening quote was never closed

private:
    bool fill();
    void skipPastSeparator();
    void finishLineEnd();

    std::FILE* file_;
    const char* what_;
    std::string path_;
    const unsigned char* pos_ = nullptr;
    const unsigned char* end_ = nullptr;
    bool eof_ = false;
    long line_ = 1;
    long fieldLine_ = 1;
    bool unclosed_ = false;
    bool crPending_ = false;  // the last field ended with a CR: an LF next belongs to it
    unsigned char buf_[1 << 16];
};

// The counting pass over the list at `path`: returns the number of fields N.
// Refuses, naming the entry, a list that is empty, holds only empty entries,
// has more than kMaxEntries entries or an entry longer than kMaxWordLength.
std::int16_t countEntries(const std::string& path);

// `entries` x r + 1 in single precision, rounded to nearest, ties to even.
// With entries = N - 1 and r in [0, 1) the result lies in 1..N.
std::int16_t pickIndex(std::int16_t entries, float r);

// The reading pass: entry number `pick` (from 1) of the list at `path`.
std::string readEntry(const std::string& path, std::int16_t pick);

}  // namespace wordrope
