#include "input/MissingValues.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

std::string fillIn(std::string text, const std::string& one, const std::string& two)
{
    for (const auto& [mark, value] : { std::pair { "%1", one }, std::pair { "%2", two } }) {
        const std::size_t at = text.find(mark);
        if (at != std::string::npos)
            text.replace(at, 2, value);
    }
    return text;
}

} // namespace

NonFiniteValues findNonFinite(const float* series, std::uint64_t n)
{
    // A float is not finite when its exponent bits are all set. Counted
    // without a branch, the pass runs at the speed of memory; the first is
    // looked for only when there is one.
    constexpr std::uint32_t EXPONENT = 0x7f800000u;
    std::uint64_t count = 0;
    for (std::uint64_t i = 1; i <= n; ++i)
        count += (std::bit_cast<std::uint32_t>(series[i]) & EXPONENT) == EXPONENT;
    NonFiniteValues values;
    values.count = count;
    for (std::uint64_t i = 1; count > 0 && i <= n; ++i) {
        if (!std::isfinite(series[i])) {
            values.first = i;
            break;
        }
    }
    return values;
}

std::string nonFiniteMessage(const NonFiniteValues& values)
{
    return fillIn(MESSAGE_NOT_FINITE, std::to_string(values.count), std::to_string(values.first));
}

std::string filledMessage(std::uint64_t filled)
{
    return fillIn(MESSAGE_FILLED, std::to_string(filled), "");
}

std::uint64_t fillGapsLinearly(float* series, std::uint64_t n)
{
    std::uint64_t filled = 0;
    std::uint64_t lastFinite = 0; // 0 while none came yet
    for (std::uint64_t i = 1; i <= n; ++i) {
        if (!std::isfinite(series[i]))
            continue;
        if (i > lastFinite + 1) {
            const double right = series[i];
            if (lastFinite == 0) {
                for (std::uint64_t k = 1; k < i; ++k)
                    series[k] = series[i];
            } else {
                const double left = series[lastFinite];
                const double span = static_cast<double>(i - lastFinite);
                for (std::uint64_t k = lastFinite + 1; k < i; ++k) {
                    const double t = static_cast<double>(k - lastFinite) / span;
                    series[k] = static_cast<float>(left + (right - left) * t);
                }
            }
            filled += i - lastFinite - 1;
        }
        lastFinite = i;
    }
    if (lastFinite != 0 && lastFinite < n) {
        for (std::uint64_t k = lastFinite + 1; k <= n; ++k)
            series[k] = series[lastFinite];
        filled += n - lastFinite;
    }
    return filled;
}
