#pragma once

// Consecutive points of a curve that fall into one device column, told by
// the y of their first and last point and their lowest and highest y:
// all that the drawing of the column depends on.
struct ColumnRun {
    int x = 0;
    int first = 0;
    int last = 0;
    int low = 0;
    int high = 0;
    bool single = true; // one point only
    friend bool operator==(const ColumnRun&, const ColumnRun&) = default;
};
