#pragma once

// How the bytes of a table are cut into numbers besides white space. The
// default is a plain white-space table, read by the fast scan; any other
// syntax is read as the plain scan reads its cleaned text (see TableText.h).
struct TableSyntax {
    // A token that begins with it starts a comment to the line's end; 0 for
    // none.
    char comment = 0;
    // ',' ';' or '\t' between fields, beside blanks; 0 for none. With one,
    // quoted fields are single tokens and an empty field is a missing value.
    char separator = 0;
    // ',' inside a number is its decimal point; only with ';' as separator.
    bool decimalComma = false;

    bool hasDecimalComma() const { return decimalComma && separator == ';'; }
    bool plain() const { return comment == 0 && separator == 0; }
    bool operator==(const TableSyntax&) const = default;
};

// The comment markers offered, the first the usual one.
inline constexpr char COMMENT_MARKERS[] = { '#', '%', '!' };
inline constexpr char DEFAULT_COMMENT_MARKER = '#';

// False for a marker or separator the reader does not take.
inline bool syntaxAccepted(const TableSyntax& syntax)
{
    const char c = syntax.comment;
    const char s = syntax.separator;
    const bool commentKnown = c == 0 || c == '#' || c == '%' || c == '!';
    const bool separatorKnown = s == 0 || s == ',' || s == ';' || s == '\t';
    return commentKnown && separatorKnown;
}
