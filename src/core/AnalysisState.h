#pragma once

#include "core/FloatBuffer.h"
#include "core/TableSyntax.h"

#include <cstdint>
#include <string>

// Where the rows read from the data file end, so that a follow reads only
// the bytes appended after them; rows 0 when no such place is known.
struct FollowMark {
    std::uint64_t offset = 0; // the start of the line where the rows end
    int numbersTaken = 0; // numbers of that line already in rows
    std::uint64_t device = 0; // the file's identity
    std::uint64_t inode = 0;
    std::uint64_t size = 0; // the file's size when last looked at
    unsigned rows = 0; // the rows before the mark

    bool operator==(const FollowMark&) const = default;
};

// Every value of the record but its two buffers: what a command's snapshot
// copies and a test compares, in one list.
struct RecordValues {
    // Input: file layout and series
    std::string dataFileName = "test.dat";
    int headerTokens = 0;
    int columnCount = 1;
    int dataColumn = 1;
    unsigned sampleCount = 0;
    unsigned loadedCount = 0;
    int isOriginal = 0;
    // Comments, separators and a decimal comma; the default is a plain
    // white-space table, read exactly as ever.
    TableSyntax tableSyntax;
    // Values that are not finite numbers: 0 refuses the series, 1 fills
    // each gap linearly between its finite neighbours.
    int fillGaps = 0;
    // The time between two samples, typed (timeColumn 0) or the median
    // step of column timeColumn, and the unit's name. Without a time step
    // (hasTimeStep 0) frequencies stay in cycles per sample.
    int hasTimeStep = 0;
    double timeStep = 1.0;
    int timeColumn = 0;
    std::string timeUnit;
    // Set by Retrieve Data when the rows read are the file's last ones.
    FollowMark followMark;

    // Spectrum parameters, in the order the estimator takes them
    int windowType = 1;
    int amplitudeOutput = 0;
    int extractAverage = 1;
    int psdSize = 1024;
    int dataShift = 0;
    int segmentCount = 1;
    int normalize = 1;
    int logOutput = 1;
    int maxPsdSize = 1024;
    int lbFrequencies = 16;
    int reallocatePsd = 1;

    // Results; psdValid is never set without a spectrum buffer.
    int psdValid = 0;
    int computeStatus = 0;
    double lbValue = 0.0;
    double peakFrequency = 0.0;
    double seriesMean = 0.0;
    double seriesMin = 0.0;
    double seriesMax = 0.0;
    double seriesStdDev = 0.0;

    // Display settings
    int autoScaleSignal = 1;
    int dottedSignal = 0;
    double signalMin = -1.0;
    double signalMax = 1.0;
    int logFrequency = 1;
    double minLogFrequency = -5.0;
    int colorLb = 1;
    int logPower = 1;
    double minLogPower = -12.0;
    double maxLogPower = 0.0;
    double maxNormalPower = 0.5;

    // Output and tools
    std::string psdFileName = "testPSD.dat";
    std::string editorCommand = "xdg-open";
    double exportDt = 1.0;
    double exportMinLog = -15.0;

    // Dialog hand-shake
    int dialogAccepted = 1;

    bool operator==(const RecordValues&) const = default;
};

// The one record of the program: every setting, the series, the spectrum
// and every result. Fields hold their start-up values from construction;
// resetAnalysisState sets its own subset at start-up.
struct AnalysisState : RecordValues {
    FloatBuffer series; // 1-based: sample i is entry i; entry 0 is no sample
    // Carries the length of the estimate that filled it, which can differ
    // from psdSize after a failed read.
    FloatBuffer psd;
};

// The program's single record.
AnalysisState& analysisState();

// Start-up reset: run once, after the window exists and before it paints.
void resetAnalysisState(AnalysisState& state);

// Gives `series` exactly n+1 entries. Returns 0 on success, 1 on failure
// (the record then holds no series buffer).
int allocateSeries(AnalysisState& state, unsigned n);
