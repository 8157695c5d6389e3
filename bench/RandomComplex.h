#pragma once

#include <cstddef>
#include <random>
#include <vector>

// nn complex values in [-1, 1), as the transforms take them (entry 0
// unused), the same for every run.
inline std::vector<float> randomComplex(int nn)
{
    std::mt19937 generator(12345u);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> data(2 * static_cast<std::size_t>(nn) + 1);
    for (float& x : data)
        x = value(generator);
    return data;
}
