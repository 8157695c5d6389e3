#pragma once

#include "core/TableSyntax.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The bytes of a file that detection looks at, whatever the file's size.
inline constexpr std::size_t DETECTION_BYTES = std::size_t(1) << 16;

// What the first bytes of a file say about its table.
struct DetectedLayout {
    bool found = false; // rows of numbers were found
    int headerLines = 0; // lines before the rows that hold tokens
    int headerTokens = 0; // "Data Starting Raw": those lines' tokens
    int columnCount = 0;
    // The last header line's names, one for each column; empty when that
    // line does not name every column.
    std::vector<std::string> columnNames;
    TableSyntax syntax; // the plain syntax unless the file needs another
    // One line for the user, such as "1 header line (2 tokens), 2 columns".
    std::string description;
};

// The layout of the table that `bytes` begin; `cut` says that the file goes
// on after them, so that their last line may be incomplete.
DetectedLayout detectLayout(std::string_view bytes, bool cut);

// detectLayout on the first DETECTION_BYTES of the file. False when the
// file cannot be read.
bool detectFileLayout(const std::string& fileName, DetectedLayout& layout);
