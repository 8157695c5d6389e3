#include "input/AppendedRows.h"

#include "input/ByteStream.h"
#include "input/NumberScanner.h"
#include "input/PositionedRead.h"
#include "input/TableText.h"
#include "input/TimeSeriesReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The end of the file that shows its last rows.
constexpr std::size_t TAIL_BYTES = 64 * 1024;
// The last rows whose samples must be the series' own.
constexpr unsigned CHECKED_ROWS = 8;
// Bytes read between two questions whether to stop.
constexpr std::size_t READ_SLICE = std::size_t(4) << 20;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class OpenFile {
public:
    explicit OpenFile(const std::string& name)
        : m_fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~OpenFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int descriptor() const { return m_fd; }
    bool status(struct stat& into) const { return m_fd >= 0 && ::fstat(m_fd, &into) == 0; }

private:
    int m_fd;
};

// Text in memory followed by the NUL bytes that a scan over memory may
// look at (see ByteStream).
class ScanText {
public:
    explicit ScanText(std::string text)
        : m_length(text.size())
        , m_bytes(std::move(text))
    {
        m_bytes.append(ByteStream::PADDING, '\0');
    }
    const char* begin() const { return m_bytes.data(); }
    const char* end() const { return m_bytes.data() + m_length; }

private:
    std::size_t m_length;
    std::string m_bytes;
};

std::string tableText(const std::string& raw, const TableSyntax& syntax)
{
    return syntax.plain() ? raw : cleanTableText(raw, syntax);
}

// The numbers of one line, scanned as the reader scans them.
struct LineNumbers {
    int count = 0;
    bool clean = true; // no token of the line failed to convert
    double kept = 0.0; // the number at position `kept`
};

LineNumbers scanLine(const char* begin, const char* lineEnd, const char* textEnd, int kept)
{
    ByteStream stream(begin, textEnd);
    LineNumbers line;
    for (;;) {
        const char* p = stream.cursor();
        while (p < lineEnd && isSpace(*p))
            ++p;
        stream.moveTo(p);
        if (p >= lineEnd)
            return line;
        double value = 0.0;
        if (!readNumber(stream, value) || stream.cursor() > lineEnd
            || line.count > MAX_ROW_VALUES) {
            line.clean = false;
            return line;
        }
        if (++line.count == kept)
            line.kept = value;
    }
}

const char* lineStartBefore(const char* p, const char* begin)
{
    while (p > begin && p[-1] != '\n')
        --p;
    return p;
}

bool skipNumbers(ByteStream& stream, int count)
{
    for (int i = 0; i < count; ++i)
        if (!skipNumber(stream))
            return false;
    return true;
}

// A mark's place in a text of whole lines, from the place right after the
// last number taken: the next line when nothing but blanks follows on its
// line, else its own line with the numbers taken of it.
struct TextPlace {
    std::size_t lineStart = 0;
    std::size_t lineIndex = 0;
    int numbersTaken = 0;
};

TextPlace placeAfter(const ScanText& text, const char* taken)
{
    const char* const begin = text.begin();
    const char* const end = text.end();
    const char* start = lineStartBefore(taken, begin);
    const auto* found = static_cast<const char*>(std::memchr(taken, '\n', end - taken));
    const char* const lineEnd = found ? found : end;
    TextPlace place;
    if (std::all_of(taken, lineEnd, isSpace) && lineEnd < end) {
        start = lineEnd + 1;
    } else {
        ByteStream stream(start, end);
        while (stream.cursor() < taken && skipNumber(stream))
            ++place.numbersTaken;
    }
    place.lineStart = static_cast<std::size_t>(start - begin);
    place.lineIndex = static_cast<std::size_t>(std::count(begin, start, '\n'));
    return place;
}

// Where line `index` of the raw bytes starts.
std::size_t rawLineStart(const std::string& raw, std::size_t index)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t next = raw.find('\n', at);
        if (next == std::string::npos)
            return raw.size();
        at = next + 1;
    }
    return at;
}

bool sameSample(const LineNumbers& line, float sample)
{
    // A gap that the read filled shows in the series as its filling.
    const auto value = static_cast<float>(line.kept);
    return !std::isfinite(value) || value == sample;
}

bool layoutReadable(const AnalysisState& layout)
{
    return layout.columnCount >= 1 && layout.columnCount <= MAX_ROW_VALUES && layout.dataColumn >= 1
        && layout.dataColumn <= layout.columnCount && syntaxAccepted(layout.tableSyntax);
}

// The last lines of the window's text against the series' last samples;
// gives the numbers of the last, unended line that are in rows.
bool lastLinesAreRows(const AnalysisState& record, const ScanText& text, int& taken)
{
    const int columns = record.columnCount;
    const int kept = record.dataColumn;
    const char* const begin = text.begin();
    const char* const end = text.end();
    const char* const unended = lineStartBefore(end, begin);
    const LineNumbers last = scanLine(unended, end, end, kept);
    if (!last.clean || last.count > columns)
        return false;
    unsigned row = record.sampleCount;
    unsigned checked = 0;
    if (last.count == columns) {
        if (!sameSample(last, record.series[row]))
            return false;
        --row;
        ++checked;
    }
    taken = last.count == columns ? columns : 0;
    const char* lineEnd = unended > begin ? unended - 1 : nullptr;
    while (lineEnd && checked < CHECKED_ROWS && row > 0) {
        const char* const start = lineStartBefore(lineEnd, begin);
        const LineNumbers line = scanLine(start, lineEnd, end, kept);
        if (!line.clean)
            return false;
        if (line.count != 0) {
            if (line.count != columns || !sameSample(line, record.series[row]))
                return false;
            --row;
            ++checked;
        }
        lineEnd = start > begin ? start - 1 : nullptr;
    }
    return checked >= std::min(record.sampleCount, CHECKED_ROWS);
}

} // namespace

bool markRowsRead(const AnalysisState& record, FollowMark& mark)
{
    mark = FollowMark {};
    if (record.sampleCount == 0 || record.series.size() <= record.sampleCount
        || !layoutReadable(record))
        return false;
    try {
        const OpenFile file(record.dataFileName);
        struct stat status;
        if (!file.status(status) || !S_ISREG(status.st_mode))
            return false;
        const auto size = static_cast<std::uint64_t>(status.st_size);
        const std::uint64_t start = size > TAIL_BYTES ? size - TAIL_BYTES : 0;
        std::string raw(static_cast<std::size_t>(size - start), '\0');
        if (readAt(file.descriptor(), raw.data(), raw.size(), start) != raw.size())
            return false;
        // A window that begins inside a line begins at the next one.
        std::size_t first = 0;
        if (start > 0) {
            first = raw.find('\n');
            if (first == std::string::npos)
                return false;
            ++first;
        }
        const std::size_t lastBreak = raw.rfind('\n');
        const std::size_t unended = lastBreak == std::string::npos ? 0 : lastBreak + 1;
        const ScanText text(tableText(raw.substr(first), record.tableSyntax));
        int taken = 0;
        if (!lastLinesAreRows(record, text, taken))
            return false;
        mark.offset = start + unended;
        mark.numbersTaken = taken;
        mark.device = static_cast<std::uint64_t>(status.st_dev);
        mark.inode = static_cast<std::uint64_t>(status.st_ino);
        mark.size = size;
        mark.rows = record.sampleCount;
        return true;
    } catch (const std::bad_alloc&) {
        mark = FollowMark {};
        return false;
    }
}

namespace {

// Bytes [offset, offset + length) of the file, fewer when it ends first.
FileChange readBytes(int descriptor, std::uint64_t offset, std::size_t length, std::string& raw,
    StepProgress& report)
{
    raw.resize(length);
    std::size_t done = 0;
    while (done < length) {
        const std::size_t slice = std::min(READ_SLICE, length - done);
        const std::size_t got = readAt(descriptor, raw.data() + done, slice, offset + done);
        done += got;
        if (got < slice)
            break;
        if (!report.advance(static_cast<double>(done) / static_cast<double>(length)))
            return FileChange::CANCELLED;
    }
    raw.resize(done);
    return FileChange::APPENDED;
}

// The complete rows of the whole lines `raw`, after the numbers the mark
// has taken of its line, in one scan. Where they end is found again only
// when numbers follow the last row (rows that run over lines, or a token
// that is not a number).
void takeRows(const AnalysisState& layout, const std::string& raw, AppendedRows& result)
{
    const ScanText text(tableText(raw, layout.tableSyntax));
    const FollowMark before = result.mark;
    const int columns = layout.columnCount;
    ByteStream scanner(text.begin(), text.end());
    if (!skipNumbers(scanner, before.numbersTaken))
        return;
    const auto room = static_cast<std::size_t>(text.end() - scanner.cursor()) / columns + 2;
    if (!result.samples.allocate(room)) {
        result.change = FileChange::NO_MEMORY;
        return;
    }
    result.samples[0] = 0.0f;
    const StretchScan scan
        = scanStretch(scanner, columns, 0, layout.dataColumn - 1, result.samples.data() + 1);
    const std::uint64_t rows = scan.numbers / static_cast<std::uint64_t>(columns);
    if (rows == 0) {
        result.samples.release();
        return;
    }
    std::size_t start = raw.size();
    result.mark.numbersTaken = 0;
    if (scan.failed || scan.numbers % static_cast<std::uint64_t>(columns) != 0) {
        ByteStream reader(text.begin(), text.end());
        skipNumbers(reader, before.numbersTaken);
        countRows(reader, columns, rows);
        const TextPlace place = placeAfter(text, reader.cursor());
        start = layout.tableSyntax.plain() ? place.lineStart : rawLineStart(raw, place.lineIndex);
        result.mark.numbersTaken = place.numbersTaken;
    }
    result.mark.offset = before.offset + start;
    result.mark.rows = static_cast<unsigned>(before.rows + rows);
    result.rows = rows;
    result.change = FileChange::APPENDED;
}

} // namespace

AppendedRows readAppendedRows(
    const AnalysisState& layout, const FollowMark& mark, const ProgressCallback& progress)
{
    StepProgress report(progress, PROGRESS_READ);
    AppendedRows result;
    result.mark = mark;
    const OpenFile file(layout.dataFileName);
    struct stat status;
    if (!file.status(status) || !layoutReadable(layout)) {
        result.change = FileChange::UNREADABLE;
        return result;
    }
    if (static_cast<std::uint64_t>(status.st_dev) != mark.device
        || static_cast<std::uint64_t>(status.st_ino) != mark.inode) {
        result.change = FileChange::REPLACED;
        return result;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size < mark.size || size < mark.offset) {
        result.change = FileChange::SHORTER;
        return result;
    }
    if (size == mark.size)
        return result;
    try {
        std::string raw;
        if (size - mark.offset > raw.max_size() / 2) {
            result.change = FileChange::NO_MEMORY;
            return result;
        }
        const FileChange read = readBytes(file.descriptor(), mark.offset,
            static_cast<std::size_t>(size - mark.offset), raw, report);
        if (read == FileChange::CANCELLED || !report.poll()) {
            result.change = FileChange::CANCELLED;
            return result;
        }
        // A last line without its line end waits for the next look.
        const std::size_t lastBreak = raw.rfind('\n');
        result.mark.size = mark.offset + raw.size();
        if (lastBreak == std::string::npos)
            return result;
        raw.resize(lastBreak + 1);
        takeRows(layout, raw, result);
    } catch (const std::bad_alloc&) {
        result = AppendedRows {};
        result.mark = mark;
        result.change = FileChange::NO_MEMORY;
    }
    return result;
}
