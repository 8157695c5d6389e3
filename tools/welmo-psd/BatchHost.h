#pragma once

#include "BatchOptions.h"

#include "commands/CommandHost.h"
#include "core/AnalysisState.h"

#include <string>

// The command sequences' window system for welmo-psd: the data dialog's OK
// takes the layout from the options (counting the rows unless they were
// given), the configuration dialog's OK takes the PSD size and shift, and
// the first message is kept for the exit status.
class BatchHost : public CommandHost {
public:
    BatchHost(const BatchOptions& options, AnalysisState& state);

    void runTimeSeriesDialog() override;
    void runPsdConfigDialog() override;
    void runSelectSegmentDialog() override { }
    void runRunningAverageDialog() override { }
    void message(const std::string& text) override;
    void waitCursor() override { }
    void arrowCursor() override { }
    void invalidateWindow() override { }

    bool failed() const { return !m_firstMessage.empty(); }
    const std::string& firstMessage() const { return m_firstMessage; }

private:
    const BatchOptions& m_options;
    AnalysisState& m_state;
    std::string m_firstMessage;
};
