#pragma once

#include "core/TableSyntax.h"

#include <QString>

#include <string>
#include <string_view>

// The lines the data dialog shows of a file.
inline constexpr int PREVIEW_LINES = 15;
inline constexpr int PREVIEW_LINE_LENGTH = 100;

// The fields' view of a table, as the preview marks it.
struct PreviewLayout {
    TableSyntax syntax;
    int headerTokens = 0;
    int columnCount = 1;
    int dataColumn = 1;
};

// The file's first bytes, no more than detection reads; empty when it
// cannot be read.
std::string readPreviewBytes(const std::string& fileName);

// The first lines of `bytes` as HTML, numbered and cut: the tokens the
// reader skips grey, the chosen column's tokens bold. A table of another
// syntax shows its cleaned text, whose tokens are the ones the reader takes.
QString tablePreviewHtml(std::string_view bytes, const PreviewLayout& layout);
