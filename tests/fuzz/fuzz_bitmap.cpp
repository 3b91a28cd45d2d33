// Fuzzes the bitmap check: whatever it accepts, the pixels it promises lie inside the file, and a
// copy of the size it gives for the header and colours holds all that the system reads of them,
// so that drawing it cannot read past the end of either.
#include "bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::uint32_t u16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t u32(const unsigned char* p) { return u16(p) | (u16(p + 2) << 16); }

// How many bytes of a BITMAPINFO the system reads, as Windows' GDI and Wine's size it: a core
// header and its table of three-byte entries; else the header (at least 40 bytes and, with bit
// fields, their three masks), then biClrUsed entries, at most 256, or 1 << bits at 8 bits or fewer.
std::size_t systemReads(const unsigned char* info) {
    const std::uint32_t size = u32(info);
    if (size == 12) {
        const std::uint32_t bits = u16(info + 10);
        return 12 + (bits <= 8 ? 3u << bits : 0);
    }
    const std::uint32_t bits = u16(info + 14), compression = u32(info + 16), used = u32(info + 32);
    const std::uint32_t colours = used ? std::min<std::uint32_t>(used, 256) : bits <= 8 ? 1u << bits : 0;
    return std::max<std::uint32_t>(size, 40 + (compression == 3 ? 12 : 0)) + 4 * colours;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that the address sanitizer sees any read past it.
    std::vector<unsigned char> file(data, data + size);
    wordrope::Bitmap b;
    if (!wordrope::bitmapProblem(file.data(), file.size(), &b).empty()) return 0;
    if (b.width <= 0 || b.height == 0 || b.bitsOffset > file.size()) std::abort();
    if (b.bitsOffset < file.size()) {
        [[maybe_unused]] volatile unsigned char last = file[file.size() - 1];
    }
    // What the window copies out and hands to the system, read as the system reads it.
    const std::vector<unsigned char> info(file.begin() + 14, file.begin() + 14 + b.infoSize);
    [[maybe_unused]] volatile unsigned char read = info.data()[systemReads(info.data()) - 1];
    return 0;
}
