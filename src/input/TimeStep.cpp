#include "input/TimeStep.h"

#include <algorithm>
#include <cmath>
#include <vector>

TimeStep medianTimeStep(const float* times, std::uint64_t n)
{
    TimeStep result;
    if (n < 2)
        return result;
    std::vector<double> steps;
    steps.reserve(static_cast<std::size_t>(n - 1));
    for (std::uint64_t i = 2; i <= n; ++i) {
        const double step = static_cast<double>(times[i]) - static_cast<double>(times[i - 1]);
        if (!std::isfinite(step))
            return result;
        steps.push_back(step);
    }
    // The mean of the two middle steps for an even count, so that the
    // median does not depend on the sort's order of equal halves.
    const std::size_t half = steps.size() / 2;
    std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(half), steps.end());
    double median = steps[half];
    if (steps.size() % 2 == 0) {
        const double below
            = *std::max_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(half));
        median = (below + median) / 2.0;
    }
    const double allowed = STEP_TOLERANCE * std::fabs(median);
    result.found = median > 0.0;
    result.step = median;
    result.uneven = std::any_of(
        steps.begin(), steps.end(), [&](double s) { return std::fabs(s - median) > allowed; });
    return result;
}
