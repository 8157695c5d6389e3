#include "platform/FieldText.h"

#include "core/CFormat.h"

#include <climits>
#include <cmath>
#include <cstddef>

namespace {

// Number fields are judged on this many characters of their text; the
// field-text tests pin where the cut falls.
constexpr std::size_t NUMBER_FIELD_CHARACTERS = 31;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(const std::string& text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

std::size_t skipDigits(const std::string& text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Blanks, the digits between `begin` and `end`, blanks, and nothing else;
// the digits' value, or false when there are none or they overflow.
bool digitsValue(const std::string& text, std::size_t begin, std::size_t end,
    unsigned long long limit, unsigned long long& value)
{
    if (begin == end || skipBlanks(text, end) != text.size())
        return false;
    unsigned long long result = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

} // namespace

bool parseInteger(const std::string& text, int& value)
{
    std::size_t i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t end = skipDigits(text, i);
    const unsigned long long limit
        = negative ? static_cast<unsigned long long>(INT_MAX) + 1 : INT_MAX;
    unsigned long long magnitude = 0;
    if (!digitsValue(text, i, end, limit, magnitude))
        return false;
    value = negative ? static_cast<int>(-static_cast<long long>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

bool parseUnsigned(const std::string& text, unsigned& value)
{
    std::size_t i = skipBlanks(text, 0);
    if (i < text.size() && text[i] == '+')
        ++i;
    const std::size_t end = skipDigits(text, i);
    unsigned long long result = 0;
    if (!digitsValue(text, i, end, UINT_MAX, result))
        return false;
    value = static_cast<unsigned>(result);
    return true;
}

bool parseNumber(const std::string& fullText, double& value)
{
    const std::string text = fullText.substr(0, NUMBER_FIELD_CHARACTERS);
    const std::size_t start = skipBlanks(text, 0);
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t integerEnd = skipDigits(text, i);
    std::size_t mantissaEnd = integerEnd;
    bool anyDigit = integerEnd > i;
    if (mantissaEnd < text.size() && text[mantissaEnd] == '.') {
        const std::size_t fractionEnd = skipDigits(text, mantissaEnd + 1);
        anyDigit = anyDigit || fractionEnd > mantissaEnd + 1;
        mantissaEnd = fractionEnd;
    }
    if (!anyDigit)
        return false;
    std::size_t end = mantissaEnd;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponentEnd = skipDigits(text, e);
        if (exponentEnd == e)
            return false;
        end = exponentEnd;
    }
    if (skipBlanks(text, end) != text.size())
        return false;

    const std::string number = text.substr(start, end - start);
    char* stop = nullptr;
    const double result = strtodC(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || !std::isfinite(result))
        return false;
    // A zero must be written as one: "-0", "+0.0" and ".0" are refused, and so
    // is a value too small to be held.
    if (result == 0.0 && text[start] != '0')
        return false;
    value = result;
    return true;
}

std::string formatNumber(double value)
{
    return formatC("%.15g", value);
}
