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

// Set bits of a word, without the processor's instruction, which the
// baseline x86-64 target lacks (the library's fallback is a call).
[[gnu::always_inline]] inline int bitCount(std::uint64_t x)
{
    x -= (x >> 1) & 0x5555555555555555;
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<int>((x * 0x0101010101010101) >> 56);
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

// The classes of the "%lf" number syntax in a window of MASK_WINDOW bytes,
// bit i for byte p[i].
struct WindowClasses {
    std::uint64_t spaces;
    std::uint64_t digits;
    std::uint64_t points; // '.'
    std::uint64_t exponents; // 'e' and 'E'
    std::uint64_t signs; // '+' and '-'
};

[[gnu::always_inline]] inline WindowClasses classifyWindow(const char* p)
{
    WindowClasses classes {};
#ifdef __SSE2__
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
        const auto mask = [](__m128i set) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(set)));
        };
        const __m128i blank = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
        const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(4)), shifted);
        const __m128i digitValue = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const __m128i digit
            = _mm_cmpeq_epi8(_mm_min_epu8(digitValue, _mm_set1_epi8(9)), digitValue);
        const __m128i exponent
            = _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8('e'));
        const __m128i sign = _mm_or_si128(
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('+')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-')));
        const int shift = 16 * part;
        classes.spaces |= mask(_mm_or_si128(blank, control)) << shift;
        classes.digits |= mask(digit) << shift;
        classes.points |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))) << shift;
        classes.exponents |= mask(exponent) << shift;
        classes.signs |= mask(sign) << shift;
    }
#else
    for (std::size_t i = 0; i < MASK_WINDOW; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        const std::uint64_t bit = std::uint64_t(1) << i;
        classes.spaces |= isSpace(c) ? bit : 0;
        classes.digits |= isDigit(c) ? bit : 0;
        classes.points |= c == '.' ? bit : 0;
        classes.exponents |= (c | 0x20) == 'e' ? bit : 0;
        classes.signs |= c == '+' || c == '-' ? bit : 0;
    }
#endif
    return classes;
}

// x and, within each run of set bits of `runs`, every bit above a bit of x
// (x lies within the runs).
[[gnu::always_inline]] inline std::uint64_t spreadUpInRuns(std::uint64_t x, std::uint64_t runs)
{
    std::uint64_t reach = runs & (runs << 1);
    x |= (x << 1) & reach;
    reach &= reach << 1;
    x |= (x << 2) & reach;
    reach &= reach << 2;
    x |= (x << 4) & reach;
    reach &= reach << 4;
    x |= (x << 8) & reach;
    reach &= reach << 8;
    x |= (x << 16) & reach;
    reach &= reach << 16;
    x |= (x << 32) & reach;
    return x;
}

// The last bytes of the tokens in the window that have the plain decimal
// form [+-]? mantissa ([eE] [+-]? digits)?, the mantissa being digits with
// at most one point beside a digit, and the exponent letter after a digit.
// "%lf" consumes each such token whole, as one number, wherever it lies in
// a row; every other token (hexadecimal, inf and nan, "1e", "1.5.2",
// "1.e5", ...) is left out, for the exact scan. The window starts at a
// token's first byte or at white space.
[[gnu::always_inline]] inline std::uint64_t plainNumberEnds(const WindowClasses& c)
{
    const std::uint64_t tokens = ~c.spaces;
    const std::uint64_t starts = tokens & ((c.spaces << 1) | 1);
    const std::uint64_t digits = c.digits;
    const std::uint64_t afterDigit = digits << 1;
    const std::uint64_t beforeDigit = digits >> 1;
    const std::uint64_t exponentSigns = c.signs & (c.exponents << 1);
    const std::uint64_t afterExponent = spreadUpInRuns((c.exponents << 1) & tokens, tokens);
    const std::uint64_t afterMark
        = spreadUpInRuns(((c.points | c.exponents) << 1) & tokens, tokens);
    const std::uint64_t bad = (tokens & ~(digits | c.points | c.exponents | c.signs))
        | (c.signs & ~(starts | (c.exponents << 1)))
        | (c.signs & starts & ~((digits | c.points) >> 1)) | (exponentSigns & ~beforeDigit)
        | (c.exponents & ~afterDigit) | (c.exponents & ~((digits | c.signs) >> 1))
        | (c.points & ~(afterDigit | beforeDigit)) | (afterExponent & ~(digits | exponentSigns))
        | (c.points & afterMark);
    const std::uint64_t lastBytes = tokens & (c.spaces >> 1);
    return lastBytes & ~spreadUpInRuns(bad, tokens);
}

} // namespace byteClasses
