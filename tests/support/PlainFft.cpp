#include "support/PlainFft.h"

#include <cmath>
#include <cstdint>
#include <vector>

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

namespace {

void plainWindow(int windowType, float* data, int n)
{
    double a = (n - 1) / 2.0;
    double b = (n + 1) / 2.0;
    for (int j = 0; j < n; ++j) {
        double w;
        if (windowType == 1)
            w = 0.5 * (1.0 - std::cos(6.28318530717959 * j / (n - 1)));
        else if (windowType == 2)
            w = 1.0 - std::fabs(j - a) / b;
        else if (windowType == 3)
            w = 1.0 - ((j - a) / b) * ((j - a) / b);
        else
            return;
        data[j + 1] = static_cast<float>(w * data[j + 1]);
    }
}

} // namespace

int plainEstimatePsd(const float* series, int N, int windowType, int amplitudeOutput,
                     int extractAverage, int M, int S, int K, int normalize, int logOutput,
                     float* psd)
{
    if (M < 1 || K < 1 || S < 0 || (M & (M - 1)) != 0
        || static_cast<std::int64_t>(S) * K + 2 * static_cast<std::int64_t>(M) > N)
        return 1;
    std::vector<float> power(M + 1);
    for (int i = 0; i <= M; ++i)
        psd[i] = 0.0f;
    std::vector<float> segment(2 * M + 1);
    for (int k = 0; k < K; ++k) {
        for (int i = 1; i <= 2 * M; ++i)
            segment[i] = series[k * S + i];
        if (extractAverage) {
            double sum = 0.0;
            for (int i = 1; i <= 2 * M; ++i)
                sum += segment[i];
            float mean = static_cast<float>(sum / (2 * M));
            for (int i = 1; i <= 2 * M; ++i)
                segment[i] -= mean;
        }
        plainWindow(windowType, segment.data(), 2 * M);
        std::vector<float> work(4 * M + 1);
        work[0] = 0.0f;
        for (int i = 1; i <= 2 * M; ++i) {
            work[2 * i - 1] = segment[i];
            work[2 * i] = 0.0f;
        }
        plainComplexFft(work.data(), 2 * M);
        power[0] = static_cast<float>(static_cast<double>(work[1]) * work[1]
                                      + static_cast<double>(work[2]) * work[2]);
        power[M] = 1e-30f;
        for (int i = 1; i < M; ++i) {
            double re = work[2 * i + 1];
            double im = work[2 * i + 2];
            float p = static_cast<float>(2.0 * (re * re + im * im));
            if (amplitudeOutput)
                p = static_cast<float>(std::sqrt(static_cast<double>(p)));
            if (!(p >= 1e-30f))
                p = 1e-30f;
            power[i] = p;
        }
        for (int i = 0; i <= M; ++i)
            psd[i] += power[i];
    }
    for (int i = 0; i <= M; ++i)
        psd[i] /= K;
    if (normalize) {
        double total = 0.0;
        for (int i = 1; i <= M; ++i)
            total += psd[i];
        for (int i = 1; i <= M; ++i)
            psd[i] = static_cast<float>(psd[i] / total);
    }
    if (logOutput)
        for (int i = 1; i <= M; ++i)
            psd[i] = static_cast<float>(std::log10(static_cast<double>(psd[i])));
    return 0;
}

int plainComputeSpectrum(const float* series, int N, int windowType, int M, int S, int K,
                         int normalize, float* psd)
{
    if (plainEstimatePsd(series, N, windowType, 0, 1, M, S, K, normalize, 1, psd) != 0)
        return 1;
    if (!normalize) {
        double correction = 2.0 * std::log10(static_cast<double>(M));
        for (int i = 1; i < M; ++i)
            psd[i] = static_cast<float>(psd[i] - correction);
    }
    return 0;
}
