// Classifying 32 bytes of a word list at once, for the fast paths of the reader.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wordrope {

// One bit per byte, bit i for byte i.
struct Block {
    std::uint32_t sep = 0;  // ',' CR LF
    std::uint32_t cr = 0;
    std::uint32_t lf = 0;
    std::uint32_t quote = 0;  // '"'
    std::uint32_t text = 0;   // anything but a separator or a blank
};

inline constexpr std::size_t kBlock = 32;

#if defined(__SSE2__)
namespace detail {
inline Block classify16(const unsigned char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto eq = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    const auto bits = [](__m128i m) { return static_cast<std::uint32_t>(_mm_movemask_epi8(m)); };
    const __m128i cr = eq('\r'), lf = eq('\n');
    const __m128i sep = _mm_or_si128(eq(','), _mm_or_si128(cr, lf));
    const __m128i blank = _mm_or_si128(eq(' '), eq('\t'));
    Block b;
    b.sep = bits(sep);
    b.cr = bits(cr);
    b.lf = bits(lf);
    b.quote = bits(eq('"'));
    b.text = ~bits(_mm_or_si128(sep, blank)) & 0xFFFFu;
    return b;
}
}  // namespace detail
#endif

// Classifies `n` bytes at `p` (n <= 32); bits past n stay clear.
inline Block classify(const unsigned char* p, std::size_t n) {
#if defined(__SSE2__)
    if (n == kBlock) {
        const Block lo = detail::classify16(p), hi = detail::classify16(p + 16);
        return Block{lo.sep | hi.sep << 16, lo.cr | hi.cr << 16, lo.lf | hi.lf << 16,
                     lo.quote | hi.quote << 16, lo.text | hi.text << 16};
    }
#endif
    Block b;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t bit = 1u << i;
        switch (p[i]) {
            case '\r':
                b.cr |= bit;
                b.sep |= bit;
                break;
            case '\n':
                b.lf |= bit;
                b.sep |= bit;
                break;
            case ',':
                b.sep |= bit;
                break;
            case '"':
                b.quote |= bit;
                b.text |= bit;
                break;
            case ' ':
            case '\t':
                break;
            default:
                b.text |= bit;
        }
    }
    return b;
}

// Set bits of a mask. Without a popcount instruction (baseline x86 has none)
// this stays inline and free of branches.
inline int bitCount(std::uint32_t x) {
    x = x - ((x >> 1) & 0x55555555u);
    x = (x & 0x33333333u) + ((x >> 2) & 0x33333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0Fu;
    return static_cast<int>((x * 0x01010101u) >> 24);
}

// A chunk of 512 bytes at once, for counting fields where no quote is about.
inline constexpr std::size_t kChunk = 512;

struct ChunkTally {
    long ends = 0;       // separators that end a field (an LF after a CR belongs to it)
    bool quote = false;  // a '"' somewhere
    bool gap = false;    // an aligned 16 bytes without a separator
    bool text = false;   // a byte that is neither a separator nor a blank
};

// The separators that start a new field: an LF right after a CR belongs to it.
inline std::uint32_t fieldEnds(const Block& b, bool crBefore) {
    const std::uint32_t lfAfterCr = b.lf & ((b.cr << 1) | (crBefore ? 1u : 0u));
    return b.sep & ~lfAfterCr;
}

// Counts the ends and looks for quotes; on demand also for gaps and text.
#if defined(__SSE2__)
template <bool Gaps, bool Text>
inline ChunkTally tallyChunk(const unsigned char* p, bool crBefore) {
    const auto splat = [](char c) { return _mm_set1_epi8(c); };
    const __m128i comma = splat(','), cr = splat('\r'), lf = splat('\n'), quote = splat('"');
    const __m128i space = splat(' '), tab = splat('\t');
    __m128i counts = _mm_setzero_si128();  // per byte lane: at most 32 ends
    __m128i quotes = _mm_setzero_si128(), text = _mm_setzero_si128();
    __m128i prevCr = crBefore ? _mm_set1_epi8(-1) : _mm_setzero_si128();
    int gaps = 0;
    for (std::size_t i = 0; i < kChunk; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i isCr = _mm_cmpeq_epi8(v, cr), isLf = _mm_cmpeq_epi8(v, lf);
        const __m128i sep = _mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_or_si128(isCr, isLf));
        const __m128i crLeft = _mm_or_si128(_mm_slli_si128(isCr, 1), _mm_srli_si128(prevCr, 15));
        const __m128i lfAfterCr = _mm_and_si128(isLf, crLeft);
        counts = _mm_add_epi8(_mm_sub_epi8(counts, sep), lfAfterCr);  // a match is -1
        quotes = _mm_or_si128(quotes, _mm_cmpeq_epi8(v, quote));
        if constexpr (Text) {
            const __m128i blank = _mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab));
            text = _mm_or_si128(text, _mm_andnot_si128(_mm_or_si128(sep, blank), _mm_set1_epi8(-1)));
        }
        if constexpr (Gaps) gaps |= _mm_movemask_epi8(sep) == 0;
        prevCr = isCr;
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    ChunkTally t;
    t.ends = _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    t.quote = _mm_movemask_epi8(quotes) != 0;
    t.gap = gaps != 0;
    t.text = _mm_movemask_epi8(text) != 0;
    return t;
}
#else
template <bool Gaps, bool Text>
inline ChunkTally tallyChunk(const unsigned char* p, bool crBefore) {
    ChunkTally t;
    for (std::size_t i = 0; i < kChunk; i += kBlock) {
        const Block b = classify(p + i, kBlock);
        t.ends += bitCount(fieldEnds(b, crBefore));
        t.quote = t.quote || b.quote;
        t.gap = t.gap || (b.sep & 0xFFFFu) == 0 || (b.sep >> 16) == 0;
        t.text = t.text || b.text;
        crBefore = b.cr >> 31;
    }
    return t;
}
#endif

}  // namespace wordrope
