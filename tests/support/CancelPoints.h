#pragma once

#include "core/AnalysisState.h"
#include "core/Progress.h"
#include "support/RecordImage.h"

#include <memory>
#include <vector>

// Progress callbacks for the cancel tests. A first run records the
// fractions of a step's reports; the step is then run again with a request
// to stop at its first report, at a middle one and at the last one before
// the end (by fraction, so that a repeated fraction changes nothing). With
// several threads a step reports only after the tasks of its own thread,
// so a run may pass a fraction by; such a run is tried again, from the last
// fraction it did report.
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

// As stopAt, for a run that is tried again: a run that ends without a
// report at or past `point` lowers it to the last fraction it reported.
inline ProgressCallback stopLate(double& point, bool& asked)
{
    asked = false;
    auto latest = std::make_shared<double>(0.0);
    return [&point, &asked, latest](std::string_view, double reported) {
        if (reported < 1.0)
            *latest = reported;
        if (reported >= point && reported < 1.0)
            asked = true;
        else if (reported >= 1.0 && !asked && *latest < point)
            point = *latest;
        return !asked;
    };
}
