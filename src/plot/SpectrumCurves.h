#pragma once

#include "core/AnalysisState.h"
#include "plot/CurveLegend.h"
#include "plot/Palette.h"
#include "plot/PictureLayout.h"
#include "plot/PictureView.h"
#include "plot/ReferenceCache.h"
#include "plot/SpectrumCurve.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace curveDrawing {

// What a reference's reduced curve was made under: the same key draws
// the same pixels.
struct ReferenceKey {
    std::uint64_t serial = 0;
    DeviceRect panel;
    PlotWindow window;
    bool zoomed = false;
    bool logFrequency = false;
    double frequencyScale = 1.0;

    bool operator==(const ReferenceKey& other) const
    {
        return serial == other.serial && panel == other.panel && window.xMin == other.window.xMin
            && window.xMax == other.window.xMax && window.yMin == other.window.yMin
            && window.yMax == other.window.yMax && zoomed == other.zoomed
            && logFrequency == other.logFrequency && frequencyScale == other.frequencyScale;
    }
};

template <bool logPower>
using CachedCurves
    = std::vector<std::pair<ReferenceKey, std::shared_ptr<const SpectrumCurve<logPower>>>>;

} // namespace curveDrawing

struct ReferenceCache::Entries {
    curveDrawing::CachedCurves<true> logCurves;
    curveDrawing::CachedCurves<false> linearCurves;
};

namespace curveDrawing {

template <bool logPower> inline CachedCurves<logPower>& cachedCurves(ReferenceCache& cache)
{
    if constexpr (logPower)
        return cache.entries().logCurves;
    else
        return cache.entries().linearCurves;
}

// The live spectrum and the references beneath it, which share its
// window. A reference the view's cache holds under the same key is drawn
// from there; the others are reduced on the threads with the live curve.
template <bool logPower> class SpectrumCurves {
public:
    SpectrumCurves(const AnalysisState& state, const PictureView& view,
        const PanelPlacement& placement, Tasks& tasks)
    {
        if (view.comparing())
            makeReferences(state, view, placement, tasks);
        m_live.emplace(state, placement, tasks);
    }

    void draw(Canvas& canvas) const
    {
        for (std::size_t i = 0; i < m_references.size(); ++i)
            m_references[i]->draw(canvas, referenceColors[i]);
        m_live->draw(canvas, spectrumColor);
    }

private:
    void makeReferences(const AnalysisState& state, const PictureView& view,
        const PanelPlacement& placement, Tasks& tasks)
    {
        const ReferenceCurves& references = *view.references;
        CachedCurves<logPower> drawn;
        for (std::size_t i = 0; i < references.size(); ++i) {
            const double scale = referenceFrequencyScale(state, references[i].identity);
            const ReferenceKey key { references[i].serial, placement.panel, placement.window,
                placement.zoomed, state.logFrequency != 0, scale };
            std::shared_ptr<const SpectrumCurve<logPower>> curve;
            if (view.cache)
                for (const auto& [cachedKey, cached] : cachedCurves<logPower>(*view.cache))
                    if (cachedKey == key)
                        curve = cached;
            if (!curve)
                curve = std::make_shared<SpectrumCurve<logPower>>(
                    state, references[i].psd, scale, false, placement, tasks);
            m_references.push_back(curve);
            drawn.emplace_back(key, curve);
        }
        if (view.cache) {
            cachedCurves<logPower>(*view.cache) = std::move(drawn);
            cachedCurves<!logPower>(*view.cache).clear();
        }
    }

    std::vector<std::shared_ptr<const SpectrumCurve<logPower>>> m_references;
    std::optional<SpectrumCurve<logPower>> m_live;
};

} // namespace curveDrawing
