#include "app/TablePreview.h"

#include "input/LayoutDetection.h"
#include "input/TableText.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Marks a line's tokens; `token` counts every token of the table so far.
QString markedLine(std::string_view line, const PreviewLayout& layout, long& token)
{
    QString html;
    std::size_t shown = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t start = i;
        const bool blank = isBlank(line[i]);
        while (i < line.size() && isBlank(line[i]) == blank)
            ++i;
        if (shown >= PREVIEW_LINE_LENGTH) {
            if (!blank)
                ++token;
            continue;
        }
        const std::size_t length = std::min(i - start, PREVIEW_LINE_LENGTH - shown);
        shown += length;
        const QString text
            = QString::fromUtf8(line.data() + start, qsizetype(length)).toHtmlEscaped();
        if (blank) {
            html += text;
            continue;
        }
        const long dataToken = token - layout.headerTokens;
        ++token;
        if (dataToken < 0)
            html += QStringLiteral("<span style=\"color:#999999\">%1</span>").arg(text);
        else if (layout.columnCount > 0 && dataToken % layout.columnCount == layout.dataColumn - 1)
            html += QStringLiteral("<b style=\"color:#0040c0\">%1</b>").arg(text);
        else
            html += text;
    }
    if (line.size() > shown && shown >= PREVIEW_LINE_LENGTH)
        html += QStringLiteral(" ...");
    return html;
}

} // namespace

std::string readPreviewBytes(const std::string& fileName)
{
    // A pipe or device would hold the dialog while the user types.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        return {};
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    std::string bytes(DETECTION_BYTES, '\0');
    file.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(file.gcount()));
    return bytes;
}

namespace {

// The next line of `text` from `start`, which moves past it.
std::string_view nextLine(std::string_view text, std::size_t& start)
{
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
        end = text.size();
    const std::string_view line = start < text.size() ? text.substr(start, end - start) : "";
    start = end + 1;
    return line;
}

bool allBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), isBlank);
}

} // namespace

QString tablePreviewHtml(std::string_view bytes, const PreviewLayout& layout)
{
    const bool plain = layout.syntax.plain();
    const std::string cleaned = plain ? std::string() : cleanTableText(bytes, layout.syntax);
    const std::string_view tokens = plain ? bytes : std::string_view(cleaned);
    QString html = QStringLiteral("<pre>");
    long token = 0;
    std::size_t rawStart = 0;
    std::size_t tokenStart = 0;
    for (int number = 1; number <= PREVIEW_LINES && rawStart < bytes.size(); ++number) {
        const std::string_view raw = nextLine(bytes, rawStart);
        const std::string_view line = nextLine(tokens, tokenStart);
        html += QStringLiteral("<span style=\"color:#808080\">%1 </span>").arg(number, 3);
        // A line that is all comment shows what it says, as not data.
        if (!plain && allBlank(line) && !allBlank(raw)) {
            const std::string_view shown = raw.substr(0, PREVIEW_LINE_LENGTH);
            html += QStringLiteral("<i style=\"color:#999999\">%1</i>")
                        .arg(QString::fromUtf8(shown.data(), qsizetype(shown.size()))
                                 .toHtmlEscaped());
        } else {
            html += markedLine(line, layout, token);
        }
        html += QLatin1Char('\n');
    }
    html += QStringLiteral("</pre>");
    return html;
}
