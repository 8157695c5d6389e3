#pragma once

#include "core/AnalysisState.h"
#include "core/FloatBuffer.h"

// The record as a command found it, put back when one of the command's
// steps is cancelled. Every value but the two buffers is copied. The
// spectrum buffer needs no copy: only a successful estimate replaces it. The
// series is kept only where the command changes it: a series that the
// command replaces is handed over here, one that it changes in place is
// copied here first.
class RecordSnapshot {
public:
    explicit RecordSnapshot(const AnalysisState& state)
        : m_values(state)
    {
    }

    // Takes a series that the command replaced (or is about to replace).
    void keepSeries(FloatBuffer& series);
    // Copies the record's series, which the command is about to change in
    // place. Returns false, keeping nothing, when memory is short.
    bool keepSeriesCopy(const AnalysisState& state);

    // Puts every value back, and the series if one was kept.
    void restore(AnalysisState& state);

private:
    RecordValues m_values;
    FloatBuffer m_series;
    bool m_seriesKept = false;
};
