#pragma once

#include "core/Progress.h"

#include <string_view>

// One step's progress report: 0 when made, 1 when it goes (on every path
// out of the step, failures included), and in between rising fractions,
// no more than a few hundred of them. Used on the calling thread only.
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

    void advance(double fraction)
    {
        if (!m_progress || !(fraction >= m_last + MIN_STEP) || fraction >= 1.0)
            return;
        m_last = fraction;
        m_progress(m_step, fraction);
    }

private:
    static constexpr double MIN_STEP = 1.0 / 256;

    const ProgressCallback& m_progress;
    std::string_view m_step;
    double m_last = 0.0;
};
