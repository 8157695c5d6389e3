#include "input/TimeStep.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

template <typename Time> TimeStep medianStep(const Time* times, std::uint64_t n)
{
    TimeStep result;
    if (n < 2)
        return result;
    const auto count = static_cast<std::size_t>(n - 1);
    // Without memory for the steps no step is found.
    const std::unique_ptr<double[]> steps(new (std::nothrow) double[count]);
    if (!steps)
        return result;
    for (std::size_t i = 0; i < count; ++i) {
        steps[i] = static_cast<double>(times[i + 2]) - static_cast<double>(times[i + 1]);
        if (!std::isfinite(steps[i]))
            return result;
    }
    double* const begin = steps.get();
    double* const end = begin + count;
    // The mean of the two middle steps for an even count.
    double* const middle = begin + count / 2;
    std::nth_element(begin, middle, end);
    double median = *middle;
    if (count % 2 == 0)
        median = (*std::max_element(begin, middle) + median) / 2.0;
    const double allowed = STEP_TOLERANCE * std::fabs(median);
    result.found = median > 0.0;
    result.step = median;
    result.uneven
        = std::any_of(begin, end, [&](double s) { return std::fabs(s - median) > allowed; });
    return result;
}

} // namespace

TimeStep medianTimeStep(const float* times, std::uint64_t n)
{
    return medianStep(times, n);
}

TimeStep medianTimeStep(const double* times, std::uint64_t n)
{
    return medianStep(times, n);
}
