#pragma once

#include "core/Progress.h"

#include <string_view>

// The reports of one long step on the calling thread: (step, 0) when made,
// (step, 1) when destroyed, whatever path the step leaves by, and in
// between at most a few hundred non-decreasing fractions.
class StepProgress {
public:
    StepProgress(const ProgressCallback& progress, std::string_view step)
        : m_progress(progress)
        , m_step(step)
    {
        reportProgress(m_progress, m_step, 0.0);
    }
    ~StepProgress() { reportProgress(m_progress, m_step, 1.0); }
    StepProgress(const StepProgress&) = delete;
    StepProgress& operator=(const StepProgress&) = delete;

    void report(double fraction)
    {
        if (!m_progress || !(fraction >= m_last + kLeastAdvance) || fraction >= 1.0)
            return;
        m_last = fraction;
        m_progress(m_step, fraction);
    }

private:
    static constexpr double kLeastAdvance = 1.0 / 256;

    const ProgressCallback& m_progress;
    std::string_view m_step;
    double m_last = 0.0;
};
