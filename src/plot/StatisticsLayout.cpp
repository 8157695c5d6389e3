#include "plot/StatisticsLayout.h"

#include "plot/Palette.h"
#include "plot/PhysicalFrequency.h"
#include "plot/StatisticsText.h"

#include <algorithm>

namespace {

// Below the LB line, which keeps its place.
constexpr int PEAK_LINE_BELOW = 200;

} // namespace

std::vector<PlacedText> statisticsPlacement(
    const Canvas& canvas, const AnalysisState& state, int third, bool withAxes)
{
    struct Placement {
        int x;
        int below; // pixels below the signal panel
        ColorRef color;
    };
    static constexpr Placement placements[] = {
        { 20, 10, blackColor },
        { 20, 30, blackColor },
        { 80, 30, originalDataColor },
        { 20, 50, blackColor },
        { 20, 70, blackColor },
        { 20, 90, blackColor },
        { 20, 130, blackColor },
        { 20, 150, blackColor },
        { 20, 180, lbTextColor },
    };
    const std::vector<std::string> texts = statisticsTexts(state);
    // The data-origin note follows the N line when a long count reaches
    // past its usual place.
    const int noteX = std::max(
        placements[2].x, placements[1].x + canvas.textWidth(texts[1]) + canvas.textWidth(" "));
    std::vector<PlacedText> placed;
    for (std::size_t line = 0; line < texts.size(); ++line) {
        const Placement& place = placements[line];
        placed.push_back(
            { { line == 2 ? noteX : place.x, third + place.below }, texts[line], place.color });
    }
    if (withAxes && hasPhysicalFrequency(state))
        placed.push_back({ { 20, third + PEAK_LINE_BELOW }, peakFrequencyLine(state), blackColor });
    return placed;
}
