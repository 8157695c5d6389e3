#pragma once

#include "core/AnalysisState.h"
#include "core/ReferenceCurves.h"

#include <string>

// The name of the record's spectrum: its data file and column, the M of
// the estimate the buffer holds, K, the window's name and the time step.
CurveIdentity spectrumIdentity(const AnalysisState& state);

// View > Keep as Reference: copies the record's valid spectrum into
// `references`. Returns "" when kept, else the message to show (no
// spectrum, eight kept already, no memory); nothing changes then.
std::string keepAsReference(const AnalysisState& state, ReferenceCurves& references);

inline constexpr const char* NO_SPECTRUM_TO_KEEP = "No spectrum to keep";
