#include "input/SlowNumberScan.h"

#include "core/CFormat.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace {

// A midpoint between two doubles has at most 767 significant decimal
// digits, so the first 800 digits plus one sticky digit for a non-zero rest
// round exactly as the whole string does, however long it is.
constexpr int MAX_DECIMAL_DIGITS = 800;
// 128 bits of a hexadecimal significand are far more than 53 plus guard.
constexpr int MAX_HEX_DIGITS = 32;
// Exponent digits stop counting here; no file holds enough digits for the
// point shift to bring such an exponent back into range.
constexpr std::int64_t EXPONENT_SATURATION = 100000000000000000; // 1e17
// Beyond this the value over- or underflows anyway, also in binary units.
constexpr std::int64_t EXPONENT_BOUND = 100000;

int lower(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}
bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool isHexDigit(int c)
{
    return isDigit(c) || (lower(c) >= 'a' && lower(c) <= 'f');
}

// The significant digits of the number scanned so far: leading zeros
// dropped, the first ones kept, the rest folded into a sticky mark.
struct Significand {
    char digits[MAX_DECIMAL_DIGITS];
    int maxKept = MAX_DECIMAL_DIGITS;
    int kept = 0;
    bool sticky = false;
    bool anyDigit = false;
    // Value = 0.digits * base^pointShift.
    std::int64_t pointShift = 0;

    void add(char digit, bool inFraction)
    {
        anyDigit = true;
        if (kept == 0 && digit == '0') {
            if (inFraction)
                --pointShift;
            return;
        }
        if (kept < maxKept)
            digits[kept++] = digit;
        else if (digit != '0')
            sticky = true;
        if (!inFraction)
            ++pointShift;
    }
};

// Matches the rest of a word such as "nan" case-insensitively; glibc fails
// the conversion on the first byte that differs.
bool matchWord(ByteStream& stream, const char* rest)
{
    for (; *rest; ++rest) {
        if (lower(stream.peek()) != *rest)
            return false;
        stream.advance();
    }
    return true;
}

double special(const char* word, bool negative)
{
    const double v = strtodC(word, nullptr);
    return negative ? -v : v;
}

double convert(const Significand& s, bool negative, bool hex, std::int64_t exponent)
{
    if (s.kept == 0)
        return negative ? -0.0 : 0.0;
    char text[MAX_DECIMAL_DIGITS + 48];
    char* out = text;
    if (negative)
        *out++ = '-';
    if (hex) {
        *out++ = '0';
        *out++ = 'x';
    }
    *out++ = '0';
    *out++ = '.';
    out = std::copy(s.digits, s.digits + s.kept, out);
    if (s.sticky)
        *out++ = '1';
    *out++ = hex ? 'p' : 'e';
    // Clamp only the sum: a megabyte of digits and an exponent of the same
    // size may cancel to an ordinary number.
    const std::int64_t shift = std::clamp(s.pointShift, -EXPONENT_SATURATION, EXPONENT_SATURATION);
    const std::int64_t total
        = std::clamp((hex ? 4 * shift : shift) + exponent, -EXPONENT_BOUND, EXPONENT_BOUND);
    out = std::to_chars(out, text + sizeof text - 1, total).ptr;
    *out = '\0';
    return strtodC(text, nullptr);
}

} // namespace

bool scanNumberSlowly(ByteStream& stream, double* value)
{
    int c = stream.peek();
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        stream.advance();
        c = stream.peek();
        if (c < 0)
            return false;
    }

    // glibc takes "nan" without any "(...)" part, and "inf" or "infinity";
    // a word cut short fails the conversion.
    if (lower(c) == 'n') {
        stream.advance();
        if (!matchWord(stream, "an"))
            return false;
        if (value)
            *value = special("nan", negative);
        return true;
    }
    if (lower(c) == 'i') {
        stream.advance();
        if (!matchWord(stream, "nf"))
            return false;
        if (lower(stream.peek()) == 'i') {
            stream.advance();
            if (!matchWord(stream, "nity"))
                return false;
        }
        if (value)
            *value = special("inf", negative);
        return true;
    }

    Significand significand;
    bool hex = false;
    if (c == '0') {
        stream.advance();
        c = stream.peek();
        if (lower(c) == 'x') {
            hex = true;
            significand.maxKept = MAX_HEX_DIGITS;
            stream.advance();
            c = stream.peek();
        } else {
            significand.add('0', false);
        }
    }

    const int exponentChar = hex ? 'p' : 'e';
    bool gotDot = false;
    bool gotExponent = false;
    bool afterExponentChar = false;
    bool exponentNegative = false;
    std::int64_t exponent = 0;
    for (;; stream.advance(), c = stream.peek()) {
        if (isDigit(c) && gotExponent) {
            if (exponent < EXPONENT_SATURATION)
                exponent = exponent * 10 + (c - '0');
            afterExponentChar = false;
        } else if (isDigit(c) || (hex && !gotExponent && isHexDigit(c))) {
            significand.add(static_cast<char>(c), gotDot);
        } else if (afterExponentChar && (c == '-' || c == '+')) {
            exponentNegative = c == '-';
            afterExponentChar = false;
        } else if (significand.anyDigit && !gotExponent && lower(c) == exponentChar) {
            gotExponent = gotDot = afterExponentChar = true;
        } else if (c == '.' && !gotDot) {
            gotDot = true;
        } else {
            break;
        }
    }

    // strtod then takes the longest valid prefix of what was consumed: "1e+"
    // is 1, and "0x." is the 0 before the x.
    const bool converts = significand.anyDigit || (hex && gotDot);
    if (converts && value)
        *value = convert(significand, negative, hex, exponentNegative ? -exponent : exponent);
    return converts;
}
