#pragma once

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"

#include <functional>
#include <string>
#include <vector>

// A CommandHost for tests. Each dialog plays a script on the record and
// every dialog, cursor change, message and repaint is recorded in order.
struct ScriptedHost : CommandHost {
    // Edits the record as the dialog's OK would and returns true for OK,
    // false for Cancel. A dialog without a script is cancelled.
    using DialogScript = std::function<bool(AnalysisState&)>;

    explicit ScriptedHost(AnalysisState& state)
        : state(state)
    {
    }

    void runTimeSeriesDialog() override;
    void runPsdConfigDialog() override;
    void runSelectSegmentDialog() override;
    void runRunningAverageDialog() override;
    void message(const std::string& text) override;
    void waitCursor() override;
    void arrowCursor() override;
    void invalidateWindow() override;
    void progress(std::string_view step, double fraction) override;

    // Forgets what was recorded so far; the scripts stay.
    void clearRecord();

    AnalysisState& state;
    DialogScript timeSeriesDialog;
    DialogScript psdConfigDialog;
    DialogScript selectSegmentDialog;
    DialogScript runningAverageDialog;

    // "dialog", "wait", "arrow", "message", "repaint", in the order they came.
    std::vector<std::string> events;
    std::vector<std::string> messages;
    // Each progress report as "step fraction", kept apart from the events.
    std::vector<std::string> progressReports;
    // False once a message was shown while the record was not fit to be
    // drawn: a count beyond the series buffer, or a valid flag without a
    // spectrum buffer.
    bool consistentAtEveryMessage = true;

private:
    void runDialog(const DialogScript& script, bool raisesAccepted);
};
