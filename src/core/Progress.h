#pragma once

#include <functional>
#include <string_view>

// How far a long step has come. A step reports (name, 0.0) first, then
// non-decreasing fractions, and (name, 1.0) when it ends, successfully or
// not. Always called on the thread that started the step, never from a
// worker, so a window may repaint from it. An empty callback reports
// nothing.
using ProgressCallback = std::function<void(std::string_view step, double fraction)>;

// Step names, as the status bar and welmo-psd show them.
inline constexpr std::string_view PROGRESS_COUNT = "Counting rows";
inline constexpr std::string_view PROGRESS_READ = "Reading data";
inline constexpr std::string_view PROGRESS_ESTIMATE = "Estimating spectrum";
inline constexpr std::string_view PROGRESS_AVERAGE = "Running average";
inline constexpr std::string_view PROGRESS_EXPORT = "Exporting spectrum";
inline constexpr std::string_view PROGRESS_PAINT = "Drawing";

inline void reportProgress(const ProgressCallback& progress, std::string_view step, double fraction)
{
    if (progress)
        progress(step, fraction);
}

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
