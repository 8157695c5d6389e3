#include "input/SlidingMeans.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

// Every finite float is an integer multiple of 2^-149, and every sample of a
// block a multiple of the block's finest bit: in those units the samples are
// integers, and an integer sum is exact whatever its order. The in-order
// double sum gives the same value when every partial sum it passes through
// has at most 53 significant bits, which the units let us check exactly.

namespace {

constexpr int kNotProvable = -1;
constexpr int kAllZero = 0;
// Samples at most 2^48 units: a block's (fewer than 2^15) samples then sum
// to less than 2^63 units.
constexpr unsigned kMostSpan = 24;

// The float exponent field (1 for subnormals) of the block's finest set bit,
// so that one unit is 2^(finest - 150); kAllZero for a block of zeros, and
// kNotProvable for a NaN or an infinity, or samples more than 2^48 units.
int finestBit(const float* samples, std::int64_t size)
{
    unsigned top = 0;
    unsigned finest = 0x200;
    for (std::int64_t k = 0; k < size; ++k) {
        const auto bits = std::bit_cast<std::uint32_t>(samples[k]);
        const unsigned exponent = (bits >> 23) & 0xffu;
        const std::uint32_t fraction = bits & 0x7fffffu;
        const std::uint32_t significand = exponent == 0 ? fraction : fraction | 0x800000u;
        // Zeros have no set bit and leave the finest one as it is.
        const unsigned lowest = significand == 0
            ? 0x200u
            : std::max(exponent, 1u) + static_cast<unsigned>(std::countr_zero(significand));
        top = std::max(top, exponent);
        finest = std::min(finest, lowest);
    }
    if (top == 0xffu)
        return kNotProvable;
    if (finest == 0x200)
        return kAllZero;
    // A sample below 2^(top - 126) holds fewer than 2^(top - finest + 24)
    // units.
    if (top > finest + kMostSpan)
        return kNotProvable;
    return static_cast<int>(finest);
}

std::int64_t unitsOf(float sample, double toUnits)
{
    return static_cast<std::int64_t>(static_cast<double>(sample) * toUnits);
}

// Whether every sum of consecutive samples that an in-order window sum
// passes through is at most 2^53 units. Each such sum is the difference of
// two prefix sums at most `window` apart. With the prefix sums grouped into
// chunks of at least `window`, the two lie in one chunk or in two
// neighbours, so a bound on the spread of every two neighbouring chunks
// bounds them all: a little loose, but one pass without memory.
bool partialSumsFit(const float* samples, std::int64_t size, std::int64_t window, double toUnits)
{
    constexpr std::uint64_t kLimit = std::uint64_t { 1 } << 53;
    const std::int64_t chunk = std::max<std::int64_t>(window, 64);
    const auto spread = [](std::int64_t low, std::int64_t high) {
        return static_cast<std::uint64_t>(high) - static_cast<std::uint64_t>(low);
    };
    // prefix runs through the prefix sums; the one at index j is the sum of
    // the samples before j.
    std::int64_t prefix = 0;
    std::int64_t lastLow = 0, lastHigh = 0;
    for (std::int64_t start = 0; start <= size; start += chunk) {
        if (start > 0)
            prefix += unitsOf(samples[start - 1], toUnits);
        std::int64_t low = prefix, high = prefix;
        const std::int64_t end = std::min(size, start + chunk - 1);
        for (std::int64_t j = start + 1; j <= end; ++j) {
            prefix += unitsOf(samples[j - 1], toUnits);
            low = std::min(low, prefix);
            high = std::max(high, prefix);
        }
        const bool alone = start == 0;
        if (spread(alone ? low : std::min(low, lastLow), alone ? high : std::max(high, lastHigh))
            > kLimit)
            return false;
        lastLow = low;
        lastHigh = high;
    }
    return true;
}

} // namespace

bool slidingMeans(
    const float* series, std::int64_t first, std::int64_t count, std::int64_t window, float* means)
{
    if (count < 1 || window < 1 || window > kMostSlidingWindow || count > kMostSlidingMeans)
        return false;
    const float* const samples = series + first;
    const std::int64_t size = count + window - 1;
    const int finest = finestBit(samples, size);
    if (finest == kNotProvable)
        return false;
    if (finest == kAllZero) {
        // The in-order sum of zeros of either sign is +0.
        std::fill_n(means, count, 0.0f);
        return true;
    }
    const double toUnits = std::ldexp(1.0, 150 - finest);
    if (!partialSumsFit(samples, size, window, toUnits))
        return false;
    // The sum in units has at most 53 bits, so it, its value in double and
    // the scaled value are all exact: the value the in-order sum reached.
    const double unit = std::ldexp(1.0, finest - 150);
    const auto divisor = static_cast<double>(window);
    const auto meanOfUnits = [&](std::int64_t sum) {
        return static_cast<float>(static_cast<double>(sum) * unit / divisor);
    };
    std::int64_t sum = 0;
    for (std::int64_t k = 0; k < window; ++k)
        sum += unitsOf(samples[k], toUnits);
    means[0] = meanOfUnits(sum);
    for (std::int64_t t = 1; t < count; ++t) {
        sum += unitsOf(samples[t + window - 1], toUnits) - unitsOf(samples[t - 1], toUnits);
        means[t] = meanOfUnits(sum);
    }
    return true;
}
