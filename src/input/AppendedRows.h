#pragma once

#include "core/AnalysisState.h"
#include "core/FloatBuffer.h"
#include "core/Progress.h"

// Reading a data file that grows: the rows read so far end at a mark
// (core/AnalysisState.h), and a look at the file reads only the bytes after
// it. Rows are formed by counting, as the reader forms them, and only
// whole lines are read: a last line without its line end waits for the
// next look.

// The mark of the `sampleCount` rows just read (the layout fields of
// `record`, its syntax and its series), found in the file's last lines:
// each must hold a row, and the last rows' kept values must be the
// series' last samples. False, with `mark` cleared, when the file cannot
// be read or its last lines are not the rows read (a row count that left
// rows unread, rows that do not keep to lines).
bool markRowsRead(const AnalysisState& record, FollowMark& mark);

// What a look at the file found.
enum class FileChange {
    NONE, // no complete row was appended
    APPENDED, // `samples` holds the new rows
    SHORTER, // the file lost bytes
    REPLACED, // another file has the name now
    UNREADABLE, // the file cannot be opened
    NO_MEMORY,
    CANCELLED, // the progress asked to stop
};

struct AppendedRows {
    FileChange change = FileChange::NONE;
    FloatBuffer samples; // 1-based, the kept value of each new row
    std::uint64_t rows = 0;
    FollowMark mark; // the mark after them
};

// Reads the complete rows appended to the layout's file after `mark`:
// the bytes from mark.offset to the last line end, with the record's
// syntax and columns. Progress as PROGRESS_READ, by bytes.
AppendedRows readAppendedRows(
    const AnalysisState& layout, const FollowMark& mark, const ProgressCallback& progress = {});
