#include "commands/SpectrumReferences.h"

#include "spectrum/DataWindow.h"

CurveIdentity spectrumIdentity(const AnalysisState& state)
{
    CurveIdentity identity;
    identity.fileName = state.dataFileName;
    identity.column = state.dataColumn;
    identity.psdSize = state.psd.empty() ? state.psdSize : static_cast<int>(state.psd.size() - 1);
    identity.segmentCount = state.segmentCount;
    const bool known = state.windowType >= 0 && state.windowType < WINDOW_TYPE_COUNT;
    identity.windowName = known ? WINDOW_NAMES[state.windowType] : "window ?";
    identity.hasTimeStep = state.hasTimeStep;
    identity.timeStep = state.timeStep;
    identity.timeUnit = state.timeUnit;
    return identity;
}

std::string keepAsReference(const AnalysisState& state, ReferenceCurves& references)
{
    if (!state.psdValid || state.psd.empty())
        return NO_SPECTRUM_TO_KEEP;
    switch (references.keep(spectrumIdentity(state), state.psd.data(), state.psd.size())) {
    case ReferenceCurves::Kept::KEPT:
        return {};
    case ReferenceCurves::Kept::FULL:
        return REFERENCES_FULL;
    case ReferenceCurves::Kept::NO_MEMORY:
        break;
    }
    return "Memory Allocation failure";
}
