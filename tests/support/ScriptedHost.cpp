#include "support/ScriptedHost.h"

std::optional<AnalysisState> ScriptedHost::runDialog(const DialogScript& script)
{
    events.push_back("dialog");
    AnalysisState fields;
    static_cast<RecordValues&>(fields) = state;
    if (!script || !script(fields))
        return std::nullopt;
    return fields;
}

std::optional<TimeSeriesChoice> ScriptedHost::runTimeSeriesDialog()
{
    const std::optional<AnalysisState> f = runDialog(timeSeriesDialog);
    if (!f)
        return std::nullopt;
    TimeSeriesChoice choice { .dataFileName = f->dataFileName,
        .headerTokens = f->headerTokens,
        .columnCount = f->columnCount,
        .dataColumn = f->dataColumn,
        .rows = everyRow ? std::nullopt : std::optional<unsigned>(f->sampleCount),
        .tableSyntax = f->tableSyntax,
        .fillGaps = f->fillGaps,
        .hasTimeStep = f->hasTimeStep,
        .timeStep = f->timeStep,
        .timeColumn = f->timeColumn,
        .timeUnit = f->timeUnit };
    return choice;
}

std::optional<PsdChoice> ScriptedHost::runPsdConfigDialog()
{
    const std::optional<AnalysisState> f = runDialog(psdConfigDialog);
    if (!f)
        return std::nullopt;
    return PsdChoice { f->psdSize, f->maxPsdSize, f->dataShift, f->segmentCount, f->windowType,
        f->lbFrequencies, f->normalize };
}

std::optional<SegmentChoice> ScriptedHost::runSelectSegmentDialog()
{
    return runDialog(selectSegmentDialog);
}

std::optional<int> ScriptedHost::runRunningAverageDialog()
{
    return runDialog(runningAverageDialog);
}

std::optional<ExportChoice> ScriptedHost::runExportPsdDialog()
{
    return runDialog(exportPsdDialog);
}

void ScriptedHost::message(const std::string& text)
{
    events.push_back("message");
    messages.push_back(text);
    const bool seriesCovered = state.sampleCount == 0
        || state.series.size() >= static_cast<std::size_t>(state.sampleCount) + 1;
    const bool spectrumPresent = !state.psdValid || !state.psd.empty();
    if (!seriesCovered || !spectrumPresent)
        consistentAtEveryMessage = false;
}

void ScriptedHost::waitCursor()
{
    events.push_back("wait");
}

void ScriptedHost::arrowCursor()
{
    events.push_back("arrow");
}

void ScriptedHost::invalidateWindow()
{
    events.push_back("repaint");
}

void ScriptedHost::clearRecord()
{
    events.clear();
    messages.clear();
    statusMessages.clear();
    progressReports.clear();
    consistentAtEveryMessage = true;
}

void ScriptedHost::cancelled()
{
    events.push_back("cancelled");
}

bool ScriptedHost::progress(std::string_view step, double fraction)
{
    if (fraction == 0.0 || fraction == 1.0)
        progressReports.push_back(std::string(step) + (fraction == 0.0 ? " 0" : " 1"));
    else
        progressReports.push_back(std::string(step) + " part");
    return !progressAnswer || progressAnswer(step, fraction);
}
