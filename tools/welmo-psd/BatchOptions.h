#pragma once

#include "core/TableSyntax.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// An edit of the series, as the Select Segment and Running Average
// commands make it: samples from..to (1-based, inclusive), or the running
// average of `window` samples.
struct SeriesEdit {
    enum Kind { SELECT_SEGMENT, RUNNING_AVERAGE };
    Kind kind = SELECT_SEGMENT;
    int from = 1;
    int to = 0;
    int window = 2;
};

// A spectrum to draw beneath the run's own: FILE, read with the run's
// layout and configuration, and its column (the run's without one).
struct ReferenceFile {
    std::string file;
    std::optional<int> column;
};

// The command line of welmo-psd. Unset optionals take the record's start-up
// values or, for the PSD size and the row count, what the data allow.
struct BatchOptions {
    std::vector<std::string> dataFiles;
    // The file of the run at hand (the first one after parsing).
    std::string dataFile;
    int headerTokens = 0;
    int columnCount = 1;
    int dataColumn = 1;
    // The layout that detection finds on each file, where --header-tokens,
    // --columns, --comment and --separator gave none.
    bool detect = false;
    bool headerTokensGiven = false;
    bool columnCountGiven = false;
    TableSyntax syntax;
    bool commentGiven = false;
    bool separatorGiven = false;
    int fillGaps = 0;
    // The time step: --dt, or the median step of column timeColumn (> 0).
    int timeColumn = 0;
    std::string timeUnit;
    bool dtGiven = false;
    std::optional<unsigned> rows;
    std::optional<int> psdSize;
    int segmentCount = 1;
    int dataShift = 0;
    bool autoShift = false;
    int windowType = 1;
    int normalize = 1;
    int lbFrequencies = 16;
    std::optional<std::string> output;
    bool normalScales = false;
    double dt = 1.0;
    double minLevel = -15.0;
    std::optional<std::string> renderFile;
    int renderWidth = 800;
    int renderHeight = 600;
    bool sizeGiven = false;
    // Applied after the read, in the order given.
    std::vector<SeriesEdit> edits;
    // The rendered picture's axes and zoom (frequency in cycles per sample,
    // power in the units the power axis draws).
    bool axes = false;
    std::optional<std::pair<double, double>> frequencyRange;
    std::optional<std::pair<double, double>> powerRange;
    std::vector<ReferenceFile> references;
    // --follow: the seconds between two looks at the one file.
    std::optional<double> followSeconds;
    bool help = false;
    bool version = false;
};

// Parses argv. Returns false with a one-line reason naming the option and
// its accepted range.
bool parseBatchOptions(int argc, char** argv, BatchOptions& options, std::string& error);

// Whether --column and --time-column lie within the rows' columns; false
// with a one-line reason.
bool checkColumns(const BatchOptions& options, std::string& error);

std::string batchUsage();
