// Fuzzes the bitmap check against the rules of the format, read here as the system reads a file
// it draws: whatever the check accepts, every pixel row the header names ends inside the file,
// and a copy of exactly the size the check gives for the header and colours holds every field and
// colour the system reads from it. Each read goes through a cursor over a copy of exactly the
// bytes it may read, so that the address sanitizer stops any read past them.
#include "bitmap.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Reads little-endian fields one after another, and nothing beyond `end`.
class Cursor {
public:
    Cursor(const unsigned char* at, const unsigned char* end) : at_(at), end_(end) {}
    std::uint32_t take(int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            if (at_ >= end_) std::abort();  // the format needs a byte the copy does not have
            v |= static_cast<std::uint32_t>(*at_++) << (8 * i);
        }
        return v;
    }
    void skip(std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) take(1);
    }

private:
    const unsigned char* at_;
    const unsigned char* end_;
};

// The BITMAPINFO as the system walks it: the header's fields in their order, the three masks that
// follow a 40-byte header with bit fields, then the colour table, entry by entry: as many as
// biClrUsed says (at most 256), or as the depth allows at 8 bits or fewer when it says none; a
// core header's table of three-byte entries always as the depth allows.
void walkInfo(Cursor c) {
    const std::uint32_t size = c.take(4);
    if (size == 12) {
        c.skip(4);  // width and height, 16 bits each
        c.take(2);  // planes
        const std::uint32_t bits = c.take(2);
        for (std::uint32_t i = 0; bits <= 8 && i < (1u << bits); ++i) c.skip(3);
        return;
    }
    c.skip(8);  // width, height
    c.take(2);  // planes
    const std::uint32_t bits = c.take(2), compression = c.take(4);
    c.skip(12);  // image size, resolution
    const std::uint32_t used = c.take(4);
    c.skip(4);          // important colours
    c.skip(size - 40);  // the rest of a larger header: masks, colour space
    if (compression == 3 && size == 40) c.skip(12);
    std::uint32_t entries = used > 256 ? 256 : used;
    if (used == 0 && bits <= 8) entries = 1u << bits;
    for (std::uint32_t i = 0; i < entries; ++i) c.take(4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    wordrope::Bitmap b;
    if (!wordrope::bitmapProblem(file.data(), file.size(), &b).empty()) return 0;
    if (b.width <= 0 || b.height == 0 || 14 + b.infoSize > file.size()) std::abort();

    // The pixels: rows of whole 32-bit words from the offset the file header gives; a compressed
    // picture's bytes as many as its header says.
    Cursor header(file.data() + 14, file.data() + file.size());
    const bool core = header.take(4) == 12;
    std::uint64_t rows, bits, compression = 0, image = 0;
    if (core) {
        header.skip(2);
        rows = header.take(2);  // unsigned, as Windows reads it
        header.take(2);
        bits = header.take(2);
    } else {
        header.skip(4);
        const auto height = static_cast<std::int32_t>(header.take(4));
        rows = height < 0 ? 0ull - static_cast<std::int64_t>(height) : static_cast<std::uint64_t>(height);
        header.take(2);
        bits = header.take(2);
        compression = header.take(4);
        image = header.take(4);
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(b.width) * bits + 31) / 32 * 4;
    const std::uint64_t pixels = compression == 1 || compression == 2 ? image : stride * rows;
    const std::uint64_t offset = file[10] | file[11] << 8 | file[12] << 16 | std::uint64_t{file[13]} << 24;
    if (offset != b.bitsOffset || pixels == 0 || offset + pixels > file.size()) std::abort();
    [[maybe_unused]] volatile unsigned char lastPixel = file[offset + pixels - 1];

    // What the window copies out and hands to the system, read as the system reads it.
    const std::vector<unsigned char> info(file.begin() + 14,
                                          file.begin() + 14 + static_cast<long>(b.infoSize));
    walkInfo(Cursor(info.data(), info.data() + info.size()));
    return 0;
}
