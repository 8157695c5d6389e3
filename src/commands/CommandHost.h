#pragma once

#include "core/Progress.h"

#include <string>
#include <string_view>

// What the command sequences need from a window system. CMainFrame
// implements it; tests play it with a scripted host. Each run...Dialog
// constructs its dialog from the record and runs it modally; the dialog's
// OK writes the record (and, for the segment and running-average dialogs,
// edits the series).
struct CommandHost {
    virtual ~CommandHost() = default;
    virtual void runTimeSeriesDialog() = 0;
    virtual void runPsdConfigDialog() = 0;
    virtual void runSelectSegmentDialog() = 0;
    virtual void runRunningAverageDialog() = 0;
    virtual void message(const std::string& text) = 0; // "Welmo" warning box
    virtual void waitCursor() = 0;
    virtual void arrowCursor() = 0;
    virtual void invalidateWindow() = 0; // repaint the whole window later
    // A long step's progress (see core/Progress.h): shown at once, without
    // handling input, so the record is never seen half-changed.
    virtual void progress(std::string_view step, double fraction)
    {
        (void)step;
        (void)fraction;
    }

    // progress() as the callback the numeric routines take.
    ProgressCallback progressCallback()
    {
        return [this](std::string_view step, double fraction) { progress(step, fraction); };
    }
};
