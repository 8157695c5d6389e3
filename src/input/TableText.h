#pragma once

#include "core/TableSyntax.h"

#include <cstddef>
#include <string>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The white-space table that a table of another syntax stands for, made
// line by line as the bytes come, so that a file is cleaned in pieces cut
// anywhere. Comments go (their line end stays); a separator becomes a
// blank; an empty field becomes the token "nan"; a quoted field becomes
// one token, its quotes dropped ("" inside stands for one quote) and its
// blanks and separators made '_'; a decimal comma becomes a point. A quote
// opens a field only at a token's start and ends at the line's end at the
// latest. Every other byte is kept, so numbers convert from the same
// characters.
class TableTextCleaner {
public:
    explicit TableTextCleaner(const TableSyntax& syntax);

    // Appends the cleaned form of the next bytes to `out`.
    void feed(const char* begin, const char* end, std::string& out);
    // Ends the data: a last field left empty is a missing value too.
    void finish(std::string& out);

    // The same into memory of the caller's, with room for roomFor(bytes)
    // (finish: roomFor(0)); they return the end of what they wrote.
    static constexpr std::size_t roomFor(std::size_t bytes) { return 4 * bytes + 3; }
    char* feed(const char* begin, const char* end, char* out);
    char* finish(char* out);

private:
    enum class ByteRole : unsigned char {
        other,
        blank,
        lineEnd,
        separator,
        comment,
        quote,
        decimalComma
    };

    char* endLine(char* out);
    std::size_t plainRun(const char* p, const char* end) const;

    ByteRole m_roles[256];
#ifdef __SSE2__
    __m128i m_marks[4];
#endif
    bool m_inComment = false;
    bool m_inQuote = false;
    bool m_quoteMayClose = false;
    bool m_tokenStart = true;
    bool m_fieldHasToken = false;
    bool m_lineHasSeparator = false;
};

// The whole cleaned text of `bytes`.
std::string cleanTableText(std::string_view bytes, const TableSyntax& syntax);
