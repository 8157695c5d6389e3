#include "BatchOptions.h"

#include "commands/Commands.h"

#include "core/CFormat.h"
#include "core/Limits.h"
#include "core/ReferenceCurves.h"
#include "output/PsdExport.h"
#include "spectrum/DataWindow.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// A segment of 2M samples still fits the largest row count.
constexpr int MAX_PICTURE_SIDE = 20000;
constexpr double MIN_RELATIVE_RANGE = 1e-6;
constexpr const char* NARROW_RULE = " (HI - LO must be at least a millionth of the larger end)";

// The --window values: the window names in lower case, "none" for none.
std::string windowOptionName(int type)
{
    if (type == NO_WINDOW)
        return "none";
    std::string name = WINDOW_NAMES[type];
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// "none, hanning, parzen or welch"
std::string windowChoices()
{
    std::string text;
    for (int type = 0; type < WINDOW_TYPE_COUNT; ++type) {
        if (type > 0)
            text += type + 1 == WINDOW_TYPE_COUNT ? " or " : ", ";
        text += windowOptionName(type);
    }
    return text;
}

// Blanks around a number count for nothing, before it as after it.
std::string trimmed(const std::string& text)
{
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool parseWhole(const std::string& input, long long& value)
{
    const std::string text = trimmed(input);
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseReal(const std::string& input, double& value)
{
    const std::string text = trimmed(input);
    if (text.empty())
        return false;
    char* end = nullptr;
    value = strtodC(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

// Whether a picture can tell LO from HI: a window narrower than a
// millionth of its ends' size is below what the single-precision curve
// resolves, and draws every point on one of its edges.
bool drawableRange(const std::pair<double, double>& range)
{
    const double width = range.second - range.first;
    const double size = std::max(std::fabs(range.first), std::fabs(range.second));
    return std::isfinite(width) && width > 0.0 && width >= MIN_RELATIVE_RANGE * size;
}

// "WxH", each side a whole number from 1 to MAX_PICTURE_SIDE.
bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    long long w = 0, h = 0;
    if (x == std::string::npos || !parseWhole(text.substr(0, x), w)
        || !parseWhole(text.substr(x + 1), h) || w < 1 || w > MAX_PICTURE_SIDE || h < 1
        || h > MAX_PICTURE_SIDE)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// The options that take a value; any other that starts with "--" and is
// not a flag is unknown.
bool takesValue(const std::string& name)
{
    static const char* const names[] = { "--header-tokens", "--columns", "--column", "--rows",
        "--psd-size", "--segments", "--shift", "--window", "--lb", "--output", "--dt",
        "--min-level", "--select", "--average", "--render", "--frequency-range", "--power-range",
        "--size", "--comment", "--separator", "--fill-gaps", "--time-column", "--time-unit",
        "--reference", "--follow" };
    for (const char* known : names)
        if (name == known)
            return true;
    return false;
}

// FILE[:COLUMN]: a column only where the text after the last ':' is a
// whole number, so that a name with a ':' of its own stays whole.
bool parseReference(const std::string& text, ReferenceFile& reference)
{
    const std::size_t colon = text.rfind(':');
    long long column = 0;
    if (colon != std::string::npos && colon + 1 < text.size()
        && text.find_first_not_of("0123456789", colon + 1) == std::string::npos
        && parseWhole(text.substr(colon + 1), column)) {
        if (column < MIN_COLUMNS || column > MAX_COLUMNS)
            return false;
        reference.file = text.substr(0, colon);
        reference.column = static_cast<int>(column);
    } else
        reference.file = text;
    return !reference.file.empty();
}

// One of the comment markers the reader takes.
bool parseComment(const std::string& text, char& marker)
{
    for (const char known : COMMENT_MARKERS)
        if (text.size() == 1 && text[0] == known) {
            marker = known;
            return true;
        }
    return false;
}

bool parseSeparator(const std::string& text, char& separator)
{
    if (text == "," || text == ";")
        separator = text[0];
    else if (text == "tab")
        separator = '\t';
    else
        return false;
    return true;
}

// "FROM:TO", two integers as the segment dialog's fields take them.
bool parseSegment(const std::string& text, SeriesEdit& edit)
{
    const std::size_t colon = text.find(':');
    long long from = 0, to = 0;
    if (colon == std::string::npos || !parseWhole(text.substr(0, colon), from)
        || !parseWhole(text.substr(colon + 1), to) || from < INT_MIN || from > INT_MAX
        || to < INT_MIN || to > INT_MAX)
        return false;
    edit.kind = SeriesEdit::SELECT_SEGMENT;
    edit.from = static_cast<int>(from);
    edit.to = static_cast<int>(to);
    return true;
}

// "LO:HI" with two finite numbers.
bool parseRange(const std::string& text, std::pair<double, double>& range)
{
    const std::size_t colon = text.find(':');
    return colon != std::string::npos && parseReal(text.substr(0, colon), range.first)
        && parseReal(text.substr(colon + 1), range.second);
}

// The picture formats of --render, by the name's suffix in any case.
bool isPictureName(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    const std::size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string suffix = name.substr(dot + 1);
    for (char& c : suffix)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == "png" || suffix == "jpg" || suffix == "jpeg" || suffix == "svg"
        || suffix == "pdf";
}

struct Parser {
    BatchOptions& options;
    std::string& error;

    bool integer(
        const std::string& name, const std::string& text, long long min, long long max, int& target)
    {
        long long value;
        if (!parseWhole(text, value) || value < min || value > max) {
            error = formatC("%s: expected an integer from %lld to %lld", name.c_str(), min, max);
            return false;
        }
        target = static_cast<int>(value);
        return true;
    }
};

} // namespace

bool checkColumns(const BatchOptions& options, std::string& error)
{
    const int widest = std::max(options.dataColumn, options.timeColumn);
    if (widest <= options.columnCount)
        return true;
    error = formatC("%s %d: the rows hold only %d values",
        options.dataColumn == widest ? "--column" : "--time-column", widest, options.columnCount);
    return false;
}

std::string batchUsage()
{
    return formatC("Usage: welmo-psd [options] FILE...\n"
                   "Reads one column of an ASCII table, estimates its power spectrum and\n"
                   "writes it as a two-column file beside the table; each FILE is its own\n"
                   "run, and the exit status is the worst of them.\n\n"
                   "  --header-tokens N   leading tokens to skip (default 0)\n"
                   "  --columns N         values per row, %d-%d (default 1)\n"
                   "  --column N          column to analyse, %d-%d (default 1)\n"
                   "  --detect            find header, columns, comments and separator from\n"
                   "                      the file's first 64 KiB, as the data dialog does\n"
                   "                      (the layout options given win over it)\n"
                   "  --comment C         comment marker: #, %% or ! (default: none)\n"
                   "  --separator C       field separator besides blanks: , ; or tab\n"
                   "  --decimal-comma     ',' is the decimal point (only with --separator ';')\n"
                   "  --fill-gaps linear  fill values that are not finite linearly (default:\n"
                   "                      refuse the series)\n"
                   "  --rows N            rows to read (default: all complete rows)\n"
                   "  --psd-size M        power of two >= 2 (default: largest that fits)\n"
                   "  --segments K        segments averaged, %d-%d (default 1)\n"
                   "  --shift S|auto      shift between segments, %d-%d, or spread over the\n"
                   "                      series (default 0)\n"
                   "  --window W          %s (default hanning)\n"
                   "  --no-normalize      do not normalise the spectrum to unit sum\n"
                   "  --lb N              LB frequencies, %d-%d (default 16)\n"
                   "  --output FILE       export file (default: derived from FILE; one FILE only)\n"
                   "  --normal-scales     linear export format instead of log-log\n"
                   "  --dt DT             time step between samples (default 1); with it the\n"
                   "                      summary gives the peak's frequency and period\n"
                   "  --time-column K     time step from column K: its median step\n"
                   "  --time-unit NAME    name of the time step's unit (default: unit)\n"
                   "  --min-level L       lowest log level exported, %g to %g (default -15)\n"
                   "  --render PICTURE    also draw the window's picture into PICTURE, a .png,\n"
                   "                      .jpg, .svg or .pdf file by its name (one FILE only)\n"
                   "  --follow SECONDS    after the run, look at FILE every SECONDS (%g to\n"
                   "                      %g); each time complete rows were appended, print\n"
                   "                      a new summary line and rewrite the export (and\n"
                   "                      the picture), until SIGINT or SIGTERM (one FILE)\n"
                   "  --size WxH          size of the rendered picture (default 800x600)\n"
                   "  --reference FILE[:COLUMN]  draw FILE's spectrum (COLUMN, default the\n"
                   "                      run's column) beneath the run's, read with the\n"
                   "                      same layout and configuration; repeatable, up to\n"
                   "                      %zu, only with --render\n"
                   "  --select FROM:TO    keep samples FROM to TO (1-based, inclusive)\n"
                   "  --average W         running average of W samples, %d-%d\n"
                   "                      (--select and --average edit the series after the\n"
                   "                      read, in the order given)\n"
                   "  --axes              draw ticks, labels and titles on the picture's axes\n"
                   "  --frequency-range LO:HI  spectrum from LO to HI cycles per sample,\n"
                   "                      0 < LO < HI <= 0.5 (default: the full window)\n"
                   "  --power-range LO:HI spectrum's power from LO to HI, in log10 units\n"
                   "                      (default: the full window)\n"
                   "  --help, --version\n"
                   "  --                  the arguments after it are files\n",
        MIN_COLUMNS, MAX_COLUMNS, MIN_COLUMNS, MAX_COLUMNS, MIN_SEGMENTS, MAX_SEGMENTS,
        MIN_DATA_SHIFT, MAX_DATA_SHIFT, windowChoices().c_str(), MIN_LB_FREQUENCIES,
        MAX_LB_FREQUENCIES, MIN_EXPORT_LEVEL, MAX_EXPORT_LEVEL, MIN_FOLLOW_SECONDS,
        MAX_FOLLOW_SECONDS, MAX_REFERENCES, MIN_AVERAGE_WINDOW, MAX_AVERAGE_WINDOW);
}

bool parseBatchOptions(int argc, char** argv, BatchOptions& options, std::string& error)
{
    Parser parser { options, error };
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // After "--" every argument is a file, even one that starts with "--".
        if (filesOnly || arg.rfind("--", 0) != 0) {
            options.dataFiles.push_back(arg);
            continue;
        }
        if (arg == "--") {
            filesOnly = true;
            continue;
        }
        if (arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--no-normalize") {
            options.normalize = 0;
            continue;
        }
        if (arg == "--normal-scales") {
            options.normalScales = true;
            continue;
        }
        if (arg == "--axes") {
            options.axes = true;
            continue;
        }
        if (arg == "--detect") {
            options.detect = true;
            continue;
        }
        if (arg == "--decimal-comma") {
            options.syntax.decimalComma = true;
            continue;
        }
        if (!takesValue(arg)) {
            error = arg + ": unknown option (see --help)";
            return false;
        }
        if (i + 1 >= argc) {
            error = arg + ": missing value";
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (arg == "--header-tokens") {
            ok = parser.integer(arg, value, 0, INT_MAX, options.headerTokens);
            options.headerTokensGiven = true;
        } else if (arg == "--columns") {
            ok = parser.integer(arg, value, MIN_COLUMNS, MAX_COLUMNS, options.columnCount);
            options.columnCountGiven = true;
        } else if (arg == "--comment") {
            ok = parseComment(value, options.syntax.comment);
            options.commentGiven = true;
            if (!ok)
                error = "--comment: expected #, % or !";
        } else if (arg == "--separator") {
            ok = parseSeparator(value, options.syntax.separator);
            options.separatorGiven = true;
            if (!ok)
                error = "--separator: expected , ; or tab";
        } else if (arg == "--fill-gaps") {
            ok = value == "linear";
            options.fillGaps = ok ? 1 : 0;
            if (!ok)
                error = "--fill-gaps: expected linear";
        } else if (arg == "--time-column")
            ok = parser.integer(arg, value, MIN_COLUMNS, MAX_COLUMNS, options.timeColumn);
        else if (arg == "--time-unit") {
            ok = !trimmed(value).empty() && value.find('\n') == std::string::npos;
            if (ok)
                options.timeUnit = value;
            else
                error = "--time-unit: expected a name";
        } else if (arg == "--column")
            ok = parser.integer(arg, value, MIN_COLUMNS, MAX_COLUMNS, options.dataColumn);
        else if (arg == "--rows") {
            long long rows;
            ok = parseWhole(value, rows) && rows >= 0 && rows <= MAX_DATA_ROWS;
            if (ok)
                options.rows = static_cast<unsigned>(rows);
            else
                error = formatC("--rows: expected an integer from 0 to %u", MAX_DATA_ROWS);
        } else if (arg == "--psd-size") {
            long long size;
            ok = parseWhole(value, size) && isPsdSizeChoice(size);
            if (ok)
                options.psdSize = static_cast<int>(size);
            else
                error = formatC("--psd-size: expected a power of two from %d to %d", MIN_PSD_SIZE,
                    MAX_PSD_SIZE);
        } else if (arg == "--segments")
            ok = parser.integer(arg, value, MIN_SEGMENTS, MAX_SEGMENTS, options.segmentCount);
        else if (arg == "--shift") {
            options.autoShift = value == "auto";
            if (!options.autoShift) {
                ok = parser.integer(arg, value, MIN_DATA_SHIFT, MAX_DATA_SHIFT, options.dataShift);
                if (!ok)
                    error = formatC("--shift: expected an integer from %d to %d or auto",
                        MIN_DATA_SHIFT, MAX_DATA_SHIFT);
            }
        } else if (arg == "--window") {
            ok = false;
            for (int type = 0; type < WINDOW_TYPE_COUNT && !ok; ++type) {
                ok = value == windowOptionName(type);
                if (ok)
                    options.windowType = type;
            }
            if (!ok)
                error = "--window: expected " + windowChoices();
        } else if (arg == "--lb")
            ok = parser.integer(
                arg, value, MIN_LB_FREQUENCIES, MAX_LB_FREQUENCIES, options.lbFrequencies);
        else if (arg == "--output") {
            // Refused before the run, as the write would refuse it at its end.
            ok = !value.empty() && value.back() != '/';
            if (ok)
                options.output = value;
            else
                error = "--output: expected the name of a file";
        } else if (arg == "--follow") {
            double seconds = 0.0;
            ok = parseReal(value, seconds) && seconds >= MIN_FOLLOW_SECONDS
                && seconds <= MAX_FOLLOW_SECONDS;
            if (ok)
                options.followSeconds = seconds;
            else
                error = formatC("--follow: expected seconds from %g to %g", MIN_FOLLOW_SECONDS,
                    MAX_FOLLOW_SECONDS);
        } else if (arg == "--dt") {
            // The export's own bound, so that a run never ends in a refused
            // export after the whole estimate.
            ok = parseReal(value, options.dt) && exportTimeStepValid(options.dt);
            options.dtGiven = true;
            if (!ok)
                error = "--dt: expected a finite number, not 0 nor too close to 0";
        } else if (arg == "--min-level") {
            ok = parseReal(value, options.minLevel) && options.minLevel >= MIN_EXPORT_LEVEL
                && options.minLevel <= MAX_EXPORT_LEVEL;
            if (!ok)
                error = formatC("--min-level: expected a number from %g to %g", MIN_EXPORT_LEVEL,
                    MAX_EXPORT_LEVEL);
        } else if (arg == "--select") {
            SeriesEdit edit;
            ok = parseSegment(value, edit);
            if (ok)
                options.edits.push_back(edit);
            else
                error = "--select: expected FROM:TO, two integers";
        } else if (arg == "--average") {
            SeriesEdit edit;
            edit.kind = SeriesEdit::RUNNING_AVERAGE;
            long long window = 0;
            ok = parseWhole(value, window) && window >= MIN_AVERAGE_WINDOW
                && window <= MAX_AVERAGE_WINDOW;
            if (ok) {
                edit.window = static_cast<int>(window);
                options.edits.push_back(edit);
            } else
                // The running-average dialog's own wording.
                error = formatC("--average: Please enter an integer between %d and %d.",
                    MIN_AVERAGE_WINDOW, MAX_AVERAGE_WINDOW);
        } else if (arg == "--render") {
            options.renderFile = value;
            ok = isPictureName(value);
            if (!ok)
                error = "--render: expected a name ending in .png, .jpg, .jpeg, .svg or .pdf";
        } else if (arg == "--frequency-range") {
            std::pair<double, double> range;
            ok = parseRange(value, range) && range.first > 0.0 && range.first < range.second
                && range.second <= 0.5;
            if (ok && !drawableRange(range)) {
                ok = false;
                error = "--frequency-range: " + value + " is too narrow to draw" + NARROW_RULE;
            } else if (ok)
                options.frequencyRange = range;
            else
                error = "--frequency-range: expected LO:HI with 0 < LO < HI <= 0.5";
        } else if (arg == "--power-range") {
            std::pair<double, double> range;
            ok = parseRange(value, range) && range.first < range.second;
            if (ok && !drawableRange(range)) {
                ok = false;
                error = "--power-range: " + value + " is too narrow to draw" + NARROW_RULE;
            } else if (ok)
                options.powerRange = range;
            else
                error = "--power-range: expected LO:HI with LO < HI";
        } else if (arg == "--reference") {
            ReferenceFile reference;
            ok = parseReference(value, reference) && options.references.size() < MAX_REFERENCES;
            if (ok)
                options.references.push_back(reference);
            else
                error = options.references.size() < MAX_REFERENCES
                    ? formatC("--reference: expected FILE or FILE:COLUMN with COLUMN %d-%d",
                        MIN_COLUMNS, MAX_COLUMNS)
                    : formatC("--reference: at most %zu", MAX_REFERENCES);
        } else if (arg == "--size") {
            options.sizeGiven = true;
            ok = parseSize(value, options.renderWidth, options.renderHeight);
            if (!ok)
                error = formatC("--size: expected WxH with W and H from 1 to %d", MAX_PICTURE_SIDE);
        } else {
            error = arg + ": unknown option (see --help)";
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (options.help || options.version)
        return true;
    if (options.dataFiles.empty()) {
        error = "no data file given (see --help)";
        return false;
    }
    options.dataFile = options.dataFiles.front();
    if (options.syntax.decimalComma && options.syntax.separator != ';') {
        error = "--decimal-comma: only with --separator ';'";
        return false;
    }
    if (options.dtGiven && options.timeColumn > 0) {
        error = "--time-column: not with --dt";
        return false;
    }
    // Detection counts the columns of each file; the runs check them.
    if (!options.detect || options.columnCountGiven) {
        std::string columnError;
        if (!checkColumns(options, columnError)) {
            error = columnError + " (--columns)";
            return false;
        }
    }
    if (!options.renderFile
        && (options.axes || options.frequencyRange || options.powerRange || options.sizeGiven
            || !options.references.empty())) {
        error = options.axes         ? "--axes: only with --render"
            : options.frequencyRange ? "--frequency-range: only with --render"
            : options.powerRange     ? "--power-range: only with --render"
            : options.sizeGiven      ? "--size: only with --render"
                                     : "--reference: only with --render";
        return false;
    }
    if (options.dataFiles.size() > 1 && options.followSeconds) {
        error = "--follow: only with one data file";
        return false;
    }
    // An edited series is no longer the file's rows, which a look reads on.
    if (options.followSeconds && !options.edits.empty()) {
        error = "--follow: not with --select or --average";
        return false;
    }
    if (options.dataFiles.size() > 1 && (options.output || options.renderFile)) {
        error = options.output ? "--output: only with one data file"
                               : "--render: only with one data file";
        return false;
    }
    return true;
}
