#include "BatchOptions.h"

#include "core/CFormat.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

bool parseWhole(const std::string& text, long long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseReal(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = strtodC(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

bool isPowerOfTwo(long long value)
{
    return value >= 2 && (value & (value - 1)) == 0;
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

std::string batchUsage()
{
    return "Usage: welmo-psd [options] FILE\n"
           "Reads one column of an ASCII table, estimates its power spectrum and\n"
           "writes it as a two-column file.\n\n"
           "  --header-tokens N   leading tokens to skip (default 0)\n"
           "  --columns N         values per row, 1-100 (default 1)\n"
           "  --column N          column to analyse, 1-100 (default 1)\n"
           "  --rows N            rows to read (default: all complete rows)\n"
           "  --psd-size M        power of two >= 2 (default: largest that fits)\n"
           "  --segments K        segments averaged, 1-10000 (default 1)\n"
           "  --shift S|auto      shift between segments, 0-1000000 (default 0)\n"
           "  --window W          none, hanning, parzen or welch (default hanning)\n"
           "  --no-normalize      do not normalise the spectrum to unit sum\n"
           "  --lb N              LB frequencies, 2-1000000 (default 16)\n"
           "  --output FILE       export file (default: derived from FILE)\n"
           "  --normal-scales     linear export format instead of log-log\n"
           "  --dt DT             time step of the linear format (default 1)\n"
           "  --min-level L       lowest log level exported, -30 to 0 (default -15)\n"
           "  --render PNG        also draw the window's picture into PNG\n"
           "  --size WxH          size of the rendered picture (default 800x600)\n"
           "  --help, --version\n";
}

bool parseBatchOptions(int argc, char** argv, BatchOptions& options, std::string& error)
{
    Parser parser { options, error };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
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
        if (arg.rfind("--", 0) != 0) {
            if (!options.dataFile.empty()) {
                error = "only one data file may be given";
                return false;
            }
            options.dataFile = arg;
            continue;
        }
        if (i + 1 >= argc) {
            error = arg + ": missing value";
            return false;
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (arg == "--header-tokens")
            ok = parser.integer(arg, value, INT_MIN, INT_MAX, options.headerTokens);
        else if (arg == "--columns")
            ok = parser.integer(arg, value, 1, 100, options.columnCount);
        else if (arg == "--column")
            ok = parser.integer(arg, value, 1, 100, options.dataColumn);
        else if (arg == "--rows") {
            long long rows;
            ok = parseWhole(value, rows) && rows >= 0 && rows <= 69306016;
            if (ok)
                options.rows = static_cast<unsigned>(rows);
            else
                error = "--rows: expected an integer from 0 to 69306016";
        } else if (arg == "--psd-size") {
            long long size;
            ok = parseWhole(value, size) && isPowerOfTwo(size) && size <= (1 << 30);
            if (ok)
                options.psdSize = static_cast<int>(size);
            else
                error = "--psd-size: expected a power of two from 2 to 1073741824";
        } else if (arg == "--segments")
            ok = parser.integer(arg, value, 1, 10000, options.segmentCount);
        else if (arg == "--shift") {
            options.autoShift = value == "auto";
            if (!options.autoShift) {
                ok = parser.integer(arg, value, 0, 1000000, options.dataShift);
                if (!ok)
                    error = "--shift: expected an integer from 0 to 1000000 or auto";
            }
        } else if (arg == "--window") {
            static const std::map<std::string, int> windows
                = { { "none", 0 }, { "hanning", 1 }, { "parzen", 2 }, { "welch", 3 } };
            const auto found = windows.find(value);
            ok = found != windows.end();
            if (ok)
                options.windowType = found->second;
            else
                error = "--window: expected none, hanning, parzen or welch";
        } else if (arg == "--lb")
            ok = parser.integer(arg, value, 2, 1000000, options.lbFrequencies);
        else if (arg == "--output")
            options.output = value;
        else if (arg == "--dt") {
            ok = parseReal(value, options.dt) && options.dt != 0.0;
            if (!ok)
                error = "--dt: expected a finite non-zero number";
        } else if (arg == "--min-level") {
            ok = parseReal(value, options.minLevel) && options.minLevel >= -30.0
                && options.minLevel <= 0.0;
            if (!ok)
                error = "--min-level: expected a number from -30 to 0";
        } else if (arg == "--render")
            options.renderFile = value;
        else if (arg == "--size") {
            int width = 0, height = 0;
            char tail = 0;
            ok = std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &tail) == 2 && width >= 1
                && width <= 20000 && height >= 1 && height <= 20000;
            if (ok) {
                options.renderWidth = width;
                options.renderHeight = height;
            } else
                error = "--size: expected WxH with W and H from 1 to 20000";
        } else {
            error = arg + ": unknown option (see --help)";
            ok = false;
        }
        if (!ok)
            return false;
    }
    if (options.help || options.version)
        return true;
    if (options.dataFile.empty()) {
        error = "no data file given (see --help)";
        return false;
    }
    if (options.autoShift && !options.psdSize) {
        error = "--shift auto: requires --psd-size";
        return false;
    }
    return true;
}
