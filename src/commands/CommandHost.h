#pragma once

#include "commands/DialogValues.h"
#include "core/Progress.h"

#include <optional>
#include <string>
#include <string_view>

// When a command's estimate step runs. The window estimates at every
// command; welmo-psd, whose commands each replace the spectrum of the one
// before, defers all but the last. A DEFERRED step estimates only when the
// configuration does not fit (estimateFits), which fails before any
// transform with the message, status and record it always gives; one that
// fits counts as a success (the record keeps its spectrum), and allocates
// nothing, so it cannot run out of memory either.
enum class EstimateTiming { NOW, DEFERRED };

// What the command sequences need from a window system. CMainFrame
// implements it; tests play it with a scripted host and welmo-psd answers
// from its options. Each run...Dialog constructs its dialog from the record,
// runs it modally and hands back the values its OK took, or nothing after
// Cancel; the dialog changes nothing: the command writes the record, reads,
// cuts, smooths or exports.
struct CommandHost {
    virtual ~CommandHost() = default;
    // Get and Check counts through countRows (commands/Commands.h).
    virtual std::optional<TimeSeriesChoice> runTimeSeriesDialog() = 0;
    virtual std::optional<PsdChoice> runPsdConfigDialog() = 0;
    virtual std::optional<SegmentChoice> runSelectSegmentDialog() = 0;
    // The window length of the running average.
    virtual std::optional<int> runRunningAverageDialog() = 0;
    // Opened on the record's file name, level and time step.
    virtual std::optional<ExportChoice> runExportPsdDialog() = 0;
    virtual void message(const std::string& text) = 0; // "Welmo" warning box
    // A warning after which the command goes on; the window shows it as a
    // message.
    virtual void warning(const std::string& text) { message(text); }
    // A note on what the command did, for the status bar.
    virtual void statusMessage(const std::string& text) { (void)text; }
    virtual void waitCursor() = 0;
    virtual void arrowCursor() = 0;
    virtual void invalidateWindow() = 0; // repaint the whole window later
    // The command replaced the series or the spectrum: a zoom made on the
    // old ones gives way to the whole picture (never after a cancel).
    virtual void showWholePicture() { }
    // When the estimate of the command at hand runs.
    virtual EstimateTiming estimateTiming() { return EstimateTiming::NOW; }
    // A long step's progress (see core/Progress.h): shown at once, without
    // handling input, so the record is never seen half-changed. Returns
    // whether the step goes on; false asks it to stop.
    virtual bool progress(std::string_view step, double fraction)
    {
        (void)step;
        (void)fraction;
        return true;
    }
    // A command stopped because a step was asked to stop: the record and
    // every file are as they were before the command, and no message was
    // shown.
    virtual void cancelled() { }

    // progress() as the callback the numeric routines take.
    ProgressCallback progressCallback()
    {
        return [this](std::string_view step, double fraction) { return progress(step, fraction); };
    }
};
