#pragma once

#include "core/TableSyntax.h"

#include <optional>
#include <string>

// The values an accepted dialog hands back. The dialog has validated them
// field by field; the command that ran it does the work with them.

// "Time Series Data": the file, the layout of its table and the rows to
// read. Without a row count every complete row is read, in one pass (what
// welmo-psd asks for when no count was given).
struct TimeSeriesChoice {
    std::string dataFileName;
    int headerTokens = 0;
    int columnCount = 1;
    int dataColumn = 1;
    std::optional<unsigned> rows;
    TableSyntax tableSyntax;
    int fillGaps = 0;
    int hasTimeStep = 0;
    double timeStep = 1.0;
    int timeColumn = 0;
    std::string timeUnit;
};

// "PSD configuration": the estimator's settings, the size already within
// the largest the dialog allowed.
struct PsdChoice {
    int psdSize, maxPsdSize, dataShift, segmentCount, windowType, lbFrequencies, normalize;
};

// "Select Data Segment": the first and last sample to keep, as typed. Only
// the command knows whether they lie within the series.
struct SegmentChoice {
    int from = 1;
    int to = 0;
};

// "Export Psd file": where and how to write the spectrum.
struct ExportChoice {
    std::string psdFileName;
    double minLog = -15.0;
    bool normalScales = false;
    double dt = 1.0;
};
