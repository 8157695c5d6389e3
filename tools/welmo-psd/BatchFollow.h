#pragma once

#include "BatchOptions.h"

#include "core/AnalysisState.h"

#include <cstdio>
#include <functional>

// --follow: after the first run of the one file, looks at it every
// options.followSeconds and, each time complete rows were appended, adds
// them with the window's follow step, rewrites the export, prints a new
// summary line and calls `render` (the picture with --render; it returns
// an exit status). Runs until a look fails (its status, after the
// one-line message) or SIGINT or SIGTERM asks to stop (128 + the signal);
// the wait between looks ends at once then, and every file written is
// complete.
int followFile(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut,
    const std::function<int(const AnalysisState&)>& render);
