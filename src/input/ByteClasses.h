#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Byte classes of the "%lf" scan in the "C" locale, for one byte, for eight
// bytes in a word (the first byte lowest) and for a window of 64 bytes.
namespace byteClasses {

// ' ', \t, \n, \v, \f and \r; NUL and every other byte belong to tokens.
[[gnu::always_inline]] inline bool isSpace(unsigned char c)
{
    constexpr std::uint64_t spaces = (std::uint64_t(1) << ' ') | (std::uint64_t(1) << '\t')
        | (std::uint64_t(1) << '\n') | (std::uint64_t(1) << '\v') | (std::uint64_t(1) << '\f')
        | (std::uint64_t(1) << '\r');
    return c <= ' ' && ((spaces >> c) & 1);
}
[[gnu::always_inline]] inline bool isDigit(unsigned char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// How many of the eight bytes in `word` (first byte lowest) are ASCII
// digits before the first that is not.
[[gnu::always_inline]] inline int digitRunLength(std::uint64_t word)
{
    // Each byte becomes its digit value, or 10 and more when it is none;
    // masking bit 7 first keeps the addition from carrying into the next
    // byte.
    const std::uint64_t x = word ^ 0x3030303030303030;
    const std::uint64_t notDigit
        = (((x & 0x7F7F7F7F7F7F7F7F) + 0x7676767676767676) | x) & 0x8080808080808080;
    return std::countr_zero(notDigit) >> 3;
}

// The value of the first `length` digits of `word` (0 to 8; the first
// digit in the lowest byte): they are moved to the top, behind zeros, and
// combined in pairs, quadruples and the whole, one multiplication each.
// Without branches, as run lengths vary from number to number.
[[gnu::always_inline]] inline std::uint64_t valueOfDigits(std::uint64_t word, int length)
{
    const std::uint64_t digits = word ^ 0x3030303030303030;
    std::uint64_t x = length == 0 ? 0 : digits << (64 - 8 * length);
    // Each product adds the upper neighbour times its weight into every
    // lane; the masks keep the lanes that hold the sums.
    x = ((x * (10 * 256 + 1)) >> 8) & 0x00FF00FF00FF00FF;
    x = ((x * (100 * 65536 + 1)) >> 16) & 0x0000FFFF0000FFFF;
    return (x * (10000 * (std::uint64_t(1) << 32) + 1)) >> 32;
}

// Bytes that the token-boundary path classifies in one go.
constexpr std::size_t MASK_WINDOW = 64;

// Bit i set when byte p[i] is white space, for i below MASK_WINDOW.
[[gnu::always_inline]] inline std::uint64_t spaceMask(const char* p)
{
#ifdef __SSE2__
    const auto classify = [](const char* q) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i blank = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
        // \t..\r are 9..13: after subtracting 9, the bytes up to 4.
        const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(4)), shifted);
        return static_cast<std::uint64_t>(
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_or_si128(blank, control))));
    };
    return classify(p) | (classify(p + 16) << 16) | (classify(p + 32) << 32)
        | (classify(p + 48) << 48);
#else
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < MASK_WINDOW; ++i)
        mask |= static_cast<std::uint64_t>(isSpace(static_cast<unsigned char>(p[i]))) << i;
    return mask;
#endif
}

} // namespace byteClasses
