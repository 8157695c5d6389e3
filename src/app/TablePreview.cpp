#include "app/TablePreview.h"

#include "input/LayoutDetection.h"
#include "input/TableText.h"

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
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    std::string bytes(DETECTION_BYTES, '\0');
    file.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(file.gcount()));
    return bytes;
}

QString tablePreviewHtml(std::string_view bytes, const PreviewLayout& layout)
{
    std::string cleaned;
    if (!layout.syntax.plain()) {
        cleaned = cleanTableText(bytes, layout.syntax);
        bytes = cleaned;
    }
    QString html = QStringLiteral("<pre>");
    long token = 0;
    std::size_t lineStart = 0;
    for (int number = 1; number <= PREVIEW_LINES && lineStart < bytes.size(); ++number) {
        std::size_t lineEnd = bytes.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = bytes.size();
        html += QStringLiteral("<span style=\"color:#808080\">%1 </span>").arg(number, 3);
        html += markedLine(bytes.substr(lineStart, lineEnd - lineStart), layout, token);
        html += QLatin1Char('\n');
        lineStart = lineEnd + 1;
    }
    html += QStringLiteral("</pre>");
    return html;
}
