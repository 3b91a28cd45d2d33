// Bitmap files: reading one and checking, against its real size, that it can be shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wordrope {

// A bitmap file whose headers have been checked against its size, and what of it is kept: what the
// system reads before the pixels, and the pixels.
struct Bitmap {
    std::vector<unsigned char> info;    // the BITMAPINFO after the file header: info header, masks, colours
    std::vector<unsigned char> pixels;  // the pixels the header names
    std::string path;                   // where it was read from, for a failure to name
    std::size_t infoSize = 0;           // the size of `info`
    std::uint64_t bitsOffset = 0;       // where the pixels start in the file
    std::uint64_t bitsSize = 0;         // and how many bytes they take
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
};

// The file header's size: the info header follows it.
inline constexpr std::size_t kFileHeaderBytes = 14;

// Every header and colour table the check reads lies within this many bytes of a file's start.
inline constexpr std::size_t kBitmapHeadBytes = 4096;

// What is wrong with a bitmap file of `fileSize` bytes, whose first `size` bytes are at `data`
// (the whole file, or at least its first kBitmapHeadBytes), or "" when nothing is. The file is read
// as Windows reads it; every offset and size is added in 64 bits. On success fills `out` (but not
// its info and pixels).
std::string bitmapProblem(const unsigned char* data, std::size_t size, std::uint64_t fileSize, Bitmap* out);
inline std::string bitmapProblem(const unsigned char* data, std::size_t size, Bitmap* out) {
    return bitmapProblem(data, size, size, out);
}

// Reads and checks the bitmap file at `path`: its headers first, then only the pixels they name,
// sought wherever they start, however large the file; throws Failure naming the file, also where
// the pixels are too many to be held in memory.
Bitmap readBitmapFile(const std::string& path);

}  // namespace wordrope
