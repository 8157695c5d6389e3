#pragma once

#include "BatchOptions.h"

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"
#include "core/Progress.h"

#include <cstdio>
#include <string>
#include <string_view>

// The command sequences' window system for welmo-psd: the data dialog's OK
// takes the layout from the options and, unless the rows were given, reads
// the series into the record in one pass (seriesReadByDialog tells the
// sequence, which need not read the file again); the configuration
// dialog's OK takes the PSD size and shift, the edit dialogs' OK takes the
// edit at hand, the export dialog's OK takes the record's name and level
// with the options' format and time step, and the first message is kept for
// the exit status. Progress goes as one rewritten line to `progressOut` (a
// terminal), or nowhere when it is null.
class BatchHost : public CommandHost {
public:
    BatchHost(const BatchOptions& options, AnalysisState& state, std::FILE* progressOut = nullptr);

    void runTimeSeriesDialog() override;
    void runPsdConfigDialog() override;
    std::optional<SegmentChoice> runSelectSegmentDialog() override;
    std::optional<int> runRunningAverageDialog() override;
    std::optional<ExportChoice> runExportPsdDialog() override;
    void message(const std::string& text) override;
    void waitCursor() override { }
    void arrowCursor() override { }
    void invalidateWindow() override { }
    bool progress(std::string_view step, double fraction) override;
    // A stop comes only from SIGINT or SIGTERM, which the run reports
    // itself; the run ends as after a failure.
    void cancelled() override { m_cancelled = true; }

    // The edit the next Select Segment or Running Average dialog accepts.
    void setEdit(const SeriesEdit& edit) { m_edit = edit; }
    // Whether the last data dialog read the series into the record (asked
    // once per dialog).
    bool seriesReadByDialog() override;

    bool failed() const { return m_cancelled || !m_firstMessage.empty(); }
    const std::string& firstMessage() const { return m_firstMessage; }

private:
    const BatchOptions& m_options;
    AnalysisState& m_state;
    SeriesEdit m_edit;
    std::string m_firstMessage;
    bool m_seriesRead = false;
    bool m_cancelled = false;
    std::FILE* m_progressOut;
    std::string m_shownStep;
    int m_shownPercent = -1;
    int m_shownLength = 0;
};

// The message of a failed one-pass read (readWholeTimeSeries's status) of
// `file`: "Memory Allocation failure", the row limit, the system's reason
// why the file did not open, or "File not found".
std::string wholeReadFailure(int status, const std::string& file);
