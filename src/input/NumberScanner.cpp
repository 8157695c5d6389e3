#include "input/NumberScanner.h"

#include "core/CFormat.h"
#include "input/SlowNumberScan.h"

#include <cstdint>
#include <cstring>

namespace {

// A number of the usual shape is far shorter; a token still running at the
// end of this window is left to the slow scan, which follows it across
// refills.
constexpr std::size_t FAST_WINDOW = 128;
// Up to 19 decimal digits fit in 64 bits.
constexpr int MAX_FAST_DIGITS = 19;
// Exponents beyond this go to the slow scan, which bounds them correctly.
constexpr std::int64_t MAX_FAST_EXPONENT = 100000;
// Tokens up to this length are converted by the C library from a copy.
constexpr std::size_t MAX_COPIED_TOKEN = 512;

bool isSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(unsigned char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}

// The powers of ten that a double holds exactly.
constexpr double EXACT_POWERS_OF_TEN[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
    1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

bool skipSpace(ByteStream& stream)
{
    for (;;) {
        const char* p = stream.cursor();
        const char* const end = stream.limit();
        while (p < end && isSpace(static_cast<unsigned char>(*p)))
            ++p;
        stream.moveTo(p);
        if (p < end)
            return true;
        if (stream.ensure(1) == 0)
            return false;
    }
}

// A decimal number in its common form, lying wholly in memory: optional
// sign, digits with an optional point, an optional complete exponent.
struct ShortNumber {
    const char* end = nullptr;
    std::uint64_t digits = 0;
    int significantDigits = 0;
    std::int64_t exponent = 0;
    bool negative = false;
};

// Scans [p, limit) for a ShortNumber, taking as many bytes as "%lf" would.
// Returns false whenever the general scan must decide: no digit, a
// hexadecimal prefix, an incomplete exponent ("1e" converts as 1 with the
// 'e' consumed), a huge exponent, or a token that may go on past `limit`.
// Digits beyond the 19th are only counted.
bool scanShortNumber(const char* p, const char* const limit, bool drained, ShortNumber& number)
{
    if (p < limit && (*p == '-' || *p == '+')) {
        number.negative = *p == '-';
        ++p;
    }
    if (p + 1 < limit && p[0] == '0' && (p[1] | 0x20) == 'x')
        return false;
    bool anyDigit = false;
    std::uint64_t digits = 0;
    int significant = 0;
    std::int64_t exponent = 0;
    for (; p < limit && isDigit(static_cast<unsigned char>(*p)); ++p) {
        anyDigit = true;
        if (digits != 0 || *p != '0') {
            if (++significant <= MAX_FAST_DIGITS)
                digits = digits * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    if (p < limit && *p == '.') {
        for (++p; p < limit && isDigit(static_cast<unsigned char>(*p)); ++p) {
            anyDigit = true;
            --exponent;
            if (digits != 0 || *p != '0') {
                if (++significant <= MAX_FAST_DIGITS)
                    digits = digits * 10 + static_cast<unsigned>(*p - '0');
            }
        }
    }
    if (!anyDigit)
        return false;
    if (p < limit && (*p | 0x20) == 'e') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < limit && (*q == '-' || *q == '+')) {
            negativeExponent = *q == '-';
            ++q;
        }
        if (q == limit || !isDigit(static_cast<unsigned char>(*q)))
            return false;
        std::int64_t written = 0;
        for (; q < limit && isDigit(static_cast<unsigned char>(*q)); ++q) {
            written = written * 10 + (*q - '0');
            if (written > MAX_FAST_EXPONENT)
                return false;
        }
        exponent += negativeExponent ? -written : written;
        p = q;
    }
    if (p == limit && !drained)
        return false;
    number.end = p;
    number.digits = digits;
    number.significantDigits = significant;
    number.exponent = exponent;
    return true;
}

// The value of a ShortNumber exactly as strtod rounds it: a single
// correctly rounded operation on exact operands when the digits fit in the
// significand and the power of ten is exact, else the C library's
// conversion of a copy of the token.
bool convertShortNumber(const char* start, const ShortNumber& number, double& value)
{
    if (number.significantDigits <= MAX_FAST_DIGITS) {
        if (number.digits == 0) {
            value = number.negative ? -0.0 : 0.0;
            return true;
        }
        constexpr std::uint64_t exactLimit = std::uint64_t(1) << 53;
        if (number.digits <= exactLimit && number.exponent >= -22 && number.exponent <= 22) {
            const double digits = static_cast<double>(number.digits);
            const double result = number.exponent < 0
                ? digits / EXACT_POWERS_OF_TEN[-number.exponent]
                : digits * EXACT_POWERS_OF_TEN[number.exponent];
            value = number.negative ? -result : result;
            return true;
        }
    }
    const auto length = static_cast<std::size_t>(number.end - start);
    if (length > MAX_COPIED_TOKEN)
        return false;
    char copy[MAX_COPIED_TOKEN + 1];
    std::memcpy(copy, start, length);
    copy[length] = '\0';
    value = strtodC(copy, nullptr);
    return true;
}

} // namespace

bool skipToken(ByteStream& stream)
{
    if (!skipSpace(stream))
        return false;
    for (;;) {
        const char* p = stream.cursor();
        const char* const end = stream.limit();
        while (p < end && !isSpace(static_cast<unsigned char>(*p)))
            ++p;
        stream.moveTo(p);
        if (p < end || stream.ensure(1) == 0)
            return true;
    }
}

bool readNumber(ByteStream& stream, double& value)
{
    if (!skipSpace(stream))
        return false;
    stream.ensure(FAST_WINDOW);
    const char* const start = stream.cursor();
    ShortNumber number;
    if (scanShortNumber(start, stream.limit(), stream.drained(), number)
        && convertShortNumber(start, number, value)) {
        stream.moveTo(number.end);
        return true;
    }
    return scanNumberSlowly(stream, &value);
}

bool skipNumber(ByteStream& stream)
{
    if (!skipSpace(stream))
        return false;
    stream.ensure(FAST_WINDOW);
    ShortNumber number;
    if (scanShortNumber(stream.cursor(), stream.limit(), stream.drained(), number)) {
        stream.moveTo(number.end);
        return true;
    }
    return scanNumberSlowly(stream, nullptr);
}
