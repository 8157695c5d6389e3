#pragma once

#include <string>

// The values an accepted dialog hands back. The dialog has validated them
// field by field; the command that ran it does the work with them.

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
