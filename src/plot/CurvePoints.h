#pragma once

#include "plot/PlotMapping.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

// The device points of the two curves by index, each coordinate on its own
// so that a column can be found from x alone. Every point is the one
// mapToDevice gives, limited as the picture limits it.
//
// Where `valueOrdersY` is set, the y of a point follows from its stored
// value alone (yOf), through steps that never reverse the order of two
// values (stored from values() on) as long as the unrounded device y
// (deviceValueYOf) is a number within the integer range: the lowest and highest y of a column then
// come from its lowest and highest value.

// Sample i at world x i; below the panel it sits on the bottom line.
struct SignalPoints {
    static constexpr bool valueOrdersY = true;

    const float* samples = nullptr;
    PlotMapping mapping;
    int bottom = 0;

    double deviceValue(std::size_t i) const
    {
        return deviceValueX(static_cast<double>(i), mapping);
    }
    int x(std::size_t i) const { return deviceX(static_cast<double>(i), mapping); }
    const float* values() const { return samples; }
    double deviceValueYOf(float value) const { return deviceValueY(value, mapping); }
    int yOf(float value) const { return std::min(deviceY(value, mapping), bottom); }
    int y(std::size_t i) const { return yOf(samples[i]); }
};

// Spectrum entry i of an estimate of `size` at frequency i / (2 size)
// times `frequencyScale` (1 but for a reference of another time step), its
// power raised to `powerMin` when below it or not a number. The x of the
// entries never reverses order either: log10 errs by a few units in the
// last place, and the logarithms of neighbouring entries, at most 2^31
// apart in size, differ by more than 10^-10.
template <bool logPower> struct SpectrumPoints {
    // 10^value is not known to keep the order of neighbouring floats.
    static constexpr bool valueOrdersY = logPower;

    const float* psd = nullptr;
    PlotMapping mapping;
    int size = 0;
    bool logFrequency = false;
    double powerMin = 0.0;
    double frequencyScale = 1.0;

    double frequency(std::size_t i) const
    {
        const double linear = static_cast<double>(i) * 0.5 / size * frequencyScale;
        return logFrequency ? std::log10(linear) : linear;
    }
    double power(std::size_t i) const { return powerOf(psd[i]); }
    double powerOf(float value) const
    {
        if constexpr (logPower)
            return static_cast<double>(value);
        else
            return std::pow(10.0, value);
    }
    double raised(float value) const
    {
        const double power = powerOf(value);
        return power >= powerMin ? power : powerMin;
    }
    double deviceValue(std::size_t i) const { return deviceValueX(frequency(i), mapping); }
    int x(std::size_t i) const { return deviceX(frequency(i), mapping); }
    const float* values() const { return psd; }
    double deviceValueYOf(float value) const { return deviceValueY(raised(value), mapping); }
    int yOf(float value) const { return deviceY(raised(value), mapping); }
    int y(std::size_t i) const { return yOf(psd[i]); }
};
