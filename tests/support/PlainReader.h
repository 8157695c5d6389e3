#pragma once

#include <string>

// The straightforward reading loop: one fscanf("%lf") per value through a
// C stream, in the "C" locale. The reference that the streaming reader must
// match sample for sample, bit for bit.

// Skips `headerTokens` tokens, then stores column `dataColumn` of `count`
// rows of `columnCount` values into series[1..count] (series[0] = 0).
// Returns 0 on success and 1 when the file cannot be opened or a row cannot
// be completed; `stored` receives the complete rows stored.
int plainReadTimeSeries(const std::string& fileName, int headerTokens, int columnCount,
    int dataColumn, unsigned count, float* series, unsigned& stored);

// Counts the complete groups of `columnCount` numbers after the header,
// up to the end of the file or the first token that is not a number.
// Returns 1 when the file cannot be opened.
int plainCountRows(const std::string& fileName, int headerTokens, int columnCount, unsigned& rows);
