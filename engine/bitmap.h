// Bitmap files: reading one and checking, against its real size, that it can be shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wordrope {

// A bitmap file in memory whose headers have been checked against its size.
struct Bitmap {
    std::vector<unsigned char> bytes;  // the file up to the end of its pixels
    std::string path;                  // where it was read from, for a failure to name
    std::size_t infoSize = 0;          // what the system reads as the BITMAPINFO after the file
                                       // header: info header, masks, colours
    std::size_t bitsOffset = 0;        // the pixels start here
    std::size_t bitsSize = 0;          // and take this many bytes
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
};

// The file header's size: the info header follows it.
inline constexpr std::size_t kFileHeaderBytes = 14;

// Every header and colour table the check reads lies within this many bytes of a file's start.
inline constexpr std::size_t kBitmapHeadBytes = 4096;

// What is wrong with a bitmap file of `fileSize` bytes, whose first `size` bytes are at `data`
// (the whole file, or at least its first kBitmapHeadBytes), or "" when nothing is.
// On success fills `out` (but not its bytes).
std::string bitmapProblem(const unsigned char* data, std::size_t size, std::uint64_t fileSize, Bitmap* out);
inline std::string bitmapProblem(const unsigned char* data, std::size_t size, Bitmap* out) {
    return bitmapProblem(data, size, size, out);
}

// Reads and checks the bitmap file at `path`: its headers first, then only the pixels they name,
// however large the file; throws Failure naming the file.
Bitmap readBitmapFile(const std::string& path);

}  // namespace wordrope
