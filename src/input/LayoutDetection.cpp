#include "input/LayoutDetection.h"

#include "core/Limits.h"
#include "input/ByteClasses.h"
#include "input/ByteStream.h"
#include "input/NumberScanner.h"
#include "input/TableText.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

// Data lines after the first that must be rows of as many numbers, so that
// a header line of numbers alone (a year, a count) is not taken for data.
constexpr int CONFIRMING_LINES = 3;
// Data lines whose token counts decide the columns.
constexpr int COUNTED_LINES = 50;

bool isSpaceByte(char c)
{
    return byteClasses::isSpace(static_cast<unsigned char>(c));
}

std::vector<std::string_view> tokensOf(std::string_view line)
{
    std::vector<std::string_view> tokens;
    std::size_t p = 0;
    while (p < line.size()) {
        while (p < line.size() && isSpaceByte(line[p]))
            ++p;
        const std::size_t start = p;
        while (p < line.size() && !isSpaceByte(line[p]))
            ++p;
        if (p > start)
            tokens.push_back(line.substr(start, p - start));
    }
    return tokens;
}

// Whether the reader converts the whole token as one number.
bool isNumber(std::string_view token)
{
    std::string padded(token);
    padded.append(ByteStream::PADDING, '\0');
    ByteStream stream(padded.data(), padded.data() + token.size());
    double value = 0.0;
    return readNumber(stream, value) && stream.cursor() == stream.limit();
}

std::vector<std::string_view> linesOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct Line {
    std::size_t tokens = 0;
    bool numbers = false; // all tokens numbers, at least one
};

// A line that holds the separator holds one number a field: "1,5 2,5" is
// no row of comma-separated fields but one of decimal commas.
bool oneNumberPerField(std::string_view line, char separator)
{
    if (separator == 0 || line.find(separator) == std::string_view::npos)
        return true;
    bool inToken = false;
    bool blankAfterToken = false;
    for (const char c : line) {
        if (c == separator) {
            inToken = blankAfterToken = false;
        } else if (isSpaceByte(c)) {
            blankAfterToken = blankAfterToken || inToken;
        } else {
            if (blankAfterToken)
                return false;
            inToken = true;
        }
    }
    return true;
}

// The table that one syntax makes of the text.
struct Reading {
    TableSyntax syntax;
    bool found = false;
    std::size_t dataLine = 0;
    int headerLines = 0;
    std::uint64_t headerTokens = 0;
    int columns = 0;
    int rows = 0; // data lines of `columns` numbers: the reading's score
    int lastHeaderLine = -1;
};

Reading readAs(const std::vector<std::string_view>& rawLines, const TableSyntax& syntax)
{
    Reading reading;
    reading.syntax = syntax;
    std::vector<Line> lines;
    for (std::string_view raw : rawLines) {
        const std::string clean = cleanTableText(raw, syntax);
        const std::vector<std::string_view> tokens = tokensOf(clean);
        Line line;
        line.tokens = tokens.size();
        line.numbers = !tokens.empty() && std::all_of(tokens.begin(), tokens.end(), isNumber)
            && oneNumberPerField(raw, syntax.separator);
        lines.push_back(line);
    }
    // The first row of numbers that the next rows confirm.
    std::size_t start = 0;
    for (; start < lines.size(); ++start) {
        if (!lines[start].numbers)
            continue;
        int confirmed = 0;
        bool broken = false;
        for (std::size_t i = start + 1; i < lines.size() && confirmed < CONFIRMING_LINES; ++i) {
            if (lines[i].tokens == 0)
                continue;
            if (!lines[i].numbers || lines[i].tokens != lines[start].tokens) {
                broken = true;
                break;
            }
            ++confirmed;
        }
        if (!broken)
            break;
    }
    if (start == lines.size())
        return reading;
    std::map<std::size_t, int> counts;
    int counted = 0;
    for (std::size_t i = start; i < lines.size() && counted < COUNTED_LINES; ++i) {
        if (lines[i].numbers) {
            ++counts[lines[i].tokens];
            ++counted;
        }
    }
    const auto mode = std::max_element(counts.begin(), counts.end(),
        [](const auto& a, const auto& b) { return a.second < b.second; });
    reading.found = true;
    reading.dataLine = start;
    reading.columns = static_cast<int>(std::min<std::size_t>(mode->first, MAX_COLUMNS + 1));
    for (std::size_t i = 0; i < start; ++i) {
        if (lines[i].tokens == 0)
            continue;
        ++reading.headerLines;
        reading.headerTokens += lines[i].tokens;
        reading.lastHeaderLine = static_cast<int>(i);
    }
    for (std::size_t i = start; i < lines.size(); ++i)
        reading.rows += lines[i].numbers && lines[i].tokens == mode->first;
    return reading;
}

// A comment marker that the text uses: one that begins a line, or a token
// after the numbers of a line.
char commentMarkerOf(const std::vector<std::string_view>& lines)
{
    for (std::string_view line : lines) {
        for (std::string_view token : tokensOf(line)) {
            const char* marker
                = std::find(std::begin(COMMENT_MARKERS), std::end(COMMENT_MARKERS), token.front());
            if (marker != std::end(COMMENT_MARKERS))
                return *marker;
            if (!isNumber(token))
                break;
        }
    }
    return 0;
}

bool hasDecimalCommas(const std::vector<std::string_view>& lines)
{
    for (std::string_view line : lines) {
        for (std::size_t i = 1; i + 1 < line.size(); ++i) {
            if (line[i] == ',' && byteClasses::isDigit(static_cast<unsigned char>(line[i - 1]))
                && byteClasses::isDigit(static_cast<unsigned char>(line[i + 1])))
                return true;
        }
    }
    return false;
}

// The fields of a header line, unquoted, as names.
std::vector<std::string> namesOf(std::string_view line, const TableSyntax& syntax)
{
    std::vector<std::string> names;
    if (syntax.separator == 0) {
        for (std::string_view token : tokensOf(line)) {
            if (syntax.comment != 0 && token.front() == syntax.comment)
                break;
            names.emplace_back(token);
        }
        return names;
    }
    std::string name;
    bool quoted = false;
    bool any = false;
    auto close = [&] {
        const auto first = name.find_first_not_of(" \t\r");
        const auto last = name.find_last_not_of(" \t\r");
        names.push_back(first == std::string::npos ? "" : name.substr(first, last - first + 1));
        name.clear();
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        any = true;
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                name += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                name += c;
            }
        } else if (c == '"' && name.find_first_not_of(" \t") == std::string::npos) {
            quoted = true;
        } else if (c == syntax.separator) {
            close();
        } else if (syntax.comment != 0 && c == syntax.comment
            && (name.empty() || isSpaceByte(name.back()))) {
            break;
        } else {
            name += c;
        }
    }
    if (any)
        close();
    return names;
}

// Without a header line the names often stand in the comment line just
// before the rows: its text after the marker.
std::string_view lastCommentBefore(
    const std::vector<std::string_view>& lines, std::size_t end, char marker)
{
    for (std::size_t i = end; i-- > 0;) {
        const std::size_t first = lines[i].find_first_not_of(" \t\r");
        if (first == std::string_view::npos)
            continue;
        if (lines[i][first] == marker)
            return lines[i].substr(first + 1);
        break;
    }
    return {};
}

bool looksBinary(std::string_view bytes)
{
    std::size_t control = 0;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0)
            return true;
        control += u < 0x20 && !isSpaceByte(c);
    }
    return control * 20 > bytes.size();
}

std::string plural(long long n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string describe(const DetectedLayout& layout)
{
    std::string text;
    if (layout.headerLines == 0)
        text = "no header line";
    else
        text = plural(layout.headerLines, "header line", "header lines") + " ("
            + plural(layout.headerTokens, "token", "tokens") + ")";
    text += ", " + plural(layout.columnCount, "column", "columns");
    if (layout.syntax.comment != 0)
        text += std::string(", comments after '") + layout.syntax.comment + "'";
    if (layout.syntax.separator == '\t')
        text += ", tab separated";
    else if (layout.syntax.separator != 0)
        text += std::string(", separated by '") + layout.syntax.separator + "'";
    if (layout.syntax.hasDecimalComma())
        text += ", decimal comma";
    return text;
}

} // namespace

DetectedLayout detectLayout(std::string_view bytes, bool cut)
{
    DetectedLayout layout;
    bytes = bytes.substr(0, DETECTION_BYTES);
    if (looksBinary(bytes)) {
        layout.description = "not a text file";
        return layout;
    }
    if (cut) {
        const std::size_t lastEnd = bytes.rfind('\n');
        bytes = bytes.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
    }
    const std::vector<std::string_view> lines = linesOf(bytes);
    const char comment = commentMarkerOf(lines);
    std::vector<TableSyntax> candidates = { { comment, 0, false }, { comment, ',', false },
        { comment, ';', false }, { comment, '\t', false } };
    if (hasDecimalCommas(lines))
        candidates.push_back({ comment, ';', true });
    Reading best;
    for (const TableSyntax& syntax : candidates) {
        const Reading reading = readAs(lines, syntax);
        if (reading.found && (!best.found || reading.rows > best.rows))
            best = reading;
    }
    if (!best.found) {
        layout.description = "no rows of numbers found";
        return layout;
    }
    layout.syntax = best.syntax;
    layout.headerLines = best.headerLines;
    layout.headerTokens = static_cast<int>(std::min<std::uint64_t>(best.headerTokens, INT32_MAX));
    layout.columnCount = best.columns;
    if (best.columns > MAX_COLUMNS) {
        layout.description = "more than " + std::to_string(MAX_COLUMNS) + " columns";
        return layout;
    }
    layout.found = true;
    std::string_view namesLine;
    if (best.lastHeaderLine >= 0)
        namesLine = lines[static_cast<std::size_t>(best.lastHeaderLine)];
    else if (best.syntax.comment != 0)
        namesLine = lastCommentBefore(lines, best.dataLine, best.syntax.comment);
    std::vector<std::string> names = namesOf(namesLine, best.syntax);
    if (names.size() == static_cast<std::size_t>(best.columns))
        layout.columnNames = std::move(names);
    layout.description = describe(layout);
    return layout;
}

bool detectFileLayout(const std::string& fileName, DetectedLayout& layout)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // One byte more than is looked at tells whether the file goes on.
    std::string bytes(DETECTION_BYTES + 1, '\0');
    std::size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else {
            failed = n < 0;
            break;
        }
    }
    ::close(fd);
    if (failed)
        return false;
    bytes.resize(got);
    layout = detectLayout(bytes, got > DETECTION_BYTES);
    return true;
}
