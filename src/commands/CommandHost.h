#pragma once

#include "commands/DialogValues.h"
#include "core/Progress.h"

#include <optional>
#include <string>
#include <string_view>

// What the command sequences need from a window system. CMainFrame
// implements it; tests play it with a scripted host and welmo-psd answers
// from its options. Each run...Dialog constructs its dialog from the record
// and runs it modally. The data and configuration dialogs' OK writes the
// record fields they edit and raises dialogAccepted; the others hand back
// their accepted values, or nothing after Cancel, and change nothing: the
// command cuts, smooths or writes.
struct CommandHost {
    virtual ~CommandHost() = default;
    virtual void runTimeSeriesDialog() = 0;
    virtual void runPsdConfigDialog() = 0;
    virtual std::optional<SegmentChoice> runSelectSegmentDialog() = 0;
    // The window length of the running average.
    virtual std::optional<int> runRunningAverageDialog() = 0;
    // Opened on the record's file name, level and time step.
    virtual std::optional<ExportChoice> runExportPsdDialog() = 0;
    virtual void message(const std::string& text) = 0; // "Welmo" warning box
    virtual void waitCursor() = 0;
    virtual void arrowCursor() = 0;
    virtual void invalidateWindow() = 0; // repaint the whole window later
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

    // Whether the data dialog just accepted has read the series into the
    // record itself, so that Retrieve Data need not read the file again.
    // Asked once after each accepted data dialog.
    virtual bool seriesReadByDialog() { return false; }
};
