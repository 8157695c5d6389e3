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
    // Edits a copy of the record's values as the dialog's fields would be
    // filled and returns true for OK, false for Cancel; OK hands back the
    // copy's values. A dialog without a script is cancelled.
    using DialogScript = std::function<bool(AnalysisState&)>;
    // Returns the values the dialog's OK would hand back, or nothing for
    // Cancel; it sees the record as the dialog would open on it.
    template <typename Values>
    using ValueScript = std::function<std::optional<Values>(const AnalysisState&)>;

    explicit ScriptedHost(AnalysisState& state)
        : state(state)
    {
    }

    std::optional<TimeSeriesChoice> runTimeSeriesDialog() override;
    std::optional<PsdChoice> runPsdConfigDialog() override;
    std::optional<SegmentChoice> runSelectSegmentDialog() override;
    std::optional<int> runRunningAverageDialog() override;
    std::optional<ExportChoice> runExportPsdDialog() override;
    void message(const std::string& text) override;
    void waitCursor() override;
    void arrowCursor() override;
    void invalidateWindow() override;
    void showWholePicture() override { ++wholePictures; }
    void statusMessage(const std::string& text) override { statusMessages.push_back(text); }
    EstimateTiming estimateTiming() override { return timing; }
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

    // The data dialog hands back no row count: every complete row is read.
    bool everyRow = false;
    // The timing every estimate step is given.
    EstimateTiming timing = EstimateTiming::NOW;
    // How often a command asked for the whole picture.
    int wholePictures = 0;

    // Answers each progress report, as a window's Cancel would; an empty
    // one lets every step go on.
    ProgressCallback progressAnswer;

    // "dialog", "wait", "arrow", "message", "repaint", "cancelled", in the
    // order they came.
    std::vector<std::string> events;
    std::vector<std::string> messages;
    // The status bar's notes, apart from the events.
    std::vector<std::string> statusMessages;
    // Each progress report as "step fraction", kept apart from the events.
    std::vector<std::string> progressReports;
    // False once a message was shown while the record was not fit to be
    // drawn: a count beyond the series buffer, or a valid flag without a
    // spectrum buffer.
    bool consistentAtEveryMessage = true;

private:
    // The record's values as the script left them, or nothing for Cancel.
    std::optional<AnalysisState> runDialog(const DialogScript& script);
    template <typename Values> std::optional<Values> runDialog(const ValueScript<Values>& script)
    {
        events.push_back("dialog");
        return script ? script(state) : std::nullopt;
    }
};
