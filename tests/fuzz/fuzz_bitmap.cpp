// Fuzzes the bitmap check: whatever it accepts, the colour table and the pixels it promises
// lie inside the file, so drawing it cannot read past the end.
#include "bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that the address sanitizer sees any read past it.
    std::vector<unsigned char> file(data, data + size);
    wordrope::Bitmap b;
    if (!wordrope::bitmapProblem(file.data(), file.size(), &b).empty()) return 0;
    const unsigned char* bytes = file.data();
    const std::uint32_t header =
        bytes[14] | (bytes[15] << 8) | (bytes[16] << 16) | (static_cast<std::uint32_t>(bytes[17]) << 24);
    volatile unsigned char touch = bytes[14 + header - 1];  // the whole info header
    if (b.bitsOffset < file.size()) touch = bytes[file.size() - 1];
    (void)touch;
    if (b.width <= 0 || b.height == 0 || b.bitsOffset > file.size()) std::abort();
    return 0;
}
