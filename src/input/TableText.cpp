#include "input/TableText.h"

#include "input/ByteClasses.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::string_view MISSING = "nan";

} // namespace

// How many bytes from p are of no role but to be kept, found 16 at a time;
// the bytes that may have a role are white space, control bytes and the
// syntax's own marks.
std::size_t TableTextCleaner::plainRun(const char* p, const char* end) const
{
    const char* q = p;
#ifdef __SSE2__
    const __m128i space = _mm_set1_epi8(' ');
    while (end - q >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        __m128i marked = _mm_cmpeq_epi8(_mm_min_epu8(bytes, space), bytes);
        for (const __m128i& mark : m_marks)
            marked = _mm_or_si128(marked, _mm_cmpeq_epi8(bytes, mark));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(marked));
        if (mask != 0)
            return static_cast<std::size_t>(q - p)
                + static_cast<std::size_t>(std::countr_zero(mask));
        q += 16;
    }
#endif
    while (q < end && m_roles[static_cast<unsigned char>(*q)] == ByteRole::other)
        ++q;
    return static_cast<std::size_t>(q - p);
}

TableTextCleaner::TableTextCleaner(const TableSyntax& syntax)
{
#ifdef __SSE2__
    // Marks that are absent stand in as a blank, which is marked anyway.
    const char marks[] = { syntax.separator, syntax.separator != 0 ? '"' : ' ', syntax.comment,
        syntax.hasDecimalComma() ? ',' : ' ' };
    for (std::size_t i = 0; i < 4; ++i)
        m_marks[i] = _mm_set1_epi8(marks[i] != 0 ? marks[i] : ' ');
#endif
    for (int c = 0; c < 256; ++c)
        m_roles[c] = byteClasses::isSpace(static_cast<unsigned char>(c)) ? ByteRole::blank
                                                                         : ByteRole::other;
    m_roles[static_cast<unsigned char>('\n')] = ByteRole::lineEnd;
    if (syntax.hasDecimalComma())
        m_roles[static_cast<unsigned char>(',')] = ByteRole::decimalComma;
    if (syntax.separator != 0) {
        m_roles[static_cast<unsigned char>('"')] = ByteRole::quote;
        m_roles[static_cast<unsigned char>(syntax.separator)] = ByteRole::separator;
    }
    if (syntax.comment != 0)
        m_roles[static_cast<unsigned char>(syntax.comment)] = ByteRole::comment;
}

char* TableTextCleaner::endLine(char* o)
{
    if (m_lineHasSeparator && !m_fieldHasToken)
        o = std::copy(MISSING.begin(), MISSING.end(), o);
    m_inComment = false;
    m_inQuote = false;
    m_quoteMayClose = false;
    m_tokenStart = true;
    m_fieldHasToken = false;
    m_lineHasSeparator = false;
    return o;
}

void TableTextCleaner::feed(const char* p, const char* end, std::string& out)
{
    const std::size_t before = out.size();
    out.resize(before + roomFor(static_cast<std::size_t>(end - p)));
    char* const last = feed(p, end, out.data() + before);
    out.resize(static_cast<std::size_t>(last - out.data()));
}

char* TableTextCleaner::feed(const char* p, const char* end, char* o)
{
    for (; p < end; ++p) {
        if (!m_inComment && !m_inQuote) {
            const std::size_t run = plainRun(p, end);
            if (run > 0) {
                std::memcpy(o, p, run);
                o += run;
                p += run;
                m_tokenStart = false;
                m_fieldHasToken = true;
                if (p == end)
                    break;
            }
        }
        const char c = *p;
        const ByteRole role = m_roles[static_cast<unsigned char>(c)];
        if (role == ByteRole::other && !m_inComment && !m_inQuote) {
            *o++ = c;
            m_tokenStart = false;
            m_fieldHasToken = true;
            continue;
        }
        if (role == ByteRole::lineEnd) {
            o = endLine(o);
            *o++ = '\n';
            continue;
        }
        if (m_inComment)
            continue;
        if (m_inQuote) {
            if (!m_quoteMayClose) {
                if (c == '"') {
                    m_quoteMayClose = true;
                } else {
                    const bool apart = role == ByteRole::blank || role == ByteRole::separator;
                    *o++ = apart ? '_' : (role == ByteRole::decimalComma ? '.' : c);
                    m_fieldHasToken = true;
                }
                continue;
            }
            m_quoteMayClose = false;
            if (c == '"') {
                *o++ = '"';
                m_fieldHasToken = true;
                continue;
            }
            // The quote closed the field's quoted part; c is read as usual.
            m_inQuote = false;
        }
        switch (role) {
        case ByteRole::separator:
            if (!m_fieldHasToken)
                o = std::copy(MISSING.begin(), MISSING.end(), o);
            *o++ = ' ';
            m_lineHasSeparator = true;
            m_fieldHasToken = false;
            m_tokenStart = true;
            break;
        case ByteRole::blank:
            *o++ = c;
            m_tokenStart = true;
            break;
        case ByteRole::comment:
        case ByteRole::quote:
            if (m_tokenStart) {
                m_inComment = role == ByteRole::comment;
                m_inQuote = role == ByteRole::quote;
                m_tokenStart = m_inComment;
                break;
            }
            [[fallthrough]];
        default:
            *o++ = role == ByteRole::decimalComma ? '.' : c;
            m_tokenStart = false;
            m_fieldHasToken = true;
            break;
        }
    }
    return o;
}

void TableTextCleaner::finish(std::string& out)
{
    const std::size_t before = out.size();
    out.resize(before + roomFor(0));
    out.resize(static_cast<std::size_t>(finish(out.data() + before) - out.data()));
}

char* TableTextCleaner::finish(char* out)
{
    return endLine(out);
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
