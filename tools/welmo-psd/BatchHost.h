#pragma once

#include "BatchOptions.h"

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"
#include "core/Progress.h"

#include <cstdio>
#include <string>
#include <string_view>

// Told the step of every progress report as it comes, for the split of a
// run's time that WELMO_TIMING prints; none unless one is set.
using StepObserver = void (*)(std::string_view step);
void observeSteps(StepObserver observer);

// The command sequences' window system for welmo-psd: each dialog's OK
// takes the options (the data dialog no rows when none were given: every
// row is read, in one pass), the edit at hand or the record's export name
// and level; the first message is kept for the exit status. Progress goes
// as one rewritten line to `progressOut` (a terminal), or nowhere.
class BatchHost : public CommandHost {
public:
    BatchHost(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut = nullptr);

    std::optional<TimeSeriesChoice> runTimeSeriesDialog() override;
    std::optional<PsdChoice> runPsdConfigDialog() override;
    std::optional<SegmentChoice> runSelectSegmentDialog() override;
    std::optional<int> runRunningAverageDialog() override;
    std::optional<ExportChoice> runExportPsdDialog() override;
    void message(const std::string& text) override;
    // Warnings and notes go to stderr as they come, a line each.
    void warning(const std::string& text) override;
    void statusMessage(const std::string& text) override;
    void waitCursor() override { }
    void arrowCursor() override { }
    void invalidateWindow() override { }
    bool progress(std::string_view step, double fraction) override;

    // The edit the next Select Segment or Running Average dialog accepts.
    void setEdit(const SeriesEdit& edit) { m_edit = edit; }
    // When the estimate of the next command runs.
    void setEstimateTiming(EstimateTiming timing) { m_timing = timing; }
    EstimateTiming estimateTiming() override { return m_timing; }
    const std::string& firstMessage() const { return m_firstMessage; }

private:
    void note(const std::string& text);

    const BatchOptions& m_options;
    AnalysisState& m_state;
    SeriesEdit m_edit;
    EstimateTiming m_timing = EstimateTiming::NOW;
    std::string m_firstMessage;
    std::FILE* m_progressOut;
    std::string m_shownStep;
    int m_shownPercent = -1;
    int m_shownLength = 0;
};
