#pragma once

#include "core/AnalysisState.h"
#include "core/Progress.h"

#include <cstring>
#include <string>
#include <vector>

// Progress callbacks for the cancel tests. A first run records the
// fractions of a step's reports; the step is then run again with a request
// to stop at its first report, at a middle one and at the last one before
// the end (by fraction, so that a repeated fraction changes nothing). With
// several threads a step reports only after the tasks of its own thread,
// so a run may pass a fraction by; such a run is tried again.
inline constexpr int CANCEL_ATTEMPTS = 20;

inline ProgressCallback recordFractions(std::vector<double>& fractions)
{
    return [&fractions](std::string_view, double fraction) {
        if (fraction < 1.0)
            fractions.push_back(fraction);
    };
}

inline std::vector<double> cancelPoints(const std::vector<double>& fractions)
{
    if (fractions.empty())
        return {};
    return { fractions.front(), fractions[fractions.size() / 2], fractions.back() };
}

// Asks to stop from the first report at or past `fraction` (before the
// end) on; `asked` tells whether it did.
inline ProgressCallback stopAt(double fraction, bool& asked)
{
    asked = false;
    return [fraction, &asked](std::string_view, double reported) {
        if (reported >= fraction && reported < 1.0)
            asked = true;
        return !asked;
    };
}

// Everything a command may change in the record, as bytes, so that two
// records compare bit for bit, NaN payloads included.
inline std::string recordBytes(const AnalysisState& state)
{
    std::string bytes;
    const auto add = [&bytes](const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
    };
    const auto addNumber = [&add](const auto& value) { add(&value, sizeof value); };
    add(state.series.data(), state.series.size() * sizeof(float));
    add(state.psd.data(), state.psd.size() * sizeof(float));
    addNumber(state.series.size());
    addNumber(state.psd.size());
    for (int value : { state.headerTokens, state.columnCount, state.dataColumn, state.isOriginal,
             state.psdSize, state.dataShift, state.segmentCount, state.maxPsdSize, state.psdValid,
             state.computeStatus })
        addNumber(value);
    addNumber(state.sampleCount);
    addNumber(state.loadedCount);
    for (double value :
        { state.lbValue, state.peakFrequency, state.seriesMean, state.seriesMin, state.seriesMax,
            state.seriesStdDev, state.signalMin, state.signalMax, state.exportMinLog })
        addNumber(value);
    bytes += state.dataFileName + '\n' + state.psdFileName;
    return bytes;
}
