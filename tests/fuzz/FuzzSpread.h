#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// A few bytes of input made into many values, so that a small input
// reaches the sizes where the transform and the estimate split their work
// among threads (2^14 to 2^18 entries and more), which no input that the
// fuzzer grows in a minute would fill. The given values repeat, each
// repetition with other low mantissa bits, so that the result is not a
// periodic signal's few lines; exponents, and so infinities and NaNs,
// stay as given.
inline std::vector<float> spreadValues(const std::vector<float>& given, std::size_t count)
{
    std::vector<float> values(count, 0.0f);
    if (given.empty())
        return values;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(given[i % given.size()]);
        const std::uint32_t mix = static_cast<std::uint32_t>(i / given.size()) * 0x9E3779B9u;
        // A NaN keeps its payload's top bit so that it stays a NaN.
        values[i] = std::bit_cast<float>(bits ^ (mix & 0x003FFFFFu));
    }
    return values;
}
