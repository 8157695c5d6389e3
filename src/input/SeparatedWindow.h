#pragma once

#include "input/ByteClasses.h"

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <immintrin.h>
#endif

// The marks of a window of MASK_WINDOW bytes of lines with a separator, and
// the changes the cleaner makes one for one, made in the same pass: a
// separator becomes a blank (a tab one stays, being white space to the
// plain scan as the blank is), a decimal comma a point. One function for
// each instruction set, all giving the same marks and bytes; withComment
// and withComma are template arguments, so that a window takes no step it
// does not need.
namespace separatedWindow {

// Bit i for byte i.
struct LineMarks {
    std::uint64_t separators = 0;
    std::uint64_t lineEnds = 0;
    // Bytes up to the blank but line ends and the separator: white space,
    // and control bytes, which only make a field look empty.
    std::uint64_t blanks = 0;
    bool stops = false; // a quote or a comment marker: only the cleaner takes them
};

struct WindowBytes {
    char separator;
    char separatorTo;
    char comment;
};

template <bool withComment, bool withComma>
inline LineMarks changePortable(char* p, const WindowBytes& bytes)
{
    LineMarks marks;
    for (std::size_t i = 0; i < byteClasses::MASK_WINDOW; ++i) {
        const std::uint64_t bit = std::uint64_t(1) << i;
        const char c = p[i];
        const bool separator = c == bytes.separator;
        marks.separators |= separator ? bit : 0;
        marks.lineEnds |= c == '\n' ? bit : 0;
        if (!separator && c != '\n' && static_cast<unsigned char>(c) <= ' ')
            marks.blanks |= bit;
        marks.stops = marks.stops || c == '"' || (withComment && c == bytes.comment);
        if (separator)
            p[i] = bytes.separatorTo;
        else if (withComma && c == ',')
            p[i] = '.';
    }
    return marks;
}

#ifdef __SSE2__

// The 16-byte (SSE2) and 32-byte (AVX2) forms differ only in their
// instructions: each part of the window gives its bytes' masks, and the
// blanks are those of the bytes up to the blank that no other mark takes.
template <bool withComment, bool withComma>
inline LineMarks changeSse2(char* p, const WindowBytes& bytes)
{
    const auto mask = [](__m128i set) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(set)));
    };
    std::uint64_t upToBlank = 0;
    LineMarks marks;
    __m128i stops = _mm_setzero_si128();
    for (int part = 0; part < 4; ++part) {
        auto* const at = reinterpret_cast<__m128i*>(p + 16 * part);
        const __m128i in = _mm_loadu_si128(at);
        const __m128i space = _mm_cmpeq_epi8(_mm_min_epu8(in, _mm_set1_epi8(' ')), in);
        const __m128i separator = _mm_cmpeq_epi8(in, _mm_set1_epi8(bytes.separator));
        stops = _mm_or_si128(stops, _mm_cmpeq_epi8(in, _mm_set1_epi8('"')));
        if constexpr (withComment)
            stops = _mm_or_si128(stops, _mm_cmpeq_epi8(in, _mm_set1_epi8(bytes.comment)));
        __m128i out = _mm_xor_si128(in,
            _mm_and_si128(
                separator, _mm_set1_epi8(static_cast<char>(bytes.separator ^ bytes.separatorTo))));
        if constexpr (withComma) {
            const __m128i comma = _mm_cmpeq_epi8(in, _mm_set1_epi8(','));
            out = _mm_xor_si128(out, _mm_and_si128(comma, _mm_set1_epi8(',' ^ '.')));
        }
        _mm_storeu_si128(at, out);
        const int shift = 16 * part;
        upToBlank |= mask(space) << shift;
        marks.separators |= mask(separator) << shift;
        marks.lineEnds |= mask(_mm_cmpeq_epi8(in, _mm_set1_epi8('\n'))) << shift;
    }
    marks.blanks = upToBlank & ~(marks.separators | marks.lineEnds);
    marks.stops = _mm_movemask_epi8(stops) != 0;
    return marks;
}

[[gnu::target("avx2")]] inline std::uint64_t maskAvx2(__m256i set)
{
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(set)));
}

template <bool withComment, bool withComma>
[[gnu::target("avx2")]] inline LineMarks changeAvx2(char* p, const WindowBytes& bytes)
{
    std::uint64_t upToBlank = 0;
    LineMarks marks;
    __m256i stops = _mm256_setzero_si256();
    for (int part = 0; part < 2; ++part) {
        auto* const at = reinterpret_cast<__m256i*>(p + 32 * part);
        const __m256i in = _mm256_loadu_si256(at);
        const __m256i space = _mm256_cmpeq_epi8(_mm256_min_epu8(in, _mm256_set1_epi8(' ')), in);
        const __m256i separator = _mm256_cmpeq_epi8(in, _mm256_set1_epi8(bytes.separator));
        stops = _mm256_or_si256(stops, _mm256_cmpeq_epi8(in, _mm256_set1_epi8('"')));
        if constexpr (withComment)
            stops = _mm256_or_si256(stops, _mm256_cmpeq_epi8(in, _mm256_set1_epi8(bytes.comment)));
        __m256i out = _mm256_xor_si256(in,
            _mm256_and_si256(separator,
                _mm256_set1_epi8(static_cast<char>(bytes.separator ^ bytes.separatorTo))));
        if constexpr (withComma) {
            const __m256i comma = _mm256_cmpeq_epi8(in, _mm256_set1_epi8(','));
            out = _mm256_xor_si256(out, _mm256_and_si256(comma, _mm256_set1_epi8(',' ^ '.')));
        }
        _mm256_storeu_si256(at, out);
        const int shift = 32 * part;
        upToBlank |= maskAvx2(space) << shift;
        marks.separators |= maskAvx2(separator) << shift;
        marks.lineEnds |= maskAvx2(_mm256_cmpeq_epi8(in, _mm256_set1_epi8('\n'))) << shift;
    }
    marks.blanks = upToBlank & ~(marks.separators | marks.lineEnds);
    marks.stops = !_mm256_testz_si256(stops, stops);
    return marks;
}

#endif

} // namespace separatedWindow
