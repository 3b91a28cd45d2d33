// Checking a bitmap file's headers against its real size before anything draws it.
#include "bitmap.h"

#include "failure.h"
#include "files.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace wordrope {

namespace {

const char* const kWhat = "Stage picture";

std::uint32_t u16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t u32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::int64_t kMaxSide = 32767;
constexpr std::int64_t kMaxPixels = 64ll * 1024 * 1024;  // far beyond any picture of the box

}  // namespace

std::string bitmapProblem(const unsigned char* data, std::size_t size, std::uint64_t fileSize, Bitmap* out) {
    if (fileSize == 0) return "the file is empty, not a picture";
    if (size < kFileHeaderBytes + 12 || data[0] != 'B' || data[1] != 'M')
        return "not a bitmap (.bmp) picture";
    const std::uint32_t declaredSize = u32(data + 2);
    const std::uint32_t bitsOffset = u32(data + 10);
    const std::uint32_t headerSize = u32(data + 14);
    if (declaredSize > fileSize)
        return "the picture is cut short (" + std::to_string(fileSize) + " of " +
               std::to_string(declaredSize) + " bytes)";
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 1024)) return "a bitmap with an unknown header";
    if (kFileHeaderBytes + static_cast<std::uint64_t>(headerSize) > size)
        return "the picture is cut short in its header";

    const unsigned char* h = data + kFileHeaderBytes;
    std::int64_t width, height;
    std::uint32_t planes, bits, compression = 0, colours = 0;
    if (core) {  // its sides are unsigned: a core bitmap is never top-down
        width = u16(h + 4);
        height = u16(h + 6);
        planes = u16(h + 8);
        bits = u16(h + 10);
    } else {
        width = static_cast<std::int32_t>(u32(h + 4));
        height = static_cast<std::int32_t>(u32(h + 8));
        planes = u16(h + 12);
        bits = u16(h + 14);
        compression = u32(h + 16);
        colours = u32(h + 32);
    }
    const std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide || width * rows > kMaxPixels)
        return "a bitmap of an impossible size (" + std::to_string(width) + " x " + std::to_string(height) +
               ")";
    if (planes != 1) return "a bitmap with " + std::to_string(planes) + " planes";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "a bitmap of " + std::to_string(bits) + " bits a pixel";

    if (bits <= 8 && colours > (1u << bits)) return "a bitmap with too many colours";
    const bool rle = compression == 1 || compression == 2;
    if (compression == 3) {
        if (bits != 16 && bits != 32) return "a bitmap whose colour masks do not fit its pixels";
    } else if (rle) {
        if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4) || height < 0)
            return "a bitmap with a broken compression";
    } else if (compression != 0) {
        return "a bitmap compressed in a way that cannot be shown";
    }
    // What the system reads before the pixels, all of which must be in the file: the header; the
    // three masks of BI_BITFIELDS, where a 40-byte header does not hold them; then a colour table
    // of biClrUsed entries (at most 256) at any depth, or of 1 << bits when that is 0 at 8 bits or
    // fewer. The core header's table is always 1 << bits entries of three bytes, at 8 bits or fewer.
    const std::uint64_t entries = core      ? (bits <= 8 ? 1u << bits : 0)
                                  : colours ? std::min<std::uint32_t>(colours, 256)
                                            : (bits <= 8 ? 1u << bits : 0);
    const std::uint64_t masked = compression == 3 ? std::max<std::uint32_t>(headerSize, 40 + 12) : headerSize;
    const std::uint64_t info = masked + entries * (core ? 3 : 4);
    if (kFileHeaderBytes + info > size) return "the picture is cut short in its colour table";

    std::uint64_t image;
    if (rle) {
        image = core ? 0 : u32(h + 20);
        if (image == 0) return "a compressed bitmap without its size";
    } else {
        image = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4 * static_cast<std::uint64_t>(rows);
    }
    if (bitsOffset < kFileHeaderBytes + headerSize || bitsOffset > fileSize || image > fileSize - bitsOffset)
        return "the picture is cut short (" + std::to_string(fileSize) + " bytes, its pixels need " +
               std::to_string(std::uint64_t{bitsOffset} + image) + ")";

    if (out) {
        out->infoSize = static_cast<std::size_t>(info);
        out->bitsOffset = bitsOffset;
        out->bitsSize = image;
        out->width = static_cast<int>(width);
        out->height = static_cast<int>(height);
    }
    return "";
}

Bitmap readBitmapFile(const std::string& path) {
    File f = openForReading(kWhat, path);
    const std::uint64_t size = fileSize(f.get(), kWhat, path);
    Bitmap bmp;
    bmp.path = path;
    // The headers and colours, all within the file's first bytes; whatever follows the pixels is
    // never read, nor whatever lies between them and the colours.
    std::vector<unsigned char> head(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kBitmapHeadBytes)));
    if (readSome(f.get(), head.data(), head.size(), kWhat, path) != head.size())
        throw fileFailure(kWhat, path, "the file changed while it was read");
    const std::string problem = bitmapProblem(head.data(), head.size(), size, &bmp);
    if (!problem.empty()) throw fileFailure(kWhat, path, problem);
    bmp.info.assign(head.begin() + kFileHeaderBytes,
                    head.begin() + static_cast<std::ptrdiff_t>(kFileHeaderBytes + bmp.infoSize));
    try {  // at most 4 GiB, which a size_t holds
        bmp.pixels.resize(static_cast<std::size_t>(bmp.bitsSize));
    } catch (const std::exception&) {  // whatever the library says of it: bad_alloc, length_error
        throw fileFailure(kWhat, path,
                          "the picture is too large to be held in memory (" + std::to_string(bmp.bitsSize) +
                              " bytes of pixels)");
    }
    seekTo(f.get(), bmp.bitsOffset, kWhat, path);
    if (readSome(f.get(), bmp.pixels.data(), bmp.pixels.size(), kWhat, path) != bmp.pixels.size())
        throw fileFailure(kWhat, path, "the file changed while it was read");
    return bmp;
}

}  // namespace wordrope
