#pragma once

#include "core/AnalysisState.h"

// When a command's estimate step runs. The window estimates at every
// command (NOW). welmo-psd runs several commands in a row, each of whose
// spectra the next one replaces, so it defers all but the last.
//
// A DEFERRED step runs the estimate only when the configuration does not
// fit (estimateFits below): such an estimate stops before any transform,
// so running it costs nothing and gives the message, the status and the
// record that the step always gave. A configuration that fits counts as a
// successful step without estimating: the command goes on as after a
// success (Retrieve Data derives the export name), and the record keeps
// the spectrum it held until the last command's estimate replaces it. Only
// running out of memory is not foreseen; a deferred step allocates nothing,
// so it cannot fail for that reason.
enum class EstimateTiming { NOW, DEFERRED };

// Whether the record's configuration passes the tests the estimate makes
// before it transforms anything: M a power of two, K >= 1, S >= 0 and
// S*K + 2M within the samples the series buffer holds.
bool estimateFits(const AnalysisState& state);
