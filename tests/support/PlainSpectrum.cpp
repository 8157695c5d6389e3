#include "support/PlainSpectrum.h"

#include "support/PlainFft.h"

#include <cmath>
#include <cstdint>
#include <vector>

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

void plainRemoveMean(float* values, int n)
{
    double sum = 0.0;
    for (int i = 1; i <= n; ++i)
        sum += values[i];
    float mean = static_cast<float>(sum / n);
    for (int i = 1; i <= n; ++i)
        values[i] -= mean;
}

void plainPeriodogram(float* segment, float* power, int M, int windowType, int amplitudeOutput)
{
    plainWindow(windowType, segment, 2 * M);
    std::vector<float> work(4 * static_cast<std::size_t>(M) + 1);
    work[0] = 0.0f;
    for (int k = 1; k <= 2 * M; ++k) {
        work[2 * k - 1] = segment[k];
        work[2 * k] = 0.0f;
    }
    oracleComplexFft(work.data(), 2 * M);
    power[0] = static_cast<float>(
        static_cast<double>(work[1]) * work[1] + static_cast<double>(work[2]) * work[2]);
    power[M] = 1e-30f;
    for (int k = 1; k < M; ++k) {
        double re = work[2 * k + 1];
        double im = work[2 * k + 2];
        float p = static_cast<float>(2.0 * (re * re + im * im));
        if (amplitudeOutput)
            p = static_cast<float>(std::sqrt(static_cast<double>(p)));
        if (!(p >= 1e-30f))
            p = 1e-30f;
        power[k] = p;
    }
}

} // namespace

int plainEstimatePsd(const float* series, int N, int windowType, int amplitudeOutput,
    int extractAverage, int M, int S, int K, int normalize, int logOutput, float* psd)
{
    if (M < 1 || K < 1 || S < 0 || (M & (M - 1)) != 0
        || static_cast<std::int64_t>(S) * K + 2 * static_cast<std::int64_t>(M) > N)
        return 1;
    std::vector<float> power(static_cast<std::size_t>(M) + 1);
    for (int i = 0; i <= M; ++i)
        psd[i] = 0.0f;
    std::vector<float> segment(2 * static_cast<std::size_t>(M) + 1);
    for (int k = 0; k < K; ++k) {
        for (int i = 0; i <= 2 * M; ++i)
            segment[i] = series[static_cast<std::int64_t>(k) * S + i];
        if (extractAverage)
            plainRemoveMean(segment.data(), 2 * M);
        plainPeriodogram(segment.data(), power.data(), M, windowType, amplitudeOutput);
        for (int i = 0; i <= M; ++i)
            psd[i] = psd[i] + power[i];
    }
    for (int i = 0; i <= M; ++i)
        psd[i] = psd[i] / K;
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
    plainCanonicalNaNs(psd, static_cast<std::size_t>(M) + 1);
    return 0;
}

int plainComputeSpectrum(
    const float* series, int N, int windowType, int M, int S, int K, int normalize, float* psd)
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
