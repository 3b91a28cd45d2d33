// Bitmap files: reading one and checking, against its real size, that it can be shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wordrope {

// A bitmap file in memory whose headers have been checked against its size.
struct Bitmap {
    std::vector<unsigned char> bytes;  // the whole file
    std::string path;                  // where it was read from, for a failure to name
    std::size_t infoOffset = 14;       // the info header (and colour table) start here
    std::size_t infoSize = 0;          // what the system reads as the BITMAPINFO: header, masks, colours
    std::size_t bitsOffset = 0;        // the pixels start here
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
};

// What is wrong with these bytes as a bitmap file, or "" when nothing is.
// On success fills `out` (but not its bytes).
std::string bitmapProblem(const unsigned char* data, std::size_t size, Bitmap* out);

// Reads and checks the bitmap file at `path`; throws Failure naming the file.
Bitmap readBitmapFile(const std::string& path);

}  // namespace wordrope
