#include "support/PlainFft.h"

#include <cmath>
#include <cstdint>
#include <cstring>

void plainComplexFft(float* data, int nn)
{
    int n = nn << 1;
    int j = 1;
    for (int i = 1; i < n; i += 2) {
        if (j > i) {
            float t = data[j];
            data[j] = data[i];
            data[i] = t;
            t = data[j + 1];
            data[j + 1] = data[i + 1];
            data[i + 1] = t;
        }
        int m = nn;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    int mmax = 2;
    while (n > mmax) {
        int istep = mmax << 1;
        double theta = 6.28318530717959 / mmax;
        double wtemp = std::sin(0.5 * theta);
        double wpr = -2.0 * wtemp * wtemp;
        double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 1; m < mmax; m += 2) {
            for (int i = m; i <= n; i += istep) {
                j = i + mmax;
                double tempr = wr * data[j] - wi * data[j + 1];
                double tempi = wr * data[j + 1] + wi * data[j];
                data[j] = data[i] - tempr;
                data[j + 1] = data[i + 1] - tempi;
                data[i] += tempr;
                data[i + 1] += tempi;
            }
            wr = (wtemp = wr) * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
        mmax = istep;
    }
}

void plainCanonicalNaNs(float* values, std::size_t count)
{
    const std::uint32_t canonicalBits = 0x7fc00000u;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::isnan(values[i]))
            std::memcpy(values + i, &canonicalBits, sizeof canonicalBits);
    }
}

void oracleComplexFft(float* data, int nn)
{
    plainComplexFft(data, nn);
    plainCanonicalNaNs(data + 1, 2 * static_cast<std::size_t>(nn));
}
