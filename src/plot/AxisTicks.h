#pragma once

#include <string>
#include <vector>

// One mark on an axis, at a world value of the axis.
struct AxisTick {
    double value = 0.0;
    bool major = true;
    std::string label; // empty for a minor tick
};

// Ticks of a linear axis between `from` and `to` (either order) at a step
// of 1, 2 or 5 times a power of ten, the smallest such step that gives at
// most `maxTicks` of them. Labels carry as many decimals as the step
// needs. None for a range that is empty, not finite or too narrow for
// the numbers to tell its ticks apart.
std::vector<AxisTick> linearTicks(double from, double to, int maxTicks);

// Ticks of an axis drawn in log10 units of a positive quantity (world
// value v stands for 10^v): majors at the decades (every 2nd, 5th, 10th,
// ... decade when there are more than `maxTicks`), labelled with the
// quantity, and minors at 2..9 times each decade when `withMinor`. A range
// holding fewer than two decades gets 1-2-5 steps of the quantity itself.
std::vector<AxisTick> logTicks(double from, double to, int maxTicks, bool withMinor);

// The label of a decade 10^exponent: "0.001" .. "1000" near one, "1e-05"
// style beyond.
std::string decadeLabel(int exponent);
