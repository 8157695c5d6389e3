#include "output/FixedFormat.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t POWERS_OF_TEN[FIXED_MAX_PRECISION + 1]
    = { 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000 };

constexpr int MANTISSA_BITS = 52;
constexpr int EXPONENT_BIAS = 1075; // bias 1023 plus the 52 fraction bits

struct DigitPairs {
    char text[200];
    constexpr DigitPairs()
        : text()
    {
        for (int i = 0; i < 100; ++i) {
            text[2 * i] = static_cast<char>('0' + i / 10);
            text[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
constexpr DigitPairs DIGIT_PAIRS;

int decimalDigits(std::uint64_t value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

char* writeInteger(char* out, std::uint64_t value)
{
    if (value < 10) {
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    char* const end = out + decimalDigits(value);
    char* next = end;
    while (value >= 100) {
        next -= 2;
        std::memcpy(next, DIGIT_PAIRS.text + 2 * (value % 100), 2);
        value /= 100;
    }
    if (value >= 10)
        std::memcpy(next - 2, DIGIT_PAIRS.text + 2 * value, 2);
    else
        next[-1] = static_cast<char>('0' + value);
    return end;
}

void writePair(char* out, std::uint32_t value)
{
    std::memcpy(out, DIGIT_PAIRS.text + 2 * value, 2);
}

void writeFour(char* out, std::uint32_t value)
{
    writePair(out, value / 100);
    writePair(out + 2, value % 100);
}

// `count` digits of `value` (< 10^count), leading zeros kept. The two
// export precisions split the value into independent pairs rather than one
// chain of divisions.
char* writeDecimals(char* out, std::uint32_t value, int count)
{
    if (count == 6) {
        writePair(out, value / 10000);
        writeFour(out + 2, value % 10000);
        return out + 6;
    }
    if (count == 9) {
        const std::uint32_t low = value % 100000000;
        *out = static_cast<char>('0' + value / 100000000);
        writeFour(out + 1, low / 10000);
        writeFour(out + 5, low % 10000);
        return out + 9;
    }
    char* const end = out + count;
    char* next = end;
    for (; count >= 2; count -= 2) {
        next -= 2;
        writePair(next, value % 100);
        value /= 100;
    }
    if (count == 1)
        *--next = static_cast<char>('0' + value);
    return end;
}

// Values below 2^53 (exponent below the fraction width): with v = m * 2^-s,
// the integer part is m >> s and the decimals are the remaining s bits
// times 10^precision, rounded once on the exact product.
char* writeSmall(char* out, std::uint64_t mantissa, int shift, int precision)
{
    std::uint64_t integer = shift < 64 ? mantissa >> shift : 0;
    const std::uint64_t fractionBits
        = shift < 64 ? mantissa & ((std::uint64_t { 1 } << shift) - 1) : mantissa;
    std::uint64_t rounded = 0;
    bool roundUp = false;
    // The parity of the last decimal is the parity of the whole scaled
    // value, as 10^precision is even (or 1, where the integer decides).
    auto odd = [&] { return precision == 0 ? (integer & 1) != 0 : (rounded & 1) != 0; };
    if (shift <= 64) {
        // The fraction as 64 bits after the point, exactly: the decimals
        // are the product's upper half, the lower half what is rounded off.
        const std::uint64_t fraction = shift == 64 ? fractionBits : fractionBits << (64 - shift);
        const unsigned __int128 product
            = static_cast<unsigned __int128>(fraction) * POWERS_OF_TEN[precision];
        rounded = static_cast<std::uint64_t>(product >> 64);
        const std::uint64_t remainder = static_cast<std::uint64_t>(product);
        constexpr std::uint64_t half = std::uint64_t { 1 } << 63;
        roundUp = remainder > half || (remainder == half && odd());
    } else if (shift < 84) {
        // fractionBits * 10^precision < 2^83: from a shift of 84 on it is
        // below one half and rounds to zero.
        const unsigned __int128 product
            = static_cast<unsigned __int128>(fractionBits) * POWERS_OF_TEN[precision];
        const unsigned __int128 quotient = product >> shift;
        const unsigned __int128 remainder = product - (quotient << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        rounded = static_cast<std::uint64_t>(quotient);
        roundUp = remainder > half || (remainder == half && odd());
    }
    if (roundUp && ++rounded == POWERS_OF_TEN[precision]) {
        ++integer;
        rounded = 0;
    }
    const std::uint32_t decimals = static_cast<std::uint32_t>(rounded);
    out = writeInteger(out, integer);
    if (precision == 0)
        return out;
    *out++ = '.';
    return writeDecimals(out, decimals, precision);
}

char* writeUnpadded(char* out, double value, int precision)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> MANTISSA_BITS) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t { 1 } << MANTISSA_BITS) - 1);
    if (biased == 0x7ff) {
        if (negative)
            *out++ = '-';
        std::memcpy(out, fraction == 0 ? "inf" : "nan", 3);
        return out + 3;
    }
    if (negative)
        *out++ = '-';
    if (biased >= EXPONENT_BIAS) {
        // 2^53 and above: rare, left to the library's exact conversion.
        const double magnitude = negative ? -value : value;
        return std::to_chars(
            out, out + FIXED_MAX_LENGTH - 1, magnitude, std::chars_format::fixed, precision)
            .ptr;
    }
    const std::uint64_t mantissa
        = biased == 0 ? fraction : fraction | (std::uint64_t { 1 } << MANTISSA_BITS);
    const int shift = EXPONENT_BIAS - (biased == 0 ? 1 : biased);
    return writeSmall(out, mantissa, shift, precision);
}

} // namespace

char* formatFixed(char* out, double value, int precision, int width)
{
    char* const end = writeUnpadded(out, value, precision);
    const int length = static_cast<int>(end - out);
    if (length >= width)
        return end;
    const std::size_t padding = static_cast<std::size_t>(width - length);
    std::memmove(out + padding, out, static_cast<std::size_t>(length));
    std::memset(out, ' ', padding);
    return out + width;
}
