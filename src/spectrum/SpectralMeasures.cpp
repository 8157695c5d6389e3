#include "spectrum/SpectralMeasures.h"

#include <climits>
#include <cmath>

namespace {

// The M of the estimate that filled the buffer (the buffer carries it), or
// 0 when there is no buffer.
int filledPsdSize(const AnalysisState& state)
{
    if (state.psd.size() < 2 || state.psd.size() - 1 > INT_MAX)
        return 0;
    return static_cast<int>(state.psd.size() - 1);
}

// The LB commands may run at any time; only a spectrum the view shows is
// theirs to read.
int validPsdSize(const AnalysisState& state)
{
    return state.psdValid ? filledPsdSize(state) : 0;
}

double lowBandOf(const AnalysisState& state, int M)
{
    return lowBandRatio(state.lbFrequencies * 100.0 / M, state.psd.data(), M);
}

} // namespace

double lowBandRatio(double percent, const float* psd, int M)
{
    // b is compared before it becomes an int, so that no percentage, however
    // large or not a number, converts out of range.
    const double band = (M * percent) * 0.01;
    if (!psd || !(band >= 1.0) || !(band < M / 2 + 1.0))
        return -1.0;
    const int b = static_cast<int>(band);
    double sum = 0.0;
    for (int i = 2; i <= b; ++i)
        sum += std::pow(10.0, static_cast<double>(psd[i]));
    return std::log10(sum);
}

void updateSpectralMeasures(AnalysisState& state)
{
    const int M = filledPsdSize(state);
    if (M == 0)
        return;
    state.lbValue = lowBandOf(state, M);
    if (M < 2) {
        state.peakFrequency = 0.0;
        return;
    }
    // Strictly greater: equal values keep the lowest index, and a value that
    // is not a number never becomes the peak.
    int index = 2;
    if (M > 2) {
        float best = state.psd[2];
        for (int i = 2; i <= M - 1; ++i) {
            if (state.psd[i] > best) {
                best = state.psd[i];
                index = i;
            }
        }
    }
    state.peakFrequency = static_cast<double>(index) / M;
}

void higherLb(AnalysisState& state)
{
    state.lbFrequencies = state.lbFrequencies > INT_MAX - 4 ? INT_MAX : state.lbFrequencies + 4;
    // The band is capped by the spectrum it measures: after a failed read
    // psdSize may already name another size.
    const int M = validPsdSize(state);
    const int capSize = M != 0 ? M : state.psdSize;
    if (state.lbFrequencies > capSize / 8)
        state.lbFrequencies = capSize / 8;
    if (M != 0)
        state.lbValue = lowBandOf(state, M);
}

void lowerLb(AnalysisState& state)
{
    state.lbFrequencies = state.lbFrequencies < INT_MIN + 4 ? 2 : state.lbFrequencies - 4;
    if (state.lbFrequencies < 2)
        state.lbFrequencies = 2;
    if (const int M = validPsdSize(state))
        state.lbValue = lowBandOf(state, M);
}
