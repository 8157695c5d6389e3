#pragma once

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A CommandHost for tests. Each dialog plays a script and every dialog,
// cursor change, message and repaint is recorded in order.
struct ScriptedHost : CommandHost {
    // Edits the record as the dialog's OK would and returns true for OK,
    // false for Cancel. A dialog without a script is cancelled.
    using DialogScript = std::function<bool(AnalysisState&)>;
    // Returns the values the dialog's OK would hand back, or nothing for
    // Cancel; it sees the record as the dialog would open on it.
    template <typename Values>
    using ValueScript = std::function<std::optional<Values>(const AnalysisState&)>;

    explicit ScriptedHost(AnalysisState& state)
        : state(state)
    {
    }

    void runTimeSeriesDialog() override;
    void runPsdConfigDialog() override;
    std::optional<SegmentChoice> runSelectSegmentDialog() override;
    std::optional<int> runRunningAverageDialog() override;
    std::optional<ExportChoice> runExportPsdDialog() override;
    void message(const std::string& text) override;
    void waitCursor() override;
    void arrowCursor() override;
    void invalidateWindow() override;
    bool progress(std::string_view step, double fraction) override;
    void cancelled() override;

    // Forgets what was recorded so far; the scripts stay.
    void clearRecord();

    AnalysisState& state;
    DialogScript timeSeriesDialog;
    DialogScript psdConfigDialog;
    ValueScript<SegmentChoice> selectSegmentDialog;
    ValueScript<int> runningAverageDialog;
    ValueScript<ExportChoice> exportPsdDialog;

    // Answers each progress report, as a window's Cancel would; an empty
    // one lets every step go on.
    ProgressCallback progressAnswer;

    // "dialog", "wait", "arrow", "message", "repaint", "cancelled", in the
    // order they came.
    std::vector<std::string> events;
    std::vector<std::string> messages;
    // Each progress report as "step fraction", kept apart from the events.
    std::vector<std::string> progressReports;
    // False once a message was shown while the record was not fit to be
    // drawn: a count beyond the series buffer, or a valid flag without a
    // spectrum buffer.
    bool consistentAtEveryMessage = true;

private:
    void runDialog(const DialogScript& script);
    template <typename Values> std::optional<Values> runDialog(const ValueScript<Values>& script)
    {
        events.push_back("dialog");
        return script ? script(state) : std::nullopt;
    }
};
