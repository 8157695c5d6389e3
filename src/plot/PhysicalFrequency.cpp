#include "plot/PhysicalFrequency.h"

#include "core/CFormat.h"

#include <cmath>

bool hasPhysicalFrequency(const AnalysisState& state)
{
    return hasPhysicalFrequency(state.hasTimeStep, state.timeStep);
}

bool hasPhysicalFrequency(int hasTimeStep, double timeStep)
{
    return hasTimeStep != 0 && std::isfinite(timeStep) && timeStep > 0.0;
}

std::string frequencyAxisTitle(const AnalysisState& state)
{
    if (state.timeUnit.empty())
        return "frequency (cycles per unit)";
    return "frequency (1/" + state.timeUnit + ")";
}

std::string physicalFrequencyText(const AnalysisState& state, double cyclesPerSample)
{
    return physicalFrequencyText(state.timeStep, state.timeUnit, cyclesPerSample);
}

std::string physicalFrequencyText(
    double timeStep, const std::string& timeUnit, double cyclesPerSample)
{
    const double frequency = cyclesPerSample / timeStep;
    const bool named = !timeUnit.empty();
    std::string text = named ? formatC("%.3g /%s", frequency, timeUnit.c_str())
                             : formatC("%.3g per unit", frequency);
    if (frequency > 0.0 && std::isfinite(frequency))
        text += named ? formatC(", period %.3g %s", 1.0 / frequency, timeUnit.c_str())
                      : formatC(", period %.3g unit", 1.0 / frequency);
    return text;
}

std::string peakFrequencyLine(const AnalysisState& state)
{
    return "peak " + physicalFrequencyText(state, state.peakFrequency * 0.5);
}
