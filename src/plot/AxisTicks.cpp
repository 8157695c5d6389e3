#include "plot/AxisTicks.h"

#include "core/CFormat.h"

#include <algorithm>
#include <cmath>

namespace {

// More ticks than any picture could show; keeps a bad request bounded.
constexpr int TICK_LIMIT = 1000;

// The smallest step of 1, 2 or 5 times a power of ten that is at least
// `rough`.
double niceStep(double rough)
{
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : { 1.0, 2.0, 5.0, 10.0 })
        if (factor * decade >= rough * (1.0 - 1e-12))
            return factor * decade;
    return 10.0 * decade;
}

// Formats value k * step so that ticks a step apart read differently.
std::string linearLabel(double value, double step, double largest)
{
    if (value == 0.0)
        return "0";
    const int stepDigits = static_cast<int>(std::floor(std::log10(step) + 1e-9));
    const int valueDigits = static_cast<int>(std::floor(std::log10(largest) + 1e-9));
    if (valueDigits >= 7 || stepDigits < -9) {
        const int significant = std::clamp(valueDigits - stepDigits + 1, 1, 15);
        return formatC("%.*g", significant, value);
    }
    return formatC("%.*f", std::max(0, -stepDigits), value);
}

bool orderedRange(double from, double to, double& low, double& high)
{
    low = std::min(from, to);
    high = std::max(from, to);
    return std::isfinite(low) && std::isfinite(high) && high > low;
}

} // namespace

std::vector<AxisTick> linearTicks(double from, double to, int maxTicks)
{
    double low = 0.0, high = 0.0;
    std::vector<AxisTick> ticks;
    if (!orderedRange(from, to, low, high) || maxTicks < 1)
        return ticks;
    const double step = niceStep((high - low) / std::min(maxTicks, TICK_LIMIT));
    const double first = std::ceil(low / step - 1e-9);
    const double last = std::floor(high / step + 1e-9);
    const double largest = std::max(std::fabs(low), std::fabs(high));
    // A step lost in the values' last digits would repeat one tick.
    if (!std::isfinite(step) || step <= 0.0 || step < largest * 1e-12 || last - first > TICK_LIMIT)
        return ticks;
    for (double k = first; k <= last; k += 1.0) {
        const double value = k * step;
        ticks.push_back({ value, true, linearLabel(value, step, largest) });
    }
    return ticks;
}

std::string decadeLabel(int exponent)
{
    if (exponent >= -4 && exponent <= 3)
        return formatC("%g", std::pow(10.0, exponent));
    return formatC("1e%d", exponent);
}

std::vector<AxisTick> logTicks(double from, double to, int maxTicks, bool withMinor)
{
    double low = 0.0, high = 0.0;
    std::vector<AxisTick> ticks;
    if (!orderedRange(from, to, low, high) || maxTicks < 1 || high - low > 4 * TICK_LIMIT)
        return ticks;
    const double firstDecade = std::ceil(low - 1e-9);
    const double lastDecade = std::floor(high + 1e-9);
    if (lastDecade - firstDecade < 1.0) {
        // Within a decade or two: steps of the quantity, placed by their log.
        for (AxisTick tick : linearTicks(std::pow(10.0, low), std::pow(10.0, high), maxTicks)) {
            if (!(tick.value > 0.0))
                continue;
            tick.label = formatC("%g", tick.value);
            tick.value = std::log10(tick.value);
            ticks.push_back(tick);
        }
        return ticks;
    }
    const double decades = lastDecade - firstDecade + 1.0;
    const double every = decades > maxTicks ? niceStep(decades / maxTicks) : 1.0;
    const double start = std::ceil(firstDecade / every - 1e-9) * every;
    for (double decade = start; decade <= lastDecade; decade += every)
        ticks.push_back({ decade, true, decadeLabel(static_cast<int>(decade)) });
    if (!withMinor || every != 1.0)
        return ticks;
    for (double decade = firstDecade - 1.0; decade <= lastDecade; decade += 1.0)
        for (int factor = 2; factor <= 9; ++factor) {
            const double value = decade + std::log10(static_cast<double>(factor));
            if (value >= low && value <= high)
                ticks.push_back({ value, false, {} });
        }
    return ticks;
}
