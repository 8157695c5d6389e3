#include "input/NumberScanner.h"

#include "core/CFormat.h"
#include "input/ByteClasses.h"
#include "input/SlowNumberScan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

using byteClasses::bitCount;
using byteClasses::classifyWindow;
using byteClasses::digitRunLength;
using byteClasses::isDigit;
using byteClasses::isSpace;
using byteClasses::MASK_WINDOW;
using byteClasses::plainNumberEnds;
using byteClasses::spaceMask;
using byteClasses::valueOfDigits;

// A number of the usual shape is far shorter; a token still running at the
// end of this window is left to the slow scan, which follows it across
// refills.
constexpr std::size_t FAST_WINDOW = 128;
// Up to 19 decimal digits fit in 64 bits.
constexpr std::size_t MAX_FAST_DIGITS = 19;
// Exponents beyond this go to the slow scan, which bounds them correctly.
constexpr std::int64_t MAX_FAST_EXPONENT = 100000;
// Tokens up to this length are converted by the C library from a copy.
constexpr std::size_t MAX_COPIED_TOKEN = 512;

// The powers of ten that a double holds exactly.
constexpr double EXACT_POWERS_OF_TEN[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
    1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

bool skipSpace(ByteStream& stream)
{
    for (;;) {
        const char* p = stream.cursor();
        while (isSpace(static_cast<unsigned char>(*p)))
            ++p;
        stream.moveTo(p);
        if (p < stream.limit())
            return true;
        if (stream.ensure(1) == 0)
            return false;
    }
}

constexpr std::uint64_t POWERS_OF_TEN_TO_8[]
    = { 1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000 };

// Takes a run of digits from p into digits (wrapping when it is long; the
// caller counts), eight bytes at a time.
template <bool convert>
[[gnu::always_inline]] inline const char* takeDigits(const char* p, std::uint64_t& digits)
{
    for (;;) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const int length = digitRunLength(word);
        if constexpr (convert)
            digits = digits * POWERS_OF_TEN_TO_8[length] + valueOfDigits(word, length);
        p += length;
        if (length < 8)
            return p;
    }
}

// A decimal number in its common form, lying wholly in memory: optional
// sign, digits with an optional point, an optional complete exponent.
struct ShortNumber {
    const char* end = nullptr;
    std::uint64_t digits = 0;
    bool manyDigits = false; // more than 19 significant digits
    std::int64_t exponent = 0;
    bool negative = false;
};

// Scans from p for a ShortNumber, taking as many bytes as "%lf" would; the
// stream's padding stops every run. Returns false whenever the general scan
// must decide: no digit, a hexadecimal prefix, an incomplete exponent ("1e"
// converts as 1 with the 'e' consumed), a huge exponent, or a token that
// may go on past `limit`.
// Within a whole token (see takeWholeToken) the hexadecimal prefix needs no
// test: the scan then stops at the 'x', short of the token's end.
template <bool convert, bool wholeToken = false>
[[gnu::always_inline]] inline bool scanShortNumber(
    const char* p, const char* const limit, bool drained, ShortNumber& number)
{
    // Signs come at random in a table: no branch on them.
    const char first = *p;
    number.negative = first == '-';
    p += (first == '-') | (first == '+');
    if constexpr (!wholeToken) {
        std::uint16_t prefix;
        std::memcpy(&prefix, p, sizeof prefix);
        if ((prefix | 0x2000) == ('0' | ('x' << 8)))
            return false;
    }
    std::uint64_t digits = 0;
    const char* const integerStart = p;
    p = takeDigits<convert>(p, digits);
    std::size_t digitCount = static_cast<std::size_t>(p - integerStart);
    std::int64_t exponent = 0;
    if (*p == '.') {
        const char* const fractionStart = ++p;
        p = takeDigits<convert>(p, digits);
        exponent = -(p - fractionStart);
        digitCount += static_cast<std::size_t>(p - fractionStart);
    }
    if (digitCount == 0)
        return false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (*q == '-' || *q == '+') {
            negativeExponent = *q == '-';
            ++q;
        }
        if (!isDigit(static_cast<unsigned char>(*q)))
            return false;
        std::int64_t written = 0;
        for (; isDigit(static_cast<unsigned char>(*q)); ++q) {
            written = written * 10 + (*q - '0');
            if (written > MAX_FAST_EXPONENT)
                return false;
        }
        exponent += negativeExponent ? -written : written;
        p = q;
    }
    if (p >= limit && !drained)
        return false;
    if constexpr (convert) {
        if (digitCount > MAX_FAST_DIGITS) {
            // Leading zeros are no significant digits.
            for (const char* z = integerStart; z < p && (*z == '0' || *z == '.'); ++z)
                digitCount -= *z == '0';
            number.manyDigits = digitCount > MAX_FAST_DIGITS;
        }
    }
    number.end = p;
    number.digits = digits;
    number.exponent = exponent;
    return true;
}

// Tokens the exact short form does not cover, converted by the C library
// from a copy.
[[gnu::noinline]] bool convertCopy(const char* start, const char* end, double& value)
{
    const auto length = static_cast<std::size_t>(end - start);
    if (length > MAX_COPIED_TOKEN)
        return false;
    char copy[MAX_COPIED_TOKEN + 1];
    std::memcpy(copy, start, length);
    copy[length] = '\0';
    value = strtodC(copy, nullptr);
    return true;
}

// The value of a ShortNumber exactly as strtod rounds it: a single
// correctly rounded operation on exact operands when the digits fit in the
// significand and the power of ten is exact, else the C library's
// conversion of a copy of the token.
[[gnu::always_inline]] inline bool convertShortNumber(
    const char* start, const ShortNumber& number, double& value)
{
    constexpr std::uint64_t exactLimit = std::uint64_t(1) << 53;
    if (!number.manyDigits && number.digits <= exactLimit && number.exponent >= -22
        && number.exponent <= 22) {
        // Zero digits give a zero of the token's sign, as strtod does.
        const double digits = static_cast<double>(number.digits);
        const double magnitude = number.exponent < 0
            ? digits / EXACT_POWERS_OF_TEN[-number.exponent]
            : digits * EXACT_POWERS_OF_TEN[number.exponent];
        // The sign as a bit, not a branch: signs come at random.
        value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude)
            | (static_cast<std::uint64_t>(number.negative) << 63));
        return true;
    }
    if (!number.manyDigits && number.digits == 0) {
        value = number.negative ? -0.0 : 0.0;
        return true;
    }
    return convertCopy(start, number.end, value);
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

namespace {

template <bool convert> [[gnu::noinline]] bool scanNumber(ByteStream& stream, double& value)
{
    const char* start = stream.cursor();
    while (isSpace(static_cast<unsigned char>(*start)))
        ++start;
    stream.moveTo(start);
    if (static_cast<std::size_t>(stream.limit() - start) < FAST_WINDOW) {
        if (!skipSpace(stream))
            return false;
        stream.ensure(FAST_WINDOW);
        start = stream.cursor();
    }
    ShortNumber number;
    if (scanShortNumber<convert>(start, stream.limit(), stream.drained(), number)) {
        if constexpr (!convert) {
            stream.moveTo(number.end);
            return true;
        } else if (convertShortNumber(start, number, value)) {
            stream.moveTo(number.end);
            return true;
        }
    }
    return scanNumberSlowly(stream, convert ? &value : nullptr);
}

} // namespace

bool readNumber(ByteStream& stream, double& value)
{
    return scanNumber<true>(stream, value);
}

bool skipNumber(ByteStream& stream)
{
    double unused;
    return scanNumber<false>(stream, unused);
}

namespace {

// White space of the MASK_WINDOW bytes from `base`, kept while the tokens
// of a row go by. Only valid while the buffer is not refilled.
struct SpaceWindow {
    const char* base = nullptr;
    std::uint64_t spaces = 0;
};

// Where the token after the white space at offset `offset` of the window
// starts and how long it is, when both lie within the window.
[[gnu::always_inline]] inline bool findToken(
    std::uint64_t spaces, std::size_t offset, int& start, std::uint32_t& length)
{
    if (offset >= MASK_WINDOW)
        return false;
    // Bytes past the window shift in as non-space: a token running into
    // them shows no end.
    const std::uint64_t ahead = spaces >> offset;
    if (ahead == ~std::uint64_t(0))
        return false;
    start = std::countr_zero(~ahead);
    const std::uint64_t after = ahead >> start;
    if (after == 0)
        return false;
    length = static_cast<std::uint32_t>(std::countr_zero(after));
    return true;
}

// The common case of a table, taken without walking the bytes one after
// another: the token after the white space at p ends in white space within
// the window, and the short scan takes all of it. The next token's
// position then follows from the mask alone, so that the processor can
// start on it while this one is still being converted. Returns false,
// with p unchanged, when the exact scan must decide.
template <bool convert>
[[gnu::always_inline]] inline bool takeWholeToken(
    const char*& p, const char* limit, SpaceWindow& window, double& value)
{
    int start = 0;
    std::uint32_t length = 0;
    if (window.base == nullptr
        || !findToken(window.spaces, static_cast<std::size_t>(p - window.base), start, length)) {
        if (static_cast<std::size_t>(limit - p) < MASK_WINDOW)
            return false;
        window.base = p;
        window.spaces = spaceMask(p);
        if (!findToken(window.spaces, 0, start, length))
            return false;
    }
    const char* const token = p + start;
    ShortNumber number;
    // The lengths are compared in 32 bits (a token in the window is shorter)
    // so that the compiler cannot take the next position from the scan's end
    // instead of the mask, which would chain every token to the last.
    if (!scanShortNumber<convert, true>(token, limit, true, number)
        || static_cast<std::uint32_t>(number.end - token) != length)
        return false;
    if constexpr (convert) {
        if (!convertShortNumber(token, number, value))
            return false;
    }
    p = token + length;
    return true;
}

template <bool convert>
[[gnu::always_inline]] inline bool scanRowNumber(
    ByteStream& stream, const char*& p, SpaceWindow& window, double& value)
{
    if (takeWholeToken<convert>(p, stream.limit(), window, value))
        return true;
    stream.moveTo(p);
    const bool converted = scanNumber<convert>(stream, value);
    p = stream.cursor();
    // The scan may have refilled the buffer.
    window.base = nullptr;
    return converted;
}

// Skips up to `wanted` numbers from p as skipNumber does, and returns how
// many it skipped: fewer when a number does not convert, `before` then
// pointing where the scan of that number began. Where a window starts with
// plain numbers (see plainNumberEnds), they are taken all at once, by
// their byte classes alone.
std::uint64_t skipNumbers(
    ByteStream& stream, const char*& p, std::uint64_t wanted, const char*& before)
{
    SpaceWindow window;
    double unused;
    std::uint64_t done = 0;
    // Where the last window that began with another token ends: the exact
    // scan goes on token by token up to there.
    const char* exactUntil = nullptr;
    while (done < wanted) {
        if (p >= exactUntil && static_cast<std::size_t>(stream.limit() - p) >= MASK_WINDOW) {
            const byteClasses::WindowClasses classes = classifyWindow(p);
            const std::uint64_t lastBytes = ~classes.spaces & (classes.spaces >> 1);
            const std::uint64_t other = lastBytes & ~plainNumberEnds(classes);
            // The plain numbers before the first other token.
            const std::uint64_t plain
                = other == 0 ? lastBytes : lastBytes & ((other & (0 - other)) - 1);
            const auto count = static_cast<std::uint64_t>(bitCount(plain));
            if (count > 0 && count <= wanted - done) {
                done += count;
                p += MASK_WINDOW - static_cast<std::size_t>(std::countl_zero(plain));
                window.base = nullptr;
                continue;
            }
            exactUntil = p + MASK_WINDOW;
        }
        before = p;
        if (!scanRowNumber<false>(stream, p, window, unused))
            return done;
        ++done;
    }
    return done;
}

} // namespace

namespace {

template <typename Value>
std::uint64_t readColumnAs(
    ByteStream& stream, int columns, int kept, std::uint64_t count, Value* out)
{
    const char* p = stream.cursor();
    SpaceWindow window;
    double value = 0.0;
    double unused;
    for (std::uint64_t stored = 0; stored < count; ++stored) {
        for (int j = 1; j <= columns; ++j) {
            const bool converted = j == kept ? scanRowNumber<true>(stream, p, window, value)
                                             : scanRowNumber<false>(stream, p, window, unused);
            if (!converted)
                return stored;
        }
        out[stored + 1] = static_cast<Value>(value);
    }
    stream.moveTo(p);
    return count;
}

} // namespace

std::uint64_t readColumn(ByteStream& stream, int columns, int kept, std::uint64_t count, float* out)
{
    return readColumnAs(stream, columns, kept, count, out);
}

std::uint64_t readColumn(
    ByteStream& stream, int columns, int kept, std::uint64_t count, double* out)
{
    return readColumnAs(stream, columns, kept, count, out);
}

std::uint64_t countRows(ByteStream& stream, int columns, std::uint64_t maxRows)
{
    const auto perRow = static_cast<std::uint64_t>(columns);
    // Rows beyond these are never asked for; the product stays in range.
    const std::uint64_t rows = std::min<std::uint64_t>(maxRows, UINT64_MAX / perRow);
    const char* p = stream.cursor();
    const char* before = p;
    const std::uint64_t numbers = skipNumbers(stream, p, rows * perRow, before);
    if (numbers < rows * perRow)
        return numbers / perRow;
    stream.moveTo(p);
    return rows;
}

namespace {

bool onlySpaceBefore(const char* p, const char* limit)
{
    while (p < limit && isSpace(static_cast<unsigned char>(*p)))
        ++p;
    return p == limit;
}

template <typename Value>
StretchScan scanStretchAs(ByteStream& stream, int columns, int position, int kept, Value* out)
{
    StretchScan scan;
    const char* p = stream.cursor();
    SpaceWindow window;
    double value = 0.0;
    double unused;
    // Telling the stretch's end from a failing token needs the position
    // before the scan, which a failing scan may have moved.
    const char* before = p;
    if (out == nullptr) {
        scan.numbers = skipNumbers(stream, p, UINT64_MAX, before);
    } else {
        Value* next = out;
        for (int j = position;; ++scan.numbers) {
            before = p;
            if (j == kept) {
                if (!scanRowNumber<true>(stream, p, window, value))
                    break;
                *next++ = static_cast<Value>(value);
            } else if (!scanRowNumber<false>(stream, p, window, unused)) {
                break;
            }
            j = j + 1 == columns ? 0 : j + 1;
        }
        scan.stored = static_cast<std::uint64_t>(next - out);
    }
    scan.failed = !onlySpaceBefore(before, stream.limit());
    return scan;
}

} // namespace

StretchScan scanStretch(ByteStream& stream, int columns, int position, int kept, float* out)
{
    return scanStretchAs(stream, columns, position, kept, out);
}

StretchScan scanStretch(ByteStream& stream, int columns, int position, int kept, double* out)
{
    return scanStretchAs(stream, columns, position, kept, out);
}
