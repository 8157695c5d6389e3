#include "input/TableText.h"

#include "input/ByteClasses.h"

bool syntaxAccepted(const TableSyntax& syntax)
{
    const char c = syntax.comment;
    const char s = syntax.separator;
    const bool commentKnown = c == 0 || c == '#' || c == '%' || c == '!';
    const bool separatorKnown = s == 0 || s == ',' || s == ';' || s == '\t';
    return commentKnown && separatorKnown;
}

namespace {

constexpr std::string_view MISSING = "nan";

} // namespace

TableTextCleaner::TableTextCleaner(const TableSyntax& syntax)
    : m_comment(syntax.comment)
    , m_separator(syntax.separator)
    , m_decimalComma(syntax.hasDecimalComma())
{
}

void TableTextCleaner::endLine(std::string& out)
{
    if (m_lineHasSeparator && !m_fieldHasToken)
        out += MISSING;
    m_inComment = false;
    m_inQuote = false;
    m_quoteMayClose = false;
    m_tokenStart = true;
    m_fieldHasToken = false;
    m_lineHasSeparator = false;
}

void TableTextCleaner::feed(const char* p, const char* end, std::string& out)
{
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '\n') {
            endLine(out);
            out += '\n';
            continue;
        }
        if (m_inComment)
            continue;
        if (m_inQuote) {
            if (!m_quoteMayClose) {
                if (c == '"') {
                    m_quoteMayClose = true;
                } else {
                    const bool blank = byteClasses::isSpace(static_cast<unsigned char>(c));
                    out += blank || c == m_separator ? '_' : (m_decimalComma && c == ',' ? '.' : c);
                    m_fieldHasToken = true;
                }
                continue;
            }
            m_quoteMayClose = false;
            if (c == '"') {
                out += '"';
                m_fieldHasToken = true;
                continue;
            }
            // The quote closed the field's quoted part; c is read as usual.
            m_inQuote = false;
        }
        if (m_separator != 0 && c == m_separator) {
            if (!m_fieldHasToken)
                out += MISSING;
            out += ' ';
            m_lineHasSeparator = true;
            m_fieldHasToken = false;
            m_tokenStart = true;
        } else if (byteClasses::isSpace(static_cast<unsigned char>(c))) {
            out += c;
            m_tokenStart = true;
        } else if (m_tokenStart && m_comment != 0 && c == m_comment) {
            m_inComment = true;
        } else if (m_tokenStart && m_separator != 0 && c == '"') {
            m_inQuote = true;
            m_tokenStart = false;
        } else {
            out += m_decimalComma && c == ',' ? '.' : c;
            m_tokenStart = false;
            m_fieldHasToken = true;
        }
    }
}

void TableTextCleaner::finish(std::string& out)
{
    endLine(out);
}

std::string cleanTableText(std::string_view bytes, const TableSyntax& syntax)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    TableTextCleaner cleaner(syntax);
    cleaner.feed(bytes.data(), bytes.data() + bytes.size(), out);
    cleaner.finish(out);
    return out;
}
