#pragma once

// The ranges the dialogs accept and welmo-psd checks alike.

// "Data Raws" of the data dialog.
inline constexpr unsigned MAX_DATA_ROWS = 69306016;
// "Number of columns" and "Column for processing"; the reader holds a row
// of at most this many values.
inline constexpr int MIN_COLUMNS = 1;
inline constexpr int MAX_COLUMNS = 100;
// PSD configuration. The PSD size M is a power of two; the dialog and
// welmo-psd take no size below 2, and 2M complex points must fit the
// transform's int length.
inline constexpr int MIN_PSD_SIZE = 2;
inline constexpr int MAX_PSD_SIZE = 1 << 29;
inline constexpr int MIN_SEGMENTS = 1;
inline constexpr int MAX_SEGMENTS = 10000;
inline constexpr int MIN_DATA_SHIFT = 0;
// A shift as long as the longest series the reader takes: "auto" spreads
// segments over all of it.
inline constexpr int MAX_DATA_SHIFT = static_cast<int>(MAX_DATA_ROWS);
inline constexpr int MIN_LB_FREQUENCIES = 2;
inline constexpr int MAX_LB_FREQUENCIES = 1000000;
inline constexpr double MIN_LB_RATIO = 0.0001;
inline constexpr double MAX_LB_RATIO = 50.0;

// The lowest LB ratio at PSD size M: MIN_LB_RATIO, or less where M is so
// large that the fewest LB frequencies make a smaller percentage.
constexpr double lowestLbRatio(long long psdSize)
{
    const long long size = psdSize > MAX_PSD_SIZE ? MAX_PSD_SIZE : psdSize;
    if (size < MIN_PSD_SIZE)
        return MIN_LB_RATIO;
    const double fewest = MIN_LB_FREQUENCIES * 100.0 / static_cast<double>(size);
    return fewest < MIN_LB_RATIO ? fewest : MIN_LB_RATIO;
}
// Running average window.
inline constexpr int MIN_AVERAGE_WINDOW = 2;
inline constexpr int MAX_AVERAGE_WINDOW = 1000;
// Lowest level of the export.
inline constexpr double MIN_EXPORT_LEVEL = -30.0;
inline constexpr double MAX_EXPORT_LEVEL = 0.0;

// 1, 2, 4, 8, ...
constexpr bool isPowerOfTwo(long long value)
{
    return value >= 1 && (value & (value - 1)) == 0;
}

// A PSD size the dialog and welmo-psd take as typed.
constexpr bool isPsdSizeChoice(long long size)
{
    return size >= MIN_PSD_SIZE && size <= MAX_PSD_SIZE && isPowerOfTwo(size);
}
