// Writes the largest table the data dialog admits: 69,306,016 rows of one
// "%.12g" sample each (a slow tone, a fast tone and noise, about 1.3 GB).
// Usage: welmo_make_table FILE [ROWS]

#include "core/CFormat.h"
#include "core/Limits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: welmo_make_table FILE [ROWS]\n");
        return 2;
    }
    const unsigned long rows = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : MAX_DATA_ROWS;
    CLocaleScope cLocale;
    std::FILE* file = std::fopen(argv[1], "w");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<char> buffer(1 << 20);
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    std::mt19937_64 random(20261208);
    std::normal_distribution<double> noise(0.0, 0.3);
    const double twoPi = 6.283185307179586;
    for (unsigned long i = 0; i < rows; ++i) {
        const double t = static_cast<double>(i);
        const double sample = 12.0 * std::sin(twoPi * 0.0003 * t)
            + 3.0 * std::sin(twoPi * 0.171875 * t) + noise(random);
        std::fprintf(file, "%.12g\n", sample);
    }
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
